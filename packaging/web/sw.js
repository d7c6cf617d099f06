// Wendelkamm's service worker. On the first visit it keeps every file of the app in a cache
// named from the app's version, and from then on answers from there, so that the installed app
// opens and runs with the network gone. A new version comes with a new sw.js; the browser
// fetches it on the next visit, installs it with its own cache, and it drops the older ones.
// The scope is part of the name, so that two copies on one server keep their own caches.
const CACHE = "wendelkamm-@VERSION@ " + self.registration.scope;
const DATEIEN = @DATEIEN@;

self.addEventListener("install", (event) => {
  // Past the browser's HTTP cache, which may still hold the files of the version before.
  const neu = DATEIEN.map((datei) => new Request(datei, {cache: "reload"}));
  event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(neu))
      .then(() => self.skipWaiting()));
});

self.addEventListener("activate", (event) => {
  const alt = (name) => name !== CACHE && name.startsWith("wendelkamm-")
      && name.endsWith(" " + self.registration.scope);
  event.waitUntil(caches.keys()
      .then((namen) => Promise.all(namen.filter(alt).map((name) => caches.delete(name))))
      .then(() => self.clients.claim()));
});

self.addEventListener("fetch", (event) => {
  const anfrage = event.request;
  if (anfrage.method !== "GET") return;
  event.respondWith(caches.open(CACHE).then(async (cache) =>
      (await cache.match(anfrage, {ignoreSearch: true}))
      // The folder itself ("./", the start address) is its index.html.
      || (new URL(anfrage.url).pathname.endsWith("/") && await cache.match("index.html"))
      || fetch(anfrage)));
});
