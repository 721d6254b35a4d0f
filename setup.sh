#!/usr/bin/env bash
# Installs what is missing on a Debian 12 machine, builds, then
#   ./setup.sh run       starts the player on the bundled sample bank
#   ./setup.sh test      runs every test
#   ./setup.sh sanitize  runs every test built with ASan and UBSan
#   ./setup.sh bench     runs the benchmarks
#   ./setup.sh install   makes the desktop open .zxb and .zxr files with
#                        the player (for this user)
#   ./setup.sh package   builds the Debian package zxexam_<version>_amd64.deb
#                        and checks it with lintian
#   ./setup.sh fuzz [SECONDS]
#                        builds the fuzz targets (clang, ASan, UBSan) and
#                        runs each for SECONDS (default 60); fails when one
#                        finds a problem
set -euo pipefail
cd "$(dirname "$0")"
mode="${1:-run}"

packages=(
  g++ cmake ninja-build pkg-config python3
  libgtest-dev libgmock-dev googletest libbenchmark-dev libjpeg-dev
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev libgl-dev
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad
  gstreamer1.0-alsa gstreamer1.0-libav
  qt6-speech-dev qt6-declarative-dev qt6-speech-speechd-plugin speech-dispatcher speech-dispatcher-espeak-ng
  espeak-ng fonts-liberation2 fonts-dejavu-core time poppler-utils libxml2-dev libzip-dev
  desktop-file-utils shared-mime-info xdg-utils libxcb1-dev
  scdoc dpkg-dev file appstream
  chromium
)
if [ "$mode" = fuzz ]; then
  packages+=(clang libclang-rt-14-dev llvm)
fi
if [ "$mode" = package ]; then
  packages+=(lintian)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

jobs=$(nproc 2>/dev/null || echo 2)
build() { # build folder, extra cmake options
  local dir="$1"; shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j"$jobs"
}

case "$mode" in
  run)
    build build
    if [ -x build/zxexam ]; then
      exec build/zxexam openShellCall "$PWD/build/examples/sample.zxb"
    fi
    exec build/zxbank info build/examples/sample.zxb
    ;;
  test)
    build build
    QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j"$jobs"
    ;;
  sanitize)
    # -O1 and line tables only: what the sanitizers need, at half the
    # compile time of an optimised build with full debug information.
    build build-sanitize -DZX_SANITIZE=ON -DZX_BUILD_BENCH=OFF \
      -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1"
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 QT_QPA_PLATFORM=offscreen \
      ctest --test-dir build-sanitize --output-on-failure -j"$jobs"
    ;;
  bench)
    build build
    build/zxbench
    QT_QPA_PLATFORM=offscreen build/zxbench_gui
    ;;
  install)
    build build
    data="${XDG_DATA_HOME:-$HOME/.local/share}"
    mkdir -p "$data/mime/packages" "$data/applications" "$data/icons/hicolor/scalable/apps"
    cp app/desktop/zxexam-mime.xml "$data/mime/packages/zxexam.xml"
    tools/desktop_entry.sh app/desktop/zxexam.desktop.in "$PWD/build/zxexam" > "$data/applications/zxexam.desktop"
    cp app/desktop/zxexam.svg "$data/icons/hicolor/scalable/apps/zxexam.svg"
    update-mime-database "$data/mime"
    update-desktop-database "$data/applications"
    xdg-mime default zxexam.desktop application/x-zxexam-bank application/x-zxexam-results
    echo "Banks (.zxb) and results (.zxr) now open in $PWD/build/zxexam"
    ;;
  package)
    # The package is made from the normal build folder; CPack installs
    # into a staging folder, strips the programs and asks dpkg-shlibdeps
    # for the libraries' packages.
    build build
    rm -f build/zxexam_*.deb
    (cd build && cpack -G DEB --config CPackConfig.cmake >/dev/null)
    deb="$(ls build/zxexam_*_amd64.deb)"
    echo "Built $deb"
    # Errors fail the build; warnings and notes are listed.
    lintian --fail-on error --info "$deb"
    ;;
  fuzz)
    # Only the core and the targets: the player, the tests and the
    # benchmarks are not built here.
    cmake -S . -B build-fuzz -G Ninja -DZX_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ \
      -DZX_BUILD_GUI=OFF -DZX_BUILD_TESTS=OFF -DZX_BUILD_BENCH=OFF >/dev/null
    cmake --build build-fuzz -j"$jobs" --target fuzz_targets zxbank
    tests/fuzz/make_corpora.sh build-fuzz
    tests/fuzz/run_all.sh build-fuzz "${2:-60}"
    ;;
  *)
    echo "usage: $0 run|test|sanitize|bench|install|package|fuzz [SECONDS]" >&2
    exit 2
    ;;
esac
