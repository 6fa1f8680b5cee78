#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package as a user gets it: built by CPack from this build into a temporary folder,
# unpacked there with dpkg-deb, the files it must hold checked, the unpacked program run, its
# metadata validated and the package checked by lintian.
# Usage: paquet.sh <build folder> <version>
set -euo pipefail
build=$1
version=$2
arch=$(dpkg --print-architecture)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

echec() {
    echo "ÉCHEC : $*" >&2
    exit 1
}

cpack --config "$build/CPackConfig.cmake" -B "$tmp" > "$tmp/cpack.log" 2>&1 ||
    { cat "$tmp/cpack.log" >&2; echec "cpack"; }
deb=$tmp/orvane_${version}_${arch}.deb
[ -f "$deb" ] || echec "$deb n'a pas été produit"

racine=$tmp/racine
dpkg-deb -x "$deb" "$racine"
for fichier in usr/bin/orvane usr/share/applications/orvane.desktop \
    usr/share/man/man1/orvane.1.gz usr/share/doc/orvane/copyright \
    usr/share/doc/orvane/changelog.gz usr/share/metainfo/example.orvane.Orvane.metainfo.xml \
    usr/share/mime/packages/orvane.xml \
    usr/share/icons/hicolor/{16x16,22x22,24x24,32x32,48x48,64x64,128x128,256x256}/apps/orvane.png; do
    [ -f "$racine/$fichier" ] || echec "$fichier manque dans le paquet"
done
for paquet in libqt5sql5-mysql libqt5svg5 libqt5printsupport5 qttranslations5-l10n \
    fonts-liberation liberfa1 libqt5widgets5 libisal2; do
    dpkg-deb -f "$deb" Depends | grep -qw "$paquet" || echec "$paquet manque dans Depends"
done

# The unpacked program, away from the build, on no display.
orvane=$racine/usr/bin/orvane
sortie=$(env -u DISPLAY -u WAYLAND_DISPLAY "$orvane" --version)
[ "$sortie" = "orvane $version" ] || echec "--version a écrit « $sortie »"
# The simple model at 45° N on 21 June, worked by hand in tst_cli.cpp: δ = 23.447°,
# H = acos(−tan 45° · tan δ) = 115.70°, sunrise 4.30 and sunset 19.71 h of true solar time.
sortie=$(env -u DISPLAY -u WAYLAND_DISPLAY "$orvane" --latitude 45 --date 2026-06-21 --tableau)
attendu=$'date;lever;coucher;duree\n2026-06-21;4h18;19h43;15h25'
[ "$sortie" = "$attendu" ] || echec "--tableau a écrit « $sortie », attendu « $attendu »"

# The desktop entry opens a site file; the MIME database takes the site files' type, known by
# their suffix and by the format's name, which a site that the program writes holds early
# enough for the magic's range.
desktop-file-validate "$racine/usr/share/applications/orvane.desktop" ||
    echec "desktop-file-validate"
grep -qx 'Exec=orvane %f' "$racine/usr/share/applications/orvane.desktop" ||
    echec "l'entrée de bureau ne prend pas de fichier"
mkdir -p "$tmp/mime/packages"
cp "$racine/usr/share/mime/packages/orvane.xml" "$tmp/mime/packages/"
update-mime-database "$tmp/mime" > "$tmp/mime.log" 2>&1 ||
    { cat "$tmp/mime.log" >&2; echec "update-mime-database"; }
grep -qx '50:application/x-orvane-site:\*\.orvane' "$tmp/mime/globs2" ||
    echec "*.orvane manque dans la base MIME"
grep -aq '"format": "orvane-site"' "$tmp/mime/magic" || echec "la signature manque dans la base MIME"
env -u DISPLAY -u WAYLAND_DISPLAY "$orvane" --latitude 45 --date 2026-06-21 --date 2026-12-21 \
    --limites --enregistrer-site "$tmp/essai.orvane"
head -c 4096 "$tmp/essai.orvane" | grep -q '"format": "orvane-site"' ||
    echec "le nom du format est hors de la portée de la signature MIME"

appstreamcli validate-tree --no-net "$racine" || echec "appstreamcli validate-tree"
# Errors fail; warnings are printed for whoever reads the log.
lintian --fail-on error "$deb" || echec "lintian"
echo "paquet : $(basename "$deb") construit, déballé et vérifié"
