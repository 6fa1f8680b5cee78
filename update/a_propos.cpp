// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#include "update/a_propos.h"

#include "app/fenetre_principale.h"
#include "update/lien_web.h"

#include <QMessageBox>
#include <QUrl>

QString texte_a_propos(const QString &version, const QDate &aujourdhui)
{
    const QString annee = QString::number(aujourdhui.year());
    // The disclaimer closes the text; it is empty.
    const QString avertissement;
    return QStringLiteral("<p>Version de l'application: ") + version + QStringLiteral("</p>") +
           QStringLiteral("<p>Conçu et développé par <b>l'équipe Orvane</b>.</p>") +
           QStringLiteral("<p><a href=\"https://www.orvane.example/\">"
                          "https://www.orvane.example/</a></p>") +
           QStringLiteral("<p>© %1-%2</p>").arg(premiere_annee_a_propos).arg(annee) + avertissement;
}

void Fenetre_Principale::on_actionA_propos_de_triggered()
{
    QMessageBox::information(this, tr("A propos de..."),
                             texte_a_propos(version_application, QDate::currentDate()),
                             QMessageBox::Ok, QMessageBox::NoButton);
}

void Fenetre_Principale::on_bouton_donation_clicked()
{
    if (!ouvrir_lien_web(QUrl(adresse_page_don, QUrl::TolerantMode)))
        QMessageBox::warning(this, tr("Erreur"),
                             tr("<b>ATTENTION :</b> Une erreur est survenue lors de l'ouverture "
                                "du lien. Vérifiez votre connexion internet dans un premier "
                                "temps."),
                             QMessageBox::Ok);
}
