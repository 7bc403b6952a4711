#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Times `twinsift-cli list` against `find -printf` on a generated tree of 200,000 files
# (2,000 folders of 100 files). Usage: bench/walk.sh [BUILD_DIR] [TREE_DIR]
set -euo pipefail
build=${1:-build/release}
tree=${2:-/tmp/twinsift-bench-tree}
if [ ! -d "$tree" ]; then
  python3 - "$tree" <<'PY'
import os, random, sys
random.seed(1)
root = sys.argv[1]
words = "holiday beach report summer winter family budget invoice letter party wedding".split()
exts = [".jpg", ".mp3", ".pdf", ".txt", ".docx", ".png"]
for d in range(400):
    for s in range(5):
        p = os.path.join(root, f"dir{d:03d}", f"sub{s}")
        os.makedirs(p, exist_ok=True)
        for f in range(100):
            name = f"{random.choice(words)} {random.choice(words)} {f}{random.choice(exts)}"
            with open(os.path.join(p, name), "wb") as fh:
                fh.write(b"x" * random.randint(0, 3000))
PY
fi
best() { # best of five wall-clock seconds
  local best=999
  for _ in 1 2 3 4 5; do
    local t0 t1
    t0=$(date +%s.%N); "$@" > /dev/null; t1=$(date +%s.%N)
    best=$(python3 -c "print(min($best, $t1 - $t0))")
  done
  echo "$best"
}
find_s=$(best find "$tree" -type f -printf '%s %p\n')
cli_s=$(best "$build/src/twinsift-cli" list "$tree")
echo "files: $(find "$tree" -type f | wc -l)"
echo "find -printf: ${find_s} s"
echo "twinsift-cli list: ${cli_s} s"
python3 -c "print(f'ratio: {$cli_s / $find_s:.2f}')"
