// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_UPDATE_MISE_A_JOUR_H
#define ORVANE_UPDATE_MISE_A_JOUR_H

// The connection to the update database.
//
// The update check (the slots `rechercher_mise_a_jour...` of the main window) opens the
// connection "ma_base", calls the stored procedure that lists the latest release(s) of the
// application, compares each release's update id with the application's own and closes the
// connection again. The server, its port, the database and the account are compiled in.

#include <QSqlDatabase>
#include <QString>

// Name of the update connection among the program's database connections.
inline const QString nom_connexion_maj = QStringLiteral("ma_base");

// Delay between the construction of the main window and the silent start-up check, ms.
constexpr int delai_verification_lancement_ms = 500;

// Longest wait for the server, seconds: for the connection to be made, and for each answer
// once connected. A server that drops packets or never answers ends as a failed check after
// this delay instead of freezing the window for minutes.
constexpr int delai_attente_serveur_s = 5;

// Adds the connection "ma_base" with the "QMYSQL" driver and configures it: the compiled-in
// host name, the database "qorvalen_applications", the account and its password, the
// compiled-in port and the connect and read time-outs. Nothing is opened.
QSqlDatabase configurer_connexion_maj();

// Closes `base`, releases the handle and removes the connection "ma_base".
void retirer_connexion_maj(QSqlDatabase &base);

#endif
