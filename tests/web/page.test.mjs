// The web edition as a student uses it, in the engine MOKOPERA_ENGINE names (chromium, firefox or
// webkit): the single file from file://, a whole session (the dialogs' buttons where the engine
// reports them among it), every label's border at phone sizes, and the page at scale 1 beside the
// desktop window: the same target ring and marks, Line1, the help text's line pitch and a label's
// text position, measured on pictures of both. MOKOPERA_PAGE names the built mokopera.html,
// MOKOPERA_WINDOW_SNAPSHOT the desktop build's window_snapshot, which draws the desktop's pictures.
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { existsSync } from "node:fs";
import { mkdtemp, rm } from "node:fs/promises";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { test } from "node:test";
import { pathToFileURL } from "node:url";
import { ENGINE, inBrowser } from "../../scripts/browsers/engines.mjs";

const PAGE = pathToFileURL(process.env.MOKOPERA_PAGE ?? "build-web/mokopera.html").href;
const SNAPSHOT = process.env.MOKOPERA_WINDOW_SNAPSHOT ?? "build/bin/window_snapshot";
const text = (tab, id) => tab.evaluate((i) => document.getElementById(i).textContent, id);
const boxOpen = (tab, title) =>
  tab.waitFor((t) => document.getElementById("box").open && document.getElementById("box-title").textContent === t, title);
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
  const audit = async (where) => assert.deepEqual(await tab.accessibilityProblems(), [], `axe-core, ${where}`);
  await audit("the entry box");

  // Escape asks whether to end; No asks again.
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
  assert.equal(await tab.evaluate(() => document.getElementById("Picture1").getAttribute("aria-label")),
    `的：この実験の着弾 5 発、命中 ${await text(tab, "Label2")} 発`);
  await audit("after shots");

  // Automatic firing: only Auto stop while it runs. Held up for three
  // seconds, the page fires one shot and goes on every 100 ms, never all the missed ones at once.
  await tab.click("#Command2");
  // Fire, Auto start, Auto stop, Quit, Reset, HELP: a letter when enabled, '.' when not.
  assert.equal(await tab.evaluate(() => [..."FASQRH"].map((letter, i) =>
    (document.getElementById(`Command${i + 1}`).disabled ? "." : letter)).join("")), "..S...");
  await tab.waitFor(() => Number(document.getElementById("Label4").textContent) >= 4);
  const burst = await tab.evaluate(() => new Promise((done) => {
    const program = window.mokopera.program, tick = program.tick.bind(program), at = [];
    program.tick = () => (at.push(performance.now()), tick());
    for (const end = performance.now() + 3000; performance.now() < end;);
    const resumed = performance.now();
    setTimeout(() => done(at.filter((t) => t >= resumed && t < resumed + 500).length), 520);
  }));
  assert.ok(burst >= 4 && burst <= 6, `${burst} shots in the half second after a hold-up`);
  await tab.click("#Command3");

  // Reset asks again, offering 20 again; HELP shows the 25 lines; 閉じる brings a fresh main window
  // that asks again.
  await tab.click("#Command5");
  await boxOpen(tab, "鉄砲の発射回数の設定");
  assert.equal(await tab.evaluate(() => document.getElementById("box-field").value), "20");
  assert.deepEqual(await hits(tab), [true, true]);
  await tab.fill("#box-field", "24");
  await tab.click("#box-buttons button:first-child");
  assert.equal(await text(tab, "Label15"), "0.9202335");
  await tab.click("#Command6");
  await tab.waitFor(() => document.querySelectorAll("#Form2 #Picture1 > div").length === 25);
  assert.equal(await tab.evaluate(() => document.getElementById("Form1")), null);
  assert.match(await text(tab, "Picture1"), /【問　　題】/);
  await audit("the help window");
  await tab.click("#Command1");
  await enter(tab, "5");
  assert.equal(await tab.evaluate(() => document.getElementById("Form2")), null);

  // Quit answered Yes ends, and the page offers to start again.
  await tab.click("#Command4");
  await boxOpen(tab, "モコペラも数撃ちゃ当たる");
  await tab.press("Enter");
  await tab.waitFor(() => !document.getElementById("ended").hidden);
  await audit("the end");
  await tab.click("#restart");
  // はい and もう一度始める at once (a key held down): the new program is the one that fires.
  await enter(tab, "5");
  await tab.click("#Command4");
  await boxOpen(tab, "モコペラも数撃ちゃ当たる");
  await tab.evaluate(() => {
    document.querySelector("#box-buttons button[type=submit]").click();
    document.getElementById("restart").click();
  });
  await enter(tab, "5");
  await tab.click("#Command1");
  assert.equal(await text(tab, "Label4"), "1");
  assert.deepEqual(await tab.problems(), [], "script errors or policy violations");
}));

// A tablet turned from landscape to portrait, a phone turned to landscape, a tablet's window made a
// phone's: the whole window in the visible viewport, as large as it fits.
for (const [[width, height], [turnedWidth, turnedHeight]] of [[[1024, 768], [768, 1024]], [[375, 667], [667, 375]],
                                                            [[1024, 768], [375, 667]]]) {
  test(`turned from ${width}×${height} to ${turnedWidth}×${turnedHeight}`,
    { skip: ENGINE === "webkit" && Math.min(width, turnedWidth) < 447 && "MiniBrowser's window is 447 px wide at least" },
    inBrowser({ width, height, mobile: true }, async (tab) => {
      await tab.goto(PAGE);
      await enter(tab, "20");
      await tab.setViewport(turnedWidth, turnedHeight);
      await tab.waitFor((w, h) => innerWidth === w && innerHeight === h, turnedWidth, turnedHeight);
      await tab.painted();
      // The room is the viewport's, less the page's bar where the bar is below the window; the
      // bar's 結果を送る never covers the window.
      const [box, view, send] = await tab.evaluate(() => {
        const bar = document.getElementById("page-bar");
        return [document.getElementById("Form1").getBoundingClientRect().toJSON(),
          { left: visualViewport.offsetLeft, top: visualViewport.offsetTop, width: visualViewport.width,
            height: visualViewport.height - (bar.classList.contains("beside") ? 0 : bar.offsetHeight) },
          document.getElementById("send").getBoundingClientRect().toJSON()];
      });
      assert.ok(box.left >= view.left - 0.5 && box.top >= view.top - 0.5 && box.right <= view.left + view.width + 0.5 &&
                box.bottom <= view.top + view.height + 0.5 && Math.max(box.width / view.width, box.height / view.height) > 0.98,
                `the window ${JSON.stringify(box)} in the viewport ${JSON.stringify(view)}`);
      assert.ok(send.left >= box.right || send.right <= box.left || send.top >= box.bottom || send.bottom <= box.top,
                `結果を送る ${JSON.stringify(send)} over the window`);
    }));
}

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
        labels: Array.from(document.querySelectorAll(".label.boxed, .label.title, .label.wrapped"),
          (label) => ({ id: label.id, ...label.getBoundingClientRect().toJSON() })) }));
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

// The pixels of a PNG file, read through ImageMagick: at(x, y) is [r, g, b] of the pixel nearest
// to (x, y), clamped to the picture.
function readPicture(path) {
  const ppm = execFileSync("convert", [path, "-depth", "8", "ppm:-"], { maxBuffer: 1 << 28 });
  const [header, width, height] = /^P6\s(\d+)\s(\d+)\s255\s/.exec(ppm.toString("latin1", 0, 40))
    .map((field, i) => (i ? Number(field) : field));
  const clamp = (value, size) => Math.min(Math.max(Math.round(value), 0), size - 1);
  return {
    width,
    at: (x, y) => {
      const i = header.length + 3 * (clamp(y, height) * width + clamp(x, width));
      return [ppm[i], ppm[i + 1], ppm[i + 2]];
    },
  };
}

const MARKS = [[250, 250, 9], [100, 120, 12], [400, 380, 12], [262.5, 317.3, 9], [251, 90, 12]];  // none on the ring

// Measures a picture of a window, whose top left is at `at` in the PNG file `path`.
function measure(path, at, form) {
  const picture = readPicture(path);
  const pixel = (x, y) => picture.at(at.x + x, at.y + y);
  // The darkness-weighted middle row of the ink in a box, from its top.
  const inkMiddle = (left, top, width, height) => {
    let weight = 0, sum = 0;
    for (let y = top + 2; y < top + height - 2; y++) {
      for (let x = left + 2; x < left + width - 2; x++) {
        const ink = 255 - pixel(x, y)[1];
        if (ink > 64) weight += ink, sum += ink * (y - top);
      }
    }
    return sum / weight;
  };
  if (form === "Form2") {
    let lastInk = 0;
    for (let y = 34; y < 495; y++) for (let x = 12; x < 600; x += 1) if (pixel(x, y)[0] < 128) lastInk = y;
    return { lastInkRow: lastInk, closeText: inkMiddle(560, 0, 49, 25) };
  }
  const ring = new Set();
  let greyNearRing = 0, red = 0, blue = 0;
  for (let y = 42; y < 415; y++) {
    for (let x = 18; x < 415; x++) {
      const [r, g, b] = pixel(x, y);
      const nearRing = Math.abs(Math.hypot((x - 18 - 198.5) / 397 * 500, (y - 42 - 186.5) / 373 * 500) - 20) < 3;
      if (r < 64 && g < 64 && b < 64) ring.add(`${x},${y}`);
      else if (nearRing && Math.abs(r - g) < 12 && Math.abs(g - b) < 12 && r < 200) greyNearRing++;
      if (r > 150 && g < 150 && b < 150) red++;
      if (b > 150 && r < 150 && g < 150) blue++;
    }
  }
  return { ring: [...ring], greyNearRing, red, blue, line1: pixel(52, 24)[1], label3Text: inkMiddle(160, 448, 89, 25),
           label15Text: inkMiddle(280, 576, 121, 25) };
}

// Fails unless the page's figure `page` is within `tolerance` of the window's `window`.
const near = (what, page, window, tolerance) =>
  assert.ok(Math.abs(page - window) <= tolerance, `${what}: ${page} on the page against ${window} in the window`);

test("the page at scale 1 draws what the desktop window draws", inBrowser({ width: 433, height: 620 }, async (tab) => {
  assert.ok(existsSync(SNAPSHOT), `${SNAPSHOT} is missing: build the desktop program first (./scripts/test does)`);
  const folder = await mkdtemp(join(tmpdir(), "mokopera-compare-"));
  try {
    execFileSync(SNAPSHOT, [folder, ...MARKS.map((mark) => mark.join(","))], { stdio: "ignore" });
    await tab.goto(PAGE);
    // Each window at its own size, with room below it for the page's bar.
    const bar = await tab.evaluate(() => document.getElementById("page-bar").offsetHeight);
    await tab.setViewport(433, 620 + bar);
    await enter(tab, "20");
    await tab.waitFor(() => !document.getElementById("box").open && document.getElementById("Label15").textContent);
    await tab.evaluate((marks) => {
      for (const [x, y, colour] of marks) window.mokopera.main.canvas.mark(x, y, colour);
    }, MARKS);
    // The page's picture of a form, measured, and the desktop's picture of the same window.
    const measured = async (form, desktopPicture) => {
      const path = join(folder, `page-${form}.png`);
      await tab.painted();
      await tab.screenshot(path);
      const box = await tab.evaluate((id) => document.getElementById(id).getBoundingClientRect().toJSON(), form);
      assert.equal(box.width, form === "Form1" ? 433 : 617);
      return [measure(path, { x: Math.round(box.left), y: Math.round(box.top) }, form),
              measure(join(folder, desktopPicture), { x: 0, y: 0 }, form)];
    };
    const [page, window] = await measured("Form1", "main.png");

    // The ring: black, not grey, on the same pixels. The marks: about as many pixels in their
    // colours (the engines smooth their edges alike). Line1 black; the labels' text at one height.
    const extra = page.ring.filter((p) => !window.ring.includes(p)), missing = window.ring.filter((p) => !page.ring.includes(p));
    assert.ok(window.ring.length > 100 && extra.length + missing.length <= 4,
      `ring: ${page.ring.length} black pixels against ${window.ring.length}, extra ${extra.join(" ")}, missing ${missing.join(" ")}`);
    assert.ok(page.greyNearRing <= 8, `${page.greyNearRing} grey pixels on the ring`);
    for (const colour of ["red", "blue"]) near(colour, page[colour] / window[colour], 1, 0.5);
    assert.ok(page.line1 < 64 && window.line1 < 64, `Line1: ${page.line1} and ${window.line1}`);
    for (const label of ["label3Text", "label15Text"]) near(label, page[label], window[label], 1);

    await tab.setViewport(617, 503 + bar);
    await tab.click("#Command6");
    await tab.waitFor(() => document.querySelectorAll("#Form2 #Picture1 > div").length === 25);
    const [help, helpWindow] = await measured("Form2", "help.png");
    near("the help text's last row", help.lastInkRow, helpWindow.lastInkRow, 3);
    near("閉じる", help.closeText, helpWindow.closeText, 1.5);
  } finally {
    await rm(folder, { recursive: true, force: true });
  }
}));
