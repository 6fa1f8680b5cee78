// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_APP_DIALOGUE_PHOTO_H
#define ORVANE_APP_DIALOGUE_PHOTO_H

// "Photo du ciel": a photo's lens and calibration with a live preview (the horizon's circle,
// its centre and the top's bearing drawn over the photo; the circle moved and resized by
// dragging), its opacity under the diagram, and "Tracer l'horizon": the traced line over the
// photo, its threshold on a slider, heights set by hand over a span of bearings. The lens
// models, the calibration and the tracing are photo/'s; the dialog only shows and edits them.
// Angles in degrees, bearings compass (0 north, 90 east); pixels the photo's.

#include "photo/horizon_photo.h"
#include "photo/photo.h"

#include <QDialog>
#include <QImage>

#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QSlider;
class QSpinBox;
class Apercu_Photo;

class Dialogue_Photo : public QDialog
{
    Q_OBJECT

public:
    // `photo` holds the image; its calibration and opacity are those shown first.
    explicit Dialogue_Photo(const Photo_Diagramme &photo, QWidget *parent = nullptr);

    // The photo as the dialog leaves it.
    Photo_Diagramme photo() const;
    // The horizon traced and to be used (heights at bearings 0..359), empty otherwise.
    std::vector<double> horizon() const;

    // The widgets a test drives.
    QComboBox *combo_objectif = nullptr;
    QDoubleSpinBox *centre_x = nullptr;
    QDoubleSpinBox *centre_y = nullptr;
    QDoubleSpinBox *rayon = nullptr;
    QDoubleSpinBox *nord = nullptr;
    QCheckBox *miroir = nullptr;
    QSpinBox *opacite = nullptr;
    QPushButton *bouton_tracer = nullptr;
    QSlider *seuil = nullptr;
    QCheckBox *utiliser_horizon = nullptr;
    QSpinBox *imposer_de = nullptr;
    QSpinBox *imposer_a = nullptr;
    QDoubleSpinBox *imposer_hauteur = nullptr;
    QPushButton *bouton_imposer = nullptr;
    Apercu_Photo *apercu = nullptr;

private:
    Calibration_Photo calibration() const;
    void montrer(const Calibration_Photo &calibration);
    void objectif_choisi(int index);
    void proposer_cercle();
    void tracer();
    void imposer();
    void actualiser();

    Photo_Diagramme m_photo;
    QDoubleSpinBox *coefficients[3] = {nullptr, nullptr, nullptr};
    QLabel *libelle_nord = nullptr;
    QPushButton *bouton_ok = nullptr;
    std::vector<double> hauteurs;
    bool remplissage = false;
};

#endif
