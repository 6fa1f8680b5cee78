// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "export/export.h"

#include "app/fenetre_principale.h"
#include "diagram/scene.h"
#include "ui_fenetre_principale.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>

QString nom_fichier_export(const QString &nom, const QString &filtre)
{
    if (!QFileInfo(nom).suffix().isEmpty())
        return nom;
    const QString suffixe =
        filtre == filtre_export_png ? QStringLiteral("png") : QStringLiteral("jpg");
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
    const QString nom =
        QFileDialog::getSaveFileName(this, tr("Enregistrer le diagramme"), tr("Diagramme solaire"),
                                     filtre_export_jpeg + QStringLiteral(";;") + filtre_export_png,
                                     &filtre_choisi, QFileDialog::DontUseNativeDialog);
    if (nom.isEmpty())
        return;

    // Not filled first: the scene's background covers the whole pixmap. The resize handler
    // keeps the scene rectangle equal to the view's size, so the scene renders at scale 1.
    QPixmap image(ui->graphicsView->width(), ui->graphicsView->height());
    {
        QPainter peintre(&image);
        peintre.setRenderHint(QPainter::Antialiasing);
        scene->render(&peintre, QRectF(), QRectF(), Qt::KeepAspectRatio);
    }
    if (!image.save(nom_fichier_export(nom, filtre_choisi), nullptr, -1))
        QMessageBox::warning(this, tr("Erreur"),
                             tr("<b>ATTENTION :</b> L'image n'a pas pu être enregistrée. "
                                "Vérifiez que le dossier choisi accepte l'écriture et que le nom "
                                "se termine par .jpg ou .png."),
                             QMessageBox::Ok);
}
