// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// "Lieu et heure": the longitude, the time zone, the scale of the times and the model of the
// sun, each change ending in a rebuild; and the read-out under the pointer in the status bar.
#include "app/fenetre_principale.h"

#include "diagram/scene.h"
#include "solar/villes_zones.h"
#include "ui_fenetre_principale.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QStringListModel>
#include <QTimeZone>

void Fenetre_Principale::remplir_fuseaux()
{
    // The lists are plain string models owned by their boxes (each box's own item model goes
    // with the swap), set without signalling: nothing is drawn yet.
    const auto liste = [](QComboBox *boite, const QStringList &textes) {
        const QSignalBlocker bloque(boite);
        boite->setModel(new QStringListModel(textes, boite));
        boite->setCurrentIndex(0);
    };
    const QByteArray utc("UTC");
    QStringList zones{QString::fromLatin1(utc)};
    for (const QByteArray &zone : QTimeZone::availableTimeZoneIds())
        if (zone != utc)
            zones << QString::fromLatin1(zone);
    liste(ui->combo_fuseau, zones);
    for (QComboBox *boite : {ui->combo_echelle, ui->combo_modele, ui->combo_jonction}) {
        QStringList textes;
        for (int i = 0; i < boite->count(); ++i)
            textes << boite->itemText(i);
        liste(boite, textes);
    }
}

void Fenetre_Principale::on_longitude_valueChanged(double arg1)
{
    Q_UNUSED(arg1)
    course_Soleil();
}

void Fenetre_Principale::on_combo_fuseau_currentIndexChanged(int index)
{
    // The zone's principal city is offered as the place; the latitude stays the user's.
    if (index > 0) {
        const auto ville = ville_principale(ui->combo_fuseau->itemText(index).toLatin1());
        if (ville && ui->longitude->value() != ville->longitude) {
            // Its own slot rebuilds, already with the new zone.
            ui->longitude->setValue(ville->longitude);
            return;
        }
    }
    course_Soleil();
}

void Fenetre_Principale::on_combo_echelle_currentIndexChanged(int index)
{
    Q_UNUSED(index)
    course_Soleil();
}

void Fenetre_Principale::on_combo_modele_currentIndexChanged(int index)
{
    Q_UNUSED(index)
    course_Soleil();
}

QString Fenetre_Principale::texte_sous_pointeur(const QPointF &point)
{
    if (!courses_a_jour) {
        // The rows drawn and the limit courses, the days of the latter read in the year of the
        // chosen date.
        QVector<QDate> dates;
        for (const Ligne_Sortie &ligne : qAsConst(lignes_sorties))
            if (ligne.tracee)
                dates << ligne.date;
        if (description_dessinee.limites) {
            const QDate premier(description_dessinee.date_choisie.year(), 1, 1);
            for (const int jour : {scene->jour1, scene->jour2})
                if (jour > 0)
                    dates << premier.addDays(jour - 1);
        }
        courses_pointeur = courses_lues(description_dessinee, dates);
        lignes_horaires_pointeur = lignes_horaires_lues(description_dessinee);
        courses_a_jour = true;
    }
    Lecture lecture =
        lire_sous_pointeur(description_dessinee, courses_pointeur, scene->projection(), point);
    lire_ligne_horaire(lecture, description_dessinee, lignes_horaires_pointeur, scene->projection(),
                       point);
    return texte_lecture(lecture, description_dessinee);
}

bool Fenetre_Principale::eventFilter(QObject *objet, QEvent *evenement)
{
    if ((objet == ui->latitude || objet == ui->longitude) &&
        evenement->type() == QEvent::KeyPress) {
        // '.' and ',' both type the locale's decimal separator.
        auto *touche = static_cast<QKeyEvent *>(evenement);
        auto *boite = static_cast<QDoubleSpinBox *>(objet);
        const QString separateur = boite->locale().decimalPoint();
        if ((touche->text() == QLatin1String(".") || touche->text() == QLatin1String(",")) &&
            touche->text() != separateur) {
            QKeyEvent remplacee(QEvent::KeyPress, 0, touche->modifiers(), separateur);
            QCoreApplication::sendEvent(boite, &remplacee);
            return true;
        }
    }
    if (objet == ui->scrollArea_panneau->viewport() && evenement->type() == QEvent::Resize)
        agencer_panneau();
    if (objet == ui->graphicsView->viewport() && scene) {
        QStatusBar *barre = statusBar();
        if (evenement->type() == QEvent::MouseMove) {
            const auto *souris = static_cast<QMouseEvent *>(evenement);
            const QString texte = texte_sous_pointeur(ui->graphicsView->mapToScene(souris->pos()));
            if (texte.isEmpty())
                barre->clearMessage();
            else
                barre->showMessage(texte);
        } else if (evenement->type() == QEvent::Leave) {
            barre->clearMessage();
        } else if (evenement->type() == QEvent::Resize &&
                   scene->sceneRect().size() != QSizeF(ui->graphicsView->size())) {
            // The view can change size without the window doing so (the splitter's handle
            // moved): the scene is fitted to the view again.
            ajuster_vue();
        }
    }
    return QMainWindow::eventFilter(objet, evenement);
}
