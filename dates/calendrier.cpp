// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// Month and day of the month of a day number, counted in the year of the date edit.
#include "app/fenetre_principale.h"

#include "ui_fenetre_principale.h"

int Fenetre_Principale::mois_depuis_num(int nbJour)
{
    return mois_depuis_numero(nbJour, ui->Date->date().daysInYear() != 365);
}

int Fenetre_Principale::jour_depuis_num(int nbJour)
{
    return jour_depuis_numero(nbJour, ui->Date->date().daysInYear() != 365);
}
