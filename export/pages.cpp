// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "export/pages.h"

#include "annee/dessin_grille.h"

#include "diagram/scene.h"
#include "ecriture/ecriture.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QImage>
#include <QImageWriter>
#include <QLocale>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPicture>
#include <QSvgGenerator>
#include <QtEndian>

#include <isa-l/igzip_lib.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

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

// The largest raster image: the painter's coordinates stay within 16 bits, and the image within
// 1 GiB of memory (4 bytes a pixel).
constexpr int cote_max = 32767;
constexpr qint64 pixels_max = qint64(1) << 28;

// One chunk of the file: its length, type and data, and the CRC of the type and data.
bool ecrire_bloc(QIODevice &sortie, const char (&type)[5], const uchar *donnees, quint32 taille)
{
    uchar entete[8];
    qToBigEndian(taille, entete);
    std::memcpy(entete + 4, type, 4);
    uLong crc = crc32(0, entete + 4, 4);
    // No data: zlib reads a null buffer as a request for its initial value.
    if (taille > 0)
        crc = crc32(crc, donnees, taille);
    uchar fin[4];
    qToBigEndian(static_cast<quint32>(crc), fin);
    return sortie.write(reinterpret_cast<const char *>(entete), 8) == 8 &&
           (taille == 0 ||
            sortie.write(reinterpret_cast<const char *>(donnees), taille) == qint64(taille)) &&
           sortie.write(reinterpret_cast<const char *>(fin), 4) == 4;
}

// The RGB32 image as an 8-bit RGB PNG without interlace, its rows unfiltered in one zlib stream.
// The diagram is mostly flat white with thin lines, and the filters other than none only make
// it larger. igzip's level 0 deflates it in a sixth of zlib's level 1 time, into a file about a
// third larger. Its level 1 writes a file a sixth smaller than level 0's as quickly, but not
// the same bytes every time: about one export in a hundred of the same image came out
// different, valid and decoding to the same pixels, depending on where its buffers lay in
// memory. A batch is checked byte for byte against the same diagrams drawn one by one, so
// level 0. The rows are converted and deflated a band at a time, so that the largest image
// needs no second copy of itself.
bool ecrire_png(const QImage &image, QIODevice &sortie)
{
    const int largeur = image.width();
    const int hauteur = image.height();
    static const uchar signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    uchar entete[13];
    qToBigEndian(static_cast<quint32>(largeur), entete);
    qToBigEndian(static_cast<quint32>(hauteur), entete + 4);
    // 8 bits a channel, RGB, then the only compression and filter methods, no interlace.
    const uchar profondeur_et_methodes[5] = {8, 2, 0, 0, 0};
    std::memcpy(entete + 8, profondeur_et_methodes, 5);
    uchar resolution[9];
    qToBigEndian(static_cast<quint32>(image.dotsPerMeterX()), resolution);
    qToBigEndian(static_cast<quint32>(image.dotsPerMeterY()), resolution + 4);
    resolution[8] = 1; // per metre
    if (sortie.write(reinterpret_cast<const char *>(signature), 8) != 8 ||
        !ecrire_bloc(sortie, "IHDR", entete, 13) || !ecrire_bloc(sortie, "pHYs", resolution, 9))
        return false;

    // The filter byte, then R, G, B of each pixel whatever the machine's byte order.
    const std::size_t octets_ligne = 1 + 3 * std::size_t(largeur);
    const int lignes_bande = std::max(1, int((std::size_t(1) << 18) / octets_ligne));
    std::vector<uchar> bande(octets_ligne * std::size_t(std::min(lignes_bande, hauteur)));
    std::vector<uchar> idat(std::size_t(1) << 16);
    auto flux = std::make_unique<isal_zstream>();
    isal_deflate_init(flux.get());
    flux->level = 0;
    flux->gzip_flag = IGZIP_ZLIB;
    flux->next_out = idat.data();
    flux->avail_out = static_cast<uint32_t>(idat.size());
    const auto vider_idat = [&]() {
        const auto taille = static_cast<quint32>(flux->next_out - idat.data());
        flux->next_out = idat.data();
        flux->avail_out = static_cast<uint32_t>(idat.size());
        return taille == 0 || ecrire_bloc(sortie, "IDAT", idat.data(), taille);
    };
    for (int debut = 0; debut < hauteur; debut += lignes_bande) {
        const int fin = std::min(hauteur, debut + lignes_bande);
        uchar *octet = bande.data();
        for (int y = debut; y < fin; ++y) {
            const auto *pixel = reinterpret_cast<const QRgb *>(image.constScanLine(y));
            *octet++ = 0;
            for (int x = 0; x < largeur; ++x) {
                *octet++ = static_cast<uchar>(qRed(pixel[x]));
                *octet++ = static_cast<uchar>(qGreen(pixel[x]));
                *octet++ = static_cast<uchar>(qBlue(pixel[x]));
            }
        }
        flux->next_in = bande.data();
        flux->avail_in = static_cast<uint32_t>(octet - bande.data());
        flux->end_of_stream = fin == hauteur;
        do {
            if (isal_deflate(flux.get()) != COMP_OK || (flux->avail_out == 0 && !vider_idat()))
                return false;
        } while (flux->avail_in > 0 ||
                 (flux->end_of_stream && flux->internal_state.state != ZSTATE_END));
    }
    return vider_idat() && ecrire_bloc(sortie, "IEND", nullptr, 0);
}

bool ecrire_raster(QGraphicsScene &scene, const QSize &taille, const char *format,
                   QIODevice &sortie, QString &raison)
{
    // JPEG has no alpha, so the image has none either; filled white first so that no byte of
    // the new image is left undefined wherever the background would not reach.
    QImage image(taille, QImage::Format_RGB32);
    if (image.isNull()) {
        raison = tr("la mémoire ne suffit pas pour une image de cette taille");
        return false;
    }
    image.fill(Qt::white);
    {
        QPainter peintre(&image);
        rendre(scene, peintre);
    }
    if (qstrcmp(format, "PNG") == 0)
        return ecrire_png(image, sortie);
    return image.save(&sortie, format, -1);
}

bool ecrire_svg(QGraphicsScene &scene, const QSize &taille, const Legende_page &legende,
                QIODevice &sortie)
{
    QSvgGenerator svg;
    svg.setOutputDevice(&sortie);
    // The size is written in millimetres: at the CSS pixel's 96 to the inch, a reader shows
    // the drawing at `taille` pixels.
    svg.setResolution(96);
    svg.setSize(taille);
    svg.setViewBox(QRect(QPoint(0, 0), taille));
    svg.setTitle(legende.titre);
    svg.setDescription(legende.latitude);
    QPainter peintre;
    if (!peintre.begin(&svg))
        return false;
    rendre(scene, peintre);
    return peintre.end();
}

bool dessiner(QGraphicsScene &scene, const Legende_page &legende, QPagedPaintDevice &page);

// The creation date of a report made on `jour`: the moment SOURCE_DATE_EPOCH gives (seconds
// since 1970 in UTC) when it holds one, else the day alone ("D:20261208"); empty when neither.
QByteArray date_creation(const QDate &jour)
{
    bool lue = false;
    const qint64 secondes = qEnvironmentVariable("SOURCE_DATE_EPOCH").trimmed().toLongLong(&lue);
    // Up to the end of year 9999, the last that the date's four digits can write.
    if (lue && secondes >= 0 && secondes <= Q_INT64_C(253402300799)) {
        const QDateTime moment = QDateTime::fromSecsSinceEpoch(secondes, Qt::UTC);
        const QDate d = moment.date();
        const QTime t = moment.time();
        return QString::asprintf("D:%04d%02d%02d%02d%02d%02dZ", d.year(), d.month(), d.day(),
                                 t.hour(), t.minute(), t.second())
            .toLatin1();
    }
    if (jour.isValid() && jour.year() >= 1 && jour.year() <= 9999)
        return QString::asprintf("D:%04d%02d%02d", jour.year(), jour.month(), jour.day())
            .toLatin1();
    return QByteArray();
}

// `pdf` with the creation date that the writer stamped from the clock replaced by `date`
// (removed when empty), and the cross-reference table's offsets moved to match. Null when the
// file is not laid out as the writer lays it out: one classic table, the date before it.
QByteArray redater_pdf(const QByteArray &pdf, const QByteArray &date)
{
    const QByteArray cle("\n/CreationDate (");
    const int debut = pdf.indexOf(cle);
    const int fin = debut < 0 ? -1 : pdf.indexOf(')', debut + cle.size());
    const QByteArray marque("startxref\n");
    const int position_marque = pdf.lastIndexOf(marque);
    if (fin < 0 || position_marque < fin)
        return QByteArray();
    const int debut_nombre = position_marque + marque.size();
    const int fin_nombre = pdf.indexOf('\n', debut_nombre);
    bool lu = false;
    const int table = pdf.mid(debut_nombre, fin_nombre - debut_nombre).toInt(&lu);
    const QByteArray entete_table("xref\n0 ");
    if (!lu || fin_nombre < 0 || table <= fin ||
        pdf.mid(table, entete_table.size()) != entete_table)
        return QByteArray();
    const int debut_compte = table + entete_table.size();
    const int fin_compte = pdf.indexOf('\n', debut_compte);
    const int entrees = pdf.mid(debut_compte, fin_compte - debut_compte).toInt(&lu);
    // Each entry is 20 bytes: a 10-digit offset, a space, the generation, "n" or "f", a space
    // and a line feed.
    constexpr int taille_entree = 20;
    if (!lu || fin_compte < 0 || entrees < 1 ||
        qint64(fin_compte) + 1 + qint64(entrees) * taille_entree > position_marque)
        return QByteArray();

    const QByteArray remplacement = date.isEmpty() ? QByteArray() : cle + date + ')';
    const int ecart = remplacement.size() - (fin + 1 - debut);
    QByteArray resultat =
        pdf.left(debut) + remplacement + pdf.mid(fin + 1, position_marque - fin - 1);
    for (int i = 0; i < entrees; ++i) {
        const int place = fin_compte + 1 + i * taille_entree + ecart;
        const qint64 decalage = resultat.mid(place, 10).toLongLong(&lu);
        if (!lu || resultat.at(place + 10) != ' ')
            return QByteArray();
        if (decalage > debut)
            resultat.replace(place, 10,
                             QByteArray::number(decalage + ecart).rightJustified(10, '0'));
    }
    return resultat + marque + QByteArray::number(table + ecart) + pdf.mid(fin_nombre);
}

// The hash tables made while it lives iterate in the same order in every run: the writer
// puts out the embedded fonts in the order of one of them.
class Hachage_Stable
{
public:
    Hachage_Stable() : avant_(qGlobalQHashSeed()) { qSetGlobalQHashSeed(0); }
    ~Hachage_Stable() { qSetGlobalQHashSeed(avant_ == 0 ? 0 : -1); }
    Hachage_Stable(const Hachage_Stable &) = delete;
    Hachage_Stable &operator=(const Hachage_Stable &) = delete;

private:
    int avant_;
};

// The report drawn in memory first, so that the same page gives the same bytes: the writer
// stamps the clock's second, replaced by the report's day before anything reaches the file.
bool ecrire_pdf(QGraphicsScene &scene, const Legende_page &legende, QIODevice &sortie)
{
    QBuffer tampon;
    if (!tampon.open(QIODevice::WriteOnly))
        return false;
    {
        const Hachage_Stable hachage;
        QPdfWriter pdf(&tampon);
        pdf.setTitle(legende.titre);
        pdf.setCreator(QStringLiteral("Orvane"));
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageOrientation(QPageLayout::Landscape);
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
        if (!dessiner(scene, legende, pdf))
            return false;
    }
    QByteArray octets = redater_pdf(tampon.data(), date_creation(legende.date));
    if (octets.isNull())
        octets = tampon.data();
    return sortie.write(octets) == octets.size();
}

// The report page is laid out in points (1/72 inch) on a landscape A4 sheet, whatever the
// device's resolution; fonts are given in those units too.
constexpr double largeur_page = 841.89;   // 297 mm
constexpr double hauteur_page = 595.28;   // 210 mm
constexpr double marge = 36.0;            // half an inch
constexpr double largeur_colonne = 300.0; // the caption and the table, right of the diagram
constexpr double gouttiere = 18.0;
// The table's type, and the least room between its columns when it has to take a smaller one.
constexpr double corps_table = 9.5;
constexpr double corps_min = 6.0;
constexpr double ecart_colonnes = 4.0;

// The part of the scene that the page shows: the sky disc with its graduations and cardinal
// labels, grown to hold whole every item that reaches into it (labels beside the courses, the
// date legend when the view puts it close to the disc), within the scene's rectangle. The
// view's wide margins stay out, so that the disc fills the page's frame whatever the window's
// shape; the caption and the table beside it say what the legend says.
QRectF partie_dessinee(QGraphicsScene &scene)
{
    const QRectF tout = scene.sceneRect();
    const auto *diagramme = qobject_cast<const Scene *>(&scene);
    if (!diagramme || diagramme->projection().cadre().isEmpty())
        return tout;
    // Scene units: the cardinal labels reach about 100 beside the horizon circle ("OUEST"),
    // 40 above it ("NORD") and 40 below it ("SUD"); a little white is left around them. On the
    // chart, the height labels stand 25 left of it and the cardinal labels 40 below it.
    const Projection &projection = diagramme->projection();
    QRectF partie = projection.est_polaire()
                        ? projection.cadre().adjusted(-115.0, -55.0, 115.0, 55.0)
                        : projection.cadre().adjusted(-30.0, -20.0, 30.0, 40.0);
    partie &= tout;
    QRectF agrandie = partie;
    const auto items = scene.items(partie, Qt::IntersectsItemBoundingRect);
    if (!projection.est_polaire()) {
        // The chart comes with what stands on it (its labels, the dates beside its courses);
        // the legend and the caption, in the corners beside it, only reach in and stay out:
        // the page's table and lines say what they say. White round it, so that the page's
        // frame does not touch the cardinal labels at its ends.
        for (const QGraphicsItem *item : items)
            if (partie.contains(item->sceneBoundingRect().center()))
                agrandie |= item->sceneBoundingRect();
        return agrandie.adjusted(-12.0, -6.0, 12.0, 10.0) & tout;
    }
    for (const QGraphicsItem *item : items)
        agrandie |= item->sceneBoundingRect();
    // A row that stands inside comes whole, with what is beside it (a legend row's swatch left
    // of its text); what only reaches in from above or below is left out when the page is
    // painted.
    constexpr double cote = 20.0;
    const QRectF rangee = agrandie.adjusted(-cote, 1.0, cote, -1.0);
    const auto voisins = scene.items(rangee, Qt::IntersectsItemBoundingRect);
    for (const QGraphicsItem *item : voisins) {
        const double milieu = item->sceneBoundingRect().center().y();
        if (milieu > rangee.top() && milieu < rangee.bottom())
            agrandie |= item->sceneBoundingRect();
    }
    return agrandie & tout;
}

QFont police_page(double taille, bool grasse = false)
{
    QFont police(QStringLiteral("Liberation Sans"));
    police.setStyleHint(QFont::SansSerif);
    police.setPixelSize(qRound(taille));
    police.setBold(grasse);
    return police;
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
                        const QString &fichier, QString *erreur, QGraphicsScene *page)
{
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
        return echec(tr("le nom du fichier doit se terminer par .png, .jpg, .jpeg, .svg ou .pdf"));
    if (format != Format_export::Pdf && taille.isEmpty())
        return echec(tr("la taille de l'image est vide"));
    if (format != Format_export::Pdf && format != Format_export::Svg &&
        (taille.width() > cote_max || taille.height() > cote_max ||
         qint64(taille.width()) * taille.height() > pixels_max))
        return echec(tr("l'image serait trop grande : au plus %1 pixels de côté et %2 millions "
                        "de pixels en tout")
                         .arg(cote_max)
                         .arg(pixels_max / 1000000));

    Ecriture_Fichier ecriture(fichier);
    if (!ecriture.ouvrir())
        return echec(ecriture.raison());
    QIODevice &sortie = ecriture.sortie();
    QString raison;
    bool ecrit = false;
    switch (format) {
    case Format_export::Jpeg:
        ecrit = ecrire_raster(scene, taille, "JPEG", sortie, raison);
        break;
    case Format_export::Png:
        ecrit = ecrire_raster(scene, taille, "PNG", sortie, raison);
        break;
    case Format_export::Svg:
        ecrit = ecrire_svg(scene, taille, legende, sortie);
        break;
    case Format_export::Pdf:
        ecrit = ecrire_pdf(page ? *page : scene, legende, sortie);
        break;
    case Format_export::Inconnu:
        ecrit = ecrire_raster(scene, taille, autre_raster.constData(), sortie, raison);
        break;
    }
    // A failed write is the cause when there was one; otherwise the encoder gave up alone.
    if (!ecrit)
        ecriture.abandonner(raison.isEmpty() ? tr("l'image n'a pas pu être encodée") : raison);
    if (!ecriture.terminer())
        return echec(ecriture.raison());
    return true;
}

QStringList lignes_cartouche(const Legende_page &legende)
{
    QStringList lignes = legende.projet;
    lignes << QStringList{
        legende.latitude_page.isEmpty() ? legende.latitude : legende.latitude_page,
        legende.longitude, legende.fuseau, tr("Échelle des heures : %1").arg(legende.echelle)};
    if (!legende.lignes_horaires.isEmpty())
        lignes << legende.lignes_horaires;
    lignes << legende.modele;
    if (!legende.projection.isEmpty())
        lignes << tr("Projection : %1").arg(legende.projection);
    if (!legende.horizon.isEmpty())
        lignes << tr("Horizon : %1").arg(legende.horizon);
    lignes << legende.fenetre;
    const QString version = QStringLiteral("Orvane ") + QStringLiteral(ORVANE_VERSION);
    lignes << (legende.date.isValid()
                   ? tr("Établi le %1 — %2")
                         .arg(QLocale().toString(legende.date, QStringLiteral("d MMMM yyyy")),
                              version)
                   : version);
    lignes.removeAll(QString());
    return lignes;
}

namespace
{
// Relative luminance of an sRGB colour (WCAG 2).
double luminance(const QColor &couleur)
{
    const auto canal = [](double c) {
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * canal(couleur.redF()) + 0.7152 * canal(couleur.greenF()) +
           0.0722 * canal(couleur.blueF());
}

constexpr double contraste_texte_min = 4.5;
} // namespace

double contraste(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor couleur_lisible(const QColor &couleur)
{
    if (contraste(couleur, Qt::white) >= contraste_texte_min)
        return couleur;
    // The lightness goes down a step at a time, hue and saturation kept.
    QColor sombre = couleur.toHsl();
    while (contraste(sombre, Qt::white) < contraste_texte_min && sombre.lightness() > 0)
        sombre.setHsl(sombre.hslHue(), sombre.hslSaturation(), std::max(0, sombre.lightness() - 4));
    return sombre.toRgb();
}

void dessiner_page(QGraphicsScene &scene, const Legende_page &legende, QPagedPaintDevice &page)
{
    dessiner(scene, legende, page);
}

namespace
{

// The report page; false when the device could not be painted on. A disc stands left of a
// column that holds the title block and the table; the cylindrical chart, as wide as it is low,
// takes the page's whole width, with the title block and the table side by side under it.
bool dessiner(QGraphicsScene &scene, const Legende_page &legende, QPagedPaintDevice &page)
{
    QPainter peintre;
    if (!peintre.begin(&page))
        return false;
    // From points to the device's units, the page centred on what the device can print (a
    // printer's margins are outside its paint rectangle).
    const double echelle = std::min(page.width() / largeur_page, page.height() / hauteur_page);
    peintre.translate((page.width() - largeur_page * echelle) / 2.0,
                      (page.height() - hauteur_page * echelle) / 2.0);
    peintre.scale(echelle, echelle);
    peintre.setRenderHint(QPainter::Antialiasing);
    peintre.setRenderHint(QPainter::TextAntialiasing);

    const QColor encre(0x20, 0x20, 0x20);
    const QColor filet(0xb0, 0xb0, 0xb0);
    const double droite = largeur_page - marge;
    const auto *diagramme = qobject_cast<const Scene *>(&scene);
    const bool en_largeur = diagramme && !diagramme->projection().est_polaire() &&
                            !diagramme->projection().cadre().isEmpty();

    // Heading across the page: the title, then a rule.
    double y = marge;
    peintre.setPen(encre);
    peintre.setFont(police_page(20, true));
    const QFontMetricsF titre(peintre.font());
    peintre.drawText(QPointF(marge, y + titre.ascent()), legende.titre);
    y += titre.height() + 6.0;
    peintre.setPen(QPen(encre, 1.0));
    peintre.drawLine(QPointF(marge, y), QPointF(droite, y));
    y += 14.0;
    const double haut = y;

    // The title block's lines and the hatchings' lines under them; the project's first line
    // and the place's first line in bold.
    const QFont texte = police_page(11);
    const QFont texte_gras = police_page(11, true);
    const QFontMetricsF mesure(texte);
    const double interligne = mesure.height() + 3.0;
    const QStringList cartouche = lignes_cartouche(legende);
    // A hatching's line, after its swatch, wraps within the block's width.
    constexpr double cote_echantillon = 10.0;
    constexpr double retrait = cote_echantillon + 5.0;
    const auto cadre_hachure = [&](const QString &ligne, double largeur) {
        return mesure.boundingRect(QRectF(0.0, 0.0, largeur - retrait, hauteur_page),
                                   Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, ligne);
    };
    const auto hauteur_hachures = [&](double largeur) {
        double hauteur = legende.hachures.isEmpty() ? 0.0 : 4.0;
        for (const Hachure_page &hachure : legende.hachures)
            hauteur += cadre_hachure(hachure.texte, largeur).height() + 3.0;
        return hauteur;
    };
    const auto dessiner_cartouche = [&](double x, double y_haut, double largeur) {
        peintre.setPen(encre);
        for (int k = 0; k < cartouche.size(); ++k) {
            peintre.setFont(k == 0 || k == legende.projet.size() ? texte_gras : texte);
            peintre.drawText(
                QPointF(x, y_haut + mesure.ascent()),
                QFontMetricsF(peintre.font()).elidedText(cartouche[k], Qt::ElideMiddle, largeur));
            y_haut += interligne;
        }
        return y_haut;
    };
    // Each hatching: a swatch in its colour and pattern, then what it shows.
    const auto dessiner_hachures = [&](double x, double y_haut, double largeur) {
        if (!legende.hachures.isEmpty())
            y_haut += 4.0;
        peintre.setFont(texte);
        for (const Hachure_page &hachure : legende.hachures) {
            const QRectF echantillon(x, y_haut + (mesure.height() - cote_echantillon) / 2.0,
                                     cote_echantillon, cote_echantillon);
            peintre.setPen(QPen(hachure.couleur, 0.75));
            peintre.setBrush(QBrush(hachure.couleur, hachure.motif));
            peintre.drawRect(echantillon);
            peintre.setBrush(Qt::NoBrush);
            peintre.setPen(encre);
            const QRectF place =
                cadre_hachure(hachure.texte, largeur).translated(x + retrait, y_haut);
            peintre.drawText(place, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, hachure.texte);
            y_haut += place.height() + 3.0;
        }
        return y_haut;
    };

    // The output table: the plotted date in its course's colour leads each row.
    QStringList entetes = legende.entetes;
    entetes.prepend(tr("Courbe"));
    QFont cellule;
    QFont entete;
    QVector<double> largeurs;
    double total = 0.0;
    // The columns' widths in type of `corps` points: the widest of each column's texts.
    const auto mesurer = [&](double corps) {
        cellule = police_page(corps);
        entete = police_page(corps, true);
        const QFontMetricsF mesure_cellule(cellule);
        largeurs.fill(0.0, entetes.size());
        for (int c = 0; c < entetes.size(); ++c)
            largeurs[c] = QFontMetricsF(entete).horizontalAdvance(entetes[c]);
        for (int l = 0; l < legende.lignes.size(); ++l) {
            largeurs[0] = std::max(
                largeurs[0], 22.0 + mesure_cellule.horizontalAdvance(legende.dates.value(l).first));
            for (int c = 0; c < legende.lignes[l].size() && c + 1 < entetes.size(); ++c)
                largeurs[c + 1] = std::max(largeurs[c + 1],
                                           mesure_cellule.horizontalAdvance(legende.lignes[l][c]));
        }
        total = 0.0;
        for (double l : qAsConst(largeurs))
            total += l;
    };
    // The table's type for a column `largeur_table` wide: a table too wide for it (the two
    // columns of a mask) takes a smaller type, a whole unit at least at each step, so that it
    // fits with a little room between its columns.
    const auto ajuster = [&](double largeur_table) {
        double corps = corps_table;
        mesurer(corps);
        while (total > largeur_table - ecart_colonnes * largeurs.size() && corps > corps_min) {
            corps = std::max(
                corps_min,
                std::min(corps - 1.0,
                         corps * (largeur_table - ecart_colonnes * largeurs.size()) / total));
            mesurer(corps);
        }
    };
    const double hauteur_titre_table = interligne + 2.0;
    const auto dessiner_table = [&](double x_table, double y_table, double largeur_table,
                                    double bas) {
        peintre.setFont(texte_gras);
        peintre.setPen(encre);
        peintre.drawText(QPointF(x_table, y_table + mesure.ascent()),
                         tr("Lever et coucher du soleil, durée du jour"));
        y_table += hauteur_titre_table;
        // The rows share the height left under the heading, up to half as tall again as they
        // need; returns where the table ends.
        const double hauteur_min = QFontMetricsF(cellule).height() + 5.0;
        const double hauteur_ligne = std::clamp((bas - y_table) / (legende.lignes.size() + 1),
                                                hauteur_min, hauteur_min * 1.5);
        // The room left is shared between the columns.
        const double jeu = std::max(0.0, (largeur_table - total) / largeurs.size());
        QVector<double> colonnes = largeurs;
        for (double &l : colonnes)
            l += jeu;
        auto rangee = [&](double y_ligne, const QStringList &textes, const QFont &police,
                          const QColor &couleur_date) {
            peintre.setFont(police);
            double x = x_table;
            for (int c = 0; c < textes.size() && c < colonnes.size(); ++c) {
                QRectF case_(x, y_ligne, colonnes[c], hauteur_ligne);
                if (c == 0 && couleur_date.isValid()) {
                    peintre.setPen(QPen(couleur_date, 2.0));
                    const double milieu = y_ligne + hauteur_ligne / 2.0;
                    peintre.drawLine(QPointF(x + 2.0, milieu), QPointF(x + 18.0, milieu));
                    case_.setLeft(x + 22.0);
                    // The stroke in the course's colour, its text in a shade readable on paper.
                    peintre.setPen(couleur_lisible(couleur_date));
                    peintre.drawText(case_, Qt::AlignLeft | Qt::AlignVCenter, textes[c]);
                } else {
                    peintre.setPen(encre);
                    peintre.drawText(case_,
                                     (c == 0 ? Qt::AlignLeft : Qt::AlignHCenter) | Qt::AlignVCenter,
                                     textes[c]);
                }
                x += colonnes[c];
            }
        };
        const double largeur_rangee = std::min(largeur_table, total + jeu * colonnes.size());
        peintre.fillRect(QRectF(x_table, y_table, largeur_rangee, hauteur_ligne),
                         QColor(0xee, 0xee, 0xee));
        rangee(y_table, entetes, entete, QColor());
        y_table += hauteur_ligne;
        peintre.setPen(QPen(encre, 0.75));
        peintre.drawLine(QPointF(x_table, y_table), QPointF(x_table + largeur_rangee, y_table));
        for (int l = 0; l < legende.lignes.size(); ++l) {
            const QPair<QString, QColor> date = legende.dates.value(l);
            rangee(y_table, QStringList{date.first} + legende.lignes[l], cellule,
                   date.second.isValid() ? date.second : encre);
            y_table += hauteur_ligne;
            peintre.setPen(QPen(filet, 0.5));
            peintre.drawLine(QPointF(x_table, y_table), QPointF(x_table + largeur_rangee, y_table));
        }
        return y_table;
    };

    // The diagram: the scene's part fitted into `cadre`, kept in proportion, centred across it
    // and against its top. Recorded first in a picture, at the screen's resolution, and
    // replayed at the device's: the diagram's texts, whose sizes are in points, keep their
    // size against its lines as on screen whatever the device's resolution. Returns the height
    // it takes.
    const QRectF source = partie_dessinee(scene);
    const auto dessiner_diagramme = [&](const QRectF &cadre) {
        if (source.isEmpty())
            return 0.0;
        QPicture image;
        {
            QPainter enregistreur(&image);
            enregistreur.setRenderHint(QPainter::Antialiasing);
            enregistreur.setRenderHint(QPainter::TextAntialiasing);
            // An item that only reaches into the part drawn (a legend row beside one that is
            // drawn whole) stays out rather than be cut by the frame.
            std::vector<QGraphicsItem *> coupes;
            const auto touches = scene.items(source, Qt::IntersectsItemBoundingRect);
            for (QGraphicsItem *item : touches)
                if (item->isVisible() && !source.contains(item->sceneBoundingRect())) {
                    item->hide();
                    coupes.push_back(item);
                }
            scene.render(&enregistreur, QRectF(QPointF(0, 0), source.size()), source,
                         Qt::KeepAspectRatio);
            for (QGraphicsItem *item : coupes)
                item->show();
        }
        const double rapport =
            std::min(cadre.width() / source.width(), cadre.height() / source.height());
        const QSizeF taille = source.size() * rapport;
        // The picture scales itself by the device's resolution against its own on replay.
        const double resolution = double(image.logicalDpiX()) / page.logicalDpiX();
        peintre.save();
        peintre.translate(cadre.left() + (cadre.width() - taille.width()) / 2.0, cadre.top());
        peintre.scale(rapport * resolution, rapport * resolution);
        peintre.drawPicture(QPointF(0, 0), image);
        peintre.restore();
        peintre.setPen(QPen(filet, 0.75));
        peintre.setBrush(Qt::NoBrush);
        peintre.drawRect(QRectF(cadre.left() + (cadre.width() - taille.width()) / 2.0, cadre.top(),
                                taille.width(), taille.height()));
        return taille.height();
    };

    // The year's sun on the window, across a second page under the same title.
    const auto seconde_page = [&]() {
        if (!legende.grille)
            return true;
        if (!page.newPage())
            return false;
        peintre.setPen(encre);
        peintre.setFont(police_page(20, true));
        peintre.drawText(QPointF(marge, marge + titre.ascent()), legende.titre);
        peintre.setPen(QPen(encre, 1.0));
        peintre.drawLine(QPointF(marge, haut - 14.0), QPointF(droite, haut - 14.0));
        const double largeur = droite - marge;
        dessiner_grille(
            peintre,
            QRectF(marge, haut, largeur, std::min(largeur * 0.55, hauteur_page - marge - haut)),
            *legende.grille, legende.echelle);
        return true;
    };

    const double bas_page = hauteur_page - marge;
    if (!en_largeur) {
        const double x_colonne = droite - largeur_colonne;
        dessiner_diagramme(QRectF(marge, haut, x_colonne - gouttiere - marge, bas_page - haut));
        // The title block right of the diagram, then the table under its heading.
        y = dessiner_cartouche(x_colonne, haut, largeur_colonne);
        y = dessiner_hachures(x_colonne, y, largeur_colonne) + 10.0;
        ajuster(largeur_colonne);
        dessiner_table(x_colonne, y, largeur_colonne, bas_page);
        const bool grille = seconde_page();
        return peintre.end() && grille;
    }

    // Under the chart, the title block left and the table right, the hatchings' lines under
    // whichever of the two leaves the chart the more height; the chart takes the height that
    // they leave.
    const double largeur_cartouche = largeur_colonne;
    const double x_table = marge + largeur_cartouche + gouttiere;
    const double largeur_table = droite - x_table;
    ajuster(largeur_table);
    const double hauteur_table =
        hauteur_titre_table + (legende.lignes.size() + 1) * (QFontMetricsF(cellule).height() + 5.0);
    const double hauteur_lignes = interligne * cartouche.size();
    const double sous_table =
        std::max(hauteur_lignes, hauteur_table + hauteur_hachures(largeur_table));
    const double sous_cartouche =
        std::max(hauteur_lignes + hauteur_hachures(largeur_cartouche), hauteur_table);
    const bool hachures_a_droite = sous_table <= sous_cartouche;
    const double dessous = std::min(sous_table, sous_cartouche);
    const double hauteur_diagramme = dessiner_diagramme(
        QRectF(marge, haut, droite - marge, std::max(bas_page - haut - dessous - gouttiere, 0.0)));
    y = haut + hauteur_diagramme + gouttiere;
    const double fin_cartouche = dessiner_cartouche(marge, y, largeur_cartouche);
    const double fin_table = dessiner_table(x_table, y, largeur_table, y + hauteur_table);
    if (hachures_a_droite)
        dessiner_hachures(x_table, fin_table, largeur_table);
    else
        dessiner_hachures(marge, fin_cartouche, largeur_cartouche);
    const bool grille = seconde_page();
    return peintre.end() && grille;
}

} // namespace
