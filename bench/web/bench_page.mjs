// The web edition: the file's size; the start, from navigation to the visible entry box, median of
// 20 loads in headless Chromium, for the hosted site on a first visit, the hosted site from its
// service worker's cache with the network off, and the single file from file://, in one run; and
// automatic firing in each of the three engines (300 ticks: the mean interval and the 99th
// percentile of the deviation from 100 ms). With the desktop build at hand, the desktop program's
// start-up is measured in the same run for comparison.
//   xvfb-run -a node bench/web/bench_page.mjs [ENGINE...]    (drivers from scripts/browsers: npm ci)
import { execFileSync } from "node:child_process";
import { existsSync, statSync } from "node:fs";
import { createRequire } from "node:module";
import { resolve } from "node:path";
import { pathToFileURL, fileURLToPath } from "node:url";
import { launch, serve } from "../../scripts/browsers/engines.mjs";

const root = fileURLToPath(new URL("../..", import.meta.url));
const { chromium } = createRequire(resolve(root, "scripts/browsers/package.json"))("playwright-core");
const file = resolve(root, "build-web/mokopera.html");
const engines = process.argv.length > 2 ? process.argv.slice(2) : ["chromium", "firefox", "webkit"];
const median = (values) => values.sort((a, b) => a - b)[Math.floor(values.length / 2)];

console.log(`mokopera.html: ${(statSync(file).size / 1024 / 1024).toFixed(2)} MiB`);

// The moment the entry box shows, taken by the page itself at the frame that first shows it.
const watchEntryBox = () => {
  const check = () => {
    if (document.getElementById("box")?.open) window.entryShownAt = performance.now();
    else requestAnimationFrame(check);
  };
  requestAnimationFrame(check);
};
const startTime = async (page, url) => {
  await page.addInitScript(watchEntryBox);
  await page.goto(url, { waitUntil: "commit" });
  return page.waitForFunction(() => window.entryShownAt).then((at) => at.jsonValue());
};

const browser = await chromium.launch({
  executablePath: "/usr/bin/chromium",
  args: ["--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-background-networking", "--disable-component-update",
         "--disable-sync", "--disable-quic"],
});
const site = await serve(resolve(root, "build-web/site"), "/mokopera/");
const times = { "hosted, first visit": [], "hosted, from the service worker's cache, offline": [], "single file, file://": [] };
for (let run = 0; run < 20; run++) {
  const fresh = await browser.newContext();
  times["hosted, first visit"].push(await startTime(await fresh.newPage(), site.url));
  await fresh.close();
  const page = await browser.newPage();
  times["single file, file://"].push(await startTime(page, pathToFileURL(file).href));
  await page.close();
}
const context = await browser.newContext();
const first = await context.newPage();
await first.goto(site.url);
await first.waitForFunction(() => navigator.serviceWorker.ready.then((r) => r.active?.state === "activated"));
await site.stop();
await context.setOffline(true);
for (let run = 0; run < 20; run++) {
  const page = await context.newPage();
  times["hosted, from the service worker's cache, offline"].push(await startTime(page, site.url));
  await page.close();
}
await browser.close();
for (const [what, values] of Object.entries(times)) {
  console.log(`start to the visible entry box, ${what}: median ${median(values).toFixed(1)} ms (20 loads)`);
}

// Automatic firing, N = 5: the times of 301 ticks as the page's program sees them.
for (const engine of engines) {
  const { tab, close } = await launch(engine);
  try {
    await tab.goto(pathToFileURL(file).href);
    await tab.waitFor(() => document.getElementById("box").open);
    await tab.fill("#box-field", "5");
    await tab.press("Enter");
    const stamps = await tab.evaluate(() => new Promise((done) => {
      const program = window.mokopera.program, tick = program.tick.bind(program), at = [];
      program.tick = () => {
        at.push(performance.now());
        tick();
        if (at.length === 301) done(at);
      };
      document.getElementById("Command2").click();
    }));
    const intervals = stamps.slice(1).map((t, i) => t - stamps[i]);
    const deviations = intervals.map((interval) => Math.abs(interval - 100)).sort((a, b) => a - b);
    const mean = intervals.reduce((a, b) => a + b) / intervals.length;
    console.log(`automatic firing in ${engine}, 300 ticks: mean ${mean.toFixed(3)} ms, ` +
                `p99 deviation ${deviations[Math.floor(deviations.length * 0.99)].toFixed(2)} ms`);
  } finally {
    await close();
  }
}

const driver = resolve(root, "build/bin/startup_driver");
if (existsSync(driver) && process.env.DISPLAY) {
  console.log("desktop program, same run:");
  console.log(execFileSync(driver, ["鉄砲の発射回数の設定", "20", resolve(root, "build/bin/mokopera"),
    resolve(root, "build/bin/minimal_window")], { encoding: "utf8", stdio: ["ignore", "pipe", "ignore"] }));
}
