#include "windows/WorkingWindow.h"

#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/UserHost.h"
#include "services/Printing.h"
#include "services/WindowFrame.h"
#include "windows/EquationWindow.h"
#include "windows/ResultWindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QImage>
#include <QMdiArea>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QPrinter>

namespace tv {

WorkingWindow::WorkingWindow(WindowFrame& frame, QWidget* parent)
    : QMdiSubWindow(parent), frame_(frame) {
    setWindowTitle(QStringLiteral("ArbeitsFensterClass"));
    resize(544, 375);
    // The frame maximises an activated child while another one is maximised; a window the
    // user left in normal size must not take part.
    connect(this, &QMdiSubWindow::aboutToActivate, this, [this] {
        if (QMdiArea* area = mdiArea())
            area->setOption(QMdiArea::DontMaximizeSubWindowOnActivation,
                            SavedWindowState == Qt::WindowNoState);
    });
    connect(this, &QMdiSubWindow::windowStateChanged, this, &WorkingWindow::StateChanged);
    // The frame's own commands close, move and size the active window (Ctrl+F4 among them);
    // the sub-window's duplicates of those keys would make them, and Ctrl+W, ambiguous.
    if (QMenu* menu = systemMenu())
        for (QAction* a : menu->actions())
            a->setShortcuts({});
}

WorkingWindow::~WorkingWindow() {
    // The sub-window reports a last state change while it is destroyed, when this part of
    // the object is already gone.
    disconnect(this, &QMdiSubWindow::windowStateChanged, this, &WorkingWindow::StateChanged);
}

long WorkingWindow::Message(int msg, long wParam, long lParam) {
    switch (msg) {
    case MSG_MINIMIZE: {
        // The frame's active child follows, whichever it is (taken before minimising,
        // which may hand the activation on).
        QPointer<QMdiSubWindow> active =
            frame_.mdiArea() ? frame_.mdiArea()->activeSubWindow() : nullptr;
        showMinimized();
        SavedWindowState = Qt::WindowMinimized;
        if (active) active->showMinimized();
        break;
    }
    case MSG_PRINT:
        PrintWindow();
        break;
    case MSG_COPY_PICTURE:
        QApplication::clipboard()->setImage(
            RenderPicture(static_cast<int>(wParam), static_cast<int>(lParam)));
        break;
    default:
        break;
    }
    return 0;
}

void WorkingWindow::PaintTo(const PaintTarget&) {}

QImage WorkingWindow::RenderPicture(int width, int height) {
    QImage image;
    if (width > 0 && height > 0) {
        image = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
    }
    PaintTarget target;
    target.kind = PaintTarget::Image;
    target.device = image.isNull() ? nullptr : &image;
    target.body = QRect(0, 0, std::max(width, 0), std::max(height, 0));
    if (image.isNull()) {
        PaintTo(target); // an empty picture still goes through the window's drawing
    } else {
        QPainter painter(&image);
        target.painter = &painter;
        PaintTo(target);
    }
    return image;
}

bool WorkingWindow::BeginPrintJob(QPainter& painter) {
    return BeginPrintJob(painter, frame_.printerFont());
}

bool WorkingWindow::BeginPrintJob(QPainter& painter, const QFont& titleFont) {
    QPrinter& printer = frame_.printer();
    const QString caption = windowTitle();
    printer.setDocName(frame_.programTitle() + QStringLiteral(": ") + caption);
    if (!painter.begin(&printer)) {
        // Without this the job would silently vanish.
        frame_.host().ShowMessage("Druckfehler##Printing error",
                                  "Der Drucker konnte nicht angesprochen werden.##"
                                  "The printer could not be started.");
        return false;
    }
    PrintTitle(painter, titleFont, caption);
    return true;
}

void WorkingWindow::PrintWindow() {
    QPrinter& printer = frame_.printer();
    QPainter painter;
    if (!BeginPrintJob(painter)) return;
    const QFont font = frame_.printerFont();
    painter.setFont(font);
    const int top = TitleHeight(painter, font) +
                    2 * QFontMetrics(font, &printer).height(); // below the title line
    const int bottom = printer.height() - 2 * FooterHeight(painter, font);
    PaintTarget target;
    target.kind = PaintTarget::Printer;
    target.painter = &painter;
    target.device = &printer;
    target.body = QRect(printer.width() / 10, top, printer.width() * 8 / 10, bottom - top);
    PaintTo(target);
    PrintSourceFooter(painter, font, frame_.modelBaseName(), {}, frame_.model().Language);
    painter.end();
}

void WorkingWindow::closeEvent(QCloseEvent* e) {
    if (IsBaseWindow) {
        // Base windows live for the whole run: closing only puts them aside.
        e->ignore();
        showMinimized();
        return;
    }
    setAttribute(Qt::WA_DeleteOnClose, true);
    QMdiSubWindow::closeEvent(e);
}

void WorkingWindow::showEvent(QShowEvent* e) {
    if (!IsBaseWindow && !e->spontaneous()) RefreshLanguage();
    QMdiSubWindow::showEvent(e);
}

void WorkingWindow::StateChanged(Qt::WindowStates oldState, Qt::WindowStates newState) {
    const bool activated = (newState & Qt::WindowActive) && !(oldState & Qt::WindowActive);
    const bool deactivated = !(newState & Qt::WindowActive) && (oldState & Qt::WindowActive);
    if (activated) {
        // A window the user left in normal size comes back in normal size, even when
        // another child is maximised meanwhile.
        if ((newState & Qt::WindowMaximized) && SavedWindowState == Qt::WindowNoState) showNormal();
    } else if (deactivated) {
        SavedWindowState = newState & (Qt::WindowMinimized | Qt::WindowMaximized);
    }
}

BaseWindow::BaseWindow(WindowFrame& frame, QWidget* parent) : WorkingWindow(frame, parent) {
    IsBaseWindow = true;
    setAttribute(Qt::WA_DeleteOnClose, false);
}

long BaseWindow::Message(int msg, long wParam, long lParam) {
    if (msg == MSG_ARRANGE_BASE) {
        ArrangeBase(static_cast<int>(wParam));
        return 0;
    }
    return WorkingWindow::Message(msg, wParam, lParam);
}

BaseWindowRole BaseWindow::Which() const {
    return BaseWindowFromCaption(windowTitle().toUtf8().constData());
}

void BaseWindow::ArrangeBase(int percent) {
    const BaseWindowRole which = Which();
    if (which == BaseWindowRole::None) return;
    const QRect a = frame().baseArea();
    const WindowRect r = BaseArrangement(which, a.left(), a.top(), a.left() + a.width(),
                                         a.top() + a.height(), percent);
    if (isMinimized() || isMaximized()) showNormal();
    setGeometry(r.left, r.top, std::max(r.width, 0), std::max(r.height, 0));
}

namespace {

// A base window without content yet: caption and design-time size only.
class PlainBaseWindow : public BaseWindow {
  public:
    PlainBaseWindow(BaseWindowRole which, WindowFrame& frame)
        : BaseWindow(frame), bilingual_(BaseWindowCaption(which)) {
        // The design-time caption is the German one; the language is applied later.
        setWindowTitle(QString::fromStdString(Translate(bilingual_, 1)));
        if (which == BaseWindowRole::Results2)
            resize(451, 267);
        else
            resize(441, 280);
        auto* content = new QWidget(this);
        content->setAutoFillBackground(true);
        setWidget(content);
    }
    void RefreshLanguage() override {
        setWindowTitle(QString::fromStdString(Translate(bilingual_, frame().model().Language)));
    }

  private:
    std::string bilingual_;
};

} // namespace

BaseWindow* CreateBaseWindow(BaseWindowRole which, WindowFrame& frame) {
    BaseWindow* w = nullptr;
    if (which == BaseWindowRole::Equations1 || which == BaseWindowRole::Equations2)
        w = WorkingWindow::Create<EquationWindow>(which, frame);
    else if (which == BaseWindowRole::Results1 || which == BaseWindowRole::Results2)
        w = WorkingWindow::Create<ResultWindow>(which, frame);
    else
        w = WorkingWindow::Create<PlainBaseWindow>(which, frame);
    w->setAttribute(Qt::WA_DeleteOnClose, false);
    return w;
}

} // namespace tv
