// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "app/fenetre_principale.h"

#include "diagram/scene.h"

#include <tuple>

namespace
{

// The committed values that the Scene paints its background from.
auto reglages_du_disque(const Affichage_Options &options)
{
    return std::make_tuple(options.pas_hauteur, options.pas_azimut, options.opacite,
                           options.graduations_affichees(), options.projection,
                           options.graduations_azimut);
}

// Runs the display options dialog modally. Closing it asks for no rebuild; but when "OK" has
// changed what the disc is painted from, the whole background is repainted at once, so that
// the next partial repaint of a rebuild never shows old and new graduations side by side.
// Returns whether the items must be drawn again: the projection changed, or the chart's
// height follows the new height step.
bool executer_options(Scene &scene)
{
    const auto avant = reglages_du_disque(scene.options);
    scene.options.exec();
    if (reglages_du_disque(scene.options) == avant)
        return false;
    scene.invalidate(QRectF(), QGraphicsScene::BackgroundLayer);
    return std::get<4>(avant) != scene.options.projection ||
           scene.options.projection == Type_Projection::Cylindrique;
}

} // namespace

void Fenetre_Principale::ouverture_fenetre_affichage()
{
    if (executer_options(*scene))
        course_Soleil();
    // "OK" may have changed the site's display options.
    noter_etape();
}

void Fenetre_Principale::on_actionOptions_graphiques_triggered()
{
    if (executer_options(*scene))
        course_Soleil();
    // "OK" may have changed the site's display options.
    noter_etape();
}
