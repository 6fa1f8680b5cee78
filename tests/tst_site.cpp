// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// Site files: what the window saves opens into the same window, a damaged or foreign file is
// refused with its first problem and leaves the window as it was, and unsaved changes to a site
// show in the title and are asked about before the window closes.
#include "app/demarrage.h"
#include "app/fenetre_principale.h"
#include "diagram/scene.h"
#include "ecriture/ecriture.h"
#include "horizon/dialogue_import_horizon.h"
#include "options/affichage_options.h"
#include "protections/dialogue_fenetre.h"
#include "site/dialogue_projet.h"
#include "site/site.h"
#include "tests/outils.h"
#include "tests/repondeur.h"
#include "trace/regles.h"

#include <QtTest>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QGraphicsPathItem>
#include <QGraphicsTextItem>
#include <QGraphicsView>
#include <QGroupBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSlider>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>

#include <cerrno>
#include <cmath>
#include <sys/stat.h>

namespace
{

// One mask row as typed; NaN stands for an empty cell.
struct Cellules {
    double azimut;
    double hauteur;
};
constexpr double vide = std::numeric_limits<double>::quiet_NaN();

// What a user enters in the window, widget by widget.
struct Saisie {
    double latitude = 0.0;
    bool mois = false;
    QDate date = QDate(2026, 6, 21);
    QVector<QDate> enregistrees;
    int jour = 1;
    int annee = 2026;
    bool limites = false;
    bool heures = false;
    QVector<Cellules> masques;
    int lignes_masques = 6;
    bool conserver = false;
    Options_Disque options;
};

// The main window and the widgets the tests reach by name.
struct Fenetre {
    Fenetre_Principale f;
    QDoubleSpinBox *latitude = enfant<QDoubleSpinBox>(f, "latitude");
    QDateEdit *date = enfant<QDateEdit>(f, "Date");
    QTableView *vue_masques = enfant<QTableView>(f, "tableView_masques");
    Scene *scene()
    {
        return static_cast<Scene *>(enfant<QGraphicsView>(f, "graphicsView")->scene());
    }
    QAbstractItemModel *masques() { return vue_masques->model(); }

    Fenetre()
    {
        f.show();
        if (!QTest::qWaitForWindowExposed(&f))
            qFatal("the window was never shown");
    }

    void saisir(const Saisie &s)
    {
        if (s.mois) {
            enfant<QAction>(f, "actionChoisir_le_jour_pour_les_mois")->trigger();
            enfant<QSpinBox>(f, "spinBox_numero_jour")->setValue(s.jour);
            enfant<QSpinBox>(f, "spinBox_annee")->setValue(s.annee);
        }
        for (const QDate &d : s.enregistrees) {
            date->setDate(d);
            enfant<QPushButton>(f, "Bouton_Enregistrer_Date")->click();
        }
        date->setDate(s.date);
        // The whole part first: a change of whole part brings the spin box back to it.
        latitude->setValue(std::trunc(s.latitude));
        latitude->setValue(s.latitude);
        if (s.limites)
            enfant<QCheckBox>(f, "check_limite")->click();
        if (s.heures)
            enfant<QCheckBox>(f, "check_heures")->click();
        scene()->options.valider(s.options.pas_azimut, s.options.pas_hauteur, s.options.opacite,
                                 s.options.graduations);
        enfant<QSpinBox>(f, "spinBox_nbLignes_tab")->setValue(s.lignes_masques - 6);
        enfant<QPushButton>(f, "Bouton_ajoutLignes")->click();
        for (int r = 0; r < s.masques.size(); ++r) {
            if (!std::isnan(s.masques[r].azimut))
                masques()->setData(masques()->index(r, 0), s.masques[r].azimut, Qt::EditRole);
            if (!std::isnan(s.masques[r].hauteur))
                masques()->setData(masques()->index(r, 1), s.masques[r].hauteur, Qt::EditRole);
        }
        if (s.conserver) {
            enfant<QPushButton>(f, "bouton_masques")->click();
            enfant<QCheckBox>(f, "check_conserver_masques")->click();
        }
    }

    // Everything a user sees of the window's state, as text: the title, the inputs, the mask
    // table, the output table, the display options and every item of the diagram in drawing
    // order.
    QStringList etat()
    {
        QStringList e{f.windowTitle(), QStringLiteral("modifiée %1").arg(f.isWindowModified())};
        for (QAction *a : f.findChildren<QAction *>())
            if (a->isCheckable())
                e << a->objectName() + QStringLiteral(" %1").arg(a->isChecked());
        // The number of rows to add is a request, not a part of the site.
        for (QAbstractSpinBox *b : f.findChildren<QAbstractSpinBox *>())
            if (b->objectName() != QLatin1String("spinBox_nbLignes_tab"))
                e << b->objectName() + QStringLiteral(" %1 %2").arg(b->text()).arg(b->isHidden());
        for (QComboBox *c : f.findChildren<QComboBox *>())
            e << c->objectName() + QStringLiteral(" %1").arg(c->currentIndex());
        for (QSlider *c : f.findChildren<QSlider *>())
            e << c->objectName() + QStringLiteral(" %1/%2 %3")
                                       .arg(c->value())
                                       .arg(c->maximum())
                                       .arg(c->isHidden());
        for (QAbstractButton *b : f.findChildren<QAbstractButton *>())
            e << b->objectName() + QStringLiteral(" %1 %2 %3")
                                       .arg(b->isChecked())
                                       .arg(b->isEnabled())
                                       .arg(b->isHidden());
        for (int r = 0; r < masques()->rowCount(); ++r)
            e << QStringLiteral("masque %1: %2 ; %3")
                     .arg(r)
                     .arg(masques()->index(r, 0).data().toString(),
                          masques()->index(r, 1).data().toString());
        auto *sorties = enfant<QTableWidget>(f, "tableau_sorties");
        for (int r = 0; r < sorties->rowCount(); ++r)
            for (int c = 0; c < sorties->columnCount(); ++c)
                e << (sorties->item(r, c) ? sorties->item(r, c)->text() : QStringLiteral("-"));
        const Affichage_Options &o = scene()->options;
        e << QStringLiteral("options %1 %2 %3 %4")
                 .arg(o.pas_hauteur)
                 .arg(o.pas_azimut)
                 .arg(o.opacite)
                 .arg(o.graduations_affichees());
        // Items of one kind keep their drawing order; the toolkit may interleave the kinds
        // differently from one scene to the next.
        QMap<int, QStringList> par_genre;
        for (QGraphicsItem *item : scene()->items(Qt::AscendingOrder)) {
            QString texte;
            QDebug(&texte) << item->pos() << item->boundingRect();
            if (auto *t = qgraphicsitem_cast<QGraphicsTextItem *>(item))
                texte += t->toPlainText() + t->defaultTextColor().name();
            if (auto *p = qgraphicsitem_cast<QGraphicsPathItem *>(item))
                texte += QString::number(p->path().elementCount()) + p->pen().color().name() +
                         p->brush().color().name();
            par_genre[item->type()] << texte;
        }
        for (const QStringList &genre : qAsConst(par_genre))
            e += genre;
        return e;
    }
};

constexpr int intervalle_dialogue_ms = 20;

// Answers the next file dialog with `chemin`, keeping the name filters it offered.
void repondre_dialogue(Repondeur &repondeur, const QString &chemin, QStringList &filtres)
{
    repondeur.autre_fenetre = [chemin, &filtres](QWidget *fenetre) {
        auto *dialogue = qobject_cast<QFileDialog *>(fenetre);
        if (!dialogue) {
            fenetre->close();
            return;
        }
        filtres = dialogue->nameFilters();
        // Answered from its own event loop, a moment after it has shown: the dialog may be
        // seen while it is still being shown, before that loop runs.
        QTimer::singleShot(intervalle_dialogue_ms, dialogue, [dialogue, chemin] {
            // The name typed, then what the Open or Save button does, without the dialog's
            // own checks.
            enfant<QLineEdit>(*dialogue, "fileNameEdit")->setText(chemin);
            dialogue->QDialog::accept();
        });
    };
}

// Saves the window's site as `chemin` (no suffix: the window adds it) through its menu.
void enregistrer_sous(Fenetre &fenetre, const QString &chemin, QStringList &filtres)
{
    Repondeur repondeur({});
    repondre_dialogue(repondeur, chemin, filtres);
    enfant<QAction>(fenetre.f, "actionEnregistrer_le_site_sous")->trigger();
    QVERIFY2(repondeur.erreurs.isEmpty(), qPrintable(repondeur.erreurs.join('\n')));
}

// Drops `chemin` on the diagram as a file manager would; whether the window took it.
bool deposer(Fenetre_Principale &f, const QString &chemin)
{
    QMimeData donnees;
    donnees.setUrls({QUrl::fromLocalFile(chemin)});
    // The view lets the drag through to the window, which takes it.
    QWidget *diagramme = enfant<QGraphicsView>(f, "graphicsView")->viewport();
    const QPoint point(diagramme->width() / 2, diagramme->height() / 2);
    QDragEnterEvent entree(point, Qt::CopyAction, &donnees, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(diagramme, &entree);
    if (!entree.isAccepted())
        return false;
    QDropEvent depot(point, Qt::CopyAction, &donnees, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(diagramme, &depot);
    // The file is opened once the drop is over.
    QCoreApplication::processEvents();
    return depot.isAccepted();
}

// A site with a little of everything, the ground the damaged files are made from.
Site site_de_base()
{
    Site site;
    Description_Diagramme &d = site.diagramme;
    d.latitude = 45.5;
    d.date_choisie = QDate(2026, 6, 21);
    d.dates_enregistrees = {QDate(2026, 3, 20), QDate(2026, 12, 21)};
    d.jour_des_mois = 21;
    d.annee = 2026;
    d.limites = true;
    d.heures = true;
    site.masques = {{0.0, 10.0}, {-90.0, 20.0}, {std::nullopt, std::nullopt}, {std::nullopt, 5.0}};
    return site;
}

// The base site's file with the field at `chemin` ("dates.annee") set to `valeur`, or removed
// when `valeur` is undefined.
QByteArray avec(const QString &chemin, const QJsonValue &valeur)
{
    const QStringList noms = chemin.split(QLatin1Char('.'));
    std::function<QJsonObject(QJsonObject, int)> poser = [&](QJsonObject objet, int i) {
        if (i + 1 == noms.size()) {
            if (valeur.isUndefined())
                objet.remove(noms[i]);
            else
                objet[noms[i]] = valeur;
        } else {
            objet[noms[i]] = poser(objet[noms[i]].toObject(), i + 1);
        }
        return objet;
    };
    const QJsonObject racine = QJsonDocument::fromJson(site_en_json(site_de_base())).object();
    return QJsonDocument(poser(racine, 0)).toJson();
}

QByteArray texte_remplace(const QByteArray &avant, const QByteArray &apres)
{
    QByteArray octets = site_en_json(site_de_base());
    const int position = octets.indexOf(avant);
    if (position < 0)
        qFatal("%s is not in the base site", avant.constData());
    return octets.replace(position, avant.size(), apres);
}

QJsonArray liste_dates(int nombre)
{
    QJsonArray dates;
    for (int i = 0; i < nombre; ++i)
        dates.append(QDate(2026, 1, 1).addDays(7 * i).toString(Qt::ISODate));
    return dates;
}

QJsonArray lignes_masques(int nombre)
{
    QJsonArray lignes;
    for (int i = 0; i < nombre; ++i)
        lignes.append(QJsonObject{{"azimut", QJsonValue::Null}, {"hauteur", QJsonValue::Null}});
    return lignes;
}

const QString question = QStringLiteral(
    "Le site « maison.orvane » a été modifié. Voulez-vous enregistrer les modifications ?");

} // namespace

Q_DECLARE_METATYPE(Saisie)
Q_DECLARE_METATYPE(Site)

class TestSite : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void allerRetour_data();
    void allerRetour();
    void fichierRefuse_data();
    void fichierRefuse();
    void lectureAcceptee_data();
    void lectureAcceptee();
    void fuseauHorsListe();
    void ecritureRefusee_data();
    void ecritureRefusee();
    void raisonsEnFrancais_data();
    void raisonsEnFrancais();
    void titreEtFermeture_data();
    void titreEtFermeture();
    void siteEnArgument_data();
    void siteEnArgument();
    void annulerRetablir_data();
    void annulerRetablir();

private:
    QTemporaryDir dossier;
};

void TestSite::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    QVERIFY(dossier.isValid());
    reglages_dans(dossier.filePath(QStringLiteral("reglages")));
}

void TestSite::cleanup()
{
    const auto fenetres = QApplication::topLevelWidgets();
    for (QWidget *w : fenetres)
        QVERIFY2(!w->isVisible(), qPrintable(w->objectName() + " was left open"));
}

void TestSite::allerRetour_data()
{
    QTest::addColumn<QString>("nom");
    QTest::addColumn<Saisie>("saisie");

    Saisie ete;
    ete.latitude = 45.5;
    ete.enregistrees = {QDate(2026, 3, 20), QDate(2025, 12, 21), QDate(2024, 2, 29)};
    ete.limites = true;
    ete.heures = true;
    ete.masques = {{0, 10}, {-90, 25.25}, {180, 5}, {0, 10}};
    ete.conserver = true;
    ete.options = {15, 30, 40, false};
    QTest::newRow("Mode 1, saved dates, limits, hours, kept mask, options") << "ete" << ete;

    Saisie mois;
    mois.latitude = -33.25;
    mois.mois = true;
    mois.jour = 31;
    mois.annee = 2024;
    mois.limites = true;
    // As typed: a row, an empty row, a row with its height only, in a table of 9 rows.
    mois.masques = {{-45, 12.5}, {vide, vide}, {vide, 7}};
    mois.lignes_masques = 9;
    QTest::newRow("Mode 2, day 31, southern latitude, half-typed mask not kept") << "mois" << mois;

    Saisie polaire;
    polaire.latitude = 70;
    polaire.date = QDate(2025, 12, 21);
    polaire.limites = true;
    polaire.heures = true;
    polaire.lignes_masques = 500;
    QTest::newRow("polar night, 500 empty mask rows") << "polaire" << polaire;
}

void TestSite::allerRetour()
{
    QFETCH(QString, nom);
    QFETCH(Saisie, saisie);
    nom = dossier.filePath(nom);
    Fenetre a;
    {
        auto repondeur = Repondeur::a_chaque_boite(QStringLiteral("OK"));
        a.saisir(saisie);
        QCOMPARE(repondeur.titres(), QStringList());
    }
    QStringList filtres;
    enregistrer_sous(a, nom, filtres);
    QCOMPARE(filtres, QStringList{QStringLiteral("Site Orvane (*.orvane)")});
    const QString fichier = nom + QStringLiteral(".orvane");
    QVERIFY2(QFileInfo::exists(fichier), "the suffix is added to a name without one");
    // A person can read it: indented UTF-8 text with the format's name.
    QFile lu(fichier);
    QVERIFY(lu.open(QIODevice::ReadOnly));
    QVERIFY(lu.readAll().contains("\n    \"format\": \"orvane-site\""));

    Fenetre b;
    Repondeur repondeur({});
    repondre_dialogue(repondeur, fichier, filtres);
    enfant<QAction>(b.f, "actionOuvrir_un_site")->trigger();
    QVERIFY2(repondeur.erreurs.isEmpty(), qPrintable(repondeur.erreurs.join('\n')));
    QCOMPARE(repondeur.titres(), QStringList());
    QCOMPARE(b.etat(), a.etat());
    QCOMPARE(b.f.windowTitle(), QFileInfo(nom).fileName() + QStringLiteral("[*] - Orvane"));
    a.f.close();
    b.f.close();
}

void TestSite::fichierRefuse_data()
{
    QTest::addColumn<QString>("nom");
    QTest::addColumn<QByteArray>("octets");
    QTest::addColumn<QString>("probleme");

    const QString n = QStringLiteral("abime.orvane");
    const QByteArray base = site_en_json(site_de_base());
    QTest::newRow("not JSON") << n << QByteArray("Latitude 45,5\n")
                              << "ce n'est pas un texte JSON valide (erreur à l'octet";
    QTest::newRow("empty file") << n << QByteArray() << "le fichier est vide";
    QTest::newRow("cut in half") << n << base.left(base.size() / 2)
                                 << "le fichier est tronqué : le texte JSON s'arrête avant sa fin";
    // A comma left after the last field, the commonest slip of a file edited by hand.
    QByteArray virgule = base;
    const QByteArray version("\"version\": 1");
    const int apres_dernier = virgule.lastIndexOf(version) + version.size();
    virgule.insert(apres_dernier, ',');
    QTest::newRow("trailing comma")
        << n << virgule
        << QStringLiteral("ce n'est pas un texte JSON valide (erreur à l'octet %1, ligne %2 : une "
                          "virgule en trop")
               .arg(apres_dernier)
               .arg(virgule.left(apres_dernier).count('\n') + 1);
    QTest::newRow("invalid UTF-8")
        << n << texte_remplace("\"dates\"", "\"d\xe9tes\"") << "ce n'est pas un texte JSON valide";
    QTest::newRow("a JSON list") << n << QByteArray("[1, 2]")
                                 << "le texte JSON n'est pas un objet {…}";
    QTest::newRow("another format") << n << avec("format", "orvane-horizon")
                                    << "format « orvane-horizon » au lieu de « orvane-site »";
    QTest::newRow("no format") << n << avec("format", QJsonValue::Undefined)
                               << "le champ « format » ne vaut pas « orvane-site »";
    QTest::newRow("newer version")
        << n << avec("version", 2) << "il a été écrit par une version plus récente d'Orvane";
    QTest::newRow("version 1.5") << n << avec("version", 1.5)
                                 << "le champ « version » doit être un nombre entier";
    QTest::newRow("latitude as text")
        << n << avec("lieu.latitude", "45.5") << "le champ « lieu.latitude » doit être un nombre";
    QTest::newRow("latitude 90.01") << n << avec("lieu.latitude", 90.01)
                                    << "la valeur 90.01 du champ « lieu.latitude » est hors de "
                                       "-90..90°";
    QTest::newRow("latitude -91")
        << n << avec("lieu.latitude", -91)
        << "la valeur -91 du champ « lieu.latitude » est hors de -90..90°";
    QTest::newRow("latitude NaN") << n << texte_remplace("45.5", "NaN")
                                  << "« NaN » n'est pas un nombre";
    QTest::newRow("latitude -Infinity")
        << n << texte_remplace("45.5", "-Infinity") << "« -Infinity » n'est pas un nombre";
    QTest::newRow("latitude 1e999")
        << n << texte_remplace("45.5", "1e999") << "ce n'est pas un texte JSON valide";
    QTest::newRow("facade at bearing 361")
        << n << avec("fenetre", QJsonObject{{"active", true}, {"orientation", 361}})
        << "la valeur 361 du champ « fenetre.orientation » est hors de 0..360°";
    const QJsonObject mur{
        {"gisement1", 10}, {"distance1", 0}, {"gisement2", 20}, {"distance2", 5.5}, {"hauteur", 3}};
    QTest::newRow("wall at distance 0")
        << n << avec("obstacles", QJsonObject{{"actifs", true}, {"murs", QJsonArray{mur}}})
        << "la longueur 0 du champ « obstacles.murs[0].distance1 » doit être plus grande que 0";
    // The second wall runs from due north to due south, 5 m each way: through the point; it is
    // refused even while the walls are switched off.
    QJsonObject loin = mur;
    loin["distance1"] = 5.5;
    const QJsonObject nord_sud{
        {"gisement1", 0}, {"distance1", 5}, {"gisement2", 180}, {"distance2", 5}, {"hauteur", 10}};
    QTest::newRow("wall through the point")
        << n
        << avec("obstacles", QJsonObject{{"actifs", false}, {"murs", QJsonArray{loin, nord_sud}}})
        << "« obstacles.murs[1] » : le mur passe à 1 cm ou moins du point de la fenêtre";
    QTest::newRow("no place") << n << avec("lieu", QJsonValue::Undefined)
                              << "le champ « lieu » manque";
    QTest::newRow("unknown mode") << n << avec("dates.mode", "annee")
                                  << "le mode « annee » est inconnu";
    QTest::newRow("30 February") << n << avec("dates.date", "2026-02-30")
                                 << "le champ « dates.date » doit être une date valide";
    QTest::newRow("date before the date edit's range")
        << n << avec("dates.date", "1700-01-01")
        << "la date 1700-01-01 du champ « dates.date » est hors de 1752-09-14..9999-12-31";
    QTest::newRow("date with a time")
        << n << avec("dates.date", "2026-06-21T23:59")
        << "le champ « dates.date » doit être une date valide écrite AAAA-MM-JJ";
    QTest::newRow("saved date with a zone")
        << n << avec("dates.enregistrees", QJsonArray{"2026-03-20Z"})
        << "le champ « dates.enregistrees[0] » doit être une date valide";
    QTest::newRow("date with a trailing NUL")
        << n << avec("dates.date", QStringLiteral("2026-06-21") + QChar(0))
        << "le champ « dates.date » doit être une date valide";
    QTest::newRow("year 0") << n << avec("dates.annee", 0)
                            << "la valeur 0 du champ « dates.annee » est hors de 1..9999";
    QTest::newRow("year 999999999")
        << n << avec("dates.annee", 999999999)
        << "la valeur 999999999 du champ « dates.annee » est hors de 1..9999";
    QTest::newRow("13 saved dates")
        << n << avec("dates.enregistrees", liste_dates(13)) << "13 dates enregistrées : 12 au plus";
    QTest::newRow("two saved dates on day 61")
        << n << avec("dates.enregistrees", QJsonArray{"2024-03-01", "2023-03-02"})
        << "deux dates enregistrées tombent le même jour de l'année (2023-03-02, champ "
           "« dates.enregistrees[1] »)";
    QTest::newRow("day of month 32") << n << avec("dates.jour_des_mois", 32)
                                     << "la valeur 32 du champ « dates.jour_des_mois » est hors "
                                        "de 1..31";
    QTest::newRow("longitude 180.5")
        << n << avec("lieu.longitude", 180.5)
        << "la valeur 180.5 du champ « lieu.longitude » est hors de -180..180°";
    QTest::newRow("unknown time zone") << n << avec("lieu.fuseau", "Europe/Atlantide")
                                       << "le fuseau horaire « Europe/Atlantide » est inconnu";
    QTest::newRow("unknown time scale")
        << n << avec("heure.echelle", "locale")
        << "« locale » est inconnu dans « heure.echelle » (« solaire » ou « legale » attendu)";
    QTest::newRow("unknown projection")
        << n << avec("affichage.projection", "mercator")
        << "« mercator » est inconnu dans « affichage.projection » (« equidistante », "
           "« stereographique » ou « cylindrique » attendu)";
    QTest::newRow("unknown graduations")
        << n << avec("affichage.graduations", "nord")
        << "« nord » est inconnu dans « affichage.graduations » (true, false, « tableau » ou "
           "« caps » attendu)";
    QTest::newRow("unknown joining of the mask rows")
        << n << avec("masques.jonction", "courbe")
        << "« courbe » est inconnu dans « masques.jonction » (« paliers » ou « ligne » attendu)";
    QTest::newRow("limits as text") << n << avec("trace.limites", "oui")
                                    << "le champ « trace.limites » doit valoir true ou false";
    QTest::newRow("501 mask rows") << n << avec("masques.lignes", lignes_masques(501))
                                   << "501 lignes de masques : 500 au plus";
    QTest::newRow("mask azimuth 181")
        << n << avec("masques.lignes", QJsonArray{QJsonObject{{"azimut", 181}, {"hauteur", 5}}})
        << "la valeur 181 du champ « masques.lignes[0].azimut » est hors de -180..180°";
    QTest::newRow("mask height as text")
        << n << avec("masques.lignes", QJsonArray{QJsonObject{{"azimut", 0}, {"hauteur", "5"}}})
        << "le champ « masques.lignes[0].hauteur » doit être un nombre";
    QTest::newRow("mask row as a list") << n << avec("masques.lignes", QJsonArray{QJsonArray{0, 5}})
                                        << "le champ « masques.lignes[0] » doit être un objet";
    QTest::newRow("height step 4") << n << avec("affichage.pas_hauteur", 4)
                                   << "la valeur 4 du champ « affichage.pas_hauteur » est hors de "
                                      "5..15°";
    QTest::newRow("over 1 MB") << n << base + QByteArray(1024 * 1024, ' ')
                               << "le fichier dépasse 1 Mo (1049";
    QTest::newRow("missing file") << QStringLiteral("absent.orvane") << QByteArray()
                                  << "le fichier n'existe pas";
    // Made as a FIFO that nobody writes: read, it would hold the window for ever.
    QTest::newRow("a FIFO") << QStringLiteral("tube_lu.orvane") << QByteArray()
                            << "ce n'est pas un fichier ordinaire";
    QTest::newRow("a zone given as a path")
        << n << avec("lieu.fuseau", "../zoneinfo/Europe/Paris")
        << "le fuseau horaire « ../zoneinfo/Europe/Paris » est inconnu";
    // Not taken at all: no message, nothing changes.
    QTest::newRow("text file dropped") << QStringLiteral("site.txt") << base << QString();
}

void TestSite::fichierRefuse()
{
    QFETCH(QString, nom);
    QFETCH(QByteArray, octets);
    QFETCH(QString, probleme);
    // A window with a site of its own, changed since it was saved.
    Fenetre fenetre;
    QStringList filtres;
    enregistrer_sous(fenetre, dossier.filePath(QStringLiteral("maison")), filtres);
    {
        auto repondeur = Repondeur::a_chaque_boite(QStringLiteral("OK"));
        Saisie saisie;
        saisie.latitude = 12.75;
        saisie.limites = true;
        saisie.masques = {{-10, 20}, {170, 30}};
        saisie.conserver = true;
        fenetre.saisir(saisie);
        QCOMPARE(repondeur.titres(), QStringList());
    }
    const QStringList avant = fenetre.etat();
    QVERIFY(fenetre.f.isWindowModified());

    const QString chemin = dossier.filePath(nom);
    if (nom.startsWith(QLatin1String("tube"))) {
        QCOMPARE(mkfifo(QFile::encodeName(chemin).constData(), 0600), 0);
    } else if (!nom.startsWith(QLatin1String("absent"))) {
        QFile fichier(chemin);
        QVERIFY(fichier.open(QIODevice::WriteOnly | QIODevice::Truncate));
        fichier.write(octets);
    }
    auto repondeur = Repondeur::a_chaque_boite(QStringLiteral("OK"));
    const bool pris = deposer(fenetre.f, chemin);
    QVERIFY2(repondeur.erreurs.isEmpty(), qPrintable(repondeur.erreurs.join('\n')));
    if (probleme.isEmpty()) {
        QVERIFY(!pris);
        QCOMPARE(repondeur.titres(), QStringList());
    } else {
        QCOMPARE(repondeur.titres(), QStringList{QStringLiteral("Attention!")});
        const QString texte = repondeur.boites.at(0).texte;
        const QString debut = QStringLiteral("Le site « %1 » n'a pas pu être ouvert : ").arg(nom);
        QVERIFY2(texte.startsWith(debut) && texte.contains(probleme) && texte.endsWith('.'),
                 qPrintable(texte));
        QCOMPARE(repondeur.boites.at(0).parent, &fenetre.f);
        // The same problem without the window.
        QCOMPARE(lire_site(chemin).probleme, texte);
    }
    QCOMPARE(fenetre.etat(), avant);
}

void TestSite::lectureAcceptee_data()
{
    QTest::addColumn<QByteArray>("octets");
    QTest::addColumn<Site>("attendu");

    Site base = site_de_base();
    QTest::newRow("the written file") << site_en_json(base) << base;
    QJsonObject racine = QJsonDocument::fromJson(site_en_json(base)).object();
    racine["commentaire"] = "ajouté par une version future";
    QJsonObject lieu = racine["lieu"].toObject();
    lieu["altitude"] = 35;
    racine["lieu"] = lieu;
    QTest::newRow("unknown fields of the same version")
        << QJsonDocument(racine).toJson(QJsonDocument::Compact) << base;

    // The place's clock, and a file written before it: true solar time with the simple sun.
    Site horloge = base;
    horloge.diagramme.longitude = 2.33;
    horloge.diagramme.fuseau = "Europe/Paris";
    horloge.diagramme.echelle = Echelle_Heures::Heure_legale;
    horloge.diagramme.modele = Modele_Soleil::precis;
    QTest::newRow("longitude, zone, clock and accurate sun") << site_en_json(horloge) << horloge;
    QJsonObject ancien = QJsonDocument::fromJson(site_en_json(horloge)).object();
    QJsonObject lieu_ancien = ancien["lieu"].toObject();
    lieu_ancien.remove("longitude");
    lieu_ancien.remove("fuseau");
    ancien["lieu"] = lieu_ancien;
    ancien.remove("heure");
    QTest::newRow("a file without the clock draws as before")
        << QJsonDocument(ancien).toJson(QJsonDocument::Compact) << base;
    // Either half of the clock missing is its default.
    for (const char *champ : {"echelle", "modele"}) {
        QJsonObject racine_sans = QJsonDocument::fromJson(site_en_json(horloge)).object();
        QJsonObject heure = racine_sans["heure"].toObject();
        heure.remove(champ);
        racine_sans["heure"] = heure;
        Site attendu = horloge;
        if (QByteArray(champ) == "echelle")
            attendu.diagramme.echelle = Echelle_Heures::Temps_solaire_vrai;
        else
            attendu.diagramme.modele = Modele_Soleil::simple;
        QTest::newRow(qPrintable(QStringLiteral("heure without %1").arg(champ)))
            << QJsonDocument(racine_sans).toJson() << attendu;
    }
    Site hors_liste = horloge;
    hors_liste.diagramme.fuseau = "Etc/GMT+5";
    QTest::newRow("a zone of the database outside zone1970.tab")
        << site_en_json(hors_liste) << hors_liste;

    // The projection: written when it is not the default disc, which a file without it draws.
    for (const Type_Projection type :
         {Type_Projection::Stereographique, Type_Projection::Cylindrique}) {
        Site projete = base;
        projete.diagramme.options.projection = type;
        QTest::newRow(qPrintable(QStringLiteral("projection ") + nom_projection(type)))
            << site_en_json(projete) << projete;
    }
    // A sky photo's file and calibration; below the site's folder, its path relative to it.
    Site photo = base;
    photo.diagramme.photo.fichier = QStringLiteral("/etudes/photos/ciel.jpg");
    photo.diagramme.photo.opacite = 35;
    photo.diagramme.photo.calibration = {Type_Objectif::Polynome,  0.716,  0.0115, -0.0393,
                                         QPointF(2012.5, 1498.25), 1433.5, -12.5,  false};
    QTest::newRow("sky photo through a polynomial lens") << site_en_json(photo) << photo;
    Site relative = photo;
    relative.diagramme.photo.fichier = QStringLiteral("photos/ciel.jpg");
    QTest::newRow("sky photo below the site's folder")
        << site_en_json(photo, QStringLiteral("/etudes")) << relative;
    // Graduations in bearings, shown or hidden; a file without the choice has the table's.
    Site caps = base;
    caps.diagramme.options.graduations_azimut = Graduations_Azimut::Caps;
    QTest::newRow("graduations in bearings") << site_en_json(caps) << caps;
    caps.diagramme.options.graduations = !caps.diagramme.options.graduations;
    QTest::newRow("graduations in bearings, the other way shown or hidden")
        << site_en_json(caps) << caps;
    // Mask rows joined by straight lines: written so, where a file without it has steps.
    Site en_ligne = base;
    en_ligne.jonction_masques = Jonction_Masque::Ligne;
    QTest::newRow("mask rows joined by straight lines") << site_en_json(en_ligne) << en_ligne;
    // The window's sections; a file without them has neither facade nor wall.
    Site fenetre = base;
    Ombrage &ombrage = fenetre.diagramme.ombrage;
    ombrage.facade = {true,
                      225.0,
                      {true, 1.2, 1.5, 0.75, std::numeric_limits<double>::infinity()},
                      {true, 0.5, 1.0},
                      {false, 0.25, 2.0}};
    ombrage.obstacles = {{200.0, 20.0, 250.0, 15.0, 8.0}, {0.0, 3.0, 360.0, 4.0, -1.5}};
    QTest::newRow("facade, overhang with one end, fins, walls") << site_en_json(fenetre) << fenetre;
    ombrage.facade.active = false;
    ombrage.obstacles_actifs = false;
    QTest::newRow("facade and walls kept switched off") << site_en_json(fenetre) << fenetre;

    // The project, whole or in part: an absent text is empty.
    Site projet = base;
    projet.diagramme.projet = {QStringLiteral("Maison Arnaud"),
                               QStringLiteral("12 rue des Lilas, 75020 Paris"),
                               QStringLiteral("M. et Mme Arnaud"), QStringLiteral("Cabinet Leroy")};
    QTest::newRow("project") << site_en_json(projet) << projet;
    QJsonObject racine_projet = QJsonDocument::fromJson(site_en_json(base)).object();
    racine_projet["projet"] = QJsonObject{{"nom", "École Jules Ferry"}, {"auteur", "CM2 B"}};
    Site projet_partiel = base;
    projet_partiel.diagramme.projet.nom = QStringLiteral("École Jules Ferry");
    projet_partiel.diagramme.projet.auteur = QStringLiteral("CM2 B");
    QTest::newRow("project with two of its texts")
        << QJsonDocument(racine_projet).toJson() << projet_partiel;

    Site douze = base;
    douze.diagramme.dates_enregistrees.clear();
    for (const QJsonValue &date : liste_dates(12))
        douze.diagramme.dates_enregistrees.append(QDate::fromString(date.toString(), Qt::ISODate));
    QTest::newRow("12 saved dates") << site_en_json(douze) << douze;

    Site bornes;

    bornes.diagramme.latitude = -90;
    bornes.diagramme.mode = Mode_Dates::Jour_des_mois;
    bornes.diagramme.date_choisie = derniere_date;
    bornes.diagramme.annee = annee_min;
    bornes.diagramme.options = {5, 5, 0, false};
    bornes.masques = QVector<Ligne_Masque_Saisie>(lignes_masque_max, {-180.0, 90.0});
    bornes.conserver_masques = true;
    QTest::newRow("every value at its bound, 500 rows") << site_en_json(bornes) << bornes;
}

void TestSite::lectureAcceptee()
{
    QFETCH(QByteArray, octets);
    QFETCH(Site, attendu);
    const Lecture_Site lecture = site_depuis_json(octets);
    QVERIFY2(lecture.site, qPrintable(lecture.probleme));
    QVERIFY(*lecture.site == attendu);
}

void TestSite::fuseauHorsListe()
{
    // A zone that the list of cities lacks joins it, and is saved again as it was read.
    Site site = site_de_base();
    site.diagramme.fuseau = "Etc/GMT+5";
    const QString chemin = dossier.filePath(QStringLiteral("gmt5.orvane"));
    QCOMPARE(ecrire_site(chemin, site), QString());
    Fenetre fenetre;
    QVERIFY(deposer(fenetre.f, chemin));
    QCOMPARE(enfant<QComboBox>(fenetre.f, "combo_fuseau")->currentText(),
             QStringLiteral("Etc/GMT+5"));
    QStringList filtres;
    enregistrer_sous(fenetre, dossier.filePath(QStringLiteral("gmt5_copie")), filtres);
    const Lecture_Site copie = lire_site(dossier.filePath(QStringLiteral("gmt5_copie.orvane")));
    QVERIFY2(copie.site, qPrintable(copie.probleme));
    QCOMPARE(copie.site->diagramme.fuseau, site.diagramme.fuseau);
    fenetre.f.close();
}

void TestSite::ecritureRefusee_data()
{
    QTest::addColumn<QString>("chemin");
    QTest::addColumn<QString>("message");

    QTest::newRow("missing folder")
        << dossier.filePath(QStringLiteral("absent/maison.orvane"))
        << QStringLiteral("Le site n'a pas pu être enregistré dans « maison.orvane » : le dossier "
                          "« %1 » n'existe pas.")
               .arg(QDir::toNativeSeparators(dossier.filePath(QStringLiteral("absent"))));
    QTest::newRow("a folder's name")
        << dossier.path()
        << QStringLiteral("Le site n'a pas pu être enregistré dans « %1 » : c'est un dossier.")
               .arg(QFileInfo(dossier.path()).fileName());
    // Written into in place, never renamed over; with no reader, refused rather than waited
    // for. Were it replaced, a regular file would show among the folder's entries.
    const QString tube = dossier.filePath(QStringLiteral("tube.orvane"));
    QVERIFY(::mkfifo(QFile::encodeName(tube).constData(), 0600) == 0);
    QTest::newRow("a FIFO nobody reads")
        << tube
        << QStringLiteral("Le site n'a pas pu être enregistré dans « tube.orvane » : aucun "
                          "programme ne lit ce tube.");
}

void TestSite::ecritureRefusee()
{
    // The message names the file and the reason, and nothing is left behind.
    QFETCH(QString, chemin);
    QFETCH(QString, message);
    const auto contenu = [this] {
        return QDir(dossier.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    };
    const QStringList avant = contenu();
    QCOMPARE(ecrire_site(chemin, site_de_base()), message);
    QCOMPARE(contenu(), avant);
}

void TestSite::raisonsEnFrancais_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("raison");
    QTest::newRow("no space") << ENOSPC << "le disque est plein";
    QTest::newRow("no permission")
        << EACCES << "vous n'avez pas la permission d'écrire à cet endroit";
    QTest::newRow("missing folder") << ENOENT << "le dossier n'existe pas";
    QTest::newRow("read-only file system")
        << EROFS << "le système de fichiers est en lecture seule";
    QTest::newRow("a folder") << EISDIR << "c'est un dossier";
    QTest::newRow("any other cause keeps the system's text")
        << EIO << "le système a refusé l'écriture (" + qt_error_string(EIO) + ")";
}

void TestSite::raisonsEnFrancais()
{
    QFETCH(int, code);
    QFETCH(QString, raison);
    QCOMPARE(raison_ecriture(code), raison);
}

void TestSite::titreEtFermeture_data()
{
    QTest::addColumn<bool>("site");
    QTest::addColumn<QString>("changement");
    QTest::addColumn<QString>("reponse");
    QTest::addColumn<bool>("fermee");
    QTest::addColumn<double>("latitude_du_fichier");
    // Instead of "Quitter", another site is dropped on the window; "fermee" then says whether
    // it replaced the changed one.
    QTest::addColumn<bool>("depot");

    // A study never saved asks as a site does; "Enregistrer" goes through "Enregistrer sous",
    // whose dialog is answered when "fermee", cancelled otherwise.
    QTest::newRow("no site, changed and changed back: Quitter closes at once")
        << false << "retour"
        << "" << true << 0.0 << false;
    QTest::newRow("no site, latitude changed, Annuler: the window stays")
        << false << "latitude"
        << "Annuler" << false << 0.0 << false;
    QTest::newRow("no site, mask cell typed, Ne pas enregistrer: closes")
        << false << "masque"
        << "Ne pas enregistrer" << true << 0.0 << false;
    QTest::newRow("no site, latitude changed, Enregistrer: saved under a name, closes")
        << false << "latitude"
        << "Enregistrer" << true << 12.0 << false;
    QTest::newRow("no site, latitude changed, Enregistrer, its name cancelled: the window stays")
        << false << "latitude"
        << "Enregistrer" << false << 0.0 << false;
    QTest::newRow("site changed and changed back: no question") << true << "retour"
                                                                << "" << true << 0.0 << false;
    QTest::newRow("latitude changed, Annuler: the window stays")
        << true << "latitude"
        << "Annuler" << false << 0.0 << false;
    QTest::newRow("mask cell typed, Ne pas enregistrer: closes, file as it was")
        << true << "masque"
        << "Ne pas enregistrer" << true << 0.0 << false;
    QTest::newRow("date saved, Enregistrer: the file takes it")
        << true << "date"
        << "Enregistrer" << true << 0.0 << false;
    QTest::newRow("latitude changed, Enregistrer: the file takes it")
        << true << "latitude"
        << "Enregistrer" << true << 12.0 << false;
    QTest::newRow("another site dropped over changes, Annuler: the changes stay")
        << true << "latitude"
        << "Annuler" << false << 0.0 << true;
    QTest::newRow("another site dropped over changes, Ne pas enregistrer: it replaces them")
        << true << "latitude"
        << "Ne pas enregistrer" << true << 0.0 << true;
}

void TestSite::titreEtFermeture()
{
    QFETCH(bool, site);
    QFETCH(QString, changement);
    QFETCH(QString, reponse);
    QFETCH(bool, fermee);
    QFETCH(double, latitude_du_fichier);
    QFETCH(bool, depot);
    Fenetre fenetre;
    Fenetre_Principale &f = fenetre.f;
    const QString fichier = dossier.filePath(QStringLiteral("maison.orvane"));
    QFile::remove(fichier);
    if (site) {
        // A study never saved keeps the window's first date: changing it is a change to lose.
        fenetre.date->setDate(QDate(2026, 6, 21));
        QStringList filtres;
        enregistrer_sous(fenetre, fichier, filtres);
        QCOMPARE(f.windowTitle(), QStringLiteral("maison[*] - Orvane"));
        QVERIFY(!f.isWindowModified());
    }

    if (changement == QLatin1String("latitude")) {
        fenetre.latitude->setValue(12);
    } else if (changement == QLatin1String("retour")) {
        fenetre.latitude->setValue(12);
        QVERIFY(f.isWindowModified());
        fenetre.latitude->setValue(0);
    } else if (changement == QLatin1String("masque")) {
        fenetre.masques()->setData(fenetre.masques()->index(0, 0), -30.0, Qt::EditRole);
    } else {
        enfant<QPushButton>(f, "Bouton_Enregistrer_Date")->click();
    }
    const bool change = changement != QLatin1String("retour");
    QCOMPARE(f.isWindowModified(), change);
    QCOMPARE(f.windowTitle(), site     ? QStringLiteral("maison[*] - Orvane")
                              : change ? QStringLiteral("Sans titre[*] - Orvane")
                                       : QStringLiteral("Orvane"));

    {
        Repondeur repondeur(reponse.isEmpty() ? QStringList() : QStringList{reponse});
        const QString autre = dossier.filePath(QStringLiteral("autre.orvane"));
        QCOMPARE(ecrire_site(autre, site_de_base()), QString());
        QStringList filtres;
        if (!site && fermee)
            repondre_dialogue(repondeur, fichier, filtres);
        else
            repondeur.autre_fenetre = [](QWidget *w) { w->close(); };
        if (depot)
            QVERIFY(deposer(f, autre));
        else
            enfant<QAction>(f, "actionQuitter")->trigger();
        QVERIFY2(repondeur.erreurs.isEmpty(), qPrintable(repondeur.erreurs.join('\n')));
        if (reponse.isEmpty()) {
            QCOMPARE(repondeur.titres(), QStringList());
        } else {
            QCOMPARE(
                repondeur.titres_et_textes(),
                QStringList{
                    QStringLiteral("Orvane | ") +
                    (site ? question : QString(question).replace("maison.orvane", "Sans titre"))});
            QStringList boutons = repondeur.boites.at(0).boutons;
            boutons.sort();
            QCOMPARE(boutons, QStringList({"Annuler", "Enregistrer", "Ne pas enregistrer"}));
        }
    }
    if (depot) {
        QVERIFY(f.isVisible());
        QCOMPARE(f.windowTitle(), fermee ? QStringLiteral("autre[*] - Orvane")
                                         : QStringLiteral("maison[*] - Orvane"));
        QCOMPARE(fenetre.latitude->value(), fermee ? site_de_base().diagramme.latitude : 12.0);
    } else {
        QCOMPARE(!f.isVisible(), fermee);
    }
    const bool enregistre = reponse == QLatin1String("Enregistrer") && fermee;
    QCOMPARE(QFile::exists(fichier), site || enregistre);
    if (site || enregistre) {
        const Lecture_Site lu = lire_site(fichier);
        QVERIFY2(lu.site, qPrintable(lu.probleme));
        QCOMPARE(lu.site->diagramme.latitude, latitude_du_fichier);
        QCOMPARE(lu.site->masques.at(0).azimut.has_value(), false);
        QCOMPARE(lu.site->diagramme.dates_enregistrees.size(),
                 changement == QLatin1String("date") ? 1 : 0);
    }
    // Only a save or another site takes the "*" away.
    QCOMPARE(f.isWindowModified(), !enregistre && change && !(depot && fermee));
    if (f.isVisible()) {
        Repondeur abandon({QStringLiteral("Ne pas enregistrer")});
        QVERIFY(f.close());
    }
}

void TestSite::siteEnArgument_data()
{
    // The arguments after the program's name, %1 standing for the test's folder; the file's
    // bytes (none written when null); whether the window takes the argument; what the refusal's
    // message names.
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("octets");
    QTest::addColumn<bool>("fenetre");
    QTest::addColumn<QString>("probleme");
    // What the status bar says once the site is open, when it says something.
    QTest::addColumn<QString>("statut");

    const QByteArray base = site_en_json(site_de_base());
    QTest::newRow("a site file alone opens in the window")
        << QStringList{"%1/paris.orvane"} << base << true << QString() << QString();
    QTest::newRow("its suffix in capitals")
        << QStringList{"%1/PARIS.ORVANE"} << base << true << QString() << QString();
    QTest::newRow("a refused site: its message, the window as it starts")
        << QStringList{"%1/casse.orvane"} << QByteArray("Latitude 45,5\n") << true
        << "« casse.orvane »" << QString();
    QTest::newRow("an option: the command line")
        << QStringList{"--tableau"} << QByteArray() << false << QString() << QString();
    QTest::newRow("a site with an option: the command line")
        << QStringList{"--site", "%1/paris.orvane"} << QByteArray() << false << QString()
        << QString();
    QTest::newRow("another suffix: the command line")
        << QStringList{"%1/paris.txt"} << QByteArray() << false << QString() << QString();
    Site sans_photo = site_de_base();
    sans_photo.diagramme.photo.fichier = QStringLiteral("absent.jpg");
    QTest::newRow("a site whose photo is missing opens without it")
        << QStringList{"%1/ciel.orvane"} << site_en_json(sans_photo) << true << QString()
        << QStringLiteral("La photo du ciel « absent.jpg » n'a pas pu être lue (le fichier "
                          "n'existe pas) : le site est ouvert sans elle.");
}

void TestSite::siteEnArgument()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, octets);
    QFETCH(bool, fenetre);
    QFETCH(QString, probleme);
    QFETCH(QString, statut);
    arguments.replaceInStrings(QStringLiteral("%1"), dossier.path());
    arguments.prepend(QStringLiteral("orvane"));
    const QString chemin = site_en_argument(arguments);
    QCOMPARE(chemin, fenetre ? arguments.at(1) : QString());
    if (!fenetre)
        return;
    QFile fichier(chemin);
    QVERIFY(fichier.open(QIODevice::WriteOnly | QIODevice::Truncate));
    fichier.write(octets);
    fichier.close();

    QStringList au_depart;
    {
        Fenetre temoin;
        au_depart = temoin.etat();
        temoin.f.close();
    }
    Fenetre w;
    auto repondeur = Repondeur::a_chaque_boite(QStringLiteral("OK"));
    w.f.ouvrir_site_differe(chemin);
    if (probleme.isEmpty()) {
        QTRY_COMPARE(w.f.windowTitle(), QFileInfo(chemin).completeBaseName() + "[*] - Orvane");
        QCOMPARE(w.latitude->value(), 45.5);
        QCOMPARE(repondeur.titres(), QStringList());
        QCOMPARE(w.f.statusBar()->currentMessage(), statut);
    } else {
        QTRY_COMPARE(repondeur.titres(), QStringList{QStringLiteral("Attention!")});
        QVERIFY2(repondeur.boites.at(0).texte.contains(probleme),
                 qPrintable(repondeur.boites.at(0).texte));
        QCOMPARE(w.etat(), au_depart);
    }
    w.f.close();
}

void TestSite::annulerRetablir_data()
{
    QTest::addColumn<QString>("changement");
    QTest::addColumn<QString>("etape");

    QTest::newRow("latitude typed, then Enter: one step") << "latitude"
                                                          << "Latitude";
    QTest::newRow("latitude slider, arrow key held: one step") << "touche"
                                                               << "Latitude";
    QTest::newRow("longitude") << "longitude"
                               << "Longitude";
    QTest::newRow("zone, with its city's longitude") << "fuseau"
                                                     << "Fuseau horaire";
    QTest::newRow("time scale") << "echelle"
                                << "Échelle des heures";
    QTest::newRow("model of the sun") << "modele"
                                      << "Modèle du soleil";
    QTest::newRow("date") << "date"
                          << "Date";
    QTest::newRow("date saved") << "enregistrer"
                                << "Enregistrer la date";
    QTest::newRow("saved dates reset") << "reinitialiser"
                                       << "Réinitialisation";
    QTest::newRow("Mode 2 chosen") << "mode"
                                   << "Mode d'utilisation";
    QTest::newRow("day of Mode 2") << "jour"
                                   << "Jour des mois";
    QTest::newRow("year of Mode 2") << "annee"
                                    << "Année";
    QTest::newRow("limit courses unticked") << "limites"
                                            << "Délimiter la course";
    QTest::newRow("hour lines ticked") << "heures"
                                       << "Afficher les heures";
    QTest::newRow("mask cell typed") << "cellule"
                                     << "Tableau des masques";
    QTest::newRow("mask rows added") << "lignes"
                                     << "Ajouter des lignes";
    QTest::newRow("mask table emptied") << "effacer"
                                        << "Effacer le tableau";
    QTest::newRow("horizon imported") << "horizon"
                                      << "Importer un horizon";
    QTest::newRow("kept masks unticked") << "conserver"
                                         << "Conserver les masques";
    QTest::newRow("mask rows joined by straight lines") << "jonction"
                                                        << "Jonction des lignes";
    QTest::newRow("window and walls") << "fenetre"
                                      << "Fenêtre et obstacles";
    QTest::newRow("display options") << "options"
                                     << "Options graphiques";
    QTest::newRow("project") << "projet"
                             << "Propriétés du projet";
    QTest::newRow("site opened") << "site"
                                 << "Ouvrir un site";
    QTest::newRow("50 random steps, undone to the start") << "hasard" << QString();
}

void TestSite::annulerRetablir()
{
    QFETCH(QString, changement);
    QFETCH(QString, etape);
    Fenetre fenetre;
    Fenetre_Principale &f = fenetre.f;
    auto *annuler = enfant<QAction>(f, "actionAnnuler");
    auto *retablir = enfant<QAction>(f, "actionRetablir");
    auto *latitude_curseur = enfant<QSlider>(f, "slider_latitude");
    // Warnings of the random steps (a thirteenth date) are answered, and so are the dialogs; the
    // inputs typed are dropped for the site opened.
    const QString horizon = dossier.filePath(QStringLiteral("horizon.csv"));
    auto repondeur = Repondeur::a_chaque_boite(QStringList{"OK", "Ne pas enregistrer"});
    repondeur.autre_fenetre = [&horizon](QWidget *w) {
        if (auto *fichiers = qobject_cast<QFileDialog *>(w)) {
            choisir_fichier(fichiers, horizon);
        } else if (auto *apercu = qobject_cast<Dialogue_Import_Horizon *>(w)) {
            apercu->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
        } else if (auto *options = qobject_cast<Affichage_Options *>(w)) {
            options->valider(30, 5, 40, false);
            options->accept();
        } else if (auto *projet = qobject_cast<Dialogue_Projet *>(w)) {
            enfant<QLineEdit>(*projet, "nom")->setText(QStringLiteral("Maison Arnaud"));
            enfant<QLineEdit>(*projet, "client")->setText(QStringLiteral("M. Arnaud"));
            projet->accept();
        } else if (auto *fenetre_obstacles = qobject_cast<Dialogue_Fenetre *>(w)) {
            enfant<QGroupBox>(*fenetre_obstacles, "groupe_facade")->setChecked(true);
            enfant<QGroupBox>(*fenetre_obstacles, "groupe_casquette")->setChecked(true);
            fenetre_obstacles->accept();
        } else {
            w->close();
        }
    };
    // A mouse button released between two changes ends a gesture, as between two drags.
    const auto geste = [&f] {
        QTest::mouseClick(enfant<QGraphicsView>(f, "graphicsView")->viewport(), Qt::LeftButton, {},
                          QPoint(1, 1));
    };
    if (changement != QLatin1String("hasard")) {
        Saisie base;
        base.latitude = 45.5;
        // A date saved shows only in the state of "Réinitialisation".
        if (changement != QLatin1String("enregistrer"))
            base.enregistrees = {QDate(2026, 3, 20), QDate(2026, 12, 21)};
        base.limites = true;
        base.masques = {{-10, 20}, {170, 30}};
        base.conserver = true;
        fenetre.saisir(base);
        if (changement == QLatin1String("jour") || changement == QLatin1String("annee"))
            enfant<QAction>(f, "actionChoisir_le_jour_pour_les_mois")->trigger();
        geste();
    }
    const QStringList avant = fenetre.etat();

    QRandomGenerator hasard(19);
    const auto changer = [&](const QString &c) {
        if (c == QLatin1String("latitude")) {
            fenetre.latitude->selectAll();
            QTest::keyClicks(fenetre.latitude, QStringLiteral("-33,87"));
            QTest::keyClick(fenetre.latitude, Qt::Key_Return);
        } else if (c == QLatin1String("touche")) {
            // As a system repeats a held key: a press, then repeated releases and presses.
            QTest::simulateEvent(latitude_curseur, true, Qt::Key_Right, Qt::NoModifier, QString(),
                                 false);
            for (int repetition = 0; repetition < 10; ++repetition)
                for (const bool appui : {false, true})
                    QTest::simulateEvent(latitude_curseur, appui, Qt::Key_Right, Qt::NoModifier,
                                         QString(), true);
            QTest::simulateEvent(latitude_curseur, false, Qt::Key_Right, Qt::NoModifier, QString(),
                                 false);
        } else if (c == QLatin1String("longitude")) {
            enfant<QDoubleSpinBox>(f, "longitude")->setValue(151.21);
        } else if (c == QLatin1String("fuseau")) {
            auto *zones = enfant<QComboBox>(f, "combo_fuseau");
            zones->setCurrentIndex(zones->findText(QStringLiteral("Europe/Paris")));
        } else if (c == QLatin1String("echelle")) {
            enfant<QComboBox>(f, "combo_echelle")->setCurrentIndex(1);
        } else if (c == QLatin1String("modele")) {
            enfant<QComboBox>(f, "combo_modele")->setCurrentIndex(1);
        } else if (c == QLatin1String("date")) {
            fenetre.date->setDate(QDate(2026, 9, 1));
        } else if (c == QLatin1String("enregistrer")) {
            enfant<QPushButton>(f, "Bouton_Enregistrer_Date")->click();
        } else if (c == QLatin1String("reinitialiser")) {
            enfant<QPushButton>(f, "Bouton_reinitialiser")->click();
        } else if (c == QLatin1String("mode")) {
            enfant<QAction>(f, "actionChoisir_le_jour_pour_les_mois")->trigger();
        } else if (c == QLatin1String("jour")) {
            enfant<QSpinBox>(f, "spinBox_numero_jour")->setValue(15);
        } else if (c == QLatin1String("annee")) {
            enfant<QSpinBox>(f, "spinBox_annee")->setValue(1999);
        } else if (c == QLatin1String("limites")) {
            enfant<QCheckBox>(f, "check_limite")->click();
        } else if (c == QLatin1String("heures")) {
            enfant<QCheckBox>(f, "check_heures")->click();
        } else if (c == QLatin1String("cellule")) {
            // A typed cell draws nothing; "Tracer les Masques" shows it.
            fenetre.masques()->setData(fenetre.masques()->index(0, 1), 25.0, Qt::EditRole);
            enfant<QPushButton>(f, "bouton_masques")->click();
        } else if (c == QLatin1String("lignes")) {
            enfant<QSpinBox>(f, "spinBox_nbLignes_tab")->setValue(3);
            enfant<QPushButton>(f, "Bouton_ajoutLignes")->click();
        } else if (c == QLatin1String("effacer")) {
            enfant<QPushButton>(f, "bouton_effacer_tableau")->click();
        } else if (c == QLatin1String("horizon")) {
            QFile fichier(horizon);
            if (!fichier.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
                fichier.write("-90;5\n0;10\n90;5\n") < 0)
                qFatal("the horizon file cannot be written");
            fichier.close();
            enfant<QAction>(f, "actionImporter_un_horizon")->trigger();
        } else if (c == QLatin1String("conserver")) {
            enfant<QCheckBox>(f, "check_conserver_masques")->click();
            // The outline drawn once more on unticking is no input: the window resized and
            // back draws these inputs without it.
            const QSize taille = f.size();
            f.resize(taille + QSize(1, 0));
            f.resize(taille);
        } else if (c == QLatin1String("jonction")) {
            enfant<QComboBox>(f, "combo_jonction")->setCurrentIndex(1);
        } else if (c == QLatin1String("options")) {
            enfant<QAction>(f, "actionOptions_graphiques")->trigger();
        } else if (c == QLatin1String("fenetre")) {
            enfant<QAction>(f, "actionFenetre_et_obstacles")->trigger();
        } else if (c == QLatin1String("projet")) {
            enfant<QAction>(f, "actionProprietes_du_projet")->trigger();
        } else if (c == QLatin1String("site")) {
            const QString chemin = dossier.filePath(QStringLiteral("autre.orvane"));
            if (!ecrire_site(chemin, site_de_base()).isEmpty() || !deposer(f, chemin))
                qFatal("the site was not opened");
        }
    };
    if (changement == QLatin1String("hasard")) {
        const QStringList genres = {"latitude", "longitude",   "fuseau",        "echelle", "modele",
                                    "date",     "enregistrer", "reinitialiser", "mode",    "jour",
                                    "annee",    "limites",     "heures",        "cellule", "lignes",
                                    "effacer",  "conserver"};
        int faits = 0;
        while (faits < 50) {
            const QString c = genres.at(hasard.bounded(genres.size()));
            // Mode 2 hides the date and its buttons.
            const bool mois =
                enfant<QAction>(f, "actionChoisir_le_jour_pour_les_mois")->isChecked();
            if (mois && (c == QLatin1String("date") || c == QLatin1String("enregistrer") ||
                         c == QLatin1String("reinitialiser")))
                continue;
            // Values of their own, so that a step repeated still changes something.
            if (c == QLatin1String("latitude"))
                fenetre.latitude->setValue(hasard.bounded(-9000, 9001) / 100.0);
            else if (c == QLatin1String("date"))
                fenetre.date->setDate(QDate(2026, 1, 1).addDays(hasard.bounded(365)));
            else if (c == QLatin1String("echelle") || c == QLatin1String("modele"))
                enfant<QComboBox>(f,
                                  c == QLatin1String("echelle") ? "combo_echelle" : "combo_modele")
                    ->setCurrentIndex(hasard.bounded(2));
            else if (c == QLatin1String("cellule"))
                fenetre.masques()->setData(fenetre.masques()->index(hasard.bounded(6), 1),
                                           hasard.bounded(90), Qt::EditRole);
            else
                changer(c);
            geste();
            ++faits;
        }
    } else {
        changer(changement);
    }
    const QStringList apres = fenetre.etat();
    QVERIFY(apres != avant);
    QVERIFY2(repondeur.erreurs.isEmpty(), qPrintable(repondeur.erreurs.join('\n')));

    // The site opened stays the window's file: only its inputs go back, and the title says so.
    const int depuis = changement == QLatin1String("site") ? 2 : 0;
    if (etape.isEmpty()) {
        while (annuler->isEnabled())
            annuler->trigger();
    } else if (changement == QLatin1String("latitude")) {
        // Ctrl+Z in the box just typed into undoes the step, not the box's text.
        QCOMPARE(annuler->text(), QStringLiteral("Annuler ") + etape);
        QApplication::setActiveWindow(&f);
        fenetre.latitude->setFocus();
        QTest::keyClick(fenetre.latitude, Qt::Key_Z, Qt::ControlModifier);
    } else {
        QCOMPARE(annuler->text(), QStringLiteral("Annuler ") + etape);
        annuler->trigger();
        QCOMPARE(retablir->text(), QStringLiteral("Rétablir ") + etape);
    }
    QCOMPARE(fenetre.etat().mid(depuis), avant.mid(depuis));
    // Unsaved: the inputs typed before the change (all but the random steps' start), or the
    // site's opened file.
    QCOMPARE(f.isWindowModified(), changement != QLatin1String("hasard"));
    if (etape.isEmpty()) {
        while (retablir->isEnabled())
            retablir->trigger();
    } else {
        retablir->trigger();
    }
    QCOMPARE(fenetre.etat(), apres);
    QCOMPARE(f.isWindowModified(), changement != QLatin1String("site"));
    // Hidden, not closed: closing a changed study asks about its changes.
    f.hide();
}

QTEST_MAIN(TestSite)
#include "tst_site.moc"
