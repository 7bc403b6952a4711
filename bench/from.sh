#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Times `twinsift-cli dups --from` on generated listings of realistic names (1,000,000 and
# 5,000,000 by default), rows to /dev/null (or to the file OUT): best of RUNS wall-clock and
# CPU (user + system) seconds, the rows, and the peak memory beyond the listing, per name. A
# listing of real paths can be given instead of a size.
# Usage: bench/from.sh [BUILD_DIR] [N... | FILE]   (RUNS=5, FORMAT=tsv, OUT=/dev/null)
set -euo pipefail
build=${1:-build/release}
shift || true
cli=$build/src/twinsift-cli
runs=${RUNS:-5}
format=${FORMAT:-tsv}
out=${OUT:-/dev/null}
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1000000 5000000)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

measure() { # the maximum resident set of a run in KiB, and its CPU seconds
  /usr/bin/time -f '%M %U %S' -o "$scratch/time" "$@" > "$out"
  awk '{ print $1, $2 + $3 }' "$scratch/time"
}

printf '# load: %s\n' "$(cut -d' ' -f1-3 /proc/loadavg)"
printf '%10s %12s %8s %8s %12s %10s %14s\n' names rows best_s cpu_s listing_MB peak_MB beyond_B/name
: > "$scratch/empty"
read -r base _ < <(measure "$cli" dups --keywords /dev/null --from "$scratch/empty" 2> /dev/null)
for size in "${sizes[@]}"; do
  if [ -f "$size" ]; then
    listing=$size
  else
    listing=$scratch/listing
    "$build/bench/bench_listing" "$size" > "$listing"
  fi
  names=$(wc -l < "$listing")
  args=(dups --keywords /dev/null --format "$format" --from "$listing")
  rows=$("$cli" "${args[@]}" 2> /dev/null | wc -l)
  best=999999
  cpu=999999
  peak=0
  for _ in $(seq "$runs"); do
    t0=$(date +%s.%N)
    read -r kib seconds < <(measure "$cli" "${args[@]}")
    t1=$(date +%s.%N)
    best=$(python3 -c "print(min($best, $t1 - $t0))")
    cpu=$(python3 -c "print(min($cpu, $seconds))")
    peak=$((kib > peak ? kib : peak))
  done
  bytes=$(stat -c %s "$listing")
  python3 - "$names" "$((rows - 1))" "$best" "$cpu" "$bytes" "$peak" "$base" <<'PY'
import sys
names, rows, best, cpu, size, peak, base = sys.argv[1:]
names, rows, size, peak, base = int(names), int(rows), int(size), int(peak), int(base)
beyond = (peak - base) * 1024 - size
print(f"{names:10d} {rows:12d} {float(best):8.2f} {float(cpu):8.2f} {size / 1e6:12.1f} {peak / 1024:10.1f} "
      f"{beyond / names:14.0f}")
PY
done
