// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// Month and day of the month of a day number, counted in the year of the date edit.
#include "app/fenetre_principale.h"

#include "ui_fenetre_principale.h"

namespace
{

// Day number of the last day of each month, common year then leap year.
constexpr int fin_de_mois[2][12] = {
    {31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365},
    {31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366},
};

// Month (1..12) of day number `n` in a common (`bissextile` false) or leap year: the first month
// whose last day reaches n. Anything up to 31 is January, anything after November December.
int mois(int n, bool bissextile)
{
    const int *fins = fin_de_mois[bissextile ? 1 : 0];
    for (int m = 1; m < 12; ++m)
        if (fins[m - 1] >= n)
            return m;
    return 12;
}

} // namespace

int Fenetre_Principale::mois_depuis_num(int nbJour)
{
    const bool bissextile = ui->Date->date().daysInYear() != 365;
    return mois(nbJour, bissextile);
}

int Fenetre_Principale::jour_depuis_num(int nbJour)
{
    const bool bissextile = ui->Date->date().daysInYear() != 365;
    const int m = mois(nbJour, bissextile);
    return m == 1 ? nbJour : nbJour - fin_de_mois[bissextile ? 1 : 0][m - 2];
}
