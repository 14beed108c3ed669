// The page's work in the three engines a site meets (Chromium, Firefox ESR,
// WebKitGTK), served as a host serves the site's folder and opened from
// disk: a schedule file opened, its results file byte for byte the
// program's, a cell typed over, rows pasted, kept over a reload; the site
// record typed, kept over a reload, exported and imported back. Screenshots
// at a phone's size of each engine are left beside the test's files. An
// engine that is not installed is skipped, saying why; the others run.

import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { mkdtempSync, readFileSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { after, before, test } from 'node:test';

import { launch, missing } from './engines.mjs';
import { serve } from './serve.mjs';

const env = process.env;
const root = new URL('../../', import.meta.url).pathname;
const work = env.QUILLMERE_SCREENSHOTS ?? mkdtempSync(join(tmpdir(), 'quillmere-engines-'));
const SCHEDULE = join(root, 'docs/schedule/example-gb18030.txt');
const KL9 = 'KL9\tC4\t100\t100\t100\t0.1\t0.5\t0.1\t20000\t1000';

function program(path) {
    const done = spawnSync(env.QUILLMERE_SCHEDULE, [path]);
    assert.ok(done.status === 0 || done.status === 1, done.stderr.toString());
    return done.stdout;
}

let site;
before(async () => {
    site = await serve(env.QUILLMERE_SITE);
});
after(() => site?.close());

// What the page saves, kept in the page instead of downloaded.
const keepDownloads = () => {
    window.saved = [];
    const blobs = new Map();
    const create = URL.createObjectURL.bind(URL);
    URL.createObjectURL = (blob) => {
        const url = create(blob);
        blobs.set(url, blob);
        return url;
    };
    HTMLAnchorElement.prototype.click = function () {
        if (blobs.has(this.href)) window.saved.push({ name: this.download, blob: blobs.get(this.href) });
    };
    return true;
};
const lastSaved = async () => {
    const { name, blob } = window.saved.at(-1);
    let text = '';
    for (const byte of new Uint8Array(await blob.arrayBuffer())) text += String.fromCharCode(byte);
    return [name, btoa(text)];
};
// A file chosen in a file input, as the file dialog gives it.
const choose = ([id, name, base64]) => {
    const transfer = new DataTransfer();
    transfer.items.add(new File([Uint8Array.from(atob(base64), (c) => c.charCodeAt(0))], name));
    const input = document.getElementById(id);
    input.files = transfer.files;
    input.dispatchEvent(new Event('change'));
    return true;
};
const cellText = ([row, field]) => document.querySelector(`.tabulator-row:nth-child(${row}) .tabulator-cell[tabulator-field="${field}"]`)?.textContent ?? '';
const cell = (row, field) => `.tabulator-row:nth-child(${row}) .tabulator-cell[tabulator-field="${field}"]`;
const said = (words) => document.querySelector('#message').textContent.includes(words);
const ready = () => document.body.dataset.ready;

async function saved(page, button) {
    const count = await page.evaluate(() => window.saved.length);
    await page.click(button);
    await page.until((n) => window.saved.length > n, count);
    const [name, base64] = await page.evaluate(lastSaved);
    return { name, bytes: Buffer.from(base64, 'base64') };
}

async function work_through(engine, page, where) {
    await page.until(ready);
    await page.evaluate(keepDownloads);
    // A schedule opened: its results are the program's.
    await page.evaluate(choose, ['file', 'example-gb18030.txt', readFileSync(SCHEDULE).toString('base64')]);
    await page.until(said, '已打开 example-gb18030.txt');
    const results = await saved(page, '#save');
    assert.deepEqual(results.bytes, program(SCHEDULE), `${engine} ${where}: results`);
    // A beam length typed over, as in a spreadsheet.
    await page.click(cell(1, 'i8'));
    await page.type('20000');
    await page.press('Enter');
    await page.until((args) => document.querySelector(`.tabulator-row:nth-child(${args[0]}) .tabulator-cell[tabulator-field="i8"]`)?.textContent === '20000', [1]);
    const edited = join(work, `${engine}-edited.txt`);
    writeFileSync(edited, Buffer.from(readFileSync(SCHEDULE).toString('latin1').replace('17970', '20000'), 'latin1'));
    const [titles, first] = program(edited).toString().slice(1).split('\r\n').map((line) => line.split(','));
    await page.until((args) => document.querySelector(`.tabulator-row:nth-child(1) .tabulator-cell[tabulator-field="o21"]`)?.textContent === args, first[titles.indexOf('length')]);
    // A row added below them, and pasted into.
    await page.click(cell(6, 'i0'));
    await page.click('#add');
    await page.until(() => document.querySelectorAll('.tabulator-row').length === 7);
    await page.click(cell(7, 'i0'));
    await page.paste(KL9);
    await page.until((args) => document.querySelector(`.tabulator-row:nth-child(7) .tabulator-cell[tabulator-field="o21"]`)?.textContent === args, '20086');
    // Kept over a reload.
    await page.reload();
    await page.until(ready);
    assert.equal(await page.evaluate(cellText, [1, 'i8']), '20000', `${engine} ${where}: kept`);
    assert.equal(await page.evaluate(cellText, [7, 'o21']), '20086');

    // The site record: KL1-1's left jack typed (its elongation measured
    // 49.8 mm), kept over a reload.
    await page.evaluate(keepDownloads);
    await page.click('#site-mode');
    await page.until(() => !document.getElementById('site-jack-record').hidden); // the jacks as the core answers
    for (const [name, value] of [['l0', '20'], ['l1', '25'], ['l2', '64.8'], ['drawIn', '5']]) {
        await page.click(`#site-readings input[name="${name}"]`);
        await page.type(value);
    }
    await page.until(() => document.getElementById('site-measured').textContent === '49.8 mm');
    await page.reload();
    await page.until(ready);
    // Open again where it was.
    await page.until(() => !document.getElementById('site').hidden && document.querySelector('#site-readings input[name="l2"]')?.value === '64.8');
    await page.evaluate(keepDownloads);
    const record = await saved(page, '#site-export');
    assert.ok(record.name.endsWith('.xlsx') && record.bytes.subarray(0, 2).toString() === 'PK', `${engine} ${where}: record`);
    await page.evaluate(choose, ['site-file', record.name, record.bytes.toString('base64')]);
    await page.until(said, '个张拉端的记录。');

    // At a phone's size, held upright: the record, and the schedule's first screen.
    await page.resize({ width: 375, height: 812 });
    await page.screenshot(join(work, `${engine}-${where}-site-phone.png`));
    await page.click('#site-mode');
    await page.screenshot(join(work, `${engine}-${where}-phone.png`));
    // The grid holds to its share of the screen, its rows scrolled within
    // it (grown to its rows, a paste of thousands would lay out every one).
    const [gridHeight, screen] = await page.evaluate(() => [document.getElementById('grid').getBoundingClientRect().height, innerHeight]);
    assert.ok(Math.abs(gridHeight - 0.55 * screen) < 2, `${engine} ${where}: the grid ${gridHeight} px high of ${screen}`);
}

for (const engine of ['chromium', 'firefox', 'webkit']) {
    const why = missing(engine);
    test(`the page's work in ${engine}, served and opened from disk`, { skip: why ?? false }, async () => {
        const browser = await launch(engine, env.QUILLMERE_PAGE_MODULES);
        try {
            for (const [where, url] of [['served', site.url], ['disk', `file://${env.QUILLMERE_PAGE_HTML}`]]) {
                if (engine === 'chromium' && where === 'disk') continue; // page.test.mjs drives it from disk
                const page = await browser.open(url, { width: 1280, height: 900 });
                await work_through(engine, page, where);
            }
        } finally {
            await browser.close();
        }
    });
}
