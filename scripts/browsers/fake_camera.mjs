// A video for Chromium's fake camera (--use-file-for-fake-video-capture): QR codes of the given
// texts, made by the pages' own encoder, one after another, as a teacher holds tablets up to a
// webcam. Frames of `width` × `height` in the camera's own 4:2:0 format (Y4M), 20 a second: each
// code for `frames` frames on white, then a frame of the grey room.
import { readFile } from "node:fs/promises";

const ENCODER = new URL("../../web/node_modules/nayuki-qr-code-generator/index.js", import.meta.url);

export async function qrVideo(texts, { width = 320, height = 240, scale = 6, frames = 4 } = {}) {
  // The encoder is an ES module in a package that does not say so: imported from its text.
  const { default: qrcodegen } = await import(`data:text/javascript,${encodeURIComponent(await readFile(ENCODER, "utf8"))}`);
  const still = (grey) => Buffer.concat([Buffer.alloc(width * height, grey), Buffer.alloc(width * height / 2, 128)]);
  const video = [];
  for (const text of texts) {
    const symbol = qrcodegen.QrCode.encodeText(text, qrcodegen.QrCode.Ecc.MEDIUM);
    const frame = still(200), side = (symbol.size + 8) * scale;
    const left = Math.floor((width - side) / 2), top = Math.floor((height - side) / 2);
    for (let y = 0; y < side; ++y) {
      for (let x = 0; x < side; ++x) {
        const module = [Math.floor(x / scale) - 4, Math.floor(y / scale) - 4];
        const dark = module.every((at) => at >= 0 && at < symbol.size) && symbol.getModule(...module);
        frame[(top + y) * width + left + x] = dark ? 16 : 240;
      }
    }
    video.push(...Array(frames).fill(frame), still(200));
  }
  return Buffer.concat([Buffer.from(`YUV4MPEG2 W${width} H${height} F20:1 Ip A1:1 C420jpeg\n`),
    ...video.flatMap((frame) => [Buffer.from("FRAME\n"), frame])]);
}
