// The page's two lines of words: the status line (what was done, what
// failed, or how to fill the schedule) and the warning above it (what the
// browser's storage refused); and anything that goes wrong and is not caught
// where it happens, said there.

const $ = (id) => document.getElementById(id);

// Words already standing are left as they stand: the page is not laid out
// again for them.
export function say(words, kind = 'info') {
    const box = $('message');
    if (box.textContent !== words) box.textContent = words;
    if (box.dataset.kind !== kind) box.dataset.kind = kind;
}

// What the status line says when nothing needs saying: how to fill the
// schedule, as this device can (a touch screen drops no files).
export const touch = () => matchMedia('(pointer: coarse)').matches;
export const hint = () =>
    touch()
        ? '可直接输入，或从 Excel / WPS 复制若干行粘贴到表中（带表头或不带表头均可）；工作簿 (.xlsx) 或 CSV 可“打开”。'
        : '可直接输入，或从 Excel / WPS 复制若干行粘贴到表中（带表头或不带表头均可）；工作簿 (.xlsx) 或 CSV 可“打开”或拖到页面上。';

// Anything that goes wrong in the page and is not caught where it happens
// is said, in the engineer's words; the schedule and the readings are kept
// as they stood (`keep` saves what is not yet saved).
let keep = () => {};
export const keepOnFault = (save) => {
    keep = save;
};
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

export function warn(words) {
    const box = $('warning');
    box.textContent = words ?? '';
    box.hidden = !words;
}
