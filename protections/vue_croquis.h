// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_PROTECTIONS_VUE_CROQUIS_H
#define ORVANE_PROTECTIONS_VUE_CROQUIS_H

// Paints one of the window dialog's sketches (protections/croquis.h), its plan or its section,
// from the value it was last given.

#include "ombrage/ombrage.h"

#include <QWidget>

class Vue_Croquis : public QWidget
{
    Q_OBJECT

public:
    enum class Genre { Plan, Coupe };

    explicit Vue_Croquis(Genre genre, QWidget *parent = nullptr);

    // Draws `ombrage` from now on, `choisi` (the table's wall, -1: none) standing out.
    void montrer(const Ombrage &ombrage, int choisi);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const Genre genre;
    Ombrage ombrage;
    int choisi = -1;
};

#endif
