// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// The mask outline drawn by the Scene, read back from the path item it adds: where it
// starts, its radial steps, the arcs along the altitude circles with their radii and sweeps,
// and the return along the horizon.
#include "tests/tst_masks_trace.h"

#include "diagram/scene.h"

#include <QtTest>

#include <QGraphicsEllipseItem>
#include <QGraphicsPathItem>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>

#include <cmath>

namespace
{

// Exact points (the moves and the line ends, which the outline computes by projection) agree
// with the hand values to this, in scene units.
constexpr double tolerance_point = 1e-6;
// Qt draws an arc as cubic curves whose ends, for start and end angles other than multiples
// of 90 degrees, are taken on the curves rather than on the circle: they lie within 1e-3 of
// the radius of the exact points, and the sweep read between them within 0.05 degrees. The
// curves themselves stay within that distance of the circle.
constexpr double tolerance_arc_relative = 1e-3;
constexpr double tolerance_balayage = 0.05;
// Qt joins the current point to such an approximate arc start with a short line; lines
// shorter than this (scene units, half a pixel) are those joins and not part of the figure.
constexpr double longueur_nulle = 0.5;

constexpr double deg = 3.14159265358979323846 / 180.0;

double angle_ecran(QPointF p)
{
    // Counter-clockwise on screen, 0 at three o'clock, as QPainterPath::arcTo counts.
    return std::atan2(-p.y(), p.x()) / deg;
}

QPointF bezier(QPointF p0, QPointF p1, QPointF p2, QPointF p3, double t)
{
    const double u = 1.0 - t;
    return u * u * u * p0 + 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t * p3;
}

QString point_texte(QPointF p)
{
    return QStringLiteral("(%1, %2)").arg(p.x(), 0, 'f', 3).arg(p.y(), 0, 'f', 3);
}

bool proches(QPointF a, QPointF b, double tolerance = tolerance_point)
{
    return std::hypot(a.x() - b.x(), a.y() - b.y()) <= tolerance;
}

} // namespace

QString Troncon::texte() const
{
    if (genre == Ligne)
        return QStringLiteral("line to ") + point_texte(fin);
    return QStringLiteral("arc r=%1 sweep=%2 to ").arg(rayon, 0, 'f', 3).arg(balayage, 0, 'f', 3) +
           point_texte(fin);
}

QString Contour::texte() const
{
    QString t = QStringLiteral("move to ") + point_texte(depart);
    for (const Troncon &tr : troncons)
        t += QStringLiteral("; ") + tr.texte();
    return t;
}

QPointF polaire(double azimut, double rayon)
{
    return {-std::sin(azimut * deg) * rayon, -std::cos(azimut * deg) * rayon};
}

Contour lire_contour(const QPainterPath &chemin)
{
    Contour contour;
    if (chemin.elementCount() == 0)
        return contour;
    QPointF courant = chemin.elementAt(0);
    contour.depart = courant;
    bool arc_ouvert = false; // the last piece read is an arc that a next curve may extend
    for (int i = 1; i < chemin.elementCount(); ++i) {
        const QPainterPath::Element e = chemin.elementAt(i);
        if (e.type != QPainterPath::CurveToElement) {
            // A line (a second move would be a second subpath; it shows as a line too).
            const QPointF p = e;
            if (std::hypot(p.x() - courant.x(), p.y() - courant.y()) > longueur_nulle) {
                contour.troncons << Troncon::ligne(p);
                arc_ouvert = false;
            }
            courant = p;
            continue;
        }
        const QPointF c1 = chemin.elementAt(i);
        const QPointF c2 = chemin.elementAt(i + 1);
        const QPointF fin = chemin.elementAt(i + 2);
        i += 2;
        double balayage = angle_ecran(fin) - angle_ecran(courant);
        while (balayage > 180.0)
            balayage -= 360.0;
        while (balayage <= -180.0)
            balayage += 360.0;
        const double rayon = std::hypot(fin.x(), fin.y());
        double ecart = std::abs(std::hypot(courant.x(), courant.y()) - rayon);
        for (double t : {0.25, 0.5, 0.75}) {
            const QPointF b = bezier(courant, c1, c2, fin, t);
            ecart = std::max(ecart, std::abs(std::hypot(b.x(), b.y()) - rayon));
        }
        Troncon *precedent = contour.troncons.isEmpty() ? nullptr : &contour.troncons.last();
        if (arc_ouvert && precedent &&
            std::abs(precedent->rayon - rayon) <= tolerance_arc_relative * rayon &&
            (precedent->balayage < 0) == (balayage < 0)) {
            precedent->balayage += balayage;
            precedent->fin = fin;
            precedent->ecart_cercle = std::max(precedent->ecart_cercle, ecart);
        } else {
            Troncon arc = Troncon::arc(rayon, balayage, fin);
            arc.ecart_cercle = ecart;
            contour.troncons << arc;
        }
        arc_ouvert = true;
        courant = fin;
    }
    return contour;
}

const QColor TestTraceMasques::gris(127, 127, 127);

namespace
{

struct Trace {
    QGraphicsPathItem *masque = nullptr;
    QGraphicsEllipseItem *horizon = nullptr;
    int elements = 0;
};

Trace tracer(Scene &scene, const QVector<QPointF> &points)
{
    const QPen stylo(QBrush(QColor(127, 127, 127)), 1.0, Qt::SolidLine, Qt::RoundCap,
                     Qt::RoundJoin);
    scene.tracer_masques(points.constData(), points.size(), stylo, QBrush(stylo.color()),
                         QPainterPath());
    Trace t;
    const auto items = scene.items();
    t.elements = items.size();
    for (QGraphicsItem *item : items) {
        if (auto *p = qgraphicsitem_cast<QGraphicsPathItem *>(item))
            t.masque = p;
        else if (auto *e = qgraphicsitem_cast<QGraphicsEllipseItem *>(item))
            t.horizon = e;
    }
    return t;
}

} // namespace

void TestTraceMasques::contour_data()
{
    QTest::addColumn<QVector<QPointF>>("points");
    QTest::addColumn<Contour>("attendu");

    // D = 540 throughout. A point of height h lies on the circle of radius (1 - h/90) * 270:
    // 0 -> 270 (the horizon), 5 -> 255, 10 -> 240, 20 -> 210, 30 -> 180, 40 -> 150,
    // 45 -> 135. North is up, east (negative azimuths) to the right.
    Contour c;

    // East (-90) to south (-180) to west (90), open: up from the horizon in the east, a
    // quarter clockwise on the 10° circle to the south, in to the 20° circle, a quarter
    // clockwise to the west, out to 10° and down to the horizon, then back counter-clockwise
    // along the horizon through the south (90 + 90 = 180°) to the start.
    c = {};
    c.depart = {270, 0};
    c.troncons = {Troncon::ligne({240, 0}),        Troncon::arc(240, -90, {0, 240}),
                  Troncon::ligne({0, 210}),        Troncon::arc(210, -90, {-210, 0}),
                  Troncon::ligne({-240, 0}),       Troncon::ligne({-270, 0}),
                  Troncon::arc(270, 180, {270, 0})};
    QTest::newRow("open, east to west through the south")
        << QVector<QPointF>{{-90, 10}, {-180, 20}, {90, 10}} << c;

    // From 10° west of north to north at 5°: the step from the west half to the north runs
    // clockwise through the north, 10° of arc (not the 350° the other way); the horizon arc
    // returns the same 10°.
    c = {};
    c.depart = polaire(10, 270);
    c.troncons = {Troncon::ligne(polaire(10, 255)), Troncon::arc(255, -10, {0, -255}),
                  Troncon::ligne({0, -270}), Troncon::arc(270, 10, polaire(10, 270))};
    QTest::newRow("west of north to north, 10 degrees through the north")
        << QVector<QPointF>{{10, 5}, {0, 5}} << c;

    // A counter-clockwise step (-10 then 0) is still drawn clockwise from -10 over 10° to
    // -20, and the radial step joins that to the point at 0 across the sky. The horizon arc
    // of 10° from north ends at +10, so the closing line crosses the north to the start at
    // -10.
    c = {};
    c.depart = polaire(-10, 270);
    c.troncons = {Troncon::ligne(polaire(-10, 255)),
                  Troncon::arc(255, -10, polaire(-20, 255)),
                  Troncon::ligne({0, -255}),
                  Troncon::ligne({0, -270}),
                  Troncon::arc(270, 10, polaire(10, 270)),
                  Troncon::ligne(polaire(-10, 270))};
    QTest::newRow("counter-clockwise step drawn clockwise")
        << QVector<QPointF>{{-10, 5}, {0, 5}} << c;

    // Round from north at 30° and back to the same point: closed. Four quarters clockwise on
    // the circles of 30, 20, 10 and 20° with the radial steps between; the last step (90 to
    // 0, west to north) runs through the north. Then down to the horizon under the last point,
    // once round the horizon counter-clockwise, and back up to the start: the ring between the
    // horizon and the profile is filled, the sky inside the profile is not.
    c = {};
    c.depart = {0, -180};
    c.troncons = {Troncon::arc(180, -90, {180, 0}),  Troncon::ligne({210, 0}),
                  Troncon::arc(210, -90, {0, 210}),  Troncon::ligne({0, 240}),
                  Troncon::arc(240, -90, {-240, 0}), Troncon::ligne({-210, 0}),
                  Troncon::arc(210, -90, {0, -210}), Troncon::ligne({0, -180}),
                  Troncon::ligne({0, -270}),         Troncon::arc(270, 360, {0, -270}),
                  Troncon::ligne({0, -180})};
    QTest::newRow("closed on itself, once round the horizon")
        << QVector<QPointF>{{0, 30}, {-90, 20}, {-180, 10}, {90, 20}, {0, 30}} << c;

    // Round from north at 10° to north at 40°: same azimuth, different heights, so open;
    // the four quarters add up to 360° and the horizon arc goes the whole way round.
    c = {};
    c.depart = {0, -270};
    c.troncons = {Troncon::ligne({0, -240}),        Troncon::arc(240, -90, {240, 0}),
                  Troncon::ligne({210, 0}),         Troncon::arc(210, -90, {0, 210}),
                  Troncon::ligne({0, 180}),         Troncon::arc(180, -90, {-180, 0}),
                  Troncon::ligne({-210, 0}),        Troncon::arc(210, -90, {0, -210}),
                  Troncon::ligne({0, -150}),        Troncon::ligne({0, -270}),
                  Troncon::arc(270, 360, {0, -270})};
    QTest::newRow("same azimuth first and last, different heights: 360 degrees of horizon")
        << QVector<QPointF>{{0, 10}, {-90, 20}, {-180, 30}, {90, 20}, {0, 40}} << c;

    // One point at azimuth -45 (north-east), height 30: closed on itself, no arc; the line
    // down to the horizon at -45 and back up.
    c = {};
    c.depart = polaire(-45, 180);
    c.troncons = {Troncon::ligne(polaire(-45, 270)), Troncon::ligne(polaire(-45, 180))};
    QTest::newRow("single point") << QVector<QPointF>{{-45, 30}} << c;

    // From the south-west (170) to 100, open, at 45 and 30°: a 70° arc on the 45° circle.
    c = {};
    c.depart = polaire(170, 270);
    c.troncons = {Troncon::ligne(polaire(170, 135)), Troncon::arc(135, -70, polaire(100, 135)),
                  Troncon::ligne(polaire(100, 180)), Troncon::ligne(polaire(100, 270)),
                  Troncon::arc(270, 70, polaire(170, 270))};
    QTest::newRow("west half only") << QVector<QPointF>{{170, 45}, {100, 30}} << c;

    // From -170 across the south to 170: 20° of arc, the step from the east half to the west
    // half.
    c = {};
    c.depart = polaire(-170, 270);
    c.troncons = {Troncon::ligne(polaire(-170, 240)), Troncon::arc(240, -20, polaire(170, 240)),
                  Troncon::ligne(polaire(170, 210)), Troncon::ligne(polaire(170, 270)),
                  Troncon::arc(270, 20, polaire(-170, 270))};
    QTest::newRow("across the south, -170 to 170") << QVector<QPointF>{{-170, 10}, {170, 20}} << c;
}

void TestTraceMasques::contour()
{
    QFETCH(QVector<QPointF>, points);
    QFETCH(Contour, attendu);

    Scene scene;
    scene.setDiametre0(540);
    const Trace t = tracer(scene, points);
    QVERIFY2(t.masque, "no outline item was added");
    const Contour lu = lire_contour(t.masque->path());
    const QString message = QStringLiteral("\nexpected: ") + attendu.texte() +
                            QStringLiteral("\nactual:   ") + lu.texte();

    QVERIFY2(proches(lu.depart, attendu.depart), qPrintable(message));
    QVERIFY2(lu.troncons.size() == attendu.troncons.size(), qPrintable(message));
    for (int i = 0; i < attendu.troncons.size(); ++i) {
        const Troncon &a = attendu.troncons[i];
        const Troncon &l = lu.troncons[i];
        const QString ou = QStringLiteral("piece %1").arg(i) + message;
        QVERIFY2(l.genre == a.genre, qPrintable(ou));
        if (a.genre == Troncon::Ligne) {
            QVERIFY2(proches(l.fin, a.fin), qPrintable(ou));
            continue;
        }
        const double tolerance = tolerance_arc_relative * a.rayon;
        QVERIFY2(proches(l.fin, a.fin, tolerance), qPrintable(ou));
        QVERIFY2(std::abs(l.rayon - a.rayon) <= tolerance, qPrintable(ou));
        QVERIFY2(std::abs(l.balayage - a.balayage) <= tolerance_balayage, qPrintable(ou));
        QVERIFY2(l.ecart_cercle <= tolerance,
                 qPrintable(QStringLiteral("arc off its circle by %1, ").arg(l.ecart_cercle) + ou));
    }
    // No row reaches 90°: the zenith is sky, never inside the filled outline.
    QVERIFY2(!t.masque->path().contains(QPointF(0, 0)), qPrintable(message));
}

void TestTraceMasques::elementsAjoutes()
{
    // Two items: the filled outline with the caller's pen and brush, odd-even fill, and the
    // horizon circle (D = 540: the square -270, -270, 540, 540) in the same pen, unfilled,
    // on top of it.
    Scene scene;
    scene.setDiametre0(540);
    const Trace t = tracer(scene, {{-90, 10}, {-180, 20}, {90, 10}});
    QCOMPARE(t.elements, 2);
    QVERIFY(t.masque);
    QVERIFY(t.horizon);
    QCOMPARE(t.masque->pen().color(), gris);
    QCOMPARE(t.masque->pen().widthF(), 1.0);
    QCOMPARE(t.masque->pen().capStyle(), Qt::RoundCap);
    QCOMPARE(t.masque->pen().joinStyle(), Qt::RoundJoin);
    QCOMPARE(t.masque->brush().color(), gris);
    QCOMPARE(t.masque->brush().style(), Qt::SolidPattern);
    QCOMPARE(t.masque->path().fillRule(), Qt::OddEvenFill);
    QCOMPARE(t.horizon->rect(), QRectF(-270, -270, 540, 540));
    QCOMPARE(t.horizon->pen().color(), gris);
    QCOMPARE(t.horizon->brush().style(), Qt::NoBrush);
    // On the horizon in the east both items meet; the circle is the one on top.
    const auto dessus = scene.items(QPointF(270, 0), Qt::IntersectsItemShape, Qt::DescendingOrder);
    QCOMPARE(dessus.size(), 2);
    QCOMPARE(dessus.first(), t.horizon);
}

void TestTraceMasques::carresDesArcs_data()
{
    QTest::addColumn<double>("hauteur");
    QTest::addColumn<QRectF>("carre");

    // D = 540: the altitude circle of height h is inscribed in the square of side
    // (1 - h/90) * 540 centred on the zenith.
    QTest::newRow("height 0, the horizon") << 0.0 << QRectF(-270, -270, 540, 540);
    QTest::newRow("height 45") << 45.0 << QRectF(-135, -135, 270, 270);
}

void TestTraceMasques::carresDesArcs()
{
    QFETCH(double, hauteur);
    QFETCH(QRectF, carre);

    // North to east at one height: the one clockwise arc lies on the circle inscribed in the
    // square, a quarter from its top to its right side.
    Scene scene;
    scene.setDiametre0(540);
    const Trace t = tracer(scene, {{0, hauteur}, {-90, hauteur}});
    QVERIFY(t.masque);
    const Contour lu = lire_contour(t.masque->path());
    const Troncon *arc = nullptr;
    for (const Troncon &tr : lu.troncons) {
        if (tr.genre == Troncon::Arc && tr.balayage < 0) {
            QVERIFY2(!arc, qPrintable(lu.texte()));
            arc = &tr;
        }
    }
    QVERIFY2(arc, qPrintable(lu.texte()));
    const double rayon = carre.width() / 2;
    const double tolerance = tolerance_arc_relative * rayon;
    QVERIFY2(std::abs(arc->rayon - rayon) <= tolerance,
             qPrintable(QStringLiteral("radius %1, expected %2").arg(arc->rayon).arg(rayon)));
    QVERIFY2(arc->ecart_cercle <= tolerance, qPrintable(lu.texte()));
    QVERIFY2(std::abs(arc->balayage + 90) <= tolerance_balayage, qPrintable(lu.texte()));
    QVERIFY2(proches(arc->fin, QPointF(carre.right(), carre.center().y()), tolerance),
             qPrintable(lu.texte()));
    // Its start is the top of the square.
    QVERIFY2(proches(lu.depart, {0, -270}), qPrintable(lu.texte()));
    const QPointF haut(carre.center().x(), carre.top());
    const bool commence_en_haut =
        proches(lu.depart, haut) ||
        (!lu.troncons.isEmpty() && lu.troncons.first().genre == Troncon::Ligne &&
         proches(lu.troncons.first().fin, haut));
    QVERIFY2(commence_en_haut, qPrintable(lu.texte()));
}

void TestTraceMasques::rendu()
{
    // The outline as painted on a view with antialiasing, against the same path painted in
    // one call with its pen and brush: a jagged skyline of 500 points (random heights with a
    // fixed seed) on a disc of 940. Only the edge may differ, by a few grey levels.
    const int diametre = 940;
    QVector<QPointF> points;
    QRandomGenerator alea(7);
    for (int k = 0; k < 500; ++k)
        points << QPointF(k < 250 ? -0.72 * k : 180 - 0.72 * (k - 250), alea.bounded(400) / 10.0);
    Scene scene;
    scene.setDiametre0(diametre);
    const Trace t = tracer(scene, points);
    QVERIFY2(t.masque, "no outline item was added");
    QVERIFY2(t.horizon, "no horizon circle was added");
    Scene fond;
    fond.setDiametre0(diametre);

    const QRectF source(-diametre / 2 - 10, -diametre / 2 - 10, diametre + 20, diametre + 20);
    QImage peint(source.size().toSize(), QImage::Format_ARGB32_Premultiplied);
    QImage attendu = peint;
    {
        QPainter p(&peint);
        p.setRenderHint(QPainter::Antialiasing);
        scene.render(&p, QRectF(peint.rect()), source);
    }
    {
        QPainter p(&attendu);
        p.setRenderHint(QPainter::Antialiasing);
        fond.render(&p, QRectF(attendu.rect()), source);
        p.translate(-source.topLeft());
        p.setPen(t.masque->pen());
        p.setBrush(t.masque->brush());
        p.drawPath(t.masque->path());
        p.setPen(t.horizon->pen());
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(t.horizon->rect());
    }
    // Antialiased edges are drawn differently, within this many grey levels of 255.
    const int ecart_bord = 40;
    int ecart_max = 0;
    int differents = 0;
    for (int y = 0; y < peint.height(); ++y)
        for (int x = 0; x < peint.width(); ++x) {
            const int d = std::abs(qGray(peint.pixel(x, y)) - qGray(attendu.pixel(x, y)));
            ecart_max = std::max(ecart_max, d);
            differents += d > 0 ? 1 : 0;
        }
    QVERIFY2(ecart_max <= ecart_bord,
             qPrintable(QStringLiteral("largest difference %1 grey levels over %2 pixels")
                            .arg(ecart_max)
                            .arg(differents)));
    // And the outline was painted at all: about half the disc is grey.
    int gris_peints = 0;
    for (int y = 0; y < peint.height(); ++y)
        for (int x = 0; x < peint.width(); ++x)
            gris_peints += peint.pixel(x, y) == gris.rgb() ? 1 : 0;
    QVERIFY2(gris_peints > peint.width() * peint.height() / 10,
             qPrintable(QStringLiteral("%1 grey pixels").arg(gris_peints)));
}
