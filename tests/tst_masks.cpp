// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// The "Masques" group as a user meets it: the table and its cell editors, "Ajouter des
// lignes", "Effacer le tableau", "Tracer les Masques" with its warnings, "Conserver les
// masques" through rebuilds, and many random tables checked against a simple model of what
// a valid table is. The outline's geometry is checked in tst_masks_trace.cpp.
#include "app/fenetre_principale.h"
#include "diagram/scene.h"
#include "horizon/horizon.h"
#include "masks/ensoleillement.h"
#include "masks/points_masque.h"
#include "solar/heure_legale.h"
#include "tests/repondeur.h"
#include "tests/tst_masks_trace.h"

#include <QtTest>

#include <QCheckBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QGraphicsPathItem>
#include <QGraphicsTextItem>
#include <QGraphicsView>
#include <QGroupBox>
#include <QHeaderView>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTableView>
#include <QTableWidget>
#include <QTimeZone>

#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace
{

// Path elements of the outline drawn by the window and of the one drawn from the expected
// points agree to this (scene units); both come from the same arithmetic.
constexpr double tolerance_element = 1e-9;

const QColor gris(127, 127, 127);

// The program's warnings, word for word.
const QString titre_attention = QStringLiteral("Attention!");
const QString texte_vide =
    QStringLiteral("Le tableau est vide! Remplissez-le avant de retenter le traçage des masques.");
const QString texte_incomplet =
    QStringLiteral("Le tracé n'a pu s'effectuer pour la raison suivante: Certaines lignes du "
                   "tableau sont incomplètes.");
const QString texte_lignes_vides =
    QStringLiteral("Le tracé n'a pu s'effectuer pour la raison suivante: Des lignes vides ont "
                   "été rencontrées dans la série de données.");
const QString titre_azimut = QStringLiteral("Problème d'azimut!");
const QString texte_azimut = QStringLiteral(
    "Seules les première et dernière lignes du tableau peuvent avoir la même valeur d'azimut. "
    "De plus, pour un azimut donné il ne peut y avoir 2 hauteurs!");
const QString titre_ordre = QStringLiteral("Problème d'ordre des azimuts!");
const QString texte_ordre =
    QStringLiteral("Veuillez remplir le tableau en plaçant les azimuts dans le sens horaire à "
                   "partir de 0° (de 0° à -180°, puis de +180° à 0°).");
const QString suite_trop_de_lignes =
    QStringLiteral(" lignes au total!! C'est un peu beaucoup, vous ne trouvez pas?");

enum class Verdict { Trace, Vide, Incomplet, LignesVides, Valeur, Azimut, Ordre };

// Whether the box offers the OK button alone.
bool ok_seul(const Boite_vue &boite)
{
    return boite.standards == QMessageBox::Ok;
}

QString boites_texte(const QList<Boite_vue> &boites)
{
    QStringList t;
    for (const Boite_vue &b : boites)
        t << b.titre + QStringLiteral(" / ") + b.texte;
    return QStringLiteral("[") + t.join(QStringLiteral("; ")) + QStringLiteral("]");
}

// What went wrong while the boxes of the current test were answered (a modal window that is
// not a message box, a box without OK); checked and emptied after each test.
QStringList erreurs_des_boites;

// One row of a table: each cell empty (nullopt) or a value in degrees.
struct Ligne {
    std::optional<double> azimut;
    std::optional<double> hauteur;
};

// "a h" per row, "_" for an empty cell: {"-90 10", "_ 10", "_ _"}.
QVector<Ligne> lire_lignes(const QStringList &texte)
{
    QVector<Ligne> lignes;
    for (const QString &l : texte) {
        const QStringList c = l.split(QLatin1Char(' '));
        Ligne ligne;
        if (c.value(0) != QLatin1String("_"))
            ligne.azimut = c.value(0).toDouble();
        if (c.value(1) != QLatin1String("_"))
            ligne.hauteur = c.value(1).toDouble();
        lignes << ligne;
    }
    return lignes;
}

// What a valid table is, told in other words than the program's: the table is a run of
// full rows followed only by empty rows; azimuths are all different, except that the last
// point may repeat the first one exactly; and walking down the table each step goes
// clockwise round the sky (east from north, across the south, back up the west to north),
// never passing north: within the east half (negative, with 0 as its start) and within the
// west half (positive) azimuths never rise; from the east one may step to the west, from the
// west only to 0, from 0 only into the east half (0 included).
Verdict verdict_attendu(const QVector<Ligne> &lignes, QVector<QPointF> *points)
{
    enum Etat { Pleine, Vide, Demi };
    QVector<Etat> etats;
    for (const Ligne &l : lignes)
        etats << (l.azimut && l.hauteur ? Pleine : !l.azimut && !l.hauteur ? Vide : Demi);
    if (!etats.contains(Pleine) && !etats.contains(Demi))
        return Verdict::Vide;
    int n = 0;
    while (n < etats.size() && etats[n] == Pleine)
        ++n;
    if (n < etats.size() && etats[n] == Demi)
        return Verdict::Incomplet;
    if (etats.mid(n).count(Vide) != etats.size() - n)
        return Verdict::LignesVides;

    // How many times each azimuth occurs among the points.
    std::map<double, QVector<int>> rangs;
    for (int i = 0; i < n; ++i)
        rangs[*lignes[i].azimut] << i;
    for (const auto &r : rangs) {
        const QVector<int> &ou = r.second;
        if (ou.size() > 2)
            return Verdict::Azimut;
        if (ou.size() == 2 &&
            !(ou[0] == 0 && ou[1] == n - 1 && *lignes[0].hauteur == *lignes[n - 1].hauteur))
            return Verdict::Azimut;
    }

    enum Demie { Est, Nord, Ouest };
    const auto demie = [](double a) { return a < 0 ? Est : a == 0 ? Nord : Ouest; };
    for (int i = 0; i + 1 < n; ++i) {
        const double a = *lignes[i].azimut;
        const double b = *lignes[i + 1].azimut;
        bool permis = false;
        switch (demie(a)) {
        case Nord:
            permis = demie(b) != Ouest;
            break;
        case Est:
            permis = demie(b) == Ouest || (demie(b) == Est && b <= a);
            break;
        case Ouest:
            permis = demie(b) == Nord || (demie(b) == Ouest && b <= a);
            break;
        }
        if (!permis)
            return Verdict::Ordre;
    }
    if (points) {
        points->clear();
        for (int i = 0; i < n; ++i)
            *points << QPointF(*lignes[i].azimut, *lignes[i].hauteur);
    }
    return Verdict::Trace;
}

QPair<QString, QString> boite_attendue(Verdict v)
{
    switch (v) {
    case Verdict::Vide:
        return {titre_attention, texte_vide};
    case Verdict::Incomplet:
        return {titre_attention, texte_incomplet};
    case Verdict::LignesVides:
        return {titre_attention, texte_lignes_vides};
    case Verdict::Azimut:
        return {titre_azimut, texte_azimut};
    case Verdict::Ordre:
        return {titre_ordre, texte_ordre};
    case Verdict::Valeur:
    case Verdict::Trace:
        break;
    }
    return {};
}

// The main window, shown, and what the mask tests reach in it by the widgets' names.
struct Fenetre {
    Fenetre_Principale fenetre;
    QTableView *vue = nullptr;
    QSpinBox *nb_lignes = nullptr;
    QPushButton *ajouter = nullptr;
    QPushButton *effacer = nullptr;
    QPushButton *tracer = nullptr;
    QCheckBox *conserver = nullptr;
    QDoubleSpinBox *latitude = nullptr;
    Scene *scene = nullptr;

    Fenetre()
    {
        vue = fenetre.findChild<QTableView *>(QStringLiteral("tableView_masques"));
        nb_lignes = fenetre.findChild<QSpinBox *>(QStringLiteral("spinBox_nbLignes_tab"));
        ajouter = fenetre.findChild<QPushButton *>(QStringLiteral("Bouton_ajoutLignes"));
        effacer = fenetre.findChild<QPushButton *>(QStringLiteral("bouton_effacer_tableau"));
        tracer = fenetre.findChild<QPushButton *>(QStringLiteral("bouton_masques"));
        conserver = fenetre.findChild<QCheckBox *>(QStringLiteral("check_conserver_masques"));
        latitude = fenetre.findChild<QDoubleSpinBox *>(QStringLiteral("latitude"));
        scene = qobject_cast<Scene *>(
            fenetre.findChild<QGraphicsView *>(QStringLiteral("graphicsView"))->scene());
        fenetre.show();
    }
    QAbstractItemModel *modele() const { return vue->model(); }

    // Clicks `bouton` and answers the boxes that it shows.
    QList<Boite_vue> cliquer(QAbstractButton *bouton)
    {
        auto repondeur = Repondeur::a_chaque_boite(QStringLiteral("OK"));
        QTest::mouseClick(bouton, Qt::LeftButton);
        erreurs_des_boites += repondeur.erreurs;
        return repondeur.boites;
    }
    QList<Boite_vue> changer_latitude(double valeur)
    {
        auto repondeur = Repondeur::a_chaque_boite(QStringLiteral("OK"));
        latitude->setValue(valeur);
        erreurs_des_boites += repondeur.erreurs;
        return repondeur.boites;
    }
    QList<Boite_vue> ajouter_lignes(int n)
    {
        nb_lignes->setValue(n);
        return cliquer(ajouter);
    }
    // Fills the cells that `lignes` gives a value, through the model as the cell editors
    // write them (doubles under the edit role), after adding with "Ajouter des lignes" the
    // rows it needs; the other cells are left as they are.
    void remplir(const QVector<Ligne> &lignes)
    {
        if (lignes.size() > modele()->rowCount())
            ajouter_lignes(lignes.size() - modele()->rowCount());
        for (int r = 0; r < lignes.size(); ++r) {
            if (lignes[r].azimut)
                modele()->setData(modele()->index(r, 0), *lignes[r].azimut, Qt::EditRole);
            if (lignes[r].hauteur)
                modele()->setData(modele()->index(r, 1), *lignes[r].hauteur, Qt::EditRole);
        }
    }

    // The outline items now on the scene: paths filled with the mask grey.
    QVector<QGraphicsPathItem *> contours() const
    {
        QVector<QGraphicsPathItem *> trouves;
        const auto items = scene->items();
        for (QGraphicsItem *item : items) {
            auto *p = qgraphicsitem_cast<QGraphicsPathItem *>(item);
            if (p && p->brush().style() == Qt::SolidPattern && p->brush().color() == gris)
                trouves << p;
        }
        return trouves;
    }
    int legendes_latitude() const
    {
        int n = 0;
        const auto items = scene->items();
        for (QGraphicsItem *item : items) {
            auto *t = qgraphicsitem_cast<QGraphicsTextItem *>(item);
            if (t && t->toPlainText().startsWith(QLatin1String("Latitude")))
                ++n;
        }
        return n;
    }
};

// Opens the cell editor on (ligne, colonne) as a double click would.
QDoubleSpinBox *ouvrir_editeur(QTableView *vue, int ligne, int colonne)
{
    const QModelIndex i = vue->model()->index(ligne, colonne);
    vue->setCurrentIndex(i);
    vue->edit(i);
    return qobject_cast<QDoubleSpinBox *>(vue->indexWidget(i));
}

// Types `texte` over the editor's content and presses Enter.
void taper(QTableView *vue, int ligne, int colonne, const QString &texte)
{
    QDoubleSpinBox *editeur = ouvrir_editeur(vue, ligne, colonne);
    QVERIFY2(editeur, "no spin box editor opened");
    QTest::keyClick(editeur, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editeur, texte);
    QTest::keyClick(editeur, Qt::Key_Return);
    // The editor commits and closes through a queued call.
    QTRY_VERIFY(!vue->indexWidget(vue->model()->index(ligne, colonne)));
}

// Whether two paths have the same elements.
bool memes_elements(const QPainterPath &a, const QPainterPath &b)
{
    if (a.elementCount() != b.elementCount())
        return false;
    for (int i = 0; i < a.elementCount(); ++i) {
        const QPainterPath::Element x = a.elementAt(i);
        const QPainterPath::Element y = b.elementAt(i);
        if (x.type != y.type || std::abs(x.x - y.x) > tolerance_element ||
            std::abs(x.y - y.y) > tolerance_element)
            return false;
    }
    return true;
}

// The outline that the Scene draws for `points` on a disc of diameter `diametre`.
QPainterPath contour_de(const QVector<QPointF> &points, int diametre)
{
    Scene reference;
    reference.setDiametre0(diametre);
    reference.tracer_masques(points.constData(), points.size(), QPen(gris), QBrush(gris),
                             QPainterPath());
    for (QGraphicsItem *item : reference.items())
        if (auto *p = qgraphicsitem_cast<QGraphicsPathItem *>(item))
            return p->path();
    return {};
}

// A fresh table as "Effacer le tableau" and the window's construction leave it: 6 empty rows
// under the two headers, both columns 115 wide, "Conserver les masques" unticked and disabled,
// no outline.
void verifier_tableau_neuf(Fenetre &f)
{
    QCOMPARE(f.modele()->rowCount(), 6);
    QCOMPARE(f.modele()->columnCount(), 2);
    QCOMPARE(f.modele()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Azimut (°)"));
    QCOMPARE(f.modele()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Hauteur (°)"));
    QCOMPARE(f.vue->columnWidth(0), 115);
    QCOMPARE(f.vue->columnWidth(1), 115);
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 2; ++c)
            QVERIFY2(f.modele()->index(r, c).data().isNull(),
                     qPrintable(QStringLiteral("cell %1,%2 is not empty").arg(r).arg(c)));
    QVERIFY(!f.conserver->isEnabled());
    QVERIFY(!f.conserver->isChecked());
    QCOMPARE(f.contours().size(), 0);
}

} // namespace

Q_DECLARE_METATYPE(Verdict)
Q_DECLARE_METATYPE(Jonction_Masque)
Q_DECLARE_METATYPE(Type_Projection)

class TestMasques : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void tableauInitial();
    void ajoutLignes_data();
    void ajoutLignes();
    void effacerTableau();
    void editeurs_data();
    void editeurs();
    void editeurReprendLaValeur();
    void caseLaisseeVide_data();
    void caseLaisseeVide();
    void saisie_data();
    void saisie();

    void validation_data();
    void validation();
    void echecGardeLeContour_data();
    void echecGardeLeContour();

    void conserverMasques();
    void masqueSousLesCourses();
    void conserverAvecTableauInvalide();

    void tablesAleatoires();

    void reglesDesCellules_data();
    void reglesDesCellules();
    void texteDansLeTableau();
    void soleilMasque_data();
    void soleilMasque();
    void soleilSelonLeDessin_data();
    void soleilSelonLeDessin();
    void colonnesDuMasque_data();
    void colonnesDuMasque();
};

void TestMasques::cleanup()
{
    const QStringList erreurs = std::exchange(erreurs_des_boites, QStringList());
    QVERIFY2(erreurs.isEmpty(), qPrintable(erreurs.join('\n')));
    // A test never leaves a window or a box open behind it.
    const auto fenetres = QApplication::topLevelWidgets();
    for (QWidget *w : fenetres)
        QVERIFY2(!w->isVisible(), qPrintable(w->objectName() + " was left open"));
}

void TestMasques::tableauInitial()
{
    Fenetre f;
    verifier_tableau_neuf(f);
}

void TestMasques::ajoutLignes_data()
{
    QTest::addColumn<QVector<int>>("demandes");
    QTest::addColumn<int>("lignes");
    QTest::addColumn<QStringList>("avertissements");

    // 6 rows to start with and at most 500 in all.
    QTest::newRow("494 to 6 gives 500") << QVector<int>{494} << 500 << QStringList();
    QTest::newRow("495 to 6 warns 501") << QVector<int>{495} << 6 << QStringList{"501"};
    QTest::newRow("499 to 6 warns 505") << QVector<int>{499} << 6 << QStringList{"505"};
    QTest::newRow("0 does nothing") << QVector<int>{0} << 6 << QStringList();
    QTest::newRow("1 to 6 gives 7") << QVector<int>{1} << 7 << QStringList();
    QTest::newRow("10 then 20 gives 36") << QVector<int>{10, 20} << 36 << QStringList();
    QTest::newRow("1 more at 500 warns 501") << QVector<int>{494, 1} << 500 << QStringList{"501"};
    QTest::newRow("0 at 500 does nothing") << QVector<int>{494, 0} << 500 << QStringList();
}

void TestMasques::ajoutLignes()
{
    QFETCH(QVector<int>, demandes);
    QFETCH(int, lignes);
    QFETCH(QStringList, avertissements);

    Fenetre f;
    f.modele()->setData(f.modele()->index(0, 0), -20.0);
    f.modele()->setData(f.modele()->index(0, 1), 10.0);
    QList<Boite_vue> boites;
    for (int n : demandes) {
        boites += f.ajouter_lignes(n);
        QCOMPARE(f.nb_lignes->value(), n); // the spin box keeps its value
    }
    QCOMPARE(f.modele()->rowCount(), lignes);
    QVERIFY2(boites.size() == avertissements.size(), qPrintable(boites_texte(boites)));
    for (int i = 0; i < boites.size(); ++i) {
        QCOMPARE(boites[i].titre, titre_attention);
        QCOMPARE(boites[i].texte, avertissements[i] + suite_trop_de_lignes);
        QVERIFY(ok_seul(boites[i]));
    }
    // Rows go below the last one, empty; the first row keeps its point.
    QCOMPARE(f.modele()->index(0, 0).data().toDouble(), -20.0);
    for (int r = 1; r < lignes; ++r)
        QVERIFY2(f.modele()->index(r, 0).data().isNull() && f.modele()->index(r, 1).data().isNull(),
                 qPrintable(QStringLiteral("row %1 is not empty").arg(r)));
}

void TestMasques::effacerTableau()
{
    Fenetre f;
    f.ajouter_lignes(20);
    f.remplir(lire_lignes({"-20 10", "-90 20", "170 5"}));
    QVERIFY2(f.cliquer(f.tracer).isEmpty(), "the table is valid");
    QTest::mouseClick(f.conserver, Qt::LeftButton);
    QVERIFY(f.conserver->isChecked());
    QCOMPARE(f.contours().size(), 1);

    QPointer<QAbstractItemModel> ancien = f.modele();
    const QList<Boite_vue> boites = f.cliquer(f.effacer);
    QVERIFY2(boites.isEmpty(), qPrintable(boites_texte(boites)));
    verifier_tableau_neuf(f);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(f.legendes_latitude(), 1);

    // The cleared model is gone, and so are the selection models made for it.
    QVERIFY(ancien.isNull());
    for (int i = 0; i < 5; ++i)
        f.cliquer(f.effacer);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(f.fenetre.findChildren<QStandardItemModel *>().size(), 1);
    int selections = 0;
    for (auto *s : f.vue->findChildren<QItemSelectionModel *>())
        selections += s->model() == f.modele() ? 0 : 1;
    QCOMPARE(selections, 0);
    QVERIFY2(f.cliquer(f.tracer).size() == 1, "a cleared table is empty");
}

void TestMasques::editeurs_data()
{
    QTest::addColumn<int>("colonne");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::newRow("azimuth") << 0 << -180.0 << 180.0;
    QTest::newRow("height") << 1 << 0.0 << 90.0;
}

void TestMasques::editeurs()
{
    QFETCH(int, colonne);
    QFETCH(double, minimum);
    QFETCH(double, maximum);

    Fenetre f;
    QDoubleSpinBox *editeur = ouvrir_editeur(f.vue, 2, colonne);
    QVERIFY2(editeur, "no spin box editor opened");
    QCOMPARE(editeur->minimum(), minimum);
    QCOMPARE(editeur->maximum(), maximum);
    QCOMPARE(editeur->decimals(), 2);
    QCOMPARE(editeur->singleStep(), 1.0);
    QCOMPARE(editeur->geometry(), f.vue->visualRect(f.modele()->index(2, colonne)));

    // Nor can the editor's own value leave the range.
    editeur->setValue(maximum + 1000);
    QCOMPARE(editeur->value(), maximum);

    // The editors belong to the columns: after "Effacer le tableau" they still edit the new
    // model.
    QTest::keyClick(editeur, Qt::Key_Escape);
    f.cliquer(f.effacer);
    taper(f.vue, 0, colonne, QStringLiteral("12"));
    QCOMPARE(f.modele()->index(0, colonne).data(), QVariant(12.0));
}

void TestMasques::editeurReprendLaValeur()
{
    Fenetre f;
    f.modele()->setData(f.modele()->index(1, 0), -37.25);
    QDoubleSpinBox *editeur = ouvrir_editeur(f.vue, 1, 0);
    QVERIFY(editeur);
    QCOMPARE(editeur->value(), -37.25);
}

void TestMasques::caseLaisseeVide_data()
{
    QTest::addColumn<QStringList>("avant");
    QTest::addColumn<QString>("geste");

    // Each ends with row 1 empty, so that the table of row 0 alone is drawn.
    QTest::newRow("editor on an empty cell left with Enter") << QStringList{"-20 10"} << "Entree";
    QTest::newRow("editor on an empty cell left by clicking Tracer les Masques")
        << QStringList{"-20 10"} << "Tracer";
    QTest::newRow("row selected, Delete") << QStringList{"-20 10", "-60 5"} << "Suppr";
    QTest::newRow("row selected, Backspace") << QStringList{"-20 10", "-60 5"} << "Retour";
    QTest::newRow("text erased in the editor") << QStringList{"-20 10", "-60 _"} << "Effacer";
}

void TestMasques::caseLaisseeVide()
{
    QFETCH(QStringList, avant);
    QFETCH(QString, geste);

    Fenetre f;
    QApplication::setActiveWindow(&f.fenetre);
    QVERIFY(QTest::qWaitForWindowActive(&f.fenetre));
    f.remplir(lire_lignes(avant));
    if (geste == "Suppr" || geste == "Retour") {
        f.vue->setFocus();
        f.vue->selectRow(1);
        QTest::keyClick(f.vue, geste == "Suppr" ? Qt::Key_Delete : Qt::Key_Backspace);
        QVERIFY2(!f.vue->indexWidget(f.modele()->index(1, 0)), "an editor was opened");
    } else {
        QDoubleSpinBox *editeur = ouvrir_editeur(f.vue, 1, 0);
        QVERIFY(editeur);
        QTRY_VERIFY(editeur->hasFocus());
        QCOMPARE(editeur->text(), geste == "Effacer" ? QStringLiteral("-60,00") : QString());
        if (geste == "Effacer")
            QTest::keyClick(editeur, Qt::Key_A, Qt::ControlModifier);
        if (geste != "Tracer") {
            if (geste == "Effacer")
                QTest::keyClick(editeur, Qt::Key_Delete);
            QTest::keyClick(editeur, Qt::Key_Return);
            QTRY_VERIFY(!f.vue->indexWidget(f.modele()->index(1, 0)));
        }
    }
    const QList<Boite_vue> boites = f.cliquer(f.tracer);
    for (int c = 0; c < 2; ++c)
        QVERIFY2(f.modele()->index(1, c).data().isNull(),
                 qPrintable(QStringLiteral("cell 1,%1 holds %2")
                                .arg(c)
                                .arg(f.modele()->index(1, c).data().toString())));
    QVERIFY2(boites.isEmpty(), qPrintable(boites_texte(boites)));
    QCOMPARE(f.modele()->index(0, 0).data(), QVariant(-20.0));
    QCOMPARE(f.contours().size(), 1);
}

void TestMasques::saisie_data()
{
    QTest::addColumn<QString>("langue");
    QTest::addColumn<int>("colonne");
    QTest::addColumn<QString>("tape");
    QTest::addColumn<QVariant>("stocke"); // the value stored, or null when refused

    const QVariant refuse;
    QTest::newRow("French, point") << "fr" << 0 << "12.5" << QVariant(12.5);
    QTest::newRow("French, comma") << "fr" << 0 << "-12,5" << QVariant(-12.5);
    QTest::newRow("English, comma") << "en" << 0 << "12,5" << QVariant(12.5);
    QTest::newRow("English, point") << "en" << 1 << "12.25" << QVariant(12.25);
    QTest::newRow("trailing zeros") << "fr" << 1 << "7,500" << QVariant(7.5);
    QTest::newRow("azimuth -180") << "fr" << 0 << "-180" << QVariant(-180.0);
    QTest::newRow("azimuth 180") << "fr" << 0 << "180" << QVariant(180.0);
    QTest::newRow("height 0") << "fr" << 1 << "0" << QVariant(0.0);
    QTest::newRow("height 90") << "fr" << 1 << "90" << QVariant(90.0);
    QTest::newRow("exponent 1e5") << "fr" << 0 << "1e5" << refuse;
    QTest::newRow("group separator 1 000") << "fr" << 0 << "1 000" << refuse;
    QTest::newRow("group separator 1,000.5") << "en" << 0 << "1,000.5" << refuse;
    QTest::newRow("three decimals") << "fr" << 0 << "12,345" << refuse;
    QTest::newRow("letters") << "fr" << 1 << "dix" << refuse;
    QTest::newRow("azimuth 200") << "fr" << 0 << "200" << refuse;
    QTest::newRow("azimuth 181") << "fr" << 0 << "181" << refuse;
    QTest::newRow("azimuth -500") << "fr" << 0 << "-500" << refuse;
    QTest::newRow("azimuth -180,5") << "fr" << 0 << "-180,5" << refuse;
    QTest::newRow("azimuth 1000000") << "fr" << 0 << "1000000" << refuse;
    QTest::newRow("height 95") << "fr" << 1 << "95" << refuse;
    QTest::newRow("height 90,01") << "fr" << 1 << "90,01" << refuse;
    QTest::newRow("height -5") << "fr" << 1 << "-5" << refuse;
    QTest::newRow("height 100") << "fr" << 1 << "100" << refuse;
    QTest::newRow("height 999") << "fr" << 1 << "999" << refuse;
}

void TestMasques::saisie()
{
    QFETCH(QString, langue);
    QFETCH(int, colonne);
    QFETCH(QString, tape);
    QFETCH(QVariant, stocke);

    // Typed over the cell's old value 45. A refused text keeps the editor open on Enter, framed
    // and saying the range; leaving it by a click elsewhere keeps the old value.
    QLocale::setDefault(QLocale(langue == "fr" ? QLocale::French : QLocale::English));
    Fenetre f;
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    QApplication::setActiveWindow(&f.fenetre);
    QVERIFY(QTest::qWaitForWindowActive(&f.fenetre));
    const QModelIndex cellule = f.modele()->index(3, colonne);
    f.modele()->setData(cellule, 45.0);
    QDoubleSpinBox *editeur = ouvrir_editeur(f.vue, 3, colonne);
    QVERIFY(editeur);
    QTRY_VERIFY(editeur->hasFocus());
    QTest::keyClick(editeur, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editeur, tape);
    QCOMPARE(editeur->text(), tape);
    QTest::keyClick(editeur, Qt::Key_Return);
    if (stocke.isNull()) {
        const QString plage = colonne == 0 ? "de -180 à 180" : "de 0 à 90";
        QCOMPARE(f.vue->indexWidget(cellule), static_cast<QWidget *>(editeur));
        QVERIFY2(editeur->toolTip().contains(plage), qPrintable(editeur->toolTip()));
        QVERIFY(!editeur->styleSheet().isEmpty());
        QCOMPARE(editeur->text(), tape);
        f.tracer->setFocus();
        QTRY_VERIFY(!f.vue->indexWidget(cellule));
        QCOMPARE(cellule.data(), QVariant(45.0));
    } else {
        QTRY_VERIFY(!f.vue->indexWidget(cellule));
        QCOMPARE(cellule.data(), stocke);
    }
}

void TestMasques::validation_data()
{
    QTest::addColumn<QStringList>("tableau");
    QTest::addColumn<Verdict>("verdict");

    // Rows "azimuth height", "_" for an empty cell; the table has 6 rows.
    QTest::newRow("fresh table") << QStringList() << Verdict::Vide;
    QTest::newRow("row 0 empty, row 1 full")
        << QStringList{"_ _", "-20 10"} << Verdict::LignesVides;
    QTest::newRow("row 0 with only a height") << QStringList{"_ 10"} << Verdict::Incomplet;
    QTest::newRow("row 0 with only an azimuth") << QStringList{"-20 _"} << Verdict::Incomplet;
    QTest::newRow("full, empty, half")
        << QStringList{"-20 10", "_ _", "-30 _"} << Verdict::LignesVides;
    QTest::newRow("full, half, empty, full")
        << QStringList{"-20 10", "_ 5", "_ _", "-40 10"} << Verdict::Incomplet;
    QTest::newRow("only the last row full")
        << QStringList{"_ _", "_ _", "_ _", "_ _", "_ _", "-20 10"} << Verdict::LignesVides;
    QTest::newRow("full rows then empty rows")
        << QStringList{"-20 10", "-90 20", "_ _", "_ _"} << Verdict::Trace;
    QTest::newRow("one full row") << QStringList{"-45 30"} << Verdict::Trace;
    QTest::newRow("first and last rows equal") << QStringList{"-20 10", "-20 10"} << Verdict::Trace;
    QTest::newRow("first and last rows same azimuth, other height")
        << QStringList{"-20 10", "-20 15"} << Verdict::Azimut;
    QTest::newRow("0 -90 -180 180 90 0")
        << QStringList{"0 10", "-90 20", "-180 30", "180 25", "90 15", "0 10"} << Verdict::Trace;
    QTest::newRow("0 then 90") << QStringList{"0 10", "90 10"} << Verdict::Ordre;
    QTest::newRow("-30 then 0") << QStringList{"-30 10", "0 10"} << Verdict::Ordre;
    QTest::newRow("-170 then 170") << QStringList{"-170 10", "170 20"} << Verdict::Trace;
    QTest::newRow("20 then -20") << QStringList{"20 10", "-20 10"} << Verdict::Ordre;
    QTest::newRow("-10 -20 -10 -30")
        << QStringList{"-10 5", "-20 10", "-10 15", "-30 5"} << Verdict::Azimut;
    QTest::newRow("-10 -20 -10, first and last heights equal")
        << QStringList{"-10 5", "-20 10", "-10 5"} << Verdict::Ordre;
    QTest::newRow("starting west, 170 then 10") << QStringList{"170 10", "10 20"} << Verdict::Trace;
    QTest::newRow("5 then 0") << QStringList{"5 10", "0 10"} << Verdict::Trace;
    QTest::newRow("-5 then 0") << QStringList{"-5 10", "0 10"} << Verdict::Ordre;
    QTest::newRow("-180 then 180") << QStringList{"-180 10", "180 10"} << Verdict::Trace;
    QTest::newRow("180 then -180") << QStringList{"180 10", "-180 10"} << Verdict::Ordre;
    QTest::newRow("height 0 counts as filled") << QStringList{"0 0", "-90 0"} << Verdict::Trace;
    QTest::newRow("90 0 -90 round through the north")
        << QStringList{"90 10", "0 20", "-90 10"} << Verdict::Trace;
}

void TestMasques::validation()
{
    QFETCH(QStringList, tableau);
    QFETCH(Verdict, verdict);

    Fenetre f;
    const QVector<Ligne> lignes = lire_lignes(tableau);
    // Typed cell by cell through the editors, as a user does.
    for (int r = 0; r < lignes.size(); ++r) {
        if (lignes[r].azimut)
            taper(f.vue, r, 0, QString::number(*lignes[r].azimut));
        if (lignes[r].hauteur)
            taper(f.vue, r, 1, QString::number(*lignes[r].hauteur));
    }
    if (QTest::currentTestFailed())
        return;
    const QList<Boite_vue> boites = f.cliquer(f.tracer);

    if (verdict != Verdict::Trace) {
        const auto attendue = boite_attendue(verdict);
        QVERIFY2(boites.size() == 1, qPrintable(boites_texte(boites)));
        QCOMPARE(boites[0].titre, attendue.first);
        QCOMPARE(boites[0].texte, attendue.second);
        QVERIFY(ok_seul(boites[0]));
        QCOMPARE(f.contours().size(), 0);
        QVERIFY(!f.conserver->isEnabled());
        return;
    }
    QVERIFY2(boites.isEmpty(), qPrintable(boites_texte(boites)));
    const auto contours = f.contours();
    QCOMPARE(contours.size(), 1);
    QVERIFY(f.conserver->isEnabled());
    QVERIFY(!f.conserver->isChecked());
    QCOMPARE(f.legendes_latitude(), 1);
    // The points handed to the Scene are the full rows, in table order.
    QVector<QPointF> points;
    for (const Ligne &l : lignes)
        if (l.azimut && l.hauteur)
            points << QPointF(*l.azimut, *l.hauteur);
    QVERIFY2(memes_elements(contours[0]->path(), contour_de(points, f.scene->diametre0())),
             qPrintable(lire_contour(contours[0]->path()).texte()));
    const QPen stylo = contours[0]->pen();
    QCOMPARE(stylo.color(), gris);
    QCOMPARE(stylo.widthF(), 1.0);
    QCOMPARE(stylo.style(), Qt::SolidLine);
    QCOMPARE(stylo.capStyle(), Qt::RoundCap);
    QCOMPARE(stylo.joinStyle(), Qt::RoundJoin);
}

void TestMasques::echecGardeLeContour_data()
{
    QTest::addColumn<QStringList>("tableau");
    QTest::addColumn<Verdict>("verdict");
    QTest::addColumn<bool>("cheminRemisAZero");

    // Steps 1 and 2 stop before the stored path is touched; the azimuth checks come after it
    // is reset.
    // Rows added below the drawn table "-60 10", "-120 20", "150 15".
    QTest::newRow("incomplete row") << QStringList{"_ 20"} << Verdict::Incomplet << false;
    QTest::newRow("empty lines") << QStringList{"_ _", "-20 10"} << Verdict::LignesVides << false;
    QTest::newRow("repeated azimuth") << QStringList{"-60 5"} << Verdict::Azimut << true;
    QTest::newRow("azimuths out of order") << QStringList{"160 15"} << Verdict::Ordre << true;
}

void TestMasques::echecGardeLeContour()
{
    QFETCH(QStringList, tableau);
    QFETCH(Verdict, verdict);
    QFETCH(bool, cheminRemisAZero);

    Fenetre f;
    f.remplir(lire_lignes({"-60 10", "-120 20", "150 15"}));
    QVERIFY(f.cliquer(f.tracer).isEmpty());
    const auto avant = f.contours();
    QCOMPARE(avant.size(), 1);
    const QPainterPath trace = avant[0]->path();
    const int items = f.scene->items().size();

    QPainterPath marque;
    marque.addRect(0, 0, 1, 1);
    f.scene->chemin4 = marque;
    f.remplir(lire_lignes(QStringList{"-60 10", "-120 20", "150 15"} + tableau));
    const QList<Boite_vue> boites = f.cliquer(f.tracer);
    QVERIFY2(boites.size() == 1, qPrintable(boites_texte(boites)));
    QCOMPARE(boites[0].texte, boite_attendue(verdict).second);
    const auto apres = f.contours();
    QCOMPARE(apres.size(), 1);
    QCOMPARE(apres[0], avant[0]);
    QVERIFY(memes_elements(apres[0]->path(), trace));
    QCOMPARE(f.scene->items().size(), items);
    QVERIFY(f.conserver->isEnabled());
    QCOMPARE(f.scene->chemin4.isEmpty(), cheminRemisAZero);
}

void TestMasques::conserverMasques()
{
    Fenetre f;
    f.remplir(lire_lignes({"-60 10", "-120 20", "150 15"}));

    // A plot enables the box; unticked, the next rebuild drops the outline and disables it.
    QVERIFY(f.cliquer(f.tracer).isEmpty());
    QCOMPARE(f.contours().size(), 1);
    QVERIFY(f.conserver->isEnabled());
    QVERIFY(f.changer_latitude(45).isEmpty());
    QCOMPARE(f.contours().size(), 0);
    QVERIFY(!f.conserver->isEnabled());
    QVERIFY(!f.conserver->isChecked());

    // Ticked: every rebuild draws the outline again, on one fresh diagram (one caption).
    QVERIFY(f.cliquer(f.tracer).isEmpty());
    QVERIFY(f.cliquer(f.conserver).isEmpty());
    QVERIFY(f.conserver->isChecked());
    QVERIFY(f.conserver->isEnabled());
    QCOMPARE(f.contours().size(), 1);
    QCOMPARE(f.legendes_latitude(), 1);
    for (double latitude : {-30.0, 60.0, 5.0}) {
        QVERIFY(f.changer_latitude(latitude).isEmpty());
        QCOMPARE(f.contours().size(), 1);
        QCOMPARE(f.legendes_latitude(), 1);
        QVERIFY(f.conserver->isChecked());
        QVERIFY(f.conserver->isEnabled());
    }
    // The outline follows the table as it stands at each rebuild.
    f.remplir(lire_lignes({"-60 10", "-120 20", "150 15", "100 5"}));
    QVERIFY(f.changer_latitude(12).isEmpty());
    const auto contours = f.contours();
    QCOMPARE(contours.size(), 1);
    QVERIFY(
        memes_elements(contours[0]->path(), contour_de({{-60, 10}, {-120, 20}, {150, 15}, {100, 5}},
                                                       f.scene->diametre0())));

    // Unticked by the user: the outline stays, the box stays usable...
    QVERIFY(f.cliquer(f.conserver).isEmpty());
    QVERIFY(!f.conserver->isChecked());
    QVERIFY(f.conserver->isEnabled());
    QCOMPARE(f.contours().size(), 1);
    QCOMPARE(f.legendes_latitude(), 1);
    // ...until the next rebuild.
    QVERIFY(f.changer_latitude(20).isEmpty());
    QCOMPARE(f.contours().size(), 0);
    QVERIFY(!f.conserver->isEnabled());
}

void TestMasques::masqueSousLesCourses()
{
    // A mask from the horizon up to 80° all round but for the two degrees about north hides
    // the summer solstice's noon at latitude 45 (altitude 68.45°, due south); the course
    // is drawn over the grey, and the horizon circle over the grey too.
    Fenetre f;
    f.fenetre.findChild<QDateEdit *>(QStringLiteral("Date"))->setDate(QDate(2023, 6, 21));
    QVERIFY(f.changer_latitude(45).isEmpty());
    f.remplir(lire_lignes({"-1 80", "-90 80", "-180 80", "90 80", "1 80"}));
    QVERIFY(f.cliquer(f.tracer).isEmpty());
    const auto contours = f.contours();
    QCOMPARE(contours.size(), 1);

    QGraphicsPathItem *course = nullptr;
    for (QGraphicsItem *item : f.scene->items()) {
        auto *p = qgraphicsitem_cast<QGraphicsPathItem *>(item);
        if (p && p->pen().color() == QColor(Qt::red) && p->path().elementCount() > 10)
            course = p;
    }
    QVERIFY2(course, "the course of the chosen date is not on the diagram");
    // Noon lies half way along the course, on the disc's vertical axis below the zenith.
    const QPointF midi = course->path().pointAtPercent(0.5);
    QVERIFY2(std::abs(midi.x()) < 1 && midi.y() > 0,
             qPrintable(QStringLiteral("noon at (%1, %2)").arg(midi.x()).arg(midi.y())));
    QVERIFY2(contours[0]->path().contains(midi), "noon is not behind the mask");
    const auto dessus =
        f.scene->items(midi, Qt::IntersectsItemShape, Qt::DescendingOrder, QTransform());
    QVERIFY2(dessus.indexOf(course) >= 0 && dessus.indexOf(course) < dessus.indexOf(contours[0]),
             "the mask lies over the course");
}

void TestMasques::conserverAvecTableauInvalide()
{
    Fenetre f;
    f.remplir(lire_lignes({"-60 10", "-120 20", "150 15"}));
    QVERIFY(f.cliquer(f.tracer).isEmpty());
    QVERIFY(f.cliquer(f.conserver).isEmpty());
    QVERIFY(f.conserver->isChecked());

    // The table turns invalid: each rebuild warns, draws no outline and keeps the box.
    f.remplir(lire_lignes({"-60 10", "-120 20", "150 15", "160 15"}));
    for (double latitude : {10.0, 20.0}) {
        const QList<Boite_vue> boites = f.changer_latitude(latitude);
        QVERIFY2(boites.size() == 1, qPrintable(boites_texte(boites)));
        QCOMPARE(boites[0].titre, titre_ordre);
        QCOMPARE(f.contours().size(), 0);
        QCOMPARE(f.legendes_latitude(), 1);
        QVERIFY(f.conserver->isChecked());
        QVERIFY(f.conserver->isEnabled());
    }
    // Corrected, the next rebuild draws it again.
    taper(f.vue, 3, 0, QStringLiteral("140"));
    QVERIFY(f.changer_latitude(30).isEmpty());
    QCOMPARE(f.contours().size(), 1);
}

void TestMasques::tablesAleatoires()
{
    // Random tables, each judged by the model of a valid table above; a fixed seed keeps
    // every run the same.
    QRandomGenerator alea(20240607);
    const int nb_tables = 200;
    Fenetre f;
    std::map<Verdict, int> verdicts;
    for (int t = 0; t < nb_tables; ++t) {
        f.cliquer(f.effacer);
        const int lignes = 6 + int(alea.bounded(495));
        // Clockwise points first (a quarter of them closed on their first point at north),
        // then damage of one kind or another, or plain noise.
        const int n = 1 + int(alea.bounded(lignes - 1));
        std::vector<Ligne> tableau(static_cast<std::size_t>(lignes));
        QVector<double> azimuts;
        for (int i = 0; i < n; ++i)
            azimuts << (int(alea.bounded(721)) - 360) * 0.5; // -180..180 by halves
        std::sort(azimuts.begin(), azimuts.end(), [](double a, double b) {
            const auto horaire = [](double x) { return x <= 0 ? -x : 360 - x; };
            return horaire(a) < horaire(b);
        });
        if (alea.bounded(4) != 0)
            azimuts.erase(std::unique(azimuts.begin(), azimuts.end()), azimuts.end());
        const bool ferme = alea.bounded(4) == 0;
        if (ferme)
            azimuts.front() = 0.0;
        for (int i = 0; i < azimuts.size(); ++i) {
            tableau[i].azimut = azimuts[i];
            tableau[i].hauteur = alea.bounded(361) * 0.25;
        }
        if (ferme)
            tableau[azimuts.size()] = tableau[0];
        const int filled = azimuts.size() + (ferme ? 1 : 0);
        switch (alea.bounded(12)) {
        case 0: // a cell emptied
            if (alea.bounded(2))
                tableau[alea.bounded(filled)].azimut.reset();
            else
                tableau[alea.bounded(filled)].hauteur.reset();
            break;
        case 1: // a row emptied
            tableau[alea.bounded(filled)] = {};
            break;
        case 2: // two rows swapped
            std::swap(tableau[alea.bounded(filled)], tableau[alea.bounded(filled)]);
            break;
        case 3: // an azimuth repeated
            tableau[alea.bounded(filled)].azimut = tableau[alea.bounded(filled)].azimut;
            break;
        case 4: // a lone cell further down
            tableau[alea.bounded(lignes)].hauteur = alea.bounded(91);
            break;
        case 5: // noise: every cell empty or random
            for (Ligne &l : tableau) {
                l = {};
                if (alea.bounded(3))
                    l.azimut = alea.bounded(361) - 180.0;
                if (alea.bounded(3))
                    l.hauteur = alea.bounded(91) * 1.0;
            }
            break;
        default: // left as made
            break;
        }
        QVector<QPointF> points;
        const QVector<Ligne> table(tableau.begin(), tableau.end());
        const Verdict attendu = verdict_attendu(table, &points);

        f.remplir(table);
        const QList<Boite_vue> boites = f.cliquer(f.tracer);
        const auto contours = f.contours();
        const QString quoi =
            QStringLiteral("table %1 (%2 rows, %3 filled)").arg(t).arg(lignes).arg(filled);
        ++verdicts[attendu];
        if (attendu == Verdict::Trace) {
            QVERIFY2(boites.isEmpty(), qPrintable(quoi + boites_texte(boites)));
            QVERIFY2(contours.size() == 1, qPrintable(quoi));
            QVERIFY2(memes_elements(contours[0]->path(), contour_de(points, f.scene->diametre0())),
                     qPrintable(quoi));
        } else {
            QVERIFY2(boites.size() == 1, qPrintable(quoi + boites_texte(boites)));
            QVERIFY2(boites[0].texte == boite_attendue(attendu).second,
                     qPrintable(quoi + QStringLiteral(" expected ") +
                                boite_attendue(attendu).second + QStringLiteral(", got ") +
                                boites[0].texte));
            QVERIFY2(contours.isEmpty(), qPrintable(quoi));
        }
        QCOMPARE(f.modele()->rowCount(), lignes);
    }
    // Every outcome turns up, valid tables in good number, or the test proves little.
    QString bilan;
    for (const auto &v : verdicts)
        bilan += QStringLiteral(" %1:%2").arg(int(v.first)).arg(v.second);
    QVERIFY2(verdicts.size() == 6 && verdicts[Verdict::Trace] >= nb_tables / 5,
             qPrintable(QStringLiteral("outcomes (kind:count)") + bilan));
    qInfo("outcomes (kind:count):%s", qPrintable(bilan));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(f.fenetre.findChildren<QStandardItemModel *>().size(), 1);
}

void TestMasques::reglesDesCellules_data()
{
    // The table's own cases, and values that reach the table other than by its editors: the
    // first bad cell's row is named, and the rows' own problems come first.
    validation_data();
    QTest::newRow("text as an azimuth") << QStringList{"-20 10", "est 10"} << Verdict::Valeur;
    QTest::newRow("NaN height") << QStringList{"-20 nan"} << Verdict::Valeur;
    QTest::newRow("infinite azimuth") << QStringList{"inf 10"} << Verdict::Valeur;
    QTest::newRow("azimuth 180.5") << QStringList{"-20 10", "180.5 10"} << Verdict::Valeur;
    QTest::newRow("height -0.5") << QStringList{"-20 -0.5"} << Verdict::Valeur;
    QTest::newRow("height 90.5") << QStringList{"-20 90.5"} << Verdict::Valeur;
    QTest::newRow("azimuth -180 and height 90, the limits")
        << QStringList{"-180 90"} << Verdict::Trace;
    QTest::newRow("text in an incomplete row") << QStringList{"-20 x", "_ 5"} << Verdict::Incomplet;
    QTest::newRow("text before a repeated azimuth")
        << QStringList{"-20 10", "-20 x"} << Verdict::Valeur;
}

void TestMasques::reglesDesCellules()
{
    QFETCH(QStringList, tableau);
    QFETCH(Verdict, verdict);

    // Cells: "_" empty, "nan" a NaN, a number a double, anything else text; 6 rows at least.
    std::vector<Ligne_Masque> lignes(static_cast<std::size_t>(std::max(6, int(tableau.size()))));
    int ligne_fautive = 0;
    QVector<QPointF> points;
    for (int r = 0; r < tableau.size(); ++r) {
        const QStringList c = tableau[r].split(QLatin1Char(' '));
        QVariant cellules[2];
        bool bonne = true;
        for (int k = 0; k < 2; ++k) {
            bool nombre = false;
            const double v = c[k].toDouble(&nombre);
            if (c[k] == QLatin1String("nan"))
                cellules[k] = qQNaN();
            else if (nombre)
                cellules[k] = v;
            else if (c[k] != QLatin1String("_"))
                cellules[k] = c[k];
            const double bas = k == 0 ? -180 : 0;
            const double haut = k == 0 ? 180 : 90;
            bonne = bonne && (c[k] == QLatin1String("_") || (nombre && v >= bas && v <= haut));
        }
        if (!bonne && ligne_fautive == 0)
            ligne_fautive = r + 1;
        lignes[r] = {cellules[0], cellules[1]};
        if (!cellules[0].isNull() && !cellules[1].isNull())
            points << QPointF(cellules[0].toDouble(), cellules[1].toDouble());
    }

    const Points_Masque lus = points_masque(lignes);
    const Verdict lu = lus.probleme == Probleme_Masque::Aucun         ? Verdict::Trace
                       : lus.probleme == Probleme_Masque::Vide        ? Verdict::Vide
                       : lus.probleme == Probleme_Masque::Incomplet   ? Verdict::Incomplet
                       : lus.probleme == Probleme_Masque::LignesVides ? Verdict::LignesVides
                       : lus.probleme == Probleme_Masque::Valeur      ? Verdict::Valeur
                       : lus.probleme == Probleme_Masque::Azimut      ? Verdict::Azimut
                                                                      : Verdict::Ordre;
    QCOMPARE(lu, verdict);
    if (verdict == Verdict::Trace) {
        QCOMPARE(QVector<QPointF>(lus.points.begin(), lus.points.end()), points);
        QCOMPARE(lus.titre(), QString());
    } else if (verdict == Verdict::Valeur) {
        QCOMPARE(lus.titre(), titre_attention);
        QCOMPARE(lus.texte(),
                 QStringLiteral("Le tracé n'a pu s'effectuer pour la raison suivante: La ligne %1 "
                                "contient une valeur qui n'est pas un nombre ou qui sort des "
                                "limites (azimut de -180° à 180°, hauteur de 0° à 90°).")
                     .arg(ligne_fautive));
        QVERIFY(lus.points.empty());
    } else {
        QCOMPARE(lus.titre(), boite_attendue(verdict).first);
        QCOMPARE(lus.texte(), boite_attendue(verdict).second);
        QVERIFY(lus.points.empty());
    }
}

void TestMasques::texteDansLeTableau()
{
    // Text put into a cell other than by its editor (as a file does) is refused by "Tracer
    // les Masques"; nothing is drawn.
    Fenetre f;
    f.modele()->setData(f.modele()->index(0, 0), -20.0);
    f.modele()->setData(f.modele()->index(0, 1), QStringLiteral("haut"));
    const QList<Boite_vue> boites = f.cliquer(f.tracer);
    QVERIFY2(boites.size() == 1, qPrintable(boites_texte(boites)));
    QCOMPARE(boites[0].titre, titre_attention);
    QVERIFY2(boites[0].texte.contains(QStringLiteral("La ligne 1 contient")),
             qPrintable(boites[0].texte));
    QCOMPARE(f.contours().size(), 0);
}

void TestMasques::soleilMasque_data()
{
    QTest::addColumn<double>("latitude");
    QTest::addColumn<int>("jour");
    QTest::addColumn<QVector<QPointF>>("points");
    QTest::addColumn<double>("direct");
    QTest::addColumn<double>("masque");

    // Latitude 45, 21 June (day 172), by hand with the program's model:
    //   δ = -23.45 sin(2π (172 + 101) / 365.25) = 23.44695°;
    //   cos H0 = -tan 45° tan δ, H0 = 115.7034°: sunrise 12 - H0/15 = 4.28644 h, rounded up
    //   to 4.30; sunset 19.71356 h, rounded to 19.71; the day lasts 15.41 h.
    //   Noon height 90 - 45 + δ = 68.45°.
    //   Due east or west when cos H = tan δ / tan φ = 0.43370, H = 64.2966°, at 7.71356 h and
    //   16.28644 h, at a height asin(sin δ / sin φ) = 34.2438°: above 30°, so a 30° mask over
    //   the south half (east round to west) hides nothing.
    //   At 40°: cos H = (sin 40° - sin φ sin δ) / (cos φ cos δ) = 0.55720, H = 56.1415°, at
    //   8.25723 h: hidden from 7.71356 to 8.25723 h and as long before 16.28644 h,
    //   2 × 0.54367 = 1.08735 h.
    const double jour_45 = 15.41;
    const QVector<QPointF> tour_0 = {{0, 0}, {-90, 0}, {-180, 0}, {90, 0}, {0, 0}};
    const QVector<QPointF> tour_70 = {{0, 70}, {-90, 70}, {-180, 70}, {90, 70}, {0, 70}};
    QTest::newRow("no mask: the day length") << 45.0 << 172 << QVector<QPointF>() << jour_45 << 0.0;
    QTest::newRow("height 0 all round: the day length") << 45.0 << 172 << tour_0 << jour_45 << 0.0;
    QTest::newRow("70 all round, above the noon sun") << 45.0 << 172 << tour_70 << 0.0 << jour_45;
    // 0° over the east half, 70° over the west: only the afternoon, from noon due south (12 h)
    // to sunset (19.71 h), is behind the mask.
    QTest::newRow("0 over the east half hides nothing of the morning")
        << 45.0 << 172 << QVector<QPointF>{{0, 0}, {-90, 0}, {-180, 70}, {90, 70}, {0, 0}}
        << 12.0 - 4.30 << 19.71 - 12.0;
    QTest::newRow("30 over the south half: the sun passes above")
        << 45.0 << 172 << QVector<QPointF>{{-90, 30}, {90, 30}} << jour_45 << 0.0;
    QTest::newRow("40 over the south half")
        << 45.0 << 172 << QVector<QPointF>{{-90, 40}, {90, 40}} << jour_45 - 1.08735 << 1.08735;
    // Open outline: the last point ends it. Only the east half from north (0 down to -180):
    // the morning of the 40° case alone.
    QTest::newRow("40 over the south-east quarter, ending at south")
        << 45.0 << 172 << QVector<QPointF>{{-90, 40}, {-180, 40}} << jour_45 - 0.54367 << 0.54367;
    // Latitude 80 on 21 December: polar night (δ = -23.44°), no sun to hide.
    QTest::newRow("polar night") << 80.0 << 355 << tour_70 << 0.0 << 0.0;
    // Latitude 80 on 21 June: polar day, 24 h of sun; noon height 90 - 80 + 23.45 = 33.45°,
    // midnight height 23.45 - 10 = 13.45°: a 10° mask all round hides nothing.
    QTest::newRow("polar day above a 10 degree mask")
        << 80.0 << 172 << QVector<QPointF>{{0, 10}, {-90, 10}, {-180, 10}, {90, 10}, {0, 10}}
        << 24.0 << 0.0;
}

void TestMasques::soleilMasque()
{
    QFETCH(double, latitude);
    QFETCH(int, jour);
    QFETCH(QVector<QPointF>, points);
    QFETCH(double, direct);
    QFETCH(double, masque);
    // Each change of state is found within a second; the hand values are good to 0.4 s.
    const double tolerance_heures = 3.0 / 3600.0;
    const std::vector<QPointF> contour(points.begin(), points.end());
    const Ensoleillement e = ensoleillement(Soleil(), jour, latitude, contour);
    QVERIFY2(std::abs(e.soleil_direct - direct) <= tolerance_heures &&
                 std::abs(e.masque - masque) <= tolerance_heures,
             qPrintable(QStringLiteral("direct %1 h (expected %2), masked %3 h (expected %4)")
                            .arg(e.soleil_direct, 0, 'f', 5)
                            .arg(direct, 0, 'f', 5)
                            .arg(e.masque, 0, 'f', 5)
                            .arg(masque, 0, 'f', 5)));
    // The outline prepared for the day's many azimuths is the outline point by point.
    const Profil_Masque profil(contour);
    for (int k = 0; k <= 1440; ++k) {
        const double azimut = -180.0 + k * 0.25;
        QCOMPARE(profil.hauteur(azimut), hauteur_contour(contour, azimut));
    }
}

void TestMasques::soleilSelonLeDessin_data()
{
    QTest::addColumn<QVector<QPointF>>("points");
    QTest::addColumn<Jonction_Masque>("jonction");
    QTest::addColumn<Type_Projection>("projection");
    // Where the accurate sun's count is checked, degrees.
    QTest::addColumn<QVector<double>>("latitudes");
    const auto paliers = Jonction_Masque::Paliers;
    const auto ligne = Jonction_Masque::Ligne;
    const auto disque = Type_Projection::Equidistante;
    const QVector<double> latitudes = {-60, 10, 45, 70};
    const QVector<QPointF> ouvert = {{-60, 10}, {-120, 35}, {150, 25}, {100, 5}};
    const QVector<QPointF> par_le_nord = {{-90, 25}, {-180, 40}, {90, 15},
                                          {0, 5},    {-45, 30},  {-90, 25}};
    QTest::newRow("open, east round the south to west") << ouvert << paliers << disque << latitudes;
    QTest::newRow("closed on itself at north")
        << QVector<QPointF>{{0, 10}, {-90, 20}, {-180, 30}, {90, 15}, {0, 10}} << paliers << disque
        << latitudes;
    QTest::newRow("closed on itself in the east, through north")
        << par_le_nord << paliers << disque << latitudes;
    QVector<QPointF> dents;
    QRandomGenerator alea(7);
    for (int k = 0; k < 500; ++k)
        dents << QPointF(k < 250 ? -0.72 * k : 180 - 0.72 * (k - 250), alea.bounded(400) / 10.0);
    QTest::newRow("jagged, 500 points (fixed seed)") << dents << paliers << disque << latitudes;
    QTest::newRow("straight lines, jagged, 500 points (fixed seed)")
        << dents << ligne << disque << latitudes;
    QTest::newRow("straight lines, open, stereographic")
        << ouvert << ligne << Type_Projection::Stereographique << latitudes;
    QTest::newRow("straight lines through north, cylindrical")
        << par_le_nord << ligne << Type_Projection::Cylindrique << latitudes;
    // An imported compass file whose line climbs from 0 to 89.9° across north, between 359.99°
    // and 0.01°: at -22.5° on 21 June the sun, 44° high at noon, leaves it there.
    const std::vector<QPointF> raide =
        horizon_en_ligne({{270, 0}, {359.99, 0}, {0.01, 89.9}, {90, 89.9}, {180, 0}},
                         Convention_Azimut::Nord, lignes_masque_max)
            .points;
    QTest::newRow("straight lines, steep just east of north, accurate sun at -22.5")
        << QVector<QPointF>(raide.begin(), raide.end()) << ligne << disque
        << QVector<double>{-22.5};
}

void TestMasques::soleilSelonLeDessin()
{
    // The sun counts as behind the mask exactly where the drawn outline is filled: its
    // positions every two minutes of three days at 45° (21 March, June and December),
    // projected on a 540 disc or a 720 x 360 chart, lie inside the filled outline when the
    // outline's height at their azimuth is above them, and outside otherwise. Positions within
    // `bord` of the outline in azimuth or height are passed over: the arcs are drawn as curves
    // that stay within a thousandth of the radius of their circles. The heights prepared for
    // the count are those of the outline point by point.
    QFETCH(QVector<QPointF>, points);
    QFETCH(Jonction_Masque, jonction);
    QFETCH(Type_Projection, projection);
    QFETCH(QVector<double>, latitudes);
    const double bord = 0.5; // degrees
    const int diametre = 540;
    Scene scene;
    scene.setDiametre0(diametre);
    scene.setProjection(projection == Type_Projection::Cylindrique
                            ? Projection::cylindrique(QSizeF(720, 360), 45.0, 90.0)
                            : Projection::polaire(projection, diametre));
    scene.tracer_masques(points.constData(), points.size(), QPen(gris), QBrush(gris),
                         QPainterPath(), jonction == Jonction_Masque::Ligne);
    QPainterPath rempli;
    for (QGraphicsItem *item : scene.items())
        if (auto *p = qgraphicsitem_cast<QGraphicsPathItem *>(item))
            rempli = p->path();
    QVERIFY(!rempli.isEmpty());
    const std::vector<QPointF> contour(points.begin(), points.end());
    const Profil_Masque profil(contour, jonction);
    for (int k = 0; k < 14400; ++k) {
        const double azimut = -180.0 + (k + 0.5) * 0.025;
        QVERIFY2(std::abs(profil.hauteur(azimut) - hauteur_contour(contour, azimut, jonction)) <=
                     1e-9,
                 qPrintable(QStringLiteral("at %1: %2 prepared, %3 point by point")
                                .arg(azimut)
                                .arg(profil.hauteur(azimut))
                                .arg(hauteur_contour(contour, azimut, jonction))));
    }
    const auto derriere = [&profil](double azimut, double h) { return profil.hauteur(azimut) > h; };
    const Soleil soleil;
    int comparees = 0;
    for (int jour : {80, 172, 355}) {
        const Soleil::Journee journee = soleil.journee(soleil.declinaison(jour), 45.0);
        for (double t = 0.0; t < 24.0; t += 2.0 / 60.0) {
            const double angle = Soleil::angle_horaire(t);
            const double h = soleil.hauteur(journee, angle);
            if (!(h > bord))
                continue;
            double azimut = soleil.azimut(journee, angle, h);
            if (angle < 0)
                azimut = -azimut;
            const bool cache = derriere(azimut, h);
            bool loin_du_bord = true;
            for (double da : {-bord, bord})
                for (double dh : {-bord, bord})
                    loin_du_bord = loin_du_bord && derriere(azimut + da, h + dh) == cache;
            if (!loin_du_bord)
                continue;
            const QPointF position = scene.projection().point(azimut, h);
            QVERIFY2(rempli.contains(position) == cache,
                     qPrintable(QStringLiteral("day %1, %2 h: azimuth %3, height %4, %5 the mask")
                                    .arg(jour)
                                    .arg(t)
                                    .arg(azimut)
                                    .arg(h)
                                    .arg(cache ? "behind" : "above")));
            ++comparees;
        }
    }
    QVERIFY(comparees > 500);

    // The accurate sun's count, which computes its positions every twenty minutes and between
    // them only where its side of the outline is in doubt, counts as every minute's position
    // would, to the last bit: south, in the tropics (the sun through the zenith), at 45° and
    // in a polar day, or at the row's own latitude.
    const Heure_Legale horloge(QTimeZone("UTC"), 2.33, Modele_Soleil::precis);
    const Soleil_Precis precis;
    for (double latitude : latitudes) {
        for (int jour : {80, 172, 355}) {
            const QDate date = QDate(2026, 1, 1).addDays(jour - 1);
            const Soleil_Precis::Lever_Coucher r = horloge.lever_coucher(date, latitude, false);
            if (r.jamais_leve)
                continue;
            const double lever = std::isnan(r.lever) ? 0.0 : r.lever;
            const double coucher = std::isnan(r.coucher) ? 24.0 : r.coucher;
            const int n = static_cast<int>(std::ceil((coucher - lever) * 60.0));
            std::vector<QPointF> toutes;
            for (const auto &p : horloge.course(date, latitude, lever, coucher, n, false))
                toutes.emplace_back(p.azimut, p.hauteur);
            const Heure_Legale::Course_Precise course =
                horloge.course_precise(date, latitude, lever, coucher, n, false);
            int calculees = 0;
            const auto position = [&](int k) {
                ++calculees;
                const Soleil_Precis::Position p = precis.position(course.repere, course.instant(k));
                return Place_Soleil{p.azimut, p.hauteur, p.hauteur_geometrique};
            };
            const Ensoleillement attendu = ensoleillement(toutes, (coucher - lever) / n, profil);
            const Ensoleillement e = ensoleillement(n, (coucher - lever) / n, position, profil);
            QVERIFY2(e.soleil_direct == attendu.soleil_direct && e.masque == attendu.masque &&
                         calculees < n / 2,
                     qPrintable(QStringLiteral("latitude %1, day %2: %3 h / %4 h from %5 of %6 "
                                               "positions, %7 h / %8 h from all")
                                    .arg(latitude)
                                    .arg(jour)
                                    .arg(e.soleil_direct, 0, 'f', 6)
                                    .arg(e.masque, 0, 'f', 6)
                                    .arg(calculees)
                                    .arg(n + 1)
                                    .arg(attendu.soleil_direct, 0, 'f', 6)
                                    .arg(attendu.masque, 0, 'f', 6)));
        }
    }
}

void TestMasques::colonnesDuMasque_data()
{
    QTest::addColumn<bool>("facade");
    QTest::newRow("mask, six columns") << false;
    QTest::newRow("mask and facade, seven columns") << true;
}

void TestMasques::colonnesDuMasque()
{
    // The output table shows "Soleil direct" and "Masqué" while an outline is drawn, headed as
    // the other columns, and hides them without one. At 45° on 21 June, 40° over the south
    // half (the hand computation of `soleilMasque`): 15.41 − 1.08735 = 14.32265 h direct,
    // 14h19, and 1.08735 h behind the mask, 1h05. On a 1600 x 900 screen the six columns, or
    // seven with the window's, are seen whole, without a horizontal scroll bar.
    QFETCH(bool, facade);
    Fenetre f;
    f.fenetre.resize(1600, 860);
    f.fenetre.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.fenetre));
    if (facade) {
        QTimer::singleShot(0, &f.fenetre, [] {
            if (auto *dialogue = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
                dialogue->findChild<QGroupBox *>(QStringLiteral("groupe_facade"))->setChecked(true);
                dialogue->accept();
            }
        });
        QTest::mouseClick(
            f.fenetre.findChild<QPushButton *>(QStringLiteral("bouton_fenetre_obstacles")),
            Qt::LeftButton);
    }
    f.fenetre.findChild<QDateEdit *>(QStringLiteral("Date"))->setDate(QDate(2026, 6, 21));
    QVERIFY(f.changer_latitude(45).isEmpty());
    auto *tableau = f.fenetre.findChild<QTableWidget *>(QStringLiteral("tableau_sorties"));
    QVERIFY(tableau);
    f.remplir(lire_lignes({"-90 40", "90 40"}));
    QVERIFY(f.cliquer(f.tracer).isEmpty());
    QCOMPARE(tableau->columnCount(), facade ? 7 : 6);
    const QStringList entetes = {"Soleil direct", "Masqué"};
    for (int c = 4; c < 6; ++c) {
        QVERIFY(!tableau->isColumnHidden(c));
        QCOMPARE(tableau->horizontalHeaderItem(c)->text(), entetes[c - 4]);
        QCOMPARE(tableau->horizontalHeaderItem(c)->font(),
                 tableau->horizontalHeaderItem(0)->font());
    }
    QCOMPARE(tableau->item(0, 3)->text(), QStringLiteral("15h25"));
    QCOMPARE(tableau->item(0, 4)->text(), QStringLiteral("14h19"));
    QCOMPARE(tableau->item(0, 5)->text(), QStringLiteral("1h05"));
    QVERIFY2(tableau->horizontalHeader()->length() <= tableau->viewport()->width(),
             qPrintable(QStringLiteral("%1 > %2")
                            .arg(tableau->horizontalHeader()->length())
                            .arg(tableau->viewport()->width())));

    // The next rebuild without "Conserver les masques": no outline, the columns hidden and
    // empty.
    QVERIFY(f.changer_latitude(46).isEmpty());
    QCOMPARE(f.contours().size(), 0);
    for (int c = 4; c < 6; ++c) {
        QVERIFY(tableau->isColumnHidden(c));
        QVERIFY(!tableau->item(0, c));
    }
    // Hidden, not closed: closing a changed study asks about its changes.
    f.fenetre.hide();
}

// Both test classes run; when test functions are named on the command line, only the class
// that has them runs, with the same arguments.
int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    TestTraceMasques trace;
    TestMasques masques;
    QObject *classes[] = {&trace, &masques};
    bool nomme[2] = {false, false};
    for (int a = 1; a < argc; ++a) {
        const QByteArray nom = QByteArray(argv[a]).split(':').first();
        for (int c = 0; c < 2; ++c)
            for (int m = 0; m < classes[c]->metaObject()->methodCount(); ++m)
                if (classes[c]->metaObject()->method(m).name() == nom)
                    nomme[c] = true;
    }
    int echecs = 0;
    for (int c = 0; c < 2; ++c)
        if (nomme[c] || (!nomme[0] && !nomme[1]))
            echecs += QTest::qExec(classes[c], argc, argv);
    return echecs;
}

#include "tst_masks.moc"
