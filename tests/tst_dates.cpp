// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// The dates and the diagram rebuild as a user meets them: the real main window is driven
// through its widgets, buttons and actions, and the scene's items and the output table are
// read back. Dates and locale are set here; nothing depends on today's date.
//
// Expected times come from the sunrise and sunset of the solar model worked by hand, e.g.
// 21 June 2021 (day 172) at 45°: declination 23.447°, hour angle of sunset
// acos(−tan 45° · tan 23.447°) = 115.70° = 7.7134 h, so sunrise 4.2866 rounded up to 4.30 and
// sunset 19.7134 rounded to 19.71: 4h18 (0.30 · 60 = 18), 19h43 (42.6 → 43), day 15.41 h =
// 15h25 (24.6 → 25).
#include "app/fenetre_principale.h"
#include "diagram/scene.h"
#include "tests/repondeur.h"

#include <QtTest>

#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QGraphicsLineItem>
#include <QGraphicsPathItem>
#include <QGraphicsTextItem>
#include <QGraphicsView>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTableWidget>

#include <algorithm>
#include <cmath>

namespace
{

// Positions are whole scene units; a label or a stroke placed by the rebuild sits exactly there.
constexpr double tolerance_position = 1e-9;
// The sunrise point of a course lies on the horizon circle, lifted by the rounding of the
// sunrise up to the next hundredth of an hour: at most 0.15° of hour angle, so at most 0.15° of
// altitude, 280 · 0.15 / 90 = 0.47 scene units on a disc of radius 280.
constexpr double tolerance_horizon = 0.5;

// The twelve course colours, in the order the dates take them.
const QColor couleurs[12] = {{228, 152, 0}, {0, 250, 240},   {63, 145, 47}, {255, 0, 75},
                             {153, 152, 0}, {149, 137, 188}, {204, 0, 97},  {0, 169, 135},
                             {0, 150, 217}, {0, 255, 0},     {0, 0, 255},   {239, 52, 215}};
// Short month names of the French locale.
const QStringList mois_courts = {"janv.", "févr.", "mars",  "avr.", "mai",  "juin",
                                 "juil.", "août",  "sept.", "oct.", "nov.", "déc."};

// The window and the widgets that a user touches.
struct Fenetre {
    Fenetre_Principale f;
    QDateEdit *date = f.findChild<QDateEdit *>("Date");
    QSlider *curseur_date = f.findChild<QSlider *>("slider_date");
    QDoubleSpinBox *latitude = f.findChild<QDoubleSpinBox *>("latitude");
    QSlider *curseur_latitude = f.findChild<QSlider *>("slider_latitude");
    QSpinBox *jour = f.findChild<QSpinBox *>("spinBox_numero_jour");
    QSpinBox *annee = f.findChild<QSpinBox *>("spinBox_annee");
    QCheckBox *limite = f.findChild<QCheckBox *>("check_limite");
    QCheckBox *heures = f.findChild<QCheckBox *>("check_heures");
    QPushButton *enregistrer = f.findChild<QPushButton *>("Bouton_Enregistrer_Date");
    QPushButton *reinitialiser = f.findChild<QPushButton *>("Bouton_reinitialiser");
    QTableWidget *tableau = f.findChild<QTableWidget *>("tableau_sorties");
    QGraphicsView *vue = f.findChild<QGraphicsView *>("graphicsView");
    QAction *mode1 = f.findChild<QAction *>("actionChoisir_ses_dates");
    QAction *mode2 = f.findChild<QAction *>("actionChoisir_le_jour_pour_les_mois");
    Scene *scene() const { return static_cast<Scene *>(vue->scene()); }

    // Sets the latitude as a user reaches it: the whole part first, then the fraction (a change
    // of whole part through the spin box brings the slider back to the whole number).
    void poser_latitude(double valeur)
    {
        latitude->setValue(std::trunc(valeur));
        latitude->setValue(valeur);
    }
    void sauver(const QDate &d)
    {
        date->setDate(d);
        enregistrer->click();
    }
    QString cellule(int ligne, int colonne) const
    {
        const QTableWidgetItem *item = tableau->item(ligne, colonne);
        return item ? item->text() : QStringLiteral("<none>");
    }
    QStringList ligne(int l) const
    {
        return {cellule(l, 0), cellule(l, 1), cellule(l, 2), cellule(l, 3)};
    }
    QStringList colonne_dates() const
    {
        QStringList dates;
        for (int l = 0; l < tableau->rowCount(); ++l)
            dates << cellule(l, 0);
        return dates;
    }
    // Shows the window and sizes it so that the view measures `taille`.
    bool montrer(const QSize &taille)
    {
        f.show();
        if (!QTest::qWaitForWindowExposed(&f))
            return false;
        for (int essai = 0; essai < 20 && vue->size() != taille; ++essai) {
            f.resize(f.size() + taille - vue->size());
            QTest::qWait(5);
        }
        return vue->size() == taille;
    }
};

// The scene's items in drawing order.
struct Elements {
    QList<QGraphicsPathItem *> chemins;
    QList<QGraphicsTextItem *> textes;
    QList<QGraphicsLineItem *> lignes;

    explicit Elements(QGraphicsScene *scene)
    {
        for (QGraphicsItem *i : scene->items(Qt::AscendingOrder)) {
            if (auto *c = qgraphicsitem_cast<QGraphicsPathItem *>(i))
                chemins << c;
            else if (auto *t = qgraphicsitem_cast<QGraphicsTextItem *>(i))
                textes << t;
            else if (auto *l = qgraphicsitem_cast<QGraphicsLineItem *>(i))
                lignes << l;
        }
    }
    QGraphicsTextItem *texte(const QString &contenu) const
    {
        for (QGraphicsTextItem *t : textes)
            if (t->toPlainText() == contenu)
                return t;
        return nullptr;
    }
    // Texts of the labels in `taille`-point Courier, in drawing order.
    QStringList etiquettes(int taille) const
    {
        QStringList l;
        for (QGraphicsTextItem *t : textes)
            if (t->font().pointSize() == taille)
                l << t->toPlainText();
        return l;
    }
    // Paths of the coloured courses (width 2, solid, square cap, bevel join), with their colour.
    QList<QColor> couleurs_tracees() const
    {
        QList<QColor> l;
        for (QGraphicsPathItem *c : chemins) {
            const QPen p = c->pen();
            if (p.widthF() == 2 && p.style() == Qt::SolidLine && p.capStyle() == Qt::SquareCap &&
                p.joinStyle() == Qt::BevelJoin && !c->path().isEmpty())
                l << p.color();
        }
        return l;
    }
};

QString texte_date(int jour, int mois)
{
    return QString::number(jour) + QLatin1Char(' ') + mois_courts.at(mois - 1);
}

QString position(const QPointF &p)
{
    return QStringLiteral("(%1, %2)").arg(p.x()).arg(p.y());
}

bool meme_position(const QPointF &a, const QPointF &b)
{
    return std::abs(a.x() - b.x()) <= tolerance_position &&
           std::abs(a.y() - b.y()) <= tolerance_position;
}

// Label of legend row `k` and its stroke: a 10-unit stroke at y = y_legende + 15 k, the label
// 10 units right of its start and one row higher.
void verifier_rang_legende(const Scene &scene, const Elements &e, const QString &etiquette, int k,
                           const QColor &couleur)
{
    QGraphicsTextItem *t = e.texte(etiquette);
    QVERIFY2(t, qPrintable(etiquette + " is not on the scene"));
    const QPointF attendu(scene.x_legende + 10, scene.y_legende + 15 * k - 15);
    QVERIFY2(
        meme_position(t->pos(), attendu),
        qPrintable(etiquette + ": expected " + position(attendu) + ", got " + position(t->pos())));
    QCOMPARE(t->defaultTextColor(), couleur);
    QCOMPARE(t->font().family(), QStringLiteral("Courier"));
    QVERIFY(!t->font().bold());
    const QLineF trait(scene.x_legende, scene.y_legende + 15 * k, scene.x_legende + 10,
                       scene.y_legende + 15 * k);
    bool trouve = false;
    for (QGraphicsLineItem *l : e.lignes)
        trouve = trouve || (l->line() == trait && l->pen().color() == couleur);
    QVERIFY2(trouve, qPrintable(QStringLiteral("no legend stroke in row %1").arg(k)));
}

const QString avertissement_douze =
    QStringLiteral("Attention! | Vous ne pouvez pas afficher plus 12 dates simultanément!");

} // namespace

class TestDates : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void conversionHeure_data();
    void conversionHeure();
    void calendrier_data();
    void calendrier();
    void curseurVersDate_data();
    void curseurVersDate();
    void dateVersCurseur_data();
    void dateVersCurseur();
    void dateSaisie();
    void latitude_data();
    void latitude();

    void dateCourante();
    void demarrage_data();
    void demarrage();
    void modeMois_data();
    void modeMois();
    void anneeZeroPuisAnneeValide();
    void limites_data();
    void limites();
    void heures();
    void datesEnregistrees();
    void dateCouranteEnregistreePuisLatitude();
    void nuitPolaireEntreDeuxDates();
    void latitudeGardeLesDatesDeLaNuit();
    void ordreDeDessin();
    void redimensionnement();

    void douzeDatesAuPlus();
    void remplacementDUneDate();
    void changementDeMode();
    void balayageDesLatitudes_data();
    void balayageDesLatitudes();
};

void TestDates::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
}

void TestDates::cleanup()
{
    const auto fenetres = QApplication::topLevelWidgets();
    for (QWidget *w : fenetres)
        QVERIFY2(!w->isVisible(), qPrintable(w->objectName() + " was left open"));
}

void TestDates::conversionHeure_data()
{
    QTest::addColumn<double>("heure");
    QTest::addColumn<QString>("texte");
    QTest::newRow("half past six") << 6.5 << "6h30";
    QTest::newRow("quarter past seven") << 7.25 << "7h15";
    QTest::newRow("noon") << 12.0 << "12h00";
    QTest::newRow("polar sunrise 0") << 0.0 << "0h00";
    QTest::newRow("polar sunset 24") << 24.0 << "24h00";
    QTest::newRow("45.498 min round down") << 13.7583 << "13h45";
    QTest::newRow("9.6 min round to 10, no extra zero") << 6.16 << "6h10";
    QTest::newRow("day length 19.69 - 4.31") << 19.69 - 4.31 << "15h23";
    QTest::newRow("59.4 min stay 59") << 9.99 << "9h59";
    // 0.125 h = 7.5 min exactly (a binary fraction): the half minute rounds up.
    QTest::newRow("7.5 min exactly round up to 8") << 6.125 << "6h08";
    QTest::newRow("59.7 min carry into the hour") << 6.995 << "7h00";
    QTest::newRow("a hair below 24 carries to 24h00") << 23.9999 << "24h00";
}

void TestDates::conversionHeure()
{
    // A pure text function: reached through the window's meta-object, as its callers do.
    QFETCH(double, heure);
    QFETCH(QString, texte);
    Fenetre w;
    QString resultat;
    QVERIFY(QMetaObject::invokeMethod(&w.f, "conversion_heure", Q_RETURN_ARG(QString, resultat),
                                      Q_ARG(double, heure)));
    QCOMPARE(resultat, texte);
}

void TestDates::calendrier_data()
{
    QTest::addColumn<int>("annee");
    QTest::addColumn<int>("numero");
    QTest::addColumn<int>("mois");
    QTest::addColumn<int>("jour");
    // Month ends: common 31 59 90 … 334 365, leap 31 60 91 … 335 366.
    QTest::newRow("day 1") << 2023 << 1 << 1 << 1;
    QTest::newRow("day 31 ends January") << 2023 << 31 << 1 << 31;
    QTest::newRow("day 32 starts February") << 2023 << 32 << 2 << 1;
    QTest::newRow("day 60 leap is 29 Feb") << 2024 << 60 << 2 << 29;
    QTest::newRow("day 60 common is 1 Mar") << 2023 << 60 << 3 << 1;
    QTest::newRow("day 335 leap is 30 Nov") << 2024 << 335 << 11 << 30;
    QTest::newRow("day 335 common is 1 Dec") << 2023 << 335 << 12 << 1;
    QTest::newRow("day 365 common") << 2023 << 365 << 12 << 31;
    QTest::newRow("day 365 leap") << 2024 << 365 << 12 << 30;
    QTest::newRow("day 366 leap") << 2024 << 366 << 12 << 31;
    QTest::newRow("day 0 is day 0 of January") << 2023 << 0 << 1 << 0;
    QTest::newRow("day 366 common is day 32 of December") << 2023 << 366 << 12 << 32;
}

void TestDates::calendrier()
{
    QFETCH(int, annee);
    QFETCH(int, numero);
    QFETCH(int, mois);
    QFETCH(int, jour);
    Fenetre w;
    w.date->setDate(QDate(annee, 7, 14));
    int m = 0;
    int j = 0;
    QVERIFY(QMetaObject::invokeMethod(&w.f, "mois_depuis_num", Q_RETURN_ARG(int, m),
                                      Q_ARG(int, numero)));
    QVERIFY(QMetaObject::invokeMethod(&w.f, "jour_depuis_num", Q_RETURN_ARG(int, j),
                                      Q_ARG(int, numero)));
    QCOMPARE(m, mois);
    QCOMPARE(j, jour);
}

void TestDates::curseurVersDate_data()
{
    QTest::addColumn<QDate>("depart");
    QTest::addColumn<int>("valeur");
    QTest::addColumn<QDate>("attendue");
    QTest::newRow("60 in a leap year") << QDate(2024, 7, 14) << 60 << QDate(2024, 2, 29);
    QTest::newRow("60 in a common year") << QDate(2023, 7, 14) << 60 << QDate(2023, 3, 1);
    QTest::newRow("366 in a leap year") << QDate(2024, 7, 14) << 366 << QDate(2024, 12, 31);
    QTest::newRow("1 in a common year") << QDate(2023, 7, 14) << 1 << QDate(2023, 1, 1);
}

void TestDates::curseurVersDate()
{
    QFETCH(QDate, depart);
    QFETCH(int, valeur);
    QFETCH(QDate, attendue);
    Fenetre w;
    w.date->setDate(depart);
    w.curseur_date->setValue(valeur);
    QCOMPARE(w.date->date(), attendue);
    QCOMPARE(w.curseur_date->value(), valeur);
    // The rebuild followed the date: row 0 of the table holds it.
    QCOMPARE(w.cellule(0, 0), attendue.toString("dd/MM/yyyy"));
}

void TestDates::dateVersCurseur_data()
{
    QTest::addColumn<QDate>("depart");
    QTest::addColumn<QDate>("arrivee");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("valeur");
    // 15 March is day 31 + 28 + 15 = 74 of a common year.
    QTest::newRow("31 Dec leap to 15 Mar common")
        << QDate(2024, 12, 31) << QDate(2023, 3, 15) << 365 << 74;
    QTest::newRow("15 Mar common to 31 Dec leap")
        << QDate(2023, 3, 15) << QDate(2024, 12, 31) << 366 << 366;
    QTest::newRow("31 Dec leap to 31 Dec common")
        << QDate(2024, 12, 31) << QDate(2023, 12, 31) << 365 << 365;
}

void TestDates::dateVersCurseur()
{
    QFETCH(QDate, depart);
    QFETCH(QDate, arrivee);
    QFETCH(int, maximum);
    QFETCH(int, valeur);
    Fenetre w;
    w.date->setDate(depart);
    QCOMPARE(w.curseur_date->value(), depart.dayOfYear());
    // The slider follows without ever moving the date, not even for a moment.
    QSignalSpy changements(w.date, &QDateEdit::dateChanged);
    w.date->setDate(arrivee);
    QCOMPARE(changements.size(), 1);
    QCOMPARE(changements.at(0).at(0).toDate(), arrivee);
    QCOMPARE(w.date->date(), arrivee);
    QCOMPARE(w.curseur_date->maximum(), maximum);
    QCOMPARE(w.curseur_date->value(), valeur);
    QCOMPARE(w.cellule(0, 0), arrivee.toString("dd/MM/yyyy"));
}

void TestDates::dateSaisie()
{
    // Typing 15 over the day 21: the edit passes through 1 June, which moves the slider; the
    // slider must leave the text being typed alone.
    Fenetre w;
    w.date->setDate(QDate(2021, 6, 21));
    w.date->setSelectedSection(QDateTimeEdit::DaySection);
    QTest::keyClicks(w.date, "15");
    QCOMPARE(w.date->date(), QDate(2021, 6, 15));
    QCOMPARE(w.curseur_date->value(), 166);
    QCOMPARE(w.cellule(0, 0), QStringLiteral("15/06/2021"));
}

void TestDates::latitude_data()
{
    QTest::addColumn<double>("depart");
    QTest::addColumn<QString>("geste");
    QTest::addColumn<double>("attendue");
    QTest::addColumn<int>("curseur");
    // Typing builds the value through 4, 45, 45,5: the whole part is set before the fraction.
    QTest::newRow("typed 45,5 stays") << 0.0 << "type 45,5" << 45.5 << 45;
    // One step up gives 46.5; the slider moves to 46 and sets the spin box to 46.
    QTest::newRow("step up from 45.5 ends at 46") << 45.5 << "key up" << 46.0 << 46;
    QTest::newRow("step down from -45.5 ends at -46") << -45.5 << "key down" << -46.0 << -46;
    QTest::newRow("slider to -30 sets -30") << 12.25 << "slider -30" << -30.0 << -30;
    // A held key: the presses queued before the diagram is drawn are drawn once, at the last.
    QTest::newRow("100 queued key presses on the slider")
        << -50.0 << "100 queued keys" << 50.0 << 50;
}

void TestDates::latitude()
{
    QFETCH(double, depart);
    QFETCH(QString, geste);
    QFETCH(double, attendue);
    QFETCH(int, curseur);
    Fenetre w;
    w.poser_latitude(depart);
    if (geste == "type 45,5") {
        w.latitude->selectAll();
        QTest::keyClicks(w.latitude, "45,5");
    } else if (geste == "key up") {
        QTest::keyClick(w.latitude, Qt::Key_Up);
    } else if (geste == "key down") {
        QTest::keyClick(w.latitude, Qt::Key_Down);
    } else if (geste == "100 queued keys") {
        QSignalSpy reconstructions(w.scene(), &Scene::reconstruite);
        for (int i = 0; i < 100; ++i)
            QCoreApplication::postEvent(
                w.curseur_latitude, new QKeyEvent(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier));
        // The event loop runs: the presses, then the rebuild put off behind them (waited for,
        // as a slow build takes longer over the hundred presses).
        QTRY_VERIFY_WITH_TIMEOUT(Elements(w.scene()).texte(QStringLiteral("Latitude: 50°")), 10000);
        QVERIFY2(reconstructions.count() <= 2,
                 qPrintable(QString::number(reconstructions.count())));
    } else {
        w.curseur_latitude->setValue(-30);
    }
    QCOMPARE(w.latitude->value(), attendue);
    QCOMPARE(w.curseur_latitude->value(), curseur);
    const QString legende = "Latitude: " + QString::number(attendue) + "°";
    QVERIFY2(Elements(w.scene()).texte(legende), qPrintable(legende + " is not on the scene"));
}

void TestDates::dateCourante()
{
    Fenetre w;
    w.poser_latitude(45);
    w.date->setDate(QDate(2021, 6, 21));
    const Elements e(w.scene());

    // Caption: 10 px from the left and 30 px above the bottom of the view.
    QGraphicsTextItem *legende = e.texte("Latitude: 45°");
    QVERIFY(legende);
    QCOMPARE(legende->font().family(), QStringLiteral("Courier"));
    QCOMPARE(legende->font().pointSize(), 11);
    QCOMPARE(legende->font().weight(), 75);
    QCOMPARE(legende->pos(), QPointF(10 - w.vue->width() / 2, w.vue->height() / 2 - 30));

    // One course, red, 1 px, round cap and join, labelled in legend row 0.
    QCOMPARE(e.chemins.size(), 1);
    const QPen p = e.chemins.at(0)->pen();
    QCOMPARE(p.color(), QColor(Qt::red));
    QCOMPARE(p.widthF(), 1.0);
    QCOMPARE(p.style(), Qt::SolidLine);
    QCOMPARE(p.capStyle(), Qt::RoundCap);
    QCOMPARE(p.joinStyle(), Qt::RoundJoin);
    QCOMPARE(e.chemins.at(0)->brush().style(), Qt::NoBrush);
    QCOMPARE(e.etiquettes(10), QStringList({"21 juin"}));
    verifier_rang_legende(*w.scene(), e, "21 juin", 0, Qt::red);

    QCOMPARE(w.tableau->rowCount(), 1);
    QCOMPARE(w.ligne(0), QStringList({"21/06/2021", "4h18", "19h43", "15h25"}));
    QCOMPARE(w.tableau->item(0, 2)->textAlignment(), int(Qt::AlignCenter));
}

void TestDates::demarrage_data()
{
    QTest::addColumn<QDate>("aujourdhui");
    QTest::newRow("31 December of a leap year: day 366") << QDate(2024, 12, 31);
    QTest::newRow("31 December of a common year: day 365") << QDate(2021, 12, 31);
    QTest::newRow("29 February") << QDate(2024, 2, 29);
}

void TestDates::demarrage()
{
    // The window starts on the day it is given: the slider reaches that day without moving
    // the date, and Mode 2 counts in its year.
    QFETCH(QDate, aujourdhui);
    Fenetre_Principale f(nullptr, aujourdhui);
    QCOMPARE(f.findChild<QDateEdit *>("Date")->date(), aujourdhui);
    auto *curseur = f.findChild<QSlider *>("slider_date");
    QCOMPARE(curseur->maximum(), aujourdhui.daysInYear());
    QCOMPARE(curseur->value(), aujourdhui.dayOfYear());
    QCOMPARE(f.findChild<QSpinBox *>("spinBox_annee")->value(), aujourdhui.year());
}

void TestDates::modeMois_data()
{
    QTest::addColumn<int>("jour");
    QTest::addColumn<int>("annee");
    QTest::addColumn<QList<int>>("mois");
    QTest::newRow("day 31") << 31 << 2021 << QList<int>{1, 3, 5, 7, 8, 10, 12};
    QTest::newRow("day 30") << 30 << 2021 << QList<int>{1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    QTest::newRow("day 29 leap year")
        << 29 << 2024 << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    QTest::newRow("day 29 common year")
        << 29 << 2023 << QList<int>{1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    QTest::newRow("year 1, the first")
        << 15 << 1 << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
}

void TestDates::modeMois()
{
    QFETCH(int, jour);
    QFETCH(int, annee);
    QFETCH(QList<int>, mois);
    Fenetre w;
    w.latitude->setValue(45);
    w.mode2->trigger();
    w.jour->setValue(jour);
    w.annee->setValue(annee);
    const Elements e(w.scene());

    // Month m takes colour entry m; the c-th valid month takes legend row c and table row c.
    QList<QColor> attendues;
    QStringList etiquettes, dates;
    for (int m : mois) {
        attendues << couleurs[m - 1];
        etiquettes << texte_date(jour, m);
        dates << QDate(annee, m, jour).toString("dd/MM/yyyy");
    }
    QCOMPARE(e.couleurs_tracees(), attendues);
    QCOMPARE(e.etiquettes(10), etiquettes);
    for (int c = 0; c < mois.size(); ++c)
        verifier_rang_legende(*w.scene(), e, etiquettes.at(c), c, attendues.at(c));
    QCOMPARE(w.colonne_dates(), dates);
}

void TestDates::anneeZeroPuisAnneeValide()
{
    Fenetre w;
    w.mode2->trigger();
    w.jour->setValue(31);
    // A year the calendar lacks is not taken: the first year stays, its months drawn.
    w.annee->setValue(0);
    QCOMPARE(w.annee->value(), 1);
    QCOMPARE(w.tableau->rowCount(), 7);
    QCOMPARE(w.cellule(0, 0), QStringLiteral("31/01/0001"));
    w.annee->setValue(2021);
    QCOMPARE(w.tableau->rowCount(), 7);
    QCOMPARE(w.cellule(0, 0), QStringLiteral("31/01/2021"));
    QCOMPARE(w.cellule(6, 0), QStringLiteral("31/12/2021"));
}

void TestDates::limites_data()
{
    QTest::addColumn<double>("latitude");
    QTest::addColumn<int>("annee");
    QTest::addColumn<QString>("etiquette1");
    QTest::addColumn<QString>("etiquette2");
    // Limit days: 173 and 356 up to 66.55; 70: 23, 173, 323; -70: 141, 356, 205.
    // Day 173 is 22 June of a common year and 21 June of a leap year; 356 is 22 December;
    // 323 is 19 November (18 in a leap year); 141 is 21 May; 205 is 24 July.
    QTest::newRow("45, common year") << 45.0 << 2021 << "22 juin"
                                     << "22 déc.";
    QTest::newRow("66.55 exactly, one date") << 66.55 << 2021 << "22 juin"
                                             << "22 déc.";
    QTest::newRow("70, common year") << 70.0 << 2021 << "23 janv./19 nov."
                                     << "22 juin";
    QTest::newRow("70, leap year") << 70.0 << 2024 << "23 janv./18 nov."
                                   << "21 juin";
    QTest::newRow("-70, common year") << -70.0 << 2021 << "21 mai/24 juil."
                                      << "22 déc.";
}

void TestDates::limites()
{
    QFETCH(double, latitude);
    QFETCH(int, annee);
    QFETCH(QString, etiquette1);
    QFETCH(QString, etiquette2);
    Fenetre w;
    w.date->setDate(QDate(annee, 3, 10));
    w.poser_latitude(latitude);
    w.limite->click();
    QVERIFY(w.heures->isEnabled());
    const Elements e(w.scene());

    int rouges = 0;
    for (QGraphicsPathItem *c : e.chemins) {
        const QPen p = c->pen();
        if (p.color() == Qt::red && p.widthF() == 2.0 && p.style() == Qt::SolidLine &&
            p.capStyle() == Qt::RoundCap && p.joinStyle() == Qt::RoundJoin)
            ++rouges;
    }
    QCOMPARE(rouges, 2);
    for (const QString &texte : {etiquette1, etiquette2}) {
        QGraphicsTextItem *t = e.texte(texte);
        QVERIFY2(t, qPrintable(texte + " is not on the scene"));
        QCOMPARE(t->defaultTextColor(), QColor(Qt::red));
        QCOMPARE(t->font().pointSize(), 10);
        QCOMPARE(t->font().weight(), 75);
    }
    // The limit days get no table row.
    QCOMPARE(w.tableau->rowCount(), 1);
}

void TestDates::heures()
{
    Fenetre w;
    w.date->setDate(QDate(2021, 3, 10));
    w.latitude->setValue(45);
    w.limite->click();
    w.heures->click();
    Elements e(w.scene());

    // Limit days at 45°: sunrises 4.30 and 7.72, sunsets 19.71 and 16.29, so hours 4 to 19
    // (floored, not 20). At 4h and past 19.71 the sun is below the horizon on every day, so the
    // lines drawn are 5h to 19h, noon left out.
    QStringList attendues;
    for (int h = 5; h <= 19; ++h)
        if (h != 12)
            attendues << QString::number(h) + "h";
    QStringList lues = e.etiquettes(8);
    std::sort(lues.begin(), lues.end(), [](const QString &a, const QString &b) {
        return a.chopped(1).toInt() < b.chopped(1).toInt();
    });
    QCOMPARE(lues, attendues);
    int pointilles = 0;
    for (QGraphicsPathItem *c : e.chemins) {
        const QPen p = c->pen();
        if (p.style() != Qt::CustomDashLine)
            continue;
        ++pointilles;
        QCOMPARE(p.color(), QColor(Qt::red));
        QCOMPARE(p.widthF(), 1.0);
        QCOMPARE(p.capStyle(), Qt::RoundCap);
        QCOMPARE(p.joinStyle(), Qt::RoundJoin);
        // 7, 8, 7, closed by the gap of 1 that the toolkit gives an odd pattern.
        QCOMPARE(p.dashPattern(), QVector<qreal>({7, 8, 7, 1}));
    }
    QCOMPARE(pointilles, attendues.size());

    // Unticking "Délimiter la course" takes the hour lines away with the limit courses.
    w.limite->click();
    QVERIFY(!w.heures->isChecked());
    QVERIFY(!w.heures->isEnabled());
    e = Elements(w.scene());
    QCOMPARE(e.chemins.size(), 1);
    QVERIFY(e.etiquettes(8).isEmpty());
}

void TestDates::datesEnregistrees()
{
    // Saved in any order, drawn in order of day of the year; the one equal to the current date
    // is drawn once, in red, and the next ones take the colours without a gap.
    Fenetre w;
    w.latitude->setValue(45);
    for (const QDate &d : {QDate(2021, 9, 1), QDate(2021, 2, 10), QDate(2021, 5, 5)})
        w.sauver(d);
    QVERIFY(w.reinitialiser->isEnabled());
    w.date->setDate(QDate(2021, 5, 5));
    const Elements e(w.scene());
    QCOMPARE(e.couleurs_tracees(), QList<QColor>({couleurs[0], couleurs[1]}));
    verifier_rang_legende(*w.scene(), e, "5 mai", 0, Qt::red);
    verifier_rang_legende(*w.scene(), e, "10 févr.", 1, couleurs[0]);
    verifier_rang_legende(*w.scene(), e, "1 sept.", 2, couleurs[1]);
    QCOMPARE(w.colonne_dates(), QStringList({"05/05/2021", "10/02/2021", "01/09/2021"}));
}

void TestDates::dateCouranteEnregistreePuisLatitude()
{
    // The current date saved, then the latitude changed: that date is still drawn once, in
    // red: one course, one label, one table row.
    Fenetre w;
    w.poser_latitude(45);
    w.sauver(QDate(2021, 6, 21));
    w.latitude->setValue(46);
    const Elements e(w.scene());
    QCOMPARE(e.chemins.size(), 1);
    QCOMPARE(e.etiquettes(10), QStringList({"21 juin"}));
    QCOMPARE(w.colonne_dates(), QStringList({"21/06/2021"}));
}

void TestDates::nuitPolaireEntreDeuxDates()
{
    // At -70 the polar night runs from day 142 to 204: 15 June lies in it.
    Fenetre w;
    w.latitude->setValue(-70);
    for (const QDate &d : {QDate(2021, 4, 1), QDate(2021, 6, 15), QDate(2021, 9, 1)})
        w.sauver(d);
    w.date->setDate(QDate(2021, 1, 1));
    const Elements e(w.scene());

    // 15 June draws no course but keeps colour 2, its legend row and its table row.
    QCOMPARE(e.couleurs_tracees(), QList<QColor>({couleurs[0], couleurs[2]}));
    QCOMPARE(e.lignes.size(), 4);
    verifier_rang_legende(*w.scene(), e, "1 janv.", 0, Qt::red);
    verifier_rang_legende(*w.scene(), e, "1 avr.", 1, couleurs[0]);
    verifier_rang_legende(*w.scene(), e, "15 juin", 2, couleurs[1]);
    verifier_rang_legende(*w.scene(), e, "1 sept.", 3, couleurs[2]);

    // Polar day for the current date.
    QCOMPARE(w.tableau->rowCount(), 4);
    QCOMPARE(w.ligne(0), QStringList({"01/01/2021", "0h00", "24h00", "24h00"}));
    QCOMPARE(w.ligne(1), QStringList({"01/04/2021", "6h42", "17h19", "10h37"}));
    QCOMPARE(w.ligne(2), QStringList({"15/06/2021", "-", "-", "-"}));
    QCOMPARE(w.ligne(3), QStringList({"01/09/2021", "7h32", "16h29", "8h57"}));

    // The current date in the polar night keeps its row with "-", and its legend row.
    w.date->setDate(QDate(2021, 6, 20));
    QCOMPARE(w.ligne(0), QStringList({"20/06/2021", "-", "-", "-"}));
    verifier_rang_legende(*w.scene(), Elements(w.scene()), "20 juin", 0, Qt::red);
}

void TestDates::latitudeGardeLesDatesDeLaNuit()
{
    // At 80 the polar night runs from day 290 to day 56: the winter dates lose their times in
    // one rebuild, and keep their rows.
    Fenetre w;
    w.latitude->setValue(60);
    for (const QDate &d : {QDate(2021, 1, 15), QDate(2021, 2, 1), QDate(2021, 4, 1),
                           QDate(2021, 11, 15), QDate(2021, 12, 1)})
        w.sauver(d);
    w.date->setDate(QDate(2021, 6, 21));
    QCOMPARE(w.tableau->rowCount(), 6);
    w.latitude->setValue(80);
    QCOMPARE(w.colonne_dates(), QStringList({"21/06/2021", "15/01/2021", "01/02/2021", "01/04/2021",
                                             "15/11/2021", "01/12/2021"}));
    QCOMPARE(w.ligne(1), QStringList({"15/01/2021", "-", "-", "-"}));
    QVERIFY(w.ligne(3).at(1) != QLatin1String("-"));
}

void TestDates::ordreDeDessin()
{
    // Caption, current date, limit courses, hour lines, then the saved dates on top.
    Fenetre w;
    w.latitude->setValue(45);
    w.sauver(QDate(2021, 2, 10));
    w.date->setDate(QDate(2021, 6, 21));
    w.limite->click();
    w.heures->click();
    const Elements e(w.scene());
    QCOMPARE(e.textes.first()->toPlainText(), QStringLiteral("Latitude: 45°"));
    QStringList ordre;
    for (QGraphicsPathItem *c : e.chemins) {
        const QPen p = c->pen();
        const QString nature = p.style() == Qt::CustomDashLine ? "hours"
                               : p.color() != Qt::red          ? "saved"
                               : p.widthF() == 1               ? "current"
                                                               : "limit";
        if (ordre.isEmpty() || ordre.last() != nature)
            ordre << nature;
    }
    QCOMPARE(ordre, QStringList({"current", "limit", "hours", "saved"}));
}

void TestDates::redimensionnement()
{
    Fenetre w;
    w.latitude->setValue(45);
    w.date->setDate(QDate(2021, 6, 21));
    // The first show fits the scene to the view.
    w.f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.f));
    QCOMPARE(w.scene()->sceneRect().size(), QSizeF(w.vue->size()));

    QVERIFY2(w.montrer(QSize(900, 700)), "the view could not be sized to 900 x 700");
    // min(900 - 300, 700 - 140) = 560.
    QCOMPARE(w.scene()->diametre0(), 560);
    QCOMPARE(w.scene()->sceneRect(), QRectF(-450, -350, 900, 700));
    QCOMPARE(w.scene()->x_legende, -440.0);
    QCOMPARE(w.scene()->y_legende, -335.0);
    const Elements e(w.scene());
    QCOMPARE(e.texte("Latitude: 45°")->pos(), QPointF(-440, 320));
    verifier_rang_legende(*w.scene(), e, "21 juin", 0, Qt::red);
    // The course was drawn again on the new disc: it rises on the horizon circle of radius 280.
    const QPointF lever = e.chemins.at(0)->path().elementAt(0);
    const double rayon = std::hypot(lever.x(), lever.y());
    QVERIFY2(std::abs(rayon - 280) <= tolerance_horizon,
             qPrintable(QStringLiteral("sunrise at radius %1, expected 280").arg(rayon)));
    // Hidden, not closed: closing a changed study asks about its changes.
    w.f.hide();
}

void TestDates::douzeDatesAuPlus()
{
    Fenetre w;
    auto repondeur = Repondeur::a_chaque_boite(QStringLiteral("OK"));
    const auto douze = [&] {
        for (int i = 0; i < 12; ++i)
            w.sauver(QDate(2021, i + 1, 10));
    };
    douze();
    // Saving a date already saved is ignored without a word.
    w.sauver(QDate(2021, 1, 10));
    QVERIFY2(repondeur.titres_et_textes().isEmpty(),
             qPrintable(repondeur.titres_et_textes().join('\n')));
    w.sauver(QDate(2021, 1, 20));
    QCOMPARE(repondeur.titres_et_textes(), QStringList({avertissement_douze}));
    w.date->setDate(QDate(2021, 6, 30));
    QCOMPARE(Elements(w.scene()).couleurs_tracees().size(), 12);

    w.reinitialiser->click();
    QVERIFY(!w.reinitialiser->isEnabled());
    QCOMPARE(w.tableau->rowCount(), 1);
    QVERIFY(Elements(w.scene()).couleurs_tracees().isEmpty());
    repondeur.boites.clear();
    for (int i = 0; i < 12; ++i)
        w.sauver(QDate(2022, i + 1, 5));
    QVERIFY2(repondeur.titres_et_textes().isEmpty(),
             qPrintable(repondeur.titres_et_textes().join('\n')));
    w.sauver(QDate(2022, 1, 6));
    QCOMPARE(repondeur.titres_et_textes(), QStringList({avertissement_douze}));
    // No other modal window came, and every box had its OK button.
    QVERIFY2(repondeur.erreurs.isEmpty(), qPrintable(repondeur.erreurs.join('\n')));
}

void TestDates::remplacementDUneDate()
{
    // 1 March 2023 takes the slot of 29 February 2024 (both day 60) and the count stays at one:
    // eleven more dates then make twelve without a warning, and only the next one warns.
    Fenetre w;
    auto repondeur = Repondeur::a_chaque_boite(QStringLiteral("OK"));
    w.latitude->setValue(45);
    w.sauver(QDate(2024, 2, 29));
    w.sauver(QDate(2023, 3, 1));
    for (int i = 0; i < 11; ++i)
        w.sauver(QDate(2023, 4, 10 + i));
    QVERIFY2(repondeur.titres_et_textes().isEmpty(),
             qPrintable(repondeur.titres_et_textes().join('\n')));
    w.sauver(QDate(2023, 5, 1));
    QCOMPARE(repondeur.titres_et_textes(), QStringList({avertissement_douze}));

    w.date->setDate(QDate(2023, 8, 1));
    const Elements e(w.scene());
    QVERIFY(e.texte("1 mars"));
    QVERIFY(!e.texte("29 févr."));
    QCOMPARE(w.tableau->rowCount(), 13);
    // No other modal window came, and every box had its OK button.
    QVERIFY2(repondeur.erreurs.isEmpty(), qPrintable(repondeur.erreurs.join('\n')));
}

void TestDates::changementDeMode()
{
    Fenetre w;
    const QStringList mode1 = {"label_date", "Date", "slider_date", "Bouton_Enregistrer_Date"};
    const QStringList mode2 = {"label_numero_jour", "spinBox_numero_jour", "label_annee",
                               "spinBox_annee"};
    const auto visibles = [&](const QStringList &noms, bool attendu) {
        for (const QString &nom : noms) {
            QWidget *widget = w.f.findChild<QWidget *>(nom);
            QVERIFY2(widget->isVisibleTo(&w.f) == attendu,
                     qPrintable(nom + (attendu ? " is hidden" : " is shown")));
        }
    };
    visibles(mode1, true);
    visibles(mode2, false);
    w.sauver(QDate(2021, 2, 10));
    w.date->setDate(QDate(2021, 6, 21));
    QCOMPARE(w.tableau->rowCount(), 2);

    w.mode2->trigger();
    QVERIFY(w.mode2->isChecked());
    QVERIFY(!w.mode1->isChecked());
    visibles(mode1, false);
    visibles(mode2, true);
    QVERIFY(!w.reinitialiser->isVisibleTo(&w.f));

    w.mode1->trigger();
    QVERIFY(w.mode1->isChecked());
    QVERIFY(!w.mode2->isChecked());
    visibles(mode1, true);
    visibles(mode2, false);
    QVERIFY(w.reinitialiser->isVisibleTo(&w.f));
    QVERIFY(!w.reinitialiser->isEnabled());
    // The saved date is gone and the table restarts from row 0 for the current date.
    QCOMPARE(w.colonne_dates(), QStringList({"21/06/2021"}));
    QVERIFY(Elements(w.scene()).couleurs_tracees().isEmpty());

    // Choosing the active mode again resets it as well.
    w.sauver(QDate(2021, 2, 10));
    w.date->setDate(QDate(2021, 6, 22));
    QCOMPARE(w.tableau->rowCount(), 2);
    w.mode1->trigger();
    QVERIFY(w.mode1->isChecked());
    QCOMPARE(w.tableau->rowCount(), 1);
}

namespace
{
// Counts the toolkit's warnings (a point that is not a number, a bad pen) while it lives.
struct CompteurAvertissements {
    static inline int nombre = 0;
    static inline QStringList messages;
    QtMessageHandler precedent;
    CompteurAvertissements()
    {
        nombre = 0;
        messages.clear();
        precedent = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext &, const QString &message) {
                if (type != QtDebugMsg && type != QtInfoMsg) {
                    ++nombre;
                    messages << message;
                }
            });
    }
    ~CompteurAvertissements() { qInstallMessageHandler(precedent); }
};

bool fini(const QPointF &p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}
} // namespace

void TestDates::balayageDesLatitudes_data()
{
    QTest::addColumn<bool>("modeMois");
    QTest::newRow("Mode 1, current date and three saved dates") << false;
    QTest::newRow("Mode 2, the 21st of each month") << true;
}

void TestDates::balayageDesLatitudes()
{
    // Latitudes from pole to pole, with the limit courses and the hour lines: the diagram must hold
    // only numbers (every point of every path, every label's place) and the toolkit must not warn,
    // at the poles, on the polar circles, on the tropics and at the equator alike.
    QFETCH(bool, modeMois);
    Fenetre w;
    w.date->setDate(QDate(2021, 6, 21));
    if (modeMois) {
        w.mode2->trigger();
        w.annee->setValue(2021);
        w.jour->setValue(21);
    } else {
        w.sauver(QDate(2021, 1, 5));
        w.sauver(QDate(2021, 4, 1));
        w.sauver(QDate(2021, 10, 30));
        w.date->setDate(QDate(2021, 6, 21));
    }
    w.limite->click();
    w.heures->click();

    // Every whole degree, and every quarter degree within two degrees of the tropics and of
    // the polar circles, where the courses and the limit days change their kind.
    QVector<double> latitudes;
    for (int degre = -90; degre <= 90; ++degre)
        latitudes << degre;
    for (double bord : {-66.55, -23.45, 23.45, 66.55})
        for (int quart = -8; quart <= 8; ++quart)
            latitudes << std::round(bord) + quart / 4.0;
    latitudes << -66.55 << -23.45 << 23.45 << 66.55;

    const CompteurAvertissements avertissements;
    int chemins = 0;
    for (const double latitude : latitudes) {
        w.poser_latitude(latitude);
        QCOMPARE(w.latitude->value(), latitude);
        for (QGraphicsItem *item : w.scene()->items()) {
            QVERIFY2(fini(item->pos()), qPrintable(QStringLiteral("an item at latitude %1 is "
                                                                  "placed at (%2, %3)")
                                                       .arg(latitude)
                                                       .arg(item->pos().x())
                                                       .arg(item->pos().y())));
            if (auto *chemin = qgraphicsitem_cast<QGraphicsPathItem *>(item)) {
                ++chemins;
                const QPainterPath p = chemin->path();
                for (int i = 0; i < p.elementCount(); ++i)
                    QVERIFY2(fini(p.elementAt(i)),
                             qPrintable(QStringLiteral("point %1 of a path at latitude %2 is "
                                                       "not a number")
                                            .arg(i)
                                            .arg(latitude)));
            }
        }
    }
    QVERIFY(chemins > latitudes.size());
    QVERIFY2(avertissements.nombre == 0,
             qPrintable(CompteurAvertissements::messages.mid(0, 5).join(QLatin1Char('\n'))));
}

QTEST_MAIN(TestDates)
#include "tst_dates.moc"
