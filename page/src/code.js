// A tendon's link to its site record as a QR code, as its calculation sheet
// carries it: quartile correction, so a worn or soiled code still reads.

import qrcode from 'qrcode-generator';

// {size, dark: "0101...", row by row}; size 0 where the text is too long.
export function qrModules(text) {
    try {
        const code = qrcode(0, 'Q'); // the smallest version that holds it
        code.addData(text, 'Byte');
        code.make();
        const size = code.getModuleCount();
        let dark = '';
        for (let row = 0; row < size; row++) for (let column = 0; column < size; column++) dark += code.isDark(row, column) ? '1' : '0';
        return { size, dark };
    } catch {
        return { size: 0, dark: '' };
    }
}

// The code as an SVG element, one module a unit, with the four modules of
// light around it a reader needs; null where none can be made.
export function codeSvg(text) {
    const { size, dark } = qrModules(text);
    if (!size) return null;
    const ns = 'http://www.w3.org/2000/svg';
    const svg = document.createElementNS(ns, 'svg');
    svg.setAttribute('viewBox', `-4 -4 ${size + 8} ${size + 8}`);
    svg.setAttribute('role', 'img');
    svg.setAttribute('shape-rendering', 'crispEdges');
    let runs = '';
    for (let row = 0; row < size; row++)
        for (let column = 0; column < size; ) {
            if (dark[row * size + column] !== '1') {
                column++;
                continue;
            }
            const from = column;
            while (column < size && dark[row * size + column] === '1') column++;
            runs += `M${from} ${row}h${column - from}v1h${from - column}z`;
        }
    const background = document.createElementNS(ns, 'rect');
    Object.entries({ x: -4, y: -4, width: size + 8, height: size + 8, fill: '#fff' }).forEach(([k, v]) => background.setAttribute(k, v));
    const path = document.createElementNS(ns, 'path');
    path.setAttribute('d', runs);
    svg.append(background, path);
    return svg;
}
