// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "app/panneau_defilant.h"

#include <QEvent>
#include <QScrollBar>

Panneau_defilant::Panneau_defilant(QWidget *parent) : QScrollArea(parent)
{
    // The panel shows the window's own background.
    viewport()->setAutoFillBackground(false);
    verticalScrollBar()->installEventFilter(this);
}

QSize Panneau_defilant::sizeHint() const
{
    QSize taille = QScrollArea::sizeHint();
    if (widget())
        taille.setWidth(widget()->sizeHint().width() + 2 * frameWidth());
    if (verticalScrollBar()->isVisible())
        taille.rwidth() += verticalScrollBar()->sizeHint().width();
    return taille;
}

bool Panneau_defilant::eventFilter(QObject *objet, QEvent *evenement)
{
    if (objet == verticalScrollBar() &&
        (evenement->type() == QEvent::Show || evenement->type() == QEvent::Hide))
        updateGeometry();
    return QScrollArea::eventFilter(objet, evenement);
}
