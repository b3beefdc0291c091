#!/usr/bin/env python3
"""A game as a player meets it. First run (animations off): New, a group selected, Setup and back
to the same picture, the group removed, Undo, End and its table, Done, the close box and the saved
statistics. Second run: animations and Continuous chosen in the setup, a move slid by the timer
thread, Exit, and the setup saved."""
import driver as d

# Normal games, sounds off, animations off; statistics: normal 5 games, 500 points, best 200.
PREPARED = [0, 0, 0, 5, 500, 200, 1, 10, 10, 2, 20, 20, 3, 30, 30]


def first_run(x, folder):
    g = x.start(folder)
    start = g.wait_screen('start', save='01-start')
    board, group = d.deal(g, 'New: 70 bubbles at rest')
    selected = d.mark(g, group, 'selection: red exactly on the border of a group of %d' % len(group))
    g.button('setup')
    setup = g.wait_screen('setup', save='02-setup')
    d.check(all(setup.shows(b, masked=True) for b in ('exit', 'setup', 'end')),
            'setup: the main buttons and End dimmed')
    g.button('ok')
    g.settled(lambda s: s == selected, 'setup OK: the same board, score and selection')
    g.click(*d.cell(*min(group)))
    moved = d.after_normal_move(board, group)
    g.settled(lambda s: s.board() == moved and not s.red(),
              'move: bubbles fell, columns closed up to the right, no outline', '03-moved')
    g.button('undo')  # always animated: the board takes no clicks until the bubbles rest
    g.settled(lambda s: s.board() == board, 'undo: the board before the move is back')
    g.button('end')
    end = g.wait_screen('end', save='04-end')
    ink = [len([x for x in range(300, 370) for y in range(row, row + 14) if end.at(x, y) == (0, 0, 0)])
           for row in (115, 146, 176, 208, 238)]
    d.check(min(ink) > 0 and not end.red(), 'end of game: five numbers, no red best %s' % ink)
    g.button('done')
    g.settled(lambda s: s == start, 'Done: the start screen again')
    g.close()
    d.check(g.wait_exit() == 0, 'the close box ends the game with exit code 0')
    expected = PREPARED[:3] + [6] + PREPARED[4:]  # the ended game counts, its score does not
    d.check(d.read_cfg(folder) == expected, 'orbolan.cfg after closing: %s' % d.read_cfg(folder))
    return expected


def choose(g, x, y, what):
    g.button('setup')
    setup = g.wait_screen('setup')
    g.click(x, y)
    g.settled(lambda s: s.screen() == 'setup' and s != setup, what)
    g.button('ok')


def second_run(x, folder, expected):
    g = x.start(folder)
    g.wait_screen('start')
    choose(g, 300, 133, 'setup: Animations checked')
    g.wait_screen('start')
    board, group = d.deal(g)
    d.mark(g, group)
    g.click(*d.cell(*min(group)))
    g.settled(lambda s: s.board() == d.after_normal_move(board, group),
              'animated move: the slid bubbles come to rest')
    choose(g, 150, 140, 'setup: Continuous checked')
    g.wait_screen('game', 'setup OK: back to the running game')
    g.button('exit')
    d.check(g.wait_exit() == 0, 'Exit ends the game with exit code 0')
    expected[0], expected[2] = 1, 1
    d.check(d.read_cfg(folder) == expected, 'orbolan.cfg after Exit: %s' % d.read_cfg(folder))


def test():
    folder = d.player_folder(PREPARED)
    with d.Display() as x:
        second_run(x, folder, first_run(x, folder))


d.main(test)
