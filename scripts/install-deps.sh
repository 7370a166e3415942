#!/usr/bin/env bash
# Installs the Debian packages a front-door command needs; does nothing when they are all present.
#   install-deps.sh run    build the program, the simulator and the catalogue, and run the demo
#   install-deps.sh test   all of that, and the tests, the Debian package with its checks, and the
#                          sanitizer and fuzzing builds
set -euo pipefail
# The build configures the tests too, so GoogleTest is needed even to build the program alone, and
# the toolkit's window-system interface (qt6-base-private-dev), through which the window tests
# queue input as a person gives it. mold links the programs in a fraction of GNU ld's time.
run=(cmake make g++ pkg-config ccache gettext librsvg2-bin libgtest-dev qt6-base-dev
  qt6-base-private-dev qt6-base-dev-tools libgl-dev libsimpleini-dev libudev-dev
  libxkbcommon-x11-0 libxcb-cursor0 libcli11-dev nlohmann-json3-dev libpaho-mqttpp-dev
  libpaho-mqtt-dev libcpp-httplib-dev libssl-dev mold)
# The demo on a virtual display, when asked for one.
[ -z "${VELTA_DEMO_XVFB:-}" ] || run+=(xvfb xauth)
# libclang-rt-dev holds libFuzzer and clang's sanitizer runtimes; clang only recommends it, and
# recommends are not installed here. dpkg-dev brings dpkg-shlibdeps, which the package needs.
# poppler-utils: the service report's test checks the PDF with pdfinfo and pdftotext.
test=(clang libclang-rt-dev dpkg-dev lintian desktop-file-utils appstream poppler-utils mosquitto prometheus
  xvfb xauth tmux)
case "${1:-}" in
  run) packages=("${run[@]}") ;;
  test) packages=("${run[@]}" "${test[@]}") ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
