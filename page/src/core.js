// The program's own core, compiled to WebAssembly and loaded from inside the
// page. Everything the page shows of a tendon comes through here: the page
// only moves texts between the grid and these functions.

import { qrModules } from './code.js';

const RECORD = '\x1e';
const FIELD = '\x1f';
const GROUP = '\x1d';

// The separators can never be typed; any that arrive by paste are dropped.
const clean = (text) => String(text ?? '').replace(/[\x1d\x1e\x1f]/g, '');

// A row as the core worked it out: its text (to tell whether it changed),
// the input column at fault, the spans of the tendon it begins (0 where it
// goes on with one), whether it was worked out (its status "ok") and the
// result cells; null for a row with nothing in it. The cells are split from
// the text when first read: ten thousand rows are worked out for a few
// dozen in view, and fifty cells apiece kept for every row would leave the
// browser that much more to collect while a paste is worked out.
class WorkedRow {
    // statusFromEnd: the status cell's place counted from the last cell (1).
    constructor(text, statusFromEnd) {
        this.text = text;
        const afterFault = text.indexOf(FIELD);
        const afterSpans = text.indexOf(FIELD, afterFault + 1);
        this.fault = Number(text.slice(0, afterFault));
        this.spans = Number(text.slice(afterFault + 1, afterSpans));
        this.first = afterSpans + 1;
        let end = text.length;
        for (let n = 1; n < statusFromEnd; n++) end = text.lastIndexOf(FIELD, end - 1);
        this.ok = text.slice(text.lastIndexOf(FIELD, end - 1) + 1, end) === 'ok';
        this.split = null;
    }

    get cells() {
        return (this.split ??= this.text.slice(this.first).split(FIELD));
    }
}

// The site's readings as the core takes them.
const readingsText = (readings) => readings.map((r) => [r.tendon, r.end, ...r.typed, ...r.at].map(clean).join(FIELD)).join(RECORD);

export async function loadCore(create = globalThis.createQuillmereCore) {
    const core = await create();
    core.qrModules = qrModules; // the sheets' codes, drawn by the page's encoder
    const columns = core.columns();
    const options = core.options();
    const statusFromEnd = columns.output.length - columns.output.findIndex((column) => column.title === 'status');
    const row = (text) => (text ? new WorkedRow(text, statusFromEnd) : null);
    return {
        columns,
        options,
        version: core.version(),
        // options: {key: text}; the first refused as {key, message}, or null.
        takeOptions(texts) {
            const given = Object.entries(texts).map(([key, text]) => clean(key) + FIELD + clean(text));
            return core.takeOptions(given.join(RECORD));
        },
        // rows (arrays of input fields) of a schedule of `total` rows, the
        // first of them its row `from`, worked out with the options last
        // taken; the other rows keep what they were worked out to. The rows
        // whose results changed (a tendon's spans change together), as
        // [index, row].
        evaluate(rows, from = 0, total = rows.length) {
            const records = rows
                .map((fields) => [...fields, ...(fields.unreadable ?? []).map(([c, why]) => `${c}:${why}`)].map(clean).join(FIELD))
                .join(RECORD);
            const changed = core.evaluate(records, from, total);
            if (!changed) return [];
            return changed.split(RECORD).map((pair) => {
                const at = pair.indexOf(GROUP);
                return [Number(pair.slice(0, at)), row(pair.slice(at + 1))];
            });
        },
        // bytes: a Uint8Array (a workbook, or a file in any encoding the
        // program reads) or a string (the clipboard's text); sheet: a
        // workbook's worksheet to read, else the first with a schedule.
        // {columns, records, lines, unreadable: {record: [[column, why]]},
        // and for a workbook sheet and sheets} or {error}.
        read(bytes, part = false, firstColumn = 0, sheet = '') {
            return JSON.parse(core.read(bytes, part, firstColumn, sheet));
        },
        resultsCsv: () => core.resultsCsv(),
        resultsTsv: () => core.resultsTsv(),
        // The program's XLSX of the same results, setting-out stations
        // `step` mm apart (the program's default where not given).
        // readings: the site's, [{tendon, end, typed: [...], at: [...]}],
        // filled into its record.
        workbook: (step = columns.step, readings = []) => core.workbook(step, readingsText(readings)),
        // The same written a part at a time: more(rows) writes up to that
        // many more rows and says how many are written; end() gives the
        // bytes; cancel() keeps nothing.
        workbookInParts(readings = [], step = columns.step) {
            core.workbookBegin(step, readingsText(readings));
            return { more: (rows) => core.workbookMore(rows), end: () => core.workbookEnd(), cancel: () => core.workbookCancel() };
        },
        // The construction drawing (DXF) the program writes, of the
        // schedule last worked out or of the tendon a row belongs to.
        dxf: (polylines = false, row = -1) => core.dxf(polylines, row),
        // A workbook's site record read back for the schedule last worked
        // out: {readings} or {error}.
        importRecord: (bytes) => core.importRecord(bytes),
        // The sheet's figures of the tendon a row belongs to, as SVG ("" for
        // none), and its key points by span.
        figures: (at) => core.figures(at),
        keyPoints: (at) => core.keyPoints(at),
        // The calculation sheet of every row, a page of SVG to each A4 page.
        sheetPages: () => core.sheetPages().split(RECORD).filter(Boolean),
        // The same a part at a time: more(rows) gives the pages laid out for
        // up to that many more rows, end() the rest.
        sheetsInParts() {
            core.sheetsBegin();
            const pages = (text) => text.split(RECORD).filter(Boolean);
            return { more: (rows) => pages(core.sheetsMore(rows)), end: () => pages(core.sheetsEnd()), cancel: () => core.sheetsCancel() };
        },
        // The site record: every jack of the schedule last worked out, and
        // the readings typed at a tendon's left and right jack (texts, in the
        // core's order) checked, each end and the tendon as a whole.
        siteJacks: () => core.siteJacks(),
        siteCheck: (row, left, right) =>
            core.siteCheck(row, left.map(clean).join(FIELD), right.map(clean).join(FIELD)),
        // The link to the site record of the tendon a row belongs to, where
        // the page's address is given ("" else), and the tendon a link
        // carries: {rows, options: [[key, text]]} or {message}.
        siteLink: (row) => core.siteLink(row),
        siteCode: (row) => core.siteCode(row), // its code as the sheet draws it, SVG ("" for none)
        readSiteLink: (link) => core.readSiteLink(String(link)),
    };
}
