// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "diagram/scene.h"

#include "diagram/chemin_borne.h"

#include <QBackingStore>
#include <QFont>
#include <QFontMetricsF>
#include <QGraphicsTextItem>
#include <QGraphicsView>
#include <QLine>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QRect>
#include <QRegion>
#include <QString>
#include <QTransform>

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <utility>

namespace
{
// Integer part, toward zero: the disc's geometry is laid on whole scene units.
int tronque(double valeur)
{
    return static_cast<int>(valeur);
}

constexpr double metres_par_pouce = 0.0254;

// The points of a course's runs whose boxes stand for it where the window's pixels no longer
// hold the disc's picture.
constexpr int points_par_morceau = 4;
// The side of the tiles by which the window's pixels that hold the picture are kept, device
// pixels.
constexpr int cote_tuile = 32;

// Data key under which a label made by `ajouter_texte` keeps the colour it was asked for.
constexpr int cle_couleur_demandee = 0x4f72;
} // namespace

Scene::Scene(QObject *parent) : QGraphicsScene(parent)
{
    // Every rebuild clears the scene and fills it again: an index would only cost time.
    setItemIndexMethod(QGraphicsScene::NoIndex);
}

Scene::~Scene() = default;

QGraphicsTextItem *Scene::ajouter_texte(const QString &texte, const QFont &police,
                                        const QColor &couleur)
{
    for (auto de_cote = textes_de_cote.begin(); de_cote != textes_de_cote.end(); ++de_cote) {
        if (de_cote->texte != texte || de_cote->couleur != couleur ||
            de_cote->item->font() != police)
            continue;
        QGraphicsTextItem *item = de_cote->item.release();
        textes_de_cote.erase(de_cote);
        item->setPos(0, 0);
        item->setVisible(true);
        addItem(item);
        return item;
    }
    auto item = std::make_unique<QGraphicsTextItem>();
    item->setFont(police);
    if (couleur.isValid())
        item->setDefaultTextColor(couleur);
    QTextCursor(item->document()).insertText(texte);
    // The label is painted on every frame: its shaped glyphs are kept from the layout rather
    // than shaped again for each paint.
    for (QTextBlock bloc = item->document()->begin(); bloc.isValid(); bloc = bloc.next())
        bloc.layout()->setCacheEnabled(true);
    item->setData(cle_couleur_demandee, couleur);
    addItem(item.get());
    return item.release();
}

void Scene::vider()
{
    textes_de_cote.clear();
    etiquettes_heures.clear();
    etiquettes_courbes.clear();
    etiquettes_cylindre.clear();
    lignes_legende.clear();
    const QList<QGraphicsItem *> tous = items();
    for (QGraphicsItem *item : tous) {
        const QVariant couleur = item->data(cle_couleur_demandee);
        if (item->type() != QGraphicsTextItem::Type || item->parentItem() || !couleur.isValid())
            continue;
        auto *texte = static_cast<QGraphicsTextItem *>(item);
        removeItem(texte);
        textes_de_cote.push_back(Texte_De_Cote{std::unique_ptr<QGraphicsTextItem>(texte),
                                               texte->toPlainText(), couleur.value<QColor>()});
    }
    clear();
}

void Scene::fin_reconstruction()
{
    textes_de_cote.clear();
    emit reconstruite();
}

void Scene::ajouter_chemin(const QPainterPath &chemin, const QPen &pen, const QBrush &brush)
{
    auto item = std::make_unique<Chemin_Borne>(chemin, pen, brush);
    addItem(item.release()); // the scene owns it from here
}

int Scene::NbPointsMasqueMAX() const
{
    return nb_points_masque_max;
}

void Scene::setNbPointsMasqueMAX(int nombre)
{
    nb_points_masque_max = nombre;
}

int Scene::diametre0() const
{
    return diametre;
}

void Scene::setDiametre0(int nombre)
{
    diametre = nombre;
    if (m_projection.est_polaire())
        m_projection = Projection::polaire(m_projection.type(), nombre);
}

bool Scene::Cle_disque::operator==(const Cle_disque &autre) const
{
    return rectangle == autre.rectangle && diametre == autre.diametre &&
           pas_hauteur == autre.pas_hauteur && pas_azimut == autre.pas_azimut &&
           opacite == autre.opacite && graduations == autre.graduations &&
           graduations_azimut == autre.graduations_azimut && echelle == autre.echelle &&
           rendu == autre.rendu && ppp_x == autre.ppp_x && ppp_y == autre.ppp_y &&
           format == autre.format && compacte == autre.compacte && projection == autre.projection &&
           photo == autre.photo && calibration == autre.calibration &&
           opacite_photo == autre.opacite_photo;
}

void Scene::drawBackground(QPainter *painter, const QRectF &rect)
{
    if (!peindre_depuis_image(painter, rect))
        dessiner_disque(painter, rect);
}

bool Scene::Ecran_Connu::suit(const Ecran_Connu &avant) const
{
    return ecran == avant.ecran && magasin == avant.magasin && plateforme == avant.plateforme &&
           pixels == avant.pixels && ligne == avant.ligne && taille == avant.taille &&
           dans_fenetre == avant.dans_fenetre && vers_appareil == avant.vers_appareil &&
           peintures == avant.peintures + 1;
}

bool Scene::peindre_depuis_image(QPainter *painter, const QRectF &rect)
{
    // Forgotten unless this paint ends from the picture into the same backing store.
    Ecran_Connu connu = std::exchange(ecran_connu, Ecran_Connu());
    // Only a window's raster painter: exports, prints and images are always painted anew.
    QPaintDevice *appareil = painter->device();
    QPaintEngine *moteur = painter->paintEngine();
    if (!appareil || appareil->devType() != QInternal::Widget || !moteur ||
        moteur->type() != QPaintEngine::Raster)
        return false;
    // The picture is painted in the format of the image the window is painted into (its
    // backing store): text is rendered differently in different formats.
    const QPaintDevice *cible = moteur->paintDevice();
    if (!cible || cible->devType() != QInternal::Image)
        return false;
    const QImage::Format format = static_cast<const QImage *>(cible)->format();
    // The picture replaces what lies under it: nothing may change its pixels on the way.
    if (painter->opacity() != 1.0 ||
        painter->compositionMode() != QPainter::CompositionMode_SourceOver)
        return false;
    // A uniform scale, and the scene rectangle's corner on a whole device pixel: the picture's
    // pixels then fall exactly on the device's, and a vector painting differs from the one in
    // the picture by a whole number of pixels only, which moves no pixel's value.
    const QTransform vers_appareil = painter->deviceTransform();
    if (vers_appareil.type() > QTransform::TxScale || vers_appareil.m11() <= 0.0 ||
        vers_appareil.m11() != vers_appareil.m22())
        return false;
    const qreal echelle = vers_appareil.m11();
    const QRectF rectangle = sceneRect();
    const QPointF coin = vers_appareil.map(rectangle.topLeft());
    const QSizeF taille = rectangle.size() * echelle;
    const auto entier = [](qreal v) { return v == std::round(v); };
    if (!entier(coin.x()) || !entier(coin.y()) || !entier(taille.width()) ||
        !entier(taille.height()) || taille.isEmpty())
        return false;
    // Only what the picture covers, in whole device pixels (a vector painting would fill the
    // edge pixels of a fractional rectangle in part); the view's rectangle is the scene's and
    // it exposes whole pixels, so this is every repaint of the window.
    const QRectF expose = vers_appareil.mapRect(rect);
    if (!rectangle.contains(rect) || !entier(expose.left()) || !entier(expose.top()) ||
        !entier(expose.right()) || !entier(expose.bottom()))
        return false;

    const Cle_disque cle{rectangle,
                         diametre,
                         options.pas_hauteur,
                         options.pas_azimut,
                         options.opacite,
                         options.graduations_affichees(),
                         options.graduations_azimut,
                         compacte,
                         echelle,
                         static_cast<int>(painter->renderHints()),
                         appareil->logicalDpiX(),
                         appareil->logicalDpiY(),
                         static_cast<int>(format),
                         m_projection,
                         photo.presente() ? photo.image->cacheKey() : 0,
                         photo.presente() ? photo.calibration : Calibration_Photo(),
                         photo.presente() ? photo.opacite : 0};
    if (image_disque.isNull() || !(cle == cle_image)) {
        connu = Ecran_Connu();
        image_disque = QImage(qRound(taille.width()), qRound(taille.height()), format);
        // Text sizes follow the device's resolution: the picture takes it.
        image_disque.setDotsPerMeterX(qRound(cle.ppp_x / metres_par_pouce));
        image_disque.setDotsPerMeterY(qRound(cle.ppp_y / metres_par_pouce));
        if (image_disque.isNull() || image_disque.logicalDpiX() != cle.ppp_x ||
            image_disque.logicalDpiY() != cle.ppp_y) {
            image_disque = QImage();
            return false;
        }
        image_disque.setDevicePixelRatio(echelle);
        QPainter peintre(&image_disque);
        peintre.setRenderHints(painter->renderHints());
        peintre.translate(-rectangle.topLeft());
        dessiner_disque(&peintre, rectangle);
        peintre.end();
        encre_image = encre(image_disque);
        cle_image = cle;
    }

    // The window's own paint into its backing store, whose pixels stay from one paint to the
    // next as the toolkit's own partial repaints expect; a view with a rubber band or widgets
    // over its viewport paints there too.
    auto *ecran = static_cast<QWidget *>(appareil);
    const auto *vue = qobject_cast<const QGraphicsView *>(ecran->parentWidget());
    QBackingStore *magasin = ecran->backingStore();
    const QRegion peignable = moteur->systemClip();
    const bool suivi =
        magasin && magasin->paintDevice() == cible && vue && vue->viewport() == ecran &&
        vue->scene() == this && vue->metaObject() == &QGraphicsView::staticMetaObject &&
        vue->dragMode() != QGraphicsView::RubberBandDrag &&
        ecran->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly).isEmpty();
    // Every paint of the viewport is counted, so that one this scene did not paint (another
    // scene shown meanwhile) makes it forget.
    if (suivi && ecran_compte != ecran) {
        if (ecran_compte)
            ecran_compte->removeEventFilter(this);
        ecran->installEventFilter(this);
        ecran_compte = ecran;
        peintures_vues = 0;
    }
    const auto *image_cible = static_cast<const QImage *>(cible);
    Ecran_Connu ici{ecran,
                    magasin,
                    magasin ? magasin->handle() : nullptr,
                    image_cible->constBits(),
                    image_cible->bytesPerLine(),
                    image_cible->size(),
                    ecran->mapTo(ecran->window(), QPoint()),
                    vers_appareil,
                    peintures_vues,
                    {}};
    const QPoint origine = coin.toPoint();
    const int colonnes = (image_disque.width() + cote_tuile - 1) / cote_tuile;
    const int rangees = (image_disque.height() + cote_tuile - 1) / cote_tuile;
    if (suivi && ici.suit(connu) && connu.propres.size() == std::size_t(colonnes) * rangees)
        ici.propres = std::move(connu.propres);
    else
        ici.propres.assign(std::size_t(colonnes) * rangees, false);

    // The exposed part of the picture, in its pixels, painted but for the tiles the window
    // already shows from it. Around the disc and its labels the picture is white: that part
    // is filled rather than copied, which moves half the memory.
    const QRect dans_image =
        expose.toRect().translated(-origine) & QRect(QPoint(), image_disque.size());
    const auto vers_scene = [&](const QRect &r) {
        return QRectF(rectangle.topLeft() + QPointF(r.topLeft()) / echelle,
                      QSizeF(r.size()) / echelle);
    };
    const auto peindre = [&](const QRect &r) {
        const QRect copie = r & encre_image;
        if (!copie.isEmpty())
            painter->drawImage(vers_scene(copie), image_disque, copie);
        for (const QRect &blanc : QRegion(r).subtracted(copie))
            painter->fillRect(vers_scene(blanc), Qt::white);
    };
    painter->save();
    painter->setCompositionMode(QPainter::CompositionMode_Source);
    if (!dans_image.isEmpty()) {
        // Runs of tiles along a row, each carried down while the next row has the same run.
        struct Bande {
            int x0, x1, y0, y1; // tiles
        };
        std::vector<Bande> ouvertes;
        std::vector<Bande> suivantes;
        const int tx0 = dans_image.left() / cote_tuile;
        const int tx1 = dans_image.right() / cote_tuile;
        const int ty0 = dans_image.top() / cote_tuile;
        const int ty1 = dans_image.bottom() / cote_tuile;
        const auto fermer = [&](const Bande &b) {
            peindre(QRect(QPoint(b.x0 * cote_tuile, b.y0 * cote_tuile),
                          QPoint((b.x1 + 1) * cote_tuile - 1, (b.y1 + 1) * cote_tuile - 1)) &
                    dans_image);
        };
        for (int ty = ty0; ty <= ty1 + 1; ++ty) {
            suivantes.clear();
            for (int tx = tx0; ty <= ty1 && tx <= tx1; ++tx) {
                if (ici.propres[std::size_t(ty) * colonnes + tx])
                    continue;
                int fin = tx;
                while (fin < tx1 && !ici.propres[std::size_t(ty) * colonnes + fin + 1])
                    ++fin;
                const auto meme =
                    std::find_if(ouvertes.begin(), ouvertes.end(),
                                 [&](const Bande &b) { return b.x0 == tx && b.x1 == fin; });
                if (meme != ouvertes.end()) {
                    suivantes.push_back({tx, fin, meme->y0, ty});
                    ouvertes.erase(meme);
                } else {
                    suivantes.push_back({tx, fin, ty, ty});
                }
                tx = fin;
            }
            for (const Bande &b : ouvertes)
                fermer(b);
            std::swap(ouvertes, suivantes);
        }
    }
    painter->restore();

    if (suivi) {
        // Each tile wholly painted now holds the picture; the items, painted next over the
        // exposed pixels, take it away where they reach: their bounds, widened by what
        // antialiasing adds round them, or for a course the boxes of its short runs.
        const QRegion peint = peignable.translated(-origine) & dans_image;
        const QRect tout = peint.rectCount() == 1 ? peint.boundingRect() : QRect();
        for (int ty = 0; ty < rangees; ++ty) {
            for (int tx = 0; tx < colonnes; ++tx) {
                const QRect tuile(tx * cote_tuile, ty * cote_tuile, cote_tuile, cote_tuile);
                if (tout.contains(tuile & QRect(QPoint(), image_disque.size())))
                    ici.propres[std::size_t(ty) * colonnes + tx] = true;
            }
        }
        const auto sali = [&](const QRectF &boite) {
            const QRect r = vers_appareil.mapRect(boite)
                                .toAlignedRect()
                                .adjusted(-2, -2, 2, 2)
                                .translated(-origine) &
                            QRect(QPoint(), image_disque.size());
            if (r.isEmpty())
                return;
            for (int ty = r.top() / cote_tuile; ty <= r.bottom() / cote_tuile; ++ty)
                for (int tx = r.left() / cote_tuile; tx <= r.right() / cote_tuile; ++tx)
                    ici.propres[std::size_t(ty) * colonnes + tx] = false;
        };
        for (const QGraphicsItem *item : items(rect, Qt::IntersectsItemBoundingRect)) {
            if (!item->isVisible())
                continue;
            if (const auto *chemin = dynamic_cast<const Chemin_Borne *>(item)) {
                const QTransform vers_scene_item = chemin->sceneTransform();
                for (const QRectF &boite : chemin->morceaux(points_par_morceau))
                    sali(vers_scene_item.mapRect(boite));
            } else {
                sali(item->sceneBoundingRect());
            }
        }
        ecran_connu = std::move(ici);
    }
    return true;
}

bool Scene::eventFilter(QObject *objet, QEvent *evenement)
{
    if (objet == ecran_compte && evenement->type() == QEvent::Paint)
        ++peintures_vues;
    return QGraphicsScene::eventFilter(objet, evenement);
}

QRect Scene::encre(const QImage &image)
{
    // Only 32-bit pixels are read here; another format is copied whole.
    if (image.depth() != 32)
        return image.rect();
    QImage etalon(1, 1, image.format());
    etalon.fill(Qt::white);
    const quint32 blanc = reinterpret_cast<const quint32 *>(etalon.constBits())[0];
    int gauche = image.width();
    int droite = -1;
    int haut = image.height();
    int bas = -1;
    for (int y = 0; y < image.height(); ++y) {
        const auto *ligne = reinterpret_cast<const quint32 *>(image.constScanLine(y));
        int x0 = 0;
        while (x0 < image.width() && ligne[x0] == blanc)
            ++x0;
        if (x0 == image.width())
            continue;
        int x1 = image.width() - 1;
        while (ligne[x1] == blanc)
            --x1;
        gauche = std::min(gauche, x0);
        droite = std::max(droite, x1);
        haut = std::min(haut, y);
        bas = y;
    }
    return droite < 0 ? QRect() : QRect(QPoint(gauche, haut), QPoint(droite, bas));
}

namespace
{
// The disc's labels.
QFont police_graduations()
{
    return QFont(QStringLiteral("Courier"), 7);
}

QFont police_cardinaux(bool compacte)
{
    return QFont(QStringLiteral("Courier"), compacte ? 11 : 15, QFont::Bold);
}

// The least size of the chart's cardinal labels (points), and the least gap between two.
constexpr double taille_cardinaux_min = 7.0;
constexpr double ecart_cardinaux = 8.0;

// Calls `faire(a)` for each minor azimuth tick, every `pas_a` degrees, east half (negative
// azimuths) then west half, the axes left out.
template <typename Faire> void pour_chaque_graduation(int pas_a, const Faire &faire)
{
    for (int a = -pas_a; a > -180; a -= pas_a) {
        if (a != -90)
            faire(a);
    }
    for (int a = pas_a; a < 180; a += pas_a) {
        if (a != 90)
            faire(a);
    }
}

// The room a graduation label needs along the circle it stands on ("-170"), scene units.
constexpr double pas_etiquettes_min = 26.0;
// In a compact drawing, the gap between the graduation labels and a cardinal label.
constexpr double ecart_cardinal = 6.0;
// The least gap between two height labels, scene units.
constexpr double ecart_hauteurs = 1.0;
} // namespace

QRectF Scene::Etiquette_Disque::rectangle() const
{
    const QFontMetricsF mesure(police);
    return QRectF(origine.x(), origine.y() - mesure.ascent(), mesure.horizontalAdvance(texte),
                  mesure.height());
}

std::vector<Scene::Etiquette_Disque> Scene::etiquettes_hauteurs() const
{
    const int pas_h = options.pas_hauteur;
    std::vector<Etiquette_Disque> hauteurs;
    std::vector<Etiquette_Disque> retenues;
    if (!m_projection.est_polaire() || pas_h <= 0 || options.pas_azimut <= 0 ||
        !options.graduations_affichees())
        return retenues;
    const bool stereographique = m_projection.type() == Type_Projection::Stereographique;
    for (double v = pas_h; v <= 90.0; v += pas_h) {
        const double haut =
            stereographique ? -m_projection.rayon(v) : -(diametre * 0.5) * (1.0 - v / 90.0);
        hauteurs.push_back(
            {QString::number(v, 'g', 6), police_graduations(), QPointF(-10, tronque(haut - 5.0))});
    }
    eclaircir_hauteurs(hauteurs, retenues);
    return retenues;
}

std::vector<Scene::Etiquette_Disque> Scene::etiquettes_disque() const
{
    const int d = diametre;
    const int demi = d / 2;
    const int pas_h = options.pas_hauteur;
    const int pas_a = options.pas_azimut;
    const bool graduations = options.graduations_affichees();
    const double r_texte = d * 0.5 + 15.0;
    const double pi = soleil.pi();
    const QFont petite = police_graduations();
    std::vector<Etiquette_Disque> etiquettes;
    // The chart draws its own labels.
    if (!m_projection.est_polaire())
        return etiquettes;
    const bool caps = options.graduations_azimut == Graduations_Azimut::Caps;

    etiquettes = etiquettes_hauteurs();
    for (int a = 0; a < 360; a += 90) {
        const double s = std::sin(a * pi / 180.0);
        const double c = std::cos(a * pi / 180.0);
        const int valeur = caps ? a : a < 180 ? -a : 360 - a;
        etiquettes.push_back({QString::number(valeur), petite,
                              QPointF(tronque(s * r_texte - 8.0), tronque(5.0 - c * r_texte))});
    }
    if (pas_h > 0 && pas_a > 0 && graduations) {
        const auto graduation = [&](int a) {
            if (!graduation_etiquetee(a))
                return;
            const double s = std::sin(a * pi / 180.0);
            const double c = std::cos(a * pi / 180.0);
            etiquettes.push_back(
                {QString::number(caps ? cap_entier(a) : a), petite,
                 QPointF(tronque(-s * r_texte - 8.0), tronque(5.0 - c * r_texte))});
        };
        pour_chaque_graduation(pas_a, graduation);
    }

    const QFont grande = police_cardinaux(compacte);
    const QStringList noms = {tr("NORD"), tr("SUD"), tr("EST"), tr("OUEST")};
    if (!compacte) {
        etiquettes.push_back({noms[0], grande, QPointF(-23, -demi - 24)});
        etiquettes.push_back({noms[1], grande, QPointF(-19, demi + 36)});
        etiquettes.push_back({noms[2], grande, QPointF(demi + 40, 7)});
        etiquettes.push_back({noms[3], grande, QPointF(-demi - 100, 7)});
    } else {
        // Just beyond the graduation labels, which reach about 7 units above and below their
        // circle and 10 beside it.
        const QFontMetricsF mesure(grande);
        const double largeur_graduation =
            QFontMetricsF(petite).horizontalAdvance(QStringLiteral("-90"));
        const double x_droite = r_texte - 8.0 + largeur_graduation + ecart_cardinal;
        const double milieu = mesure.ascent() / 2.0 - mesure.descent() / 2.0;
        etiquettes.push_back({noms[0], grande,
                              QPointF(-mesure.horizontalAdvance(noms[0]) / 2.0,
                                      -r_texte - 2.0 - ecart_cardinal - mesure.descent())});
        etiquettes.push_back({noms[1], grande,
                              QPointF(-mesure.horizontalAdvance(noms[1]) / 2.0,
                                      r_texte + 5.0 + ecart_cardinal + mesure.ascent())});
        etiquettes.push_back({noms[2], grande, QPointF(x_droite, milieu)});
        etiquettes.push_back(
            {noms[3], grande,
             QPointF(-r_texte - 8.0 - ecart_cardinal - mesure.horizontalAdvance(noms[3]), milieu)});
    }
    return etiquettes;
}

void Scene::eclaircir_hauteurs(const std::vector<Etiquette_Disque> &hauteurs,
                               std::vector<Etiquette_Disque> &retenues)
{
    // Where the circles lie closer than a label's height, one label in as many as it takes
    // for the closest two kept to stand apart, counted from the zenith down; any label that
    // would still touch the one kept before it is left out too.
    double ecart_min = std::numeric_limits<double>::infinity();
    for (std::size_t i = 1; i < hauteurs.size(); ++i)
        ecart_min =
            std::min(ecart_min, std::abs(hauteurs[i].origine.y() - hauteurs[i - 1].origine.y()));
    const double haut = hauteurs.empty() ? 0.0 : hauteurs.front().rectangle().height();
    const std::size_t n = hauteurs.size();
    // Circles that all fall together (a disc of no size) keep one label.
    const double pas = (haut + ecart_hauteurs) / ecart_min;
    const std::size_t tous_les = pas <= 1.0           ? 1
                                 : !(pas < double(n)) ? std::max<std::size_t>(n, 1)
                                                      : static_cast<std::size_t>(std::ceil(pas));
    QRectF precedente;
    for (std::size_t i = 0; i < n; ++i) {
        // Counted from the last, the zenith's or the nearest below it.
        if ((n - 1 - i) % tous_les != 0)
            continue;
        const QRectF r = hauteurs[i].rectangle();
        if (!precedente.isNull() &&
            precedente.adjusted(0, -ecart_hauteurs, 0, ecart_hauteurs).intersects(r))
            continue;
        retenues.push_back(hauteurs[i]);
        precedente = r;
    }
}

bool Scene::graduation_etiquetee(int azimut) const
{
    // Every label unless the drawing is compact; then one in as many as the labels need room
    // for along their circle, counted from the axes.
    if (!compacte || options.pas_azimut <= 0)
        return true;
    const double pas = (diametre * 0.5 + 15.0) * options.pas_azimut * soleil.pi() / 180.0;
    const int tous_les = static_cast<int>(std::ceil(pas_etiquettes_min / pas));
    return tous_les <= 1 || (std::abs(azimut) / options.pas_azimut) % tous_les == 0;
}

void Scene::dessiner_disque(QPainter *painter, const QRectF &rect)
{
    const int d = diametre;
    const int demi = d / 2;
    const int pas_h = options.pas_hauteur;
    const int pas_a = options.pas_azimut;
    const bool graduations = options.graduations_affichees();
    const double pi = soleil.pi();
    // The labels, painted in this order.
    const std::vector<Etiquette_Disque> etiquettes = etiquettes_disque();
    std::size_t suivante = 0;
    const auto etiquette = [&] {
        const Etiquette_Disque &e = etiquettes[suivante++];
        painter->drawText(e.origine, e.texte);
    };

    painter->save();
    painter->fillRect(rect, Qt::white);
    dessiner_photo(painter);

    painter->setPen(QPen(QBrush(Qt::black), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter->setFont(police_graduations());
    painter->setOpacity(options.opacite / 100.0);

    if (!m_projection.est_polaire()) {
        dessiner_cylindre(painter);
        painter->restore();
        return;
    }
    const bool stereographique = m_projection.type() == Type_Projection::Stereographique;

    // The dialog keeps both steps positive; a step of zero would never end the loops below.
    if (pas_h > 0 && pas_a > 0) {
        // Altitude circles, the horizon first, one every pas_h degrees below the zenith.
        if (stereographique) {
            for (int v = 0; v < 90; v += pas_h) {
                const double r = m_projection.rayon(v);
                painter->drawEllipse(QRectF(-r, -r, 2.0 * r, 2.0 * r));
            }
        } else {
            double pos = -demi;
            double taille = d;
            while (taille > 0) {
                painter->drawEllipse(
                    QRect(tronque(pos), tronque(pos), tronque(taille), tronque(taille)));
                const double pas = d / (90.0 / pas_h);
                pos += pas * 0.5;
                taille -= pas;
            }
        }

        // Altitude labels on the vertical axis, just above the top of each circle, those
        // that are kept.
        if (graduations) {
            for (std::size_t i = etiquettes_hauteurs().size(); i > 0; --i)
                etiquette();
        }
    }

    // The four main axes; their labels read the azimuth (0 north, -90 east, 180 south,
    // 90 west) and stay when the graduations are hidden.
    for (int a = 0; a < 360; a += 90) {
        const double s = std::sin(a * pi / 180.0);
        const double c = std::cos(a * pi / 180.0);
        const QLine axe(0, 0, tronque(s * (-d * 0.5)), tronque(c * (-d * 0.5)));
        painter->drawLines(&axe, 1);
        etiquette();
    }

    if (pas_h > 0 && pas_a > 0) {
        // Minor azimuth ticks from the highest circle below the zenith to the horizon, every
        // pas_a degrees, east half (negative azimuths) then west half.
        const int k = (90 % pas_h == 0) ? 90 / pas_h - 1 : 90 / pas_h;
        const double rho =
            stereographique ? m_projection.rayon(k * pas_h) : (1.0 - k * pas_h / 90.0) * d * 0.5;
        const auto graduation = [&](int a) {
            const double s = std::sin(a * pi / 180.0);
            const double c = std::cos(a * pi / 180.0);
            const QLine trait(tronque(-s * rho), tronque(-c * rho), tronque(-s * d * 0.5),
                              tronque(-c * d * 0.5));
            painter->drawLines(&trait, 1);
            if (graduations && graduation_etiquetee(a))
                etiquette();
        };
        pour_chaque_graduation(pas_a, graduation);
    }

    // Cardinal labels, more opaque than the disc (the painter clamps at 1).
    painter->setOpacity(options.opacite / 100.0 + 0.3);
    painter->setFont(police_cardinaux(compacte));
    while (suivante < etiquettes.size())
        etiquette();

    painter->restore();
}

void Scene::dessiner_photo(QPainter *painter)
{
    if (!photo.presente() || photo.opacite <= 0)
        return;
    // The layer at the device's resolution, within reason for a printer or a PDF.
    const qreal echelle =
        std::clamp(std::sqrt(std::abs(painter->deviceTransform().determinant())), 1.0, 2.0);
    const QImage &calque = calque_photo.calque(photo, m_projection, echelle);
    if (calque.isNull())
        return;
    painter->save();
    painter->setOpacity(photo.opacite / 100.0);
    painter->drawImage(m_projection.cadre(), calque);
    painter->restore();
}

void Scene::dessiner_cylindre(QPainter *painter)
{
    const Projection &p = m_projection;
    const QRectF cadre = p.cadre();
    const int pas_h = options.pas_hauteur;
    const int pas_a = options.pas_azimut;
    const bool graduations = options.graduations_affichees();
    const double horizon = p.y_hauteur(0.0);
    const double largeur = cadre.width();

    painter->drawRect(cadre);
    // The dialog keeps both steps positive; a step of zero would never end the loops below.
    if (pas_h > 0 && pas_a > 0) {
        for (int v = pas_h; v < p.hauteur_max(); v += pas_h)
            painter->drawLine(QPointF(cadre.left(), p.y_hauteur(v)),
                              QPointF(cadre.right(), p.y_hauteur(v)));
        if (graduations) {
            // One in as many as it takes for two labels not to touch, from the horizon up.
            const double ecart = std::abs(p.y_hauteur(0.0) - p.y_hauteur(pas_h));
            const double haut =
                QFontMetricsF(painter->font(), painter->device()).height() + ecart_hauteurs;
            const double pas = haut / ecart;
            const int tous_les = pas <= 1.0      ? 1
                                 : !(pas < 90.0) ? 90
                                                 : static_cast<int>(std::ceil(pas));
            for (int v = 0; v <= p.hauteur_max(); v += pas_h)
                if ((v / pas_h) % tous_les == 0)
                    painter->drawText(QPointF(cadre.left() - 22.0, p.y_hauteur(v) + 3.0),
                                      QString::number(v));
        }
        // Azimuth lines every pas_a degrees of bearing from the centre's; their labels (the
        // table's signed azimuths, or bearings) no closer than a few characters apart.
        const double pas_x = pas_a / 360.0 * largeur;
        const int pas_etiquette = pas_a * std::max(1, static_cast<int>(std::ceil(30.0 / pas_x)));
        for (int e = 0; e <= 180; e += pas_a) {
            for (const int ecart : {-e, e}) {
                const double x = ecart / 360.0 * largeur;
                painter->drawLine(QPointF(x, horizon), QPointF(x, cadre.top()));
                if (graduations && e % pas_etiquette == 0) {
                    const double azimut = std::remainder(-(p.azimut_centre() + ecart), 360.0);
                    const QString texte = options.graduations_azimut == Graduations_Azimut::Caps
                                              ? QString::number(cap_entier(azimut))
                                              : QString::number(azimut == -180.0 ? 180.0 : azimut);
                    painter->drawText(QPointF(x - 3.0 * texte.size(), horizon + 14.0), texte);
                }
                if (e == 0)
                    break;
            }
        }
    }

    // Cardinal labels under their azimuths, more opaque than the grid (the painter clamps at 1).
    // A narrow chart has them smaller, down to a least size, and past it only the centre's.
    painter->setOpacity(options.opacite / 100.0 + 0.3);
    const QString noms[4] = {tr("NORD"), tr("EST"), tr("SUD"), tr("OUEST")};
    QFont police = police_cardinaux(compacte);
    const auto plus_large = [&] {
        const QFontMetricsF mesure(police, painter->device());
        double l = 0.0;
        for (const QString &nom : noms)
            l = std::max(l, mesure.horizontalAdvance(nom));
        return l;
    };
    const double place = largeur / 4.0 - ecart_cardinaux;
    if (const double l = plus_large(); l > place && l > 0.0)
        police.setPointSizeF(std::max(taille_cardinaux_min,
                                      std::floor(police.pointSizeF() * place / l * 2.0) / 2.0));
    const bool tous = plus_large() <= place;
    painter->setFont(police);
    const QFontMetricsF mesure(police, painter->device());
    for (int quart = tous ? -2 : 0; quart <= (tous ? 2 : 0); ++quart) {
        const double azimut = std::remainder(-(p.azimut_centre() + quart * 90.0), 360.0);
        // North 0, east −90, south ±180, west 90: a quarter of a turn each, clockwise.
        const int rang =
            static_cast<int>(std::lround(std::remainder(-azimut, 360.0) / 90.0 + 4)) % 4;
        const QString &nom = noms[rang];
        const double x = quart * largeur / 4.0 - mesure.horizontalAdvance(nom) / 2.0;
        painter->drawText(QPointF(x, horizon + 36.0), nom);
    }
}
