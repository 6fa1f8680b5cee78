// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "solar/soleil_precis.h"

#include <erfam.h>

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
// The search of the highest and lowest points ends within this many seconds of them, that of a
// crossing within this many.
constexpr double precision_recherche = 0.5;
constexpr double precision_croisement = 0.001;
// Bounds on the unrefracted altitude: within one frame it moves at most this many degrees a
// second (the Earth turns 15.04° an hour, and the altitude moves at most that times the
// cosine of the latitude; the sun's own course adds 0.04° an hour), and positions from two
// days' terms differ by at most this many degrees (each far within it of a full computation).
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

// Gauss's constant squared: the sun's gravitational parameter, AU³/day².
constexpr double gm_soleil = 0.01720209895 * 0.01720209895;
// The Earth's angular velocity, radians per day, as ERFA's eraPvtob takes it.
constexpr double rotation_terre = 1.00273781191135448 * 2.0 * 3.14159265358979323846;
// AU per day, in units of the speed of light.
constexpr double c_par_au_jour = ERFA_AULT / ERFA_DAYSEC;

// Days kept in a memory before it is emptied: some ten years.
constexpr std::size_t jours_gardes = 4096;

long long numero_jour(double instant)
{
    return static_cast<long long>(std::floor(instant / secondes_par_jour));
}

// The horizon's coordinates of a direction (any length) on the celestial intermediate axes, as
// eraAtioq turns it (no refraction, no polar motion), seen from `lieu` at the local Earth
// rotation angle whose cosine and sine are `c` and `s`.
Soleil_Precis::Position horizon(const double direction[3], const Soleil_Precis::Lieu &lieu,
                                double c, double s)
{
    // To −hour angle and declination, then to azimuth (south 0, east 90) and elevation.
    const double x = direction[0] * c + direction[1] * s;
    const double y = direction[1] * c - direction[0] * s;
    const double z = direction[2];
    const double xa = lieu.sin_latitude * x - lieu.cos_latitude * z;
    const double za = lieu.cos_latitude * x + lieu.sin_latitude * z;
    Soleil_Precis::Position p;
    // ERFA's azimuth runs from north through east: the program's is its opposite, in −180..180.
    p.azimut = (xa != 0.0 || y != 0.0) ? -std::atan2(y, -xa) * degres_par_radian : -0.0;
    if (p.azimut < -180.0)
        p.azimut += 360.0;
    p.hauteur_geometrique = 90.0 - std::atan2(std::sqrt(xa * xa + y * y), za) * degres_par_radian;
    p.hauteur = p.hauteur_geometrique + Soleil_Precis::refraction(p.hauteur_geometrique);
    p.angle_horaire = -std::atan2(y, x) * degres_par_radian;
    if (p.angle_horaire >= 180.0)
        p.angle_horaire -= 360.0;
    return p;
}
} // namespace

Soleil_Precis::Jour Soleil_Precis::calculer_jour(double instant)
{
    Jour j;
    j.numero = numero_jour(instant);
    j.reference = (static_cast<double>(j.numero) + 0.5) * secondes_par_jour;
    Termes_Instant t = calculer_termes(j.reference);
    if (!t.valide)
        return j;
    // The celestial intermediate axes of noon: the aberration and the rotation commute, so the
    // sun and the velocity are turned once here rather than each direction at each instant.
    double bpn[3][3];
    eraC2ixys(t.x, t.y, t.s, bpn);
    // The sun from the geocentre is minus the Earth's heliocentric position; its second
    // derivative is the sun's pull on the Earth (the Moon's pull on the Earth's centre adds
    // 0.04" over half a day).
    const double r = eraPm(t.pvh[0]);
    const double attraction = gm_soleil / (r * r * r);
    double position[3], vitesse[3], acceleration[3], barycentre[3], variation[3];
    for (int i = 0; i < 3; ++i) {
        position[i] = -t.pvh[0][i];
        vitesse[i] = -t.pvh[1][i];
        acceleration[i] = 0.5 * attraction * t.pvh[0][i];
        barycentre[i] = t.pvb[1][i] * c_par_au_jour;
        variation[i] = -attraction * t.pvh[0][i] * c_par_au_jour;
    }
    eraRxp(bpn, position, j.soleil[0]);
    eraRxp(bpn, vitesse, j.soleil[1]);
    eraRxp(bpn, acceleration, j.soleil[2]);
    eraRxp(bpn, barycentre, j.vitesse[0]);
    eraRxp(bpn, variation, j.vitesse[1]);
    j.rotation = t.theta;
    j.valide = true;
    return j;
}

Soleil_Precis::Soleil_Precis() : m_memoire(std::make_shared<Memoire_Jours>())
{
}

Soleil_Precis::Soleil_Precis(std::shared_ptr<Memoire_Jours> memoire)
    : m_memoire(memoire ? std::move(memoire) : std::make_shared<Memoire_Jours>())
{
}

const Soleil_Precis::Jour &Soleil_Precis::Memoire_Jours::jour(double instant)
{
    const long long numero = numero_jour(instant);
    const auto trouve = m_jours.find(numero);
    if (trouve != m_jours.end())
        return trouve->second;
    if (m_jours.size() >= jours_gardes)
        m_jours.clear();
    return m_jours.emplace(numero, calculer_jour(instant)).first->second;
}

Soleil_Precis::Lieu Soleil_Precis::lieu(double latitude, double longitude)
{
    Lieu l;
    const double phi = latitude / degres_par_radian;
    l.sin_latitude = std::sin(phi);
    l.cos_latitude = std::cos(phi);
    l.longitude = longitude / degres_par_radian;
    // As eraGd2gce places a point of the WGS84 ellipsoid.
    constexpr double a = 6378137.0;
    constexpr double f = 1.0 / 298.257223563;
    const double w = (1.0 - f) * (1.0 - f);
    const double ac =
        a / std::sqrt(l.cos_latitude * l.cos_latitude + w * l.sin_latitude * l.sin_latitude);
    l.axe = ac * l.cos_latitude / ERFA_DAU;
    l.equateur = w * ac * l.sin_latitude / ERFA_DAU;
    return l;
}

Soleil_Precis::Position Soleil_Precis::position(const Jour &jour, const Lieu &lieu, double instant)
{
    Position p;
    if (!jour.valide) {
        p.azimut = p.hauteur = p.hauteur_geometrique = p.angle_horaire =
            std::numeric_limits<double>::quiet_NaN();
        return p;
    }
    const double dt = (instant - jour.reference) / secondes_par_jour;
    const double angle = jour.rotation + rotation_terre * dt + lieu.longitude;
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    // The observer and its velocity (the Earth's turn) on the same axes.
    const double observateur[3] = {lieu.axe * c, lieu.axe * s, lieu.equateur};
    const double tour[3] = {-rotation_terre * observateur[1] * c_par_au_jour,
                            rotation_terre * observateur[0] * c_par_au_jour, 0.0};
    double vers[3], vitesse[3];
    for (int i = 0; i < 3; ++i) {
        vers[i] =
            jour.soleil[0][i] + dt * (jour.soleil[1][i] + dt * jour.soleil[2][i]) - observateur[i];
        vitesse[i] = jour.vitesse[0][i] + dt * jour.vitesse[1][i] + tour[i];
    }
    // The aberration to the first order, as eraAb's to 0.002": the unit vector plus the
    // velocity. The direction alone counts from here on, so no length is made one again.
    const double inverse =
        1.0 / std::sqrt(vers[0] * vers[0] + vers[1] * vers[1] + vers[2] * vers[2]);
    double apparente[3];
    for (int i = 0; i < 3; ++i)
        apparente[i] = vers[i] * inverse + vitesse[i];
    return horizon(apparente, lieu, c, s);
}

Soleil_Precis::Repere Soleil_Precis::repere(double instant, double latitude, double longitude) const
{
    Repere r;
    r.jour = jour(instant);
    r.lieu = lieu(latitude, longitude);
    r.valide = r.jour.valide;
    return r;
}

Soleil_Precis::Position Soleil_Precis::position(const Repere &repere, double instant) const
{
    if (numero_jour(instant) == repere.jour.numero)
        return position(repere.jour, repere.lieu, instant);
    return position(jour(instant), repere.lieu, instant);
}

Soleil_Precis::Position Soleil_Precis::position(double instant, double latitude,
                                                double longitude) const
{
    return position(jour(instant), lieu(latitude, longitude), instant);
}

Soleil_Precis::Position Soleil_Precis::position_complete(double instant, double latitude,
                                                         double longitude) const
{
    Position p;
    const Termes_Instant t = calculer_termes(instant);
    if (!t.valide) {
        p.azimut = p.hauteur = p.hauteur_geometrique = p.angle_horaire =
            std::numeric_limits<double>::quiet_NaN();
        return p;
    }
    // No refraction here (the coefficients are zero): it is added to the altitude afterwards,
    // with a formula that holds down to the horizon. ERFA takes its inputs through non-const
    // pointers.
    double pvb[2][3];
    double ph[3];
    std::copy(&t.pvb[0][0], &t.pvb[0][0] + 6, &pvb[0][0]);
    std::copy(t.pvh[0], t.pvh[0] + 3, ph);
    eraASTROM astrom;
    eraApco(t.tt1, t.tt2, pvb, ph, t.x, t.y, t.s, t.theta, longitude / degres_par_radian,
            latitude / degres_par_radian, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, &astrom);
    // Observer to sun: the sun's barycentric position (Earth's barycentric minus heliocentric)
    // minus the observer's; its annual aberration, then the celestial intermediate frame.
    double vers[3];
    for (int i = 0; i < 3; ++i)
        vers[i] = t.pvb[0][i] - t.pvh[0][i] - astrom.eb[i];
    double distance = 0.0;
    double unite[3];
    eraPn(vers, &distance, unite);
    double apparente[3];
    eraAb(unite, astrom.v, distance, astrom.bm1, apparente);
    double intermediaire[3];
    eraRxp(astrom.bpn, apparente, intermediaire);
    double ri = 0.0, di = 0.0;
    eraC2s(intermediaire, &ri, &di);
    double aob = 0.0, zob = 0.0, hob = 0.0, dob = 0.0, rob = 0.0;
    eraAtioq(eraAnp(ri), di, &astrom, &aob, &zob, &hob, &dob, &rob);
    p.azimut = azimut_programme(aob);
    p.hauteur_geometrique = 90.0 - zob * degres_par_radian;
    p.hauteur = p.hauteur_geometrique + refraction(p.hauteur_geometrique);
    p.angle_horaire = eraAnpm(hob) * degres_par_radian;
    return p;
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

    // Crossing between a and b, where the signs differ (`a_exact`, `b_exact`: whether va and
    // vb are heights, not only their signs): the Illinois variant of the false position. Over
    // the ten minutes between two samples the course is nearly straight, so the chord lands
    // within a millisecond after two or three heights where bisection took eleven.
    const auto croisement = [&](double a, double va, bool a_exact, double b, double vb,
                                bool b_exact) {
        if (!a_exact)
            va = ecart(a);
        if (!b_exact)
            vb = ecart(b);
        // Outside ERFA's calendar no height is known: the middle of the bracket.
        if (!(va - vb != 0.0) || (va >= 0) == (vb >= 0))
            return (a + b) / 2;
        double m = std::numeric_limits<double>::infinity();
        int cote = 0;
        for (int i = 0; i < 60; ++i) {
            double corde = (a * vb - b * va) / (vb - va);
            if (!(corde > a && corde < b))
                corde = (a + b) / 2;
            if (std::abs(corde - m) < precision_croisement || b - a < precision_croisement)
                return corde;
            m = corde;
            const double vm = ecart(m);
            if ((vm >= 0) == (va >= 0)) {
                a = m;
                va = vm;
                if (cote < 0)
                    vb /= 2;
                cote = -1;
            } else {
                b = m;
                vb = vm;
                if (cote > 0)
                    va /= 2;
                cote = 1;
            }
        }
        return m;
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
    struct Point {
        double t;
        double v;
        bool exacte; // v is the height, not only its sign
    };
    std::vector<Point> points;
    if (par_les_signes && plus_haut > marge && plus_bas < -marge) {
        for (int i = 0; i <= n; ++i) {
            if (std::isnan(valeurs[i]))
                points.push_back({temps[i], au_dessus[i] ? 0.0 : -1.0, false});
            else
                points.push_back({temps[i], valeurs[i], true});
        }
    } else {
        // Every sample, and the refined highest and lowest points inserted among them.
        for (int i = 0; i <= n; ++i)
            if (std::isnan(valeurs[i]))
                valeurs[i] = ecart(temps[i]);
        if (std::any_of(valeurs.begin(), valeurs.end(), [](double v) { return std::isnan(v); }))
            return resultat;
        for (int i = 0; i <= n; ++i)
            points.push_back({temps[i], valeurs[i], true});
        for (const bool maximum : {true, false}) {
            const auto it = maximum ? std::max_element(valeurs.begin(), valeurs.end())
                                    : std::min_element(valeurs.begin(), valeurs.end());
            const int i = static_cast<int>(it - valeurs.begin());
            const double t =
                extremum(temps[std::max(0, i - 1)], temps[std::min(n, i + 1)], maximum);
            points.push_back({t, ecart(t), true});
        }
        std::sort(points.begin(), points.end(), [](const Point &p, const Point &q) {
            return p.t < q.t || (p.t == q.t && p.v < q.v);
        });
    }

    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        const Point &a = points[i];
        const Point &b = points[i + 1];
        if ((a.v >= 0) == (b.v >= 0))
            continue;
        const double t = croisement(a.t, a.v, a.exacte, b.t, b.v, b.exacte);
        if (a.v < 0 && std::isnan(resultat.lever))
            resultat.lever = t;
        else if (a.v >= 0 && std::isnan(resultat.coucher))
            resultat.coucher = t;
    }
    if (std::isnan(resultat.lever) && std::isnan(resultat.coucher)) {
        resultat.toujours_leve = points.front().v >= 0;
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
