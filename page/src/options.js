// The options panel, from the core's own list of the program's options,
// with its defaults: each typed option goes into the schedule; the one the
// core refuses says why beside its box.

import { say } from './status.js';

const $ = (id) => document.getElementById(id);

// show(): the boxes as the schedule's options stand; refuse(refused,
// standing): the refusal beside its box (none: every box clear), and on the
// status line whether the figures shown still stand.
export function optionsPanel(core, schedule) {
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
    const show = () => {
        for (const [key, { input }] of inputs) if (input.value !== (schedule.options[key] ?? '')) input.value = schedule.options[key] ?? '';
    };
    function refuse(refused, standing) {
        for (const [key, { refusal }] of inputs) refusal.textContent = refused?.key === key ? refused.message : '';
        if (refused)
            say(standing ? '张拉参数有误，未采用：表中仍为此前张拉参数的结果；改正后按新参数计算。' : '张拉参数有误：改正后才计算。', 'error');
    }
    return { show, refuse };
}
