// Retakes the README's screenshots of the page, opened from disk in headless
// Chromium with a few tendons pasted in, at a desktop size and a phone held
// upright (375 × 812), a failed row selected on a laptop (1366 × 768) and on
// the phone, the site record on the phone, and the calculator window on the
// laptop and the phone, the atlas example worked out and its diagram drawn.
//   node tools/take-page-screenshots.mjs build/page/quillmere.html docs

import { createRequire } from 'node:module';
import { resolve } from 'node:path';

const here = new URL('..', import.meta.url).pathname;
const { chromium } = createRequire(`${here}page/node_modules/x`)('playwright-core');
const [html = `${here}build/page/quillmere.html`, out = `${here}docs`] = process.argv.slice(2);

const schedule = [
    '编号\t线型\te1\te2\te3\tk1\tk2\tk3\tlc\tlg1\tlg2\t根数\t张拉端数',
    'KL1-1\tC4\t150\t90\t120\t0.12\t0.45\t0.08\t17970\t1200\t\t4\t2',
    'KL1-2\tC4\t220\t70\t180\t0.15\t0.62\t0.11\t24610\t1600\t\t2\t2',
    'KL2-1\tC2a\t150\t90\t\t\t\t\t16010\t1100\t0\t6\t1',
    'WKL3\tC4\t200\t100\t180\t0.1\t0.5\t0.12\t36060\t2150\t\t1\t2',
    'WKL4\tC4\t100\t100\t100\t0.6\t0.5\t0.1\t20000\t1000\t\t1\t2',
].join('\r\n');

const browser = await chromium.launch({
    executablePath: '/usr/bin/chromium',
    args: ['--disable-gpu', '--no-first-run', '--disable-background-networking', '--disable-component-update', '--disable-sync'],
});
const context = await browser.newContext();
const shots = [
    ['page', { width: 1440, height: 900 }],
    ['page-failed', { width: 1366, height: 768 }],
    ['page-phone-failed', { width: 375, height: 812 }],
    ['page-phone', { width: 375, height: 812 }],
];
for (const [name, viewport] of shots) {
    const page = await context.newPage();
    await page.setViewportSize(viewport);
    page.on('pageerror', (error) => console.error(name, error.message));
    await page.goto(`file://${resolve(html)}`);
    await page.waitForSelector('body[data-ready]');
    if (name === 'page') {
        await page.locator('.tabulator-cell[tabulator-field="i0"]').first().click();
        await page.evaluate((text) => {
            const data = new DataTransfer();
            data.setData('text/plain', text);
            document.querySelector('#grid .tabulator-tableholder').dispatchEvent(new ClipboardEvent('paste', { clipboardData: data, bubbles: true }));
        }, schedule);
        await page.waitForFunction(() => document.body.innerText.includes('18110'));
        await page.locator('.tabulator-row:nth-child(1) .tabulator-cell[tabulator-field="i0"]').click();
        // Scrolled to show the results beside the beam length and heights.
        await page.evaluate(() => {
            const holder = document.querySelector('#grid .tabulator-tableholder');
            const lc = [...document.querySelectorAll('.tabulator-col')].find((c) => c.innerText.startsWith('lc'));
            holder.scrollLeft = lc.offsetLeft - 150;
        });
    }
    if (name.endsWith('-failed')) {
        // WKL4, whose k1 lies beyond its k2: tapped, its message said.
        await page.locator('.tabulator-row:nth-child(5) .tabulator-cell[tabulator-field="i0"]').click();
        await page.waitForFunction(() => document.getElementById('message').textContent.includes('未算出'));
    }
    await page.waitForTimeout(300);
    await page.screenshot({ path: `${out}/${name}.png` });
    if (name === 'page-phone') {
        // The site record, KL1-1's left jack read to σcon.
        await page.getByRole('button', { name: '现场记录' }).click();
        for (const [label, value] of [['L0', '20'], ['L1', '25'], ['L2', '64.6'], ['实测锚具回缩', '5']])
            await page.getByLabel(label, { exact: false }).fill(value);
        await page.locator('#site').scrollIntoViewIfNeeded();
        await page.waitForTimeout(200);
        await page.screenshot({ path: `${out}/page-site.png`, fullPage: true });
    }
    await page.close();
}
for (const [name, viewport] of [['page-window', { width: 1366, height: 1000 }], ['page-window-phone', { width: 375, height: 812 }]]) {
    const page = await context.newPage();
    await page.setViewportSize(viewport);
    page.on('pageerror', (error) => console.error(name, error.message));
    await page.goto(`file://${resolve(html)}?view=window`);
    await page.locator('#Form1').waitFor();
    await page.click('#Option2');
    for (const answer of ['100', '100', '100', '0.1', '0.5', '0.1', '20000', '1000']) {
        await page.locator('#calculator-prompt[open]').waitFor();
        await page.keyboard.type(answer);
        await page.keyboard.press('Enter');
    }
    await page.waitForFunction(() => !document.getElementById('calculator-window').dataset.busy);
    await page.click('#Command1');
    await page.waitForFunction(() => document.getElementById('Text10').value);
    await page.click('#Command2');
    await page.click('#Command4');
    await page.waitForFunction(() => document.getElementById('Text14').value && document.querySelector('#Picture1 svg'));
    await page.evaluate(() => document.activeElement?.blur());
    await page.waitForTimeout(300);
    await page.screenshot({ path: `${out}/${name}.png`, fullPage: true });
    await page.close();
}
await browser.close();
