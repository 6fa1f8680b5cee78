// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "protections/dialogue_fenetre.h"

#include "protections/groupe_exposition.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>
#include <limits>
#include <memory>

namespace
{

// Lengths the boxes take, metres: a hundredth up to a kilometre; a wall's height may be
// negative (then it hides nothing).
constexpr double longueur_min = 0.01;
constexpr double longueur_max = 1000.0;

// An overhang's end of 0 in its box: none, the whole facade.
const QString toute_la_facade = QStringLiteral("toute la façade");

// The eight quick picks, 45° apart from north.
const char *const reperes_cardinaux[] = {"N", "NE", "E", "SE", "S", "SO", "O", "NO"};

QDoubleSpinBox *boite(double min, double max, const QString &suffixe, QWidget *parent)
{
    auto *b = new QDoubleSpinBox(parent); // owned by `parent`
    b->setRange(min, max);
    b->setDecimals(2);
    b->setSuffix(suffixe);
    b->setSingleStep(0.1);
    return b;
}

QDoubleSpinBox *longueur(QWidget *parent, double valeur = longueur_min)
{
    QDoubleSpinBox *b = boite(longueur_min, longueur_max, QStringLiteral(" m"), parent);
    b->setValue(valeur);
    return b;
}

// One element of the surroundings, switched on or off by its title's box.
QGroupBox *groupe_commutable(const QString &titre, bool actif, const char *nom, QWidget *parent)
{
    auto *groupe = new QGroupBox(titre, parent); // owned by `parent`
    groupe->setObjectName(QLatin1String(nom));
    groupe->setCheckable(true);
    groupe->setChecked(actif);
    return groupe;
}

// The columns of the walls' table: bearing, distance, bearing, distance, height.
enum Colonne { Gisement1, Distance1, Gisement2, Distance2, Hauteur, Colonnes };

// The table's cell editors: each column's range.
class Delegue_Obstacles : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &,
                          const QModelIndex &index) const override
    {
        switch (index.column()) {
        case Gisement1:
        case Gisement2:
            return boite(0.0, 360.0, QStringLiteral("°"), parent);
        case Hauteur:
            return boite(-longueur_max, longueur_max, QStringLiteral(" m"), parent);
        default:
            return longueur(parent);
        }
    }
};

double cellule(const QTableWidget &table, int ligne, int colonne)
{
    const QTableWidgetItem *item = table.item(ligne, colonne);
    return item ? item->data(Qt::EditRole).toDouble() : 0.0;
}

} // namespace

Dialogue_Fenetre::Dialogue_Fenetre(const Ombrage &ombrage, QWidget *parent)
    : QDialog(parent), depart(ombrage.facade)
{
    // Built in one pass: every widget first, then the values, then the connections, so that no
    // value set and no slot run reaches a widget not yet made.
    setWindowTitle(tr("Fenêtre et obstacles"));
    auto *mise_en_page = new QVBoxLayout(this); // every widget below is owned by the dialog

    // The facade, with its devices inside: switched off, it switches them off too.
    groupe_facade = groupe_commutable(tr("Façade"), false, "groupe_facade", this);
    auto *facade = new QVBoxLayout(groupe_facade);
    auto *ligne_orientation = new QHBoxLayout;
    facade->addLayout(ligne_orientation);
    orientation = boite(0.0, 360.0, QStringLiteral("°"), groupe_facade);
    orientation->setSingleStep(1.0);
    orientation->setObjectName(QStringLiteral("orientation_facade"));
    reperes = new QComboBox(groupe_facade);
    reperes->addItem(QString());
    for (const char *nom : reperes_cardinaux)
        reperes->addItem(QString::fromLatin1(nom));
    ligne_orientation->addWidget(new QLabel(tr("Façade orientée à"), groupe_facade));
    ligne_orientation->addWidget(orientation);
    ligne_orientation->addWidget(reperes);
    ligne_orientation->addStretch();

    groupe_casquette = groupe_commutable(tr("Casquette"), false, "groupe_casquette", groupe_facade);
    auto *casquette = new QFormLayout(groupe_casquette);
    casquette_profondeur = longueur(groupe_casquette);
    casquette_hauteur = longueur(groupe_casquette);
    const auto debord = [&] {
        QDoubleSpinBox *b = boite(0.0, longueur_max, QStringLiteral(" m"), groupe_casquette);
        b->setSpecialValueText(toute_la_facade);
        return b;
    };
    casquette_gauche = debord();
    casquette_droite = debord();
    casquette->addRow(tr("Profondeur"), casquette_profondeur);
    casquette->addRow(tr("Hauteur au-dessus du point"), casquette_hauteur);
    casquette->addRow(tr("Débord gauche"), casquette_gauche);
    casquette->addRow(tr("Débord droit"), casquette_droite);
    facade->addWidget(groupe_casquette);

    auto *joues = new QHBoxLayout;
    facade->addLayout(joues);
    const auto joue = [&](const QString &titre, const char *nom, QGroupBox *&groupe,
                          QDoubleSpinBox *&profondeur, QDoubleSpinBox *&distance) {
        groupe = groupe_commutable(titre, false, nom, groupe_facade);
        auto *formulaire = new QFormLayout(groupe);
        profondeur = longueur(groupe);
        distance = longueur(groupe);
        formulaire->addRow(tr("Profondeur"), profondeur);
        formulaire->addRow(tr("Distance"), distance);
        joues->addWidget(groupe);
    };
    joue(tr("Joue gauche"), "groupe_joue_gauche", groupe_joue_gauche, joue_gauche_profondeur,
         joue_gauche_distance);
    joue(tr("Joue droite"), "groupe_joue_droite", groupe_joue_droite, joue_droite_profondeur,
         joue_droite_distance);
    mise_en_page->addWidget(groupe_facade);

    // The walls, one row each.
    groupe_obstacles = groupe_commutable(tr("Obstacles"), false, "groupe_obstacles", this);
    auto *murs = new QVBoxLayout(groupe_obstacles);
    obstacles = new QTableWidget(0, Colonnes, groupe_obstacles);
    obstacles->setHorizontalHeaderLabels(
        {tr("Gisement 1"), tr("Distance 1"), tr("Gisement 2"), tr("Distance 2"), tr("Hauteur")});
    obstacles->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    obstacles->setItemDelegate(new Delegue_Obstacles(obstacles));
    obstacles->setSelectionBehavior(QAbstractItemView::SelectRows);
    murs->addWidget(obstacles);
    auto *boutons_murs = new QHBoxLayout;
    bouton_ajouter = new QPushButton(tr("Ajouter"), groupe_obstacles);
    auto *bouton_supprimer = new QPushButton(tr("Supprimer"), groupe_obstacles);
    boutons_murs->addWidget(bouton_ajouter);
    boutons_murs->addWidget(bouton_supprimer);
    boutons_murs->addStretch();
    murs->addLayout(boutons_murs);
    mise_en_page->addWidget(groupe_obstacles);

    groupe_exposition = new Groupe_Exposition(ombrage, this);
    mise_en_page->addWidget(groupe_exposition);

    // Why "OK" was refused, until the table changes.
    refus = new QLabel(this);
    refus->setObjectName(QStringLiteral("refus"));
    refus->setWordWrap(true);
    refus->setStyleSheet(QStringLiteral("color: #b00000;"));
    refus->hide();
    mise_en_page->addWidget(refus);

    auto *boutons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    mise_en_page->addWidget(boutons);

    // The values.
    const Facade &f = ombrage.facade;
    groupe_facade->setChecked(f.active);
    orientation->setValue(f.orientation);
    reperes->setCurrentIndex(repere(f.orientation));
    const Casquette &c = f.casquette;
    groupe_casquette->setChecked(c.active);
    casquette_profondeur->setValue(c.profondeur);
    casquette_hauteur->setValue(c.hauteur);
    casquette_gauche->setValue(std::isinf(c.gauche) ? 0.0 : c.gauche);
    casquette_droite->setValue(std::isinf(c.droite) ? 0.0 : c.droite);
    groupe_joue_gauche->setChecked(f.joue_gauche.active);
    joue_gauche_profondeur->setValue(f.joue_gauche.profondeur);
    joue_gauche_distance->setValue(f.joue_gauche.distance);
    groupe_joue_droite->setChecked(f.joue_droite.active);
    joue_droite_profondeur->setValue(f.joue_droite.profondeur);
    joue_droite_distance->setValue(f.joue_droite.distance);
    groupe_obstacles->setChecked(ombrage.obstacles_actifs);
    for (const Obstacle &o : ombrage.obstacles)
        ajouter_obstacle(o);

    // The connections.
    connect(reperes, QOverload<int>::of(&QComboBox::activated), this, [this](int index) {
        if (index > 0)
            orientation->setValue(45.0 * (index - 1));
    });
    connect(orientation, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
            [this](double valeur) { reperes->setCurrentIndex(repere(valeur)); });
    connect(bouton_ajouter, &QPushButton::clicked, this, [this] {
        // A wall 10 m wide across the facade's normal, 10 m away, as high as a storey.
        const double g = orientation->value();
        ajouter_obstacle(
            {std::fmod(g + 333.4, 360.0), 11.18, std::fmod(g + 26.6, 360.0), 11.18, 3.0});
    });
    connect(bouton_supprimer, &QPushButton::clicked, this, [this] {
        const int ligne = obstacles->currentRow();
        if (ligne >= 0)
            obstacles->removeRow(ligne);
        bouton_ajouter->setEnabled(obstacles->rowCount() < obstacles_max);
        refus->hide();
    });
    connect(obstacles, &QTableWidget::itemChanged, refus, &QWidget::hide);
    // The verdict follows every value of the window.
    groupe_exposition->fenetre = [this] { return valeur(); };
    for (QDoubleSpinBox *b : groupe_facade->findChildren<QDoubleSpinBox *>())
        connect(b, QOverload<double>::of(&QDoubleSpinBox::valueChanged), groupe_exposition,
                &Groupe_Exposition::relancer);
    for (QGroupBox *g : findChildren<QGroupBox *>())
        connect(g, &QGroupBox::toggled, groupe_exposition, &Groupe_Exposition::relancer);
    connect(obstacles, &QTableWidget::itemChanged, groupe_exposition, &Groupe_Exposition::relancer);
    connect(boutons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(boutons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

int Dialogue_Fenetre::repere(double orientation)
{
    const double rang = orientation / 45.0;
    return rang == std::floor(rang) ? int(rang) % 8 + 1 : 0;
}

void Dialogue_Fenetre::accept()
{
    // A wall on the point is refused here, as a site file or the command line refuses it: the
    // dialog stays open with every value as typed.
    const std::vector<Obstacle> murs = valeur().obstacles;
    for (std::size_t i = 0; i < murs.size(); ++i) {
        if (mur_sur_le_point(murs[i])) {
            refus->setText(
                tr("Obstacle %1 : %2.").arg(i + 1).arg(QString::fromUtf8(raison_mur_sur_le_point)));
            refus->show();
            obstacles->selectRow(int(i));
            return;
        }
    }
    // A point above the opening's head, as the command line and a site file refuse it.
    const Ombrage o = valeur();
    if (o.baie.active)
        if (const char *raison = raison_point_refuse(o.baie, o.point)) {
            refus->setText(tr("Baie : %1.").arg(QString::fromUtf8(raison)));
            refus->show();
            return;
        }
    refus->hide();
    QDialog::accept();
}

void Dialogue_Fenetre::montrer_exposition(const Regle_Exposition &regle,
                                          const Description_Diagramme &description)
{
    groupe_exposition->montrer(regle, description);
}

Regle_Exposition Dialogue_Fenetre::exposition() const
{
    return groupe_exposition->regle();
}

void Dialogue_Fenetre::ajouter_obstacle(const Obstacle &obstacle)
{
    if (obstacles->rowCount() >= obstacles_max)
        return;
    const int ligne = obstacles->rowCount();
    obstacles->insertRow(ligne);
    const double valeurs[Colonnes] = {obstacle.gisement1, obstacle.distance1, obstacle.gisement2,
                                      obstacle.distance2, obstacle.hauteur};
    for (int colonne = 0; colonne < Colonnes; ++colonne) {
        auto item = std::make_unique<QTableWidgetItem>();
        item->setData(Qt::EditRole, valeurs[colonne]);
        item->setTextAlignment(Qt::AlignCenter);
        obstacles->setItem(ligne, colonne, item.release()); // the table owns it
    }
    bouton_ajouter->setEnabled(obstacles->rowCount() < obstacles_max);
}

Ombrage Dialogue_Fenetre::valeur() const
{
    Ombrage ombrage;
    Facade &f = ombrage.facade;
    f.active = groupe_facade->isChecked();
    // A box shows two decimals: a value it shows unchanged is the study's own, not its rounding.
    const auto lu = [](const QDoubleSpinBox *b, double avant) {
        const bool intacte = std::isfinite(avant) && avant >= b->minimum() &&
                             avant <= b->maximum() &&
                             b->value() == QString::number(avant, 'f', b->decimals()).toDouble();
        return intacte ? avant : b->value();
    };
    const auto fin = [&lu](const QDoubleSpinBox *b, double avant) {
        return b->value() == b->minimum() ? std::numeric_limits<double>::infinity() : lu(b, avant);
    };
    const Facade &d = depart;
    f.orientation = lu(orientation, d.orientation);
    f.casquette = {groupe_casquette->isChecked(), lu(casquette_profondeur, d.casquette.profondeur),
                   lu(casquette_hauteur, d.casquette.hauteur),
                   fin(casquette_gauche, d.casquette.gauche),
                   fin(casquette_droite, d.casquette.droite)};
    f.joue_gauche = {groupe_joue_gauche->isChecked(),
                     lu(joue_gauche_profondeur, d.joue_gauche.profondeur),
                     lu(joue_gauche_distance, d.joue_gauche.distance)};
    f.joue_droite = {groupe_joue_droite->isChecked(),
                     lu(joue_droite_profondeur, d.joue_droite.profondeur),
                     lu(joue_droite_distance, d.joue_droite.distance)};
    ombrage.obstacles_actifs = groupe_obstacles->isChecked();
    for (int ligne = 0; ligne < obstacles->rowCount(); ++ligne)
        ombrage.obstacles.push_back(
            {cellule(*obstacles, ligne, Gisement1), cellule(*obstacles, ligne, Distance1),
             cellule(*obstacles, ligne, Gisement2), cellule(*obstacles, ligne, Distance2),
             cellule(*obstacles, ligne, Hauteur)});
    groupe_exposition->completer(ombrage);
    return ombrage;
}
