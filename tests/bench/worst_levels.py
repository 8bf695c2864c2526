#!/usr/bin/env python3
"""The level budget holds: the worst level files we can make, each up to
1 MB, load, run 600 ticks with every hero firing and draw every frame in
under 9 s and 500 MB.

Usage: tests/bench/worst_levels.py [KELVOD] [--keep DIR] [--only NAME]
KELVOD is a Release build of the game (default build-release/kelvod:
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release && cmake --build
build-release --target kelvod). Each file is run alone in a fresh process,
headless, drawing every frame as a window without a GPU does:
`kelvod --headless --render --data D --level 0 --ticks 600 --replay R`, where
the replay switches on every hero's laser and then holds the beams hot while
sweeping them about. The wall time and the peak memory of that process are
printed, and the script exits 1 when one goes over. Not part of the test
suite: it times things.
"""
import math
import os
import random
import shutil
import struct
import subprocess
import sys
import tempfile
import time

MAX_SECONDS = 9.0
MAX_MB = 500
MB = 1 << 20
TICKS = 600
# The budget of src/level/uLevelBudget.h, less the three objects playable() adds.
OBJECTS, ROPES, SEGMENTS, OVERLAPS, DRAWN = 400 - 3, 40, 400, 2000, 600000
LARGEST = 1000  # the largest object (kMaxObjectSize)
ORIGIN = (214, 34)  # the field's place on the screen


def record(x, y, sw, sh, w, h, angle, kind, shape, tag, dynamic=1, interactive=0, frame=0,
           rope=(0, 0, 0, 0, 0, 0)):
    b = struct.pack('<16i', x, y, sw, sh, -w // 2, -h // 2, w, h, angle, kind, *rope)
    for text, size in ((shape, 4), (tag, 6)):
        t = text.encode()
        b += bytes([len(t)]) + t + bytes(size - len(t))
    return b + bytes([interactive, dynamic, frame, 0])


def block(x, y, w=26, h=26, dynamic=1, angle=0, frame=0, interactive=0):
    return record(x, y, w, h, w, h, angle, 2, 'RECT', 'MAPOBJ', dynamic, interactive, frame)


def ball(x, y, r, dynamic=1, tag='MAPOBJ', kind=5):
    return record(x, y, r, r, 2 * r, 2 * r, 0, kind, 'CIRC', tag, dynamic)


def laser_box(x, y, angle):
    return record(x, y, 40, 20, 40, 23, angle, 9, 'RECT', 'LAZBOX', 0)


def rope(a, b, oax=0, oay=0, obx=0, oby=0):
    return record(0, 0, 0, 0, 0, 0, 0, 7, 'ROPE', 'ROPE', 1, 0, 0, (a, b, oax, oay, obx, oby))


# Each level below is made of `n` of something; the script runs the largest
# n the game still loads (found by bisection), so the level sits at the edge
# of the budget.

def stack(n):
    """n bodies on one point, the other objects in a dense heap on a floor,
    short ropes between neighbours of the heap."""
    out = [block(300, 690, 700, 10, dynamic=0)]
    out += [block(300, 300) for _ in range(n)]
    heap = OBJECTS - len(out)
    first = len(out)
    out += [block(20 + 27 * (i % 22), 660 - 27 * (i // 22)) for i in range(heap)]
    out += [rope(first + i, first + i + 1, 0, 0, 0, 0) for i in range(min(ROPES, heap - 1))]
    return out


def long_ropes(n):
    """Every rope allowed, n segments each, hanging from static anchors with
    dynamic balls at their ends, swinging into each other."""
    out = []
    for i in range(ROPES):
        out.append(block(30 * i, 0, dynamic=0))
        out.append(ball(30 * i + 5, 20 * n - 10, 8))
    out += [rope(2 * i, 2 * i + 1) for i in range(ROPES)]
    return out


def ropes_through_heap(n):
    """Ropes of n segments across a heap of dynamic blocks, all falling."""
    out = [block(300, 690, LARGEST, 10, dynamic=0)]
    out += [block(-1000 + 27 * (i % 100), 650 - 27 * (i // 100)) for i in range(OBJECTS - 1 - 2 * ROPES // 2)]
    anchors = len(out)
    for i in range(ROPES // 2):
        out.append(block(-1100, 200 + 3 * i, dynamic=0))
        out.append(ball(-1100 + 20 * n, 200 + 3 * i, 4))
    out += [rope(anchors + 2 * i, anchors + 2 * i + 1) for i in range(ROPES // 2)]
    return out


def pile(n):
    """All objects dropped at random into a square, the smaller the larger n."""
    rng = random.Random(2)
    side = 40000 // n
    out = [block(300, 690, LARGEST, 10, dynamic=0)]
    out += [block(300 + rng.randrange(side), 600 - rng.randrange(side)) for _ in range(OBJECTS - 1)]
    return out


def turned_planks(n):
    """Long thin dynamic planks side by side, turned a little, the closer the
    larger n: their boxes are far larger than they are."""
    out = [block(300, 9000, LARGEST, 10, dynamic=0)]
    out += [block(300, 16000 * i // n - 8000, LARGEST, 2, angle=1) for i in range(OBJECTS - 1)]
    return out


def laser_cage(n):
    """n laser boxes firing into a closed box of mirrors, among mirror balls."""
    rng = random.Random(3)
    out = [block(300, -20, 700, 10, 0, frame=2), block(300, 720, 700, 10, 0, frame=2),
           block(-20, 350, 10, 800, 0, frame=2), block(640, 350, 10, 800, 0, frame=2)]
    out += [laser_box(20 + 30 * (i % 20), 20 + 35 * (i // 20) % 680, rng.randrange(360)) for i in range(n)]
    out += [record(rng.randrange(600), rng.randrange(700), 8, 8, 16, 16, 0, 6, 'CIRC', 'MAPOBJ', 0, 0, 2)
            for _ in range(OBJECTS - len(out))]
    return out


def bombs_and_batteries(n):
    """n heroes, batteries, bombs and laser boxes: every hero checks every
    battery each tick; the laser boxes heat the bombs."""
    out = []
    for i in range(n):
        out.append(record(30 * i, 600, 18, 60, 38, 64, 0, 10, 'RECT', 'HERO', 0, 1))
        out.append(record(30 * i, 100, 19, 19, 44, 44, 0, 12, 'CIRC', 'BATT', 1))
        out.append(record(30 * i, 300, 15, 15, 32, 52, 0, 8, 'CIRC', 'BOOMBA', 1, 1))
        out.append(laser_box(30 * i, 380, 270))
    return out


def crossing_ropes(n):
    """n ropes hanging from anchors on the left with small balls at their
    ends, falling through n ropes hanging from anchors above: segments that
    cross make pairs the physics looks at every step."""
    length = SEGMENTS // (2 * max(n, 1)) * 20 - 10
    out = []
    for i in range(n):
        out += [block(10, 100 + 5 * i, dynamic=0), ball(10 + length, 100 + 5 * i, 4)]
    for i in range(n):
        out += [block(150 + 4 * i, 50, dynamic=0), ball(150 + 4 * i, 50 + length, 4)]
    return out + [rope(2 * i, 2 * i + 1) for i in range(2 * n)]


def ropes_through_block(n):
    """n ropes as long as the budget lets them be, hanging through a large
    dynamic block onto a floor: every segment touches the block."""
    length = SEGMENTS // max(n, 1) * 20 - 10
    out = [block(315, 400, 600, 500), block(315, 690, 700, 10, dynamic=0)]
    for i in range(n):
        out += [block(20 + 600 * i // max(n, 1), 100, dynamic=0), ball(20 + 600 * i // max(n, 1), 100 + length, 6)]
    return out + [rope(2 + 2 * i, 3 + 2 * i) for i in range(n)]


def packed_bodies(n):
    """Every object a dynamic crate, n of them side by side in rows so close
    that each touches its neighbours, falling onto a floor in one heap."""
    out = [block(315, 695, 700, 10, dynamic=0)]
    out += [block(15 + 26 * (i % n), 680 - 26 * (i // n)) for i in range(OBJECTS - 1)]
    return out


def large_turned(n):
    """n objects as wide as the largest, as much of the area to draw as the
    budget leaves, turned and over the whole screen."""
    high = max(2, (DRAWN - 10000) // (LARGEST * max(n, 1)))
    return [block(315 + 37 * i % 300 - 150, 350, LARGEST, high, 0, 45 + 7 * i, i % 3) for i in range(n)]


def over_budget_objects():
    """1 MB of dynamic blocks on one point: refused."""
    return [block(300, 300) for _ in range(MB // 80)]


def over_budget_ropes():
    """1 MB of ropes as long as a level file allows: refused."""
    return [block(0, 0, dynamic=0), block(100, 0, dynamic=0)] + \
        [rope(0, 1, 10000, 10000, -10000, -10000) for _ in range(MB // 80 - 2)]


def random_bytes():
    """1 MB of noise."""
    return [random.Random(5).randbytes(MB)]


def random_records():
    """1 MB of records with random fields and real tags."""
    rng = random.Random(6)
    tags = [('RECT', 'MAPOBJ'), ('CIRC', 'MAPOBJ'), ('RECT', 'HERO'), ('CIRC', 'BATT'),
            ('CIRC', 'BOOMBA'), ('RECT', 'LAZBOX'), ('ROPE', 'ROPE')]
    out = []
    for n in range(MB // 80):
        shape, tag = rng.choice(tags)
        v = [rng.randint(-12000, 12000) for _ in range(9)]
        out.append(record(v[0], v[1], abs(v[2]) % 200, abs(v[3]) % 200, abs(v[4]) % 200 + 1,
                          abs(v[5]) % 200 + 1, v[6], rng.randint(1, 12), shape, tag, rng.randint(0, 1),
                          rng.randint(0, 1), rng.randint(0, 2),
                          (rng.randrange(max(n, 1)), rng.randrange(max(n, 1)), v[7], v[8], v[0] // 2, v[1] // 2)))
    return out


# (level, the range of its n); fixed levels have none.
CASES = [(stack, (1, 400)), (long_ropes, (1, 200)), (ropes_through_heap, (1, 200)), (pile, (1, 4000)),
         (turned_planks, (1, 4000)), (laser_cage, (1, 396)), (bombs_and_batteries, (1, 100)),
         (crossing_ropes, (1, ROPES // 2)), (ropes_through_block, (1, ROPES)), (packed_bodies, (1, 24)),
         (large_turned, (1, 1)),
         (over_budget_objects, None), (over_budget_ropes, None), (random_bytes, None),
         (random_records, None)]


def playable(records):
    """A level that goes on for all its ticks: a battery out of reach (else a
    level without one is won at once), and two heroes to fire."""
    hero = lambda x: record(x, 650, 18, 60, 38, 64, 0, 10, 'RECT', 'HERO', 0, 1)
    battery = record(600, 20, 19, 19, 44, 44, 0, 12, 'CIRC', 'BATT', 0)
    return records + [hero(100), hero(300), battery]


def fire_replay(blob):
    """Clicks every hero of the level file to switch its laser on, then holds
    the left button down and sweeps the beams round the field."""
    lines, tick = [], 1
    for at in range(0, len(blob) - len(blob) % 80, 80):
        if blob[at + 69:at + 74] == b'\x04HERO':
            x, y = struct.unpack_from('<2i', blob, at)
            lines += [f'{tick} move {x + ORIGIN[0]} {y + ORIGIN[1]}', f'{tick + 1} click left']
            tick += 3
    lines += [f'{tick} move 512 384', f'{tick + 1} press left']
    for t in range(tick + 2, TICKS, 5):
        lines.append(f'{t} move {int(529 + 300 * math.cos(t / 40))} {int(384 + 300 * math.sin(t / 40))}')
    return '\n'.join(lines) + '\n'



def padded(records):
    """The level followed by records of no known kind up to 1 MB: they are
    read and skipped."""
    blob = b''.join(records)[:MB]
    pad = record(0, 0, 0, 0, 0, 0, 0, 0, 'RECT', 'PAD')
    return blob + pad * ((MB - len(blob)) // len(pad))


def write_level(data, records):
    blob = b''.join(records)[:MB]
    with open(os.path.join(data, 'level', '1001.map'), 'wb') as f:
        f.write(blob)
    return len(blob)


def loads(kelvod, data, records):
    write_level(data, records)
    p = subprocess.run([kelvod, '--headless', '--data', data, '--level', '0'], capture_output=True, text=True)
    return 'not loaded' not in p.stderr


def largest_loaded(kelvod, data, level, lo, hi):
    """The largest n in lo..hi whose level loads (more of anything costs more)."""
    if not loads(kelvod, data, level(lo)):
        return None
    while lo < hi:
        mid = (lo + hi + 1) // 2
        if loads(kelvod, data, level(mid)):
            lo = mid
        else:
            hi = mid - 1
    return lo


def run(kelvod, data, name, records):
    size = write_level(data, records)
    replay = os.path.join(data, 'fire.replay')
    with open(replay, 'w') as f:
        f.write(fire_replay(b''.join(records)[:MB]))
    with tempfile.TemporaryFile('w+') as err:
        start = time.monotonic()
        p = subprocess.Popen([kelvod, '--headless', '--render', '--data', data, '--level', '0', '--ticks',
                              str(TICKS), '--replay', replay], stdout=subprocess.DEVNULL, stderr=err)
        _, status, usage = os.wait4(p.pid, 0)  # this process's own peak memory
        seconds = time.monotonic() - start
        p.returncode = os.waitstatus_to_exitcode(status)
        err.seek(0)
        refused = 'not loaded' in err.read()
    mb = usage.ru_maxrss / 1024
    ok = p.returncode == 0 and seconds < MAX_SECONDS and mb < MAX_MB
    print(f'{name:26} {size:8d} B {seconds:6.2f} s {mb:6.0f} MB  '
          f'{"refused" if refused else "played "}  {"ok" if ok else "FAILED (status %d)" % p.returncode}')
    return ok


def main():
    args = sys.argv[1:]
    keep = only = None
    if '--keep' in args:
        keep = args[args.index('--keep') + 1]
        del args[args.index('--keep'):args.index('--keep') + 2]
    if '--only' in args:
        only = args[args.index('--only') + 1]
        del args[args.index('--only'):args.index('--only') + 2]
    here = os.path.dirname(os.path.abspath(__file__))
    root = os.path.dirname(os.path.dirname(here))
    kelvod = args[0] if args else os.path.join(root, 'build-release', 'kelvod')
    with tempfile.TemporaryDirectory() as temp:
        data = os.path.join(temp, 'data')
        os.makedirs(os.path.join(data, 'level'))
        for name in ('panel_r.png', 'm.png', 'font_1.zfi'):
            shutil.copy(os.path.join(root, 'data', name), data)
        shutil.copytree(os.path.join(root, 'data', 'sound'), os.path.join(data, 'sound'))
        print(f'{"level":26} {"size":>10} {"time":>8} {"memory":>9}')
        ok = True
        for case, span in CASES:
            name = case.__name__
            if only and name != only:
                continue
            if span:
                level = lambda n, case=case: playable(case(n))
                n = largest_loaded(kelvod, data, level, *span)
                if n is None:
                    print(f'{name:26} not loaded even at its smallest: FAILED')
                    ok = False
                    continue
                records, name = [padded(level(n))], f'{name}({n})'
            else:
                records = case()
            ok = run(kelvod, data, name, records) and ok
            if keep:
                os.makedirs(keep, exist_ok=True)
                with open(os.path.join(keep, name + '.map'), 'wb') as f:
                    f.write(b''.join(records)[:MB])
    sys.exit(0 if ok else 1)


main()
