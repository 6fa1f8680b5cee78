#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Orvane — sun-path diagrams.
#
# Start-up time of the window: the program started RUNS times with ORVANE_MESURE_DEMARRAGE set,
# each run reporting the time from its process's start to the window's first painted frame and
# the processor time it took; prints every run and the medians. Under an X server when DISPLAY
# is set (or through xvfb-run when it is installed), else on the offscreen platform.
#
#   bench/mesurer_demarrage.sh ORVANE [RUNS]      (make bench-demarrage)
set -eu

orvane=${1:?usage: mesurer_demarrage.sh ORVANE [RUNS]}
runs=${2:-11}
journal=$(mktemp)
trap 'rm -f "$journal"' EXIT

lancer() {
    if [ -n "${DISPLAY:-}" ]; then
        ORVANE_MESURE_DEMARRAGE=1 "$orvane"
    elif command -v xvfb-run >/dev/null 2>&1; then
        ORVANE_MESURE_DEMARRAGE=1 xvfb-run -a -s '-screen 0 1600x900x24' "$orvane"
    else
        ORVANE_MESURE_DEMARRAGE=1 QT_QPA_PLATFORM=offscreen "$orvane"
    fi
}

# One untimed start fills the caches of the file system and of fontconfig.
lancer >/dev/null 2>&1 || true
i=0
while [ "$i" -lt "$runs" ]; do
    lancer 2>&1 | grep '^Première image' | tee -a "$journal"
    i=$((i + 1))
done

# "Première image : W ms après le lancement, C ms de processeur"
mediane() {
    sort -n | awk '{ v[NR] = $1 } END { if (NR) print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'
}
printf 'médiane : %s ms après le lancement, %s ms de processeur (%s démarrages)\n' \
    "$(awk '{ print $4 }' "$journal" | mediane)" "$(awk '{ print $9 }' "$journal" | mediane)" \
    "$(wc -l <"$journal")"
