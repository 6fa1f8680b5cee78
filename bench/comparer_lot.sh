#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Orvane — sun-path diagrams.
#
# N diagrams (200 by default) of 1920 x 1080 as PNG, the heaviest Mode 1 diagram at N
# latitudes: one `orvane --lot` on a batch file, against a shell loop starting one `orvane` per
# line, and against the matplotlib script drawing the same N PNGs in one Python process. Prints
# the wall time of each and the ratios.
#
#   bench/comparer_lot.sh ORVANE [N]      (make bench-lot)
set -eu

orvane=${1:?usage: comparer_lot.sh ORVANE [N]}
n=${2:-200}
script=$(dirname "$0")/diagramme_matplotlib.py
python=/usr/bin/python3
dossier=$(mktemp -d)
trap 'rm -rf "$dossier"' EXIT

# The chosen date and twelve saved dates, limit courses and hour lines, latitudes 30 to 60.
dates="2021-06-21"
for mois in 01 02 03 04 05 06 07 08 09 10 11 12; do
    dates="$dates 2021-$mois-10"
done
latitude() { awk -v i="$1" -v n="$n" 'BEGIN { printf "%.4f", 30 + 30 * i / n }'; }
lot() {
    echo "export;latitude;date;heures"
    i=0
    while [ "$i" -lt "$n" ]; do
        echo "$dossier/$1/$i.png;$(latitude "$i");$dates;oui"
        i=$((i + 1))
    done
}
mkdir "$dossier/lot" "$dossier/boucle" "$dossier/matplotlib"
lot lot >"$dossier/lot.csv"
lot matplotlib >"$dossier/matplotlib.csv"

maintenant() { date +%s%N; }

debut=$(maintenant)
"$orvane" --lot "$dossier/lot.csv" --silencieux
t_lot=$(($(maintenant) - debut))

debut=$(maintenant)
i=0
while [ "$i" -lt "$n" ]; do
    set -- --latitude "$(latitude "$i")" --heures
    for d in $dates; do set -- "$@" --date "$d"; done
    "$orvane" "$@" --export "$dossier/boucle/$i.png"
    i=$((i + 1))
done
t_boucle=$(($(maintenant) - debut))

debut=$(maintenant)
"$python" "$script" --lot "$dossier/matplotlib.csv"
t_matplotlib=$(($(maintenant) - debut))

# The batch draws what the loop draws, byte for byte.
cmp -s "$dossier/lot/0.png" "$dossier/boucle/0.png" || echo "le lot et la boucle diffèrent" >&2

awk -v l="$t_lot" -v b="$t_boucle" -v m="$t_matplotlib" -v n="$n" -v c="$(nproc)" 'BEGIN {
    printf "%d PNG 1920x1080, %d cores\n", n, c
    printf "orvane --lot:              %8.2f s (%6.1f ms per diagram)\n", l / 1e9, l / n / 1e6
    printf "shell loop, one orvane:    %8.2f s (%6.1f ms per diagram)\n", b / 1e9, b / n / 1e6
    printf "matplotlib, one process:   %8.2f s (%6.1f ms per diagram)\n", m / 1e9, m / n / 1e6
    printf "loop / lot:                %8.1f\n", b / l
    printf "matplotlib / lot:          %8.1f\n", m / l
}'
