#!/usr/bin/env bash
# `make run`: starts the controller simulator on 127.0.0.1:10001 and VELTA Control connected to it.
# The demo keeps its settings in a folder of its own (<build>/demo-config) and its history of
# controller blocks in another (<build>/demo-data), so the user's own are never touched. Delete
# those folders to start the demo afresh.
set -euo pipefail
build=${1:-build}
bin="$build/bin"
address=127.0.0.1:10001

bash "$(dirname "$0")/check-display.sh"

config="$build/demo-config"
data="$(cd "$build" && pwd)/demo-data"
store="$config/Korvelt/VELTA.conf"
if [ ! -f "$store" ]; then
  # TCP to the simulator, Polling on at start, clear-errors (0x01) and write-enable (0x08) shown.
  mkdir -p "$(dirname "$store")"
  cat > "$store" <<'SEED'
[General]
UseTCP=1
TCPHost=127.0.0.1
TCPPort=10001
StartSend=1
Admin=9
SEED
fi

simlog=$(mktemp)
"$bin/velta-sim" --tcp "$address" --quiet > "$simlog" &
sim=$!
trap 'kill "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true; rm -f "$simlog"' EXIT
# The simulator names its listeners once it is ready; it exits at once when the port is taken.
for _ in $(seq 50); do
  grep -q '^tcp ' "$simlog" && break
  if ! kill -0 "$sim" 2>/dev/null; then
    echo "The simulator could not listen on $address (is another one running?)" >&2
    exit 1
  fi
  sleep 0.1
done
echo "Simulator listening on $address (pid $sim); demo settings in $config," \
  "history in $data/velta-control/history"

export VELTA_CONFIG_DIR="$config"
export XDG_DATA_HOME="$data"
if [ -n "${VELTA_DEMO_XVFB:-}" ] && [ -z "${DISPLAY:-}" ]; then
  xvfb-run -a "$bin/velta-control"
else
  "$bin/velta-control"
fi
