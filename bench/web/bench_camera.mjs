// カメラで読み取る's reach. For each device and distance, a webcam's video of the real student page
// held up (scripts/browsers/webcam.mjs: 1280 × 720, 70° view, turned and tilted, low contrast,
// glare, blur, noise, a shaking hand), 16 frames:
// - each decoder on the same frames, in Node.js: jsQR as the page used it (on a copy 640 px
//   wide), jsQR at full size, and ZXing-C++ as the page uses it now: frames read, and
//   milliseconds a frame;
// - the hosted teacher's page in Chromium, the video as its fake camera: from the press of
//   カメラで読み取る to every series of the device in the pool, median of 3 (given up at 8 s).
//   xvfb-run -a node bench/web/bench_camera.mjs [WORDS]   (after ./scripts/web; drivers: npm ci in scripts/browsers)
// WORDS, where given, keeps the cases whose name holds them ("phone").
import { readFileSync } from "node:fs";
import { createRequire } from "node:module";
import { fileURLToPath, pathToFileURL } from "node:url";
import { launch, serve } from "../../scripts/browsers/engines.mjs";
import { studentScreen, webcamVideo } from "../../scripts/browsers/webcam.mjs";

const root = fileURLToPath(new URL("../../", import.meta.url));
const jsQR = createRequire(`${root}scripts/browsers/package.json`)("jsqr");
const zxing = await import(pathToFileURL(`${root}web/node_modules/zxing-wasm/dist/es/reader/index.js`).href);
await zxing.prepareZXingModule({
  overrides: { wasmBinary: readFileSync(`${root}web/node_modules/zxing-wasm/dist/reader/zxing_reader.wasm`) },
  fireImmediately: true });
const page = pathToFileURL(`${root}build-web/mokopera.html`).href;
const median = (values) => values.sort((a, b) => a - b)[Math.floor(values.length / 2)];

// The video's frames as RGBA pictures, at full size and 640 px wide (as the page used to shrink
// them), on the levels the page sees.
function framesOf(path) {
  const video = readFileSync(path), width = 1280, height = 720, frames = [];
  for (let at = video.indexOf("FRAME\n"); at >= 0; at = video.indexOf("FRAME\n", at + 6 + width * height * 1.5 - 1)) {
    const full = new Uint8ClampedArray(width * height * 4), small = new Uint8ClampedArray(640 * 360 * 4);
    for (let i = 0; i < width * height; i++) {
      full.fill((video[at + 6 + i] - 16) * 255 / 219, 4 * i, 4 * i + 3);
      full[4 * i + 3] = 255;
    }
    for (let y = 0; y < 360; y++) {
      for (let x = 0; x < 640; x++) {
        const i = 4 * (2 * y * width + 2 * x);
        const level = (full[i] + full[i + 4] + full[i + 4 * width] + full[i + 4 * width + 4]) / 4;
        small.fill(level, 4 * (y * 640 + x), 4 * (y * 640 + x) + 3);
        small[4 * (y * 640 + x) + 3] = 255;
      }
    }
    frames.push({ full, small, width, height });
  }
  return frames;
}

// Each decoder on every frame: "read/frames, ms a frame".
async function decoders(frames) {
  const timed = async (read) => {
    let found = 0, milliseconds = 0;
    for (const frame of frames) {
      const began = performance.now();
      found += (await read(frame)) ? 1 : 0;
      milliseconds += performance.now() - began;
    }
    return `${found}/${frames.length}, ${(milliseconds / frames.length).toFixed(0)} ms`;
  };
  const options = { formats: ["QRCode"], tryRotate: false, tryInvert: false };
  return {
    "jsQR 640 px": await timed(({ small }) => jsQR(small, 640, 360, { inversionAttempts: "dontInvert" })),
    "jsQR full": await timed(({ full, width, height }) => jsQR(full, width, height, { inversionAttempts: "dontInvert" })),
    "ZXing-C++": await timed(async ({ full, width, height }) =>
      (await zxing.readBarcodes({ data: full, width, height, colorSpace: "srgb" }, options)).some((symbol) => symbol.isValid)),
  };
}

// Seconds from the press of カメラで読み取る to `count` series in the teacher's pool, in Chromium.
async function timeToRead(video, count) {
  const site = await serve(`${root}build-web/site`, "/mokopera/");
  const { tab, close } = await launch("chromium", { width: 1000, height: 900, chromiumArgs: [
    "--use-fake-device-for-media-stream", "--use-fake-ui-for-media-stream", `--use-file-for-fake-video-capture=${video}`] });
  try {
    await tab.goto(`${site.url}teacher.html`);
    await tab.waitFor(() => document.getElementById("form").dataset.state === "ready");
    const began = Date.now();
    await tab.click("#scan");
    await tab.waitWithin(8000, (n) => document.querySelectorAll(".pool-group tbody tr:not(.pooled)").length >= n, count);
    return (Date.now() - began) / 1000;
  } catch {
    return Infinity;
  } finally {
    await close();
    await site.stop();
  }
}

const cases = [
  ["tablet, 結果を送る, one series", "tablet", { series: [[5, 5]] }, [60, 90, 105, 120]],
  ["tablet, 結果を送る, two series", "tablet", { series: [[5, 5], [6, 6]] }, [45, 60, 75, 90]],
  ["phone, 結果を送る", "phone", { series: [[5, 5]] }, [40, 60, 70, 80]],
  ["tablet, whole screen", "tablet", { series: [[5, 5]], whole: true }, [150, 175, 200]],
  ["phone, whole screen", "phone", { series: [[5, 5]], whole: true }, [60, 70, 80]],
];
for (const [name, device, visit, distances] of cases.filter(([name]) => name.includes(process.argv[2] ?? ""))) {
  const { path, series } = await studentScreen(device, page, visit);
  for (const distanceCm of distances) {
    const video = await webcamVideo([{ screen: path, device, distanceCm, frames: 16 }]);
    const decoded = await decoders(framesOf(video));
    const seconds = [];
    for (let run = 0; run < 3; run++) seconds.push(await timeToRead(video, series.length));
    const time = median(seconds);
    console.log(`${name}, ${distanceCm} cm: ${Object.entries(decoded).map(([decoder, figure]) => `${decoder} ${figure}`).join("; ")}; ` +
                `the page ${Number.isFinite(time) ? `${time.toFixed(2)} s` : "not read in 8 s"}`);
  }
}
