// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// "Exporter le diagramme...": the save dialog as the user meets it, the image written (format
// read back from the file's own bytes, size against the graphics view, the sky disc where the
// view shows it), the name completed with the filter's suffix, cancel, and the failures.
#include "app/fenetre_principale.h"
#include "diagram/scene.h"
#include "export/export.h"
#include "tests/outils.h"
#include "tests/repondeur.h"

#include <QtTest>

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QGraphicsView>
#include <QImage>
#include <QTemporaryDir>

namespace
{

// The first bytes of the two formats: PNG's signature, and JPEG's start-of-image marker
// followed by the first marker's 0xFF.
const QByteArray signature_png = QByteArray::fromHex("89504e470d0a1a0a");
const QByteArray signature_jpeg = QByteArray::fromHex("ffd8ff");

// JPEG alters colours a little: how far from pure white the white field may read.
constexpr int ecart_blanc_jpeg = 8;
// A pixel crossed by a drawn line (a black axis, even antialiased, or a course) is at most this
// light (lightness 0..255); the white field is 255.
constexpr int clarte_trait_max = 200;

const QString texte_echec = QStringLiteral(
    "<b>ATTENTION :</b> L'image n'a pas pu être enregistrée. Vérifiez que le dossier choisi "
    "accepte l'écriture et que le nom se termine par .jpg ou .png.");

const QString fichier_ordinaire = QStringLiteral("fichier_ordinaire");

QByteArray format_du_fichier(const QString &chemin)
{
    QFile fichier(chemin);
    if (!fichier.open(QIODevice::ReadOnly))
        return {};
    const QByteArray debut = fichier.read(8);
    if (debut.startsWith(signature_png))
        return "png";
    if (debut.startsWith(signature_jpeg))
        return "jpeg";
    return "other";
}

// What the save dialog showed, and how the test answered it.
struct Dialogue_vu {
    QString titre;
    QStringList filtres;
    QString filtre_initial;
    QString nom_propose;
    bool natif = true;
    QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
    QWidget *parent = nullptr;
    bool modal = false;
};

// Answers the save dialog: chooses `filtre`, types `chemin` and saves, or cancels when `chemin`
// is empty.
void repondre_dialogue(Repondeur &repondeur, QList<Dialogue_vu> &vus, const QString &filtre,
                       const QString &chemin)
{
    repondeur.autre_fenetre = [&vus, filtre, chemin](QWidget *fenetre) {
        auto *dialogue = qobject_cast<QFileDialog *>(fenetre);
        if (!dialogue) {
            fenetre->close();
            return;
        }
        Dialogue_vu vu;
        vu.titre = dialogue->windowTitle();
        vu.filtres = dialogue->nameFilters();
        vu.filtre_initial = dialogue->selectedNameFilter();
        vu.nom_propose = QFileInfo(dialogue->selectedFiles().value(0)).fileName();
        vu.natif = !dialogue->testOption(QFileDialog::DontUseNativeDialog);
        vu.mode = dialogue->acceptMode();
        vu.parent = dialogue->parentWidget();
        vu.modal = dialogue->isModal();
        vus << vu;
        if (chemin.isEmpty()) {
            dialogue->reject();
            return;
        }
        dialogue->selectNameFilter(filtre);
        dialogue->selectFile(chemin);
        // What the Save button does.
        static_cast<QDialog *>(dialogue)->accept();
    };
}

} // namespace

class TestExport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void nomFichier_data();
    void nomFichier();
    void dialogue_data();
    void dialogue();
    void exporter_data();
    void exporter();
    void tailleSuitLeRedimensionnement();

private:
    // Shows the window at its size and waits until it is on screen and laid out.
    void montrer(Fenetre_Principale &fenetre);
    // Checks that `chemin` holds the diagram as the view shows it: the view's size, the white
    // field in the corner and the vertical axis of the sky disc at its place.
    void verifierImage(const QString &chemin, Fenetre_Principale &fenetre,
                       const QByteArray &format);

    std::unique_ptr<QTemporaryDir> dossier_;
};

void TestExport::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
}

void TestExport::init()
{
    dossier_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dossier_->isValid());
    // A regular file, to ask for a diagram "inside" it.
    QFile ordinaire(dossier_->filePath(fichier_ordinaire));
    QVERIFY(ordinaire.open(QIODevice::WriteOnly));
}

void TestExport::cleanup()
{
    dossier_.reset();
    const auto fenetres = QApplication::topLevelWidgets();
    for (QWidget *w : fenetres)
        QVERIFY2(!w->isVisible(), qPrintable(w->objectName() + " was left open"));
}

void TestExport::montrer(Fenetre_Principale &fenetre)
{
    fenetre.show();
    QVERIFY(QTest::qWaitForWindowExposed(&fenetre));
}

void TestExport::verifierImage(const QString &chemin, Fenetre_Principale &fenetre,
                               const QByteArray &format)
{
    QCOMPARE(format_du_fichier(chemin), format);
    const QImage image(chemin);
    QVERIFY2(!image.isNull(), qPrintable(chemin));
    auto *vue = enfant<QGraphicsView>(fenetre, "graphicsView");
    // The view's size, frame included.
    QCOMPARE(image.size(), vue->size());

    // The scene is rendered at scale 1 with its origin, the zenith, at the centre of the image;
    // the top-right corner is the white field.
    const QColor coin = image.pixelColor(image.width() - 1, 0);
    QVERIFY2(coin.red() >= 255 - ecart_blanc_jpeg && coin.green() >= 255 - ecart_blanc_jpeg &&
                 coin.blue() >= 255 - ecart_blanc_jpeg,
             qPrintable(QStringLiteral("corner %1, expected white").arg(coin.name())));
    // The northern half of the vertical axis runs from the zenith up to the horizon circle,
    // through the column at the centre (antialiased over the two columns beside x = 0).
    auto *scene = qobject_cast<Scene *>(vue->scene());
    QVERIFY(scene);
    const int x0 = image.width() / 2;
    const int y = image.height() / 2 - scene->diametre0() / 4;
    const int clarte =
        qMin(image.pixelColor(x0 - 1, y).lightness(), image.pixelColor(x0, y).lightness());
    QVERIFY2(
        clarte <= clarte_trait_max,
        qPrintable(QStringLiteral("no axis at (%1, %2): lightness %3").arg(x0).arg(y).arg(clarte)));
}

void TestExport::nomFichier_data()
{
    QTest::addColumn<QString>("nom");
    QTest::addColumn<QString>("filtre");
    QTest::addColumn<QString>("attendu");

    QTest::newRow("no suffix, JPEG filter")
        << "/d/Diagramme solaire" << filtre_export_jpeg << "/d/Diagramme solaire.jpg";
    QTest::newRow("no suffix, PNG filter")
        << "/d/Diagramme solaire" << filtre_export_png << "/d/Diagramme solaire.png";
    QTest::newRow("no suffix, no filter reported")
        << "/d/diagramme" << QString() << "/d/diagramme.jpg";
    QTest::newRow("ending with a dot")
        << "/d/diagramme." << filtre_export_png << "/d/diagramme.png";
    // A dot in a folder's name is no suffix of the file.
    QTest::newRow("dotted folder, no suffix")
        << "/d/v2.1/diagramme" << filtre_export_png << "/d/v2.1/diagramme.png";
    QTest::newRow("own suffix kept against the filter")
        << "/d/diagramme.jpg" << filtre_export_png << "/d/diagramme.jpg";
    QTest::newRow("unknown suffix kept")
        << "/d/diagramme.xyz" << filtre_export_jpeg << "/d/diagramme.xyz";
}

void TestExport::nomFichier()
{
    QFETCH(QString, nom);
    QFETCH(QString, filtre);
    QFETCH(QString, attendu);
    QCOMPARE(nom_fichier_export(nom, filtre), attendu);
}

void TestExport::dialogue_data()
{
    QTest::addColumn<bool>("parLeClavier");
    QTest::newRow("menu entry") << false;
    QTest::newRow("Ctrl+E") << true;
}

void TestExport::dialogue()
{
    // Opened either way, the dialog asks the same; cancelled, nothing is written or shown.
    QFETCH(bool, parLeClavier);
    Repondeur repondeur({});
    QList<Dialogue_vu> vus;
    repondre_dialogue(repondeur, vus, QString(), QString());
    Fenetre_Principale fenetre;
    montrer(fenetre);
    if (parLeClavier) {
        QApplication::setActiveWindow(&fenetre);
        QVERIFY(QTest::qWaitForWindowActive(&fenetre));
        QTest::keyClick(&fenetre, Qt::Key_E, Qt::ControlModifier);
    } else {
        enfant<QAction>(fenetre, "actionExporter_le_diagramme")->trigger();
    }

    QCOMPARE(vus.size(), 1);
    const Dialogue_vu &vu = vus.at(0);
    QCOMPARE(vu.titre, QStringLiteral("Enregistrer le diagramme"));
    QCOMPARE(vu.filtres, QStringList({QStringLiteral("JPG - JPEG Image (*.jpg)"),
                                      QStringLiteral("PNG - Portable Networks Graphics (*.png)")}));
    QCOMPARE(vu.filtre_initial, QStringLiteral("JPG - JPEG Image (*.jpg)"));
    QCOMPARE(vu.nom_propose, QStringLiteral("Diagramme solaire"));
    QCOMPARE(vu.mode, QFileDialog::AcceptSave);
    QVERIFY2(!vu.natif, "the toolkit's own dialog completes the suffix the same everywhere");
    QCOMPARE(vu.parent, &fenetre);
    QVERIFY(vu.modal);
    QVERIFY2(repondeur.erreurs.isEmpty(), qPrintable(repondeur.erreurs.join('\n')));
    QCOMPARE(repondeur.titres(), QStringList());
    QCOMPARE(QDir(dossier_->path()).entryList(QDir::Files), QStringList{fichier_ordinaire});
    fenetre.close();
}

void TestExport::exporter_data()
{
    QTest::addColumn<QString>("filtre");
    QTest::addColumn<QString>("chemin"); // %1: the test's folder
    QTest::addColumn<QString>("ecrit");  // the file expected in the folder, or none
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<bool>("avertissement");

    const QString jpeg = filtre_export_jpeg;
    const QString png = filtre_export_png;
    QTest::newRow("PNG filter, diagramme.png") << png << "%1/diagramme.png"
                                               << "diagramme.png" << QByteArray("png") << false;
    QTest::newRow("JPEG filter, diagramme.jpg") << jpeg << "%1/diagramme.jpg"
                                                << "diagramme.jpg" << QByteArray("jpeg") << false;
    QTest::newRow("JPEG filter, no suffix: .jpg added")
        << jpeg << "%1/Diagramme solaire"
        << "Diagramme solaire.jpg" << QByteArray("jpeg") << false;
    QTest::newRow("PNG filter, no suffix: .png added")
        << png << "%1/Diagramme solaire"
        << "Diagramme solaire.png" << QByteArray("png") << false;
    QTest::newRow("PNG filter, name in .jpg: its suffix decides")
        << png << "%1/diagramme.jpg"
        << "diagramme.jpg" << QByteArray("jpeg") << false;
    QTest::newRow("upper-case .PNG") << jpeg << "%1/diagramme.PNG"
                                     << "diagramme.PNG" << QByteArray("png") << false;
    QTest::newRow("unknown suffix .xyz: warning")
        << jpeg << "%1/diagramme.xyz" << QString() << QByteArray() << true;
    QTest::newRow("inside a regular file: warning")
        << png << "%1/" + fichier_ordinaire + "/diagramme.png" << QString() << QByteArray() << true;
    // Nobody, not even root, may create a file in /proc.
    QTest::newRow("inside /proc: warning")
        << png << "/proc/diagramme_orvane.png" << QString() << QByteArray() << true;
    QTest::newRow("missing folder: warning")
        << jpeg << "%1/absent/diagramme.jpg" << QString() << QByteArray() << true;
}

void TestExport::exporter()
{
    QFETCH(QString, filtre);
    QFETCH(QString, chemin);
    QFETCH(QString, ecrit);
    QFETCH(QByteArray, format);
    QFETCH(bool, avertissement);
    if (chemin.contains(QLatin1String("%1")))
        chemin = chemin.arg(dossier_->path());

    const QString ok = QStringLiteral("OK");
    Repondeur repondeur(avertissement ? QStringList{ok} : QStringList{});
    QList<Dialogue_vu> vus;
    repondre_dialogue(repondeur, vus, filtre, chemin);
    Fenetre_Principale fenetre;
    montrer(fenetre);
    enfant<QAction>(fenetre, "actionExporter_le_diagramme")->trigger();

    QCOMPARE(vus.size(), 1);
    QVERIFY2(repondeur.erreurs.isEmpty(), qPrintable(repondeur.erreurs.join('\n')));
    if (avertissement) {
        QCOMPARE(repondeur.titres(), QStringList{QStringLiteral("Erreur")});
        const Boite_vue &boite = repondeur.boites.at(0);
        QCOMPARE(boite.texte, texte_echec);
        QCOMPARE(boite.icone, QMessageBox::Warning);
        QCOMPARE(boite.boutons, QStringList{ok});
        QCOMPARE(boite.parent, &fenetre);
    } else {
        QCOMPARE(repondeur.titres(), QStringList());
    }

    QStringList fichiers = {fichier_ordinaire};
    if (!ecrit.isEmpty())
        fichiers << ecrit;
    fichiers.sort();
    QCOMPARE(QDir(dossier_->path())
                 .entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name),
             fichiers);
    QVERIFY(!QFile::exists(QStringLiteral("/proc/diagramme_orvane.png")));
    if (!ecrit.isEmpty())
        verifierImage(dossier_->filePath(ecrit), fenetre, format);
    fenetre.close();
}

void TestExport::tailleSuitLeRedimensionnement()
{
    // Each export takes the view's size of the moment.
    Repondeur repondeur({});
    QList<Dialogue_vu> vus;
    Fenetre_Principale fenetre;
    montrer(fenetre);
    auto *vue = enfant<QGraphicsView>(fenetre, "graphicsView");

    const QString avant = dossier_->filePath(QStringLiteral("avant.png"));
    repondre_dialogue(repondeur, vus, filtre_export_png, avant);
    enfant<QAction>(fenetre, "actionExporter_le_diagramme")->trigger();
    const QSize taille_avant = vue->size();
    verifierImage(avant, fenetre, "png");

    fenetre.resize(fenetre.size() + QSize(235, 110));
    QTRY_VERIFY(vue->size() != taille_avant);
    const QString apres = dossier_->filePath(QStringLiteral("apres.png"));
    repondre_dialogue(repondeur, vus, filtre_export_png, apres);
    enfant<QAction>(fenetre, "actionExporter_le_diagramme")->trigger();
    verifierImage(apres, fenetre, "png");
    QCOMPARE(QImage(apres).size() - QImage(avant).size(), vue->size() - taille_avant);

    QCOMPARE(vus.size(), 2);
    QVERIFY2(repondeur.erreurs.isEmpty(), qPrintable(repondeur.erreurs.join('\n')));
    fenetre.close();
}

QTEST_MAIN(TestExport)
#include "tst_export.moc"
