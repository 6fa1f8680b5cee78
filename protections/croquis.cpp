// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// The plan works in metres from the point, x east and y north; the section in metres out along
// the normal and up from the point. Each is mapped onto the sketch at one scale.
#include "protections/croquis.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <tuple>

namespace
{

constexpr double pi = 3.141592653589793;
constexpr double radians = pi / 180.0;
// Room left around the drawing for its labels, and under it for its caption, pixels.
constexpr double marge = 26.0;
constexpr double bas_legende = 36.0;
// The facade's least half-length, pixels.
constexpr double longueur_signe = 60.0;
// An arrow's head, pixels.
constexpr double tete_fleche = 7.0;
// The opening's least drawn width on the plan, pixels.
constexpr double baie_min = 60.0;
// Room left of the inner face for the opening's dimensions on the section, pixels.
constexpr double cotes_baie = 100.0;

// Horizontal unit vector of a bearing, x east, y north.
QPointF cap(double gisement)
{
    return {std::sin(gisement * radians), std::cos(gisement * radians)};
}

double longueur(const QPointF &v)
{
    return std::hypot(v.x(), v.y());
}

// A number as the dialog's boxes show it, without the zeros they pad it with.
QString nombre(double valeur, int decimales)
{
    QString texte = QLocale().toString(valeur, 'f', decimales);
    const QChar virgule = QLocale().decimalPoint();
    if (texte.contains(virgule)) {
        while (texte.endsWith(QLatin1Char('0')))
            texte.chop(1);
        if (texte.endsWith(virgule))
            texte.chop(1);
    }
    return texte;
}

QString metres(double valeur)
{
    return nombre(valeur, 2) + QStringLiteral(" m");
}

QString degres(double valeur)
{
    return nombre(valeur, 1) + QStringLiteral("°");
}

// Metres onto the sketch: `centre` (metres) at `ecran` (pixels), `echelle` pixels a metre, y up.
struct Cadre {
    QPointF centre;
    QPointF ecran;
    double echelle = 1.0;

    QPointF operator()(const QPointF &m) const
    {
        return ecran + QPointF((m.x() - centre.x()) * echelle, -(m.y() - centre.y()) * echelle);
    }
};

void trait(Croquis &c, const QPointF &a, const QPointF &b, Element_Croquis element)
{
    c.traits.push_back({QLineF(a, b), element});
}

// An arrow from `a` to `b`, pixels.
void fleche(Croquis &c, const QPointF &a, const QPointF &b, Element_Croquis element)
{
    trait(c, a, b, element);
    const QLineF ligne(b, a);
    if (ligne.length() <= tete_fleche)
        return;
    for (const double ecart : {-25.0, 25.0}) {
        QLineF tete = ligne;
        tete.setLength(tete_fleche);
        tete.setAngle(ligne.angle() + ecart);
        trait(c, tete.p1(), tete.p2(), element);
    }
}

void texte(Croquis &c, const QPointF &position, const QString &texte, Element_Croquis element,
           Ancre ancre = Ancre::Centre)
{
    c.textes.push_back({position, texte, element, ancre});
}

// A caption of two lines under the drawing.
void legende(Croquis &c, const QSizeF &taille, const QString &premiere, const QString &seconde)
{
    const double x = taille.width() / 2.0;
    texte(c, QPointF(x, taille.height() - bas_legende * 0.75), premiere, Element_Croquis::Legende);
    texte(c, QPointF(x, taille.height() - bas_legende * 0.25), seconde, Element_Croquis::Legende);
}

// `p` moved `pixels` further along the way from `depuis`.
QPointF ecarte(const QPointF &p, const QPointF &depuis, double pixels)
{
    const QPointF v = p - depuis;
    const double l = longueur(v);
    return l > 0 ? p + v * (pixels / l) : p;
}

// An overhang's end as drawn: its length, or the facade's drawn half when it runs along it all.
double bout_casquette(double bout, double demi_facade)
{
    return std::isinf(bout) ? demi_facade : bout;
}

} // namespace

Croquis croquis_plan(const Ombrage &ombrage, const QSizeF &taille, int choisi)
{
    Croquis c;
    const Facade &f = ombrage.facade;
    const QPointF n = cap(f.orientation);
    const QPointF droite = cap(f.orientation + 90.0);

    // The facade's devices set its least half-length; the walls, how far the plan reaches.
    double devices = 1.5;
    if (f.active) {
        const Casquette &k = f.casquette;
        if (k.active) {
            devices = std::max(devices, k.profondeur);
            for (const double bout : {k.gauche, k.droite})
                if (!std::isinf(bout))
                    devices = std::max(devices, bout + 0.5);
        }
        for (const Joue *j : {&f.joue_gauche, &f.joue_droite})
            if (j->active)
                devices = std::max({devices, j->distance + 0.5, j->profondeur});
    }
    double portee = devices * 1.15;
    for (const Obstacle &o : ombrage.obstacles)
        portee = std::max({portee, o.distance1 * 1.05, o.distance2 * 1.05});

    const double largeur = std::max(1.0, taille.width() - 2 * marge);
    const double hauteur = std::max(1.0, taille.height() - 2 * marge - bas_legende);
    const Cadre cadre{{0, 0},
                      {taille.width() / 2.0, marge + hauteur / 2.0},
                      std::min(largeur, hauteur) / (2 * portee)};
    c.point = cadre({0, 0});
    // The facade and its normal are signs as much as lengths: long enough to be seen.
    const double demi_facade = std::max(devices, longueur_signe / cadre.echelle);

    // North, in the top left corner.
    const QPointF nord(marge * 0.6, marge + 28.0);
    fleche(c, nord, nord - QPointF(0, 26.0), Element_Croquis::Nord);
    texte(c, nord - QPointF(0, 36.0), QStringLiteral("N"), Element_Croquis::Nord);

    // The facade, its normal, inside and out, left and right as seen from inside.
    const QPointF gauche_facade = cadre(-droite * demi_facade);
    const QPointF droite_facade = cadre(droite * demi_facade);
    trait(c, gauche_facade, droite_facade, Element_Croquis::Facade);
    const Element_Croquis normale = f.active ? Element_Croquis::Normale : Element_Croquis::Cote;
    const QPointF bout_normale =
        cadre(n * std::max(0.7 * longueur_signe / cadre.echelle, f.casquette.profondeur));
    fleche(c, c.point, bout_normale, normale);
    texte(c, ecarte(bout_normale, c.point, 14.0), degres(f.orientation), normale);
    texte(c, c.point - (bout_normale - c.point) * 0.8, QStringLiteral("intérieur"),
          Element_Croquis::Legende);
    texte(c, ecarte(gauche_facade, c.point, 18.0), QStringLiteral("gauche"),
          Element_Croquis::Legende);
    texte(c, ecarte(droite_facade, c.point, 18.0), QStringLiteral("droite"),
          Element_Croquis::Legende);

    // The overhang's outline and the fins, from the facade out.
    if (f.active && f.casquette.active) {
        const Casquette &k = f.casquette;
        const QPointF g = -droite * bout_casquette(k.gauche, demi_facade);
        const QPointF d = droite * bout_casquette(k.droite, demi_facade);
        const QPointF avant = n * k.profondeur;
        trait(c, cadre(g), cadre(g + avant), Element_Croquis::Casquette);
        trait(c, cadre(g + avant), cadre(d + avant), Element_Croquis::Casquette);
        trait(c, cadre(d + avant), cadre(d), Element_Croquis::Casquette);
    }
    for (const auto &[joue, cote] :
         {std::make_pair(&f.joue_gauche, -1.0), std::make_pair(&f.joue_droite, 1.0)}) {
        if (!f.active || !joue->active)
            continue;
        const QPointF pied = droite * (cote * joue->distance);
        trait(c, cadre(pied), cadre(pied + n * joue->profondeur), Element_Croquis::Joue);
    }

    // The walls, each numbered beside a point a third along it from its first end, away from the
    // point: a long wall's middle is where the normal's arrow often ends.
    for (std::size_t i = 0; i < ombrage.obstacles.size(); ++i) {
        const Obstacle &o = ombrage.obstacles[i];
        const QPointF a = cadre(cap(o.gisement1) * o.distance1);
        const QPointF b = cadre(cap(o.gisement2) * o.distance2);
        const Element_Croquis element = int(i) == choisi ? Element_Croquis::Choisi
                                        : ombrage.obstacles_actifs && o.hauteur > 0
                                            ? Element_Croquis::Mur
                                            : Element_Croquis::Mur_Bas;
        trait(c, a, b, element);
        const QPointF milieu = a + (b - a) / 3.0;
        QPointF dehors = milieu - c.point;
        if (longueur(dehors) < 1.0)
            dehors = QPointF(b.y() - a.y(), a.x() - b.x());
        const double l = longueur(dehors);
        texte(c, l > 0 ? milieu + dehors * (11.0 / l) : milieu, QString::number(i + 1), element);
    }

    // The opening across the wall's thickness, at the point. At the walls' scale it would often
    // be a few pixels: drawn no smaller than a legible size, and said so.
    const Baie &b = ombrage.baie;
    if (b.active && b.largeur > 0) {
        const double echelle = std::max(cadre.echelle, baie_min / b.largeur);
        const QPointF origine = c.point;
        // Pixels along the facade's right and into the room (y down on the sketch).
        const QPointF vers_droite(droite.x() * echelle, -droite.y() * echelle);
        const QPointF dedans(-n.x() * echelle, n.y() * echelle);
        const double demi_pixels = demi_facade * cadre.echelle / echelle;
        const double demi = std::min(b.largeur / 2.0, demi_pixels);
        for (const double cote : {-1.0, 1.0}) {
            const QPointF jambage = origine + vers_droite * (cote * demi);
            trait(c, jambage, jambage + dedans * b.epaisseur, Element_Croquis::Facade);
            trait(c, jambage + dedans * b.epaisseur,
                  origine + vers_droite * (cote * demi_pixels) + dedans * b.epaisseur,
                  Element_Croquis::Facade);
        }
        c.point = origine + dedans * position_point(b, ombrage.point).retrait;
        const QPointF coin(taille.width() - marge * 0.3, marge * 0.5);
        texte(c, coin,
              QStringLiteral("baie %1, mur %2").arg(metres(b.largeur), metres(b.epaisseur)),
              Element_Croquis::Cote, Ancre::Droite);
        if (echelle > cadre.echelle * 1.0001)
            texte(c, coin + QPointF(0, 16.0), QStringLiteral("(agrandie)"), Element_Croquis::Cote,
                  Ancre::Droite);
    }

    legende(c, taille, QStringLiteral("vu de l'intérieur,"), QStringLiteral("regardant dehors"));
    return c;
}

Croquis croquis_coupe(const Ombrage &ombrage, const QSizeF &taille, int choisi)
{
    Croquis c;
    const Facade &f = ombrage.facade;
    const bool casquette = f.active && f.casquette.active;
    const Casquette &k = f.casquette;

    // The wall shown: the one chosen, else the first that rises above the point.
    int mur = choisi >= 0 && choisi < int(ombrage.obstacles.size()) ? choisi : -1;
    for (std::size_t i = 0; mur < 0 && i < ombrage.obstacles.size(); ++i)
        if (ombrage.obstacles[i].hauteur > 0)
            mur = int(i);
    double distance = 0.0;
    double haut = 0.0;
    if (mur >= 0) {
        distance = front_depuis_obstacle(ombrage.obstacles[std::size_t(mur)]).distance;
        haut = ombrage.obstacles[std::size_t(mur)].hauteur;
    }

    // With an opening, lengths run from the middle of its sill on the outer plane and the point
    // stands back in the reveal or up in the opening.
    const Baie &b = ombrage.baie;
    const Position_Point pos = position_point(b, ombrage.point);
    const QPointF ici(-pos.retrait, pos.hauteur);

    // Out to the wall or the overhang's edge, up to the highest of them.
    const double loin = std::max({1.0, distance, casquette ? k.profondeur : 0.0}) * 1.2;
    const double plafond = std::max({0.5, mur >= 0 ? haut : 0.0, casquette ? k.hauteur : 0.0,
                                     b.active ? b.hauteur : 0.0}) *
                           1.15;
    const double plancher = std::min(
        {-0.2 * plafond, mur >= 0 ? haut * 1.15 : 0.0, b.active ? -b.allege - 0.1 * plafond : 0.0});
    // The overhang's height is written left of the facade; the opening's dimensions, left of
    // the wall's inner face.
    const double epaisseur = b.active ? b.epaisseur : 0.0;
    const double gauche = 2.2 * marge + (b.active ? cotes_baie : 0.0);
    const double largeur = std::max(1.0, taille.width() - gauche - marge);
    const double hauteur = std::max(1.0, taille.height() - 2 * marge - bas_legende);
    const double echelle = std::min(largeur / (loin + epaisseur), hauteur / (plafond - plancher));
    const Cadre cadre{{-epaisseur, plafond}, {gauche, marge}, echelle};
    c.point = cadre(ici);

    // The facade, the point's level, and the rooms behind.
    trait(c, cadre({0, plancher}), cadre({0, plafond}), Element_Croquis::Facade);
    const QPointF fin_niveau = cadre({loin, ici.y()});
    trait(c, c.point, fin_niveau, Element_Croquis::Cote);
    texte(c, c.point + QPointF(5.0, 11.0), QStringLiteral("niveau du point"), Element_Croquis::Cote,
          Ancre::Gauche);
    // In an opening, left of the point lie the reveal and its dimensions.
    if (b.active)
        texte(c, c.point + QPointF(5.0, -11.0), QStringLiteral("point"), Element_Croquis::Point,
              Ancre::Gauche);
    else
        texte(c, c.point + QPointF(-5.0, 11.0), QStringLiteral("point"), Element_Croquis::Point,
              Ancre::Droite);

    // A sight line from the point through `(x, y)` metres, to the drawing's edge, and its angle.
    // The angle is written at `part` of the line's length.
    const auto visee = [&](double x, double y, double part) {
        const double dx = x - ici.x();
        const double dy = y - ici.y();
        const double angle = std::atan2(dy, dx) / radians;
        const double t = std::min((loin - ici.x()) / dx,
                                  dy > 0 ? (plafond - ici.y()) / dy : (loin - ici.x()) / dx);
        trait(c, c.point, cadre({ici.x() + dx * t, ici.y() + dy * t}), Element_Croquis::Cote);
        texte(c, cadre({ici.x() + dx * t * part, ici.y() + dy * t * part}) + QPointF(8.0, 4.0),
              degres(angle), Element_Croquis::Cote, Ancre::Gauche);
    };

    if (b.active) {
        // The wall's inner face below the sill and above the head, the sill and the reveal's
        // head across the thickness, and the floor inside.
        const double dedans = -epaisseur - (gauche - 6.0) / echelle;
        trait(c, cadre({-epaisseur, plancher}), cadre({-epaisseur, 0}), Element_Croquis::Facade);
        trait(c, cadre({-epaisseur, b.hauteur}), cadre({-epaisseur, plafond}),
              Element_Croquis::Facade);
        trait(c, cadre({-epaisseur, 0}), cadre({0, 0}), Element_Croquis::Facade);
        trait(c, cadre({-epaisseur, b.hauteur}), cadre({0, b.hauteur}), Element_Croquis::Facade);
        trait(c, cadre({dedans, -b.allege}), cadre({0, -b.allege}), Element_Croquis::Facade);
        texte(c, cadre({dedans, -b.allege}) + QPointF(2.0, 9.0), QStringLiteral("sol"),
              Element_Croquis::Legende, Ancre::Gauche);
        texte(c, cadre({-epaisseur / 2.0, plancher}) + QPointF(0, 10.0),
              QStringLiteral("mur ") + metres(b.epaisseur), Element_Croquis::Cote);
        // The sill above the floor and the opening's height, dimensioned beside the inner face.
        const double x = -epaisseur - 8.0 / echelle;
        double dessous = taille.height();
        for (const auto &[bas, haut_cote, nom] :
             {std::make_tuple(-b.allege, 0.0, QStringLiteral("allège ") + metres(b.allege)),
              std::make_tuple(0.0, b.hauteur, QStringLiteral("hauteur ") + metres(b.hauteur))}) {
            trait(c, cadre({x, bas}), cadre({x, haut_cote}), Element_Croquis::Cote);
            // A short opening keeps its two labels a line apart.
            const QPointF milieu = cadre({x, (bas + haut_cote) / 2.0}) - QPointF(4.0, 0);
            dessous = std::min(milieu.y(), dessous - 16.0);
            texte(c, QPointF(milieu.x(), dessous), nom, Element_Croquis::Cote, Ancre::Droite);
        }
    }

    if (casquette) {
        const QPointF bord = cadre({k.profondeur, k.hauteur});
        trait(c, cadre({0, k.hauteur}), bord, Element_Croquis::Casquette);
        texte(c, cadre({0, k.hauteur}) + QPointF(4.0, -9.0), metres(k.profondeur),
              Element_Croquis::Casquette, Ancre::Gauche);
        texte(c, cadre({-epaisseur, k.hauteur}) - QPointF(5.0, 0), metres(k.hauteur),
              Element_Croquis::Casquette, Ancre::Droite);
        visee(k.profondeur, k.hauteur, 0.55);
    }
    if (mur >= 0) {
        const Element_Croquis element = haut > 0 ? Element_Croquis::Mur : Element_Croquis::Mur_Bas;
        const QPointF sommet = cadre({distance, haut});
        trait(c, cadre({distance, plancher}), sommet, element);
        // Ending at the wall: it stands near the drawing's right edge.
        texte(c, sommet + QPointF(6.0, -10.0),
              QStringLiteral("obstacle %1 : %2").arg(mur + 1).arg(metres(haut)), element,
              Ancre::Droite);
        texte(c, cadre({distance / 2.0, 0}) - QPointF(0, 8.0), metres(distance),
              Element_Croquis::Cote);
        if (haut > 0 && distance > 0)
            visee(distance, haut, 0.85);
    }
    legende(c, taille, QStringLiteral("coupe selon la normale,"),
            b.active ? QStringLiteral("cotes depuis le milieu de l'appui, plan extérieur")
                     : QStringLiteral("hauteurs au-dessus du point"));
    return c;
}
