// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// The toolkit's saved file checks its writes but not the flush that its close does before the
// rename, and its error texts are English and often vague ("Unknown error" for a write cut
// short): each write is watched here instead, with the errno of the first that failed.
#include "ecriture/ecriture.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace
{

// A file that keeps the errno of its first failed write in `code`.
template <class Fichier> class Fichier_Surveille : public Fichier
{
public:
    template <class... Arguments>
    explicit Fichier_Surveille(int &code, Arguments &&...arguments)
        : Fichier(std::forward<Arguments>(arguments)...), code_(code)
    {
    }

protected:
    qint64 writeData(const char *octets, qint64 nombre) override
    {
        errno = 0;
        const qint64 ecrits = Fichier::writeData(octets, nombre);
        if (ecrits != nombre && code_ == 0)
            code_ = errno != 0 ? errno : EIO;
        return ecrits;
    }

private:
    int &code_;
};

} // namespace

QString raison_ecriture(int code)
{
    switch (code) {
    case EISDIR:
        return QStringLiteral("c'est un dossier");
    case ENOSPC:
        return QStringLiteral("le disque est plein");
    case EDQUOT:
        return QStringLiteral("le quota du disque est atteint");
    case EFBIG:
        return QStringLiteral("le fichier dépasserait la taille permise");
    case EACCES:
    case EPERM:
        return QStringLiteral("vous n'avez pas la permission d'écrire à cet endroit");
    case ENOENT:
        return QStringLiteral("le dossier n'existe pas");
    case ENOTDIR:
        return QStringLiteral("un élément du chemin n'est pas un dossier");
    case EROFS:
        return QStringLiteral("le système de fichiers est en lecture seule");
    case ENAMETOOLONG:
        return QStringLiteral("le nom du fichier est trop long");
    case ENXIO:
        return QStringLiteral("aucun programme ne lit ce tube");
    case EBADF:
        return QStringLiteral("la sortie est fermée");
    default:
        return QStringLiteral("le système a refusé l'écriture (%1)").arg(qt_error_string(code));
    }
}

Ecriture_Fichier::Ecriture_Fichier(const QString &chemin) : chemin_(chemin)
{
}

Ecriture_Fichier::~Ecriture_Fichier() = default;

bool Ecriture_Fichier::echouer(int code)
{
    if (raison_.isEmpty())
        raison_ = raison_ecriture(code);
    // A saved file that is not committed takes its temporary file away with it.
    fichier_.reset();
    return false;
}

bool Ecriture_Fichier::ouvrir()
{
    const QFileInfo info(chemin_);
    const QByteArray natif = QFile::encodeName(info.absoluteFilePath());
    struct stat etat {
    };
    if (::stat(natif.constData(), &etat) == 0) {
        if (S_ISDIR(etat.st_mode))
            return echouer(EISDIR);
        direct_ = S_ISCHR(etat.st_mode) || S_ISFIFO(etat.st_mode);
        if (!direct_ && !S_ISREG(etat.st_mode)) {
            raison_ = QStringLiteral("ce n'est pas un fichier ordinaire");
            return false;
        }
    } else if (errno == ENOENT || errno == ENOTDIR) {
        const QFileInfo dossier(info.absolutePath());
        if (!dossier.exists())
            raison_ = QStringLiteral("le dossier « %1 » n'existe pas")
                          .arg(QDir::toNativeSeparators(dossier.filePath()));
        else if (!dossier.isDir())
            raison_ = QStringLiteral("« %1 » n'est pas un dossier")
                          .arg(QDir::toNativeSeparators(dossier.filePath()));
        if (!raison_.isEmpty())
            return false;
    } else {
        return echouer(errno);
    }

    if (direct_) {
        // Opened without waiting, so that a FIFO with no reader is refused instead of blocking
        // the program; the writes wait again for a slow reader.
        const int descripteur = ::open(natif.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (descripteur < 0)
            return echouer(errno);
        ::fcntl(descripteur, F_SETFL, ::fcntl(descripteur, F_GETFL) & ~O_NONBLOCK);
        auto fichier = std::make_unique<Fichier_Surveille<QFile>>(code_);
        if (!fichier->open(descripteur, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
            ::close(descripteur);
            return echouer(EIO);
        }
        fichier_ = std::move(fichier);
        return true;
    }

    // The saved file refuses an existing file it may not write, without an errno to say so.
    if (info.exists() && !info.isWritable())
        return echouer(EACCES);
    auto fichier = std::make_unique<Fichier_Surveille<QSaveFile>>(code_, chemin_);
    errno = 0;
    if (!fichier->open(QIODevice::WriteOnly)) {
        const int code = errno != 0 ? errno : EIO;
        // A folder that exists yet has no room for a new name (/proc) says "no such file".
        if (code == ENOENT && QFileInfo(info.absolutePath()).isDir())
            raison_ = QStringLiteral("ce dossier n'accepte pas de nouveau fichier");
        return echouer(code);
    }
    fichier_ = std::move(fichier);
    return true;
}

QIODevice &Ecriture_Fichier::sortie()
{
    return *fichier_;
}

void Ecriture_Fichier::abandonner(const QString &raison)
{
    if (raison_.isEmpty())
        raison_ = raison;
}

bool Ecriture_Fichier::terminer()
{
    if (!fichier_)
        return false;
    if (code_ == 0 && raison_.isEmpty()) {
        errno = 0;
        if (!fichier_->flush() && code_ == 0)
            code_ = errno != 0 ? errno : EIO;
    }
    // A failed write is the true cause of an encoder that gave up after it.
    if (code_ != 0)
        raison_.clear();
    if (code_ != 0 || !raison_.isEmpty())
        return echouer(code_);
    errno = 0;
    bool fait = false;
    if (direct_) {
        fichier_->close();
        fait = fichier_->error() == QFileDevice::NoError;
    } else {
        // A file system may say that it is full only when the bytes reach the disk: the saved
        // file syncs too before its rename, but does not look at the answer.
        if (::fdatasync(fichier_->handle()) != 0)
            return echouer(errno);
        fait = static_cast<QSaveFile &>(*fichier_).commit();
    }
    if (!fait)
        return echouer(errno != 0 ? errno : EIO);
    fichier_.reset();
    return true;
}

QString ecrire_fichier(const QString &chemin, const QByteArray &octets)
{
    Ecriture_Fichier fichier(chemin);
    if (fichier.ouvrir()) {
        fichier.sortie().write(octets);
        fichier.terminer();
    }
    return fichier.raison();
}

QString ouvrir_lecture(QFile &fichier, const QString &chemin)
{
    const QByteArray natif = QFile::encodeName(chemin);
    const int descripteur = ::open(natif.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descripteur < 0) {
        const int code = errno;
        switch (code) {
        case ENOENT:
            return QStringLiteral("le fichier n'existe pas");
        case EACCES:
        case EPERM:
            return QStringLiteral("vous n'avez pas la permission de le lire");
        default:
            return QStringLiteral("le système a refusé la lecture (%1)").arg(qt_error_string(code));
        }
    }
    struct stat etat {
    };
    QString cause;
    if (::fstat(descripteur, &etat) != 0)
        cause = QStringLiteral("le système a refusé la lecture (%1)").arg(qt_error_string(errno));
    else if (S_ISDIR(etat.st_mode))
        cause = QStringLiteral("c'est un dossier");
    else if (!S_ISREG(etat.st_mode))
        cause = QStringLiteral("ce n'est pas un fichier ordinaire");
    else if (!fichier.open(descripteur, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        cause = QStringLiteral("le fichier ne peut pas être lu");
    if (!cause.isEmpty())
        ::close(descripteur);
    return cause;
}
