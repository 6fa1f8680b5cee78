// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_APP_PANNEAU_DEFILANT_H
#define ORVANE_APP_PANNEAU_DEFILANT_H

// The scroll area of the main window's right-hand panel. It asks for the panel's own width
// plus the width of a vertical scroll bar, shown or not: a window too low for the panel then
// scrolls it vertically without hiding its right edge behind a horizontal scroll bar, and the
// diagram beside it keeps its width whether the bar shows or not. Narrower than the panel, it
// scrolls both ways.

#include <QScrollArea>

class Panneau_defilant : public QScrollArea
{
    Q_OBJECT

public:
    explicit Panneau_defilant(QWidget *parent = nullptr);

    QSize sizeHint() const override;
};

#endif
