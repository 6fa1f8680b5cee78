// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// The main window's "Fenêtre et obstacles...": the dialog edits a copy of the window's value,
// which replaces it when accepted and is drawn; the site, its "*" and the output table follow
// from the rebuild.
#include "app/fenetre_principale.h"

#include "protections/dialogue_fenetre.h"
#include "ui_fenetre_principale.h"

#include <QAction>
#include <QLayout>
#include <QPushButton>

void Fenetre_Principale::configurer_fenetre_obstacles()
{
    const QString texte = tr("Fenêtre et obstacles...");
    auto *action = new QAction(texte, this); // owned by the window
    action->setObjectName(QStringLiteral("actionFenetre_et_obstacles"));
    ui->menuOptions->addAction(action);
    connect(action, &QAction::triggered, this, &Fenetre_Principale::ouvrir_fenetre_obstacles);

    // Under the masks, in the type of the group's other controls (its title is bold).
    auto *bouton = new QPushButton(texte, ui->groupBox_Masques); // owned by the group
    bouton->setObjectName(QStringLiteral("bouton_fenetre_obstacles"));
    bouton->setFont(ui->check_conserver_masques->font());
    ui->groupBox_Masques->layout()->addWidget(bouton);
    connect(bouton, &QPushButton::clicked, this, &Fenetre_Principale::ouvrir_fenetre_obstacles);
}

void Fenetre_Principale::ouvrir_fenetre_obstacles()
{
    Dialogue_Fenetre dialogue(ombrage, this);
    dialogue.setObjectName(QStringLiteral("dialogue_fenetre"));
    if (dialogue.exec() != QDialog::Accepted)
        return;
    const Ombrage nouveau = dialogue.valeur();
    if (nouveau == ombrage)
        return;
    ombrage = nouveau;
    course_Soleil();
}
