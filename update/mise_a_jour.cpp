// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "update/mise_a_jour.h"

#include "app/fenetre_principale.h"
#include "update/lien_web.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QSqlQuery>
#include <QUrl>
#include <QVariant>

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
    base.setConnectOptions(QStringLiteral("MYSQL_OPT_CONNECT_TIMEOUT=%1;MYSQL_OPT_READ_TIMEOUT=%1")
                               .arg(delai_attente_serveur_s));
    return base;
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
    if (!base_maj.open()) {
        if (retourner_message_si_pas_de_maj)
            QMessageBox::warning(
                this, tr("Erreur de connexion"),
                tr("<b>ATTENTION :</b> Un erreur de connexion est intervenue, empêchant la "
                   "vérification de mise à jour. Veuillez vous assurer dans un premier temps que "
                   "connexion Internet fonctionne."),
                QMessageBox::Ok);
        return;
    }

    {
        QSqlQuery requete(base_maj);
        requete.setForwardOnly(true);
        // A statement that fails passes in silence, like a result without any row.
        if (requete.exec(QStringLiteral("CALL getApplicationLastUpdateInfo(1);"))) {
            while (requete.next()) {
                // Text that is not a base-10 integer counts as 0, so as no update.
                const int id_distant = requete.value(QStringLiteral("application_update_id"))
                                           .toString()
                                           .toInt(nullptr, 10);
                if (id_distant > id_maj_application) {
                    QMessageBox offre(QMessageBox::NoIcon, tr("Mise à jour disponible"),
                                      tr("Une mise à jour de l'application est disponible. "
                                         "Voulez-vous la télécharger ?"),
                                      QMessageBox::Yes | QMessageBox::No, this);
                    offre.button(QMessageBox::Yes)->setText(tr("Oui"));
                    offre.button(QMessageBox::No)->setText(tr("Non"));
                    if (offre.exec() == QMessageBox::Yes) {
                        const QUrl adresse(
                            requete.value(QStringLiteral("url_to_download")).toString(),
                            QUrl::TolerantMode);
                        if (!ouvrir_lien_web(adresse))
                            QMessageBox::warning(
                                this, tr("Erreur"),
                                tr("<b>ATTENTION :</b> Une erreur est survenue lors de "
                                   "l'ouverture du lien de téléchargement. Vérifiez votre "
                                   "connexion internet dans un premier temps."),
                                QMessageBox::Ok);
                    }
                } else if (retourner_message_si_pas_de_maj) {
                    QMessageBox::information(this, tr("Aucune mise à jour"),
                                             tr("Aucune mise à jour n'a été trouvée."),
                                             QMessageBox::Ok);
                }
            }
        }
    }
    base_maj.close();
}

void Fenetre_Principale::rechercher_mise_a_jour_lancement_application()
{
    rechercher_mise_a_jour(false);
}
