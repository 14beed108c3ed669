// What the core's thread answers to: the core's functions by name, a save's
// or a print's parts one message at a time, and the description the page
// starts from (the columns, the options, the version and the names it may
// ask for), which the page's build writes into the page so the page is laid
// out while the core's thread starts.

export function callsOf(core) {
    let parts = null; // a save's or a print's parts while one is written
    return {
        ...core,
        partsBegin(kind, ...given) {
            parts?.cancel();
            parts = kind === 'workbook' ? core.workbookInParts(...given) : core.sheetsInParts();
        },
        partsMore: (rows) => parts.more(rows),
        partsEnd() {
            const end = parts.end();
            parts = null;
            return end;
        },
        partsCancel() {
            parts?.cancel();
            parts = null;
        },
    };
}

export function describe(core) {
    const calls = callsOf(core);
    const names = Object.keys(calls).filter((name) => typeof calls[name] === 'function');
    return { columns: core.columns, options: core.options, version: core.version, calls: names };
}
