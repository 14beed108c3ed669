// The calculator window as one of the page's views, in place of the
// schedule: opened by 单束计算 (pressed again, the schedule comes back) or by
// the page's address ending in ?view=window, from disk and served alike; the
// view shown last is the one a reload opens. On a screen narrower than the
// window it is scaled to the width as one picture. 加入钢绞线表 puts the
// window's answers as a new row of the schedule, named once, and shows it.

import { Calculator } from './calculator.js';
import { ask } from './calculator_dialogs.js';
import { typedIn } from './schedule.js';
import { say } from './status.js';
import { storage } from './storage.js';

const $ = (id) => document.getElementById(id);
const KEY = 'quillmere.view';

// core: the core's thread; schedule: the schedule; leaveSite(): the site
// record closed; select(row): a row of the schedule selected.
export function calculatorView(core, schedule, leaveSite, select) {
    const calculator = new Calculator(core, $('calculator-window'));
    let built = null; // the window is built when first shown, not as the page opens
    // Scaled as a whole from its top left corner, its frame as large as
    // what is seen of it.
    const scale = () => {
        const form = $('Form1');
        if (!form) return;
        const s = Math.min(1, document.documentElement.clientWidth / (form.offsetWidth + 2));
        form.style.transform = s < 1 ? `scale(${s})` : '';
        Object.assign($('calculator-window').style, s < 1 ? { width: `${form.offsetWidth * s}px`, height: `${form.offsetHeight * s}px` } : { width: '', height: '' });
    };
    addEventListener('resize', scale);

    const keep = (view) => {
        try {
            storage()?.setItem(KEY, view);
        } catch {
            // no storage: a reload opens the schedule
        }
    };
    async function show(on) {
        if (on) leaveSite();
        document.body.classList.toggle('calculator-mode', on);
        $('calculator').hidden = !on;
        $('window-mode').setAttribute('aria-pressed', String(on));
        keep(on ? 'window' : 'schedule');
        if (on) {
            await (built ??= calculator.build());
            scale();
        }
    }
    $('window-mode').addEventListener('click', () => show(!document.body.classList.contains('calculator-mode')));

    // The window's answers as a row of the schedule, as the core makes it,
    // under a name asked once.
    $('calculator-add').addEventListener('click', async () => {
        if (!calculator.selected().some(Boolean)) return say('请先在单束计算中选择线型并输入参数。', 'error');
        const name = (await ask('钢绞线编号')).trim();
        if (!name) return say('未命名，未加入钢绞线表。');
        const row = await core.windowRecord(calculator.texts(), calculator.selected(), name);
        const rows = typedIn(schedule.rows) ? [...schedule.rows, row] : [row];
        schedule.change({ rows });
        select(rows.length - 1);
        await show(false);
        say(`已将 ${name} 加入钢绞线表，第 ${rows.length} 行（可“撤销”）。`);
    });

    return {
        show,
        // Whether the page is to open on the window: as its address asks
        // (?view=window, ?view=schedule, as the installed program's
        // shortcuts do), else as it was shown last.
        wanted() {
            const asked = new URLSearchParams(location.search).get('view');
            if (asked) return asked === 'window';
            try {
                return storage()?.getItem(KEY) === 'window';
            } catch {
                return false;
            }
        },
    };
}
