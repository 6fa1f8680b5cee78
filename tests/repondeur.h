// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_TESTS_REPONDEUR_H
#define ORVANE_TESTS_REPONDEUR_H

// Answers the modal message boxes that the code under test opens, in the order they come, and
// records what each of them showed. It looks for a new box every few milliseconds from the event
// loop, so it also answers boxes opened inside a slot that a test triggers synchronously.

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>

struct Boite_vue {
    QString titre;
    QString texte;
    QMessageBox::Icon icone = QMessageBox::NoIcon;
    QStringList boutons;
    QWidget *parent = nullptr;
    // When the box was first seen, ms on the clock given to the answerer.
    qint64 vue_a_ms = -1;
};

class Repondeur : public QObject
{
public:
    // `reponses`: the texts of the buttons to press, one per expected box. A box beyond them
    // is recorded as unexpected and closed with its escape button, so no test hangs.
    explicit Repondeur(QStringList reponses, const QElapsedTimer *horloge = nullptr)
        : reponses_(std::move(reponses)), horloge_(horloge)
    {
        minuterie_.setInterval(intervalle_ms);
        connect(&minuterie_, &QTimer::timeout, this, [this] { examiner(); });
        minuterie_.start();
    }

    // Called with any other modal widget (a file dialog, say); it must close it.
    std::function<void(QWidget *)> autre_fenetre;

    QList<Boite_vue> boites;
    QStringList erreurs;

    QStringList titres() const
    {
        QStringList t;
        for (const Boite_vue &b : boites)
            t << b.titre;
        return t;
    }

private:
    static constexpr int intervalle_ms = 10;

    void examiner()
    {
        QWidget *modale = QApplication::activeModalWidget();
        if (!modale || modale->property("orvane_repondue").toBool())
            return;
        modale->setProperty("orvane_repondue", true);
        auto *boite = qobject_cast<QMessageBox *>(modale);
        if (!boite) {
            if (autre_fenetre) {
                autre_fenetre(modale);
            } else {
                erreurs << QStringLiteral("unexpected window %1").arg(modale->objectName());
                modale->close();
            }
            return;
        }
        Boite_vue vue;
        vue.titre = boite->windowTitle();
        vue.texte = boite->text();
        vue.icone = boite->icon();
        for (QAbstractButton *b : boite->buttons())
            vue.boutons << b->text();
        vue.parent = boite->parentWidget();
        vue.vue_a_ms = horloge_ ? horloge_->elapsed() : -1;
        boites << vue;

        const int rang = boites.size() - 1;
        if (rang < reponses_.size()) {
            for (QAbstractButton *b : boite->buttons()) {
                if (b->text() == reponses_.at(rang)) {
                    b->click();
                    return;
                }
            }
            erreurs << QStringLiteral("box \"%1\" has no button \"%2\" (buttons: %3)")
                           .arg(vue.titre, reponses_.at(rang), vue.boutons.join(", "));
        } else {
            erreurs << QStringLiteral("unexpected box \"%1\": %2").arg(vue.titre, vue.texte);
        }
        if (QAbstractButton *echap = boite->escapeButton())
            echap->click();
        else
            boite->reject();
    }

    QStringList reponses_;
    const QElapsedTimer *horloge_;
    QTimer minuterie_;
};

#endif
