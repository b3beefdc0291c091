#!/usr/bin/env python3
"""The window as the X server shows it: no display at all; without a window manager its title,
size, place, icon and pixels, and real mouse events on the buttons; under openbox the framed
window centred, its pixels again, and the close box, SIGTERM and SIGHUP ending the game and saving."""
import os, signal, subprocess
import driver as d


def no_display():
    folder = d.tempdir()
    env = {k: v for k, v in os.environ.items() if k not in ('DISPLAY', 'WAYLAND_DISPLAY')}
    run = subprocess.run([d.GAME], cwd=folder, env=env, capture_output=True, timeout=60)
    d.check(run.returncode != 0 and b'Direct Draw Initialisierung fehlgeschlagen!' in run.stderr,
            'without a display: the message on standard error, exit code %d' % run.returncode)


def expected_start():
    bmp = os.path.join(d.tempdir(), 'start.bmp')
    subprocess.run([os.path.join(d.BIN, 'orbolan_frame_dump'), bmp], check=True)
    w, h, rgb = d.picture(bmp)
    return d.Shot(b''.join(rgb[3 * w * y:][:3 * d.W] for y in range(d.H)))


def icon(x, g):
    """The window's icon as ARGB numbers, and the icon picture with magenta transparent."""
    got = x.run(['xprop', '-id', g.window, '-notype', '-f', '_NET_WM_ICON', '32c', ' $0+',
                 '_NET_WM_ICON'], text=True).stdout
    got = [int(n) for n in got.partition(' ')[2].split(',') if n.strip().isdigit()]
    w, h, rgb = d.picture(1)
    want = [w, h] + [0 if rgb[k:k + 3] == b'\xff\0\xff' else 0xFF000000 | int.from_bytes(
        rgb[k:k + 3], 'big') for k in range(0, len(rgb), 3)]
    return got, want


def without_window_manager(expected):
    with d.Display(wm=False) as x:
        g = x.start(d.player_folder())
        start = g.settled(lambda s: s == expected, 'the first screen equals the headless frame '
                          'pixel for pixel', 'window-start')
        gx, gy, w, h = g.geometry()
        d.check((w, h) == (d.W, d.H), 'client area %d x %d' % (w, h))
        d.check((gx, gy) == (1024 // 2 - d.W // 2, 768 // 2 - d.H // 2), 'centred: %d, %d' % (gx, gy))
        got, want = icon(x, g)
        d.check(got == want, 'the window icon is the emblem (%s)' % got[:2])

        sx, sy = d.BUTTONS['setup']
        pressed = lambda s: s.shows('setup', face=113)
        g.press(sx + 31, sy + 19)
        g.settled(pressed, 'a held button shows its pressed face')
        g.move(sx - 100, sy - 400)  # off the window's top-left corner
        g.settled(lambda s: s == start, 'dragged off the window: the face is normal again')
        g.release(sx - 100, sy - 400)
        g.press(sx + 31, sy + 19)  # a Setup that had acted would be masked now
        g.settled(pressed, 'released outside the window: no action')
        g.move(sx + 100, sy + 19)
        g.move(sx + 30, sy + 18)
        g.release(sx + 30, sy + 18)
        setup = g.wait_screen('setup', 'dragged off and back on, released: Setup acts')
        ox, oy = d.BUTTONS['ok']
        g.key('shift', 'keydown')
        g.press(ox + 31, oy + 19)
        g.move(ox + 30, oy + 18)
        g.release(ox + 30, oy + 18)
        g.key('shift', 'keyup')
        g.click(150, 140)  # Continuous: shows once the events before it are handled
        g.settled(lambda s: s.screen() == 'setup' and s != setup,
                  'a drag with Shift held cancels the press: still setup')


def with_window_manager(expected):
    with d.Display(wm=True) as x:
        folder = d.player_folder()
        g = x.start(folder)
        g.settled(lambda s: s == expected, 'framed: the first screen pixel for pixel')
        d.check(d.poll(lambda: centred(x, g)), 'the framed window is centred: frame %s, client %s'
                % (frame_extents(x, g), g.geometry()))
        g.close()
        d.check(g.wait_exit() == 0, 'the close box ends the game with exit code 0')
        d.check(len(d.read_cfg(folder) or '') == 15, 'closing wrote orbolan.cfg, 60 bytes')
        for sig in signal.SIGTERM, signal.SIGHUP:  # a session that ends sends either
            folder = d.player_folder()
            g = x.start(folder)
            g.wait_screen('start')
            g.kill(sig)
            d.check((g.wait_exit(), len(d.read_cfg(folder) or '')) == (0, 15),
                    '%s closes as the close box does: exit code 0, orbolan.cfg written' % sig.name)


def frame_extents(x, g):
    out = x.run(['xprop', '-id', g.window, '-notype', '_NET_FRAME_EXTENTS'], text=True).stdout
    return [int(n) for n in out.partition('=')[2].split(',') if n.strip().isdigit()]


def centred(x, g):
    """True once the window manager has framed the window and the frame is centred."""
    (l, r, t, b), (gx, gy, w, h) = frame_extents(x, g) or (0, 0, 0, 0), g.geometry()
    return t > 0 and (gx - l, gy - t, w, h) == (512 - (d.W + l + r) // 2, 384 - (d.H + t + b) // 2, d.W, d.H)


def test():
    no_display()
    expected = expected_start()
    without_window_manager(expected)
    with_window_manager(expected)


d.main(test)
