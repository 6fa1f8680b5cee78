// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// "Tracer les Masques": the mask table is checked in a fixed order, the first problem is
// shown in a warning and stops everything; a valid table rebuilds the diagram and has the
// Scene draw its outline. The same slot runs at the end of every rebuild while "Conserver les
// masques" is ticked.
#include "app/fenetre_principale.h"

#include "diagram/scene.h"
#include "masks/points_masque.h"
#include "ui_fenetre_principale.h"

#include <QMessageBox>
#include <QPointF>
#include <QStandardItemModel>

#include <vector>

void Fenetre_Principale::on_bouton_masques_clicked()
{
    // 1-6. The rules of the table, checked in their fixed order.
    const Points_Masque lus = points_masque(lignes_du_modele(*modele_masques));
    if (lus.probleme_de_lignes()) {
        QMessageBox::warning(this, lus.titre(), lus.texte(), QMessageBox::Ok);
        return;
    }

    // The stored path starts empty, even if an azimuth check fails.
    scene->chemin4 = QPainterPath();

    if (!lus.valide()) {
        QMessageBox::warning(this, lus.titre(), lus.texte(), QMessageBox::Ok);
        return;
    }
    const std::vector<QPointF> &tableau = lus.points;

    // 7. A fresh diagram with the outline on top.
    Description_Diagramme description = description_diagramme();
    description.masque = QVector<QPointF>(tableau.begin(), tableau.end());
    description.jonction = jonction_masques();
    dessiner(description);
    ui->check_conserver_masques->setEnabled(true);
}
