#!/usr/bin/env bash
# Runs a command with an X display: the caller's, or a private Xvfb started for it.
set -uo pipefail
if [[ -n "${DISPLAY:-}" ]]; then exec "$@"; fi
for n in $(seq 91 140); do
  [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 50); do [[ -e /tmp/.X11-unix/X$n ]] && break; sleep 0.1; done
  if kill -0 "$xvfb" 2>/dev/null; then
    export DISPLAY=":$n"
    "$@"; rc=$?
    kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null
    exit $rc
  fi
done
echo "with-display: could not start Xvfb; running without a display" >&2
exec "$@"
