// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// The mask table of the main window: its model, the rows added by "Ajouter des lignes", the
// table emptied by "Effacer le tableau", and the click on "Conserver les masques".
#include "app/fenetre_principale.h"

#include "diagram/scene.h"
#include "ui_fenetre_principale.h"

#include <QMessageBox>
#include <QSignalBlocker>
#include <QStandardItemModel>

namespace
{
// Rows of a fresh table, and the width of both columns in pixels.
constexpr int lignes_initiales = 6;
constexpr int largeur_colonne = 115;
} // namespace

void Fenetre_Principale::configurer_tableau_masques()
{
    const QStringList entetes = {tr("Azimut (°)"), tr("Hauteur (°)")};
    modele_masques = new QStandardItemModel(lignes_initiales, 2, this);
    modele_masques->setHorizontalHeaderLabels(entetes);
    ui->tableView_masques->setModel(modele_masques);
    ui->tableView_masques->setColumnWidth(0, largeur_colonne);
    ui->tableView_masques->setColumnWidth(1, largeur_colonne);
    // A typed cell or added rows change the site without a rebuild: the history follows them
    // through the model's own signals.
    connect(modele_masques, &QStandardItemModel::dataChanged, this, [this] { noter_etape(); });
    connect(modele_masques, &QStandardItemModel::rowsInserted, this, [this] { noter_etape(); });
}

void Fenetre_Principale::on_Bouton_ajoutLignes_clicked()
{
    const int lignes = modele_masques->rowCount();
    const int ajout = ui->spinBox_nbLignes_tab->value();
    const int total = lignes + ajout;
    if (total > scene->NbPointsMasqueMAX()) {
        QMessageBox::warning(
            this, tr("Attention!"),
            QString::number(total, 10) +
                tr(" lignes au total!! C'est un peu beaucoup, vous ne trouvez pas?"),
            QMessageBox::Ok);
        return;
    }
    if (ajout >= 1) {
        {
            const Historique::Pause pause(historique);
            modele_masques->insertRows(lignes, ajout);
        }
        noter_etape(tr("Ajouter des lignes"));
    }
}

void Fenetre_Principale::on_bouton_effacer_tableau_clicked()
{
    {
        const Historique::Pause pause(historique);
        QStandardItemModel *ancien_modele = modele_masques;
        ancien_modele->clear();
        nom_horizon.clear();
        configurer_tableau_masques();
        // The view now holds the new model; the old one would otherwise stay alive, unused,
        // until the window closes. The selection models that the view made for it go with it.
        delete ancien_modele;

        ui->check_conserver_masques->setDisabled(true);
        ui->check_conserver_masques->setChecked(false);
        // A fresh table is a typed one.
        {
            const QSignalBlocker bloque(ui->combo_jonction);
            ui->combo_jonction->setCurrentIndex(0);
        }
        course_Soleil();
    }
    noter_etape(tr("Effacer le tableau"));
}

void Fenetre_Principale::on_check_conserver_masques_clicked()
{
    // Ticked: the rebuild itself draws the outline again. Unticked: the rebuild disables the
    // box, and the outline that was on screen is drawn once more on the new diagram.
    course_Soleil();
    if (!ui->check_conserver_masques->isChecked())
        on_bouton_masques_clicked();
}

Jonction_Masque Fenetre_Principale::jonction_masques() const
{
    return ui->combo_jonction->currentIndex() == 1 ? Jonction_Masque::Ligne
                                                   : Jonction_Masque::Paliers;
}

void Fenetre_Principale::on_combo_jonction_currentIndexChanged(int index)
{
    Q_UNUSED(index)
    // The outline on screen is drawn again, joined the new way, kept or not.
    const bool trace = !description_dessinee.masque.isEmpty();
    course_Soleil();
    if (trace && !ui->check_conserver_masques->isChecked())
        on_bouton_masques_clicked();
}
