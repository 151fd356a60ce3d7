#!/usr/bin/env python3
"""Payload benchmark (`make bench`): packs a deterministic ~100 MB reference
payload and prints how packing, decoding and a silent install compare with
7-Zip on the same data. Figures only; nothing here passes or fails on time."""
import argparse
import hashlib
import os
import subprocess
import sys
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.dont_write_bytecode = True  # keep the source tree clean
sys.path.insert(0, HERE)
import build_figures  # noqa: E402
import make_payload  # noqa: E402

ROOT = os.path.abspath(os.path.join(HERE, "..", "..", ".."))
MB = 1 << 20


def run(cmd, cwd=None):
    start = time.monotonic()
    proc = subprocess.run(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    elapsed = time.monotonic() - start
    if proc.returncode != 0:
        sys.exit("bench: %s failed:\n%s" % (" ".join(cmd), proc.stdout))
    return elapsed, proc.stdout


def cpu_run(cmd):
    """Wall and CPU seconds of a command (its children's rusage)."""
    before = os.times()
    wall, _ = run(cmd)
    after = os.times()
    return wall, (after.children_user - before.children_user) + (
        after.children_system - before.children_system)


def tree_bytes(root):
    total = 0
    for dirpath, _, files in os.walk(root):
        total += sum(os.path.getsize(os.path.join(dirpath, f)) for f in files)
    return total


def snapshot(root, arch_select=None):
    """relative path -> sha1 (None for folders); with arch_select ('x64'),
    maps the payload as a 64-bit install lays it out."""
    out = {}
    for dirpath, dirs, files in os.walk(root):
        rel_dir = os.path.relpath(dirpath, root).replace(os.sep, "/")
        rel_dir = "" if rel_dir == "." else rel_dir + "/"
        for name in files + dirs:
            rel = rel_dir + name
            if arch_select:
                top = rel.split("/", 1)
                if top[0] in ("r_x86", "r_x64"):
                    if top[0] != "r_" + arch_select or len(top) == 1:
                        continue
                    rel = top[1]
            path = os.path.join(dirpath, name)
            if os.path.isdir(path):
                out[rel.lower()] = None
            else:
                with open(path, "rb") as f:
                    out[rel.lower()] = hashlib.sha1(f.read()).hexdigest()
    return out


class PeakMemory:
    """Samples the Wine process running `exe_name`: peak resident set (VmHWM)
    and the largest private (anonymous) resident memory seen."""

    def __init__(self, exe_name):
        self.exe_name = exe_name.lower().encode()
        self.hwm_kb = 0
        self.anon_kb = 0
        self.stop = threading.Event()
        self.thread = threading.Thread(target=self.poll, daemon=True)

    def poll(self):
        while not self.stop.is_set():
            for pid in os.listdir("/proc"):
                if not pid.isdigit():
                    continue
                try:
                    with open("/proc/%s/cmdline" % pid, "rb") as f:
                        if self.exe_name not in f.read().lower():
                            continue
                    with open("/proc/%s/status" % pid) as f:
                        for line in f:
                            key, _, value = line.partition(":")
                            if key == "VmHWM":
                                self.hwm_kb = max(self.hwm_kb, int(value.split()[0]))
                            elif key == "RssAnon":
                                self.anon_kb = max(self.anon_kb, int(value.split()[0]))
                except OSError:
                    continue
            time.sleep(0.02)

    def __enter__(self):
        self.thread.start()
        return self

    def __exit__(self, *exc):
        self.stop.set()
        self.thread.join()


INSTALL_SCRIPT = r"""
local percents, skipped, result = {}, 0, nil
function OnSetupProgress(path, index, count)
  if path == "" then percents[#percents + 1] = index else skipped = skipped + 1 end
end
function OnDecompressRet(code) result = code end
function OnRunSetup()
  lua_StartDecompress([[%s]])
  print(string.format("bench-result %%s percents %%d last %%s skipped %%d", tostring(result),
    #percents, tostring(percents[#percents]), skipped))
end
"""


def install(args, work, archive, name, target):
    script = os.path.join(work, name + ".lua")
    with open(script, "w") as f:
        f.write(INSTALL_SCRIPT % ("Z:" + target.replace("/", "\\")))
    exe = os.path.join(work, name + ".exe")
    made = subprocess.run([os.path.join(ROOT, "tools", "make-installer"), "--build", args.build,
                           "--script", script, "--no-skin", "--payload-archive", archive, "-o", exe],
                          stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    if made.returncode != 0:
        return 0.0, None, None, "make-installer failed:\n" + made.stdout
    subprocess.run(["rm", "-rf", target], check=True)
    with PeakMemory(name + ".exe") as peak:
        start = time.monotonic()
        proc = subprocess.run([os.path.join(ROOT, "tools", "wine-run"), "--build", args.build, exe],
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        wall = time.monotonic() - start
    line = next((l for l in proc.stdout.splitlines() if l.startswith("bench-result")), None)
    return wall, peak, line, proc.stdout


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=os.path.join(ROOT, "build", "x64"))
    parser.add_argument("--native", default=os.path.join(ROOT, "build", "native"))
    parser.add_argument("--work", default=os.path.join(ROOT, "build", "bench"))
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--level", type=int, default=5)
    parser.add_argument("--reuse", action="store_true",
                        help="keep archives packed by an earlier run (no packing figures)")
    args = parser.parse_args()
    args.build, args.native = os.path.abspath(args.build), os.path.abspath(args.native)
    skinpack = os.path.join(args.native, "tools", "skinpack")
    work = os.path.abspath(args.work)
    os.makedirs(work, exist_ok=True)
    payload = os.path.join(work, "payload")

    print("bench: reference payload in %s" % payload, flush=True)
    make_payload.make(payload)
    unpacked = tree_bytes(payload)

    ours = os.path.join(work, "payload.7z")
    theirs = os.path.join(work, "payload-7zz.7z")
    stats = os.path.join(work, "payload.stats")
    if args.reuse and all(os.path.exists(p) for p in (ours, theirs, stats)):
        pack_ours = pack_theirs = float("nan")
    else:
        for path in (ours, theirs):
            if os.path.exists(path):
                os.remove(path)
        print("bench: packing (level %d) with skinpack and with 7zz" % args.level, flush=True)
        pack_ours, out = run([skinpack, "payload", "--plain", "--level", str(args.level), payload,
                              ours])
        with open(stats, "w") as f:
            f.write(out)
        pack_theirs, _ = run(["7zz", "a", "-bd", "-m0=LZMA", "-mx=%d" % args.level, theirs, "."],
                             cwd=payload)
    with open(stats) as f:
        blocks = f.read().strip()
    size_ours, size_theirs = os.path.getsize(ours), os.path.getsize(theirs)

    print("bench: decoding, %d rounds each, alternating" % args.rounds, flush=True)
    dec_ours, dec_theirs = [], []
    for _ in range(args.rounds):
        dec_ours.append(cpu_run([skinpack, "test", ours]))
        dec_theirs.append(cpu_run(["7zz", "t", ours]))
    best_ours = min(dec_ours, key=lambda t: t[0])
    best_theirs = min(dec_theirs, key=lambda t: t[0])
    cpu_ours = min(t[1] for t in dec_ours)
    cpu_theirs = min(t[1] for t in dec_theirs)

    mbs = lambda seconds: unpacked / MB / seconds
    print()
    print("Reference payload: %.1f MB unpacked, %s" % (unpacked / MB, blocks.split(": ", 2)[2]))
    print("Packing, level %d:" % args.level)
    print("  skinpack payload   %10d bytes  %6.1f s" % (size_ours, pack_ours))
    print("  7zz a -m0=LZMA     %10d bytes  %6.1f s   (ours/7zz size %.4f)" %
          (size_theirs, pack_theirs, size_ours / size_theirs))
    print("Decoding the same archive (best of %d, wall / CPU):" % args.rounds)
    print("  skinpack test      %6.2f s / %5.2f s  %6.1f MB/s" %
          (best_ours[0], cpu_ours, mbs(best_ours[0])))
    print("  7zz t              %6.2f s / %5.2f s  %6.1f MB/s" %
          (best_theirs[0], cpu_theirs, mbs(best_theirs[0])))
    print("  ratio ours/7zz     wall %.3f, CPU %.3f" %
          (best_ours[0] / best_theirs[0], cpu_ours / cpu_theirs), flush=True)
    build_figures.print_figures(args.build, skinpack, work, ours)
    print("Silent install under Wine (64-bit):", flush=True)
    target = os.path.join(work, "install")
    tiny = os.path.join(work, "tiny")
    os.makedirs(tiny, exist_ok=True)
    with open(os.path.join(tiny, "one.txt"), "w") as f:
        f.write("one\n")
    tiny_archive = os.path.join(work, "tiny.7z")
    run([skinpack, "payload", "--plain", tiny, tiny_archive])
    base_wall, base_peak, base_line, base_log = install(args, work, tiny_archive, "bench-base",
                                                 os.path.join(work, "install-base"))
    wall, peak, line, log = (0.0, None, None, base_log) if base_line is None else install(
        args, work, ours, "bench-setup", target)
    installed_ok = line is not None and snapshot(target) == snapshot(payload, "x64")
    if line is None:
        print("  not measured, no result from the installer:\n" + log[-2000:])
        return 1
    print("  %s" % line)
    print("  installed tree matches the payload: %s" % ("yes" if installed_ok else "NO"))
    print("  wall time          %6.2f s   (a one-file payload: %.2f s)" % (wall, base_wall))
    print("  peak resident      %6.1f MB  (a one-file payload: %.1f MB)" %
          (peak.hwm_kb / 1024, base_peak.hwm_kb / 1024))
    largest = int(blocks.split("largest ")[1].split(")")[0])
    print("  peak private       %6.1f MB  (a one-file payload: %.1f MB)" %
          (peak.anon_kb / 1024, base_peak.anon_kb / 1024))
    # Wine reads an image whose sections are not page-aligned in the file into
    # private memory, so the installer's own size shows up there too.
    image = os.path.getsize(os.path.join(work, "bench-setup.exe")) - os.path.getsize(
        os.path.join(work, "bench-base.exe"))
    print("  extraction's own   %6.1f MB  (peak private - one-file run - %.1f MB larger image;"
          " largest block %.1f MB)" %
          ((peak.anon_kb - base_peak.anon_kb) / 1024 - image / MB, image / MB, largest / MB))
    return 0 if installed_ok else 1


if __name__ == "__main__":
    sys.exit(main())
