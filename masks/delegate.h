// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_MASKS_DELEGATE_H
#define ORVANE_MASKS_DELEGATE_H

// Cell editor of one column of the mask table: a spin box of two decimals bounded to
// [minimum, maximum] degrees (azimuths -180..180, heights 0..90). The cell stores what was
// typed, as a double under Qt::EditRole, or nothing:
// - '.' and ',' are both read as the decimal separator, whatever the locale; a group
//   separator, an exponent or any other text is not a number;
// - a text that is not a number of the column's range with at most two decimals is refused
//   visibly: the editor is framed in red and says the range, Enter leaves it open, and the cell
//   keeps its old value;
// - an empty cell opens empty, and an editor left without typing leaves its cell as it was;
//   a text erased whole empties the cell.

#include <QItemDelegate>
#include <QString>

#include <optional>

// `texte` read as a number: an optional sign, digits, at most one decimal separator ('.' or
// ','), surrounding spaces ignored. nullopt for anything else, the empty text included.
std::optional<double> lire_nombre_saisi(const QString &texte);

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

protected:
    // Enter and Tab on a refused text keep the editor open and say why.
    bool eventFilter(QObject *objet, QEvent *evenement) override;

private:
    int minimum;
    int maximum;
};

#endif
