// The page's service worker. It keeps the page's files in a cache of this build's own and
// serves them from there, so the game starts and plays with the network off, and it serves
// every file of the page with the cross-origin isolation headers, which the game's threads
// need and which a plain static host does not send. A new build has a new version, so its
// worker is new: the browser finds it when a visit loads the page, and it caches the new
// files and takes over at once, dropping the old cache, so the next visit plays the new
// build. The page that found it plays on: its threads were all started when it loaded.
'use strict';

const version = '@TOLVANE_PAGE_VERSION@';
const files = [@TOLVANE_PAGE_FILES@];
const cacheName = `tolvane-${version}`;

self.addEventListener('install', (event) => {
  // The copy from the network, not from the browser's HTTP cache, which may be older.
  event.waitUntil(caches.open(cacheName).then((cache) =>
    cache.addAll(files.map((file) => new Request(file, { cache: 'reload' })))).then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil((async () => {
    for (const name of await caches.keys()) {
      if (name.startsWith('tolvane-') && name !== cacheName) await caches.delete(name);
    }
    await self.clients.claim();
  })());
});

// The same response with the isolation headers added.
function isolated(response) {
  if (response.type === 'opaque' || response.type === 'opaqueredirect') return response;
  const headers = new Headers(response.headers);
  headers.set('Cross-Origin-Opener-Policy', 'same-origin');
  headers.set('Cross-Origin-Embedder-Policy', 'require-corp');
  headers.set('Cross-Origin-Resource-Policy', 'same-origin');
  return new Response(response.body, { status: response.status, statusText: response.statusText, headers });
}

self.addEventListener('fetch', (event) => {
  const request = event.request;
  const url = new URL(request.url);
  if (request.method !== 'GET' || url.origin !== self.location.origin) return;
  event.respondWith((async () => {
    // The page's arguments (?arg=...) do not change its files; the folder is its index.html.
    url.search = '';
    if (url.pathname.endsWith('/')) url.pathname += 'index.html';
    const cached = await caches.match(url.href, { cacheName });
    return isolated(cached || await fetch(request));
  })());
});
