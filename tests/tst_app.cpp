// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// The main window as a user meets it: its widgets, texts, shortcuts, ranges and first state,
// the compiled-in resources, the style sheet, and closing.
#include "app/demarrage.h"
#include "app/fenetre_principale.h"
#include "app/feuille_de_style.h"
#include "photo/photo.h"
#include "site/site.h"
#include "tests/outils.h"
#include "tests/repondeur.h"

#include <QtTest>

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileDialog>
#include <QGraphicsTextItem>
#include <QGraphicsView>
#include <QGroupBox>
#include <QHeaderView>
#include <QImage>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolBar>

class TestFenetre : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void widgets_data();
    void widgets();
    void textes_data();
    void textes();
    void actions_data();
    void actions();
    void menus();
    void plagesEtEtatInitial();
    void polices_data();
    void polices();
    void tableauDeSortie();
    void fenetre();
    void petitEcran_data();
    void petitEcran();
    void molette_data();
    void molette();
    void ressources_data();
    void ressources();
    void feuilleDeStyle();
    void sansFeuilleDeStyle();
    void textesDeLaBoiteAOutils();
    void integrationOpenGL_data();
    void integrationOpenGL();
    void imagesDeLaFenetre();
    void boutonsEntiers();
    void fermeture_data();
    void fermeture();
    void lieuEtHeure();
    void dialogues_data();
    void dialogues();

private:
    // The window's remembered settings (the panel's width) are the test's own, not the user's.
    QTemporaryDir reglages_;
};

void TestFenetre::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    QVERIFY(reglages_.isValid());
    reglages_dans(reglages_.path());
}

void TestFenetre::cleanup()
{
    // A test never leaves a window or a box open behind it.
    const auto fenetres = QApplication::topLevelWidgets();
    for (QWidget *w : fenetres)
        QVERIFY2(!w->isVisible(), qPrintable(w->objectName() + " was left open"));
}

void TestFenetre::widgets_data()
{
    QTest::addColumn<QString>("nom");
    QTest::addColumn<QString>("classe");
    QTest::addColumn<QString>("parentGroupe");

    const QString entree = QStringLiteral("groupBox_parametresEntree");
    const QString masques = QStringLiteral("groupBox_Masques");
    const QString sorties = QStringLiteral("groupBox_valeurSortie");
    const QString lieu = QStringLiteral("groupBox_lieuHeure");
    const struct {
        const char *nom, *classe;
        QString groupe;
    } lignes[] = {
        {"graphicsView", "QGraphicsView", {}},
        {"bouton_donation", "QPushButton", {}},
        {"groupBox_parametresEntree", "QGroupBox", {}},
        {"label_date", "QLabel", entree},
        {"Date", "QDateEdit", entree},
        {"Bouton_Enregistrer_Date", "QPushButton", entree},
        {"slider_date", "QSlider", entree},
        {"label_numero_jour", "QLabel", entree},
        {"spinBox_numero_jour", "QSpinBox", entree},
        {"label_annee", "QLabel", entree},
        {"spinBox_annee", "QSpinBox", entree},
        {"label_latitude", "QLabel", entree},
        {"latitude", "QDoubleSpinBox", entree},
        {"slider_latitude", "QSlider", entree},
        {"check_limite", "QCheckBox", entree},
        {"check_heures", "QCheckBox", entree},
        {"groupBox_Masques", "QGroupBox", {}},
        {"label_logoAttention", "QLabel", masques},
        {"label", "QLabel", masques},
        {"tableView_masques", "QTableView", masques},
        {"spinBox_nbLignes_tab", "QSpinBox", masques},
        {"Bouton_ajoutLignes", "QPushButton", masques},
        {"bouton_effacer_tableau", "QPushButton", masques},
        {"bouton_masques", "QPushButton", masques},
        {"check_conserver_masques", "QCheckBox", masques},
        {"bouton_importer_horizon", "QPushButton", masques},
        {"groupBox_lieuHeure", "QGroupBox", {}},
        {"longitude", "QDoubleSpinBox", lieu},
        {"combo_fuseau", "QComboBox", lieu},
        {"combo_echelle", "QComboBox", lieu},
        {"combo_modele", "QComboBox", lieu},
        {"groupBox_valeurSortie", "QGroupBox", {}},
        {"tableau_sorties", "QTableWidget", sorties},
        {"Bouton_reinitialiser", "QPushButton", sorties},
    };
    for (const auto &l : lignes)
        QTest::newRow(l.nom) << QString::fromLatin1(l.nom) << QString::fromLatin1(l.classe)
                             << l.groupe;
}

void TestFenetre::widgets()
{
    QFETCH(QString, nom);
    QFETCH(QString, classe);
    QFETCH(QString, parentGroupe);
    Fenetre_Principale fenetre;
    QWidget *w = fenetre.findChild<QWidget *>(nom);
    QVERIFY2(w, qPrintable(nom + " is missing"));
    QCOMPARE(QString::fromLatin1(w->metaObject()->className()), classe);
    if (!parentGroupe.isEmpty()) {
        auto *groupe = fenetre.findChild<QGroupBox *>(parentGroupe);
        QVERIFY(groupe);
        QVERIFY2(groupe->isAncestorOf(w), qPrintable(nom + " is not inside " + parentGroupe));
    }
}

void TestFenetre::textes_data()
{
    QTest::addColumn<QString>("nom");
    QTest::addColumn<QByteArray>("propriete");
    QTest::addColumn<QString>("texte");

    const struct {
        const char *nom, *propriete, *texte;
    } lignes[] = {
        {"bouton_donation", "text", "Faire un don"},
        {"groupBox_parametresEntree", "title", "Paramètres d'entrée"},
        {"label_date", "text", "Date :"},
        {"Bouton_Enregistrer_Date", "text", "Enregistrer la date"},
        {"label_numero_jour", "text", "Numéro du jour dans le mois :"},
        {"label_annee", "text", "Année:"},
        {"label_latitude", "text", "Latitude :"},
        {"latitude", "suffix", "°"},
        {"latitude", "toolTip", "Positive pour l'hémisphère nord, négative pour l'hémisphère sud"},
        {"check_limite", "text", "Délimiter la course"},
        {"check_heures", "text", "Afficher les heures"},
        {"groupBox_Masques", "title", "Masques"},
        {"Bouton_ajoutLignes", "text", "Ajouter des lignes"},
        {"bouton_effacer_tableau", "text", "Effacer le tableau"},
        {"bouton_masques", "text", "Tracer les Masques"},
        {"bouton_importer_horizon", "text", "Importer un horizon..."},
        {"check_conserver_masques", "text", "Conserver les masques"},
        {"groupBox_valeurSortie", "title", "Valeurs de sortie"},
        {"Bouton_reinitialiser", "text", "Réinitialisation"},
    };
    for (const auto &l : lignes)
        QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(l.nom, l.propriete)))
            << QString::fromLatin1(l.nom) << QByteArray(l.propriete) << QString::fromUtf8(l.texte);
}

void TestFenetre::textes()
{
    QFETCH(QString, nom);
    QFETCH(QByteArray, propriete);
    QFETCH(QString, texte);
    Fenetre_Principale fenetre;
    QWidget *w = fenetre.findChild<QWidget *>(nom);
    QVERIFY(w);
    QCOMPARE(w->property(propriete.constData()).toString(), texte);
}

void TestFenetre::actions_data()
{
    QTest::addColumn<QString>("nom");
    QTest::addColumn<QString>("texte");
    QTest::addColumn<QKeySequence>("raccourci");
    QTest::addColumn<bool>("cochable");
    QTest::addColumn<bool>("cochee");

    QTest::newRow("export") << "actionExporter_le_diagramme"
                            << "Exporter le diagramme..." << QKeySequence(Qt::CTRL + Qt::Key_E)
                            << false << false;
    QTest::newRow("import a horizon")
        << "actionImporter_un_horizon"
        << "Importer un horizon..." << QKeySequence() << false << false;
    QTest::newRow("export the horizon")
        << "actionExporter_l_horizon"
        << "Exporter l'horizon..." << QKeySequence() << false << false;
    QTest::newRow("print") << "actionImprimer"
                           << "Imprimer..." << QKeySequence(Qt::CTRL + Qt::Key_P) << false << false;
    QTest::newRow("open a site") << "actionOuvrir_un_site"
                                 << "Ouvrir un site..."
                                 << QKeySequence(Qt::CTRL + Qt::SHIFT + Qt::Key_O) << false
                                 << false;
    QTest::newRow("save the site")
        << "actionEnregistrer_le_site"
        << "Enregistrer le site" << QKeySequence(Qt::CTRL + Qt::Key_S) << false << false;
    QTest::newRow("save the site as")
        << "actionEnregistrer_le_site_sous"
        << "Enregistrer le site sous..." << QKeySequence(Qt::CTRL + Qt::SHIFT + Qt::Key_S) << false
        << false;
    QTest::newRow("quit") << "actionQuitter"
                          << "Quitter..." << QKeySequence() << false << false;
    QTest::newRow("undo, nothing to undo yet")
        << "actionAnnuler"
        << "Annuler" << QKeySequence(Qt::CTRL + Qt::Key_Z) << false << false;
    QTest::newRow("redo, nothing to redo yet")
        << "actionRetablir"
        << "Rétablir" << QKeySequence(Qt::CTRL + Qt::SHIFT + Qt::Key_Z) << false << false;
    QTest::newRow("display options")
        << "actionOptions_graphiques"
        << "Options graphiques..." << QKeySequence(Qt::CTRL + Qt::Key_O) << false << false;
    QTest::newRow("mode 1") << "actionChoisir_ses_dates"
                            << "Mode 1 : Choisir une date spécifique" << QKeySequence(Qt::Key_F1)
                            << true << true;
    QTest::newRow("mode 2") << "actionChoisir_le_jour_pour_les_mois"
                            << "Mode 2 : Choisir un jour pour chaque mois"
                            << QKeySequence(Qt::Key_F2) << true << false;
    QTest::newRow("about") << "actionA_propos_de"
                           << "A propos de..." << QKeySequence() << false << false;
    QTest::newRow("update") << "actionRechercher_une_mise_jour"
                            << "Rechercher une mise à jour..." << QKeySequence() << false << false;
}

void TestFenetre::actions()
{
    QFETCH(QString, nom);
    QFETCH(QString, texte);
    QFETCH(QKeySequence, raccourci);
    QFETCH(bool, cochable);
    QFETCH(bool, cochee);
    Fenetre_Principale fenetre;
    auto *action = fenetre.findChild<QAction *>(nom);
    QVERIFY(action);
    QCOMPARE(action->parent(), &fenetre);
    QCOMPARE(action->text(), texte);
    QCOMPARE(action->shortcut(), raccourci);
    QCOMPARE(action->isCheckable(), cochable);
    QCOMPARE(action->isChecked(), cochee);
    if (cochable)
        QCOMPARE(action->toolTip(), texte);
}

void TestFenetre::menus()
{
    Fenetre_Principale fenetre;
    const auto menus = fenetre.menuBar()->actions();
    QCOMPARE(menus.size(), 4);
    QCOMPARE(menus.at(0)->menu()->objectName(), QStringLiteral("menuFichier"));
    QCOMPARE(menus.at(0)->text(), QStringLiteral("Fichier"));
    QCOMPARE(menus.at(1)->menu()->objectName(), QStringLiteral("menuEdition"));
    QCOMPARE(menus.at(1)->text(), QStringLiteral("Édition"));
    QCOMPARE(menus.at(2)->menu()->objectName(), QStringLiteral("menuOptions"));
    QCOMPARE(menus.at(2)->text(), QStringLiteral("Options"));
    QCOMPARE(menus.at(3)->menu()->objectName(), QStringLiteral("menuAide"));
    QCOMPARE(menus.at(3)->text(), QStringLiteral("Aide"));

    auto noms = [](QMenu *menu) {
        QStringList n;
        for (QAction *a : menu->actions())
            n << (a->isSeparator() ? QStringLiteral("|")
                  : a->menu()      ? a->menu()->objectName()
                                   : a->objectName());
        return n;
    };
    QCOMPARE(noms(menus.at(0)->menu()),
             QStringList({"actionOuvrir_un_site", "actionEnregistrer_le_site",
                          "actionEnregistrer_le_site_sous", "actionProprietes_du_projet", "|",
                          "actionExporter_le_diagramme", "actionImprimer", "|",
                          "actionImporter_un_horizon", "actionExporter_l_horizon", "|",
                          "actionQuitter"}));
    QCOMPARE(noms(menus.at(1)->menu()), QStringList({"actionAnnuler", "actionRetablir"}));
    QCOMPARE(enfant<QAction>(fenetre, "actionRetablir")->shortcuts(),
             QList<QKeySequence>({QKeySequence(Qt::CTRL + Qt::SHIFT + Qt::Key_Z),
                                  QKeySequence(Qt::CTRL + Qt::Key_Y)}));
    QCOMPARE(noms(menus.at(2)->menu()),
             QStringList({"menuMode", "actionOptions_graphiques", "actionFenetre_et_obstacles",
                          "actionSoleil_annee", "actionPhoto_du_ciel"}));
    QCOMPARE(noms(menus.at(3)->menu()),
             QStringList({"actionA_propos_de", "actionRechercher_une_mise_jour"}));
    auto *mode = fenetre.findChild<QMenu *>(QStringLiteral("menuMode"));
    QCOMPARE(mode->title(), QStringLiteral("Mode d'utilisation"));
    QCOMPARE(noms(mode),
             QStringList({"actionChoisir_ses_dates", "actionChoisir_le_jour_pour_les_mois"}));
    // The two modes are switched by their slots, not by an exclusive group.
    QVERIFY(
        !fenetre.findChild<QAction *>(QStringLiteral("actionChoisir_ses_dates"))->actionGroup());
}

void TestFenetre::plagesEtEtatInitial()
{
    Fenetre_Principale fenetre;

    auto *latitude = enfant<QDoubleSpinBox>(fenetre, "latitude");
    QCOMPARE(latitude->minimum(), -90.0);
    QCOMPARE(latitude->maximum(), 90.0);
    QCOMPARE(latitude->decimals(), 2);
    QCOMPARE(latitude->singleStep(), 1.0);
    QCOMPARE(latitude->value(), 0.0);
    QCOMPARE(latitude->buttonSymbols(), QAbstractSpinBox::NoButtons);
    QCOMPARE(latitude->alignment(), Qt::AlignRight | Qt::AlignVCenter);

    auto *sliderLatitude = enfant<QSlider>(fenetre, "slider_latitude");
    QCOMPARE(sliderLatitude->minimum(), -90);
    QCOMPARE(sliderLatitude->maximum(), 90);
    QCOMPARE(sliderLatitude->value(), 0);
    QCOMPARE(sliderLatitude->orientation(), Qt::Horizontal);
    QCOMPARE(sliderLatitude->maximumHeight(), 15);

    auto *sliderDate = enfant<QSlider>(fenetre, "slider_date");
    QCOMPARE(sliderDate->minimum(), 1);
    QCOMPARE(sliderDate->pageStep(), 1);
    QCOMPARE(sliderDate->maximumHeight(), 15);
    // The maximum follows the length of the date edit's year (365, or 366 in a leap year).
    auto *date = enfant<QDateEdit>(fenetre, "Date");
    QCOMPARE(sliderDate->maximum(), date->date().daysInYear());
    QVERIFY(date->calendarPopup());
    QVERIFY(!date->wrapping());
    QCOMPARE(date->currentSection(), QDateTimeEdit::DaySection);

    auto *jour = enfant<QSpinBox>(fenetre, "spinBox_numero_jour");
    QCOMPARE(jour->minimum(), 1);
    QCOMPARE(jour->maximum(), 31);
    QCOMPARE(jour->value(), 1);
    QCOMPARE(jour->buttonSymbols(), QAbstractSpinBox::NoButtons);
    auto *annee = enfant<QSpinBox>(fenetre, "spinBox_annee");
    // The years and dates a site file and the command line take: AAAA, and the Gregorian
    // calendar as Britain took it up.
    QCOMPARE(annee->minimum(), 1);
    QCOMPARE(annee->maximum(), 9999);
    QCOMPARE(date->minimumDate(), QDate(1752, 9, 14));
    QCOMPARE(date->maximumDate(), QDate(9999, 12, 31));
    QCOMPARE(annee->value(), date->date().year());
    auto *lignes = enfant<QSpinBox>(fenetre, "spinBox_nbLignes_tab");
    QCOMPARE(lignes->minimum(), 0);
    QCOMPARE(lignes->maximum(), 500);
    QCOMPARE(lignes->value(), 0);
    QCOMPARE(lignes->maximumWidth(), 42);

    QVERIFY(!enfant<QCheckBox>(fenetre, "check_limite")->isChecked());
    QVERIFY(enfant<QCheckBox>(fenetre, "check_limite")->isEnabled());
    QVERIFY(!enfant<QCheckBox>(fenetre, "check_heures")->isChecked());
    QVERIFY(!enfant<QCheckBox>(fenetre, "check_heures")->isEnabled());
    QVERIFY(!enfant<QCheckBox>(fenetre, "check_conserver_masques")->isChecked());
    QVERIFY(!enfant<QCheckBox>(fenetre, "check_conserver_masques")->isEnabled());
    QVERIFY(!enfant<QPushButton>(fenetre, "Bouton_reinitialiser")->isEnabled());

    auto *vue = enfant<QGraphicsView>(fenetre, "graphicsView");
    QCOMPARE(vue->minimumWidth(), 400);
    QVERIFY(vue->hasMouseTracking());
    QCOMPARE(vue->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(vue->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QVERIFY(vue->isInteractive());
    QCOMPARE(vue->dragMode(), QGraphicsView::NoDrag);
    QVERIFY(vue->renderHints().testFlag(QPainter::TextAntialiasing));

    auto *masques = enfant<QTableView>(fenetre, "tableView_masques");
    QCOMPARE(masques->frameShape(), QFrame::WinPanel);
    QCOMPARE(masques->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(masques->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(masques->autoScrollMargin(), 0);
    QCOMPARE(masques->verticalHeader()->defaultSectionSize(), 25);
    QVERIFY(masques->inputMethodHints().testFlag(Qt::ImhFormattedNumbersOnly));

    auto *don = enfant<QPushButton>(fenetre, "bouton_donation");
    QCOMPARE(don->minimumSize(), QSize(90, 21));
    QCOMPARE(don->maximumSize(), QSize(90, 21));
    QVERIFY(don->font().bold());
    QCOMPARE(enfant<QGroupBox>(fenetre, "groupBox_parametresEntree")->maximumSize(),
             QSize(442, 195));
    QVERIFY(!enfant<QGroupBox>(fenetre, "groupBox_parametresEntree")->isCheckable());
    QCOMPARE(enfant<QGroupBox>(fenetre, "groupBox_Masques")->maximumWidth(), 442);
    QCOMPARE(enfant<QGroupBox>(fenetre, "groupBox_valeurSortie")->maximumSize(), QSize(442, 305));
    QCOMPARE(enfant<QGroupBox>(fenetre, "groupBox_valeurSortie")->minimumHeight(), 200);
    QCOMPARE(enfant<QLabel>(fenetre, "label_logoAttention")->minimumSize(), QSize(40, 40));
    QCOMPARE(enfant<QLabel>(fenetre, "label_logoAttention")->maximumSize(), QSize(40, 40));
}

void TestFenetre::polices_data()
{
    QTest::addColumn<QString>("nom");
    QTest::addColumn<int>("taille");
    QTest::addColumn<bool>("gras");

    // Group boxes: 9-point bold titles; the widgets inside: 8-point, normal weight.
    QTest::newRow("inputs group") << "groupBox_parametresEntree" << 9 << true;
    QTest::newRow("masks group") << "groupBox_Masques" << 9 << true;
    QTest::newRow("output group") << "groupBox_valeurSortie" << 9 << true;
    QTest::newRow("date label") << "label_date" << 8 << false;
    QTest::newRow("latitude field") << "latitude" << 8 << false;
    QTest::newRow("save button") << "Bouton_Enregistrer_Date" << 8 << false;
    QTest::newRow("limit check box") << "check_limite" << 8 << false;
    QTest::newRow("mask table") << "tableView_masques" << 8 << false;
    QTest::newRow("output table") << "tableau_sorties" << 8 << false;
    QTest::newRow("reset button") << "Bouton_reinitialiser" << 8 << false;
}

void TestFenetre::polices()
{
    QFETCH(QString, nom);
    QFETCH(int, taille);
    QFETCH(bool, gras);
    Fenetre_Principale fenetre;
    QWidget *w = fenetre.findChild<QWidget *>(nom);
    QVERIFY(w);
    QCOMPARE(w->font().pointSize(), taille);
    QCOMPARE(w->font().bold(), gras);
}

void TestFenetre::tableauDeSortie()
{
    Fenetre_Principale fenetre;
    auto *tableau = enfant<QTableWidget>(fenetre, "tableau_sorties");
    QCOMPARE(tableau->columnCount(), 4);
    QCOMPARE(tableau->rowCount(), 1);
    const QStringList titres = {"Date", "Lever", "Coucher", "Durée du jour"};
    for (int c = 0; c < 4; ++c) {
        QTableWidgetItem *entete = tableau->horizontalHeaderItem(c);
        QVERIFY(entete);
        QCOMPARE(entete->text(), titres.at(c));
        QVERIFY(entete->font().bold());
        QCOMPARE(entete->textAlignment(), int(Qt::AlignCenter));
    }
    QCOMPARE(tableau->editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(tableau->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(tableau->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(tableau->horizontalHeader()->defaultSectionSize(), 94);
    QCOMPARE(tableau->verticalHeader()->defaultSectionSize(), 21);
}

void TestFenetre::fenetre()
{
    Fenetre_Principale fenetre;
    QCOMPARE(fenetre.objectName(), QStringLiteral("Fenetre_Principale"));
    QCOMPARE(fenetre.windowTitle(), QStringLiteral("Orvane"));
    QCOMPARE(fenetre.size(), QSize(1165, 690));
    QCOMPARE(fenetre.maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    QVERIFY(fenetre.centralWidget());
    QCOMPARE(fenetre.centralWidget()->objectName(), QStringLiteral("centralWidget"));
    QVERIFY(!fenetre.findChild<QToolBar *>());
    QVERIFY(fenetre.findChild<QStatusBar *>());
}

void TestFenetre::petitEcran_data()
{
    // The window on a small screen, less its frame and title bar.
    QTest::addColumn<QSize>("taille");
    QTest::newRow("800 x 600") << QSize(800, 540);
    // 1600 x 900 at twice the scale: 800 x 450 device-independent pixels.
    QTest::newRow("1600 x 900 at twice the scale") << QSize(800, 420);
}

void TestFenetre::petitEcran()
{
    // The window fits, the diagram keeps at least 400 px, the panel needs no horizontal scroll
    // bar, its buttons show their whole text, and every control of the panel can be scrolled
    // into sight.
    QFETCH(QSize, taille);
    Fenetre_Principale fenetre;
    fenetre.resize(taille);
    fenetre.show();
    QVERIFY(QTest::qWaitForWindowExposed(&fenetre));
    QCOMPARE(fenetre.size(), taille);
    QVERIFY(enfant<QGraphicsView>(fenetre, "graphicsView")->width() >= 400);
    auto *zone = enfant<QScrollArea>(fenetre, "scrollArea_panneau");
    QVERIFY(!zone->horizontalScrollBar()->isVisible());
    int controles = 0;
    for (QWidget *w : zone->widget()->findChildren<QWidget *>()) {
        const bool controle = qobject_cast<QAbstractButton *>(w) ||
                              qobject_cast<QAbstractSpinBox *>(w) ||
                              qobject_cast<QAbstractSlider *>(w) || qobject_cast<QTableView *>(w) ||
                              qobject_cast<QComboBox *>(w);
        // The form's own controls: named, and not the parts of the toolkit's widgets.
        if (!controle || !w->isVisibleTo(zone) || w->objectName().isEmpty() ||
            w->objectName().startsWith(QLatin1String("qt_")))
            continue;
        ++controles;
        if (auto *bouton = qobject_cast<QPushButton *>(w))
            QVERIFY2(bouton->width() >= bouton->sizeHint().width(), qPrintable(bouton->text()));
        zone->ensureWidgetVisible(w, 0, 0);
        // Seen whole, or as much of it as the viewport can hold.
        const QRect vu(w->mapTo(zone->viewport(), QPoint()), w->size());
        const QSize visible = vu.intersected(zone->viewport()->rect()).size();
        QVERIFY2(visible == w->size().boundedTo(zone->viewport()->size()),
                 qPrintable(w->objectName() + " cannot be scrolled into sight"));
    }
    // The seventeen controls of Mode 1, horizon import included, the four of "Lieu et heure",
    // "Fenêtre et obstacles...", how the mask's rows are joined, the year's view and "Photo du
    // ciel...".
    QCOMPARE(controles, 17 + 4 + 1 + 1 + 1 + 1);
    fenetre.close();
}

void TestFenetre::molette_data()
{
    QTest::addColumn<QString>("nom");
    QTest::addColumn<bool>("focus");

    QTest::newRow("latitude box without the focus: the panel scrolls") << "latitude" << false;
    QTest::newRow("zone list without the focus: the panel scrolls") << "combo_fuseau" << false;
    QTest::newRow("latitude slider without the focus: the panel scrolls")
        << "slider_latitude" << false;
    QTest::newRow("latitude box with the focus: its value changes") << "latitude" << true;
    QTest::newRow("mask table without the focus: the panel scrolls")
        << "tableView_masques" << false;
    QTest::newRow("mask table with the focus: it scrolls") << "tableView_masques" << true;
}

void TestFenetre::molette()
{
    QFETCH(QString, nom);
    QFETCH(bool, focus);
    // Low enough for the panel to scroll.
    Fenetre_Principale fenetre;
    fenetre.resize(800, 540);
    fenetre.show();
    QVERIFY(QTest::qWaitForWindowExposed(&fenetre));
    auto *defilement = enfant<QScrollArea>(fenetre, "scrollArea_panneau")->verticalScrollBar();
    QVERIFY(defilement->maximum() > 0);
    QWidget *w = fenetre.findChild<QWidget *>(nom);
    QVERIFY(w);
    if (focus) {
        QApplication::setActiveWindow(&fenetre);
        w->setFocus();
        QVERIFY(w->hasFocus());
    }
    const char *propriete = qobject_cast<QComboBox *>(w) ? "currentIndex" : "value";
    // A table's value is how far it is scrolled, once it has more rows than it shows; the wheel
    // reaches its viewport.
    auto *table = qobject_cast<QTableView *>(w);
    QObject *lu = table ? static_cast<QObject *>(table->verticalScrollBar()) : w;
    if (table) {
        table->model()->insertRows(0, 30);
        QApplication::processEvents();
        QVERIFY(table->verticalScrollBar()->maximum() > 0);
        w = table->viewport();
    }
    const auto valeur = [lu, propriete] { return lu->property(propriete); };
    const QVariant avant = valeur();
    const QPoint centre = w->rect().center();
    QWheelEvent roue(centre, w->mapToGlobal(centre), QPoint(), QPoint(0, -120), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &roue);
    QCOMPARE(valeur() != avant, focus);
    QCOMPARE(defilement->value() > 0, !focus);
    // Hidden, not closed: closing a changed study asks about its changes.
    fenetre.hide();
}

void TestFenetre::ressources_data()
{
    QTest::addColumn<QString>("chemin");
    QTest::addColumn<QSize>("taille");

    QTest::newRow("attention") << ":/ressourcesImages/attention" << QSize(128, 128);
    QTest::newRow("logo") << ":/ressourcesImages/logo_application" << QSize(120, 126);
    QTest::newRow("check") << ":/ressourcesImages/check" << QSize(32, 32);
    QTest::newRow("expand arrow") << ":/ressourcesImages/expand-arrow" << QSize(50, 50);
}

void TestFenetre::ressources()
{
    // This program links only the program library: the images must be registered anyway.
    QFETCH(QString, chemin);
    QFETCH(QSize, taille);
    QImageReader lecteur(chemin);
    QCOMPARE(lecteur.format(), QByteArray("png"));
    const QImage image = lecteur.read();
    QVERIFY2(!image.isNull(), qPrintable(chemin + ": " + lecteur.errorString()));
    QCOMPARE(image.size(), taille);
    QVERIFY(image.hasAlphaChannel());
}

void TestFenetre::feuilleDeStyle()
{
    QFile feuille(feuille_de_style_ressource);
    QVERIFY(feuille.open(QIODevice::ReadOnly));
    const QByteArray octets = feuille.readAll();
    QCOMPARE(octets.size(), 5253);
    QVERIFY(octets.contains("\r\n"));
    QVERIFY(!octets.contains('\0'));
    for (char c : octets)
        QVERIFY2(static_cast<unsigned char>(c) < 128, "the style sheet is plain ASCII");
    // 35 rules: as many opening braces outside comments.
    QString texte = QString::fromLatin1(octets);
    texte.remove(QRegularExpression(QStringLiteral("/\\*.*?\\*/"),
                                    QRegularExpression::DotMatchesEverythingOption));
    QCOMPARE(texte.count(QLatin1Char('{')), 35);
    QVERIFY(texte.contains(QStringLiteral("QPushButton#bouton_donation")));

    auto *application = qobject_cast<QApplication *>(QCoreApplication::instance());
    QVERIFY(installer_feuille_de_style(*application, feuille_de_style_ressource));
    QCOMPARE(application->styleSheet(), QString::fromLatin1(octets));

    // A sheet is read up to its first NUL byte: what follows it is not part of the sheet.
    QTemporaryFile coupee;
    QVERIFY(coupee.open());
    coupee.write(QByteArray("QDialog { background: white }\0QPushButton { color: red }", 56));
    coupee.close();
    QVERIFY(installer_feuille_de_style(*application, coupee.fileName()));
    QCOMPARE(application->styleSheet(), QStringLiteral("QDialog { background: white }"));
    application->setStyleSheet(QString());
}

void TestFenetre::sansFeuilleDeStyle()
{
    // A missing style sheet leaves the platform's style, says nothing, and the window builds.
    auto *application = qobject_cast<QApplication *>(QCoreApplication::instance());
    application->setStyleSheet(QString());
    QVERIFY(!installer_feuille_de_style(*application, QStringLiteral(":/stylesheet/absente")));
    QVERIFY(application->styleSheet().isEmpty());
    Fenetre_Principale fenetre;
    QCOMPARE(fenetre.windowTitle(), QStringLiteral("Orvane"));
}

void TestFenetre::textesDeLaBoiteAOutils()
{
    // The export's save dialog as the program builds it, once the toolkit's French texts are
    // loaded as at start-up: none of its English texts remain.
    QTranslator *traducteur = installer_traductions_boite_a_outils(*QCoreApplication::instance());
    QVERIFY2(traducteur, "the catalogue qtbase_fr could not be loaded");
    QStringList textes;
    {
        QFileDialog dialogue(nullptr, QStringLiteral("Enregistrer le diagramme"));
        dialogue.setOption(QFileDialog::DontUseNativeDialog);
        dialogue.setAcceptMode(QFileDialog::AcceptSave);
        for (const char *nom : {"lookInLabel", "fileNameLabel", "fileTypeLabel"})
            textes << enfant<QLabel>(dialogue, nom)->text();
        for (QAbstractButton *b : enfant<QDialogButtonBox>(dialogue, "buttonBox")->buttons())
            textes << b->text();
    }
    QCoreApplication::removeTranslator(traducteur);
    delete traducteur;
    textes.replaceInStrings(QStringLiteral("&"), QString());
    // The French of the toolkit's catalogue (Debian's qttranslations5-l10n).
    QCOMPARE(textes, QStringList({"Voir dans :", "Nom de fichier :", "Fichiers de type :",
                                  "Enregistrer", "Annuler"}));
}

void TestFenetre::integrationOpenGL_data()
{
    QTest::addColumn<QByteArray>("donnee");
    QTest::addColumn<QByteArray>("pendant");

    // Unset: "none" while the application object is built, unset again afterwards.
    QTest::newRow("not set by the user") << QByteArray() << QByteArray("none");
    QTest::newRow("set by the user, kept") << QByteArray("glx") << QByteArray("glx");
}

void TestFenetre::integrationOpenGL()
{
    QFETCH(QByteArray, donnee);
    QFETCH(QByteArray, pendant);
    const char *nom = "QT_XCB_GL_INTEGRATION";
    const QByteArray avant = qgetenv(nom);
    const bool etait = qEnvironmentVariableIsSet(nom);
    const auto remettre = qScopeGuard([&] {
        if (etait)
            qputenv(nom, avant);
        else
            qunsetenv(nom);
    });
    if (donnee.isNull())
        qunsetenv(nom);
    else
        qputenv(nom, donnee);

    const bool posee = eviter_integration_opengl();
    QCOMPARE(qgetenv(nom), pendant);
    retirer_integration_opengl(posee);
    QCOMPARE(qEnvironmentVariableIsSet(nom), !donnee.isNull());
    QCOMPARE(qgetenv(nom), donnee.isNull() ? QByteArray() : donnee);
}

void TestFenetre::imagesDeLaFenetre()
{
    Fenetre_Principale fenetre;
    const QPixmap attention =
        enfant<QLabel>(fenetre, "label_logoAttention")->pixmap(Qt::ReturnByValue);
    QVERIFY(!attention.isNull());
    // 128 × 128 scaled into 40 × 40 keeping its aspect ratio.
    QCOMPARE(attention.size(), QSize(40, 40));
    QVERIFY(!fenetre.windowIcon().isNull());
}

void TestFenetre::boutonsEntiers()
{
    // With the program's style sheet, as the program runs, no button text is cut off (the
    // donation button has a fixed size of 90 × 21).
    auto *application = qobject_cast<QApplication *>(QCoreApplication::instance());
    QVERIFY(installer_feuille_de_style(*application, feuille_de_style_ressource));
    {
        Fenetre_Principale fenetre;
        fenetre.show();
        QVERIFY(QTest::qWaitForWindowExposed(&fenetre));
        for (QPushButton *bouton : fenetre.findChildren<QPushButton *>()) {
            const int texte = QFontMetrics(bouton->font()).horizontalAdvance(bouton->text());
            QVERIFY2(texte <= bouton->contentsRect().width(),
                     qPrintable(QStringLiteral("%1: text %2 px, room %3 px")
                                    .arg(bouton->objectName())
                                    .arg(texte)
                                    .arg(bouton->contentsRect().width())));
        }
        // The headers of both tables are in the tables' 8-point type too.
        for (const char *nom : {"tableView_masques", "tableau_sorties"}) {
            auto *table = enfant<QTableView>(fenetre, nom);
            QCOMPARE(table->horizontalHeader()->font().pointSize(), 8);
            QCOMPARE(table->verticalHeader()->font().pointSize(), 8);
        }
        fenetre.close();
    }
    application->setStyleSheet(QString());
}

void TestFenetre::fermeture_data()
{
    QTest::addColumn<bool>("parLeMenu");
    QTest::newRow("Quitter... in the menu") << true;
    QTest::newRow("the window's close button") << false;
}

void TestFenetre::fermeture()
{
    // Both ways close the last window, which ends the event loop with code 0.
    QFETCH(bool, parLeMenu);
    Fenetre_Principale fenetre;
    fenetre.show();
    QVERIFY(QTest::qWaitForWindowExposed(&fenetre));
    QTimer::singleShot(0, &fenetre, [&] {
        if (parLeMenu)
            fenetre.findChild<QAction *>(QStringLiteral("actionQuitter"))->trigger();
        else
            fenetre.close();
    });
    bool gardeEchue = false;
    QTimer garde;
    garde.setSingleShot(true);
    connect(&garde, &QTimer::timeout, [&] {
        gardeEchue = true;
        QCoreApplication::exit(2);
    });
    garde.start(10000);
    const int code = QApplication::exec();
    QVERIFY2(!gardeEchue, "the event loop went on after the window closed");
    QCOMPARE(code, 0);
    QVERIFY(!fenetre.isVisible());
}

void TestFenetre::lieuEtHeure()
{
    // Defaults draw as always; a zone brings its city's longitude (zone1970.tab: Paris at
    // +4852+00220), the clock's scale writes its caption beside the latitude's, and the pointer
    // over the disc reads the sky into the status bar.
    Fenetre_Principale fenetre;
    auto *longitude = enfant<QDoubleSpinBox>(fenetre, "longitude");
    auto *fuseau = enfant<QComboBox>(fenetre, "combo_fuseau");
    auto *echelle = enfant<QComboBox>(fenetre, "combo_echelle");
    auto *modele = enfant<QComboBox>(fenetre, "combo_modele");
    QCOMPARE(longitude->value(), 0.0);
    QCOMPARE(longitude->minimum(), -180.0);
    QCOMPARE(longitude->maximum(), 180.0);
    QCOMPARE(fuseau->currentText(), QStringLiteral("UTC"));
    QVERIFY(fuseau->findText(QStringLiteral("Europe/Paris")) > 0);
    QCOMPARE(echelle->currentText(), QStringLiteral("Temps solaire vrai"));
    QCOMPARE(echelle->itemText(1), QStringLiteral("Heure légale"));
    QCOMPARE(modele->currentText(), QStringLiteral("Simple"));
    QCOMPARE(modele->itemText(1), QStringLiteral("Précis"));
    auto *scene = enfant<QGraphicsView>(fenetre, "graphicsView")->scene();
    const auto textes = [scene] {
        QStringList t;
        for (QGraphicsItem *item : scene->items(Qt::AscendingOrder))
            if (auto *texte = qgraphicsitem_cast<QGraphicsTextItem *>(item))
                t << texte->toPlainText();
        return t;
    };
    QVERIFY(!textes().join('|').contains(QStringLiteral("Temps solaire vrai")));

    fuseau->setCurrentText(QStringLiteral("Europe/Paris"));
    QCOMPARE(longitude->value(), 2.33);
    echelle->setCurrentIndex(1);
    QCOMPARE(textes().constLast(), QStringLiteral("Heure légale — Europe/Paris"));
    modele->setCurrentIndex(1);
    QCOMPARE(textes().constLast(), QStringLiteral("Heure légale — Europe/Paris"));

    fenetre.show();
    QVERIFY(QTest::qWaitForWindowExposed(&fenetre));
    // '.' and ',' both separate the decimals.
    auto *latitude = enfant<QDoubleSpinBox>(fenetre, "latitude");
    for (const auto &[boite, texte] :
         {qMakePair(latitude, QString("48.85")), qMakePair(longitude, QString("2,35"))}) {
        boite->selectAll();
        QTest::keyClicks(boite, texte);
        QTest::keyClick(boite, Qt::Key_Enter);
    }
    QCOMPARE(latitude->value(), 48.85);
    QCOMPARE(longitude->value(), 2.35);
    latitude->setValue(0);
    // The status bar is there before the first read-out, which leaves the view as it is.
    auto *vue = enfant<QGraphicsView>(fenetre, "graphicsView");
    const QSize taille_vue = vue->size();
    QTest::mouseMove(vue->viewport(), vue->mapFromScene(QPointF(0, 0)));
    auto *barre = fenetre.findChild<QStatusBar *>();
    QVERIFY(barre);
    QCOMPARE(vue->size(), taille_vue);
    QVERIFY2(barre->currentMessage().contains(QStringLiteral("Hauteur : 90,0°")),
             qPrintable(barre->currentMessage()));
    QTest::mouseMove(vue->viewport(), QPoint(2, 2));
    QVERIFY(barre->currentMessage().isEmpty());
    // Hidden, not closed: closing a changed study asks about its changes.
    fenetre.hide();
}

void TestFenetre::dialogues_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("riche");
    // A wall typed on the window's point before "OK": refused, the dialog then cancelled.
    QTest::addColumn<bool>("sur_le_point");
    const std::pair<const char *, const char *> dialogues[] = {
        {"display options", "actionOptions_graphiques"},
        {"window and obstacles", "actionFenetre_et_obstacles"},
        {"project properties", "actionProprietes_du_projet"},
        {"horizon import", "actionImporter_un_horizon"},
        {"sky photo", "actionPhoto_du_ciel"},
        {"export", "actionExporter_le_diagramme"},
        {"about", "actionA_propos_de"}};
    for (const auto &[nom, action] : dialogues)
        for (const bool riche : {false, true})
            QTest::newRow(qPrintable(
                QStringLiteral("%1, %2 site")
                    .arg(QLatin1String(nom), QLatin1String(riche ? "richest" : "empty"))))
                << QString::fromLatin1(action) << riche << false;
    QTest::newRow("window and obstacles, a wall typed through the point")
        << "actionFenetre_et_obstacles" << false << true;
}

void TestFenetre::dialogues()
{
    // Each dialog opened twice, on a fresh window or on the richest site: accepted the first time
    // ("Ajouter" pressed in the window's, as many times as it may), closed the second. The site
    // saved before and after the first shows that it changed nothing but what was asked.
    QFETCH(QString, action);
    QFETCH(bool, riche);
    QFETCH(bool, sur_le_point);
    QTemporaryDir dossier;
    QVERIFY(dossier.isValid());
    const QString horizon = dossier.filePath(QStringLiteral("horizon.csv"));
    {
        QFile fichier(horizon);
        QVERIFY(fichier.open(QIODevice::WriteOnly) && fichier.write("-90;5\n0;10\n90;5\n") > 0);
    }
    // A sky above a dark ground, for the photo's dialog.
    const QString ciel = dossier.filePath(QStringLiteral("ciel.png"));
    {
        QImage image(120, 80, QImage::Format_RGB32);
        image.fill(QColor(40, 40, 40));
        for (int y = 0; y < 60; ++y)
            for (int x = 20; x < 100; ++x)
                if ((x - 60) * (x - 60) + (y - 40) * (y - 40) < 30 * 30)
                    image.setPixelColor(x, y, QColor(120, 170, 240));
        QVERIFY(image.save(ciel));
    }
    Fenetre_Principale fenetre(nullptr, QDate(2026, 6, 21));
    fenetre.show();
    QVERIFY(QTest::qWaitForWindowExposed(&fenetre));

    // The next file dialog's answer (none: cancelled), and whether the next dialog is accepted.
    QString fichier;
    bool accepter = true;
    QString refus;
    int lignes_gardees = 0;
    auto repondeur = Repondeur::a_chaque_boite(QStringLiteral("OK"));
    repondeur.autre_fenetre = [&](QWidget *w) {
        auto *dialogue = qobject_cast<QDialog *>(w);
        if (auto *fichiers = qobject_cast<QFileDialog *>(w)) {
            if (fichier.isEmpty())
                fichiers->reject();
            else
                choisir_fichier(fichiers, fichier);
        } else if (!dialogue || !accepter) {
            w->close();
        } else {
            for (QPushButton *b : w->findChildren<QPushButton *>())
                if (b->text() == QLatin1String("Ajouter"))
                    while (b->isEnabled())
                        b->click();
            auto *murs = w->findChild<QTableWidget *>();
            if (sur_le_point) {
                // From due north to due south, 5 m each way: through the point.
                const double mur[] = {0.0, 5.0, 180.0, 5.0, 10.0};
                for (int colonne = 0; colonne < 5; ++colonne)
                    murs->item(0, colonne)->setData(Qt::EditRole, mur[colonne]);
            }
            auto *ok = w->findChild<QAbstractButton *>(QStringLiteral("bouton_OK"));
            if (!ok)
                ok = w->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
            ok->click();
            if (sur_le_point && w->isVisible()) {
                if (auto *raison = w->findChild<QLabel *>(QStringLiteral("refus")))
                    refus = raison->text();
                lignes_gardees = murs->rowCount();
                w->close();
            }
        }
        // The display options' dialog is the same one each time: answered again when it opens
        // again.
        w->setProperty("orvane_repondue", false);
    };
    const auto declencher = [&](const QString &nom, const QString &reponse) {
        fichier = reponse;
        fenetre.findChild<QAction *>(nom)->trigger();
    };
    const auto enregistre = [&](const QString &nom) {
        const QString chemin = dossier.filePath(nom);
        declencher(QStringLiteral("actionEnregistrer_le_site_sous"), chemin);
        QFile lu(chemin);
        return lu.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(lu.readAll()).object()
                                            : QJsonObject();
    };

    if (riche) {
        // Every section filled, each list as long as it may be.
        Site site;
        Description_Diagramme &d = site.diagramme;
        d.latitude = 48.85;
        d.longitude = 2.35;
        d.fuseau = "Europe/Paris";
        d.echelle = Echelle_Heures::Heure_legale;
        d.modele = Modele_Soleil::precis;
        d.date_choisie = QDate(2026, 6, 21);
        for (int mois = 1; mois <= 12; ++mois)
            d.dates_enregistrees << QDate(2026, mois, 21);
        d.jour_des_mois = 21;
        d.annee = 2026;
        d.limites = d.heures = true;
        d.options = {15, 30, 40, false, Type_Projection::Stereographique};
        // Finer than the dialog's boxes show: accepting it must not round them.
        d.ombrage.facade = {
            true, 225.125, {true, 1.2345, 1.5, 0.5, 2.0}, {true, 0.9, 1.2}, {true, 0.5, 1.0049}};
        for (int i = 0; i < obstacles_max; ++i)
            d.ombrage.obstacles.push_back({7.0 * i, 20.0, 7.0 * i + 5.0, 15.0, 0.25 * i - 2.0});
        std::vector<QPointF> masque;
        for (int i = 0; i < lignes_masque_max; ++i)
            masque.emplace_back(-179.5 + 0.7 * i, i % 45);
        site.masques = lignes_de_points(masque);
        site.conserver_masques = true;
        d.photo.fichier = ciel;
        d.photo.calibration = calibration_proposee(QImage(ciel), Calibration_Photo());
        d.photo.opacite = 35;
        d.projet = {QStringLiteral("Maison Arnaud"), QStringLiteral(" 12 rue des Lilas, Paris "),
                    QStringLiteral("M. et Mme Arnaud"), QStringLiteral("Cabinet Leroy")};
        const QString chemin = dossier.filePath(QStringLiteral("riche.orvane"));
        QCOMPARE(ecrire_site(chemin, site), QString());
        fenetre.ouvrir_site_differe(chemin);
        QTRY_COMPARE(fenetre.windowTitle(), QStringLiteral("Maison Arnaud — riche[*] - Orvane"));
    }
    const QJsonObject avant = enregistre(QStringLiteral("avant.orvane"));
    QVERIFY(!avant.isEmpty());

    const bool exporter = action == QLatin1String("actionExporter_le_diagramme");
    const bool photo = action == QLatin1String("actionPhoto_du_ciel");
    const QString image = dossier.filePath(QStringLiteral("diagramme.png"));
    declencher(action, exporter ? image : photo ? ciel : horizon);
    accepter = false;
    declencher(action, exporter ? QString() : photo ? ciel : horizon);
    QVERIFY2(repondeur.erreurs.isEmpty(), qPrintable(repondeur.erreurs.join('\n')));
    accepter = true;
    QJsonObject apres = enregistre(QStringLiteral("apres.orvane"));
    QJsonObject attendu = avant;

    // What was asked: the horizon's rows in the table, a wall more while there is room, the
    // picture written.
    if (action == QLatin1String("actionImporter_un_horizon")) {
        QVERIFY(apres.value("masques") != avant.value("masques"));
        attendu.remove(QStringLiteral("masques"));
        apres.remove(QStringLiteral("masques"));
    } else if (sur_le_point) {
        QCOMPARE(refus, QStringLiteral(
                            "Obstacle 1 : le mur passe à 1 cm ou moins du point de la fenêtre."));
        QCOMPARE(lignes_gardees, obstacles_max);
    } else if (action == QLatin1String("actionFenetre_et_obstacles")) {
        const QJsonArray murs_avant = avant.value("obstacles").toObject().value("murs").toArray();
        const QJsonArray murs = apres.value("obstacles").toObject().value("murs").toArray();
        QCOMPARE(murs.size(), obstacles_max);
        for (int i = 0; i < murs_avant.size(); ++i)
            QCOMPARE(murs.at(i), murs_avant.at(i));
        attendu.remove(QStringLiteral("obstacles"));
        apres.remove(QStringLiteral("obstacles"));
    } else if (exporter) {
        QVERIFY(QFileInfo(image).size() > 0);
    } else if (photo && !riche) {
        // The photo taken (beside the site: by its name), its calibration proposed; a site's
        // photo is kept as it was.
        QCOMPARE(apres.value("photo").toObject().value("fichier").toString(),
                 QStringLiteral("ciel.png"));
        apres.remove(QStringLiteral("photo"));
    }
    QCOMPARE(apres, attendu);
    fenetre.close();
}

QTEST_MAIN(TestFenetre)
#include "tst_app.moc"
