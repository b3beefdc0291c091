"""The real program in a private Xvfb with openbox, driven by xdotool, judged by screenshots and
the files it writes. Whatever happens, what a test started is stopped and its folders removed."""
import contextlib, functools, os, re, select, shutil, signal, struct, subprocess, sys, tempfile, time, traceback

BIN = os.path.abspath(os.environ.get('ORBOLAN_BIN', 'build/rel/bin'))
GAME = os.path.join(BIN, 'orbolan')
ART = os.environ.get('ORBOLAN_ART') or os.path.join(BIN, '..', 'resources', 'generated')
SHOTS = os.environ.get('ORBOLAN_SHOTS') or os.path.join(tempfile.gettempdir(), 'orbolan-shots')


def _game_header(name):  # the #define and constexpr int lines of a header of the game, as numbers
    text, found = open(os.path.join(os.path.dirname(__file__), '..', '..', 'game', name)).read(), {}
    for key, value in re.findall(r'^(?:#define|constexpr int) (\w+)(?: =)? ([\w +*/()-]+?);?(?:\s*//.*)?$', text, re.M):
        found[key] = eval(value, {}, dict(found))  # numbers, and sums and products of earlier names
    return found, text


G, (ID, _orbolan_h) = _game_header('geometry.h')[0], _game_header('ORBOLAN.h')
SOUNDS = re.findall(r'"(\w+\.wav)"', _orbolan_h)
W, H, COLUMNS, ROWS, CELL = G['SCREEN_W'] - 1, G['SCREEN_H'] - 1, G['FIELD_COLUMNS'], G['FIELD_ROWS'], G['CELL_SIZE']
# Top-left corners of the buttons (faces BUTTON_W x BUTTON_H) and the picture each shows when usable.
_MAIN, _SHEET = G['MAIN_BUTTON_Y'], G['SHEET_BUTTON_Y']
BUTTONS = dict(exit=(G['EXIT_BUTTON_X'], _MAIN), setup=(G['SETUP_BUTTON_X'], _MAIN), scores=(G['SCORES_BUTTON_X'], _MAIN),
               new=(G['NEW_BUTTON_X'], _MAIN), end=(G['NEW_BUTTON_X'], _MAIN), undo=(G['UNDO_BUTTON_X'], _MAIN),
               ok=(G['OK_SETUP_BUTTON_X'], _SHEET), ok_credits=(G['OK_CREDITS_BUTTON_X'], _SHEET),
               reset=(G['RESET_BUTTON_X'], _SHEET), done=(G['DONE_BUTTON_X'], _SHEET))
FACES = dict(zip(BUTTONS, (ID[k] for k in ('IDB_EXIT', 'IDB_SETUP', 'IDB_SCORES', 'IDB_NEW', 'IDB_END', 'IDB_UNDO',
                                            'IDB_OK', 'IDB_OK', 'IDB_RESET', 'IDB_DONE'))))
# Each screen by a face that only it shows.
SCREENS = dict(start='new', game='end', setup='ok', credits='ok_credits', scores='reset', end='done')
failures, _cleanups = [], []


class Skip(Exception):  # a tool the test needs is missing: exit code 77
    pass


def check(cond, what):
    print(('ok: ' if cond else 'FAIL: ') + what, flush=True)
    failures.extend([] if cond else [what])
    return cond


def poll(cond):  # cond()'s first true value, or its last one after a minute
    end = time.monotonic() + 60
    while not (result := cond()) and time.monotonic() < end:
        time.sleep(0.05)
    return result


def need(*tools):
    if missing := [tool for tool in tools if shutil.which(tool) is None]:
        raise Skip('not installed: ' + ' '.join(missing))


def cell(i, j):  # the middle of a cell's bubble
    return G['BUBBLE_LEFT'] + CELL * i + CELL // 2 - 1, G['BUBBLE_TOP'] + CELL * j + CELL // 2 - 1


def tempdir(mode=0o755):  # 0o755: a test may run the game as another user below it
    path = tempfile.mkdtemp(prefix='orbolan-')
    os.chmod(path, mode)
    _cleanups.append(lambda: shutil.rmtree(path, ignore_errors=True))
    return path


def player_folder(cfg=None):  # the six sounds, and `cfg` (15 numbers or bytes) as "orbolan.cfg"
    folder = os.path.join(tempdir(), 'game')
    shutil.copytree(BIN, folder, ignore=lambda _, names: [n for n in names if n not in SOUNDS])
    if cfg:
        cfg = cfg if isinstance(cfg, bytes) else struct.pack('<15i', *cfg, *[0] * (15 - len(cfg)))
        open(folder + '/orbolan.cfg', 'wb').write(cfg)
    return folder


def content(path):
    return open(path, 'rb').read() if os.path.exists(path) else None


def read_cfg(folder):
    data = content(os.path.join(folder, 'orbolan.cfg'))
    return data and (list(struct.unpack('<15i', data)) if len(data) == 60 else '%d bytes' % len(data))


def loud_frames(path, start=0):  # 16-bit stereo frames louder than 300 from byte `start` on
    data = (content(path) or b'')[start // 4 * 4:]
    return sum(max(abs(l), abs(r)) > 300 for l, r in struct.iter_unpack('<hh', data[:len(data) // 4 * 4]))


def main(fn):
    signal.signal(signal.SIGINT, signal.default_int_handler)
    for sig in signal.SIGTERM, signal.SIGHUP:
        signal.signal(sig, lambda n, _: sys.exit('signal %d' % n))
    code = 0
    try:
        fn()
    except Skip as e:
        code = print('skipped: %s' % e) or 77
    except BaseException as e:  # Ctrl-C and exits too: a step that could not be finished
        traceback.print_exc()
        check(False, '%s: %s' % (type(e).__name__, e))
    finally:
        for undo in reversed(_cleanups):
            with contextlib.suppress(Exception):
                undo()
    print('%d failure(s); screenshots in %s' % (len(failures), SHOTS))
    sys.exit(code or (1 if failures else 0))


@functools.cache
def picture(pic):  # a 24-bit BMP file, or the program's picture with that id: (w, h, RGB)
    data = open(pic if isinstance(pic, str) else '%s/res_%d.bmp' % (ART, pic), 'rb').read()
    offset, w, h = struct.unpack_from('<I4xii', data, 10)
    starts = (offset + (w * 3 + 3) // 4 * 4 * (abs(h) - 1 - y if h > 0 else y) for y in range(abs(h)))
    rgb = bytearray(b''.join(data[k:k + 3 * w] for k in starts))
    rgb[0::3], rgb[2::3] = rgb[2::3], rgb[0::3]
    return w, abs(h), bytes(rgb)


class Shot:  # the client area as the X server shows it: RGB bytes row by row
    def __init__(self, rgb, size=(W, H)):
        self.rgb, self.size = rgb, size

    def at_bits(self, bits):  # as a screen with bits[c] for colour channel c (red, green, blue) shows it
        keep = [256 - (1 << (8 - min(b, 8))) for b in bits]
        return Shot(bytes(b & keep[k % 3] for k, b in enumerate(self.rgb)), self.size)

    def framed(self, size, at):  # itself at `at` on a black picture of `size`
        rgb, w = bytearray(3 * size[0] * size[1]), self.size[0]
        for y in range(self.size[1]):
            k = 3 * ((at[1] + y) * size[0] + at[0])
            rgb[k:k + 3 * w] = self.rgb[3 * w * y:3 * w * (y + 1)]
        return Shot(bytes(rgb), size)

    def __eq__(self, other):
        return isinstance(other, Shot) and self.rgb == other.rgb

    def difference(self, other):  # where it differs from a shot of its size: the first pixel, the box of all
        if self.size != other.size:
            return 'the sizes differ: %s, expected %s' % (self.size, other.size)
        w, rgb = self.size[0], other.rgb
        at = [k // 3 for k in range(0, len(rgb), 3) if self.rgb[k:k + 3] != rgb[k:k + 3]]
        xs, ys = [k % w for k in at], [k // w for k in at]
        return at and 'first difference at (%d, %d); every difference within x %d..%d, y %d..%d' % (
            xs[0], ys[0], min(xs), max(xs), min(ys), max(ys))

    def rows(self, x, y, w, h):
        starts = range(3 * (y * self.size[0] + x), len(self.rgb), 3 * self.size[0])[:h]
        return b''.join(self.rgb[k:k + 3 * w] for k in starts)

    def save(self, name):
        os.makedirs(SHOTS, exist_ok=True)
        subprocess.run(['convert', '-size', '%dx%d' % self.size, '-depth', '8', 'rgb:-',
                        os.path.join(SHOTS, name + '.png')], input=self.rgb, check=True)

    def shows(self, button, masked=False, face=None):
        # The usable face exactly, or picture `face` (pressed); masked: dimmed by the checkerboard.
        want, mask = picture(face or FACES[button])[2][:G['BUTTON_W'] * G['BUTTON_H'] * 3], picture(ID['IDB_BTNMASK'])[2]
        want = bytes(b if mask[k - k % 3] else 0 for k, b in enumerate(want)) if masked else want
        return self.rows(*BUTTONS[button], G['BUTTON_W'], G['BUTTON_H']) == want

    def screen(self):
        return next((name for name, face in SCREENS.items() if self.shows(face)), None)

    def board(self):
        # board[i][j]: the colour 1..5 of the bubble at rest there, told by its exact inner square
        bubbles = {Shot(picture(ID['IDB_BUBBLE_1'] + k)[2], (46, 46)).rows(10, 10, 26, 26): k + 1 for k in range(5)}
        return [[bubbles.get(self.rows(G['BUBBLE_LEFT'] + CELL * i + 10, G['BUBBLE_TOP'] + CELL * j + 10, 26, 26), 0)
                 for j in range(ROWS)] for i in range(COLUMNS)]

    def red(self):  # the pure red pixels above the status bar
        w, matches = self.size[0], re.finditer(b'(?=\xff\0\0)', self.rgb[:3 * self.size[0] * 345])
        return {(m.start() // 3 % w, m.start() // 3 // w) for m in matches if m.start() % 3 == 0}


def groups(board):  # those of two or more bubbles
    every = set()
    for i, j in ((i, j) for i in range(COLUMNS) for j in range(ROWS) if board[i][j]):
        seen, todo = set(), [(i, j)]
        while todo:
            c = todo.pop()
            if c not in seen and 0 <= c[0] < COLUMNS and 0 <= c[1] < ROWS and board[c[0]][c[1]] == board[i][j]:
                seen.add(c)
                todo += [(c[0], c[1] - 1), (c[0], c[1] + 1), (c[0] - 1, c[1]), (c[0] + 1, c[1])]
        every.add(frozenset(seen))
    return [g for g in every if len(g) > 1]


def after_normal_move(board, group):  # bubbles fall, columns close up to the right
    kept = [[board[i][j] for j in range(ROWS) if (i, j) not in group and board[i][j]] for i in range(COLUMNS)]
    columns = [[0] * (ROWS - len(k)) + k for k in kept if k]
    return [[0] * ROWS] * (COLUMNS - len(columns)) + columns


def outline(group):  # the border of the union of the group's cell boxes (x = 48i + 7 .. 48i + 54)
    left, top = G['BOARD_LEFT'], G['BOARD_TOP']
    inside = lambda x, y: x >= left and y >= top and ((x - left) // CELL, (y - top) // CELL) in group
    return {(x, y) for (i, j) in group for y in range(CELL * j + top, CELL * (j + 1) + top)
            for x in range(CELL * i + left, CELL * (i + 1) + left)
            if not all(inside(*p) for p in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)))}


class _Process:  # a process in a session of its own, ended with whatever it started when the test ends
    def __init__(self, argv, **kw):
        self.p = subprocess.Popen(argv, start_new_session=True, **{'stdout': subprocess.DEVNULL, **kw})
        _cleanups.append(self.stop)

    def stop(self):
        for sig, patience in (signal.SIGTERM, 5), (signal.SIGKILL, 60):
            if self.p.poll() is None:
                with contextlib.suppress(ProcessLookupError, subprocess.TimeoutExpired):
                    os.killpg(self.p.pid, sig)
                    self.p.wait(patience)


class Display:  # Xvfb (a screen of `depth` bits), and openbox on it if `wm`; both run until the test ends
    def __init__(self, size=(1024, 768), wm=True, depth=24):
        need('Xvfb', 'xdotool', 'xwininfo', 'xwd', 'xprop', 'convert', *['openbox', 'wmctrl'] * wm)
        self.work, (read, write), self.size = tempdir(), os.pipe(), size
        self.server = _Process(['Xvfb', '-displayfd', str(write), '-screen', '0', '%dx%dx%d' % (*size, depth), '-nolisten', 'tcp'],
                 pass_fds=[write], stderr=open(self.work + '/xvfb.log', 'ab'))
        os.close(write)
        with os.fdopen(read) as f:  # Xvfb writes its display number once it takes connections
            number = f.readline().strip() if select.select([f], [], [], 60)[0] else ''
        if not number:
            raise RuntimeError('Xvfb did not start: ' + open(self.work + '/xvfb.log').read())
        self.env = dict(DISPLAY=':' + number, PATH=os.environ['PATH'])
        for attempt in range(3 * wm):  # now and then openbox exits at once on a display just opened
            openbox = _Process(['openbox', '--sm-disable'], env=dict(self.env, HOME=tempdir()),
                               stderr=open(self.work + '/openbox.log', 'ab')).p
            if poll(lambda: openbox.poll() is not None or self.run(['wmctrl', '-m']).returncode == 0) \
                    and openbox.poll() is None:
                return
        if wm:
            raise RuntimeError('openbox did not start: ' + open(self.work + '/openbox.log').read())

    def run(self, argv, **kw):
        return subprocess.run(argv, env=self.env, capture_output=True, timeout=60, **kw)


def session(home=None, **env):  # a desktop session's bare environment; no session bus, none started either
    sanitizers = {k: v for k, v in os.environ.items() if k in ('ASAN_OPTIONS', 'UBSAN_OPTIONS', 'TSAN_OPTIONS')}
    return dict(HOME=home or tempdir(), LANG='C.UTF-8', XDG_RUNTIME_DIR=tempdir(0o700), **sanitizers,
                DBUS_SESSION_BUS_ADDRESS='unix:path=/nonexistent', PATH='/usr/local/bin:/usr/bin:/bin:/usr/games', **env)


class Game:  # the game (or `cmd`) in `folder`, a desktop session's bare environment, HOME fresh unless given
    zoom, at = 1, (0, 0)  # the client area's scale and place in the window: mouse positions and screenshots are unscaled

    def __init__(self, x, folder, args=(), env=None, cmd=None, home=None, title='^Orbolan!$'):
        self.x, self.log = x, os.path.join(x.work, 'game-%d.log' % len(_cleanups))
        with open(self.log, 'wb') as log:
            self.p = _Process(list(cmd or [GAME]) + list(args), cwd=folder, stdout=log, stderr=log,
                              env=session(home, DISPLAY=x.env['DISPLAY'], **(env or {}))).p
        found = poll(lambda: self.p.poll() is not None or self.windows(title))
        if found is True or not found:
            raise RuntimeError('no window "Orbolan!" appeared; the game said: ' + self.stderr())
        self.window = found.pop()

    def windows(self, name):  # the ids of this game's visible windows called `name`
        search = ['xdotool', 'search', '--all', '--onlyvisible', '--pid', str(self.p.pid), '--name', name]
        return set(self.x.run(search).stdout.decode().split())

    def stderr(self):
        return open(self.log, errors='replace').read()

    def shot(self, whole=False):  # from xwd's dump, the top-left pixel of each zoom square; whole: the window
        data = self.x.run(['xwd', '-id', self.window, '-silent'], check=True).stdout
        # sizes at 0, 4, 5, 12, byte order at 7, bits per pixel at 11, channel masks at 14-16, colours at 19
        header = struct.unpack_from('>20I', data)
        (z, (x, y)), size, bpp = ((1, (0, 0)) if whole else (self.zoom, self.at)), (header[4], header[5]), header[11] // 8
        crop = (W * z, H * z) if (x, y) != (0, 0) else size  # a frame placed inside a larger window: just it
        w, h = min(size[0] - x, crop[0]) // z, min(size[1] - y, crop[1]) // z
        starts = range(header[0] + 12 * header[19] + y * header[12] + x * bpp, len(data), header[12] * z)[:h]
        if bpp == 4 and header[14:17] == (0xFF0000, 0xFF00, 0xFF):
            rgb = bytearray(3 * w * h)
            for channel, at in enumerate((2, 1, 0) if header[7] == 0 else (1, 2, 3)):
                rgb[channel::3] = b''.join(data[k + at:k + 4 * z * w:4 * z] for k in starts)
            return Shot(bytes(rgb), (w, h))
        # other screens (16 or 30 bits): each channel's top eight bits
        order, channels = 'little' if header[7] == 0 else 'big', []
        for mask in header[14:17]:
            shift, width = (mask & -mask).bit_length() - 1, bin(mask).count('1')
            channels.append((mask, shift + width - 8) if width >= 8 else (mask, shift - (8 - width)))
        put = lambda v, s: v >> s if s >= 0 else v << -s
        self.bits = [bin(m).count('1') for m in header[14:17]]
        return Shot(bytes(put(p & m, s) for k in starts for i in range(w) for p in
                          [int.from_bytes(data[k + i * z * bpp:k + (i * z + 1) * bpp], order)] for m, s in channels),
                    (w, h))

    def settled(self, until, what, save=None):  # the second of two equal screenshots in a row meeting `until`
        last, expected = [None], until if isinstance(until, Shot) else None  # a Shot: that picture exactly

        def steady():
            previous, last[0] = last[0], self.shot()
            return last[0] == previous and (last[0] == expected if expected else until(last[0]))

        if not check(bool(poll(steady)), what):
            name = 'failed-%d' % len(failures)
            last[0].save(name + ('-actual' if expected else ''))
            if expected:
                expected.save(name + '-expected')
                print('  %s; the pictures: %s/%s-expected.png, -actual.png' % (last[0].difference(expected), SHOTS, name))
            raise RuntimeError('the steps after it depend on it: the test ends here')
        if save:
            last[0].save(save)
        return last[0]

    def wait_screen(self, name, what=None, save=None):
        return self.settled(lambda s: s.screen() == name, what or 'the %s screen' % name, save)

    def xdo(self, *commands):
        self.x.run(['xdotool', *map(str, commands)], check=True)

    def move(self, x, y, *then):
        self.xdo('mousemove', '--window', self.window, self.at[0] + x * self.zoom, self.at[1] + y * self.zoom, *then)

    def click(self, x, y):
        self.move(x, y, 'click', 1)

    def button(self, name, *then):  # clicked, or the mouse moved to its centre and `then` done
        self.move(BUTTONS[name][0] + 31, BUTTONS[name][1] + 19, *(then or ('click', 1)))

    def xprop(self, *args):
        return self.x.run(['xprop', '-id', self.window, *args], text=True).stdout

    def geometry(self):  # (x, y, width, height) of the client area on the screen
        info = dict(line.strip().partition(':')[::2] for line in
                    self.x.run(['xwininfo', '-id', self.window], text=True).stdout.splitlines())
        return tuple(int(info[k]) for k in ('Absolute upper-left X', 'Absolute upper-left Y', 'Width', 'Height'))

    def close(self, what='the close box'):  # the window manager asks the window to close
        self.x.run(['wmctrl', '-i', '-c', self.window], check=True)
        self.ends(what)

    def kill(self, sig=signal.SIGKILL):  # the exit code; the test ends if the game is still running a minute on
        self.p.send_signal(sig)
        return self.p.wait(60)

    def ends(self, what):
        if not check((code := self.p.wait(60)) == 0, '%s ends the game with exit code 0 (%s)' % (what, code)):
            print('  the game said: ' + self.stderr()[-2000:])


def deal(g, what='New deals 70 bubbles'):  # from the start screen: the board dealt and its largest group
    g.wait_screen('start')  # a click before the first frame may be lost
    g.button('new')
    board = g.settled(lambda s: all(map(all, s.board())), what).board()
    print('board dealt: %s' % board)
    return board, max(groups(board), key=len)


def mark(g, group, what='the largest group is selected'):
    g.click(*cell(*min(group)))
    return g.settled(lambda s: s.red() == outline(group), what)


def expected_start():  # the first screen as the headless backend composes it
    bmp = os.path.join(tempdir(), 'start.bmp')
    subprocess.run([os.path.join(BIN, 'orbolan_frame_dump'), bmp], check=True)
    w, h, rgb = picture(bmp)
    return Shot(b''.join(rgb[3 * w * y:3 * (w * y + W)] for y in range(H)))
