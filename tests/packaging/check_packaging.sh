#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs into a scratch prefix, validates the launcher and the metainfo, builds the Debian
# package, has lintian check it, and runs the command line from the unpacked package.
set -euo pipefail
source_dir=$1
build_dir=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build_dir" --prefix "$scratch/prefix" > /dev/null
for f in bin/twinsift bin/twinsift-cli \
         share/applications/org.example.Twinsift.desktop \
         share/metainfo/org.example.Twinsift.metainfo.xml \
         share/icons/hicolor/scalable/apps/org.example.Twinsift.svg \
         share/icons/hicolor/42x42/apps/org.example.Twinsift.png \
         share/man/man1/twinsift-cli.1.gz share/man/man1/twinsift.1.gz \
         share/doc/twinsift/copyright share/doc/twinsift/changelog.gz; do
  [ -e "$scratch/prefix/$f" ] || fail "install lacks $f"
done
[ -x "$scratch/prefix/bin/twinsift-cli" ] || fail "twinsift-cli is not executable"

desktop-file-validate "$source_dir/data/org.example.Twinsift.desktop" || fail "launcher"
appstreamcli validate --no-net --pedantic "$source_dir/data/org.example.Twinsift.metainfo.xml" \
  || fail "metainfo"
for page in twinsift-cli.1 twinsift.1; do
  man --warnings -l -Tutf8 "$source_dir/docs/$page" > /dev/null 2> "$scratch/man.err" || true
  [ ! -s "$scratch/man.err" ] || { cat "$scratch/man.err"; fail "manual page warnings in $page"; }
done

(cd "$build_dir" && cpack -G DEB -B "$scratch/deb" > "$scratch/cpack.log") \
  || { cat "$scratch/cpack.log"; fail "cpack"; }
deb=$(ls "$scratch"/deb/twinsift_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6core6 libqt6widgets6 libqt6multimedia6; do
  grep -q "$lib" <<< "$depends" || fail "Depends lacks $lib: $depends"
done
[ "$(dpkg-deb -f "$deb" Package)" = twinsift ] || fail "package name"
contents=$(dpkg-deb -c "$deb")
for f in ./usr/bin/twinsift ./usr/bin/twinsift-cli ./usr/share/applications/org.example.Twinsift.desktop; do
  grep -q " $f\$" <<< "$contents" || fail "package lacks $f"
done

# Errors and warnings fail; informational tags do not. The package is stripped whatever the
# build, so a sanitizer build is checked as strictly as a release.
if command -v lintian > /dev/null; then
  lintian --fail-on error,warning "$deb" > "$scratch/lintian.log" 2>&1 \
    || { cat "$scratch/lintian.log"; fail "lintian"; }
else
  echo "lintian is not installed: the package is not checked by it (scripts/bootstrap installs it)"
fi

dpkg-deb -x "$deb" "$scratch/root"
"$scratch/root/usr/bin/twinsift-cli" --help | grep -q '^Usage:' || fail "unpacked twinsift-cli --help"
echo "packaging: 1 passed, 0 failed"
