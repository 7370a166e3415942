#!/usr/bin/env bash
# The two front-door commands timed as a new user meets them: the repository cloned to a temporary
# folder, an empty compiler cache, then
#   make run    until the demo's window shows the controller's first Main page
#               (VELTA_SMOKE_TEST=main-page makes the program quit there), and
#   make test   to its end,
# each with its wall time, its user and system CPU seconds (less sensitive to other programs'
# load than the wall time) and the machine's load before and after. The goals on a quiet
# two-core machine with the packages present: a live window within 60 s, the suite within 5 min.
#   bench/front-door.sh [REPOSITORY [COMMIT]]   (default: the repository holding this script, and
#                                               the commit checked out there)
# FRONT_DOOR_KEEP=1 keeps the clone; FRONT_DOOR_CCACHE=shared uses the user's compiler cache.
set -euo pipefail
repository=${1:-$(git -C "$(dirname "$0")" rev-parse --show-toplevel)}
commit=${2:-$(git -C "$repository" rev-parse HEAD)}
scratch=$(mktemp -d)
# Run as root, the tests that check refusals drop to an unprivileged user, who must still read the
# clone's catalogue.
chmod 755 "$scratch"
[ -n "${FRONT_DOOR_KEEP:-}" ] || trap 'rm -rf "$scratch"' EXIT
[ "${FRONT_DOOR_CCACHE:-}" = shared ] || export CCACHE_DIR="$scratch/ccache"
# Without a desktop session the demo runs on a virtual display.
[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] || export VELTA_DEMO_XVFB=1

load() { cut -d' ' -f1-3 /proc/loadavg; }

# timed LABEL COMMAND...: runs COMMAND in the clone, stamps the lines that mark its stages with the
# seconds since the start and prints the totals; the full output is kept in the scratch folder.
timed() {
  local label=$1
  shift
  local log="$scratch/$label.log" times="$scratch/$label.time" start status=0
  echo "== $label (load before: $(load))"
  start=$(date +%s.%N)
  (cd "$scratch/clone" && /usr/bin/time -f '%e %U %S' -o "$times" "$@") 2>&1 |
    while IFS= read -r line; do
      printf '%s\n' "$line" >>"$log"
      case "$line" in
        "Simulator listening"* | "first Main page shown" | "Test project"* | *"tests passed"*)
          printf '%7.1f s  %s\n' "$(awk -v s="$start" -v n="$(date +%s.%N)" 'BEGIN { print n - s }')" \
            "$line" ;;
      esac
    done || status=$?
  # time puts a line about a failed command's status before the figures.
  read -r wall user sys < <(tail -n 1 "$times")
  printf '%s: %s s wall, %s s user, %s s system; load after: %s\n' "$label" "$wall" "$user" "$sys" "$(load)"
  if [ "$status" -ne 0 ] || grep -q '^Command exited with non-zero status' "$times"; then
    echo "$label failed; its output: $log" >&2
    return 1
  fi
}

echo "front door of $repository at ${commit:0:12} on $(nproc) cores, $(date -u '+%F %T') UTC"
uptime
git clone -q --no-checkout "$repository" "$scratch/clone"
git -C "$scratch/clone" checkout -q "$commit"
VELTA_SMOKE_TEST=main-page timed make-run timeout 900 make run
grep -q '^first Main page shown$' "$scratch/make-run.log" || {
  echo "the demo ended without showing a Main page" >&2
  exit 1
}
timed make-test make test
uptime
