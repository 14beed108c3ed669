"""Starts the real program on a private Xvfb server and checks what an engineer
sees first: one window titled "Quillmere", mapped, of the designed size and
place; on a 1366 x 768 laptop screen, a window that fits it and scrolls to
what lies below; and that closing it, as a window manager's close button
does, ends the program with status 0. Usage: smoke.py PROGRAM"""
import os
import subprocess
import sys
import time

from Xlib import X, display, protocol
from Xlib.ext import xtest


def opened(screen):
    """The X server, the program on it, its display and its mapped window."""
    server = subprocess.Popen(['Xvfb', '-displayfd', '1', '-screen', '0', screen + 'x24', '-nolisten', 'tcp'],
                              stdout=subprocess.PIPE)
    name = ':' + server.stdout.readline().decode().strip()
    program = subprocess.Popen([sys.argv[1]], env=dict(os.environ, DISPLAY=name, QT_QPA_PLATFORM='xcb'))
    x = display.Display(name)
    root, title = x.screen().root, x.intern_atom('_NET_WM_NAME')
    deadline, window = time.monotonic() + 20, None
    while window is None and time.monotonic() < deadline and program.poll() is None:
        time.sleep(0.05)
        for child in root.query_tree().children:
            named = child.get_full_property(title, 0)
            if named and named.value == b'Quillmere' and child.get_attributes().map_state == X.IsViewable:
                window = child
    assert window is not None, 'no mapped window titled Quillmere'
    return server, program, x, window


def closes(program, x, window):
    delete = x.intern_atom('WM_DELETE_WINDOW')
    window.send_event(protocol.event.ClientMessage(window=window, client_type=x.intern_atom('WM_PROTOCOLS'),
                                                   data=(32, [delete, X.CurrentTime, 0, 0, 0])))
    x.flush()
    assert program.wait(10) == 0, 'the program did not end with status 0 when its window closed'


server, program, x, window = opened('1280x1024')
try:
    size, place = window.get_geometry(), x.screen().root.translate_coords(window, 0, 0)
    # 10320 x 13080 twips, 1770 twips from the screen's left and 1920 from its top.
    assert (size.width, size.height, place.x, place.y) == (688, 872, 118, 128), (size, place)
    closes(program, x, window)
finally:
    server.terminate()

# The window's 872 px do not fit 768: it fits the screen, and the wheel
# scrolls it down to the diagram area.
server, program, x, window = opened('1366x768')
try:
    size, place = window.get_geometry(), x.screen().root.translate_coords(window, 0, 0)
    assert place.y >= 0 and place.y + size.height <= 768 and size.height < 872 and size.width >= 688, (size, place)
    time.sleep(0.5)
    before = window.get_image(0, 0, size.width, size.height, X.ZPixmap, 0xffffffff).data
    xtest.fake_input(x, X.MotionNotify, x=place.x + 300, y=place.y + 300)
    for _ in range(20):
        xtest.fake_input(x, X.ButtonPress, 5)
        xtest.fake_input(x, X.ButtonRelease, 5)
    x.sync()
    time.sleep(0.5)
    # The bottom rows now show what was below them.
    after = window.get_image(0, 0, size.width, size.height, X.ZPixmap, 0xffffffff).data
    assert before != after, 'the wheel did not scroll the window'
    closes(program, x, window)
finally:
    server.terminate()
