// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "ciel/ciel_soleils.h"

#include <cmath>

Course_Ciel course_simple(int numero, double latitude, double debut, double fin, int segments)
{
    const Soleil soleil;
    const Soleil::Journee jour = soleil.journee(soleil.declinaison(numero), latitude);
    Course_Ciel course;
    course.numero = numero;
    course.debut = debut;
    course.fin = fin;
    // The altitude is cut to three decimals toward minus infinity, so a sun a hair below the
    // horizon counts as below it.
    course.position = [jour](double t) {
        const Soleil soleil;
        const double angle = Soleil::angle_horaire(t);
        const double h = std::floor(soleil.hauteur(jour, angle) * 1000.0) / 1000.0;
        double a = soleil.azimut(jour, angle, h);
        if (angle < 0)
            a = -a;
        return Soleil::Point_Ciel{a, h};
    };
    // Sample i at debut + i (fin - debut) / n, sunrise to sunset.
    course.positions.resize(static_cast<std::size_t>(segments) + 1);
    for (int i = 0; i <= segments; ++i)
        course.positions[i] = course.position(i * (fin - debut) / segments + debut);
    return course;
}

Soleil::Point_Ciel position_simple(int numero, double latitude, int heure)
{
    const Soleil soleil;
    const double angle = Soleil::angle_horaire(heure);
    const Soleil::Journee journee = soleil.journee(soleil.declinaison(numero), latitude);
    Soleil::Point_Ciel p;
    p.hauteur = soleil.hauteur(journee, angle);
    p.azimut = soleil.azimut(journee, angle, p.hauteur);
    if (angle < 0)
        p.azimut = -p.azimut;
    return p;
}

std::array<double, 367> midis_simples(double latitude)
{
    const Soleil soleil;
    std::array<double, 367> midi{};
    for (int d = 1; d <= 366; ++d)
        midi[d] = soleil.hauteur(soleil.declinaison(d), latitude, 0.0);
    return midi;
}

Ciel::Jour Ciel_Simple::jour_limite(int numero)
{
    if (legale())
        return Ciel::jour_limite(numero);
    // In true solar time the day number itself is drawn, as it always was.
    Jour j = Ciel::jour_limite(numero);
    j.numero = numero;
    j.debut = j.lever = m_soleil.heure_lever(numero, m_latitude);
    j.fin = j.coucher = m_soleil.heure_coucher(numero, m_latitude);
    return j;
}

Course_Ciel Ciel_Simple::course(const Jour &jour, int segments, int)
{
    // Finer samples where the drawing asks for them, from `position`.
    return course_simple(jour.numero, m_latitude, jour.debut, jour.fin, segments);
}

std::array<double, 367> Ciel_Simple::midis()
{
    return midis_simples(m_latitude);
}

Ensoleillement Ciel_Simple::ensoleillement(const QDate &jour, const Test_Cache &cache,
                                           const Profil_Masque *seul)
{
    if (seul)
        return ::ensoleillement(m_soleil, jour.dayOfYear(), m_latitude, *seul);
    return ::ensoleillement(m_soleil, jour.dayOfYear(), m_latitude, cache);
}

std::pair<double, double> Ciel_Simple::lever_coucher(const QDate &date)
{
    return {m_soleil.heure_lever(date.dayOfYear(), m_latitude),
            m_soleil.heure_coucher(date.dayOfYear(), m_latitude)};
}

Soleil::Point_Ciel Ciel_Simple::position_tsv(int jour, int heure)
{
    return position_simple(jour, m_latitude, heure);
}

Soleil::Point_Ciel Ciel_Simple::position_standard(int numero, int heure)
{
    std::optional<Heure_Legale::Jour_Simple> &j = m_jours_simples[numero];
    if (!j)
        j = m_horloge.jour_simple(premier().addDays(numero - 1), m_latitude);
    return m_horloge.position_heure(*j, heure);
}

void Ciel_Simple::oublier_latitude()
{
    m_jours_simples.fill(std::nullopt);
}

Soleil::Point_Ciel Ciel_Simple::soleil(const QDateTime &instant)
{
    // The solar day whose true solar time the instant is: the day of mean solar time at the
    // longitude, moved by the equation of time across its midnight.
    const QDateTime utc = instant.toUTC();
    const double moyen = utc.time().msecsSinceStartOfDay() / 3'600'000.0 + cle().longitude / 15.0;
    QDate jour = utc.date().addDays(static_cast<qint64>(std::floor(moyen / 24.0)));
    double tsv = moyen - 24.0 * std::floor(moyen / 24.0) + m_horloge.equation_du_temps(jour) / 60.0;
    if (tsv < 0.0) {
        jour = jour.addDays(-1);
        tsv += 24.0;
    } else if (tsv >= 24.0) {
        jour = jour.addDays(1);
        tsv -= 24.0;
    }
    return m_horloge.position_tsv(jour, tsv, m_latitude);
}
