#!/usr/bin/env bash
# The Debian package as a user gets it: builds it from the build folder, checks its fields and
# layout, validates its desktop entry, metainfo and the package itself (lintian errors fail), then
# unpacks it into a scratch root and starts the unpacked program offscreen far enough to show its
# window, with its icon and its catalogue found from its own location.
# Usage: check-package.sh BUILD_DIR APP_ID CPACK. Exit 77 (skipped) only when packaging tools are
# missing.
set -euo pipefail
build=$1
app_id=$2
cpack=$3

missing=()
for tool in "$cpack" dpkg-deb dpkg-shlibdeps lintian desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || missing+=("$tool")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "SKIPPED: packaging tools missing: ${missing[*]} (bash scripts/install-deps.sh test)"
  exit 77
fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}

if ! "$cpack" --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/out" >"$scratch/cpack.log" 2>&1; then
  cat "$scratch/cpack.log"
  echo "FAILED: cpack could not build the package"
  exit 1
fi
deb=$(echo "$scratch"/out/*.deb)
echo "package: $(basename "$deb")"

# Fields: the version agrees with the release history and metainfo; dependencies come from the
# binaries' libraries.
version=$(dpkg-deb -f "$deb" Version)
[ "$(dpkg-deb -f "$deb" Package)" = velta-control ] || fail "package name"
depends=$(dpkg-deb -f "$deb" Depends)
depended=$(tr ',' '\n' <<<"$depends" | awk '{print $1}')
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6; do
  grep -qxF "$library" <<<"$depended" || fail "Depends lacks $library: $depends"
done

root="$scratch/root"
dpkg-deb -x "$deb" "$root"
share="$root/usr/share"
for file in usr/bin/velta-control usr/bin/velta-sim usr/bin/velta-cli usr/bin/velta-bridge \
  usr/lib/systemd/system/velta-bridge@.service usr/share/man/man1/velta-bridge.1.gz \
  usr/share/doc/velta-control/examples/velta-bridge.conf \
  usr/share/velta-control/locale/en/LC_MESSAGES/default.mo \
  "usr/share/applications/$app_id.desktop" "usr/share/metainfo/$app_id.metainfo.xml" \
  "usr/share/icons/hicolor/scalable/apps/$app_id.svg" \
  usr/share/man/man1/velta-control.1.gz usr/share/man/man1/velta-sim.1.gz usr/share/man/man1/velta-cli.1.gz \
  usr/share/doc/velta-control/copyright usr/share/doc/velta-control/changelog.gz \
  usr/share/velta-control/udev/70-velta-control.rules; do
  [ -f "$root/$file" ] || fail "missing $file"
done
# The text domain "default" stays out of the system-wide locale folder.
[ ! -e "$share/locale" ] || fail "files in /usr/share/locale"
[ ! -e "$root/usr/bin/locale" ] || fail "a catalogue beside the program"
for size in 48 128 256; do
  png="$share/icons/hicolor/${size}x$size/apps/$app_id.png"
  # A PNG's width and height are the big-endian words at bytes 16 and 20.
  read -r width height < <(od -An -tu1 -j16 -N8 "$png" 2>/dev/null |
    awk '{print $3*256+$4, $7*256+$8}') || true
  [ "${width:-}x${height:-}" = "${size}x$size" ] || fail "$png is ${width:-?}x${height:-?}"
done
# Software centres find a package by the commands it provides: every program in usr/bin.
for program in "$root"/usr/bin/*; do
  grep -qF "<binary>$(basename "$program")</binary>" "$share/metainfo/$app_id.metainfo.xml" ||
    fail "metainfo does not provide $(basename "$program")"
done
grep -q "<release version=\"$version\"" "$share/metainfo/$app_id.metainfo.xml" ||
  fail "metainfo names no release $version"
zcat "$share/doc/velta-control/changelog.gz" | head -1 | grep -qF "velta-control ($version)" ||
  fail "changelog does not start with $version"

desktop-file-validate "$share/applications/$app_id.desktop" || fail "desktop-file-validate"
grep -qx "Icon=$app_id" "$share/applications/$app_id.desktop" || fail "desktop entry icon"
appstreamcli validate --no-net "$share/metainfo/$app_id.metainfo.xml" || fail "appstreamcli validate"
lintian --fail-on error "$deb" || fail "lintian reports errors"

# The unpacked program, on its own catalogue and with settings of its own.
start() {
  VELTA_SMOKE_TEST=1 QT_QPA_PLATFORM=offscreen VELTA_CONFIG_DIR="$scratch/config" \
    timeout 60 "$root/usr/bin/velta-control" 2>"$scratch/stderr" || {
    cat "$scratch/stderr"
    echo "velta-control failed"
  }
}
expected="title: VEL Control V$version
catalogue: Status inquiry
desktop file: $app_id
icon sizes: 48 128 256
cut texts: none"
report=$(start)
echo "$report"
[ "$report" = "$expected" ] || fail "the unpacked program did not report: $expected"
# Without the unpacked catalogue the texts stay German: the one found was the package's.
rm -r "$share/velta-control/locale"
grep -qx "catalogue: Statusabfrage" <<<"$(start)" || fail "the catalogue came from elsewhere"

# Whole output first: grep -q would stop reading early, and under pipefail the writer's SIGPIPE
# would count as a failure.
sim_help=$("$root/usr/bin/velta-sim" --help) || fail "velta-sim --help exits non-zero"
grep -q "^Usage: velta-sim" <<<"$sim_help" || fail "velta-sim --help"
cli_version=$("$root/usr/bin/velta-cli" --version) || fail "velta-cli --version exits non-zero"
[ "$cli_version" = "velta-cli $version" ] || fail "velta-cli --version says: $cli_version"

bridge_help=$("$root/usr/bin/velta-bridge" --help) || fail "velta-bridge --help exits non-zero"
grep -q "^Usage: velta-bridge" <<<"$bridge_help" || fail "velta-bridge --help"
# The service unit as systemd reads it, against the unpacked program.
unit="$root/usr/lib/systemd/system/velta-bridge@.service"
sed "s|ExecStart=/usr/bin/velta-bridge|ExecStart=$root/usr/bin/velta-bridge|" "$unit" >"$scratch/velta-bridge@site.service"
if command -v systemd-analyze >/dev/null; then
  systemd-analyze verify --man=no "$scratch/velta-bridge@site.service" || fail "systemd-analyze verify velta-bridge@.service"
fi

[ "$failures" -eq 0 ] || exit 1
echo "package checks passed"
