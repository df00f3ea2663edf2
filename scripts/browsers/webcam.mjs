// What a teacher's webcam sees when a student holds a device up to it, for Chromium's fake camera
// (--use-file-for-fake-video-capture): a screenshot of the real student page on a tablet or a
// phone, rendered as a 1280 × 720 webcam with a 70° view sees the device at a given distance,
// turned and tilted (perspective), in low contrast, under a glare, a little out of focus, with
// sensor noise that changes every frame and a hand that shakes by a few pixels. The test of the
// camera and its benchmark share it.
import { execFileSync } from "node:child_process";
import { mkdtemp, writeFile } from "node:fs/promises";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { launch } from "./engines.mjs";

// The devices: their viewport in CSS pixels, device pixels to the CSS pixel, and the screen's
// width in centimetres (a 10.2-inch tablet; a 6.1-inch phone).
export const DEVICES = {
  tablet: { width: 810, height: 1080, scale: 2, widthCm: 15.6 },
  phone: { width: 390, height: 844, scale: 3, widthCm: 6.46 },
};

const CAMERA = { width: 1280, height: 720, view: 70 };

// A student's visit on `device`, on the student page `page`: each series of `series` ([N, shots
// fired], Reset between them), the page reloaded once where `reload` says so, then 結果を送る
// (listing the codes `shown` instead of the visit's own, where given: a code the test makes
// wrong) and, where `whole` says so, its first QR code on the whole screen. Returns the
// screenshot's path and the series as the page lists them ({shots, experiments, successes, code}).
export async function studentScreen(device, page, { series, reload = false, shown, whole = false }) {
  const { width, height, scale } = DEVICES[device];
  const { tab, close } = await launch("chromium", { width, height, scale, mobile: true });
  const enter = async (shots) => {
    await tab.waitFor(() => document.getElementById("box")?.open);
    await tab.fill("#box-field", String(shots));
    await tab.press("Enter");
  };
  try {
    await tab.goto(page);
    for (const [index, [shots, fired]] of series.entries()) {
      if (index > 0) await tab.click("#Command5");
      await enter(shots);
      for (let shot = 0; shot < fired; ++shot) await tab.click("#Command1");
    }
    if (reload) {
      await tab.reload();
      await enter(series[0][0]);
    }
    const listed = await tab.evaluate((codes) => {
      const { series: log } = window.mokopera;
      const all = log.all();
      if (codes) log.all = () => codes.map((code) => ({ shots: Number(code.slice(3, 5)), experiments: 0, successes: 0, rate: "", code }));
      return all.map(({ shots, experiments, successes, code }) => ({ shots, experiments, successes, code }));
    }, shown ?? null);
    await tab.click("#send");
    await tab.waitFor(() => document.getElementById("results").open);
    if (whole) {
      await tab.click("#results-list .code-buttons button");
      await tab.waitFor(() => document.getElementById("qr-whole").open);
    }
    await tab.painted();
    const path = join(await mkdtemp(join(tmpdir(), "mokopera-screen-")), `${device}.png`);
    await tab.screenshot(path);
    return { path, series: listed };
  } finally {
    await close();
  }
}

// A picture's grey levels, read through ImageMagick.
export function greyPicture(path) {
  const [width, height] = execFileSync("convert", [path, "-format", "%w %h", "info:"], { encoding: "utf8" }).split(" ").map(Number);
  return { width, height, grey: execFileSync("convert", [path, "-colorspace", "Gray", "-depth", "8", "gray:-"], { maxBuffer: 1 << 28 }) };
}

// A generator of numbers in [0, 1), the same for the same seed.
function random(seed) {
  return () => {
    seed = (seed + 0x6D2B79F5) >>> 0;
    let t = Math.imul(seed ^ (seed >>> 15), seed | 1);
    t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
    return ((t ^ (t >>> 14)) >>> 0) / 2 ** 32;
  };
}

// The camera's picture of `screen` (greyPicture) on a device `widthCm` wide, its centre `distanceCm`
// away and a little off the camera's axis, turned by `turn`°, tilted back by `tilt`° and swung by
// `swing`°: each camera pixel averaged over 3 × 3 rays into the screen, the screen's contrast
// lowered to `contrast` of the camera's range, a glare on it, a dark bezel around it, and the
// room behind.
function render({ width: sw, height: sh, grey }, { widthCm, distanceCm, turn = 10, tilt = 25, swing = 6,
                                                   contrast = [0.2, 0.8], glare = [0.7, 0.3] }) {
  const { width: W, height: H } = CAMERA;
  const focal = W / 2 / Math.tan(CAMERA.view / 2 * Math.PI / 180);
  const heightCm = widthCm * sh / sw;
  const [a, b, c] = [turn, tilt, swing].map((degrees) => degrees * Math.PI / 180);
  // The device's axes in the camera's frame: turned about the view, tilted, swung.
  const rz = [[Math.cos(a), -Math.sin(a), 0], [Math.sin(a), Math.cos(a), 0], [0, 0, 1]];
  const rx = [[1, 0, 0], [0, Math.cos(b), -Math.sin(b)], [0, Math.sin(b), Math.cos(b)]];
  const ry = [[Math.cos(c), 0, Math.sin(c)], [0, 1, 0], [-Math.sin(c), 0, Math.cos(c)]];
  const times = (m, n) => m.map((row) => [0, 1, 2].map((j) => row[0] * n[0][j] + row[1] * n[1][j] + row[2] * n[2][j]));
  const r = times(times(rz, rx), ry);
  const across = [r[0][0], r[1][0], r[2][0]], down = [r[0][1], r[1][1], r[2][1]], normal = [r[0][2], r[1][2], r[2][2]];
  const centre = [-0.08 * distanceCm, 0.05 * distanceCm, distanceCm];
  const reach = normal[0] * centre[0] + normal[1] * centre[1] + normal[2] * centre[2];
  const [low, high] = contrast;
  const picture = new Float32Array(W * H);
  for (let v = 0; v < H; v++) {
    for (let u = 0; u < W; u++) {
      let sum = 0;
      for (let i = 0; i < 9; i++) {
        const x = (u + (i % 3 + 0.5) / 3 - W / 2) / focal, y = (v + (Math.floor(i / 3) + 0.5) / 3 - H / 2) / focal;
        const t = reach / (normal[0] * x + normal[1] * y + normal[2]);
        const p = [x * t - centre[0], y * t - centre[1], t - centre[2]];
        const sx = (p[0] * across[0] + p[1] * across[1] + p[2] * across[2]) / widthCm * sw + sw / 2;
        const sy = (p[0] * down[0] + p[1] * down[1] + p[2] * down[2]) / heightCm * sh + sh / 2;
        if (sx >= 0 && sy >= 0 && sx < sw - 1 && sy < sh - 1) {
          const x0 = Math.floor(sx), y0 = Math.floor(sy), fx = sx - x0, fy = sy - y0, at = y0 * sw + x0;
          const level = (grey[at] * (1 - fx) + grey[at + 1] * fx) * (1 - fy) + (grey[at + sw] * (1 - fx) + grey[at + sw + 1] * fx) * fy;
          const gx = sx / sw - glare[0], gy = sy / sh - glare[1];
          sum += 255 * low + level * (high - low) + 128 * Math.exp(-(gx * gx + gy * gy) / 0.06);
        } else if (sx > -0.06 * sw && sy > -0.05 * sh && sx < 1.06 * sw && sy < 1.05 * sh) {
          sum += 28;
        } else {
          sum += 105 + 25 * Math.sin(u / 41) * Math.cos(v / 57);
        }
      }
      picture[v * W + u] = sum / 9;
    }
  }
  return picture;
}

// One frame of `picture` as the camera gives it: shifted by the hand's shake, blurred by about a
// pixel, with fresh noise. Its levels are video's (16 to 235), as Chromium reads a Y4M file
// whatever its header says, so that the page sees the picture's own levels.
function frame(picture, [dx, dy], next) {
  const { width: W, height: H } = CAMERA;
  const grey = Buffer.alloc(W * H);
  const at = (u, v) => picture[Math.min(H - 1, Math.max(0, v + dy)) * W + Math.min(W - 1, Math.max(0, u + dx))];
  for (let v = 0; v < H; v++) {
    for (let u = 0; u < W; u++) {
      const blurred = (4 * at(u, v) + 2 * (at(u - 1, v) + at(u + 1, v) + at(u, v - 1) + at(u, v + 1)) +
                       at(u - 1, v - 1) + at(u + 1, v - 1) + at(u - 1, v + 1) + at(u + 1, v + 1)) / 16;
      const noise = (next() + next() + next() + next() - 2) * 10;  // about 5 levels either way
      grey[v * W + u] = Math.round(16 + Math.max(0, Math.min(255, blurred + noise)) * 219 / 255);
    }
  }
  return grey;
}

// Writes a webcam video of `scenes` to a Y4M file in a new folder and returns its path: each scene
// {screen: a screenshot's path, device, distanceCm, frames} for its number of frames, 20 a second.
export async function webcamVideo(scenes, seed = 1) {
  const { width: W, height: H } = CAMERA;
  const next = random(seed);
  const chroma = Buffer.alloc(W * H / 2, 128);
  const parts = [Buffer.from(`YUV4MPEG2 W${W} H${H} F20:1 Ip A1:1 C420\n`)];
  for (const { screen, device, distanceCm, frames = 20, ...pose } of scenes) {
    const picture = render(greyPicture(screen), { widthCm: DEVICES[device].widthCm, distanceCm, ...pose });
    const hand = [0, 0];
    for (let count = 0; count < frames; count++) {
      for (const axis of [0, 1]) hand[axis] = Math.max(-3, Math.min(3, hand[axis] + Math.round(next() * 2 - 1)));
      parts.push(Buffer.from("FRAME\n"), frame(picture, hand, next), chroma);
    }
  }
  const path = join(await mkdtemp(join(tmpdir(), "mokopera-webcam-")), "webcam.y4m");
  await writeFile(path, Buffer.concat(parts));
  return path;
}
