// Long work a part at a time on the core's thread, the page answering
// throughout: a save's or a print's rows a part at a time, with a bar and
// 取消 once it runs long.

const $ = (id) => document.getElementById(id);
const SLICE = 40; // ms of a save's or a print's work between two looks at 取消
const PROGRESS_AFTER = 500; // ms a save or print runs before its progress is shown

// Long work a part at a time: `part(rows)` does up to that many more rows
// and says (a promise) how many are done of `total`. After about half a
// second a bar shows how far it has got, with 取消 (Escape too). True when
// done, false when stopped.
export async function inParts(title, total, part) {
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
            const before = performance.now();
            done = await part(rows);
            // As many rows as fill about a slice.
            rows = Math.max(1, Math.min(5000, Math.round((rows * SLICE) / Math.max(0.1, performance.now() - before))));
            if (performance.now() - began > PROGRESS_AFTER && !dialog.open) {
                $('progress-title').textContent = title;
                dialog.showModal();
            }
            $('progress-bar').value = total ? done / total : 1;
        }
    } finally {
        if (dialog.open) dialog.close();
    }
    return !stopped;
}
