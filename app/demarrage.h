// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_APP_DEMARRAGE_H
#define ORVANE_APP_DEMARRAGE_H

// What the program asks of the toolkit around the construction of its application object.

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

#include <utility>

class QCoreApplication;
class QTranslator;
class QWidget;

// The site file of `arguments` (the program's name first) when they are that file alone, named
// with the site suffix (`orvane paris.orvane`, as a file manager starts the program): the
// window opens it. Empty for anything else, which is the command line's.
QString site_en_argument(const QStringList &arguments);

// Attributes that the toolkit reads when the application object is built, so call this first:
// high-DPI scaling (a screen at 150 or 200 % shows the window at the same physical size, in
// logical pixels) and pixmaps at the screen's density.
void preparer_attributs_application();

// Before the application object: the window is painted by the raster engine alone, so the X11
// platform is asked (QT_XCB_GL_INTEGRATION=none) not to load its OpenGL integration and the GL
// client libraries, a third of the start-up's processor time. A value the user set is kept.
// Returns whether the variable was set here.
bool eviter_integration_opengl();

// Once the first window is shown (the platform reads the variable when it makes its first
// window): takes the variable set by
// `eviter_integration_opengl` (when `posee`) back out of the environment, so that the programs
// started from this one (the web browser) do not inherit it.
void retirer_integration_opengl(bool posee);

// Loads the toolkit's own texts in French (the file dialog, standard buttons, context menus)
// from its catalogue "qtbase_fr" in the toolkit's translations folder, before any window is
// built. Returns the installed translator, owned by `application`, or nullptr when the
// catalogue cannot be read: the toolkit then keeps its English texts, and nothing is reported.
QTranslator *installer_traductions_boite_a_outils(QCoreApplication &application);

// The start-up timed, when the environment variable ORVANE_MESURE_DEMARRAGE is set: each step
// of `main` is dated from the process's start (read from the system, to 10 ms) and from the
// entry into `main`, and once the window's first frame is painted the steps, the process's
// processor time and the total are written to the error output, and the program quits. The
// update check, which starts 500 ms after the window, is not counted.
class Mesure_demarrage : public QObject
{
    Q_OBJECT

public:
    Mesure_demarrage();
    // Whether the variable asks for the measure.
    bool active() const { return actif; }
    // Dates the end of step `nom`.
    void etape(const char *nom);
    // Waits for the first paint of `vue` (the diagram's view, painted last), then reports and
    // quits the event loop.
    void attendre_premiere_image(QWidget *vue);

protected:
    bool eventFilter(QObject *objet, QEvent *evenement) override;

private:
    void rapporter();

    bool actif = false;
    QElapsedTimer depuis_main;
    // Milliseconds from the process's start to the entry into `main`; negative if unknown.
    double avant_main = -1.0;
    QVector<std::pair<const char *, double>> etapes;
};

#endif
