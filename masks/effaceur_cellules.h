// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_MASKS_EFFACEUR_CELLULES_H
#define ORVANE_MASKS_EFFACEUR_CELLULES_H

// Delete or Backspace pressed on a table view that is not editing a cell empties the selected
// cells: their data is removed, so that they count as empty again.

#include <QObject>

class QAbstractItemView;

class Effaceur_cellules : public QObject
{
    Q_OBJECT

public:
    // Watches the key presses of `vue`, which owns it.
    explicit Effaceur_cellules(QAbstractItemView *vue);

protected:
    bool eventFilter(QObject *objet, QEvent *evenement) override;

private:
    QAbstractItemView *vue;
};

#endif
