// The calculator window's road through the page's core, one answer at a
// time, against the golden table the Qt window is walked through: select the
// profile and answer its prompts, type over some boxes, compute the parabola
// equations, type over more, compute the strand length; the boxes, the
// failure and the status line as the table has them. Run by CTest with
// node's test runner.

import assert from 'node:assert/strict';
import { createRequire } from 'node:module';
import test from 'node:test';
import { loadCore } from '../../page/src/core.js';
import { KINDS, expected, goldenRows, road } from './road.mjs';

const env = process.env;
const core = await loadCore(createRequire(import.meta.url)(env.QUILLMERE_CORE_JS));
const design = core.windowDesign();

// The window as the page holds it: Text1..Text15, the two options.
class Window {
    constructor() {
        this.texts = Array(15).fill('');
        this.texts[14] = design.status.chooseProfile;
        this.selected = [false, false];
        this.asked = [];
    }
    take({ writes, question, failure }) {
        for (const [box, text] of writes) this.texts[box - 1] = text;
        return { question, failure };
    }
    // Each step: the failure's kind in the table's words, or "".
    select(profile, answers) {
        this.selected = [profile === 1, profile === 2];
        let { question, failure } = this.take(core.windowClick(`Option${profile}_Click`, this.texts, this.selected));
        for (const answer of answers) {
            if (!question) break;
            this.asked.push(question);
            ({ question, failure } = this.take(core.windowAnswer(answer)));
        }
        assert.equal(question, null, 'every question answered');
        return failure ? KINDS[failure.kind] : '';
    }
    click(command) {
        const { failure } = this.take(core.windowClick(`Command${command}_Click`, this.texts, this.selected));
        return failure ? KINDS[failure.kind] : '';
    }
}

test('the golden table walked through the window, as the Qt window walks it', () => {
    for (const t of goldenRows(env.QUILLMERE_TENDONS)) {
        const window = new Window();
        let failedAt = '', failure = '';
        for (const [name, typed, action] of road(t)) {
            for (const [box, text] of typed) window.texts[box - 1] = text;
            failure = action.select ? window.select(action.select, action.answers) : window.click(action.click);
            if (failure) {
                failedAt = name;
                break;
            }
        }
        const { boxes, status, ...ended } = expected(t, design.status);
        assert.deepEqual({ name: t[0], failedAt, failure }, ended);
        assert.deepEqual(window.texts.slice(0, 14), boxes, t[0]);
        assert.equal(window.texts[14], status, t[0]);
    }
});

test('an entry asks in the window\'s order, goes on after a cancel, and a failed answer asks no more', () => {
    const window = new Window();
    assert.equal(window.select(1, ['100', '', '20000', '1000.5', '32000']), '');
    assert.deepEqual(window.asked, [' 请输入e1 ', ' 请输入e2 ', ' 请输入梁长lc ', ' 请输入梁高lg1 ', ' 请输入梁高lg2 ']);
    assert.equal(window.texts[1], '0');
    // The heights' sum overflows after a1 is written; the report is the window's.
    const { failure } = window.take(core.windowClick('Command1_Click', window.texts, window.selected));
    assert.equal(KINDS[failure.kind], 'overflow');
    assert.match(failure.report, /溢出 \(overflow\)/);
    assert.equal(window.texts[9], '4E-06');
    // A click while a question stands drops the entry: its answer writes nothing.
    window.take(core.windowClick('Option2_Click', window.texts, [false, true]));
    window.take(core.windowClick('Command2_Click', window.texts, [false, true]));
    assert.deepEqual(core.windowAnswer('100').writes, []);
});

test('the window\'s answers as a schedule row: the profile, the parameters it uses, no placeholder', () => {
    const window = new Window();
    window.select(1, ['100', '90', '20000', '1000', '0']);
    window.texts[0] = ' 120\t'; // typed over, blanks around it
    const row = core.windowRecord(window.texts, window.selected, 'KLW');
    const at = (title) => row[core.columns.input.findIndex((column) => column.title === title)];
    assert.equal(row.length, core.columns.input.length);
    assert.deepEqual(['name', 'profile', 'e1', 'e2', 'e3', 'k1', 'k2', 'k3', 'lc', 'lg1', 'lg2'].map(at), ['KLW', 'C2a', '120', '90', '', '', '', '', '20000', '1000', '0']);
    assert.equal(core.windowRecord(window.texts, [false, false], 'KLW'), null);
});

test('the design is the window\'s: every control, named as the window names it, in twips', () => {
    const names = design.controls.map((c) => c.name);
    for (const name of ['Text1', 'Text15', 'Option1', 'Option2', 'Command1', 'Command4', 'Picture1', 'Label24']) assert.ok(names.includes(name), name);
    assert.deepEqual([design.width, design.height], [10320, 13080]);
    const status = design.controls.find((c) => c.name === 'Text15');
    assert.deepEqual([status.left, status.top, status.width, status.height, status.red, status.boldSong], [2760, 120, 4815, 375, true, true]);
    assert.equal(design.controls.find((c) => c.name === 'Command4').caption, 'C4线型图例  (图集P12)');
    assert.match(design.credits[2], /^版本 \d{4}\.\d{2}\.\d{4}$/);
});
