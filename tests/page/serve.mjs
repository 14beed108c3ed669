// A static web server on 127.0.0.1 for the served page, as any host would
// serve the site's folder: files as they are, by their types, "/" as
// index.html. `folder` may be changed between requests, as a host is when a
// newer build is copied over the old.

import { readFile } from 'node:fs/promises';
import { createServer } from 'node:http';
import { extname, join, normalize } from 'node:path';

const TYPES = {
    '.html': 'text/html; charset=utf-8',
    '.js': 'text/javascript; charset=utf-8',
    '.webmanifest': 'application/manifest+json',
    '.png': 'image/png',
};

export async function serve(folder) {
    const site = { folder };
    const server = createServer(async (request, response) => {
        const path = normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname)).replace(/^(\.\.[/\\])+/, '');
        const file = join(site.folder, path.endsWith('/') ? `${path}index.html` : path);
        try {
            const body = await readFile(file);
            response.writeHead(200, { 'Content-Type': TYPES[extname(file)] ?? 'application/octet-stream', 'Cache-Control': 'no-cache' });
            response.end(body);
        } catch {
            response.writeHead(404);
            response.end();
        }
    });
    await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
    site.url = `http://127.0.0.1:${server.address().port}/`;
    site.close = () => new Promise((resolve) => server.close(resolve));
    return site;
}
