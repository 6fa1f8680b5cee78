// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "app/feuille_de_style.h"

#include <QApplication>
#include <QFile>

bool installer_feuille_de_style(QApplication &application, const QString &chemin)
{
    QFile feuille(chemin);
    if (!feuille.open(QIODevice::ReadOnly))
        return false;
    QByteArray octets = feuille.readAll();
    const int fin = octets.indexOf('\0');
    if (fin >= 0)
        octets.truncate(fin);
    application.setStyleSheet(QString::fromLatin1(octets));
    return true;
}
