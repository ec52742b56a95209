#!/usr/bin/python3
"""Upload benchmark: tessel-cli upload against curl -T, to the same local pyftpdlib.

Usage: upload_bench.py [--cli PATH] [--size-mb N] [--runs N]

Uploads an N MB file (default 200) in active and in passive mode with both clients,
reports MB/s, the ratio tessel-cli / curl, CPU seconds per MB, and the peak memory of
tessel-cli for a 1 MB and an N MB file. The server is started on 127.0.0.1 and stopped.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SERVER = os.path.join(HERE, "..", "..", "tests", "publish", "pyftpd_server.py")
USER, PASSWORD = "bench", "bench-password"


def run_measured(argv, env=None):
    """Runs argv; returns (seconds, cpu seconds, peak RSS in KB)."""
    start = time.monotonic()
    proc = subprocess.Popen(argv, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(proc.pid, 0)
    elapsed = time.monotonic() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit("failed: %s\n%s" % (" ".join(argv), proc.stderr.read().decode()))
    return elapsed, usage.ru_utime + usage.ru_stime, usage.ru_maxrss


def make_file(path, megabytes):
    block = os.urandom(1024 * 1024)
    with open(path, "wb") as f:
        for _ in range(megabytes):
            f.write(block)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", default=os.path.join(HERE, "..", "..", "build", "release",
                                                      "src", "cli", "tessel-cli"))
    parser.add_argument("--size-mb", type=int, default=200)
    parser.add_argument("--runs", type=int, default=1)
    args = parser.parse_args()
    if shutil.which("curl") is None:
        sys.exit("curl is not installed")

    work = tempfile.mkdtemp(prefix="tessel-upload-bench-")
    root = os.path.join(work, "root")
    os.mkdir(root)
    server = subprocess.Popen(["/usr/bin/python3", SERVER, root, USER, PASSWORD],
                              stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL, text=True)
    try:
        port = int(server.stdout.readline().split()[1])
        big = os.path.join(work, "big.bin")
        small = os.path.join(work, "small.bin")
        make_file(big, args.size_mb)
        make_file(small, 1)
        env = dict(os.environ, TESSEL_BENCH_PASSWORD=PASSWORD)

        def cli(path, passive):
            argv = [args.cli, "upload", "--host", "127.0.0.1", "--port", str(port), "--user",
                    USER, "--password-env", "TESSEL_BENCH_PASSWORD", path]
            return run_measured(argv + (["--passive"] if passive else []), env)

        def curl(path, passive):
            argv = ["curl", "-s", "-S", "-T", path, "--user", "%s:%s" % (USER, PASSWORD),
                    "ftp://127.0.0.1:%d/curl-%s" % (port, os.path.basename(path))]
            return run_measured(argv + ([] if passive else ["-P", "-"]))

        mb = args.size_mb
        print("%d MB file, pyftpdlib on 127.0.0.1, best of %d run(s)" % (mb, args.runs))
        print("| mode | tessel-cli MB/s | curl MB/s | ratio | tessel-cli CPU s/MB | curl CPU s/MB |")
        print("|---|---|---|---|---|---|")
        for passive in (False, True):
            ours = min((cli(big, passive) for _ in range(args.runs)), key=lambda r: r[0])
            theirs = min((curl(big, passive) for _ in range(args.runs)), key=lambda r: r[0])
            for name in ("big.bin", "curl-big.bin"):
                if os.path.getsize(os.path.join(root, name)) != mb * 1024 * 1024:
                    sys.exit("server copy %s has the wrong size" % name)
            print("| %s | %.1f | %.1f | %.2f | %.4f | %.4f |" % (
                "passive" if passive else "active", mb / ours[0], mb / theirs[0],
                theirs[0] / ours[0], ours[1] / mb, theirs[1] / mb))
        small_rss = cli(small, False)[2]
        big_rss = cli(big, False)[2]
        print()
        print("tessel-cli peak memory: %d KB for 1 MB, %d KB for %d MB (difference %d KB)" % (
            small_rss, big_rss, mb, big_rss - small_rss))
    finally:
        server.stdin.close()
        server.terminate()
        server.wait()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
