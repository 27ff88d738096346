#include "app/StartInfo.h"

#include "core/Catalogue.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tv {

StartInfoWindow::StartInfoWindow(QWidget* parent, bool atStartup, int language)
    // At start-up a plain frameless window, not a splash screen: a splash screen stays on
    // top and would hide a message the settings file may raise meanwhile.
    : QDialog(parent, atStartup ? Qt::Window | Qt::FramelessWindowHint
                                : Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("StartInfoWindow"));
    setWindowTitle(QStringLiteral("Info"));
    auto* frame = new QFrame(this);
    frame->setFrameStyle(QFrame::Box | QFrame::Raised);
    frame->setLineWidth(2);
    frame->setAutoFillBackground(true);
    QPalette p = frame->palette();
    p.setColor(QPalette::Window, QColor(0, 32, 96));
    p.setColor(QPalette::WindowText, Qt::white);
    frame->setPalette(p);
    auto* title = new QLabel(QStringLiteral("TERVALIS 5.1"), frame);
    QFont f = title->font();
    f.setPointSize(f.pointSize() * 3);
    f.setBold(true);
    title->setFont(f);
    title->setAlignment(Qt::AlignCenter);
    const char* about = "Interaktive Simulationsumgebung für die makroökonomische Lehre##An "
                        "interactive simulation environment for teaching macroeconomics";
    const std::string text = language == 0 ? Translate(about, 1) + "\n" + Translate(about, 2)
                                           : Translate(about, language);
    auto* line = new QLabel(QString::fromStdString(text), frame);
    line->setAlignment(Qt::AlignCenter);
    auto* inner = new QVBoxLayout(frame);
    inner->setContentsMargins(30, 24, 30, 24);
    inner->addWidget(title);
    inner->addSpacing(8);
    inner->addWidget(line);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(frame);
    if (!atStartup) {
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        layout->addWidget(buttons);
        layout->setContentsMargins(0, 0, 0, 8);
    }
}

} // namespace tv
