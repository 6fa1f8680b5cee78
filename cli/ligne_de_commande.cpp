// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// The command line: the arguments are read into a description of the diagram, each value
// checked, before anything is drawn; the diagram is then drawn on a scene of the size asked and
// written through the export, and the rows it returns printed as CSV. The toolkit is started
// only once the arguments are found good, so that the help and a usage error print nothing
// else.
#include "cli/ligne_de_commande.h"
#include "cli/demande.h"
#include "cli/lot.h"

#include "diagram/scene.h"
#include "ecriture/ecriture.h"
#include "export/pages.h"
#include "horizon/horizon.h"
#include "masks/points_masque.h"
#include "site/site.h"
#include "trace/diagramme.h"
#include "trace/grille_fenetre.h"
#include "trace/regles.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QTextStream>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <optional>
#include <unistd.h>

namespace
{

const QString nom_programme = QStringLiteral("orvane");

// How many dates `--date` takes: the chosen date and the saved dates.
constexpr int dates_max = 1 + dates_enregistrees_max;
// Bounds of `--taille`, pixels: the disc needs 300 × 140 beside it; the largest image takes
// 256 MiB.
constexpr int largeur_min = 320;
constexpr int hauteur_min = 160;
constexpr int cote_max = 8192;

const QString aide = QStringLiteral(
    "Utilisation : orvane [OPTIONS] --export FICHIER\n"
    "              orvane [OPTIONS] --tableau\n"
    "              orvane --lot FICHIER [--silencieux]\n"
    "              orvane --help | --version\n"
    "\n"
    "Dessine un diagramme solaire sans fenêtre. Sans argument, orvane ouvre sa fenêtre ;\n"
    "avec un seul argument FICHIER.orvane, il l'ouvre dans sa fenêtre.\n"
    "\n"
    "Sorties (l'une, l'autre ou les deux) :\n"
    "  --export FICHIER      écrit le diagramme dans FICHIER ; le suffixe donne le format :\n"
    "                        .png .jpg .jpeg .svg .pdf\n"
    "  --tableau             écrit le tableau des valeurs de sortie en CSV sur la sortie\n"
    "                        standard : date;lever;coucher;duree, avec --masque ou\n"
    "                        --obstacle soleil_direct;masque (heures de soleil direct et\n"
    "                        derrière le masque), avec --facade soleil_fenetre\n"
    "  --enregistrer-site FICHIER\n"
    "                        écrit le site des options données dans FICHIER (.orvane)\n"
    "\n"
    "Lot :\n"
    "  --lot FICHIER         dessine un diagramme par ligne d'un fichier CSV (séparateur ;,\n"
    "                        UTF-8) dont l'en-tête nomme les colonnes d'après les options\n"
    "                        ci-dessous sans tirets (export, tableau, latitude, date ...) ;\n"
    "                        une cellule vide prend le défaut, limites et heures valent oui\n"
    "                        ou non, date tient des dates séparées par des espaces, tableau\n"
    "                        nomme le fichier CSV de la ligne. Tout le fichier est vérifié\n"
    "                        avant le premier dessin\n"
    "  --silencieux          sans la progression affichée sur un terminal\n"
    "\n"
    "OPTIONS :\n"
    "  --site FICHIER        part du site FICHIER (.orvane) ; les autres options\n"
    "                        remplacent ses valeurs\n"
    "  --latitude DEG        latitude en degrés, de -90 à 90, nord positif (défaut : 0)\n"
    "  --longitude DEG       longitude en degrés, de -180 à 180, est positif (défaut : 0)\n"
    "  --fuseau ZONE         le fuseau horaire de l'heure légale, nom IANA comme\n"
    "                        Europe/Paris (défaut : UTC)\n"
    "  --heure ECHELLE       solaire : temps solaire vrai (défaut) ; legale : l'heure\n"
    "                        du fuseau, heure d'été comprise\n"
    "  --modele MODELE       simple : les formules du diagramme (défaut) ; precis : la\n"
    "                        position apparente du soleil, réfraction comprise\n"
    "  --date AAAA-MM-JJ     la date choisie, du 1752-09-14 au 9999-12-31 ; répétée,\n"
    "                        chaque autre date est enregistrée (12 de plus au plus).\n"
    "                        Défaut : aujourd'hui\n"
    "  --jour-des-mois J     le jour J (1 à 31) de chaque mois, au lieu des dates\n"
    "  --annee AAAA          l'année du jour des mois, de 1 à 9999 (défaut : l'année en\n"
    "                        cours)\n"
    "  --limites             les courses limites (« Délimiter la course »)\n"
    "  --heures              les lignes des heures (implique --limites)\n"
    "  --taille LxH          taille en pixels d'une image PNG ou JPEG (défaut : 1920x1080)\n"
    "  --projection PROJ     equidistante : le disque polaire équidistant (défaut) ;\n"
    "                        stereographique : le disque polaire stéréographique ;\n"
    "                        cylindrique : l'azimut en largeur, la hauteur en hauteur\n"
    "  --graduations CONV    tableau : les azimuts du tableau des masques (défaut) ; caps :\n"
    "                        les caps de 0 à 360°, 90 à l'est, sur le disque, l'axe du\n"
    "                        graphique cylindrique et la lecture\n"
    "  --masque FICHIER      trace le masque d'un fichier d'horizon : un profil PVGIS (JSON ou\n"
    "                        texte, reconnu par son contenu) ou un fichier à deux colonnes\n"
    "                        azimut, hauteur, lu dans la convention donnée par --convention ;\n"
    "                        ses points joints en ligne droite, le dernier au premier aussi\n"
    "  --convention CONV     convention des azimuts d'un fichier à deux colonnes :\n"
    "                        nord (boussole : 0 au nord, 90 à l'est, de 0 à 360),\n"
    "                        sud (0 au sud, ouest positif, de -180 à 180, comme PVGIS) ou\n"
    "                        tableau (0 au nord, est négatif, ±180 au sud)\n"
    "  --facade AZ           la façade d'une fenêtre, orientée au gisement AZ (0 à 360 :\n"
    "                        0 nord, 90 est) ; ajoute au tableau soleil_fenetre\n"
    "  --casquette P:H[:G:D] une casquette de profondeur P, à H au-dessus du point, limitée\n"
    "                        à G à gauche et D à droite (vue de l'intérieur) ; en mètres\n"
    "  --joue-gauche P:D     une joue de profondeur P à la distance D, à gauche\n"
    "  --joue-droite P:D     la même à droite\n"
    "  --obstacle B1:D1:B2:D2:H\n"
    "                        un mur entre les points de gisements B1, B2 à D1, D2 mètres,\n"
    "                        haut de H mètres au-dessus du point ; répétée, 50 au plus\n"
    "  --baie L:H:A:E        la fenêtre comme une baie de largeur L, de hauteur H, d'allège A\n"
    "                        (appui au-dessus du sol), dans un mur d'épaisseur E, en mètres ;\n"
    "                        les protections et les obstacles se mesurent alors depuis le\n"
    "                        milieu de son appui sur le plan extérieur de la façade\n"
    "  --exposition REGLE    l'exposition au soleil selon en17037[:AAAA-MM-JJ] (le jour\n"
    "                        évalué, du 1er février au 21 mars ; défaut : 21 mars), din5034,\n"
    "                        tno-licht ou tno-streng\n"
    "  --hauteur-min DEG     le soleil ne compte sur la fenêtre qu'au-dessus de DEG degrés\n"
    "                        (une règle prédéfinie devient alors personnalisée)\n"
    "  --tableau-exposition  écrit le verdict de la règle en CSV au lieu du tableau :\n"
    "                        regle;critere;jour;soleil;seuil;niveau\n"
    "  --photo FICHIER       une photo du ciel (JPEG ou PNG) sous le diagramme\n"
    "  --photo-objectif OBJ  equidistant (défaut), equisolide, stereographique,\n"
    "                        orthographique, panorama (360° équirectangulaire) ou C1:C2:C3\n"
    "                        (r/R = C1·θ + C2·θ² + C3·θ³, θ en radians)\n"
    "  --photo-centre X:Y    le centre du cercle, en pixels (défaut : trouvé sur l'image)\n"
    "  --photo-rayon R       le rayon de l'horizon, en pixels (défaut : trouvé sur l'image)\n"
    "  --photo-nord DEG      le gisement du haut de l'image, ou du bord gauche d'un panorama\n"
    "  --photo-miroir oui|non\n"
    "                        l'est à gauche du nord, photo prise vers le haut (défaut : oui,\n"
    "                        non pour un panorama)\n"
    "  --photo-opacite P     l'opacité de la photo, de 0 à 100 % (défaut : 60)\n"
    "  --photo-horizon       trace l'horizon de la photo et le prend pour masque\n"
    "  --photo-seuil S       le seuil du bleu, de 0 à 255, au lieu du seuil automatique\n"
    "  --projet NOM          le nom du projet, en tête du cartouche de la page du rapport\n"
    "  --adresse TEXTE       l'adresse du projet\n"
    "  --client NOM          le client du projet\n"
    "  --auteur NOM          l'auteur de l'étude\n"
    "  --periodes            ajoute au tableau periodes_fenetre, les périodes de soleil\n"
    "                        sur la fenêtre (21h12-21h58 11h05-11h40) ; avec --facade\n"
    "  --annee-fenetre FICHIER\n"
    "                        écrit dans FICHIER (CSV) les minutes de soleil sur la fenêtre\n"
    "                        par jour, en moyenne sur chaque mois, heure par heure :\n"
    "                        mois;0h;1h;…;23h;total_jour ; avec --facade\n"
    "  -h, --help            affiche cette aide\n"
    "  -v, --version         affiche la version\n"
    "\n"
    "Heures dans l'échelle de --heure. Statut de sortie : 0 si tout est écrit, 1 si un\n"
    "fichier ou la sortie standard n'a pas pu être écrit (un fichier existant reste\n"
    "intact), 2 si les arguments ou le fichier du masque sont incorrects (rien n'est\n"
    "écrit).\n");

// Reads a whole number within `min`..`max` for `option`, or says what is wrong.
int lire_entier(const QString &option, const QString &texte, int min, int max)
{
    static const QRegularExpression forme(QStringLiteral("^[+-]?\\d+$"));
    if (!forme.match(texte).hasMatch())
        throw Erreur_usage{
            QStringLiteral("%1 : « %2 » n'est pas un nombre entier").arg(option, texte)};
    bool ok = false;
    const qlonglong valeur = texte.toLongLong(&ok);
    if (!ok || valeur < min || valeur > max)
        throw Erreur_usage{QStringLiteral("%1 : %2 est hors de l'intervalle %3 à %4")
                               .arg(option, texte)
                               .arg(min)
                               .arg(max)};
    return static_cast<int>(valeur);
}

QDate lire_date(const QString &texte)
{
    const Date_Lue lue = lire_date_iso(texte);
    switch (lue.probleme) {
    case Date_Lue::Probleme::Forme:
        throw Erreur_usage{
            QStringLiteral("--date : « %1 » n'est pas une date AAAA-MM-JJ").arg(texte)};
    case Date_Lue::Probleme::Inexistante:
        throw Erreur_usage{QStringLiteral("--date : le %1 n'existe pas").arg(texte)};
    case Date_Lue::Probleme::Hors_limites:
        throw Erreur_usage{
            QStringLiteral("--date : le %1 est hors de %2..%3")
                .arg(texte, texte_date_iso(premiere_date), texte_date_iso(derniere_date))};
    case Date_Lue::Probleme::Aucun:
        break;
    }
    return lue.date;
}

QSize lire_taille(const QString &texte)
{
    static const QRegularExpression forme(QStringLiteral("^(\\d+)x(\\d+)$"));
    const QRegularExpressionMatch lu = forme.match(texte);
    const QString attendu =
        QStringLiteral("--taille : « %1 » : attendu LxH, de %2x%3 à %4x%4 pixels")
            .arg(texte)
            .arg(largeur_min)
            .arg(hauteur_min)
            .arg(cote_max);
    if (!lu.hasMatch())
        throw Erreur_usage{attendu};
    bool ok_l = false;
    bool ok_h = false;
    const int largeur = lu.captured(1).toInt(&ok_l);
    const int hauteur = lu.captured(2).toInt(&ok_h);
    if (!ok_l || !ok_h || largeur < largeur_min || largeur > cote_max || hauteur < hauteur_min ||
        hauteur > cote_max)
        throw Erreur_usage{attendu};
    return QSize(largeur, hauteur);
}

// The names `--convention` takes, with the conventions they stand for.
struct Nom_Convention {
    const char *nom;
    Convention_Azimut convention;
};
constexpr Nom_Convention noms_conventions[] = {
    {"nord", Convention_Azimut::Nord},
    {"sud", Convention_Azimut::Sud},
    {"tableau", Convention_Azimut::Tableau},
};

// The outline of the horizon file `fichier`, as the import fills the mask table with it and the
// table's rules take it: the table's rows, joined by straight lines. A PVGIS file says its own
// convention; any other needs `convention`.
std::vector<QPointF> lire_masque(const QString &fichier,
                                 const std::optional<Convention_Azimut> &convention)
{
    const QString nomme = QStringLiteral("--masque : « %1 »").arg(fichier);
    // Qt names no cause for a folder, and the system's in English: the usual ones in French.
    const QFileInfo info(fichier);
    if (info.isDir())
        throw Erreur_usage{nomme + QStringLiteral(" est un dossier")};
    QFile lecture(fichier);
    QString cause;
    if (!info.exists())
        cause = QStringLiteral("fichier absent");
    else if (!info.isFile())
        cause = QStringLiteral("pas un fichier ordinaire");
    else if (!lecture.open(QIODevice::ReadOnly))
        cause = lecture.error() == QFileDevice::PermissionsError ? QStringLiteral("accès refusé")
                                                                 : lecture.errorString();
    if (!cause.isEmpty())
        throw Erreur_usage{nomme + QStringLiteral(" ne peut être lu (%1)").arg(cause)};
    // One byte beyond the limit, so that the reader refuses a file over it.
    const QByteArray contenu = lecture.read(taille_max_horizon + 1);
    const Horizon_Lu lu = lire_horizon(contenu, convention.value_or(Convention_Azimut::Tableau));
    if (!convention && !lu.pvgis && contenu.size() <= taille_max_horizon)
        throw Erreur_usage{nomme + QStringLiteral(" n'est pas un horizon PVGIS : donnez la "
                                                  "convention de ses azimuts, --convention nord, "
                                                  "sud ou tableau")};
    if (!lu.valide())
        throw Erreur_usage{nomme + QStringLiteral(" : ") + lu.erreur};
    const Points_Masque masque = masque_de_horizon(lu, lignes_masque_max).rangs;
    if (!masque.valide())
        throw Erreur_usage{nomme + QStringLiteral(" : ") + masque.texte()};
    return masque.points;
}

// The outline of a site's kept mask, through the table's own rules, as the window draws it.
QVector<QPointF> masque_du_site(const Site &site)
{
    std::vector<Ligne_Masque> lignes;
    for (const Ligne_Masque_Saisie &ligne : site.masques)
        lignes.push_back({ligne.azimut ? QVariant(*ligne.azimut) : QVariant(),
                          ligne.hauteur ? QVariant(*ligne.hauteur) : QVariant()});
    const Points_Masque masque = points_masque(lignes);
    if (!masque.valide())
        throw Erreur_usage{QStringLiteral("--site : les masques conservés : ") + masque.texte()};
    return QVector<QPointF>(masque.points.cbegin(), masque.points.cend());
}

// The `comptes` numbers of `texte` written N:N:…, each as `lire_nombre` reads it.
std::vector<double> lire_nombres(const QString &option, const QString &texte,
                                 std::initializer_list<int> comptes, const QString &forme)
{
    std::vector<double> nombres;
    for (const QString &morceau : texte.split(QLatin1Char(':'))) {
        const std::optional<double> nombre = lire_nombre(morceau);
        if (!nombre)
            throw Erreur_usage{
                QStringLiteral("%1 : « %2 » : attendu %3").arg(option, texte, forme)};
        nombres.push_back(*nombre);
    }
    if (std::find(comptes.begin(), comptes.end(), static_cast<int>(nombres.size())) ==
        comptes.end())
        throw Erreur_usage{QStringLiteral("%1 : « %2 » : attendu %3").arg(option, texte, forme)};
    return nombres;
}

double longueur(const QString &option, double valeur)
{
    if (!(valeur > 0.0))
        throw Erreur_usage{
            QStringLiteral("%1 : %2 : les longueurs sont en mètres, plus grandes que 0")
                .arg(option)
                .arg(valeur)};
    return valeur;
}

double gisement(const QString &option, double valeur)
{
    if (valeur < 0.0 || valeur > 360.0)
        throw Erreur_usage{
            QStringLiteral("%1 : %2 est hors de l'intervalle 0 à 360").arg(option).arg(valeur)};
    return valeur;
}

// The window's options into `ombrage`: `facade` and each device's value, empty when not given,
// and the walls; a device needs a facade, given here or by the site.
void lire_ombrage(Ombrage &ombrage, const QString &facade, const QString &casquette,
                  const QString &joue_gauche, const QString &joue_droite,
                  const QStringList &obstacles)
{
    if (!facade.isEmpty()) {
        const QString option = QStringLiteral("--facade");
        ombrage.facade.active = true;
        ombrage.facade.orientation =
            gisement(option, lire_nombres(option, facade, {1}, QStringLiteral("AZ"))[0]);
    }
    const auto dispositif = [&](const QString &option) {
        if (!ombrage.facade.active)
            throw Erreur_usage{QStringLiteral("%1 : ne va qu'avec --facade").arg(option)};
    };
    if (!casquette.isEmpty()) {
        const QString option = QStringLiteral("--casquette");
        dispositif(option);
        const std::vector<double> n =
            lire_nombres(option, casquette, {2, 4}, QStringLiteral("P:H ou P:H:G:D"));
        Casquette &c = ombrage.facade.casquette;
        c.active = true;
        c.profondeur = longueur(option, n[0]);
        c.hauteur = longueur(option, n[1]);
        c.gauche = n.size() == 4 ? longueur(option, n[2]) : Casquette().gauche;
        c.droite = n.size() == 4 ? longueur(option, n[3]) : Casquette().droite;
    }
    for (const auto &joue : {std::make_pair(QStringLiteral("--joue-gauche"), &joue_gauche),
                             std::make_pair(QStringLiteral("--joue-droite"), &joue_droite)}) {
        if (joue.second->isEmpty())
            continue;
        dispositif(joue.first);
        const std::vector<double> n =
            lire_nombres(joue.first, *joue.second, {2}, QStringLiteral("P:D"));
        Joue &j =
            joue.second == &joue_gauche ? ombrage.facade.joue_gauche : ombrage.facade.joue_droite;
        j = {true, longueur(joue.first, n[0]), longueur(joue.first, n[1])};
    }
    if (obstacles.isEmpty())
        return;
    const QString option = QStringLiteral("--obstacle");
    if (obstacles.size() > obstacles_max)
        throw Erreur_usage{QStringLiteral("--obstacle : %1 obstacles donnés, %2 au plus")
                               .arg(obstacles.size())
                               .arg(obstacles_max)};
    ombrage.obstacles.clear();
    ombrage.obstacles_actifs = true;
    for (const QString &texte : obstacles) {
        const std::vector<double> n =
            lire_nombres(option, texte, {5}, QStringLiteral("B1:D1:B2:D2:H"));
        const Obstacle mur{gisement(option, n[0]), longueur(option, n[1]), gisement(option, n[2]),
                           longueur(option, n[3]), n[4]};
        if (mur_sur_le_point(mur))
            throw Erreur_usage{QStringLiteral("%1 : « %2 » : %3")
                                   .arg(option, texte, QString::fromUtf8(raison_mur_sur_le_point))};
        ombrage.obstacles.push_back(mur);
    }
}

// The opening, the exposure rule and its least height into `d`: each empty when not given. The
// opening and the least height need a facade; a rule needs what its point and days need. EN
// 17037's day sets the chosen date when `date_libre` (no date given otherwise).
void lire_exposition(Description_Diagramme &d, const QString &baie, const QString &regle,
                     const QString &hauteur_min, bool date_libre)
{
    Ombrage &ombrage = d.ombrage;
    const auto avec_facade = [&](const QString &option) {
        if (!ombrage.facade.active)
            throw Erreur_usage{QStringLiteral("%1 : ne va qu'avec --facade").arg(option)};
    };
    if (!baie.isEmpty()) {
        const QString option = QStringLiteral("--baie");
        avec_facade(option);
        const std::vector<double> n = lire_nombres(option, baie, {4}, QStringLiteral("L:H:A:E"));
        for (double v : {n[2], n[3]})
            if (v < 0.0)
                throw Erreur_usage{
                    QStringLiteral("%1 : %2 : l'allège et l'épaisseur du mur sont en mètres, 0 "
                                   "ou plus")
                        .arg(option)
                        .arg(v)};
        ombrage.baie = {true, longueur(option, n[0]), longueur(option, n[1]), n[2], n[3]};
    }
    if (!regle.isEmpty()) {
        const QString option = QStringLiteral("--exposition");
        const QString nom = regle.section(QLatin1Char(':'), 0, 0);
        const QString jour = regle.section(QLatin1Char(':'), 1);
        const Type_Regle type = type_depuis_nom(nom);
        if (type == Type_Regle::Aucune || type == Type_Regle::Personnalisee ||
            (!jour.isEmpty() && type != Type_Regle::EN17037) ||
            (regle.contains(QLatin1Char(':')) && jour.isEmpty()))
            throw Erreur_usage{QStringLiteral("%1 : « %2 » : attendu en17037[:AAAA-MM-JJ], "
                                              "din5034, tno-licht ou tno-streng")
                                   .arg(option, regle)};
        avec_facade(option);
        appliquer_prereglage(type, d.exposition, ombrage);
        if (!jour.isEmpty()) {
            const QDate date = QDate::fromString(jour, Qt::ISODate);
            if (jour.size() != 10 || !date.isValid())
                throw Erreur_usage{
                    QStringLiteral("%1 : « %2 » n'est pas une date AAAA-MM-JJ").arg(option, jour)};
            d.exposition.criteres.front().jour = {date.month(), date.day()};
            if (date_libre && date >= premiere_date && date <= derniere_date)
                d.date_choisie = date;
        }
    }
    if (!hauteur_min.isEmpty()) {
        const QString option = QStringLiteral("--hauteur-min");
        avec_facade(option);
        const std::optional<double> valeur = lire_nombre(hauteur_min);
        if (!valeur)
            throw Erreur_usage{
                QStringLiteral("%1 : « %2 » n'est pas un nombre").arg(option, hauteur_min)};
        if (*valeur < 0.0 || *valeur >= 90.0)
            throw Erreur_usage{
                QStringLiteral("%1 : %2 est hors de l'intervalle 0 à 90").arg(option, hauteur_min)};
        ombrage.hauteur_min = *valeur;
    }
    d.exposition = reconnaitre(d.exposition, ombrage);
    const QString refus = raison_regle_refusee(d.exposition, ombrage, d.date_choisie.year());
    if (!refus.isEmpty())
        throw Erreur_usage{(regle.isEmpty() ? QStringLiteral("la règle du site : ")
                                            : QStringLiteral("--exposition : ")) +
                           refus};
}

// The value of option `nom`, degrees within −`max`..`max`.
double lire_degres(const QCommandLineParser &analyse, const QString &nom, double max)
{
    const QString texte = valeur_unique(analyse, nom);
    const std::optional<double> valeur = lire_nombre(texte);
    if (!valeur)
        throw Erreur_usage{QStringLiteral("--%1 : « %2 » n'est pas un nombre").arg(nom, texte)};
    if (std::abs(*valeur) > max)
        throw Erreur_usage{
            QStringLiteral("--%1 : %2 est hors de l'intervalle -%3 à %3").arg(nom, texte).arg(max)};
    return *valeur;
}

} // namespace

// The value of an option that takes one, given at most once.
QString valeur_unique(const QCommandLineParser &analyse, const QString &option)
{
    const QStringList valeurs = analyse.values(option);
    if (valeurs.size() > 1)
        throw Erreur_usage{QStringLiteral("--%1 : donnée %2 fois, une seule attendue")
                               .arg(option)
                               .arg(valeurs.size())};
    return valeurs.value(0);
}

// Reads a decimal number written with a point or a comma ("45", "-12.5", "48,85"); no
// exponent, no infinity.
std::optional<double> lire_nombre(const QString &texte)
{
    static const QRegularExpression forme(QStringLiteral("^[+-]?(\\d+([.,]\\d*)?|[.,]\\d+)$"));
    if (!forme.match(texte).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double valeur = QString(texte).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    if (!ok || !std::isfinite(valeur))
        return std::nullopt;
    return valeur;
}

QString refus_arguments(const Options_Ligne &options, const QStringList &arguments)
{
    const QCommandLineParser &analyse = options.analyse;
    const QList<QCommandLineOption> &avec_valeur = options.avec_valeur;
    const QStringList inconnues = analyse.unknownOptionNames();
    if (!inconnues.isEmpty()) {
        const QString nom = inconnues.first();
        return QStringLiteral("option inconnue : %1%2")
            .arg(nom.size() == 1 ? QStringLiteral("-") : QStringLiteral("--"), nom);
    }
    // A flag given a value ("--limites=oui").
    for (const QString &argument : arguments.mid(1)) {
        if (!argument.startsWith(QLatin1String("--")) || !argument.contains(QLatin1Char('=')))
            continue;
        const QString nom = argument.mid(2).section(QLatin1Char('='), 0, 0);
        bool prend_valeur = false;
        for (const QCommandLineOption &option : avec_valeur)
            prend_valeur = prend_valeur || option.names().contains(nom);
        if (!prend_valeur)
            return QStringLiteral("--%1 : cette option ne prend pas de valeur").arg(nom);
    }
    // The last option wants a value and none follows; `--lot` too.
    const QString derniere = arguments.size() > 1 ? arguments.constLast() : QString();
    for (const QCommandLineOption &option : avec_valeur + QList<QCommandLineOption>{options.lot})
        if (derniere == QLatin1String("--") + option.names().constLast())
            return QStringLiteral("%1 : valeur manquante (%2)").arg(derniere, option.valueName());
    return analyse.errorText();
}

namespace
{

// Flushes what was written to the standard output; false, with the cause said on `erreurs`,
// when any of it was refused (a full disk, a closed descriptor).
bool vider_sortie(QTextStream &sortie, QTextStream &erreurs, const QString &option)
{
    errno = 0;
    sortie.flush();
    if (sortie.status() == QTextStream::Ok)
        return true;
    const int code = errno;
    erreurs << nom_programme << QStringLiteral(" : ") << option
            << QStringLiteral(" : la sortie standard refuse l'écriture : ")
            << raison_ecriture(code != 0 ? code : EIO) << ".\n";
    erreurs.flush();
    return false;
}

// `texte` with its control characters written out ("\x1B"), so that a value quoted in a
// message cannot move the terminal's cursor or hide what follows it.
QString sans_controles(const QString &texte)
{
    QString resultat;
    for (const QChar c : texte) {
        const ushort u = c.unicode();
        if (u < 0x20 || (u >= 0x7f && u < 0xa0))
            resultat +=
                QStringLiteral("\\x") + QString::number(u, 16).rightJustified(2, '0').toUpper();
        else if (u == 0xfeff)
            resultat += QStringLiteral("\\uFEFF");
        else
            resultat += c;
    }
    return resultat;
}

QtMessageHandler gestionnaire_boite_a_outils = nullptr;

// Keeps only the fatal messages, which end the program.
void taire_avertissements(QtMsgType type, const QMessageLogContext &contexte,
                          const QString &message)
{
    if (type == QtFatalMsg && gestionnaire_boite_a_outils)
        gestionnaire_boite_a_outils(type, contexte, message);
}

} // namespace

void preparer_ligne_de_commande()
{
    // Each closed descriptor is the lowest free one in turn, so each open takes its number;
    // opened for reading only, the standard output and error refuse every write.
    for (int descripteur : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
        if (::fcntl(descripteur, F_GETFD) == -1 && errno == EBADF)
            ::open("/dev/null", O_RDONLY);
    if (qEnvironmentVariableIsEmpty("ORVANE_DEBUG"))
        gestionnaire_boite_a_outils = qInstallMessageHandler(taire_avertissements);
}

bool ligne_de_commande_demandee(int argc)
{
    return argc > 1;
}

Options_Ligne::Options_Ligne()
{
    const auto option = [](const char *nom, const char *valeur) {
        return QCommandLineOption(QString::fromLatin1(nom), QString(), QString::fromLatin1(valeur));
    };
    avec_valeur = {option("export", "FICHIER"),       option("latitude", "DEG"),
                   option("longitude", "DEG"),        option("fuseau", "ZONE"),
                   option("heure", "solaire|legale"), option("modele", "simple|precis"),
                   option("date", "AAAA-MM-JJ"),      option("jour-des-mois", "J"),
                   option("annee", "AAAA"),           option("taille", "LxH"),
                   option("projection", "PROJ"),      option("site", "FICHIER"),
                   option("masque", "FICHIER"),       option("enregistrer-site", "FICHIER"),
                   option("convention", "CONV"),      option("facade", "AZ"),
                   option("casquette", "P:H[:G:D]"),  option("joue-gauche", "P:D"),
                   option("joue-droite", "P:D"),      option("obstacle", "B1:D1:B2:D2:H")};
    avec_valeur +=
        {option("baie", "L:H:A:E"), option("exposition", "REGLE"), option("hauteur-min", "DEG")};
    // The sky photo and its calibration.
    avec_valeur << option("photo", "FICHIER") << option("photo-objectif", "OBJECTIF")
                << option("photo-centre", "X:Y") << option("photo-rayon", "R")
                << option("photo-nord", "DEG") << option("photo-miroir", "oui|non")
                << option("photo-opacite", "P") << option("photo-seuil", "S");
    // The project named on the report page.
    avec_valeur << option("projet", "NOM") << option("adresse", "TEXTE") << option("client", "NOM")
                << option("auteur", "NOM");
    avec_valeur << option("annee-fenetre", "FICHIER");
    avec_valeur << option("graduations", "tableau|caps");
    drapeaux = {QCommandLineOption(QStringLiteral("tableau")),
                QCommandLineOption(QStringLiteral("limites")),
                QCommandLineOption(QStringLiteral("heures"))};
    drapeaux += {QCommandLineOption(QStringLiteral("tableau-exposition"))};
    drapeaux << QCommandLineOption(QStringLiteral("photo-horizon"));
    drapeaux << QCommandLineOption(QStringLiteral("periodes"));
    analyse.addOptions(avec_valeur);
    analyse.addOptions(drapeaux);
    analyse.addOptions(
        {lot, QCommandLineOption(QStringLiteral("silencieux")),
         QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help")}),
         QCommandLineOption(QStringList{QStringLiteral("v"), QStringLiteral("version")})});
}

Demande lire_demande(const Options_Ligne &options, const QDate &aujourd_hui)
{
    const QCommandLineParser &analyse = options.analyse;
    Demande demande;
    demande.aujourd_hui = aujourd_hui;
    Description_Diagramme &d = demande.description;
    if (!analyse.positionalArguments().isEmpty())
        throw Erreur_usage{QStringLiteral("argument inattendu : « %1 »")
                               .arg(analyse.positionalArguments().first())};
    // An empty value would read as no option at all ("--casquette ''" as no overhang).
    for (const QCommandLineOption &option : options.avec_valeur)
        for (const QString &valeur : analyse.values(option))
            if (valeur.isEmpty())
                throw Erreur_usage{
                    QStringLiteral("--%1 : valeur vide").arg(option.names().constLast())};

    // The year of Mode 2 stands at the current year, as in a fresh window, so that a site
    // written from Mode 1 opens with it.
    d.annee = aujourd_hui.year();
    // The site's values first; the options given replace them.
    if (analyse.isSet(QStringLiteral("site"))) {
        const Lecture_Site lecture = lire_site(valeur_unique(analyse, QStringLiteral("site")));
        if (!lecture.site)
            throw Erreur_usage{QStringLiteral("--site : ") + lecture.probleme};
        demande.site = lecture.site;
        demande.nom_site =
            QFileInfo(valeur_unique(analyse, QStringLiteral("site"))).completeBaseName();
        d = lecture.site->diagramme;
        // Mode 2 keeps no saved dates, as in the window.
        if (d.mode == Mode_Dates::Jour_des_mois)
            d.dates_enregistrees.clear();
    }
    const bool site_des_mois = demande.site && d.mode == Mode_Dates::Jour_des_mois;

    if (analyse.isSet(QStringLiteral("latitude")))
        d.latitude = lire_degres(analyse, QStringLiteral("latitude"), latitude_max);
    if (analyse.isSet(QStringLiteral("longitude")))
        d.longitude = lire_degres(analyse, QStringLiteral("longitude"), longitude_max);
    if (analyse.isSet(QStringLiteral("fuseau"))) {
        const QString texte = valeur_unique(analyse, QStringLiteral("fuseau"));
        if (!fuseau_connu(texte))
            throw Erreur_usage{
                QStringLiteral("--fuseau : « %1 » n'est pas un fuseau horaire connu").arg(texte)};
        d.fuseau = texte.toLatin1();
    }
    if (analyse.isSet(QStringLiteral("heure"))) {
        const QString texte = valeur_unique(analyse, QStringLiteral("heure"));
        if (texte == QLatin1String("solaire"))
            d.echelle = Echelle_Heures::Temps_solaire_vrai;
        else if (texte == QLatin1String("legale"))
            d.echelle = Echelle_Heures::Heure_legale;
        else
            throw Erreur_usage{
                QStringLiteral("--heure : « %1 » : attendu solaire ou legale").arg(texte)};
    }
    if (analyse.isSet(QStringLiteral("modele"))) {
        const QString texte = valeur_unique(analyse, QStringLiteral("modele"));
        if (texte == QLatin1String("simple"))
            d.modele = Modele_Soleil::simple;
        else if (texte == QLatin1String("precis"))
            d.modele = Modele_Soleil::precis;
        else
            throw Erreur_usage{
                QStringLiteral("--modele : « %1 » : attendu simple ou precis").arg(texte)};
    }

    if (analyse.isSet(QStringLiteral("projection"))) {
        const QString texte = valeur_unique(analyse, QStringLiteral("projection"));
        const std::optional<Type_Projection> projection = projection_nommee(texte);
        if (!projection)
            throw Erreur_usage{QStringLiteral("--projection : « %1 » : attendu equidistante, "
                                              "stereographique ou cylindrique")
                                   .arg(texte)};
        d.options.projection = *projection;
    }
    if (analyse.isSet(QStringLiteral("graduations"))) {
        const QString texte = valeur_unique(analyse, QStringLiteral("graduations"));
        const std::optional<Graduations_Azimut> graduations = graduations_nommees(texte);
        if (!graduations)
            throw Erreur_usage{
                QStringLiteral("--graduations : « %1 » : attendu tableau ou caps").arg(texte)};
        d.options.graduations_azimut = *graduations;
    }

    const QStringList dates = analyse.values(QStringLiteral("date"));
    if (dates.size() > dates_max)
        throw Erreur_usage{QStringLiteral("--date : %1 dates données, %2 au plus")
                               .arg(dates.size())
                               .arg(dates_max)};
    if (analyse.isSet(QStringLiteral("jour-des-mois"))) {
        if (!dates.isEmpty())
            throw Erreur_usage{QStringLiteral("--jour-des-mois : ne va pas avec --date")};
        d.mode = Mode_Dates::Jour_des_mois;
        d.jour_des_mois =
            lire_entier(QStringLiteral("--jour-des-mois"),
                        valeur_unique(analyse, QStringLiteral("jour-des-mois")), 1, 31);
        d.annee =
            analyse.isSet(QStringLiteral("annee"))
                ? lire_entier(QStringLiteral("--annee"),
                              valeur_unique(analyse, QStringLiteral("annee")), annee_min, annee_max)
            : site_des_mois ? d.annee
                            : aujourd_hui.year();
        // The limit courses' labels read their day numbers in the diagram's year; a site
        // keeps the date of its window's date edit, which does that there. A year before
        // the date edit's range is read 400 years on, the same calendar, so that the site
        // written opens.
        if (!demande.site) {
            int annee_du_calendrier = d.annee;
            while (QDate(annee_du_calendrier, 1, 1) < premiere_date)
                annee_du_calendrier += 400;
            d.date_choisie = QDate(annee_du_calendrier, 1, 1);
        }
        d.dates_enregistrees.clear();
    } else if (site_des_mois && dates.isEmpty()) {
        if (analyse.isSet(QStringLiteral("annee")))
            d.annee =
                lire_entier(QStringLiteral("--annee"),
                            valeur_unique(analyse, QStringLiteral("annee")), annee_min, annee_max);
    } else {
        if (analyse.isSet(QStringLiteral("annee")))
            throw Erreur_usage{QStringLiteral("--annee : ne va qu'avec --jour-des-mois")};
        if (!demande.site)
            d.date_choisie = aujourd_hui;
        if (!dates.isEmpty()) {
            d.mode = Mode_Dates::Dates_choisies;
            d.dates_enregistrees.clear();
        }
        // The dates are saved as the window saves them: one per day of the year, a later
        // date replacing an earlier one on the same day.
        QMap<int, QDate> emplacements;
        for (int i = 0; i < dates.size(); ++i) {
            const QDate date = lire_date(dates[i]);
            if (i == 0)
                d.date_choisie = date;
            else
                emplacements.insert(date.dayOfYear(), date);
        }
        if (!dates.isEmpty())
            d.dates_enregistrees = emplacements.values().toVector();
    }

    // As in the window, a site's hour lines go only with its limit courses.
    d.heures = (d.heures && d.limites) || analyse.isSet(QStringLiteral("heures"));
    d.limites = d.limites || analyse.isSet(QStringLiteral("limites")) || d.heures;
    if (analyse.isSet(QStringLiteral("taille")))
        d.taille = lire_taille(valeur_unique(analyse, QStringLiteral("taille")));

    std::optional<Convention_Azimut> convention;
    if (analyse.isSet(QStringLiteral("convention"))) {
        if (!analyse.isSet(QStringLiteral("masque")))
            throw Erreur_usage{QStringLiteral("--convention : ne va qu'avec --masque")};
        const QString nom = valeur_unique(analyse, QStringLiteral("convention"));
        for (const Nom_Convention &c : noms_conventions)
            if (nom == QLatin1String(c.nom))
                convention = c.convention;
        if (!convention)
            throw Erreur_usage{
                QStringLiteral("--convention : « %1 » : attendu nord, sud ou tableau").arg(nom)};
    }

    const auto donnee = [&](const char *option) {
        const QString nom = QString::fromLatin1(option);
        return analyse.isSet(nom) ? valeur_unique(analyse, nom) : QString();
    };
    lire_ombrage(d.ombrage, donnee("facade"), donnee("casquette"), donnee("joue-gauche"),
                 donnee("joue-droite"), analyse.values(QStringLiteral("obstacle")));
    lire_exposition(d, donnee("baie"), donnee("exposition"), donnee("hauteur-min"),
                    !demande.site && dates.isEmpty() &&
                        !analyse.isSet(QStringLiteral("jour-des-mois")));
    demande.tableau_exposition = analyse.isSet(QStringLiteral("tableau-exposition"));
    if (demande.tableau_exposition && !d.exposition.active())
        throw Erreur_usage{QStringLiteral("--tableau-exposition : ne va qu'avec une règle "
                                          "(--exposition ou celle du site)")};
    // The project's texts given replace the site's, each on its own.
    for (const auto &[option, texte] :
         {std::make_pair("projet", &d.projet.nom), std::make_pair("adresse", &d.projet.adresse),
          std::make_pair("client", &d.projet.client), std::make_pair("auteur", &d.projet.auteur)})
        if (analyse.isSet(QString::fromLatin1(option)))
            *texte = donnee(option);

    demande.tableau = analyse.isSet(QStringLiteral("tableau"));
    // The window's sun, through the day and the year.
    demande.periodes = analyse.isSet(QStringLiteral("periodes"));
    if (analyse.isSet(QStringLiteral("annee-fenetre")))
        demande.fichier_annee = valeur_unique(analyse, QStringLiteral("annee-fenetre"));
    for (const auto &[option, demandee] :
         {std::make_pair("--periodes", demande.periodes),
          std::make_pair("--annee-fenetre", !demande.fichier_annee.isEmpty())})
        if (demandee && !d.ombrage.facade_active())
            throw Erreur_usage{
                QStringLiteral("%1 : ne va qu'avec --facade").arg(QLatin1String(option))};
    if (analyse.isSet(QStringLiteral("export"))) {
        demande.fichier = valeur_unique(analyse, QStringLiteral("export"));
        if (format_export(demande.fichier) == Format_export::Inconnu)
            throw Erreur_usage{QStringLiteral("--export : « %1 » : le nom doit se terminer "
                                              "par .png, .jpg, .jpeg, .svg ou .pdf")
                                   .arg(demande.fichier)};
    }
    if (analyse.isSet(QStringLiteral("enregistrer-site")))
        demande.fichier_site = valeur_unique(analyse, QStringLiteral("enregistrer-site"));
    if (demande.fichier.isEmpty() && !demande.tableau && demande.fichier_site.isEmpty() &&
        !demande.tableau_exposition && demande.fichier_annee.isEmpty())
        throw Erreur_usage{QStringLiteral("rien à écrire : donnez --export FICHIER, --tableau "
                                          "ou --enregistrer-site FICHIER")};
    // The mask file last: every other argument is found good before it is read.
    if (analyse.isSet(QStringLiteral("masque"))) {
        demande.horizon = lire_masque(valeur_unique(analyse, QStringLiteral("masque")), convention);
        demande.nom_horizon =
            QFileInfo(valeur_unique(analyse, QStringLiteral("masque"))).fileName();
        d.masque = QVector<QPointF>(demande.horizon->cbegin(), demande.horizon->cend());
        d.jonction = Jonction_Masque::Ligne;
    } else if (demande.site && demande.site->conserver_masques) {
        d.masque = masque_du_site(*demande.site);
        d.jonction = demande.site->jonction_masques;
    }
    lire_photo_demandee(analyse, demande);
    return demande;
}

Boite_Outils_Hors_Ecran::Boite_Outils_Hors_Ecran()
{
    // Drawing needs the toolkit but no screen: the offscreen platform runs anywhere, with or
    // without a display. It is given none of the arguments, which are all the command line's.
    static int argc_toolkit = 1;
    static char nom[] = "orvane";
    static char *argv_toolkit[] = {nom, nullptr};
    if (!QCoreApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        application_.emplace(argc_toolkit, argv_toolkit);
    }
}

QByteArray texte_tableau(const Description_Diagramme &description,
                         const QVector<Ligne_Sortie> &lignes, bool periodes)
{
    const bool masque = colonnes_masque(description);
    const bool fenetre = description.ombrage.facade_active();
    QByteArray texte =
        QByteArray("date;lever;coucher;duree") + (masque ? ";soleil_direct;masque" : "") +
        (fenetre ? ";soleil_fenetre" : "") + (periodes ? ";periodes_fenetre" : "") + '\n';
    for (const Ligne_Sortie &ligne : lignes) {
        QStringList cellules = textes_ligne(ligne, QStringLiteral("yyyy-MM-dd"), false);
        if (masque)
            cellules += textes_masque(ligne);
        if (fenetre)
            cellules += texte_fenetre(ligne);
        if (periodes)
            cellules +=
                ligne.tracee ? texte_periodes(ligne.periodes_fenetre, true) : QStringLiteral("-");
        texte += cellules.join(QLatin1Char(';')).toUtf8() + '\n';
    }
    return texte;
}

QByteArray texte_exposition(const Description_Diagramme &description)
{
    return lignes_csv_verdict(evaluer_exposition(etude_exposition(description)))
               .join(QLatin1Char('\n'))
               .toUtf8() +
           '\n';
}

QVector<Ligne_Sortie> ecrire_demande(const Demande &demande, QStringList &echecs)
{
    Scene scene;
    return ecrire_demande(demande, echecs, scene);
}

QVector<Ligne_Sortie> ecrire_demande(const Demande &demande, QStringList &echecs, Scene &scene)
{
    const Description_Diagramme &d = demande.description;
    if (!demande.fichier_site.isEmpty()) {
        // The site of what is drawn: the horizon's rows kept, as the import leaves the table
        // when "Conserver les masques" is ticked; otherwise the site's table, or a fresh one.
        Site site = demande.site.value_or(Site());
        if (demande.horizon) {
            site.masques = lignes_de_points(*demande.horizon);
            site.conserver_masques = true;
            site.jonction_masques = Jonction_Masque::Ligne;
        } else if (!demande.site) {
            site.masques.resize(lignes_masques_initiales);
        }
        site.diagramme = d;
        const QString erreur = ecrire_site(demande.fichier_site, site);
        if (!erreur.isEmpty())
            echecs << QStringLiteral("--enregistrer-site : ") + erreur;
    }
    if (!demande.fichier_annee.isEmpty()) {
        const QString raison =
            ecrire_fichier(demande.fichier_annee, csv_grille(grille_description(d)));
        if (!raison.isEmpty())
            echecs << QStringLiteral("--annee-fenetre : « %1 » n'a pas pu être écrit : %2.")
                          .arg(demande.fichier_annee, raison);
    }
    if (demande.fichier.isEmpty() && !demande.tableau)
        return {};

    ajuster_scene(scene, d.taille);
    const QVector<Ligne_Sortie> lignes = dessiner_diagramme(scene, d);

    const auto non_ecrit = [&](const char *option, const QString &fichier, const QString &raison) {
        echecs << QStringLiteral("%1 : « %2 » n'a pas pu être écrit : %3.")
                      .arg(QLatin1String(option), fichier, raison);
    };
    if (!demande.fichier.isEmpty()) {
        QString raison;
        // The report page: the site's name for a title, the horizon's file or the site's typed
        // mask, and the day of the run.
        Legende_page legende = legende_page(d, lignes);
        if (!demande.nom_site.isEmpty())
            legende.titre = demande.nom_site;
        if (!d.masque.isEmpty())
            legende.horizon = demande.nom_horizon.isEmpty() ? QStringLiteral("masque saisi")
                                                            : demande.nom_horizon;
        legende.date = demande.aujourd_hui;
        std::optional<Scene> page;
        if (format_export(demande.fichier) == Format_export::Pdf) {
            dessiner_pour_page(page.emplace(), d);
            ajouter_grille(legende, d);
        }
        if (!exporter_diagramme(scene, d.taille, legende, demande.fichier, &raison,
                                page ? &*page : nullptr))
            non_ecrit("--export", demande.fichier, raison);
    }
    if (!demande.fichier_tableau.isEmpty()) {
        const QString raison =
            ecrire_fichier(demande.fichier_tableau,
                           demande.tableau_exposition ? texte_exposition(d)
                                                      : texte_tableau(d, lignes, demande.periodes));
        if (!raison.isEmpty())
            non_ecrit("--tableau", demande.fichier_tableau, raison);
    }
    return lignes;
}

int executer_ligne_de_commande(const QStringList &arguments, const QDate &aujourd_hui,
                               QTextStream &sortie, QTextStream &erreurs)
{
    Options_Ligne options;
    QCommandLineParser &analyse = options.analyse;
    auto usage = [&](const QString &message, const QStringList &suite = {}) {
        for (const QString &ligne : QStringList{message} + suite)
            erreurs << nom_programme << QStringLiteral(" : ") << sans_controles(ligne) << '\n';
        erreurs << QStringLiteral("Essayez « orvane --help ».") << '\n';
        erreurs.flush();
        return statut_usage;
    };

    if (!analyse.parse(arguments))
        return usage(refus_arguments(options, arguments));
    if (analyse.isSet(QStringLiteral("help"))) {
        sortie << aide;
        return vider_sortie(sortie, erreurs, QStringLiteral("--help")) ? statut_succes
                                                                       : statut_echec_ecriture;
    }
    if (analyse.isSet(QStringLiteral("version"))) {
        sortie << nom_programme << ' ' << QStringLiteral(ORVANE_VERSION) << '\n';
        return vider_sortie(sortie, erreurs, QStringLiteral("--version")) ? statut_succes
                                                                          : statut_echec_ecriture;
    }

    Demande demande;
    Lot lot;
    try {
        if (analyse.isSet(QStringLiteral("lot")))
            lot = lire_lot(options, aujourd_hui);
        else if (analyse.isSet(QStringLiteral("silencieux")))
            throw Erreur_usage{QStringLiteral("--silencieux : ne va qu'avec --lot")};
        else
            demande = lire_demande(options, aujourd_hui);
    } catch (const Erreur_usage &erreur) {
        return usage(erreur.message, erreur.suite);
    }
    if (analyse.isSet(QStringLiteral("lot")))
        return executer_lot(lot, !analyse.isSet(QStringLiteral("silencieux")), erreurs);

    const Boite_Outils_Hors_Ecran boite;
    QStringList echecs;
    const QVector<Ligne_Sortie> lignes = ecrire_demande(demande, echecs);
    for (const QString &echec : echecs)
        erreurs << nom_programme << QStringLiteral(" : ") << echec << '\n';
    erreurs.flush();
    int statut = echecs.isEmpty() ? statut_succes : statut_echec_ecriture;
    if (demande.tableau_exposition) {
        sortie << QString::fromUtf8(texte_exposition(demande.description));
        if (!vider_sortie(sortie, erreurs, QStringLiteral("--tableau-exposition")))
            statut = statut_echec_ecriture;
    } else if (demande.tableau) {
        sortie << QString::fromUtf8(texte_tableau(demande.description, lignes, demande.periodes));
        if (!vider_sortie(sortie, erreurs, QStringLiteral("--tableau")))
            statut = statut_echec_ecriture;
    }
    return statut;
}
