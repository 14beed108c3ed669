// The program's own core, compiled to WebAssembly and loaded from inside the
// page. Everything the page shows of a tendon comes through here: the page
// only moves texts between the grid and these functions.

const RECORD = '\x1e';
const FIELD = '\x1f';

// The separators can never be typed; any that arrive by paste are dropped.
const clean = (text) => String(text ?? '').replace(/[\x1e\x1f]/g, '');

export async function loadCore(create = globalThis.createQuillmereCore) {
    const core = await create();
    const columns = JSON.parse(core.columns());
    const options = JSON.parse(core.options());
    return {
        columns,
        options,
        version: core.version(),
        // rows: arrays of input fields; options: {key: text}. `more` adds to
        // the rows worked out before, for a long schedule taken in slices.
        evaluate(rows, optionTexts, more = false) {
            const records = rows.map((row) => row.map(clean).join(FIELD)).join(RECORD);
            const given = Object.entries(optionTexts)
                .map(([key, text]) => clean(key) + FIELD + clean(text))
                .join(RECORD);
            return JSON.parse(core.evaluate(records, given, more));
        },
        // bytes: a Uint8Array (a file in any encoding the program reads) or
        // a string (the clipboard's text).
        read(bytes, part = false, firstColumn = 0) {
            return JSON.parse(core.read(bytes, part, firstColumn));
        },
        resultsCsv: () => core.resultsCsv(),
        resultsTsv: () => core.resultsTsv(),
        drawing: (row) => JSON.parse(core.drawing(row)),
    };
}
