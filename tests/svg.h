// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_TESTS_SVG_H
#define ORVANE_TESTS_SVG_H

// Paths read back from an exported SVG, to check the geometry the file holds.

#include <QFile>
#include <QPointF>
#include <QRegularExpression>
#include <QString>
#include <QVector>
#include <QXmlStreamReader>

// The points of the first path of `fichier` in a group stroked `trait` ("#ff0000"), in the
// coordinates the file writes them in (the scene's, under the group's transform); its M, L and
// Z commands only. Empty when there is none.
inline QVector<QPointF> points_trait_svg(const QString &fichier, const QString &trait)
{
    QFile lu(fichier);
    if (!lu.open(QIODevice::ReadOnly))
        return {};
    QXmlStreamReader xml(&lu);
    QString stroke;
    QString chemin;
    while (!xml.atEnd() && chemin.isEmpty()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("g"))
            stroke = xml.attributes().value(QLatin1String("stroke")).toString();
        else if (xml.isStartElement() && xml.name() == QLatin1String("path") && stroke == trait)
            chemin = xml.attributes().value(QLatin1String("d")).toString();
    }
    const QStringList nombres =
        chemin.split(QRegularExpression(QStringLiteral("[MLZ, ]+")), Qt::SkipEmptyParts);
    QVector<QPointF> points;
    for (int i = 0; i + 1 < nombres.size(); i += 2)
        points.append(QPointF(nombres[i].toDouble(), nombres[i + 1].toDouble()));
    return points;
}

#endif
