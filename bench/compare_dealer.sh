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
#   4. a whole secure run on one core and on two.
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
# benchmark name, counter -> its value
rate_of() {
  "$bench" --benchmark_filter="^$1/" --benchmark_min_time=1 --benchmark_format=csv 2>/dev/null |
    awk -F, -v want="$2" 'NR==1 { for (i = 1; i <= NF; i++) if ($i == "\"" want "\"" || $i == want) col = i; next }
                          col { print $col; exit }'
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
  classic=$(rate_of "Classic/$ours" attempts/s)
  classicBoards=$(rate_of "Classic/$ours" boards/s)
  secureBoards=$(rate_of "Secure/$ours" boards/s)
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
ours=$(rate_of "Secure/North4441_20to22" boards/s)
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
echo "4. Whole secure run of $stackBoards boards, North 4-4-4-1 20-22, one core and two"
one=$(seconds taskset -c 0 "$cli" --secure --threads 1 --north N4441 --definitions "$tmp/defs" --output "$tmp/out" \
  --boards "$stackBoards" --no-pbn --quiet)
two=$(seconds taskset -c 0,1 "$cli" --secure --threads 2 --north N4441 --definitions "$tmp/defs" \
  --output "$tmp/out" --boards "$stackBoards" --no-pbn --quiet)
printf "%-36s %8s s\n%-36s %8s s\n%-36s %8sx\n" "one core, --threads 1" "$one" "two cores, --threads 2" "$two" \
  "speed-up" "$(ratio "$one" "$two")"
