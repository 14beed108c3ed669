"""quillmere-schedule --dxf read back by an independent reader, ezdxf: the
audit finds no error; units, layers and block names are as documented; each
tendon a block inserted under the one before; each parabola a degree-2
spline on 3 control points whose points lie on the parabola the results'
equations give to 0.01 mm (or, with --dxf-polylines, chords within 0.05 mm
of it); the key points labelled with the golden table's heights; the
coordinate table the workbook's setting-out heights; names no block may bear
made legal and unique, the names themselves in the titles; the same file
every time. Usage: check_dxf.py PROGRAM TENDONS.csv"""
import csv
import io
import math
import os
import re
import subprocess
import sys
import tempfile

import ezdxf
import openpyxl

sys.path.insert(0, os.path.join(os.path.dirname(__file__), '..', 'schedule'))
from golden import golden_schedule  # noqa: E402

program, table = sys.argv[1], sys.argv[2]
work = tempfile.mkdtemp()
LAYERS = {'PT-BEAM': 8, 'PT-SUPPORT': 8, 'PT-TENDON': 1, 'PT-POINTS': 3, 'PT-DIM': 4, 'PT-TABLE': 7, 'PT-TITLE': 7}


def run(*args):
    done = subprocess.run([program, *args], capture_output=True)
    assert done.returncode in (0, 1), done.stderr.decode()
    return done


def results_of(text):
    return list(csv.DictReader(io.StringIO(text.decode('utf-8-sig'))))


def heights(row):
    """The tendon's height above the bottom face at x from its span's left
    end, segment by segment, from its equations as the results show them."""
    p = {k: float(row[k]) for k in ('e1', 'e2', 'lc')}
    a = [float(row[f'a{i}']) if row[f'a{i}'] else 0 for i in range(1, 5)]
    lg1, lc = round(float(row['lg1'])), p['lc']
    if row['profile'] == 'C2a':
        return [(0, lc / 2, lambda x: (lg1 - p['e1']) - a[0] * x * x), (lc / 2, lc, lambda x: p['e2'] + a[1] * (lc - x) ** 2)]
    k1, k2, k3, e3 = (float(row[k]) for k in ('k1', 'k2', 'k3', 'e3'))
    return [(0, k1 * lc, lambda x: (lg1 - p['e1']) - a[0] * x * x),
            (k1 * lc, k2 * lc, lambda x: p['e2'] + a[1] * (k2 * lc - x) ** 2),
            (k2 * lc, lc - k3 * lc, lambda x: p['e2'] + a[2] * (x - k2 * lc) ** 2),
            (lc - k3 * lc, lc, lambda x: (lg1 - e3) - a[3] * (lc - x) ** 2)]


def tendons(rows):
    """The schedule's tendons: consecutive rows of one mark."""
    groups = []
    for r in rows:
        if groups and groups[-1][0]['tendon'] == r['tendon'] and r['tendon'] != r['name']:
            groups[-1].append(r)
        else:
            groups.append([r])
    return groups


def check(dxf, rows, polylines=False, book=None):
    doc = ezdxf.readfile(dxf)
    auditor = doc.audit()
    assert not auditor.has_errors and not auditor.fixes, [e.message for e in auditor.errors + auditor.fixes][:5]
    assert doc.dxfversion == 'AC1021' and doc.header['$INSUNITS'] == 4 and doc.header['$MEASUREMENT'] == 1
    assert {layer.dxf.name: layer.dxf.color for layer in doc.layers if layer.dxf.name.startswith('PT-')} == LAYERS
    style = doc.styles.get('HZ')
    assert style.dxf.font == 'gbenor.shx' and style.dxf.bigfont == 'gbcbig.shx' and style.dxf.width == 0.7
    drawn = [g for g in tendons(rows) if all(r['status'] == 'ok' for r in g)]
    inserts = list(doc.modelspace().query('INSERT'))
    assert len(inserts) == len(drawn), (len(inserts), len(drawn))
    names = [i.dxf.name for i in inserts]
    assert all(re.fullmatch(r'[A-Za-z0-9_-]{1,64}', n) for n in names) and len({n.upper() for n in names}) == len(names), names
    # One under the other, clear of each other (a text's height over its
    # baseline).
    def heights_of(block):
        for e in block:
            if e.dxftype() == 'LINE':
                yield from (e.dxf.start.y, e.dxf.end.y)
            elif e.dxftype() == 'TEXT':
                yield from (e.dxf.insert.y, e.dxf.insert.y + e.dxf.height)
    spans = [(min(heights_of(doc.blocks[n])), max(heights_of(doc.blocks[n]))) for n in names]
    tops = [i.dxf.insert.y + top for i, (_, top) in zip(inserts, spans)]
    bottoms = [i.dxf.insert.y + bottom for i, (bottom, _) in zip(inserts, spans)]
    assert all(bottom > top for bottom, top in zip(bottoms, tops[1:])), 'blocks overlap'
    for name, group in zip(names, drawn):
        block = doc.blocks[name]
        starts = [0.0]
        for r in group:
            starts.append(starts[-1] + float(r['lc']))
        curve = [(s + x0, s + x1, f, s) for r, s in zip(group, starts) for x0, x1, f in heights(r) if x1 > x0]
        entities = block.query('SPLINE LWPOLYLINE[layer=="PT-TENDON"]')
        assert len(entities) == len(curve), (name, len(entities), len(curve))
        for entity, (x0, x1, f, s) in zip(entities, curve):
            if polylines:
                points = [(p[0], p[1]) for p in entity.get_points('xy')]
                middles = [((a[0] + b[0]) / 2, (a[1] + b[1]) / 2) for a, b in zip(points, points[1:])]
                assert all(abs(y - f(x - s)) < 0.05 for x, y in middles), (name, 'chord')
            else:
                assert entity.dxf.degree == 2 and entity.control_point_count() == 3 and not entity.fit_points, name
                points = [(p.x, p.y) for p in entity.construction_tool().approximate(20)]
            assert abs(points[0][0] - x0) < 1e-6 and abs(points[-1][0] - x1) < 1e-6, (name, points[0], x0)
            assert all(abs(y - f(x - s)) < 0.01 for x, y in points), (name, [(x, y, f(x - s)) for x, y in points][:3])
        labels = [t.dxf.text for t in block.query('TEXT[layer=="PT-POINTS"]')]
        title = ' '.join(t.dxf.text for t in block.query('TEXT[layer=="PT-TITLE"]'))
        head = group[0]
        assert head['tendon'] in title and f"钢绞线长 {head['tendon_length']} mm" in title and f"{head['count']} 束" in title, title
        for r in group:
            step = round(float(r['lg2'])) / 2 if r['profile'] == 'C2a' else 0
            assert (f'跨中相差 lg2/2 = {step:g} mm' in title) == (step != 0), (title, r['name'])
        if book is not None:
            # The coordinate table: the workbook's setting-out heights.
            cells = [t for t in block.query('TEXT[layer=="PT-TABLE"]') if t.dxf.text.lstrip('-').isdigit()]
            table_rows = {}
            for t in cells:
                table_rows.setdefault(round(t.dxf.align_point.y), []).append((t.dxf.align_point.x, int(t.dxf.text)))
            bands = sorted(table_rows.items(), reverse=True)
            pairs = []
            for (_, xs), (_, hs) in zip(bands[0::2], bands[1::2]):
                pairs += [(x, h) for (_, x), (_, h) in zip(sorted(xs), sorted(hs))]
            assert pairs == book.get(head['tendon'], []), (name, pairs[:5], book.get(head['tendon'], [])[:5])
        yield head, labels


golden, schedule, plain = golden_schedule(table)
schedule_csv = os.path.join(work, 'golden.csv')
with open(schedule_csv, 'w', encoding='utf-8') as f:
    f.write(plain + '\n')
dxf, xlsx = os.path.join(work, 'golden.dxf'), os.path.join(work, 'golden.xlsx')
done = run('--dxf', dxf, '-o', xlsx, schedule_csv)
rows = results_of(run(schedule_csv).stdout)
setting_out = {}
for tendon, _, x, h in openpyxl.load_workbook(xlsx)['setting-out'].iter_rows(min_row=2, values_only=True):
    setting_out.setdefault(tendon, []).append((x, h))
failed = [r['name'] for r in rows if r['status'] != 'ok']
assert all(name in done.stderr.decode() for name in failed), done.stderr.decode()
by_name = {s['name']: g for s, g in zip(schedule, golden)}
for head, labels in check(dxf, rows, book=setting_out):
    if head['tendon'] == head['name']:  # a golden row alone: its key points' heights as the table gives them
        expected = sorted(set(int(h) for h in by_name[head['name']]['heights'].split(';')))
        assert sorted(set(int(label.split()[-1]) for label in labels)) == expected, (head['name'], labels, expected)
# The same schedule, the same bytes.
again = os.path.join(work, 'again.dxf')
run('--dxf', again, '-o', xlsx, schedule_csv)
assert open(again, 'rb').read() == open(dxf, 'rb').read()

# Chords for readers that draw splines badly.
chords = os.path.join(work, 'chords.dxf')
run('--dxf', chords, '--dxf-polylines', schedule_csv)
for _ in check(chords, rows, polylines=True):
    pass

# The continuous-tendon example: a tendon through three spans, one alone.
example = os.path.join(os.path.dirname(table), '..', '..', 'docs', 'schedule', 'example-continuous.csv')
continuous = os.path.join(work, 'continuous.dxf')
run('--dxf', continuous, '-o', xlsx, example)
rows = results_of(run(example).stdout)
setting_out = {}
for tendon, _, x, h in openpyxl.load_workbook(xlsx)['setting-out'].iter_rows(min_row=2, values_only=True):
    setting_out.setdefault(tendon, []).append((x, h))
assert [head['tendon'] for head, _ in check(continuous, rows, book=setting_out)] == ['KL5', 'L6']

# Marks no block name may carry: a legal, unique name each, the mark kept in
# its title; a per cent sign pair kept as written.
marks = ['a/b', '<x>', 'two words', '梁一', '梁二', 'K' * 300, 'kl1', 'KL1', '50%%d']
names = os.path.join(work, 'names.csv')
with open(names, 'w', encoding='utf-8') as f:
    f.write('name,profile,e1,e2,lc,lg1,lg2\n' + ''.join(f'"{m}",C2a,100,100,16000,1000,0\n' for m in marks))
drawing = os.path.join(work, 'names.dxf')
run('--dxf', drawing, names)
doc = ezdxf.readfile(drawing)
inserted = [i.dxf.name for i in doc.modelspace().query('INSERT')]
assert inserted == ['a_b', 'x', 'two_words', 'TENDON', 'TENDON-2', 'K' * 56, 'kl1', 'KL1-2', '50_d'], inserted
titles = [next(t.dxf.text for t in doc.blocks[n].query('TEXT[layer=="PT-TITLE"]')) for n in inserted]
# %%% is AutoCAD's per cent sign: "%%d" written as text would draw a degree sign.
assert all(t.startswith(m.replace('%', '%%%') + '　C2a') for t, m in zip(titles, marks)), titles
print(f'the golden schedule, the continuous example and {len(marks)} marks drawn and read back by ezdxf {ezdxf.__version__}')
