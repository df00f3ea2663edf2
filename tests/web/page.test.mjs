// The web edition in the system's Chromium, headless, opened from file:// with every request that
// is not a data: or blob: URL blocked: the same program as the desktop one, driven as a student
// would. MOKOPERA_PAGE names the built mokopera.html.
import assert from "node:assert/strict";
import { after, before, test } from "node:test";
import { pathToFileURL } from "node:url";
import { chromium } from "playwright-core";

const PAGE = pathToFileURL(process.env.MOKOPERA_PAGE ?? "build-web/mokopera.html").href;
const FLAGS = ["--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-background-networking",
               "--disable-component-update", "--disable-sync", "--autoplay-policy=no-user-gesture-required"];
let browser;

before(async () => {
  browser = await chromium.launch({ executablePath: process.env.CHROMIUM ?? "/usr/bin/chromium", args: FLAGS });
});
after(() => browser.close());

// A fresh page with the entry box open; every request it makes is recorded, and any that would
// leave the file is blocked.
async function open() {
  const page = await browser.newPage({ viewport: { width: 600, height: 800 } });
  page.requests = [];
  page.errors = [];
  page.on("pageerror", (error) => page.errors.push(String(error)));
  await page.route("**/*", (route) => {
    const url = route.request().url();
    page.requests.push(url);
    return /^(data|blob|file):/.test(url) ? route.continue() : route.abort();
  });
  await page.goto(PAGE);
  await box(page, "鉄砲の発射回数の設定");
  return page;
}

// Waits for the dialog named `title` and returns it.
async function box(page, title) {
  const dialog = page.getByRole("dialog", { name: title });
  await dialog.waitFor();
  return dialog;
}

const text = (page, id) => page.locator(`#${id}`).textContent();
const enter = async (page, shots) => {
  await page.fill("#box-field", shots);
  await page.keyboard.press("Enter");
};
// Fire, Auto start, Auto stop, Quit, Reset, HELP: a letter when enabled, '.' when not.
const buttons = (page) => page.evaluate(() =>
  [..."FASQRH"].map((letter, i) => (document.getElementById(`Command${i + 1}`).disabled ? "." : letter)).join(""));

test("starts from file:// without a request, offering 20 selected", async () => {
  const page = await open();
  const dialog = await box(page, "鉄砲の発射回数の設定");
  assert.match(await dialog.textContent(), /５以上５０以下の整数を入力してください。/);
  assert.deepEqual(await page.$eval("#box-field", (f) => [f.value, f.selectionStart, f.selectionEnd]), ["20", 0, 2]);
  assert.equal(await buttons(page), "FA.Q.H");
  assert.equal(await page.title(), "モコペラも数撃ちゃ当たる");
  assert.ok(page.requests.every((url) => /^(data|blob):/.test(url) || url === PAGE), page.requests.join("\n"));
  assert.deepEqual(page.errors, []);
  await page.close();
});

test("a rejected entry asks again; Cancel asks whether to end, and No asks again", async () => {
  const page = await open();
  await enter(page, "51");
  await box(page, "鉄砲の発射回数の設定");
  assert.equal(await page.inputValue("#box-field"), "20");
  await page.keyboard.press("Escape");
  const confirm = await box(page, "確認");
  assert.match(await confirm.textContent(), /終了していいですか？/);
  await page.getByRole("button", { name: "いいえ" }).click();
  await enter(page, "20");
  assert.equal(await text(page, "Label15"), "0.8784233");
  await page.close();
});

test("an experiment of five shots: counters, the verdict in its colour, the rate, the announcement", async () => {
  const page = await open();
  await enter(page, "5");
  for (let shot = 1; shot <= 5; shot++) {
    await page.click("#Command1");
    assert.equal(await text(page, "Label4"), String(shot));
  }
  const verdict = await text(page, "Label9");
  assert.ok(["成功", "失敗"].includes(verdict));
  assert.equal(await page.$eval("#Label9", (l) => l.style.color), verdict === "成功" ? "rgb(0, 0, 255)" : "rgb(255, 0, 0)");
  assert.equal(await text(page, "Label11"), "1");
  assert.equal(await text(page, "Label5"), verdict === "成功" ? "1.0000000" : "0.0000000");
  assert.equal(Number(await text(page, "Label2")) > 0, verdict === "成功");
  assert.match(await text(page, "announcer"), new RegExp(`^${verdict}。`));
  // The four cues, decoded once the first click woke the audio; the verdict's cue is playing.
  const cues = await page.evaluate(() => ({ playing: window.mokopera.cues.source !== null, opened: window.mokopera.cues.opened,
    seconds: Object.values(window.mokopera.cues.buffers).map((buffer) => buffer.duration) }));
  assert.deepEqual(cues.opened, verdict === "成功" ? "Chimes.wav" : "Chimes2.wav");
  assert.ok(cues.playing && cues.seconds.length === 4 && cues.seconds.every((s) => s > 0.3 && s < 1.5), JSON.stringify(cues));
  assert.equal(await buttons(page), "FA.QRH");
  await page.close();
});

test("the theory for a few N, through Reset", async () => {
  const page = await open();
  await enter(page, "5");
  for (const [shots, theory] of [["10", "0.6513215"], ["24", "0.9202335"], ["50", "0.9948462"]]) {
    await page.click("#Command1");
    await page.click("#Command5");
    await enter(page, shots);
    assert.equal(await text(page, "Label15"), theory);
    assert.equal(await buttons(page), "FA.Q.H");
  }
  await page.close();
});

test("automatic firing: only Auto stop while it runs, Reset after it", async () => {
  const page = await open();
  await enter(page, "5");
  await page.click("#Command2");
  assert.equal(await buttons(page), "..S...");
  await page.waitForFunction(() => Number(document.getElementById("Label11").textContent) >= 1);
  await page.click("#Command3");
  assert.equal(await buttons(page), "FA.QRH");
  await page.close();
});

test("HELP shows the help text, 閉じる brings a fresh main window", async () => {
  const page = await open();
  await enter(page, "5");
  await page.click("#Command1");
  await page.click("#Command6");
  await page.waitForFunction(() => document.querySelectorAll("#Form2 #Picture1 > div").length === 25);
  assert.equal(await page.locator("#Form1").count(), 0);
  assert.match(await text(page, "Picture1"), /【問　　題】/);
  await page.click("#Command1");
  await box(page, "鉄砲の発射回数の設定");
  assert.equal(await page.locator("#Form2").count(), 0);
  for (const label of ["Label2", "Label4", "Label11", "Label15"]) assert.equal(await text(page, label), "");
  await page.close();
});

test("Quit: No keeps everything, Yes ends and offers to start again", async () => {
  const page = await open();
  await enter(page, "5");
  await page.click("#Command1");
  const before = await page.locator("#Form1").innerHTML();
  await page.click("#Command4");
  await (await box(page, "モコペラも数撃ちゃ当たる")).getByRole("button", { name: "いいえ" }).click();
  assert.equal(await page.locator("#Form1").innerHTML(), before);
  await page.click("#Command4");
  await page.keyboard.press("Enter");
  await page.getByRole("button", { name: "もう一度始める" }).click();
  await box(page, "鉄砲の発射回数の設定");
  assert.deepEqual(page.errors, []);
  await page.close();
});
