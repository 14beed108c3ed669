// Served over http or https, the page keeps itself for use offline through
// its service worker (opened from disk there is none, and it needs none),
// says when a newer build has been fetched for the next opening, and asks
// the browser to keep its storage.
const $ = (id) => document.getElementById(id);

export function served() {
    if (!/^https?:$/.test(location.protocol)) return;
    const line = (id, words) => {
        $(id).textContent = words;
        $(id).hidden = false;
    };
    const updateReady = () => {
        document.body.dataset.update = 'ready';
        line('update', '已下载新版本：关闭本页（及其他 Quillmere 页面）后再次打开即启用，钢绞线表和读数不受影响。');
    };
    if ('serviceWorker' in navigator) {
        navigator.serviceWorker
            .register('sw.js')
            .then((registration) => {
                if (registration.waiting && navigator.serviceWorker.controller) updateReady();
                registration.addEventListener('updatefound', () => {
                    const worker = registration.installing;
                    worker?.addEventListener('statechange', () => {
                        if (worker.state === 'installed' && navigator.serviceWorker.controller) updateReady();
                    });
                });
            })
            .catch(() => {
                // No worker (a private window, a host without the file): the page works online as before.
            });
    }
    navigator.storage?.persist?.().then(
        (kept) => {
            document.body.dataset.persisted = String(kept);
            if (!kept)
                line('kept', '浏览器未同意长期保存本页的数据：清理浏览数据或存储空间不足时，钢绞线表和读数可能被删除。请定期保存结果、导出张拉记录，或将本页添加到主屏幕。');
        },
        () => {},
    );
}
