// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// The output table "Valeurs de sortie": one row per dated course of the diagram with its date,
// its sunrise, its sunset and the length of its day, in hours of true solar time. Every rebuild
// rewrites every row and trims the rest.
#include "app/fenetre_principale.h"

#include "ui_fenetre_principale.h"

#include <QTableWidgetItem>

#include <memory>

QString Fenetre_Principale::conversion_heure(double heure)
{
    return texte_heure(heure);
}

void Fenetre_Principale::ecrire_cellule(int ligne, int colonne, const QString &texte)
{
    auto cellule = std::make_unique<QTableWidgetItem>(texte);
    cellule->setTextAlignment(Qt::AlignCenter);
    // The table owns the item from here on and deletes the one it replaces.
    ui->tableau_sorties->setItem(ligne, colonne, cellule.release());
}

void Fenetre_Principale::ecrire_tableau_sorties(const QVector<Ligne_Sortie> &lignes)
{
    // Rows are added or removed at the end, so row 0 stays while there is any.
    ui->tableau_sorties->setRowCount(lignes.size());
    for (int ligne = 0; ligne < lignes.size(); ++ligne) {
        const QStringList textes = textes_ligne(lignes[ligne]);
        for (int colonne = 0; colonne < textes.size(); ++colonne)
            ecrire_cellule(ligne, colonne, textes[colonne]);
    }
}
