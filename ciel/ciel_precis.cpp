// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "ciel/ciel_soleils.h"

#include <QDateTime>
#include <QTime>

#include <algorithm>
#include <cmath>
#include <limits>

namespace
{
// Degrees by which the accurate sun at noon may stand above the simple model's: its declination
// and refraction.
constexpr double hausse_precise = 0.5;
// What the accurate sun may climb at once besides: its refraction, nothing below −1° of true
// height, 0.65° there.
const double bond_refraction = Soleil_Precis::refraction(-1.0);
// A course of the accurate sun starts and ends with the sun's centre at the height of sunrise
// (upper limb on the horizon, refraction included), a little below 0; the thousandth of a
// degree covers the course's heights being cut to three decimals.
const double horizon_precis =
    hauteur_lever_coucher + Soleil_Precis::refraction(hauteur_lever_coucher) - 0.001;

// The most days whose counted courses a sky keeps (ciel_soleils.h).
constexpr std::size_t courses_comptees_max = 800;

// Sunrise and sunset in true solar time as the course is drawn: 0 and 24 where there is none.
std::pair<double, double> heures_course(const Soleil_Precis::Lever_Coucher &r)
{
    return {std::isnan(r.lever) ? 0.0 : r.lever, std::isnan(r.coucher) ? 24.0 : r.coucher};
}
} // namespace

Ciel_Precis::Ciel_Precis(const Cle &cle)
    : Ciel(cle), m_precis(m_horloge.precis()),
      m_minuit_premier(QDateTime(premier(), QTime(0, 0), Qt::UTC).toSecsSinceEpoch())
{
    m_minuits_standard.fill(std::numeric_limits<double>::quiet_NaN());
}

const Soleil_Precis::Lever_Coucher &Ciel_Precis::lever_coucher_precis(const QDate &date)
{
    auto trouve = m_levers.find(date);
    if (trouve == m_levers.end())
        trouve = m_levers.emplace(date, m_horloge.lever_coucher(date, m_latitude, false)).first;
    return trouve->second;
}

std::pair<double, double> Ciel_Precis::lever_coucher(const QDate &date)
{
    return heures_course(lever_coucher_precis(date));
}

Course_Ciel Ciel_Precis::course(const Jour &jour, int segments, int finesse)
{
    Course_Ciel course;
    course.numero = jour.numero;
    course.debut = jour.debut;
    course.fin = jour.fin;
    course.horizon = horizon_precis;
    const auto points =
        m_horloge.course(jour.jour, m_latitude, jour.debut, jour.fin, segments * finesse, false);
    course.positions.reserve(points.size());
    for (const Heure_Legale::Point_Course &p : points)
        course.positions.push_back({p.azimut, std::floor(p.hauteur * 1000.0) / 1000.0});
    return course;
}

double Ciel_Precis::minuit(int jour) const
{
    return static_cast<double>(m_minuit_premier + (jour - 1) * qint64(86400));
}

double Ciel_Precis::midi(int jour) const
{
    const int longueur = premier().daysInYear();
    const int numero = jour > longueur ? jour - longueur : jour;
    return minuit(jour) +
           (12.0 - cle().longitude / 15.0 - m_soleil.equation_du_temps(numero) / 60.0) * 3600.0;
}

const Soleil_Precis::Repere &Ciel_Precis::repere(int jour)
{
    std::optional<Soleil_Precis::Repere> &r = m_reperes[static_cast<std::size_t>(jour)];
    if (!r)
        r = m_precis.repere(midi(jour), m_latitude, cle().longitude);
    return *r;
}

Soleil_Precis::Position Ciel_Precis::position(int jour, double instant)
{
    return m_precis.position(repere(jour), instant);
}

Soleil::Point_Ciel Ciel_Precis::position_tsv(int jour, int heure)
{
    // From mean solar time, moved by the hour angle's difference three times (seconds, then
    // nothing left).
    const double tsv = heure;
    double t = minuit(jour) + (tsv - cle().longitude / 15.0) * 3600.0;
    for (int i = 0; i < 3; ++i) {
        double ecart = tsv - (12.0 + position(jour, t).angle_horaire / 15.0);
        ecart -= 24.0 * std::round(ecart / 24.0);
        t += ecart * 3600.0;
    }
    const Soleil_Precis::Position p = position(jour, t);
    return {p.azimut, p.hauteur};
}

Soleil::Point_Ciel Ciel_Precis::position_standard(int numero, int heure)
{
    double &minuit_standard = m_minuits_standard[static_cast<std::size_t>(numero)];
    if (std::isnan(minuit_standard))
        minuit_standard =
            minuit(numero) - m_horloge.decalage_standard(premier().addDays(numero - 1)) * 3600.0;
    const Soleil_Precis::Position p = position(numero, minuit_standard + heure * 3600.0);
    return {p.azimut, p.hauteur};
}

// Heights at noon for the limit days, which only compare each day's with its neighbours' and
// tell their signs (Scene::jour_soleil). They are computed every eighth day, and between two
// such days only where they may turn or meet the horizon: elsewhere the straight line between
// the two stands for them, which orders and signs those days as the computed heights would.
std::array<double, 367> Ciel_Precis::midis()
{
    if (m_midis)
        return *m_midis;
    std::array<double, 367> midi{};
    const auto calculer = [&](int jour) {
        midi[jour] = position(jour, this->midi(jour)).hauteur_geometrique - hauteur_lever_coucher;
    };
    constexpr int ecart = 8;
    // The noon height changes from one day to the next by at most this much more than from the
    // day before, degrees: the declination's own bend (0.0074°) with room, as long as the sun
    // stays this far below the zenith (degrees a day and more), where the height turns sharply.
    constexpr double courbure = 0.02;
    constexpr double sous_zenith = 0.41 * ecart + 5.0;
    calculer(1);
    for (int a = 1; a < 366;) {
        const int b = std::min(366, a + ecart);
        calculer(b);
        const int n = b - a;
        const double pente = (midi[b] - midi[a]) / n;
        // Each day's height strays from the line by at most courbure n² / 8, each day's change
        // from the line's slope by at most courbure (n - 1) / 2.
        const double ecart_ligne = courbure * n * n / 8.0 + 1e-9;
        const bool sur_la_ligne =
            std::isfinite(pente) &&
            std::max(midi[a], midi[b]) + hauteur_lever_coucher <= 90.0 - sous_zenith &&
            std::abs(pente) > courbure * (n - 1) / 2.0 + 1e-9 &&
            ((midi[a] > ecart_ligne && midi[b] > ecart_ligne) ||
             (midi[a] < -ecart_ligne && midi[b] < -ecart_ligne));
        for (int jour = a + 1; jour < b; ++jour) {
            if (sur_la_ligne)
                midi[jour] = midi[a] + pente * (jour - a);
            else
                calculer(jour);
        }
        a = b;
    }
    m_midis = midi;
    return midi;
}

double Ciel_Precis::hausse_midi() const
{
    return hausse_precise;
}

double Ciel_Precis::bond_max() const
{
    return bond_refraction;
}

// The sun a mask takes away from a day: its positions a minute apart from its sunrise to its
// sunset; nothing on a day it never rises. Behind the outline alone (`seul`), only the positions
// that tell the sun's side of it are computed.
Ensoleillement Ciel_Precis::ensoleillement(const QDate &jour, const Test_Cache &cache,
                                           const Profil_Masque *seul)
{
    const Soleil_Precis::Lever_Coucher &r = lever_coucher_precis(jour);
    if (r.jamais_leve)
        return {};
    const auto [lever, coucher] = heures_course(r);
    const int minutes = std::max(1, static_cast<int>(std::ceil((coucher - lever) * 60.0)));
    if (seul) {
        const Heure_Legale::Course_Precise course =
            m_horloge.course_precise(jour, m_latitude, lever, coucher, minutes, false);
        return ::ensoleillement(
            minutes, (coucher - lever) / minutes,
            [&](int k) {
                const Soleil_Precis::Position p =
                    m_precis.position(course.repere, course.instant(k));
                return Place_Soleil{p.azimut, p.hauteur, p.hauteur_geometrique};
            },
            *seul);
    }
    auto course = m_courses_comptees.find(jour);
    if (course == m_courses_comptees.end()) {
        if (m_courses_comptees.size() >= courses_comptees_max)
            m_courses_comptees.clear();
        std::vector<QPointF> positions;
        positions.reserve(static_cast<std::size_t>(minutes) + 1);
        for (const Heure_Legale::Point_Course &p :
             m_horloge.course(jour, m_latitude, lever, coucher, minutes, false))
            positions.emplace_back(p.azimut, p.hauteur);
        course = m_courses_comptees.emplace(jour, std::move(positions)).first;
    }
    return ::ensoleillement(course->second, (coucher - lever) / minutes, cache, lever);
}

void Ciel_Precis::oublier_latitude()
{
    m_reperes.fill(std::nullopt);
    m_levers.clear();
    m_midis.reset();
    m_courses_comptees.clear();
}

Soleil::Point_Ciel Ciel_Precis::soleil(const QDateTime &instant)
{
    const Soleil_Precis::Position p =
        m_precis.position(instant.toMSecsSinceEpoch() / 1000.0, m_latitude, cle().longitude);
    return {p.azimut, p.hauteur};
}
