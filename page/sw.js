// The page kept for use offline, as a service worker of the served site:
// every file of the site is kept on the first visit, and the page opens from
// what was kept, with or without a network. A new build is a new worker (its
// version is the files' hash): the browser fetches it in the background,
// keeps the new files beside the old, and it takes over when every page of
// the old one has been closed, so the next opening is the new build. Nothing
// here touches the schedule or the readings, which the page keeps in the
// browser's storage.
const VERSION = 'development';
const FILES = ['./', 'index.html'];
const CACHE = `quillmere-${VERSION}`;

self.addEventListener('install', (event) => {
    event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(FILES)));
});

self.addEventListener('activate', (event) => {
    event.waitUntil(
        caches
            .keys()
            .then((keys) => Promise.all(keys.filter((key) => key.startsWith('quillmere-') && key !== CACHE).map((key) => caches.delete(key))))
            .then(() => self.clients.claim()),
    );
});

// The site's own files from what was kept; the page itself for any address
// under the site (a link with a fragment, a query a chat app added).
self.addEventListener('fetch', (event) => {
    const request = event.request;
    if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) return;
    event.respondWith(
        caches.open(CACHE).then(async (cache) => {
            const kept = (await cache.match(request, { ignoreSearch: true })) ?? (request.mode === 'navigate' ? await cache.match('./') : undefined);
            return kept ?? fetch(request);
        }),
    );
});
