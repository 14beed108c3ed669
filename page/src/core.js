// The program's own core, compiled to WebAssembly, as its thread (worker.js)
// calls it. Everything the page shows of a tendon comes through here, in
// plain values; the texts the WebAssembly takes and gives in bulk (a
// schedule's rows, split by separators no one can type: far cheaper to hand
// across than a value for each field) go no further than this file.

import { qrModules } from './code.js';

const RECORD = '\x1e';
const FIELD = '\x1f';
const GROUP = '\x1d';

// The separators can never be typed; any that arrive by paste are dropped.
const clean = (text) => String(text ?? '').replace(/[\x1d\x1e\x1f]/g, '');

// A row as the core worked it out: the input column at fault (-1 for
// none), the spans of the tendon it begins (0 where it goes on with one),
// whether it was worked out (its status "ok") and the result cells; null
// for a row with nothing in it.
function workedRow(text, status) {
    if (!text) return null;
    const [fault, spans, ...cells] = text.split(FIELD);
    return { fault: Number(fault), spans: Number(spans), ok: cells[status] === 'ok', cells };
}

export async function loadCore(create = globalThis.createQuillmereCore) {
    const core = await create();
    core.qrModules = qrModules; // the sheets' codes, drawn by the page's encoder
    const columns = core.columns();
    const options = core.options();
    const status = columns.output.findIndex((column) => column.title === 'status');
    return {
        columns,
        options,
        version: core.version(),
        // options: {key: text}; the first refused as {key, message}, or null.
        takeOptions: (texts) => core.takeOptions(texts),
        // rows (arrays of input fields, or {fields, unreadable} where a
        // workbook held no value for some: [[column, why]]) of a schedule of `total` rows, the
        // first of them its row `from`, worked out with the options last
        // taken; the other rows keep what they were worked out to. The rows
        // whose results changed (a tendon's spans change together), as
        // [index, row].
        evaluate(rows, from = 0, total = rows.length) {
            const records = rows
                .map((row) => [...(row.fields ?? row), ...(row.unreadable ?? []).map(([c, why]) => `${c}:${why}`)].map(clean).join(FIELD))
                .join(RECORD);
            const changed = core.evaluate(records, from, total);
            if (!changed) return [];
            return changed.split(RECORD).map((pair) => {
                const at = pair.indexOf(GROUP);
                return [Number(pair.slice(0, at)), workedRow(pair.slice(at + 1), status)];
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
        workbook: (step = columns.step, readings = []) => core.workbook(step, readings),
        // The same written a part at a time: more(rows) writes up to that
        // many more rows and says how many are written; end() gives the
        // bytes; cancel() keeps nothing.
        workbookInParts(readings = [], step = columns.step) {
            core.workbookBegin(step, readings);
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
        sheetPages: () => core.sheetPages(),
        // The same a part at a time: more(rows) gives the pages laid out for
        // up to that many more rows, end() the rest.
        sheetsInParts() {
            core.sheetsBegin();
            return { more: (rows) => core.sheetsMore(rows), end: () => core.sheetsEnd(), cancel: () => core.sheetsCancel() };
        },
        // The site record: every jack of the schedule last worked out, and
        // the readings typed at a tendon's left and right jack (texts, in the
        // core's order) checked, each end and the tendon as a whole.
        siteJacks: () => core.siteJacks(),
        siteCheck: (row, left, right) => core.siteCheck(row, left, right),
        // The link to the site record of the tendon a row belongs to, where
        // the page's address is given ("" else), and the tendon a link
        // carries: {rows, options: [[key, text]]} or {message}.
        siteLink: (row) => core.siteLink(row),
        siteCode: (row) => core.siteCode(row), // its code as the sheet draws it, SVG ("" for none)
        readSiteLink: (link) => core.readSiteLink(String(link)),
        // The calculator window: its design (its controls in twips, its
        // credits, the status line's words); one of its handlers
        // ("Option1_Click" .. "Command2_Click") run over the box texts
        // (Text1..Text15) and the options selected ([Option1, Option2]); and
        // the answer to the question a profile's entry put ("" for a cancel).
        // Each says {writes: [[box, text]] in order, question (null when
        // none), failure ({kind, report} or null)}.
        windowDesign: () => core.windowDesign(),
        windowClick: (handler, texts, selected) => core.windowClick(handler, texts, selected),
        windowAnswer: (typed) => core.windowAnswer(String(typed)),
        // An atlas diagram (101 C2a, 102 C4) for a picture area bw x bh
        // twips inside: {svg, left, top, width, height}, placed in twips.
        windowDiagram: (resource, bw, bh) => core.windowDiagram(resource, bw, bh),
        // The window's answers as a schedule row named `name`, fields in the
        // input columns' order; null where no profile is selected.
        windowRecord: (texts, selected, name) => core.windowRecord(texts, selected, String(name)),
    };
}
