// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "exposition/exposition.h"

#include "annee/grille_annee.h"
#include "masks/ensoleillement.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace
{

const char *const mois_fr[12] = {"janvier",   "février", "mars",     "avril",
                                 "mai",       "juin",    "juillet",  "août",
                                 "septembre", "octobre", "novembre", "décembre"};

// EN 17037's levels: from these minutes of sun on the day.
constexpr int minutes_minimal = 90;
constexpr int minutes_moyen = 180;
constexpr int minutes_eleve = 240;

// Minutes of `heures`, rounded half up as the table writes them.
int minutes(double heures)
{
    return static_cast<int>(std::floor(heures * 60.0 + 0.5));
}

// "3h12", as the output table writes hours.
QString duree(double heures)
{
    const int m = minutes(heures);
    return QStringLiteral("%1h%2").arg(m / 60).arg(m % 60, 2, 10, QLatin1Char('0'));
}

// A time of the day's scale, "9h40"; past midnight on the next day's clock.
QString heure(double h)
{
    int m = minutes(h);
    m = ((m % 1440) + 1440) % 1440;
    return QStringLiteral("%1h%2").arg(m / 60).arg(m % 60, 2, 10, QLatin1Char('0'));
}

// "9h40–12h52, 14h00–15h10".
QString texte_periodes(const Soleil_Jour &jour, const QString &tiret = QStringLiteral("–"),
                       const QString &entre = QStringLiteral(", "))
{
    QStringList textes;
    for (const auto &p : jour.periodes)
        textes << heure(p.first) + tiret + heure(p.second);
    return textes.join(entre);
}

// "3h12 le 21 mars (9h40–12h52)".
QString texte_jour(const Soleil_Jour &jour)
{
    QString texte = duree(jour.heures) + QStringLiteral(" le ") + texte_jour_mois(jour.date);
    if (!jour.periodes.isEmpty())
        texte += QStringLiteral(" (") + texte_periodes(jour) + QLatin1Char(')');
    return texte;
}

Critere_Exposition un_jour(Jour_Mois jour, double heures)
{
    return {jour, jour, false, jour, heures};
}

QString nombre(double valeur)
{
    return QLocale(QLocale::French, QLocale::France).toString(valeur, 'g', 6);
}

} // namespace

QDate Jour_Mois::dans(int annee) const
{
    if (mois == 2 && jour == 29 && !QDate::isLeapYear(annee))
        return QDate(annee, 2, 28);
    return QDate(annee, mois, jour);
}

bool Critere_Exposition::operator==(const Critere_Exposition &autre) const
{
    return debut == autre.debut && fin == autre.fin && chaque_jour == autre.chaque_jour &&
           (chaque_jour || jour == autre.jour) && heures == autre.heures;
}

bool Regle_Exposition::operator==(const Regle_Exposition &autre) const
{
    return type == autre.type && criteres == autre.criteres && niveaux == autre.niveaux;
}

Regle_Exposition regle_prereglee(Type_Regle type)
{
    Regle_Exposition regle;
    regle.type = type;
    switch (type) {
    case Type_Regle::Aucune:
        break;
    case Type_Regle::EN17037:
        regle.criteres = {{{2, 1}, {3, 21}, false, {3, 21}, 1.5}};
        regle.niveaux = true;
        break;
    case Type_Regle::DIN5034:
        regle.criteres = {un_jour({3, 21}, 4.0), un_jour({1, 17}, 1.0)};
        break;
    case Type_Regle::TNO_Licht:
        regle.criteres = {{{2, 19}, {10, 21}, true, {2, 19}, 2.0}};
        break;
    case Type_Regle::TNO_Streng:
        regle.criteres = {{{1, 21}, {11, 22}, true, {1, 21}, 3.0}};
        break;
    case Type_Regle::Personnalisee:
        regle.criteres = {un_jour({3, 21}, 1.5)};
        break;
    }
    return regle;
}

double hauteur_min_prereglee(Type_Regle type)
{
    switch (type) {
    case Type_Regle::EN17037:
    case Type_Regle::Personnalisee:
        return 11.0;
    case Type_Regle::DIN5034:
        return 6.0;
    case Type_Regle::Aucune:
    case Type_Regle::TNO_Licht:
    case Type_Regle::TNO_Streng:
        break;
    }
    return 0.0;
}

Point_Reference point_prereglee(Type_Regle type)
{
    switch (type) {
    case Type_Regle::EN17037:
    case Type_Regle::Personnalisee:
        return Point_Reference::Face_Interieure;
    case Type_Regle::DIN5034:
        return Point_Reference::Milieu_Baie;
    case Type_Regle::TNO_Licht:
    case Type_Regle::TNO_Streng:
        return Point_Reference::Seuil_Interieur;
    case Type_Regle::Aucune:
        break;
    }
    return Point_Reference::Seuil_Exterieur;
}

void appliquer_prereglage(Type_Regle type, Regle_Exposition &regle, Ombrage &ombrage)
{
    regle = regle_prereglee(type);
    ombrage.hauteur_min = hauteur_min_prereglee(type);
    ombrage.point = point_prereglee(type);
}

Type_Regle type_depuis_nom(const QString &nom)
{
    for (Type_Regle type : {Type_Regle::EN17037, Type_Regle::DIN5034, Type_Regle::TNO_Licht,
                            Type_Regle::TNO_Streng, Type_Regle::Personnalisee})
        if (nom == nom_court(type))
            return type;
    return Type_Regle::Aucune;
}

QString nom_court(Type_Regle type)
{
    switch (type) {
    case Type_Regle::Aucune:
        break;
    case Type_Regle::EN17037:
        return QStringLiteral("en17037");
    case Type_Regle::DIN5034:
        return QStringLiteral("din5034");
    case Type_Regle::TNO_Licht:
        return QStringLiteral("tno-licht");
    case Type_Regle::TNO_Streng:
        return QStringLiteral("tno-streng");
    case Type_Regle::Personnalisee:
        return QStringLiteral("personnalisee");
    }
    return QString();
}

Regle_Exposition reconnaitre(Regle_Exposition regle, const Ombrage &ombrage)
{
    const Type_Regle type = regle.type;
    if (type == Type_Regle::Aucune || type == Type_Regle::Personnalisee)
        return regle;
    // The day a preset lets the designer choose within its period is the preset's still.
    Regle_Exposition prereglee = regle_prereglee(type);
    if (prereglee.criteres.size() == regle.criteres.size())
        for (std::size_t i = 0; i < regle.criteres.size(); ++i)
            if (prereglee.criteres[i].debut != prereglee.criteres[i].fin)
                prereglee.criteres[i].jour = regle.criteres[i].jour;
    if (regle != prereglee || ombrage.hauteur_min != hauteur_min_prereglee(type) ||
        ombrage.point != point_prereglee(type))
        regle.type = Type_Regle::Personnalisee;
    return regle;
}

QString nom_regle(Type_Regle type)
{
    switch (type) {
    case Type_Regle::Aucune:
        return QStringLiteral("Aucune");
    case Type_Regle::EN17037:
        return QStringLiteral("EN 17037:2018 — exposition à l'ensoleillement");
    case Type_Regle::DIN5034:
        return QStringLiteral("DIN 5034-1 — usage courant");
    case Type_Regle::TNO_Licht:
        return QStringLiteral("Règle néerlandaise « 2 uur zon » (TNO) — usage courant");
    case Type_Regle::TNO_Streng:
        return QStringLiteral("Règle néerlandaise « 3 uur zon » (TNO, stricte) — usage courant");
    case Type_Regle::Personnalisee:
        return QStringLiteral("Règle personnalisée");
    }
    return QString();
}

QString titre_verdict(Type_Regle type)
{
    switch (type) {
    case Type_Regle::Aucune:
        break;
    case Type_Regle::EN17037:
        return QStringLiteral("EN 17037");
    case Type_Regle::DIN5034:
        return QStringLiteral("DIN 5034-1");
    case Type_Regle::TNO_Licht:
        return QStringLiteral("TNO « 2 uur zon »");
    case Type_Regle::TNO_Streng:
        return QStringLiteral("TNO « 3 uur zon »");
    case Type_Regle::Personnalisee:
        return QStringLiteral("Règle personnalisée");
    }
    return QString();
}

QString source_regle(Type_Regle type)
{
    switch (type) {
    case Type_Regle::Aucune:
        break;
    case Type_Regle::EN17037:
        return QStringLiteral("EN 17037:2018 « Lumière naturelle dans les bâtiments », exposition "
                              "à l'ensoleillement");
    case Type_Regle::DIN5034:
        return QStringLiteral("DIN 5034-1, telle qu'elle est couramment appliquée");
    case Type_Regle::TNO_Licht:
    case Type_Regle::TNO_Streng:
        return QStringLiteral(
            "Pratique néerlandaise (TNO), telle qu'elle est couramment appliquée");
    case Type_Regle::Personnalisee:
        return QStringLiteral("Paramètres choisis par l'utilisateur");
    }
    return QString();
}

QString nom_point(Point_Reference point)
{
    switch (point) {
    case Point_Reference::Seuil_Exterieur:
        break;
    case Point_Reference::Milieu_Baie:
        return QStringLiteral("milieu de la baie, sur le plan de la façade");
    case Point_Reference::Seuil_Interieur:
        return QStringLiteral("milieu de l'appui, côté intérieur");
    case Point_Reference::Face_Interieure:
        return QStringLiteral("face intérieure du mur, à 1,20 m du sol et 0,30 m au-dessus de "
                              "l'allège au moins");
    }
    return QStringLiteral("milieu de l'appui, sur le plan extérieur de la façade");
}

QString raison_regle_refusee(const Regle_Exposition &regle, const Ombrage &ombrage, int annee)
{
    if (!regle.active())
        return QString();
    if (!ombrage.facade.active)
        return QStringLiteral("la règle demande une fenêtre : donnez l'orientation de sa façade");
    if (const char *raison = raison_point_refuse(ombrage.baie, ombrage.point))
        return QString::fromUtf8(raison);
    if (regle.criteres.empty())
        return QStringLiteral("la règle ne demande rien");
    for (const Critere_Exposition &c : regle.criteres) {
        const QDate debut = c.debut.dans(annee);
        const QDate fin = c.fin.dans(annee);
        if (!debut.isValid() || !fin.isValid() || fin < debut)
            return QStringLiteral("la période de la règle n'est pas une période de l'année");
        if (!c.chaque_jour) {
            const QDate jour = c.jour.dans(annee);
            if (!jour.isValid() || jour < debut || jour > fin)
                return QStringLiteral("le %1 est hors de la période de la règle (du %2 au %3)")
                    .arg(jour.isValid() ? texte_jour_mois(jour) : QStringLiteral("jour choisi"),
                         texte_jour_mois(debut), texte_jour_mois(fin));
        }
        if (!(c.heures >= 0.0 && c.heures <= 24.0))
            return QStringLiteral("la durée demandée n'est pas entre 0 et 24 heures");
    }
    if (!(ombrage.hauteur_min >= 0.0 && ombrage.hauteur_min < 90.0))
        return QStringLiteral("la hauteur minimale n'est pas entre 0° et 90°");
    return QString();
}

Soleil_Jour soleil_du_jour(Ciel &ciel, const Etude_Exposition &etude, const QDate &date)
{
    const Vue_Fenetre vue(etude.ombrage);
    const Profil_Masque profil(etude.masque, etude.jonction);
    const Test_Cache cache = [&](double azimut, double hauteur) {
        return vue.fenetre(azimut, hauteur) ||
               (hauteur < profil.plus_haute() && profil.hauteur(azimut) > hauteur) ||
               vue.murs(azimut, hauteur);
    };
    Soleil_Jour resultat;
    resultat.date = date;
    // Counted as the table counts it, with its periods to the minute.
    const Ensoleillement e = soleil_fenetre(ciel, date, ciel.jour(date).jour, cache);
    resultat.heures = e.soleil_direct;
    for (const auto &[debut, fin] : e.periodes)
        resultat.periodes.append({debut, fin});
    return resultat;
}

QString niveau_en17037(double heures)
{
    const int m = minutes(heures);
    if (m >= minutes_eleve)
        return QStringLiteral("élevé");
    if (m >= minutes_moyen)
        return QStringLiteral("moyen");
    if (m >= minutes_minimal)
        return QStringLiteral("minimal");
    return QStringLiteral("insuffisant");
}

Verdict_Exposition evaluer_exposition(const Etude_Exposition &etude)
{
    Verdict_Exposition verdict;
    const Regle_Exposition &regle = etude.regle;
    verdict.type = regle.type;
    verdict.niveaux = regle.niveaux;
    const int annee = etude.cle.annee;
    verdict.erreur = raison_regle_refusee(regle, etude.ombrage, annee);
    if (!regle.active() || !verdict.erreur.isEmpty())
        return verdict;
    const std::shared_ptr<Ciel> ciel = Ciel::du_fil(etude.cle, etude.latitude);
    // The counts only: the periods are found on the days that decide.
    const Vue_Fenetre vue(etude.ombrage);
    const Profil_Masque profil(etude.masque, etude.jonction);
    const Test_Cache cache = [&](double azimut, double hauteur) {
        return vue.fenetre(azimut, hauteur) ||
               (hauteur < profil.plus_haute() && profil.hauteur(azimut) > hauteur) ||
               vue.murs(azimut, hauteur);
    };
    const auto total = [&](const QDate &date) {
        return ciel->ensoleillement(ciel->jour(date).jour, cache).soleil_direct;
    };
    verdict.respecte = true;
    for (const Critere_Exposition &c : regle.criteres) {
        Resultat_Critere r;
        r.seuil = c.heures;
        r.chaque_jour = c.chaque_jour;
        r.debut = c.debut.dans(annee);
        r.fin = c.fin.dans(annee);
        QDate decisif = c.jour.dans(annee);
        if (c.chaque_jour || regle.niveaux) {
            // Every day of the period: the least and the most sunlit (the first of equals).
            QDate moins = r.debut;
            QDate plus = r.debut;
            double h_moins = 25.0;
            double h_plus = -1.0;
            for (QDate d = r.debut; d <= r.fin; d = d.addDays(1)) {
                const double h = total(d);
                if (h < h_moins) {
                    h_moins = h;
                    moins = d;
                }
                if (h > h_plus) {
                    h_plus = h;
                    plus = d;
                }
            }
            if (c.chaque_jour)
                decisif = moins;
            if (regle.niveaux) {
                verdict.moins = soleil_du_jour(*ciel, etude, moins);
                verdict.plus = soleil_du_jour(*ciel, etude, plus);
            }
        }
        r.jour = soleil_du_jour(*ciel, etude, decisif);
        r.atteint = minutes(r.jour.heures) >= minutes(c.heures);
        verdict.respecte = verdict.respecte && r.atteint;
        verdict.criteres.push_back(r);
    }
    if (regle.niveaux && !verdict.criteres.empty())
        verdict.niveau = niveau_en17037(verdict.criteres.front().jour.heures);
    return verdict;
}

QString texte_jour_mois(const QDate &date)
{
    const QString jour = date.day() == 1 ? QStringLiteral("1er") : QString::number(date.day());
    return jour + QLatin1Char(' ') + QString::fromUtf8(mois_fr[date.month() - 1]);
}

QString texte_verdict(const Verdict_Exposition &verdict)
{
    if (verdict.type == Type_Regle::Aucune)
        return QString();
    const QString titre = titre_verdict(verdict.type);
    if (!verdict.erreur.isEmpty())
        return titre + QStringLiteral(" : non évaluée — ") + verdict.erreur;
    QStringList parties;
    for (const Resultat_Critere &r : verdict.criteres) {
        QString texte = texte_jour(r.jour);
        if (!verdict.niveaux)
            texte += QStringLiteral(" pour ") + duree(r.seuil);
        if (r.chaque_jour)
            texte += QStringLiteral(" chaque jour du ") + texte_jour_mois(r.debut) +
                     QStringLiteral(" au ") + texte_jour_mois(r.fin);
        parties << texte;
    }
    QString texte = titre + QStringLiteral(" : ") +
                    (verdict.niveaux    ? verdict.niveau
                     : verdict.respecte ? QStringLiteral("respectée")
                                        : QStringLiteral("non respectée")) +
                    QStringLiteral(" — ") + parties.join(QStringLiteral(" ; "));
    if (verdict.niveaux && !verdict.criteres.empty()) {
        const Resultat_Critere &r = verdict.criteres.front();
        texte += QStringLiteral(" ; du %1 au %2 : de %3 (%4) à %5 (%6)")
                     .arg(texte_jour_mois(r.debut), texte_jour_mois(r.fin),
                          duree(verdict.moins.heures), texte_jour_mois(verdict.moins.date),
                          duree(verdict.plus.heures), texte_jour_mois(verdict.plus.date));
    }
    return texte;
}

QStringList lignes_csv_verdict(const Verdict_Exposition &verdict)
{
    QStringList lignes{QStringLiteral("regle;critere;jour;soleil;seuil;niveau")};
    const QString regle = nom_court(verdict.type);
    const auto ligne = [&](const QString &critere, const Soleil_Jour &jour, double seuil,
                           const QString &niveau) {
        lignes << QStringList{regle,
                              critere,
                              jour.date.toString(Qt::ISODate),
                              duree(jour.heures),
                              duree(seuil),
                              niveau}
                      .join(QLatin1Char(';'));
    };
    for (const Resultat_Critere &r : verdict.criteres)
        ligne(r.chaque_jour ? QStringLiteral("chaque jour") : QStringLiteral("jour"), r.jour,
              r.seuil,
              verdict.niveaux ? niveau_en17037(r.jour.heures)
              : r.atteint     ? QStringLiteral("atteint")
                              : QStringLiteral("non atteint"));
    if (verdict.niveaux && !verdict.criteres.empty()) {
        const double seuil = verdict.criteres.front().seuil;
        ligne(QStringLiteral("jour le moins ensoleillé"), verdict.moins, seuil,
              niveau_en17037(verdict.moins.heures));
        ligne(QStringLiteral("jour le plus ensoleillé"), verdict.plus, seuil,
              niveau_en17037(verdict.plus.heures));
    }
    return lignes;
}

QStringList textes_rapport_exposition(const Etude_Exposition &etude,
                                      const Verdict_Exposition &verdict)
{
    QStringList lignes;
    const Regle_Exposition &regle = etude.regle;
    if (!regle.active())
        return lignes;
    lignes << QStringLiteral("Exposition au soleil : ") + nom_regle(regle.type);
    lignes << QStringLiteral("Source : ") + source_regle(regle.type);
    const int annee = etude.cle.annee;
    for (const Critere_Exposition &c : regle.criteres) {
        const QString periode = c.debut == c.fin
                                    ? QStringLiteral("le ") + texte_jour_mois(c.debut.dans(annee))
                                    : QStringLiteral("du %1 au %2")
                                          .arg(texte_jour_mois(c.debut.dans(annee)),
                                               texte_jour_mois(c.fin.dans(annee)));
        lignes << QStringLiteral("Critère : %1 %2%3")
                          .arg(duree(c.heures),
                               c.chaque_jour ? QStringLiteral("chaque jour ") : QString(),
                               periode) +
                      (c.chaque_jour || c.debut == c.fin ? QString()
                                                         : QStringLiteral(", jour évalué le ") +
                                                               texte_jour_mois(c.jour.dans(annee)));
    }
    lignes << QStringLiteral("Hauteur minimale du soleil : ") + nombre(etude.ombrage.hauteur_min) +
                  QStringLiteral("°");
    const Baie &b = etude.ombrage.baie;
    if (b.active)
        lignes << QStringLiteral("Baie : largeur %1 m, hauteur %2 m, allège %3 m, mur %4 m")
                      .arg(nombre(b.largeur), nombre(b.hauteur), nombre(b.allege),
                           nombre(b.epaisseur));
    lignes << QStringLiteral("Point de référence : ") + nom_point(etude.ombrage.point);
    lignes << QStringLiteral("Résultat : ") + texte_verdict(verdict);
    if (verdict.erreur.isEmpty())
        lignes << QStringLiteral("Niveau : ") + (verdict.niveaux ? verdict.niveau
                                                 : verdict.respecte
                                                     ? QStringLiteral("règle respectée")
                                                     : QStringLiteral("règle non respectée"));
    return lignes;
}
