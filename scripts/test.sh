#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the normal build and
# its tests; the release build, the Debian package made from it (as
# scripts/package.sh makes it for users) and the installation check of that
# package; the tests under AddressSanitizer/UndefinedBehaviorSanitizer; and
# the fuzzers (corpus replay plus a short run; MAVROLIN_FUZZ_SECONDS, default
# 60, is shared among the fuzz targets). Each stage's time is printed.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
# Each stage's name and time, for the summary at the end.
times=()
current=
started=$SECONDS
stage() {
  if [[ -n "$current" ]]; then
    times+=("$(printf '%-44s %5d s' "$current" $((SECONDS - started)))")
  fi
  current=$1
  started=$SECONDS
  if [[ -n "$current" ]]; then echo "== $current"; fi
}

stage "dependencies"
bash scripts/install-deps.sh --test

stage "build and test (default)"
bash scripts/build.sh default -j "$jobs"
ctest --preset default -j "$jobs"

stage "release build and Debian package"
bash scripts/package.sh -j "$jobs"

stage "installation check of the package"
bash scripts/check-install.sh

stage "build and test (AddressSanitizer + UBSan)"
bash scripts/build.sh sanitize -j "$jobs"
ctest --preset sanitize -j "$jobs"

if [[ -f fuzz/run.sh ]]; then
  stage "fuzz"
  bash scripts/build.sh fuzz -j "$jobs"
  bash fuzz/run.sh "${MAVROLIN_FUZZ_SECONDS:-60}"
fi
stage ""

echo "== stage times"
printf '%s\n' "${times[@]}"
echo "== all stages passed: default build, release package and its installation, sanitizer build, fuzzing ($((SECONDS / 60)) min $((SECONDS % 60)) s)"
