// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "photo/photo.h"

#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <cmath>
#include <vector>

namespace
{
constexpr double pi = 3.141592653589793;

// A pixel brighter than this (its highest channel) belongs to the lens's disc.
constexpr int seuil_disque = 40;

// `a` and `b` mixed, `t` of 256 parts towards `b`: two channels at a time in one word.
inline QRgb melange(QRgb a, QRgb b, quint32 t)
{
    const quint32 u = 256 - t;
    const quint32 rb = (((a & 0x00ff00ffu) * u + (b & 0x00ff00ffu) * t) >> 8) & 0x00ff00ffu;
    const quint32 ag = (((a >> 8) & 0x00ff00ffu) * u + ((b >> 8) & 0x00ff00ffu) * t) & 0xff00ff00u;
    return rb | ag;
}

// A 32-bit opaque image's pixels, for reading without a call per pixel.
struct Pixels {
    const uchar *bits;
    qsizetype ligne;
    int w, h;
    explicit Pixels(const QImage &image)
        : bits(image.constBits()), ligne(image.bytesPerLine()), w(image.width()), h(image.height())
    {
    }
    const QRgb *rangee(int y) const { return reinterpret_cast<const QRgb *>(bits + y * ligne); }
};

// Bilinear reading at a continuous point, to 1/256 of a pixel; transparent (0) off the image.
inline QRgb lire(const Pixels &image, double x, double y)
{
    const int w = image.w;
    const int h = image.h;
    if (!(x >= 0.0 && y >= 0.0 && x <= w && y <= h))
        return 0;
    const double fx = std::clamp(x - 0.5, 0.0, w - 1.0);
    const double fy = std::clamp(y - 0.5, 0.0, h - 1.0);
    const int x0 = static_cast<int>(fx);
    const int y0 = static_cast<int>(fy);
    const int x1 = std::min(x0 + 1, w - 1);
    const int y1 = std::min(y0 + 1, h - 1);
    const auto tx = static_cast<quint32>((fx - x0) * 256.0 + 0.5);
    const auto ty = static_cast<quint32>((fy - y0) * 256.0 + 0.5);
    const QRgb *l0 = image.rangee(y0);
    const QRgb *l1 = image.rangee(y1);
    return melange(melange(l0[x0], l0[x1], tx), melange(l1[x0], l1[x1], tx), ty) | 0xff000000u;
}
} // namespace

QImage lire_photo(const QString &chemin, QString *erreur)
{
    const QFileInfo info(chemin);
    const auto echec = [erreur](const QString &raison) {
        if (erreur)
            *erreur = raison;
        return QImage();
    };
    if (!info.exists())
        return echec(QStringLiteral("le fichier n'existe pas"));
    if (!info.isFile())
        return echec(QStringLiteral("ce n'est pas un fichier ordinaire"));
    if (info.size() > taille_max_photo)
        return echec(QStringLiteral("il dépasse 200 Mo"));
    QImageReader lecteur(chemin);
    lecteur.setAutoTransform(true);
    const QByteArray format = lecteur.format();
    if (format != "jpeg" && format != "png")
        return echec(QStringLiteral("ce n'est pas une image JPEG ou PNG"));
    QImage image = lecteur.read();
    if (image.isNull())
        return echec(QStringLiteral("l'image ne peut être lue (%1)").arg(lecteur.errorString()));
    return image.convertToFormat(QImage::Format_RGB32);
}

Calibration_Photo calibration_proposee(const QImage &image, const Calibration_Photo &loi,
                                       double champ)
{
    Calibration_Photo c = loi;
    const Calibration_Photo defaut = calibration_par_defaut(image.size(), loi.objectif);
    c.centre = defaut.centre;
    c.rayon = defaut.rayon;
    if (c.panorama() || image.isNull())
        return c;
    // Read on a grid of about 800 pixels across: enough for the disc's edge within a few pixels.
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const int pas = std::max(1, std::max(rgb.width(), rgb.height()) / 800);
    const auto clair = [&](int x, int y) {
        const QRgb p = rgb.pixel(x, y);
        return std::max({qRed(p), qGreen(p), qBlue(p)}) > seuil_disque;
    };
    // The corners dark: a disc inside the frame.
    const int coin = std::max(1, std::min(rgb.width(), rgb.height()) / 30);
    int clairs = 0, vus = 0;
    for (const int cx : {0, rgb.width() - coin})
        for (const int cy : {0, rgb.height() - coin})
            for (int y = cy; y < cy + coin; y += pas)
                for (int x = cx; x < cx + coin; x += pas) {
                    clairs += clair(x, y);
                    ++vus;
                }
    if (vus == 0 || clairs * 10 > vus)
        return c;
    // The disc's extent: the rows and columns with a few bright pixels.
    std::vector<int> lignes(rgb.height(), 0), colonnes(rgb.width(), 0);
    for (int y = 0; y < rgb.height(); y += pas)
        for (int x = 0; x < rgb.width(); x += pas)
            if (clair(x, y)) {
                ++lignes[y];
                ++colonnes[x];
            }
    const int min_l = std::max(2, rgb.width() / pas / 200);
    const int min_c = std::max(2, rgb.height() / pas / 200);
    int haut = -1, bas = -1, gauche = -1, droite = -1;
    for (int y = 0; y < rgb.height(); ++y)
        if (lignes[y] >= min_l) {
            if (haut < 0)
                haut = y;
            bas = y + pas;
        }
    for (int x = 0; x < rgb.width(); ++x)
        if (colonnes[x] >= min_c) {
            if (gauche < 0)
                gauche = x;
            droite = x + pas;
        }
    if (haut < 0 || gauche < 0)
        return c;
    const double rayon_disque = std::max(droite - gauche, bas - haut) / 2.0;
    if (rayon_disque < std::min(rgb.width(), rgb.height()) / 8.0)
        return c;
    c.centre = QPointF((gauche + droite) / 2.0, (haut + bas) / 2.0);
    const double bord = rapport_rayon(c, champ / 2.0 * pi / 180.0);
    c.rayon = bord > 0.0 ? rayon_disque / bord : rayon_disque;
    return c;
}

bool Photo_Diagramme::operator==(const Photo_Diagramme &autre) const
{
    const qint64 a = image ? image->cacheKey() : 0;
    const qint64 b = autre.image ? autre.image->cacheKey() : 0;
    return a == b && fichier == autre.fichier && calibration == autre.calibration &&
           opacite == autre.opacite;
}

QImage calque_photo(const QImage &source, const Calibration_Photo &c, const Projection &p,
                    double echelle)
{
    const QRectF cadre = p.cadre();
    const int largeur = static_cast<int>(std::ceil(cadre.width() * echelle));
    const int hauteur = static_cast<int>(std::ceil(cadre.height() * echelle));
    if (largeur <= 0 || hauteur <= 0 || source.isNull() || echelle <= 0.0)
        return QImage();
    QImage calque(largeur, hauteur, QImage::Format_ARGB32_Premultiplied);
    calque.fill(Qt::transparent);
    const QImage rgb = source.format() == QImage::Format_RGB32
                           ? source
                           : source.convertToFormat(QImage::Format_RGB32);
    const Pixels photo(rgb);
    const QSize taille = rgb.size();
    const auto scene_x = [&](int u) { return cadre.left() + (u + 0.5) / echelle; };
    const auto scene_y = [&](int v) { return cadre.top() + (v + 0.5) / echelle; };
    // The image's angle of each bearing; both are linear in each other.
    const auto angle = [&c](double gisement) {
        return c.miroir ? c.nord - gisement : gisement - c.nord;
    };
    const auto opaque = [](QRgb v) { return v | 0xff000000u; };

    if (!p.est_polaire()) {
        // The chart: a column is an azimuth, a row a height.
        std::vector<double> ax(largeur), ay(largeur), px(largeur);
        for (int u = 0; u < largeur; ++u) {
            const double az = p.direction(QPointF(scene_x(u), 0.0)).azimut;
            const double a = angle(-az) * pi / 180.0;
            ax[u] = std::sin(a);
            ay[u] = -std::cos(a);
            const double deg = angle(-az);
            px[u] = (deg - 360.0 * std::floor(deg / 360.0)) / 360.0 * taille.width();
        }
        for (int v = 0; v < hauteur; ++v) {
            const double h = p.direction(QPointF(0.0, scene_y(v))).hauteur;
            if (h < 0.0 || h > 90.0)
                continue;
            auto *ligne = reinterpret_cast<QRgb *>(calque.scanLine(v));
            const double theta = (90.0 - h) * pi / 180.0;
            if (c.panorama()) {
                const double y = (90.0 - h) / 180.0 * taille.height();
                for (int u = 0; u < largeur; ++u)
                    if (const QRgb v2 = lire(photo, px[u], y))
                        ligne[u] = opaque(v2);
                continue;
            }
            const double r = c.rayon * rapport_rayon(c, theta);
            for (int u = 0; u < largeur; ++u)
                if (const QRgb v2 = lire(photo, c.centre.x() + r * ax[u], c.centre.y() + r * ay[u]))
                    ligne[u] = opaque(v2);
        }
        return calque;
    }

    // The disc: the photo's radius (or a panorama's row) by the scene's radius, from a table
    // a quarter of a pixel fine; the bearing turns by a fixed rotation and mirror.
    const double rayon_disque = p.diametre() / 2.0;
    const double pas_table = 0.25 / echelle;
    const int n = static_cast<int>(std::ceil(rayon_disque / pas_table)) + 2;
    std::vector<double> table(n);
    for (int k = 0; k < n; ++k) {
        const double h = p.direction(QPointF(0.0, -k * pas_table)).hauteur;
        const double theta = (90.0 - h) * pi / 180.0;
        table[k] =
            c.panorama() ? (90.0 - h) / 180.0 * taille.height() : c.rayon * rapport_rayon(c, theta);
    }
    const auto dans_table = [&](double r) {
        const double k = r / pas_table;
        const int i = std::min(static_cast<int>(k), n - 2);
        return table[i] + (table[i + 1] - table[i]) * (k - i);
    };
    // Where the unit vectors at bearings 90 (x) and 180 (y) of the scene go on the image.
    const double a90 = angle(90.0) * pi / 180.0;
    const double a180 = angle(180.0) * pi / 180.0;
    const double m11 = std::sin(a90), m21 = -std::cos(a90);
    const double m12 = std::sin(a180), m22 = -std::cos(a180);
    const double r2_max = rayon_disque * rayon_disque;
    for (int v = 0; v < hauteur; ++v) {
        auto *ligne = reinterpret_cast<QRgb *>(calque.scanLine(v));
        const double y = scene_y(v);
        for (int u = 0; u < largeur; ++u) {
            const double x = scene_x(u);
            const double r2 = x * x + y * y;
            if (r2 > r2_max)
                continue;
            const double r = std::sqrt(r2);
            QRgb valeur;
            if (c.panorama()) {
                const double gisement = std::atan2(x, -y) * 180.0 / pi;
                const double deg = angle(gisement);
                valeur =
                    lire(photo, (deg - 360.0 * std::floor(deg / 360.0)) / 360.0 * taille.width(),
                         dans_table(r));
            } else {
                const double f = r > 0.0 ? dans_table(r) / r : 0.0;
                valeur = lire(photo, c.centre.x() + f * (m11 * x + m12 * y),
                              c.centre.y() + f * (m21 * x + m22 * y));
            }
            if (valeur)
                ligne[u] = opaque(valeur);
        }
    }
    return calque;
}

const QImage &Calque_Photo::calque(const Photo_Diagramme &photo, const Projection &projection,
                                   double echelle)
{
    const qint64 cle = photo.presente() ? photo.image->cacheKey() : 0;
    if (cle != m_image || photo.calibration != m_calibration || projection != m_projection ||
        echelle != m_echelle) {
        m_calque = QImage();
        if (photo.presente()) {
            const QImage &image = *photo.image;
            const QSizeF cadre = projection.cadre().size() * echelle;
            const int cote =
                std::max(2048, static_cast<int>(1.5 * std::max(cadre.width(), cadre.height())));
            if (std::max(image.width(), image.height()) <= cote) {
                m_calque = calque_photo(image, photo.calibration, projection, echelle);
            } else {
                if (m_image_reduite != cle || m_cote_reduite != cote) {
                    m_reduite =
                        image.scaled(cote, cote, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                            .convertToFormat(QImage::Format_RGB32);
                    m_image_reduite = cle;
                    m_cote_reduite = cote;
                }
                // Pixels are continuous, edges on whole numbers: a point scales with the image.
                const double fx = double(m_reduite.width()) / image.width();
                const double fy = double(m_reduite.height()) / image.height();
                Calibration_Photo c = photo.calibration;
                c.centre = QPointF(c.centre.x() * fx, c.centre.y() * fy);
                c.rayon *= (fx + fy) / 2.0;
                m_calque = calque_photo(m_reduite, c, projection, echelle);
            }
        }
        m_image = cle;
        m_calibration = photo.calibration;
        m_projection = projection;
        m_echelle = echelle;
    }
    return m_calque;
}
