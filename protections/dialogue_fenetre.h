// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_PROTECTIONS_DIALOGUE_FENETRE_H
#define ORVANE_PROTECTIONS_DIALOGUE_FENETRE_H

// "Fenêtre et obstacles": the window's facade, its overhang and fins, and the walls around it
// (ombrage/ombrage.h), each element switched on or off by its box. The dialog only edits a value:
// the window reads it back when the dialog is accepted. Lengths in metres, bearings in compass
// degrees (0 north, 90 east).

#include "exposition/exposition.h"
#include "ombrage/ombrage.h"

#include <QDialog>

class Groupe_Exposition;
struct Description_Diagramme;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTableWidget;

class Dialogue_Fenetre : public QDialog
{
    Q_OBJECT

public:
    explicit Dialogue_Fenetre(const Ombrage &ombrage, QWidget *parent = nullptr);

    // What the dialog holds now; the values of an element switched off are kept.
    Ombrage valeur() const;

    // "OK": refused, with its reason shown, while a wall passes on the point.
    void accept() override;

    // The exposure rule shown, and the study its verdict is computed in.
    void montrer_exposition(const Regle_Exposition &regle,
                            const Description_Diagramme &description);
    Regle_Exposition exposition() const;

private:
    // The quick pick of `orientation`: 1 + its rank from north when it is one of the eight, else
    // the blank entry 0.
    static int repere(double orientation);
    // A wall's row, at the end of the table.
    void ajouter_obstacle(const Obstacle &obstacle);

    QGroupBox *groupe_facade = nullptr;
    QDoubleSpinBox *orientation = nullptr;
    QComboBox *reperes = nullptr;
    QGroupBox *groupe_casquette = nullptr;
    QDoubleSpinBox *casquette_profondeur = nullptr;
    QDoubleSpinBox *casquette_hauteur = nullptr;
    QDoubleSpinBox *casquette_gauche = nullptr;
    QDoubleSpinBox *casquette_droite = nullptr;
    QGroupBox *groupe_joue_gauche = nullptr;
    QDoubleSpinBox *joue_gauche_profondeur = nullptr;
    QDoubleSpinBox *joue_gauche_distance = nullptr;
    QGroupBox *groupe_joue_droite = nullptr;
    QDoubleSpinBox *joue_droite_profondeur = nullptr;
    QDoubleSpinBox *joue_droite_distance = nullptr;
    QGroupBox *groupe_obstacles = nullptr;
    QTableWidget *obstacles = nullptr;
    QPushButton *bouton_ajouter = nullptr;
    QLabel *refus = nullptr;
    // The opening and the exposure rule.
    Groupe_Exposition *groupe_exposition = nullptr;
    // The facade as it came in, finer than the boxes show.
    const Facade depart;
};

#endif
