// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_ANNEE_DESSIN_GRILLE_H
#define ORVANE_ANNEE_DESSIN_GRILLE_H

// The year's grid of sun on the window drawn as a heat map: the months down, the hours of the
// scale across, each cell's shade its mean minutes of sun per day (0 to 60, white for none),
// the month's mean daily total at the end of its row, the year's total hours and the shades'
// scale under it. Widget-free: it paints on any QPainter (the view, an image, SVG, the report
// page), and writes its files through ecriture/.

#include "annee/grille_annee.h"

#include <QColor>
#include <QRectF>
#include <QSize>
#include <QString>

class QPainter;

// The shade of `minutes` (0..60) of sun in an hour.
QColor couleur_minutes(double minutes);

// Draws `grille` in `cadre` (logical units of `peintre`), titled with its year; `echelle` names
// the scale of its hours ("Temps solaire vrai").
void dessiner_grille(QPainter &peintre, const QRectF &cadre, const Grille_Annee &grille,
                     const QString &echelle);

// The texts the drawing writes: the title ("Soleil sur la fenêtre au fil de l'année 2026"),
// the year's total ("Total de l'année : 1 234 h"), a month's name.
QString titre_grille(const Grille_Annee &grille);
QString texte_total_annee(const Grille_Annee &grille);
QString nom_mois(int mois);

// The size of the grid's picture in an exported file, pixels.
inline constexpr QSize taille_image_grille(1400, 760);

// Writes the grid to `fichier`: a PNG picture, an SVG drawing or the CSV (csv_grille) by the
// name's suffix (.png, .svg, .csv, any case). The cause of a failure in French, or an empty
// string once written.
QString exporter_grille(const Grille_Annee &grille, const QString &echelle, const QString &fichier);

#endif
