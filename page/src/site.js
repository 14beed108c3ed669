// The site's tensioning record, one tendon and jack at a time, on a phone held
// in a gloved hand: the stage forces and gauge readings to set, the ruler
// readings typed as they are taken, each kept in the browser the moment it is
// typed with the time it was taken, and the measured elongation, its
// deviation and verdict, and the draw-in checked, all as the core works them
// out.

import { keep } from './storage.js';

const KEY = 'quillmere.site';
const VIEW = 'quillmere.site-view'; // open or not, at which jack: a reload comes back there
const VERSION = 1;
const FIELD = '\x1f';
// In the order of the core's readings.
const READINGS = [
    { key: 'l0', label: 'L0 初应力时读数 (mm)' },
    { key: 'l1', label: 'L1 2×初应力时读数 (mm)' },
    { key: 'strokeEnd', label: '第一行程末读数 (mm)', stroke: true },
    { key: 'strokeStart', label: '第二行程始读数 (mm)', stroke: true },
    { key: 'l2', label: 'L2 σcon 时读数 (mm)' },
    { key: 'drawIn', label: '实测锚具回缩 (mm)' },
];
const MARKS = ['', '', '不是数，未采用', '小于前一读数，未采用'];

const $ = (id) => document.getElementById(id);
const jackKey = (jack) => `${jack.tendon}${FIELD}${jack.end}`;
const endName = (end) => (end ? '右端' : '左端');
const clock = (iso) => new Date(iso).toLocaleTimeString('zh-CN', { hour12: false });

export class SiteRecord {
    constructor(core, storage, warn) {
        this.core = core;
        this.storage = storage;
        this.warn = warn;
        this.jacks = [];
        this.at = 0;
        this.readings = {}; // by jack: {reading key: {text, at}}
        this.onImported = null; // told what an import did: (words, failed)
        this.inputs = {};
        this.open = false;
        this.resumeAt = this.view().jack ?? null; // the jack shown before the page was reloaded
        this.build();
    }

    // Where the record stands, kept for the next opening of the page.
    view() {
        try {
            return JSON.parse(this.storage?.getItem(VIEW) ?? '{}') ?? {};
        } catch {
            return {};
        }
    }
    keepView() {
        const jack = this.jacks[this.at];
        try {
            this.storage?.setItem(VIEW, JSON.stringify({ open: this.open, jack: jack ? jackKey(jack) : this.resumeAt }));
        } catch {
            // no storage: a reload opens the schedule, the readings as kept
        }
    }
    keepOpen(open) {
        this.open = open;
        this.keepView();
    }
    wasOpen() {
        return this.view().open === true;
    }

    // What was kept, or a reason it could not be read.
    load() {
        try {
            const text = this.storage?.getItem(KEY);
            if (!text) return null;
            const kept = JSON.parse(text);
            // Older formats are read forward; one a newer page wrote is left
            // as it is, and not written over.
            if (!(kept.version <= VERSION)) {
                this.newer = true;
                return '浏览器中保存的张拉记录来自较新版本的 Quillmere，未载入，也不会被覆盖：请用较新版本打开。';
            }
            this.readings = kept.readings ?? {};
            return null;
        } catch {
            return '浏览器中保存的张拉记录无法读取，未载入。';
        }
    }

    save() {
        if (this.newer) return '浏览器中保存有较新版本的张拉记录：刚输入的读数未保存，以免覆盖它，请另行记下。';
        return keep(this.storage, KEY, { version: VERSION, readings: this.readings }, {
            full: '浏览器存储已满：刚输入的读数未能保存，请勿关闭本页，先记下读数后清理存储。',
            none: '浏览器存储不可用：读数不会在关闭本页后保留，请另行记下。',
        });
    }

    build() {
        const form = $('site-readings');
        for (const reading of READINGS) {
            const box = document.createElement('label');
            box.className = reading.stroke ? 'reading stroke' : 'reading';
            const name = document.createElement('span');
            name.textContent = reading.label;
            const input = document.createElement('input');
            Object.assign(input, { inputMode: 'decimal', autocomplete: 'off', name: reading.key });
            input.setAttribute('enterkeyhint', 'next');
            const note = document.createElement('small');
            box.append(name, input, note);
            form.append(box);
            this.inputs[reading.key] = { input, note, box };
            input.addEventListener('input', () => this.typed(reading.key, input.value));
        }
        $('site-jack').addEventListener('change', () => this.show(Number($('site-jack').value)));
        $('site-import').addEventListener('click', () => $('site-file').click());
        $('site-file').addEventListener('change', async () => {
            const file = $('site-file').files[0];
            $('site-file').value = '';
            if (!file) return;
            const { words, ok } = await this.import(new Uint8Array(await file.arrayBuffer()), file.name);
            this.onImported?.(words, !ok);
        });
        $('site-prev').addEventListener('click', () => this.show(this.at - 1));
        $('site-next').addEventListener('click', () => this.show(this.at + 1));
    }

    // The jacks of the schedule as last worked out.
    async refresh() {
        const jacks = await this.core.siteJacks();
        const current = this.jacks[this.at] ? jackKey(this.jacks[this.at]) : this.resumeAt;
        this.jacks = jacks;
        const select = $('site-jack');
        select.replaceChildren(
            ...this.jacks.map((jack, n) => new Option(`${jack.tendon} ${endName(jack.end)}${jack.jack ? ` ${jack.jack}` : ''}`, String(n))),
        );
        const again = current ? this.jacks.findIndex((jack) => jackKey(jack) === current) : -1;
        this.show(again >= 0 ? again : Math.min(this.at, this.jacks.length - 1));
    }

    // The first jack of the tendon whose figures stand on a row.
    showRow(row) {
        const n = this.jacks.findIndex((jack) => jack.row === row);
        if (n >= 0) this.show(n);
    }

    show(n) {
        const jack = this.jacks[n];
        $('site-empty').hidden = Boolean(jack);
        $('site-jack-record').hidden = !jack;
        if (!jack) return;
        this.at = n;
        this.resumeAt = null;
        this.keepView();
        $('site-jack').value = String(n);
        $('site-prev').disabled = n === 0;
        $('site-next').disabled = n === this.jacks.length - 1;
        const rows = jack.stages.map((stage, k) => {
            const row = document.createElement('tr');
            for (const text of [this.core.columns.stages[k], `${stage.percent}%`, stage.force, stage.gauge || '—']) {
                const cell = document.createElement('td');
                cell.textContent = text;
                row.append(cell);
            }
            return row;
        });
        $('site-stages').replaceChildren(...rows);
        // Both ends jacked, the tendon is judged on their sum: this end's
        // own range is for information.
        $('site-own').textContent = jack.both ? `${endName(jack.end)}计算伸长值（参考）` : '计算伸长值';
        $('site-elongation').textContent = `${jack.elongation}（${jack.min} ～ ${jack.max}）`;
        $('site-whole').hidden = !jack.both;
        $('site-total').textContent = `${jack.total}（${jack.totalMin} ～ ${jack.totalMax}）`;
        for (const element of document.querySelectorAll('#site .site-whole')) element.hidden = !jack.both;
        $('site-measured-label').textContent = jack.both ? '本端实测伸长值' : '实测伸长值';
        $('site-deviation-label').textContent = jack.both ? '本端偏差（参考）' : '偏差';
        $('site-verdict-label').textContent = `${jack.both ? '全束伸长值' : '伸长值'} ${this.core.columns.tolerance}`;
        $('site-set').textContent = jack.set;
        const kept = this.readings[jackKey(jack)] ?? {};
        for (const reading of READINGS) {
            const { input, box } = this.inputs[reading.key];
            input.value = kept[reading.key]?.text ?? '';
            if (reading.stroke) box.hidden = !jack.twoStrokes && !kept.strokeEnd?.text && !kept.strokeStart?.text;
        }
        this.check();
    }

    typed(key, text) {
        const jack = this.jacks[this.at];
        if (!jack) return;
        const readings = (this.readings[jackKey(jack)] ??= {});
        readings[key] = { text, at: new Date().toISOString() };
        this.warn(this.save());
        this.check();
    }

    // The readings of every jack, as the workbook's record takes them.
    all() {
        return Object.entries(this.readings).map(([key, kept]) => {
            const [tendon, end] = key.split(FIELD);
            return {
                tendon,
                end: Number(end),
                typed: READINGS.map((reading) => kept[reading.key]?.text ?? ''),
                at: READINGS.map((reading) => kept[reading.key]?.at ?? ''),
            };
        });
    }

    // A workbook's record read back: its readings take the place of those
    // of the same jacks; one of another schedule is refused whole.
    async import(bytes, name) {
        const read = await this.core.importRecord(bytes);
        if (read.error) return { words: `无法导入 ${name}：${read.error}`, ok: false };
        for (const jack of read.readings) {
            const kept = {};
            READINGS.forEach((reading, n) => {
                if (jack.typed[n]) kept[reading.key] = { text: jack.typed[n], at: jack.at[n] || new Date().toISOString() };
            });
            this.readings[`${jack.tendon}${FIELD}${jack.end}`] = kept;
        }
        this.warn(this.save());
        await this.refresh();
        return { words: `已从 ${name} 导入 ${read.readings.length} 个张拉端的记录。`, ok: true };
    }

    // The readings as the core checks them, shown beside each input: this
    // end's, and the tendon judged on both its ends where both are jacked;
    // the core's answer shown only where nothing was typed or chosen since.
    async check() {
        const asked = (this.asked = (this.asked ?? 0) + 1);
        const jack = this.jacks[this.at];
        const typedAt = (end) => {
            const kept = this.readings[jackKey({ tendon: jack.tendon, end })] ?? {};
            return READINGS.map((reading) => kept[reading.key]?.text ?? '');
        };
        const kept = this.readings[jackKey(jack)] ?? {};
        const result = await this.core.siteCheck(jack.row, typedAt(0), typedAt(1));
        if (asked !== this.asked) return;
        const own = result.ends?.[jack.end] ?? {};
        READINGS.forEach((reading, n) => {
            const { note, box } = this.inputs[reading.key];
            const mark = MARKS[own.marks?.[n] ?? 0];
            box.classList.toggle('bad', Boolean(mark));
            const at = kept[reading.key]?.text ? `记于 ${clock(kept[reading.key].at)}` : '';
            note.textContent = [mark, at].filter(Boolean).join('；');
        });
        $('site-measured').textContent = own.measured ? `${own.measured} mm` : '—';
        $('site-deviation').textContent = own.deviation ? `${own.deviation}%` : '—';
        $('site-total-measured').textContent = result.measured ? `${result.measured} mm` : '—';
        $('site-total-deviation').textContent = result.deviation ? `${result.deviation}%` : '—';
        const verdict = $('site-verdict');
        const pending = result.waiting && own.measured ? `待${endName(1 - jack.end)}读数` : '待读数';
        verdict.textContent = result.within === null ? pending : result.within ? '合格' : '超出';
        verdict.dataset.verdict = result.within === null ? '' : result.within ? 'ok' : 'bad';
        const drawIn = $('site-draw-in');
        const drawn = own.drawIn ?? null;
        drawIn.textContent = drawn === null ? '—' : drawn ? '合格' : '超出';
        drawIn.dataset.verdict = drawn === null ? '' : drawn ? 'ok' : 'bad';
    }
}
