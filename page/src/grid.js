// The schedule as a spreadsheet-like grid: the input columns, typed into or
// pasted, then the result columns the core worked out. Cells show their text
// as text, never as markup. The grid only shows and collects texts; the
// schedule holds them.

import { TabulatorFull as Tabulator } from 'tabulator-tables';

import { afterPaint } from './frames.js';
import { addBelow } from './grid_below.js';
import { copied, headerWidth, rowData, textWidth } from './grid_rows.js';

const ROW_HEIGHT = 28; // px: every row one line high
const SHOWN_AT_ONCE = 100; // rows handed to the grid at a time
const BUDGET = 5; // ms of handing rows over between two frames

// A cell's text: a text node, never markup, and no element of its own (a
// thousand rows shown anew lay out fewer boxes).
const cellText = (value) => document.createTextNode(value ?? '');

const text = (value) => {
    const span = document.createElement('span');
    span.textContent = value ?? '';
    return span;
};

function title(name, chinese) {
    const box = document.createElement('span');
    box.className = 'title';
    box.append(text(name));
    if (chinese) {
        const second = text(chinese);
        second.className = 'chinese';
        box.append(second);
    }
    return box;
}

export class Grid {
    // columns: the core's; shownFrom: the first result column shown.
    constructor(element, columns, shownFrom, handlers) {
        this.inputs = columns.input;
        this.outputs = columns.output.map((column, n) => ({ ...column, n })).slice(shownFrom);
        const at = (title) => this.outputs.find((column) => column.title === title).n;
        this.message = at('message');
        this.handlers = handlers;
        this.Data = rowData(this.inputs.length, this.outputs);
        this.pendingKey = null;
        this.editing = null; // the cell being typed into
        this.shown = null;
        this.built = new WeakSet(); // the rows whose cells the grid has built
        this.ready = new Promise((resolve) => {
            this.table = new Tabulator(element, {
                data: [],
                index: 'id',
                height: '100%',
                layout: 'fitData',
                // Every row one line high: the grid never measures a row, so a
                // thousand rows change without a layout each.
                rowHeight: ROW_HEIGHT,
                // Rows built beyond those in view, above and below: few, for
                // every change to the rows builds them again.
                renderVerticalBuffer: 4 * ROW_HEIGHT,
                // Every column built: with only those in view built, the
                // grid's keyboard (Tab to the next cell) loses its way.
                renderHorizontal: 'basic',
                rowHeader: { formatter: 'rownum', headerSort: false, hozAlign: 'right', resizable: false, frozen: true, width: 44 },
                selectableRange: 1,
                selectableRangeColumns: true,
                selectableRangeRows: true,
                selectableRangeClearCells: false,
                editTriggerEvent: 'dblclick',
                clipboard: 'copy',
                clipboardCopyRowRange: 'range',
                clipboardCopyConfig: { columnHeaders: false, columnGroups: false, rowHeaders: false, rowGroups: false, columnCalcs: false },
                // A column is widened by its header alone: a handle in every
                // cell costs every row its layout.
                // A row copied reads its cells from the row as it stands: the
                // grid copies a row's own fields first, and a row's cells are
                // read through its columns' names (rowData).
                columnDefaults: { headerSort: false, resizable: 'header', accessorClipboard: copied },
                // A row's cells are built when it first comes into view: the
                // rows built are those a change must show at once.
                rowFormatter: (row) => {
                    this.built.add(row);
                    this.markRow(row.getElement(), row.getData());
                },
                columns: [
                    ...this.inputs.map((column, n) => ({
                        field: `i${n}`,
                        titleFormatter: () => title(column.title, column.chinese),
                        editor: (cell, onRendered, success, cancel) => this.editor(cell, onRendered, success, cancel),
                        formatter: (cell) => this.inputCell(cell, n),
                        minWidth: n === 0 ? 96 : 56,
                        width: headerWidth(column.title, column.chinese, n === 0 ? 96 : 56),
                        frozen: n === 0, // the tendon's name stays in view as the results scroll past
                    })),
                    ...this.outputs.map((column) => ({
                        field: `o${column.n}`,
                        titleFormatter: () => title(column.title, ''),
                        formatter: (cell) => this.outputCell(cell, column),
                        hozAlign: column.numeric ? 'right' : 'left',
                        cssClass: 'result',
                        maxWidth: column.title === 'message' ? 520 : undefined,
                        width: headerWidth(column.title, '', 40),
                    })),
                ],
            });
            this.table.on('tableBuilt', () => {
                // Where the rows in view are, kept as the grid scrolls and
                // resizes: read when a change is worked out, it would make the
                // page lay itself out there and then.
                // (Until the first is told, after the grid's first layout,
                // the rows at the top are taken as those in view.)
                const holder = element.querySelector('.tabulator-tableholder');
                let height = null;
                const seen = () => height !== null && (this.view = { top: holder.scrollTop, height });
                holder.addEventListener('scroll', seen, { passive: true });
                new ResizeObserver(([entry]) => {
                    height = entry.contentRect.height;
                    seen();
                }).observe(holder);
                resolve();
            });
        });
        // An edit is the engineer's: a cell the grid is told to show anew
        // (the grid calls that an edit too) is no edit of the schedule.
        this.table.on('cellEdited', (cell) => {
            const field = cell.getField();
            if (field.startsWith('i') && !this.updating)
                handlers.edit(cell.getRow().getPosition() - 1, Number(field.slice(1)), String(cell.getValue() ?? ''));
        });
        this.table.on('rangeChanged', () => this.selected());
        this.table.on('cellClick', () => this.selected());
        element.addEventListener('keydown', (event) => this.key(event), true);
        element.addEventListener('paste', (event) => {
            if (event.target instanceof HTMLInputElement) return; // pasting into the cell being typed
            event.preventDefault();
            const anchor = this.anchor();
            handlers.paste(event.clipboardData?.getData('text/plain') ?? '', anchor.row, anchor.column);
        });
    }

    inputCell(cell, n) {
        this.mark(cell, n);
        return cellText(cell.getValue());
    }

    // An input cell outlined where its row failed on it, the message on it.
    mark(cell, n) {
        const data = cell.getRow().getData();
        const element = cell.getElement();
        const fault = data.fault === n;
        const title = fault ? data[`o${this.message}`] ?? '' : '';
        element.classList.toggle('fault', fault);
        // Written only when it changes: every write is a change the page lays out again.
        if (element.title !== title) element.title = title;
    }

    outputCell(cell, column) {
        if (column.title === 'status') cell.getElement().classList.toggle('ok', cell.getValue() === 'ok');
        return cellText(cell.getValue());
    }

    // A cell's editor: a plain text box, holding the key that started it
    // (typing over a cell, as in a spreadsheet) or the cell's text.
    editor(cell, onRendered, success, cancel) {
        const input = document.createElement('input');
        input.className = 'editor';
        const typed = this.pendingKey;
        this.pendingKey = null;
        this.editing = cell;
        input.value = typed ?? String(cell.getValue() ?? '');
        let done = false;
        const commit = () => {
            if (!done) {
                done = true;
                if (this.editing === cell) this.editing = null;
                success(input.value);
            }
        };
        onRendered(() => {
            input.focus({ preventScroll: true });
            if (typed === null) input.select();
        });
        input.addEventListener('blur', commit);
        input.addEventListener('keydown', (event) => {
            if (event.key === 'Enter') {
                event.preventDefault();
                event.stopPropagation();
                commit();
                this.moveDown(cell);
            } else if (event.key === 'Escape') {
                done = true;
                if (this.editing === cell) this.editing = null;
                cancel();
            } else if (event.key === 'Tab') {
                event.preventDefault();
                event.stopPropagation();
                commit();
                this.moveAcross(cell, event.shiftKey ? -1 : 1);
            }
        });
        return input;
    }

    // The selection one input column along, as Tab leaves a cell in a
    // spreadsheet (the grid's own Tab would look for a cell it has not built).
    moveAcross(cell, step) {
        const n = Number(cell.getField().slice(1)) + step;
        const [range] = this.table.getRanges();
        if (n < 0 || n >= this.inputs.length || !range) return;
        range.setBounds(cell.getRow().getCell(`i${n}`));
        this.table.scrollToColumn(`i${n}`, 'nearest', false);
        this.selected();
    }

    // The cell the selection starts at: row index and input column (0 left
    // of the inputs).
    anchor() {
        const [range] = this.table.getRanges?.() ?? [];
        const start = range?.getCells()[0]?.[0];
        if (!start) return { row: 0, column: 0 };
        const field = start.getField() ?? '';
        return {
            row: Math.max(0, start.getRow().getPosition() - 1),
            column: field.startsWith('i') ? Number(field.slice(1)) : 0,
            cell: start,
        };
    }

    // The selection one row down, as Enter leaves a cell in a spreadsheet.
    moveDown(cell) {
        const row = cell.getRow().getNextRow();
        const next = row && row.getCell(cell.getField());
        const [range] = this.table.getRanges();
        if (next && range) {
            range.setBounds(next);
            this.table.scrollToRow(row, 'nearest', false);
            this.selected();
        }
    }

    key(event) {
        if (event.target instanceof HTMLInputElement) return; // the cell editor's own keys
        const command = event.ctrlKey || event.metaKey;
        const handled = () => {
            event.preventDefault();
            event.stopPropagation();
        };
        if (event.key === 'Delete' || event.key === 'Backspace') {
            handled();
            this.clearRanges();
        } else if ((event.key === 'Enter' || event.key === 'F2') && !command) {
            const { cell } = this.anchor();
            if (cell && cell.getField().startsWith('i')) {
                handled();
                cell.edit(true);
            }
        } else if (event.key.length === 1 && !command && !event.altKey) {
            const { cell } = this.anchor();
            if (cell && cell.getField().startsWith('i')) {
                handled();
                this.pendingKey = event.key;
                cell.edit(true);
            }
        }
    }

    clearRanges() {
        const block = new Map();
        for (const range of this.table.getRanges())
            for (const cell of range.getCells().flat()) {
                const field = cell.getField();
                if (!field?.startsWith('i')) continue;
                const row = cell.getRow().getPosition() - 1;
                if (!block.has(row)) block.set(row, []);
                block.get(row).push([Number(field.slice(1)), '']);
            }
        if (block.size) this.handlers.clear(block);
    }

    selected() {
        const { row } = this.anchor();
        this.handlers.select(row);
    }

    // A failed row, and the rows of a tendon through several spans: the
    // first begins the group, the others go on with it.
    markRow(element, data) {
        element.classList.toggle('failed', data.failed);
        // Its message wherever the pointer rests on it.
        const title = data.failed ? data[`o${this.message}`] ?? '' : '';
        if (element.title !== title) element.title = title;
        element.classList.toggle('tendon-begins', data.spans > 1);
        element.classList.toggle('tendon-goes-on', data.spans === 0);
    }

    dataOf(id, fields, result) {
        return new this.Data(id, fields, result);
    }

    // rows: input fields; results: the core's rows (null where refused).
    // Only rows whose fields or results changed are handed to the grid, as
    // many as fit in a few milliseconds between two frames, so a paste of
    // ten thousand rows never holds the page.
    async show(rows, results) {
        await this.ready;
        const old = this.shown ?? { rows: [], results: null };
        const changed = [];
        for (let id = 0; id < rows.length; id++) {
            const result = results?.[id] ?? null;
            const was = old.results?.[id] ?? null;
            if (id < old.rows.length && rows[id] === old.rows[id] && result === was) continue;
            changed.push(id);
        }
        // The results as shown now, copied: the page goes on working out rows
        // into the same list, and those must count as changed next time.
        this.shown = { rows, results: results?.slice() ?? null };
        const before = old.rows.length;
        if (rows.length < before) {
            await this.table.deleteRow(Array.from({ length: before - rows.length }, (_, n) => rows.length + n));
            this.rows = null;
        }
        let began = performance.now();
        for (let from = 0; from < changed.length; from += SHOWN_AT_ONCE) {
            if (performance.now() - began > BUDGET) {
                await afterPaint();
                began = performance.now();
            }
            const part = changed.slice(from, from + SHOWN_AT_ONCE).map((id) => this.dataOf(id, rows[id], results?.[id] ?? null));
            this.update(part.filter((data) => data.id < before));
            const added = part.filter((data) => data.id >= before);
            if (added.length) await this.add(added);
        }
    }

    // Rows the grid has, their cells shown anew; the grid calls each cell so
    // set an edit, which `updating` keeps from the schedule.
    update(updated) {
        if (!updated.length) return;
        this.updating = true;
        try {
            this.shownAnew(updated);
        } finally {
            this.updating = false;
        }
    }

    // Those the grid keeps on the page (those in view and a few around them)
    // are updated cell by cell. The others take their data when they next
    // come on (handing it over through the grid's update would build their
    // cells now).
    shownAnew(updated) {
        this.rows ??= this.table.getRows();
        for (const data of updated) {
            const row = this.rows[data.id];
            Object.assign(row.getData(), data);
            // A row never shown builds its cells from its data when it is.
            if (!this.built.has(row)) continue;
            if (!row.getElement().isConnected) {
                row.reformat();
                continue;
            }
            // Cell by cell, and never the cell being typed into: building the
            // row again would measure it, and throw away an open editor.
            for (const cell of row.getCells()) {
                const field = cell.getField();
                if (field && cell !== this.editing && cell.getValue() !== data[field]) cell.setValue(data[field]);
                if (field?.startsWith('i')) this.mark(cell, Number(field.slice(1)));
            }
            this.markRow(row.getElement(), data);
        }
    }

    // Rows pasted or opened: a column widens to what its first rows show
    // (CJK characters twice as wide), without measuring the page.
    async add(added) {
        // Widened before the rows go in: a column widened under a thousand
        // rows lays every one of them out again.
        for (const column of this.table.getColumns()) {
            const field = column.getField();
            if (!field) continue;
            const widest = Math.max(...added.map((data) => textWidth(data[field])));
            const wanted = Math.min(520, Math.ceil(16 + 7.2 * widest));
            if (wanted > column.getWidth()) column.setWidth(wanted);
        }
        if (!addBelow(this.table, added)) await this.table.addData(added);
        this.rows = null;
    }

    // The rows in view, [first, last): what is worked out first.
    inView() {
        if (!this.view) return { first: 0, last: 40 };
        const first = Math.floor(this.view.top / ROW_HEIGHT);
        return { first, last: first + Math.ceil(this.view.height / ROW_HEIGHT) + 1 };
    }
}
