#!/usr/bin/env bash
# Replays each target's seed corpus, then fuzzes each target for its share of
# SECONDS (default 60 in all) into a scratch folder, so the committed corpora
# stay as they are. Exits non-zero on any crash.
# Expects the fuzz build (cmake --preset fuzz && cmake --build --preset fuzz);
# MAVROLIN_FUZZ_BIN names another folder of fuzzer binaries.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
seconds="${1:-60}"
bin="${MAVROLIN_FUZZ_BIN:-$here/../build/fuzz/bin}"
# target name, corpus folder and dictionary
targets=(
  "mvd_load_fuzzer mvd mvd.dict"
  "regfile_fuzzer regfile regfile.dict"
  "csv_import_fuzzer csv csv.dict"
)
share=$((seconds / ${#targets[@]}))
((share > 0)) || share=1
scratch="$(mktemp -d "${TMPDIR:-/tmp}/mavrolin-fuzz.XXXXXX")"
trap 'rm -rf "$scratch"' EXIT

for target in "${targets[@]}"; do
  read -r name corpus dict <<<"$target"
  fuzzer="$bin/$name"
  if [[ ! -x "$fuzzer" ]]; then
    echo "fuzz/run.sh: $fuzzer not built" >&2
    exit 2
  fi
  mkdir -p "$scratch/$name/corpus" "$scratch/$name/artifacts"

  echo "== $name: replay of the seed corpus"
  "$fuzzer" -runs=0 "$here/corpus/$corpus"

  echo "== $name: fuzzing for $share s"
  "$fuzzer" -dict="$here/$dict" -max_total_time="$share" -max_len=4096 -rss_limit_mb=2048 \
    -timeout=10 -print_final_stats=1 -artifact_prefix="$scratch/$name/artifacts/" \
    "$scratch/$name/corpus" "$here/corpus/$corpus"
done
