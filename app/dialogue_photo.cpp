// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "app/dialogue_photo.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>
#include <functional>

// The photo scaled to fit, its circle, centre and top's bearing over it, and the traced line.
// Dragging near the centre moves the circle; dragging near its edge resizes it.
class Apercu_Photo : public QWidget
{
public:
    Apercu_Photo(const QImage &image, QWidget *parent) : QWidget(parent), taille_image(image.size())
    {
        reduite = image.scaled(640, 640, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        setMinimumSize(320, 240);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        setMouseTracking(false);
    }

    QSize sizeHint() const override { return reduite.size().boundedTo(QSize(640, 640)); }

    Calibration_Photo calibration;
    std::vector<double> hauteurs;
    std::function<void(const Calibration_Photo &)> deplace;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().window());
        const QRectF cible = cadre();
        p.drawImage(cible, reduite);
        p.setRenderHint(QPainter::Antialiasing);
        const auto vers_ecran = [&](const QPointF &pixel) {
            return cible.topLeft() + pixel * echelle();
        };
        if (!calibration.panorama() && calibration.rayon > 0.0) {
            const QPointF c = vers_ecran(calibration.centre);
            const double r = calibration.rayon * echelle();
            p.setPen(QPen(QColor(255, 200, 0), 2.0));
            p.drawEllipse(c, r, r);
            p.drawLine(c - QPointF(8, 0), c + QPointF(8, 0));
            p.drawLine(c - QPointF(0, 8), c + QPointF(0, 8));
        }
        // North: where the horizon's bearing 0 lies.
        const QSize t = taille_image;
        const QPointF n0 = vers_ecran(pixel_direction(calibration, t, 0.0, 0.0));
        const QPointF n1 = vers_ecran(pixel_direction(calibration, t, 0.0, 30.0));
        p.setPen(QPen(Qt::red, 2.0));
        p.drawLine(n0, n1);
        p.drawText(n1 + QPointF(4, -4), tr("N"));
        if (hauteurs.size() == 360) {
            QPainterPath ligne;
            for (int g = 0; g <= 360; ++g) {
                const QPointF q =
                    vers_ecran(pixel_direction(calibration, t, -(g % 360), hauteurs[g % 360]));
                // A panorama's line breaks at its seam.
                if (g == 0 || (calibration.panorama() &&
                               std::abs(q.x() - ligne.currentPosition().x()) > cible.width() / 2))
                    ligne.moveTo(q);
                else
                    ligne.lineTo(q);
            }
            p.setPen(QPen(QColor(255, 0, 255), 2.0));
            p.drawPath(ligne);
        }
    }

    void mousePressEvent(QMouseEvent *e) override
    {
        prise = Prise::Aucune;
        if (calibration.panorama() || calibration.rayon <= 0.0)
            return;
        const QPointF c = cadre().topLeft() + calibration.centre * echelle();
        const double d = std::hypot(e->localPos().x() - c.x(), e->localPos().y() - c.y());
        if (d < 15.0)
            prise = Prise::Centre;
        else if (std::abs(d - calibration.rayon * echelle()) < 15.0)
            prise = Prise::Bord;
    }

    void mouseMoveEvent(QMouseEvent *e) override
    {
        if (prise == Prise::Aucune || echelle() <= 0.0)
            return;
        const QPointF pixel = (e->localPos() - cadre().topLeft()) / echelle();
        if (prise == Prise::Centre)
            calibration.centre = QPointF(std::clamp(pixel.x(), 0.0, double(taille_image.width())),
                                         std::clamp(pixel.y(), 0.0, double(taille_image.height())));
        else
            calibration.rayon = std::max(1.0, std::hypot(pixel.x() - calibration.centre.x(),
                                                         pixel.y() - calibration.centre.y()));
        if (deplace)
            deplace(calibration);
        update();
    }

    void mouseReleaseEvent(QMouseEvent *) override { prise = Prise::Aucune; }

private:
    double echelle() const
    {
        if (taille_image.isEmpty())
            return 0.0;
        return std::min(width() / double(taille_image.width()),
                        height() / double(taille_image.height()));
    }
    QRectF cadre() const
    {
        const QSizeF t = QSizeF(taille_image) * echelle();
        return QRectF((width() - t.width()) / 2.0, (height() - t.height()) / 2.0, t.width(),
                      t.height());
    }

    enum class Prise { Aucune, Centre, Bord };
    Prise prise = Prise::Aucune;
    QImage reduite;
    QSize taille_image;
};

Dialogue_Photo::Dialogue_Photo(const Photo_Diagramme &photo, QWidget *parent)
    : QDialog(parent), m_photo(photo)
{
    setWindowTitle(tr("Photo du ciel"));
    setObjectName(QStringLiteral("Dialogue_Photo"));
    const QImage image = photo.presente() ? *photo.image : QImage();
    const double cote = std::max(1, std::max(image.width(), image.height()));

    // Widgets first.
    apercu = new Apercu_Photo(image, this);
    combo_objectif = new QComboBox(this);
    int n = 0;
    const Prereglage_Objectif *prereglages = prereglages_objectifs(&n);
    for (int i = 0; i < n; ++i)
        combo_objectif->addItem(QString::fromUtf8(prereglages[i].libelle));
    combo_objectif->addItem(tr("Polynôme r/R = c1·θ + c2·θ² + c3·θ³"));
    for (QDoubleSpinBox *&k : coefficients) {
        k = new QDoubleSpinBox(this);
        k->setDecimals(4);
        k->setRange(-10.0, 10.0);
        k->setSingleStep(0.001);
    }
    const auto pixels = [this, cote](double max) {
        auto *s = new QDoubleSpinBox(this);
        s->setDecimals(1);
        s->setRange(0.0, max);
        s->setSuffix(tr(" px"));
        return s;
    };
    centre_x = pixels(std::max(1, image.width()));
    centre_y = pixels(std::max(1, image.height()));
    rayon = pixels(4.0 * cote);
    auto *bouton_proposer = new QPushButton(tr("Trouver le cercle"), this);
    nord = new QDoubleSpinBox(this);
    nord->setRange(-360.0, 360.0);
    nord->setDecimals(1);
    nord->setSuffix(tr("°"));
    libelle_nord = new QLabel(this);
    miroir = new QCheckBox(tr("Miroir (photo prise vers le haut)"), this);
    opacite = new QSpinBox(this);
    opacite->setRange(0, 100);
    opacite->setSuffix(tr(" %"));
    bouton_tracer = new QPushButton(tr("Tracer l'horizon"), this);
    seuil = new QSlider(Qt::Horizontal, this);
    seuil->setRange(0, 255);
    seuil->setEnabled(false);
    auto *valeur_seuil = new QLabel(this);
    utiliser_horizon =
        new QCheckBox(tr("Mettre l'horizon tracé dans le tableau des masques"), this);
    utiliser_horizon->setEnabled(false);
    imposer_de = new QSpinBox(this);
    imposer_a = new QSpinBox(this);
    for (QSpinBox *s : {imposer_de, imposer_a}) {
        s->setRange(0, 359);
        s->setSuffix(tr("°"));
        s->setWrapping(true);
    }
    imposer_hauteur = new QDoubleSpinBox(this);
    imposer_hauteur->setRange(0.0, 90.0);
    imposer_hauteur->setDecimals(1);
    imposer_hauteur->setSuffix(tr("°"));
    bouton_imposer = new QPushButton(tr("Imposer"), this);
    bouton_imposer->setEnabled(false);
    auto *boutons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    bouton_ok = boutons->button(QDialogButtonBox::Ok);

    auto *formulaire = new QFormLayout;
    formulaire->addRow(tr("Objectif"), combo_objectif);
    auto *ligne_k = new QHBoxLayout;
    for (QDoubleSpinBox *k : coefficients)
        ligne_k->addWidget(k);
    formulaire->addRow(tr("c1, c2, c3"), ligne_k);
    auto *ligne_centre = new QHBoxLayout;
    ligne_centre->addWidget(centre_x);
    ligne_centre->addWidget(centre_y);
    formulaire->addRow(tr("Centre (x, y)"), ligne_centre);
    auto *ligne_rayon = new QHBoxLayout;
    ligne_rayon->addWidget(rayon);
    ligne_rayon->addWidget(bouton_proposer);
    formulaire->addRow(tr("Rayon de l'horizon"), ligne_rayon);
    formulaire->addRow(libelle_nord, nord);
    formulaire->addRow(QString(), miroir);
    formulaire->addRow(tr("Opacité sous le diagramme"), opacite);
    auto *groupe = new QGroupBox(tr("Horizon"), this);
    auto *horizon = new QFormLayout(groupe);
    horizon->addRow(bouton_tracer);
    auto *ligne_seuil = new QHBoxLayout;
    ligne_seuil->addWidget(seuil);
    ligne_seuil->addWidget(valeur_seuil);
    horizon->addRow(tr("Seuil du bleu"), ligne_seuil);
    auto *ligne_main = new QHBoxLayout;
    ligne_main->addWidget(new QLabel(tr("De"), this));
    ligne_main->addWidget(imposer_de);
    ligne_main->addWidget(new QLabel(tr("à"), this));
    ligne_main->addWidget(imposer_a);
    ligne_main->addWidget(imposer_hauteur);
    ligne_main->addWidget(bouton_imposer);
    horizon->addRow(tr("Hauteur à la main"), ligne_main);
    horizon->addRow(utiliser_horizon);
    auto *droite = new QVBoxLayout;
    droite->addLayout(formulaire);
    droite->addWidget(groupe);
    droite->addStretch();
    droite->addWidget(boutons);
    auto *tout = new QHBoxLayout(this);
    tout->addWidget(apercu, 1);
    tout->addLayout(droite);

    // Then the values.
    const Calibration_Photo &c = photo.calibration;
    int index = combo_objectif->count() - 1;
    for (int i = 0; i < n; ++i)
        if (prereglages[i].type == c.objectif &&
            (c.objectif != Type_Objectif::Polynome ||
             (prereglages[i].c1 == c.c1 && prereglages[i].c2 == c.c2 && prereglages[i].c3 == c.c3)))
            index = i;
    if (c.objectif == Type_Objectif::Equidistant)
        index = 0;
    combo_objectif->setCurrentIndex(index);
    montrer(c);
    opacite->setValue(photo.opacite);
    // The automatic threshold shown before the first trace.
    if (photo.presente())
        seuil->setValue(seuil_otsu(*photo.image, c));
    valeur_seuil->setNum(seuil->value());

    // Then the connections.
    connect(combo_objectif, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &Dialogue_Photo::objectif_choisi);
    for (QDoubleSpinBox *s :
         {coefficients[0], coefficients[1], coefficients[2], centre_x, centre_y, rayon, nord})
        connect(s, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
                &Dialogue_Photo::actualiser);
    connect(miroir, &QCheckBox::toggled, this, &Dialogue_Photo::actualiser);
    connect(bouton_proposer, &QPushButton::clicked, this, &Dialogue_Photo::proposer_cercle);
    connect(bouton_tracer, &QPushButton::clicked, this, &Dialogue_Photo::tracer);
    connect(seuil, &QSlider::valueChanged, this, [this, valeur_seuil](int v) {
        valeur_seuil->setNum(v);
        if (!hauteurs.empty())
            tracer();
    });
    connect(bouton_imposer, &QPushButton::clicked, this, &Dialogue_Photo::imposer);
    connect(boutons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(boutons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    apercu->deplace = [this](const Calibration_Photo &deplacee) { montrer(deplacee); };
}

Calibration_Photo Dialogue_Photo::calibration() const
{
    Calibration_Photo c;
    int n = 0;
    const Prereglage_Objectif *prereglages = prereglages_objectifs(&n);
    const int i = combo_objectif->currentIndex();
    c.objectif = i < n ? prereglages[i].type : Type_Objectif::Polynome;
    if (c.objectif == Type_Objectif::Polynome) {
        c.c1 = coefficients[0]->value();
        c.c2 = coefficients[1]->value();
        c.c3 = coefficients[2]->value();
    }
    c.centre = QPointF(centre_x->value(), centre_y->value());
    c.rayon = rayon->value();
    c.nord = nord->value();
    c.miroir = miroir->isChecked();
    return c;
}

void Dialogue_Photo::montrer(const Calibration_Photo &c)
{
    remplissage = true;
    centre_x->setValue(c.centre.x());
    centre_y->setValue(c.centre.y());
    rayon->setValue(c.rayon);
    nord->setValue(c.nord);
    miroir->setChecked(c.miroir);
    coefficients[0]->setValue(c.c1);
    coefficients[1]->setValue(c.c2);
    coefficients[2]->setValue(c.c3);
    remplissage = false;
    actualiser();
}

void Dialogue_Photo::objectif_choisi(int index)
{
    int n = 0;
    const Prereglage_Objectif *prereglages = prereglages_objectifs(&n);
    Calibration_Photo c = calibration();
    if (index < n) {
        c.c1 = prereglages[index].c1;
        c.c2 = prereglages[index].c2;
        c.c3 = prereglages[index].c3;
        c.miroir = !c.panorama();
    }
    montrer(c);
}

void Dialogue_Photo::proposer_cercle()
{
    if (!m_photo.presente())
        return;
    int n = 0;
    const Prereglage_Objectif *prereglages = prereglages_objectifs(&n);
    const int i = combo_objectif->currentIndex();
    montrer(
        calibration_proposee(*m_photo.image, calibration(), i < n ? prereglages[i].champ : 180.0));
}

void Dialogue_Photo::tracer()
{
    if (!m_photo.presente())
        return;
    const Calibration_Photo c = calibration();
    hauteurs = tracer_horizon(*m_photo.image, c, seuil->value());
    seuil->setEnabled(true);
    bouton_imposer->setEnabled(true);
    utiliser_horizon->setEnabled(true);
    utiliser_horizon->setChecked(true);
    actualiser();
}

void Dialogue_Photo::imposer()
{
    ::imposer_hauteur(hauteurs, imposer_de->value(), imposer_a->value(), imposer_hauteur->value());
    actualiser();
}

void Dialogue_Photo::actualiser()
{
    if (remplissage)
        return;
    const Calibration_Photo c = calibration();
    const bool fisheye = !c.panorama();
    for (QWidget *w : {static_cast<QWidget *>(centre_x), static_cast<QWidget *>(centre_y),
                       static_cast<QWidget *>(rayon)})
        w->setEnabled(fisheye);
    for (QDoubleSpinBox *k : coefficients)
        k->setEnabled(c.objectif == Type_Objectif::Polynome);
    libelle_nord->setText(fisheye ? tr("Gisement du haut de l'image")
                                  : tr("Gisement du bord gauche"));
    const QString probleme =
        probleme_calibration(c, m_photo.presente() ? m_photo.image->size() : QSize());
    // A calibration off the image draws nothing sound: it is neither traced nor accepted.
    bouton_tracer->setEnabled(probleme.isEmpty());
    bouton_ok->setEnabled(probleme.isEmpty());
    bouton_ok->setToolTip(probleme);
    apercu->calibration = c;
    apercu->hauteurs = hauteurs;
    apercu->update();
}

Photo_Diagramme Dialogue_Photo::photo() const
{
    Photo_Diagramme p = m_photo;
    p.calibration = calibration();
    p.opacite = opacite->value();
    return p;
}

std::vector<double> Dialogue_Photo::horizon() const
{
    return utiliser_horizon->isChecked() ? hauteurs : std::vector<double>();
}
