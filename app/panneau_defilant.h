// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_APP_PANNEAU_DEFILANT_H
#define ORVANE_APP_PANNEAU_DEFILANT_H

// The scroll area of the main window's right-hand panel. It asks for the panel's own width
// plus the width of a vertical scroll bar, shown or not: a window too low for the panel then
// scrolls it vertically without hiding its right edge behind a horizontal scroll bar, and the
// diagram beside it keeps its width whether the bar shows or not. Narrower than the panel, it
// scrolls both ways.
//
// The wheel scrolls the panel: a spin box, list or slider of the panel that does not have the
// keyboard focus passes it on, so that scrolling never changes a value on the way; once
// clicked or tabbed into, it takes the wheel again. A table does the same: the wheel over it
// scrolls the panel until it has the focus. Nor do the spin boxes keep Ctrl+Z, Ctrl+Maj+Z
// and Ctrl+Y for their text: a value typed is a step of the window's history, which those keys
// undo and redo.

#include <QScrollArea>

class Panneau_defilant : public QScrollArea
{
    Q_OBJECT

public:
    explicit Panneau_defilant(QWidget *parent = nullptr);

    QSize sizeHint() const override;

    // Has the panel's spin boxes, lists, sliders and tables, as they are now, pass the wheel on
    // while they do not have the focus (a wheel no longer gives them the focus either), and leave
    // the keys of undo and redo to the window.
    void regler_les_champs();

protected:
    bool eventFilter(QObject *objet, QEvent *evenement) override;
};

#endif
