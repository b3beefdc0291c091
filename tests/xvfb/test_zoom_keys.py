#!/usr/bin/env python3
"""Under openbox with ORBOLAN_SCALE=2: the window, its size hints, pixels and clicks doubled; each
key acts as a click where its button is usable, nowhere else; Ctrl+Q."""
import driver as d


def halved(s):  # a doubled client area at its own size: the top-left pixel of every 2 x 2 square
    w, h = s.size[0] // 2, s.size[1] // 2
    rgb = bytearray(3 * w * h)
    for c in range(3):
        rgb[c::3] = b''.join(s.rgb[12 * w * y + c:12 * w * y + 6 * w:6] for y in range(h))
    return d.Shot(bytes(rgb), (w, h))


def doubled(s):  # every pixel a 2 x 2 square
    w, h = s.size
    wide = bytearray(6 * w * h)
    for c in range(3):
        wide[c::6] = wide[3 + c::6] = s.rgb[c::3]
    return d.Shot(b''.join(wide[6 * w * y:6 * w * (y + 1)] * 2 for y in range(h)), (2 * w, 2 * h))


def wait(g, cond, what, save=None):  # the settled doubled window at its own size, once cond holds
    return halved(g.settled(lambda s: s.size == (2 * d.W, 2 * d.H) and cond(halved(s)), what, save))


def test():
    with d.Display(size=(1280, 1024)) as x:
        folder = d.player_folder()
        g, start = x.start(folder, env={'ORBOLAN_SCALE': '2'}), doubled(d.expected_start())
        g.settled(lambda s: s == start, 'zoom 2: the start screen is the factor-1 screen doubled '
                  'pixel for pixel', 'zoom2-start')
        g.zoom = 2
        hints = g.xprop('WM_NORMAL_HINTS')
        d.check('minimum size: 986 by 838' in hints and 'maximum size: 986 by 838' in hints,
                'zoom 2: size hints fix the size at 986 x 838')
        actions = d.poll(lambda: 'MOVE' in (a := g.xprop('_NET_WM_ALLOWED_ACTIONS')) and a)
        d.check(actions and 'MAXIMIZE' not in actions, 'openbox offers no maximise: %s' % actions)
        g.xdo('windowactivate', '--sync', g.window)

        def step(action, cond, what, save=None):  # a button clicked or keys pressed; cond: a screen's name
            g.button(action) if action in d.BUTTONS else g.xdo('key', action)
            return wait(g, cond if callable(cond) else lambda s: s.screen() == cond, what, save)

        dealt = lambda s: s.screen() == 'game' and d.full(s.board())
        board = step('F2', dealt, 'F2 on the start screen: New').board()
        group = max(d.groups(board), key=len)
        g.click(*d.cell(*min(group)))
        wait(g, lambda s: s.red() == d.outline(group), 'a click on the doubled board selects its group',
             'zoom2-selected')
        g.xdo('key', 'ctrl+n', 'Return', 'Escape', 'BackSpace')  # no New, OK or Done; nothing to undo
        g.click(*d.cell(*min(group)))
        moved = d.after_normal_move(board, group)
        wait(g, lambda s: s.board() == moved and not s.red(),
             'Ctrl+N, Return, Escape and Backspace on the board change nothing; the group goes')
        step('ctrl+z', lambda s: s.board() == board, 'Ctrl+Z: the move is taken back')
        step('end', 'end', 'End clicked on the doubled window')
        step('ctrl+n', dealt, 'Ctrl+N on the end screen: New')
        step('end', 'end', 'End again')
        step('Return', 'start', 'Return on the end screen: Done')
        step('scores', 'scores', 'Scores', 'zoom2-scores')
        step('Escape', 'start', 'Escape on the statistics screen: OK')
        setup = step('setup', 'setup', 'Setup')
        g.click(150, 140)  # Continuous
        wait(g, lambda s: s.screen() == 'setup' and s != setup, 'a click on a doubled option box', 'zoom2-setup')
        step('Return', 'start', 'Return on the setup screen: OK')
        g.xdo('key', 'ctrl+q')
        g.ends('zoom 2: Ctrl+Q')
        cfg = d.read_cfg(folder)
        d.check(cfg and cfg[0] == 1 and cfg[3] == 2, 'Ctrl+Q saved Continuous and the two games ended: %s' % cfg)


d.main(test)
