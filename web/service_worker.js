// The hosted site's service worker. On the first visit it keeps every file of the site in a cache of
// its own; from then on the site opens from that cache, with or without a network.
//
// A new build's worker fetches every file past the browser's HTTP cache and installs only when each
// one is the file of its own build (by its SHA-256, written in by the build): while an upload is
// half done, the old build stays whole, and the new one arrives once the upload is complete. A
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

const hex = (buffer) => Array.from(new Uint8Array(buffer), (byte) => byte.toString(16).padStart(2, "0")).join("");

// Fetches every file of the build from the server, never from the HTTP cache, and keeps them when
// all of them are this build's. A file that has not come within a minute fails the install: an
// install left waiting for it would hold up every later update of the site on this device until
// the browser was restarted.
async function keepBuild() {
  const fetched = await Promise.all(Object.entries(FILES).map(async ([name, sha256]) => {
    const patience = new AbortController();
    const timer = setTimeout(() => patience.abort(), 60000);
    const response = await fetch(new URL(name, SCOPE), { cache: "reload", signal: patience.signal });
    if (!response.ok) throw new Error(`${name}: HTTP ${response.status}`);
    const body = await response.arrayBuffer();
    clearTimeout(timer);
    if (hex(await crypto.subtle.digest("SHA-256", body)) !== sha256) throw new Error(`${name} is not this build's`);
    const headers = { "content-type": response.headers.get("content-type") ?? "application/octet-stream" };
    return [name, body, headers];
  }));
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
self.addEventListener("fetch", (event) => {
  const { request } = event;
  if (request.method !== "GET") return;
  const url = new URL(request.url);
  url.search = "";
  url.hash = "";
  if (!OURS.has(url.href)) return;
  event.respondWith(caches.open(CACHE)
    .then((cache) => cache.match(url.href))
    .then((kept) => kept ?? fetch(request)));
});
