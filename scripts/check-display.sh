#!/usr/bin/env bash
# `make run` asks this first, before installing or building anything: the demo opens a window, so
# it needs a desktop session (X11 or Wayland), or an explicit request for a virtual display.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${VELTA_DEMO_XVFB:-}" ]; then
  echo "No display: neither DISPLAY nor WAYLAND_DISPLAY is set. Run 'make run' from a desktop" >&2
  echo "session (or over ssh -X), or run it on a virtual display with: VELTA_DEMO_XVFB=1 make run" >&2
  exit 1
fi
