// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// Times the two halves of a frame while the latitude slider is dragged, on the heaviest Mode 1
// diagram (the current date, twelve saved dates, the limit courses and the hour lines) in a
// 1920 × 1080 view:
//  - rebuild: one `course_Soleil`, the diagram and the output table drawn again (at the same
//    latitude, so that every label is taken back);
//  - paint: the whole scene, background included, painted into a 1920 × 1080 image with the
//    view's antialiasing.
// The same again with a kept mask of 500 points, whose outline each rebuild validates and draws
// and whose sun taken away it counts for every row, and the whole frame of a latitude change
// with that mask: the change, its rebuild and the paint together.
// And the frame as the user sees it, through the real window: the latitude slider moved by one
// degree, then the view's viewport repainted at once into the window (`repaint()`), with and
// without the mask; and that repaint alone, with nothing changed.
// Between two rebuilds the event loop runs, untimed, as it does between two slider moves: the
// scene polishes its new items and the view repaints, so each rebuild starts from the state
// that a user's rebuild starts from.
//
// The same slider frame in the polar stereographic projection and on the cylindrical chart, and
// at twice the scale: the same window, its 1920 × 1080 view painted on 3840 × 2160 device
// pixels. The toolkit takes its scale from QT_SCALE_FACTOR once per process, before the
// application object, so that window lives in a second process of this program, started with
// QT_SCALE_FACTOR=2 before the toolkit: it paints a frame when this one asks and answers with
// its time, and the two never run at once.
//
// A fast drag: the rebuild at a latitude never drawn before, in the default mode and in
// "Précis" + "Heure légale".
//
// The sky photo: the latitude slider frame with a photo under the grid (the goal: at most 1.2 ×
// the frame without it), the photo's layer reprojected for a 1920 × 1080 view on the disc and
// on the chart (50 ms), and the horizon traced from a 12-megapixel photo (1 s).
//
// The exports of that diagram as the window writes them, each rendered, encoded and written
// to a file: a 1920 × 1080 PNG, the SVG, and the PDF report page with its 13-row table.
//
// Each figure is the median of 21 repetitions of at least 0.1 s each. Run it on one core:
// `QT_QPA_PLATFORM=offscreen taskset -c 0 ./build/bench/orvane_bench`.
#include "app/fenetre_principale.h"
#include "diagram/scene.h"
#include "export/pages.h"
#include "masks/ensoleillement.h"
#include "photo/horizon_photo.h"
#include "photo/photo.h"
#include "site/site.h"
#include "trace/grille_fenetre.h"

#include <benchmark/benchmark.h>

#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSlider>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QStyleHints>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

const QSize taille_vue(1920, 1080);

// The window as a user leaves it: shown with a 1920 × 1080 view, latitude 45, twelve saved
// dates, another current date, "Délimiter la course" and "Afficher les heures" ticked.
std::unique_ptr<Fenetre_Principale> preparer_fenetre(bool precis = false, bool legale = false)
{
    auto fenetre = std::make_unique<Fenetre_Principale>();
    auto *vue = fenetre->findChild<QGraphicsView *>(QStringLiteral("graphicsView"));
    fenetre->show();
    if (!QTest::qWaitForWindowExposed(fenetre.get()))
        return nullptr;
    for (int essai = 0; essai < 20 && vue->size() != taille_vue; ++essai) {
        fenetre->resize(fenetre->size() + taille_vue - vue->size());
        QTest::qWait(5);
    }
    if (vue->size() != taille_vue)
        return nullptr;

    fenetre->findChild<QDoubleSpinBox *>(QStringLiteral("latitude"))->setValue(45);
    auto *date = fenetre->findChild<QDateEdit *>(QStringLiteral("Date"));
    auto *enregistrer =
        fenetre->findChild<QPushButton *>(QStringLiteral("Bouton_Enregistrer_Date"));
    for (int mois = 1; mois <= 12; ++mois) {
        date->setDate(QDate(2021, mois, 10));
        enregistrer->click();
    }
    date->setDate(QDate(2021, 6, 21));
    fenetre->findChild<QCheckBox *>(QStringLiteral("check_limite"))->click();
    fenetre->findChild<QCheckBox *>(QStringLiteral("check_heures"))->click();
    if (legale) {
        auto *fuseau = fenetre->findChild<QComboBox *>(QStringLiteral("combo_fuseau"));
        fuseau->setCurrentIndex(fuseau->findText(QStringLiteral("Europe/Paris")));
        fenetre->findChild<QComboBox *>(QStringLiteral("combo_echelle"))->setCurrentIndex(1);
    }
    if (precis)
        fenetre->findChild<QComboBox *>(QStringLiteral("combo_modele"))->setCurrentIndex(1);
    QCoreApplication::processEvents();
    return fenetre;
}

// The mask kept through every rebuild: 500 points clockwise from north, 0.72° apart (0 down to
// -179.28, then 180 down to 0.72), each at a random height of 0 to 40° (fixed seed), a
// jagged skyline of 500 radial steps, the costliest outline to fill. Typed in through the
// table's model as its editors write it, drawn once, then "Conserver les masques" ticked.
bool ajouter_masque(Fenetre_Principale &fenetre)
{
    fenetre.findChild<QSpinBox *>(QStringLiteral("spinBox_nbLignes_tab"))->setValue(494);
    fenetre.findChild<QPushButton *>(QStringLiteral("Bouton_ajoutLignes"))->click();
    QAbstractItemModel *modele =
        fenetre.findChild<QTableView *>(QStringLiteral("tableView_masques"))->model();
    if (modele->rowCount() != 500)
        return false;
    QRandomGenerator alea(7);
    for (int k = 0; k < 500; ++k) {
        const double azimut = k < 250 ? -0.72 * k : 180.0 - 0.72 * (k - 250);
        modele->setData(modele->index(k, 0), azimut);
        modele->setData(modele->index(k, 1), alea.bounded(400) / 10.0);
    }
    fenetre.findChild<QPushButton *>(QStringLiteral("bouton_masques"))->click();
    auto *conserver = fenetre.findChild<QCheckBox *>(QStringLiteral("check_conserver_masques"));
    conserver->click();
    QCoreApplication::processEvents();
    return conserver->isChecked();
}

Fenetre_Principale *fenetre_banc = nullptr;
Fenetre_Principale *fenetre_masque = nullptr;
// The same diagram in the other modes, on the clock of Europe/Paris: the simple sun, then the
// accurate one, each without and with the mask.
Fenetre_Principale *fenetre_legale = nullptr;
Fenetre_Principale *fenetre_legale_masque = nullptr;
Fenetre_Principale *fenetre_precise = nullptr;
Fenetre_Principale *fenetre_precise_masque = nullptr;
Fenetre_Principale *fenetre_stereographique = nullptr;
Fenetre_Principale *fenetre_photo = nullptr;
Fenetre_Principale *fenetre_cylindrique = nullptr;

// A 4000 × 3000 fisheye photo: a blue sky disc of radius 1400 over a dark skyline whose height
// wanders with the bearing, in a black surround.
QImage photo_banc()
{
    QImage image(4000, 3000, QImage::Format_RGB32);
    image.fill(Qt::black);
    for (int y = 0; y < image.height(); ++y) {
        auto *ligne = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const double dx = x + 0.5 - 2000.0, dy = y + 0.5 - 1500.0;
            const double r = std::hypot(dx, dy);
            if (r > 1400.0)
                continue;
            const double obstacle =
                1400.0 * (1.0 - (20.0 + 15.0 * std::sin(std::atan2(dx, dy) * 5.0)) / 90.0);
            ligne[x] =
                r < obstacle ? qRgb(110, 160, 235 - static_cast<int>(r / 40.0)) : qRgb(60, 70, 40);
        }
    }
    return image;
}

Calibration_Photo calibration_banc()
{
    Calibration_Photo c;
    c.centre = QPointF(2000.0, 1500.0);
    c.rayon = 1400.0;
    return c;
}

// The window of the slider frame opened from a site that holds the same inputs and a photo.
std::unique_ptr<Fenetre_Principale> preparer_fenetre_photo(const QString &dossier)
{
    const QString image = dossier + QStringLiteral("/ciel.jpg");
    if (!photo_banc().save(image, "JPEG", 90))
        return nullptr;
    // A fresh window, sized as the others, so that opening the site asks nothing.
    auto fenetre = std::make_unique<Fenetre_Principale>();
    auto *vue = fenetre->findChild<QGraphicsView *>(QStringLiteral("graphicsView"));
    fenetre->show();
    if (!QTest::qWaitForWindowExposed(fenetre.get()))
        return nullptr;
    for (int essai = 0; essai < 20 && vue->size() != taille_vue; ++essai) {
        fenetre->resize(fenetre->size() + taille_vue - vue->size());
        QTest::qWait(5);
    }
    if (vue->size() != taille_vue)
        return nullptr;
    Site site;
    Description_Diagramme &d = site.diagramme;
    d.latitude = 45.0;
    d.date_choisie = QDate(2021, 6, 21);
    for (int mois = 1; mois <= 12; ++mois)
        d.dates_enregistrees.push_back(QDate(2021, mois, 10));
    d.annee = 2021;
    d.limites = true;
    d.heures = true;
    d.photo.fichier = image;
    d.photo.calibration = calibration_banc();
    site.masques.resize(lignes_masques_initiales);
    const QString chemin = dossier + QStringLiteral("/photo.orvane");
    if (!ecrire_site(chemin, site).isEmpty())
        return nullptr;
    fenetre->ouvrir_site_differe(chemin);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    return fenetre;
}

// The window drawn in another projection, as "OK" in the display options leaves it.
void projeter(Fenetre_Principale &fenetre, Type_Projection type)
{
    auto *scene = qobject_cast<Scene *>(
        fenetre.findChild<QGraphicsView *>(QStringLiteral("graphicsView"))->scene());
    scene->options.valider(10, 10, 70, true, type);
    QMetaObject::invokeMethod(&fenetre, "course_Soleil", Qt::DirectConnection);
    QCoreApplication::processEvents();
}

QGraphicsView *vue_de(Fenetre_Principale *fenetre)
{
    return fenetre->findChild<QGraphicsView *>(QStringLiteral("graphicsView"));
}

void reconstruire(benchmark::State &etat, Fenetre_Principale *fenetre)
{
    for (auto _ : etat) {
        etat.PauseTiming();
        QCoreApplication::processEvents();
        etat.ResumeTiming();
        QMetaObject::invokeMethod(fenetre, "course_Soleil", Qt::DirectConnection);
    }
    etat.counters["items"] = static_cast<double>(vue_de(fenetre)->scene()->items().size());
}

void peindre(QGraphicsView *vue, QImage &image)
{
    QGraphicsScene *scene = vue->scene();
    QPainter peintre(&image);
    peintre.setRenderHints(vue->renderHints());
    scene->render(&peintre, QRectF(image.rect()), scene->sceneRect());
}

void repeindre(benchmark::State &etat, Fenetre_Principale *fenetre)
{
    QCoreApplication::processEvents();
    QGraphicsView *vue = vue_de(fenetre);
    QImage image(taille_vue, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : etat)
        peindre(vue, image);
}

void reconstruction(benchmark::State &etat)
{
    reconstruire(etat, fenetre_banc);
}

void peinture(benchmark::State &etat)
{
    repeindre(etat, fenetre_banc);
}

void reconstruction_masque(benchmark::State &etat)
{
    reconstruire(etat, fenetre_masque);
}

void peinture_masque(benchmark::State &etat)
{
    repeindre(etat, fenetre_masque);
}

// A whole frame: the latitude moved by one degree (its slot rebuilds, outline included), then
// the full paint.
void latitude_masque(benchmark::State &etat)
{
    auto *latitude = fenetre_masque->findChild<QDoubleSpinBox *>(QStringLiteral("latitude"));
    QGraphicsView *vue = vue_de(fenetre_masque);
    QImage image(taille_vue, QImage::Format_ARGB32_Premultiplied);
    bool aller = true;
    for (auto _ : etat) {
        etat.PauseTiming();
        QCoreApplication::processEvents();
        etat.ResumeTiming();
        latitude->setValue(aller ? 46 : 45);
        aller = !aller;
        peindre(vue, image);
    }
}

// A whole frame through the window: the latitude slider moved by one degree (its slot sets the
// spin box, which rebuilds), then the view's viewport painted at once, as the next screen
// refresh would paint it.
// One frame, kept out of line so that a profiler can count it alone
// (valgrind --tool=callgrind --toggle-collect='*image_apres_curseur*').
Q_NEVER_INLINE void image_apres_curseur(QSlider *curseur, QWidget *ecran, int latitude)
{
    curseur->setValue(latitude);
    ecran->repaint();
}

void curseur_latitude(benchmark::State &etat, Fenetre_Principale *fenetre)
{
    auto *curseur = fenetre->findChild<QSlider *>(QStringLiteral("slider_latitude"));
    QWidget *ecran = vue_de(fenetre)->viewport();
    bool aller = true;
    for (auto _ : etat) {
        etat.PauseTiming();
        QCoreApplication::processEvents();
        etat.ResumeTiming();
        image_apres_curseur(curseur, ecran, aller ? 46 : 45);
        aller = !aller;
    }
}

// The view's viewport repainted with nothing changed: the paint alone of that frame.
void image_seule(benchmark::State &etat)
{
    QWidget *ecran = vue_de(fenetre_banc)->viewport();
    for (auto _ : etat) {
        etat.PauseTiming();
        QCoreApplication::processEvents();
        etat.ResumeTiming();
        ecran->repaint();
    }
}

void image_latitude(benchmark::State &etat)
{
    curseur_latitude(etat, fenetre_banc);
}

void image_latitude_masque(benchmark::State &etat)
{
    curseur_latitude(etat, fenetre_masque);
}

// The process that paints at twice the scale, and the pipes to it: this one writes the number
// of frames to paint, it answers with their time in nanoseconds.
struct Echelle_Double {
    pid_t pid = -1;
    int ordres = -1;
    int reponses = -1;
    bool pret = false;
};
Echelle_Double echelle_double;

bool ecrire_tout(int fd, const void *donnees, std::size_t taille)
{
    const char *p = static_cast<const char *>(donnees);
    while (taille > 0) {
        const ssize_t n = ::write(fd, p, taille);
        if (n <= 0)
            return false;
        p += n;
        taille -= static_cast<std::size_t>(n);
    }
    return true;
}

bool lire_tout(int fd, void *donnees, std::size_t taille)
{
    char *p = static_cast<char *>(donnees);
    while (taille > 0) {
        const ssize_t n = ::read(fd, p, taille);
        if (n <= 0)
            return false;
        p += n;
        taille -= static_cast<std::size_t>(n);
    }
    return true;
}

// The second process: the heaviest diagram's window at twice the scale, its slider frames
// painted on demand, each timed as `curseur_latitude` times it.
int servir_echelle_double(int ordres, int reponses, int argc, char *argv[])
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication application(argc, argv);
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    const std::unique_ptr<Fenetre_Principale> fenetre = preparer_fenetre();
    QWidget *ecran = fenetre ? vue_de(fenetre.get())->viewport() : nullptr;
    const char pret = ecran && ecran->devicePixelRatioF() == 2.0 ? 1 : 0;
    if (!ecrire_tout(reponses, &pret, 1) || !pret)
        return 1;
    auto *curseur = fenetre->findChild<QSlider *>(QStringLiteral("slider_latitude"));
    bool aller = true;
    qint32 nombre = 0;
    while (lire_tout(ordres, &nombre, sizeof nombre)) {
        qint64 duree = 0;
        for (qint32 i = 0; i < nombre; ++i) {
            QCoreApplication::processEvents();
            QElapsedTimer horloge;
            horloge.start();
            image_apres_curseur(curseur, ecran, aller ? 46 : 45);
            duree += horloge.nsecsElapsed();
            aller = !aller;
        }
        if (!ecrire_tout(reponses, &duree, sizeof duree))
            return 1;
    }
    return 0;
}

// Starts the second process, before this one starts the toolkit. Returns false in the second
// process once it is done.
bool lancer_echelle_double(int argc, char *argv[], int &code)
{
    int ordres[2];
    int reponses[2];
    if (::pipe(ordres) != 0)
        return true;
    if (::pipe(reponses) != 0) {
        ::close(ordres[0]);
        ::close(ordres[1]);
        return true;
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(ordres[1]);
        ::close(reponses[0]);
        code = servir_echelle_double(ordres[0], reponses[1], argc, argv);
        return false;
    }
    ::close(ordres[0]);
    ::close(reponses[1]);
    if (pid < 0) {
        ::close(ordres[1]);
        ::close(reponses[0]);
        return true;
    }
    echelle_double = {pid, ordres[1], reponses[0], false};
    return true;
}

void arreter_echelle_double()
{
    if (echelle_double.pid < 0)
        return;
    ::close(echelle_double.ordres);
    ::close(echelle_double.reponses);
    ::waitpid(echelle_double.pid, nullptr, 0);
    echelle_double = {};
}

void image_latitude_double(benchmark::State &etat)
{
    if (!echelle_double.pret) {
        etat.SkipWithError("the window at twice the scale could not be prepared");
        return;
    }
    for (auto _ : etat) {
        const qint32 une = 1;
        qint64 duree = 0;
        if (!ecrire_tout(echelle_double.ordres, &une, sizeof une) ||
            !lire_tout(echelle_double.reponses, &duree, sizeof duree)) {
            etat.SkipWithError("the process at twice the scale stopped");
            break;
        }
        etat.SetIterationTime(static_cast<double>(duree) / 1e9);
    }
}

void image_latitude_photo(benchmark::State &etat)
{
    curseur_latitude(etat, fenetre_photo);
}

// The layer as the scene keeps it, made anew each time: the calibration turns by a hair
// between two, the photo's reduced copy stays.
void calque(benchmark::State &etat, const Projection &projection)
{
    Photo_Diagramme photo;
    photo.image = std::make_shared<const QImage>(photo_banc());
    photo.calibration = calibration_banc();
    Calque_Photo calque;
    for (auto _ : etat) {
        photo.calibration.nord = photo.calibration.nord == 0.0 ? 1e-6 : 0.0;
        benchmark::DoNotOptimize(calque.calque(photo, projection, 1.0).constBits());
    }
}

// The disc and the chart of a 1920 × 1080 view: 940 across, 1620 × 940.
void calque_disque(benchmark::State &etat)
{
    calque(etat, Projection::polaire(Type_Projection::Equidistante, 940));
}

void calque_cylindre(benchmark::State &etat)
{
    calque(etat, Projection::cylindrique(QSizeF(1620, 940), 45.0, 70.0));
}

void trace_horizon(benchmark::State &etat)
{
    const QImage photo = photo_banc();
    const Calibration_Photo c = calibration_banc();
    for (auto _ : etat)
        benchmark::DoNotOptimize(tracer_horizon(photo, c, seuil_otsu(photo, c)));
}

void image_latitude_stereographique(benchmark::State &etat)
{
    curseur_latitude(etat, fenetre_stereographique);
}

void image_latitude_cylindrique(benchmark::State &etat)
{
    curseur_latitude(etat, fenetre_cylindrique);
}

void image_latitude_legale(benchmark::State &etat)
{
    curseur_latitude(etat, fenetre_legale);
}

void image_latitude_legale_masque(benchmark::State &etat)
{
    curseur_latitude(etat, fenetre_legale_masque);
}

void image_latitude_precise(benchmark::State &etat)
{
    curseur_latitude(etat, fenetre_precise);
}

void image_latitude_precise_masque(benchmark::State &etat)
{
    curseur_latitude(etat, fenetre_precise_masque);
}

// A fast drag: each rebuild at a latitude never drawn before, the next hundredth of a degree
// from 40° to 50° (a thousand of them, more than any memory of the accurate sun keeps of a
// latitude), the latitude box set as the slider sets it; the rebuild alone, without the paint.
// The latitude is set back afterwards, as the other cases expect it.
int latitudes_glissees = 0;

void glisser_latitude(benchmark::State &etat, Fenetre_Principale *fenetre)
{
    auto *latitude = fenetre->findChild<QDoubleSpinBox *>(QStringLiteral("latitude"));
    const double avant = latitude->value();
    for (auto _ : etat) {
        etat.PauseTiming();
        QCoreApplication::processEvents();
        etat.ResumeTiming();
        latitude->setValue(40.0 + (latitudes_glissees++ % 1000) * 0.01);
    }
    latitude->setValue(avant);
    QCoreApplication::processEvents();
}

void glissement(benchmark::State &etat)
{
    glisser_latitude(etat, fenetre_banc);
}

void glissement_precis(benchmark::State &etat)
{
    glisser_latitude(etat, fenetre_precise);
}

// A held arrow key on the latitude slider in the heaviest mode ("Précis", "Heure légale"): 90
// presses posted at the toolkit's auto-repeat interval, the event loop running between them;
// the time from the last press to the end of the last repaint of the view.
void touche_tenue(benchmark::State &etat)
{
    auto *curseur = fenetre_precise->findChild<QSlider *>(QStringLiteral("slider_latitude"));
    QWidget *ecran = vue_de(fenetre_precise)->viewport();
    const int intervalle =
        1000 / std::max(1, QGuiApplication::styleHints()->keyboardAutoRepeatRate());
    QElapsedTimer horloge;
    qint64 derniere_image = 0;
    // The end of each repaint of the view.
    struct Fin_Peinture : QObject {
        QElapsedTimer *horloge;
        qint64 *fin;
        bool dedans = false;
        bool eventFilter(QObject *objet, QEvent *evenement) override
        {
            if (dedans || evenement->type() != QEvent::Paint)
                return false;
            dedans = true;
            QCoreApplication::sendEvent(objet, evenement);
            dedans = false;
            *fin = horloge->elapsed();
            return true;
        }
    } fin_peinture;
    fin_peinture.horloge = &horloge;
    fin_peinture.fin = &derniere_image;
    ecran->installEventFilter(&fin_peinture);
    bool monter = true;
    for (auto _ : etat) {
        curseur->setValue(monter ? -45 : 45);
        QCoreApplication::processEvents();
        horloge.start();
        qint64 derniere_touche = 0;
        for (int i = 0; i < 90; ++i) {
            while (horloge.elapsed() < i * intervalle)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
            QCoreApplication::postEvent(curseur, new QKeyEvent(QEvent::KeyPress,
                                                               monter ? Qt::Key_Up : Qt::Key_Down,
                                                               Qt::NoModifier, QString(), true));
            derniere_touche = horloge.elapsed();
        }
        // The loop runs on long enough for anything left behind to show.
        while (horloge.elapsed() < derniere_touche + 2000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        etat.SetIterationTime(std::max<qint64>(0, derniere_image - derniere_touche) / 1000.0);
        monter = !monter;
    }
    ecran->removeEventFilter(&fin_peinture);
}

// The direct sun and the hours behind a jagged 500-point mask (fixed seed) for the thirteen
// dates of a full table: what a rebuild adds when the table shows them.
void soleil_masque(benchmark::State &etat)
{
    std::vector<QPointF> points;
    QRandomGenerator alea(7);
    for (int k = 0; k < 500; ++k)
        points.emplace_back(k < 250 ? -0.72 * k : 180 - 0.72 * (k - 250), alea.bounded(400) / 10.0);
    const Soleil soleil;
    for (auto _ : etat)
        for (int jour = 15; jour <= 365; jour += 27)
            benchmark::DoNotOptimize(ensoleillement(soleil, jour, 45.0, points));
}

// EN 17037's verdict with its 49-day scan, in "Précis", behind the same 500-point mask and ten
// walls, an opening with its reveal: what the window dialog's thread computes on each change.
void verdict_exposition(benchmark::State &etat)
{
    Description_Diagramme d;
    d.latitude = 48.85;
    d.longitude = 2.35;
    d.fuseau = "Europe/Paris";
    d.echelle = Echelle_Heures::Heure_legale;
    d.modele = Modele_Soleil::precis;
    d.date_choisie = QDate(2026, 3, 21);
    QRandomGenerator alea(7);
    for (int k = 0; k < 500; ++k)
        d.masque << QPointF(k < 250 ? -0.72 * k : 180 - 0.72 * (k - 250), alea.bounded(400) / 10.0);
    d.jonction = Jonction_Masque::Ligne;
    d.ombrage.facade.active = true;
    d.ombrage.facade.orientation = 160.0;
    d.ombrage.baie = {true, 1.2, 1.4, 0.9, 0.3};
    for (int k = 0; k < 10; ++k)
        d.ombrage.obstacles.push_back(
            {100.0 + 16.0 * k, 15.0 + k, 110.0 + 16.0 * k, 16.0 + k, 2.0 + 0.5 * k});
    appliquer_prereglage(Type_Regle::EN17037, d.exposition, d.ombrage);
    const Etude_Exposition etude = etude_exposition(d);
    for (auto _ : etat)
        benchmark::DoNotOptimize(evaluer_exposition(etude));
}

// The year's grid of sun on a south window, in Précis on the clock, behind a jagged 500-point
// horizon (fixed seed) and ten walls: 365 days counted minute by minute. Goal: 100 ms.
Description_Diagramme description_grille()
{
    Description_Diagramme d;
    d.latitude = 45.0;
    d.longitude = 5.0;
    d.date_choisie = QDate(2026, 6, 21);
    d.fuseau = "Europe/Paris";
    d.modele = Modele_Soleil::precis;
    d.echelle = Echelle_Heures::Heure_legale;
    QRandomGenerator alea(7);
    for (int k = 0; k < 500; ++k)
        d.masque.append(
            QPointF(k < 250 ? -0.72 * k : 180 - 0.72 * (k - 250), alea.bounded(200) / 10.0));
    d.jonction = Jonction_Masque::Ligne;
    d.ombrage.facade.active = true;
    d.ombrage.facade.orientation = 180.0;
    d.ombrage.facade.casquette.active = true;
    for (int i = 0; i < 10; ++i)
        d.ombrage.obstacles.push_back(
            {100.0 + 16.0 * i, 20.0 + i, 110.0 + 16.0 * i, 22.0 + i, 2.0 + 0.5 * i});
    return d;
}

void grille_annee_precise(benchmark::State &etat)
{
    Description_Diagramme d = description_grille();
    // Every grid at a latitude of its own, so that the sky keeps none of its courses.
    int tour = 0;
    for (auto _ : etat) {
        d.latitude = 45.0 + 1e-6 * (++tour % 2);
        benchmark::DoNotOptimize(grille_description(d));
    }
}

// The same grid again and again with the window turned: the sky keeps the year's courses, and
// only the window's test is run again.
void grille_annee_fenetre_tournee(benchmark::State &etat)
{
    Description_Diagramme d = description_grille();
    int tour = 0;
    for (auto _ : etat) {
        d.ombrage.facade.orientation = 170.0 + 20.0 * (++tour % 2);
        benchmark::DoNotOptimize(grille_description(d));
    }
}

// The page's caption and table as the window shows them.
Legende_page legende_de(Fenetre_Principale *fenetre)
{
    Legende_page legende;
    legende.latitude = QStringLiteral("Latitude: 45°");
    const auto *table = fenetre->findChild<QTableWidget *>(QStringLiteral("tableau_sorties"));
    for (int c = 0; c < table->columnCount(); ++c)
        legende.entetes << table->horizontalHeaderItem(c)->text();
    for (int l = 0; l < table->rowCount(); ++l) {
        QStringList cellules;
        for (int c = 0; c < table->columnCount(); ++c)
            cellules << (table->item(l, c) ? table->item(l, c)->text() : QString());
        legende.lignes << cellules;
        legende.dates << qMakePair(cellules.value(0), QColor(Qt::red));
    }
    return legende;
}

void exporter(benchmark::State &etat, const char *nom)
{
    QCoreApplication::processEvents();
    QTemporaryDir dossier;
    const QString fichier = dossier.filePath(QString::fromLatin1(nom));
    QGraphicsScene *scene = vue_de(fenetre_banc)->scene();
    const Legende_page legende = legende_de(fenetre_banc);
    for (auto _ : etat) {
        if (!exporter_diagramme(*scene, taille_vue, legende, fichier)) {
            etat.SkipWithError("the export failed");
            break;
        }
    }
    etat.counters["bytes"] = static_cast<double>(QFileInfo(fichier).size());
}

void export_png(benchmark::State &etat)
{
    exporter(etat, "diagramme.png");
}

void export_svg(benchmark::State &etat)
{
    exporter(etat, "diagramme.svg");
}

void export_pdf(benchmark::State &etat)
{
    exporter(etat, "diagramme.pdf");
}

} // namespace

BENCHMARK(soleil_masque)
    ->Name("direct sun behind a 500-point mask, 13 days")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(verdict_exposition)
    ->Name("EN 17037 verdict, 49 days, Precis, 500-point mask, ten walls")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(grille_annee_precise)
    ->Name("year grid of sun on the window, Precis, 500-point horizon, ten walls")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(grille_annee_fenetre_tournee)
    ->Name("year grid again, the window turned, Precis, 500-point horizon, ten walls")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(reconstruction)->Name("rebuild (course_Soleil)")->Unit(benchmark::kMillisecond);
BENCHMARK(peinture)->Name("paint 1920x1080 antialiased")->Unit(benchmark::kMillisecond);
BENCHMARK(reconstruction_masque)
    ->Name("rebuild with a kept 500-point mask")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(peinture_masque)
    ->Name("paint 1920x1080 antialiased, with the mask")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(latitude_masque)
    ->Name("latitude change + rebuild + paint, with the mask")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(image_seule)->Name("repainted view, nothing changed")->Unit(benchmark::kMillisecond);
BENCHMARK(image_latitude)->Name("latitude slider to repainted view")->Unit(benchmark::kMillisecond);
BENCHMARK(image_latitude_masque)
    ->Name("latitude slider to repainted view, with the mask")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(image_latitude_legale)
    ->Name("latitude slider, Simple + Heure legale")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(image_latitude_legale_masque)
    ->Name("latitude slider, Simple + Heure legale, with the mask")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(image_latitude_precise)
    ->Name("latitude slider, Precis + Heure legale")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(image_latitude_precise_masque)
    ->Name("latitude slider, Precis + Heure legale, with the mask")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(image_latitude_double)
    ->Name("latitude slider to repainted view, twice the scale")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(image_latitude_stereographique)
    ->Name("latitude slider to repainted view, stereographic")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(image_latitude_cylindrique)
    ->Name("latitude slider to repainted view, cylindrical chart")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(glissement)->Name("rebuild at a new latitude (fast drag)")->Unit(benchmark::kMillisecond);
BENCHMARK(glissement_precis)
    ->Name("rebuild at a new latitude (fast drag), Precis + Heure legale")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(touche_tenue)
    ->Name("held key, 90 presses: last press to last repaint, Precis + Heure legale")
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->Unit(benchmark::kMillisecond);

BENCHMARK(image_latitude_photo)
    ->Name("latitude slider to repainted view, sky photo under the grid")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(calque_disque)->Name("sky photo layer, 940 disc")->Unit(benchmark::kMillisecond);
BENCHMARK(calque_cylindre)->Name("sky photo layer, 1620x940 chart")->Unit(benchmark::kMillisecond);
BENCHMARK(trace_horizon)->Name("horizon traced from 12 Mpx")->Unit(benchmark::kMillisecond);
BENCHMARK(export_png)->Name("export PNG 1920x1080")->Unit(benchmark::kMillisecond);
BENCHMARK(export_svg)->Name("export SVG")->Unit(benchmark::kMillisecond);
BENCHMARK(export_pdf)->Name("export PDF report page")->Unit(benchmark::kMillisecond);

int main(int argc, char *argv[])
{
    int code = 0;
    if (!lancer_echelle_double(argc, argv, code))
        return code;
    QApplication application(argc, argv);
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    const std::unique_ptr<Fenetre_Principale> fenetre = preparer_fenetre();
    if (!fenetre) {
        std::fprintf(stderr, "the view could not be sized to 1920 x 1080\n");
        return 1;
    }
    fenetre_banc = fenetre.get();
    const std::unique_ptr<Fenetre_Principale> avec_masque = preparer_fenetre();
    if (!avec_masque || !ajouter_masque(*avec_masque)) {
        std::fprintf(stderr, "the window with the kept mask could not be prepared\n");
        return 1;
    }
    fenetre_masque = avec_masque.get();
    const std::unique_ptr<Fenetre_Principale> legale = preparer_fenetre(false, true);
    const std::unique_ptr<Fenetre_Principale> legale_masque = preparer_fenetre(false, true);
    const std::unique_ptr<Fenetre_Principale> precise = preparer_fenetre(true, true);
    const std::unique_ptr<Fenetre_Principale> precise_masque = preparer_fenetre(true, true);
    if (!legale || !legale_masque || !ajouter_masque(*legale_masque) || !precise ||
        !precise_masque || !ajouter_masque(*precise_masque)) {
        std::fprintf(stderr, "the windows of the other modes could not be prepared\n");
        return 1;
    }
    fenetre_legale = legale.get();
    fenetre_legale_masque = legale_masque.get();
    fenetre_precise = precise.get();
    fenetre_precise_masque = precise_masque.get();
    const std::unique_ptr<Fenetre_Principale> stereographique = preparer_fenetre();
    const std::unique_ptr<Fenetre_Principale> cylindrique = preparer_fenetre();
    if (!stereographique || !cylindrique) {
        std::fprintf(stderr, "the windows of the other projections could not be prepared\n");
        return 1;
    }
    projeter(*stereographique, Type_Projection::Stereographique);
    projeter(*cylindrique, Type_Projection::Cylindrique);
    fenetre_stereographique = stereographique.get();
    QTemporaryDir dossier_photo;
    const std::unique_ptr<Fenetre_Principale> avec_photo =
        preparer_fenetre_photo(dossier_photo.path());
    if (!avec_photo) {
        std::fprintf(stderr, "the window with the sky photo could not be prepared\n");
        return 1;
    }
    fenetre_photo = avec_photo.get();
    fenetre_cylindrique = cylindrique.get();
    char pret = 0;
    echelle_double.pret =
        echelle_double.pid > 0 && lire_tout(echelle_double.reponses, &pret, 1) && pret == 1;

    // Medians of 21 repetitions of at least 0.1 s each, unless the command line says otherwise.
    // The repetitions of all the cases are run in a random order, so that a machine whose speed
    // drifts over the run weighs on every case alike: the goals compare cases with each other.
    std::vector<char *> arguments(argv, argv + argc);
    char repetitions[] = "--benchmark_repetitions=21";
    char agregats[] = "--benchmark_report_aggregates_only=true";
    char duree[] = "--benchmark_min_time=0.1";
    char melange[] = "--benchmark_enable_random_interleaving=true";
    const auto donne = [&](const char *option) {
        for (int i = 1; i < argc; ++i)
            if (QByteArray(argv[i]).startsWith(option))
                return true;
        return false;
    };
    if (!donne("--benchmark_repetitions")) {
        arguments.push_back(repetitions);
        arguments.push_back(agregats);
    }
    if (!donne("--benchmark_min_time"))
        arguments.push_back(duree);
    if (!donne("--benchmark_enable_random_interleaving"))
        arguments.push_back(melange);
    int nombre = static_cast<int>(arguments.size());
    benchmark::Initialize(&nombre, arguments.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    arreter_echelle_double();
    return 0;
}
