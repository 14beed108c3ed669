// The page served from a web server on 127.0.0.1, in Chromium: installable
// (no installability errors), kept by its service worker so that a reload
// with no network opens it with the schedule and the readings; a newer build
// put on the server is fetched in the background, said, and taken at the
// next opening with nothing typed lost; storage the browser will not keep is
// said, and the page works on.

import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { cpSync, mkdtempSync, readdirSync, readFileSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { after, before, test } from 'node:test';

import { serve } from './serve.mjs';

const env = process.env;
const { chromium } = createRequire(join(env.QUILLMERE_PAGE_MODULES, 'x'))('playwright-core');
const KL1 = 'KL1-1\tC4\t150\t90\t120\t0.12\t0.45\t0.08\t17970\t1200\t';

const options = {
    executablePath: '/usr/bin/chromium',
    args: ['--disable-gpu', '--no-first-run', '--disable-background-networking', '--disable-component-update', '--disable-sync'],
};
let site;
before(async () => {
    const folder = mkdtempSync(join(tmpdir(), 'quillmere-site-'));
    cpSync(env.QUILLMERE_SITE, folder, { recursive: true });
    site = await serve(folder);
});
after(() => site?.close());
// A browser profile of its own, as a phone's: an incognito one can install nothing.
const profile = () => chromium.launchPersistentContext(mkdtempSync(join(tmpdir(), 'quillmere-profile-')), options);

async function open(context) {
    const page = await context.newPage();
    const problems = [];
    page.on('pageerror', (error) => problems.push(error.message));
    try {
        await page.goto(site.url, { timeout: 15_000 });
        await page.waitForSelector('body[data-ready]');
    } catch (error) {
        await page.close();
        throw error;
    }
    return { page, problems };
}

async function paste(page, text) {
    await page.locator('.tabulator-row:nth-child(1) .tabulator-cell[tabulator-field="i0"]').click();
    await page.evaluate((data) => {
        const transfer = new DataTransfer();
        transfer.setData('text/plain', data);
        document.querySelector('#grid .tabulator-tableholder').dispatchEvent(new ClipboardEvent('paste', { clipboardData: transfer, bubbles: true }));
    }, text);
    await page.waitForFunction(() => document.body.innerText.includes('18110'));
}

test('served: installable, opens with no network, takes a newer build at the next opening, keeps everything typed', async () => {
    const context = await profile();
    await context.addInitScript(() => {
        navigator.storage.persist = () => Promise.resolve(true); // as an installed app's storage is kept
    });
    let { page, problems } = await open(context);
    await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
    const cdp = await context.newCDPSession(page);
    const { installabilityErrors } = await cdp.send('Page.getInstallabilityErrors');
    assert.deepEqual(installabilityErrors, []);
    const { url, errors } = await cdp.send('Page.getAppManifest');
    assert.ok(url.endsWith('manifest.webmanifest') && errors.length === 0, JSON.stringify(errors));
    assert.equal(await page.locator('#kept').isVisible(), false);
    // An icon where browsers and bookmarks look for one.
    const icon = Buffer.from(await (await fetch(new URL('favicon.ico', site.url))).arrayBuffer());
    assert.deepEqual([...icon.subarray(0, 4)], [0, 0, 1, 0]);
    assert.equal(icon.subarray(23, 26).toString(), 'PNG');
    assert.match(await page.locator('link[rel="icon"]').getAttribute('href'), /^data:image\/png;base64,/);

    // A tendon and a reading typed, then the network gone.
    await paste(page, KL1);
    await page.getByRole('button', { name: '现场记录' }).click();
    await page.getByLabel('L0', { exact: false }).fill('20');
    await context.setOffline(true);
    await page.reload();
    await page.waitForSelector('body[data-ready]');
    assert.match(await page.locator('#tendon').innerText(), /18110/);
    // The site record open again where it was, at its jack.
    await page.waitForSelector('#site:not([hidden])');
    assert.equal(await page.getByLabel('L0', { exact: false }).inputValue(), '20');
    await context.setOffline(false);

    // A newer build copied over the site: fetched in the background, said.
    const index = join(site.folder, 'index.html'), worker = join(site.folder, 'sw.js');
    writeFileSync(index, readFileSync(index, 'utf8').replace('<title>', '<meta name="build" content="newer">\n<title>'));
    writeFileSync(worker, readFileSync(worker, 'utf8').replace(/const VERSION = '[^']*';/, "const VERSION = 'newer';"));
    await page.reload();
    await page.waitForSelector('body[data-update="ready"]');
    assert.match(await page.locator('#update').textContent(), /下次|再次打开/);
    assert.equal(await page.locator('meta[name="build"]').count(), 0); // still the build it opened with
    await page.waitForSelector('#site:not([hidden])');
    await page.getByLabel('L1', { exact: false }).fill('25');
    assert.deepEqual(problems, []);
    await page.close();

    // The next opening is the newer build, everything typed still there.
    // The old worker steps down once its last page is gone, which takes the
    // browser a moment.
    let opened;
    for (let tries = 0; tries < 20; tries++) {
        opened = await open(context).catch(() => null);
        if (opened && (await opened.page.locator('meta[name="build"]').count())) break;
        await opened?.page.close();
        await new Promise((resolve) => setTimeout(resolve, 250));
    }
    ({ page, problems } = opened);
    assert.equal(await page.locator('meta[name="build"]').count(), 1, 'the newer build was not taken');
    assert.match(await page.locator('#tendon').innerText(), /18110/);
    await page.waitForSelector('#site:not([hidden])');
    assert.equal(await page.getByLabel('L0', { exact: false }).inputValue(), '20');
    assert.equal(await page.getByLabel('L1', { exact: false }).inputValue(), '25');
    assert.deepEqual(problems, []);
    await context.close();
});

test('served: storage the browser will not keep is said, and the page works on', async () => {
    const context = await profile();
    await context.addInitScript(() => {
        navigator.storage.persist = () => Promise.resolve(false);
    });
    const { page, problems } = await open(context);
    await page.waitForSelector('#kept:not([hidden])');
    assert.match(await page.locator('#kept').textContent(), /未同意长期保存/);
    await paste(page, KL1);
    assert.deepEqual(problems, []);
    await context.close();
});

// The program's sheets with codes to this server, read by an independent
// decoder; each link opens its tendon's site record with the program's
// figures (the record it writes, as openpyxl reads it); the tendon's panel
// shows the same code; a link a character off or cut short changes nothing.
test('served: the code on a tendon\'s sheet opens its site record with the program\'s figures', async () => {
    const work = mkdtempSync(join(tmpdir(), 'quillmere-codes-'));
    const root = new URL('../../', import.meta.url).pathname;
    const gauge = 'J1:p=0.0213F-0.70; J2:F=46.95p+33';
    const [pdf, xlsx] = [join(work, 'sheets.pdf'), join(work, 'record.xlsx')];
    const made = spawnSync(env.QUILLMERE_SCHEDULE, ['--site-url', site.url, '--gauge', gauge, '--sheet', pdf, '-o', xlsx, join(root, 'docs/schedule/example-continuous.csv')]);
    assert.equal(made.status, 0, made.stderr.toString());
    spawnSync('pdftoppm', ['-r', '200', '-png', pdf, join(work, 'page')]);
    const pages = readdirSync(work).filter((f) => f.endsWith('.png')).map((f) => join(work, f));
    const links = spawnSync('zbarimg', ['-q', '--raw', ...pages.sort()]).stdout.toString().split('\n').filter(Boolean);
    assert.equal(links.length, 2, links.join('\n')); // KL5 through three spans, and L6
    const record = JSON.parse(spawnSync('/usr/bin/python3', ['-c', `
import sys, json, openpyxl
rows = openpyxl.load_workbook(sys.argv[1])['张拉记录'].iter_rows(values_only=True)
print(json.dumps([[r[0], r[1], r[2]] + [f'{f:.1f}' for f in r[4:9:2]] + [f'{p:.2f}' for p in r[5:10:2]] + [f'{r[10]:.1f}（{r[11]:.1f} ～ {r[12]:.1f}）']
                  for r in rows if r[1] in ('左端', '右端')], ensure_ascii=False))`, xlsx]).stdout);

    const context = await profile();
    const page = await context.newPage();
    const problems = [];
    page.on('pageerror', (error) => problems.push(error.message));
    const shown = [];
    for (const link of links) {
        await page.goto(link);
        await page.waitForSelector('body[data-ready]');
        await page.waitForFunction(() => document.querySelector('#site-jack').options.length > 0 && !document.querySelector('#site-jack-record').hidden);
        assert.equal(new URL(page.url()).hash, ''); // taken once
        for (const option of await page.locator('#site-jack option').allTextContents()) {
            await page.getByLabel('钢绞线与张拉端').selectOption({ label: option });
            const stages = await page.locator('#site-stages tr').evaluateAll((rows) => rows.map((row) => [...row.cells].map((cell) => cell.textContent)));
            shown.push([...option.split(' '), ...stages.map((s) => s[2]), ...stages.map((s) => s[3]), await page.locator('#site-elongation').textContent()]);
        }
    }
    assert.deepEqual(shown, record);

    // The panel's code, read off the screen, is the sheet's link.
    await page.locator('#site-mode').click();
    const panel = join(work, 'panel.png');
    await page.locator('#site-code-image').screenshot({ path: panel });
    assert.equal(spawnSync('zbarimg', ['-q', '--raw', panel]).stdout.toString().trim(), links.at(-1));

    const fragment = links[0].slice(links[0].indexOf('#'));
    const other = (c) => (c === 'A' ? 'B' : 'A');
    for (const broken of [fragment.slice(0, 40) + other(fragment[40]) + fragment.slice(41), fragment.slice(0, fragment.length - 9)]) {
        await page.goto(site.url + broken);
        await page.waitForSelector('body[data-ready]');
        assert.match(await page.locator('#message').textContent(), /链接已损坏或不完整/);
        assert.match(await page.locator('#tendon').innerText(), /L6/); // the tendon opened before, still there
    }
    assert.deepEqual(problems, []);
    await context.close();
});
