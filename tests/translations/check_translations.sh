#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Fails when a text in the code has no translation: lupdate brings a copy of each translation
# file up to date with the code, and no message may be left unfinished or missing a form.
set -euo pipefail
lupdate=$1 source=$2
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for ts in "$@"; do
  copy=$work/$(basename "$ts")
  cp "$ts" "$copy"
  only=()
  [[ $ts == *_en.ts ]] && only=(-pluralonly)
  "$lupdate" -silent -no-obsolete -locations none "${only[@]}" "$source/src" -ts "$copy"
  if ! cmp -s "$ts" "$copy"; then
    echo "$(basename "$ts") is behind the code: build the update_translations target" >&2
    diff "$ts" "$copy" | head -40 >&2
    status=1
  fi
  if grep -q 'type="unfinished"' "$copy"; then
    echo "$(basename "$ts") has texts without a translation:" >&2
    grep -B2 'type="unfinished"' "$copy" | grep '<source>' | head -40 >&2
    status=1
  fi
done
exit $status
