// The program's exchange topic answered over a local socket.

#include "app/BookingLink.h"

#include <QCoreApplication>
#include <QLocalSocket>
#include <QTest>
#include <QThread>

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

  private slots:
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

    void pokeWithoutPartnerSendsNothing() {
        QVERIFY(!tv::PokeBookingApplication(QStringLiteral("tervalis-no-such-partner"),
                                            QStringLiteral("x"), 200));
    }
};

QTEST_GUILESS_MAIN(ExchangeServerTest)
#include "ExchangeServerTest.moc"
