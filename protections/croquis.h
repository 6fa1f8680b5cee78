// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_PROTECTIONS_CROQUIS_H
#define ORVANE_PROTECTIONS_CROQUIS_H

// The sketches of the window's dialog, widget-free: a plan (the point, the facade and its normal,
// north, the fins and the overhang's outline, each wall with its number, left and right as seen
// from inside looking out) and a section along the facade's normal (the overhang, the point's
// level, one wall at its perpendicular distance), as lines and labels fitted to a size. The
// widget only paints them.
//
// Sketch coordinates: pixels of the given size, origin at the top left, y down. The plan keeps
// north up and one scale for both axes; the section, the facade on the left and heights up.

#include "ombrage/ombrage.h"

#include <QLineF>
#include <QPointF>
#include <QSizeF>
#include <QString>

#include <vector>

// What a line or a label stands for: the widget picks its pen from it.
enum class Element_Croquis {
    Point,     // the window's point (a label)
    Facade,    // the facade's line, solid when switched on
    Normale,   // the facade's outward normal, an arrow
    Nord,      // the north arrow
    Casquette, // the overhang
    Joue,      // a fin
    Mur,       // a wall rising above the point
    Mur_Bas,   // a wall at or below the point: it hides nothing
    Choisi,    // the wall chosen in the table
    Cote,      // a dimension or a level line
    Legende,   // a caption
};

struct Trait_Croquis {
    QLineF ligne;
    Element_Croquis element = Element_Croquis::Cote;
};

// Where a label stands against its position: centred on it, starting or ending there.
enum class Ancre { Centre, Gauche, Droite };

// A label, vertically centred on `position`.
struct Texte_Croquis {
    QPointF position;
    QString texte;
    Element_Croquis element = Element_Croquis::Legende;
    Ancre ancre = Ancre::Centre;
};

struct Croquis {
    std::vector<Trait_Croquis> traits;
    std::vector<Texte_Croquis> textes;
    // Where the window's point lies.
    QPointF point;
};

// The plan of `ombrage` within `taille`; `choisi`, the wall chosen in the table (-1: none),
// stands out.
Croquis croquis_plan(const Ombrage &ombrage, const QSizeF &taille, int choisi = -1);

// The section of `ombrage` along the facade's normal within `taille`: the overhang when switched
// on, and wall `choisi` (else the first wall rising above the point) at its perpendicular
// distance, with the heights seen from the point.
Croquis croquis_coupe(const Ombrage &ombrage, const QSizeF &taille, int choisi = -1);

#endif
