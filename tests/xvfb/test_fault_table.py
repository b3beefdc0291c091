#!/usr/bin/env python3
"""Faults a hostile player or desktop brings, one row each on the real program: the X server
gone at busy moments, close signals with a box open, two copies in one folder, files that are
not what they seem, saves that fail, a huge Xft.dpi, an unknown option. Nothing may hang and no
counted game may be lost."""
import contextlib, os, shutil, signal, subprocess, time
import driver as d

GIVE_UP = (0, 0, 1)  # normal game, sounds off, animations on


def give_up(g, n=1):  # n games begun and given up with End, back on the start screen
    g.xdo('windowactivate', '--sync', g.window)  # a click that focuses the window is not passed on
    for _ in range(n):
        d.deal(g)
        g.button('end')
        g.wait_screen('end')
        g.button('done')
    g.wait_screen('start')


def session_left(g):  # processes still in the game's session (a box's helper, say)
    def members():
        left = []
        for pid in filter(str.isdigit, os.listdir('/proc')):
            try:
                fields = open('/proc/%s/stat' % pid).read().rpartition(')')[2].split()
            except OSError:
                continue
            left += [pid] if int(fields[3]) == g.p.pid and fields[0] != 'Z' else []
        return left
    return d.poll(lambda: not members()) or members()


def boxes(g, name):  # the ids of the windows called `name` (a box has no _NET_WM_PID to search by)
    tree = g.x.run(['xwininfo', '-root', '-tree']).stdout.decode(errors='replace').splitlines()
    return [line.split()[0] for line in tree if ' "%s": ' % name in line]


def box(g, name):  # waits for the box window called `name`
    return d.poll(lambda: boxes(g, name))


def display_gone(moment, cfg, busy, sounds=False):
    x = d.Display()
    folder = d.player_folder(cfg)
    g = d.Game(x, folder, env=dict(SDL_AUDIODRIVER='disk', SDL_DISKAUDIOFILE=x.work + '/audio.raw'))
    before = d.read_cfg(folder)
    busy(g)
    start = time.monotonic()
    x.server.p.kill()
    code = g.p.wait(60)
    took = time.monotonic() - start
    d.check(code == 1 and took < 10, 'X server gone %s: exit code %s after %.2f s' % (moment, code, took))
    d.check(session_left(g) is True, 'X server gone %s: no process of the game is left' % moment)
    counted = d.read_cfg(folder)
    d.check(counted[3] == before[3] + (busy is ended), 'X server gone %s: the games on disk: %s' % (moment, counted))


def slid(g):
    board, group = d.deal(g)
    d.mark(g, group)
    g.click(*d.cell(*min(group)))  # the bubbles above and beside start to slide


def ended(g):
    d.deal(g)
    g.button('end')  # the result sound plays, and the window thread waits for its end


def reset_asked(g):
    g.wait_screen('start')
    g.button('scores')
    g.wait_screen('scores')
    g.button('reset')
    d.check(bool(box(g, 'Reset')), 'the Reset box is shown')


def signal_in_box():
    x = d.Display()
    for sig in signal.SIGTERM, signal.SIGHUP, signal.SIGINT:
        folder = d.player_folder([0, 0, 1, 3])
        g = d.Game(x, folder)
        reset_asked(g)
        g.p.send_signal(sig)
        g.ends('%s with the Reset box open' % signal.Signals(sig).name)
        left = session_left(g)
        d.check(left is True and d.read_cfg(folder)[3] == 3, '%s: the box is gone (left: %s), the statistics '
                'not reset: %s' % (signal.Signals(sig).name, left, d.read_cfg(folder)))


def two_copies(x, first_to_close):
    folder = d.player_folder(GIVE_UP)
    a, b = d.Game(x, folder), d.Game(x, folder)
    for g, left in (a, 0), (b, 520):  # side by side: neither hides the other
        g.xdo('windowmove', '--sync', g.window, left, 0)
    give_up(a, 2), give_up(b, 3), give_up(a, 1)
    for g in (a, b) if first_to_close == 'a' else (b, a):
        g.close()
    d.check(d.read_cfg(folder)[3] == 6, 'two copies, %s closed first: 6 games counted: %s'
            % (first_to_close.upper(), d.read_cfg(folder)))


def strange_files(x):
    for what, make, said in (('a FIFO', os.mkfifo, 'not a regular file'),
                             ('a device', lambda p: os.symlink('/dev/zero', p), 'not a regular file'),
                             ('a folder', os.mkdir, 'not a regular file'),
                             ('a short file', lambda p: open(p, 'wb').write(bytes(28)), 'holds 28 bytes')):
        folder = d.player_folder()
        make(folder + '/orbolan.cfg')
        g = d.Game(x, folder)
        give_up(g)
        g.close('%s as orbolan.cfg: the close box' % what)
        d.check(said in g.stderr() and 'kept as orbolan.cfg.damaged' in g.stderr() and
                os.path.lexists(folder + '/orbolan.cfg.damaged') and d.read_cfg(folder)[3] == 1 and
                not os.path.islink(folder + '/orbolan.cfg'),
                '%s as orbolan.cfg: said, set aside, a new file counts the game' % what)
    folder, elsewhere = d.player_folder(), d.tempdir()  # the player's file linked from elsewhere
    shutil.copy(d.player_folder(list(GIVE_UP) + [4]) + '/orbolan.cfg', elsewhere + '/stats')
    os.symlink(elsewhere + '/stats', folder + '/orbolan.cfg')
    victim = elsewhere + '/victim'
    open(victim, 'wb').write(b'v' * 700)
    os.symlink(victim, folder + '/orbolan.cfg.tmp')
    g = d.Game(x, folder)
    give_up(g)
    g.close()
    d.check(os.path.islink(folder + '/orbolan.cfg') and d.read_cfg(folder)[3] == 5,
            'a linked orbolan.cfg stays a link, and the file it names counts the game')
    d.check(d.content(victim) == b'v' * 700 and os.path.islink(folder + '/orbolan.cfg.tmp'),
            'a link at orbolan.cfg.tmp is not followed')
    d.check(sorted(os.listdir(elsewhere)) == ['stats', 'victim'], 'no temporary file is left')


def failed_save(x, what, folder, **game):
    old = d.content(folder + '/orbolan.cfg')
    g = d.Game(x, folder, **game)
    d.deal(g)
    g.button('end')  # counted, and saved at once: the save fails
    d.check(bool(box(g, 'Orbolan')), '%s: a box tells the player' % what)
    g.xdo('windowfocus', '--sync', box(g, 'Orbolan')[0], 'key', 'Return')
    g.wait_screen('end', '%s: the game goes on to its end screen' % what)
    g.button('done')
    g.wait_screen('start')
    g.close('%s: the close box' % what)
    d.check(d.content(folder + '/orbolan.cfg') == old and not boxes(g, 'Orbolan'),
            '%s: the old file stays, and the box was shown once' % what)
    return g.stderr()


def full_and_unwritable(x):
    if os.geteuid() != 0 or not shutil.which('setpriv'):
        return print('skipped: a full disk and an unwritable folder need root (mount, setpriv)')
    folder = d.tempdir()
    subprocess.run(['mount', '-t', 'tmpfs', '-o', 'size=64k', 'tmpfs', folder], check=True)
    d._cleanups.append(lambda: subprocess.run(['umount', '-l', folder]))
    for sound in d.SOUNDS:
        os.symlink(os.path.join(d.BIN, sound), os.path.join(folder, sound))
    shutil.copy(d.player_folder(GIVE_UP) + '/orbolan.cfg', folder)
    filler = os.open(folder + '/filler', os.O_WRONLY | os.O_CREAT)
    with contextlib.suppress(OSError):
        while os.write(filler, b'\0' * 4096):
            pass
    os.close(filler)
    said = failed_save(x, 'a full disk', folder)
    d.check('No space left on device' in said, 'a full disk: standard error says why')
    folder, home = d.player_folder(GIVE_UP), d.tempdir()
    shutil.chown(home, 'nobody')
    cmd = ['setpriv', '--reuid=nobody', '--regid=nogroup', '--clear-groups', shutil.copy(d.GAME, home)]
    said = failed_save(x, 'an unwritable folder', folder, cmd=cmd, home=home)
    d.check('Permission denied' in said, 'an unwritable folder: standard error says why')


def huge_dpi(x):
    for dpi in '1e12', 'inf', '1e400':
        x.run(['xprop', '-root', '-f', 'RESOURCE_MANAGER', '8s', '-set', 'RESOURCE_MANAGER', 'Xft.dpi:\t%s\n' % dpi])
        g = d.Game(x, d.player_folder(GIVE_UP))
        size = g.geometry()[2:]
        g.close('Xft.dpi %s: the close box' % dpi)
        d.check(size == (d.W, d.H), 'Xft.dpi %s: the window is as large as fits the screen: %s' % (dpi, size))
    x.run(['xprop', '-root', '-remove', 'RESOURCE_MANAGER'])


def unknown_option():
    run = subprocess.run([d.GAME, '--scale', '2', '--bogus'], capture_output=True, text=True, timeout=60)
    d.check(run.returncode == 2 and "'--bogus'" in run.stderr and '--help' in run.stderr,
            'an unknown option: exit code %d, %r' % (run.returncode, run.stderr))


def test():
    unknown_option()
    display_gone('with the timer asleep', GIVE_UP, lambda g: d.deal(g) and g.settled(lambda s: True, 'a still board'))
    display_gone('while bubbles slide', GIVE_UP, slid)
    display_gone('while the result sound plays', (0, 1, 1), ended)
    display_gone('with the Reset box open', (0, 0, 1, 3), reset_asked)
    signal_in_box()
    x = d.Display()
    full_and_unwritable(x)
    two_copies(x, 'a')
    two_copies(x, 'b')
    strange_files(x)
    huge_dpi(x)


d.main(test)
