// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "horizon/dialogue_import_horizon.h"

#include "ui_dialogue_import_horizon.h"

#include <QHeaderView>
#include <QPushButton>

namespace
{

constexpr Convention_Azimut conventions[] = {Convention_Azimut::Nord, Convention_Azimut::Sud,
                                             Convention_Azimut::Tableau};

QString texte_angle(double angle)
{
    return QLocale().toString(angle, 'f', 2);
}

} // namespace

Dialogue_Import_Horizon::Dialogue_Import_Horizon(const QByteArray &contenu, const QString &nom,
                                                 int limite, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::Dialogue_Import_Horizon>()), contenu(contenu),
      limite(limite)
{
    ui->setupUi(this);
    ui->label_fichier->setText(tr("Fichier : %1").arg(nom));
    ui->tableWidget_apercu->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    {
        const QSignalBlocker bloque(ui->comboBox_convention);
        for (const Convention_Azimut c : conventions)
            ui->comboBox_convention->addItem(nom_convention(c));
    }
    // A PVGIS file says its own convention; a plain one opens in the first that reads it.
    int choix = 0;
    for (int k = 0; k < 3; ++k)
        if (lire_horizon(contenu, conventions[k]).valide()) {
            choix = k;
            break;
        }
    {
        const QSignalBlocker bloque(ui->comboBox_convention);
        ui->comboBox_convention->setCurrentIndex(choix);
    }
    lire();
}

Dialogue_Import_Horizon::~Dialogue_Import_Horizon() = default;

Convention_Azimut Dialogue_Import_Horizon::convention() const
{
    return lu.convention;
}

void Dialogue_Import_Horizon::on_comboBox_convention_currentIndexChanged(int)
{
    lire();
}

void Dialogue_Import_Horizon::on_buttonBox_accepted()
{
    if (!points.empty())
        accept();
}

void Dialogue_Import_Horizon::on_buttonBox_rejected()
{
    reject();
}

void Dialogue_Import_Horizon::lire()
{
    const int index = std::max(ui->comboBox_convention->currentIndex(), 0);
    lu = lire_horizon(contenu, conventions[index]);
    // The rows as the table's own rules take them: what is shown is what will be drawn.
    const Masque_Horizon masque = masque_de_horizon(lu, limite);
    const Points_Masque &rangs = masque.rangs;
    points = rangs.valide() ? rangs.points : std::vector<QPointF>();
    if (lu.pvgis) {
        const QSignalBlocker bloque(ui->comboBox_convention);
        ui->comboBox_convention->setCurrentIndex(1);
    }
    ui->comboBox_convention->setEnabled(!lu.pvgis);

    if (!lu.valide()) {
        ui->label_etat->setText(tr("Fichier refusé. %1").arg(lu.erreur));
    } else if (!rangs.valide()) {
        ui->label_etat->setText(tr("Fichier refusé. %1").arg(rangs.texte()));
    } else {
        const Horizon_Ligne &ligne = masque.ligne;
        QString etat = (lu.pvgis ? tr("Horizon PVGIS. ") : QString()) +
                       tr("%1 points lus, %2 lignes pour le tableau des masques, jointes en "
                          "ligne droite.")
                           .arg(lu.points.size())
                           .arg(points.size());
        if (ligne.eclaircie)
            etat += tr(" Le profil a %1 directions : ramené à %2 lignes, en gardant d'abord les "
                       "points qui s'en écartent le plus, le tracé s'en écarte de %3° au plus.")
                        .arg(ligne.directions)
                        .arg(points.size())
                        .arg(texte_angle(ligne.ecart));
        for (const auto &[depuis, vers] : ligne.trous)
            etat +=
                QLatin1Char('\n') +
                tr("de %1° à %2° : aucun point, la ligne relie les deux bouts.")
                    .arg(QLocale().toString(depuis, 'g', 12), QLocale().toString(vers, 'g', 12));
        ui->label_etat->setText(etat);
    }

    // The preview: the table's rows, with the azimuth each has in the file's convention.
    QTableWidget *apercu = ui->tableWidget_apercu;
    apercu->setRowCount(static_cast<int>(points.size()));
    for (int r = 0; r < static_cast<int>(points.size()); ++r) {
        const QPointF &p = points[static_cast<std::size_t>(r)];
        const double lu_dans_fichier = azimut_depuis_tableau(p.x(), lu.convention);
        apercu->setItem(r, 0, new QTableWidgetItem(texte_angle(lu_dans_fichier)));
        apercu->setItem(r, 1, new QTableWidgetItem(texte_angle(p.x())));
        apercu->setItem(r, 2, new QTableWidgetItem(texte_angle(p.y())));
    }
    ui->buttonBox->button(QDialogButtonBox::Ok)->setEnabled(!points.empty());
}
