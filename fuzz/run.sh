#!/usr/bin/env bash
# Runs fuzz targets of a fuzz build (-DZEPH_FUZZ=ON) on their corpora.
#   fuzz/run.sh <build folder> <seconds per target> [parallel runs] [target ...]
# Without targets every fuzz_* program of the build runs. Each run starts from the seeds in
# fuzz/corpus/<target>/ (and those the build made in <build>/fuzz/seeds/<target>/) and keeps
# what it finds in <build>/fuzz/corpus/<target>/; a target's fuzz/<target>.options may set
# max_len. Any crash, leak, hang (an input taking over 25 s), sanitizer report, or a home
# folder grown beyond 256 MB fails the run. Each process of a target has a home folder of its
# own under <homes>/<target>/, which it measures against that limit and removes as it ends;
# what a crashed process left is measured and removed here. The homes are in memory
# (/dev/shm) when it has room for them, else under <build>/fuzz/home. Extra libFuzzer options
# (-jobs=N, -fork=N) may be given in FUZZ_FLAGS. The final statistics of each target go to
# <build>/fuzz/results.txt.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "${1:?build folder}" && pwd)"
seconds="${2:?seconds per target}"
jobs="${3:-2}"
shift $(($# < 3 ? $# : 3))

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for program in "$build"/fuzz/fuzz_*; do
    [ -x "$program" ] && targets+=("$(basename "$program")")
  done
fi
[ ${#targets[@]} -gt 0 ] || { echo "no fuzz targets in $build/fuzz" >&2; exit 1; }

export ASAN_OPTIONS="detect_leaks=1:allocator_may_return_null=1:handle_abort=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export ZEPH_FUZZ_HOME_LIMIT_MB=256
# A home in memory: every input makes and removes files, which a disk would write out.
homes="$build/fuzz/home"
if [ -d /dev/shm ] && [ -w /dev/shm ] &&
  [ "$(df -Pm /dev/shm | awk 'NR == 2 { print $4 }')" -ge $((ZEPH_FUZZ_HOME_LIMIT_MB * (jobs + 2))) ]; then
  homes="$(mktemp -d /dev/shm/zeph-fuzz.XXXXXX)"
  trap 'rm -rf "$homes"' EXIT
fi
export ZEPH_FUZZ_HOMES="$homes"
read -r -a extra <<<"${FUZZ_FLAGS:-}"
logs="$build/fuzz/logs"
mkdir -p "$logs" "$build/fuzz/artifacts"
results="$build/fuzz/results.txt"

run_one() {
  local name="$1" program="$build/fuzz/$1" log="$logs/$1.log"
  local work="$build/fuzz/corpus/$name" home="$homes/$name"
  local max_len=4096 line
  if [ -f "$here/$name.options" ]; then
    line="$(grep -E '^max_len *=' "$here/$name.options" | tail -1)"
    [ -n "$line" ] && max_len="${line##*=}" && max_len="${max_len// /}"
  fi
  mkdir -p "$work"
  local seeds=("$work")
  [ -d "$here/corpus/$name" ] && seeds+=("$here/corpus/$name")
  [ -d "$build/fuzz/seeds/$name" ] && seeds+=("$build/fuzz/seeds/$name")
  (cd "$build/fuzz" && "$program" -max_total_time="$seconds" -max_len="$max_len" -timeout=25 \
    -rss_limit_mb=2560 -print_final_stats=1 -artifact_prefix="$build/fuzz/artifacts/$name-" \
    "${extra[@]}" "${seeds[@]}") >"$log" 2>&1
  local status=$?
  local grown=0
  if grep -q "the home folder grew to" "$log"; then status=1; fi
  if [ -d "$home" ]; then
    grown=$(du -sm "$home" | cut -f1)
    if [ "$grown" -gt "$ZEPH_FUZZ_HOME_LIMIT_MB" ]; then
      echo "$name: its home folders grew to ${grown} MB" >>"$log"
      status=1
    fi
    rm -rf "$home"
  fi
  local execs cov ft
  execs="$(grep -E '^stat::number_of_executed_units' "$log" | awk '{ s += $2 } END { if (NR) print s }')"
  line="$(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -1)"
  cov="$(sed -nE 's/.* cov: ([0-9]+).*/\1/p' <<<"$line")"
  ft="$(sed -nE 's/.* ft: ([0-9]+).*/\1/p' <<<"$line")"
  if [ $status -eq 0 ]; then
    echo "$name: ok, ${seconds} s, execs ${execs:-?}, cov ${cov:-?}, ft ${ft:-?}, home ${grown} MB"
  else
    echo "$name: FAILED (exit $status), see $log"
    tail -40 "$log"
  fi
  return $status
}

: >"$results"
failed=0
running=0
for name in "${targets[@]}"; do
  if [ $running -ge "$jobs" ]; then
    wait -n || failed=1
    running=$((running - 1))
  fi
  run_one "$name" >>"$results" &
  running=$((running + 1))
done
while [ $running -gt 0 ]; do
  wait -n || failed=1
  running=$((running - 1))
done
cat "$results"
exit $failed
