#!/usr/bin/env python3
"""On the desktops of other window managers and compositors (skipped where they are not
installed): under KWin the framed window centred within a pixel, its first screen exact; natively
under sway (Wayland) the window floating at 493 x 419 with the first screen as under X, tiled into
a larger size with the frame centred on black, floating back at its own size, no noise on standard
error, and closing saves."""
import json, os, shutil, subprocess
import driver as d


def kwin(expected):
    d.need('kwin_x11')
    x = d.Display(wm=False)
    d._Process(['kwin_x11', '--replace'], env=d.session(DISPLAY=x.env['DISPLAY'], QT_QPA_PLATFORM='xcb'),
               stderr=open(x.work + '/kwin.log', 'ab'))
    if not d.poll(lambda: b'KWin' in x.run(['wmctrl', '-m']).stdout):
        raise RuntimeError('kwin_x11 did not start: ' + open(x.work + '/kwin.log').read())
    for start in 1, 2:
        g = d.Game(x, d.player_folder())
        g.settled(expected, 'KWin, start %d: the first screen pixel for pixel' % start)
        l, r, t, b = [int(n) for n in g.xprop('-notype', '_NET_FRAME_EXTENTS').partition('=')[2].split(',')]
        gx, gy, w, h = g.geometry()
        off = (gx - l - (1024 - (w + l + r)) / 2, gy - t - (768 - (h + t + b)) / 2)
        d.check(t > 0 and (w, h) == (d.W, d.H) and max(map(abs, off)) <= 1,
                'KWin, start %d: framed (%d, %d, %d, %d), centred within a pixel (off by %s)' % (start, l, r, t, b, off))
        g.close()


def sway(expected):
    d.need('sway', 'swaymsg', 'grim')
    # sway refuses to run as root: it, the game and the tools run as nobody
    user = ['setpriv', '--reuid=nobody', '--regid=nogroup', '--clear-groups'] if os.getuid() == 0 else []
    if user:
        d.need('setpriv')
    home, run, folder = d.tempdir(), d.tempdir(0o700), d.player_folder()
    for path in home, run, folder, *[os.path.join(folder, f) for f in os.listdir(folder)]:
        shutil.chown(path, *(['nobody', 'nogroup'] if user else [os.getuid(), os.getgid()]))
    conf = os.path.join(d.tempdir(), 'config')
    open(conf, 'w').write('output HEADLESS-1 resolution 1024x768\nfor_window [title="^Orbolan!$"] floating enable\n')
    env = dict(d.session(home), XDG_RUNTIME_DIR=run, WLR_BACKENDS='headless', WLR_LIBINPUT_NO_DEVICES='1',
               WLR_RENDERER='pixman')
    d._Process(user + ['sway', '-c', conf], env=env, stderr=open(os.path.join(d.tempdir(), 'sway.log'), 'ab'))
    found = d.poll(lambda: [f for f in os.listdir(run) if f.startswith('sway-ipc.')])
    sockets = d.poll(lambda: [f for f in os.listdir(run) if f.startswith('wayland-') and not f.endswith('.lock')])
    if not (found and sockets):
        raise RuntimeError('sway did not start')
    env.update(SWAYSOCK=os.path.join(run, found[0]), WAYLAND_DISPLAY=sockets[0])
    tool = lambda *argv: subprocess.run(user + list(argv), env=env, capture_output=True, timeout=60)
    log = os.path.join(d.tempdir(), 'game.log')
    game = d._Process(user + [d.GAME], cwd=folder, env=env, stderr=open(log, 'wb')).p

    def window():  # sway's node of the game's window
        nodes = [json.loads(tool('swaymsg', '-t', 'get_tree').stdout or '{}')]
        while nodes:
            n = nodes.pop()
            if n.get('name') == 'Orbolan!':
                return n
            nodes += n.get('nodes', []) + n.get('floating_nodes', [])

    def shot(n):  # the window's content as grim sees it
        r, w = n['rect'], n['window_rect']
        ppm = tool('grim', '-t', 'ppm', '-g', '%d,%d %dx%d' % (r['x'] + w['x'], r['y'] + w['y'], w['width'], w['height']),
                   '-').stdout
        return d.Shot(ppm[ppm.index(b'255\n') + 4:], (w['width'], w['height']))

    def settled(cond, what, save):
        last = [None]

        def steady():
            n = window()
            previous, last[0] = last[0], n and shot(n)
            return n and last[0] == previous and cond(n, last[0])

        if not d.check(bool(d.poll(steady)), what) and last[0]:
            last[0].save('failed-%d' % len(d.failures))
        elif last[0]:
            last[0].save(save)

    own = lambda n, s: (n['window_rect']['width'], n['window_rect']['height']) == (d.W, d.H) and s == expected
    settled(own, 'sway: the window floats at 493 x 419 and shows the first screen as under X', 'sway-start')
    tool('swaymsg', '[title="^Orbolan!$"]', 'floating', 'disable')

    def tiled(n, s):  # the frame centred on black in the larger tile
        w, h = s.size
        return w > d.W and s == expected.framed(s.size, ((w - d.W) // 2, (h - d.H) // 2))

    settled(tiled, 'sway: tiled, the frame centred on black', 'sway-tiled')
    tool('swaymsg', '[title="^Orbolan!$"]', 'floating', 'enable')
    settled(own, 'sway: floating again at 493 x 419, the first screen', 'sway-floating')
    tool('swaymsg', '[title="^Orbolan!$"]', 'kill')
    d.check(game.wait(60) == 0 and len(d.read_cfg(folder) or '') == 15, 'sway: closing ends the game with 0 and saves')
    said = [line for line in open(log, errors='replace').read().splitlines() if not line.startswith('ALSA lib ')]
    d.check(not said, 'sway: nothing on standard error but the sound library\'s: %s' % said)


def test():
    expected = d.expected_start()
    skipped = []
    for desktop in kwin, sway:
        try:
            desktop(expected)
        except d.Skip as e:
            skipped.append('%s (%s)' % (desktop.__name__, e))
            print('skipped: %s' % skipped[-1])
    if len(skipped) == 2:
        raise d.Skip('; '.join(skipped))


d.main(test)
