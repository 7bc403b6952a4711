#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Fails, naming the files, when a C++ file of the repository differs from what clang-format
# makes of it under the repository's .clang-format.
set -euo pipefail
cd "$1"
bad=()
while IFS= read -r -d '' f; do
  if ! clang-format --dry-run -Werror --style=file "$f" >/dev/null 2>&1; then bad+=("$f"); fi
done < <(git ls-files -z -- '*.cpp' '*.h' 2>/dev/null || find src tests bench fuzz -name '*.cpp' -print0 -o -name '*.h' -print0)
if ((${#bad[@]})); then
  printf 'not formatted (run clang-format -i on them):\n' >&2
  printf '  %s\n' "${bad[@]}" >&2
  exit 1
fi
