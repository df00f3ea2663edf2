// The pixels of a PNG file, read through ImageMagick: at(x, y) is [r, g, b] of the pixel nearest
// to (x, y), clamped to the picture.
import { execFileSync } from "node:child_process";

export function readPicture(path) {
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
