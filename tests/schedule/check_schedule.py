"""quillmere-schedule against the golden table, and at its edges: the golden
rows as a schedule give the table's texts; the XLSX, read back by openpyxl,
holds what the CSV holds; the calculation sheet, read back by pdftotext, shows
each tendon's length and its heights at the key points, and is the same file
every time; a GB18030, tab-separated, CRLF copy with the Chinese column names
gives the same results; bad rows get their status and bad files exit 2 with
nothing written. Usage: check_schedule.py PROGRAM TENDONS.csv"""
import re
import csv
import io
import os
import subprocess
import sys
import tempfile

import openpyxl

program, table = sys.argv[1], sys.argv[2]
PARAMETERS = ['e1', 'e2', 'e3', 'k1', 'k2', 'k3', 'lc', 'lg1', 'lg2']
ASKED = {'C2a': ['e1', 'e2', 'lc', 'lg1', 'lg2'], 'C4': ['e1', 'e2', 'e3', 'k1', 'k2', 'k3', 'lc', 'lg1']}
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


# The golden rows that need no typing over a box and answer every prompt.
golden = [r for r in csv.DictReader(open(table, encoding='utf-8'))
          if not r['typed_entry'] and not r['typed_equations'] and '' not in r['answers'].split(';')]
schedule = [dict(name='梁' + r['name'], profile=r['profile'], count=str(n % 3 + 1),
                 **dict(zip(ASKED[r['profile']], r['answers'].split(';')))) for n, r in enumerate(golden)]
columns = ['name', 'profile'] + PARAMETERS + ['count']
plain = '\n'.join(','.join(s.get(c, '') for c in columns) for s in [dict(zip(columns, columns))] + schedule)
code, out, _ = run(write('golden.csv', plain))
assert code == 1, code  # the table holds failures
results = rows(out)
assert len(results) == len(golden)
for r, s, g in zip(results, schedule, golden):
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
chinese = plain.replace('name,profile', '编号,线型').replace(',count', ',根数').replace(',', '\t').replace('\n', '\r\n')
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
# Its second worksheet: each ok tendon's setting-out heights, starting at its left end.
heights = {}
for name, x, h in openpyxl.load_workbook(xlsx)['setting-out'].iter_rows(min_row=2, values_only=True):
    heights.setdefault(name, []).append((x, h))
ok = [(s, g) for s, g in zip(schedule, golden) if not g['failure']]
assert sorted(heights) == sorted(s['name'] for s, _ in ok)
assert all(heights[s['name']][0] == (0, int(g['heights'].split(';')[0])) for s, g in ok)

# The sheet: a page (or two) per tendon under its name; an ok tendon's page
# gives its length and, in the setting-out table, the height at each key point.
pdf = os.path.join(work, 'golden.pdf')
assert run('--sheet', pdf, '-o', os.path.join(work, 'sheet.csv'), write('golden.csv', plain))[0] == 1
first = open(pdf, 'rb').read()
assert run('--sheet', pdf, write('golden.csv', plain))[0] == 1 and open(pdf, 'rb').read() == first
pages = {}
for page in subprocess.run(['pdftotext', '-layout', pdf, '-'], capture_output=True, text=True).stdout.split('\f')[:-1]:
    pages[page.split('预应力钢绞线计算书')[0].strip()] = pages.get(page.split('预应力钢绞线计算书')[0].strip(), '') + page
assert len(pages) == len(golden)
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

# Rows the schedule cannot compute, each with its status.
bad = {'12abc': 'input', '"1,5"': 'input', '1e400': 'overflow', '40000': 'overflow'}
lines = [','.join(columns)] + [f'r{n},C4,100,100,100,0.1,0.5,0.1,{lc},1000,,1' for n, lc in enumerate(bad)]
lines += ['=cmd,C4,100,100,100,0.1,0.5,0.1,20000,1000,,0', 'x,C5,1,1,1,1,1,1,1,1,1,1', 'e,C2a,,1,,,,,1,1,1,1']
code, out, _ = run('-', data='\n'.join(lines).encode())
assert [r['status'] for r in rows(out)] == list(bad.values()) + ['input'] * 3 and code == 1
assert rows(out)[len(bad)]['name'] == "'=cmd"

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
print(f'{len(results)} golden rows through the program')
