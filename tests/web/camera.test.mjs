// The camera and the lesson link, in the engine MOKOPERA_ENGINE names. In Chromium a fake camera
// plays to the hosted teacher's page, first a clean video of QR codes made here by the page's own
// encoder (thirty students' codes, one shown twice, one with a wrong check): every good code is
// read exactly once, the wrong one named; 停止 and a hidden page end the camera's track. Then a
// webcam's video of real student pages held up across the desk (webcam.mjs): a tablet upright
// with two series, reloaded once, at 45 cm; a tablet at 60 cm with a wrong code among its own;
// a phone at 40 cm; a tablet's whole-screen code at 1.5 m: every series read with the window's
// counts, the wrong code named. A camera that cannot be had is said in words and pasting works
// on. A lesson link's #n=22 offers 22; a wrong or missing one offers 20.
import assert from "node:assert/strict";
import { mkdtemp, readFile, rm, writeFile } from "node:fs/promises";
import { tmpdir } from "node:os";
import { join, resolve } from "node:path";
import { test } from "node:test";
import { pathToFileURL } from "node:url";
import { ENGINE, inBrowser, launch, serve } from "../../scripts/browsers/engines.mjs";
import { qrVideo } from "../../scripts/browsers/fake_camera.mjs";
import { studentScreen, webcamVideo } from "../../scripts/browsers/webcam.mjs";

const PAGE = pathToFileURL(process.env.MOKOPERA_PAGE ?? "build-web/mokopera.html").href;
const TEACHER = pathToFileURL(process.env.MOKOPERA_TEACHER ?? "build-web/mokopera-teacher.html").href;
const SITE = resolve(process.env.MOKOPERA_SITE ?? "build-web/site");

test("a lesson link offers its N; a wrong or missing one offers 20", inBrowser({ width: 600, height: 800 }, async (tab) => {
  for (const [fragment, offered] of [["#n=22", "22"], ["#n=99", "20"], ["#n=abc", "20"], ["", "20"]]) {
    await tab.goto(`${PAGE}?${offered}${fragment}`);  // a new address each time: a new document
    await tab.waitFor(() => document.getElementById("box").open);
    assert.deepEqual(await tab.evaluate(() => {
      const field = document.getElementById("box-field");
      return [field.value, field.selectionStart, field.selectionEnd];
    }), [offered, 0, 2], fragment || "no fragment");
  }
}));

test("a camera that cannot be had is said in words, and pasting works on", { skip: ENGINE === "chromium" && "the fake camera below" },
  inBrowser({ width: 900, height: 900, firefoxPrefs: { "permissions.default.camera": 2 } }, async (tab) => {
    await tab.goto(TEACHER);
    await tab.waitFor(() => document.getElementById("form").dataset.state === "ready");
    await tab.click("#scan");
    await tab.waitFor(() => /コードを貼り付けてください|許可/.test(document.getElementById("scan-status").textContent));
    assert.equal(await tab.evaluate(() => document.getElementById("scanner").hidden), true);
    await tab.evaluate(() => {
      const box = document.getElementById("codes");
      box.value = "M1-22-00010-00009-BBBBB95";
      document.getElementById("add-codes").click();
    });
    await tab.waitFor(() => !document.getElementById("pool-output").hidden);
  }));

// What the scans said, the newest first.
const log = (tab) => tab.evaluate(() => Array.from(document.querySelectorAll("#scan-log li"), (item) => item.textContent));
// The series in the teacher's pool, "N experiments successes" each.
const series = (tab) => tab.evaluate(() => Array.from(document.querySelectorAll(".pool-group"), (group) =>
  Array.from(group.querySelectorAll("tbody tr:not(.pooled)"), (row) =>
    [group.querySelector("h3").textContent.slice(4), ...Array.from(row.cells, (cell) => cell.textContent).slice(1, 3)].join(" ")))
  .flat().sort());

// The hosted teacher's page with Chromium's fake camera playing `video`, scanning.
async function scanning(video, scenario) {
  const site = await serve(SITE, "/mokopera/");
  const { tab, close } = await launch("chromium", { width: 1000, height: 900, chromiumArgs: [
    "--use-fake-device-for-media-stream", "--use-fake-ui-for-media-stream", `--use-file-for-fake-video-capture=${video}`] });
  try {
    await tab.goto(`${site.url}teacher.html`);
    await tab.waitFor(() => document.getElementById("form").dataset.state === "ready");
    await scenario(tab);
  } finally {
    await close();
    await site.stop();
  }
}

test("a fake camera showing thirty codes fills the pool: each read once, the wrong one named, the camera freed",
  { skip: ENGINE !== "chromium" && "Chromium's fake camera" }, async () => {
    const lines = (await readFile(new URL("class_paste.txt", import.meta.url), "utf8")).split("\n");
    const good = lines.slice(1, 31).map((line) => line.match(/M1-[0-9A-Z-]{22}/i)?.[0]).filter(Boolean);
    const wrong = "M1-20-01040-00035-QWERT4C";
    const folder = await mkdtemp(join(tmpdir(), "mokopera-camera-"));
    const file = join(folder, "codes.y4m");
    await writeFile(file, await qrVideo([...good.slice(0, 15), good[3], wrong, ...good.slice(15)]));
    await scanning(file, async (tab) => {
      // The sounds counted as they are made.
      await tab.evaluate(() => {
        window.tones = 0;
        const make = AudioContext.prototype.createOscillator;
        AudioContext.prototype.createOscillator = function tone() { window.tones += 1; return make.call(this); };
      });
      await tab.click("#scan");
      await tab.waitWithin(90000, (count) => document.querySelectorAll("#scan-log li").length >= count, good.length + 1);
      await new Promise((done) => setTimeout(done, 1500));  // the video goes on: nothing more is added
      const read = await log(tab);
      assert.equal(read.filter((line) => /^１件を追加しました（N=2[02] が１件）$/.test(line)).length, good.length);
      assert.deepEqual(read.filter((line) => !line.includes("件を追加しました")), [`読み取れませんでした: チェック文字が違います（${wrong}）`]);
      assert.equal(await tab.evaluate(() => window.tones), good.length + 1);  // the wrong one too, in a low tone
      assert.deepEqual(await series(tab), good.map((code) => code.toUpperCase().split("-").slice(1, 4).map(Number).join(" ")).sort());

      // 停止 ends the camera's track; so does the page being hidden.
      const track = () => tab.evaluate(() => { window.track = document.getElementById("scan-video").srcObject.getVideoTracks()[0]; });
      await track();
      await tab.click("#scan-stop");
      assert.deepEqual(await tab.evaluate(() => [window.track.readyState, document.getElementById("scan-video").srcObject]), ["ended", null]);
      await tab.click("#scan");
      await tab.waitFor(() => document.getElementById("scan-video").srcObject);
      await track();
      await tab.evaluate(() => {
        Object.defineProperty(document, "visibilityState", { value: "hidden", configurable: true });
        document.dispatchEvent(new Event("visibilitychange"));
      });
      assert.equal(await tab.evaluate(() => window.track.readyState), "ended");
      assert.deepEqual(await tab.problems(), [], "script errors or policy violations");
    });
    await rm(folder, { recursive: true, force: true });
  });

test("student pages held up to a webcam across the desk: every series read with the window's counts, a wrong code named",
  { skip: ENGINE !== "chromium" && "Chromium's fake camera" }, async () => {
    const wrong = "M1-20-01040-00035-QWERT4C";
    // Students, each holding a device up in turn: what their pages list, and the video of it. The
    // second shows a code with a wrong check; the scanning goes on after it.
    const students = [
      ["tablet", 45, { series: [[5, 10], [6, 6]], reload: true }],
      ["phone", 40, { series: [[5, 0]], shown: [wrong] }],
      ["tablet", 60, { series: [[7, 7]] }],
      ["phone", 40, { series: [[8, 8]] }],
      ["tablet", 150, { series: [[9, 9]], whole: true }],
    ];
    const scenes = [], listed = [];
    for (const [device, distanceCm, visit] of students) {
      const { path, series: made } = await studentScreen(device, PAGE, visit);
      scenes.push({ screen: path, device, distanceCm, frames: 16 });
      listed.push(...made);
    }
    await scanning(await webcamVideo(scenes), async (tab) => {
      await tab.click("#scan");
      await tab.waitWithin(60000, (count) => document.querySelectorAll(".pool-group tbody tr:not(.pooled)").length >= count, listed.length);
      assert.deepEqual(await series(tab), listed.map(({ shots, experiments, successes }) => `${shots} ${experiments} ${successes}`).sort());
      const read = await log(tab);
      assert.ok(read.includes("２件を追加しました（N=5 が１件、N=6 が１件）"), read.join("\n"));
      assert.ok(read.includes(`読み取れませんでした: チェック文字が違います（${wrong}）`), read.join("\n"));
    });
  });
