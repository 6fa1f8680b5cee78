// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "app/panneau_defilant.h"

#include <QScrollBar>

Panneau_defilant::Panneau_defilant(QWidget *parent) : QScrollArea(parent)
{
    // The panel shows the window's own background.
    viewport()->setAutoFillBackground(false);
}

QSize Panneau_defilant::sizeHint() const
{
    QSize taille = QScrollArea::sizeHint();
    if (widget())
        taille.setWidth(widget()->sizeHint().width() + 2 * frameWidth() +
                        verticalScrollBar()->sizeHint().width());
    return taille;
}
