#!/usr/bin/env python3
"""Generate the bundled sounds and pictures for VORQ.

Everything produced here is synthesised from scratch by this script, using
only the Python 3 standard library.  Run it from anywhere:

    python3 resources/tools/make_media.py

Output goes to resources/sounds/ and resources/pictures/ next to this
tools/ folder.  The script is deterministic: running it twice gives
byte-identical files.
"""

import math
import os
import random
import struct
import sys
import wave

HERE = os.path.dirname(os.path.abspath(__file__))
RES = os.path.dirname(HERE)
SOUND_DIR = os.path.join(RES, "sounds")
PICTURE_DIR = os.path.join(RES, "pictures")

RATE = 22050


# ---------------------------------------------------------------------------
# Sound synthesis
# ---------------------------------------------------------------------------

def silence(seconds):
    return [0.0] * int(round(seconds * RATE))


def tone(freq, seconds, amp=0.5, harmonics=((1, 1.0),), attack=0.008,
         release=0.02, decay=None):
    """A tone made of sine partials.

    harmonics: sequence of (multiple, relative amplitude).
    decay:     if given, exponential decay time constant in seconds;
               otherwise the tone is held and released linearly.
    """
    n = int(round(seconds * RATE))
    total = sum(a for _, a in harmonics)
    out = []
    a_n = max(1, int(attack * RATE))
    r_n = max(1, int(release * RATE))
    for i in range(n):
        t = i / RATE
        s = 0.0
        for mult, rel in harmonics:
            s += rel * math.sin(2.0 * math.pi * freq * mult * t)
        s /= total
        env = 1.0
        if i < a_n:
            env *= i / a_n
        if decay is not None:
            env *= math.exp(-t / decay)
        if i >= n - r_n:
            env *= (n - i) / r_n
        out.append(amp * env * s)
    return out


def bell(freq, seconds, amp=0.5, decay=0.12):
    """Bell-like strike: inharmonic partials, each decaying on its own."""
    partials = ((1.0, 1.0, 1.0), (2.0, 0.5, 0.6), (2.76, 0.35, 0.45),
                (5.4, 0.18, 0.25), (8.93, 0.08, 0.15))
    n = int(round(seconds * RATE))
    total = sum(p[1] for p in partials)
    a_n = int(0.003 * RATE)
    out = []
    for i in range(n):
        t = i / RATE
        s = 0.0
        for mult, rel, dscale in partials:
            s += rel * math.exp(-t / (decay * dscale)) * \
                math.sin(2.0 * math.pi * freq * mult * t)
        env = min(1.0, i / a_n) if a_n else 1.0
        out.append(amp * env * s / total)
    return out


def mix_at(dest, src, offset_s):
    start = int(round(offset_s * RATE))
    need = start + len(src)
    if len(dest) < need:
        dest.extend([0.0] * (need - len(dest)))
    for i, v in enumerate(src):
        dest[start + i] += v
    return dest


def fade(samples, fade_in=0.005, fade_out=0.015):
    n = len(samples)
    fi = min(n, int(fade_in * RATE))
    fo = min(n, int(fade_out * RATE))
    for i in range(fi):
        samples[i] *= i / fi
    for i in range(fo):
        samples[n - 1 - i] *= i / fo
    return samples


def normalise(samples, peak=0.8):
    m = max((abs(v) for v in samples), default=0.0)
    if m > 0:
        k = peak / m
        samples = [v * k for v in samples]
    return samples


def write_wav(name, samples):
    samples = fade(normalise(samples))
    path = os.path.join(SOUND_DIR, name)
    frames = bytearray()
    for v in samples:
        iv = int(round(v * 32767.0))
        iv = max(-32768, min(32767, iv))
        frames += struct.pack("<h", iv)
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(bytes(frames))
    return path


def note(name):
    """Frequency of a note such as 'A4', 'C#5', 'Bb3'."""
    base = {"C": -9, "D": -7, "E": -5, "F": -4, "G": -2, "A": 0, "B": 2}
    semis = base[name[0]]
    rest = name[1:]
    if rest.startswith("#"):
        semis += 1
        rest = rest[1:]
    elif rest.startswith("b"):
        semis -= 1
        rest = rest[1:]
    octave = int(rest)
    semis += (octave - 4) * 12
    return 440.0 * 2.0 ** (semis / 12.0)


WARM = ((1, 1.0), (2, 0.35), (3, 0.12))
SOFT = ((1, 1.0), (2, 0.15))


def make_notify():
    # Two quick tones, high then higher: an "attention" blip.
    s = []
    s += tone(880.0, 0.11, harmonics=WARM, release=0.02)
    s += silence(0.03)
    s += tone(1318.5, 0.14, harmonics=WARM, release=0.04)
    s += silence(0.02)
    return s


def make_tada():
    # Rising major arpeggio, each note ringing under the next.
    s = []
    notes = ("C5", "E5", "G5")
    for k, nm in enumerate(notes):
        length = 0.6 - k * 0.14
        mix_at(s, tone(note(nm), length, amp=0.45, harmonics=WARM,
                       decay=0.35, release=0.05), k * 0.14)
    s = s[:int(0.6 * RATE)]
    return s


def make_ding():
    return bell(1568.0, 0.4, decay=0.13)


def make_idtime():
    # Morse "ID" at 700 Hz: I = di-dit, D = dah-di-dit.
    unit = 0.07
    s = []

    def el(units):
        s.extend(tone(700.0, units * unit, harmonics=((1, 1.0),),
                      attack=0.005, release=0.006))

    def gap(units):
        s.extend(silence(units * unit))

    gap(1)
    el(1); gap(1); el(1)            # I
    gap(3)
    el(3); gap(1); el(1); gap(1); el(1)   # D
    gap(2)
    # A short low confirming tone so it is not mistaken for a real QSO.
    s.extend(tone(466.2, 0.16, harmonics=SOFT, release=0.05))
    s.extend(silence(0.03))
    return s


def make_home():
    # A gentle descending-then-resolving chime of soft bells.
    s = []
    seq = (("E5", 0.0), ("C5", 0.18), ("D5", 0.36), ("G5", 0.54))
    for nm, at in seq:
        length = 1.0 - at
        mix_at(s, bell(note(nm), length, amp=0.35, decay=0.22), at)
    return s[:int(1.0 * RATE)]


def make_merryxmas():
    # An original little sleigh-bell-flavoured tune (written for VORQ).
    beat = 0.19
    melody = (
        ("G4", 1), ("C5", 1), ("E5", 1), ("D5", 1),
        ("C5", 2), ("A4", 1), ("F5", 1),
        ("E5", 1), ("D5", 1), ("G4", 1), ("B4", 1),
        ("C5", 4),
    )
    s = []
    t = 0.0
    for nm, beats in melody:
        length = beats * beat
        mix_at(s, tone(note(nm), length + 0.08, amp=0.4, harmonics=WARM,
                       decay=0.45, release=0.06), t)
        t += length
    # Light "sleigh bell" ticks on each beat.
    n_beats = int(round(t / beat))
    for k in range(n_beats):
        mix_at(s, bell(2637.0, 0.08, amp=0.07, decay=0.02), k * beat)
    s = s[:int(3.0 * RATE)]
    if len(s) < int(3.0 * RATE):
        s += silence(3.0 - len(s) / RATE)
    return s


# ---------------------------------------------------------------------------
# GIF89a writer (LZW) and a small decoder used for self-checking
# ---------------------------------------------------------------------------

def lzw_encode(indices, min_code_size):
    clear = 1 << min_code_size
    eoi = clear + 1
    out = bytearray()
    bitbuf = 0
    bitcnt = 0

    def emit(code, size):
        nonlocal bitbuf, bitcnt
        bitbuf |= code << bitcnt
        bitcnt += size
        while bitcnt >= 8:
            out.append(bitbuf & 0xFF)
            bitbuf >>= 8
            bitcnt -= 8

    def reset():
        return {(-1, i): i for i in range(clear)}, eoi + 1, min_code_size + 1

    table, next_code, code_size = reset()
    emit(clear, code_size)
    prefix = -1
    for px in indices:
        key = (prefix, px)
        if key in table:
            prefix = table[key]
            continue
        emit(prefix, code_size)
        if next_code < 4096:
            table[key] = next_code
            next_code += 1
            if next_code > (1 << code_size) and code_size < 12:
                code_size += 1
        else:
            emit(clear, code_size)
            table, next_code, code_size = reset()
        prefix = table[(-1, px)]
    if prefix != -1:
        emit(prefix, code_size)
    emit(eoi, code_size)
    if bitcnt:
        out.append(bitbuf & 0xFF)
    return bytes(out)


def write_gif(name, width, height, palette, pixels):
    """palette: list of (r, g, b); pixels: flat list of indices."""
    assert len(pixels) == width * height
    bits = 1
    while (1 << bits) < len(palette):
        bits += 1
    bits = max(bits, 2)
    size = 1 << bits
    pal = list(palette) + [(0, 0, 0)] * (size - len(palette))

    data = bytearray(b"GIF89a")
    data += struct.pack("<HHBBB", width, height, 0x80 | ((bits - 1) << 4) |
                        (bits - 1), 0, 0)
    for r, g, b in pal:
        data += bytes((r, g, b))
    # Image descriptor: separator, left, top, width, height, no local table.
    data.append(0x2C)
    data += struct.pack("<HHHHB", 0, 0, width, height, 0)
    lzw = lzw_encode(pixels, bits)
    data.append(bits)
    for i in range(0, len(lzw), 255):
        chunk = lzw[i:i + 255]
        data.append(len(chunk))
        data += chunk
    data.append(0)
    data.append(0x3B)
    path = os.path.join(PICTURE_DIR, name)
    with open(path, "wb") as f:
        f.write(bytes(data))
    return path


def decode_gif(raw):
    """Decode the first image of a GIF; returns (w, h, palette, pixels)."""
    if raw[:6] not in (b"GIF87a", b"GIF89a"):
        raise ValueError("not a GIF")
    w, h, flags, _bg, _ratio = struct.unpack("<HHBBB", raw[6:13])
    pos = 13
    palette = []
    if flags & 0x80:
        n = 2 << (flags & 7)
        for i in range(n):
            palette.append(tuple(raw[pos + 3 * i:pos + 3 * i + 3]))
        pos += 3 * n
    while True:
        b = raw[pos]
        if b == 0x21:                       # extension: skip sub-blocks
            pos += 2
            while raw[pos]:
                pos += raw[pos] + 1
            pos += 1
        elif b == 0x2C:
            ix, iy, iw, ih, iflags = struct.unpack("<HHHHB",
                                                   raw[pos + 1:pos + 10])
            pos += 10
            if iflags & 0x80:
                pos += 3 * (2 << (iflags & 7))
            mcs = raw[pos]
            pos += 1
            blob = bytearray()
            while raw[pos]:
                ln = raw[pos]
                blob += raw[pos + 1:pos + 1 + ln]
                pos += ln + 1
            pos += 1
            pixels = lzw_decode(bytes(blob), mcs)
            if len(pixels) < iw * ih:
                raise ValueError("short image data")
            if raw[pos] != 0x3B:
                raise ValueError("missing trailer")
            return w, h, palette, pixels[:iw * ih]
        else:
            raise ValueError("unexpected block 0x%02x" % b)


def lzw_decode(blob, mcs):
    clear = 1 << mcs
    eoi = clear + 1
    pos_bits = 0
    total_bits = len(blob) * 8
    out = []

    def read(size):
        nonlocal pos_bits
        if pos_bits + size > total_bits:
            raise ValueError("ran out of data before end code")
        v = 0
        for k in range(size):
            byte = blob[(pos_bits + k) >> 3]
            if byte >> ((pos_bits + k) & 7) & 1:
                v |= 1 << k
        pos_bits += size
        return v

    code_size = mcs + 1
    table = None
    prev = None
    while True:
        code = read(code_size)
        if code == clear:
            table = [[i] for i in range(clear)] + [None, None]
            code_size = mcs + 1
            prev = None
            continue
        if code == eoi:
            break
        if table is None:
            raise ValueError("data does not start with a clear code")
        if prev is None:
            entry = table[code]
            out.extend(entry)
            prev = entry
            continue
        if code < len(table):
            entry = table[code]
            table.append(prev + [entry[0]])
        elif code == len(table):
            entry = prev + [prev[0]]
            table.append(entry)
        else:
            raise ValueError("bad LZW code %d" % code)
        out.extend(entry)
        prev = entry
        if len(table) == (1 << code_size) and code_size < 12:
            code_size += 1
    return out


# ---------------------------------------------------------------------------
# Tiny raster drawing helpers (palette canvas)
# ---------------------------------------------------------------------------

class Canvas:
    def __init__(self, w, h, fill=0):
        self.w = w
        self.h = h
        self.px = [fill] * (w * h)

    def put(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y * self.w + x] = c

    def rect(self, x0, y0, x1, y1, c):
        for y in range(max(0, y0), min(self.h, y1)):
            for x in range(max(0, x0), min(self.w, x1)):
                self.px[y * self.w + x] = c

    def circle(self, cx, cy, r, c):
        r2 = r * r
        for y in range(int(cy - r) - 1, int(cy + r) + 2):
            for x in range(int(cx - r) - 1, int(cx + r) + 2):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r2:
                    self.put(x, y, c)

    def polygon(self, pts, c):
        ys = [p[1] for p in pts]
        for y in range(max(0, int(min(ys))), min(self.h, int(max(ys)) + 1)):
            yc = y + 0.5
            xs = []
            n = len(pts)
            for i in range(n):
                (x0, y0), (x1, y1) = pts[i], pts[(i + 1) % n]
                if (y0 <= yc < y1) or (y1 <= yc < y0):
                    xs.append(x0 + (yc - y0) * (x1 - x0) / (y1 - y0))
            xs.sort()
            for i in range(0, len(xs) - 1, 2):
                for x in range(int(math.ceil(xs[i] - 0.5)),
                               int(math.floor(xs[i + 1] - 0.5)) + 1):
                    self.put(x, y, c)

    def line(self, x0, y0, x1, y1, c, width=1):
        steps = int(max(abs(x1 - x0), abs(y1 - y0)) * 2) + 1
        r = (width - 1) / 2.0
        for i in range(steps + 1):
            t = i / steps
            x = x0 + (x1 - x0) * t
            y = y0 + (y1 - y0) * t
            if width <= 1:
                self.put(int(round(x)), int(round(y)), c)
            else:
                self.circle(x, y, r + 0.25, c)

    def arc(self, cx, cy, radius, a0, a1, c, width=2):
        """Ring sector between angles a0..a1 (degrees, 0 = right, CCW)."""
        r_in = radius - width / 2.0
        r_out = radius + width / 2.0
        for y in range(int(cy - r_out) - 1, int(cy + r_out) + 2):
            for x in range(int(cx - r_out) - 1, int(cx + r_out) + 2):
                dx = x - cx
                dy = cy - y
                d = math.hypot(dx, dy)
                if r_in <= d <= r_out:
                    ang = math.degrees(math.atan2(dy, dx)) % 360.0
                    lo, hi = a0 % 360.0, a1 % 360.0
                    inside = (lo <= ang <= hi) if lo <= hi else \
                        (ang >= lo or ang <= hi)
                    if inside:
                        self.put(x, y, c)


def star_points(cx, cy, r_out, r_in, n=5, rot=-90.0):
    pts = []
    for k in range(2 * n):
        r = r_out if k % 2 == 0 else r_in
        a = math.radians(rot + k * 180.0 / n)
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return pts


# --- Christmas frames -------------------------------------------------------

XMAS_PALETTE = [
    (12, 20, 60),      # 0 night sky
    (245, 248, 255),   # 1 snow white
    (20, 110, 40),     # 2 tree green
    (14, 80, 30),      # 3 dark green
    (110, 70, 30),     # 4 trunk brown
    (255, 215, 40),    # 5 gold
    (220, 30, 40),     # 6 red
    (40, 110, 230),    # 7 blue
    (240, 140, 20),    # 8 orange
    (180, 60, 200),    # 9 purple
    (200, 215, 235),   # 10 snow shade
    (255, 250, 190),   # 11 star glow
    (30, 40, 90),      # 12 distant hills
    (255, 255, 255),   # 13 white highlight
    (60, 200, 230),    # 14 cyan
    (0, 0, 0),         # 15 unused
]

BAUBLE_SPOTS = [
    (150, 85), (172, 92), (138, 120), (182, 118), (160, 112),
    (124, 150), (196, 148), (150, 142), (176, 160), (112, 176),
    (208, 178), (140, 184), (168, 190), (190, 196), (130, 200),
]
BAUBLE_COLOURS = [6, 7, 8, 9, 5, 14]


def xmas_frame(frame):
    w, h = 320, 240
    cv = Canvas(w, h, 0)
    # Distant hills and snowy ground.
    cv.polygon([(0, 200), (60, 175), (120, 192), (200, 170), (270, 188),
                (320, 176), (320, 240), (0, 240)], 12)
    cv.polygon([(0, 214), (80, 204), (160, 210), (240, 202), (320, 210),
                (320, 240), (0, 240)], 1)
    cv.polygon([(0, 226), (100, 220), (200, 228), (320, 222),
                (320, 240), (0, 240)], 10)
    # Trunk.
    cv.rect(150, 196, 170, 218, 4)
    # Tree: three stacked triangles with a darker lower edge.
    tiers = [((160, 50), 40, 100), ((160, 78), 56, 142),
             ((160, 110), 74, 200)]
    for (tx, ty), half, base in tiers:
        cv.polygon([(tx, ty), (tx + half, base), (tx - half, base)], 2)
        cv.polygon([(tx - half, base), (tx + half, base),
                    (tx + half - 8, base - 6), (tx - half + 8, base - 6)], 3)
    # Tinsel: a gold garland wiggling differently in each frame.
    for tier, (y0, x_l, x_r) in enumerate(((96, 134, 186), (134, 118, 202),
                                           (174, 102, 218))):
        pts = []
        for x in range(x_l, x_r + 1, 2):
            y = y0 - (x - x_l) * 0.18 + 2.5 * math.sin(
                (x + frame * 9 + tier * 13) / 7.0)
            pts.append((x, y))
        for (xa, ya), (xb, yb) in zip(pts, pts[1:]):
            cv.line(xa, ya, xb, yb, 5)
    # Baubles: colours rotate and a different subset lights up per frame.
    for i, (bx, by) in enumerate(BAUBLE_SPOTS):
        colour = BAUBLE_COLOURS[(i + frame * 2) % len(BAUBLE_COLOURS)]
        jitter = ((i * 7 + frame * 3) % 3) - 1
        cv.circle(bx + jitter, by, 5, colour)
        cv.put(bx + jitter - 2, by - 2, 13)
    # Star on top, with a glow that grows and shrinks.
    glow = (12, 14, 11)[frame % 3]
    cv.polygon(star_points(160, 46, glow + 3, glow / 2.0), 11)
    cv.polygon(star_points(160, 46, 12, 5), 5)
    # Falling snow: same flakes, moved down and sideways per frame.
    rng = random.Random(4242)
    for k in range(140):
        x0 = rng.randrange(w)
        y0 = rng.randrange(h)
        speed = rng.choice((6, 9, 12))
        drift = rng.choice((-2, -1, 1, 2))
        x = (x0 + drift * frame) % w
        y = (y0 + speed * frame) % 212
        big = rng.random() < 0.25
        cv.put(x, y, 1)
        if big:
            cv.put(x + 1, y, 1)
            cv.put(x, y + 1, 1)
            cv.put(x + 1, y + 1, 10)
    # A few twinkling sky stars.
    rng2 = random.Random(77)
    for k in range(25):
        x = rng2.randrange(w)
        y = rng2.randrange(0, 120)
        if (k + frame) % 3:
            cv.put(x, y, 11)
    return cv


# --- Logo -------------------------------------------------------------------

LOGO_PALETTE = [
    (10, 22, 64),      # 0 dark blue background
    (200, 210, 225),   # 1 steel
    (130, 145, 170),   # 2 steel shade
    (230, 40, 40),     # 3 red warning light
    (255, 200, 60),    # 4 amber waves
    (90, 190, 255),    # 5 light blue waves
    (24, 40, 96),      # 6 lighter blue band
    (60, 160, 80),     # 7 green ground
]


def make_logo():
    w, h = 240, 120
    cv = Canvas(w, h, 0)
    # Subtle horizon band and ground.
    cv.rect(0, 96, w, 108, 6)
    cv.rect(0, 108, w, h, 7)
    cx = 120
    top = 46
    base_y = 108
    half_base = 22
    # Lattice tower: two legs plus cross bracing.
    cv.line(cx - half_base, base_y, cx - 2, top + 8, 1, 3)
    cv.line(cx + half_base, base_y, cx + 2, top + 8, 1, 3)
    levels = 6
    for k in range(levels + 1):
        t = k / levels
        y = base_y - (base_y - top - 8) * t
        hw = half_base - (half_base - 2) * t
        cv.line(cx - hw, y, cx + hw, y, 2)
        if k < levels:
            t2 = (k + 1) / levels
            y2 = base_y - (base_y - top - 8) * t2
            hw2 = half_base - (half_base - 2) * t2
            cv.line(cx - hw, y, cx + hw2, y2, 2)
            cv.line(cx + hw, y, cx - hw2, y2, 2)
    # Mast and beacon.
    cv.line(cx, top + 8, cx, top - 4, 1, 2)
    cv.circle(cx, top - 6, 3.2, 3)
    # Radiating wave arcs on both sides of the mast top.
    for i, r in enumerate((13, 23, 33, 43, 53)):
        colour = 4 if i % 2 == 0 else 5
        cv.arc(cx, top - 6, r, -35, 35, colour, 3)
        cv.arc(cx, top - 6, r, 145, 215, colour, 3)
    return cv


def make_icon_svg():
    """The logo's tower and waves on a square: the desktop icon, scalable."""
    def rgb(i):
        return "#%02x%02x%02x" % LOGO_PALETTE[i]
    cx, top, base_y, half_base = 120, 46, 108, 22
    out = ['<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" '
           'viewBox="60 0 120 120">',
           '<rect x="60" y="0" width="120" height="120" rx="14" fill="%s"/>'
           % rgb(0),
           '<rect x="60" y="96" width="120" height="12" fill="%s"/>' % rgb(6),
           '<path d="M 60 108 H 180 V 106 A 14 14 0 0 1 166 120 H 74 '
           'A 14 14 0 0 1 60 106 Z" fill="%s"/>' % rgb(7)]

    def line(x0, y0, x1, y1, colour, width):
        out.append('<line x1="%.2f" y1="%.2f" x2="%.2f" y2="%.2f" stroke="%s" '
                   'stroke-width="%g" stroke-linecap="round"/>'
                   % (x0, y0, x1, y1, rgb(colour), width))

    line(cx - half_base, base_y, cx - 2, top + 8, 1, 3)
    line(cx + half_base, base_y, cx + 2, top + 8, 1, 3)
    levels = 6
    for k in range(levels + 1):
        t = k / levels
        y = base_y - (base_y - top - 8) * t
        hw = half_base - (half_base - 2) * t
        line(cx - hw, y, cx + hw, y, 2, 1.2)
        if k < levels:
            t2 = (k + 1) / levels
            y2 = base_y - (base_y - top - 8) * t2
            hw2 = half_base - (half_base - 2) * t2
            line(cx - hw, y, cx + hw2, y2, 2, 1.2)
            line(cx + hw, y, cx - hw2, y2, 2, 1.2)
    line(cx, top + 8, cx, top - 4, 1, 2)
    cy = top - 6
    for i, r in enumerate((13, 23, 33, 43, 53)):
        colour = rgb(4 if i % 2 == 0 else 5)
        for a0 in (-35, 145):
            # A polyline rather than an arc command: every icon renderer draws it alike.
            pts = " ".join("%.2f,%.2f" % (cx + r * math.cos(math.radians(a)),
                                          cy - r * math.sin(math.radians(a)))
                           for a in range(a0, a0 + 71, 5))
            out.append('<polyline points="%s" fill="none" stroke="%s" '
                       'stroke-width="3"/>' % (pts, colour))
    out.append('<circle cx="%d" cy="%d" r="3.2" fill="%s"/>' % (cx, cy, rgb(3)))
    out.append('</svg>')
    path = os.path.join(PICTURE_DIR, "vorq.svg")
    with open(path, "w") as f:
        f.write("\n".join(out) + "\n")
    return path


# ---------------------------------------------------------------------------

def verify_gif(path):
    with open(path, "rb") as f:
        raw = f.read()
    return decode_gif(raw)


def main():
    os.makedirs(SOUND_DIR, exist_ok=True)
    os.makedirs(PICTURE_DIR, exist_ok=True)

    sounds = {
        "notify.wav": make_notify,
        "tada.wav": make_tada,
        "ding.wav": make_ding,
        "IDTime.wav": make_idtime,
        "home.wav": make_home,
        "merryxmas.wav": make_merryxmas,
    }
    for name, fn in sounds.items():
        path = write_wav(name, fn())
        with wave.open(path, "rb") as w:
            secs = w.getnframes() / w.getframerate()
        print("%-16s %6.2f s %7d bytes" % (name, secs, os.path.getsize(path)))

    images = []
    for frame in range(3):
        cv = xmas_frame(frame)
        images.append(("Xmas-%d.gif" % frame, cv, XMAS_PALETTE))
    images.append(("logo.gif", make_logo(), LOGO_PALETTE))
    for name, cv, pal in images:
        path = write_gif(name, cv.w, cv.h, pal, cv.px)
        w, h, _p, pixels = verify_gif(path)
        if (w, h) != (cv.w, cv.h) or pixels != cv.px:
            sys.exit("GIF round-trip failed for %s" % name)
        print("%-16s %dx%d %7d bytes (decoded OK)" %
              (name, w, h, os.path.getsize(path)))
    path = make_icon_svg()
    print("%-16s %7d bytes" % (os.path.basename(path), os.path.getsize(path)))


if __name__ == "__main__":
    main()
