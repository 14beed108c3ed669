// The page: the schedule in a grid, the options beside it, the selected
// tendon drawn and its site figures large. Every figure is the core's; this
// file only carries texts between the controls, the schedule and the core.

import { loadCore } from './core.js';
import { drawTendon, svgNode } from './drawing.js';
import { afterPaint } from './frames.js';
import { Grid } from './grid.js';
import { edited, Schedule } from './schedule.js';
import { SiteRecord } from './site.js';

const $ = (id) => document.getElementById(id);
// ms of working out between two turns of the page's event loop: rows out
// of view change nothing on screen, and a frame with nothing to paint
// leaves the rest of its 16.7 ms free.
const BUDGET = 8;
const COUNTED_EVERY = 250; // ms between two counts shown while rows out of view are worked out
const WORKED_AT_ONCE = 100; // rows worked out between two looks at the time
const PASTED_AT_ONCE = 1000; // lines of a paste read between two frames
const SLICE = 40; // ms of a save's or a print's work between two frames
const PROGRESS_AFTER = 500; // ms a save or print runs before its progress is shown

// Long work a part at a time: `part(rows)` does up to that many more rows
// and says how many are done of `total`. After about half a second a bar
// shows how far it has got, with 取消 (Escape too). True when done, false
// when stopped.
async function inParts(title, total, part) {
    const dialog = $('progress');
    let stopped = false;
    const stop = (event) => {
        event?.preventDefault();
        stopped = true;
    };
    $('progress-cancel').onclick = () => stop();
    dialog.oncancel = stop; // Escape
    const began = performance.now();
    let done = 0, rows = 10;
    try {
        while (done < total && !stopped) {
            const start = performance.now();
            while (done < total && performance.now() - start < SLICE) {
                const before = performance.now();
                done = part(rows);
                // As many rows as fill about a tenth of the slice.
                rows = Math.max(1, Math.min(5000, Math.round((rows * SLICE) / 10 / Math.max(0.1, performance.now() - before))));
            }
            if (performance.now() - began > PROGRESS_AFTER && !dialog.open) {
                $('progress-title').textContent = title;
                dialog.showModal();
            }
            $('progress-bar').value = total ? done / total : 1;
            await afterPaint();
        }
    } finally {
        if (dialog.open) dialog.close();
    }
    return !stopped;
}

function say(words, kind = 'info') {
    const box = $('message');
    box.textContent = words;
    box.dataset.kind = kind;
}

// What the status line says when nothing needs saying: how to fill the
// schedule, as this device can (a touch screen drops no files).
const touch = () => matchMedia('(pointer: coarse)').matches;
const hint = () =>
    touch()
        ? '可直接输入，或从 Excel / WPS 复制若干行粘贴到表中（带表头或不带表头均可）；工作簿 (.xlsx) 或 CSV 可“打开”。'
        : '可直接输入，或从 Excel / WPS 复制若干行粘贴到表中（带表头或不带表头均可）；工作簿 (.xlsx) 或 CSV 可“打开”或拖到页面上。';

// Anything that goes wrong in the page and is not caught where it happens
// is said, in the engineer's words; the schedule and the readings are kept
// as they stood (`keep` saves what is not yet saved).
let keep = () => {};
function boundary(error) {
    try {
        keep();
    } catch {
        // the storage's own trouble is said by the storage
    }
    const what = error?.message ?? String(error ?? '');
    say(`本页出错：${what || '未知错误'}。钢绞线表和读数已保存，未丢失；请重试，如仍出错请刷新本页。`, 'fault');
}
addEventListener('error', (event) => boundary(event.error ?? event.message));
addEventListener('unhandledrejection', (event) => boundary(event.reason));

function warn(words) {
    const box = $('warning');
    box.textContent = words ?? '';
    box.hidden = !words;
}

// Whether any field of the rows holds anything.
const typedIn = (rows) => rows.some((row) => row.some((field) => field !== ''));

function storage() {
    try {
        return globalThis.localStorage ?? null;
    } catch {
        return null; // a browser that refuses storage to pages opened from disk
    }
}

async function start() {
    const core = await loadCore();
    const titles = core.columns.output.map((column) => column.title);
    const at = (title) => titles.indexOf(title);
    const schedule = new Schedule(core.columns.input.length, storage());
    warn(schedule.load());
    keep = () => schedule.flush();
    say(hint());
    // The site record reads every jack of the schedule: it works out what
    // is not yet worked out before it reads.
    const site = new SiteRecord(
        { ...core, siteJacks: () => (whole(), core.siteJacks()), importRecord: (bytes) => (whole(), core.importRecord(bytes)) },
        storage(),
        warn,
    );
    const siteWarning = site.load();
    if (siteWarning) warn(siteWarning);

    let results = null; // the core's rows for the schedule shown, or null where an option is refused
    // A row's mark: consecutive rows of one mark are the spans of a tendon.
    const tendonColumn = core.columns.input.findIndex((column) => column.title === 'tendon');
    const mark = (row) => String(row?.[tendonColumn] ?? '').trim();
    // Rows [from, to) widened to the whole tendons they fall in.
    const wholeTendons = (rows, from, to) => {
        while (from > 0 && from < rows.length && mark(rows[from]) && mark(rows[from]) === mark(rows[from - 1])) from--;
        while (to < rows.length && mark(rows[to]) && mark(rows[to]) === mark(rows[to - 1])) to++;
        return [from, to];
    };
    let selectedRow = 0;
    let run = 0;

    const cellsOf = (row) => {
        const result = results?.[row];
        if (!result) return null; // a row with nothing in it
        return Object.fromEntries(titles.map((title, n) => [title, result.cells[n]]));
    };

    // The code of the selected tendon's link to its site record, where the
    // page is given its address: the office hands a tendon to a phone with it.
    function showCode(row) {
        const markup = core.siteCode(row);
        const code = markup ? svgNode(markup) : null;
        $('site-code').hidden = !code;
        $('site-code-image').replaceChildren(...(code ? [code] : []));
        if (code) $('site-code-link').href = core.siteLink(row);
    }

    // The selected tendon's figures and drawing, drawn again only when its
    // rows' results or the page's address changed.
    let drawnFor = null;
    function showSelected() {
        const [from, to] = wholeTendons(schedule.rows, selectedRow, selectedRow + 1);
        const key = `${selectedRow}\x1e${schedule.options['site-url'] ?? ''}\x1e${(results ?? []).slice(from, to).map((result) => result?.text ?? '').join('\x1e')}`;
        if (key === drawnFor) return;
        drawnFor = key;
        const cells = cellsOf(selectedRow);
        const card = $('tendon');
        card.hidden = !cells;
        if (!cells) return;
        for (const element of card.querySelectorAll('[data-cell]')) element.textContent = cells[element.dataset.cell] ?? '';
        $('range').textContent = cells.elong_min && `${cells.elong_min} ～ ${cells.elong_max}`;
        card.dataset.status = cells.status === 'ok' ? 'ok' : 'failed';
        // The drawing after the figures are painted: it is the most the
        // page builds for a change, and the figures are what the site reads.
        const row = selectedRow;
        afterPaint().then(() => {
            if (drawnFor !== key) return; // drawn again meanwhile
            const figure = $('figure');
            figure.replaceChildren();
            const svg = core.figures(row);
            if (svg) figure.append(...drawTendon(svg, core.keyPoints(row)));
            showCode(row);
        });
    }

    const grid = new Grid($('grid'), core.columns, at('a1'), {
        edit(row, column, text) {
            if (schedule.rows[row]?.[column] === text) return;
            schedule.write(row, [[[column, text]]]);
        },
        clear(block) {
            const rows = schedule.rows.slice();
            for (const [row, fields] of block) if (rows[row]) rows[row] = edited(rows[row], fields.map(([column]) => [column, '']));
            schedule.change({ rows });
        },
        async paste(text, row, column) {
            const read = await readPasted(text, column);
            if (read.error) {
                say(`粘贴的内容无法读取：第 ${read.error.line} 行：${read.error.message}。钢绞线表未改动。`, 'error');
                return;
            }
            // The rows pasted over that held something where the paste writes.
            const replaced = read.records.filter((_, r) => read.columns.some((c) => (schedule.rows[row + r]?.[c] ?? '') !== '')).length;
            schedule.place(row, read.records, read.columns);
            say(`已粘贴 ${read.records.length} 行${replaced ? `，替换了 ${replaced} 行原有的内容（可“撤销”找回）` : ''}。`);
        },
        select(row) {
            if (row === selectedRow) return;
            selectedRow = row;
            showSelected();
            // A failed row tapped on a phone, where no pointer rests to show its message.
            const cells = cellsOf(row);
            if (cells && cells.status !== 'ok') say(`第 ${row + 1} 行未算出：${cells.message}`, 'error');
        },
    });

    // Pasted text read as the core reads it, a thousand lines between two
    // frames where no quote can join lines: the chunks after the first read
    // under a header naming the columns the first was read into.
    async function readPasted(text, column) {
        const lines = text.includes('"') ? [] : text.split(/\r?\n/);
        if (lines.length <= PASTED_AT_ONCE) return core.read(text, true, column);
        const read = core.read(lines.slice(0, PASTED_AT_ONCE).join('\n'), true, column);
        if (read.error) return read;
        const header = read.columns.map((c) => core.columns.input[c].title).join('\t');
        for (let from = PASTED_AT_ONCE; from < lines.length; from += PASTED_AT_ONCE) {
            await afterPaint();
            const part = core.read(`${header}\n${lines.slice(from, from + PASTED_AT_ONCE).join('\n')}`, true, column);
            if (part.error) return { error: { ...part.error, line: part.error.line - 1 + from } };
            for (const record of part.records) read.records.push(record);
        }
        await afterPaint(); // the rows placed and the first worked out in a frame of their own
        return read;
    }

    // What the core last worked out: for each row the fields it worked out
    // (a row is stale where the schedule's row is another), and the options.
    let computed = { rows: [], options: null, length: 0 };
    // Why the options as typed are refused, and those options: the figures
    // meanwhile stay those of the options that stood before them.
    let refusal = null;
    let refusedOptions = null;
    const stale = (rows, n) => rows[n] !== computed.rows[n];

    // Works out rows [from, to) of the schedule, widened to whole tendons (a
    // tendon's spans are worked out together), where any is stale.
    function workOut(rows, from, to) {
        [from, to] = wholeTendons(rows, from, to);
        let first = from;
        while (first < to && !stale(rows, first)) first++;
        let last = to;
        while (last > first && !stale(rows, last - 1)) last--;
        if (first >= last) return;
        for (const [at, row] of core.evaluate(rows.slice(first, last), first, rows.length)) results[at] = row;
        for (let n = first; n < last; n++) computed.rows[n] = rows[n];
    }

    // Every stale row worked out at once: before the results are saved,
    // printed, copied or read by the site record.
    function whole() {
        const { rows } = schedule;
        if (!results) return;
        for (let from = 0; from < rows.length; from++) {
            if (!stale(rows, from)) continue;
            let to = from;
            while (to < rows.length && stale(rows, to)) to++;
            workOut(rows, from, to);
            from = to - 1;
        }
    }

    // Works out the rows that changed since last time (every row when the
    // options changed): those on screen and the selected one's tendon first,
    // shown within the frame, then the rest a few milliseconds at a time, so
    // the page answers throughout.
    async function recompute() {
        const mine = ++run;
        const { rows, options } = schedule;
        if (options === computed.options) refusal = null;
        else if (options !== refusedOptions) {
            refusal = core.takeOptions(options);
            refusedOptions = refusal ? options : null;
            if (!refusal) computed = { rows: [], options, length: 0 };
        }
        // Nothing to show where no options ever stood.
        const refused = computed.options === null;
        if (refused) {
            results = null;
        } else {
            results = (results ?? []).slice(0, rows.length);
            if (rows.length !== computed.length) {
                for (const [at, row] of core.evaluate([], rows.length, rows.length)) results[at] = row;
                computed.length = rows.length;
            }
            const { first, last } = grid.inView();
            workOut(rows, first, Math.min(rows.length, last));
            workOut(rows, selectedRow, Math.min(rows.length, selectedRow + 1));
        }
        showRefusal(refusal, !refused);
        await shown(mine, rows, refused);
        if (mine !== run) return;
        // When results first stood on screen, and how many times since: for
        // tests and benchmarks that wait for the page.
        document.body.dataset.firstResults ??= String(Math.round(performance.now()));
        document.body.dataset.ready = String(mine);
        for (let from = 0; !refused && from < rows.length; ) {
            await afterPaint();
            if (mine !== run) return; // a newer change is being worked out
            const start = performance.now();
            while (from < rows.length && performance.now() - start < BUDGET) {
                workOut(rows, from, Math.min(rows.length, from + WORKED_AT_ONCE));
                from = Math.min(rows.length, from + WORKED_AT_ONCE);
            }
            await shown(mine, rows, refused, from < rows.length);
        }
        if (mine === run) document.body.dataset.complete = String(mine);
    }

    // The rows shown as they now stand, with the counts and the selected
    // tendon, and the site record where it is open. The counts change a
    // few times a second while rows out of view are `going` on being worked
    // out: a frame for each would be painted, for a line read at the end.
    let counted = 0;
    async function shown(mine, rows, refused, going = false) {
        if (!refused && !$('site').hidden) {
            whole();
            site.refresh();
        }
        await grid.show(rows, results);
        if (mine !== run) return;
        if (!going || performance.now() - counted >= COUNTED_EVERY) {
            counted = performance.now();
            const worked = results ? results.filter(Boolean) : [];
            const tendons = worked.filter((r) => r.spans > 0).length; // a tendon's first row counts it
            const failed = worked.filter((r) => !r.ok).length;
            $('counts').textContent = `${tendons} 束，${worked.length} 行${failed ? `，其中 ${failed} 行未算出` : ''}`;
        }
        showSelected();
    }

    // The options panel, from the core's own list, with its defaults.
    const inputs = new Map();
    for (const option of core.options) {
        const row = document.createElement('label');
        row.className = 'option';
        const name = document.createElement('span');
        name.textContent = option.label;
        const input = document.createElement(option.key === 'duct' ? 'select' : 'input');
        if (option.key === 'duct') {
            input.append(new Option(`默认 (${option.default})`, ''));
            for (const duct of core.columns.ducts) input.append(new Option(`${duct.chinese} ${duct.name}`, duct.name));
        } else {
            input.placeholder = option.default || '无';
            input.inputMode = option.words ? 'text' : 'decimal'; // a phone's keyboard for what the box takes
        }
        // Chinese first, then the program's own words and its option.
        input.title = `${option.explained}\n${option.help} (--${option.option})`;
        input.addEventListener('input', () =>
            schedule.change({ options: { ...schedule.options, [option.key]: input.value.trim() } }),
        );
        const refusal = document.createElement('span');
        refusal.className = 'refusal';
        refusal.setAttribute('role', 'alert');
        row.append(name, input, refusal);
        $('options').append(row);
        inputs.set(option.key, { input, refusal });
    }
    const showOptions = () => {
        for (const [key, { input }] of inputs) if (input.value !== (schedule.options[key] ?? '')) input.value = schedule.options[key] ?? '';
    };
    function showRefusal(refused, standing) {
        for (const [key, { refusal }] of inputs) refusal.textContent = refused?.key === key ? refused.message : '';
        if (refused)
            say(standing ? '张拉参数有误，未采用：表中仍为此前张拉参数的结果；改正后按新参数计算。' : '张拉参数有误：改正后才计算。', 'error');
    }
    // Whether the results may go out: not while an option is refused, when
    // they are those of options no longer typed.
    const unsaved = (what) => (refusal || !results ? (say(`张拉参数有误，${what}。`, 'error'), true) : false);

    schedule.onChange(() => {
        // What the status line said of the schedule before this change no
        // longer holds; the change says its own.
        if ($('message').dataset.kind !== 'fault') say(hint());
        showOptions();
        recompute();
    }, warn);
    // A page hidden or closed keeps its last change.
    addEventListener('pagehide', () => schedule.flush());
    document.addEventListener('visibilitychange', () => document.hidden && schedule.flush());

    const confirmDiscard = () =>
        !typedIn(schedule.rows) || confirm('放弃当前的钢绞线表？（可用“撤销”找回）');

    $('new').addEventListener('click', () => {
        if (!confirmDiscard()) return;
        schedule.change({ rows: [schedule.emptyRow()] }); // a row to type into
        $('sheet-pick').hidden = true;
    });
    $('open').addEventListener('click', () => $('file').click());
    // A schedule opened: a workbook's from the worksheet chosen, else from
    // the first that holds one, or CSV text. What cannot be read is said
    // and the schedule on screen kept.
    let workbook = null; // the workbook last opened, {name, bytes}, while its worksheets can be chosen
    function openBytes(name, bytes, sheet = '') {
        const read = core.read(bytes, false, 0, sheet);
        if (read.error) {
            const { line, column, place, message } = read.error;
            const where = place ? `${place}：` : line ? `第 ${line} 行${column ? `第 ${column} 列` : ''}：` : '';
            say(`无法读取 ${name}：${where}${message}。钢绞线表未改动。`, 'error');
            return;
        }
        if (!confirmDiscard()) return;
        document.title = `${name} - Quillmere`;
        const rows = read.records.map((fields, n) => Object.assign(fields, read.unreadable[n] ? { unreadable: read.unreadable[n] } : {}));
        schedule.change({ rows });
        workbook = read.sheets?.length > 1 ? { name, bytes } : null;
        const pick = $('sheet-choice');
        pick.replaceChildren(...(workbook ? read.sheets : []).map((sheet) => new Option(sheet, sheet, false, sheet === read.sheet)));
        $('sheet-pick').hidden = !workbook;
        const cells = Object.values(read.unreadable).reduce((sum, cells) => sum + cells.length, 0);
        say(`已打开 ${name}${read.sheet ? `（工作表“${read.sheet}”）` : ''}：${read.records.length} 行。`
            + (cells ? `其中 ${cells} 个单元格没有可用的值（错误值、未计算的公式或日期），所在行未算出，见各行说明。` : ''));
    }
    const openFile = async (file) => openBytes(file.name, new Uint8Array(await file.arrayBuffer()));
    $('sheet-choice').addEventListener('change', () => workbook && openBytes(workbook.name, workbook.bytes, $('sheet-choice').value));
    $('file').addEventListener('change', async () => {
        const file = $('file').files[0];
        $('file').value = '';
        if (file) await openFile(file);
    });
    // A file dropped anywhere on the page opens as 打开 would.
    const carriesFiles = (event) => [...(event.dataTransfer?.types ?? [])].includes('Files');
    document.addEventListener('dragover', (event) => {
        if (!carriesFiles(event)) return;
        event.preventDefault();
        document.body.classList.add('dropping');
    });
    document.addEventListener('dragleave', (event) => {
        if (!event.relatedTarget) document.body.classList.remove('dropping');
    });
    document.addEventListener('drop', (event) => {
        document.body.classList.remove('dropping');
        if (!carriesFiles(event)) return;
        event.preventDefault();
        const file = event.dataTransfer.files[0];
        if (file) openFile(file);
    });
    function download(bytes, type, name) {
        const link = document.createElement('a');
        link.href = URL.createObjectURL(new Blob([bytes], { type }));
        link.download = name;
        document.body.append(link);
        link.click();
        link.remove();
        setTimeout(() => URL.revokeObjectURL(link.href), 60_000);
    }
    $('save').addEventListener('click', () => {
        if (unsaved('结果未保存')) return;
        whole();
        download(core.resultsCsv(), 'text/csv;charset=utf-8', 'quillmere-results.csv');
        say('结果已保存为 quillmere-results.csv。');
    });
    // The program's workbook: the results, tendons, setting-out and the
    // site record, with the readings taken on site where there are any.
    let busy = false; // a save or print under way: one at a time
    async function saveWorkbook(readings, name) {
        if (unsaved('工作簿未保存') || busy) return;
        whole();
        busy = true;
        const parts = core.workbookInParts(readings);
        let done = false;
        try {
            done = await inParts(`正在写工作簿 ${name}…`, schedule.rows.length, (rows) => parts.more(rows));
        } finally {
            busy = false;
            if (!done) parts.cancel();
        }
        if (!done) return say('已取消，工作簿未保存。');
        const bytes = parts.end();
        if (!bytes.length) return say('工作簿未能写出。', 'error');
        download(bytes, 'application/vnd.openxmlformats-officedocument.spreadsheetml.sheet', name);
        say(`工作簿已保存为 ${name}（含钢绞线表、各束、放样坐标与张拉记录）。`);
    }
    $('save-workbook').addEventListener('click', () => saveWorkbook([], 'quillmere-results.xlsx'));
    // The construction drawing, as the program writes it: the schedule's
    // tendons, or the selected one alone; its parabolas as splines, or as
    // polylines for CAD programs that draw splines badly (a choice kept).
    const polylines = $('dxf-polylines');
    try {
        polylines.checked = storage()?.getItem('quillmere.dxf-polylines') === '1';
    } catch {
        // no storage: the choice is not kept
    }
    polylines.addEventListener('change', () => {
        try {
            storage()?.setItem('quillmere.dxf-polylines', polylines.checked ? '1' : '0');
        } catch {
            // no storage: the choice holds until the page is closed
        }
    });
    function saveDxf(row, name) {
        if (unsaved('DXF 未保存')) return;
        whole();
        const bytes = core.dxf(polylines.checked, row);
        if (!bytes.length) return say('没有算出的钢绞线，DXF 未保存。', 'error');
        download(bytes, 'image/vnd.dxf', name);
        say(`已保存 ${name}：每束一个图块，以束号为名，1 个图形单位为 1 mm。`);
    }
    $('save-dxf').addEventListener('click', () => saveDxf(-1, 'quillmere-预应力筋.dxf'));
    $('tendon-dxf').addEventListener('click', () =>
        saveDxf(selectedRow, `${(cellsOf(selectedRow)?.tendon || 'tendon').replace(/[\\/:*?"<>|]/g, '_')}.dxf`),
    );
    // The sheets printed: laid out for printing only, cleared after.
    $('print-sheets').addEventListener('click', async () => {
        if (unsaved('计算书未打印') || busy) return;
        whole();
        busy = true;
        const parts = core.sheetsInParts();
        const pages = [];
        let done = false, at = 0;
        const total = schedule.rows.length;
        try {
            done = await inParts('正在排计算书…', total, (rows) => {
                for (const page of parts.more(rows)) pages.push(page);
                return (at = Math.min(total, at + rows));
            });
        } finally {
            busy = false;
            if (!done) parts.cancel();
        }
        if (!done) return say('已取消，计算书未打印。');
        for (const page of parts.end()) pages.push(page);
        if (!pages.length) return say('表中没有钢绞线，计算书为空。', 'error');
        $('print').replaceChildren(
            ...pages.map(svgNode).filter(Boolean),
        );
        say(`计算书共 ${pages.length} 页；在打印对话框中可选“另存为 PDF”。`);
        window.print();
    });
    addEventListener('afterprint', () => $('print').replaceChildren());
    $('site-export').addEventListener('click', () => saveWorkbook(site.all(), 'quillmere-张拉记录.xlsx'));
    site.onImported = (words, failed) => say(words, failed ? 'error' : 'info');
    $('copy').addEventListener('click', async () => {
        if (unsaved('没有结果可复制')) return;
        whole();
        const text = core.resultsTsv();
        try {
            await navigator.clipboard.writeText(text);
        } catch {
            const area = Object.assign(document.createElement('textarea'), { value: text });
            document.body.append(area);
            area.select();
            document.execCommand('copy');
            area.remove();
        }
        say(`已复制 ${schedule.rows.length} 行结果，可粘贴到电子表格。`);
    });
    $('add').addEventListener('click', () => {
        const rows = schedule.rows.slice();
        rows.splice(Math.min(selectedRow + 1, rows.length), 0, schedule.emptyRow());
        schedule.change({ rows });
    });
    $('remove').addEventListener('click', () => {
        if (!schedule.rows.length) return;
        const rows = schedule.rows.slice();
        rows.splice(Math.min(selectedRow, rows.length - 1), 1);
        schedule.change({ rows });
    });
    // Undo and redo anywhere but in a text box, which keeps its own.
    document.addEventListener('keydown', (event) => {
        if (!(event.ctrlKey || event.metaKey) || event.target.closest?.('input, select, textarea')) return;
        const key = event.key.toLowerCase();
        if (key === 'z' && !event.shiftKey) schedule.undo() || say('没有可撤销的修改。');
        else if (key === 'y' || (key === 'z' && event.shiftKey)) schedule.redo() || say('没有可重做的修改。');
        else return;
        event.preventDefault();
    });
    // The site record in place of the grid, for one tendon and jack at a time.
    $('site-mode').addEventListener('click', () => {
        const on = !document.body.classList.contains('site-mode');
        document.body.classList.toggle('site-mode', on);
        $('site').hidden = !on;
        $('site-mode').setAttribute('aria-pressed', String(on));
        site.keepOpen(on);
        if (on) site.refresh();
    });
    // 更多 on a phone: the other buttons, until one is pressed or Escape.
    const menu = (open) => {
        $('more-menu').classList.toggle('open', open);
        $('more').setAttribute('aria-expanded', String(open));
    };
    $('more').addEventListener('click', () => menu($('more').getAttribute('aria-expanded') !== 'true'));
    $('more-menu').addEventListener('click', (event) => event.target.closest('button') && menu(false));
    // Escape closes it wherever the focus is, and the site record's jack
    // list; the boxes keep their own Escape.
    document.addEventListener('keydown', (event) => {
        if (event.key !== 'Escape' || $('more').getAttribute('aria-expanded') !== 'true') return;
        menu(false);
        $('more').focus();
    });
    $('undo').addEventListener('click', () => schedule.undo());
    $('redo').addEventListener('click', () => schedule.redo());
    $('version').textContent = core.version;
    $('range-label').textContent = `伸长允许范围 ${core.columns.tolerance} (mm)`;

    showOptions();
    if (matchMedia('(max-width: 820px)').matches) $('stressing').open = false; // a phone shows the tendon first
    if (!schedule.rows.length) schedule.rows = [schedule.emptyRow()];
    const openSite = () => {
        if (!document.body.classList.contains('site-mode')) $('site-mode').click();
        site.showRow(0);
    };
    const linked = openLink();
    await recompute();
    if (linked) openSite();
    else if (site.wasOpen()) $('site-mode').click(); // reloaded where the site record was open, at its jack
    // Another code scanned while the page is open.
    addEventListener('hashchange', async () => {
        if (!openLink()) return;
        await recompute();
        openSite();
    });

    // A tendon's link, from the code on its sheet: the tendon and its
    // options in place of the schedule (undo brings the schedule back), to
    // be opened in the site record. Taken once: a reload does not take it
    // again. A link that cannot be read changes nothing.
    function openLink() {
        if (!/^#t\d/.test(location.hash)) return false;
        const read = core.readSiteLink(location.hash);
        history.replaceState(null, '', location.pathname + location.search);
        if (read.message) {
            say(read.message, 'error');
            return false;
        }
        // Where the page lives is where the link was made for.
        const options = Object.fromEntries(read.options);
        const here = /^https?:$/.test(location.protocol) ? location.origin + location.pathname : '';
        if (schedule.options['site-url'] || here) options['site-url'] = schedule.options['site-url'] || here;
        const same = (a, b) => JSON.stringify(a) === JSON.stringify(b);
        const fresh = !same(schedule.rows, read.rows) || !same(Object.entries(schedule.options).sort(), Object.entries(options).sort());
        if (fresh) schedule.change({ rows: read.rows, options });
        selectedRow = 0;
        const before = schedule.past.length && fresh && typedIn(schedule.past.at(-1).rows);
        say(`已打开束 ${mark(read.rows[0]) || read.rows[0][0]} 的现场记录${before ? '；原钢绞线表可用“撤销”找回' : ''}。`);
        return true;
    }
}

// Served over http or https, the page keeps itself for use offline through
// its service worker (opened from disk there is none, and it needs none),
// says when a newer build has been fetched for the next opening, and asks
// the browser to keep its storage.
function served() {
    if (!/^https?:$/.test(location.protocol)) return;
    const line = (id, words) => {
        $(id).textContent = words;
        $(id).hidden = false;
    };
    const updateReady = () => {
        document.body.dataset.update = 'ready';
        line('update', '已下载新版本：关闭本页（及其他 Quillmere 页面）后再次打开即启用，钢绞线表和读数不受影响。');
    };
    if ('serviceWorker' in navigator) {
        navigator.serviceWorker
            .register('sw.js')
            .then((registration) => {
                if (registration.waiting && navigator.serviceWorker.controller) updateReady();
                registration.addEventListener('updatefound', () => {
                    const worker = registration.installing;
                    worker?.addEventListener('statechange', () => {
                        if (worker.state === 'installed' && navigator.serviceWorker.controller) updateReady();
                    });
                });
            })
            .catch(() => {
                // No worker (a private window, a host without the file): the page works online as before.
            });
    }
    navigator.storage?.persist?.().then(
        (kept) => {
            document.body.dataset.persisted = String(kept);
            if (!kept)
                line('kept', '浏览器未同意长期保存本页的数据：清理浏览数据或存储空间不足时，钢绞线表和读数可能被删除。请定期保存结果、导出张拉记录，或将本页添加到主屏幕。');
        },
        () => {},
    );
}

served();
start().catch((error) => {
    say(`本页无法启动：${error?.message ?? error}`, 'fault');
});
