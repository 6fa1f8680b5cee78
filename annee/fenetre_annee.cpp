// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// The main window's "Soleil sur la fenêtre au fil de l'année" (the Options menu and the button
// under the output table): the view, left open beside the window, is handed the study each
// time the diagram is drawn, and computes its grid on its own thread.
#include "app/fenetre_principale.h"

#include "annee/dialogue_annee.h"
#include "trace/grille_fenetre.h"
#include "ui_fenetre_principale.h"

#include <QPushButton>
#include <QVBoxLayout>

void Fenetre_Principale::preparer_vue_annee()
{
    auto *bouton = new QPushButton(tr("Soleil sur la fenêtre au fil de l'année..."),
                                   ui->groupBox_valeurSortie);
    bouton->setObjectName(QStringLiteral("bouton_soleil_annee"));
    bouton->setFont(ui->bouton_fenetre_obstacles->font());
    ui->groupBox_valeurSortie->layout()->addWidget(bouton);
    connect(bouton, &QPushButton::clicked, this,
            &Fenetre_Principale::on_actionSoleil_annee_triggered);
}

void Fenetre_Principale::on_actionSoleil_annee_triggered()
{
    if (!vue_annee) {
        vue_annee = new Dialogue_Annee(this);
        vue_annee->setObjectName(QStringLiteral("dialogue_annee"));
        vue_annee->setAttribute(Qt::WA_DeleteOnClose);
        suivre_vue_annee();
    }
    vue_annee->show();
    vue_annee->raise();
    vue_annee->activateWindow();
}

void Fenetre_Principale::suivre_vue_annee()
{
    if (!vue_annee)
        return;
    const Description_Diagramme &description = description_dessinee;
    if (!description.ombrage.facade_active()) {
        vue_annee->sans_fenetre();
        return;
    }
    vue_annee->suivre([description] { return grille_description(description); },
                      texte_echelle(description));
}
