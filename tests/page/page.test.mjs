// The page as an engineer uses it, opened from disk in Debian's headless
// Chromium: controls found by their names, results read off the grid as
// shown. Run by CTest with node's test runner.

import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { mkdtempSync, readFileSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { after, before, test } from 'node:test';

const env = process.env;
const { chromium } = createRequire(join(env.QUILLMERE_PAGE_MODULES, 'x'))('playwright-core');
const root = new URL('../../', import.meta.url).pathname;
const url = `file://${env.QUILLMERE_PAGE_HTML}`;
const work = mkdtempSync(join(tmpdir(), 'quillmere-page-'));

const KL1 = 'KL1-1\tC4\t150\t90\t120\t0.12\t0.45\t0.08\t17970\t1200\t';
const HEADER = '编号\t线型\te1\te2\te3\tk1\tk2\tk3\tlc\tlg1\tlg2';

let browser;
before(async () => {
    browser = await chromium.launch({
        executablePath: env.QUILLMERE_CHROMIUM ?? '/usr/bin/chromium',
        args: ['--disable-gpu', '--no-first-run', '--disable-background-networking', '--disable-component-update', '--disable-sync'],
    });
});
after(() => browser?.close());

// The page opened; `problems` collects its script errors, and a question
// it asks is a problem too unless the test says how to answer it.
async function open(context) {
    const page = await context.newPage();
    const problems = [];
    page.on('pageerror', (error) => problems.push(error.message));
    page.on('dialog', (dialog) => {
        if (!page.answer) problems.push(`dialog: ${dialog.message()}`);
        page.asked = dialog.message();
        page.answer === 'accept' ? dialog.accept() : dialog.dismiss();
    });
    await page.goto(url);
    await page.waitForSelector('body[data-ready]');
    return { page, problems };
}

// What a grid cell shows: row from 1, column by its title (the result
// column where an input column has the same title, as sigma_con and set).
async function cell(page, row, title, result = false) {
    const columns = await page.evaluate(() => [...document.querySelectorAll('.tabulator-col')].map((c) => [c.innerText.split('\n')[0], c.getAttribute('tabulator-field')]));
    const field = columns[result ? 'findLast' : 'find'](([t]) => t === title)?.[1];
    assert.ok(field, `no column ${title}`);
    // Scrolled to, as a person scrolls to a column past the screen's edge:
    // the grid builds the cells of the columns in view only.
    await page.evaluate((name) => {
        const header = document.querySelector(`.tabulator-col[tabulator-field="${name}"]`);
        const holder = document.querySelector('#grid .tabulator-tableholder');
        const left = header.offsetLeft, shown = holder.scrollLeft + 150;
        if (left < shown || left + header.offsetWidth > holder.scrollLeft + holder.clientWidth)
            holder.scrollLeft = Math.max(0, left - 150);
    }, field);
    return page.locator(`.tabulator-row:nth-child(${row}) .tabulator-cell[tabulator-field="${field}"]`);
}

const text = async (page, row, title, result) => (await (await cell(page, row, title, result)).textContent()) ?? '';

// An element showing a text, once the core's thread has answered what was
// typed.
const shows = (page, selector, words) =>
    settled(page, ([at, text]) => document.querySelector(at)?.textContent === text, [selector, words]);

// Pastes as the browser does when the engineer presses Ctrl+V over the grid.
async function paste(page, row, title, clipboard) {
    await (await cell(page, row, title)).click();
    await page.evaluate((data) => {
        const transfer = new DataTransfer();
        transfer.setData('text/plain', data);
        document.querySelector('#grid .tabulator-tableholder').dispatchEvent(new ClipboardEvent('paste', { clipboardData: transfer, bubbles: true }));
    }, clipboard);
}

const settled = (page, check, arg = null) =>
    page.waitForFunction(check, arg, { timeout: 10_000 }).catch(async (error) => {
        throw new Error(`${error.message}\n${check}\nthe page shows: ${(await page.locator('#tendon').innerText()).slice(0, 1500)} ${await page.evaluate(() => document.querySelector('#tendon').hidden)}`);
    });

function program(path) {
    const done = spawnSync(env.QUILLMERE_SCHEDULE, [path]);
    assert.ok(done.status === 0 || done.status === 1, done.stderr.toString());
    return done.stdout;
}

test('a schedule opened from disk saves the results file and the workbook the program writes, and prints its sheets', async () => {
    const context = await browser.newContext({ acceptDownloads: true });
    await context.addInitScript(() => {
        window.print = () => {}; // the dialog: page.pdf() below prints as "Save as PDF" would
    });
    const { page, problems } = await open(context);
    for (const name of ['打开', '保存结果', '复制结果']) await page.getByRole('button', { name, exact: true }).waitFor();
    await page.getByRole('grid').waitFor();
    await page.getByRole('columnheader', { name: /^name/ }).waitFor();

    const schedule = join(root, 'docs/schedule/example-gb18030.txt');
    const chooser = page.waitForEvent('filechooser');
    await page.getByRole('button', { name: '打开', exact: true }).click();
    await (await chooser).setFiles(schedule);
    await settled(page, () => document.querySelector('#message').textContent.startsWith('已打开'));
    const download = page.waitForEvent('download');
    await page.getByRole('button', { name: '保存结果', exact: true }).click();
    const saved = readFileSync(await (await download).path());
    assert.deepEqual(saved, program(schedule));
    // The workbook, by the program's own writer built into the page, with
    // two jacks calibrated: the same cells and formulas as the program's.
    await page.getByLabel('千斤顶校准').fill('J1:p=0.0213F-0.70; J2:F=46.95p+33');
    await settled(page, () => document.body.innerText.includes('18110'));
    const book = page.waitForEvent('download');
    await page.getByRole('button', { name: '保存工作簿', exact: true }).click();
    const fromPage = join(work, 'page.xlsx');
    await (await book).saveAs(fromPage);
    const fromProgram = join(work, 'program.xlsx');
    const written = spawnSync(env.QUILLMERE_SCHEDULE, ['--gauge', 'J1:p=0.0213F-0.70; J2:F=46.95p+33', '-o', fromProgram, schedule]);
    assert.ok(written.status === 0 || written.status === 1, written.stderr.toString());
    const same = spawnSync('/usr/bin/python3', [join(root, 'tests/page/same_workbook.py'), fromPage, fromProgram]);
    assert.equal(same.status, 0, same.stdout.toString() + same.stderr.toString());
    // The construction drawing: the program's bytes, splines or polylines;
    // the selected tendon's alone.
    for (const polylines of [false, true]) {
        await page.getByLabel('抛物线画成多段线', { exact: false }).setChecked(polylines);
        const drawing = page.waitForEvent('download');
        await page.getByRole('button', { name: '保存 DXF', exact: true }).click();
        const fromProgram = join(work, 'program.dxf');
        const drawn = spawnSync(env.QUILLMERE_SCHEDULE, ['--dxf', fromProgram, ...(polylines ? ['--dxf-polylines'] : []), schedule]);
        assert.ok(drawn.status === 0 || drawn.status === 1, drawn.stderr.toString());
        assert.deepEqual(readFileSync(await (await drawing).path()), readFileSync(fromProgram), `polylines ${polylines}`);
    }
    await (await cell(page, 2, 'name')).click();
    const one = page.waitForEvent('download');
    await page.getByRole('button', { name: '保存此束 DXF' }).click();
    const alone = readFileSync(await (await one).path(), 'utf8');
    assert.equal((await one).suggestedFilename(), 'KL1-2.dxf');
    assert.equal(alone.split('\nINSERT\n').length, 2); // one tendon inserted
    assert.ok(alone.includes('\n  2\nKL1-2\n'));

    // The sheets printed from the page: the program's pages, page for page
    // the same words (pdftotext reads both).
    await page.getByRole('button', { name: '打印计算书' }).click();
    await settled(page, () => document.querySelector('#message').textContent.startsWith('计算书共'));
    const printed = join(work, 'printed.pdf'), sheets = join(work, 'sheets.pdf');
    await page.pdf({ path: printed, preferCSSPageSize: true });
    const drawn = spawnSync(env.QUILLMERE_SCHEDULE, ['--gauge', 'J1:p=0.0213F-0.70; J2:F=46.95p+33', '--sheet', sheets, schedule]);
    assert.ok(drawn.status === 0 || drawn.status === 1, drawn.stderr.toString());
    const words = (pdf) => spawnSync('pdftotext', [pdf, '-']).stdout.toString().split('\f').map((p) => p.split(/\s+/).filter(Boolean).sort());
    assert.ok(words(sheets).length > 2);
    assert.deepEqual(words(printed), words(sheets));

    // A file that cannot be read: its line named, the schedule as it was.
    const broken = join(work, 'broken.csv');
    writeFileSync(broken, 'name,profile,e1,e2,lc,lg1\nA,C4,1,2,3,4\n"B,C4\n');
    const again = page.waitForEvent('filechooser');
    await page.getByRole('button', { name: '打开', exact: true }).click();
    await (await again).setFiles(broken);
    await settled(page, () => document.querySelector('#message').textContent.includes('第 3 行'));
    assert.equal(await text(page, 1, 'name'), 'KL1-1');
    assert.deepEqual(problems, []);
    await context.close();
});

test('workbooks opened or dropped give the program\'s results; a worksheet chosen; cells with no value name themselves', async () => {
    const made = spawnSync('/usr/bin/python3', [join(root, 'tests/workbook/workbooks.py'), join(root, 'tests/data/tendons.csv'), work]);
    assert.equal(made.status, 0, made.stderr.toString());
    const context = await browser.newContext({ acceptDownloads: true });
    const { page, problems } = await open(context);
    page.answer = 'accept'; // the schedule on screen replaced
    const said = (words) =>
        settled(page, (w) => document.querySelector('#message').textContent.includes(w), words).catch(async () => {
            throw new Error(`the page said "${await page.locator('#message').textContent()}", not "${words}"`);
        });
    const opening = async (path) => {
        const chooser = page.waitForEvent('filechooser');
        await page.getByRole('button', { name: '打开', exact: true }).click();
        await (await chooser).setFiles(path);
    };
    const results = async () => {
        const download = page.waitForEvent('download');
        await page.getByRole('button', { name: '保存结果', exact: true }).click();
        return readFileSync(await (await download).path());
    };
    const expected = program(join(work, 'golden.csv'));
    for (const name of ['openpyxl.xlsx', 'gnumeric.xlsx']) {
        await opening(join(work, name));
        await said(`已打开 ${name}`);
        assert.deepEqual(await results(), expected, name);
    }
    // Dropped anywhere on the page, as 打开 would open it.
    await page.evaluate((bytes) => {
        const transfer = new DataTransfer();
        transfer.items.add(new File([new Uint8Array(bytes)], 'typed.xlsx'));
        document.querySelector('#counts').dispatchEvent(new DragEvent('drop', { dataTransfer: transfer, bubbles: true, cancelable: true }));
    }, [...readFileSync(join(work, 'typed.xlsx'))]);
    await said('已打开 typed.xlsx（工作表“预应力筋表”）');
    assert.deepEqual(await results(), expected);

    // Two worksheets with a schedule each: the first read, the other chosen.
    await opening(join(work, 'two.xlsx'));
    await said('已打开 two.xlsx（工作表“一层”）');
    assert.deepEqual(await page.getByLabel('工作表').locator('option').allTextContents(), ['一层', '二层']);
    await page.getByLabel('工作表').selectOption('二层');
    await said('工作表“二层”');
    assert.equal(await text(page, 1, 'name'), '二层-1');

    // Cells with no value refuse their rows, naming the cell, until typed over.
    await opening(join(work, 'faults.xlsx'));
    await said('其中 4 个单元格没有可用的值');
    assert.equal(await page.getByLabel('工作表').isVisible(), false);
    assert.match(await text(page, 1, 'message'), /e1 列 表2!C2 是未存计算结果的公式/);
    assert.match(await text(page, 2, 'message'), /e2 列 表2!D3 是错误值 #DIV\/0!/);
    assert.equal(await text(page, 4, 'status'), 'ok');
    await (await cell(page, 1, 'e1')).click();
    await page.keyboard.type('100');
    await page.keyboard.press('Enter');
    await settled(page, () => document.querySelector('.tabulator-row:nth-child(1)').innerText.includes('20022'));
    await page.reload();
    await page.waitForSelector('body[data-ready]');
    assert.match(await text(page, 2, 'message'), /表2!D3/); // kept in storage with its row
    await paste(page, 2, 'e2', '90'); // pasted over, as typed over
    await settled(page, () => !document.querySelector('.tabulator-row:nth-child(2)').innerText.includes('表2!D3'));

    // A workbook cut short: said beside 打开, the schedule kept.
    const cut = join(work, 'cut.xlsx');
    writeFileSync(cut, readFileSync(join(work, 'openpyxl.xlsx')).subarray(0, 3000));
    await opening(cut);
    await said('无法读取 cut.xlsx：不是 XLSX 工作簿');
    assert.equal(await text(page, 2, 'name'), 'B');
    assert.deepEqual(problems, []);
    await context.close();
});

test('pasted rows, with and without a header, and an edit work out at once and survive a reload', async () => {
    const context = await browser.newContext({ permissions: ['clipboard-read', 'clipboard-write'] });
    const { page, problems } = await open(context);
    await paste(page, 1, 'name', `${HEADER}\r\n${KL1}\r\n<img src=x onerror=alert(1)>\tC5\t1\t1\r\n`);
    await settled(page, () => document.body.innerText.includes('18110'));
    assert.equal(await text(page, 1, 'length'), '18110');
    assert.equal(await text(page, 1, 'elong'), '120.2'); // 49.8 + 70.3 is 120.158, rounded once
    // The markup is a name, shown as text; the bad profile refused in its row.
    assert.equal(await text(page, 2, 'name'), '<img src=x onerror=alert(1)>');
    assert.equal(await page.locator('#grid img').count(), 0);
    assert.equal(await text(page, 2, 'status'), 'input');
    assert.match(await text(page, 2, 'message'), /profile 列“C5”/);
    assert.match((await (await cell(page, 2, 'profile')).getAttribute('class')) ?? '', /fault/);

    // A paste that cannot be read is named by its line and changes nothing.
    await paste(page, 1, 'name', `${HEADER}\r\nKL7\tC4\r\n"KL8\tC4\r\n`);
    await settled(page, () => document.querySelector('#message').textContent.includes('第 3 行'));
    assert.equal(await text(page, 1, 'name'), 'KL1-1');

    // Some cells copied without their header, pasted from e1 on.
    await paste(page, 2, 'e1', '100\t100\t100\t0.1\t0.5\t0.1\t20000\t1000');
    await paste(page, 2, 'profile', 'C4');
    await settled(page, () => document.body.innerText.includes('20086'));
    assert.equal(await text(page, 2, 'length'), '20086');

    // Typed over, as in a spreadsheet: select, type, Enter.
    await (await cell(page, 1, 'lc')).click();
    await page.keyboard.type('20000');
    await page.keyboard.press('Enter');
    await settled(page, () => !document.body.innerText.includes('18110'));
    const edited = join(work, 'edited.csv');
    writeFileSync(edited, `${HEADER}\n${KL1.replace('17970', '20000')}\n`.replaceAll('\t', ','));
    const [titles, expected] = program(edited).toString().slice(1).split('\r\n').map((line) => line.split(','));
    assert.equal(await text(page, 1, 'length'), expected[titles.indexOf('length')]);

    // Undo takes the edit back.
    await page.getByRole('button', { name: '撤销', exact: true }).click();
    await settled(page, () => document.body.innerText.includes('18110'));

    // The results copied for a spreadsheet, tab-separated.
    await page.getByRole('button', { name: '复制结果', exact: true }).click();
    await settled(page, () => document.querySelector('#message').textContent.startsWith('已复制'));
    const copied = await page.evaluate(() => navigator.clipboard.readText());
    assert.match(copied, /^name\tprofile\t/);
    assert.match(copied, /\r\nKL1-1\tC4\t150\t.*\t18110\t/);

    await page.reload();
    await page.waitForSelector('body[data-ready]');
    assert.equal(await text(page, 1, 'length'), '18110');
    assert.equal(await text(page, 2, 'name'), '<img src=x onerror=alert(1)>');
    assert.deepEqual(problems, []);
    await context.close();
});

test('thousands of pasted rows are all there when scrolled to, worked out', async () => {
    const context = await browser.newContext();
    const { page, problems } = await open(context);
    const rows = Array.from({ length: 3000 }, (_, n) => KL1.replace('KL1-1', `T${n + 1}`).replace('17970', String(17970 + (n % 2) * 30)));
    await paste(page, 1, 'name', rows.join('\r\n'));
    await settled(page, () => document.body.dataset.complete === document.body.dataset.ready && document.querySelector('#counts').textContent.startsWith('3000 束'));
    // The last row, worked out after those first in view: its cells as shown.
    await page.evaluate(() => {
        const holder = document.querySelector('#grid .tabulator-tableholder');
        holder.scrollTop = holder.scrollHeight;
    });
    const last = () => [...document.querySelectorAll('#grid .tabulator-row')]
        .map((row) => [...row.querySelectorAll('.tabulator-cell')].map((cell) => cell.textContent))
        .find((cells) => cells[1] === 'T3000' && cells.includes('ok'));
    await settled(page, last);
    const shown = await page.evaluate(last);
    const alone = join(work, 'last.csv');
    writeFileSync(alone, `${HEADER}\n${rows.at(-1)}\n`.replaceAll('\t', ','));
    const [titles, expected] = program(alone).toString().slice(1).split('\r\n').map((line) => line.split(','));
    assert.deepEqual(shown.slice(0, 3), ['3000', 'T3000', 'C4']);
    for (const title of ['length', 'elong', 'lf_left']) assert.ok(shown.includes(expected[titles.indexOf(title)]), title);
    // Their workbook and sheets take long enough to show how far they have
    // got, and can be stopped (取消, or Escape); then the workbook is written whole.
    const message = () => page.locator('#message').textContent();
    await page.getByRole('button', { name: '保存工作簿', exact: true }).click();
    await page.waitForSelector('#progress[open]');
    await page.keyboard.press('Escape');
    await settled(page, () => document.getElementById('message').textContent.includes('已取消，工作簿未保存'));
    await page.getByRole('button', { name: '打印计算书', exact: true }).click();
    await page.waitForSelector('#progress[open]');
    assert.match(await page.locator('#progress-title').textContent(), /计算书/);
    await page.getByRole('button', { name: '取消', exact: true }).click();
    await settled(page, () => document.getElementById('message').textContent.includes('已取消，计算书未打印'));
    const saved = page.waitForEvent('download');
    await page.getByRole('button', { name: '保存工作簿', exact: true }).click();
    const book = join(work, 'many.xlsx');
    await (await saved).saveAs(book);
    assert.match(await message(), /工作簿已保存/);
    const counted = spawnSync('/usr/bin/python3', ['-c', 'import sys, openpyxl; print(openpyxl.load_workbook(sys.argv[1], read_only=True)["schedule"].max_row)', book]);
    assert.equal(counted.stdout.toString().trim(), '3001', counted.stderr.toString());
    assert.deepEqual(problems, []);
    await context.close();
});

test('the spans of a continuous tendon are worked out together as they are edited', async () => {
    const context = await browser.newContext();
    const { page, problems } = await open(context);
    const spans = readFileSync(join(root, 'docs/schedule/example-continuous.csv'), 'utf8').trim().replaceAll(',', '\t');
    await paste(page, 1, 'name', spans);
    await settled(page, () => document.body.innerText.includes('48430'));
    assert.equal(await text(page, 1, 'elong'), '290.0');
    assert.equal(await text(page, 2, 'elong'), '');
    // Its rows shown as one group: the first begins it, the others go on.
    const classes = await page.evaluate(() => [...document.querySelectorAll('.tabulator-row')].slice(0, 4).map((r) => r.className));
    assert.deepEqual(classes.map((c) => [c.includes('tendon-begins'), c.includes('tendon-goes-on')]),
        [[true, false], [false, true], [false, true], [false, false]]);
    // Any of its spans shows the whole tendon drawn as its sheet draws it, and
    // the stress where the jacks meet.
    await (await cell(page, 2, 'name')).click();
    await settled(page, () => document.querySelector('#figure svg')?.textContent.includes('KL5-C'));
    const drawn = await page.locator('#figure svg').textContent();
    assert.match(drawn, /分界点 926\.2/);
    // After anchoring: the line drawn dashed, each end's reach named as its column gives it.
    assert.equal(await page.locator('#figure svg polyline[stroke-width="0.3"][stroke-dasharray]').count(), 1);
    for (const column of ['lf_left', 'lf_right']) assert.ok(drawn.includes(`lf=${await text(page, 1, column)}`), column);
    // Its key points listed under it, x from the tendon's left end.
    assert.match(await page.locator('#figure table.points').innerText(), /KL5-C\s+右端\s+47940\s+1050/);
    // A longer middle span: the tendon's strand and the first row's figures follow.
    await paste(page, 2, 'lc', '12500');
    await settled(page, () => !document.body.innerText.includes('48430'));
    const longer = Number(await text(page, 1, 'tendon_length'));
    assert.equal(longer, Number(await text(page, 1, 'length')) + Number(await text(page, 2, 'length')) + Number(await text(page, 3, 'length')));
    // The last span marked apart: a tendon of two spans and one of one.
    await paste(page, 3, 'tendon', 'KL9');
    await settled(page, (before) => !document.querySelector('.tabulator-row:nth-child(1)').innerText.includes(String(before)), longer);
    assert.equal(Number(await text(page, 1, 'tendon_length')), longer - 18110);
    assert.equal(await text(page, 3, 'tendon_length'), '18110');
    assert.deepEqual(problems, []);
    await context.close();
});

test('the site record on a phone: readings kept as typed through a reload, and the verdicts', async () => {
    const context = await browser.newContext({ viewport: { width: 375, height: 812 }, isMobile: true, hasTouch: true });
    const { page, problems } = await open(context);
    assert.doesNotMatch(await page.locator('#message').textContent(), /拖/); // nothing is dragged on a touch screen
    await paste(page, 1, 'name', `${HEADER}\r\n${KL1}\r\n`);
    await settled(page, () => document.body.innerText.includes('18110'));
    // The drawing's labels at least 11 px high, as drawn on this screen.
    await settled(page, () => {
        const label = document.querySelector('svg.drawing text');
        return label && label.getScreenCTM().a * parseFloat(getComputedStyle(label).fontSize) >= 11;
    });
    // 更多 closes with Escape wherever the focus is.
    await page.getByRole('button', { name: '更多' }).click();
    await page.keyboard.press('Escape');
    assert.equal(await page.getByRole('button', { name: '更多' }).getAttribute('aria-expanded'), 'false');
    await page.getByRole('button', { name: '现场记录' }).click();
    await page.locator('#site-jack-record').waitFor(); // the jacks as the core answers
    const jacks = page.getByLabel('钢绞线与张拉端');
    assert.deepEqual(await jacks.locator('option').allTextContents(), ['KL1-1 左端', 'KL1-1 右端']);
    const reading = (label) => page.getByLabel(label, { exact: false });
    const type = async (values) => {
        for (const [label, value] of values) await reading(label).fill(value);
    };
    assert.equal(await reading('第一行程末').isVisible(), false); // 49.8 mm needs one stroke of the ram

    // The left jack as calculated (49.8 mm), the draw-in within a: the
    // tendon, judged on both its ends, waits for the right.
    await type([['L0', '20'], ['L1', '25'], ['L2', '64.8'], ['实测锚具回缩', '5']]);
    await shows(page, '#site-measured', '49.8 mm');
    await shows(page, '#site-verdict', '待右端读数');
    await shows(page, '#site-draw-in', '合格');
    // Midway through the right jack the tab is reloaded: nothing typed is lost.
    await jacks.selectOption({ label: 'KL1-1 右端' });
    await type([['L0', '10'], ['L1', '16']]);
    await page.reload();
    await page.waitForSelector('body[data-ready]');
    // The record opens again at the jack it was at.
    await page.waitForSelector('#site:not([hidden])');
    assert.equal(await jacks.inputValue(), await jacks.locator('option', { hasText: 'KL1-1 右端' }).getAttribute('value'));
    assert.equal(await reading('L1').inputValue(), '16');
    assert.match(await page.locator('.reading', { hasText: 'L1' }).locator('small').textContent(), /^记于 \d\d:\d\d:\d\d$/);
    // 66.0 mm against 70.3 is −6.1 % at this end, for information; the
    // tendon's 49.8 + 66.0 = 115.8 against 120.2 is −3.7 %, within ±6 %;
    // 62.0 at this end takes it to −7.0 %.
    await type([['L2', '70.0']]);
    await shows(page, '#site-deviation', '-6.1%');
    await shows(page, '#site-total-measured', '115.8 mm');
    await shows(page, '#site-total-deviation', '-3.7%');
    await shows(page, '#site-verdict', '合格');
    await type([['L2', '66.0']]);
    await shows(page, '#site-total-deviation', '-7.0%');
    await shows(page, '#site-verdict', '超出');
    await type([['L2', '70.1']]);
    await shows(page, '#site-verdict', '合格');
    // A reading that is no number, or goes back, is marked and not used.
    await type([['L1', '1O']]);
    await settled(page, () => /不是数/.test(document.querySelector('.reading.bad')?.textContent));
    await shows(page, '#site-verdict', '待读数');
    await type([['L1', '9']]);
    await settled(page, () => /小于前一读数/.test(document.querySelector('.reading.bad')?.textContent));
    await jacks.selectOption({ label: 'KL1-1 左端' });
    assert.equal(await reading('L2').inputValue(), '64.8');
    await page.screenshot({ path: join(work, 'site-phone.png'), fullPage: true });

    // Exported as the workbook's record, the readings in their cells; a
    // spreadsheet types the right jack's L2 over and saves it.
    const exported = page.waitForEvent('download');
    await page.getByRole('button', { name: '导出张拉记录' }).click();
    const record = join(work, 'site.xlsx');
    await (await exported).saveAs(record);
    const edited = join(work, 'site-edited.xlsx');
    const spreadsheet = spawnSync('/usr/bin/python3', ['-c', `
import sys, openpyxl
book = openpyxl.load_workbook(sys.argv[1])
sheet = book['张拉记录']
rows = {(r[0].value, r[1].value): r for r in sheet.iter_rows() if r[1].value in ('左端', '右端')}
left, right = rows[('KL1-1', '左端')], rows[('KL1-1', '右端')]
assert [left[c].value for c in (13, 14, 17, 28)] == [20, 25, 64.8, 5], [c.value for c in left]
assert left[30].value.startswith('L0 ') and 'L2 ' in left[30].value, left[30].value
assert right[14].value is None and right[13].value == 10, 'the right L1 went back: not in the record'
right[14].value, right[17].value = 16, 70.3
book.save(sys.argv[2])`, record, edited]);
    assert.equal(spreadsheet.status, 0, spreadsheet.stderr.toString());
    // Imported on another phone: every reading back, the right jack's as typed over.
    const other = await browser.newContext({ viewport: { width: 375, height: 812 }, isMobile: true, hasTouch: true });
    const { page: second, problems: secondProblems } = await open(other);
    await paste(second, 1, 'name', `${HEADER}\r\n${KL1}\r\n`);
    await settled(second, () => document.body.innerText.includes('18110'));
    await second.getByRole('button', { name: '现场记录' }).click();
    const importing = async (path) => {
        const before = await second.locator('#message').textContent();
        const chooser = second.waitForEvent('filechooser');
        await second.getByRole('button', { name: '导入张拉记录' }).click();
        await (await chooser).setFiles(path);
        await settled(second, (was) => document.querySelector('#message').textContent !== was, before);
        return second.locator('#message').textContent();
    };
    assert.match(await importing(edited), /导入 2 个张拉端/);
    assert.equal(await second.getByLabel('L2', { exact: false }).inputValue(), '64.8');
    assert.equal(await second.locator('#site-verdict').textContent(), '合格');
    await second.getByLabel('钢绞线与张拉端').selectOption({ label: 'KL1-1 右端' });
    assert.equal(await second.getByLabel('L2', { exact: false }).inputValue(), '70.3');
    assert.match(await second.locator('.reading', { hasText: 'L0' }).locator('small').textContent(), /^记于/);
    // A record of another schedule is refused, naming what differs, and changes nothing.
    await second.getByRole('button', { name: '现场记录' }).click();
    await paste(second, 1, 'lc', '18000');
    await settled(second, () => !document.body.innerText.includes('18110'));
    await second.getByRole('button', { name: '现场记录' }).click();
    assert.match(await importing(record), /无法导入.*计算伸长值为 49\.8 mm/);
    assert.match(await importing(join(root, 'docs/schedule/example.csv')), /无法导入.*不是 XLSX 工作簿/);
    // A cell holding a damaged character reference refuses the record, naming the cell.
    for (const reference of ['&#zz;', '&#99999999999;']) {
        const damaged = join(work, 'site-damaged.xlsx');
        const made = spawnSync('/usr/bin/python3', ['-c', `
import re, sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as source, zipfile.ZipFile(sys.argv[2], 'w') as out:
    for item in source.infolist():
        data = source.read(item)
        if b'L0' in data and item.filename.startswith('xl/worksheets/'):
            data = re.sub(rb'<c r="N(\\d+)"([^>]*?)(?: t="\\w+")?><v>20</v></c>', lambda m: b'<c r="N' + m[1] + b'"' + m[2] + b' t="inlineStr"><is><t>' + sys.argv[3].encode() + b'</t></is></c>', data, count=1)
        out.writestr(item, data)`, record, damaged, reference]);
        assert.equal(made.status, 0, made.stderr.toString());
        assert.match(await importing(damaged), /无法导入.*N\d+/);
    }
    assert.equal(await second.getByLabel('L2', { exact: false }).inputValue(), '70.3');
    assert.deepEqual(secondProblems, []);
    await other.close();
    assert.deepEqual(problems, []);
    await context.close();
});

test('storage that is full is said before anything is lost', async () => {
    const context = await browser.newContext();
    await context.addInitScript(() => {
        Storage.prototype.setItem = () => {
            throw new DOMException('full', 'QuotaExceededError');
        };
    });
    const { page, problems } = await open(context);
    await paste(page, 1, 'name', `${HEADER}\r\n${KL1}\r\n`);
    await settled(page, () => document.body.innerText.includes('18110'));
    await page.waitForSelector('#warning:not([hidden])');
    assert.match(await page.locator('#warning').textContent(), /存储已满/);
    // A site reading that cannot be kept says so at once, and stays on screen.
    await page.getByRole('button', { name: '现场记录' }).click();
    await page.getByLabel('L0', { exact: false }).fill('20');
    assert.match(await page.locator('#warning').textContent(), /刚输入的读数未能保存/);
    assert.equal(await page.getByLabel('L0', { exact: false }).inputValue(), '20');
    assert.deepEqual(problems, []);
    await context.close();
});

test('an option refused as the program refuses it, storage that fails, and the keyboard', async () => {
    const context = await browser.newContext({ permissions: ['clipboard-read', 'clipboard-write'] });
    await context.addInitScript(() => {
        Object.defineProperty(window, 'localStorage', { get: () => { throw new Error('denied'); } });
    });
    const { page, problems } = await open(context);
    await page.waitForSelector('#warning:not([hidden])');
    await paste(page, 1, 'name', `${HEADER}\r\n${KL1}\r\n`);
    await settled(page, () => document.body.innerText.includes('18110'));
    // Each option explained in Chinese first, then the program's own help.
    assert.ok(await page.$$eval('#options input, #options select', (boxes) => boxes.every((box) => /^[\u4e00-\u9fff].*\n.*\(--[a-z-]+\)$/s.test(box.title))));
    await page.getByLabel('张拉端 (left/right/both)').fill('3');
    await settled(page, () => document.body.innerText.includes('不是 left、right 或 both'));
    // Refused, it is said, the figures of the options that stood kept, and none go out.
    assert.equal(await text(page, 1, 'length'), '18110');
    assert.notEqual(await text(page, 1, 'elong_right'), '');
    assert.match(await page.locator('#message').textContent(), /未采用/);
    assert.match(await page.locator('#counts').textContent(), /^1 束，1 行/);
    await page.getByRole('button', { name: '保存结果', exact: true }).click();
    await settled(page, () => /结果未保存/.test(document.getElementById('message').textContent));
    await page.getByLabel('张拉端 (left/right/both)').fill('1');
    await settled(page, () => document.body.innerText.includes('18110'));
    assert.equal(await text(page, 1, 'elong_right'), '');
    assert.doesNotMatch(await page.locator('#message').textContent(), /张拉参数有误/); // no longer so
    // The draw-in and the initial stage, refused beside their boxes as the program refuses them.
    for (const [box, value, said] of [['锚具回缩 a (mm)', '60', '须在 0 至 50 之间 (must be 0 to 50)'], ['初应力 (%σcon)', '12', '不是 10、15 或 20']]) {
        await page.getByLabel(box).fill(value);
        await settled(page, (words) => document.body.innerText.includes(words), said);
        assert.equal(await text(page, 1, 'length'), '18110');
        await page.getByLabel(box).fill('');
    }
    await page.getByLabel('锚具回缩 a (mm)').fill('5');
    await settled(page, () => document.body.innerText.includes('18110'));
    assert.equal(await text(page, 1, 'set', true), '5');
    // A paste over a typed row says it replaced it; undone, that no longer holds.
    await paste(page, 1, 'name', `${KL1}\r\n`);
    await settled(page, () => document.getElementById('message').textContent.includes('替换了 1 行'));
    await page.getByRole('button', { name: '撤销', exact: true }).click();
    await settled(page, () => !document.getElementById('message').textContent.includes('替换'));
    // Anything uncaught is said in Chinese, and nothing typed is lost.
    await page.evaluate(() => {
        setTimeout(() => {
            throw new Error('试验用的错误');
        });
        Promise.reject(new Error('试验用的拒绝'));
    });
    await settled(page, () => /^本页出错：试验用的/.test(document.getElementById('message').textContent));
    assert.equal(await text(page, 1, 'name'), 'KL1-1');
    assert.ok(problems.splice(0).every((problem) => problem.includes('试验用的')));

    // The keyboard of a spreadsheet: type, Tab to the next cell, Enter;
    // copy a range; undo.
    await page.getByRole('button', { name: '添加行', exact: true }).click();
    await (await cell(page, 2, 'name')).click();
    await page.keyboard.type('KX');
    await page.keyboard.press('Tab');
    await page.keyboard.type('C2a');
    await page.keyboard.press('Enter');
    await settled(page, () => document.body.innerText.includes('e1 列'));
    assert.equal(await text(page, 2, 'profile'), 'C2a');
    await (await cell(page, 2, 'name')).click();
    await page.keyboard.press('Shift+ArrowRight');
    await page.keyboard.press('Control+c');
    assert.equal(await page.evaluate(() => navigator.clipboard.readText()), 'KX\tC2a');
    await page.keyboard.press('Control+z');
    await settled(page, () => document.body.innerText.includes('不是线型'));
    assert.equal(await text(page, 2, 'profile'), '');
    assert.equal(await text(page, 2, 'name'), 'KX');

    // A new schedule asks before it discards this one.
    page.answer = 'dismiss';
    await page.getByRole('button', { name: '新建', exact: true }).click();
    assert.match(page.asked, /放弃/);
    assert.equal(await text(page, 1, 'name'), 'KL1-1');
    page.answer = 'accept';
    await page.getByRole('button', { name: '新建', exact: true }).click();
    await settled(page, () => !document.body.innerText.includes('KL1-1'));
    assert.deepEqual(problems, []);
    await context.close();
});

test('the calculator window: a prompt cancelled with Escape, its answers added to the schedule, its view kept over a reload', async () => {
    const context = await browser.newContext();
    const { page, problems } = await open(context);
    await page.getByRole('button', { name: '单束计算' }).click();
    await page.locator('#Form1').waitFor();
    // C2a with e2 cancelled: it reads 0, and the entry goes on.
    await page.click('#Option1');
    for (const answer of ['100', null, '20000', '1000', '0']) {
        await page.locator('#calculator-prompt[open]').waitFor();
        if (answer !== null) await page.getByRole('textbox', { name: '请输入' }).fill(answer);
        await page.keyboard.press(answer === null ? 'Escape' : 'Enter');
    }
    await settled(page, () => document.getElementById('Text15').value === ' 请点击：计算抛物线方程 ');
    assert.equal(await page.locator('#Text2').inputValue(), '0');
    // Typed over, as in the window: the schedule's row takes the boxes as they stand.
    await page.locator('#Text2').fill('100');
    await page.getByRole('button', { name: '加入钢绞线表' }).click();
    await page.locator('#calculator-prompt[open]').waitFor();
    await page.keyboard.type('KLW-1');
    await page.keyboard.press('Enter');
    await settled(page, () => document.querySelector('#message').textContent.startsWith('已将 KLW-1 加入钢绞线表'));
    await settled(page, () => document.body.innerText.includes('20022'));
    assert.equal(await text(page, 1, 'name'), 'KLW-1');
    assert.equal(await text(page, 1, 'profile'), 'C2a');
    // The view shown last opens again.
    await page.getByRole('button', { name: '单束计算' }).click();
    await page.reload();
    await page.locator('#Form1').waitFor();
    assert.equal(await page.locator('#calculator').isVisible(), true);
    assert.deepEqual(problems, []);
    await context.close();
});
