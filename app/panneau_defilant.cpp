// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "app/panneau_defilant.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QScrollBar>
#include <QWheelEvent>

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

void Panneau_defilant::regler_les_champs()
{
    if (!widget())
        return;
    for (QWidget *w : widget()->findChildren<QWidget *>()) {
        // The tables' own scroll bars scroll their tables.
        const bool valeur = qobject_cast<QAbstractSpinBox *>(w) || qobject_cast<QComboBox *>(w) ||
                            (qobject_cast<QAbstractSlider *>(w) && !qobject_cast<QScrollBar *>(w));
        if (!valeur)
            continue;
        if (w->focusPolicy() == Qt::WheelFocus)
            w->setFocusPolicy(Qt::StrongFocus);
        w->installEventFilter(this);
    }
    // A table scrolls itself only once it has the focus: the wheel reaches its viewport.
    for (auto *table : widget()->findChildren<QAbstractScrollArea *>()) {
        if (table->focusPolicy() == Qt::WheelFocus)
            table->setFocusPolicy(Qt::StrongFocus);
        table->viewport()->installEventFilter(this);
    }
}

bool Panneau_defilant::eventFilter(QObject *objet, QEvent *evenement)
{
    auto *w = qobject_cast<QWidget *>(objet);
    if (evenement->type() == QEvent::ShortcutOverride && w && w != widget()) {
        // Left unclaimed, the keys reach "Annuler" and "Rétablir" of the window.
        const auto *touche = static_cast<const QKeyEvent *>(evenement);
        const QKeySequence sequence(touche->key() | static_cast<int>(touche->modifiers()));
        const bool historique = sequence == QKeySequence(Qt::CTRL + Qt::Key_Z) ||
                                sequence == QKeySequence(Qt::CTRL + Qt::SHIFT + Qt::Key_Z) ||
                                sequence == QKeySequence(Qt::CTRL + Qt::Key_Y);
        if (historique)
            return true;
    }
    // The panel itself is watched by the scroll area, for its size. A table's viewport stands
    // for its table, which has the focus also while one of its cells is edited.
    const auto *table = w ? qobject_cast<const QAbstractScrollArea *>(w->parentWidget()) : nullptr;
    const QWidget *champ = table && table->viewport() == w ? table : w;
    const QWidget *focus = QApplication::focusWidget();
    if (evenement->type() != QEvent::Wheel || !w || w == widget() || !viewport()->isAncestorOf(w) ||
        champ->hasFocus() || (champ != w && focus && champ->isAncestorOf(focus)))
        return QScrollArea::eventFilter(objet, evenement);
    // Sent on rather than ignored: the toolkit passes an ignored wheel to the parent only when
    // it comes from the system.
    const auto *roue = static_cast<const QWheelEvent *>(evenement);
    QWheelEvent panneau(w->mapTo(viewport(), roue->position().toPoint()), roue->globalPosition(),
                        roue->pixelDelta(), roue->angleDelta(), roue->buttons(), roue->modifiers(),
                        roue->phase(), roue->inverted(), roue->source());
    QCoreApplication::sendEvent(viewport(), &panneau);
    return true;
}
