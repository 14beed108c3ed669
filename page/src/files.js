// The schedule's files: a new schedule, one opened (by 打开 or dropped on
// the page, a workbook's worksheet chosen), the results saved as CSV, as
// the program's workbook or copied, the construction drawing, the sheets
// printed. Every file is the core's; this only moves bytes.

import { svgNode } from './drawing.js';
import { inParts } from './progress.js';
import { typedIn } from './schedule.js';
import { say } from './status.js';
import { storage } from './storage.js';

const $ = (id) => document.getElementById(id);

// whole(): every row given to the core as it stands, once the options
// stand or not; unsaved(what): whether the results may not go out, said;
// selected(): the selected row; cellsOf(row): its cells.
export function fileActions({ core, schedule, site, whole, unsaved, selected, cellsOf }) {
    // Whether the results may go out, every row given to the core first.
    const ready = async (what) => (await whole(), !unsaved(what));
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
    async function openBytes(name, bytes, sheet = '') {
        const read = await core.read(bytes, false, 0, sheet);
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
    $('save').addEventListener('click', async () => {
        if (!(await ready('结果未保存'))) return;
        download(await core.resultsCsv(), 'text/csv;charset=utf-8', 'quillmere-results.csv');
        say('结果已保存为 quillmere-results.csv。');
    });
    // The program's workbook: the results, tendons, setting-out and the
    // site record, with the readings taken on site where there are any.
    let busy = false; // a save or print under way: one at a time
    async function saveWorkbook(readings, name) {
        if (busy) return;
        busy = true;
        let parts = null, done = false;
        try {
            if (!(await ready('工作簿未保存'))) return;
            parts = core.workbookInParts(readings);
            done = await inParts(`正在写工作簿 ${name}…`, schedule.rows.length, (rows) => parts.more(rows));
        } finally {
            busy = false;
            if (!done) parts?.cancel();
        }
        if (!done) return say('已取消，工作簿未保存。');
        const bytes = await parts.end();
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
    async function saveDxf(row, name) {
        if (!(await ready('DXF 未保存'))) return;
        const bytes = await core.dxf(polylines.checked, row);
        if (!bytes.length) return say('没有算出的钢绞线，DXF 未保存。', 'error');
        download(bytes, 'image/vnd.dxf', name);
        say(`已保存 ${name}：每束一个图块，以束号为名，1 个图形单位为 1 mm。`);
    }
    $('save-dxf').addEventListener('click', () => saveDxf(-1, 'quillmere-预应力筋.dxf'));
    $('tendon-dxf').addEventListener('click', () =>
        saveDxf(selected(), `${(cellsOf(selected())?.tendon || 'tendon').replace(/[\\/:*?"<>|]/g, '_')}.dxf`),
    );
    // The sheets printed: laid out for printing only, cleared after.
    $('print-sheets').addEventListener('click', async () => {
        if (busy) return;
        busy = true;
        const pages = [];
        let parts = null, done = false, at = 0;
        const total = schedule.rows.length;
        try {
            if (!(await ready('计算书未打印'))) return;
            parts = core.sheetsInParts();
            done = await inParts('正在排计算书…', total, async (rows) => {
                for (const page of await parts.more(rows)) pages.push(page);
                return (at = Math.min(total, at + rows));
            });
        } finally {
            busy = false;
            if (!done) parts?.cancel();
        }
        if (!done) return say('已取消，计算书未打印。');
        for (const page of await parts.end()) pages.push(page);
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
    // The text handed to the clipboard while the core writes it: a browser
    // that lets a page copy only within the click takes the promise then.
    $('copy').addEventListener('click', async () => {
        const written = ready('没有结果可复制').then((ok) => (ok ? core.resultsTsv() : null));
        const tsv = written.then((text) => (text === null ? Promise.reject(new Error('not copied')) : text));
        try {
            if (globalThis.ClipboardItem && navigator.clipboard?.write)
                await navigator.clipboard.write([new ClipboardItem({ 'text/plain': tsv.then((text) => new Blob([text], { type: 'text/plain' })) })]);
            else await navigator.clipboard.writeText(await tsv);
        } catch {
            const text = await written;
            if (text === null) return; // said why not
            const area = Object.assign(document.createElement('textarea'), { value: text });
            document.body.append(area);
            area.select();
            document.execCommand('copy');
            area.remove();
        }
        say(`已复制 ${schedule.rows.length} 行结果，可粘贴到电子表格。`);
    });
}
