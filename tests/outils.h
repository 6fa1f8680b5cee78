// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_TESTS_OUTILS_H
#define ORVANE_TESTS_OUTILS_H

// Small helpers shared by the test programs.

#include <QLatin1String>
#include <QObject>
#include <QtGlobal>

#include <csignal>
#include <sys/resource.h>

// The child of `parent` of type T named `nom`. A missing one stops the test program with the
// name, rather than letting the test dereference a null pointer.
template <typename T> T *enfant(QObject &parent, const char *nom)
{
    T *w = parent.findChild<T *>(QLatin1String(nom));
    if (!w)
        qFatal("no widget %s", nom);
    return w;
}

// Keeps the process from writing any file beyond `octets` bytes while it lives, as a full
// disk would: the write fails (EFBIG) instead of the signal ending the process.
struct Disque_plein {
    explicit Disque_plein(rlim_t octets)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &avant);
        rlimit limite = avant;
        limite.rlim_cur = octets;
        setrlimit(RLIMIT_FSIZE, &limite);
    }
    ~Disque_plein()
    {
        setrlimit(RLIMIT_FSIZE, &avant);
        std::signal(SIGXFSZ, SIG_DFL);
    }
    rlimit avant{};
};

#endif
