// The selected tendon drawn to scale as on its calculation sheet: each span's
// beam end to end, the tendon's profile with its key points and heights, the
// supports between spans, and under it the stress along the strand from each
// jack, before and after anchoring. Every point, scale and the paper come from the core; the drawing only
// places labels.

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

// The key point where the span's tendon is lowest.
const lowestOf = (span) => span.points.reduce((best, point, n) => (point.height < span.points[best].height ? n : best), 0);

const path = (points) => points.map(([x, y], n) => `${n ? 'L' : 'M'}${x.toFixed(3)} ${y.toFixed(3)}`).join('');

// d: the core's drawing of a tendon; cells: its first row's result texts by
// column title.
export function drawTendon(d, cells) {
    const { width, height: profileHeight, margin, beamTop: top } = d.paper;
    const height = profileHeight + (d.stress ? STRESS : 0);
    const svg = node('svg', { viewBox: `0 0 ${width} ${height}`, class: 'drawing', role: 'img' });
    node('title', {}, svg).textContent = `${cells.tendon} 线型与应力图`;
    const X = (x) => margin + x / d.across;

    const spans = d.spans.length > 1 ? `，${d.spans.length} 跨` : `（${d.spans[0].profile}）`;
    label(svg, width - 2, 4.5, `横向 1:${d.across}，竖向 1:${d.up}`, { 'text-anchor': 'end', class: 'scale' });
    label(svg, 2, 4.5, `${cells.tendon}${spans}`, { class: 'name' });
    let lowest = top;
    for (const span of d.spans) {
        const bottom = top + span.depth / d.up;
        lowest = Math.max(lowest, bottom);
        const Y = (h) => bottom - h / d.up;
        node('rect', { x: X(span.start), y: top, width: span.span / d.across, height: span.depth / d.up, class: 'beam' }, svg);
        node('path', { d: path(span.curve.map(([x, h]) => [X(x), Y(h)])), class: 'tendon' }, svg);
        if (d.spans.length > 1) label(svg, X(span.start + span.span / 2), top - 6.5, span.name, { 'text-anchor': 'middle', class: 'small' });
        span.points.forEach((point, n) => {
            node('circle', { cx: X(point.x), cy: Y(point.height), r: 0.7, class: 'point' }, svg);
            // Through several spans, only each span's lowest point is labelled.
            if (point.end || (d.spans.length > 1 && n !== lowestOf(span))) return;
            node('line', { x1: X(point.x), y1: top - 1.5, x2: X(point.x), y2: bottom, class: 'mark' }, svg);
            label(svg, X(point.x), top - 2.5, point.name, { 'text-anchor': 'middle', class: 'small' });
            const row = d.spans.length > 1 ? 1 : n % 2; // under the ends' and supports' labels
            label(svg, X(point.x), bottom + 4.5 + row * 4, `${point.shownX}, ${point.shownHeight}`, {
                'text-anchor': 'middle',
                class: 'small',
            });
        });
    }
    // The tendon's ends and its supports, with their x and heights.
    const ends = [d.spans[0].points[0], ...d.spans.map((span) => span.points[span.points.length - 1])];
    ends.forEach((point, n) => {
        const anchor = n === 0 ? 'start' : n === ends.length - 1 ? 'end' : 'middle';
        if (n > 0 && n < ends.length - 1) node('line', { x1: X(point.x), y1: top - 4, x2: X(point.x), y2: lowest + 1, class: 'support' }, svg);
        // One span alternates its labels along its key points, ends included.
        const row = d.spans.length > 1 || n === 0 ? 0 : (d.spans[0].points.length - 1) % 2;
        label(svg, X(point.x), lowest + 4.5 + row * 4, `${point.shownX}, ${point.shownHeight}`, {
            'text-anchor': anchor,
            class: 'small',
        });
    });
    label(svg, X(0), lowest + 13, `l = ${d.length} mm；标注 x（自束左端）, 高度（自梁底）mm`, { class: 'small' });

    if (d.stress) {
        const s = d.stress;
        const all = [...s.left, ...s.right, ...s.anchored].map(([, sigma]) => sigma);
        const low = Math.min(...all);
        const high = s.sigmaCon;
        const gTop = profileHeight + 8;
        const gBottom = height - 5;
        const G = (sigma) => gBottom - ((sigma - low) / Math.max(high - low, 1e-9)) * (gBottom - gTop);
        label(svg, 2, profileHeight + 3, '沿钢绞线的应力 σ (MPa)', { class: 'small' });
        node('line', { x1: X(0), y1: gBottom, x2: X(d.length), y2: gBottom, class: 'axis' }, svg);
        for (const side of [s.left, s.right])
            if (side.length) node('path', { d: path(side.map(([x, sigma]) => [X(x), G(sigma)])), class: 'stress' }, svg);
        // After anchoring, dashed; each set zone's reach marked, the left
        // end's above the curve and the right end's below, so two that pass
        // each other stay apart.
        node('path', { d: path(s.anchored.map(([x, sigma]) => [X(x), G(sigma)])), class: 'anchored' }, svg);
        s.reaches.forEach((reach, end) => {
            node('line', { x1: X(reach.x), y1: G(reach.sigma) - 1.5, x2: X(reach.x), y2: G(reach.sigma) + 1.5, class: 'axis' }, svg);
            label(svg, X(reach.x), G(reach.sigma) + (end ? 4 : -2), `lf ${reach.lf}`, { 'text-anchor': 'middle', class: 'small' });
        });
        label(svg, width - 2, profileHeight + 3, '实线 张拉时　虚线 锚固后', { 'text-anchor': 'end', class: 'small' });
        label(svg, X(0) - 1, G(high) + 1, s.sigmaConText, { 'text-anchor': 'end', class: 'small' });
        if (s.ends === 2) {
            node('line', { x1: X(s.divide), y1: gTop, x2: X(s.divide), y2: gBottom, class: 'mark' }, svg);
            label(svg, X(s.divide), gBottom + 4, `分界点 ${s.sigmaFar}`, { 'text-anchor': 'middle', class: 'small' });
            label(svg, X(d.length) + 1, G(high) + 1, s.sigmaConText, { class: 'small' });
        } else {
            label(svg, X(d.length) + 1, G(low) + 1, s.sigmaFar, { class: 'small' });
        }
    }
    return svg;
}
