#!/usr/bin/env bash
# Runs the same dealer scripts through Debian's `dealer` and through
# `zelvano-deal script`, one after the other in one run, and prints deals
# per second of each (deals generated over the time each reports for
# dealing, and over the wall time of the whole command) and their ratio.
# The scripts are dealer's own examples (Descr.1c, Descr.2nt,
# Descr.weaktwo, Descr.stayman) and a partnership-points-and-fit script,
# each made to generate the same number of deals.
# Usage: bench/compare_script.sh [BUILD_DIR] [DEALS] [THREADS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
deals=${2:-4000000}
threads=${3:-$(nproc)}
cli="$build/bin/zelvano-deal"
dealer=$(command -v dealer || echo /usr/games/dealer)
examples=/usr/share/doc/dealer/examples
[ -x "$cli" ] || { echo "no $cli: build first (cmake --build --preset release)" >&2; exit 1; }
[ -x "$dealer" ] || { echo "dealer is not installed: apt-get install dealer" >&2; exit 1; }
[ -d "$examples" ] || { echo "dealer's examples are missing ($examples)" >&2; exit 1; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cat >"$tmp/partnership" <<'SCRIPT'
# North-South 25 or more points with an eight-card major fit
condition hcp(north) + hcp(south) >= 25 && (spades(north) + spades(south) >= 8 || hearts(north) + hearts(south) >= 8)
action average "north" hcp(north)
SCRIPT
for name in 1c 2nt weaktwo stayman; do cp "$examples/Descr.$name" "$tmp/$name"; done

# The script with its generate and produce replaced: every run deals $deals times.
prepare() {
  # also a bare "produce" or "generate" with its number on the next line (Descr.2nt)
  awk 'BEGIN { skip = 0 } /^[[:space:]]*(produce|generate)[[:space:]]*$/ { skip = 1; next }
       skip && /^[[:space:]]*[0-9]+[[:space:]]*$/ { skip = 0; next } { skip = 0; print }' "$1" |
    grep -v -E '^[[:space:]]*(generate|produce)[[:space:]]+[0-9]+' >"$1.run"
  printf '\ngenerate %s\nproduce %s\n' "$deals" "$deals" >>"$1.run"
}
rate() { awk '/^Generated/ { g = $2 } /^Time needed/ { t = $3 } END { if (t > 0) printf "%.0f", g / t; else print "inf" }' "$1"; }
wall() { # output file, command... -> wall seconds
  local t0 t1 out=$1
  shift
  t0=$(date +%s.%N)
  "$@" >"$out"
  t1=$(date +%s.%N)
  awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", b - a }'
}

printf '%-12s %12s %12s %7s %10s %10s %7s\n' script "dealer/s" "zelvano/s" ratio "dealer s" "zelvano s" "wall x"
for name in 1c 2nt weaktwo stayman partnership; do
  prepare "$tmp/$name"
  dw=$(wall "$tmp/$name.dealer" "$dealer" -s 1 "$tmp/$name.run")
  zw=$(wall "$tmp/$name.zelv" "$cli" script --seed 1 --threads "$threads" "$tmp/$name.run")
  d=$(rate "$tmp/$name.dealer")
  z=$(rate "$tmp/$name.zelv")
  printf '%-12s %12s %12s %7s %10s %10s %7s\n' "$name" "$d" "$z" "$(awk -v a="$z" -v b="$d" 'BEGIN { printf "%.1f", a / b }')" \
    "$dw" "$zw" "$(awk -v a="$dw" -v b="$zw" 'BEGIN { printf "%.1f", a / b }')"
done
echo "($deals deals each; zelvano-deal on $threads threads; $(nproc) cores)"
