// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_UPDATE_A_PROPOS_H
#define ORVANE_UPDATE_A_PROPOS_H

// The About box and the donation link of the main window.

#include <QDate>
#include <QString>

// The donation page, opened in the browser by the button "Faire un don".
inline const QString adresse_page_don = QStringLiteral("https://paiement.example/don/orvane");

// First year of the range of years shown in the About box.
constexpr int premiere_annee_a_propos = 2016;

// Rich text of the About box for the application's version `version` shown on the day
// `aujourdhui`: the version, the author's credit, the web site and the range of years from
// `premiere_annee_a_propos` to the year of `aujourdhui`.
QString texte_a_propos(const QString &version, const QDate &aujourdhui);

#endif
