"""quillmere-schedule against the golden table, and at its edges: the golden
rows as a schedule give the table's texts; the XLSX, read back by openpyxl,
holds what the CSV holds; the calculation sheet, read back by pdftotext, shows
each tendon's length and its heights at the key points, and is the same file
every time; a GB18030, tab-separated, CRLF copy with the Chinese column names
gives the same results; bad rows get their status and bad files exit 2 with
nothing written. Usage: check_schedule.py PROGRAM TENDONS.csv"""
import re
import csv
import glob
import io
import os
import subprocess
import sys
import tempfile

import openpyxl

sys.path.insert(0, os.path.dirname(__file__))
from golden import ASKED, PARAMETERS, STRESSING, answered, as_schedule, columns, golden_schedule, jacking, options  # noqa: E402

program, table = sys.argv[1], sys.argv[2]
work = tempfile.mkdtemp()


def run(*args, data=None):
    done = subprocess.run([program, *args], input=data, capture_output=True)
    return done.returncode, done.stdout, done.stderr.decode()


def rows(text):
    assert text.startswith(b'\xef\xbb\xbf') and b'\r\n' in text
    return list(csv.DictReader(io.StringIO(text[3:].decode())))


def write(name, text, encoding='utf-8'):
    path = os.path.join(work, name)
    with open(path, 'wb') as out:
        out.write(text.encode(encoding) if isinstance(text, str) else text)
    return path


FIGURES = ['radius_min', 'theta', 'sigma_far', 'loss', 'elong_left', 'elong_right', 'elong', 'elong_min', 'elong_max',
           'force', 'cut_length', 'set', 'lock_off', 'lf_left', 'lf_right', 'set_loss_left', 'set_loss_right', 'set_loss',
           'sigma_anchored_min', 'loss_total_max']
NOTES = {'control stress low': '低于 0.40 fptk', 'control stress high': '超过 0.75 fptk', 'one end': '宜两端张拉',
         'failed span': '未算出', 'step': '错台', 'whole length': '影响长度超过束长', 'met': '两端同时锁定',
         'slid': '滑向仍持荷', 'reaches first': '到达已锁定', 'slack': '锚固后钢绞线松弛', 'below half': '低于 0.5σcon',
         'radius': '小于 4 m', 'beyond window': '单束计算窗口不能计算'}


def check_stressed(r, g):
    """The tensioning figures and notes of the golden row."""
    figures = dict(zip(FIGURES, g['tensioning'].split(';'))) if g['tensioning'] else dict.fromkeys(FIGURES, '')
    assert {k: r[k] for k in FIGURES} == figures, (g['name'], r, figures)
    for kind, word in NOTES.items():
        assert (word in r['note']) == (kind in g['notes'].split(';')), (g['name'], r['note'])


golden = answered(table)
# Rows stressed by options of their own, each run on its own.
for g in [g for g in golden if options(g)]:
    one = dict(name=g['name'], profile=g['profile'], **dict(zip(ASKED[g['profile']], g['answers'].split(';'))),
               **{k: v for k, v in jacking(g).items() if k in STRESSING})
    code, out, _ = run(*options(g), write('options.csv', as_schedule([one])))
    assert code == 0, (g['name'], code)
    check_stressed(rows(out)[0], g)
golden, schedule, plain = golden_schedule(table)
code, out, _ = run(write('golden.csv', plain))
assert code == 1, code  # the table holds failures
results = rows(out)
assert len(results) == len(golden)
for r, s, g in zip(results, schedule, golden):
    check_stressed(r, g)
    entered = g['failed_at'] != 'entry'
    c2a = g['profile'] == 'C2a'
    expected = {
        **{p: g[f'Text{i + 1}'] if entered else s.get(p, '') for i, p in enumerate(PARAMETERS)},
        **{f'a{i}': '' if c2a and i > 2 else g[f'Text{i + 9}'] for i in range(1, 5)},
        **{f'L{i + 1}': mm for i, mm in enumerate(g['segments'].split(';')) if mm},
        'length': g['Text14'], 'status': g['failure'] or 'ok', 'name': s['name'], 'count': s['count'],
        'total': str(int(g['Text14']) * int(s['count'])) if g['Text14'] else ''}
    assert {k: r[k] for k in expected} == expected, (g['name'], r, expected)

# The same schedule as a Chinese desktop saves it gives the same results.
chinese = (plain.replace('name,profile', '编号,线型').replace(',count', ',根数').replace('sigma_con', '张拉控制应力')
           .replace(',duct', ',孔道').replace(',ends', ',张拉端数').replace(',strands', ',每束根数').replace(',set,', ',锚具回缩,')
           .replace(',tendon', ',束号').replace(',', '\t').replace('\n', '\r\n'))
assert run(write('golden.txt', chinese, 'gb18030'))[1] == out

# The XLSX holds what the CSV holds, numbers as numbers.
xlsx = os.path.join(work, 'golden.xlsx')
assert run('-o', xlsx, write('golden.csv', plain))[0] == 1
sheet = openpyxl.load_workbook(xlsx).active
assert sheet.freeze_panes == 'A2'
for r, cells in zip(results, sheet.iter_rows(min_row=2, values_only=True)):
    for text, cell in zip(r.values(), cells):
        assert (float(text) == cell if isinstance(cell, (int, float)) else (cell or '') == text), (text, cell)
assert sheet.max_row == len(results) + 1
# The tendons: consecutive rows of one mark (a row's own name where it has none).
groups = []
for r in results:
    if groups and groups[-1][0] == r['tendon']:
        groups[-1][1].append(r)
    else:
        groups.append((r['tendon'], [r]))
# Setting-out: each ok span's heights, x from its tendon's left end.
heights, spans_of, start = {}, {}, {}
for mark, rows_of in groups:
    x = 0
    for r in rows_of:
        start[r['name']] = x
        spans_of[r['name']] = mark
        x += int(r['lc']) if r['lc'].lstrip('-').isdigit() else 0
for tendon, name, x, h in openpyxl.load_workbook(xlsx)['setting-out'].iter_rows(min_row=2, values_only=True):
    assert tendon == spans_of[name], (tendon, name)
    heights.setdefault(name, []).append((x, h))
ok = [(s, g) for s, g in zip(schedule, golden) if not g['failure']]
assert sorted(heights) == sorted(s['name'] for s, _ in ok)
assert all(heights[s['name']][0] == (start[s['name']], int(g['heights'].split(';')[0])) for s, g in ok)
# A C2a whose parabolas end lg2/2 apart at mid-span says so, and is set out
# at both heights there, the left parabola's first.
for r, s, g in zip(results, schedule, golden):
    step = round(float(r['lg2'])) / 2 if g['profile'] == 'C2a' and r['status'] == 'ok' else 0
    assert (f'跨中相差 lg2/2 = {step:g} mm，钢绞线长度未计此段' in r['note']) == (step != 0), (g['name'], r['note'])
    if r['status'] == 'ok' and g['profile'] == 'C2a':
        middle = [h for x, h in heights[s['name']] if x == start[s['name']] + round(int(r['lc']) / 2)]
        lg1 = round(float(r['lg1']))
        assert middle == ([round(lg1 / 2), round((lg1 + 2 * step) / 2)] if step else [round(lg1 / 2)]), (g['name'], middle)
# A row a tendon: its spans, its strand to order for all its copies (of
# 15.2 mm strand, 1.101 kg/m) and its status; the bill of materials adds
# them up.
book = openpyxl.load_workbook(xlsx)
titles = next(book['tendons'].iter_rows(values_only=True))
tendons = [dict(zip(titles, row)) for row in book['tendons'].iter_rows(min_row=2, values_only=True)]
assert titles[:8] == ('tendon', 'spans', 'count', 'strands', 'strand_size', 'tendon_length', 'strand', 'strand_mass')
assert len(tendons) == len(groups)
for (mark, rows_of), row in zip(groups, tendons):
    head, failed = rows_of[0], [r['status'] for r in rows_of if r['status'] != 'ok']
    assert (row['tendon'], row['spans']) == (mark, len(rows_of)) and row['status'] == (failed[0] if failed else 'ok'), (mark, row)
    metres = int(head['tendon_length']) * int(head['count']) * row['strands'] / 1000 if head['sigma_con'] else None
    mass = {15.2: 1.101, 12.7: 0.775}.get(row['strand_size'])
    assert row['strand'] == metres and (metres is None or abs(row['strand_mass'] - round(metres * mass, 1)) < 1e-9), (mark, row)
assert any(len(rows_of) == 4 for _, rows_of in groups)
for size in (15.2, 12.7):
    of = [t for t in tendons if t['strand_size'] == size]
    strand = [row for row in book['材料表'].iter_rows(values_only=True) if row[1] == size and row[2] and row[3]]
    assert len(strand) == 1 and abs(strand[0][2] - sum(t['strand'] for t in of)) < 1e-6, strand
    assert abs(strand[0][3] - sum(t['strand_mass'] for t in of) / 1000) < 0.0005 + 0.00005 * len(of), strand

# The site record: under the calibrations, a row for each jack of each ok
# tendon: the stages' forces, the elongation to check and its limits, cells
# for the ruler, the measured elongation worked out from the stages and its
# deviation; the tendon judged on the sum over its jacks against its total,
# and the draw-in checked, marked where they fail.
record = openpyxl.load_workbook(xlsx)['张拉记录']
head = next(n for n, row in enumerate(record.iter_rows(values_only=True), start=1) if row[0] == '编号')
assert record.freeze_panes == f'A{head + 1}'
jacks = [(r['tendon'], end, r[column], r) for r in results if r['status'] == 'ok'
         for end, column in (('左端', 'elong_left'), ('右端', 'elong_right')) if r[column]]
assert record.max_row == head + len(jacks)
for n, (cells, (name, end, elong, r)) in enumerate(zip(record.iter_rows(min_row=head + 1, values_only=True), jacks),
                                                  start=head + 1):
    force = float(r['force'])
    assert cells[:4] == (name, end, None, 10) and cells[10] == float(elong), (n, cells)
    assert abs(cells[8] - force) <= 0.05 and abs(cells[4] - cells[8] / 10) < 1e-9 and abs(cells[6] - cells[8] / 5) < 1e-9, cells
    assert round(cells[10] * 0.94, 6) <= cells[11] + 0.05 and cells[12] - 0.05 <= round(cells[10] * 1.06, 6), cells
    assert all(c is None for c in cells[13:18]) and cells[27] == float(r['set']), cells
    assert f'R{n}-N{n}' in cells[19] and f'(O{n}-N{n})' in cells[19] and f'-S{n}' in cells[19], cells
    assert cells[21:24] == (float(r['elong']), float(r['elong_min']), float(r['elong_max'])), cells
    first = n - 1 if end == '右端' and r['elong_left'] else n
    last = first + 1 if r['elong_left'] and r['elong_right'] else first
    assert f'(T{n}-K{n})/K{n}' in cells[20] and f'SUM(T{first}:T{last})' in cells[24] and f'ABS(Z{n})>6' in cells[26], cells
    assert f'AC{n}>AB{n}' in cells[29], cells
marked = record.conditional_formatting
assert any(f'Z{head + 1}:AA' in str(rule.sqref) and f'ABS($Z{head + 1})>6' in rule.rules[0].formula[0] for rule in marked)
assert any(f'AC{head + 1}:AD' in str(rule.sqref) for rule in marked), marked

# The sheet: a page (or two) per tendon under its name; an ok tendon's page
# gives its length and, in the setting-out table, the height at each key point.
pdf = os.path.join(work, 'golden.pdf')
assert run('--sheet', pdf, '-o', os.path.join(work, 'sheet.csv'), write('golden.csv', plain))[0] == 1
first = open(pdf, 'rb').read()
assert run('--sheet', pdf, write('golden.csv', plain))[0] == 1 and open(pdf, 'rb').read() == first
pages = {}
laid_out = subprocess.run(['pdftotext', '-layout', pdf, '-'], capture_output=True, text=True).stdout.split('\f')[:-1]
# Every word within the page's 15 mm margins (A4 is 595 pt wide).
boxes = subprocess.run(['pdftotext', '-bbox', pdf, '-'], capture_output=True, text=True).stdout
edges = [(float(a), float(b), w) for a, b, w in re.findall(r'xMin="([\d.]+)" yMin="[\d.]+" xMax="([\d.]+)"[^>]*>([^<]*)<', boxes)]
assert edges and all(a >= 42 and b <= 553.3 for a, b, _ in edges), [e for e in edges if e[0] < 42 or e[1] > 553.3][:5]
assert laid_out[-1].startswith('材料表') and '未算出的' in laid_out[-1], laid_out[-1]  # the bill of materials last
for page in laid_out[:-1]:
    pages[page.split('预应力钢绞线计算书')[0].strip()] = pages.get(page.split('预应力钢绞线计算书')[0].strip(), '') + page
# A page (or two) per row, and one per tendon of several spans.
marks = {g['tendon'] for g in golden if g['tendon']}
assert len(pages) == len(golden) + len(marks) and all(f'束 {m}' in pages for m in marks), sorted(pages)
for r, s, g in zip(results, schedule, golden):
    page = pages[s['name']]
    if g['failure']:
        assert f"({g['failure']})" in page, page
        continue
    lc, k = int(r['lc']), {p: float(r[p]) for p in ('k1', 'k2', 'k3') if g['profile'] == 'C4'}
    xs = [0, lc / 2, lc] if g['profile'] == 'C2a' else [0, lc * k['k1'], lc * k['k2'], lc - lc * k['k3'], lc]
    heights = g['heights'].split(';')
    for x, h in zip(xs, heights[:1] + heights[1:-1:2] + heights[-1:]):
        assert re.search(rf'(^|\s){round(x)}\s+{h}(\s|$)', page, re.M), (s['name'], x, h)
    assert f"钢绞线长 {g['Text14']} mm" in page
    # Its tensioning block, on its own page or its tendon's: each jack's
    # elongation with its force, the sum.
    if g['tendon']:
        assert '张拉力' not in page, s['name']
        page = pages[f"束 {g['tendon']}"]
        assert r['tendon_length'] == '' or f"全束钢绞线长 {r['tendon_length']} mm" in page, s['name']
    for column in ('elong_left', 'elong_right'):
        assert not r[column] or f"计算伸长值 {r[column]} mm" in page, (s['name'], column)
    assert not r['force'] or (f"张拉力 {r['force']} kN" in page and f"伸长值合计 {r['elong']} mm" in page), s['name']
    assert not r['lf_left'] or (f"左端 lf = {r['lf_left']} mm" in page and f"锚固后最小应力 {r['sigma_anchored_min']} MPa" in page
                                and f"lf={r['lf_left']}" in page), s['name']

# A schedule longer than the batches it is worked out in comes back in its
# own order, each row with its own numbers.
many = ['name,profile,e1,e2,lc,lg1,lg2,ends'] + [f'n{i},C2a,100,100,{6000 + i},1000,0,{1 + i % 2}' for i in range(10007)]
back = rows(run('-', data='\n'.join(many).encode())[1])
assert [(r['name'], r['lc'], r['ends']) for r in back] == [(f'n{i}', str(6000 + i), ('left', 'both')[i % 2]) for i in range(10007)]

# A row the schedule cannot compute is written all the same, a name that
# would start a formula neutralised, and the run exits 1. (What each column
# refuses is the rows' own table of cases.)
code, out, _ = run('-', data=(','.join(columns) + '\n=cmd,C4,100,100,100,0.1,0.5,0.1,20000,1000,,0').encode())
assert [(r['name'], r['status']) for r in rows(out)] == [("'=cmd", 'input')] and code == 1

# A bad option refuses the run.
# Calibrations: either way round, several at once or again; one that is no
# line, names no jack, reads below zero at σcon or is not given for a jack.
J1, J2 = '--gauge=J1:p=0.0213F-0.70', '--gauge=J2: F = 46.95·p + 33'
for bad, named in ((['--ends', '0'], '--ends'), (['--duct', 'wood'], '--duct'), (['--sigma-con', '-5'], '--sigma-con'),
                   (['--fptk', '1200', '--sigma-con', '1395'], '--sigma-con'), (['--sigma-con', '1500'], '--sigma-con'),
                   (['--lock-off', 'later'], '--lock-off'), (['--strand-size', '15'], '--strand-size'),
                   (['--allow-live', 'x'], '--allow-live'), (['--set', '-0.5'], '--set'),
                   (['--set', '60'], '--set'), (['--initial', '12'], '--initial'), (['--gauge', 'J1:p=0.02x+1'], '--gauge'),
                   (['--gauge', 'p=0.02F'], '--gauge'), (['--gauge', 'J1:p=0.0213F-5'], '--gauge'),
                   (['--gauge', 'J1:F=-46p+3'], '--gauge'), ([J1, '--jacks', 'J1,J3'], '--jacks J1,J3'), ([J1, J1], '--gauge')):
    code, out, err = run(*bad, write('golden.csv', plain))
    assert code == 2 and named in err and not out, (bad, code, err)
code, out, _ = run(J1, J2, '--jacks=J2,J1', '--initial=15', '-o', xlsx, write('golden.csv', plain))
calibrated = openpyxl.load_workbook(xlsx)['张拉记录']
assert [r[:2] for r in calibrated.iter_rows(min_row=2, max_row=3, values_only=True)] == \
    [('J1', '0.0213F-0.70'.join(['p=', ''])), ('J2', 'F = 46.95·p + 33')]
stage = next(r for r in calibrated.iter_rows(values_only=True) if r[1] == '右端')
assert stage[2:4] == ('J1', 15) and abs(stage[9] - (0.0213 * stage[8] - 0.70)) < 1e-9, stage
# A row whose own control stress makes a gauge read below zero is refused, naming it.
low = run(J1, '-', data=b'name,profile,e1,e2,lc,lg1,lg2,sigma_con\nA,C2a,150,90,16010,1100,0,200\n')
assert low[0] == 1 and 'sigma_con 列“200”：千斤顶 J1' in rows(low[1])[0]['message'], low
left = next(r for r in calibrated.iter_rows(values_only=True) if r[1] == '左端')
assert left[2] == 'J2' and abs(left[5] - (left[4] - 33) / 46.95) < 1e-9 and abs(left[4] - left[8] * 0.15) < 1e-9, left

# Schedules that cannot be read: exit 2, a message naming the place, and an
# earlier results file left as it was.
kept = write('kept.csv', 'earlier results')
for name, content, place in [('none.csv', None, 'none.csv'), ('nolc.csv', 'name,profile,e1,e2,lg1\n', 'nolc.csv:1'),
                             ('bytes.csv', b'name,profile,e1,e2,lc,lg1\n\xe6\xa2\x81,C2a\n\xff,C4\n', 'bytes.csv:3:1'),
                             ('quote.csv', 'name,profile,e1,e2,lc,lg1\n"open,C4\n', 'quote.csv:2')]:
    path = write(name, content) if content is not None else os.path.join(work, name)
    code, out, err = run('-o', kept, path)
    assert code == 2 and place in err, (name, code, err)
    assert open(kept).read() == 'earlier results' and not any(f.startswith('kept.csv.') for f in os.listdir(work))
# Continuous tendons: consecutive rows of one mark are the spans of one tendon,
# its figures on its first row. Each span is also run alone, jacked at one
# end, to hold the tendon's angles and friction to its spans'.
SPANS = {'A': 'C4,150,90,120,0.12,0.45,0.08,17970,1200,', 'B': 'C4,120,100,120,0.1,0.5,0.1,12000,1200,',
         'C': 'C4,120,90,150,0.08,0.55,0.12,17970,1200,', 'D': 'C4,180,100,120,0.1,0.5,0.1,12000,1200,'}
HEAD = 'name,tendon,profile,e1,e2,e3,k1,k2,k3,lc,lg1,lg2,count,sigma_con,ends'


def spans(*lines):
    code, out, _ = run('-', data='\n'.join([HEAD] + [f'{n},{m},{SPANS[s]},{c},{sigma},{e}' for n, m, s, c, sigma, e in lines]).encode())
    return code, rows(out)


alone = spans(*[(s, '', s, '', '', '1') for s in 'ABC'])[1]
assert all(r['tendon'] == r['name'] and r['tendon_length'] == r['length'] for r in alone)
code, t = spans(('T1-1', 'T1', 'A', '', '', '1'), ('T1-2', 'T1', 'B', '2', '', ''), ('T1-3', 'T1', 'C', '', '', ''))
first, rest = t[0], t[1:3]
assert all(r['tendon'] == 'T1' and r['count'] == '2' for r in t[:3])
assert [r['length'] for r in t[:3]] == [r['length'] for r in alone]
assert [r['total'] for r in t[:3]] == [str(2 * int(r['length'])) for r in alone]
length = sum(int(r['length']) for r in alone)
assert first['tendon_length'] == str(length) and length > 32767, first
assert all(not r[k] for r in rest for k in FIGURES + ['tendon_length', 'sigma_con', 'note']), rest
assert abs(float(first['theta']) - sum(float(r['theta']) for r in alone)) < 0.0005, first
# Each span takes the stress the one before leaves: its elongation in
# proportion, the stress at the far end the product of the spans' losses.
ratio, elongation = 1, 0
for r in alone:
    elongation += ratio * float(r['elong_left'])
    ratio *= float(r['sigma_far']) / 1395
assert abs(float(first['sigma_far']) - 1395 * ratio) < 0.3 and first['ends'] == 'left', first
assert abs(float(first['elong_left']) - elongation) < 0.3, (first['elong_left'], elongation)
assert '两端张拉' in first['note'], first  # one end, bonded, over 20 m
assert '错台' not in first['note'] and code == 0, first
# The sheet gives a continuous tendon's stressing on its first span's page;
# the site record has a row per jack of the tendon, by its mark.
example = os.path.join(os.path.dirname(table), '..', '..', 'docs', 'schedule', 'example-continuous.csv')
pdf, xlsx = os.path.join(work, 'continuous.pdf'), os.path.join(work, 'continuous.xlsx')
assert run('--allow-live', '700', '--sheet', pdf, '-o', xlsx, example)[0] == 0
text = subprocess.run(['pdftotext', '-layout', pdf, '-'], capture_output=True, text=True).stdout
assert '全束钢绞线长 48430 mm' in text and '计算伸长值 145.0 mm' in text, text[:2000]
tendon_page = ''.join(page for page in text.split('\f') if '束 KL5' in page)
assert re.search(r'(^|\s)29970\s+1080(\s|$)', tendon_page, re.M), tendon_page  # KL5-C's left end, from the tendon's
book = openpyxl.load_workbook(xlsx)
jacks = [r[:2] for r in book['张拉记录'].iter_rows(values_only=True) if r[1] in ('左端', '右端')]
assert jacks == [('KL5', '左端'), ('KL5', '右端'), ('L6', '左端')], jacks
tendons = list(book['tendons'].iter_rows(min_row=2, values_only=True))
# KL5's 7 strands cut 48430 + 2 × 700 mm long, for its 2 tendons; L6's one, jacked at one end.
assert [t[:8] for t in tendons] == [('KL5', 3, 2, 7, 15.2, 48430, 697.62, 768.1), ('L6', 1, 1, 1, 15.2, 16041, 16.741, 18.4)], tendons
bill = list(book['材料表'].iter_rows(values_only=True))
assert [r[1:4] for r in bill if r[1] == 15.2] == [(15.2, 714.361, 0.787)], bill
assert [r[1:4] for r in bill if r[1] in (1, 7) and r[0] is None] == [(1, 1, 1), (7, 4, 0), (1, 16.041, None), (7, 96.86, None)], bill
# Setting out along the whole tendon: each span's heights from the tendon's left end.
starts = {}
for tendon, span, x, h in book['setting-out'].iter_rows(min_row=2, values_only=True):
    starts.setdefault((tendon, span), x)
assert starts == {('KL5', 'KL5-A'): 0, ('KL5', 'KL5-B'): 17970, ('KL5', 'KL5-C'): 29970, ('L6', 'L6'): 0}, starts

# Each stressed tendon's sheet carries the code of its link, which an
# independent decoder reads: four spans with every option given still read
# at 25 mm and 200 dpi (the sheet's 27 mm at 185 dpi). An address a phone
# cannot open exits 2 naming it, with no sheet written.
url = 'https://intranet.example/quillmere/site/'
every = ['--fptk', '1960', '--sigma-con', '1400', '--duct', 'plastic', '--kappa', '0.0016', '--mu', '0.16',
         '--strands', '12', '--area', '139', '--ep', '196000', '--jack', '600', '--allow-live', '700',
         '--allow-dead', '150', '--set', '5', '--initial', '15', '--gauge', 'J1:p=0.0213F-0.70; J2:F=46.95p+33',
         '--stroke', '250', '--jacks', 'J1,J2']
four = write('four.csv', '\n'.join([HEAD] + [f'KL12-{n},KL12,{SPANS[s]},2,,2' for n, s in enumerate('ABCD')]))
coded = os.path.join(work, 'coded.pdf')
assert run('--site-url', url, '--sheet', coded, *every, four)[0] == 0
subprocess.run(['pdftoppm', '-r', '185', '-png', coded, os.path.join(work, 'coded')], check=True)
links = subprocess.run(['zbarimg', '-q', '--raw', *sorted(f for f in glob.glob(os.path.join(work, 'coded*.png')))],
                       capture_output=True, text=True).stdout.split()
assert len(links) == 1 and links[0].startswith(url + '#t1.'), links
for bad in ['ftp://intranet.example/', 'https://', 'https://a b/', 'https://quillmere.example/#x', 'https://例子.cn/']:
    gone = os.path.join(work, 'never.pdf')
    code, _, said = run('--site-url', bad, '--sheet', gone, example)
    assert code == 2 and '--site-url' in said and not os.path.exists(gone), (bad, said)
assert run('--site-url', url, example)[0] == 2  # a code goes on a sheet

# Tendons across the batches the rows are worked out in, each joined whole.
code, t = spans(*[(f's{n}', f'T{n // 3}', 'A', '', '', '') for n in range(5000)])
assert code == 0 and [r['tendon_length'] for r in t] == ['54330' if n % 3 == 0 and n < 4998 else '' for n in range(4998)] + ['36220', '']
print(f'{len(results)} golden rows through the program')
