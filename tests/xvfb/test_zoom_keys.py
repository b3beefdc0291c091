#!/usr/bin/env python3
"""Under openbox: bad zoom values refused; with ORBOLAN_SCALE=2 the window, its size hints, pixels
and clicks doubled; each key acts as a click where its button is usable, nowhere else; Ctrl+Q."""
import driver as d


def halved(s):
    """A doubled client area at its own size: the top-left pixel of every 2 x 2 square."""
    w, h = s.size[0] // 2, s.size[1] // 2
    rgb = bytearray(3 * w * h)
    for y in range(h):
        row = s.rgb[12 * w * y:][:6 * w]
        for c in range(3):
            rgb[3 * w * y + c:3 * w * (y + 1):3] = row[c::6]
    return d.Shot(bytes(rgb), (w, h))


def doubled(s):
    """The client area scaled by two, every pixel a 2 x 2 square."""
    w, h = s.size
    rgb = bytearray(12 * w * h)
    for y in range(h):
        wide = bytearray(6 * w)
        for c in range(3):
            wide[c::6] = wide[3 + c::6] = s.rgb[3 * w * y + c:3 * w * (y + 1):3]
        rgb[12 * w * y:12 * w * (y + 1)] = wide * 2
    return d.Shot(bytes(rgb), (2 * w, 2 * h))


def wait(g, cond, what, save=None):
    """The settled doubled window, at its own size, once cond() holds for it."""
    return halved(g.settled(lambda s: s.size == (2 * d.W, 2 * d.H) and cond(halved(s)), what, save))


def click(g, x, y):
    g.click(2 * x, 2 * y)


def button(g, name):
    click(g, d.BUTTONS[name][0] + 31, d.BUTTONS[name][1] + 19)


def xprop(x, g, prop):
    return x.run(['xprop', '-id', g.window, prop], text=True).stdout


def refused_zoom(x):
    """Bad values on both channels: two messages, factor 1; the start screen; Ctrl+Q."""
    folder = d.player_folder()
    g = x.start(folder, args=['--scale', '9'], env={'ORBOLAN_SCALE': 'abc'})
    start = g.wait_screen('start', save='zoom1-start')
    said = g.stderr()
    d.check("--scale '9' ignored" in said and "ORBOLAN_SCALE='abc' ignored" in said,
            'bad zoom values are named on standard error')
    d.check(g.geometry()[2:] == (d.W, d.H), 'bad zoom values: the window keeps 493 x 419')
    g.key('ctrl+q')
    d.check(g.wait_exit() == 0, 'Ctrl+Q ends the game with exit code 0')
    d.check(len(d.read_cfg(folder) or '') == 15, 'Ctrl+Q wrote orbolan.cfg, 60 bytes')
    return start


def zoomed(x, start):
    folder = d.player_folder()
    g, start2 = x.start(folder, env={'ORBOLAN_SCALE': '2'}), doubled(start)
    d.check(g.settled(lambda s: s == start2, save='zoom2-start') == start2,
            'zoom 2: the start screen is the factor-1 screen doubled pixel for pixel')
    d.check(g.geometry()[2:] == (2 * d.W, 2 * d.H), 'zoom 2: client area 986 x 838')
    hints = xprop(x, g, 'WM_NORMAL_HINTS')
    d.check('minimum size: 986 by 838' in hints and 'maximum size: 986 by 838' in hints,
            'zoom 2: size hints fix the size at 986 x 838')
    actions = d.poll(lambda: 'MOVE' in (a := xprop(x, g, '_NET_WM_ALLOWED_ACTIONS')) and a)
    d.check(actions and 'MAXIMIZE' not in actions, 'openbox offers no maximise: %s' % actions)
    g.xdo('windowactivate', '--sync', g.window)

    g.key('F2')
    board = wait(g, lambda s: s.screen() == 'game' and d.full(s.board()), 'F2 on the start screen: New').board()
    group = d.largest_group(board)
    click(g, *d.cell(*min(group)))
    wait(g, lambda s: s.red() == d.outline(group), 'a click on the doubled board selects its group',
         'zoom2-selected')
    for key in 'ctrl+n', 'Return', 'Escape', 'BackSpace':  # no New, OK or Done; nothing to undo
        g.key(key)
    click(g, *d.cell(*min(group)))
    moved = d.after_normal_move(board, group)
    wait(g, lambda s: s.board() == moved and not s.red(),
         'Ctrl+N, Return, Escape and Backspace on the board change nothing; the group goes')
    g.key('ctrl+z')
    wait(g, lambda s: s.board() == board, 'Ctrl+Z: the move is taken back')
    button(g, 'end')
    wait(g, lambda s: s.screen() == 'end', 'End clicked on the doubled window')
    g.key('ctrl+n')
    wait(g, lambda s: s.screen() == 'game' and d.full(s.board()), 'Ctrl+N on the end screen: New')
    button(g, 'end')
    wait(g, lambda s: s.screen() == 'end', 'End again')
    g.key('Return')
    wait(g, lambda s: s.screen() == 'start', 'Return on the end screen: Done')
    button(g, 'scores')
    wait(g, lambda s: s.screen() == 'scores', 'Scores', 'zoom2-scores')
    g.key('Escape')
    wait(g, lambda s: s.screen() == 'start', 'Escape on the statistics screen: OK')
    button(g, 'setup')
    setup = wait(g, lambda s: s.screen() == 'setup', 'Setup')
    click(g, 150, 140)  # Continuous
    wait(g, lambda s: s.screen() == 'setup' and s != setup, 'a click on a doubled option box',
         'zoom2-setup')
    g.key('Return')
    wait(g, lambda s: s.screen() == 'start', 'Return on the setup screen: OK')
    g.key('ctrl+q')
    d.check(g.wait_exit() == 0, 'zoom 2: Ctrl+Q ends the game')
    cfg = d.read_cfg(folder)
    d.check(cfg and cfg[0] == 1 and cfg[3] == 2,
            'Ctrl+Q saved Continuous and the two games ended: %s' % cfg)


def test():
    with d.Display(size=(1280, 1024)) as x:
        zoomed(x, refused_zoom(x))


d.main(test)
