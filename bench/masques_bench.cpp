// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "bench/masques_bench.h"

#include "app/fenetre_principale.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QGraphicsView>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSpinBox>
#include <QTableView>

#include <algorithm>
#include <vector>

namespace
{

template <typename T> T *enfant(QObject &parent, const char *nom)
{
    return parent.findChild<T *>(QLatin1String(nom));
}

double mediane(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

// 500 points clockwise from north, 0.72 degrees apart (0 down to -179.28, then 180 down to
// 0.72), each at a random height of 0 to 40 degrees: a jagged skyline, the costliest outline
// to fill.
void remplir_masque(Fenetre_Principale &fenetre)
{
    auto *nb_lignes = enfant<QSpinBox>(fenetre, "spinBox_nbLignes_tab");
    nb_lignes->setValue(494);
    enfant<QPushButton>(fenetre, "Bouton_ajoutLignes")->click();
    QAbstractItemModel *modele = enfant<QTableView>(fenetre, "tableView_masques")->model();
    QRandomGenerator alea(7);
    for (int k = 0; k < 500; ++k) {
        const double azimut = k < 250 ? -0.72 * k : 180.0 - 0.72 * (k - 250);
        modele->setData(modele->index(k, 0), azimut);
        modele->setData(modele->index(k, 1), alea.bounded(400) / 10.0);
    }
}

struct Series {
    std::vector<double> reconstruction, peinture, totale;
};

Series mesurer(Fenetre_Principale &fenetre, int repetitions)
{
    auto *latitude = enfant<QDoubleSpinBox>(fenetre, "latitude");
    QWidget *surface = enfant<QGraphicsView>(fenetre, "graphicsView")->viewport();
    QImage image(surface->size(), QImage::Format_ARGB32_Premultiplied);
    Series s;
    const int echauffement = 5;
    for (int i = 0; i < echauffement + repetitions; ++i) {
        QElapsedTimer chrono;
        chrono.start();
        latitude->setValue(i % 2 ? 45.0 : 46.0);
        const double reconstruction = chrono.nsecsElapsed() / 1e6;
        surface->render(&image);
        const double totale = chrono.nsecsElapsed() / 1e6;
        if (i < echauffement)
            continue;
        s.reconstruction.push_back(reconstruction);
        s.peinture.push_back(totale - reconstruction);
        s.totale.push_back(totale);
    }
    return s;
}

} // namespace

Mesure_Masques mesurer_masques(int repetitions)
{
    Fenetre_Principale fenetre;
    fenetre.show();
    QApplication::processEvents();
    // Grow the window until its graphics view is 1920 x 1080.
    auto *vue = enfant<QGraphicsView>(fenetre, "graphicsView");
    for (int essai = 0; essai < 3 && vue->size() != QSize(1920, 1080); ++essai) {
        fenetre.resize(fenetre.size() + (QSize(1920, 1080) - vue->size()));
        QApplication::processEvents();
    }

    // Mode 1 on the summer solstice with twelve saved dates, limit courses and hour lines.
    auto *date = enfant<QDateEdit>(fenetre, "Date");
    auto *enregistrer = enfant<QPushButton>(fenetre, "Bouton_Enregistrer_Date");
    for (int mois = 1; mois <= 12; ++mois) {
        date->setDate(QDate(2023, mois, 15));
        enregistrer->click();
    }
    date->setDate(QDate(2023, 6, 21));
    enfant<QCheckBox>(fenetre, "check_limite")->click();
    enfant<QCheckBox>(fenetre, "check_heures")->click();

    Mesure_Masques m;
    m.largeur_vue = vue->width();
    m.hauteur_vue = vue->height();
    const Series sans = mesurer(fenetre, repetitions);
    m.reconstruction_sans_masque = mediane(sans.reconstruction);
    m.peinture_sans_masque = mediane(sans.peinture);

    remplir_masque(fenetre);
    enfant<QPushButton>(fenetre, "bouton_masques")->click();
    enfant<QCheckBox>(fenetre, "check_conserver_masques")->click();
    const Series s = mesurer(fenetre, repetitions);
    m.reconstruction_mediane = mediane(s.reconstruction);
    m.peinture_mediane = mediane(s.peinture);
    m.totale_mediane = mediane(s.totale);
    m.totale_pire = *std::max_element(s.totale.begin(), s.totale.end());
    return m;
}
