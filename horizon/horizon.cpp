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
#include <iterator>
#include <queue>

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

// The file's directions by compass bearing, in [0, 360): one point per direction with its
// highest height, sorted.
std::vector<QPointF> directions(const std::vector<QPointF> &points, Convention_Azimut convention)
{
    std::vector<QPointF> caps;
    caps.reserve(points.size());
    for (const QPointF &p : points)
        caps.emplace_back(cap(p.x(), convention), p.y());
    std::sort(caps.begin(), caps.end(),
              [](const QPointF &a, const QPointF &b) { return a.x() < b.x(); });
    std::vector<QPointF> uniques;
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
    return uniques;
}

double interpoler(const QPointF &a, const QPointF &b, double x)
{
    if (b.x() == a.x())
        return a.y();
    return a.y() + (b.y() - a.y()) * (x - a.x()) / (b.x() - a.x());
}

// The closed line through the directions (bearings rising from 0 to 360, its two ends the same
// point at north), where it dips below the horizontal taken as the horizontal: a sun below it
// is not behind the mask either. Its vertices are the directions, north, and the points where
// the line crosses the horizontal.
std::vector<QPointF> ligne_fermee(const std::vector<QPointF> &uniques)
{
    const QPointF avant(uniques.back().x() - 360.0, uniques.back().y());
    const double au_nord =
        uniques.front().x() == 0.0 ? uniques.front().y() : interpoler(avant, uniques.front(), 0.0);
    std::vector<QPointF> ligne = {QPointF(0.0, au_nord)};
    for (const QPointF &p : uniques)
        if (p.x() > 0.0)
            ligne.push_back(p);
    // One direction alone is a level line all round, which the table draws through two points.
    if (ligne.size() == 1)
        ligne.emplace_back(180.0, au_nord);
    ligne.emplace_back(360.0, au_nord);

    std::vector<QPointF> sommets = {ligne.front()};
    for (std::size_t i = 1; i < ligne.size(); ++i) {
        const QPointF &a = ligne[i - 1];
        const QPointF &b = ligne[i];
        if ((a.y() < 0.0 && b.y() > 0.0) || (a.y() > 0.0 && b.y() < 0.0)) {
            const double x = a.x() - a.y() * (b.x() - a.x()) / (b.y() - a.y());
            if (x > a.x() && x < b.x())
                sommets.emplace_back(x, 0.0);
        }
        sommets.push_back(b);
    }
    for (QPointF &p : sommets)
        p.setY(std::clamp(p.y(), 0.0, 90.0));

    // The table's rows go clockwise from north: into the east half first, and back to north
    // from the west half. A point of the line at east or west makes it so where the line has
    // none there.
    if (sommets[1].x() > 180.0)
        sommets.insert(sommets.begin() + 1,
                       QPointF(90.0, interpoler(sommets[0], sommets[1], 90.0)));
    const std::size_t m = sommets.size() - 1;
    if (sommets[m - 1].x() <= 180.0)
        sommets.insert(sommets.begin() + static_cast<std::ptrdiff_t>(m),
                       QPointF(270.0, interpoler(sommets[m - 1], sommets[m], 270.0)));
    return sommets;
}

// Douglas–Peucker on the closed line: from its two ends at north and the vertices at east and
// west (which keep the rows in the table's order), the vertex farthest in height from the line
// kept so far is kept first, until `garder` vertices are. Returns the kept vertices' indices in
// order, and the largest height left between the two lines, degrees.
std::pair<std::vector<std::size_t>, double> eclaircir(const std::vector<QPointF> &sommets,
                                                      std::size_t garder)
{
    struct Portion {
        std::size_t debut;
        std::size_t fin;
        std::size_t plus_loin;
        double ecart;
        bool operator<(const Portion &autre) const { return ecart < autre.ecart; }
    };
    const auto portion = [&sommets](std::size_t debut, std::size_t fin) {
        Portion p{debut, fin, debut, 0.0};
        for (std::size_t k = debut + 1; k < fin; ++k) {
            const double e =
                std::abs(sommets[k].y() - interpoler(sommets[debut], sommets[fin], sommets[k].x()));
            if (e > p.ecart) {
                p.ecart = e;
                p.plus_loin = k;
            }
        }
        return p;
    };
    std::vector<bool> garde(sommets.size(), false);
    std::size_t gardes = 0;
    std::priority_queue<Portion> portions;
    std::size_t precedent = 0;
    for (std::size_t k = 0; k < sommets.size(); ++k) {
        if (k == 0 || k + 1 == sommets.size() || sommets[k].x() == 90.0 ||
            sommets[k].x() == 270.0) {
            if (gardes > 0)
                portions.push(portion(precedent, k));
            garde[k] = true;
            ++gardes;
            precedent = k;
        }
    }
    while (gardes < garder && !portions.empty() && portions.top().ecart > 0.0) {
        const Portion p = portions.top();
        portions.pop();
        garde[p.plus_loin] = true;
        ++gardes;
        portions.push(portion(p.debut, p.plus_loin));
        portions.push(portion(p.plus_loin, p.fin));
    }
    std::vector<std::size_t> indices;
    for (std::size_t k = 0; k < sommets.size(); ++k)
        if (garde[k])
            indices.push_back(k);
    return {indices, portions.empty() ? 0.0 : portions.top().ecart};
}

} // namespace

Horizon_Ligne horizon_en_ligne(const std::vector<QPointF> &points, Convention_Azimut convention,
                               int limite)
{
    Horizon_Ligne resultat;
    const std::vector<QPointF> uniques = directions(points, convention);
    if (uniques.empty() || limite < 3)
        return resultat;
    resultat.directions = static_cast<int>(uniques.size());
    const auto dans_le_fichier = [convention](double c) {
        return azimut_depuis_tableau(tableau_du_cap(c), convention);
    };
    for (std::size_t i = 0; i < uniques.size(); ++i) {
        const double depuis = uniques[i].x();
        const double vers = i + 1 < uniques.size() ? uniques[i + 1].x() : uniques[0].x() + 360.0;
        if (vers - depuis > trou_horizon_signale)
            resultat.trous.emplace_back(dans_le_fichier(depuis),
                                        dans_le_fichier(normaliser_cap(vers)));
    }

    const std::vector<QPointF> sommets = ligne_fermee(uniques);
    const auto rang = [](const QPointF &sommet) {
        return QPointF(tableau_du_cap(normaliser_cap(sommet.x())), sommet.y());
    };
    if (sommets.size() <= static_cast<std::size_t>(limite)) {
        std::transform(sommets.cbegin(), sommets.cend(), std::back_inserter(resultat.points), rang);
        return resultat;
    }
    const auto [gardes, ecart] = eclaircir(sommets, static_cast<std::size_t>(limite));
    resultat.eclaircie = true;
    resultat.ecart = ecart;
    for (const std::size_t k : gardes)
        resultat.points.push_back(rang(sommets[k]));
    return resultat;
}

Masque_Horizon masque_de_horizon(const Horizon_Lu &lu, int limite)
{
    Masque_Horizon masque;
    std::vector<Ligne_Masque> lignes;
    if (lu.valide()) {
        masque.ligne = horizon_en_ligne(lu.points, lu.convention, limite);
        for (const QPointF &p : masque.ligne.points)
            lignes.push_back({p.x(), p.y()});
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
