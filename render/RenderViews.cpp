#include "render/RenderViews.h"
#include "render/RenderRequest.h"

#include "core/Baseline.h"
#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/UserHost.h"
#include "logic/Settings.h"
#include "money/MoneyWindows.h"
#include "render/Handout.h"
#include "render/ViewPictures.h"
#include "services/SettingsFonts.h"
#include "views/AccountSchemeWindow.h"
#include "views/AsAdWindow.h"
#include "views/ChartWindows.h"
#include "views/DerivationWindows.h"
#include "views/FlowChartWindow.h"
#include "views/IncomeWindows.h"
#include "views/SequenceTableWindow.h"
#include "windows/WorkingWindow.h"

#include <unistd.h>

#include <QApplication>
#include <QFileInfo>
#include <QMdiArea>
#include <QPrinter>
#include <QStandardPaths>
#include <QToolButton>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace tv {

namespace {

struct ViewEntry {
    const char* name;
    std::function<WorkingWindow*(RenderFrame&)> open;
};

template <class W, class... Args> std::function<WorkingWindow*(RenderFrame&)> Opens(Args... args) {
    return [=](RenderFrame& f) -> WorkingWindow* { return WorkingWindow::Create<W>(f, args...); };
}

std::function<WorkingWindow*(RenderFrame&)> OpensBase(BaseWindowRole role) {
    return [=](RenderFrame& f) -> WorkingWindow* {
        BaseWindow* w = CreateBaseWindow(role, f);
        w->RefreshLanguage();
        return w;
    };
}

// A derivation with the construction of both points shown.
template <class W> std::function<WorkingWindow*(RenderFrame&)> OpensDerivation() {
    return [](RenderFrame& f) -> WorkingWindow* {
        auto* w = WorkingWindow::Create<W>(f);
        w->Point1Button->setChecked(true);
        w->Point2Button->setChecked(true);
        return w;
    };
}

const std::vector<ViewEntry>& Views() {
    static const std::vector<ViewEntry> views = {
        {"equations-1", OpensBase(BaseWindowRole::Equations1)},
        {"equations-2", OpensBase(BaseWindowRole::Equations2)},
        {"results-1", OpensBase(BaseWindowRole::Results1)},
        {"results-2", OpensBase(BaseWindowRole::Results2)},
        {"sequence-table", Opens<SequenceTableWindow>(false)},
        {"sequence-differences", Opens<SequenceTableWindow>(true)},
        {"sequence-graph-1", Opens<SequenceChartWindow>(1)},
        {"sequence-graph-2", Opens<SequenceChartWindow>(2)},
        {"structure-graph", Opens<StructureWindow>()},
        {"income-expenditure", Opens<IncomeExpenditureWindow>()},
        {"is-lm", Opens<IncomeInterestWindow>()},
        {"as-ad", Opens<AsAdWindow>(AsAdPlane::Price)},
        {"dynamic-as-ad", Opens<AsAdWindow>(AsAdPlane::Inflation)},
        {"is-derivation", OpensDerivation<ISDerivationWindow>()},
        {"lm-derivation", OpensDerivation<LMDerivationWindow>()},
        {"z-derivation", OpensDerivation<ZDerivationWindow>()},
        {"flow-chart", Opens<FlowChartWindow>()},
        {"account-scheme",
         [](RenderFrame& f) -> WorkingWindow* {
             auto* w = WorkingWindow::Create<AccountSchemeWindow>(f);
             w->GoLast();
             return w;
         }},
        {"money-worksheet", Opens<MoneyWorksheetWindow>()},
        {"money-accounts", Opens<MoneyAccountsWindow>()},
    };
    return views;
}

int Refuse(const std::string& text) {
    std::fprintf(stderr, "tervalis-batch: %s\n", text.c_str());
    return 2;
}

// "WxH" with both sides between 1 and 20000; false otherwise.
bool ParseSize(const std::string& text, QSize& size) {
    int w = 0, h = 0;
    char x = 0, rest = 0;
    if (std::sscanf(text.c_str(), "%d%c%d%c", &w, &x, &h, &rest) != 3 || (x != 'x' && x != 'X'))
        return false;
    if (w < 1 || h < 1 || w > 20000 || h > 20000) return false;
    size = QSize(w, h);
    return true;
}

// A file the process may create or replace.
bool Writable(const std::string& path) {
    const QFileInfo info(QString::fromStdString(path));
    if (info.isDir()) return false;
    const QByteArray dir = QFile::encodeName(info.absolutePath());
    if (::access(dir.constData(), W_OK) != 0) return false;
    return !info.exists() || ::access(path.c_str(), W_OK) == 0;
}

} // namespace

int ListRenderViews() {
    for (const std::string& name : RenderViewNames())
        std::printf("%s\n", name.c_str());
    return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 3;
}

int CheckRenderRequest(const RenderRequest& r) {
    if (!r.View.empty() && !r.Handout.empty())
        return Refuse("--render and --handout are separate runs");
    if (!r.View.empty()) {
        if (!IsRenderView(r.View)) {
            std::string known;
            for (const std::string& name : RenderViewNames())
                known += (known.empty() ? "" : ", ") + name;
            return Refuse("unknown view \"" + r.View + "\" (the views: " + known + ")");
        }
        if (r.Output.empty()) return Refuse("--render needs -o FILE.png|.pdf|.svg");
        if (PictureFormatOf(QString::fromStdString(r.Output)) == PictureFormat::Unknown)
            return Refuse("-o " + r.Output + ": unknown extension (png, pdf or svg)");
    }
    const std::string& target = r.View.empty() ? r.Handout : r.Output;
    if (!r.Handout.empty() &&
        PictureFormatOf(QString::fromStdString(r.Handout)) != PictureFormat::Pdf)
        return Refuse("--handout " + r.Handout + ": the handout is a PDF file (.pdf)");
    if (!r.Handout.empty() && !r.Output.empty()) return Refuse("-o belongs to --render");
    if (!r.Handout.empty() && !r.Size.empty()) return Refuse("--size belongs to --render");
    QSize size;
    if (!r.Size.empty() && !ParseSize(r.Size, size))
        return Refuse("--size needs WIDTHxHEIGHT in pixels (1 to 20000), not \"" + r.Size + "\"");
    if (!r.Language.empty() && r.Language != "de" && r.Language != "en")
        return Refuse("--lang needs de or en, not \"" + r.Language + "\"");
    if (!r.Settings.empty() && !QFileInfo(QString::fromStdString(r.Settings)).isFile())
        return Refuse("--settings " + r.Settings + ": no such file");
    if (!Writable(target)) return Refuse(target + ": cannot be written");
    return 0;
}

int RenderSolvedModel(Model& m, const Model* baselineModel, const std::string& modelFile,
                      const RenderRequest& r, UserHost& host, const std::string& status) {
    auto finish = [&](int code) {
        std::fprintf(stderr, "status: %s\n", status.c_str());
        if (code != 0) return code;
        return status == "Ok" ? 0 : 1;
    };
    // Never a window on a screen, whatever the environment says.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "tervalis-batch";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TERVALIS"));

    // The program's settings file: beside the program (or the user's copy), or the one named.
    const std::string userDir =
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation).toStdString();
    SettingsFile file(QCoreApplication::applicationDirPath().toStdString(), userDir, host);
    if (!r.Settings.empty()) file.SetReadPath(r.Settings);
    Settings settings = file.ReadSettings();
    m.Language = static_cast<uint8_t>(r.Language == "en"   ? 2
                                      : r.Language == "de" ? 1
                                                           : (settings.Language == 2 ? 2 : 1));

    const int last = std::min(m.Periods.LastSolved, m.Periods.RightEdge);
    const long t = r.Period >= 0 ? r.Period : m.Periods.RightEdge;
    if (t < 0 || t > last)
        return finish(Refuse("--period " + std::to_string(t) +
                             " lies outside the solved periods 0 to " + std::to_string(last)));
    m.Periods.CurrentPeriod = static_cast<int>(t);
    std::unique_ptr<Baseline> frozen;
    if (baselineModel) frozen = std::make_unique<Baseline>(*baselineModel);
    const QString baseName = modelFile.empty()
                                 ? QStringLiteral("NEU")
                                 : QFileInfo(QString::fromStdString(modelFile)).baseName();
    RenderFrame frame(m, host, std::move(settings), baseName, frozen.get(), static_cast<int>(t));

    QString error;
    if (!r.View.empty()) {
        if (const std::string why = frame.Unavailable(r.View); !why.empty())
            return finish(Refuse("--render " + r.View + ": " + why));
        WorkingWindow* w = frame.Open(r.View);
        QSize size = DefaultRenderSize(*w);
        if (!r.Size.empty()) ParseSize(r.Size, size);
        const QString out = QString::fromStdString(r.Output);
        if (!WriteWindowPicture(*w, PictureFormatOf(out), size, out, error))
            return finish(Refuse(r.Output + ": " + error.toStdString()));
    } else if (!WriteHandout(frame, QString::fromStdString(modelFile),
                             QString::fromStdString(r.Handout), error)) {
        return finish(Refuse(r.Handout + ": " + error.toStdString()));
    }
    return finish(0);
}

const std::vector<std::string>& RenderViewNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> out;
        for (const ViewEntry& v : Views())
            out.push_back(v.name);
        return out;
    }();
    return names;
}

bool IsRenderView(const std::string& name) {
    const auto& names = RenderViewNames();
    return std::find(names.begin(), names.end(), name) != names.end();
}

RenderFrame::RenderFrame(Model& m, UserHost& host, Settings settings, QString modelBaseName,
                         const Baseline* baseline, int period)
    : m_(m), host_(host), settings_(std::move(settings)), modelBaseName_(std::move(modelBaseName)),
      baseline_(baseline), period_(period), printerFont_(FontFromSetting(settings_.PrinterFont)),
      screenFont_(FontFromSetting(settings_.ScreenFont)), area_(std::make_unique<QMdiArea>()),
      printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    // The size of the program's main window, so that windows lay out as they do there.
    area_->resize(1024, 640);
    // Shown (on no screen: the renderer runs offscreen), so that windows lay themselves out.
    area_->show();
}

RenderFrame::~RenderFrame() {
    // The windows go before the frame they refer to.
    area_.reset();
}

QRect RenderFrame::baseArea() const {
    return QRect(QPoint(0, 0), area_->size());
}

WorkingWindow* RenderFrame::Open(const std::string& name) {
    for (const ViewEntry& v : Views()) {
        if (name != v.name) continue;
        WorkingWindow* w = v.open(*this);
        const QSize size = w->size();
        area_->addSubWindow(w);
        w->resize(size);
        if (w->widget()) {
            // The screen font's colour, as the main window gives every child.
            QPalette p = w->widget()->palette();
            const QColor c = ColourFromSetting(settings_.ScreenFont.Colour);
            p.setColor(QPalette::Text, c);
            p.setColor(QPalette::WindowText, c);
            w->widget()->setPalette(p);
        }
        w->show();
        // Laid out at its size before it is drawn, as a window the user sees.
        QCoreApplication::processEvents();
        return w;
    }
    return nullptr;
}

std::string RenderFrame::Unavailable(const std::string& name) const {
    if (name == "account-scheme" && m_.Sw(17) == 2)
        return "the bond market is modelled as the money market only: the program builds no "
               "account scheme";
    if (name.rfind("money-", 0) == 0 && m_.Sw(18) != 1)
        return "the model has no multiple money and credit creation (switch 18)";
    return {};
}

QSize DefaultRenderSize(const WorkingWindow& window) {
    return window.size() * 2;
}

} // namespace tv
