// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// The built program in a real X server: it must come up as a maximised window titled "Orvane"
// that is not blank, and end with code 0 when the window manager asks it to close. Run by
// tests/sous_xvfb.sh, which brings the X server and a window manager.
#include <QtTest>

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QSet>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <functional>

namespace {

constexpr int delaiApparitionMs = 30000;
constexpr int delaiFermetureMs = 10000;

QString texteDePropriete(Display *affichage, Window fenetre, const char *nom)
{
    const Atom propriete = XInternAtom(affichage, nom, False);
    Atom type = None;
    int format = 0;
    unsigned long nombre = 0, reste = 0;
    unsigned char *donnees = nullptr;
    QString texte;
    if (XGetWindowProperty(affichage, fenetre, propriete, 0, 1024, False, AnyPropertyType, &type,
                           &format, &nombre, &reste, &donnees) == Success &&
        donnees && format == 8)
        texte = QString::fromUtf8(reinterpret_cast<const char *>(donnees), int(nombre));
    if (donnees)
        XFree(donnees);
    return texte;
}

QList<Atom> atomesDePropriete(Display *affichage, Window fenetre, const char *nom)
{
    const Atom propriete = XInternAtom(affichage, nom, False);
    Atom type = None;
    int format = 0;
    unsigned long nombre = 0, reste = 0;
    unsigned char *donnees = nullptr;
    QList<Atom> atomes;
    if (XGetWindowProperty(affichage, fenetre, propriete, 0, 64, False, XA_ATOM, &type, &format,
                           &nombre, &reste, &donnees) == Success &&
        donnees && format == 32) {
        const auto *liste = reinterpret_cast<const Atom *>(donnees);
        for (unsigned long i = 0; i < nombre; ++i)
            atomes << liste[i];
    }
    if (donnees)
        XFree(donnees);
    return atomes;
}

// The first viewable window below `racine` whose title is `titre`.
Window chercherFenetre(Display *affichage, Window racine, const QString &titre)
{
    Window r = 0, parent = 0, *enfants = nullptr;
    unsigned int nombre = 0;
    if (!XQueryTree(affichage, racine, &r, &parent, &enfants, &nombre))
        return 0;
    Window trouvee = 0;
    for (unsigned int i = 0; i < nombre && !trouvee; ++i) {
        XWindowAttributes attributs;
        if (XGetWindowAttributes(affichage, enfants[i], &attributs) &&
            attributs.map_state == IsViewable &&
            texteDePropriete(affichage, enfants[i], "_NET_WM_NAME") == titre)
            trouvee = enfants[i];
        else
            trouvee = chercherFenetre(affichage, enfants[i], titre);
    }
    if (enfants)
        XFree(enfants);
    return trouvee;
}

bool attendre(const std::function<bool()> &condition, int delaiMs)
{
    QElapsedTimer chrono;
    chrono.start();
    while (!condition()) {
        if (chrono.elapsed() > delaiMs)
            return false;
        QTest::qWait(100);
    }
    return true;
}

} // namespace

class TestFenetreReelle : public QObject
{
    Q_OBJECT

private slots:
    void demarreMaximiseeEtSeFerme();
};

void TestFenetreReelle::demarreMaximiseeEtSeFerme()
{
    Display *affichage = XOpenDisplay(nullptr);
    QVERIFY2(affichage, "no X display: run this test through sous_xvfb.sh");
    const Window racine = DefaultRootWindow(affichage);

    QProcess programme;
    programme.setProcessChannelMode(QProcess::ForwardedChannels);
    programme.start(QStringLiteral(ORVANE_EXECUTABLE), QStringList());
    QVERIFY2(programme.waitForStarted(), qPrintable(programme.errorString()));

    Window fenetre = 0;
    QVERIFY2(attendre(
                 [&] {
                     fenetre = chercherFenetre(affichage, racine, QStringLiteral("Orvane"));
                     return fenetre != 0;
                 },
                 delaiApparitionMs),
             "no window titled \"Orvane\" came up");

    // Maximised: the window asked for both maximised states, and the window manager gave it
    // the whole width of the screen and nearly all of its height (its title bar takes the rest).
    const Atom horizontal = XInternAtom(affichage, "_NET_WM_STATE_MAXIMIZED_HORZ", False);
    const Atom vertical = XInternAtom(affichage, "_NET_WM_STATE_MAXIMIZED_VERT", False);
    const int largeurEcran = DisplayWidth(affichage, DefaultScreen(affichage));
    const int hauteurEcran = DisplayHeight(affichage, DefaultScreen(affichage));
    XWindowAttributes attributs{};
    const bool maximisee = attendre(
        [&] {
            const auto etat = atomesDePropriete(affichage, fenetre, "_NET_WM_STATE");
            XGetWindowAttributes(affichage, fenetre, &attributs);
            return etat.contains(horizontal) && etat.contains(vertical) &&
                   attributs.width == largeurEcran && attributs.height > hauteurEcran - 80;
        },
        delaiApparitionMs);
    QVERIFY2(maximisee, qPrintable(QStringLiteral("window %1 x %2 on a %3 x %4 screen")
                                       .arg(attributs.width)
                                       .arg(attributs.height)
                                       .arg(largeurEcran)
                                       .arg(hauteurEcran)));

    // Let the program paint, then take the screenshot.
    QTest::qWait(1500);
    const QImage capture = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
    QVERIFY(!capture.isNull());
    const QString chemin = QDir::current().absoluteFilePath(QStringLiteral("capture_orvane.png"));
    QVERIFY(capture.save(chemin));
    qInfo("screenshot: %s", qPrintable(chemin));

    // Not blank: a real window shows many colours (widgets, texts, pictures), an empty one a
    // handful.
    QSet<QRgb> couleurs;
    for (int y = 0; y < capture.height(); y += 2)
        for (int x = 0; x < capture.width(); x += 2)
            couleurs.insert(capture.pixel(x, y));
    QVERIFY2(couleurs.size() > 50, qPrintable(QStringLiteral("only %1 colours on the screen")
                                                  .arg(couleurs.size())));

    // Close it as the window manager's close button does.
    XEvent evenement{};
    evenement.xclient.type = ClientMessage;
    evenement.xclient.window = fenetre;
    evenement.xclient.message_type = XInternAtom(affichage, "WM_PROTOCOLS", False);
    evenement.xclient.format = 32;
    evenement.xclient.data.l[0] = long(XInternAtom(affichage, "WM_DELETE_WINDOW", False));
    evenement.xclient.data.l[1] = CurrentTime;
    XSendEvent(affichage, fenetre, False, NoEventMask, &evenement);
    XFlush(affichage);
    const bool finie = programme.waitForFinished(delaiFermetureMs);
    if (!finie)
        programme.kill();
    XCloseDisplay(affichage);
    QVERIFY2(finie, "the program did not end when its window was closed");
    QCOMPARE(programme.exitStatus(), QProcess::NormalExit);
    QCOMPARE(programme.exitCode(), 0);
}

QTEST_MAIN(TestFenetreReelle)
#include "tst_fenetre_reelle.moc"
