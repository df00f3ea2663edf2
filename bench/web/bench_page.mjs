// The web edition in headless Chromium: the file's size, the time from navigation to the visible
// entry box (median of 20 loads from file://), and automatic firing (300 ticks: the mean interval
// and the 99th percentile of the deviation from 100 ms). With the desktop build at hand, the
// desktop program's start-up is measured in the same run for comparison.
//   node bench/web/bench_page.mjs [build-web/mokopera.html]     (Playwright from tests/web)
import { execFileSync } from "node:child_process";
import { existsSync, statSync } from "node:fs";
import { createRequire } from "node:module";
import { resolve } from "node:path";
import { pathToFileURL } from "node:url";

const root = resolve(import.meta.dirname, "../..");
const { chromium } = createRequire(resolve(root, "tests/web/package.json"))("playwright-core");
const file = resolve(process.argv[2] ?? resolve(root, "build-web/mokopera.html"));
const median = (values) => values.sort((a, b) => a - b)[Math.floor(values.length / 2)];

console.log(`mokopera.html: ${(statSync(file).size / 1024 / 1024).toFixed(2)} MiB`);
const browser = await chromium.launch({
  executablePath: "/usr/bin/chromium",
  args: ["--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-background-networking", "--disable-component-update", "--disable-sync"],
});

const loads = [];
for (let run = 0; run < 20; run++) {
  const page = await browser.newPage();
  await page.goto(pathToFileURL(file).href, { waitUntil: "commit" });
  await page.waitForFunction(() => document.getElementById("box").open, null, { polling: "raf" });
  loads.push(await page.evaluate(() => performance.now()));  // since the navigation began
  await page.close();
}
console.log(`navigation to the visible entry box: median ${median(loads).toFixed(1)} ms (20 loads)`);

const page = await browser.newPage();
await page.goto(pathToFileURL(file).href);
await page.waitForFunction(() => document.getElementById("box").open);
await page.fill("#box-field", "5");
await page.keyboard.press("Enter");
const stamps = await page.evaluate(() => new Promise((done) => {
  const program = window.mokopera.program, tick = program.tick.bind(program), times = [];
  program.tick = () => {
    times.push(performance.now());
    tick();
    if (times.length === 301) done(times);
  };
  document.getElementById("Command2").click();
}));
await browser.close();
const intervals = stamps.slice(1).map((t, i) => t - stamps[i]);
const deviations = intervals.map((interval) => Math.abs(interval - 100)).sort((a, b) => a - b);
const mean = intervals.reduce((a, b) => a + b) / intervals.length;
console.log(`automatic firing, 300 ticks: mean ${mean.toFixed(3)} ms, p99 deviation ${deviations[Math.floor(deviations.length * 0.99)].toFixed(2)} ms`);

const driver = resolve(root, "build/bin/startup_driver");
if (existsSync(driver)) {
  console.log("desktop program, same run:");
  console.log(execFileSync("xvfb-run", ["-a", driver, "鉄砲の発射回数の設定", "20", resolve(root, "build/bin/mokopera"),
    resolve(root, "build/bin/minimal_window")], { encoding: "utf8", stdio: ["ignore", "pipe", "ignore"] }));
}
