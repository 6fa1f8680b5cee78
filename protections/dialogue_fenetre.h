// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_PROTECTIONS_DIALOGUE_FENETRE_H
#define ORVANE_PROTECTIONS_DIALOGUE_FENETRE_H

// "Fenêtre et obstacles": the window's facade, its overhang and fins, and the walls around it
// (ombrage/ombrage.h), each element switched on or off by its box, beside a plan and a section
// redrawn as the values change. A wall is typed by its two ends or as a building front; both
// give the same stored wall. The dialog only edits a value: the window reads it back when the
// dialog is accepted. Lengths in metres, bearings in compass degrees (0 north, 90 east); left and
// right as seen from inside, looking out.

#include "ombrage/ombrage.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTableWidget;
class QVBoxLayout;
class Delegue_Obstacles;
class Vue_Croquis;

class Dialogue_Fenetre : public QDialog
{
    Q_OBJECT

public:
    explicit Dialogue_Fenetre(const Ombrage &ombrage, QWidget *parent = nullptr);

    // What the dialog holds now; the values of an element switched off are kept.
    Ombrage valeur() const;

    // "OK": refused, with its reason shown, while a wall passes on the point.
    void accept() override;

private:
    // The quick pick of `orientation`: 1 + its rank from north when it is one of the eight, else
    // the blank entry 0.
    static int repere(double orientation);
    // A wall's row, at the end of the table.
    void ajouter_obstacle(const Obstacle &obstacle);
    // Row `ligne`'s cells from its wall, in the way the walls are typed now.
    void ecrire_ligne(int ligne);
    // Whether the walls are typed as building fronts.
    bool en_fronts() const;
    // The headers and the note of the way the walls are typed now, and every row's cells.
    void montrer_saisie();
    // The sketches, from the values as they stand.
    void actualiser_croquis();

    // The fields' column, beside the sketches.
    QVBoxLayout *champs = nullptr;
    QGroupBox *groupe_facade = nullptr;
    QDoubleSpinBox *orientation = nullptr;
    QComboBox *reperes = nullptr;
    QGroupBox *groupe_casquette = nullptr;
    QDoubleSpinBox *casquette_profondeur = nullptr;
    QDoubleSpinBox *casquette_hauteur = nullptr;
    QDoubleSpinBox *casquette_gauche = nullptr;
    QDoubleSpinBox *casquette_droite = nullptr;
    QCheckBox *casquette_gauche_toute = nullptr;
    QCheckBox *casquette_droite_toute = nullptr;
    QGroupBox *groupe_joue_gauche = nullptr;
    QDoubleSpinBox *joue_gauche_profondeur = nullptr;
    QDoubleSpinBox *joue_gauche_distance = nullptr;
    QGroupBox *groupe_joue_droite = nullptr;
    QDoubleSpinBox *joue_droite_profondeur = nullptr;
    QDoubleSpinBox *joue_droite_distance = nullptr;
    QGroupBox *groupe_obstacles = nullptr;
    QComboBox *saisie = nullptr;
    QLabel *note_saisie = nullptr;
    QTableWidget *obstacles = nullptr;
    Delegue_Obstacles *delegue = nullptr;
    // Each row's wall as stored, finer than its cells show; a cell typed in replaces it.
    std::vector<Obstacle> murs;
    Vue_Croquis *plan = nullptr;
    Vue_Croquis *coupe = nullptr;
    QPushButton *bouton_ajouter = nullptr;
    QLabel *refus = nullptr;
    // The facade as it came in, finer than the boxes show.
    const Facade depart;
};

#endif
