#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>

class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;
class QToolBar;
class QTreeWidget;
class QAction;

namespace tv {

// A folder of the program's own files ("help", "examples"): beside the program, as in the
// build folder, or in the installation's shared data folder
// (<prefix>/lib/tervalis/tervalis finds <prefix>/share/tervalis/<name>). Empty when neither
// exists. programDir empty: the running program's folder.
QString ProgramDataFolder(const QString& name, QString programDir = {});

// The help window: the page, back and forward, the contents and a full-text search over the
// pages of the current language.
class HelpWindow : public QWidget {
    Q_OBJECT
  public:
    HelpWindow(QString helpFolder, int language, QWidget* parent = nullptr);

    // Opens the page of a help context, or says that there is none.
    void ShowContext(int context);
    // Opens a page by name ("menu-file"), at a section when anchor is not empty.
    bool ShowPage(const QString& page, const QString& anchor = {});
    // Re-labels the window and shows the same page in the other language.
    void SetLanguage(int language);
    int Language() const { return language_; }

    // The page shown ("menu-file"), empty while the missing-page text is shown.
    QString CurrentPage() const { return currentPage_; }
    // Names of the pages of the current language containing every word of the query.
    QStringList Search(const QString& query);
    // Runs the search of the search tab and shows its first hit.
    void RunSearch(const QString& query);

    QTextBrowser* Browser() const { return browser_; }
    QTreeWidget* ContentsTree() const { return contents_; }
    QListWidget* SearchResults() const { return results_; }

    // Opens a model file a page links to (the example models); null: such links do nothing.
    std::function<void(const QString&)> openModel;

  protected:
    void changeEvent(QEvent* e) override;
    bool event(QEvent* e) override;

  private:
    QString PagePath(const QString& page) const;
    void OnAnchor(const QUrl& url);
    void OnSourceChanged(const QUrl& url);
    void Relabel();
    void FillContents();

    QString folder_;
    int language_;
    QString currentPage_;
    QString lastQuery_;
    QTextBrowser* browser_ = nullptr;
    QTreeWidget* contents_ = nullptr;
    QListWidget* results_ = nullptr;
    QLineEdit* searchEdit_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QToolBar* bar_ = nullptr;
    QAction* back_ = nullptr;
    QAction* forward_ = nullptr;
    QAction* home_ = nullptr;
    QHash<QString, QString> plainText_; // page -> text of the current language, for the search
};

// The program's help. The main window installs it once; then any window opens a help
// context with HelpSystem::show(context), and F1 opens the context of the window it is
// pressed in (a "helpContext" property on the widget or one of its parents in that window).
class HelpSystem {
  public:
    static void Install(QWidget* owner, QString helpFolder, std::function<int()> language,
                        std::function<void(const QString&)> openModel = {});
    static void show(int context);
    // The window follows a language switch.
    static void RefreshLanguage();
    static void close();
    // The help window; null before the help was first shown.
    static HelpWindow* Window();
    // The help context F1 opens in a widget; 0 when none.
    static int ContextOf(QWidget* w);
};

// Gives a widget (a dialog, a window) the help context F1 opens in it.
void SetHelpContext(QWidget* w, int context);

} // namespace tv
