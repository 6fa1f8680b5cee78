// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_CLI_LIGNE_DE_COMMANDE_H
#define ORVANE_CLI_LIGNE_DE_COMMANDE_H

// The program without its window: `orvane` with arguments draws one diagram from them, writes it
// to a file (`--export`) and/or prints the output table as CSV (`--tableau`). Every argument is
// checked before anything is drawn or written; the messages are in French.
//
//   orvane [OPTIONS] --export FICHIER   PNG, JPEG, SVG or PDF by the file name's suffix
//   orvane [OPTIONS] --tableau          "date;lever;coucher;duree", then one line per row;
//                                       with --masque FICHIER or --obstacle,
//                                       ";soleil_direct;masque" more, then with --facade
//                                       ";soleil_fenetre"
//   orvane --help | --version
//
// Latitudes are degrees, north positive, −90..90; longitudes degrees, east positive, −180..180;
// times in the CSV are hours of the scale of `--heure` (true solar time by default, or the clock
// of `--fuseau`) written as the output table writes them ("4h18", "-").

#include <QDate>
#include <QStringList>

class QTextStream;

// Exit statuses.
inline constexpr int statut_succes = 0;
// A file or the standard output could not be written; an existing file is left as it was.
inline constexpr int statut_echec_ecriture = 1;
// The arguments are wrong, or the mask file is refused: nothing is drawn or written.
inline constexpr int statut_usage = 2;

// Whether `argc` arguments ask for the command line rather than the window: any argument after
// the program's name.
bool ligne_de_commande_demandee(int argc);

// Readies the process for the command line, before anything else: the toolkit's internal
// warnings are silenced unless ORVANE_DEBUG is set, so that the standard error holds the
// program's own French lines only, and a closed standard output or error keeps its number, so
// that no file opened later takes its place and the table is refused rather than written there.
void preparer_ligne_de_commande();

// Runs the command line. `arguments` as QCoreApplication::arguments() gives them, the program's
// name first; `aujourd_hui` is the chosen date when no `--date` is given, and its year the
// year of `--jour-des-mois` without `--annee`. The help, the version and the CSV go to `sortie`,
// the messages to `erreurs`. Makes the QApplication, on the offscreen platform, when there is
// none yet. Returns the exit status.
int executer_ligne_de_commande(const QStringList &arguments, const QDate &aujourd_hui,
                               QTextStream &sortie, QTextStream &erreurs);

#endif
