// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "trace/trace_exposition.h"

#include "diagram/scene.h"
#include "masks/ensoleillement.h"

#include <QGraphicsLineItem>
#include <QGraphicsPathItem>
#include <QGraphicsTextItem>
#include <QLocale>

#include <cmath>

namespace
{

const QColor couleur_hauteur_min(150, 60, 0);
const QColor couleur_periodes(255, 140, 0, 200);
// The legend's text of the periods: the same hue, dark enough to read on white.
const QColor couleur_texte_periodes(170, 85, 0);
constexpr double longueur_trait = 20.0;
constexpr double interligne_legende = 15.0;
// A step between two points wider than this share of the drawing crosses the chart's seam.
constexpr double saut_couture = 0.25;

// The points joined, cut where a step crosses the chart's seam.
void joindre(QPainterPath &chemin, const std::vector<QPointF> &points, double largeur)
{
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (i == 0 || std::hypot(points[i].x() - points[i - 1].x(),
                                 points[i].y() - points[i - 1].y()) > saut_couture * largeur)
            chemin.moveTo(points[i]);
        else
            chemin.lineTo(points[i]);
    }
}

void ligne_legende(Scene &scene, int rang, const QPen &stylo, const QString &texte_legende,
                   const QColor &couleur_texte)
{
    const QPointF origine = scene.origine_legende(rang);
    QGraphicsTextItem *texte =
        scene.ajouter_texte(texte_legende, QFont(QStringLiteral("Courier"), 10), couleur_texte);
    QGraphicsLineItem *trait =
        scene.addLine(origine.x(), origine.y(), origine.x() + longueur_trait, origine.y(), stylo);
    texte->setPos(origine.x() + longueur_trait, origine.y() - interligne_legende);
    if (scene.compacte)
        scene.ajouter_ligne_legende(
            {rang, trait, nullptr, texte, longueur_trait + texte->boundingRect().width()});
}

QString degres(double valeur)
{
    return QLocale(QLocale::French, QLocale::France).toString(valeur, 'g', 6) + QStringLiteral("°");
}

} // namespace

QPainterPath chemin_hauteur_min(const Projection &projection, double hauteur)
{
    std::vector<QPointF> points;
    for (int azimut = -180; azimut <= 180; ++azimut)
        points.push_back(projection.point(azimut, hauteur));
    QPainterPath chemin;
    const QRectF cadre = QPolygonF(QVector<QPointF>(points.cbegin(), points.cend())).boundingRect();
    joindre(chemin, points, std::max(cadre.width(), cadre.height()) * 2.0);
    return chemin;
}

void tracer_exposition(Scene &scene, Ciel &ciel, const Description_Diagramme &description, int rang)
{
    const Ombrage &ombrage = description.ombrage;
    const Regle_Exposition &regle = description.exposition;
    if (!ombrage.facade_active() || (!regle.active() && !(ombrage.hauteur_min > 0.0)))
        return;
    const Projection &projection = scene.projection();
    const double largeur = scene.sceneRect().width();
    if (ombrage.hauteur_min > 0.0) {
        QPen stylo(couleur_hauteur_min, 1.5, Qt::DashLine);
        scene.addPath(chemin_hauteur_min(projection, ombrage.hauteur_min), stylo);
        ligne_legende(scene, rang++, stylo,
                      QStringLiteral("Hauteur minimale %1").arg(degres(ombrage.hauteur_min)),
                      couleur_hauteur_min);
    }
    // The assessed day: the rule's first day assessed alone.
    if (!regle.active() || regle.criteres.empty() || regle.criteres.front().chaque_jour)
        return;
    const Etude_Exposition etude = etude_exposition(description);
    if (!raison_regle_refusee(regle, ombrage, description.date_choisie.year()).isEmpty())
        return;
    const QDate date = regle.criteres.front().jour.dans(description.date_choisie.year());
    const Vue_Fenetre vue(ombrage);
    const Profil_Masque profil(etude.masque, etude.jonction);
    const Ciel::Jour jour = ciel.jour(date);
    if (jour.fin <= jour.debut)
        return;
    const int segments = std::max(1, static_cast<int>(std::ceil((jour.fin - jour.debut) * 60.0)));
    QPainterPath chemin;
    std::vector<QPointF> morceau;
    const auto finir = [&] {
        if (morceau.size() > 1)
            joindre(chemin, morceau, largeur);
        morceau.clear();
    };
    for (const Heure_Legale::Point_Course &p : ciel.points_course(jour, segments)) {
        const double h = std::max(p.hauteur, 0.0);
        if (vue.fenetre(p.azimut, h) || profil.hauteur(p.azimut) > h || vue.murs(p.azimut, h))
            finir();
        else
            morceau.push_back(projection.point(p.azimut, h));
    }
    finir();
    const QPen stylo(couleur_periodes, 5.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    scene.addPath(chemin, stylo);
    ligne_legende(scene, rang, stylo,
                  QStringLiteral("Soleil sur la fenêtre le %1").arg(texte_jour_mois(date)),
                  couleur_texte_periodes);
}
