#!/usr/bin/env python3
"""Runs the channel flood benchmark several times per setting and prints medians.

  bench/display/conversation_bench.py [--lines 1000000] [--runs 3] [--build build]

Settings: the headless and the Qt (offscreen) display server, each with a 5,000-user and a
50-user channel; then the socket-to-scrollback latency of single lines. Traffic files are made
once with the shared gen_traffic.py under /tmp.
"""
import argparse, os, statistics, subprocess, sys

HERE = os.path.dirname(os.path.abspath(__file__))
TOOLS = os.path.normpath(os.path.join(HERE, "..", "..", "..", "shared", "bench"))


def traffic(lines, users):
    path = f"/tmp/velmor-{lines // 1000}k-{users}.irc"
    if not os.path.exists(path):
        subprocess.run([sys.executable, os.path.join(TOOLS, "gen_traffic.py"), "--lines",
                        str(lines), "--users", str(users), "-o", path], check=True)
    return path


def run(program, args, env):
    out = subprocess.run([program] + args, env=env, stdout=subprocess.DEVNULL,
                         stderr=subprocess.PIPE, text=True, timeout=1800).stderr
    line = [l for l in out.splitlines() if "=" in l][-1]
    return {k: v for k, v in (f.split("=", 1) for f in line.split())}


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--lines", type=int, default=1_000_000)
    ap.add_argument("--runs", type=int, default=3)
    ap.add_argument("--build", default=os.path.join(HERE, "..", "..", "build"))
    a = ap.parse_args()
    program = os.path.join(a.build, "bench", "display", "conversation_bench")
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    results = {}
    for display in ("headless", "qt"):
        for users in (5000, 50):
            path = traffic(a.lines, users)
            args = ["--traffic", path, "--tools", TOOLS] + (["--qt"] if display == "qt" else [])
            runs = [run(program, args, env) for _ in range(a.runs)]
            key = (display, users)
            results[key] = runs
            med = lambda f: statistics.median(float(r[f]) for r in runs)
            gui = f"  GUI applied {med('gui_lines_per_s'):,.0f} lines/s" if display == "qt" else ""
            print(f"{display:8} {users:5} users: {med('lines_per_s'):,.0f} lines/s "
                  f"({med('seconds'):.2f} s){gui}  peak RSS {med('peak_rss_mb'):.0f} MB  "
                  f"CPU {med('cpu_s'):.1f} s  (median of {len(runs)})", flush=True)
    for display in ("headless", "qt"):
        small = statistics.median(float(r["lines_per_s"]) for r in results[(display, 50)])
        big = statistics.median(float(r["lines_per_s"]) for r in results[(display, 5000)])
        print(f"{display}: 50 users / 5,000 users throughput ratio {small / big:.2f}")
    lat = [run(program, ["--latency", "2000"], env) for _ in range(a.runs)]
    print("socket-to-scrollback latency: median %.0f us, p99 %.0f us (median of %d runs of 2,000 lines)"
          % (statistics.median(float(r["latency_median_us"]) for r in lat),
             statistics.median(float(r["latency_p99_us"]) for r in lat), len(lat)))


if __name__ == "__main__":
    main()
