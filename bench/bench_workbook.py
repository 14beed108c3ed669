"""Reading a workbook of tendons to results, against a peer that only reads:
quillmere-schedule FILE.xlsx -o results.csv (read, worked out, written) and
openpyxl's read-only iteration over every cell of the same file, each in a
process of its own, its wall time and peak memory taken, one size after
another in one run. The workbooks are written by openpyxl: a schedule of
C4 and C2a tendons (name, profile, e1..lg2, count), all numbers as numbers.

Usage: python3 bench/bench_workbook.py PROGRAM [ROWS ...]   (default 10000 100000)"""
import os
import subprocess
import sys
import tempfile
import time

import openpyxl


def workbook(path, rows):
    book = openpyxl.Workbook(write_only=True)
    sheet = book.create_sheet('预应力筋表')
    sheet.append(['XX工程 预应力筋表'])
    sheet.append(['name', 'profile', 'e1', 'e2', 'e3', 'k1', 'k2', 'k3', 'lc', 'lg1', 'lg2', 'count'])
    for n in range(rows):
        if n % 2:
            sheet.append([f'KL{n}', 'C4', 150, 90, 120, 0.12, 0.45, 0.08, 17970 + n % 5000, 1200, None, 1 + n % 4])
        else:
            sheet.append([f'L{n}', 'C2a', 100, 100, None, None, None, None, 16010 + n % 3000, 1100, 0, 2])
    book.save(path)


def measured(command):
    """Seconds and peak resident megabytes of one process."""
    start = time.perf_counter()
    child = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(child.pid, 0)
    seconds = time.perf_counter() - start
    assert os.waitstatus_to_exitcode(status) in (0, 1), child.stderr.read().decode()
    return seconds, usage.ru_maxrss / 1024


PEER = '''import sys, openpyxl
book = openpyxl.load_workbook(sys.argv[1], read_only=True)
cells = sum(1 for sheet in book.worksheets for row in sheet.iter_rows(values_only=True) for cell in row)
'''


def main():
    program = sys.argv[1]
    sizes = [int(n) for n in sys.argv[2:]] or [10000, 100000]
    work = tempfile.mkdtemp()
    print('| rows | workbook | quillmere-schedule | peak memory | openpyxl read-only | peak memory | faster |')
    print('|---:|---:|---:|---:|---:|---:|---:|')
    for rows in sizes:
        path = os.path.join(work, f'{rows}.xlsx')
        workbook(path, rows)
        ours = measured([program, '-o', os.path.join(work, 'results.csv'), path])
        peer = measured(['/usr/bin/python3', '-c', PEER, path])
        print(f'| {rows} | {os.path.getsize(path) / 1e6:.1f} MB | {ours[0]:.2f} s | {ours[1]:.0f} MB '
              f'| {peer[0]:.2f} s | {peer[1]:.0f} MB | {peer[0] / ours[0]:.1f}× |', flush=True)


if __name__ == '__main__':
    main()
