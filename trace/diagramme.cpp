// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// The drawing of a description: everything on the scene is thrown away and drawn again, and the
// output table's rows are gathered in the same pass. Items are added in drawing order, so later
// ones lie on top: the latitude caption, the dates of the mode, the limit courses, the hour
// lines, the saved dates, the mask outline.
#include "trace/diagramme.h"

#include "diagram/scene.h"
#include "masks/ensoleillement.h"
#include "solar/soleil.h"
#include "solar/soleil_precis.h"
#include "trace/ombres.h"

#include <QFontMetricsF>
#include <QGraphicsTextItem>
#include <QLocale>
#include <QTextDocument>
#include <QTime>
#include <QTimeZone>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <optional>
#include <vector>

namespace
{

// Texts of the diagram, all in "Courier".
const QString famille = QStringLiteral("Courier");
constexpr int taille_etiquette = 10; // points
constexpr int taille_legende_latitude = 11;
constexpr int graisse_grasse = 75; // QFont::Bold

// Caption: 10 px from the left edge and 30 px above the bottom edge of the drawing.
constexpr int marge_gauche = 10;
constexpr int marge_bas = 30;
// The disc leaves room for the legend and the cardinal labels around it.
constexpr int reserve_largeur = 300;
constexpr int reserve_hauteur = 140;
// The drawing of the report page: a disc of 560 units whose legend and captions stay clear of
// the part of it that the page shows.
const QSize taille_page(860, 1100);
// The disc's least diameter, as a share of the drawing's smaller side.
constexpr double part_disque_min = 0.6;
// Legend origin: 10 px right of and 15 px below the top-left corner of the drawing.
constexpr int legende_x = 10;
constexpr int legende_y = 15;

// The twelve course colours (red, green, blue), in the order the dates take them.
constexpr int couleurs[dates_enregistrees_max][3] = {
    {228, 152, 0}, {0, 250, 240}, {63, 145, 47}, {255, 0, 75}, {242, 241, 0}, {149, 137, 188},
    {204, 0, 97},  {0, 169, 135}, {0, 150, 217}, {0, 255, 0},  {0, 0, 255},   {239, 52, 215},
};

// Day number of the last day of each month, common year then leap year.
constexpr int fin_de_mois[2][12] = {
    {31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365},
    {31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366},
};

const QString sans_course = QStringLiteral("-");

// Degrees by which the accurate sun at noon may stand above the simple model's.
constexpr double hausse_precise = 0.5;

// The scale caption stands this far right of the latitude caption, pixels.
constexpr int ecart_legende_echelle = 20;
// Days between two points of an hour line of the clock: its loop turns sharply near the
// solstices.
constexpr int pas_ligne_horloge = 5;
// The most the sun at a fixed hour climbs from one day to the next, degrees: its declination
// moves up to 0.41° a day and the equation of time half a minute (0.13°).
constexpr double montee_max_par_jour = 0.6;
// What the accurate sun may climb at once besides: its refraction, nothing below −1° of true
// height, 0.65° there.
const double bond_refraction = Soleil_Precis::refraction(-1.0);
// A course of the accurate sun starts and ends with the sun's centre at the height of sunrise
// (upper limb on the horizon, refraction included), a little below 0; the thousandth of a
// degree covers the course's heights being cut to three decimals.
const double horizon_precis =
    hauteur_lever_coucher + Soleil_Precis::refraction(hauteur_lever_coucher) - 0.001;

// Sunrise and sunset of the accurate sun in true solar time as its course is drawn: 0 and 24
// where there is none.
QPair<double, double> heures_course(const Soleil_Precis::Lever_Coucher &r)
{
    return {std::isnan(r.lever) ? 0.0 : r.lever, std::isnan(r.coucher) ? 24.0 : r.coucher};
}

// The sun a mask takes away from `date` with the accurate sun (`r`: its sunrise and sunset in
// true solar time): its positions a minute apart from its sunrise to its sunset; nothing on a
// day it never rises. Behind the outline alone (`profil`), only the positions that tell the
// sun's side of it are computed.
Ensoleillement ensoleillement_precis(const Heure_Legale &horloge,
                                     const Soleil_Precis::Lever_Coucher &r, const QDate &date,
                                     double latitude, const Test_Cache &cache,
                                     const Profil_Masque *profil)
{
    if (r.jamais_leve)
        return {};
    const auto [lever, coucher] = heures_course(r);
    const int minutes = std::max(1, static_cast<int>(std::ceil((coucher - lever) * 60.0)));
    if (profil) {
        const Heure_Legale::Course_Precise course =
            horloge.course_precise(date, latitude, lever, coucher, minutes, false);
        const Soleil_Precis precis;
        return ensoleillement(
            minutes, (coucher - lever) / minutes,
            [&](int k) {
                const Soleil_Precis::Position p = precis.position(course.repere, course.instant(k));
                return Place_Soleil{p.azimut, p.hauteur, p.hauteur_geometrique};
            },
            *profil);
    }
    std::vector<QPointF> positions;
    positions.reserve(static_cast<std::size_t>(minutes) + 1);
    for (const Heure_Legale::Point_Course &p :
         horloge.course(date, latitude, lever, coucher, minutes, false))
        positions.emplace_back(p.azimut, p.hauteur);
    return ensoleillement(positions, (coucher - lever) / minutes, cache);
}

// The slow terms of the accurate sun (solar/soleil_precis.h), one frame per day of a year at
// its solar noon (from Spencer's equation of time, within a minute), computed when first asked:
// every position of that day within half a day of noon is then a cheap one.
class Reperes_Jours
{
public:
    Reperes_Jours(const Description_Diagramme &d, int annee)
        : m_latitude(d.latitude), m_longitude(d.longitude), m_premier(annee, 1, 1),
          m_minuit_premier(QDateTime(m_premier, QTime(0, 0), Qt::UTC).toSecsSinceEpoch())
    {
    }

    // Day number `jour` of the year, 1..366 (366 in a common year: 1 January of the next).
    QDate date(int jour) const { return m_premier.addDays(jour - 1); }
    // Instant (seconds) of the day's midnight UTC, and of its solar noon.
    double minuit(int jour) const
    {
        return static_cast<double>(m_minuit_premier + (jour - 1) * qint64(86400));
    }
    double midi(int jour) const
    {
        const int longueur = m_premier.daysInYear();
        const int numero = jour > longueur ? jour - longueur : jour;
        return minuit(jour) +
               (12.0 - m_longitude / 15.0 - m_soleil.equation_du_temps(numero) / 60.0) * 3600.0;
    }
    const Soleil_Precis::Repere &repere(int jour)
    {
        std::optional<Soleil_Precis::Repere> &r = m_reperes[static_cast<std::size_t>(jour)];
        if (!r)
            r = m_precis.repere(midi(jour), m_latitude, m_longitude);
        return *r;
    }
    Soleil_Precis::Position position(int jour, double instant)
    {
        return m_precis.position(repere(jour), instant);
    }
    // The sun at true solar time `tsv` (hours) of day `jour`: from mean solar time, moved by
    // the hour angle's difference three times (seconds, then nothing left).
    Soleil::Point_Ciel position_tsv(int jour, double tsv)
    {
        double t = minuit(jour) + (tsv - m_longitude / 15.0) * 3600.0;
        for (int i = 0; i < 3; ++i) {
            double ecart = tsv - (12.0 + position(jour, t).angle_horaire / 15.0);
            ecart -= 24.0 * std::round(ecart / 24.0);
            t += ecart * 3600.0;
        }
        const Soleil_Precis::Position p = position(jour, t);
        return {p.azimut, p.hauteur};
    }

private:
    double m_latitude;
    double m_longitude;
    QDate m_premier;
    // Midnight UTC of 1 January, seconds.
    qint64 m_minuit_premier;
    Soleil m_soleil;
    Soleil_Precis m_precis;
    std::array<std::optional<Soleil_Precis::Repere>, 367> m_reperes;
};

// Heights of the accurate sun at noon of each day (index = day number), degrees above the
// height of sunrise, for the limit days, which only compare each day's with its neighbours' and
// tell their signs (Scene::jour_soleil). They are computed every eighth day, and between two
// such days only where they may turn or meet the horizon: elsewhere the straight line between
// the two stands for them, which orders and signs those days as the computed heights would.
std::array<double, 367> midis_precis(Reperes_Jours &reperes)
{
    std::array<double, 367> midi{};
    const auto calculer = [&](int jour) {
        midi[jour] =
            reperes.position(jour, reperes.midi(jour)).hauteur_geometrique - hauteur_lever_coucher;
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
    return midi;
}

QPen stylo_date_choisie()
{
    return QPen(QBrush(Qt::red), 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QPen stylo_couleur(const QColor &couleur)
{
    return QPen(QBrush(couleur), 2, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
}

QPen stylo_limites()
{
    return QPen(QBrush(Qt::red), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QPen stylo_heures()
{
    QPen stylo(QBrush(Qt::red), 1, Qt::DashLine, Qt::RoundCap, Qt::RoundJoin);
    // Dashes of 7, gaps of 8, then a dash of 7 again, in pen widths. A pattern needs an even
    // number of entries: the toolkit closes an odd one with a gap of 1, which is given here so
    // that it need not warn on every rebuild.
    stylo.setDashPattern({7, 8, 7, 1});
    return stylo;
}

// The description's zone as the captions name it: "UTC" for an empty or unknown one.
QString nom_fuseau(const Description_Diagramme &description)
{
    const QTimeZone zone(description.fuseau);
    return description.fuseau.isEmpty() || !zone.isValid()
               ? QStringLiteral("UTC")
               : QString::fromLatin1(description.fuseau);
}

// Commits `options` to the scene's display options, leaving them alone when they already hold
// those values.
void appliquer_options(Scene &scene, const Options_Disque &options)
{
    Affichage_Options &courantes = scene.options;
    const Options_Disque actuelles{courantes.pas_hauteur, courantes.pas_azimut, courantes.opacite,
                                   courantes.graduations_affichees(), courantes.projection};
    if (actuelles != options)
        courantes.valider(options.pas_azimut, options.pas_hauteur, options.opacite,
                          options.graduations, options.projection);
}

// The highest height (degrees) that the courses of the description reach: the noon height of
// each of its dates, and of every day of the year when the limit courses are drawn; the mask's
// highest point too.
double hauteur_atteinte(const Description_Diagramme &d)
{
    const Soleil soleil;
    double haute = -90.0;
    const auto midi = [&](int numero) {
        haute = std::max(haute, 90.0 - std::abs(d.latitude - soleil.declinaison(numero)));
    };
    if (d.limites) {
        for (int numero = 1; numero <= 366; ++numero)
            midi(numero);
    } else if (d.mode == Mode_Dates::Jour_des_mois) {
        for (int mois = 1; mois <= 12; ++mois)
            if (QDate::isValid(d.annee, mois, d.jour_des_mois))
                midi(QDate(d.annee, mois, d.jour_des_mois).dayOfYear());
    } else {
        midi(d.date_choisie.dayOfYear());
        for (const QDate &date : d.dates_enregistrees)
            if (date.isValid())
                midi(date.dayOfYear());
    }
    // The accurate sun's declination and refraction lift its noon a little above the formula's.
    if (d.modele != Modele_Soleil::simple)
        haute += hausse_precise;
    for (const QPointF &point : d.masque)
        haute = std::max(haute, point.y());
    return haute;
}

} // namespace

bool Options_Disque::operator==(const Options_Disque &autres) const
{
    return pas_hauteur == autres.pas_hauteur && pas_azimut == autres.pas_azimut &&
           opacite == autres.opacite && graduations == autres.graduations &&
           projection == autres.projection;
}

Projection projection_diagramme(const Scene &scene, const Description_Diagramme &description)
{
    const Type_Projection type = description.options.projection;
    if (type != Type_Projection::Cylindrique)
        return Projection::polaire(type, scene.diametre0());
    // The disc's rule on each side: what the legend's reserve leaves, and never less than a
    // share of the side; the cardinal labels under the chart stay above the captions' band.
    const QRectF rectangle = scene.sceneRect();
    const double W = rectangle.width();
    const double H = rectangle.height();
    const double hauteur = std::min(std::max(H - reserve_hauteur, std::ceil(part_disque_min * H)),
                                    H - 2.0 * (scene.bande_bas + Scene::dessous_cylindre));
    const QSizeF taille(
        std::max(0.0, std::max(W - reserve_largeur, std::ceil(part_disque_min * W))),
        std::max(0.0, hauteur));
    const int pas = std::max(1, description.options.pas_hauteur);
    const double haute = std::ceil(hauteur_atteinte(description) / pas) * pas;
    return Projection::cylindrique(taille, description.latitude,
                                   std::clamp(haute, static_cast<double>(pas), 90.0));
}

QColor couleur_course(int rang)
{
    const int *c = couleurs[std::clamp(rang, 0, dates_enregistrees_max - 1)];
    return QColor(c[0], c[1], c[2]);
}

void ajuster_scene(Scene &scene, const QSize &taille)
{
    const int W = taille.width();
    const int H = taille.height();
    scene.setSceneRect(-(W / 2), -(H / 2), W, H);
    // The disc takes what the legend's fixed reserve leaves, and never less than a share of
    // the drawing's smaller side.
    const int reserve = std::min(W - reserve_largeur, H - reserve_hauteur);
    const int minimum = static_cast<int>(std::ceil(part_disque_min * std::min(W, H)));
    scene.compacte = reserve < minimum;
    scene.setDiametre0(std::max(reserve, minimum));
    scene.x_legende = legende_x - W / 2;
    scene.y_legende = legende_y - H / 2;
}

QVector<Ligne_Sortie> dessiner_diagramme(Scene &scene, const Description_Diagramme &description)
{
    const double latitude = description.latitude;
    const QDate &date_choisie = description.date_choisie;
    const QBrush sans_remplissage;
    const Soleil soleil;
    // Drawn as it always was: true solar time and the simple model.
    const bool tel_quel = description.modele == Modele_Soleil::simple &&
                          description.echelle == Echelle_Heures::Temps_solaire_vrai;
    const bool precis = description.modele == Modele_Soleil::precis;
    const bool legale = description.echelle == Echelle_Heures::Heure_legale;
    std::optional<Heure_Legale> horloge;
    if (!tel_quel)
        horloge.emplace(horloge_description(description));
    std::optional<Reperes_Jours> reperes;
    if (precis)
        reperes.emplace(description, date_choisie.year());
    // Fonts of the date labels and of the limit-course labels.
    const QFont police_date(famille, taille_etiquette);
    const QFont police_limite(famille, taille_etiquette, graisse_grasse);
    QVector<Ligne_Sortie> lignes;

    appliquer_options(scene, description.options);

    // 1. Everything goes: courses, labels, legend strokes, hour lines, mask outline, caption.
    // (The labels wait aside, to be taken back when this drawing writes them again.)
    scene.vider();

    // 2. The latitude caption in the bottom-left corner of the drawing.
    const int W = description.taille.width();
    const int H = description.taille.height();
    QGraphicsTextItem *legende = scene.ajouter_texte(
        texte_latitude(latitude), QFont(famille, taille_legende_latitude, graisse_grasse));
    legende->setPos(marge_gauche - W / 2, H / 2 - marge_bas);
    // The scale caption, when there is one, goes right of it; a drawing too narrow for both on
    // one line has it on a line of its own under the latitude's, in a smaller type if need be.
    QFont police_echelle(famille, taille_legende_latitude, graisse_grasse);
    bool echelle_dessous = false;
    scene.bande_bas = marge_bas;
    if (!tel_quel) {
        const QString texte = texte_legende_echelle(description);
        const double marge_texte = legende->document()->documentMargin();
        const double largeur = QFontMetricsF(police_echelle).horizontalAdvance(texte);
        const double fin = legende->pos().x() + legende->boundingRect().width() +
                           ecart_legende_echelle + marge_texte + largeur;
        if (fin > W / 2 - marge_gauche) {
            echelle_dessous = true;
            const double place = W - 2.0 * (marge_gauche + marge_texte);
            if (largeur > place)
                police_echelle.setPointSizeF(std::max(
                    1.0, std::floor(police_echelle.pointSizeF() * place / largeur * 2.0) / 2.0));
            const double interligne = QFontMetricsF(legende->font()).height();
            legende->setPos(legende->pos() - QPointF(0, interligne));
            scene.bande_bas = marge_bas + interligne;
        }
    }
    // The chart keeps its labels clear of the captions' band, known from here on.
    scene.setProjection(projection_diagramme(scene, description));

    // The accurate sun's sunrise and sunset of each date, searched once for its course and
    // for the sun the mask takes from it.
    std::map<QDate, Soleil_Precis::Lever_Coucher> levers_precis;
    const auto lever_coucher_precis =
        [&](const QDate &date) -> const Soleil_Precis::Lever_Coucher & {
        auto trouve = levers_precis.find(date);
        if (trouve == levers_precis.end())
            trouve =
                levers_precis.emplace(date, horloge->lever_coucher(date, latitude, false)).first;
        return trouve->second;
    };
    // Another scale or sun: the course of `date` between its sunrise and sunset of true solar
    // time (given back in `lever` and `coucher`), the accurate sun's from its own positions.
    auto tracer_course = [&](const QDate &date, const QPen &stylo, const QPainterPath &chemin,
                             QGraphicsTextItem *etiquette, bool droite, int rang, double &lever,
                             double &coucher) {
        const QPair<double, double> temps = precis ? heures_course(lever_coucher_precis(date))
                                                   : lever_coucher_tsv(*horloge, latitude, date);
        lever = temps.first;
        coucher = temps.second;
        if (!precis)
            return scene.tracer_course_soleil(date.dayOfYear(), latitude, lever, coucher, stylo,
                                              sans_remplissage, chemin, etiquette, droite, rang);
        const auto points =
            horloge->course(date, latitude, lever, coucher, scene.segments_trace(latitude), false);
        std::vector<Soleil::Point_Ciel> positions;
        positions.reserve(points.size());
        for (const Heure_Legale::Point_Course &p : points)
            positions.push_back({p.azimut, std::floor(p.hauteur * 1000.0) / 1000.0});
        return scene.tracer_course_positions(positions, horizon_precis, date.dayOfYear(), latitude,
                                             stylo, sans_remplissage, chemin, etiquette, droite,
                                             rang);
    };

    // Draws the course of `date` with `stylo` and its label in legend row `rang`; the row of
    // the output table that it makes.
    auto tracer_date = [&](const QDate &date, const QPen &stylo, const QPainterPath &chemin,
                           int rang) {
        QGraphicsTextItem *etiquette =
            scene.ajouter_texte(texte_date(date), police_date, stylo.color());
        const int numero = date.dayOfYear();
        Ligne_Sortie ligne;
        ligne.date = date;
        ligne.jour = legale && !tel_quel ? horloge->jour_solaire(date) : date;
        ligne.couleur = stylo.color();
        if (tel_quel) {
            ligne.lever = soleil.heure_lever(numero, latitude);
            ligne.coucher = soleil.heure_coucher(numero, latitude);
            ligne.tracee =
                scene.tracer_course_soleil(numero, latitude, ligne.lever, ligne.coucher, stylo,
                                           sans_remplissage, chemin, etiquette, false, rang);
        } else {
            ligne.tracee = tracer_course(ligne.jour, stylo, chemin, etiquette, false, rang,
                                         ligne.lever, ligne.coucher);
            // The day's length is that of the solar day; on the clock only the times move.
            if (legale) {
                ligne.longueur = ligne.coucher - ligne.lever;
                if (!(ligne.lever == 0.0 && ligne.coucher == 24.0)) {
                    const QDateTime lever = horloge->instant(ligne.jour, ligne.lever);
                    const QDateTime coucher = horloge->instant(ligne.jour, ligne.coucher);
                    ligne.lever = horloge->heure(lever);
                    ligne.coucher = horloge->heure(coucher);
                    ligne.jour_lever = static_cast<int>(date.daysTo(horloge->date_horloge(lever)));
                    ligne.jour_coucher =
                        static_cast<int>(date.daysTo(horloge->date_horloge(coucher)));
                }
            }
        }
        return ligne;
    };

    // 3. The dates of the mode.
    if (description.mode == Mode_Dates::Jour_des_mois) {
        // Every valid month takes its legend row, drawn or not; a missing day skips its month.
        const int jour = description.jour_des_mois;
        const int annee = description.annee;
        int rang = 0;
        for (int mois = 1; mois <= 12; ++mois) {
            if (!QDate::isValid(annee, mois, jour))
                continue;
            scene.chemin1 = QPainterPath();
            lignes.append(tracer_date(QDate(annee, mois, jour),
                                      stylo_couleur(couleur_course(mois - 1)), scene.chemin1,
                                      rang));
            ++rang;
        }
    } else {
        scene.chemin1 = QPainterPath();
        lignes.append(tracer_date(date_choisie, stylo_date_choisie(), scene.chemin1, 0));
    }

    // 4. The limit courses, labelled beside their curves.
    double lever1 = 0.0, coucher1 = 0.0, lever2 = 0.0, coucher2 = 0.0;
    if (description.limites) {
        scene.chemin2 = QPainterPath();
        scene.chemin3 = QPainterPath();
        if (precis)
            scene.jour_soleil(latitude, midis_precis(*reperes));
        else
            scene.jour_soleil(latitude);
        const int jour1 = scene.jour1;
        const int jour2 = scene.jour2;
        // Beyond the polar circles the first limit course bounds the polar night and is
        // labelled with both of its dates.
        const bool polaire = std::abs(latitude) > latitude_cercle_polaire;
        const int annee = date_choisie.year();
        const bool bissextile = date_choisie.daysInYear() != 365;
        auto texte_limite = [&](int numero) {
            return texte_date(QDate(annee, mois_depuis_numero(numero, bissextile),
                                    jour_depuis_numero(numero, bissextile)));
        };
        QString texte1 = texte_limite(jour1);
        if (polaire)
            texte1 += QLatin1Char('/') + texte_limite(scene.jour3);
        const QPen stylo = stylo_limites();

        // Each limit course with its bold red label beside it.
        auto tracer_limite = [&](int numero, const QString &texte, const QPainterPath &chemin,
                                 double &lever, double &coucher) {
            QGraphicsTextItem *etiquette =
                scene.ajouter_texte(texte, police_limite, QColor(Qt::red));
            if (!tel_quel) {
                tracer_course(QDate(annee, 1, 1).addDays(numero - 1), stylo, chemin, etiquette,
                              true, 0, lever, coucher);
                return;
            }
            lever = soleil.heure_lever(numero, latitude);
            coucher = soleil.heure_coucher(numero, latitude);
            scene.tracer_course_soleil(numero, latitude, lever, coucher, stylo, sans_remplissage,
                                       chemin, etiquette, true, 0);
        };
        tracer_limite(jour1, texte1, scene.chemin2, lever1, coucher1);
        tracer_limite(jour2, texte_limite(jour2), scene.chemin3, lever2, coucher2);
    }

    // 5. The hour lines, between the whole hours that bound the two limit courses.
    if (description.limites && description.heures) {
        const double heureMIN = std::floor(std::min(lever1, lever2));
        const double heureMAX = std::floor(std::max(coucher1, coucher2));
        const int annee = date_choisie.year();
        const QDate premier(annee, 1, 1);
        const int d_min = std::min(scene.jour1, scene.jour2);
        const int d_max = std::max(scene.jour1, scene.jour2);
        if (tel_quel) {
            scene.tracer_heures(latitude, heureMIN, heureMAX, stylo_heures(), sans_remplissage);
        } else if (!legale) {
            // Whole hours of true solar time of the accurate sun, between the limit days.
            const auto position = [&](int jour, int heure) {
                return reperes->position_tsv(jour, heure);
            };
            scene.tracer_heures(latitude, heureMIN, heureMAX, stylo_heures(), sans_remplissage,
                                position, d_min, d_max, true, 15, montee_max_par_jour,
                                bond_refraction);
        } else {
            // Whole hours of the zone's standard time over a whole year, each a loop about its
            // hour: the equation of time moves the sun east and west of it through the
            // seasons. The year starts at the limit day whose point the label is placed from.
            const int longueur = premier.daysInYear();
            const int debut = latitude > 0 ? d_min : d_max;
            // What each day's 24 hours share, worked out at its first hour: the simple sun's
            // day terms, or the instant of the day's 0 h of standard time.
            std::array<std::optional<Heure_Legale::Jour_Simple>, 367> jours_simples;
            std::array<double, 367> minuits;
            minuits.fill(std::numeric_limits<double>::quiet_NaN());
            const auto position = [&](int jour, int heure) {
                const int numero = (jour - 1) % longueur + 1;
                if (!precis) {
                    std::optional<Heure_Legale::Jour_Simple> &j = jours_simples[numero];
                    if (!j)
                        j = horloge->jour_simple(premier.addDays(numero - 1), latitude);
                    return horloge->position_heure(*j, heure);
                }
                double &minuit = minuits[numero];
                if (std::isnan(minuit))
                    minuit = reperes->minuit(numero) -
                             horloge->decalage_standard(premier.addDays(numero - 1)) * 3600.0;
                const Soleil_Precis::Position p =
                    reperes->position(numero, minuit + heure * 3600.0);
                return Soleil::Point_Ciel{p.azimut, p.hauteur};
            };
            // A change of the zone's standard time within the year moves its hours at once.
            const double montee =
                horloge->decalage_standard_fixe(annee) ? montee_max_par_jour : 0.0;
            scene.tracer_heures(latitude, 0, 23, stylo_heures(), sans_remplissage, position, debut,
                                debut + longueur - 1, false, pas_ligne_horloge, montee,
                                precis ? bond_refraction : 0.0);
        }
    }

    // 6. The saved dates in their colours, in order of day of the year. The chosen date is
    // already drawn in red and takes no colour. A date whose course stays below the horizon
    // keeps its colour, its legend row and its table row, whose times read "-".
    if (description.mode == Mode_Dates::Dates_choisies) {
        QVector<QDate> dates = description.dates_enregistrees;
        std::stable_sort(dates.begin(), dates.end(), [](const QDate &a, const QDate &b) {
            return a.dayOfYear() < b.dayOfYear();
        });
        // Legend row 0 is the chosen date's.
        int couleur = 0;
        for (const QDate &date : qAsConst(dates)) {
            if (!date.isValid() || date == date_choisie)
                continue;
            if (couleur >= dates_enregistrees_max)
                break;
            lignes.append(tracer_date(date, stylo_couleur(couleur_course(couleur)), QPainterPath(),
                                      couleur + 1));
            ++couleur;
        }
    }

    // 7. The kept mask: one filled grey outline, and the horizon circle on top.
    if (!description.masque.isEmpty()) {
        const QColor gris(127, 127, 127, 255);
        const QPen stylo(QBrush(gris, Qt::SolidPattern), 1.0, Qt::SolidLine, Qt::RoundCap,
                         Qt::RoundJoin);
        const QBrush pinceau(stylo.color(), Qt::SolidPattern);
        scene.tracer_masques(description.masque.constData(), description.masque.size(), stylo,
                             pinceau, scene.chemin4,
                             description.jonction == Jonction_Masque::Ligne);
    }

    // 8. What the window's facade, its devices and the walls hide, under the courses.
    const Ombrage &ombrage = description.ombrage;
    if (ombrage.facade_active() || ombrage.avec_obstacles())
        tracer_ombres(scene, ombrage, lignes.size());

    // The sun the outline and the walls take away from each dated course, and the sun left on
    // the window.
    const bool avec_masque = colonnes_masque(description);
    if (avec_masque || ombrage.facade_active()) {
        const Profil_Masque profil(
            std::vector<QPointF>(description.masque.cbegin(), description.masque.cend()),
            description.jonction);
        const Test_Cache derriere_masque = [&](double azimut, double hauteur) {
            return profil.hauteur(azimut) > hauteur ||
                   ombre_obstacles(ombrage.murs(), azimut, hauteur);
        };
        const Test_Cache hors_fenetre = [&](double azimut, double hauteur) {
            return ombre_facade(ombrage.facade, azimut, hauteur) ||
                   derriere_masque(azimut, hauteur);
        };
        const auto compter = [&](const Ligne_Sortie &ligne, const Test_Cache &cache,
                                 const Profil_Masque *seul = nullptr) {
            return precis ? ensoleillement_precis(*horloge, lever_coucher_precis(ligne.jour),
                                                  ligne.jour, latitude, cache, seul)
                          : ensoleillement(soleil, ligne.jour.dayOfYear(), latitude, cache);
        };
        for (Ligne_Sortie &ligne : lignes) {
            ligne.avec_masque = avec_masque;
            ligne.avec_fenetre = ombrage.facade_active();
            if (!ligne.tracee)
                continue;
            if (avec_masque) {
                // The outline alone keeps its own, faster count.
                const Ensoleillement e =
                    ombrage.avec_obstacles()
                        ? compter(ligne, derriere_masque)
                        : (precis
                               ? compter(ligne, derriere_masque, &profil)
                               : ensoleillement(soleil, ligne.jour.dayOfYear(), latitude, profil));
                ligne.soleil_direct = e.soleil_direct;
                ligne.masque = e.masque;
            }
            if (ligne.avec_fenetre)
                ligne.soleil_fenetre = compter(ligne, hors_fenetre).soleil_direct;
        }
    }

    // 9. Another scale or sun than always: the scale caption beside the latitude's.
    if (!tel_quel) {
        QGraphicsTextItem *echelle =
            scene.ajouter_texte(texte_legende_echelle(description), police_echelle);
        if (echelle_dessous)
            echelle->setPos(marge_gauche - W / 2, H / 2 - marge_bas);
        else
            echelle->setPos(legende->pos().x() + legende->boundingRect().width() +
                                ecart_legende_echelle,
                            legende->pos().y());
    }
    // A compact drawing places its legend's rows once they are all drawn, and has room for fewer
    // hour labels.
    if (scene.compacte) {
        scene.disposer_legende();
        scene.eclaircir_etiquettes_heures();
    }
    scene.fin_reconstruction();
    return lignes;
}

QPair<double, double> lever_coucher_tsv(const Heure_Legale &horloge, double latitude,
                                        const QDate &date)
{
    if (horloge.modele() == Modele_Soleil::simple) {
        const Soleil soleil;
        return {soleil.heure_lever(date.dayOfYear(), latitude),
                soleil.heure_coucher(date.dayOfYear(), latitude)};
    }
    return heures_course(horloge.lever_coucher(date, latitude, false));
}

Heure_Legale horloge_description(const Description_Diagramme &description)
{
    QTimeZone zone(description.fuseau);
    if (description.fuseau.isEmpty() || !zone.isValid())
        zone = QTimeZone(QByteArrayLiteral("UTC"));
    return Heure_Legale(zone, description.longitude, description.modele);
}

QString texte_echelle(const Description_Diagramme &description)
{
    if (description.echelle == Echelle_Heures::Temps_solaire_vrai)
        return QStringLiteral("Temps solaire vrai");
    return QStringLiteral("Heure légale — ") + nom_fuseau(description);
}

bool heure_ete_dans_annee(const QTimeZone &zone, int annee)
{
    // The middle of every month: a summer time lasts longer than a fortnight.
    for (int mois = 1; mois <= 12; ++mois)
        if (zone.isDaylightTime(QDateTime(QDate(annee, mois, 15), QTime(12, 0), Qt::UTC)))
            return true;
    return false;
}

QString texte_lignes_horaires(const Description_Diagramme &description)
{
    if (description.echelle != Echelle_Heures::Heure_legale || !description.limites ||
        !description.heures)
        return QString();
    const Heure_Legale horloge = horloge_description(description);
    const QDate &date = description.date_choisie;
    if (!heure_ete_dans_annee(horloge.zone(), date.year()))
        return QString();
    const int minutes = qRound(horloge.decalage_standard(date) * 60.0);
    QString decalage = QStringLiteral("UTC") + (minutes < 0 ? QLatin1Char('-') : QLatin1Char('+')) +
                       QString::number(std::abs(minutes) / 60);
    if (minutes % 60 != 0)
        decalage += QStringLiteral(":%1").arg(std::abs(minutes) % 60, 2, 10, QLatin1Char('0'));
    return QStringLiteral("lignes horaires en heure d'hiver (%1)").arg(decalage);
}

QString texte_legende_echelle(const Description_Diagramme &description)
{
    const QString lignes = texte_lignes_horaires(description);
    return lignes.isEmpty() ? texte_echelle(description)
                            : texte_echelle(description) + QStringLiteral(", ") + lignes;
}

QString texte_heure(double heure)
{
    double heures = std::floor(heure);
    const double minutes = (heure - heures) * 60.0;
    double arrondies = std::floor(minutes);
    if (minutes - arrondies >= 0.5)
        arrondies += 1.0;
    // 59.5 minutes or more round to the next hour: 6.995 is 7h00, not 6h60.
    if (arrondies >= 60.0) {
        heures += 1.0;
        arrondies -= 60.0;
    }
    QString texte = QString::number(heures, 'g', 6) + QLatin1Char('h');
    if (arrondies < 10.0)
        texte += QLatin1Char('0');
    return texte + QString::number(arrondies, 'g', 6);
}

QStringList textes_ligne(const Ligne_Sortie &ligne, const QString &format_date, bool jours)
{
    if (!ligne.tracee)
        return {ligne.date.toString(format_date), sans_course, sans_course, sans_course};
    const auto texte = [jours](double heure, int jour) {
        if (!jours || jour == 0)
            return texte_heure(heure);
        return QStringLiteral("%1 (%2%3)")
            .arg(texte_heure(heure), jour > 0 ? QStringLiteral("+") : QString())
            .arg(jour);
    };
    return {ligne.date.toString(format_date), texte(ligne.lever, ligne.jour_lever),
            texte(ligne.coucher, ligne.jour_coucher), texte_heure(ligne.duree())};
}

QStringList entetes_sorties()
{
    return {QStringLiteral("Date"), QStringLiteral("Lever"), QStringLiteral("Coucher"),
            QStringLiteral("Durée du jour")};
}

QStringList textes_masque(const Ligne_Sortie &ligne)
{
    if (!ligne.tracee)
        return {sans_course, sans_course};
    return {texte_heure(ligne.soleil_direct), texte_heure(ligne.masque)};
}

QStringList entetes_masque()
{
    return {QStringLiteral("Soleil direct"), QStringLiteral("Masqué")};
}

bool colonnes_masque(const Description_Diagramme &description)
{
    return !description.masque.isEmpty() || description.ombrage.avec_obstacles();
}

QString texte_fenetre(const Ligne_Sortie &ligne)
{
    return ligne.tracee ? texte_heure(ligne.soleil_fenetre) : sans_course;
}

QString entete_fenetre()
{
    return QStringLiteral("Soleil sur la fenêtre");
}

QString texte_latitude(double latitude)
{
    return QStringLiteral("Latitude: ") + QString::number(latitude, 'g', 6) + QStringLiteral("°");
}

QString texte_date(const QDate &date)
{
    return QString::number(date.day()) + QLatin1Char(' ') +
           QLocale().monthName(date.month(), QLocale::ShortFormat);
}

Legende_page legende_page(const Description_Diagramme &description,
                          const QVector<Ligne_Sortie> &lignes)
{
    Legende_page legende;
    legende.latitude = texte_latitude(description.latitude);
    // The page's own lines in French typography, whatever the default locale; the diagram's
    // caption keeps its own form.
    const QLocale francais(QLocale::French, QLocale::France);
    legende.latitude_page = QStringLiteral("Latitude : ") +
                            francais.toString(description.latitude, 'g', 6) + QStringLiteral("°");
    legende.longitude = QStringLiteral("Longitude : ") +
                        francais.toString(description.longitude, 'g', 6) + QStringLiteral("°");
    legende.fuseau = QStringLiteral("Fuseau : ") + nom_fuseau(description);
    legende.modele =
        description.modele == Modele_Soleil::precis
            ? QStringLiteral("Modèle du soleil : précis (éphémérides, réfraction comprise)")
            : QStringLiteral("Modèle du soleil : simple");
    legende.echelle = texte_echelle(description);
    // Capitalised: it starts a line of the page.
    legende.lignes_horaires = texte_lignes_horaires(description);
    if (!legende.lignes_horaires.isEmpty())
        legende.lignes_horaires[0] = legende.lignes_horaires[0].toUpper();
    legende.projection = libelle_projection(description.options.projection);
    legende.fenetre = textes_ombrage(description.ombrage);
    legende.entetes = entetes_sorties();
    const bool masque = colonnes_masque(description);
    const bool fenetre = description.ombrage.facade_active();
    if (masque)
        legende.entetes += entetes_masque();
    if (fenetre)
        legende.entetes += entete_fenetre();
    for (const Ligne_Sortie &ligne : lignes) {
        legende.dates.append({texte_date(ligne.date), ligne.couleur});
        QStringList cellules = textes_ligne(ligne);
        if (masque)
            cellules += textes_masque(ligne);
        if (fenetre)
            cellules += texte_fenetre(ligne);
        legende.lignes.append(cellules);
    }
    return legende;
}

void dessiner_pour_page(Scene &scene, const Description_Diagramme &description)
{
    Description_Diagramme page = description;
    page.taille = taille_page;
    ajuster_scene(scene, page.taille);
    dessiner_diagramme(scene, page);
    const QList<QGraphicsItem *> items = scene.items();
    for (QGraphicsItem *item : items)
        if (auto *texte = qgraphicsitem_cast<QGraphicsTextItem *>(item))
            texte->setDefaultTextColor(couleur_lisible(texte->defaultTextColor()));
}

int mois_depuis_numero(int numero, bool bissextile)
{
    const int *fins = fin_de_mois[bissextile ? 1 : 0];
    for (int m = 1; m < 12; ++m)
        if (fins[m - 1] >= numero)
            return m;
    return 12;
}

int jour_depuis_numero(int numero, bool bissextile)
{
    const int m = mois_depuis_numero(numero, bissextile);
    return m == 1 ? numero : numero - fin_de_mois[bissextile ? 1 : 0][m - 2];
}
