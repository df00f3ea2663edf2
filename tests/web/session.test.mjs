// The web edition as a student uses it, in the engine MOKOPERA_ENGINE names (chromium, firefox or
// webkit): the single file from file://, a whole session (the dialogs' buttons where the engine
// reports them among it), and every label's border at phone sizes. MOKOPERA_PAGE names the built
// mokopera.html.
import assert from "node:assert/strict";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { test } from "node:test";
import { pathToFileURL } from "node:url";
import { ENGINE, inBrowser } from "../../scripts/browsers/engines.mjs";
import { readPicture } from "./picture.mjs";

const PAGE = pathToFileURL(process.env.MOKOPERA_PAGE ?? "build-web/mokopera.html").href;
const text = (tab, id) => tab.evaluate((i) => document.getElementById(i).textContent, id);
const boxOpen = (tab, title) =>
  tab.waitFor((t) => document.getElementById("box").open && document.getElementById("box-title").textContent === t, title);
// Fire, Auto start, Auto stop, Quit, Reset, HELP: a letter when enabled, '.' when not.
const buttons = (tab) => tab.evaluate(() =>
  [..."FASQRH"].map((letter, i) => (document.getElementById(`Command${i + 1}`).disabled ? "." : letter)).join(""));
// Whether the point the engine reports as each dialog button's centre is where the pointer hits it.
const hits = (tab) => tab.evaluate(() => [...document.querySelectorAll("#box-buttons button")].map((button) => {
  const box = button.getBoundingClientRect();
  return document.elementFromPoint(box.left + box.width / 2, box.top + box.height / 2) === button;
}));
const enter = async (tab, shots) => {
  await boxOpen(tab, "鉄砲の発射回数の設定");
  await tab.fill("#box-field", shots);
  await tab.press("Enter");
};

test("a student's session", inBrowser({ width: 600, height: 800 }, async (tab) => {
  // The start: the entry box offering 20 selected.
  await tab.goto(PAGE);
  await boxOpen(tab, "鉄砲の発射回数の設定");
  assert.match(await text(tab, "box"), /５以上５０以下の整数を入力してください。/);
  assert.deepEqual(await tab.evaluate(() => {
    const field = document.getElementById("box-field");
    return [field.value, field.selectionStart, field.selectionEnd, document.activeElement === field];
  }), ["20", 0, 2, true]);
  assert.equal(await tab.evaluate(() => document.title), "モコペラも数撃ちゃ当たる");

  // A rejected entry asks again offering 20; Escape asks whether to end; No asks again.
  await enter(tab, "51");
  await boxOpen(tab, "鉄砲の発射回数の設定");
  assert.equal(await tab.evaluate(() => document.getElementById("box-field").value), "20");
  await tab.press("Escape");
  await boxOpen(tab, "確認");
  assert.match(await text(tab, "box"), /終了していいですか？/);
  assert.deepEqual(await hits(tab), [true, true]);
  const no = await tab.centre("#box-buttons button:last-child");
  await tab.clickAt(no.x, no.y);
  await enter(tab, "5");
  assert.equal(await text(tab, "Label15"), "0.4095100");

  // The canvas is first in the focus order, then the buttons; no caption can be selected.
  await tab.waitFor(() => !document.getElementById("box").open && document.activeElement === document.body);
  for (const id of ["Picture1", "Command1", "Command2"]) {
    await tab.press("Tab");
    assert.equal(await tab.evaluate(() => document.activeElement.id), id);
  }
  await tab.doubleClick("#Label7");
  assert.equal(await tab.evaluate(() => getSelection().toString()), "");

  // An experiment of five shots: counters, the verdict in its colour, the rate, the announcement,
  // and the verdict's cue, decoded from the page once the first click woke the audio.
  for (let shot = 1; shot <= 5; shot++) {
    await tab.click("#Command1");
    assert.equal(await text(tab, "Label4"), String(shot));
  }
  const verdict = await text(tab, "Label9");
  assert.equal(await tab.evaluate(() => getComputedStyle(document.getElementById("Label9")).color),
    verdict === "成功" ? "rgb(0, 0, 255)" : "rgb(255, 0, 0)");
  assert.match(await text(tab, "announcer"), new RegExp(`^${verdict}。実験回数 1、成功率 `));
  const cues = await tab.evaluate(() => ({ opened: window.mokopera.cues.opened,
    seconds: Object.values(window.mokopera.cues.buffers).map((buffer) => buffer.duration) }));
  assert.equal(cues.opened, verdict === "成功" ? "Chimes.wav" : "Chimes2.wav");
  assert.ok(cues.seconds.length === 4 && cues.seconds.every((s) => s > 0.3 && s < 1.5), JSON.stringify(cues));

  // Automatic firing: only Auto stop while it runs. Held up for three
  // seconds, the page fires one shot and goes on every 100 ms, never all the missed ones at once.
  await tab.click("#Command2");
  assert.equal(await buttons(tab), "..S...");
  await tab.waitFor(() => Number(document.getElementById("Label4").textContent) >= 4);
  const burst = await tab.evaluate(() => new Promise((done) => {
    const program = window.mokopera.program, tick = program.tick.bind(program), at = [];
    program.tick = () => {
      at.push(performance.now());
      tick();
    };
    for (const end = performance.now() + 3000; performance.now() < end;);
    const resumed = performance.now();
    setTimeout(() => done(at.filter((t) => t >= resumed && t < resumed + 500).length), 520);
  }));
  assert.ok(burst >= 4 && burst <= 6, `${burst} shots in the half second after a hold-up`);
  await tab.click("#Command3");

  // Reset asks again; HELP shows the 25 lines; 閉じる brings a fresh main window that asks again.
  await tab.click("#Command5");
  await boxOpen(tab, "鉄砲の発射回数の設定");
  assert.deepEqual(await hits(tab), [true, true]);
  await tab.fill("#box-field", "24");
  await tab.click("#box-buttons button:first-child");
  assert.equal(await text(tab, "Label15"), "0.9202335");
  await tab.click("#Command6");
  await tab.waitFor(() => document.querySelectorAll("#Form2 #Picture1 > div").length === 25);
  assert.equal(await tab.evaluate(() => document.getElementById("Form1")), null);
  assert.match(await text(tab, "Picture1"), /【問　　題】/);
  await tab.click("#Command1");
  await enter(tab, "5");
  assert.equal(await tab.evaluate(() => document.getElementById("Form2")), null);

  // Quit answered Yes ends, and the page offers to start again.
  await tab.click("#Command4");
  await boxOpen(tab, "モコペラも数撃ちゃ当たる");
  await tab.press("Enter");
  await tab.waitFor(() => !document.getElementById("ended").hidden);
  await tab.click("#restart");
  await boxOpen(tab, "鉄砲の発射回数の設定");
}));

// Every edge of the fourteen boxed labels shows as a dark line of the screenshot, the window being
// scaled down to a phone's screen.
for (const [width, height] of [[320, 568], [375, 667]]) {
  test(`label borders at ${width}×${height}`, { skip: ENGINE === "webkit" && "MiniBrowser's window is 447 px wide at least" },
    inBrowser({ width, height }, async (tab) => {
      await tab.goto(PAGE);
      await enter(tab, "20");
      await tab.waitFor(() => !document.getElementById("box").open);
      await tab.painted();
      const path = join(tmpdir(), `mokopera-borders-${ENGINE}-${width}.png`);
      await tab.screenshot(path);
      const { pageWidth, labels } = await tab.evaluate(() => ({ pageWidth: innerWidth,
        labels: Array.from(document.querySelectorAll(".label.boxed, .label.title, .label.wrapped"), (label) => {
          const { left, top, right, bottom } = label.getBoundingClientRect();
          return { id: label.id, left, top, right, bottom };
        }) }));
      const picture = readPicture(path), k = picture.width / pageWidth;
      const dark = (x, y) => picture.at(x * k, y * k).reduce((sum, value) => sum + value) < 3 * 100;
      // An edge shows when, along its middle three fifths, a dark pixel lies within a pixel of it.
      const shows = (x0, y0, x1, y1) => {
        for (let t = 0.2; t <= 0.8; t += 0.05) {
          const x = x0 + (x1 - x0) * t, y = y0 + (y1 - y0) * t;
          if (![-1, 0, 1].some((d) => (x0 === x1 ? dark(x + d / k, y) : dark(x, y + d / k)))) return false;
        }
        return true;
      };
      const missed = labels.flatMap(({ id, left, top, right, bottom }) => Object.entries({
        top: [left, top + 0.5, right, top + 0.5], bottom: [left, bottom - 0.5, right, bottom - 0.5],
        left: [left + 0.5, top, left + 0.5, bottom], right: [right - 0.5, top, right - 0.5, bottom],
      }).filter(([, edge]) => !shows(...edge)).map(([side]) => `${id} ${side}`));
      assert.deepEqual({ labels: labels.length, missed }, { labels: 14, missed: [] });
    }));
}
