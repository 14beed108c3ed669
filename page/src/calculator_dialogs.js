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
    // Answered as the form is sent (确定 or Return, 取消) or the dialog is
    // cancelled (Escape), not by the close that follows a task later: that of
    // one question would answer the next.
    return new Promise((resolve) => {
        const form = dialog.querySelector('form');
        const answered = (typed) => {
            form.removeEventListener('submit', sent);
            dialog.removeEventListener('cancel', cancelled);
            resolve(typed);
        };
        const sent = (event) => answered(event.submitter?.value === 'ok' ? answer.value : '');
        const cancelled = () => answered('');
        form.addEventListener('submit', sent);
        dialog.addEventListener('cancel', cancelled);
        dialog.showModal();
        answer.focus();
        answer.select();
    });
}

export function tell(report) {
    const dialog = $('calculator-failure');
    $('calculator-report').textContent = report;
    return new Promise((resolve) => {
        const form = dialog.querySelector('form');
        const done = () => {
            form.removeEventListener('submit', done);
            dialog.removeEventListener('cancel', done);
            resolve();
        };
        form.addEventListener('submit', done);
        dialog.addEventListener('cancel', done);
        dialog.showModal();
        $('calculator-failure-ok').focus();
    });
}
