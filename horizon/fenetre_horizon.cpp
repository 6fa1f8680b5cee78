// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// The main window's horizon files: "Importer un horizon..." fills the mask table from a file
// and draws it; "Exporter l'horizon..." writes the table as CSV.
#include "app/fenetre_principale.h"

#include "app/dossiers.h"
#include "diagram/scene.h"
#include "ecriture/ecriture.h"
#include "horizon/dialogue_import_horizon.h"
#include "horizon/horizon.h"
#include "masks/points_masque.h"
#include "ui_fenetre_principale.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSignalBlocker>
#include <QStandardItemModel>

namespace
{

// Rows of a fresh table.
constexpr int lignes_minimales = 6;

// Export filters; the one chosen is the convention written.
struct Filtre_Export {
    const char *texte;
    Convention_Azimut convention;
};
constexpr Filtre_Export filtres_export[] = {
    {QT_TRANSLATE_NOOP("Fenetre_Principale", "CSV, azimut boussole 0° au nord (*.csv)"),
     Convention_Azimut::Nord},
    {QT_TRANSLATE_NOOP("Fenetre_Principale", "CSV PVGIS, azimut 0° au sud (*.csv)"),
     Convention_Azimut::Sud},
    {QT_TRANSLATE_NOOP("Fenetre_Principale", "CSV, azimut du tableau (*.csv)"),
     Convention_Azimut::Tableau},
};

} // namespace

void Fenetre_Principale::remplir_tableau_masques(const std::vector<QPointF> &points)
{
    const int n = static_cast<int>(points.size());
    modele_masques->removeRows(0, modele_masques->rowCount());
    modele_masques->insertRows(0, std::max(n, lignes_minimales));
    // Stored as the cell editors store them: doubles under the edit role.
    for (int r = 0; r < n; ++r) {
        modele_masques->setData(modele_masques->index(r, 0), points[r].x(), Qt::EditRole);
        modele_masques->setData(modele_masques->index(r, 1), points[r].y(), Qt::EditRole);
    }
}

void Fenetre_Principale::on_bouton_importer_horizon_clicked()
{
    const QString chemin = QFileDialog::getOpenFileName(
        this, tr("Importer un horizon"), dossier_retenu(Genre_Fichier::Horizon),
        tr("Horizons (*.json *.csv *.txt *.hor);;Tous les fichiers (*)"), nullptr,
        QFileDialog::DontUseNativeDialog);
    if (chemin.isEmpty())
        return;
    retenir_dossier(Genre_Fichier::Horizon, chemin);
    const QString nom = QFileInfo(chemin).fileName();
    const auto refuser = [this, &nom](const QString &raison) {
        QMessageBox::warning(this, tr("Attention!"),
                             tr("Le fichier « %1 » est refusé : %2").arg(nom, raison),
                             QMessageBox::Ok);
    };

    QFile fichier(chemin);
    if (QFileInfo(chemin).size() > taille_max_horizon) {
        refuser(tr("il dépasse 1 Mo."));
        return;
    }
    if (!fichier.open(QIODevice::ReadOnly)) {
        refuser(fichier.errorString());
        return;
    }
    const QByteArray contenu = fichier.read(taille_max_horizon + 1);
    // Refused at once when no convention reads it; otherwise the dialog lets the user choose.
    Horizon_Lu lu = lire_horizon(contenu, Convention_Azimut::Nord);
    for (const Convention_Azimut c : {Convention_Azimut::Sud, Convention_Azimut::Tableau})
        if (!lu.valide() && lire_horizon(contenu, c).valide())
            lu = lire_horizon(contenu, c);
    if (!lu.valide()) {
        refuser(lu.erreur);
        return;
    }

    Dialogue_Import_Horizon dialogue(contenu, nom, scene->NbPointsMasqueMAX(), this);
    if (dialogue.exec() != QDialog::Accepted || dialogue.points_tableau().empty())
        return;
    {
        const Historique::Pause pause(historique);
        remplir_tableau_masques(dialogue.points_tableau());
        // An imported horizon is a line through its points.
        {
            const QSignalBlocker bloque(ui->combo_jonction);
            ui->combo_jonction->setCurrentIndex(1);
        }
        nom_horizon = nom;
        // Kept, as a site's kept mask is: the next change draws it again.
        ui->check_conserver_masques->setChecked(true);
        on_bouton_masques_clicked();
    }
    noter_etape(tr("Importer un horizon"));
}

void Fenetre_Principale::on_actionImporter_un_horizon_triggered()
{
    on_bouton_importer_horizon_clicked();
}

void Fenetre_Principale::on_actionExporter_l_horizon_triggered()
{
    // Only a table that "Tracer les Masques" would draw is written.
    const Points_Masque lus = points_masque(lignes_du_modele(*modele_masques));
    if (!lus.valide()) {
        QMessageBox::warning(this, lus.titre(), lus.texte(), QMessageBox::Ok);
        return;
    }
    QStringList filtres;
    for (const Filtre_Export &f : filtres_export)
        filtres << tr(f.texte);
    QString filtre_choisi;
    QString nom = QFileDialog::getSaveFileName(
        this, tr("Exporter l'horizon"),
        dans_dossier_retenu(Genre_Fichier::Horizon, tr("horizon.csv")),
        filtres.join(QStringLiteral(";;")), &filtre_choisi, QFileDialog::DontUseNativeDialog);
    if (nom.isEmpty())
        return;
    retenir_dossier(Genre_Fichier::Horizon, nom);
    if (QFileInfo(nom).suffix().isEmpty())
        nom += QStringLiteral(".csv");
    Convention_Azimut convention = Convention_Azimut::Nord;
    for (const Filtre_Export &f : filtres_export)
        if (filtre_choisi == tr(f.texte))
            convention = f.convention;

    // A failed write leaves any old file whole.
    const QString raison = ecrire_fichier(nom, horizon_csv(lus.points, convention));
    if (!raison.isEmpty())
        QMessageBox::warning(this, tr("Attention!"),
                             tr("L'horizon n'a pu être enregistré dans « %1 » : %2.")
                                 .arg(QFileInfo(nom).fileName(), raison),
                             QMessageBox::Ok);
}
