#!/usr/bin/env python3
"""A game as a player meets it, its sound recorded by SDL's disk audio driver: New, a group
selected and removed, Setup, Undo, End after the score jingle, Done, the close box and the saved
statistics; then animations chosen and saved at once, and Exit."""
import os, time
import driver as d

# Normal games, sounds on, animations off; statistics: normal 5 games, 500 points, best 200.
PREPARED = [0, 1, 0, 5, 500, 200, 1, 10, 10, 2, 20, 20, 3, 30, 30]


def first_run(x, folder):
    audio = os.path.join(d.tempdir(), 'audio.raw')
    g = d.Game(x, folder, env=dict(SDL_AUDIODRIVER='disk', SDL_DISKAUDIOFILE=audio))
    d.check(d.poll(lambda: d.loud_frames(audio) > 0), 'start-up with sounds on: the click is heard')
    start = g.wait_screen('start', save='01-start')
    board, group = d.deal(g, 'New: 70 bubbles at rest')
    selected = d.mark(g, group, 'selection: red exactly on the border of a group of %d' % len(group))
    g.button('setup')
    setup = g.wait_screen('setup', save='02-setup')
    d.check(all(setup.shows(b, masked=True) for b in ('exit', 'setup', 'end')),
            'setup: the main buttons and End dimmed')
    g.button('ok')
    g.settled(selected, 'setup OK: the same board, score and selection')
    g.click(*d.cell(*min(group)))
    moved = d.after_normal_move(board, group)
    g.settled(lambda s: s.board() == moved and not s.red(),
              'move: bubbles fell, columns closed up to the right, no outline', '03-moved')
    g.button('undo')  # always animated: the board takes no clicks until the bubbles rest
    g.settled(lambda s: s.board() == board, 'undo: the board before the move is back')
    before, clicked = os.path.getsize(audio), time.monotonic()
    g.button('end')  # the score jingle (1.05 s) plays, waited for, before the screen changes
    d.check(d.poll(lambda: g.shot().screen() == 'end'), 'End shows the end-of-game screen')
    d.check((waited := time.monotonic() - clicked) >= 1.0, 'the end-of-game screen came after the jingle (%.2f s)' % waited)
    d.check(d.poll(lambda: d.loud_frames(audio, before) >= 22050), 'the jingle was heard')
    end = g.wait_screen('end', save='04-end')
    ink = [sum(p == (0, 0, 0) for p in zip(*(end.rows(d.G['GAME_SCORE_X'] - 35, d.G[row], 70, 14)[c::3]
                                             for c in range(3))))
           for row in ('GAME_SCORE_SCORE_Y', 'GAME_SCORE_BONUS_Y', 'GAME_SCORE_TOTAL_Y', 'GAME_SCORE_AVERAGE_Y',
                       'GAME_SCORE_GAMES_Y')]
    d.check(min(ink) > 0 and not end.red(), 'end of game: five numbers, no red best %s' % ink)
    g.button('done')
    g.settled(start, 'Done: the start screen again')
    g.close()
    expected = PREPARED[:3] + [6] + PREPARED[4:]  # the ended game counts, its score does not
    d.check(d.read_cfg(folder) == expected, 'orbolan.cfg after closing: %s' % d.read_cfg(folder))
    return expected


def second_run(x, folder, expected):
    g = d.Game(x, folder)
    g.wait_screen('start')
    g.button('setup')
    setup = g.wait_screen('setup')
    g.click(d.G['ANIMATIONS_BOX_LEFT'] + 20, d.G['ANIMATIONS_BOX_TOP'] + 9)
    g.settled(lambda s: s.screen() == 'setup' and s != setup, 'setup: Animations checked')
    g.button('ok')
    g.wait_screen('start')
    expected[2] = 1  # saved at once, not only at the end: a crash keeps it
    d.check(d.read_cfg(folder) == expected, 'setup OK: orbolan.cfg saved at once: %s' % d.read_cfg(folder))
    g.button('exit')
    g.ends('Exit')


def test():
    folder = d.player_folder(PREPARED)
    x = d.Display()
    second_run(x, folder, first_run(x, folder))


d.main(test)
