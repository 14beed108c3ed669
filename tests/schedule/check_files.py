"""quillmere-schedule with the engineer's own files: never written over, kept
as they were when a run fails or is stopped, replaced with their mode and
links; what a spreadsheet writes read as typed; each refusal said; the rows
that failed named; progress only on a terminal.
Usage: check_files.py PROGRAM EXAMPLE.csv"""
import csv
import io
import os
import pty
import select
import shutil
import signal
import stat
import subprocess
import sys
import tempfile
import time

import openpyxl

program, example = sys.argv[1], sys.argv[2]
work = tempfile.mkdtemp()
os.chdir(work)
HEAD = 'name,profile,e1,e2,e3,k1,k2,k3,lc,lg1,lg2'
ROW = 'KL1,C4,100,100,100,0.1,0.5,0.1,20000,1000,'


def run(*args, data=None):
    done = subprocess.run([program, *args], input=data, capture_output=True)
    return done.returncode, done.stdout, done.stderr.decode()


def write(name, content, mode=None):
    with open(name, 'wb') as f:
        f.write(content.encode() if isinstance(content, str) else content)
    if mode is not None:
        os.chmod(name, mode)
    return name


def rows(text):
    return list(csv.DictReader(io.StringIO(text.decode('utf-8-sig'))))


def temporaries():
    return [f for f in os.listdir('.') if '.' in f and len(f.rsplit('.', 1)[1]) == 6 and not f.endswith('.schedule')]


shutil.copy(example, 'schedule.csv')
plain = open('schedule.csv', 'rb').read()

# The schedule is never written over, by whatever name it is reached; nothing
# else is written either.
os.symlink('schedule.csv', 'link.csv')
os.link('schedule.csv', 'hard.pdf')
os.link('schedule.csv', 'hard.dxf')
os.mkdir('sub')
for args in (['-o', 'schedule.csv'], ['-o', 'link.csv'], ['-o', 'sub/../schedule.csv'], ['--sheet', 'hard.pdf'],
             ['--dxf', 'hard.dxf'], ['-o', 'fresh.csv', '--dxf', 'hard.dxf']):
    code, _, err = run(*args, 'schedule.csv')
    assert code == 2 and 'schedule.csv' in err and args[-1] in err and '不会写在它上面' in err, (args, err)
    assert open('schedule.csv', 'rb').read() == plain and not os.path.exists('fresh.csv') and not temporaries(), args
book = openpyxl.Workbook()
book.active.append(HEAD.split(','))
book.active.append(ROW.split(','))
book.create_sheet('说明').append(['the engineer’s other worksheet'])
book.save('book.xlsx')
kept = open('book.xlsx', 'rb').read()
code, _, err = run('-o', 'book.xlsx', 'book.xlsx')
assert code == 2 and open('book.xlsx', 'rb').read() == kept, err

# Each file the program writes: refused where read-only, else replaced with
# its mode, through its link.
os.mkdir('shared')
for option, name in (('-o', 'out.csv'), ('-o', 'out.xlsx'), ('--sheet', 'out.pdf'), ('--dxf', 'out.dxf')):
    write(name, 'before', 0o444)
    code, _, err = run(option, name, 'schedule.csv')
    assert code == 2 and name in err and '只读' in err and open(name).read() == 'before', (name, err)
    os.chmod(name, 0o664)
    assert run(option, name, 'schedule.csv')[0] == 1 and open(name, 'rb').read() != b'before', name
    assert stat.S_IMODE(os.stat(name).st_mode) == 0o664, (name, oct(os.stat(name).st_mode))
    write(os.path.join('shared', name), 'before', 0o660)
    os.symlink(os.path.join('shared', name), 'to-' + name)
    assert run(option, 'to-' + name, 'schedule.csv')[0] == 1, name
    assert os.path.islink('to-' + name) and open(os.path.join('shared', name), 'rb').read() != b'before', name
    assert stat.S_IMODE(os.stat(os.path.join('shared', name)).st_mode) == 0o660, name

# Stopped in mid-run, by Ctrl-C, kill or the session's end: every temporary
# removed, every file as it was, the exit status a shell reports.
for number, status in ((signal.SIGINT, 130), (signal.SIGTERM, 143), (signal.SIGHUP, 129)):
    for name in ('big.csv', 'big.pdf', 'big.dxf'):
        write(name, 'before')
    running = subprocess.Popen([program, '-o', 'big.csv', '--sheet', 'big.pdf', '--dxf', 'big.dxf', '-'],
                               stdin=subprocess.PIPE, stderr=subprocess.DEVNULL)
    running.stdin.write(('\n'.join([HEAD] + [ROW.replace('KL1', f'K{n}') for n in range(3000)]) + '\n').encode())
    running.stdin.flush()
    for _ in range(200):  # the temporaries are there once the header is read
        if len(temporaries()) == 3:
            break
        time.sleep(0.05)
    assert len(temporaries()) == 3, temporaries()
    running.send_signal(number)
    assert running.wait(10) == status, (number, running.returncode)
    assert not temporaries() and all(open(n).read() == 'before' for n in ('big.csv', 'big.pdf', 'big.dxf')), number

# With the results in a file, the rows that failed are named on standard
# error, at most twenty, then counted; --quiet says nothing.
code, _, err = run('-o', 'results.csv', 'schedule.csv')
assert code == 1 and '第 7 行 WKL4：无效参数' in err and '6 行，5 行算出，1 行未算出' in err, err
assert run('-o', 'results.csv', '--quiet', 'schedule.csv')[2] == ''
failing = write('failing.csv', '\n'.join([HEAD] + [f'F{n},C5,1,1,1,1,1,1,1,1,1' for n in range(25)] + [ROW]))
code, _, err = run('-o', 'results.csv', failing)
assert err.count('线型') == 20 and '第 21 行 F19：' in err and '另有 5 行未算出' in err and '26 行，1 行算出，25 行未算出' in err, err
assert run(failing)[2] == ''  # on standard output the results say it themselves

# Each refusal says what is wrong and what to do, in both languages.
os.mkdir('folder')
write('semicolon-row.csv', 'name;profile;e1;e2;lc;lg1;lg2\nA,C2a,100,100,6000,1000,0\n')
write('no-e3.csv', 'name,profile,e1,e2,lc,lg1\nA,C4,100,100,6000,1000\n')
write('chinese.csv', '编号,线型,e1,e2,lc,lg1,lg2\nA,C5,100,100,6000,1000,0\n')
for args, said in ((['missing.csv'], '没有此文件'), (['folder'], '是文件夹'), (['-o', 'no/such/x.csv', 'schedule.csv'], '文件夹 no/such 不存在'),
                   (['-o', 'folder', 'schedule.csv'], '结果文件须为 .csv'), (['-o', 'x.CSV', '--sheet', 'folder/x.PDF', '--dxf', 'x.Dxf', 'schedule.csv'], ''),
                   (['-o', 'x.XlSx', 'schedule.csv'], ''), (['--bogus', 'schedule.csv'], '没有这个选项 --bogus (no such option)'),
                   (['-x', 'schedule.csv'], '没有这个选项 -x'), (['schedule.csv', '--step'], '--step 后须有值 (--step needs a value)'),
                   (['--quiet=yes', 'schedule.csv'], '--quiet 不带值'), (['--sigma-con', 'abc', 'schedule.csv'], '不是数 (not a number)'),
                   (['semicolon-row.csv'], '表头以分号“;”(semicolon)分隔'), (['no-e3.csv'], '钢绞线表没有 e3 列'),
                   (['chinese.csv'], '线型 列“C5”')):
    code, out, err = run(*args)
    if said:
        found = err + ''.join(r['message'] for r in rows(out)) if out else err
        assert said in found and ('(' in found or '（' in found), (args, found)
    else:
        assert code == 1 and os.path.exists(args[1]), (args, err)
if os.geteuid() != 0:  # root reads every file
    write('secret.csv', HEAD, 0o200)
    assert '没有读取此文件的权限' in run('secret.csv')[2]

# What spreadsheets and input methods write reads as its ASCII: Excel's
# "Unicode text" (UTF-16 with a byte-order mark), semicolons, full-width
# digits and letters, the ideographic space, the window's own "C4线型".
expected = rows(run(write('plain.csv', '\n'.join([HEAD, ROW])))[1])
for name, content in (('le.txt', '\ufeff' + '\r\n'.join([HEAD, ROW]).replace(',', '\t')), ('semi.csv', ';'.join([HEAD, ROW])),
                      ('wide.csv', '\n'.join([HEAD, 'KL1,Ｃ４,１００,\u3000100,100,０．１,0.5,0.1,２００００,1000,'])),
                      ('caption.csv', '\n'.join([HEAD, ROW.replace(',C4,', ',C4线型,')]))):
    content = content.replace(';', '\n', 1) if name == 'semi.csv' else content
    path = write(name, content.encode('utf-16-le' if name == 'le.txt' else 'utf-8'))
    code, out, err = run(path)
    assert code == 0 and rows(out) == expected, (name, err, rows(out))
write('be.csv', ('\ufeff' + '\n'.join([HEAD, ROW])).encode('utf-16-be'))
assert rows(run('be.csv')[1]) == expected
code, _, err = run(write('odd.csv', b'\xff\xfe' + 'name,'.encode('utf-16-le') + b'\x00\xd8'))
assert code == 2 and 'UTF-16' in err, err
# A row with more fields than the header is refused, naming them; empty ones
# are no more than a trailing separator.
extra = rows(run(write('extra.csv', '\n'.join([HEAD, ROW + ',KL9,,', ROW + ',,'])))[1])
assert extra[0]['status'] == 'input' and '“KL9”' in extra[0]['message'] and extra[1]['status'] == 'ok', extra
# The columns the program does not know follow note, as text.
write('remark.csv', '\n'.join([HEAD + ',备注,图号', ROW + ',东侧 007,', ROW.replace('KL1', 'KL2') + ',,007']))
carried = rows(run('remark.csv')[1])
assert list(carried[0])[-3:] == ['note', '备注', '图号'] and [(r['备注'], r['图号']) for r in carried] == [('东侧 007', ''), ('', '007')]
assert run('-o', 'remark.xlsx', 'remark.csv')[0] == 0
sheet = openpyxl.load_workbook('remark.xlsx')['schedule']
head = [c.value for c in sheet[1]]
assert head[-2:] == ['备注', '图号'] and [c.value for c in sheet[3]][-1] == '007', head

# Progress on a terminal only: a line rewritten in place while a slow
# schedule is read, cleared at the end; none in a pipe.
for terminal in (True, False):
    leader, follower = pty.openpty() if terminal else os.pipe()
    running = subprocess.Popen([program, '-o', 'slow.csv', '-'], stdin=subprocess.PIPE, stderr=follower)
    os.close(follower)
    running.stdin.write(f'{HEAD}\n{ROW}\n'.encode())
    running.stdin.flush()
    time.sleep(1.6)
    running.stdin.close()
    said = b''
    while select.select([leader], [], [], 5)[0]:
        try:
            chunk = os.read(leader, 4096)
        except OSError:  # the terminal's other end closed
            break
        if not chunk:
            break
        said += chunk
    assert running.wait(10) == 0
    os.close(leader)
    assert (b'\r' in said and '已算'.encode() in said and said.endswith(b'\r\x1b[K')) == terminal, said
print('files, messages and what spreadsheets write: all as the engineer expects')
