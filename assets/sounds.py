#!/usr/bin/env python3
"""Synthesise the game's sounds into data/sound/*.wav.

Every sound is made here from sine voices and filtered noise, in one style: soft bell-like
tones for the game's events (laser, batteries, win, lost) and shaped noise for the physical
ones (rope, fuse, blast, impacts). All of them are mono 16-bit WAV at 22050 Hz, start and end
at silence (beam_hot and box_beam are seamless loops instead).

Each sound is levelled by its loudness as a listener hears it: the loudest momentary loudness
(EBU R128: K-weighted, 400 ms windows, measured by libebur128 as the game plays it, on both
speakers) is set by the sound's role in ROLES, under a common peak ceiling. Core actions and
results are loudest, interface sounds quietest.

Needs python3 and libebur128 (Debian package libebur128-1). Run from anywhere:
  assets/sounds.sh            synthesise and write data/sound/*.wav, print loudness and peak
  assets/sounds.sh --verify   synthesise into a temporary folder and compare with the committed files
  assets/sounds.sh --measure FILE...   print the loudness and peak of any 16-bit WAV files
"""
import ctypes, math, os, random, struct, sys, tempfile, wave

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, 'data', 'sound')
RATE = 22050
TAU = 2 * math.pi

CEILING = -1.0     # dBFS: no sample goes above this (the game's mix keeps its own headroom)

# The loudest momentary loudness of each sound, LUFS, by what it is to the player. The game
# plays every sound 6 dB lower than its file (its mix headroom), so a core sound is heard
# at about -21 LUFS at full volume.
ROLES = {
    'core': -15.0,       # the player's own deeds and their results: a rope burns, a blast
    'result': -15.0,     # a battery taken or delivered, the level won or lost
    'action': -18.0,     # the laser switched, a fuse or a battery's fuse lit, a level starts
    'contact': -21.0,    # a body striking another at full speed (the game plays softer ones lower)
    'ambient': -20.0,    # a hot beam's hum, held for as long as the player holds it
    'background': -26.0,  # the hum of a laser box's beam burning something, not the player's
    'interface': -22.0,  # buttons and the editor's place, delete and undo
}


def db(x):
    return 10 ** (x / 20)


def samples(seconds):
    return int(round(seconds * RATE))


# --- voices -------------------------------------------------------------------------------

def sweep(n, f0, f1, partials=((1, 1.0),), vibrato=(0.0, 0.0)):
    """A tone gliding exponentially from f0 to f1 Hz over n samples; partials are
    (multiple, amplitude); vibrato is (rate Hz, depth as a fraction of the frequency)."""
    out, phase = [0.0] * n, 0.0
    rate, depth = vibrato
    for i in range(n):
        t = i / RATE
        f = f0 * (f1 / f0) ** (i / max(1, n - 1))
        f *= 1 + depth * math.sin(TAU * rate * t)
        out[i] = sum(a * math.sin(k * phase) for k, a in partials)
        phase += TAU * f / RATE
    return out


def bell(n, f, decay, partials=((1, 1.0), (2, 0.25), (2.76, 0.12), (5.4, 0.04))):
    """A struck tone: each partial dies away faster the higher it is. A 4 ms onset keeps the
    strike from clicking."""
    out, na = [0.0] * n, samples(0.004)
    for k, a in partials:
        w, d = TAU * f * k / RATE, decay / math.sqrt(k)
        for i in range(n):
            out[i] += a * math.sin(w * i) * math.exp(-i / RATE / d)
    for i in range(min(na, n)):
        out[i] *= 0.5 - 0.5 * math.cos(math.pi * i / na)
    return out


def noise(n, seed):
    rnd = random.Random(seed)
    return [rnd.uniform(-1.0, 1.0) for _ in range(n)]


# --- filters (RBJ biquads and one-pole smoothing) ------------------------------------------

def biquad(x, kind, f, q=0.707, passes=1):
    w = TAU * f / RATE
    alpha, c = math.sin(w) / (2 * q), math.cos(w)
    if kind == 'low':
        b = ((1 - c) / 2, 1 - c, (1 - c) / 2)
    elif kind == 'high':
        b = ((1 + c) / 2, -(1 + c), (1 + c) / 2)
    else:  # band, 0 dB at the centre
        b = (alpha, 0.0, -alpha)
    a0, a1, a2 = 1 + alpha, -2 * c, 1 - alpha
    b0, b1, b2 = (v / a0 for v in b)
    a1, a2 = a1 / a0, a2 / a0
    for _ in range(passes):
        y, x1, x2, y1, y2 = [0.0] * len(x), 0.0, 0.0, 0.0, 0.0
        for i, v in enumerate(x):
            out = b0 * v + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2
            x2, x1, y2, y1 = x1, v, y1, out
            y[i] = out
        x = y
    return x


def sweep_low(x, f0, f1):
    """A one-pole low-pass whose cut-off glides from f0 to f1 Hz: a darkening rumble."""
    y, s, n = [0.0] * len(x), 0.0, len(x)
    for i, v in enumerate(x):
        f = f0 * (f1 / f0) ** (i / max(1, n - 1))
        s += (1 - math.exp(-TAU * f / RATE)) * (v - s)
        y[i] = s
    return y


def looped(x, fn):
    """Filter a loop as a circle: run the filter over two copies and keep the second, so the
    end flows into the start without a seam."""
    return fn(x + x)[len(x):]


# --- envelopes and mixing -----------------------------------------------------------------

def env(n, attack, release, decay=None):
    """Raised-cosine attack and release (seconds), with an optional exponential decay
    (time constant in seconds) in between; exactly 0 at both ends."""
    na, nr = max(1, samples(attack)), max(1, samples(release))
    out = [1.0] * n
    for i in range(n):
        g = math.exp(-i / RATE / decay) if decay else 1.0
        if i < na:
            g *= 0.5 - 0.5 * math.cos(math.pi * i / na)
        if i >= n - nr:
            g *= 0.5 - 0.5 * math.cos(math.pi * (n - 1 - i) / nr)
        out[i] = g
    return out


def mul(x, g):
    return [a * b for a, b in zip(x, g)]


def scale(x, k):
    return [a * k for a in x]


def mix(n, *parts):
    """Sum of (offset in seconds, signal) pairs into n samples."""
    out = [0.0] * n
    for at, x in parts:
        o = samples(at)
        for i, v in enumerate(x[:max(0, n - o)]):
            out[o + i] += v
    return out


def crackles(n, seed, rate, length=0.004):
    """Random short pops at about `rate` per second, each a decaying noise grain."""
    rnd, out, g = random.Random(seed), [0.0] * n, samples(length)
    for i in range(n):
        if rnd.random() < rate / RATE:
            amp = rnd.uniform(0.3, 1.0)
            for j in range(min(g, n - i)):
                out[i + j] += amp * rnd.uniform(-1, 1) * math.exp(-j / (g / 4))
    return out


# --- the sounds ---------------------------------------------------------------------------
# Each returns (samples, role in ROLES, looped).

def click():
    n = samples(0.06)
    tick = bell(n, 1500, 0.012, ((1, 1.0), (2.3, 0.4)))
    snap = mul(biquad(noise(n, 1), 'band', 3500, 1.2), env(n, 0.0005, 0.01, 0.004))
    return mul(mix(n, (0, tick), (0, scale(snap, 0.5))), env(n, 0.001, 0.02)), 'interface', False


def laser_on():
    n = samples(0.30)
    voice = sweep(n, 220, 880, ((1, 1.0), (2, 0.35), (3, 0.15)), (22, 0.01))
    return mul(voice, env(n, 0.01, 0.12, 0.35)), 'action', False


def laser_off():
    n = samples(0.26)
    voice = sweep(n, 880, 200, ((1, 1.0), (2, 0.35), (3, 0.15)), (22, 0.01))
    return mul(voice, env(n, 0.005, 0.12, 0.18)), 'action', False


def hum_loop():
    # One second of whole-hertz partials repeats exactly; a gentle tremolo keeps the hum
    # alive without the once-a-second throb two neighbouring partials would beat, and the
    # circular noise adds the sizzle of burning.
    n = RATE
    hum = [0.0] * n
    for f, a in ((110, 1.0), (220, 0.5), (330, 0.3), (440, 0.18), (1760, 0.05)):
        for i in range(n):
            hum[i] += a * math.sin(TAU * f * i / RATE)
    trem = [1 + 0.1 * math.sin(TAU * 8 * i / RATE) for i in range(n)]
    hiss = looped(noise(n, 4), lambda x: biquad(x, 'band', 3000, 0.8))
    return mix(n, (0, mul(hum, trem)), (0, scale(hiss, 0.35)))


def beam_hot():
    return hum_loop(), 'ambient', True


def box_beam():
    # The same hum as the hero's beam, heard from a laser box: only quieter.
    return hum_loop(), 'background', True


def rope_burn():
    n = samples(0.40)
    snap = mul(biquad(noise(n, 5), 'band', 2400, 0.9), env(n, 0.001, 0.05, 0.045))
    crack = biquad(crackles(n, 6, 90), 'high', 1500)
    twang = mul(sweep(n, 190, 120, ((1, 1.0), (2, 0.3))), env(n, 0.002, 0.1, 0.09))
    tail = mul(crack, env(n, 0.01, 0.1, 0.12))
    return mul(mix(n, (0, scale(snap, 0.6)), (0, scale(tail, 0.8)), (0, scale(twang, 0.6))),
               env(n, 0.001, 0.05)), 'core', False


def fuse():
    # As long as a fuse burns: 41 ticks of 15 ms. A soft, fluttering sizzle in the middle
    # of the range (a band round 2 kHz, the top rolled off) rather than a bright hiss.
    n = samples(0.62)
    hiss = biquad(biquad(noise(n, 7), 'band', 2000, 0.9), 'low', 4500, passes=2)
    flutter = sweep_low([abs(v) for v in noise(n, 8)], 40, 40)
    sizzle = mul(hiss, [0.4 + 4 * v for v in flutter])
    pops = biquad(biquad(crackles(n, 9, 40), 'high', 1200), 'low', 5000)
    return mul(mix(n, (0, sizzle), (0, scale(pops, 0.5))), env(n, 0.02, 0.08)), 'action', False


def blast():
    n = samples(1.30)
    rumble = sweep_low(noise(n, 10), 2500, 120)
    rumble = mul(biquad(rumble, 'high', 30), env(n, 0.003, 0.3, 0.32))
    thump = mul(sweep(n, 95, 38), env(n, 0.004, 0.3, 0.22))
    crack = mul(biquad(noise(n, 11), 'band', 1800, 0.7), env(n, 0.001, 0.05, 0.03))
    return mix(n, (0, scale(rumble, 3.0)), (0, thump), (0, scale(crack, 0.6))), 'core', False


def battery_lit():
    # A warning: the battery's fuse burns and it will blow up if nothing cools it.
    n = samples(0.62)
    beeps = [(0.1 * i, mul(sweep(samples(0.09), f, f, ((1, 1.0), (2, 0.2), (3, 0.1))),
                           env(samples(0.09), 0.008, 0.03)))
             for i, f in enumerate((988, 740) * 3)]
    hiss = mul(biquad(noise(n, 12), 'high', 3500, passes=2), env(n, 0.05, 0.1))
    return mul(mix(n, *beeps, (0, scale(hiss, 0.25))), env(n, 0.002, 0.03)), 'action', False


def battery_taken():
    n = samples(0.50)
    notes = [(0.0, bell(n, 1319, 0.18)), (0.07, bell(n, 1976, 0.22))]
    return mul(mix(n, *notes), env(n, 0.002, 0.15)), 'result', False


def battery_delivered():
    n = samples(0.80)
    notes = [(0.035 * i, scale(bell(n, f, 0.3), 0.8)) for i, f in enumerate((523, 659, 784, 1047))]
    return mul(mix(n, *notes), env(n, 0.002, 0.25)), 'result', False


# The last battery's "battery_delivered" and "win" always start together: win waits in
# silence until the delivered arpeggio has rung, then answers it a fourth higher.
WIN_DELAY = 0.45


def win():
    n = samples(1.50)
    steps = [(0.12 * i, bell(n, f, 0.25)) for i, f in enumerate((698, 880, 1047))]
    chord = [(0.36, scale(bell(n, f, 0.55), 0.7)) for f in (698, 1047, 1397, 1760)]
    tune = mul(mix(n, *steps, *chord), env(n, 0.002, 0.4))
    return mix(samples(WIN_DELAY) + n, (WIN_DELAY, tune)), 'result', False


def lost():
    n = samples(1.30)
    soft = ((1, 1.0), (2, 0.3), (3, 0.25), (5, 0.08))
    notes = [(0.18 * i, mul(sweep(samples(0.2), f, f, soft), env(samples(0.2), 0.01, 0.06)))
             for i, f in enumerate((392, 370, 349))]
    last = sweep(samples(0.76), 330, 300, soft, (5, 0.012))
    notes.append((0.54, mul(last, env(samples(0.76), 0.01, 0.3, 0.5))))
    return mul(mix(n, *notes), env(n, 0.002, 0.05)), 'result', False


def impact():
    # A soft knock: a low wooden body struck, with a short muffled thump of noise.
    n = samples(0.16)
    body = bell(n, 150, 0.035, ((1, 1.0), (2.3, 0.35), (3.9, 0.12)))
    thump = mul(biquad(noise(n, 13), 'low', 700, passes=2), env(n, 0.001, 0.05, 0.012))
    return mul(mix(n, (0, body), (0, scale(thump, 0.8))), env(n, 0.001, 0.04)), 'contact', False


def level_start():
    # Two soft bell notes upwards: the level is ready.
    n = samples(0.60)
    notes = [(0.0, bell(n, 587, 0.2)), (0.09, scale(bell(n, 880, 0.25), 0.8))]
    return mul(mix(n, *notes), env(n, 0.002, 0.2)), 'action', False


def place():
    # A short, dry tock: something set down on the grid.
    n = samples(0.09)
    tock = bell(n, 620, 0.02, ((1, 1.0), (2.7, 0.3)))
    tap = mul(biquad(noise(n, 14), 'band', 1800, 1.0), env(n, 0.0005, 0.02, 0.005))
    return mul(mix(n, (0, tock), (0, scale(tap, 0.4))), env(n, 0.001, 0.03)), 'interface', False


def delete():
    # A soft falling puff: something taken away.
    n = samples(0.18)
    puff = mul(sweep_low(noise(n, 15), 3000, 300), env(n, 0.002, 0.08, 0.06))
    drop = mul(sweep(n, 420, 240, ((1, 1.0), (2, 0.2))), env(n, 0.003, 0.08, 0.05))
    return mul(mix(n, (0, scale(puff, 0.7)), (0, drop)), env(n, 0.001, 0.04)), 'interface', False


def undo():
    # A quick glide down and back: a step taken back (or forward again).
    n = samples(0.14)
    glide = mul(sweep(n, 760, 500, ((1, 1.0), (2, 0.25))), env(n, 0.004, 0.07, 0.07))
    return mul(glide, env(n, 0.001, 0.04)), 'interface', False


SOUNDS = [click, laser_on, laser_off, beam_hot, rope_burn, fuse, blast, battery_lit,
          battery_taken, battery_delivered, win, lost, impact, box_beam, level_start, place,
          delete, undo]


# --- levelling and writing ----------------------------------------------------------------

def ebur128():
    """libebur128 through ctypes (Debian package libebur128-1)."""
    try:
        lib = ctypes.CDLL('libebur128.so.1')
    except OSError:
        sys.exit('assets/sounds.py: libebur128 is missing (apt-get install libebur128-1)')
    lib.ebur128_init.restype = ctypes.c_void_p
    lib.ebur128_init.argtypes = [ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
    lib.ebur128_add_frames_double.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_double),
                                              ctypes.c_size_t]
    lib.ebur128_loudness_momentary.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_double)]
    lib.ebur128_destroy.argtypes = [ctypes.POINTER(ctypes.c_void_p)]
    return lib


EBUR128_MODE_M = 1


def loudness(x, rate=RATE, loop=False):
    """The loudest momentary loudness (LUFS) of a mono sound played on both speakers, as
    the game plays it: read every 10 ms while the sound (twice over for a loop, so its
    windows wrap) and then 400 ms of silence pass through the meter."""
    lib = ebur128()
    state = ctypes.c_void_p(lib.ebur128_init(2, rate, EBUR128_MODE_M))
    signal = list(x) * (2 if loop else 1) + [0.0] * samples(0.4)
    block, best, out = rate // 100, -math.inf, ctypes.c_double()
    for i in range(0, len(signal), block):
        part = signal[i:i + block]
        frames = (ctypes.c_double * (2 * len(part)))(*[v for s in part for v in (s, s)])
        lib.ebur128_add_frames_double(state, frames, len(part))
        lib.ebur128_loudness_momentary(state, ctypes.byref(out))
        best = max(best, out.value)
    lib.ebur128_destroy(ctypes.byref(state))
    return best


def level(x, role, loop):
    """Scales a sound to its role's loudness; lower when that would pass the ceiling."""
    gain = db(ROLES[role] - loudness(x, loop=loop))
    peak = max(abs(v) for v in x) * gain
    if peak > db(CEILING):
        gain *= db(CEILING) / peak
    return [v * gain for v in x]


def peak_db(x):
    return 20 * math.log10(max(max(abs(v) for v in x), 1e-9))


def write_wav(path, x):
    frames = b''.join(struct.pack('<h', max(-32767, min(32767, int(round(v * 32767))))) for v in x)
    with wave.open(path, 'wb') as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(frames)


def read_wav(path):
    with wave.open(path, 'rb') as w:
        params = (w.getnchannels(), w.getsampwidth(), w.getframerate(), w.getnframes())
        data = w.readframes(w.getnframes())
    return params, struct.unpack('<%dh' % (len(data) // 2), data)


def render(folder):
    os.makedirs(folder, exist_ok=True)
    report = []
    for make in SOUNDS:
        x, role, loop = make()
        if not loop:
            x[0] = x[-1] = 0.0
        x = level(x, role, loop)
        write_wav(os.path.join(folder, make.__name__ + '.wav'), x)
        report.append((make.__name__, role, len(x) / RATE, loudness(x, loop=loop), peak_db(x), loop))
    return report


def verify():
    """Synthesise afresh and compare with the committed files. A difference of one step in a
    sample is allowed: another machine's maths library may round a sine differently."""
    with tempfile.TemporaryDirectory() as tmp:
        render(tmp)
        bad = []
        names = sorted(f for f in os.listdir(tmp))
        extra = sorted(set(f for f in os.listdir(OUT) if f.endswith('.wav')) - set(names)) \
            if os.path.isdir(OUT) else []
        for f in names:
            mine = os.path.join(OUT, f)
            if not os.path.exists(mine):
                bad.append(f + ': missing')
                continue
            (p1, s1), (p2, s2) = read_wav(os.path.join(tmp, f)), read_wav(mine)
            if p1 != p2:
                bad.append(f'{f}: format or length differs ({p2} committed, {p1} fresh)')
            elif any(abs(a - b) > 1 for a, b in zip(s1, s2)):
                bad.append(f + ': samples differ')
        bad += [f + ': not made by this script' for f in extra]
    if bad:
        print('data/sound is not up to date with assets/sounds.py (run assets/sounds.sh):')
        for b in bad:
            print('  ' + b)
        return 1
    print(f'data/sound: all {len(names)} sounds match a fresh render')
    return 0


def measure(paths):
    """Loudness and peak of WAV files made anywhere (16-bit, mono or stereo)."""
    for path in paths:
        (channels, _, rate, _), data = read_wav(path)
        x = [sum(data[i:i + channels]) / channels / 32768 for i in range(0, len(data), channels)]
        name = os.path.splitext(os.path.basename(path))[0]
        print(f'{name:20} {loudness(x, rate):6.1f} LUFS {peak_db(x):6.1f} dBFS')
    return 0


def main(args):
    if args == ['--verify']:
        return verify()
    if args[:1] == ['--measure'] and len(args) > 1:
        return measure(args[1:])
    if args:
        print(__doc__)
        return 2
    report = render(OUT)
    print(f'{"sound":20} {"role":11} {"length":>8} {"loudness":>10} {"peak":>9}')
    for name, role, seconds, lufs, peak, loop in report:
        print(f'{name:20} {role:11} {seconds:7.3f}s {lufs:6.1f} LUFS {peak:6.1f} dBFS'
              + ('  (loop)' if loop else ''))
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
