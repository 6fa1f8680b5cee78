// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_HISTORIQUE_HISTORIQUE_H
#define ORVANE_HISTORIQUE_HISTORIQUE_H

// Undo and redo of the window's inputs. The site value holds the whole input state, so a step is
// the state before and the state after it; undoing or redoing one puts a whole state back
// through the path that opens a site, and never touches a file.
//
// Changes of one input within one gesture fold into one step: a slider dragged, a key held, a
// number typed into a spin box. A gesture ends when a mouse button or a key other than a typing
// key is released, or when the focus moves; the history watches the application's events for
// those and nothing else.

#include "site/site.h"

#include <QObject>
#include <QString>
#include <QUndoStack>

#include <functional>
#include <optional>

// The input a step changed: the first that differs between two states, in the panel's order
// (a zone that brings its city's longitude is a change of zone).
enum class Genre_Etape {
    Mode,
    Fuseau,
    Latitude,
    Longitude,
    Echelle,
    Modele,
    Date,
    Dates_enregistrees,
    Jour_des_mois,
    Annee,
    Limites,
    Heures,
    Masques,
    Conserver_masques,
    Jonction_masques,
    Fenetre,
    Options,
    Projet,
};

struct Difference_Sites {
    Genre_Etape genre;
    // The step as the "Édition" menu names it, in French: "Latitude", "Réinitialisation".
    QString nom;
};

// What changed from `avant` to `apres`; nothing when the two sites are equal.
std::optional<Difference_Sites> difference_sites(const Site &avant, const Site &apres);

class Historique : public QObject
{
    Q_OBJECT

public:
    // At most this many steps are kept; the oldest go first.
    static constexpr int etapes_max = 100;

    // `appliquer` puts a state into the window and returns the state the window then holds
    // (the widgets may round what they are given).
    explicit Historique(std::function<Site(const Site &)> appliquer, QObject *parent = nullptr);

    // The state to start from, with no step to undo; until then nothing is recorded.
    void commencer(const Site &etat);
    // The window's state now: a step from the last state recorded to this one, if they differ,
    // named `nom` or else after what changed. A named step never folds into another.
    void noter(const Site &etat, const QString &nom = QString());
    // Whether `noter` records now: once started, and outside every pause.
    bool actif() const { return courant && pauses == 0; }

    QUndoStack &pile() { return pile_; }

    // The ends of gestures.
    bool eventFilter(QObject *objet, QEvent *evenement) override;

    // While one lives, nothing is recorded: an action that changes several inputs one after
    // the other is recorded once, as a whole, when it is over.
    class Pause
    {
    public:
        explicit Pause(Historique &h) : historique(h) { ++historique.pauses; }
        ~Pause() { --historique.pauses; }
        Pause(const Pause &) = delete;
        Pause &operator=(const Pause &) = delete;

    private:
        Historique &historique;
    };

private:
    friend class Etape_Site;
    void remettre(const Site &etat);

    std::function<Site(const Site &)> appliquer;
    QUndoStack pile_;
    std::optional<Site> courant;
    // Number of the present gesture; a step folds only into a step of the same gesture.
    int geste = 0;
    int pauses = 0;
};

#endif
