// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "trace/ombres.h"

#include "diagram/scene.h"

#include <QGraphicsPathItem>
#include <QGraphicsRectItem>
#include <QGraphicsTextItem>
#include <QLineF>
#include <QLocale>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>

namespace
{

// Greatest distance (scene units) between an edge and the chords that stand for it.
constexpr double ecart_corde = 0.1;
// Bearings (degrees) between the first points of an edge, before it is refined.
constexpr double pas_initial = 2.0;
constexpr int profondeur_max = 16;
// Above the horizon mask (-1), below the courses and the labels (0).
constexpr qreal niveau_ombres = -0.5;
// The hatching keeps this far from a label's box, scene units.
constexpr double marge_trou = 1.5;
// Bearings this close to the chart's seam are drawn on its side.
constexpr double pres_couture = 1e-7;

// Legend: the rows of the courses' legend (diagram/course.cpp), a swatch instead of a stroke.
constexpr double interligne_legende = 15.0;
constexpr double cote_echantillon = 10.0;

const QColor couleur_facade(200, 90, 0);
// The walls the report page lists one by one; a line after them says how many more there are.
constexpr int obstacles_page = 6;
const QColor couleur_obstacles(110, 50, 160);
constexpr Qt::BrushStyle motif_facade = Qt::BDiagPattern;
constexpr Qt::BrushStyle motif_obstacles = Qt::FDiagPattern;

double distance_segment(const QPointF &p, const QPointF &a, const QPointF &b)
{
    const QPointF ab = b - a;
    const double l2 = QPointF::dotProduct(ab, ab);
    const double t = l2 > 0 ? std::clamp(QPointF::dotProduct(p - a, ab) / l2, 0.0, 1.0) : 0.0;
    return QLineF(p, a + t * ab).length();
}

// Appends the points of `point(g)` for g in (g0, g1], refining each chord until the curve
// strays from it by at most `ecart_corde`.
void suivre(QPolygonF &polygone, const std::function<QPointF(double)> &point, double g0, double g1)
{
    const std::function<void(double, double, const QPointF &, const QPointF &, int)> affiner =
        [&](double a, double b, const QPointF &pa, const QPointF &pb, int profondeur) {
            const double m = 0.5 * (a + b);
            const QPointF pm = point(m);
            if (profondeur < profondeur_max && distance_segment(pm, pa, pb) > ecart_corde) {
                affiner(a, m, pa, pm, profondeur + 1);
                affiner(m, b, pm, pb, profondeur + 1);
                return;
            }
            polygone << pb;
        };
    const int n = std::max(1, static_cast<int>(std::ceil((g1 - g0) / pas_initial)));
    QPointF precedent = point(g0);
    for (int i = 1; i <= n; ++i) {
        const double g = g0 + (g1 - g0) * i / n;
        const QPointF p = point(g);
        affiner(g0 + (g1 - g0) * (i - 1) / n, g, precedent, p, 0);
        precedent = p;
    }
}

// A stretch of bearings [debut, fin] over which the same zones stand.
struct Morceau {
    double debut;
    double fin;
    std::vector<const Zone_Ombre *> zones;
};

// Whether `zone` stands over bearing `g`, taken strictly inside one of the stretches.
bool couvre(const Zone_Ombre &zone, double g)
{
    const double etendue = zone.fin - zone.debut;
    return etendue >= 360.0 || std::fmod(std::fmod(g - zone.debut, 360.0) + 360.0, 360.0) < etendue;
}

// The stretches between every zone's ends (and the chart's seam, `couture` when not NaN), from
// the first end on round the horizon, each with the zones over it.
std::vector<Morceau> morceaux(const std::vector<Zone_Ombre> &zones, double couture)
{
    std::vector<double> bouts;
    const auto ramener = [](double g) { return std::fmod(std::fmod(g, 360.0) + 360.0, 360.0); };
    for (const Zone_Ombre &zone : zones)
        if (zone.fin > zone.debut)
            bouts.insert(bouts.end(), {ramener(zone.debut), ramener(zone.fin)});
    if (bouts.empty())
        return {};
    if (!std::isnan(couture))
        bouts.push_back(ramener(couture));
    std::sort(bouts.begin(), bouts.end());
    bouts.erase(std::unique(bouts.begin(), bouts.end()), bouts.end());
    std::vector<Morceau> liste;
    for (std::size_t i = 0; i < bouts.size(); ++i) {
        Morceau m{bouts[i], i + 1 < bouts.size() ? bouts[i + 1] : bouts.front() + 360.0, {}};
        for (const Zone_Ombre &zone : zones)
            if (zone.fin > zone.debut && couvre(zone, 0.5 * (m.debut + m.fin)))
                m.zones.push_back(&zone);
        liste.push_back(std::move(m));
    }
    return liste;
}

// The lowest and the highest edge of the zones of `m` at bearing `g`: their union there, since
// the heights of the zones over one bearing overlap (all reach the zenith, or all the horizon).
double bas(const Morceau &m, double g)
{
    double h = 90.0;
    for (const Zone_Ombre *zone : m.zones)
        h = std::min(h, zone->bas(g));
    return h;
}

double haut(const Morceau &m, double g)
{
    double h = 0.0;
    for (const Zone_Ombre *zone : m.zones)
        h = std::max(h, zone->haut(g));
    return h;
}

// Adds `polygone` to `chemin` as a closed subpath, without its repeated points (the zenith of a
// disc, where a zone's top edge ends); nothing when it has no area.
void ajouter(QPainterPath &chemin, const QPolygonF &polygone)
{
    QPolygonF points;
    for (const QPointF &p : polygone)
        if (points.isEmpty() || p != points.last())
            points << p;
    if (points.size() > 1 && points.last() == points.first())
        points.removeLast();
    if (points.size() < 3)
        return;
    chemin.addPolygon(points);
    chemin.closeSubpath();
}

// A hatched zone whose hatching may leave holes where labels stand: its path stays the zone's,
// as it is counted; only its filling goes round the holes.
class Zone_Hachuree : public QGraphicsPathItem
{
public:
    using QGraphicsPathItem::QGraphicsPathItem;

    void percer(const QPainterPath &trous)
    {
        remplie = path().subtracted(trous);
        trouee = true;
        update();
    }

    void paint(QPainter *peintre, const QStyleOptionGraphicsItem *option, QWidget *widget) override
    {
        if (!trouee) {
            QGraphicsPathItem::paint(peintre, option, widget);
            return;
        }
        peintre->save();
        peintre->setPen(Qt::NoPen);
        peintre->setBrush(brush());
        peintre->drawPath(remplie);
        peintre->setPen(pen());
        peintre->setBrush(Qt::NoBrush);
        peintre->drawPath(path());
        peintre->restore();
    }

private:
    QPainterPath remplie;
    bool trouee = false;
};

QGraphicsPathItem *tracer_zones(Scene &scene, const std::vector<Zone_Ombre> &zones,
                                const QColor &couleur, Qt::BrushStyle hachures,
                                const QString &legende, int rang)
{
    const QPainterPath chemin = chemin_zones(scene.projection(), zones);
    if (chemin.isEmpty())
        return nullptr;
    const QPen stylo(couleur, 1.0);
    const QBrush pinceau(couleur, hachures);
    auto zone = std::make_unique<Zone_Hachuree>(chemin);
    zone->setPen(stylo);
    zone->setBrush(pinceau);
    zone->setZValue(niveau_ombres);
    QGraphicsPathItem *item = zone.get();
    scene.addItem(zone.release()); // the scene owns it from here
    QPointF origine = scene.origine_legende(rang);
    QGraphicsTextItem *texte =
        scene.ajouter_texte(legende, QFont(QStringLiteral("Courier"), 10), couleur);
    // The row is longer than a date's: in a compact drawing's right-hand column it moves left
    // as far as it must to stay whole.
    const double depasse =
        origine.x() + cote_echantillon + texte->boundingRect().width() - scene.sceneRect().right();
    if (depasse > 0.0)
        origine.rx() -= depasse;
    const double y = origine.y();
    QGraphicsRectItem *echantillon = scene.addRect(
        origine.x(), y - cote_echantillon / 2, cote_echantillon, cote_echantillon, stylo, pinceau);
    texte->setPos(origine.x() + cote_echantillon, y - interligne_legende);
    if (scene.compacte)
        scene.ajouter_ligne_legende(
            {rang, nullptr, echantillon, texte, cote_echantillon + texte->boundingRect().width()});
    return item;
}

} // namespace

QPainterPath chemin_zones(const Projection &projection, const std::vector<Zone_Ombre> &zones)
{
    // The zones' union is traced at once rather than united afterwards: outlines that meet (at
    // the zenith, along a shared edge) make the toolkit's path union drop whole pieces.
    const double plafond = projection.hauteur_max();
    const double couture = projection.est_polaire()
                               ? std::numeric_limits<double>::quiet_NaN()
                               : std::fmod(projection.azimut_centre() + 180.0, 360.0);
    const std::vector<Morceau> liste = morceaux(zones, couture);
    QPainterPath chemin;
    if (liste.empty())
        return chemin;
    const std::size_t n = liste.size();
    const auto sur_couture = [&](double g) {
        return !std::isnan(couture) && std::abs(std::remainder(g - couture, 360.0)) < pres_couture;
    };
    // A run of stretches begins after a bare one, or at the seam.
    std::size_t premier = n;
    for (std::size_t i = 0; i < n && premier == n; ++i)
        if (sur_couture(liste[i].debut) || liste[(i + n - 1) % n].zones.empty())
            premier = i;
    if (premier == n) {
        // The whole horizon on a disc: the ring between the lowest edge and the highest.
        QPolygonF dessous, dessus;
        for (const Morceau &m : liste) {
            const auto point = [&](double g, double h) {
                return projection.point(azimut_depuis_gisement(g), std::clamp(h, 0.0, plafond));
            };
            dessous << point(m.debut, bas(m, m.debut));
            suivre(
                dessous, [&](double g) { return point(g, bas(m, g)); }, m.debut, m.fin);
            dessus << point(m.debut, haut(m, m.debut));
            suivre(
                dessus, [&](double g) { return point(g, haut(m, g)); }, m.debut, m.fin);
        }
        ajouter(chemin, dessous);
        ajouter(chemin, dessus);
        return chemin;
    }
    // The stretches of a run, their bearings unwrapped past 360.
    std::vector<Morceau> suite;
    for (std::size_t k = 0; k <= n; ++k) {
        const Morceau *m = k < n ? &liste[(premier + k) % n] : nullptr;
        const bool suit = m && !m->zones.empty();
        const double tour = premier + k >= n ? 360.0 : 0.0;
        if (suit && !suite.empty() && !sur_couture(m->debut)) {
            suite.push_back({m->debut + tour, m->fin + tour, m->zones});
            continue;
        }
        if (!suite.empty()) {
            // Along the lowest edge, then back along the highest; a run's ends on the seam are
            // drawn on their own side of the chart.
            const double g0 =
                suite.front().debut + (sur_couture(suite.front().debut) ? pres_couture : 0.0);
            const double g1 =
                suite.back().fin - (sur_couture(suite.back().fin) ? pres_couture : 0.0);
            const auto point = [&](double g, double h) {
                return projection.point(azimut_depuis_gisement(std::clamp(g, g0, g1)),
                                        std::clamp(h, 0.0, plafond));
            };
            QPolygonF polygone;
            for (const Morceau &p : suite) {
                polygone << point(p.debut, bas(p, p.debut));
                suivre(
                    polygone, [&](double g) { return point(g, bas(p, g)); }, p.debut, p.fin);
            }
            for (auto p = suite.rbegin(); p != suite.rend(); ++p) {
                const double a = p->debut;
                const double b = p->fin;
                polygone << point(b, haut(*p, b));
                suivre(
                    polygone, [&](double g) { return point(a + b - g, haut(*p, a + b - g)); }, a,
                    b);
            }
            ajouter(chemin, polygone);
            suite.clear();
        }
        if (suit)
            suite.push_back({m->debut + tour, m->fin + tour, m->zones});
    }
    return chemin;
}

std::vector<QGraphicsPathItem *> tracer_ombres(Scene &scene, const Ombrage &ombrage, int rang)
{
    std::vector<QGraphicsPathItem *> hachures;
    const auto garder = [&](QGraphicsPathItem *zone) {
        if (zone)
            hachures.push_back(zone);
    };
    if (ombrage.facade.active)
        garder(tracer_zones(scene, zones_facade(ombrage.facade), couleur_facade, motif_facade,
                            QStringLiteral("Façade et protections"), rang++));
    if (ombrage.avec_obstacles())
        garder(tracer_zones(scene, zones_obstacles(ombrage.obstacles), couleur_obstacles,
                            motif_obstacles, QStringLiteral("Obstacles"), rang));
    return hachures;
}

void degager_hachures(Scene &scene, const std::vector<QGraphicsPathItem *> &hachures)
{
    // The hour labels shown and the disc's labels, a little widened.
    std::vector<QRectF> boites;
    for (const QGraphicsTextItem *etiquette : scene.etiquettes_des_heures())
        if (etiquette->isVisible())
            boites.push_back(Scene::encre_texte(*etiquette));
    for (const Scene::Etiquette_Disque &e : scene.etiquettes_disque())
        boites.push_back(e.rectangle());
    for (QGraphicsPathItem *zone : hachures) {
        QPainterPath trous;
        for (const QRectF &boite : boites) {
            const QRectF trou = boite.adjusted(-marge_trou, -marge_trou, marge_trou, marge_trou);
            if (zone->path().intersects(trou)) {
                QPainterPath rectangle;
                rectangle.addRect(trou);
                trous = trous.united(rectangle);
            }
        }
        if (!trous.isEmpty())
            static_cast<Zone_Hachuree *>(zone)->percer(trous);
    }
}

QVector<Hachure_page> hachures_ombrage(const Ombrage &ombrage)
{
    // A set of zones hatches something when one of them spans a bearing: walls that hide
    // nothing (none above the point) draw no hatching, and the page names none.
    const auto hachent = [](const std::vector<Zone_Ombre> &zones) {
        return std::any_of(zones.cbegin(), zones.cend(),
                           [](const Zone_Ombre &zone) { return zone.fin > zone.debut; });
    };
    QVector<Hachure_page> hachures;
    if (ombrage.facade.active && hachent(zones_facade(ombrage.facade)))
        hachures.append({couleur_facade, motif_facade,
                         QStringLiteral("hachures orange : ciel caché à la fenêtre par la "
                                        "façade et ses protections")});
    if (ombrage.avec_obstacles() && hachent(zones_obstacles(ombrage.obstacles)))
        hachures.append({couleur_obstacles, motif_obstacles,
                         QStringLiteral("hachures violettes : ciel caché à la fenêtre par les "
                                        "obstacles")});
    return hachures;
}

QStringList textes_ombrage(const Ombrage &ombrage)
{
    QStringList lignes;
    const QLocale locale;
    const auto metres = [&locale](double longueur) {
        return std::isinf(longueur) ? QStringLiteral("toute la façade")
                                    : locale.toString(longueur, 'g', 6) + QStringLiteral(" m");
    };
    const auto degres = [&locale](double angle) {
        return locale.toString(angle, 'g', 6) + QStringLiteral("°");
    };
    const Facade &f = ombrage.facade;
    if (f.active) {
        static const char *const points[] = {"N", "NE", "E", "SE", "S", "SO", "O", "NO"};
        const int point = static_cast<int>(std::floor(f.orientation / 45.0 + 0.5)) % 8;
        lignes << QStringLiteral("Façade orientée à %1 (%2)")
                      .arg(degres(f.orientation), QString::fromLatin1(points[point]));
        const Casquette &c = f.casquette;
        if (c.active) {
            lignes << QStringLiteral("Casquette : profondeur %1, hauteur %2")
                          .arg(metres(c.profondeur), metres(c.hauteur));
            lignes << (std::isinf(c.gauche) && std::isinf(c.droite)
                           ? QStringLiteral("Débords : toute la façade")
                           : QStringLiteral("Débords : gauche %1, droit %2")
                                 .arg(metres(c.gauche), metres(c.droite)));
        }
        for (const auto &joue : {std::make_pair(QStringLiteral("Joue gauche"), &f.joue_gauche),
                                 std::make_pair(QStringLiteral("Joue droite"), &f.joue_droite)})
            if (joue.second->active)
                lignes << QStringLiteral("%1 : profondeur %2, distance %3")
                              .arg(joue.first, metres(joue.second->profondeur),
                                   metres(joue.second->distance));
    }
    const std::vector<Obstacle> &murs = ombrage.murs();
    const int montres = std::min(int(murs.size()), obstacles_page);
    for (int i = 0; i < montres; ++i) {
        const Obstacle &o = murs[static_cast<std::size_t>(i)];
        lignes << QStringLiteral("Obstacle %1 : %2 à %3, %4 à %5, hauteur %6")
                      .arg(i + 1)
                      .arg(degres(o.gisement1), metres(o.distance1), degres(o.gisement2),
                           metres(o.distance2), metres(o.hauteur));
    }
    const int autres = int(murs.size()) - montres;
    if (autres == 1)
        lignes << QStringLiteral("… et 1 autre obstacle");
    else if (autres > 1)
        lignes << QStringLiteral("… et %1 autres obstacles").arg(autres);
    return lignes;
}

QString texte_ombre(const Ombrage &ombrage, bool sous_masque, double azimut, double hauteur)
{
    QStringList noms;
    for (const Ombre &ombre : ombres(ombrage, azimut, hauteur)) {
        switch (ombre.cause) {
        case Cause_Ombre::Derriere_Facade:
            noms << QStringLiteral("derrière la façade");
            break;
        case Cause_Ombre::Casquette:
            noms << QStringLiteral("casquette");
            break;
        case Cause_Ombre::Joue_Gauche:
            noms << QStringLiteral("joue gauche");
            break;
        case Cause_Ombre::Joue_Droite:
            noms << QStringLiteral("joue droite");
            break;
        case Cause_Ombre::Obstacle:
            noms << QStringLiteral("obstacle %1").arg(ombre.obstacle + 1);
            break;
        case Cause_Ombre::Aucune:
            break;
        }
    }
    if (sous_masque)
        noms << QStringLiteral("masque");
    return noms.join(QStringLiteral(", "));
}
