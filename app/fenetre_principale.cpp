// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "app/fenetre_principale.h"
#include "app/saisie_regroupee.h"

#include "app/dossiers.h"
#include "diagram/scene.h"
#include "masks/delegate.h"
#include "masks/effaceur_cellules.h"
#include "masks/points_masque.h"
#include "trace/regles.h"
#include "ui_fenetre_principale.h"
#include "update/mise_a_jour.h"

#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QIcon>
#include <QKeySequence>
#include <QPixmap>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>

Fenetre_Principale::Fenetre_Principale(QWidget *parent, const QDate &aujourdhui)
    : QMainWindow(parent), ui(std::make_unique<Ui::Fenetre_Principale>()),
      historique([this](const Site &site) {
          appliquer_site(site);
          return site_courant();
      })
{
    // The slots connected by name already answer the signals that the later steps cause, so
    // the order below matters.
    ui->setupUi(this);
    saisie_regroupee = new Saisie_Regroupee([this] { course_Soleil(); }, this);
    saisie_regroupee->surveiller(ui->slider_latitude);
    saisie_regroupee->surveiller(ui->slider_date);
    saisie_regroupee->surveiller(ui->latitude);
    // The right-hand panel scrolls when the window is smaller than it; it shows the window's
    // own background (the scroll area would fill it).
    ui->panneau_droit->setAutoFillBackground(false);
    // The view and the panel share the width through a splitter whose handle is the layout's
    // old spacing, so the view keeps its width until the handle is moved; the panel keeps its
    // width when the window is resized, and the width the user gave it is kept between runs.
    auto *separateur = new QSplitter(Qt::Horizontal, ui->centralWidget);
    separateur->setObjectName(QStringLiteral("separateur"));
    separateur->setHandleWidth(ui->centralWidget->layout()->spacing());
    separateur->setChildrenCollapsible(false);
    separateur->addWidget(ui->graphicsView);
    separateur->addWidget(ui->scrollArea_panneau);
    separateur->setStretchFactor(0, 1);
    separateur->setStretchFactor(1, 0);
    ui->centralWidget->layout()->addWidget(separateur);
    largeur_panneau_a_rendre = largeur_panneau_retenue();
    connect(separateur, &QSplitter::splitterMoved, this,
            [this] { largeur_panneau_choisie = ui->scrollArea_panneau->width(); });
    // A panel too narrow for its groups stacks their parts rather than scroll sideways.
    ui->scrollArea_panneau->viewport()->installEventFilter(this);
    // The read-out's status bar is there from the start: coming with the first read-out, it
    // would shrink the view and refit the diagram under the pointer.
    statusBar();
    // The latitude and longitude take '.' as well as ',' as the decimal separator, as the mask
    // cells do.
    for (QDoubleSpinBox *boite : {ui->latitude, ui->longitude})
        boite->installEventFilter(this);
    ui->scrollArea_panneau->regler_les_champs();
    // A site file dropped on the window is opened. The diagram takes no drop of its own: its
    // scene would accept every drag and hold it away from the window.
    setAcceptDrops(true);
    ui->graphicsView->setAcceptDrops(false);
    ui->graphicsView->viewport()->setAcceptDrops(false);
    // The headers of the two tables take the tables' own 8-point type; with the style sheet
    // installed they would otherwise keep the platform's larger default.
    for (QTableView *table : {static_cast<QTableView *>(ui->tableView_masques),
                              static_cast<QTableView *>(ui->tableau_sorties)}) {
        table->horizontalHeader()->setFont(table->font());
        table->verticalHeader()->setFont(table->font());
    }

    // The dates and years the command line and the site files take, and no others, so that
    // every site the window saves opens again. Set quietly: nothing is drawn yet.
    {
        const QSignalBlocker bloque(ui->spinBox_annee);
        ui->spinBox_annee->setRange(annee_min, annee_max);
    }
    ui->Date->setDateRange(premiere_date, derniere_date);

    id_maj_application = 8;
    version_application = QStringLiteral("2.2");

    ui->Bouton_reinitialiser->setEnabled(false);
    preparer_vue_annee();

    nb_clic_enregistrer_date = 0;

    scene = std::make_unique<Scene>();
    scene->setDiametre0(540);
    scene->setNbPointsMasqueMAX(lignes_masque_max);
    ui->graphicsView->setScene(scene.get());
    ui->graphicsView->setInteractive(true);
    ui->graphicsView->setRenderHint(QPainter::Antialiasing);
    // The scene's background paints every pixel the view exposes (the white field and the
    // disc), so the viewport is not filled with its own background first.
    ui->graphicsView->viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    // The read-out under the pointer.
    ui->graphicsView->viewport()->installEventFilter(this);
    remplir_fuseaux();

    // Mode 1: the saved dates are reset and the diagram drawn for the first time.
    activation_mode_choisir_date();

    // From here on each change of value runs its slot and rebuilds.
    ui->Date->setDate(aujourdhui);
    ui->Date->setCalendarPopup(true);
    ui->slider_date->setMaximum(ui->Date->date().daysInYear());
    ui->Date->setDate(aujourdhui);
    ui->Date->setCalendarPopup(true);

    // Cell editors of the mask table, per column, so that they outlive every model.
    delegate_hauteur = new Delegate(0, 90, this);
    delegate_azimut = new Delegate(-180, 180, this);
    ui->tableView_masques->setItemDelegateForColumn(1, delegate_hauteur);
    ui->tableView_masques->setItemDelegateForColumn(0, delegate_azimut);
    // Delete or Backspace empties the selected cells, as for any table.
    new Effaceur_cellules(ui->tableView_masques);
    configurer_tableau_masques();
    installer_photo();

    const QPixmap attention(QStringLiteral(":/ressourcesImages/attention"));
    if (!attention.isNull())
        ui->label_logoAttention->setPixmap(attention.scaled(
            ui->label_logoAttention->size(), Qt::KeepAspectRatio, Qt::FastTransformation));
    const QPixmap logo(QStringLiteral(":/ressourcesImages/logo_application"));
    if (!logo.isNull())
        setWindowIcon(QIcon(logo));

    ui->spinBox_annee->setValue(aujourdhui.year());

    // "Annuler" and "Rétablir" name the step they would undo or redo; the history starts from
    // the window as it now stands.
    ui->actionRetablir->setShortcuts(
        {QKeySequence(Qt::CTRL + Qt::SHIFT + Qt::Key_Z), QKeySequence(Qt::CTRL + Qt::Key_Y)});
    QUndoStack &pile = historique.pile();
    connect(&pile, &QUndoStack::canUndoChanged, ui->actionAnnuler, &QAction::setEnabled);
    connect(&pile, &QUndoStack::canRedoChanged, ui->actionRetablir, &QAction::setEnabled);
    connect(&pile, &QUndoStack::undoTextChanged, this, [this](const QString &nom) {
        ui->actionAnnuler->setText(nom.isEmpty() ? tr("Annuler") : tr("Annuler %1").arg(nom));
    });
    connect(&pile, &QUndoStack::redoTextChanged, this, [this](const QString &nom) {
        ui->actionRetablir->setText(nom.isEmpty() ? tr("Rétablir") : tr("Rétablir %1").arg(nom));
    });
    connect(&pile, &QUndoStack::cleanChanged, this, &Fenetre_Principale::actualiser_modification);
    historique.commencer(site_courant());

    // The update server's settings; each check copies them into a connection of its own.
    base_maj = configurer_connexion_maj();
    QTimer::singleShot(delai_verification_lancement_ms, this,
                       &Fenetre_Principale::rechercher_mise_a_jour_lancement_application);
}

void Fenetre_Principale::agencer_panneau()
{
    const int largeur = ui->scrollArea_panneau->viewport()->width();
    if (!panneau_empile) {
        const int besoin = ui->panneau_droit->minimumSizeHint().width();
        if (besoin <= largeur)
            return;
        largeur_panneau_large = besoin;
    } else if (largeur < largeur_panneau_large) {
        return;
    }
    panneau_empile = !panneau_empile;
    // "Lieu et heure": two pairs of label and box a row, or one.
    QGridLayout *grille = ui->gridLayout_lieuHeure;
    const QList<QWidget *> champs = {ui->label_longitude, ui->longitude,     ui->label_fuseau,
                                     ui->combo_fuseau,    ui->label_echelle, ui->combo_echelle,
                                     ui->label_modele,    ui->combo_modele};
    for (QWidget *champ : champs)
        grille->removeWidget(champ);
    const int par_ligne = panneau_empile ? 2 : 4;
    for (int k = 0; k < champs.size(); ++k)
        grille->addWidget(champs[k], k / par_ligne, k % par_ligne);
    // The donation button keeps to the right without holding the panel at its wide width.
    const QSize marge_don(ui->horizontalSpacer_10->sizeHint());
    if (panneau_empile)
        largeur_marge_don = marge_don.width();
    ui->horizontalSpacer_10->changeSize(
        panneau_empile ? 0 : largeur_marge_don, marge_don.height(),
        panneau_empile ? QSizePolicy::Expanding : QSizePolicy::Fixed, QSizePolicy::Minimum);
    ui->horizontalLayout_10->invalidate();
    // Laid out at once, so that the panel's new height is known to its scroll bar now.
    ui->panneau_droit->layout()->activate();
}

Fenetre_Principale::~Fenetre_Principale()
{
    // The next window of the process adds the connection "ma_base" afresh.
    retirer_connexion_maj(base_maj);
}

void Fenetre_Principale::on_actionQuitter_triggered()
{
    close();
}
