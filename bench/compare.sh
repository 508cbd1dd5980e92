#!/usr/bin/env bash
# Velmor beside the reference terminal client irssi on the same replayed files in the same run:
# medians of each, then one table of ratios (throughput and peak RSS) against the targets.
#   bench/compare.sh [--runs 3] [--lines 1000000] [--build build] [--all]
# --all also runs the latency benchmarks (probe lines beside the flood, keys in another window).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
runs=3 lines=1000000 build="$root/build" only=replay
while [ $# -gt 0 ]; do
    case "$1" in
    --runs) runs=$2; shift ;;
    --lines) lines=$2; shift ;;
    --build) build=$2; shift ;;
    --all) only=replay,probe,input ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
    esac
    shift
done

"$root/scripts/deps" bench
flock /tmp/velmor-build.lock cmake --build "$build" -j2 --target app_bench >/dev/null

results=$(mktemp /tmp/velmor-compare-XXXXXX.json)
trap 'rm -f "$results"' EXIT
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
echo "start: $(uptime)"
"$here/app/app_bench.py" --runs "$runs" --lines "$lines" --build "$build" --irssi \
    --only "$only" --json "$results"
echo "end: $(uptime)"

python3 - "$results" <<'PY'
import json, statistics, sys
r = json.load(open(sys.argv[1]))
med = lambda runs, key: statistics.median(float(x[key]) for x in runs)
rows = []
for users in sorted({int(k.split("-")[1]) for k in r if k.startswith("irssi-")}, reverse=True):
    i, h, q = r[f"irssi-{users}"], r[f"headless-{users}"], r[f"qt-{users}"]
    rows += [(f"{users} users, headless: throughput", med(h, "lines_per_s") / med(i, "lines_per_s"), ">= 20"),
             (f"{users} users, Qt shown (GUI applied): throughput",
              med(q, "gui_lines_per_s") / med(i, "lines_per_s"), ">= 5"),
             (f"{users} users, headless: peak RSS", med(h, "peak_rss_mb") / med(i, "peak_rss_mb"), "<= 0.5"),
             (f"{users} users, Qt shown: peak RSS", med(q, "peak_rss_mb") / med(i, "peak_rss_mb"), "<= 0.5")]
print()
print(f"{'Velmor / irssi (medians, same run)':52} {'ratio':>8}  target")
for name, ratio, target in rows:
    print(f"{name:52} {ratio:8.2f}  {target}")
PY
