// Writes the web edition as one file: the page template with its style, its script (its modules
// bundled into one), the program (WebAssembly inside its loader), the font subsets, the cues and
// the fonts' licence inlined.
// usage: node build_page.mjs PAGE.html STYLE.css SCRIPT.js PROGRAM.js FONT.woff2 DIALOG_FONT.woff2 LICENCE.txt
//                            CUE_FOLDER ICON.svg OUT.html

import { readFileSync, writeFileSync } from "node:fs";
import { createRequire } from "node:module";
import { dirname, join, resolve } from "node:path";

const [page, style, script, program, font, dialogFont, licence, cueFolder, icon, output] = process.argv.slice(2);
if (!output) {
  console.error("usage: node build_page.mjs PAGE STYLE SCRIPT PROGRAM FONT DIALOG_FONT LICENCE CUE_FOLDER ICON OUT");
  process.exit(2);
}

const text = (path) => readFileSync(path, "utf8");
const base64 = (path) => readFileSync(path).toString("base64");
// The cues the program names, from the folder the build wrote them to.
const cues = {};
for (const name of (await createRequire(import.meta.url)(resolve(program))()).cueFiles()) {
  cues[name] = base64(join(cueFolder, name));
}

// The page's script: its modules, each after those it imports, as one classic script (the one
// file may load nothing beside itself): import lines dropped, "export " taken off.
function bundle(entry) {
  const included = new Set(), parts = ['"use strict";'];
  const include = (path) => {
    if (included.has(path)) return;
    included.add(path);
    const source = text(path);
    for (const [, from] of source.matchAll(/^import .* from "(\.[^"]+)";$/gm)) include(resolve(dirname(path), from));
    parts.push(source.replace(/^import .*\n/gm, "").replace(/^export /gm, ""));
  };
  include(resolve(entry));
  return parts.join("\n");
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
  "/*SCRIPT*/": bundle(script),
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
