// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// The update check against a real MariaDB server, started for these tests on 127.0.0.1 by
// scripts/mariadb_test_server.sh and loaded with update/server/orvane_maj.sql; the About box
// and the donation link. The connection "ma_base" is pointed at the test server (or at a
// listener of the test) after the window is built, exactly as a user's connection is
// configured, and every box is answered here.
#include "app/fenetre_principale.h"
#include "tests/repondeur.h"
#include "update/a_propos.h"
#include "update/lien_web.h"
#include "update/mise_a_jour.h"

#include <QtTest>

#include <QAction>
#include <QDesktopServices>
#include <QProcess>
#include <QPushButton>
#include <QSqlError>
#include <QTcpServer>
#include <QThread>

namespace
{

// The application's own update id, set by the main window.
constexpr int id_propre = 8;

// A check against a frozen server or a silent listener ends with the connection timeout: not
// before it less this, ms (the client library counts from a little before our clock)...
constexpr qint64 avance_delai_ms = 300;
// ...and not later than this after it (building the box, the answerer's polling; at start-up
// also the 500 ms delay), ms.
constexpr qint64 marge_delai_ms = 2000;
// The start-up check may run this much later than due (timer dispatch, one local query, the
// answerer's polling), ms; below 500, so that a timer armed only when the loop starts is seen.
constexpr qint64 marge_lancement_ms = 450;
// How much earlier than the clock of the test the timer may have been armed: the clock starts
// right after the constructor, which arms the timer at its very end, ms.
constexpr qint64 avance_lancement_ms = 20;
// Long enough after the due time to see a second start-up check if there were one, ms.
constexpr int attente_second_lancement_ms = 1500;

// Native error codes of the MariaDB client library.
constexpr int erreur_acces_refuse = 1045;     // ER_ACCESS_DENIED_ERROR
constexpr int erreur_connexion_locale = 2002; // CR_CONNECTION_ERROR: nobody listens
constexpr int erreur_serveur_perdu = 2013;    // CR_SERVER_LOST: no greeting in time

const QString titre_erreur_connexion = QStringLiteral("Erreur de connexion");
const QString titre_offre = QStringLiteral("Mise à jour disponible");
const QString titre_aucune = QStringLiteral("Aucune mise à jour");
const QString titre_erreur = QStringLiteral("Erreur");

const QString texte_erreur_connexion = QStringLiteral(
    "<b>ATTENTION :</b> Un erreur de connexion est intervenue, empêchant la vérification de mise "
    "à jour. Veuillez vous assurer dans un premier temps que connexion Internet fonctionne.");
const QString texte_offre =
    QStringLiteral("Une mise à jour de l'application est disponible. Voulez-vous la télécharger ?");
const QString texte_aucune = QStringLiteral("Aucune mise à jour n'a été trouvée.");
const QString texte_erreur_telechargement = QStringLiteral(
    "<b>ATTENTION :</b> Une erreur est survenue lors de l'ouverture du lien de téléchargement. "
    "Vérifiez votre connexion internet dans un premier temps.");
const QString texte_erreur_don = QStringLiteral(
    "<b>ATTENTION :</b> Une erreur est survenue lors de l'ouverture du lien. Vérifiez votre "
    "connexion internet dans un premier temps.");

const QString ok = QStringLiteral("OK");

// The download address of a release in the rows of these tests.
QString adresse_release(const QString &id)
{
    return QStringLiteral("https://www.orvane.example/telechargement/%1/").arg(id);
}

// SQL that leaves exactly these releases of Orvane current, returned in this order
// (same publication day, so in the order of entry).
QString publier(const QStringList &ids, const QStringList &adresses = {})
{
    QString sql = QStringLiteral("DELETE FROM application_updates;");
    for (int i = 0; i < ids.size(); ++i) {
        const QString adresse = i < adresses.size() ? adresses.at(i) : adresse_release(ids.at(i));
        sql += QStringLiteral("INSERT INTO application_updates (application_id, "
                              "application_update_id, url_to_download, published, is_current) "
                              "VALUES (1, '%1', '%2', '2025-06-02', 1);")
                   .arg(ids.at(i), adresse);
    }
    return sql;
}

// A TCP port of 127.0.0.1 on which nobody listens, as when the server is stopped.
quint16 port_ferme()
{
    QTcpServer serveur;
    serveur.listen(QHostAddress::LocalHost);
    const quint16 port = serveur.serverPort();
    serveur.close();
    return port;
}

// Points the named connection of the window at another server; the window's next check uses it.
void diriger_connexion(const QString &hote, int port, const QString &mot_de_passe = QString())
{
    QSqlDatabase base = QSqlDatabase::database(nom_connexion_maj, false);
    base.setHostName(hote);
    base.setPort(port);
    if (!mot_de_passe.isNull())
        base.setPassword(mot_de_passe);
}

bool connexion_ouverte()
{
    return QSqlDatabase::database(nom_connexion_maj, false).isOpen();
}

QSqlError erreur_connexion()
{
    return QSqlDatabase::database(nom_connexion_maj, false).lastError();
}

// Records the addresses that the desktop is asked to open, through the toolkit's own hook.
class Navigateur : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> ouvertes;
    static inline const QStringList schemas = {QStringLiteral("https"), QStringLiteral("http"),
                                               QStringLiteral("file"), QStringLiteral("javascript"),
                                               QStringLiteral("ftp")};
    void installer()
    {
        for (const QString &s : schemas)
            QDesktopServices::setUrlHandler(s, this, "ouvrir");
    }
    static void retirer()
    {
        for (const QString &s : schemas)
            QDesktopServices::unsetUrlHandler(s);
    }
public slots:
    void ouvrir(const QUrl &adresse) { ouvertes << adresse; }
};

QStringList en_textes(const QList<QUrl> &adresses)
{
    QStringList t;
    for (const QUrl &a : adresses)
        t << a.toString();
    return t;
}

} // namespace

class TestMiseAJour : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void configuration();
    void connexionRetireeALaDestruction();
    void verification_data();
    void verification();
    void echecConnexion_data();
    void echecConnexion();
    void adresseRefusee_data();
    void adresseRefusee();
    void verificationAuLancement_data();
    void verificationAuLancement();

    void texteAPropos_data();
    void texteAPropos();
    void boiteAPropos();
    void don_data();
    void don();

private:
    // Runs statements as the server's administrator, in the update database; returns what
    // they print.
    QString sql(const QString &instructions);
    // The number of stored procedure calls that the server has run since it started.
    int appelsDeProcedure();
    void serveur(const QString &commande);
    // Checks one recorded box against the program's texts for its title.
    void verifierBoite(const Boite_vue &boite, QWidget *fenetre, const QString &texte_erreur);
    // Lets the start-up check of a freshly built window run against a closed port (silent), so
    // that it cannot interleave with the check that a test starts from the menu.
    void passerVerificationDeLancement();

    QString script_;
    QString etat_;
    int port_ = 0;
    bool base_a_reinitialiser_ = false;
    bool serveur_gele_ = false;
};

void TestMiseAJour::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    script_ = qEnvironmentVariable("ORVANE_MARIADB_SCRIPT");
    etat_ = qEnvironmentVariable("ORVANE_MARIADB_STATE");
    QVERIFY2(!script_.isEmpty() && !etat_.isEmpty(),
             "ORVANE_MARIADB_SCRIPT and ORVANE_MARIADB_STATE must name the test server (run "
             "through ctest, whose fixture starts it)");
    QFile fichier_port(etat_ + QStringLiteral("/port"));
    QVERIFY2(fichier_port.open(QIODevice::ReadOnly),
             qPrintable(QStringLiteral("the test server is not running: %1 is missing")
                            .arg(fichier_port.fileName())));
    port_ = QString::fromLatin1(fichier_port.readAll()).trimmed().toInt();
    QVERIFY2(port_ > 0, "the test server's port file is empty");
    QVERIFY2(QSqlDatabase::isDriverAvailable(QStringLiteral("QMYSQL")),
             "the QMYSQL driver plugin is missing (libqt5sql5-mysql)");
    // Start from the seeded database whatever an earlier run left.
    serveur(QStringLiteral("reset"));
}

void TestMiseAJour::cleanup()
{
    remplacer_ouverture_lien({});
    Navigateur::retirer();
    if (serveur_gele_) {
        serveur(QStringLiteral("resume"));
        serveur_gele_ = false;
    }
    if (base_a_reinitialiser_) {
        serveur(QStringLiteral("reset"));
        base_a_reinitialiser_ = false;
    }
    const auto fenetres = QApplication::topLevelWidgets();
    for (QWidget *w : fenetres)
        QVERIFY2(!w->isVisible(), qPrintable(w->objectName() + " was left open"));
    QVERIFY2(!QSqlDatabase::contains(nom_connexion_maj), "the window left its connection behind");
}

void TestMiseAJour::serveur(const QString &commande)
{
    QProcess processus;
    processus.start(script_, {commande, etat_});
    QVERIFY2(processus.waitForFinished(60000), qPrintable(script_ + " " + commande));
    QVERIFY2(processus.exitStatus() == QProcess::NormalExit && processus.exitCode() == 0,
             qPrintable(QStringLiteral("%1 %2 failed: %3")
                            .arg(script_, commande,
                                 QString::fromLocal8Bit(processus.readAllStandardError()))));
}

QString TestMiseAJour::sql(const QString &instructions)
{
    base_a_reinitialiser_ = true;
    QProcess processus;
    processus.start(script_, {QStringLiteral("sql"), etat_, instructions});
    const bool fini = processus.waitForFinished(60000);
    [&] {
        QVERIFY2(fini, qPrintable(instructions));
        QVERIFY2(processus.exitStatus() == QProcess::NormalExit && processus.exitCode() == 0,
                 qPrintable(QStringLiteral("%1 failed: %2")
                                .arg(instructions,
                                     QString::fromLocal8Bit(processus.readAllStandardError()))));
    }();
    return QString::fromUtf8(processus.readAllStandardOutput());
}

int TestMiseAJour::appelsDeProcedure()
{
    // Printed as a header line and "Com_call_procedure<TAB>count".
    const QString sortie = sql(QStringLiteral("SHOW GLOBAL STATUS LIKE 'Com_call_procedure';"));
    const QStringList lignes = sortie.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    bool lu = false;
    const int appels =
        lignes.isEmpty() ? -1 : lignes.last().section(QLatin1Char('\t'), 1).toInt(&lu);
    return lu ? appels : -1;
}

void TestMiseAJour::passerVerificationDeLancement()
{
    // The seeded database holds the program's own release: the start-up check finds nothing
    // newer and says nothing.
    diriger_connexion(QStringLiteral("127.0.0.1"), port_);
    QTest::qWait(delai_verification_lancement_ms + 100);
    QVERIFY2(!erreur_connexion().isValid(), qPrintable(erreur_connexion().text()));
    QVERIFY(!QApplication::activeModalWidget());
}

void TestMiseAJour::verifierBoite(const Boite_vue &boite, QWidget *fenetre,
                                  const QString &texte_erreur)
{
    QCOMPARE(boite.parent, fenetre);
    const QStringList seul_ok = {ok};
    if (boite.titre == titre_offre) {
        QCOMPARE(boite.texte, texte_offre);
        QCOMPARE(boite.icone, QMessageBox::NoIcon);
        QCOMPARE(boite.boutons, QStringList({QStringLiteral("Oui"), QStringLiteral("Non")}));
    } else if (boite.titre == titre_aucune) {
        QCOMPARE(boite.texte, texte_aucune);
        QCOMPARE(boite.icone, QMessageBox::Information);
        QCOMPARE(boite.boutons, seul_ok);
    } else if (boite.titre == titre_erreur_connexion) {
        QCOMPARE(boite.texte, texte_erreur_connexion);
        QCOMPARE(boite.icone, QMessageBox::Warning);
        QCOMPARE(boite.boutons, seul_ok);
    } else if (boite.titre == titre_erreur) {
        QCOMPARE(boite.texte, texte_erreur);
        QCOMPARE(boite.icone, QMessageBox::Warning);
        QCOMPARE(boite.boutons, seul_ok);
    } else {
        QFAIL(qPrintable(QStringLiteral("unknown box \"%1\"").arg(boite.titre)));
    }
}

void TestMiseAJour::configuration()
{
    Fenetre_Principale fenetre;
    QVERIFY(QSqlDatabase::contains(nom_connexion_maj));
    const QSqlDatabase base = QSqlDatabase::database(nom_connexion_maj, false);
    QVERIFY2(base.isValid(), "the QMYSQL driver did not load");
    QCOMPARE(base.driverName(), QStringLiteral("QMYSQL"));
    // The server is a build option; the tests are built with the same cache values.
    QCOMPARE(base.hostName(), QStringLiteral(ORVANE_UPDATE_HOST));
    QCOMPARE(base.port(), ORVANE_UPDATE_PORT);
    // The database, the account and the time-outs are proven against the test server below.
    // Configured only: nothing is opened before the start-up check.
    QVERIFY(!base.isOpen());
    QVERIFY(!base.lastError().isValid());
}

void TestMiseAJour::connexionRetireeALaDestruction()
{
    // Windows built one after the other each add "ma_base" afresh, without the toolkit's
    // warnings about a duplicate or a connection still in use.
    static QStringList avertissements;
    avertissements.clear();
    const QtMessageHandler precedent =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &message) {
            if (message.contains(QLatin1String("ma_base")))
                avertissements << message;
        });
    for (int i = 0; i < 2; ++i) {
        {
            Fenetre_Principale fenetre;
            QVERIFY(QSqlDatabase::contains(nom_connexion_maj));
        }
        QVERIFY(!QSqlDatabase::contains(nom_connexion_maj));
    }
    qInstallMessageHandler(precedent);
    QVERIFY2(avertissements.isEmpty(), qPrintable(avertissements.join('\n')));
}

void TestMiseAJour::verification_data()
{
    QTest::addColumn<QString>("preparation");
    QTest::addColumn<bool>("depuisLeMenu");
    QTest::addColumn<QStringList>("reponses");
    QTest::addColumn<QStringList>("titres");
    QTest::addColumn<QStringList>("ouvertes");

    const QString oui = QStringLiteral("Oui");
    const QString non = QStringLiteral("Non");
    const QStringList rien;

    QTest::newRow("9 from the menu, Oui opens its address")
        << publier({"9"}) << true << QStringList{oui} << QStringList{titre_offre}
        << QStringList{adresse_release("9")};
    QTest::newRow("9 from the menu, Non does nothing more")
        << publier({"9"}) << true << QStringList{non} << QStringList{titre_offre} << rien;
    QTest::newRow("9 at start-up is offered too")
        << publier({"9"}) << false << QStringList{oui} << QStringList{titre_offre}
        << QStringList{adresse_release("9")};
    QTest::newRow("8 from the menu is no update")
        << publier({"8"}) << true << QStringList{ok} << QStringList{titre_aucune} << rien;
    QTest::newRow("8 at start-up says nothing") << publier({"8"}) << false << rien << rien << rien;
    QTest::newRow("seeded database: the program's own release")
        << QString() << true << QStringList{ok} << QStringList{titre_aucune} << rien;
    QTest::newRow("7 from the menu is no update")
        << publier({"7"}) << true << QStringList{ok} << QStringList{titre_aucune} << rien;
    // Compared as signed integers: -1 < 8.
    QTest::newRow("-1 from the menu is no update")
        << publier({"-1"}) << true << QStringList{ok} << QStringList{titre_aucune} << rien;
    // Not a number: counts as 0.
    QTest::newRow("abc from the menu counts as 0")
        << publier({"abc"}) << true << QStringList{ok} << QStringList{titre_aucune} << rien;
    QTest::newRow("9a from the menu counts as 0")
        << publier({"9a"}) << true << QStringList{ok} << QStringList{titre_aucune} << rien;
    // 2^31 does not fit an int: the conversion fails, so 0.
    QTest::newRow("2147483648 from the menu counts as 0")
        << publier({"2147483648"}) << true << QStringList{ok} << QStringList{titre_aucune} << rien;
    QTest::newRow("abc at start-up says nothing")
        << publier({"abc"}) << false << rien << rien << rien;
    // Row by row, each with its own box: 9 offered, 8 none, 10 offered.
    QTest::newRow("9, 8, 10 from the menu, each with its box")
        << publier({"9", "8", "10"}) << true << QStringList{oui, ok, non}
        << QStringList{titre_offre, titre_aucune, titre_offre} << QStringList{adresse_release("9")};
    QTest::newRow("9, 8, 10 at start-up: two offers")
        << publier({"9", "8", "10"}) << false << QStringList{non, oui}
        << QStringList{titre_offre, titre_offre} << QStringList{adresse_release("10")};
    QTest::newRow("no row from the menu says nothing")
        << publier({}) << true << rien << rien << rien;
    // The releases table gone: the procedure fails (error 1146) and the check ends in silence.
    QTest::newRow("statement fails from the menu: table dropped")
        << QStringLiteral("DROP TABLE application_updates;") << true << rien << rien << rien;
    // The procedure raises an error of its own; its right to execute is kept by CREATE OR
    // REPLACE.
    QTest::newRow("statement fails from the menu: the procedure signals an error")
        << QStringLiteral("CREATE OR REPLACE DEFINER = 'qorvalen_maj_owner'@'localhost' "
                          "PROCEDURE getApplicationLastUpdateInfo(IN app_id INT) SQL SECURITY "
                          "DEFINER SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'en panne';")
        << true << rien << rien << rien;
}

void TestMiseAJour::verification()
{
    QFETCH(QString, preparation);
    QFETCH(bool, depuisLeMenu);
    QFETCH(QStringList, reponses);
    QFETCH(QStringList, titres);
    QFETCH(QStringList, ouvertes);

    // Answers from the start: a box that came too early is then recorded, not left open.
    Repondeur repondeur(reponses);
    Navigateur navigateur;
    navigateur.installer();
    if (!depuisLeMenu && !preparation.isEmpty())
        sql(preparation);
    if (QTest::currentTestFailed())
        return;

    Fenetre_Principale fenetre;
    if (depuisLeMenu) {
        passerVerificationDeLancement();
        if (QTest::currentTestFailed())
            return;
        if (!preparation.isEmpty())
            sql(preparation);
        if (QTest::currentTestFailed())
            return;
    }
    diriger_connexion(QStringLiteral("127.0.0.1"), port_);
    const int appels_avant = appelsDeProcedure();
    if (depuisLeMenu)
        fenetre.findChild<QAction *>(QStringLiteral("actionRechercher_une_mise_jour"))->trigger();
    else
        QTest::qWait(delai_verification_lancement_ms + 200);
    // The check ran the statement once, also where it failed or brought no row.
    QCOMPARE(appelsDeProcedure(), appels_avant + 1);

    QVERIFY2(repondeur.erreurs.isEmpty(), qPrintable(repondeur.erreurs.join('\n')));
    QCOMPARE(repondeur.titres(), titres);
    for (const Boite_vue &boite : qAsConst(repondeur.boites))
        verifierBoite(boite, &fenetre, texte_erreur_telechargement);
    QCOMPARE(en_textes(navigateur.ouvertes), ouvertes);
    // The check connected (no connection error) and closed the connection behind it.
    QVERIFY2(!erreur_connexion().isValid(), qPrintable(erreur_connexion().text()));
    QVERIFY(!connexion_ouverte());
}

void TestMiseAJour::echecConnexion_data()
{
    QTest::addColumn<QString>("cause");
    QTest::addColumn<bool>("depuisLeMenu");
    QTest::addColumn<int>("codeErreur");
    QTest::addColumn<bool>("parDelai");

    QTest::newRow("server stopped, from the menu")
        << "stopped" << true << erreur_connexion_locale << false;
    QTest::newRow("server stopped, at start-up: silent")
        << "stopped" << false << erreur_connexion_locale << false;
    QTest::newRow("password refused, from the menu")
        << "password" << true << erreur_acces_refuse << false;
    QTest::newRow("password refused, at start-up: silent")
        << "password" << false << erreur_acces_refuse << false;
    // A listener that accepts the connection and never sends the server's greeting.
    QTest::newRow("silent listener, from the menu: ends after the timeout")
        << "listener" << true << erreur_serveur_perdu << true;
    QTest::newRow("silent listener, at start-up: ends after the timeout, silent")
        << "listener" << false << erreur_serveur_perdu << true;
    // The real server frozen (SIGSTOP): the kernel still accepts, nobody answers.
    QTest::newRow("frozen server, from the menu: ends after the timeout")
        << "frozen" << true << erreur_serveur_perdu << true;
}

void TestMiseAJour::echecConnexion()
{
    QFETCH(QString, cause);
    QFETCH(bool, depuisLeMenu);
    QFETCH(int, codeErreur);
    QFETCH(bool, parDelai);

    const QStringList reponses = depuisLeMenu ? QStringList{ok} : QStringList{};
    QElapsedTimer horloge;
    horloge.start();
    Repondeur repondeur(reponses, &horloge);
    Fenetre_Principale fenetre;
    if (depuisLeMenu)
        passerVerificationDeLancement();
    else
        QVERIFY(!erreur_connexion().isValid());
    if (QTest::currentTestFailed())
        return;

    QTcpServer ecoute;
    if (cause == QLatin1String("stopped")) {
        diriger_connexion(QStringLiteral("127.0.0.1"), port_ferme());
    } else if (cause == QLatin1String("password")) {
        diriger_connexion(QStringLiteral("127.0.0.1"), port_, QStringLiteral("pas le bon"));
    } else if (cause == QLatin1String("listener")) {
        // Never read from the main loop while the check blocks; the kernel accepts anyway.
        QVERIFY(ecoute.listen(QHostAddress::LocalHost));
        diriger_connexion(QStringLiteral("127.0.0.1"), ecoute.serverPort());
    } else {
        serveur(QStringLiteral("pause"));
        serveur_gele_ = true;
        diriger_connexion(QStringLiteral("127.0.0.1"), port_);
    }

    horloge.restart();
    if (depuisLeMenu) {
        fenetre.findChild<QAction *>(QStringLiteral("actionRechercher_une_mise_jour"))->trigger();
    } else {
        // The start-up check blocks the loop while it waits, so this wait ends after it.
        QTest::qWait(delai_verification_lancement_ms + 100);
    }
    const qint64 duree = horloge.elapsed();

    QVERIFY2(repondeur.erreurs.isEmpty(), qPrintable(repondeur.erreurs.join('\n')));
    QCOMPARE(repondeur.titres(),
             depuisLeMenu ? QStringList{titre_erreur_connexion} : QStringList{});
    for (const Boite_vue &boite : qAsConst(repondeur.boites))
        verifierBoite(boite, &fenetre, QString());
    // The check did try this server and failed for the expected reason.
    QVERIFY2(erreur_connexion().nativeErrorCode() == QString::number(codeErreur),
             qPrintable(QStringLiteral("expected error %1, got %2: %3")
                            .arg(codeErreur)
                            .arg(erreur_connexion().nativeErrorCode(), erreur_connexion().text())));
    QVERIFY(!connexion_ouverte());
    if (parDelai) {
        // The box (from the menu) or the end of the wait (at start-up) comes once the
        // connection gives up, after the timeout and well before the driver's default minutes.
        const qint64 delai_ms = qint64(delai_attente_serveur_s) * 1000;
        const qint64 fin = depuisLeMenu ? repondeur.boites.value(0).vue_a_ms : duree;
        const qint64 debut = depuisLeMenu ? 0 : delai_verification_lancement_ms;
        QVERIFY2(fin >= debut + delai_ms - avance_delai_ms &&
                     fin <= debut + delai_ms + marge_delai_ms,
                 qPrintable(QStringLiteral("the check ended after %1 ms, expected about %2 ms")
                                .arg(fin)
                                .arg(debut + delai_ms)));
    }
}

void TestMiseAJour::adresseRefusee_data()
{
    QTest::addColumn<QString>("adresse");

    QTest::newRow("file: address") << "file:///etc/passwd";
    QTest::newRow("javascript: address") << "javascript:alert(1)";
    QTest::newRow("ftp: address") << "ftp://ftp.orvane.example/orvane.tar.gz";
    QTest::newRow("no scheme") << "www.orvane.example/telechargement/";
    QTest::newRow("https without a host") << "https:telechargement";
    QTest::newRow("empty address") << "";
}

void TestMiseAJour::adresseRefusee()
{
    // An address from the server that is not a web page is never handed to the desktop: the
    // user sees the download-link warning instead.
    QFETCH(QString, adresse);
    Repondeur repondeur({QStringLiteral("Oui"), ok});
    Navigateur navigateur;
    navigateur.installer();
    QList<QUrl> passees;
    remplacer_ouverture_lien([&passees](const QUrl &u) {
        passees << u;
        return true;
    });

    Fenetre_Principale fenetre;
    passerVerificationDeLancement();
    if (QTest::currentTestFailed())
        return;
    sql(publier({"9"}, {adresse}));
    if (QTest::currentTestFailed())
        return;
    fenetre.findChild<QAction *>(QStringLiteral("actionRechercher_une_mise_jour"))->trigger();

    QVERIFY2(repondeur.erreurs.isEmpty(), qPrintable(repondeur.erreurs.join('\n')));
    QCOMPARE(repondeur.titres(), QStringList({titre_offre, titre_erreur}));
    for (const Boite_vue &boite : qAsConst(repondeur.boites))
        verifierBoite(boite, &fenetre, texte_erreur_telechargement);
    QCOMPARE(en_textes(passees), QStringList());
    QCOMPARE(en_textes(navigateur.ouvertes), QStringList());
}

void TestMiseAJour::verificationAuLancement_data()
{
    QTest::addColumn<int>("avantLaBoucle");

    QTest::newRow("event loop from the start") << 0;
    // The timer is armed by the constructor: run late, the loop finds it overdue.
    QTest::newRow("event loop 800 ms late") << 800;
}

void TestMiseAJour::verificationAuLancement()
{
    // Seen through the offer, which is made at start-up too: it comes once, when the loop runs,
    // 500 ms after construction or at once if the loop starts later.
    QFETCH(int, avantLaBoucle);
    sql(publier({"9"}));
    if (QTest::currentTestFailed())
        return;
    Navigateur navigateur;
    navigateur.installer();

    QElapsedTimer horloge;
    Repondeur repondeur({QStringLiteral("Non")}, &horloge);
    Fenetre_Principale fenetre;
    horloge.start();
    diriger_connexion(QStringLiteral("127.0.0.1"), port_);
    // Nothing ran during construction.
    QVERIFY(!erreur_connexion().isValid());
    QVERIFY(!connexion_ouverte());
    QThread::msleep(static_cast<unsigned long>(avantLaBoucle));
    QVERIFY(!QApplication::activeModalWidget());

    const qint64 debut_boucle = horloge.elapsed();
    QTest::qWait(delai_verification_lancement_ms + attente_second_lancement_ms);

    QVERIFY2(repondeur.erreurs.isEmpty(), qPrintable(repondeur.erreurs.join('\n')));
    QCOMPARE(repondeur.titres(), QStringList{titre_offre});
    const qint64 due = qMax<qint64>(delai_verification_lancement_ms, debut_boucle);
    const qint64 vue = repondeur.boites.at(0).vue_a_ms;
    QVERIFY2(
        vue >= due - avance_lancement_ms && vue <= due + marge_lancement_ms,
        qPrintable(
            QStringLiteral("offer seen %1 ms after construction, due at %2 ms").arg(vue).arg(due)));
    QVERIFY(navigateur.ouvertes.isEmpty());
}

void TestMiseAJour::texteAPropos_data()
{
    QTest::addColumn<QDate>("jour");
    QTest::addColumn<QString>("annees");

    // Opened on 31 December and again on 1 January: two different closing years.
    QTest::newRow("31 December 2024") << QDate(2024, 12, 31) << "2016-2024";
    QTest::newRow("1 January 2025") << QDate(2025, 1, 1) << "2016-2025";
    QTest::newRow("29 February 2028") << QDate(2028, 2, 29) << "2016-2028";
}

void TestMiseAJour::texteAPropos()
{
    QFETCH(QDate, jour);
    QFETCH(QString, annees);
    const QString attendu =
        QStringLiteral("<p>Version de l'application: 2.2</p>"
                       "<p>Conçu et développé par <b>l'équipe Orvane</b>.</p>"
                       "<p><a href=\"https://www.orvane.example/\">https://www.orvane.example/</a>"
                       "</p><p>© ") +
        annees + QStringLiteral("</p>");
    QCOMPARE(texte_a_propos(QStringLiteral("2.2"), jour), attendu);
}

void TestMiseAJour::boiteAPropos()
{
    Repondeur repondeur({ok});
    Fenetre_Principale fenetre;
    passerVerificationDeLancement();
    if (QTest::currentTestFailed())
        return;
    const QDate avant = QDate::currentDate();
    fenetre.findChild<QAction *>(QStringLiteral("actionA_propos_de"))->trigger();
    const QDate apres = QDate::currentDate();

    QVERIFY2(repondeur.erreurs.isEmpty(), qPrintable(repondeur.erreurs.join('\n')));
    QCOMPARE(repondeur.titres(), QStringList{QStringLiteral("A propos de...")});
    const Boite_vue &boite = repondeur.boites.at(0);
    QCOMPARE(boite.parent, &fenetre);
    QCOMPARE(boite.icone, QMessageBox::Information);
    QCOMPARE(boite.boutons, QStringList{ok});
    // The window's version, and the year of the day the box opened (either side of midnight).
    QVERIFY2(boite.texte == texte_a_propos(QStringLiteral("2.2"), avant) ||
                 boite.texte == texte_a_propos(QStringLiteral("2.2"), apres),
             qPrintable(boite.texte));
}

void TestMiseAJour::don_data()
{
    QTest::addColumn<QString>("bureau");
    QTest::addColumn<QStringList>("titres");

    QTest::newRow("the desktop opens the page") << "opens" << QStringList();
    QTest::newRow("the desktop fails to open it") << "fails" << QStringList{titre_erreur};
    // The offscreen platform has no desktop services: no browser at all.
    QTest::newRow("no browser registered") << "none" << QStringList{titre_erreur};
}

void TestMiseAJour::don()
{
    QFETCH(QString, bureau);
    QFETCH(QStringList, titres);

    Navigateur navigateur;
    QList<QUrl> passees;
    if (bureau == QLatin1String("opens")) {
        navigateur.installer();
    } else if (bureau == QLatin1String("fails")) {
        remplacer_ouverture_lien([&passees](const QUrl &u) {
            passees << u;
            return false;
        });
    } else {
        QVERIFY2(QGuiApplication::platformName() == QLatin1String("offscreen"),
                 "this row needs the offscreen platform, which opens no browser");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("does not support"));
    }

    Repondeur repondeur(titres.isEmpty() ? QStringList() : QStringList{ok});
    Fenetre_Principale fenetre;
    passerVerificationDeLancement();
    if (QTest::currentTestFailed())
        return;
    fenetre.findChild<QPushButton *>(QStringLiteral("bouton_donation"))->click();

    QVERIFY2(repondeur.erreurs.isEmpty(), qPrintable(repondeur.erreurs.join('\n')));
    QCOMPARE(repondeur.titres(), titres);
    for (const Boite_vue &boite : qAsConst(repondeur.boites))
        verifierBoite(boite, &fenetre, texte_erreur_don);
    const QStringList page = {adresse_page_don};
    if (bureau == QLatin1String("opens"))
        QCOMPARE(en_textes(navigateur.ouvertes), page);
    if (bureau == QLatin1String("fails"))
        QCOMPARE(en_textes(passees), page);
}

QTEST_MAIN(TestMiseAJour)
#include "tst_update.moc"
