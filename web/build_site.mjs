// Writes the web edition as a site to put on any static web server, under any folder: the page as
// index.html, a web app manifest, the icons rendered from our SVG, and a service worker that keeps
// every file of the site for use offline. Every address in it is relative.
// The teacher's page goes beside it as teacher.html, kept by the same worker.
// Both pages get the script that registers the worker and offers a new build (SITE_UPDATE.js).
// usage: node build_site.mjs PAGE.html TEACHER.html PROGRAM.js ICON.svg SERVICE_WORKER.js SITE_UPDATE.js RSVG_CONVERT OUT_FOLDER

import { execFileSync } from "node:child_process";
import { createHash } from "node:crypto";
import { mkdirSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { createRequire } from "node:module";
import { tmpdir } from "node:os";
import { join, resolve } from "node:path";
import { editPolicy, hashScripts, setDirective } from "./policy.mjs";

const [pagePath, teacherPath, programPath, iconPath, workerPath, updatePath, rsvgConvert, out] = process.argv.slice(2);
if (!out) {
  console.error("usage: node build_site.mjs PAGE TEACHER PROGRAM ICON SERVICE_WORKER SITE_UPDATE RSVG_CONVERT OUT_FOLDER");
  process.exit(2);
}
const fail = (message) => {
  console.error(`build_site: ${message}`);
  process.exit(1);
};
const update = readFileSync(updatePath, "utf8");
if (/<\/script/i.test(update)) fail(`${updatePath} cannot stand in a page`);

// The window's title and paints come from the program's own layout.
const layout = (await createRequire(import.meta.url)(resolve(programPath))()).layout();
const title = layout.main.caption.trim();
const themeColour = layout.paints.titlePink;
const faceColour = layout.paints.default;

// The icons: our SVG as it is (192 and 512 px), and on the window's face with room around it for
// launchers that cut the icon into a circle or a rounded square (maskable, and iPad's).
const icon = readFileSync(iconPath);
const onFace = (share) => {
  const size = 100 * share, at = (100 - size) / 2;
  // Our SVG nested as it is, but for its own size: drawn as vectors at any size.
  const nested = icon.toString("utf8").replace(/<\?xml[^>]*>|<!--[^]*?-->/g, "")
    .replace(/<svg\b([^>]*)>/, (_, attributes) =>
      `<svg${attributes.replace(/\s(width|height)="[^"]*"/g, "")} x="${at}" y="${at}" width="${size}" height="${size}">`);
  return `<svg xmlns="http://www.w3.org/2000/svg" width="100" height="100" viewBox="0 0 100 100">` +
    `<rect width="100" height="100" fill="${faceColour}"/>${nested}</svg>`;
};
const icons = [
  { file: "icons/icon-192.png", size: 192, svg: icon },
  { file: "icons/icon-512.png", size: 512, svg: icon },
  { file: "icons/maskable-512.png", size: 512, svg: onFace(0.6) }, // inside the safe circle of 80 %
  { file: "icons/apple-touch-icon.png", size: 180, svg: onFace(0.8) },
];

rmSync(out, { recursive: true, force: true });
mkdirSync(join(out, "icons"), { recursive: true });
const scratch = mkdtempSync(join(tmpdir(), "mokopera-icons-"));
const files = {};
for (const { file, size, svg } of icons) {
  const source = join(scratch, "icon.svg");
  writeFileSync(source, svg);
  files[file] = execFileSync(rsvgConvert, ["-w", String(size), "-h", String(size), "-f", "png", source]);
}
rmSync(scratch, { recursive: true, force: true });
files["icons/icon.svg"] = icon;

files["manifest.webmanifest"] = JSON.stringify({
  name: title,
  short_name: "モコペラ",
  description: "１０回に１回命中する腕前で鉄砲を撃つ実験で、少なくとも１回当たる確率を体験する確率学習ソフト",
  lang: "ja",
  dir: "ltr",
  start_url: "./",
  scope: "./",
  display: "standalone",
  orientation: "any",
  theme_color: themeColour,
  background_color: faceColour,
  icons: [
    { src: "icons/icon-192.png", sizes: "192x192", type: "image/png", purpose: "any" },
    { src: "icons/icon-512.png", sizes: "512x512", type: "image/png", purpose: "any" },
    { src: "icons/maskable-512.png", sizes: "512x512", type: "image/png", purpose: "maskable" },
    { src: "icons/icon.svg", sizes: "any", type: "image/svg+xml", purpose: "any" },
  ],
}, null, 2) + "\n";

// The pages: the single files, with the icons and the service worker's own script (and, for the
// student program, the app's manifest). Their policies allow our own origin for those alone, and
// the scripts by their hashes.
function hosted(path, app) {
  let page = readFileSync(path, "utf8");
  // The camera's decoder (half of the teacher's page) as a file of its own, fetched the first time
  // the camera starts: a teacher's first visit is usable sooner, and the worker keeps the file
  // with the page.
  const decoder = /(<script type="text\/plain" id="decoder-wasm")>([^<]+)<\/script>/.exec(page);
  if (decoder) {
    files["decoder-wasm.txt"] = decoder[2];
    page = page.replace(decoder[0], () => `${decoder[1]} data-src="decoder-wasm.txt"></script>`);
  }
  if (!page.includes("</head>") || !page.includes("</body>")) fail(`${path} has no head or body to extend`);
  const head = [
    ...(app ? ['<link rel="manifest" href="manifest.webmanifest">',
               `<meta name="theme-color" content="${themeColour}">`,
               '<meta name="apple-mobile-web-app-capable" content="yes">',
               '<meta name="mobile-web-app-capable" content="yes">',
               '<meta name="apple-mobile-web-app-title" content="モコペラ">'] : []),
    '<link rel="apple-touch-icon" href="icons/apple-touch-icon.png">',
  ].join("\n");
  const withWorker = page
    .replace("</head>", () => `${head}\n</head>`)
    .replace("</body>", () => `<script>${update}</script>\n</body>`);
  return hashScripts(editPolicy(withWorker, (rules) => {
    // `source` added to the directive `name`, or the directive added with it.
    const allow = (all, name, source) => {
      const sources = new RegExp(`(?:^|; )${name} ([^;]*)`).exec(all)?.[1];
      return setDirective(all, name, sources ? `${source} ${sources}` : source);
    };
    let extended = allow(allow(rules, "img-src", "'self'"), "worker-src", "'self'");
    if (decoder) extended = allow(extended, "connect-src", "'self'");
    // Engines older than worker-src (Safari before 15.5) look for workers in child-src.
    if (/(^|; )child-src /.test(extended)) extended = allow(extended, "child-src", "'self'");
    if (app) extended = allow(extended, "manifest-src", "'self'");
    // The registration's own Trusted Types policy, beside the page's.
    extended = extended.replace(/(^|; )trusted-types 'none'/, "$1trusted-types").replace(/(^|; )trusted-types/, "$1trusted-types mokopera-site");
    return extended;
  }));
}
files["index.html"] = hosted(pagePath, true);
files["teacher.html"] = hosted(teacherPath, false);

// The worker, last: it knows every other file by its SHA-256, and its build by all of them, so every
// new build is a new worker and a new cache.
const sha256 = (contents) => createHash("sha256").update(contents).digest("hex");
const hashes = Object.fromEntries(Object.keys(files).sort().map((name) => [name, sha256(files[name])]));
const build = sha256(JSON.stringify(hashes)).slice(0, 16);
const worker = readFileSync(workerPath, "utf8");
if (!worker.includes('"/*BUILD*/"') || !worker.includes("{/*FILES*/}")) fail(`${workerPath} has no place for the build`);
files["sw.js"] = worker.replace('"/*BUILD*/"', JSON.stringify(build)).replace("{/*FILES*/}", () => JSON.stringify(hashes));

for (const [name, contents] of Object.entries(files)) writeFileSync(join(out, name), contents);
console.log(`site: ${out} (build ${build})`);
