#!/usr/bin/env bash
# Installs what is missing, makes the release build and the Debian package
# build/release/package/mavrolin_<version>_<architecture>.deb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh release "$@"
cpack --preset deb >/dev/null
ls build/release/package/mavrolin_*.deb
