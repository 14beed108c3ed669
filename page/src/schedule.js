// The schedule the engineer is working on: rows of input fields (texts, in
// the order of the core's input columns) and the options. A row opened from
// a workbook may also carry, as its `unreadable`, the cells the workbook
// held no value for ([column, why naming the cell]); typing into such a
// cell forgets it. Every change is a
// new state, the earlier ones kept for undo, and each is written to the
// browser's storage at the first idle moment long enough to hold the write
// (and at once when the page is hidden or closed), so a reload or a closed
// tab loses nothing.

import { afterPaint } from './frames.js';
import { keep } from './storage.js';

const KEY = 'quillmere.schedule';
const VERSION = 1;
const KEPT = 100; // earlier states undo can go back to

const LONG_IDLE = 40; // ms: the browser's longest idle moments, with no frame due, are 50
const SAVED_WITHIN = 5000; // ms: saved by then even on a page that is never idle that long

// A task at the first idle moment of LONG_IDLE (writing ten thousand rows to
// the storage takes some thirty milliseconds, which would hold back a frame
// due meanwhile), and within SAVED_WITHIN; after the next frame where the
// browser cannot say when it is idle.
function whenIdle(task) {
    if (!globalThis.requestIdleCallback) return afterPaint().then(task);
    const by = performance.now() + SAVED_WITHIN;
    const wait = (deadline) => {
        const left = by - performance.now();
        if (deadline.didTimeout || left <= 0 || deadline.timeRemaining() >= LONG_IDLE) task();
        else requestIdleCallback(wait, { timeout: left });
    };
    requestIdleCallback(wait, { timeout: SAVED_WITHIN });
}

export class Schedule {
    constructor(width, storage) {
        this.width = width;
        this.storage = storage;
        this.rows = [];
        this.options = {};
        this.past = [];
        this.future = [];
        this.listeners = [];
    }

    emptyRow() {
        return Array(this.width).fill('');
    }

    // What was kept, or a reason it could not be read.
    load() {
        let text;
        try {
            text = this.storage.getItem(KEY);
        } catch {
            return '浏览器存储不可用：本页可以使用，但输入不会在关闭后保留。';
        }
        if (!text) return null;
        try {
            const kept = JSON.parse(text);
            // Older formats are read forward; one a newer page wrote is left
            // as it is, and not written over.
            if (!(kept.version <= VERSION)) {
                this.newer = true;
                return '浏览器中保存的钢绞线表来自较新版本的 Quillmere，未载入，也不会被覆盖：请用较新版本打开。';
            }
            this.rows = kept.rows.map((row) => {
                const fields = this.emptyRow().map((_, n) => String(row[n] ?? ''));
                const unreadable = row[this.width]?.unreadable;
                if (Array.isArray(unreadable)) fields.unreadable = unreadable.map(([c, why]) => [Number(c), String(why)]);
                return fields;
            });
            this.options = Object.fromEntries(Object.entries(kept.options ?? {}).map(([k, v]) => [k, String(v)]));
            return null;
        } catch {
            return '浏览器中保存的钢绞线表无法读取，未载入。';
        }
    }

    // null when kept, else what the engineer should know.
    save() {
        if (this.newer) return '浏览器中保存有较新版本的钢绞线表：本页的修改未保存，以免覆盖它。';
        // A row's unreadable cells follow its fields, which an older page
        // reads past.
        const rows = this.rows.map((row) => (row.unreadable ? [...row, { unreadable: row.unreadable }] : row));
        return keep(this.storage, KEY, { version: VERSION, rows, options: this.options }, {
            full: '浏览器存储已满：最近的修改未能保存，请先“保存结果”或导出后清理。',
            none: '浏览器存储不可用：本页可以使用，但输入不会在关闭后保留。',
        });
    }

    // listener(): the schedule changed; told(warning): the storage's word on
    // the last change saved, null when it was kept.
    onChange(listener, told = () => {}) {
        this.listeners.push(listener);
        this.told = told;
    }

    // A new state: rows and options as given (rows are replaced, never
    // changed in place, so earlier states stay as they were).
    change({ rows = this.rows, options = this.options }) {
        this.past.push({ rows: this.rows, options: this.options });
        if (this.past.length > KEPT) this.past.shift();
        this.future = [];
        this.apply({ rows, options });
    }

    undo() {
        if (!this.past.length) return false;
        this.future.push({ rows: this.rows, options: this.options });
        this.apply(this.past.pop());
        return true;
    }

    redo() {
        if (!this.future.length) return false;
        this.past.push({ rows: this.rows, options: this.options });
        this.apply(this.future.pop());
        return true;
    }

    apply({ rows, options }) {
        this.rows = rows;
        this.options = options;
        for (const listener of this.listeners) listener();
        if (!this.unsaved) {
            this.unsaved = true;
            whenIdle(() => this.flush());
        }
    }

    // Saves a change not yet saved.
    flush() {
        if (!this.unsaved) return;
        this.unsaved = false;
        this.told?.(this.save());
    }

    // Records (fields by the core's input columns) put in `columns` from a
    // row on, as pasted; rows are added where they run past the end.
    place(firstRow, records, columns) {
        const rows = this.rows.slice();
        // The columns a paste leaves alone: a new row with nothing there
        // stands as read (ten thousand of them copy nothing); a row pasted
        // over is copied with the record's fields written straight in.
        const others = [];
        for (let c = 0; c < this.width; c++) if (!columns.includes(c)) others.push(c);
        const asRead = (fields) => {
            if (fields.length !== this.width) return false;
            for (const c of others) if (fields[c] !== '') return false;
            return true;
        };
        for (let r = 0; r < records.length; r++) {
            const fields = records[r];
            const at = firstRow + r;
            while (rows.length < at) rows.push(this.emptyRow());
            if (at < rows.length) {
                rows[at] = overwritten(rows[at], fields, columns);
            } else if (asRead(fields)) {
                rows.push(fields);
            } else {
                const row = this.emptyRow();
                for (const c of columns) row[c] = fields[c];
                rows.push(row);
            }
        }
        this.change({ rows });
    }

    // Fields written from (row, column) on, a block of them as pasted;
    // rows are added where the block runs past the end.
    write(firstRow, block) {
        const rows = this.rows.slice();
        block.forEach((fields, r) => {
            const at = firstRow + r;
            while (rows.length <= at) rows.push(this.emptyRow());
            rows[at] = edited(rows[at], fields);
        });
        this.change({ rows });
    }
}

// A row with fields ([column, text]) written, the others and the unreadable
// cells of the others kept.
export function edited(row, fields) {
    const record = [];
    for (const [column, text] of fields) record[column] = text;
    return overwritten(row, record, fields.map(([column]) => column));
}

// A row with a record's fields in `columns` written over it, the others and
// the unreadable cells of the others kept.
function overwritten(row, record, columns) {
    const copy = row.slice();
    for (const column of columns) copy[column] = record[column];
    const unreadable = row.unreadable?.filter(([c]) => !columns.includes(c));
    if (unreadable?.length) copy.unreadable = unreadable;
    return copy;
}

// Whether any field of the rows holds anything.
export const typedIn = (rows) => rows.some((row) => row.some((field) => field !== ''));
