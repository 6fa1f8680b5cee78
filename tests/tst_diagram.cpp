// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// The diagram scene: the sky disc as drawBackground paints it (recorded call by call), the
// sun courses with their labels and legend, the limit days and the hour lines.
#include "ciel/ciel.h"
#include "diagram/scene.h"
#include "export/export.h"
#include "solar/soleil_precis.h"
#include "tests/enregistreur.h"
#include "tests/svg.h"
#include "trace/diagramme.h"
#include "trace/lecture.h"

#include <QtTest>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetricsF>
#include <QGraphicsLineItem>
#include <QGraphicsPathItem>
#include <QGraphicsTextItem>
#include <QGraphicsView>
#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QXmlStreamReader>

#include <array>
#include <cmath>
#include <utility>

Q_DECLARE_METATYPE(Description_Diagramme)
Q_DECLARE_METATYPE(Type_Projection)
Q_DECLARE_METATYPE(Projection)

namespace
{
// The disc's geometry is cut to whole units toward zero after a binary floating-point
// computation: a value that is whole on paper (sin 180° · 270, 75/90 · 270) may come out a
// hair short of it and lose one unit.
constexpr double ecart_troncature = 1.0;
// Two coordinates each cut toward zero: a point may move by up to √2 units.
constexpr double ecart_point_tronque = 1.5;
// Positions computed from the same doubles in the same order agree to rounding.
constexpr double ecart_calcul = 1e-9;
// Positions derived by plane geometry from a drawn point, rather than through the solar model.
constexpr double ecart_geometrie = 1e-6;
// The disc of the window at its first size, scene units.
constexpr int diametre = 540;
// A point of the sky computed by another route than the drawing's lies this close to its line,
// pixels: the chord of a course between two samples bows this little from the sun's path.
constexpr double ecart_trace_px = 1.0;
// The read-out: the sky point within 0.1°, the time on a course within a minute.
constexpr double ecart_lecture_degres = 0.1;
constexpr double ecart_lecture_heures = 1.0 / 60;
constexpr double pi = 3.141592653589793;
// A direction projected and read back.
constexpr double ecart_aller_retour_degres = 1e-9;
// A course read back from an SVG's coordinates (six significant digits) lies on its day's
// declination within this, degrees.
constexpr double ecart_svg_degres = 0.05;

// The projections of the tests: a disc of 600 units, a chart of 1200 by 600 up to 90°.
Projection projection_essai(Type_Projection type, double latitude)
{
    return type == Type_Projection::Cylindrique
               ? Projection::cylindrique(QSizeF(1200, 600), latitude, 90.0)
               : Projection::polaire(type, 600);
}

// Difference of two azimuths, degrees, −180..180.
double ecart_azimut(double a, double b)
{
    return std::remainder(a - b, 360.0);
}

struct Fond {
    QVector<EllipseEnregistree> ellipses;
    QVector<TraitEnregistre> traits;
    QVector<TexteEnregistre> textes;
};

Fond peindre(Scene &scene)
{
    DispositifEnregistreur dispositif;
    {
        QPainter peintre(&dispositif);
        scene.drawBackground(&peintre, QRectF(-1000, -1000, 2000, 2000));
    }
    return {dispositif.moteur.ellipses, dispositif.moteur.traits, dispositif.moteur.textes};
}

// Commits display options the way a user does: the widgets of the dialog, then "OK".
void valider_options(Scene &scene, int hauteur, int azimut, int opacite, bool graduations)
{
    scene.options.findChild<QSpinBox *>("spinBox_pas_hauteur")->setValue(hauteur);
    scene.options.findChild<QSpinBox *>("spinBox_pas_azimut")->setValue(azimut);
    scene.options.findChild<QSpinBox *>("spinBox_opacite")->setValue(opacite);
    scene.options.findChild<QCheckBox *>("checkBox_affichage_graduations")->setChecked(graduations);
    scene.options.findChild<QAbstractButton *>("bouton_OK")->click();
}

bool est_cardinal(const QString &texte)
{
    return texte == "NORD" || texte == "SUD" || texte == "EST" || texte == "OUEST";
}

bool est_axe_principal(const QString &texte)
{
    return texte == "0" || texte == "-90" || texte == "180" || texte == "90";
}

QString point(const QPointF &p)
{
    return QStringLiteral("(%1, %2)").arg(p.x(), 0, 'g', 10).arg(p.y(), 0, 'g', 10);
}

bool proches(const QPointF &a, const QPointF &b, double ecart)
{
    return std::fabs(a.x() - b.x()) <= ecart && std::fabs(a.y() - b.y()) <= ecart;
}

template <typename T> QList<T *> objets(QGraphicsScene &scene)
{
    QList<T *> liste;
    const auto items = scene.items(Qt::AscendingOrder);
    for (QGraphicsItem *item : items) {
        if (auto *t = qgraphicsitem_cast<T *>(item))
            liste.append(t);
    }
    return liste;
}

// The path of the scene's one path item; an empty path when there is none or several.
QPainterPath seul_chemin(QGraphicsScene &scene)
{
    const auto chemins = objets<QGraphicsPathItem>(scene);
    return chemins.size() == 1 ? chemins.first()->path() : QPainterPath();
}

QStringList textes_des_items(QGraphicsScene &scene)
{
    QStringList textes;
    for (auto *t : objets<QGraphicsTextItem>(scene))
        textes << t->toPlainText();
    return textes;
}

// The disc painted anew as vectors over the scene rectangle, into an image of `echelle` device
// pixels per scene unit at the view's resolution, with its render hints.
QImage disque_vectoriel(Scene &scene, qreal echelle, const QGraphicsView &vue)
{
    const QRectF rectangle = scene.sceneRect();
    QImage image((rectangle.size() * echelle).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(echelle);
    // Dots per metre from dots per inch: 1 inch is 0.0254 m.
    image.setDotsPerMeterX(qRound(vue.logicalDpiX() / 0.0254));
    image.setDotsPerMeterY(qRound(vue.logicalDpiY() / 0.0254));
    QPainter peintre(&image);
    peintre.setRenderHints(vue.renderHints());
    peintre.translate(-rectangle.topLeft());
    scene.dessiner_disque(&peintre, rectangle);
    return image;
}

// What the view's viewport shows, painted by its own paint event at `echelle`.
QImage vue_affichee(QGraphicsView &vue, qreal echelle)
{
    QImage image(vue.viewport()->size() * echelle, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(echelle);
    image.fill(Qt::black);
    vue.viewport()->render(&image);
    return image;
}

// Every item of the scene with all that its painting and its place depend on, sorted: once an
// item has left a scene the toolkit lists its items in no set order (the pixels of the test
// below check the stacking).
QStringList signatures(QGraphicsScene &scene)
{
    QStringList liste;
    for (QGraphicsItem *item : scene.items(Qt::AscendingOrder)) {
        QString s;
        QDebug(&s) << item->type() << item->pos() << item->zValue() << item->isVisible()
                   << item->sceneBoundingRect();
        if (auto *t = qgraphicsitem_cast<QGraphicsTextItem *>(item))
            QDebug(&s) << t->toPlainText() << t->font().toString() << t->defaultTextColor();
        if (auto *c = qgraphicsitem_cast<QGraphicsPathItem *>(item))
            QDebug(&s) << c->path() << c->pen() << c->brush();
        liste << s;
    }
    liste.sort();
    return liste;
}

} // namespace

class TestScene : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void cercles_data();
    void cercles();
    void etiquettesHauteur_data();
    void etiquettesHauteur();
    void axesPrincipaux();
    void graduationsAzimut_data();
    void graduationsAzimut();
    void graduationsMasquees();
    void graduationsEnCaps_data();
    void graduationsEnCaps();
    void etiquettesHauteurSeparees_data();
    void etiquettesHauteurSeparees();
    void opacites_data();
    void opacites();
    void etiquettesCardinales_data();
    void etiquettesCardinales();
    void optionsValidees();

    void echantillons_data();
    void echantillons();
    void jourPolaire();
    void horizon_data();
    void horizon();
    void nuitPolaire_data();
    void nuitPolaire();
    void legende_data();
    void legende();
    void etiquetteCourbe_data();
    void etiquetteCourbe();

    void joursLimites_data();
    void joursLimites();
    void joursLimitesConserves();

    void heuresTracees_data();
    void heuresTracees();
    void joursVisites_data();
    void joursVisites();
    void heureSousHorizon_data();
    void heureSousHorizon();
    void etiquettesHeures_data();
    void etiquettesHeures();

    void rendu();

    void description_data();
    void description();
    void tailleDeLaVue_data();
    void tailleDeLaVue();
    void disqueAffiche_data();
    void disqueAffiche();
    void vueRepeinte_data();
    void vueRepeinte();
    void heuresLegalesCroisentLesCourses_data();
    void heuresLegalesCroisentLesCourses();
    void lectureSousLePointeur_data();
    void lectureSousLePointeur();
    void soleilAuPassage_data();
    void soleilAuPassage();
    void legendeEchelle_data();
    void legendeEchelle();

    void projection_data();
    void projection();
    void projectionAllerRetour_data();
    void projectionAllerRetour();
    void projectionSvgSurLaDeclinaison_data();
    void projectionSvgSurLaDeclinaison();
};

void TestScene::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
}

// ---- Background ---------------------------------------------------------------------------

void TestScene::cercles_data()
{
    QTest::addColumn<int>("d");
    QTest::addColumn<int>("pasHauteur");
    QTest::addColumn<int>("nombre");
    QTest::addColumn<QRect>("premier");
    QTest::addColumn<QRect>("dernier");

    // Circle i: step s = D / (90 / Ph), corner -(D/2) + i·s/2, side D - i·s, while the side
    // stays positive.
    QTest::newRow("540, height step 10: nine circles")
        << 540 << 10 << 9 << QRect(-270, -270, 540, 540) << QRect(-30, -30, 60, 60);
    // s = 90: sides 540, 450, ..., 90.
    QTest::newRow("540, height step 15: six circles")
        << 540 << 15 << 6 << QRect(-270, -270, 540, 540) << QRect(-45, -45, 90, 90);
    // s = 30: the 85° circle is the last, side 30.
    QTest::newRow("540, height step 5: eighteen circles")
        << 540 << 5 << 18 << QRect(-270, -270, 540, 540) << QRect(-15, -15, 30, 30);
    // s = 42: the 84° circle, side 540 - 12·42 = 36 (the next side would be -6).
    QTest::newRow("540, height step 7: thirteen circles")
        << 540 << 7 << 13 << QRect(-270, -270, 540, 540) << QRect(-18, -18, 36, 36);
    // D/2 = 270 for 541; s = 60.11: the last corner -29.56 and side 60.11 cut toward zero.
    // After nine steps of 541/9 the side is zero on paper; binary rounding may leave a hair
    // of it, drawn as an empty rectangle: only the circles with a side count.
    QTest::newRow("541, odd diameter cut toward zero")
        << 541 << 10 << 9 << QRect(-270, -270, 541, 541) << QRect(-29, -29, 60, 60);
    QTest::newRow("zero diameter: no circle") << 0 << 10 << 0 << QRect() << QRect();
}

void TestScene::cercles()
{
    QFETCH(int, d);
    QFETCH(int, pasHauteur);
    QFETCH(int, nombre);
    QFETCH(QRect, premier);
    QFETCH(QRect, dernier);

    Scene scene;
    scene.setDiametre0(d);
    valider_options(scene, pasHauteur, 10, 70, true);
    QVector<EllipseEnregistree> cercles;
    for (const auto &e : peindre(scene).ellipses) {
        if (e.rectangle.width() > 0)
            cercles << e;
    }

    QCOMPARE(cercles.size(), nombre);
    if (nombre == 0)
        return;
    QCOMPARE(cercles.first().rectangle, premier);
    QCOMPARE(cercles.last().rectangle, dernier);
    for (const auto &e : cercles) {
        // Every circle is centred on the zenith.
        QVERIFY2(e.rectangle.x() == e.rectangle.y() && e.rectangle.width() == e.rectangle.height(),
                 qPrintable(QStringLiteral("circle not centred: %1, %2, %3, %4")
                                .arg(e.rectangle.x())
                                .arg(e.rectangle.y())
                                .arg(e.rectangle.width())
                                .arg(e.rectangle.height())));
    }
}

void TestScene::etiquettesHauteur_data()
{
    QTest::addColumn<int>("pasHauteur");
    QTest::addColumn<QStringList>("textes");
    QTest::addColumn<QList<int>>("ordonnees");
    QTest::addColumn<double>("ecart");

    // y = trunc(-270 · (1 - v/90) - 5), the label just above the top of the circle of v.
    QTest::newRow("height step 10: 10 to 90")
        << 10 << QStringList{"10", "20", "30", "40", "50", "60", "70", "80", "90"}
        << QList<int>{-245, -215, -185, -155, -125, -95, -65, -35, -5} << 0.0;
    QTest::newRow("height step 15: 15 to 90")
        << 15 << QStringList{"15", "30", "45", "60", "75", "90"}
        << QList<int>{-230, -185, -140, -95, -50, -5} << ecart_troncature;
    // 90 is not a multiple of 7: no label at the zenith. y = -275 + 21·k.
    QTest::newRow("height step 7: no 90")
        << 7 << QStringList{"7", "14", "21", "28", "35", "42", "49", "56", "63", "70", "77", "84"}
        << QList<int>{-254, -233, -212, -191, -170, -149, -128, -107, -86, -65, -44, -23}
        << ecart_troncature;
}

void TestScene::etiquettesHauteur()
{
    QFETCH(int, pasHauteur);
    QFETCH(QStringList, textes);
    QFETCH(QList<int>, ordonnees);
    QFETCH(double, ecart);

    Scene scene;
    scene.setDiametre0(diametre);
    valider_options(scene, pasHauteur, 10, 70, true);
    const Fond fond = peindre(scene);

    // The altitude labels are the ones on the vertical axis at x = -10.
    QStringList lus;
    QList<double> y;
    for (const auto &t : fond.textes) {
        if (t.position.x() == -10.0) {
            lus << t.texte;
            y << t.position.y();
        }
    }
    QCOMPARE(lus, textes);
    for (int i = 0; i < y.size(); ++i)
        QVERIFY2(std::fabs(y[i] - ordonnees[i]) <= ecart,
                 qPrintable(QStringLiteral("label %1: expected y %2, got %3")
                                .arg(textes[i])
                                .arg(ordonnees[i])
                                .arg(y[i])));
}

void TestScene::axesPrincipaux()
{
    Scene scene;
    scene.setDiametre0(diametre);
    const Fond fond = peindre(scene);

    // The four axes from the zenith to the horizon (D/2 = 270), in the order 0, 90, 180, 270.
    const QVector<QPointF> bouts{{0, -270}, {-270, 0}, {0, 270}, {270, 0}};
    QVector<QLineF> axes;
    for (const auto &t : fond.traits) {
        if (t.ligne.p1() == QPointF(0, 0))
            axes << t.ligne;
    }
    QCOMPARE(axes.size(), 4);
    for (int i = 0; i < 4; ++i)
        QVERIFY2(proches(axes[i].p2(), bouts[i], ecart_troncature),
                 qPrintable(QStringLiteral("axis %1: expected end %2, got %3")
                                .arg(i)
                                .arg(point(bouts[i]), point(axes[i].p2()))));

    // Labels at R = 285 from the centre, shifted by (-8, +5): north 0 at (-8, -280), east -90
    // at (277, 5), south 180 at (-8, 290), west 90 at (-293, 5).
    const QStringList textes{"0", "-90", "180", "90"};
    const QVector<QPointF> positions{{-8, -280}, {277, 5}, {-8, 290}, {-293, 5}};
    QStringList lus;
    // The altitude label "90" stands on the vertical axis at x = -10: not one of these.
    for (const auto &t : fond.textes) {
        if (est_axe_principal(t.texte) && t.position.x() != -10.0)
            lus << t.texte;
    }
    QCOMPARE(lus, textes);
    for (const auto &t : fond.textes) {
        const int i = textes.indexOf(t.texte);
        if (i < 0 || t.position.x() == -10.0)
            continue;
        QVERIFY2(proches(t.position, positions[i], ecart_troncature),
                 qPrintable(QStringLiteral("label %1: expected %2, got %3")
                                .arg(t.texte, point(positions[i]), point(t.position))));
    }
}

void TestScene::graduationsAzimut_data()
{
    QTest::addColumn<int>("pasHauteur");
    QTest::addColumn<int>("pasAzimut");
    QTest::addColumn<QStringList>("est");
    QTest::addColumn<QStringList>("ouest");
    QTest::addColumn<double>("rayonInterieur");

    const auto serie = [](int debut, int pas, int fin, int sauf) {
        QStringList l;
        for (int a = debut; a != fin; a += pas) {
            if (a != sauf)
                l << QString::number(a);
        }
        return l;
    };
    // Inner radius (1 - k·Ph/90) · 270 with k·Ph the highest circle below the zenith.
    QTest::newRow("azimuth step 10: sixteen ticks a side, none at 90")
        << 10 << 10 << serie(-10, -10, -180, -90) << serie(10, 10, 180, 90) << 30.0;
    QTest::newRow("azimuth step 7: -7 to -175, none skipped")
        << 10 << 7 << serie(-7, -7, -182, 0) << serie(7, 7, 182, 0) << 30.0;
    QTest::newRow("azimuth step 30") << 10 << 30 << QStringList{"-30", "-60", "-120", "-150"}
                                     << QStringList{"30", "60", "120", "150"} << 30.0;
    QTest::newRow("azimuth step 5: the finest")
        << 10 << 5 << serie(-5, -5, -180, -90) << serie(5, 5, 180, 90) << 30.0;
    // k = 12, the 84° circle: (1 - 84/90) · 270 = 18.
    QTest::newRow("height step 7: ticks from the 84 degree circle")
        << 7 << 10 << serie(-10, -10, -180, -90) << serie(10, 10, 180, 90) << 18.0;
    // k = 5, the 75° circle: 45.
    QTest::newRow("height step 15: ticks from the 75 degree circle")
        << 15 << 10 << serie(-10, -10, -180, -90) << serie(10, 10, 180, 90) << 45.0;
    // k = 17, the 85° circle: 15.
    QTest::newRow("height step 5: ticks from the 85 degree circle")
        << 5 << 10 << serie(-10, -10, -180, -90) << serie(10, 10, 180, 90) << 15.0;
}

void TestScene::graduationsAzimut()
{
    QFETCH(int, pasHauteur);
    QFETCH(int, pasAzimut);
    QFETCH(QStringList, est);
    QFETCH(QStringList, ouest);
    QFETCH(double, rayonInterieur);

    Scene scene;
    scene.setDiametre0(diametre);
    valider_options(scene, pasHauteur, pasAzimut, 70, true);
    const Fond fond = peindre(scene);

    QVector<QLineF> traits;
    for (const auto &t : fond.traits) {
        if (t.ligne.p1() != QPointF(0, 0))
            traits << t.ligne;
    }
    QStringList etiquettes;
    QVector<QPointF> positions;
    for (const auto &t : fond.textes) {
        if (t.position.x() != -10.0 && !est_axe_principal(t.texte) && !est_cardinal(t.texte)) {
            etiquettes << t.texte;
            positions << t.position;
        }
    }
    QCOMPARE(etiquettes, est + ouest);
    QCOMPARE(traits.size(), etiquettes.size());

    for (int i = 0; i < traits.size(); ++i) {
        // Azimut a lies at (-sin a, -cos a) · r: east (negative a) on the right.
        const double a = etiquettes[i].toDouble() * pi / 180.0;
        const QPointF direction(-std::sin(a), -std::cos(a));
        const QPointF interieur = direction * rayonInterieur;
        const QPointF exterieur = direction * (diametre / 2.0);
        QVERIFY2(proches(traits[i].p1(), interieur, ecart_point_tronque),
                 qPrintable(QStringLiteral("tick %1: expected start %2, got %3")
                                .arg(etiquettes[i], point(interieur), point(traits[i].p1()))));
        QVERIFY2(proches(traits[i].p2(), exterieur, ecart_point_tronque),
                 qPrintable(QStringLiteral("tick %1: expected end %2, got %3")
                                .arg(etiquettes[i], point(exterieur), point(traits[i].p2()))));
        // Its label 15 units outside the horizon circle, shifted by (-8, +5).
        const QPointF texte = direction * (diametre / 2.0 + 15.0) + QPointF(-8, 5);
        QVERIFY2(proches(positions[i], texte, ecart_point_tronque),
                 qPrintable(QStringLiteral("label %1: expected %2, got %3")
                                .arg(etiquettes[i], point(texte), point(positions[i]))));
    }
}

void TestScene::graduationsEnCaps_data()
{
    QTest::addColumn<Projection>("projection");

    QTest::newRow("disc") << Projection::polaire(Type_Projection::Equidistante, diametre);
    QTest::newRow("stereographic disc")
        << Projection::polaire(Type_Projection::Stereographique, diametre);
    QTest::newRow("chart of the north, centred south")
        << projection_essai(Type_Projection::Cylindrique, 45);
    QTest::newRow("chart of the south, centred north")
        << projection_essai(Type_Projection::Cylindrique, -30);
}

void TestScene::graduationsEnCaps()
{
    // With "caps" chosen in the dialog, every azimuth label reads the compass bearing of the
    // direction it stands at: clockwise from north, 0..359. Its anchor (the disc's labels stand
    // 8 units left of and 5 below their direction, the chart's centred on their line, under the
    // horizon) read back through the projection.
    QFETCH(Projection, projection);
    Scene scene;
    scene.setDiametre0(diametre);
    scene.setProjection(projection);
    auto *graduations = scene.options.findChild<QComboBox *>("combo_graduations");
    QVERIFY(graduations);
    graduations->setCurrentIndex(1);
    QCOMPARE(graduations->currentText(), QStringLiteral("caps (0–360°)"));
    valider_options(scene, 10, 30, 70, true);
    const Fond fond = peindre(scene);
    const bool polaire = projection.est_polaire();
    int lues = 0;
    for (const auto &t : fond.textes) {
        if (est_cardinal(t.texte))
            continue;
        QPointF ancre;
        if (polaire) {
            if (t.position.x() == -10.0) // heights
                continue;
            ancre = t.position + QPointF(8, -5);
        } else {
            if (t.position.y() != projection.y_hauteur(0) + 14.0)
                continue;
            ancre = QPointF(t.position.x() + 3.0 * t.texte.size(), projection.y_hauteur(0) - 1);
        }
        const Soleil::Point_Ciel ciel = projection.direction(ancre);
        // Clockwise from north: the table's azimuth is counted the other way round.
        const double cap = std::fmod(360.0 - ciel.azimut, 360.0);
        bool nombre = false;
        const int lu = t.texte.toInt(&nombre);
        QVERIFY2(nombre && lu >= 0 && lu < 360, qPrintable(t.texte));
        QVERIFY2(std::abs(std::remainder(lu - cap, 360.0)) < 1.0,
                 qPrintable(QStringLiteral("label %1 stands at bearing %2").arg(t.texte).arg(cap)));
        ++lues;
    }
    QVERIFY2(lues >= 4, qPrintable(QString::number(lues)));
}

void TestScene::etiquettesHauteurSeparees_data()
{
    QTest::addColumn<Projection>("projection");
    QTest::addColumn<int>("pasHauteur");

    // The disc of a window at 1600 × 900 at twice the scale, and smaller: the labels' type keeps
    // its size while the circles come closer.
    for (const auto &[d, pas] : {std::pair{240, 5}, {160, 10}, {100, 5}})
        QTest::addRow("disc of %d, step %d", d, pas)
            << Projection::polaire(Type_Projection::Equidistante, d) << pas;
    QTest::newRow("stereographic disc of 160, step 5")
        << Projection::polaire(Type_Projection::Stereographique, 160) << 5;
    QTest::newRow("chart 100 high, step 5")
        << Projection::cylindrique(QSizeF(400, 100), 45, 90) << 5;
}

void TestScene::etiquettesHauteurSeparees()
{
    // The height labels as painted, each in its font's box: no two touch.
    QFETCH(Projection, projection);
    QFETCH(int, pasHauteur);
    Scene scene;
    scene.setDiametre0(projection.diametre());
    scene.setProjection(projection);
    valider_options(scene, pasHauteur, 10, 70, true);
    const Fond fond = peindre(scene);
    const double x = projection.est_polaire() ? -10.0 : projection.cadre().left() - 22.0;
    QVector<QRectF> boites;
    for (const auto &t : fond.textes) {
        if (t.position.x() != x)
            continue;
        const QFontMetricsF mesure(t.police);
        boites << QRectF(t.position.x(), t.position.y() - mesure.ascent(),
                         mesure.horizontalAdvance(t.texte), mesure.height());
    }
    QVERIFY2(boites.size() >= 2, qPrintable(QString::number(boites.size())));
    for (int i = 0; i < boites.size(); ++i)
        for (int j = i + 1; j < boites.size(); ++j)
            QVERIFY2(!boites[i].intersects(boites[j]),
                     qPrintable(QStringLiteral("labels %1 and %2 touch").arg(i).arg(j)));
}

void TestScene::graduationsMasquees()
{
    Scene scene;
    scene.setDiametre0(diametre);
    valider_options(scene, 10, 10, 70, false);
    QVERIFY(!scene.options.graduations_affichees());
    const Fond fond = peindre(scene);

    QStringList textes;
    for (const auto &t : fond.textes)
        textes << t.texte;
    // Only the four main labels and the cardinal points remain.
    QCOMPARE(textes, (QStringList{"0", "-90", "180", "90", "NORD", "SUD", "EST", "OUEST"}));
    // The circles, the four axes and the 2 × 16 ticks are still drawn.
    QCOMPARE(fond.ellipses.size(), 9);
    QCOMPARE(fond.traits.size(), 4 + 32);
}

void TestScene::opacites_data()
{
    QTest::addColumn<int>("opacite");
    QTest::addColumn<double>("disque");
    QTest::addColumn<double>("cardinaux");

    // The disc at O/100, the cardinal points 0.3 more, clamped at 1.
    QTest::newRow("default 70: disc 0.7, cardinal points opaque") << 70 << 0.7 << 1.0;
    QTest::newRow("100: cardinal points clamped from 1.3") << 100 << 1.0 << 1.0;
    QTest::newRow("50: cardinal points at 0.8") << 50 << 0.5 << 0.8;
    QTest::newRow("10: cardinal points at 0.4") << 10 << 0.1 << 0.4;
}

void TestScene::opacites()
{
    QFETCH(int, opacite);
    QFETCH(double, disque);
    QFETCH(double, cardinaux);

    Scene scene;
    scene.setDiametre0(diametre);
    valider_options(scene, 10, 10, opacite, true);
    const Fond fond = peindre(scene);

    QVERIFY(!fond.ellipses.isEmpty());
    for (const auto &e : fond.ellipses)
        QCOMPARE(e.opacite, disque);
    for (const auto &t : fond.traits)
        QCOMPARE(t.opacite, disque);
    int nb_cardinaux = 0;
    for (const auto &t : fond.textes) {
        if (est_cardinal(t.texte)) {
            ++nb_cardinaux;
            QCOMPARE(t.opacite, cardinaux);
            QCOMPARE(t.police.family(), QStringLiteral("Courier"));
            QCOMPARE(t.police.pointSize(), 15);
            QCOMPARE(t.police.weight(), 75);
            QVERIFY(!t.police.italic());
        } else {
            QCOMPARE(t.opacite, disque);
            QCOMPARE(t.police.family(), QStringLiteral("Courier"));
            QCOMPARE(t.police.pointSize(), 7);
            QCOMPARE(t.police.weight(), static_cast<int>(QFont::Normal));
        }
    }
    QCOMPARE(nb_cardinaux, 4);
}

void TestScene::etiquettesCardinales_data()
{
    QTest::addColumn<int>("d");
    QTest::addColumn<QPointF>("nord");
    QTest::addColumn<QPointF>("sud");
    QTest::addColumn<QPointF>("est");
    QTest::addColumn<QPointF>("ouest");

    // NORD (-23, -D/2 - 24), SUD (-19, D/2 + 36), EST (D/2 + 40, 7), OUEST (-D/2 - 100, 7).
    QTest::newRow("540") << 540 << QPointF(-23, -294) << QPointF(-19, 306) << QPointF(310, 7)
                         << QPointF(-370, 7);
    QTest::newRow("561, half cut to 280")
        << 561 << QPointF(-23, -304) << QPointF(-19, 316) << QPointF(320, 7) << QPointF(-380, 7);
}

void TestScene::etiquettesCardinales()
{
    QFETCH(int, d);
    QFETCH(QPointF, nord);
    QFETCH(QPointF, sud);
    QFETCH(QPointF, est);
    QFETCH(QPointF, ouest);

    Scene scene;
    scene.setDiametre0(d);
    const Fond fond = peindre(scene);
    QMap<QString, QPointF> lus;
    for (const auto &t : fond.textes) {
        if (est_cardinal(t.texte))
            lus.insert(t.texte, t.position);
    }
    QCOMPARE(lus.value("NORD"), nord);
    QCOMPARE(lus.value("SUD"), sud);
    QCOMPARE(lus.value("EST"), est);
    QCOMPARE(lus.value("OUEST"), ouest);
}

void TestScene::optionsValidees()
{
    Scene scene;
    scene.setDiametre0(diametre);
    QCOMPARE(peindre(scene).ellipses.size(), 9);

    // Edited but not committed: the disc does not change.
    scene.options.findChild<QSpinBox *>("spinBox_pas_hauteur")->setValue(15);
    scene.options.findChild<QSpinBox *>("spinBox_opacite")->setValue(20);
    scene.options.findChild<QCheckBox *>("checkBox_affichage_graduations")->setChecked(false);
    Fond fond = peindre(scene);
    QCOMPARE(fond.ellipses.size(), 9);
    QCOMPARE(fond.ellipses.first().opacite, 0.7);
    QCOMPARE(fond.textes.size(), 9 + 4 + 32 + 4);

    // "OK": the next repaint uses the new values, with nothing else to do.
    scene.options.findChild<QAbstractButton *>("bouton_OK")->click();
    fond = peindre(scene);
    QCOMPARE(fond.ellipses.size(), 6);
    QCOMPARE(fond.ellipses.first().opacite, 0.2);
    QCOMPARE(fond.textes.size(), 4 + 4);
}

// ---- Sun courses --------------------------------------------------------------------------

void TestScene::echantillons_data()
{
    QTest::addColumn<double>("latitude");
    QTest::addColumn<int>("jour");
    QTest::addColumn<double>("lever");
    QTest::addColumn<double>("coucher");
    QTest::addColumn<int>("points");

    // From 8 h to 16 h near the summer solstice of each hemisphere the sun stays up, so
    // every sample is drawn: one move-to and n line-tos.
    QTest::newRow("latitude 0: 45 samples") << 0.0 << 172 << 8.0 << 16.0 << 45;
    QTest::newRow("latitude 45: 45 samples") << 45.0 << 172 << 8.0 << 16.0 << 45;
    QTest::newRow("latitude 66.54: 45 samples") << 66.54 << 172 << 8.0 << 16.0 << 45;
    QTest::newRow("latitude 66.55: 80 samples") << 66.55 << 172 << 8.0 << 16.0 << 80;
    QTest::newRow("latitude 66.56: 80 samples") << 66.56 << 172 << 8.0 << 16.0 << 80;
    QTest::newRow("latitude -66.54: 45 samples") << -66.54 << 356 << 8.0 << 16.0 << 45;
    QTest::newRow("latitude -66.55: 80 samples") << -66.55 << 356 << 8.0 << 16.0 << 80;
    QTest::newRow("latitude 90: 80 samples") << 90.0 << 172 << 0.0 << 24.0 << 80;
}

void TestScene::echantillons()
{
    QFETCH(double, latitude);
    QFETCH(int, jour);
    QFETCH(double, lever);
    QFETCH(double, coucher);
    QFETCH(int, points);

    Scene scene;
    scene.setDiametre0(diametre);
    QGraphicsTextItem *date = scene.addText("21 juin");
    QVERIFY(scene.tracer_course_soleil(jour, latitude, lever, coucher, QPen(Qt::red), QBrush(),
                                       QPainterPath(), date, false, 0));

    const auto chemins = objets<QGraphicsPathItem>(scene);
    QCOMPARE(chemins.size(), 1);
    const QPainterPath chemin = chemins.first()->path();
    QCOMPARE(chemin.elementCount(), points);
    QVERIFY(chemin.elementAt(0).isMoveTo());
    for (int i = 1; i < chemin.elementCount(); ++i)
        QVERIFY2(chemin.elementAt(i).isLineTo(), qPrintable(QStringLiteral("element %1").arg(i)));
}

void TestScene::jourPolaire()
{
    // Latitude 80 in June: the sun never sets (Soleil gives sunrise 0 and sunset 24), so the
    // course runs from midnight to midnight, both in the north. The azimuth is taken at the
    // altitude cut to three decimals, so it is a hair off due north, east of it at 0 h (hour
    // angle -180) and west of it at 24 h: the two ends mirror each other across the axis.
    Scene scene;
    scene.setDiametre0(diametre);
    const Soleil soleil;
    const double lever = soleil.heure_lever(172, 80.0);
    const double coucher = soleil.heure_coucher(172, 80.0);
    QCOMPARE(lever, 0.0);
    QCOMPARE(coucher, 24.0);
    QGraphicsTextItem *date = scene.addText("21 juin");
    QVERIFY(scene.tracer_course_soleil(172, 80.0, lever, coucher, QPen(Qt::red), QBrush(),
                                       QPainterPath(), date, false, 0));

    const QPainterPath chemin = seul_chemin(scene);
    QCOMPARE(chemin.elementCount(), 80);
    const QPointF debut = chemin.elementAt(0);
    const QPointF fin = chemin.elementAt(79);
    QVERIFY2(proches(debut, QPointF(-fin.x(), fin.y()), ecart_calcul),
             qPrintable(point(debut) + " does not mirror " + point(fin)));
    // Midnight altitude δ - 10 = 13.4°: the point lies north, inside the disc, at
    // y = -(1 - 13.4/90) · 270 = -229.7.
    QVERIFY2(debut.x() > 0 && debut.x() < ecart_troncature && std::fabs(debut.y() + 229.7) < 0.1,
             qPrintable(point(debut)));
}

void TestScene::horizon_data()
{
    QTest::addColumn<double>("lever");
    QTest::addColumn<int>("segments");

    // At the equator, at 6 h the hour angle is -90° and the altitude is asin(cos δ · cos 90°),
    // a few 1e-15 degrees: cut to three decimals it is exactly 0, on the horizon, and the
    // first segment is drawn. At 5.99999 h the altitude is about -0.00015°, cut to -0.001,
    // below: the first segment is not drawn. The other 43 segments start above.
    QTest::newRow("sunrise exactly on the horizon") << 6.0 << 44;
    QTest::newRow("sunrise a thousandth of a degree below") << 5.99999 << 43;
}

void TestScene::horizon()
{
    QFETCH(double, lever);
    QFETCH(int, segments);

    Scene scene;
    scene.setDiametre0(diametre);
    QGraphicsTextItem *date = scene.addText("21 mars");
    scene.tracer_course_soleil(80, 0.0, lever, 18.0, QPen(Qt::red), QBrush(), QPainterPath(), date,
                               false, 0);
    const QPainterPath chemin = seul_chemin(scene);
    int lignes = 0;
    for (int i = 0; i < chemin.elementCount(); ++i)
        lignes += chemin.elementAt(i).isLineTo() ? 1 : 0;
    QCOMPARE(lignes, segments);
}

void TestScene::nuitPolaire_data()
{
    QTest::addColumn<double>("latitude");
    QTest::addColumn<int>("jour");
    QTest::addColumn<bool>("droite");

    // Sunrise 0 and sunset 24 from Soleil, the sun below the horizon all day.
    QTest::newRow("latitude 80 in December, legend") << 80.0 << 356 << false;
    QTest::newRow("latitude 70 on 1 January, legend") << 70.0 << 1 << false;
    QTest::newRow("latitude -80 in June, legend") << -80.0 << 172 << false;
    QTest::newRow("latitude 80 in December, beside the curve") << 80.0 << 356 << true;
}

void TestScene::nuitPolaire()
{
    QFETCH(double, latitude);
    QFETCH(int, jour);
    QFETCH(bool, droite);

    Scene scene;
    scene.setDiametre0(diametre);
    scene.x_legende = -400;
    scene.y_legende = -300;
    const Soleil soleil;
    QCOMPARE(soleil.heure_lever(jour, latitude), 0.0);
    QCOMPARE(soleil.heure_coucher(jour, latitude), 24.0);

    QPointer<QGraphicsTextItem> date = scene.addText("21 déc.");
    const bool trace = scene.tracer_course_soleil(jour, latitude, 0.0, 24.0, QPen(Qt::red),
                                                  QBrush(), QPainterPath(), date, droite, 3);
    QVERIFY(!trace);
    // The empty path is added all the same.
    const auto chemins = objets<QGraphicsPathItem>(scene);
    QCOMPARE(chemins.size(), 1);
    QVERIFY(chemins.first()->path().isEmpty());
    QVERIFY(date);
    QCOMPARE(date->scene(), &scene);
    // In the legend the date keeps its row 3: its stroke, and its label at the stroke's end.
    QCOMPARE(objets<QGraphicsLineItem>(scene).size(), droite ? 0 : 1);
    if (!droite)
        QCOMPARE(date->pos(), QPointF(-390, -270));
}

void TestScene::legende_data()
{
    QTest::addColumn<int>("rang");
    QTest::addColumn<QPointF>("origine");
    QTest::addColumn<QLineF>("trait");
    QTest::addColumn<QPointF>("etiquette");

    // Row k: a 10-unit stroke at y0 + 15k, the label at its right end, one row higher.
    QTest::newRow("row 2 at (-400, -300)")
        << 2 << QPointF(-400, -300) << QLineF(-400, -270, -390, -270) << QPointF(-390, -285);
    QTest::newRow("row 0 at (-440, -335)")
        << 0 << QPointF(-440, -335) << QLineF(-440, -335, -430, -335) << QPointF(-430, -350);
    QTest::newRow("row 12 at (-400, -300)")
        << 12 << QPointF(-400, -300) << QLineF(-400, -120, -390, -120) << QPointF(-390, -135);
}

void TestScene::legende()
{
    QFETCH(int, rang);
    QFETCH(QPointF, origine);
    QFETCH(QLineF, trait);
    QFETCH(QPointF, etiquette);

    Scene scene;
    scene.setDiametre0(diametre);
    scene.x_legende = origine.x();
    scene.y_legende = origine.y();
    QGraphicsTextItem *date = scene.addText("21 juin");
    const QPen stylo(QColor(228, 152, 0), 2, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
    QVERIFY(scene.tracer_course_soleil(172, 45.0, 4.30, 19.71, stylo, QBrush(), QPainterPath(),
                                       date, false, rang));

    const auto lignes = objets<QGraphicsLineItem>(scene);
    QCOMPARE(lignes.size(), 1);
    QCOMPARE(lignes.first()->line(), trait);
    QCOMPARE(lignes.first()->pen(), stylo);
    const auto chemins = objets<QGraphicsPathItem>(scene);
    QCOMPARE(chemins.size(), 1);
    QCOMPARE(chemins.first()->pen(), stylo);
    QCOMPARE(date->pos(), etiquette);
}

void TestScene::etiquetteCourbe_data()
{
    QTest::addColumn<double>("latitude");
    QTest::addColumn<int>("jour");
    QTest::addColumn<int>("jour1");
    QTest::addColumn<int>("jour2");
    QTest::addColumn<bool>("leverAuNord"); // sunrise point above the centre (y0 < 0)
    QTest::addColumn<bool>("deplacee");
    QTest::addColumn<QPointF>("decalage"); // label = (x0, y0 · facteur) + decalage
    QTest::addColumn<double>("facteur");

    // Latitude 45: sunrise in the north-east in June, in the south-east in December.
    QTest::newRow("45 June: 40 right, y scaled by 1.15")
        << 45.0 << 172 << 173 << 356 << true << true << QPointF(40, 0) << 1.15;
    QTest::newRow("45 December: 40 right")
        << 45.0 << 356 << 173 << 356 << false << true << QPointF(40, 0) << 1.0;
    QTest::newRow("-45 June: sunrise in the north-east")
        << -45.0 << 172 << 173 << 356 << true << true << QPointF(40, 0) << 1.15;
    // Latitude 70 (limit days 23, 173, 323): the June course starts at midnight in the north;
    // the 23 January course rises just east of south.
    QTest::newRow("70 second limit day, midnight sun")
        << 70.0 << 173 << 23 << 173 << true << true << QPointF(20, 30) << 1.0;
    QTest::newRow("70 first limit day, sunrise in the south")
        << 70.0 << 23 << 23 << 173 << false << true << QPointF(0, 10) << 1.0;
    QTest::newRow("70 first limit day with the sun up at midnight")
        << 70.0 << 173 << 173 << 356 << true << true << QPointF(40, -40) << 1.0;
    QTest::newRow("70 second limit day rising in the south")
        << 70.0 << 23 << 1 << 23 << false << true << QPointF(40, 10) << 1.0;
    QTest::newRow("70 both limit days the same: the second one's rule")
        << 70.0 << 173 << 173 << 173 << true << true << QPointF(20, 30) << 1.0;
    QTest::newRow("70 not a limit day: label left where it was")
        << 70.0 << 100 << 23 << 173 << true << false << QPointF() << 1.0;
    // Latitude -70 (limit days 141, 356, 205): the 141 course rises just east of north; the
    // December course starts at midnight in the south.
    QTest::newRow("-70 first limit day, sunrise in the north")
        << -70.0 << 141 << 141 << 356 << true << true << QPointF(40, 0) << 1.15;
    QTest::newRow("-70 second limit day, midnight sun")
        << -70.0 << 356 << 141 << 356 << false << true << QPointF(0, -50) << 1.0;
    QTest::newRow("-70 first limit day with the sun up at midnight")
        << -70.0 << 356 << 356 << 141 << false << true << QPointF(40, 10) << 1.0;
    QTest::newRow("-70 second limit day rising in the north")
        << -70.0 << 141 << 1 << 141 << true << true << QPointF(40, 0) << 1.15;
    QTest::newRow("-70 both limit days the same: the first one's rule")
        << -70.0 << 356 << 356 << 356 << false << true << QPointF(40, 10) << 1.0;
    QTest::newRow("-70 not a limit day: label left where it was")
        << -70.0 << 10 << 141 << 356 << false << false << QPointF() << 1.0;
    QTest::newRow("66.55 exactly: label left where it was")
        << 66.55 << 172 << 172 << 356 << true << false << QPointF() << 1.0;
    QTest::newRow("-66.55 exactly: label left where it was")
        << -66.55 << 356 << 172 << 356 << false << false << QPointF() << 1.0;
}

void TestScene::etiquetteCourbe()
{
    QFETCH(double, latitude);
    QFETCH(int, jour);
    QFETCH(int, jour1);
    QFETCH(int, jour2);
    QFETCH(bool, leverAuNord);
    QFETCH(bool, deplacee);
    QFETCH(QPointF, decalage);
    QFETCH(double, facteur);

    Scene scene;
    scene.setDiametre0(diametre);
    scene.jour1 = jour1;
    scene.jour2 = jour2;
    const Soleil soleil;
    QGraphicsTextItem *date = scene.addText("21 juin");
    const QPointF avant(-1234, 567);
    date->setPos(avant);
    scene.tracer_course_soleil(jour, latitude, soleil.heure_lever(jour, latitude),
                               soleil.heure_coucher(jour, latitude), QPen(Qt::red), QBrush(),
                               QPainterPath(), date, true, 0);

    const QPainterPath chemin = seul_chemin(scene);
    QVERIFY(chemin.elementCount() > 0);
    const QPointF p0 = chemin.elementAt(0);
    QVERIFY2((p0.y() < 0) == leverAuNord, qPrintable("sunrise point " + point(p0)));
    const QPointF attendu = deplacee ? QPointF(p0.x(), p0.y() * facteur) + decalage : avant;
    QVERIFY2(proches(date->pos(), attendu, ecart_calcul),
             qPrintable(QStringLiteral("sunrise %1: expected label %2, got %3")
                            .arg(point(p0), point(attendu), point(date->pos()))));
    QVERIFY(objets<QGraphicsLineItem>(scene).isEmpty());
}

// ---- Limit days ---------------------------------------------------------------------------

void TestScene::joursLimites_data()
{
    QTest::addColumn<double>("latitude");
    QTest::addColumn<int>("jour1");
    QTest::addColumn<int>("jour2");
    QTest::addColumn<int>("jour3");

    // -1 means "left as it was". Every limit day inside the polar circles is a solstice of
    // the declination -23.45 · sin(2π (N + 101) / 365.25): 173 (maximum) and 356 (minimum).
    QTest::newRow("equator, tropical band") << 0.0 << 173 << 356 << -1;
    QTest::newRow("10 north, tropical band") << 10.0 << 173 << 356 << -1;
    QTest::newRow("-23.44, tropical band") << -23.44 << 173 << 356 << -1;
    QTest::newRow("23.45, temperate band") << 23.45 << 173 << 356 << -1;
    QTest::newRow("45, temperate band") << 45.0 << 173 << 356 << -1;
    QTest::newRow("-45, temperate band") << -45.0 << 173 << 356 << -1;
    QTest::newRow("66.55, temperate band") << 66.55 << 173 << 356 << -1;
    QTest::newRow("-66.55, temperate band") << -66.55 << 173 << 356 << -1;
    // Beyond the polar circles: end of the polar night, solstice, start of the next one.
    QTest::newRow("70 north") << 70.0 << 23 << 173 << 323;
    QTest::newRow("80 north") << 80.0 << 57 << 173 << 289;
    QTest::newRow("-70 south") << -70.0 << 141 << 356 << 205;
    QTest::newRow("-80 south") << -80.0 << 107 << 356 << 239;
    // At the poles the noon altitude is ±δ: δ turns positive between days 81 and 82
    // ((N + 101) / 365.25 = 1/2 at N = 81.6) and negative between 264 and 265 (N = 264.25).
    QTest::newRow("north pole") << 90.0 << 82 << 173 << 264;
    QTest::newRow("south pole") << -90.0 << 81 << 356 << 265;
    // Just beyond the circle the sun is back at noon on day 358 and never reaches a later
    // maximum: only the first search succeeds.
    QTest::newRow("66.56, failed solstice search") << 66.56 << 358 << -1 << -1;
}

void TestScene::joursLimites()
{
    QFETCH(double, latitude);
    QFETCH(int, jour1);
    QFETCH(int, jour2);
    QFETCH(int, jour3);

    Scene scene;
    scene.jour1 = scene.jour2 = scene.jour3 = -1;
    scene.jour_soleil(latitude);
    QCOMPARE(scene.jour1, jour1);
    QCOMPARE(scene.jour2, jour2);
    QCOMPARE(scene.jour3, jour3);

    // Asking again gives the same days.
    scene.jour_soleil(latitude);
    QCOMPARE(scene.jour1, jour1);
    QCOMPARE(scene.jour2, jour2);
    QCOMPARE(scene.jour3, jour3);

    // The accurate sun's limit days, drawn from the noon heights the diagram computes only
    // where they may turn or meet the horizon, are those of every day's noon height (at noon
    // by the simple model's equation of time, as the diagram takes it).
    Description_Diagramme d;
    d.latitude = latitude;
    d.longitude = 7.5;
    d.modele = Modele_Soleil::precis;
    d.date_choisie = QDate(2026, 3, 1);
    d.limites = true;
    Scene precise;
    ajuster_scene(precise, d.taille);
    precise.jour1 = precise.jour2 = precise.jour3 = -1;
    dessiner_diagramme(precise, d);
    std::array<double, 367> midi{};
    const double minuit = QDateTime(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC).toSecsSinceEpoch();
    for (int jour = 1; jour <= 366; ++jour) {
        const double t = minuit + (jour - 1) * 86400.0 +
                         (12.0 - d.longitude / 15.0 -
                          Soleil().equation_du_temps(jour > 365 ? jour - 365 : jour) / 60.0) *
                             3600.0;
        midi[jour] = Soleil_Precis().position(t, latitude, d.longitude).hauteur_geometrique -
                     hauteur_lever_coucher;
    }
    scene.jour1 = scene.jour2 = scene.jour3 = -1;
    scene.jour_soleil(latitude, midi);
    QCOMPARE(QVector<int>({precise.jour1, precise.jour2, precise.jour3}),
             QVector<int>({scene.jour1, scene.jour2, scene.jour3}));
}

void TestScene::joursLimitesConserves()
{
    // A failed search keeps what an earlier latitude left.
    Scene scene;
    scene.jour_soleil(70.0);
    scene.jour_soleil(66.56);
    QCOMPARE(scene.jour1, 358);
    QCOMPARE(scene.jour2, 173);
    QCOMPARE(scene.jour3, 323);

    // Back inside the circles jour3 is not written.
    scene.jour_soleil(45.0);
    QCOMPARE(scene.jour1, 173);
    QCOMPARE(scene.jour2, 356);
    QCOMPARE(scene.jour3, 323);
}

// ---- Hour lines ---------------------------------------------------------------------------

void TestScene::heuresTracees_data()
{
    QTest::addColumn<double>("heureMIN");
    QTest::addColumn<double>("heureMAX");
    QTest::addColumn<QStringList>("heures");

    const auto heures = [](int de, int a) {
        QStringList l;
        for (int h = de; h <= a; ++h)
            l << QString::number(h) + "h";
        return l;
    };
    QTest::newRow("4.3 to 19.71: noon replaced by 13, drawn once")
        << 4.3 << 19.71 << heures(4, 11) + heures(13, 19);
    QTest::newRow("0 to 24, polar day: midnight and noon skipped")
        << 0.0 << 24.0 << heures(1, 11) + heures(13, 23);
    QTest::newRow("12.5 to 12.9: 13 once") << 12.5 << 12.9 << QStringList{"13h"};
    QTest::newRow("11 to 12: 11 and 13") << 11.0 << 12.0 << QStringList{"11h", "13h"};
    QTest::newRow("22 to 30: nothing after 23") << 22.0 << 30.0 << QStringList{"22h", "23h"};
    QTest::newRow("bound below the first hour: nothing") << 13.0 << 12.9 << QStringList{};
}

void TestScene::heuresTracees()
{
    QFETCH(double, heureMIN);
    QFETCH(double, heureMAX);
    QFETCH(QStringList, heures);

    // Latitude 80 between days 150 and 190: polar day, the sun is up at every hour.
    Scene scene;
    scene.setDiametre0(diametre);
    scene.jour1 = 150;
    scene.jour2 = 190;
    const QPen stylo(Qt::red, 1, Qt::DashLine, Qt::RoundCap, Qt::RoundJoin);
    scene.tracer_heures(80.0, heureMIN, heureMAX, stylo, QBrush());

    QCOMPARE(textes_des_items(scene), heures);
    const auto chemins = objets<QGraphicsPathItem>(scene);
    QCOMPARE(chemins.size(), heures.size());
    for (auto *c : chemins)
        QCOMPARE(c->pen(), stylo);
    for (auto *t : objets<QGraphicsTextItem>(scene)) {
        QCOMPARE(t->defaultTextColor(), QColor(Qt::red));
        QCOMPARE(t->font().family(), QStringLiteral("Courier"));
        QCOMPARE(t->font().pointSize(), 8);
    }
}

void TestScene::joursVisites_data()
{
    QTest::addColumn<int>("jour1");
    QTest::addColumn<int>("jour2");
    QTest::addColumn<QList<int>>("jours");

    // Strides of 15 while d + 14 < d_max, else 10 while d + 9 < d_max, else 5 while
    // d + 4 < d_max, else 1: the last day is always visited.
    QTest::newRow("173 to 356") << 173 << 356 << QList<int>{173, 188, 203, 218, 233, 248, 263, 278,
                                                            293, 308, 323, 338, 353, 354, 355, 356};
    QTest::newRow("356 to 173, limit days the other way round")
        << 356 << 173 << QList<int>{173, 188, 203, 218, 233, 248, 263, 278,
                                    293, 308, 323, 338, 353, 354, 355, 356};
    // Each stride at the edge where it still fits: d + 14 = 15 < 16, d + 9 = 10 < 11,
    // d + 4 = 104 < 105.
    QTest::newRow("1 to 16: a stride of 15 just fits") << 1 << 16 << QList<int>{1, 16};
    QTest::newRow("1 to 15: one short of 15, a stride of 10")
        << 1 << 15 << QList<int>{1, 11, 12, 13, 14, 15};
    QTest::newRow("1 to 11: a stride of 10 just fits") << 1 << 11 << QList<int>{1, 11};
    QTest::newRow("100 to 105: a stride of 5 just fits") << 100 << 105 << QList<int>{100, 105};
    // A single day gives a single point: no line, so neither path nor label.
    QTest::newRow("one day: no line") << 5 << 5 << QList<int>{5};
}

void TestScene::joursVisites()
{
    QFETCH(int, jour1);
    QFETCH(int, jour2);
    QFETCH(QList<int>, jours);

    // At the equator at 13 h the sun is at least 60° high every day of the year.
    Scene scene;
    scene.setDiametre0(diametre);
    scene.jour1 = jour1;
    scene.jour2 = jour2;
    scene.tracer_heures(0.0, 13.0, 13.0, QPen(Qt::red), QBrush());

    const auto chemins = objets<QGraphicsPathItem>(scene);
    if (jours.size() == 1) {
        QVERIFY(scene.items().isEmpty());
        return;
    }
    QCOMPARE(chemins.size(), 1);
    const QPainterPath chemin = chemins.first()->path();
    // The first day's point, then a line to every later visited day (the first visit, on the
    // same point, adds no element to a path).
    QCOMPARE(chemin.elementCount(), jours.size());
    const Soleil soleil;
    const auto position = [&](int jour) {
        const double delta = soleil.declinaison(jour);
        const double h = soleil.hauteur(delta, 0.0, 15.0);
        const double a = soleil.azimut(delta, 0.0, 15.0, h);
        return QPointF(soleil.projection_x(diametre, a, h), soleil.projection_y(diametre, a, h));
    };
    QVERIFY(chemin.elementAt(0).isMoveTo());
    QVERIFY(proches(chemin.elementAt(0), position(jours.first()), ecart_calcul));
    for (int i = 1; i < jours.size(); ++i) {
        const QPainterPath::Element e = chemin.elementAt(i);
        QVERIFY(e.isLineTo());
        QVERIFY2(proches(e, position(jours[i]), ecart_calcul),
                 qPrintable(QStringLiteral("visit %1: expected day %2 at %3, got %4")
                                .arg(i)
                                .arg(jours[i])
                                .arg(point(position(jours[i])), point(e))));
    }
}

void TestScene::heureSousHorizon_data()
{
    QTest::addColumn<double>("latitude");
    QTest::addColumn<double>("heureMIN");
    QTest::addColumn<double>("heureMAX");
    QTest::addColumn<QStringList>("heures");

    // Between the solstices (173 to 356) at 45°: at 4 h the sun is highest on day 173, at
    // asin(sin 23.45 · sin 45 - cos 23.45 · cos 45 · cos 60) = -2.5°: never up. At 5 h it is
    // 6.5° high that day.
    QTest::newRow("4 h at 45: nothing") << 45.0 << 4.0 << 4.0 << QStringList{};
    QTest::newRow("4 h at -45: nothing") << -45.0 << 4.0 << 4.0 << QStringList{};
    QTest::newRow("4 h and 5 h at 45: only 5 h") << 45.0 << 4.0 << 5.0 << QStringList{"5h"};
    QTest::newRow("23 h at 30: nothing") << 30.0 << 23.0 << 23.0 << QStringList{};
    // At -45 the sun of 7 h is 6.5° below the horizon on day 173 and up by the December solstice.
    QTest::newRow("7 h at -45: rises within the range") << -45.0 << 7.0 << 7.0 << QStringList{"7h"};
}

void TestScene::heureSousHorizon()
{
    QFETCH(double, latitude);
    QFETCH(double, heureMIN);
    QFETCH(double, heureMAX);
    QFETCH(QStringList, heures);

    Scene scene;
    scene.setDiametre0(diametre);
    scene.jour1 = 173;
    scene.jour2 = 356;
    scene.tracer_heures(latitude, heureMIN, heureMAX, QPen(Qt::red), QBrush());
    QCOMPARE(textes_des_items(scene), heures);
    QCOMPARE(objets<QGraphicsPathItem>(scene).size(), heures.size());
    QCOMPARE(scene.items().size(), 2 * heures.size());

    // Passing over the days whose sun cannot be back up by the next visit draws the same paths.
    const Soleil soleil;
    const auto position = [&](int jour, int heure) {
        const double angle = Soleil::angle_horaire(heure);
        const Soleil::Journee journee = soleil.journee(soleil.declinaison(jour), latitude);
        Soleil::Point_Ciel p;
        p.hauteur = soleil.hauteur(journee, angle);
        p.azimut = std::copysign(soleil.azimut(journee, angle, p.hauteur), angle);
        return p;
    };
    Scene sautee;
    sautee.setDiametre0(diametre);
    sautee.tracer_heures(latitude, heureMIN, heureMAX, QPen(Qt::red), QBrush(), position, 173, 356,
                         true, 15, 0.6);
    const auto chemins = objets<QGraphicsPathItem>(scene);
    const auto chemins_sautes = objets<QGraphicsPathItem>(sautee);
    QCOMPARE(chemins_sautes.size(), chemins.size());
    for (int i = 0; i < chemins.size(); ++i)
        QCOMPARE(chemins_sautes[i]->path(), chemins[i]->path());
}

void TestScene::etiquettesHeures_data()
{
    QTest::addColumn<double>("latitude");
    QTest::addColumn<int>("heure");
    QTest::addColumn<QString>("reference"); // "premier", "dernier" or "rehausse"
    QTest::addColumn<QRectF>("zone");       // where the reference point must lie
    QTest::addColumn<QPointF>("decalage");  // label = reference + decalage

    // Points at D = 540 between the solstices 173 and 356, worked by hand from the solar
    // model: 45° at 9 h on day 173: altitude 47.74, azimuth -105.29, point (122.3, 33.4);
    // 60° on day 173 at 4 h: (200.1, -150.1); at 3 h: (172.9, -202.8); the afternoon hours
    // mirror them (x < 0). The south mirrors the north on day 356.
    const QRectF est_haut(0, -120, 1000, 1000);       // x > 0, y ≥ -120
    const QRectF est_milieu(0, -180, 1000, 60);       // x > 0, -180 ≤ y < -120
    const QRectF est_nord(0, -1000, 1000, 820);       // x > 0, y < -180
    const QRectF ouest_haut(-1000, -120, 1000, 1000); // x ≤ 0, y ≥ -120
    const QRectF ouest_milieu(-1000, -180, 1000, 60); // x ≤ 0, -180 ≤ y < -120
    const QRectF ouest_nord(-1000, -1000, 1000, 820); // x ≤ 0, y < -180
    QTest::newRow("45, 9 h east, low") << 45.0 << 9 << "premier" << est_haut << QPointF(-20, -20);
    QTest::newRow("45, 15 h west, low") << 45.0 << 15 << "premier" << ouest_haut << QPointF(0, -20);
    QTest::newRow("60, 4 h east, middle")
        << 60.0 << 4 << "premier" << est_milieu << QPointF(-20, -5);
    QTest::newRow("60, 3 h east, far north")
        << 60.0 << 3 << "premier" << est_nord << QPointF(-15, 0);
    QTest::newRow("60, 20 h west, middle")
        << 60.0 << 20 << "premier" << ouest_milieu << QPointF(5, -5);
    QTest::newRow("60, 21 h west, far north")
        << 60.0 << 21 << "premier" << ouest_nord << QPointF(0, 0);

    // South and the equator: from the last day's point (356), bands at 120 and 180.
    const QRectF sud_est_haut(0, -1000, 1000, 1120);       // x > 0, y ≤ 120
    const QRectF sud_est_milieu(0, 120, 1000, 60);         // x > 0, 120 < y ≤ 180
    const QRectF sud_est_sud(0, 180, 1000, 820);           // x > 0, y > 180
    const QRectF sud_ouest_haut(-1000, -1000, 1000, 1120); // x ≤ 0, y ≤ 120
    const QRectF sud_ouest_milieu(-1000, 120, 1000, 60);   // x ≤ 0, 120 < y ≤ 180
    const QRectF sud_ouest_sud(-1000, 180, 1000, 820);     // x ≤ 0, y > 180
    QTest::newRow("-45, 9 h east, low")
        << -45.0 << 9 << "dernier" << sud_est_haut << QPointF(-20, 0);
    QTest::newRow("-45, 15 h west, low")
        << -45.0 << 15 << "dernier" << sud_ouest_haut << QPointF(0, 0);
    QTest::newRow("-60, 4 h east, middle")
        << -60.0 << 4 << "dernier" << sud_est_milieu << QPointF(-20, -15);
    QTest::newRow("-60, 3 h east, far south")
        << -60.0 << 3 << "dernier" << sud_est_sud << QPointF(-15, -20);
    QTest::newRow("-60, 20 h west, middle")
        << -60.0 << 20 << "dernier" << sud_ouest_milieu << QPointF(5, -15);
    QTest::newRow("-60, 21 h west, far south")
        << -60.0 << 21 << "dernier" << sud_ouest_sud << QPointF(0, -20);
    // 0 takes the southern rule: at 9 h on day 356 the point is (126.7, 77.7).
    QTest::newRow("equator, 9 h, southern rule")
        << 0.0 << 9 << "dernier" << sud_est_haut << QPointF(-20, 0);

    // Beyond the polar circles: 5° above the last day's point, then (-10, -10).
    const QRectF partout(-1000, -1000, 2000, 2000);
    QTest::newRow("75, 9 h, above the last day")
        << 75.0 << 9 << "rehausse" << partout << QPointF(-10, -10);
    QTest::newRow("-75, 15 h, above the last day")
        << -75.0 << 15 << "rehausse" << partout << QPointF(-10, -10);
}

void TestScene::etiquettesHeures()
{
    QFETCH(double, latitude);
    QFETCH(int, heure);
    QFETCH(QString, reference);
    QFETCH(QRectF, zone);
    QFETCH(QPointF, decalage);

    Scene scene;
    scene.setDiametre0(diametre);
    scene.jour_soleil(latitude);
    scene.tracer_heures(latitude, heure, heure, QPen(Qt::red), QBrush());

    const auto chemins = objets<QGraphicsPathItem>(scene);
    const auto textes = objets<QGraphicsTextItem>(scene);
    QCOMPARE(chemins.size(), 1);
    QCOMPARE(textes.size(), 1);
    const QPainterPath chemin = chemins.first()->path();
    QVERIFY(chemin.elementCount() > 0);
    const QPointF premier = chemin.elementAt(0);
    const QPointF dernier = chemin.elementAt(chemin.elementCount() - 1);

    QPointF base;
    if (reference == "premier") {
        base = premier;
    } else if (reference == "dernier") {
        base = dernier;
    } else {
        // Five degrees higher on the same azimuth: 5/90 of the disc's radius nearer the centre.
        const double r = std::hypot(dernier.x(), dernier.y());
        base = dernier * ((r - 5.0 / 90.0 * diametre / 2.0) / r);
    }
    QVERIFY2(zone.contains(base), qPrintable("reference point " + point(base)));
    const QPointF attendu = base + decalage;
    QVERIFY2(proches(textes.first()->pos(), attendu, ecart_geometrie),
             qPrintable(QStringLiteral("expected label %1, got %2")
                            .arg(point(attendu), point(textes.first()->pos()))));
}

// ---- A picture to look at -------------------------------------------------------------------

void TestScene::rendu()
{
    // Latitude 45 with a few courses, the limit courses and the hour lines, rendered as the
    // view would show them. ORVANE_RENDU names a PNG file to keep it for a person to look at.
    Scene scene;
    scene.setDiametre0(diametre);
    scene.setSceneRect(-500, -350, 1000, 700);
    scene.x_legende = -490;
    scene.y_legende = -335;
    const Soleil soleil;
    const double latitude = 45.0;
    const QList<int> jours{80, 120, 200, 300};
    const QList<QColor> couleurs{QColor(228, 152, 0), QColor(0, 250, 240), QColor(63, 145, 47),
                                 QColor(255, 0, 75)};
    for (int i = 0; i < jours.size(); ++i) {
        QGraphicsTextItem *date =
            scene.addText(QLocale().toString(QDate(2023, 1, 1).addDays(jours[i] - 1), "d MMM"),
                          QFont("Courier", 10));
        date->setDefaultTextColor(couleurs[i]);
        scene.tracer_course_soleil(
            jours[i], latitude, soleil.heure_lever(jours[i], latitude),
            soleil.heure_coucher(jours[i], latitude),
            QPen(couleurs[i], 2, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin), QBrush(),
            QPainterPath(), date, false, i);
    }
    scene.jour_soleil(latitude);
    QFont gras("Courier", 10);
    gras.setBold(true);
    for (int jour : {scene.jour1, scene.jour2}) {
        QGraphicsTextItem *date =
            scene.addText(QLocale().toString(QDate(2023, 1, 1).addDays(jour - 1), "d MMM"), gras);
        date->setDefaultTextColor(Qt::red);
        scene.tracer_course_soleil(jour, latitude, soleil.heure_lever(jour, latitude),
                                   soleil.heure_coucher(jour, latitude),
                                   QPen(Qt::red, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin),
                                   QBrush(), QPainterPath(), date, true, 0);
    }
    QPen tirets(Qt::red, 1, Qt::DashLine, Qt::RoundCap, Qt::RoundJoin);
    tirets.setDashPattern({7, 8});
    scene.tracer_heures(latitude, 4, 19, tirets, QBrush());

    QImage image(1000, 700, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    {
        QPainter peintre(&image);
        peintre.setRenderHint(QPainter::Antialiasing);
        scene.render(&peintre);
    }
    const QString fichier = qEnvironmentVariable("ORVANE_RENDU");
    if (!fichier.isEmpty())
        QVERIFY(image.save(fichier));

    // Coarse: white outside the disc, the horizon circle drawn 100 units right of the north
    // axis, at y = -sqrt(270² - 100²) = -250.8.
    QCOMPARE(image.pixelColor(5, 690), QColor(Qt::white));
    bool cercle = false;
    for (int y = 350 - 253; y <= 350 - 249; ++y)
        cercle = cercle || image.pixelColor(500 + 100, y) != QColor(Qt::white);
    QVERIFY(cercle);
}

void TestScene::description_data()
{
    QTest::addColumn<Description_Diagramme>("description");
    // Each row of the output table as "date lever coucher durée".
    QTest::addColumn<QStringList>("lignes");
    QTest::addColumn<QStringList>("couleurs");
    QTest::addColumn<int>("items");
    // The report page's lines for the window and the walls.
    QTest::addColumn<QStringList>("fenetre");

    auto mode1 = [](double latitude, const QDate &date, const QVector<QDate> &enregistrees = {}) {
        Description_Diagramme d;
        d.latitude = latitude;
        d.date_choisie = date;
        d.dates_enregistrees = enregistrees;
        return d;
    };
    const QString rouge = QColor(Qt::red).name();
    // The first two course colours: 228,152,0 and 0,250,240.
    const QString orange = QColor(228, 152, 0).name();
    const QString cyan = QColor(0, 250, 240).name();

    // At 45°: on 21 June (day 172) δ = −23.45 · sin(2π · 273 / 365.25) = 23.447°,
    // cos H = −tan 45° · tan δ = −0.43371, H = 115.70° = 7.713 h: sunrise 12 − 7.713 rounded up
    // to 4.30 (4h18), sunset 19.713 to 19.71 (19h43), 15.41 h (15h25). On 21 December (day 355)
    // δ = −23.449°: H = 64.29° = 4.286 h, 7.72 (7h43), 16.29 (16h17), 8.57 h (8h34). On 1 March
    // (day 60) δ = −23.45 · sin(2π · 161 / 365.25) = −8.52°, cos H = 0.14987, H = 81.38° =
    // 5.425 h: 6.58 (6h35), 17.43 (17h26), 10.85 h (10h51).
    // Items: the caption, and per course drawn in the legend its path, label and stroke.
    QTest::newRow("chosen date") << mode1(45, QDate(2026, 6, 21))
                                 << QStringList{"21/06/2026 4h18 19h43 15h25"} << QStringList{rouge}
                                 << 1 + 3 << QStringList();
    // Saved dates take the colours by day of the year; one equal to the chosen date is skipped.
    QTest::newRow("saved dates by day of the year")
        << mode1(45, QDate(2026, 6, 21),
                 {QDate(2026, 12, 21), QDate(2026, 6, 21), QDate(2026, 3, 1)})
        << QStringList{"21/06/2026 4h18 19h43 15h25", "01/03/2026 6h35 17h26 10h51",
                       "21/12/2026 7h43 16h17 8h34"}
        << QStringList{rouge, orange, cyan} << 1 + 3 * 3 << QStringList();
    // At 80° on 21 December the sun never rises: the chosen date and a saved date in the polar
    // night keep their rows with dashes, their empty paths and their legend rows.
    QTest::newRow("polar night") << mode1(80, QDate(2026, 12, 21), {QDate(2026, 12, 20)})
                                 << QStringList{"21/12/2026 - - -", "20/12/2026 - - -"}
                                 << QStringList{rouge, orange} << 1 + 3 * 2 << QStringList();
    // Mode 2: the 31st exists in seven months, each in the colour of its month's number.
    Description_Diagramme mois = mode1(45, QDate(2026, 6, 21));
    mois.mode = Mode_Dates::Jour_des_mois;
    mois.jour_des_mois = 31;
    mois.annee = 2026;
    QStringList dates;
    QStringList couleurs;
    for (int m : {1, 3, 5, 7, 8, 10, 12}) {
        dates << QDate(2026, m, 31).toString("dd/MM/yyyy");
        couleurs << couleur_course(m - 1).name();
    }
    QTest::newRow("day 31 of the months")
        << mois << dates << couleurs << 1 + 7 * 3 << QStringList();
    // The limit courses are a path and a label each and no row; the mask outline comes last.
    Description_Diagramme limites = mode1(45, QDate(2026, 6, 21));
    limites.limites = true;
    limites.masque = {{-60, 10}, {-120, 20}, {150, 15}};
    QTest::newRow("limit courses and mask")
        << limites << QStringList{"21/06/2026 4h18 19h43 15h25"} << QStringList{rouge}
        << 1 + 3 + 2 * 2 + 2 << QStringList();
    // The accurate sun on a clock: U.S. Naval Observatory, "Rise and Set for the Sun for 2020",
    // Auckland (E174 48, S36 50) in UT, sunrise Jun 20 19:34 and sunset Jun 21 05:12, so 07:34
    // and 17:12 on the clock of Pacific/Auckland (+12). The day's length is the solar day's. The
    // scale caption comes after everything.
    Description_Diagramme auckland = mode1(-(36 + 50 / 60.0), QDate(2020, 6, 21));
    auckland.longitude = 174.8;
    auckland.fuseau = "Pacific/Auckland";
    auckland.echelle = Echelle_Heures::Heure_legale;
    auckland.modele = Modele_Soleil::precis;
    QTest::newRow("Auckland on its clock, accurate sun")
        << auckland << QStringList{"21/06/2020 7h34 17h12 9h38"} << QStringList{rouge} << 1 + 3 + 1
        << QStringList();
    // NOAA's solar calculator (Meeus's low-precision sun, upper limb at −0.833°), worked by hand
    // for these rows. Waitangi, Chatham Islands (S43 57, W176 33, UTC+13:45 in March): the sun
    // of 20 March on that clock rises at 17:47.9 UT on the 19th, 7h33 on the 20th, and sets at
    // 19h44 after 12.183 h; the sun rising at 17:49.1 UT on the 20th is the 21st's (7h34).
    Description_Diagramme chatham = mode1(-(43 + 57 / 60.0), QDate(2026, 3, 20));
    chatham.longitude = -(176 + 33 / 60.0);
    chatham.fuseau = "Pacific/Chatham";
    chatham.echelle = Echelle_Heures::Heure_legale;
    chatham.modele = Modele_Soleil::precis;
    QTest::newRow("Chatham, a clock a day ahead of the sun: the row's own day")
        << chatham << QStringList{"20/03/2026 7h33 19h44 12h11"} << QStringList{rouge} << 1 + 3 + 1
        << QStringList();
    // Nome (N64 30, W165 24, UTC−8 in summer) on 17 June: sunrise 12:20.0 UT, sunset 09:46.0 UT
    // the next day, 4h20 and 1h46 past the clock's midnight, 21.434 h later.
    Description_Diagramme nome = mode1(64.5, QDate(2026, 6, 17));
    nome.longitude = -(165 + 24 / 60.0);
    nome.fuseau = "America/Nome";
    nome.echelle = Echelle_Heures::Heure_legale;
    nome.modele = Modele_Soleil::precis;
    QTest::newRow("Nome, a sunset past the clock's midnight")
        << nome << QStringList{"17/06/2026 4h20 1h46 (+1) 21h26"} << QStringList{rouge} << 1 + 3 + 1
        << QStringList();
    // Longyearbyen (78.216667 N, 15.633333 E) on 15 November 2020: polar night in the same
    // tables (K. Brunner's solarpositioning reference data, usno_reference_testdata.csv).
    Description_Diagramme longyearbyen = mode1(78.216667, QDate(2020, 11, 15));
    longyearbyen.longitude = 15.633333;
    longyearbyen.fuseau = "Arctic/Longyearbyen";
    longyearbyen.echelle = Echelle_Heures::Heure_legale;
    longyearbyen.modele = Modele_Soleil::precis;
    QTest::newRow("polar night of the accurate sun")
        << longyearbyen << QStringList{"15/11/2020 - - -"} << QStringList{rouge} << 1 + 3 + 1
        << QStringList();
    // Seven walls: the first six listed, and the seventh counted. Their outline is a path with
    // its legend row, a swatch and a label.
    Description_Diagramme murs = mode1(45, QDate(2026, 6, 21));
    QStringList textes_murs;
    for (int i = 0; i < 7; ++i) {
        murs.ombrage.obstacles.push_back({40.0 * i, 20.0, 40.0 * i + 30, 20.0, 5.0});
        if (i < 6)
            textes_murs << QStringLiteral("Obstacle %1 : %2° à 20 m, %3° à 20 m, hauteur 5 m")
                               .arg(i + 1)
                               .arg(40 * i)
                               .arg(40 * i + 30);
    }
    QTest::newRow("seven walls") << murs << QStringList{"21/06/2026 4h18 19h43 15h25"}
                                 << QStringList{rouge} << 1 + 3 + 3
                                 << textes_murs + QStringList{"… et 1 autre obstacle"};
}

void TestScene::description()
{
    QFETCH(Description_Diagramme, description);
    QFETCH(QStringList, lignes);
    QFETCH(QStringList, couleurs);
    QFETCH(int, items);
    QFETCH(QStringList, fenetre);

    Scene scene;
    ajuster_scene(scene, description.taille);
    const QVector<Ligne_Sortie> sorties = dessiner_diagramme(scene, description);
    QStringList lues;
    QStringList couleurs_lues;
    for (const Ligne_Sortie &ligne : sorties) {
        // Mode 2 rows are checked by their dates only.
        lues << (description.mode == Mode_Dates::Jour_des_mois ? textes_ligne(ligne).first()
                                                               : textes_ligne(ligne).join(' '));
        couleurs_lues << ligne.couleur.name();
    }
    QCOMPARE(lues, lignes);
    QCOMPARE(couleurs_lues, couleurs);
    QCOMPARE(scene.items().size(), items);
    // Drawn over an earlier diagram whose labels it takes back where it can (the busiest one,
    // sharing dates, limit days, hours and caption with most rows): the same items, the same
    // pixels as on a fresh scene.
    Scene redessinee;
    ajuster_scene(redessinee, description.taille);
    Description_Diagramme avant = description;
    avant.latitude = 45;
    avant.mode = Mode_Dates::Dates_choisies;
    avant.date_choisie = QDate(2026, 6, 21);
    avant.dates_enregistrees = {QDate(2026, 12, 21), QDate(2026, 3, 1), QDate(2020, 6, 21)};
    avant.limites = avant.heures = true;
    dessiner_diagramme(redessinee, avant);
    dessiner_diagramme(redessinee, description);
    QCOMPARE(signatures(redessinee), signatures(scene));
    QImage attendue(description.taille, QImage::Format_ARGB32_Premultiplied);
    QImage obtenue = attendue;
    for (auto [cible, source] : {qMakePair(&attendue, &scene), qMakePair(&obtenue, &redessinee)}) {
        QPainter peintre(cible);
        peintre.setRenderHint(QPainter::Antialiasing);
        source->render(&peintre);
    }
    QCOMPARE(obtenue, attendue);
    // The report page's table: the two columns of the mask while the description has one or a
    // wall.
    const Legende_page page = legende_page(description, sorties);
    QCOMPARE(page.fenetre, fenetre);
    const int colonnes =
        description.masque.isEmpty() && description.ombrage.obstacles.empty() ? 4 : 6;
    QCOMPARE(page.entetes.size(), colonnes);
    for (const QStringList &cellules : page.lignes)
        QCOMPARE(cellules.size(), colonnes);
}

void TestScene::tailleDeLaVue_data()
{
    QTest::addColumn<QSize>("taille");
    QTest::addColumn<double>("latitude");
    QTest::addColumn<int>("diametre");
    QTest::addColumn<bool>("ombrage");
    QTest::addColumn<Type_Projection>("projection");
    const auto E = Type_Projection::Equidistante;

    // The view of the maximised window (the panel beside it): at 1600 x 900 the legend's fixed
    // reserve leaves min(1110 - 300, 800 - 140) = 660; at 800 x 600 it would leave 100, and at
    // twice the scale of 1600 x 900 (a screen of 800 x 450) 100 again, less than 60 % of the
    // smaller side: 0.6 x 400 = 240 and 0.6 x 372 = 223.2, rounded up.
    QTest::newRow("1600 x 900") << QSize(1110, 800) << 48.85 << 660 << false << E;
    QTest::newRow("800 x 600") << QSize(400, 512) << 48.85 << 240 << false << E;
    QTest::newRow("1600 x 900 at twice the scale") << QSize(400, 372) << 48.85 << 224 << false << E;
    // With a facade and a wall, two rows more than the corners hold at the legend's full size.
    QTest::newRow("1600 x 900 at twice the scale, facade and wall")
        << QSize(400, 372) << 48.85 << 224 << true << E;
    QTest::newRow("1600 x 900, facade and wall: their legend rows one under the other")
        << QSize(1110, 800) << 48.85 << 660 << true << E;
    // At the equator the limit courses rise near the east and their labels beside them would
    // reach past the drawing's edge.
    QTest::newRow("800 x 600 at the equator") << QSize(400, 512) << 0.0 << 240 << false << E;
    // The other projections. The chart, as wide as the same share of the drawing: its five
    // cardinal labels side by side, the legend's rows clear of them and of the captions.
    QTest::newRow("chart, 800 x 600")
        << QSize(400, 512) << 48.85 << 240 << false << Type_Projection::Cylindrique;
    QTest::newRow("chart, 1600 x 900 at twice the scale")
        << QSize(400, 372) << 48.85 << 224 << false << Type_Projection::Cylindrique;
    QTest::newRow("chart too narrow for five labels: the centre one alone")
        << QSize(160, 372) << 48.85 << 96 << false << Type_Projection::Cylindrique;
    QTest::newRow("stereographic, 1600 x 900 at twice the scale")
        << QSize(400, 372) << 48.85 << 224 << false << Type_Projection::Stereographique;
    QTest::newRow("chart, 1600 x 900")
        << QSize(1110, 800) << 48.85 << 660 << false << Type_Projection::Cylindrique;
    // In the midnight sun the clock's hour loops dip below the horizon at both ends.
    QTest::newRow("chart at 75 N, 1600 x 900")
        << QSize(1110, 800) << 75.0 << 660 << false << Type_Projection::Cylindrique;
}

void TestScene::tailleDeLaVue()
{
    QFETCH(QSize, taille);
    QFETCH(double, latitude);
    QFETCH(int, diametre);
    QFETCH(bool, ombrage);
    QFETCH(Type_Projection, projection);

    // A real study: twelve saved dates, the limit courses and the hours on the clock of Paris,
    // a horizon; with `ombrage`, a south-west facade under an overhang and a wall.
    Description_Diagramme d;
    d.latitude = latitude;
    d.longitude = 2.35;
    d.fuseau = "Europe/Paris";
    d.echelle = Echelle_Heures::Heure_legale;
    d.date_choisie = QDate(2026, 6, 21);
    for (int mois = 1; mois <= 12; ++mois)
        d.dates_enregistrees << QDate(2026, mois, 21);
    d.limites = d.heures = true;
    d.masque = {{-180, 5}, {-60, 15}, {60, 20}, {180, 5}};
    if (ombrage) {
        d.ombrage.facade.active = true;
        d.ombrage.facade.orientation = 225;
        d.ombrage.facade.casquette.active = true;
        d.ombrage.obstacles = {Obstacle{150, 6, 200, 6, 4}};
    }
    d.options.projection = projection;
    d.taille = taille;
    Scene scene;
    ajuster_scene(scene, taille);
    dessiner_diagramme(scene, d);
    QCOMPARE(scene.diametre0(), diametre);

    // Every label painted or placed lies whole in the drawing, and its ink touches no other's.
    QVector<QPair<QString, QRectF>> boites;
    for (const TexteEnregistre &t : peindre(scene).textes)
        boites.append(
            {t.texte, QFontMetricsF(t.police).tightBoundingRect(t.texte).translated(t.position)});
    for (const QGraphicsItem *item : scene.items())
        if (const auto *texte = qgraphicsitem_cast<const QGraphicsTextItem *>(item))
            if (texte->isVisible()) {
                const QFontMetricsF mesure(texte->font());
                const qreal marge = texte->document()->documentMargin();
                boites.append(
                    {texte->toPlainText(),
                     mesure.tightBoundingRect(texte->toPlainText())
                         .translated(texte->scenePos() + QPointF(marge, marge + mesure.ascent()))});
            }
    for (int i = 0; i < boites.size(); ++i) {
        QVERIFY2(scene.sceneRect().contains(boites[i].second), qPrintable(boites[i].first));
        for (int j = i + 1; j < boites.size(); ++j)
            QVERIFY2(!boites[i].second.intersects(boites[j].second),
                     qPrintable(boites[i].first + " over " + boites[j].first));
    }
}

void TestScene::disqueAffiche_data()
{
    QTest::addColumn<qreal>("echelle");
    QTest::addColumn<QString>("changement");

    QTest::newRow("1x") << 1.0 << "";
    QTest::newRow("2x") << 2.0 << "";
    QTest::newRow("2x, options changed by OK after a first paint") << 2.0 << "options";
    QTest::newRow("1x, view resized after a first paint") << 1.0 << "taille";
    QTest::newRow("2x, view grown past its scene rectangle") << 2.0 << "vue seule";
}

void TestScene::disqueAffiche()
{
    QFETCH(qreal, echelle);
    QFETCH(QString, changement);

    // An empty diagram: the view shows the background alone, the scene rectangle exactly. As
    // in the window, the viewport leaves every pixel to the background: what it would leave
    // unpainted stays black.
    Scene scene;
    QGraphicsView vue(&scene);
    vue.setFrameShape(QFrame::NoFrame);
    vue.setRenderHint(QPainter::Antialiasing);
    vue.viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    const auto montrer = [&](const QSize &taille) {
        vue.resize(taille);
        ajuster_scene(scene, taille);
    };
    montrer(QSize(900, 640));
    vue.show();
    QVERIFY(QTest::qWaitForWindowExposed(&vue));

    const QImage avant = vue_affichee(vue, echelle);
    QCOMPARE(avant, disque_vectoriel(scene, echelle, vue));
    if (changement == "options")
        valider_options(scene, 15, 20, 40, false);
    else if (changement == "taille")
        montrer(QSize(1000, 700));
    else if (changement == "vue seule")
        vue.resize(1000, 700);
    // Shown again: from the kept picture, or from a new one after a change, never a stale one.
    const QImage apres = vue_affichee(vue, echelle);
    if (changement == "vue seule") {
        // Around the scene rectangle, white; no pixel is left as it was.
        const QSize marges = (vue.viewport()->size() - QSize(900, 640)) / 2;
        const QRect centre(QPoint(marges.width(), marges.height()) * echelle,
                           QSize(900, 640) * echelle);
        QCOMPARE(apres.copy(centre), disque_vectoriel(scene, echelle, vue));
        for (int y = 0; y < apres.height(); ++y)
            for (int x = 0; x < apres.width(); ++x)
                if (!centre.contains(x, y) && apres.pixel(x, y) != qRgb(255, 255, 255))
                    QFAIL(qPrintable(QStringLiteral("pixel %1, %2 not white").arg(x).arg(y)));
        return;
    }
    QCOMPARE(apres, disque_vectoriel(scene, echelle, vue));
    QCOMPARE(apres == avant, changement.isEmpty());
}

void TestScene::vueRepeinte_data()
{
    QTest::addColumn<Type_Projection>("projection");
    QTest::addColumn<QString>("repeinte");

    QTest::newRow("disc, the latitude moved twice, repainted whole")
        << Type_Projection::Equidistante << "entiere";
    QTest::newRow("disc, the latitude moved twice, its changes repainted by the event loop")
        << Type_Projection::Equidistante << "boucle";
    QTest::newRow("chart, the latitude moved twice, repainted whole")
        << Type_Projection::Cylindrique << "entiere";
}

void TestScene::vueRepeinte()
{
    QFETCH(Type_Projection, projection);
    QFETCH(QString, repeinte);

    // Through the window's own backing store, whose pixels stay from one paint to the next: a
    // view repainted after each of two latitude moves (the courses, hour lines and captions
    // drawn anew, the labels taken back) shows, pixel for pixel, what a new window showing the
    // last diagram alone shows.
    Description_Diagramme d;
    d.date_choisie = QDate(2026, 6, 21);
    d.dates_enregistrees = {QDate(2026, 1, 10), QDate(2026, 3, 10), QDate(2026, 9, 10),
                            QDate(2026, 11, 10)};
    d.limites = d.heures = true;
    d.options.projection = projection;
    d.taille = QSize(900, 640);
    const auto montrer = [&d](Scene &scene, QGraphicsView &vue) {
        vue.setFrameShape(QFrame::NoFrame);
        vue.setRenderHint(QPainter::Antialiasing);
        vue.viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
        vue.resize(d.taille);
        ajuster_scene(scene, d.taille);
        vue.show();
        return QTest::qWaitForWindowExposed(&vue);
    };
    const auto ecran = [](QGraphicsView &vue) {
        return vue.screen()
            ->grabWindow(vue.winId())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    };

    Scene suivie;
    QGraphicsView vue_suivie(&suivie);
    struct Peintures : QObject {
        int nombre = 0;
        bool eventFilter(QObject *, QEvent *evenement) override
        {
            nombre += evenement->type() == QEvent::Paint;
            return false;
        }
    } peintures;
    vue_suivie.viewport()->installEventFilter(&peintures);
    QVERIFY(montrer(suivie, vue_suivie));
    d.latitude = 30;
    dessiner_diagramme(suivie, d);
    vue_suivie.viewport()->repaint();
    for (const double latitude : {46.0, 45.0}) {
        d.latitude = latitude;
        dessiner_diagramme(suivie, d);
        if (repeinte == "entiere") {
            vue_suivie.viewport()->repaint();
        } else {
            // The regions the view found changed, painted when the loop gets to them.
            const int avant = peintures.nombre;
            QVERIFY(QTest::qWaitFor([&] { return peintures.nombre > avant; }));
        }
    }

    Scene fraiche;
    QGraphicsView vue_fraiche(&fraiche);
    QVERIFY(montrer(fraiche, vue_fraiche));
    dessiner_diagramme(fraiche, d);
    vue_fraiche.viewport()->repaint();
    const QImage attendue = ecran(vue_fraiche);
    QVERIFY(!attendue.isNull());
    QCOMPARE(ecran(vue_suivie), attendue);
}

namespace
{
// Distance in scene units from `point` to the drawn segments of `chemin`.
double distance_chemin(const QPainterPath &chemin, const QPointF &point)
{
    double distance = std::numeric_limits<double>::infinity();
    for (int i = 1; i < chemin.elementCount(); ++i) {
        if (chemin.elementAt(i).type != QPainterPath::LineToElement)
            continue;
        const QPointF a = chemin.elementAt(i - 1);
        const QPointF ab = QPointF(chemin.elementAt(i)) - a;
        const double t = std::clamp(QPointF::dotProduct(point - a, ab) /
                                        std::max(QPointF::dotProduct(ab, ab), 1e-12),
                                    0.0, 1.0);
        distance = std::min(distance, QLineF(point, a + t * ab).length());
    }
    return distance;
}
} // namespace

void TestScene::heuresLegalesCroisentLesCourses_data()
{
    QTest::addColumn<bool>("precis");
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<double>("latitude");
    QTest::addColumn<double>("longitude");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<int>("heure");

    QTest::newRow("simple, Paris, 10h on 10 August")
        << false << QByteArray("Europe/Paris") << 48.87 << 2.33 << QDate(2026, 8, 10) << 10;
    QTest::newRow("accurate, Paris, 15h on 10 August")
        << true << QByteArray("Europe/Paris") << 48.87 << 2.33 << QDate(2026, 8, 10) << 15;
    QTest::newRow("accurate, Auckland, 9h on 15 February")
        << true << QByteArray("Pacific/Auckland") << -36.87 << 174.77 << QDate(2026, 2, 15) << 9;
}

void TestScene::heuresLegalesCroisentLesCourses()
{
    // The line labelled "10h" passes where the day's course is at 10:00 of standard time: the
    // sun there computed afresh, the simple model from the true solar time of that clock time,
    // the accurate one at the instant itself.
    QFETCH(bool, precis);
    QFETCH(QByteArray, zone);
    QFETCH(double, latitude);
    QFETCH(double, longitude);
    QFETCH(QDate, date);
    QFETCH(int, heure);
    Description_Diagramme d;
    d.latitude = latitude;
    d.longitude = longitude;
    d.fuseau = zone;
    d.echelle = Echelle_Heures::Heure_legale;
    d.modele = precis ? Modele_Soleil::precis : Modele_Soleil::simple;
    d.date_choisie = date;
    d.limites = d.heures = true;
    Scene scene;
    ajuster_scene(scene, d.taille);
    dessiner_diagramme(scene, d);

    const QTimeZone fuseau(zone);
    const double standard = fuseau.standardTimeOffset(QDateTime(date, QTime(12, 0), fuseau));
    const QDateTime instant =
        QDateTime(date, QTime(heure, 0), Qt::UTC).addSecs(-static_cast<qint64>(standard));
    Soleil::Point_Ciel soleil;
    if (precis) {
        const Soleil_Precis::Position p =
            Soleil_Precis().position(instant.toSecsSinceEpoch(), latitude, longitude);
        soleil = {p.azimut, p.hauteur};
    } else {
        const Soleil s;
        const double angle = Soleil::angle_horaire(
            Heure_Legale(fuseau, longitude).tsv_depuis_heure(date, heure, true));
        const double delta = s.declinaison(date.dayOfYear());
        soleil.hauteur = s.hauteur(delta, latitude, angle);
        soleil.azimut = (angle < 0 ? -1 : 1) * s.azimut(delta, latitude, angle, soleil.hauteur);
    }
    const Soleil s;
    const QPointF point(s.projection_x(scene.diametre0(), soleil.azimut, soleil.hauteur),
                        s.projection_y(scene.diametre0(), soleil.azimut, soleil.hauteur));

    // The chosen date's course is the first path; each hour line follows its label.
    QGraphicsPathItem *course = nullptr;
    QGraphicsPathItem *ligne = nullptr;
    bool etiquette = false;
    for (QGraphicsItem *item : scene.items(Qt::AscendingOrder)) {
        if (auto *t = qgraphicsitem_cast<QGraphicsTextItem *>(item))
            etiquette = t->toPlainText() == QString::number(heure) + "h";
        auto *chemin = qgraphicsitem_cast<QGraphicsPathItem *>(item);
        if (!chemin)
            continue;
        if (!course)
            course = chemin;
        if (etiquette && chemin->pen().style() == Qt::CustomDashLine && !ligne)
            ligne = chemin;
    }
    QVERIFY(course && ligne);
    const double sur_ligne = distance_chemin(ligne->path(), point);
    const double sur_course = distance_chemin(course->path(), point);
    QVERIFY2(sur_ligne < ecart_trace_px,
             qPrintable(QString("hour line %1 px away").arg(sur_ligne)));
    QVERIFY2(sur_course < ecart_trace_px, qPrintable(QString("course %1 px away").arg(sur_course)));
}

void TestScene::lectureSousLePointeur_data()
{
    // The clock's zone at 2.33 E; empty: true solar time.
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<double>("azimut");
    QTest::addColumn<double>("hauteur");
    // On the chosen date's course: the time there, else NaN.
    QTest::addColumn<double>("heure");
    // With the hour lines drawn, the point on this line of standard time (else -1), and the end
    // of the text read there.
    QTest::addColumn<int>("ligne");
    QTest::addColumn<QString>("fin");
    // With the graduations in bearings, the start of the text read (else empty, not checked).
    QTest::addColumn<QString>("debut");

    const QDate juin(2026, 6, 21);
    // At 45° on 21 June no course passes north of the zenith.
    QTest::newRow("north at 60 degrees, no course")
        << QByteArray() << juin << 0.0 << 60.0 << std::nan("") << -1 << QString() << QString();
    QTest::newRow("south-west at 10 degrees, no course")
        << QByteArray() << juin << 135.0 << 10.0 << std::nan("") << -1 << QString() << QString();
    // The 21 June course at 10h of true solar time (the sun placed there by the simple model).
    QTest::newRow("on the course at 10h") << QByteArray() << juin << std::nan("") << std::nan("")
                                          << 10.0 << -1 << QString() << QString();
    // The same point on the clock of Paris (2.33 E, summer +2): 10 − 2.33 / 15 + 2 + 1.32824 / 60
    // (Spencer's equation of time on day 172 is −1.32824 min) = 11.8668 h.
    QTest::newRow("on the course at 11h52 of Paris")
        << QByteArray("Europe/Paris") << juin << std::nan("") << std::nan("")
        << 10 - 2.33 / 15 + 2 + 1.32824 / 60 << -1 << QString() << QString();
    // A west window gets the sun from the meridian, at 12h, to sunset (19h43 at 45° on 21
    // June); the point at 10h lies behind it.
    QTest::newRow("on the course at 10h, a west window: its sun from noon to sunset")
        << QByteArray() << juin << std::nan("") << std::nan("") << 10.0 << -1
        << "fenêtre au soleil ce jour : 12h00–19h43 — ombre : derrière la façade" << QString();
    // The line of 13h of standard time (UTC+1) meets the summer course at 14h on the clock,
    // the winter course at 13h; Algiers keeps UTC+1 all year.
    QTest::newRow("13h line on a summer course of Paris")
        << QByteArray("Europe/Paris") << juin << std::nan("") << std::nan("") << 14.0 << 13
        << "ligne horaire : 13h heure d'hiver, 14h heure d'été" << QString();
    QTest::newRow("13h line on a winter course of Paris")
        << QByteArray("Europe/Paris") << QDate(2026, 12, 21) << std::nan("") << std::nan("") << 13.0
        << 13 << "ligne horaire : 13h heure d'hiver" << QString();
    QTest::newRow("13h line in Algiers, no daylight saving")
        << QByteArray("Africa/Algiers") << juin << std::nan("") << std::nan("") << 13.0 << 13
        << "ligne horaire : 13h" << QString();
    // South-west of the table (135, west positive) is the compass's 225.
    QTest::newRow("south-west at 10 degrees, in bearings")
        << QByteArray() << juin << 135.0 << 10.0 << std::nan("") << -1 << QString()
        << "Cap : 225,0° (SO) — Hauteur : 10,0°";
}

void TestScene::lectureSousLePointeur()
{
    QFETCH(QByteArray, zone);
    QFETCH(QDate, date);
    QFETCH(double, azimut);
    QFETCH(double, hauteur);
    QFETCH(double, heure);
    QFETCH(int, ligne);
    QFETCH(QString, fin);
    QFETCH(QString, debut);
    Description_Diagramme d;
    d.latitude = 45;
    if (!debut.isEmpty())
        d.options.graduations_azimut = Graduations_Azimut::Caps;
    d.date_choisie = date;
    if (!zone.isEmpty()) {
        d.longitude = 2.33;
        d.fuseau = zone;
        d.echelle = Echelle_Heures::Heure_legale;
    }
    d.limites = d.heures = ligne >= 0;
    // A row that reads the window's sun has a west window.
    d.ombrage.facade.active = fin.contains(QStringLiteral("fenêtre au soleil ce jour"));
    d.ombrage.facade.orientation = 270.0;
    const Soleil s;
    if (ligne >= 0) {
        const Soleil::Point_Ciel p = horloge_description(d).position_heure(date, ligne, 45);
        azimut = p.azimut;
        hauteur = p.hauteur;
    } else if (std::isnan(azimut)) {
        const double angle = Soleil::angle_horaire(10.0);
        const double delta = s.declinaison(172);
        hauteur = s.hauteur(delta, 45, angle);
        azimut = -s.azimut(delta, 45, angle, hauteur);
    }
    const int d0 = 940;
    const QPointF point(s.projection_x(d0, azimut, hauteur), s.projection_y(d0, azimut, hauteur));
    const auto courses = courses_lues(d, {d.date_choisie});
    Lecture l = lire_sous_pointeur(d, courses, d0, point);
    lire_ligne_horaire(l, d, lignes_horaires_lues(d), d0, point);
    QVERIFY(l.dans_disque);
    QVERIFY2(std::abs(l.azimut - azimut) < ecart_lecture_degres,
             qPrintable(QString::number(l.azimut)));
    QVERIFY2(std::abs(l.hauteur - hauteur) < ecart_lecture_degres,
             qPrintable(QString::number(l.hauteur)));
    QCOMPARE(l.sur_course, !std::isnan(heure));
    if (l.sur_course) {
        QCOMPARE(l.date, d.date_choisie);
        QVERIFY2(std::abs(l.heure - heure) < ecart_lecture_heures,
                 qPrintable(QString("expected %1 h, got %2 h").arg(heure).arg(l.heure)));
    }
    const QString texte = texte_lecture(l, d);
    QVERIFY2(fin.isEmpty() ? !texte.contains("ligne horaire") : texte.endsWith(fin),
             qPrintable(texte));
    QVERIFY2(texte.startsWith(debut), qPrintable(texte));
    // Just outside the disc nothing is read.
    const Lecture dehors = lire_sous_pointeur(d, courses, d0, QPointF(0, -d0 / 2.0 - 2));
    QVERIFY(!dehors.dans_disque);
    QVERIFY(texte_lecture(dehors, d).isEmpty());
}

void TestScene::soleilAuPassage_data()
{
    QTest::addColumn<double>("latitude");
    QTest::addColumn<double>("longitude");
    QTest::addColumn<QDateTime>("passage");
    QTest::addColumn<double>("azimut");
    QTest::addColumn<double>("hauteur");
    // The sun's transit as the middle of the U.S. Naval Observatory's sunrise and sunset of
    // 2020 (UT, the rows of the almanac test), and its height at transit, 90° − |φ − δ|, with δ
    // ±23.44° at the solstices and the refraction (0.02° at 52°, 0.16° at 5°) left in the bound.
    QTest::newRow("Anchorage, June: 12:20 and 07:43 UT")
        << (61 + 13 / 60.0) << -(149 + 52 / 60.0)
        << QDateTime(QDate(2020, 6, 21), QTime(22, 1, 30), Qt::UTC) << 180.0 << 52.22;
    QTest::newRow("Anchorage, December: 19:14 and 00:42 UT")
        << (61 + 13 / 60.0) << -(149 + 52 / 60.0)
        << QDateTime(QDate(2020, 12, 21), QTime(21, 58), Qt::UTC) << 180.0 << 5.34;
    QTest::newRow("Auckland, June: 19:34 and 05:12 UT")
        << -(36 + 50 / 60.0) << (174 + 48 / 60.0)
        << QDateTime(QDate(2020, 6, 21), QTime(0, 23), Qt::UTC) << 0.0 << 29.73;
}

void TestScene::soleilAuPassage()
{
    // Both suns, on both scales: the direction at an instant does not depend on the clock.
    QFETCH(double, latitude);
    QFETCH(double, longitude);
    QFETCH(QDateTime, passage);
    QFETCH(double, azimut);
    QFETCH(double, hauteur);
    for (const Modele_Soleil modele : {Modele_Soleil::simple, Modele_Soleil::precis}) {
        for (const Echelle_Heures echelle :
             {Echelle_Heures::Temps_solaire_vrai, Echelle_Heures::Heure_legale}) {
            Ciel::Cle cle;
            cle.annee = passage.date().year();
            cle.fuseau = "Pacific/Auckland";
            cle.longitude = longitude;
            cle.modele = modele;
            cle.echelle = echelle;
            const std::unique_ptr<Ciel> ciel = Ciel::creer(cle);
            ciel->placer(latitude);
            const Soleil::Point_Ciel p = ciel->soleil(passage);
            const QString ou = QStringLiteral("model %1, scale %2: %3 deg, %4 deg")
                                   .arg(static_cast<int>(modele))
                                   .arg(static_cast<int>(echelle))
                                   .arg(p.azimut)
                                   .arg(p.hauteur);
            // Half a minute of rounding in the table turns the sun by up to 0.2° at transit.
            QVERIFY2(std::abs(std::remainder(p.azimut - azimut, 360.0)) < 0.6, qPrintable(ou));
            QVERIFY2(std::abs(p.hauteur - hauteur) < 0.25, qPrintable(ou));
        }
    }
}

void TestScene::legendeEchelle_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<bool>("heures");
    QTest::addColumn<QString>("legende");

    // Standard offsets of the tz database: Paris +1, St John's −3:30; Kolkata keeps +5:30 all
    // year.
    QTest::newRow("Paris with hour lines: their winter clock named")
        << QByteArray("Europe/Paris") << true
        << "Heure légale — Europe/Paris, lignes horaires en heure d'hiver (UTC+1)";
    QTest::newRow("Paris without hour lines: the scale alone")
        << QByteArray("Europe/Paris") << false << "Heure légale — Europe/Paris";
    QTest::newRow("St John's, half an hour west")
        << QByteArray("America/St_Johns") << true
        << "Heure légale — America/St_Johns, lignes horaires en heure d'hiver (UTC-3:30)";
    QTest::newRow("Kolkata, no daylight saving")
        << QByteArray("Asia/Kolkata") << true << "Heure légale — Asia/Kolkata";
}

void TestScene::legendeEchelle()
{
    // The diagram's scale caption, drawn last, and the report page's line of its own.
    QFETCH(QByteArray, zone);
    QFETCH(bool, heures);
    QFETCH(QString, legende);
    Description_Diagramme d;
    d.latitude = 45;
    d.date_choisie = QDate(2026, 6, 21);
    d.fuseau = zone;
    d.echelle = Echelle_Heures::Heure_legale;
    d.limites = d.heures = heures;
    Scene scene;
    ajuster_scene(scene, d.taille);
    const QVector<Ligne_Sortie> lignes = dessiner_diagramme(scene, d);
    const auto textes = objets<QGraphicsTextItem>(scene);
    QCOMPARE(textes.constLast()->toPlainText(), legende);
    const Legende_page page = legende_page(d, lignes);
    const int virgule = legende.indexOf(", lignes");
    QCOMPARE(page.lignes_horaires.toLower(),
             virgule < 0 ? QString() : legende.mid(virgule + 2).toLower());
}

// ---- Projections --------------------------------------------------------------------------

void TestScene::projection_data()
{
    QTest::addColumn<Type_Projection>("type");
    QTest::addColumn<double>("latitude");
    QTest::addColumn<double>("azimut");
    QTest::addColumn<double>("hauteur");
    QTest::addColumn<QPointF>("point");

    const auto E = Type_Projection::Equidistante;
    const auto S = Type_Projection::Stereographique;
    const auto C = Type_Projection::Cylindrique;
    // r = 300 · tan((90 − h) / 2): 300, 300 · tan 30° = 173.205, 300 · tan 15° = 80.385, 0.
    QTest::newRow("stereographic, north on the horizon at R")
        << S << 45.0 << 0.0 << 0.0 << QPointF(0, -300);
    QTest::newRow("stereographic, south at 30")
        << S << 45.0 << 180.0 << 30.0 << QPointF(0, 100 * std::sqrt(3.0));
    QTest::newRow("stereographic, east at 60")
        << S << 45.0 << -90.0 << 60.0 << QPointF(300 * std::tan(pi / 12), 0);
    QTest::newRow("stereographic, zenith at the centre")
        << S << 45.0 << 37.0 << 90.0 << QPointF(0, 0);
    QTest::newRow("equidistant, south at 30") << E << 45.0 << 180.0 << 30.0 << QPointF(0, 200);
    // The chart: 1200 wide for 360°, 600 high for 90°, the horizon at y = 300.
    QTest::newRow("chart north of the equator: south at the centre")
        << C << 45.0 << 180.0 << 45.0 << QPointF(0, 0);
    QTest::newRow("chart north of the equator: east on the left")
        << C << 0.0 << -90.0 << 0.0 << QPointF(-300, 300);
    QTest::newRow("chart north of the equator: west on the right")
        << C << 45.0 << 90.0 << 90.0 << QPointF(300, -300);
    QTest::newRow("chart south of the equator: north at the centre")
        << C << -0.01 << 0.0 << 45.0 << QPointF(0, 0);
    QTest::newRow("chart south of the equator: west on the left")
        << C << -33.9 << 90.0 << 30.0 << QPointF(-300, 100);
    QTest::newRow("chart south of the equator: east on the right")
        << C << -33.9 << -90.0 << 30.0 << QPointF(300, 100);
}

void TestScene::projection()
{
    QFETCH(Type_Projection, type);
    QFETCH(double, latitude);
    QFETCH(double, azimut);
    QFETCH(double, hauteur);
    QFETCH(QPointF, point);
    const Projection p = projection_essai(type, latitude);
    const QPointF calcule = p.point(azimut, hauteur);
    QVERIFY2(QLineF(calcule, point).length() < ecart_geometrie,
             qPrintable(QStringLiteral("expected (%1, %2), got (%3, %4)")
                            .arg(point.x())
                            .arg(point.y())
                            .arg(calcule.x(), 0, 'g', 12)
                            .arg(calcule.y(), 0, 'g', 12)));
}

void TestScene::projectionAllerRetour_data()
{
    QTest::addColumn<Type_Projection>("type");
    QTest::addColumn<double>("latitude");

    QTest::newRow("polar equidistant") << Type_Projection::Equidistante << 45.0;
    QTest::newRow("polar stereographic") << Type_Projection::Stereographique << 45.0;
    QTest::newRow("chart, north of the equator") << Type_Projection::Cylindrique << 45.0;
    QTest::newRow("chart, south of the equator") << Type_Projection::Cylindrique << -45.0;
}

void TestScene::projectionAllerRetour()
{
    QFETCH(Type_Projection, type);
    QFETCH(double, latitude);
    const Projection p = projection_essai(type, latitude);
    // Every 7.5° of azimuth round the horizon, heights 0 to 89.9 (the zenith has no azimuth).
    for (double azimut = -180.0; azimut <= 180.0; azimut += 7.5) {
        for (const double hauteur : {0.0, 0.25, 10.0, 33.3, 60.0, 89.9}) {
            const Soleil::Point_Ciel lu = p.direction(p.point(azimut, hauteur));
            QVERIFY2(std::abs(ecart_azimut(lu.azimut, azimut)) < ecart_aller_retour_degres &&
                         std::abs(lu.hauteur - hauteur) < ecart_aller_retour_degres,
                     qPrintable(QStringLiteral("(%1, %2) read back as (%3, %4)")
                                    .arg(azimut)
                                    .arg(hauteur)
                                    .arg(lu.azimut, 0, 'g', 15)
                                    .arg(lu.hauteur, 0, 'g', 15)));
        }
    }
}

void TestScene::projectionSvgSurLaDeclinaison_data()
{
    QTest::addColumn<Type_Projection>("type");
    QTest::addColumn<double>("latitude");

    // The report page names the projection.
    QTest::addColumn<QString>("page");
    // The accurate sun with the limit courses and the hour lines, checked for the chart's sides
    // only: refraction and its own declination lift its course off the simple model's.
    QTest::addColumn<bool>("precis");

    QTest::newRow("polar equidistant")
        << Type_Projection::Equidistante << 45.0 << QStringLiteral("Polaire équidistante") << false;
    QTest::newRow("polar stereographic")
        << Type_Projection::Stereographique << 45.0 << "Polaire stéréographique" << false;
    QTest::newRow("chart, north of the equator")
        << Type_Projection::Cylindrique << 45.0 << "Cylindrique" << false;
    QTest::newRow("chart, south of the equator")
        << Type_Projection::Cylindrique << -35.0 << "Cylindrique" << false;
    // The sun 5° high at midnight: the course leaves the chart at one side and comes back at
    // the other.
    QTest::newRow("chart at 80 N, accurate sun, across the side edges")
        << Type_Projection::Cylindrique << 80.0 << "Cylindrique" << true;
}

void TestScene::projectionSvgSurLaDeclinaison()
{
    // The chosen date's course as the SVG writes it (the red path), read back through the
    // projection's inverse: sin δ = sin φ sin h + cos φ cos h cos A for every point.
    QFETCH(Type_Projection, type);
    QFETCH(double, latitude);
    QFETCH(QString, page);
    QFETCH(bool, precis);
    Description_Diagramme d;
    d.latitude = latitude;
    d.date_choisie = QDate(2026, 5, 1);
    d.options.projection = type;
    d.taille = QSize(1000, 700);
    d.modele = precis ? Modele_Soleil::precis : Modele_Soleil::simple;
    d.limites = d.heures = precis;
    Scene scene;
    ajuster_scene(scene, d.taille);
    dessiner_diagramme(scene, d);
    QTemporaryDir dossier;
    const QString chemin = dossier.filePath(QStringLiteral("course.svg"));
    QCOMPARE(legende_page(d, {}).projection, page);
    QVERIFY(exporter_diagramme(scene, d.taille, legende_page(d, {}), chemin));

    // On the chart a course or an hour line that goes out at one side comes back at the other:
    // no stroke of them runs across half the chart.
    const double demi_carte = scene.projection().cadre().width() / 2.0;
    for (const QGraphicsPathItem *trace : objets<QGraphicsPathItem>(scene)) {
        const QPainterPath &p =
            trace->brush().style() == Qt::NoBrush ? trace->path() : QPainterPath();
        for (int i = 1; i < p.elementCount() && !scene.projection().est_polaire(); ++i)
            QVERIFY2(!p.elementAt(i).isLineTo() ||
                         std::abs(p.elementAt(i).x - p.elementAt(i - 1).x) < demi_carte,
                     qPrintable(QStringLiteral("from (%1, %2) to (%3, %4)")
                                    .arg(p.elementAt(i - 1).x)
                                    .arg(p.elementAt(i - 1).y)
                                    .arg(p.elementAt(i).x)
                                    .arg(p.elementAt(i).y)));
    }

    const QVector<QPointF> points = points_trait_svg(chemin, QStringLiteral("#ff0000"));
    QVERIFY2(points.size() > 20, qPrintable(QString::number(points.size())));
    if (precis)
        return;
    const double delta = Soleil().declinaison(d.date_choisie.dayOfYear());
    const double phi = latitude * pi / 180;
    for (int i = 0; i < points.size(); ++i) {
        const Soleil::Point_Ciel ciel = scene.projection().direction(points[i]);
        const double h = ciel.hauteur * pi / 180;
        const double lu =
            std::asin(std::sin(phi) * std::sin(h) +
                      std::cos(phi) * std::cos(h) * std::cos(ciel.azimut * pi / 180)) *
            180 / pi;
        QVERIFY2(
            std::abs(lu - delta) < ecart_svg_degres,
            qPrintable(
                QStringLiteral("point %1: declination %2, expected %3").arg(i).arg(lu).arg(delta)));
    }
}

QTEST_MAIN(TestScene)
#include "tst_diagram.moc"
