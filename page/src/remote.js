// The core as the page's thread sees it: the same functions, each now a
// promise, answered by the core's own thread (worker.js) in the order they
// were called. The worker's script travels inside the page, so the one
// file opened from disk starts it as the served site does.

export async function startCore(source = document.getElementById('core-worker').textContent) {
    const url = URL.createObjectURL(new Blob([source], { type: 'text/javascript' }));
    const worker = new Worker(url);
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
    const described = await call('describe');
    URL.revokeObjectURL(url);
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
