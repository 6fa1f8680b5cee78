// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "trace/grille_fenetre.h"

int annee_grille(const Description_Diagramme &description)
{
    return description.mode == Mode_Dates::Jour_des_mois ? description.annee
                                                         : description.date_choisie.year();
}

Grille_Annee grille_description(const Description_Diagramme &description)
{
    Ciel::Cle cle = cle_description(description);
    cle.annee = annee_grille(description);
    const std::shared_ptr<Ciel> ciel = Ciel::du_fil(cle, description.latitude);
    return grille_annee(*ciel, test_fenetre(description));
}

void ajouter_grille(Legende_page &legende, const Description_Diagramme &description)
{
    if (description.ombrage.facade_active())
        legende.grille = grille_description(description);
}
