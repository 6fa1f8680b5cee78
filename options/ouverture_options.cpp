// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "app/fenetre_principale.h"

#include "diagram/scene.h"

// The display options are read by the Scene's next repaint: closing the dialog asks for no
// rebuild, whatever button closed it.
void Fenetre_Principale::ouverture_fenetre_affichage()
{
    scene->options.exec();
}

void Fenetre_Principale::on_actionOptions_graphiques_triggered()
{
    scene->options.exec();
    // "OK" may have changed the site's display options.
    actualiser_modification();
}
