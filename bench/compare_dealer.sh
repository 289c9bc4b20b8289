#!/usr/bin/env bash
# Runs the four benchmark conditions through our engine and through Debian's
# `dealer` one after the other, and prints our attempts per second over its
# deals per second. Usage: bench/compare_dealer.sh [BUILD_DIR] [DEALS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
deals=${2:-4000000}
bench="$build/bin/zelv_bench"
dealer=$(command -v dealer || echo /usr/games/dealer)
[ -x "$bench" ] || { echo "no $bench: build first (cmake --build --preset release)" >&2; exit 1; }
[ -x "$dealer" ] || { echo "dealer is not installed: apt-get install dealer" >&2; exit 1; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# name | our benchmark | dealer condition (empty: every deal)
cases=(
  "AllFree|Classic/AllFree|"
  "North20Plus|Classic/North20Plus|hcp(north) >= 20"
  "North15to17_4333|Classic/North15to17_4333|hcp(north) >= 15 && hcp(north) <= 17 && shape(north, 4333)"
  "NorthSA_HK_Unseeded|Classic/NorthSA_HK_Unseeded|hascard(north, AS) && hascard(north, KH)"
)

rate_of() { # benchmark name, optional prefix -> attempts per second
  "$bench" --benchmark_filter="^$1/" --benchmark_min_time=1 --benchmark_format=csv 2>/dev/null |
    awk -F, 'NR==1 { for (i = 1; i <= NF; i++) if ($i == "\"attempts/s\"" || $i == "attempts/s") col = i; next }
             col { print $col; exit }'
}

printf '%-22s %12s %12s %12s %15s %15s\n' "condition" "classic/s" "secure/s" "dealer/s" "classic/dealer" "secure/classic"
for c in "${cases[@]}"; do
  IFS='|' read -r name ours cond <<<"$c"
  ourRate=$(rate_of "$ours")
  secureRate=$(rate_of "${ours/Classic/Secure}" || true)
  {
    echo "generate $deals"
    [ -n "$cond" ] && echo "condition $cond"
    echo "action average hcp(north)"
  } >"$tmp/$name.dl"
  out=$("$dealer" "$tmp/$name.dl")
  gen=$(awk '/^Generated/ { print $2 }' <<<"$out")
  secs=$(awk '/^Time needed/ { print $3 }' <<<"$out")
  dealerRate=$(awk -v g="$gen" -v s="$secs" 'BEGIN { printf "%.0f", g / s }')
  ratio=$(awk -v a="$ourRate" -v b="$dealerRate" 'BEGIN { printf "%.1f", a / b }')
  secureRatio=$(awk -v a="${secureRate:-0}" -v b="$ourRate" 'BEGIN { printf "%.1f", a / b }')
  printf "%-22s %12.0f %12.0f %12.0f %14sx %14sx\n" "$name" "$ourRate" "${secureRate:-0}" "$dealerRate" "$ratio" "$secureRatio"
done
