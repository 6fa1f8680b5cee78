// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// The "Options du disque" dialog as a user meets it: its form, the opacity slider and spin
// box that follow each other, what "OK", "Annuler", "Par défaut" and Escape leave behind,
// and its opening from the main window's menu.
#include "app/fenetre_principale.h"
#include "app/feuille_de_style.h"
#include "diagram/scene.h"
#include "options/affichage_options.h"
#include "tests/outils.h"

#include <QtTest>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGraphicsView>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QSpinBox>

#include <QElapsedTimer>

#include <functional>
#include <memory>

namespace
{
// How long a test waits for a modal box before giving up on it, milliseconds.
constexpr int attente_boite_ms = 5000;

// Replaces the text of a spin box as a user does: select it all, type the digits.
void taper(QSpinBox *champ, const QString &chiffres)
{
    champ->setFocus();
    QTest::keyClick(champ, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(champ, chiffres);
}

// Answers the next modal box from the event loop: `reponse` gets it once it is up. If none
// comes, every open dialog is closed so that the test fails instead of hanging.
void repondre(std::function<void(QWidget *)> reponse)
{
    auto *minuterie = new QTimer(qApp);
    auto debut = std::make_shared<QElapsedTimer>();
    debut->start();
    QObject::connect(minuterie, &QTimer::timeout, qApp, [=]() {
        if (QWidget *boite = QApplication::activeModalWidget()) {
            minuterie->stop();
            minuterie->deleteLater();
            reponse(boite);
        } else if (debut->elapsed() > attente_boite_ms) {
            minuterie->stop();
            minuterie->deleteLater();
            for (QWidget *w : QApplication::topLevelWidgets()) {
                if (auto *d = qobject_cast<QDialog *>(w))
                    d->reject();
            }
        }
    });
    minuterie->start(10);
}

// The view's viewport as the screen shows it now (its part of the window's backing store).
QImage image_affichee(QGraphicsView *vue)
{
    QWidget *fenetre = vue->window();
    const QPoint coin = vue->viewport()->mapTo(fenetre, QPoint());
    return fenetre->screen()
        ->grabWindow(fenetre->winId(), coin.x(), coin.y(), vue->viewport()->width(),
                     vue->viewport()->height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

// The viewport rendered afresh, whole.
QImage rendu_complet(QGraphicsView *vue)
{
    return vue->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}
} // namespace

class TestOptions : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void formulaire_data();
    void formulaire();
    void fenetre();
    void couplage_data();
    void couplage();
    void bornes_data();
    void bornes();
    void sequences_data();
    void sequences();
    void execution();
    void ouvertureDepuisLaFenetre_data();
    void ouvertureDepuisLaFenetre();
    void textesEntiers();
};

void TestOptions::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
}

void TestOptions::cleanup()
{
    // A test never leaves a window or a box open behind it.
    const auto fenetres = QApplication::topLevelWidgets();
    for (QWidget *w : fenetres)
        QVERIFY2(!w->isVisible(), qPrintable(w->windowTitle() + " was left open"));
}

void TestOptions::formulaire_data()
{
    QTest::addColumn<QString>("objet");
    QTest::addColumn<QByteArray>("propriete");
    QTest::addColumn<QVariant>("valeur");

    // Ranges, values and the opacity's suffix show in the behaviour tests below; here what
    // the user reads and the sizes.
    QTest::newRow("group box title")
        << "groupBox" << QByteArray("title") << QVariant("Pas d'affichage du disque solaire");
    QTest::newRow("group box not checkable")
        << "groupBox" << QByteArray("checkable") << QVariant(false);
    QTest::newRow("graduations text") << "checkBox_affichage_graduations" << QByteArray("text")
                                      << QVariant("Afficher les graduations");
    QTest::newRow("height label") << "label_pas_hauteur" << QByteArray("text")
                                  << QVariant("Hauteur :");
    QTest::newRow("height label width")
        << "label_pas_hauteur" << QByteArray("minimumWidth") << QVariant(50);
    QTest::newRow("height suffix")
        << "spinBox_pas_hauteur" << QByteArray("suffix") << QVariant("°");
    QTest::newRow("height width") << "spinBox_pas_hauteur" << QByteArray("minimumWidth")
                                  << QVariant(60);
    QTest::newRow("azimuth label")
        << "label_pas_azimut" << QByteArray("text") << QVariant("Azimut :");
    QTest::newRow("azimuth label width")
        << "label_pas_azimut" << QByteArray("minimumWidth") << QVariant(50);
    QTest::newRow("azimuth suffix")
        << "spinBox_pas_azimut" << QByteArray("suffix") << QVariant("°");
    QTest::newRow("azimuth width")
        << "spinBox_pas_azimut" << QByteArray("minimumWidth") << QVariant(60);
    QTest::newRow("opacity label")
        << "label_opacite" << QByteArray("text") << QVariant("Opacité du disque :");
    QTest::newRow("opacity width")
        << "spinBox_opacite" << QByteArray("minimumWidth") << QVariant(60);
    QTest::newRow("opacity without buttons")
        << "spinBox_opacite" << QByteArray("buttonSymbols")
        << QVariant(static_cast<int>(QAbstractSpinBox::NoButtons));
    QTest::newRow("opacity aligned right")
        << "spinBox_opacite" << QByteArray("alignment")
        << QVariant(static_cast<int>(Qt::AlignRight | Qt::AlignTrailing | Qt::AlignVCenter));
    QTest::newRow("slider horizontal") << "slider_opacite" << QByteArray("orientation")
                                       << QVariant(static_cast<int>(Qt::Horizontal));
    QTest::newRow("defaults button")
        << "bouton_par_defaut" << QByteArray("text") << QVariant("Par défaut");
    QTest::newRow("OK button") << "bouton_OK" << QByteArray("text") << QVariant("OK");
    QTest::newRow("OK button width") << "bouton_OK" << QByteArray("minimumWidth") << QVariant(50);
    QTest::newRow("cancel button") << "bouton_annuler" << QByteArray("text") << QVariant("Annuler");
    QTest::newRow("projection label")
        << "label_projection" << QByteArray("text") << QVariant("Projection :");
    QTest::newRow("projection first choice")
        << "combo_projection" << QByteArray("currentText") << QVariant("Polaire équidistante");
}

void TestOptions::formulaire()
{
    QFETCH(QString, objet);
    QFETCH(QByteArray, propriete);
    QFETCH(QVariant, valeur);

    Affichage_Options dialogue;
    QObject *o = dialogue.findChild<QObject *>(objet);
    QVERIFY2(o, qPrintable("no object " + objet));
    QVariant lu = o->property(propriete.constData());
    QVERIFY2(lu.isValid(), qPrintable("no property " + propriete));
    if (valeur.type() == QVariant::Int && lu.type() != QVariant::Int)
        lu = lu.toInt();
    QCOMPARE(lu, valeur);
}

void TestOptions::fenetre()
{
    Affichage_Options dialogue;
    QCOMPARE(dialogue.windowTitle(), QStringLiteral("Options du disque"));
    QVERIFY(!dialogue.windowIcon().isNull());
    QVERIFY(dialogue.isWindow());
    // The graduations' convention takes a row of its own.
    QCOMPARE(dialogue.minimumSize(), QSize(270, 280));
    QCOMPARE(dialogue.maximumSize(), QSize(270, 280));
    QCOMPARE(dialogue.size(), QSize(270, 280));

    // Only the group's title and the two closing buttons are bold.
    QVERIFY(enfant<QGroupBox>(dialogue, "groupBox")->font().bold());
    for (const char *nom :
         {"checkBox_affichage_graduations", "label_pas_hauteur", "spinBox_pas_hauteur",
          "label_pas_azimut", "spinBox_pas_azimut", "label_opacite"})
        QVERIFY2(!enfant<QWidget>(dialogue, nom)->font().bold(), nom);
    QVERIFY(enfant<QPushButton>(dialogue, "bouton_OK")->font().bold());
    QVERIFY(enfant<QPushButton>(dialogue, "bouton_annuler")->font().bold());
    QVERIFY(!enfant<QPushButton>(dialogue, "bouton_par_defaut")->font().bold());

    // What a new Scene reads.
    QCOMPARE(dialogue.pas_hauteur, 10);
    QCOMPARE(dialogue.pas_azimut, 10);
    QCOMPARE(dialogue.opacite, 70);
    QVERIFY(dialogue.graduations_affichees());
}

void TestOptions::couplage_data()
{
    QTest::addColumn<QString>("geste");
    QTest::addColumn<int>("valeur");
    QTest::addColumn<QString>("texte"); // what the spin box shows

    QTest::newRow("slider moved to 35 with the arrow keys") << "slider" << 35 << "35%";
    QTest::newRow("slider moved to the end") << "fin" << 100 << "100%";
    QTest::newRow("80 typed in the spin box") << "taper" << 80 << "80%";
    QTest::newRow("0 typed in the spin box") << "taper" << 0 << "0%";
}

void TestOptions::couplage()
{
    QFETCH(QString, geste);
    QFETCH(int, valeur);
    QFETCH(QString, texte);

    Affichage_Options dialogue;
    dialogue.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialogue));
    auto *curseur = enfant<QSlider>(dialogue, "slider_opacite");
    auto *champ = enfant<QSpinBox>(dialogue, "spinBox_opacite");

    if (geste == "slider") {
        curseur->setFocus();
        QTest::keyClick(curseur, Qt::Key_Home);
        for (int i = 0; i < valeur; ++i)
            QTest::keyClick(curseur, Qt::Key_Right);
    } else if (geste == "fin") {
        curseur->setFocus();
        QTest::keyClick(curseur, Qt::Key_End);
    } else {
        taper(champ, QString::number(valeur));
    }
    QCOMPARE(curseur->value(), valeur);
    QCOMPARE(champ->value(), valeur);
    QCOMPARE(champ->text(), texte);
    // Nothing committed.
    QCOMPARE(dialogue.opacite, 70);
    dialogue.close();
}

void TestOptions::bornes_data()
{
    QTest::addColumn<QString>("objet");
    QTest::addColumn<int>("touche");
    QTest::addColumn<int>("valeur");

    QTest::newRow("height no higher than 15") << "spinBox_pas_hauteur" << int(Qt::Key_Up) << 15;
    QTest::newRow("height no lower than 5") << "spinBox_pas_hauteur" << int(Qt::Key_Down) << 5;
    QTest::newRow("azimuth no higher than 30") << "spinBox_pas_azimut" << int(Qt::Key_Up) << 30;
    QTest::newRow("azimuth no lower than 5") << "spinBox_pas_azimut" << int(Qt::Key_Down) << 5;
    QTest::newRow("opacity no higher than 100") << "spinBox_opacite" << int(Qt::Key_Up) << 100;
    QTest::newRow("opacity no lower than 0") << "spinBox_opacite" << int(Qt::Key_Down) << 0;
}

void TestOptions::bornes()
{
    QFETCH(QString, objet);
    QFETCH(int, touche);
    QFETCH(int, valeur);

    Affichage_Options dialogue;
    dialogue.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialogue));
    auto *champ = dialogue.findChild<QSpinBox *>(objet);
    champ->setFocus();
    // More presses than the whole range.
    for (int i = 0; i < 120; ++i)
        QTest::keyClick(champ, Qt::Key(touche));
    QCOMPARE(champ->value(), valeur);
    QTest::mouseClick(enfant<QPushButton>(dialogue, "bouton_OK"), Qt::LeftButton);
    const int engage = objet == "spinBox_pas_hauteur"  ? dialogue.pas_hauteur
                       : objet == "spinBox_pas_azimut" ? dialogue.pas_azimut
                                                       : dialogue.opacite;
    QCOMPARE(engage, valeur);
}

// Steps of a user session, one string each:
//   "hauteur:N", "azimut:N", "opacite:N"  type N in that spin box;
//   "graduations"                          click the check box;
//   "projection:N", "caps:N"               choose item N of that list;
//   "OK", "Annuler", "Par défaut"         click the button;
//   "Echap", "Entree"                      press the key.
// A step on a closed dialog opens it again first, as the menu does.
void TestOptions::sequences_data()
{
    QTest::addColumn<QStringList>("etapes");
    // height, azimuth, opacity, graduations (0/1), and when given the projection's index and
    // the graduations' convention's
    QTest::addColumn<QList<int>>("engage");
    QTest::addColumn<QList<int>>("affiche"); // the same, as the widgets show them
    QTest::addColumn<bool>("ouvert");

    const QList<int> defauts{10, 10, 70, 1};
    QTest::newRow("nothing done: the defaults") << QStringList{} << defauts << defauts << true;
    QTest::newRow("height 15 then Annuler: 10 again")
        << QStringList{"hauteur:15", "Annuler"} << defauts << defauts << false;
    QTest::newRow("height 15 then OK")
        << QStringList{"hauteur:15", "OK"} << QList<int>{15, 10, 70, 1} << QList<int>{15, 10, 70, 1}
        << false;
    QTest::newRow("azimuth 25 and opacity 40 then OK")
        << QStringList{"azimut:25", "opacite:40", "OK"} << QList<int>{10, 25, 40, 1}
        << QList<int>{10, 25, 40, 1} << false;
    QTest::newRow("committed 15, Par défaut, Annuler: 15 again")
        << QStringList{"hauteur:15", "OK", "Par défaut", "Annuler"} << QList<int>{15, 10, 70, 1}
        << QList<int>{15, 10, 70, 1} << false;
    QTest::newRow("committed values, Par défaut, OK: the defaults")
        << QStringList{"hauteur:15", "azimut:25",  "opacite:40", "graduations",
                       "OK",         "Par défaut", "OK"}
        << defauts << defauts << false;
    QTest::newRow("Par défaut commits nothing and stays open")
        << QStringList{"hauteur:15", "azimut:25", "graduations", "OK", "Par défaut"}
        << QList<int>{15, 25, 70, 0} << defauts << true;
    QTest::newRow("graduations unticked then OK")
        << QStringList{"graduations", "OK"} << QList<int>{10, 10, 70, 0}
        << QList<int>{10, 10, 70, 0} << false;
    QTest::newRow("graduations unticked then Annuler")
        << QStringList{"graduations", "Annuler"} << defauts << defauts << false;
    QTest::newRow("opacity 40 then Annuler: the slider follows back")
        << QStringList{"opacite:40", "Annuler"} << defauts << defauts << false;
    QTest::newRow("Escape commits nothing and keeps the widgets")
        << QStringList{"hauteur:15", "Echap"} << defauts << QList<int>{15, 10, 70, 1} << false;
    QTest::newRow("Escape, then reopened and OK: committed then")
        << QStringList{"hauteur:15", "Echap", "OK"} << QList<int>{15, 10, 70, 1}
        << QList<int>{15, 10, 70, 1} << false;
    QTest::newRow("projection Cylindrique then OK")
        << QStringList{"projection:2", "OK"} << QList<int>{10, 10, 70, 1, 2}
        << QList<int>{10, 10, 70, 1, 2} << false;
    QTest::newRow("projection stéréographique then Annuler: équidistante again")
        << QStringList{"projection:1", "Annuler"} << QList<int>{10, 10, 70, 1, 0}
        << QList<int>{10, 10, 70, 1, 0} << false;
    QTest::newRow("committed Cylindrique, Par défaut: équidistante shown, not committed")
        << QStringList{"projection:2", "OK", "Par défaut"} << QList<int>{10, 10, 70, 1, 2}
        << QList<int>{10, 10, 70, 1, 0} << true;
    // Then the graduations' convention: 0 the table's, 1 bearings.
    QTest::newRow("bearings then OK")
        << QStringList{"caps:1", "OK"} << QList<int>{10, 10, 70, 1, 0, 1}
        << QList<int>{10, 10, 70, 1, 0, 1} << false;
    QTest::newRow("bearings then Annuler: the table's again")
        << QStringList{"caps:1", "Annuler"} << QList<int>{10, 10, 70, 1, 0, 0}
        << QList<int>{10, 10, 70, 1, 0, 0} << false;
    QTest::newRow("committed bearings, Par défaut: the table's shown, not committed")
        << QStringList{"caps:1", "OK", "Par défaut"} << QList<int>{10, 10, 70, 1, 0, 1}
        << QList<int>{10, 10, 70, 1, 0, 0} << true;
    QTest::newRow("Enter in a field is OK")
        << QStringList{"hauteur:15", "Entree"} << QList<int>{15, 10, 70, 1}
        << QList<int>{15, 10, 70, 1} << false;
}

void TestOptions::sequences()
{
    QFETCH(QStringList, etapes);
    QFETCH(QList<int>, engage);
    QFETCH(QList<int>, affiche);
    QFETCH(bool, ouvert);

    Affichage_Options dialogue;
    auto *hauteur = enfant<QSpinBox>(dialogue, "spinBox_pas_hauteur");
    auto *azimut = enfant<QSpinBox>(dialogue, "spinBox_pas_azimut");
    auto *opacite = enfant<QSpinBox>(dialogue, "spinBox_opacite");
    auto *curseur = enfant<QSlider>(dialogue, "slider_opacite");
    auto *graduations = enfant<QCheckBox>(dialogue, "checkBox_affichage_graduations");
    auto *projection = enfant<QComboBox>(dialogue, "combo_projection");
    dialogue.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialogue));

    for (const QString &etape : etapes) {
        if (!dialogue.isVisible()) {
            dialogue.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialogue));
        }
        const QString nom = etape.section(':', 0, 0);
        const QString valeur = etape.section(':', 1);
        if (nom == "hauteur")
            taper(hauteur, valeur);
        else if (nom == "azimut")
            taper(azimut, valeur);
        else if (nom == "opacite")
            taper(opacite, valeur);
        else if (nom == "graduations")
            QTest::mouseClick(graduations, Qt::LeftButton);
        else if (nom == "projection")
            projection->setCurrentIndex(valeur.toInt());
        else if (nom == "caps")
            enfant<QComboBox>(dialogue, "combo_graduations")->setCurrentIndex(valeur.toInt());
        else if (nom == "OK")
            QTest::mouseClick(enfant<QPushButton>(dialogue, "bouton_OK"), Qt::LeftButton);
        else if (nom == "Annuler")
            QTest::mouseClick(enfant<QPushButton>(dialogue, "bouton_annuler"), Qt::LeftButton);
        else if (nom == "Par défaut")
            QTest::mouseClick(enfant<QPushButton>(dialogue, "bouton_par_defaut"), Qt::LeftButton);
        else if (nom == "Echap")
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        else if (nom == "Entree")
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        else
            QFAIL(qPrintable("unknown step " + etape));
    }

    QList<int> lu_engage{dialogue.pas_hauteur, dialogue.pas_azimut, dialogue.opacite,
                         dialogue.graduations_affichees() ? 1 : 0};
    QList<int> lu_affiche{hauteur->value(), azimut->value(), opacite->value(),
                          graduations->isChecked() ? 1 : 0};
    if (engage.size() > lu_engage.size()) {
        lu_engage << static_cast<int>(dialogue.projection);
        lu_affiche << projection->currentIndex();
    }
    if (engage.size() > lu_engage.size()) {
        lu_engage << static_cast<int>(dialogue.graduations_azimut);
        lu_affiche << enfant<QComboBox>(dialogue, "combo_graduations")->currentIndex();
    }
    QCOMPARE(lu_engage, engage);
    QCOMPARE(lu_affiche, affiche);
    QCOMPARE(curseur->value(), opacite->value());
    QCOMPARE(dialogue.isVisible(), ouvert);
    dialogue.close();
}

void TestOptions::execution()
{
    // Run modally: the user sets the height step to 15 and presses OK, which ends exec().
    Affichage_Options dialogue;
    QString titre;
    repondre([&](QWidget *boite) {
        titre = boite->windowTitle();
        taper(enfant<QSpinBox>(*boite, "spinBox_pas_hauteur"), "15");
        QTest::mouseClick(enfant<QPushButton>(*boite, "bouton_OK"), Qt::LeftButton);
    });
    dialogue.exec();
    QCOMPARE(titre, QStringLiteral("Options du disque"));
    QVERIFY(!dialogue.isVisible());
    QCOMPARE(dialogue.pas_hauteur, 15);
}

void TestOptions::ouvertureDepuisLaFenetre_data()
{
    QTest::addColumn<QString>("moyen");
    QTest::addColumn<bool>("valider");

    // The projection chosen in the dialog: its index in the list.
    QTest::addColumn<int>("projection");

    QTest::newRow("Ctrl+O, then OK") << "raccourci" << true << 0;
    QTest::newRow("Ctrl+O, then Annuler") << "raccourci" << false << 0;
    QTest::newRow("menu entry Options graphiques..., then OK") << "menu" << true << 0;
    QTest::newRow("the window's other opening slot, then Annuler") << "slot" << false << 0;
    QTest::newRow("Cylindrique, then OK: drawn as a chart at once") << "menu" << true << 2;
    QTest::newRow("Polaire stéréographique, then Annuler: the disc as it was")
        << "menu" << false << 1;
}

void TestOptions::ouvertureDepuisLaFenetre()
{
    QFETCH(QString, moyen);
    QFETCH(bool, valider);
    QFETCH(int, projection);

    Fenetre_Principale fenetre;
    auto *vue = enfant<QGraphicsView>(fenetre, "graphicsView");
    auto *scene = qobject_cast<Scene *>(vue->scene());
    QVERIFY(scene);
    // As built, before the first resize fits the disc to the view.
    QCOMPARE(scene->diametre0(), 540);
    QCOMPARE(scene->NbPointsMasqueMAX(), 500);
    QVERIFY(vue->renderHints().testFlag(QPainter::Antialiasing));
    QVERIFY(vue->isInteractive());

    fenetre.show();
    QVERIFY(QTest::qWaitForWindowActive(&fenetre));
    const int items_avant = scene->items().size();

    QWidget *ouverte = nullptr;
    repondre([&](QWidget *boite) {
        ouverte = boite;
        taper(enfant<QSpinBox>(*boite, "spinBox_pas_azimut"), "20");
        enfant<QComboBox>(*boite, "combo_projection")->setCurrentIndex(projection);
        QTest::mouseClick(enfant<QPushButton>(*boite, valider ? "bouton_OK" : "bouton_annuler"),
                          Qt::LeftButton);
    });
    if (moyen == "raccourci") {
        QTest::keyClick(&fenetre, Qt::Key_O, Qt::ControlModifier);
    } else if (moyen == "menu") {
        auto *action = enfant<QAction>(fenetre, "actionOptions_graphiques");
        QCOMPARE(action->text(), QStringLiteral("Options graphiques..."));
        action->trigger();
    } else {
        QVERIFY(QMetaObject::invokeMethod(&fenetre, "ouverture_fenetre_affichage"));
    }

    // The Scene's own dialog was the modal box, titled for the user.
    QCOMPARE(ouverte, static_cast<QWidget *>(&scene->options));
    QCOMPARE(ouverte->windowTitle(), QStringLiteral("Options du disque"));
    QVERIFY(!scene->options.isVisible());
    QCOMPARE(scene->options.pas_azimut, valider ? 20 : 10);
    QCOMPARE(static_cast<int>(scene->projection().type()), valider ? projection : 0);
    // Closing the dialog adds no item: the next repaint reads the new values, and a new
    // projection draws the same items again through it (the scene's projection is the
    // drawing's).
    QCOMPARE(scene->items().size(), items_avant);
    // But the disc on screen is the whole disc in the committed values, never part old, part
    // new: the frame shown equals a full fresh render.
    // (The scene's repaint request is queued: it goes through first.)
    QCoreApplication::processEvents();
    QTRY_VERIFY2(image_affichee(vue) == rendu_complet(vue), "the disc on screen is stale");
    // Hidden, not closed: closing a changed study asks about its changes.
    fenetre.hide();
}

void TestOptions::textesEntiers()
{
    // The dialog has a fixed size: with the program's style sheet installed, as the program
    // runs, every title and text must fit in its widget, none cut off.
    auto *application = qobject_cast<QApplication *>(QCoreApplication::instance());
    QVERIFY(installer_feuille_de_style(*application, feuille_de_style_ressource));
    {
        Affichage_Options dialogue;
        dialogue.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialogue));
        auto *groupe = enfant<QGroupBox>(dialogue, "groupBox");
        const int titre = QFontMetrics(groupe->font()).horizontalAdvance(groupe->title());
        QVERIFY2(
            titre < groupe->width(),
            qPrintable(
                QStringLiteral("title %1 px in a box of %2 px").arg(titre).arg(groupe->width())));
        for (QAbstractButton *bouton : dialogue.findChildren<QAbstractButton *>()) {
            const int texte = QFontMetrics(bouton->font()).horizontalAdvance(bouton->text());
            QVERIFY2(texte <= bouton->width(),
                     qPrintable(QStringLiteral("%1: text %2 px, widget %3 px")
                                    .arg(bouton->objectName())
                                    .arg(texte)
                                    .arg(bouton->width())));
        }
        dialogue.close();
    }
    application->setStyleSheet(QString());
}

QTEST_MAIN(TestOptions)
#include "tst_options.moc"
