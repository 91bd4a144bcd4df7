#!/usr/bin/env bash
# Replays the seed corpus, then fuzzes for SECONDS (default 60) into a scratch
# folder, so the committed corpus stays as it is. Exits non-zero on any crash.
# Expects the fuzz build (cmake --preset fuzz && cmake --build --preset fuzz);
# MVD_FUZZER names another binary.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
seconds="${1:-60}"
fuzzer="${MVD_FUZZER:-$here/../build/fuzz/bin/mvd_load_fuzzer}"
if [[ ! -x "$fuzzer" ]]; then
  echo "fuzz/run.sh: $fuzzer not built" >&2
  exit 2
fi
scratch="$(mktemp -d "${TMPDIR:-/tmp}/mvd-fuzz.XXXXXX")"
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/corpus" "$scratch/artifacts"

echo "== replay of the seed corpus"
"$fuzzer" -runs=0 "$here/corpus"

echo "== fuzzing for $seconds s"
"$fuzzer" -dict="$here/mvd.dict" -max_total_time="$seconds" -max_len=4096 -rss_limit_mb=2048 \
  -timeout=10 -print_final_stats=1 -artifact_prefix="$scratch/artifacts/" \
  "$scratch/corpus" "$here/corpus"
