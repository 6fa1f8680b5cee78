// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "diagram/scene.h"

#include <QFont>
#include <QGraphicsTextItem>
#include <QString>
#include <QTextDocument>

#include <algorithm>
#include <cmath>
#include <optional>

namespace
{
// Beyond the polar circles the label stands this many degrees above the last day's point.
constexpr double rehausse_etiquette = 5.0;

bool point_fini(const QPointF &p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

// Days skipped after a visible day: long strides, shortened near the last day so that the
// last day is always visited.
int pas_jours(int jour, int dernier)
{
    if (jour + 14 < dernier)
        return 15;
    if (jour + 9 < dernier)
        return 10;
    if (jour + 4 < dernier)
        return 5;
    return 1;
}
} // namespace

void Scene::tracer_heures(double latitude, double heureMIN, double heureMAX, QPen pen, QBrush brush)
{
    const auto position = [latitude](int jour, int heure) {
        return position_simple(jour, latitude, heure);
    };
    tracer_heures(latitude, heureMIN, heureMAX, pen, brush, position, std::min(jour1, jour2),
                  std::max(jour1, jour2), true);
}

void Scene::tracer_heures(double latitude, const Lignes_Heures &lignes, QPen pen, QBrush brush)
{
    tracer_heures(latitude, lignes.heure_min, lignes.heure_max, pen, brush, lignes.position,
                  lignes.jour_min, lignes.jour_max, lignes.sans_midi, lignes.pas_max,
                  lignes.montee_max, lignes.bond_max);
}

void Scene::tracer_heures(double latitude, double heureMIN, double heureMAX, QPen pen, QBrush brush,
                          const std::function<Soleil::Point_Ciel(int, int)> &position, int d_min,
                          int d_max, bool sans_midi, int pas_max, double montee_max,
                          double bond_max)
{
    const int d = diametre;
    // Bands of the label rules: two ninths and one third of the diameter from the centre.
    const int q1 = (4 * d) / 18;
    const int q2 = d / 3;
    const QFont police(QStringLiteral("Courier"), 8);
    if (!std::isfinite(heureMIN) || !std::isfinite(heureMAX))
        return;

    int heure = static_cast<int>(heureMIN);
    while (heureMAX >= heure) {
        QPainterPath chemin;
        // Noon and midnight of true solar time have no line of their own (noon is the meridian):
        // the hour after them takes their turn.
        if (sans_midi && (heure == 12 || heure == 0))
            ++heure;

        double alt = 0.0;
        double azimut = 0.0;
        QPointF point;
        const auto placer = [&](int jour) {
            const Soleil::Point_Ciel p = position(jour, heure);
            alt = p.hauteur;
            azimut = p.azimut;
            point = m_projection.point(azimut, alt);
        };

        placer(d_min);
        const QPointF premier = point;
        if (point_fini(point))
            chemin.moveTo(point);

        // Whether the first and the last day's points are drawn, and the highest point drawn.
        bool premier_visible = false;
        bool dernier_visible = false;
        std::optional<QPointF> plus_haut;
        chemin.reserve(d_max - d_min + 2);
        for (int jour = d_min; jour <= d_max;) {
            if (jour != d_min)
                placer(jour);
            const bool visible = alt >= 0 && alt <= 90 && azimut >= -180 && azimut <= 180;
            if (jour == d_min)
                premier_visible = visible;
            dernier_visible = visible;
            if (visible && (!plus_haut || point.y() < plus_haut->y()))
                plus_haut = point;
            if (visible) {
                m_projection.relier(chemin, chemin.currentPosition(), point);
                jour += std::min(pas_jours(jour, d_max), pas_max);
            } else {
                if (point_fini(point))
                    chemin.moveTo(point);
                // A day below the horizon only moves the pen, and the next one moves it again:
                // the days whose sun stays surely below are passed over, down to the last one
                // before the sun may be back, and the range's last day is always visited.
                int saut = 1;
                if (montee_max > 0.0 && alt < 0.0 && std::isfinite(alt))
                    saut = std::max(1, static_cast<int>(std::ceil((-alt - bond_max) / montee_max)) -
                                           1);
                jour = jour < d_max ? std::min(jour + saut, d_max) : jour + 1;
            }
        }

        // An hour whose sun never rises over the range gets neither a line nor a label.
        if (!chemin.isEmpty()) {
            // The label goes under its line, as it was placed before the line was known.
            QGraphicsTextItem *etiquette =
                ajouter_texte(QString::number(heure) + QLatin1Char('h'), police, pen.color());
            etiquettes_heures.push_back(etiquette);

            if (!m_projection.est_polaire()) {
                // On the chart: above the line's upper end, or above its highest point when
                // that end is below the horizon (a loop of the clock's hours in the midnight
                // sun).
                const bool debut = premier.y() < point.y();
                const QPointF haut = (debut ? premier_visible : dernier_visible) || !plus_haut
                                         ? (debut ? premier : point)
                                         : *plus_haut;
                etiquette->setPos(haut.x() - 10, haut.y() - 20);
            } else if (latitude > 0 && latitude <= latitude_cercle_polaire) {
                // Northern hemisphere: from the first day's point.
                const double x = premier.x();
                const double y = premier.y();
                if (x > 0) {
                    if (y >= -q1)
                        etiquette->setPos(x - 20, y - 20);
                    else if (y >= -q2)
                        etiquette->setPos(x - 20, y - 5);
                    else
                        etiquette->setPos(x - 15, y);
                } else {
                    if (y >= -q1)
                        etiquette->setPos(x, y - 20);
                    else if (y >= -q2)
                        etiquette->setPos(x + 5, y - 5);
                    else
                        etiquette->setPos(x, y);
                }
            } else if (latitude >= -latitude_cercle_polaire && latitude <= 0) {
                // Southern hemisphere: from the last day's point.
                const double x = point.x();
                const double y = point.y();
                if (x > 0) {
                    if (y <= q1)
                        etiquette->setPos(x - 20, y);
                    else if (y <= q2)
                        etiquette->setPos(x - 20, y - 15);
                    else
                        etiquette->setPos(x - 15, y - 20);
                } else {
                    if (y <= q1)
                        etiquette->setPos(x, y);
                    else if (y <= q2)
                        etiquette->setPos(x + 5, y - 15);
                    else
                        etiquette->setPos(x, y - 20);
                }
            } else if (std::fabs(latitude) > latitude_cercle_polaire) {
                // Beyond the polar circles: a little above the last day's point.
                const double h = alt + rehausse_etiquette;
                etiquette->setPos(m_projection.point(azimut, h) - QPointF(10, 10));
            }
            // The disc's rules were made for the equidistant law, where they are kept as they
            // always were.
            if (m_projection.type() != Type_Projection::Equidistante)
                degager(etiquette);

            ajouter_chemin(chemin, pen, brush);
        }

        // 23 h is the last hour of the day: nothing follows it.
        if (heure == 23)
            break;
        ++heure;
    }
}

void Scene::eclaircir_etiquettes_heures()
{
    // Every other label and the disc's are kept; an hour label that would touch one of them,
    // or an hour label kept before it, is hidden.
    std::vector<QRectF> prises;
    for (const Etiquette_Disque &e : etiquettes_disque())
        prises.push_back(e.rectangle());
    const QList<QGraphicsItem *> tous = items();
    for (const QGraphicsItem *item : tous)
        if (item->type() == QGraphicsTextItem::Type && item->isVisible() &&
            std::find(etiquettes_heures.begin(), etiquettes_heures.end(), item) ==
                etiquettes_heures.end())
            prises.push_back(encre_texte(*static_cast<const QGraphicsTextItem *>(item)));
    for (QGraphicsTextItem *etiquette : etiquettes_heures) {
        rentrer(*etiquette);
        const QRectF encre = encre_texte(*etiquette);
        const bool touche = std::any_of(prises.begin(), prises.end(),
                                        [&](const QRectF &r) { return r.intersects(encre); });
        etiquette->setVisible(!touche);
        if (!touche)
            prises.push_back(encre);
    }
}

QRectF Scene::encre_texte(const QGraphicsTextItem &texte)
{
    const qreal marge = texte.document()->documentMargin();
    return texte.sceneBoundingRect().adjusted(marge, marge, -marge, -marge);
}

void Scene::rentrer(QGraphicsTextItem &texte) const
{
    // A little room inside the edge: a bold glyph may reach past its advance.
    constexpr double marge = 3.0;
    const QRectF encre = encre_texte(texte);
    const QRectF cadre = sceneRect().adjusted(marge, marge, -marge, -marge);
    const auto ecart = [](double debut, double fin, double min, double max) {
        if (fin > max)
            return std::max(min - debut, max - fin);
        return debut < min ? min - debut : 0.0;
    };
    texte.moveBy(ecart(encre.left(), encre.right(), cadre.left(), cadre.right()),
                 ecart(encre.top(), encre.bottom(), cadre.top(), cadre.bottom()));
}

void Scene::degager(QGraphicsTextItem *etiquette)
{
    // The text's own margin left out: labels may touch, not overlap.
    constexpr double marge_texte = 4.0;
    constexpr int essais = 8;
    for (int essai = 0; essai < essais; ++essai) {
        const QRectF place = etiquette->sceneBoundingRect().adjusted(marge_texte, marge_texte,
                                                                     -marge_texte, -marge_texte);
        const QList<QGraphicsItem *> dessous = items(place, Qt::IntersectsItemBoundingRect);
        const bool libre =
            std::none_of(dessous.cbegin(), dessous.cend(), [etiquette](const QGraphicsItem *item) {
                return item != etiquette && item->type() == QGraphicsTextItem::Type;
            });
        if (libre)
            return;
        etiquette->moveBy(0.0, -place.height());
    }
}
