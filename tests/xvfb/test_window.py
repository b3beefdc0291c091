#!/usr/bin/env python3
"""The window as the X server shows it: no display; without a window manager its place, icon,
pixels and mouse events on the buttons; screens of 16 and 30 bits, and 8 refused; under openbox
bad zoom values refused, the framed window centred, SIGTERM and SIGHUP closing the game as its
close box does, and fullscreen: the frame zoomed and centred on black, clicks through it."""
import os, re, signal, subprocess
import driver as d


def no_display():  # with a session bus and whatever dialog helper is installed (zenity finds no display)
    run = subprocess.run([d.GAME], cwd=d.tempdir(), env=d.session(), capture_output=True, timeout=60)
    d.check(run.returncode != 0 and b'Direct Draw Initialisierung fehlgeschlagen!' in run.stderr,
            'without a display: the message on standard error, exit code %d' % run.returncode)


def without_window_manager(expected):
    g = d.Game(d.Display(wm=False), d.player_folder())
    start = g.settled(expected, 'the first screen equals the headless frame pixel for pixel',
                      'window-start')
    place = g.geometry()
    d.check(place == (512 - d.W // 2, 384 - d.H // 2, d.W, d.H), 'centred, 493 x 419: %s' % (place,))
    got = [int(n) for n in re.findall(r'\d+', g.xprop('-notype', '-f', '_NET_WM_ICON', '32c', ' $0+', '_NET_WM_ICON'))]
    w, h, rgb = d.picture(d.ID['ORBOLAN_ICON'])  # magenta is transparent
    want = [w, h] + [0 if rgb[k:k + 3] == b'\xff\0\xff' else 0xFF000000 | int.from_bytes(
        rgb[k:k + 3], 'big') for k in range(0, len(rgb), 3)]
    d.check(got == want, 'the window icon is the emblem (%s)' % got[:2])

    pressed = lambda s: s.shows('setup', face=d.ID['IDB_SETUP_PRESSED'])
    g.button('setup', 'mousedown', 1)
    g.settled(pressed, 'a held button shows its pressed face')
    g.move(42, -24)  # off the window's top-left corner
    g.settled(start, 'dragged off the window: the face is normal again')
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


def depths(expected):
    for depth in 16, 30:  # SDL's own surface, and its renderer converting
        g = d.Game(d.Display(wm=False, depth=depth), d.player_folder())
        g.shot()  # learns the screen's bits per channel
        g.settled(expected.at_bits(g.bits), 'a screen of %d bits shows the first screen' % depth, 'depth-%d' % depth)
        g.kill(signal.SIGTERM)
    x = d.Display(wm=False, depth=8)
    log = os.path.join(x.work, 'depth-8.log')
    p = d._Process([d.GAME], cwd=d.player_folder(), env=d.session(DISPLAY=x.env['DISPLAY']),
                   stderr=open(log, 'wb')).p
    said = d.poll(lambda: b'Direct Draw Initialisierung fehlgeschlagen!' in d.content(log) and d.content(log))
    tree = lambda: x.run(['xwininfo', '-root', '-tree'], text=True).stdout
    box = d.poll(lambda: re.findall(r'(0x[0-9a-f]+) "ERROR"', tree()))  # its title's type is one xdotool skips
    if box:
        x.run(['xdotool', 'windowfocus', '--sync', box[0], 'key', 'Return'])
    d.check(said and b'no surface to draw into' in said and p.wait(60) != 0,
            'a screen of 8 bits: why, on standard error and in a box; exit code %s' % p.poll())


def fullscreen(expected):  # 1280 x 1024: the frame doubled, 147 and 93 pixels in
    x = d.Display(size=(1280, 1024))
    g = d.Game(x, d.player_folder())
    g.settled(expected, 'the first screen at its own size')
    x.run(['wmctrl', '-i', '-r', g.window, '-b', 'add,fullscreen'], check=True)
    g.zoom, g.at = 2, (147, 93)
    doubled = d.Shot(bytes(b for y in range(2 * d.H) for k in range(3 * d.W * (y // 2), 3 * d.W * (y // 2 + 1), 3)
                           for b in expected.rgb[k:k + 3] * 2), (2 * d.W, 2 * d.H))
    whole = doubled.framed((1280, 1024), g.at)
    g.settled(lambda s: g.shot(whole=True) == whole, 'fullscreen: the frame doubled, centred on plain black')
    g.shot(whole=True).save('fullscreen-whole')
    board, group = d.deal(g, 'fullscreen: a click on the doubled New deals')
    d.mark(g, group, 'fullscreen: a click on the board selects the group under it')
    x.run(['wmctrl', '-i', '-r', g.window, '-b', 'remove,fullscreen'], check=True)
    g.zoom, g.at = 1, (0, 0)
    d.check(d.poll(lambda: centred(g, x.size)), 'back from fullscreen: 493 x 419, centred again: %s' % (g.geometry(),))
    d.check(d.poll(lambda: g.xprop('WM_NORMAL_HINTS').count('imum size: 493 by 419') == 2),
            'back from fullscreen: the size fixed again')
    g.settled(lambda s: s.board() == board and s.red() == d.outline(group), 'back from fullscreen: the same board',
              'fullscreen-back')
    g.close()


def centred(g, screen=(1024, 768)):  # once the window manager has framed the window
    frame = g.xprop('-notype', '_NET_FRAME_EXTENTS').partition('=')[2].split(',')
    (l, r, t, b), (gx, gy, w, h) = [int(n) for n in frame if n.strip().isdigit()] or (0,) * 4, g.geometry()
    return t > 0 and (gx - l, gy - t, w, h) == (screen[0] // 2 - (d.W + l + r) // 2,
                                                 screen[1] // 2 - (d.H + t + b) // 2, d.W, d.H)


def with_window_manager(expected):  # the close signals are the fault table's
    folder = d.player_folder()
    g = d.Game(d.Display(), folder, args=['--scale', '9'], env={'ORBOLAN_SCALE': 'abc'})
    g.settled(expected, 'framed, bad zoom values: the first screen pixel for pixel')
    d.check(all(said in g.stderr() for said in ("--scale '9' ignored", "ORBOLAN_SCALE='abc' ignored")),
            'bad zoom values are named on standard error')
    d.check(d.poll(lambda: centred(g)), 'the framed window is centred, 493 x 419: %s' % (g.geometry(),))


def test():
    no_display()
    expected = d.expected_start()
    without_window_manager(expected)
    depths(expected)
    with_window_manager(expected)
    fullscreen(expected)


d.main(test)
