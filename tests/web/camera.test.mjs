// The camera and the lesson link, in the engine MOKOPERA_ENGINE names: in Chromium a fake camera
// plays a video of QR codes made here by the page's own encoder (thirty students' codes, one
// shown twice, one with a wrong check) to the hosted teacher's page, and every good code is read
// exactly once, the wrong one named; 停止 and a hidden page end the camera's track. A camera that
// cannot be had is said in words and pasting works on. A lesson link's #n=22 offers 22; a wrong
// or missing one offers 20.
import assert from "node:assert/strict";
import { mkdtemp, readFile, rm, writeFile } from "node:fs/promises";
import { tmpdir } from "node:os";
import { join, resolve } from "node:path";
import { test } from "node:test";
import { pathToFileURL } from "node:url";
import { ENGINE, inBrowser, launch, serve } from "../../scripts/browsers/engines.mjs";
import { qrVideo } from "../../scripts/browsers/fake_camera.mjs";

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

test("a fake camera showing thirty codes fills the pool: each read once, the wrong one named, the camera freed",
  { skip: ENGINE !== "chromium" && "Chromium's fake camera" }, async () => {
    const lines = (await readFile(new URL("class_paste.txt", import.meta.url), "utf8")).split("\n");
    const good = lines.slice(1, 31).map((line) => line.match(/M1-[0-9A-Z-]{22}/i)?.[0]).filter(Boolean);
    const wrong = "M1-20-01040-00035-QWERT4C";
    const folder = await mkdtemp(join(tmpdir(), "mokopera-camera-"));
    const file = join(folder, "codes.y4m");
    await writeFile(file, await qrVideo([...good.slice(0, 15), good[3], wrong, ...good.slice(15)]));
    const site = await serve(SITE, "/mokopera/");
    const { tab, close } = await launch("chromium", { width: 1000, height: 900, chromiumArgs: [
      "--use-fake-device-for-media-stream", "--use-fake-ui-for-media-stream", `--use-file-for-fake-video-capture=${file}`] });
    try {
      await tab.goto(`${site.url}teacher.html`);
      await tab.waitFor(() => document.getElementById("form").dataset.state === "ready");
      // The sounds counted as they are made.
      await tab.evaluate(() => {
        window.tones = 0;
        const make = AudioContext.prototype.createOscillator;
        AudioContext.prototype.createOscillator = function tone() { window.tones += 1; return make.call(this); };
      });
      await tab.click("#scan");
      const log = () => tab.evaluate(() => Array.from(document.querySelectorAll("#scan-log li"), (item) => item.textContent));
      await tab.waitWithin(90000, (count) => document.querySelectorAll("#scan-log li").length >= count, good.length + 1);
      await new Promise((done) => setTimeout(done, 1500));  // the video goes on: nothing more is added
      const read = await log();
      assert.deepEqual(read.filter((line) => line.startsWith("読み取りました")).sort(),
                       good.map((code) => `読み取りました: ${code.toUpperCase()}`).sort());
      assert.deepEqual(read.filter((line) => !line.startsWith("読み取りました")), [`読み取れませんでした: チェック文字が違います（${wrong}）`]);
      assert.equal(await tab.evaluate(() => window.tones), good.length);
      assert.equal(await tab.evaluate(() => document.querySelectorAll(".pool-group tbody tr:not(.pooled)").length), good.length);

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
    } finally {
      await close();
      await site.stop();
      await rm(folder, { recursive: true, force: true });
    }
  });
