// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_CLI_LOT_H
#define ORVANE_CLI_LOT_H

// A batch (`orvane --lot FICHIER`): a CSV file, `;` separated, UTF-8, whose header names its
// columns after the command line's long options without their dashes, one diagram per line.
// An empty cell takes the option's default; a flag's cell reads `oui` or `non`; `date` holds
// dates separated by spaces; `tableau` names the CSV file of that line's table. Every option of
// the command line that draws is a column, with no more code.

#include "cli/demande.h"

#include <QTextStream>

#include <vector>

// One line of the batch: its number in the file (the header is line 1) and its request.
struct Ligne_Lot {
    int numero = 0;
    Demande demande;
};

struct Lot {
    QString fichier;
    std::vector<Ligne_Lot> lignes;
};

// Reads the batch named by `--lot` and checks every line as the command line would, that no
// file is written by two lines and that the folders written into exist; throws Erreur_usage
// naming each refused line (the first 20, then how many more) and its column.
Lot lire_lot(const Options_Ligne &options, const QDate &aujourd_hui);

// The line that ends a batch's progress: "200 diagrammes en 0,9 s", French whatever the
// machine's locale.
QString texte_bilan(int diagrammes, qint64 millisecondes);

// Draws and writes every line, on as many worker processes as the process may use cores (in
// this process when it already runs the toolkit). A line that cannot be written is said on
// `erreurs` with its number, and the others go on. With `progression`, and `erreurs` on a
// terminal, the progress is shown there. Returns the exit status.
int executer_lot(const Lot &lot, bool progression, QTextStream &erreurs);

#endif
