#!/usr/bin/env python3
"""Plants one small fault at a time in src/, rebuilds the program and the tests that should
see it, runs them and restores the file with git. Prints which faults the tests caught.

    scripts/plant_faults.py [--build build] [--only N,M] [--out results.txt]

Each fault: the file and line, the text on that line to replace, its replacement, and the
test programs to run in order (the first that fails catches it)."""
import argparse, os, subprocess, sys, time

FAULTS = [
    # board rules
    ("src/board/board_grid.cpp", 70, "x >= originX", "x > originX", ["board", "game"]),
    ("src/board/popping.cpp", 100, "column + 1 < columns", "column + 1 <= columns", ["board", "game"]),
    ("src/board/settling.cpp", 18, "r >= 0", "r > 0", ["board", "game"]),
    ("src/board/settling.cpp", 63, "if (!BalloonAt(i))", "if (BalloonAt(i))", ["board", "game"]),
    ("src/board/board_grid.cpp", 46, "stars[c] < 3", "stars[c] < 2", ["board", "game"]),
    ("src/game/round_end.cpp", 145, "!= EndNoMoveLeft", "== EndNoMoveLeft", ["game"]),
    # clock and frame timer
    ("src/platform/runtime/clock.cpp", 95, "kTimerPeriodMs - 1)", "kTimerPeriodMs)", ["platform", "shell", "game"]),
    ("src/shell/frame_timer.cpp", 57, ">= 1)", ">= 0)", ["shell", "game"]),
    ("src/shell/frame_timer.cpp", 48, ">= kSecondMs", "> kSecondMs", ["shell", "game"]),
    # redraw list
    ("src/shell/redraw_list.cpp", 63, "rect->background == background", "rect->background != background", ["shell", "game"]),
    ("src/shell/redraw_list.cpp", 80, "r->x == x", "r->x != x", ["shell", "game"]),
    # held-back drawing and present diffing
    ("src/platform/video/ddraw_repeat.cpp", 44, "a.left < b.right", "a.left <= b.right", ["platform", "surface", "game"]),
    ("src/platform/video/ddraw_repeat.cpp", 83, "locks_ != 0 ||", "locks_ == 0 ||", ["platform", "surface", "game"]),
    ("src/platform/video/shown_diff.cpp", 19, "last + 1", "last", ["platform", "game"]),
    ("src/platform/video/shown_diff.cpp", 21, "y + 1", "y", ["platform", "game"]),
    ("src/platform/video/ddraw_blit.cpp", 92, "v > high", "v >= high", ["platform", "surface", "sprites"]),
    ("src/platform/video/letterbox.cpp", 13, "byWidth > byHeight", "byWidth < byHeight", ["platform"]),
    # files: replacement, settings, hall of fame
    ("src/platform/files/file_replace.cpp", 34, "slash + 1", "slash", ["platform", "game"]),
    ("src/platform/files/file_replace.cpp", 97, "== 0;", "!= 0;", ["platform", "game"]),
    ("src/platform/files/ini_document.cpp", 30, "value.size() >= 2", "value.size() >= 1", ["platform", "game"]),
    ("src/platform/win32/kernel/profile.cpp", 106, "number > INT_MAX", "number >= INT_MAX", ["platform", "game"]),
    ("src/game/high_score_table.cpp", 50, "score > records_", "score >= records_", ["game"]),
    ("src/game/high_score_table.cpp", 75, "== count_", "!= count_", ["game"]),
    # replays
    ("src/platform/replay/replay_format.cpp", 66, "+ 10", "+ 11", ["platform", "game"]),
    ("src/platform/replay/replay_session.cpp", 196, "e->step > session.step", "e->step >= session.step", ["platform", "game"]),
    # sound
    ("src/platform/audio/audio_mixer.cpp", 70, "pan > 0", "pan < 0", ["sound", "platform", "game"]),
    ("src/platform/audio/audio_mixer.cpp", 24, "<= -10000", "< -10000", ["sound", "platform"]),
    ("src/platform/win32/sound/audio_buffer.cpp", 382, "nxt >= total", "nxt > total", ["sound", "platform"]),
    ("src/sound/snd_wav.cpp", 67, "frequency < 100", "frequency <= 100", ["sound"]),
    # pictures, sprites, input
    ("src/platform/sdl/sdl_bmp.cpp", 105, "head[1] != 'M'", "head[1] != 'N'", ["platform", "sprites", "game"]),
    ("src/sprites/sprite.cpp", 150, "currentFrame >= endFrame", "currentFrame > endFrame", ["sprites", "game"]),
    ("src/shell/mouse_state.cpp", 74, "bits != held", "bits == held", ["shell", "platform", "game"]),
]


def run(cmd, **kw):
    return subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, **kw)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", default="build")
    ap.add_argument("--only", default="")
    ap.add_argument("--out", default="")
    args = ap.parse_args()
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    os.chdir(root)
    build = os.path.abspath(args.build)
    chosen = [int(n) for n in args.only.split(",") if n] or range(1, len(FAULTS) + 1)
    env = dict(os.environ, ZORBIT_EXE=os.path.join(build, "zorbit"))
    lines, caught = [], 0
    for n in chosen:
        path, line, old, new, tests = FAULTS[n - 1]
        text = open(path).read().split("\n")
        if old not in text[line - 1]:
            sys.exit(f"fault {n}: '{old}' not on {path}:{line}")
        text[line - 1] = text[line - 1].replace(old, new, 1)
        start = time.time()
        try:
            open(path, "w").write("\n".join(text))
            targets = ["zorbit", "zorbit-options"] + ["test_" + t for t in tests]
            b = run(["nice", "ninja", "-C", build, "-j2"] + targets)
            if b.returncode != 0:
                verdict = "build failed"
            else:
                verdict = "MISSED"
                for t in tests:
                    r = run(["timeout", "300", os.path.join(build, "test_" + t), "--gtest_fail_fast",
                             "--gtest_brief=1"], cwd=build, env=env)
                    if r.returncode != 0:
                        failed = [l.split()[-1] for l in r.stdout.splitlines() if l.startswith("[  FAILED  ]")]
                        verdict = f"caught by test_{t} {failed[0] if failed else '(exit %d)' % r.returncode}"
                        break
        finally:
            run(["git", "checkout", "--", path])
        caught += verdict.startswith("caught")
        row = f"{n:2d} {path}:{line} '{old}'->'{new}': {verdict} ({time.time() - start:.0f} s)"
        print(row, flush=True)
        lines.append(row)
    summary = f"caught {caught} of {len(lines)}"
    print(summary)
    if args.out:
        open(args.out, "w").write("\n".join(lines + [summary]) + "\n")
    run(["nice", "ninja", "-C", build, "-j2"])


if __name__ == "__main__":
    main()
