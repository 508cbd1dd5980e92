#!/usr/bin/python3
"""The offline demo (scripts/demo) without a display: a raw client in the demo's place checks
that the channel is alive, then that the server, the people and the settings are all gone
when the command ends, fails or the demo is told to stop.

  demo_test.py SCRIPTS_DEMO
"""
import json
import os
import re
import signal
import socket
import subprocess
import sys
import tempfile
import time

PEOPLE = ("juniper", "moss", "quill")
NICK = "demouser"


class Client:
    def __init__(self, port):
        self.sock = socket.create_connection(("127.0.0.1", port), timeout=5)
        self.buffer = b""
        self.seen = []

    def send(self, line):
        self.sock.sendall(line.encode() + b"\r\n")

    def lines_until(self, deadline):
        """Every line received before the deadline; answers PINGs on the way."""
        while time.monotonic() < deadline:
            while b"\n" in self.buffer:
                raw, self.buffer = self.buffer.split(b"\n", 1)
                line = raw.rstrip(b"\r").decode("utf-8", "replace")
                if line.startswith("PING"):
                    self.send("PONG" + line[4:])
                    continue
                self.seen.append(line)
                yield line
            self.sock.settimeout(max(0.01, deadline - time.monotonic()))
            try:
                data = self.sock.recv(4096)
            except socket.timeout:
                continue
            if not data:
                raise AssertionError("the server closed the connection")
            self.buffer += data

    def wait_for(self, what, test, deadline):
        for line in self.lines_until(deadline):
            if test(line):
                return line
        raise AssertionError(f"no {what} within the time; last lines:\n  " + "\n  ".join(self.seen[-15:]))


def parse(line):
    """(sender nick, command, params) of one line; the trailing parameter is the last one."""
    prefix = ""
    if line.startswith(":"):
        prefix, line = line[1:].split(" ", 1)
    head, _, trailing = line.partition(" :")
    params = head.split()
    if trailing or " :" in line:
        params.append(trailing)
    return prefix.split("!")[0], params[0], params[1:]


def inside(report, linger):
    """Runs as the demo's command: checks the channel, then reports what the demo started."""
    port = int(os.environ["VELMOR_DEMO_PORT"])
    channel = os.environ["VELMOR_DEMO_CHANNEL"]
    assert os.environ["VELMOR_DEMO_NICK"] == NICK
    settings = os.path.join(os.environ["XDG_CONFIG_HOME"], "Velmor")
    servers = open(os.path.join(settings, "ServerSettings")).read()
    assert servers.startswith(f"127.0.0.1 , {port} , "), servers
    assert os.path.getsize(os.path.join(settings, "IRCSettings")) > 0
    with open(report + ".tmp", "w") as f:
        json.dump({"dir": os.environ["VELMOR_DEMO_DIR"], "port": port,
                   "pids": [int(p) for p in os.environ["VELMOR_DEMO_PIDS"].split()]}, f)
    os.rename(report + ".tmp", report)
    if linger:
        time.sleep(30)
        return 0

    start = time.monotonic()
    c = Client(port)
    c.send(f"NICK {NICK}")
    c.send(f"USER {NICK} 0 * :Demo Test")
    c.wait_for("welcome", lambda l: parse(l)[1] == "001", start + 5)
    # The host notices the user coming online and points at the channel.
    c.wait_for("private message from juniper", lambda l: parse(l)[:2] == ("juniper", "PRIVMSG")
               and parse(l)[2][0] == NICK and channel in parse(l)[2][1], start + 10)
    c.send(f"JOIN {channel}")
    topic = c.wait_for("topic", lambda l: parse(l)[1] == "332", start + 12)
    assert re.search(r"https?://\S+", parse(topic)[2][-1]), topic
    names = c.wait_for("names", lambda l: parse(l)[1] == "353", start + 12)
    listed = parse(names)[2][-1].split()
    for person in PEOPLE:
        assert any(n.lstrip("@+") == person for n in listed), (person, listed)
    assert "@juniper" in listed, listed

    voiced = action = linked = False
    talkers = set()
    lines = 0
    deadline = start + 35
    while not (voiced and action and linked and len(talkers) >= 2 and lines >= 4):
        line = c.wait_for("more of the conversation", lambda l: True, deadline)
        sender, command, params = parse(line)
        if command == "MODE" and params[:3] == [channel, "+v", NICK] and sender == "juniper":
            voiced = True
        elif command == "PRIVMSG" and params[0] == channel and sender in PEOPLE:
            text = params[-1]
            if text.startswith("\x01ACTION "):
                action = True
            else:
                lines += 1
                talkers.add(sender)
                linked = linked or "https://" in text

    # Addressed by name, a person answers the user in the channel.
    c.send(f"PRIVMSG {channel} :moss: are you there?")
    c.wait_for("moss answering", lambda l: parse(l)[:2] == ("moss", "PRIVMSG")
               and parse(l)[2][0] == channel and NICK in parse(l)[2][-1], time.monotonic() + 6)
    c.send("QUIT :done")
    return 0


def leftovers(directory):
    """Processes whose command line still names the demo's directory."""
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit() or int(entry) == os.getpid():
            continue
        try:
            with open(f"/proc/{entry}/cmdline", "rb") as f:
                cmdline = f.read().replace(b"\0", b" ").decode("utf-8", "replace")
            with open(f"/proc/{entry}/stat") as f:
                state = f.read().rsplit(")", 1)[1].split()[0]
        except OSError:
            continue
        if directory in cmdline and state != "Z":
            found.append(f"{entry}: {cmdline}")
    return found


def assert_all_gone(report):
    info = json.load(open(report))
    assert not os.path.exists(info["dir"]), f"{info['dir']} was not removed"
    assert len(info["pids"]) == 2, info
    for pid in info["pids"]:
        try:
            state = open(f"/proc/{pid}/stat").read().rsplit(")", 1)[1].split()[0]
        except OSError:
            continue
        assert state == "Z", f"process {pid} still runs"
    left = leftovers(info["dir"])
    assert not left, "left running:\n" + "\n".join(left)
    probe = socket.socket()
    try:
        assert probe.connect_ex(("127.0.0.1", info["port"])) != 0, "the server still listens"
    finally:
        probe.close()


def run_demo(demo, work, *command):
    return subprocess.Popen([demo, "--nick", NICK, "--", sys.executable, os.path.abspath(__file__),
                             *command], cwd=work)


def main():
    if sys.argv[1:2] in (["--inside"], ["--linger"]):
        return inside(sys.argv[2], sys.argv[1] == "--linger")
    demo = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory() as work:
        # 1. The whole first minute, then a clean end.
        report = os.path.join(work, "alive.json")
        p = run_demo(demo, work, "--inside", report)
        assert p.wait(timeout=50) == 0, "the channel check failed"
        assert_all_gone(report)
        print("alive channel, everything stopped after the command")

        # 2. Told to stop while the command runs: the command, server and people all go.
        report = os.path.join(work, "stopped.json")
        p = run_demo(demo, work, "--linger", report)
        deadline = time.monotonic() + 20
        while not os.path.exists(report):
            assert p.poll() is None and time.monotonic() < deadline, "the demo did not start"
            time.sleep(0.05)
        p.send_signal(signal.SIGTERM)
        assert p.wait(timeout=8) == 128 + signal.SIGTERM
        assert_all_gone(report)
        print("stopped by SIGTERM, everything stopped")
    return 0


if __name__ == "__main__":
    sys.exit(main())
