// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "protections/dialogue_fenetre.h"

#include "protections/groupe_exposition.h"

#include "protections/vue_croquis.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFontMetrics>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <tuple>

namespace
{

// Lengths the boxes take, metres: a hundredth up to a kilometre; a wall's height may be
// negative (then it hides nothing).
constexpr double longueur_min = 0.01;
constexpr double longueur_max = 1000.0;

// An overhang's end that runs along the whole facade, and the length its box shows then.
const QString toute_la_facade = QStringLiteral("sur toute la façade");
constexpr double debord_par_defaut = 1.0;

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

// The columns of the walls' table, typed by the two ends: bearing, distance, bearing, distance,
// height; as a building front: distance, bearing, left, right, height.
enum Colonne { Gisement1, Distance1, Gisement2, Distance2, Hauteur, Colonnes };
enum Colonne_Front { Distance_Front, Gisement_Front, Gauche_Front, Droite_Front };

const char *const titres_deux_bouts[Colonnes] = {"Gisement 1", "Distance 1", "Gisement 2",
                                                 "Distance 2", "Hauteur"};
const char *const titres_fronts[Colonnes] = {"Distance", "Gisement", "Gauche", "Droite", "Hauteur"};

// Whether a column holds a bearing, in the way the walls are typed.
bool colonne_gisement(int colonne, bool front)
{
    return front ? colonne == Gisement_Front : colonne == Gisement1 || colonne == Gisement2;
}

QString unite(int colonne, bool front)
{
    return colonne_gisement(colonne, front) ? QStringLiteral("°") : QStringLiteral(" m");
}

// A length or a bearing as a cell shows it: two decimals at most, then its unit.
QString texte_cellule(double valeur, int colonne, bool front)
{
    const QLocale locale;
    QString texte = locale.toString(valeur, 'f', 2);
    while (texte.endsWith(QLatin1Char('0')))
        texte.chop(1);
    if (texte.endsWith(locale.decimalPoint()))
        texte.chop(1);
    if (texte == QLatin1String("-0"))
        texte = QStringLiteral("0");
    return texte + unite(colonne, front);
}

} // namespace

// The table's cell editors and texts: each column's range and unit.
class Delegue_Obstacles : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // Whether the walls are typed as building fronts.
    bool front = false;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &,
                          const QModelIndex &index) const override
    {
        const int colonne = index.column();
        if (colonne_gisement(colonne, front))
            return boite(0.0, 360.0, QStringLiteral("°"), parent);
        if (colonne == Hauteur)
            return boite(-longueur_max, longueur_max, QStringLiteral(" m"), parent);
        // A front's end may lie past its foot, on the other side.
        if (front && (colonne == Gauche_Front || colonne == Droite_Front))
            return boite(-longueur_max, longueur_max, QStringLiteral(" m"), parent);
        return longueur(parent);
    }

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const QVariant valeur = index.data(Qt::EditRole);
        if (valeur.isValid())
            option->text = texte_cellule(valeur.toDouble(), index.column(), front);
    }
};

namespace
{

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
    // The fields on the left, the sketches on the right.
    auto *colonnes = new QHBoxLayout;
    mise_en_page->addLayout(colonnes, 1);
    // The fields scroll on a small screen; the sketches stay in sight.
    auto *defilement = new QScrollArea(this);
    defilement->setObjectName(QStringLiteral("defilement_champs"));
    defilement->setWidgetResizable(true);
    defilement->setFrameShape(QFrame::NoFrame);
    defilement->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *feuille = new QWidget(defilement);
    champs = new QVBoxLayout(feuille);
    champs->setContentsMargins(0, 0, 0, 0);
    defilement->setWidget(feuille);
    colonnes->addWidget(defilement, 3);
    auto *croquis = new QVBoxLayout;
    colonnes->addLayout(croquis, 2);

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
    // Lines broken by hand: a label that wraps leaves the dialog too short for the rest.
    auto *sens = new QLabel(tr("Gauche et droite : vu de l'intérieur, regardant dehors.\n"
                               "Hauteurs au-dessus du point de la fenêtre."),
                            groupe_facade);
    sens->setObjectName(QStringLiteral("sens_gauche_droite"));
    facade->addWidget(sens);

    groupe_casquette = groupe_commutable(tr("Casquette"), false, "groupe_casquette", groupe_facade);
    auto *casquette = new QFormLayout(groupe_casquette);
    casquette_profondeur = longueur(groupe_casquette);
    casquette_hauteur = longueur(groupe_casquette);
    // Each end: a length, or the whole facade by its box.
    const auto debord = [&](const QString &titre, QDoubleSpinBox *&b, QCheckBox *&toute,
                            const char *nom) {
        b = longueur(groupe_casquette, debord_par_defaut);
        toute = new QCheckBox(toute_la_facade, groupe_casquette);
        toute->setObjectName(QLatin1String(nom));
        auto *ligne = new QHBoxLayout;
        ligne->addWidget(b);
        ligne->addWidget(toute);
        casquette->addRow(titre, ligne);
    };
    casquette->addRow(tr("Profondeur"), casquette_profondeur);
    casquette->addRow(tr("Hauteur au-dessus du point"), casquette_hauteur);
    debord(tr("Débord gauche"), casquette_gauche, casquette_gauche_toute, "casquette_gauche_toute");
    debord(tr("Débord droit"), casquette_droite, casquette_droite_toute, "casquette_droite_toute");
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
    champs->addWidget(groupe_facade);

    // The walls, one row each, typed by their two ends or as building fronts.
    groupe_obstacles = groupe_commutable(tr("Obstacles"), false, "groupe_obstacles", this);
    auto *murs_groupe = new QVBoxLayout(groupe_obstacles);
    auto *ligne_saisie = new QHBoxLayout;
    murs_groupe->addLayout(ligne_saisie);
    saisie = new QComboBox(groupe_obstacles);
    saisie->setObjectName(QStringLiteral("saisie_obstacles"));
    saisie->addItems({tr("par leurs deux extrémités"), tr("en front de bâtiment")});
    ligne_saisie->addWidget(new QLabel(tr("Murs saisis"), groupe_obstacles));
    ligne_saisie->addWidget(saisie);
    ligne_saisie->addStretch();
    note_saisie = new QLabel(groupe_obstacles);
    murs_groupe->addWidget(note_saisie);
    obstacles = new QTableWidget(0, Colonnes, groupe_obstacles);
    delegue = new Delegue_Obstacles(obstacles);
    obstacles->setItemDelegate(delegue);
    obstacles->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Wide enough for every header of either way, bold as a selected column's is.
    QHeaderView *entetes = obstacles->horizontalHeader();
    int section = 0;
    for (const auto *titres : {titres_deux_bouts, titres_fronts}) {
        QStringList textes;
        for (int colonne = 0; colonne < Colonnes; ++colonne)
            textes << tr(titres[colonne]);
        obstacles->setHorizontalHeaderLabels(textes);
        for (int colonne = 0; colonne < Colonnes; ++colonne) {
            QFont gras = entetes->font();
            gras.setBold(true);
            const int texte = QFontMetrics(gras).horizontalAdvance(textes[colonne]);
            section =
                std::max({section, entetes->sectionSizeHint(colonne),
                          texte + 4 * entetes->style()->pixelMetric(QStyle::PM_HeaderMargin)});
        }
    }
    entetes->setMinimumSectionSize(section);
    entetes->setSectionResizeMode(QHeaderView::Stretch);
    obstacles->setMinimumWidth(Colonnes * section + 2 * obstacles->frameWidth() +
                               obstacles->verticalHeader()->sizeHint().width() +
                               obstacles->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    murs_groupe->addWidget(obstacles);
    auto *boutons_murs = new QHBoxLayout;
    bouton_ajouter = new QPushButton(tr("Ajouter"), groupe_obstacles);
    auto *bouton_supprimer = new QPushButton(tr("Supprimer"), groupe_obstacles);
    boutons_murs->addWidget(bouton_ajouter);
    boutons_murs->addWidget(bouton_supprimer);
    boutons_murs->addStretch();
    murs_groupe->addLayout(boutons_murs);
    champs->addWidget(groupe_obstacles, 1);

    // The opening and the exposure rule, with the fields.
    groupe_exposition = new Groupe_Exposition(ombrage, feuille);
    champs->addWidget(groupe_exposition);

    // Why "OK" was refused, until the table changes.
    refus = new QLabel(this);
    refus->setObjectName(QStringLiteral("refus"));
    refus->setWordWrap(true);
    refus->setStyleSheet(QStringLiteral("color: #b00000;"));
    refus->hide();
    champs->addWidget(refus);

    plan = new Vue_Croquis(Vue_Croquis::Genre::Plan, this);
    plan->setObjectName(QStringLiteral("plan"));
    coupe = new Vue_Croquis(Vue_Croquis::Genre::Coupe, this);
    coupe->setObjectName(QStringLiteral("coupe"));
    croquis->addWidget(plan, 1);
    croquis->addWidget(coupe, 1);

    auto *boutons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    mise_en_page->addWidget(boutons);
    // As wide as the fields, as tall as they are when the screen has room for it. On a screen
    // too narrow for the fields and the sketches side by side, the fields scroll sideways too, so
    // that the sketches and "OK" stay on the screen.
    const QScreen *ecran = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const int champs_larges =
        feuille->minimumSizeHint().width() + defilement->verticalScrollBar()->sizeHint().width();
    int place = champs_larges;
    if (ecran) {
        const QMargins marges = mise_en_page->contentsMargins();
        place = int(ecran->availableGeometry().width() * 0.9) - plan->minimumSizeHint().width() -
                colonnes->spacing() - marges.left() - marges.right();
    }
    if (place < champs_larges)
        defilement->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    defilement->setMinimumWidth(std::max(0, std::min(champs_larges, place)));
    const QSize voulue = sizeHint().expandedTo(
        QSize(0, feuille->sizeHint().height() + boutons->sizeHint().height() +
                     3 * mise_en_page->spacing() + 2 * mise_en_page->contentsMargins().top()));
    resize(ecran ? voulue.boundedTo(ecran->availableGeometry().size() * 0.9) : voulue);

    // The values.
    const Facade &f = ombrage.facade;
    groupe_facade->setChecked(f.active);
    orientation->setValue(f.orientation);
    reperes->setCurrentIndex(repere(f.orientation));
    const Casquette &c = f.casquette;
    groupe_casquette->setChecked(c.active);
    casquette_profondeur->setValue(c.profondeur);
    casquette_hauteur->setValue(c.hauteur);
    for (const auto &[bout, b, toute] :
         {std::make_tuple(c.gauche, casquette_gauche, casquette_gauche_toute),
          std::make_tuple(c.droite, casquette_droite, casquette_droite_toute)}) {
        toute->setChecked(std::isinf(bout));
        b->setEnabled(!std::isinf(bout));
        if (!std::isinf(bout))
            b->setValue(bout);
    }
    groupe_joue_gauche->setChecked(f.joue_gauche.active);
    joue_gauche_profondeur->setValue(f.joue_gauche.profondeur);
    joue_gauche_distance->setValue(f.joue_gauche.distance);
    groupe_joue_droite->setChecked(f.joue_droite.active);
    joue_droite_profondeur->setValue(f.joue_droite.profondeur);
    joue_droite_distance->setValue(f.joue_droite.distance);
    groupe_obstacles->setChecked(ombrage.obstacles_actifs);
    montrer_saisie();
    for (const Obstacle &o : ombrage.obstacles)
        ajouter_obstacle(o);
    actualiser_croquis();

    // The connections.
    connect(reperes, QOverload<int>::of(&QComboBox::activated), this, [this](int index) {
        if (index > 0)
            orientation->setValue(45.0 * (index - 1));
    });
    connect(orientation, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
            [this](double valeur) { reperes->setCurrentIndex(repere(valeur)); });
    for (const auto &[b, toute] : {std::make_pair(casquette_gauche, casquette_gauche_toute),
                                   std::make_pair(casquette_droite, casquette_droite_toute)})
        connect(toute, &QCheckBox::toggled, b, [b = b](bool tout) { b->setEnabled(!tout); });
    connect(bouton_ajouter, &QPushButton::clicked, this, [this] {
        // A wall 10 m wide across the facade's normal, 10 m away, as high as a storey.
        const double g = orientation->value();
        ajouter_obstacle(
            {std::fmod(g + 333.4, 360.0), 11.18, std::fmod(g + 26.6, 360.0), 11.18, 3.0});
        actualiser_croquis();
    });
    connect(bouton_supprimer, &QPushButton::clicked, this, [this] {
        const int ligne = obstacles->currentRow();
        if (ligne >= 0) {
            obstacles->removeRow(ligne);
            murs.erase(murs.begin() + ligne);
        }
        bouton_ajouter->setEnabled(obstacles->rowCount() < obstacles_max);
        refus->hide();
        actualiser_croquis();
    });
    connect(saisie, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this] { montrer_saisie(); });
    // A cell typed in gives its row's wall, read in the way the walls are typed.
    connect(obstacles, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *item) {
        const int ligne = item->row();
        if (ligne < 0 || ligne >= int(murs.size()))
            return;
        double v[Colonnes];
        for (int colonne = 0; colonne < Colonnes; ++colonne)
            v[colonne] = cellule(*obstacles, ligne, colonne);
        murs[std::size_t(ligne)] =
            en_fronts()
                ? obstacle_depuis_front({v[Distance_Front], v[Gisement_Front], v[Gauche_Front],
                                         v[Droite_Front], v[Hauteur]})
                : Obstacle{v[Gisement1], v[Distance1], v[Gisement2], v[Distance2], v[Hauteur]};
        refus->hide();
        actualiser_croquis();
    });
    connect(obstacles, &QTableWidget::currentCellChanged, this, [this] { actualiser_croquis(); });
    for (QDoubleSpinBox *b : findChildren<QDoubleSpinBox *>())
        connect(b, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
                [this] { actualiser_croquis(); });
    for (QGroupBox *g : findChildren<QGroupBox *>())
        connect(g, &QGroupBox::toggled, this, [this] { actualiser_croquis(); });
    for (QCheckBox *b : findChildren<QCheckBox *>())
        connect(b, &QCheckBox::toggled, this, [this] { actualiser_croquis(); });
    // The rule and the reference point move the point in the sketches.
    for (QComboBox *b : findChildren<QComboBox *>())
        connect(b, QOverload<int>::of(&QComboBox::activated), this,
                [this] { actualiser_croquis(); });
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
    // dialog stays open with every value as typed. So is an end typed on the point as a front.
    const std::vector<Obstacle> liste = valeur().obstacles;
    for (std::size_t i = 0; i < liste.size(); ++i) {
        const bool sur_le_point = mur_sur_le_point(liste[i]);
        if (sur_le_point || !(std::min(liste[i].distance1, liste[i].distance2) >= longueur_min)) {
            refus->setText(tr("Obstacle %1 : %2.")
                               .arg(i + 1)
                               .arg(sur_le_point
                                        ? QString::fromUtf8(raison_mur_sur_le_point)
                                        : tr("une extrémité du mur est à moins de 1 cm du point")));
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

bool Dialogue_Fenetre::en_fronts() const
{
    return saisie->currentIndex() == 1;
}

void Dialogue_Fenetre::montrer_saisie()
{
    const bool front = en_fronts();
    delegue->front = front;
    QStringList textes;
    for (int colonne = 0; colonne < Colonnes; ++colonne)
        textes << tr((front ? titres_fronts : titres_deux_bouts)[colonne]);
    obstacles->setHorizontalHeaderLabels(textes);
    note_saisie->setText(
        front ? tr("Distance et gisement de la perpendiculaire menée du point au mur ;\n"
                   "longueurs à gauche et à droite de son pied, vu du point regardant\n"
                   "le mur (négative : de l'autre côté du pied) ; hauteur au-dessus du point.")
              : tr("Gisement et distance de chaque extrémité du mur depuis le point\n"
                   "de la fenêtre ; hauteur au-dessus du point."));
    for (int ligne = 0; ligne < obstacles->rowCount(); ++ligne)
        ecrire_ligne(ligne);
}

void Dialogue_Fenetre::ecrire_ligne(int ligne)
{
    const Obstacle &o = murs[std::size_t(ligne)];
    const Front_Batiment f = front_depuis_obstacle(o);
    const double deux_bouts[Colonnes] = {o.gisement1, o.distance1, o.gisement2, o.distance2,
                                         o.hauteur};
    const double front[Colonnes] = {f.distance, f.gisement, f.gauche, f.droite, f.hauteur};
    // The stored wall stays as it is: only the cells change.
    const QSignalBlocker bloque(obstacles);
    for (int colonne = 0; colonne < Colonnes; ++colonne) {
        QTableWidgetItem *item = obstacles->item(ligne, colonne);
        if (!item) {
            auto nouvel = std::make_unique<QTableWidgetItem>();
            nouvel->setTextAlignment(Qt::AlignCenter);
            item = nouvel.get();
            obstacles->setItem(ligne, colonne, nouvel.release()); // the table owns it
        }
        item->setData(Qt::EditRole, en_fronts() ? front[colonne] : deux_bouts[colonne]);
    }
}

void Dialogue_Fenetre::ajouter_obstacle(const Obstacle &obstacle)
{
    if (obstacles->rowCount() >= obstacles_max)
        return;
    const int ligne = obstacles->rowCount();
    murs.push_back(obstacle);
    obstacles->insertRow(ligne);
    ecrire_ligne(ligne);
    bouton_ajouter->setEnabled(obstacles->rowCount() < obstacles_max);
}

void Dialogue_Fenetre::actualiser_croquis()
{
    const Ombrage ombrage = valeur();
    plan->montrer(ombrage, obstacles->currentRow());
    coupe->montrer(ombrage, obstacles->currentRow());
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
    const auto fin = [&lu](const QDoubleSpinBox *b, const QCheckBox *toute, double avant) {
        return toute->isChecked() ? std::numeric_limits<double>::infinity() : lu(b, avant);
    };
    const Facade &d = depart;
    f.orientation = lu(orientation, d.orientation);
    f.casquette = {groupe_casquette->isChecked(), lu(casquette_profondeur, d.casquette.profondeur),
                   lu(casquette_hauteur, d.casquette.hauteur),
                   fin(casquette_gauche, casquette_gauche_toute, d.casquette.gauche),
                   fin(casquette_droite, casquette_droite_toute, d.casquette.droite)};
    f.joue_gauche = {groupe_joue_gauche->isChecked(),
                     lu(joue_gauche_profondeur, d.joue_gauche.profondeur),
                     lu(joue_gauche_distance, d.joue_gauche.distance)};
    f.joue_droite = {groupe_joue_droite->isChecked(),
                     lu(joue_droite_profondeur, d.joue_droite.profondeur),
                     lu(joue_droite_distance, d.joue_droite.distance)};
    ombrage.obstacles_actifs = groupe_obstacles->isChecked();
    ombrage.obstacles = murs;
    groupe_exposition->completer(ombrage);
    return ombrage;
}
