#!/usr/bin/env bash
# Measures our dealers beside Debian's `dealer` (plain rejection) and Deal
# 3.1.9's smart stacking, one after the other in one run, and prints the
# ratios the README reports:
#   1. attempts and boards per second of one dealing attempt (zelv_bench,
#      one thread) on each condition, beside `dealer`'s deals per second;
#   2. North 4-4-4-1 with 20-22 points: boards per second of the secure
#      dealer (one thread) beside Deal's smart stacking;
#   3. a whole zelvano-deal run whose North condition no hand meets (38+
#      points), beside `dealer` generating as many deals;
#   4. whole secure runs on one core and on two: one where dealing takes
#      the time and one where writing the files does.
# Usage: bench/compare_dealer.sh [BUILD_DIR] [DEALS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
deals=${2:-4000000}
bench="$build/bin/zelv_bench"
cli="$build/bin/zelvano-deal"
dealer=$(command -v dealer || echo /usr/games/dealer)
deal=$(command -v deal || echo /usr/games/deal)
[ -x "$bench" ] && [ -x "$cli" ] || { echo "no $bench or $cli: build first (cmake --build --preset release)" >&2; exit 1; }
[ -x "$dealer" ] || { echo "dealer is not installed: apt-get install dealer" >&2; exit 1; }
[ -x "$deal" ] || { echo "deal is not installed: apt-get install deal" >&2; exit 1; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/defs" "$tmp/out"

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", a / b }'; }
# benchmark name -> its attempts/s and boards/s, from one run of it
rates_of() {
  "$bench" --benchmark_filter="^$1/" --benchmark_min_time=1 --benchmark_format=csv 2>/dev/null |
    awk -F, 'NR==1 { for (i = 1; i <= NF; i++) { gsub(/"/, "", $i); if ($i == "attempts/s") a = i; if ($i == "boards/s") b = i }
                     next }
             a { print $a, $b; exit }'
}
# dealer condition (empty: every deal), deals -> deals per second
dealer_rate() {
  { echo "generate $2"; [ -n "$1" ] && echo "condition $1"; echo "action average hcp(north)"; } >"$tmp/d.dl"
  "$dealer" "$tmp/d.dl" | awk '/^Generated/ { g = $2 } /^Time needed/ { s = $3 } END { printf "%.0f", g / s }'
}
seconds() { # command... -> wall seconds
  local t0 t1
  t0=$(date +%s.%N)
  "$@" >/dev/null 2>&1 || true
  t1=$(date +%s.%N)
  awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", b - a }'
}

echo "1. One dealing attempt, one thread (attempts and accepted boards per second)"
# name | our benchmark | dealer condition
cases=(
  "AllFree|AllFree|"
  "North20Plus|North20Plus|hcp(north) >= 20"
  "North15to17_4333|North15to17_4333|hcp(north) >= 15 && hcp(north) <= 17 && shape(north, 4333)"
  "NorthSA_HK_Unseeded|NorthSA_HK_Unseeded|hascard(north, AS) && hascard(north, KH)"
  "North4441_20to22|North4441_20to22|hcp(north) >= 20 && hcp(north) <= 22 && shape(north, any 4441)"
)
printf '%-20s %11s %11s %11s %11s %14s %14s\n' "condition" "classic/s" "c.boards/s" "s.boards/s" "dealer/s" \
  "classic/dealer" "s.boards/c.b."
for c in "${cases[@]}"; do
  IFS='|' read -r name ours cond <<<"$c"
  read -r classic classicBoards <<<"$(rates_of "Classic/$ours")"
  read -r _ secureBoards <<<"$(rates_of "Secure/$ours")"
  dealerRate=$(dealer_rate "$cond" "$deals")
  printf "%-20s %11.0f %11.0f %11.0f %11.0f %13sx %13sx\n" "$name" "$classic" "$classicBoards" "$secureBoards" \
    "$dealerRate" "$(ratio "$classic" "$dealerRate")" "$(ratio "$secureBoards" "$classicBoards")"
done

echo
echo "2. North 4-4-4-1 with 20-22 points, other seats free: boards per second, one thread"
stackBoards=$((deals / 8))
cat >"$tmp/stack.tcl" <<'EOF'
source /usr/share/deal/format/none
shapeclass fourFourFourOne {expr {($s==1 && $h==4 && $d==4) || ($h==1 && $s==4 && $d==4) || ($d==1 && $s==4 && $h==4) || ($c==1 && $s==4 && $h==4)}}
deal::input smartstack north fourFourFourOne hcp 20 22
main { accept }
EOF
stackSecs=$(seconds "$deal" -i "$tmp/stack.tcl" "$stackBoards")
stackRate=$(awk -v n="$stackBoards" -v s="$stackSecs" 'BEGIN { printf "%.0f", n / s }')
read -r _ ours <<<"$(rates_of "Secure/North4441_20to22")"
printf "%-36s %11.0f\n" "Deal smartstack ($stackBoards boards)" "$stackRate"
printf "%-36s %11.0f  (%sx Deal)\n" "secure dealer (zelv_bench)" "$ours" "$(ratio "$ours" "$stackRate")"
printf '[YesShapes]\r\nY0= 4441\r\n\r\n[Hand]\r\nMinPoints=20\r\nMaxPoints=22\r\n' >"$tmp/defs/N4441.HDS"
runSecs=$(seconds "$cli" --secure --threads 1 --north N4441 --definitions "$tmp/defs" --output "$tmp/out" \
  --boards "$stackBoards" --no-pbn --quiet)
runRate=$(awk -v n="$stackBoards" -v s="$runSecs" 'BEGIN { printf "%.0f", n / s }')
printf "%-36s %11.0f  (%sx Deal)\n" "zelvano-deal --secure --threads 1" "$runRate" "$(ratio "$runRate" "$stackRate")"

echo
echo "3. Whole run, North 38+ points (no board ever accepted): attempts per second"
{
  printf '[YesShapes]\r\n'
  i=0
  for a in $(seq 13 -1 0); do for b in $(seq "$a" -1 0); do for c in $(seq "$b" -1 0); do
    d=$((13 - a - b - c))
    if [ "$d" -ge 0 ] && [ "$d" -le "$c" ]; then
      printf 'Y%d= %s\r\n' "$i" "$(printf '%s%s%s%s' "$a" "$b" "$c" "$d" | cut -c1-5)"
      i=$((i + 1))
    fi
  done; done; done
  printf '\r\n[Hand]\r\nMinPoints=38\r\n'
} >"$tmp/defs/NEVER.HDS"
runSecs=$(seconds "$cli" --north NEVER --definitions "$tmp/defs" --output "$tmp/out" --boards 1 --seed 7 \
  --max-attempts "$deals" --quiet)
runRate=$(awk -v n="$deals" -v s="$runSecs" 'BEGIN { printf "%.0f", n / s }')
{ echo "generate $deals"; echo "condition hcp(north) >= 38"; echo "action printall"; } >"$tmp/never.dl"
dealerSecs=$(seconds "$dealer" "$tmp/never.dl")
dealerRate=$(awk -v n="$deals" -v s="$dealerSecs" 'BEGIN { printf "%.0f", n / s }')
printf "%-36s %11.0f  (%s s)\n" "zelvano-deal, classic" "$runRate" "$runSecs"
printf "%-36s %11.0f  (%s s)\n" "dealer" "$dealerRate" "$dealerSecs"
printf "%-36s %11sx\n" "zelvano-deal / dealer" "$(ratio "$runRate" "$dealerRate")"

echo
echo "4. Whole secure runs on one core and on two"
sed 's/MinPoints=38/MinPoints=14/' "$tmp/defs/NEVER.HDS" >"$tmp/defs/S14.HDS"
# label | boards | seat options
runs=(
  "North 4-4-4-1 20-22 built, South 14+ dealt|$((deals / 40))|--north N4441 --south S14"
  "North 4-4-4-1 20-22 built, others free|$((deals / 4))|--north N4441"
)
printf '%-44s %8s %10s %10s %9s\n' "set-up" "boards" "1 core" "2 cores" "speed-up"
for r in "${runs[@]}"; do
  IFS='|' read -r label boards seats <<<"$r"
  # Best of three each, alternating, each after the last run's files are
  # gone and on disk: the machine is shared and writes back in the background.
  one=999 two=999
  for _ in 1 2 3; do
    for cores in 1 2; do
      rm -f "$tmp"/out/*
      sync
      # shellcheck disable=SC2086
      t=$(seconds taskset -c "$([ "$cores" = 1 ] && echo 0 || echo 0,1)" "$cli" --secure --threads "$cores" $seats \
        --definitions "$tmp/defs" --output "$tmp/out" --boards "$boards" --no-pbn --quiet)
      if [ "$cores" = 1 ]; then one=$(awk -v a="$one" -v b="$t" 'BEGIN { print (b < a ? b : a) }')
      else two=$(awk -v a="$two" -v b="$t" 'BEGIN { print (b < a ? b : a) }'); fi
    done
  done
  printf '%-44s %8s %9ss %9ss %8sx\n' "$label" "$boards" "$one" "$two" "$(ratio "$one" "$two")"
done
