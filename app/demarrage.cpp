// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "app/demarrage.h"

#include "site/site.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>
#include <QWidget>

#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace
{

// Milliseconds since the process started, from its start time in the system's process table
// (clock ticks since boot) and the boot clock; negative when they cannot be read.
double depuis_lancement_ms()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1.0;
    const QByteArray ligne = stat.readAll();
    // The command name may hold spaces: the fields are counted after its closing parenthesis;
    // the start time is field 22, the 20th after it.
    const int fin_nom = ligne.lastIndexOf(')');
    if (fin_nom < 0)
        return -1.0;
    const QList<QByteArray> champs = ligne.mid(fin_nom + 2).split(' ');
    if (champs.size() < 20)
        return -1.0;
    bool lu = false;
    const double depart_ticks = champs.at(19).toDouble(&lu);
    const long ticks_par_seconde = sysconf(_SC_CLK_TCK);
    timespec maintenant{};
    if (!lu || ticks_par_seconde <= 0 || clock_gettime(CLOCK_BOOTTIME, &maintenant) != 0)
        return -1.0;
    return (maintenant.tv_sec + maintenant.tv_nsec * 1e-9 - depart_ticks / ticks_par_seconde) *
           1000.0;
}

double temps_processeur_ms()
{
    timespec cpu{};
    if (clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu) != 0)
        return -1.0;
    return cpu.tv_sec * 1000.0 + cpu.tv_nsec * 1e-6;
}

} // namespace

QString site_en_argument(const QStringList &arguments)
{
    if (arguments.size() != 2 || arguments.at(1).startsWith(QLatin1Char('-')))
        return QString();
    const QString &chemin = arguments.at(1);
    return QFileInfo(chemin).suffix().compare(suffixe_site, Qt::CaseInsensitive) == 0 ? chemin
                                                                                      : QString();
}

void preparer_attributs_application()
{
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
}

namespace
{
const char *const integration_opengl = "QT_XCB_GL_INTEGRATION";
}

bool eviter_integration_opengl()
{
    if (qEnvironmentVariableIsSet(integration_opengl))
        return false;
    return qputenv(integration_opengl, "none");
}

void retirer_integration_opengl(bool posee)
{
    if (posee)
        qunsetenv(integration_opengl);
}

QTranslator *installer_traductions_boite_a_outils(QCoreApplication &application)
{
    // French whatever the system's language: the program itself speaks only French.
    auto *traducteur = new QTranslator(&application);
    if (!traducteur->load(QLocale(QLocale::French, QLocale::France), QStringLiteral("qtbase"),
                          QStringLiteral("_"),
                          QLibraryInfo::location(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(traducteur)) {
        delete traducteur;
        return nullptr;
    }
    return traducteur;
}

Mesure_demarrage::Mesure_demarrage() : actif(qEnvironmentVariableIsSet("ORVANE_MESURE_DEMARRAGE"))
{
    if (!actif)
        return;
    depuis_main.start();
    avant_main = depuis_lancement_ms();
}

void Mesure_demarrage::etape(const char *nom)
{
    if (actif)
        etapes.append({nom, depuis_main.nsecsElapsed() * 1e-6});
}

void Mesure_demarrage::attendre_premiere_image(QWidget *vue)
{
    if (actif && vue)
        vue->installEventFilter(this);
}

bool Mesure_demarrage::eventFilter(QObject *objet, QEvent *evenement)
{
    if (evenement->type() == QEvent::Paint) {
        objet->removeEventFilter(this);
        // The paint runs after this filter, and the frame reaches the screen when the event
        // that caused it is done: dated by the next turn of the event loop.
        QTimer::singleShot(0, this, [this] { rapporter(); });
    }
    return false;
}

void Mesure_demarrage::rapporter()
{
    etape("première image peinte");
    const double cpu = temps_processeur_ms();
    std::fprintf(stderr, "Démarrage (ms depuis l'entrée dans main) :\n");
    double avant = 0.0;
    for (const auto &[nom, ms] : qAsConst(etapes)) {
        std::fprintf(stderr, "  %-36s %8.1f  (+%.1f)\n", nom, ms, ms - avant);
        avant = ms;
    }
    if (avant_main >= 0.0)
        std::fprintf(stderr, "  lancement du processus -> main : %.1f ms (à 10 ms près)\n",
                     avant_main);
    std::fprintf(stderr, "Première image : %.1f ms après le lancement, %.1f ms de processeur\n",
                 (avant_main >= 0.0 ? avant_main : 0.0) + avant, cpu);
    std::fflush(stderr);
    QCoreApplication::quit();
}
