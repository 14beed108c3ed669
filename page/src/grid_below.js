// Rows added below the last one the grid built, which is out of view: the
// rows on screen stay as they are and only the room below them grows. The
// grid's own adding builds every row in view again for each addition (some
// sixty milliseconds, a frame held back each time; ten thousand pasted rows
// added at once held the page for 150 to 200 ms) and makes its lists of rows
// again for every row added. This reaches into the grid
// library's row manager as version 6.5 of the library (pinned in the
// lock file) keeps it, and says false, changing nothing, where the grid
// must add the rows itself: rows in view, or a library not as written
// against.
//
// (The grid neither sorts nor filters: every row stands, in order, and its
// sorting, left out, writes to every column's header.)

export function addBelow(table, added) {
    const manager = table.rowManager;
    const renderer = manager?.renderer;
    const last = manager?.rows?.at(-1);
    const known = typeof manager?.refreshPipelines === 'function' && typeof manager.setActiveRows === 'function'
        && typeof renderer?.vDomBottomPad === 'number'
        && renderer.tableElement && typeof last?.constructor === 'function';
    if (!known || last.element?.isConnected || !renderer.vDomRowHeight) return false;
    // The rows made as the grid makes them and put at the end, then its
    // lists of rows made again once.
    const Row = last.constructor;
    for (const data of added) manager.rows.push(new Row(data, manager));
    manager.setActiveRows(manager.rows);
    manager.refreshPipelines(undefined, 'display', 0, true);
    manager.dispatch('data-refreshed');
    const height = added.length * renderer.vDomRowHeight;
    renderer.vDomBottomPad += height;
    renderer.vDomScrollHeight += height;
    renderer.tableElement.style.paddingBottom = `${renderer.vDomBottomPad}px`;
    return true;
}
