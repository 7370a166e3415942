#!/usr/bin/env bash
# Starts the controller simulator and VELTA Control connected to it. The demo's settings live in a
# folder of their own, so the user's own settings are never touched.
set -euo pipefail
build=${1:-build}
bin="$build/bin"
"$bin/velta-sim" --tcp 127.0.0.1:10001 &
sim=$!
trap 'kill $sim 2>/dev/null || true' EXIT
sleep 0.5
echo "Simulator listening on 127.0.0.1:10001 (pid $sim)"
wait $sim
