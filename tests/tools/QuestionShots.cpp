// Writes pictures of the solver's questions and messages as the program shows them, in
// German and English, for looking at the texts. Usage: question_shots DIRECTORY
#include "TestModels.h"
#include "app/MainWindow.h"
#include "app/QtUserHost.h"
#include "core/Model.h"
#include "core/Solver.h"
#include "core/Symbols.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QMessageBox>
#include <QPainter>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <functional>

using namespace tv;

// The box with its title drawn above it: the offscreen platform draws no window frames.
static QImage Framed(QMessageBox* box) {
    const QPixmap body = box->grab();
    const QFontMetrics fm(box->font());
    const int bar = fm.height() + 10;
    QImage image(body.width() + 2, body.height() + bar + 1, QImage::Format_RGB32);
    image.fill(QColor(90, 90, 90));
    QPainter p(&image);
    p.fillRect(1, 1, body.width(), bar - 1, QColor(220, 225, 235));
    p.setFont(box->font());
    p.setPen(Qt::black);
    p.drawText(QRect(8, 1, body.width() - 16, bar - 1), Qt::AlignVCenter | Qt::AlignLeft,
               box->windowTitle());
    p.drawPixmap(1, bar, body);
    return image;
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(dir);
    struct Case {
        const char* name;
        std::function<Model()> model;
    };
    const Case cases[] = {
        {"infinite-multiplier",
         [] {
             Model m = test::KeynesianModel();
             test::SetAll(m, {{par::cY, 1}});
             return m;
         }},
        {"continue-iterating",
         [] {
             Model m = test::BondMarketModel();
             m.Options.MaxIterations = 12;
             m.Options.Accuracy = 1e-15;
             return m;
         }},
        {"exchange-rate",
         [] {
             Model m = test::OpenFlexibleModel();
             test::SetFrom(m, 30, {{par::xe, 0}});
             return m;
         }},
    };
    int written = 0;
    for (int language : {1, 2}) {
        const QString lang = language == 1 ? QStringLiteral("de") : QStringLiteral("en");
        for (const Case& c : cases) {
            Model m = c.model();
            m.Language = static_cast<uint8_t>(language);
            QtUserHost host(m, nullptr);
            int shown = 0;
            // Each box that opens is photographed and answered with No (or closed).
            QTimer timer;
            QObject::connect(&timer, &QTimer::timeout, [&] {
                for (QWidget* w : QApplication::topLevelWidgets()) {
                    auto* box = qobject_cast<QMessageBox*>(w);
                    if (!box || !box->isVisible()) continue;
                    const QString file = QStringLiteral("%1/%2-%3-%4.png")
                                             .arg(dir, QString::fromLatin1(c.name), lang)
                                             .arg(++shown);
                    if (Framed(box).save(file)) ++written;
                    std::printf("%s: %s | %s\n", qPrintable(file), qPrintable(box->windowTitle()),
                                qPrintable(box->text()));
                    QAbstractButton* no = box->button(QMessageBox::No);
                    (no ? no : box->button(QMessageBox::Ok))->click();
                }
            });
            timer.start(100);
            Solve(m, host);
            timer.stop();
        }
    }
    // The status bar of the main window after a refused start, in English and
    // after switching back to German.
    QTemporaryDir temp;
    Model m;
    m.InitialiseForProgramStart();
    MainWindowOptions o;
    o.programDirectory = o.userConfigDirectory = temp.path();
    o.readSettings = o.writeSettingsAtEnd = false;
    MainWindow w(m, o);
    w.userHost().scriptAsk = [](const QString&, const QString&) { return false; };
    w.userHost().scriptMessage = [](const QString&, const QString&) {};
    QEventLoop started;
    QObject::connect(&w, &MainWindow::startupFinished, &started, &QEventLoop::quit);
    w.resize(1000, 700);
    w.show();
    started.exec();
    w.SetLanguage(2);
    test::SetAll(m, {{par::cY, 1}}); // the infinite-multiplier question, answered No
    m.RecalcAll = 1;
    m.Periods.LastSolved = -1;
    m.Periods.LeftEdge = 0;
    w.Solve();
    app.processEvents();
    for (int language : {2, 1}) {
        w.SetLanguage(language);
        app.processEvents();
        const QString file =
            QStringLiteral("%1/status-%2.png")
                .arg(dir, language == 1 ? QStringLiteral("de") : QStringLiteral("en"));
        if (w.statusBar()->grab().save(file)) ++written;
        std::printf("%s: %s\n", qPrintable(file), qPrintable(w.StatusText()));
    }
    return written > 0 ? 0 : 1;
}
