#!/usr/bin/env python3
"""Faults a player met: a line left under Undo, a button left drawn pressed, a pop at a silent
start-up; damaged or missing sounds: a silent game, saved. (Files that are not what they seem,
and counted games on disk when the program dies, are the fault table's.)"""
import os, subprocess
import driver as d


def undo_drawn(x):
    g = d.Game(x, d.player_folder())
    d.deal(g)
    g.button('undo', 'mousedown', 1)  # nothing to undo yet
    g.settled(lambda s: s.shows('undo', face=d.ID['IDB_UNDO_PRESSED']), 'Undo drawn pressed')
    g.button('undo', 'mouseup', 1)
    left, below = d.BUTTONS['undo'][0], d.BUTTONS['undo'][1] + d.G['BUTTON_H']  # the row under Undo
    wood = d.picture(d.ID['IDB_BACKGROUND'])[2][3 * (below * (d.W + 1) + left):][:3 * d.G['BUTTON_W']]
    released = g.settled(lambda s: s.shows('undo'), 'Undo released', 'undo-released')
    d.check(released.rows(left, below, d.G['BUTTON_W'], 1) == wood, 'Undo: the row under the button is wood again')
    g.kill()


def slide(board, group):
    """Cells the farthest bubble slides after the move: the time a press after it has."""
    kept = [[j for j in range(d.ROWS) if board[i][j] and (i, j) not in group] for i in range(d.COLUMNS)]
    columns = [i for i in range(d.COLUMNS) if kept[i]]
    return max([max(d.COLUMNS - len(columns) + k - i, d.ROWS - len(kept[i]) + r - j)
                for k, i in enumerate(columns) for r, j in enumerate(kept[i])] or [0])


def scores_held_as_the_game_ends(g):
    """A game played to its last move, Scores pressed at once and held: held as the game ended?"""
    board = d.deal(g)[0]
    while True:
        last = [gr for gr in d.groups(board) if not d.groups(d.after_normal_move(board, gr))]
        group = max(last, key=lambda gr: slide(board, gr)) if last else max(d.groups(board), key=len)
        d.mark(g, group)
        if last:
            break
        g.click(*d.cell(*min(group)))
        board = d.after_normal_move(board, group)
        g.settled(lambda s: s.board() == board, 'a move of %d' % len(group))
    g.move(*d.cell(*min(group)), 'click', 1, 'mousemove', '--window', g.window,
           d.BUTTONS['scores'][0] + 31, d.BUTTONS['scores'][1] + 19, 'mousedown', 1)
    held = g.wait_screen('end').shows('scores', masked=True, face=d.ID['IDB_SCORES_PRESSED'])
    print('the last move slid %d cells; Scores %s' % (slide(board, group), 'held' if held else 'too late'))
    g.button('scores', 'mouseup', 1)
    return held


def held_through_the_end(x):
    folder = d.player_folder([0, 0, 1])  # animations on, sounds off
    g = d.Game(x, folder, env=dict(SDL_AUDIODRIVER='dummy'))
    for attempt in range(4):
        held = scores_held_as_the_game_ends(g)
        g.button('done')
        start = g.wait_screen('start', save='held-scores-start')
        if held:
            break
    if d.check(held, 'Scores was held down as the end-of-game screen came'):
        d.check(start.shows('scores'), 'after the release Scores is drawn unpressed again')
    g.close()


def silent_start(runs=20):
    """Start-up plays "pop" and stops it at once: it leaked a buffer in one start in four."""
    recorded = loud = 0
    for _ in range(runs):
        audio = os.path.join(d.tempdir(), 'audio.raw')
        p = d._Process([d.GAME], cwd=d.player_folder([0] * 15), stderr=subprocess.DEVNULL, env=dict(
            os.environ, SDL_VIDEODRIVER='dummy', SDL_AUDIODRIVER='disk', SDL_DISKAUDIOFILE=audio))
        recorded += bool(d.poll(lambda: len(d.content(audio) or '') >= 44100))  # 0.25 s of 16-bit stereo
        p.p.kill()
        p.stop()
        loud += d.loud_frames(audio) > 0
    d.check(recorded == runs and loud == 0,
            'start-up with sounds off: %d of %d recorded, %d with sound' % (recorded, runs, loud))


def damaged_sounds(x):
    folder = d.player_folder([0, 1, 1, 4, 400, 150] + [0] * 9)  # sounds on, 4 games
    os.truncate(folder + '/intro.wav', 100)                # cut short
    open(folder + '/click.wav', 'w').write('not a sound')  # not a wave at all
    open(folder + '/pop.wav', 'w').close()                 # empty
    os.remove(folder + '/megapop.wav')
    os.mkdir(folder + '/megapop.wav')                      # a folder
    wav = d.content(folder + '/score.wav')
    open(folder + '/score.wav', 'wb').write(wav[:20] + b'\3' + wav[21:])  # floating point samples
    os.remove(folder + '/higscore.wav')                    # missing
    audio = os.path.join(d.tempdir(), 'audio.raw')
    g = d.Game(x, folder, env=dict(SDL_AUDIODRIVER='disk', SDL_DISKAUDIOFILE=audio))
    board, group = d.deal(g, 'damaged sounds: New deals 70 bubbles')
    d.mark(g, group, 'damaged sounds: the largest group is selected')
    g.click(*d.cell(*min(group)))  # pop or megapop
    g.settled(lambda s: s.board() == d.after_normal_move(board, group), 'damaged sounds: the group goes')
    g.button('end')  # score or high score
    g.wait_screen('end', 'damaged sounds: End shows the end-of-game screen', 'damaged-end')
    g.close('damaged sounds: the close box')
    d.check(d.loud_frames(audio) == 0, 'damaged sounds: nothing was heard')
    d.check((d.read_cfg(folder) or [0] * 4)[3] == 5, 'damaged sounds: the ended game is saved')


def test():
    silent_start()
    x = d.Display()
    undo_drawn(x)
    held_through_the_end(x)
    damaged_sounds(x)


d.main(test)
