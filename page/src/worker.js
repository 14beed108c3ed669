// The core's own thread: the program's code, compiled to WebAssembly, works
// out the schedule here, so the page's thread only paints and answers the
// engineer. Each message asks for one of the core's functions by name and is
// answered, in the order asked, with what it gave; the bytes of a file go
// back as they are, not copied.

import { loadCore } from './core.js';

// The core, once loaded; a save's or a print's parts while one is written.
const loaded = loadCore();
let parts = null;

const callsOf = (core) => ({
    ...core,
    // One save or print at a time, a part of its rows a message.
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
});

// The functions a message may ask for, with what the page needs before it
// shows anything, and their names.
const calls = loaded.then((core) => {
    const own = callsOf(core);
    const names = Object.keys(own).filter((name) => typeof own[name] === 'function');
    return { ...own, describe: () => ({ columns: core.columns, options: core.options, version: core.version, calls: names }) };
});

const bytesOf = (value) => (value instanceof Uint8Array ? [value.buffer] : []);

addEventListener('message', async ({ data: { id, name, args } }) => {
    try {
        const value = (await calls)[name](...args);
        postMessage({ id, value }, bytesOf(value));
    } catch (error) {
        postMessage({ id, error: String(error?.message ?? error) });
    }
});
