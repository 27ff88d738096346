#include "app/MainLogic.h"
#include "app/MainWindow.h"
#include "app/MainWindowShared.h"
#include "core/Model.h"
#include "core/Solver.h"
#include "services/PeriodNavigator.h"
#include "services/Printing.h"
#include "services/QtUserHost.h"
#include "services/ShiftDialog.h"
#include "services/SolveWindows.h"
#include "windows/WorkingWindow.h"
#include <QAction>
#include <QActionGroup>
#include <QFont>
#include <QFontDialog>
#include <QKeySequence>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QObject>
#include <QPushButton>
#include <QToolButton>

#include <algorithm>
#include <cmath>

namespace tv {

// ---------------------------------------------------------------- labels and commands

void MainWindow::Register(QObject* o, const char* caption, const char* hint) {
    labelled_.push_back({o, caption ? caption : "", hint ? hint : ""});
}

QAction* MainWindow::Cmd(QMenu* menu, const QString& name, const char* caption,
                         const QKeySequence& key, std::function<void()> run, const char* hint) {
    auto* a = new QAction(this);
    a->setObjectName(name);
    if (!key.isEmpty()) {
        a->setShortcut(key);
        a->setShortcutContext(Qt::ApplicationShortcut);
    }
    if (run) connect(a, &QAction::triggered, this, [run = std::move(run)] { run(); });
    menu->addAction(a);
    Register(a, caption, hint);
    return a;
}

QAction* MainWindow::Later(QMenu* menu, const QString& name, const char* caption,
                           const QKeySequence& key) {
    QAction* a = Cmd(menu, name, caption, key, {}, NotYet);
    a->setEnabled(false);
    return a;
}

void MainWindow::BindCommand(const QString& actionName, std::function<void()> run,
                             const char* hint) {
    QAction* a = Action(actionName);
    if (!a) {
        qWarning("BindCommand: no menu entry %s", qPrintable(actionName));
        return;
    }
    connect(a, &QAction::triggered, this, [run = std::move(run)] { run(); });
    a->setEnabled(true);
    for (Labelled& l : labelled_)
        if (l.object == a) l.hint = hint ? hint : "";
    RelabelAll();
}

QMenu* MainWindow::SubMenu(QMenu* parent, const QString& name, const char* caption) {
    QMenu* sub = parent ? parent->addMenu(QString()) : menuBar()->addMenu(QString());
    sub->setObjectName(name);
    Register(sub, caption, "");
    return sub;
}

QAction* MainWindow::Action(const QString& name) const {
    return findChild<QAction*>(name);
}

QMenu* MainWindow::Menu(const QString& name) const {
    return findChild<QMenu*>(name);
}

QToolButton* MainWindow::Button(const QString& name) const {
    return findChild<QToolButton*>(name);
}

void MainWindow::BuildMenus() {
    menuBar()->setObjectName(QStringLiteral("MainMenu"));

    QMenu* datei = SubMenu(nullptr, QStringLiteral("MIDatei"), "&Datei##&File");
    Cmd(
        datei, QStringLiteral("MIDateiNeuesModell"), "&Neues Modell##&New Model", {},
        [this] { onNewModel(); },
        "Neues Modell|Setzt alle Eingaben auf die Standardwerte zurück##New model|Resets all "
        "inputs to their defaults");
    Cmd(
        datei, QStringLiteral("MIDateiModellLaden"), "Modell &laden ...##&Open Model ...",
        QKeySequence::Open, [this] { onOpenModel(); },
        "Modell laden|Lädt eine Modelldatei (*.TV5)##Open model|Loads a model file (*.TV5)");
    Cmd(
        datei, QStringLiteral("MIDateiModellSpeichern"), "Modell &speichern##&Save Model",
        QKeySequence::Save, [this] { onSaveModel(); },
        "Modell speichern|Speichert das Modell in der aktuellen Modelldatei##Save model|Saves "
        "the model in the current model file");
    Cmd(
        datei, QStringLiteral("MIDateiModellSpeichernUnter"),
        "Modell speichern &unter ...##Save Model &as ...", {}, [this] { onSaveModelAs(); },
        "Modell speichern unter|Speichert das Modell in einer neuen Modelldatei##Save model "
        "as|Saves the model in a new model file");
    Cmd(
        datei, QStringLiteral("MIDateiAufgabeOeffnen"), "Aufgabe ö&ffnen…##Open tas&k…", {},
        [this] { onOpenTask(); },
        "Aufgabe öffnen|Öffnet eine Vorhersageaufgabe (*.tvtask) mit dem Modell daneben##Open "
        "task|Opens a prediction task (*.tvtask) with the model beside it");
    datei->addSeparator();
    QAction* newRules = Cmd(datei, QStringLiteral("MIDateiNeueRegeln"),
                            "Neue Erwartungs&regeln##New Expectation &Rules", {}, {});
    QAction* openRules = Cmd(datei, QStringLiteral("MIDateiRegelnLaden"),
                             "Erwartungsregeln lad&en##Op&en Expectation Rules", {}, {});
    newRules->setVisible(false);
    openRules->setVisible(false);
    Later(datei, QStringLiteral("MIDateiRegelnSpeichern"),
          "Erwartungsregeln s&peichern##Save E&xpectation Rules");
    Later(datei, QStringLiteral("MIDateiRegelnSpeichernUnter"),
          "Erwartungsregeln speichern un&ter##Save Expe&ctation Rules as ...");
    Cmd(datei, QStringLiteral("MIDateiAllesSpeichern"), "Alles speichern##Save &all", {},
        [this] { onSaveModel(); });
    datei->addSeparator();
    Cmd(datei, QStringLiteral("MIDateiDruckerEinrichten"),
        "Drucker ein&richten ...##Pr&inter Setup ...", {}, [this] { onPrinterSetup(); });
    Cmd(
        datei, QStringLiteral("MIDateiDrucken"), "&Drucken##&Print",
        QKeySequence(Qt::CTRL | Qt::Key_P), [this] { onPrint(); },
        "Drucken|Druckt das aktive Fenster##Print|Prints the active window");
    Later(datei, QStringLiteral("MIDateiHandout"), "Handout (PDF) …##Handout (PDF) …");
    Later(datei, QStringLiteral("MIDateiExport"), "Export ...");
    QMenu* send = SubMenu(datei, QStringLiteral("MIDateiValdaSenden"), "Send data to VALDA");
    Later(send, QStringLiteral("MIDateiValdaESA"), "ESA 1995 (national accounting)");
    Later(send, QStringLiteral("MIDateiValdaBPM"), "BPM 1993 (balance of payments)");
    Later(send, QStringLiteral("MIDateiValdaEinstellungen"), "Configure booking settings ...");
    QMenu* closeValda = SubMenu(datei, QStringLiteral("MIDateiValdaSchliessen"), "Close VALDA");
    Later(closeValda, QStringLiteral("MIDateiValdaESASchliessen"),
          "ESA 1995 (national accounting)");
    Later(closeValda, QStringLiteral("MIDateiValdaBPMSchliessen"),
          "BPM 1993 (balance of payments)");
    datei->addSeparator();
    Cmd(datei, QStringLiteral("MIDateiRechner"), "Rec&hner##Calc&ulator",
        QKeySequence(Qt::CTRL | Qt::Key_R), [this] { onCalculator(); });
    Cmd(datei, QStringLiteral("MIDateiBeenden"), "&Beenden##E&xit",
        QKeySequence(Qt::ALT | Qt::Key_F4), [this] { close(); });

    QMenu* bearb = SubMenu(nullptr, QStringLiteral("MIBearbeiten"), "&Bearbeiten##&Edit");
    Later(bearb, QStringLiteral("MIBearbeitenKopieren"), "&Kopieren ...##&Copy ...",
          QKeySequence(Qt::CTRL | Qt::Key_K));
    Later(bearb, QStringLiteral("MIBearbeitenLoeschen"), "&Löschen ...##C&lear ...",
          QKeySequence(Qt::CTRL | Qt::Key_L));
    Cmd(
        bearb, QStringLiteral("MIBearbeitenAllesLoeschen"), "&Alles löschen##Clear &all",
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L), [this] { onClearAll(); },
        "Alles löschen|Setzt alle Eingaben im Analyseintervall zurück##Clear all|Resets every "
        "input of the analysis interval");

    QMenu* perioden = SubMenu(nullptr, QStringLiteral("MIPerioden"), "&Perioden##&Periods");
    Cmd(perioden, QStringLiteral("MIPeriodenAktuell"), "&AktuellePeriode##&Current Period",
        QKeySequence(Qt::Key_F2), [this] { navigator_->FocusCurrentPeriod(); });
    Cmd(perioden, QStringLiteral("MIPeriodenLinkerRand"), "&Linker Analyserand##&Left Border",
        QKeySequence(Qt::CTRL | Qt::Key_Home), [this] { navigator_->FocusLeftEdge(); });
    Cmd(perioden, QStringLiteral("MIPeriodenRechterRand"), "&Rechter Analyserand##&Right Border",
        QKeySequence(Qt::CTRL | Qt::Key_End), [this] { navigator_->FocusRightEdge(); });
    Cmd(perioden, QStringLiteral("MIPeriodenKomplett"),
        "&Komplettes Datenintervall##&Cover all Data", {}, [this] { interval_.CoverAllData(); });
    QMenu* form =
        SubMenu(perioden, QStringLiteral("MIPeriodenAnalyseform"), "Analyse&form##Moving M&ode");
    auto* formGroup = new QActionGroup(this);
    QAction* archiving =
        Cmd(form, QStringLiteral("MIPeriodenArchivierend"), "&archivierend##&Extend Data Space", {},
            [this] { interval_.SetAnalysisForm(false); });
    QAction* revolving =
        Cmd(form, QStringLiteral("MIPeriodenRevolvierend"), "&revolvierend##&Toggle Period 1", {},
            [this] { interval_.SetAnalysisForm(true); });
    for (QAction* a : {archiving, revolving}) {
        a->setCheckable(true);
        formGroup->addAction(a);
    }
    archiving->setChecked(true);
    Cmd(perioden, QStringLiteral("MIPeriodenVerschieben"),
        "Analyseintervall &verschieben##&Move Interval", {},
        [this] { ShiftIntervalInteractive(interval_, this); });
    Later(perioden, QStringLiteral("MIPeriodenDurchlauf"), "&Periodendurchlauf##&Dynamic Control",
          QKeySequence(Qt::Key_F3));

    QMenu* bau = SubMenu(nullptr, QStringLiteral("MIModellbau"), "&Modellbau##&Model Building");
    Later(bau, QStringLiteral("MIModellbauNachfrage"), "Güter&nachfrage##Dema&nd for Goods",
          QKeySequence(Qt::CTRL | Qt::Key_N));
    Later(bau, QStringLiteral("MIModellbauAngebot"), "Güter&angebot##&Supply of Goods",
          QKeySequence(Qt::CTRL | Qt::Key_X));
    Later(bau, QStringLiteral("MIModellbauVerteilung"), "(Um-) &Verteilung##(Re-) &Distribution",
          QKeySequence(Qt::CTRL | Qt::Key_V));
    Later(bau, QStringLiteral("MIModellbauWertpapiermarkt"), "&Wertpapiermarkt##&Bond Market",
          QKeySequence(Qt::CTRL | Qt::Key_W));
    Later(bau, QStringLiteral("MIModellbauDevisenmarkt"), "&Devisenmarkt##&Exchange Market",
          QKeySequence(Qt::CTRL | Qt::Key_D));
    Later(bau, QStringLiteral("MIModellbauErwartungen"), "&Erwartungen##E&xpectations",
          QKeySequence(Qt::CTRL | Qt::Key_E));
    bau->addSeparator();
    Later(bau, QStringLiteral("MIModellbauTotal"), "&Total", QKeySequence(Qt::CTRL | Qt::Key_T));
    Later(bau, QStringLiteral("MIModellbauMonitor"), "&Monitor", QKeySequence(Qt::Key_F4));

    QMenu* solution = SubMenu(nullptr, QStringLiteral("MILoesung"), "&Lösung##&Solution");
    Cmd(solution, QStringLiteral("MILoesungUngeloeste"),
        "alle &ungelösten Perioden##All Unsolved Periods", QKeySequence(Qt::Key_F9),
        [this] { Solve(); });
    Cmd(solution, QStringLiteral("MILoesungIntervall"), "&Intervall-Neuberechnung##Recalc Interval",
        QKeySequence(Qt::CTRL | Qt::Key_F9),
        [this] { RunSolveCommand([this] { RecalculateInterval(m_, *host_); }); });
    Cmd(solution, QStringLiteral("MILoesungKomplett"),
        "&Komplette Neuberechnung##Recalc All Periods", QKeySequence(Qt::SHIFT | Qt::Key_F9),
        [this] { RunSolveCommand([this] { RecalculateAll(m_, *host_); }); });
    solution->addSeparator();
    Cmd(
        solution, QStringLiteral("MILoesungBasisEinfrieren"),
        "Als Basislauf einfrieren##Freeze as Baseline", {}, [this] { onFreezeBaseline(); },
        "Lauf als Basislauf einfrieren|Behält den gelösten Lauf als Basislauf, mit dem die "
        "Fenster einen geänderten Lauf vergleichen##Freeze the run as baseline|Keeps the solved "
        "run as the baseline the windows compare a changed run with");
    Cmd(
        solution, QStringLiteral("MILoesungBasisVerwerfen"),
        "Basislauf verwerfen##Discard Baseline", {}, [this] { onDiscardBaseline(); },
        "Basislauf verwerfen|Verwirft den eingefrorenen Basislauf##Discard the baseline|Discards "
        "the frozen baseline run");
    Cmd(
        solution, QStringLiteral("MILoesungAufgabeErstellen"), "&Aufgabe erstellen…##Create &task…",
        {}, [this] { onCreateTask(); },
        "Aufgabe erstellen|Schreibt die Änderungen seit dem Basislauf als Vorhersageaufgabe##"
        "Create task|Writes the changes since the baseline as a prediction task");

    QMenu* aufb =
        SubMenu(nullptr, QStringLiteral("MIAufbereitung"), "&Aufbereitung##P&resentation");
    QMenu* seq =
        SubMenu(aufb, QStringLiteral("MIAufbSequenz"), "&Sequenzanalyse##&Sequential Analysis");
    Later(seq, QStringLiteral("MIAufbTabelleAbsolut"),
          "Tabelle (&Absolutwerte)##Worksheet (&Absolute Values)");
    Later(seq, QStringLiteral("MIAufbTabelleDifferenzen"),
          "Tabelle (&Differenzen)##Worksheet (&Differences)");
    Later(seq, QStringLiteral("MIAufbGrafik1"), "Grafik 1##Diagram 1");
    Later(seq, QStringLiteral("MIAufbGrafik2"), "Grafik 2##Diagram 2");
    Later(seq, QStringLiteral("MIAufbSchnellgrafik"), "&Schnellgrafik##&Rapid Diagram");
    Later(aufb, QStringLiteral("MIAufbStruktur"), "St&rukturgrafik##St&ructural Diagram");
    QMenu* kreis = SubMenu(aufb, QStringLiteral("MIAufbKreislauf"),
                           "&Kreislaufanalyse##Ci&rculation Analysis");
    Later(kreis, QStringLiteral("MIAufbFluss"), "Sektorales Flussdiagramm##Sectoral Flow Chart");
    Later(kreis, QStringLiteral("MIAufbKonten"),
          "Sektorales Kontenschema##Sectoral Account Scheme");
    QMenu* geld = SubMenu(aufb, QStringLiteral("MIAufbGeld"),
                          "&Geld- und Kreditschöpfung##Creation of &Money and Credit");
    Later(geld, QStringLiteral("MIAufbGeldSequenz"), "&Sequenztabelle##&Worksheet");
    Later(geld, QStringLiteral("MIAufbGeldKonten"), "&Kontensystem##&Accounting System");
    aufb->addSeparator();
    Later(aufb, QStringLiteral("MIAufbEAGrafik"),
          "Einkommen-&Ausgaben-Grafik##Income-&Expenditure-Diagram");
    Later(aufb, QStringLiteral("MIAufbEZGrafik"),
          "Einkommen-&Zins-Grafik##Income-&Interest-Diagram");
    Later(aufb, QStringLiteral("MIAufbEPGrafik"), "Einkommen-&Preis-Grafik##Income-&Price-Diagram");
    Later(aufb, QStringLiteral("MIAufbEIGrafik"),
          "Einkommen-&Inflation-Grafik##Income-I&nflation-Diagram");
    QMenu* kurven =
        SubMenu(aufb, QStringLiteral("MIAufbKurven"), "Kurven-&Herleitung##&Curve-Construction");
    Later(kurven, QStringLiteral("MIAufbKurveIS"), "IS");
    Later(kurven, QStringLiteral("MIAufbKurveLM"), "LM");
    Later(kurven, QStringLiteral("MIAufbKurveZ"), "Z");

    QMenu* opt = SubMenu(nullptr, QStringLiteral("MIOptionen"), "&Optionen##&Options");
    QMenu* bf1 = SubMenu(opt, QStringLiteral("MIOptionenBF1"),
                         "Zuordnung von Basisfensterpaar &1##Assignment of Basic Window Group &1");
    auto* g1 = new QActionGroup(this);
    QAction* bf1Left =
        Cmd(bf1, QStringLiteral("MIOptionenBF1Links"), // verbatim
            "&Linker Rand##&Left Border", {}, [this] { SetBaseAssignment(1, false); });
    QAction* bf1Cur =
        Cmd(bf1, QStringLiteral("MIOptionenBF1Aktuell"), "&Aktuelle Periode##&Current Period", {},
            [this] { SetBaseAssignment(1, true); });
    QMenu* bf2 = SubMenu(opt, QStringLiteral("MIOptionenBF2"),
                         "Zuordnung von Basisfensterpaar &2##Assignment of Basic Window Group &2");
    auto* g2 = new QActionGroup(this);
    QAction* bf2Cur =
        Cmd(bf2, QStringLiteral("MIOptionenBF2Aktuell"), "&Aktuelle Periode##&Current Period", {},
            [this] { SetBaseAssignment(2, true); });
    QAction* bf2Right =
        Cmd(bf2, QStringLiteral("MIOptionenBF2Rechts"), // verbatim
            "&Rechter Rand##&Right Border", {}, [this] { SetBaseAssignment(2, false); });
    for (auto [a, g] : {std::pair{bf1Left, g1}, {bf1Cur, g1}, {bf2Cur, g2}, {bf2Right, g2}}) {
        a->setCheckable(true);
        g->addAction(a);
    }
    bf1Left->setChecked(true);
    bf2Right->setChecked(true);
    QAction* durable = Cmd(opt, QStringLiteral("MIOptionenDauerhaft"),
                           "&Modelleingaben dauerhaft##Durable Validity of New Inputs", {}, {});
    durable->setCheckable(true);
    opt->addSeparator();
    Cmd(opt, QStringLiteral("MIOptionenLoesung"), "&Lösung ...##Sol&ving ...", {},
        [this] { onSolveOptions(); });
    Later(opt, QStringLiteral("MIOptionenGrafik"), "&Grafik ...##&Diagrams ...");
    Later(opt, QStringLiteral("MIOptionenZahlenformat"),
          "&Zahlenformat ...##&Number Formatting ...");
    QMenu* schrift = SubMenu(opt, QStringLiteral("MIOptionenSchrift"), "&Schrift##&Font");
    auto fontCommand = [this](bool screen, bool printer) {
        bool ok = false;
        const QFont chosen = QFontDialog::getFont(&ok, screen ? screenFont_ : printerFont_, this);
        if (!ok) return;
        if (screen) screenFont_ = chosen;
        if (printer) printerFont_ = chosen;
        SendToChildren(MSG_SCREEN_FONT, 0, 0);
    };
    Cmd(schrift, QStringLiteral("MIOptionenSchriftBildschirm"), "&Bildschirm##&Display", {},
        [fontCommand] { fontCommand(true, false); });
    Cmd(schrift, QStringLiteral("MIOptionenSchriftDrucker"), "&Drucker##&Printer", {},
        [fontCommand] { fontCommand(false, true); });
    Cmd(schrift, QStringLiteral("MIOptionenSchriftBeide"), "B&eide##&Both", {},
        [fontCommand] { fontCommand(true, true); });
    QMenu* sprache = SubMenu(opt, QStringLiteral("MIOptionenSprache"), "Spr&ache##&Language");
    languageGroup_ = new QActionGroup(this);
    QAction* de = Cmd(sprache, QStringLiteral("MIOptionenDeutsch"), "&Deutsch##&German", {},
                      [this] { SetLanguage(1); });
    QAction* en = Cmd(sprache, QStringLiteral("MIOptionenEnglisch"), "&Englisch##&English", {},
                      [this] { SetLanguage(2); });
    for (QAction* a : {de, en}) {
        a->setCheckable(true);
        languageGroup_->addAction(a);
    }
    QAction* flat = Cmd(opt, QStringLiteral("MIOptionenFlacheSchalter"),
                        "&Flache Schalter##&Flat Buttons", {}, {});
    flat->setCheckable(true);
    connect(flat, &QAction::toggled, this, [this](bool on) { SetFlatButtons(on); });
    QAction* sound = Cmd(opt, QStringLiteral("MIOptionenSound"), "Signals&ound##&Sound", {}, {});
    sound->setCheckable(true);
    connect(sound, &QAction::toggled, this, [this](bool on) { host_->SoundOn = on; });
    opt->addSeparator();
    QAction* bar =
        Cmd(opt, QStringLiteral("MIOptionenFunktionsleiste"), "F&unktionsleiste##&Toolbar", {}, {});
    bar->setCheckable(true);
    connect(bar, &QAction::toggled, this, [this] { ApplyBarVisibility(); });
    QAction* nfx = Later(opt, QStringLiteral("MIOptionenNFXLeiste"),
                         "&Neuro-Fuzzy-Erwartungsleiste##&Neuro-Fuzzy-Expectation Bar");
    nfx->setCheckable(true);
    QAction* wage = Cmd(opt, QStringLiteral("MIOptionenTarifleiste"),
                        "Tar&ifpolitikleiste##&Wages Policy Bar", {}, {});
    QAction* money = Cmd(opt, QStringLiteral("MIOptionenGeldleiste"),
                         "&Geldpolitikleiste##&Monetary Policy Bar", {}, {});
    for (QAction* a : {wage, money}) {
        a->setCheckable(true);
        a->setEnabled(false);
        connect(a, &QAction::toggled, this, [this] { ApplyBarVisibility(); });
    }
    opt->addSeparator();
    QAction* saveOptions = Cmd(opt, QStringLiteral("MIOptionenEinstellungenSpeichern"),
                               "Einstellungen am Ende s&peichern##Sa&ve Options", {}, {});
    saveOptions->setCheckable(true);

    QMenu* fenster = SubMenu(nullptr, QStringLiteral("MIFenster"), "&Fenster##&Window");
    Cmd(fenster, QStringLiteral("MIFensterNaechstes"), "&Nächstes##&Next",
        QKeySequence(Qt::CTRL | Qt::Key_Tab), [this] { mdi_->activateNextSubWindow(); });
    Cmd(fenster, QStringLiteral("MIFensterVorheriges"), "&Vorheriges##&Previous",
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
        [this] { mdi_->activatePreviousSubWindow(); });
    Cmd(fenster, QStringLiteral("MIFensterZoom"), "&Zoom", QKeySequence(Qt::Key_F5),
        [this] { onZoom(); });
    Cmd(
        fenster, QStringLiteral("MIFensterHalb"), "&Halber Bildschirm##&Half the Screen",
        QKeySequence(Qt::CTRL | Qt::Key_F5), [this] { onHalfScreen(); },
        "Halber Bildschirm|Legt das aktive Fenster auf die linke, rechte, obere oder untere "
        "Hälfte##Half the screen|Puts the active window on the left, right, upper or lower half");
    Cmd(fenster, QStringLiteral("MIFensterSchliessen"), "&Schließen/Symbol##&Close/Symbol",
        QKeySequence(Qt::CTRL | Qt::Key_F4), [this] { mdi_->closeActiveSubWindow(); });
    QAction* control =
        Cmd(fenster, QStringLiteral("MIFensterLoesungssteuerung"),
            "&Lösungssteuerung##&Solution Control", QKeySequence(Qt::CTRL | Qt::Key_F3), [this] {
                SolveControl->raise();
                SolveControl->activateWindow();
                SolveControl->NextPeriodButton->setFocus();
            });
    control->setEnabled(false);
    fenster->addSeparator();
    Cmd(fenster, QStringLiteral("MIFensterFaechern"), "&Fächern##C&ascade", {},
        [this] { mdi_->cascadeSubWindows(); });
    Cmd(fenster, QStringLiteral("MIFensterNebeneinander"), "Nebeneinander (&Alle)##&Tile (All)", {},
        [this] { mdi_->tileSubWindows(); });
    Cmd(fenster, QStringLiteral("MIFensterSymboleAnordnen"), "Sy&mbole anordnen##A&rrange Symbols",
        {}, [this] {
            // Minimised children line up along the bottom edge.
            int x = 0;
            const int h = mdi_->viewport()->height();
            for (QMdiSubWindow* w : mdi_->subWindowList())
                if (w->isMinimized()) {
                    w->move(x, h - w->height());
                    x += w->width();
                }
        });
    Cmd(fenster, QStringLiteral("MIFensterNurSymbole"), "Nur Symb&ole##Symb&ols Only", {},
        [this] { SendToChildren(MSG_MINIMIZE, 0, 0); });
    fenster->addSeparator();
    Cmd(
        fenster, QStringLiteral("MIFensterGleichrangig"),
        "Nebeneinander (&BF)##Tile (&Basic Windows)", QKeySequence(Qt::Key_F6),
        [this] { ArrangeBase(100); },
        "Basisfenster gleichrangig|Stellt Basisfenster nebeneinander dar und räumt allen "
        "gleichen Raum ein##Basic windows side by side|Tiles the basic windows and gives all "
        "of them equal room");
    Cmd(
        fenster, QStringLiteral("MIFensterGleichungsdominanz"),
        "&Gleichungsdominanz##Enlarge &Equation Systems", QKeySequence(Qt::Key_F7),
        [this] { ArrangeBase(150); },
        "Gleichungsdominanz|Räumt den Gleichungssystemen drei Viertel der Höhe ein##Enlarge "
        "equation systems|Gives the equation systems three quarters of the height");
    Cmd(
        fenster, QStringLiteral("MIFensterErgebnisdominanz"),
        "&Ergebnisdominanz##Enlarge Model &Results", QKeySequence(Qt::Key_F8),
        [this] { ArrangeBase(50); },
        "Ergebnisdominanz|Räumt den Modellergebnissen drei Viertel der Höhe ein##Enlarge model "
        "results|Gives the model results three quarters of the height");

    QMenu* hilfe = SubMenu(nullptr, QStringLiteral("MIHilfe"), "&Hilfe##&Help");
    Cmd(hilfe, QStringLiteral("MIHilfeHilfe"), "Hilfe &zur Hilfe##&Using the Help System", {},
        [this] { ShowHelp(364); });
    Cmd(hilfe, QStringLiteral("MIHilfeInhalt"), "Inhalt##&Contents", QKeySequence::HelpContents,
        [this] { ShowHelp(242); });
    Cmd(hilfe, QStringLiteral("MIHilfeSymbole"), "&Symbolverzeichnis##&Symbol Catalog", {},
        [this] { ShowHelp(243); });
    Cmd(hilfe, QStringLiteral("MIHilfeShortcuts"), "Short&cuts", {}, [this] { ShowHelp(349); });
    hilfe->addSeparator();
    Cmd(hilfe, QStringLiteral("MIHilfeWebSupport"), "&Web-Support", {}, [this] { onWebSupport(); });
    Cmd(hilfe, QStringLiteral("MIHilfeInfo"), "In&fo", {}, [this] { onAbout(); });
}

} // namespace tv
