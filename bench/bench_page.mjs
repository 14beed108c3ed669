// The page in Debian's headless Chromium, opened from disk: how soon the
// first results stand, how long 1,000 tendons take to be worked out and shown
// again after an edit, and how long 10,000 pasted rows take, with the longest
// time the page did not answer meanwhile. Medians of 7 edits.
//   node bench/bench_page.mjs build/page/quillmere.html

import { createRequire } from 'node:module';
import { resolve } from 'node:path';

const here = new URL('..', import.meta.url).pathname;
const { chromium } = createRequire(`${here}page/node_modules/x`)('playwright-core');
const html = process.argv[2] ?? `${here}build/page/quillmere.html`;

const row = (n) =>
    n % 2
        ? `KL${n}\tC4\t150\t90\t120\t0.12\t0.45\t0.08\t${6000 + ((n * 37) % 26000)}\t1200\t\t2\t1395\tmetal\t\t\t2\t7`
        : `L${n}\tC2a\t150\t90\t\t\t\t\t${6000 + ((n * 37) % 26000)}\t1100\t300\t1\t1302\tplastic\t\t\t1\t12`;
const rows = (count) => Array.from({ length: count }, (_, n) => row(n)).join('\r\n');

// Pastes at the first cell and waits until the results stand and a frame is
// painted; the time, and the longest gap between frames meanwhile.
const pasteAndWait = (page, text) =>
    page.evaluate(async (text) => {
        const before = document.body.dataset.ready;
        const gaps = [];
        let last = performance.now();
        let watching = true;
        const frame = (t) => {
            gaps.push(t - last);
            last = t;
            if (watching) requestAnimationFrame(frame);
        };
        requestAnimationFrame(frame);
        const start = performance.now();
        const data = new DataTransfer();
        data.setData('text/plain', text);
        document.querySelector('#grid .tabulator-tableholder').dispatchEvent(new ClipboardEvent('paste', { clipboardData: data, bubbles: true }));
        await new Promise((resolve) => {
            const check = () => (document.body.dataset.ready !== before ? resolve() : setTimeout(check, 0));
            check();
        });
        await new Promise((resolve) => requestAnimationFrame(() => resolve()));
        watching = false;
        return { took: performance.now() - start, longest: Math.max(0, ...gaps) };
    }, text);

const browser = await chromium.launch({
    executablePath: '/usr/bin/chromium',
    args: ['--disable-gpu', '--no-first-run', '--disable-background-networking', '--disable-component-update', '--disable-sync'],
});
const median = (values) => values.sort((a, b) => a - b)[Math.floor(values.length / 2)];
const context = await browser.newContext({ viewport: { width: 1440, height: 900 } });
const page = await context.newPage();
const opened = [];
for (let n = 0; n < 5; ++n) {
    await page.goto(`file://${resolve(html)}`);
    await page.waitForSelector('body[data-ready]');
    opened.push(Number(await page.evaluate(() => document.body.dataset.firstResults)));
}
await page.locator('.tabulator-cell[tabulator-field="i0"]').first().click();
await pasteAndWait(page, rows(1000));
const edits = [];
for (let n = 0; n < 7; ++n) {
    await page.locator('.tabulator-row:nth-child(2) .tabulator-cell[tabulator-field="i8"]').click();
    edits.push((await pasteAndWait(page, String(15000 + n * 100))).took);
}
await page.locator('.tabulator-row:nth-child(1) .tabulator-cell[tabulator-field="i0"]').click();
const big = await pasteAndWait(page, rows(10000));
console.log(`first results after opening: ${median(opened).toFixed(0)} ms (median of 5 loads)`);
console.log(`1,000 tendons after an edit: ${median(edits).toFixed(1)} ms (median of 7), worked out and painted`);
console.log(`10,000 pasted rows: ${big.took.toFixed(0)} ms, longest frame ${big.longest.toFixed(0)} ms`);
await browser.close();
