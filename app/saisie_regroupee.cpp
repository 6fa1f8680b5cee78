// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "app/saisie_regroupee.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

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
}

void Saisie_Regroupee::surveiller(QWidget *widget)
{
    widget->installEventFilter(this);
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
    if (en_saisie_ || !est_saisie(evenement->type()))
        return false;
    // Delivered here, so that the rebuilds it asks for know that they answer input. It has
    // gone to the widget and its parents: it is not delivered again.
    en_saisie_ = true;
    QCoreApplication::sendEvent(objet, evenement);
    en_saisie_ = false;
    evenement->accept();
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
