// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// "Exporter le diagramme..." and "Imprimer...": the save dialog as the user meets it, the file
// written (format read back from the file's own bytes, size against the graphics view, the sky
// disc where the view shows it, the PNG pixel for pixel, the SVG element for item, the PDF
// page's text and colours), the name completed with the filter's suffix, cancel, and the
// failures, which leave an existing file whole.
#include "app/dossiers.h"
#include "app/fenetre_principale.h"
#include "diagram/scene.h"
#include "export/export.h"
#include "export/pages.h"
#include "tests/outils.h"
#include "tests/repondeur.h"

#include <QtTest>

#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QGraphicsItem>
#include <QGraphicsView>
#include <QImage>
#include <QImageReader>
#include <QLineEdit>
#include <QPainter>
#include <QPen>
#include <QPrintDialog>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QXmlStreamReader>

namespace
{

// The first bytes of the two formats: PNG's signature, and JPEG's start-of-image marker
// followed by the first marker's 0xFF.
const QByteArray signature_png = QByteArray::fromHex("89504e470d0a1a0a");
const QByteArray signature_jpeg = QByteArray::fromHex("ffd8ff");
// The PDF header, and the XML declaration that the SVG writer puts first.
const QByteArray signature_pdf = "%PDF-";
const QByteArray signature_svg = "<?xml";

// A4 landscape in points (ISO 216: 297 mm x 210 mm, 72 points to the inch), and how far
// pdfinfo's rounded figures may read from it.
constexpr double largeur_a4_pt = 841.89;
constexpr double hauteur_a4_pt = 595.28;
constexpr double ecart_page_pt = 1.0;
// The page read back as pixels, 2 to the point: the 2-point colour stroke that leads each row
// of the table is then 4 pixels thick, its middle rows in the pure colour up to this much per
// channel. The lead column lies within this many points left of the row's date.
constexpr int pixels_par_pt = 2;
constexpr int ecart_couleur = 24;
constexpr double largeur_tete_pt = 100.0;
// The page read back finer, 4 pixels to the point, for its texts' colours; the least contrast
// of a text with white (WCAG 2, level AA).
constexpr int pixels_par_pt_fin = 4;
constexpr double contraste_min = 4.5;

// JPEG alters colours a little: how far from pure white the white field may read.
constexpr int ecart_blanc_jpeg = 8;
// A pixel crossed by a drawn line (a black axis, even antialiased, or a course) is at most this
// light (lightness 0..255); the white field is 255.
constexpr int clarte_trait_max = 200;

// The warning of a failed export begins so, with the file's name, and ends with the cause.
const QString texte_echec =
    QStringLiteral("<b>ATTENTION :</b> L'image n'a pas pu être enregistrée dans « %1 » : ");

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
    if (debut.startsWith(signature_pdf))
        return "pdf";
    if (debut.startsWith(signature_svg))
        return "svg";
    return "other";
}

// What the save dialog showed, and how the test answered it.
struct Dialogue_vu {
    QString titre;
    QStringList filtres;
    QString filtre_initial;
    QString nom_propose;
    QString dossier_propose;
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
        vu.dossier_propose = dialogue->directory().absolutePath();
        vu.natif = !dialogue->testOption(QFileDialog::DontUseNativeDialog);
        vu.mode = dialogue->acceptMode();
        vu.parent = dialogue->parentWidget();
        vu.modal = dialogue->isModal();
        vus << vu;
        if (chemin.isEmpty()) {
            dialogue->reject();
            return;
        }
        choisir_fichier(dialogue, chemin, filtre);
    };
}

// A diagram that shows every kind of item: latitude 45°, the limit courses and hour lines,
// the chosen date 21 June 2026 and three saved dates (one course, one legend row and one
// table row each).
void remplir_diagramme(Fenetre_Principale &fenetre)
{
    enfant<QDoubleSpinBox>(fenetre, "latitude")->setValue(45.0);
    auto *date = enfant<QDateEdit>(fenetre, "Date");
    for (const QDate &jour : {QDate(2026, 3, 20), QDate(2026, 9, 22), QDate(2026, 12, 21)}) {
        date->setDate(jour);
        enfant<QPushButton>(fenetre, "Bouton_Enregistrer_Date")->click();
    }
    date->setDate(QDate(2026, 6, 21));
    enfant<QCheckBox>(fenetre, "check_limite")->click();
    enfant<QCheckBox>(fenetre, "check_heures")->click();
}

// The output of a poppler tool run on `fichier`.
QString poppler(const QString &outil, QStringList arguments)
{
    QProcess processus;
    processus.start(outil, arguments);
    if (!processus.waitForFinished(30000) || processus.exitCode() != 0)
        return QStringLiteral("<%1 failed: %2>").arg(outil, processus.errorString());
    return QString::fromUtf8(processus.readAllStandardOutput());
}

// The drawing elements of an SVG in document order: "path #rrggbb" and "polyline #rrggbb" with
// the stroke in force, "text <its text>", and the element's name for any other kind.
QStringList elements_svg(const QString &chemin)
{
    QFile fichier(chemin);
    if (!fichier.open(QIODevice::ReadOnly))
        return {QStringLiteral("<unreadable>")};
    QXmlStreamReader xml(&fichier);
    QStringList traits{QStringLiteral("none")};
    QStringList elements;
    while (!xml.atEnd()) {
        xml.readNext();
        const QString nom = xml.name().toString();
        if (xml.isEndElement() && nom == QLatin1String("g"))
            traits.removeLast();
        if (!xml.isStartElement())
            continue;
        if (nom == QLatin1String("g")) {
            const QStringRef trait = xml.attributes().value(QLatin1String("stroke"));
            traits << (trait.isEmpty() ? traits.last() : trait.toString());
        } else if (nom == QLatin1String("path") || nom == QLatin1String("polyline")) {
            elements << nom + QLatin1Char(' ') + traits.last();
        } else if (nom == QLatin1String("text")) {
            elements << QStringLiteral("text ") + xml.readElementText().trimmed();
        } else if (nom != QLatin1String("svg") && nom != QLatin1String("title") &&
                   nom != QLatin1String("desc") && nom != QLatin1String("defs")) {
            elements << nom;
        }
    }
    if (xml.hasError())
        elements << QStringLiteral("<XML error: %1>").arg(xml.errorString());
    return elements;
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
    void echecGardeLeFichier_data();
    void echecGardeLeFichier();
    void svgSuitLaScene();
    void imprimer_data();
    void imprimer();

private:
    // Shows the window at its size and waits until it is on screen and laid out.
    void montrer(Fenetre_Principale &fenetre);
    // Checks that `chemin` holds the diagram as the view shows it: the view's size, the white
    // field in the corner and the vertical axis of the sky disc at its place.
    void verifierImage(const QString &chemin, Fenetre_Principale &fenetre,
                       const QByteArray &format);

    // Checks that `chemin` is the report page: one A4 landscape page, no raster image, its
    // text holding the title, the latitude, the time scale and every row of the output table
    // with its date label.
    void verifierPdf(const QString &chemin, Fenetre_Principale &fenetre);

    std::unique_ptr<QTemporaryDir> dossier_;
    QTemporaryDir reglages_;
};

void TestExport::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    QVERIFY(reglages_.isValid());
    reglages_dans(reglages_.path());
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
    QImageReader lecteur(chemin);
    if (format == "svg") {
        // Drawn in the view's coordinates, shown at the view's size.
        const QSvgRenderer svg(chemin);
        QCOMPARE(svg.viewBox().size(), enfant<QGraphicsView>(fenetre, "graphicsView")->size());
        lecteur.setScaledSize(svg.viewBox().size());
    }
    const QImage image = lecteur.read();
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

    // PNG is lossless: every pixel, colours in their channels, is the scene's own render.
    if (format == "png") {
        QImage rendu(image.size(), QImage::Format_RGB32);
        rendu.fill(Qt::white);
        QPainter peintre(&rendu);
        peintre.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        scene->render(&peintre, QRectF(), QRectF(), Qt::KeepAspectRatio);
        peintre.end();
        QVERIFY(image.convertToFormat(QImage::Format_RGB32) == rendu);
    }
}

void TestExport::verifierPdf(const QString &chemin, Fenetre_Principale &fenetre)
{
    QCOMPARE(format_du_fichier(chemin), QByteArray("pdf"));
    const QString info = poppler(QStringLiteral("pdfinfo"), {chemin});
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("^Pages: +1$"),
                                              QRegularExpression::MultilineOption)),
             qPrintable(info));
    const QRegularExpressionMatch page =
        QRegularExpression(QStringLiteral("Page size: +([0-9.]+) x ([0-9.]+) pts")).match(info);
    QVERIFY2(page.hasMatch(), qPrintable(info));
    QVERIFY2(qAbs(page.captured(1).toDouble() - largeur_a4_pt) <= ecart_page_pt &&
                 qAbs(page.captured(2).toDouble() - hauteur_a4_pt) <= ecart_page_pt,
             qPrintable(page.captured(0)));
    // All vector: the image list has its two header lines and no image.
    QCOMPARE(poppler(QStringLiteral("pdfimages"), {QStringLiteral("-list"), chemin})
                 .trimmed()
                 .split(QLatin1Char('\n'))
                 .size(),
             2);

    const QString texte =
        poppler(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), chemin, "-"});
    // The title block, whole: the title, the place, the scales, the sun, the day it was made.
    for (const QString &attendu :
         {QStringLiteral("Diagramme solaire"), QStringLiteral("Latitude : 45°"),
          QStringLiteral("Longitude : 0°"), QStringLiteral("Fuseau : UTC"),
          QStringLiteral("Échelle des heures : Temps solaire vrai"),
          QStringLiteral("Modèle du soleil : simple"),
          QStringLiteral("Établi le \\d{1,2} \\S+ \\d{4} — Orvane 2\\.2")})
        QVERIFY2(texte.contains(QRegularExpression(attendu)),
                 qPrintable(attendu + " not in:\n" + texte));
    // Each row on one line: the date label, then the table's cells in order.
    auto *table = enfant<QTableWidget>(fenetre, "tableau_sorties");
    QCOMPARE(table->rowCount(), 4);
    for (int ligne = 0; ligne < table->rowCount(); ++ligne) {
        const QDate date =
            QDate::fromString(table->item(ligne, 0)->text(), QStringLiteral("dd/MM/yyyy"));
        QStringList cellules{
            QRegularExpression::escape(QString::number(date.day()) + QLatin1Char(' ') +
                                       QLocale().monthName(date.month(), QLocale::ShortFormat))};
        for (int colonne = 0; colonne < table->columnCount(); ++colonne)
            cellules << QRegularExpression::escape(table->item(ligne, colonne)->text());
        const QRegularExpression rangee(cellules.join(QStringLiteral(" +")));
        QVERIFY2(texte.contains(rangee), qPrintable(rangee.pattern() + " not in:\n" + texte));
    }

    // Each row's lead, left of its date, is in the colour of that date's label on the diagram.
    const QString mots =
        poppler(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), chemin, "-"});
    const QString base = dossier_->filePath(QStringLiteral("page"));
    poppler(QStringLiteral("pdftoppm"),
            {QStringLiteral("-png"), QStringLiteral("-r"), QString::number(pixels_par_pt * 72),
             QStringLiteral("-singlefile"), chemin, base});
    const QImage page_rendue(base + QStringLiteral(".png"));
    QVERIFY(!page_rendue.isNull());
    const auto items = enfant<QGraphicsView>(fenetre, "graphicsView")->scene()->items();
    for (int ligne = 0; ligne < table->rowCount(); ++ligne) {
        const QDate date =
            QDate::fromString(table->item(ligne, 0)->text(), QStringLiteral("dd/MM/yyyy"));
        const QString etiquette = QString::number(date.day()) + QLatin1Char(' ') +
                                  QLocale().monthName(date.month(), QLocale::ShortFormat);
        QColor attendue;
        for (const QGraphicsItem *item : items)
            if (auto *texte_item = qgraphicsitem_cast<const QGraphicsTextItem *>(item))
                if (texte_item->toPlainText() == etiquette)
                    attendue = texte_item->defaultTextColor();
        QVERIFY2(attendue.isValid(), qPrintable(etiquette));
        const QRegularExpressionMatch mot =
            QRegularExpression(QStringLiteral("xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" "
                                              "xMax=\"[0-9.]+\" yMax=\"([0-9.]+)\">%1<")
                                   .arg(QRegularExpression::escape(table->item(ligne, 0)->text())))
                .match(mots);
        QVERIFY2(mot.hasMatch(), qPrintable(table->item(ligne, 0)->text()));
        const int y =
            qRound((mot.captured(2).toDouble() + mot.captured(3).toDouble()) / 2.0 * pixels_par_pt);
        const int x_date = qRound(mot.captured(1).toDouble() * pixels_par_pt);
        bool trouvee = false;
        for (int x = x_date - qRound(largeur_tete_pt * pixels_par_pt); x < x_date && !trouvee;
             ++x) {
            const QColor vue = page_rendue.pixelColor(x, y);
            trouvee = qAbs(vue.red() - attendue.red()) <= ecart_couleur &&
                      qAbs(vue.green() - attendue.green()) <= ecart_couleur &&
                      qAbs(vue.blue() - attendue.blue()) <= ecart_couleur;
        }
        QVERIFY2(trouvee, qPrintable(etiquette + " not in " + attendue.name()));
    }

    // Every word of the page is readable on white paper: the darkest pixel of its box, at a
    // resolution where a stroke of the type has whole pixels of its colour, has a contrast of
    // at least 4.5:1 with white (WCAG 2: (L1 + 0.05) / (L2 + 0.05) of relative luminances).
    const QString fine = dossier_->filePath(QStringLiteral("page_fine"));
    poppler(QStringLiteral("pdftoppm"),
            {QStringLiteral("-png"), QStringLiteral("-r"), QString::number(pixels_par_pt_fin * 72),
             QStringLiteral("-singlefile"), chemin, fine});
    const QImage page_fine(fine + QStringLiteral(".png"));
    QVERIFY(!page_fine.isNull());
    const auto luminance = [](const QColor &c) {
        const auto lineaire = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * lineaire(c.redF()) + 0.7152 * lineaire(c.greenF()) +
               0.0722 * lineaire(c.blueF());
    };
    const QRegularExpression boite(
        QStringLiteral("xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" "
                       "yMax=\"([0-9.]+)\">([^<]*)<"));
    int mots_lus = 0;
    for (auto m = boite.globalMatch(mots); m.hasNext(); ++mots_lus) {
        const QRegularExpressionMatch mot = m.next();
        const QRect pixels(QPoint(qFloor(mot.captured(1).toDouble() * pixels_par_pt_fin),
                                  qFloor(mot.captured(2).toDouble() * pixels_par_pt_fin)),
                           QPoint(qCeil(mot.captured(3).toDouble() * pixels_par_pt_fin),
                                  qCeil(mot.captured(4).toDouble() * pixels_par_pt_fin)));
        double plus_sombre = 1.0;
        QColor couleur = Qt::white;
        for (int y = pixels.top(); y <= pixels.bottom(); ++y)
            for (int x = pixels.left(); x <= pixels.right(); ++x)
                if (page_fine.valid(x, y) && luminance(page_fine.pixelColor(x, y)) < plus_sombre) {
                    couleur = page_fine.pixelColor(x, y);
                    plus_sombre = luminance(couleur);
                }
        QVERIFY2(1.05 / (plus_sombre + 0.05) >= contraste_min,
                 qPrintable(mot.captured(5) + " in " + couleur.name()));
    }
    QVERIFY(mots_lus > 0);
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
    QTest::newRow("no suffix, SVG filter")
        << "/d/Diagramme solaire" << filtre_export_svg << "/d/Diagramme solaire.svg";
    QTest::newRow("no suffix, PDF filter")
        << "/d/Diagramme solaire" << filtre_export_pdf << "/d/Diagramme solaire.pdf";
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
    // A folder of the test's, kept as the one the last export went to.
    QTest::addColumn<QString>("retenu");
    QTest::newRow("menu entry") << false << QString();
    QTest::newRow("Ctrl+E") << true << QString();
    QTest::newRow("in the folder the last export went to") << false << "images";
}

void TestExport::dialogue()
{
    // Opened either way, the dialog asks the same; cancelled, nothing is written or shown.
    QFETCH(bool, parLeClavier);
    QFETCH(QString, retenu);
    const QString dossier_retenu = dossier_->filePath(retenu);
    if (!retenu.isEmpty()) {
        QVERIFY(QDir(dossier_->path()).mkdir(retenu));
        retenir_dossier(Genre_Fichier::Export, dossier_retenu + "/avant.png");
    }
    Repondeur repondeur({});
    QList<Dialogue_vu> vus;
    repondre_dialogue(repondeur, vus, QString(), QString());
    // Cancelled, nothing is written in the working folder either.
    const QString courant = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dossier_->path()));
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
    QCOMPARE(vu.filtres,
             QStringList({QStringLiteral("JPG - JPEG Image (*.jpg)"),
                          QStringLiteral("PNG - Portable Networks Graphics (*.png)"),
                          QStringLiteral("SVG (*.svg)"), QStringLiteral("PDF (*.pdf)")}));
    QCOMPARE(vu.filtre_initial, QStringLiteral("JPG - JPEG Image (*.jpg)"));
    QCOMPARE(vu.nom_propose, QStringLiteral("Diagramme solaire"));
    QCOMPARE(vu.dossier_propose, retenu.isEmpty() ? dossier_->path() : dossier_retenu);
    QCOMPARE(vu.mode, QFileDialog::AcceptSave);
    QVERIFY2(!vu.natif, "the toolkit's own dialog completes the suffix the same everywhere");
    QCOMPARE(vu.parent, &fenetre);
    QVERIFY(vu.modal);
    QVERIFY2(repondeur.erreurs.isEmpty(), qPrintable(repondeur.erreurs.join('\n')));
    QCOMPARE(repondeur.titres(), QStringList());
    QStringList contenu{fichier_ordinaire};
    if (!retenu.isEmpty())
        contenu << retenu;
    QCOMPARE(
        QDir(dossier_->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        contenu);
    QVERIFY(QDir::setCurrent(courant));
    fenetre.close();
}

void TestExport::exporter_data()
{
    QTest::addColumn<QString>("filtre");
    QTest::addColumn<QString>("chemin"); // %1: the test's folder
    QTest::addColumn<QString>("ecrit");  // the file expected in the folder, or none
    QTest::addColumn<QByteArray>("format");
    // The end of the warning's cause; null: no warning.
    QTest::addColumn<QString>("avertissement");

    const QString jpeg = filtre_export_jpeg;
    const QString png = filtre_export_png;
    QTest::newRow("PNG filter, diagramme.png") << png << "%1/diagramme.png"
                                               << "diagramme.png" << QByteArray("png") << QString();
    QTest::newRow("JPEG filter, diagramme.jpg")
        << jpeg << "%1/diagramme.jpg"
        << "diagramme.jpg" << QByteArray("jpeg") << QString();
    QTest::newRow("JPEG filter, no suffix: .jpg added")
        << jpeg << "%1/Diagramme solaire"
        << "Diagramme solaire.jpg" << QByteArray("jpeg") << QString();
    QTest::newRow("PNG filter, no suffix: .png added")
        << png << "%1/Diagramme solaire"
        << "Diagramme solaire.png" << QByteArray("png") << QString();
    QTest::newRow("SVG filter, no suffix: .svg added")
        << filtre_export_svg << "%1/Diagramme solaire"
        << "Diagramme solaire.svg" << QByteArray("svg") << QString();
    QTest::newRow("PDF filter, no suffix: .pdf added")
        << filtre_export_pdf << "%1/Diagramme solaire"
        << "Diagramme solaire.pdf" << QByteArray("pdf") << QString();
    QTest::newRow("upper-case .PDF") << jpeg << "%1/diagramme.PDF"
                                     << "diagramme.PDF" << QByteArray("pdf") << QString();
    QTest::newRow("PNG filter, name in .jpg: its suffix decides")
        << png << "%1/diagramme.jpg"
        << "diagramme.jpg" << QByteArray("jpeg") << QString();
    QTest::newRow("upper-case .PNG") << jpeg << "%1/diagramme.PNG"
                                     << "diagramme.PNG" << QByteArray("png") << QString();
    QTest::newRow("unknown suffix .xyz: warning")
        << jpeg << "%1/diagramme.xyz" << QString() << QByteArray()
        << "le nom du fichier doit se terminer par .png, .jpg, .jpeg, .svg ou .pdf";
    // Given a folder that is not one, the dialog hands the name over as a path of its own
    // folder, which may or may not exist: either cause may come.
    QTest::newRow("inside a regular file: warning")
        << png << "%1/" + fichier_ordinaire + "/diagramme.png" << QString() << QByteArray() << "";
    // Nobody, not even root, may create a file in /proc; the system says why in one way to root
    // and in another to the others.
    QTest::newRow("inside /proc: warning")
        << png << "/proc/diagramme_orvane.png" << QString() << QByteArray() << "";
    QTest::newRow("missing folder: warning") << jpeg << "%1/absent/diagramme.jpg" << QString()
                                             << QByteArray() << "/absent » n'existe pas";
}

void TestExport::exporter()
{
    QFETCH(QString, filtre);
    QFETCH(QString, chemin);
    QFETCH(QString, ecrit);
    QFETCH(QByteArray, format);
    QFETCH(QString, avertissement);
    if (chemin.contains(QLatin1String("%1")))
        chemin = chemin.arg(dossier_->path());

    const QString ok = QStringLiteral("OK");
    Repondeur repondeur(avertissement.isNull() ? QStringList{} : QStringList{ok});
    QList<Dialogue_vu> vus;
    repondre_dialogue(repondeur, vus, filtre, chemin);
    Fenetre_Principale fenetre;
    montrer(fenetre);
    remplir_diagramme(fenetre);
    enfant<QAction>(fenetre, "actionExporter_le_diagramme")->trigger();

    QCOMPARE(vus.size(), 1);
    QVERIFY2(repondeur.erreurs.isEmpty(), qPrintable(repondeur.erreurs.join('\n')));
    if (!avertissement.isNull()) {
        QCOMPARE(repondeur.titres(), QStringList{QStringLiteral("Erreur")});
        const Boite_vue &boite = repondeur.boites.at(0);
        QVERIFY2(boite.texte.startsWith(texte_echec.arg(QFileInfo(chemin).fileName())) &&
                     boite.texte.endsWith(avertissement + '.'),
                 qPrintable(boite.texte));
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
    if (format == "pdf")
        verifierPdf(dossier_->filePath(ecrit), fenetre);
    else if (!ecrit.isEmpty())
        verifierImage(dossier_->filePath(ecrit), fenetre, format);
    // Hidden, not closed: closing a changed study asks about its changes.
    fenetre.hide();
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

void TestExport::echecGardeLeFichier_data()
{
    QTest::addColumn<QString>("nom");      // in the test's folder
    QTest::addColumn<QByteArray>("avant"); // the file's bytes before; null: no such file
    QTest::addColumn<bool>("dossier");     // the name is a folder's, with a file inside
    QTest::addColumn<int>("limite");       // bytes a file may grow to; 0: no limit
    QTest::addColumn<QSize>("taille");

    // Far less than any of the four formats takes for the diagram.
    constexpr int disque_plein = 1024;
    const QSize ecran(800, 600);
    QTest::newRow("notes.txt: no writer knows the suffix")
        << "notes.txt" << QByteArray("mes notes\n") << false << 0 << ecran;
    QTest::newRow("PNG over a PNG, disk full")
        << "diagramme.png" << signature_png + "ancien" << false << disque_plein << ecran;
    QTest::newRow("JPEG over a JPEG, disk full")
        << "diagramme.jpg" << signature_jpeg + "ancien" << false << disque_plein << ecran;
    QTest::newRow("SVG over an SVG, disk full")
        << "diagramme.svg" << signature_svg + " ancien" << false << disque_plein << ecran;
    QTest::newRow("PDF over a PDF, disk full")
        << "diagramme.pdf" << signature_pdf + "1.4 ancien" << false << disque_plein << ecran;
    QTest::newRow("new PNG, disk full: no file left")
        << "nouveau.png" << QByteArray() << false << disque_plein << ecran;
    QTest::newRow("PNG over a folder of that name")
        << "diagramme.png" << QByteArray() << true << 0 << ecran;
    // 10^10 pixels: more bytes than an image may hold.
    QTest::newRow("PNG over a PNG, image too large")
        << "diagramme.png" << signature_png + "ancien" << false << 0 << QSize(100000, 100000);
}

void TestExport::echecGardeLeFichier()
{
    QFETCH(QString, nom);
    QFETCH(QByteArray, avant);
    QFETCH(bool, dossier);
    QFETCH(int, limite);
    QFETCH(QSize, taille);

    const QDir repertoire(dossier_->path());
    const QString chemin = repertoire.filePath(nom);
    if (dossier) {
        QVERIFY(repertoire.mkdir(nom));
        QFile dedans(chemin + QStringLiteral("/dedans.txt"));
        QVERIFY(dedans.open(QIODevice::WriteOnly));
    } else if (!avant.isNull()) {
        QFile ancien(chemin);
        QVERIFY(ancien.open(QIODevice::WriteOnly));
        QCOMPARE(ancien.write(avant), qint64(avant.size()));
    }
    const QStringList entrees =
        repertoire.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);

    // The sky disc alone, and a caption with one row for the page.
    Scene scene;
    scene.setSceneRect(-400, -300, 800, 600);
    scene.setDiametre0(500);
    Legende_page legende;
    legende.latitude = QStringLiteral("Latitude: 45°");
    legende.dates = {qMakePair(QStringLiteral("21 juin"), QColor(Qt::red))};
    legende.entetes = QStringList{"Date", "Lever", "Coucher", "Durée du jour"};
    legende.lignes = {QStringList{"21/06/2026", "4h18", "19h43", "15h25"}};

    QString erreur;
    bool ecrit = false;
    if (limite > 0) {
        Disque_plein plein(static_cast<rlim_t>(limite));
        ecrit = exporter_diagramme(scene, taille, legende, chemin, &erreur);
    } else {
        ecrit = exporter_diagramme(scene, taille, legende, chemin, &erreur);
    }
    QVERIFY(!ecrit);
    QVERIFY(!erreur.isEmpty());
    // Nothing new, nothing gone, and the old bytes as they were.
    QCOMPARE(repertoire.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), entrees);
    if (dossier) {
        QVERIFY(QFileInfo(chemin).isDir());
        QCOMPARE(QDir(chemin).entryList(QDir::Files), QStringList{"dedans.txt"});
    } else if (!avant.isNull()) {
        QFile ancien(chemin);
        QVERIFY(ancien.open(QIODevice::ReadOnly));
        QCOMPARE(ancien.readAll(), avant);
    }
}

void TestExport::svgSuitLaScene()
{
    // Every item of the scene is one vector element of the SVG, in the order they are
    // painted, after the elements of the sky disc alone: each course and hour line a path in
    // its pen's colour, each legend stroke a polyline, each label its text.
    Fenetre_Principale fenetre;
    montrer(fenetre);
    remplir_diagramme(fenetre);
    auto *vue = enfant<QGraphicsView>(fenetre, "graphicsView");
    auto *scene = qobject_cast<Scene *>(vue->scene());
    QVERIFY(scene);

    Scene fond;
    fond.setSceneRect(scene->sceneRect());
    fond.setDiametre0(scene->diametre0());
    const QString chemin_fond = dossier_->filePath(QStringLiteral("fond.svg"));
    const QString chemin = dossier_->filePath(QStringLiteral("diagramme.svg"));
    QVERIFY(exporter_diagramme(fond, vue->size(), Legende_page(), chemin_fond));
    QVERIFY(exporter_diagramme(*scene, vue->size(), Legende_page(), chemin));

    QStringList attendus = elements_svg(chemin_fond);
    QMap<int, int> par_type;
    const auto items = scene->items(Qt::AscendingOrder);
    for (const QGraphicsItem *item : items) {
        ++par_type[item->type()];
        if (auto *trace = qgraphicsitem_cast<const QGraphicsPathItem *>(item))
            attendus << QStringLiteral("path ") + trace->pen().color().name();
        else if (auto *ligne = qgraphicsitem_cast<const QGraphicsLineItem *>(item))
            attendus << QStringLiteral("polyline ") + ligne->pen().color().name();
        else if (auto *texte = qgraphicsitem_cast<const QGraphicsTextItem *>(item))
            attendus << QStringLiteral("text ") + texte->toPlainText();
        else
            attendus << QStringLiteral("item of type %1").arg(item->type());
    }
    // The diagram holds every kind: 4 courses, 2 limit courses and the hour lines; 4 legend
    // strokes; the caption, 4 date labels and 2 limit labels and the hour labels.
    QVERIFY2(par_type.value(QGraphicsPathItem::Type) > 6, "courses and hour lines");
    QCOMPARE(par_type.value(QGraphicsLineItem::Type), 4);
    QVERIFY2(par_type.value(QGraphicsTextItem::Type) > 7, "caption and labels");
    QCOMPARE(elements_svg(chemin), attendus);
}

void TestExport::imprimer_data()
{
    QTest::addColumn<bool>("parLeClavier");
    QTest::addColumn<bool>("annuler");
    QTest::newRow("menu entry, to a PDF file") << false << false;
    QTest::newRow("Ctrl+P, cancelled") << true << true;
}

void TestExport::imprimer()
{
    // The print dialog prints the report page; cancelled, it writes nothing, in the working
    // folder either. Here the only printer is the toolkit's PDF file.
    QFETCH(bool, parLeClavier);
    QFETCH(bool, annuler);
    const QString courant = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dossier_->path()));
    const QString chemin = dossier_->filePath(QStringLiteral("impression.pdf"));
    Repondeur repondeur({});
    QStringList titres;
    repondeur.autre_fenetre = [&](QWidget *fenetre) {
        auto *dialogue = qobject_cast<QPrintDialog *>(fenetre);
        if (!dialogue) {
            fenetre->close();
            return;
        }
        titres << dialogue->windowTitle();
        auto *fichier = dialogue->findChild<QLineEdit *>(QStringLiteral("filename"));
        if (annuler || !fichier) {
            dialogue->reject();
            return;
        }
        fichier->setText(chemin);
        dialogue->accept();
    };
    Fenetre_Principale fenetre;
    montrer(fenetre);
    remplir_diagramme(fenetre);
    if (parLeClavier) {
        QApplication::setActiveWindow(&fenetre);
        QVERIFY(QTest::qWaitForWindowActive(&fenetre));
        QTest::keyClick(&fenetre, Qt::Key_P, Qt::ControlModifier);
    } else {
        enfant<QAction>(fenetre, "actionImprimer")->trigger();
    }
    QVERIFY(QDir::setCurrent(courant));

    QCOMPARE(titres, QStringList{QStringLiteral("Imprimer le diagramme")});
    QVERIFY2(repondeur.erreurs.isEmpty(), qPrintable(repondeur.erreurs.join('\n')));
    QCOMPARE(repondeur.titres(), QStringList());
    QStringList fichiers{fichier_ordinaire};
    if (!annuler)
        fichiers << QStringLiteral("impression.pdf");
    QCOMPARE(QDir(dossier_->path())
                 .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
             fichiers);
    if (!annuler)
        verifierPdf(chemin, fenetre);
    // Hidden, not closed: closing a changed study asks about its changes.
    fenetre.hide();
}

QTEST_MAIN(TestExport)
#include "tst_export.moc"
