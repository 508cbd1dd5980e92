#!/usr/bin/python3
"""Another user for tests: a python3-irc client on 127.0.0.1.

  irc_peer.py --port PORT --nick NICK [--join '#a,#b']

Prints "READY" once registered and joined, then every line it receives, raw. Each line on
its standard input is sent to the server as it is; end of input quits.
"""
import argparse
import sys
import threading

import irc.client


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--port", type=int, required=True)
    ap.add_argument("--nick", required=True)
    ap.add_argument("--join", default="")
    a = ap.parse_args()

    # Older releases call the reactor IRC.
    reactor = getattr(irc.client, "Reactor", None) or irc.client.IRC
    reactor = reactor()
    connection = reactor.server().connect("127.0.0.1", a.port, a.nick, ircname="Test Peer")
    channels = [c for c in a.join.split(",") if c]
    pending = set(channels)

    def out(text):
        sys.stdout.write(text + "\n")
        sys.stdout.flush()

    def welcome(conn, event):
        if not channels:
            out("READY")
        for channel in channels:
            conn.join(channel)

    def joined(conn, event):
        if irc.client.NickMask(event.source).nick == conn.get_nickname():
            pending.discard(event.target)
            if not pending:
                out("READY")

    def raw(conn, event):
        out(event.arguments[0])

    connection.add_global_handler("welcome", welcome)
    connection.add_global_handler("join", joined)
    connection.add_global_handler("all_raw_messages", raw)

    def commands():
        for line in sys.stdin:
            line = line.rstrip("\r\n")
            if line:
                connection.send_raw(line)
        connection.disconnect("bye")

    threading.Thread(target=commands, daemon=True).start()
    while connection.is_connected():
        reactor.process_once(0.05)


if __name__ == "__main__":
    main()
