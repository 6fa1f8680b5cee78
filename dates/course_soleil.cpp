// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// The rebuild of the diagram: everything on the scene is thrown away and drawn again from the
// widgets and the saved dates, and the output table is refilled in the same pass. Items are
// added in drawing order, so later ones lie on top: the latitude caption, the dates of the mode,
// the limit courses, the hour lines, the saved dates.
#include "app/fenetre_principale.h"

#include "diagram/scene.h"
#include "ui_fenetre_principale.h"

#include <QGraphicsTextItem>
#include <QLocale>
#include <QPointer>
#include <QResizeEvent>

#include <algorithm>
#include <cmath>

namespace
{

// Texts of the diagram, all in "Courier".
const QString famille = QStringLiteral("Courier");
constexpr int taille_etiquette = 10; // points
constexpr int taille_legende_latitude = 11;
constexpr int graisse_grasse = 75; // QFont::Bold

// Caption: 10 px from the left edge and 30 px above the bottom edge of the view.
constexpr int marge_gauche = 10;
constexpr int marge_bas = 30;
// The disc leaves room for the legend and the cardinal labels around it.
constexpr int reserve_largeur = 300;
constexpr int reserve_hauteur = 140;
// Legend origin: 10 px right of and 15 px below the top-left corner of the view.
constexpr int legende_x = 10;
constexpr int legende_y = 15;

// Label text of a date: day of the month, a space, the default locale's short month name
// ("21 juin", "3 févr." in French).
QString texte_date(const QDate &date)
{
    return QString::number(date.day()) + QLatin1Char(' ') +
           QLocale().monthName(date.month(), QLocale::ShortFormat);
}

QPen stylo_date_courante()
{
    return QPen(QBrush(Qt::red), 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QPen stylo_couleur(const QColor &couleur)
{
    return QPen(QBrush(couleur), 2, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
}

QPen stylo_limites()
{
    return QPen(QBrush(Qt::red), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QPen stylo_heures()
{
    QPen stylo(QBrush(Qt::red), 1, Qt::DashLine, Qt::RoundCap, Qt::RoundJoin);
    // Dashes of 7, gaps of 8, then a dash of 7 again, in pen widths. A pattern needs an even
    // number of entries: the toolkit closes an odd one with a gap of 1, which is given here so
    // that it need not warn on every rebuild.
    stylo.setDashPattern({7, 8, 7, 1});
    return stylo;
}

} // namespace

void Fenetre_Principale::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    // The window's layout has just given the central widget its new size; on the first show
    // the central widget's own layout has not yet passed it on to the view, so it is applied
    // now and the view's size read below is the one it will be shown at.
    ui->centralWidget->layout()->activate();
    const int W = ui->graphicsView->width();
    const int H = ui->graphicsView->height();
    scene->setSceneRect(-(W / 2), -(H / 2), W, H);
    scene->setDiametre0(std::min(W - reserve_largeur, H - reserve_hauteur));
    scene->x_legende = legende_x - W / 2;
    scene->y_legende = legende_y - H / 2;
    course_Soleil();
}

void Fenetre_Principale::course_Soleil()
{
    const double latitude = ui->latitude->value();
    const QDate date_courante = ui->Date->date();
    const bool mode_mois = ui->actionChoisir_le_jour_pour_les_mois->isChecked();
    const QBrush sans_remplissage;
    // Fonts of the date labels and of the limit-course labels.
    const QFont police_date(famille, taille_etiquette);
    const QFont police_limite(famille, taille_etiquette, graisse_grasse);

    // 1. Everything goes: courses, labels, legend strokes, hour lines, mask outline, caption.
    scene->clear();

    // 2. The latitude caption in the bottom-left corner of the view.
    const int W = ui->graphicsView->width();
    const int H = ui->graphicsView->height();
    QGraphicsTextItem *legende = scene->ajouter_texte(
        QStringLiteral("Latitude: ") + QString::number(latitude, 'g', 6) + QStringLiteral("°"),
        QFont(famille, taille_legende_latitude, graisse_grasse));
    legende->setPos(marge_gauche - W / 2, H / 2 - marge_bas);

    // Draws the course of `date` with `stylo` and its label in legend row `rang`.
    auto tracer_date = [&](const QDate &date, const QPen &stylo, const QPainterPath &chemin,
                           int rang, double &lever, double &coucher) {
        // A course wholly below the horizon has its label taken off the scene, which may
        // delete it too; a label left to us off the scene is deleted here.
        const QPointer<QGraphicsTextItem> etiquette =
            scene->ajouter_texte(texte_date(date), police_date, stylo.color());
        const int numero = date.dayOfYear();
        lever = soleil.heure_lever(numero, latitude);
        coucher = soleil.heure_coucher(numero, latitude);
        const bool tracee =
            scene->tracer_course_soleil(numero, latitude, lever, coucher, stylo, sans_remplissage,
                                        chemin, etiquette, false, rang);
        if (etiquette && !etiquette->scene())
            delete etiquette.data();
        return tracee;
    };

    // 3. The dates of the mode.
    int lignes_remplies = 0;
    if (mode_mois) {
        const int jour = ui->spinBox_numero_jour->value();
        const int annee = ui->spinBox_annee->value();
        int valides = 0;
        for (int mois = 1; mois <= 12; ++mois)
            if (QDate::isValid(annee, mois, jour))
                ++valides;
        preparer_tableau_sorties(valides);

        // Every valid month takes its legend row, drawn or not; a missing day skips its month.
        int rang = 0;
        for (int mois = 1; mois <= 12; ++mois) {
            if (!QDate::isValid(annee, mois, jour))
                continue;
            const QDate date(annee, mois, jour);
            const QPen stylo =
                stylo_couleur(QColor(rouge[mois - 1], vert[mois - 1], bleu[mois - 1]));
            scene->chemin1 = QPainterPath();
            double lever = 0.0;
            double coucher = 0.0;
            const bool tracee = tracer_date(date, stylo, scene->chemin1, rang, lever, coucher);
            remplir_ligne_datee(rang, date, lever, coucher, tracee);
            ++rang;
        }
        lignes_remplies = valides;
    } else {
        scene->chemin1 = QPainterPath();
        double lever = 0.0;
        double coucher = 0.0;
        const bool tracee =
            tracer_date(date_courante, stylo_date_courante(), scene->chemin1, 0, lever, coucher);
        remplir_ligne_datee(0, date_courante, lever, coucher, tracee);
        lignes_remplies = 1;
    }

    // 4. The limit courses, labelled beside their curves.
    double lever1 = 0.0, coucher1 = 0.0, lever2 = 0.0, coucher2 = 0.0;
    if (ui->check_limite->isChecked()) {
        scene->chemin2 = QPainterPath();
        scene->chemin3 = QPainterPath();
        scene->jour_soleil(latitude);
        const int jour1 = scene->jour1;
        const int jour2 = scene->jour2;
        // Beyond the polar circles the first limit course bounds the polar night and is
        // labelled with both of its dates.
        const bool polaire = std::abs(latitude) > latitude_cercle_polaire;
        const int annee = date_courante.year();
        auto texte_limite = [&](int numero) {
            return texte_date(QDate(annee, mois_depuis_num(numero), jour_depuis_num(numero)));
        };
        QString texte1 = texte_limite(jour1);
        // Beyond the polar circles the first course is the day on both ends of the polar night.
        if (polaire)
            texte1 += QLatin1Char('/') + texte_limite(scene->jour3);
        const QPen stylo = stylo_limites();

        // Each limit course with its bold red label beside it; the results are not used.
        auto tracer_limite = [&](int numero, const QString &texte, const QPainterPath &chemin,
                                 double &lever, double &coucher) {
            QGraphicsTextItem *etiquette =
                scene->ajouter_texte(texte, police_limite, QColor(Qt::red));
            lever = soleil.heure_lever(numero, latitude);
            coucher = soleil.heure_coucher(numero, latitude);
            scene->tracer_course_soleil(numero, latitude, lever, coucher, stylo, sans_remplissage,
                                        chemin, etiquette, true, 0);
        };
        tracer_limite(jour1, texte1, scene->chemin2, lever1, coucher1);
        tracer_limite(jour2, texte_limite(jour2), scene->chemin3, lever2, coucher2);
    }

    // 5. The hour lines, between the whole hours that bound the two limit courses. The box can
    // only be ticked while "Délimiter la course" is, so step 4 has run.
    if (ui->check_heures->isChecked()) {
        const double heureMIN = std::floor(std::min(lever1, lever2));
        const double heureMAX = std::floor(std::max(coucher1, coucher2));
        scene->tracer_heures(latitude, heureMIN, heureMAX, stylo_heures(), sans_remplissage);
    }

    // 6. The saved dates in their colours, in order of day of the year. The current date is
    // already drawn in red and takes no colour. A date whose course stays below the horizon
    // uses its colour but no legend row and no table row.
    int couleur = 0;
    int rang = 1;
    for (std::size_t emplacement = 0; emplacement < dates_enregistrees.size(); ++emplacement) {
        const QDate &date = dates_enregistrees[emplacement];
        if (date.isNull() || date == date_courante)
            continue;
        // At most twelve dates are ever saved, so the twelve colours suffice.
        Q_ASSERT(couleur < 12);
        const QPen stylo = stylo_couleur(QColor(rouge[couleur], vert[couleur], bleu[couleur]));
        ++couleur;
        double lever = 0.0;
        double coucher = 0.0;
        const bool tracee = tracer_date(date, stylo, chemins[emplacement], rang, lever, coucher);
        courses_tracees[emplacement] = tracee;
        remplir_ligne_enregistree(rang, date, lever, coucher, tracee);
        if (tracee)
            ++rang;
    }
    if (!mode_mois)
        lignes_remplies = rang;

    // 7. Rows left from an earlier rebuild go.
    rogner_tableau_sorties(lignes_remplies);

    // 8. Kept masks: the outline is validated and drawn again, on a second rebuild made while
    // the box is held unticked. Without them the box has nothing to keep.
    if (ui->check_conserver_masques->isChecked())
        on_bouton_masques_clicked();
    else
        ui->check_conserver_masques->setEnabled(false);
}
