"""Whether two XLSX workbooks hold the same: the same worksheets in order,
and in each the same cells, values and formulas alike, read by openpyxl.
Usage: same_workbook.py A.xlsx B.xlsx; prints the first difference."""
import sys

import openpyxl

a, b = (openpyxl.load_workbook(path) for path in sys.argv[1:3])
if a.sheetnames != b.sheetnames:
    sys.exit(f'worksheets {a.sheetnames} against {b.sheetnames}')
for name in a.sheetnames:
    rows_a = list(a[name].iter_rows(values_only=True))
    rows_b = list(b[name].iter_rows(values_only=True))
    if len(rows_a) != len(rows_b):
        sys.exit(f'{name}: {len(rows_a)} rows against {len(rows_b)}')
    for n, (row_a, row_b) in enumerate(zip(rows_a, rows_b), start=1):
        if row_a != row_b:
            sys.exit(f'{name} row {n}: {row_a} against {row_b}')
    if a[name].freeze_panes != b[name].freeze_panes:
        sys.exit(f'{name}: panes frozen at {a[name].freeze_panes} against {b[name].freeze_panes}')
print(f'{len(a.sheetnames)} worksheets the same')
