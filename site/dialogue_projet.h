// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_SITE_DIALOGUE_PROJET_H
#define ORVANE_SITE_DIALOGUE_PROJET_H

// "Propriétés du projet": the study's project (trace/diagramme.h), its name, address, client and
// author. The dialog only edits a value: the window reads it back when the dialog is accepted.

#include "trace/diagramme.h"

#include <QDialog>

#include <memory>

namespace Ui
{
class Dialogue_Projet;
}

class Dialogue_Projet : public QDialog
{
    Q_OBJECT

public:
    explicit Dialogue_Projet(const Projet &projet, QWidget *parent = nullptr);
    ~Dialogue_Projet() override;

    // What the fields hold now, as typed.
    Projet valeur() const;

private:
    std::unique_ptr<Ui::Dialogue_Projet> ui;
};

#endif
