// The hosted site's service worker. On the first visit it keeps every file of the site in a cache
// named after the build; from then on the site opens from that cache, with or without a network.
// A new build's worker waits until every page of the old one is closed, so a lesson in progress
// never changes under a student: the new version takes over at the next start, and its
// activation deletes the caches of older builds.
"use strict";

const CACHE = "/*CACHE*/";
const FILES = [/*FILES*/];
const OURS = /^mokopera-/;

self.addEventListener("install", (event) => {
  event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(FILES)));
});

self.addEventListener("activate", (event) => {
  event.waitUntil(caches.keys().then((names) =>
    Promise.all(names.filter((name) => OURS.test(name) && name !== CACHE).map((name) => caches.delete(name)))));
});

// Our files from the cache; anything else, and a file the cache lacks, from the network.
self.addEventListener("fetch", (event) => {
  if (event.request.method !== "GET") return;
  event.respondWith(caches.open(CACHE)
    .then((cache) => cache.match(event.request, { ignoreSearch: true }))
    .then((cached) => cached ?? fetch(event.request)));
});
