// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_UPDATE_LIEN_WEB_H
#define ORVANE_UPDATE_LIEN_WEB_H

// Hand-off of web addresses (the download page of an update, the donation page) to the
// desktop's browser.

#include <QUrl>

#include <functional>

// Asks the desktop to open `adresse` in the browser and returns whether it took the address.
// Only http and https addresses with a host and without a user name or password are handed on: the
// download address comes from the network, and the desktop would just as well open a local file
// (file:) or run a script (javascript:). Any other address is not handed on and counts as a failure
// to open.
bool ouvrir_lien_web(const QUrl &adresse);

// What `ouvrir_lien_web` hands an accepted address to: `QDesktopServices::openUrl` until it is
// replaced. A test puts its own function here to see the address and to make the opening fail;
// an empty function puts `QDesktopServices::openUrl` back.
using Ouverture_lien = std::function<bool(const QUrl &)>;
void remplacer_ouverture_lien(Ouverture_lien ouverture);

#endif
