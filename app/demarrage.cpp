// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "app/demarrage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

void preparer_attributs_application()
{
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
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
