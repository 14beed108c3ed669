// The calculator window's two dialogs, both modal and titled "Quillmere", as
// the window's own: the prompt, its question over a text box (focused, its
// text selected), 确定 (Return) and 取消 (Escape), which gives the text typed
// or "" for a cancel; and a failure's report with 确定.

const $ = (id) => document.getElementById(id);

export function ask(question) {
    const dialog = $('calculator-prompt');
    const answer = $('calculator-answer');
    $('calculator-question').textContent = question;
    answer.value = '';
    dialog.returnValue = '';
    return new Promise((resolve) => {
        dialog.addEventListener('close', () => resolve(dialog.returnValue === 'ok' ? answer.value : ''), { once: true });
        dialog.showModal();
        answer.focus();
        answer.select();
    });
}

export function tell(report) {
    const dialog = $('calculator-failure');
    $('calculator-report').textContent = report;
    return new Promise((resolve) => {
        dialog.addEventListener('close', () => resolve(), { once: true });
        dialog.showModal();
        $('calculator-failure-ok').focus();
    });
}
