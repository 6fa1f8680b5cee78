// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// The drawing of a description: everything on the scene is thrown away and drawn again, and the
// output table's rows are gathered in the same pass. Items are added in drawing order, so later
// ones lie on top: the latitude caption, the dates of the mode, the limit courses, the hour
// lines, the saved dates, the mask outline.
#include "trace/diagramme.h"

#include "annee/grille_annee.h"
#include "diagram/scene.h"
#include "masks/ensoleillement.h"
#include "trace/ombres.h"
#include "trace/trace_exposition.h"

#include <QFontMetricsF>
#include <QGraphicsTextItem>
#include <QLocale>
#include <QTextDocument>
#include <QTime>
#include <QTimeZone>
#include <QtMath>

#include <algorithm>
#include <cmath>
#include <limits>
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
// The cylindrical chart's drawing for the page: a frame of 1340 by 400 units, as wide for its
// height as the page's width for what the title block and the table leave under it.
const QSize taille_page_cylindre(1640, 540);
// The disc's least diameter, as a share of the drawing's smaller side.
constexpr double part_disque_min = 0.6;
// Legend origin: 10 px right of and 15 px below the top-left corner of the drawing.
constexpr int legende_x = 10;
constexpr int legende_y = 15;

// The twelve course colours (red, green, blue), in the order the dates take them. The yellow is
// dark enough for a contrast of 3:1 on white.
constexpr int couleurs[dates_enregistrees_max][3] = {
    {228, 152, 0}, {0, 250, 240}, {63, 145, 47}, {255, 0, 75}, {153, 152, 0}, {149, 137, 188},
    {204, 0, 97},  {0, 169, 135}, {0, 150, 217}, {0, 255, 0},  {0, 0, 255},   {239, 52, 215},
};

// Day number of the last day of each month, common year then leap year.
constexpr int fin_de_mois[2][12] = {
    {31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365},
    {31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366},
};

const QString sans_course = QStringLiteral("-");

// A saved date this many days or fewer from a limit day has its course over the limit's, at a
// solstice.
constexpr int ecart_jours_limite = 3;

// The scale caption stands this far right of the latitude caption, pixels.
constexpr int ecart_legende_echelle = 20;

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

// Commits `options` to the scene's display options, leaving them alone when they already hold
// those values.
void appliquer_options(Scene &scene, const Options_Disque &options)
{
    Affichage_Options &courantes = scene.options;
    const Options_Disque actuelles{courantes.pas_hauteur, courantes.pas_azimut,
                                   courantes.opacite,     courantes.graduations_affichees(),
                                   courantes.projection,  courantes.graduations_azimut};
    if (actuelles != options)
        courantes.valider(options.pas_azimut, options.pas_hauteur, options.opacite,
                          options.graduations, options.projection, options.graduations_azimut);
}

// Bearings (degrees) between the samples of a device's lower edge.
constexpr double pas_bord_dispositif = 0.25;

// The highest height (degrees) that the chart must show of the walls and the devices: a wall's
// top over the point where it stands nearest, and the highest point of the lower edge of a
// device's zone below the zenith (an overhang's, in front of the facade).
double hauteur_ombrage(const Ombrage &ombrage)
{
    constexpr double vers_radians = 3.14159265358979323846 / 180.0;
    double haute = 0.0;
    // As the window's point sees them.
    const Vue_Fenetre vue(ombrage);
    for (const Obstacle &o : vue.murs_vus()) {
        if (!(o.hauteur > 0.0))
            continue;
        const QPointF a(o.distance1 * std::sin(o.gisement1 * vers_radians),
                        o.distance1 * std::cos(o.gisement1 * vers_radians));
        const QPointF b(o.distance2 * std::sin(o.gisement2 * vers_radians),
                        o.distance2 * std::cos(o.gisement2 * vers_radians));
        const QPointF ab = b - a;
        const double l2 = QPointF::dotProduct(ab, ab);
        const double t = l2 > 0.0 ? std::clamp(-QPointF::dotProduct(a, ab) / l2, 0.0, 1.0) : 0.0;
        const QPointF pied = a + t * ab;
        const double distance = std::hypot(pied.x(), pied.y());
        if (distance > 0.0)
            haute = std::max(haute, std::atan2(o.hauteur, distance) / vers_radians);
    }
    for (const Zone_Ombre &zone : vue.zones_fenetre())
        for (double g = zone.debut; g <= zone.fin; g += pas_bord_dispositif)
            if (const double bas = zone.bas(g); bas < 90.0)
                haute = std::max(haute, bas);
    return haute;
}

// The highest height (degrees) that the courses of the description reach: at noon of each of its
// dates, and of every day of the year when the limit courses are drawn; the mask's highest point,
// the walls' and the devices' too.
double hauteur_atteinte(const Description_Diagramme &d, const Ciel &ciel)
{
    std::vector<int> numeros;
    if (d.limites) {
        for (int numero = 1; numero <= 366; ++numero)
            numeros.push_back(numero);
    } else if (d.mode == Mode_Dates::Jour_des_mois) {
        for (int mois = 1; mois <= 12; ++mois)
            if (QDate::isValid(d.annee, mois, d.jour_des_mois))
                numeros.push_back(QDate(d.annee, mois, d.jour_des_mois).dayOfYear());
    } else {
        numeros.push_back(d.date_choisie.dayOfYear());
        for (const QDate &date : d.dates_enregistrees)
            if (date.isValid())
                numeros.push_back(date.dayOfYear());
    }
    double haute = ciel.midi_le_plus_haut(numeros);
    for (const QPointF &point : d.masque)
        haute = std::max(haute, point.y());
    return std::max(haute, hauteur_ombrage(d.ombrage));
}

} // namespace

bool Options_Disque::operator==(const Options_Disque &autres) const
{
    return pas_hauteur == autres.pas_hauteur && pas_azimut == autres.pas_azimut &&
           opacite == autres.opacite && graduations == autres.graduations &&
           projection == autres.projection && graduations_azimut == autres.graduations_azimut;
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
    const double haute =
        std::ceil(hauteur_atteinte(description, *ciel_description(description)) / pas) * pas;
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

namespace
{

// The latitude caption, and where the scale caption goes when the sky names its scale: right of
// it, or on a line of its own under it in a drawing too narrow for both on one line, in a
// smaller type if need be.
struct Legendes {
    QGraphicsTextItem *latitude = nullptr;
    QFont police_echelle = QFont(famille, taille_legende_latitude, graisse_grasse);
    bool echelle_dessous = false;
};

// The latitude caption in the bottom-left corner of the drawing, with room kept for the scale's;
// the projection is committed once the captions' band is known, which the chart's labels keep
// clear of.
Legendes tracer_legende_latitude(Scene &scene, const Description_Diagramme &description,
                                 const Ciel &ciel)
{
    const int W = description.taille.width();
    const int H = description.taille.height();
    Legendes legendes;
    QGraphicsTextItem *legende =
        scene.ajouter_texte(texte_latitude(description.latitude),
                            QFont(famille, taille_legende_latitude, graisse_grasse));
    legendes.latitude = legende;
    legende->setPos(marge_gauche - W / 2, H / 2 - marge_bas);
    scene.bande_bas = marge_bas;
    if (ciel.nomme_echelle()) {
        QFont &police = legendes.police_echelle;
        const QString texte = texte_legende_echelle(description);
        const double marge_texte = legende->document()->documentMargin();
        const double largeur = QFontMetricsF(police).horizontalAdvance(texte);
        const double fin = legende->pos().x() + legende->boundingRect().width() +
                           ecart_legende_echelle + marge_texte + largeur;
        if (fin > W / 2 - marge_gauche) {
            legendes.echelle_dessous = true;
            const double place = W - 2.0 * (marge_gauche + marge_texte);
            if (largeur > place)
                police.setPointSizeF(
                    std::max(1.0, std::floor(police.pointSizeF() * place / largeur * 2.0) / 2.0));
            const double interligne = QFontMetricsF(legende->font()).height();
            legende->setPos(legende->pos() - QPointF(0, interligne));
            scene.bande_bas = marge_bas + interligne;
        }
    }
    scene.setProjection(projection_diagramme(scene, description));
    return legendes;
}

// Draws the course of `date` with `stylo` and its label in legend row `rang`; the row of the
// output table that it makes.
Ligne_Sortie tracer_date(Scene &scene, Ciel &ciel, const QDate &date, const QPen &stylo,
                         const QPainterPath &chemin, int rang)
{
    QGraphicsTextItem *etiquette =
        scene.ajouter_texte(texte_date(date), QFont(famille, taille_etiquette), stylo.color());
    const Ciel::Jour jour = ciel.jour(date);
    Ligne_Sortie ligne;
    ligne.date = date;
    ligne.jour = jour.jour;
    ligne.couleur = stylo.color();
    ligne.lever = jour.lever;
    ligne.coucher = jour.coucher;
    ligne.jour_lever = jour.jour_lever;
    ligne.jour_coucher = jour.jour_coucher;
    ligne.longueur = jour.longueur;
    const double latitude = ciel.latitude();
    ligne.tracee = scene.tracer_course(
        ciel.course(jour, Scene::segments_course(latitude), scene.finesse_course()), latitude,
        stylo, QBrush(), chemin, etiquette, false, rang);
    return ligne;
}

// The dates of the mode: Mode 2, every valid month in its colour and legend row, drawn or not (a
// missing day skips its month); Mode 1, the chosen date in red.
QVector<Ligne_Sortie> tracer_dates_du_mode(Scene &scene, Ciel &ciel,
                                           const Description_Diagramme &description)
{
    QVector<Ligne_Sortie> lignes;
    if (description.mode == Mode_Dates::Jour_des_mois) {
        const int jour = description.jour_des_mois;
        const int annee = description.annee;
        int rang = 0;
        for (int mois = 1; mois <= 12; ++mois) {
            if (!QDate::isValid(annee, mois, jour))
                continue;
            scene.chemin1 = QPainterPath();
            lignes.append(tracer_date(scene, ciel, QDate(annee, mois, jour),
                                      stylo_couleur(couleur_course(mois - 1)), scene.chemin1,
                                      rang));
            ++rang;
        }
    } else {
        scene.chemin1 = QPainterPath();
        lignes.append(tracer_date(scene, ciel, description.date_choisie, stylo_date_choisie(),
                                  scene.chemin1, 0));
    }
    return lignes;
}

// The saved dates that Mode 1 draws in colour, in order of day of the year, each with its
// colour: the chosen date, already drawn in red, takes none.
std::vector<std::pair<QDate, QColor>> dates_en_couleur(const Description_Diagramme &description)
{
    std::vector<std::pair<QDate, QColor>> colorees;
    if (description.mode != Mode_Dates::Dates_choisies)
        return colorees;
    QVector<QDate> dates = description.dates_enregistrees;
    std::stable_sort(dates.begin(), dates.end(),
                     [](const QDate &a, const QDate &b) { return a.dayOfYear() < b.dayOfYear(); });
    for (const QDate &date : qAsConst(dates)) {
        if (!date.isValid() || date == description.date_choisie)
            continue;
        if (static_cast<int>(colorees.size()) >= dates_enregistrees_max)
            break;
        colorees.emplace_back(date, couleur_course(static_cast<int>(colorees.size())));
    }
    return colorees;
}

// The limit courses, labelled beside their curves in bold red; their sunrises and sunsets. Beyond
// the polar circles the first bounds the polar night and is labelled with both of its dates. A
// saved date within a few days of a limit day is drawn over its course: the label takes that
// date's colour.
std::pair<Ciel::Jour, Ciel::Jour> tracer_limites(Scene &scene, Ciel &ciel,
                                                 const Description_Diagramme &description)
{
    const double latitude = description.latitude;
    scene.chemin2 = QPainterPath();
    scene.chemin3 = QPainterPath();
    scene.jour_soleil(latitude, ciel.midis());
    const QDate &date_choisie = description.date_choisie;
    const int annee = date_choisie.year();
    const bool bissextile = date_choisie.daysInYear() != 365;
    const auto texte_limite = [&](int numero) {
        return texte_date(QDate(annee, mois_depuis_numero(numero, bissextile),
                                jour_depuis_numero(numero, bissextile)));
    };
    QString texte1 = texte_limite(scene.jour1);
    if (std::abs(latitude) > latitude_cercle_polaire)
        texte1 += QLatin1Char('/') + texte_limite(scene.jour3);
    const std::vector<std::pair<QDate, QColor>> colorees = dates_en_couleur(description);
    // The nearest saved date within a few days of the limit's: its course lies on the limit's
    // within the strokes' width, and over it.
    const auto couleur_limite = [&](int numero) {
        QColor couleur(Qt::red);
        int ecart_retenu = ecart_jours_limite + 1;
        for (const auto &[date, teinte] : colorees) {
            const int ecart = std::abs(date.dayOfYear() - numero);
            if (ecart <= ecart_retenu) {
                ecart_retenu = ecart;
                couleur = teinte;
            }
        }
        return couleur;
    };
    const auto tracer_limite = [&](int numero, const QString &texte, const QPainterPath &chemin) {
        QGraphicsTextItem *etiquette = scene.ajouter_texte(
            texte, QFont(famille, taille_etiquette, graisse_grasse), couleur_limite(numero));
        const Ciel::Jour jour = ciel.jour_limite(numero);
        scene.tracer_course(
            ciel.course(jour, Scene::segments_course(latitude), scene.finesse_course()), latitude,
            stylo_limites(), QBrush(), chemin, etiquette, true, 0);
        return jour;
    };
    const Ciel::Jour premier = tracer_limite(scene.jour1, texte1, scene.chemin2);
    return {premier, tracer_limite(scene.jour2, texte_limite(scene.jour2), scene.chemin3)};
}

// The hour lines of the sky, between the whole hours that bound the two limit courses.
void tracer_lignes_heures(Scene &scene, Ciel &ciel,
                          const std::pair<Ciel::Jour, Ciel::Jour> &limites)
{
    const Ciel::Jour &a = limites.first;
    const Ciel::Jour &b = limites.second;
    scene.tracer_heures(ciel.latitude(),
                        ciel.lignes_heures(scene.jour1, scene.jour2, std::min(a.debut, b.debut),
                                           std::max(a.fin, b.fin)),
                        stylo_heures(), QBrush());
}

// The saved dates in their colours, in order of day of the year. The chosen date is already
// drawn in red and takes no colour. A date whose course stays below the horizon keeps its
// colour, its legend row and its table row, whose times read "-".
void tracer_dates_enregistrees(Scene &scene, Ciel &ciel, const Description_Diagramme &description,
                               QVector<Ligne_Sortie> &lignes)
{
    // Legend row 0 is the chosen date's.
    int rang = 1;
    for (const auto &[date, couleur] : dates_en_couleur(description))
        lignes.append(
            tracer_date(scene, ciel, date, stylo_couleur(couleur), QPainterPath(), rang++));
}

// The kept mask: one filled grey outline, and the horizon circle on top.
void tracer_masque(Scene &scene, const Description_Diagramme &description)
{
    const QColor gris(127, 127, 127, 255);
    const QPen stylo(QBrush(gris, Qt::SolidPattern), 1.0, Qt::SolidLine, Qt::RoundCap,
                     Qt::RoundJoin);
    const QBrush pinceau(stylo.color(), Qt::SolidPattern);
    scene.tracer_masques(description.masque.constData(), description.masque.size(), stylo, pinceau,
                         scene.chemin4, description.jonction == Jonction_Masque::Ligne);
}

// The sun the outline and the walls take away from each dated course, and the sun left on the
// window.
void compter_soleil(QVector<Ligne_Sortie> &lignes, Ciel &ciel,
                    const Description_Diagramme &description)
{
    const Ombrage &ombrage = description.ombrage;
    const bool avec_masque = colonnes_masque(description);
    if (!avec_masque && !ombrage.facade_active())
        return;
    const Profil_Masque profil(
        std::vector<QPointF>(description.masque.cbegin(), description.masque.cend()),
        description.jonction);
    const Vue_Fenetre vue(ombrage);
    const Test_Cache derriere_masque = [&](double azimut, double hauteur) {
        return profil.hauteur(azimut) > hauteur || vue.murs(azimut, hauteur);
    };
    const Test_Cache hors_fenetre = test_fenetre(description);
    for (Ligne_Sortie &ligne : lignes) {
        ligne.avec_masque = avec_masque;
        ligne.avec_fenetre = ombrage.facade_active();
        if (!ligne.tracee)
            continue;
        if (avec_masque) {
            // The outline alone keeps its own, faster count.
            const Ensoleillement e =
                ombrage.avec_obstacles()
                    ? ciel.ensoleillement(ligne.jour, derriere_masque)
                    : ciel.ensoleillement(ligne.jour, derriere_masque, &profil);
            ligne.soleil_direct = e.soleil_direct;
            ligne.masque = e.masque;
        }
        if (ligne.avec_fenetre) {
            Ensoleillement e = soleil_fenetre(ciel, ligne.date, ligne.jour, hors_fenetre);
            ligne.soleil_fenetre = e.soleil_direct;
            ligne.periodes_fenetre = std::move(e.periodes);
        }
    }
}

// The scale caption beside the latitude's, or under it, when the sky names its scale.
void tracer_legende_echelle(Scene &scene, const Description_Diagramme &description,
                            const Legendes &legendes)
{
    QGraphicsTextItem *echelle =
        scene.ajouter_texte(texte_legende_echelle(description), legendes.police_echelle);
    const QGraphicsTextItem *latitude = legendes.latitude;
    if (legendes.echelle_dessous)
        echelle->setPos(marge_gauche - description.taille.width() / 2,
                        description.taille.height() / 2 - marge_bas);
    else
        echelle->setPos(latitude->pos().x() + latitude->boundingRect().width() +
                            ecart_legende_echelle,
                        latitude->pos().y());
}

} // namespace

QVector<Ligne_Sortie> dessiner_diagramme(Scene &scene, const Description_Diagramme &description)
{
    const std::shared_ptr<Ciel> ciel = ciel_description(description);
    appliquer_options(scene, description.options);
    scene.photo = description.photo;
    // Everything goes: courses, labels, legend strokes, hour lines, mask outline, captions. (The
    // labels wait aside, to be taken back when this drawing writes them again.)
    scene.vider();

    const Legendes legendes = tracer_legende_latitude(scene, description, *ciel);
    QVector<Ligne_Sortie> lignes = tracer_dates_du_mode(scene, *ciel, description);
    if (description.limites) {
        const auto limites = tracer_limites(scene, *ciel, description);
        if (description.heures)
            tracer_lignes_heures(scene, *ciel, limites);
    }
    if (description.mode == Mode_Dates::Dates_choisies)
        tracer_dates_enregistrees(scene, *ciel, description, lignes);
    // The chart's limit labels off the hour lines and the courses drawn since.
    scene.degager_etiquettes_cylindre();
    if (!description.masque.isEmpty())
        tracer_masque(scene, description);
    // What the window's facade, its devices and the walls hide, under the courses.
    const Ombrage &ombrage = description.ombrage;
    std::vector<QGraphicsPathItem *> hachures;
    if (ombrage.facade_active() || ombrage.avec_obstacles())
        hachures = tracer_ombres(scene, ombrage, lignes.size());
    compter_soleil(lignes, *ciel, description);
    // The rule's least height and the assessed day's sun on the window, over the courses.
    tracer_exposition(scene, *ciel, description,
                      lignes.size() + (ombrage.facade_active() ? 1 : 0) +
                          (ombrage.avec_obstacles() ? 1 : 0));
    if (ciel->nomme_echelle())
        tracer_legende_echelle(scene, description, legendes);

    // A compact drawing places its legend's rows once they are all drawn, and has room for fewer
    // hour labels.
    if (scene.compacte) {
        scene.disposer_legende();
        scene.eclaircir_etiquettes_heures();
    }
    // Labels over the hatching, readable once they are where they stay.
    if (!hachures.empty())
        degager_hachures(scene, hachures);
    scene.fin_reconstruction();
    return lignes;
}

Ciel::Cle cle_description(const Description_Diagramme &description)
{
    return {description.date_choisie.year(), description.fuseau, description.longitude,
            description.modele, description.echelle};
}

std::shared_ptr<Ciel> ciel_description(const Description_Diagramme &description)
{
    return Ciel::du_fil(cle_description(description), description.latitude);
}

Heure_Legale horloge_description(const Description_Diagramme &description)
{
    const Ciel::Cle cle = cle_description(description);
    return Heure_Legale(cle.zone(), cle.longitude, cle.modele, Ciel::jours_du_fil());
}

Etude_Exposition etude_exposition(const Description_Diagramme &description)
{
    return {description.exposition,
            description.ombrage,
            std::vector<QPointF>(description.masque.cbegin(), description.masque.cend()),
            description.jonction,
            cle_description(description),
            description.latitude};
}

QString texte_echelle(const Description_Diagramme &description)
{
    return cle_description(description).nom_echelle();
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
    if (!cle_description(description).lignes_standard() || !description.limites ||
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

QString texte_periodes(const std::vector<std::pair<double, double>> &periodes, bool csv)
{
    QStringList textes;
    for (const auto &[debut, fin] : periodes)
        textes << texte_heure(debut) + (csv ? QStringLiteral("-") : QStringLiteral("–")) +
                      texte_heure(fin > 24.0 ? fin - 24.0 : fin);
    return textes.join(csv ? QStringLiteral(" ") : QStringLiteral(", "));
}

QString texte_fenetre_periodes(const Ligne_Sortie &ligne)
{
    if (!ligne.tracee || ligne.periodes_fenetre.empty())
        return texte_fenetre(ligne);
    return texte_fenetre(ligne) + QStringLiteral(" : ") + texte_periodes(ligne.periodes_fenetre);
}

Test_Cache test_fenetre(const Description_Diagramme &description)
{
    const auto profil = std::make_shared<const Profil_Masque>(
        std::vector<QPointF>(description.masque.cbegin(), description.masque.cend()),
        description.jonction);
    // The facade, the opening and the walls as the window's point sees them.
    const auto vue = std::make_shared<const Vue_Fenetre>(description.ombrage);
    // Above the highest a wall rises seen from the point, atan(H / its nearest distance), no
    // wall hides: the test leaves most of a day's minutes before the walls' own.
    double plus_haut_mur = -1.0;
    for (const Obstacle &o : vue->murs_vus()) {
        if (!(o.hauteur > 0.0))
            continue;
        const double x1 = o.distance1 * std::sin(qDegreesToRadians(o.gisement1));
        const double y1 = o.distance1 * std::cos(qDegreesToRadians(o.gisement1));
        const double ex = o.distance2 * std::sin(qDegreesToRadians(o.gisement2)) - x1;
        const double ey = o.distance2 * std::cos(qDegreesToRadians(o.gisement2)) - y1;
        const double longueur2 = ex * ex + ey * ey;
        const double t =
            longueur2 > 0.0 ? std::clamp(-(x1 * ex + y1 * ey) / longueur2, 0.0, 1.0) : 0.0;
        plus_haut_mur = std::max(
            plus_haut_mur,
            qRadiansToDegrees(std::atan2(o.hauteur, std::hypot(x1 + t * ex, y1 + t * ey))));
    }
    return [profil, vue, plus_haut_mur](double azimut, double hauteur) {
        return vue->fenetre(azimut, hauteur) ||
               (hauteur < profil->plus_haute() && profil->hauteur(azimut) > hauteur) ||
               (hauteur < plus_haut_mur + 1e-6 && vue->murs(azimut, hauteur));
    };
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
    const Ciel::Cle cle = cle_description(description);
    legende.fuseau = QStringLiteral("Fuseau : ") + cle.nom_fuseau();
    legende.modele = QStringLiteral("Modèle du soleil : ") + cle.nom_modele();
    legende.echelle = texte_echelle(description);
    // Capitalised: it starts a line of the page.
    legende.lignes_horaires = texte_lignes_horaires(description);
    if (!legende.lignes_horaires.isEmpty())
        legende.lignes_horaires[0] = legende.lignes_horaires[0].toUpper();
    legende.projection = libelle_projection(description.options.projection);
    legende.fenetre = textes_ombrage(description.ombrage);
    // The exposure block: the rule, its source and parameters, the opening, the point, the
    // result and the level.
    if (description.exposition.active() && description.ombrage.facade_active()) {
        const Etude_Exposition etude = etude_exposition(description);
        legende.fenetre += textes_rapport_exposition(etude, evaluer_exposition(etude));
    }
    legende.hachures = hachures_ombrage(description.ombrage);
    const Projet &projet = description.projet;
    for (const auto &[etiquette, texte] :
         {std::make_pair("Projet : ", &projet.nom), std::make_pair("Adresse : ", &projet.adresse),
          std::make_pair("Client : ", &projet.client), std::make_pair("Auteur : ", &projet.auteur)})
        if (!texte->isEmpty())
            legende.projet << QString::fromUtf8(etiquette) + *texte;
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
    page.taille = description.options.projection == Type_Projection::Cylindrique
                      ? taille_page_cylindre
                      : taille_page;
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
