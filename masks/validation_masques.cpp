// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// "Tracer les Masques": the mask table is checked in a fixed order, the first problem is
// shown in a warning and stops everything; a valid table rebuilds the diagram and has the
// Scene draw its outline. The same slot runs at the end of every rebuild while "Conserver les
// masques" is ticked.
#include "app/fenetre_principale.h"

#include "diagram/scene.h"
#include "ui_fenetre_principale.h"

#include <QMessageBox>
#include <QPointF>
#include <QStandardItemModel>

#include <algorithm>
#include <numeric>
#include <vector>

namespace
{

// A cell is empty when it holds no data at all; a cell holding 0 is filled.
bool case_vide(const QStandardItemModel &modele, int ligne, int colonne)
{
    return modele.data(modele.index(ligne, colonne), Qt::DisplayRole).isNull();
}

// Value of a filled cell, degrees.
double valeur(const QStandardItemModel &modele, int ligne, int colonne)
{
    return modele.data(modele.index(ligne, colonne), Qt::DisplayRole).toDouble();
}

// Whether azimuth `b` (degrees) may follow azimuth `a` when the table is read from the top:
// clockwise from north, 0 down to -180, then +180 down to 0. Azimuths never rise, except by
// the one step from the east half (negative) to the west half (positive) across the south.
bool suite_horaire(double a, double b)
{
    if (a < 0)
        return b > 0 || b <= a;
    if (a == 0)
        return b <= 0;
    return b >= 0 && b <= a;
}

} // namespace

void Fenetre_Principale::on_bouton_masques_clicked()
{
    const QStandardItemModel &modele = *modele_masques;
    const int lignes = modele.rowCount();
    const int colonne_azimut = 0;
    const int colonne_hauteur = 1;

    // 1. Nothing at all in the table.
    bool tout_vide = true;
    for (int r = 0; r < lignes && tout_vide; ++r)
        tout_vide = case_vide(modele, r, colonne_azimut) && case_vide(modele, r, colonne_hauteur);
    if (lignes <= 0 || tout_vide) {
        QMessageBox::warning(this, tr("Attention!"),
                             tr("Le tableau est vide! Remplissez-le avant de retenter le traçage "
                                "des masques."),
                             QMessageBox::Ok);
        return;
    }

    // 2. From the top: a half-filled row, or a filled row anywhere below an empty one,
    // whichever comes first.
    bool ligne_incomplete = false;
    bool lignes_vides = false;
    for (int r = 0; r < lignes && !ligne_incomplete && !lignes_vides; ++r) {
        const bool azimut_vide = case_vide(modele, r, colonne_azimut);
        const bool hauteur_vide = case_vide(modele, r, colonne_hauteur);
        if (azimut_vide != hauteur_vide) {
            ligne_incomplete = true;
        } else if (azimut_vide) {
            for (int s = r + 1; s < lignes && !lignes_vides; ++s)
                lignes_vides =
                    !case_vide(modele, s, colonne_azimut) || !case_vide(modele, s, colonne_hauteur);
            if (!lignes_vides)
                break; // only empty rows from here on
        }
    }
    if (ligne_incomplete) {
        QMessageBox::warning(this, tr("Attention!"),
                             tr("Le tracé n'a pu s'effectuer pour la raison suivante: Certaines "
                                "lignes du tableau sont incomplètes."),
                             QMessageBox::Ok);
        return;
    }
    if (lignes_vides) {
        QMessageBox::warning(this, tr("Attention!"),
                             tr("Le tracé n'a pu s'effectuer pour la raison suivante: Des lignes "
                                "vides ont été rencontrées dans la série de données."),
                             QMessageBox::Ok);
        return;
    }

    // 3. The stored path starts empty, even if a later check fails.
    scene->chemin4 = QPainterPath();

    // 4. The filled rows: from the top down to the first empty azimuth (at least one).
    int nb_points = 0;
    while (nb_points < lignes && !case_vide(modele, nb_points, colonne_azimut))
        ++nb_points;
    std::vector<QPointF> tableau;
    tableau.reserve(static_cast<std::size_t>(nb_points));
    for (int r = 0; r < nb_points; ++r)
        tableau.emplace_back(valeur(modele, r, colonne_azimut), valeur(modele, r, colonne_hauteur));

    // 5. No azimuth twice, except the first and last rows when they are the same point (an
    // outline closed on itself). Sorted by azimuth, equal azimuths sit side by side: three
    // of a kind always hold a forbidden pair, two of a kind only when they are not the first
    // and last rows with the same height.
    std::vector<int> par_azimut(static_cast<std::size_t>(nb_points));
    std::iota(par_azimut.begin(), par_azimut.end(), 0);
    std::sort(par_azimut.begin(), par_azimut.end(),
              [&tableau](int i, int j) { return tableau[i].x() < tableau[j].x(); });
    bool azimut_repete = false;
    for (std::size_t k = 0; k + 1 < par_azimut.size() && !azimut_repete; ++k) {
        const int i = par_azimut[k];
        const int j = par_azimut[k + 1];
        if (tableau[i].x() != tableau[j].x())
            continue;
        const bool trois =
            k + 2 < par_azimut.size() && tableau[par_azimut[k + 2]].x() == tableau[i].x();
        const bool premiere_et_derniere = std::min(i, j) == 0 && std::max(i, j) == nb_points - 1;
        azimut_repete = trois || !premiere_et_derniere || tableau[i].y() != tableau[j].y();
    }
    if (azimut_repete) {
        QMessageBox::warning(this, tr("Problème d'azimut!"),
                             tr("Seules les première et dernière lignes du tableau peuvent avoir "
                                "la même valeur d'azimut. De plus, pour un azimut donné il ne "
                                "peut y avoir 2 hauteurs!"),
                             QMessageBox::Ok);
        return;
    }

    // 6. Clockwise order.
    for (int i = 0; i + 1 < nb_points; ++i) {
        if (!suite_horaire(tableau[i].x(), tableau[i + 1].x())) {
            QMessageBox::warning(this, tr("Problème d'ordre des azimuts!"),
                                 tr("Veuillez remplir le tableau en plaçant les azimuts dans le "
                                    "sens horaire à partir de 0° (de 0° à -180°, puis de +180° à "
                                    "0°)."),
                                 QMessageBox::Ok);
            return;
        }
    }

    // 7. A fresh diagram with the outline on top.
    Description_Diagramme description = description_diagramme();
    description.masque = QVector<QPointF>(tableau.begin(), tableau.end());
    dessiner(description);
    ui->check_conserver_masques->setEnabled(true);
}
