// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "annee/dialogue_annee.h"

#include "annee/dessin_grille.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace
{
const QString filtre_png = QStringLiteral("Image PNG (*.png)");
const QString filtre_svg = QStringLiteral("Dessin SVG (*.svg)");
const QString filtre_csv = QStringLiteral("Tableau CSV (*.csv)");
} // namespace

Vue_Grille::Vue_Grille(QWidget *parent) : QWidget(parent)
{
    setMinimumSize(560, 300);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
}

void Vue_Grille::montrer(const std::optional<Grille_Annee> &grille, const QString &echelle,
                         const QString &message)
{
    m_grille = grille;
    m_echelle = echelle;
    m_message = message;
    update();
}

void Vue_Grille::paintEvent(QPaintEvent *)
{
    QPainter peintre(this);
    if (m_grille) {
        dessiner_grille(peintre, QRectF(rect()).adjusted(10, 10, -10, -10), *m_grille, m_echelle);
    } else {
        peintre.setPen(palette().color(QPalette::WindowText));
        peintre.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, m_message);
    }
}

Dialogue_Annee::Dialogue_Annee(QWidget *parent)
    : QDialog(parent), m_derniere(std::make_shared<std::atomic<quint64>>(0))
{
    setWindowTitle(tr("Soleil sur la fenêtre au fil de l'année"));
    auto *disposition = new QVBoxLayout(this);
    m_vue = new Vue_Grille(this);
    disposition->addWidget(m_vue, 1);
    auto *boutons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    m_exporter = boutons->addButton(tr("Exporter..."), QDialogButtonBox::ActionRole);
    m_exporter->setObjectName(QStringLiteral("bouton_exporter_annee"));
    m_exporter->setEnabled(false);
    disposition->addWidget(boutons);
    // As large as the grid reads well, within the screen.
    QSize taille(980, 560);
    if (const QScreen *ecran = parent ? parent->screen() : QGuiApplication::primaryScreen())
        taille = taille.boundedTo(ecran->availableSize() * 0.95);
    resize(taille);

    m_vue->montrer(std::nullopt, QString(), tr("Calcul en cours..."));

    // The worker lives on the thread and is deleted there when it ends.
    m_travailleur = new QObject;
    m_travailleur->moveToThread(&m_fil);
    connect(&m_fil, &QThread::finished, m_travailleur, &QObject::deleteLater);
    m_fil.start();

    connect(boutons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_exporter, &QPushButton::clicked, this, &Dialogue_Annee::exporter);
}

Dialogue_Annee::~Dialogue_Annee()
{
    // What is still queued is skipped; the computation under way ends first.
    m_derniere->store(0);
    m_fil.quit();
    m_fil.wait();
}

void Dialogue_Annee::suivre(std::function<Grille_Annee()> calcul, const QString &echelle)
{
    const quint64 numero = m_derniere->fetch_add(1) + 1;
    m_echelle = echelle;
    const std::shared_ptr<std::atomic<quint64>> derniere = m_derniere;
    QMetaObject::invokeMethod(
        m_travailleur,
        [this, numero, derniere, calcul = std::move(calcul)]() {
            if (derniere->load() != numero)
                return;
            const Grille_Annee grille = calcul();
            // Back on the dialog's thread; dropped with the dialog if it is gone by then.
            QMetaObject::invokeMethod(
                this, [this, numero, grille]() { recevoir(numero, grille); }, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void Dialogue_Annee::sans_fenetre()
{
    m_derniere->fetch_add(1);
    m_grille.reset();
    m_exporter->setEnabled(false);
    m_vue->montrer(std::nullopt, QString(),
                   tr("Aucune fenêtre : donnez sa façade dans « Fenêtre et obstacles... »."));
}

void Dialogue_Annee::recevoir(quint64 numero, const Grille_Annee &grille)
{
    if (numero != m_derniere->load())
        return;
    m_grille = grille;
    m_exporter->setEnabled(true);
    m_vue->montrer(m_grille, m_echelle, QString());
    emit grille_affichee();
}

void Dialogue_Annee::exporter()
{
    if (!m_grille)
        return;
    QString filtre;
    QString nom = QFileDialog::getSaveFileName(
        this, tr("Exporter la grille de l'année"), tr("Soleil sur la fenêtre"),
        QStringList{filtre_png, filtre_svg, filtre_csv}.join(QStringLiteral(";;")), &filtre,
        QFileDialog::DontUseNativeDialog);
    if (nom.isEmpty())
        return;
    if (QFileInfo(nom).suffix().isEmpty())
        nom += filtre == filtre_svg   ? QStringLiteral(".svg")
               : filtre == filtre_csv ? QStringLiteral(".csv")
                                      : QStringLiteral(".png");
    const QString raison = exporter_grille(*m_grille, m_echelle, nom);
    if (!raison.isEmpty())
        QMessageBox::warning(
            this, tr("Erreur"),
            tr("<b>ATTENTION :</b> La grille n'a pas pu être enregistrée dans "
               "« %1 » : %2.")
                .arg(QFileInfo(nom).fileName().toHtmlEscaped(), raison.toHtmlEscaped()),
            QMessageBox::Ok);
}
