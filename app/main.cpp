// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "app/demarrage.h"
#include "app/fenetre_principale.h"
#include "app/feuille_de_style.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    preparer_attributs_application();
    QApplication application(argc, argv);
    installer_traductions_boite_a_outils(application);
    // Without its style sheet the program runs in the platform's own style, and says nothing.
    installer_feuille_de_style(application, feuille_de_style_ressource);

    Fenetre_Principale fenetre;
    fenetre.showMaximized();
    return application.exec();
}
