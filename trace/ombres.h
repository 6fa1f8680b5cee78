// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_TRACE_OMBRES_H
#define ORVANE_TRACE_OMBRES_H

// The sky the window's facade, its devices and the walls hide (ombrage/ombrage.h), drawn through
// the scene's projection: each under the courses, in a colour and hatching of its own, with a
// legend line.

#include "export/pages.h"
#include "ombrage/ombrage.h"
#include "projection/projection.h"

#include <QPainterPath>
#include <QString>
#include <QStringList>
#include <QVector>

#include <vector>

class QGraphicsPathItem;
class Scene;

// The outline of `zones` through `projection`, as one filled region: each edge followed within
// 0.1 scene unit; on the chart cut at the seam and at its highest height.
QPainterPath chemin_zones(const Projection &projection, const std::vector<Zone_Ombre> &zones);

// Draws the facade's zones and the walls' on `scene`, under the courses, with their legend lines
// ("Façade et protections", "Obstacles") from legend row `rang` down. Returns the hatched zones
// drawn.
std::vector<QGraphicsPathItem *> tracer_ombres(Scene &scene, const Ombrage &ombrage, int rang);

// Leaves the hatching of `hachures` (zones that `tracer_ombres` drew) white under each hour
// label shown and each of the disc's labels, so that they stay readable over it; the zones'
// outlines and paths stay whole. Once the labels are in their final places.
void degager_hachures(Scene &scene, const std::vector<QGraphicsPathItem *> &hachures);

// Every element that hides the direction (`azimut`, `hauteur`) from the window's point, in
// this order and joined by ", ": "derrière la façade" or the devices ("casquette", "joue gauche",
// "joue droite"), the walls ("obstacle 3", numbered from 1), "masque" when `sous_masque`; empty
// when nothing does.
QString texte_ombre(const Ombrage &ombrage, bool sous_masque, double azimut, double hauteur);

// The report page's lines for `ombrage`: "Façade orientée à 225° (SO)", its devices switched
// on ("Casquette : profondeur 1,2 m, hauteur 1,5 m", "Débords : gauche 0,5 m, droit toute la
// façade", "Joue gauche : profondeur 0,5 m, distance 1 m"), and the walls switched on ("Obstacle 1
// : 200° à 20 m, 250° à 15 m, hauteur 8 m"), the first six of them and then how many more ("… et
// 1 autre obstacle"). Numbers in the default locale.
QStringList textes_ombrage(const Ombrage &ombrage);

// The report page's line for each hatching `tracer_ombres` draws for `ombrage`, in its colour
// and pattern: "hachures orange : ciel caché à la fenêtre par la façade et ses protections",
// "hachures violettes : ciel caché à la fenêtre par les obstacles".
QVector<Hachure_page> hachures_ombrage(const Ombrage &ombrage);

#endif
