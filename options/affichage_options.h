// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_OPTIONS_AFFICHAGE_OPTIONS_H
#define ORVANE_OPTIONS_AFFICHAGE_OPTIONS_H

// The "Options du disque" dialog: whether the graduations are shown, the graduation steps in
// height and azimuth (degrees), the disc's opacity (percent), the projection, and whether the
// graduations and the read-out write azimuths as the mask table does or as compass bearings. The
// widgets show what the user is editing; only "OK" commits them into the values that the Scene
// paints with.

#include "projection/projection.h"

#include <QDialog>

#include <memory>

namespace Ui
{
class Affichage_Options;
}

class Affichage_Options : public QDialog
{
    Q_OBJECT

public:
    explicit Affichage_Options(QWidget *parent = nullptr);
    ~Affichage_Options() override;

    // Committed values.
    int pas_azimut = 10;  // azimuth graduation step, degrees, 5..30
    int pas_hauteur = 10; // height graduation step, degrees, 5..15
    int opacite = 70;     // disc opacity, percent, 0..100
    Type_Projection projection = Type_Projection::Equidistante;
    Graduations_Azimut graduations_azimut = Graduations_Azimut::Tableau;

    // Commits the given values, and shows them in the widgets, as if typed and accepted.
    void valider(int pas_azimut, int pas_hauteur, int opacite, bool graduations,
                 Type_Projection projection = Type_Projection::Equidistante,
                 Graduations_Azimut graduations_azimut = Graduations_Azimut::Tableau);

public slots:
    void on_bouton_OK_clicked();
    void on_bouton_annuler_clicked();
    void on_bouton_par_defaut_clicked();
    // Committed flag: graduation labels shown.
    bool graduations_affichees() const;
    void on_slider_opacite_valueChanged(int value);
    void on_spinBox_opacite_valueChanged(int valeur);

private:
    std::unique_ptr<Ui::Affichage_Options> ui;
    bool graduations = true;
};

#endif
