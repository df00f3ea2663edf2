// Writes one self-contained HTML file: a page template with each of its marks replaced by a part
// (its style, its script with its modules bundled into one, the program with its WebAssembly
// inside, fonts, cues, licence and icon), its policy allowing its inline scripts by their hashes.
// usage: node build_page.mjs TEMPLATE.html OUT.html MARK=KIND:PATH ...
//   text:FILE[,FILE…]  the file as it is (several: one after the other)
//   base64:FILE     the file in base64 (for data: URLs)
//   gzip64:FILE     the file compressed with gzip, in base64 (for a large binary the page
//                   decompresses when it needs it)
//   script:ENTRY    the module ENTRY and those it imports (npm packages too), as one classic script,
//                   minified by terser (web/package.json), every licence comment kept whole
//   cues:PROGRAM.js,FOLDER   the cues the program names, from FOLDER, as JSON of base64
//   paints:PROGRAM.js        the window's face and text colours from the program's layout, as CSS
//   value:TEXT      TEXT itself (an address: letters, digits and : / . _ ~ % - only), or nothing

import { existsSync, readFileSync, writeFileSync } from "node:fs";
import { createRequire } from "node:module";
import { dirname, join, resolve } from "node:path";
import { gzipSync } from "node:zlib";
import { minify } from "terser";
import { hashScripts } from "./policy.mjs";

const [template, output, ...given] = process.argv.slice(2);
// Each MARK=KIND:PATH as [MARK, KIND, PATH].
const marks = given.map((mark) => mark.match(/^([^=]+)=(text|base64|gzip64|script|cues|paints):(.+)$/)?.slice(1) ??
                                   mark.match(/^([^=]+)=(value):([A-Za-z0-9:/._~%-]*)$/)?.slice(1));
if (!output || marks.some((mark) => !mark)) {
  console.error("usage: node build_page.mjs TEMPLATE OUT MARK=text|base64|gzip64|script|cues|paints|value:PATH ...");
  process.exit(2);
}

const text = (paths) => paths.split(",").map((path) => readFileSync(path, "utf8")).join("\n");
const base64 = (path) => readFileSync(path).toString("base64");
// gzip's header holds no time or name here: the same file gives the same text at every build.
const gzip64 = (path) => gzipSync(readFileSync(path), { level: 9 }).toString("base64");

// The script: its modules, each after those it imports, as one classic script (the one file may
// load nothing beside itself): import lines dropped, each module's body in a scope of its own that
// hands on what it exports. A module imported by a package's name is the default export of that
// npm package (web/package.json, installed by `npm ci`), or of the package's file that the rest of
// the name gives ("zxing-wasm/dist/iife/reader/index.js"), put in with the package's name,
// version and licence before it.
const require = createRequire(import.meta.url);

function packageModule(name, imported) {
  const [, packageName, file] = /^((?:@[^/]+\/)?[^/]+)(?:\/(.+))?$/.exec(name);
  const folder = require.resolve.paths(packageName).map((modules) => join(modules, packageName))
    .find((candidate) => existsSync(join(candidate, "package.json")));
  if (!folder) {
    console.error(`build_page: ${packageName} is not installed (npm ci in web/)`);
    process.exit(1);
  }
  const { version, license } = JSON.parse(text(join(folder, "package.json")));
  const licence = text(join(folder, "LICENSE"));
  const source = text(file ? join(folder, file) : require.resolve(packageName));
  // An ES module's default export, a UMD bundle or a script, each of which names its export as a
  // global.
  const module = new RegExp(`^export default ${imported};$`, "m").test(source);
  const global = source.includes(`root["${imported}"] = factory()`) || source.startsWith(`var ${imported}=`);
  if ((!module && !global) || licence.includes("*/")) {
    console.error(`build_page: cannot put ${name} in as ${imported}`);
    process.exit(1);
  }
  return { licence: `/*! ${packageName} ${version} from npm (${license}). Its licence:\n\n${licence}*/`,
           source: module ? source.replace(/^export default \w+;$/m, "") : source };
}

function bundle(entry) {
  const included = new Set(), parts = ['"use strict";'], licences = [];
  const include = (path) => {
    if (included.has(path)) return;
    included.add(path);
    const source = text(path);
    for (const [, imported, from] of source.matchAll(/^import (\S+|\{[^}]*\}) from "([^"]+)";$/gm)) {
      if (from.startsWith(".")) {
        include(resolve(dirname(path), from));
      } else if (!included.has(from)) {
        included.add(from);
        const { licence, source: packageSource } = packageModule(from, imported);
        licences.push(licence);
        parts.push(packageSource);
      }
    }
    // Each module in a scope of its own; only what it exports is seen by the others.
    const exported = [...source.matchAll(/^export (?:async function|function|class|const|let) (\w+)/gm)].map(([, name]) => name);
    const body = source.replace(/^import .*\n/gm, "").replace(/^export /gm, "");
    parts.push(exported.length ? `const { ${exported.join(", ")} } = (() => {\n${body}\nreturn { ${exported.join(", ")} };\n})();`
                               : `{\n${body}\n}`);
  };
  include(resolve(entry));
  return { code: parts.join("\n"), licences };
}

// The bundle made smaller: names inside functions shortened, blanks and comments dropped; the top
// level keeps its names (the page's other scripts and the tests reach them). The packages'
// licences come first, each whole, in the order of the packages.
async function script(entry) {
  const { code, licences } = bundle(entry);
  const minified = await minify(code, { compress: true, mangle: true, format: { comments: false } });
  return [...licences, minified.code].join("\n");
}

const load = async (program) => require(resolve(program))();

// The cues the program names, from the folder the build wrote them to.
async function cues(argument) {
  const [program, folder] = argument.split(",");
  const named = {};
  for (const name of (await load(program)).cueFiles()) {
    named[name] = base64(join(folder, name));
  }
  return JSON.stringify(named);
}

// The window's paints as the style's variables: the layout is their one home.
async function paints(program) {
  const { default: face, windowText } = (await load(program)).layout().paints;
  return `:root { --face: ${face}; --text: ${windowText}; }`;
}

const kinds = { text, base64, gzip64, script, cues, paints, value: (given) => given };
let html = text(template);
const names = new Set(marks.map(([name]) => name));
for (const [wanted] of html.matchAll(/\/\*[A-Z_]+\*\//g)) {
  if (!names.has(wanted)) {
    console.error(`build_page: nothing given for ${wanted}`);
    process.exit(1);
  }
}
for (const [name, kind, path] of marks) {
  const content = await kinds[kind](path);
  // Each part goes where the template marks it; none may close the element it sits in.
  if (!html.includes(name) || /<\/(script|style)/i.test(content)) {
    console.error(`build_page: cannot put ${name} in place`);
    process.exit(1);
  }
  html = html.replace(name, () => content);
}
writeFileSync(output, hashScripts(html));
