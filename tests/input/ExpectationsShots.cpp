// Writes pictures of every page of the expectations dialog and the model monitor, in German
// and English, at their default size and enlarged, for looking at the layout.
// Usage: expectations_shots DIRECTORY
#include "RecordingHost.h"
#include "TestModels.h"
#include "core/RuleServer.h"
#include "core/Symbols.h"
#include "input/ExpectationsDialog.h"
#include "input/ModelMonitor.h"

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabWidget>

#include <memory>

using namespace tv;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(dir);
    for (int language : {1, 2}) {
        const QString lang = language == 1 ? QStringLiteral("de") : QStringLiteral("en");
        Model m = test::StartModel();
        m.Language = static_cast<uint8_t>(language);
        m.Switch[14] = 1;
        m.Switch[20] = 1;
        m.Switch[23] = 4;
        m.Switch[22] = 255;
        m.Expect[7].Lags = 3;
        RuleBaseLink link([] { return std::make_unique<LeastSquaresRuleServer>(); });
        m.Rules = &link;
        test::RecordingHost host;
        for (bool large : {false, true}) {
            ExpectationsDialog d(m, host);
            if (large) d.resize(1000, 700);
            d.show();
            for (int k = 0; k < ExpectationCount; ++k) {
                d.Select(k);
                app.processEvents();
                d.grab().save(QStringLiteral("%1/expectations-%2-%3%4.png")
                                  .arg(dir, lang)
                                  .arg(k)
                                  .arg(large ? QStringLiteral("-large") : QString()));
            }
            d.Select(3);
            d.RuleBased->click();
            d.SrcList->item(2)->setSelected(true);
            d.MoveOne->click();
            d.StartInitialisation->click();
            app.processEvents();
            d.grab().save(QStringLiteral("%1/expectations-%2-rules%3.png")
                              .arg(dir, lang, large ? QStringLiteral("-large") : QString()));
            d.reject();
        }
        for (bool large : {false, true}) {
            ModelMonitor monitor(m);
            if (large) monitor.resize(800, 400);
            monitor.show();
            for (int page : {0, 1}) {
                monitor.Tabs->setCurrentIndex(page);
                app.processEvents();
                monitor.grab().save(QStringLiteral("%1/monitor-%2-%3%4.png")
                                        .arg(dir, lang)
                                        .arg(page + 1)
                                        .arg(large ? QStringLiteral("-large") : QString()));
            }
        }
    }
    return 0;
}
