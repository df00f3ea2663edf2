// The page at scale 1 beside the desktop window, in the engine MOKOPERA_ENGINE names: the same
// target ring and marks, Line1, the help text's line pitch and a label's text position, measured
// on pictures of both. MOKOPERA_WINDOW_SNAPSHOT names the desktop build's window_snapshot, which
// draws the desktop's pictures.
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { existsSync } from "node:fs";
import { mkdtemp, rm } from "node:fs/promises";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { test } from "node:test";
import { pathToFileURL } from "node:url";
import { ENGINE, launch } from "../../scripts/browsers/engines.mjs";
import { readPicture } from "./picture.mjs";

const PAGE = pathToFileURL(process.env.MOKOPERA_PAGE ?? "build-web/mokopera.html").href;
const SNAPSHOT = process.env.MOKOPERA_WINDOW_SNAPSHOT ?? "build/bin/window_snapshot";
const MARKS = [[250, 250, 9], [100, 120, 12], [400, 380, 12], [262.5, 317.3, 9], [251, 90, 12]];  // none on the ring

// Measures a picture of a window, whose top left is at `at` in the PNG file `path`.
function measure(path, at, form) {
  const picture = readPicture(path);
  const pixel = (x, y) => picture.at(at.x + x, at.y + y);
  const grey = ([r, g, b]) => Math.abs(r - g) < 12 && Math.abs(g - b) < 12;
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
      else if (nearRing && grey([r, g, b]) && r < 200) greyNearRing++;
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

test("the page at scale 1 draws what the desktop window draws", async () => {
  assert.ok(existsSync(SNAPSHOT), `${SNAPSHOT} is missing: build the desktop program first (./scripts/test does)`);
  const folder = await mkdtemp(join(tmpdir(), "mokopera-compare-"));
  const { tab, close } = await launch(ENGINE, { width: 433, height: 620 });
  try {
    execFileSync(SNAPSHOT, [folder, ...MARKS.map((mark) => mark.join(","))], { stdio: "ignore" });
    await tab.goto(PAGE);
    await tab.waitFor(() => document.getElementById("box").open);
    await tab.press("Enter");
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

    await tab.setViewport(617, 503);
    await tab.click("#Command6");
    await tab.waitFor(() => document.querySelectorAll("#Form2 #Picture1 > div").length === 25);
    const [help, helpWindow] = await measured("Form2", "help.png");
    near("the help text's last row", help.lastInkRow, helpWindow.lastInkRow, 3);
    near("閉じる", help.closeText, helpWindow.closeText, 1.5);
  } finally {
    await close();
    await rm(folder, { recursive: true, force: true });
  }
});
