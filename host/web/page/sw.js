// The page's service worker: it keeps every file of the page, so that after
// one visit the page opens without a network. The network comes first (a
// new version of the page is used at once); the kept copy answers when it
// fails. Links with parameters (?model=, ?tape=) open the kept page too.
"use strict";

const CACHE = "tarvik-page-1";
const FILES = ["./", "index.html", "tarvik.js", "tarvik.wasm", "tarvik-ui.js", "tarvik-keys.js",
               "tarvik-gamepad.js", "tarvik-site.js", "tarvik.css", "tarvik-touch.css",
               "audio-worklet.js", "manifest.webmanifest", "icon-32.png", "icon-192.png",
               "icon-512.png"];

self.addEventListener("install", (e) => {
  e.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(FILES))
    .then(() => self.skipWaiting()));
});

self.addEventListener("activate", (e) => {
  e.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((n) => n !== CACHE).map((n) => caches.delete(n))))
    .then(() => self.clients.claim()));
});

self.addEventListener("fetch", (e) => {
  const request = e.request;
  if (request.method !== "GET" || new URL(request.url).origin !== location.origin) return;
  e.respondWith(fetch(request).then((response) => {
    // The page's own files are kept fresh; the files links name are not kept.
    const url = new URL(request.url);
    const own = request.mode === "navigate" ||
                FILES.includes(url.pathname.split("/").pop() || "./");
    if (response.ok && own) {
      const copy = response.clone();
      const key = request.mode === "navigate" ? "index.html" : request;
      caches.open(CACHE).then((cache) => cache.put(key, copy));
    }
    return response;
  }).catch(() => caches.match(request.mode === "navigate" ? "index.html" : request,
                              { ignoreSearch: true })
    .then((kept) => kept || Response.error())));
});
