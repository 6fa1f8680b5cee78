// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_ANNEE_GRILLE_ANNEE_H
#define ORVANE_ANNEE_GRILLE_ANNEE_H

// The sun on a window's point, on one day and over a whole year, as the output table counts it:
// the sky's minute-by-minute count of the solar day behind the window's test (masks/
// ensoleillement.h), its periods read on the sky's scale. Widget-free.
//
// Times are hours of the sky's scale (true solar time, or the clock of its zone); the grid's
// cells are minutes.

#include "masks/ensoleillement.h"

#include <QByteArray>
#include <QDate>

#include <array>

class Ciel;

// The sun on the window on the row of `date`, whose solar day is `jour` (Ciel::Jour::jour): the
// hours as `Ciel::ensoleillement` counts them, and the periods on the sky's scale, each start in
// [0, 24) and each end its start plus the period's length (past 24 across the clock's midnight),
// so that their lengths still add up to the hours.
Ensoleillement soleil_fenetre(Ciel &ciel, const QDate &date, const QDate &jour,
                              const Test_Cache &fenetre);

// The year at a glance: for each month, the mean minutes of sun on the window per day in each
// hour of the scale, over every day of the month.
struct Grille_Annee {
    int annee = 0;
    // minutes[m][h]: month m (0 January), from hour h to h + 1 of the scale (a period past the
    // clock's midnight goes on from hour 0).
    std::array<std::array<double, 24>, 12> minutes{};
    // How many days each month counted.
    std::array<int, 12> jours{};

    // The month's mean daily total, minutes: the row's sum.
    double total_jour(int mois) const;
    // The year's hours of sun on the window: every day's count added up.
    double total_annee() const;
};

// The grid of `ciel`'s year (its key's) behind `fenetre`.
Grille_Annee grille_annee(Ciel &ciel, const Test_Cache &fenetre);

// The grid as CSV: "mois;0h;1h;…;23h;total_jour", then one line per month, its number 1..12,
// then the minutes of each hour and the daily total, with one decimal and a point.
QByteArray csv_grille(const Grille_Annee &grille);

#endif
