#!/usr/bin/env python3
"""The installed game as a player meets it: installed into a prefix with a space and started
through its launcher, a copy of it through a link with XDG_DATA_HOME set; the Debian package
built, passed by lintian and, as root, installed, started as its menu entry does and removed."""
import glob, os, re, shutil, struct, subprocess
import driver as d

BUILD = os.environ.get('ORBOLAN_BUILD') or os.path.dirname(d.BIN)
APP = 'org.orbolan.orbolan'


def run(*argv, **kw):
    done = subprocess.run(argv, capture_output=True, text=True, **kw)
    return done.stdout if d.check(done.returncode == 0, ' '.join(argv[:3])) else print(done.stderr) or ''


def check_share(share):
    d.check(os.path.getsize(share + '/doc/orbolan/copyright'), 'the copyright is installed')
    run('desktop-file-validate', '%s/applications/%s.desktop' % (share, APP))
    run('appstreamcli', 'validate', '--no-net', '--pedantic', '%s/metainfo/%s.metainfo.xml' % (share, APP))
    for size in 16, 32, 48, 64, 128, 256:
        png = open('%s/icons/hicolor/%dx%d/apps/orbolan.png' % (share, size, size), 'rb').read(24)
        d.check(png == b'\x89PNG\r\n\x1a\n\0\0\0\rIHDR' + struct.pack('>II', size, size), 'a %d px PNG icon' % size)


def played(x, folder, cmd, home, data, sounds, env=None):
    """Started as a player would, closed with the close box: the settings and the sounds in `data`."""
    g = d.Game(x, folder, cmd=[cmd], home=home, env=env)
    g.wait_screen('start', 'started by %s' % cmd, 'package-start')
    g.close()
    d.check(len(d.read_cfg(data) or '') == 15, '%s/orbolan.cfg is 60 bytes' % data)
    wrong = [w for w in d.SOUNDS if not os.path.getsize(os.path.join(data, w)) or
             os.path.realpath(os.path.join(data, w)) != os.path.realpath(os.path.join(sounds, w))]
    d.check(not wrong, 'the sounds in %s lead to %s %s' % (data, sounds, wrong or ''))
    extra = [p for p in (os.path.relpath(os.path.join(r, n), home) for r, ds, fs in os.walk(home)
             for n in ds + fs) if p not in ('.local', '.local/share') and not p.startswith('.local/share/orbolan')]
    d.check(not extra, 'nothing else written to the home folder %s' % extra)


def prefix_install(x):
    work = d.tempdir()
    prefix = work + '/my games'  # a space in every installed path: quoting mistakes show up
    run('cmake', '--install', BUILD, '--prefix', prefix)
    check_share(prefix + '/share')
    desktop = open('%s/share/applications/%s.desktop' % (prefix, APP)).read().splitlines()
    d.check('Exec="%s/games/orbolan"' % prefix in desktop, 'the menu entry quotes the launcher')
    home, elsewhere = d.tempdir(), d.tempdir()
    played(x, elsewhere, prefix + '/games/orbolan', home, home + '/.local/share/orbolan', prefix + '/share/orbolan')
    d.check(d.read_cfg(home + '/.local/share/orbolan') == [0, 1, 1] + [0] * 12,
            'a first start gets a normal game with sounds and animations on')
    d.check(not os.listdir(elsewhere), 'nothing written to the folder it was started from')

    # A copy started through a link, XDG_DATA_HOME set, sounds on, played to a file.
    player, second, link = work + '/data home/orbolan', work + '/second', work + '/orbolan'
    os.makedirs(player)
    seeded = [2] + d.read_cfg(home + '/.local/share/orbolan')[1:]  # the player's own file, read and kept
    open(player + '/orbolan.cfg', 'wb').write(struct.pack('<15i', *seeded))
    shutil.copytree(prefix, second, symlinks=True)
    os.symlink(second + '/games/orbolan', link)
    audio, home2 = work + '/audio.raw', d.tempdir()
    env = dict(XDG_DATA_HOME=work + '/data home', SDL_AUDIODRIVER='disk', SDL_DISKAUDIOFILE=audio)
    played(x, elsewhere, link, home2, player, second + '/share/orbolan', env)
    d.check(d.read_cfg(player) == seeded, 'the setup read from the player folder came back')
    d.check(d.loud_frames(audio) > 0, 'the start-up sound reached the audio device')
    d.check(not os.listdir(home2), 'the home folder was not written, XDG_DATA_HOME being set')


def debian_package(x):
    pkg = d.tempdir()
    run('cpack', '-G', 'DEB', '--config', BUILD + '/CPackConfig.cmake', '-B', pkg, '-D',
        'CMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON')
    deb, = glob.glob(pkg + '/orbolan_*.deb')
    print(run('lintian', '--display-info', '--pedantic', '--fail-on', 'error,warning,info,pedantic', deb))
    status = subprocess.run(['dpkg-query', '-W', '-f=${Status}', 'orbolan'], capture_output=True).stdout
    if os.geteuid() != 0 or not shutil.which('apt-get') or status.endswith(b' installed'):
        return print('skipped: installing the package needs root, apt-get and no package orbolan installed')
    fields = re.split(r'[\s,]+', run('dpkg-deb', '-f', deb, 'Package', 'Section', 'Depends'))
    d.check({'Package:', 'orbolan', 'Section:', 'games', 'libsdl2-2.0-0', 'libsdl2-mixer-2.0-0'} <= set(fields),
            'the package is orbolan in section games, depending on SDL2 and SDL2_mixer: %s' % fields)
    paths = [line.split()[5] for line in run('dpkg-deb', '-c', deb).splitlines()]
    d.check(all(p == './' or p.startswith('./usr/') for p in paths), 'nothing outside /usr')
    apt = ['apt-get', '-y', '-qq', '-o', 'DPkg::Lock::Timeout=300']
    env = dict(os.environ, DEBIAN_FRONTEND='noninteractive')
    d._cleanups.append(lambda: subprocess.run(apt + ['remove', 'orbolan'], env=env, capture_output=True))
    run(*apt, 'install', './' + os.path.basename(deb), cwd=pkg, env=env)
    files = run('dpkg-query', '-L', 'orbolan').splitlines()
    check_share('/usr/share')
    desktop = open('/usr/share/applications/%s.desktop' % APP).read().splitlines()
    exec_words = next(line[5:] for line in desktop if line.startswith('Exec=')).split()
    d.check(len(exec_words) == 1, 'the Exec line is one word: %s' % exec_words)
    home = d.tempdir()
    played(x, home, exec_words[0], home, home + '/.local/share/orbolan', '/usr/share/orbolan')
    run(*apt, 'remove', 'orbolan', env=env)  # folders shared with other packages may stay
    left = [p for p in files if os.path.exists(p) and not (os.path.isdir(p) and not p.endswith('/orbolan'))]
    d.check(not left, 'removed: nothing of the package left behind %s' % left)


def test():
    d.need('cmake', 'cpack', 'desktop-file-validate', 'appstreamcli', 'lintian')
    x = d.Display()
    prefix_install(x)
    debian_package(x)


d.main(test)
