// Lays out the page as files for any web server: the one page as index.html,
// the web app manifest, the icons and the service worker that keeps them for
// use offline, its version the hash of the files it keeps. Copying the
// folder to a static host is the whole deployment.
//   node site.mjs PAGE.html SITE_DIR ICON.png...
import { createHash } from 'node:crypto';
import { copyFile, mkdir, readFile, writeFile } from 'node:fs/promises';
import { basename, dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';

const here = dirname(fileURLToPath(import.meta.url));
const [page, site, ...icons] = process.argv.slice(2);
if (!page || !site) {
    console.error('usage: node site.mjs PAGE.html SITE_DIR ICON.png...');
    process.exit(2);
}
await mkdir(site, { recursive: true });
await copyFile(page, join(site, 'index.html'));
await copyFile(join(here, 'manifest.webmanifest'), join(site, 'manifest.webmanifest'));
for (const icon of icons) await copyFile(icon, join(site, basename(icon)));
// /favicon.ico, where browsers and bookmarks look first: the first icon, a
// PNG inside the icon file's header and one directory entry.
const png = await readFile(icons[0]);
const entry = Buffer.alloc(22);
entry.writeUInt16LE(1, 2); // an icon
entry.writeUInt16LE(1, 4); // one image
entry.writeUInt8(png.readUInt32BE(16) & 0xff, 6); // its width and height (0 for 256)
entry.writeUInt8(png.readUInt32BE(20) & 0xff, 7);
entry.writeUInt16LE(1, 10); // one plane
entry.writeUInt16LE(32, 12); // 32 bits a pixel
entry.writeUInt32LE(png.length, 14);
entry.writeUInt32LE(22, 18); // the image after the header
await writeFile(join(site, 'favicon.ico'), Buffer.concat([entry, png]));
const files = ['index.html', 'manifest.webmanifest', 'favicon.ico', ...icons.map((icon) => basename(icon))];
const hash = createHash('sha256');
for (const file of files) hash.update(await readFile(join(site, file)));
const worker = (await readFile(join(here, 'sw.js'), 'utf8'))
    .replace("const VERSION = 'development';", `const VERSION = '${hash.digest('hex').slice(0, 16)}';`)
    .replace("const FILES = ['./', 'index.html'];", `const FILES = ${JSON.stringify(['./', ...files])};`);
await writeFile(join(site, 'sw.js'), worker);
