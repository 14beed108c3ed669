// The calculator window in the page, in the three engines a site meets
// (Chromium, Firefox ESR, WebKitGTK), served and opened from disk: the
// golden table walked through its controls and dialogs as the Qt window's
// tests walk it, every box and the status line as the table has them; on a
// desktop's screen (1366 x 768) and a phone's (375 x 812) every control
// within the screen's width, a prompt answered with the keyboard, a diagram
// drawn. Screenshots are left beside the test's files. An engine that is not
// installed is skipped, saying why; the others run.

import assert from 'node:assert/strict';
import { mkdtempSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { createRequire } from 'node:module';
import { after, before, test } from 'node:test';

import { loadCore } from '../../page/src/core.js';

import { launch, missing } from './engines.mjs';
import { expected, goldenRows, road } from './road.mjs';
import { serve } from './serve.mjs';

const env = process.env;
const work = env.QUILLMERE_SCREENSHOTS ?? mkdtempSync(join(tmpdir(), 'quillmere-calculator-'));
const rows = goldenRows(env.QUILLMERE_TENDONS);
// The status line's words, as the window's design has them.
const design = (await loadCore(createRequire(import.meta.url)(env.QUILLMERE_CORE_JS))).windowDesign();
const ROWS_AT_ONCE = 20; // roads walked in one script: a driver gives a script 30 s

let site;
before(async () => {
    site = await serve(env.QUILLMERE_SITE);
});
after(() => site?.close());

// Walks roads through the window's own controls in the page: each from the
// window's start state, an option clicked, every prompt answered with 确定,
// a failure's report closed; what each ended in.
const walk = async (roads) => {
    const $ = (id) => document.getElementById(id);
    // Until done() holds: looked at again as the window marks itself busy or
    // idle and as a dialog opens or closes.
    const settle = (done) =>
        new Promise((resolve, reject) => {
            if (done()) return resolve();
            const watch = new MutationObserver(() => {
                if (!done()) return;
                watch.disconnect();
                clearTimeout(late);
                resolve();
            });
            const late = setTimeout(() => {
                watch.disconnect();
                reject(new Error('the window did not answer'));
            }, 10_000);
            watch.observe(document.body, { attributes: true, subtree: true, attributeFilter: ['data-busy', 'open'] });
        });
    const busy = () => $('calculator-window').dataset.busy;
    const start = $('Text15').value;
    // Until the handler ends: the kind its failure report names, or "".
    const ended = async (answers) => {
        let failure = '';
        for (;;) {
            await settle(() => !busy() || $('calculator-prompt').open || $('calculator-failure').open);
            if ($('calculator-prompt').open) {
                $('calculator-answer').value = answers.shift() ?? '';
                $('calculator-prompt').querySelector('button[value="ok"]').click();
            } else if ($('calculator-failure').open) {
                failure = /\((overflow|division by zero|invalid operation|invalid argument)\)/.exec($('calculator-report').textContent)?.[1] ?? '?';
                $('calculator-failure-ok').click();
            } else {
                return failure;
            }
        }
    };
    const out = [];
    for (const steps of roads) {
        for (const option of ['Option1', 'Option2']) $(option).checked = false;
        for (let n = 1; n <= 14; n++) $(`Text${n}`).value = '';
        $('Text15').value = start;
        let failedAt = '', failure = '';
        for (const [name, typed, action] of steps) {
            for (const [box, text] of typed) $(`Text${box}`).value = text;
            $(action.select ? `Option${action.select}` : `Command${action.click}`).click();
            failure = await ended(action.answers ? [...action.answers] : []);
            if (failure) {
                failedAt = name;
                break;
            }
        }
        out.push({ failedAt, failure, texts: Array.from({ length: 15 }, (_, n) => $(`Text${n + 1}`).value) });
    }
    return out;
};

// Every control of the window within the screen's width.
const outside = () =>
    [...document.querySelectorAll('#Form1 > *')]
        .filter((element) => !element.hidden)
        .filter((element) => {
            const box = element.getBoundingClientRect();
            return box.left < -0.5 || box.right > document.documentElement.clientWidth + 0.5;
        })
        .map((element) => element.id || element.querySelector('[id]')?.id);

for (const engine of ['chromium', 'firefox', 'webkit']) {
    const why = missing(engine);
    test(`the calculator window in ${engine}, served and opened from disk`, { skip: why ?? false }, async () => {
        const browser = await launch(engine, env.QUILLMERE_PAGE_MODULES);
        try {
            for (const [where, url, viewport] of [
                ['served', `${site.url}?view=window`, { width: 1366, height: 768 }],
                ['disk', `file://${env.QUILLMERE_PAGE_HTML}?view=window`, { width: 375, height: 812 }],
            ]) {
                const page = await browser.open(url, viewport);
                await page.until(() => Boolean(document.getElementById('Form1') && document.body.dataset.ready));
                const start = await page.evaluate(() => document.getElementById('Text15').value);
                assert.deepEqual(await page.evaluate(outside), [], `${engine} ${where}: controls outside the screen`);

                // A prompt answered with the keyboard: typed, then Return.
                await page.click('#Option2');
                for (const answer of ['100', '100', '100', '0.1', '0.5', '0.1', '20000', '1000']) {
                    await page.until(() => document.getElementById('calculator-prompt').open && document.activeElement?.id === 'calculator-answer');
                    await page.type(answer);
                    await page.press('Enter');
                }
                await page.until(() => !document.getElementById('calculator-window').dataset.busy);
                await page.click('#Command1');
                await page.until(() => !document.getElementById('calculator-window').dataset.busy && document.getElementById('Text10').value);
                await page.click('#Command2');
                await page.click('#Command4');
                await page.until(() => Boolean(document.getElementById('Text14').value && document.querySelector('#Picture1 svg')));
                assert.equal(await page.evaluate(() => document.getElementById('Text14').value), '20086', `${engine} ${where}`);
                await page.screenshot(join(work, `calculator-${engine}-${where}.png`));

                // The golden table, a part at a time.
                for (let from = 0; from < rows.length; from += ROWS_AT_ONCE) {
                    const part = rows.slice(from, from + ROWS_AT_ONCE);
                    const walked = await page.evaluate(walk, part.map(road));
                    part.forEach((t, n) => {
                        const { boxes, status: wanted, ...ended } = expected(t, design.status);
                        const got = walked[n];
                        assert.deepEqual({ name: t[0], failedAt: got.failedAt, failure: got.failure }, ended, `${engine} ${where}`);
                        assert.deepEqual(got.texts.slice(0, 14), boxes, `${engine} ${where}: ${t[0]}`);
                        assert.equal(got.texts[14], wanted, `${engine} ${where}: ${t[0]}`);
                    });
                }
                assert.equal(start, design.status.chooseProfile, `${engine} ${where}: the start state`);
            }
        } finally {
            await browser.close();
        }
    });
}
