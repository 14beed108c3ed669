// The core's own thread: the program's code, compiled to WebAssembly, works
// out the schedule here, so the page's thread only paints and answers the
// engineer. Each message asks for one of the core's functions by name and is
// answered, in the order asked, with what it gave; the bytes of a file go
// back as they are, not copied. Messages sent while the core still loads
// wait for it.

import { callsOf } from './calls.js';
import { loadCore } from './core.js';

const calls = loadCore().then(callsOf);

const bytesOf = (value) => (value instanceof Uint8Array ? [value.buffer] : []);

addEventListener('message', async ({ data: { id, name, args } }) => {
    try {
        const value = (await calls)[name](...args);
        postMessage({ id, value }, bytesOf(value));
    } catch (error) {
        postMessage({ id, error: String(error?.message ?? error) });
    }
});
