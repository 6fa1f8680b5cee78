// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_ECRITURE_ECRITURE_H
#define ORVANE_ECRITURE_ECRITURE_H

// Every file the program writes goes through here, whole or not at all, and a failure comes
// back as its cause in French.
//
// A regular file, or a new one, is written to a temporary file beside it that is renamed over
// it only once every write and the last flush have succeeded: a full disk, a refused write or a
// cut-off encoder leave the old file byte for byte and no new one. A character device or a FIFO
// is written into directly, since renaming over it would replace the node itself (as root,
// /dev/null with a regular file); a FIFO that nobody reads is refused rather than waited for.
// Any other kind of file (a block device, a socket) is refused.
//
// A cause is a fragment with neither capital nor final full stop ("le disque est plein"), to
// follow the caller's sentence that names the file.

#include <QString>

#include <memory>

class QByteArray;
class QFile;
class QFileDevice;
class QIODevice;

// The cause of a failed system call `code` (an errno value) in French: the program's own words
// for the common ones (a folder, no space, no permission, a missing folder, a read-only file
// system ...), otherwise a French sentence with the system's text.
QString raison_ecriture(int code);

class Ecriture_Fichier
{
public:
    explicit Ecriture_Fichier(const QString &chemin);
    // Without a successful terminer(), nothing is left behind.
    ~Ecriture_Fichier();
    Ecriture_Fichier(const Ecriture_Fichier &) = delete;
    Ecriture_Fichier &operator=(const Ecriture_Fichier &) = delete;

    // Opens the target for writing; false with raison() when it cannot be written at all.
    bool ouvrir();
    // Where the bytes go once open. A write that fails there is remembered, even when the
    // writer does not look at what write() returns.
    QIODevice &sortie();
    // The writer failed on its own (an encoder short of memory): nothing will be committed.
    void abandonner(const QString &raison);
    // Flushes, checks that every write and the flush succeeded, and only then puts the file in
    // place. False with raison() otherwise, the old file untouched.
    bool terminer();
    // The cause of the failure, in French; empty while nothing failed.
    const QString &raison() const { return raison_; }

private:
    bool echouer(int code);

    QString chemin_;
    std::unique_ptr<QFileDevice> fichier_;
    // The errno of the first failed write, 0 while none failed.
    int code_ = 0;
    bool direct_ = false;
    QString raison_;
};

// Writes `octets` to `chemin` as above; the cause in French, or an empty string once written.
QString ecrire_fichier(const QString &chemin, const QByteArray &octets);

// The reading side of the same care: opens `chemin` in `fichier` for reading when it is a
// regular file, checked on the opened file itself and without ever waiting on a FIFO or a
// device. The cause in French otherwise ("le fichier n'existe pas", "c'est un dossier", "ce
// n'est pas un fichier ordinaire", ...), an empty string once open.
QString ouvrir_lecture(QFile &fichier, const QString &chemin);

#endif
