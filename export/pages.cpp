// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "export/pages.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGraphicsScene>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>

namespace
{

QString tr(const char *texte)
{
    return QCoreApplication::translate("Export", texte);
}

// The scene's rectangle drawn over the whole of `peintre`'s device, antialiased.
void rendre(QGraphicsScene &scene, QPainter &peintre)
{
    peintre.setRenderHint(QPainter::Antialiasing);
    peintre.setRenderHint(QPainter::TextAntialiasing);
    scene.render(&peintre, QRectF(), QRectF(), Qt::KeepAspectRatio);
}

bool ecrire_raster(QGraphicsScene &scene, const QSize &taille, const char *format,
                   QIODevice &sortie)
{
    // JPEG has no alpha, so the image has none either; filled white first so that no byte of
    // the new image is left undefined wherever the background would not reach.
    QImage image(taille, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter peintre(&image);
        rendre(scene, peintre);
    }
    return image.save(&sortie, format, -1);
}

} // namespace

Format_export format_export(const QString &fichier)
{
    const QString suffixe = QFileInfo(fichier).suffix().toLower();
    if (suffixe == QLatin1String("jpg") || suffixe == QLatin1String("jpeg"))
        return Format_export::Jpeg;
    if (suffixe == QLatin1String("png"))
        return Format_export::Png;
    if (suffixe == QLatin1String("svg"))
        return Format_export::Svg;
    if (suffixe == QLatin1String("pdf"))
        return Format_export::Pdf;
    return Format_export::Inconnu;
}

bool exporter_diagramme(QGraphicsScene &scene, const QSize &taille, const Legende_page &legende,
                        const QString &fichier, QString *erreur)
{
    Q_UNUSED(legende);
    auto echec = [erreur](const QString &raison) {
        if (erreur)
            *erreur = raison;
        return false;
    };

    const Format_export format = format_export(fichier);
    // Any other suffix that the toolkit's image writers know is a raster format too (.bmp ...).
    const QByteArray autre_raster = QFileInfo(fichier).suffix().toLower().toLatin1();
    const bool raster_connu = format == Format_export::Inconnu && !autre_raster.isEmpty() &&
                              QImageWriter::supportedImageFormats().contains(autre_raster);
    if (format == Format_export::Inconnu && !raster_connu)
        return echec(tr("Le nom du fichier doit se terminer par .png, .jpg, .jpeg, .svg ou .pdf."));
    if (taille.isEmpty())
        return echec(tr("La taille de l'image est vide."));

    // Everything goes to a temporary file beside the target, renamed over it only once the
    // whole file is written: a failure leaves an existing file as it was and no new one.
    QSaveFile sortie(fichier);
    if (!sortie.open(QIODevice::WriteOnly))
        return echec(tr("Impossible de créer le fichier : %1").arg(sortie.errorString()));

    bool ecrit = false;
    switch (format) {
    case Format_export::Jpeg:
        ecrit = ecrire_raster(scene, taille, "JPEG", sortie);
        break;
    case Format_export::Png:
        ecrit = ecrire_raster(scene, taille, "PNG", sortie);
        break;
    case Format_export::Svg:
    case Format_export::Pdf:
        break;
    case Format_export::Inconnu:
        ecrit = ecrire_raster(scene, taille, autre_raster.constData(), sortie);
        break;
    }
    if (!ecrit) {
        sortie.cancelWriting();
        return echec(tr("L'image n'a pas pu être écrite : %1").arg(sortie.errorString()));
    }
    if (!sortie.commit())
        return echec(tr("Le fichier n'a pas pu être enregistré : %1").arg(sortie.errorString()));
    return true;
}

void dessiner_page(QGraphicsScene &scene, const Legende_page &legende, QPagedPaintDevice &page)
{
    Q_UNUSED(scene);
    Q_UNUSED(legende);
    Q_UNUSED(page);
}
