// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// The rebuild of the diagram: the widgets and the saved dates are read into a description,
// which is drawn afresh on the scene; the rows that the drawing returns refill the output table.
#include "app/fenetre_principale.h"
#include "app/saisie_regroupee.h"

#include "diagram/scene.h"
#include "masks/points_masque.h"
#include "ui_fenetre_principale.h"

#include <QResizeEvent>
#include <QSplitter>
#include <QStandardItemModel>

void Fenetre_Principale::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    // The view may have been fitted already, when its own resize came first.
    ui->centralWidget->layout()->activate();
    // The panel's width kept from an earlier run, once the splitter has its first size; the
    // view takes the rest.
    if (largeur_panneau_a_rendre > 0) {
        auto *separateur = findChild<QSplitter *>(QStringLiteral("separateur"));
        const int reste = separateur->width() - separateur->handleWidth();
        separateur->setSizes({reste - largeur_panneau_a_rendre, largeur_panneau_a_rendre});
        largeur_panneau_a_rendre = 0;
    }
    if (scene->sceneRect().size() != QSizeF(ui->graphicsView->size()))
        ajuster_vue();
}

void Fenetre_Principale::ajuster_vue()
{
    // The window's layout has just given the central widget its new size; on the first show
    // the central widget's own layout has not yet passed it on to the view, so it is applied
    // now and the view's size read below is the one it will be shown at.
    ui->centralWidget->layout()->activate();
    ajuster_scene(*scene, ui->graphicsView->size());
    course_Soleil();
}

Description_Diagramme Fenetre_Principale::description_diagramme() const
{
    Description_Diagramme description;
    description.latitude = ui->latitude->value();
    description.longitude = ui->longitude->value();
    // The first zone offered, "UTC", is the clock of an empty zone.
    if (ui->combo_fuseau->currentIndex() > 0)
        description.fuseau = ui->combo_fuseau->currentText().toLatin1();
    description.echelle = ui->combo_echelle->currentIndex() == 1
                              ? Echelle_Heures::Heure_legale
                              : Echelle_Heures::Temps_solaire_vrai;
    description.modele =
        ui->combo_modele->currentIndex() == 1 ? Modele_Soleil::precis : Modele_Soleil::simple;
    description.mode = ui->actionChoisir_le_jour_pour_les_mois->isChecked()
                           ? Mode_Dates::Jour_des_mois
                           : Mode_Dates::Dates_choisies;
    description.date_choisie = ui->Date->date();
    // The slots are in order of day of the year, the order the dates take their colours in.
    for (const QDate &date : dates_enregistrees)
        if (!date.isNull())
            description.dates_enregistrees.append(date);
    description.jour_des_mois = ui->spinBox_numero_jour->value();
    description.annee = ui->spinBox_annee->value();
    description.limites = ui->check_limite->isChecked();
    // The box can only be ticked while "Délimiter la course" is.
    description.heures = ui->check_heures->isChecked();
    const Affichage_Options &options = scene->options;
    description.options = {options.pas_hauteur, options.pas_azimut,
                           options.opacite,     options.graduations_affichees(),
                           options.projection,  options.graduations_azimut};
    description.ombrage = ombrage;
    description.exposition = exposition;
    description.photo = photo;
    description.taille = ui->graphicsView->size();
    description.projet = projet;
    return description;
}

void Fenetre_Principale::dessiner(const Description_Diagramme &description)
{
    description_dessinee = description;
    lignes_sorties = dessiner_diagramme(*scene, description);
    courses_a_jour = false;
    ecrire_tableau_sorties(lignes_sorties, colonnes_masque(description),
                           description.ombrage.facade_active());
    suivre_vue_annee();
}

void Fenetre_Principale::course_Soleil()
{
    if (saisie_regroupee && saisie_regroupee->differer())
        return;
    // Kept masks: the outline is validated and the diagram drawn with it. A valid table has
    // the diagram drawn once, outline and all; one that is not leaves the diagram without the
    // outline, and the warning says why. Without them the box has nothing to keep.
    const bool masques = ui->check_conserver_masques->isChecked();
    if (!masques || !points_masque(lignes_du_modele(*modele_masques)).valide())
        dessiner(description_diagramme());
    if (masques)
        on_bouton_masques_clicked();
    else
        ui->check_conserver_masques->setEnabled(false);
    noter_etape();
}
