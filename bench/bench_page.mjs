// The page in Debian's headless Chromium, opened from disk: how soon the
// first results stand; in a schedule of 1,000 tendons, how long an edit and
// an option changed (every tendon worked out again) take to be worked out
// and painted; how long 10,000 pasted rows take, with the longest time the
// page did not answer meanwhile. Medians of 7, each from a page at rest:
// "worked out and shown" ends when the rows in view stand in the grid,
// "painted" at the next frame, "all worked out" when every row does (the
// same moment for a page that works out every row at once).
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

// Pastes at the selected cell (as Ctrl+V over the grid) or types into the
// first option, then waits in the page until the results stand (the body's
// mark changes) and until the next frame: the time of each, the longest gap
// between frames meanwhile, and the longest task the main thread ran (the
// Long Tasks API reports those over 50 ms; 0 where there were none).
const act = (page, kind, text) =>
    page.evaluate(
        ([kind, text]) =>
            new Promise((resolve) => {
                const before = document.body.dataset.ready;
                const gaps = [], tasks = [];
                const long = new PerformanceObserver((list) => tasks.push(...list.getEntries().map((task) => task.duration)));
                long.observe({ type: 'longtask' });
                let last = performance.now();
                let watching = true;
                const frame = (t) => {
                    gaps.push(t - last);
                    last = t;
                    if (watching) requestAnimationFrame(frame);
                };
                requestAnimationFrame(frame);
                const start = performance.now();
                new MutationObserver((_, observer) => {
                    if (document.body.dataset.ready === before) return;
                    observer.disconnect();
                    const done = performance.now() - start;
                    requestAnimationFrame(() => {
                        const painted = performance.now() - start;
                        // A page that works out the rows out of view after
                        // those in view marks when it has them all.
                        const whole = () => {
                            const { complete, ready } = document.body.dataset;
                            if (complete !== undefined && complete !== ready) return setTimeout(whole, 5);
                            watching = false;
                            for (const task of long.takeRecords()) tasks.push(task.duration);
                            long.disconnect();
                            resolve({ done, painted, whole: performance.now() - start, longest: Math.max(0, ...gaps), task: Math.max(0, ...tasks) });
                        };
                        whole();
                    });
                }).observe(document.body, { attributes: true });
                if (kind === 'paste') {
                    const data = new DataTransfer();
                    data.setData('text/plain', text);
                    const grid = document.querySelector('#grid .tabulator-tableholder');
                    grid.dispatchEvent(new ClipboardEvent('paste', { clipboardData: data, bubbles: true }));
                } else {
                    const input = document.querySelector('#options input');
                    input.value = text;
                    input.dispatchEvent(new Event('input'));
                }
            }),
        [kind, text],
    );
const pasteAndWait = (page, text) => act(page, 'paste', text);
const optionAndWait = (page, text) => act(page, 'option', text);

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
    await page.waitForTimeout(500);
    await page.locator('.tabulator-row:nth-child(2) .tabulator-cell[tabulator-field="i8"]').click();
    edits.push(await pasteAndWait(page, String(15000 + n * 100)));
}
// The option typed into as an engineer does, after clicking its box.
await page.locator('#options input').first().click();
const options = [];
for (let n = 0; n < 7; ++n) {
    await page.waitForTimeout(500);
    options.push(await optionAndWait(page, String(1800 + n)));
}
await page.locator('.tabulator-row:nth-child(1) .tabulator-cell[tabulator-field="i0"]').click();
await page.waitForTimeout(500);
const big = await pasteAndWait(page, rows(10000));
const ms = (values, key) => median(values.map((v) => v[key])).toFixed(1);
console.log(`first results after opening: ${median(opened).toFixed(0)} ms (median of 5 loads)`);
console.log(`an edit in a schedule of 1,000 tendons: worked out and shown ${ms(edits, 'done')} ms, painted ${ms(edits, 'painted')} ms, all worked out ${ms(edits, 'whole')} ms`);
console.log(`an option changed, 1,000 tendons again: worked out and shown ${ms(options, 'done')} ms, painted ${ms(options, 'painted')} ms, all worked out ${ms(options, 'whole')} ms, longest frame ${ms(options, 'longest')} ms, longest task ${ms(options, 'task')} ms`);
console.log(`10,000 pasted rows: shown ${big.done.toFixed(0)} ms, painted ${big.painted.toFixed(0)} ms, all worked out ${big.whole.toFixed(0)} ms, longest frame ${big.longest.toFixed(0)} ms, longest task ${big.task.toFixed(0)} ms`);
await browser.close();
