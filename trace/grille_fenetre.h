// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_TRACE_GRILLE_FENETRE_H
#define ORVANE_TRACE_GRILLE_FENETRE_H

// The year's grid of sun on the window (annee/grille_annee.h) of a diagram's description, as
// its table counts the sun on the window. Needs no toolkit beyond QtCore: the window computes it
// on a thread of its own.

#include "annee/grille_annee.h"
#include "trace/diagramme.h"

// The year of the grid: that of the chosen date, or of the days of the months in Mode 2.
int annee_grille(const Description_Diagramme &description);

// The grid of `description` over its year (`annee_grille`): its place, clock and sun, behind
// its facade, devices, mask outline and walls.
Grille_Annee grille_description(const Description_Diagramme &description);

// The report's second page: the grid of `description` given to `legende` when it has a facade.
void ajouter_grille(Legende_page &legende, const Description_Diagramme &description);

#endif
