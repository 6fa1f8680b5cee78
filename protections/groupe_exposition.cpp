// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "protections/groupe_exposition.h"

#include "exposition/calcul.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace
{

// The year the boxes of a day without its year show: a leap year, for 29 February.
constexpr int annee_jours = 2000;

const Type_Regle ordre_regles[] = {Type_Regle::Aucune,     Type_Regle::EN17037,
                                   Type_Regle::DIN5034,    Type_Regle::TNO_Licht,
                                   Type_Regle::TNO_Streng, Type_Regle::Personnalisee};
const Point_Reference ordre_points[] = {
    Point_Reference::Seuil_Exterieur, Point_Reference::Milieu_Baie,
    Point_Reference::Seuil_Interieur, Point_Reference::Face_Interieure};

QDoubleSpinBox *boite(double min, double max, const QString &suffixe, QWidget *parent)
{
    auto *b = new QDoubleSpinBox(parent); // owned by `parent`
    b->setRange(min, max);
    b->setDecimals(2);
    b->setSuffix(suffixe);
    b->setSingleStep(0.05);
    return b;
}

QDateEdit *boite_jour(QWidget *parent)
{
    auto *b = new QDateEdit(parent); // owned by `parent`
    b->setDateRange(QDate(annee_jours, 1, 1), QDate(annee_jours, 12, 31));
    b->setDisplayFormat(QStringLiteral("d MMMM"));
    return b;
}

QDate date_jour(const Jour_Mois &j)
{
    return QDate(annee_jours, j.mois, j.jour);
}

Jour_Mois jour_date(const QDate &d)
{
    return {d.month(), d.day()};
}

} // namespace

Groupe_Exposition::Groupe_Exposition(const Ombrage &ombrage, QWidget *parent) : QWidget(parent)
{
    auto *mise_en_page = new QVBoxLayout(this); // every widget below is owned by this one
    mise_en_page->setContentsMargins(0, 0, 0, 0);

    // The opening: its four numbers two by two, and what they are measured from.
    groupe_baie = new QGroupBox(tr("Baie"), this);
    groupe_baie->setObjectName(QStringLiteral("groupe_baie"));
    groupe_baie->setCheckable(true);
    auto *baie = new QGridLayout(groupe_baie);
    largeur = boite(0.05, 100.0, QStringLiteral(" m"), groupe_baie);
    hauteur = boite(0.05, 100.0, QStringLiteral(" m"), groupe_baie);
    allege = boite(0.0, 100.0, QStringLiteral(" m"), groupe_baie);
    epaisseur = boite(0.0, 10.0, QStringLiteral(" m"), groupe_baie);
    largeur->setObjectName(QStringLiteral("baie_largeur"));
    hauteur->setObjectName(QStringLiteral("baie_hauteur"));
    allege->setObjectName(QStringLiteral("baie_allege"));
    epaisseur->setObjectName(QStringLiteral("baie_epaisseur"));
    const std::pair<QString, QDoubleSpinBox *> nombres[] = {{tr("Largeur"), largeur},
                                                            {tr("Hauteur"), hauteur},
                                                            {tr("Allège"), allege},
                                                            {tr("Épaisseur du mur"), epaisseur}};
    for (int i = 0; i < 4; ++i) {
        baie->addWidget(new QLabel(nombres[i].first, groupe_baie), i / 2, 2 * (i % 2));
        baie->addWidget(nombres[i].second, i / 2, 2 * (i % 2) + 1);
    }
    auto *mesures =
        new QLabel(tr("Allège : hauteur de l'appui au-dessus du sol. Les protections et les "
                      "obstacles se mesurent depuis le milieu de l'appui, sur le plan extérieur "
                      "de la façade ; l'embrasure ombre comme des joues et une casquette."),
                   groupe_baie);
    mesures->setWordWrap(true);
    baie->addWidget(mesures, 2, 0, 1, 4);
    mise_en_page->addWidget(groupe_baie);

    auto *groupe = new QGroupBox(tr("Exposition au soleil"), this);
    groupe->setObjectName(QStringLiteral("groupe_exposition"));
    auto *grille = new QGridLayout(groupe);
    regles = new QComboBox(groupe);
    regles->setObjectName(QStringLiteral("regles"));
    for (Type_Regle type : ordre_regles)
        regles->addItem(nom_regle(type));
    nom = new QLabel(groupe);
    nom->setWordWrap(true);
    debut = boite_jour(groupe);
    fin = boite_jour(groupe);
    jour = boite_jour(groupe);
    chaque_jour = new QCheckBox(tr("Chaque jour (le plus faible décide)"), groupe);
    heures = boite(0.0, 24.0, QStringLiteral(" h"), groupe);
    heures->setSingleStep(0.25);
    hauteur_min = boite(0.0, 89.0, QStringLiteral("°"), groupe);
    hauteur_min->setObjectName(QStringLiteral("hauteur_min"));
    hauteur_min->setSingleStep(1.0);
    points = new QComboBox(groupe);
    for (Point_Reference point : ordre_points)
        points->addItem(nom_point(point));
    verdict = new QLabel(groupe);
    verdict->setObjectName(QStringLiteral("verdict"));
    verdict->setWordWrap(true);
    verdict->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *avertissement = new QLabel(tr("Les règles nationales sont données telles qu'elles sont "
                                        "couramment appliquées : vérifiez-les sur le texte en "
                                        "vigueur."),
                                     groupe);
    avertissement->setWordWrap(true);
    const auto etiquette = [groupe](const QString &texte) { return new QLabel(texte, groupe); };
    grille->addWidget(etiquette(tr("Règle")), 0, 0);
    grille->addWidget(regles, 0, 1, 1, 3);
    grille->addWidget(nom, 1, 0, 1, 4);
    grille->addWidget(etiquette(tr("Du")), 2, 0);
    grille->addWidget(debut, 2, 1);
    grille->addWidget(etiquette(tr("au")), 2, 2);
    grille->addWidget(fin, 2, 3);
    grille->addWidget(etiquette(tr("Jour évalué")), 3, 0);
    grille->addWidget(jour, 3, 1);
    grille->addWidget(chaque_jour, 3, 2, 1, 2);
    grille->addWidget(etiquette(tr("Durée demandée")), 4, 0);
    grille->addWidget(heures, 4, 1);
    grille->addWidget(etiquette(tr("Hauteur min.")), 4, 2);
    grille->addWidget(hauteur_min, 4, 3);
    grille->addWidget(etiquette(tr("Point")), 5, 0);
    grille->addWidget(points, 5, 1, 1, 3);
    grille->addWidget(avertissement, 6, 0, 1, 4);
    grille->addWidget(verdict, 7, 0, 1, 4);
    mise_en_page->addWidget(groupe);
    mise_en_page->addStretch();
    calcul = new Calcul_Exposition(this);

    // The values.
    const Baie &b = ombrage.baie;
    groupe_baie->setChecked(b.active);
    largeur->setValue(b.largeur);
    hauteur->setValue(b.hauteur);
    allege->setValue(b.allege);
    epaisseur->setValue(b.epaisseur);
    ecrire_regle(m_regle, ombrage.hauteur_min, ombrage.point);

    // The connections.
    connect(calcul, &Calcul_Exposition::verdict_pret, this,
            [this](const Verdict_Exposition &v) { verdict->setText(texte_verdict(v)); });
    connect(regles, QOverload<int>::of(&QComboBox::activated), this, [this](int index) {
        const Type_Regle type = ordre_regles[index];
        Ombrage o;
        appliquer_prereglage(type, m_regle, o);
        ecrire_regle(m_regle, o.hauteur_min, o.point);
        relancer();
    });
    const auto modifiee = [this] {
        m_regle = regle();
        const QSignalBlocker bloque(regles);
        regles->setCurrentIndex(static_cast<int>(m_regle.type));
        nom->setText(QStringLiteral("Source : ") + source_regle(m_regle.type));
        relancer();
    };
    for (QDateEdit *b : {debut, fin, jour})
        connect(b, &QDateEdit::dateChanged, this, modifiee);
    connect(chaque_jour, &QCheckBox::toggled, this, modifiee);
    for (QDoubleSpinBox *b : {heures, hauteur_min})
        connect(b, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this, modifiee);
    connect(points, QOverload<int>::of(&QComboBox::activated), this, modifiee);
    for (QDoubleSpinBox *b : {largeur, hauteur, allege, epaisseur})
        connect(b, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
                &Groupe_Exposition::relancer);
    connect(groupe_baie, &QGroupBox::toggled, this, &Groupe_Exposition::relancer);
}

void Groupe_Exposition::ecrire_regle(const Regle_Exposition &regle, double hmin,
                                     Point_Reference point)
{
    m_regle = regle;
    const std::vector<QWidget *> boites{debut, fin, jour, chaque_jour, heures, hauteur_min, points};
    for (QWidget *w : boites)
        w->blockSignals(true);
    regles->setCurrentIndex(static_cast<int>(regle.type));
    nom->setText(regle.active() ? QStringLiteral("Source : ") + source_regle(regle.type)
                                : QString());
    const Critere_Exposition c =
        regle.criteres.empty() ? Critere_Exposition() : regle.criteres.front();
    debut->setDate(date_jour(c.debut));
    fin->setDate(date_jour(c.fin));
    jour->setDate(date_jour(c.jour));
    chaque_jour->setChecked(c.chaque_jour);
    jour->setEnabled(!c.chaque_jour);
    heures->setValue(c.heures);
    hauteur_min->setValue(hmin);
    for (int i = 0; i < int(std::size(ordre_points)); ++i)
        if (ordre_points[i] == point)
            points->setCurrentIndex(i);
    for (QWidget *w : boites) {
        w->blockSignals(false);
        if (w != jour)
            w->setEnabled(regle.active());
    }
    jour->setEnabled(regle.active() && !c.chaque_jour);
}

void Groupe_Exposition::montrer(const Regle_Exposition &regle,
                                const Description_Diagramme &description)
{
    m_description = description;
    ecrire_regle(regle, description.ombrage.hauteur_min, description.ombrage.point);
    relancer();
}

void Groupe_Exposition::completer(Ombrage &ombrage) const
{
    ombrage.baie = {groupe_baie->isChecked(), largeur->value(), hauteur->value(), allege->value(),
                    epaisseur->value()};
    ombrage.point = ordre_points[std::max(0, points->currentIndex())];
    ombrage.hauteur_min = hauteur_min->value();
}

Regle_Exposition Groupe_Exposition::regle() const
{
    Regle_Exposition r = m_regle;
    if (!r.active())
        return r;
    if (r.criteres.empty())
        r.criteres.emplace_back();
    Critere_Exposition &c = r.criteres.front();
    c.debut = jour_date(debut->date());
    c.fin = jour_date(fin->date());
    c.chaque_jour = chaque_jour->isChecked();
    c.jour = jour_date(jour->date());
    c.heures = heures->value();
    jour->setEnabled(!c.chaque_jour);
    Ombrage o;
    completer(o);
    return reconnaitre(r, o);
}

void Groupe_Exposition::relancer()
{
    if (!m_description || !m_regle.active()) {
        verdict->clear();
        return;
    }
    Description_Diagramme d = *m_description;
    d.ombrage = fenetre ? fenetre() : d.ombrage;
    completer(d.ombrage);
    d.exposition = regle();
    verdict->setText(tr("Calcul en cours…"));
    calcul->demander(etude_exposition(d));
}
