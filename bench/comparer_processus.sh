#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Orvane — sun-path diagrams.
#
# Whole-process time of the heaviest Mode 1 diagram written as a 1920 x 1080 PNG: the program's
# command line against the same diagram drawn by a matplotlib script, side by side in one run.
# Each is started RUNS times in turn, after one untimed start of each that fills the caches;
# prints the mean wall time of one start of each and the ratio.
#
#   bench/comparer_processus.sh ORVANE [RUNS]      (make bench-processus)
set -eu

orvane=${1:?usage: comparer_processus.sh ORVANE [RUNS]}
runs=${2:-10}
script=$(dirname "$0")/diagramme_matplotlib.py
python=/usr/bin/python3
sortie=$(mktemp -d)
trap 'rm -rf "$sortie"' EXIT

# Latitude 45, the chosen date and twelve saved dates, limit courses and hour lines.
dates="--date 2021-06-21"
for mois in 01 02 03 04 05 06 07 08 09 10 11 12; do
    dates="$dates --date 2021-$mois-10"
done

orvane_une_fois() {
    # shellcheck disable=SC2086
    "$orvane" --latitude 45 $dates --limites --heures --export "$sortie/orvane.png" 2>/dev/null
}
matplotlib_une_fois() {
    "$python" "$script" "$sortie/matplotlib.png"
}

maintenant() { date +%s%N; }

orvane_une_fois
matplotlib_une_fois
total_orvane=0
total_matplotlib=0
i=0
while [ "$i" -lt "$runs" ]; do
    debut=$(maintenant); orvane_une_fois; fin=$(maintenant)
    total_orvane=$((total_orvane + fin - debut))
    debut=$(maintenant); matplotlib_une_fois; fin=$(maintenant)
    total_matplotlib=$((total_matplotlib + fin - debut))
    i=$((i + 1))
done

awk -v o="$total_orvane" -v m="$total_matplotlib" -v n="$runs" 'BEGIN {
    printf "orvane --export (PNG 1920x1080): %8.1f ms per run (%d runs)\n", o / n / 1e6, n
    printf "matplotlib script (same PNG):    %8.1f ms per run (%d runs)\n", m / n / 1e6, n
    printf "ratio matplotlib / orvane:       %8.1f\n", m / o
}'
