// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_UPDATE_VERIFICATION_MAJ_H
#define ORVANE_UPDATE_VERIFICATION_MAJ_H

// One exchange with the update server, without any widget: plain values in (where the server
// is, the account, the deadline), the newest release or the failure out.
//
// `interroger_serveur_maj` runs the exchange in the calling thread on a connection of its own.
// The driver's time-outs bound each wait of the exchange separately, so a server that trickles
// one byte now and then could keep it going for ever; `Verification_maj` runs it on a thread of
// its own and gives the answer, or a failure, by the deadline whatever the server does.

#include <QDeadlineTimer>
#include <QMetaType>
#include <QObject>
#include <QPointer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>

#include <memory>

class QThread;

// Whole duration of one check, from the first connection attempt to the last row read, ms.
constexpr int delai_verification_ms = 6000;

// Where the update database is and the account that reads it.
struct Parametres_maj {
    QString hote;
    int port = -1; // -1: the driver's default port
    QString base;
    QString compte;
    QString mot_de_passe;
};

struct Resultat_maj {
    // The statement ran and its whole result was read.
    bool reussie = false;
    // The greatest update id among the rows (text that is not a base-10 integer counts as 0),
    // and the download address of that row (the first of them on a tie); 0 and empty without
    // any row or when the exchange failed.
    int id = 0;
    QString adresse;
    // Why the exchange failed; no error when it succeeded.
    QSqlError erreur;
};
Q_DECLARE_METATYPE(Resultat_maj)

// Connect options for the time left before `echeance`: the connect, read and write time-outs
// of the driver, each the greatest whole number of seconds shorter than the time left, at
// least 1 (0 would mean no limit).
QString options_connexion_maj(const QDeadlineTimer &echeance);

// Adds the connection `nom` with the "QMYSQL" driver, set from `parametres` and with the
// time-outs of `options_connexion_maj(echeance)`. Nothing is opened.
QSqlDatabase preparer_connexion_maj(const Parametres_maj &parametres, const QString &nom,
                                    const QDeadlineTimer &echeance);

// Opens a connection of its own in the calling thread, runs
// "CALL getApplicationLastUpdateInfo(1);", reads the whole result, then closes and removes the
// connection. Blocks; nothing new is started once `echeance` has passed, but a step under way
// is bounded only by the driver's time-outs.
Resultat_maj interroger_serveur_maj(const Parametres_maj &parametres,
                                    const QDeadlineTimer &echeance);

// One check on a thread of its own, started by the constructor. Its answer is due by the
// deadline (`delai_ms` after the construction): the result of the exchange, or a failure when
// the server has not finished by then. The thread is then left to end by itself (the driver's
// time-outs end it unless the server keeps trickling) and reaches nothing but its own
// connection and a state shared with this object.
class Verification_maj : public QObject
{
    Q_OBJECT

public:
    explicit Verification_maj(const Parametres_maj &parametres, QObject *parent = nullptr,
                              int delai_ms = delai_verification_ms);
    // Waits for the thread until the deadline at most, never later.
    ~Verification_maj() override;

    // Blocks the calling thread until the answer is due and returns it; `terminee` is not
    // emitted after this.
    Resultat_maj attendre();

    // Number of check threads of the process still running, those left behind included.
    static int en_cours();

signals:
    // Emitted once, from this object's thread, when the exchange ends or at the deadline.
    void terminee(const Resultat_maj &resultat);

private:
    struct Etat;
    void finir();

    std::shared_ptr<Etat> etat_;
    QDeadlineTimer echeance_;
    // Deleted by itself once it ends (in this object's thread), so watched.
    QPointer<QThread> fil_;
    bool emise_ = false;
};

#endif
