// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "app/saisie_regroupee.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QWidget>

#include <algorithm>
#include <utility>

namespace
{
// Posted behind the input already queued: when it arrives, that input has all been delivered.
const QEvent::Type fin_de_rafale = static_cast<QEvent::Type>(QEvent::registerEventType());

bool est_saisie(QEvent::Type type)
{
    return type == QEvent::KeyPress || type == QEvent::MouseMove;
}
} // namespace

Saisie_Regroupee::Saisie_Regroupee(std::function<void()> reconstruire, QObject *parent)
    : QObject(parent), reconstruire_(std::move(reconstruire))
{
    // On the application rather than on the widgets: its filters run before theirs, the last
    // installed first, so that a release is seen here before the undo history, made earlier,
    // counts it as the end of a gesture, and what it draws belongs to that gesture.
    QCoreApplication::instance()->installEventFilter(this);
}

void Saisie_Regroupee::surveiller(QWidget *widget)
{
    surveilles_.push_back(widget);
}

bool Saisie_Regroupee::differer()
{
    if (!en_saisie_)
        return false;
    if (rafale_) {
        due_ = true;
        return true;
    }
    rafale_ = true;
    QCoreApplication::postEvent(this, new QEvent(fin_de_rafale), Qt::LowEventPriority);
    return false;
}

bool Saisie_Regroupee::eventFilter(QObject *objet, QEvent *evenement)
{
    // A key or a button let go ends the gesture: what was put off is drawn at once, so that the
    // diagram is up to date as soon as the hand is lifted, event loop or not.
    const QEvent::Type type = evenement->type();
    const bool fin = (type == QEvent::KeyRelease &&
                      !static_cast<const QKeyEvent *>(evenement)->isAutoRepeat()) ||
                     type == QEvent::MouseButtonRelease;
    if (en_saisie_ || !(est_saisie(type) || fin) ||
        std::find(surveilles_.cbegin(), surveilles_.cend(), objet) == surveilles_.cend())
        return false;
    // What was put off is drawn before the release goes on, as part of the gesture it ends.
    const auto rattraper = [this, fin] {
        if (fin && due_) {
            due_ = false;
            reconstruire_();
        }
    };
    rattraper();
    // Delivered here, so that the rebuilds it asks for know that they answer input. It has
    // gone to the widget and its parents: it is not delivered again.
    en_saisie_ = true;
    QCoreApplication::sendEvent(objet, evenement);
    en_saisie_ = false;
    evenement->accept();
    rattraper();
    return true;
}

void Saisie_Regroupee::customEvent(QEvent *evenement)
{
    if (evenement->type() != fin_de_rafale)
        return;
    rafale_ = false;
    if (!due_)
        return;
    // The last value drawn once; input that comes meanwhile opens a new burst behind it.
    due_ = false;
    rafale_ = true;
    QCoreApplication::postEvent(this, new QEvent(fin_de_rafale), Qt::LowEventPriority);
    reconstruire_();
}
