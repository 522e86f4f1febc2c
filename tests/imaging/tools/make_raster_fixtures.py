#!/usr/bin/env python3
"""Writes the PCX, Targa, PNM and ANI fixtures of the raster decoder tests into
tests/imaging/fixtures/raster. Each picture NAME.EXT comes with NAME.expected.ppm, the
pixels it must decode to (P6, maxval 255):
- netpbm's writers (ppmtopcx, pamtotga, pnmtoplainpnm) make files from small
  generated sources; netpbm's readers (pcxtoppm, tgatoppm, pamdepth 255) give
  the expected pixels;
- the cases netpbm does not write (Targa packets across rows, top-down and
  right-to-left rows, 16-bit pixels, version-3 PCX, a grey PCX without palette)
  are written here, and their expected pixels are the ones written;
- ANI files are built around pamtowinicon icons, with odd chunks padded and
  unpadded, and one whose icons are all of even length.
Run it after changing it and commit its outputs."""
import os
import struct
import subprocess
import sys

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "fixtures", "raster")


def path(name):
    return os.path.join(OUT, name)


def write(name, data):
    with open(path(name), "wb") as f:
        f.write(data)


def run(args, stdin=None):
    return subprocess.run(args, input=stdin, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, check=True).stdout


def ppm(width, height, pixels):
    """P6 of rows of (r, g, b)."""
    body = bytes(c for row in pixels for px in row for c in px)
    return b"P6\n%d %d\n255\n" % (width, height) + body


def expected_from(reader, name):
    """NAME.expected.ppm: what netpbm's reader makes of the file, at maxval 255."""
    pnm = run(reader + [path(name)])
    write(os.path.splitext(name)[0] + ".expected.ppm", run(["ppmtoppm"], run(["pamdepth", "255"], pnm)))


def rgb_source(width, height):
    return [[((x * 37 + y * 11) % 256, (x * 5 + y * 53) % 256, (x * y * 7 + 90) % 256) for x in range(width)]
            for y in range(height)]


def palette_source(width, height, colours):
    table = [((i * 67) % 256, (i * 151) % 256, (i * 29 + 40) % 256) for i in range(colours)]
    return [[table[(x + 3 * y) % colours] for x in range(width)] for y in range(height)]


def pgm(width, height, maxval, plain):
    values = [[(x * 97 + y * 31) % (maxval + 1) for x in range(width)] for y in range(height)]
    if plain:
        text = "P2\n# grey\n%d %d\n%d\n" % (width, height, maxval)
        return (text + "\n".join(" ".join(str(v) for v in row) for row in values) + "\n").encode()
    fmt = ">H" if maxval > 255 else "B"
    return b"P5\n%d %d\n%d\n" % (width, height, maxval) + b"".join(struct.pack(fmt, v) for row in values for v in row)


def ppm_maxval(width, height, maxval, plain):
    values = [[((x * 997 + y) % (maxval + 1), (y * 4099 + x) % (maxval + 1), (x * y * 13) % (maxval + 1))
               for x in range(width)] for y in range(height)]
    if plain:
        text = "P3 %d %d # size and maxval on the magic's line\n%d\n" % (width, height, maxval)
        return (text + "\n".join(" ".join("%d %d %d" % px for px in row) for row in values) + "\n").encode()
    fmt = ">H" if maxval > 255 else "B"
    return b"P6 %d %d %d\n" % (width, height, maxval) + b"".join(
        struct.pack(fmt, c) for row in values for px in row for c in px)


def pbm_plain(width, height):
    rows = ["".join("1" if (x * 3 + y) % 5 < 2 else "0" for x in range(width)) for y in range(height)]
    # Digits run together on some rows and stand apart on others.
    text = "P1\n%d %d\n" % (width, height) + "\n".join(r if i % 2 else " ".join(r) for i, r in enumerate(rows))
    return (text + "\n").encode()


def netpbm_fixtures():
    write("src_rgb.ppm", ppm(13, 7, rgb_source(13, 7)))
    write("src_16.ppm", ppm(11, 6, palette_source(11, 6, 16)))
    write("src_200.ppm", ppm(23, 12, palette_source(23, 12, 200)))
    write("src_bits.pbm", pbm_plain(10, 5))
    write("src_grey.pgm", pgm(9, 4, 255, False))
    rgb, p16, p200, bits, grey = (path(n) for n in ("src_rgb.ppm", "src_16.ppm", "src_200.ppm", "src_bits.pbm",
                                                    "src_grey.pgm"))
    pcx = {
        "pcx_24bit.pcx": ["ppmtopcx", "-24bit", rgb],
        "pcx_8bit.pcx": ["ppmtopcx", "-8bit", p200],
        "pcx_planes4.pcx": ["ppmtopcx", "-planes=4", p16],
        "pcx_1bit_width10.pcx": ["ppmtopcx", bits],
    }
    for name, args in pcx.items():
        write(name, run(args))
        expected_from(["pcxtoppm"], name)
    rgba = b"P7\nWIDTH 6\nHEIGHT 5\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n" + bytes(
        c for y in range(5) for x in range(6) for c in (x * 40, y * 50, 200 - x * y * 5, 255 - x * 20))
    write("src_rgba.pam", rgba)
    tga = {
        "tga_rle_rgb.tga": ["pamtotga", "-rgb", rgb],
        "tga_raw_rgb.tga": ["pamtotga", "-rgb", "-norle", rgb],
        "tga_rle_cmap.tga": ["pamtotga", "-cmap", p200],
        "tga_raw_cmap.tga": ["pamtotga", "-cmap", "-norle", p16],
        "tga_cmap16.tga": ["pamtotga", "-cmap16", p16],
        "tga_rle_grey.tga": ["pamtotga", "-mono", grey],
        "tga_raw_grey.tga": ["pamtotga", "-mono", "-norle", grey],
        "tga_rle_rgba32.tga": ["pamtotga", path("src_rgba.pam")],
    }
    for name, args in tga.items():
        write(name, run(args))
        expected_from(["tgatoppm"], name)
    pnm = {
        "pnm_plain_grey_1000.pgm": pgm(9, 4, 1000, True),
        "pnm_raw_grey_1000.pgm": pgm(9, 4, 1000, False),
        "pnm_raw_grey_255.pgm": pgm(9, 4, 255, False),
        "pnm_raw_grey_3.pgm": pgm(9, 4, 3, False),
        "pnm_plain_rgb_65535.ppm": ppm_maxval(5, 3, 65535, True),
        "pnm_raw_rgb_65535.ppm": ppm_maxval(5, 3, 65535, False),
        "pnm_raw_rgb_255.ppm": ppm_maxval(7, 3, 255, False),
        "pnm_plain_rgb_100.ppm": ppm_maxval(7, 3, 100, True),
        "pnm_plain_bits.pbm": pbm_plain(10, 5),
        "pnm_raw_bits.pbm": run(["pnmtopnm"], pbm_plain(13, 3)),
    }
    for name, data in pnm.items():
        write(name, data)
        expected_from(["cat"], name)
    for name in ("src_rgb.ppm", "src_16.ppm", "src_200.ppm", "src_bits.pbm", "src_grey.pgm", "src_rgba.pam"):
        os.remove(path(name))


def tga_header(image_type, width, height, depth, descriptor, cmap=None):
    map_type, map_len, map_bits = (1, len(cmap), 24) if cmap else (0, 0, 0)
    return struct.pack("<BBBHHBHHHHBB", 0, map_type, image_type, 0, map_len, map_bits, 0, 0, width, height, depth,
                       descriptor)


def rle_across_rows(pixels, pixel_bytes):
    """One packet stream over the whole picture: runs and literals of up to 128 pixels, ignoring rows."""
    out = bytearray()
    i = 0
    while i < len(pixels):
        run_len = 1
        while i + run_len < len(pixels) and run_len < 128 and pixels[i + run_len] == pixels[i]:
            run_len += 1
        if run_len > 1:
            out.append(0x80 | (run_len - 1))
            out += pixels[i]
            i += run_len
            continue
        start = i
        while i < len(pixels) and i - start < 128 and (i + 1 >= len(pixels) or pixels[i + 1] != pixels[i]):
            i += 1
        if i == start:
            i += 1
        out.append(i - start - 1)
        for px in pixels[start:i]:
            out += px
    return bytes(out)


def own_fixtures():
    width, height = 19, 9
    # Runs longer than a row, crossing row ends.
    pix = [[(0, 0, 255) if (y * width + x) // 23 % 2 else ((x * 13) % 256, y * 28, 77) for x in range(width)]
           for y in range(height)]
    file_rows = list(reversed(pix))  # bottom-up
    packed = [bytes((b, g, r)) for row in file_rows for (r, g, b) in row]
    write("own_tga_rle_across_rows.tga", tga_header(10, width, height, 24, 0) + rle_across_rows(packed, 3))
    write("own_tga_rle_across_rows.expected.ppm", ppm(width, height, pix))

    # Top-down and right-to-left: file pixel i of row y is picture pixel width - 1 - i.
    w, h = 7, 4
    pix = [[(x * 36, y * 80, 255 - x * 20) for x in range(w)] for y in range(h)]
    body = b"".join(bytes((b, g, r)) for row in pix for (r, g, b) in reversed(row))
    write("own_tga_topdown_rtl.tga", tga_header(2, w, h, 24, 0x30) + body)
    write("own_tga_topdown_rtl.expected.ppm", ppm(w, h, pix))

    # 16-bit and 15-bit pixels, raw and run-length.
    def expand(v):
        return (v << 3) | (v >> 2)
    w, h = 9, 5
    words = [[((x * 3) % 32) | ((y * 7 % 32) << 5) | (((x + y) * 5 % 32) << 10) | (0x8000 if x % 2 else 0)
              for x in range(w)] for y in range(h)]
    pix = [[(expand((v >> 10) & 31), expand((v >> 5) & 31), expand(v & 31)) for v in row] for row in words]
    raw = b"".join(struct.pack("<H", v) for row in reversed(words) for v in row)
    write("own_tga_raw_16bit.tga", tga_header(2, w, h, 16, 0) + raw)
    write("own_tga_raw_16bit.expected.ppm", ppm(w, h, pix))
    packed = [struct.pack("<H", v) for row in reversed(words) for v in row]
    write("own_tga_rle_15bit.tga", tga_header(10, w, h, 15, 0) + rle_across_rows(packed, 2))
    write("own_tga_rle_15bit.expected.ppm", ppm(w, h, pix))

    # Version-3 PCX, 16 colours in 4 planes: the standard colours, not the header's.
    standard = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
                (128, 128, 128), (192, 192, 192), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
                (255, 0, 255), (0, 255, 255), (255, 255, 255)]
    w, h = 12, 3
    index = [[(x + y * 5) % 16 for x in range(w)] for y in range(h)]
    bpl = 2
    rows = b""
    for row in index:
        for plane in range(4):
            bits = bytearray(bpl)
            for x, v in enumerate(row):
                if v >> plane & 1:
                    bits[x // 8] |= 0x80 >> (x % 8)
            rows += bytes(bits)
    header = bytearray(128)
    header[0:4] = bytes((10, 3, 0, 1))
    struct.pack_into("<HHHH", header, 4, 0, 0, w - 1, h - 1)
    header[16:64] = bytes(range(48))  # header colours the file must not show
    header[65] = 4
    struct.pack_into("<HH", header, 66, bpl, 1)
    write("own_pcx_version3.pcx", bytes(header) + rows)
    write("own_pcx_version3.expected.ppm", ppm(w, h, [[standard[v] for v in row] for row in index]))

    # 256 colours with palette information 2 and no 0x0C marker: a grey ramp.
    w, h = 16, 4
    values = [[x * 16 + y * 3 for x in range(w)] for y in range(h)]
    header = bytearray(128)
    header[0:4] = bytes((10, 5, 0, 8))
    struct.pack_into("<HHHH", header, 4, 0, 0, w - 1, h - 1)
    header[65] = 1
    struct.pack_into("<HH", header, 66, w, 2)
    body = bytes(v for row in values for v in row)
    write("own_pcx_grey_nomarker.pcx", bytes(header) + body + bytes(769))
    write("own_pcx_grey_nomarker.expected.ppm", ppm(w, h, [[(v, v, v) for v in row] for row in values]))


def chunk(ident, data, pad):
    out = ident + struct.pack("<I", len(data)) + data
    return out + (b"\0" if pad and len(data) % 2 else b"")


def ani(frames, rates, seq, title, author, pad, rate=10, extra_odd=True):
    info = b"INFO" + chunk(b"INAM", title, pad) + chunk(b"IART", author, pad)
    steps = len(seq) if seq else len(frames)
    anih = struct.pack("<9I", 36, len(frames), steps, 0, 0, 0, 0, rate, 1)
    body = b"ACON" + chunk(b"LIST", info, pad) + chunk(b"anih", anih, pad)
    if extra_odd:
        body += chunk(b"junk", b"odd", pad)
    if rates:
        body += chunk(b"rate", b"".join(struct.pack("<I", r) for r in rates), pad)
    if seq:
        body += chunk(b"seq ", b"".join(struct.pack("<I", s) for s in seq), pad)
    fram = b"fram" + b"".join(chunk(b"icon", f, pad) for f in frames)
    body += chunk(b"LIST", fram, pad)
    return b"RIFF" + struct.pack("<I", len(body)) + body


def ani_fixtures():
    icons = []
    for i, colour in enumerate(((255, 0, 0), (0, 160, 0), (0, 0, 255))):
        pam = b"P7\nWIDTH 32\nHEIGHT 32\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n" + bytes(
            c for y in range(32) for x in range(32)
            for c in (colour + ((255 if (x + y + i * 4) % 12 < 8 else 0),)))
        icon = run(["pamtowinicon"], pam)
        # An odd length: one byte beyond the image, which the icon directory does not cover.
        icons.append(icon + (b"\x5a" if i == 1 else b""))
    write("ani_padded.ani", ani(icons, [10, 20, 6, 1], [0, 1, 2, 1], b"Uhr\0", b"Quorvan\0", True))
    write("ani_unpadded.ani", ani(icons, [10, 20, 6, 1], [0, 1, 2, 1], b"Uhr\0", b"Quorvan\0", False))
    write("ani_plain.ani", ani(icons[:2], None, None, b"", b"", True, rate=6, extra_odd=False))
    # Icons of even length only: the system's own loader pads every chunk but
    # the icons, so it reads a file only when no icon needs a pad byte.
    even = [icon[:len(icon) & ~1] for icon in icons]
    write("ani_even.ani", ani(even, [10, 20, 6, 1], [0, 1, 2, 1], b"Uhr\0", b"Quorvan\0", True))
    for i, icon in enumerate(icons):
        write("ani_frame%d.ico" % i, icon)


def main():
    os.makedirs(OUT, exist_ok=True)
    netpbm_fixtures()
    own_fixtures()
    ani_fixtures()
    return 0


if __name__ == "__main__":
    sys.exit(main())
