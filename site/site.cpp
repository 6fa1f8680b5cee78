// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// The site file: written with QJsonDocument through QSaveFile, read whole and checked field by
// field into a fresh value; the first problem stops the reading, so nothing half-read ever
// leaves here.
#include "site/site.h"

#include "ecriture/ecriture.h"
#include "trace/regles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QRegularExpression>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>

const QString format_site = QStringLiteral("orvane-site");
const QString filtre_site = QStringLiteral("Site Orvane (*.orvane)");
const QString suffixe_site = QStringLiteral("orvane");

namespace
{

const QString mode_dates = QStringLiteral("dates");
const QString mode_mois = QStringLiteral("mois");
// The time scale and the model of the sun as the file names them.
const QString echelle_solaire = QStringLiteral("solaire");
const QString echelle_legale = QStringLiteral("legale");
const QString modele_simple = QStringLiteral("simple");
const QString modele_precis = QStringLiteral("precis");
// How the mask's rows are joined.
const QString jonction_paliers = QStringLiteral("paliers");
const QString jonction_ligne = QStringLiteral("ligne");

// Ranges of the widgets the values go to.
constexpr double azimut_max = 180.0; // degrees
constexpr double hauteur_max = 90.0; // degrees
constexpr int pas_hauteur_min = 5, pas_hauteur_max = 15;
constexpr int pas_azimut_min = 5, pas_azimut_max = 30;
constexpr int opacite_max = 100; // percent

QJsonValue cellule(const std::optional<double> &valeur)
{
    return valeur ? QJsonValue(*valeur) : QJsonValue(QJsonValue::Null);
}

QString nombre(double valeur)
{
    return QString::number(valeur, 'g', 10);
}

// Lengths and heights of the window's surroundings, metres.
constexpr double longueur_max = 1e6;

// Reads the fields of one object, by name, into values; the first problem is kept and every
// later read returns a default, so that the caller checks once at the end.
class Lecteur
{
public:
    QString probleme;

    bool en_echec() const { return !probleme.isEmpty(); }

    void echouer(const QString &texte)
    {
        if (probleme.isEmpty())
            probleme = texte;
    }

    // The field `nom` of `objet`, which must be there; `chemin` names it in messages
    // ("dates.annee").
    QJsonValue champ(const QJsonObject &objet, const QString &chemin)
    {
        const QString nom = chemin.section(QLatin1Char('.'), -1);
        const auto it = objet.constFind(nom);
        if (it == objet.constEnd()) {
            echouer(QStringLiteral("le champ « %1 » manque").arg(chemin));
            return {};
        }
        return it.value();
    }

    QJsonObject objet(const QJsonObject &parent, const QString &chemin)
    {
        const QJsonValue v = champ(parent, chemin);
        if (!en_echec() && !v.isObject())
            echouer(QStringLiteral("le champ « %1 » doit être un objet {…}").arg(chemin));
        return v.toObject();
    }

    QJsonArray tableau(const QJsonObject &parent, const QString &chemin)
    {
        const QJsonValue v = champ(parent, chemin);
        if (!en_echec() && !v.isArray())
            echouer(QStringLiteral("le champ « %1 » doit être une liste […]").arg(chemin));
        return v.toArray();
    }

    bool booleen(const QJsonObject &parent, const QString &chemin)
    {
        const QJsonValue v = champ(parent, chemin);
        if (!en_echec() && !v.isBool())
            echouer(QStringLiteral("le champ « %1 » doit valoir true ou false").arg(chemin));
        return v.toBool();
    }

    QString texte(const QJsonObject &parent, const QString &chemin)
    {
        const QJsonValue v = champ(parent, chemin);
        if (!en_echec() && !v.isString())
            echouer(
                QStringLiteral("le champ « %1 » doit être un texte entre guillemets").arg(chemin));
        return v.toString();
    }

    // A number within [min, max].
    double reel(const QJsonValue &v, const QString &chemin, double min, double max,
                const QString &unite)
    {
        if (en_echec())
            return 0.0;
        if (!v.isDouble()) {
            echouer(QStringLiteral("le champ « %1 » doit être un nombre").arg(chemin));
            return 0.0;
        }
        const double x = v.toDouble();
        if (!std::isfinite(x) || x < min || x > max) {
            echouer(QStringLiteral("la valeur %1 du champ « %2 » est hors de %3..%4%5")
                        .arg(nombre(x), chemin, nombre(min), nombre(max), unite));
            return 0.0;
        }
        return x;
    }

    double reel(const QJsonObject &parent, const QString &chemin, double min, double max,
                const QString &unite)
    {
        const QJsonValue v = champ(parent, chemin);
        return reel(v, chemin, min, max, unite);
    }

    // A whole number within [min, max].
    int entier(const QJsonObject &parent, const QString &chemin, int min, int max,
               const QString &unite = QString())
    {
        const QJsonValue v = champ(parent, chemin);
        if (en_echec())
            return 0;
        if (!v.isDouble() || std::floor(v.toDouble()) != v.toDouble()) {
            echouer(QStringLiteral("le champ « %1 » doit être un nombre entier").arg(chemin));
            return 0;
        }
        return static_cast<int>(reel(v, chemin, min, max, unite));
    }

    // A date written AAAA-MM-JJ, within the date edit's range.
    QDate date(const QJsonValue &v, const QString &chemin)
    {
        if (en_echec())
            return {};
        const Date_Lue lue = lire_date_iso(v.toString());
        if (!v.isString() || lue.probleme == Date_Lue::Probleme::Forme ||
            lue.probleme == Date_Lue::Probleme::Inexistante) {
            echouer(QStringLiteral("le champ « %1 » doit être une date valide écrite "
                                   "AAAA-MM-JJ")
                        .arg(chemin));
            return {};
        }
        if (lue.probleme == Date_Lue::Probleme::Hors_limites) {
            echouer(QStringLiteral("la date %1 du champ « %2 » est hors de %3..%4")
                        .arg(v.toString(), chemin, texte_date_iso(premiere_date),
                             texte_date_iso(derniere_date)));
            return {};
        }
        return lue.date;
    }

    // A length in metres, > 0; with `vide`, null stands for none (infinite).
    double longueur(const QJsonObject &parent, const QString &chemin, bool vide = false)
    {
        const QJsonValue v = champ(parent, chemin);
        if (en_echec())
            return 1.0;
        if (vide && v.isNull())
            return std::numeric_limits<double>::infinity();
        const double x = reel(v, chemin, -longueur_max, longueur_max, QStringLiteral(" m"));
        if (!en_echec() && !(x > 0.0))
            echouer(QStringLiteral("la longueur %1 du champ « %2 » doit être plus grande que 0")
                        .arg(nombre(x), chemin));
        return x;
    }

    // A mask cell: a number within [−max, max] or [0, max], or null for an empty cell.
    std::optional<double> cellule(const QJsonObject &ligne, const QString &chemin, double min,
                                  double max)
    {
        const QJsonValue v = champ(ligne, chemin);
        if (en_echec() || v.isNull())
            return std::nullopt;
        return reel(v, chemin, min, max, QStringLiteral("°"));
    }
};

// What the parser stumbled on, in French.
QString cause_json(QJsonParseError::ParseError erreur)
{
    switch (erreur) {
    case QJsonParseError::UnterminatedObject:
        return QStringLiteral("un objet {…} n'est pas fermé");
    case QJsonParseError::MissingNameSeparator:
        return QStringLiteral("il manque « : » après le nom d'un champ");
    case QJsonParseError::UnterminatedArray:
        return QStringLiteral("une liste […] n'est pas fermée");
    case QJsonParseError::MissingValueSeparator:
        return QStringLiteral("il manque une virgule entre deux valeurs");
    case QJsonParseError::IllegalValue:
        return QStringLiteral("une valeur n'est ni un nombre, ni un texte entre guillemets, ni "
                              "true, false ou null");
    case QJsonParseError::TerminationByNumber:
        return QStringLiteral("le texte s'arrête sur un nombre");
    case QJsonParseError::IllegalNumber:
        return QStringLiteral("un nombre est mal écrit ou trop grand");
    case QJsonParseError::IllegalEscapeSequence:
        return QStringLiteral("un texte entre guillemets contient un échappement \\ inconnu");
    case QJsonParseError::IllegalUTF8String:
        return QStringLiteral("le texte n'est pas de l'UTF-8 valide");
    case QJsonParseError::UnterminatedString:
        return QStringLiteral("un texte entre guillemets n'est pas fermé");
    case QJsonParseError::MissingObject:
        return QStringLiteral("une virgule en trop, que ne suit aucun champ ni aucune valeur");
    case QJsonParseError::DeepNesting:
        return QStringLiteral("les objets et les listes sont imbriqués trop profondément");
    case QJsonParseError::DocumentTooLarge:
        return QStringLiteral("le texte est trop grand");
    case QJsonParseError::GarbageAtEnd:
        return QStringLiteral("du texte suit la fin du document");
    default:
        return QStringLiteral("erreur de syntaxe");
    }
}

// The parser's verdict in words: a file cut short is told apart from a syntax error, which is
// named with its place, and a NaN or an infinity, which JSON cannot hold, is named.
QString probleme_json(const QByteArray &octets, const QJsonParseError &erreur)
{
    if (octets.trimmed().isEmpty())
        return QStringLiteral("le fichier est vide");
    const int debut = std::max(0, erreur.offset - 12);
    const QString autour = QString::fromUtf8(octets.mid(debut, 24));
    static const QRegularExpression non_nombre(
        QStringLiteral("(?<![A-Za-z_\"])-?(NaN|nan|Infinity|infinity|inf)(?![A-Za-z_\"])"));
    const QRegularExpressionMatch trouve = non_nombre.match(autour);
    if (trouve.hasMatch())
        return QStringLiteral("« %1 » n'est pas un nombre (octet %2)")
            .arg(trouve.captured(0))
            .arg(debut + trouve.capturedStart(0));
    // The parser stops at the end of the bytes when the document was not finished. A comma
    // followed by the last "}" stops it there too, on a document that is whole.
    int fin = octets.size();
    while (fin > 0 && std::isspace(static_cast<unsigned char>(octets.at(fin - 1))))
        --fin;
    if (erreur.offset >= fin - 1 && erreur.error != QJsonParseError::GarbageAtEnd &&
        erreur.error != QJsonParseError::MissingObject)
        return QStringLiteral("le fichier est tronqué : le texte JSON s'arrête avant sa fin "
                              "(octet %1)")
            .arg(erreur.offset);
    // The parser reports the character after the stray comma: the comma is the place to mend.
    const int position = erreur.error == QJsonParseError::MissingObject
                             ? std::max(0, octets.lastIndexOf(',', erreur.offset - 1))
                             : erreur.offset;
    return QStringLiteral("ce n'est pas un texte JSON valide (erreur à l'octet %1, ligne %2 : %3)")
        .arg(position)
        .arg(octets.left(position).count('\n') + 1)
        .arg(cause_json(erreur.error));
}

// A length as the file keeps it: null for none (infinite).
QJsonValue valeur_longueur(double longueur)
{
    return std::isinf(longueur) ? QJsonValue() : QJsonValue(longueur);
}

// The window's sections, "fenetre" and "obstacles", each left out while it holds nothing:
// files without a window stay as they were.
void ecrire_ombrage(QJsonObject &racine, const Ombrage &ombrage)
{
    const Facade &f = ombrage.facade;
    if (f != Facade()) {
        const auto joue = [](const Joue &j) {
            return QJsonObject{{QStringLiteral("active"), j.active},
                               {QStringLiteral("profondeur"), j.profondeur},
                               {QStringLiteral("distance"), j.distance}};
        };
        const Casquette &c = f.casquette;
        racine.insert(
            QStringLiteral("fenetre"),
            QJsonObject{{QStringLiteral("active"), f.active},
                        {QStringLiteral("orientation"), f.orientation},
                        {QStringLiteral("casquette"),
                         QJsonObject{{QStringLiteral("active"), c.active},
                                     {QStringLiteral("profondeur"), c.profondeur},
                                     {QStringLiteral("hauteur"), c.hauteur},
                                     {QStringLiteral("gauche"), valeur_longueur(c.gauche)},
                                     {QStringLiteral("droite"), valeur_longueur(c.droite)}}},
                        {QStringLiteral("joue_gauche"), joue(f.joue_gauche)},
                        {QStringLiteral("joue_droite"), joue(f.joue_droite)}});
    }
    if (ombrage.obstacles.empty())
        return;
    QJsonArray murs;
    for (const Obstacle &o : ombrage.obstacles)
        murs.append(QJsonObject{{QStringLiteral("gisement1"), o.gisement1},
                                {QStringLiteral("distance1"), o.distance1},
                                {QStringLiteral("gisement2"), o.gisement2},
                                {QStringLiteral("distance2"), o.distance2},
                                {QStringLiteral("hauteur"), o.hauteur}});
    racine.insert(QStringLiteral("obstacles"),
                  QJsonObject{{QStringLiteral("actifs"), ombrage.obstacles_actifs},
                              {QStringLiteral("murs"), murs}});
}

const std::pair<Point_Reference, const char *> noms_points[] = {
    {Point_Reference::Seuil_Exterieur, "seuil_exterieur"},
    {Point_Reference::Milieu_Baie, "milieu_baie"},
    {Point_Reference::Seuil_Interieur, "seuil_interieur"},
    {Point_Reference::Face_Interieure, "face_interieure"}};

QString texte_jour_mois_site(const Jour_Mois &j)
{
    return QStringLiteral("%1-%2")
        .arg(j.mois, 2, 10, QLatin1Char('0'))
        .arg(j.jour, 2, 10, QLatin1Char('0'));
}

// The opening ("baie") and the exposure rule with its point and least height ("exposition"),
// each left out while it is not given: files without them stay as they were.
void ecrire_exposition(QJsonObject &racine, const Ombrage &ombrage, const Regle_Exposition &regle)
{
    const Baie &b = ombrage.baie;
    if (b != Baie())
        racine.insert(QStringLiteral("baie"),
                      QJsonObject{{QStringLiteral("active"), b.active},
                                  {QStringLiteral("largeur"), b.largeur},
                                  {QStringLiteral("hauteur"), b.hauteur},
                                  {QStringLiteral("allege"), b.allege},
                                  {QStringLiteral("epaisseur"), b.epaisseur}});
    if (!regle.active() && ombrage.point == Point_Reference::Seuil_Exterieur &&
        ombrage.hauteur_min == 0.0)
        return;
    QString point;
    for (const auto &nom : noms_points)
        if (nom.first == ombrage.point)
            point = QString::fromLatin1(nom.second);
    QJsonArray criteres;
    for (const Critere_Exposition &c : regle.criteres)
        criteres.append(QJsonObject{{QStringLiteral("debut"), texte_jour_mois_site(c.debut)},
                                    {QStringLiteral("fin"), texte_jour_mois_site(c.fin)},
                                    {QStringLiteral("chaque_jour"), c.chaque_jour},
                                    {QStringLiteral("jour"), texte_jour_mois_site(c.jour)},
                                    {QStringLiteral("heures"), c.heures}});
    racine.insert(QStringLiteral("exposition"),
                  QJsonObject{{QStringLiteral("regle"),
                               regle.active() ? nom_court(regle.type) : QStringLiteral("aucune")},
                              {QStringLiteral("criteres"), criteres},
                              {QStringLiteral("niveaux"), regle.niveaux},
                              {QStringLiteral("hauteur_min"), ombrage.hauteur_min},
                              {QStringLiteral("point"), point}});
}

void lire_exposition(Lecteur &l, const QJsonObject &racine, Ombrage &ombrage,
                     Regle_Exposition &regle)
{
    if (racine.contains(QStringLiteral("baie"))) {
        const QJsonObject baie = l.objet(racine, QStringLiteral("baie"));
        Baie &b = ombrage.baie;
        b.active = l.booleen(baie, QStringLiteral("baie.active"));
        b.largeur = l.longueur(baie, QStringLiteral("baie.largeur"));
        b.hauteur = l.longueur(baie, QStringLiteral("baie.hauteur"));
        const QString metres = QStringLiteral(" m");
        b.allege = l.reel(baie, QStringLiteral("baie.allege"), 0, longueur_max, metres);
        b.epaisseur = l.reel(baie, QStringLiteral("baie.epaisseur"), 0, longueur_max, metres);
    }
    if (!racine.contains(QStringLiteral("exposition")))
        return;
    const QJsonObject e = l.objet(racine, QStringLiteral("exposition"));
    const QString nom = l.texte(e, QStringLiteral("exposition.regle"));
    regle.type = type_depuis_nom(nom);
    if (!l.en_echec() && regle.type == Type_Regle::Aucune && nom != QLatin1String("aucune"))
        l.echouer(QStringLiteral("« %1 » est inconnu dans « exposition.regle »").arg(nom));
    regle.niveaux = l.booleen(e, QStringLiteral("exposition.niveaux"));
    ombrage.hauteur_min =
        l.reel(e, QStringLiteral("exposition.hauteur_min"), 0, 89.9, QStringLiteral("°"));
    const QString point = l.texte(e, QStringLiteral("exposition.point"));
    bool connu = false;
    for (const auto &p : noms_points)
        if (point == QLatin1String(p.second)) {
            ombrage.point = p.first;
            connu = true;
        }
    if (!l.en_echec() && !connu)
        l.echouer(QStringLiteral("« %1 » est inconnu dans « exposition.point »").arg(point));
    const QJsonArray criteres = l.tableau(e, QStringLiteral("exposition.criteres"));
    const auto jour = [&l](const QJsonObject &o, const QString &chemin) {
        const QString texte = l.texte(o, chemin);
        const QDate date = QDate::fromString(QStringLiteral("2000-") + texte, Qt::ISODate);
        if (!l.en_echec() && (texte.size() != 5 || !date.isValid()))
            l.echouer(QStringLiteral("le champ « %1 » doit être un jour MM-JJ").arg(chemin));
        return date.isValid() ? Jour_Mois{date.month(), date.day()} : Jour_Mois{};
    };
    regle.criteres.clear();
    for (int i = 0; i < criteres.size() && !l.en_echec(); ++i) {
        const QString chemin = QStringLiteral("exposition.criteres[%1].").arg(i);
        const QJsonObject o = criteres.at(i).toObject();
        Critere_Exposition c;
        c.debut = jour(o, chemin + QStringLiteral("debut"));
        c.fin = jour(o, chemin + QStringLiteral("fin"));
        c.chaque_jour = l.booleen(o, chemin + QStringLiteral("chaque_jour"));
        c.jour = jour(o, chemin + QStringLiteral("jour"));
        c.heures = l.reel(o, chemin + QStringLiteral("heures"), 0, 24, QStringLiteral(" h"));
        regle.criteres.push_back(c);
    }
    if (const char *raison = raison_point_refuse(ombrage.baie, ombrage.point);
        !l.en_echec() && ombrage.baie.active && raison)
        l.echouer(QStringLiteral("« exposition.point » : ") + QString::fromUtf8(raison));
    if (!l.en_echec() && regle.active() && regle.criteres.empty())
        l.echouer(QStringLiteral("la règle de « exposition » ne demande rien"));
}

void lire_ombrage(Lecteur &l, const QJsonObject &racine, Ombrage &ombrage)
{
    const QString degre = QStringLiteral("°");
    if (racine.contains(QStringLiteral("fenetre"))) {
        const QJsonObject fenetre = l.objet(racine, QStringLiteral("fenetre"));
        Facade &f = ombrage.facade;
        f.active = l.booleen(fenetre, QStringLiteral("fenetre.active"));
        f.orientation = l.reel(fenetre, QStringLiteral("fenetre.orientation"), 0, 360, degre);
        const QJsonObject c = l.objet(fenetre, QStringLiteral("fenetre.casquette"));
        f.casquette.active = l.booleen(c, QStringLiteral("fenetre.casquette.active"));
        f.casquette.profondeur = l.longueur(c, QStringLiteral("fenetre.casquette.profondeur"));
        f.casquette.hauteur = l.longueur(c, QStringLiteral("fenetre.casquette.hauteur"));
        f.casquette.gauche = l.longueur(c, QStringLiteral("fenetre.casquette.gauche"), true);
        f.casquette.droite = l.longueur(c, QStringLiteral("fenetre.casquette.droite"), true);
        for (const auto &joue :
             {std::make_pair(QStringLiteral("fenetre.joue_gauche"), &f.joue_gauche),
              std::make_pair(QStringLiteral("fenetre.joue_droite"), &f.joue_droite)}) {
            const QJsonObject j = l.objet(fenetre, joue.first);
            joue.second->active = l.booleen(j, joue.first + QStringLiteral(".active"));
            joue.second->profondeur = l.longueur(j, joue.first + QStringLiteral(".profondeur"));
            joue.second->distance = l.longueur(j, joue.first + QStringLiteral(".distance"));
        }
    }
    if (!racine.contains(QStringLiteral("obstacles")))
        return;
    const QJsonObject obstacles = l.objet(racine, QStringLiteral("obstacles"));
    ombrage.obstacles_actifs = l.booleen(obstacles, QStringLiteral("obstacles.actifs"));
    const QJsonArray murs = l.tableau(obstacles, QStringLiteral("obstacles.murs"));
    if (!l.en_echec() && murs.size() > obstacles_max)
        l.echouer(QStringLiteral("%1 obstacles : %2 au plus").arg(murs.size()).arg(obstacles_max));
    for (int i = 0; i < murs.size() && !l.en_echec(); ++i) {
        const QString chemin = QStringLiteral("obstacles.murs[%1].").arg(i);
        if (!murs.at(i).isObject()) {
            l.echouer(
                QStringLiteral("le champ « %1 » doit être un objet {…}").arg(chemin.chopped(1)));
            break;
        }
        const QJsonObject m = murs.at(i).toObject();
        Obstacle o;
        o.gisement1 = l.reel(m, chemin + QStringLiteral("gisement1"), 0, 360, degre);
        o.distance1 = l.longueur(m, chemin + QStringLiteral("distance1"));
        o.gisement2 = l.reel(m, chemin + QStringLiteral("gisement2"), 0, 360, degre);
        o.distance2 = l.longueur(m, chemin + QStringLiteral("distance2"));
        o.hauteur = l.reel(m, chemin + QStringLiteral("hauteur"), -longueur_max, longueur_max,
                           QStringLiteral(" m"));
        if (!l.en_echec() && mur_sur_le_point(o))
            l.echouer(QStringLiteral("« %1 » : %2")
                          .arg(chemin.chopped(1), QString::fromUtf8(raison_mur_sur_le_point)));
        ombrage.obstacles.push_back(o);
    }
}

// The photo of the sky, left out while there is none: its file (relative to the site's folder
// where it lies below it), its lens, its circle, its bearing, its mirror and its opacity.
void ecrire_photo(QJsonObject &racine, const Photo_Diagramme &photo, const QString &dossier)
{
    if (photo.fichier.isEmpty())
        return;
    QString fichier = photo.fichier;
    if (!dossier.isEmpty()) {
        const QString relatif = QDir(dossier).relativeFilePath(fichier);
        if (!relatif.startsWith(QLatin1String("../")) && QDir::isRelativePath(relatif))
            fichier = relatif;
    }
    const Calibration_Photo &c = photo.calibration;
    QJsonObject objet{
        {QStringLiteral("fichier"), fichier},
        {QStringLiteral("objectif"), nom_objectif(c.objectif)},
        {QStringLiteral("centre"), QJsonArray{c.centre.x(), c.centre.y()}},
        {QStringLiteral("rayon"), c.rayon},
        {QStringLiteral("nord"), c.nord},
        {QStringLiteral("miroir"), c.miroir},
        {QStringLiteral("opacite"), photo.opacite},
    };
    if (c.objectif == Type_Objectif::Polynome)
        objet.insert(QStringLiteral("coefficients"), QJsonArray{c.c1, c.c2, c.c3});
    racine.insert(QStringLiteral("photo"), objet);
}

void lire_photo_site(Lecteur &l, const QJsonObject &racine, Photo_Diagramme &photo,
                     const QString &dossier)
{
    if (!racine.contains(QStringLiteral("photo")))
        return;
    const QString degre = QStringLiteral("°");
    const QString px = QStringLiteral(" px");
    const QJsonObject objet = l.objet(racine, QStringLiteral("photo"));
    QString fichier = l.texte(objet, QStringLiteral("photo.fichier"));
    if (!l.en_echec() && fichier.isEmpty())
        l.echouer(QStringLiteral("le champ « photo.fichier » est vide"));
    if (!dossier.isEmpty() && QDir::isRelativePath(fichier))
        fichier = QDir(dossier).filePath(fichier);
    photo.fichier = fichier;
    Calibration_Photo &c = photo.calibration;
    const QString nom = l.texte(objet, QStringLiteral("photo.objectif"));
    const std::optional<Type_Objectif> objectif = objectif_nomme(nom);
    if (!l.en_echec() && !objectif)
        l.echouer(QStringLiteral("« %1 » est inconnu dans « photo.objectif »").arg(nom));
    c.objectif = objectif.value_or(Type_Objectif::Equidistant);
    const QJsonArray centre = l.tableau(objet, QStringLiteral("photo.centre"));
    if (!l.en_echec() && centre.size() != 2)
        l.echouer(QStringLiteral("le champ « photo.centre » doit tenir deux nombres [x, y]"));
    if (!l.en_echec())
        c.centre = QPointF(l.reel(centre.at(0), QStringLiteral("photo.centre[0]"), -1e6, 1e6, px),
                           l.reel(centre.at(1), QStringLiteral("photo.centre[1]"), -1e6, 1e6, px));
    c.rayon = l.reel(objet, QStringLiteral("photo.rayon"), 0, 1e6, px);
    c.nord = l.reel(objet, QStringLiteral("photo.nord"), -360, 360, degre);
    c.miroir = l.booleen(objet, QStringLiteral("photo.miroir"));
    photo.opacite = l.entier(objet, QStringLiteral("photo.opacite"), 0, 100, QStringLiteral(" %"));
    if (c.objectif == Type_Objectif::Polynome) {
        const QJsonArray k = l.tableau(objet, QStringLiteral("photo.coefficients"));
        if (!l.en_echec() && k.size() != 3)
            l.echouer(QStringLiteral("le champ « photo.coefficients » doit tenir trois nombres"));
        if (!l.en_echec()) {
            c.c1 = l.reel(k.at(0), QStringLiteral("photo.coefficients[0]"), -10, 10, QString());
            c.c2 = l.reel(k.at(1), QStringLiteral("photo.coefficients[1]"), -10, 10, QString());
            c.c3 = l.reel(k.at(2), QStringLiteral("photo.coefficients[2]"), -10, 10, QString());
        }
    }
}

// The project's four texts under "projet", written only when one of them is given: files without
// a project stay byte for byte as they were. Read, an absent field is empty.
const char *const champs_projet[] = {"nom", "adresse", "client", "auteur"};

QString *champ_projet(Projet &projet, int i)
{
    QString *const champs[] = {&projet.nom, &projet.adresse, &projet.client, &projet.auteur};
    return champs[i];
}

void ecrire_projet(QJsonObject &racine, Projet projet)
{
    if (projet.vide())
        return;
    QJsonObject objet;
    for (int i = 0; i < 4; ++i)
        objet.insert(QLatin1String(champs_projet[i]), *champ_projet(projet, i));
    racine.insert(QStringLiteral("projet"), objet);
}

void lire_projet(Lecteur &l, const QJsonObject &racine, Projet &projet)
{
    if (!racine.contains(QStringLiteral("projet")))
        return;
    const QJsonObject objet = l.objet(racine, QStringLiteral("projet"));
    for (int i = 0; i < 4; ++i) {
        const QString nom = QLatin1String(champs_projet[i]);
        if (objet.contains(nom))
            *champ_projet(projet, i) = l.texte(objet, QStringLiteral("projet.") + nom);
    }
}

} // namespace

bool Ligne_Masque_Saisie::operator==(const Ligne_Masque_Saisie &autre) const
{
    return azimut == autre.azimut && hauteur == autre.hauteur;
}

bool Site::operator==(const Site &autre) const
{
    const Description_Diagramme &a = diagramme;
    const Description_Diagramme &b = autre.diagramme;
    return a.latitude == b.latitude && a.longitude == b.longitude && a.fuseau == b.fuseau &&
           a.echelle == b.echelle && a.modele == b.modele && a.mode == b.mode &&
           a.date_choisie == b.date_choisie && a.dates_enregistrees == b.dates_enregistrees &&
           a.jour_des_mois == b.jour_des_mois && a.annee == b.annee && a.limites == b.limites &&
           a.heures == b.heures && a.options == b.options && a.ombrage == b.ombrage &&
           a.exposition == b.exposition && masques == autre.masques &&
           conserver_masques == autre.conserver_masques &&
           jonction_masques == autre.jonction_masques && a.photo.fichier == b.photo.fichier &&
           a.photo.calibration == b.photo.calibration && a.photo.opacite == b.photo.opacite &&
           a.projet == b.projet;
}

QVector<Ligne_Masque_Saisie> lignes_de_points(const std::vector<QPointF> &points)
{
    std::vector<Ligne_Masque_Saisie> lignes(
        std::max(points.size(), static_cast<std::size_t>(lignes_masques_initiales)));
    std::transform(points.cbegin(), points.cend(), lignes.begin(), [](const QPointF &point) {
        return Ligne_Masque_Saisie{point.x(), point.y()};
    });
    return QVector<Ligne_Masque_Saisie>(lignes.cbegin(), lignes.cend());
}

QByteArray site_en_json(const Site &site, const QString &dossier)
{
    const Description_Diagramme &d = site.diagramme;

    QJsonArray enregistrees;
    for (const QDate &date : d.dates_enregistrees)
        enregistrees.append(texte_date_iso(date));
    QJsonArray lignes;
    for (const Ligne_Masque_Saisie &ligne : site.masques)
        lignes.append(QJsonObject{{QStringLiteral("azimut"), cellule(ligne.azimut)},
                                  {QStringLiteral("hauteur"), cellule(ligne.hauteur)}});

    QJsonObject racine{
        {QStringLiteral("format"), format_site},
        {QStringLiteral("version"), version_site},
        {QStringLiteral("lieu"),
         QJsonObject{{QStringLiteral("latitude"), d.latitude},
                     {QStringLiteral("longitude"), d.longitude},
                     {QStringLiteral("fuseau"), QString::fromLatin1(d.fuseau)}}},
        {QStringLiteral("heure"),
         QJsonObject{{QStringLiteral("echelle"),
                      d.echelle == Echelle_Heures::Heure_legale ? echelle_legale : echelle_solaire},
                     {QStringLiteral("modele"),
                      d.modele == Modele_Soleil::precis ? modele_precis : modele_simple}}},
        {QStringLiteral("dates"),
         QJsonObject{
             {QStringLiteral("mode"), d.mode == Mode_Dates::Jour_des_mois ? mode_mois : mode_dates},
             {QStringLiteral("date"), texte_date_iso(d.date_choisie)},
             {QStringLiteral("enregistrees"), enregistrees},
             {QStringLiteral("jour_des_mois"), d.jour_des_mois},
             {QStringLiteral("annee"), d.annee},
         }},
        {QStringLiteral("trace"),
         QJsonObject{{QStringLiteral("limites"), d.limites}, {QStringLiteral("heures"), d.heures}}},
        {QStringLiteral("masques"),
         QJsonObject{{QStringLiteral("lignes"), lignes},
                     {QStringLiteral("conserver"), site.conserver_masques}}},
        {QStringLiteral("affichage"),
         QJsonObject{
             {QStringLiteral("graduations"), d.options.graduations},
             {QStringLiteral("pas_hauteur"), d.options.pas_hauteur},
             {QStringLiteral("pas_azimut"), d.options.pas_azimut},
             {QStringLiteral("opacite"), d.options.opacite},
         }},
    };
    ecrire_ombrage(racine, d.ombrage);
    ecrire_exposition(racine, d.ombrage, d.exposition);
    ecrire_photo(racine, d.photo, dossier);
    ecrire_projet(racine, d.projet);
    // Steps are left out: files stay as they were before rows could be joined otherwise.
    if (site.jonction_masques == Jonction_Masque::Ligne) {
        QJsonObject masques = racine.value(QStringLiteral("masques")).toObject();
        masques.insert(QStringLiteral("jonction"), jonction_ligne);
        racine.insert(QStringLiteral("masques"), masques);
    }
    // The default projection is left out: files stay as they were before there was a choice.
    if (d.options.projection != Type_Projection::Equidistante) {
        QJsonObject affichage = racine.value(QStringLiteral("affichage")).toObject();
        affichage.insert(QStringLiteral("projection"), nom_projection(d.options.projection));
        racine.insert(QStringLiteral("affichage"), affichage);
    }
    // Bearings name their convention in place of "true"; hidden, they say so beside it. The
    // table's convention writes the file as before there was a choice.
    if (d.options.graduations_azimut == Graduations_Azimut::Caps) {
        QJsonObject affichage = racine.value(QStringLiteral("affichage")).toObject();
        affichage.insert(QStringLiteral("graduations"),
                         nom_graduations(d.options.graduations_azimut));
        if (!d.options.graduations)
            affichage.insert(QStringLiteral("graduations_affichees"), false);
        racine.insert(QStringLiteral("affichage"), affichage);
    }
    return QJsonDocument(racine).toJson(QJsonDocument::Indented);
}

Lecture_Site site_depuis_json(const QByteArray &octets, const QString &dossier)
{
    Lecture_Site lecture;
    if (octets.size() > taille_site_max) {
        lecture.probleme = QStringLiteral("le fichier dépasse 1 Mo (%1 octets)").arg(octets.size());
        return lecture;
    }
    QJsonParseError erreur;
    const QJsonDocument document = QJsonDocument::fromJson(octets, &erreur);
    if (erreur.error != QJsonParseError::NoError) {
        lecture.probleme = probleme_json(octets, erreur);
        return lecture;
    }
    if (!document.isObject()) {
        lecture.probleme = QStringLiteral("ce n'est pas un site Orvane : le texte JSON n'est pas "
                                          "un objet {…}");
        return lecture;
    }
    const QJsonObject racine = document.object();

    // The format and the version first: a file of another kind is named as such, not by the
    // first field it lacks.
    const QJsonValue format = racine.value(QStringLiteral("format"));
    if (format.toString() != format_site) {
        lecture.probleme =
            format.isString()
                ? QStringLiteral("ce n'est pas un site Orvane (format « %1 » au lieu de « %2 »)")
                      .arg(format.toString(), format_site)
                : QStringLiteral("ce n'est pas un site Orvane (le champ « format » ne vaut pas "
                                 "« %1 »)")
                      .arg(format_site);
        return lecture;
    }
    Lecteur l;
    const int version =
        l.entier(racine, QStringLiteral("version"), 1, std::numeric_limits<int>::max());
    if (l.en_echec()) {
        lecture.probleme = l.probleme;
        return lecture;
    }
    if (version > version_site) {
        lecture.probleme =
            QStringLiteral("il a été écrit par une version plus récente d'Orvane (format de "
                           "version %1 ; cette version-ci lit jusqu'à la version %2) : mettez "
                           "Orvane à jour pour l'ouvrir")
                .arg(version)
                .arg(version_site);
        return lecture;
    }

    Site site;
    Description_Diagramme &d = site.diagramme;

    const QJsonObject lieu = l.objet(racine, QStringLiteral("lieu"));
    d.latitude = l.reel(lieu, QStringLiteral("lieu.latitude"), -latitude_max, latitude_max,
                        QStringLiteral("°"));
    // The place's clock came after the first files: absent, it is the one that draws as before.
    if (lieu.contains(QStringLiteral("longitude")))
        d.longitude = l.reel(lieu, QStringLiteral("lieu.longitude"), -longitude_max, longitude_max,
                             QStringLiteral("°"));
    if (lieu.contains(QStringLiteral("fuseau"))) {
        const QString fuseau = l.texte(lieu, QStringLiteral("lieu.fuseau"));
        if (!l.en_echec() && !fuseau.isEmpty() && !fuseau_connu(fuseau))
            l.echouer(QStringLiteral("le fuseau horaire « %1 » est inconnu").arg(fuseau));
        d.fuseau = fuseau.toLatin1();
    }
    if (racine.contains(QStringLiteral("heure"))) {
        const QJsonObject heure = l.objet(racine, QStringLiteral("heure"));
        const auto choix = [&](const QString &chemin, const QString &a, const QString &b) {
            if (!heure.contains(chemin.section(QLatin1Char('.'), -1)))
                return a;
            const QString valeur = l.texte(heure, chemin);
            if (!l.en_echec() && valeur != a && valeur != b)
                l.echouer(
                    QStringLiteral("« %1 » est inconnu dans « %2 » (« %3 » ou « %4 » attendu)")
                        .arg(valeur, chemin, a, b));
            return valeur;
        };
        d.echelle = choix(QStringLiteral("heure.echelle"), echelle_solaire, echelle_legale) ==
                            echelle_legale
                        ? Echelle_Heures::Heure_legale
                        : Echelle_Heures::Temps_solaire_vrai;
        d.modele =
            choix(QStringLiteral("heure.modele"), modele_simple, modele_precis) == modele_precis
                ? Modele_Soleil::precis
                : Modele_Soleil::simple;
    }

    const QJsonObject dates = l.objet(racine, QStringLiteral("dates"));
    const QString mode = l.texte(dates, QStringLiteral("dates.mode"));
    if (!l.en_echec() && mode != mode_dates && mode != mode_mois)
        l.echouer(QStringLiteral("le mode « %1 » est inconnu (« %2 » ou « %3 » attendu)")
                      .arg(mode, mode_dates, mode_mois));
    d.mode = mode == mode_mois ? Mode_Dates::Jour_des_mois : Mode_Dates::Dates_choisies;
    d.date_choisie =
        l.date(l.champ(dates, QStringLiteral("dates.date")), QStringLiteral("dates.date"));
    const QJsonArray enregistrees = l.tableau(dates, QStringLiteral("dates.enregistrees"));
    if (!l.en_echec() && enregistrees.size() > dates_enregistrees_max)
        l.echouer(QStringLiteral("%1 dates enregistrées : %2 au plus")
                      .arg(enregistrees.size())
                      .arg(dates_enregistrees_max));
    // One date per day of the year, as the window keeps them, in that order.
    QVector<bool> jour_pris(367, false);
    for (int i = 0; i < enregistrees.size() && !l.en_echec(); ++i) {
        const QString chemin = QStringLiteral("dates.enregistrees[%1]").arg(i);
        const QDate date = l.date(enregistrees.at(i), chemin);
        if (l.en_echec())
            break;
        if (jour_pris[date.dayOfYear()]) {
            l.echouer(QStringLiteral("deux dates enregistrées tombent le même jour de l'année "
                                     "(%1, champ « %2 »)")
                          .arg(texte_date_iso(date), chemin));
            break;
        }
        jour_pris[date.dayOfYear()] = true;
        d.dates_enregistrees.append(date);
    }
    std::stable_sort(d.dates_enregistrees.begin(), d.dates_enregistrees.end(),
                     [](const QDate &a, const QDate &b) { return a.dayOfYear() < b.dayOfYear(); });
    d.jour_des_mois = l.entier(dates, QStringLiteral("dates.jour_des_mois"), 1, 31);
    d.annee = l.entier(dates, QStringLiteral("dates.annee"), annee_min, annee_max);

    const QJsonObject trace = l.objet(racine, QStringLiteral("trace"));
    d.limites = l.booleen(trace, QStringLiteral("trace.limites"));
    d.heures = l.booleen(trace, QStringLiteral("trace.heures"));

    const QJsonObject masques = l.objet(racine, QStringLiteral("masques"));
    const QJsonArray lignes = l.tableau(masques, QStringLiteral("masques.lignes"));
    if (!l.en_echec() && lignes.size() > lignes_masque_max)
        l.echouer(QStringLiteral("%1 lignes de masques : %2 au plus")
                      .arg(lignes.size())
                      .arg(lignes_masque_max));
    for (int i = 0; i < lignes.size() && !l.en_echec(); ++i) {
        const QString chemin = QStringLiteral("masques.lignes[%1]").arg(i);
        if (!lignes.at(i).isObject()) {
            l.echouer(QStringLiteral("le champ « %1 » doit être un objet {…}").arg(chemin));
            break;
        }
        const QJsonObject ligne = lignes.at(i).toObject();
        Ligne_Masque_Saisie lue;
        lue.azimut = l.cellule(ligne, chemin + QStringLiteral(".azimut"), -azimut_max, azimut_max);
        lue.hauteur = l.cellule(ligne, chemin + QStringLiteral(".hauteur"), 0.0, hauteur_max);
        site.masques.append(lue);
    }
    site.conserver_masques = l.booleen(masques, QStringLiteral("masques.conserver"));
    // The rows' joining came after the first files: absent, steps.
    if (masques.contains(QStringLiteral("jonction"))) {
        const QString jonction = l.texte(masques, QStringLiteral("masques.jonction"));
        if (!l.en_echec() && jonction != jonction_paliers && jonction != jonction_ligne)
            l.echouer(QStringLiteral("« %1 » est inconnu dans « masques.jonction » "
                                     "(« %2 » ou « %3 » attendu)")
                          .arg(jonction, jonction_paliers, jonction_ligne));
        if (jonction == jonction_ligne)
            site.jonction_masques = Jonction_Masque::Ligne;
    }

    const QJsonObject affichage = l.objet(racine, QStringLiteral("affichage"));
    // true or false, or the convention they are shown in (then shown unless
    // "graduations_affichees" is false).
    const QJsonValue graduations = affichage.value(QStringLiteral("graduations"));
    if (graduations.isString()) {
        const QString nom = graduations.toString();
        const std::optional<Graduations_Azimut> convention = graduations_nommees(nom);
        if (!l.en_echec() && !convention)
            l.echouer(QStringLiteral("« %1 » est inconnu dans « affichage.graduations » "
                                     "(true, false, « tableau » ou « caps » attendu)")
                          .arg(nom));
        d.options.graduations_azimut = convention.value_or(Graduations_Azimut::Tableau);
        d.options.graduations =
            !affichage.contains(QStringLiteral("graduations_affichees")) ||
            l.booleen(affichage, QStringLiteral("affichage.graduations_affichees"));
    } else {
        d.options.graduations = l.booleen(affichage, QStringLiteral("affichage.graduations"));
    }
    d.options.pas_hauteur = l.entier(affichage, QStringLiteral("affichage.pas_hauteur"),
                                     pas_hauteur_min, pas_hauteur_max, QStringLiteral("°"));
    d.options.pas_azimut = l.entier(affichage, QStringLiteral("affichage.pas_azimut"),
                                    pas_azimut_min, pas_azimut_max, QStringLiteral("°"));
    d.options.opacite = l.entier(affichage, QStringLiteral("affichage.opacite"), 0, opacite_max,
                                 QStringLiteral(" %"));
    // The projection came after the first files: absent, the polar equidistant disc.
    if (affichage.contains(QStringLiteral("projection"))) {
        const QString nom = l.texte(affichage, QStringLiteral("affichage.projection"));
        const std::optional<Type_Projection> projection = projection_nommee(nom);
        if (!l.en_echec() && !projection)
            l.echouer(QStringLiteral("« %1 » est inconnu dans « affichage.projection » "
                                     "(« equidistante », « stereographique » ou "
                                     "« cylindrique » attendu)")
                          .arg(nom));
        d.options.projection = projection.value_or(Type_Projection::Equidistante);
    }

    lire_ombrage(l, racine, d.ombrage);
    lire_exposition(l, racine, d.ombrage, d.exposition);
    lire_photo_site(l, racine, d.photo, dossier);
    lire_projet(l, racine, d.projet);

    if (l.en_echec())
        lecture.probleme = l.probleme;
    else
        lecture.site = site;
    return lecture;
}

Lecture_Site lire_site(const QString &chemin)
{
    const QString nom = QFileInfo(chemin).fileName();
    auto refus = [&nom](const QString &probleme) {
        Lecture_Site lecture;
        lecture.probleme =
            QStringLiteral("Le site « %1 » n'a pas pu être ouvert : %2.").arg(nom, probleme);
        return lecture;
    };

    const QFileInfo info(chemin);
    if (!info.exists())
        return refus(QStringLiteral("le fichier n'existe pas"));
    if (info.isDir())
        return refus(QStringLiteral("c'est un dossier, pas un fichier"));
    // A FIFO or a device would hold the reading forever.
    if (!info.isFile())
        return refus(QStringLiteral("ce n'est pas un fichier ordinaire"));
    if (info.size() > taille_site_max)
        return refus(QStringLiteral("le fichier dépasse 1 Mo (%1 octets)").arg(info.size()));
    QFile fichier;
    if (!ouvrir_lecture(fichier, chemin).isEmpty())
        return refus(QStringLiteral("le fichier ne peut pas être lu (droits d'accès ?)"));
    // One byte more than allowed tells a file that grew since it was measured.
    const QByteArray octets = fichier.read(taille_site_max + 1);
    if (fichier.error() != QFileDevice::NoError)
        return refus(QStringLiteral("la lecture du fichier a échoué"));

    Lecture_Site lecture = site_depuis_json(octets, info.absolutePath());
    if (!lecture.site)
        return refus(lecture.probleme);
    return lecture;
}

QString ecrire_site(const QString &chemin, const Site &site)
{
    const QString raison =
        ecrire_fichier(chemin, site_en_json(site, QFileInfo(chemin).absolutePath()));
    if (raison.isEmpty())
        return {};
    return QStringLiteral("Le site n'a pas pu être enregistré dans « %1 » : %2.")
        .arg(QFileInfo(chemin).fileName(), raison);
}
