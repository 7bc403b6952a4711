#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Times `twinsift-cli list` and `dups` against `find -printf` on trees of real file names:
# the paths of the files under /usr, mirrored (as empty sparse files of the same size) until
# the tree holds the wanted count, in copies usr0/, usr1/, ... when /usr holds fewer. The dups
# tree uses a name at most three times, so that its rows stay near what a real tree gives.
# Usage: bench/walk.sh [BUILD_DIR] [WORK_DIR]
#   LIST_FILES (200000) and DUPS_FILES (100000) set the trees' sizes; RUNS (5) the runs.
#   DELAY_US, when set, also times a walk through bench/slowfs.c, which sleeps that many
#   microseconds in every folder open and read, as on a network share.
#   BASELINE, when set, names another twinsift-cli to time beside this one (an older build).
#   DEPTHS, when set (say "5000 10000 20000"), also times chains of that many folders, a file
#   in each, with the peak memory of each program.
set -euo pipefail
build=${1:-build/release}
work=${2:-/tmp/twinsift-bench}
cli=$build/src/twinsift-cli
runs=${RUNS:-5}
mkdir -p "$work"

tree() { # tree DIR COUNT [CAP]: built once; CAP bounds how often one name is used
  [ -d "$1" ] && return
  python3 - "$1" "$2" "${3:-0}" <<'PY'
import collections, os, sys
root, count, cap = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
paths = []
used = collections.Counter()
for top, dirs, files in os.walk("/usr"):
    dirs.sort()
    for f in sorted(files):
        p = os.path.join(top, f)
        if os.path.isfile(p) and not os.path.islink(p) and (cap == 0 or used[f] < cap):
            used[f] += 1
            paths.append((os.path.relpath(p, "/usr"), os.path.getsize(p)))
made = 0
copy = 0
while made < count:
    for rel, size in paths:
        if made == count:
            break
        p = os.path.join(root, f"usr{copy}", rel)
        os.makedirs(os.path.dirname(p), exist_ok=True)
        with open(p, "wb") as fh:
            fh.truncate(size)
        made += 1
    copy += 1
PY
}

best() { # best of $runs wall-clock seconds; the output goes to $work/out
  local best=999 t0 t1
  for _ in $(seq "$runs"); do
    t0=$(date +%s.%N); "$@" > "$work/out"; t1=$(date +%s.%N)
    best=$(python3 -c "print(round(min($best, $t1 - $t0), 3))")
  done
  echo "$best"
}

compare() { # compare LABEL TREE ARGS...: find, then the program(s) with ARGS
  local label=$1 dir=$2; shift 2
  local find_s cli_s line
  find_s=$(best env ${PRELOAD:+LD_PRELOAD=$PRELOAD} find "$dir" -type f -printf '%s %p\n')
  cli_s=$(best env ${PRELOAD:+LD_PRELOAD=$PRELOAD} "$cli" "$@")
  line="$label: $(wc -l < "$work/out") lines; find ${find_s} s, twinsift-cli ${cli_s} s"
  line+=" ($(python3 -c "print(f'{$cli_s / $find_s:.2f}')") x find)"
  if [ -n "${BASELINE:-}" ]; then
    cli_s=$(best env ${PRELOAD:+LD_PRELOAD=$PRELOAD} "$BASELINE" "$@")
    line+=", baseline ${cli_s} s ($(python3 -c "print(f'{$cli_s / $find_s:.2f}')") x find)"
  fi
  echo "$line"
}

echo "load: $(uptime | sed 's/.*load average: //')"
tree "$work/list" "${LIST_FILES:-200000}"
tree "$work/dups" "${DUPS_FILES:-100000}" 3
find "$work" -type f -printf x >/dev/null # warm the cache
compare "list $(find "$work/list" -type f | wc -l) files" "$work/list" list "$work/list"
compare "dups $(find "$work/dups" -type f | wc -l) files" "$work/dups" dups "$work/dups"

chain() { # chain DIR LEVELS: one folder in the next, a file in each; built once
  [ -d "$1" ] && return
  python3 - "$1" "$2" <<'PY'
import os, sys
os.makedirs(sys.argv[1])
fd = os.open(sys.argv[1], os.O_RDONLY)
for level in range(int(sys.argv[2])):
    os.close(os.open("f.txt", os.O_CREAT | os.O_WRONLY, 0o644, dir_fd=fd))
    os.mkdir("d", dir_fd=fd)
    fd, old = os.open("d", os.O_RDONLY, dir_fd=fd), fd
    os.close(old)
PY
}

peak() { # peak resident memory in MB of one run
  /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1 | python3 -c "print(round(int(input()) / 1024, 1))"
}

for levels in ${DEPTHS:-}; do
  chain "$work/chain$levels" "$levels"
  line=$(compare "list, $levels levels" "$work/chain$levels" list "$work/chain$levels")
  echo "$line; peak find $(peak find "$work/chain$levels" -type f -printf '%s %p\n') MB," \
    "twinsift-cli $(peak "$cli" list "$work/chain$levels") MB"
done

if [ -n "${DELAY_US:-}" ]; then
  export SLOWFS_DELAY_US=$DELAY_US
  cc -O2 -shared -fPIC -o "$work/slowfs.so" "$(dirname "$0")/slowfs.c" -ldl
  tree "$work/slow" "${SLOW_FILES:-5000}"
  PRELOAD=$work/slowfs.so
  compare "list $(find "$work/slow" -type f | wc -l) files, ${DELAY_US} us a folder call" \
    "$work/slow" list "$work/slow"
  PRELOAD=
fi
echo "load: $(uptime | sed 's/.*load average: //')"
