#!/usr/bin/env python3
"""Render the game's pictures from the SVG sources in assets/.

  data/panel_r.png       the 1024x512 atlas every button, panel and sprite is cut from
  data/m.png             the title picture (drawn stretched to 512x120 by the main menu)
  docs/contact_sheet.png the atlas with every frame the game cuts outlined and labelled
  dist/icons/kelvod-N.png the desktop icon (assets/icon.svg) at the sizes installed

Each picture of the atlas is one SVG file in assets/sprites/, drawn at its own size.
PLACES says where each file goes; FRAMES lists every rectangle the game cuts.
Needs python3 and rsvg-convert (Debian: librsvg2-bin). Run from anywhere:
  assets/render.sh            render, check, write the three PNGs
  assets/render.sh --verify   render into a temporary folder and compare with the committed PNGs
"""
import base64, os, re, struct, subprocess, sys, tempfile, zlib
import xml.etree.ElementTree as ET

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SPRITES = os.path.join(ROOT, 'assets', 'sprites')
W, H = 1024, 512
SVG = 'http://www.w3.org/2000/svg'
XLINK = 'http://www.w3.org/1999/xlink'
ET.register_namespace('', SVG)
ET.register_namespace('xlink', XLINK)

# Every rectangle the game cuts from the atlas: (label, x, y, w, h).
FRAMES = [(f'button {i}', 64 * i, 0, 64, 64) for i in range(4)]
FRAMES += [('icon 0', 224, 64, 32, 32)] + [(f'icon {k}', 32 * (k - 1), 64, 32, 32) for k in range(1, 8)]
FRAMES += [(f'wide {i}', 0, 107 + 52 * i, 180, 52) for i in range(4)]
FRAMES += [('check off', 212, 122, 22, 22), ('check on', 212, 174, 22, 22)]
FRAMES += [('won mark', 960, 384, 24, 24)]
FRAMES += [('property panel', 256, 0, 180, 242), ('play panel', 256, 192, 180, 50)]
FRAMES += [('dialog panel', 600, 336, 64, 64), ('text field', 680, 336, 64, 40)]
FRAMES += [(f'tool {i}', 128 * i, 320, 128, 128) for i in range(4)]
FRAMES += [(f'tool icon {i}', 64 * i, 448, 64, 64) for i in range(16)]
for kind, (w, h), frames in [
        (1, (26, 70), [(448, 0), (512, 0), (576, 0)]),
        (2, (26, 26), [(448, 128), (512, 128), (576, 128)]),
        (3, (140, 10), [(448, 192)]),
        (4, (72, 72), [(640, 0), (768, 0), (896, 0)]),
        (5, (34, 34), [(640, 128), (704, 128), (768, 128)]),
        (6, (16, 16), [(408, 472)]),
        (7, (32, 32), [(208, 272)]),
        (8, (32, 52), [(528, 460)]),
        (9, (40, 23), [(588, 468)]),
        (10, (38, 64), [(512, 320)]),
        (11, (64, 64), [(704, 448)]),
        (12, (44, 44), [(778, 458)])]:
    FRAMES += [(f'kind {kind}' + (f'.{f}' if len(frames) > 1 else ''), x, y, w, h)
               for f, (x, y) in enumerate(frames)]
FRAMES += [(f'hero overlay {i}', 512 + 64 * i, 256, 38, 64) for i in range(4)]
FRAMES += [(f'battery {i}', 829 + 64 * i, 125, 44, 44) for i in range(3)]
FRAMES += [(f'particle {i}', 832 + 32 * i, 192, 32, 32) for i in range(3)]

# Frames that share pixels on purpose: the play panel is the property panel's
# bottom, and five map sprites lie inside their own tool icons.
SHARED = {('property panel', 'play panel'), ('tool icon 6', 'kind 6'), ('tool icon 8', 'kind 8'),
          ('tool icon 9', 'kind 9'), ('tool icon 11', 'kind 11'), ('tool icon 12', 'kind 12')}

# What is drawn where, in this order: (file in assets/sprites, x, y, w, h, hole, opacity).
# The file's picture is scaled to w x h and clipped to it; a hole (x, y, w, h in the atlas)
# is left out, so the decoration of a tool icon never reaches into the sprite inside it.
def frame(label):
    return next(f[1:] for f in FRAMES if f[0] == label)

PLACES = []
def place(name, label, hole=None, inset=None, opacity=None):
    x, y, w, h = frame(label)
    if inset:  # a smaller picture centred in the frame
        x, y, w, h = x + (w - inset[0]) / 2, y + (h - inset[1]) / 2, *inset
    PLACES.append((name, x, y, w, h, hole and frame(hole), opacity))

for i, look in enumerate(['normal', 'hover', 'pressed', 'disabled']):
    place(f'button_{look}', f'button {i}')
    place(f'wide_{look}', f'wide {i}')
    place(f'tool_{look}', f'tool {i}')
for k, name in enumerate(['dot', 'turn_cw', 'turn_ccw', 'grow', 'shrink', 'play', 'stop', 'pause']):
    place(f'icon_{name}', f'icon {k}')
place('check_off', 'check off')
place('check_on', 'check on')
place('won_mark', 'won mark')
place('panel', 'property panel')
place('dialog_panel', 'dialog panel')
place('text_field', 'text field')
for kind, shape in [(1, 'tall'), (2, 'square'), (4, 'disc'), (5, 'puck')]:
    for f, material in enumerate(['black', 'white', 'mirror']):
        place(f'{shape}_{material}', f'kind {kind}.{f}')
place('plank', 'kind 3')
place('rope_marker', 'kind 7')
place('hero', 'kind 10')
for i, name in enumerate(['on', 'hot', 'charge_a', 'charge_b']):
    place(f'hero_{name}', f'hero overlay {i}')
for i, name in enumerate(['body', 'top', 'spin']):
    place(f'battery_{name}', f'battery {i}')
for i, name in enumerate(['yellow', 'white', 'red']):
    place(f'particle_{name}', f'particle {i}')
# Tool icons: the palette objects drawn small on the tool button's disc.
place('tool_icon_select', 'tool icon 0')
place('tall_black', 'tool icon 1', inset=(17, 46))
place('square_black', 'tool icon 2', inset=(28, 28))
place('plank', 'tool icon 3', inset=(52, 8))
place('disc_black', 'tool icon 4', inset=(46, 46))
place('puck_black', 'tool icon 5', inset=(34, 34))
place('tool_icon_rope', 'tool icon 7')
place('hero', 'tool icon 10', inset=(30.4, 51.2))
place('tool_icon_empty', 'tool icon 13')
place('tool_icon_empty', 'tool icon 14')
place('tool_icon_delete', 'tool icon 15')
# Map sprites that lie inside their own tool icons: the icon's decoration goes
# round the sprite's rectangle, the sprite itself is drawn on its own.
for i, kind in [(6, 6), (8, 8), (9, 9)]:
    place(f'tool_icon_deco_{i}', f'tool icon {i}', hole=f'kind {kind}')
place('ball', 'kind 6')
place('bomb', 'kind 8')
place('laser_box', 'kind 9')
place('crate', 'kind 11')
# The battery's map sprite (the editor's look) stacks the three play layers.
place('battery_body', 'kind 12', opacity=0.75)
place('battery_core', 'kind 12')
place('battery_spin', 'kind 12')
place('battery_top', 'kind 12')


def overlaps():
    """Pairs of frames that share pixels without being meant to, and frames off the atlas."""
    bad = [f'{l} lies outside the atlas' for l, x, y, w, h in FRAMES
           if x < 0 or y < 0 or x + w > W or y + h > H]
    for i, (a, ax, ay, aw, ah) in enumerate(FRAMES):
        for b, bx, by, bw, bh in FRAMES[i + 1:]:
            if ax < bx + bw and bx < ax + aw and ay < by + bh and by < ay + ah \
                    and (a, b) not in SHARED and (b, a) not in SHARED:
                bad.append(f'{a} overlaps {b}')
    return bad


def sprite(name, n, x, y, w, h):
    """The sprite file as a nested <svg> at (x, y), scaled to w x h, with its ids made unique."""
    root = ET.parse(os.path.join(SPRITES, name + '.svg')).getroot()
    root.set('viewBox', root.get('viewBox') or f"0 0 {root.get('width')} {root.get('height')}")
    root.attrib.update(x=str(x), y=str(y), width=str(w), height=str(h), preserveAspectRatio='none')
    rename = lambda s: re.sub(r'#([\w.-]+)', rf'#s{n}-\1', s)
    for el in root.iter():
        for k, v in el.attrib.items():
            if k == 'id':
                el.set(k, f's{n}-{v}')
            elif '#' in v and (k.endswith('href') or 'url(' in v):
                el.set(k, rename(v))
    return root


def atlas_svg():
    doc = ET.Element(f'{{{SVG}}}svg', width=str(W), height=str(H), viewBox=f'0 0 {W} {H}')
    defs = ET.SubElement(doc, f'{{{SVG}}}defs')
    for n, (name, x, y, w, h, hole, opacity) in enumerate(PLACES):
        el = sprite(name, n, x, y, w, h)
        if opacity:
            el = wrap(el, {'opacity': str(opacity)})
        if hole:
            clip = ET.SubElement(defs, f'{{{SVG}}}clipPath', id=f'hole{n}')
            hx, hy, hw, hh = hole
            ET.SubElement(clip, f'{{{SVG}}}path', {'clip-rule': 'evenodd', 'd':
                f'M{x},{y}h{w}v{h}h{-w}z M{hx},{hy}h{hw}v{hh}h{-hw}z'})
            el = wrap(el, {'clip-path': f'url(#hole{n})'})
        doc.append(el)
    return ET.tostring(doc, encoding='unicode')


def wrap(el, attrs):
    g = ET.Element(f'{{{SVG}}}g', attrs)
    g.append(el)
    return g


def contact_sheet_svg(atlas_png, scale=2):
    """The atlas over a checkerboard of the field's grey, every frame outlined and labelled."""
    out = [f'<svg xmlns="{SVG}" xmlns:xlink="{XLINK}" width="{W * scale}" height="{H * scale + 40}">',
           '<defs><pattern id="c" width="16" height="16" patternUnits="userSpaceOnUse">'
           '<rect width="16" height="16" fill="#505050"/><rect width="8" height="8" fill="#5a5a5a"/>'
           '<rect x="8" y="8" width="8" height="8" fill="#5a5a5a"/></pattern></defs>',
           f'<rect width="100%" height="100%" fill="url(#c)"/>',
           f'<image width="{W * scale}" height="{H * scale}" style="image-rendering:pixelated" '
           f'xlink:href="data:image/png;base64,{base64.b64encode(atlas_png).decode()}"/>',
           f'<text x="8" y="{H * scale + 27}" font-family="DejaVu Sans" font-size="18" fill="#fff">'
           f'kelvod atlas data/panel_r.png, {W}x{H}, shown at {scale}x: frame rectangles in yellow '
           '(shared pixels in cyan), label = frame name and atlas position</text>']
    shared = {l for pair in SHARED for l in pair[1:]}
    for label, x, y, w, h in FRAMES:
        colour = '#3ff' if label in shared else '#ff3'
        out.append(f'<rect x="{x * scale + .5}" y="{y * scale + .5}" width="{w * scale - 1}" '
                   f'height="{h * scale - 1}" fill="none" stroke="{colour}" stroke-width="1" '
                   'stroke-dasharray="4 2"/>')
        ty = y * scale + (h * scale - 14 if label in shared else 10)
        out.append(f'<text x="{x * scale + 3}" y="{ty}" font-family="DejaVu Sans" font-size="9" '
                   f'fill="{colour}" stroke="#000" stroke-width="2.5" paint-order="stroke">{label}'
                   f'<tspan x="{x * scale + 3}" dy="10">{x},{y}</tspan></text>')
    return '\n'.join(out + ['</svg>'])


def rsvg(svg_text, png, *size):
    src = png + '.svg'
    with open(src, 'w') as f:
        f.write(svg_text)
    args = ['rsvg-convert'] + (['-w', str(size[0]), '-h', str(size[1])] if size else [])
    subprocess.run(args + ['-o', png, src], check=True)
    os.remove(src)


def read_png(path):
    """(width, height, colour type, rows of bytes) of an 8-bit non-interlaced PNG."""
    data = open(path, 'rb').read()
    pos, idat, head = 8, b'', None
    while pos < len(data):
        n, kind = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + n]
        head = struct.unpack('>IIBBBBB', body) if kind == b'IHDR' else head
        idat += body if kind == b'IDAT' else b''
        pos += 12 + n
    w, h, depth, ctype, _, _, interlace = head
    assert depth == 8 and interlace == 0, 'only 8-bit non-interlaced PNGs are read'
    bpp = {2: 3, 6: 4}[ctype]
    raw, rows, prev = zlib.decompress(idat), [], bytearray(w * bpp)
    for r in range(h):
        line = raw[r * (w * bpp + 1):(r + 1) * (w * bpp + 1)]
        kind, row = line[0], bytearray(line[1:])
        for i in range(len(row)):
            a = row[i - bpp] if i >= bpp else 0
            b, c = prev[i], prev[i - bpp] if i >= bpp else 0
            p = a + b - c
            pred = [0, a, b, (a + b) // 2,
                    a if abs(p - a) <= abs(p - b) and abs(p - a) <= abs(p - c) else b if abs(p - b) <= abs(p - c) else c][kind]
            row[i] = (row[i] + pred) & 255
        rows.append(bytes(row))
        prev = row
    return w, h, ctype, rows


def empty_frames(png):
    """Frames with no visible pixel in the rendered atlas."""
    w, h, ctype, rows = read_png(png)
    assert (w, h, ctype) == (W, H, 6), f'atlas is {w}x{h} colour type {ctype}, not {W}x{H} RGBA'
    return [label for label, x, y, fw, fh in FRAMES
            if not any(rows[j][4 * i + 3] for j in range(y, y + fh) for i in range(x, x + fw))]


def render(out_dir):
    os.makedirs(os.path.join(out_dir, 'data'), exist_ok=True)
    os.makedirs(os.path.join(out_dir, 'docs'), exist_ok=True)
    os.makedirs(os.path.join(out_dir, 'dist', 'icons'), exist_ok=True)
    icon = open(os.path.join(ROOT, 'assets', 'icon.svg')).read()
    for size in ICON_SIZES:
        rsvg(icon, os.path.join(out_dir, 'dist', 'icons', f'kelvod-{size}.png'), size, size)
    atlas = os.path.join(out_dir, 'data', 'panel_r.png')
    rsvg(atlas_svg(), atlas, W, H)
    rsvg(open(os.path.join(ROOT, 'assets', 'title.svg')).read(), os.path.join(out_dir, 'data', 'm.png'))
    rsvg(contact_sheet_svg(open(atlas, 'rb').read()), os.path.join(out_dir, 'docs', 'contact_sheet.png'))
    return empty_frames(atlas)


ICON_SIZES = [48, 128, 256]
OUTPUTS = ['data/panel_r.png', 'data/m.png', 'docs/contact_sheet.png'] + \
    [f'dist/icons/kelvod-{size}.png' for size in ICON_SIZES]

if __name__ == '__main__':
    problems = overlaps()
    if '--verify' in sys.argv:
        with tempfile.TemporaryDirectory() as tmp:
            problems += [f'{p} has no visible pixel' for p in render(tmp)]
            problems += [f'{o} differs from a fresh render' for o in OUTPUTS
                         if open(os.path.join(tmp, o), 'rb').read() != open(os.path.join(ROOT, o), 'rb').read()]
    else:
        problems += [f'{p} has no visible pixel' for p in render(ROOT)]
    print('\n'.join(problems) or f'ok: {len(FRAMES)} frames, {len(PLACES)} pictures')
    sys.exit(1 if problems else 0)
