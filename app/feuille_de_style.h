// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_APP_FEUILLE_DE_STYLE_H
#define ORVANE_APP_FEUILLE_DE_STYLE_H

#include <QString>

class QApplication;

// Path of the compiled-in style sheet.
inline const QString feuille_de_style_ressource = QStringLiteral(":/stylesheet/style");

// Installs the style sheet read from `chemin` on the application: the bytes up to the first
// NUL, as Latin-1 text. Returns false, and leaves the application's style as it was, when the
// file cannot be opened.
bool installer_feuille_de_style(QApplication &application, const QString &chemin);

#endif
