// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "app/demarrage.h"
#include "app/fenetre_principale.h"
#include "app/feuille_de_style.h"
#include "cli/ligne_de_commande.h"
#include "update/verification_maj.h"

#include <QApplication>
#include <QGraphicsView>
#include <QLocale>
#include <QTextStream>

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    // The program speaks French whatever the machine's settings: month names, the report's
    // numbers and the fields' decimal comma are the same under C, en_US or de_DE.
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    // ORVANE_MESURE_DEMARRAGE set: the start-up is timed up to the first frame, then the
    // program quits.
    Mesure_demarrage mesure;
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    // A site file alone opens in the window; any other argument is the command line's, with no
    // window, no display and no update check.
    const QString site = site_en_argument(arguments);
    if (site.isEmpty() && ligne_de_commande_demandee(argc)) {
        preparer_ligne_de_commande();
        QTextStream sortie(stdout);
        QTextStream erreurs(stderr);
        sortie.setCodec("UTF-8");
        erreurs.setCodec("UTF-8");
        return executer_ligne_de_commande(arguments, QDate::currentDate(), sortie, erreurs);
    }

    preparer_attributs_application();
    const bool sans_opengl = eviter_integration_opengl();
    QApplication application(argc, argv);
    mesure.etape("QApplication");
    installer_traductions_boite_a_outils(application);
    mesure.etape("traductions");
    // Without its style sheet the program runs in the platform's own style, and says nothing.
    installer_feuille_de_style(application, feuille_de_style_ressource);
    mesure.etape("feuille de style");

    int code = 0;
    {
        Fenetre_Principale fenetre;
        mesure.etape("fenêtre construite");
        fenetre.showMaximized();
        // The platform chose its OpenGL integration when it made the first window, just now.
        retirer_integration_opengl(sans_opengl);
        mesure.etape("fenêtre montrée");
        if (!site.isEmpty())
            fenetre.ouvrir_site_differe(site);
        if (auto *vue = fenetre.findChild<QGraphicsView *>(QStringLiteral("graphicsView")))
            mesure.attendre_premiere_image(vue->viewport());
        code = application.exec();
    }
    // An update check past its deadline may still be reading from a server that trickles. The
    // window no longer waits for it, and the teardown of the toolkit and of the database client
    // library could pull their globals from under it: leave without that teardown.
    if (Verification_maj::en_cours() > 0) {
        std::fflush(nullptr);
        std::_Exit(code);
    }
    return code;
}
