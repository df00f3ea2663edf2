// A device's first visit to the hosted site on a school's link, throttled through Chromium's
// debugging protocol to 10 Mbit/s with 30 ms of latency: the bytes the server sent, the time to a
// usable page (the student's entry box, the teacher's ready form) and to the site kept for offline
// use (the worker active), for a student opening index.html and a teacher opening teacher.html.
// Given two built sites, both are measured in one run, alternating, medians of 5.
//   node bench/web/bench_first_visit.mjs [SITE ...]    (default build-web/site)
import { createServer } from "node:http";
import { createRequire } from "node:module";
import { readFile, stat } from "node:fs/promises";
import { extname, join, resolve } from "node:path";
import { fileURLToPath } from "node:url";

const root = fileURLToPath(new URL("../..", import.meta.url));
const { chromium } = createRequire(resolve(root, "scripts/browsers/package.json"))("playwright-core");
const sites = process.argv.length > 2 ? process.argv.slice(2) : [resolve(root, "build-web/site")];
const TYPES = { ".html": "text/html; charset=utf-8", ".js": "text/javascript", ".webmanifest": "application/manifest+json",
                ".png": "image/png", ".svg": "image/svg+xml" };
const median = (values) => values.sort((a, b) => a - b)[Math.floor(values.length / 2)];

// A plain static server on 127.0.0.1 that counts the bytes of the bodies it sends.
async function serve(folder) {
  const sent = { bytes: 0 };
  const server = createServer(async (request, response) => {
    const path = decodeURIComponent(new URL(request.url, "http://127.0.0.1").pathname).slice(1) || "index.html";
    try {
      const file = join(folder, path);
      const modified = new Date(Math.floor((await stat(file)).mtimeMs / 1000) * 1000);
      const headers = { "content-type": TYPES[extname(file)] ?? "application/octet-stream", "last-modified": modified.toUTCString() };
      if (Date.parse(request.headers["if-modified-since"] ?? "") >= modified.getTime()) return response.writeHead(304, headers).end();
      const body = await readFile(file);
      sent.bytes += body.length;
      response.writeHead(200, headers).end(body);
    } catch {
      response.writeHead(404).end();
    }
  });
  await new Promise((done) => server.listen(0, "127.0.0.1", done));
  return { url: `http://127.0.0.1:${server.address().port}/`, sent, stop: () => new Promise((done) => { server.close(done); server.closeAllConnections(); }) };
}

const ready = {
  "": () => document.getElementById("box")?.open,
  "teacher.html": () => document.getElementById("form")?.dataset.state === "ready",
};

async function visit(folder, page) {
  const site = await serve(folder);
  const browser = await chromium.launch({ executablePath: "/usr/bin/chromium", args: ["--no-sandbox", "--disable-gpu", "--disable-quic"] });
  try {
    const context = await browser.newContext();
    const tab = await context.newPage();
    const cdp = await context.newCDPSession(tab);
    await cdp.send("Network.enable");
    await cdp.send("Network.emulateNetworkConditions", { offline: false, latency: 30, downloadThroughput: 10e6 / 8, uploadThroughput: 10e6 / 8 });
    const started = Date.now();
    await tab.goto(site.url + page, { waitUntil: "commit" });
    await tab.waitForFunction(ready[page], null, { timeout: 120000 });
    const usable = Date.now() - started;
    await tab.waitForFunction(() => navigator.serviceWorker.ready.then((r) => r.active?.state === "activated"), null, { timeout: 120000 });
    return { usable, kept: Date.now() - started, bytes: site.sent.bytes };
  } finally {
    await browser.close();
    await site.stop();
  }
}

for (const page of ["", "teacher.html"]) {
  const runs = sites.map(() => []);
  for (let round = 0; round < 5; ++round) {
    for (const [index, folder] of sites.entries()) runs[index].push(await visit(folder, page));
  }
  for (const [index, folder] of sites.entries()) {
    const got = runs[index];
    console.log(`${page || "index.html"} from ${folder}: ${(median(got.map((run) => run.bytes)) / 1e6).toFixed(2)} MB sent, ` +
                `usable after ${median(got.map((run) => run.usable))} ms, kept for offline use after ${median(got.map((run) => run.kept))} ms`);
  }
}
