// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_PROTECTIONS_GROUPE_EXPOSITION_H
#define ORVANE_PROTECTIONS_GROUPE_EXPOSITION_H

// The window dialog's opening ("Baie") and "Exposition au soleil": the opening's dimensions, a
// rule with its parameters shown and editable (a preset edited becomes "Règle personnalisée"),
// and its verdict, computed on a thread of its own and shown when it comes back.

#include "exposition/exposition.h"
#include "trace/diagramme.h"

#include <QWidget>

#include <functional>
#include <optional>

class Calcul_Exposition;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;

class Groupe_Exposition : public QWidget
{
    Q_OBJECT

public:
    Groupe_Exposition(const Ombrage &ombrage, QWidget *parent);

    // The rule, and the study the verdict is computed in (its window replaced by `fenetre()`).
    void montrer(const Regle_Exposition &regle, const Description_Diagramme &description);
    // The window as the dialog holds it now, for the verdict.
    std::function<Ombrage()> fenetre;

    // The opening, the point and the least height into `ombrage`.
    void completer(Ombrage &ombrage) const;
    Regle_Exposition regle() const;
    // Computes the verdict again (the dialog's values changed).
    void relancer();

private:
    void ecrire_regle(const Regle_Exposition &regle, double hauteur_min, Point_Reference point);

    QGroupBox *groupe_baie = nullptr;
    QDoubleSpinBox *largeur = nullptr;
    QDoubleSpinBox *hauteur = nullptr;
    QDoubleSpinBox *allege = nullptr;
    QDoubleSpinBox *epaisseur = nullptr;
    QComboBox *regles = nullptr;
    QLabel *nom = nullptr;
    QDateEdit *debut = nullptr;
    QDateEdit *fin = nullptr;
    QDateEdit *jour = nullptr;
    QCheckBox *chaque_jour = nullptr;
    QDoubleSpinBox *heures = nullptr;
    QDoubleSpinBox *hauteur_min = nullptr;
    QComboBox *points = nullptr;
    QLabel *verdict = nullptr;
    Calcul_Exposition *calcul = nullptr;
    // The rule as chosen or read; the boxes show its first criterion.
    Regle_Exposition m_regle;
    std::optional<Description_Diagramme> m_description;
};

#endif
