// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "options/affichage_options.h"

#include "ui_affichage_options.h"

#include <QIcon>

namespace
{
// Defaults of the form, of a new dialog and of "Par défaut".
constexpr bool graduations_par_defaut = true;
constexpr int pas_hauteur_par_defaut = 10; // degrees
constexpr int pas_azimut_par_defaut = 10;  // degrees
constexpr int opacite_par_defaut = 70;     // percent
} // namespace

Affichage_Options::Affichage_Options(QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::Affichage_Options>())
{
    ui->setupUi(this);

    ui->spinBox_pas_azimut->setValue(pas_azimut_par_defaut);
    ui->spinBox_pas_hauteur->setValue(pas_hauteur_par_defaut);
    ui->spinBox_opacite->setValue(opacite_par_defaut);

    pas_azimut = ui->spinBox_pas_azimut->value();
    pas_hauteur = ui->spinBox_pas_hauteur->value();
    opacite = ui->spinBox_opacite->value();

    ui->checkBox_affichage_graduations->setChecked(graduations_par_defaut);
    graduations = graduations_par_defaut;

    setWindowTitle(tr("Options du disque"));
    setWindowIcon(QIcon(QStringLiteral(":/ressourcesImages/logo_application")));
}

Affichage_Options::~Affichage_Options() = default;

void Affichage_Options::on_bouton_OK_clicked()
{
    pas_azimut = ui->spinBox_pas_azimut->value();
    pas_hauteur = ui->spinBox_pas_hauteur->value();
    opacite = ui->spinBox_opacite->value();
    graduations = ui->checkBox_affichage_graduations->isChecked();
    projection = static_cast<Type_Projection>(ui->combo_projection->currentIndex());
    graduations_azimut = static_cast<Graduations_Azimut>(ui->combo_graduations->currentIndex());
    close();
}

void Affichage_Options::valider(int azimut, int hauteur, int opacite_disque, bool affichees,
                                Type_Projection projection_disque, Graduations_Azimut convention)
{
    graduations_azimut = convention;
    ui->combo_graduations->setCurrentIndex(static_cast<int>(convention));
    pas_azimut = azimut;
    pas_hauteur = hauteur;
    opacite = opacite_disque;
    graduations = affichees;
    projection = projection_disque;
    ui->combo_projection->setCurrentIndex(static_cast<int>(projection));
    ui->spinBox_pas_azimut->setValue(pas_azimut);
    ui->spinBox_pas_hauteur->setValue(pas_hauteur);
    ui->spinBox_opacite->setValue(opacite); // the slider follows
    ui->checkBox_affichage_graduations->setChecked(graduations);
}

void Affichage_Options::on_bouton_annuler_clicked()
{
    ui->spinBox_pas_azimut->setValue(pas_azimut);
    ui->spinBox_pas_hauteur->setValue(pas_hauteur);
    ui->spinBox_opacite->setValue(opacite); // the slider follows
    ui->checkBox_affichage_graduations->setChecked(graduations);
    ui->combo_projection->setCurrentIndex(static_cast<int>(projection));
    ui->combo_graduations->setCurrentIndex(static_cast<int>(graduations_azimut));
    close();
}

void Affichage_Options::on_bouton_par_defaut_clicked()
{
    // The widgets only: the committed values stay until "OK".
    ui->spinBox_pas_azimut->setValue(pas_azimut_par_defaut);
    ui->spinBox_pas_hauteur->setValue(pas_hauteur_par_defaut);
    ui->spinBox_opacite->setValue(opacite_par_defaut);
    ui->checkBox_affichage_graduations->setChecked(graduations_par_defaut);
    ui->combo_projection->setCurrentIndex(static_cast<int>(Type_Projection::Equidistante));
    ui->combo_graduations->setCurrentIndex(static_cast<int>(Graduations_Azimut::Tableau));
}

bool Affichage_Options::graduations_affichees() const
{
    return graduations;
}

void Affichage_Options::on_slider_opacite_valueChanged(int value)
{
    // Setting the value the spin box already has emits nothing, so the echo stops here.
    ui->spinBox_opacite->setValue(value);
}

void Affichage_Options::on_spinBox_opacite_valueChanged(int valeur)
{
    ui->slider_opacite->setValue(valeur);
}
