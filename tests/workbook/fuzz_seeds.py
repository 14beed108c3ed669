"""Seeds for the workbook fuzzer, from the real writers the reader meets: the
program's own workbook (with its site record), openpyxl's and Gnumeric's,
each also with its parts stored uncompressed, so a mutation reaches the XML.
Usage: fuzz_seeds.py TENDONS.csv OUTDIR [PROGRAM]"""
import os
import subprocess
import sys
import tempfile
import zipfile

import openpyxl

sys.path.insert(0, os.path.dirname(__file__))
from workbooks import write_all  # noqa: E402

table, out = sys.argv[1], sys.argv[2]
os.makedirs(out, exist_ok=True)
made = tempfile.mkdtemp()
csv_path, books = write_all(table, made)
books = [os.path.join(made, b) for b in books + ['faults.xlsx', 'two.xlsx']]
if len(sys.argv) > 3:
    own = os.path.join(made, 'program.xlsx')
    example = os.path.join(os.path.dirname(__file__), '..', '..', 'docs', 'schedule', 'example-continuous.csv')
    subprocess.run([sys.argv[3], '--gauge', 'J1:p=0.0213F-0.70', '--step', '5000', '-o', own, example], capture_output=True)
    books.append(own)
# What an input method types: full-width digits and letters, the ideographic
# space, the window's caption for a profile, a remark column, a cell right of
# the header.
typed = openpyxl.Workbook()
typed.active.append(['name', 'profile', 'e1', 'e2', 'e3', 'k1', 'k2', 'k3', 'lc', 'lg1', 'lg2', '备注'])
typed.active.append(['ＫＬ１', 'Ｃ４', '１００', '\u3000100', 100, '０．１', 0.5, 0.1, '２００００', 1000, None, '东侧'])
typed.active.append(['KL2', 'C2a线型', 100, 100, None, None, None, None, 20000, 1000, 0, None, 'beyond'])
books.append(os.path.join(made, 'typed.xlsx'))
typed.save(books[-1])
for book in books:
    name = os.path.basename(book)
    with open(book, 'rb') as f, open(os.path.join(out, name), 'wb') as seed:
        seed.write(f.read())
    with zipfile.ZipFile(book) as source, \
            zipfile.ZipFile(os.path.join(out, 'stored-' + name), 'w', zipfile.ZIP_STORED) as stored:
        for item in source.infolist():
            if not item.filename.startswith(('xl/workbook', 'xl/_rels', 'xl/sharedStrings', 'xl/styles', 'xl/worksheets', '_rels')):
                continue  # parts the reader never opens
            data = source.read(item)
            # A few rows are all a mutation needs, and fewer bytes run faster.
            if item.filename.startswith('xl/worksheets/') and len(data) > 6000:
                data = data[:data.rfind(b'</row>', 0, 6000) + 6] + data[data.rfind(b'</sheetData>'):]
            stored.writestr(item.filename, data)
    # The same parts as XML in UTF-16, which expat reads by its declaration.
    with zipfile.ZipFile(book) as source, \
            zipfile.ZipFile(os.path.join(out, 'utf16-' + name), 'w', zipfile.ZIP_STORED) as utf16:
        for item in source.infolist():
            data = source.read(item)
            if item.filename.endswith('.xml') and len(data) < 6000 and data.startswith(b'<?xml'):
                text = data.decode('utf-8').replace('encoding="UTF-8"', 'encoding="UTF-16"', 1)
                data = text.encode('utf-16')
            utf16.writestr(item.filename, data)
