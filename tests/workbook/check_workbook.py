"""quillmere-schedule on engineers' workbooks: the golden schedule as openpyxl,
Gnumeric and Excel's 17 digits write it gives the results of its CSV byte for
byte, from a file or standard input, as does the CSV Gnumeric saves from the
workbook, title row and all; cells with no value refuse their rows, naming
the cell; files that are no workbook exit 2 with nothing written.
Usage: check_workbook.py PROGRAM TENDONS.csv"""
import os
import subprocess
import sys
import tempfile

import openpyxl

sys.path.insert(0, os.path.dirname(__file__))
from workbooks import write_all  # noqa: E402

program, table = sys.argv[1], sys.argv[2]
work = tempfile.mkdtemp()


def run(*args, data=None):
    done = subprocess.run([program, *args], input=data, capture_output=True)
    return done.returncode, done.stdout, done.stderr.decode()


csv_path, books = write_all(table, work)
expected = run(csv_path)
assert expected[0] == 1 and expected[1].count(b'\r\n') > 50, expected[2]
for name in books:
    path = os.path.join(work, name)
    assert run(path) == expected, name
    with open(path, 'rb') as f:
        assert run('-', data=f.read()) == expected, name  # told by what it holds
    assert run('--worksheet', '预应力筋表' if name != 'gnumeric.xlsx' else 'golden.csv', path) == expected, name
# The CSV Gnumeric saves from the workbook's schedule sheet keeps its title row.
subprocess.run(['ssconvert', '-S', os.path.join(work, 'openpyxl.xlsx'), os.path.join(work, 'sheet%n.csv')],
               check=True, capture_output=True)
assert open(os.path.join(work, 'sheet1.csv'), encoding='utf-8').read().startswith('"XX工程 预应力筋表"')
assert run(os.path.join(work, 'sheet1.csv')) == expected

# The continuous-tendon example, spans and all.
example = os.path.join(os.path.dirname(table), '..', '..', 'docs', 'schedule', 'example-continuous.csv')
book = openpyxl.Workbook()
with open(example, encoding='utf-8-sig') as f:
    for line in f.read().splitlines():
        book.active.append([float(v) if v.replace('.', '', 1).isdigit() else (v or None) for v in line.split(',')])
book.save(os.path.join(work, 'continuous.xlsx'))
assert run(os.path.join(work, 'continuous.xlsx')) == run(example)

# Cells that hold no value: a formula never worked out (openpyxl saves none),
# an error, a date. Each refuses its row, naming the cell; the rest are
# worked out; an error where the profile needs nothing is no matter.
code, out, _ = run(os.path.join(work, 'faults.xlsx'))
lines = out.decode('utf-8-sig').splitlines()[1:]
assert code == 1 and [line.split(',')[0] for line in lines] == ['A', 'B', 'C', 'D'], out
for line, words in zip(lines, ['e1 列 表2!C2 是未存计算结果的公式：请在电子表格程序中打开并保存后再读',
                               'e2 列 表2!D3 是错误值 #DIV/0!', 'lc 列 表2!F4 是日期，不是数']):
    assert ',input,' in line and words in line, (line, words)
assert ',ok,' in lines[3], lines[3]

# Files that are no workbook, or no readable one: exit 2, the reason named,
# an earlier results file left as it was.
kept = os.path.join(work, 'kept.csv')
with open(kept, 'w') as f:
    f.write('earlier results')
with open(os.path.join(work, 'openpyxl.xlsx'), 'rb') as f:
    whole = f.read()
compound = b'\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1' + bytes(1024)
for name, content, reason in [
        ('cut.xlsx', whole[:len(whole) // 2], '工作簿已损坏'),
        ('other.xlsx', None, '另存为 Excel 2007-365 (.xlsx)'),
        ('old.xls', compound, 'Excel 97-2003'),
        ('locked.xlsx', compound[:512] + 'EncryptedPackage'.encode('utf-16-le') + compound[512:], '工作簿已加密')]:
    path = os.path.join(work, name)
    if content is None:
        subprocess.run(['ssconvert', csv_path, os.path.join(work, 'other.ods')], check=True, capture_output=True)
        path = os.path.join(work, 'other.ods')  # a zip package, but OpenDocument's
    else:
        with open(path, 'wb') as f:
            f.write(content)
    code, out, err = run('-o', kept, path)
    assert code == 2 and reason in err and path in err, (name, code, err)
    assert open(kept).read() == 'earlier results', name
assert run('--worksheet', '说明', os.path.join(work, 'openpyxl.xlsx'))[2].endswith('说明: 没有表头：前 20 行中没有一行列出 name, profile, e1, e2, lc, lg1 (no header naming the columns among the first 20 rows)\n')
print(f'{len(books)} workbooks through the program')
