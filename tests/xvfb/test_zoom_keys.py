#!/usr/bin/env python3
"""Under openbox at ORBOLAN_SCALE=2: size hints, pixels and clicks doubled; keys act where their
button is usable, nowhere else; Continuous chosen in a game takes the next one; Ctrl+Q."""
import subprocess
import driver as d


def doubled(s):  # every pixel a 2 x 2 square
    return d.Shot(subprocess.run(['convert', '-size', '%dx%d' % s.size, '-depth', '8', 'rgb:-', '-sample', '200%',
                                  'rgb:-'], input=s.rgb, capture_output=True, check=True).stdout, (2 * d.W, 2 * d.H))


def test():
    x, folder = d.Display(size=(1280, 1024)), d.player_folder()
    g, start = d.Game(x, folder, env={'ORBOLAN_SCALE': '2'}), doubled(d.expected_start())
    g.settled(start, 'zoom 2: the start screen is the factor-1 screen doubled pixel for pixel',
              'zoom2-start')
    g.zoom = 2  # from here on screenshots are halved back: the top-left pixel of every 2 x 2 square
    d.check(g.xprop('WM_NORMAL_HINTS').count('imum size: 986 by 838') == 2,  # minimum and maximum
            'zoom 2: size hints fix the size at 986 x 838')
    actions = d.poll(lambda: 'MOVE' in (a := g.xprop('_NET_WM_ALLOWED_ACTIONS')) and a)
    d.check(actions and 'MAXIMIZE' not in actions, 'openbox offers no maximise: %s' % actions)
    g.xdo('windowactivate', '--sync', g.window)

    def step(action, cond, what, save=None):  # a button clicked or keys pressed; cond: a screen's name
        g.button(action) if action in d.BUTTONS else g.xdo('key', action)
        return g.settled(cond if callable(cond) else lambda s: s.screen() == cond, what, save)

    dealt = lambda s: s.screen() == 'game' and all(map(all, s.board()))
    board = step('F2', dealt, 'F2 on the start screen: New').board()
    group = max(d.groups(board), key=len)
    d.mark(g, group, 'a click on the doubled board selects its group')
    g.xdo('key', 'ctrl+n', 'Return', 'Escape', 'BackSpace')  # no New, OK or Done; nothing to undo
    g.click(*d.cell(*min(group)))
    moved = d.after_normal_move(board, group)
    g.settled(lambda s: s.board() == moved and not s.red(),
              'Ctrl+N, Return, Escape and Backspace on the board change nothing; the group goes', 'zoom2-moved')
    step('ctrl+z', lambda s: s.board() == board, 'Ctrl+Z: the move is taken back')
    setup = step('setup', 'setup', 'Setup during a game')
    g.click(150, 140)  # Continuous
    g.settled(lambda s: s.screen() == 'setup' and s != setup, 'a click on a doubled option box', 'zoom2-setup')
    step('Return', 'game', 'Return on the setup screen: OK, back to the running game')
    step('end', 'end', 'End clicked on the doubled window')
    step('ctrl+n', dealt, 'Ctrl+N on the end screen: New, a continuous game')
    step('end', 'end', 'End again')
    step('Return', 'start', 'Return on the end screen: Done')
    step('scores', 'scores', 'Scores', 'zoom2-scores')
    step('Escape', 'start', 'Escape on the statistics screen: OK')
    g.xdo('key', 'ctrl+q')
    g.ends('zoom 2: Ctrl+Q')
    cfg = d.read_cfg(folder)
    d.check(cfg and cfg[0] == cfg[3] == cfg[6] == 1, 'Ctrl+Q saved Continuous, a normal, a continuous game: %s' % cfg)


d.main(test)
