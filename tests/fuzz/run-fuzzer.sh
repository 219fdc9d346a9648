#!/usr/bin/env bash
# Runs a libFuzzer program for a while on a copy of its seeds, in the build
# folder: the source tree is never written. Fails on a crash, a leak,
# undefined behaviour, a broken check, a hang or runaway memory.
#   run-fuzzer.sh FUZZER WORK_FOLDER SECONDS SEED_FOLDER...
set -euo pipefail
fuzzer=$1 work=$2 seconds=$3
shift 3

rm -rf "$work"
mkdir -p "$work/corpus" "$work/artifacts"
for seeds in "$@"; do
  find "$seeds" -maxdepth 1 -type f ! -name '.*' -exec cp -t "$work/corpus" {} +
done

status=0
"$fuzzer" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -max_len=4096 \
  -print_final_stats=1 -artifact_prefix="$work/artifacts/" "$work/corpus" || status=$?
if [ "$status" -ne 0 ]; then
  echo "The fuzzer failed; what it found is in $work/artifacts/." >&2
  echo "Once fixed, keep the input in tests/fuzz/regressions/." >&2
fi
exit "$status"
