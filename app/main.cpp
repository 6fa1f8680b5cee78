// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "app/fenetre_principale.h"
#include "app/feuille_de_style.h"
#include "cli/ligne_de_commande.h"

#include <QApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[])
{
    // With arguments: the command line, with no window, no display and no update check.
    if (ligne_de_commande_demandee(argc)) {
        QStringList arguments;
        for (int i = 0; i < argc; ++i)
            arguments << QString::fromLocal8Bit(argv[i]);
        QTextStream sortie(stdout);
        QTextStream erreurs(stderr);
        sortie.setCodec("UTF-8");
        erreurs.setCodec("UTF-8");
        return executer_ligne_de_commande(arguments, QDate::currentDate(), sortie, erreurs);
    }

    QApplication application(argc, argv);
    // Without its style sheet the program runs in the platform's own style, and says nothing.
    installer_feuille_de_style(application, feuille_de_style_ressource);

    Fenetre_Principale fenetre;
    fenetre.showMaximized();
    return application.exec();
}
