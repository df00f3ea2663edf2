// The teacher's page: the file's size; its start, from navigation to a usable form, median of 20
// loads in headless Chromium (the single file from file://, and the hosted site on a first
// visit); and runs from the click on 実行 to the plot on the screen, against mokopera-sim itself
// (the desktop build's, as a whole process) in the same run: one million experiments at N = 50,
// and 5..50 at 100 000 each. Medians of 5. Then クラスの結果: 2 000 codes pasted at once, from the
// paste to the tables and the plot on the screen, median of 5.
//   node bench/web/bench_teacher.mjs    (drivers from scripts/browsers: npm ci)
import { execFileSync } from "node:child_process";
import { mkdtempSync, rmSync, statSync } from "node:fs";
import { tmpdir } from "node:os";
import { createRequire } from "node:module";
import { join, resolve } from "node:path";
import { pathToFileURL, fileURLToPath } from "node:url";
import { idNumber, resultCode } from "../../scripts/browsers/codes.mjs";
import { serve } from "../../scripts/browsers/engines.mjs";

const root = fileURLToPath(new URL("../..", import.meta.url));
const { chromium } = createRequire(resolve(root, "scripts/browsers/package.json"))("playwright-core");
const file = resolve(root, "build-web/mokopera-teacher.html");
const sim = resolve(root, "build/bin/mokopera-sim");
const median = (values) => values.sort((a, b) => a - b)[Math.floor(values.length / 2)];

console.log(`mokopera-teacher.html: ${(statSync(file).size / 1024).toFixed(0)} KiB`);

const browser = await chromium.launch({
  executablePath: "/usr/bin/chromium",
  args: ["--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-background-networking", "--disable-component-update",
         "--disable-sync", "--disable-quic"],
});
const ready = () => document.getElementById("form")?.dataset.state === "ready";
const startTime = async (page, url) => {
  await page.goto(url, { waitUntil: "commit" });
  await page.waitForFunction(ready, null, { polling: "raf" });
  return page.evaluate(() => performance.now());
};
const site = await serve(resolve(root, "build-web/site"), "/mokopera/");
const starts = { "single file, file://": [], "hosted, first visit": [] };
for (let run = 0; run < 20; run++) {
  const page = await browser.newPage();
  starts["single file, file://"].push(await startTime(page, pathToFileURL(file).href));
  await page.close();
  const fresh = await browser.newContext();
  starts["hosted, first visit"].push(await startTime(await fresh.newPage(), `${site.url}teacher.html`));
  await fresh.close();
}
await site.stop();
for (const [what, values] of Object.entries(starts)) {
  console.log(`start to a usable form, ${what}: median ${median(values).toFixed(1)} ms (20 loads)`);
}

// From the click to the frame that shows the plot, as the page itself sees it.
const page = await browser.newPage();
await page.goto(pathToFileURL(file).href);
await page.waitForFunction(ready);
console.log(`workers: ${await page.evaluate(() => navigator.hardwareConcurrency)}`);
const inPage = (shots, experiments) => page.evaluate(([n, e]) => {
  document.getElementById("shots").value = n;
  document.getElementById("experiments").value = e;
  document.getElementById("seed").value = "1";
  const form = document.getElementById("form"), began = performance.now();
  document.getElementById("run").click();
  return new Promise((done) => {
    const check = () => (form.dataset.state === "done" ? requestAnimationFrame(() => done(performance.now() - began))
                                                        : setTimeout(check, 1));
    check();
  });
}, [shots, experiments]);
const scratch = mkdtempSync(join(tmpdir(), "mokopera-bench-"));
const native = (shots, experiments) => {
  const began = process.hrtime.bigint();
  execFileSync(sim, ["-n", shots, "-e", experiments, "--seed", "1", "--plot", join(scratch, "plot.svg")], { stdio: "ignore" });
  return Number(process.hrtime.bigint() - began) / 1e6;
};
for (const [shots, experiments] of process.env.POOL_ONLY ? [] : [["50", "1000000"], ["5..50", "100000"]]) {
  const web = [], whole = [];
  for (let run = 0; run < 5; run++) {
    web.push(await inPage(shots, experiments));
    whole.push(native(shots, experiments));
  }
  const [w, n] = [median(web), median(whole)];
  console.log(`-n ${shots} -e ${experiments}: page ${w.toFixed(0)} ms, mokopera-sim ${n.toFixed(0)} ms, ` +
              `ratio ${(w / n).toFixed(2)}x (medians of 5)`);
}

// 2 000 students' codes, N 5 to 50, pasted at once; then a class of 10 000 series, and one more
// code pasted into it.
const codes = (count) => Array.from({ length: count }, (_, k) => {
  const shots = 5 + (k % 46), experiments = 10 + (k * 7919) % 90;
  return `生徒${k + 1}: ${resultCode(shots, experiments, Math.floor(experiments * (1 - 0.9 ** shots)), idNumber(k * 7919 + 1))}`;
}).join("\n");
// From the paste to the frame that shows `rows` series (and, where `plot` says so, the plot of them).
const pasteTime = (text, rows, plot) => page.evaluate(([t, n, p]) => {
  const clipboardData = new DataTransfer(), began = performance.now();
  clipboardData.setData("text/plain", t);
  document.getElementById("codes").dispatchEvent(new ClipboardEvent("paste", { clipboardData, cancelable: true }));
  return new Promise((done) => {
    const shown = () => document.querySelectorAll(".pool-group tbody tr:not(.pooled)").length === n &&
      (!p || document.getElementById("pool-plot").dataset.series === String(n));
    const check = () => (shown() ? requestAnimationFrame(() => done(performance.now() - began)) : setTimeout(check, 1));
    check();
  });
}, [text, rows, plot]);
const fresh = async () => {
  await page.evaluate(() => localStorage.clear());
  await page.reload();
  await page.waitForFunction(ready);
};
const pasted = [];
for (let run = 0; run < 5; run++) {
  await fresh();
  pasted.push(await pasteTime(codes(2000), 2000, true));
}
console.log(`2000 codes pasted, to the tables and the plot on the screen: median ${median(pasted).toFixed(0)} ms (5 runs)`);
await fresh();
await pasteTime(codes(10000), 10000, true);
const added = [];
for (let run = 0; run < 9; run++) {
  added.push(await pasteTime(resultCode(20, 30, 27, idNumber(1e9 + run)), 10001 + run, false));
}
console.log(`one code pasted into a class of 10 000 series, to its row on the screen: median ${median(added).toFixed(1)} ms (9 runs)`);
await browser.close();
rmSync(scratch, { recursive: true, force: true });
