// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_ANNEE_DIALOGUE_ANNEE_H
#define ORVANE_ANNEE_DIALOGUE_ANNEE_H

// The view "Soleil sur la fenêtre au fil de l'année": the year's grid of a study drawn as a
// heat map (annee/dessin_grille.h), which follows the study as it changes, and its export as
// PNG, SVG or CSV. The grid is computed on a thread of its own: the window hands in the
// computation, the answer comes back queued, and an answer to anything but the last request is
// dropped.

#include "annee/grille_annee.h"

#include <QDialog>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QPushButton;

// The widget that paints the grid, or a line saying why there is none yet.
class Vue_Grille : public QWidget
{
public:
    explicit Vue_Grille(QWidget *parent = nullptr);
    void montrer(const std::optional<Grille_Annee> &grille, const QString &echelle,
                 const QString &message);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::optional<Grille_Annee> m_grille;
    QString m_echelle;
    QString m_message;
};

class Dialogue_Annee : public QDialog
{
    Q_OBJECT
public:
    explicit Dialogue_Annee(QWidget *parent = nullptr);
    // Waits for a computation under way: nothing runs past the dialog.
    ~Dialogue_Annee() override;

    // The study now: its grid is `calcul()`, run on the dialog's thread, its hours on the scale
    // `echelle`. Replaces any request not answered yet.
    void suivre(std::function<Grille_Annee()> calcul, const QString &echelle);
    // The study has no window: nothing to compute.
    void sans_fenetre();

    // The grid shown, once computed for the last request.
    const std::optional<Grille_Annee> &grille() const { return m_grille; }

signals:
    // The grid of the last request is shown.
    void grille_affichee();

private:
    void recevoir(quint64 numero, const Grille_Annee &grille);
    void exporter();

    Vue_Grille *m_vue = nullptr;
    QPushButton *m_exporter = nullptr;
    std::optional<Grille_Annee> m_grille;
    QString m_echelle;
    // The computations' thread and the object that lives there.
    QThread m_fil;
    QObject *m_travailleur = nullptr;
    // The last request's number: a computation asked before it is skipped or dropped.
    std::shared_ptr<std::atomic<quint64>> m_derniere;
};

#endif
