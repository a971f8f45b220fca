#!/usr/bin/env bash
# Builds the fuzz targets under tests/fuzz with clang, libFuzzer, ASan and UBSan, and runs
# each for SECONDS (default 60), one after the other. Prints per target the inputs run and
# the result; fails on any crash, leak, timeout (over 1 s for one input), memory blow-up or
# sanitizer report, and keeps the input that caused it in build-fuzz/crashes/<target>/.
# What a run learns stays in build-fuzz/corpus/<target>/ for the next run.
#   tools/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
tools/install-deps.sh
if ! command -v clang++ >/dev/null; then
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends clang
fi
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
      -DTARVOLM_FUZZ=ON -DTARVOLM_SANITIZE=address,undefined \
      -DCMAKE_CXX_FLAGS=-fno-sanitize-recover=all "${launcher[@]}" >/dev/null
cmake --build build-fuzz --target fuzz_targets -j2
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for source in tests/fuzz/*_fuzz.cpp; do targets+=("$(basename "$source" .cpp)"); done
fi

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
failed=0
printf '%-24s %14s  %s\n' target executions result
for target in "${targets[@]}"; do
  corpus=build-fuzz/corpus/$target
  crashes=build-fuzz/crashes/$target
  log=build-fuzz/logs/$target.log
  mkdir -p "$corpus" "$crashes" build-fuzz/logs
  status=0
  build-fuzz/tests/fuzz/$target -max_total_time="$seconds" -timeout=1 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$crashes/" "$corpus" "tests/fuzz/corpus/$target" \
      >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  if [ "$status" -eq 0 ]; then
    result=ok
  else
    failed=1
    artifact=$(ls -t "$crashes" 2>/dev/null | head -1)
    result="FAILED (exit $status): ${artifact:+$crashes/$artifact}, see $log"
  fi
  printf '%-24s %14s  %s\n' "$target" "${runs:-?}" "$result"
done
exit $failed
