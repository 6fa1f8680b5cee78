// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_TESTS_REPONDEUR_H
#define ORVANE_TESTS_REPONDEUR_H

// Answers the modal message boxes that the code under test opens, in the order they come, and
// records what each of them showed. It looks for a new box every few milliseconds from the event
// loop, so it also answers boxes opened inside a slot that a test triggers synchronously.
// Either it is given the button to press on each expected box in turn, or (a_chaque_boite) the
// button to press on every box, however many come.

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QMessageBox>
#include <QObject>
#include <QSettings>
#include <QStringList>
#include <QTimer>

#include <functional>

struct Boite_vue {
    QString titre;
    QString texte;
    QMessageBox::Icon icone = QMessageBox::NoIcon;
    QStringList boutons;
    QMessageBox::StandardButtons standards = QMessageBox::NoButton;
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
        : Repondeur(std::move(reponses), QStringList(), horloge)
    {
    }

    // Presses the button whose text is `bouton` on every box; a box without it is an error and
    // is closed with its escape button. Written `auto r = Repondeur::a_chaque_boite("OK");`:
    // the answerer is built in place, as it can be neither copied nor moved.
    static Repondeur a_chaque_boite(const QString &bouton)
    {
        return Repondeur(QStringList(), {bouton}, nullptr);
    }
    // The first of `boutons` that a box has, on every box.
    static Repondeur a_chaque_boite(const QStringList &boutons)
    {
        return Repondeur(QStringList(), boutons, nullptr);
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

    // "title | text" of each box seen, in order.
    QStringList titres_et_textes() const
    {
        QStringList t;
        for (const Boite_vue &b : boites)
            t << b.titre + QStringLiteral(" | ") + b.texte;
        return t;
    }

private:
    static constexpr int intervalle_ms = 10;

    Repondeur(QStringList reponses, QStringList a_chaque_boite, const QElapsedTimer *horloge)
        : reponses_(std::move(reponses)), a_chaque_boite_(std::move(a_chaque_boite)),
          horloge_(horloge)
    {
        minuterie_.setInterval(intervalle_ms);
        connect(&minuterie_, &QTimer::timeout, this, [this] { examiner(); });
        minuterie_.start();
    }

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
        vue.standards = boite->standardButtons();
        vue.parent = boite->parentWidget();
        vue.vue_a_ms = horloge_ ? horloge_->elapsed() : -1;
        boites << vue;

        const int rang = boites.size() - 1;
        if (!a_chaque_boite_.isEmpty() || rang < reponses_.size()) {
            const QStringList reponses =
                a_chaque_boite_.isEmpty() ? QStringList{reponses_.at(rang)} : a_chaque_boite_;
            for (const QString &reponse : reponses) {
                for (QAbstractButton *b : boite->buttons()) {
                    if (b->text() == reponse) {
                        b->click();
                        return;
                    }
                }
            }
            erreurs << QStringLiteral("box \"%1\" has no button \"%2\" (buttons: %3)")
                           .arg(vue.titre, reponses.join("\" or \""), vue.boutons.join(", "));
        } else {
            erreurs << QStringLiteral("unexpected box \"%1\": %2").arg(vue.titre, vue.texte);
        }
        if (QAbstractButton *echap = boite->escapeButton())
            echap->click();
        else
            boite->reject();
    }

    QStringList reponses_;
    QStringList a_chaque_boite_;
    const QElapsedTimer *horloge_;
    QTimer minuterie_;
};

// Answers a file dialog with the file `chemin`, after choosing the name filter `filtre` when one
// is given, and accepts it as its Open or Save button does. QFileDialog::selectFile leaves the
// name field as it is while that field has the keyboard focus, which it has whenever the
// dialog's window was activated before the answer came: the focus is taken off first, so that
// the file chosen never depends on that timing.
inline void choisir_fichier(QFileDialog *dialogue, const QString &chemin,
                            const QString &filtre = QString())
{
    if (!filtre.isEmpty())
        dialogue->selectNameFilter(filtre);
    if (QWidget *champ = dialogue->focusWidget())
        champ->clearFocus();
    dialogue->selectFile(chemin);
    static_cast<QDialog *>(dialogue)->accept();
}

// The settings that the program and the toolkit's file dialog keep (the folders last used) go
// under `dossier` instead of the user's own. Call it before anything reads them.
inline void reglages_dans(const QString &dossier)
{
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, dossier);
}

#endif
