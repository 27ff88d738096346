#include "exchange/BookingLink.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace tv {

ExchangeServer::ExchangeServer(QObject* parent) : QObject(parent), server_(new QLocalServer(this)) {
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* s = server_->nextPendingConnection()) {
            connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
            connect(s, &QLocalSocket::readyRead, this, [this, s] {
                while (s->canReadLine()) {
                    const QString line = QString::fromUtf8(s->readLine()).chopped(1);
                    s->write((Answer(line) + "\n").toUtf8());
                }
            });
        }
    });
}

QString ExchangeSocketPath(const QString& serviceName) {
    // Another user's instance, or one on a shared temporary directory, must not be able to
    // take the name over.
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    return QDir(dir).filePath(serviceName);
}

bool ExchangeServer::Listen(const QString& serviceName) {
    const QString path = ExchangeSocketPath(serviceName);
    {
        QLocalSocket probe;
        probe.connectToServer(path);
        anotherServes_ = probe.waitForConnected(500);
    }
    if (anotherServes_) return false;
    QLocalServer::removeServer(path); // a socket left by a crashed run: nobody answers on it
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    return server_->listen(path);
}

QString ExchangeServer::ServerName() const {
    return server_->fullServerName();
}

QString ExchangeServer::Answer(const QString& request) {
    const QStringList f = request.split('\t');
    if (f.size() < 3 || f[1] != QLatin1String(ExchangeTopic)) return QStringLiteral("error");
    if (f[0] == QLatin1String("request"))
        return f[2] == QLatin1String(ExchangeItem) ? ItemText : QStringLiteral("error");
    if (f[0] == QLatin1String("poke") && f.size() >= 4 && f[2] == QLatin1String(ExchangeItem)) {
        ItemText += f[3];
        return QStringLiteral("ok");
    }
    if (f[0] != QLatin1String("execute")) return QStringLiteral("error");
    // Only the first line of a macro counts, compared in lower case.
    const QString macro = f[2].section(QLatin1Char(0x0d), 0, 0).trimmed().toLower();
    if (macro == QLatin1String("testmsg")) {
        ShowMessage(QStringLiteral("test"));
    } else if (macro == QLatin1String("valda gestartet")) {
        BringToFront();
        ShowMessage(QStringLiteral("VALDA gestartet"));
    } else if (macro == QLatin1String("valda_clear_daten")) {
        ItemText.clear();
    } else if (macro == QLatin1String("valda_start_datentransfer")) {
        StartTransfer();
    } else {
        return QStringLiteral("error");
    }
    return QStringLiteral("ok");
}

bool PokeBookingApplication(const QString& serviceName, const QString& text, int timeoutMs) {
    // The partner listens where this program does: a name in the shared temporary
    // directory could be taken by any local user, who would then receive the data.
    QLocalSocket s;
    s.connectToServer(ExchangeSocketPath(serviceName));
    if (!s.waitForConnected(timeoutMs)) return false;
    s.write(QStringLiteral("poke\tDDEServerConvVALDA\tDdeServerItemVALDA\t%1\n")
                .arg(QString(text).replace('\t', ' ').replace('\n', ' '))
                .toUtf8());
    s.waitForBytesWritten(timeoutMs);
    s.disconnectFromServer();
    return true;
}

} // namespace tv
