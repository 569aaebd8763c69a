#include "shell/ui/clslib_previnstance.h"

#include <QLocalSocket>

#include "base/logs.h"

namespace tarvel {

bool clsLib_PrevInstance::anotherInstanceRunning(const QString& serverName, int timeoutMs) {
    if (serverName.isEmpty()) {
        return false;
    }
    QLocalSocket socket;
    socket.connectToServer(serverName);
    const bool connected = socket.waitForConnected(timeoutMs);
    socket.abort();
    return connected;
}

bool clsLib_PrevInstance::ProcessNewInstances(const std::string& path, const QString& serverName,
                                              int timeoutMs) {
    QLocalSocket socket;
    if (!serverName.isEmpty()) {
        socket.connectToServer(serverName);
    }
    if (serverName.isEmpty() || !socket.waitForConnected(timeoutMs)) {
        LogRun("ProcessNewInstances: hFrm not found");
        return false;
    }
    QByteArray message = QString::fromStdString(path).toUtf8();
    message.replace('\n', ' ');  // one path per line
    message.append('\n');
    socket.write(message);
    const bool written = socket.waitForBytesWritten(timeoutMs);
    if (!written) {
        LogRun("ProcessNewInstances: " + socket.errorString().toStdString());
    }
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState) {
        socket.waitForDisconnected(timeoutMs);
    }
    return written;
}

}  // namespace tarvel
