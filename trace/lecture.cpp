// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "trace/lecture.h"

#include "annee/grille_annee.h"
#include "masks/ensoleillement.h"
#include "solar/soleil.h"
#include "trace/ombres.h"

#include <QLineF>
#include <QLocale>
#include <QTime>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace
{
// Samples of a course for the read-out: a point every few minutes.
constexpr int segments_lecture = 240;
// Two samples more than this many hours apart straddle midnight: no time between them.
constexpr double saut_horaire = 12.0;
// Days between two samples of an hour line, as it is drawn.
constexpr int pas_ligne_horaire = 5;

// Walks the segments of `lignes` (each with its `points`, each point with its `azimut` and
// `hauteur`) that have an end above the horizon, and calls `retenir(ligne, p0, p1, t)` for each
// one that passes nearer `point` than those before it and within `portee` scene units, `t`
// (0..1) saying where along it the nearest point lies: the last call is the nearest segment.
template <typename Ligne, typename Retenir>
void segment_le_plus_proche(const std::vector<Ligne> &lignes, const Projection &projection,
                            const QPointF &point, double portee, Retenir retenir)
{
    const auto projete = [&](const auto &p) { return projection.point(p.azimut, p.hauteur); };
    // On the chart a segment across the seam is not drawn as one.
    const double ecart_max = projection.est_polaire() ? std::numeric_limits<double>::infinity()
                                                      : projection.cadre().width() / 2.0;
    double meilleure = portee;
    for (const Ligne &ligne : lignes) {
        for (std::size_t i = 0; i + 1 < ligne.points.size(); ++i) {
            const auto &p0 = ligne.points[i];
            const auto &p1 = ligne.points[i + 1];
            if (!(p0.hauteur >= 0 || p1.hauteur >= 0))
                continue;
            const QPointF a = projete(p0);
            const QPointF ab = projete(p1) - a;
            if (std::abs(ab.x()) > ecart_max)
                continue;
            const double longueur2 = QPointF::dotProduct(ab, ab);
            const double t = std::clamp(
                longueur2 > 0 ? QPointF::dotProduct(point - a, ab) / longueur2 : 0.0, 0.0, 1.0);
            const double distance = QLineF(point, a + t * ab).length();
            if (!(distance <= meilleure))
                continue;
            meilleure = distance;
            retenir(ligne, p0, p1, t);
        }
    }
}

// Whole hours without their minutes: "13h"; otherwise as the table writes them.
QString texte_heure_ligne(double heure)
{
    return heure == std::floor(heure) ? QString::number(heure, 'f', 0) + QLatin1Char('h')
                                      : texte_heure(heure);
}
} // namespace

std::vector<Course_Lue> courses_lues(const Description_Diagramme &description,
                                     const QVector<QDate> &dates)
{
    const std::shared_ptr<Ciel> ciel = ciel_description(description);
    const bool fenetre = description.ombrage.facade_active();
    const Test_Cache cache = fenetre ? test_fenetre(description) : Test_Cache();
    std::vector<Course_Lue> courses;
    for (const QDate &date : dates) {
        if (!date.isValid())
            continue;
        // The solar day the diagram draws for that row.
        const Ciel::Jour jour = ciel->jour(date);
        courses.push_back({date, ciel->points_course(jour, segments_lecture), {}});
        if (fenetre)
            courses.back().periodes_fenetre =
                soleil_fenetre(*ciel, date, jour.jour, cache).periodes;
    }
    return courses;
}

Lecture lire_sous_pointeur(const Description_Diagramme &description,
                           const std::vector<Course_Lue> &courses, int diametre,
                           const QPointF &point, double portee)
{
    return lire_sous_pointeur(description, courses,
                              Projection::polaire(Type_Projection::Equidistante, diametre), point,
                              portee);
}

Lecture lire_sous_pointeur(const Description_Diagramme &description,
                           const std::vector<Course_Lue> &courses, const Projection &projection,
                           const QPointF &point, double portee)
{
    Lecture lecture;
    if (!projection.dans_ciel(point))
        return lecture;
    lecture.dans_disque = true;
    const Soleil::Point_Ciel ciel = projection.direction(point);
    lecture.azimut = ciel.azimut;
    lecture.hauteur = ciel.hauteur;

    // The nearest segment of a course above the horizon, and the time along it.
    double tsv = 0.0;
    const Course_Lue *trouvee = nullptr;
    segment_le_plus_proche(courses, projection, point, portee,
                           [&](const Course_Lue &course, const Heure_Legale::Point_Course &p0,
                               const Heure_Legale::Point_Course &p1, double t) {
                               trouvee = &course;
                               tsv = std::abs(p1.heure - p0.heure) > saut_horaire
                                         ? (t < 0.5 ? p0.heure : p1.heure)
                                         : p0.heure + t * (p1.heure - p0.heure);
                           });
    if (!trouvee)
        return lecture;
    lecture.sur_course = true;
    lecture.date = trouvee->date;
    lecture.heure = ciel_description(description)->heure(trouvee->date, tsv);
    lecture.avec_fenetre = description.ombrage.facade_active();
    lecture.periodes_fenetre = trouvee->periodes_fenetre;
    return lecture;
}

std::vector<Ligne_Horaire_Lue> lignes_horaires_lues(const Description_Diagramme &description)
{
    std::vector<Ligne_Horaire_Lue> lignes;
    if (!description.limites || !description.heures)
        return lignes;
    const int annee = description.date_choisie.year();
    int heure = 0;
    for (auto &points : ciel_description(description)->lignes_horloge(pas_ligne_horaire))
        lignes.push_back({heure++, annee, std::move(points)});
    return lignes;
}

void lire_ligne_horaire(Lecture &lecture, const Description_Diagramme &description,
                        const std::vector<Ligne_Horaire_Lue> &lignes, int diametre,
                        const QPointF &point, double portee)
{
    lire_ligne_horaire(lecture, description, lignes,
                       Projection::polaire(Type_Projection::Equidistante, diametre), point, portee);
}

void lire_ligne_horaire(Lecture &lecture, const Description_Diagramme &description,
                        const std::vector<Ligne_Horaire_Lue> &lignes, const Projection &projection,
                        const QPointF &point, double portee)
{
    if (!lecture.dans_disque)
        return;
    const Ligne_Horaire_Lue *trouvee = nullptr;
    QDate jour;
    segment_le_plus_proche(
        lignes, projection, point, portee,
        [&](const Ligne_Horaire_Lue &ligne, const Heure_Legale::Point_Heure &p0,
            const Heure_Legale::Point_Heure &p1, double t) {
            trouvee = &ligne;
            jour = QDate(ligne.annee, 1, 1).addDays((t < 0.5 ? p0.jour : p1.jour) - 1);
        });
    if (!trouvee)
        return;
    if (lecture.sur_course)
        jour = lecture.date;
    // The clock's offset on that day at that hour of standard time, daylight saving included.
    const Heure_Legale horloge = horloge_description(description);
    const double ut = trouvee->heure - horloge.decalage_standard(jour);
    const QDateTime instant = QDateTime(jour, QTime(0, 0), Qt::UTC).addSecs(qRound64(ut * 3600.0));
    lecture.sur_ligne_horaire = true;
    lecture.heure_ligne = trouvee->heure;
    lecture.heure_ligne_horloge = horloge.heure(instant);
}

double relevement(double azimut)
{
    const double r = std::fmod(360.0 - azimut, 360.0);
    return r < 0 ? r + 360.0 : r;
}

QString point_cardinal(double azimut)
{
    static const char *const noms[16] = {"N", "NNE", "NE", "ENE", "E", "ESE", "SE", "SSE",
                                         "S", "SSO", "SO", "OSO", "O", "ONO", "NO", "NNO"};
    const int i = static_cast<int>(std::floor(relevement(azimut) / 22.5 + 0.5)) % 16;
    return QString::fromLatin1(noms[i]);
}

QString texte_lecture(const Lecture &lecture, const Description_Diagramme &description)
{
    if (!lecture.dans_disque)
        return QString();
    const QLocale locale;
    QString texte;
    if (description.options.graduations_azimut == Graduations_Azimut::Caps) {
        // To the tenth of a degree, as the table's azimuth; 359.96 reads 0,0.
        const double cap = std::fmod(std::round(relevement(lecture.azimut) * 10.0), 3600.0) / 10.0;
        texte = QStringLiteral("Cap : %1° (%2) — Hauteur : %3°")
                    .arg(locale.toString(cap, 'f', 1), point_cardinal(lecture.azimut),
                         locale.toString(lecture.hauteur, 'f', 1));
    } else {
        texte = QStringLiteral("Azimut : %1° (%2, %3°) — Hauteur : %4°")
                    .arg(locale.toString(lecture.azimut, 'f', 1), point_cardinal(lecture.azimut),
                         locale.toString(relevement(lecture.azimut), 'f', 0),
                         locale.toString(lecture.hauteur, 'f', 1));
    }
    if (lecture.sur_course)
        texte += QStringLiteral(" — %1 : %2 (%3)")
                     .arg(texte_date(lecture.date), texte_heure(lecture.heure),
                          texte_echelle(description));
    if (lecture.sur_ligne_horaire) {
        texte += QStringLiteral(" — ligne horaire : ") + texte_heure_ligne(lecture.heure_ligne);
        const Heure_Legale horloge = horloge_description(description);
        if (heure_ete_dans_annee(horloge.zone(), description.date_choisie.year())) {
            texte += QStringLiteral(" heure d'hiver");
            if (std::abs(lecture.heure_ligne_horloge - lecture.heure_ligne) > 1e-9)
                texte += QStringLiteral(", ") + texte_heure_ligne(lecture.heure_ligne_horloge) +
                         QStringLiteral(" heure d'été");
        }
    }
    if (lecture.sur_course && lecture.avec_fenetre)
        texte += QStringLiteral(" — fenêtre au soleil ce jour : ") +
                 (lecture.periodes_fenetre.empty() ? QStringLiteral("jamais")
                                                   : texte_periodes(lecture.periodes_fenetre));
    // What keeps the sun from the window, once there is a window or a wall, or that the sun
    // would reach it.
    const Ombrage &ombrage = description.ombrage;
    if (ombrage.facade_active() || ombrage.avec_obstacles()) {
        const std::vector<QPointF> contour(description.masque.cbegin(), description.masque.cend());
        const QString ombre = texte_ombre(
            ombrage,
            hauteur_contour(contour, lecture.azimut, description.jonction) > lecture.hauteur,
            lecture.azimut, lecture.hauteur);
        texte += ombre.isEmpty() ? QStringLiteral(" — soleil sur la fenêtre")
                                 : QStringLiteral(" — ombre : ") + ombre;
    }
    return texte;
}
