// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_SOLAR_SOLEIL_PRECIS_H
#define ORVANE_SOLAR_SOLEIL_PRECIS_H

// The accurate sun: its apparent position in the sky of a place at an instant, and the instants
// of sunrise and sunset. Plain C++ over ERFA (the open version of the IAU's SOFA routines).
//
// Why ERFA and not libnova: on the worked example of NREL's Solar Position Algorithm (Reda and
// Andreas 2004: Golden, Colorado, 17 October 2003 19:30:30 UT) the ERFA chain below lands within
// 0.0001° of the published altitude and azimuth, libnova's solar position 0.011° off in altitude
// and 0.066° in azimuth, beyond the 0.05° this program holds to. Against the US Naval
// Observatory's 2020 tables, libnova's rise and set times came out up to two minutes early
// (Auckland, Singapore, Anchorage); the ERFA positions searched for the standard altitude give
// the tabulated minute.
//
// Units and conventions:
//  - instant: seconds of UTC since 1970-01-01T00:00:00Z, counted without leap seconds (POSIX
//    time, as QDateTime::toMSecsSinceEpoch() / 1000 gives it). UT1 is taken equal to UTC (the
//    difference stays under 0.9 s, 0.004° of hour angle);
//  - latitude: degrees, north positive, −90..90; longitude: degrees, east positive, −180..180;
//  - azimuth: the program's convention, degrees from north, 0 north, negative towards the east,
//    positive towards the west, ±180 south; altitude ("hauteur"): degrees above the horizon;
//  - hour angle: degrees, −180..180, negative before the sun's transit, positive after;
//  - the observer stands at sea level.
//
// Sunrise and sunset are the instants when the sun's upper limb touches the horizon with the
// standard refraction: its unrefracted centre 0.833° below the horizon (34' of refraction and
// 16' of semi-diameter), the convention of the almanacs.

#include <erfa.h>

#include <limits>
#include <memory>
#include <unordered_map>

inline constexpr double hauteur_lever_coucher = -0.833;

class Soleil_Precis
{
public:
    // Apparent position at one instant. `hauteur` includes the atmospheric refraction of
    // Sæmundsson's formula (Meeus, Astronomical Algorithms, 2nd ed., eq. 16.4: 1010 hPa, 10 °C)
    // down to a true altitude of −1° (the sun's upper limb just under the horizon);
    // `hauteur_geometrique` is the altitude without refraction. `angle_horaire` is the local hour
    // angle of the apparent sun.
    struct Position {
        double azimut = 0.0;
        double hauteur = 0.0;
        double hauteur_geometrique = 0.0;
        double angle_horaire = 0.0;
    };

    // What a day of the sun is for every place: the geocentric sun and the Earth's velocity
    // (its aberration) on the celestial intermediate axes, as polynomials in the time from noon
    // UTC of one UTC day; precession and nutation are those of that noon. Nearly all of a
    // position's cost, the same at every latitude and longitude, so a caller may keep it across
    // rebuilds. Through its own day a position from it stays within 0.1" of ERFA's full chain
    // (the Earth's orbit to the second order: 0.05"; the precession and nutation of noon:
    // 0.1" at most).
    struct Jour {
        long long numero = 0;      // days since 1970-01-01 (UTC)
        double reference = 0.0;    // noon UTC of that day, instant in seconds
        double soleil[3][3] = {};  // sun from the geocentre: AU, AU/day, AU/day² (halved)
        double vitesse[2][3] = {}; // Earth's barycentric velocity over c, and its rate per day
        double rotation = 0.0;     // the Earth's rotation angle at noon, radians
        bool valide = false;       // false outside ERFA's calendar (before 1960 or so)
    };
    // The day of `instant` computed (one call of each of ERFA's slow routines).
    static Jour calculer_jour(double instant);
    // The days computed, kept by their number (at most some ten years of them). Whoever draws
    // again and again at other latitudes keeps one across its drawings (the sky does).
    class Memoire_Jours
    {
    public:
        const Jour &jour(double instant);

    private:
        std::unordered_map<long long, Jour> m_jours;
    };
    // A sun with a memory of its own, or sharing `memoire`.
    Soleil_Precis();
    explicit Soleil_Precis(std::shared_ptr<Memoire_Jours> memoire);
    const std::shared_ptr<Memoire_Jours> &memoire() const { return m_memoire; }
    // The day of `instant`, from the memory.
    const Jour &jour(double instant) const { return m_memoire->jour(instant); }

    // What the place adds: the observer on the WGS84 ellipsoid at sea level.
    struct Lieu {
        double sin_latitude = 0.0;
        double cos_latitude = 1.0;
        double longitude = 0.0; // radians, east positive
        double axe = 0.0;       // distance from the Earth's axis, AU
        double equateur = 0.0;  // height above the equator's plane, AU
    };
    static Lieu lieu(double latitude, double longitude);

    // A day and a place. A position at any instant from it is the same, to the last bit, as
    // `position(instant, latitude, longitude)`: an instant of another UTC day takes that day's
    // terms from the memory.
    struct Repere {
        Jour jour;
        Lieu lieu;
        bool valide = false;
    };

    Repere repere(double instant, double latitude, double longitude) const;
    Position position(const Repere &repere, double instant) const;
    Position position(double instant, double latitude, double longitude) const;
    static Position position(const Jour &jour, const Lieu &lieu, double instant);

    // ERFA's whole chain for one instant (its astrometry context for the place, eraApco, then
    // eraAtioq): the reference the positions above are held to.
    Position position_complete(double instant, double latitude, double longitude) const;

    // Sunrise and sunset within [debut, fin) (instants, seconds; at most a few days apart):
    // the first instant of each, or NaN when there is none. Without either, the sun stays
    // up (`toujours_leve`, polar day) or down (`jamais_leve`, polar night) over the window.
    struct Lever_Coucher {
        double lever = std::numeric_limits<double>::quiet_NaN();
        double coucher = std::numeric_limits<double>::quiet_NaN();
        bool toujours_leve = false;
        bool jamais_leve = false;
    };
    Lever_Coucher lever_coucher(double debut, double fin, double latitude, double longitude) const;

    // Equation of time at an instant: true solar time minus mean solar time, in minutes
    // (about −14 in February, +16 in November).
    double equation_du_temps(double instant) const;

    // Sæmundsson's refraction, degrees, for a true altitude in degrees (0 below −1°, where no
    // part of the disc is seen).
    static double refraction(double hauteur_vraie);

private:
    std::shared_ptr<Memoire_Jours> m_memoire;
};

#endif
