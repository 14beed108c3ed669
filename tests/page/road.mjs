// The golden table of tendons as roads through the calculator window, the
// same the Qt window's tests walk: select the profile and answer its
// prompts, type over some boxes, compute the parabola equations, type over
// more, compute the strand length; a failure ends the road. What each road
// must end in: the boxes Text1..Text14, the step that failed and the
// failure's kind, and the status line still asking for that step.

import { readFileSync } from 'node:fs';

export const KINDS = ['overflow', 'division by zero', 'invalid operation', 'invalid argument'];

// A row as a schedule works it out, past the window's limits, is no road.
export const goldenRows = (path) =>
    readFileSync(path, 'utf8').split('\n').slice(1).filter((line) => line && !line.endsWith(',schedule')).map((line) => line.split(','));

const typed = (items) => items.split(';').filter(Boolean).map((item) => [Number(item.split('=')[0]), item.slice(item.indexOf('=') + 1)]);

// The steps of a row's road: [name, boxes typed first, what is done].
export const road = (t) => [
    ['entry', [], { select: t[1] === 'C2a' ? 1 : 2, answers: t[2].split(';') }],
    ['equations', typed(t[3]), { click: 1 }],
    ['length', typed(t[4]), { click: 2 }],
];

// status: the status line's words by name, as the core's window design has them.
export const expected = (t, status) => ({
    name: t[0],
    boxes: t.slice(5, 19),
    failedAt: t[20],
    failure: t[21],
    status: status[{ entry: 'enterParameters', equations: 'computeEquations', length: 'computeLength', '': 'readResult' }[t[20]]],
});
