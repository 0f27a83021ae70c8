#!/usr/bin/env python3
"""The whole album program opening a folder: `vistrel -t FOLDER` on a fresh Xvfb server, timed from
the process start until the trace says every visible cell is drawn ("thumbs-drawn"), with the
first screenful of cell frames ("frames-shown") as the first screenful, and the peak resident memory (VmHWM) at that
moment. The desktop's thumbnail cache is CACHE (XDG_CACHE_HOME), so a first visit (empty cache)
and a second visit (the cache filled by the first) can be told apart.

usage: album_whole.py PROGRAM FOLDER CACHE [--screen WxH] [--runs N] [--keep-cache]
Prints one line per run: "first screenful X ms, visible cells drawn Y ms, resident Z MB".
"""
import argparse, os, shutil, subprocess, sys, tempfile, time


def start_xvfb(screen):
    read_fd, write_fd = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_fd), "-screen", "0", screen + "x24",
                             "-nolisten", "tcp"], pass_fds=(write_fd,),
                            stderr=subprocess.DEVNULL)
    os.close(write_fd)
    with os.fdopen(read_fd) as pipe:
        display = pipe.readline().strip()
    return xvfb, ":" + display


def peak_resident_mb(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmHWM:"):
                return int(line.split()[1]) / 1024
    return 0.0


def one_run(program, folder, cache, display, limit=120.0):
    scratch = tempfile.mkdtemp(prefix="album-whole.")
    trace = os.path.join(scratch, "trace.txt")
    # The folder is reached as a device path below the program's root.
    env = dict(os.environ, DISPLAY=display, VISTREL_TRACE=trace, XDG_CACHE_HOME=cache,
               HOME=scratch, XDG_CONFIG_HOME=os.path.join(scratch, "config"),
               VISTREL_ROOT=os.path.dirname(folder))
    env.pop("QT_QPA_PLATFORM", None)
    start = time.monotonic()
    proc = subprocess.Popen([program, "-t", "\\" + os.path.basename(folder)], env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    first = drawn = None
    try:
        while time.monotonic() - start < limit and proc.poll() is None:
            text = open(trace).read() if os.path.exists(trace) else ""
            now = time.monotonic()
            if first is None and "frames-shown\n" in text:
                first = now
            if "thumbs-drawn\n" in text:
                drawn = now
                break
            time.sleep(0.002)
        resident = peak_resident_mb(proc.pid) if proc.poll() is None else 0.0
    finally:
        proc.kill()
        proc.wait()
        shutil.rmtree(scratch, ignore_errors=True)
    if drawn is None:
        sys.exit(f"the program never drew the folder {folder}")
    return (first - start) * 1000, (drawn - start) * 1000, resident


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("program")
    parser.add_argument("folder")
    parser.add_argument("cache")
    parser.add_argument("--screen", default="1920x1080")
    parser.add_argument("--runs", type=int, default=1)
    parser.add_argument("--keep-cache", action="store_true",
                        help="second visit: leave the cache as it is before each run")
    args = parser.parse_args()
    xvfb, display = start_xvfb(args.screen)
    try:
        for _ in range(args.runs):
            if not args.keep_cache:
                shutil.rmtree(args.cache, ignore_errors=True)
            os.makedirs(args.cache, exist_ok=True)
            first, drawn, resident = one_run(args.program, os.path.abspath(args.folder),
                                             args.cache, display)
            print(f"first screenful {first:.0f} ms, visible cells drawn {drawn:.0f} ms, "
                  f"resident {resident:.0f} MB", flush=True)
    finally:
        xvfb.kill()
        xvfb.wait()


if __name__ == "__main__":
    main()
