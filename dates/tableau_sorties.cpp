// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// The output table "Valeurs de sortie": one row per dated course of the diagram with its date,
// its sunrise, its sunset and the length of its day, in hours of true solar time, and while a
// mask outline is drawn the hours of direct sun and the hours behind the mask (and with a facade,
// the hours of sun on the window). Every rebuild
// rewrites every row and trims the rest.
#include "app/fenetre_principale.h"

#include "ui_fenetre_principale.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QTableWidgetItem>

#include <algorithm>

#include <memory>

namespace
{
// Room around a cell's text, pixels.
constexpr int marge_cellule = 12;
} // namespace

QString Fenetre_Principale::conversion_heure(double heure)
{
    return texte_heure(heure);
}

void Fenetre_Principale::ecrire_cellule(int ligne, int colonne, const QString &texte)
{
    // A cell that already reads so is left as it is: the table then repaints only the cells
    // that change (a drag of the latitude leaves the dates alone).
    if (const QTableWidgetItem *ancienne = ui->tableau_sorties->item(ligne, colonne);
        ancienne && ancienne->text() == texte)
        return;
    auto cellule = std::make_unique<QTableWidgetItem>(texte);
    cellule->setTextAlignment(Qt::AlignCenter);
    // The table owns the item from here on and deletes the one it replaces.
    ui->tableau_sorties->setItem(ligne, colonne, cellule.release());
}

void Fenetre_Principale::ecrire_tableau_sorties(const QVector<Ligne_Sortie> &lignes, bool masque,
                                                bool fenetre)
{
    QTableWidget *tableau = ui->tableau_sorties;
    // The two columns of the mask are added the first time an outline is drawn (or the window's
    // column, which follows them), headed as the others, and from then on shown only while one
    // is.
    const int colonnes = entetes_sorties().size();
    const QStringList entetes = entetes_masque() + QStringList{entete_fenetre()};
    const int voulues = fenetre  ? colonnes + entetes.size()
                        : masque ? colonnes + entetes.size() - 1
                                 : colonnes;
    for (int colonne = tableau->columnCount(); colonne < voulues; ++colonne) {
        tableau->setColumnCount(colonne + 1);
        auto entete = std::make_unique<QTableWidgetItem>(*tableau->horizontalHeaderItem(0));
        entete->setText(entetes[colonne - colonnes]);
        tableau->setHorizontalHeaderItem(colonne, entete.release());
    }
    const int colonne_fenetre = colonnes + entetes.size() - 1;
    // The window's column goes with its facade: the table is again as the mask left it.
    if (!fenetre && tableau->columnCount() > colonne_fenetre)
        tableau->setColumnCount(colonne_fenetre);
    for (int colonne = colonnes; colonne < tableau->columnCount(); ++colonne)
        tableau->setColumnHidden(colonne, colonne == colonne_fenetre ? !fenetre : !masque);

    // Rows are added or removed at the end, so row 0 stays while there is any.
    tableau->setRowCount(lignes.size());
    for (int ligne = 0; ligne < lignes.size(); ++ligne) {
        QStringList textes = textes_ligne(lignes[ligne]);
        if (masque)
            textes += textes_masque(lignes[ligne]);
        for (int colonne = 0; colonne < textes.size(); ++colonne)
            ecrire_cellule(ligne, colonne, textes[colonne]);
        if (fenetre)
            // The total, then each period, on lines of their own: the column stays narrow.
            ecrire_cellule(ligne, colonne_fenetre,
                           texte_fenetre_periodes(lignes[ligne])
                               .replace(QStringLiteral(" : "), QStringLiteral(" :\n"))
                               .replace(QStringLiteral(", "), QStringLiteral(",\n")));
        // No stale values behind the hidden columns.
        for (int colonne = textes.size(); colonne < tableau->columnCount(); ++colonne)
            if (!(fenetre && colonne == colonne_fenetre))
                delete tableau->takeItem(ligne, colonne);
    }

    // Six or seven columns at their default width would scroll sideways: they share the table's
    // width instead, each as wide as its texts at least, the row numbers giving up their room
    // when that is still too little, and then the headers going onto more lines.
    QHeaderView *entete = tableau->horizontalHeader();
    QHeaderView *numeros = tableau->verticalHeader();
    QVector<int> visibles;
    for (int c = 0; c < tableau->columnCount(); ++c)
        if (!tableau->isColumnHidden(c))
            visibles.append(c);
    int disponible = tableau->viewport()->width();
    QVector<int> largeurs(tableau->columnCount(), entete->defaultSectionSize());
    bool sans_numeros = false;
    // With the headers on more lines: their height, else 0.
    int hauteur_entete = 0;
    if ((masque || fenetre) && visibles.size() * entete->defaultSectionSize() > disponible) {
        const QFontMetrics mesure(tableau->font());
        QVector<int> cellules(tableau->columnCount(), 0);
        int total = 0;
        // A cell on more lines needs its widest line.
        const auto largeur_texte = [&](const QString &texte) {
            int largeur = 0;
            for (const QString &ligne : texte.split(QLatin1Char('\n')))
                largeur = std::max(largeur, mesure.horizontalAdvance(ligne));
            return largeur;
        };
        for (int c : visibles) {
            for (int ligne = 0; ligne < tableau->rowCount(); ++ligne)
                if (const QTableWidgetItem *cellule = tableau->item(ligne, c))
                    cellules[c] =
                        std::max(cellules[c], largeur_texte(cellule->text()) + marge_cellule);
            largeurs[c] = std::max(entete->sectionSizeHint(c), cellules[c]);
            total += largeurs[c];
        }
        if (total > disponible && !numeros->isHidden()) {
            sans_numeros = true;
            disponible += numeros->width();
        } else if (numeros->isHidden()) {
            sans_numeros = total > disponible - numeros->sizeHint().width();
            if (!sans_numeros)
                disponible -= numeros->sizeHint().width();
        }
        // A header on more lines needs only its longest word's width; the header measures its
        // texts in bold, with a margin round them.
        QFont gras = tableau->horizontalHeaderItem(0)->font();
        gras.setBold(true);
        const QFontMetrics mesure_titre(gras);
        QVector<int> marges(tableau->columnCount(), 0);
        const bool replies = total > disponible;
        if (replies) {
            total = 0;
            for (int c : visibles) {
                const QString titre = tableau->horizontalHeaderItem(c)->text();
                marges[c] = entete->sectionSizeHint(c) - mesure_titre.horizontalAdvance(titre);
                int mot = 0;
                for (const QString &m : titre.split(QLatin1Char(' ')))
                    mot = std::max(mot, mesure_titre.horizontalAdvance(m));
                largeurs[c] = std::max(marges[c] + mot, cellules[c]);
                total += largeurs[c];
            }
        }
        const int reste = std::max(0, disponible - total) / visibles.size();
        for (int &largeur : largeurs)
            largeur += reste;
        if (replies) {
            int lignes = mesure_titre.height();
            for (int c : visibles)
                lignes = std::max(
                    lignes,
                    mesure_titre
                        .boundingRect(QRect(0, 0, largeurs[c] - marges[c], entete->maximumHeight()),
                                      Qt::AlignCenter | Qt::TextWordWrap,
                                      tableau->horizontalHeaderItem(c)->text())
                        .height());
            hauteur_entete = entete->sizeHint().height() - mesure_titre.height() + lignes;
        }
    }
    const int alignement =
        hauteur_entete > 0 ? Qt::AlignCenter | Qt::TextWordWrap : Qt::AlignCenter;
    for (int c = 0; c < tableau->columnCount(); ++c)
        if (QTableWidgetItem *titre = tableau->horizontalHeaderItem(c);
            titre->textAlignment() != alignement)
            titre->setTextAlignment(alignement);
    if (entete->minimumHeight() != hauteur_entete)
        entete->setMinimumHeight(hauteur_entete);
    numeros->setHidden(sans_numeros);
    for (int c = 0; c < largeurs.size(); ++c)
        if (entete->sectionSize(c) != largeurs[c] && !entete->isSectionHidden(c))
            entete->resizeSection(c, largeurs[c]);
    // Rows as high as the window's periods need, once they are there.
    if (fenetre)
        tableau->resizeRowsToContents();
}
