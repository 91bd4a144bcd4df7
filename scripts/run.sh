#!/usr/bin/env bash
# Installs what is missing, builds and starts Mavrolin.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh default --target mavrolin Login mvd
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo "Mavrolin needs a graphical display, and none was found (DISPLAY and WAYLAND_DISPLAY are unset)." >&2
  echo "Start it from a desktop session, or try: xvfb-run -a bash scripts/run.sh" >&2
  exit 1
fi
exec build/default/bin/mavrolin
