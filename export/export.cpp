// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "export/export.h"

#include "app/dossiers.h"
#include "app/fenetre_principale.h"
#include "diagram/scene.h"
#include "export/pages.h"
#include "trace/grille_fenetre.h"
#include "ui_fenetre_principale.h"

#include <QDate>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

#include <memory>

QString nom_fichier_export(const QString &nom, const QString &filtre)
{
    if (!QFileInfo(nom).suffix().isEmpty())
        return nom;
    const QString suffixe = filtre == filtre_export_png   ? QStringLiteral("png")
                            : filtre == filtre_export_svg ? QStringLiteral("svg")
                            : filtre == filtre_export_pdf ? QStringLiteral("pdf")
                                                          : QStringLiteral("jpg");
    // "diagramme." has an empty suffix too: only the suffix is missing.
    return nom.endsWith(QLatin1Char('.')) ? nom + suffixe : nom + QLatin1Char('.') + suffixe;
}

void Fenetre_Principale::on_actionExporter_le_diagramme_triggered()
{
    enregistrerDiagramme();
}

void Fenetre_Principale::enregistrerDiagramme()
{
    // The toolkit's own dialog on every platform, so that a name typed without a suffix is
    // completed here, the same way everywhere.
    QString filtre_choisi;
    const QString nom = QFileDialog::getSaveFileName(
        this, tr("Enregistrer le diagramme"),
        dans_dossier_retenu(Genre_Fichier::Export, tr("Diagramme solaire")),
        QStringList{filtre_export_jpeg, filtre_export_png, filtre_export_svg, filtre_export_pdf}
            .join(QStringLiteral(";;")),
        &filtre_choisi, QFileDialog::DontUseNativeDialog);
    if (nom.isEmpty())
        return;
    retenir_dossier(Genre_Fichier::Export, nom);

    // The scene rectangle equals the view's size (the resize handler keeps it so): a raster
    // image of the view's size renders the scene at scale 1.
    const QString chemin = nom_fichier_export(nom, filtre_choisi);
    QString raison;
    std::unique_ptr<Scene> page;
    Legende_page legende = legende_rapport();
    if (format_export(chemin) == Format_export::Pdf) {
        page = std::make_unique<Scene>();
        dessiner_pour_page(*page, description_dessinee);
        ajouter_grille(legende, description_dessinee);
    }
    if (!exporter_diagramme(*scene, ui->graphicsView->size(), legende, chemin, &raison, page.get()))
        QMessageBox::warning(
            this, tr("Erreur"),
            tr("<b>ATTENTION :</b> L'image n'a pas pu être enregistrée dans "
               "« %1 » : %2.")
                .arg(QFileInfo(chemin).fileName().toHtmlEscaped(), raison.toHtmlEscaped()),
            QMessageBox::Ok);
}

void Fenetre_Principale::on_actionImprimer_triggered()
{
    QPrinter imprimante(QPrinter::HighResolution);
    imprimante.setDocName(tr("Diagramme solaire"));
    imprimante.setPageSize(QPageSize(QPageSize::A4));
    imprimante.setPageOrientation(QPageLayout::Landscape);
    QPrintDialog dialogue(&imprimante, this);
    dialogue.setWindowTitle(tr("Imprimer le diagramme"));
    if (dialogue.exec() != QDialog::Accepted)
        return;
    Scene page;
    dessiner_pour_page(page, description_dessinee);
    Legende_page legende = legende_rapport();
    ajouter_grille(legende, description_dessinee);
    dessiner_page(page, legende, imprimante);
    if (imprimante.printerState() == QPrinter::Error)
        QMessageBox::warning(this, tr("Erreur"),
                             tr("<b>ATTENTION :</b> Le diagramme n'a pas pu être imprimé. "
                                "Vérifiez l'imprimante choisie."),
                             QMessageBox::Ok);
}

Legende_page Fenetre_Principale::legende_rapport() const
{
    Legende_page legende = legende_page(description_dessinee, lignes_sorties);
    if (!chemin_site.isEmpty())
        legende.titre = QFileInfo(chemin_site).completeBaseName();
    if (!description_dessinee.masque.isEmpty())
        legende.horizon = nom_horizon.isEmpty() ? tr("masque saisi") : nom_horizon;
    legende.date = QDate::currentDate();
    return legende;
}
