// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "site/dialogue_projet.h"

#include "ui_dialogue_projet.h"

Dialogue_Projet::Dialogue_Projet(const Projet &projet, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::Dialogue_Projet>())
{
    ui->setupUi(this);
    ui->nom->setText(projet.nom);
    ui->adresse->setText(projet.adresse);
    ui->client->setText(projet.client);
    ui->auteur->setText(projet.auteur);
}

Dialogue_Projet::~Dialogue_Projet() = default;

Projet Dialogue_Projet::valeur() const
{
    return {ui->nom->text(), ui->adresse->text(), ui->client->text(), ui->auteur->text()};
}
