#!/usr/bin/python3
"""The people in the demo channel: three python3-irc connections on 127.0.0.1.

  demo_peer.py --port PORT --nick YOURNICK [--channel '#velmor'] [--ready FILE]
               [--pace SECONDS] [--minutes M]

"juniper" opens the channel, takes ops and sets a topic with a link; "moss" and "quill"
follow. Once all three are in, FILE is written. They chat a line every few seconds, send
YOURNICK a private message when it comes online, welcome it (with a voice and an action)
when it joins, and answer when addressed. Everything they send is printed, one line each.
They quit after M minutes, or when the server goes away.
"""
import argparse
import heapq
import itertools
import os
import re
import sys
import time

import irc.client
import irc.strings

HOST, SECOND, THIRD = "juniper", "moss", "quill"
BOTS = (HOST, SECOND, THIRD)
TOPIC = "Velmor demo: everyone here is a script on your machine | notes: https://example.org/velmor/demo"

# (who, kind, text): kind is "say", "act" or "mode".
CHATTER = [
    (SECOND, "say", "morning all"),
    (THIRD, "say", "has anyone tried the new build? changelog at https://example.org/velmor/changes"),
    (HOST, "say", "yes, the user list sorts ops first now"),
    (SECOND, "act", "pours a coffee"),
    (THIRD, "say", "links are clickable, try https://example.org/velmor/links"),
    (HOST, "mode", "+v " + THIRD),
    (SECOND, "say", "quill got a voice, congratulations"),
    (THIRD, "say", "thanks! I will use it wisely"),
    (HOST, "say", "double-click a nick in the list to open a private chat"),
    (SECOND, "say", "and /me does the emotes"),
    (THIRD, "act", "tests that right away"),
    (HOST, "mode", "-v " + THIRD),
    (SECOND, "say", "anyone around for a review later? https://example.org/velmor/review/42"),
    (HOST, "say", "after lunch, moss"),
    (THIRD, "say", "the control panel has a tab for every window"),
    (SECOND, "act", "stretches"),
]

REPLIES = [
    "hi {you}! nice to see you here",
    "{you}: sure, go on",
    "{you}: good question, try /whois {bot}",
    "{you}: I'm only a script, but I'm listening",
    "{you}: ha, agreed",
]


class Room:
    def __init__(self, args):
        self.args = args
        self.user = args.nick
        self.channel = args.channel
        self.timers = []
        self.order = itertools.count()
        self.reactor = (getattr(irc.client, "Reactor", None) or irc.client.IRC)()
        self.conns = {}
        self.joined = set()
        self.user_online = False
        self.user_in_channel = False
        self.lines = itertools.cycle(CHATTER)
        self.replies = itertools.cycle(REPLIES)
        self.ready = False

    # Timers run on the reactor's thread, so handlers and timers never race.
    def later(self, delay, fn):
        heapq.heappush(self.timers, (time.monotonic() + delay, next(self.order), fn))

    def log(self, text):
        sys.stdout.write(text + "\n")
        sys.stdout.flush()

    def send(self, bot, kind, target, text):
        conn = self.conns.get(bot)
        if conn is None or not conn.is_connected():
            return
        if kind == "act":
            conn.action(target, text)
        elif kind == "mode":
            conn.mode(target, text)
        else:
            conn.privmsg(target, text)
        self.log(f"sent {kind} {target} <{bot}> {text}")

    def start(self):
        self.connect(HOST)

    def connect(self, bot):
        conn = self.reactor.server().connect("127.0.0.1", self.args.port, bot,
                                             ircname=f"{bot} (demo script)")
        self.conns[bot] = conn

    def on_welcome(self, conn, event):
        conn.join(self.channel)

    def on_join(self, conn, event):
        who = irc.client.NickMask(event.source).nick
        if conn.get_nickname() != HOST:
            return
        if who == HOST:
            self.conns[HOST].topic(self.channel, TOPIC)
            self.joined.add(HOST)
            for bot in (SECOND, THIRD):
                self.connect(bot)
        elif who in BOTS:
            self.joined.add(who)
            if self.joined == set(BOTS) and not self.ready:
                self.ready = True
                self.log("ready")
                if self.args.ready:
                    tmp = self.args.ready + ".tmp"
                    with open(tmp, "w") as f:
                        f.write("ready\n")
                    os.rename(tmp, self.args.ready)
                self.later(1, self.chat)
                self.later(1, self.watch_user)
        elif irc.strings.lower(who) == irc.strings.lower(self.user):
            self.user_in_channel = True
            self.log(f"user joined {self.channel}")
            self.later(1.0, lambda: self.send(HOST, "say", self.channel, f"welcome, {who}!"))
            self.later(2.0, lambda: self.send(HOST, "mode", self.channel, f"+v {who}"))
            self.later(3.5, lambda: self.send(SECOND, "act", self.channel, f"waves at {who}"))
            self.later(5.0, lambda: self.send(
                THIRD, "say", self.channel,
                f"{who}: the topic has a link, click it: https://example.org/velmor/demo"))

    def on_part_or_quit(self, conn, event):
        who = irc.client.NickMask(event.source).nick
        if conn.get_nickname() == HOST and irc.strings.lower(who) == irc.strings.lower(self.user):
            self.user_in_channel = False
            if event.type == "quit":
                self.user_online = False

    def on_nick(self, conn, event):
        old = irc.client.NickMask(event.source).nick
        if conn.get_nickname() == HOST and irc.strings.lower(old) == irc.strings.lower(self.user):
            self.user = event.target

    def watch_user(self):
        self.conns[HOST].ison([self.user])
        self.later(2, self.watch_user)

    def on_ison(self, conn, event):
        online = irc.strings.lower(self.user) in irc.strings.lower(" ".join(event.arguments)).split()
        if online and not self.user_online:
            self.log("user online")
            self.later(1, lambda: self.send(
                HOST, "say", self.user,
                f"hi {self.user}! this is a demo server on your own machine; "
                f"we are chatting in {self.channel}, type /join {self.channel} to come in"))
        self.user_online = online

    def chat(self):
        who, kind, text = next(self.lines)
        self.send(who, kind, self.channel, text)
        self.later(self.args.pace * (0.75 + 0.5 * ((time.monotonic() * 7) % 1)), self.chat)

    def on_message(self, conn, event):
        bot = conn.get_nickname()
        sender = irc.client.NickMask(event.source).nick
        if sender in BOTS:
            return
        text = event.arguments[0] if event.arguments else ""
        if event.type == "privmsg":
            reply_to = sender
        else:
            addressed = re.search(r"\b" + re.escape(bot) + r"\b", text, re.IGNORECASE)
            if not addressed:
                return
            reply_to = self.channel
        line = next(self.replies).format(you=sender, bot=bot)
        self.later(1.5, lambda: self.send(bot, "say", reply_to, line))

    def run(self):
        r = self.reactor
        r.add_global_handler("join", self.on_join)
        r.add_global_handler("part", self.on_part_or_quit)
        r.add_global_handler("quit", self.on_part_or_quit)
        r.add_global_handler("nick", self.on_nick)
        r.add_global_handler("ison", self.on_ison)
        r.add_global_handler("pubmsg", self.on_message)
        r.add_global_handler("privmsg", self.on_message)
        r.add_global_handler("welcome", self.on_welcome)
        self.start()
        end = time.monotonic() + self.args.minutes * 60
        while time.monotonic() < end:
            if not any(c.is_connected() for c in self.conns.values()):
                self.log("server gone")
                return 1
            r.process_once(0.1)
            while self.timers and self.timers[0][0] <= time.monotonic():
                heapq.heappop(self.timers)[2]()
        for conn in self.conns.values():
            if conn.is_connected():
                conn.quit("demo over")
        return 0


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--port", type=int, required=True)
    ap.add_argument("--nick", required=True)
    ap.add_argument("--channel", default="#velmor")
    ap.add_argument("--ready", default="")
    ap.add_argument("--pace", type=float, default=4.0)
    ap.add_argument("--minutes", type=float, default=60.0)
    return Room(ap.parse_args()).run()


if __name__ == "__main__":
    sys.exit(main())
