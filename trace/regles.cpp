// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "trace/regles.h"
#include "solar/heure_legale.h"

#include <QRegularExpression>
#include <QTimeZone>

Date_Lue lire_date_iso(const QString &texte)
{
    // The toolkit's ISO reader takes a trailing time, zone or character after the tenth; the
    // form is checked whole first.
    static const QRegularExpression forme(QStringLiteral("\\A\\d{4}-\\d{2}-\\d{2}\\z"));
    Date_Lue lue;
    if (!forme.match(texte).hasMatch()) {
        lue.probleme = Date_Lue::Probleme::Forme;
        return lue;
    }
    const QDate date = QDate::fromString(texte, QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid())
        lue.probleme = Date_Lue::Probleme::Inexistante;
    else if (date < premiere_date || date > derniere_date)
        lue.probleme = Date_Lue::Probleme::Hors_limites;
    else
        lue.date = date;
    return lue;
}

QString texte_date_iso(const QDate &date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

bool fuseau_connu(const QString &id)
{
    // The list of available zones leaves out those outside zone1970.tab (Etc/GMT+5, EST5EDT),
    // which the database holds and QTimeZone opens, and holds the toolkit's offsets
    // ("UTC+01:00") that the window offers. A name only, checked before QTimeZone opens
    // anything: a path could climb out of the zone folder onto a FIFO, and a POSIX rule is no
    // zone of the database.
    const QByteArray octets = id.toLatin1();
    return !id.isEmpty() && QString::fromLatin1(octets) == id &&
           (zone_de_la_base(octets) || QTimeZone::availableTimeZoneIds().contains(octets)) &&
           QTimeZone(octets).isValid();
}
