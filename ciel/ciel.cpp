// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// What every sky shares: the clock (the solar day of a date, its times on the clock, the hour
// lines of standard time), and the thread's sky kept from one drawing to the next. The simple
// sun is in ciel/ciel_simple.cpp, the accurate one in ciel/ciel_precis.cpp.
#include "ciel/ciel.h"

#include "ciel/ciel_soleils.h"

#include <QTimeZone>

#include <algorithm>
#include <cmath>

namespace
{
// Days between two points of an hour line of the clock: its loop turns sharply near the
// solstices.
constexpr int pas_ligne_horloge = 5;
// The solar days kept: dropped whole past this many.
constexpr std::size_t jours_solaires_max = 4096;

// The same number to the bit: a latitude or longitude of −0 is not redrawn from +0's memories.
bool meme_nombre(double a, double b)
{
    return a == b && std::signbit(a) == std::signbit(b);
}
} // namespace

bool Ciel::Cle::operator==(const Cle &autre) const
{
    return annee == autre.annee && fuseau == autre.fuseau &&
           meme_nombre(longitude, autre.longitude) && modele == autre.modele &&
           echelle == autre.echelle;
}

Ciel::Ciel(const Cle &cle)
    : m_horloge(cle.zone(), cle.longitude, cle.modele, jours_du_fil()), m_cle(cle)
{
}

Ciel::~Ciel() = default;

std::unique_ptr<Ciel> Ciel::creer(const Cle &cle)
{
    if (cle.modele == Modele_Soleil::precis)
        return std::make_unique<Ciel_Precis>(cle);
    return std::make_unique<Ciel_Simple>(cle);
}

std::shared_ptr<Ciel> Ciel::du_fil(const Cle &cle, double latitude)
{
    thread_local std::shared_ptr<Ciel> ciel;
    if (!ciel || ciel->cle() != cle)
        ciel = creer(cle);
    ciel->placer(latitude);
    return ciel;
}

const std::shared_ptr<Soleil_Precis::Memoire_Jours> &Ciel::jours_du_fil()
{
    thread_local const std::shared_ptr<Soleil_Precis::Memoire_Jours> jours =
        std::make_shared<Soleil_Precis::Memoire_Jours>();
    return jours;
}

void Ciel::placer(double latitude)
{
    if (meme_nombre(latitude, m_latitude))
        return;
    m_latitude = latitude;
    oublier_latitude();
}

bool Ciel::nomme_echelle() const
{
    return m_cle.modele != Modele_Soleil::simple || legale();
}

QTimeZone Ciel::Cle::zone() const
{
    const QTimeZone zone(fuseau);
    return fuseau.isEmpty() || !zone.isValid() ? QTimeZone(QByteArrayLiteral("UTC")) : zone;
}

QString Ciel::Cle::nom_fuseau() const
{
    const QTimeZone zone(fuseau);
    return fuseau.isEmpty() || !zone.isValid() ? QStringLiteral("UTC")
                                               : QString::fromLatin1(fuseau);
}

QString Ciel::Cle::nom_echelle() const
{
    if (echelle == Echelle_Heures::Temps_solaire_vrai)
        return QStringLiteral("Temps solaire vrai");
    return QStringLiteral("Heure légale — ") + nom_fuseau();
}

QString Ciel::Cle::nom_modele() const
{
    return modele == Modele_Soleil::precis
               ? QStringLiteral("précis (éphémérides, réfraction comprise)")
               : QStringLiteral("simple");
}

QDate Ciel::jour_solaire(const QDate &date)
{
    if (!legale())
        return date;
    auto trouve = std::find_if(m_jours_solaires.begin(), m_jours_solaires.end(),
                               [&](const auto &paire) { return paire.first == date; });
    if (trouve == m_jours_solaires.end()) {
        if (m_jours_solaires.size() >= jours_solaires_max)
            m_jours_solaires.clear();
        m_jours_solaires.emplace_back(date, m_horloge.jour_solaire(date));
        trouve = m_jours_solaires.end() - 1;
    }
    return trouve->second;
}

double Ciel::heure(const QDate &date, double tsv)
{
    return legale() ? m_horloge.heure_depuis_tsv(jour_solaire(date), tsv) : tsv;
}

std::vector<std::vector<Heure_Legale::Point_Heure>> Ciel::lignes_horloge(int pas) const
{
    if (!legale())
        return {};
    return m_horloge.lignes_heures(m_cle.annee, m_latitude, pas);
}

double Ciel::midi_le_plus_haut(const std::vector<int> &numeros) const
{
    const Soleil soleil;
    double haute = -90.0;
    for (const int numero : numeros)
        haute = std::max(haute, 90.0 - std::abs(m_latitude - soleil.declinaison(numero)));
    return haute + hausse_midi();
}

Ciel::Jour Ciel::jour(const QDate &date)
{
    Jour j;
    j.date = date;
    j.jour = jour_solaire(date);
    j.numero = j.jour.dayOfYear();
    std::tie(j.debut, j.fin) = lever_coucher(j.jour);
    j.lever = j.debut;
    j.coucher = j.fin;
    // The day's length is that of the solar day; on the clock only the times move.
    if (legale()) {
        j.longueur = j.coucher - j.lever;
        if (!(j.lever == 0.0 && j.coucher == 24.0)) {
            const QDateTime lever = m_horloge.instant(j.jour, j.lever);
            const QDateTime coucher = m_horloge.instant(j.jour, j.coucher);
            j.lever = m_horloge.heure(lever);
            j.coucher = m_horloge.heure(coucher);
            j.jour_lever = static_cast<int>(date.daysTo(m_horloge.date_horloge(lever)));
            j.jour_coucher = static_cast<int>(date.daysTo(m_horloge.date_horloge(coucher)));
        }
    }
    return j;
}

Ciel::Jour Ciel::jour_limite(int numero)
{
    Jour j;
    j.date = premier().addDays(numero - 1);
    j.jour = j.date;
    j.numero = j.jour.dayOfYear();
    std::tie(j.debut, j.fin) = lever_coucher(j.jour);
    j.lever = j.debut;
    j.coucher = j.fin;
    return j;
}

std::vector<Heure_Legale::Point_Course> Ciel::points_course(const Jour &jour, int segments) const
{
    return m_horloge.course(jour.jour, m_latitude, jour.debut, jour.fin, segments, false);
}

Lignes_Heures Ciel::lignes_heures(int jour1, int jour2, double lever, double coucher)
{
    Lignes_Heures lignes;
    const int d_min = std::min(jour1, jour2);
    const int d_max = std::max(jour1, jour2);
    lignes.bond_max = bond_max();
    if (!legale()) {
        // Whole hours of true solar time between the limit days.
        lignes.heure_min = std::floor(lever);
        lignes.heure_max = std::floor(coucher);
        lignes.jour_min = d_min;
        lignes.jour_max = d_max;
        lignes.montee_max = montee_tsv();
        lignes.position = [this](int jour, int heure) { return position_tsv(jour, heure); };
        return lignes;
    }
    // Whole hours of the zone's standard time over a whole year, each a loop about its hour:
    // the equation of time moves the sun east and west of it through the seasons. The year
    // starts at the limit day whose point the label is placed from.
    const int longueur = premier().daysInYear();
    const int debut = m_latitude > 0 ? d_min : d_max;
    lignes.heure_min = 0;
    lignes.heure_max = 23;
    lignes.jour_min = debut;
    lignes.jour_max = debut + longueur - 1;
    lignes.sans_midi = false;
    lignes.pas_max = pas_ligne_horloge;
    // A change of the zone's standard time within the year moves its hours at once.
    if (m_decalage_fixe < 0)
        m_decalage_fixe = m_horloge.decalage_standard_fixe(m_cle.annee) ? 1 : 0;
    lignes.montee_max = m_decalage_fixe ? montee_max_par_jour : 0.0;
    lignes.position = [this, longueur](int jour, int heure) {
        return position_standard((jour - 1) % longueur + 1, heure);
    };
    return lignes;
}
