#!/usr/bin/python3
"""SFTP upload benchmark: tessel-cli upload --sftp against OpenSSH's sftp -b, to the same sshd.

Usage: sftp_bench.py [--cli PATH] [--size-mb N] [--runs N]

Starts sshd (needs root) on a free port of 127.0.0.1 with its own host key and a key log-in
for a bench user whose files are in a temporary folder, uploads an N MB file (default 200)
with both clients in turn, and reports MB/s, the ratio tessel-cli / sftp, CPU milliseconds
per MB and the peak memory of tessel-cli for a 1 MB and an N MB file. Every server copy is
checked for its size.
"""
import argparse
import os
import pwd
import subprocess
import sys
import tempfile
import time

from upload_bench import free_loopback_port, make_file, peak_rss_kb, run_measured, wait_for_listener

USER = "tesselbench"


def ensure_user():
    try:
        pwd.getpwnam(USER)
    except KeyError:
        subprocess.run(["useradd", "-M", "-N", "-d", "/nonexistent", "-s", "/usr/sbin/nologin",
                        USER], check=True)
    # sshd refuses a locked account even for a key log-in.
    subprocess.run(["chpasswd"], input="%s:%s\n" % (USER, os.urandom(12).hex()), text=True,
                   check=True)
    return pwd.getpwnam(USER)


class Sshd:
    def __init__(self, folder, public_key):
        user = ensure_user()
        self.home = os.path.join(folder, "home")
        os.makedirs(self.home)
        # The bench user must get through the temporary folders to its home and its keys.
        os.chmod(folder, 0o755)
        os.chmod(os.path.dirname(folder), 0o755)
        os.chown(self.home, user.pw_uid, user.pw_gid)
        os.makedirs("/run/sshd", exist_ok=True)
        self.host_key = os.path.join(folder, "host_ed25519")
        subprocess.run(["ssh-keygen", "-q", "-t", "ed25519", "-N", "", "-f", self.host_key],
                       check=True)
        listed = subprocess.run(["ssh-keygen", "-l", "-f", self.host_key + ".pub"], check=True,
                                capture_output=True, text=True).stdout.split()
        self.sha256 = listed[1]
        keys = os.path.join(folder, "authorized_keys")
        with open(keys, "w") as f:
            f.write(public_key)
        self.port = free_loopback_port()
        config = os.path.join(folder, "sshd_config")
        with open(config, "w") as f:
            f.write("Port %d\nListenAddress 127.0.0.1\nHostKey %s\nPidFile %s/sshd.pid\n"
                    "AuthorizedKeysFile %s\nStrictModes no\nUsePAM no\nPasswordAuthentication no\n"
                    "PubkeyAuthentication yes\nAllowUsers %s\nSubsystem sftp internal-sftp -d %s\n"
                    % (self.port, self.host_key, folder, keys, USER, self.home))
        self.process = subprocess.Popen(["/usr/sbin/sshd", "-D", "-f", config, "-E",
                                         os.path.join(folder, "sshd.log")])
        if not wait_for_listener(self.port):
            sys.exit("sshd did not start")
        self.known_hosts = os.path.join(folder, "known_hosts")
        with open(self.host_key + ".pub") as pub, open(self.known_hosts, "w") as f:
            f.write("[127.0.0.1]:%d %s" % (self.port, pub.read()))

    def stop(self):
        self.process.terminate()
        self.process.wait()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", default="build/release/bin/tessel-cli")
    parser.add_argument("--size-mb", type=int, default=200)
    parser.add_argument("--runs", type=int, default=2)
    args = parser.parse_args()
    if os.geteuid() != 0:
        sys.exit("sshd needs root")
    with tempfile.TemporaryDirectory() as folder:
        key = os.path.join(folder, "client_ed25519")
        subprocess.run(["ssh-keygen", "-q", "-t", "ed25519", "-N", "", "-f", key], check=True)
        with open(key + ".pub") as f:
            server = Sshd(os.path.join(folder, "sshd"), f.read())
        try:
            big = os.path.join(folder, "big.bin")
            small = os.path.join(folder, "small.bin")
            make_file(big, args.size_mb)
            make_file(small, 1)
            env = dict(os.environ, HOME=folder)
            ours = [args.cli, "upload", "--sftp", "--host", "127.0.0.1", "--port", str(server.port),
                    "--user", USER, "--key", key, "--trust-sha256", server.sha256, "--dir", "."]
            batch = os.path.join(folder, "batch")
            with open(batch, "w") as f:
                f.write("put %s\n" % big)
            theirs = ["sftp", "-q", "-b", batch, "-i", key, "-P", str(server.port),
                      "-o", "UserKnownHostsFile=" + server.known_hosts, "-o", "BatchMode=yes",
                      "%s@127.0.0.1" % USER]
            target = os.path.join(server.home, "big.bin")
            best = {}
            for _ in range(args.runs):
                for name, argv in (("tessel-cli", ours + [big]), ("sftp", theirs)):
                    if os.path.exists(target):
                        os.remove(target)
                    elapsed, cpu, _ = run_measured(argv, env)
                    if os.path.getsize(target) != args.size_mb * 1024 * 1024:
                        sys.exit("%s: the server copy has the wrong size" % name)
                    if name not in best or elapsed < best[name][0]:
                        best[name] = (elapsed, cpu)
            rate = {name: args.size_mb / best[name][0] for name in best}
            print("| client | MB/s | CPU ms/MB |")
            print("|---|---|---|")
            for name in ("tessel-cli", "sftp"):
                print("| %s | %.1f | %.2f |" % (name, rate[name], best[name][1] * 1000 / args.size_mb))
            print("ratio tessel-cli / sftp: %.2f" % (rate["tessel-cli"] / rate["sftp"]))
            for path, size in ((small, 1), (big, args.size_mb)):
                print("peak memory of tessel-cli, %d MB: %d KB" % (size, peak_rss_kb(ours + [path], env)))
        finally:
            server.stop()


if __name__ == "__main__":
    main()
