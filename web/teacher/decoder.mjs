// The camera's frames read for QR codes by jsQR in a worker of their own, made from the page's own
// text when the camera starts: the page starts at once without it, and a frame's reading never
// holds up the page. Each message is one frame's pixels (RGBA); each reply is the text of the QR
// code found in it, or null.
import jsQR from "jsqr";

self.onmessage = ({ data: { width, height, pixels } }) => {
  const found = jsQR(new Uint8ClampedArray(pixels), width, height, { inversionAttempts: "dontInvert" });
  self.postMessage(found?.data ?? null);
};
