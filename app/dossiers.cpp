// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "app/dossiers.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace
{

QString cle(Genre_Fichier genre)
{
    switch (genre) {
    case Genre_Fichier::Site:
        return QStringLiteral("dossiers/site");
    case Genre_Fichier::Horizon:
        return QStringLiteral("dossiers/horizon");
    case Genre_Fichier::Export:
        break;
    }
    return QStringLiteral("dossiers/export");
}

QSettings reglages()
{
    return QSettings(QStringLiteral("Orvane"), QStringLiteral("orvane"));
}

} // namespace

QString dossier_retenu(Genre_Fichier genre)
{
    const QString dossier = reglages().value(cle(genre)).toString();
    return !dossier.isEmpty() && QFileInfo(dossier).isDir() ? dossier : QString();
}

void retenir_dossier(Genre_Fichier genre, const QString &fichier)
{
    reglages().setValue(cle(genre), QFileInfo(fichier).absolutePath());
}

QString dans_dossier_retenu(Genre_Fichier genre, const QString &nom)
{
    const QString dossier = dossier_retenu(genre);
    return dossier.isEmpty() ? nom : QDir(dossier).filePath(nom);
}
