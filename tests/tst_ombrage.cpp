// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// The window's shading: the sun counted on the window against rays cast at the same geometry,
// hand cases, and the overhang's edge as the SVG writes it.
#include "annee/dessin_grille.h"
#include "annee/dialogue_annee.h"
#include "app/fenetre_principale.h"
#include "diagram/scene.h"
#include "export/export.h"
#include "exposition/exposition.h"
#include "ombrage/ombrage.h"
#include "protections/croquis.h"
#include "protections/dialogue_fenetre.h"
#include "solar/soleil.h"
#include "tests/outils.h"
#include "tests/svg.h"
#include "trace/diagramme.h"
#include "trace/grille_fenetre.h"
#include "trace/lecture.h"
#include "trace/ombres.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGraphicsPathItem>
#include <QGraphicsTextItem>
#include <QGraphicsView>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <tuple>

Q_DECLARE_METATYPE(Type_Projection)
Q_DECLARE_METATYPE(Point_Reference)
Q_DECLARE_METATYPE(Ombrage)
Q_DECLARE_METATYPE(Modele_Soleil)

namespace
{

constexpr double pi = 3.141592653589793;
constexpr double rad = pi / 180.0;
// The counts and the rays may differ by this much a day, hours.
constexpr double ecart_rayons_heures = 2.0 / 60.0;
// The program's counts find each change within a second; the hand cases allow a minute.
constexpr double ecart_main_heures = 1.0 / 60.0;
// An SVG point of the overhang's edge lies this close to its curve, degrees.
constexpr double ecart_svg_degres = 0.1;
// Directions this close to a hatched path's edge (scene units: a pixel) are not checked.
constexpr double marge_bord = 1.0;
// Stands for "as high as the facade" and "the whole facade" in the rays' geometry, metres.
constexpr double tres_loin = 1e5;

struct Vecteur {
    double x, y, z;
    Vecteur operator+(const Vecteur &v) const { return {x + v.x, y + v.y, z + v.z}; }
    Vecteur operator-(const Vecteur &v) const { return {x - v.x, y - v.y, z - v.z}; }
    Vecteur operator*(double k) const { return {x * k, y * k, z * k}; }
    double scalaire(const Vecteur &v) const { return x * v.x + y * v.y + z * v.z; }
    Vecteur vectoriel(const Vecteur &v) const
    {
        return {y * v.z - z * v.y, z * v.x - x * v.z, x * v.y - y * v.x};
    }
};

// Horizontal unit vector of a bearing (x east, y north).
Vecteur cap(double gisement)
{
    return {std::sin(gisement * rad), std::cos(gisement * rad), 0.0};
}

// A rectangle: corner `o`, sides `u` and `v` at right angles.
struct Rectangle {
    Vecteur o, u, v;
};

// Whether the ray from the origin along `s` meets the rectangle.
bool touche(const Rectangle &r, const Vecteur &s)
{
    const Vecteur m = r.u.vectoriel(r.v);
    const double d = s.scalaire(m);
    if (std::abs(d) < 1e-15)
        return false;
    const double t = r.o.scalaire(m) / d;
    if (t <= 0)
        return false;
    const Vecteur q = s * t - r.o;
    const double a = q.scalaire(r.u) / r.u.scalaire(r.u);
    const double b = q.scalaire(r.v) / r.v.scalaire(r.v);
    return a >= 0 && a <= 1 && b >= 0 && b <= 1;
}

double fini(double longueur)
{
    return std::isinf(longueur) ? tres_loin : longueur;
}

std::vector<Rectangle> plaques_depuis_origine(const Ombrage &ombrage, std::vector<Rectangle> &murs);

// The window's point of `ombrage`, from the lengths' origin: the opening's inner face at its
// middle for the rules' points, the sill or the opening's mid-height as they say.
Vecteur point_fenetre(const Ombrage &ombrage)
{
    const Baie &b = ombrage.baie;
    const Vecteur n = cap(ombrage.facade.orientation);
    if (!b.active)
        return {0, 0, 0};
    switch (ombrage.point) {
    case Point_Reference::Seuil_Exterieur:
        break;
    case Point_Reference::Milieu_Baie:
        return Vecteur{0, 0, 1} * (b.hauteur / 2);
    case Point_Reference::Seuil_Interieur:
        return n * -b.epaisseur;
    case Point_Reference::Face_Interieure:
        // 1.20 m above the floor, and never less than 0.30 m above the sill.
        return n * -b.epaisseur + Vecteur{0, 0, 1} * std::max(1.2 - b.allege, 0.3);
    }
    return {0, 0, 0};
}

// The plates and walls of `ombrage` as rectangles, the opening's four faces among them, moved so
// that the window's point is the origin; `murs` gets the walls alone.
std::vector<Rectangle> plaques(const Ombrage &ombrage, std::vector<Rectangle> &murs)
{
    std::vector<Rectangle> toutes = plaques_depuis_origine(ombrage, murs);
    const Vecteur p = point_fenetre(ombrage);
    for (std::vector<Rectangle> *liste : {&toutes, &murs})
        for (Rectangle &r : *liste)
            r.o = r.o - p;
    return toutes;
}

std::vector<Rectangle> plaques_depuis_origine(const Ombrage &ombrage, std::vector<Rectangle> &murs)
{
    const Vecteur z{0, 0, 1};
    for (const Obstacle &o : ombrage.obstacles) {
        if (o.hauteur <= 0)
            continue;
        const Vecteur p1 = cap(o.gisement1) * o.distance1 - z * tres_loin;
        const Vecteur p2 = cap(o.gisement2) * o.distance2 - z * tres_loin;
        murs.push_back({p1, p2 - p1, z * (tres_loin + o.hauteur)});
    }
    std::vector<Rectangle> toutes = murs;
    const Facade &f = ombrage.facade;
    const Vecteur n = cap(f.orientation);
    const Vecteur droite = cap(f.orientation + 90.0);
    const Casquette &c = f.casquette;
    if (c.active)
        toutes.push_back({z * c.hauteur - droite * fini(c.gauche),
                          droite * (fini(c.gauche) + fini(c.droite)), n * c.profondeur});
    for (const auto &joue :
         {std::make_pair(f.joue_gauche, -1.0), std::make_pair(f.joue_droite, 1.0)})
        if (joue.first.active)
            toutes.push_back({droite * (joue.second * joue.first.distance) - z * tres_loin,
                              n * joue.first.profondeur, z * (2 * tres_loin)});
    // The opening's head, sill and jambs, from the outer plane back to the inner face.
    const Baie &b = ombrage.baie;
    if (b.active && b.epaisseur > 0) {
        const Vecteur dedans = n * -b.epaisseur;
        const Vecteur cote = droite * (b.largeur / 2);
        for (double haut : {0.0, b.hauteur})
            toutes.push_back({dedans + z * haut - cote, droite * b.largeur, n * b.epaisseur});
        for (double signe : {-1.0, 1.0})
            toutes.push_back({dedans + cote * signe, n * b.epaisseur, z * b.hauteur});
    }
    return toutes;
}

// Whether a ray toward the sun at true solar time `t` of `date` at `latitude` meets none of
// `obstacles` (and, with `facade`, leaves in front of it and stands at least `hauteur_min`
// degrees high).
bool rayon_libre(const QDate &date, double latitude, double t,
                 const std::vector<Rectangle> &obstacles, const Facade *facade,
                 double hauteur_min = 0.0)
{
    const Soleil soleil;
    const double delta = soleil.declinaison(date.dayOfYear());
    const double angle = Soleil::angle_horaire(t);
    const double h = std::max(0.0, soleil.hauteur(delta, latitude, angle));
    double azimut = soleil.azimut(delta, latitude, angle, h);
    if (angle < 0)
        azimut = -azimut;
    const Vecteur s = cap(-azimut) * std::cos(h * rad) + Vecteur{0, 0, std::sin(h * rad)};
    if (facade && (s.scalaire(cap(facade->orientation)) <= 0 || h < hauteur_min))
        return false;
    for (const Rectangle &r : obstacles)
        if (touche(r, s))
            return false;
    return true;
}

// Hours of the day `date` at `latitude` when a ray toward the sun is free (`rayon_libre`): the
// middle of every minute from sunrise to sunset of the simple model.
double heures_eclairees(const QDate &date, double latitude, const std::vector<Rectangle> &obstacles,
                        const Facade *facade, double hauteur_min = 0.0)
{
    const Soleil soleil;
    const int jour = date.dayOfYear();
    const double lever = soleil.heure_lever(jour, latitude);
    const double coucher = soleil.heure_coucher(jour, latitude);
    double eclairees = 0.0;
    for (double t = lever; t < coucher; t += 1.0 / 60.0) {
        const double pas = std::min(1.0 / 60.0, coucher - t);
        if (rayon_libre(date, latitude, t + pas / 2, obstacles, facade, hauteur_min))
            eclairees += pas;
    }
    return eclairees;
}

// A facade, its devices and walls drawn from `graine`: any of them may be off, an overhang's
// ends may be finite, a wall may stand below the point; none passes within a metre of it.
Ombrage ombrage_au_hasard(quint32 graine)
{
    QRandomGenerator hasard(graine);
    const auto entre = [&hasard](double a, double b) {
        return a + (b - a) * hasard.generateDouble();
    };
    const auto souvent = [&hasard] { return hasard.bounded(4) != 0; };
    Ombrage o;
    Facade &f = o.facade;
    f.active = souvent();
    f.orientation = entre(0.0, 360.0);
    const double infini = std::numeric_limits<double>::infinity();
    f.casquette = {souvent(), entre(0.1, 2.0), entre(0.1, 2.0),
                   souvent() ? entre(0.1, 3.0) : infini, souvent() ? entre(0.1, 3.0) : infini};
    f.joue_gauche = {hasard.bounded(2) != 0, entre(0.1, 1.5), entre(0.1, 2.0)};
    f.joue_droite = {hasard.bounded(2) != 0, entre(0.1, 1.5), entre(0.1, 2.0)};
    while (o.obstacles.size() < hasard.bounded(5u)) {
        const Obstacle mur{entre(0.0, 360.0), entre(2.0, 30.0), entre(0.0, 360.0), entre(2.0, 30.0),
                           entre(-2.0, 15.0)};
        // Distance from the point to the wall's foot.
        const QPointF a =
            QPointF(std::sin(mur.gisement1 * rad), std::cos(mur.gisement1 * rad)) * mur.distance1;
        const QPointF b =
            QPointF(std::sin(mur.gisement2 * rad), std::cos(mur.gisement2 * rad)) * mur.distance2;
        const double t = std::clamp(
            QPointF::dotProduct(-a, b - a) / QPointF::dotProduct(b - a, b - a), 0.0, 1.0);
        if (QLineF(QPointF(), a + t * (b - a)).length() > 1.0)
            o.obstacles.push_back(mur);
    }
    return o;
}

// Distance from `p` to the nearest edge of `polygones`, scene units.
double distance_bord(const QList<QPolygonF> &polygones, const QPointF &p)
{
    double d = std::numeric_limits<double>::infinity();
    for (const QPolygonF &polygone : polygones)
        for (int i = 1; i < polygone.size(); ++i) {
            const QPointF ab = polygone[i] - polygone[i - 1];
            const double l2 = QPointF::dotProduct(ab, ab);
            const double t =
                l2 > 0 ? std::clamp(QPointF::dotProduct(p - polygone[i - 1], ab) / l2, 0.0, 1.0)
                       : 0.0;
            d = std::min(d, QLineF(p, polygone[i - 1] + t * ab).length());
        }
    return d;
}

// The first row of the diagram of `d`.
Ligne_Sortie ligne_dessinee(const Description_Diagramme &d)
{
    Scene scene;
    ajuster_scene(scene, d.taille);
    return dessiner_diagramme(scene, d).value(0);
}

} // namespace

class TestOmbrage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void comptesContreRayons_data();
    void comptesContreRayons();
    void heuresALaMain_data();
    void heuresALaMain();
    void bordDeCasquetteSvg_data();
    void bordDeCasquetteSvg();
    void hachuresCommeLesOmbres_data();
    void hachuresCommeLesOmbres();
    void hautDuGraphique_data();
    void hautDuGraphique();
    void ombreSousLePointeur_data();
    void ombreSousLePointeur();
    void planGaucheDroite_data();
    void planGaucheDroite();
    void fenetreEtObstacles();
    void verdictExposition_data();
    void verdictExposition();
    void grilleAnnee_data();
    void grilleAnnee();
    void vueAnnee();
};

void TestOmbrage::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
}

void TestOmbrage::comptesContreRayons_data()
{
    QTest::addColumn<double>("latitude");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<double>("orientation");
    // The overhang alone, reaching 0.2 m to the left (seen from inside) and 5 m to the right.
    QTest::addColumn<bool>("seule");
    // The wall entered as a building front: its perpendicular from the point (metres, bearing
    // from the facade's normal), its lengths left and right of the foot, its height; NaN: the
    // wall across the street by its two ends.
    QTest::addColumn<double>("front_distance");
    QTest::addColumn<double>("front_gisement");
    QTest::addColumn<double>("front_gauche");
    QTest::addColumn<double>("front_droite");
    // A French window 1 m wide and 2.1 m high, its sill on the floor, in a wall 0.35 m thick,
    // the point where the rule puts it, and the least height that counts (degrees).
    QTest::addColumn<bool>("baie");
    QTest::addColumn<Point_Reference>("point");
    QTest::addColumn<double>("hauteur_min");

    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::pair<const char *, QDate> dates[] = {{"21 June", QDate(2026, 6, 21)},
                                                    {"20 March", QDate(2026, 3, 20)},
                                                    {"21 December", QDate(2026, 12, 21)}};
    const std::pair<const char *, double> facades[] = {
        {"S", 180.0}, {"E", 90.0}, {"W", 270.0}, {"N", 0.0}, {"SW", 225.0}};
    for (double latitude : {-35.0, 0.0, 45.0, 60.0})
        for (const auto &date : dates)
            for (const auto &facade : facades)
                QTest::addRow("latitude %g, %s, facing %s", latitude, date.first, facade.first)
                    << latitude << date.second << facade.second << false << nan << nan << nan << nan
                    << false << Point_Reference::Seuil_Exterieur << 0.0;
    // The morning sun, on the left, passes the short end; under the long one it would not.
    QTest::newRow("latitude 45, 21 June, facing 150, overhang alone, short on the left")
        << 45.0 << QDate(2026, 6, 21) << 150.0 << true << nan << nan << nan << nan << false
        << Point_Reference::Seuil_Exterieur << 0.0;
    // A street front 150° wide seen from the point, 15 m away and 12 m high (38.7° at its
    // perpendicular), and fronts whose foot lies off the wall or that cross north.
    QTest::newRow("latitude 48.85, 21 June, facing SW, street front 15 m away, 150° wide")
        << 48.85 << QDate(2026, 6, 21) << 225.0 << false << 15.0 << 0.0
        << 15.0 * std::tan(75.0 * rad) << 15.0 * std::tan(75.0 * rad) << false
        << Point_Reference::Seuil_Exterieur << 0.0;
    QTest::newRow("latitude 45, 20 March, facing E, front all right of its foot")
        << 45.0 << QDate(2026, 3, 20) << 90.0 << false << 8.0 << -30.0 << -4.0 << 25.0 << false
        << Point_Reference::Seuil_Exterieur << 0.0;
    QTest::newRow("latitude 60, 21 June, facing N, front across north")
        << 60.0 << QDate(2026, 6, 21) << 0.0 << false << 6.0 << 20.0 << 30.0 << 2.0 << false
        << Point_Reference::Seuil_Exterieur << 0.0;
    const std::tuple<const char *, Point_Reference, double> points[] = {
        {"inner face, 11°", Point_Reference::Face_Interieure, 11.0},
        {"mid-opening, 6°", Point_Reference::Milieu_Baie, 6.0},
        {"inner sill", Point_Reference::Seuil_Interieur, 0.0}};
    // Facades the sun reaches: the equator's side, east, and between them.
    const std::pair<const char *, double> nord[] = {{"N", 0.0}, {"E", 90.0}, {"NW", 315.0}};
    const std::pair<const char *, double> sud[] = {facades[0], facades[1], facades[4]};
    int rang = 0;
    for (double latitude : {-35.0, 45.0, 59.91})
        for (const auto &date : dates)
            for (const auto &facade : latitude < 0 ? nord : sud) {
                const auto &point = points[(rang++ + 1) % 3];
                QTest::addRow("opening, latitude %g, %s, facing %s, %s", latitude, date.first,
                              facade.first, std::get<0>(point))
                    << latitude << date.second << facade.second << false << nan << nan << nan << nan
                    << true << std::get<1>(point) << std::get<2>(point);
            }
}

void TestOmbrage::comptesContreRayons()
{
    // An overhang of finite ends, two fins of their own and a wall across the street, counted by
    // the diagram and by rays cast at their planes.
    QFETCH(double, latitude);
    QFETCH(QDate, date);
    QFETCH(double, orientation);
    QFETCH(bool, seule);
    QFETCH(double, front_distance);
    QFETCH(double, front_gisement);
    QFETCH(double, front_gauche);
    QFETCH(double, front_droite);
    QFETCH(bool, baie);
    QFETCH(Point_Reference, point);
    QFETCH(double, hauteur_min);
    Description_Diagramme d;
    d.latitude = latitude;
    d.date_choisie = date;
    d.taille = QSize(800, 500);
    Facade &f = d.ombrage.facade;
    f.active = true;
    f.orientation = orientation;
    if (seule) {
        f.casquette = {true, 1.0, 1.0, 0.2, 5.0};
    } else {
        f.casquette = {true, 0.8, 1.0, 1.5, 2.5};
        f.joue_gauche = {true, 0.4, 0.9};
        f.joue_droite = {true, 0.6, 1.2};
        d.ombrage.obstacles = {{std::fmod(orientation + 330.0, 360.0), 12.0,
                                std::fmod(orientation + 20.0, 360.0), 9.0, 6.0}};
    }
    // A front's ends on the ground, drawn in the plane: its foot, then its lengths along the
    // line, the left one (seen from the point) anticlockwise.
    const bool front = !std::isnan(front_distance);
    const double hauteur_front = 12.0;
    const double b = orientation + front_gisement;
    const Vecteur pied = cap(b) * front_distance;
    const Vecteur bouts[] = {pied - cap(b + 90.0) * front_gauche,
                             pied + cap(b + 90.0) * front_droite};
    if (front) {
        const Obstacle mur = obstacle_depuis_front(
            {front_distance, std::fmod(b, 360.0), front_gauche, front_droite, hauteur_front});
        for (int i = 0; i < 2; ++i) {
            const Vecteur lu = cap(i == 0 ? mur.gisement1 : mur.gisement2) *
                               (i == 0 ? mur.distance1 : mur.distance2);
            QVERIFY2(std::hypot(lu.x - bouts[i].x, lu.y - bouts[i].y) < 1e-9,
                     qPrintable(QStringLiteral("end %1: (%2, %3), drawn at (%4, %5)")
                                    .arg(i + 1)
                                    .arg(lu.x)
                                    .arg(lu.y)
                                    .arg(bouts[i].x)
                                    .arg(bouts[i].y)));
        }
        // Read straight along the perpendicular, when its foot lies on the wall, the wall rises
        // to atan(H / d).
        const double angle = std::atan2(hauteur_front, front_distance) / rad;
        const bool pied_sur_le_mur = front_gauche >= 0 && front_droite >= 0;
        QVERIFY(!pied_sur_le_mur ||
                (ombre_obstacles({mur}, azimut_depuis_gisement(b), angle - 0.01) &&
                 !ombre_obstacles({mur}, azimut_depuis_gisement(b), angle + 0.01)));
        // Its front read back, and the wall the dialog's two-end table would hold.
        const Front_Batiment relu = front_depuis_obstacle(mur);
        QVERIFY2(std::abs(relu.distance - front_distance) < 1e-9 &&
                     std::abs(std::remainder(relu.gisement - b, 360.0)) < 1e-9 &&
                     std::abs(relu.gauche - front_gauche) < 1e-9 &&
                     std::abs(relu.droite - front_droite) < 1e-9 && relu.hauteur == hauteur_front,
                 qPrintable(QStringLiteral("read back: %1 m at %2°, %3 m left, %4 m right")
                                .arg(relu.distance)
                                .arg(relu.gisement)
                                .arg(relu.gauche)
                                .arg(relu.droite)));
        d.ombrage.obstacles = {mur};
    }
    if (baie) {
        // The overhang above the head; the reveal's jambs for fins.
        d.ombrage.baie = {true, 1.0, 2.1, 0.0, 0.35};
        d.ombrage.point = point;
        d.ombrage.hauteur_min = hauteur_min;
        f.casquette.hauteur = 2.3;
        f.joue_gauche.active = false;
        f.joue_droite.active = false;
    }
    const Ligne_Sortie ligne = ligne_dessinee(d);
    if (front) {
        // The same wall typed by its two ends, as bearings and distances read off the plane.
        Description_Diagramme deux_bouts = d;
        const auto gisement = [](const Vecteur &v) {
            return std::fmod(std::atan2(v.x, v.y) / rad + 360.0, 360.0);
        };
        deux_bouts.ombrage.obstacles = {{gisement(bouts[0]), std::hypot(bouts[0].x, bouts[0].y),
                                         gisement(bouts[1]), std::hypot(bouts[1].x, bouts[1].y),
                                         hauteur_front}};
        const Ligne_Sortie autre = ligne_dessinee(deux_bouts);
        QVERIFY2(std::abs(autre.soleil_direct - ligne.soleil_direct) < 1e-6 &&
                     std::abs(autre.soleil_fenetre - ligne.soleil_fenetre) < 1e-6,
                 qPrintable(QStringLiteral("front: %1 h, %2 h; two ends: %3 h, %4 h")
                                .arg(ligne.soleil_direct)
                                .arg(ligne.soleil_fenetre)
                                .arg(autre.soleil_direct)
                                .arg(autre.soleil_fenetre)));
    }

    std::vector<Rectangle> murs;
    std::vector<Rectangle> toutes = plaques(d.ombrage, murs);
    if (front) {
        // The rays meet the front as drawn, not as converted.
        const Vecteur z{0, 0, 1};
        murs = {{bouts[0] - z * tres_loin, bouts[1] - bouts[0], z * (tres_loin + hauteur_front)}};
        toutes.front() = murs.front();
    }
    const double fenetre = heures_eclairees(date, latitude, toutes, &f, hauteur_min);
    const double direct = heures_eclairees(date, latitude, murs, nullptr);
    QVERIFY2(std::abs(ligne.soleil_fenetre - fenetre) <= ecart_rayons_heures,
             qPrintable(QStringLiteral("on the window: %1 h counted, %2 h by the rays")
                            .arg(ligne.soleil_fenetre)
                            .arg(fenetre)));
    // The periods add up to the count, and the rays find the sun going on and off at their
    // ends: free a minute inside each, blocked a minute outside it (unless the day ends there).
    double somme = 0.0;
    for (const auto &[debut, fin] : ligne.periodes_fenetre) {
        somme += fin - debut;
        const auto libre = [&](double t) {
            return rayon_libre(date, latitude, t, toutes, &f, hauteur_min);
        };
        const double minute = 1.0 / 60.0;
        const QString periode = texte_periodes({{debut, fin}});
        if (fin - debut > 2.0 * minute)
            QVERIFY2(libre(debut + minute) && libre(fin - minute),
                     qPrintable(periode + QStringLiteral(": a ray inside is blocked")));
        QVERIFY2((debut - minute < ligne.lever || !libre(debut - minute)) &&
                     (fin + minute > ligne.coucher || !libre(fin + minute)),
                 qPrintable(periode + QStringLiteral(": a ray outside is free")));
    }
    QVERIFY2(std::abs(somme - ligne.soleil_fenetre) < 1e-9,
             qPrintable(QStringLiteral("periods of %1 h for %2 h counted")
                            .arg(somme)
                            .arg(ligne.soleil_fenetre)));
    // Without a wall the table has no direct sun's column.
    QVERIFY2(seule || std::abs(ligne.soleil_direct - direct) <= ecart_rayons_heures,
             qPrintable(QStringLiteral("direct: %1 h counted, %2 h by the rays")
                            .arg(ligne.soleil_direct)
                            .arg(direct)));
}

void TestOmbrage::heuresALaMain_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<double>("orientation"); // NaN: no facade
    QTest::addColumn<double>("hauteur_mur"); // NaN: no wall
    QTest::addColumn<QString>("attendu");    // "rien", "jour" or "matin"

    const double sans = std::numeric_limits<double>::quiet_NaN();
    const QDate juin(2026, 6, 21);
    // tan VSA = tan h / cos HSA ≥ 1 whenever the sun is in front: at noon h = 68.4°, and
    // wherever cos HSA is smaller the angle only grows.
    QTest::newRow("south under H / P = 1, 21 June: no sun") << juin << 180.0 << sans << "rien";
    // Noon at 21.6°, below the 45° of the edge; the sun rises and sets south of east and west.
    QTest::newRow("south under H / P = 1, 21 December: the whole day")
        << QDate(2026, 12, 21) << 180.0 << sans << "jour";
    // The sun crosses the meridian, the facade's plane, at true solar noon.
    QTest::newRow("east, 21 June: sunrise to noon") << juin << 90.0 << sans << "matin";
    QTest::newRow("wall below the point: hides nothing") << juin << sans << -3.0 << "jour";
    QTest::newRow("wall at the point's height: hides nothing") << juin << sans << 0.0 << "jour";
}

void TestOmbrage::heuresALaMain()
{
    QFETCH(QDate, date);
    QFETCH(double, orientation);
    QFETCH(double, hauteur_mur);
    QFETCH(QString, attendu);
    Description_Diagramme d;
    d.latitude = 45.0;
    d.date_choisie = date;
    d.taille = QSize(800, 500);
    const bool facade = !std::isnan(orientation);
    if (facade) {
        d.ombrage.facade.active = true;
        d.ombrage.facade.orientation = orientation;
        d.ombrage.facade.casquette = {orientation == 180.0, 1.0, 1.0};
    } else {
        d.ombrage.obstacles = {{100.0, 5.0, 260.0, 5.0, hauteur_mur}};
    }
    const Ligne_Sortie ligne = ligne_dessinee(d);
    const double lu = facade ? ligne.soleil_fenetre : ligne.soleil_direct;
    const double heures = attendu == QLatin1String("rien")    ? 0.0
                          : attendu == QLatin1String("matin") ? 12.0 - ligne.lever
                                                              : ligne.duree();
    QVERIFY2(std::abs(lu - heures) <= ecart_main_heures,
             qPrintable(QStringLiteral("%1 h of sun, expected %2 h").arg(lu).arg(heures)));
}

void TestOmbrage::bordDeCasquetteSvg_data()
{
    QTest::addColumn<Type_Projection>("type");

    QTest::newRow("polar equidistant") << Type_Projection::Equidistante;
    QTest::newRow("polar stereographic") << Type_Projection::Stereographique;
    QTest::newRow("chart") << Type_Projection::Cylindrique;
}

void TestOmbrage::bordDeCasquetteSvg()
{
    // A south-west facade under an overhang as wide as the facade, H / P = 1.5 / 1.2: its
    // zone's outline as the SVG writes it, read back through the projection, keeps
    // tan VSA = tan h / cos HSA = H / P wherever it stands in front of the facade above the
    // horizon (and, on the chart, below its top edge).
    QFETCH(Type_Projection, type);
    Description_Diagramme d;
    d.latitude = 45.0;
    d.date_choisie = QDate(2026, 6, 21);
    d.options.projection = type;
    d.taille = QSize(1000, 700);
    Facade &f = d.ombrage.facade;
    f.active = true;
    f.orientation = 225.0;
    f.casquette = {true, 1.2, 1.5};
    Scene scene;
    ajuster_scene(scene, d.taille);
    dessiner_diagramme(scene, d);
    QTemporaryDir dossier;
    const QString chemin = dossier.filePath(QStringLiteral("fenetre.svg"));
    QVERIFY(exporter_diagramme(scene, d.taille, legende_page(d, {}), chemin));

    const QVector<QPointF> points = points_trait_svg(chemin, QStringLiteral("#c85a00"));
    const double vsa = std::atan(1.5 / 1.2) / rad;
    const double plafond = scene.projection().hauteur_max();
    int sur_le_bord = 0;
    for (int i = 0; i < points.size(); ++i) {
        const Soleil::Point_Ciel ciel = scene.projection().direction(points[i]);
        const double hsa = std::remainder(-ciel.azimut - f.orientation, 360.0);
        if (std::abs(hsa) > 85.0 || ciel.hauteur < 1.0 || ciel.hauteur > plafond - 1.0)
            continue;
        ++sur_le_bord;
        const double lu = std::atan(std::tan(ciel.hauteur * rad) / std::cos(hsa * rad)) / rad;
        QVERIFY2(std::abs(lu - vsa) < ecart_svg_degres,
                 qPrintable(QStringLiteral("point %1 (%2, %3): VSA %4, expected %5")
                                .arg(i)
                                .arg(ciel.azimut)
                                .arg(ciel.hauteur)
                                .arg(lu)
                                .arg(vsa)));
    }
    QVERIFY2(sur_le_bord > 20, qPrintable(QString::number(points.size())));
}

void TestOmbrage::hachuresCommeLesOmbres_data()
{
    QTest::addColumn<Type_Projection>("type");
    QTest::addColumn<QSize>("taille");
    QTest::addColumn<quint32>("graine"); // 0: the Paris study

    const auto E = Type_Projection::Equidistante;
    const auto S = Type_Projection::Stereographique;
    const auto C = Type_Projection::Cylindrique;
    // A south-west window under a short overhang with a left fin, where the outlines of its
    // zones meet at the zenith, and a wall from bearing 100 to 140: exported, in the window, on
    // the stereographic report page.
    for (const QSize &taille :
         {QSize(1600, 900), QSize(1100, 900), QSize(1200, 1200), QSize(750, 750)})
        QTest::addRow("Paris study, %dx%d, polar equidistant", taille.width(), taille.height())
            << E << taille << 0u;
    QTest::newRow("Paris study, report page, polar stereographic") << S << QSize(860, 1100) << 0u;
    // Random windows and walls, from the smallest drawing to a 4K screen.
    const struct {
        const char *nom;
        Type_Projection type;
        std::vector<std::pair<QSize, quint32>> lignes;
    } projections[] = {
        {"polar equidistant",
         E,
         {{{320, 160}, 6},
          {{640, 480}, 7},
          {{800, 600}, 20},
          {{1024, 768}, 14},
          {{1366, 768}, 35},
          {{1920, 1080}, 31},
          {{2560, 1440}, 16},
          {{3840, 2160}, 73}}},
        {"polar stereographic",
         S,
         {{{320, 160}, 529},
          {{640, 480}, 21},
          {{800, 600}, 19},
          {{1024, 768}, 15},
          {{1366, 768}, 31},
          {{1920, 1080}, 68},
          {{2560, 1440}, 45},
          {{3840, 2160}, 40}}},
        {"chart",
         C,
         {{{640, 480}, 40},
          {{800, 600}, 48},
          {{1024, 768}, 59},
          {{1366, 768}, 45},
          {{1920, 1080}, 21},
          {{2560, 1440}, 51},
          {{3840, 2160}, 60}}},
    };
    for (const auto &projection : projections)
        for (const auto &ligne : projection.lignes)
            QTest::addRow("seed %u, %dx%d, %s", ligne.second, ligne.first.width(),
                          ligne.first.height(), projection.nom)
                << projection.type << ligne.first << ligne.second;
}

void TestOmbrage::hachuresCommeLesOmbres()
{
    // Every 3° of azimuth and height, a direction lies inside the facade's hatched path exactly
    // when the facade or a device shades it, and inside the walls' exactly when a wall does;
    // directions within a pixel of a path's edge, or above the chart's top, are left out.
    QFETCH(Type_Projection, type);
    QFETCH(QSize, taille);
    QFETCH(quint32, graine);
    Description_Diagramme d;
    d.date_choisie = QDate(2026, 6, 21);
    d.options.projection = type;
    d.taille = taille;
    if (graine == 0) {
        d.latitude = 48.85;
        d.ombrage.facade = {true, 225.0, {true, 1.2, 0.3, 1.5, 1.5}, {true, 1.2, 0.9}, {}};
        d.ombrage.obstacles = {{100.0, 10.0, 140.0, 12.0, 6.0}};
    } else {
        d.latitude = 140.0 * QRandomGenerator(graine).generateDouble() - 70.0;
        d.ombrage = ombrage_au_hasard(graine);
    }
    Scene scene;
    ajuster_scene(scene, d.taille);
    dessiner_diagramme(scene, d);
    QPainterPath facade, murs;
    for (const QGraphicsItem *item : scene.items())
        if (const auto *chemin = qgraphicsitem_cast<const QGraphicsPathItem *>(item)) {
            if (chemin->brush().style() == Qt::BDiagPattern)
                facade = chemin->path();
            else if (chemin->brush().style() == Qt::FDiagPattern)
                murs = chemin->path();
        }
    const Projection &projection = scene.projection();
    const QList<QPolygonF> bords[] = {facade.toSubpathPolygons(), murs.toSubpathPolygons()};
    int verifiees = 0;
    for (int hauteur = 0; hauteur <= 90; hauteur += 3) {
        if (hauteur > projection.hauteur_max())
            break;
        for (int azimut = -180; azimut < 180; azimut += 3) {
            const QPointF p = projection.point(azimut, hauteur);
            const bool ombre[] = {bool(ombre_facade(d.ombrage.facade, azimut, hauteur)),
                                  bool(ombre_obstacles(d.ombrage.murs(), azimut, hauteur))};
            for (int i = 0; i < 2; ++i) {
                const QPainterPath &chemin = i == 0 ? facade : murs;
                if (distance_bord(bords[i], p) <= marge_bord)
                    continue;
                ++verifiees;
                QVERIFY2(chemin.contains(p) == ombre[i],
                         qPrintable(QStringLiteral("%1 at azimuth %2, height %3: %4, %5")
                                        .arg(i == 0 ? "facade" : "walls")
                                        .arg(azimut)
                                        .arg(hauteur)
                                        .arg(chemin.contains(p) ? "hatched" : "not hatched")
                                        .arg(ombre[i] ? "shaded" : "not shaded")));
            }
        }
    }
    QVERIFY2(verifiees > 500, qPrintable(QString::number(verifiees)));
}

void TestOmbrage::hautDuGraphique_data()
{
    QTest::addColumn<Ombrage>("ombrage");
    // The height of the zone's edge due south, degrees.
    QTest::addColumn<double>("bord");

    // A wall facing the point 5 m to the south, from bearing 150 to 210, 5 · tan 72° high.
    Ombrage mur;
    const double bout = 5.0 / std::cos(30.0 * rad);
    mur.obstacles = {{150.0, bout, 210.0, bout, 5.0 * std::tan(72.0 * rad)}};
    QTest::newRow("wall 72 degrees high") << mur << 72.0;
    // A south facade under an overhang whose edge stands at 75° in front of it.
    Ombrage casquette;
    casquette.facade.active = true;
    casquette.facade.casquette = {true, 1.0, std::tan(75.0 * rad)};
    QTest::newRow("overhang from 75 degrees") << casquette << 75.0;
}

void TestOmbrage::hautDuGraphique()
{
    // At 60° N on 21 December the courses stay below 7°: the chart reaches the zone's edge all
    // the same, hatched on one side of it and not on the other.
    QFETCH(Ombrage, ombrage);
    QFETCH(double, bord);
    Description_Diagramme d;
    d.latitude = 60.0;
    d.date_choisie = QDate(2026, 12, 21);
    d.options.projection = Type_Projection::Cylindrique;
    d.taille = QSize(1200, 800);
    d.ombrage = ombrage;
    Scene scene;
    ajuster_scene(scene, d.taille);
    dessiner_diagramme(scene, d);
    const Projection &projection = scene.projection();
    QVERIFY2(projection.hauteur_max() >= bord + 1.0,
             qPrintable(QString::number(projection.hauteur_max())));
    QPainterPath hachures;
    for (const QGraphicsItem *item : scene.items())
        if (const auto *chemin = qgraphicsitem_cast<const QGraphicsPathItem *>(item))
            if (chemin->brush().style() == Qt::BDiagPattern ||
                chemin->brush().style() == Qt::FDiagPattern)
                hachures.addPath(chemin->path());
    QVERIFY(hachures.contains(projection.point(180.0, bord - 1.0)) !=
            hachures.contains(projection.point(180.0, bord + 1.0)));
}

void TestOmbrage::ombreSousLePointeur_data()
{
    QTest::addColumn<double>("azimut");
    QTest::addColumn<double>("hauteur");
    QTest::addColumn<QString>("fin"); // of the read-out; no "ombre" elsewhere unless it is one

    // A south facade (HSA = −azimuth ∓ 180) under an overhang of H / P = 1 (VSA 45°, its edge
    // at atan(cos HSA) above the horizon), fins at atan(1 / 0.5) = 63.4° of HSA, a wall to the
    // south-east 10 m away and 5 m high (26.6° in front of the point), a wall from bearing 225 to
    // 245, 4 m away and 8 m high (63° at least), a mask of 30° from bearing 190 to 260.
    QTest::newRow("in the opening") << 180.0 << 20.0 << "soleil sur la fenêtre";
    QTest::newRow("behind the facade") << 0.0 << 60.0 << "ombre : derrière la façade";
    QTest::newRow("under the overhang") << 180.0 << 50.0 << "ombre : casquette";
    // HSA 70°: the overhang's edge at 18.9°.
    QTest::newRow("past the right fin, to the west, in the mask")
        << 110.0 << 10.0 << "ombre : joue droite, masque";
    QTest::newRow("past the left fin, to the east") << -110.0 << 10.0 << "ombre : joue gauche";
    QTest::newRow("the second wall") << -150.0 << 20.0 << "ombre : obstacle 2";
    QTest::newRow("over the wall") << -150.0 << 30.0 << "soleil sur la fenêtre";
    QTest::newRow("the mask") << 150.0 << 25.0 << "ombre : masque";
    // HSA 75°: the overhang's edge at 14.5°, past the right fin.
    QTest::newRow("overhang, right fin and mask at once")
        << 105.0 << 20.0 << "ombre : casquette, joue droite, masque";
    // HSA 55°: the overhang's edge at 29.8°, before the fin; over the mask.
    QTest::newRow("overhang and the third wall at once")
        << 125.0 << 45.0 << "ombre : casquette, obstacle 3";
    QTest::newRow("the third wall and the mask at once")
        << 125.0 << 20.0 << "ombre : obstacle 3, masque";
}

void TestOmbrage::ombreSousLePointeur()
{
    QFETCH(double, azimut);
    QFETCH(double, hauteur);
    QFETCH(QString, fin);
    Description_Diagramme d;
    d.latitude = 45.0;
    d.date_choisie = QDate(2026, 6, 21);
    d.masque = {{170.0, 30.0}, {100.0, 30.0}};
    Facade &f = d.ombrage.facade;
    f = {true, 180.0, {true, 1.0, 1.0}, {true, 0.5, 1.0}, {true, 0.5, 1.0}};
    // The wall across the south-east: 10 m away at bearing 150, its ends 20° to either side.
    const double ouverture = 20.0;
    const double portee = 10.0 / std::cos(ouverture * rad);
    d.ombrage.obstacles = {
        {10.0, 5.0, 20.0, 5.0, -1.0},
        {150.0 - ouverture, portee, 150.0 + ouverture, portee, 5.0},
        {225.0, 4.0 / std::cos(10.0 * rad), 245.0, 4.0 / std::cos(10.0 * rad), 8.0}};
    Lecture lecture;
    lecture.dans_disque = true;
    lecture.azimut = azimut;
    lecture.hauteur = hauteur;
    const QString texte = texte_lecture(lecture, d);
    QVERIFY2(texte.endsWith(fin) && (fin.startsWith("ombre") || !texte.contains("ombre")),
             qPrintable(texte));
}

void TestOmbrage::planGaucheDroite_data()
{
    QTest::addColumn<double>("orientation");
    QTest::addColumn<bool>("baie");

    QTest::newRow("facing S") << 180.0 << false;
    QTest::newRow("facing N") << 0.0 << false;
    QTest::newRow("facing E") << 90.0 << false;
    QTest::newRow("facing SW") << 225.0 << false;
    QTest::newRow("facing SW, point on the opening's inner face") << 225.0 << true;
}

void TestOmbrage::planGaucheDroite()
{
    // Looking out along bearing θ from inside, the left hand points to bearing θ − 90: the plan
    // (north up, east right) writes "gauche" that way from the point and "droite" the other, and
    // numbers the wall set 10 m out on the left beside it.
    // In an opening, the point on the wall's inner face stands back from the outer plane, into
    // the room on the plan (against the normal's arrow) and left of the facade on the section.
    QFETCH(double, orientation);
    QFETCH(bool, baie);
    Ombrage ombrage;
    ombrage.facade.active = true;
    ombrage.facade.orientation = orientation;
    ombrage.baie.active = baie;
    ombrage.point = baie ? Point_Reference::Face_Interieure : Point_Reference::Seuil_Exterieur;
    const double g = orientation - 90.0;
    ombrage.obstacles = {
        {std::fmod(g + 340.0, 360.0), 10.0, std::fmod(g + 20.0, 360.0), 10.0, 4.0}};
    const Croquis plan = croquis_plan(ombrage, QSizeF(400, 400));
    if (baie) {
        const Croquis coupe = croquis_coupe(ombrage, QSizeF(400, 300));
        const QLineF normale =
            std::find_if(plan.traits.begin(), plan.traits.end(), [](const Trait_Croquis &t) {
                return t.element == Element_Croquis::Normale;
            })->ligne;
        const QLineF facade = coupe.traits[0].ligne;
        const double dedans =
            QPointF::dotProduct(plan.point - normale.p1(), normale.p2() - normale.p1()) /
            normale.length();
        QVERIFY2(dedans < -5.0 && coupe.point.x() < facade.x1() - 5.0,
                 qPrintable(QStringLiteral("%1 px along the normal, %2 px right of the facade")
                                .arg(dedans)
                                .arg(coupe.point.x() - facade.x1())));
    }
    const QPointF vers_gauche(std::sin(g * rad), -std::cos(g * rad));
    const auto cote = [&](const QString &texte) {
        for (const Texte_Croquis &t : plan.textes)
            if (t.texte == texte)
                return QPointF::dotProduct(t.position - plan.point, vers_gauche);
        return 0.0;
    };
    QVERIFY2(cote(QStringLiteral("gauche")) > 20.0 && cote(QStringLiteral("droite")) < -20.0 &&
                 cote(QStringLiteral("1")) > 20.0,
             qPrintable(QStringLiteral("gauche %1, droite %2, wall %3 px to the left")
                            .arg(cote(QStringLiteral("gauche")))
                            .arg(cote(QStringLiteral("droite")))
                            .arg(cote(QStringLiteral("1")))));
}

void TestOmbrage::fenetreEtObstacles()
{
    // The panel's button opens the dialog; a south facade switched on under its overhang of
    // H / P = 1 is drawn, and the table shows its column: no sun on 21 June at 45° N. A wall
    // added there (switched off) reads as a building front, and a front typed in is stored by
    // its ends.
    Fenetre_Principale f(nullptr, QDate(2026, 6, 21));
    enfant<QDoubleSpinBox>(f, "latitude")->setValue(45.0);
    bool ouvert = false;
    QVector<double> front_lu;
    Obstacle stocke;
    QTimer::singleShot(0, &f, [&] {
        auto *dialogue = qobject_cast<Dialogue_Fenetre *>(QApplication::activeModalWidget());
        if (!dialogue)
            return;
        ouvert = true;
        enfant<QGroupBox>(*dialogue, "groupe_facade")->setChecked(true);
        enfant<QGroupBox>(*dialogue, "groupe_casquette")->setChecked(true);
        for (QPushButton *b : dialogue->findChildren<QPushButton *>())
            if (b->text() == QLatin1String("Ajouter"))
                b->click();
        enfant<QComboBox>(*dialogue, "saisie_obstacles")->setCurrentIndex(1);
        auto *murs = dialogue->findChild<QTableWidget *>();
        for (int colonne = 0; colonne < 5; ++colonne)
            front_lu << murs->item(0, colonne)->data(Qt::EditRole).toDouble();
        // 15 m out to the south, 20 m each side: a 3-4-5 triangle each way.
        const double front[] = {15.0, 180.0, 20.0, 20.0, 12.0};
        for (int colonne = 0; colonne < 5; ++colonne)
            murs->item(0, colonne)->setData(Qt::EditRole, front[colonne]);
        stocke = dialogue->valeur().obstacles.at(0);
        enfant<QGroupBox>(*dialogue, "groupe_obstacles")->setChecked(false);
        dialogue->accept();
    });
    enfant<QPushButton>(f, "bouton_fenetre_obstacles")->click();
    QVERIFY(ouvert);
    // The wall "Ajouter" puts 10 m across the normal, 5 m each side, as two ends at 11.18 m and
    // ±26.6° (to the boxes' two decimals).
    const double front_attendu[] = {10.0, 180.0, 5.0, 5.0, 3.0};
    for (int colonne = 0; colonne < 5; ++colonne)
        QVERIFY2(
            front_lu.size() == 5 && std::abs(front_lu[colonne] - front_attendu[colonne]) < 0.05,
            qPrintable(QStringLiteral("column %1: %2").arg(colonne).arg(front_lu.value(colonne))));
    const double bout = std::atan2(4.0, 3.0) / rad;
    QVERIFY2(std::abs(stocke.gisement1 - (180.0 - bout)) < 1e-9 &&
                 std::abs(stocke.distance1 - 25.0) < 1e-9 &&
                 std::abs(stocke.gisement2 - (180.0 + bout)) < 1e-9 &&
                 std::abs(stocke.distance2 - 25.0) < 1e-9 && stocke.hauteur == 12.0,
             qPrintable(QStringLiteral("%1° at %2 m, %3° at %4 m")
                            .arg(stocke.gisement1)
                            .arg(stocke.distance1)
                            .arg(stocke.gisement2)
                            .arg(stocke.distance2)));
    const QTableWidget *tableau = enfant<QTableWidget>(f, "tableau_sorties");
    QCOMPARE(tableau->horizontalHeaderItem(6)->text(), QStringLiteral("Soleil sur la fenêtre"));
    QVERIFY(tableau->isColumnHidden(4) && !tableau->isColumnHidden(6));
    QCOMPARE(tableau->item(0, 6)->text(), QStringLiteral("0h00"));

    // Again as an opening under EN 17037, the overhang off: the verdict comes back from its
    // thread, and the diagram draws the least height with its legend line.
    QString verdict;
    // With the opening's and the rule's groups, the dialog still fits the screen's width (800
    // pixels here), "OK" on it.
    int largeur = 0, ecran = 0;
    QTimer::singleShot(0, &f, [&verdict, &largeur, &ecran] {
        auto *dialogue = qobject_cast<Dialogue_Fenetre *>(QApplication::activeModalWidget());
        if (!dialogue)
            return;
        largeur = dialogue->width();
        ecran = dialogue->screen()->availableGeometry().width();
        enfant<QGroupBox>(*dialogue, "groupe_casquette")->setChecked(false);
        enfant<QGroupBox>(*dialogue, "groupe_baie")->setChecked(true);
        auto *regles = enfant<QComboBox>(*dialogue, "regles");
        regles->setCurrentIndex(1);
        emit regles->activated(1);
        const QLabel *etiquette = enfant<QLabel>(*dialogue, "verdict");
        QTRY_VERIFY_WITH_TIMEOUT(etiquette->text().startsWith(QStringLiteral("EN 17037 : ")),
                                 10000);
        verdict = etiquette->text();
        dialogue->accept();
    });
    enfant<QPushButton>(f, "bouton_fenetre_obstacles")->click();
    QVERIFY2(largeur > 0 && largeur <= ecran,
             qPrintable(QStringLiteral("%1 > %2").arg(largeur).arg(ecran)));
    QVERIFY2(verdict.startsWith(QStringLiteral("EN 17037 : élevé — ")) &&
                 verdict.contains(QStringLiteral(" le 21 mars (")) &&
                 verdict.contains(QStringLiteral(" ; du 1er février au 21 mars : de ")),
             qPrintable(verdict));
    QStringList textes;
    for (const QGraphicsItem *item : enfant<QGraphicsView>(f, "graphicsView")->scene()->items())
        if (const auto *texte = dynamic_cast<const QGraphicsTextItem *>(item))
            textes << texte->toPlainText();
    QVERIFY2(textes.contains(QStringLiteral("Hauteur minimale 11°")), qPrintable(textes.join('|')));
}

QTEST_MAIN(TestOmbrage)
void TestOmbrage::grilleAnnee_data()
{
    QTest::addColumn<double>("latitude");
    QTest::addColumn<double>("orientation");
    QTest::addColumn<Modele_Soleil>("modele");
    QTest::addColumn<QByteArray>("fuseau"); // empty: true solar time
    // The hours of the scale that may hold sun, [debut, fin).
    QTest::addColumn<int>("debut");
    QTest::addColumn<int>("fin");

    // An east window sees the sun from sunrise to the meridian, true solar noon.
    QTest::newRow("equator, east, simple sun, true solar time")
        << 0.0 << 90.0 << Modele_Soleil::simple << QByteArray() << 5 << 12;
    // A west window at 45° N on the clock of Paris: from 12h TSV (13h40 to 14h20 by the clock,
    // daylight saving and the equation of time together) to sunset, never past 22h.
    QTest::newRow("45 N, west, accurate sun, Europe/Paris")
        << 45.0 << 270.0 << Modele_Soleil::precis << QByteArray("Europe/Paris") << 12 << 22;
    // Beyond the polar circle the midnight sun reaches a north window round the clock's midnight.
    QTest::newRow("70 N, north, simple sun, true solar time")
        << 70.0 << 0.0 << Modele_Soleil::simple << QByteArray() << 0 << 24;
}

void TestOmbrage::grilleAnnee()
{
    // Each month's row adds up to the mean of its days' counts as the table makes them, the sun
    // stays in the hours it can be in, and the CSV says the same with one decimal.
    QFETCH(double, latitude);
    QFETCH(double, orientation);
    QFETCH(Modele_Soleil, modele);
    QFETCH(QByteArray, fuseau);
    QFETCH(int, debut);
    QFETCH(int, fin);
    Description_Diagramme d;
    d.latitude = latitude;
    d.date_choisie = QDate(2026, 3, 1);
    d.modele = modele;
    d.fuseau = fuseau;
    d.echelle =
        fuseau.isEmpty() ? Echelle_Heures::Temps_solaire_vrai : Echelle_Heures::Heure_legale;
    d.ombrage.facade.active = true;
    d.ombrage.facade.orientation = orientation;
    d.ombrage.obstacles = {{orientation - 40.0, 15.0, orientation + 10.0, 12.0, 5.0}};
    const Grille_Annee grille = grille_description(d);
    QCOMPARE(grille.annee, 2026);

    const std::shared_ptr<Ciel> ciel = ciel_description(d);
    const Test_Cache cache = test_fenetre(d);
    double annee = 0.0;
    const QList<QByteArray> lignes = csv_grille(grille).split('\n');
    QCOMPARE(lignes.size(), 14); // the header, twelve months, the last line's end
    QCOMPARE(lignes[0], QByteArray("mois;0h;1h;2h;3h;4h;5h;6h;7h;8h;9h;10h;11h;12h;13h;14h;15h;"
                                   "16h;17h;18h;19h;20h;21h;22h;23h;total_jour"));
    for (int mois = 1; mois <= 12; ++mois) {
        double minutes = 0.0;
        const QDate premier(2026, mois, 1);
        for (int j = 0; j < premier.daysInMonth(); ++j) {
            const QDate date = premier.addDays(j);
            minutes += 60.0 * ciel->ensoleillement(ciel->jour(date).jour, cache).soleil_direct;
        }
        annee += minutes / 60.0;
        const double moyenne = minutes / premier.daysInMonth();
        QVERIFY2(std::abs(grille.total_jour(mois - 1) - moyenne) < 1e-6,
                 qPrintable(QStringLiteral("month %1: %2 min a day in the grid, %3 counted")
                                .arg(mois)
                                .arg(grille.total_jour(mois - 1))
                                .arg(moyenne)));
        for (int h = 0; h < 24; ++h)
            QVERIFY2((h >= debut && h < fin) || grille.minutes[mois - 1][h] == 0.0,
                     qPrintable(QStringLiteral("month %1, %2h: %3 min")
                                    .arg(mois)
                                    .arg(h)
                                    .arg(grille.minutes[mois - 1][h])));
        const QList<QByteArray> cellules = lignes[mois].split(';');
        QCOMPARE(cellules.size(), 26);
        QCOMPARE(cellules[0].toInt(), mois);
        QCOMPARE(cellules[25], QByteArray::number(moyenne, 'f', 1));
    }
    QVERIFY(annee > 100.0);
    QVERIFY2(
        std::abs(grille.total_annee() - annee) < 1e-6,
        qPrintable(
            QStringLiteral("%1 h in the year, %2 counted").arg(grille.total_annee()).arg(annee)));
}

void TestOmbrage::vueAnnee()
{
    // The view opened without a window says so; once a south facade is given it shows the
    // grid of the study drawn, computed on its own thread; of three requests in a row only the
    // last is shown; and the grid goes to CSV, SVG and PNG.
    Fenetre_Principale f(nullptr, QDate(2026, 6, 21));
    enfant<QDoubleSpinBox>(f, "latitude")->setValue(45.0);
    enfant<QPushButton>(f, "bouton_soleil_annee")->click();
    auto *vue = enfant<Dialogue_Annee>(f, "dialogue_annee");
    QVERIFY(vue->isVisible() && !vue->grille());
    QVERIFY(!enfant<QPushButton>(*vue, "bouton_exporter_annee")->isEnabled());

    QTimer::singleShot(0, &f, [] {
        if (auto *d = qobject_cast<Dialogue_Fenetre *>(QApplication::activeModalWidget())) {
            enfant<QGroupBox>(*d, "groupe_facade")->setChecked(true);
            d->accept();
        }
    });
    enfant<QPushButton>(f, "bouton_fenetre_obstacles")->click();
    QTRY_VERIFY_WITH_TIMEOUT(vue->grille().has_value(), 10000);
    Description_Diagramme d;
    d.latitude = 45.0;
    d.date_choisie = QDate(2026, 6, 21);
    d.ombrage.facade.active = true;
    QVERIFY(vue->grille()->minutes == grille_description(d).minutes);
    QVERIFY(enfant<QPushButton>(*vue, "bouton_exporter_annee")->isEnabled());

    QSignalSpy affichees(vue, &Dialogue_Annee::grille_affichee);
    std::atomic<bool> sur_le_fil{false};
    for (int annee : {2001, 2002, 2003})
        vue->suivre(
            [annee, &sur_le_fil] {
                sur_le_fil = QThread::currentThread() != QCoreApplication::instance()->thread();
                Grille_Annee g;
                g.annee = annee;
                return g;
            },
            QStringLiteral("Temps solaire vrai"));
    QTRY_COMPARE_WITH_TIMEOUT(affichees.size(), 1, 10000);
    QTest::qWait(100);
    QCOMPARE(affichees.size(), 1);
    QCOMPARE(vue->grille()->annee, 2003);
    QVERIFY(sur_le_fil);

    QTemporaryDir dossier;
    const Grille_Annee grille = grille_description(d);
    for (const char *nom : {"grille.csv", "grille.svg", "grille.png"}) {
        const QString chemin = dossier.filePath(QString::fromLatin1(nom));
        QCOMPARE(exporter_grille(grille, QStringLiteral("Temps solaire vrai"), chemin), QString());
        QFile fichier(chemin);
        QVERIFY(fichier.open(QIODevice::ReadOnly));
        const QByteArray octets = fichier.readAll();
        if (chemin.endsWith(QLatin1String(".csv")))
            QCOMPARE(octets, csv_grille(grille));
        else if (chemin.endsWith(QLatin1String(".svg")))
            QVERIFY(QString::fromUtf8(octets).contains(titre_grille(grille)));
        else
            QCOMPARE(QImage::fromData(octets).size(), taille_image_grille);
    }
    vue->close();
}

#include "tst_ombrage.moc"

void TestOmbrage::verdictExposition_data()
{
    QTest::addColumn<double>("latitude");
    QTest::addColumn<double>("orientation");
    // The wall's thickness, metres (an opening 1.2 m wide and 1.4 m high, its sill 0.9 m above
    // the floor).
    QTest::addColumn<double>("epaisseur");
    QTest::addColumn<double>("hauteur_min");
    QTest::addColumn<bool>("precis");
    QTest::addColumn<QDate>("jour");
    QTest::addColumn<QString>("niveau");
    // What an almanac gives for the day, hours (NaN: none); the simple sun's rows are cast as
    // rays besides, the day and the period's least and most sunlit days.
    QTest::addColumn<double>("almanach_min");
    QTest::addColumn<double>("almanach_max");

    const double sans = std::numeric_limits<double>::quiet_NaN();
    const QDate oslo(2026, 2, 1);
    // An almanac gives the sun in front of the facade (before noon) above 10° for 1h48 to 1h50,
    // above 12° for 1h03 to 1h05, without and with the refraction; two minutes either way.
    const double marge = 2.0 / 60.0;
    QTest::newRow("Oslo, 1 February, east, no reveal, 10°: minimal, accurate sun")
        << 59.91 << 90.0 << 0.0 << 10.0 << true << oslo << "minimal" << 108.0 / 60.0 - marge
        << 110.0 / 60.0 + marge;
    QTest::newRow("Oslo, 1 February, east, no reveal, 12°: insufficient, accurate sun")
        << 59.91 << 90.0 << 0.0 << 12.0 << true << oslo << "insuffisant" << 63.0 / 60.0 - marge
        << 65.0 / 60.0 + marge;
    // The simple sun stands some 0.5° lower at that noon: the same levels, fewer minutes, cast
    // as rays.
    QTest::newRow("Oslo, 1 February, east, no reveal, 10°: minimal, simple sun")
        << 59.91 << 90.0 << 0.0 << 10.0 << false << oslo << "minimal" << sans << sans;
    QTest::newRow("Oslo, 1 February, east, no reveal, 12°: insufficient, simple sun")
        << 59.91 << 90.0 << 0.0 << 12.0 << false << oslo << "insuffisant" << sans << sans;
    QTest::newRow("latitude 45, 21 March, south, reveal of 0.3 m, 11°: high")
        << 45.0 << 180.0 << 0.3 << 11.0 << false << QDate(2026, 3, 21) << "élevé" << sans << sans;
    QTest::newRow("latitude 52, 1 March, south-west, reveal of 0.5 m, 11°")
        << 52.0 << 225.0 << 0.5 << 11.0 << false << QDate(2026, 3, 1) << QString() << sans << sans;
}

void TestOmbrage::verdictExposition()
{
    // EN 17037 at the point of the inner face, counted by the program and by rays cast through
    // the opening, on the day and over its period.
    QFETCH(double, latitude);
    QFETCH(double, orientation);
    QFETCH(double, epaisseur);
    QFETCH(double, hauteur_min);
    QFETCH(bool, precis);
    QFETCH(QDate, jour);
    QFETCH(QString, niveau);
    QFETCH(double, almanach_min);
    QFETCH(double, almanach_max);
    Description_Diagramme d;
    d.latitude = latitude;
    d.longitude = 10.75;
    d.date_choisie = jour;
    d.modele = precis ? Modele_Soleil::precis : Modele_Soleil::simple;
    d.ombrage.facade.active = true;
    d.ombrage.facade.orientation = orientation;
    d.ombrage.baie = {true, 1.2, 1.4, 0.9, epaisseur};
    appliquer_prereglage(Type_Regle::EN17037, d.exposition, d.ombrage);
    d.ombrage.hauteur_min = hauteur_min;
    d.exposition.criteres.front().jour = {jour.month(), jour.day()};
    const Verdict_Exposition verdict = evaluer_exposition(etude_exposition(d));
    QVERIFY2(verdict.erreur.isEmpty(), qPrintable(verdict.erreur));
    QCOMPARE(int(verdict.criteres.size()), 1);
    const double heures = verdict.criteres.front().jour.heures;
    if (!niveau.isEmpty())
        QCOMPARE(verdict.niveau, niveau);
    QCOMPARE(verdict.niveau, niveau_en17037(heures));
    if (!std::isnan(almanach_min))
        QVERIFY2(heures >= almanach_min && heures <= almanach_max,
                 qPrintable(QStringLiteral("%1 h counted, the almanac's %2 h to %3 h")
                                .arg(heures)
                                .arg(almanach_min)
                                .arg(almanach_max)));
    if (precis)
        return;
    std::vector<Rectangle> murs;
    const std::vector<Rectangle> toutes = plaques(d.ombrage, murs);
    const auto rayons = [&](const QDate &date) {
        return heures_eclairees(date, latitude, toutes, &d.ombrage.facade, hauteur_min);
    };
    double moins = 25.0;
    double plus = -1.0;
    for (QDate date(2026, 2, 1); date <= QDate(2026, 3, 21); date = date.addDays(1)) {
        moins = std::min(moins, rayons(date));
        plus = std::max(plus, rayons(date));
    }
    const std::pair<double, double> comparees[] = {
        {heures, rayons(jour)}, {verdict.moins.heures, moins}, {verdict.plus.heures, plus}};
    for (const auto &c : comparees)
        QVERIFY2(std::abs(c.first - c.second) <= ecart_rayons_heures,
                 qPrintable(QStringLiteral("%1 h counted, %2 h by the rays (day %3 h; least %4 h, "
                                           "most %5 h)")
                                .arg(c.first)
                                .arg(c.second)
                                .arg(heures)
                                .arg(verdict.moins.heures)
                                .arg(verdict.plus.heures)));
}
