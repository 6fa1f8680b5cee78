// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_EXPOSITION_EXPOSITION_H
#define ORVANE_EXPOSITION_EXPOSITION_H

// Exposure to sunlight: whether the window gets the sun a rule asks for. A rule is data (its
// criteria, and the least height of a sun that counts and the point it is counted at, which the
// window's shading keeps so that every count of the sun on the window has them), never a branch
// per standard; the national presets are as commonly applied, and a rule whose parameters are
// edited becomes a custom one. Widget-free.
//
// Hours are decimal hours of sun on the window's point as the output table counts them (the
// opening's reveal, the devices, the walls, the mask, the least height); heights are degrees
// above the horizon; days are days of the description's year.

#include "ciel/ciel.h"
#include "masks/points_masque.h"
#include "ombrage/ombrage.h"

#include <QDate>
#include <QPair>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <QVector>

#include <vector>

// A day of the year without its year.
struct Jour_Mois {
    int mois = 3;
    int jour = 21;
    // Its date in `annee` (29 February of a common year: 28 February).
    QDate dans(int annee) const;
    bool operator==(const Jour_Mois &autre) const
    {
        return mois == autre.mois && jour == autre.jour;
    }
    bool operator!=(const Jour_Mois &autre) const { return !(*this == autre); }
};

enum class Type_Regle { Aucune, EN17037, DIN5034, TNO_Licht, TNO_Streng, Personnalisee };

// One thing a rule asks: `heures` of sun on one day of the period, or on every day of it (the
// worst day decides).
struct Critere_Exposition {
    Jour_Mois debut;
    Jour_Mois fin;
    bool chaque_jour = false;
    // The day assessed, within the period, when not every day.
    Jour_Mois jour;
    double heures = 1.5;
    bool operator==(const Critere_Exposition &autre) const;
    bool operator!=(const Critere_Exposition &autre) const { return !(*this == autre); }
};

struct Regle_Exposition {
    Type_Regle type = Type_Regle::Aucune;
    std::vector<Critere_Exposition> criteres;
    // EN 17037's levels of its one criterion ("minimal", "moyen", "élevé" from 1h30, 3h, 4h), and
    // its least and most sunlit days of the period besides the day chosen.
    bool niveaux = false;

    bool active() const { return type != Type_Regle::Aucune; }
    bool operator==(const Regle_Exposition &autre) const;
    bool operator!=(const Regle_Exposition &autre) const { return !(*this == autre); }
};

// The preset of `type` as commonly applied; Personnalisee: one day, 21 March, 1h30 (EN 17037's
// values, to be edited). Its least height (degrees) and point.
Regle_Exposition regle_prereglee(Type_Regle type);
double hauteur_min_prereglee(Type_Regle type);
Point_Reference point_prereglee(Type_Regle type);
// Puts the preset of `type` in `regle` and its least height and point in `ombrage`; Aucune puts
// back the origin and every sun above the horizon.
void appliquer_prereglage(Type_Regle type, Regle_Exposition &regle, Ombrage &ombrage);
// The rule named on the command line and in site files: "en17037", "din5034", "tno-licht",
// "tno-streng", "personnalisee"; Aucune for anything else.
Type_Regle type_depuis_nom(const QString &nom);
QString nom_court(Type_Regle type);
// `regle` after an edit of it or of the least height or point of `ombrage`: a preset whose
// parameters no longer match it becomes custom.
Regle_Exposition reconnaitre(Regle_Exposition regle, const Ombrage &ombrage);

// The rule's name as the dialog and the report show it ("EN 17037:2018 — exposition à
// l'ensoleillement"), its short name in the verdict ("EN 17037"), its source.
QString nom_regle(Type_Regle type);
QString titre_verdict(Type_Regle type);
QString source_regle(Type_Regle type);
// The point's name ("face intérieure du mur, à 1,20 m du sol et 0,30 m au-dessus de l'allège au
// moins").
QString nom_point(Point_Reference point);

// Why `regle` cannot be assessed on the window of `ombrage` in `annee`, or empty: no facade, an
// opening needed and not given, a point above the opening's head, a day outside its period.
QString raison_regle_refusee(const Regle_Exposition &regle, const Ombrage &ombrage, int annee);

// A day's sun on the window: its total and its sunlit periods (start, end), hours of the
// description's scale.
struct Soleil_Jour {
    QDate date;
    double heures = 0.0;
    QVector<QPair<double, double>> periodes;
};

struct Resultat_Critere {
    // The day that decides: the day assessed, or the worst of every day.
    Soleil_Jour jour;
    double seuil = 0.0;
    bool atteint = false;
    bool chaque_jour = false;
    QDate debut;
    QDate fin;
};

struct Verdict_Exposition {
    // Empty when assessed; the reason otherwise.
    QString erreur;
    Type_Regle type = Type_Regle::Aucune;
    std::vector<Resultat_Critere> criteres;
    bool respecte = false;
    // With levels: the level of the day assessed, and the least and most sunlit days.
    QString niveau;
    Soleil_Jour moins;
    Soleil_Jour plus;
    bool niveaux = false;
};

// What the verdict is computed from: the rule, the window, the mask, and the sky's key and
// latitude; a plain value that a worker thread takes whole.
struct Etude_Exposition {
    Regle_Exposition regle;
    Ombrage ombrage;
    std::vector<QPointF> masque;
    Jonction_Masque jonction = Jonction_Masque::Paliers;
    Ciel::Cle cle;
    double latitude = 0.0;
};

// The verdict of the rule on the window, in the sky's year; computed on this thread's sky.
Verdict_Exposition evaluer_exposition(const Etude_Exposition &etude);

// A day's sun on the window of `etude` (its total as the output table counts it, and its
// periods to the minute) on `ciel`.
Soleil_Jour soleil_du_jour(Ciel &ciel, const Etude_Exposition &etude, const QDate &date);

// The level of `heures` on EN 17037's scale: "insuffisant", "minimal", "moyen", "élevé".
QString niveau_en17037(double heures);

// "EN 17037 : moyen — 3h12 le 21 mars (9h40–12h52) ; du 1er février au 21 mars : de 2h05 (1er
// février) à 3h12 (21 mars)".
QString texte_verdict(const Verdict_Exposition &verdict);

// The verdict as CSV lines, "regle;critere;jour;soleil;seuil;niveau" first: one per criterion,
// then for levels the least and most sunlit days.
QStringList lignes_csv_verdict(const Verdict_Exposition &verdict);

// The report's block: the rule, its source, its parameters, the opening and the point, the result
// and the level.
QStringList textes_rapport_exposition(const Etude_Exposition &etude,
                                      const Verdict_Exposition &verdict);

// "1er février", "21 mars".
QString texte_jour_mois(const QDate &date);

#endif
