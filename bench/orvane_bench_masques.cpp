// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// Times the heaviest redraw (see masques_bench.h). Run it on one core:
//   QT_QPA_PLATFORM=offscreen taskset -c 0 ./build/bench/orvane_bench_masques
#include "bench/masques_bench.h"

#include <QApplication>
#include <QLocale>

#include <cstdio>

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    const int repetitions = 100;
    const Mesure_Masques m = mesurer_masques(repetitions);
    std::printf("latitude change, Mode 1 (current date, 12 saved dates, limit courses, hour "
                "lines), view %d x %d, %d runs\n",
                m.largeur_vue, m.hauteur_vue, repetitions);
    std::printf("  without mask:               rebuild %.2f ms + paint %.2f ms (medians)\n",
                m.reconstruction_sans_masque, m.peinture_sans_masque);
    std::printf("  with a kept 500-point mask: rebuilds %.2f ms + paint %.2f ms, total %.2f ms "
                "(median), %.2f ms (slowest); goal 10 ms\n",
                m.reconstruction_mediane, m.peinture_mediane, m.totale_mediane, m.totale_pire);
    return 0;
}
