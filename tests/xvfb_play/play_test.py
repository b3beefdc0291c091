#!/usr/bin/env python3
"""The game as a player meets it: the real program in a private X server with openbox, clicked
with xdotool, judged by screenshots (kept as PNG files in --shots) and by "orbolan.cfg".

Run 1: start screen, New, select a group, remove it, Undo, Setup during the game and back with
OK, End and the end-of-game table, Done, the window's close box. Run 2: Setup, Continuous and
Animations chosen, OK, Exit. Exit status: 0 pass, 1 fail, 77 skipped (a tool is missing).
"""

import argparse
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time

SKIP = 77
W, H = 493, 419  # the client area
COLUMNS, ROWS = 10, 7
# Button top-left corners in client pixels; every face is 62 x 38.
EXIT, SETUP, NEW, END, UNDO = (6, 376), (142, 376), (278, 376), (278, 376), (426, 376)
OK_SETUP, DONE = (215, 277), (180, 277)
failures = []


def check(condition, what):
    print(("ok: " if condition else "FAIL: ") + what, flush=True)
    if not condition:
        failures.append(what)


class Shot:
    """The client area as the X server shows it, RGB bytes row by row."""

    def __init__(self, rgb):
        self.rgb = rgb

    def __eq__(self, other):
        return self.rgb == other.rgb

    def at(self, x, y):
        return tuple(self.rgb[3 * (y * W + x):3 * (y * W + x) + 3])

    def count(self, colour, xs, ys):
        return sum(self.at(x, y) == colour for y in ys for x in xs)

    def red(self):
        """The pure red pixels above the status line."""
        r, g, b = self.rgb[0::3], self.rgb[1::3], self.rgb[2::3]
        return {(i % W, i // W) for i in range(W * 345) if (r[i], g[i], b[i]) == (255, 0, 0)}

    def masked(self, button):  # about half of the face blackened by the checkerboard
        return self.count((0, 0, 0), range(button[0], button[0] + 62),
                          range(button[1], button[1] + 38)) >= 1060

    def status_shown(self):
        return self.count((255, 255, 255), range(10, 300), range(352, 368)) > 30


# ---- The board as a player sees it and as the normal rules change it ----------------------


def read_board(shot, colours=None):
    """board[i][j]: a few pixels of the bubble in cell (i, j), or their index in `colours`."""
    board = [[tuple(shot.at(48 * i + x, 48 * j + y) for x, y in ((39, 39), (31, 31), (23, 38)))
              for j in range(ROWS)] for i in range(COLUMNS)]
    return board if colours is None else [
        [colours.index(s) if s in colours else None for s in column] for column in board]


def group_at(board, i, j):
    seen, todo = set(), [(i, j)]
    while todo:
        c = todo.pop()
        if c not in seen and c[0] in range(COLUMNS) and c[1] in range(ROWS) \
                and board[c[0]][c[1]] == board[i][j]:
            seen.add(c)
            todo += [(c[0], c[1] - 1), (c[0], c[1] + 1), (c[0] - 1, c[1]), (c[0] + 1, c[1])]
    return seen


def after_normal_move(board, group):
    """Bubbles fall, and the columns still holding bubbles close up to the right in order."""
    kept = [[board[i][j] for j in range(ROWS) if (i, j) not in group and board[i][j] is not None]
            for i in range(COLUMNS)]
    columns = [[None] * (ROWS - len(k)) + k for k in kept if k]
    return [[None] * ROWS] * (COLUMNS - len(columns)) + columns


def outline(group):
    """The border of the union of the group's 48 x 48 cell boxes (x = 48i + 7 .. 48i + 54)."""
    inside = lambda x, y: x >= 7 and y >= 7 and ((x - 7) // 48, (y - 7) // 48) in group
    return {(x, y) for (i, j) in group
            for y in range(48 * j + 7, 48 * j + 55) for x in range(48 * i + 7, 48 * i + 55)
            if not all(inside(*p) for p in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)))}


# ---- X server, window manager, the game ---------------------------------------------------


class Session:
    def __init__(self, work, shots):
        self.work, self.shots, self.procs, self.origin, self.pointer = work, shots, [], (0, 0), None
        self.env = dict(os.environ, HOME=work)
        # Xvfb picks a free display itself and names it once it takes connections.
        xvfb = self.spawn(["Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24",
                           "-nolisten", "tcp"], "xvfb", stdout=subprocess.PIPE)
        number = xvfb.stdout.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        self.env["DISPLAY"] = ":" + number.decode()
        self.spawn(["openbox"], "openbox")
        if not self.wait(lambda: self.run(["wmctrl", "-m"]).returncode == 0, 10):
            raise RuntimeError("openbox did not start")

    def spawn(self, argv, log, cwd=None, stdout=subprocess.DEVNULL):
        p = subprocess.Popen(argv, cwd=cwd, env=self.env, stdout=stdout,
                             stderr=open(os.path.join(self.work, log + ".log"), "a"))
        self.procs.append(p)
        return p

    def run(self, argv, **kw):
        return subprocess.run(argv, env=self.env, capture_output=True, **kw)

    @staticmethod
    def wait(condition, seconds):
        end = time.time() + seconds
        while not condition():
            if time.time() > end:
                return False
            time.sleep(0.05)
        return True

    def launch(self, program, folder):
        self.game = self.spawn([program], "game", cwd=folder)
        find = ["xdotool", "search", "--onlyvisible", "--name", "^Orbolan!$"]
        found = []  # the id from the very search that saw the window
        if not self.wait(lambda: found.extend(self.run(find).stdout.split()) or found, 20):
            raise RuntimeError('no window "Orbolan!" appeared')
        lines = self.run(["xwininfo", "-id", found[0].decode()], text=True).stdout.splitlines()
        info = dict(line.strip().split(":", 1) for line in lines if ":" in line)
        self.origin = (int(info["Absolute upper-left X"]), int(info["Absolute upper-left Y"]))
        size = (int(info["Width"]), int(info["Height"]))
        check(size == (W, H), "client area is 493 x 419 (got %d x %d)" % size)

    def grab(self):
        self.xwd = self.run(["xwd", "-root", "-silent"], check=True).stdout
        return Shot(self.convert("-depth", "8", "rgb:-"))

    def convert(self, *output):  # the last screen dump, cut to the client area
        crop = "%dx%d+%d+%d" % (W, H, *self.origin)
        return subprocess.run(["convert", "xwd:-", "-crop", crop, "+repage", *output],
                              input=self.xwd, capture_output=True, check=True).stdout

    def wait_for(self, name, condition, timeout=8.0):
        """Screenshots until `condition(shot)` holds or time is up; the last is kept as a PNG."""
        end = time.time() + timeout
        while not condition(shot := self.grab()) and time.time() < end:
            time.sleep(0.05)
        self.convert(os.path.join(self.shots, name + ".png"))
        return shot

    def click(self, x, y):
        # A synchronous move to where the pointer already is would wait for motion in vain.
        at = [str(self.origin[0] + x), str(self.origin[1] + y)]
        move = ["mousemove", "--sync", *at] if at != self.pointer else []
        self.pointer = at
        self.run(["xdotool", *move, "click", "1"], check=True)

    def press(self, button):
        self.click(button[0] + 31, button[1] + 19)

    def game_ends(self):
        try:
            return self.game.wait(10)
        except subprocess.TimeoutExpired:
            return None

    def stop(self):
        for p in reversed(self.procs):
            p.terminate()
            try:
                p.wait(5)
            except subprocess.TimeoutExpired:
                p.kill()


def read_cfg(path):
    data = open(path, "rb").read()
    return list(struct.unpack("<15i", data)) if len(data) == 60 else "%d bytes" % len(data)


# ---- The two runs -------------------------------------------------------------------------


def first_run(s):
    start = s.wait_for("01_start", Shot.status_shown)
    check(start.status_shown() and not start.masked(SETUP), "start: status line, usable buttons")

    s.press(NEW)
    shot = s.wait_for("02_new", lambda t: read_board(t) != read_board(start))
    signatures = [sig for column in read_board(shot) for sig in column]
    colours = sorted(set(signatures))
    check(len(colours) <= 5 and min(map(signatures.count, colours)) >= 2 and not shot.red(),
          "new game: 70 bubbles in at most five colours, no outline (%d seen)" % len(colours))
    board = read_board(shot, colours)

    # The largest group is selected: its border, and nothing else, turns red.
    group = max((group_at(board, i, j) for i in range(COLUMNS) for j in range(ROWS)), key=len)
    cell = (48 * min(group)[0] + 31, 48 * min(group)[1] + 31)
    s.click(*cell)
    red = s.wait_for("03_selected", Shot.red).red()
    check(red == outline(group), "selection: red exactly on the group's border (%d red, %d "
          "expected)" % (len(red), len(outline(group))))

    s.click(*cell)
    predicted = after_normal_move(board, group)
    removed = s.wait_for("04_removed", lambda t: read_board(t, colours) == predicted)
    check(read_board(removed, colours) == predicted and not removed.red(),
          "move: bubbles fell, columns closed up to the right, no outline left")

    s.press(UNDO)
    undone = s.wait_for("05_undo", lambda t: read_board(t, colours) == board)
    check(read_board(undone, colours) == board, "undo: the board before the move is back")

    # Selected again, Setup during the game, and back with OK to the very same picture.
    time.sleep(0.3)  # the tick after the last step of the undo ends its animation
    s.click(*cell)
    before = s.wait_for("06_selected_again", lambda t: t.red() == outline(group))
    s.press(SETUP)
    setup = s.wait_for("07_setup", lambda t: t.masked(EXIT))
    check(all(map(setup.masked, (EXIT, SETUP, END))), "setup: main buttons and End masked")
    s.press(OK_SETUP)
    check(s.wait_for("08_back_from_setup", lambda t: t == before) == before,
          "setup OK: the same board, score and selection as before")

    s.press(END)
    end = s.wait_for("09_end", lambda t: t.masked(EXIT))
    ink = [end.count((0, 0, 0), range(300, 370), range(row, row + 14))
           for row in (115, 146, 176, 208, 238)]
    check(min(ink) > 0 and not end.red(), "end of game: five numbers, no red best (ink %s)" % ink)

    s.press(DONE)
    check(s.wait_for("10_done", lambda t: t == start) == start, "done: the start screen again")
    s.run(["wmctrl", "-c", "Orbolan!"], check=True)
    check(s.game_ends() == 0, "close box: the game ends with exit code 0")


def second_run(s):
    start = s.wait_for("11_start_again", Shot.status_shown)
    s.press(SETUP)
    setup = s.wait_for("12_setup", lambda t: t.masked(EXIT))
    s.click(150, 140)  # Continuous
    s.click(300, 133)  # Animations
    s.wait_for("13_setup_changed", lambda t: t != setup)
    s.press(OK_SETUP)
    s.wait_for("14_back", lambda t: t == start)
    s.press(EXIT)
    check(s.game_ends() == 0, "Exit: the game ends with exit code 0")


def main():
    parser = argparse.ArgumentParser()
    for option in ("--game", "--sounds", "--shots"):
        parser.add_argument(option, required=True)
    args = parser.parse_args()
    for tool in ["Xvfb", "openbox", "wmctrl", "xdotool", "xwininfo", "xwd", "convert"]:
        if shutil.which(tool) is None:
            print("skipped: %s is not installed" % tool)
            return SKIP
    os.makedirs(args.shots, exist_ok=True)
    work = tempfile.mkdtemp(prefix="orbolan-play-")
    folder = os.path.join(work, "game")
    os.makedirs(folder)
    for name in ["intro.wav", "click.wav", "pop.wav", "megapop.wav", "score.wav", "higscore.wav"]:
        shutil.copy(os.path.join(args.sounds, name), folder)
    # Normal game, sounds off (the result sound would hold the window), animations off;
    # statistics: normal 5 games, 500 points, best 200; the other types 1, 2, 3.
    prepared = [0, 0, 0, 5, 500, 200, 1, 10, 10, 2, 20, 20, 3, 30, 30]
    cfg = os.path.join(folder, "orbolan.cfg")
    with open(cfg, "wb") as f:
        f.write(struct.pack("<15i", *prepared))
    expected = prepared[:3] + [6] + prepared[4:]  # the ended game counts, its score does not
    session = None
    try:
        session = Session(work, args.shots)
        session.launch(args.game, folder)
        first_run(session)
        check(read_cfg(cfg) == expected, "orbolan.cfg after the close box: %s" % read_cfg(cfg))
        session.launch(args.game, folder)
        second_run(session)
        expected[0], expected[2] = 1, 1  # continuous, animations on
        check(read_cfg(cfg) == expected, "orbolan.cfg after Exit: %s" % read_cfg(cfg))
    except Exception as e:  # a step that could not even be tried
        check(False, "%s: %s" % (type(e).__name__, e))
    finally:
        if session:
            session.stop()
        if failures and os.path.exists(os.path.join(work, "game.log")):
            sys.stderr.write(open(os.path.join(work, "game.log")).read())
        shutil.rmtree(work, ignore_errors=True)
    print("screenshots in %s\n%d failure(s)" % (args.shots, len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
