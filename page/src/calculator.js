// The calculator window, Form1, in the page: its controls laid out from the
// window's own design (twips of its client area, 15 to a CSS pixel), in its
// tab order, each element named as the window names its control (Text1 ..
// Text15, Option1, Option2, Command1 .. Command4, Picture1, Label1 ..
// Label24). Its handlers are the core's, run over the boxes' texts as they
// stand: the page puts each question the core asks to the prompt and shows
// a failure as the window reports it. One handler runs at a time, as in the
// window.

import { ask, tell } from './calculator_dialogs.js';

const PROFILE_OPTIONS = ['Option1', 'Option2'];

export class Calculator {
    // core: the core's thread; element: where the window stands.
    constructor(core, element) {
        this.core = core;
        this.design = null; // the core's, once built
        this.element = element;
        this.running = Promise.resolve();
        this.pending = 0;
    }

    // Builds the window and puts it into its start state.
    async build() {
        const design = await (this.design = this.core.windowDesign());
        const px = (twips) => `${twips / design.twipsPerPixel}px`;
        const form = document.createElement('div');
        form.id = 'Form1';
        form.style.width = px(design.width);
        form.style.height = px(design.height);
        form.setAttribute('role', 'group');
        form.setAttribute('aria-label', 'Quillmere');
        // In the window's tab order: the page's own order follows the elements'.
        for (const control of [...design.controls].sort((a, b) => a.tab - b.tab)) {
            const element = this.control(control, design);
            Object.assign(element.style, { left: px(control.left), top: px(control.top), width: px(control.width), height: px(control.height) });
            element.classList.toggle('red', control.red);
            element.classList.toggle('bold-song', control.boldSong);
            element.classList.toggle('centred', control.centred);
            form.append(element);
        }
        this.element.replaceChildren(form);
        this.load(design);
    }

    control(control, design) {
        const kind = control.name.replace(/\d+$/, '');
        if (kind === 'Text') {
            const box = Object.assign(document.createElement('input'), { id: control.name, type: 'text', autocomplete: 'off', spellcheck: false });
            box.setAttribute('aria-label', control.name);
            return box;
        }
        if (kind === 'Option') {
            // The option's own element carries its name; the caption is its label.
            const label = document.createElement('label');
            label.className = 'profile';
            const option = Object.assign(document.createElement('input'), { id: control.name, type: 'radio', name: 'Form1-profile' });
            // Only an option turning on runs its handler, as in the window.
            option.addEventListener('change', () => option.checked && this.run(`${control.name}_Click`));
            label.append(option, control.caption);
            return label;
        }
        if (kind === 'Command') {
            const button = Object.assign(document.createElement('button'), { id: control.name, type: 'button', textContent: control.caption });
            button.addEventListener('click', () => this.run(`${control.name}_Click`));
            return button;
        }
        if (kind === 'Picture') {
            const picture = Object.assign(document.createElement('div'), { id: control.name });
            picture.className = 'picture';
            return picture;
        }
        const label = Object.assign(document.createElement('span'), { id: control.name });
        label.className = 'label';
        label.textContent = control.name === 'Label24' ? design.credits.join('\n') : control.caption;
        return label;
    }

    // The start state: the status line asks for a profile, the options clear,
    // every other box empty, the diagram area white and empty.
    load(design) {
        this.box(15).value = design.status.chooseProfile;
        for (const name of PROFILE_OPTIONS) document.getElementById(name).checked = false;
        for (let n = 1; n <= 14; n++) this.box(n).value = '';
        document.getElementById('Picture1').replaceChildren();
        document.getElementById('Picture2').hidden = true;
    }

    // The diagram cleared and drawn again, placed in the area as the window
    // places it: what falls outside is not shown, equally at top and bottom.
    async draw(resource) {
        const design = await this.design;
        const area = document.getElementById('Picture1');
        const twips = design.twipsPerPixel;
        const at = await this.core.windowDiagram(resource, area.clientWidth * twips, area.clientHeight * twips);
        const drawn = new DOMParser().parseFromString(at.svg, 'image/svg+xml').documentElement;
        area.replaceChildren();
        if (drawn.localName !== 'svg') return;
        const svg = document.importNode(drawn, true);
        Object.assign(svg.style, { left: `${at.left / twips}px`, top: `${at.top / twips}px`, width: `${at.width / twips}px`, height: `${at.height / twips}px` });
        area.append(svg);
    }

    box(n) {
        return document.getElementById(`Text${n}`);
    }

    // The window's answers as they stand, for a row of the schedule.
    texts() {
        return Array.from({ length: 15 }, (_, n) => this.box(n + 1).value);
    }

    selected() {
        return PROFILE_OPTIONS.map((name) => document.getElementById(name).checked);
    }

    // A handler run after the one running ends; the window's element is
    // marked busy while any runs or waits. One that goes wrong (the core's
    // thread gone) is said as the page says what it did not catch, and the
    // next runs all the same.
    run(handler) {
        this.pending += 1;
        this.element.dataset.busy = 'true';
        const done = this.running.then(() => this.handle(handler)).finally(() => {
            if (--this.pending === 0) delete this.element.dataset.busy;
        });
        this.running = done.catch(() => {});
        return done;
    }

    async handle(handler) {
        const diagram = { Command3_Click: 101, Command4_Click: 102 }[handler];
        if (diagram) return this.draw(diagram);
        let said = await this.core.windowClick(handler, this.texts(), this.selected());
        for (;;) {
            for (const [box, text] of said.writes) this.box(box).value = text;
            if (said.failure) return tell(said.failure.report);
            if (said.question === null) return;
            said = await this.core.windowAnswer(await ask(said.question));
        }
    }
}
