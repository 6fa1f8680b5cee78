// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_TESTS_TST_MASKS_TRACE_H
#define ORVANE_TESTS_TST_MASKS_TRACE_H

// Reading a drawn mask outline back as the figure a person would describe: straight segments
// and circular arcs about the zenith, each with its end point, and for arcs the radius (scene
// units) and the signed sweep (degrees, positive counter-clockwise on screen, as
// `QPainterPath::arcTo` counts it).

#include <QColor>
#include <QMetaType>
#include <QObject>
#include <QPainterPath>
#include <QPointF>
#include <QString>
#include <QVector>

struct Troncon {
    enum Genre { Ligne, Arc };
    Genre genre = Ligne;
    QPointF fin;
    double rayon = 0.0;    // arcs only, scene units
    double balayage = 0.0; // arcs only, degrees
    // Largest distance of the arc's inner points from its circle, scene units.
    double ecart_cercle = 0.0;

    static Troncon ligne(QPointF fin) { return {Ligne, fin, 0.0, 0.0, 0.0}; }
    static Troncon arc(double rayon, double balayage, QPointF fin)
    {
        return {Arc, fin, rayon, balayage, 0.0};
    }
    QString texte() const;
};

struct Contour {
    QPointF depart;
    QVector<Troncon> troncons;
    QString texte() const;
};

Q_DECLARE_METATYPE(Contour)

// The outline of `chemin`, one subpath starting with a move. Straight segments shorter than
// `longueur_nulle` are left out (the path builder leaves some in); consecutive cubic curves
// on the same circle about the origin turning the same way make one arc.
Contour lire_contour(const QPainterPath &chemin);

// Where azimuth `azimut` (degrees, 0 north, negative east) meets the circle of radius `rayon`
// about the zenith: north is up (negative y), east to the right.
QPointF polaire(double azimut, double rayon);

// The outline that Scene::tracer_masques draws, read back for hand-computed tables.
class TestTraceMasques : public QObject
{
    Q_OBJECT

private slots:
    void contour_data();
    void contour();
    void elementsAjoutes();
    void carresDesArcs_data();
    void carresDesArcs();
    void rendu();

private:
    static const QColor gris;
};

#endif
