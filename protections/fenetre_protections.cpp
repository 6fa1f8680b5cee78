// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// The main window's "Fenêtre et obstacles..." (the Options menu and the masks group): the dialog
// edits a copy of the window's value, which replaces it when accepted and is drawn; the site, its
// "*" and the output table follow from the rebuild.
#include "app/fenetre_principale.h"

#include "protections/dialogue_fenetre.h"

void Fenetre_Principale::on_actionFenetre_et_obstacles_triggered()
{
    ouvrir_fenetre_obstacles();
}

void Fenetre_Principale::on_bouton_fenetre_obstacles_clicked()
{
    ouvrir_fenetre_obstacles();
}

void Fenetre_Principale::ouvrir_fenetre_obstacles()
{
    Dialogue_Fenetre dialogue(ombrage, this);
    dialogue.setObjectName(QStringLiteral("dialogue_fenetre"));
    dialogue.montrer_exposition(exposition, description_diagramme());
    if (dialogue.exec() != QDialog::Accepted)
        return;
    const Ombrage nouveau = dialogue.valeur();
    const Regle_Exposition regle = dialogue.exposition();
    if (nouveau == ombrage && regle == exposition)
        return;
    ombrage = nouveau;
    exposition = regle;
    course_Soleil();
}
