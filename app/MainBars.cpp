#include "app/MainLogic.h"
#include "app/MainWindow.h"
#include "app/MainWindowShared.h"
#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/Solver.h"
#include "logic/ModelChange.h"
#include "services/PeriodNavigator.h"
#include "services/PolicyBars.h"
#include "services/Printing.h"
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QSize>
#include <QSizePolicy>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace tv {

QToolButton* MainWindow::BarButton(QWidget* parent, const QString& name, QAction* action,
                                   const char* text, const char* hint,
                                   QStyle::StandardPixmap icon) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setFixedSize(text && *text && std::string_view(text).size() > 1 ? QSize(34, 25)
                                                                       : QSize(25, 25));
    if (icon != QStyle::SP_CustomBase) {
        b->setIcon(style()->standardIcon(icon));
        b->setIconSize(QSize(16, 16));
    } else if (text) {
        b->setText(QString::fromStdString(Translate(text, m_.Language)));
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
    // A lettered button follows the language like a menu entry.
    Register(b, icon == QStyle::SP_CustomBase ? text : nullptr, hint);
    flatButtons_.push_back(b);
    return b;
}

void MainWindow::BuildFunctionBar() {
    FunctionBar = new QFrame;
    FunctionBar->setObjectName(QStringLiteral("Funktionsleiste")); // verbatim
    FunctionBar->setFixedHeight(31);
    auto* outer = new QHBoxLayout(FunctionBar);
    outer->setContentsMargins(2, 2, 2, 2);
    outer->setSpacing(2);

    StripLeftButton = new QToolButton(FunctionBar);
    StripLeftButton->setObjectName(QStringLiteral("SBLinks"));
    StripLeftButton->setText(QStringLiteral("<"));
    StripLeftButton->setFixedSize(14, 25);
    StripLeftButton->setVisible(false);
    StripRightButton = new QToolButton(FunctionBar);
    StripRightButton->setObjectName(QStringLiteral("SBRechts"));
    StripRightButton->setText(QStringLiteral(">"));
    StripRightButton->setFixedSize(14, 25);
    StripRightButton->setVisible(false);
    // The arrows keep their room while hidden, so that showing one does not resize the
    // strip (which would scroll it back).
    for (QToolButton* arrow : {StripLeftButton, StripRightButton}) {
        QSizePolicy p = arrow->sizePolicy();
        p.setRetainSizeWhenHidden(true);
        arrow->setSizePolicy(p);
    }
    connect(StripLeftButton, &QToolButton::clicked, this, [this] { ScrollStrip(false); });
    connect(StripRightButton, &QToolButton::clicked, this, [this] { ScrollStrip(true); });

    stripViewport_ = new QWidget(FunctionBar);
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
    add("SBDrucken", "MIDateiDrucken", "Dr##Pr",
        "Drucken|Druckt das aktive Fenster##Print|Prints the active window");
    sep();
    add("SBLoeschen", "MIBearbeitenLoeschen", "",
        "Löschen|Setzt Eingaben über einen Periodenbereich auf ihre Startwerte zurück##Clear|"
        "Resets inputs to their start values over a range of periods",
        QStyle::SP_DialogResetButton);
    add("SBKopieren", "MIBearbeitenKopieren", "Ko##Co",
        "Kopieren|Kopiert die Eingaben einer Periode in einen Periodenbereich##Copy|Copies the "
        "inputs of one period to a range of periods");
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
        if (down && StatusText() != QStringLiteral("Ok")) Solve();
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
    IntegerDigitsBox = digits("ComBoxVorkomma", "#.", m_.IntegerDigits,
                              "Vorkommastellen|Stellen vor dem Komma, ab denen Zahlen in "
                              "Exponentialschreibweise erscheinen##Integer digits|Digits before "
                              "the point from which numbers are shown in exponent notation");
    DecimalPlacesBox = digits("ComBoxNachkomma", ".#", m_.DecimalPlaces,
                              "Nachkommastellen|Anzahl der angezeigten Nachkommastellen##"
                              "Decimals|Number of decimals shown");
    auto changed = [this] {
        SetNumberFormat(IntegerDigitsBox->currentIndex(), DecimalPlacesBox->currentIndex());
    };
    connect(IntegerDigitsBox, &QComboBox::currentIndexChanged, this, changed);
    connect(DecimalPlacesBox, &QComboBox::currentIndexChanged, this, changed);
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
    // The revolving form has its own shift button; only the one of the current form shows.
    QToolButton* shiftRevolving =
        add("SBVerschiebenRevolvierend", "MIPeriodenVerschieben", "\u21ba",
            "Analyseintervall verschieben|Verschiebt die Ergebnisse vor das Analyseintervall##"
            "Move interval|Moves the results in front of the analysis interval");
    shiftRevolving->setFixedSize(22, 25);
    shiftRevolving->setVisible(false);
    strip_->adjustSize();

    outer->addWidget(StripLeftButton);
    outer->addWidget(stripViewport_, 1);
    outer->addWidget(StripRightButton);
    bf1Button_ = new QToolButton(FunctionBar);
    bf1Button_->setObjectName(QStringLiteral("SBBF1"));
    bf2Button_ = new QToolButton(FunctionBar);
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

void MainWindow::BuildBars() {
    navigator_ = new PeriodNavigator(interval_);
    navigator_->setObjectName(QStringLiteral("PeriodenNavigator"));
    navigator_->setFixedHeight(29);
    NavigatorPanel = navigator_;
    connect(navigator_, &PeriodNavigator::periodChanged, this,
            [this](int kind) { PeriodMessages(kind); });
    connect(navigator_, &PeriodNavigator::modelChanged, this, [this] { ModelChanged(); });
    connect(navigator_, &PeriodNavigator::analysisFormChanged, this, [this](bool revolving) {
        Action(revolving ? QStringLiteral("MIPeriodenRevolvierend")
                         : QStringLiteral("MIPeriodenArchivierend"))
            ->setChecked(true);
        // The left edge is fixed in the revolving form: its menu command goes with its field.
        Action(QStringLiteral("MIPeriodenLinkerRand"))->setEnabled(!revolving);
        Button(QStringLiteral("SBVerschieben"))->setVisible(!revolving);
        Button(QStringLiteral("SBVerschiebenRevolvierend"))->setVisible(revolving);
        strip_->adjustSize();
        ReLayoutStrip();
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
    WageBar = policyBar(PolicyBar::Kind::Wage, "Tarifleiste");
    MoneyBar = policyBar(PolicyBar::Kind::Money, "Geldleiste");

    RuleBar = new QFrame;
    RuleBar->setObjectName(QStringLiteral("NFXLeiste"));
    RuleBar->setFixedHeight(26);
    RuleBar->setVisible(false);
    auto* nfx = new QHBoxLayout(RuleBar);
    nfx->setContentsMargins(2, 1, 2, 1);
    for (const char* text : {"Regeleditor##Rule Editor", "Inferenzmonitor##Inference Monitor",
                             "Lernprozessmonitor##Learning Monitor"}) {
        auto* b = new QToolButton(RuleBar);
        b->setEnabled(false);
        Register(b, text, NotYet);
        nfx->addWidget(b);
    }
    for (const char* text : {"Regeln anwenden##Apply rules", "Lernen##Learning"}) {
        auto* c = new QCheckBox(RuleBar);
        c->setEnabled(false);
        Register(c, text, NotYet);
        nfx->addWidget(c);
    }
    nfx->addStretch(1);
}

void MainWindow::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("Hinweistraeger"));
    bar->setFixedHeight(22);
    bar->setSizeGripEnabled(true);
    progressPanel_ = new QWidget;
    auto* pl = new QHBoxLayout(progressPanel_);
    pl->setContentsMargins(0, 0, 0, 0);
    pl->addWidget(new QLabel); // its text comes with the language (RelabelAll)
    pl->addWidget(new QProgressBar);
    progressPanel_->setVisible(false);
    bar->addWidget(progressPanel_);
    HintLine = new ElidingLabel;
    HintLine->setObjectName(QStringLiteral("Hinweiszeile"));
    HintLine->setMinimumWidth(50);
    bar->addWidget(HintLine, 1);
    SolveStatusPanel = new ClickLabel;
    SolveStatusPanel->setObjectName(QStringLiteral("LoesungsStatus"));
    SolveStatusPanel->setAlignment(Qt::AlignCenter);
    SolveStatusPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    BuildBaselinePanel();
    bar->addPermanentWidget(SolveStatusPanel);
    ModelFilePanel = new ClickLabel;
    ModelFilePanel->setObjectName(QStringLiteral("Modelldatei"));
    ModelFilePanel->setAlignment(Qt::AlignCenter);
    ModelFilePanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    ModelFilePanel->setMinimumWidth(80);
    bar->addPermanentWidget(ModelFilePanel);
    connect(SolveStatusPanel, &ClickLabel::clicked, this, [this](Qt::MouseButton b) {
        if (b == Qt::LeftButton && StatusText() != QStringLiteral("Ok")) Solve();
    });
    connect(ModelFilePanel, &ClickLabel::clicked, this,
            [this](Qt::MouseButton b, Qt::KeyboardModifiers mods) {
                if (b == Qt::RightButton)
                    onOpenModel();
                else if (b == Qt::LeftButton && (mods & Qt::ControlModifier))
                    onSaveModel();
                else if (b == Qt::LeftButton)
                    onSaveModelAs();
            });
}

void MainWindow::ReLayoutStrip() {
    if (!strip_) return;
    strip_->adjustSize();
    const StripScroll s = StripReset(stripViewport_->width(), strip_->width());
    stripOffset_ = s.offset;
    strip_->move(stripOffset_, (stripViewport_->height() - strip_->height()) / 2);
    StripLeftButton->setVisible(s.leftArrow);
    StripRightButton->setVisible(s.rightArrow);
}

void MainWindow::ScrollStrip(bool right) {
    const StripScroll s =
        right ? StripScrollRight(stripOffset_, stripViewport_->width(), strip_->width())
              : StripScrollLeft(stripOffset_, stripViewport_->width(), strip_->width());
    stripOffset_ = s.offset;
    strip_->move(stripOffset_, strip_->y());
    StripLeftButton->setVisible(s.leftArrow);
    StripRightButton->setVisible(s.rightArrow);
}

} // namespace tv
