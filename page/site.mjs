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
const files = ['index.html', 'manifest.webmanifest', ...icons.map((icon) => basename(icon))];
const hash = createHash('sha256');
for (const file of files) hash.update(await readFile(join(site, file)));
const worker = (await readFile(join(here, 'sw.js'), 'utf8'))
    .replace("const VERSION = 'development';", `const VERSION = '${hash.digest('hex').slice(0, 16)}';`)
    .replace("const FILES = ['./', 'index.html'];", `const FILES = ${JSON.stringify(['./', ...files])};`);
await writeFile(join(site, 'sw.js'), worker);
