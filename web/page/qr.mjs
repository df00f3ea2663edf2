// A text as a QR code the page draws as SVG: Nayuki's encoder picks the smallest symbol (a
// result code fits version 2, alphanumeric mode) at error correction level M, which survives a
// glare or a thumb over a corner when the code is held up to a webcam.
import qrcodegen from "nayuki-qr-code-generator";

const svgSpace = "http://www.w3.org/2000/svg";
const quietZone = 4;  // modules of white around the symbol, as the standard asks

// An <svg> element of `text`'s QR code, named `label` for screen readers: one path of its dark
// modules on white, crisp at any size.
export function qrElement(text, label) {
  const code = qrcodegen.QrCode.encodeText(text, qrcodegen.QrCode.Ecc.MEDIUM);
  const side = code.size + 2 * quietZone;
  const svg = document.createElementNS(svgSpace, "svg");
  svg.setAttribute("viewBox", `0 0 ${side} ${side}`);
  svg.setAttribute("role", "img");
  svg.setAttribute("aria-label", label);
  svg.setAttribute("shape-rendering", "crispEdges");
  const paper = svg.appendChild(document.createElementNS(svgSpace, "rect"));
  paper.setAttribute("width", side);
  paper.setAttribute("height", side);
  paper.setAttribute("fill", "#fff");
  const dark = [];
  for (let y = 0; y < code.size; ++y) {
    for (let x = 0; x < code.size; ++x) {
      if (code.getModule(x, y)) dark.push(`M${x + quietZone},${y + quietZone}h1v1h-1z`);
    }
  }
  const modules = svg.appendChild(document.createElementNS(svgSpace, "path"));
  modules.setAttribute("d", dark.join(""));
  modules.setAttribute("fill", "#000");
  return svg;
}
