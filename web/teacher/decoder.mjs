// カメラで読み取る's decoder: ZXing-C++ compiled to WebAssembly (zxing-wasm), in a worker of its own
// made from the page's text when the camera starts, so the page starts without it and a frame's
// reading never holds the page up. It reads every QR code in a frame, at the camera's full
// resolution, on a device held at an angle, in low contrast and under a glare.
// The first message is the decoder's WebAssembly, gzip-compressed in base64; every later one is a
// frame's pixels (RGBA); each reply is {texts} of the QR codes read in that frame, or {failure}
// where the decoder cannot run (an engine without what it needs).
import ZXingWASM from "zxing-wasm/dist/iife/reader/index.js";

// QR codes only, upright or turned any way (rotations are for bar codes), dark on light.
const options = { formats: ["QRCode"], tryHarder: true, tryRotate: false, tryInvert: false, maxNumberOfSymbols: 32 };
let ready = null;

// The decoder's WebAssembly from the page's own text: nothing is fetched from anywhere.
async function prepare(packed) {
  const gzipped = Uint8Array.from(atob(packed), (character) => character.charCodeAt(0));
  const wasmBinary = await new Response(new Blob([gzipped]).stream().pipeThrough(new DecompressionStream("gzip")))
    .arrayBuffer();
  await ZXingWASM.prepareZXingModule({ overrides: { wasmBinary }, fireImmediately: true });
}

self.onmessage = async ({ data }) => {
  if (typeof data === "string") {
    ready = prepare(data);
    return;
  }
  try {
    await ready;
    const { width, height, pixels } = data;
    const found = await ZXingWASM.readBarcodes(new ImageData(new Uint8ClampedArray(pixels), width, height), options);
    self.postMessage({ texts: found.filter((symbol) => symbol.isValid).map((symbol) => symbol.text) });
  } catch (failure) {
    self.postMessage({ failure: String(failure?.message ?? failure) });
  }
};
