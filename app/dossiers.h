// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_APP_DOSSIERS_H
#define ORVANE_APP_DOSSIERS_H

// The folder the user last used for each kind of file, kept between runs in the user's settings
// (QSettings, organisation "Orvane", application "orvane"), where the file dialogs open.

#include <QString>

enum class Genre_Fichier {
    Site,    // .orvane site files, opened and saved
    Horizon, // horizon files, imported and exported
    Export,  // the diagram's images and report pages
};

// The folder last used for `genre`; empty when none is kept or it no longer exists.
QString dossier_retenu(Genre_Fichier genre);

// Keeps the folder of `fichier` (a file's path) as the last used for `genre`.
void retenir_dossier(Genre_Fichier genre, const QString &fichier);

// `nom` in the folder last used for `genre`, as a dialog proposes it; `nom` alone without one.
QString dans_dossier_retenu(Genre_Fichier genre, const QString &nom);

#endif
