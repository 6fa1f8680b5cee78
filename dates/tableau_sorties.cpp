// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// The output table "Valeurs de sortie": one row per dated course of the diagram with its date,
// its sunrise, its sunset and the length of its day, in hours of true solar time. Every rebuild
// rewrites the rows that it lists and trims the rest.
#include "app/fenetre_principale.h"

#include "ui_fenetre_principale.h"

#include <QTableWidgetItem>

#include <cmath>
#include <memory>

namespace
{

const QString format_date = QStringLiteral("dd/MM/yyyy");
const QString sans_course = QStringLiteral("-");

} // namespace

QString Fenetre_Principale::conversion_heure(double heure)
{
    double heures = std::floor(heure);
    const double minutes = (heure - heures) * 60.0;
    double arrondies = std::floor(minutes);
    if (minutes - arrondies >= 0.5)
        arrondies += 1.0;
    // 59.5 minutes or more round to the next hour: 6.995 is 7h00, not 6h60.
    if (arrondies >= 60.0) {
        heures += 1.0;
        arrondies -= 60.0;
    }
    QString texte = QString::number(heures, 'g', 6) + QLatin1Char('h');
    if (arrondies < 10.0)
        texte += QLatin1Char('0');
    return texte + QString::number(arrondies, 'g', 6);
}

void Fenetre_Principale::ecrire_cellule(int ligne, int colonne, const QString &texte)
{
    auto cellule = std::make_unique<QTableWidgetItem>(texte);
    cellule->setTextAlignment(Qt::AlignCenter);
    // The table owns the item from here on and deletes the one it replaces.
    ui->tableau_sorties->setItem(ligne, colonne, cellule.release());
}

void Fenetre_Principale::preparer_tableau_sorties(int nbLignes)
{
    // Rows are added or removed at the end, so row 0 stays while there is any.
    ui->tableau_sorties->setRowCount(nbLignes);
}

void Fenetre_Principale::remplir_ligne_datee(int ligne, const QDate &date, double lever,
                                             double coucher, bool tracee)
{
    remplir_ligne_enregistree(ligne, date, lever, coucher, tracee);
    if (!tracee) {
        for (int colonne = 1; colonne <= 3; ++colonne)
            ecrire_cellule(ligne, colonne, sans_course);
    }
}

void Fenetre_Principale::remplir_ligne_enregistree(int ligne, const QDate &date, double lever,
                                                   double coucher, bool tracee)
{
    if (ui->tableau_sorties->rowCount() <= ligne)
        ui->tableau_sorties->insertRow(ligne);
    ecrire_cellule(ligne, 0, date.toString(format_date));
    // A saved date whose course stays below the horizon leaves the rest of its row to the next
    // saved date, or to the trim.
    if (tracee) {
        ecrire_cellule(ligne, 1, conversion_heure(lever));
        ecrire_cellule(ligne, 2, conversion_heure(coucher));
        ecrire_cellule(ligne, 3, conversion_heure(coucher - lever));
    }
}

void Fenetre_Principale::rogner_tableau_sorties(int nbLignes)
{
    while (ui->tableau_sorties->rowCount() > nbLignes)
        ui->tableau_sorties->removeRow(ui->tableau_sorties->rowCount() - 1);
}
