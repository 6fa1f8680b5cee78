// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "annee/dessin_grille.h"

#include "ecriture/ecriture.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QLinearGradient>
#include <QLocale>
#include <QPainter>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>

namespace
{
// The shades' ends: a pale yellow for a minute, a deep orange for a full hour.
const QColor pale(255, 240, 180);
const QColor profonde(190, 60, 0);

// "4h18" for minutes.
QString texte_minutes(double minutes)
{
    const int arrondies = static_cast<int>(std::lround(minutes));
    return QStringLiteral("%1h%2").arg(arrondies / 60).arg(arrondies % 60, 2, 10, QLatin1Char('0'));
}
} // namespace

QColor couleur_minutes(double minutes)
{
    if (!(minutes > 0.0))
        return QColor(Qt::white);
    const double t = std::clamp(minutes / 60.0, 0.0, 1.0);
    return QColor::fromRgbF(pale.redF() + t * (profonde.redF() - pale.redF()),
                            pale.greenF() + t * (profonde.greenF() - pale.greenF()),
                            pale.blueF() + t * (profonde.blueF() - pale.blueF()));
}

QString nom_mois(int mois)
{
    static const char *const noms[12] = {"janvier",   "février", "mars",     "avril",
                                         "mai",       "juin",    "juillet",  "août",
                                         "septembre", "octobre", "novembre", "décembre"};
    return QString::fromUtf8(noms[std::clamp(mois, 1, 12) - 1]);
}

QString titre_grille(const Grille_Annee &grille)
{
    return QStringLiteral("Soleil sur la fenêtre au fil de l'année %1").arg(grille.annee);
}

QString texte_total_annee(const Grille_Annee &grille)
{
    const QLocale francais(QLocale::French, QLocale::France);
    return QStringLiteral("Total de l'année : %1 h")
        .arg(francais.toString(static_cast<qlonglong>(std::lround(grille.total_annee()))));
}

void dessiner_grille(QPainter &peintre, const QRectF &cadre, const Grille_Annee &grille,
                     const QString &echelle)
{
    peintre.save();
    peintre.setRenderHint(QPainter::Antialiasing, false);
    // Rows of text: the title, the hours, twelve months, the total with the scale's caption,
    // the scale and its numbers.
    const double ligne = cadre.height() / 17.5;
    QFont police(QStringLiteral("Liberation Sans"));
    police.setPixelSize(std::max(6, static_cast<int>(ligne * 0.5)));
    QFont titre = police;
    titre.setPixelSize(std::max(7, static_cast<int>(ligne * 0.62)));
    titre.setBold(true);
    const QFontMetricsF mesure(police);
    const double largeur_mois = mesure.horizontalAdvance(QStringLiteral("septembre")) + ligne * 0.4;
    const double largeur_total =
        mesure.horizontalAdvance(QStringLiteral("Total/jour")) + ligne * 0.4;
    const double x0 = cadre.left() + largeur_mois;
    const double cellule = (cadre.width() - largeur_mois - largeur_total) / 24.0;
    const double y0 = cadre.top() + 2.0 * ligne;
    const QPen trait(QColor(120, 120, 120), 0);

    peintre.setPen(Qt::black);
    peintre.setFont(titre);
    peintre.drawText(QRectF(cadre.left(), cadre.top(), cadre.width(), ligne),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     titre_grille(grille) + QStringLiteral(" — ") + echelle);
    peintre.setFont(police);
    // Narrow cells drop the hours' "h", then every other hour.
    const bool court = mesure.horizontalAdvance(QStringLiteral("23h")) + 2.0 > cellule;
    const int pas = court && mesure.horizontalAdvance(QStringLiteral("23")) + 2.0 > cellule ? 2 : 1;
    for (int h = 0; h < 24; h += pas)
        peintre.drawText(QRectF(x0 + h * cellule, y0 - ligne, cellule, ligne), Qt::AlignCenter,
                         QString::number(h) + (court ? QString() : QStringLiteral("h")));
    peintre.drawText(QRectF(x0 + 24 * cellule, y0 - ligne, largeur_total, ligne), Qt::AlignCenter,
                     QStringLiteral("Total/jour"));
    for (int m = 0; m < 12; ++m) {
        const double y = y0 + m * ligne;
        peintre.setPen(Qt::black);
        peintre.drawText(QRectF(cadre.left(), y, largeur_mois, ligne),
                         Qt::AlignLeft | Qt::AlignVCenter, nom_mois(m + 1));
        for (int h = 0; h < 24; ++h)
            peintre.fillRect(
                QRectF(x0 + h * cellule, y, cellule, ligne),
                couleur_minutes(
                    grille.minutes[static_cast<std::size_t>(m)][static_cast<std::size_t>(h)]));
        peintre.drawText(QRectF(x0 + 24 * cellule, y, largeur_total, ligne), Qt::AlignCenter,
                         texte_minutes(grille.total_jour(m)));
    }
    // The grid's lines over the cells.
    peintre.setPen(trait);
    for (int h = 0; h <= 24; ++h)
        peintre.drawLine(QPointF(x0 + h * cellule, y0), QPointF(x0 + h * cellule, y0 + 12 * ligne));
    for (int m = 0; m <= 12; ++m)
        peintre.drawLine(QPointF(x0, y0 + m * ligne), QPointF(x0 + 24 * cellule, y0 + m * ligne));

    // The year's total, and the scale of the shades from none to a full hour.
    const double y_bas = y0 + 12.5 * ligne;
    peintre.setPen(Qt::black);
    peintre.drawText(QRectF(cadre.left(), y_bas, x0 + 12 * cellule - cadre.left(), ligne),
                     Qt::AlignLeft | Qt::AlignVCenter, texte_total_annee(grille));
    const double x_echelle = x0 + 12 * cellule;
    const double largeur_echelle = 12 * cellule;
    QLinearGradient degrade(QPointF(x_echelle, 0), QPointF(x_echelle + largeur_echelle, 0));
    degrade.setColorAt(0.0, couleur_minutes(1e-9));
    degrade.setColorAt(1.0, couleur_minutes(60.0));
    peintre.drawText(QRectF(x_echelle, y_bas, cadre.right() - x_echelle, ligne),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("minutes de soleil par jour dans l'heure"));
    const QRectF barre(x_echelle, y_bas + 1.05 * ligne, largeur_echelle, 0.5 * ligne);
    peintre.fillRect(barre, degrade);
    peintre.setPen(trait);
    peintre.drawRect(barre);
    peintre.setPen(Qt::black);
    for (const int minutes : {0, 15, 30, 45, 60}) {
        const double x = x_echelle + largeur_echelle * minutes / 60.0;
        peintre.drawLine(QPointF(x, barre.bottom()), QPointF(x, barre.bottom() + 0.15 * ligne));
        peintre.drawText(QRectF(x - 2 * ligne, barre.bottom() + 0.15 * ligne, 4 * ligne, ligne),
                         Qt::AlignHCenter | Qt::AlignTop, QString::number(minutes));
    }
    peintre.restore();
}

QString exporter_grille(const Grille_Annee &grille, const QString &echelle, const QString &fichier)
{
    const QString suffixe = QFileInfo(fichier).suffix().toLower();
    QByteArray octets;
    if (suffixe == QLatin1String("csv")) {
        octets = csv_grille(grille);
    } else if (suffixe == QLatin1String("png")) {
        QImage image(taille_image_grille, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter peintre(&image);
            dessiner_grille(peintre, QRectF(QPointF(20, 20), taille_image_grille - QSize(40, 40)),
                            grille, echelle);
        }
        QBuffer tampon(&octets);
        tampon.open(QIODevice::WriteOnly);
        if (!image.save(&tampon, "PNG"))
            return QStringLiteral("l'image n'a pas pu être encodée");
    } else if (suffixe == QLatin1String("svg")) {
        QBuffer tampon(&octets);
        tampon.open(QIODevice::WriteOnly);
        QSvgGenerator svg;
        svg.setOutputDevice(&tampon);
        svg.setSize(taille_image_grille);
        svg.setViewBox(QRect(QPoint(0, 0), taille_image_grille));
        svg.setTitle(titre_grille(grille));
        QPainter peintre(&svg);
        peintre.fillRect(QRect(QPoint(0, 0), taille_image_grille), Qt::white);
        dessiner_grille(peintre, QRectF(QPointF(20, 20), taille_image_grille - QSize(40, 40)),
                        grille, echelle);
        peintre.end();
    } else {
        return QStringLiteral("le nom doit se terminer par .png, .svg ou .csv");
    }
    return ecrire_fichier(fichier, octets);
}
