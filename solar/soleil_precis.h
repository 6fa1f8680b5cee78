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

    // The slowly varying part of the computation (Earth's orbit, precession and nutation,
    // aberration), evaluated at a reference instant for a place. Positions within half a day
    // of the reference stay within 0.005° of a full computation (the site's parallax, 8.8", is
    // frozen at the reference); a course or a search over one day computes it once.
    struct Repere {
        double reference = 0.0;    // instant, seconds
        double tt_moins_utc = 0.0; // days
        double soleil[3] = {};     // observer to sun at the reference, AU, celestial axes
        double vitesse[3] = {};    // its rate, AU per day
        eraASTROM astrom = {};     // ERFA's place- and date-dependent parameters
        bool valide = false;       // false outside ERFA's calendar (before 1960 or so)
    };

    Repere repere(double instant, double latitude, double longitude) const;
    Position position(const Repere &repere, double instant) const;
    Position position(double instant, double latitude, double longitude) const;

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
};

#endif
