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
#include "update/verification_maj.h"

#include <QtTest>

#include <QAction>
#include <QDesktopServices>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QSqlError>
#include <QTcpServer>
#include <QThread>

namespace
{

// The application's own update id, set by the main window.
constexpr int id_propre = 8;

// A server that says nothing is given up when the driver's wait ends: the whole seconds left
// when the connection starts, 5 of the 6 s (see options_connexion_maj), ms. Not before it
// less this, ms (the client library counts from a little before our clock)...
constexpr qint64 attente_pilote_ms = 5000;
constexpr qint64 avance_delai_ms = 300;
// ...and, whatever the server does, not later than this after the check's deadline (the box,
// the answerer's polling), ms.
constexpr qint64 marge_delai_ms = 2000;
// While the start-up check waits, the window's loop never stalls this long; a check on the GUI
// thread would stall it for the whole wait, 5 s or more, ms.
constexpr qint64 arret_boucle_max_ms = 1500;
// A trickling server sends one byte this often, well within each wait of the driver, ms.
constexpr int intervalle_goutte_ms = 2000;
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

// A listener on a thread of its own, so that it goes on while the window waits. It sends each
// client the header of a 10-byte packet and its first byte at once, then one more byte every
// intervalle_goutte_ms: each wait of the client ends long before its time-out, the packet
// only after 18 s.
class Goutte_a_goutte : public QTcpServer
{
public:
    Goutte_a_goutte()
    {
        moveToThread(&fil_);
        fil_.start();
        QMetaObject::invokeMethod(
            this, [this] { listen(QHostAddress::LocalHost); }, Qt::BlockingQueuedConnection);
    }
    ~Goutte_a_goutte() override
    {
        QMetaObject::invokeMethod(
            this,
            [this] {
                close();
                qDeleteAll(findChildren<QTcpSocket *>());
            },
            Qt::BlockingQueuedConnection);
        fil_.quit();
        fil_.wait();
    }

protected:
    void incomingConnection(qintptr descripteur) override
    {
        auto *client = new QTcpSocket(this);
        client->setSocketDescriptor(descripteur);
        client->write(QByteArray("\x0a\x00\x00\x00\x0a", 5));
        auto *minuterie = new QTimer(client);
        QObject::connect(minuterie, &QTimer::timeout, client, [client] { client->write("5"); });
        minuterie->start(intervalle_goutte_ms);
    }

private:
    QThread fil_;
};

// Waits until the start-up check of `fenetre`, once started, has ended and been answered.
bool verification_de_lancement_finie(const Fenetre_Principale &fenetre)
{
    return QTest::qWaitFor([&] { return !fenetre.findChild<Verification_maj *>(); },
                           delai_verification_ms + marge_delai_ms);
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
    void connexionDeVerification_data();
    void connexionDeVerification();
    void echange_data();
    void echange();
    void verification_data();
    void verification();
    void echecConnexion_data();
    void echecConnexion();
    void adresseRefusee_data();
    void adresseRefusee();
    void verificationAuLancement_data();
    void verificationAuLancement();
    void fermetureAuCoursDeLaVerification();
    void menuPendantLaVerificationDeLancement();

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
    void passerVerificationDeLancement(const Fenetre_Principale &fenetre);

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
    // A check left behind ends once its server is gone, and removes its connection.
    QTRY_COMPARE_WITH_TIMEOUT(Verification_maj::en_cours(), 0,
                              delai_verification_ms + marge_delai_ms);
    QVERIFY2(QSqlDatabase::connectionNames().isEmpty(),
             qPrintable("connections left behind: " + QSqlDatabase::connectionNames().join(", ")));
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

void TestMiseAJour::passerVerificationDeLancement(const Fenetre_Principale &fenetre)
{
    // The seeded database holds the program's own release: the start-up check finds nothing
    // newer and says nothing.
    diriger_connexion(QStringLiteral("127.0.0.1"), port_);
    QTest::qWait(delai_verification_lancement_ms + 100);
    QVERIFY(verification_de_lancement_finie(fenetre));
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

void TestMiseAJour::connexionDeVerification_data()
{
    QTest::addColumn<int>("resteMs");
    QTest::addColumn<int>("secondes");

    // Each wait of the driver may take the whole seconds left, never reaching the deadline and
    // never unbounded (0 would mean no limit at all).
    QTest::newRow("the whole 6 s left: 5 s per wait") << delai_verification_ms << 5;
    QTest::newRow("5.5 s left: 5 s per wait") << 5500 << 5;
    QTest::newRow("2.5 s left: 2 s per wait") << 2500 << 2;
    QTest::newRow("0.4 s left: 1 s, the least the driver takes") << 400 << 1;
    QTest::newRow("deadline passed: 1 s") << 0 << 1;
}

void TestMiseAJour::connexionDeVerification()
{
    // The connection a check opens carries the server's settings and all three time-outs.
    QFETCH(int, resteMs);
    QFETCH(int, secondes);
    Parametres_maj parametres;
    parametres.hote = QStringLiteral("maj.orvane.example");
    parametres.port = 3307;
    parametres.base = QStringLiteral("qorvalen_applications");
    parametres.compte = QStringLiteral("qorvalen_applic");
    parametres.mot_de_passe = QStringLiteral("Rk4!wQ~8zNp2");
    const QString nom = QStringLiteral("essai");
    const auto retirer = qScopeGuard([&] { QSqlDatabase::removeDatabase(nom); });
    {
        const QSqlDatabase base = preparer_connexion_maj(parametres, nom, QDeadlineTimer(resteMs));
        QCOMPARE(base.driverName(), QStringLiteral("QMYSQL"));
        QCOMPARE(base.hostName(), parametres.hote);
        QCOMPARE(base.port(), parametres.port);
        QCOMPARE(base.databaseName(), parametres.base);
        QCOMPARE(base.userName(), parametres.compte);
        QCOMPARE(base.password(), parametres.mot_de_passe);
        QCOMPARE(base.connectOptions(),
                 QStringLiteral("MYSQL_OPT_CONNECT_TIMEOUT=%1;MYSQL_OPT_READ_TIMEOUT=%1;"
                                "MYSQL_OPT_WRITE_TIMEOUT=%1")
                     .arg(secondes));
        QVERIFY(!base.isOpen());
    }
}

void TestMiseAJour::echange_data()
{
    QTest::addColumn<QString>("cause");
    QTest::addColumn<int>("codeErreur");

    QTest::newRow("server stopped") << "stopped" << erreur_connexion_locale;
    QTest::newRow("password refused") << "password" << erreur_acces_refuse;
}

void TestMiseAJour::echange()
{
    // The failure of the exchange itself, as the driver gives it (the window shows the same
    // box for all).
    QFETCH(QString, cause);
    QFETCH(int, codeErreur);
    Parametres_maj parametres;
    parametres.hote = QStringLiteral("127.0.0.1");
    parametres.port = cause == QLatin1String("stopped") ? port_ferme() : port_;
    parametres.base = QStringLiteral("qorvalen_applications");
    parametres.compte = QStringLiteral("qorvalen_applic");
    parametres.mot_de_passe = QStringLiteral("pas le bon");
    const Resultat_maj resultat =
        interroger_serveur_maj(parametres, QDeadlineTimer(delai_verification_ms));
    QVERIFY(!resultat.reussie);
    QVERIFY2(resultat.erreur.nativeErrorCode() == QString::number(codeErreur),
             qPrintable(QStringLiteral("expected error %1, got %2: %3")
                            .arg(codeErreur)
                            .arg(resultat.erreur.nativeErrorCode(), resultat.erreur.text())));
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
    // One offer, for the newest release, whatever the order of the rows.
    QTest::newRow("9, 8, 10 from the menu: one offer, for 10")
        << publier({"9", "8", "10"}) << true << QStringList{oui} << QStringList{titre_offre}
        << QStringList{adresse_release("10")};
    QTest::newRow("9, 8, 10 at start-up: one offer, for 10")
        << publier({"9", "8", "10"}) << false << QStringList{oui} << QStringList{titre_offre}
        << QStringList{adresse_release("10")};
    QTest::newRow("12, 9 from the menu: one offer, for 12")
        << publier({"12", "9"}) << true << QStringList{oui} << QStringList{titre_offre}
        << QStringList{adresse_release("12")};
    QTest::newRow("no row from the menu is no update")
        << publier({}) << true << QStringList{ok} << QStringList{titre_aucune} << rien;
    QTest::newRow("no row at start-up says nothing")
        << publier({}) << false << rien << rien << rien;
    // The releases table gone: the procedure fails (error 1146); the check did not take place.
    QTest::newRow("statement fails from the menu: table dropped")
        << QStringLiteral("DROP TABLE application_updates;") << true << QStringList{ok}
        << QStringList{titre_erreur_connexion} << rien;
    // The procedure raises an error of its own; its right to execute is kept by CREATE OR
    // REPLACE.
    QTest::newRow("statement fails from the menu: the procedure signals an error")
        << QStringLiteral("CREATE OR REPLACE DEFINER = 'qorvalen_maj_owner'@'localhost' "
                          "PROCEDURE getApplicationLastUpdateInfo(IN app_id INT) SQL SECURITY "
                          "DEFINER SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'en panne';")
        << true << QStringList{ok} << QStringList{titre_erreur_connexion} << rien;
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
        passerVerificationDeLancement(fenetre);
        if (QTest::currentTestFailed())
            return;
        if (!preparation.isEmpty())
            sql(preparation);
        if (QTest::currentTestFailed())
            return;
    }
    diriger_connexion(QStringLiteral("127.0.0.1"), port_);
    const int appels_avant = appelsDeProcedure();
    if (depuisLeMenu) {
        fenetre.findChild<QAction *>(QStringLiteral("actionRechercher_une_mise_jour"))->trigger();
    } else {
        QTest::qWait(delai_verification_lancement_ms + 100);
        QVERIFY(verification_de_lancement_finie(fenetre));
    }
    // The check ran the statement once, also where it failed or brought no row.
    QCOMPARE(appelsDeProcedure(), appels_avant + 1);

    QVERIFY2(repondeur.erreurs.isEmpty(), qPrintable(repondeur.erreurs.join('\n')));
    QCOMPARE(repondeur.titres(), titres);
    for (const Boite_vue &boite : qAsConst(repondeur.boites))
        verifierBoite(boite, &fenetre, texte_erreur_telechargement);
    QCOMPARE(en_textes(navigateur.ouvertes), ouvertes);
    // The check closed and removed its own connection; "ma_base" was never opened.
    QTRY_COMPARE(Verification_maj::en_cours(), 0);
    QCOMPARE(QSqlDatabase::connectionNames(), QStringList{nom_connexion_maj});
    QVERIFY(!connexion_ouverte());
}

void TestMiseAJour::echecConnexion_data()
{
    QTest::addColumn<QString>("cause");
    QTest::addColumn<bool>("depuisLeMenu");
    // Ends by a time-out or at the deadline, rather than at once.
    QTest::addColumn<bool>("parDelai");

    QTest::newRow("server stopped, from the menu") << "stopped" << true << false;
    QTest::newRow("server stopped, at start-up: silent") << "stopped" << false << false;
    QTest::newRow("password refused, from the menu") << "password" << true << false;
    QTest::newRow("password refused, at start-up: silent") << "password" << false << false;
    // A listener that accepts the connection and never sends the server's greeting.
    QTest::newRow("silent listener, from the menu: ends after the timeout")
        << "listener" << true << true;
    QTest::newRow("silent listener, at start-up: the window goes on, then silence")
        << "listener" << false << true;
    // The real server frozen (SIGSTOP): the kernel still accepts, nobody answers.
    QTest::newRow("frozen server, from the menu: ends after the timeout")
        << "frozen" << true << true;
    // One byte every 2 s: no single wait of the driver ever times out.
    QTest::newRow("trickling server, from the menu: ends at the deadline")
        << "trickle" << true << true;
    QTest::newRow("trickling server, at start-up: the window goes on, then silence")
        << "trickle" << false << true;
    // The procedure answers after 8 s, past the deadline.
    QTest::newRow("server stalls after the call, from the menu") << "stall" << true << true;
}

void TestMiseAJour::echecConnexion()
{
    QFETCH(QString, cause);
    QFETCH(bool, depuisLeMenu);
    QFETCH(bool, parDelai);

    // Built before the window, so that the window goes first and a check left behind
    // outlives it until its server goes.
    QTcpServer ecoute;
    std::unique_ptr<Goutte_a_goutte> goutte;
    const QStringList reponses = depuisLeMenu ? QStringList{ok} : QStringList{};
    QElapsedTimer horloge;
    horloge.start();
    Repondeur repondeur(reponses, &horloge);
    Fenetre_Principale fenetre;
    if (depuisLeMenu)
        passerVerificationDeLancement(fenetre);
    if (QTest::currentTestFailed())
        return;

    if (cause == QLatin1String("stopped")) {
        diriger_connexion(QStringLiteral("127.0.0.1"), port_ferme());
    } else if (cause == QLatin1String("password")) {
        diriger_connexion(QStringLiteral("127.0.0.1"), port_, QStringLiteral("pas le bon"));
    } else if (cause == QLatin1String("listener")) {
        // Never read from the main loop; the kernel accepts anyway.
        QVERIFY(ecoute.listen(QHostAddress::LocalHost));
        diriger_connexion(QStringLiteral("127.0.0.1"), ecoute.serverPort());
    } else if (cause == QLatin1String("trickle")) {
        goutte = std::make_unique<Goutte_a_goutte>();
        QVERIFY(goutte->isListening());
        diriger_connexion(QStringLiteral("127.0.0.1"), goutte->serverPort());
    } else if (cause == QLatin1String("stall")) {
        sql(QStringLiteral("CREATE OR REPLACE DEFINER = 'qorvalen_maj_owner'@'localhost' "
                           "PROCEDURE getApplicationLastUpdateInfo(IN app_id INT) SQL SECURITY "
                           "DEFINER SELECT SLEEP(8) AS application_update_id, '' AS "
                           "url_to_download;"));
        diriger_connexion(QStringLiteral("127.0.0.1"), port_);
    } else {
        serveur(QStringLiteral("pause"));
        serveur_gele_ = true;
        diriger_connexion(QStringLiteral("127.0.0.1"), port_);
    }

    // The longest stall of the window's loop while the start-up check runs.
    QElapsedTimer depuis_tic;
    qint64 arret_max = 0;
    QTimer tic;
    tic.setInterval(20);
    connect(&tic, &QTimer::timeout, [&] { arret_max = qMax(arret_max, depuis_tic.restart()); });

    horloge.restart();
    if (depuisLeMenu) {
        fenetre.findChild<QAction *>(QStringLiteral("actionRechercher_une_mise_jour"))->trigger();
    } else {
        depuis_tic.start();
        tic.start();
        QTest::qWait(delai_verification_lancement_ms + 100);
        QVERIFY(verification_de_lancement_finie(fenetre));
        tic.stop();
    }
    const qint64 duree = horloge.elapsed();

    QVERIFY2(repondeur.erreurs.isEmpty(), qPrintable(repondeur.erreurs.join('\n')));
    QCOMPARE(repondeur.titres(),
             depuisLeMenu ? QStringList{titre_erreur_connexion} : QStringList{});
    for (const Boite_vue &boite : qAsConst(repondeur.boites))
        verifierBoite(boite, &fenetre, QString());
    QVERIFY(!connexion_ouverte());
    if (!depuisLeMenu)
        QVERIFY2(arret_max < arret_boucle_max_ms,
                 qPrintable(QStringLiteral("the window stalled for %1 ms").arg(arret_max)));
    if (parDelai) {
        // The box (from the menu) or the end of the check (at start-up) comes once the driver
        // gives up or, for a server that keeps trickling, at the deadline.
        const qint64 fin = depuisLeMenu ? repondeur.boites.value(0).vue_a_ms : duree;
        const qint64 debut = depuisLeMenu ? 0 : delai_verification_lancement_ms;
        QVERIFY2(fin >= debut + attente_pilote_ms - avance_delai_ms &&
                     fin <= debut + delai_verification_ms + marge_delai_ms,
                 qPrintable(QStringLiteral("the check ended after %1 ms, expected %2 to %3 ms")
                                .arg(fin)
                                .arg(debut + attente_pilote_ms)
                                .arg(debut + delai_verification_ms)));
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
    QTest::newRow("user name and password") << "https://user:pw@www.orvane.example/";
    QTest::newRow("user name before another host") << "https://www.orvane.example@autre.example/";
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
    passerVerificationDeLancement(fenetre);
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
    QVERIFY(!fenetre.findChild<Verification_maj *>());
    QCOMPARE(Verification_maj::en_cours(), 0);
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

void TestMiseAJour::fermetureAuCoursDeLaVerification()
{
    // The window closed while its start-up check waits on a server that never answers: it
    // waits for the check no later than the check's deadline, shows nothing, and the check
    // ends without it.
    QTcpServer ecoute;
    QVERIFY(ecoute.listen(QHostAddress::LocalHost));
    Repondeur repondeur({});
    QElapsedTimer horloge;
    horloge.start();
    auto fenetre = std::make_unique<Fenetre_Principale>();
    diriger_connexion(QStringLiteral("127.0.0.1"), ecoute.serverPort());
    QTest::qWait(delai_verification_lancement_ms + 100);
    QVERIFY(fenetre->findChild<Verification_maj *>());
    fenetre.reset();
    const qint64 fermee = horloge.elapsed();
    QVERIFY2(fermee <= delai_verification_lancement_ms + delai_verification_ms + marge_delai_ms,
             qPrintable(QStringLiteral("the window took until %1 ms to close").arg(fermee)));
    QTRY_COMPARE_WITH_TIMEOUT(Verification_maj::en_cours(), 0, marge_delai_ms);
    QVERIFY2(repondeur.erreurs.isEmpty(), qPrintable(repondeur.erreurs.join('\n')));
    QVERIFY(repondeur.boites.isEmpty());
}

void TestMiseAJour::menuPendantLaVerificationDeLancement()
{
    // Asked for from the menu while the start-up check waits for a slow answer (2 s): the
    // menu takes that check over, so one exchange and one offer.
    sql(QStringLiteral("CREATE OR REPLACE DEFINER = 'qorvalen_maj_owner'@'localhost' PROCEDURE "
                       "getApplicationLastUpdateInfo(IN app_id INT) SQL SECURITY DEFINER SELECT "
                       "9 + SLEEP(2) AS application_update_id, '%1' AS url_to_download;")
            .arg(adresse_release("9")));
    if (QTest::currentTestFailed())
        return;
    Repondeur repondeur({QStringLiteral("Non")});
    Fenetre_Principale fenetre;
    diriger_connexion(QStringLiteral("127.0.0.1"), port_);
    const int appels_avant = appelsDeProcedure();
    QTest::qWait(delai_verification_lancement_ms + 200);
    QVERIFY(fenetre.findChild<Verification_maj *>());
    fenetre.findChild<QAction *>(QStringLiteral("actionRechercher_une_mise_jour"))->trigger();
    QVERIFY(verification_de_lancement_finie(fenetre));
    QCoreApplication::processEvents();

    QVERIFY2(repondeur.erreurs.isEmpty(), qPrintable(repondeur.erreurs.join('\n')));
    QCOMPARE(repondeur.titres(), QStringList{titre_offre});
    QCOMPARE(appelsDeProcedure(), appels_avant + 1);
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
    passerVerificationDeLancement(fenetre);
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
    passerVerificationDeLancement(fenetre);
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
