// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_TRACE_TRACE_EXPOSITION_H
#define ORVANE_TRACE_TRACE_EXPOSITION_H

// What the exposure rule adds to the diagram: the least height that counts as a dashed line, and
// the assessed day's sunlit periods on the window along its course, each with its legend line.

#include "trace/diagramme.h"

#include <QPainterPath>

class Scene;

// The least height `hauteur` (degrees) through `projection`: one line, cut at the chart's seam.
QPainterPath chemin_hauteur_min(const Projection &projection, double hauteur);

// Draws them for `description` from legend row `rang` down, when it has a rule (or a least
// height) on a window.
void tracer_exposition(Scene &scene, Ciel &ciel, const Description_Diagramme &description,
                       int rang);

#endif
