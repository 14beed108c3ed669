// The grid's rows and columns as the grid library reads them: a row's cells
// read through its columns' names from the schedule's fields and the core's
// results, a copied cell read from the row itself, a column's width from
// its texts.

// A row as the grid reads it: its fields and the core's results where they
// stand, read through its columns' names, never copied (ten thousand pasted
// rows copied to seventy named cells each hold the page up while the
// browser collects them). A cell typed into holds its text until the
// schedule's row comes back with it.
export function rowData(inputs, outputs) {
    class Data {
        constructor(id, fields, result) {
            this.id = id;
            this.fields = fields;
            this.result = result;
        }
        get fault() {
            return this.result?.fault ?? -1;
        }
        get failed() {
            return !!this.result && !this.result.ok;
        }
        get spans() {
            return this.result?.spans ?? 1;
        }
    }
    for (let n = 0; n < inputs; n++)
        Object.defineProperty(Data.prototype, `i${n}`, {
            get() {
                return this.fields[n];
            },
            set(value) {
                if (value === this.fields[n]) return;
                this.fields = this.fields.slice(); // the schedule's row stays as it is
                this.fields[n] = value;
            },
        });
    for (const { n } of outputs)
        Object.defineProperty(Data.prototype, `o${n}`, {
            get() {
                return this.result?.cells[n] ?? '';
            },
            set() {}, // the core's, never typed
        });
    return Data;
}

// A cell's text as copied (an accessor of the grid's): read from the row
// itself, not from the copy the grid takes of its own fields.
export const copied = (value, data, type, params, column, row) => {
    const field = column.getField();
    return field ? row.getData()[field] : value;
};

// A column as wide as its header's title and Chinese name: given, so that
// the grid measures no header as it is built (its first results come the
// sooner); a column widens to its cells as rows come (add).
export function headerWidth(title, chinese, least) {
    return Math.max(least, Math.ceil(20 + Math.max(7.6 * textWidth(title), 5.6 * textWidth(chinese))));
}

// A text's width in the grid's digits: CJK characters count twice.
export function textWidth(value) {
    let width = 0;
    for (const character of String(value ?? '')) width += character.codePointAt(0) >= 0x2e80 ? 2 : 1;
    return width;
}
