// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "solar/heure_legale.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QTime>

#include <array>
#include <cmath>
#include <functional>
#include <limits>
#include <string_view>
#include <unordered_map>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
constexpr double millisecondes_par_heure = 3600.0 * 1000.0;

// x modulo 24, in [0, 24).
double heures_du_jour(double x)
{
    double h = std::fmod(x, 24.0);
    if (h < 0)
        h += 24.0;
    // fmod of a value just below a multiple of 24 can round to 24 itself.
    return h >= 24.0 ? 0.0 : h;
}

QDateTime minuit_utc(const QDate &date)
{
    return QDateTime(date, QTime(0, 0), Qt::UTC);
}

double secondes(const QDateTime &instant)
{
    return instant.toMSecsSinceEpoch() / 1000.0;
}

// Hours of UT since midnight UTC of `date` at `instant`.
double heures_depuis(const QDate &date, const QDateTime &instant)
{
    return minuit_utc(date).msecsTo(instant) / millisecondes_par_heure;
}

const QString dossier_zones = QStringLiteral("/usr/share/zoneinfo/");

// A zone's file opened for reading when it is a regular file, without waiting on a FIFO; -1
// otherwise.
int ouvrir_fichier_zone(const QByteArray &id)
{
    const QByteArray chemin = QFile::encodeName(dossier_zones) + id;
    const int descripteur = ::open(chemin.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descripteur < 0)
        return -1;
    struct stat etat {
    };
    if (::fstat(descripteur, &etat) != 0 || !S_ISREG(etat.st_mode)) {
        ::close(descripteur);
        return -1;
    }
    return descripteur;
}

// The zone's time before its first change, which QTimeZone reads as the offset after it: the
// local mean time of most zones until they took a standard time. From the zone's TZif file,
// whose time type 0 holds it.
struct Temps_Initial {
    bool connu = false;
    qint64 fin = 0;   // the first change, seconds since the epoch
    int decalage = 0; // seconds east of UTC until then
};

Temps_Initial lire_temps_initial(const QByteArray &id)
{
    Temps_Initial r;
    const int descripteur = ouvrir_fichier_zone(id);
    if (descripteur < 0)
        return r;
    QFile fichier;
    if (!fichier.open(descripteur, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descripteur);
        return r;
    }
    const QByteArray o = fichier.read(1 << 20);
    const auto entier = [&o](qsizetype i, int octets) -> qint64 {
        qint64 v = 0;
        for (int k = 0; k < octets; ++k)
            v = (v << 8) | static_cast<unsigned char>(o.at(i + k));
        // Signed, two's complement.
        if (octets < 8 && (v & (qint64(1) << (8 * octets - 1))))
            v -= qint64(1) << (8 * octets);
        return v;
    };
    const auto entete = [&](qsizetype debut, qsizetype &compte_transitions, qsizetype &types,
                            qsizetype &bloc, int largeur) {
        if (o.size() < debut + 44 || o.mid(debut, 4) != "TZif")
            return false;
        const qint64 isut = entier(debut + 20, 4), isstd = entier(debut + 24, 4),
                     leap = entier(debut + 28, 4), time = entier(debut + 32, 4),
                     type = entier(debut + 36, 4), chars = entier(debut + 40, 4);
        if (isut < 0 || isstd < 0 || leap < 0 || time < 0 || type < 1 || chars < 0)
            return false;
        compte_transitions = time;
        types = type;
        bloc = time * largeur + time + type * 6 + chars + leap * (largeur + 4) + isstd + isut;
        return o.size() >= debut + 44 + bloc;
    };
    qsizetype transitions = 0, types = 0, bloc = 0;
    if (!entete(0, transitions, types, bloc, 4))
        return r;
    qsizetype debut = 0;
    int largeur = 4;
    // Version 2 and later repeat the data with 64-bit times after the first block.
    if (o.at(4) >= '2') {
        debut = 44 + bloc;
        largeur = 8;
        if (!entete(debut, transitions, types, bloc, 8))
            return r;
    }
    if (transitions == 0)
        return r;
    const qsizetype donnees = debut + 44;
    r.fin = entier(donnees, largeur);
    r.decalage = static_cast<int>(entier(donnees + transitions * largeur + transitions, 4));
    // A zone's offset stays within a day of UTC.
    r.connu = std::abs(r.decalage) < 24 * 3600;
    return r;
}

const Temps_Initial &temps_initial(const QTimeZone &zone)
{
    thread_local QHash<QByteArray, Temps_Initial> memoire;
    const QByteArray id = zone.id();
    auto trouve = memoire.constFind(id);
    if (trouve == memoire.constEnd())
        trouve = memoire.insert(id, zone_de_la_base(id) ? lire_temps_initial(id) : Temps_Initial());
    return *trouve;
}
} // namespace

bool zone_de_la_base(const QByteArray &id)
{
    // A relative name of letters, digits, "_", "-" and "+", under the zone folder and nowhere
    // else; a POSIX rule ("ABC-3") has no file there.
    static const QRegularExpression forme(
        QStringLiteral("\\A[A-Za-z][A-Za-z0-9_+-]*(/[A-Za-z0-9_][A-Za-z0-9_+-]*)*\\z"));
    if (id.isEmpty() || id.size() > 200 || !forme.match(QString::fromLatin1(id)).hasMatch())
        return false;
    const int descripteur = ouvrir_fichier_zone(id);
    if (descripteur < 0)
        return false;
    char magie[4] = {};
    const bool tzif = ::read(descripteur, magie, 4) == 4 && std::string_view(magie, 4) == "TZif";
    ::close(descripteur);
    return tzif;
}

Heure_Legale::Heure_Legale(const QTimeZone &zone, double longitude, Modele_Soleil modele,
                           std::shared_ptr<Soleil_Precis::Memoire_Jours> jours)
    : m_zone(zone), m_longitude(longitude), m_modele(modele), m_precis(std::move(jours))
{
    const Temps_Initial &initial = temps_initial(m_zone);
    m_initial_connu = initial.connu;
    m_fin_initial = initial.fin * 1000;
    m_decalage_initial = initial.decalage;
}

double Heure_Legale::equation_du_temps(const QDate &date) const
{
    if (m_modele == Modele_Soleil::simple)
        return m_soleil.equation_du_temps(date.dayOfYear());
    const QDateTime midi =
        minuit_utc(date).addMSecs(qRound64((12.0 - m_longitude / 15.0) * millisecondes_par_heure));
    return m_precis.equation_du_temps(secondes(midi));
}

QDateTime Heure_Legale::instant(const QDate &date, double tsv) const
{
    if (m_modele == Modele_Soleil::simple) {
        // UT = TSV − longitude / 15 − equation of time.
        return minuit_utc(date).addMSecs(qRound64(
            (tsv - m_longitude / 15.0 - m_soleil.equation_du_temps(date.dayOfYear()) / 60.0) *
            millisecondes_par_heure));
    }
    // Asked twice for each course's ends (its points and its times on the clock), and for the
    // bounds of every solar day at every latitude: kept, per thread. Dropped whole once it
    // holds a few years of them.
    struct Cle {
        qint64 jour;
        double tsv;
        double longitude;
        bool operator==(const Cle &autre) const
        {
            return jour == autre.jour && tsv == autre.tsv && longitude == autre.longitude;
        }
    };
    struct Hachage {
        std::size_t operator()(const Cle &c) const
        {
            return std::hash<double>()(c.tsv) ^ (std::hash<double>()(c.longitude) << 1) ^
                   (std::hash<qint64>()(c.jour) << 2);
        }
    };
    thread_local std::unordered_map<Cle, double, Hachage> memoire;
    const Cle cle{date.toJulianDay(), tsv, m_longitude};
    auto trouve = memoire.find(cle);
    if (trouve == memoire.end()) {
        if (memoire.size() >= 4096)
            memoire.clear();
        trouve = memoire.emplace(cle, instant_precis(date, tsv, 0.0, nullptr)).first;
    }
    return QDateTime::fromMSecsSinceEpoch(qRound64(trouve->second * 1000.0), Qt::UTC);
}

double Heure_Legale::instant_precis(const QDate &date, double tsv, double latitude,
                                    Soleil_Precis::Repere *repere) const
{
    // From mean solar time, moved by the difference between the hour angle of the apparent
    // sun and the one sought: the equation of time, then a few seconds, then nothing.
    double t = secondes(minuit_utc(date)) + (tsv - m_longitude / 15.0) * 3600.0;
    const Soleil_Precis::Repere r = m_precis.repere(t, latitude, m_longitude);
    for (int i = 0; i < 3; ++i) {
        double ecart = tsv - (12.0 + m_precis.position(r, t).angle_horaire / 15.0);
        ecart -= 24.0 * std::round(ecart / 24.0);
        t += ecart * 3600.0;
    }
    if (repere)
        *repere = r;
    return t;
}

double Heure_Legale::tsv(const QDateTime &instant) const
{
    if (m_modele == Modele_Soleil::precis) {
        const Soleil_Precis::Position p = m_precis.position(secondes(instant), 0.0, m_longitude);
        return heures_du_jour(12.0 + p.angle_horaire / 15.0);
    }
    // Mean solar time, then the equation of time of the local mean day.
    const QDateTime utc = instant.toUTC();
    const double moyen = heures_depuis(utc.date(), utc) + m_longitude / 15.0;
    const QDate jour = utc.date().addDays(static_cast<qint64>(std::floor(moyen / 24.0)));
    return heures_du_jour(moyen + m_soleil.equation_du_temps(jour.dayOfYear()) / 60.0);
}

int Heure_Legale::decalage(const QDateTime &instant, bool standard) const
{
    if (m_initial_connu && instant.toMSecsSinceEpoch() < m_fin_initial)
        return m_decalage_initial;
    return standard ? m_zone.standardTimeOffset(instant) : m_zone.offsetFromUtc(instant);
}

QDateTime Heure_Legale::instant_local(const QDate &date, const QTime &temps) const
{
    if (m_initial_connu) {
        const QDateTime avant =
            QDateTime(date, temps, Qt::UTC).addSecs(-static_cast<qint64>(m_decalage_initial));
        if (avant.toMSecsSinceEpoch() < m_fin_initial)
            return avant;
    }
    return QDateTime(date, temps, m_zone);
}

QDate Heure_Legale::date_horloge(const QDateTime &instant) const
{
    return instant.toUTC().addSecs(decalage(instant)).date();
}

QDate Heure_Legale::jour_solaire(const QDate &date) const
{
    return date.addDays(date_horloge(instant(date, 12.0)).daysTo(date));
}

double Heure_Legale::heure(const QDateTime &instant, bool standard) const
{
    const QDateTime utc = instant.toUTC();
    return heures_du_jour(heures_depuis(utc.date(), utc) + decalage(instant, standard) / 3600.0);
}

double Heure_Legale::decalage_standard(const QDate &date) const
{
    // Asked for every day of the year at every rebuild (the hour lines), and the same at every
    // latitude: kept for the last zone and year asked, and dropped when either changes.
    struct Decalages {
        QByteArray zone;
        int annee = 0;
        std::array<double, 366> heures;
    };
    thread_local Decalages memoire;
    const QByteArray zone = m_zone.id();
    if (memoire.annee != date.year() || memoire.zone != zone) {
        memoire.zone = zone;
        memoire.annee = date.year();
        memoire.heures.fill(std::numeric_limits<double>::quiet_NaN());
    }
    double &heures = memoire.heures[static_cast<std::size_t>(date.dayOfYear() - 1)];
    if (std::isnan(heures))
        heures = decalage(instant_local(date, QTime(12, 0)), true) / 3600.0;
    return heures;
}

bool Heure_Legale::decalage_standard_fixe(int annee) const
{
    const QDate premier(annee, 1, 1);
    const double decalage = decalage_standard(premier);
    for (int jour = 1; jour < premier.daysInYear(); ++jour)
        if (decalage_standard(premier.addDays(jour)) != decalage)
            return false;
    return true;
}

double Heure_Legale::heure_depuis_tsv(const QDate &date, double tsv, bool standard) const
{
    return heure(instant(date, tsv), standard);
}

double Heure_Legale::tsv_depuis_heure(const QDate &date, double heure, bool standard) const
{
    QDateTime t;
    if (standard) {
        t = minuit_utc(date).addMSecs(
            qRound64((heure - decalage_standard(date)) * millisecondes_par_heure));
    } else {
        t = instant_local(date, QTime(0, 0)).addMSecs(qRound64(heure * millisecondes_par_heure));
    }
    return tsv(t);
}

Soleil_Precis::Lever_Coucher Heure_Legale::lever_coucher(const QDate &date, double latitude,
                                                         bool legale) const
{
    Soleil_Precis::Lever_Coucher r;
    if (m_modele == Modele_Soleil::simple) {
        const int n = date.dayOfYear();
        const double lever = m_soleil.heure_lever(n, latitude);
        const double coucher = m_soleil.heure_coucher(n, latitude);
        if (lever == 0.0 && coucher == 24.0) {
            // Polar day or night: the sun at noon tells them apart.
            r.toujours_leve = m_soleil.hauteur(m_soleil.declinaison(n), latitude, 0.0) >= 0;
            r.jamais_leve = !r.toujours_leve;
            return r;
        }
        r.lever = legale ? heure_depuis_tsv(date, lever) : lever;
        r.coucher = legale ? heure_depuis_tsv(date, coucher) : coucher;
        return r;
    }

    // The clock day of the zone (23 or 25 hours on a change of time), or the solar day.
    const QDateTime debut = legale ? instant_local(date, QTime(0, 0)) : instant(date, 0.0);
    const QDateTime fin =
        legale ? instant_local(date.addDays(1), QTime(0, 0)) : instant(date, 24.0);
    r = m_precis.lever_coucher(secondes(debut), secondes(fin), latitude, m_longitude);
    const auto echelle = [&](double t) {
        if (std::isnan(t))
            return t;
        const QDateTime i = QDateTime::fromMSecsSinceEpoch(qRound64(t * 1000.0), Qt::UTC);
        return legale ? heure(i) : tsv(i);
    };
    r.lever = echelle(r.lever);
    r.coucher = echelle(r.coucher);
    return r;
}

Soleil::Point_Ciel Heure_Legale::position_tsv(const QDate &date, double tsv, double latitude) const
{
    Soleil::Point_Ciel p;
    if (m_modele == Modele_Soleil::precis) {
        // One frame for the instant and the position.
        Soleil_Precis::Repere repere;
        const double t = instant_precis(date, tsv, latitude, &repere);
        const Soleil_Precis::Position s = m_precis.position(repere, t);
        p.azimut = s.azimut;
        p.hauteur = s.hauteur;
        return p;
    }
    return position_simple(m_soleil.journee(m_soleil.declinaison(date.dayOfYear()), latitude), tsv);
}

Soleil::Point_Ciel Heure_Legale::position_simple(const Soleil::Journee &journee, double tsv) const
{
    Soleil::Point_Ciel p;
    const double angle = Soleil::angle_horaire(tsv);
    p.hauteur = m_soleil.hauteur(journee, angle);
    p.azimut = m_soleil.azimut(journee, angle, p.hauteur);
    if (angle < 0)
        p.azimut = -p.azimut;
    return p;
}

std::vector<Heure_Legale::Point_Course> Heure_Legale::course(const QDate &date, double latitude,
                                                             double debut, double fin, int segments,
                                                             bool legale) const
{
    std::vector<Point_Course> points;
    if (segments < 1 || !std::isfinite(debut) || !std::isfinite(fin))
        return points;
    points.reserve(segments + 1);

    if (m_modele == Modele_Soleil::simple) {
        for (int i = 0; i <= segments; ++i) {
            const double h = debut + i * (fin - debut) / segments;
            const double t = legale ? tsv(instant_horloge(date, h)) : h;
            const Soleil::Point_Ciel p = position_tsv(date, t, latitude);
            points.push_back({legale ? heures_du_jour(h) : h, p.azimut, p.hauteur});
        }
        return points;
    }

    const Course_Precise c = course_precise(date, latitude, debut, fin, segments, legale);
    for (int i = 0; i <= segments; ++i) {
        const double t = c.instant(i);
        const Soleil_Precis::Position p = m_precis.position(c.repere, t);
        // True solar time from the hour angle of the same computation.
        const double h = legale
                             ? heure(QDateTime::fromMSecsSinceEpoch(qRound64(t * 1000.0), Qt::UTC))
                             : heures_du_jour(12.0 + p.angle_horaire / 15.0);
        points.push_back({h, p.azimut, p.hauteur});
    }
    return points;
}

Heure_Legale::Course_Precise Heure_Legale::course_precise(const QDate &date, double latitude,
                                                          double debut, double fin, int segments,
                                                          bool legale) const
{
    Course_Precise c;
    c.segments = segments;
    c.t0 = secondes(legale ? instant_horloge(date, debut) : instant(date, debut));
    c.t1 = secondes(legale ? instant_horloge(date, fin) : instant(date, fin));
    c.repere = m_precis.repere((c.t0 + c.t1) / 2, latitude, m_longitude);
    return c;
}

QDateTime Heure_Legale::instant_horloge(const QDate &date, double h) const
{
    const double jours = std::floor(h / 24.0);
    const QTime temps = QTime::fromMSecsSinceStartOfDay(
        static_cast<int>(qRound64((h - 24.0 * jours) * millisecondes_par_heure)) %
        (24 * 3600 * 1000));
    return instant_local(date.addDays(static_cast<qint64>(jours)), temps);
}

Soleil::Point_Ciel Heure_Legale::position_heure(const QDate &date, int heure, double latitude) const
{
    if (m_modele == Modele_Soleil::precis) {
        const double ut = heure - decalage_standard(date);
        Soleil::Point_Ciel p;
        const QDateTime t = minuit_utc(date).addMSecs(qRound64(ut * millisecondes_par_heure));
        const Soleil_Precis::Position s = m_precis.position(secondes(t), latitude, m_longitude);
        p.azimut = s.azimut;
        p.hauteur = s.hauteur;
        return p;
    }
    return position_heure(jour_simple(date, latitude), heure);
}

Heure_Legale::Jour_Simple Heure_Legale::jour_simple(const QDate &date, double latitude) const
{
    const int n = date.dayOfYear();
    return {decalage_standard(date), m_soleil.equation_du_temps(n),
            m_soleil.journee(m_soleil.declinaison(n), latitude)};
}

Soleil::Point_Ciel Heure_Legale::position_heure(const Jour_Simple &jour, int heure) const
{
    const double ut = heure - jour.decalage;
    return position_simple(jour.journee,
                           heures_du_jour(ut + m_longitude / 15.0 + jour.equation / 60.0));
}

std::vector<int> Heure_Legale::jours_visites(int annee, int jour_debut, int jour_fin, int pas)
{
    std::vector<int> jours;
    const int dernier = std::min(jour_fin, QDate(annee, 1, 1).daysInYear());
    if (pas < 1)
        pas = 1;
    for (int jour = std::max(1, jour_debut); jour <= dernier;) {
        jours.push_back(jour);
        if (jour == dernier)
            break;
        jour = std::min(jour + pas, dernier);
    }
    return jours;
}

std::vector<Heure_Legale::Point_Heure> Heure_Legale::ligne_heure(int annee, int heure,
                                                                 int jour_debut, int jour_fin,
                                                                 double latitude, int pas) const
{
    std::vector<Point_Heure> points;
    const QDate premier(annee, 1, 1);
    for (const int jour : jours_visites(annee, jour_debut, jour_fin, pas)) {
        const Soleil::Point_Ciel p = position_heure(premier.addDays(jour - 1), heure, latitude);
        points.push_back({jour, p.azimut, p.hauteur});
    }
    return points;
}

std::vector<std::vector<Heure_Legale::Point_Heure>>
Heure_Legale::lignes_heures(int annee, double latitude, int pas) const
{
    std::vector<std::vector<Point_Heure>> lignes(24);
    const QDate premier(annee, 1, 1);
    for (const int jour : jours_visites(annee, 1, premier.daysInYear(), pas)) {
        const QDate date = premier.addDays(jour - 1);
        if (m_modele == Modele_Soleil::simple) {
            const Jour_Simple termes = jour_simple(date, latitude);
            for (int heure = 0; heure < 24; ++heure) {
                const Soleil::Point_Ciel p = position_heure(termes, heure);
                lignes[heure].push_back({jour, p.azimut, p.hauteur});
            }
            continue;
        }
        const double minuit = secondes(minuit_utc(date)) - decalage_standard(date) * 3600.0;
        const Soleil_Precis::Repere repere =
            m_precis.repere(minuit + 12.0 * 3600.0, latitude, m_longitude);
        for (int heure = 0; heure < 24; ++heure) {
            const Soleil_Precis::Position p = m_precis.position(repere, minuit + heure * 3600.0);
            lignes[heure].push_back({jour, p.azimut, p.hauteur});
        }
    }
    return lignes;
}
