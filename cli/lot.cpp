// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// A batch is checked whole before anything is drawn: each line becomes the arguments of a
// command line and goes through the command line's own reading. It is then drawn by worker
// processes forked once the toolkit is not yet started, each taking every n-th line and
// reporting each line done on a pipe: the scene and the encoders stay single-threaded, and a
// worker costs one start of the toolkit, not one per diagram.
#include "cli/lot.h"
#include "cli/ligne_de_commande.h"
#include "diagram/scene.h"
#include "ecriture/ecriture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QTextCodec>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <poll.h>
#include <sched.h>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>

namespace
{

const QString nom_programme = QStringLiteral("orvane");

// The options that are no column: they are the batch's own, or print rather than draw.
const QStringList hors_colonnes = {QStringLiteral("lot"), QStringLiteral("silencieux"),
                                   QStringLiteral("help"), QStringLiteral("version")};
// The columns whose cell holds several values, separated by spaces, each given as the option
// once.
const QStringList colonnes_repetees = {QStringLiteral("date"), QStringLiteral("obstacle")};
// The most refused lines said one by one; the others are counted.
constexpr int lignes_refusees_dites = 20;
// The columns that name a file the line writes.
const QStringList colonnes_fichiers = {QStringLiteral("export"), QStringLiteral("tableau"),
                                       QStringLiteral("enregistrer-site"),
                                       QStringLiteral("annee-fenetre")};

// The cells of a line split at `;`; a cell in double quotes may hold `;` and `""`.
QStringList cellules(const QString &ligne)
{
    QStringList resultat;
    QString cellule;
    bool entre_guillemets = false;
    for (int i = 0; i < ligne.size(); ++i) {
        const QChar c = ligne[i];
        if (entre_guillemets) {
            if (c == QLatin1Char('"') && i + 1 < ligne.size() && ligne[i + 1] == QLatin1Char('"'))
                cellule += ligne[++i];
            else if (c == QLatin1Char('"'))
                entre_guillemets = false;
            else
                cellule += c;
        } else if (c == QLatin1Char('"')) {
            entre_guillemets = true;
        } else if (c == QLatin1Char(';')) {
            resultat << cellule.trimmed();
            cellule.clear();
        } else {
            cellule += c;
        }
    }
    resultat << cellule.trimmed();
    return resultat;
}

// Where `chemin` leads once written: the existing file's real path, or its folder's plus its
// name, following links that lead nowhere yet, so that two names of one file are one.
QString chemin_reel(const QString &chemin)
{
    QFileInfo info(QFileInfo(chemin).absoluteFilePath());
    // A bound on the links followed: a loop of links leads nowhere.
    for (int liens = 0; liens < 40 && info.isSymLink() && !info.exists(); ++liens)
        info = QFileInfo(info.symLinkTarget());
    if (info.exists())
        return info.canonicalFilePath();
    const QString dossier = QFileInfo(info.absolutePath()).canonicalFilePath();
    return dossier.isEmpty() ? QDir::cleanPath(info.absoluteFilePath())
                             : dossier + QLatin1Char('/') + info.fileName();
}

// Whether `c` is a control character or an invisible mark that no cell holds by intent: a byte
// order mark inside the file, the ^Z of old systems' text files.
bool caractere_refuse(QChar c)
{
    const ushort u = c.unicode();
    return (u < 0x20 && u != '\t') || (u >= 0x7f && u < 0xa0) || u == 0xfeff;
}

// The column an option's message is about ("--latitude : ..." is the latitude's), or an empty
// string when it names none of `colonnes`.
QString colonne_du_message(const QString &message, const QStringList &colonnes)
{
    if (!message.startsWith(QLatin1String("--")))
        return QString();
    const QString nom = message.mid(2).section(QLatin1Char(' '), 0, 0);
    return colonnes.contains(nom) ? nom : QString();
}

// The cores this process may run on.
int coeurs_disponibles()
{
    cpu_set_t ensemble;
    CPU_ZERO(&ensemble);
    if (sched_getaffinity(0, sizeof(ensemble), &ensemble) != 0)
        return 1;
    return std::max(1, CPU_COUNT(&ensemble));
}

bool ecrire_tout(int descripteur, const QByteArray &octets)
{
    const char *debut = octets.constData();
    qsizetype reste = octets.size();
    while (reste > 0) {
        const ssize_t ecrit = ::write(descripteur, debut, static_cast<size_t>(reste));
        if (ecrit < 0 && errno == EINTR)
            continue;
        if (ecrit <= 0)
            return false;
        debut += ecrit;
        reste -= ecrit;
    }
    return true;
}

// The progress on a terminal: done / total, rate and time left, redrawn at most ten times a
// second on one line; the program's messages print above it.
class Progression
{
public:
    Progression(QTextStream &erreurs, int total, bool active)
        : erreurs_(erreurs), total_(total), active_(active)
    {
        horloge_.start();
    }

    void avancer(int faits)
    {
        if (faits == faits_ && affichee_)
            return;
        faits_ = faits;
        if (active_ && (faits_ == total_ || horloge_.elapsed() - dernier_ >= 100))
            afficher();
    }

    void dire(const QString &message)
    {
        if (active_ && affichee_)
            erreurs_ << "\r\x1b[K";
        erreurs_ << message << '\n';
        erreurs_.flush();
        affichee_ = false;
    }

    // The progress line ends, and a summary follows it: "200 diagrammes en 0,9 s".
    void finir()
    {
        if (!active_)
            return;
        if (affichee_)
            erreurs_ << '\n';
        erreurs_ << texte_bilan(total_, horloge_.elapsed()) << '\n';
        erreurs_.flush();
        affichee_ = false;
    }

private:
    void afficher()
    {
        dernier_ = horloge_.elapsed();
        const double secondes = static_cast<double>(dernier_) / 1000.0;
        const double cadence = secondes > 0.0 ? faits_ / secondes : 0.0;
        const QString reste =
            cadence > 0.0
                ? QStringLiteral("%1 s").arg(std::ceil((total_ - faits_) / cadence), 0, 'f', 0)
                : QStringLiteral("?");
        erreurs_ << "\r\x1b[K"
                 << QStringLiteral("%1/%2 diagrammes, %3 par seconde, reste %4")
                        .arg(faits_)
                        .arg(total_)
                        .arg(QLocale(QLocale::French).toString(cadence, 'f', 1), reste);
        erreurs_.flush();
        affichee_ = true;
    }

    QTextStream &erreurs_;
    int total_;
    int faits_ = 0;
    bool active_;
    bool affichee_ = false;
    QElapsedTimer horloge_;
    qint64 dernier_ = -1000;
};

bool sur_un_terminal(QTextStream &flux)
{
    const auto *fichier = qobject_cast<QFile *>(flux.device());
    return fichier && fichier->handle() >= 0 && ::isatty(fichier->handle());
}

QString message_ligne(const Lot &lot, int numero, const QString &message)
{
    return QStringLiteral("%1 : --lot : « %2 », ligne %3 : %4")
        .arg(nom_programme, lot.fichier)
        .arg(numero)
        .arg(message);
}

// The failures of one line, drawn and written here, on one line of text for a pipe.
QByteArray compte_rendu(int indice, const QStringList &echecs)
{
    return QByteArray::number(indice) + '\t' + echecs.join(QChar(0x1f)).toUtf8() + '\n';
}

} // namespace

QString texte_bilan(int diagrammes, qint64 millisecondes)
{
    return QStringLiteral("%1 %2 en %3 s")
        .arg(diagrammes)
        .arg(diagrammes == 1 ? QStringLiteral("diagramme") : QStringLiteral("diagrammes"))
        .arg(QLocale(QLocale::French).toString(double(millisecondes) / 1000.0, 'f', 1));
}

Lot lire_lot(const Options_Ligne &options, const QDate &aujourd_hui)
{
    const QCommandLineParser &analyse = options.analyse;
    for (const QList<QCommandLineOption> *liste : {&options.avec_valeur, &options.drapeaux})
        for (const QCommandLineOption &option : *liste)
            if (analyse.isSet(option))
                throw Erreur_usage{
                    QStringLiteral("--lot : ne va pas avec --%1 ; donnez-la en colonne du fichier")
                        .arg(option.names().constLast())};
    const QStringList valeurs = analyse.values(QStringLiteral("lot"));
    if (valeurs.size() > 1)
        throw Erreur_usage{
            QStringLiteral("--lot : donnée %1 fois, une seule attendue").arg(valeurs.size())};
    if (!analyse.positionalArguments().isEmpty())
        throw Erreur_usage{QStringLiteral("argument inattendu : « %1 »")
                               .arg(analyse.positionalArguments().first())};
    Lot lot;
    lot.fichier = valeurs.constFirst();
    if (lot.fichier.isEmpty())
        throw Erreur_usage{QStringLiteral("--lot : valeur vide")};
    const QString nomme = QStringLiteral("--lot : « %1 »").arg(lot.fichier);

    QFile fichier;
    const QString cause = ouvrir_lecture(fichier, lot.fichier);
    if (!cause.isEmpty())
        throw Erreur_usage{nomme + QStringLiteral(" ne peut être lu (%1)").arg(cause)};
    const QByteArray octets = fichier.readAll();
    if (fichier.error() != QFileDevice::NoError)
        throw Erreur_usage{nomme + QStringLiteral(" ne peut être lu (la lecture a échoué)")};
    QTextCodec::ConverterState etat;
    const QString texte = QTextCodec::codecForName("UTF-8")->toUnicode(
        octets.constData(), static_cast<int>(octets.size()), &etat);
    // A sequence cut at the end of the file is left over rather than counted invalid.
    if (etat.invalidChars > 0 || etat.remainingChars > 0)
        throw Erreur_usage{nomme + QStringLiteral(" n'est pas en UTF-8")};
    QStringList lignes = texte.split(QLatin1Char('\n'));
    for (QString &ligne : lignes)
        if (ligne.endsWith(QLatin1Char('\r')))
            ligne.chop(1);
    if (!lignes.isEmpty() && lignes.first().startsWith(QChar(0xfeff)))
        lignes.first().remove(0, 1);

    const auto erreur = [&](int numero, const QString &colonne, const QString &message) {
        return Erreur_usage{
            QStringLiteral("%1, ligne %2%3 : %4")
                .arg(nomme)
                .arg(numero)
                .arg(colonne.isEmpty() ? QString() : QStringLiteral(", colonne ") + colonne,
                     message)};
    };

    // The header: each column an option of the command line, once.
    QStringList valables;
    for (const QList<QCommandLineOption> *liste : {&options.avec_valeur, &options.drapeaux})
        for (const QCommandLineOption &option : *liste)
            if (!hors_colonnes.contains(option.names().constLast()))
                valables << option.names().constLast();
    const QStringList colonnes = cellules(lignes.value(0));
    if (lignes.value(0).trimmed().isEmpty())
        throw erreur(1, QString(),
                     QStringLiteral("la ligne d'en-tête manque (colonnes export, latitude ...)"));
    // A file written by a spreadsheet set to another separator: one cell, which no column name
    // would hold.
    const auto autre_separateur = [](const QStringList &valeurs, const QString &ligne) {
        if (valeurs.size() != 1)
            return QString();
        if (ligne.contains(QLatin1Char('\t')))
            return QStringLiteral("le séparateur des colonnes est « ; », pas la tabulation");
        if (ligne.contains(QLatin1Char(',')))
            return QStringLiteral("le séparateur des colonnes est « ; », pas la virgule");
        return QString();
    };
    if (!autre_separateur(colonnes, lignes.value(0)).isEmpty())
        throw erreur(1, QString(), autre_separateur(colonnes, lignes.value(0)));
    QStringList drapeaux;
    for (const QCommandLineOption &option : options.drapeaux)
        drapeaux << option.names().constLast();
    // A control character or a byte order mark is refused in any cell rather than taken into
    // a file name; only the mark that opens the file is dropped above.
    const auto verifier_cellules = [&](int numero, const QStringList &valeurs_ligne) {
        for (int c = 0; c < valeurs_ligne.size(); ++c)
            for (const QChar caractere : valeurs_ligne[c])
                if (caractere_refuse(caractere))
                    throw erreur(numero, numero == 1 ? QString() : colonnes.value(c),
                                 QStringLiteral("« %1 » : caractère invisible U+%2 refusé")
                                     .arg(valeurs_ligne[c],
                                          QStringLiteral("%1")
                                              .arg(caractere.unicode(), 4, 16, QLatin1Char('0'))
                                              .toUpper()));
    };
    verifier_cellules(1, colonnes);
    for (int c = 0; c < colonnes.size(); ++c) {
        if (!valables.contains(colonnes[c]))
            throw erreur(1, colonnes[c],
                         QStringLiteral("colonne inconnue ; colonnes possibles : ") +
                             valables.join(QStringLiteral(", ")));
        if (colonnes.indexOf(colonnes[c]) != c)
            throw erreur(1, colonnes[c], QStringLiteral("colonne donnée deux fois"));
    }

    // Each file written, with the line and the column that write it, and each file read: the
    // batch itself (line 0) and the lines' sites and horizons.
    QHash<QString, QPair<int, QString>> fichiers_ecrits;
    QHash<QString, QPair<int, QString>> fichiers_lus;
    fichiers_lus.insert(chemin_reel(lot.fichier), qMakePair(0, QString()));
    std::vector<std::tuple<QString, int, QString>> ecrits_dans_l_ordre;
    // Every line is checked, and each refused line said: its number and its first problem.
    std::vector<std::pair<int, QString>> refus;
    for (int i = 1; i < lignes.size(); ++i) {
        const int numero = i + 1;
        if (lignes[i].trimmed().isEmpty())
            continue;
        try {
            const QStringList valeurs_ligne = cellules(lignes[i]);
            verifier_cellules(numero, valeurs_ligne);
            if (valeurs_ligne.size() != colonnes.size()) {
                const QString separateur = autre_separateur(valeurs_ligne, lignes[i]);
                throw erreur(numero, QString(),
                             QStringLiteral("%1 cellules pour %2 colonnes%3")
                                 .arg(valeurs_ligne.size())
                                 .arg(colonnes.size())
                                 .arg(separateur.isEmpty() ? QString()
                                                           : QStringLiteral(" : ") + separateur));
            }
            QStringList arguments{nom_programme};
            QString tableau;
            bool ecrit = false;
            for (int c = 0; c < colonnes.size(); ++c) {
                const QString &colonne = colonnes[c];
                const QString &valeur = valeurs_ligne[c];
                if (valeur.isEmpty())
                    continue;
                if (colonnes_fichiers.contains(colonne))
                    ecrit = true;
                if (colonne == QLatin1String("site") || colonne == QLatin1String("masque"))
                    fichiers_lus.insert(chemin_reel(valeur), qMakePair(numero, colonne));
                if (colonne == QLatin1String("tableau")) {
                    tableau = valeur;
                    arguments << QStringLiteral("--tableau");
                } else if (drapeaux.contains(colonne)) {
                    // "Oui" and "NON" as a spreadsheet may capitalise them.
                    if (valeur.compare(QLatin1String("oui"), Qt::CaseInsensitive) == 0)
                        arguments << QStringLiteral("--") + colonne;
                    else if (valeur.compare(QLatin1String("non"), Qt::CaseInsensitive) != 0)
                        throw erreur(numero, colonne,
                                     QStringLiteral("« %1 » : attendu oui ou non").arg(valeur));
                } else if (colonnes_repetees.contains(colonne)) {
                    for (const QString &partie : valeur.split(QLatin1Char(' '), Qt::SkipEmptyParts))
                        arguments << QStringLiteral("--") + colonne << partie;
                } else {
                    arguments << QStringLiteral("--") + colonne << valeur;
                }
            }
            if (!ecrit)
                throw erreur(
                    numero, QString(),
                    QStringLiteral("rien à écrire : remplissez la colonne export, tableau ou "
                                   "enregistrer-site"));

            Options_Ligne options_ligne;
            Ligne_Lot ligne_lot;
            ligne_lot.numero = numero;
            try {
                if (!options_ligne.analyse.parse(arguments))
                    throw Erreur_usage{refus_arguments(options_ligne, arguments)};
                ligne_lot.demande = lire_demande(options_ligne, aujourd_hui);
            } catch (const Erreur_usage &refus) {
                const QString colonne = colonne_du_message(refus.message, colonnes);
                throw erreur(numero, colonne, refus.message);
            }
            ligne_lot.demande.fichier_tableau = tableau;

            const Demande &demande = ligne_lot.demande;
            for (const auto &[colonne, chemin] :
                 {qMakePair(QStringLiteral("export"), demande.fichier),
                  qMakePair(QStringLiteral("tableau"), demande.fichier_tableau),
                  qMakePair(QStringLiteral("enregistrer-site"), demande.fichier_site),
                  qMakePair(QStringLiteral("annee-fenetre"), demande.fichier_annee)}) {
                if (chemin.isEmpty())
                    continue;
                // A folder that is not there is said now, before anything is drawn, rather than
                // found missing by each line that writes into it.
                const QFileInfo dossier(QFileInfo(chemin).absolutePath());
                if (!dossier.isDir())
                    throw erreur(numero, colonne,
                                 (dossier.exists()
                                      ? QStringLiteral("« %1 » n'est pas un dossier")
                                      : QStringLiteral("le dossier « %1 » n'existe pas"))
                                     .arg(QFileInfo(chemin).path()));
                const QString absolu = chemin_reel(chemin);
                const auto deja = fichiers_ecrits.constFind(absolu);
                if (deja != fichiers_ecrits.constEnd())
                    throw erreur(
                        numero, colonne,
                        QStringLiteral("« %1 » est déjà écrit par la ligne %2 (colonne %3)")
                            .arg(chemin)
                            .arg(deja->first)
                            .arg(deja->second));
                fichiers_ecrits.insert(absolu, qMakePair(numero, colonne));
                ecrits_dans_l_ordre.emplace_back(chemin, numero, colonne);
            }
            lot.lignes.push_back(std::move(ligne_lot));
        } catch (const Erreur_usage &refusee) {
            refus.emplace_back(numero, refusee.message);
        }
    }
    // No line writes over what the batch reads, whichever line comes first.
    for (const auto &[chemin, ligne, colonne] : ecrits_dans_l_ordre) {
        const auto lu = fichiers_lus.constFind(chemin_reel(chemin));
        const int numero = ligne;
        if (lu == fichiers_lus.constEnd() ||
            std::any_of(refus.cbegin(), refus.cend(),
                        [numero](const auto &deja) { return deja.first == numero; }))
            continue;
        refus.emplace_back(
            ligne, erreur(ligne, colonne,
                          lu->first == 0
                              ? QStringLiteral("« %1 » est le fichier du lot lui-même").arg(chemin)
                              : QStringLiteral("« %1 » est lu par la ligne %2 (colonne %3)")
                                    .arg(chemin)
                                    .arg(lu->first)
                                    .arg(lu->second))
                       .message);
    }
    if (refus.empty())
        return lot;
    std::stable_sort(refus.begin(), refus.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    Erreur_usage refuse{refus.front().second, {}};
    const int dites = std::min(int(refus.size()), lignes_refusees_dites);
    for (int k = 1; k < dites; ++k)
        refuse.suite << refus[std::size_t(k)].second;
    if (int(refus.size()) > dites)
        refuse.suite << QStringLiteral("%1 : et %2 autres lignes refusées, %3 en tout")
                            .arg(nomme)
                            .arg(int(refus.size()) - dites)
                            .arg(refus.size());
    throw refuse;
}

int executer_lot(const Lot &lot, bool progression, QTextStream &erreurs)
{
    const int total = static_cast<int>(lot.lignes.size());
    Progression progres(erreurs, total, progression && sur_un_terminal(erreurs));
    int faits = 0;
    bool echec = false;
    const auto rendre_compte = [&](int indice, const QStringList &echecs) {
        for (const QString &message : echecs)
            progres.dire(
                message_ligne(lot, lot.lignes[static_cast<size_t>(indice)].numero, message));
        echec = echec || !echecs.isEmpty();
        progres.avancer(++faits);
    };

    const int ouvriers = std::min(coeurs_disponibles(), total);
    if (ouvriers <= 1 || QCoreApplication::instance()) {
        // One core, or a toolkit already running: drawn here, one line after the other.
        const Boite_Outils_Hors_Ecran boite;
        Scene scene;
        for (int i = 0; i < total; ++i) {
            QStringList echecs;
            ecrire_demande(lot.lignes[static_cast<size_t>(i)].demande, echecs, scene);
            rendre_compte(i, echecs);
        }
        progres.finir();
        return echec ? statut_echec_ecriture : statut_succes;
    }

    erreurs.flush();
    std::fflush(nullptr);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    std::vector<pid_t> processus;
    std::vector<pollfd> tubes;
    for (int k = 0; k < ouvriers; ++k) {
        int tube[2];
        if (::pipe(tube) != 0)
            break;
        const pid_t pid = ::fork();
        if (pid < 0) {
            ::close(tube[0]);
            ::close(tube[1]);
            break;
        }
        if (pid == 0) {
            ::close(tube[0]);
            for (const pollfd &autre : tubes)
                ::close(autre.fd);
            {
                const Boite_Outils_Hors_Ecran boite;
                Scene scene;
                for (int i = k; i < total; i += ouvriers) {
                    QStringList echecs;
                    ecrire_demande(lot.lignes[static_cast<size_t>(i)].demande, echecs, scene);
                    if (!ecrire_tout(tube[1], compte_rendu(i, echecs)))
                        break;
                }
            }
            ::_exit(0);
        }
        ::close(tube[1]);
        processus.push_back(pid);
        tubes.push_back({tube[0], POLLIN, 0});
    }

    // A worker that could not be started leaves its lines undone, said as failures below.
    std::vector<bool> rendus(static_cast<size_t>(total), false);
    std::vector<QByteArray> tampons(tubes.size());
    size_t ouverts = tubes.size();
    while (ouverts > 0) {
        const int prets = ::poll(tubes.data(), tubes.size(), 100);
        if (prets < 0 && errno != EINTR)
            break;
        for (size_t t = 0; t < tubes.size(); ++t) {
            if (tubes[t].fd < 0 || tubes[t].revents == 0)
                continue;
            char lu[4096];
            const ssize_t n = ::read(tubes[t].fd, lu, sizeof(lu));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                ::close(tubes[t].fd);
                tubes[t].fd = -1;
                --ouverts;
                continue;
            }
            tampons[t].append(lu, static_cast<int>(n));
            int fin;
            while ((fin = tampons[t].indexOf('\n')) >= 0) {
                const QByteArray ligne = tampons[t].left(fin);
                tampons[t].remove(0, fin + 1);
                const int indice = ligne.left(ligne.indexOf('\t')).toInt();
                const QString texte = QString::fromUtf8(ligne.mid(ligne.indexOf('\t') + 1));
                if (indice < 0 || indice >= total)
                    continue;
                rendus[static_cast<size_t>(indice)] = true;
                rendre_compte(indice, texte.isEmpty() ? QStringList() : texte.split(QChar(0x1f)));
            }
        }
        progres.avancer(faits);
    }
    for (const pid_t pid : processus) {
        int etat = 0;
        while (::waitpid(pid, &etat, 0) < 0 && errno == EINTR) {
        }
    }
    for (int i = 0; i < total; ++i)
        if (!rendus[static_cast<size_t>(i)])
            rendre_compte(i, {QStringLiteral("le processus qui la dessinait s'est arrêté avant "
                                             "de l'écrire")});
    progres.finir();
    return echec ? statut_echec_ecriture : statut_succes;
}
