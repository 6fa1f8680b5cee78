// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "update/verification_maj.h"

#include <QAtomicInteger>
#include <QMutex>
#include <QMutexLocker>
#include <QSqlQuery>
#include <QThread>
#include <QTimer>
#include <QVariant>
#include <QWaitCondition>

#include <algorithm>

namespace
{

QAtomicInt fils_en_cours;
QAtomicInteger<quint64> numero_connexion;

Resultat_maj echec(const QSqlError &erreur)
{
    Resultat_maj resultat;
    resultat.erreur = erreur;
    return resultat;
}

Resultat_maj echec_par_delai()
{
    return echec(QSqlError(QString(),
                           QStringLiteral("the update server did not answer by the deadline"),
                           QSqlError::ConnectionError));
}

} // namespace

QString options_connexion_maj(const QDeadlineTimer &echeance)
{
    // Whole seconds strictly within the time left, so that a silent server ends the exchange
    // before the deadline rather than at it.
    const qint64 secondes = std::max<qint64>(1, (echeance.remainingTime() - 1) / 1000);
    return QStringLiteral(
               "MYSQL_OPT_CONNECT_TIMEOUT=%1;MYSQL_OPT_READ_TIMEOUT=%1;MYSQL_OPT_WRITE_TIMEOUT=%1")
        .arg(secondes);
}

QSqlDatabase preparer_connexion_maj(const Parametres_maj &parametres, const QString &nom,
                                    const QDeadlineTimer &echeance)
{
    QSqlDatabase base = QSqlDatabase::addDatabase(QStringLiteral("QMYSQL"), nom);
    base.setHostName(parametres.hote);
    base.setPort(parametres.port);
    base.setDatabaseName(parametres.base);
    base.setUserName(parametres.compte);
    base.setPassword(parametres.mot_de_passe);
    base.setConnectOptions(options_connexion_maj(echeance));
    return base;
}

Resultat_maj interroger_serveur_maj(const Parametres_maj &parametres,
                                    const QDeadlineTimer &echeance)
{
    // A name of its own: an earlier check left behind may still hold its connection.
    const QString nom = QStringLiteral("verification_maj_%1").arg(++numero_connexion);
    Resultat_maj resultat;
    {
        QSqlDatabase base = preparer_connexion_maj(parametres, nom, echeance);
        if (echeance.hasExpired()) {
            resultat = echec_par_delai();
        } else if (!base.open()) {
            resultat = echec(base.lastError());
        } else if (echeance.hasExpired()) {
            resultat = echec_par_delai();
        } else {
            // Not forward-only: the driver reads the whole result while running the statement,
            // so a server that stops answering half-way fails the statement instead of looking
            // like the end of the rows.
            QSqlQuery requete(base);
            if (!requete.exec(QStringLiteral("CALL getApplicationLastUpdateInfo(1);"))) {
                resultat = echec(requete.lastError());
            } else {
                resultat.reussie = true;
                bool ligne_lue = false;
                while (requete.next()) {
                    const int id = requete.value(QStringLiteral("application_update_id"))
                                       .toString()
                                       .toInt(nullptr, 10);
                    if (!ligne_lue || id > resultat.id) {
                        resultat.id = id;
                        resultat.adresse =
                            requete.value(QStringLiteral("url_to_download")).toString();
                        ligne_lue = true;
                    }
                }
            }
        }
        base.close();
    }
    QSqlDatabase::removeDatabase(nom);
    return resultat;
}

// What the check's thread and the object that started it share; it outlives whichever of the
// two ends first.
struct Verification_maj::Etat {
    QMutex verrou;
    QWaitCondition fin;
    bool finie = false;
    Resultat_maj resultat;
};

Verification_maj::Verification_maj(const Parametres_maj &parametres, QObject *parent, int delai_ms)
    : QObject(parent), etat_(std::make_shared<Etat>()), echeance_(delai_ms, Qt::PreciseTimer)
{
    qRegisterMetaType<Resultat_maj>();
    fils_en_cours.ref();
    fil_ = QThread::create([etat = etat_, parametres, echeance = echeance_] {
        const Resultat_maj resultat = interroger_serveur_maj(parametres, echeance);
        {
            QMutexLocker verrou(&etat->verrou);
            etat->resultat = resultat;
            etat->finie = true;
            etat->fin.wakeAll();
        }
        fils_en_cours.deref();
    });
    // A thread left behind deletes itself once it ends; this object hears of the end only
    // while it lives.
    connect(fil_, &QThread::finished, fil_, &QObject::deleteLater);
    connect(fil_, &QThread::finished, this, &Verification_maj::finir);
    QTimer::singleShot(std::max<qint64>(0, echeance_.remainingTime()), Qt::PreciseTimer, this,
                       &Verification_maj::finir);
    fil_->start();
}

Verification_maj::~Verification_maj()
{
    if (fil_ && fil_->wait(echeance_))
        delete fil_;
}

Resultat_maj Verification_maj::attendre()
{
    emise_ = true;
    QMutexLocker verrou(&etat_->verrou);
    while (!etat_->finie)
        if (!etat_->fin.wait(&etat_->verrou, echeance_))
            break;
    return etat_->finie ? etat_->resultat : echec_par_delai();
}

int Verification_maj::en_cours()
{
    return fils_en_cours.loadAcquire();
}

void Verification_maj::finir()
{
    if (emise_)
        return;
    emise_ = true;
    Resultat_maj resultat;
    {
        QMutexLocker verrou(&etat_->verrou);
        resultat = etat_->finie ? etat_->resultat : echec_par_delai();
    }
    emit terminee(resultat);
}
