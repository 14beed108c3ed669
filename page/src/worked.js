// The schedule's results as the core last worked them out, kept in step
// with the schedule on screen. The core is given only the rows it does not
// yet hold as they stand, a tendon's spans together, and answers in the
// order it is asked: the results here are always those of the rows it was
// last given, and whatever is asked of it after a change (a file, a
// tendon's figures, the site record) is of the schedule as changed.

export class Worked {
    // core: the core's thread (remote.js); tendonColumn: the input column of
    // a row's mark; blanks: the characters the core takes off a field's ends.
    constructor(core, tendonColumn, blanks) {
        this.core = core;
        this.tendonColumn = tendonColumn;
        this.edge = new RegExp(`^[${blanks}]+|[${blanks}]+$`, 'g');
        this.results = null; // by row, {fault, spans, ok, cells} or null; null where no options ever stood
        this.given = []; // the rows as the core was last given them
        this.length = 0;
        this.options = null; // the options standing in the core
        this.taking = null; // the options last given, as the core answers
    }

    // A row's mark as the core reads it: consecutive rows of one mark are
    // the spans of a tendon.
    mark(row) {
        return String(row?.[this.tendonColumn] ?? '').replace(this.edge, '');
    }

    // Rows [from, to) widened to the whole tendons they fall in.
    tendons(rows, from, to) {
        const goesOn = (n) => this.mark(rows[n]) !== '' && this.mark(rows[n]) === this.mark(rows[n - 1]);
        while (from > 0 && from < rows.length && goesOn(from)) from--;
        while (to < rows.length && goesOn(to)) to++;
        return [from, to];
    }

    // The options taken where the core takes them: null, or why one is
    // refused ({key, message}), the core keeping those that stood. Rows
    // given meanwhile are worked out under whichever stand, so every row is
    // taken to be given anew at once, and what was given before is kept
    // where the options are refused.
    take(options) {
        const before = this.given;
        this.given = [];
        this.taking = this.core.takeOptions(options).then((refusal) => {
            if (!refusal) {
                this.options = options;
                this.results ??= [];
            } else {
                for (let n = 0; n < Math.min(before.length, this.length); n++) this.given[n] ??= before[n];
            }
            return refusal;
        });
        return this.taking;
    }

    // The core told the schedule's length where it changed.
    resize(rows) {
        if (rows.length === this.length) return null;
        this.given.length = this.length = rows.length;
        return this.ask([], rows.length, rows.length);
    }

    // Rows [from, to) of the schedule, widened to whole tendons, given to the
    // core where any is not as it was last given; what was given, once
    // answered, or null where nothing was.
    workOut(rows, from, to) {
        [from, to] = this.tendons(rows, from, Math.min(rows.length, to));
        const stale = (n) => rows[n] !== this.given[n];
        while (from < to && !stale(from)) from++;
        while (to > from && !stale(to - 1)) to--;
        if (from >= to) return null;
        for (let n = from; n < to; n++) this.given[n] = rows[n];
        this.length = rows.length;
        // A row's unreadable cells beside its fields, as a message carries
        // an array's items alone.
        const given = rows.slice(from, to).map((row) => (row.unreadable ? { fields: row, unreadable: row.unreadable } : row));
        return this.ask(given, from, rows.length);
    }

    // Once the options last given stand or are refused.
    async standing() {
        await this.taking?.catch(() => {});
    }

    // Every row not as last given, given: before the results go out (their
    // answers follow, before anything asked after).
    whole(rows) {
        if (!this.results) return;
        for (let from = 0; from < rows.length; from++) {
            if (rows[from] === this.given[from]) continue;
            let to = from;
            while (to < rows.length && rows[to] !== this.given[to]) to++;
            this.workOut(rows, from, to);
            from = to - 1;
        }
    }

    // The answers kept in the order they come, each of the schedule as it
    // was asked: `total` rows long, the rows it names changed.
    async ask(rows, from, total) {
        const changed = await this.core.evaluate(rows, from, total);
        if (!this.results) return;
        this.results.length = total;
        for (const [at, row] of changed) this.results[at] = row;
    }

    // The cells of a row by their titles; null for a row with nothing in it.
    row(n) {
        return this.results?.[n] ?? null;
    }
}
