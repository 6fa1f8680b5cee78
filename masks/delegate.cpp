// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "masks/delegate.h"

#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>
#include <QToolTip>

#include <cmath>

namespace
{

// Decimals a cell holds, as the editor shows them.
constexpr int decimales = 2;

// The cell editor. Any text can be typed, so that what the user sees is what was typed; the
// spin box's own validation, which would drop a keystroke or correct the text behind the
// user's back, is replaced by the reading of the typed number.
class Editeur_degres : public QDoubleSpinBox
{
public:
    Editeur_degres(int minimum, int maximum, QWidget *parent) : QDoubleSpinBox(parent)
    {
        setMinimum(minimum);
        setMaximum(maximum);
        connect(lineEdit(), &QLineEdit::textChanged, this, [this] { marquer(); });
    }

    // The text put in by setEditorData: leaving with it changes nothing.
    QString texte_initial;

    // The number typed, when it is one of the column's range with at most two decimals.
    std::optional<double> valeur_saisie() const
    {
        const QString texte = text().trimmed();
        const std::optional<double> v = lire_nombre_saisi(texte);
        if (!v || *v < minimum() || *v > maximum())
            return std::nullopt;
        // Trailing zeros of the decimals do not count: 12,500 is 12,5.
        const int separateur = texte.indexOf(QRegularExpression(QStringLiteral("[.,]")));
        if (separateur >= 0) {
            QString fraction = texte.mid(separateur + 1);
            while (fraction.endsWith(QLatin1Char('0')))
                fraction.chop(1);
            if (fraction.size() > decimales)
                return std::nullopt;
        }
        return v;
    }
    bool vide() const { return text().trimmed().isEmpty(); }
    bool refuse() const { return !vide() && !valeur_saisie(); }

    QString message() const
    {
        return QCoreApplication::translate(
                   "Delegate", "Valeur refusée : entrez un nombre de %1 à %2, avec deux "
                               "décimales au plus.")
            .arg(minimum())
            .arg(maximum());
    }

    QValidator::State validate(QString &texte, int &) const override
    {
        const std::optional<double> v = lire_nombre_saisi(texte);
        return v && *v >= minimum() && *v <= maximum() ? QValidator::Acceptable
                                                       : QValidator::Intermediate;
    }
    double valueFromText(const QString &texte) const override
    {
        return lire_nombre_saisi(texte).value_or(value());
    }
    void fixup(QString &) const override {}

private:
    // A refused text frames the editor in red, its tool tip saying the range; the style is
    // set again only when the verdict changes.
    void marquer()
    {
        const bool refus = refuse();
        if (refus == marque)
            return;
        marque = refus;
        setStyleSheet(refus ? QStringLiteral("QDoubleSpinBox { border: 2px solid #D00000; }")
                            : QString());
        setToolTip(refus ? message() : QString());
    }
    bool marque = false;
};

// Says why the text of `editeur` is refused, just below it.
void dire_refus(const Editeur_degres *editeur, QWidget *pour)
{
    QToolTip::showText(editeur->mapToGlobal(QPoint(0, editeur->height())), editeur->message(),
                       pour);
}

} // namespace

std::optional<double> lire_nombre_saisi(const QString &texte)
{
    static const QRegularExpression nombre(
        QStringLiteral("^\\s*([+-]?)(\\d*)(?:[.,](\\d*))?\\s*$"));
    QString t = texte;
    t.replace(QChar(0x2212), QLatin1Char('-')); // the typographic minus sign
    const QRegularExpressionMatch m = nombre.match(t);
    if (!m.hasMatch() || (m.capturedLength(2) == 0 && m.capturedLength(3) == 0))
        return std::nullopt;
    // The C locale's reading of the same digits, with '.' as the separator.
    bool ok = false;
    const QString c = m.captured(1) + (m.capturedLength(2) ? m.captured(2) : QStringLiteral("0")) +
                      QLatin1Char('.') + m.captured(3) + QLatin1Char('0');
    const double v = c.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

Delegate::Delegate(int minimum, int maximum, QObject *parent)
    : QItemDelegate(parent), minimum(minimum), maximum(maximum)
{
}

QWidget *Delegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                const QModelIndex &) const
{
    // Owned by the view's viewport through `parent`; the view deletes it when editing ends.
    return new Editeur_degres(minimum, maximum, parent);
}

void Delegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *editeur = static_cast<Editeur_degres *>(editor);
    const QVariant valeur = index.model()->data(index, Qt::EditRole);
    if (valeur.isNull())
        editeur->clear(); // an empty cell opens empty
    else
        editeur->setValue(valeur.toDouble());
    editeur->texte_initial = editeur->text();
}

void Delegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                            const QModelIndex &index) const
{
    const auto *editeur = static_cast<const Editeur_degres *>(editor);
    if (editeur->text() == editeur->texte_initial)
        return;
    if (editeur->vide()) {
        if (!model->data(index, Qt::EditRole).isNull())
            model->setData(index, QVariant(), Qt::EditRole);
        return;
    }
    const std::optional<double> v = editeur->valeur_saisie();
    if (!v) {
        // Left by a click elsewhere: the cell keeps its old value, and says why.
        dire_refus(editeur, editor->parentWidget());
        return;
    }
    model->setData(index, *v, Qt::EditRole);
}

void Delegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                    const QModelIndex &) const
{
    editor->setGeometry(option.rect);
}

bool Delegate::eventFilter(QObject *objet, QEvent *evenement)
{
    auto *editeur = dynamic_cast<Editeur_degres *>(objet);
    if (editeur && evenement->type() == QEvent::KeyPress) {
        const int touche = static_cast<QKeyEvent *>(evenement)->key();
        const bool valider = touche == Qt::Key_Return || touche == Qt::Key_Enter;
        if ((valider || touche == Qt::Key_Tab || touche == Qt::Key_Backtab) && editeur->refuse()) {
            dire_refus(editeur, editeur);
            return true;
        }
        if (valider) {
            // Committed here, before the spin box would put its last value back over a text
            // that it does not take for a value (an emptied one).
            emit commitData(editeur);
            emit closeEditor(editeur, QAbstractItemDelegate::NoHint);
            return true;
        }
    }
    return QItemDelegate::eventFilter(objet, evenement);
}
