// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
#ifndef ORVANE_APP_FENETRE_PRINCIPALE_H
#define ORVANE_APP_FENETRE_PRINCIPALE_H

// The main window: every input widget, the graphics view that shows the diagram, the output
// table and the menus.
//
// How an input change becomes a redrawn diagram: the widgets are the model of the inputs and
// the saved dates (`dates_enregistrees`) are the program's one store of its own. Each slot
// answering a widget ends in one call of `course_Soleil`, which reads the widgets and the saved
// dates into a `Description_Diagramme` (trace/diagramme.h) and has `dessiner_diagramme` clear
// the scene and draw it again from that description: the latitude caption, the chosen date
// (Mode 1) or the valid months (Mode 2), the limit courses and hour lines when their boxes are
// ticked, the saved dates in their colours. The rows it returns refill the output table. When
// "Conserver les masques" is ticked the mask table is validated and the description drawn once
// more with the outline on top. Nothing drawn is updated in place. The view then repaints: the
// Scene paints its sky disc from its diameter and the committed display options, and the items
// on top. The command line (cli/) draws the same descriptions without a window. Coupled widgets
// (date edit and day slider, latitude spin box and slider) signal each other without blocked
// signals; each cycle ends because a widget signals only a real change of value.
//
// A site file (site/site.h) holds the whole of these inputs: opening one puts them all into the
// widgets at once and draws once. The same value is what "Annuler" and "Rétablir" work on
// (historique/historique.h): every rebuild, saved date, options "OK" and typed mask cell hands
// the site as the widgets hold it to the history, which keeps a step when it differs from the
// last; an action that changes several inputs in turn (a horizon imported, the table emptied, a
// site opened) is one named step. Undoing puts a whole site back through the path that opens
// one. The title's "*" follows the history's clean state, set when the window starts and when a
// site is opened or saved.
//
// The slots are connected by name when the form is set up. Other connections: the answer of
// the update check that runs in the background at start-up; the mask model's own change
// signals, which no widget slot sees, to the history; and the history's stack to the texts and
// states of "Annuler" and "Rétablir" and to the title's "*", since a stack is no widget of the
// form.

#include "historique/historique.h"
#include "site/site.h"
#include "solar/soleil.h"
#include "trace/diagramme.h"
#include "trace/lecture.h"

#include <QDate>
#include <QMainWindow>
#include <QPointF>
#include <QPointer>
#include <QSqlDatabase>
#include <QString>

#include <array>
#include <memory>
#include <vector>

namespace Ui
{
class Fenetre_Principale;
}

class Delegate;
class Dialogue_Annee;
class QCloseEvent;
class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QResizeEvent;
class QStandardItemModel;
class Saisie_Regroupee;
class Scene;
class Verification_maj;
struct Resultat_maj;

class Fenetre_Principale : public QMainWindow
{
    Q_OBJECT

public:
    // `aujourdhui` is the date the window starts on (the date edit, its slider and the year of
    // Mode 2); tests give their own.
    explicit Fenetre_Principale(QWidget *parent = nullptr,
                                const QDate &aujourdhui = QDate::currentDate());
    ~Fenetre_Principale() override;

    // The view's pointer: moving over the disc shows in the status bar what lies under it
    // (`texte_lecture`); leaving the disc or the view clears it. The view resized alone (the
    // splitter's handle) has the scene fitted again; the panel resized has its groups stacked
    // or not (`agencer_panneau`); '.' and ',' typed in the latitude or longitude are the
    // decimal separator.
    bool eventFilter(QObject *objet, QEvent *evenement) override;

    // Opens the site file `chemin` as "Ouvrir un site..." does, once the event loop runs (a
    // file dropped on the window, or given on the command line): a refused file shows its
    // message over the window, which stays as it was.
    void ouvrir_site_differe(const QString &chemin);

private slots:
    // Fits the scene to the view (`ajuster_scene`) and rebuilds, when the view's size changed;
    // the view also follows the splitter's handle (see `eventFilter`).
    void resizeEvent(QResizeEvent *event) override;
    // Draws the diagram again from the widgets, refilling the output table.
    void course_Soleil();
    // Mask table and outline: validates the table, rebuilds and draws the outline.
    void on_bouton_masques_clicked();
    // Latitude in degrees, north positive, −90..90; the slider carries its whole part.
    void on_latitude_valueChanged(double arg1);
    // The date edit leads; the day slider (day of the year, 1..365 or 366) follows it.
    void on_Date_dateChanged(QDate date);
    // Appends `spinBox_nbLignes_tab` empty rows, or warns beyond `NbPointsMasqueMAX` rows.
    void on_Bouton_ajoutLignes_clicked();
    void on_check_limite_clicked();
    void on_check_heures_clicked();
    // Back to 6 empty rows, "Conserver les masques" unticked and disabled, then a rebuild.
    void on_bouton_effacer_tableau_clicked();
    // A fresh 6 x 2 mask model attached to `tableView_masques`.
    void configurer_tableau_masques();
    // Rebuilds; once unticked, the outline on screen is drawn once more.
    void on_check_conserver_masques_clicked();
    // "en paliers" or "en ligne droite": the outline on screen is drawn again.
    void on_combo_jonction_currentIndexChanged(int index);
    // Asks for a file name and writes the diagram there as JPEG, PNG, SVG or PDF, at the size
    // of the view in pixels; a failed write is reported and leaves an existing file whole.
    void enregistrerDiagramme();
    void on_slider_latitude_valueChanged(int value);
    void on_slider_date_valueChanged(int value);
    // Month (1..12) and day of the month of day number `nbJour` (1 for 1 January), counted in
    // the year of the date edit. Day numbers outside that year give days outside 1..31.
    int mois_depuis_num(int nbJour);
    int jour_depuis_num(int nbJour);
    // Saves the current date in the slot of its day of the year (at most twelve dates).
    void on_Bouton_Enregistrer_Date_clicked();
    void on_Bouton_reinitialiser_clicked();
    // Decimal hours as text: 6.5 → "6h30", 24 → "24h00"; minutes rounded half up, 6.995 →
    // "7h00".
    QString conversion_heure(double heure);
    void activation_mode_choisir_date();
    void activation_mode_date_par_mois();
    void ouverture_fenetre_affichage();
    void on_spinBox_numero_jour_valueChanged(int arg1);
    void on_spinBox_annee_valueChanged(int arg1);
    void on_actionExporter_le_diagramme_triggered();
    // Prints the report page of the diagram (as the PDF export draws it) through the print
    // dialog; a printer that fails is reported.
    void on_actionImprimer_triggered();
    void on_actionChoisir_ses_dates_triggered();
    void on_actionChoisir_le_jour_pour_les_mois_triggered();
    void on_actionOptions_graphiques_triggered();
    void on_actionA_propos_de_triggered();
    void on_actionRechercher_une_mise_jour_triggered();
    void rechercher_mise_a_jour(bool retourner_message_si_pas_de_maj);
    // Starts the check in the background; the window goes on answering meanwhile.
    void rechercher_mise_a_jour_lancement_application();
    void on_actionQuitter_triggered();
    void on_bouton_donation_clicked();
    // "Importer un horizon..." (the "Masques" group and the "Fichier" menu): a horizon file,
    // read and previewed in its dialog, replaces the mask table's rows and is drawn as
    // "Tracer les Masques" draws. "Exporter l'horizon...": the table as CSV.
    void on_bouton_importer_horizon_clicked();
    void on_actionImporter_un_horizon_triggered();
    void on_actionExporter_l_horizon_triggered();
    // "Lieu et heure": longitude (degrees, east positive, −180..180), time zone ("UTC" first,
    // then the system's zones; choosing one sets the longitude of its principal city when the
    // tz database lists one), scale of the times and model of the sun. Each change rebuilds.
    void on_longitude_valueChanged(double arg1);
    void on_combo_fuseau_currentIndexChanged(int index);
    void on_combo_echelle_currentIndexChanged(int index);
    void on_combo_modele_currentIndexChanged(int index);
    // Site files (site/fenetre_site.cpp): the whole state of the window read from a file or
    // written to one.
    void on_actionOuvrir_un_site_triggered();
    void on_actionEnregistrer_le_site_triggered();
    void on_actionEnregistrer_le_site_sous_triggered();
    // "Propriétés du projet...": the project's dialog, whose accepted value is drawn and kept
    // in the site (a step of its own).
    void on_actionProprietes_du_projet_triggered();
    // "Édition": the last step undone, or the last undone redone.
    void on_actionAnnuler_triggered();
    void on_actionRetablir_triggered();
    // "Fenêtre et obstacles...", from the Options menu or under the masks.
    void on_actionFenetre_et_obstacles_triggered();
    void on_bouton_fenetre_obstacles_clicked();
    // "Soleil sur la fenêtre au fil de l'année", from the Options menu or beside the table.
    void on_actionSoleil_annee_triggered();

protected:
    // With unsaved changes, to a site or to a study never saved, asks whether to save them
    // first.
    void closeEvent(QCloseEvent *event) override;
    // A dropped site file (.orvane) is opened.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // The site as the widgets, the saved dates and the mask table hold it now.
    Site site_courant() const;
    // Puts the whole of `site` into the widgets at once, then draws the diagram once.
    void appliquer_site(const Site &site);
    // Reads and checks the file, asks about unsaved changes, then applies it; a refused file
    // is reported and leaves the window as it was.
    bool ouvrir_site(const QString &chemin);
    // Writes the current site to `chemin`, which becomes the window's site; a failure is
    // reported and changes nothing.
    bool enregistrer_site(const QString &chemin);
    bool enregistrer_site_sous();
    // The file `chemin`, just opened or written, becomes the window's site: its name in the
    // title, and no unsaved change.
    void devenir_site(const QString &chemin);
    // Whether the current state may be dropped: no unsaved change, or the user chose to save
    // (successfully, through "Enregistrer sous" for a study never saved) or not to.
    bool abandon_accepte();
    // The title: the project's name when it has one, the site's name, and the "*" of whether
    // the site has changed since it was last opened or saved, or a study never saved since the
    // window started ("Sans titre*").
    void actualiser_modification();
    // "Fenêtre et obstacles..." (protections/fenetre_protections.cpp): the dialog, whose
    // accepted value is drawn.
    void ouvrir_fenetre_obstacles();
    // "Photo du ciel..." (app/fenetre_photo.cpp): its action in the Options menu and its button
    // beside the import; a photo chosen and calibrated, drawn under the grid, its traced horizon
    // into the mask table as an imported horizon; and a site's photo read from its file, or
    // said missing in the status bar.
    void installer_photo();
    void ouvrir_photo_ciel();
    void prendre_photo_du_site(const Photo_Diagramme &lue);
    // The year's view (annee/fenetre_annee.cpp): its button beside the table, the view shown,
    // and the study drawn handed to it while it is open.
    void preparer_vue_annee();
    void suivre_vue_annee();
    // Hands the site as the widgets hold it now to the history; `nom` names the step.
    void noter_etape(const QString &nom = QString());
    // Shows or hides the widgets of Mode 1 or Mode 2 and checks its menu action.
    void afficher_mode(Mode_Dates mode);

    // The diagram as the widgets and the saved dates describe it now, without a mask outline.
    Description_Diagramme description_diagramme() const;
    // Draws `description` on the scene and writes the rows it returns into the output table.
    void dessiner(const Description_Diagramme &description);
    // The report page's caption of the diagram last drawn: the site's name for a title, the
    // horizon's file (or "masque saisi") when a mask is drawn, today for its date.
    Legende_page legende_rapport() const;
    // The output table: one row per value, cells as `textes_ligne` writes them; rows beyond
    // go. Rows: Mode 1, row 0 the current date and then the saved dates drawn; Mode 2, one row
    // per valid month. With `masque` (an outline drawn) the columns "Soleil direct" and
    // "Masqué" are shown with `textes_masque`'s cells; without, they are hidden. With `fenetre`
    // (a facade given) the column "Soleil sur la fenêtre" follows them, likewise.
    void ecrire_tableau_sorties(const QVector<Ligne_Sortie> &lignes, bool masque,
                                bool fenetre = false);
    // The mask table's rows replaced by `points` (x azimuth, y height, degrees, table
    // convention), at least the fresh table's number of rows.
    void remplir_tableau_masques(const std::vector<QPointF> &points);
    // How the mask table's rows are joined, as the masks group shows it.
    Jonction_Masque jonction_masques() const;
    void ecrire_cellule(int ligne, int colonne, const QString &texte);
    // The lists of "Lieu et heure": "UTC" and the system's zones, the scales, the models; and
    // the mask rows' joinings; the first of each chosen, without signalling a change.
    void remplir_fuseaux();
    // Stacks the parts of the panel's groups when the panel is too narrow for them side by
    // side, and puts them back side by side once it is wide enough again.
    void agencer_panneau();
    // Fits the scene to the view's present size and rebuilds.
    void ajuster_vue();
    // The read-out of scene point `point` as the status bar shows it.
    QString texte_sous_pointeur(const QPointF &point);
    // Receives the start-up check's answer (queued from `verification_lancement`).
    void verification_lancement_terminee(const Resultat_maj &resultat);
    // The boxes that end a check: an offer for a newer release; with
    // `retourner_message_si_pas_de_maj`, the failure or the absence of an update too.
    void annoncer_mise_a_jour(const Resultat_maj &resultat, bool retourner_message_si_pas_de_maj);

    // The window's facade, its devices and the walls, as "Fenêtre et obstacles" left them.
    Ombrage ombrage;
    // The exposure rule assessed on the window, as the same dialog left it.
    Regle_Exposition exposition;
    // The photo under the diagram and its calibration, as "Photo du ciel" left it.
    Photo_Diagramme photo;
    // The study's project, as "Propriétés du projet" left it.
    Projet projet;
    // Saved dates, slot = day of the year − 1; a null date marks an empty slot.
    std::array<QDate, 366> dates_enregistrees;
    // The description last drawn (with its mask outline, if any) and the rows it gave: what
    // the export's page caption and table show.
    Description_Diagramme description_dessinee;
    QVector<Ligne_Sortie> lignes_sorties;
    // The dated courses and the clock's hour lines of the last drawing for the read-out,
    // sampled on the first pointer move after it (`courses_a_jour` false until then).
    std::vector<Course_Lue> courses_pointeur;
    std::vector<Ligne_Horaire_Lue> lignes_horaires_pointeur;
    bool courses_a_jour = false;
    // Number of dates saved since the last reset, 0..12.
    int nb_clic_enregistrer_date = 0;
    std::unique_ptr<Ui::Fenetre_Principale> ui;
    // Handle of the update database connection "ma_base": the server's settings, never opened.
    QSqlDatabase base_maj;
    // The start-up check while it runs (a child of the window), else null.
    Verification_maj *verification_lancement = nullptr;
    // The application's own update id, compared with the server's latest.
    int id_maj_application = 0;
    // Version shown in the About box.
    QString version_application;
    // The diagram, created once by the constructor.
    std::unique_ptr<Scene> scene;
    // The year's view while open (a child of the window, deleted on closing).
    QPointer<Dialogue_Annee> vue_annee;
    // The sliders' and the latitude box's input, drawn no faster than the diagram is (a child
    // of the window).
    Saisie_Regroupee *saisie_regroupee = nullptr;
    // The current model of the mask table (owned by the window through its parent).
    QStandardItemModel *modele_masques = nullptr;
    // Cell editors of the mask table: heights 0..90 (column 1), azimuths -180..180 (column 0).
    Delegate *delegate_hauteur = nullptr;
    Delegate *delegate_azimut = nullptr;
    // The window's own solar calculator (sunrise and sunset of the courses and the table).
    Soleil soleil;
    // The file name of the horizon last imported into the mask table; empty once the table is
    // cleared or a site opened.
    QString nom_horizon;
    // The site file last opened or saved (absolute path), empty when there is none.
    QString chemin_site;
    // The steps to undo and redo; after `ui`, so that it goes first.
    Historique historique;
    // The panel's width the user set with the splitter's handle in this run, kept on closing;
    // 0 while the handle has not moved.
    int largeur_panneau_choisie = 0;
    // The width kept from an earlier run, given to the panel on the window's first resize; 0
    // once given, or when none was kept.
    int largeur_panneau_a_rendre = 0;
    // Whether the panel's groups are stacked, and the width they needed side by side.
    bool panneau_empile = false;
    int largeur_panneau_large = 0;
    // The fixed room left of the donation button while the groups are side by side, pixels.
    int largeur_marge_don = 0;
};

#endif
