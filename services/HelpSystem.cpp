#include "services/HelpSystem.h"

#include "core/Catalogue.h"
#include "logic/HelpPages.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolBar>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace tv {

namespace {

QString T(const char* bilingual, int language) {
    return QString::fromStdString(Translate(bilingual, language));
}

constexpr const char* ContextProperty = "helpContext";

// Windows that carry no help property of their own: their context by class, and the main
// menus by name. Elsewhere in the main window F1 is the shortcut of Help > Contents.
int BuiltInContext(const QWidget* w) {
    static const std::pair<const char*, int> classes[] = {
        {"tv::HelpWindow", help::UsingHelp},
        {"tv::EquationWindow", help::EquationWindow},
        {"tv::ResultWindow", help::ResultWindow},
        {"tv::ExplanationWindow", help::Explanation},
        {"tv::SolveOptionsDialog", help::SolveOptions},
        {"tv::SolveControlDialog", help::SolveControl},
        {"tv::SolveInfoWindow", help::SolveInfo},
        {"tv::PeriodPrintDialog", help::PrintRange},
        {"tv::PeriodNavigator", help::Navigator},
        // The presentation windows and their dialogs.
        {"tv::SequenceTableWindow", help::SequenceTable},
        {"tv::NumberFormatDialog", help::NumberFormat},
        {"tv::SeriesSelectionDialog", help::SeriesSelection},
        {"tv::QuickGraphWindow", help::QuickGraph},
        {"tv::SequenceChartWindow", help::SequenceGraph},
        {"tv::StructureWindow", help::StructureGraph},
        {"tv::FlowChartWindow", help::FlowChart},
        {"tv::AccountSchemeWindow", help::AccountScheme},
        {"tv::MoneyWorksheetWindow", help::MoneyWorksheet},
        {"tv::MoneyAccountsWindow", help::MoneyAccounts},
        {"tv::IncomeExpenditureWindow", help::IncomeExpenditure},
        {"tv::IncomeInterestWindow", help::IncomeInterest},
        {"tv::ISDerivationWindow", help::ISDerivation},
        {"tv::LMDerivationWindow", help::LMDerivation},
        {"tv::ZDerivationWindow", help::ZDerivation},
        {"tv::GraphOptionsDialog", help::GraphOptions},
        {"tv::PeriodRunWindow", help::PeriodRun},
        {"tv::ExportDialog", help::Export},
        // The total input and its repeat-paste dialog.
        {"tv::TotalInputWindow", 624},
        {"tv::RepeatPasteDialog", 627},
    };
    static const QHash<QString, int> menus = {
        {QStringLiteral("MIDatei"), help::FileMenu},
        {QStringLiteral("MIBearbeiten"), help::EditMenu},
        {QStringLiteral("MIPerioden"), help::PeriodsMenu},
        {QStringLiteral("MIModellbau"), help::ModelMenu},
        {QStringLiteral("MILoesung"), help::SolutionMenu},
        {QStringLiteral("MIAufbereitung"), help::PresentationMenu},
        {QStringLiteral("MIOptionen"), help::OptionsMenu},
        {QStringLiteral("MIFenster"), help::WindowMenu},
        {QStringLiteral("MIHilfe"), help::HelpMenu},
    };
    if (qobject_cast<const QMenu*>(w)) return menus.value(w->objectName(), 0);
    for (const auto& [name, context] : classes)
        if (w->inherits(name)) return context;
    return 0;
}

// The process's help: one window, opened on demand.
struct HelpState {
    QPointer<QWidget> owner;
    QString folder;
    std::function<int()> language;
    std::function<void(const QString&)> openModel;
    QPointer<HelpWindow> window;
    QObject* keyFilter = nullptr;

    int Language() const { return language && owner ? language() : 1; }
};

HelpState& State() {
    static HelpState state;
    return state;
}

// F1 anywhere: the help of the window it was pressed in. A window that has no help context
// of its own keeps the key (dialogs with their own help button handle it themselves).
class HelpKeyFilter : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() != QEvent::KeyPress && e->type() != QEvent::ShortcutOverride) return false;
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() != Qt::Key_F1 || k->modifiers() != Qt::NoModifier) return false;
        auto* w = qobject_cast<QWidget*>(o);
        if (!w) return false;
        const int context = HelpSystem::ContextOf(w);
        if (context == 0) return false;
        if (e->type() == QEvent::ShortcutOverride) {
            // The key is this window's, not the main window's shortcut (Help > Contents).
            e->accept();
            return true;
        }
        if (auto* menu = qobject_cast<QMenu*>(w)) {
            // Close the open menus first, or they keep the keyboard from the help window.
            for (QWidget* p = menu; qobject_cast<QMenu*>(p); p = p->parentWidget())
                static_cast<QMenu*>(p)->close();
        }
        HelpSystem::show(context);
        return true;
    }
};

} // namespace

QString ProgramDataFolder(const QString& name, QString programDir) {
    if (programDir.isEmpty()) programDir = QCoreApplication::applicationDirPath();
    const QDir dir(programDir);
    for (const QString& rel : {name, QStringLiteral("../../share/tervalis/") + name,
                               QStringLiteral("../share/tervalis/") + name}) {
        const QFileInfo f(dir.filePath(rel));
        if (f.isDir()) return QDir::cleanPath(f.absoluteFilePath());
    }
    return {};
}

// ---------------------------------------------------------------- HelpWindow

HelpWindow::HelpWindow(QString helpFolder, int language, QWidget* parent)
    : QWidget(parent, Qt::Window), folder_(std::move(helpFolder)), language_(language) {
    setObjectName(QStringLiteral("HelpWindow"));
    resize(900, 620);

    bar_ = new QToolBar(this);
    bar_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    back_ = bar_->addAction(style()->standardIcon(QStyle::SP_ArrowBack), QString());
    forward_ = bar_->addAction(style()->standardIcon(QStyle::SP_ArrowForward), QString());
    home_ = bar_->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), QString());
    back_->setShortcut(QKeySequence::Back);
    forward_->setShortcut(QKeySequence::Forward);
    back_->setEnabled(false);
    forward_->setEnabled(false);

    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("HelpView"));
    browser_->setOpenLinks(false);
    connect(browser_, &QTextBrowser::anchorClicked, this, &HelpWindow::OnAnchor);
    connect(browser_, &QTextBrowser::sourceChanged, this, &HelpWindow::OnSourceChanged);
    connect(browser_, &QTextBrowser::backwardAvailable, back_, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QAction::setEnabled);
    connect(back_, &QAction::triggered, browser_, &QTextBrowser::backward);
    connect(forward_, &QAction::triggered, browser_, &QTextBrowser::forward);
    connect(home_, &QAction::triggered, this, [this] { ShowContext(help::Contents); });

    contents_ = new QTreeWidget(this);
    contents_->setObjectName(QStringLiteral("HelpContents"));
    contents_->setHeaderHidden(true);
    connect(contents_, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { ShowPage(item->data(0, Qt::UserRole).toString()); });
    connect(contents_, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { ShowPage(item->data(0, Qt::UserRole).toString()); });

    auto* searchPage = new QWidget(this);
    auto* searchLayout = new QVBoxLayout(searchPage);
    searchLayout->setContentsMargins(2, 2, 2, 2);
    searchEdit_ = new QLineEdit(searchPage);
    searchEdit_->setObjectName(QStringLiteral("HelpSearchText"));
    searchEdit_->setClearButtonEnabled(true);
    results_ = new QListWidget(searchPage);
    results_->setObjectName(QStringLiteral("HelpSearchResults"));
    searchLayout->addWidget(searchEdit_);
    searchLayout->addWidget(results_);
    connect(searchEdit_, &QLineEdit::returnPressed, this,
            [this] { RunSearch(searchEdit_->text()); });
    connect(results_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { ShowPage(item->data(Qt::UserRole).toString()); });
    connect(results_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { ShowPage(item->data(Qt::UserRole).toString()); });

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("HelpTabs"));
    tabs_->addTab(contents_, QString());
    tabs_->addTab(searchPage, QString());

    auto* split = new QSplitter(this);
    split->addWidget(tabs_);
    split->addWidget(browser_);
    split->setStretchFactor(1, 1);
    split->setSizes({240, 660});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar_);
    layout->addWidget(split);
    Relabel();
    FillContents();
}

QString HelpWindow::PagePath(const QString& page) const {
    return QDir(folder_).filePath(QString::fromLatin1(HelpLanguageFolder(language_)) +
                                  QLatin1Char('/') + page + QStringLiteral(".html"));
}

bool HelpWindow::ShowPage(const QString& page, const QString& anchor) {
    const QString path = PagePath(page);
    if (folder_.isEmpty() || !QFileInfo::exists(path)) return false;
    QUrl url = QUrl::fromLocalFile(path);
    if (!anchor.isEmpty()) url.setFragment(anchor);
    if (browser_->source() == url)
        browser_->reload();
    else
        browser_->setSource(url);
    return true;
}

void HelpWindow::ShowContext(int context) {
    const HelpTarget* t = FindHelpTarget(context);
    if (t && ShowPage(QString::fromLatin1(t->page), QString::fromLatin1(t->anchor))) return;
    currentPage_.clear();
    browser_->clear();
    browser_->setHtml(T("<h3>Hilfe</h3><p>Die Hilfeseite %1 ist nicht vorhanden.</p>##"
                        "<h3>Help</h3><p>The help page %1 is not available.</p>",
                        language_)
                          .arg(context));
    setWindowTitle(T("TERVALIS-Hilfe##TERVALIS Help", language_));
}

void HelpWindow::OnSourceChanged(const QUrl& url) {
    currentPage_ = QFileInfo(url.toLocalFile()).completeBaseName();
    const QString title =
        QString::fromStdString(HelpPageTitle(currentPage_.toStdString(), language_));
    setWindowTitle(T("TERVALIS-Hilfe##TERVALIS Help", language_) +
                   (title.isEmpty() ? QString() : QStringLiteral(" - ") + title));
    // Keep the contents on the page shown.
    for (QTreeWidgetItemIterator it(contents_); *it; ++it) {
        if ((*it)->data(0, Qt::UserRole).toString() == currentPage_) {
            const QSignalBlocker block(contents_);
            contents_->setCurrentItem(*it);
            break;
        }
    }
    if (!lastQuery_.isEmpty() && tabs_->currentIndex() == 1) {
        // Mark the first hit of the search on the page it led to.
        browser_->moveCursor(QTextCursor::Start);
        browser_->find(lastQuery_.split(QLatin1Char(' '), Qt::SkipEmptyParts).value(0));
    }
}

void HelpWindow::OnAnchor(const QUrl& url) {
    if (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https") ||
        url.scheme() == QLatin1String("mailto")) {
        QDesktopServices::openUrl(url);
        return;
    }
    const QUrl target = browser_->source().resolved(url);
    const QString file = target.toLocalFile();
    if (file.endsWith(QLatin1String(".html"), Qt::CaseInsensitive)) {
        browser_->setSource(target);
    } else if (file.endsWith(QLatin1String(".tv5"), Qt::CaseInsensitive)) {
        if (openModel && QFileInfo::exists(file)) openModel(QFileInfo(file).absoluteFilePath());
    } else if (url.hasFragment() && url.path().isEmpty()) {
        browser_->scrollToAnchor(url.fragment());
    }
}

QStringList HelpWindow::Search(const QString& query) {
    const QStringList words = query.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QStringList hits;
    if (words.isEmpty()) return hits;
    for (const HelpPage& p : HelpPages()) {
        const QString page = QString::fromLatin1(p.name);
        auto it = plainText_.find(page);
        if (it == plainText_.end()) {
            QFile f(PagePath(page));
            QString text;
            if (f.open(QIODevice::ReadOnly)) {
                QTextDocument doc;
                doc.setHtml(QString::fromUtf8(f.readAll()));
                text = doc.toPlainText();
            }
            it = plainText_.insert(page, text);
        }
        bool all = true;
        for (const QString& w : words)
            if (!it->contains(w, Qt::CaseInsensitive)) {
                all = false;
                break;
            }
        if (all) hits << page;
    }
    return hits;
}

void HelpWindow::RunSearch(const QString& query) {
    lastQuery_ = query;
    if (searchEdit_->text() != query) searchEdit_->setText(query);
    tabs_->setCurrentIndex(1);
    results_->clear();
    const QStringList hits = Search(query);
    for (const QString& page : hits) {
        auto* item = new QListWidgetItem(
            QString::fromStdString(HelpPageTitle(page.toStdString(), language_)), results_);
        item->setData(Qt::UserRole, page);
    }
    if (hits.isEmpty()) {
        auto* item =
            new QListWidgetItem(T("Nichts gefunden.##Nothing found.", language_), results_);
        item->setFlags(Qt::NoItemFlags);
        return;
    }
    results_->setCurrentRow(0);
    ShowPage(hits.front());
}

void HelpWindow::SetLanguage(int language) {
    if (language == language_) return;
    language_ = language;
    plainText_.clear();
    Relabel();
    FillContents();
    if (!lastQuery_.isEmpty()) {
        results_->clear();
        lastQuery_.clear();
    }
    if (!currentPage_.isEmpty())
        ShowPage(currentPage_, browser_->source().fragment());
    else
        ShowContext(help::Contents);
}

void HelpWindow::Relabel() {
    back_->setText(T("Zurück##Back", language_));
    forward_->setText(T("Vor##Forward", language_));
    home_->setText(T("Inhalt##Contents", language_));
    tabs_->setTabText(0, T("Inhalt##Contents", language_));
    tabs_->setTabText(1, T("Suche##Search", language_));
    searchEdit_->setPlaceholderText(T("Suchbegriffe, Enter##Words to find, Enter", language_));
    const QString title =
        QString::fromStdString(HelpPageTitle(currentPage_.toStdString(), language_));
    setWindowTitle(T("TERVALIS-Hilfe##TERVALIS Help", language_) +
                   (title.isEmpty() ? QString() : QStringLiteral(" - ") + title));
}

void HelpWindow::FillContents() {
    const QSignalBlocker block(contents_);
    contents_->clear();
    QTreeWidgetItem* top = nullptr;
    for (const HelpPage& p : HelpPages()) {
        const QString title = QString::fromStdString(Translate(p.title, language_));
        QTreeWidgetItem* item = p.level > 0 && top ? new QTreeWidgetItem(top, {title})
                                                   : new QTreeWidgetItem(contents_, {title});
        item->setData(0, Qt::UserRole, QString::fromLatin1(p.name));
        if (p.level == 0) top = item;
    }
    contents_->expandAll();
}

void HelpWindow::changeEvent(QEvent* e) {
    // A language switched while the window was in the background is taken over when the
    // user comes back to it.
    if (e->type() == QEvent::ActivationChange && isActiveWindow() && State().window == this &&
        State().language)
        SetLanguage(State().Language());
    QWidget::changeEvent(e);
}

bool HelpWindow::event(QEvent* e) {
    // Escape and Ctrl+W close the help window; neither reaches the main window's commands.
    if (e->type() == QEvent::ShortcutOverride || e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if ((k->key() == Qt::Key_Escape && k->modifiers() == Qt::NoModifier) ||
            k->matches(QKeySequence::Close) ||
            (k->key() == Qt::Key_W && k->modifiers() == Qt::ControlModifier)) {
            e->accept();
            if (e->type() == QEvent::KeyPress) close();
            return true;
        }
    }
    return QWidget::event(e);
}

// ---------------------------------------------------------------- HelpSystem

void HelpSystem::Install(QWidget* owner, QString helpFolder, std::function<int()> language,
                         std::function<void(const QString&)> openModel) {
    HelpState& s = State();
    if (s.window) {
        s.window->hide();
        s.window->deleteLater();
        s.window = nullptr;
    }
    s.owner = owner;
    s.folder = std::move(helpFolder);
    s.language = std::move(language);
    s.openModel = std::move(openModel);
    if (!s.keyFilter) {
        s.keyFilter = new HelpKeyFilter(qApp);
        qApp->installEventFilter(s.keyFilter);
    }
}

HelpWindow* HelpSystem::Window() {
    return State().window;
}

void HelpSystem::show(int context) {
    HelpState& s = State();
    if (!s.window) {
        if (s.folder.isEmpty()) s.folder = ProgramDataFolder(QStringLiteral("help"));
        s.window = new HelpWindow(s.folder, s.Language(), s.owner);
        s.window->setAttribute(Qt::WA_DeleteOnClose, false);
    }
    HelpWindow* w = s.window;
    w->openModel = s.openModel;
    w->SetLanguage(s.Language());
    // A modal dialog would block a plain window: the help opened from one is modal on top.
    QWidget* modal = QApplication::activeModalWidget();
    const Qt::WindowModality wanted = modal && modal != w ? Qt::ApplicationModal : Qt::NonModal;
    if (w->windowModality() != wanted) {
        w->hide();
        w->setWindowModality(wanted);
    }
    w->ShowContext(context);
    w->show();
    w->raise();
    w->activateWindow();
}

void HelpSystem::RefreshLanguage() {
    HelpState& s = State();
    if (s.window) s.window->SetLanguage(s.Language());
}

void HelpSystem::close() {
    if (HelpWindow* w = State().window) w->close();
}

int HelpSystem::ContextOf(QWidget* w) {
    for (; w; w = w->parentWidget()) {
        const QVariant v = w->property(ContextProperty);
        if (v.isValid() && v.toInt() > 0) return v.toInt();
        if (const int c = BuiltInContext(w)) return c;
        if (w->isWindow() && !qobject_cast<QMenu*>(w)) break; // not into the owner's context
    }
    return 0;
}

void SetHelpContext(QWidget* w, int context) {
    w->setProperty(ContextProperty, context);
}

} // namespace tv
