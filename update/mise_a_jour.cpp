// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "update/mise_a_jour.h"

#include "app/fenetre_principale.h"
#include "update/lien_web.h"
#include "update/verification_maj.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QUrl>

namespace
{

// The update server; both are build options (see the README).
constexpr const char hote_serveur_maj[] = ORVANE_UPDATE_HOST;
constexpr int port_serveur_maj = ORVANE_UPDATE_PORT;

} // namespace

QSqlDatabase configurer_connexion_maj()
{
    QSqlDatabase base = QSqlDatabase::addDatabase(QStringLiteral("QMYSQL"), nom_connexion_maj);
    base.setHostName(QString::fromUtf8(hote_serveur_maj));
    base.setDatabaseName(QStringLiteral("qorvalen_applications"));
    base.setUserName(QStringLiteral("qorvalen_applic"));
    base.setPassword(QStringLiteral("Rk4!wQ~8zNp2"));
    base.setPort(port_serveur_maj);
    return base;
}

Parametres_maj parametres_maj(const QSqlDatabase &base)
{
    Parametres_maj parametres;
    parametres.hote = base.hostName();
    parametres.port = base.port();
    parametres.base = base.databaseName();
    parametres.compte = base.userName();
    parametres.mot_de_passe = base.password();
    return parametres;
}

void retirer_connexion_maj(QSqlDatabase &base)
{
    base.close();
    base = QSqlDatabase();
    QSqlDatabase::removeDatabase(nom_connexion_maj);
}

void Fenetre_Principale::on_actionRechercher_une_mise_jour_triggered()
{
    rechercher_mise_a_jour(true);
}

void Fenetre_Principale::rechercher_mise_a_jour(bool retourner_message_si_pas_de_maj)
{
    Resultat_maj resultat;
    if (verification_lancement) {
        // The start-up check is still under way: its answer is due sooner than a new one's.
        resultat = verification_lancement->attendre();
        verification_lancement->deleteLater();
        verification_lancement = nullptr;
    } else {
        Verification_maj verification(parametres_maj(base_maj));
        resultat = verification.attendre();
    }
    annoncer_mise_a_jour(resultat, retourner_message_si_pas_de_maj);
}

void Fenetre_Principale::rechercher_mise_a_jour_lancement_application()
{
    if (verification_lancement)
        return;
    verification_lancement = new Verification_maj(parametres_maj(base_maj), this);
    connect(verification_lancement, &Verification_maj::terminee, this,
            &Fenetre_Principale::verification_lancement_terminee, Qt::QueuedConnection);
}

void Fenetre_Principale::verification_lancement_terminee(const Resultat_maj &resultat)
{
    // A check from the menu that took the start-up check over has answered already.
    if (!verification_lancement || sender() != verification_lancement)
        return;
    verification_lancement->deleteLater();
    verification_lancement = nullptr;
    annoncer_mise_a_jour(resultat, false);
}

void Fenetre_Principale::annoncer_mise_a_jour(const Resultat_maj &resultat,
                                              bool retourner_message_si_pas_de_maj)
{
    // A failed exchange, whatever the step, is reported as the connection failure it most
    // often is: the user learns that the check did not take place.
    if (!resultat.reussie) {
        if (retourner_message_si_pas_de_maj)
            QMessageBox::warning(
                this, tr("Erreur de connexion"),
                tr("<b>ATTENTION :</b> Un erreur de connexion est intervenue, empêchant la "
                   "vérification de mise à jour. Veuillez vous assurer dans un premier temps que "
                   "connexion Internet fonctionne."),
                QMessageBox::Ok);
        return;
    }
    if (resultat.id > id_maj_application) {
        QMessageBox offre(QMessageBox::NoIcon, tr("Mise à jour disponible"),
                          tr("Une mise à jour de l'application est disponible. "
                             "Voulez-vous la télécharger ?"),
                          QMessageBox::Yes | QMessageBox::No, this);
        offre.button(QMessageBox::Yes)->setText(tr("Oui"));
        offre.button(QMessageBox::No)->setText(tr("Non"));
        if (offre.exec() == QMessageBox::Yes &&
            !ouvrir_lien_web(QUrl(resultat.adresse, QUrl::TolerantMode)))
            QMessageBox::warning(this, tr("Erreur"),
                                 tr("<b>ATTENTION :</b> Une erreur est survenue lors de "
                                    "l'ouverture du lien de téléchargement. Vérifiez votre "
                                    "connexion internet dans un premier temps."),
                                 QMessageBox::Ok);
    } else if (retourner_message_si_pas_de_maj) {
        QMessageBox::information(this, tr("Aucune mise à jour"),
                                 tr("Aucune mise à jour n'a été trouvée."), QMessageBox::Ok);
    }
}
