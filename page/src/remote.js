// The core as the page's thread sees it: the same functions, each now a
// promise, answered by the core's own thread (worker.js) in the order they
// were called. The worker's script and the core's description travel inside
// the page, so the one file opened from disk starts it as the served site
// does, and the page is laid out while it starts.

const inPage = (id) => document.getElementById(id).textContent;

// The core's thread, from the worker's script in the page. The page starts
// it as soon as that script is read (early.js), before its own scripts:
// the WebAssembly compiles meanwhile.
export function startWorker(source = inPage('core-worker')) {
    const url = URL.createObjectURL(new Blob([source], { type: 'text/javascript' }));
    const worker = new Worker(url);
    worker.addEventListener('message', () => URL.revokeObjectURL(url), { once: true }); // started: its script is read
    return worker;
}

export function startCore(worker = globalThis.quillmereCore ?? startWorker(), described = JSON.parse(inPage('core-described'))) {
    const waiting = new Map();
    let next = 0;
    let broken = null; // why the core's thread stopped, once it has
    const stop = (why) => {
        broken ??= new Error(why);
        for (const { reject } of waiting.values()) reject(broken);
        waiting.clear();
    };
    worker.addEventListener('message', ({ data: { id, value, error } }) => {
        const call = waiting.get(id);
        waiting.delete(id);
        if (error === undefined) call?.resolve(value);
        else call?.reject(new Error(error));
    });
    worker.addEventListener('error', (event) => {
        event.preventDefault();
        stop(`计算核心出错：${event.message || '未能启动'}`);
    });
    worker.addEventListener('messageerror', () => stop('计算核心的回答无法读取'));
    // Bytes handed to the core are the page's still: copied, never moved.
    const call = (name, ...args) =>
        broken
            ? Promise.reject(broken)
            : new Promise((resolve, reject) => {
                  const id = next++;
                  waiting.set(id, { resolve, reject });
                  worker.postMessage({ id, name, args });
              });
    const core = Object.fromEntries(described.calls.map((name) => [name, (...args) => call(name, ...args)]));
    const inParts = (kind, ...given) => {
        call('partsBegin', kind, ...given);
        return { more: (rows) => call('partsMore', rows), end: () => call('partsEnd'), cancel: () => call('partsCancel') };
    };
    return {
        ...core,
        columns: described.columns,
        options: described.options,
        version: described.version,
        workbookInParts: (...given) => inParts('workbook', ...given),
        sheetsInParts: () => inParts('sheets'),
    };
}
