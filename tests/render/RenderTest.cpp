// Views rendered without a window: every view of an example in PNG, PDF and SVG through its
// own painting code, the handout's pages, and the batch tool's refusals.

#include "OpenedModel.h"
#include "PdfText.h"
#include "TestMainWindow.h"
#include "app/MainWindow.h"
#include "core/Baseline.h"
#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/UserHost.h"
#include "logic/Settings.h"
#include "render/Handout.h"
#include "render/HandoutCommand.h"
#include "render/RenderViews.h"
#include "render/ViewPictures.h"
#include "services/QtUserHost.h"
#include "views/ViewCommands.h"
#include "windows/WorkingWindow.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace tv;

namespace {

const QString Examples = QStringLiteral(EXAMPLES_DIR);

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString German(const char* bilingual) {
    return QString::fromStdString(Translate(bilingual, 1));
}

bool HasInk(const QImage& image) {
    const QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
    for (int y = 0; y < gray.height(); ++y) {
        const uchar* line = gray.constScanLine(y);
        for (int x = 0; x < gray.width(); ++x)
            if (line[x] < 128) return true;
    }
    return false;
}

// Runs the batch tool; returns its exit status (-1 when it did not finish).
int Batch(const QStringList& args, QString* errors = nullptr) {
    QProcess p;
    p.start(QStringLiteral(BATCH_TOOL), args);
    if (!p.waitForFinished(60000)) return -1;
    if (errors) *errors = QString::fromUtf8(p.readAllStandardError());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

} // namespace

class RenderTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        // Money creation switched on: every view has something to show.
        QVERIFY(
            test::OpenAsTheProgramDoes(m_, (Examples + "/06-money-creation.TV5").toStdString()));
        m_.Periods.CurrentPeriod = m_.Periods.RightEdge;
        frame_ = std::make_unique<RenderFrame>(m_, host_, Settings{}, QStringLiteral("06"), nullptr,
                                               m_.Periods.RightEdge);
    }
    void cleanupTestCase() { frame_.reset(); }

    // Each view in each format: a whole file, the requested size, and for the vector formats
    // the caption and a label of the content as text.
    void everyViewInEveryFormat_data() {
        QTest::addColumn<QString>("view");
        QTest::addColumn<QString>("label");
        const std::vector<std::pair<const char*, const char*>> rows = {
            {"equations-1", "Gütermarkt"},
            {"equations-2", "Gütermarkt"},
            {"results-1", "Güternachfrage"},
            {"results-2", "Güternachfrage"},
            {"sequence-table", "1150.00"},
            {"sequence-differences", "dY"},
            {"sequence-graph-1", "Einkommen (Y)"},
            {"sequence-graph-2", "Einkommen (Y)"},
            {"structure-graph", "Güternachfrage"},
            {"income-expenditure", "D(100)"},
            {"is-lm", "IS(100)"},
            {"as-ad", "AD(100)"},
            {"dynamic-as-ad", "DAD(100)"},
            {"is-derivation", "A(0)"},
            {"lm-derivation", "LT(100)"},
            {"z-derivation", "NK(0)"},
            {"flow-chart", "Unternehmen"},
            {"account-scheme", "private Haushalte"},
            {"money-worksheet", "Geldmenge"},
            {"money-accounts", "Zentralbank"},
        };
        QCOMPARE(rows.size(), RenderViewNames().size());
        for (const auto& [view, label] : rows)
            QTest::newRow(view) << QString::fromLatin1(view) << QString::fromUtf8(label);
    }
    void everyViewInEveryFormat() {
        QFETCH(QString, view);
        QFETCH(QString, label);
        WorkingWindow* w = frame_->Open(view.toStdString());
        QVERIFY(w);
        const QString caption = w->windowTitle();
        const QSize size(900, 700);
        for (const char* ext : {"png", "pdf", "svg"}) {
            const QString path = dir_.filePath(view + "." + ext);
            QString error;
            QVERIFY2(WriteWindowPicture(*w, PictureFormatOf(path), size, path, error),
                     qPrintable(error));
            const QByteArray bytes = ReadAll(path);
            QVERIFY2(bytes.size() > 200, ext);
            if (QLatin1String(ext) == QLatin1String("png")) {
                const QImage image = QImage::fromData(bytes, "PNG");
                QCOMPARE(image.size(), size);
                QVERIFY2(HasInk(image), "a blank picture");
            } else {
                // Ligatures ("fi") as their letters.
                const QString text =
                    (QLatin1String(ext) == QLatin1String("pdf") ? pdftext::Extract(bytes)
                                                                : QString::fromUtf8(bytes))
                        .normalized(QString::NormalizationForm_KC);
                QVERIFY2(text.contains(caption),
                         qPrintable(QString(ext) + ": " + caption + " IN " + text.left(400)));
                QVERIFY2(text.contains(label),
                         qPrintable(QString(ext) + ": " + label + " IN " + text.left(300)));
            }
        }
        w->close();
        delete w;
    }

    // The rendered PNG is the window's own picture copy, pixel for pixel.
    void pngIsThePictureCopy_data() {
        QTest::addColumn<QString>("view");
        for (const char* v : {"equations-1", "results-2", "is-lm", "as-ad", "sequence-graph-1",
                              "flow-chart", "money-accounts"})
            QTest::newRow(v) << QString::fromLatin1(v);
    }
    void pngIsThePictureCopy() {
        QFETCH(QString, view);
        WorkingWindow* w = frame_->Open(view.toStdString());
        QVERIFY(w);
        const QSize size = DefaultRenderSize(*w);
        const QString path = dir_.filePath(view + "-copy.png");
        QString error;
        QVERIFY(WriteWindowPicture(*w, PictureFormat::Png, size, path, error));
        const QImage written(path);
        const QImage copy = w->RenderPicture(size.width(), size.height());
        QCOMPARE(written.size(), copy.size());
        QVERIFY(written.convertToFormat(QImage::Format_ARGB32) ==
                copy.convertToFormat(QImage::Format_ARGB32));
        delete w;
    }

    void handoutPagesInOrder() {
        const QString path = dir_.filePath("handout.pdf");
        QString error;
        QStringList titles;
        QVERIFY2(WriteHandout(*frame_, Examples + "/06-money-creation.TV5", path, error, &titles),
                 qPrintable(error));
        const QStringList expected = {
            QStringLiteral("Handout: 06-money-creation.TV5"),
            German(BaseWindowCaption(BaseWindowRole::Equations1)),
            German(BaseWindowCaption(BaseWindowRole::Results1)),
            German(BaseWindowCaption(BaseWindowRole::Equations2)),
            German(BaseWindowCaption(BaseWindowRole::Results2)),
        };
        QVERIFY(titles.size() >= expected.size() + 4);
        QCOMPARE(titles.mid(0, expected.size()), expected);
        // The table over as many pages as the interval needs, then the three diagrams.
        const QString table = German("Sequenztabelle (Absolutwerte)##x");
        const int tablePages = titles.count(table);
        QVERIFY(tablePages >= 1);
        QCOMPARE(titles.size(), expected.size() + tablePages + 3);
        QCOMPARE(
            titles.mid(expected.size() + tablePages),
            (QStringList{German("Einkommen-Ausgaben-Grafik##x"), German("Einkommen-Zins-Grafik##x"),
                         German("Einkommen-Preis-Grafik##x")}));
        const QString text =
            pdftext::Extract(ReadAll(path)).normalized(QString::NormalizationForm_KC);
        for (const QString& t : titles)
            QVERIFY2(text.contains(t), qPrintable(t));
        // The table's last row is the right edge.
        QVERIFY(text.contains(QString::number(m_.Periods.RightEdge)));
        QVERIFY(text.contains(QStringLiteral("Analyseintervall: %1 bis %2")
                                  .arg(m_.Periods.LeftEdge)
                                  .arg(m_.Periods.RightEdge)));
        // The user's period is back.
        QCOMPARE(m_.Periods.CurrentPeriod, m_.Periods.RightEdge);
    }

    // The title page's words for the switches, in both languages; a value without words
    // shows as its number.
    void switchesInWords_data() {
        QTest::addColumn<int>("sw");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("line");
        QTest::newRow("mark-up de") << 12 << 2 << 1 << "Preise: Aufschlagskalkulation";
        QTest::newRow("mark-up en") << 12 << 2 << 2 << "Prices: mark-up";
        QTest::newRow("flexible") << 21 << 1 << 2 << "Exchange rate: flexible";
        QTest::newRow("money market") << 17 << 2 << 1 << "Zins: nur Geldmarkt";
        QTest::newRow("unlisted value") << 17 << 7 << 2 << "Interest rate: 7";
        QTest::newRow("wage period") << 23 << 4 << 1 << "Lohnrunde: 4 Perioden";
    }
    void switchesInWords() {
        QFETCH(int, sw);
        QFETCH(int, value);
        QFETCH(int, language);
        QFETCH(QString, line);
        Model m;
        m.InitialiseForProgramStart();
        m.Switch[sw] = static_cast<uint8_t>(value);
        const QStringList lines = SwitchesInWords(m, language);
        QVERIFY2(lines.contains(line), qPrintable(lines.join(" | ")));
    }

    // A baseline adds its deviation columns to the table and its curves to the diagrams.
    void handoutWithBaseline() {
        Model base;
        QVERIFY(
            test::OpenAsTheProgramDoes(base, (Examples + "/02-closed-is-lm.TV5").toStdString()));
        const Baseline frozen(base);
        RenderFrame frame(m_, host_, Settings{}, QStringLiteral("06"), &frozen,
                          m_.Periods.RightEdge);
        const QString path = dir_.filePath("handout-baseline.pdf");
        QString error;
        QStringList titles;
        QVERIFY2(WriteHandout(frame, Examples + "/06-money-creation.TV5", path, error, &titles),
                 qPrintable(error));
        const QString text = pdftext::Extract(ReadAll(path));
        QVERIFY(text.contains(QStringLiteral("Y Abw.")));
        QVERIFY(text.contains(QStringLiteral("Basislauf")));
        QCOMPARE(titles.last(), German("Einkommen-Preis-Grafik##x"));
    }

    // The program's menu entry writes the handout of the solved model to the chosen file.
    void handoutFromTheMenu() {
        QTemporaryDir programDir;
        Model m;
        m.InitialiseForProgramStart();
        MainWindow main(m, TestProgramOptions(programDir.path()));
        QStringList told;
        main.userHost().scriptMessage = [&](const QString& t, const QString& text) {
            told << t + ": " + text;
        };
        main.userHost().scriptAsk = [](const QString&, const QString&) { return true; };
        InstallViewCommands(main);
        InstallHandoutCommand(main);
        QSignalSpy done(&main, &MainWindow::startupFinished);
        main.show();
        QVERIFY(done.count() > 0 || done.wait(20000));
        QAction* entry = main.Action(QStringLiteral("MIDateiHandout"));
        QVERIFY(entry && entry->isEnabled());
        QCOMPARE(entry->text(), QStringLiteral("Handout (PDF) …"));
        const QString path = dir_.filePath("menu-handout");
        QString asked;
        main.fileNameProvider = [&](bool save, const QString& title, const QString& filter,
                                    const QString&) {
            asked = (save ? "save: " : "open: ") + title + " " + filter;
            return path;
        };
        entry->trigger();
        QCOMPARE(asked, QStringLiteral("save: Handout speichern PDF (*.pdf)"));
        QVERIFY2(told.isEmpty(), qPrintable(told.join('\n')));
        // The extension is added; the pages follow the program's periods.
        const QString text = pdftext::Extract(ReadAll(path + ".pdf"));
        QVERIFY(text.contains(QStringLiteral("Analyseintervall: 0 bis 100")));
        QVERIFY(text.contains(German(BaseWindowCaption(BaseWindowRole::Results2))));
        QCOMPARE(m.Periods.CurrentPeriod, 0);
        main.close();
    }

    // Through the batch tool (which hands the run to its Qt-linked companion): the default
    // size is the window's default size twice over, the language is the one asked for.
    void batchRendersAView() {
        const QString png = dir_.filePath("batch-is-lm.png");
        const QString svg = dir_.filePath("batch-is-lm.svg");
        const QString model = Examples + "/02-closed-is-lm.TV5";
        QString errors;
        QCOMPARE(Batch({model, "--render", "is-lm", "-o", png}, &errors), 0);
        QVERIFY2(errors.contains("status: Ok"), qPrintable(errors));
        QCOMPARE(QImage(png).size(), QSize(1240, 1040));
        QCOMPARE(
            Batch({model, "--render", "is-lm", "--period", "3", "--size", "400x300", "-o", png}),
            0);
        QCOMPARE(QImage(png).size(), QSize(400, 300));
        QCOMPARE(Batch({model, "--render", "is-lm", "--lang", "en", "-o", svg}), 0);
        QVERIFY(ReadAll(svg).contains("<title>Income-Interest-Diagram</title>"));
        QCOMPARE(QFile::permissions(svg) & QFileDevice::ReadOther, QFileDevice::ReadOther);
    }

    void batchListsTheViews() {
        QProcess p;
        p.start(QStringLiteral(BATCH_TOOL), {"--render", "list"});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 0);
        QStringList expected;
        for (const std::string& name : RenderViewNames())
            expected << QString::fromStdString(name);
        QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts),
                 expected);
    }

    // Every refusal exits 2, says why, and leaves no file behind.
    void batchRefusals_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("reason");
        const QString model = Examples + "/02-closed-is-lm.TV5";
        const QString png = QStringLiteral("out.png");
        QTest::newRow("unknown view")
            << QStringList{model, "--render", "is-ml", "-o", png} << png << "unknown view";
        QTest::newRow("period after the edge")
            << QStringList{model, "--render", "is-lm", "--period", "101", "-o", png} << png
            << "outside the solved periods";
        QTest::newRow("unknown extension")
            << QStringList{model, "--render", "is-lm", "-o", "out.gif"} << "out.gif"
            << "unknown extension";
        QTest::newRow("unwritable folder")
            << QStringList{model, "--render", "is-lm", "-o", "missing/out.png"} << "missing/out.png"
            << "cannot be written";
        QTest::newRow("no output") << QStringList{model, "--render", "is-lm"} << png << "needs -o";
        QTest::newRow("bad size") << QStringList{model,  "--render", "is-lm", "--size",
                                                 "0x10", "-o",       png}
                                  << png << "--size";
        QTest::newRow("bad language")
            << QStringList{model, "--render", "is-lm", "--lang", "fr", "-o", png} << png
            << "--lang";
        QTest::newRow("handout not a pdf")
            << QStringList{model, "--handout", "out.png"} << png << "PDF";
        QTest::newRow("money view without money creation")
            << QStringList{model, "--render", "money-worksheet", "-o", png} << png << "switch 18";
        QTest::newRow("unreadable model")
            << QStringList{"missing.TV5", "--render", "is-lm", "-o", png} << png << "";
    }
    void batchRefusals() {
        QFETCH(QStringList, args);
        QFETCH(QString, file);
        QFETCH(QString, reason);
        QTemporaryDir work;
        QProcess p;
        p.setWorkingDirectory(work.path());
        p.start(QStringLiteral(BATCH_TOOL), args);
        QVERIFY(p.waitForFinished(30000));
        const QString errors = QString::fromUtf8(p.readAllStandardError());
        QCOMPARE(p.exitCode(), 2);
        QVERIFY2(errors.contains(reason), qPrintable(errors));
        QVERIFY(!QFileInfo::exists(QDir(work.path()).filePath(file)));
        QCOMPARE(QDir(work.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 QStringList());
    }

  private:
    QTemporaryDir dir_;
    Model m_;
    SilentHost host_;
    std::unique_ptr<RenderFrame> frame_;
};

QTEST_MAIN(RenderTest)
#include "RenderTest.moc"
