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
G, CELL = d.G, d.CELL
FRAMES = {'cell %d,%d' % (i, j): (G['BUBBLE_LEFT'] + CELL * i, G['BUBBLE_TOP'] + CELL * j,
                                  G['BUBBLE_LEFT'] + CELL * i + CELL - 3, G['BUBBLE_TOP'] + CELL * j + CELL - 3)
          for i in range(d.COLUMNS) for j in range(d.ROWS)}
# Buttons by their places: New and End share one, as do OK and Done, Reset and New.
FRAMES.update({name: (x - 4, y - 4, x + G['BUTTON_W'] + 3, y + G['BUTTON_H'] + 3) for name, (x, y) in dict(
    d.BUTTONS, logo=(G['LOGO_BUTTON_X'], G['MAIN_BUTTON_Y'])).items() if name != 'new'})
FRAMES.update({name: (G[l] - 3, G[t] - 3, G[r] + 3, G[b] + 3) for name, (l, t, r, b) in dict(
    normal=('TYPE_BOX_LEFT', 'NORMAL_BOX_TOP', 'NORMAL_BOX_RIGHT', 'NORMAL_BOX_BOTTOM'),
    continuous=('TYPE_BOX_LEFT', 'CONTINUOUS_BOX_TOP', 'CONTINUOUS_BOX_RIGHT', 'CONTINUOUS_BOX_BOTTOM'),
    shifter=('TYPE_BOX_LEFT', 'SHIFTER_BOX_TOP', 'SHIFTER_BOX_RIGHT', 'SHIFTER_BOX_BOTTOM'),
    megashift=('TYPE_BOX_LEFT', 'MEGASHIFT_BOX_TOP', 'MEGASHIFT_BOX_RIGHT', 'MEGASHIFT_BOX_BOTTOM'),
    sounds=('SOUNDS_BOX_LEFT', 'SOUNDS_BOX_TOP', 'SOUNDS_BOX_RIGHT', 'SOUNDS_BOX_BOTTOM'),
    animations=('ANIMATIONS_BOX_LEFT', 'ANIMATIONS_BOX_TOP', 'ANIMATIONS_BOX_RIGHT', 'ANIMATIONS_BOX_BOTTOM')).items()})


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
