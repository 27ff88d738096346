#pragma once

// The platform side of the booking-application link: the exchange server reached through a
// local socket, and the menu commands of the export and the booking link.

#include <QObject>
#include <QString>

#include <functional>

class QLocalServer;

namespace tv {

class CommandHost;

constexpr const char* ExchangeTopic = "DDEServerConvTERVALIS5";
constexpr const char* ExchangeItem = "DDEServerItemTERVALIS5";

// Serves the program's topic on a local socket named after the service in the user's runtime
// directory, reachable by the user only. One request a line, fields separated by tabs, one
// answer line each:
//   "request<TAB>topic<TAB>item"   -> the item's text (lines joined by "\r\n")
//   "execute<TAB>topic<TAB>macro"  -> "ok", the macro's effect done
//   "poke<TAB>topic<TAB>item<TAB>text" -> "ok", the text appended to the item
// A wrong topic, item or command answers "error".
class ExchangeServer : public QObject {
    Q_OBJECT
  public:
    explicit ExchangeServer(QObject* parent = nullptr);
    // Listens unless another server of the service still answers (AnotherServes() then
    // tells); a socket nobody answers on is left by a crashed run and replaced. The socket
    // goes when the server does.
    bool Listen(const QString& serviceName);
    bool AnotherServes() const { return anotherServes_; }
    QString ServerName() const;

    QString ItemText;
    std::function<void(const QString&)> ShowMessage = [](const QString&) {};
    std::function<void()> BringToFront = [] {};
    std::function<void()> StartTransfer = [] {};

    // Handles one request line and returns the answer line.
    QString Answer(const QString& request);

  private:
    QLocalServer* server_;
    bool anotherServes_ = false;
};

// The socket path of an exchange service: in the user's runtime directory.
QString ExchangeSocketPath(const QString& serviceName);

// Sends text to the booking application's exchange topic, found by its service name in the
// user's runtime directory; false (nothing sent) when it is not reachable.
bool PokeBookingApplication(const QString& serviceName, const QString& text, int timeoutMs = 500);

// Binds "Export ...", the booking transfers, the share dialog and the close entries.
void InstallExportBookingCommands(CommandHost& w);

} // namespace tv
