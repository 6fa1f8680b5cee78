// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "exposition/calcul.h"

#include <QMetaObject>
#include <QPointer>

Calcul_Exposition::Calcul_Exposition(QObject *parent)
    : QObject(parent), m_derniere(std::make_shared<std::atomic<int>>(0))
{
    qRegisterMetaType<Verdict_Exposition>();
    m_fil.setObjectName(QStringLiteral("exposition"));
    // Lives on the thread, deleted there when it ends.
    m_travailleur = new QObject; // owned by the thread's end, below
    m_travailleur->moveToThread(&m_fil);
    connect(&m_fil, &QThread::finished, m_travailleur, &QObject::deleteLater);
    m_fil.start();
}

Calcul_Exposition::~Calcul_Exposition()
{
    m_derniere->store(-1);
    m_fil.quit();
    m_fil.wait();
}

void Calcul_Exposition::demander(const Etude_Exposition &etude)
{
    const int numero = ++*m_derniere;
    const std::shared_ptr<std::atomic<int>> derniere = m_derniere;
    const QPointer<Calcul_Exposition> demandeur(this);
    QMetaObject::invokeMethod(m_travailleur, [etude, numero, derniere, demandeur] {
        if (derniere->load() != numero)
            return;
        const Verdict_Exposition verdict = evaluer_exposition(etude);
        if (derniere->load() != numero || !demandeur)
            return;
        QMetaObject::invokeMethod(
            demandeur.data(),
            [demandeur, verdict, numero, derniere] {
                if (demandeur && derniere->load() == numero)
                    emit demandeur->verdict_pret(verdict);
            },
            Qt::QueuedConnection);
    });
}
