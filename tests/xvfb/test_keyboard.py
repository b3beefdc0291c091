#!/usr/bin/env python3
"""A player without a mouse: after one click to focus the window, keys alone. Ctrl+N, the
arrows to a group (the cursor's frame seen there), Space to select it (the red outline read from
the screen is that group's), Space to remove it, Ctrl+Z; Tab to Setup, Shifter chosen and the
sounds switched with Space, OK; Tab to End, Return for Done; Tab to Scores, Reset answered with
Return. The focus ring never shows on a dimmed button; the file shows each change."""
import driver as d

# Normal games, sounds on, animations off; statistics: normal 5 games, 500 points, best 200.
PREPARED = [0, 1, 0, 5, 500, 200, 1, 10, 10, 2, 20, 20, 3, 30, 30]
BLACK, WHITE = b'\0\0\0', b'\xff\xff\xff'
# Every frame a key may draw, by its outer rectangle (inclusive): the cursor inside a cell's
# box, the ring four pixels around a button's face or around a setup option's click box.
FRAMES = {'cell %d,%d' % (i, j): (48 * i + 8, 48 * j + 8, 48 * i + 53, 48 * j + 53)
          for i in range(d.COLUMNS) for j in range(d.ROWS)}
# Buttons by their places: New and End share one, as do OK and Done, Reset and New.
FRAMES.update({name: (x - 4, y - 4, x + 65, y + 41) for name, (x, y) in dict(
    exit=(6, 376), logo=(74, 376), setup=(142, 376), scores=(210, 376), end=(278, 376), undo=(426, 376),
    ok=(215, 277), ok_credits=(170, 277), done=(180, 277), reset=(250, 277)).items()})
FRAMES.update({name: (l - 3, t - 3, r + 3, b + 3) for name, (l, t, r, b) in dict(
    normal=(97, 101, 210, 120), continuous=(97, 132, 229, 151), shifter=(97, 163, 189, 182),
    megashift=(97, 194, 219, 217), sounds=(277, 81, 416, 101), animations=(278, 124, 406, 143)).items()})


def framed(s, left, top, right, bottom):  # black, white, white, black from the outside in
    for k, colour in enumerate((BLACK, WHITE, WHITE, BLACK)):
        l, t, r, b = left + k, top + k, right - k, bottom - k
        w, h = r - l + 1, b - t + 1
        if (s.rows(l, t, w, 1), s.rows(l, b, w, 1), s.rows(l, t, 1, h), s.rows(r, t, 1, h)) != \
                (colour * w, colour * w, colour * h, colour * h):
            return False
    return True


def frames(s):
    return {name for name, box in FRAMES.items() if framed(s, *box)}


def test():
    folder, x = d.player_folder(PREPARED), d.Display()
    g = d.Game(x, folder)
    g.wait_screen('start')
    g.click(250, 200)  # the title: no button, only the window's focus
    keys = lambda *k: g.xdo('key', '--delay', 20, *k)

    def step(k, cond, what, save=None, marks=()):  # keys pressed; cond: a screen's name or a test
        keys(*k)
        test = cond if callable(cond) else lambda s: s.screen() == cond
        return g.settled(lambda s: test(s) and frames(s) == set(marks), what + ' (frames: %s)' % set(marks), save)

    board = step(['ctrl+n'], lambda s: s.screen() == 'game' and all(map(all, s.board())),
                 'Ctrl+N: New deals 70 bubbles, no cursor before an arrow key').board()
    group = max(d.groups(board), key=len)
    i, j = min(group)
    cursor = 'cell %d,%d' % (i, j)
    step(['Left', 'Up'] + ['Right'] * i + ['Down'] * j, lambda s: s.board() == board and not s.red(),
         'the arrows bring the cursor to %d,%d, stopping at the edges' % (i, j), 'kb-01-cursor', [cursor])
    step(['space'], lambda s: s.red() == d.outline(group),
         'Space: the red outline is the group of %d at the cursor' % len(group), 'kb-02-selected', [cursor])
    moved = d.after_normal_move(board, group)
    step(['space'], lambda s: s.board() == moved and not s.red(),
         'Space again: the group is removed, the cursor keeps its cell', 'kb-03-moved', [cursor])
    step(['ctrl+z'], lambda s: s.board() == board, 'Ctrl+Z: the move is taken back', None, [cursor])
    step(['Tab'] * 3, 'game', 'Tab three times: the ring on Setup', 'kb-04-ring', [cursor, 'setup'])
    step(['space'], 'setup', 'Space: Setup opens; no ring on its dimmed button', 'kb-05-setup')
    step(['Tab'] * 3, 'setup', 'Tab three times: the ring on Shifter', 'kb-06-shifter', ['shifter'])
    before = g.shot()
    step(['space'], lambda s: s.screen() == 'setup' and s != before, 'Space: Shifter chosen', None, ['shifter'])
    step(['Tab'] * 2, 'setup', 'Tab twice: the ring on Play Sounds', None, ['sounds'])
    before = g.shot()
    step(['space'], lambda s: s.screen() == 'setup' and s != before, 'Space: sounds off', 'kb-07-sounds', ['sounds'])
    step(['Tab'] * 2, 'setup', 'Tab twice: the ring on OK', None, ['ok'])
    step(['space'], lambda s: s.board() == board, 'Space: OK, back to the running game', None, [cursor])
    expected = [2, 0] + PREPARED[2:]
    d.check(d.read_cfg(folder) == expected, 'setup OK saved Shifter and sounds off: %s' % d.read_cfg(folder))
    step(['shift+Tab'] * 2, 'game', 'Shift+Tab twice: from the last button, Undo, back to End', None, [cursor, 'end'])
    step(['space'], 'end', 'Space: End, the game counted', 'kb-08-end')
    expected[3] += 1
    d.check(d.read_cfg(folder) == expected, 'the given-up game is saved: %s' % d.read_cfg(folder))
    step(['Return'], 'start', 'Return: Done')
    step(['Tab'] * 4, 'start', 'Tab four times: the ring on Scores', None, ['scores'])
    step(['space'], 'scores', 'Space: the statistics')
    step(['Tab'] * 2, 'scores', 'Tab twice: the ring on Reset', 'kb-09-reset', ['reset'])
    keys('space')
    d.check(d.poll(lambda: x.run(['xdotool', 'getwindowfocus', 'getwindowname']).stdout == b'Reset\n'),
            'Space: Reset asks its question, its box has the keys')
    keys('Return')
    expected[3:] = [0] * 12
    d.check(d.poll(lambda: d.read_cfg(folder) == expected), 'Return answers OK: the statistics cleared: %s'
            % d.read_cfg(folder))
    step(['Escape'], 'start', 'Escape: OK')
    keys('ctrl+q')
    g.ends('Ctrl+Q')
    d.check(d.read_cfg(folder) == expected, 'orbolan.cfg at the end: %s' % d.read_cfg(folder))


d.main(test)
