// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_CLI_DEMANDE_H
#define ORVANE_CLI_DEMANDE_H

// What one command line asks for, read and checked from its arguments, and its drawing and
// writing: shared by a single run and by each line of a batch.

#include "site/site.h"
#include "trace/diagramme.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDate>
#include <QStringList>

#include <optional>
#include <vector>

// A usage error: its message names the option. A batch refused for several lines says each on
// a line of its own: the first in `message`, the others in `suite`.
struct Erreur_usage {
    Erreur_usage(const QString &texte, const QStringList &autres = {})
        : message(texte), suite(autres)
    {
    }
    QString message;
    QStringList suite;
};

// What the arguments ask for.
struct Demande {
    Description_Diagramme description;
    QString fichier; // empty: no file
    bool tableau = false;
    // Where the table goes when not to the standard output (a batch's `tableau` column).
    QString fichier_tableau;
    // The site read with `--site`, and where `--enregistrer-site` writes the site asked for.
    std::optional<Site> site;
    QString fichier_site;
    // The mask table's rows of `--masque`, which a site written keeps.
    std::optional<std::vector<QPointF>> horizon;
    // The report page's title, horizon and date: the base name of `--site`, the name of
    // `--masque`, the day of the run.
    QString nom_site;
    QString nom_horizon;
    QDate aujourd_hui;
    // `--tableau-exposition`: the exposure verdict as CSV instead of the day table.
    bool tableau_exposition = false;
    // `--periodes`: the table's last column, the periods of sun on the window.
    bool periodes = false;
    // `--annee-fenetre`: where the year's grid of sun on the window goes; empty: nowhere.
    QString fichier_annee;
};

// The command line's options and their parser.
struct Options_Ligne {
    Options_Ligne();

    QCommandLineParser analyse;
    // The options that take a value, and the flags; a batch's columns are named after both.
    QList<QCommandLineOption> avec_valeur;
    QList<QCommandLineOption> drapeaux;
    // The batch's option, which takes its file's name.
    QCommandLineOption lot{QStringLiteral("lot"), QString(), QStringLiteral("FICHIER")};
};

// The reason the parser refused `arguments`, in French and naming the option.
QString refus_arguments(const Options_Ligne &options, const QStringList &arguments);

// The request of arguments that `options.analyse` has parsed, every value checked; throws
// Erreur_usage. `aujourd_hui` as executer_ligne_de_commande() takes it. Neither --help,
// --version nor --lot is looked at.
Demande lire_demande(const Options_Ligne &options, const QDate &aujourd_hui);

// Draws what `demande` asks for and writes its files (the site, the diagram, the table when it
// goes to a file). Each failure adds its message to `echecs` ("--export : « a.png » n'a pas pu
// être écrit : ..."); returns the rows of the table, or nothing when no diagram was asked for.
// Needs the toolkit.
QVector<Ligne_Sortie> ecrire_demande(const Demande &demande, QStringList &echecs);
// The same, drawn on `scene`, which a batch keeps from one line to the next: the labels a line
// writes again are taken back rather than made anew, and the scene is made once.
QVector<Ligne_Sortie> ecrire_demande(const Demande &demande, QStringList &echecs, Scene &scene);

// The toolkit for drawing without a screen, on the offscreen platform, for as long as this lives;
// nothing when the process already has one.
class Boite_Outils_Hors_Ecran
{
public:
    Boite_Outils_Hors_Ecran();

private:
    std::optional<QApplication> application_;
};

// The exposure verdict of the description's rule as CSV, its header line first.
QByteArray texte_exposition(const Description_Diagramme &description);

// The value of an option that takes one, given at most once; throws Erreur_usage.
QString valeur_unique(const QCommandLineParser &analyse, const QString &option);

// A decimal number written with a point or a comma ("45", "-12.5", "48,85"); no exponent, no
// infinity.
std::optional<double> lire_nombre(const QString &texte);

// The sky photo of `--photo` (or of the site) and its calibration options into the request's
// description, and with `--photo-horizon` the horizon traced from it as its mask; throws
// Erreur_usage. Called once every other option is read.
void lire_photo_demandee(const QCommandLineParser &analyse, Demande &demande);

// The output table as CSV, its header line first; with `periodes`, the last column
// "periodes_fenetre".
QByteArray texte_tableau(const Description_Diagramme &description,
                         const QVector<Ligne_Sortie> &lignes, bool periodes = false);

#endif
