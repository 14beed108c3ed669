// The selected tendon drawn as its calculation sheet draws it: the core
// gives the sheet's own figures (profile, spans, stress before and after
// anchoring) as SVG, laid out once for the PDF and the page alike; the page
// adds under them the key points' x and height as a list.

// svg: the core's markup of the figures; points: its key points by span.
export function drawTendon(svg, points) {
    const parts = [];
    const markup = new DOMParser().parseFromString(svg, 'image/svg+xml').documentElement;
    if (markup.localName === 'svg') parts.push(document.importNode(markup, true));
    const list = document.createElement('table');
    list.className = 'points';
    const head = list.createTHead().insertRow();
    for (const title of ['', '点', 'x (mm，自束左端)', '高度 (mm，自梁底)']) head.append(Object.assign(document.createElement('th'), { textContent: title }));
    const body = list.createTBody();
    for (const span of points.spans ?? [])
        for (const point of span.points) {
            const row = body.insertRow();
            for (const text of [points.spans.length > 1 ? span.name : '', point.name, point.shownX, point.shownHeight])
                row.insertCell().textContent = String(text);
        }
    parts.push(list);
    return parts;
}
