#!/usr/bin/env bash
# Checks the package scripts/package.sh built: every file an installed
# program needs is in it, its desktop entry and AppStream data validate,
# lintian finds no error, and the unpacked command-line dealer deals a
# sample into the user's data folder rather than beside itself.
set -euo pipefail
cd "$(dirname "$0")/.."
deb=$(ls zelvano_*.deb | head -n 1)
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root/pkg"
fail=0
need() { [ -e "$root/pkg/$1" ] || { echo "missing from $deb: /$1" >&2; fail=1; }; }
id=org.zelvano.Zelvano
for f in usr/bin/zelvano usr/bin/zelvano-deal \
         usr/share/zelvano/help/zelv.html "usr/share/zelvano/Hand Definitions/2C Strong 22+.HDS" \
         usr/share/applications/$id.desktop usr/share/metainfo/$id.metainfo.xml \
         usr/share/icons/hicolor/scalable/apps/$id.svg usr/share/icons/hicolor/48x48/apps/$id.png \
         usr/share/icons/hicolor/256x256/apps/$id.png \
         usr/share/man/man1/zelvano.1.gz usr/share/man/man1/zelvano-deal.1.gz \
         usr/share/doc/zelvano/copyright usr/share/doc/zelvano/changelog.gz; do
  need "$f"
done
desktop-file-validate "$root/pkg/usr/share/applications/$id.desktop"
appstreamcli validate --no-net "$root/pkg/usr/share/metainfo/$id.metainfo.xml" >/dev/null
if command -v lintian >/dev/null; then
  # Errors fail the check; the warnings left are listed in the README.
  lintian --fail-on error --suppress-tags-from-file packaging/lintian-known "$deb"
fi

# Dealing from the unpacked program with a home of its own.
home="$root/home"
mkdir -p "$home"
HOME="$home" XDG_DATA_HOME= "$root/pkg/usr/bin/zelvano-deal" --north "2C Strong 22+" --boards 2 --quiet
data="$home/.local/share/Zelvano"
[ "$(stat -c %s "$data/Hands/ZELV.DGE")" = 256 ] || { echo "the boards did not land in $data/Hands" >&2; fail=1; }
[ -f "$data/Hand Definitions/1NT 15-17.HDS" ] || { echo "the samples were not copied to $data" >&2; fail=1; }
[ ! -e "$root/pkg/usr/bin/Hands" ] || { echo "files were written beside the program" >&2; fail=1; }
# The solver comes with the package's dependencies: the boards analysed.
"$root/pkg/usr/bin/zelvano-deal" show "$data/Hands/ZELV.DGE" --dd | grep -q '^\[ParContract "' \
  || { echo "the unpacked program did not analyse the boards" >&2; fail=1; }
"$root/pkg/usr/bin/zelvano-deal" --version | grep -q "^zelvano-deal [0-9]" || fail=1
QT_QPA_PLATFORM=offscreen "$root/pkg/usr/bin/zelvano" --version | grep -q "^zelvano [0-9]" || fail=1
[ $fail = 0 ] && echo "package $deb: ok"
exit $fail
