#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the normal build, its
# installation and Debian package, the same tests under
# AddressSanitizer/UndefinedBehaviorSanitizer, and the fuzzers (corpus replay
# plus a short run; MAVROLIN_FUZZ_SECONDS, default 60, is shared among the
# fuzz targets).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --test
jobs=$(nproc)

echo "== build and test (default)"
bash scripts/build.sh default -j "$jobs"
ctest --preset default -j "$jobs"

echo "== installation and Debian package (default build)"
bash scripts/check-install.sh build/default

echo "== build and test (AddressSanitizer + UndefinedBehaviorSanitizer)"
bash scripts/build.sh sanitize -j "$jobs"
ctest --preset sanitize -j "$jobs"

if [[ -f fuzz/run.sh ]]; then
  echo "== fuzz"
  bash scripts/build.sh fuzz -j "$jobs"
  bash fuzz/run.sh "${MAVROLIN_FUZZ_SECONDS:-60}"
fi

echo "== all stages passed: default build, installation, sanitizer build, fuzzing"
