#!/usr/bin/env bash
# Builds the benchmarks (Release) and prints one table of speed and memory
# figures, each beside a baseline measured in the same run.
#   VELTO_BENCH_BUILD_DIR  build folder (default build-bench)
#   VELTO_BENCH_RUNS       repetitions per figure; medians are reported (default 15)
#   VELTO_E2E_BUILD_DIR    an existing build folder holding tests/e2e/tst_wardday
#                          (otherwise that one test is built in the bench folder)
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT="$PWD"
bash scripts/setup-deps.sh run test bench
BUILD="${VELTO_BENCH_BUILD_DIR:-build-bench}"
RUNS="${VELTO_BENCH_RUNS:-15}"
MEM_RUNS="${VELTO_BENCH_MEM_RUNS:-3}"
JOBS="${VELTO_BENCH_JOBS:-2}"
LAUNCHER=()
if command -v ccache >/dev/null; then LAUNCHER=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi

cache_value() { sed -n "s/^$1:[A-Z]*=//p" "$BUILD/CMakeCache.txt" 2>/dev/null; }
configure() { # tests ON or OFF, only when the folder differs
  if [ "$(cache_value CMAKE_BUILD_TYPE)" != Release ] || [ "$(cache_value VELTO_BUILD_TESTS)" != "$1" ]; then
    cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELTO_BUILD_TESTS="$1" "${LAUNCHER[@]}" >/dev/null
  fi
}

BENCHES=(board_bench record_bench print_bench backup_bench store_bench)
configure OFF
cmake --build "$BUILD" --target velto velto_probe minimal_window plain_login make_ward xwatch "${BENCHES[@]}" -j"$JOBS"
if [ -n "${VELTO_E2E_BUILD_DIR:-}" ]; then
  WARDDAY="$VELTO_E2E_BUILD_DIR/tests/e2e/tst_wardday"
else
  configure ON
  cmake --build "$BUILD" --target tst_wardday -j"$JOBS"
  configure OFF
  WARDDAY="$BUILD/tests/e2e/tst_wardday"
fi
[ -x "$WARDDAY" ] || { echo "no e2e test binary at $WARDDAY" >&2; exit 1; }
WARDDAY="$(cd "$(dirname "$WARDDAY")" && pwd)/$(basename "$WARDDAY")"
BUILD_ABS="$(cd "$BUILD" && pwd)"

export QT_QPA_PLATFORM=offscreen
ROWS="$(mktemp)"
SCRATCH="$(mktemp -d)"
# The shared ward's figures: a private server of this run, flushing to disk
# as a ward's server does.
VELTO_PG_DIR="$(mktemp -d "${TMPDIR:-/tmp}/velto-pg-bench.XXXXXX")"
export VELTO_PG_DIR
trap 'bash scripts/stop-database.sh >/dev/null 2>&1 || true; rm -rf "$ROWS" "$SCRATCH" "$VELTO_PG_DIR"' EXIT
VELTO_PG_FSYNC=on bash scripts/start-database.sh
# shellcheck disable=SC1091
source "$VELTO_PG_DIR/env"
# The summary printed to a private CUPS queue, as the tests print.
VELTO_CUPS_DIR="$(mktemp -d "${TMPDIR:-/tmp}/velto-cups-bench.XXXXXX")"
export VELTO_CUPS_DIR
stop_services() {
  bash scripts/stop-printer.sh >/dev/null 2>&1 || true
  bash scripts/stop-database.sh >/dev/null 2>&1 || true
  rm -rf "$ROWS" "$SCRATCH" "$VELTO_PG_DIR" "$VELTO_CUPS_DIR"
}
trap stop_services EXIT
bash scripts/start-printer.sh >/dev/null
# shellcheck disable=SC1091
source "$VELTO_CUPS_DIR/env"
for b in "${BENCHES[@]}"; do
  echo "running $b ..." >&2
  "$BUILD/bench/$b" "$RUNS" 2>/dev/null | grep '^ROW' >>"$ROWS"
  # The queue's jobs are converted after they are accepted: not during the next figures.
  for _ in $(seq 600); do [ -z "$(lpstat -o 2>/dev/null)" ] && break; sleep 0.2; done
done

# On a real X server: fresh processes under a private Xvfb, timed by our X
# client from the program's start to the window mapped and to its drawing
# settled (the last damage before 100 ms without any). Median and min–max.
XRUNS="$RUNS"; [ -n "${VELTO_BENCH_QUICK:-}" ] && XRUNS=5
XDISPLAY=":$(( 90 + RANDOM % 400 ))"
Xvfb "$XDISPLAY" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
XVFB_PID=$!
trap 'kill "$XVFB_PID" 2>/dev/null || true; stop_services' EXIT
sleep 1
# A settings file as an account has it after its first start: the built-in
# account, the splash and the automatic backup off.
seed_settings() { # home folder
  mkdir -p "$1/config"
  printf '[Option]\nbackup_off_time=2\nbackup_on_off=1\nmidashi_on_off=1\n[Pass]\ncnt=1\nuser1="Administrator,2,\xe7\xae\xa1\xe7\x90\x86\xe8\x80\x85,Brellowinster"\n' \
    >"$1/config/Quolmar.ini"
}
xwatch_once() { # [--seeded] output file, xwatch arguments...: one run, appended
  local seeded=""
  [ "$1" = --seeded ] && { seeded=1; shift; }
  local out="$1"; shift
  local home; home="$(mktemp -d "$SCRATCH/xhome.XXXXXX")"
  [ -n "$seeded" ] && seed_settings "$home"
  ( cd "$home" && DISPLAY="$XDISPLAY" QT_QPA_PLATFORM=xcb HOME="$home" XDG_CONFIG_HOME="$home/config" \
      XDG_RUNTIME_DIR="$home" "$BUILD_ABS/bench/xwatch" -t 60000 "$@" ) >>"$out" 2>/dev/null || echo "failed" >>"$out"
  rm -rf "$home"
}
stats() { # file, awk pattern, field: "median (min–max)" in ms
  awk -v pat="$2" -v f="$3" '$0 ~ pat {print $f}' "$1" | sort -n |
    awk '{v[NR]=$1} END {if (NR) printf "%.1f\t%.1f\t%.1f\n", v[int((NR+1)/2)], v[1], v[NR]}'
}
echo "running the X figures ($XRUNS fresh processes each) ..." >&2
# A nurse's start (the account's settings there) and an account's first
# start (no settings yet: the built-in account is written first). The
# programs compared take turns, run by run, so that what else the machine
# does weighs on each alike.
for _ in $(seq "$XRUNS"); do
  xwatch_once --seeded "$SCRATCH/xlogin" -k "B,r,e,l,l,o,w,i,n,s,t,e,r,Return" -- "$BUILD_ABS/src/app/velto"
  xwatch_once "$SCRATCH/xfirst" -- "$BUILD_ABS/src/app/velto"
  xwatch_once "$SCRATCH/xplain" -- "$BUILD_ABS/bench/plain_login"
done
read -r LM LMIN LMAX < <(stats "$SCRATCH/xlogin" "^window 0 " 6)
read -r FM FMIN FMAX < <(stats "$SCRATCH/xfirst" "^window 0 " 6)
read -r PM PMIN PMAX < <(stats "$SCRATCH/xplain" "^window 0 " 6)
read -r AM AMIN AMAX < <(stats "$SCRATCH/xlogin" "^after-key" 2)
awk -v l="$LM" -v lmin="$LMIN" -v lmax="$LMAX" -v p="$PM" -v pmin="$PMIN" -v pmax="$PMAX" \
    -v f="$FM" -v fmin="$FMIN" -v fmax="$FMAX" \
    -v a="$AM" -v amin="$AMIN" -v amax="$AMAX" -v n="$(grep -c failed "$SCRATCH/xlogin" "$SCRATCH/xfirst" "$SCRATCH/xplain" | awk -F: '{s+=$2} END {print s}')" 'BEGIN {
  printf "ROW\tX: start to the login window drawn%s\t%.1f ms (%.1f–%.1f)\t%.1f ms (%.1f–%.1f) (plain dialog, same controls)\t%.2f\t≤ 1.2×\t%s\n",
         n ? " — " n " RUNS FAILED" : "", l, lmin, lmax, p, pmin, pmax, l / p, l / p <= 1.2 ? "yes" : "NO"
  printf "ROW\tX: the same, an account'"'"'s first start (no settings file yet)\t%.1f ms (%.1f–%.1f)\t%.1f ms (%.1f–%.1f) (plain dialog, same controls)\t%.2f\t— (reference)\t—\n",
         f, fmin, fmax, p, pmin, pmax, f / p
  printf "ROW\tX: login Return to the next window drawn (no facility yet: the first-start window)\t%.1f ms (%.1f–%.1f)\t—\t—\t—\t—\n", a, amin, amax }' >>"$ROWS"

# The board after login on a full ward (240 beds and records) with 0, 3,650
# and 36,500 snapshot days, the program copied into the ward's folder as the
# README's run has it; against the plain login whose OK opens 240 buttons.
xboard_once() { # output file, ward folder, keys typed at the board (optional)
  local out="$1" ward="$2" second=()
  [ -n "${3:-}" ] && second=(-K "$3")
  xwatch_once --seeded "$out" -k "B,r,e,l,l,o,w,i,n,s,t,e,r,Return" "${second[@]}" -- "$ward/velto"
}
echo "running the board under X (0, 3,650 and 36,500 snapshot days) ..." >&2
declare -A WARD
for days in 0 3650 36500; do
  WARD[$days]="$("$BUILD_ABS/bench/make_ward" "$days" 0)"
  cp "$BUILD_ABS/src/app/velto" "${WARD[$days]}/velto"
done
# Turn by turn: the yardstick, the board with each number of days, and the
# windows opened by key from the board: the record of the first bed on the
# full ward, the deletion window over the snapshot days.
for _ in $(seq "$XRUNS"); do
  xwatch_once "$SCRATCH/xplainboard" -k "Return" -- "$BUILD_ABS/bench/plain_login" --board
  for days in 0 3650 36500; do xboard_once "$SCRATCH/xboard$days" "${WARD[$days]}"; done
  xboard_once "$SCRATCH/xrecord" "${WARD[0]}" "Ctrl+e"
  for days in 3650 36500; do xboard_once "$SCRATCH/xdelete$days" "${WARD[$days]}" "Ctrl+d"; done
done
for days in 0 3650 36500; do rm -rf "$(dirname "${WARD[$days]}")"; done
read -r YM YMIN YMAX < <(stats "$SCRATCH/xplainboard" "^after-key" 2)
read -r RM RMIN RMAX < <(stats "$SCRATCH/xrecord" "^after-key2" 2)
awk -v r="$RM" -v rmin="$RMIN" -v rmax="$RMAX" -v n="$(grep -c failed "$SCRATCH/xrecord" || true)" 'BEGIN {
  printf "ROW\tX: Ctrl+E on the board to the record window drawn (complete record)%s\t%.1f ms (%.1f–%.1f)\t—\t—\t—\t—\n", n ? " — " n " RUNS FAILED" : "", r, rmin, rmax }' >>"$ROWS"
BOARD0=""
for days in 0 3650 36500; do
  if [ "$days" != 0 ]; then
    read -r DM DMIN DMAX < <(stats "$SCRATCH/xdelete$days" "^after-key2" 2)
    awk -v d="$days" -v r="$DM" -v rmin="$DMIN" -v rmax="$DMAX" -v n="$(grep -c failed "$SCRATCH/xdelete$days" || true)" 'BEGIN {
      goal = d == 3650 ? 10 : 30
      printf "ROW\tX: Ctrl+D on the board to the deletion window drawn, %s snapshot days%s\t%.1f ms (%.1f–%.1f)\t—\t—\t< %d ms\t%s\n", d == 3650 ? "3,650" : "36,500", n ? " — " n " RUNS FAILED" : "", r, rmin, rmax, goal, r < goal ? "yes" : "NO" }' >>"$ROWS"
  fi
  read -r BM BMIN BMAX < <(stats "$SCRATCH/xboard$days" "^after-key" 2)
  HWM="$(awk '/^vmhwm/ {print $2}' "$SCRATCH/xboard$days" | sort -n | tail -1)"
  FAILS="$(grep -c failed "$SCRATCH/xboard$days" || true)"
  [ -z "$BOARD0" ] && BOARD0="$BM"
  awk -v d="$days" -v b="$BM" -v bmin="$BMIN" -v bmax="$BMAX" -v y="$YM" -v ymin="$YMIN" -v ymax="$YMAX" \
      -v z="$BOARD0" -v hwm="$HWM" -v n="$FAILS" 'BEGIN {
    fail = n ? " — " n " RUNS FAILED" : ""
    if (d == 0)
      printf "ROW\tX: login Return to the board drawn, full ward, no snapshots%s\t%.1f ms (%.1f–%.1f)\t%.1f ms (%.1f–%.1f) (plain login, OK to 240 buttons)\t%.2f\t≤ 1.5×\t%s\n", fail, b, bmin, bmax, y, ymin, ymax, b / y, b / y <= 1.5 ? "yes" : "NO"
    else if (d == 3650)
      printf "ROW\tX: login Return to the board drawn, 3,650 snapshot days%s\t%.1f ms (%.1f–%.1f)\t%.1f ms (the same with none)\t%.2f\t≤ 1.1×\t%s\n", fail, b, bmin, bmax, z, b / z, b / z <= 1.1 ? "yes" : "NO"
    else {
      printf "ROW\tX: login Return to the board drawn, 36,500 snapshot days%s\t%.1f ms (%.1f–%.1f)\t%.1f ms (the same with none)\t%.2f\t< 100 ms\t%s\n", fail, b, bmin, bmax, z, b / z, b < 100 ? "yes" : "NO"
      printf "ROW\tX: peak RSS of the program with 36,500 snapshot days (board drawn)\t%.1f MB\t—\t—\t< 80 MB\t%s\n", hwm / 1024, hwm / 1024 < 80 ? "yes" : "NO"
    } }' >>"$ROWS"
done

# Peak resident memory through the ward's day, against a minimal Qt window.
peak_kb() { # program, log; prints the maximum resident set size in kB
  ( cd "$SCRATCH" && HOME="$SCRATCH" XDG_CONFIG_HOME="$SCRATCH/config" XDG_RUNTIME_DIR="$SCRATCH" \
      VELTO_SOURCE_DIR="$ROOT" /usr/bin/time -v "$1" >"$2" 2>&1 ) || true
  sed -n 's/.*Maximum resident set size (kbytes): //p' "$2"
}
median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
echo "running tst_wardday under /usr/bin/time -v ($MEM_RUNS times) ..." >&2
day=(); mini=(); failed=0
for _ in $(seq "$MEM_RUNS"); do
  day+=("$(peak_kb "$WARDDAY" "$SCRATCH/wardday.log")")
  grep -q "Exit status: 0" "$SCRATCH/wardday.log" || failed=1
  mini+=("$(peak_kb "$BUILD_ABS/bench/minimal_window" "$SCRATCH/minimal.log")")
done
DAY_KB="$(printf '%s\n' "${day[@]}" | median)"
MINI_KB="$(printf '%s\n' "${mini[@]}" | median)"
awk -v d="$DAY_KB" -v m="$MINI_KB" -v f="$failed" 'BEGIN {
  fig = "peak RSS through the ward'"'"'s day (tst_wardday)" (f ? " — TEST FAILED" : "")
  printf "ROW\t%s\t%.1f MB\t%.1f MB (minimal Qt window)\t%.2f\t< 80 MB\t%s\n",
         fig, d / 1024, m / 1024, d / m, (d / 1024 < 80 && !f) ? "yes" : "NO" }' >>"$ROWS"

echo
echo "Velto benchmarks: $(nproc) CPUs, $(sed -n 's/^model name\t*: //p' /proc/cpuinfo | head -1)," \
     "$(awk '/MemTotal/ {printf "%.0f GB RAM", $2 / 1048576}' /proc/meminfo); medians of $RUNS runs" \
     "($MEM_RUNS for memory); MB = 1024 kB"
echo
echo "| figure | value | baseline (same run) | ratio | goal | met? |"
echo "|---|---|---|---|---|---|"
awk -F'\t' '{printf "| %s | %s | %s | %s | %s | %s |\n", $2, $3, $4, $5, $6, $7}' "$ROWS"
