// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// Horizon files: reading PVGIS and plain files, the three azimuth conventions, the rows given
// to the mask table and their thinning, the CSV written back, and the window's import.
//
// PVGIS's horizon output, as its horizon-profile tool documents it
// (https://joint-research-centre.ec.europa.eu/pvgis-online-tool/pvgis-tools/horizon-profile_lv):
// JSON "outputs": {"horizon_profile": [{"A": -180, "H_hor": 0}, ...]}; the CSV form has a
// latitude and longitude header, then columns A and H_hor (and the solstice sun positions)
// for 48 directions; A_hor 0° = S, 90° = W, -90° = E.
#include "app/fenetre_principale.h"
#include "horizon/dialogue_import_horizon.h"
#include "horizon/horizon.h"
#include "masks/ensoleillement.h"
#include "masks/points_masque.h"
#include "photo/horizon_photo.h"
#include "photo/photo.h"
#include "projection/projection.h"
#include "solar/soleil.h"
#include "tests/outils.h"
#include "tests/repondeur.h"

#include <QtTest>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QGraphicsPathItem>
#include <QGraphicsView>
#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTableView>
#include <QTemporaryDir>

namespace
{

// Angles computed from the same decimal values agree to this, degrees.
constexpr double tolerance_angle = 1e-9;

QString texte_points(const std::vector<QPointF> &points)
{
    QStringList t;
    for (const QPointF &p : points)
        t << QStringLiteral("(%1, %2)").arg(p.x()).arg(p.y());
    return t.join(QLatin1Char(' '));
}

bool memes_points(const std::vector<QPointF> &a, const QVector<QPointF> &b)
{
    if (int(a.size()) != b.size())
        return false;
    for (int k = 0; k < b.size(); ++k)
        if (std::abs(a[k].x() - b[k].x()) > tolerance_angle ||
            std::abs(a[k].y() - b[k].y()) > tolerance_angle)
            return false;
    return true;
}

// The table's rules accept these rows as they are.
bool valides(const std::vector<QPointF> &points)
{
    std::vector<Ligne_Masque> lignes;
    for (const QPointF &p : points)
        lignes.push_back({p.x(), p.y()});
    return points_masque(lignes).valide();
}

// The straight line through a profile's points at table azimuth `azimut`, closed from the last
// direction back to the first, 0 where it dips below the horizontal. Worked out by compass
// bearing, apart from the program's rows.
double sur_la_ligne(const QVector<QPointF> &points, Convention_Azimut convention, double azimut)
{
    const auto cap = [](double tableau) { return tableau <= 0 ? -tableau : 360.0 - tableau; };
    std::vector<QPointF> caps;
    for (const QPointF &p : points)
        caps.emplace_back(cap(azimut_vers_tableau(p.x(), convention)), p.y());
    // By direction, one direction keeping its highest point.
    std::sort(caps.begin(), caps.end(), [](const QPointF &a, const QPointF &b) {
        return a.x() < b.x() || (a.x() == b.x() && a.y() > b.y());
    });
    caps.erase(std::unique(caps.begin(), caps.end(),
                           [](const QPointF &a, const QPointF &b) { return a.x() == b.x(); }),
               caps.end());
    caps.insert(caps.begin(), QPointF(caps.back().x() - 360.0, caps.back().y()));
    caps.emplace_back(caps[1].x() + 360.0, caps[1].y());
    const double c = cap(azimut) + (cap(azimut) < caps.front().x() ? 360.0 : 0.0);
    std::size_t k = 1;
    while (caps[k].x() < c)
        ++k;
    const QPointF &a = caps[k - 1];
    const QPointF &b = caps[k];
    return std::max(0.0, a.y() + (b.y() - a.y()) * (c - a.x()) / (b.x() - a.x()));
}

// Hours of sun behind the line on day `jour` at `latitude`, the simple sun sampled every 5 s
// between its sunrise and sunset.
double masque_de_la_ligne(const QVector<QPointF> &points, Convention_Azimut convention, int jour,
                          double latitude)
{
    const Soleil soleil;
    const Soleil::Journee journee = soleil.journee(soleil.declinaison(jour), latitude);
    const double pas = 5.0 / 3600.0;
    double masque = 0.0;
    for (double t = soleil.heure_lever(jour, latitude) + pas / 2;
         t < soleil.heure_coucher(jour, latitude); t += pas) {
        const double angle = Soleil::angle_horaire(t);
        const double h = soleil.hauteur(journee, angle);
        const double azimut = soleil.azimut(journee, angle, h) * (angle < 0 ? -1.0 : 1.0);
        if (sur_la_ligne(points, convention, azimut) > std::max(h, 0.0))
            masque += pas;
    }
    return masque;
}

// A skyline of `n` directions from `depart` (compass bearing, degrees) every `pas` degrees,
// from a fixed seed: jagged, each height anywhere in 0..`haut`; or gentle, wandering by at most
// a degree from one direction to the next.
QVector<QPointF> profil_au_hasard(quint32 graine, int n, double depart, double pas, double haut,
                                  bool dentele)
{
    QRandomGenerator alea(graine);
    QVector<QPointF> points;
    double h = haut / 2;
    for (int k = 0; k < n; ++k) {
        h = dentele ? alea.bounded(haut) : std::clamp(h + alea.bounded(2.0) - 1.0, 0.0, haut);
        points << QPointF(std::fmod(depart + k * pas, 360.0), h);
    }
    return points;
}

// A synthetic sky photo's world, by compass bearing `b` (degrees, 0..360): a far ridge, two
// buildings, a hill, a tree line and a tall building, heights 3 to 45°. Its steps lie on half
// degrees, so that every whole bearing has one height.
double horizon_vrai(double b)
{
    constexpr double pi = 3.141592653589793;
    if (b < 0.5 || b >= 300.5)
        return 45.0;
    if (b < 30.5)
        return 3.0;
    if (b < 70.5)
        return 25.0;
    if (b < 100.5)
        return 40.0;
    if (b < 200.5)
        return 10.0 + 22.0 * std::pow(std::sin(pi * (b - 100.5) / 100.0), 2);
    return 18.0 + 4.0 * std::sin(2.0 * pi * b / 20.0);
}

// The angle between two directions, degrees.
double ecart_angulaire(double az1, double h1, double az2, double h2)
{
    constexpr double r = 3.141592653589793 / 180.0;
    const double c = std::sin(h1 * r) * std::sin(h2 * r) +
                     std::cos(h1 * r) * std::cos(h2 * r) * std::cos((az1 - az2) * r);
    return std::acos(std::clamp(c, -1.0, 1.0)) / r;
}

// Grey-white clouds (bearing, height, angular radius) and a magenta mark at a known direction
// (table azimuth, height): blue in both is high, as in the sky.
struct Nuage {
    double gisement, hauteur, rayon;
};
constexpr Nuage nuages[] = {{150.0, 60.0, 7.0}, {250.0, 38.0, 5.0}, {20.0, 30.0, 6.0}};
constexpr double marque_azimut = -60.0;
constexpr double marque_hauteur = 62.0;

// The colour seen in a direction: sky (a blue gradient), clouds, a thin branch above the trees
// (0.4° thick, too thin to last), the mark, and under the horizon the obstacles.
QRgb couleur_monde(double azimut, double hauteur)
{
    const double b = azimut <= 0.0 ? -azimut : 360.0 - azimut;
    if (hauteur < horizon_vrai(b)) {
        if (b >= 0.5 && b < 30.5)
            return qRgb(90, 100, 85);
        if (b < 100.5 || b >= 300.5)
            return qRgb(125, 100, 80);
        if (b < 200.5)
            return qRgb(70, 110, 50);
        return qRgb(30, 70, 30);
    }
    if (ecart_angulaire(azimut, hauteur, marque_azimut, marque_hauteur) < 1.0)
        return qRgb(255, 40, 255);
    for (const Nuage &n : nuages)
        if (ecart_angulaire(azimut, hauteur, -n.gisement, n.hauteur) < n.rayon)
            return qRgb(225, 225, 232);
    if (b > 220.0 && b < 240.0 && hauteur > 30.0 && hauteur < 30.4)
        return qRgb(40, 30, 20);
    const double bas = 1.0 - hauteur / 90.0;
    return qRgb(90 + 70 * bas, 140 + 50 * bas, 255 - 40 * bas);
}

// The world photographed through `calibration` on an image of `taille` pixels, each pixel the
// mean of 2 × 2 samples, with noise of ±8 from a fixed seed; black past the lens's disc of
// `champ` degrees.
QImage photo_synthetique(const Calibration_Photo &calibration, const QSize &taille, double champ)
{
    QImage image(taille, QImage::Format_RGB32);
    QRandomGenerator alea(20261208);
    for (int y = 0; y < taille.height(); ++y) {
        auto *ligne = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < taille.width(); ++x) {
            int r = 0, g = 0, b = 0;
            for (const double dy : {0.25, 0.75})
                for (const double dx : {0.25, 0.75}) {
                    const auto d = direction_pixel(calibration, taille, QPointF(x + dx, y + dy));
                    if (!d || 90.0 - d->hauteur > champ / 2.0)
                        continue;
                    const QRgb c = couleur_monde(d->azimut, d->hauteur);
                    r += qRed(c);
                    g += qGreen(c);
                    b += qBlue(c);
                }
            const int bruit = static_cast<int>(alea.bounded(17)) - 8;
            const auto canal = [bruit](int somme) {
                return somme == 0 ? 0 : std::clamp(somme / 4 + bruit, 0, 255);
            };
            ligne[x] = qRgb(canal(r), canal(g), canal(b));
        }
    }
    return image;
}

} // namespace

Q_DECLARE_METATYPE(Convention_Azimut)
Q_DECLARE_METATYPE(Calibration_Photo)

class TestHorizon : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void conversions_data();
    void conversions();
    void lecture_data();
    void lecture();
    void suitLaLigne_data();
    void suitLaLigne();
    void csvRelu_data();
    void csvRelu();
    void importDansLaFenetre();
    void photoDuCiel_data();
    void photoDuCiel();

private:
    QTemporaryDir reglages;
};

void TestHorizon::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    QVERIFY(reglages.isValid());
    reglages_dans(reglages.path());
}

void TestHorizon::cleanup()
{
    const auto fenetres = QApplication::topLevelWidgets();
    for (QWidget *w : fenetres)
        QVERIFY2(!w->isVisible(), qPrintable(w->objectName() + " was left open"));
}

void TestHorizon::conversions_data()
{
    QTest::addColumn<Convention_Azimut>("convention");
    QTest::addColumn<double>("azimut");
    QTest::addColumn<double>("tableau");
    QTest::addColumn<double>("retour");

    // The table: 0 north, east negative, ±180 south. Directions named by hand.
    const auto sud = Convention_Azimut::Sud;
    const auto nord = Convention_Azimut::Nord;
    const auto tab = Convention_Azimut::Tableau;
    QTest::newRow("PVGIS -90 is east") << sud << -90.0 << -90.0 << -90.0;
    QTest::newRow("PVGIS 0 is south") << sud << 0.0 << -180.0 << 0.0;
    QTest::newRow("PVGIS 90 is west") << sud << 90.0 << 90.0 << 90.0;
    QTest::newRow("PVGIS -45 is south-east") << sud << -45.0 << -135.0 << -45.0;
    QTest::newRow("PVGIS 135 is north-west") << sud << 135.0 << 45.0 << 135.0;
    QTest::newRow("PVGIS -180 is north") << sud << -180.0 << 0.0 << -180.0;
    QTest::newRow("PVGIS 180 is north") << sud << 180.0 << 0.0 << -180.0;
    QTest::newRow("bearing 270 is west") << nord << 270.0 << 90.0 << 270.0;
    QTest::newRow("bearing 90 is east") << nord << 90.0 << -90.0 << 90.0;
    QTest::newRow("bearing 180 is south") << nord << 180.0 << -180.0 << 180.0;
    QTest::newRow("bearing 200 is south-south-west") << nord << 200.0 << 160.0 << 200.0;
    QTest::newRow("bearing 360 is north") << nord << 360.0 << 0.0 << 0.0;
    QTest::newRow("table -30 stays") << tab << -30.0 << -30.0 << -30.0;
    QTest::newRow("table 180 is the south of the east half") << tab << 180.0 << -180.0 << -180.0;
}

void TestHorizon::conversions()
{
    QFETCH(Convention_Azimut, convention);
    QFETCH(double, azimut);
    QFETCH(double, tableau);
    QFETCH(double, retour);
    QCOMPARE(azimut_vers_tableau(azimut, convention), tableau);
    QCOMPARE(azimut_depuis_tableau(tableau, convention), retour);
}

void TestHorizon::lecture_data()
{
    QTest::addColumn<QByteArray>("contenu");
    QTest::addColumn<Convention_Azimut>("convention");
    QTest::addColumn<QVector<QPointF>>("points");
    QTest::addColumn<bool>("pvgis");
    QTest::addColumn<QString>("erreur");

    const auto nord = Convention_Azimut::Nord;
    const auto sud = Convention_Azimut::Sud;
    const auto tab = Convention_Azimut::Tableau;
    const QString lu;
    QTest::newRow("PVGIS JSON")
        << QByteArray("{\"inputs\": {\"location\": {\"latitude\": 45.809}}, \"outputs\": "
                      "{\"horizon_profile\": [{\"A\": -180, \"H_hor\": 1.5}, {\"A\": -172.5, "
                      "\"H_hor\": 2.3}], \"winter_solstice\": [{\"A_sun(w)\": -180}]}}")
        << nord << QVector<QPointF>{{-180, 1.5}, {-172.5, 2.3}} << true << lu;
    QTest::newRow("PVGIS text, tabs, legend after a blank line")
        << QByteArray(
               "Latitude (decimal degrees):\t45.809\nLongitude (decimal degrees):\t8.632\n"
               "\nA\tH_hor\tA_sun(w)\tH_sun(w)\tA_sun(s)\tH_sun(s)\n"
               "-180.0\t1.5\t-180.0\t0.0\t-180.0\t0.0\n-172.5\t2.3\t-172.5\t0.0\t-172.5\t0.0\n"
               "\nA: Azimuth (0 = S, 90 = W, -90 = E) (degree)\n")
        << tab << QVector<QPointF>{{-180, 1.5}, {-172.5, 2.3}} << true << lu;
    QTest::newRow("PVGIS CSV, commas, CRLF") << QByteArray("A,H_hor\r\n-90,3\r\n0,4.5\r\n") << nord
                                             << QVector<QPointF>{{-90, 3}, {0, 4.5}} << true << lu;
    QTest::newRow("semicolons, decimal commas, comments, header")
        << QByteArray("# relevé du 3 mai\nazimut;hauteur\n0;2,5\n90;10,25 # grange\n") << nord
        << QVector<QPointF>{{0, 2.5}, {90, 10.25}} << false << lu;
    QTest::newRow("spaces and tabs, no header")
        << QByteArray("-90 10\n\n-180   20\n90\t5\n") << tab
        << QVector<QPointF>{{-90, 10}, {-180, 20}, {90, 5}} << false << lu;
    QTest::newRow("byte order mark, commas") << QByteArray("\xEF\xBB\xBF"
                                                           "az,h\n10,5\n")
                                             << nord << QVector<QPointF>{{10, 5}} << false << lu;
    QTest::newRow("height -5 and 90, the limits")
        << QByteArray("10 -5\n20 90\n") << nord << QVector<QPointF>{{10, -5}, {20, 90}} << false
        << lu;

    const QVector<QPointF> aucun;
    QTest::newRow("empty file") << QByteArray() << nord << aucun << false
                                << "Le fichier ne contient aucun point d'horizon.";
    QTest::newRow("only a comment and a header")
        << QByteArray("# x\naz;h\n") << nord << aucun << false
        << "Le fichier ne contient aucun point d'horizon.";
    QTest::newRow("height 95") << QByteArray("10;95\n") << nord << aucun << false
                               << "Ligne 1 : la hauteur 95° sort des limites (de -5° à 90°).";
    QTest::newRow("height -6 on line 2")
        << QByteArray("10 5\n20 -6\n") << nord << aucun << false
        << "Ligne 2 : la hauteur -6° sort des limites (de -5° à 90°).";
    QTest::newRow("bearing 400")
        << QByteArray("400,5\n") << nord << aucun << false
        << "Ligne 1 : l'azimut 400° sort des limites de la convention « boussole : 0° au nord, "
           "90° à l'est, de 0° à 360° » (de 0° à 360°).";
    QTest::newRow("bearing -10") << QByteArray("-10,5\n") << nord << aucun << false
                                 << "Ligne 1 : l'azimut -10°";
    QTest::newRow("south-based -190")
        << QByteArray("-190,5\n") << sud << aucun << false << "Ligne 1 : l'azimut -190°";
    QTest::newRow("text in a height") << QByteArray("10;haut\n") << nord << aucun << false
                                      << "Ligne 1 : « haut » n'est pas un nombre.";
    QTest::newRow("a second header on line 3")
        << QByteArray("az;h\n10;5\nfoo;bar\n") << nord << aucun << false
        << "Ligne 3 : « foo » n'est pas un nombre.";
    QTest::newRow("NaN") << QByteArray("10;nan\n") << nord << aucun << false
                         << "Ligne 1 : « nan » n'est pas un nombre.";
    QTest::newRow("three columns") << QByteArray("10;5;7\n") << nord << aucun << false
                                   << "Ligne 1 : deux colonnes sont attendues (azimut, hauteur).";
    QTest::newRow("PVGIS text, text in A on line 3")
        << QByteArray("A\tH_hor\n-180\t1\nx\t2\n") << nord << aucun << true
        << "Ligne 3 : « x » n'est pas un nombre.";
    QTest::newRow("PVGIS JSON, a string height")
        << QByteArray("{\"outputs\": {\"horizon_profile\": [{\"A\": -180, \"H_hor\": 1}, {\"A\": "
                      "-172.5, \"H_hor\": \"2\"}]}}")
        << nord << aucun << true << "Point 2 du profil : A et H_hor doivent être des nombres.";
    QTest::newRow("PVGIS JSON, height 91")
        << QByteArray("{\"outputs\": {\"horizon_profile\": [{\"A\": -180, \"H_hor\": 91}]}}")
        << nord << aucun << true << "Point 1 du profil : la hauteur 91°";
    QTest::newRow("JSON without a profile")
        << QByteArray("{\"outputs\": {}}") << nord << aucun << false
        << "Le JSON n'a pas de profil d'horizon (outputs.horizon_profile).";
    QTest::newRow("broken JSON on line 2") << QByteArray("{\"outputs\":\n [") << nord << aucun
                                           << false << "Ligne 2 : le JSON est illisible";
    QTest::newRow("over 1 MB") << QByteArray(taille_max_horizon + 1, '#') << nord << aucun << false
                               << "Le fichier dépasse 1 Mo.";
}

void TestHorizon::lecture()
{
    QFETCH(QByteArray, contenu);
    QFETCH(Convention_Azimut, convention);
    QFETCH(QVector<QPointF>, points);
    QFETCH(bool, pvgis);
    QFETCH(QString, erreur);
    const Horizon_Lu lu = lire_horizon(contenu, convention);
    QVERIFY2(erreur.isEmpty() ? lu.erreur.isEmpty() : lu.erreur.startsWith(erreur),
             qPrintable(lu.erreur));
    QCOMPARE(lu.pvgis, pvgis);
    if (pvgis)
        QCOMPARE(lu.convention, Convention_Azimut::Sud);
    if (erreur.isEmpty())
        QVERIFY2(memes_points(lu.points, points), qPrintable(texte_points(lu.points)));
}

void TestHorizon::suitLaLigne_data()
{
    QTest::addColumn<QVector<QPointF>>("points");
    QTest::addColumn<Convention_Azimut>("convention");
    QTest::addColumn<int>("limite");
    // Whether the rows must thin the line out.
    QTest::addColumn<bool>("eclaircie");

    const auto nord = Convention_Azimut::Nord;
    QTest::newRow("35 from 150 to 170 between 2 at 140 and 180, sampled")
        << QVector<QPointF>{{140, 2}, {150, 35}, {170, 35}, {180, 2}} << nord << 500 << false;
    // A steep profile sampled every 7.5° as PVGIS samples it: up to 5° from one direction to
    // the next (fixed seed).
    QVector<QPointF> pvgis;
    QRandomGenerator alea(5);
    double h = 15.0;
    for (int k = 0; k < 48; ++k) {
        h = std::clamp(h + (alea.bounded(101) - 50) / 10.0, 0.0, 40.0);
        pvgis << QPointF(-180 + 7.5 * k, h);
    }
    QTest::newRow("steep PVGIS-style profile every 7.5")
        << pvgis << Convention_Azimut::Sud << 500 << false;
    QTest::newRow("below the horizontal in places")
        << QVector<QPointF>{{0, -5}, {90, 5}, {180, -5}, {270, 25}} << nord << 500 << false;
    QTest::newRow("east half only, all round")
        << QVector<QPointF>{{30, 10}, {170, 25}} << nord << 500 << false;
    QTest::newRow("west half only, all round")
        << QVector<QPointF>{{200, 10}, {330, 20}} << nord << 500 << false;
    QTest::newRow("north, east and south, all round")
        << QVector<QPointF>{{0, 5}, {90, 15}, {180, 5}} << nord << 500 << false;
    QTest::newRow("from the west across north to the east")
        << QVector<QPointF>{{270, 10}, {300, 30}, {20, 0}, {60, 40}} << nord << 500 << false;
    // 4.6 - 5 as a program computes it, a hair below -0.4.
    QTest::newRow("6 rows, down just below 0 at one end")
        << QVector<QPointF>{{180, 5.6}, {-149.7, 18.3}, {-141.8, 4.6 - 5}} << Convention_Azimut::Sud
        << 6 << true;
    QVector<QPointF> dents;
    for (int k = 0; k < 2000; ++k)
        dents << QPointF(k * 0.18, alea.bounded(600) / 10.0);
    QTest::newRow("2000 jagged directions thinned to 500 rows") << dents << nord << 500 << true;
    QTest::newRow("one direction twice, the higher first")
        << QVector<QPointF>{{0, -3}, {90, 6}, {90, 4}, {180, -1}, {270, 2}} << nord << 500 << false;
    // A gap just after north, 1024 directions before it.
    QVector<QPointF> au_nord;
    for (int k = 0; k < 1024; ++k)
        au_nord << QPointF(200 + k * 0.15, alea.bounded(600) / 10.0);
    au_nord << QPointF(0, 5);
    QTest::newRow("1025 directions ending on north") << au_nord << nord << 500 << true;

    // A constant 10° horizon sampled every 20° from 0° to 280°: the line from 280° back to 0°
    // closes it, 10° too: behind it at 45° on 21 June, 2.14 h of sun by the straight line
    // (the open sector left 1h04).
    QVector<QPointF> ferme;
    for (int cap = 0; cap <= 280; cap += 20)
        ferme << QPointF(cap, 10);
    QTest::newRow("10 every 20 from 0 to 280, closed from 280 to 0")
        << ferme << nord << 500 << false;
    // Seeded skylines, jagged and gentle, some with a wide gap.
    QTest::newRow("jagged every 5, seed 11")
        << profil_au_hasard(11, 72, 0, 5, 40, true) << nord << 500 << false;
    QTest::newRow("jagged every 2.5 from 30 to 327.5, seed 12")
        << profil_au_hasard(12, 120, 30, 2.5, 60, true) << nord << 500 << false;
    QTest::newRow("jagged every 0.8, 450 directions, seed 13")
        << profil_au_hasard(13, 450, 0.3, 0.8, 30, true) << nord << 500 << false;
    QTest::newRow("gentle every 7.5, seed 14")
        << profil_au_hasard(14, 48, 0, 7.5, 25, false) << nord << 500 << false;
    QTest::newRow("gentle every 1 from 200 round to 79, seed 15")
        << profil_au_hasard(15, 240, 200, 1, 35, false) << nord << 500 << false;
}

void TestHorizon::suitLaLigne()
{
    // The rows joined by straight lines against the test's own straight line through the
    // file's points, closed from the last direction back to the first: the same line unless
    // thinned, and then within the largest difference the import gives, which is the largest
    // difference at the file's directions (those files stay above the horizontal). Unthinned, the
    // sun's hours behind and above it at 45° on 21 February, March, June and December within 2
    // minutes of a count along the line.
    QFETCH(QVector<QPointF>, points);
    QFETCH(Convention_Azimut, convention);
    QFETCH(int, limite);
    QFETCH(bool, eclaircie);
    const std::vector<QPointF> profil(points.begin(), points.end());
    const Horizon_Ligne ligne = horizon_en_ligne(profil, convention, limite);
    QVERIFY2(valides(ligne.points), qPrintable(texte_points(ligne.points)));
    QVERIFY(int(ligne.points.size()) <= limite);
    QCOMPARE(ligne.eclaircie, eclaircie);
    const auto ecart_a = [&](double azimut) {
        return std::abs(hauteur_contour(ligne.points, azimut, Jonction_Masque::Ligne) -
                        sur_la_ligne(points, convention, azimut));
    };
    double ecart_fichier = 0.0;
    for (const QPointF &p : points)
        ecart_fichier = std::max(ecart_fichier, ecart_a(azimut_vers_tableau(p.x(), convention)));
    QVERIFY2(std::abs(ecart_fichier - ligne.ecart) <= tolerance_angle,
             qPrintable(QStringLiteral("%1 at the file's points, %2 given")
                            .arg(ecart_fichier)
                            .arg(ligne.ecart)));
    for (int k = 0; k < 7200; ++k) {
        const double azimut = -180.0 + (k + 0.5) * 0.05;
        QVERIFY2(
            ecart_a(azimut) <= ligne.ecart + tolerance_angle,
            qPrintable(QStringLiteral("at %1: %2 from the line").arg(azimut).arg(ecart_a(azimut))));
    }
    if (eclaircie)
        return;
    const double deux_minutes = 2.0 / 60.0;
    for (const int jour : {52, 80, 172, 355}) {
        const double masque = masque_de_la_ligne(points, convention, jour, 45.0);
        const double jour_entier =
            Soleil().heure_coucher(jour, 45.0) - Soleil().heure_lever(jour, 45.0);
        const Ensoleillement e =
            ensoleillement(Soleil(), jour, 45.0, ligne.points, Jonction_Masque::Ligne);
        QVERIFY2(std::abs(e.masque - masque) <= deux_minutes &&
                     std::abs(e.soleil_direct - (jour_entier - masque)) <= deux_minutes,
                 qPrintable(QStringLiteral("day %1: %2 h above, %3 h behind the rows; %4 h "
                                           "behind the line")
                                .arg(jour)
                                .arg(e.soleil_direct)
                                .arg(e.masque)
                                .arg(masque)));
    }
}

void TestHorizon::csvRelu_data()
{
    QTest::addColumn<Convention_Azimut>("convention");
    QTest::addColumn<QByteArray>("entete");
    // The closing row at north: at the end of the convention's range.
    QTest::addColumn<QByteArray>("fin");
    QTest::newRow("compass") << Convention_Azimut::Nord << QByteArray("azimut,hauteur\n")
                             << QByteArray("\n360,10\n");
    QTest::newRow("PVGIS") << Convention_Azimut::Sud << QByteArray("A,H_hor\n")
                           << QByteArray("\n180,10\n");
    QTest::newRow("table") << Convention_Azimut::Tableau << QByteArray("azimut,hauteur\n")
                           << QByteArray("\n0,10\n");
}

void TestHorizon::csvRelu()
{
    // The table written and read back in the same convention gives the same directions; its
    // closing row at north comes back as north, and the horizon imported again is the same
    // line through the same rows.
    QFETCH(Convention_Azimut, convention);
    QFETCH(QByteArray, entete);
    QFETCH(QByteArray, fin);
    const std::vector<QPointF> table = {{0, 10}, {-45.5, 12.25}, {-180, 3}, {170, 8}, {0, 10}};
    const QByteArray csv = horizon_csv(table, convention);
    QVERIFY(csv.startsWith(entete));
    QVERIFY2(csv.endsWith(fin), csv.constData());
    const Horizon_Lu lu = lire_horizon(csv, convention);
    QVERIFY2(lu.valide(), qPrintable(lu.erreur));
    QCOMPARE(lu.pvgis, convention == Convention_Azimut::Sud);
    QCOMPARE(lu.points.size(), table.size());
    for (std::size_t k = 0; k < table.size(); ++k) {
        QVERIFY(std::abs(azimut_vers_tableau(lu.points[k].x(), convention) -
                         azimut_vers_tableau(table[k].x(), Convention_Azimut::Tableau)) <=
                tolerance_angle);
        QCOMPARE(lu.points[k].y(), table[k].y());
    }
    const std::vector<QPointF> relue = masque_de_horizon(lu, lignes_masque_max).rangs.points;
    QVERIFY2(memes_points(relue, QVector<QPointF>(table.begin(), table.end())),
             qPrintable(texte_points(relue)));
}

void TestHorizon::importDansLaFenetre()
{
    // "Importer un horizon..." in the "Fichier" menu: the file dialog and the preview are
    // answered; the table holds the rows and the outline is drawn. A refused file leaves the
    // table as it was.
    QTemporaryDir dossier;
    const QString bon = dossier.filePath(QStringLiteral("horizon.json"));
    const QString mauvais = dossier.filePath(QStringLiteral("mauvais.csv"));
    {
        QFile f(bon);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("{\"outputs\": {\"horizon_profile\": [{\"A\": -180, \"H_hor\": 1}, {\"A\": -90, "
                "\"H_hor\": 2}, {\"A\": 0, \"H_hor\": 3}, {\"A\": 90, \"H_hor\": 4}, {\"A\": 180, "
                "\"H_hor\": 1}]}}");
        QFile g(mauvais);
        QVERIFY(g.open(QIODevice::WriteOnly));
        g.write("10;5\n20;95\n");
    }
    Fenetre_Principale fenetre;
    fenetre.show();
    QVERIFY(QTest::qWaitForWindowExposed(&fenetre));
    auto *action = fenetre.findChild<QAction *>(QStringLiteral("actionImporter_un_horizon"));
    auto *vue = fenetre.findChild<QTableView *>(QStringLiteral("tableView_masques"));
    auto *scene = fenetre.findChild<QGraphicsView *>(QStringLiteral("graphicsView"))->scene();
    QVERIFY(action && vue && scene);

    QString apercu;
    const auto repondre = [&apercu](const QString &chemin) {
        return [&apercu, chemin](QWidget *fenetre) {
            if (auto *fichiers = qobject_cast<QFileDialog *>(fenetre)) {
                choisir_fichier(fichiers, chemin);
            } else if (auto *dialogue = qobject_cast<Dialogue_Import_Horizon *>(fenetre)) {
                apercu = QString::number(dialogue->points_tableau().size());
                dialogue->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
            } else {
                fenetre->close();
            }
        };
    };
    {
        Repondeur repondeur{QStringList()};
        repondeur.autre_fenetre = repondre(bon);
        action->trigger();
        QVERIFY2(repondeur.erreurs.isEmpty(), qPrintable(repondeur.erreurs.join('\n')));
        QCOMPARE(repondeur.titres(), QStringList());
    }
    // The five PVGIS directions, north twice: the line through them, closed at north.
    const std::vector<QPointF> attendus = {{0, 1}, {-90, 2}, {-180, 3}, {90, 4}, {0, 1}};
    QCOMPARE(fenetre.findChild<QComboBox *>(QStringLiteral("combo_jonction"))->currentText(),
             QStringLiteral("en ligne droite"));
    QCOMPARE(apercu, QString::number(attendus.size()));
    QAbstractItemModel *modele = vue->model();
    QCOMPARE(modele->rowCount(), 6);
    for (int r = 0; r < int(attendus.size()); ++r) {
        QCOMPARE(modele->index(r, 0).data().toDouble(), attendus[r].x());
        QCOMPARE(modele->index(r, 1).data().toDouble(), attendus[r].y());
    }
    const auto contours = [scene] {
        int n = 0;
        for (QGraphicsItem *item : scene->items())
            if (auto *chemin = dynamic_cast<QGraphicsPathItem *>(item))
                n += chemin->brush().style() == Qt::SolidPattern &&
                             chemin->brush().color() == QColor(127, 127, 127)
                         ? 1
                         : 0;
        return n;
    };
    QCOMPARE(contours(), 1);
    // Kept: a new latitude draws it again.
    auto *conserver = fenetre.findChild<QCheckBox *>(QStringLiteral("check_conserver_masques"));
    QVERIFY(conserver->isChecked() && conserver->isEnabled());
    fenetre.findChild<QDoubleSpinBox *>(QStringLiteral("latitude"))->setValue(30.0);
    QCOMPARE(contours(), 1);
    QVERIFY(conserver->isChecked() && conserver->isEnabled());

    {
        Repondeur repondeur{QStringList{QStringLiteral("OK")}};
        repondeur.autre_fenetre = repondre(mauvais);
        action->trigger();
        QVERIFY2(repondeur.erreurs.isEmpty(), qPrintable(repondeur.erreurs.join('\n')));
        QCOMPARE(repondeur.titres_et_textes(),
                 QStringList{QStringLiteral("Attention! | Le fichier « mauvais.csv » est refusé : "
                                            "Ligne 2 : la hauteur 95° sort des limites (de -5° à "
                                            "90°).")});
    }
    QCOMPARE(modele->index(1, 0).data().toDouble(), attendus[1].x());

    // "Exporter l'horizon..." with the PVGIS filter writes the table in PVGIS's convention.
    const QString sortie = dossier.filePath(QStringLiteral("sortie"));
    {
        Repondeur repondeur{QStringList()};
        repondeur.autre_fenetre = [&sortie](QWidget *fenetre) {
            auto *fichiers = qobject_cast<QFileDialog *>(fenetre);
            QVERIFY(fichiers);
            // The name field may already have the focus here: the answer must not depend on it.
            QApplication::setActiveWindow(fichiers);
            QVERIFY(fichiers->focusWidget());
            fichiers->focusWidget()->setFocus();
            choisir_fichier(fichiers, sortie, fichiers->nameFilters().value(1));
        };
        fenetre.findChild<QAction *>(QStringLiteral("actionExporter_l_horizon"))->trigger();
        QVERIFY2(repondeur.erreurs.isEmpty(), qPrintable(repondeur.erreurs.join('\n')));
    }
    QFile ecrit(sortie + QStringLiteral(".csv"));
    QVERIFY(ecrit.open(QIODevice::ReadOnly));
    // North is -180 for PVGIS, east -90, south 0, west 90: the file's points; the closing row
    // at north ends the range at 180.
    const QByteArray csv = ecrit.readAll();
    QCOMPARE(csv, QByteArray("A,H_hor\n-180,1\n-90,2\n0,3\n90,4\n180,1\n"));

    // On a full disk the warning gives the cause, and no file is left.
    {
        Repondeur repondeur{QStringList{QStringLiteral("OK")}};
        repondeur.autre_fenetre = [&sortie](QWidget *fenetre) {
            if (auto *fichiers = qobject_cast<QFileDialog *>(fenetre))
                choisir_fichier(fichiers, sortie + QStringLiteral("_plein.csv"));
        };
        Disque_plein plein(0);
        fenetre.findChild<QAction *>(QStringLiteral("actionExporter_l_horizon"))->trigger();
        QVERIFY2(repondeur.erreurs.isEmpty(), qPrintable(repondeur.erreurs.join('\n')));
        QCOMPARE(repondeur.titres_et_textes(),
                 QStringList{QStringLiteral("Attention! | L'horizon n'a pu être enregistré dans "
                                            "« sortie_plein.csv » : le fichier dépasserait la "
                                            "taille permise.")});
    }
    QVERIFY(!QFileInfo::exists(sortie + QStringLiteral("_plein.csv")));
    // Hidden, not closed: closing a changed study asks about its changes.
    fenetre.hide();

    // Teeth of 40° every 3.6° thinned to 20 rows: the line kept strays up to the teeth's
    // height, which the preview gives. Points every 20° from 0° to 280°: the preview names the
    // gap that the line closes.
    QByteArray dents;
    for (int k = 0; k < 100; ++k)
        dents += QByteArray::number(k * 3.6) + ';' + QByteArray::number(k % 2 * 40) + '\n';
    const Dialogue_Import_Horizon serre(dents, QStringLiteral("dents.csv"), 20);
    const QString etat = serre.findChild<QLabel *>(QStringLiteral("label_etat"))->text();
    QVERIFY2(etat.contains(QStringLiteral("ramené à 20 lignes")) &&
                 etat.contains(QStringLiteral("de 40,00° au plus")),
             qPrintable(etat));
    QByteArray ouvert;
    for (int cap = 0; cap <= 280; cap += 20)
        ouvert += QByteArray::number(cap) + ";10\n";
    const Dialogue_Import_Horizon trou(ouvert, QStringLiteral("trou.csv"), 500);
    QVERIFY2(trou.findChild<QLabel *>(QStringLiteral("label_etat"))
                 ->text()
                 .endsWith(QStringLiteral("\nde 280° à 0° : aucun point, la ligne relie les "
                                          "deux bouts.")),
             qPrintable(trou.findChild<QLabel *>(QStringLiteral("label_etat"))->text()));
}

void TestHorizon::photoDuCiel_data()
{
    QTest::addColumn<Calibration_Photo>("calibration");
    QTest::addColumn<QSize>("taille");
    QTest::addColumn<double>("champ");

    const QSize carre(800, 760);
    int n = 0;
    const Prereglage_Objectif *prereglages = prereglages_objectifs(&n);
    // Each lens at its own rotation, mirrored as looking up unless said.
    const double nords[] = {0.0, 30.0, 137.0, 200.0, 290.0, 45.0, 315.0, 90.0};
    for (int i = 0; i < n; ++i) {
        const Prereglage_Objectif &p = prereglages[i];
        Calibration_Photo c;
        c.objectif = p.type;
        c.c1 = p.type == Type_Objectif::Polynome ? p.c1 : c.c1;
        c.c2 = p.c2;
        c.c3 = p.c3;
        c.nord = nords[i % 8];
        c.miroir = p.type != Type_Objectif::Panorama;
        c.centre = QPointF(400.3, 378.7);
        c.rayon = 345.0;
        const QSize taille = c.panorama() ? QSize(1080, 540) : carre;
        QTest::newRow(qPrintable(QStringLiteral("%1, top at %2°").arg(p.libelle).arg(c.nord)))
            << c << taille << p.champ;
    }
    Calibration_Photo droit;
    droit.objectif = Type_Objectif::Equisolide;
    droit.centre = QPointF(390.0, 380.0);
    droit.rayon = 370.0;
    droit.nord = 250.0;
    droit.miroir = false;
    QTest::newRow("equisolid seen from above, top at 250°") << droit << carre << 180.0;
    Calibration_Photo panorama_miroir;
    panorama_miroir.objectif = Type_Objectif::Panorama;
    panorama_miroir.nord = 170.0;
    panorama_miroir.miroir = true;
    QTest::newRow("mirrored panorama, left edge at 170°")
        << panorama_miroir << QSize(1080, 540) << 360.0;
}

void TestHorizon::photoDuCiel()
{
    QFETCH(Calibration_Photo, calibration);
    QFETCH(QSize, taille);
    QFETCH(double, champ);
    const QImage photo = photo_synthetique(calibration, taille, champ);

    // Traced with Otsu's threshold, against the world's line, away from the clouds' bearings.
    constexpr double rms_max = 0.5;
    constexpr double ecart_max = 1.5;
    const std::vector<double> trace =
        tracer_horizon(photo, calibration, seuil_otsu(photo, calibration));
    QCOMPARE(int(trace.size()), 360);
    double somme = 0.0, pire = 0.0;
    int comptes = 0, pire_gisement = -1;
    for (int g = 0; g < 360; ++g) {
        bool sous_nuage = false;
        for (const Nuage &nuage : nuages)
            sous_nuage |= std::abs(std::remainder(g - nuage.gisement, 360.0)) < 12.0;
        if (sous_nuage)
            continue;
        const double ecart = std::abs(trace[g] - horizon_vrai(g));
        somme += ecart * ecart;
        ++comptes;
        if (ecart > pire) {
            pire = ecart;
            pire_gisement = g;
        }
    }
    const double rms = std::sqrt(somme / comptes);
    QVERIFY2(comptes > 250 && rms <= rms_max && pire <= ecart_max,
             qPrintable(QStringLiteral("rms %1°, worst %2° at bearing %3: traced %4°, true %5°")
                            .arg(rms)
                            .arg(pire)
                            .arg(pire_gisement)
                            .arg(trace[std::max(0, pire_gisement)])
                            .arg(horizon_vrai(std::max(0, pire_gisement)))));

    // The mark laid under each projection lands within a pixel of its direction: the centroid
    // of its magenta (red over green) in a window round where the projection puts it.
    const Projection projections[] = {Projection::polaire(Type_Projection::Equidistante, 600),
                                      Projection::polaire(Type_Projection::Stereographique, 600),
                                      Projection::cylindrique(QSizeF(900, 400), 45.0, 90.0)};
    for (const Projection &projection : projections) {
        const QImage calque = calque_photo(photo, calibration, projection, 1.0);
        const QPointF attendu =
            projection.point(marque_azimut, marque_hauteur) - projection.cadre().topLeft();
        double poids = 0.0, sx = 0.0, sy = 0.0;
        for (int y = int(attendu.y()) - 20; y <= int(attendu.y()) + 20; ++y)
            for (int x = int(attendu.x()) - 20; x <= int(attendu.x()) + 20; ++x) {
                const QRgb c = calque.pixel(x, y);
                const double w = std::max(0, qRed(c) - qGreen(c) - 40);
                poids += w;
                sx += w * (x + 0.5);
                sy += w * (y + 0.5);
            }
        QVERIFY2(poids > 0.0, qPrintable(nom_projection(projection.type())));
        const QPointF vu(sx / poids, sy / poids);
        QVERIFY2(std::hypot(vu.x() - attendu.x(), vu.y() - attendu.y()) <= 1.0,
                 qPrintable(QStringLiteral("%1: the mark at (%2, %3), expected (%4, %5)")
                                .arg(nom_projection(projection.type()))
                                .arg(vu.x())
                                .arg(vu.y())
                                .arg(attendu.x())
                                .arg(attendu.y())));
    }
}

QTEST_MAIN(TestHorizon)
#include "tst_horizon.moc"
