"""The golden table's rows as a schedule the program reads, shared by the
suites that feed it to the program in its several forms."""
import csv

PARAMETERS = ['e1', 'e2', 'e3', 'k1', 'k2', 'k3', 'lc', 'lg1', 'lg2']
ASKED = {'C2a': ['e1', 'e2', 'lc', 'lg1', 'lg2'], 'C4': ['e1', 'e2', 'e3', 'k1', 'k2', 'k3', 'lc', 'lg1']}
# How a row is stressed: its own columns, and the program's options.
STRESSING = ['sigma_con', 'duct', 'kappa', 'mu', 'ends', 'strands', 'set', 'lock_off', 'strand_size']
columns = ['name', 'profile'] + PARAMETERS + ['count'] + STRESSING + ['tendon']


def jacking(row):
    return dict(item.split('=') for item in row['stressing'].split(';') if item)


def options(row):
    return [f'--{k}={v}' for k, v in jacking(row).items() if k not in STRESSING]


def as_schedule(rows):
    return '\n'.join(','.join(s.get(c, '') for c in columns) for s in [dict(zip(columns, columns))] + rows)


def answered(table):
    """The golden rows that need no typing over a box and answer every prompt."""
    return [r for r in csv.DictReader(open(table, encoding='utf-8'))
            if not r['typed_entry'] and not r['typed_equations'] and '' not in r['answers'].split(';')
            and r['limits'] != 'window']


def golden_schedule(table):
    """Those of them stressed by the program's defaults, as one schedule: the
    golden rows, the schedule's rows (a tendon's count one for all its spans)
    and its CSV text."""
    golden = [g for g in answered(table) if not options(g)]
    first = {}
    for n, r in enumerate(golden):
        first.setdefault(r['tendon'] or n, n)
    schedule = [dict(name='梁' + r['name'], profile=r['profile'], count=str(first[r['tendon'] or n] % 3 + 1),
                     tendon=r['tendon'], **dict(zip(ASKED[r['profile']], r['answers'].split(';'))), **jacking(r))
                for n, r in enumerate(golden)]
    return golden, schedule, as_schedule(schedule)
