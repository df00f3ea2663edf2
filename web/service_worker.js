// The hosted site's service worker. On the first visit it keeps every file of the site in a cache of
// its own; from then on the site opens from that cache, with or without a network.
//
// A new build's worker asks the server for every file (a copy the browser already holds, such as
// the page the visit has just loaded, is confirmed rather than downloaded again) and installs only
// when each one is the file of its own build (by its SHA-256, written in by the build): while an
// upload is half done, the old build stays whole, and the new one arrives once the upload is
// complete. The teacher's page is kept once it has been opened on the device, not on every
// student's first visit; a new build then keeps it too. A
// failed install leaves no cache behind. The new worker then waits until the page asks it to take
// over (at the page's start, or when the user presses the page's notice), so a lesson in progress
// never changes under a student.
//
// Several sites may share one origin (two folders of one server, the GitHub Pages sites of one
// account): every cache is named after this site's scope, and a worker deletes only its own
// site's older caches and answers only for its own files.
"use strict";

const BUILD = "/*BUILD*/";
const FILES = {/*FILES*/};  // each file's path in the site → its SHA-256 in hex
const SCOPE = self.registration.scope;
const PREFIX = `mokopera ${SCOPE} `;
const CACHE = PREFIX + BUILD;
// The site's own addresses: its folder (index.html's) and each file.
const OURS = new Set([SCOPE, ...Object.keys(FILES).map((name) => new URL(name, SCOPE).href)]);
// Caches of builds from before caches were named after their site.
const UNSCOPED = /^mokopera-[0-9a-f]{16}$/;

// Files kept once their page has been opened (the one that installs the worker, or later), and by
// every later build from then on: the teacher's page and its camera's decoder.
const LATER = new Map([["teacher.html", "teacher.html"], ["decoder-wasm.txt", "teacher.html"]]);

const hex = (buffer) => Array.from(new Uint8Array(buffer), (byte) => byte.toString(16).padStart(2, "0")).join("");

// Fetches one file of the build in the HTTP cache's mode `cache`, and tells whether it is this
// build's.
async function fetchChecked(url, name, cache, signal) {
  const response = await fetch(url, { cache, signal });
  if (!response.ok) throw new Error(`${name}: HTTP ${response.status}`);
  const body = await response.arrayBuffer();
  const headers = { "content-type": response.headers.get("content-type") ?? "application/octet-stream" };
  return { body, headers, ours: hex(await crypto.subtle.digest("SHA-256", body)) === FILES[name] };
}

// A file of this build: confirmed with the server ("no-cache": a copy the browser holds comes as a
// 304, not again), and past the HTTP cache where that copy is not this build's.
async function fetchFile(name, signal, url = new URL(name, SCOPE)) {
  let fetched = await fetchChecked(url, name, "no-cache", signal);
  if (!fetched.ours) fetched = await fetchChecked(url, name, "reload", signal);
  if (!fetched.ours) throw new Error(`${name} is not this build's`);
  return fetched;
}

// `fetching(signal)` with a minute for all it fetches: an install left waiting for a file that
// never comes (WebKitGTK's fetches sometimes hang) would hold up every later update of the site on
// this device until the browser was restarted.
async function withinAMinute(fetching) {
  const patience = new AbortController();
  const timer = setTimeout(() => patience.abort(), 60000);
  try {
    return await fetching(patience.signal);
  } finally {
    clearTimeout(timer);
  }
}

// Whether one of this site's older caches holds the file `name`: its page was opened before.
async function keptBefore(name) {
  for (const cacheName of await caches.keys()) {
    if (cacheName !== CACHE && cacheName.startsWith(PREFIX) && await (await caches.open(cacheName)).match(new URL(name, SCOPE).href)) return true;
  }
  return false;
}

async function keepBuild() {
  // index.html as the page that registered the worker was loaded: by the site's folder, when it was.
  const clients = await self.clients.matchAll({ includeUncontrolled: true });
  const opened = new Set(clients.map((client) => client.url.split(/[?#]/)[0]));
  const byFolder = opened.has(SCOPE);
  const names = [];
  for (const name of Object.keys(FILES)) {
    const page = LATER.get(name);
    if (!page || opened.has(new URL(page, SCOPE).href) || await keptBefore(page)) names.push(name);
  }
  const fetched = await withinAMinute((signal) => Promise.all(names.map(async (name) => {
    const { body, headers } = await fetchFile(name, signal, name === "index.html" && byFolder ? SCOPE : undefined);
    return [name, body, headers];
  })));
  const cache = await caches.open(CACHE);
  for (const [name, body, headers] of fetched) {
    await cache.put(new URL(name, SCOPE), new Response(body, { headers }));
    // The site's folder is its index.html, whatever the server answers for a folder.
    if (name === "index.html") await cache.put(SCOPE, new Response(body, { headers }));
  }
}

self.addEventListener("install", (event) => {
  event.waitUntil(keepBuild().catch(async (failure) => {
    await caches.delete(CACHE);
    throw failure;
  }));
});

// Whether the cache `name` is one of this site's: named after its scope, or an unscoped one that
// holds nothing but this site's files.
async function isOurs(name) {
  if (name.startsWith(PREFIX)) return true;
  if (!UNSCOPED.test(name)) return false;
  const requests = await (await caches.open(name)).keys();
  return requests.every((request) => OURS.has(request.url));
}

self.addEventListener("activate", (event) => {
  event.waitUntil(caches.keys().then(async (names) => {
    for (const name of names) {
      if (name !== CACHE && await isOurs(name)) await caches.delete(name);
    }
  }));
});

// The page asks a waiting worker to take over.
self.addEventListener("message", (event) => {
  if (event.data === "take over") event.waitUntil(self.skipWaiting());
});

// This site's files from its cache; anything else goes to the network as if there were no worker.
// A file kept only once its page is opened (the teacher's page, its camera's decoder) comes from
// the network the first time it is asked for, and is kept when it is this build's; the next build
// keeps both.
self.addEventListener("fetch", (event) => {
  const { request } = event;
  if (request.method !== "GET") return;
  const url = new URL(request.url);
  url.search = "";
  url.hash = "";
  if (!OURS.has(url.href)) return;
  const name = url.href.slice(SCOPE.length);
  event.respondWith(caches.open(CACHE).then(async (cache) => {
    const kept = await cache.match(url.href);
    if (kept) return kept;
    if (!LATER.has(name)) return fetch(request);
    const { body, headers } = await withinAMinute((signal) => fetchFile(name, signal)).catch(() => ({}));
    if (!body) return fetch(request);
    await cache.put(url.href, new Response(body, { headers }));
    return new Response(body, { headers });
  }));
});
