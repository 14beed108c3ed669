// The page's core, built as WebAssembly, against quillmere-schedule: the
// golden table and the example schedules give the program's results file
// byte for byte, and the same generated number texts and tendons print the
// same lines as the native build. Run by CTest with node's test runner.

import assert from 'node:assert/strict';
import { execFileSync, spawnSync } from 'node:child_process';
import { mkdtempSync, readFileSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import test from 'node:test';
import { loadCore } from '../../page/src/core.js';

const env = process.env;
const root = new URL('../../', import.meta.url).pathname;
const work = mkdtempSync(join(tmpdir(), 'quillmere-core-'));
const core = await loadCore(createRequire(import.meta.url)(env.QUILLMERE_CORE_JS));

const ASKED = { C2a: ['e1', 'e2', 'lc', 'lg1', 'lg2'], C4: ['e1', 'e2', 'e3', 'k1', 'k2', 'k3', 'lc', 'lg1'] };
// A schedule's columns as the core reads them: how a golden row is stressed
// goes into its own columns where there are any, else into the options.
const COLUMNS = core.columns.input.map((column) => column.title);

// The program's results for a schedule file and options, as bytes.
function program(path, options = []) {
    const done = spawnSync(env.QUILLMERE_SCHEDULE, [...options, path]);
    assert.ok(done.status === 0 || done.status === 1, done.stderr.toString());
    return done.stdout;
}

// The core's results for the same file, read by the core's own reader.
function page(path, options = {}) {
    const read = core.read(new Uint8Array(readFileSync(path)));
    assert.equal(read.error, undefined);
    assert.equal(core.takeOptions(options), null);
    core.evaluate(read.records);
    return Buffer.from(core.resultsCsv());
}

function csvLine(fields) {
    return fields.map((f) => (/[",\n]/.test(f) ? `"${f.replaceAll('"', '""')}"` : f)).join(',');
}

function goldenRows() {
    const [head, ...lines] = readFileSync(env.QUILLMERE_TENDONS, 'utf8').trim().split('\n');
    const names = head.split(',');
    return lines
        .map((line) => Object.fromEntries(line.split(',').map((v, n) => [names[n], v])))
        .filter((r) => !r.typed_entry && !r.typed_equations && !r.answers.split(';').includes('') && r.limits !== 'window');
}

const jacking = (row) => Object.fromEntries(row.stressing.split(';').filter(Boolean).map((kv) => kv.split('=')));

test('the golden table, continuous tendons among it, gives the program results file, byte for byte', () => {
    const rows = goldenRows();
    const plain = rows.filter((r) => Object.keys(jacking(r)).every((k) => COLUMNS.includes(k)));
    const first = new Map(); // a tendon's count is one for all its spans
    plain.forEach((r, n) => first.has(r.tendon || n) || first.set(r.tendon || n, n));
    const schedule = plain.map((r, n) => {
        const count = String((first.get(r.tendon || n) % 3) + 1);
        const fields = { name: `梁${r.name}`, profile: r.profile, count, tendon: r.tendon, ...jacking(r) };
        r.answers.split(';').forEach((answer, i) => (fields[ASKED[r.profile][i]] = answer));
        return COLUMNS.map((c) => fields[c] ?? '');
    });
    const path = join(work, 'golden.csv');
    writeFileSync(path, [COLUMNS, ...schedule].map(csvLine).join('\n'));
    const expected = program(path);
    assert.equal(page(path).toString(), expected.toString());
    // And the golden table's own figures, where both could go wrong together.
    const results = expected.toString().slice(1).split('\r\n').slice(1);
    const length = core.columns.output.findIndex((c) => c.title === 'length');
    plain.forEach((r, n) => {
        const cells = results[n].split(',');
        assert.equal(cells[length], r.Text14, r.name);
    });

    // Rows stressed by options of their own: the options panel's way.
    for (const r of rows.filter((row) => !plain.includes(row))) {
        const options = Object.fromEntries(Object.entries(jacking(r)).filter(([k]) => !COLUMNS.includes(k)));
        const fields = { name: r.name, profile: r.profile };
        r.answers.split(';').forEach((answer, i) => (fields[ASKED[r.profile][i]] = answer));
        Object.entries(jacking(r)).filter(([k]) => COLUMNS.includes(k)).forEach(([k, v]) => (fields[k] = v));
        const one = join(work, 'options.csv');
        writeFileSync(one, [COLUMNS, COLUMNS.map((c) => fields[c] ?? '')].map(csvLine).join('\n'));
        const flags = Object.entries(options).map(([k, v]) => `--${k === 'sigma_con' ? 'sigma-con' : k}=${v}`);
        assert.equal(page(one, options).toString(), program(one, flags).toString(), r.name);
    }
});

test('the example schedules, UTF-8 and GB18030, continuous tendons among them, give the program results', () => {
    for (const name of ['example.csv', 'example-gb18030.txt', 'example-stressed.csv', 'example-continuous.csv']) {
        const path = join(root, 'docs/schedule', name);
        assert.equal(page(path).toString(), program(path).toString(), name);
    }
});

test('the number-text rules hold to their table in both builds', () => {
    for (const command of [[env.QUILLMERE_SWEEP], [process.execPath, env.QUILLMERE_SWEEP_JS]]) {
        const done = spawnSync(command[0], [...command.slice(1), 'rules']);
        assert.equal(done.status, 0, `${command.at(-1)}:\n${done.stdout}${done.stderr}`);
    }
});

test('the same generated number texts and tendons print the same lines', () => {
    for (const [kind, count] of [['numbers', 300000], ['tendons', 100000]]) {
        const native = execFileSync(env.QUILLMERE_SWEEP, [kind, String(count)], { maxBuffer: 1 << 26 }).toString().split('\n');
        const wasm = execFileSync(process.execPath, [env.QUILLMERE_SWEEP_JS, kind, String(count)], { maxBuffer: 1 << 26 })
            .toString()
            .split('\n');
        const first = native.findIndex((line, n) => line !== wasm[n]);
        if (first >= 0) {
            const show = (command, args) => execFileSync(command, args).toString();
            assert.equal(
                show(process.execPath, [env.QUILLMERE_SWEEP_JS, kind, '1', String(first)]),
                show(env.QUILLMERE_SWEEP, [kind, '1', String(first)]),
                `${kind} ${first}`,
            );
        }
        assert.equal(wasm.length, count + 1);
    }
});

test('reading: a file that cannot be read names its line; pasted rows with or without a header', () => {
    const broken = core.read('name,profile,e1,e2,lc,lg1\nA,C4,1,2,3,4\n"B,C4,1,2,3,4\n');
    assert.equal(broken.error.line, 3);
    assert.match(broken.error.message, /引号/);
    assert.equal(core.read('name,profile\nA,C4\n').error.line, 1); // a whole schedule needs its six columns

    const bare = core.read('100\t0.1\t0.5\r\n120\t0.12\t0.45\r\n', true, 4);
    assert.deepEqual(bare.columns, [4, 5, 6]);
    assert.deepEqual(bare.lines, [1, 2]);
    assert.deepEqual(bare.records[1].slice(4, 7), ['120', '0.12', '0.45']);
    // A quoted tab in a field of the first row is one field, as the reader splits it.
    const quoted = core.read('"KL 1\tA"\tC4\r\n', true, 0);
    assert.deepEqual(quoted.columns, [0, 1]);
    assert.deepEqual(quoted.records[0].slice(0, 2), ['KL 1\tA', 'C4']);
    const named = core.read('线型\t编号\r\nC4\tKL1\r\n', true, 7);
    assert.deepEqual(named.columns, [1, 0]);
    assert.deepEqual(named.records[0].slice(0, 2), ['KL1', 'C4']);
});

test('options refused as the program refuses them; a row worked out again keeps the others', () => {
    const row = ['A', 'C4', '100', '100', '100', '0.1', '0.5', '0.1', '20000', '1000', '', '', '', '', '', '', '', '', ''];
    assert.equal(core.takeOptions({ ends: '3' }).key, 'ends');
    assert.equal(core.takeOptions({ fptk: '1200', sigma_con: '1395' }).key, 'sigma_con'); // over 0.80 fptk
    assert.equal(core.takeOptions({ ends: '1' }), null);
    const column = (title) => core.columns.output.findIndex((c) => c.title === title);
    const rows = new Map(core.evaluate([row, Array(19).fill(' '), ['B', 'C5', ...row.slice(2)]]));
    assert.equal(rows.get(0).cells[column('elong_right')], '');
    assert.equal(rows.get(1), null); // a row with nothing in it is no tendon
    assert.equal(rows.get(2).fault, 1);
    assert.deepEqual([rows.get(0).ok, rows.get(2).ok], [true, false]); // read off the text, cells unsplit
    const mended = core.evaluate([row], 2, 3); // the third row mended, the others kept
    assert.deepEqual(mended.map(([at]) => at), [2]);
    assert.equal(mended[0][1].cells[column('status')], 'ok');
    assert.deepEqual(core.evaluate([row], 2, 3), []); // nothing changed
    assert.equal(core.takeOptions({}), null); // new options: every row again, and handed over
    assert.deepEqual(core.evaluate([row, Array(19).fill(''), row]).map(([at]) => at), [0, 1, 2]);
    const csv = Buffer.from(core.resultsCsv()).toString().split('\r\n');
    assert.equal(csv.length, 4); // header, A, B now ok, and the end
    assert.equal(csv[1].split(',')[column('ends')], 'both');
});
