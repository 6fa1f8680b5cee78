// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// The inputs that choose what the diagram shows: the two date modes, the date edit and its
// day-of-year slider, the latitude spin box and its slider, the day and year of Mode 2, the
// limit-course and hour-line boxes, and the saved dates. Each change ends in a rebuild.
//
// Coupled widgets signal each other directly, without blocked signals: a widget signals only a
// real change of its value, so every cycle ends by itself.
#include "app/fenetre_principale.h"

#include "ui_fenetre_principale.h"

#include <QMessageBox>

#include <algorithm>

void Fenetre_Principale::on_actionChoisir_ses_dates_triggered()
{
    activation_mode_choisir_date();
}

void Fenetre_Principale::on_actionChoisir_le_jour_pour_les_mois_triggered()
{
    activation_mode_date_par_mois();
}

void Fenetre_Principale::activation_mode_choisir_date()
{
    // Both check states are set here: choosing the active mode again resets it too.
    afficher_mode(Mode_Dates::Dates_choisies);
    on_Bouton_reinitialiser_clicked();
    ui->Bouton_reinitialiser->show();
}

void Fenetre_Principale::activation_mode_date_par_mois()
{
    afficher_mode(Mode_Dates::Jour_des_mois);
    on_Bouton_reinitialiser_clicked();
    ui->Bouton_reinitialiser->hide();
}

void Fenetre_Principale::afficher_mode(Mode_Dates mode)
{
    const bool mois = mode == Mode_Dates::Jour_des_mois;
    ui->actionChoisir_ses_dates->setChecked(!mois);
    ui->actionChoisir_le_jour_pour_les_mois->setChecked(mois);
    ui->label_numero_jour->setVisible(mois);
    ui->spinBox_numero_jour->setVisible(mois);
    ui->label_annee->setVisible(mois);
    ui->spinBox_annee->setVisible(mois);
    ui->label_date->setVisible(!mois);
    ui->Date->setVisible(!mois);
    ui->slider_date->setVisible(!mois);
    ui->Bouton_Enregistrer_Date->setVisible(!mois);
}

void Fenetre_Principale::on_Date_dateChanged(QDate date)
{
    Q_UNUSED(date)
    course_Soleil();

    // The slider follows the date edit, never the other way round here. Its value is moved
    // while it still fits the old range and the range changed while it fits the new one, so
    // that the slider never clamps itself to a day that would move the date the user chose
    // (31 December of a leap year to 15 March of a common year: 366 → 74, then 365).
    const QDate choisie = ui->Date->date();
    const int longueur = choisie.daysInYear();
    if (longueur >= ui->slider_date->maximum()) {
        ui->slider_date->setMaximum(longueur);
        ui->slider_date->setValue(choisie.dayOfYear());
    } else {
        ui->slider_date->setValue(choisie.dayOfYear());
        ui->slider_date->setMaximum(longueur);
    }
}

void Fenetre_Principale::on_slider_date_valueChanged(int value)
{
    // When the slider only follows the date edit this is the edit's own date: setting it again
    // signals nothing, which ends the cycle.
    const int annee = ui->Date->date().year();
    ui->Date->setDate(QDate(annee, mois_depuis_num(value), jour_depuis_num(value)));
}

void Fenetre_Principale::on_latitude_valueChanged(double arg1)
{
    course_Soleil();
    // The slider carries the whole part; when that changes, it sets the spin box to it, so a
    // fraction stays only while the whole part does.
    ui->slider_latitude->setValue(static_cast<int>(arg1));
}

void Fenetre_Principale::on_slider_latitude_valueChanged(int value)
{
    // A spin box that already holds the whole number is left alone, so that typing 45,5 goes
    // through 4 and 45 without the text being rewritten under the cursor (4 would become
    // "4,00").
    if (ui->latitude->value() != value)
        ui->latitude->setValue(value);
}

void Fenetre_Principale::on_spinBox_numero_jour_valueChanged(int arg1)
{
    Q_UNUSED(arg1)
    course_Soleil();
}

void Fenetre_Principale::on_spinBox_annee_valueChanged(int arg1)
{
    Q_UNUSED(arg1)
    course_Soleil();
}

void Fenetre_Principale::on_check_limite_clicked()
{
    if (!ui->check_limite->isChecked()) {
        // No hour lines without the limit courses that they span.
        ui->check_heures->setChecked(false);
        ui->check_heures->setEnabled(false);
        course_Soleil();
    } else {
        course_Soleil();
        ui->check_heures->setEnabled(true);
    }
}

void Fenetre_Principale::on_check_heures_clicked()
{
    course_Soleil();
}

void Fenetre_Principale::on_Bouton_Enregistrer_Date_clicked()
{
    const QDate date = ui->Date->date();
    if (std::find(dates_enregistrees.begin(), dates_enregistrees.end(), date) !=
        dates_enregistrees.end())
        return;
    if (nb_clic_enregistrer_date >= dates_enregistrees_max) {
        QMessageBox::warning(this, tr("Attention!"),
                             tr("Vous ne pouvez pas afficher plus 12 dates simultanément!"));
        return;
    }
    // One slot per day of the year: a date of another year on the same day replaces the one
    // held there, and the count of saved dates stays as it is.
    QDate &emplacement = dates_enregistrees[static_cast<std::size_t>(date.dayOfYear() - 1)];
    const bool libre = emplacement.isNull();
    emplacement = date;
    ui->Bouton_reinitialiser->setEnabled(true);
    if (libre)
        ++nb_clic_enregistrer_date;
    // No rebuild: the saved date is the current date, already drawn in red.
    noter_etape();
}

void Fenetre_Principale::on_Bouton_reinitialiser_clicked()
{
    dates_enregistrees.fill(QDate());
    while (ui->tableau_sorties->rowCount() > 1)
        ui->tableau_sorties->removeRow(ui->tableau_sorties->rowCount() - 1);
    course_Soleil();
    ui->Bouton_reinitialiser->setEnabled(false);
    nb_clic_enregistrer_date = 0;
}
