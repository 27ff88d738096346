// The program's exchange topic answered over a local socket.

#include "exchange/BookingLink.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <memory>

class ExchangeServerTest : public QObject {
    Q_OBJECT

    // One request over a real socket, the answer line back.
    static QString Ask(const QString& server, const QString& request) {
        QLocalSocket s;
        s.connectToServer(server);
        if (!s.waitForConnected(2000)) return QStringLiteral("<no connection>");
        s.write((request + "\n").toUtf8());
        while (!s.canReadLine())
            if (!s.waitForReadyRead(2000)) return QStringLiteral("<no answer>");
        return QString::fromUtf8(s.readLine()).chopped(1);
    }

    // Asks from a helper thread while this thread's event loop lets the servers answer.
    static QString AskAside(const QString& server, const QString& request) {
        QString got;
        auto* thread = QThread::create([&] { got = Ask(server, request); });
        thread->start();
        if (!QTest::qWaitFor([thread] { return thread->isFinished(); }, 5000))
            return QStringLiteral("<timeout>");
        delete thread;
        return got;
    }

    QTemporaryDir runtime_;

  private slots:
    void initTestCase() {
        QVERIFY(runtime_.isValid());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime_.path()));
    }

    void answersTheTopicItemAndMacros() {
        tv::ExchangeServer server;
        const QString name =
            QStringLiteral("tervalis-test-%1").arg(QCoreApplication::applicationPid());
        QVERIFY(server.Listen(name));
        QStringList messages;
        int fronts = 0, transfers = 0;
        server.ShowMessage = [&](const QString& t) { messages << t; };
        server.BringToFront = [&] { ++fronts; };
        server.StartTransfer = [&] { ++transfers; };
        server.ItemText = QStringLiteral("data");

        struct Case {
            const char* request;
            const char* answer;
        };
        const Case cases[] = {
            {"request\tDDEServerConvTERVALIS5\tDDEServerItemTERVALIS5", "data"},
            {"request\tOtherTopic\tDDEServerItemTERVALIS5", "error"},
            {"request\tDDEServerConvTERVALIS5\tOtherItem", "error"},
            {"execute\tDDEServerConvTERVALIS5\tTestMsg", "ok"},
            {"execute\tDDEServerConvTERVALIS5\tVALDA gestartet\rsecond line", "ok"},
            {"execute\tDDEServerConvTERVALIS5\tvalda_start_datentransfer", "ok"},
            {"execute\tDDEServerConvTERVALIS5\tunknown", "error"},
            {"execute\tDDEServerConvTERVALIS5\tvalda_clear_daten", "ok"},
            {"request\tDDEServerConvTERVALIS5\tDDEServerItemTERVALIS5", ""},
            {"poke\tDDEServerConvTERVALIS5\tDDEServerItemTERVALIS5\tnew", "ok"},
            {"request\tDDEServerConvTERVALIS5\tDDEServerItemTERVALIS5", "new"},
        };
        for (const Case& c : cases) {
            // The client blocks; the server answers from the event loop of this thread, so
            // the client runs in a helper thread.
            QString got;
            auto* thread = QThread::create(
                [&] { got = Ask(server.ServerName(), QString::fromUtf8(c.request)); });
            thread->start();
            QTRY_VERIFY_WITH_TIMEOUT(thread->isFinished(), 5000);
            delete thread;
            QCOMPARE(got, QString::fromUtf8(c.answer));
        }
        QCOMPARE(messages,
                 (QStringList{QStringLiteral("test"), QStringLiteral("VALDA gestartet")}));
        QCOMPARE(fronts, 1);
        QCOMPARE(transfers, 1);
    }

    // Two instances side by side: the second leaves the name to the first, which keeps
    // answering its own requests; when the first ends, its socket goes and the name is free.
    void secondInstanceLeavesTheNameToTheFirst() {
        const QString name = QStringLiteral("TERVALIS");
        const QString item =
            QStringLiteral("request\tDDEServerConvTERVALIS5\tDDEServerItemTERVALIS5");
        auto first = std::make_unique<tv::ExchangeServer>();
        tv::ExchangeServer second;
        first->ItemText = QStringLiteral("first");
        second.ItemText = QStringLiteral("second");
        QVERIFY(first->Listen(name));
        QVERIFY(!first->AnotherServes());
        const QString path = tv::ExchangeSocketPath(name);
        QCOMPARE(first->ServerName(), path);
        QCOMPARE(QFileInfo(path).absolutePath(), QFileInfo(runtime_.path()).absoluteFilePath());
        // Only the user may connect.
        const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                          QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
        QCOMPARE(QFileInfo(path).permissions() & others, QFile::Permissions());

        QVERIFY(!second.Listen(name));
        QVERIFY(second.AnotherServes());
        QCOMPARE(AskAside(path, item), QStringLiteral("first"));
        QCOMPARE(AskAside(path, item), QStringLiteral("first"));

        first.reset();
        QVERIFY(!QFileInfo::exists(path));
        QVERIFY(second.Listen(name));
        QVERIFY(!second.AnotherServes());
        QCOMPARE(AskAside(path, item), QStringLiteral("second"));
    }

    // A socket nobody answers on (left by a crashed run) is replaced.
    void socketOfACrashedRunIsReplaced() {
        const QString name = QStringLiteral("tervalis-crashed");
        const QByteArray path = QFile::encodeName(tv::ExchangeSocketPath(name));
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(fd >= 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.constData(), sizeof(address.sun_path) - 1);
        QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
        ::close(fd); // bound, never listening: the file stays
        QVERIFY(QFileInfo::exists(QFile::decodeName(path)));

        tv::ExchangeServer server;
        server.ItemText = QStringLiteral("alive");
        QVERIFY(server.Listen(name));
        QVERIFY(!server.AnotherServes());
        QCOMPARE(
            AskAside(server.ServerName(),
                     QStringLiteral("request\tDDEServerConvTERVALIS5\tDDEServerItemTERVALIS5")),
            QStringLiteral("alive"));
    }

    // The outgoing message reaches only a partner in the user's runtime directory.
    void pokeGoesToTheRuntimeDirectory() {
        const QString name =
            QStringLiteral("tervalis-partner-%1").arg(QCoreApplication::applicationPid());
        QLocalServer partner;
        QVERIFY(partner.listen(tv::ExchangeSocketPath(name)));
        QVERIFY(tv::PokeBookingApplication(name, QStringLiteral("1\t2"), 2000));
        QVERIFY(partner.waitForNewConnection(2000));
        QLocalSocket* s = partner.nextPendingConnection();
        QVERIFY(s->waitForReadyRead(2000) || s->canReadLine());
        QCOMPARE(QString::fromUtf8(s->readLine()),
                 QStringLiteral("poke\tDDEServerConvVALDA\tDdeServerItemVALDA\t1 2\n"));
    }

    void pokeWithoutPartnerSendsNothing() {
        QVERIFY(!tv::PokeBookingApplication(QStringLiteral("tervalis-no-such-partner"),
                                            QStringLiteral("x"), 200));
    }
};

QTEST_GUILESS_MAIN(ExchangeServerTest)
#include "ExchangeServerTest.moc"
