// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_HORIZON_DIALOGUE_IMPORT_HORIZON_H
#define ORVANE_HORIZON_DIALOGUE_IMPORT_HORIZON_H

// "Importer un horizon": shows the rows that a horizon file gives the mask table, read in the
// convention the user picks (a PVGIS file's convention is fixed by its content), before
// anything changes. "OK" is offered only while the file reads in that convention.

#include "horizon/horizon.h"

#include <QDialog>

#include <memory>

namespace Ui
{
class Dialogue_Import_Horizon;
}

class Dialogue_Import_Horizon : public QDialog
{
    Q_OBJECT

public:
    // `contenu`: the file's bytes; `nom`: its name, shown; `limite`: the table's row limit.
    Dialogue_Import_Horizon(const QByteArray &contenu, const QString &nom, int limite,
                            QWidget *parent = nullptr);
    ~Dialogue_Import_Horizon() override;

    // The file as read in the chosen convention, and the table's rows it gives (table
    // convention), empty when it is refused.
    const Horizon_Lu &horizon_lu() const { return lu; }
    const std::vector<QPointF> &points_tableau() const { return points; }
    Convention_Azimut convention() const;

private slots:
    void on_comboBox_convention_currentIndexChanged(int index);
    void on_buttonBox_accepted();
    void on_buttonBox_rejected();

private:
    void lire();

    std::unique_ptr<Ui::Dialogue_Import_Horizon> ui;
    QByteArray contenu;
    int limite;
    Horizon_Lu lu;
    std::vector<QPointF> points;
};

#endif
