"""Figures of installer building: the packer writing into the prebuilt host
against linking the host library, and what the prebuilt hosts are made of."""
import collections
import os
import re
import subprocess
import time

MB = 1024 * 1024
ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))))


def timed(cmd):
    start = time.monotonic()
    done = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    if done.returncode != 0:
        raise RuntimeError("%s failed:\n%s" % (cmd[0], done.stdout))
    return time.monotonic() - start


def best(cmd, rounds):
    return min(timed(cmd) for _ in range(rounds))


def build_times(build, skinpack, work, archive, rounds=3):
    """Seconds to make an installer around `archive` (a plain 7z archive)."""
    script = os.path.join(work, "build-bench.lua")
    with open(script, "w") as f:
        f.write("function OnRunSetup() end\n")
    masked = os.path.join(work, "build-bench.pak")
    subprocess.run([skinpack, "mask", archive, masked], check=True)
    host = os.path.join(build, "setup-host.exe")
    out = os.path.join(work, "build-bench.exe")
    tool = os.path.join(ROOT, "tools", "make-installer")
    common = [tool, "--build", build, "--script", script, "--payload-archive", archive, "-o", out]
    return {
        "copy": best(["cp", masked, out], rounds),
        "embed": best([skinpack, "embed", "--script", script, "--payload", masked, host, out],
                      rounds),
        "make-installer": best(common, rounds),
        "make-installer --link": best(common + ["--link"], rounds),
    }


def map_contributors(map_path):
    """Bytes of code and data each library and object adds, from a link map."""
    objects = collections.Counter()
    in_map = False
    pending = None
    entry = re.compile(r"^ (\.\S+)?\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S.*)$")
    with open(map_path, errors="replace") as f:
        for line in f:
            if line.startswith("Linker script and memory map"):
                in_map = True
                continue
            if not in_map:
                continue
            if re.match(r"^ \.\S+$", line.rstrip()):
                pending = line.strip()
                continue
            m = entry.match(line.rstrip())
            if not m or not (m.group(1) or pending):
                pending = None
                continue
            section = m.group(1) or pending
            pending = None
            if section.startswith((".debug", ".bss")) or int(m.group(2), 16) == 0:
                continue
            objects[m.group(4)] += int(m.group(3), 16)
    libraries = collections.Counter()
    for name, size in objects.items():
        lib = re.sub(r"\(.*\)$", "", os.path.basename(name))
        libraries[lib] += size
    return libraries, objects


def host_sizes():
    rows = []
    for arch in ("x64", "x86"):
        host = os.path.join(ROOT, "build", arch, "setup-host.exe")
        if os.path.exists(host):
            rows.append((arch, os.path.getsize(host), host + ".map"))
    return rows


def print_figures(build, skinpack, work, archive):
    print("Prebuilt host (no script, skin or payload):")
    for arch, size, map_path in host_sizes():
        print("  %-4s %8d bytes (%.0f KB)" % (arch, size, size / 1024))
        if arch == "x64" and os.path.exists(map_path):
            libraries, objects = map_contributors(map_path)
            print("  largest contributors (x64, code and data before stripping):")
            for lib, size in libraries.most_common(8):
                print("    %-34s %8d" % (lib[:34], size))
            for obj, size in objects.most_common(10):
                print("    %-34s %8d" % (os.path.basename(obj)[-34:], size))
    archive_mb = os.path.getsize(archive) / MB
    times = build_times(build, skinpack, work, archive)
    print("Building an installer around the %.1f MB archive (best of 3):" % archive_mb)
    for name in ("copy", "embed", "make-installer", "make-installer --link"):
        print("  %-24s %6.2f s" % ({"copy": "copying the payload once",
                                      "embed": "skinpack embed"}.get(name, name), times[name]))
