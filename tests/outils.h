// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_TESTS_OUTILS_H
#define ORVANE_TESTS_OUTILS_H

// Small helpers shared by the test programs.

#include <QLatin1String>
#include <QObject>
#include <QtGlobal>

// The child of `parent` of type T named `nom`. A missing one stops the test program with the
// name, rather than letting the test dereference a null pointer.
template <typename T> T *enfant(QObject &parent, const char *nom)
{
    T *w = parent.findChild<T *>(QLatin1String(nom));
    if (!w)
        qFatal("no widget %s", nom);
    return w;
}

#endif
