#!/usr/bin/env python3
"""A working folder the game may not write (it runs as nobody): a whole game plays, the save at
closing fails with a message, and the old "orbolan.cfg" stays byte for byte."""
import os
import shutil
import driver as d


def test():
    if os.geteuid() != 0:
        raise d.Skip('running the game as nobody needs root')
    d.need('setpriv')
    folder = d.player_folder([0, 0, 1, 4, 400, 150] + [0] * 9)
    old = open(folder + '/orbolan.cfg', 'rb').read()
    game = os.path.join(d.tempdir(), 'orbolan')  # where nobody may run it
    shutil.copy(d.GAME, game)
    for name in os.listdir(folder):
        os.chmod(os.path.join(folder, name), 0o644)
    home = d.tempdir()
    shutil.chown(home, 'nobody')
    with d.Display() as x:
        g = x.start(folder, home=home, env=dict(SDL_AUDIODRIVER='dummy'), cmd=[
            'setpriv', '--reuid=nobody', '--regid=nogroup', '--clear-groups', game])
        g.wait_screen('start')
        d.play_game(g, 'read-only')
        g.close()
        d.check(g.wait_exit() == 0, 'read-only: the game ends with exit code 0')
    d.check('cannot save orbolan.cfg, the previous file is kept' in g.stderr(),
            'read-only: the failed save is reported on standard error')
    d.check(open(folder + '/orbolan.cfg', 'rb').read() == old, 'read-only: the old file stays')
    d.check(not os.path.exists(folder + '/orbolan.cfg.tmp'), 'read-only: no temporary file left')


d.main(test)
