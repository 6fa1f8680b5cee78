#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Orvane — sun-path diagrams.
#
# The heaviest Mode 1 diagram drawn with matplotlib, as a yardstick for the whole-process time of
# `orvane ... --export`: latitude 45°, the chosen date and twelve saved dates, the limit courses
# and the hour lines, saved as a 1920 x 1080 PNG. The same solar model, the same sampling and the
# same disc (altitude circles every 10°, azimuth ticks every 10°, graduations, cardinal labels),
# legend and caption, in scene units: the origin at the zenith, y downwards.
#
#   python3 bench/diagramme_matplotlib.py SORTIE.png
#   python3 bench/diagramme_matplotlib.py --lot LOT.csv   one PNG per line of an orvane batch
#                                                         (its export and latitude columns)
import math
import sys
from datetime import date

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
from matplotlib.patches import Circle  # noqa: E402

LARGEUR, HAUTEUR = 1920, 1080
LATITUDE = 45.0
CHOISIE = date(2021, 6, 21)
ENREGISTREES = [date(2021, mois, 10) for mois in range(1, 13)]
COULEURS = [(228, 152, 0), (0, 250, 240), (63, 145, 47), (255, 0, 75), (242, 241, 0),
            (149, 137, 188), (204, 0, 97), (0, 169, 135), (0, 150, 217), (0, 255, 0),
            (0, 0, 255), (239, 52, 215)]
DIAMETRE = min(LARGEUR - 300, HAUTEUR - 140)
SEGMENTS = 44


def declinaison(n):
    return -23.45 * math.sin(2 * math.pi * (n + 101) / 365.25)


def lever_coucher(n, phi):
    c = -math.tan(math.radians(phi)) * math.tan(math.radians(declinaison(n)))
    h0 = math.degrees(math.acos(max(-1.0, min(1.0, c)))) / 15
    lever = math.ceil(100 * (12 - h0) + 0.5) / 100
    coucher = math.floor(100 * (12 + h0) + 0.5) / 100
    return lever, coucher


def position(n, phi, t):
    d, p = math.radians(declinaison(n)), math.radians(phi)
    angle = (t - 12) * 15
    h = math.radians(angle)
    alt = math.degrees(math.asin(math.sin(d) * math.sin(p) + math.cos(d) * math.cos(p) * math.cos(h)))
    c = (math.sin(d) * math.cos(p) - math.cos(d) * math.sin(p) * math.cos(h)) / math.cos(math.radians(alt))
    az = math.degrees(math.acos(max(-1.0, min(1.0, c))))
    if angle < 0:
        az = -az
    return alt, az


def projection(az, alt):
    k = (1 - alt / 90) * DIAMETRE
    return -math.sin(math.radians(az)) * k / 2, -math.cos(math.radians(az)) * k / 2


def jours_limites(phi):
    midi = [0.0] + [position(n, phi, 12.0)[0] for n in range(1, 367)]
    extremes = [n for n in range(2, 366)
                if (midi[n - 1] >= midi[n] <= midi[n + 1]) or (midi[n - 1] <= midi[n] >= midi[n + 1])]
    return extremes[0], extremes[1]


def etiquette_date(jour):
    mois = ["janv.", "févr.", "mars", "avr.", "mai", "juin", "juil.", "août", "sept.", "oct.",
            "nov.", "déc."]
    return f"{jour.day} {mois[jour.month - 1]}"


def main(sortie, latitude=LATITUDE):
    figure = plt.figure(figsize=(LARGEUR / 100, HAUTEUR / 100), dpi=100)
    axes = figure.add_axes([0, 0, 1, 1])
    axes.set_xlim(-LARGEUR / 2, LARGEUR / 2)
    axes.set_ylim(HAUTEUR / 2, -HAUTEUR / 2)
    axes.set_axis_off()
    gris = dict(color="black", linewidth=1, alpha=0.7)

    # The disc: altitude circles and their labels, azimuth axes and ticks with their labels.
    for hauteur in range(0, 90, 10):
        axes.add_patch(Circle((0, 0), (1 - hauteur / 90) * DIAMETRE / 2, fill=False, **gris))
        if hauteur:
            axes.text(-10, -(DIAMETRE / 2) * (1 - hauteur / 90) - 5, str(hauteur), fontsize=5,
                      family="monospace", alpha=0.7)
    rayon_texte = DIAMETRE / 2 + 15
    for a in range(-170, 181, 10):
        s, c = math.sin(math.radians(a)), math.cos(math.radians(a))
        debut = 0 if a % 90 == 0 else (1 - 80 / 90) * DIAMETRE / 2
        axes.plot([-s * debut, -s * DIAMETRE / 2], [-c * debut, -c * DIAMETRE / 2], **gris)
        axes.text(-s * rayon_texte - 8, 5 - c * rayon_texte, str(a), fontsize=5,
                  family="monospace", alpha=0.7)
    for texte, x, y in (("NORD", -23, -DIAMETRE / 2 - 24), ("SUD", -19, DIAMETRE / 2 + 36),
                        ("EST", DIAMETRE / 2 + 40, 7), ("OUEST", -DIAMETRE / 2 - 100, 7)):
        axes.text(x, y, texte, fontsize=11, family="monospace", weight="bold")

    def course(n, couleur, largeur):
        lever, coucher = lever_coucher(n, latitude)
        xs, ys = [], []
        for i in range(SEGMENTS + 1):
            alt, az = position(n, latitude, lever + i * (coucher - lever) / SEGMENTS)
            x, y = projection(az, math.floor(alt * 1000) / 1000)
            xs.append(x)
            ys.append(y)
        axes.plot(xs, ys, color=couleur, linewidth=largeur)
        return lever, coucher, xs[0], ys[0]

    def legende(rang, texte, couleur):
        y = 10 - HAUTEUR / 2 + 15 * rang + 5
        axes.plot([10 - LARGEUR / 2, 20 - LARGEUR / 2], [y, y], color=couleur, linewidth=2)
        axes.text(20 - LARGEUR / 2, y + 4, texte, fontsize=7, family="monospace", color=couleur)

    # The chosen date in red, the limit courses labelled beside them, the hour lines, the saved
    # dates in their colours.
    course(CHOISIE.timetuple().tm_yday, "red", 1)
    legende(0, etiquette_date(CHOISIE), "red")
    jour1, jour2 = jours_limites(latitude)
    bornes = []
    for jour in (jour1, jour2):
        lever, coucher, x0, y0 = course(jour, "red", 2)
        bornes.append((lever, coucher))
        libelle = date.fromordinal(date(CHOISIE.year, 1, 1).toordinal() + jour - 1)
        axes.text(x0 + 40, y0 if y0 >= 0 else 1.15 * y0, etiquette_date(libelle), fontsize=7,
                  family="monospace", weight="bold", color="red")
    heure_min = math.floor(min(b[0] for b in bornes))
    heure_max = math.floor(max(b[1] for b in bornes))
    for heure in range(heure_min, heure_max + 1):
        if heure in (0, 12):
            continue
        xs, ys = [], []
        jour = min(jour1, jour2)
        while jour <= max(jour1, jour2):
            alt, az = position(jour, latitude, heure)
            if 0 <= alt <= 90:
                x, y = projection(az, alt)
                xs.append(x)
                ys.append(y)
                reste = max(jour1, jour2) - jour
                jour += 15 if reste > 14 else 10 if reste > 9 else 5 if reste > 4 else 1
            else:
                jour += 1
        if xs:
            axes.plot(xs, ys, color="red", linewidth=1, dashes=(7, 8))
            axes.text(xs[0], ys[0] - 20, f"{heure}h", fontsize=6, family="monospace", color="red")
    for rang, jour in enumerate(sorted(ENREGISTREES, key=lambda j: j.timetuple().tm_yday)):
        rouge, vert, bleu = COULEURS[rang]
        couleur = (rouge / 255, vert / 255, bleu / 255)
        course(jour.timetuple().tm_yday, couleur, 2)
        legende(rang + 1, etiquette_date(jour), couleur)

    axes.text(10 - LARGEUR / 2, HAUTEUR / 2 - 30 + 12, f"Latitude: {latitude:g}°", fontsize=8,
              family="monospace", weight="bold")
    figure.savefig(sortie, dpi=100, facecolor="white")
    plt.close(figure)


def lot(fichier):
    with open(fichier, encoding="utf-8") as lecture:
        lignes = [ligne.rstrip("\n").split(";") for ligne in lecture if ligne.strip()]
    colonnes = lignes[0]
    for cellules in lignes[1:]:
        ligne = dict(zip(colonnes, cellules))
        main(ligne["export"], float(ligne["latitude"]))


if __name__ == "__main__":
    if len(sys.argv) == 3 and sys.argv[1] == "--lot":
        lot(sys.argv[2])
    elif len(sys.argv) == 2:
        main(sys.argv[1])
    else:
        sys.exit("usage: diagramme_matplotlib.py SORTIE.png | --lot LOT.csv")
