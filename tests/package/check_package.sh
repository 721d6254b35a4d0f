#!/usr/bin/env bash
# The installed layout and the Debian package, checked from a built build
# folder: a staged install leaves this machine's desktop databases alone
# while a live one updates them; the package holds exactly the expected
# files, its programs run from the unpacked tree, and its control data
# names the libraries, the GStreamer plugins and the voice.
#   tests/package/check_package.sh BUILD_DIR VERSION
set -euo pipefail
build="$(cd "$1" && pwd)"
version="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# ---- install: the desktop databases only for a live install
mkdir -p "$work/fakebin"
for tool in update-mime-database update-desktop-database; do
  printf '#!/bin/sh\necho "%s $*" >> "%s/updates.log"\n' "$tool" "$work" > "$work/fakebin/$tool"
  chmod +x "$work/fakebin/$tool"
done
: > "$work/updates.log"
PATH="$work/fakebin:$PATH" DESTDIR="$work/stage" cmake --install "$build" --prefix /usr > /dev/null
[ -s "$work/updates.log" ] && fail "a staged install ran: $(cat "$work/updates.log")"
[ -x "$work/stage/usr/lib/zxexam/zxexam" ] || fail "a staged install has no player"
[ -e "$work/stage/usr/share/mime/mime.cache" ] && fail "a staged install wrote a MIME cache"
PATH="$work/fakebin:$PATH" cmake --install "$build" --prefix "$work/live" > /dev/null
grep -qx "update-mime-database $work/live/share/mime" "$work/updates.log" \
  || fail "a live install did not update its MIME database: $(cat "$work/updates.log")"
grep -qx "update-desktop-database $work/live/share/applications" "$work/updates.log" \
  || fail "a live install did not update its desktop database"

# ---- the package
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" > "$work/cpack.log" 2>&1 \
  || { cat "$work/cpack.log" >&2; fail "cpack failed"; exit 1; }
deb="$work/out/zxexam_${version}_amd64.deb"
[ -f "$deb" ] || { ls "$work/out" >&2; fail "no $deb"; exit 1; }
root="$work/root"
dpkg-deb -x "$deb" "$root"

expected=(
  usr/bin/zxbank usr/bin/zxexam usr/bin/zxresults
  usr/lib/zxexam/zxexam usr/lib/zxexam/zxresults
  "usr/lib/zxexam/ExLang/English (UK).zxc" usr/lib/zxexam/ExLang/German.zxc
  usr/share/applications/zxexam.desktop
  usr/share/doc/zxexam/changelog.gz usr/share/doc/zxexam/copyright
  usr/share/icons/hicolor/scalable/apps/zxexam.svg
  usr/share/man/man1/zxbank.1.gz usr/share/man/man1/zxexam.1.gz usr/share/man/man1/zxresults.1.gz
  usr/share/metainfo/io.github.zxexam.zxexam.metainfo.xml
  usr/share/mime/packages/zxexam.xml
  usr/share/zxexam/examples/sample.zxb
)
for f in "${expected[@]}"; do
  [ -e "$root/$f" ] || fail "the package lacks $f"
done
# Nothing else but the spoken messages.
while IFS= read -r f; do
  f="${f#./}"
  case "$f" in usr/lib/zxexam/ExSounds/*.wav) continue ;; esac
  printf '%s\n' "${expected[@]}" | grep -qxF "$f" || fail "the package holds an unexpected $f"
done < <(cd "$root" && find . \( -type f -o -type l \) | sort)
[ -n "$(ls "$root/usr/lib/zxexam/ExSounds/" 2>/dev/null)" ] || fail "the package has no spoken messages"
for link in zxexam zxresults; do
  [ "$(readlink "$root/usr/bin/$link")" = "../lib/zxexam/$link" ] || fail "usr/bin/$link is no relative link"
done

# The programs run from the unpacked tree.
[ "$("$root/usr/bin/zxbank" --version)" = "zxbank $version" ] || fail "zxbank --version"
[ "$("$root/usr/bin/zxexam" --version)" = "zxexam $version" ] || fail "zxexam --version"
"$root/usr/bin/zxresults" --help > "$work/help.txt" || fail "zxresults --help failed"
grep -q "zxresults verify" "$work/help.txt" || fail "zxresults --help shows no usage"
QT_QPA_PLATFORM=offscreen "$root/usr/bin/zxexam" --render-pages "$work/pages" \
  "$root/usr/share/zxexam/examples/sample.zxb" > /dev/null || fail "zxexam --render-pages on the sample bank"
ls "$work/pages"/q*.png > /dev/null 2>&1 || fail "no question page was rendered"
"$root/usr/bin/zxresults" report "$work/none.zxr" > /dev/null 2>&1 && fail "zxresults report of a missing file succeeded"

# Control data: version, computed library dependencies, plugins, voice.
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version"
depends="$(dpkg-deb -f "$deb" Depends)"
for wanted in libqt6widgets6 libqt6multimedia6 libc6 gstreamer1.0-plugins-good gstreamer1.0-plugins-bad gstreamer1.0-libav; do
  [[ "$depends" == *"$wanted"* ]] || fail "Depends lacks $wanted: $depends"
done
[[ "$(dpkg-deb -f "$deb" Recommends)" == *speech-dispatcher* ]] || fail "speech-dispatcher is not recommended"
dpkg-deb -I "$deb" | grep -qE '^ *(pre|post)(inst|rm) ' && fail "the package has maintainer scripts"
grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/io.github.zxexam.zxexam.metainfo.xml" \
  || fail "the metainfo names another version"
zcat "$root/usr/share/doc/zxexam/changelog.gz" | head -1 | grep -qF "zxexam ($version)" || fail "changelog version"

# The desktop's own checkers, where installed.
if command -v desktop-file-validate > /dev/null; then
  desktop-file-validate "$root/usr/share/applications/zxexam.desktop" || fail "desktop-file-validate"
fi
if command -v appstreamcli > /dev/null; then
  appstreamcli validate --no-net "$root/usr/share/metainfo/io.github.zxexam.zxexam.metainfo.xml" > "$work/as.log" 2>&1 \
    || { cat "$work/as.log" >&2; fail "appstreamcli validate"; }
fi
if command -v man > /dev/null; then
  for page in zxexam zxbank zxresults; do
    warnings="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$root/usr/share/man/man1/$page.1.gz" 2>&1 > /dev/null)"
    [ -z "$warnings" ] || fail "man $page: $warnings"
  done
fi

[ "$failures" -eq 0 ] || exit 1
echo "package $(basename "$deb"): $(cd "$root" && find . -type f | wc -l) files, all checks passed"
