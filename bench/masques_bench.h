// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_BENCH_MASQUES_BENCH_H
#define ORVANE_BENCH_MASQUES_BENCH_H

// The heaviest redraw of the program: a latitude change in Mode 1 with the chosen date, twelve
// saved dates, the limit courses and the hour lines, and a kept mask of 500 points, so that
// every rebuild runs twice; then the full paint of a 1920 x 1080 view. Times in milliseconds.

struct Mesure_Masques {
    int largeur_vue = 0; // pixels of the graphics view actually measured
    int hauteur_vue = 0;
    double reconstruction_mediane = 0.0; // the latitude change: rebuild(s) and outline
    double peinture_mediane = 0.0;       // the view's full paint
    double totale_mediane = 0.0;         // median of the sums
    double totale_pire = 0.0;            // slowest of the sums
    // The same diagram without the mask (medians).
    double reconstruction_sans_masque = 0.0;
    double peinture_sans_masque = 0.0;
};

// Runs `repetitions` latitude changes (after a few unmeasured ones) and their paints.
// Needs a QApplication.
Mesure_Masques mesurer_masques(int repetitions);

#endif
