#!/usr/bin/env python3
"""Install times where users compare them (part of `make bench`): our silent
install of three payload shapes against the same payload installed silently
(/S) by an NSIS installer (Debian's makensis, solid LZMA, 16 MB dictionary)
and against `7zz x` of our archive. Best of three, alternating; prints the
ratios. Figures only; nothing here passes or fails on time."""
import argparse
import os
import shutil
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.dont_write_bytecode = True  # keep the source tree clean
sys.path.insert(0, HERE)
import make_payload  # noqa: E402

ROOT = os.path.abspath(os.path.join(HERE, "..", "..", ".."))
MB = 1 << 20

SHAPES = (
    ("reference", make_payload.make, "the ~100 MB reference payload"),
    ("small", make_payload.make_small_files, "1,500 files of 100 B to 400 KB"),
    ("large", make_payload.make_large_files, "61 files, 30 MB random, 77 MB text"),
)

INSTALL_SCRIPT = r"""
local result = nil
function OnSetupProgress(path, index, count) end
function OnDecompressRet(code) result = code end
function OnRunSetup()
  lua_StartDecompress([[%s]])
  print("bench-result " .. tostring(result))
end
"""

NSIS_SCRIPT = r"""
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
SetCompressorDictSize 16
RequestExecutionLevel user
SilentInstall silent
OutFile "%s"
InstallDir "C:\nsis-bench"
Section
  SetOutPath "$INSTDIR"
  File /r "%s\*.*"
SectionEnd
"""


def check(cmd, cwd=None):
    proc = subprocess.run(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    if proc.returncode != 0:
        sys.exit("install-bench: %s failed:\n%s" % (" ".join(cmd), proc.stdout[-3000:]))
    return proc.stdout


def timed(cmd):
    start = time.monotonic()
    out = check(cmd)
    return time.monotonic() - start, out


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def ensure_makensis():
    if shutil.which("makensis"):
        return True
    print("install-bench: installing Debian's nsis package for the comparison", flush=True)
    sudo = [] if os.geteuid() == 0 else ["sudo"]
    subprocess.run(sudo + ["apt-get", "install", "-y", "nsis"], stdout=subprocess.DEVNULL)
    return shutil.which("makensis") is not None


def tree_size(root):
    files = total = 0
    for dirpath, _, names in os.walk(root):
        for name in names:
            files += 1
            total += os.path.getsize(os.path.join(dirpath, name))
    return files, total


class Shape:
    def __init__(self, args, name, make, what):
        self.name, self.what = name, what
        work = args.work
        self.payload = os.path.join(work, name if name != "reference" else "payload")
        make(self.payload)
        self.archive = os.path.join(work, (name if name != "reference" else "payload") + ".7z")
        # An archive from an older packer may have other solid blocks, which
        # changes how much decoding overlaps writing: pack it again then.
        if (not os.path.exists(self.archive)
                or os.path.getmtime(self.archive) < os.path.getmtime(args.skinpack)):
            print("install-bench: packing %s" % self.payload, flush=True)
            check([args.skinpack, "payload", "--plain", "--level", "5", self.payload,
                   self.archive])
        self.ours = os.path.join(work, "install-%s.exe" % name)
        self.ours_target = os.path.join(work, "target-ours-" + name)
        script = os.path.join(work, "install-%s.lua" % name)
        with open(script, "w") as f:
            f.write(INSTALL_SCRIPT % windows_path(self.ours_target))
        check([os.path.join(ROOT, "tools", "make-installer"), "--build", args.build, "--script",
               script, "--no-skin", "--payload-archive", self.archive, "-o", self.ours])
        self.nsis = os.path.join(work, "nsis-%s.exe" % name)
        self.nsis_target = os.path.join(work, "target-nsis-" + name)
        if args.nsis and not os.path.exists(self.nsis):
            print("install-bench: building the NSIS installer of %s" % self.payload, flush=True)
            nsi = os.path.join(work, "nsis-%s.nsi" % name)
            with open(nsi, "w") as f:
                f.write(NSIS_SCRIPT % (self.nsis + ".part", self.payload))
            check(["makensis", "-V2", nsi])
            os.replace(self.nsis + ".part", self.nsis)
        self.sevenzip_target = os.path.join(work, "target-7zz-" + name)

    def runs(self, args):
        wine = [os.path.join(ROOT, "tools", "wine-run"), "--build", args.build]
        out = [("ours", self.ours_target, wine + [self.ours])]
        if args.nsis:
            out.append(("nsis", self.nsis_target,
                        wine + [self.nsis, "/S", "/D=" + windows_path(self.nsis_target)]))
        out.append(("7zz x", self.sevenzip_target,
                    ["7zz", "x", "-y", "-bd", "-o" + self.sevenzip_target, self.archive]))
        return out


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=os.path.join(ROOT, "build", "x64"))
    parser.add_argument("--native", default=os.path.join(ROOT, "build", "native"))
    parser.add_argument("--work", default=os.path.join(ROOT, "build", "bench"))
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--shapes", default="reference,small,large")
    args = parser.parse_args()
    args.build, args.work = os.path.abspath(args.build), os.path.abspath(args.work)
    args.skinpack = os.path.join(os.path.abspath(args.native), "tools", "skinpack")
    os.makedirs(args.work, exist_ok=True)
    args.nsis = ensure_makensis()
    if not args.nsis:
        print("install-bench: no makensis; comparing with 7zz x only")
    wanted = args.shapes.split(",")
    shapes = [Shape(args, n, m, w) for n, m, w in SHAPES if n in wanted]
    print("Silent install under Wine (64-bit), best of %d, alternating:" % args.rounds)
    for shape in shapes:
        best = {}
        for _ in range(args.rounds):
            for label, target, cmd in shape.runs(args):
                shutil.rmtree(target, ignore_errors=True)
                wall, out = timed(cmd)
                if label == "ours" and "bench-result 0" not in out:
                    sys.exit("install-bench: our install of %s failed:\n%s" % (shape.name, out))
                best[label] = min(best.get(label, wall), wall)
        files, total = tree_size(shape.ours_target)
        line = "  %-9s %4d files %6.1f MB: ours %5.2f s" % (shape.name, files, total / MB,
                                                             best["ours"])
        if "nsis" in best:
            line += ", NSIS %5.2f s (%.2fx)" % (best["nsis"], best["ours"] / best["nsis"])
        line += ", 7zz x %5.2f s (%.2fx)" % (best["7zz x"], best["ours"] / best["7zz x"])
        print(line, flush=True)
        for _, target, _ in shape.runs(args):
            shutil.rmtree(target, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
