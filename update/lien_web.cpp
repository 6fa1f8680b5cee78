// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "update/lien_web.h"

#include <QDesktopServices>
#include <QLatin1String>

namespace
{

Ouverture_lien &ouverture_courante()
{
    static Ouverture_lien ouverture;
    return ouverture;
}

bool adresse_web(const QUrl &adresse)
{
    // QUrl keeps the scheme in lower case, so "HTTPS://..." passes too. A user name or a
    // password before the host ("https://www.orvane.example@elsewhere/") only serves to
    // disguise where the address leads.
    const QString schema = adresse.scheme();
    return adresse.isValid() && !adresse.host().isEmpty() && adresse.userInfo().isEmpty() &&
           (schema == QLatin1String("https") || schema == QLatin1String("http"));
}

} // namespace

bool ouvrir_lien_web(const QUrl &adresse)
{
    if (!adresse_web(adresse))
        return false;
    const Ouverture_lien &ouverture = ouverture_courante();
    return ouverture ? ouverture(adresse) : QDesktopServices::openUrl(adresse);
}

void remplacer_ouverture_lien(Ouverture_lien ouverture)
{
    ouverture_courante() = std::move(ouverture);
}
