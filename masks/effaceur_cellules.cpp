// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "masks/effaceur_cellules.h"

#include <QAbstractItemView>
#include <QKeyEvent>

Effaceur_cellules::Effaceur_cellules(QAbstractItemView *vue) : QObject(vue), vue(vue)
{
    vue->installEventFilter(this);
}

bool Effaceur_cellules::eventFilter(QObject *objet, QEvent *evenement)
{
    // While a cell is edited its editor has the focus and receives the keys itself.
    if (objet != vue || evenement->type() != QEvent::KeyPress)
        return QObject::eventFilter(objet, evenement);
    const auto *touche = static_cast<QKeyEvent *>(evenement);
    if ((touche->key() != Qt::Key_Delete && touche->key() != Qt::Key_Backspace) ||
        touche->modifiers() != Qt::NoModifier || !vue->model() || !vue->selectionModel())
        return QObject::eventFilter(objet, evenement);
    for (const QModelIndex &cellule : vue->selectionModel()->selectedIndexes())
        vue->model()->setData(cellule, QVariant(), Qt::EditRole);
    return true;
}
