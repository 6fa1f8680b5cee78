// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_UPDATE_MISE_A_JOUR_H
#define ORVANE_UPDATE_MISE_A_JOUR_H

// The update check of the main window.
//
// The connection "ma_base" holds where the update server is and the account that reads it;
// it is configured once by the main window and never opened. Each check copies those settings
// into a `Verification_maj` (update/verification_maj.h), which runs the exchange on a thread
// and on a connection of its own and answers within `delai_verification_ms`: 500 ms after
// start-up in the background, the result coming back to the window by a queued signal; from
// the menu while the window waits. One offer at most, for the newest release.

#include <QSqlDatabase>
#include <QString>

struct Parametres_maj;

// Name of the update connection among the program's database connections.
inline const QString nom_connexion_maj = QStringLiteral("ma_base");

// Delay between the construction of the main window and the silent start-up check, ms.
constexpr int delai_verification_lancement_ms = 500;

// Adds the connection "ma_base" with the "QMYSQL" driver and configures it: the compiled-in
// host name, the database "qorvalen_applications", the account and its password and the
// compiled-in port. Nothing is opened.
QSqlDatabase configurer_connexion_maj();

// The settings of `base` as plain values, for a check's own connection.
Parametres_maj parametres_maj(const QSqlDatabase &base);

// Closes `base`, releases the handle and removes the connection "ma_base".
void retirer_connexion_maj(QSqlDatabase &base);

#endif
