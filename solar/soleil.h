// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_SOLAR_SOLEIL_H
#define ORVANE_SOLAR_SOLEIL_H

// Solar geometry of the diagram: declination, sunrise and sunset, hour angle, altitude,
// azimuth and the polar projection onto the sky disc. Plain C++, no toolkit.
//
// Units used by every operation:
//  - day number N: 1..366, 1 for 1 January (the day of the year);
//  - latitude φ, declination δ, hour angle H, altitude h, azimuth A: degrees;
//    latitude north positive;
//  - true solar time t: hours, 12.0 at solar noon; 0.0 and 24.0 stand for the absence
//    of sunrise and sunset (polar day or night);
//  - hour angle: negative in the morning, positive in the afternoon;
//  - azimuth: from north, 0 north, ±180 south, negative towards the east (morning),
//    positive towards the west. `azimut` returns the unsigned angle in [0, 180]; the
//    caller gives it the sign of the hour angle;
//  - diagram coordinates: origin at the zenith (disc centre), x right, y down, disc of
//    diameter D scene units. North is at the top, east on the right.
// Latitudes (degrees, either hemisphere) of the tropics and of the polar circles as the
// diagram draws them: the limit days are searched differently in each band, and beyond the
// polar circles a course is sampled more finely.
inline constexpr double latitude_tropique = 23.45;
inline constexpr double latitude_cercle_polaire = 66.55;

class Soleil
{
public:
    Soleil() = default;

    double pi() const { return m_pi; }

    // Declination in degrees for day number N: −23.45 · sin(2π (N + 101) / 365.25).
    double declinaison(int numeroJour) const;

    // True solar times of sunrise and sunset, in hours rounded to two decimals (sunrise
    // rounded up, sunset half up). Polar day and polar night both give 0.0 and 24.0.
    double heure_lever(int numeroJour, double latitude) const;
    double heure_coucher(int numeroJour, double latitude) const;

    // Hour angle in degrees of true solar time t (hours): (t − 12) · 15.
    static double angle_horaire(double tsv);

    // Altitude in degrees above the horizon; NaN when out of the domain.
    double hauteur(double declinaison, double latitude, double angleHoraire) const;

    // Unsigned azimuth in degrees, 0..180 from north. The cosine is clamped to [−1, 1] so
    // that a sample on the meridian or at the zenith still gives a number (0 or 180).
    double azimut(double declinaison, double latitude, double angleHoraire, double hauteur) const;

    // The products of the sines and cosines of a declination δ and a latitude φ that every
    // position of the sun on that day at that latitude shares. A course of many samples
    // computes them once; `hauteur` and `azimut` give the same results, to the bit, from them
    // as from δ and φ.
    struct Journee {
        double sin_d_sin_p = 0.0;
        double cos_d_cos_p = 0.0;
        double sin_d_cos_p = 0.0;
        double cos_d_sin_p = 0.0;
    };
    Journee journee(double declinaison, double latitude) const;
    double hauteur(const Journee &journee, double angleHoraire) const;
    double azimut(const Journee &journee, double angleHoraire, double hauteur) const;

    // Polar projection of (signed azimuth, altitude) onto a disc of diameter D.
    double projection_x(int diametre, double azimut, double hauteur) const;
    double projection_y(int diametre, double azimut, double hauteur) const;

    // Inverse of the projection: the sky point (signed azimuth in degrees, −180..180, and
    // altitude in degrees) at scene point (x, y) of a disc of diameter D. The centre gives
    // azimuth 0 and altitude 90; points outside the disc give negative altitudes.
    struct Point_Ciel {
        double azimut = 0.0;
        double hauteur = 0.0;
    };
    Point_Ciel point_ciel(int diametre, double x, double y) const;

    // Equation of time in minutes (true solar time minus mean solar time) at noon of day
    // number N: Spencer's Fourier series (J. W. Spencer, "Fourier series representation of the
    // position of the sun", Search 2(5), 1971), in the form NOAA publishes it:
    //   229.18 · (0.000075 + 0.001868 cos γ − 0.032077 sin γ − 0.014615 cos 2γ − 0.040849 sin 2γ)
    // with γ = 2π (N − 1) / 365. It stays within 0.9 minute of the apparent sun of the
    // accurate model over the years 2020 to 2030.
    double equation_du_temps(int numeroJour) const;

    // floor(10^n · x + 0.5) / 10^n
    static double arrondi(double x, int decimales);
    // ceil(10^n · x + 0.5) / 10^n: one unit of the last decimal above `arrondi` unless
    // 10^n · x + 0.5 is whole. Sunrise times are rounded this way.
    static double arrondi_sup(double x, int decimales);

private:
    double radians(double degres) const { return degres * m_pi / 180.0; }
    double degres(double radians) const { return radians * 180.0 / m_pi; }

    double m_pi = 3.141592653589793;
};

#endif
