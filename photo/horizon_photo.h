// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_PHOTO_HORIZON_PHOTO_H
#define ORVANE_PHOTO_HORIZON_PHOTO_H

// The horizon traced from a photo of the sky: the sky told from what hides it by the blue
// channel, against a threshold (Otsu's by default); along each degree of bearing, from the zenith
// outward, the first lasting change from sky to obstacle; the line smoothed by a running median
// over 5°. Widget-free. Heights in degrees above the horizon, bearings compass degrees
// (0 north, 90 east).

#include "horizon/horizon.h"
#include "photo/objectif.h"

#include <QImage>

#include <vector>

// Otsu's threshold of the blue channel (0..255) over the photo's sky half: the pixels within the
// horizon's circle, or a panorama's upper half. A pixel bluer than it is sky.
int seuil_otsu(const QImage &photo, const Calibration_Photo &calibration);

// The horizon's height at each whole bearing 0..359, degrees, 0..90; the blue channel at or
// below `seuil` is an obstacle.
std::vector<double> tracer_horizon(const QImage &photo, const Calibration_Photo &calibration,
                                   int seuil);

// Sets the heights from bearing `de` clockwise to bearing `a` (degrees, both included, whole
// degrees) to `hauteur`: the user's hand where the photo misleads.
void imposer_hauteur(std::vector<double> &hauteurs, int de, int a, double hauteur);

// The traced heights as a horizon read from a file: one point per bearing, compass convention,
// ready for `masque_de_horizon` (horizon/horizon.h).
Horizon_Lu horizon_lu(const std::vector<double> &hauteurs);

#endif
