// The browser's storage, where it gives the page any.
export function storage() {
    try {
        return globalThis.localStorage ?? null;
    } catch {
        return null; // a browser that refuses storage to pages opened from disk
    }
}

// Writing to it: null when kept, else which of the two ways it failed, in
// the words the caller gives for each.
export function keep(storage, key, value, words) {
    try {
        if (!storage) throw new Error('no storage');
        storage.setItem(key, JSON.stringify(value));
        return null;
    } catch (error) {
        const full = error?.name === 'QuotaExceededError' || /quota/i.test(String(error?.message));
        return full ? words.full : words.none;
    }
}
