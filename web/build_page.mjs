// Writes the web edition as one file: the page template with its style, its script, the program
// (WebAssembly inside its loader), the font subset, the four cues and the font's licence inlined.
// usage: node build_page.mjs PAGE.html STYLE.css SCRIPT.js PROGRAM.js FONT.woff2 DIALOG_FONT.woff2 LICENCE.txt
//                            CUE_FOLDER ICON.svg OUT.html

import { readFileSync, writeFileSync } from "node:fs";
import { join } from "node:path";

const [page, style, script, program, font, dialogFont, licence, cueFolder, icon, output] = process.argv.slice(2);
if (!output) {
  console.error("usage: node build_page.mjs PAGE STYLE SCRIPT PROGRAM FONT DIALOG_FONT LICENCE CUE_FOLDER ICON OUT");
  process.exit(2);
}

const text = (path) => readFileSync(path, "utf8");
const base64 = (path) => readFileSync(path).toString("base64");
const cues = {};
for (const name of ["Chimes.wav", "Chimes2.wav", "pinpon.wav", "endpinpon.wav"]) {
  cues[name] = base64(join(cueFolder, name));
}

// Each part goes where the template marks it; none may close the element it sits in.
const parts = {
  "/*STYLE*/": `@font-face { font-family: "Mokopera Gothic"; src: url(data:font/woff2;base64,${base64(font)}) format("woff2"); }
@font-face { font-family: "Mokopera Gothic Fixed"; src: url(data:font/woff2;base64,${base64(dialogFont)}) format("woff2");
             unicode-range: U+3000-30FF, U+4E00-9FFF, U+FF00-FFEF; }
${text(style)}`,
  "/*LICENCE*/": text(licence),
  "/*PROGRAM*/": text(program),
  "/*CUES*/": JSON.stringify(cues),
  "/*SCRIPT*/": text(script),
  "/*ICON*/": base64(icon),
};
let html = text(page);
for (const [mark, content] of Object.entries(parts)) {
  if (!html.includes(mark) || /<\/(script|style)/i.test(content)) {
    console.error(`build_page: cannot put ${mark} in place`);
    process.exit(1);
  }
  html = html.replace(mark, () => content);
}
writeFileSync(output, html);
