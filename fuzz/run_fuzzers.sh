#!/usr/bin/env bash
# Runs every libFuzzer program of a fuzz build, one after the other, and summarises them.
#
#   fuzz/run_fuzzers.sh <fuzz build folder> <seconds per target> [target ...]
#
# Each target starts from its saved corpus (tests/fixtures/fuzz/<target>, read only) and writes
# what it finds into a scratch corpus under the build folder. A crash, a sanitiser report
# (undefined behaviour stops the input too), an input slower than FUZZ_TIMEOUT seconds, or an
# allocation above FUZZ_MALLOC_MB is a finding: libFuzzer keeps the input under
# <build>/findings/<target>/ and the next target runs all the same. At the end the scratch corpus
# is merged into the saved one: only inputs that reach code (edges) no saved input reaches join
# it, at most FUZZ_JOIN (10) a run, those that reach the most first, so the corpus -- part of the
# repository and of every `make test` -- stays small.
#
# Prints one line per target (executions, edges covered of those instrumented, inputs that
# joined the corpus, the outcome) and exits 1 when any target had a finding.
set -u

BUILD=${1:?fuzz build folder}
SECONDS_PER_TARGET=${2:?seconds per target}
shift 2
SOURCE=$(cd "$(dirname "$0")/.." && pwd)
TIMEOUT=${FUZZ_TIMEOUT:-10}
MALLOC_MB=${FUZZ_MALLOC_MB:-512}
RSS_MB=${FUZZ_RSS_MB:-2048}
MAX_LEN=${FUZZ_MAX_LEN:-65536}
JOIN=${FUZZ_JOIN:-10}

if [ $# -gt 0 ]; then
  TARGETS=("$@")
else
  TARGETS=()
  for exe in "$BUILD"/fuzz/fuzz_*; do
    [ -x "$exe" ] && TARGETS+=("${exe##*/fuzz_}")
  done
fi
[ ${#TARGETS[@]} -gt 0 ] || { echo "no fuzz targets in $BUILD/fuzz" >&2; exit 1; }

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}

SUMMARY=()
FAILED=()
for target in "${TARGETS[@]}"; do
  exe=$BUILD/fuzz/fuzz_$target
  saved=$SOURCE/tests/fixtures/fuzz/$target
  scratch=$BUILD/corpus/$target
  findings=$BUILD/findings/$target
  log=$BUILD/logs/$target.log
  mkdir -p "$saved" "$scratch" "$findings" "$(dirname "$log")"
  rm -f "$findings"/*
  echo "fuzzing $target for $SECONDS_PER_TARGET s"
  "$exe" -max_total_time="$SECONDS_PER_TARGET" -timeout="$TIMEOUT" -malloc_limit_mb="$MALLOC_MB" \
    -rss_limit_mb="$RSS_MB" -max_len="$MAX_LEN" -print_final_stats=1 -artifact_prefix="$findings/" \
    "$scratch" "$saved" > "$log" 2>&1
  status=$?

  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  edges=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  instrumented=$(sed -n 's/.*Loaded [0-9]* modules *(\([0-9]*\) inline 8-bit counters).*/\1/p' "$log" | head -1)
  found=$(find "$findings" -type f | wc -l)

  # What the run found joins the saved corpus only when it reaches edges no saved input reaches,
  # and at most FUZZ_JOIN inputs a run (those reaching the most); the rest stays in scratch,
  # where the next run starts from it. libFuzzer's merge measures the inputs (it writes into a
  # copy of the saved corpus, which is then dropped).
  measured=$(mktemp -d)
  cp -pr "$saved"/. "$measured"/
  control=$BUILD/logs/$target.merge
  rm -f "$control"
  "$exe" -merge=1 -use_counters=0 -merge_control_file="$control" -artifact_prefix="$findings/merge-" -timeout="$TIMEOUT" \
    -malloc_limit_mb="$MALLOC_MB" -rss_limit_mb="$RSS_MB" -max_len="$MAX_LEN" "$measured" "$scratch" >> "$log" 2>&1 || true
  joined=0
  if [ -s "$control" ]; then
    while IFS= read -r input; do
      cp "$input" "$saved/" && joined=$((joined + 1))
    done < <(awk -v Limit="$JOIN" -f "$SOURCE/fuzz/join_corpus.awk" "$control")
  fi
  rm -rf "$measured"

  if [ "$status" -ne 0 ] || [ "$found" -gt 0 ]; then
    outcome="FINDING ($found kept in ${findings#$SOURCE/}, log ${log#$SOURCE/})"
    FAILED+=("$target")
  else
    outcome="no finding"
  fi
  line=$(printf '%-20s %12s executions  %6s of %6s edges  %4s joined  %s' \
    "$target" "${executions:-?}" "${edges:-?}" "${instrumented:-?}" "$joined" "$outcome")
  echo "$line"
  SUMMARY+=("$line")
done

echo
echo "fuzzing summary (${SECONDS_PER_TARGET} s per target):"
printf '%s\n' "${SUMMARY[@]}"
if [ ${#FAILED[@]} -gt 0 ]; then
  echo "targets with findings: ${FAILED[*]}"
  exit 1
fi
