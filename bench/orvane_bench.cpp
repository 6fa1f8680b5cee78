// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// Times the two halves of a frame while the latitude slider is dragged, on the heaviest Mode 1
// diagram (the current date, twelve saved dates, the limit courses and the hour lines) in a
// 1920 × 1080 view:
//  - rebuild: one `course_Soleil`, the diagram and the output table drawn again;
//  - paint: the whole scene, background included, painted into a 1920 × 1080 image with the
//    view's antialiasing.
// Between two rebuilds the event loop runs, untimed, as it does between two slider moves: the
// scene polishes its new items and the view repaints, so each rebuild starts from the state
// that a user's rebuild starts from.
//
// Each figure is the median of 21 repetitions of at least 0.1 s each. Run it on one core:
// `QT_QPA_PLATFORM=offscreen taskset -c 0 ./build/bench/orvane_bench`.
#include "app/fenetre_principale.h"

#include <benchmark/benchmark.h>

#include <QtTest>

#include <QCheckBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QImage>
#include <QPainter>
#include <QPushButton>

#include <cstdio>
#include <memory>
#include <vector>

namespace
{

const QSize taille_vue(1920, 1080);

// The window as a user leaves it: shown with a 1920 × 1080 view, latitude 45, twelve saved
// dates, another current date, "Délimiter la course" and "Afficher les heures" ticked.
std::unique_ptr<Fenetre_Principale> preparer_fenetre()
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
    QCoreApplication::processEvents();
    return fenetre;
}

Fenetre_Principale *fenetre_banc = nullptr;

QGraphicsView *vue_banc()
{
    return fenetre_banc->findChild<QGraphicsView *>(QStringLiteral("graphicsView"));
}

void reconstruction(benchmark::State &etat)
{
    for (auto _ : etat) {
        etat.PauseTiming();
        QCoreApplication::processEvents();
        etat.ResumeTiming();
        QMetaObject::invokeMethod(fenetre_banc, "course_Soleil", Qt::DirectConnection);
    }
    etat.counters["items"] = static_cast<double>(vue_banc()->scene()->items().size());
}

void peinture(benchmark::State &etat)
{
    QCoreApplication::processEvents();
    QGraphicsView *vue = vue_banc();
    QGraphicsScene *scene = vue->scene();
    QImage image(taille_vue, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : etat) {
        QPainter peintre(&image);
        peintre.setRenderHints(vue->renderHints());
        scene->render(&peintre, QRectF(image.rect()), scene->sceneRect());
    }
}

} // namespace

BENCHMARK(reconstruction)->Name("rebuild (course_Soleil)")->Unit(benchmark::kMillisecond);
BENCHMARK(peinture)->Name("paint 1920x1080 antialiased")->Unit(benchmark::kMillisecond);

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    const std::unique_ptr<Fenetre_Principale> fenetre = preparer_fenetre();
    if (!fenetre) {
        std::fprintf(stderr, "the view could not be sized to 1920 x 1080\n");
        return 1;
    }
    fenetre_banc = fenetre.get();

    // Medians of 21 repetitions of at least 0.1 s each, unless the command line says otherwise.
    std::vector<char *> arguments(argv, argv + argc);
    char repetitions[] = "--benchmark_repetitions=21";
    char agregats[] = "--benchmark_report_aggregates_only=true";
    char duree[] = "--benchmark_min_time=0.1";
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
    int nombre = static_cast<int>(arguments.size());
    benchmark::Initialize(&nombre, arguments.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fenetre->close();
    return 0;
}
