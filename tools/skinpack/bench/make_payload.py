"""A deterministic reference payload of about 100 MB: media-like noise, text,
source-like files, executable-like binaries, empty files and folders, and
r_x86/r_x64 folders. The same seed always gives the same bytes."""
import os
import random
import shutil

VERSION = "1"
WORDS = ("install window skin layout payload progress folder archive setup user "
         "agreement shortcut registry version report update desktop icon start "
         "menu file path error button check label image render text value the "
         "and of to in is for with on that this be are from").split()


def text(rng, size):
    out = []
    n = 0
    while n < size:
        line = " ".join(rng.choices(WORDS, k=rng.randint(4, 14))) + "\n"
        out.append(line)
        n += len(line)
    return "".join(out).encode()[:size]


def source(rng, size):
    out = []
    n = 0
    while n < size:
        name = rng.choice(WORDS) + "_" + rng.choice(WORDS)
        line = "    if (%s > %d) { %s(%s, %d); }\n" % (
            name, rng.randint(0, 999), rng.choice(WORDS).capitalize(), name, rng.randint(0, 99))
        out.append(line)
        n += len(line)
    return "".join(out).encode()[:size]


def binary(rng, size):
    tokens = [rng.randbytes(rng.randint(2, 8)) for _ in range(300)]
    out = bytearray()
    while len(out) < size:
        out += b"".join(rng.choices(tokens, k=4096))
        out += rng.randbytes(1024)  # operands, addresses
    return bytes(out[:size])


def put(root, relative, data):
    path = os.path.join(root, relative)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def make(root):
    marker = root.rstrip("/") + ".complete-" + VERSION
    if os.path.exists(marker):
        return False
    shutil.rmtree(root, ignore_errors=True)
    rng = random.Random(2026)
    mb = 1 << 20
    for i in range(6):
        put(root, "media/clip%d.mp4" % i, rng.randbytes(6 * mb))
    for i in range(300):
        put(root, "images/img%03d.png" % i, rng.randbytes(rng.randint(20000, 40000)))
    for i in range(30):
        put(root, "docs/manual%02d.txt" % i, text(rng, mb))
    for i in range(1200):
        put(root, "src/module%02d/file%04d.cpp" % (i % 40, i), source(rng, rng.randint(4000, 12000)))
    for i in range(4):
        put(root, "bin/app%d.exe" % i, binary(rng, 5 * mb // 2))
    for arch in ("r_x86", "r_x64"):
        for i in range(2):
            put(root, "%s/bin/native%d.dll" % (arch, i), binary(rng, mb))
    for i in range(5):
        put(root, "data/empty%d.dat" % i, b"")
    for d in ("logs", "cache/tmp", "plugins"):
        os.makedirs(os.path.join(root, d), exist_ok=True)
    open(marker, "wb").close()
    return True


def _fresh(root, version):
    marker = root.rstrip("/") + ".complete-" + version
    if os.path.exists(marker):
        return None
    shutil.rmtree(root, ignore_errors=True)
    return marker


def make_small_files(root):
    """About 59 MB in 1,500 files of 100 bytes to 400 KB (skewed to the small end),
    half text, half random, in 30 folders: the per-file cost dominates."""
    marker = _fresh(root, VERSION)
    if marker is None:
        return False
    rng = random.Random(2027)
    for i in range(1500):
        size = int(100 * 4000 ** (rng.random() ** 1.2))
        kind = text if i % 2 else rng.randbytes
        data = kind(rng, size) if kind is text else kind(size)
        put(root, "part%02d/file%04d.%s" % (i % 30, i, "txt" if i % 2 else "bin"), data)
    open(marker, "wb").close()
    return True


def make_large_files(root):
    """About 107 MB in 61 files: 30 MB random in three files, 77 MB of text
    in 58: the decoder and the write of big files dominate."""
    marker = _fresh(root, VERSION)
    if marker is None:
        return False
    rng = random.Random(2028)
    mb = 1 << 20
    for i in range(3):
        put(root, "media/noise%d.bin" % i, rng.randbytes(10 * mb))
    for i in range(58):
        put(root, "text/book%02d.txt" % i, text(rng, 77 * mb // 58))
    open(marker, "wb").close()
    return True
