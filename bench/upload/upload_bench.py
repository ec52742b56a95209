#!/usr/bin/python3
"""Upload benchmark: tessel-cli upload against curl -T, to the same local FTP servers.

Usage: upload_bench.py [--cli PATH] [--size-mb N] [--runs N] [--servers pyftpdlib,vsftpd]
                       [--tls]

Uploads an N MB file (default 200) in active and in passive mode with both clients to
each server, reports MB/s, the ratio tessel-cli / curl, CPU milliseconds per MB, and the
peak memory of tessel-cli for a 1 MB and an N MB file. The servers are started on
127.0.0.1 and stopped; vsftpd needs root and is skipped with a note otherwise.

With --tls both clients use explicit FTPS (tessel-cli upload --tls, curl --ssl-reqd) to
vsftpd requiring TLS for the log-in and the data, with session reuse, and a certificate
made for the run.
"""
import argparse
import os
import pwd
import shutil
import socket
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
PYFTPD = os.path.join(HERE, "..", "..", "tests", "publish", "pyftpd_server.py")
VSFTPD = "/usr/sbin/vsftpd"
GNU_TIME = "/usr/bin/time"
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


def peak_rss_kb(argv, env):
    """The peak resident set of argv in KB, measured by GNU time: a child that Python
    starts inherits the high-water mark of Python's own memory, which hides the figure."""
    if not os.access(GNU_TIME, os.X_OK):
        return run_measured(argv, env)[2]
    with tempfile.NamedTemporaryFile("r") as out:
        run_measured([GNU_TIME, "-f", "%M", "-o", out.name] + argv, env)
        return int(out.read().split()[-1])


def make_file(path, megabytes):
    block = os.urandom(1024 * 1024)
    with open(path, "wb") as f:
        for _ in range(megabytes):
            f.write(block)


def free_loopback_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_for_listener(port, seconds=10):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            socket.create_connection(("127.0.0.1", port), timeout=1).close()
            return True
        except OSError:
            time.sleep(0.05)
    return False


class PyftpdServer:
    """pyftpdlib with one user whose home is the upload folder."""
    name = "pyftpdlib"

    def __init__(self, work):
        self.upload_dir = os.path.join(work, "pyftpd-root")
        os.mkdir(self.upload_dir)
        self.user, self.remote_dir = USER, ""
        self.proc = subprocess.Popen(["/usr/bin/python3", PYFTPD, self.upload_dir, USER, PASSWORD],
                                     stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=subprocess.DEVNULL, text=True)
        self.port = int(self.proc.stdout.readline().split()[1])

    def stop(self):
        self.proc.stdin.close()
        self.proc.terminate()
        self.proc.wait()


class VsftpdServer:
    """vsftpd with anonymous uploads into root/upload (it refuses a writable chroot)."""
    name = "vsftpd"

    @staticmethod
    def unavailable():
        if os.geteuid() != 0:
            return "vsftpd needs root to run"
        if not os.access(VSFTPD, os.X_OK):
            return "vsftpd is not installed"
        try:
            pwd.getpwnam("ftp")
        except KeyError:
            return "vsftpd's ftp user does not exist"
        return None

    def __init__(self, work, tls=None):
        base = os.path.join(work, "vsftpd")
        root, empty = os.path.join(base, "root"), os.path.join(base, "empty")
        self.upload_dir = os.path.join(root, "upload")
        os.makedirs(self.upload_dir)
        os.makedirs(empty)
        for folder in (work, base, root):
            os.chmod(folder, 0o755)
        ftp = pwd.getpwnam("ftp")
        os.chown(self.upload_dir, ftp.pw_uid, ftp.pw_gid)
        self.user, self.remote_dir = "anonymous", "upload"
        self.port = free_loopback_port()
        conf = os.path.join(base, "vsftpd.conf")
        with open(conf, "w") as f:
            f.write("listen=YES\nlisten_ipv6=NO\nlisten_address=127.0.0.1\nlisten_port=%d\n"
                    "background=NO\nanonymous_enable=YES\nlocal_enable=NO\nwrite_enable=YES\n"
                    "anon_upload_enable=YES\nanon_other_write_enable=YES\nanon_root=%s\n"
                    "no_anon_password=YES\nsecure_chroot_dir=%s\nseccomp_sandbox=NO\n"
                    "xferlog_enable=NO\nanon_umask=022\n" % (self.port, root, empty))
            if tls:
                f.write("ssl_enable=YES\nallow_anon_ssl=YES\nforce_anon_logins_ssl=YES\n"
                        "force_anon_data_ssl=YES\nrequire_ssl_reuse=YES\nssl_ciphers=HIGH\n"
                        "ssl_request_cert=NO\nrsa_cert_file=%s\nrsa_private_key_file=%s\n"
                        % (tls.cert, tls.key))
        self.proc = subprocess.Popen([VSFTPD, conf], stdin=subprocess.DEVNULL,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if not wait_for_listener(self.port):
            self.stop()
            sys.exit("vsftpd did not start listening")

    def stop(self):
        self.proc.terminate()
        self.proc.wait()


class TlsFiles:
    """A self-signed certificate for 127.0.0.1 and its SHA-256 fingerprint."""

    def __init__(self, work):
        self.cert, self.key = os.path.join(work, "cert.pem"), os.path.join(work, "key.pem")
        subprocess.run(["openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt",
                        "ec_paramgen_curve:prime256v1", "-nodes", "-keyout", self.key, "-out",
                        self.cert, "-days", "1", "-subj", "/CN=127.0.0.1", "-addext",
                        "subjectAltName=IP:127.0.0.1"], check=True, capture_output=True)
        out = subprocess.run(["openssl", "x509", "-in", self.cert, "-noout", "-fingerprint",
                              "-sha256"], check=True, capture_output=True, text=True).stdout
        self.sha256 = out.strip().split("=", 1)[1]


def bench_server(server, args, big, small, tls=None):
    env = dict(os.environ, TESSEL_BENCH_PASSWORD=PASSWORD)
    mb = args.size_mb

    def cli_argv(path, passive):
        argv = [args.cli, "upload", "--host", "127.0.0.1", "--port", str(server.port), "--user",
                server.user, "--password-env", "TESSEL_BENCH_PASSWORD", path]
        if server.remote_dir:
            argv += ["--dir", server.remote_dir]
        if tls:
            argv += ["--tls", "--trust-sha256", tls.sha256]
        return argv + (["--passive"] if passive else [])

    def cli(path, passive):
        return run_measured(cli_argv(path, passive), env)

    def curl(path, passive):
        remote = "/".join(filter(None, [server.remote_dir, "curl-" + os.path.basename(path)]))
        argv = ["curl", "-s", "-S", "-T", path, "--user", "%s:%s" % (server.user, PASSWORD),
                "ftp://127.0.0.1:%d/%s" % (server.port, remote)]
        if tls:
            argv += ["--ssl-reqd", "--cacert", tls.cert]
        return run_measured(argv + ([] if passive else ["-P", "-"]))

    def check(name, size):
        if os.path.getsize(os.path.join(server.upload_dir, name)) != size:
            sys.exit("%s: server copy %s has the wrong size" % (server.name, name))
        os.remove(os.path.join(server.upload_dir, name))

    print("%d MB file, %s%s on 127.0.0.1, best of %d run(s)" % (
        mb, server.name, " with TLS" if tls else "", args.runs))
    print("| mode | tessel-cli MB/s | curl MB/s | ratio | tessel-cli CPU ms/MB |"
          " curl CPU ms/MB |")
    print("|---|---|---|---|---|---|")
    for passive in (False, True):
        # curl 7.88 fails every active-mode FTPS upload ("sa_addr inet_ntop() failed").
        with_curl = passive or not tls
        ours, theirs = [], []
        # Alternate the clients so that a burst of load elsewhere hits both alike.
        for _ in range(args.runs):
            ours.append(cli(big, passive))
            check("big.bin", mb * 1024 * 1024)
            if with_curl:
                theirs.append(curl(big, passive))
                check("curl-big.bin", mb * 1024 * 1024)
        ours = min(ours, key=lambda r: r[0])
        mode = "passive" if passive else "active"
        if not with_curl:
            print("| %s | %.1f | n/a | n/a | %.2f | n/a |" % (
                mode, mb / ours[0], 1000 * ours[1] / mb), flush=True)
            continue
        theirs = min(theirs, key=lambda r: r[0])
        print("| %s | %.1f | %.1f | %.2f | %.2f | %.2f |" % (
            mode, mb / ours[0], mb / theirs[0],
            theirs[0] / ours[0], 1000 * ours[1] / mb, 1000 * theirs[1] / mb), flush=True)
    small_rss = peak_rss_kb(cli_argv(small, False), env)
    check("small.bin", 1024 * 1024)
    big_rss = peak_rss_kb(cli_argv(big, False), env)
    check("big.bin", mb * 1024 * 1024)
    print()
    print("tessel-cli peak memory: %d KB for 1 MB, %d KB for %d MB (difference %d KB)" % (
        small_rss, big_rss, mb, big_rss - small_rss))
    print(flush=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", default=os.path.join(HERE, "..", "..", "build", "release",
                                                      "src", "cli", "tessel-cli"))
    parser.add_argument("--size-mb", type=int, default=200)
    parser.add_argument("--runs", type=int, default=1)
    parser.add_argument("--servers", default="pyftpdlib,vsftpd")
    parser.add_argument("--tls", action="store_true", help="explicit FTPS, vsftpd only")
    args = parser.parse_args()
    if args.tls:
        args.servers = "vsftpd"
    if shutil.which("curl") is None:
        sys.exit("curl is not installed")
    kinds = {"pyftpdlib": PyftpdServer, "vsftpd": VsftpdServer}
    wanted = [name for name in args.servers.split(",") if name]
    unknown = [name for name in wanted if name not in kinds]
    if unknown:
        sys.exit("unknown server: %s" % ", ".join(unknown))

    work = tempfile.mkdtemp(prefix="tessel-upload-bench-")
    try:
        big = os.path.join(work, "big.bin")
        small = os.path.join(work, "small.bin")
        make_file(big, args.size_mb)
        make_file(small, 1)
        tls = TlsFiles(work) if args.tls else None
        for name in wanted:
            kind = kinds[name]
            problem = getattr(kind, "unavailable", lambda: None)()
            if problem:
                print("%s skipped: %s\n" % (name, problem))
                continue
            server = kind(work, tls) if tls else kind(work)
            try:
                bench_server(server, args, big, small, tls)
            finally:
                server.stop()
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
