// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_TRACE_REGLES_H
#define ORVANE_TRACE_REGLES_H

// The ranges and forms an input obeys wherever it is typed: on the command line, in a site
// file or in the window. One set, so that whatever one of them takes the others take too (a
// site the command line writes opens in the window and on the command line).
//
// Latitudes are degrees, north positive; longitudes degrees, east positive.

#include <QByteArray>
#include <QDate>
#include <QString>

inline constexpr double latitude_max = 90.0;   // degrees, both signs
inline constexpr double longitude_max = 180.0; // degrees, both signs

// Years of Mode 2: those a date can be written in, AAAA.
inline constexpr int annee_min = 1;
inline constexpr int annee_max = 9999;

// The chosen and saved dates: the range of the window's date edit, from the first day of the
// Gregorian calendar in Britain.
inline const QDate premiere_date = QDate(1752, 9, 14);
inline const QDate derniere_date = QDate(9999, 12, 31);

// A date read from its text.
struct Date_Lue {
    enum class Probleme {
        Aucun,
        Forme,       // not exactly AAAA-MM-JJ
        Inexistante, // 2026-02-30
        Hors_limites // outside premiere_date..derniere_date
    };
    QDate date; // valid only without a problem
    Probleme probleme = Probleme::Aucun;
};

// Reads exactly AAAA-MM-JJ: ten characters, nothing before or after (no time, no zone, no sign,
// no space), a date that exists, within the range above.
Date_Lue lire_date_iso(const QString &texte);

// The date as AAAA-MM-JJ.
QString texte_date_iso(const QDate &date);

// Whether `id` names a time zone of the system's tz database (any that QTimeZone opens,
// "Etc/GMT+5" included), written in ASCII.
bool fuseau_connu(const QString &id);

#endif
