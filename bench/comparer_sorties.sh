#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Orvane — sun-path diagrams.
#
# Writes the same set of diagrams (SVG) and tables (CSV) with two builds of the command line
# and compares them byte for byte: eleven latitudes from −78° to 80°, both suns, both time
# scales, the three projections, three places and years (Paris 2026, Kolkata 2024, Moscow
# 2014), then a horizon joined by straight lines, a facade with its devices and a wall, in both
# suns. Prints the count of files compared and of files that differ, and lists the latter.
#
#   bench/comparer_sorties.sh AVANT APRES [DOSSIER]
set -eu

avant=${1:?usage: comparer_sorties.sh AVANT APRES [DOSSIER]}
apres=${2:?usage: comparer_sorties.sh AVANT APRES [DOSSIER]}
dossier=${3:-$(mktemp -d)}
mkdir -p "$dossier/avant" "$dossier/apres"

# A skyline of 90 points every 4°, compass bearings, heights 0 to 38°.
masque="$dossier/masque.txt"
awk 'BEGIN { for (i = 0; i < 90; ++i) printf "%d %.1f\n", i * 4, (i * 37) % 39 }' >"$masque"

ecrire() {
    nom=$1
    shift
    for cote in avant apres; do
        if [ "$cote" = avant ]; then programme=$avant; else programme=$apres; fi
        "$programme" "$@" --export "$dossier/$cote/$nom.svg" --tableau \
            >"$dossier/$cote/$nom.csv" 2>"$dossier/$cote/$nom.err" || echo "statut $?" \
            >>"$dossier/$cote/$nom.err"
    done
}

for lieu in "2.35 Europe/Paris 2026" "88.37 Asia/Kolkata 2024" "37.62 Europe/Moscow 2014"; do
    set -- $lieu
    longitude=$1
    fuseau=$2
    annee=$3
    for latitude in -78 -66.6 -45 -23.44 -10 0 12.5 23.44 48.85 66.6 80; do
        for modele in simple precis; do
            for heure in solaire legale; do
                for projection in equidistante stereographique cylindrique; do
                    ecrire "$annee-$latitude-$modele-$heure-$projection" --latitude "$latitude" \
                        --longitude "$longitude" --fuseau "$fuseau" --heure "$heure" \
                        --modele "$modele" --projection "$projection" --date "$annee-06-21" \
                        --date "$annee-02-10" --date "$annee-11-03" --date "$annee-12-21" \
                        --heures --taille 1200x900
                done
            done
        done
    done
done

# Masks, a facade and a wall, with both suns and both scales.
for latitude in -45 0 23.44 48.85 66.6; do
    for modele in simple precis; do
        for heure in solaire legale; do
            for projection in equidistante cylindrique; do
                base="--latitude $latitude --longitude 2.35 --fuseau Europe/Paris --heure $heure
                      --modele $modele --projection $projection --date 2026-06-21
                      --date 2026-03-20 --date 2026-12-21 --heures --taille 1200x900"
                # shellcheck disable=SC2086
                ecrire "masque-$latitude-$modele-$heure-$projection" $base \
                    --masque "$masque" --convention nord
                # shellcheck disable=SC2086
                ecrire "facade-$latitude-$modele-$heure-$projection" $base --facade 200 \
                    --casquette 1:2.5 --joue-gauche 0.6:1 --obstacle 150:12:250:9:14
                # shellcheck disable=SC2086
                ecrire "tout-$latitude-$modele-$heure-$projection" $base --facade 160 \
                    --masque "$masque" --convention nord --obstacle 100:8:170:15:6
            done
        done
    done
done

total=0
differents=0
for fichier in "$dossier"/avant/*; do
    nom=$(basename "$fichier")
    total=$((total + 1))
    if ! cmp -s "$fichier" "$dossier/apres/$nom"; then
        differents=$((differents + 1))
        echo "diffère : $nom"
    fi
done
echo "$total fichiers comparés, $differents différents ($dossier)"
