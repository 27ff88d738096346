// Writes pictures of the solver's questions and messages as the program shows them, in
// German and English, for looking at the texts. Usage: question_shots DIRECTORY
#include "TestModels.h"
#include "app/QtUserHost.h"
#include "core/Model.h"
#include "core/Solver.h"
#include "core/Symbols.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>
#include <functional>

using namespace tv;

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
                    if (box->grab().save(file)) ++written;
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
    return written > 0 ? 0 : 1;
}
