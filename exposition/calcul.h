// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_EXPOSITION_CALCUL_H
#define ORVANE_EXPOSITION_CALCUL_H

// The exposure verdict computed on a thread of its own, so that the interface never waits for
// its scan of the period: each request replaces the one before, and only the last one's verdict
// comes back, queued to the requester's thread.

#include "exposition/exposition.h"

#include <QObject>
#include <QThread>

#include <atomic>
#include <memory>

Q_DECLARE_METATYPE(Etude_Exposition)
Q_DECLARE_METATYPE(Verdict_Exposition)

class Calcul_Exposition : public QObject
{
    Q_OBJECT

public:
    explicit Calcul_Exposition(QObject *parent = nullptr);
    // Waits for the verdict under way, if any.
    ~Calcul_Exposition() override;

    void demander(const Etude_Exposition &etude);

signals:
    void verdict_pret(const Verdict_Exposition &verdict);

private:
    QThread m_fil;
    // The last request's number: a verdict of an older one is dropped, and an older request
    // still waiting is not computed.
    std::shared_ptr<std::atomic<int>> m_derniere;
    QObject *m_travailleur = nullptr;
};

#endif
