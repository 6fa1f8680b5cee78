// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "masks/points_masque.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace
{

QString tr_masque(const char *texte)
{
    // The warnings belong to the main window's texts.
    return QCoreApplication::translate("Fenetre_Principale", texte);
}

// The value of a cell when it is a finite number within [minimum, maximum] degrees.
bool lire_valeur(const QVariant &cellule, double minimum, double maximum, double &valeur)
{
    bool nombre = false;
    valeur = cellule.toDouble(&nombre);
    return nombre && std::isfinite(valeur) && valeur >= minimum && valeur <= maximum;
}

} // namespace

bool suite_horaire(double a, double b)
{
    // Azimuths never rise, except by the one step from the east half (negative) to the west
    // half (positive) across the south.
    if (a < 0)
        return b > 0 || b <= a;
    if (a == 0)
        return b <= 0;
    return b >= 0 && b <= a;
}

std::vector<Ligne_Masque> lignes_du_modele(const QAbstractItemModel &modele)
{
    std::vector<Ligne_Masque> lignes;
    lignes.reserve(static_cast<std::size_t>(std::max(modele.rowCount(), 0)));
    for (int r = 0; r < modele.rowCount(); ++r)
        lignes.push_back({modele.data(modele.index(r, 0), Qt::DisplayRole),
                          modele.data(modele.index(r, 1), Qt::DisplayRole)});
    return lignes;
}

Points_Masque points_masque(const std::vector<Ligne_Masque> &lignes)
{
    Points_Masque resultat;
    const int n = static_cast<int>(lignes.size());
    const auto vide_a = [&lignes](int r) { return lignes[r].azimut.isNull(); };
    const auto vide_h = [&lignes](int r) { return lignes[r].hauteur.isNull(); };

    // Nothing at all in the table.
    bool tout_vide = true;
    for (int r = 0; r < n && tout_vide; ++r)
        tout_vide = vide_a(r) && vide_h(r);
    if (tout_vide) {
        resultat.probleme = Probleme_Masque::Vide;
        return resultat;
    }

    // From the top: a half-filled row, or a filled row anywhere below an empty one, whichever
    // comes first.
    for (int r = 0; r < n; ++r) {
        if (vide_a(r) != vide_h(r)) {
            resultat.probleme = Probleme_Masque::Incomplet;
            return resultat;
        }
        if (vide_a(r)) {
            for (int s = r + 1; s < n; ++s)
                if (!vide_a(s) || !vide_h(s)) {
                    resultat.probleme = Probleme_Masque::LignesVides;
                    return resultat;
                }
            break; // only empty rows from here on
        }
    }

    // The full rows, from the top down to the first empty one (at least one): numbers within
    // the columns' ranges.
    int nb_points = 0;
    while (nb_points < n && !vide_a(nb_points))
        ++nb_points;
    std::vector<QPointF> tableau;
    tableau.reserve(static_cast<std::size_t>(nb_points));
    for (int r = 0; r < nb_points; ++r) {
        double azimut = 0.0;
        double hauteur = 0.0;
        if (!lire_valeur(lignes[r].azimut, azimut_masque_min, azimut_masque_max, azimut) ||
            !lire_valeur(lignes[r].hauteur, hauteur_masque_min, hauteur_masque_max, hauteur)) {
            resultat.probleme = Probleme_Masque::Valeur;
            resultat.ligne = r;
            return resultat;
        }
        tableau.emplace_back(azimut, hauteur);
    }

    // No azimuth twice, except the first and last rows when they are the same point (an
    // outline closed on itself). Sorted by azimuth, equal azimuths sit side by side: three of
    // a kind always hold a forbidden pair, two of a kind only when they are not the first and
    // last rows with the same height.
    std::vector<int> par_azimut(static_cast<std::size_t>(nb_points));
    std::iota(par_azimut.begin(), par_azimut.end(), 0);
    std::sort(par_azimut.begin(), par_azimut.end(),
              [&tableau](int i, int j) { return tableau[i].x() < tableau[j].x(); });
    for (std::size_t k = 0; k + 1 < par_azimut.size(); ++k) {
        const int i = par_azimut[k];
        const int j = par_azimut[k + 1];
        if (tableau[i].x() != tableau[j].x())
            continue;
        const bool trois =
            k + 2 < par_azimut.size() && tableau[par_azimut[k + 2]].x() == tableau[i].x();
        const bool premiere_et_derniere = std::min(i, j) == 0 && std::max(i, j) == nb_points - 1;
        if (trois || !premiere_et_derniere || tableau[i].y() != tableau[j].y()) {
            resultat.probleme = Probleme_Masque::Azimut;
            return resultat;
        }
    }

    // Clockwise order.
    for (int i = 0; i + 1 < nb_points; ++i)
        if (!suite_horaire(tableau[i].x(), tableau[i + 1].x())) {
            resultat.probleme = Probleme_Masque::Ordre;
            return resultat;
        }

    resultat.points = std::move(tableau);
    return resultat;
}

QString Points_Masque::titre() const
{
    switch (probleme) {
    case Probleme_Masque::Aucun:
        return QString();
    case Probleme_Masque::Azimut:
        return tr_masque("Problème d'azimut!");
    case Probleme_Masque::Ordre:
        return tr_masque("Problème d'ordre des azimuts!");
    default:
        return tr_masque("Attention!");
    }
}

QString Points_Masque::texte() const
{
    switch (probleme) {
    case Probleme_Masque::Aucun:
        return QString();
    case Probleme_Masque::Vide:
        return tr_masque(
            "Le tableau est vide! Remplissez-le avant de retenter le traçage des masques.");
    case Probleme_Masque::Incomplet:
        return tr_masque("Le tracé n'a pu s'effectuer pour la raison suivante: Certaines "
                         "lignes du tableau sont incomplètes.");
    case Probleme_Masque::LignesVides:
        return tr_masque("Le tracé n'a pu s'effectuer pour la raison suivante: Des lignes "
                         "vides ont été rencontrées dans la série de données.");
    case Probleme_Masque::Valeur:
        return tr_masque("Le tracé n'a pu s'effectuer pour la raison suivante: La ligne %1 "
                         "contient une valeur qui n'est pas un nombre ou qui sort des limites "
                         "(azimut de -180° à 180°, hauteur de 0° à 90°).")
            .arg(ligne + 1);
    case Probleme_Masque::Azimut:
        return tr_masque("Seules les première et dernière lignes du tableau peuvent avoir la "
                         "même valeur d'azimut. De plus, pour un azimut donné il ne peut y "
                         "avoir 2 hauteurs!");
    case Probleme_Masque::Ordre:
        return tr_masque("Veuillez remplir le tableau en plaçant les azimuts dans le sens "
                         "horaire à partir de 0° (de 0° à -180°, puis de +180° à 0°).");
    }
    return QString();
}
