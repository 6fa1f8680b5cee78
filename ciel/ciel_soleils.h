// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_CIEL_CIEL_SOLEILS_H
#define ORVANE_CIEL_CIEL_SOLEILS_H

// The two suns behind the sky (ciel/ciel.h), seen only by ciel/: callers ask Ciel::creer.

#include "ciel/ciel.h"
#include "solar/soleil_precis.h"

#include <QPointF>

#include <array>
#include <map>
#include <optional>
#include <vector>

// The most the sun at a fixed hour climbs from one day to the next, degrees: its declination
// moves up to 0.41° a day and the equation of time half a minute (0.13°).
inline constexpr double montee_max_par_jour = 0.6;

// The diagram's own formulas (solar/soleil.h).
class Ciel_Simple : public Ciel
{
public:
    explicit Ciel_Simple(const Cle &cle) : Ciel(cle) {}

    Jour jour_limite(int numero) override;
    Course_Ciel course(const Jour &jour, int segments, int finesse) override;
    std::array<double, 367> midis() override;
    Ensoleillement ensoleillement(const QDate &jour, const Test_Cache &cache,
                                  const Profil_Masque *seul) override;
    Soleil::Point_Ciel soleil(const QDateTime &instant) override;

protected:
    double hausse_midi() const override { return 0.0; }
    std::pair<double, double> lever_coucher(const QDate &date) override;
    Soleil::Point_Ciel position_tsv(int jour, int heure) override;
    double montee_tsv() const override { return 0.0; }
    Soleil::Point_Ciel position_standard(int numero, int heure) override;
    double bond_max() const override { return 0.0; }
    void oublier_latitude() override;

private:
    Soleil m_soleil;
    // What each day's 24 hours of the clock share, worked out at its first hour.
    std::array<std::optional<Heure_Legale::Jour_Simple>, 367> m_jours_simples;
};

// The apparent sun of the ephemeris, with refraction (solar/soleil_precis.h).
class Ciel_Precis : public Ciel
{
public:
    explicit Ciel_Precis(const Cle &cle);

    Course_Ciel course(const Jour &jour, int segments, int finesse) override;
    std::array<double, 367> midis() override;
    Ensoleillement ensoleillement(const QDate &jour, const Test_Cache &cache,
                                  const Profil_Masque *seul) override;
    Soleil::Point_Ciel soleil(const QDateTime &instant) override;

protected:
    double hausse_midi() const override;
    std::pair<double, double> lever_coucher(const QDate &date) override;
    Soleil::Point_Ciel position_tsv(int jour, int heure) override;
    double montee_tsv() const override { return montee_max_par_jour; }
    Soleil::Point_Ciel position_standard(int numero, int heure) override;
    double bond_max() const override;
    void oublier_latitude() override;

private:
    // The accurate sunrise and sunset of a solar day, searched once for its course and for the
    // sun the mask takes from it.
    const Soleil_Precis::Lever_Coucher &lever_coucher_precis(const QDate &date);
    // Day `jour` of the year (366 in a common year: 1 January of the next) at the latitude: the
    // terms of the UTC day of its solar noon, kept for every latitude (Ciel::jours_du_fil), and
    // the place.
    const Soleil_Precis::Repere &repere(int jour);
    Soleil_Precis::Position position(int jour, double instant);
    // Instants (seconds) of the day's midnight UTC and of its solar noon (from Spencer's
    // equation of time, within a minute).
    double minuit(int jour) const;
    double midi(int jour) const;

    Soleil m_soleil;
    // The clock's own, sharing its memory of days.
    Soleil_Precis m_precis;
    // Midnight UTC of the key's 1 January, seconds.
    qint64 m_minuit_premier = 0;
    // Instant of each day's 0 h of the zone's standard time, whatever the latitude: NaN until
    // asked.
    std::array<double, 367> m_minuits_standard;
    // For the latitude.
    std::array<std::optional<Soleil_Precis::Repere>, 367> m_reperes;
    std::map<QDate, Soleil_Precis::Lever_Coucher> m_levers;
    std::optional<std::array<double, 367>> m_midis;
    // The courses counted behind a test, a minute apart, kept for the latitude: the window's
    // year grid counts every day again each time the window changes, the sun unchanged. Some
    // two years of days at most.
    std::map<QDate, std::vector<QPointF>> m_courses_comptees;
};

#endif
