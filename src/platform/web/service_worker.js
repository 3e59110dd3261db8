// The page's files kept in the browser: a second visit starts without the
// network, and so does an offline one. scripts/build-web writes the build's
// fingerprint into kVersion, so a new build replaces the files kept; the
// synthesizer and soundfont (midi/) are kept once a game has needed them.
'use strict';
const kVersion = 'yarrowind-@VERSION@';
const kPage = ['./', 'index.html', 'index.js', 'index.wasm', 'index.data', 'manifest.webmanifest',
               'icon.svg'];

self.addEventListener('install', function (event) {
  event.waitUntil(caches.open(kVersion).then((cache) => cache.addAll(kPage))
                      .then(() => self.skipWaiting()));
});

self.addEventListener('activate', function (event) {
  event.waitUntil(caches.keys()
                      .then((names) => Promise.all(names.filter((n) => n !== kVersion)
                                                       .map((n) => caches.delete(n))))
                      .then(() => self.clients.claim()));
});

// Kept files first (the page's address may carry a command line: ?seed=5);
// anything else of the page's own is fetched and kept.
self.addEventListener('fetch', function (event) {
  const request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) return;
  event.respondWith(caches.open(kVersion).then(async function (cache) {
    const kept = await cache.match(request, {ignoreSearch: request.mode === 'navigate'});
    if (kept) return kept;
    const response = await fetch(request);
    if (response.ok && response.type === 'basic') cache.put(request, response.clone());
    return response;
  }));
});
