// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// The solar model against worked values. The expected numbers come from the formulas done by
// hand (or with a desk calculator, in double precision) and are quoted in the row names or in
// the comments.
#include "solar/soleil.h"

#include <QtTest>

#include <algorithm>
#include <cmath>

namespace
{
// Angles compared to a hundredth of a degree unless a row says otherwise.
constexpr double toleranceDegres = 0.01;
// Times are rounded to the hundredth of an hour by the model itself: compare them exactly up
// to the representation error of a decimal in a double.
constexpr double toleranceHeures = 1e-9;
// Scene coordinates.
constexpr double toleranceScene = 1e-9;

QString ecart(double attendu, double obtenu)
{
    return QStringLiteral("expected %1, got %2").arg(attendu, 0, 'g', 17).arg(obtenu, 0, 'g', 17);
}
} // namespace

class TestSoleil : public QObject
{
    Q_OBJECT

private slots:
    void arrondis_data();
    void arrondis();
    void declinaison_data();
    void declinaison();
    void leverCoucher_data();
    void leverCoucher();
    void angleHoraire_data();
    void angleHoraire();
    void projection_data();
    void projection();
    void matinEtApresMidiSymetriques();
    void azimutSurLeMeridienEtAuZenith_data();
    void azimutSurLeMeridienEtAuZenith();
    void hauteurNonBornee();
    void journeeDonneLesMemesValeurs();
};

void TestSoleil::arrondis_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<int>("decimales");
    QTest::addColumn<double>("arrondi");
    QTest::addColumn<double>("arrondiSup");

    // arrondi = floor(p·x + 0.5)/p, arrondi_sup = ceil(p·x + 0.5)/p with p = 10^n.
    QTest::newRow("6.121 to 2 decimals") << 6.121 << 2 << 6.12 << 6.13;
    QTest::newRow("6.125 on the half unit") << 6.125 << 2 << 6.13 << 6.13;
    QTest::newRow("6.0 whole: ceiling one unit above") << 6.0 << 2 << 6.0 << 6.01;
    QTest::newRow("negative -1.234") << -1.234 << 2 << -1.23 << -1.22;
    QTest::newRow("no decimals 2.5") << 2.5 << 0 << 3.0 << 3.0;
    QTest::newRow("one decimal 7.94") << 7.94 << 1 << 7.9 << 8.0;
}

void TestSoleil::arrondis()
{
    QFETCH(double, x);
    QFETCH(int, decimales);
    QFETCH(double, arrondi);
    QFETCH(double, arrondiSup);
    const double a = Soleil::arrondi(x, decimales);
    const double s = Soleil::arrondi_sup(x, decimales);
    QVERIFY2(std::abs(a - arrondi) < toleranceHeures, qPrintable(ecart(arrondi, a)));
    QVERIFY2(std::abs(s - arrondiSup) < toleranceHeures, qPrintable(ecart(arrondiSup, s)));
}

void TestSoleil::declinaison_data()
{
    QTest::addColumn<int>("jour");
    QTest::addColumn<double>("attendu");
    QTest::addColumn<double>("tolerance");

    // −23.45 · sin(2π (N + 101) / 365.25): extremes on days 173 and 356.
    QTest::newRow("June solstice, day 173") << 173 << 23.45 << 0.005;
    QTest::newRow("December solstice, day 356") << 356 << -23.45 << 0.005;
    QTest::newRow("March, day 80") << 80 << -0.655 << 0.001;
    QTest::newRow("day 172") << 172 << 23.447 << 0.001;
    QTest::newRow("1 January") << 1 << -23.0548 << 0.001;
    QTest::newRow("day 366") << 366 << -23.0730 << 0.001;
}

void TestSoleil::declinaison()
{
    QFETCH(int, jour);
    QFETCH(double, attendu);
    QFETCH(double, tolerance);
    const double d = Soleil().declinaison(jour);
    QVERIFY2(std::abs(d - attendu) < tolerance, qPrintable(ecart(attendu, d)));
}

void TestSoleil::leverCoucher_data()
{
    QTest::addColumn<int>("jour");
    QTest::addColumn<double>("latitude");
    QTest::addColumn<double>("lever");
    QTest::addColumn<double>("coucher");

    QTest::newRow("45N June, day 172") << 172 << 45.0 << 4.30 << 19.71;
    QTest::newRow("45N December, day 356") << 356 << 45.0 << 7.72 << 16.29;
    // At the equator H0 = 90° every day: 12 − 6 = 6.00 rounds up to 6.01, sunset 18.00.
    QTest::newRow("equator, day 1") << 1 << 0.0 << 6.01 << 18.0;
    QTest::newRow("equator, day 200") << 200 << 0.0 << 6.01 << 18.0;
    // |tan φ · tan δ| > 1: polar day and polar night give the same times.
    QTest::newRow("70N polar day, day 172") << 172 << 70.0 << 0.0 << 24.0;
    QTest::newRow("70N polar night, day 1") << 1 << 70.0 << 0.0 << 24.0;
    QTest::newRow("70S polar night, day 172") << 172 << -70.0 << 0.0 << 24.0;
    QTest::newRow("north pole") << 100 << 90.0 << 0.0 << 24.0;
    // Southern hemisphere mirrors the northern one on the same day.
    QTest::newRow("45S June, day 172") << 172 << -45.0 << 7.72 << 16.29;
}

void TestSoleil::leverCoucher()
{
    QFETCH(int, jour);
    QFETCH(double, latitude);
    QFETCH(double, lever);
    QFETCH(double, coucher);
    const Soleil soleil;
    const double l = soleil.heure_lever(jour, latitude);
    const double c = soleil.heure_coucher(jour, latitude);
    QVERIFY2(std::abs(l - lever) < toleranceHeures, qPrintable("sunrise " + ecart(lever, l)));
    QVERIFY2(std::abs(c - coucher) < toleranceHeures, qPrintable("sunset " + ecart(coucher, c)));
}

void TestSoleil::angleHoraire_data()
{
    QTest::addColumn<double>("heure");
    QTest::addColumn<double>("angle");
    QTest::newRow("noon") << 12.0 << 0.0;
    QTest::newRow("6 h, morning negative") << 6.0 << -90.0;
    QTest::newRow("18 h, afternoon positive") << 18.0 << 90.0;
    QTest::newRow("midnight") << 0.0 << -180.0;
    QTest::newRow("13.5 h") << 13.5 << 22.5;
}

void TestSoleil::angleHoraire()
{
    QFETCH(double, heure);
    QFETCH(double, angle);
    QCOMPARE(Soleil::angle_horaire(heure), angle);
}

void TestSoleil::projection_data()
{
    QTest::addColumn<int>("diametre");
    QTest::addColumn<double>("azimut");
    QTest::addColumn<double>("hauteur");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");

    QTest::newRow("north on the horizon, top") << 540 << 0.0 << 0.0 << 0.0 << -270.0;
    QTest::newRow("west on the horizon, left") << 540 << 90.0 << 0.0 << -270.0 << 0.0;
    QTest::newRow("east on the horizon, right") << 540 << -90.0 << 0.0 << 270.0 << 0.0;
    QTest::newRow("south at 45 degrees") << 540 << 180.0 << 45.0 << 0.0 << 135.0;
    QTest::newRow("zenith at the centre") << 540 << 123.0 << 90.0 << 0.0 << 0.0;
    QTest::newRow("below the horizon falls outside") << 540 << 0.0 << -9.0 << 0.0 << -297.0;
    QTest::newRow("diameter 560, south-east at 30")
        << 560 << -135.0 << 30.0 << 560.0 / 3.0 * std::sqrt(0.5) << 560.0 / 3.0 * std::sqrt(0.5);
}

void TestSoleil::projection()
{
    QFETCH(int, diametre);
    QFETCH(double, azimut);
    QFETCH(double, hauteur);
    QFETCH(double, x);
    QFETCH(double, y);
    const Soleil soleil;
    const double px = soleil.projection_x(diametre, azimut, hauteur);
    const double py = soleil.projection_y(diametre, azimut, hauteur);
    QVERIFY2(std::abs(px - x) < toleranceScene, qPrintable("x " + ecart(x, px)));
    QVERIFY2(std::abs(py - y) < toleranceScene, qPrintable("y " + ecart(y, py)));
}

void TestSoleil::matinEtApresMidiSymetriques()
{
    // φ = 45, N = 172: 9 h and 15 h give the same altitude (≈ 47.74) and the same unsigned
    // azimuth (≈ 105.29); the caller's sign puts 9 h on the east (right) side.
    const Soleil soleil;
    const double d = soleil.declinaison(172);
    const double hMatin = soleil.hauteur(d, 45.0, Soleil::angle_horaire(9.0));
    const double hSoir = soleil.hauteur(d, 45.0, Soleil::angle_horaire(15.0));
    QVERIFY2(std::abs(hMatin - 47.74) < toleranceDegres, qPrintable(ecart(47.74, hMatin)));
    QVERIFY2(std::abs(hMatin - hSoir) < 1e-9, qPrintable(ecart(hMatin, hSoir)));
    const double aMatin = soleil.azimut(d, 45.0, Soleil::angle_horaire(9.0), hMatin);
    const double aSoir = soleil.azimut(d, 45.0, Soleil::angle_horaire(15.0), hSoir);
    QVERIFY2(std::abs(aMatin - 105.29) < toleranceDegres, qPrintable(ecart(105.29, aMatin)));
    QVERIFY2(std::abs(aMatin - aSoir) < 1e-9, qPrintable(ecart(aMatin, aSoir)));
    QVERIFY(soleil.projection_x(540, -aMatin, hMatin) > 0);
    QVERIFY(soleil.projection_x(540, aSoir, hSoir) < 0);
}

void TestSoleil::azimutSurLeMeridienEtAuZenith_data()
{
    QTest::addColumn<int>("jour");
    QTest::addColumn<double>("latitude");
    QTest::addColumn<double>("azimut");

    // At solar noon the sun is due south (180) or due north (0). On these samples rounding
    // puts the cosine of the azimuth just outside [−1, 1] (−1.0000000000000002 on day 7 at
    // 45N; −1.00002 at the zenith at 23.45N on day 173, where cos h is almost 0).
    QTest::newRow("noon at 45N, day 7") << 7 << 45.0 << 180.0;
    QTest::newRow("noon at 45N, day 172") << 172 << 45.0 << 180.0;
    QTest::newRow("zenith at 23.45N, day 173") << 173 << 23.45 << 180.0;
    QTest::newRow("noon at 45S, day 172, sun north") << 172 << -45.0 << 0.0;
}

void TestSoleil::azimutSurLeMeridienEtAuZenith()
{
    QFETCH(int, jour);
    QFETCH(double, latitude);
    QFETCH(double, azimut);
    const Soleil soleil;
    const double d = soleil.declinaison(jour);
    const double h = soleil.hauteur(d, latitude, 0.0);
    const double a = soleil.azimut(d, latitude, 0.0, h);
    QVERIFY2(std::isfinite(a), qPrintable(ecart(azimut, a)));
    QVERIFY2(std::abs(a - azimut) < 0.1, qPrintable(ecart(azimut, a)));
    QVERIFY(std::isfinite(soleil.projection_x(540, a, h)));
    QVERIFY(std::isfinite(soleil.projection_y(540, a, h)));
}

void TestSoleil::hauteurNonBornee()
{
    // The altitude is not clamped: midnight in the polar night is well below the horizon, and
    // a NaN altitude gives a NaN azimuth that the drawing counts as below the horizon.
    const Soleil soleil;
    const double h = soleil.hauteur(soleil.declinaison(356), 70.0, 180.0);
    // h = asin(sin δ sin φ − cos δ cos φ) = −(90 − (φ + δ)) with δ ≈ −23.45: −43.45.
    QVERIFY2(std::abs(h - (-43.45)) < toleranceDegres, qPrintable(ecart(-43.45, h)));
    QVERIFY(std::isnan(soleil.azimut(10.0, 45.0, 30.0, std::nan(""))));
}

void TestSoleil::journeeDonneLesMemesValeurs()
{
    // A course computes the day's sines and cosines once; its positions must equal, to the
    // bit, those of the formulas written out in full:
    //   h = asin(sin δ sin φ + cos δ cos φ cos H)
    //   A = acos(clamp((sin δ cos φ − cos δ sin φ cos H) / cos h, −1, 1))
    const Soleil soleil;
    const double pi = soleil.pi();
    const auto rad = [pi](double x) { return x * pi / 180.0; };
    const auto memeValeur = [](double a, double b) {
        return (std::isnan(a) && std::isnan(b)) || a == b;
    };
    int comparaisons = 0;
    for (int jour = 1; jour <= 366; jour += 5) {
        const double d = soleil.declinaison(jour);
        for (double latitude = -90.0; latitude <= 90.0; latitude += 7.25) {
            const Soleil::Journee j = soleil.journee(d, latitude);
            for (double t = 0.0; t <= 24.0; t += 0.37) {
                const double angle = Soleil::angle_horaire(t);
                const double h =
                    std::asin(std::sin(rad(d)) * std::sin(rad(latitude)) +
                              std::cos(rad(d)) * std::cos(rad(latitude)) * std::cos(rad(angle))) *
                    180.0 / pi;
                const double c =
                    (std::sin(rad(d)) * std::cos(rad(latitude)) -
                     std::cos(rad(d)) * std::sin(rad(latitude)) * std::cos(rad(angle))) /
                    std::cos(rad(h));
                const double a = std::acos(std::clamp(c, -1.0, 1.0)) * 180.0 / pi;
                const double hj = soleil.hauteur(j, angle);
                const double aj = soleil.azimut(j, angle, hj);
                QVERIFY2(memeValeur(h, hj), qPrintable(ecart(h, hj)));
                QVERIFY2(memeValeur(a, aj), qPrintable(ecart(a, aj)));
                QVERIFY2(memeValeur(h, soleil.hauteur(d, latitude, angle)),
                         qPrintable(ecart(h, hj)));
                ++comparaisons;
            }
        }
    }
    QVERIFY(comparaisons > 10000);
}

QTEST_APPLESS_MAIN(TestSoleil)
#include "tst_solar.moc"
