#!/usr/bin/env bash
# Installs what is missing, builds and starts Mavrolin.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh default --target mavrolin Login mvd
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  # The same explanation as the program's own (in German, as the program speaks).
  echo "run.sh: Mavrolin braucht eine grafische Anzeige, aber es wurde keine gefunden (DISPLAY und WAYLAND_DISPLAY sind nicht gesetzt)." >&2
  echo "Starten Sie es in einer Desktop-Sitzung oder ohne Bildschirm zum Beispiel mit: xvfb-run -a bash scripts/run.sh" >&2
  exit 1
fi
exec build/default/bin/mavrolin
