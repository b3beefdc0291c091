#!/usr/bin/env python3
"""The real program's sound as a player meets it: Orbolan under Xvfb with SDL's disk audio
driver, which writes everything the game plays into a file. Driven by real mouse clicks.

- Start-up with sounds on plays the click: the audio file holds sound.
- New, then End: the end-of-game screen appears only after the score jingle has played to
  its end (at least its length after the click), and the file holds that jingle.
- Left alone, the game closes its audio output: the file stops growing.
- Done, then Exit: the settings file records the ended game.
Exit code 77 when Xvfb or xdotool is missing (the test is then skipped)."""

import argparse
import array
import os
import random
import shutil
import struct
import subprocess
import sys
import tempfile
import time

CLIENT_W, CLIENT_H = 493, 419
NEW_OR_END = (278 + 31, 376 + 19)
EXIT = (6 + 31, 376 + 19)
DONE = (180 + 31, 277 + 19)
FRAME_BYTES = 4  # the game opens its output as 16-bit stereo
RATE = 44100
LOUD = 300       # a sample above this is sound, not silence
failures = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what)
    if not condition:
        failures.append(what)


def wait(condition, seconds, step=0.05):
    end = time.time() + seconds
    while time.time() < end:
        if condition():
            return True
        time.sleep(step)
    return False


def loud_frames(data):
    samples = array.array("h", data[: len(data) // 2 * 2])
    return sum(1 for i in range(0, len(samples) - 1, 2) if abs(samples[i]) > LOUD or abs(samples[i + 1]) > LOUD)


class Display:
    def __init__(self, work):
        self.work, self.xvfb = work, None
        for _ in range(10):
            n = 300 + random.randrange(600)
            if os.path.exists("/tmp/.X11-unix/X%d" % n) or os.path.exists("/tmp/.X%d-lock" % n):
                continue
            self.env = dict(os.environ, DISPLAY=":%d" % n, HOME=work)
            self.xvfb = subprocess.Popen(["Xvfb", ":%d" % n, "-screen", "0", "800x600x24", "-nolisten", "tcp"],
                                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            if wait(lambda: self.run(["xwininfo", "-root"]).returncode == 0, 10, 0.1):
                return
            self.stop()
        raise RuntimeError("Xvfb did not start")

    def run(self, cmd):
        return subprocess.run(cmd, env=self.env, capture_output=True, text=True)

    def stop(self):
        if self.xvfb and self.xvfb.poll() is None:
            self.xvfb.terminate()
            self.xvfb.wait()

    def window_origin(self):
        ids = []
        if not wait(lambda: ids.extend(self.run(["xdotool", "search", "--onlyvisible", "--name", "^Orbolan!$"])
                                       .stdout.split()) or ids, 20, 0.1):
            raise RuntimeError('no window "Orbolan!" appeared')
        info = dict(l.strip().split(":", 1) for l in self.run(["xwininfo", "-id", ids[0]]).stdout.splitlines()
                    if ":" in l)
        return int(info["Absolute upper-left X"]), int(info["Absolute upper-left Y"])

    def click(self, origin, point):
        # Move off first: a synchronous move to where the pointer already is never completes.
        x, y = origin[0] + point[0], origin[1] + point[1]
        subprocess.run(["xdotool", "mousemove", "--sync", str(x + 1), str(y + 1), "mousemove", "--sync", str(x), str(y),
                        "click", "1"], env=self.env, check=True)

    def client_pixels(self, origin):
        """The client area's pixels as raw RGB bytes."""
        geometry = "%dx%d+%d+%d" % (CLIENT_W, CLIENT_H, origin[0], origin[1])
        return subprocess.run(["import", "-window", "root", "-crop", geometry, "rgb:-"], env=self.env,
                              capture_output=True, check=True).stdout


def pixel(shot, x, y):
    i = 3 * (y * CLIENT_W + x)
    return tuple(shot[i:i + 3])


def paper_shown(shot):
    """The end-of-game screen: paper (light, warm) over the middle of the board."""
    r, g, b = pixel(shot, 120, 300)
    return r > 200 and g > 190 and b > 150


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--game", required=True)
    ap.add_argument("--sounds", required=True)
    args = ap.parse_args()
    for tool in ("Xvfb", "xdotool", "xwininfo", "import"):
        if not shutil.which(tool):
            print("skipped: %s is not installed" % tool)
            return 77
    work = tempfile.mkdtemp(prefix="orbolan-sound-")
    display, game = None, None
    try:
        for name in ("intro", "click", "pop", "megapop", "score", "higscore"):
            shutil.copy(os.path.join(args.sounds, name + ".wav"), work)
        cfg = os.path.join(work, "orbolan.cfg")
        with open(cfg, "wb") as f:  # normal game type, sounds on, animations on, no statistics
            f.write(struct.pack("<15i", 0, 1, 1, *([0] * 12)))
        audio = os.path.join(work, "audio.raw")
        display = Display(work)
        env = dict(display.env, SDL_AUDIODRIVER="disk", SDL_DISKAUDIOFILE=audio)
        game = subprocess.Popen([args.game], cwd=work, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        origin = display.window_origin()

        # Start-up plays the click.
        check(wait(lambda: os.path.exists(audio) and loud_frames(open(audio, "rb").read()) > 0, 10),
              "start-up with sounds on: the click is heard")

        display.click(origin, NEW_OR_END)
        board = None
        if wait(lambda: not paper_shown(display.client_pixels(origin)), 5):
            board = display.client_pixels(origin)
        check(board is not None, "New shows the board")
        heard_before = os.path.getsize(audio)

        # End: the end-of-game screen waits for the whole score jingle (1.05 s).
        t0 = time.time()
        display.click(origin, NEW_OR_END)
        check(wait(lambda: paper_shown(display.client_pixels(origin)), 10, 0.02), "End shows the end-of-game screen")
        waited = time.time() - t0
        check(waited >= 1.0, "the end-of-game screen came after the score jingle (%.2f s after the click)" % waited)
        with open(audio, "rb") as f:
            f.seek(heard_before)
            jingle = loud_frames(f.read())
        check(jingle >= RATE // 2, "the jingle was played (%.2f s of sound)" % (jingle / RATE))

        # Left alone, the output stays open a moment (silence keeps being written), then closes
        # and the file stops growing.
        after_jingle = os.path.getsize(audio)
        sizes = []

        def settled():
            sizes.append(os.path.getsize(audio))
            return len(sizes) > 4 and sizes[-1] == sizes[-5]

        check(wait(settled, 20, 0.25), "an idle game closes its audio output")
        idle_open = (sizes[-1] - after_jingle) / FRAME_BYTES / RATE
        check(idle_open > 0.5, "the output was still written to after the jingle (%.2f s) before it closed" % idle_open)

        display.click(origin, DONE)  # the main buttons are masked on the end-of-game screen
        check(wait(lambda: not paper_shown(display.client_pixels(origin)), 5), "Done returns to the start screen")
        display.click(origin, EXIT)
        try:
            code = game.wait(10)
        except subprocess.TimeoutExpired:
            code = None
        check(code == 0, "Exit ends the program with code 0 (got %s)" % code)
        data = open(cfg, "rb").read()
        check(len(data) == 60 and struct.unpack("<15i", data)[3] == 1, "orbolan.cfg counts the ended normal game")
    finally:
        if game and game.poll() is None:
            game.kill()
            game.wait()
        if display:
            display.stop()
        shutil.rmtree(work, ignore_errors=True)
    print("%d check(s) failed" % len(failures) if failures else "all checks passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
