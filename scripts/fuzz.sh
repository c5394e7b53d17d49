#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan), replays each target's
# corpus, then fuzzes each for FUZZ_SECONDS on a scratch copy of the corpus.
# Usage: scripts/fuzz.sh [target...]   (default: all)
# Env: FUZZ_SECONDS (30), FUZZ_BUILD_DIR (<repo>/build-fuzz), FUZZ_JOBS (2),
#      VELTO_WERROR (OFF; ON makes warnings errors, as CI does).
# New crash inputs are left in the build dir's artifacts folder; exit != 0.
set -u
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
bash "$ROOT/scripts/setup-deps.sh" run fuzz || { echo "fuzz: could not install clang" >&2; exit 2; }
BUILD="${FUZZ_BUILD_DIR:-$ROOT/build-fuzz}"
SECONDS_EACH="${FUZZ_SECONDS:-30}"
JOBS="${FUZZ_JOBS:-2}"
ALL=(fuzz_recordfile fuzz_wardlayout fuzz_facility fuzz_accounts fuzz_eradate fuzz_textfile)
TARGETS=("$@")
[ ${#TARGETS[@]} -eq 0 ] && TARGETS=("${ALL[@]}")

# Qt keeps some allocations to the end of the process.
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}"
export QT_QPA_PLATFORM=offscreen

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
CC=clang CXX=clang++ cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVELTO_FUZZ=ON -DVELTO_WERROR="${VELTO_WERROR:-OFF}" -DVELTO_BUILD_TESTS=OFF -DCMAKE_POSITION_INDEPENDENT_CODE=ON "${launcher[@]}" >/dev/null \
    || { echo "fuzz: configure failed" >&2; exit 2; }
cmake --build "$BUILD" --target "${TARGETS[@]}" -j"$JOBS" || { echo "fuzz: build failed" >&2; exit 2; }

ARTIFACTS="$BUILD/fuzz-artifacts"
mkdir -p "$ARTIFACTS"
failed=0
for t in "${TARGETS[@]}"; do
    name="${t#fuzz_}"
    exe="$BUILD/fuzz/$t"
    corpus="$ROOT/fuzz/corpus/$name"
    echo "== $t: replaying $corpus"
    if ! "$exe" -runs=0 "$corpus" >"$ARTIFACTS/$name-replay.log" 2>&1; then
        echo "fuzz: $t fails on its corpus (see $ARTIFACTS/$name-replay.log)" >&2
        tail -n 40 "$ARTIFACTS/$name-replay.log" >&2
        failed=1
        continue
    fi
    scratch="$(mktemp -d)"
    cp -r "$corpus/." "$scratch/"
    echo "== $t: fuzzing ${SECONDS_EACH}s"
    if ! "$exe" -max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
            -artifact_prefix="$ARTIFACTS/$name-" "$scratch" >"$ARTIFACTS/$name-fuzz.log" 2>&1; then
        echo "fuzz: $t crashed (see $ARTIFACTS/$name-fuzz.log)" >&2
        tail -n 60 "$ARTIFACTS/$name-fuzz.log" >&2
        failed=1
    fi
    grep -E "stat::number_of_executed_units|Done [0-9]+ runs" "$ARTIFACTS/$name-fuzz.log" | tail -n 2
    rm -rf "$scratch"
done
exit $failed
