// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "solar/soleil_precis.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <vector>

namespace
{
constexpr double secondes_par_jour = 86400.0;
// Julian date of 1970-01-01T00:00:00Z.
constexpr double jd_epoque_posix = 2440587.5;
constexpr double degres_par_radian = 180.0 / 3.14159265358979323846;

// ERFA takes UTC as a two-part quasi Julian date: whole days and the fraction.
void jour_julien(double instant, double &jd1, double &jd2)
{
    const double jours = std::floor(instant / secondes_par_jour);
    jd1 = jd_epoque_posix + jours;
    jd2 = (instant - jours * secondes_par_jour) / secondes_par_jour;
}

// Program azimuth from ERFA's (radians from north through east, 0..2π).
double azimut_programme(double aob)
{
    const double a = aob * degres_par_radian;
    return a <= 180.0 ? -a : 360.0 - a;
}

// Sampling step of the rise and set search: shorter than any day's stay above or below the
// horizon except the few minutes at the very edge of a polar day, which the refinement of the
// highest and lowest samples catches.
constexpr double pas_recherche = 600.0;
// Below this true altitude (degrees) nothing of the sun is seen and no refraction is added. It
// lies a little under the altitude of sunrise so that the first and last points of a course,
// found on either side of that altitude, are refracted alike.
constexpr double hauteur_refraction_nulle = -1.0;
// The searches end within this many seconds of the crossing.
constexpr double precision_recherche = 0.5;
// Bounds on the unrefracted altitude: within one frame it moves at most this many degrees a
// second (the Earth turns 15.04° an hour, and the altitude moves at most that times the
// cosine of the latitude; the sun's own course adds 0.04° an hour), and two neighbouring
// frames differ by at most this many degrees (each within 0.005° of a full computation).
constexpr double montee_max_par_seconde = 16.0 / 3600.0;
constexpr double saut_max_entre_reperes = 0.05;
} // namespace

namespace
{
// What a frame takes from the instant alone: the time scales, Earth's orbit, precession and
// nutation. Nearly all of a frame's cost, and the same for every place.
struct Termes_Instant {
    double u1 = 0.0;
    double u2 = 0.0;
    double tt1 = 0.0;
    double tt2 = 0.0;
    double pvh[2][3] = {};
    double pvb[2][3] = {};
    double x = 0.0;
    double y = 0.0;
    double s = 0.0;
    double theta = 0.0;
    bool valide = false;
};

Termes_Instant calculer_termes(double instant)
{
    Termes_Instant t;
    jour_julien(instant, t.u1, t.u2);
    double tai1 = 0.0, tai2 = 0.0;
    // Status +1 (a date past the leap-second table, or before 1960) is still usable; −1 is not.
    if (eraUtctai(t.u1, t.u2, &tai1, &tai2) < 0 || eraTaitt(tai1, tai2, &t.tt1, &t.tt2) != 0)
        return t;
    // Earth's barycentric and heliocentric position and velocity (TDB taken as TT: 2 ms).
    eraEpv00(t.tt1, t.tt2, t.pvh, t.pvb);
    // Precession and nutation IAU 2000B (1 mas), then the CIO locator.
    double rbpn[3][3];
    eraPnm00b(t.tt1, t.tt2, rbpn);
    eraBpn2xy(rbpn, &t.x, &t.y);
    t.s = eraS00(t.tt1, t.tt2, t.x, t.y);
    t.theta = eraEra00(t.u1, t.u2);
    t.valide = true;
    return t;
}

// A diagram asks for the same instants at every latitude (the noons of its year, the bounds of
// its solar days), so they are kept: a change of latitude computes none again. The memory is
// dropped whole once it holds a few years of instants, as after changes of year or longitude.
const Termes_Instant &termes_instant(double instant)
{
    constexpr std::size_t instants_gardes = 4096;
    thread_local std::unordered_map<double, Termes_Instant> memoire;
    const auto trouve = memoire.find(instant);
    if (trouve != memoire.end())
        return trouve->second;
    if (memoire.size() >= instants_gardes)
        memoire.clear();
    return memoire.emplace(instant, calculer_termes(instant)).first->second;
}
} // namespace

Soleil_Precis::Repere Soleil_Precis::repere(double instant, double latitude, double longitude) const
{
    Repere r;
    r.reference = instant;
    const Termes_Instant &t = termes_instant(instant);
    if (!t.valide)
        return r;
    r.tt_moins_utc = (t.tt1 - t.u1) + (t.tt2 - t.u2);
    // No refraction here (the coefficients are zero): the refraction of the horizon is added
    // to the altitude afterwards, with a formula that holds down to the horizon.
    // ERFA takes its inputs through non-const pointers.
    double pvb[2][3];
    double ph[3];
    std::copy(&t.pvb[0][0], &t.pvb[0][0] + 6, &pvb[0][0]);
    std::copy(t.pvh[0], t.pvh[0] + 3, ph);
    eraApco(t.tt1, t.tt2, pvb, ph, t.x, t.y, t.s, t.theta, longitude / degres_par_radian,
            latitude / degres_par_radian, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, &r.astrom);

    // Observer to sun: the sun's barycentric position (Earth's barycentric minus heliocentric)
    // minus the observer's. Its rate is that of Earth around the sun.
    for (int i = 0; i < 3; ++i) {
        r.soleil[i] = t.pvb[0][i] - t.pvh[0][i] - r.astrom.eb[i];
        r.vitesse[i] = -t.pvh[1][i];
    }
    r.valide = true;
    return r;
}

Soleil_Precis::Position Soleil_Precis::position(const Repere &repere, double instant) const
{
    Position p;
    if (!repere.valide) {
        p.azimut = p.hauteur = p.hauteur_geometrique = p.angle_horaire =
            std::numeric_limits<double>::quiet_NaN();
        return p;
    }
    const double dt = (instant - repere.reference) / secondes_par_jour;
    double vers[3];
    for (int i = 0; i < 3; ++i)
        vers[i] = repere.soleil[i] + repere.vitesse[i] * dt;
    double distance = 0.0;
    double unite[3];
    eraPn(vers, &distance, unite);

    // Annual aberration, then the celestial intermediate frame.
    eraASTROM astrom = repere.astrom;
    double apparente[3];
    eraAb(unite, astrom.v, distance, astrom.bm1, apparente);
    double intermediaire[3];
    eraRxp(astrom.bpn, apparente, intermediaire);
    double ri = 0.0, di = 0.0;
    eraC2s(intermediaire, &ri, &di);

    // Earth's rotation angle at the instant, then the local horizon.
    double u1 = 0.0, u2 = 0.0;
    jour_julien(instant, u1, u2);
    eraAper13(u1, u2, &astrom);
    double aob = 0.0, zob = 0.0, hob = 0.0, dob = 0.0, rob = 0.0;
    eraAtioq(eraAnp(ri), di, &astrom, &aob, &zob, &hob, &dob, &rob);

    p.azimut = azimut_programme(aob);
    p.hauteur_geometrique = 90.0 - zob * degres_par_radian;
    p.hauteur = p.hauteur_geometrique + refraction(p.hauteur_geometrique);
    p.angle_horaire = eraAnpm(hob) * degres_par_radian;
    return p;
}

Soleil_Precis::Position Soleil_Precis::position(double instant, double latitude,
                                                double longitude) const
{
    return position(repere(instant, latitude, longitude), instant);
}

double Soleil_Precis::refraction(double hauteur_vraie)
{
    if (!(hauteur_vraie >= hauteur_refraction_nulle))
        return 0.0;
    // R = 1.02' / tan(h + 10.3 / (h + 5.11)), h in degrees.
    const double argument = (hauteur_vraie + 10.3 / (hauteur_vraie + 5.11)) / degres_par_radian;
    return 1.02 / std::tan(argument) / 60.0;
}

Soleil_Precis::Lever_Coucher Soleil_Precis::lever_coucher(double debut, double fin, double latitude,
                                                          double longitude) const
{
    Lever_Coucher resultat;
    if (!(fin > debut))
        return resultat;
    // One frame per day of the window, the one nearest each sample.
    std::vector<Repere> reperes;
    for (double t = debut + secondes_par_jour / 2; t - secondes_par_jour / 2 < fin;
         t += secondes_par_jour)
        reperes.push_back(repere(t, latitude, longitude));
    const auto ecart = [&](double t) {
        const auto i =
            std::min(reperes.size() - 1,
                     static_cast<std::size_t>(std::max(0.0, (t - debut)) / secondes_par_jour));
        return position(reperes[i], t).hauteur_geometrique - hauteur_lever_coucher;
    };

    const int n = std::max(2, static_cast<int>(std::ceil((fin - debut) / pas_recherche)));
    const double pas = (fin - debut) / n;
    std::vector<double> temps(n + 1);
    for (int i = 0; i <= n; ++i)
        temps[i] = debut + i * pas;

    // Crossing between a and b, where the signs differ: bisection.
    const auto croisement = [&](double a, double va, double b) {
        while (b - a > precision_recherche) {
            const double m = (a + b) / 2;
            const double vm = ecart(m);
            if ((vm >= 0) == (va >= 0)) {
                a = m;
                va = vm;
            } else {
                b = m;
            }
        }
        return (a + b) / 2;
    };
    // Extremum of the altitude in [a, b] (golden section), for the brief appearances and
    // disappearances of the sun that fall between two samples.
    const auto extremum = [&](double a, double b, bool maximum) {
        const double or_ = (std::sqrt(5.0) - 1) / 2;
        double c = b - or_ * (b - a);
        double d = a + or_ * (b - a);
        double vc = ecart(c);
        double vd = ecart(d);
        while (b - a > precision_recherche) {
            if ((vc > vd) == maximum) {
                b = d;
                d = c;
                vd = vc;
                c = b - or_ * (b - a);
                vc = ecart(c);
            } else {
                a = c;
                c = d;
                vc = vd;
                d = a + or_ * (b - a);
                vd = ecart(d);
            }
        }
        return (a + b) / 2;
    };

    // A day whose sun rises well above the horizon and sets well below it: the samples' signs
    // are all that the result depends on, and most follow from an evaluated neighbour's value
    // through the bounds above. The highest and lowest points, refined below only to catch a
    // short stay above or below the horizon, then lie among samples of their own sign.
    const double saut = saut_max_entre_reperes * static_cast<double>(reperes.size());
    const double marge = montee_max_par_seconde * pas + saut;
    std::vector<double> valeurs(n + 1, std::numeric_limits<double>::quiet_NaN());
    std::vector<char> au_dessus(n + 1);
    bool par_les_signes =
        std::all_of(reperes.cbegin(), reperes.cend(), [](const Repere &r) { return r.valide; });
    double plus_haut = -std::numeric_limits<double>::infinity();
    double plus_bas = std::numeric_limits<double>::infinity();
    for (int i = 0; par_les_signes && i <= n;) {
        const double v = valeurs[i] = ecart(temps[i]);
        if (std::isnan(v)) {
            par_les_signes = false;
            break;
        }
        plus_haut = std::max(plus_haut, v);
        plus_bas = std::min(plus_bas, v);
        au_dessus[i] = v >= 0;
        int j = i + 1;
        for (; j <= n && std::abs(v) > montee_max_par_seconde * (temps[j] - temps[i]) + saut; ++j)
            au_dessus[j] = au_dessus[i];
        i = j;
    }
    // The points between which the crossings are looked for: the samples, each with its value
    // or, where only its sign is known, a value of that sign.
    std::vector<std::pair<double, double>> points;
    if (par_les_signes && plus_haut > marge && plus_bas < -marge) {
        for (int i = 0; i <= n; ++i)
            points.emplace_back(temps[i], au_dessus[i] ? 0.0 : -1.0);
    } else {
        // Every sample, and the refined highest and lowest points inserted among them.
        for (int i = 0; i <= n; ++i)
            if (std::isnan(valeurs[i]))
                valeurs[i] = ecart(temps[i]);
        if (std::any_of(valeurs.begin(), valeurs.end(), [](double v) { return std::isnan(v); }))
            return resultat;
        for (int i = 0; i <= n; ++i)
            points.emplace_back(temps[i], valeurs[i]);
        for (const bool maximum : {true, false}) {
            const auto it = maximum ? std::max_element(valeurs.begin(), valeurs.end())
                                    : std::min_element(valeurs.begin(), valeurs.end());
            const int i = static_cast<int>(it - valeurs.begin());
            const double t =
                extremum(temps[std::max(0, i - 1)], temps[std::min(n, i + 1)], maximum);
            points.emplace_back(t, ecart(t));
        }
        std::sort(points.begin(), points.end());
    }

    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        const auto [a, va] = points[i];
        const auto [b, vb] = points[i + 1];
        if ((va >= 0) == (vb >= 0))
            continue;
        const double t = croisement(a, va, b);
        if (va < 0 && std::isnan(resultat.lever))
            resultat.lever = t;
        else if (va >= 0 && std::isnan(resultat.coucher))
            resultat.coucher = t;
    }
    if (std::isnan(resultat.lever) && std::isnan(resultat.coucher)) {
        resultat.toujours_leve = points.front().second >= 0;
        resultat.jamais_leve = !resultat.toujours_leve;
    }
    return resultat;
}

double Soleil_Precis::equation_du_temps(double instant) const
{
    // True solar time at Greenwich, 12 h + hour angle, minus UT.
    const Position p = position(instant, 0.0, 0.0);
    const double jours = instant / secondes_par_jour;
    const double ut = (jours - std::floor(jours)) * 24.0;
    double ecart = 12.0 + p.angle_horaire / 15.0 - ut;
    ecart -= 24.0 * std::round(ecart / 24.0);
    return ecart * 60.0;
}
