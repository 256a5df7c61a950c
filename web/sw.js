'use strict';
// The site's service worker: it keeps the site's files, so that after one visit the game starts
// and plays with no network. The build names the cache by a hash of those files; a new build's
// worker keeps its own and drops the ones before.
const CACHE = 'quorrel-@BUILD@';
const FILES = [@FILES@];

self.addEventListener('install', (e) => {
  e.waitUntil(caches.open(CACHE)
    .then((cache) => cache.addAll(FILES.map((name) => new Request(name, { cache: 'no-cache' }))))
    .then(() => self.skipWaiting()));
});

self.addEventListener('activate', (e) => {
  e.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((n) => n !== CACHE).map((n) => caches.delete(n))))
    .then(() => self.clients.claim()));
});

// The network first, so that a new build is played as soon as it is there; the kept files
// when there is no network.
self.addEventListener('fetch', (e) => {
  if (e.request.method !== 'GET') return;
  e.respondWith(fetch(e.request).catch(() => caches.open(CACHE)
    .then((cache) => cache.match(e.request, { ignoreSearch: true }))
    .then((kept) => kept || Response.error())));
});
