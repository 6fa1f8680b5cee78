// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "historique/historique.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QUndoCommand>

#include <utility>

std::optional<Difference_Sites> difference_sites(const Site &avant, const Site &apres)
{
    const Description_Diagramme &a = avant.diagramme;
    const Description_Diagramme &b = apres.diagramme;
    const auto nom = [](const char *texte) { return Historique::tr(texte); };
    if (a.mode != b.mode)
        return Difference_Sites{Genre_Etape::Mode, nom("Mode d'utilisation")};
    if (a.fuseau != b.fuseau)
        return Difference_Sites{Genre_Etape::Fuseau, nom("Fuseau horaire")};
    if (a.latitude != b.latitude)
        return Difference_Sites{Genre_Etape::Latitude, nom("Latitude")};
    if (a.longitude != b.longitude)
        return Difference_Sites{Genre_Etape::Longitude, nom("Longitude")};
    if (a.echelle != b.echelle)
        return Difference_Sites{Genre_Etape::Echelle, nom("Échelle des heures")};
    if (a.modele != b.modele)
        return Difference_Sites{Genre_Etape::Modele, nom("Modèle du soleil")};
    if (a.date_choisie != b.date_choisie)
        return Difference_Sites{Genre_Etape::Date, nom("Date")};
    if (a.dates_enregistrees != b.dates_enregistrees)
        return Difference_Sites{Genre_Etape::Dates_enregistrees, b.dates_enregistrees.isEmpty()
                                                                     ? nom("Réinitialisation")
                                                                     : nom("Enregistrer la date")};
    if (a.jour_des_mois != b.jour_des_mois)
        return Difference_Sites{Genre_Etape::Jour_des_mois, nom("Jour des mois")};
    if (a.annee != b.annee)
        return Difference_Sites{Genre_Etape::Annee, nom("Année")};
    if (a.limites != b.limites)
        return Difference_Sites{Genre_Etape::Limites, nom("Délimiter la course")};
    if (a.heures != b.heures)
        return Difference_Sites{Genre_Etape::Heures, nom("Afficher les heures")};
    if (avant.masques != apres.masques)
        return Difference_Sites{Genre_Etape::Masques, nom("Tableau des masques")};
    if (avant.conserver_masques != apres.conserver_masques)
        return Difference_Sites{Genre_Etape::Conserver_masques, nom("Conserver les masques")};
    if (avant.jonction_masques != apres.jonction_masques)
        return Difference_Sites{Genre_Etape::Jonction_masques, nom("Jonction des lignes")};
    if (a.ombrage != b.ombrage)
        return Difference_Sites{Genre_Etape::Fenetre, nom("Fenêtre et obstacles")};
    if (a.options != b.options)
        return Difference_Sites{Genre_Etape::Options, nom("Options graphiques")};
    if (a.projet != b.projet)
        return Difference_Sites{Genre_Etape::Projet, nom("Propriétés du projet")};
    return std::nullopt;
}

// One step: the whole state before and after. The stack redoes a step as it takes it; the
// window already shows that state then, so the first redo does nothing.
class Etape_Site : public QUndoCommand
{
public:
    Etape_Site(Historique &h, Site av, Site ap, Genre_Etape g, bool nommee, const QString &nom)
        : QUndoCommand(nom), historique(h), avant(std::move(av)), apres(std::move(ap)), genre(g),
          geste(nommee ? -1 : h.geste)
    {
    }

    void undo() override { historique.remettre(avant); }
    void redo() override
    {
        if (prise)
            historique.remettre(apres);
        prise = true;
    }
    int id() const override { return geste < 0 ? -1 : 1; }
    bool mergeWith(const QUndoCommand *commande) override
    {
        const auto *suivante = static_cast<const Etape_Site *>(commande);
        if (suivante->genre != genre || suivante->geste != geste)
            return false;
        apres = suivante->apres;
        // A slider dragged back to where it started leaves no step.
        setObsolete(apres == avant);
        return true;
    }

private:
    Historique &historique;
    const Site avant;
    Site apres;
    const Genre_Etape genre;
    const int geste;
    bool prise = false;
};

Historique::Historique(std::function<Site(const Site &)> appliquer_etat, QObject *parent)
    : QObject(parent), appliquer(std::move(appliquer_etat))
{
    pile_.setUndoLimit(etapes_max);
    QCoreApplication::instance()->installEventFilter(this);
}

void Historique::commencer(const Site &etat)
{
    pile_.clear();
    courant = etat;
}

void Historique::noter(const Site &etat, const QString &nom)
{
    if (!actif())
        return;
    const std::optional<Difference_Sites> difference = difference_sites(*courant, etat);
    if (!difference)
        return;
    const Site avant = *std::exchange(courant, etat);
    pile_.push(new Etape_Site(*this, avant, etat, difference->genre, !nom.isEmpty(),
                              nom.isEmpty() ? difference->nom : nom));
}

void Historique::remettre(const Site &etat)
{
    const Pause pause(*this);
    courant = appliquer(etat);
}

bool Historique::eventFilter(QObject *objet, QEvent *evenement)
{
    switch (evenement->type()) {
    case QEvent::MouseButtonRelease:
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        ++geste;
        break;
    case QEvent::KeyRelease: {
        const auto *touche = static_cast<const QKeyEvent *>(evenement);
        // Typing a number goes on until Enter, Tab or a click commits it.
        const bool saisie = (!touche->text().isEmpty() && touche->text().at(0).isPrint()) ||
                            touche->key() == Qt::Key_Backspace || touche->key() == Qt::Key_Delete;
        if (!touche->isAutoRepeat() && !saisie)
            ++geste;
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(objet, evenement);
}
