// The encoder of the QR codes the core draws (a tendon's link to its site
// record, on its sheet and its panel): quartile correction, so a worn or
// soiled code still reads.

import qrcode from 'qrcode-generator';

// {size, dark: 1 for a dark module, row by row}; size 0 where the text is
// too long.
export function qrModules(text) {
    try {
        const code = qrcode(0, 'Q'); // the smallest version that holds it
        code.addData(text, 'Byte');
        code.make();
        const size = code.getModuleCount();
        const dark = new Uint8Array(size * size);
        for (let row = 0; row < size; row++) for (let column = 0; column < size; column++) dark[row * size + column] = code.isDark(row, column) ? 1 : 0;
        return { size, dark };
    } catch {
        return { size: 0, dark: new Uint8Array() };
    }
}
