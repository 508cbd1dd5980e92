#!/usr/bin/env python3
"""Runs the whole-client flood benchmark several times per setting and prints medians.

  bench/app/app_bench.py [--lines 1000000] [--runs 3] [--build build] [--irssi]
                         [--only replay,probe,input] [--json FILE]

Settings: the headless and the Qt (offscreen) display server, each with a 5,000-user and a
50-user channel (the Qt runs also time scrolling the full scrollback); the socket-to-scrollback
latency of single lines sent at a steady rate into a second channel beside the flood; the
latency of keys typed into another window while a channel takes 100,000 lines/s. With --irssi
the reference client takes the same files in the same run, each of its runs between ours,
through the shared peer_baseline.py harness. The load average is printed with every figure.
"""
import argparse, json, os, statistics, subprocess, sys

HERE = os.path.dirname(os.path.abspath(__file__))
TOOLS = os.path.normpath(os.path.join(HERE, "..", "..", "..", "shared", "bench"))


def load():
    return open("/proc/loadavg").read().split()[0]


def traffic(lines, users):
    path = f"/tmp/velmor-{lines // 1000}k-{users}.irc"
    if not os.path.exists(path):
        subprocess.run([sys.executable, os.path.join(TOOLS, "gen_traffic.py"), "--lines",
                        str(lines), "--users", str(users), "-o", path], check=True)
    return path


def run(program, args, env):
    before = load()
    proc = subprocess.run([program] + args, env=env, stdout=subprocess.DEVNULL,
                          stderr=subprocess.PIPE, text=True, timeout=1800)
    lines = [l for l in proc.stderr.splitlines() if "=" in l and not l.startswith("alert")]
    if proc.returncode != 0 or not lines:
        sys.exit(f"{program} {' '.join(args)} failed ({proc.returncode}): {proc.stderr[-2000:]}")
    result = {k: v for k, v in (f.split("=", 1) for f in lines[-1].split())}
    result["load"] = f"{before}->{load()}"
    return result


def irssi(path, port):
    before = load()
    out = subprocess.run([sys.executable, os.path.join(TOOLS, "peers", "peer_baseline.py"),
                          "--client", "irssi", "--file", path, "--runs", "1", "--port", str(port)],
                         stdout=subprocess.PIPE, text=True, timeout=1800).stdout
    r = json.loads([l for l in out.splitlines() if '"run"' in l][-1])
    if not r["marker_seen"]:
        sys.exit(f"irssi never showed the marker: {r}")
    lines = r["lines"]
    return dict(seconds=r["connect_to_marker_s"], lines_per_s=lines / r["connect_to_marker_s"],
                peak_rss_mb=r["time_v_maxrss_kb"] / 1024, cpu_s=r["client_cpu_s_at_marker"],
                load=f"{before}->{load()}")


def med(runs, key):
    return statistics.median(float(r[key]) for r in runs)


def loads(runs):
    return " ".join(r["load"] for r in runs)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--lines", type=int, default=1_000_000)
    ap.add_argument("--runs", type=int, default=3)
    ap.add_argument("--build", default=os.path.join(HERE, "..", "..", "build"))
    ap.add_argument("--irssi", action="store_true", help="run the reference client beside ours")
    ap.add_argument("--only", default="replay,probe,input")
    ap.add_argument("--users", default="5000,50")
    ap.add_argument("--probe-rate", type=int, default=200)
    ap.add_argument("--flood-rate", type=int, default=100_000)
    ap.add_argument("--json", help="write every run's results here")
    a = ap.parse_args()
    program = os.path.join(a.build, "bench", "app", "app_bench")
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    only = a.only.split(",")
    users_list = [int(u) for u in a.users.split(",")]
    results = {}
    if "replay" in only:
        for users in users_list:
            path = traffic(a.lines, users)
            for display in ("headless", "qt"):
                results[f"{display}-{users}"] = []
            if a.irssi:
                results[f"irssi-{users}"] = []
            for k in range(a.runs):
                for display in ("headless", "qt"):
                    args = ["--traffic", path, "--tools", TOOLS]
                    if display == "qt":
                        args += ["--qt", "--scroll"]
                    results[f"{display}-{users}"].append(run(program, args, env))
                if a.irssi:
                    results[f"irssi-{users}"].append(irssi(path, 16800 + k))
            for name in (["irssi"] if a.irssi else []) + ["headless", "qt"]:
                runs = results[f"{name}-{users}"]
                gui = (f"  GUI applied {med(runs, 'gui_lines_per_s'):,.0f} lines/s "
                       f"({med(runs, 'gui_seconds'):.2f} s)") if name == "qt" else ""
                print(f"{name:8} {users:5} users: {med(runs, 'lines_per_s'):,.0f} lines/s "
                      f"({med(runs, 'seconds'):.2f} s){gui}  peak RSS {med(runs, 'peak_rss_mb'):.0f} MB"
                      f"  CPU {med(runs, 'cpu_s'):.1f} s  (median of {len(runs)}; load {loads(runs)})",
                      flush=True)
                if name == "qt":
                    print(f"         scrolling {runs[0]['scroll_lines']} lines: frame median "
                          f"{med(runs, 'scroll_median_ms'):.2f} ms, p99 {med(runs, 'scroll_p99_ms'):.2f} ms,"
                          f" worst {max(float(r['scroll_max_ms']) for r in runs):.2f} ms, frames >= 16 ms: "
                          f"{sum(int(r['scroll_over_16ms']) for r in runs)} of "
                          f"{sum(int(r['scroll_frames']) for r in runs)}", flush=True)
        if len(users_list) == 2:
            small, big = sorted(users_list)
            for display in ("headless", "qt"):
                print(f"{display}: {small} users / {big} users throughput ratio "
                      f"{med(results[f'{display}-{small}'], 'lines_per_s') / med(results[f'{display}-{big}'], 'lines_per_s'):.2f}")
    if "probe" in only:
        path = traffic(a.lines, max(users_list))
        for display in ("headless", "qt"):
            args = ["--traffic", path, "--tools", TOOLS, "--probe", str(a.probe_rate)]
            runs = [run(program, args + (["--qt"] if display == "qt" else []), env)
                    for _ in range(a.runs)]
            results[f"probe-{display}"] = runs
            print(f"socket-to-scrollback beside the flood ({display}, {a.probe_rate} lines/s into a "
                  f"second channel): median {med(runs, 'probe_median_us'):.0f} us, p99 "
                  f"{med(runs, 'probe_p99_us'):.0f} us (median of {len(runs)}; load {loads(runs)})",
                  flush=True)
    if "input" in only:
        path = traffic(a.lines, max(users_list))
        runs = [run(program, ["--traffic", path, "--qt", "--input", str(a.flood_rate)], env)
                for _ in range(a.runs)]
        results["input"] = runs
        print(f"keys into another window during a {a.flood_rate:,} lines/s flood (reached "
              f"{med(runs, 'flood_lines_per_s'):,.0f} lines/s): median {med(runs, 'input_median_ms'):.2f} ms, "
              f"p99 {med(runs, 'input_p99_ms'):.2f} ms, worst {max(float(r['input_max_ms']) for r in runs):.2f} ms "
              f"(median of {len(runs)}; load {loads(runs)})", flush=True)
    if a.json:
        with open(a.json, "w") as f:
            json.dump(results, f, indent=1)


if __name__ == "__main__":
    main()
