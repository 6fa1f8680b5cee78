// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// The command line's sky photo: `--photo FICHIER` and its calibration, and `--photo-horizon`,
// the horizon traced from it as the mask.
#include "cli/demande.h"

#include "horizon/horizon.h"
#include "masks/points_masque.h"
#include "photo/horizon_photo.h"
#include "photo/photo.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <cmath>
#include <memory>

namespace
{

// The numbers of `texte` separated by colons, exactly `n` of them.
std::vector<double> nombres(const QString &option, const QString &texte, int n,
                            const QString &attendu)
{
    const QStringList parties = texte.split(QLatin1Char(':'));
    std::vector<double> valeurs;
    for (const QString &partie : parties)
        if (const std::optional<double> v = lire_nombre(partie))
            valeurs.push_back(*v);
    if (parties.size() != n || static_cast<int>(valeurs.size()) != n)
        throw Erreur_usage{
            QStringLiteral("--%1 : « %2 » : attendu %3").arg(option, texte, attendu)};
    return valeurs;
}

double dans(const QString &option, const QString &texte, double min, double max)
{
    const std::optional<double> v = lire_nombre(texte);
    if (!v)
        throw Erreur_usage{QStringLiteral("--%1 : « %2 » n'est pas un nombre").arg(option, texte)};
    if (*v < min || *v > max)
        throw Erreur_usage{QStringLiteral("--%1 : %2 est hors de l'intervalle %3 à %4")
                               .arg(option, texte)
                               .arg(min)
                               .arg(max)};
    return *v;
}

// A whole number within 0..`max`.
int entier(const QString &option, const QString &texte, int max)
{
    static const QRegularExpression forme(QStringLiteral("^\\d{1,9}$"));
    if (!forme.match(texte).hasMatch())
        throw Erreur_usage{
            QStringLiteral("--%1 : « %2 » n'est pas un nombre entier").arg(option, texte)};
    const int v = texte.toInt();
    if (v > max)
        throw Erreur_usage{QStringLiteral("--%1 : %2 est hors de l'intervalle 0 à %3")
                               .arg(option, texte)
                               .arg(max)};
    return v;
}

} // namespace

void lire_photo_demandee(const QCommandLineParser &analyse, Demande &demande)
{
    Description_Diagramme &d = demande.description;
    const QString photo = QStringLiteral("photo");
    const bool donnee = analyse.isSet(photo);
    // A site's photo stands for `--photo` to the calibration options.
    const bool du_site = !donnee && !d.photo.fichier.isEmpty();
    for (const char *option : {"photo-objectif", "photo-centre", "photo-rayon", "photo-nord",
                               "photo-miroir", "photo-opacite", "photo-horizon"})
        if (analyse.isSet(QString::fromLatin1(option)) && !donnee && !du_site)
            throw Erreur_usage{
                QStringLiteral("--%1 : ne va qu'avec --photo").arg(QString::fromLatin1(option))};
    const bool horizon = analyse.isSet(QStringLiteral("photo-horizon"));
    if (analyse.isSet(QStringLiteral("photo-seuil")) && !horizon)
        throw Erreur_usage{QStringLiteral("--photo-seuil : ne va qu'avec --photo-horizon")};
    if (horizon && analyse.isSet(QStringLiteral("masque")))
        throw Erreur_usage{QStringLiteral("--photo-horizon : ne va pas avec --masque")};
    if (!donnee && !du_site)
        return;

    // Everything but the image checked first.
    std::optional<Type_Objectif> objectif;
    Calibration_Photo loi;
    if (analyse.isSet(QStringLiteral("photo-objectif"))) {
        const QString texte = valeur_unique(analyse, QStringLiteral("photo-objectif"));
        objectif = objectif_nomme(texte);
        if (objectif == Type_Objectif::Polynome)
            objectif.reset();
        if (!objectif && texte.contains(QLatin1Char(':'))) {
            const std::vector<double> k =
                nombres(QStringLiteral("photo-objectif"), texte, 3, QStringLiteral("C1:C2:C3"));
            objectif = Type_Objectif::Polynome;
            loi.c1 = k[0];
            loi.c2 = k[1];
            loi.c3 = k[2];
        }
        if (!objectif)
            throw Erreur_usage{QStringLiteral("--photo-objectif : « %1 » : attendu equidistant, "
                                              "equisolide, stereographique, orthographique, "
                                              "panorama ou C1:C2:C3")
                                   .arg(texte)};
    }
    std::optional<QPointF> centre;
    if (analyse.isSet(QStringLiteral("photo-centre"))) {
        const std::vector<double> xy = nombres(
            QStringLiteral("photo-centre"), valeur_unique(analyse, QStringLiteral("photo-centre")),
            2, QStringLiteral("X:Y en pixels"));
        centre = QPointF(xy[0], xy[1]);
    }
    std::optional<double> rayon;
    if (analyse.isSet(QStringLiteral("photo-rayon"))) {
        const QString texte = valeur_unique(analyse, QStringLiteral("photo-rayon"));
        rayon = dans(QStringLiteral("photo-rayon"), texte, 0.0, 1e6);
        if (!(*rayon > 0.0))
            throw Erreur_usage{
                QStringLiteral("--photo-rayon : %1 : le rayon doit être plus grand que 0 pixel")
                    .arg(texte)};
    }
    std::optional<double> nord;
    if (analyse.isSet(QStringLiteral("photo-nord")))
        nord = dans(QStringLiteral("photo-nord"),
                    valeur_unique(analyse, QStringLiteral("photo-nord")), -360.0, 360.0);
    std::optional<bool> miroir;
    if (analyse.isSet(QStringLiteral("photo-miroir"))) {
        const QString texte = valeur_unique(analyse, QStringLiteral("photo-miroir"));
        if (texte != QLatin1String("oui") && texte != QLatin1String("non"))
            throw Erreur_usage{
                QStringLiteral("--photo-miroir : « %1 » : attendu oui ou non").arg(texte)};
        miroir = texte == QLatin1String("oui");
    }
    if (analyse.isSet(QStringLiteral("photo-opacite")))
        d.photo.opacite = entier(QStringLiteral("photo-opacite"),
                                 valeur_unique(analyse, QStringLiteral("photo-opacite")), 100);
    std::optional<int> seuil;
    if (analyse.isSet(QStringLiteral("photo-seuil")))
        seuil = entier(QStringLiteral("photo-seuil"),
                       valeur_unique(analyse, QStringLiteral("photo-seuil")), 255);

    // The image, then its calibration: proposed from it, each option given replacing a part.
    const QString fichier = donnee ? valeur_unique(analyse, photo) : d.photo.fichier;
    QString raison;
    QImage image = lire_photo(fichier, &raison);
    if (image.isNull()) {
        if (!donnee) {
            // A site's missing photo: the diagram is drawn without it, nothing else lost.
            if (horizon)
                throw Erreur_usage{QStringLiteral("--photo-horizon : la photo du site « %1 » ne "
                                                  "peut être lue : %2")
                                       .arg(fichier, raison)};
            return;
        }
        throw Erreur_usage{
            QStringLiteral("--photo : « %1 » ne peut être lu : %2").arg(fichier, raison)};
    }
    Calibration_Photo c = d.photo.calibration;
    loi.objectif = objectif.value_or(Type_Objectif::Equidistant);
    loi.miroir = !loi.panorama();
    if (donnee) {
        c = calibration_proposee(image, loi);
    } else if (objectif) {
        c.objectif = loi.objectif;
        c.c1 = loi.c1;
        c.c2 = loi.c2;
        c.c3 = loi.c3;
    }
    if (centre)
        c.centre = *centre;
    if (rayon)
        c.rayon = *rayon;
    if (nord)
        c.nord = *nord;
    if (miroir)
        c.miroir = *miroir;
    const QString probleme = probleme_calibration(c, image.size());
    if (!probleme.isEmpty())
        throw Erreur_usage{QStringLiteral("--photo : « %1 » : la calibration ne va pas : %2")
                               .arg(fichier, probleme)};
    d.photo.fichier = QFileInfo(fichier).absoluteFilePath();
    d.photo.calibration = c;
    d.photo.image = std::make_shared<const QImage>(std::move(image));

    if (!horizon)
        return;
    const std::vector<double> hauteurs =
        tracer_horizon(*d.photo.image, c, seuil.value_or(seuil_otsu(*d.photo.image, c)));
    const Masque_Horizon masque = masque_de_horizon(horizon_lu(hauteurs), lignes_masque_max);
    if (!masque.rangs.valide())
        throw Erreur_usage{QStringLiteral("--photo-horizon : ") + masque.rangs.texte()};
    demande.horizon = masque.rangs.points;
    demande.nom_horizon = QFileInfo(fichier).fileName();
    d.masque = QVector<QPointF>(masque.rangs.points.cbegin(), masque.rangs.points.cend());
    d.jonction = Jonction_Masque::Ligne;
}
