// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_EXPORT_PAGES_H
#define ORVANE_EXPORT_PAGES_H

// The diagram written out of the program: raster images (PNG, JPEG), a vector drawing (SVG)
// and the report page (PDF, print). Everything is drawn from a scene as it stands and from
// plain values; no widget is read, so the window, the print dialog and the command line share
// it.

#include "annee/grille_annee.h"

#include <QColor>
#include <QDate>
#include <QPair>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

class QGraphicsScene;
class QPagedPaintDevice;

// A hatching the diagram draws, as the report page explains it: a swatch of its colour and
// pattern, then its line ("hachures orange : ciel caché à la fenêtre par ...").
struct Hachure_page {
    QColor couleur;
    Qt::BrushStyle motif = Qt::NoBrush;
    QString texte;
};

// What the report page shows beside the diagram.
struct Legende_page {
    QString titre = QStringLiteral("Diagramme solaire");
    // The latitude caption as the diagram writes it ("Latitude: 45°").
    QString latitude;
    // Each plotted date's label ("21 juin") in its course's colour, in the table's order.
    QVector<QPair<QString, QColor>> dates;
    // The time scale of every time shown.
    QString echelle = QStringLiteral("Temps solaire vrai");
    // The hour lines' clock when it is not the scale's ("lignes horaires en heure d'hiver
    // (UTC+1)"), on a line of its own; empty: no line.
    QString lignes_horaires;
    // The diagram's projection ("Polaire stéréographique"), on a line of its own; empty: no
    // line.
    QString projection;
    // The window's facade, its devices and the walls, a line each; empty: no line.
    QStringList fenetre;
    // The output table: its column headers and its rows, the cells' texts as shown.
    QStringList entetes;
    QVector<QStringList> lignes;
    // The title block's other lines: the place ("Latitude : 48,85°", "Longitude : 2,35°",
    // "Fuseau : Europe/Paris"; no latitude_page: the caption above), the model of the sun, the
    // horizon's file name or "masque saisi" (empty: no mask).
    QString latitude_page;
    QString longitude;
    QString fuseau;
    QString modele;
    QString horizon;
    // The day the page is made; null: the page names only the version.
    QDate date;
    // The project's lines at the head of the title block ("Projet : Maison Arnaud", "Adresse :
    // ...", "Client : ...", "Auteur : ..."), each given; empty: the block as without a project.
    QStringList projet;
    // One line for each hatching drawn, under the title block.
    QVector<Hachure_page> hachures;
    // With a window, the year's grid of its sun: the report's second page, its hours on the
    // scale `echelle`.
    std::optional<Grille_Annee> grille;
};

// Lines of the title block built from the fields above, in the page's order: the project's
// first, then the place's.
QStringList lignes_cartouche(const Legende_page &legende);

// `couleur` as a text on white paper shows it: itself when its contrast with white is at least
// 4.5:1 (WCAG 2), else a darker shade of the same hue that reaches it.
QColor couleur_lisible(const QColor &couleur);

// The WCAG 2 contrast ratio of two opaque colours, 1 to 21.
double contraste(const QColor &a, const QColor &b);

enum class Format_export { Jpeg, Png, Svg, Pdf, Inconnu };

// The format named by the file name's suffix, case-insensitive: .jpg and .jpeg, .png, .svg,
// .pdf; anything else is `Inconnu`.
Format_export format_export(const QString &fichier);

// Writes the scene's rectangle to `fichier` in the format of its suffix: a raster image of
// `taille` pixels (antialiased), an SVG of vector paths and text at that size, or the report
// page as a one-page A4 landscape PDF (`taille` unused). A raster image has at most 32767
// pixels a side and 2^28 pixels in all. A suffix of `Inconnu` that the toolkit's image
// writers know (.bmp ...) is written as that raster format. Written through the safe writer
// (ecriture/ecriture.h): on any failure nothing is left behind, an existing file keeps its
// bytes, the function returns false and `erreur` (when given) holds the cause in French, a
// fragment to follow the caller's sentence ("le disque est plein").
// The report page draws `page` when given (a scene drawn for the page, whatever `taille`), else
// `scene`.
bool exporter_diagramme(QGraphicsScene &scene, const QSize &taille, const Legende_page &legende,
                        const QString &fichier, QString *erreur = nullptr,
                        QGraphicsScene *page = nullptr);

// Draws the report page on `page` (a PDF writer or a printer): the diagram, the caption and the
// output table, all vector; then the year's grid on a second page when the legend has one.
void dessiner_page(QGraphicsScene &scene, const Legende_page &legende, QPagedPaintDevice &page);

#endif
