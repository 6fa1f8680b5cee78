// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "diagram/scene.h"

// Temporary: draws nothing until the mask outline is merged in.
void Scene::tracer_masques(const QPointF *, int, QPen, QBrush, QPainterPath) {}
