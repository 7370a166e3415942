#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and `make run` need; does nothing when they are
# all present already.
set -euo pipefail
# libclang-rt-dev holds libFuzzer and clang's sanitizer runtimes; clang only recommends it, and
# recommends are not installed here.
packages=(cmake make g++ clang libclang-rt-dev pkg-config ccache gettext libgtest-dev qt6-base-dev
  qt6-base-dev-tools libgl-dev libsimpleini-dev xvfb xauth libxkbcommon-x11-0 libxcb-cursor0)
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
