// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "protections/vue_croquis.h"

#include "protections/croquis.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace
{

// The facade and its devices in the diagram's orange, the walls in its purple.
const QColor couleur_facade(200, 90, 0);
const QColor couleur_mur(110, 50, 160);

QPen crayon(Element_Croquis element, const QPalette &palette)
{
    const QColor texte = palette.color(QPalette::WindowText);
    switch (element) {
    case Element_Croquis::Facade:
        return QPen(texte, 3.0);
    case Element_Croquis::Normale:
    case Element_Croquis::Casquette:
    case Element_Croquis::Joue:
        return QPen(couleur_facade, 2.0);
    case Element_Croquis::Mur:
        return QPen(couleur_mur, 2.0);
    case Element_Croquis::Choisi:
        return QPen(couleur_mur, 4.0);
    case Element_Croquis::Mur_Bas:
        return QPen(Qt::gray, 1.5, Qt::DashLine);
    case Element_Croquis::Cote:
        return QPen(palette.color(QPalette::Mid), 1.0, Qt::DashLine);
    case Element_Croquis::Nord:
    case Element_Croquis::Point:
    case Element_Croquis::Legende:
        break;
    }
    return QPen(texte, 1.5);
}

} // namespace

Vue_Croquis::Vue_Croquis(Genre genre, QWidget *parent) : QWidget(parent), genre(genre)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void Vue_Croquis::montrer(const Ombrage &valeur, int mur)
{
    if (valeur == ombrage && mur == choisi)
        return;
    ombrage = valeur;
    choisi = mur;
    update();
}

QSize Vue_Croquis::sizeHint() const
{
    const int ligne = fontMetrics().height();
    return genre == Genre::Plan ? QSize(22 * ligne, 16 * ligne) : QSize(22 * ligne, 13 * ligne);
}

QSize Vue_Croquis::minimumSizeHint() const
{
    const int ligne = fontMetrics().height();
    return genre == Genre::Plan ? QSize(12 * ligne, 10 * ligne) : QSize(12 * ligne, 8 * ligne);
}

void Vue_Croquis::paintEvent(QPaintEvent *)
{
    // The sketch keeps room for labels of a 16-pixel line: drawn for a smaller size and spread
    // out again, its margins follow the font.
    const double k = std::max(0.5, QFontMetricsF(font()).height() / 16.0);
    const QSizeF taille = QSizeF(size()) / k;
    Croquis croquis = genre == Genre::Plan ? croquis_plan(ombrage, taille, choisi)
                                           : croquis_coupe(ombrage, taille, choisi);
    for (Trait_Croquis &trait : croquis.traits)
        trait.ligne = QLineF(trait.ligne.p1() * k, trait.ligne.p2() * k);
    for (Texte_Croquis &texte : croquis.textes)
        texte.position *= k;
    croquis.point *= k;
    QPainter peintre(this);
    peintre.setRenderHint(QPainter::Antialiasing);
    peintre.fillRect(rect(), palette().color(QPalette::Base));
    for (const Trait_Croquis &trait : croquis.traits) {
        peintre.setPen(crayon(trait.element, palette()));
        peintre.drawLine(trait.ligne);
    }
    peintre.setPen(Qt::NoPen);
    peintre.setBrush(palette().color(QPalette::WindowText));
    peintre.drawEllipse(croquis.point, 4.0, 4.0);

    const QFontMetricsF mesure(font());
    for (const Texte_Croquis &texte : croquis.textes) {
        QPen pen = crayon(texte.element, palette());
        pen.setStyle(Qt::SolidLine);
        if (texte.element == Element_Croquis::Cote || texte.element == Element_Croquis::Legende)
            pen.setColor(palette().color(QPalette::WindowText));
        peintre.setPen(pen);
        const double largeur = mesure.horizontalAdvance(texte.texte);
        const double x = texte.ancre == Ancre::Gauche   ? texte.position.x()
                         : texte.ancre == Ancre::Droite ? texte.position.x() - largeur
                                                        : texte.position.x() - largeur / 2.0;
        peintre.drawText(
            QPointF(x, texte.position.y() + (mesure.ascent() - mesure.descent()) / 2.0),
            texte.texte);
    }
}
