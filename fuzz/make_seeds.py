#!/usr/bin/env python3
"""Writes the seed corpora in fuzz/corpus/<reader>/: small files made here the way the game and its test fixtures
write them, and a few of the game's own generated files copied from a build's program folder.

    fuzz/make_seeds.py [PROGRAM_FOLDER]        (default: build/game)

Run it again when a format changes; the seeds are kept in the repository, so the fuzzers need no build of the data.
"""
import os
import shutil
import struct
import sys
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CORPUS = os.path.join(ROOT, "fuzz", "corpus")


def write(reader, name, data):
    folder = os.path.join(CORPUS, reader)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode("latin-1"))


def copy(reader, name, path, limit=40000):
    if os.path.isfile(path) and os.path.getsize(path) <= limit:
        os.makedirs(os.path.join(CORPUS, reader), exist_ok=True)
        shutil.copyfile(path, os.path.join(CORPUS, reader, name))


def i32(v):
    return struct.pack("<i", v)


def text32(s):
    b = s.encode("latin-1")
    return i32(len(b)) + b


# ---- PNG: every colour type and depth, plain and Adam7, every row filter, palettes and colour keys -----------------

def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def pack_row(samples, depth):
    if depth == 16:
        return b"".join(struct.pack(">H", v) for v in samples)
    if depth == 8:
        return bytes(samples)
    out, acc, bits = bytearray(), 0, 0
    for v in samples:
        acc = (acc << depth) | (v & ((1 << depth) - 1))
        bits += depth
        if bits == 8:
            out.append(acc)
            acc, bits = 0, 0
    if bits:
        out.append((acc << (8 - bits)) & 0xFF)
    return bytes(out)


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    return a if pa <= pb and pa <= pc else b if pb <= pc else c


def filter_rows(rows, bpp, counter):
    out = bytearray()
    prev = bytes(len(rows[0])) if rows else b""
    for row in rows:
        kind = counter[0] % 5
        counter[0] += 1
        out.append(kind)
        for i, x in enumerate(row):
            a = row[i - bpp] if i >= bpp else 0
            b = prev[i]
            c = prev[i - bpp] if i >= bpp else 0
            pred = [0, a, b, (a + b) // 2, paeth(a, b, c)][kind]
            out.append((x - pred) & 0xFF)
        prev = row
    return bytes(out)


def png(width, height, depth, color, interlace=False, plte=None, trns=None, idat_pieces=1):
    channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[color]
    top = (1 << depth) - 1
    pixel = lambda x, y, c: (x * 37 + y * 91 + c * 53) % (top + 1)
    bpp = max(1, depth // 8) * channels
    counter = [0]
    passes = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)]
    raw = b""
    for x0, y0, dx, dy in (passes if interlace else [(0, 0, 1, 1)]):
        if width <= x0:
            continue
        rows = [pack_row([pixel(x, y, c) for x in range(x0, width, dx) for c in range(channels)], depth)
                for y in range(y0, height, dy)]
        if rows:
            raw += filter_rows(rows, bpp, counter)
    data = zlib.compress(raw)
    out = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, depth, color, 0, 0,
                                                            1 if interlace else 0))
    if plte is not None:
        out += chunk(b"PLTE", plte)
    if trns is not None:
        out += chunk(b"tRNS", trns)
    step = max(1, (len(data) + idat_pieces - 1) // idat_pieces)
    for at in range(0, len(data), step):
        out += chunk(b"IDAT", data[at:at + step])
    return out + chunk(b"IEND", b"")


def png_seeds(game):
    palette = bytes((i * 40) % 256 for i in range(3 * 6))
    for depth in (1, 2, 4, 8, 16):
        write("png", f"grey{depth}.png", png(9, 5, depth, 0))
    write("png", "grey2-adam7.png", png(11, 9, 2, 0, interlace=True))
    write("png", "grey8-key.png", png(6, 4, 8, 0, trns=struct.pack(">H", 37)))
    for depth in (8, 16):
        write("png", f"rgb{depth}.png", png(7, 5, depth, 2))
        write("png", f"greyalpha{depth}.png", png(5, 4, depth, 4))
        write("png", f"rgba{depth}.png", png(7, 6, depth, 6))
    write("png", "rgb8-key.png", png(6, 4, 8, 2, trns=struct.pack(">HHH", 37, 74, 111)))
    write("png", "rgb8-adam7.png", png(10, 9, 8, 2, interlace=True))
    write("png", "rgba8-adam7-split.png", png(9, 10, 8, 6, interlace=True, idat_pieces=3))
    for depth in (1, 2, 4, 8):
        write("png", f"palette{depth}.png", png(9, 5, depth, 3, plte=palette, trns=bytes([0, 128, 255])))
    write("png", "palette4-adam7.png", png(9, 9, 4, 3, interlace=True, plte=palette))
    copy("png", "editgray.png", os.path.join(game, "editgray.png"))
    copy("png", "editselect.png", os.path.join(game, "editselect.png"))
    copy("png", "blankwall.png", os.path.join(game, "txtpckMain", "wallccBlankWall00.png"))


# ---- TGA: true colour of 24 and 32 bits, plain and run-length, as the user-interface font is stored ----------------

def tga(width, height, bits, run_length):
    header = bytes([0, 0, 10 if run_length else 2]) + bytes(9) + struct.pack("<HHBB", width, height, bits, 8)
    bpp = bits // 8
    pixels = [bytes((((x // 3) * 30 + y * 70 + c * 90) % 256) for c in range(bpp)) for y in range(height)
              for x in range(width)]
    if not run_length:
        return header + b"".join(pixels)
    body, i = bytearray(), 0
    while i < len(pixels):
        run = 1
        while i + run < len(pixels) and run < 128 and pixels[i + run] == pixels[i]:
            run += 1
        if run > 1:
            body += bytes([127 + run]) + pixels[i]
            i += run
            continue
        raw = 1
        while i + raw < len(pixels) and raw < 128 and pixels[i + raw] != pixels[i + raw - 1]:
            raw += 1
        body += bytes([raw - 1]) + b"".join(pixels[i:i + raw])
        i += raw
    return header + bytes(body)


def tga_seeds():
    write("tga", "plain24.tga", tga(5, 3, 24, False))
    write("tga", "plain32.tga", tga(4, 4, 32, False))
    write("tga", "runs24.tga", tga(6, 2, 24, True))
    write("tga", "runs32.tga", tga(16, 3, 32, True))


# ---- Level files: one small level in every version, as the level codec's test fixture writes them ----------------

def level_file(version):
    out = bytearray(b"QZKBX\0" + bytes([version]))

    def record(pack, name, p1, p2, x, y):
        out.extend(text32(pack) + text32(name))
        if version < 3:
            out.extend(struct.pack("<iiii", int(p1), int(p2), int(x), int(y)))
        else:
            out.extend(struct.pack("<dddd", p1, p2, x, y))
        if version == 0:
            out.extend(i32(77))

    def layer(objects):
        out.extend(i32(len(objects)))
        for o in objects:
            record(*o)

    record("txtpckMain", "sky", 0, 0, 0, 0)
    layer([("txtpckMain", "grass", 0, 0, 0, 384)])                              # ground
    layer([("txtpckMain", "spikes", 0, 0, 256, 256)])                           # hazard
    layer([("txtpckMain", "arrowright", 2, 0, 384, 256)])                       # arrow
    layer([("txtpckMain", "pathup", 1, 0, 512, 128)])                           # path
    layer([("txtpckMain", "platform", 0, 0, 512, 256)])                         # platform
    layer([("txtpckMain", "flag", 0, 0, 128, 128), ("txtpckMain", "bomb", 0, 0, 640, 128)])   # pickup
    layer([("txtpckMain", "brick", 0, 0, 128 * i, 384) for i in range(4)] +
          [("txtpckMain", "elevator", 0, -10, 768, 256), ("txtpckMain", "BlankWall", 0, 0, 0, 0)])  # wall
    layer([("txtpckMain", "crack", 0, 0, 256, 384)])                            # crack
    record("txtpckMain", "ball", 0, 0, 128, 256)
    if version < 8:
        record("txtpckMain", "shadow", 0, 0, 144, 272)
    layer([])                                                                   # explosion
    layer([("nopack", "nothing", 0, 0, 9, 9)])                                  # spare, a missing texture
    out.extend(text32("audio/track01.ogg"))
    if version >= 4:
        out.extend(struct.pack("<d", 0.5))
    elif version >= 2:
        out.extend(struct.pack("<f", 0.5))
    if version >= 5:
        out.extend(struct.pack("<ddidid", 0, 0, 2, 0, 0, 0))
    if version >= 6:
        out.extend(struct.pack("<d", 300))
    if version >= 7:
        out.extend(text32("Seed level"))
    return bytes(out)


def level_file_seeds(game):
    for version in range(9):
        write("level_file", f"version{version}.kbx", level_file(version))
    copy("level_file", "emptylevel.kbx", os.path.join(game, "emptylevel.kbx"))
    copy("level_file", "testlevel.kbx", os.path.join(game, "testlevel.kbx"))
    copy("level_file", "pack005.kbx", os.path.join(game, "lvlpckKolbrix", "005.kbx"))


# ---- Old text-screen levels, as the importer's test fixture writes them --------------------------------------------

def legacy(name, background, pairs, rows, lift, ball, time):
    out = bytearray([len(name)]) + name.encode("latin-1") + bytes([background]) + bytes(pairs)
    for r in range(10):
        row = (rows[r] if r < len(rows) else "").ljust(16, ".")
        out += bytes(178 if c == "#" else 176 if c == "%" else 32 if c == "." else ord(c) for c in row)
    return bytes(out + bytes(lift) + bytes(ball) + bytes([time]))


def legacy_seeds():
    rows = ["################", "#..l.....o....*#", "#.vvv..%%......#", "#......#.......#", "#v.v.v.#...l...#",
            "################"]
    write("legacy_level", "fire.lvl", legacy("Fire", 7, [1, 106, 1, 169, 1, 64, 127, 127], rows,
                                             [1, 0, 40, 20, 60], [100, 0, 160], 45))
    write("legacy_level", "lift.lvl", legacy("Lift", 2, [1, 1, 22, 64, 1, 22, 190, 43], rows[:3],
                                             [0, 0, 0, 0, 0], [20, 0, 20], 90))
    write("legacy_level", "short.lvl", legacy("Short", 13, [1, 1, 1, 1, 1, 1, 1, 1], [], [], [], 0)[:40])


# ---- Level sources, key scripts: the shipped ones ------------------------------------------------------------------

def text_seeds():
    levels = os.path.join(ROOT, "assets", "levels")
    pack = os.path.join(ROOT, "assets", "packs", "Kolbrix")
    for name in ("emptylevel.txt", "testlevel.txt", "menubackground.txt"):
        copy("level_source", name, os.path.join(levels, name))
    for n in (1, 5):
        copy("level_source", f"pack{n:03d}.txt", os.path.join(pack, f"{n:03d}.txt"))
    copy("key_script", "testlevel.keys", os.path.join(levels, "testlevel.keys"))
    for n in (1, 3):
        copy("key_script", f"pack{n:03d}.keys", os.path.join(pack, f"{n:03d}.keys"))
    copy("key_script", "example-game.keys", os.path.join(ROOT, "assets", "scripts", "example-game.keys"))
    write("key_script", "modifiers.keys", "# keys with modifiers, the pointer and typed text\n"
          "3 shift+a\n2 ctrl+n\n1 alt+f4\n4 mouse 512 384 left\n2 mouse out\ntype Ann\xe9 \xe2\x82\xac\n"
          "10 left+space+up\n1 esc\n5 M+F8\n")
    lang = os.path.join(ROOT, "assets", "lang")
    copy("language", "english.str", os.path.join(lang, "english.str"))
    write("language", "quoted.str", '"  spaced  "\r\nplain\n"\n\n"only open\nonly close"\n')


# ---- Settings, player and statistics files, font metrics: as the game writes them -----------------------------------

def settings(player, language, fullscreen, width, height, sound, music, quotes, bonus):
    return i32(player) + text32(language) + b"".join(i32(v) for v in (fullscreen, width, height, sound, music,
                                                                         quotes, bonus))


def stats(level, pairs, finished, perfect):
    out = bytearray(i32(level))
    for slot in range(1, 1000):
        wins, best = pairs.get(slot, (0, 0))
        out += i32(wins) + i32(best)
    return bytes(out + i32(finished) + i32(perfect))


def file_seeds(game):
    write("settings", "default.dat", settings(1, "english.str", 1, 1920, 1080, -1, -1, -1, 0))
    write("settings", "window.dat", settings(3, "german.str", 0, 800, 600, 0, -1, 0, -1))
    write("settings", "short.dat", settings(2, "german.str", 0, 640, 480, 0, 0, 0, -1)[:30])
    write("players", "kolbrix.alp", "lvlpckKolbrix\n")
    write("players", "bonus.alp", "  lvlpckBonus (locked)\r\nignored\n")
    write("players", "unknown.alp", "lvlpckNowhere")
    write("stats", "started.sts", stats(3, {1: (1, 12000), 2: (2, 9000)}, 0, 0))
    write("stats", "finished.sts", stats(999, {n: (1, 10000 + n) for n in range(1, 6)}, -1, -1))
    write("stats", "short.sts", stats(2, {1: (1, 500)}, 0, 0)[:40])
    metrics = b"".join(struct.pack("<iiii", 8 + (n % 7), 0, n % 3, 0) for n in range(256))
    write("font_metrics", "generated.dat", metrics)
    write("font_metrics", "short.dat", metrics[:100])
    copy("font_metrics", "standard.dat", os.path.join(game, "standard.dat"))


def zip_bytes(entries, compression):
    """A .zip archive of (name, data) entries, as a shared pack travels (Python's zipfile writes the seeds)."""
    import io
    import zipfile
    out = io.BytesIO()
    with zipfile.ZipFile(out, "w", compression) as archive:
        for name, data in entries:
            info = zipfile.ZipInfo(name, date_time=(2000, 1, 1, 0, 0, 0))
            info.compress_type = compression
            info.external_attr = (0o40755 if name.endswith("/") else 0o100644) << 16
            archive.writestr(info, data)
    return out.getvalue()


def pack_archive_seeds():
    import zipfile
    level = level_file(8)
    png_file = png(2, 2, 8, 2)
    write("pack_archive", "level_pack.zip",
          zip_bytes([("lvlpckSeed/", b""), ("lvlpckSeed/001.kbx", level), ("lvlpckSeed/001.en.txt", b"Hint\n"),
                     ("lvlpckSeed/001.keys", b"R 10\n"), ("lvlpckSeed/pack.txt", b"order 3\n")], zipfile.ZIP_DEFLATED))
    write("pack_archive", "texture_pack.zip",
          zip_bytes([("txtpckSeed/wallccbrick00.png", png_file)], zipfile.ZIP_STORED))
    write("pack_archive", "parent.zip", zip_bytes([("../lvlpckSeed/001.kbx", level)], zipfile.ZIP_DEFLATED))


def varint(v):
    out = b""
    while v >= 0x80:
        out += bytes([(v & 0x7F) | 0x80])
        v >>= 7
    return out + bytes([v])


def best_run(player, score, frames, segments, version="0.9.0", cheats=0):
    """A best run as shell/best_runs.cpp writes it: segments are (frames, key bits)."""
    def text(s):
        b = s.encode("latin-1")
        return bytes([len(b)]) + b
    body = b"KBRN" + bytes([1]) + text(version) + text(player) + text("12-11-2026")
    body += struct.pack("<Q", 0x0123456789ABCDEF) + struct.pack("<I", 1) + i32(0) + bytes([cheats])
    body += i32(score) + varint(frames) + struct.pack("<d", frames / 60.0) + i32(2) + i32(0)
    body += varint(len(segments)) + b"".join(varint(n) + varint(k) for n, k in segments)
    check = 2166136261
    for byte in body:
        check = ((check ^ byte) * 16777619) & 0xFFFFFFFF
    return body + struct.pack("<I", check)


def best_run_seeds():
    write("best_run", "short.kbr", best_run("anna", 1200, 90, [(30, 0), (60, 2)]))
    write("best_run", "keys.kbr", best_run("bob", 54321, 400, [(100, 1 | 16), (1, 1 << 15), (200, 2 | 8 | 64), (99, 1 << 16)], cheats=9))
    write("best_run", "empty.kbr", best_run("c", 0, 0, []))
    write("best_run", "old.kbr", best_run("anna", 10, 10, [(10, 4)], version="0.8.0"))


def main():
    game = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build", "game")
    pack_archive_seeds()
    png_seeds(game)
    tga_seeds()
    level_file_seeds(game)
    legacy_seeds()
    text_seeds()
    file_seeds(game)
    best_run_seeds()


if __name__ == "__main__":
    main()
