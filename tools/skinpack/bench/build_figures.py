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


LTO_SUFFIX = re.compile(r"\.(lto_priv|constprop|isra|part|cold|localalias)(\.\d+)?$")


def symbol_owners(build, nm):
    """Which library (and object) defines each symbol of the host's archives."""
    owners = {}
    names = ["libskinsetup_host.a", "libskinsetup_lua.a", "libskinsetup_7z.a"]
    for lib in names:
        path = os.path.join(build, lib)
        if not os.path.exists(path):
            continue
        out = subprocess.run([nm, "--defined-only", path], stdout=subprocess.PIPE,
                             stderr=subprocess.DEVNULL, text=True).stdout
        member = lib
        for line in out.splitlines():
            if line.endswith(":"):
                member = "%s(%s)" % (lib, line[:-1])
                continue
            parts = line.split()
            if len(parts) == 3:
                name = parts[2]
                owners.setdefault(name, member)
                if name.startswith("_"):  # x86 adds an underscore to C names
                    owners.setdefault(name[1:], member)
    return owners


def lto_owner(section, owners):
    """The library a function or datum of the link-time optimised object came
    from, by its section's symbol name (`.text$name`)."""
    if "$" not in section:
        return "LTO (unnamed sections)"
    name = section.split("$", 1)[1]
    while True:
        if name in owners:
            return owners[name]
        stripped = LTO_SUFFIX.sub("", name)
        if stripped == name:
            break
        name = stripped
    if "basic_string" in name or name.startswith(("_ZNSt7__cxx11", "_ZNKSt7__cxx11")):
        return "libstdc++.a(strings instantiated in the entry)"
    return "LTO (entry and unmatched)"


def map_contributors(map_path, owners=None):
    """Bytes of code and data each library and object adds, from a link map.
    Sections of a link-time optimised object are given back to the library
    that defined their symbol (`owners`, from symbol_owners)."""
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
            name = m.group(4)
            if owners is not None and ".ltrans" in name:
                name = lto_owner(section, owners)
            objects[name] += int(m.group(3), 16)
    libraries = collections.Counter()
    for name, size in objects.items():
        lib = re.sub(r"\(.*\)$", "", os.path.basename(name))
        libraries[lib] += size
    return libraries, objects


def host_sizes():
    rows = []
    for arch, nm in (("x64", "x86_64-w64-mingw32-nm"), ("x86", "i686-w64-mingw32-nm")):
        build = os.path.join(ROOT, "build", arch)
        host = os.path.join(build, "setup-host.exe")
        if os.path.exists(host):
            rows.append((arch, os.path.getsize(host), host + ".map", build, nm))
    return rows


def print_contributors(arch, map_path, build, nm):
    libraries, objects = map_contributors(map_path, symbol_owners(build, nm))
    print("  largest contributors (%s, code, data and unwind data before stripping):" % arch)
    for lib, size in libraries.most_common(8):
        print("    %-48s %8d" % (lib[:48], size))
    for obj, size in objects.most_common(10):
        print("    %-48s %8d" % (os.path.basename(obj)[-48:], size))


def print_sizes():
    print("Prebuilt host (no script, skin or payload):")
    rows = host_sizes()
    for arch, size, _, _, _ in rows:
        print("  %-4s %8d bytes (%.0f KB)" % (arch, size, size / 1024))
    for arch, _, map_path, build, nm in rows:
        if os.path.exists(map_path):
            print_contributors(arch, map_path, build, nm)


def print_figures(build, skinpack, work, archive):
    print_sizes()
    archive_mb = os.path.getsize(archive) / MB
    times = build_times(build, skinpack, work, archive)
    print("Building an installer around the %.1f MB archive (best of 3):" % archive_mb)
    for name in ("copy", "embed", "make-installer", "make-installer --link"):
        print("  %-24s %6.2f s" % ({"copy": "copying the payload once",
                                      "embed": "skinpack embed"}.get(name, name), times[name]))


if __name__ == "__main__":
    print_sizes()
