// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "app/fenetre_principale.h"
#include "app/feuille_de_style.h"
#include "update/verification_maj.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    // Without its style sheet the program runs in the platform's own style, and says nothing.
    installer_feuille_de_style(application, feuille_de_style_ressource);

    int code = 0;
    {
        Fenetre_Principale fenetre;
        fenetre.showMaximized();
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
