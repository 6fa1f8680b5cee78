// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_TESTS_ENREGISTREUR_H
#define ORVANE_TESTS_ENREGISTREUR_H

// A paint device that draws nothing and records what a painter asks of it: the ellipses, the
// lines and the texts, each with the painter's opacity and font at that moment. Coordinates
// are those handed to the painter (no transformation is set on it).

#include <QFont>
#include <QLine>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QRect>
#include <QString>
#include <QTextItem>
#include <QVector>

struct TexteEnregistre {
    QPointF position; // left end of the baseline
    QString texte;
    double opacite;
    QFont police;
};

struct TraitEnregistre {
    QLineF ligne;
    double opacite;
};

struct EllipseEnregistree {
    QRect rectangle;
    double opacite;
};

class MoteurEnregistreur : public QPaintEngine
{
public:
    MoteurEnregistreur() : QPaintEngine(QPaintEngine::AllFeatures) {}

    QVector<EllipseEnregistree> ellipses;
    QVector<TraitEnregistre> traits;
    QVector<TexteEnregistre> textes;

    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &) override {}
    Type type() const override { return QPaintEngine::User; }
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
    void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}
    void drawPolygon(const QPoint *, int, PolygonDrawMode) override {}
    void drawRects(const QRectF *, int) override {}
    void drawRects(const QRect *, int) override {}
    void drawPath(const QPainterPath &) override {}

    void drawEllipse(const QRect &r) override { ellipses.append({r, painter()->opacity()}); }
    void drawEllipse(const QRectF &r) override
    {
        ellipses.append({r.toRect(), painter()->opacity()});
    }
    void drawLines(const QLine *lignes, int nombre) override
    {
        for (int i = 0; i < nombre; ++i)
            traits.append({QLineF(lignes[i]), painter()->opacity()});
    }
    void drawLines(const QLineF *lignes, int nombre) override
    {
        for (int i = 0; i < nombre; ++i)
            traits.append({lignes[i], painter()->opacity()});
    }
    void drawTextItem(const QPointF &p, const QTextItem &item) override
    {
        textes.append({p, item.text(), painter()->opacity(), painter()->font()});
    }
};

class DispositifEnregistreur : public QPaintDevice
{
public:
    MoteurEnregistreur moteur;

    QPaintEngine *paintEngine() const override { return const_cast<MoteurEnregistreur *>(&moteur); }

protected:
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmWidth:
        case PdmHeight:
            return 2000;
        case PdmWidthMM:
        case PdmHeightMM:
            return 529;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmNumColors:
            return 0x7fffffff;
        case PdmDepth:
            return 32;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return static_cast<int>(QPaintDevice::devicePixelRatioFScale());
        }
        return 0;
    }
};

#endif
