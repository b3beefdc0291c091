#!/usr/bin/env python3
"""The window as the X server shows it: no display; without a window manager its place, icon,
pixels and mouse events on the buttons; under openbox bad zoom values refused, the framed window
centred, and SIGTERM and SIGHUP closing the game as its close box does."""
import re, signal, subprocess
import driver as d


def no_display():
    run = subprocess.run(['env', '-u', 'DISPLAY', '-u', 'WAYLAND_DISPLAY', d.GAME], cwd=d.tempdir(),
                         capture_output=True, timeout=60)
    d.check(run.returncode != 0 and b'Direct Draw Initialisierung fehlgeschlagen!' in run.stderr,
            'without a display: the message on standard error, exit code %d' % run.returncode)


def without_window_manager(expected):
    g = d.Game(d.Display(wm=False), d.player_folder())
    start = g.settled(lambda s: s == expected, 'the first screen equals the headless frame pixel for pixel',
                      'window-start')
    place = g.geometry()
    d.check(place == (512 - d.W // 2, 384 - d.H // 2, d.W, d.H), 'centred, 493 x 419: %s' % (place,))
    got = [int(n) for n in re.findall(r'\d+', g.xprop('-notype', '-f', '_NET_WM_ICON', '32c', ' $0+', '_NET_WM_ICON'))]
    w, h, rgb = d.picture(1)  # magenta is transparent
    want = [w, h] + [0 if rgb[k:k + 3] == b'\xff\0\xff' else 0xFF000000 | int.from_bytes(
        rgb[k:k + 3], 'big') for k in range(0, len(rgb), 3)]
    d.check(got == want, 'the window icon is the emblem (%s)' % got[:2])

    pressed = lambda s: s.shows('setup', face=113)
    g.button('setup', 'mousedown', 1)
    g.settled(pressed, 'a held button shows its pressed face')
    g.move(42, -24)  # off the window's top-left corner
    g.settled(lambda s: s == start, 'dragged off the window: the face is normal again')
    g.move(42, -24, 'mouseup', 1)
    g.button('setup', 'mousedown', 1)  # a Setup that had acted would be masked now
    g.settled(pressed, 'released outside the window: no action')
    g.move(242, 395, 'mousemove', '--window', g.window, 172, 394, 'mouseup', 1)
    setup = g.wait_screen('setup', 'dragged off and back on, released: Setup acts')
    g.xdo('keydown', 'shift')
    g.button('ok', 'mousedown', 1, 'mousemove', '--window', g.window, 245, 295, 'mouseup', 1)
    g.xdo('keyup', 'shift')
    g.click(150, 140)  # Continuous: shows once the events before it are handled
    g.settled(lambda s: s.screen() == 'setup' and s != setup, 'a drag with Shift held cancels the press: still setup')


def centred(g):  # once the window manager has framed the window
    frame = g.xprop('-notype', '_NET_FRAME_EXTENTS').partition('=')[2].split(',')
    (l, r, t, b), (gx, gy, w, h) = [int(n) for n in frame if n.strip().isdigit()] or (0,) * 4, g.geometry()
    return t > 0 and (gx - l, gy - t, w, h) == (512 - (d.W + l + r) // 2, 384 - (d.H + t + b) // 2, d.W, d.H)


def with_window_manager(expected):
    x = d.Display()
    for sig in signal.SIGTERM, signal.SIGHUP:  # a session that ends sends either
        folder = d.player_folder()
        g = d.Game(x, folder, args=['--scale', '9'], env={'ORBOLAN_SCALE': 'abc'})
        g.settled(lambda s: s == expected, 'framed, bad zoom values: the first screen pixel for pixel')
        d.check(all(said in g.stderr() for said in ("--scale '9' ignored", "ORBOLAN_SCALE='abc' ignored")),
                'bad zoom values are named on standard error')
        d.check(d.poll(lambda: centred(g)), 'the framed window is centred, 493 x 419: %s' % (g.geometry(),))
        d.check((g.kill(sig), len(d.read_cfg(folder) or '')) == (0, 15),
                '%s closes as the close box does: exit code 0, orbolan.cfg written' % sig.name)


def test():
    no_display()
    expected = d.expected_start()
    without_window_manager(expected)
    with_window_manager(expected)


d.main(test)
