"""Figures of installer building: the packer writing into the prebuilt host
against linking the host library, and what the prebuilt hosts are made of."""
import collections
import os
import re
import subprocess
import sys
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


LTO_SUFFIX = re.compile(r"\.(lto_priv|constprop|isra|part|cold|localalias)(\.\d+)?$")


def symbol_owners(build, objdump):
    """Which library (and object) defines each symbol of the host's archives,
    local ones included (the archives' own index lists only the global ones
    of the link-time code, so the ordinary code's symbol tables are read)."""
    owners = {}
    defined = re.compile(r"^\[\s*\d+\]\(sec\s+(\d+)\).*\s(\S+)$")
    for lib in ("libskinsetup_host.a", "libskinsetup_lua.a", "libskinsetup_7z.a"):
        path = os.path.join(build, lib)
        if not os.path.exists(path):
            continue
        out = subprocess.run([objdump, "-t", path], stdout=subprocess.PIPE,
                             stderr=subprocess.DEVNULL, text=True).stdout
        member = lib
        for line in out.splitlines():
            if "file format" in line:
                member = "%s(%s)" % (lib, line.split(":", 1)[0])
                continue
            m = defined.match(line)
            if not m or m.group(1) == "0":
                continue
            name = m.group(2)
            owners.setdefault(name, member)
            if name.startswith("_"):  # x86 adds an underscore to C names
                owners.setdefault(name[1:], member)
    return owners


def symbol_owner(name, owners):
    """The library and object that defined a symbol of the link-time
    optimised code, through the suffixes the optimiser adds to clones."""
    while True:
        if name in owners:
            return owners[name]
        stripped = LTO_SUFFIX.sub("", name)
        if stripped == name:
            break
        name = stripped
    if "basic_string" in name or name.startswith(("_ZNSt7__cxx11", "_ZNKSt7__cxx11")):
        return "libstdc++.a(strings instantiated by the entry)"
    return "LTO(entry, runtime stand-ins, unmatched)"


MAP_ENTRY = re.compile(r"^ (\.\S+)?\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S.*)$")


def map_sections(map_path):
    """(section, address, size, object) of every input section in the image."""
    in_map = False
    pending = None
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
            m = MAP_ENTRY.match(line.rstrip())
            if m and (m.group(1) or pending):
                section = m.group(1) or pending
                if not section.startswith((".debug", ".bss")) and int(m.group(2), 16) != 0:
                    yield section, int(m.group(2), 16), int(m.group(3), 16), m.group(4)
            pending = None


def lto_symbols(build, work):
    """The symbols of the host linked as the prebuilt host is, but not
    stripped, and that link's map: the optimised code as one object has no
    per-library sections, so its symbols are given back to their libraries."""
    commands = subprocess.run(["ninja", "-C", build, "-t", "commands", "skinsetup_stub"],
                              stdout=subprocess.PIPE, text=True, check=True).stdout
    link = commands.strip().splitlines()[-1]
    work = os.path.abspath(work)
    exe, map_path = os.path.join(work, "host-symbols.exe"), os.path.join(work, "host-symbols.map")
    link = link.replace(" -s ", " ").replace("-o setup-host.exe", "-o " + exe)
    link = re.sub(r"-Wl,--out-implib,\S+", "", link)
    link = re.sub(r"-Map=\S+", "-Map=" + map_path, link)
    subprocess.run(link, shell=True, cwd=build, check=True)
    return exe, map_path


def lto_contributors(exe, map_path, owners, nm):
    """Bytes of the link-time optimised object by the library each symbol
    came from; unwind data and unnamed pieces stay with the optimised code."""
    pieces = [(section, addr, addr + size) for section, addr, size, obj in map_sections(map_path)
              if ".ltrans" in obj]
    unwind = (".eh_frame", ".pdata", ".xdata")
    ranges = [(start, end) for section, start, end in pieces if not section.startswith(unwind)]
    out = subprocess.run([nm, "-n", exe], stdout=subprocess.PIPE, text=True).stdout
    symbols = [(int(p[0], 16), p[2]) for p in (l.split() for l in out.splitlines())
               if len(p) == 3 and p[1] in "tTdDrR"]
    objects = collections.Counter()
    for i, (addr, name) in enumerate(symbols):
        inside = next((end for start, end in ranges if start <= addr < end), None)
        if inside is None:
            continue
        end = min(inside, symbols[i + 1][0]) if i + 1 < len(symbols) else inside
        objects[symbol_owner(name, owners)] += end - addr
    total = sum(end - start for _, start, end in pieces)
    objects["LTO(unwind data, padding)"] += total - sum(objects.values())
    return objects


def map_contributors(map_path, lto=None):
    """Bytes of code and data each library and object adds, from a link map;
    the link-time optimised object is replaced by `lto` (lto_contributors)."""
    objects = collections.Counter()
    for _, _, size, name in map_sections(map_path):
        if lto is not None and ".ltrans" in name:
            continue
        objects[name] += size
    objects.update(lto or {})
    libraries = collections.Counter()
    for name, size in objects.items():
        lib = re.sub(r"\(.*\)$", "", os.path.basename(name))
        libraries[lib] += size
    return libraries, objects


def host_sizes():
    rows = []
    for arch, triple in (("x64", "x86_64-w64-mingw32"), ("x86", "i686-w64-mingw32")):
        build = os.path.join(ROOT, "build", arch)
        host = os.path.join(build, "setup-host.exe")
        if os.path.exists(host):
            rows.append((arch, os.path.getsize(host), host + ".map", build, triple))
    return rows


def print_contributors(arch, map_path, build, triple, work):
    lto = None
    if any(".ltrans" in obj for _, _, _, obj in map_sections(map_path)):
        exe, full_map = lto_symbols(build, work)
        owners = symbol_owners(build, triple + "-objdump")
        lto = lto_contributors(exe, full_map, owners, triple + "-nm")
    libraries, objects = map_contributors(map_path, lto)
    print("  largest contributors (%s, code, data and unwind data before stripping):" % arch)
    for lib, size in libraries.most_common(8):
        print("    %-48s %8d" % (lib[:48], size))
    for obj, size in objects.most_common(12):
        print("    %-48s %8d" % (os.path.basename(obj)[-48:], size))


def print_sizes(work):
    print("Prebuilt host (no script, skin or payload):")
    rows = host_sizes()
    for arch, size, _, _, _ in rows:
        print("  %-4s %8d bytes (%.0f KB)" % (arch, size, size / 1024))
    for arch, _, map_path, build, triple in rows:
        if os.path.exists(map_path):
            print_contributors(arch, map_path, build, triple, work)


def print_figures(build, skinpack, work, archive):
    print_sizes(work)
    archive_mb = os.path.getsize(archive) / MB
    times = build_times(build, skinpack, work, archive)
    print("Building an installer around the %.1f MB archive (best of 3):" % archive_mb)
    for name in ("copy", "embed", "make-installer", "make-installer --link"):
        print("  %-24s %6.2f s" % ({"copy": "copying the payload once",
                                      "embed": "skinpack embed"}.get(name, name), times[name]))


if __name__ == "__main__":
    # The sizes alone: build_figures.py [work folder]
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build", "bench")
    os.makedirs(folder, exist_ok=True)
    print_sizes(folder)
