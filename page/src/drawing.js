// The selected tendon drawn to scale as on its calculation sheet: the beam,
// the tendon's profile with its key points and heights, and under it the
// stress along the strand from each jack. Every point, scale and the paper
// come from the core; the drawing only places labels.

const SVG = 'http://www.w3.org/2000/svg';
const STRESS = 34; // mm under the profile for the stress and its labels

function node(name, attributes, parent) {
    const element = document.createElementNS(SVG, name);
    for (const [key, value] of Object.entries(attributes)) element.setAttribute(key, String(value));
    parent?.append(element);
    return element;
}

function label(parent, x, y, words, attributes = {}) {
    const element = node('text', { x, y, ...attributes }, parent);
    element.textContent = words;
    return element;
}

const path = (points) => points.map(([x, y], n) => `${n ? 'L' : 'M'}${x.toFixed(3)} ${y.toFixed(3)}`).join('');

// d: the core's drawing of a tendon; cells: its result texts by column title.
export function drawTendon(d, cells) {
    const { width, height: profileHeight, margin, beamTop: top } = d.paper;
    const height = profileHeight + (d.stress ? STRESS : 0);
    const svg = node('svg', { viewBox: `0 0 ${width} ${height}`, class: 'drawing', role: 'img' });
    node('title', {}, svg).textContent = `${cells.name} 线型与应力图`;
    const X = (x) => margin + x / d.across;
    const bottom = top + d.depth / d.up;
    const Y = (h) => bottom - h / d.up;

    label(svg, width - 2, 4.5, `横向 1:${d.across}，竖向 1:${d.up}`, { 'text-anchor': 'end', class: 'scale' });
    label(svg, 2, 4.5, `${cells.name}（${d.profile}）`, { class: 'name' });
    node('rect', { x: X(0), y: top, width: d.span / d.across, height: d.depth / d.up, class: 'beam' }, svg);
    node('path', { d: path(d.curve.map(([x, h]) => [X(x), Y(h)])), class: 'tendon' }, svg);
    d.points.forEach((point, n) => {
        node('circle', { cx: X(point.x), cy: Y(point.height), r: 0.7, class: 'point' }, svg);
        const end = n === 0 || n === d.points.length - 1;
        const anchor = n === 0 ? 'start' : n === d.points.length - 1 ? 'end' : 'middle';
        if (!end) node('line', { x1: X(point.x), y1: top - 1.5, x2: X(point.x), y2: bottom, class: 'mark' }, svg);
        if (!end) label(svg, X(point.x), top - 2.5, point.name, { 'text-anchor': anchor, class: 'small' });
        label(svg, X(point.x), bottom + 4.5 + (n % 2) * 4, `${point.shownX}, ${point.shownHeight}`, {
            'text-anchor': anchor,
            class: 'small',
        });
    });
    label(svg, X(0), bottom + 13, `l = ${cells.lc} mm；标注 x, 高度 (mm，自梁底)`, { class: 'small' });

    if (d.stress) {
        const s = d.stress;
        const all = [...s.left, ...s.right].map(([, sigma]) => sigma);
        const low = Math.min(...all);
        const high = s.sigmaCon;
        const gTop = profileHeight + 8;
        const gBottom = height - 5;
        const G = (sigma) => gBottom - ((sigma - low) / Math.max(high - low, 1e-9)) * (gBottom - gTop);
        label(svg, 2, profileHeight + 3, '沿钢绞线的应力 σ (MPa)', { class: 'small' });
        node('line', { x1: X(0), y1: gBottom, x2: X(d.span), y2: gBottom, class: 'axis' }, svg);
        for (const side of [s.left, s.right])
            if (side.length) node('path', { d: path(side.map(([x, sigma]) => [X(x), G(sigma)])), class: 'stress' }, svg);
        label(svg, X(0) - 1, G(high) + 1, cells.sigma_con, { 'text-anchor': 'end', class: 'small' });
        if (s.ends === 2) {
            node('line', { x1: X(s.divide), y1: gTop, x2: X(s.divide), y2: gBottom, class: 'mark' }, svg);
            label(svg, X(s.divide), gBottom + 4, `分界点 ${cells.sigma_far}`, { 'text-anchor': 'middle', class: 'small' });
            label(svg, X(d.span) + 1, G(high) + 1, cells.sigma_con, { class: 'small' });
        } else {
            label(svg, X(d.span) + 1, G(low) + 1, cells.sigma_far, { class: 'small' });
        }
    }
    return svg;
}
