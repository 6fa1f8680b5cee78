// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_EXPORT_EXPORT_H
#define ORVANE_EXPORT_EXPORT_H

// The export of the diagram as a file ("Exporter le diagramme...", Ctrl+E): the scene as it
// stands, at the size of the graphics view in pixels, written as JPEG, PNG, SVG or the PDF
// report page (export/pages.h).

#include <QString>

// The choices of the save dialog, JPEG first (and so preselected), then PNG, SVG and PDF.
inline const QString filtre_export_jpeg = QStringLiteral("JPG - JPEG Image (*.jpg)");
inline const QString filtre_export_png = QStringLiteral("PNG - Portable Networks Graphics (*.png)");
inline const QString filtre_export_svg = QStringLiteral("SVG (*.svg)");
inline const QString filtre_export_pdf = QStringLiteral("PDF (*.pdf)");

// `nom` as the file to write: a name without a suffix takes the suffix of `filtre`, one of the
// dialog's filters (".jpg" for an empty or unknown filter); any other name is kept as it is, its
// own suffix choosing the format.
QString nom_fichier_export(const QString &nom, const QString &filtre);

#endif
