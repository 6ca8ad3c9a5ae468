#!/usr/bin/env bash
# Builds the Debian package from a finished build, unpacks it into a scratch
# root and checks that what a user installs is complete and starts.
set -euo pipefail

build=$1
work=$(mktemp -d /tmp/quenzo-deb.XXXXXX)
trap 'rm -rf "$work"' EXIT

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/out/quenzo_*.deb)
echo "paquet : $(basename "$deb") ($(du -h "$deb" | cut -f1))"

fail() { echo "ÉCHEC : $*" >&2; exit 1; }

info=$(dpkg-deb -I "$deb")
depends=$(echo "$info" | sed -n 's/^ Depends: //p')
echo "dépendances : $depends"
for lib in libqt6widgets6 libqt6printsupport6 libsqlcipher0 libodbc2 libcurl4 libical3 qt6-qpa-plugins; do
  [[ $depends == *"$lib"* ]] || fail "dépendance absente : $lib"
done

dpkg-deb -x "$deb" "$work/root"
for f in usr/bin/quenzo usr/bin/quenzo-cli usr/share/applications/quenzo.desktop \
         usr/share/icons/hicolor/scalable/apps/quenzo.svg; do
  [ -e "$work/root/$f" ] || fail "fichier absent du paquet : $f"
done
grep -q '^Exec=quenzo$' "$work/root/usr/share/applications/quenzo.desktop" || fail "lanceur sans Exec=quenzo"
grep -q '^Icon=quenzo$' "$work/root/usr/share/applications/quenzo.desktop" || fail "lanceur sans icône"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$work/root/usr/share/applications/quenzo.desktop"
fi

version=$("$work/root/usr/bin/quenzo-cli" --version)
echo "$version"
[[ $version == "quenzo-cli "[0-9]* ]] || fail "quenzo-cli --version : $version"
