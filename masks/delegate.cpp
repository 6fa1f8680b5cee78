// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "masks/delegate.h"

#include <QDoubleSpinBox>

Delegate::Delegate(int minimum, int maximum, QObject *parent)
    : QItemDelegate(parent), minimum(minimum), maximum(maximum)
{
}

QWidget *Delegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                const QModelIndex &) const
{
    // Owned by the view's viewport through `parent`; the view deletes it when editing ends.
    auto *editeur = new QDoubleSpinBox(parent);
    editeur->setMinimum(minimum);
    editeur->setMaximum(maximum);
    return editeur;
}

void Delegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    // An empty cell reads as 0.
    const double valeur = index.model()->data(index, Qt::EditRole).toDouble();
    static_cast<QDoubleSpinBox *>(editor)->setValue(valeur);
}

void Delegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                            const QModelIndex &index) const
{
    auto *spinBox = static_cast<QDoubleSpinBox *>(editor);
    // Text typed but not yet validated counts.
    spinBox->interpretText();
    model->setData(index, spinBox->value(), Qt::EditRole);
}

void Delegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                    const QModelIndex &) const
{
    editor->setGeometry(option.rect);
}
