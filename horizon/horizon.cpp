// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "horizon/horizon.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace
{

QString tr_horizon(const char *texte)
{
    return QCoreApplication::translate("Horizon", texte);
}

// Two directions closer than this are the same, degrees.
constexpr double meme_direction = 1e-9;

// A number written with a decimal point, finite.
bool lire_nombre(const QString &texte, double &valeur)
{
    bool ok = false;
    valeur = QLocale::c().toDouble(texte.trimmed(), &ok);
    return ok && std::isfinite(valeur);
}

QString texte_nombre(double valeur)
{
    return QString::number(valeur, 'g', 12);
}

// Checks one point and adds it, or returns the problem. `ou`: "Ligne 12" or "Point 3".
QString ajouter_point(Horizon_Lu &lu, const QString &ou, double azimut, double hauteur)
{
    if (azimut < azimut_min(lu.convention) || azimut > azimut_max(lu.convention))
        return tr_horizon("%1 : l'azimut %2° sort des limites de la convention « %3 » (de %4° "
                          "à %5°).")
            .arg(ou, texte_nombre(azimut), nom_convention(lu.convention),
                 texte_nombre(azimut_min(lu.convention)), texte_nombre(azimut_max(lu.convention)));
    if (hauteur < hauteur_horizon_min || hauteur > hauteur_horizon_max)
        return tr_horizon("%1 : la hauteur %2° sort des limites (de %3° à %4°).")
            .arg(ou, texte_nombre(hauteur), texte_nombre(hauteur_horizon_min),
                 texte_nombre(hauteur_horizon_max));
    lu.points.emplace_back(azimut, hauteur);
    return QString();
}

QString pas_un_nombre(const QString &ou, const QString &texte)
{
    return tr_horizon("%1 : « %2 » n'est pas un nombre.").arg(ou, texte.trimmed());
}

QString aucun_point()
{
    return tr_horizon("Le fichier ne contient aucun point d'horizon.");
}

// PVGIS's JSON: outputs.horizon_profile, a list of {"A": azimuth, "H_hor": height}.
void lire_json(const QByteArray &contenu, Horizon_Lu &lu)
{
    QJsonParseError erreur;
    const QJsonDocument document = QJsonDocument::fromJson(contenu, &erreur);
    if (erreur.error != QJsonParseError::NoError) {
        const int ligne = contenu.left(erreur.offset).count('\n') + 1;
        lu.erreur = tr_horizon("Ligne %1 : le JSON est illisible (%2).")
                        .arg(ligne)
                        .arg(erreur.errorString());
        return;
    }
    const QJsonValue profil = document.object()
                                  .value(QStringLiteral("outputs"))
                                  .toObject()
                                  .value(QStringLiteral("horizon_profile"));
    if (!profil.isArray()) {
        lu.erreur = tr_horizon("Le JSON n'a pas de profil d'horizon (outputs.horizon_profile).");
        return;
    }
    lu.pvgis = true;
    lu.convention = Convention_Azimut::Sud;
    const QJsonArray points = profil.toArray();
    for (int k = 0; k < points.size(); ++k) {
        const QString ou = tr_horizon("Point %1 du profil").arg(k + 1);
        const QJsonObject point = points[k].toObject();
        const QJsonValue a = point.value(QStringLiteral("A"));
        const QJsonValue h = point.value(QStringLiteral("H_hor"));
        if (!a.isDouble() || !h.isDouble()) {
            lu.erreur = tr_horizon("%1 : A et H_hor doivent être des nombres.").arg(ou);
            return;
        }
        lu.erreur = ajouter_point(lu, ou, a.toDouble(), h.toDouble());
        if (!lu.valide())
            return;
    }
    if (lu.points.empty())
        lu.erreur = aucun_point();
}

QString ligne_n(int numero)
{
    return tr_horizon("Ligne %1").arg(numero);
}

// PVGIS's text form: a header naming the columns A (or A_hor) and H_hor, tab or comma
// separated, then one row per direction down to the first blank line (a legend follows).
// Returns false when there is no such header.
bool lire_texte_pvgis(const QStringList &lignes, Horizon_Lu &lu)
{
    int entete = -1;
    QChar separateur;
    int col_a = -1;
    int col_h = -1;
    for (int i = 0; i < lignes.size() && entete < 0; ++i) {
        for (const QChar s : {QLatin1Char('\t'), QLatin1Char(',')}) {
            QStringList noms = lignes[i].split(s);
            for (QString &nom : noms)
                nom = nom.trimmed();
            const int a = std::max(static_cast<int>(noms.indexOf(QStringLiteral("A"))),
                                   static_cast<int>(noms.indexOf(QStringLiteral("A_hor"))));
            const int h = static_cast<int>(noms.indexOf(QStringLiteral("H_hor")));
            if (a >= 0 && h >= 0) {
                entete = i;
                separateur = s;
                col_a = a;
                col_h = h;
                break;
            }
        }
    }
    if (entete < 0)
        return false;
    lu.pvgis = true;
    lu.convention = Convention_Azimut::Sud;
    for (int i = entete + 1; i < lignes.size(); ++i) {
        if (lignes[i].trimmed().isEmpty())
            break;
        const QStringList champs = lignes[i].split(separateur);
        const QString a = champs.value(col_a).trimmed();
        const QString h = champs.value(col_h).trimmed();
        if (a.isEmpty() && h.isEmpty())
            continue; // a row of the solstice columns only
        const QString ou = ligne_n(i + 1);
        double azimut = 0.0;
        double hauteur = 0.0;
        if (!lire_nombre(a, azimut)) {
            lu.erreur = pas_un_nombre(ou, a);
            return true;
        }
        if (!lire_nombre(h, hauteur)) {
            lu.erreur = pas_un_nombre(ou, h);
            return true;
        }
        lu.erreur = ajouter_point(lu, ou, azimut, hauteur);
        if (!lu.valide())
            return true;
    }
    if (lu.points.empty())
        lu.erreur = aucun_point();
    return true;
}

// A plain file: azimuth and height per row, separated by a semicolon (then a decimal comma
// is allowed), a tab, a comma or spaces; `#` starts a comment; the first row may be a header.
void lire_deux_colonnes(const QStringList &lignes, Horizon_Lu &lu)
{
    bool premiere = true;
    for (int i = 0; i < lignes.size(); ++i) {
        QString ligne = lignes[i];
        const int diese = ligne.indexOf(QLatin1Char('#'));
        if (diese >= 0)
            ligne.truncate(diese);
        ligne = ligne.trimmed();
        if (ligne.isEmpty())
            continue;
        QStringList champs;
        if (ligne.contains(QLatin1Char(';'))) {
            champs = ligne.replace(QLatin1Char(','), QLatin1Char('.')).split(QLatin1Char(';'));
        } else if (ligne.contains(QLatin1Char('\t'))) {
            champs = ligne.split(QLatin1Char('\t'));
        } else if (ligne.contains(QLatin1Char(','))) {
            champs = ligne.split(QLatin1Char(','));
        } else {
            champs = ligne.split(QRegularExpression(QStringLiteral("\\s+")));
        }
        for (QString &c : champs)
            c = c.trimmed();
        while (!champs.isEmpty() && champs.last().isEmpty())
            champs.removeLast();
        const QString ou = ligne_n(i + 1);
        double azimut = 0.0;
        double hauteur = 0.0;
        const bool a_lu = lire_nombre(champs.value(0), azimut);
        const bool h_lu = lire_nombre(champs.value(1), hauteur);
        if (premiere && !a_lu && !h_lu) {
            premiere = false; // the header
            continue;
        }
        premiere = false;
        if (champs.size() != 2) {
            lu.erreur = tr_horizon("%1 : deux colonnes sont attendues (azimut, hauteur).").arg(ou);
            return;
        }
        if (!a_lu || !h_lu) {
            lu.erreur = pas_un_nombre(ou, a_lu ? champs[1] : champs[0]);
            return;
        }
        lu.erreur = ajouter_point(lu, ou, azimut, hauteur);
        if (!lu.valide())
            return;
    }
    if (lu.points.empty())
        lu.erreur = aucun_point();
}

double normaliser_cap(double cap)
{
    double c = std::fmod(cap, 360.0);
    if (c < 0)
        c += 360.0;
    return c >= 360.0 ? 0.0 : c;
}

// Compass bearing of a direction given in `convention`, in [0, 360).
double cap(double azimut, Convention_Azimut convention)
{
    switch (convention) {
    case Convention_Azimut::Nord:
        return normaliser_cap(azimut);
    case Convention_Azimut::Sud:
        return normaliser_cap(azimut + 180.0);
    case Convention_Azimut::Tableau:
        break;
    }
    return normaliser_cap(-azimut);
}

// Table azimuth of a compass bearing in [0, 360): 0 down to -180, then 180 down to 0.
double tableau_du_cap(double c)
{
    if (c == 0.0)
        return 0.0;
    return c <= 180.0 ? -c : 360.0 - c;
}

} // namespace

double azimut_min(Convention_Azimut convention)
{
    return convention == Convention_Azimut::Nord ? 0.0 : -180.0;
}

double azimut_max(Convention_Azimut convention)
{
    return convention == Convention_Azimut::Nord ? 360.0 : 180.0;
}

QString nom_convention(Convention_Azimut convention)
{
    switch (convention) {
    case Convention_Azimut::Nord:
        return tr_horizon("boussole : 0° au nord, 90° à l'est, de 0° à 360°");
    case Convention_Azimut::Sud:
        return tr_horizon("sud : 0° au sud, ouest positif, de -180° à 180° (PVGIS)");
    case Convention_Azimut::Tableau:
        break;
    }
    return tr_horizon("tableau : 0° au nord, est négatif, ±180° au sud");
}

Horizon_Lu lire_horizon(const QByteArray &contenu, Convention_Azimut convention)
{
    Horizon_Lu lu;
    lu.convention = convention;
    if (contenu.size() > taille_max_horizon) {
        lu.erreur = tr_horizon("Le fichier dépasse 1 Mo.");
        return lu;
    }
    const QByteArray octets = contenu.startsWith("\xEF\xBB\xBF") ? contenu.mid(3) : contenu;
    if (octets.trimmed().startsWith('{')) {
        lire_json(octets, lu);
        return lu;
    }
    QStringList lignes = QString::fromUtf8(octets).split(QLatin1Char('\n'));
    for (QString &l : lignes)
        if (l.endsWith(QLatin1Char('\r')))
            l.chop(1);
    if (!lire_texte_pvgis(lignes, lu))
        lire_deux_colonnes(lignes, lu);
    return lu;
}

Horizon_Lu lire_fichier_horizon(const QString &chemin, Convention_Azimut convention)
{
    Horizon_Lu lu;
    lu.convention = convention;
    QFile fichier(chemin);
    if (QFileInfo(chemin).size() > taille_max_horizon) {
        lu.erreur = tr_horizon("Le fichier dépasse 1 Mo.");
        return lu;
    }
    if (!fichier.open(QIODevice::ReadOnly)) {
        lu.erreur = tr_horizon("Le fichier ne peut être lu (%1).").arg(fichier.errorString());
        return lu;
    }
    // Read one byte beyond the limit, so that a file grown meanwhile is still refused.
    return lire_horizon(fichier.read(taille_max_horizon + 1), convention);
}

double azimut_vers_tableau(double azimut, Convention_Azimut convention)
{
    return tableau_du_cap(cap(azimut, convention));
}

double azimut_depuis_tableau(double azimut, Convention_Azimut convention)
{
    const double c = cap(azimut, Convention_Azimut::Tableau);
    switch (convention) {
    case Convention_Azimut::Nord:
        return c;
    case Convention_Azimut::Sud:
        return c - 180.0;
    case Convention_Azimut::Tableau:
        break;
    }
    return azimut;
}

namespace
{

// A profile by compass bearing: one point per direction with its highest height, sorted;
// `ouvert` when one gap between neighbours, `large` (the gap after point `large`), is more
// than twice as wide as every other.
struct Profil_Caps {
    std::vector<QPointF> uniques;
    int large = 0;
    bool ouvert = false;
};

Profil_Caps profil_caps(const std::vector<QPointF> &points, Convention_Azimut convention)
{
    Profil_Caps profil;
    std::vector<QPointF> caps;
    caps.reserve(points.size());
    for (const QPointF &p : points)
        caps.emplace_back(cap(p.x(), convention), p.y());
    std::sort(caps.begin(), caps.end(),
              [](const QPointF &a, const QPointF &b) { return a.x() < b.x(); });
    std::vector<QPointF> &uniques = profil.uniques;
    for (const QPointF &p : caps) {
        if (!uniques.empty() && p.x() - uniques.back().x() <= meme_direction)
            uniques.back().setY(std::max(uniques.back().y(), p.y()));
        else
            uniques.push_back(p);
    }
    // 359.9999999999 and 0 are one direction too.
    if (uniques.size() > 1 && uniques.front().x() + 360.0 - uniques.back().x() <= meme_direction) {
        uniques.front().setY(std::max(uniques.front().y(), uniques.back().y()));
        uniques.pop_back();
    }
    const int n = static_cast<int>(uniques.size());
    if (n < 2)
        return profil;
    std::vector<double> ecarts(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        ecarts[i] = (i + 1 < n ? uniques[i + 1].x() : uniques[0].x() + 360.0) - uniques[i].x();
        if (ecarts[i] > ecarts[profil.large])
            profil.large = i;
    }
    profil.ouvert = true;
    for (int i = 0; i < n && profil.ouvert; ++i)
        profil.ouvert = i == profil.large || ecarts[profil.large] > 2.0 * ecarts[i];
    return profil;
}

double hauteur_du_tableau(double hauteur)
{
    return std::clamp(hauteur, 0.0, 90.0);
}

double interpoler(const QPointF &a, const QPointF &b, double x)
{
    if (b.x() == a.x())
        return a.y();
    return a.y() + (b.y() - a.y()) * (x - a.x()) / (b.x() - a.x());
}

// One step of the outline: from `debut` (unwrapped bearing) to the next step's start, at
// `hauteur`, within `ecart` of the line all along.
struct Marche {
    double debut;
    double hauteur;
    double ecart;
};

// The fewest steps that keep within `tolerance` of the line through `sommets` (bearings
// rising), each ending at the latest at the next vertex marked in `coupures`; stops once over
// `plafond` steps.
std::vector<Marche> marches(const std::vector<QPointF> &sommets, const std::vector<bool> &coupures,
                            double tolerance, std::size_t plafond)
{
    std::vector<Marche> resultat;
    const std::size_t dernier = sommets.size() - 1;
    const double fin = sommets[dernier].x();
    double debut = sommets[0].x();
    std::size_t j = 0; // the step starts on the segment from vertex j
    while (debut < fin && resultat.size() <= plafond) {
        const double y_debut = debut == sommets[j].x()
                                   ? sommets[j].y()
                                   : interpoler(sommets[j], sommets[j + 1], debut);
        double bas = y_debut;
        double haut = y_debut;
        double suite = fin;
        for (std::size_t k = j + 1; k <= dernier; ++k) {
            const double y = sommets[k].y();
            if (std::max(haut, y) - std::min(bas, y) <= 2.0 * tolerance + meme_direction) {
                bas = std::min(bas, y);
                haut = std::max(haut, y);
                if (coupures[k] || k == dernier) {
                    suite = sommets[k].x();
                    j = k;
                    break;
                }
                continue;
            }
            // The line leaves the band inside the segment that ends at vertex k.
            const double borne = y > haut ? bas + 2.0 * tolerance : haut - 2.0 * tolerance;
            const QPointF depuis =
                sommets[k - 1].x() > debut ? sommets[k - 1] : QPointF(debut, y_debut);
            // Within the segment, whatever the rounding of a band a hair wider than 2 tolerances.
            const double part = std::clamp((borne - depuis.y()) / (y - depuis.y()), 0.0, 1.0);
            suite = depuis.x() + part * (sommets[k].x() - depuis.x());
            bas = std::min(bas, borne);
            haut = std::max(haut, borne);
            j = k - 1;
            break;
        }
        // A crossing found right on a vertex leaves nothing of a step before it.
        if (suite > debut)
            resultat.push_back(
                {debut, 0.5 * (bas + haut), std::min(0.5 * (haut - bas), tolerance)});
        debut = suite;
    }
    return resultat;
}

} // namespace

Horizon_Suivi horizon_suivi(const std::vector<QPointF> &points, Convention_Azimut convention,
                            int limite)
{
    const Profil_Caps profil = profil_caps(points, convention);
    const std::vector<QPointF> &uniques = profil.uniques;
    const int n = static_cast<int>(uniques.size());
    if (n == 0 || limite < 1)
        return {};
    if (n == 1)
        return {{QPointF(tableau_du_cap(uniques[0].x()), hauteur_du_tableau(uniques[0].y()))}, 0.0};

    // The line through the points clockwise, bearings unwrapped so that they only rise: all
    // round from north back to north, or from the far side of the open gap to its near side.
    std::vector<QPointF> ligne;
    if (!profil.ouvert) {
        const QPointF avant(uniques[n - 1].x() - 360.0, uniques[n - 1].y());
        const double au_nord =
            uniques[0].x() == 0.0 ? uniques[0].y() : interpoler(avant, uniques[0], 0.0);
        if (uniques[0].x() != 0.0)
            ligne.emplace_back(0.0, au_nord);
        ligne.insert(ligne.end(), uniques.begin(), uniques.end());
        ligne.emplace_back(360.0, au_nord);
    } else {
        const int debut = (profil.large + 1) % n;
        for (int k = 0; k < n; ++k) {
            const int i = (debut + k) % n;
            ligne.emplace_back(uniques[i].x() + (i < debut ? 360.0 : 0.0), uniques[i].y());
        }
    }
    // Steps end at every quarter (north, east, south, west) inside the line, so that the
    // table's rows follow its clockwise order whatever part of the horizon they cover; and
    // where the line crosses the horizontal, so that heights below it become 0 exactly there.
    std::vector<QPointF> sommets = {ligne.front()};
    std::vector<bool> coupures = {false};
    for (std::size_t i = 1; i < ligne.size(); ++i) {
        const QPointF &a = ligne[i - 1];
        const QPointF &b = ligne[i];
        std::vector<std::pair<double, bool>> dedans;
        for (double quart = std::floor(a.x() / 90.0) * 90.0 + 90.0; quart < b.x(); quart += 90.0)
            if (quart > a.x())
                dedans.emplace_back(quart, true);
        if ((a.y() < 0.0 && b.y() > 0.0) || (a.y() > 0.0 && b.y() < 0.0))
            dedans.emplace_back(a.x() - a.y() * (b.x() - a.x()) / (b.y() - a.y()), false);
        std::sort(dedans.begin(), dedans.end());
        for (const auto &[x, coupure] : dedans) {
            sommets.emplace_back(x, interpoler(a, b, x));
            coupures.push_back(coupure);
        }
        sommets.push_back(b);
        coupures.push_back(std::fmod(b.x(), 90.0) == 0.0);
    }
    for (QPointF &p : sommets)
        p.setY(hauteur_du_tableau(p.y()));

    // As many steps as the aimed tolerance needs; when the rows cannot hold it, the smallest
    // tolerance that they can: the steps then crowd where the line is steepest.
    const std::size_t plafond = static_cast<std::size_t>(std::max(limite - 1, 1));
    std::vector<Marche> suivies = marches(sommets, coupures, ecart_horizon_vise, plafond);
    if (suivies.size() > plafond) {
        double tenue = ecart_horizon_vise;
        double large = hauteur_horizon_max;
        for (int k = 0; k < 50; ++k) {
            const double milieu = 0.5 * (tenue + large);
            (marches(sommets, coupures, milieu, plafond).size() > plafond ? tenue : large) = milieu;
        }
        suivies = marches(sommets, coupures, large, plafond);
    }

    const auto rang = [](double x, double hauteur) {
        return QPointF(tableau_du_cap(normaliser_cap(x)), hauteur);
    };
    Horizon_Suivi suivi;
    for (const Marche &m : suivies) {
        suivi.points.push_back(rang(m.debut, m.hauteur));
        suivi.ecart = std::max(suivi.ecart, m.ecart);
    }
    // All round: closed on its first row; open: the last point ends the outline.
    suivi.points.push_back(profil.ouvert ? rang(sommets.back().x(), sommets.back().y())
                                         : suivi.points.front());
    return suivi;
}

Masque_Horizon masque_de_horizon(const Horizon_Lu &lu, int limite)
{
    Masque_Horizon masque;
    std::vector<Ligne_Masque> lignes;
    if (lu.valide()) {
        const Horizon_Suivi suivi = horizon_suivi(lu.points, lu.convention, limite);
        for (const QPointF &p : suivi.points)
            lignes.push_back({p.x(), p.y()});
        masque.ecart = suivi.ecart;
    }
    masque.rangs = points_masque(lignes);
    return masque;
}

QByteArray horizon_csv(const std::vector<QPointF> &points, Convention_Azimut convention)
{
    QByteArray csv = convention == Convention_Azimut::Sud ? "A,H_hor\n" : "azimut,hauteur\n";
    // An outline closed on itself at north ends at the far end of the convention's range
    // (360, or 180 for PVGIS), so that the azimuths written only rise.
    const bool ferme_au_nord =
        points.size() > 1 && points.front().x() == 0.0 && points.back() == points.front();
    for (std::size_t k = 0; k < points.size(); ++k) {
        const QPointF &p = points[k];
        const double azimut =
            ferme_au_nord && k + 1 == points.size() && convention != Convention_Azimut::Tableau
                ? azimut_max(convention)
                : azimut_depuis_tableau(p.x(), convention);
        csv += texte_nombre(azimut).toUtf8();
        csv += ',';
        csv += texte_nombre(p.y()).toUtf8();
        csv += '\n';
    }
    return csv;
}
