// Builds the page as one file: its scripts (bundled by esbuild), its styles
// and the core's thread (the core, a classic script with the WebAssembly
// inside, then the worker's script) laid into index.html, the core's as a
// script the page does not run but starts as a worker, so it opens from
// disk, a USB stick or an attachment, offline; with it the core's
// description (its columns and options), read from the core itself here, so
// the page lays itself out while the core's thread starts.
//   node build.mjs CORE.js OUT.html [ICON.png]
// QUILLMERE_NO_MINIFY=1 leaves the scripts readable, for a profiler.
import * as esbuild from 'esbuild';
import { readFile, writeFile } from 'node:fs/promises';
import { createRequire } from 'node:module';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

import { describe } from './src/calls.js';
import { loadCore } from './src/core.js';

const here = dirname(fileURLToPath(import.meta.url));
const [corePath, outPath, iconPath] = process.argv.slice(2);
if (!corePath || !outPath) {
    console.error('usage: node build.mjs CORE.js OUT.html [ICON.png]');
    process.exit(2);
}
const bundle = (entry) =>
    esbuild.build({
        entryPoints: [join(here, entry)],
        bundle: true,
        minify: process.env.QUILLMERE_NO_MINIFY ? false : true,
        write: false,
        format: 'iife',
        target: ['chrome100', 'edge100', 'firefox100', 'safari15'],
        legalComments: 'none',
    });
const [script, worker, early, style] = await Promise.all(['src/main.js', 'src/worker.js', 'src/early.js', 'style.css'].map(bundle));
// Nothing inside an inline script may close it early.
const inline = (code) => code.replace(/<\/(script)/gi, '<\\/$1');
const core = await readFile(corePath, 'utf8');
// In a script's text nothing may open a comment or close the script.
const described = JSON.stringify(describe(await loadCore(createRequire(import.meta.url)(resolve(corePath))))).replace(/</g, '\\u003c');
const template = await readFile(join(here, 'index.html'), 'utf8');
// The tab's icon inside the page, which has no folder of its own on disk.
const icon = iconPath ? `<link rel="icon" type="image/png" href="data:image/png;base64,${(await readFile(iconPath)).toString('base64')}">` : '';
const html = template
    .replace('<!-- icon -->', () => icon)
    .replace('<!-- styles -->', () => `<style>${style.outputFiles[0].text}</style>`)
    // The core's thread started from the head, the page's own script at the end.
    .replace('<!-- core -->', () =>
        `<script type="application/json" id="core-described">${described}</script>\n`
        + `<script type="text/js-worker" id="core-worker">${inline(core)}\n${inline(worker.outputFiles[0].text)}</script>\n`
        + `<script>${inline(early.outputFiles[0].text)}</script>`)
    .replace('<!-- scripts -->', () => `<script>${inline(script.outputFiles[0].text)}</script>`);
await writeFile(outPath, html);
