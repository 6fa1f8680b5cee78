// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// The main window's site files: "Ouvrir un site...", "Enregistrer le site", "Enregistrer le
// site sous...", a site file dropped on the window, the question asked before unsaved changes
// to a site are lost, and "Annuler" and "Rétablir", which put a whole site back. The file
// itself is read and written by site/site.h; here the widgets are read into a site and a site
// put into the widgets.
#include "app/fenetre_principale.h"

#include "app/dossiers.h"
#include "diagram/scene.h"
#include "site/dialogue_projet.h"
#include "ui_fenetre_principale.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStandardItemModel>
#include <QUrl>

namespace
{

// The one local site file that a drag carries, or an empty string.
QString fichier_depose(const QMimeData *donnees)
{
    if (!donnees || !donnees->hasUrls() || donnees->urls().size() != 1)
        return {};
    const QUrl url = donnees->urls().constFirst();
    if (!url.isLocalFile())
        return {};
    const QString chemin = url.toLocalFile();
    return QFileInfo(chemin).suffix().compare(suffixe_site, Qt::CaseInsensitive) == 0 ? chemin
                                                                                      : QString();
}

std::optional<double> valeur_cellule(const QStandardItemModel &modele, int ligne, int colonne)
{
    const QVariant v = modele.data(modele.index(ligne, colonne), Qt::DisplayRole);
    if (v.isNull())
        return std::nullopt;
    return v.toDouble();
}

} // namespace

Site Fenetre_Principale::site_courant() const
{
    Site site;
    site.diagramme = description_diagramme();
    for (int r = 0; r < modele_masques->rowCount(); ++r)
        site.masques.append(
            {valeur_cellule(*modele_masques, r, 0), valeur_cellule(*modele_masques, r, 1)});
    site.conserver_masques = ui->check_conserver_masques->isChecked();
    site.jonction_masques = jonction_masques();
    return site;
}

void Fenetre_Principale::appliquer_site(const Site &site)
{
    const Description_Diagramme &d = site.diagramme;
    const bool mois = d.mode == Mode_Dates::Jour_des_mois;
    {
        // Every value goes in without its slot, so that none of them draws a diagram of half
        // the new site or sends its coupled widget back (a latitude of 45.5 would end at 45),
        // and the diagram is drawn once at the end.
        const QSignalBlocker latitude(ui->latitude);
        const QSignalBlocker curseur_latitude(ui->slider_latitude);
        const QSignalBlocker date(ui->Date);
        const QSignalBlocker curseur_date(ui->slider_date);
        const QSignalBlocker jour(ui->spinBox_numero_jour);
        const QSignalBlocker annee(ui->spinBox_annee);
        const QSignalBlocker longitude(ui->longitude);
        const QSignalBlocker fuseau(ui->combo_fuseau);
        const QSignalBlocker echelle(ui->combo_echelle);
        const QSignalBlocker modele(ui->combo_modele);
        const QSignalBlocker jonction(ui->combo_jonction);
        afficher_mode(d.mode);
        ui->Bouton_reinitialiser->setVisible(!mois);
        ui->latitude->setValue(d.latitude);
        // The zone goes in without offering its city: the site's longitude is the user's.
        ui->longitude->setValue(d.longitude);
        const QString nom_zone = QString::fromLatin1(d.fuseau);
        int zone = d.fuseau.isEmpty() ? 0 : ui->combo_fuseau->findText(nom_zone);
        // The list offers the zones of zone1970.tab; a site may name any other zone of the
        // database (Etc/GMT+5), which joins the list.
        if (zone < 0) {
            ui->combo_fuseau->addItem(nom_zone);
            zone = ui->combo_fuseau->count() - 1;
        }
        ui->combo_fuseau->setCurrentIndex(zone);
        ui->combo_echelle->setCurrentIndex(d.echelle == Echelle_Heures::Heure_legale ? 1 : 0);
        ui->combo_modele->setCurrentIndex(d.modele == Modele_Soleil::precis ? 1 : 0);
        ui->combo_jonction->setCurrentIndex(site.jonction_masques == Jonction_Masque::Ligne ? 1
                                                                                            : 0);
        ui->slider_latitude->setValue(static_cast<int>(ui->latitude->value()));
        ui->Date->setDate(d.date_choisie);
        ui->slider_date->setMaximum(d.date_choisie.daysInYear());
        ui->slider_date->setValue(d.date_choisie.dayOfYear());
        ui->spinBox_numero_jour->setValue(d.jour_des_mois);
        ui->spinBox_annee->setValue(d.annee);
    }
    // No hour lines without the limit courses that they span.
    ui->check_limite->setChecked(d.limites);
    ui->check_heures->setChecked(d.limites && d.heures);
    ui->check_heures->setEnabled(d.limites);

    // Mode 2 keeps no saved dates.
    dates_enregistrees.fill(QDate());
    nb_clic_enregistrer_date = 0;
    if (!mois) {
        for (const QDate &enregistree : d.dates_enregistrees) {
            dates_enregistrees[static_cast<std::size_t>(enregistree.dayOfYear() - 1)] = enregistree;
            ++nb_clic_enregistrer_date;
        }
    }
    ui->Bouton_reinitialiser->setEnabled(nb_clic_enregistrer_date > 0);

    // A fresh mask table holding the rows as typed; it has at least its 6 rows.
    QStandardItemModel *ancien_modele = modele_masques;
    configurer_tableau_masques();
    delete ancien_modele;
    if (site.masques.size() > modele_masques->rowCount())
        modele_masques->insertRows(modele_masques->rowCount(),
                                   site.masques.size() - modele_masques->rowCount());
    for (int r = 0; r < site.masques.size(); ++r) {
        const Ligne_Masque_Saisie &ligne = site.masques[r];
        if (ligne.azimut)
            modele_masques->setData(modele_masques->index(r, 0), *ligne.azimut, Qt::EditRole);
        if (ligne.hauteur)
            modele_masques->setData(modele_masques->index(r, 1), *ligne.hauteur, Qt::EditRole);
    }
    // Ticked, the rebuild draws the outline from the table and enables the box.
    ui->check_conserver_masques->setChecked(site.conserver_masques);
    ui->check_conserver_masques->setEnabled(site.conserver_masques);

    ombrage = d.ombrage;
    exposition = d.exposition;
    prendre_photo_du_site(d.photo);
    projet = d.projet;
    const Options_Disque &options = d.options;
    if (options != description_diagramme().options) {
        scene->options.valider(options.pas_azimut, options.pas_hauteur, options.opacite,
                               options.graduations, options.projection, options.graduations_azimut);
        // Painted afresh at once, as after the options' "OK".
        scene->invalidate(QRectF(), QGraphicsScene::BackgroundLayer);
    }
    course_Soleil();
    actualiser_modification();
}

void Fenetre_Principale::actualiser_modification()
{
    // A study never saved has changes to lose as soon as it differs from the window's start:
    // it is then named, so that its "*" shows.
    const bool modifie = !historique.pile().isClean();
    QString titre = !chemin_site.isEmpty()
                        ? tr("%1[*] - Orvane").arg(QFileInfo(chemin_site).completeBaseName())
                    : modifie ? tr("Sans titre[*] - Orvane")
                              : tr("Orvane");
    if (!projet.nom.isEmpty())
        titre = tr("%1 — %2").arg(projet.nom, titre);
    setWindowTitle(titre);
    setWindowModified(modifie);
}

void Fenetre_Principale::on_actionProprietes_du_projet_triggered()
{
    Dialogue_Projet dialogue(projet, this);
    dialogue.setObjectName(QStringLiteral("dialogue_projet"));
    if (dialogue.exec() != QDialog::Accepted)
        return;
    const Projet nouveau = dialogue.valeur();
    if (nouveau == projet)
        return;
    projet = nouveau;
    // Drawn again so that the report's page, which names it, follows; the rebuild hands the
    // site to the history.
    course_Soleil();
    actualiser_modification();
}

void Fenetre_Principale::noter_etape(const QString &nom)
{
    // The window is read only when the history takes it: not while it is being built, nor in
    // the middle of an action.
    if (historique.actif())
        historique.noter(site_courant(), nom);
}

void Fenetre_Principale::on_actionAnnuler_triggered()
{
    historique.pile().undo();
}

void Fenetre_Principale::on_actionRetablir_triggered()
{
    historique.pile().redo();
}

bool Fenetre_Principale::ouvrir_site(const QString &chemin)
{
    const Lecture_Site lecture = lire_site(chemin);
    if (!lecture.site) {
        QMessageBox::warning(this, tr("Attention!"), lecture.probleme, QMessageBox::Ok);
        return false;
    }
    if (!abandon_accepte())
        return false;
    {
        const Historique::Pause pause(historique);
        appliquer_site(*lecture.site);
    }
    nom_horizon.clear();
    // The widgets may round what the file holds (the latitude to two decimals): what they show
    // now is the site as opened.
    noter_etape(tr("Ouvrir un site"));
    devenir_site(chemin);
    return true;
}

void Fenetre_Principale::devenir_site(const QString &chemin)
{
    chemin_site = QFileInfo(chemin).absoluteFilePath();
    retenir_dossier(Genre_Fichier::Site, chemin_site);
    historique.pile().setClean();
    actualiser_modification();
}

bool Fenetre_Principale::enregistrer_site(const QString &chemin)
{
    const Site site = site_courant();
    const QString erreur = ecrire_site(chemin, site);
    if (!erreur.isEmpty()) {
        QMessageBox::warning(this, tr("Attention!"), erreur, QMessageBox::Ok);
        return false;
    }
    devenir_site(chemin);
    return true;
}

bool Fenetre_Principale::enregistrer_site_sous()
{
    // The toolkit's own dialog on every platform, as for the export.
    QString nom = QFileDialog::getSaveFileName(
        this, tr("Enregistrer le site"),
        chemin_site.isEmpty() ? dans_dossier_retenu(Genre_Fichier::Site, tr("Site")) : chemin_site,
        filtre_site, nullptr, QFileDialog::DontUseNativeDialog);
    if (nom.isEmpty())
        return false;
    if (QFileInfo(nom).suffix().isEmpty())
        nom += (nom.endsWith(QLatin1Char('.')) ? QString() : QStringLiteral(".")) + suffixe_site;
    return enregistrer_site(nom);
}

bool Fenetre_Principale::abandon_accepte()
{
    actualiser_modification();
    if (!isWindowModified())
        return true;
    const QString nom =
        chemin_site.isEmpty() ? tr("Sans titre") : QFileInfo(chemin_site).fileName();
    QMessageBox question(QMessageBox::Question, tr("Orvane"),
                         tr("Le site « %1 » a été modifié. Voulez-vous enregistrer les "
                            "modifications ?")
                             .arg(nom),
                         QMessageBox::NoButton, this);
    QPushButton *enregistrer = question.addButton(tr("Enregistrer"), QMessageBox::AcceptRole);
    QPushButton *abandonner =
        question.addButton(tr("Ne pas enregistrer"), QMessageBox::DestructiveRole);
    QPushButton *annuler = question.addButton(tr("Annuler"), QMessageBox::RejectRole);
    question.setDefaultButton(enregistrer);
    question.setEscapeButton(annuler);
    question.exec();
    // A study never saved is named first; cancelling that cancels what asked.
    if (question.clickedButton() == enregistrer)
        return chemin_site.isEmpty() ? enregistrer_site_sous() : enregistrer_site(chemin_site);
    return question.clickedButton() == abandonner;
}

void Fenetre_Principale::on_actionOuvrir_un_site_triggered()
{
    const QString nom = QFileDialog::getOpenFileName(
        this, tr("Ouvrir un site"), dossier_retenu(Genre_Fichier::Site), filtre_site, nullptr,
        QFileDialog::DontUseNativeDialog);
    if (!nom.isEmpty())
        ouvrir_site(nom);
}

void Fenetre_Principale::on_actionEnregistrer_le_site_triggered()
{
    if (chemin_site.isEmpty())
        enregistrer_site_sous();
    else
        enregistrer_site(chemin_site);
}

void Fenetre_Principale::on_actionEnregistrer_le_site_sous_triggered()
{
    enregistrer_site_sous();
}

void Fenetre_Principale::closeEvent(QCloseEvent *event)
{
    if (abandon_accepte()) {
        if (largeur_panneau_choisie > 0)
            retenir_largeur_panneau(largeur_panneau_choisie);
        event->accept();
    } else
        event->ignore();
}

void Fenetre_Principale::dragEnterEvent(QDragEnterEvent *event)
{
    if (!fichier_depose(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void Fenetre_Principale::dragMoveEvent(QDragMoveEvent *event)
{
    if (!fichier_depose(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void Fenetre_Principale::dropEvent(QDropEvent *event)
{
    const QString chemin = fichier_depose(event->mimeData());
    if (chemin.isEmpty())
        return;
    event->acceptProposedAction();
    // Opened once the drop is over: the file may be refused, or unsaved changes asked about,
    // in a modal box that must not hold the drag's source waiting.
    ouvrir_site_differe(chemin);
}

void Fenetre_Principale::ouvrir_site_differe(const QString &chemin)
{
    QMetaObject::invokeMethod(
        this, [this, chemin] { ouvrir_site(chemin); }, Qt::QueuedConnection);
}
