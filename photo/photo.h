// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_PHOTO_PHOTO_H
#define ORVANE_PHOTO_PHOTO_H

// A photo of the sky laid under the diagram: read from its file, its circle proposed, and
// reprojected onto the drawing through the projection's inverse and the lens (photo/objectif.h).
// Widget-free. Angles in degrees, pixels as photo/objectif.h counts them.

#include "photo/objectif.h"
#include "projection/projection.h"

#include <QImage>
#include <QRectF>
#include <QString>

#include <memory>

// Files larger than this are refused unread, bytes.
inline constexpr qint64 taille_max_photo = 200LL * 1024 * 1024;

// The photo read from `chemin` (JPEG or PNG), its EXIF orientation applied, as 32-bit RGB; on
// failure a null image and, in `erreur`, the reason in French.
QImage lire_photo(const QString &chemin, QString *erreur);

// The calibration proposed for a photo through the lens of `loi` (its type and coefficients;
// its bearing and mirror are kept): a fisheye's bright disc on a dark surround gives its centre
// and, where the disc spans `champ` degrees, its horizon's radius; without one, the image's
// centre and half its short side.
Calibration_Photo calibration_proposee(const QImage &image, const Calibration_Photo &loi,
                                       double champ = 180.0);

// A photo under the diagram: the image, the file it came from, how it sees the sky, and its
// opacity, percent, 0..100. No image: nothing drawn.
struct Photo_Diagramme {
    std::shared_ptr<const QImage> image;
    QString fichier;
    Calibration_Photo calibration;
    int opacite = 60;

    bool presente() const { return image && !image->isNull(); }
    bool operator==(const Photo_Diagramme &autre) const;
    bool operator!=(const Photo_Diagramme &autre) const { return !(*this == autre); }
};

// The photo reprojected onto `projection`'s frame (its `cadre()`) at `echelle` pixels per scene
// unit: each pixel's centre taken back to its direction, that direction through the lens to the
// photo, read there bilinearly. Pixels off the sky, or whose direction the photo does not hold,
// are transparent. Premultiplied ARGB.
QImage calque_photo(const QImage &photo, const Calibration_Photo &calibration,
                    const Projection &projection, double echelle);

// The layer kept for as long as the photo, its calibration, the projection and the scale stay
// the same. A photo much finer than the layer is read from a copy of it reduced once (to
// 1.5 × the layer's longer side, 2048 pixels at least): the same picture, read from memory
// that stays in the cache.
class Calque_Photo
{
public:
    const QImage &calque(const Photo_Diagramme &photo, const Projection &projection,
                         double echelle);

private:
    QImage m_reduite;
    qint64 m_image_reduite = 0;
    int m_cote_reduite = 0;
    QImage m_calque;
    qint64 m_image = 0;
    Calibration_Photo m_calibration;
    Projection m_projection;
    double m_echelle = 0.0;
};

#endif
