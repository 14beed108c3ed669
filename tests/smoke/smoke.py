"""Starts the real program on a private Xvfb server and checks what an engineer
sees first: one window titled "Quillmere", mapped, of the designed size and
place; and that closing it, as a window manager's close button does, ends the
program with status 0. Usage: smoke.py PROGRAM"""
import os
import subprocess
import sys
import time

from Xlib import X, display, protocol

server = subprocess.Popen(['Xvfb', '-displayfd', '1', '-screen', '0', '1280x1024x24', '-nolisten', 'tcp'],
                          stdout=subprocess.PIPE)
try:
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
    size, place = window.get_geometry(), root.translate_coords(window, 0, 0)
    # 10320 x 13080 twips, 1770 twips from the screen's left and 1920 from its top.
    assert (size.width, size.height, place.x, place.y) == (688, 872, 118, 128), (size, place)

    delete = x.intern_atom('WM_DELETE_WINDOW')
    window.send_event(protocol.event.ClientMessage(window=window, client_type=x.intern_atom('WM_PROTOCOLS'),
                                                   data=(32, [delete, X.CurrentTime, 0, 0, 0])))
    x.flush()
    assert program.wait(10) == 0, 'the program did not end with status 0 when its window closed'
finally:
    server.terminate()
