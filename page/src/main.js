// The page: the schedule in a grid, the options beside it, the selected
// tendon drawn and its site figures large. Every figure is the core's,
// worked out on its own thread; this file only carries texts between the
// controls, the schedule and the core, and paints what the core answers.

import { calculatorView } from './calculator_view.js';
import { drawTendon, svgNode } from './drawing.js';
import { Grid } from './grid.js';
import { startCore } from './remote.js';
import { edited, Schedule, typedIn } from './schedule.js';
import { fileActions } from './files.js';
import { optionsPanel } from './options.js';
import { served } from './served.js';
import { SiteRecord } from './site.js';
import { hint, keepOnFault, say, warn } from './status.js';
import { storage } from './storage.js';
import { Worked } from './worked.js';

const $ = (id) => document.getElementById(id);
const COUNTED_EVERY = 250; // ms between two counts shown while rows out of view are worked out
// Rows out of view given to the core at a time: an edit typed meanwhile
// waits behind at most these.
const WORKED_AT_ONCE = 500;

async function start() {
    const core = startCore();
    const titles = core.columns.output.map((column) => column.title);
    const at = (title) => titles.indexOf(title);
    const schedule = new Schedule(core.columns.input.length, storage());
    warn(schedule.load());
    keepOnFault(() => schedule.flush());
    say(hint());
    const tendonColumn = core.columns.input.findIndex((column) => column.title === 'tendon');
    const worked = new Worked(core, tendonColumn, core.columns.blanks);
    // Every row the core does not yet hold as it stands given to it, under
    // the options as they stand: the files, the figures and the site record
    // asked after are of them.
    const whole = async () => {
        await worked.standing();
        worked.whole(schedule.rows);
    };
    // The site record reads every jack of the schedule.
    const after = (ask) => async (...given) => (await whole(), ask(...given));
    const site = new SiteRecord(
        { ...core, siteJacks: after(core.siteJacks), importRecord: after(core.importRecord) },
        storage(),
        warn,
    );
    const siteWarning = site.load();
    if (siteWarning) warn(siteWarning);

    let selectedRow = 0;

    const cellsOf = (row) => {
        const result = worked.row(row);
        if (!result) return null; // a row with nothing in it
        return Object.fromEntries(titles.map((title, n) => [title, result.cells[n]]));
    };

    // The code of the selected tendon's link to its site record, where the
    // page is given its address: the office hands a tendon to a phone with it.
    function showCode(markup, link) {
        const code = markup ? svgNode(markup) : null;
        $('site-code').hidden = !code;
        $('site-code-image').replaceChildren(...(code ? [code] : []));
        if (code) $('site-code-link').href = link;
    }

    // The selected tendon's figures and drawing, drawn again only when its
    // rows' results or the page's address changed.
    let drawnFor = [];
    async function showSelected() {
        const [from, to] = worked.tendons(schedule.rows, selectedRow, selectedRow + 1);
        const key = [selectedRow, schedule.options['site-url'] ?? ''];
        for (let n = from; n < to; n++) key.push(worked.row(n));
        if (key.length === drawnFor.length && key.every((part, n) => part === drawnFor[n])) return;
        drawnFor = key;
        const cells = cellsOf(selectedRow);
        const card = $('tendon');
        card.hidden = !cells;
        if (!cells) return;
        for (const element of card.querySelectorAll('[data-cell]')) element.textContent = cells[element.dataset.cell] ?? '';
        $('range').textContent = cells.elong_min && `${cells.elong_min} ～ ${cells.elong_max}`;
        card.dataset.status = cells.status === 'ok' ? 'ok' : 'failed';
        // The drawing as the core answers, the figures painted meanwhile.
        const row = selectedRow;
        const [svg, points, code, link] = await Promise.all([core.figures(row), core.keyPoints(row), core.siteCode(row), core.siteLink(row)]);
        if (drawnFor !== key) return; // drawn again meanwhile
        $('figure').replaceChildren(...(svg ? drawTendon(svg, points) : []));
        showCode(code, link);
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

    // Pasted text read as the core reads it, on its thread.
    const readPasted = (text, column) => core.read(text, true, column);

    // Why the options as typed are refused, and those options: the figures
    // meanwhile stay those of the options that stood before them.
    let refusal = null;
    let refusedOptions = null;

    // The schedule worked out as it changes: one pass at a time, and another
    // after it where the schedule changed meanwhile (`wanted`), which also
    // stops the pass from giving the core more of rows no longer current.
    let wanted = false;
    let passing = null;
    let passes = 0;
    function recompute() {
        wanted = true;
        passing ??= (async () => {
            try {
                while (wanted) {
                    wanted = false;
                    await pass(++passes);
                }
            } finally {
                passing = null;
            }
        })();
        return passing;
    }

    // Works out the rows that changed since last time (every row when the
    // options changed): those on screen and the selected one's tendon first,
    // shown as soon as the core answers, then the rest, some hundreds of rows
    // to a message, the page's thread painting throughout.
    async function pass(n) {
        const { options, rows } = schedule;
        // The options given, and the rows in view and the selected tendon
        // right behind them, worked out under the options as they then stand.
        let taking = null;
        if (options === worked.options) refusal = null;
        else if (options !== refusedOptions) taking = worked.take(options);
        const { first, last } = grid.inView();
        const asked = Promise.all([worked.resize(rows), worked.workOut(rows, first, last), worked.workOut(rows, selectedRow, selectedRow + 1)]);
        if (taking) {
            refusal = await taking;
            refusedOptions = refusal ? options : null;
        }
        await asked;
        // Nothing to show where no options ever stood.
        const refused = worked.options === null;
        showRefusal(refusal, !refused);
        await shown(refused);
        if (wanted) return;
        // When results first stood on screen, and how many times since: for
        // tests and benchmarks that wait for the page.
        document.body.dataset.firstResults ??= String(Math.round(performance.now()));
        document.body.dataset.ready = String(n);
        for (let from = 0; !refused && from < rows.length && !wanted; from += WORKED_AT_ONCE) {
            const answered = worked.workOut(rows, from, from + WORKED_AT_ONCE);
            if (!answered) continue;
            await answered;
            if (!wanted) await shown(refused, from + WORKED_AT_ONCE < rows.length);
        }
        if (!wanted) document.body.dataset.complete = String(n);
    }

    // The rows shown as they now stand (not as the pass found them: an edit
    // made while the core answered stands in the grid), with the counts and
    // the selected tendon, and the site record where it is open. The counts
    // change a few times a second while rows out of view are `going` on
    // being worked out: a frame for each would be painted, for a line read
    // at the end.
    let counted = 0;
    async function shown(refused, going = false) {
        if (!refused && !$('site').hidden) await site.refresh();
        await grid.show(schedule.rows, worked.results);
        if (wanted) return;
        if (!going || performance.now() - counted >= COUNTED_EVERY) {
            counted = performance.now();
            const rowsWorked = worked.results ? worked.results.filter(Boolean) : [];
            const tendons = rowsWorked.filter((r) => r.spans > 0).length; // a tendon's first row counts it
            const failed = rowsWorked.filter((r) => !r.ok).length;
            $('counts').textContent = `${tendons} 束，${rowsWorked.length} 行${failed ? `，其中 ${failed} 行未算出` : ''}`;
        }
        showSelected(); // its drawing as the core answers, the rows standing meanwhile
    }

    const { show: showOptions, refuse: showRefusal } = optionsPanel(core, schedule);
    // Whether the results may go out: not while an option is refused, when
    // they are those of options no longer typed.
    const unsaved = (what) => (refusal || !worked.results ? (say(`张拉参数有误，${what}。`, 'error'), true) : false);

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
    const siteMode = (on) => {
        if (on) calculator.show(false);
        document.body.classList.toggle('site-mode', on);
        $('site').hidden = !on;
        $('site-mode').setAttribute('aria-pressed', String(on));
        site.keepOpen(on);
        return on ? site.refresh() : null;
    };
    $('site-mode').addEventListener('click', () => siteMode(!document.body.classList.contains('site-mode')));
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
    const openSite = async () => {
        await siteMode(true);
        site.showRow(0);
    };
    // The calculator window in place of the schedule.
    const calculator = calculatorView(core, schedule, () => siteMode(false), (row) => (selectedRow = row));
    const linked = await openLink();
    await recompute();
    if (linked) await openSite();
    else if (calculator.wanted()) await calculator.show(true);
    else if (site.wasOpen()) await siteMode(true); // reloaded where the site record was open, at its jack
    // Another code scanned while the page is open.
    addEventListener('hashchange', async () => {
        if (!(await openLink())) return;
        await recompute();
        await openSite();
    });

    // A tendon's link, from the code on its sheet: the tendon and its
    // options in place of the schedule (undo brings the schedule back), to
    // be opened in the site record. Taken once: a reload does not take it
    // again. A link that cannot be read changes nothing.
    async function openLink() {
        if (!/^#t\d/.test(location.hash)) return false;
        const link = location.hash;
        history.replaceState(null, '', location.pathname + location.search);
        const read = await core.readSiteLink(link);
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
        say(`已打开束 ${worked.mark(read.rows[0]) || read.rows[0][0]} 的现场记录${before ? '；原钢绞线表可用“撤销”找回' : ''}。`);
        return true;
    }
}

served();
start().catch((error) => {
    say(`本页无法启动：${error?.message ?? error}`, 'fault');
});
