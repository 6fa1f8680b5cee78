// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "diagram/scene.h"

#include <QFont>
#include <QGraphicsTextItem>
#include <QLine>
#include <QPainter>
#include <QRect>
#include <QString>

#include <QTextCursor>
#include <QTextDocument>

#include <cmath>
#include <memory>

namespace
{
// Integer part, toward zero: the disc's geometry is laid on whole scene units.
int tronque(double valeur)
{
    return static_cast<int>(valeur);
}
} // namespace

Scene::Scene(QObject *parent) : QGraphicsScene(parent)
{
    // Every rebuild clears the scene and fills it again: an index would only cost time.
    setItemIndexMethod(QGraphicsScene::NoIndex);
}

QGraphicsTextItem *Scene::ajouter_texte(const QString &texte, const QFont &police,
                                        const QColor &couleur)
{
    auto item = std::make_unique<QGraphicsTextItem>();
    item->setFont(police);
    if (couleur.isValid())
        item->setDefaultTextColor(couleur);
    QTextCursor(item->document()).insertText(texte);
    addItem(item.get());
    return item.release();
}

int Scene::NbPointsMasqueMAX() const
{
    return nb_points_masque_max;
}

void Scene::setNbPointsMasqueMAX(int nombre)
{
    nb_points_masque_max = nombre;
}

int Scene::diametre0() const
{
    return diametre;
}

void Scene::setDiametre0(int nombre)
{
    diametre = nombre;
}

void Scene::drawBackground(QPainter *painter, const QRectF &rect)
{
    const int d = diametre;
    const int demi = d / 2;
    const int pas_h = options.pas_hauteur;
    const int pas_a = options.pas_azimut;
    const bool graduations = options.graduations_affichees();
    // Radius of the graduation labels, just outside the horizon circle.
    const double r_texte = d * 0.5 + 15.0;
    const double pi = soleil.pi();

    painter->save();
    painter->fillRect(rect, Qt::white);

    painter->setPen(QPen(QBrush(Qt::black), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter->setFont(QFont(QStringLiteral("Courier"), 7));
    painter->setOpacity(options.opacite / 100.0);

    // The dialog keeps both steps positive; a step of zero would never end the loops below.
    if (pas_h > 0 && pas_a > 0) {
        // Altitude circles, the horizon first, one every pas_h degrees below the zenith.
        double pos = -demi;
        double taille = d;
        while (taille > 0) {
            painter->drawEllipse(
                QRect(tronque(pos), tronque(pos), tronque(taille), tronque(taille)));
            const double pas = d / (90.0 / pas_h);
            pos += pas * 0.5;
            taille -= pas;
        }

        // Altitude labels on the vertical axis, just above the top of each circle.
        if (graduations) {
            for (double v = pas_h; v <= 90.0; v += pas_h)
                painter->drawText(QPointF(-10, tronque(-(d * 0.5) * (1.0 - v / 90.0) - 5.0)),
                                  QString::number(v, 'g', 6));
        }
    }

    // The four main axes; their labels read the azimuth (0 north, -90 east, 180 south,
    // 90 west) and stay when the graduations are hidden.
    for (int a = 0; a < 360; a += 90) {
        const double s = std::sin(a * pi / 180.0);
        const double c = std::cos(a * pi / 180.0);
        const QLine axe(0, 0, tronque(s * (-d * 0.5)), tronque(c * (-d * 0.5)));
        painter->drawLines(&axe, 1);
        const int valeur = a < 180 ? -a : 360 - a;
        painter->drawText(QPointF(tronque(s * r_texte - 8.0), tronque(5.0 - c * r_texte)),
                          QString::number(valeur));
    }

    if (pas_h > 0 && pas_a > 0) {
        // Minor azimuth ticks from the highest circle below the zenith to the horizon, every
        // pas_a degrees, east half (negative azimuths) then west half.
        const int k = (90 % pas_h == 0) ? 90 / pas_h - 1 : 90 / pas_h;
        const double rho = (1.0 - k * pas_h / 90.0) * d * 0.5;
        const auto graduation = [&](int a) {
            const double s = std::sin(a * pi / 180.0);
            const double c = std::cos(a * pi / 180.0);
            const QLine trait(tronque(-s * rho), tronque(-c * rho), tronque(-s * d * 0.5),
                              tronque(-c * d * 0.5));
            painter->drawLines(&trait, 1);
            if (graduations)
                painter->drawText(QPointF(tronque(-s * r_texte - 8.0), tronque(5.0 - c * r_texte)),
                                  QString::number(a));
        };
        for (int a = -pas_a; a > -180; a -= pas_a) {
            if (a != -90)
                graduation(a);
        }
        for (int a = pas_a; a < 180; a += pas_a) {
            if (a != 90)
                graduation(a);
        }
    }

    // Cardinal labels, more opaque than the disc (the painter clamps at 1).
    painter->setOpacity(options.opacite / 100.0 + 0.3);
    painter->setFont(QFont(QStringLiteral("Courier"), 15, QFont::Bold));
    painter->drawText(QPointF(-23, -demi - 24), tr("NORD"));
    painter->drawText(QPointF(-19, demi + 36), tr("SUD"));
    painter->drawText(QPointF(demi + 40, 7), tr("EST"));
    painter->drawText(QPointF(-demi - 100, 7), tr("OUEST"));

    painter->restore();
}
