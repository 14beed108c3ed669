// What the page's core hands the page for a schedule, every export and view
// of it, written to files so two builds of the core can be compared byte for
// byte (tools/same-outputs). Every call is awaited, so a core that answers
// from a worker is driven the same way.
//   node tools/page-outputs.mjs CORE_JS SCHEDULE OUT_FOLDER [KEY=TEXT...]

import { mkdirSync, readFileSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { join, resolve } from 'node:path';
import { loadCore } from '../page/src/core.js';

const [coreJs, schedule, out, ...given] = process.argv.slice(2);
const core = await loadCore(createRequire(import.meta.url)(resolve(coreJs)));
mkdirSync(out, { recursive: true });
const put = (name, value) =>
    writeFileSync(join(out, name), value instanceof Uint8Array ? value : typeof value === 'string' ? value : JSON.stringify(value, null, 1));
// A worked row as the grid shows it.
const shown = (row) => (row ? { fault: row.fault, spans: row.spans, ok: row.ok, cells: row.cells } : null);

// Options by the program's names (sigma-con=1302) or the page's keys; the
// program's own (step) the page does not take are left out.
const keyOf = (name) => core.options.find((o) => o.option === name || o.key === name)?.key;
const options = Object.fromEntries(
    given.map((pair) => [keyOf(pair.slice(0, pair.indexOf('='))), pair.slice(pair.indexOf('=') + 1)]).filter(([key]) => key),
);
put('columns.json', { columns: core.columns, options: core.options, version: core.version });
put('refused.json', (await core.takeOptions(options)) ?? 'none');
const read = await core.read(new Uint8Array(readFileSync(schedule)));
put('read.json', read);
const rows = read.records ?? [];
const results = new Array(rows.length).fill(null);
const take = async (changed) => {
    const list = [];
    for (const [at, row] of await changed) list.push([at, (results[at] = shown(row))]);
    return list;
};
put('evaluate.json', await take(core.evaluate(rows)));

// Edits as the grid makes them: a field changed, a row emptied, rows cut off
// and given back, the options changed and restored.
const edits = [];
if (rows.length > 1) {
    const changed = rows.map((fields) => [...fields]);
    changed[1][6] = String(Number(changed[1][6] || 0) + 1000);
    edits.push(await take(core.evaluate([changed[1]], 1, rows.length)));
    edits.push(await take(core.evaluate([changed[0].map(() => '')], 0, rows.length)));
    edits.push(await take(core.evaluate([], rows.length - 1, rows.length - 1)));
    edits.push(await take(core.evaluate(rows, 0, rows.length)));
    edits.push((await core.takeOptions({ ...options, ends: 'left' })) ?? 'none', await take(core.evaluate([], rows.length, rows.length)));
    edits.push((await core.takeOptions(options)) ?? 'none', await take(core.evaluate([], rows.length, rows.length)));
}
put('edits.json', edits);
put('shown.json', results);

put('results.csv', await core.resultsCsv());
put('results.tsv', await core.resultsTsv());
put('workbook.xlsx', await core.workbook(1000, []));
put('drawing.dxf', await core.dxf(false));
put('polylines.dxf', await core.dxf(true));
put('sheets.json', await core.sheetPages());
const jacks = await core.siteJacks();
put('jacks.json', jacks);
const readings = jacks.map((jack, n) => ({
    tendon: jack.tendon,
    end: jack.end,
    typed: ['10', '30', '', '', String(50 + Number(jack.elongation) * (1 + (n % 3) / 20)), '5'],
    at: ['2026-12-09 09:00', '', '', '', '', ''],
}));
put('workbook-read.xlsx', await core.workbook(500, readings));
const perRow = [];
for (let row = 0; row < rows.length; row++) {
    const typed = readings.filter((r) => jacks.some((j) => j.row === row && j.tendon === r.tendon));
    const at = (end) => typed.find((r) => r.end === end)?.typed ?? [];
    perRow.push({
        figures: await core.figures(row),
        keyPoints: await core.keyPoints(row),
        dxf: Array.from(await core.dxf(false, row)).length,
        siteLink: await core.siteLink(row),
        siteCode: await core.siteCode(row),
        siteCheck: await core.siteCheck(row, at(0), at(1)),
    });
}
put('rows.json', perRow);
const link = perRow.find((row) => row.siteLink)?.siteLink;
put('link.json', link ? await core.readSiteLink(link) : 'none');
put('record.json', await core.importRecord(await core.workbook(500, readings)));
