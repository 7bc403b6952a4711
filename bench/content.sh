#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# bench/content.sh [BUILD_DIR] [WORK_DIR]: times comparing the contents of 20,000 pairs over
# 2 GB (made once under WORK_DIR, /tmp/twinsift-content by default) against cat reading the
# files of equal-sized pairs once, in walk order: page-cached, best of RUNS (3), and, as
# root, with the caches dropped before each run.
set -euo pipefail
build=${1:-build/release}
work=${2:-/tmp/twinsift-content}
runs=${RUNS:-3}
bench=$build/bench/bench_content
[ -f "$work/read.list" ] || "$bench" make "$work"
TIMEFORMAT=%R
floor() { { time xargs -0 cat <"$work/read.list" >/dev/null; } 2>&1; }
compare() { "$bench" run "$work" | sed -n 's/^compare: \([0-9.]*\) s.*/\1/p'; }
best() { sort -n | head -1; }

uptime
floor >/dev/null # into the page cache
echo "warm cat:     $(for _ in $(seq "$runs"); do floor; done | best) s"
echo "warm compare: $(for _ in $(seq "$runs"); do compare; done | best) s"
"$bench" run "$work"
# What a file costs: the growth of the peak from a tenth of the pairs to all of them, each
# in a process of its own, so that the readers' buffers and stacks count once.
peak() { "$bench" run "$work" 0 "$1" | sed -n 's/^files read: \([0-9]*\); peak[^:]*: \([0-9]*\) KiB.*/\1 \2/p'; }
read -r files kib < <(peak 0)
read -r tenth tenthKib < <(peak 2000)
echo "memory: $(( (kib - tenthKib) * 1024 / (files - tenth) )) bytes a file read, and $tenthKib KiB for the first $tenth"
if [ "$(id -u)" -eq 0 ]; then
    cold() { sync; echo 3 >/proc/sys/vm/drop_caches; "$@"; }
    echo "cold cat:     $(for _ in $(seq "$runs"); do cold floor; done | best) s"
    echo "cold compare: $(for _ in $(seq "$runs"); do cold compare; done | best) s"
else
    echo "cold caches: not measured (dropping them needs root)"
fi
uptime
