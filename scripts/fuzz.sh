#!/bin/sh
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each one in
# turn, niced and in one worker, for the given number of seconds:
#   scripts/fuzz.sh SECONDS [target...]     (FUZZ_RUNS=N also stops each after N inputs)
# Seeds come from the corpus of real tables and from tables built by
# fuzz_seed_maker, written under build-fuzz/seeds/ (never into the project);
# what a run learns stays in build-fuzz/corpus/. An input that fails is left in
# build-fuzz/artifacts/<target>/: keep it in fuzz/regressions/<target>/ once the
# fault is fixed, so that `make test` replays it for ever.
set -eu
cd "$(dirname "$0")/.."
SECONDS_EACH=${1:-60}
shift || true
BUILD=build-fuzz
JOBS=${JOBS:-$(nproc)}
CORPUS=${TABULON_CORPUS_DIR:-$(pwd)/../shared/corpus}

CC=clang CXX=clang++ cmake -S . -B $BUILD -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTABULON_FUZZ=ON -DTABULON_GUI=OFF -DTABULON_BENCH=OFF -DTABULON_WERROR=${WERROR:-OFF} >/dev/null
cmake --build $BUILD -j "$JOBS"

TARGETS=${*:-$(cat $BUILD/fuzz/targets.txt | tr ';' ' ')}
rm -rf $BUILD/seeds
[ -d "$CORPUS" ] || { echo "fuzz: no corpus at $CORPUS, built seeds only"; CORPUS=""; }
$BUILD/fuzz/fuzz_seed_maker "$CORPUS" $BUILD/seeds

status=0
for t in $TARGETS; do
  mkdir -p $BUILD/corpus/$t $BUILD/artifacts/$t $BUILD/logs/$t $BUILD/seeds/$t
  log=$BUILD/logs/$t/fuzz-0.log
  rm -f "$log"
  echo "fuzz: $t for ${SECONDS_EACH}s"
  # -jobs=1 writes the run's output to fuzz-0.log in the working folder.
  (cd $BUILD/logs/$t && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    nice -n 10 ../../fuzz/${t}_fuzz -jobs=1 -workers=1 -max_total_time="$SECONDS_EACH" -timeout=20 \
      -rss_limit_mb=2560 -max_len=16384 -print_final_stats=1 -runs="${FUZZ_RUNS:--1}" \
      -artifact_prefix=../../artifacts/$t/ \
      ../../corpus/$t ../../seeds/$t ../../../fuzz/regressions/$t >/dev/null 2>&1) || true
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | tail -1 | grep -o '[0-9]*$' || true)
  echo "fuzz: $t ran ${runs:-?} inputs"
  if grep -qE '^==[0-9]+==ERROR|SUMMARY: |Test unit written|deadly signal|ERROR: libFuzzer' "$log"; then
    echo "fuzz: $t FAILED; see $log and $BUILD/artifacts/$t/"
    grep -E 'ERROR|SUMMARY|Test unit written' "$log" | head -20
    status=1
  fi
done
exit $status
