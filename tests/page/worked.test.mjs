// The page's thread keeping the results in step with the schedule, against
// a core that records what it is given: only rows not given as they stand
// go to the core, widened to whole tendons by marks as the core reads them;
// options refused keep what was given under the options that stand; the
// answers land in the order asked. Run by CTest with node's test runner.

import assert from 'node:assert/strict';
import test from 'node:test';
import { Worked } from '../../page/src/worked.js';

// A core whose rows are answered by their first field; takeOptions refuses
// {bad: ...}.
function recording() {
    const given = [];
    return {
        given,
        takeOptions: async (options) => (options.bad ? { key: 'bad', message: 'no' } : null),
        evaluate: async (rows, from, total) => {
            given.push([from, rows.map((row) => (row.fields ?? row)[0]), total]);
            return rows.map((row, n) => [from + n, { cells: [(row.fields ?? row)[0]] }]);
        },
    };
}
const rowsOf = (marks) => marks.map((mark, n) => [`r${n}`, mark]);

// [what, marks, the rows asked for (in view, say), what the core is given]
const cases = [
    ['a row alone', ['A', 'B', 'C'], [1, 2], [[1, ['r1'], 3]]],
    ['a span gives its whole tendon', ['A', 'K', 'K', 'K', 'B'], [2, 3], [[1, ['r1', 'r2', 'r3'], 5]]],
    ['blanks and tabs are no part of a mark', ['A', ' K', 'K\t', 'B'], [2, 3], [[1, ['r1', 'r2'], 4]]],
    ['an ideographic space is', ['A', 'K', '\u3000K', 'B'], [2, 3], [[2, ['r2'], 4]]],
    ['rows with no mark are tendons apart', ['', '', ''], [1, 2], [[1, ['r1'], 3]]],
];

for (const [what, marks, [from, to], expected] of cases)
    test(`rows asked for: ${what}`, async () => {
        const core = recording();
        const worked = new Worked(core, 1, ' \t');
        await worked.take({});
        const rows = rowsOf(marks);
        await worked.workOut(rows, from, to);
        assert.deepEqual(core.given, expected);
        // Given as they stand, nothing is given again.
        assert.equal(worked.workOut(rows, from, to), null);
    });

test('an edit gives the core the rows edited alone: it joins their tendon with the rows it holds', async () => {
    const core = recording();
    const worked = new Worked(core, 1, ' \t');
    await worked.take({});
    const rows = rowsOf(['A', 'K', 'K', 'K', 'B']);
    await worked.workOut(rows, 0, 5);
    const edited = rows.map((row, n) => (n === 2 ? ['r2*', 'K'] : row));
    await worked.workOut(edited, 0, 5);
    assert.deepEqual(core.given.at(-1), [2, ['r2*'], 5]);
    assert.deepEqual(worked.results.map((r) => r.cells[0]), ['r0', 'r1', 'r2*', 'r3', 'r4']);
});

test('options refused keep the rows given; options taken give every row again', async () => {
    const core = recording();
    const worked = new Worked(core, 1, ' \t');
    const rows = rowsOf(['A', 'B', 'C', 'D']);
    await worked.take({});
    await worked.workOut(rows, 0, 4);
    assert.deepEqual(await worked.take({ bad: 'x' }), { key: 'bad', message: 'no' });
    await worked.whole(rows);
    assert.equal(core.given.length, 1);
    assert.equal(await worked.take({ strands: '2' }), null);
    worked.whole(rows);
    assert.deepEqual(core.given.at(-1), [0, ['r0', 'r1', 'r2', 'r3'], 4]);
});

test('answers land in the order asked, the schedule as long as last asked', async () => {
    const core = recording();
    const worked = new Worked(core, 1, ' \t');
    await worked.take({});
    const long = rowsOf(['A', 'B', 'C', 'D']);
    const first = worked.workOut(long, 0, 4);
    const short = long.slice(0, 2).map((row) => [`${row[0]}*`, row[1]]);
    const second = Promise.all([worked.resize(short), worked.workOut(short, 0, 2)]);
    await Promise.all([first, second]);
    assert.deepEqual(worked.results.map((r) => r.cells[0]), ['r0*', 'r1*']);
});
