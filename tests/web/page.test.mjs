// The web edition in the system's Chromium, headless, opened from file:// with every request that
// is not a data: or blob: URL blocked: the same program as the desktop one, driven through a
// student's session. MOKOPERA_PAGE names the built mokopera.html.
import assert from "node:assert/strict";
import { test } from "node:test";
import { pathToFileURL } from "node:url";
import { chromium } from "playwright-core";

const PAGE = pathToFileURL(process.env.MOKOPERA_PAGE ?? "build-web/mokopera.html").href;
const FLAGS = ["--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-background-networking",
               "--disable-component-update", "--disable-sync"];

test("a student's session", async () => {
  const browser = await chromium.launch({ executablePath: process.env.CHROMIUM ?? "/usr/bin/chromium", args: FLAGS });
  const page = await browser.newPage({ viewport: { width: 600, height: 800 } });
  const requests = [], errors = [];
  page.on("pageerror", (error) => errors.push(String(error)));
  await page.route("**/*", (route) => {
    requests.push(route.request().url());
    return /^(data|blob|file):/.test(route.request().url()) ? route.continue() : route.abort();
  });
  const box = async (title) => page.getByRole("dialog", { name: title }).waitFor();
  const text = (id) => page.locator(`#${id}`).textContent();
  const enter = async (shots) => {
    await box("鉄砲の発射回数の設定");
    await page.fill("#box-field", shots);
    await page.keyboard.press("Enter");
  };
  // Fire, Auto start, Auto stop, Quit, Reset, HELP: a letter when enabled, '.' when not.
  const buttons = () => page.evaluate(() =>
    [..."FASQRH"].map((letter, i) => (document.getElementById(`Command${i + 1}`).disabled ? "." : letter)).join(""));

  // The start: the entry box offering 20 selected, no request beyond the file itself.
  await page.goto(PAGE);
  await box("鉄砲の発射回数の設定");
  assert.match(await page.locator("#box").textContent(), /５以上５０以下の整数を入力してください。/);
  assert.deepEqual(await page.$eval("#box-field", (f) => [f.value, f.selectionStart, f.selectionEnd]), ["20", 0, 2]);
  assert.equal(await buttons(), "FA.Q.H");
  assert.equal(await page.title(), "モコペラも数撃ちゃ当たる");

  // A rejected entry asks again offering 20; Cancel asks whether to end; No asks again.
  await enter("51");
  await box("鉄砲の発射回数の設定");
  assert.equal(await page.inputValue("#box-field"), "20");
  await page.keyboard.press("Escape");
  await box("確認");
  assert.match(await page.locator("#box").textContent(), /終了していいですか？/);
  await page.getByRole("button", { name: "いいえ" }).click();
  await enter("5");

  // An experiment of five shots: counters, the verdict in its colour, the rate, the announcement,
  // and the verdict's cue playing from the four cues, decoded once the first click woke the audio.
  for (let shot = 1; shot <= 5; shot++) {
    await page.click("#Command1");
    assert.equal(await text("Label4"), String(shot));
  }
  const verdict = await text("Label9");
  assert.equal(await page.$eval("#Label9", (l) => l.style.color), verdict === "成功" ? "rgb(0, 0, 255)" : "rgb(255, 0, 0)");
  assert.equal(await text("Label5"), verdict === "成功" ? "1.0000000" : "0.0000000");
  assert.equal(await text("Label11"), "1");
  assert.equal(Number(await text("Label2")) > 0, verdict === "成功");
  assert.match(await text("announcer"), new RegExp(`^${verdict}。実験回数 1、成功率 `));
  const cues = await page.evaluate(() => ({ playing: window.mokopera.cues.source !== null, opened: window.mokopera.cues.opened,
    seconds: Object.values(window.mokopera.cues.buffers).map((buffer) => buffer.duration) }));
  assert.equal(cues.opened, verdict === "成功" ? "Chimes.wav" : "Chimes2.wav");
  assert.ok(cues.playing && cues.seconds.length === 4 && cues.seconds.every((s) => s > 0.3 && s < 1.5), JSON.stringify(cues));
  assert.equal(await buttons(), "FA.QRH");

  // The theory for a few N, through Reset.
  for (const [shots, theory] of [["10", "0.6513215"], ["24", "0.9202335"], ["50", "0.9948462"]]) {
    await page.click("#Command5");
    await enter(shots);
    assert.equal(await text("Label15"), theory);
    assert.equal(await buttons(), "FA.Q.H");
    await page.click("#Command1");
  }

  // Automatic firing: only Auto stop while it runs, Reset available after it.
  await page.click("#Command2");
  assert.equal(await buttons(), "..S...");
  await page.waitForFunction(() => Number(document.getElementById("Label4").textContent) >= 4);
  await page.click("#Command3");
  assert.equal(await buttons(), "FA.QRH");

  // HELP shows the 25 lines; 閉じる brings a fresh main window that asks for N again.
  await page.click("#Command6");
  await page.waitForFunction(() => document.querySelectorAll("#Form2 #Picture1 > div").length === 25);
  assert.equal(await page.locator("#Form1").count(), 0);
  assert.match(await text("Picture1"), /【問　　題】/);
  await page.click("#Command1");
  await enter("5");
  assert.equal(await page.locator("#Form2").count(), 0);
  for (const label of ["Label2", "Label4", "Label11"]) assert.equal(await text(label), "");

  // Quit: No keeps everything; Yes ends, and the page offers to start again.
  await page.click("#Command1");
  const before = await page.locator("#Form1").innerHTML();
  await page.click("#Command4");
  await box("モコペラも数撃ちゃ当たる");
  await page.getByRole("button", { name: "いいえ" }).click();
  assert.equal(await page.locator("#Form1").innerHTML(), before);
  await page.click("#Command4");
  await page.keyboard.press("Enter");
  await page.getByRole("button", { name: "もう一度始める" }).click();
  await box("鉄砲の発射回数の設定");

  assert.ok(requests.every((url) => /^(data|blob):/.test(url) || url === PAGE), requests.join("\n"));
  assert.deepEqual(errors, []);
  await browser.close();
});
