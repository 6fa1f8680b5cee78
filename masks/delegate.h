// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_MASKS_DELEGATE_H
#define ORVANE_MASKS_DELEGATE_H

// Cell editor of one column of the mask table: a spin box of two decimals bounded to
// [minimum, maximum] degrees (azimuths -180..180, heights 0..90), so that no value outside
// the column's range is ever written into the model. The value is always stored as a double
// under Qt::EditRole; an empty cell opens at 0, and leaving the editor commits that 0.

#include <QItemDelegate>

class Delegate : public QItemDelegate
{
    Q_OBJECT

public:
    // Bounds of the editor, degrees.
    Delegate(int minimum, int maximum, QObject *parent = nullptr);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const override;

private:
    int minimum;
    int maximum;
};

#endif
