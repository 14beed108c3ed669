"""The golden schedule as engineers' workbooks hold it, written by real
spreadsheet writers into OUTDIR:
  golden.csv     the schedule as CSV
  openpyxl.xlsx  by openpyxl: a cover sheet first, the schedule on the second
                 worksheet under a merged title row, numbers as numbers
  typed.xlsx     the same with every number as Excel stores it, to 17
                 significant digits (0.12 as 0.11999999999999999)
  gnumeric.xlsx  Gnumeric's own, converted from the CSV by ssconvert
and two small ones:
  faults.xlsx    rows with cells that hold no value: a formula openpyxl saves
                 without one, an error, a date, and an error where no value
                 is needed
  two.xlsx       two worksheets that each hold a schedule
Usage: workbooks.py TENDONS.csv OUTDIR"""
import csv
import datetime
import io
import os
import re
import subprocess
import sys
import zipfile

import openpyxl

sys.path.insert(0, os.path.join(os.path.dirname(__file__), '..', 'schedule'))
from golden import golden_schedule  # noqa: E402

NUMBER = re.compile(r'^[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?$')


def cell(field):
    """A field as a spreadsheet holds it once typed: a number where it is
    one a double holds, else text; nothing where empty."""
    if field == '':
        return None
    if NUMBER.match(field) and abs(float(field)) != float('inf'):
        return int(field) if re.fullmatch(r'-?\d+', field) else float(field)
    return field


def write_all(table, out):
    os.makedirs(out, exist_ok=True)
    _, _, plain = golden_schedule(table)
    csv_path = os.path.join(out, 'golden.csv')
    with open(csv_path, 'w', encoding='utf-8') as f:
        f.write(plain + '\n')
    rows = list(csv.reader(io.StringIO(plain)))

    book = openpyxl.Workbook()
    book.active.title = '说明'
    book.active['A1'] = '本工作簿第二张表为预应力筋表'
    sheet = book.create_sheet('预应力筋表')
    sheet.append(['XX工程 预应力筋表'])
    sheet.merge_cells(start_row=1, start_column=1, end_row=1, end_column=len(rows[0]))
    for row in rows:
        sheet.append([cell(f) for f in row])
    book.save(os.path.join(out, 'openpyxl.xlsx'))

    with zipfile.ZipFile(os.path.join(out, 'openpyxl.xlsx')) as source, \
            zipfile.ZipFile(os.path.join(out, 'typed.xlsx'), 'w', zipfile.ZIP_DEFLATED) as typed:
        for item in source.infolist():
            data = source.read(item)
            if item.filename.startswith('xl/worksheets/'):
                data = re.sub(rb'(<c [^>]*t="n"[^>]*><v>)([^<]+)(</v>)',
                              lambda m: m[1] + format(float(m[2]), '.17g').encode() + m[3], data)
            typed.writestr(item, data)

    gnumeric = os.path.join(out, 'gnumeric.xlsx')
    done = subprocess.run(['ssconvert', '--export-type=Gnumeric_Excel:xlsx2', csv_path, gnumeric],
                          capture_output=True, text=True)
    assert done.returncode == 0 and os.path.exists(gnumeric), done.stderr

    book = openpyxl.Workbook()
    sheet = book.active
    sheet.title = '表2'
    sheet.append(['name', 'profile', 'e1', 'e2', 'k1', 'lc', 'lg1', 'lg2'])
    sheet.append(['A', 'C2a', '=1+1', 100, None, 20000, 1000, 0])
    sheet.append(['B', 'C2a', 100, '#DIV/0!', None, 20000, 1000, 0])
    sheet.append(['C', 'C2a', 100, 100, None, datetime.date(2026, 12, 8), 1000, 0])
    sheet.append(['D', 'C2a', 100, 100, '#N/A', 20000, 1000, 0])
    book.save(os.path.join(out, 'faults.xlsx'))

    book = openpyxl.Workbook()
    for title, lc in (('一层', 20000), ('二层', 16000)):
        sheet = book.create_sheet(title)
        sheet.append(['编号', '线型', 'e1', 'e2', 'lc', 'lg1', 'lg2'])
        sheet.append([f'{title}-1', 'C2a', 100, 100, lc, 1000, 0])
    del book['Sheet']
    book.save(os.path.join(out, 'two.xlsx'))
    return csv_path, ['openpyxl.xlsx', 'typed.xlsx', 'gnumeric.xlsx']


if __name__ == '__main__':
    write_all(sys.argv[1], sys.argv[2])
