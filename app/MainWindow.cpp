#include "app/MainWindow.h"

#include "app/MainLogic.h"
#include "app/ModelChange.h"
#include "app/PeriodNavigator.h"
#include "app/PolicyBars.h"
#include "app/Printing.h"
#include "app/QtUserHost.h"
#include "app/ShiftDialog.h"
#include "app/SolveWindows.h"
#include "app/StartInfo.h"
#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/Solver.h"
#include "windows/WorkingWindow.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace tv {

namespace {

constexpr const char* ProgramTitle = "TERVALIS 5.1";
constexpr const char* AppHint =
    "TERVALIS 5.1 - interaktive Simulationsumgebung für die makroökonomische Lehre##"
    "TERVALIS 5.1 - an interactive simulation environment for teaching macroeconomics";
constexpr const char* NotYet = "| Noch nicht verfügbar##| Not available yet";
constexpr const char* ModelMonitor = "Modell-Monitor##Modelling Monitor";
constexpr const char* MoneyWorksheet =
    "Geld- und Kreditschöpfung: Sequenztabelle##Creation of Money and Credit: Worksheet";
constexpr const char* MoneyAccounts =
    "Geld- und Kreditschöpfung: Kontensystem##Creation of Money and Credit: Accounting System";

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// The program's icon, drawn rather than shipped: a "T" on the program's blue.
QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 32, 64}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(QColor(0, 32, 96));
        p.setPen(Qt::NoPen);
        p.drawRoundedRect(QRectF(0, 0, size, size), size / 6.0, size / 6.0);
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setBold(true);
        f.setPixelSize(size * 3 / 4);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRect(0, 0, size, size), Qt::AlignCenter, QStringLiteral("T"));
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

} // namespace

void ClickLabel::mousePressEvent(QMouseEvent* e) {
    emit clicked(e->button(), e->modifiers());
    e->accept();
}

// ---------------------------------------------------------------- construction

THauptFen::THauptFen(Model& m, MainWindowOptions options)
    : m_(m), options_(std::move(options)), host_(std::make_unique<QtUserHost>(m, this)),
      interval_(m, *host_) {
    setObjectName(QStringLiteral("THauptFen"));
    setWindowTitle(QString::fromLatin1(ProgramTitle));
    QApplication::setWindowIcon(ProgramIcon());
    if (options_.programDirectory.isEmpty())
        options_.programDirectory = QCoreApplication::applicationDirPath();
    if (options_.userConfigDirectory.isEmpty())
        options_.userConfigDirectory =
            QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    host_->SoundDirectory = options_.programDirectory;

    // Settings first: the language and the data directory decide everything else.
    settingsFile_ =
        std::make_unique<SettingsFile>(options_.programDirectory.toStdString(),
                                       options_.userConfigDirectory.toStdString(), *host_);
    settings_.Datenverzeichnis = WithTrailingSeparator(options_.programDirectory.toStdString());
    settings_.Arbeitsverzeichnis = settings_.Datenverzeichnis;
    if (options_.readSettings) settings_ = settingsFile_->ReadSettings();
    m_.Language = static_cast<uint8_t>(settings_.Sprache == 2 ? 2 : 1);

    ModelFileHooks hooks;
    hooks.isRevolving = [this] { return interval_.Revolving(); };
    hooks.setArchiving = [this] { interval_.SetAnalysisForm(false); };
    hooks.setIntervalQuietly = [this](int l, int r) { interval_.SetInterval(l, r, false); };
    hooks.modelChanged = [this] { ModelChanged(); };
    hooks.periodChanged = [this] { PeriodChanged(KindCurrentPeriod); };
    hooks.fileNameChanged = [this] { UpdateFilePanel(); };
    file_ = std::make_unique<ModelFile>(m_, *host_, settings_.Datenverzeichnis, hooks);

    host_->onStatus = [this](const QString& s) { SetStatusText(s); };
    host_->onBroadcastModelChanged = [this] { BroadcastModelChanged(); };
    host_->onShowSolveControl = [this](bool v) { ShowSolveControl(v); };
    host_->onCurrentPeriodChanged = [this] { PeriodChanged(KindCurrentPeriod); };

    mdi_ = new QMdiArea;
    mdi_->setObjectName(QStringLiteral("ClientArea"));
    mdi_->setBackground(QColor(128, 128, 128));
    mdi_->viewport()->installEventFilter(this);
    connect(mdi_, &QMdiArea::subWindowActivated, this, [this] { UpdateWindowMenu(); });

    BuildMenus();
    BuildBars();
    BuildStatusBar();

    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(PeriodenNavigator);
    layout->addWidget(Funktionsleiste);
    layout->addWidget(Tarifleiste);
    layout->addWidget(Geldleiste);
    layout->addWidget(NFXLeiste);
    layout->addWidget(mdi_, 1);
    setCentralWidget(central);

    LoesSteuerDlg = new TLoesSteuerDlg(this);
    connect(LoesSteuerDlg, &TLoesSteuerDlg::NextPeriod, this, [this] {
        host_->PlaySound("NextStep.wav");
        RunSolveCommand([this] {
            const uint8_t saved = m_.Options.StepwiseSolve;
            m_.Options.StepwiseSolve = 1;
            tv::Solve(m_, *host_);
            m_.Options.StepwiseSolve = saved;
        });
    });
    connect(LoesSteuerDlg, &TLoesSteuerDlg::RestInterval, this, [this] {
        host_->PlaySound("RestStep.wav");
        RunSolveCommand([this] {
            const uint8_t saved = m_.Options.StepwiseSolve;
            m_.Options.StepwiseSolve = 0;
            tv::Solve(m_, *host_);
            m_.Options.StepwiseSolve = saved;
        });
    });

    ApplySettings();
    CreateBaseWindows();
    resize(1024, 720);
    RelabelAll();
    UpdateFilePanel();
    SetStatusText(QStringLiteral("Alles lösen!"));
}

THauptFen::~THauptFen() = default;

UserHost& THauptFen::host() {
    return *host_;
}

QString THauptFen::T(const char* bilingual) const {
    return Q(Translate(bilingual, m_.Language));
}

void THauptFen::ApplySettings() {
    host_->SoundOn = settings_.Signalsound;
    m_.Options.ShowSolveInfo = settings_.Infofenster ? 1 : 0;
    auto font = [](const FontSetting& f) {
        QFont q(Q(f.Name));
        q.setPointSize(std::max(1, f.Groesse));
        q.setItalic(f.kursiv);
        q.setBold(f.fett);
        q.setUnderline(f.unterstrichen);
        q.setStrikeOut(f.durchgestrichen);
        return q;
    };
    screenFont_ = font(settings_.Bildschirmschrift);
    printerFont_ = font(settings_.Druckerschrift);
    Action(QStringLiteral("MIOptionenSound"))->setChecked(settings_.Signalsound);
    Action(QStringLiteral("MIOptionenDauerhaft"))->setChecked(settings_.dauerhaft);
    Action(QStringLiteral("MIOptionenFunktionsleiste"))->setChecked(settings_.Funktionsleiste);
    QAction* save = Action(QStringLiteral("MIOptionenEinstellungenSpeichern"));
    save->setChecked(settings_.EinstellungenSpeichern && settings_.SaveOptionEnabled());
    save->setEnabled(settings_.SaveOptionEnabled());
    Action(m_.Language == 2 ? QStringLiteral("MIOptionenEnglisch")
                            : QStringLiteral("MIOptionenDeutsch"))
        ->setChecked(true);
    Action(QStringLiteral("MIOptionenFlacheSchalter"))->setChecked(settings_.FlacheSchalter);
    SetFlatButtons(settings_.FlacheSchalter);
    ApplyBarVisibility();
}

void THauptFen::CreateBaseWindows() {
    for (BaseWindow w : {BaseWindow::Results2, BaseWindow::Equations2, BaseWindow::Results1,
                         BaseWindow::Equations1}) {
        tBasisFenster* window = CreateBaseWindow(w, *this);
        mdi_->addSubWindow(window);
        window->show();
    }
}

// ---------------------------------------------------------------- labels and commands

void THauptFen::Register(QObject* o, const char* caption, const char* hint) {
    labelled_.push_back({o, caption ? caption : "", hint ? hint : ""});
}

QAction* THauptFen::Cmd(QMenu* menu, const QString& name, const char* caption,
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

QAction* THauptFen::Later(QMenu* menu, const QString& name, const char* caption,
                          const QKeySequence& key) {
    QAction* a = Cmd(menu, name, caption, key, {}, NotYet);
    a->setEnabled(false);
    return a;
}

QMenu* THauptFen::SubMenu(QMenu* parent, const QString& name, const char* caption) {
    QMenu* sub = parent ? parent->addMenu(QString()) : menuBar()->addMenu(QString());
    sub->setObjectName(name);
    Register(sub, caption, "");
    return sub;
}

QAction* THauptFen::Action(const QString& name) const {
    return findChild<QAction*>(name);
}

QMenu* THauptFen::Menu(const QString& name) const {
    return findChild<QMenu*>(name);
}

QToolButton* THauptFen::Button(const QString& name) const {
    return findChild<QToolButton*>(name);
}

void THauptFen::BuildMenus() {
    menuBar()->setObjectName(QStringLiteral("MMHauptFen"));

    QMenu* datei = SubMenu(nullptr, QStringLiteral("MIDatei"), "&Datei##&File");
    Cmd(
        datei, QStringLiteral("MIDateiNeuesModell"), "&Neues Modell##&New Model", {},
        [this] { MIDateiNeuesModellClick(); },
        "Neues Modell|Setzt alle Eingaben auf die Standardwerte zurück##New model|Resets all "
        "inputs to their defaults");
    Cmd(
        datei, QStringLiteral("MIDateiModellLaden"), "Modell &laden ...##&Open Model ...",
        QKeySequence::Open, [this] { MIDateiModellLadenClick(); },
        "Modell laden|Lädt eine Modelldatei (*.TV5)##Open model|Loads a model file (*.TV5)");
    Cmd(
        datei, QStringLiteral("MIDateiModellSpeichern"), "Modell &speichern##&Save Model",
        QKeySequence::Save, [this] { MIDateiModellSpeichernClick(); },
        "Modell speichern|Speichert das Modell in der aktuellen Modelldatei##Save model|Saves "
        "the model in the current model file");
    Cmd(
        datei, QStringLiteral("MIDateiModellSpeichernUnter"),
        "Modell speichern &unter ...##Save Model &as ...", {},
        [this] { MIDateiModellSpeichernUnterClick(); },
        "Modell speichern unter|Speichert das Modell in einer neuen Modelldatei##Save model "
        "as|Saves the model in a new model file");
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
        [this] { MIDateiModellSpeichernClick(); });
    datei->addSeparator();
    Cmd(datei, QStringLiteral("MIDateiDruckerEinrichten"),
        "Drucker ein&richten ...##Pr&inter Setup ...", {},
        [this] { MIDateiDruckerEinrichtenClick(); });
    Cmd(
        datei, QStringLiteral("MIDateiDrucken"), "&Drucken##&Print",
        QKeySequence(Qt::CTRL | Qt::Key_P), [this] { MIDateiDruckenClick(); },
        "Drucken|Druckt das aktive Fenster##Print|Prints the active window");
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
        QKeySequence(Qt::CTRL | Qt::Key_R), [this] { MIDateiRechnerClick(); });
    Cmd(datei, QStringLiteral("MIDateiBeenden"), "&Beenden##E&xit",
        QKeySequence(Qt::ALT | Qt::Key_F4), [this] { close(); });

    QMenu* bearb = SubMenu(nullptr, QStringLiteral("MIBearbeiten"), "&Bearbeiten##&Edit");
    Later(bearb, QStringLiteral("MIBearbeitenKopieren"), "&Kopieren ...##&Copy ...",
          QKeySequence(Qt::CTRL | Qt::Key_K));
    Later(bearb, QStringLiteral("MIBearbeitenLoeschen"), "&Löschen ...##C&lear ...",
          QKeySequence(Qt::CTRL | Qt::Key_L));
    Cmd(
        bearb, QStringLiteral("MIBearbeitenAllesLoeschen"), "&Alles löschen##Clear &all",
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L),
        [this] { MIBearbeitenAllesLoeschenClick(); },
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

    QMenu* loesung = SubMenu(nullptr, QStringLiteral("MILoesung"), "&Lösung##&Solution");
    Cmd(loesung, QStringLiteral("MILoesungUngeloeste"),
        "alle &ungelösten Perioden##All Unsolved Periods", QKeySequence(Qt::Key_F9),
        [this] { Solve(); });
    Cmd(loesung, QStringLiteral("MILoesungIntervall"), "&Intervall-Neuberechnung##Recalc Interval",
        QKeySequence(Qt::CTRL | Qt::Key_F9),
        [this] { RunSolveCommand([this] { RecalculateInterval(m_, *host_); }); });
    Cmd(loesung, QStringLiteral("MILoesungKomplett"),
        "&Komplette Neuberechnung##Recalc All Periods", QKeySequence(Qt::SHIFT | Qt::Key_F9),
        [this] { RunSolveCommand([this] { RecalculateAll(m_, *host_); }); });

    QMenu* aufb =
        SubMenu(nullptr, QStringLiteral("MIAufbereitung"), "&Aufbereitung##&Presentation");
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
    Later(geld, QStringLiteral("MIAufbGeldKonten"), "&Kontensystem");
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
    QAction* bf1Left = Cmd(bf1, QStringLiteral("MIOptionenBF1Links"), "&Linker Rand##&Left Border",
                           {}, [this] { SetBaseAssignment(1, false); });
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
        Cmd(bf2, QStringLiteral("MIOptionenBF2Rechts"), "&Rechter Rand##&Right Border", {},
            [this] { SetBaseAssignment(2, false); });
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
        [this] { MILoesungOptionenClick(); });
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
        [this] { MIFensterZoomClick(); });
    Cmd(
        fenster, QStringLiteral("MIFensterHalb"), "&Halber Bildschirm##&Half the Screen",
        QKeySequence(Qt::CTRL | Qt::Key_F5), [this] { MIFensterHalberBildschirmClick(); },
        "Halber Bildschirm|Legt das aktive Fenster auf die linke, rechte, obere oder untere "
        "Hälfte##Half the screen|Puts the active window on the left, right, upper or lower half");
    Cmd(fenster, QStringLiteral("MIFensterSchliessen"), "&Schließen/Symbol##&Close/Symbol",
        QKeySequence(Qt::CTRL | Qt::Key_F4), [this] { mdi_->closeActiveSubWindow(); });
    QAction* control =
        Cmd(fenster, QStringLiteral("MIFensterLoesungssteuerung"),
            "&Lösungssteuerung##&Solution Control", QKeySequence(Qt::CTRL | Qt::Key_F3), [this] {
                LoesSteuerDlg->raise();
                LoesSteuerDlg->activateWindow();
                LoesSteuerDlg->BNaechstePeriode->setFocus();
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
    Cmd(hilfe, QStringLiteral("MIHilfeWebSupport"), "&Web-Support", {},
        [this] { MIHilfeWebSupportClick(); });
    Cmd(hilfe, QStringLiteral("MIHilfeInfo"), "In&fo", {}, [this] { MIHilfeInfoClick(); });
}

QToolButton* THauptFen::BarButton(QWidget* parent, const QString& name, QAction* action,
                                  const char* text, const char* hint, QStyle::StandardPixmap icon) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setFixedSize(text && *text && std::string_view(text).size() > 1 ? QSize(34, 25)
                                                                       : QSize(25, 25));
    if (icon != QStyle::SP_CustomBase) {
        b->setIcon(style()->standardIcon(icon));
        b->setIconSize(QSize(16, 16));
    } else if (text) {
        b->setText(QString::fromUtf8(text));
        QFont f = b->font();
        f.setBold(true);
        b->setFont(f);
    }
    b->setAutoRaise(true);
    if (action) {
        connect(b, &QToolButton::clicked, action, &QAction::trigger);
        auto sync = [b, action] { b->setEnabled(action->isEnabled()); };
        connect(action, &QAction::changed, b, sync);
        sync();
    }
    Register(b, nullptr, hint);
    flatButtons_.push_back(b);
    return b;
}

void THauptFen::BuildFunctionBar() {
    Funktionsleiste = new QFrame;
    Funktionsleiste->setObjectName(QStringLiteral("Funktionsleiste"));
    Funktionsleiste->setFixedHeight(31);
    auto* outer = new QHBoxLayout(Funktionsleiste);
    outer->setContentsMargins(2, 2, 2, 2);
    outer->setSpacing(2);

    SBLinks = new QToolButton(Funktionsleiste);
    SBLinks->setObjectName(QStringLiteral("SBLinks"));
    SBLinks->setText(QStringLiteral("<"));
    SBLinks->setFixedSize(14, 25);
    SBLinks->setVisible(false);
    SBRechts = new QToolButton(Funktionsleiste);
    SBRechts->setObjectName(QStringLiteral("SBRechts"));
    SBRechts->setText(QStringLiteral(">"));
    SBRechts->setFixedSize(14, 25);
    SBRechts->setVisible(false);
    // The arrows keep their room while hidden, so that showing one does not resize the
    // strip (which would scroll it back).
    for (QToolButton* arrow : {SBLinks, SBRechts}) {
        QSizePolicy p = arrow->sizePolicy();
        p.setRetainSizeWhenHidden(true);
        arrow->setSizePolicy(p);
    }
    connect(SBLinks, &QToolButton::clicked, this, [this] { ScrollStrip(false); });
    connect(SBRechts, &QToolButton::clicked, this, [this] { ScrollStrip(true); });

    stripViewport_ = new QWidget(Funktionsleiste);
    stripViewport_->setObjectName(QStringLiteral("FunktionsleisteStreifen"));
    stripViewport_->setMinimumWidth(30);
    stripViewport_->installEventFilter(this);
    strip_ = new QWidget(stripViewport_);
    auto* row = new QHBoxLayout(strip_);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(1);
    auto sep = [row] {
        auto* line = new QFrame;
        line->setFrameShape(QFrame::VLine);
        line->setFrameShadow(QFrame::Sunken);
        line->setFixedHeight(22);
        row->addSpacing(3);
        row->addWidget(line);
        row->addSpacing(3);
    };
    auto add = [&](const char* name, const char* action, const char* text, const char* hint,
                   QStyle::StandardPixmap icon = QStyle::SP_CustomBase) {
        QToolButton* b =
            BarButton(strip_, QString::fromLatin1(name),
                      action ? Action(QString::fromLatin1(action)) : nullptr, text, hint, icon);
        row->addWidget(b);
        return b;
    };
    add("SBNeuesModell", "MIDateiNeuesModell", "",
        "Neues Modell|Setzt alle Eingaben auf die Standardwerte zurück##New model|Resets all "
        "inputs to their defaults",
        QStyle::SP_FileIcon);
    add("SBModellLaden", "MIDateiModellLaden", "",
        "Modell laden|Lädt eine Modelldatei (*.TV5)##Open model|Loads a model file (*.TV5)",
        QStyle::SP_DialogOpenButton);
    add("SBModellSpeichern", "MIDateiModellSpeichern", "",
        "Modell speichern|Speichert das Modell in der aktuellen Modelldatei##Save model|Saves "
        "the model in the current model file",
        QStyle::SP_DialogSaveButton);
    add("SBModellSpeichernUnter", "MIDateiModellSpeichernUnter", "",
        "Modell speichern unter|Speichert das Modell in einer neuen Modelldatei##Save model "
        "as|Saves the model in a new model file",
        QStyle::SP_DriveFDIcon);
    add("SBDrucken", "MIDateiDrucken", "Dr",
        "Drucken|Druckt das aktive Fenster##Print|Prints the active window");
    sep();
    add("SBLoeschen", "MIBearbeitenLoeschen", "",
        "Löschen|Setzt Eingaben zurück (noch nicht verfügbar)##Clear|Resets inputs (not "
        "available yet)",
        QStyle::SP_DialogResetButton);
    add("SBKopieren", "MIBearbeitenKopieren", "Ko",
        "Kopieren|Kopiert Eingaben (noch nicht verfügbar)##Copy|Copies inputs (not available "
        "yet)");
    sep();
    add("SBNachfrage", "MIModellbauNachfrage", "N", "Güternachfrage##Demand for goods");
    add("SBAngebot", "MIModellbauAngebot", "X", "Güterangebot##Supply of goods");
    add("SBVerteilung", "MIModellbauVerteilung", "V", "(Um-) Verteilung##(Re-) Distribution");
    add("SBWertpapiermarkt", "MIModellbauWertpapiermarkt", "W", "Wertpapiermarkt##Bond market");
    add("SBDevisenmarkt", "MIModellbauDevisenmarkt", "D", "Devisenmarkt##Exchange market");
    add("SBErwartungen", "MIModellbauErwartungen", "E", "Erwartungen##Expectations");
    sep();
    resultButton_ = add("SBErgebnisdominanz", "MIFensterErgebnisdominanz", "E>",
                        "Ergebnisdominanz|Räumt den Modellergebnissen drei Viertel der Höhe "
                        "ein##Enlarge model results|Gives the model results three quarters of "
                        "the height");
    equationButton_ = add("SBGleichungsdominanz", "MIFensterGleichungsdominanz", "G>",
                          "Gleichungsdominanz|Räumt den Gleichungssystemen drei Viertel der Höhe "
                          "ein##Enlarge equation systems|Gives the equation systems three "
                          "quarters of the height");
    equalButton_ = add("SBGleichrangig", "MIFensterGleichrangig", "=",
                       "Basisfenster gleichrangig|Stellt Basisfenster nebeneinander dar und "
                       "räumt allen gleichen Raum ein##Basic windows side by side|Tiles the "
                       "basic windows and gives all of them equal room");
    for (QToolButton* b : {resultButton_, equationButton_, equalButton_})
        b->setCheckable(true);
    equalButton_->setChecked(true);
    add("SBHalberBildschirm", "MIFensterHalb", "½",
        "Halber Bildschirm|Legt das aktive Fenster auf die linke, rechte, obere oder untere "
        "Hälfte##Half the screen|Puts the active window on the left, right, upper or lower "
        "half");
    sep();
    solveAlwaysButton_ = add("SBImmerLoesen", nullptr, "",
                             "Immer lösen?| Falls Schalter gedrückt, wird das Modell nach jeder "
                             "Neueingabe gelöst, sonst nur auf Anforderung##Always solve?| When "
                             "pressed, the model is solved after each input, otherwise only "
                             "on request");
    solveAlwaysButton_->setMinimumSize(0, 25);
    solveAlwaysButton_->setMaximumSize(QWIDGETSIZE_MAX, 25); // as wide as its text
    solveAlwaysButton_->setCheckable(true);
    solveAlwaysButton_->setChecked(m_.Options.SolveAfterInput);
    Register(solveAlwaysButton_, "Immer lösen?##Always solve?", nullptr);
    connect(solveAlwaysButton_, &QToolButton::clicked, this, [this](bool down) {
        m_.Options.SolveAfterInput = down ? 1 : 0;
        if (down && status_ != QStringLiteral("Ok")) Solve();
    });
    sep();
    auto digits = [&](const char* name, const char* label, int value, const char* hint) {
        auto* l = new QLabel(QString::fromLatin1(label), strip_);
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
        row->addWidget(l);
        auto* c = new QComboBox(strip_);
        c->setObjectName(QString::fromLatin1(name));
        for (int i = 0; i <= 10; ++i)
            c->addItem(QString::number(i));
        c->setCurrentIndex(value);
        c->setFixedHeight(23);
        Register(c, nullptr, hint);
        row->addWidget(c);
        return c;
    };
    ComBoxVorkomma = digits("ComBoxVorkomma", "#.", m_.IntegerDigits,
                            "Vorkommastellen|Stellen vor dem Komma, ab denen Zahlen in "
                            "Exponentialschreibweise erscheinen##Integer digits|Digits before "
                            "the point from which numbers are shown in exponent notation");
    ComBoxNachkomma = digits("ComBoxNachkomma", ".#", m_.DecimalPlaces,
                             "Nachkommastellen|Anzahl der angezeigten Nachkommastellen##"
                             "Decimals|Number of decimals shown");
    auto changed = [this] {
        SetNumberFormat(ComBoxVorkomma->currentIndex(), ComBoxNachkomma->currentIndex());
    };
    connect(ComBoxVorkomma, &QComboBox::currentIndexChanged, this, changed);
    connect(ComBoxNachkomma, &QComboBox::currentIndexChanged, this, changed);
    sep();
    auto* af = new QToolButton(strip_);
    af->setObjectName(QStringLiteral("SBAnalyseform"));
    af->setText(QStringLiteral("AF"));
    af->setFixedSize(28, 25);
    af->setAutoRaise(true);
    Register(af, nullptr,
             "Analyseform|Wechselt zwischen archivierender und revolvierender Analyseform##"
             "Moving mode|Switches between extending and toggling the interval");
    connect(af, &QToolButton::clicked, this, [this] { interval_.ToggleAnalysisForm(); });
    flatButtons_.push_back(af);
    row->addWidget(af);
    QToolButton* shift = add("SBVerschieben", "MIPeriodenVerschieben", "»",
                             "Analyseintervall verschieben|Verschiebt das Analyseintervall##Move "
                             "interval|Moves the analysis interval");
    shift->setFixedSize(22, 25);
    strip_->adjustSize();

    outer->addWidget(SBLinks);
    outer->addWidget(stripViewport_, 1);
    outer->addWidget(SBRechts);
    bf1Button_ = new QToolButton(Funktionsleiste);
    bf1Button_->setObjectName(QStringLiteral("SBBF1"));
    bf2Button_ = new QToolButton(Funktionsleiste);
    bf2Button_->setObjectName(QStringLiteral("SBBF2"));
    for (QToolButton* b : {bf1Button_, bf2Button_}) {
        b->setCheckable(true);
        b->setFixedHeight(25);
        b->setMinimumWidth(b->fontMetrics().horizontalAdvance(QStringLiteral("BW2 = tR")) + 14);
        b->setAutoRaise(true);
        flatButtons_.push_back(b);
        outer->addWidget(b);
    }
    Register(bf1Button_, nullptr,
             "Basisfensterpaar 1|Zeigt die aktuelle Periode (gedrückt) oder den linken Rand##"
             "Basic window group 1|Shows the current period (pressed) or the left border");
    Register(bf2Button_, nullptr,
             "Basisfensterpaar 2|Zeigt die aktuelle Periode (gedrückt) oder den rechten Rand##"
             "Basic window group 2|Shows the current period (pressed) or the right border");
    connect(bf1Button_, &QToolButton::clicked, this,
            [this](bool down) { SetBaseAssignment(1, down); });
    connect(bf2Button_, &QToolButton::clicked, this,
            [this](bool down) { SetBaseAssignment(2, down); });
}

void THauptFen::BuildBars() {
    navigator_ = new PeriodNavigator(interval_);
    navigator_->setObjectName(QStringLiteral("PeriodenNavigator"));
    navigator_->setFixedHeight(29);
    PeriodenNavigator = navigator_;
    connect(navigator_, &PeriodNavigator::periodChanged, this,
            [this](int kind) { PeriodMessages(kind); });
    connect(navigator_, &PeriodNavigator::modelChanged, this, [this] { ModelChanged(); });
    connect(navigator_, &PeriodNavigator::analysisFormChanged, this, [this](bool revolving) {
        Action(revolving ? QStringLiteral("MIPeriodenRevolvierend")
                         : QStringLiteral("MIPeriodenArchivierend"))
            ->setChecked(true);
    });

    BuildFunctionBar();

    auto policyBar = [this](PolicyBar::Kind kind, const char* name) {
        auto* bar = new PolicyBar(kind, interval_);
        bar->setObjectName(QString::fromLatin1(name));
        bar->setFixedHeight(15);
        bar->Follow(navigator_);
        bar->setVisible(false);
        return bar;
    };
    Tarifleiste = policyBar(PolicyBar::Kind::Wage, "Tarifleiste");
    Geldleiste = policyBar(PolicyBar::Kind::Money, "Geldleiste");

    NFXLeiste = new QFrame;
    NFXLeiste->setObjectName(QStringLiteral("NFXLeiste"));
    NFXLeiste->setFixedHeight(26);
    NFXLeiste->setVisible(false);
    auto* nfx = new QHBoxLayout(NFXLeiste);
    nfx->setContentsMargins(2, 1, 2, 1);
    for (const char* text : {"Regeleditor##Rule Editor", "Inferenzmonitor##Inference Monitor",
                             "Lernprozessmonitor##Learning Monitor"}) {
        auto* b = new QToolButton(NFXLeiste);
        b->setEnabled(false);
        Register(b, text, NotYet);
        nfx->addWidget(b);
    }
    for (const char* text : {"Regeln anwenden##Apply rules", "Lernen##Learning"}) {
        auto* c = new QCheckBox(NFXLeiste);
        c->setEnabled(false);
        Register(c, text, NotYet);
        nfx->addWidget(c);
    }
    nfx->addStretch(1);
}

void THauptFen::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("Hinweistraeger"));
    bar->setFixedHeight(22);
    bar->setSizeGripEnabled(true);
    progressPanel_ = new QWidget;
    auto* pl = new QHBoxLayout(progressPanel_);
    pl->setContentsMargins(0, 0, 0, 0);
    pl->addWidget(new QLabel(QStringLiteral("Datentransfer ... bitte warten")));
    pl->addWidget(new QProgressBar);
    progressPanel_->setVisible(false);
    bar->addWidget(progressPanel_);
    Hinweiszeile = new QLabel;
    Hinweiszeile->setObjectName(QStringLiteral("Hinweiszeile"));
    Hinweiszeile->setMinimumWidth(50);
    bar->addWidget(Hinweiszeile, 1);
    LoesungsStatus = new ClickLabel;
    LoesungsStatus->setObjectName(QStringLiteral("LoesungsStatus"));
    LoesungsStatus->setAlignment(Qt::AlignCenter);
    LoesungsStatus->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    bar->addPermanentWidget(LoesungsStatus);
    Modelldatei = new ClickLabel;
    Modelldatei->setObjectName(QStringLiteral("Modelldatei"));
    Modelldatei->setAlignment(Qt::AlignCenter);
    Modelldatei->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Modelldatei->setMinimumWidth(80);
    bar->addPermanentWidget(Modelldatei);
    connect(LoesungsStatus, &ClickLabel::clicked, this, [this](Qt::MouseButton b) {
        if (b == Qt::LeftButton && status_ != QStringLiteral("Ok")) Solve();
    });
    connect(Modelldatei, &ClickLabel::clicked, this,
            [this](Qt::MouseButton b, Qt::KeyboardModifiers mods) {
                if (b == Qt::RightButton)
                    MIDateiModellLadenClick();
                else if (b == Qt::LeftButton && (mods & Qt::ControlModifier))
                    MIDateiModellSpeichernClick();
                else if (b == Qt::LeftButton)
                    MIDateiModellSpeichernUnterClick();
            });
}

void THauptFen::RelabelAll() {
    for (const Labelled& l : labelled_) {
        if (!l.object) continue;
        const QString caption = Q(Translate(l.caption, m_.Language));
        QString hint = Q(Translate(l.hint, m_.Language));
        QString shortHint = hint, longHint = hint;
        if (const int bar = hint.indexOf(QLatin1Char('|')); bar >= 0) {
            shortHint = hint.left(bar).trimmed();
            longHint = hint.mid(bar + 1).trimmed();
            if (shortHint.isEmpty()) shortHint = longHint;
        }
        if (auto* a = qobject_cast<QAction*>(l.object)) {
            a->setText(caption);
            a->setStatusTip(longHint);
            a->setToolTip(shortHint.isEmpty() ? QString(caption).remove(QLatin1Char('&'))
                                              : shortHint);
        } else if (auto* menu = qobject_cast<QMenu*>(l.object)) {
            menu->setTitle(caption);
        } else if (auto* b = qobject_cast<QAbstractButton*>(l.object)) {
            if (!l.caption.empty()) b->setText(caption);
            if (!l.hint.empty()) {
                b->setToolTip(shortHint);
                b->setStatusTip(longHint);
            }
        } else if (auto* w = qobject_cast<QWidget*>(l.object)) {
            w->setToolTip(shortHint);
            w->setStatusTip(longHint);
        }
    }
    UpdateBaseButtons();
    UpdateFilePanel();
    if (Hinweiszeile->text().isEmpty() || !Hinweiszeile->property("pointed").toBool())
        Hinweiszeile->setText(T(AppHint));
    if (LoesSteuerDlg) {
        LoesSteuerDlg->setWindowTitle(T("Lösungssteuerung: Was lösen?##Solution control: what "
                                        "to solve?"));
        LoesSteuerDlg->BNaechstePeriode->setText(T("nächste Periode##next period"));
        LoesSteuerDlg->BRestintervall->setText(T("Restintervall##rest of the interval"));
    }
    ReLayoutStrip();
}

void THauptFen::SetLanguage(int language) {
    m_.Language = static_cast<uint8_t>(language == 2 ? 2 : 1);
    settings_.Sprache = m_.Language;
    Action(m_.Language == 2 ? QStringLiteral("MIOptionenEnglisch")
                            : QStringLiteral("MIOptionenDeutsch"))
        ->setChecked(true);
    RelabelAll();
    for (QMdiSubWindow* s : mdi_->subWindowList(QMdiArea::CreationOrder))
        if (auto* w = qobject_cast<TArbeitsFensterClass*>(s)) w->RefreshLanguage();
    SendToChild(ModelMonitor, MSG_MONITOR_RELABEL, 0, 0);
    SetStatusText(status_); // the panel width follows the font
}

void THauptFen::UpdateBaseButtons() {
    bf1Button_->setChecked(pair1Current_);
    bf2Button_->setChecked(pair2Current_);
    bf1Button_->setText(Q(BaseButtonLabel(1, pair1Current_, m_.Language)));
    bf2Button_->setText(Q(BaseButtonLabel(2, pair2Current_, m_.Language)));
    Action(pair1Current_ ? QStringLiteral("MIOptionenBF1Aktuell")
                         : QStringLiteral("MIOptionenBF1Links"))
        ->setChecked(true);
    Action(pair2Current_ ? QStringLiteral("MIOptionenBF2Aktuell")
                         : QStringLiteral("MIOptionenBF2Rechts"))
        ->setChecked(true);
}

void THauptFen::SetBaseAssignment(int pair, bool followsCurrent) {
    bool& state = pair == 1 ? pair1Current_ : pair2Current_;
    const bool changed = state != followsCurrent;
    state = followsCurrent;
    UpdateBaseButtons();
    if (!changed) return;
    SendToChildren(MSG_ASSIGN_EQ, pair, 0);
    SendToChildren(MSG_ASSIGN_RES, pair, 0);
}

int THauptFen::assignedPeriod(int pair) const {
    if (pair == 1) return pair1Current_ ? m_.Periods.CurrentPeriod : m_.Periods.LeftEdge;
    return pair2Current_ ? m_.Periods.CurrentPeriod : m_.Periods.RightEdge;
}

void THauptFen::SetNumberFormat(int integerDigits, int decimals) {
    const int bits = NumberFormatBits(m_.IntegerDigits, integerDigits, m_.DecimalPlaces, decimals);
    if (bits == 0) return;
    m_.IntegerDigits = static_cast<uint8_t>(integerDigits);
    m_.DecimalPlaces = static_cast<uint8_t>(decimals);
    {
        const QSignalBlocker b1(ComBoxVorkomma), b2(ComBoxNachkomma);
        ComBoxVorkomma->setCurrentIndex(integerDigits);
        ComBoxNachkomma->setCurrentIndex(decimals);
    }
    SendToChildren(MSG_NUMBER_FORMAT, bits, 1);
}

void THauptFen::SetFlatButtons(bool flat) {
    for (const auto& b : flatButtons_)
        if (b) b->setAutoRaise(flat);
}

// ---------------------------------------------------------------- layout

void THauptFen::ApplyBarVisibility() {
    Funktionsleiste->setVisible(Action(QStringLiteral("MIOptionenFunktionsleiste"))->isChecked());
    QAction* wage = Action(QStringLiteral("MIOptionenTarifleiste"));
    QAction* money = Action(QStringLiteral("MIOptionenGeldleiste"));
    Tarifleiste->setVisible(wage->isEnabled() && wage->isChecked());
    Geldleiste->setVisible(money->isEnabled() && money->isChecked());
    navigator_->SetPolicyMarkVisible(Tarifleiste->isVisibleTo(this) ||
                                     Geldleiste->isVisibleTo(this));
    // Re-arrange once the layout has taken the new height.
    QTimer::singleShot(0, this, [this] {
        if (startupDone_ && !closing_) ArrangeBase(arrangement_);
    });
}

QRect THauptFen::baseArea() const {
    return QRect(0, 0, mdi_->viewport()->width(), mdi_->viewport()->height());
}

void THauptFen::ArrangeBase(int percent) {
    arrangement_ = percent;
    equalButton_->setChecked(percent == 100);
    equationButton_->setChecked(percent == 150);
    resultButton_->setChecked(percent == 50);
    SendToChildren(MSG_ARRANGE_BASE, percent, 0);
}

int THauptFen::HalfScreenStep(QMdiSubWindow* w) const {
    return w ? w->property("tvHalfScreenStep").toInt() : 0;
}

void THauptFen::MIFensterHalberBildschirmClick() {
    QMdiSubWindow* w = mdi_->activeSubWindow();
    if (!w) return;
    if (w->isMaximized() || w->isMinimized()) w->showNormal();
    const int step = HalfScreenStep(w);
    const HalfScreenRect r =
        HalfScreen(step, mdi_->viewport()->width(), mdi_->viewport()->height());
    w->setGeometry(r.left, r.top, r.width, r.height);
    w->setProperty("tvHalfScreenStep", (step + 1) % 4);
}

void THauptFen::MIFensterZoomClick() {
    QMdiSubWindow* w = mdi_->activeSubWindow();
    if (!w) return;
    if (w->isMaximized()) {
        w->showMinimized();
        mdi_->activatePreviousSubWindow();
    } else if (w->isMinimized()) {
        w->showNormal();
    } else {
        w->showMaximized();
    }
}

void THauptFen::ReLayoutStrip() {
    if (!strip_) return;
    strip_->adjustSize();
    const StripScroll s = StripReset(stripViewport_->width(), strip_->width());
    stripOffset_ = s.offset;
    strip_->move(stripOffset_, (stripViewport_->height() - strip_->height()) / 2);
    SBLinks->setVisible(s.leftArrow);
    SBRechts->setVisible(s.rightArrow);
}

void THauptFen::ScrollStrip(bool right) {
    const StripScroll s =
        right ? StripScrollRight(stripOffset_, stripViewport_->width(), strip_->width())
              : StripScrollLeft(stripOffset_, stripViewport_->width(), strip_->width());
    stripOffset_ = s.offset;
    strip_->move(stripOffset_, strip_->y());
    SBLinks->setVisible(s.leftArrow);
    SBRechts->setVisible(s.rightArrow);
}

void THauptFen::UpdateWindowMenu() {
    const bool any = mdi_->activeSubWindow() != nullptr;
    for (const char* name : {"MIFensterZoom", "MIFensterHalb", "MIFensterSchliessen"})
        Action(QString::fromLatin1(name))->setEnabled(any);
}

// ---------------------------------------------------------------- events

bool THauptFen::event(QEvent* e) {
    if (e->type() == QEvent::StatusTip) {
        const QString tip = static_cast<QStatusTipEvent*>(e)->tip();
        Hinweiszeile->setProperty("pointed", !tip.isEmpty());
        Hinweiszeile->setText(tip.isEmpty() ? T(AppHint) : tip);
        return true;
    }
    return QMainWindow::event(e);
}

bool THauptFen::eventFilter(QObject* watched, QEvent* e) {
    if (watched == mdi_->viewport() && e->type() == QEvent::MouseButtonPress) {
        auto* me = static_cast<QMouseEvent*>(e);
        if (me->button() == Qt::LeftButton &&
            !mdi_->viewport()->childAt(me->position().toPoint())) {
            host_->ShowMessage("Hallo, User!",
                               "Schön, dass Sie einfach mal\r\nauf den Programmhintergrund "
                               "klicken.\r\n\r\nViele Grüße vom Entwickler\r\n;-)");
            return true;
        }
    }
    if (watched == mdi_->viewport() && e->type() == QEvent::Resize && startupDone_ && !closing_)
        QTimer::singleShot(0, this, [this] {
            if (!closing_) ArrangeBase(arrangement_);
        });
    if (watched == stripViewport_ && e->type() == QEvent::Resize) ReLayoutStrip();
    return QMainWindow::eventFilter(watched, e);
}

void THauptFen::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (shownOnce_) return;
    shownOnce_ = true;
    ApplyBarVisibility();
    QTimer::singleShot(0, this, [this] { StartUp(); });
}

void THauptFen::StartUp() {
    RelabelAll();
    for (QMdiSubWindow* s : mdi_->subWindowList(QMdiArea::CreationOrder))
        if (auto* w = qobject_cast<TArbeitsFensterClass*>(s)) w->RefreshLanguage();
    solving_ = true;
    SolveAtProgramStart(m_, *host_); // broadcasts the model-changed messages itself
    solving_ = false;
    SetStatusText(Q(SolvedStatus(m_)));
    SendToChildren(MSG_TOGGLE_TREE, 1, 1);
    startupDone_ = true;
    ArrangeBase(arrangement_);
    if (!options_.commandLineFile.empty()) file_->OpenModel(options_.commandLineFile);
    emit startupFinished();
}

// ---------------------------------------------------------------- messages

void THauptFen::SendToChildren(int msg, long wParam, long lParam) {
    QList<QPointer<TArbeitsFensterClass>> children;
    for (QMdiSubWindow* s : mdi_->subWindowList(QMdiArea::CreationOrder))
        if (auto* w = qobject_cast<TArbeitsFensterClass*>(s)) children.append(w);
    // A handler may close windows; the guarded list skips them.
    for (const auto& w : children)
        if (w) w->Message(msg, wParam, lParam);
}

TArbeitsFensterClass* THauptFen::FindChild(const std::string& caption) const {
    const QString part = Q(Translate(caption, m_.Language));
    for (QMdiSubWindow* s : mdi_->subWindowList(QMdiArea::CreationOrder))
        if (auto* w = qobject_cast<TArbeitsFensterClass*>(s))
            if (w->windowTitle().contains(part)) return w;
    return nullptr;
}

bool THauptFen::SendToChild(const std::string& caption, int msg, long wParam, long lParam) {
    TArbeitsFensterClass* w = FindChild(caption);
    if (!w) return false;
    w->Message(msg, wParam, lParam);
    return true;
}

bool THauptFen::ChildExists(const std::string& caption) const {
    return FindChild(caption) != nullptr;
}

TArbeitsFensterClass* THauptFen::OpenChild(TArbeitsFensterClass* window) {
    for (QMdiSubWindow* s : mdi_->subWindowList())
        if (auto* w = qobject_cast<TArbeitsFensterClass*>(s))
            if (w != window && w->windowTitle() == window->windowTitle()) {
                delete window;
                w->showNormal();
                mdi_->setActiveSubWindow(w);
                return w;
            }
    mdi_->addSubWindow(window);
    window->show();
    mdi_->setActiveSubWindow(window);
    return window;
}

void THauptFen::BroadcastModelChanged() {
    SendToChildren(MSG_MODEL_CHANGED_EQ, 1, 1);
    SendToChildren(MSG_MODEL_CHANGED, 1, 1);
}

// ---------------------------------------------------------------- the two steps

void THauptFen::ModelChanged() {
    // 1.-4. Expectation settings the structure no longer allows.
    EnforceExpectationRules(m_, *host_);
    // 5. Policy bars and the money-and-credit presentations.
    OpenPolicyBar(Action(QStringLiteral("MIOptionenTarifleiste")), Tarifleiste, m_.Sw(14) != 0);
    QMenu* money = Menu(QStringLiteral("MIAufbGeld"));
    money->setEnabled(m_.Sw(18) == 1);
    if (m_.Sw(18) == 0 && (ChildExists(MoneyWorksheet) || ChildExists(MoneyAccounts))) {
        host_->PlaySound("SoNicht.wav");
        host_->ShowMessage("So nicht!",
                           "Das Geldangebot ist ohne multiple Geld- und Kreditschöpfung "
                           "modelliert. Die hierfür geöffneten Aufbereitungsfenster werden "
                           "geschlossen.");
        SendToChild(MoneyWorksheet, MSG_MODEL_CHANGED, 0, 0);
        SendToChild(MoneyAccounts, MSG_MODEL_CHANGED, 0, 0);
    }
    OpenPolicyBar(Action(QStringLiteral("MIOptionenGeldleiste")), Geldleiste, m_.Sw(20) != 0);
    navigator_->SetPolicyMarkVisible(Tarifleiste->isVisibleTo(this) ||
                                     Geldleiste->isVisibleTo(this));
    // 6. The model now differs from its file.
    file_->ModelModified = true;
    UpdateFilePanel();
    // 7. What must be recomputed.
    PeriodState& ps = m_.Periods;
    MarkWhatMustBeRecomputed(m_);
    // 8. Changes that reach back before the left edge.
    if (ps.LastSolved < 0 && ps.LeftEdge > 0 && !interval_.Revolving()) {
        if (host_->Ask("Achtung!", "Die Änderungen haben Einfluss\r\nauf das "
                                   "Ausgangsgleichgewicht.\r\nLinken Rand auf t=0 zurücksetzen?"))
            interval_.SetInterval(0, ps.RightEdge, false);
    } else if (ps.LastSolved == 0 && ps.LeftEdge > 1) {
        if (host_->Ask("Achtung!", "Die Modelländerungen haben Einfluss\r\nauf alle "
                                   "Intervallperioden (t>0).\r\nLinken Rand auf t=1 "
                                   "zurücksetzen?"))
            interval_.SetInterval(1, ps.RightEdge, false);
    }
    // 9. Solve now or say what is due.
    if (m_.Options.SolveAfterInput) {
        if (ps.LastSolved < ps.RightEdge)
            Solve();
        else
            SetStatusText(QStringLiteral("Ok"));
    } else {
        if (ps.LastSolved < 0)
            SetStatusText(QStringLiteral("Alles lösen!"));
        else if (ps.LastSolved < ps.RightEdge)
            SetStatusText(QStringLiteral("Lösen: t > %1").arg(ps.LastSolved));
        else
            SetStatusText(QStringLiteral("Ok"));
        BroadcastModelChanged();
    }
    // 10. The model monitor follows every change.
    SendToChild(ModelMonitor, MSG_MODEL_CHANGED, 0, 0);
}

void THauptFen::OpenPolicyBar(QAction* entry, QWidget* bar, bool used) {
    bool& wasEnabled = entry->objectName() == QStringLiteral("MIOptionenTarifleiste")
                           ? wageEntryWasEnabled_
                           : moneyEntryWasEnabled_;
    if (used) {
        if (!wasEnabled) entry->setChecked(true); // the bar appears with the policy
        entry->setEnabled(true);
        bar->setVisible(entry->isChecked());
        static_cast<PolicyBar*>(bar)->Refresh();
    } else {
        entry->setEnabled(false);
        bar->setVisible(false);
    }
    wasEnabled = used;
}

void THauptFen::PeriodChanged(int kind) {
    // The navigator clamps and shows the period, then reports back to PeriodMessages.
    navigator_->PeriodChanged(kind);
}

void THauptFen::PeriodMessages(int kind) {
    for (QWidget* bar : {Tarifleiste, Geldleiste})
        if (bar->isVisible()) static_cast<PolicyBar*>(bar)->Refresh();
    SendToChildren(MSG_PERIOD_MOVED_EQ, kind, 1);
    SendToChildren(MSG_PERIOD_MOVED, kind, 1);
    SendToChild("Lernprozessmonitor##Learning Process Explorer", MSG_NFX_PERIOD, kind, 1);
    SendToChild("Inferenzmonitor##Inference Process Explorer", MSG_NFX_PERIOD, kind, 1);
}

bool THauptFen::RunInputDialog(QDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted) return false;
    ModelChanged();
    return true;
}

// ---------------------------------------------------------------- solving and status

void THauptFen::RunSolveCommand(const std::function<void()>& run) {
    if (solving_) return; // a solution is running; its window keeps everything else blocked
    solving_ = true;
    run();
    solving_ = false;
}

void THauptFen::Solve() {
    RunSolveCommand([this] { tv::Solve(m_, *host_); });
}

void THauptFen::SetStatusText(const QString& text) {
    status_ = text;
    LoesungsStatus->setText(text);
    QPalette p = LoesungsStatus->palette();
    p.setColor(QPalette::WindowText, text == QStringLiteral("Ok") ? Qt::black : Qt::red);
    LoesungsStatus->setPalette(p);
    LoesungsStatus->setFixedWidth(LoesungsStatus->fontMetrics().horizontalAdvance(text) + 12);
    Action(QStringLiteral("MILoesungUngeloeste"))->setEnabled(text != QStringLiteral("Ok"));
    // Transient texts must be seen while a solution runs.
    if (text.endsWith(QStringLiteral("...")) && isVisible()) LoesungsStatus->repaint();
}

QString THauptFen::StatusText() const {
    return status_;
}

void THauptFen::ShowSolveControl(bool visible) {
    if (visible) {
        LoesSteuerDlg->show();
        LoesSteuerDlg->raise();
    } else {
        LoesSteuerDlg->hide();
    }
    Action(QStringLiteral("MIFensterLoesungssteuerung"))->setEnabled(visible);
}

void THauptFen::MILoesungOptionenClick() {
    if (solving_) return; // the running solution keeps the model
    TLoesOptDlg dlg(m_.Options, m_.Language, this);
    const SolveOptions before = m_.Options;
    if (dlg.exec() == QDialog::Accepted) {
        dlg.Store(m_.Options);
        const bool accuracyChanged =
            std::llround(before.Accuracy * 1E10) != std::llround(m_.Options.Accuracy * 1E10);
        if (accuracyChanged) m_.RecalcAll = 1;
        if (!m_.Options.StepwiseSolve) ShowSolveControl(false);
        settings_.Infofenster = m_.Options.ShowSolveInfo != 0;
        if (accuracyChanged) {
            m_.Periods.LastSolved = -1;
            ModelChanged();
        } else if ((m_.Options.SolveAfterInput && !before.SolveAfterInput) ||
                   (!m_.Options.StepwiseSolve && before.StepwiseSolve)) {
            ModelChanged();
        }
    }
    solveAlwaysButton_->setChecked(m_.Options.SolveAfterInput == 1);
}

// ---------------------------------------------------------------- file commands

QString THauptFen::modelBaseName() const {
    return Q(ModelBaseName(file_->ModelFileName()));
}

void THauptFen::UpdateFilePanel() {
    Modelldatei->setText(modelBaseName());
    Modelldatei->setMinimumWidth(
        std::max(80, Modelldatei->fontMetrics().horizontalAdvance(modelBaseName()) + 16));
    QPalette p = Modelldatei->palette();
    p.setColor(QPalette::WindowText, file_->ModelModified ? Qt::red : Qt::black);
    Modelldatei->setPalette(p);
    const QString hint =
        T("Aktuelle Modelldatei: ##Current model file: ") + Q(file_->ModelFileName());
    Modelldatei->setToolTip(hint);
    Modelldatei->setStatusTip(
        T("Zeigt die aktuelle Modelldatei an. (Linksklick = Speichern_unter , Strg+Linksklick "
          "= Speichern,  Rechtsklick = Laden)##Shows the current model file. (click = save "
          "as, Ctrl+click = save, right click = open)"));
}

QString THauptFen::AskFileName(bool save, const QString& title, const QString& filter,
                               const QString& start) {
    if (fileNameProvider) return fileNameProvider(save, title, filter, start);
    QFileDialog dlg(this, title, start, filter);
    dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (save) {
        dlg.setDefaultSuffix(QStringLiteral("TV5"));
        dlg.selectFile(start);
    }
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return {};
    return dlg.selectedFiles().first();
}

bool THauptFen::SaveAsLoop() {
    const QString filter = QStringLiteral("TERVALIS 5.0 Modell (*.TV5 *.tv5)");
    for (;;) {
        const QString name =
            AskFileName(true, T("Modell speichern##Save model"), filter, Q(file_->ModelFileName()));
        if (name.isEmpty()) return false;
        if (!file_->CheckModelExtension(name.toStdString())) continue;
        const bool ok = file_->SaveAs(name.toStdString());
        UpdateFilePanel();
        return ok;
    }
}

void THauptFen::MIDateiModellSpeichernUnterClick() {
    SaveAsLoop();
}

void THauptFen::MIDateiModellSpeichernClick() {
    if (solving_) return; // the running solution keeps the model
    file_->Save();
    UpdateFilePanel();
}

void THauptFen::MIDateiModellLadenClick() {
    if (solving_) return; // the running solution keeps the model
    if (file_->ModelModified) {
        if (file_->AskLastChance())
            SaveAsLoop();
        else
            file_->ModelModified = false;
    }
    if (file_->ModelModified) return;
    const QString filter =
        T("TERVALIS 5.0 Modell (*.TV5 *.tv5);;Sicherungsdatei (*.ST5 *.st5)##TERVALIS 5.0 "
          "model (*.TV5 *.tv5);;Backup file (*.ST5 *.st5)");
    const QString start = QFileInfo(Q(file_->ModelFileName())).absolutePath();
    for (;;) {
        const QString name = AskFileName(false, T("Modelldatei laden##Open model"), filter, start);
        if (name.isEmpty()) break;
        if (ModelFile::HasExtension(name.toStdString(), "ST5")) file_->ShowBackupLoadHint();
        bool ok = false;
        RunSolveCommand(
            [&] { ok = file_->OpenModel(QFileInfo(name).absoluteFilePath().toStdString()); });
        if (ok) break;
    }
    UpdateFilePanel();
}

void THauptFen::MIDateiNeuesModellClick() {
    if (solving_) return; // the running solution keeps the model
    if (file_->ModelModified) {
        if (file_->AskLastChance()) {
            SaveAsLoop();
            if (file_->ModelModified) return;
        }
    }
    file_->NewModel();
    UpdateFilePanel();
}

void THauptFen::MIBearbeitenAllesLoeschenClick() {
    if (solving_) return; // the running solution keeps the model
    if (!host_->Ask("Bestätigung", "Alle Eingaben in\r\nallen Perioden löschen?##Clear all inputs "
                                   "in all periods?"))
        return;
    interval_.ResetToDefaults(m_.Periods.LeftEdge, m_.Periods.RightEdge);
    MarkUnsolvedFrom(m_, m_.Periods.LeftEdge - 1);
    ModelChanged();
}

// ---------------------------------------------------------------- printing

QPrinter& THauptFen::printer() {
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

void THauptFen::MIDateiDruckenClick() {
    auto* w = qobject_cast<TArbeitsFensterClass*>(mdi_->activeSubWindow());
    if (!w) return;
    QString printerName = printer().printerName();
    if (printerName.isEmpty())
        printerName = printer().outputFileName().isEmpty() ? T("Standarddrucker##Default printer")
                                                           : printer().outputFileName();
    host_->PlaySound("WasNun.wav");
    if (!host_->Ask("Druckauftrag bestätigen##Confirm print instruction",
                    PrintConfirmText(w->windowTitle(), printerName, m_.Language).toStdString()))
        return;
    w->Message(MSG_PRINT, 1, 1);
}

void THauptFen::MIDateiDruckerEinrichtenClick() {
    QPrintDialog dlg(&printer(), this);
    dlg.setWindowTitle(T("Drucker einrichten##Printer setup"));
    dlg.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    dlg.exec();
}

// ---------------------------------------------------------------- small commands

void THauptFen::MIDateiRechnerClick() {
    for (const char* calc : {"gnome-calculator", "kcalc", "galculator", "xcalc"}) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(calc));
        if (!path.isEmpty() && QProcess::startDetached(path, {})) return;
    }
    host_->PlaySound("SoNicht.wav");
    host_->ShowMessage("So nicht!", "TERVALIS kann den Rechner nicht starten. \r\nÜberprüfen Sie "
                                    "Ihre Systeminstallation oder rechnen Sie im Kopf.");
}

void THauptFen::MIHilfeWebSupportClick() {
    const std::string url = settings_.Homepage;
    if (url.empty()) {
        host_->PlaySound("SoNicht.wav");
        host_->ShowMessage("Achtung!", "Ini-Datei enthält keine URL für die "
                                       "TERVALIS-Webzentrale.\r\nInternet-Verbindung kann nicht "
                                       "aufgebaut werden.");
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromUserInput(Q(url)))) {
        host_->PlaySound("SoNicht.wav");
        host_->ShowMessage("Fehler!",
                           "Auf ihrem System ist kein WWW-Browser registriert, der mit "
                           "HTML-Dokumenten verknüpft ist und einwandfrei gestartet werden kann. "
                           "Sorgen Sie bitte selbst für eine WWW-Verbindung. Die URL der "
                           "TERVALIS-Webzentrale lautet:\r\n" +
                               url);
    }
}

void THauptFen::MIHilfeInfoClick() {
    host_->PlaySound("Start.wav");
    TStartInfoFen info(this, false);
    info.exec();
}

void THauptFen::ShowHelp(int context) {
    // Bundled pages "help/<context>.html" beside the program.
    const QString page =
        QDir(options_.programDirectory).filePath(QStringLiteral("help/%1.html").arg(context));
    auto* view = findChild<QTextBrowser*>(QStringLiteral("HelpView"));
    if (!view) {
        view = new QTextBrowser(this);
        view->setObjectName(QStringLiteral("HelpView"));
        view->setWindowFlag(Qt::Window);
        view->resize(640, 480);
        view->setOpenExternalLinks(true);
    }
    view->setWindowTitle(T("TERVALIS-Hilfe##TERVALIS Help"));
    if (QFileInfo::exists(page))
        view->setSource(QUrl::fromLocalFile(page));
    else
        view->setHtml(T("<h3>Hilfe</h3><p>Die Hilfeseite %1 ist nicht vorhanden.</p>##"
                        "<h3>Help</h3><p>The help page %1 is not available.</p>")
                          .arg(context));
    view->show();
    view->raise();
}

// ---------------------------------------------------------------- program end

void THauptFen::closeEvent(QCloseEvent* e) {
    if (solving_ || closing_) {
        e->ignore();
        return;
    }
    host_->PlaySound("WasNun.wav");
    const std::string question = ExitQuestion(file_->ModelModified, false, m_.Language);
    if (!host_->AskWithHint(ExitTitle, question, ExitHint)) {
        host_->PlaySound("ProgGoOn.wav");
        e->ignore();
        return;
    }
    closing_ = true;
    showMinimized();
    host_->PlaySoundToEnd("ProgEnde.wav");
    SendToChildren(MSG_MONITOR_RELABEL, 0, 0);
    if (options_.writeSettingsAtEnd) {
        settings_.Sprache = m_.Language;
        settings_.Signalsound = host_->SoundOn;
        settings_.FlacheSchalter = Action(QStringLiteral("MIOptionenFlacheSchalter"))->isChecked();
        settings_.dauerhaft = Action(QStringLiteral("MIOptionenDauerhaft"))->isChecked();
        settings_.Funktionsleiste =
            Action(QStringLiteral("MIOptionenFunktionsleiste"))->isChecked();
        settings_.EinstellungenSpeichern =
            Action(QStringLiteral("MIOptionenEinstellungenSpeichern"))->isChecked();
        settings_.Infofenster = m_.Options.ShowSolveInfo != 0;
        auto store = [](const QFont& f, FontSetting& s) {
            s.Name = f.family().toStdString();
            s.Groesse = std::max(1, f.pointSize());
            s.kursiv = f.italic();
            s.fett = f.bold();
            s.unterstrichen = f.underline();
            s.durchgestrichen = f.strikeOut();
        };
        store(screenFont_, settings_.Bildschirmschrift);
        store(printerFont_, settings_.Druckerschrift);
        settingsFile_->WriteSettings(settings_, file_->ModelFileName());
    }
    if (auto* help = findChild<QTextBrowser*>(QStringLiteral("HelpView"))) help->close();
    e->accept();
}

} // namespace tv
