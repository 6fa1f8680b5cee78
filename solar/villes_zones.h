// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_SOLAR_VILLES_ZONES_H
#define ORVANE_SOLAR_VILLES_ZONES_H

// The principal city of a time zone, from the system's tz database (zone1970.tab, and the
// older zone.tab for the names that only it lists): a starting place when a zone is chosen.
// Qt Core only.

#include <QByteArray>
#include <QString>

#include <optional>

struct Ville_Zone {
    double latitude = 0.0;  // degrees, north positive
    double longitude = 0.0; // degrees, east positive
};

// Directory of the tz database: $TZDIR when set, else /usr/share/zoneinfo (Debian's tzdata).
QString repertoire_zoneinfo();

// The coordinates of the principal city of IANA zone `zone` ("Europe/Paris"), read from the
// tables of `repertoire`; nothing when no table lists the zone or cannot be read.
std::optional<Ville_Zone> ville_principale(const QByteArray &zone,
                                           const QString &repertoire = repertoire_zoneinfo());

// ISO 6709 coordinates as the tables write them: ±DDMM±DDDMM or ±DDMMSS±DDDMMSS.
std::optional<Ville_Zone> coordonnees_iso6709(const QString &texte);

#endif
