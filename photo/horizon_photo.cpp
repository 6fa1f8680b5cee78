// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "photo/horizon_photo.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace
{
// An obstacle lasts when it holds this share of the samples over this span from its start,
// degrees: a thin branch or a speck of noise does not.
constexpr double part_obstacle = 0.8;
constexpr double duree_obstacle = 2.0;
// The running median's width, degrees.
constexpr int largeur_mediane = 5;

// The blue channel read bilinearly at a continuous point; −1 off the image.
double bleu(const QImage &image, double x, double y)
{
    const int w = image.width();
    const int h = image.height();
    if (!(x >= 0.0 && y >= 0.0 && x <= w && y <= h))
        return -1.0;
    const double fx = std::clamp(x - 0.5, 0.0, w - 1.0);
    const double fy = std::clamp(y - 0.5, 0.0, h - 1.0);
    const int x0 = std::min(static_cast<int>(fx), w - 1);
    const int y0 = std::min(static_cast<int>(fy), h - 1);
    const int x1 = std::min(x0 + 1, w - 1);
    const int y1 = std::min(y0 + 1, h - 1);
    const double tx = fx - x0;
    const double ty = fy - y0;
    const auto *l0 = reinterpret_cast<const QRgb *>(image.constScanLine(y0));
    const auto *l1 = reinterpret_cast<const QRgb *>(image.constScanLine(y1));
    const double haut = qBlue(l0[x0]) + (qBlue(l0[x1]) - qBlue(l0[x0])) * tx;
    const double bas = qBlue(l1[x0]) + (qBlue(l1[x1]) - qBlue(l1[x0])) * tx;
    return haut + (bas - haut) * ty;
}

QImage en_rgb32(const QImage &photo)
{
    return photo.format() == QImage::Format_RGB32 ? photo
                                                  : photo.convertToFormat(QImage::Format_RGB32);
}
} // namespace

int seuil_otsu(const QImage &source, const Calibration_Photo &c)
{
    const QImage photo = en_rgb32(source);
    if (photo.isNull())
        return 127;
    std::array<double, 256> histogramme{};
    // About two million pixels read at most.
    const double n = static_cast<double>(photo.width()) * photo.height();
    const int pas = std::max(1, static_cast<int>(std::ceil(std::sqrt(n / 2.0e6))));
    const int y_fin = c.panorama() ? photo.height() / 2 : photo.height();
    const double r2 = c.rayon * c.rayon;
    for (int y = 0; y < y_fin; y += pas) {
        const auto *ligne = reinterpret_cast<const QRgb *>(photo.constScanLine(y));
        const double dy = y + 0.5 - c.centre.y();
        for (int x = 0; x < photo.width(); x += pas) {
            if (!c.panorama()) {
                const double dx = x + 0.5 - c.centre.x();
                if (dx * dx + dy * dy > r2)
                    continue;
            }
            histogramme[qBlue(ligne[x])] += 1.0;
        }
    }
    double total = 0.0, somme = 0.0;
    for (int i = 0; i < 256; ++i) {
        total += histogramme[i];
        somme += i * histogramme[i];
    }
    // The threshold that parts the histogram with the widest variance between its two classes.
    double poids = 0.0, somme_bas = 0.0, meilleure = -1.0;
    int seuil = 127;
    for (int t = 0; t < 255; ++t) {
        poids += histogramme[t];
        somme_bas += t * histogramme[t];
        const double reste = total - poids;
        if (poids <= 0.0 || reste <= 0.0)
            continue;
        const double ecart = somme_bas / poids - (somme - somme_bas) / reste;
        const double variance = poids * reste * ecart * ecart;
        if (variance > meilleure) {
            meilleure = variance;
            seuil = t;
        }
    }
    return seuil;
}

std::vector<double> tracer_horizon(const QImage &source, const Calibration_Photo &c, int seuil)
{
    const QImage photo = en_rgb32(source);
    std::vector<double> hauteurs(360, 0.0);
    if (photo.isNull())
        return hauteurs;
    const QSize taille = photo.size();
    // About a quarter of a pixel between samples along the ray.
    const double pixels = c.panorama() ? taille.height() / 2.0 : c.rayon;
    const int pas = std::clamp(static_cast<int>(std::ceil(4.0 * pixels)), 900, 12000);
    const double delta = 90.0 / pas;
    const int duree = std::max(2, static_cast<int>(std::lround(duree_obstacle / delta)));
    std::vector<double> valeurs(pas + 1);
    for (int gisement = 0; gisement < 360; ++gisement) {
        for (int i = 0; i <= pas; ++i) {
            const QPointF p = pixel_direction(c, taille, -gisement, 90.0 - i * delta);
            valeurs[i] = bleu(photo, p.x(), p.y());
        }
        // Off the image counts as neither: the ray ends there.
        int fin = pas + 1;
        for (int i = 0; i <= pas; ++i)
            if (valeurs[i] < 0.0) {
                fin = i;
                break;
            }
        const auto obstacle = [&](int i) { return valeurs[i] <= seuil; };
        double theta = 90.0;
        for (int i = 0; i < fin; ++i) {
            if (!obstacle(i) || (i > 0 && obstacle(i - 1)))
                continue;
            const int bout = std::min(fin, i + duree);
            int pleins = 0;
            for (int k = i; k < bout; ++k)
                pleins += obstacle(k);
            if (pleins < part_obstacle * (bout - i))
                continue;
            // Where the blue crosses the threshold between the last sky sample and this one.
            if (i == 0) {
                theta = 0.0;
            } else {
                const double b0 = valeurs[i - 1], b1 = valeurs[i];
                const double t = b0 > b1 ? (b0 - seuil) / (b0 - b1) : 1.0;
                theta = (i - 1 + std::clamp(t, 0.0, 1.0)) * delta;
            }
            break;
        }
        hauteurs[gisement] = std::clamp(90.0 - theta, 0.0, 90.0);
    }
    // The running median, round the horizon.
    std::vector<double> lissees(360);
    std::array<double, largeur_mediane> fenetre{};
    for (int g = 0; g < 360; ++g) {
        for (int k = 0; k < largeur_mediane; ++k)
            fenetre[k] = hauteurs[(g + k - largeur_mediane / 2 + 360) % 360];
        std::nth_element(fenetre.begin(), fenetre.begin() + largeur_mediane / 2, fenetre.end());
        lissees[g] = fenetre[largeur_mediane / 2];
    }
    return lissees;
}

void imposer_hauteur(std::vector<double> &hauteurs, int de, int a, double hauteur)
{
    if (hauteurs.size() != 360)
        return;
    const int fin = ((a % 360) + 360) % 360;
    for (int g = ((de % 360) + 360) % 360;; g = (g + 1) % 360) {
        hauteurs[g] = std::clamp(hauteur, 0.0, 90.0);
        if (g == fin)
            break;
    }
}

Horizon_Lu horizon_lu(const std::vector<double> &hauteurs)
{
    Horizon_Lu lu;
    lu.convention = Convention_Azimut::Nord;
    for (std::size_t g = 0; g < hauteurs.size(); ++g)
        lu.points.emplace_back(static_cast<double>(g), hauteurs[g]);
    return lu;
}
