// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_APP_DEMARRAGE_H
#define ORVANE_APP_DEMARRAGE_H

// What the program asks of the toolkit around the construction of its application object.

class QCoreApplication;
class QTranslator;

// Attributes that the toolkit reads when the application object is built, so call this first:
// high-DPI scaling (a screen at 150 or 200 % shows the window at the same physical size, in
// logical pixels) and pixmaps at the screen's density.
void preparer_attributs_application();

// Loads the toolkit's own texts in French (the file dialog, standard buttons, context menus)
// from its catalogue "qtbase_fr" in the toolkit's translations folder, before any window is
// built. Returns the installed translator, owned by `application`, or nullptr when the
// catalogue cannot be read: the toolkit then keeps its English texts, and nothing is reported.
QTranslator *installer_traductions_boite_a_outils(QCoreApplication &application);

#endif
