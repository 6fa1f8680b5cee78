// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// The command line, run as the built program with neither a display nor a platform in its
// environment: exit statuses, standard output and error, and the files it leaves.
#include "cli/ligne_de_commande.h"
#include "site/site.h"

#include <QtTest>

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace
{

struct Resultat {
    int statut = -1;
    QString sortie;
    QString erreurs;
};

// The program with its files limited to `limite` bytes, a write beyond failing as on a full
// disk (with EFBIG rather than ENOSPC, for root too).
class Processus : public QProcess
{
public:
    rlim_t limite = RLIM_INFINITY;

protected:
    void setupChildProcess() override
    {
        if (limite == RLIM_INFINITY)
            return;
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit taille{};
        getrlimit(RLIMIT_FSIZE, &taille);
        taille.rlim_cur = limite;
        setrlimit(RLIMIT_FSIZE, &taille);
    }
};

// Runs the program as a container or CI runs it: no display, no XDG_RUNTIME_DIR. Its
// standard output goes to `sortie_vers` when given, under a file-size limit of `limite` bytes
// when not negative, with the `variables` ("NOM=valeur") added to its environment.
Resultat lancer(const QStringList &arguments, const QString &sortie_vers = QString(),
                int limite = -1, const QStringList &variables = {})
{
    Processus processus;
    if (limite >= 0)
        processus.limite = static_cast<rlim_t>(limite);
    if (!sortie_vers.isEmpty())
        processus.setStandardOutputFile(sortie_vers);
    QProcessEnvironment environnement = QProcessEnvironment::systemEnvironment();
    for (const char *variable :
         {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_RUNTIME_DIR", "ORVANE_DEBUG"})
        environnement.remove(QString::fromLatin1(variable));
    for (const QString &variable : variables)
        environnement.insert(variable.section(QLatin1Char('='), 0, 0),
                             variable.section(QLatin1Char('='), 1));
    processus.setProcessEnvironment(environnement);
    processus.start(QStringLiteral(ORVANE_EXECUTABLE), arguments);
    Resultat resultat;
    if (!processus.waitForFinished(60000)) {
        processus.kill();
        processus.waitForFinished();
        return resultat;
    }
    resultat.statut = processus.exitStatus() == QProcess::NormalExit ? processus.exitCode() : -1;
    resultat.sortie = QString::fromUtf8(processus.readAllStandardOutput());
    resultat.erreurs = QString::fromUtf8(processus.readAllStandardError());
    return resultat;
}

const QString entete = QStringLiteral("date;lever;coucher;duree\n");
const QString entete_masque = QStringLiteral("date;lever;coucher;duree;soleil_direct;masque\n");

// Horizon files for --masque, written once for the whole run.
QTemporaryDir *dossier_masques = nullptr;

QString fichier_masque(const QString &nom, const QByteArray &contenu)
{
    const QString chemin = dossier_masques->filePath(nom);
    QFile fichier(chemin);
    if (fichier.open(QIODevice::WriteOnly))
        fichier.write(contenu);
    return chemin;
}

// The site files named in `arguments` ("site.orvane"), taken in `dossier`.
void placer_sites(QStringList &arguments, const QTemporaryDir &dossier)
{
    for (QString &argument : arguments)
        if (argument.endsWith(QLatin1String(".orvane")))
            argument = dossier.filePath(argument);
}

// The read end of a FIFO made at a path, read in a thread of its own that lets a second pass
// after the first bytes come, the writer meanwhile finding the pipe full, then reads to the
// end. Each wait is bounded: a writer that never comes ends the reading after ten seconds.
class Lecteur_Tube
{
public:
    Lecteur_Tube() = default;
    Lecteur_Tube(const Lecteur_Tube &) = delete;
    Lecteur_Tube &operator=(const Lecteur_Tube &) = delete;
    ~Lecteur_Tube()
    {
        lus();
        if (descripteur_ >= 0)
            ::close(descripteur_);
    }

    bool ouvrir(const QString &chemin)
    {
        const QByteArray natif = QFile::encodeName(chemin);
        if (::mkfifo(natif.constData(), 0600) != 0)
            return false;
        // Open without waiting for a writer; the program's own open then finds a reader.
        descripteur_ = ::open(natif.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (descripteur_ < 0)
            return false;
        fil_ = std::thread([this] { lire(); });
        return true;
    }

    // What was read, once the writer has closed its end.
    QByteArray lus()
    {
        if (fil_.joinable())
            fil_.join();
        return lus_;
    }

private:
    void lire()
    {
        pollfd attente{descripteur_, POLLIN, 0};
        bool premiers = true;
        while (::poll(&attente, 1, 10000) > 0) {
            if (premiers)
                std::this_thread::sleep_for(std::chrono::seconds(1));
            premiers = false;
            char bloc[1 << 16];
            const ssize_t n = ::read(descripteur_, bloc, sizeof(bloc));
            if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR))
                break;
            if (n > 0)
                lus_.append(bloc, static_cast<int>(n));
        }
    }

    int descripteur_ = -1;
    std::thread fil_;
    QByteArray lus_;
};

} // namespace

class TestLigneDeCommande : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void statuts_data();
    void statuts();
    void fichier_data();
    void fichier();
    void aujourdhui_data();
    void aujourdhui();
    void masqueSoleilPrecis();
    void memesOctetsPartout_data();
    void memesOctetsPartout();
    void site_data();
    void site();
    void siteEcritRelu_data();
    void siteEcritRelu();
    void lot_data();
    void lot();
};

void TestLigneDeCommande::initTestCase()
{
    dossier_masques = new QTemporaryDir;
    QVERIFY(dossier_masques->isValid());
}

void TestLigneDeCommande::cleanupTestCase()
{
    delete dossier_masques;
    dossier_masques = nullptr;
}

void TestLigneDeCommande::statuts_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("statut");
    // The whole standard output, when not null.
    QTest::addColumn<QString>("sortie");
    // Texts the standard output holds, and one the standard error holds.
    QTest::addColumn<QStringList>("dans_sortie");
    QTest::addColumn<QString>("dans_erreurs");

    QTest::newRow("help lists every option") << QStringList{"--help"} << statut_succes << QString()
                                             << QStringList{"--export FICHIER",
                                                            "--tableau",
                                                            "--latitude DEG",
                                                            "--date AAAA-MM-JJ",
                                                            "--jour-des-mois J",
                                                            "--annee AAAA",
                                                            "--limites",
                                                            "--heures",
                                                            "--taille LxH",
                                                            "--help",
                                                            "--version",
                                                            "--longitude DEG",
                                                            "--fuseau ZONE",
                                                            "--heure ECHELLE",
                                                            "--modele MODELE",
                                                            "--site FICHIER",
                                                            "--enregistrer-site FICHIER",
                                                            "--masque FICHIER",
                                                            "--convention CONV",
                                                            "--projection PROJ",
                                                            "--facade AZ",
                                                            "--casquette P:H[:G:D]",
                                                            "--joue-gauche P:D",
                                                            "--joue-droite P:D",
                                                            "--obstacle B1:D1:B2:D2:H",
                                                            "--baie L:H:A:E",
                                                            "--exposition REGLE",
                                                            "--hauteur-min DEG",
                                                            "--tableau-exposition",
                                                            "--periodes",
                                                            "--annee-fenetre FICHIER",
                                                            "--projet NOM",
                                                            "--adresse TEXTE",
                                                            "--client NOM",
                                                            "--auteur NOM",
                                                            "--graduations CONV"}
                                             << QString();
    QTest::newRow("version") << QStringList{"--version"} << statut_succes << QString()
                             << QStringList{"orvane "} << QString();
    // Oslo, 1 February, an east opening in a wall of no thickness: the sun above 10° in front of
    // it from 1h48 to 1h50 by an almanac, the minimal level; the rule so changed is custom.
    // The standard lets the designer choose the day: the rule stays EN 17037.
    QTest::newRow("EN 17037 on a day of its choosing")
        << QStringList{"--latitude",
                       "48.85",
                       "--facade",
                       "160",
                       "--baie",
                       "1.2:1.4:0.9:0.3",
                       "--exposition",
                       "en17037:2026-02-15",
                       "--tableau-exposition"}
        << statut_succes << QString() << QStringList{"\nen17037;jour;2026-02-15;"} << QString();
    QTest::newRow("Oslo's exposure at 10 degrees, as CSV")
        << QStringList{"--latitude",
                       "59.91",
                       "--facade",
                       "90",
                       "--baie",
                       "1.2:1.4:0.9:0",
                       "--exposition",
                       "en17037:2026-02-01",
                       "--hauteur-min",
                       "10",
                       "--tableau-exposition"}
        << statut_succes << QString()
        << QStringList{"regle;critere;jour;soleil;seuil;niveau\npersonnalisee;jour;2026-02-01;1h",
                       ";1h30;minimal\npersonnalisee;jour le moins ensoleillé;2026-02-01;1h"}
        << QString();

    // Sunrise and sunset at 45°: δ = −23.45 · sin(2π (N + 101) / 365.25), cos H = −tan φ tan δ,
    // sunrise 12 − H/15 rounded up to the hundredth of an hour, sunset 12 + H/15 rounded half
    // up. 21 June (N = 172): δ = 23.447°, H = 115.70°: 4.30, 19.71, so 4h18, 19h43, 15h25.
    const QString juin = QStringLiteral("2026-06-21;4h18;19h43;15h25\n");
    QTest::newRow("21 June at 45 degrees")
        << QStringList{"--latitude", "45", "--date", "2026-06-21", "--tableau"} << statut_succes
        << entete + juin << QStringList() << QString();
    QTest::newRow("latitude with a decimal comma")
        << QStringList{"--latitude", "45,0", "--date", "2026-06-21", "--tableau"} << statut_succes
        << entete + juin << QStringList() << QString();
    // 21 June at −45°: cos H = +0.43371, H = 64.30°: 7.72, 16.29.
    QTest::newRow("south latitude")
        << QStringList{"--latitude", "-45", "--date", "2026-06-21", "--tableau"} << statut_succes
        << entete + "2026-06-21;7h43;16h17;8h34\n"
        << QStringList() << QString();
    // Saved dates follow the chosen one by day of the year. 1 March (N = 60): δ = −8.52°,
    // H = 81.38°: 6.58, 17.43. 21 December (N = 355): δ = −23.449°, H = 64.29°: 7.72, 16.29.
    QTest::newRow("saved dates by day of the year")
        << QStringList{"--latitude", "45",     "--date",     "2026-06-21", "--date",
                       "2026-12-21", "--date", "2026-03-01", "--tableau"}
        << statut_succes
        << entete + juin + "2026-03-01;6h35;17h26;10h51\n2026-12-21;7h43;16h17;8h34\n"
        << QStringList() << QString();
    // A later date on the same day of the year replaces the earlier one, as in the window.
    QTest::newRow("two dates on the same day of the year: the later one")
        << QStringList{"--latitude", "45",     "--date",     "2026-06-21", "--date",
                       "2025-03-01", "--date", "2026-03-01", "--tableau"}
        << statut_succes << entete + juin + "2026-03-01;6h35;17h26;10h51\n"
        << QStringList() << QString();
    // On its bounds: at the pole the sun circles at 23.45° in June and stays below in the
    // south's winter.
    QTest::newRow("latitude 90") << QStringList{"--latitude", "90", "--date", "2026-06-21",
                                                "--tableau"}
                                 << statut_succes << entete + "2026-06-21;0h00;24h00;24h00\n"
                                 << QStringList() << QString();
    QTest::newRow("latitude -90") << QStringList{"--latitude", "-90", "--date", "2026-06-21",
                                                 "--tableau"}
                                  << statut_succes << entete + "2026-06-21;-;-;-\n"
                                  << QStringList() << QString();
    QStringList treize;
    for (int mois = 1; mois <= 12; ++mois)
        treize << "--date" << QDate(2026, mois, 1).toString(Qt::ISODate);
    treize << "--date"
           << "2026-06-21"
           << "--tableau";
    QTest::newRow("thirteen dates")
        << treize << statut_succes << QString()
        << QStringList{"2026-01-01;", "2026-06-21;", "2026-12-01;"} << QString();
    QTest::newRow("first date of the range")
        << QStringList{"--date", "1752-09-14", "--tableau"} << statut_succes << QString()
        << QStringList{"1752-09-14;"} << QString();
    QTest::newRow("last year") << QStringList{"--jour-des-mois", "31", "--annee", "9999",
                                              "--tableau"}
                               << statut_succes << QString() << QStringList{"9999-12-31;"}
                               << QString();
    // At 66° on 21 June, cos H = −tan 66° tan 23.447° = −0.97398, H = 166.90°: 22.25 h of day
    // (22h15). At 23° W on the clock of Reykjavik (UTC all year) the sunset falls past
    // midnight, before its sunrise on the clock.
    QTest::newRow("sunset after midnight on the clock")
        << QStringList{"--latitude",         "66",      "--longitude", "-23",    "--fuseau",
                       "Atlantic/Reykjavik", "--heure", "legale",      "--date", "2026-06-21",
                       "--tableau"}
        << statut_succes << QString() << QStringList{"2026-06-21;2h", ";0h", ";22h15\n"}
        << QString();
    // A zone of the database outside zone1970.tab: at the equator on the meridian of Greenwich
    // the sun rises near 6h UTC, 1h on a clock five hours behind.
    // At 78° N on 21 June the sun never sets: the whole day of the clock.
    QTest::newRow("polar day on the clock")
        << QStringList{"--latitude", "78",         "--longitude", "15",
                       "--heure",    "legale",     "--fuseau",    "Europe/Oslo",
                       "--date",     "2026-06-21", "--tableau"}
        << statut_succes << entete + "2026-06-21;0h00;24h00;24h00\n"
        << QStringList() << QString();
    QTest::newRow("zone outside the list of cities")
        << QStringList{"--fuseau", "Etc/GMT+5",  "--heure",  "legale",
                       "--date",   "2026-06-21", "--tableau"}
        << statut_succes << QString() << QStringList{"2026-06-21;1h0"} << QString();
    // At 70° the sun never sets on 21 June (δ = 23.447° > 90° − 70°) and never rises on
    // 21 December: that date keeps its row, without times.
    QTest::newRow("saved date in the polar night")
        << QStringList{"--latitude", "70",         "--date",   "2026-06-21",
                       "--date",     "2026-12-21", "--tableau"}
        << statut_succes << entete + "2026-06-21;0h00;24h00;24h00\n2026-12-21;-;-;-\n"
        << QStringList() << QString();
    // The seven months with a 31st, by the same computation: δ = −17.94°, 3.37°, 21.80°,
    // 18.35°, 8.38°, −14.81°, −23.14°.
    QTest::newRow("day 31 of the months")
        << QStringList{"--latitude", "45", "--jour-des-mois", "31", "--annee", "2026", "--tableau"}
        << statut_succes
        << entete + "2026-01-31;7h16;16h44;9h28\n2026-03-31;5h47;18h13;12h26\n"
                    "2026-05-31;4h26;19h34;15h08\n2026-07-31;4h43;19h17;14h34\n"
                    "2026-08-31;5h27;18h34;13h07\n2026-10-31;7h02;16h59;9h57\n"
                    "2026-12-31;7h42;16h19;8h37\n"
        << QStringList() << QString();
    // U.S. Naval Observatory, "Rise and Set for the Sun for 2020", Auckland (E174 48, S36 50) in
    // UT: sunrise Jun 20 19:34, sunset Jun 21 05:12; on the clock of Pacific/Auckland (+12)
    // 07:34 and 17:12.
    QTest::newRow("Auckland on its clock with the accurate sun")
        << QStringList{"--latitude",       "-36.8333",   "--longitude", "174.8",    "--fuseau",
                       "Pacific/Auckland", "--heure",    "legale",      "--modele", "precis",
                       "--date",           "2020-06-21", "--tableau"}
        << statut_succes << entete + "2020-06-21;7h34;17h12;9h38\n"
        << QStringList() << QString();

    // Behind a mask. A PVGIS profile at 30° all round, on 21 June at 45°: the sun is above 30°
    // while cos H < (sin 30° − sin φ sin δ) / (cos φ cos δ) = 0.33706, H = 70.303° = 4.6869 h
    // either side of noon: 9.3738 h of direct sun (9h22), 15.41 − 9.3738 = 6.036 h behind the
    // mask (6h02). On 21 December the noon sun reaches 90 − 45 − 23.45 = 21.55°: all of the
    // 8.57 h behind the mask.
    const QString pvgis = fichier_masque(
        "tour30.json", "{\"outputs\": {\"horizon_profile\": [{\"A\": -180, \"H_hor\": 30}, "
                       "{\"A\": -90, \"H_hor\": 30}, {\"A\": 0, \"H_hor\": 30}, {\"A\": 90, "
                       "\"H_hor\": 30}, {\"A\": 180, \"H_hor\": 30}]}}");
    QTest::newRow("PVGIS mask, recognised by its content")
        << QStringList{"--latitude", "45",        "--date",   "2026-06-21", "--date",
                       "2026-12-21", "--tableau", "--masque", pvgis}
        << statut_succes
        << entete_masque + "2026-06-21;4h18;19h43;15h25;9h22;6h02\n"
                           "2026-12-21;7h43;16h17;8h34;0h00;8h34\n"
        << QStringList() << QString();
    // Compass bearings 90 to 270 at 40°, the east round the south to the west, open sky over
    // the north half written as 0° points: the sun is due east and west at 34.24°, and above
    // 40° from 56.14° before noon (8.2572 h) on; 2 × (8.2572 − 7.7136) = 1.0874 h behind the
    // mask (1h05), 14.3227 h of direct sun (14h19). The lines up from 0° to 40° within a
    // hundredth of a degree of east and west move it by a fraction of a second.
    const QString boussole =
        fichier_masque("sud40.txt", "azimut hauteur\n0 0\n89.99 0\n90 40\n135 40\n"
                                    "180 40\n225 40\n270 40\n270.01 0\n");
    QTest::newRow("compass mask") << QStringList{"--latitude", "45",           "--date",
                                                 "2026-06-21", "--tableau",    "--masque",
                                                 boussole,     "--convention", "nord"}
                                  << statut_succes
                                  << entete_masque + "2026-06-21;4h18;19h43;15h25;14h19;1h05\n"
                                  << QStringList() << QString();

    // A constant 10° horizon every 20° from 0° to 280°: the line from 280° back to 0° closes
    // it, 10° all round. On 21 June at 45° the sun is above 10° while cos H < (sin 10° − sin φ
    // sin δ) / (cos φ cos δ), H = 99.557° = 6.6372 h either side of noon: 13.2743 h of direct
    // sun (13h16), 15.41 − 13.2743 = 2.1357 h behind the mask (2h08).
    QString ferme;
    for (int cap = 0; cap <= 280; cap += 20)
        ferme += QStringLiteral("%1;10\n").arg(cap);
    QTest::newRow("compass mask closed from its last direction to its first")
        << QStringList{"--latitude",
                       "45",
                       "--date",
                       "2026-06-21",
                       "--tableau",
                       "--masque",
                       fichier_masque("ferme20.csv", ferme.toUtf8()),
                       "--convention",
                       "nord"}
        << statut_succes << entete_masque + "2026-06-21;4h18;19h43;15h25;13h16;2h08\n"
        << QStringList() << QString();

    // The counts do not depend on how the sky is drawn.
    for (const char *projection : {"stereographique", "cylindrique"})
        QTest::newRow(qPrintable(QStringLiteral("compass mask, projection %1").arg(projection)))
            << QStringList{"--latitude", "45",           "--date",  "2026-06-21",
                           "--tableau",  "--masque",     boussole,  "--convention",
                           "nord",       "--projection", projection}
            << statut_succes << entete_masque + "2026-06-21;4h18;19h43;15h25;14h19;1h05\n"
            << QStringList() << QString();

    // The window's columns after the mask's. A south facade under H / P = 1 at 45° N sees no
    // sun on 21 June (the sun in front of it stands above 45° of vertical shadow angle); a wall
    // below the point hides nothing.
    QTest::newRow("facade and a wall: the mask's columns, then the window's")
        << QStringList{"--latitude",     "45",  "--date",      "2026-06-21", "--tableau",
                       "--facade",       "180", "--casquette", "1:1",        "--obstacle",
                       "90:10:270:10:-1"}
        << statut_succes
        << QStringLiteral("date;lever;coucher;duree;soleil_direct;masque;soleil_fenetre\n"
                          "2026-06-21;4h18;19h43;15h25;15h25;0h00;0h00\n")
        << QStringList() << QString();

    // A west window gets the sun from the meridian, true solar noon, to sunset; the periods
    // come last, asked for.
    QTest::newRow("west facade with --periodes: from noon to sunset")
        << QStringList{"--latitude", "45",       "--date", "2026-06-21",
                       "--tableau",  "--facade", "270",    "--periodes"}
        << statut_succes
        << QStringLiteral("date;lever;coucher;duree;soleil_fenetre;periodes_fenetre\n"
                          "2026-06-21;4h18;19h43;15h25;7h43;12h00-19h43\n")
        << QStringList() << QString();

    // The window's options on their limits: a bearing of 360, fifty walls.
    QStringList cinquante_murs{"--latitude", "45",       "--date", "2026-06-21",
                               "--tableau",  "--facade", "360"};
    for (int i = 0; i < 50; ++i)
        cinquante_murs << "--obstacle"
                       << "10:5:20:5:3";
    QTest::newRow("facade at bearing 360 and 50 walls")
        << cinquante_murs << statut_succes << QString()
        << QStringList{"date;lever;coucher;duree;soleil_direct;masque;soleil_fenetre\n"}
        << QString();
    // Along y = 11 mm, from x = 5 m to x = -5 m: just past the centimetre, drawn.
    QTest::newRow("wall 11 mm from the point")
        << QStringList{"--tableau", "--obstacle", "89.873949:5.0000121:270.126051:5.0000121:3"}
        << statut_succes << QString()
        << QStringList{"date;lever;coucher;duree;soleil_direct;masque\n"} << QString();

    // The photo's lower half dark from 15° below the zenith at every bearing of the south half:
    // the traced horizon, a mask, gives the table its two columns.
    {
        QImage ciel(160, 120, QImage::Format_RGB32);
        ciel.fill(Qt::black);
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 160; ++x)
                if (std::hypot(x + 0.5 - 80, y + 0.5 - 60) < 55)
                    ciel.setPixel(x, y, y < 66 ? qRgb(120, 170, 240) : qRgb(40, 50, 30));
        const QString photo = dossier_masques->filePath("ciel_sud.png");
        ciel.save(photo);
        QTest::newRow("horizon traced from a photo, counted")
            << QStringList{"--latitude", "45",      "--date", "2026-12-21",
                           "--tableau",  "--photo", photo,    "--photo-horizon"}
            << statut_succes << QString()
            << QStringList{entete_masque, "2026-12-21;7h43;16h17;8h34;0h00;8h34\n"} << QString();
    }

    // Usage errors: nothing on the standard output, the option named on the standard error.
    auto usage = [](const char *nom, const QStringList &arguments, const QString &option) {
        QTest::newRow(nom) << arguments << statut_usage << QString("") << QStringList() << option;
    };
    usage("unknown option", {"--inconnue", "--tableau"}, "--inconnue");
    usage("missing value", {"--tableau", "--latitude"}, "--latitude");
    usage("periods without a facade", {"--tableau", "--periodes"},
          "--periodes : ne va qu'avec --facade");
    usage("year grid without a facade", {"--annee-fenetre", "annee.csv"},
          "--annee-fenetre : ne va qu'avec --facade");
    usage("latitude out of range", {"--latitude", "90.5", "--tableau"}, "--latitude");
    usage("latitude not a number", {"--latitude", "nord", "--tableau"}, "--latitude");
    usage("impossible date", {"--date", "2026-02-30", "--tableau"}, "--date");
    usage("date not AAAA-MM-JJ", {"--date", "21/06/2026", "--tableau"}, "--date");
    usage("date before the date edit's range", {"--date", "1752-09-13", "--tableau"},
          "--date : le 1752-09-13 est hors de 1752-09-14..9999-12-31");
    usage("year 0", {"--jour-des-mois", "1", "--annee", "0", "--tableau"},
          "--annee : 0 est hors de l'intervalle 1 à 9999");
    QStringList quatorze;
    for (int mois = 1; mois <= 12; ++mois)
        quatorze << "--date" << QDate(2026, mois, 1).toString(Qt::ISODate);
    quatorze << "--date"
             << "2026-06-21"
             << "--date"
             << "2026-06-22"
             << "--tableau";
    usage("fourteen dates", quatorze, "--date");
    usage("day 32", {"--jour-des-mois", "32", "--tableau"}, "--jour-des-mois");
    usage("dates and months together",
          {"--date", "2026-06-21", "--jour-des-mois", "3", "--tableau"}, "--jour-des-mois");
    usage("size not LxH", {"--taille", "1920", "--tableau"}, "--taille");
    usage("unknown file kind", {"--export", "diagramme.gif"}, "--export");
    usage("nothing to write", {"--latitude", "45"}, "--tableau");
    usage("longitude out of range", {"--longitude", "-180.5", "--tableau"}, "--longitude");
    usage("unknown time zone", {"--fuseau", "Europe/Atlantide", "--tableau"}, "--fuseau");
    usage("unknown time scale", {"--heure", "locale", "--tableau"}, "--heure");
    usage("unknown sun model", {"--modele", "exact", "--tableau"}, "--modele");
    usage("unknown projection", {"--projection", "polaire", "--tableau"},
          "--projection : « polaire » : attendu equidistante, stereographique ou cylindrique");
    usage("unknown graduations", {"--graduations", "nord", "--tableau"},
          "--graduations : « nord » : attendu tableau ou caps");
    const QString hors_limites = fichier_masque("mauvais.csv", "10;5\n20;95\n");
    usage("mask height out of range, its line named",
          {"--tableau", "--masque", hors_limites, "--convention", "nord"},
          "« " + hors_limites + " » : Ligne 2 : la hauteur 95° sort des limites (de -5° à 90°).");
    usage("plain mask without its convention", {"--tableau", "--masque", boussole},
          "--convention nord, sud ou tableau");
    usage("unknown convention", {"--tableau", "--masque", boussole, "--convention", "est"},
          "--convention");
    usage("convention without a mask", {"--tableau", "--convention", "nord"}, "--masque");
    usage("overhang without a facade", {"--tableau", "--casquette", "1:1"},
          "--casquette : ne va qu'avec --facade");
    usage("facade at bearing 361", {"--tableau", "--facade", "361"},
          "--facade : 361 est hors de l'intervalle 0 à 360");
    usage("year 10000", {"--jour-des-mois", "1", "--annee", "10000", "--tableau"},
          "--annee : 10000 est hors de l'intervalle 1 à 9999");
    usage("facade at bearing -1", {"--tableau", "--facade", "-1"},
          "--facade : -1 est hors de l'intervalle 0 à 360");
    usage("overhang of depth 0", {"--tableau", "--facade", "180", "--casquette", "0:1"},
          "--casquette : 0 : les longueurs sont en mètres, plus grandes que 0");
    usage("fin of three numbers", {"--tableau", "--facade", "180", "--joue-droite", "1:2:3"},
          "--joue-droite : « 1:2:3 » : attendu P:D");
    QStringList murs{"--tableau"};
    for (int i = 0; i <= 50; ++i)
        murs << "--obstacle"
             << "10:5:20:5:3";
    usage("51 walls", murs, "--obstacle : 51 obstacles donnés, 50 au plus");
    // Due north to due south through the point; then along y = 9 mm, from x = 5 m to x = -5 m.
    usage("wall through the point", {"--tableau", "--obstacle", "0:5:180:5:10"},
          "--obstacle : « 0:5:180:5:10 » : le mur passe à 1 cm ou moins du point de la fenêtre\n");
    usage("wall 9 mm from the point",
          {"--tableau", "--obstacle", "89.896866:5.0000081:270.103134:5.0000081:3"},
          "--obstacle : « 89.896866:5.0000081:270.103134:5.0000081:3 » : le mur passe à 1 cm ou "
          "moins du point de la fenêtre\n");
    usage("missing mask file",
          {"--tableau", "--masque", dossier_masques->filePath("absent.csv"), "--convention", "sud"},
          "--masque");
    usage("date with a time", {"--date", "2026-06-21T12:00", "--tableau"},
          "--date : « 2026-06-21T12:00 » n'est pas une date AAAA-MM-JJ");
    usage("empty overhang", {"--facade", "180", "--casquette", "", "--tableau"},
          "--casquette : valeur vide");
    usage("empty facade", {"--facade", "", "--tableau"}, "--facade : valeur vide");
    usage("a POSIX rule as a zone", {"--fuseau", "ABC-3", "--tableau"}, "--fuseau : « ABC-3 »");
    // A FIFO that nobody writes: opening it for reading would wait for ever.
    const QString tube = dossier_masques->filePath("tube.orvane");
    mkfifo(QFile::encodeName(tube).constData(), 0600);
    usage("a zone climbing out of the zone folder", {"--fuseau", "../../.." + tube, "--tableau"},
          "--fuseau : « ../../..");
    usage("a FIFO as a site", {"--site", tube, "--tableau"},
          "« tube.orvane » n'a pas pu être ouvert : ce n'est pas un fichier ordinaire");
    usage("a FIFO as a batch", {"--lot", tube},
          "--lot : « " + tube + " » ne peut être lu (ce n'est pas un fichier ordinaire)");
    usage("a folder as a batch", {"--lot", dossier_masques->path()},
          "ne peut être lu (c'est un dossier)");
    usage("a stray argument after the batch", {"--lot", boussole, "superflu.csv"},
          "argument inattendu : « superflu.csv »");
    const QStringList est{"--tableau", "--facade", "90"};
    usage("opening without a facade", {"--tableau", "--baie", "1:1.4:0.9:0.3"},
          "--baie : ne va qu'avec --facade");
    usage("opening of three numbers", est + QStringList{"--baie", "1:1.4:0.9"},
          "--baie : « 1:1.4:0.9 » : attendu L:H:A:E");
    usage("opening with a sill below the floor", est + QStringList{"--baie", "1:1.4:-0.1:0.3"},
          "--baie : -0.1 : l'allège et l'épaisseur du mur sont en mètres, 0 ou plus");
    usage("unknown exposure rule", est + QStringList{"--exposition", "bre"},
          "--exposition : « bre » : attendu en17037[:AAAA-MM-JJ], din5034, tno-licht ou "
          "tno-streng");
    usage("a day given to DIN 5034", est + QStringList{"--exposition", "din5034:2026-03-21"},
          "--exposition : « din5034:2026-03-21 » : attendu");
    usage("EN 17037 without an opening", est + QStringList{"--exposition", "en17037"},
          "--exposition : ce point de référence se place dans la baie : il faut ses dimensions");
    usage("EN 17037 on 1 April, after its period",
          est + QStringList{"--baie", "1.2:1.4:0.9:0.3", "--exposition", "en17037:2026-04-01"},
          "--exposition : le 1er avril est hors de la période de la règle (du 1er février au 21 "
          "mars)");
    usage("EN 17037 on 31 January, before its period",
          est + QStringList{"--baie", "1.2:1.4:0.9:0.3", "--exposition", "en17037:2026-01-31"},
          "--exposition : le 31 janvier est hors de la période");
    // The point at 0.30 m above a sill 1.10 m high, above a head at 0.20 m.
    usage("EN 17037's point above the opening's head",
          est + QStringList{"--baie", "1:0.2:1.1:0.3", "--exposition", "en17037"},
          "--exposition : le haut de la baie est sous le point de référence");
    usage("least height of 90", est + QStringList{"--hauteur-min", "90"},
          "--hauteur-min : 90 est hors de l'intervalle 0 à 90");
    usage("exposure table without a rule", {"--facade", "90", "--tableau-exposition"},
          "--tableau-exposition : ne va qu'avec une règle");
    // A sky photo: a small fisheye of blue sky over a dark lower half, in a black surround.
    QImage ciel(160, 120, QImage::Format_RGB32);
    ciel.fill(Qt::black);
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 160; ++x)
            if (std::hypot(x + 0.5 - 80, y + 0.5 - 60) < 55)
                ciel.setPixel(x, y, y < 75 ? qRgb(120, 170, 240) : qRgb(40, 50, 30));
    const QString photo = dossier_masques->filePath("ciel.png");
    ciel.save(photo);
    usage("missing photo", {"--tableau", "--photo", dossier_masques->filePath("absent.jpg")},
          "--photo : « " + dossier_masques->filePath("absent.jpg") +
              " » ne peut être lu : le fichier n'existe pas");
    usage("photo that is no image", {"--tableau", "--photo", boussole},
          "ne peut être lu : ce n'est pas une image JPEG ou PNG");
    usage("photo centre outside the image",
          {"--tableau", "--photo", photo, "--photo-centre", "500:20"},
          "la calibration ne va pas : le centre (500, 20) est hors de l'image de 160 × 120 pixels");
    usage("photo radius 0", {"--tableau", "--photo", photo, "--photo-rayon", "0"},
          "--photo-rayon : 0 : le rayon doit être plus grand que 0 pixel");
    usage("unknown lens", {"--tableau", "--photo", photo, "--photo-objectif", "fisheye"},
          "--photo-objectif : « fisheye » : attendu equidistant, equisolide, stereographique, "
          "orthographique, panorama ou C1:C2:C3");
    usage("lens of two coefficients",
          {"--tableau", "--photo", photo, "--photo-objectif", "0.7:0.01"},
          "--photo-objectif : « 0.7:0.01 » : attendu C1:C2:C3");
    usage("photo bearing without a photo", {"--tableau", "--photo-nord", "10"},
          "--photo-nord : ne va qu'avec --photo");
    usage("threshold without tracing", {"--tableau", "--photo", photo, "--photo-seuil", "100"},
          "--photo-seuil : ne va qu'avec --photo-horizon");
    usage("threshold 256",
          {"--tableau", "--photo", photo, "--photo-horizon", "--photo-seuil", "256"},
          "--photo-seuil : 256 est hors de l'intervalle 0 à 255");
    usage("opacity 101", {"--tableau", "--photo", photo, "--photo-opacite", "101"},
          "--photo-opacite : 101 est hors de l'intervalle 0 à 100");
    usage("mirror as a word", {"--tableau", "--photo", photo, "--photo-miroir", "vrai"},
          "--photo-miroir : « vrai » : attendu oui ou non");
    usage("traced horizon and a mask file",
          {"--tableau", "--photo", photo, "--photo-horizon", "--masque", boussole, "--convention",
           "nord"},
          "--photo-horizon : ne va pas avec --masque");
    usage("a batch without its file", {"--lot"}, "orvane : --lot : valeur manquante (FICHIER)\n");
    usage("mask file that is a folder",
          {"--tableau", "--masque", dossier_masques->path(), "--convention", "sud"},
          "--masque : « " + dossier_masques->path() + " » est un dossier\n");
}

void TestLigneDeCommande::statuts()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, statut);
    QFETCH(QString, sortie);
    QFETCH(QStringList, dans_sortie);
    QFETCH(QString, dans_erreurs);

    const Resultat resultat = lancer(arguments);
    QCOMPARE(resultat.statut, statut);
    // The toolkit's own warnings stay out of a good run's standard error.
    if (statut == statut_succes)
        QCOMPARE(resultat.erreurs, QString());
    if (!sortie.isNull())
        QCOMPARE(resultat.sortie, sortie);
    for (const QString &texte : dans_sortie)
        QVERIFY2(resultat.sortie.contains(texte), qPrintable(texte));
    QVERIFY2(resultat.erreurs.contains(dans_erreurs), qPrintable(resultat.erreurs));
}

void TestLigneDeCommande::fichier_data()
{
    QTest::addColumn<QStringList>("arguments");
    // The option the file is given to; for --tableau, the file takes the standard output.
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("nom");
    // What the name holds before: nothing, the user's file, a link to /dev/null, or a FIFO whose
    // reader reads only a second after the first bytes came.
    QTest::addColumn<QString>("avant");
    // Bytes a file may grow to; negative: no limit.
    QTest::addColumn<int>("limite");
    QTest::addColumn<int>("statut");
    // How the file written begins, and the size of a raster image; nothing when none is.
    QTest::addColumn<QByteArray>("debut");
    QTest::addColumn<QSize>("taille");

    const QString exporte = QStringLiteral("--export");
    const QString rien;
    const QString ancien = QStringLiteral("fichier");
    const QString lien_nul = QStringLiteral("lien");
    const QString tube = QStringLiteral("tube");
    const QStringList juin{"--date", "2026-06-21", "--heures", "--taille", "640x360"};
    QTest::newRow("PNG at the size asked")
        << juin << exporte << "diagramme.png" << rien << -1 << statut_succes
        << QByteArray("\x89PNG") << QSize(640, 360);
    QTest::newRow("JPEG at the size asked")
        << juin << exporte << "diagramme.JPEG" << rien << -1 << statut_succes
        << QByteArray("\xff\xd8\xff") << QSize(640, 360);
    QTest::newRow("SVG") << juin << exporte << "diagramme.svg" << rien << -1 << statut_succes
                         << QByteArray("<?xml") << QSize();
    QTest::newRow("PDF") << juin << exporte << "diagramme.pdf" << rien << -1 << statut_succes
                         << QByteArray("%PDF-") << QSize();
    // The report page does not depend on the size asked: captions, title block (the horizon's
    // file named) and table.
    QTest::newRow("PDF at 1000 x 1000 with a horizon")
        << QStringList{"--date",
                       "2026-06-21",
                       "--heures",
                       "--taille",
                       "1000x1000",
                       "--masque",
                       fichier_masque("horizon_page.txt", "90 40\n135 40\n180 40\n225 40\n"),
                       "--convention",
                       "nord"}
        << exporte << "diagramme.pdf" << rien << -1 << statut_succes << QByteArray("%PDF-")
        << QSize();
    QTest::newRow("bad mask writes nothing")
        << QStringList{"--masque", dossier_masques->filePath("mauvais.csv"), "--convention", "nord"}
        << exporte << "diagramme.png" << rien << -1 << statut_usage << QByteArray() << QSize();
    QTest::newRow("cylindrical chart, PNG at the size asked")
        << juin + QStringList{"--limites", "--projection", "cylindrique"} << exporte
        << "diagramme.png" << rien << -1 << statut_succes << QByteArray("\x89PNG")
        << QSize(640, 360);
    // The chart across the page with the table under it; the project heads the title block,
    // a line under it explains each hatching.
    QTest::newRow("PDF of the cylindrical chart, a project and a window")
        << juin + QStringList{"--projection", "cylindrique",      "--projet", "Maison Arnaud",
                              "--adresse",    "12 rue des Lilas", "--facade", "225",
                              "--obstacle",   "150:15:300:15:9"}
        << exporte << "diagramme.pdf" << rien << -1 << statut_succes << QByteArray("%PDF-")
        << QSize();
    QTest::newRow("bad projection writes nothing")
        << QStringList{"--projection", "Cylindrique"} << exporte << "diagramme.png" << rien << -1
        << statut_usage << QByteArray() << QSize();
    QTest::newRow("bad date writes nothing")
        << QStringList{"--date", "2026-02-30"} << exporte << "diagramme.png" << rien << -1
        << statut_usage << QByteArray() << QSize();
    // The temporary file written beside it would need a name longer than a file system takes:
    // the write fails, as root too, and the file already there stays as it was.
    QTest::newRow("failed write keeps the file")
        << QStringList{"--date", "2026-06-21", "--taille", "640x360"} << exporte
        << QString(251, QLatin1Char('a')) + ".png" << ancien << -1 << statut_echec_ecriture
        << QByteArray() << QSize();
    // Every writer on a full disk: not a byte may be written, and the old file stays whole. The
    // site is small enough to fail only at the flush before the rename.
    for (const char *nom : {"diagramme.png", "diagramme.jpg", "diagramme.svg", "diagramme.pdf"})
        QTest::newRow(qPrintable(QStringLiteral("%1 on a full disk keeps the file").arg(nom)))
            << juin << exporte << nom << ancien << 0 << statut_echec_ecriture << QByteArray()
            << QSize();
    QTest::newRow("site on a full disk keeps the file")
        << juin << "--enregistrer-site"
        << "site.orvane" << ancien << 0 << statut_echec_ecriture << QByteArray() << QSize();
    QTest::newRow("PNG through a link to /dev/null")
        << juin << exporte << "nul.png" << lien_nul << -1 << statut_succes << QByteArray()
        << QSize();
    // About 240 kB, far more than the pipe holds: the writer waits for its reader.
    QTest::newRow("PNG into a FIFO read late, whole")
        << QStringList{"--date", "2026-06-21", "--heures", "--taille", "1600x900"} << exporte
        << "tube.png" << tube << -1 << statut_succes << QByteArray("\x89PNG") << QSize(1600, 900);
    const QStringList fenetre{"--date", "2026-06-21", "--facade", "180"};
    QTest::newRow("year grid of the window as CSV") << fenetre << "--annee-fenetre"
                                                    << "annee.csv" << ancien << -1 << statut_succes
                                                    << QByteArray("mois;0h;1h;2h;3h;") << QSize();
    QTest::newRow("year grid on a full disk keeps the file")
        << fenetre << "--annee-fenetre"
        << "annee.csv" << ancien << 0 << statut_echec_ecriture << QByteArray() << QSize();
    QTest::newRow("report of a window: the year's grid on its second page")
        << fenetre + QStringList{"--obstacle", "150:10:200:10:3"} << exporte << "rapport.pdf"
        << rien << -1 << statut_succes << QByteArray("%PDF-") << QSize();
    QTest::newRow("table on /dev/full")
        << juin << "--tableau"
        << "/dev/full" << rien << -1 << statut_echec_ecriture << QByteArray() << QSize();
}

void TestLigneDeCommande::fichier()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, option);
    QFETCH(QString, nom);
    QFETCH(QString, avant);
    QFETCH(int, limite);
    QFETCH(int, statut);
    QFETCH(QByteArray, debut);
    QFETCH(QSize, taille);

    QTemporaryDir dossier;
    QVERIFY(dossier.isValid());
    const QString chemin = QFileInfo(nom).isAbsolute() ? nom : dossier.filePath(nom);
    const QByteArray contenu("un fichier de l'utilisateur");
    Lecteur_Tube lecteur;
    if (avant == QLatin1String("fichier")) {
        QFile fichier(chemin);
        QVERIFY(fichier.open(QIODevice::WriteOnly));
        QCOMPARE(fichier.write(contenu), contenu.size());
    } else if (avant == QLatin1String("lien")) {
        QVERIFY(QFile::link(QStringLiteral("/dev/null"), chemin));
    } else if (avant == QLatin1String("tube")) {
        QVERIFY(lecteur.ouvrir(chemin));
    }

    const bool tableau = option == QLatin1String("--tableau");
    const Resultat resultat =
        tableau ? lancer(arguments + QStringList{option}, chemin, limite)
                : lancer(arguments + QStringList{option, chemin}, QString(), limite);
    QCOMPARE(resultat.statut, statut);
    // A failure is said once, in the program's own line; a file cut short by the size limit
    // with the system's reason, not as an image the encoder gave up.
    if (statut == statut_echec_ecriture)
        QVERIFY2(resultat.erreurs.count(QLatin1Char('\n')) == 1 &&
                     resultat.erreurs.startsWith(QLatin1String("orvane : ") + option + " : ") &&
                     (limite != 0 || resultat.erreurs.endsWith(QStringLiteral(
                                         " : le fichier dépasserait la taille permise.\n"))),
                 qPrintable(resultat.erreurs));
    const QStringList restes =
        QDir(dossier.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    if (avant == QLatin1String("lien")) {
        QCOMPARE(QFileInfo(chemin).symLinkTarget(), QStringLiteral("/dev/null"));
    } else if (!debut.isNull()) {
        QCOMPARE(restes, QStringList{nom});
        QByteArray ecrits = lecteur.lus();
        if (avant != QLatin1String("tube")) {
            QFile fichier(chemin);
            QVERIFY(fichier.open(QIODevice::ReadOnly));
            ecrits = fichier.readAll();
        } else {
            // Whole: the bytes of the same diagram written to a file.
            const QString ordinaire = dossier.filePath(QStringLiteral("ordinaire.png"));
            QCOMPARE(lancer(arguments + QStringList{option, ordinaire}).statut, statut_succes);
            QFile fichier(ordinaire);
            QVERIFY(fichier.open(QIODevice::ReadOnly));
            QVERIFY2(ecrits == fichier.readAll(), qPrintable(QString::number(ecrits.size())));
        }
        QVERIFY(ecrits.startsWith(debut));
        if (taille.isValid())
            QCOMPARE(QImage::fromData(ecrits).size(), taille);
        if (debut == "%PDF-") {
            QProcess texte;
            texte.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), chemin, "-"});
            QVERIFY(texte.waitForFinished(30000));
            const QString page = QString::fromUtf8(texte.readAllStandardOutput());
            for (const QString &attendu :
                 {QStringLiteral("Latitude : 0°"), QStringLiteral("Longitude : 0°"),
                  QStringLiteral("Fuseau : UTC"), QStringLiteral("Modèle du soleil : simple"),
                  QStringLiteral("21/06/2026"),
                  arguments.contains("--facade")
                      ? QStringLiteral("Soleil sur la fenêtre au fil de l'année 2026")
                      : QStringLiteral("Latitude"),
                  arguments.contains("--masque") ? QStringLiteral("Horizon : horizon_page.txt")
                                                 : QStringLiteral("Diagramme solaire")})
                QVERIFY2(page.contains(attendu), qPrintable(attendu + " not in:\n" + page));
            if (arguments.contains("--projet")) {
                const int projet = page.indexOf(QStringLiteral("Projet : Maison Arnaud"));
                QVERIFY2(projet >= 0 && projet < page.indexOf(QStringLiteral("Adresse : 12 rue")) &&
                             page.indexOf(QStringLiteral("Adresse : 12 rue")) <
                                 page.indexOf(QStringLiteral("Latitude : 0°")),
                         qPrintable(page));
            }
            if (arguments.contains("--facade"))
                for (const QString &hachure :
                     {QStringLiteral("hachures orange : ciel caché à la fenêtre par la façade et"),
                      QStringLiteral("hachures violettes : ciel caché à la fenêtre par les")})
                    QVERIFY2(page.contains(hachure), qPrintable(hachure + " not in:\n" + page));
            if (arguments.contains("cylindrique")) {
                // Read back as words and their boxes: the chart's east and west, 180° apart,
                // stand half the chart's width apart, the chart nearly the page's width
                // (841.89 pt less two margins of 36); the table's row lies under the chart.
                QProcess boites;
                boites.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), chemin, "-"});
                QVERIFY(boites.waitForFinished(30000));
                const QString mots = QString::fromUtf8(boites.readAllStandardOutput());
                const auto boite = [&mots](const QString &mot) {
                    const QRegularExpressionMatch m =
                        QRegularExpression(
                            QStringLiteral("xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" "
                                           "xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">%1<")
                                .arg(QRegularExpression::escape(mot)))
                            .match(mots);
                    return m.hasMatch()
                               ? QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                        QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()))
                               : QRectF();
                };
                const QRectF est = boite(QStringLiteral("EST"));
                const QRectF ouest = boite(QStringLiteral("OUEST"));
                const QRectF ligne = boite(QStringLiteral("21/06/2026"));
                QVERIFY2(!est.isNull() && !ouest.isNull() && !ligne.isNull(), qPrintable(mots));
                QVERIFY2(std::abs(ouest.center().x() - est.center().x()) > 0.45 * (841.89 - 72),
                         qPrintable(mots));
                QVERIFY2(ligne.top() > std::max(est.bottom(), ouest.bottom()), qPrintable(mots));
            }
        }
    } else if (avant == QLatin1String("fichier")) {
        QCOMPARE(restes, QStringList{nom});
        QFile fichier(chemin);
        QVERIFY(fichier.open(QIODevice::ReadOnly));
        QCOMPARE(fichier.readAll(), contenu);
    } else {
        QCOMPARE(restes, QStringList());
    }
}

void TestLigneDeCommande::masqueSoleilPrecis()
{
    // The compass mask of the "compass mask" row (40° from east round the south to west) with
    // the accurate sun: its day is its own (refraction lengthens it), and the sun it hides
    // differs from the simple model's 1.0874 h only by the small difference of the two suns'
    // heights (declination and refraction near 40°: well under a tenth of a degree, so a few
    // minutes at most on a sun climbing about a degree every 6 minutes there).
    const QString boussole = fichier_masque(
        "sud40_precis.txt", "0 0\n89.99 0\n90 40\n135 40\n180 40\n225 40\n270 40\n270.01 0\n");
    const Resultat resultat =
        lancer({"--latitude", "45", "--date", "2026-06-21", "--modele", "precis", "--tableau",
                "--masque", boussole, "--convention", "nord"});
    QCOMPARE(resultat.statut, statut_succes);
    const QStringList lignes = resultat.sortie.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lignes.size(), 2);
    QCOMPARE(lignes.at(0) + '\n', entete_masque);
    const QStringList cellules = lignes.at(1).split(';');
    QCOMPARE(cellules.size(), 6);
    const auto heures = [](const QString &texte) {
        const QStringList hm = texte.split('h');
        return hm.value(0).toInt() + hm.value(1).toInt() / 60.0;
    };
    constexpr double une_minute = 1.0 / 60;
    // Direct and hidden sun share the day between them, to the minute of each rounding.
    QVERIFY2(std::abs(heures(cellules.at(4)) + heures(cellules.at(5)) - heures(cellules.at(3))) <=
                 2 * une_minute,
             qPrintable(lignes.at(1)));
    QVERIFY2(std::abs(heures(cellules.at(5)) - 1.0874) <= 5 * une_minute, qPrintable(lignes.at(1)));
    // Not the simple model's counts: the accurate day is some 10 minutes longer.
    QVERIFY2(heures(cellules.at(3)) > 15.25 + 5 * une_minute, qPrintable(lignes.at(1)));
}

void TestLigneDeCommande::memesOctetsPartout_data()
{
    QTest::addColumn<QString>("fichier"); // the export, its suffix giving the format
    QTest::addColumn<QString>("epoque");  // SOURCE_DATE_EPOCH; null: not set
    // The PDF's creation date as pdfinfo reads it, empty for the midnight (UTC) that starts the
    // day its page names; null: not a PDF.
    QTest::addColumn<QString>("creation");

    QTest::newRow("PNG") << "diagramme.png" << QString() << QString();
    QTest::newRow("JPEG") << "diagramme.jpg" << QString() << QString();
    QTest::newRow("SVG") << "diagramme.svg" << QString() << QString();
    QTest::newRow("PDF on the day it names") << "diagramme.pdf" << QString() << "";
    // 1796699700 s after 1970-01-01T00:00Z: 56 years of 365 days, 14 leap days, 341 days
    // (to 8 December), 3 h and 15 min.
    QTest::newRow("PDF made at SOURCE_DATE_EPOCH") << "diagramme.pdf"
                                                   << "1796699700"
                                                   << "2026-12-08T03:15:00Z";
}

void TestLigneDeCommande::memesOctetsPartout()
{
    QFETCH(QString, fichier);
    QFETCH(QString, epoque);
    QFETCH(QString, creation);

    // Month names, the report's decimals ("1,2 m") and clock times: with the table and the site
    // they write, the same bytes under every setting of the machine, languages installed or not.
    const QStringList options{
        "--latitude",  "48.85",   "--longitude", "2.35",     "--date",       "2026-06-21", "--date",
        "2026-03-20",  "--heure", "legale",      "--fuseau", "Europe/Paris", "--facade",   "225",
        "--casquette", "1.2:0.3", "--taille",    "640x360",  "--tableau"};
    QByteArray attendus;
    for (const QString &langue :
         QStringList{"fr_FR.UTF-8", "C", "C.UTF-8", "en_US.UTF-8", "de_DE.UTF-8"}) {
        QTemporaryDir dossier;
        QVERIFY(dossier.isValid());
        QStringList variables{"LC_ALL=" + langue, "LANG=" + langue};
        if (!epoque.isNull())
            variables << "SOURCE_DATE_EPOCH=" + epoque;
        const Resultat resultat =
            lancer(options + QStringList{"--export", dossier.filePath(fichier),
                                         "--enregistrer-site", dossier.filePath("site.orvane")},
                   dossier.filePath("tableau.csv"), -1, variables);
        QCOMPARE(resultat.statut, statut_succes);
        QByteArray ecrits;
        for (const QString &nom :
             {fichier, QStringLiteral("tableau.csv"), QStringLiteral("site.orvane")}) {
            QFile lu(dossier.filePath(nom));
            QVERIFY(lu.open(QIODevice::ReadOnly));
            ecrits += lu.readAll() + '\0';
        }
        if (!attendus.isNull()) {
            QVERIFY2(ecrits == attendus, qPrintable(langue));
            continue;
        }
        attendus = ecrits;
        if (creation.isNull())
            continue;
        // The reference's page in French typography, its creation date read back, and not a
        // word of a broken cross-reference table on the standard error.
        const auto lire = [&](const char *programme, const QStringList &arguments) {
            QProcess outil;
            outil.start(QString::fromLatin1(programme), arguments);
            outil.waitForFinished(30000);
            return QString::fromUtf8(outil.readAllStandardError() + outil.readAllStandardOutput());
        };
        const QString page = lire("pdftotext", {"-layout", dossier.filePath(fichier), "-"});
        for (const QString &texte :
             QStringList{"Latitude : 48,85°", "Longitude : 2,35°", "Casquette : profondeur 1,2 m"})
            QVERIFY2(page.contains(texte), qPrintable(texte + " not in:\n" + page));
        if (creation.isEmpty()) {
            const QString jour = QRegularExpression(QStringLiteral("Établi le (\\d+ \\S+ \\d{4})"))
                                     .match(page)
                                     .captured(1);
            creation = QLocale(QLocale::French)
                           .toDate(jour, QStringLiteral("d MMMM yyyy"))
                           .toString(Qt::ISODate) +
                       "T00:00:00Z";
        }
        const QString info = lire("pdfinfo", {"-isodates", dossier.filePath(fichier)});
        QVERIFY2(info.startsWith(QLatin1String("Title:")) &&
                     info.contains(QRegularExpression("\nCreationDate: +" + creation + "\n")),
                 qPrintable(creation + " not in:\n" + info));
    }
}

void TestLigneDeCommande::aujourdhui_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("premiere_ligne");

    // The values of 21 June at 45° above; the 31st of January at 45°: 7h16, 16h44.
    QTest::newRow("the chosen date")
        << QStringList{"orvane", "--latitude", "45", "--tableau"} << "2026-06-21;4h18;19h43;15h25";
    QTest::newRow("the year of the months")
        << QStringList{"orvane", "--latitude", "45", "--jour-des-mois", "31", "--tableau"}
        << "2026-01-31;7h16;16h44;9h28";
}

void TestLigneDeCommande::aujourdhui()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, premiere_ligne);

    QString sortie;
    QString erreurs;
    QTextStream flux_sortie(&sortie);
    QTextStream flux_erreurs(&erreurs);
    QCOMPARE(executer_ligne_de_commande(arguments, QDate(2026, 6, 21), flux_sortie, flux_erreurs),
             statut_succes);
    QCOMPARE(sortie.split('\n').value(1), premiere_ligne);
}

void TestLigneDeCommande::site_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("statut");
    QTest::addColumn<QString>("sortie");
    QTest::addColumn<QString>("dans_erreurs");
    // The site `--enregistrer-site` writes to "ecrit.orvane": latitude, mode 2, saved dates.
    QTest::addColumn<double>("latitude_ecrite");
    QTest::addColumn<bool>("mois_ecrit");
    QTest::addColumn<int>("dates_ecrites");

    // "site.orvane": 45.5°, 21 June 2026 with 21 December saved, limit courses. The latitude
    // given replaces its own: the rows of 21 June and 21 December at 45° above.
    QTest::newRow("the site's dates at the latitude given")
        << QStringList{"--site", "site.orvane", "--latitude", "45", "--tableau"} << statut_succes
        << entete + "2026-06-21;4h18;19h43;15h25\n2026-12-21;7h43;16h17;8h34\n"
        << QString() << 0.0 << false << 0;
    QTest::newRow("the site's values with the day of the months, written")
        << QStringList{"--site",  "site.orvane", "--jour-des-mois",    "31",
                       "--annee", "2026",        "--enregistrer-site", "ecrit.orvane"}
        << statut_succes << QString() << QString() << 45.5 << true << 0;
    QTest::newRow("the options given, written as a site")
        << QStringList{"--latitude",         "-12.25",      "--date",
                       "2026-06-21",         "--date",      "2026-03-01",
                       "--enregistrer-site", "ecrit.orvane"}
        << statut_succes << QString() << QString() << -12.25 << false << 1;
    QTest::newRow("a refused site writes nothing")
        << QStringList{"--site", "abime.orvane", "--tableau", "--enregistrer-site", "ecrit.orvane"}
        << statut_usage << QString("")
        << "--site : Le site « abime.orvane » n'a pas pu être ouvert : le fichier est tronqué"
        << 0.0 << false << 0;
    // The compass mask of 40° from east round the south to west, kept in the site: drawn and
    // counted as in the window (the hand computation of the compass mask row above).
    QTest::newRow("a site's kept mask is drawn")
        << QStringList{"--site", "masque.orvane", "--tableau"} << statut_succes
        << "date;lever;coucher;duree;soleil_direct;masque\n"
           "2026-06-21;4h18;19h43;15h25;14h19;1h05\n"
        << QString() << 0.0 << false << 0;
    QTest::newRow("a year before the date edit's range, written")
        << QStringList{"--jour-des-mois",    "1",           "--annee", "1600",
                       "--enregistrer-site", "ecrit.orvane"}
        << statut_succes << QString() << QString() << 0.0 << true << 0;
    QTest::newRow("into a missing folder")
        << QStringList{"--latitude", "45", "--enregistrer-site", "absent/ecrit.orvane"}
        << statut_echec_ecriture << QString("") << "--enregistrer-site : " << 0.0 << false << 0;
    QTest::newRow("a project's texts given over the site's")
        << QStringList{"--site",   "site.orvane", "--projet",           "Maison Arnaud",
                       "--client", "M. Arnaud",   "--enregistrer-site", "ecrit.orvane"}
        << statut_succes << QString() << QString() << 45.5 << false << 1;
    QTest::newRow("a site's kept mask breaking the table's rules")
        << QStringList{"--site", "incomplet.orvane", "--tableau"} << statut_usage << QString("")
        << "--site : les masques conservés : Le tracé n'a pu s'effectuer pour la raison "
           "suivante: Certaines lignes du tableau sont incomplètes."
        << 0.0 << false << 0;
}

void TestLigneDeCommande::site()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, statut);
    QFETCH(QString, sortie);
    QFETCH(QString, dans_erreurs);
    QFETCH(double, latitude_ecrite);
    QFETCH(bool, mois_ecrit);
    QFETCH(int, dates_ecrites);

    QTemporaryDir dossier;
    QVERIFY(dossier.isValid());
    Site site;
    site.diagramme.latitude = 45.5;
    site.diagramme.date_choisie = QDate(2026, 6, 21);
    site.diagramme.dates_enregistrees = {QDate(2026, 12, 21)};
    site.diagramme.limites = true;
    site.masques = {{0.0, 10.0}, {std::nullopt, std::nullopt}};
    site.diagramme.annee = 2026;
    site.diagramme.projet.nom = QStringLiteral("Ancien nom");
    site.diagramme.projet.adresse = QStringLiteral("12 rue des Lilas");
    QCOMPARE(ecrire_site(dossier.filePath("site.orvane"), site), QString());
    QFile abime(dossier.filePath("abime.orvane"));
    QVERIFY(abime.open(QIODevice::WriteOnly));
    abime.write(site_en_json(site).left(100));
    abime.close();
    Site avec_masque;
    avec_masque.diagramme.latitude = 45;
    avec_masque.diagramme.date_choisie = QDate(2026, 6, 21);
    avec_masque.masques = {{-90.0, 40.0}, {-135.0, 40.0}, {-180.0, 40.0},
                           {135.0, 40.0}, {90.0, 40.0},   {std::nullopt, std::nullopt}};
    avec_masque.conserver_masques = true;
    QCOMPARE(ecrire_site(dossier.filePath("masque.orvane"), avec_masque), QString());
    avec_masque.masques[1].hauteur.reset();
    QCOMPARE(ecrire_site(dossier.filePath("incomplet.orvane"), avec_masque), QString());
    placer_sites(arguments, dossier);

    // Run here, on 21 June 2026.
    Resultat resultat;
    QTextStream flux_sortie(&resultat.sortie);
    QTextStream flux_erreurs(&resultat.erreurs);
    QCOMPARE(executer_ligne_de_commande(QStringList{"orvane"} + arguments, QDate(2026, 6, 21),
                                        flux_sortie, flux_erreurs),
             statut);
    if (!sortie.isNull())
        QCOMPARE(resultat.sortie, sortie);
    QVERIFY2(resultat.erreurs.contains(dans_erreurs), qPrintable(resultat.erreurs));
    const QString ecrit = dossier.filePath("ecrit.orvane");
    if (!arguments.contains(ecrit) || statut != statut_succes) {
        QVERIFY(!QFileInfo::exists(ecrit));
        return;
    }
    const Lecture_Site lu = lire_site(ecrit);
    QVERIFY2(lu.site, qPrintable(lu.probleme));
    QCOMPARE(lu.site->diagramme.latitude, latitude_ecrite);
    QCOMPARE(lu.site->diagramme.mode == Mode_Dates::Jour_des_mois, mois_ecrit);
    QCOMPARE(lu.site->diagramme.dates_enregistrees.size(), dates_ecrites);
    // The year of Mode 2: the one given, or the current year as in a fresh window.
    const int annee = arguments.indexOf("--annee");
    QCOMPARE(lu.site->diagramme.annee, annee < 0 ? 2026 : arguments.value(annee + 1).toInt());
    // The project: each text given, or else the site's.
    const auto texte_projet = [&](const char *option, const QString &du_site) {
        const int i = arguments.indexOf(QLatin1String(option));
        return i >= 0 ? arguments.value(i + 1) : arguments.contains("--site") ? du_site : QString();
    };
    const Projet &projet = lu.site->diagramme.projet;
    QCOMPARE(projet.nom, texte_projet("--projet", site.diagramme.projet.nom));
    QCOMPARE(projet.adresse, texte_projet("--adresse", site.diagramme.projet.adresse));
    QCOMPARE(projet.client, texte_projet("--client", site.diagramme.projet.client));
    QCOMPARE(projet.auteur, texte_projet("--auteur", site.diagramme.projet.auteur));
    // The site's mask table as typed, or a fresh window's.
    QCOMPARE(lu.site->masques, arguments.contains("--site")
                                   ? site.masques
                                   : QVector<Ligne_Masque_Saisie>(lignes_masques_initiales));
}

void TestLigneDeCommande::siteEcritRelu_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("entete_attendu");
    // Options that draw and write the same, when not empty.
    QTest::addColumn<QStringList>("pareil");

    // Heights and azimuths of many digits, so that a row rounded on its way through the file
    // would show.
    const QString horizon = fichier_masque(
        "profil.json", "{\"outputs\": {\"horizon_profile\": [{\"A\": -180, \"H_hor\": 3.1},"
                       "{\"A\": -97.5, \"H_hor\": 12.345678901234567}, {\"A\": -7.5, "
                       "\"H_hor\": 41.7}, {\"A\": 0, \"H_hor\": 33.33333333333333}, {\"A\": "
                       "82.5, \"H_hor\": 0.1}, {\"A\": 180, \"H_hor\": 3.1}]}}");
    QTest::newRow("a horizon drawn and kept")
        << QStringList{"--latitude", "45", "--date", "2026-06-21", "--masque", horizon}
        << entete_masque << QStringList();
    QTest::newRow("a window and a wall drawn and kept")
        << QStringList{"--latitude",    "45",    "--date",      "2026-06-21",
                       "--facade",      "225",   "--casquette", "1.2:1.5:0.5:2",
                       "--joue-gauche", "0.5:1", "--obstacle",  "200:20:250:15:8"}
        << QStringLiteral("date;lever;coucher;duree;soleil_direct;masque;soleil_fenetre\n")
        << QStringList();
    QTest::newRow("an opening and a custom EN 17037 drawn and kept")
        << QStringList{"--latitude",    "48.85",
                       "--date",        "2026-03-21",
                       "--facade",      "160",
                       "--baie",        "1.2:1.4:0.9:0.3",
                       "--exposition",  "en17037:2026-03-01",
                       "--hauteur-min", "10"}
        << QStringLiteral("date;lever;coucher;duree;soleil_fenetre\n") << QStringList();
    // The window unticks the hour lines with the limit courses.
    QTest::newRow("hour lines without limit courses: neither")
        << QStringList{"--site", "heures_seules.orvane"} << entete
        << QStringList{"--site", "sans_trace.orvane"};
}

void TestLigneDeCommande::siteEcritRelu()
{
    // What one run draws and writes, the site it writes draws and writes again, byte for byte.
    QFETCH(QStringList, arguments);
    QFETCH(QString, entete_attendu);
    QFETCH(QStringList, pareil);

    QTemporaryDir dossier;
    QVERIFY(dossier.isValid());
    Site site;
    site.diagramme.latitude = 45;
    site.diagramme.date_choisie = QDate(2026, 6, 21);
    site.diagramme.annee = 2026;
    site.diagramme.heures = true;
    site.masques.resize(lignes_masques_initiales);
    QCOMPARE(ecrire_site(dossier.filePath("heures_seules.orvane"), site), QString());
    site.diagramme.heures = false;
    QCOMPARE(ecrire_site(dossier.filePath("sans_trace.orvane"), site), QString());
    placer_sites(arguments, dossier);
    placer_sites(pareil, dossier);

    struct Ecrit {
        QString tableau;
        QByteArray image;
        QByteArray site;
    };
    const auto executer = [&dossier](const QStringList &options, const QString &nom) {
        const QString image = dossier.filePath(nom + ".png");
        const QString site = dossier.filePath(nom + ".orvane");
        Ecrit ecrit;
        QString erreurs;
        QTextStream flux_sortie(&ecrit.tableau);
        QTextStream flux_erreurs(&erreurs);
        const int statut = executer_ligne_de_commande(
            QStringList{"orvane", "--tableau", "--export", image, "--enregistrer-site", site} +
                options,
            QDate(2026, 6, 21), flux_sortie, flux_erreurs);
        if (statut != statut_succes)
            ecrit.tableau = erreurs;
        QFile fichier_image(image);
        QFile fichier_site(site);
        if (fichier_image.open(QIODevice::ReadOnly) && fichier_site.open(QIODevice::ReadOnly)) {
            ecrit.image = fichier_image.readAll();
            ecrit.site = fichier_site.readAll();
        }
        return ecrit;
    };

    const Ecrit premier = executer(arguments, "premier");
    QVERIFY2(premier.tableau.startsWith(entete_attendu), qPrintable(premier.tableau));
    QVERIFY(!premier.image.isEmpty());
    const Ecrit relu = executer({"--site", dossier.filePath("premier.orvane")}, "relu");
    QCOMPARE(relu.tableau, premier.tableau);
    QVERIFY(relu.image == premier.image);
    QCOMPARE(relu.site, premier.site);
    if (!pareil.isEmpty()) {
        const Ecrit autre = executer(pareil, "autre");
        QVERIFY(autre.image == premier.image);
        QCOMPARE(autre.site, premier.site);
    }
}

void TestLigneDeCommande::lot_data()
{
    // The batch file, "@" standing for the folder it is in.
    QTest::addColumn<QString>("lot");
    QTest::addColumn<int>("statut");
    // The files left beside the batch, and the one-by-one command lines that write each of them
    // ("a.png" drawn by "--export @/a.png" added to them, a table by "--tableau").
    QTest::addColumn<QStringList>("ecrits");
    QTest::addColumn<QList<QStringList>>("uns_par_uns");
    // A text of the standard error; empty: nothing there, no progress on a pipe either.
    QTest::addColumn<QString>("erreur");
    // Links made beside the batch first, "name>target".
    QTest::addColumn<QStringList>("liens");

    const QString entete_lot = QStringLiteral("export;tableau;latitude;date;heures;modele;heure;"
                                              "fuseau;taille\n");
    QTest::newRow("each line as drawn alone")
        << entete_lot + "@/a.png;@/a.csv;45;2026-06-21 2026-12-21;oui;;;;640x360\n"
                        "@/b.svg;;-30;2026-03-01;non;precis;legale;Europe/Paris;\n"
                        "\n"
                        ";@/c.csv;\"60\";2026-01-01;;;;;\n"
        << statut_succes << QStringList{"a.csv", "a.png", "b.svg", "c.csv"}
        << QList<QStringList>{{"--latitude", "45", "--date", "2026-06-21", "--date", "2026-12-21",
                               "--heures", "--taille", "640x360"},
                              {"--latitude", "45", "--date", "2026-06-21", "--date", "2026-12-21",
                               "--heures", "--taille", "640x360"},
                              {"--latitude", "-30", "--date", "2026-03-01", "--modele", "precis",
                               "--heure", "legale", "--fuseau", "Europe/Paris"},
                              {"--latitude", "60", "--date", "2026-01-01"}}
        << QString() << QStringList();
    // Lines 1 and 3 share a worker's scene on two cores or fewer.
    QTest::newRow("a scene drawn over: each PNG as drawn alone")
        << entete_lot + "@/a.png;;45;2026-06-21 2026-12-21;oui;precis;legale;Europe/Paris;"
                        "320x180\n@/b.png;;-30;2026-03-01;non;;;;400x200\n"
                        "@/c.png;;60;2026-01-01 2026-06-21;oui;;;;320x180\n"
        << statut_succes << QStringList{"a.png", "b.png", "c.png"}
        << QList<QStringList>{{"--latitude", "45", "--date", "2026-06-21", "--date", "2026-12-21",
                               "--heures", "--modele", "precis", "--heure", "legale", "--fuseau",
                               "Europe/Paris", "--taille", "320x180"},
                              {"--latitude", "-30", "--date", "2026-03-01", "--taille", "400x200"},
                              {"--latitude", "60", "--date", "2026-01-01", "--date", "2026-06-21",
                               "--heures", "--taille", "320x180"}}
        << QString() << QStringList();
    QTest::newRow("each PDF as drawn alone")
        << entete_lot + "@/a.pdf;;45;2026-06-21;oui;;;;\n@/b.pdf;;-30;2026-12-21;;precis;;;\n"
        << statut_succes << QStringList{"a.pdf", "b.pdf"}
        << QList<QStringList>{{"--latitude", "45", "--date", "2026-06-21", "--heures"},
                              {"--latitude", "-30", "--date", "2026-12-21", "--modele", "precis"}}
        << QString() << QStringList();
    QTest::newRow("a bad line writes nothing")
        << entete_lot + "@/a.png;;45;2026-06-21;;;;;\n@/b.png;;95;2026-06-21;;;;;\n"
        << statut_usage << QStringList() << QList<QStringList>()
        << "ligne 3, colonne latitude : --latitude : 95" << QStringList();
    // A name that turns out to be a folder only when written (a link to one).
    QTest::newRow("a failed line lets the others go on")
        << entete_lot + "@/a.png;;45;2026-06-21;;;;;320x160\n"
                        "@/b.png;;45;2026-06-21;;;;;320x160\n"
                        "@/c.png;;45;2026-06-21;;;;;320x160\n"
        << statut_echec_ecriture << QStringList{"a.png", "c.png"} << QList<QStringList>()
        << "ligne 3 : --export : « @/b.png » n'a pas pu être écrit" << QStringList{"b.png>."};
    // Every refused line said, each on its own line: a folder not made yet, a bad latitude.
    QTest::newRow("a missing folder and a bad line, both said before anything is written")
        << entete_lot + "@/absent/a.png;;45;2026-06-21;;;;;\n@/b.png;;45;2026-06-21;;;;;\n"
                        "@/c.png;;95;2026-06-21;;;;;\n"
        << statut_usage << QStringList() << QList<QStringList>()
        << "ligne 2, colonne export : le dossier « @/absent » n'existe pas\norvane : --lot : "
           "« @/lot.csv », ligne 4, colonne latitude : --latitude : 95"
        << QStringList();
    QString vingt_cinq = entete_lot;
    for (int i = 0; i < 25; ++i)
        vingt_cinq += QStringLiteral("@/%1.png;;95;2026-06-21;;;;;\n").arg(i);
    QTest::newRow("25 bad lines: the first 20 said, then how many more")
        << vingt_cinq << statut_usage << QStringList() << QList<QStringList>()
        << "ligne 21, colonne latitude : --latitude : 95 est hors de l'intervalle -90 à 90\n"
           "orvane : --lot : « @/lot.csv » : et 5 autres lignes refusées, 25 en tout\nEssayez"
        << QStringList();
    QTest::newRow("Oui and NON as a spreadsheet writes them")
        << entete_lot + "@/a.png;;45;2026-06-21;Oui;;;;320x160\n"
                        "@/b.png;;45;2026-06-21;NON;;;;320x160\n"
        << statut_succes << QStringList{"a.png", "b.png"}
        << QList<QStringList>{{"--latitude", "45", "--date", "2026-06-21", "--heures", "--taille",
                               "320x160"},
                              {"--latitude", "45", "--date", "2026-06-21", "--taille", "320x160"}}
        << QString() << QStringList();
    QTest::newRow("commas for separators")
        << "export,latitude,date\n@/a.png,45,2026-06-21\n"
        << statut_usage << QStringList() << QList<QStringList>()
        << "ligne 1 : le séparateur des colonnes est « ; », pas la virgule" << QStringList();
    QTest::newRow("tabs for separators")
        << "export\tlatitude\tdate\n@/a.png\t45\t2026-06-21\n"
        << statut_usage << QStringList() << QList<QStringList>()
        << "ligne 1 : le séparateur des colonnes est « ; », pas la tabulation" << QStringList();
    QTest::newRow("a file named twice")
        << entete_lot + "@/a.png;;45;;;;;;\n@/./a.png;;45;;;;;;\n"
        << statut_usage << QStringList() << QList<QStringList>()
        << "ligne 3, colonne export : « @/./a.png » est déjà écrit par la ligne 2" << QStringList();
    QTest::newRow("spaces around the cells")
        << "export; latitude; date\n @/a.png ; 45 ;2026-06-21\n"
        << statut_succes << QStringList{"a.png"}
        << QList<QStringList>{{"--latitude", "45", "--date", "2026-06-21"}} << QString()
        << QStringList();
    // Another name of one file: a link to it, not yet written, or a link to its folder.
    QTest::newRow("a link to another line's output")
        << entete_lot + "@/nord.png;;45;;;;;;\n@/sud.png;;45;;;;;;\n"
        << statut_usage << QStringList() << QList<QStringList>()
        << "ligne 3, colonne export : « @/sud.png » est déjà écrit par la ligne 2"
        << QStringList{"sud.png>nord.png"};
    QTest::newRow("a link to the folder")
        << entete_lot + "@/a.png;;45;;;;;;\n@/lien/a.png;;45;;;;;;\n"
        << statut_usage << QStringList() << QList<QStringList>()
        << "ligne 3, colonne export : « @/lien/a.png » est déjà écrit par la ligne 2"
        << QStringList{"lien>."};
    // What the batch reads: itself, and a line's horizon (here a link to a compass file).
    QTest::newRow("a table over the batch file")
        << entete_lot + "@/a.png;@/lot.csv;45;;;;;;\n"
        << statut_usage << QStringList() << QList<QStringList>()
        << "ligne 2, colonne tableau : « @/lot.csv » est le fichier du lot lui-même"
        << QStringList();
    QTest::newRow("a table over another line's horizon")
        << "export;tableau;masque;convention\n@/a.png;@/h.csv;;\n@/b.png;;@/h.csv;nord\n"
        << statut_usage << QStringList{"h.csv"} << QList<QStringList>()
        << "ligne 2, colonne tableau : « @/h.csv » est lu par la ligne 3 (colonne masque)"
        << QStringList{"h.csv>" + fichier_masque("horizon.txt", "0 5\n90 5\n180 5\n270 5\n")};
    // Marks that are no part of a name, shown escaped; a character cut at the end of the file.
    QTest::newRow("a byte order mark inside a cell")
        << entete_lot + QChar(0xfeff) + "@/a.png;;45;;;;;;\n"
        << statut_usage << QStringList() << QList<QStringList>()
        << "ligne 2, colonne export : « \\uFEFF@/a.png » : caractère "
           "invisible U+FEFF refusé"
        << QStringList();
    QTest::newRow("a control character inside a cell, escaped")
        << entete_lot + "@/a.png\x1b[2J;;45;;;;;;\n"
        << statut_usage << QStringList() << QList<QStringList>()
        << "« @/a.png\\x1B[2J » : caractère invisible U+001B refusé" << QStringList();
    QTest::newRow("truncated UTF-8")
        << entete_lot + "@/a.png;;45;;;;;;\n@/\u00e9.png;;45;;;;;;<C3>" << statut_usage
        << QStringList() << QList<QStringList>() << "» n'est pas en UTF-8" << QStringList();
}

void TestLigneDeCommande::lot()
{
    QFETCH(QString, lot);
    QFETCH(int, statut);
    QFETCH(QStringList, ecrits);
    QFETCH(QList<QStringList>, uns_par_uns);
    QFETCH(QString, erreur);
    QFETCH(QStringList, liens);

    QTemporaryDir dossier;
    QTemporaryDir references;
    QVERIFY(dossier.isValid() && references.isValid());
    for (const QString &lien : liens)
        QVERIFY(QFile::link(lien.section('>', 1), dossier.filePath(lien.section('>', 0, 0))));
    const QString fichier_lot = dossier.filePath("lot.csv");
    QFile ecriture(fichier_lot);
    QVERIFY(ecriture.open(QIODevice::WriteOnly));
    // "<C3>": a lone lead byte.
    ecriture.write(lot.replace(QLatin1Char('@'), dossier.path()).toUtf8().replace("<C3>", "\xC3"));
    ecriture.close();

    const Resultat resultat = lancer({"--lot", fichier_lot});
    QCOMPARE(resultat.statut, statut);
    if (erreur.isEmpty())
        QCOMPARE(resultat.erreurs, QString());
    else
        QVERIFY2(resultat.erreurs.contains(erreur.replace(QLatin1Char('@'), dossier.path())),
                 qPrintable(resultat.erreurs));
    QCOMPARE(QDir(dossier.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{ecrits} << "lot.csv");
    for (int i = 0; i < uns_par_uns.size(); ++i) {
        const QString reference = references.filePath(ecrits[i]);
        const bool tableau = reference.endsWith(QLatin1String(".csv"));
        QCOMPARE(lancer(uns_par_uns[i] + (tableau ? QStringList{"--tableau"}
                                                  : QStringList{"--export", reference}),
                        tableau ? reference : QString())
                     .statut,
                 statut_succes);
        QFile attendu(reference);
        QFile obtenu(dossier.filePath(ecrits[i]));
        QVERIFY(attendu.open(QIODevice::ReadOnly) && obtenu.open(QIODevice::ReadOnly));
        QVERIFY2(obtenu.readAll() == attendu.readAll(), qPrintable(ecrits[i]));
    }
}

QTEST_MAIN(TestLigneDeCommande)
#include "tst_cli.moc"
