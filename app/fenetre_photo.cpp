// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// The main window's sky photo: "Photo du ciel..." (the Options menu, and a button beside
// "Importer un horizon...") opens a photo and its calibration dialog; the photo is drawn under
// the grid, and a horizon traced from it fills the mask table as an imported horizon does.
#include "app/fenetre_principale.h"

#include "app/dialogue_photo.h"
#include "app/dossiers.h"
#include "diagram/scene.h"
#include "horizon/horizon.h"
#include "photo/horizon_photo.h"
#include "ui_fenetre_principale.h"

#include <QAction>
#include <QBoxLayout>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStatusBar>

void Fenetre_Principale::installer_photo()
{
    auto *action = new QAction(tr("Photo du ciel..."), this);
    action->setObjectName(QStringLiteral("actionPhoto_du_ciel"));
    ui->menuOptions->addAction(action);
    connect(action, &QAction::triggered, this, &Fenetre_Principale::ouvrir_photo_ciel);
    auto *bouton =
        new QPushButton(tr("Photo du ciel..."), ui->bouton_importer_horizon->parentWidget());
    bouton->setObjectName(QStringLiteral("bouton_photo_ciel"));
    bouton->setFont(ui->bouton_importer_horizon->font());
    const auto dispositions = ui->centralWidget->findChildren<QBoxLayout *>();
    for (QBoxLayout *disposition : dispositions) {
        const int rang = disposition->indexOf(ui->bouton_importer_horizon);
        if (rang >= 0) {
            // Under the import, so that the advice beside them keeps its width.
            disposition->removeWidget(ui->bouton_importer_horizon);
            auto *colonne = new QVBoxLayout;
            colonne->addStretch();
            colonne->addWidget(ui->bouton_importer_horizon);
            colonne->addWidget(bouton);
            colonne->addStretch();
            disposition->insertLayout(rang, colonne);
            break;
        }
    }
    bouton->setMinimumWidth(ui->bouton_importer_horizon->sizeHint().width());
    connect(bouton, &QPushButton::clicked, this, &Fenetre_Principale::ouvrir_photo_ciel);
}

void Fenetre_Principale::ouvrir_photo_ciel()
{
    const QString chemin = QFileDialog::getOpenFileName(
        this, tr("Photo du ciel"), dossier_retenu(Genre_Fichier::Horizon),
        tr("Photos (*.jpg *.jpeg *.png *.JPG *.JPEG *.PNG);;Tous les fichiers (*)"), nullptr,
        QFileDialog::DontUseNativeDialog);
    if (chemin.isEmpty())
        return;
    retenir_dossier(Genre_Fichier::Horizon, chemin);
    const QString nom = QFileInfo(chemin).fileName();
    QString raison;
    QImage image = lire_photo(chemin, &raison);
    if (image.isNull()) {
        QMessageBox::warning(this, tr("Attention!"),
                             tr("La photo « %1 » est refusée : %2.").arg(nom, raison),
                             QMessageBox::Ok);
        return;
    }
    Photo_Diagramme proposee = photo;
    const QString absolu = QFileInfo(chemin).absoluteFilePath();
    // The same photo keeps its calibration; another one is proposed one from its own disc.
    if (absolu != photo.fichier || !probleme_calibration(photo.calibration, image.size()).isEmpty())
        proposee.calibration = calibration_proposee(image, Calibration_Photo());
    proposee.fichier = absolu;
    proposee.image = std::make_shared<const QImage>(std::move(image));

    Dialogue_Photo dialogue(proposee, this);
    if (dialogue.exec() != QDialog::Accepted)
        return;
    {
        const Historique::Pause pause(historique);
        photo = dialogue.photo();
        scene->invalidate(QRectF(), QGraphicsScene::BackgroundLayer);
        const Masque_Horizon masque =
            masque_de_horizon(horizon_lu(dialogue.horizon()), scene->NbPointsMasqueMAX());
        if (!dialogue.horizon().empty() && masque.rangs.valide()) {
            // As an imported horizon: a line through its points, kept.
            remplir_tableau_masques(masque.rangs.points);
            {
                const QSignalBlocker bloque(ui->combo_jonction);
                ui->combo_jonction->setCurrentIndex(1);
            }
            nom_horizon = nom;
            ui->check_conserver_masques->setChecked(true);
            on_bouton_masques_clicked();
        } else {
            course_Soleil();
        }
    }
    noter_etape(tr("Photo du ciel"));
}

void Fenetre_Principale::prendre_photo_du_site(const Photo_Diagramme &lue)
{
    // A site from the history holds its image already; the same file is not read again.
    Photo_Diagramme nouvelle = lue;
    if (!nouvelle.presente() && photo.presente() && photo.fichier == lue.fichier)
        nouvelle.image = photo.image;
    if (!nouvelle.fichier.isEmpty() && !nouvelle.presente()) {
        QString raison;
        QImage image = lire_photo(nouvelle.fichier, &raison);
        if (image.isNull())
            // Opened without it; its path and calibration stay with the site.
            statusBar()->showMessage(tr("La photo du ciel « %1 » n'a pas pu être lue (%2) : le "
                                        "site est ouvert sans elle.")
                                         .arg(QFileInfo(nouvelle.fichier).fileName(), raison));
        else
            nouvelle.image = std::make_shared<const QImage>(std::move(image));
    }
    if (nouvelle != photo)
        scene->invalidate(QRectF(), QGraphicsScene::BackgroundLayer);
    photo = nouvelle;
}
