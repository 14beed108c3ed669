// The selected tendon drawn as its calculation sheet draws it: the core
// gives the sheet's own figures (profile, spans, stress before and after
// anchoring) as SVG, laid out once for the PDF and the page alike; the page
// adds under them the key points' x and height as a list.

// The core's SVG markup as a node of this document; names in it are
// escaped by the core and stay text.
export function svgNode(markup) {
    const parsed = new DOMParser().parseFromString(markup, 'image/svg+xml').documentElement;
    return parsed.localName === 'svg' ? document.importNode(parsed, true) : null;
}

// svg: the core's markup of the figures; points: its key points by span.
export function drawTendon(svg, points) {
    const drawn = svgNode(svg);
    // The width at which its labels stand at 11 CSS px (3.3 of its units on
    // a screen), which a phone keeps, scrolling the drawing sideways.
    if (drawn?.viewBox?.baseVal?.width) drawn.style.setProperty('--legible', `${Math.ceil((drawn.viewBox.baseVal.width * 11) / 3.3) + 2}px`);
    const parts = drawn ? [drawn] : [];
    const list = document.createElement('table');
    list.className = 'points';
    const head = list.createTHead().insertRow();
    for (const title of ['', '点', 'x (mm，自束左端)', '高度 (mm，自梁底)']) head.append(Object.assign(document.createElement('th'), { textContent: title }));
    const body = list.createTBody();
    for (const span of points.spans ?? [])
        for (const point of span.points) {
            const row = body.insertRow();
            for (const shown of [points.spans.length > 1 ? span.name : '', point.name, point.shownX, point.shownHeight])
                row.insertCell().textContent = `${shown}`;
        }
    parts.push(list);
    return parts;
}
