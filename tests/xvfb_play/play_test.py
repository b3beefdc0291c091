#!/usr/bin/env python3
"""The game as a player meets it: the real program in a private X server with a window
manager, driven by real mouse clicks (xdotool), judged by screenshots and by the bytes of
"orbolan.cfg" it leaves in its working folder.

Run 1: start screen, New, select a group (red outline exactly on its border), remove it (the
board changes as the normal rules say), Undo, Setup during the game and back with OK to the
same board, End and the end-of-game table, Done, then the window's close box.
Run 2: Setup, change the game type and the animations, OK, then Exit.

Screenshots are kept as PNG files in the folder given by --shots for a person to look at.
Exit status: 0 pass, 1 fail, 77 skipped (a tool is missing).
"""

import argparse
import os
import random
import shutil
import struct
import subprocess
import sys
import tempfile
import time

SKIP = 77
SOUNDS = ["intro.wav", "click.wav", "pop.wav", "megapop.wav", "score.wav", "higscore.wav"]
CLIENT_W, CLIENT_H = 493, 419
RED = (255, 0, 0)
COLUMNS, ROWS = 10, 7

# Buttons: top-left corners in client pixels; every face is 62 x 38.
EXIT, SETUP, NEW, END, UNDO = (6, 376), (142, 376), (278, 376), (278, 376), (426, 376)
OK_SETUP, DONE = (215, 277), (180, 277)

failures = []


def check(condition, what):
    print(("ok: " if condition else "FAIL: ") + what, flush=True)
    if not condition:
        failures.append(what)
    return condition


# ---- Pictures -------------------------------------------------------------------------------


class Shot:
    """The client area of the game window, as the X server shows it."""

    def __init__(self, width, height, pixels):
        self.width, self.height, self.pixels = width, height, pixels

    def at(self, x, y):
        o = (y * self.width + x) * 3
        return tuple(self.pixels[o:o + 3])

    def diff(self, other, below=CLIENT_H):
        return [(x, y) for y in range(min(below, self.height)) for x in range(self.width)
                if self.at(x, y) != other.at(x, y)]


def read_ppm(data):
    """Width, height and RGB bytes of a binary PPM, comments allowed in the header."""
    pos, tokens = 0, []
    while len(tokens) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            while data[pos:pos + 1] != b"\n":
                pos += 1
            continue
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        tokens.append(data[start:pos])
    return int(tokens[1]), int(tokens[2]), data[pos + 1:]


class Screen:
    """Screenshots of the whole X screen, cropped to the game's client area."""

    def __init__(self, env, shots_dir):
        self.env, self.shots_dir, self.origin = env, shots_dir, (0, 0)

    def grab(self, name=None):
        xwd = subprocess.run(["xwd", "-root", "-silent"], env=self.env, capture_output=True,
                             check=True).stdout
        ox, oy = self.origin
        crop = "%dx%d+%d+%d" % (CLIENT_W, CLIENT_H, ox, oy)
        ppm = subprocess.run(["convert", "xwd:-", "-crop", crop, "+repage", "ppm:-"],
                             input=xwd, capture_output=True, check=True).stdout
        shot = Shot(*read_ppm(ppm))
        if name:
            subprocess.run(["convert", "xwd:-", "-crop", crop, "+repage",
                            os.path.join(self.shots_dir, name + ".png")], input=xwd, check=True)
        return shot

    def wait_for(self, name, condition, timeout=8.0):
        """Screenshots until `condition(shot)` holds; the last one is kept under `name`."""
        end = time.time() + timeout
        while True:
            shot = self.grab()
            if condition(shot) or time.time() > end:
                self.grab(name)
                return shot
            time.sleep(0.1)


# ---- The board as a player sees it -----------------------------------------------------------


def cell_signature(shot, i, j):
    """A few pixels inside the bubble of cell (i, j); equal colours give equal signatures."""
    x, y = 48 * i + 8, 48 * j + 8
    return (shot.at(x + 31, y + 31), shot.at(x + 23, y + 23), shot.at(x + 15, y + 30))


def read_board(shot, colours):
    """board[i][j]: index of the colour in `colours`, or None for a cell showing none."""
    return [[colours.index(cell_signature(shot, i, j))
             if cell_signature(shot, i, j) in colours else None
             for j in range(ROWS)] for i in range(COLUMNS)]


def group_at(board, i, j):
    colour, seen, todo = board[i][j], set(), [(i, j)]
    while todo:
        c = todo.pop()
        if c in seen or not (0 <= c[0] < COLUMNS and 0 <= c[1] < ROWS):
            continue
        if board[c[0]][c[1]] != colour:
            continue
        seen.add(c)
        todo += [(c[0], c[1] - 1), (c[0], c[1] + 1), (c[0] - 1, c[1]), (c[0] + 1, c[1])]
    return seen


def largest_group(board):
    best = set()
    for i in range(COLUMNS):
        for j in range(ROWS):
            if board[i][j] is not None:
                g = group_at(board, i, j)
                if len(g) > len(best):
                    best = g
    return best


def after_normal_move(board, group):
    """The board after removing `group` in a normal game: bubbles fall, and the columns
    that still hold bubbles close up towards the right, keeping their order."""
    columns = []
    for i in range(COLUMNS):
        kept = [board[i][j] for j in range(ROWS) if (i, j) not in group and board[i][j] is not None]
        columns.append([None] * (ROWS - len(kept)) + kept)
    full = [c for c in columns if any(v is not None for v in c)]
    empty = [[None] * ROWS for _ in range(COLUMNS - len(full))]
    return empty + full


def outline_pixels(group):
    """The border of the union of the group's 48 x 48 cell boxes (cell (i, j) spans
    x = 48i + 7 .. 48i + 54, y = 48j + 7 .. 48j + 54)."""
    def inside(x, y):
        if x < 7 or y < 7:
            return False
        return ((x - 7) // 48, (y - 7) // 48) in group

    out = set()
    for (i, j) in group:
        for y in range(48 * j + 7, 48 * j + 55):
            for x in range(48 * i + 7, 48 * i + 55):
                if not (inside(x - 1, y) and inside(x + 1, y) and inside(x, y - 1) and inside(x, y + 1)):
                    out.add((x, y))
    return out


def red_pixels(shot):
    return {(x, y) for y in range(0, 345) for x in range(CLIENT_W) if shot.at(x, y) == RED}


def masked(shot, topleft):
    """True when about half of a button face is blackened by the checkerboard."""
    x0, y0 = topleft
    black = sum(shot.at(x0 + x, y0 + y) == (0, 0, 0) for y in range(38) for x in range(62))
    return black >= 62 * 38 * 0.45


def white_text_in_status_bar(shot):
    return sum(shot.at(x, y) == (255, 255, 255) for y in range(352, 368) for x in range(10, 300)) > 30


# ---- Processes --------------------------------------------------------------------------------


class Session:
    """A private X server with openbox, and the game started in a working folder."""

    def __init__(self, work):
        self.work, self.procs, self.env = work, [], None

    def start_x(self):
        for _ in range(10):
            display = 300 + random.randrange(600)
            if os.path.exists("/tmp/.X11-unix/X%d" % display) or os.path.exists("/tmp/.X%d-lock" % display):
                continue
            xvfb = subprocess.Popen(["Xvfb", ":%d" % display, "-screen", "0", "1024x768x24",
                                     "-nolisten", "tcp"], stdout=subprocess.DEVNULL,
                                    stderr=open(os.path.join(self.work, "xvfb.log"), "w"))
            self.env = dict(os.environ, DISPLAY=":%d" % display, HOME=self.work)
            if self.wait(self.server_answers, 10):
                self.procs.append(xvfb)
                break
            xvfb.kill()
            xvfb.wait()
        else:
            raise RuntimeError("Xvfb did not start")
        wm = subprocess.Popen(["openbox"], env=self.env, stdout=subprocess.DEVNULL,
                              stderr=open(os.path.join(self.work, "openbox.log"), "w"))
        self.procs.append(wm)
        if not self.wait(lambda: subprocess.run(["wmctrl", "-m"], env=self.env,
                                                capture_output=True).returncode == 0, 10):
            raise RuntimeError("openbox did not start")

    def server_answers(self):
        return subprocess.run(["xwininfo", "-root"], env=self.env,
                              capture_output=True).returncode == 0

    @staticmethod
    def wait(condition, seconds):
        end = time.time() + seconds
        while time.time() < end:
            if condition():
                return True
            time.sleep(0.1)
        return False

    def start_game(self, program, folder):
        log = open(os.path.join(self.work, "game.log"), "a")
        self.game = subprocess.Popen([program], cwd=folder, env=self.env, stdout=log, stderr=log)
        window = []

        def found():
            r = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Orbolan!$"],
                               env=self.env, capture_output=True, text=True)
            window[:] = r.stdout.split()
            return bool(window)

        if not self.wait(found, 20):
            raise RuntimeError("no window \"Orbolan!\" appeared")
        info = subprocess.run(["xwininfo", "-id", window[0]], env=self.env, capture_output=True,
                              text=True).stdout
        fields = dict(line.strip().split(":", 1) for line in info.splitlines() if ":" in line)
        origin = (int(fields["Absolute upper-left X"]), int(fields["Absolute upper-left Y"]))
        size = (int(fields["Width"]), int(fields["Height"]))
        check(size == (CLIENT_W, CLIENT_H), "client area is 493 x 419 (got %d x %d)" % size)
        return origin

    def click(self, origin, x, y):
        subprocess.run(["xdotool", "mousemove", "--sync", str(origin[0] + x), str(origin[1] + y),
                        "click", "1"], env=self.env, check=True)

    def game_ends(self, seconds=10):
        try:
            return self.game.wait(seconds)
        except subprocess.TimeoutExpired:
            return None

    def stop(self):
        for p in [getattr(self, "game", None)] + list(reversed(self.procs)):
            if p is not None and p.poll() is None:
                p.terminate()
                try:
                    p.wait(5)
                except subprocess.TimeoutExpired:
                    p.kill()
                    p.wait()


# ---- The configuration file -------------------------------------------------------------------


def write_cfg(path, values):
    with open(path, "wb") as f:
        f.write(struct.pack("<15i", *values))


def read_cfg(path):
    with open(path, "rb") as f:
        data = f.read()
    check(len(data) == 60, "orbolan.cfg is 60 bytes (got %d)" % len(data))
    return list(struct.unpack("<15i", data[:60])) if len(data) >= 60 else None


# ---- The two runs ------------------------------------------------------------------------------


def centre(topleft):
    return topleft[0] + 31, topleft[1] + 19


def first_run(session, screen, program, folder):
    origin = session.start_game(program, folder)
    screen.origin = origin
    click = lambda p: session.click(origin, *p)

    start = screen.wait_for("01_start", white_text_in_status_bar)
    check(white_text_in_status_bar(start), "start screen: the status line is shown")
    check(start.at(6, 100) == (188, 130, 83) and start.at(487, 100) == (188, 130, 83),
          "start screen: the board frame of the background at x = 6 and 487")
    check(not masked(start, SETUP), "start screen: the main buttons are usable")

    # New: a full board of five colours.
    click(centre(NEW))
    shot = screen.wait_for("02_new", lambda s: s.diff(start, 344) != [])
    signatures = {}
    for i in range(COLUMNS):
        for j in range(ROWS):
            sig = cell_signature(shot, i, j)
            signatures[sig] = signatures.get(sig, 0) + 1
    colours = sorted(signatures)
    check(len(colours) <= 5 and min(signatures.values()) >= 2,
          "new game: 70 bubbles in at most five colours (%d signatures)" % len(colours))
    board = read_board(shot, colours)
    check(red_pixels(shot) == set(), "new game: no outline before a selection")

    # Select the largest group: its border, and nothing else, turns red.
    group = largest_group(board)
    check(len(group) >= 2, "the board has a group of two or more")
    i, j = min(group)
    cell_centre = (48 * i + 8 + 23, 48 * j + 8 + 23)
    click(cell_centre)
    selected = screen.wait_for("03_selected", lambda s: red_pixels(s) != set())
    red = red_pixels(selected)
    expected = outline_pixels(group)
    check(red == expected, "selection: red outline exactly on the group's border "
          "(%d red pixels, %d expected, %d misplaced)" % (len(red), len(expected), len(red ^ expected)))

    # Remove it: the board follows the normal rules, and the outline is gone.
    click(cell_centre)
    predicted = after_normal_move(board, group)
    removed = screen.wait_for("04_removed", lambda s: read_board(s, colours) == predicted)
    check(read_board(removed, colours) == predicted, "move: bubbles fell and columns closed up to the right")
    check(red_pixels(removed) == set(), "move: no outline left")

    # Undo: the board before the move comes back (the return is animated).
    click(centre(UNDO))
    undone = screen.wait_for("05_undo", lambda s: read_board(s, colours) == board)
    check(read_board(undone, colours) == board, "undo: the board before the move is back")
    time.sleep(0.3)  # the tick after the last step ends the animation; then presses count

    # Select again, open Setup during the game, and come back with OK to the same board.
    click(cell_centre)
    before_setup = screen.wait_for("06_selected_again", lambda s: red_pixels(s) == expected)
    click(centre(SETUP))
    setup = screen.wait_for("07_setup", lambda s: masked(s, EXIT))
    check(masked(setup, EXIT) and masked(setup, SETUP) and masked(setup, END),
          "setup: main buttons and the End place are masked")
    check(read_board(setup, colours) != board, "setup: the paper covers the board")
    click(centre(OK_SETUP))
    back = screen.wait_for("08_back_from_setup", lambda s: not masked(s, EXIT))
    check(back.diff(before_setup) == [], "setup OK: the same board, score and selection as before")

    # End: the end-of-game table, without a new best.
    click(centre(END))
    end = screen.wait_for("09_end", lambda s: masked(s, EXIT))
    ink = [sum(end.at(x, y) == (0, 0, 0) for y in range(row, row + 14) for x in range(300, 370))
           for row in (115, 146, 176, 208, 238)]
    check(min(ink) > 0, "end of game: five numbers in the table (dark pixels per row %s)" % ink)
    check(red_pixels(end) == set(), "end of game: an abandoned game is no new best (no red)")

    # Done: back to the start screen, exactly as it first looked.
    click(centre(DONE))
    again = screen.wait_for("10_done", lambda s: s.diff(start) == [])
    check(again.diff(start) == [], "done: the start screen as at start-up")

    # The window's close box (through the window manager).
    subprocess.run(["wmctrl", "-c", "Orbolan!"], env=session.env, check=True)
    code = session.game_ends()
    check(code == 0, "close box: the game ends with exit code 0 (got %s)" % code)


def second_run(session, screen, program, folder):
    origin = session.start_game(program, folder)
    screen.origin = origin
    click = lambda p: session.click(origin, *p)
    start = screen.wait_for("11_start_again", white_text_in_status_bar)
    click(centre(SETUP))
    setup = screen.wait_for("12_setup", lambda s: masked(s, EXIT))
    click((150, 140))  # Continuous
    click((300, 133))  # Animations
    # The marks moved: Standard lost its tick, Continuous and Animations got one.
    marks = screen.wait_for("13_setup_changed", lambda s: s.diff(setup) != [])
    changed = set(marks.diff(setup))
    boxes = {"standard": (99, 97), "continuous": (99, 126), "animations": (280, 119)}
    for name, (x0, y0) in boxes.items():
        check(any((x, y) in changed for x in range(x0, x0 + 17) for y in range(y0, y0 + 22)),
              "setup: the mark of %s changed" % name)
    click(centre(OK_SETUP))
    screen.wait_for("14_back", lambda s: s.diff(start) == [])
    click(centre(EXIT))
    code = session.game_ends()
    check(code == 0, "Exit: the game ends with exit code 0 (got %s)" % code)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--game", required=True)
    parser.add_argument("--sounds", required=True)
    parser.add_argument("--shots", required=True)
    args = parser.parse_args()
    for tool in ["Xvfb", "openbox", "wmctrl", "xdotool", "xwininfo", "xwd", "convert"]:
        if shutil.which(tool) is None:
            print("skipped: %s is not installed" % tool)
            return SKIP
    os.makedirs(args.shots, exist_ok=True)
    work = tempfile.mkdtemp(prefix="orbolan-play-")
    folder = os.path.join(work, "game")
    os.makedirs(folder)
    for name in SOUNDS:
        shutil.copy(os.path.join(args.sounds, name), folder)
    # Normal game, sounds off (the result sound would hold the window), animations off;
    # statistics: normal 5 games, 500 points, best 200; the other types 1, 2, 3.
    prepared = [0, 0, 0, 5, 500, 200, 1, 10, 10, 2, 20, 20, 3, 30, 30]
    write_cfg(os.path.join(folder, "orbolan.cfg"), prepared)
    session = Session(work)
    try:
        session.start_x()
        screen = Screen(session.env, args.shots)
        first_run(session, screen, args.game, folder)
        after_first = read_cfg(os.path.join(folder, "orbolan.cfg"))
        expected = list(prepared)
        expected[3] += 1  # the ended normal game counts, with nothing added to its sums
        check(after_first == expected, "orbolan.cfg after the first run: %s" % after_first)
        second_run(session, screen, args.game, folder)
        after_second = read_cfg(os.path.join(folder, "orbolan.cfg"))
        expected[0], expected[2] = 1, 1  # continuous, animations on
        check(after_second == expected, "orbolan.cfg after the second run: %s" % after_second)
    except Exception as e:  # a step that could not even be tried
        check(False, "%s: %s" % (type(e).__name__, e))
    finally:
        session.stop()
        log = os.path.join(work, "game.log")
        if failures and os.path.exists(log):
            sys.stderr.write(open(log).read())
        shutil.rmtree(work, ignore_errors=True)
    print("screenshots in %s" % args.shots)
    print("%d failure(s)" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
