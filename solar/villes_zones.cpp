// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "solar/villes_zones.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <cmath>

namespace
{
// Degrees of a signed DD[D]MM[SS] field of `chiffres_degres` digits of degrees.
std::optional<double> angle(const QString &champ, int chiffres_degres)
{
    const int n = champ.size() - 1;
    if (n != chiffres_degres + 2 && n != chiffres_degres + 4)
        return std::nullopt;
    const double signe = champ.at(0) == QLatin1Char('-') ? -1.0 : 1.0;
    const double degres = champ.mid(1, chiffres_degres).toInt();
    const double minutes = champ.mid(1 + chiffres_degres, 2).toInt();
    const double secondes =
        n == chiffres_degres + 4 ? champ.mid(3 + chiffres_degres, 2).toInt() : 0;
    if (minutes >= 60 || secondes >= 60)
        return std::nullopt;
    return signe * (degres + minutes / 60.0 + secondes / 3600.0);
}

std::optional<Ville_Zone> chercher(const QString &fichier, const QByteArray &zone)
{
    QFile f(fichier);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    while (!f.atEnd()) {
        const QByteArray ligne = f.readLine().trimmed();
        if (ligne.isEmpty() || ligne.startsWith('#'))
            continue;
        // country codes, coordinates, zone name, optional comment; separated by tabs.
        const QList<QByteArray> champs = ligne.split('\t');
        if (champs.size() >= 3 && champs.at(2) == zone)
            return coordonnees_iso6709(QString::fromLatin1(champs.at(1)));
    }
    return std::nullopt;
}
} // namespace

QString repertoire_zoneinfo()
{
    const QString tzdir = qEnvironmentVariable("TZDIR");
    return tzdir.isEmpty() ? QStringLiteral("/usr/share/zoneinfo") : tzdir;
}

std::optional<Ville_Zone> ville_principale(const QByteArray &zone, const QString &repertoire)
{
    const QDir dir(repertoire);
    for (const char *table : {"zone1970.tab", "zone.tab"}) {
        if (const auto ville = chercher(dir.filePath(QLatin1String(table)), zone))
            return ville;
    }
    return std::nullopt;
}

std::optional<Ville_Zone> coordonnees_iso6709(const QString &texte)
{
    static const QRegularExpression forme(
        QStringLiteral("^([+-]\\d{4}(?:\\d{2})?)([+-]\\d{5}(?:\\d{2})?)$"));
    const QRegularExpressionMatch m = forme.match(texte);
    if (!m.hasMatch())
        return std::nullopt;
    const auto latitude = angle(m.captured(1), 2);
    const auto longitude = angle(m.captured(2), 3);
    if (!latitude || !longitude || std::abs(*latitude) > 90 || std::abs(*longitude) > 180)
        return std::nullopt;
    return Ville_Zone{*latitude, *longitude};
}
