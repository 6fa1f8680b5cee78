// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "diagram/scene.h"

#include <QGraphicsLineItem>
#include <QGraphicsPathItem>
#include <QGraphicsRectItem>
#include <QGraphicsTextItem>
#include <QLineF>
#include <QPolygonF>
#include <QTextDocument>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace
{
// Segments of a course: more beyond the polar circles, where a course may last all day.
constexpr int segments_tempere = 44;
constexpr int segments_polaire = 79;
// On the chart, two segments of a course that turn by more than this (degrees) are each cut
// into this many.
constexpr double virage_max = 15.0;
constexpr int finesse_virage = 4;
// Legend rows are this many scene units apart; the legend stroke is this long.
constexpr double interligne_legende = 15.0;
constexpr double trait_legende = 10.0;
// A legend row, stroke and date, as a compact drawing places it: this wide, from this far above
// its stroke to this far below (scene units).
constexpr double largeur_ligne_legende = 80.0;
constexpr double haut_ligne = 11.0;
constexpr double bas_ligne = 4.0;
// The graduation labels reach this far beyond their circle.
constexpr double largeur_graduations = 26.0;
// A limit course's label on the chart stands this far from its course, scene units.
constexpr double ecart_etiquette = 2.0;

bool point_fini(const QPointF &p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}
} // namespace

bool Scene::tracer_course_soleil(int Numero_jour, double latitude, double TSVlever,
                                 double TSVcoucher, QPen pen, QBrush brush, QPainterPath chemin,
                                 QGraphicsTextItem *date, bool droite, int nb_clic_enregistrer_date)
{
    return tracer_course(
        course_simple(Numero_jour, latitude, TSVlever, TSVcoucher, segments_course(latitude)),
        latitude, pen, brush, chemin, date, droite, nb_clic_enregistrer_date);
}

bool Scene::tracer_course(const Course_Ciel &course, double latitude, QPen pen, QBrush brush,
                          QPainterPath chemin, QGraphicsTextItem *date, bool droite,
                          int nb_clic_enregistrer_date)
{
    if (!course.position || m_projection.est_polaire() || course.positions.empty())
        return tracer_course_positions(course.positions, course.horizon, course.numero, latitude,
                                       pen, brush, chemin, date, droite, nb_clic_enregistrer_date);
    std::vector<Soleil::Point_Ciel> positions = course.positions;
    const int n = static_cast<int>(positions.size()) - 1;
    const double TSVlever = course.debut;
    const double TSVcoucher = course.fin;
    const auto &position = course.position;
    // On the chart a high sun sweeps across many degrees of azimuth between two samples: where
    // the drawn course turns sharply, its two segments are sampled more finely.
    const double demi_largeur = m_projection.cadre().width() / 2.0;
    std::vector<bool> affiner(n, false);
    for (int i = 1; i < n; ++i) {
        const QPointF a = m_projection.point(positions[i - 1].azimut, positions[i - 1].hauteur);
        const QPointF b = m_projection.point(positions[i].azimut, positions[i].hauteur);
        const QPointF c = m_projection.point(positions[i + 1].azimut, positions[i + 1].hauteur);
        const QLineF avant(a, b);
        const QLineF apres(b, c);
        if (std::abs(avant.dx()) > demi_largeur || std::abs(apres.dx()) > demi_largeur)
            continue;
        const double virage = std::abs(std::remainder(apres.angle() - avant.angle(), 360.0));
        if (virage > virage_max)
            affiner[i - 1] = affiner[i] = true;
    }
    std::vector<Soleil::Point_Ciel> fines{positions[0]};
    const double pas = (TSVcoucher - TSVlever) / n;
    for (int i = 0; i < n; ++i) {
        if (affiner[i])
            for (int k = 1; k < finesse_virage; ++k)
                fines.push_back(position(TSVlever + (i + double(k) / finesse_virage) * pas));
        fines.push_back(positions[i + 1]);
    }
    positions.swap(fines);
    return tracer_course_positions(positions, course.horizon, course.numero, latitude, pen, brush,
                                   chemin, date, droite, nb_clic_enregistrer_date);
}

int Scene::segments_course(double latitude)
{
    return std::fabs(latitude) < latitude_cercle_polaire ? segments_tempere : segments_polaire;
}

int Scene::segments_trace(double latitude) const
{
    return segments_course(latitude) * finesse_course();
}

int Scene::finesse_course() const
{
    // A course without finer samples to ask for is sampled more finely on the chart: see
    // `virage_max`.
    return m_projection.est_polaire() ? 1 : finesse_virage;
}

bool Scene::tracer_course_positions(const std::vector<Soleil::Point_Ciel> &positions,
                                    double horizon, int Numero_jour, double latitude, QPen pen,
                                    QBrush brush, QPainterPath chemin, QGraphicsTextItem *date,
                                    bool droite, int nb_clic_enregistrer_date)
{
    const int n = static_cast<int>(positions.size()) - 1;
    if (n < 0)
        return false;
    std::vector<QPointF> points(n + 1);
    std::vector<double> hauteurs(n + 1);
    for (int i = 0; i <= n; ++i) {
        const double h = positions[i].hauteur;
        const double a = positions[i].azimut;
        hauteurs[i] = h;
        points[i] = m_projection.point(a, h);
    }

    if (droite && date && !m_projection.est_polaire()) {
        // On the chart: centred above the course's highest point, where the limit courses lie
        // far apart and no hour line ends.
        int haut = -1;
        for (int i = 0; i <= n; ++i)
            if (point_fini(points[i]) && hauteurs[i] >= horizon &&
                (haut < 0 || points[i].y() < points[haut].y()))
                haut = i;
        if (haut >= 0) {
            date->setPos(points[haut].x() - date->boundingRect().width() / 2.0,
                         points[haut].y() - date->boundingRect().height());
            // Where the hour lines or another course cross it, it moves along its course
            // once they are drawn (`degager_etiquettes_cylindre`).
            Course_Etiquetee course{date, {}, 0};
            for (int i = 0; i <= n; ++i) {
                if (!point_fini(points[i]) || hauteurs[i] < horizon)
                    continue;
                if (i == haut)
                    course.sommet = course.points.size();
                course.points.push_back(points[i]);
            }
            etiquettes_cylindre.push_back(std::move(course));
        }
    } else if (droite && date) {
        // Beside the curve, from the sunrise point; beyond the polar circles only the limit
        // days have a place of their own.
        const double x0 = points[0].x();
        const double y0 = points[0].y();
        if (std::fabs(latitude) < latitude_cercle_polaire) {
            date->setPos(x0 + 40, y0 >= 0 ? y0 : 1.15 * y0);
        } else if (latitude < -latitude_cercle_polaire) {
            if (Numero_jour == jour1)
                date->setPos(x0 + 40, y0 >= 0 ? y0 + 10 : 1.15 * y0);
            else if (Numero_jour == jour2)
                date->setPos(y0 >= 0 ? QPointF(x0, y0 - 50) : QPointF(x0 + 40, 1.15 * y0));
        } else if (latitude > latitude_cercle_polaire) {
            if (Numero_jour == jour2)
                date->setPos(y0 >= 0 ? QPointF(x0 + 40, y0 + 10) : QPointF(x0 + 20, y0 + 30));
            else if (Numero_jour == jour1)
                date->setPos(y0 >= 0 ? QPointF(x0, y0 + 10) : QPointF(x0 + 40, y0 - 40));
        }
        // A compact drawing keeps the label within it; the legend's rows keep clear of it.
        if (compacte) {
            rentrer(*date);
            etiquettes_courbes.push_back(date);
        }
    }

    // A segment is drawn when it starts on or above the horizon. A point that is not a number
    // cannot be added to a path and is passed over.
    chemin.reserve(chemin.elementCount() + n + 1);
    if (point_fini(points[0]))
        chemin.moveTo(points[0]);
    for (int i = 1; i <= n; ++i) {
        if (!point_fini(points[i]))
            continue;
        if (hauteurs[i - 1] >= horizon)
            m_projection.relier(chemin, chemin.currentPosition(), points[i]);
        else
            chemin.moveTo(points[i]);
    }
    ajouter_chemin(chemin, pen, brush);

    // A course wholly below the horizon keeps its legend row all the same: the user asked for
    // that date, and its row says so.
    if (!droite) {
        const QPointF origine = origine_legende(nb_clic_enregistrer_date);
        const double x = origine.x();
        const double y = origine.y();
        QGraphicsLineItem *trait = addLine(QLineF(x, y, x + trait_legende, y), pen);
        if (date)
            date->setPos(x + trait_legende, y - interligne_legende);
        if (compacte)
            ajouter_ligne_legende(
                {nb_clic_enregistrer_date, trait, nullptr, date, largeur_ligne_legende});
    }
    return !chemin.isEmpty();
}

namespace
{
// Whether the segment from `a` to `b` enters `r`.
bool segment_dans(const QRectF &r, const QPointF &a, const QPointF &b)
{
    if (r.contains(a) || r.contains(b))
        return true;
    const QLineF segment(a, b);
    const QLineF bords[] = {{r.topLeft(), r.topRight()},
                            {r.topRight(), r.bottomRight()},
                            {r.bottomRight(), r.bottomLeft()},
                            {r.bottomLeft(), r.topLeft()}};
    for (const QLineF &bord : bords)
        if (segment.intersects(bord, nullptr) == QLineF::BoundedIntersection)
            return true;
    return false;
}

// The points of a line item's path by runs, each with its box, so that a label's box is
// checked against the runs it may meet only.
struct Morceau_Trait {
    QRectF boite;
    QPolygonF points;
};
constexpr int points_par_morceau_trait = 16;
} // namespace

void Scene::degager_etiquettes_cylindre()
{
    if (etiquettes_cylindre.empty())
        return;
    // The courses and the hour lines: the stroked paths without a filling.
    std::vector<Morceau_Trait> traits;
    for (const QGraphicsItem *item : items()) {
        const auto *chemin = qgraphicsitem_cast<const QGraphicsPathItem *>(item);
        if (!chemin || !item->isVisible() || chemin->brush().style() != Qt::NoBrush)
            continue;
        for (const QPolygonF &polygone : chemin->path().toSubpathPolygons()) {
            for (int debut = 0; debut + 1 < polygone.size(); debut += points_par_morceau_trait) {
                const int fin =
                    std::min<int>(polygone.size(), debut + points_par_morceau_trait + 1);
                QPolygonF morceau(polygone.mid(debut, fin - debut));
                traits.push_back({morceau.boundingRect(), std::move(morceau)});
            }
        }
    }
    const auto coupe = [&](const QRectF &boite) {
        for (const Morceau_Trait &t : traits) {
            if (!t.boite.adjusted(-1, -1, 1, 1).intersects(boite))
                continue;
            for (int i = 0; i + 1 < t.points.size(); ++i)
                if (segment_dans(boite, t.points[i], t.points[i + 1]))
                    return true;
        }
        return false;
    };
    const QRectF cadre = sceneRect();
    const auto libre = [&](const QRectF &boite, const QGraphicsTextItem *soi) {
        if (!cadre.contains(boite) || coupe(boite))
            return false;
        for (const QGraphicsItem *item : items(boite, Qt::IntersectsItemBoundingRect)) {
            if (item == soi || !item->isVisible() || item->type() != QGraphicsTextItem::Type)
                continue;
            if (encre_texte(*static_cast<const QGraphicsTextItem *>(item)).intersects(boite))
                return false;
        }
        return true;
    };
    for (const Course_Etiquetee &course : etiquettes_cylindre) {
        QGraphicsTextItem *etiquette = course.etiquette;
        const QRectF encre = encre_texte(*etiquette);
        if (libre(encre, etiquette) || course.points.empty())
            continue;
        // Under the top, then beside the course from its top outwards on either side in turn:
        // above the point on the side away from the top, where the course runs lower, or under
        // it on the side of the top, where the course runs higher.
        const QPointF sommet = course.points[course.sommet];
        const int n = static_cast<int>(course.points.size());
        const double l = encre.width();
        const double h = encre.height();
        std::vector<QRectF> places{
            QRectF(sommet.x() - l / 2.0, sommet.y() + ecart_etiquette, l, h)};
        for (int k = 1; k < n; ++k) {
            for (const int i :
                 {static_cast<int>(course.sommet) - k, static_cast<int>(course.sommet) + k}) {
                if (i < 0 || i >= n)
                    continue;
                const QPointF p = course.points[i];
                const bool gauche = p.x() < sommet.x();
                places.emplace_back(gauche ? p.x() - l - ecart_etiquette : p.x() + ecart_etiquette,
                                    p.y() - h - ecart_etiquette, l, h);
                places.emplace_back(gauche ? p.x() + ecart_etiquette : p.x() - l - ecart_etiquette,
                                    p.y() + ecart_etiquette, l, h);
            }
        }
        // Within the chart, clear of the labels painted round it.
        const QRectF graphique = m_projection.cadre();
        for (const QRectF &boite : places) {
            if (graphique.contains(boite) && libre(boite, etiquette)) {
                etiquette->moveBy(boite.left() - encre.left(), boite.top() - encre.top());
                break;
            }
        }
    }
}

QPointF Scene::origine_legende(int rang) const
{
    if (!compacte)
        return QPointF(x_legende, y_legende + interligne_legende * rang);
    const std::vector<QPointF> places =
        places_legende(std::vector<double>(rang + 1, largeur_ligne_legende), 1.0);
    if (places.size() > static_cast<std::size_t>(rang))
        return places[rang];
    // No room left: the rows go on down the first corner.
    return QPointF(x_legende, y_legende + interligne_legende * rang);
}

std::vector<QPointF> Scene::places_legende(const std::vector<double> &largeurs,
                                           double echelle) const
{
    // The rows fill the corners round the disc in turn: top left, top right, bottom right,
    // bottom left above the latitude caption; a row stays clear of the disc's labels. On the
    // chart, clear of the chart with its labels on the side and under it.
    const QRectF cadre = sceneRect();
    const double rayon = diametre * 0.5 + 15.0 + largeur_graduations;
    const bool polaire = m_projection.est_polaire();
    const QRectF graphique =
        m_projection.cadre().adjusted(-cote_cylindre, 0.0, cote_cylindre, dessous_cylindre);
    std::vector<QRectF> cardinaux;
    const std::vector<Etiquette_Disque> etiquettes = etiquettes_disque();
    for (std::size_t k = etiquettes.size() - 4; polaire && k < etiquettes.size(); ++k)
        cardinaux.push_back(etiquettes[k].rectangle());
    const auto libre = [&](double x, double y, double largeur) {
        const QRectF ligne(x, y - haut_ligne * echelle, largeur,
                           (haut_ligne + bas_ligne) * echelle);
        if (!cadre.contains(ligne))
            return false;
        for (const QRectF &r : cardinaux)
            if (r.intersects(ligne))
                return false;
        for (const QGraphicsTextItem *texte : etiquettes_courbes)
            if (encre_texte(*texte).intersects(ligne))
                return false;
        if (!polaire)
            return !graphique.intersects(ligne);
        // The point of the row nearest the centre.
        const double px = std::clamp(0.0, ligne.left(), ligne.right());
        const double py = std::clamp(0.0, ligne.top(), ligne.bottom());
        return std::hypot(px, py) > rayon;
    };
    // The right-hand rows end where the left-hand ones start from the edge.
    const double fin_droite = cadre.right() - (x_legende - cadre.left());
    const double pas = interligne_legende * echelle;
    // Above the captions' band.
    const double bas_gauche = cadre.bottom() - bas_ligne * echelle - bande_bas;
    const struct {
        bool a_droite;
        double y;
        double pas;
    } coins[] = {{false, y_legende, pas},
                 {true, y_legende, pas},
                 {true, bas_gauche, -pas},
                 {false, bas_gauche, -pas}};
    std::vector<QPointF> places;
    for (const auto &coin : coins) {
        for (double y = coin.y; places.size() < largeurs.size(); y += coin.pas) {
            const double largeur = largeurs[places.size()] * echelle;
            const double x = coin.a_droite ? fin_droite - largeur : x_legende;
            if (!libre(x, y, largeur))
                break;
            places.emplace_back(x, y);
        }
    }
    return places;
}

void Scene::ajouter_ligne_legende(const Ligne_Legende &ligne)
{
    lignes_legende.push_back(ligne);
}

void Scene::disposer_legende()
{
    if (lignes_legende.empty())
        return;
    std::stable_sort(
        lignes_legende.begin(), lignes_legende.end(),
        [](const Ligne_Legende &a, const Ligne_Legende &b) { return a.rang < b.rang; });
    std::vector<double> largeurs;
    for (const Ligne_Legende &ligne : lignes_legende)
        largeurs.push_back(ligne.largeur);
    double echelle = 1.0;
    std::vector<QPointF> places;
    for (int dixiemes = 10; dixiemes >= 5; --dixiemes) {
        echelle = dixiemes / 10.0;
        places = places_legende(largeurs, echelle);
        if (places.size() == largeurs.size())
            break;
    }
    // No room even at half size: the rest go on down the first corner.
    for (std::size_t i = places.size(); i < largeurs.size(); ++i)
        places.emplace_back(x_legende, y_legende + interligne_legende * echelle * i);

    for (std::size_t i = 0; i < lignes_legende.size(); ++i) {
        const Ligne_Legende &ligne = lignes_legende[i];
        const double x = places[i].x();
        const double y = places[i].y();
        const double cote = trait_legende * echelle;
        if (ligne.trait)
            ligne.trait->setLine(x, y, x + cote, y);
        if (ligne.echantillon)
            ligne.echantillon->setRect(x, y - cote / 2, cote, cote);
        if (!ligne.texte)
            continue;
        if (echelle != 1.0) {
            QFont police = ligne.texte->font();
            police.setPointSizeF(police.pointSizeF() * echelle);
            ligne.texte->setFont(police);
        }
        // The document's margin keeps its size: the glyphs stay where the smaller row has them.
        const double marge = ligne.texte->document()->documentMargin() * (1.0 - echelle);
        ligne.texte->setPos(x + cote - marge, y - interligne_legende * echelle - marge);
    }
}

void Scene::jour_soleil(double latitude)
{
    jour_soleil(latitude, midis_simples(latitude));
}

void Scene::jour_soleil(double latitude, const std::array<double, 367> &midi)
{
    // Comparisons with a NaN are false, so a NaN day is neither an extremum nor a crossing.
    const auto minimum = [&](int d) { return midi[d - 1] >= midi[d] && midi[d + 1] >= midi[d]; };
    const auto maximum = [&](int d) { return midi[d] >= midi[d - 1] && midi[d] >= midi[d + 1]; };
    const auto extremum = [&](int d) { return minimum(d) || maximum(d); };
    // The sun comes back above the horizon at noon the day after d / is last up at noon on d.
    const auto lever = [&](int d) { return midi[d] < 0 && midi[d + 1] >= 0; };
    const auto coucher = [&](int d) { return midi[d] >= 0 && midi[d + 1] < 0; };
    // First day in [debut, 365] that satisfies the test, or 0.
    const auto premier = [](int debut, const auto &test) {
        for (int d = debut; d <= 365; ++d) {
            if (test(d))
                return d;
        }
        return 0;
    };

    const double abs_latitude = std::fabs(latitude);
    if (abs_latitude <= latitude_cercle_polaire) {
        // The solstices: the extrema of the noon altitude (in the tropics, where the sun
        // passes the zenith twice a year, its two minima).
        const bool tropical = abs_latitude < latitude_tropique;
        const auto solstice = [&](int d) { return tropical ? minimum(d) : extremum(d); };
        const int premier_jour = premier(2, solstice);
        if (premier_jour == 0) {
            jour1 = 1;
            jour2 = 1;
            return;
        }
        jour1 = premier_jour;
        if (jour1 > 364) {
            jour2 = jour1;
        } else {
            const int second = premier(jour1 + 1, solstice);
            jour2 = second != 0 ? second : jour1;
        }
    } else if (latitude > latitude_cercle_polaire) {
        // End of the polar night, June solstice, start of the next polar night.
        const int retour = premier(1, lever);
        if (retour == 0)
            return;
        jour1 = retour + 1;
        if (jour1 > 364)
            return;
        const int solstice = premier(jour1 + 1, maximum);
        if (solstice == 0)
            return;
        jour2 = solstice;
        if (jour2 > 364)
            return;
        const int dernier = premier(jour2 + 1, coucher);
        if (dernier != 0)
            jour3 = dernier;
    } else if (latitude < -latitude_cercle_polaire) {
        // Start of the polar night, its end, then the December solstice.
        const int dernier = premier(1, coucher);
        if (dernier == 0)
            return;
        jour1 = dernier;
        if (jour1 > 364)
            return;
        const int retour = premier(jour1 + 1, lever);
        if (retour == 0)
            return;
        jour3 = retour + 1;
        if (jour3 > 364)
            return;
        const int solstice = premier(jour3 + 1, maximum);
        if (solstice != 0)
            jour2 = solstice;
    }
}
