// The program's own core, compiled to WebAssembly and loaded from inside the
// page. Everything the page shows of a tendon comes through here: the page
// only moves texts between the grid and these functions.

const RECORD = '\x1e';
const FIELD = '\x1f';

// The separators can never be typed; any that arrive by paste are dropped.
const clean = (text) => String(text ?? '').replace(/[\x1e\x1f]/g, '');

// A row as the core worked it out: its text (to tell whether it changed),
// the input column at fault and the result cells; null for a row with
// nothing in it.
function row(text) {
    if (!text) return null;
    const [fault, ...cells] = text.split(FIELD);
    return { text, fault: Number(fault), cells };
}

export async function loadCore(create = globalThis.createQuillmereCore) {
    const core = await create();
    const columns = JSON.parse(core.columns());
    const options = JSON.parse(core.options());
    return {
        columns,
        options,
        version: core.version(),
        // options: {key: text}; the first refused as {key, message}, or null.
        takeOptions(texts) {
            const given = Object.entries(texts).map(([key, text]) => clean(key) + FIELD + clean(text));
            const refused = core.takeOptions(given.join(RECORD));
            return refused ? JSON.parse(refused) : null;
        },
        // rows (arrays of input fields) of a schedule of `total` rows, the
        // first of them its row `from`, worked out with the options last
        // taken; the other rows keep what they were worked out to.
        evaluate(rows, from = 0, total = rows.length) {
            if (!rows.length) {
                core.evaluate('', 0, total);
                return [];
            }
            const records = rows.map((fields) => fields.map(clean).join(FIELD)).join(RECORD);
            return core.evaluate(records, from, total).split(RECORD).map(row);
        },
        // bytes: a Uint8Array (a file in any encoding the program reads) or
        // a string (the clipboard's text).
        read(bytes, part = false, firstColumn = 0) {
            return JSON.parse(core.read(bytes, part, firstColumn));
        },
        resultsCsv: () => core.resultsCsv(),
        resultsTsv: () => core.resultsTsv(),
        drawing: (at) => JSON.parse(core.drawing(at)),
    };
}
