// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "export/export.h"

#include "app/fenetre_principale.h"
#include "diagram/scene.h"
#include "export/pages.h"
#include "ui_fenetre_principale.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QTableWidget>

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
        this, tr("Enregistrer le diagramme"), tr("Diagramme solaire"),
        QStringList{filtre_export_jpeg, filtre_export_png, filtre_export_svg, filtre_export_pdf}
            .join(QStringLiteral(";;")),
        &filtre_choisi, QFileDialog::DontUseNativeDialog);
    if (nom.isEmpty())
        return;

    // The scene rectangle equals the view's size (the resize handler keeps it so): a raster
    // image of the view's size renders the scene at scale 1.
    if (!exporter_diagramme(*scene, ui->graphicsView->size(), legende_page(),
                            nom_fichier_export(nom, filtre_choisi)))
        QMessageBox::warning(this, tr("Erreur"),
                             tr("<b>ATTENTION :</b> L'image n'a pas pu être enregistrée. "
                                "Vérifiez que le dossier choisi accepte l'écriture et que le nom "
                                "se termine par .jpg ou .png."),
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
    dessiner_page(*scene, legende_page(), imprimante);
    if (imprimante.printerState() == QPrinter::Error)
        QMessageBox::warning(this, tr("Erreur"),
                             tr("<b>ATTENTION :</b> Le diagramme n'a pas pu être imprimé. "
                                "Vérifiez l'imprimante choisie."),
                             QMessageBox::Ok);
}

Legende_page Fenetre_Principale::legende_page() const
{
    Legende_page legende;
    const double latitude = ui->latitude->value();
    legende.latitude =
        QStringLiteral("Latitude: ") + QString::number(latitude, 'g', 6) + QStringLiteral("°");

    const QTableWidget *table = ui->tableau_sorties;
    for (int colonne = 0; colonne < table->columnCount(); ++colonne) {
        const QTableWidgetItem *entete = table->horizontalHeaderItem(colonne);
        legende.entetes << (entete ? entete->text() : QString());
    }
    for (int ligne = 0; ligne < table->rowCount(); ++ligne) {
        QStringList cellules;
        for (int colonne = 0; colonne < table->columnCount(); ++colonne) {
            const QTableWidgetItem *cellule = table->item(ligne, colonne);
            cellules << (cellule ? cellule->text() : QString());
        }
        legende.lignes << cellules;
    }

    // The colour of each row's course, as the rebuild gives it: Mode 2, the month's colour;
    // Mode 1, red for the chosen date, then the saved dates in order of day of the year, each
    // taking the next colour whether drawn or not, and a row only when drawn.
    auto couleur = [this](int indice) { return QColor(rouge[indice], vert[indice], bleu[indice]); };
    QVector<QColor> couleurs;
    const QDate date_courante = ui->Date->date();
    if (ui->actionChoisir_le_jour_pour_les_mois->isChecked()) {
        for (const QStringList &cellules : qAsConst(legende.lignes)) {
            const QDate date = QDate::fromString(cellules.value(0), QStringLiteral("dd/MM/yyyy"));
            couleurs << (date.isValid() ? couleur(date.month() - 1) : QColor(Qt::black));
        }
    } else {
        couleurs << QColor(Qt::red);
        int indice = 0;
        for (std::size_t emplacement = 0; emplacement < dates_enregistrees.size(); ++emplacement) {
            const QDate &date = dates_enregistrees[emplacement];
            if (date.isNull() || date == date_courante)
                continue;
            if (courses_tracees[emplacement] && indice < 12)
                couleurs << couleur(indice);
            ++indice;
        }
    }
    for (int ligne = 0; ligne < legende.lignes.size(); ++ligne) {
        const QDate date =
            QDate::fromString(legende.lignes[ligne].value(0), QStringLiteral("dd/MM/yyyy"));
        const QString texte = date.isValid()
                                  ? QString::number(date.day()) + QLatin1Char(' ') +
                                        QLocale().monthName(date.month(), QLocale::ShortFormat)
                                  : legende.lignes[ligne].value(0);
        legende.dates << qMakePair(texte, couleurs.value(ligne, QColor(Qt::black)));
    }
    return legende;
}
