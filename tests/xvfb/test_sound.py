#!/usr/bin/env python3
"""Sound as a player hears it, recorded by SDL's disk audio driver (16-bit stereo): start-up
sounds the click; End shows its table only after the score jingle has played. Damaged and
missing sound files: a whole game plays in silence and is saved."""
import os
import shutil
import time
import driver as d

# Normal games, sounds on, animations on; normal: 4 games, 400 points, best 150.
SETTINGS = [0, 1, 1, 4, 400, 150] + [0] * 9


def whole_sounds(x):
    audio = os.path.join(d.tempdir(), 'audio.raw')
    g = x.start(d.player_folder(SETTINGS), env=dict(SDL_AUDIODRIVER='disk', SDL_DISKAUDIOFILE=audio))
    d.wait_for(lambda: d.loud_frames(audio) > 0, 'start-up with sounds on: the click is heard')
    g.wait_screen('start')
    g.button('new')
    g.settled(lambda s: d.full(s.board()), 'New deals the board')
    before, clicked = os.path.getsize(audio), time.monotonic()
    g.button('end')  # the score jingle (1.05 s) plays, waited for, before the screen changes
    d.wait_for(lambda: g.shot().screen() == 'end', 'End shows the end-of-game screen')
    waited = time.monotonic() - clicked
    d.check(waited >= 1.0, 'the end-of-game screen came after the jingle (%.2f s)' % waited)
    d.wait_for(lambda: d.loud_frames(audio, before) >= 22050, 'the jingle was heard')
    g.close()
    d.check(g.wait_exit() == 0, 'closed with exit code 0')


def damaged_sounds(x):
    folder = d.player_folder(SETTINGS)
    with open(folder + '/intro.wav', 'r+b') as f:
        f.truncate(100)                                    # cut short
    open(folder + '/click.wav', 'w').write('not a sound')  # not a wave at all
    open(folder + '/pop.wav', 'w').close()                 # empty
    os.remove(folder + '/megapop.wav')
    os.mkdir(folder + '/megapop.wav')                      # a folder
    with open(folder + '/score.wav', 'r+b') as f:
        f.seek(20)
        f.write(b'\3')                                     # floating point samples
    os.remove(folder + '/higscore.wav')                    # missing
    audio = os.path.join(d.tempdir(), 'audio.raw')
    g = x.start(folder, env=dict(SDL_AUDIODRIVER='disk', SDL_DISKAUDIOFILE=audio))
    g.wait_screen('start')
    d.play_game(g, 'damaged sounds')
    g.close()
    d.check(g.wait_exit() == 0, 'damaged sounds: closed with exit code 0')
    d.check(d.loud_frames(audio) == 0, 'damaged sounds: nothing was heard')
    d.check((d.read_cfg(folder) or [0] * 4)[3] == 5, 'damaged sounds: the ended game is saved')


def test():
    with d.Display() as x:
        whole_sounds(x)
        damaged_sounds(x)


d.main(test)
