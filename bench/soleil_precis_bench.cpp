// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// Times the accurate sun and the clock, the pieces that a diagram in "Précis" repeats: the
// terms of a day (once per day for every place), a position from them and by ERFA's whole
// chain, a day's sunrise and sunset, a course of 80 points on the clock, and the 366 noon
// altitudes of the limit days. Paris, 21 June 2021.
// `taskset -c 0 ./build/bench/soleil_precis_bench`.
#include "solar/heure_legale.h"
#include "solar/soleil_precis.h"

#include <benchmark/benchmark.h>

#include <QTimeZone>

namespace
{
constexpr double latitude = 48.87;
constexpr double longitude = 2.33;
const QDate jour(2021, 6, 21);

// The terms of a day, which every place shares, and one position from them.
void termes_du_jour(benchmark::State &etat)
{
    double instant = QDateTime(jour, QTime(12, 0), Qt::UTC).toSecsSinceEpoch();
    for (auto _ : etat) {
        benchmark::DoNotOptimize(Soleil_Precis::calculer_jour(instant));
        instant += 1.0;
    }
}

void position(benchmark::State &etat)
{
    const Soleil_Precis soleil;
    double instant = QDateTime(jour, QTime(12, 0), Qt::UTC).toSecsSinceEpoch();
    const Soleil_Precis::Repere repere = soleil.repere(instant, latitude, longitude);
    for (auto _ : etat) {
        benchmark::DoNotOptimize(soleil.position(repere, instant));
        instant += 1.0;
    }
}

// ERFA's whole chain for one position, as the tests hold the others to it.
void position_complete(benchmark::State &etat)
{
    const Soleil_Precis soleil;
    double instant = QDateTime(jour, QTime(12, 0), Qt::UTC).toSecsSinceEpoch();
    for (auto _ : etat) {
        benchmark::DoNotOptimize(soleil.position_complete(instant, latitude, longitude));
        instant += 1.0;
    }
}

void lever_coucher(benchmark::State &etat)
{
    const Heure_Legale horloge(QTimeZone("Europe/Paris"), longitude, Modele_Soleil::precis);
    for (auto _ : etat)
        benchmark::DoNotOptimize(horloge.lever_coucher(jour, latitude, true));
}

void course(benchmark::State &etat)
{
    const Heure_Legale horloge(QTimeZone("Europe/Paris"), longitude, Modele_Soleil::precis);
    for (auto _ : etat)
        benchmark::DoNotOptimize(horloge.course(jour, latitude, 5.78, 21.96, 79, true));
}

void midis_de_l_annee(benchmark::State &etat)
{
    const Heure_Legale horloge(QTimeZone("Europe/Paris"), longitude, Modele_Soleil::precis);
    for (auto _ : etat) {
        for (int d = 0; d < 366; ++d)
            benchmark::DoNotOptimize(
                horloge.position_tsv(QDate(2020, 1, 1).addDays(d), 12.0, latitude));
    }
}
} // namespace

BENCHMARK(termes_du_jour)->Name("terms of a day")->Unit(benchmark::kMicrosecond);
BENCHMARK(position)->Name("position from the day's terms")->Unit(benchmark::kMicrosecond);
BENCHMARK(position_complete)->Name("position by ERFA's whole chain")->Unit(benchmark::kMicrosecond);
BENCHMARK(lever_coucher)->Name("sunrise and sunset of a clock day")->Unit(benchmark::kMillisecond);
BENCHMARK(course)->Name("course of 80 points on the clock")->Unit(benchmark::kMillisecond);
BENCHMARK(midis_de_l_annee)->Name("366 noon positions")->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
