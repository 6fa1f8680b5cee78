// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_DIAGRAM_SCENE_H
#define ORVANE_DIAGRAM_SCENE_H

// The diagram: the sky disc painted as the background, and on top the items that the
// drawing slots add (sun courses with their labels and legend, hour lines, mask outline).
//
// Coordinates are scene units with the origin at the centre of the disc (the zenith) or of the
// cylindrical chart, x to the right, y downwards; the disc has diameter `diametre0()`. Every
// direction is laid on the scene by `projection()` (projection/projection.h). Angles are degrees:
// azimuth from north, negative towards the east, positive towards the west, ±180 south; heights
// above the horizon. Times are hours of true solar time.

#include "ciel/ciel.h"
#include "options/affichage_options.h"
#include "photo/photo.h"
#include "projection/projection.h"
#include "solar/soleil.h"

#include <QBrush>
#include <QFont>
#include <QGraphicsScene>
#include <QImage>
#include <QPainterPath>
#include <QPen>
#include <QPoint>
#include <QPointF>
#include <QPointer>
#include <QRect>
#include <QRectF>
#include <QRegion>
#include <QSize>
#include <QTransform>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class QGraphicsLineItem;
class QGraphicsRectItem;
class QGraphicsTextItem;

class Scene : public QGraphicsScene
{
    Q_OBJECT

public:
    explicit Scene(QObject *parent = nullptr);
    ~Scene() override;

    // Paths handed out by the drawing of a description (trace/diagramme.h) as the starting
    // paths of the drawing slots; the Scene itself never reads or writes them.
    QPainterPath chemin1;
    QPainterPath chemin2;
    QPainterPath chemin3;
    QPainterPath chemin4;

    // Limit days (day numbers 1..366) found by the last `jour_soleil`: the solstices, or
    // beyond the polar circles the ends of the polar night and the solstice between them.
    int jour1 = 0;
    int jour2 = 0;
    int jour3 = 0;

    // The display options of the sky disc; the background reads its committed values.
    Affichage_Options options;
    // The photo of the sky painted under the grid, reprojected once per size, projection,
    // scale and calibration; none by default.
    Photo_Diagramme photo;

    // Origin of the date legend (scene units), set with the scene's size (`ajuster_scene`).
    double x_legende = 0.0;
    double y_legende = 0.0;
    // A drawing too small for the disc and the fixed reserve of the legend beside it: the
    // cardinal labels come closer in a smaller type, the graduation labels that would touch are
    // left out, and the legend's rows flow from corner to corner of the drawing round the disc.
    bool compacte = false;

    // Where legend row `rang` (0 first) has its stroke's left end, scene units.
    QPointF origine_legende(int rang) const;
    // A legend row of a compact drawing as drawn: its stroke (a date's) or its swatch (a
    // shading's), its text, and its width at the legend's full size, scene units.
    struct Ligne_Legende {
        int rang = 0;
        QGraphicsLineItem *trait = nullptr;
        QGraphicsRectItem *echantillon = nullptr;
        QGraphicsTextItem *texte = nullptr;
        double largeur = 0.0;
    };
    void ajouter_ligne_legende(const Ligne_Legende &ligne);
    // Places the rows of a compact drawing once they are all drawn, each in the first free place
    // of the corners round the disc; rows that the corners cannot hold all at the full size are
    // drawn smaller and closer together, down to half size.
    void disposer_legende();

    // A label painted with the disc: its text, font and baseline origin, scene units.
    struct Etiquette_Disque {
        QString texte;
        QFont police;
        QPointF origine;
        // Its box, scene units.
        QRectF rectangle() const;
    };
    // In a compact drawing, the height of the captions' band along the bottom edge, which the
    // legend's rows keep clear of (scene units).
    double bande_bas = 30.0;
    // How far the chart's labels reach under its horizon, and beside its sides.
    static constexpr double dessous_cylindre = 40.0;
    static constexpr double cote_cylindre = 40.0;

    // On the chart, moves each limit course's label that an hour line, a course or another
    // label crosses to the first place where none does: under the course's top, then along the
    // course from its top outwards, above it or under it; a label with no such place stays.
    void degager_etiquettes_cylindre();
    // Brings each hour label within the drawing, then hides each one that touches another label
    // (the disc's, the courses', the legend's, the captions', or an hour label kept before it).
    void eclaircir_etiquettes_heures();
    // The box of a label's glyphs, scene units: its bounds without the document's margin.
    static QRectF encre_texte(const QGraphicsTextItem &texte);
    // Moves `texte` the least that brings its glyphs within the scene rectangle.
    void rentrer(QGraphicsTextItem &texte) const;

    // The disc's labels in their painting order: altitudes, azimuths, then the four cardinals.
    std::vector<Etiquette_Disque> etiquettes_disque() const;
    // The hour labels of the present drawing, shown or hidden.
    const std::vector<QGraphicsTextItem *> &etiquettes_des_heures() const
    {
        return etiquettes_heures;
    }

    // Adds a text item in `police` to the scene, which owns it; in `couleur` when it is valid,
    // else in the toolkit's default text colour. The font is set before the text is written
    // into the empty document, so the text is laid out once (writing the text first and then
    // changing the font would lay it out twice).
    // During a rebuild (between `vider` and `fin_reconstruction`), a label of the earlier
    // drawing with the same text, font and colour is put back on the scene instead: its
    // document and layout are already made. It comes back at the origin, as a new one would.
    QGraphicsTextItem *ajouter_texte(const QString &texte, const QFont &police,
                                     const QColor &couleur = QColor());

    // Starts a rebuild: every item leaves the scene. The labels that `ajouter_texte` made are
    // kept aside, off the scene, for it to take back; every other item is deleted.
    void vider();
    // Ends a rebuild: the labels that it did not take back are deleted.
    void fin_reconstruction();

signals:
    // A rebuild has ended.
    void reconstruite();

public slots:
    // Largest total number of rows of the mask table.
    int NbPointsMasqueMAX() const;
    void setNbPointsMasqueMAX(int nombre);
    // Diameter of the sky disc, scene units.
    int diametre0() const;
    // A polar projection follows the diameter.
    void setDiametre0(int nombre);

    // Paints the white field and the sky disc: altitude circles, azimuth axes and ticks,
    // graduations and the cardinal labels. Into a window, the disc comes from a picture of the
    // scene rectangle kept at the painter's scale (see `dessiner_disque`); anything else (an
    // image, an SVG, a PDF, a printer, a painter that is not pixel-aligned) is painted as
    // vectors.
    void drawBackground(QPainter *painter, const QRectF &rect) override;

    // Paints the white field over `rect` (scene units) and the sky disc as vectors, in the
    // diameter and the committed display options. The picture that a window shows is painted
    // by this very function, once, and reused for as long as the scene rectangle, the diameter,
    // the options, the painter's scale and render hints stay the same: it holds the same pixels
    // as painting anew.
    void dessiner_disque(QPainter *painter, const QRectF &rect);

    // Draws the simple sun's course (ciel/ciel.h) of day `Numero_jour` at `latitude` (degrees)
    // from `TSVlever` to `TSVcoucher` (hours) as one path item. `date` is the day's label,
    // already on the scene: placed beside the curve when `droite`, else in legend row
    // `nb_clic_enregistrer_date` with a stroke of `pen`, even when the course stays below the
    // horizon. Returns whether any part of the course lies above the horizon.
    bool tracer_course_soleil(int Numero_jour, double latitude, double TSVlever, double TSVcoucher,
                              QPen pen, QBrush brush, QPainterPath chemin, QGraphicsTextItem *date,
                              bool droite, int nb_clic_enregistrer_date);

    // Draws the horizon mask: `nbPoints` points (x = azimuth, y = height, degrees) in
    // clockwise order from north, as one filled outline, and the horizon circle (on the chart,
    // its line) on top. From each point to the next the outline holds the point's height and
    // steps to the next one's, or with `en_ligne` runs straight to it, its height linear in the
    // azimuth swept.
    void tracer_masques(const QPointF *tableau, int nbPoints, QPen pen, QBrush brush,
                        QPainterPath chemin, bool en_ligne = false);

    // Draws the simple sun's hour lines between the limit days `jour1` and `jour2`, for the
    // whole hours from the integer part of `heureMIN` up to `heureMAX` (true solar time).
    void tracer_heures(double latitude, double heureMIN, double heureMAX, QPen pen, QBrush brush);

    // Finds the limit days of `latitude` (degrees) from the simple sun's altitude at solar noon
    // and stores them in `jour1`..`jour3`; a search that fails keeps the earlier value.
    void jour_soleil(double latitude);

public:
    // How directions are laid on the drawing: the background, every item drawn and the
    // read-out go through it.
    const Projection &projection() const { return m_projection; }
    void setProjection(const Projection &projection) { m_projection = projection; }

    // The same drawing from positions already computed (azimuth and height in degrees, evenly
    // spaced in time from sunrise to sunset): the courses of the accurate sun. A segment is drawn
    // when it starts at or above `horizon` (degrees: the height of the sun's centre at sunrise).
    bool tracer_course_positions(const std::vector<Soleil::Point_Ciel> &positions, double horizon,
                                 int Numero_jour, double latitude, QPen pen, QBrush brush,
                                 QPainterPath chemin, QGraphicsTextItem *date, bool droite,
                                 int nb_clic_enregistrer_date);
    // The same drawing from a course of the sky (ciel/ciel.h): on the chart, where the course
    // turns sharply, finer samples are asked of it when it gives them.
    bool tracer_course(const Course_Ciel &course, double latitude, QPen pen, QBrush brush,
                       QPainterPath chemin, QGraphicsTextItem *date, bool droite,
                       int nb_clic_enregistrer_date);
    // Number of segments of a course at `latitude` (degrees): more beyond the polar circles.
    static int segments_course(double latitude);
    // The same for the drawing's projection: more on the cylindrical chart, by `finesse_course`
    // for a course that gives no finer samples.
    int segments_trace(double latitude) const;
    int finesse_course() const;

    // The same for any sun and any clock: `position(jour, heure)` is the sun (azimuth, height,
    // degrees) at whole hour `heure` on day `jour`, for the days `d_min` to `d_max` (day numbers,
    // which `position` may read past the year's end). Without `sans_midi`, hours 0 and 12 have
    // their lines too; days are visited at most `pas_max` apart. `montee_max`, when known, is
    // the most the sun at one hour climbs from a day to the next (degrees), and `bond_max` the
    // most it may climb once besides: the days its sun cannot have climbed back to the horizon
    // from are then passed over, which draws the same.
    void tracer_heures(double latitude, double heureMIN, double heureMAX, QPen pen, QBrush brush,
                       const std::function<Soleil::Point_Ciel(int, int)> &position, int d_min,
                       int d_max, bool sans_midi, int pas_max = 15, double montee_max = 0.0,
                       double bond_max = 0.0);
    // The same for the hour lines of the sky (ciel/ciel.h).
    void tracer_heures(double latitude, const Lignes_Heures &lignes, QPen pen, QBrush brush);
    // The same from the height of the sun at noon of each day (index = day number, 1..366),
    // degrees above the height at which it counts as risen.
    void jour_soleil(double latitude, const std::array<double, 367> &midi);

private:
    // The cylindrical chart's grid: height lines, azimuth lines, their graduations and the
    // cardinal labels under their azimuths.
    void dessiner_cylindre(QPainter *painter);
    // The photo of the sky over the white field, at its opacity.
    void dessiner_photo(QPainter *painter);
    // The mask outline on the cylindrical chart.
    void tracer_masques_cylindre(const QPointF *tableau, int nbPoints, const QPen &pen,
                                 const QBrush &brush, bool en_ligne);
    // Moves a label up, a line at a time, until it lies over no other label.
    void degager(QGraphicsTextItem *etiquette);
    // Adds a path item that bounds itself without stroking the path (see Chemin_Borne).
    void ajouter_chemin(const QPainterPath &chemin, const QPen &pen, const QBrush &brush);

    // Whether the graduation label of `azimut` (degrees) is painted.
    bool graduation_etiquetee(int azimut) const;
    // The disc's height labels that are painted, the horizon's side first.
    std::vector<Etiquette_Disque> etiquettes_hauteurs() const;
    // Appends to `retenues` the height labels of `hauteurs` (the horizon's side first) that
    // stand clear of one another: none touches the next one kept.
    static void eclaircir_hauteurs(const std::vector<Etiquette_Disque> &hauteurs,
                                   std::vector<Etiquette_Disque> &retenues);

    // A label off the scene between `vider` and `fin_reconstruction`, with what it was made
    // from (the colour as it was asked for: invalid for the toolkit's default).
    struct Texte_De_Cote {
        std::unique_ptr<QGraphicsTextItem> item;
        QString texte;
        QColor couleur;
    };
    std::vector<Texte_De_Cote> textes_de_cote;
    // The hour labels of the present drawing, and the labels placed beside their curves.
    std::vector<QGraphicsTextItem *> etiquettes_heures;
    std::vector<QGraphicsTextItem *> etiquettes_courbes;
    std::vector<Ligne_Legende> lignes_legende;
    // The chart's limit labels with the points of their courses above the horizon, and which
    // of them is the top.
    struct Course_Etiquetee {
        QGraphicsTextItem *etiquette = nullptr;
        std::vector<QPointF> points;
        std::size_t sommet = 0;
    };
    std::vector<Course_Etiquetee> etiquettes_cylindre;
    // Where rows of full-size widths `largeurs` go, drawn at `echelle` of their size, in order:
    // those that find a free place in the corners, the first rows first.
    std::vector<QPointF> places_legende(const std::vector<double> &largeurs, double echelle) const;

    // Everything the picture of the disc is painted from.
    struct Cle_disque {
        QRectF rectangle;
        int diametre = 0;
        int pas_hauteur = 0;
        int pas_azimut = 0;
        int opacite = 0;
        bool graduations = false;
        Graduations_Azimut graduations_azimut = Graduations_Azimut::Tableau;
        bool compacte = false;
        qreal echelle = 0.0; // device pixels per scene unit
        int rendu = 0;       // the painter's render hints
        int ppp_x = 0;       // the device's logical resolution, dots per inch
        int ppp_y = 0;
        int format = 0; // QImage::Format of the device's image
        Projection projection;
        // The photo under the grid: its image, calibration and opacity.
        qint64 photo = 0;
        Calibration_Photo calibration;
        int opacite_photo = 0;
        bool operator==(const Cle_disque &autre) const;
    };
    // Paints the background from the picture of the disc, painting the picture first when it
    // is missing or out of date. Returns false, having painted nothing, when the painter cannot
    // take the picture pixel for pixel.
    bool peindre_depuis_image(QPainter *painter, const QRectF &rect);

    // The smallest rectangle of the picture's pixels that holds every one that is not white
    // (its top-left pixel at 0, 0); empty when the picture is all white.
    static QRect encre(const QImage &image);

    QImage image_disque;
    QRect encre_image;
    Calque_Photo calque_photo;
    Cle_disque cle_image;

    // What a window shows under its view since the last paint from the picture: the device
    // pixels of its backing store that hold the picture and that no item has painted over
    // since. A later paint into the same backing store, at the same place and scale, writes
    // the picture only where the exposed pixels are not among them. Anything else that paints
    // the window (a vector paint, another view, a new backing store, a scroll, a move) forgets
    // them.
    struct Ecran_Connu {
        const QWidget *ecran = nullptr;
        const void *magasin = nullptr; // the backing store, and its platform's
        const void *plateforme = nullptr;
        const uchar *pixels = nullptr;
        int ligne = 0; // bytes per line
        QSize taille;
        QPoint dans_fenetre;
        QTransform vers_appareil;
        // The viewport's paint events seen by then: one more, and no paint came between.
        quint64 peintures = 0;
        // By tiles of the picture, row after row: whether the window shows the picture there.
        std::vector<bool> propres;
        // Whether this paint comes right after `avant`, into the same pixels.
        bool suit(const Ecran_Connu &avant) const;
    };
    Ecran_Connu ecran_connu;
    // The viewport whose paint events are counted, and their count.
    QPointer<QWidget> ecran_compte;
    quint64 peintures_vues = 0;

protected:
    bool eventFilter(QObject *objet, QEvent *evenement) override;

private:
    int nb_points_masque_max = 0;
    int diametre = 0;
    Projection m_projection;
    Soleil soleil;
};

#endif
