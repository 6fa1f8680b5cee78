// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "annee/grille_annee.h"

#include "ciel/ciel.h"

#include <cmath>

Ensoleillement soleil_fenetre(Ciel &ciel, const QDate &date, const QDate &jour,
                              const Test_Cache &fenetre)
{
    Ensoleillement e = ciel.ensoleillement(jour, fenetre);
    // Each period keeps its length: the clock moves by seconds within a day, and the lengths
    // must still add up to the count.
    for (std::pair<double, double> &p : e.periodes) {
        const double longueur = p.second - p.first;
        p.first = ciel.heure(date, p.first);
        p.second = p.first + longueur;
    }
    return e;
}

double Grille_Annee::total_jour(int mois) const
{
    double total = 0.0;
    for (const double m : minutes[static_cast<std::size_t>(mois)])
        total += m;
    return total;
}

double Grille_Annee::total_annee() const
{
    double total = 0.0;
    for (int m = 0; m < 12; ++m)
        total += total_jour(m) * jours[static_cast<std::size_t>(m)];
    return total / 60.0;
}

Grille_Annee grille_annee(Ciel &ciel, const Test_Cache &fenetre)
{
    Grille_Annee grille;
    grille.annee = ciel.cle().annee;
    const QDate premier(grille.annee, 1, 1);
    for (QDate date = premier; date.year() == grille.annee; date = date.addDays(1)) {
        const std::size_t mois = static_cast<std::size_t>(date.month() - 1);
        ++grille.jours[mois];
        const Ensoleillement e = soleil_fenetre(ciel, date, ciel.jour(date).jour, fenetre);
        std::array<double, 24> &ligne = grille.minutes[mois];
        for (const auto &[debut, fin] : e.periodes) {
            // Hour by hour along the period.
            for (double t = debut; t < fin;) {
                const double heure = std::floor(t);
                const double suivant = std::min(fin, heure + 1.0);
                int h = static_cast<int>(heure) % 24;
                if (h < 0)
                    h += 24;
                ligne[static_cast<std::size_t>(h)] += (suivant - t) * 60.0;
                t = suivant;
            }
        }
    }
    for (std::size_t m = 0; m < 12; ++m)
        for (double &minutes : grille.minutes[m])
            minutes /= grille.jours[m];
    return grille;
}

QByteArray csv_grille(const Grille_Annee &grille)
{
    QByteArray texte = "mois";
    for (int h = 0; h < 24; ++h)
        texte += ';' + QByteArray::number(h) + 'h';
    texte += ";total_jour\n";
    for (int m = 0; m < 12; ++m) {
        texte += QByteArray::number(m + 1);
        for (const double minutes : grille.minutes[static_cast<std::size_t>(m)])
            texte += ';' + QByteArray::number(minutes, 'f', 1);
        texte += ';' + QByteArray::number(grille.total_jour(m), 'f', 1) + '\n';
    }
    return texte;
}
