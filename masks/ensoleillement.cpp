// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "masks/ensoleillement.h"

#include "solar/soleil_precis.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace
{

// Angle of an azimuth on the drawing, as the outline's arcs use it (degrees, 0 at three
// o'clock, counter-clockwise): in (-270, 90].
double angle_arc(double azimut)
{
    return azimut <= 0 ? azimut + 90.0 : azimut - 270.0;
}

// Clockwise angle from north to an azimuth, degrees, in [0, 360).
double depuis_le_nord(double azimut)
{
    double d = std::fmod(90.0 - angle_arc(azimut), 360.0);
    if (d < 0)
        d += 360.0;
    return d;
}

// Sampling step and the precision of a change of state, hours.
constexpr double pas_heures = 1.0 / 60.0;
constexpr double precision_heures = 1.0 / 3600.0;

constexpr double radians_par_degre = 3.14159265358979323846 / 180.0;
// The most the sun's direction in the local sky can bend, radians per hour squared: the
// Earth's turn (0.26251 rad/h) squared, and twice that turn times the sun's own motion among
// the stars (1.02° a day at most, 7.4e-4 rad/h), rounded up. Between two samples L hours apart
// the direction strays from the straight chord between them by at most this times L² / 8.
constexpr double courbure_max = 0.070;
// Samples apart at which the costly positions are always computed: at a minute each, the sun
// strays from the chord by 0.056° at most.
constexpr int ecart_calcules = 20;
// What the rounding of a computation may move an angle by, degrees: far below anything the
// bounds below depend on, far above the doubles' own error.
constexpr double arrondi = 1e-9;

std::array<double, 3> vecteur(double azimut, double hauteur)
{
    const double a = azimut * radians_par_degre;
    const double h = hauteur * radians_par_degre;
    return {std::cos(h) * std::cos(a), std::cos(h) * std::sin(a), std::sin(h)};
}

// The most the refraction lifts the sun: at a true height of -1°, below which it adds nothing.
const double refraction_max = Soleil_Precis::refraction(-1.0);

// The height the outline is compared with, for a height before refraction: never decreasing.
double hauteur_vue(double geometrique)
{
    return std::max(geometrique + Soleil_Precis::refraction(geometrique), 0.0);
}

// The hours of samples `pas_heures` apart from `debut`, each hidden (`caches`, non-zero) or not:
// each step counts half for the state at each of its ends, so that a run of samples in the sun
// is a period from half a step before its first to half a step after its last, within the day.
Ensoleillement compter_etats(const std::vector<signed char> &caches, double pas_heures,
                             double debut = 0.0)
{
    Ensoleillement resultat;
    for (std::size_t i = 0; i + 1 < caches.size(); ++i)
        for (const signed char cache : {caches[i], caches[i + 1]})
            (cache ? resultat.masque : resultat.soleil_direct) += 0.5 * pas_heures;
    if (caches.size() < 2)
        return resultat;
    const std::size_t dernier = caches.size() - 1;
    for (std::size_t i = 0; i <= dernier; ++i) {
        if (caches[i])
            continue;
        std::size_t j = i;
        while (j < dernier && !caches[j + 1])
            ++j;
        const double a = i == 0 ? 0.0 : (static_cast<double>(i) - 0.5) * pas_heures;
        const double b =
            j == dernier ? dernier * pas_heures : (static_cast<double>(j) + 0.5) * pas_heures;
        resultat.periodes.emplace_back(debut + a, debut + b);
        i = j;
    }
    return resultat;
}

} // namespace

double hauteur_contour(const std::vector<QPointF> &points, double azimut, Jonction_Masque jonction)
{
    double hauteur = -1.0;
    const double a = angle_arc(azimut);
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        // The arc of point i as drawn: from its angle clockwise over `balayage` degrees.
        const double c = angle_arc(points[i].x());
        const double e = angle_arc(points[i + 1].x());
        const double balayage = (c < 0 && e > 0) ? c + 360.0 - e : std::abs(e - c);
        double ecart = std::fmod(c - a, 360.0);
        if (ecart < 0)
            ecart += 360.0;
        if (ecart < balayage)
            hauteur = std::max(hauteur, jonction == Jonction_Masque::Ligne
                                            ? points[i].y() + (points[i + 1].y() - points[i].y()) *
                                                                  ecart / balayage
                                            : points[i].y());
    }
    return hauteur;
}

Profil_Masque::Profil_Masque(const std::vector<QPointF> &points, Jonction_Masque jonction)
{
    // Every start and end of an arc is a piece's end; between two of them each arc that covers
    // the piece is straight (or level), and the highest counts.
    struct Arc {
        double debut;
        double balayage;
        bool tour;
        double depart;
        double arrivee;
        // Its height `angle` degrees clockwise from its start.
        double a(double angle) const { return depart + (arrivee - depart) * angle / balayage; }
    };
    std::vector<Arc> arcs;
    debuts = {0.0};
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        const double c = angle_arc(points[i].x());
        const double e = angle_arc(points[i + 1].x());
        const double balayage = (c < 0 && e > 0) ? c + 360.0 - e : std::abs(e - c);
        if (balayage <= 0.0)
            continue;
        const double debut = depuis_le_nord(points[i].x());
        const double arrivee =
            jonction == Jonction_Masque::Ligne ? points[i + 1].y() : points[i].y();
        arcs.push_back({debut, balayage, balayage >= 360.0, points[i].y(), arrivee});
        debuts.push_back(debut);
        debuts.push_back(std::fmod(debut + balayage, 360.0));
    }
    const auto trier = [this] {
        std::sort(debuts.begin(), debuts.end());
        debuts.erase(std::unique(debuts.begin(), debuts.end()), debuts.end());
    };
    trier();
    const auto rang = [this](double angle) {
        return static_cast<std::size_t>(std::lower_bound(debuts.begin(), debuts.end(), angle) -
                                        debuts.begin());
    };
    const auto fin_piece = [this](std::size_t k) {
        return k + 1 < debuts.size() ? debuts[k + 1] : 360.0;
    };
    // The arcs over each piece, from the step where each starts clockwise up to the one where
    // it ends.
    const auto couvrir = [&](const std::function<void(std::size_t, const Arc &)> &faire) {
        const std::size_t n = debuts.size();
        for (const Arc &arc : arcs) {
            const std::size_t debut = rang(arc.debut);
            const std::size_t compte =
                arc.tour ? n : (rang(std::fmod(arc.debut + arc.balayage, 360.0)) + n - debut) % n;
            for (std::size_t j = 0; j < compte; ++j)
                faire((debut + j) % n, arc);
        }
    };
    // The angle of the piece's start and end clockwise from the arc's start.
    const auto decalages = [&](std::size_t k, const Arc &arc) {
        double depuis = std::fmod(debuts[k] - arc.debut, 360.0);
        if (depuis < 0)
            depuis += 360.0;
        return std::make_pair(depuis, depuis + fin_piece(k) - debuts[k]);
    };

    // Straight arcs that overlap may cross within a piece: each crossing ends a piece too, so
    // that the highest arc is straight over every piece.
    if (jonction == Jonction_Masque::Ligne) {
        std::vector<std::vector<const Arc *>> dessus(debuts.size());
        couvrir([&](std::size_t k, const Arc &arc) { dessus[k].push_back(&arc); });
        std::vector<double> croisements;
        for (std::size_t k = 0; k < dessus.size(); ++k)
            for (std::size_t i = 0; i < dessus[k].size(); ++i)
                for (std::size_t j = i + 1; j < dessus[k].size(); ++j) {
                    const auto [di, fi] = decalages(k, *dessus[k][i]);
                    const auto [dj, fj] = decalages(k, *dessus[k][j]);
                    const double avant = dessus[k][i]->a(di) - dessus[k][j]->a(dj);
                    const double apres = dessus[k][i]->a(fi) - dessus[k][j]->a(fj);
                    if ((avant < 0 && apres > 0) || (avant > 0 && apres < 0)) {
                        const double x =
                            debuts[k] + (fin_piece(k) - debuts[k]) * avant / (avant - apres);
                        if (x > debuts[k] && x < fin_piece(k))
                            croisements.push_back(x);
                    }
                }
        debuts.insert(debuts.end(), croisements.begin(), croisements.end());
        trier();
    }

    hauteurs.assign(debuts.size(), -1.0);
    fins.assign(debuts.size(), -1.0);
    couvrir([&](std::size_t k, const Arc &arc) {
        const auto [depuis, jusqu_a] = decalages(k, arc);
        // The highest arc is the highest at both ends of the piece: they do not cross within.
        if (arc.a(depuis) + arc.a(jusqu_a) > hauteurs[k] + fins[k]) {
            hauteurs[k] = arc.a(depuis);
            fins[k] = arc.a(jusqu_a);
        }
    });
    maximum = std::max(*std::max_element(hauteurs.begin(), hauteurs.end()),
                       *std::max_element(fins.begin(), fins.end()));
}

double Profil_Masque::sur_piece(std::size_t i, double angle) const
{
    if (hauteurs[i] == fins[i])
        return hauteurs[i];
    const double debut = debuts[i];
    const double fin = i + 1 < debuts.size() ? debuts[i + 1] : 360.0;
    return hauteurs[i] + (fins[i] - hauteurs[i]) * (angle - debut) / (fin - debut);
}

double Profil_Masque::hauteur(double azimut) const
{
    const double d = depuis_le_nord(azimut);
    const auto apres = std::upper_bound(debuts.begin(), debuts.end(), d);
    return sur_piece(static_cast<std::size_t>(apres - debuts.begin()) - 1, d);
}

std::pair<double, double> Profil_Masque::bornes(double azimut, double ecart) const
{
    // Clockwise from north the span runs over [d - ecart, d + ecart], cut in two at north. The
    // outline is straight over each piece: its extremes over a span lie at the span's ends or at
    // the pieces' ends within it.
    const double d = depuis_le_nord(azimut);
    std::pair<double, double> resultat(std::numeric_limits<double>::infinity(),
                                       -std::numeric_limits<double>::infinity());
    const auto parcourir = [&](double debut, double fin) {
        const auto marche = [this](double angle) {
            return static_cast<std::size_t>(std::upper_bound(debuts.begin(), debuts.end(), angle) -
                                            debuts.begin() - 1);
        };
        for (std::size_t i = marche(debut); i <= marche(fin); ++i) {
            const double de = std::max(debut, debuts[i]);
            const double a = std::min(fin, i + 1 < debuts.size() ? debuts[i + 1] : 360.0);
            for (const double h : {sur_piece(i, de), sur_piece(i, a)}) {
                resultat.first = std::min(resultat.first, h);
                resultat.second = std::max(resultat.second, h);
            }
        }
    };
    if (!(ecart < 180.0)) {
        parcourir(0.0, 360.0);
    } else if (d - ecart < 0.0) {
        parcourir(0.0, d + ecart);
        parcourir(d - ecart + 360.0, 360.0);
    } else if (d + ecart >= 360.0) {
        parcourir(0.0, d + ecart - 360.0);
        parcourir(d - ecart, 360.0);
    } else {
        parcourir(d - ecart, d + ecart);
    }
    return resultat;
}

Ensoleillement ensoleillement(const Soleil &soleil, int numeroJour, double latitude,
                              const std::vector<QPointF> &points, Jonction_Masque jonction)
{
    return ensoleillement(soleil, numeroJour, latitude, Profil_Masque(points, jonction));
}

namespace
{

// The day of `numeroJour` counted minute by minute behind `cache(journee, angle, hauteur)`
// (the hour angle and the sun's height, degrees, NaN-free).
template <class Cache>
Ensoleillement compter_journee(const Soleil &soleil, int numeroJour, double latitude,
                               const Cache &cache_position)
{
    Ensoleillement resultat;
    const double declinaison = soleil.declinaison(numeroJour);
    const Soleil::Journee journee = soleil.journee(declinaison, latitude);
    const double lever = soleil.heure_lever(numeroJour, latitude);
    const double coucher = soleil.heure_coucher(numeroJour, latitude);
    if (lever == 0.0 && coucher == 24.0 && !(soleil.hauteur(journee, 0.0) > 0.0))
        return resultat; // polar night

    const auto cache = [&](double tsv) {
        const double angle = Soleil::angle_horaire(tsv);
        const double h = soleil.hauteur(journee, angle);
        if (std::isnan(h))
            return false;
        // Between sunrise and sunset the sun counts as up, so a height a hair below 0 at the
        // rounded ends is the horizon.
        return cache_position(journee, angle, h);
    };

    double t = lever;
    bool etat = cache(t);
    // The start of the period of sun under way; NaN while hidden.
    double ouverte = etat ? std::numeric_limits<double>::quiet_NaN() : t;
    const auto changer = [&](bool cache_apres, double instant) {
        if (cache_apres) {
            resultat.periodes.emplace_back(ouverte, instant);
            ouverte = std::numeric_limits<double>::quiet_NaN();
        } else {
            ouverte = instant;
        }
    };
    while (t < coucher) {
        const double suivant = std::min(t + pas_heures, coucher);
        const bool etat_suivant = cache(suivant);
        if (etat_suivant == etat) {
            (etat ? resultat.masque : resultat.soleil_direct) += suivant - t;
        } else {
            // The change lies in (t, suivant]: halve the interval down to the precision.
            double avant = t;
            double apres = suivant;
            while (apres - avant > precision_heures) {
                const double milieu = 0.5 * (avant + apres);
                (cache(milieu) == etat ? avant : apres) = milieu;
            }
            (etat ? resultat.masque : resultat.soleil_direct) += avant - t;
            (etat_suivant ? resultat.masque : resultat.soleil_direct) += suivant - avant;
            changer(etat_suivant, avant);
        }
        t = suivant;
        etat = etat_suivant;
    }
    if (!etat && coucher > lever)
        resultat.periodes.emplace_back(ouverte, coucher);
    return resultat;
}

// The sun's azimuth at hour angle `angle` and height `h` of `journee`.
double azimut_soleil(const Soleil &soleil, const Soleil::Journee &journee, double angle, double h)
{
    const double azimut = soleil.azimut(journee, angle, h);
    return angle < 0 ? -azimut : azimut;
}

} // namespace

Ensoleillement ensoleillement(const Soleil &soleil, int numeroJour, double latitude,
                              const Profil_Masque &profil)
{
    return compter_journee(
        soleil, numeroJour, latitude, [&](const Soleil::Journee &journee, double angle, double h) {
            // Above the outline's highest point the sun is seen whatever
            // its azimuth.
            if (std::max(h, 0.0) >= profil.plus_haute())
                return false;
            return profil.hauteur(azimut_soleil(soleil, journee, angle, h)) > std::max(h, 0.0);
        });
}

Ensoleillement ensoleillement(const Soleil &soleil, int numeroJour, double latitude,
                              const Test_Cache &cache)
{
    return compter_journee(
        soleil, numeroJour, latitude, [&](const Soleil::Journee &journee, double angle, double h) {
            return cache(azimut_soleil(soleil, journee, angle, h), std::max(h, 0.0));
        });
}

Ensoleillement ensoleillement(const std::vector<QPointF> &positions, double pas_heures,
                              const Profil_Masque &profil)
{
    return ensoleillement(positions, pas_heures, [&profil](double azimut, double hauteur) {
        return profil.hauteur(azimut) > hauteur;
    });
}

Ensoleillement ensoleillement(int n, double pas_heures,
                              const std::function<Place_Soleil(int)> &position,
                              const Profil_Masque &profil)
{
    // Each sample's side of the outline: -1 while unknown.
    std::vector<signed char> cache(static_cast<std::size_t>(std::max(n, 0)) + 1, -1);
    const auto calculer = [&](int k) {
        const Place_Soleil p = position(k);
        cache[static_cast<std::size_t>(k)] =
            profil.hauteur(p.azimut) > std::max(p.hauteur, 0.0) ? 1 : 0;
        return p;
    };
    const auto nan = [](const Place_Soleil &p) {
        return std::isnan(p.azimut) || std::isnan(p.hauteur) || std::isnan(p.hauteur_geometrique);
    };

    Place_Soleil pa = calculer(0);
    for (int a = 0; a < n;) {
        const int b = std::min(n, a + ecart_calcules);
        const Place_Soleil pb = calculer(b);
        if (nan(pa) || nan(pb)) {
            for (int k = a + 1; k < b; ++k)
                calculer(k);
        } else {
            const std::array<double, 3> va = vecteur(pa.azimut, pa.hauteur_geometrique);
            const std::array<double, 3> vb = vecteur(pb.azimut, pb.hauteur_geometrique);
            const double duree = (b - a) * pas_heures;
            const double ecart_corde = courbure_max * duree * duree / 8.0;
            for (int k = a + 1; k < b; ++k) {
                // The sun lies within `theta` of the chord's point, seen from the centre.
                const double s = static_cast<double>(k - a) / (b - a);
                std::array<double, 3> v;
                for (int i = 0; i < 3; ++i)
                    v[i] = va[i] + s * (vb[i] - va[i]);
                const double horizontale = std::sqrt(v[0] * v[0] + v[1] * v[1]);
                const double r = std::sqrt(horizontale * horizontale + v[2] * v[2]);
                // sin theta = x; theta <= x (1 + x²) while x <= 1/2.
                const double x = ecart_corde / r;
                // Its azimuth within asin(sin theta / cos h) of the point's, away from the zenith.
                const double c = horizontale / r;
                if (!(x < 0.5 * c)) {
                    calculer(k);
                    continue;
                }
                const double theta = x * (1.0 + x * x) / radians_par_degre + arrondi;
                const double y = x / c;
                const double ecart_azimut = y * (1.0 + y * y) / radians_par_degre + arrondi;
                const double hauteur = std::atan2(v[2], horizontale) / radians_par_degre;
                const double azimut = std::atan2(v[1], v[0]) / radians_par_degre;
                const auto [plus_bas, plus_haut] = profil.bornes(azimut, ecart_azimut);
                const double bas = hauteur - theta;
                const double haut = hauteur + theta;
                // The refraction lifts the sun by 0 to 0.65°: a hair below 0 at the zenith.
                if (plus_haut <= std::max(bas - 1e-4, 0.0) - arrondi ||
                    plus_haut <= hauteur_vue(bas) - arrondi)
                    cache[static_cast<std::size_t>(k)] = 0;
                else if (plus_bas > std::max(haut + refraction_max, 0.0) + arrondi ||
                         plus_bas > hauteur_vue(haut) + arrondi)
                    cache[static_cast<std::size_t>(k)] = 1;
                else
                    calculer(k);
            }
        }
        pa = pb;
        a = b;
    }

    return compter_etats(cache, pas_heures);
}

Ensoleillement ensoleillement(const std::vector<QPointF> &positions, double pas_heures,
                              const Test_Cache &test, double debut)
{
    std::vector<signed char> cache;
    cache.reserve(positions.size());
    for (const QPointF &p : positions)
        cache.push_back(test(p.x(), std::max(p.y(), 0.0)) ? 1 : 0);
    return compter_etats(cache, pas_heures, debut);
}
