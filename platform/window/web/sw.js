// The page's service worker, where the browser allows one (a secure context): it keeps the
// page's files in a cache of this build's own and serves them from there, so once visited the
// game starts and plays with the network off. The page registers it only once the game is
// under way, so a first visit never waits for it. A new build has a new version, so its
// worker is new: the browser finds it when a visit loads the page, and it caches the new
// files and takes over at once, dropping the old cache, so the next visit plays the new
// build. The page that found it plays on with the files it has.
'use strict';

const version = '@TOLVANE_PAGE_VERSION@';
const files = [@TOLVANE_PAGE_FILES@];
const cacheName = `tolvane-${version}`;

self.addEventListener('install', (event) => {
  event.waitUntil((async () => {
    const cache = await caches.open(cacheName);
    // Checked with the host rather than taken from the browser's HTTP cache, which may hold an
    // older build's file; a file the visit has just downloaded costs a "not modified". The page
    // carries the game, so it is asked for by the address the visit loaded it from (the folder
    // or its index.html), which is the one the HTTP cache knows.
    const folder = new URL('./', self.location).href;
    const visited = (await self.clients.matchAll({ type: 'window', includeUncontrolled: true }))
      .map((client) => client.url.replace(/[?#].*$/, ''))
      .find((url) => url === folder || url === `${folder}index.html`);
    const page = await fetch(new Request(visited || `${folder}index.html`, { cache: 'no-cache' }));
    if (!page.ok) throw new Error(`the page: ${page.status}`);
    await cache.put(`${folder}index.html`, page);
    await cache.addAll(files.filter((file) => file !== 'index.html').map((file) => new Request(file, { cache: 'no-cache' })));
    await self.skipWaiting();
  })());
});

self.addEventListener('activate', (event) => {
  event.waitUntil((async () => {
    for (const name of await caches.keys()) {
      if (name.startsWith('tolvane-') && name !== cacheName) await caches.delete(name);
    }
    await self.clients.claim();
  })());
});

self.addEventListener('fetch', (event) => {
  const request = event.request;
  const url = new URL(request.url);
  if (request.method !== 'GET' || url.origin !== self.location.origin) return;
  event.respondWith((async () => {
    // The page's arguments (?arg=...) do not change its files; the folder is its index.html.
    url.search = '';
    if (url.pathname.endsWith('/')) url.pathname += 'index.html';
    return (await caches.match(url.href, { cacheName })) || fetch(request);
  })());
});
