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

    // The drawing tools; the stored path starts empty, even if an azimuth check fails.
    const QColor gris(127, 127, 127, 255);
    const QPen stylo(QBrush(gris, Qt::SolidPattern), 1.0, Qt::SolidLine, Qt::RoundCap,
                     Qt::RoundJoin);
    const QBrush pinceau(stylo.color(), Qt::SolidPattern);
    scene->chemin4 = QPainterPath();

    if (!lus.valide()) {
        QMessageBox::warning(this, lus.titre(), lus.texte(), QMessageBox::Ok);
        return;
    }
    const std::vector<QPointF> &tableau = lus.points;
    const int nb_points = static_cast<int>(tableau.size());

    // 7. A fresh diagram, then the outline on top. The box is held unticked during the
    // rebuild so that the rebuild does not come back here.
    scene->clear();
    if (ui->check_conserver_masques->isChecked()) {
        ui->check_conserver_masques->setChecked(false);
        course_Soleil();
        ui->check_conserver_masques->setChecked(true);
    } else {
        course_Soleil();
    }
    scene->tracer_masques(tableau.data(), nb_points, stylo, pinceau, scene->chemin4);
    ui->check_conserver_masques->setEnabled(true);
}
