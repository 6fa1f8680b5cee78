// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_APP_SAISIE_REGROUPEE_H
#define ORVANE_APP_SAISIE_REGROUPEE_H

// Input that comes faster than the diagram is drawn (a held key, a fast drag) is never queued
// behind it. The first key press or pointer move on a watched widget rebuilds at once, as a
// direct call does; one that comes while the events already queued are still being delivered
// only marks the rebuild as due, and it is made once, with the last value, when they have been
// or when the key or the button is let go. A rebuild asked for outside an input event is always
// made at once.

#include <QObject>

#include <functional>
#include <vector>

class QWidget;

class Saisie_Regroupee : public QObject
{
public:
    Saisie_Regroupee(std::function<void()> reconstruire, QObject *parent);

    // Input events on `widget` go through here.
    void surveiller(QWidget *widget);
    // To call first in the rebuild: true when it is put off, and the caller must return.
    bool differer();

protected:
    bool eventFilter(QObject *objet, QEvent *evenement) override;
    void customEvent(QEvent *evenement) override;

private:
    std::function<void()> reconstruire_;
    std::vector<const QObject *> surveilles_;
    // An input event of a watched widget is being delivered.
    bool en_saisie_ = false;
    // A burst of input is open: the end marker is posted behind the events queued.
    bool rafale_ = false;
    // A rebuild was put off during the burst.
    bool due_ = false;
};

#endif
