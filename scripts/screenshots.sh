#!/usr/bin/env bash
# Takes screenshots of the five windows (main window, filter, options and
# information dialog, analysis window) under a private Xvfb session, with a list of every
# control's place and size beside each picture.
#   screenshots.sh [build folder] [--readme]
# The build folder defaults to build/default; pictures go to <build>/screenshots.
# --readme also refreshes docs/mavrolin.png and docs/analysis.png, the README's pictures.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/default
readme=()
for arg in "$@"; do
  case "$arg" in
    --readme) readme=(--readme docs/mavrolin.png) ;;
    *) build="$arg" ;;
  esac
done
if [[ ! -x "$build/bin/mavrolin" || ! -x "$build/bin/mvd" ]]; then
  echo "build the program first: cmake --build $build --target mavrolin Login mvd" >&2
  exit 2
fi
bash scripts/install-deps.sh --test
exec /usr/bin/python3 tests/e2e/screenshots.py --bin "$build/bin" --out "$build/screenshots" "${readme[@]}"
