// The page: the schedule in a grid, the options beside it, the selected
// tendon drawn and its site figures large. Every figure is the core's; this
// file only carries texts between the controls, the schedule and the core.

import { loadCore } from './core.js';
import { drawTendon, svgNode } from './drawing.js';
import { afterPaint } from './frames.js';
import { Grid } from './grid.js';
import { edited, Schedule, typedIn } from './schedule.js';
import { fileActions } from './files.js';
import { optionsPanel } from './options.js';
import { served } from './served.js';
import { SiteRecord } from './site.js';
import { hint, keepOnFault, say, warn } from './status.js';
import { storage } from './storage.js';

const $ = (id) => document.getElementById(id);
// ms of working out between two turns of the page's event loop: rows out
// of view change nothing on screen, and a frame with nothing to paint
// leaves the rest of its 16.7 ms free.
const BUDGET = 8;
const COUNTED_EVERY = 250; // ms between two counts shown while rows out of view are worked out
const WORKED_AT_ONCE = 100; // rows worked out between two looks at the time
const PASTED_AT_ONCE = 1000; // lines of a paste read between two frames

async function start() {
    const core = await loadCore();
    const titles = core.columns.output.map((column) => column.title);
    const at = (title) => titles.indexOf(title);
    const schedule = new Schedule(core.columns.input.length, storage());
    warn(schedule.load());
    keepOnFault(() => schedule.flush());
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

    const { show: showOptions, refuse: showRefusal } = optionsPanel(core, schedule);
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

    fileActions({ core, schedule, site, whole, unsaved, selected: () => selectedRow, cellsOf });
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

served();
start().catch((error) => {
    say(`本页无法启动：${error?.message ?? error}`, 'fault');
});
