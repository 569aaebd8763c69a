#include "shell/ui/frmlib_linkinstance.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

#include "base/logs.h"
#include "base/paths.h"
#include "base/privatefolder.h"
#include "shell/ui/clslib_previnstance.h"

namespace tarvel {

namespace {

constexpr int TIMER_INTERVAL_MS = 10;
// A path longer than this is no path: the connection is dropped.
constexpr qint64 MAX_MESSAGE = 64 * 1024;

bool ownPrivateFolder(const QString& folder) {
    struct stat st {};
    const QByteArray path = QFile::encodeName(folder);
    return ::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
           (st.st_mode & 0077) == 0;
}

}  // namespace

QString handoffServerName(const PrivateFolder& privateFolder) {
    const QString file = QStringLiteral("tarvel-editor-") + QString::number(::getuid());
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && ownPrivateFolder(runtime)) {
        return QDir(runtime).filePath(file);
    }
    if (!privateFolder.usable()) {
        LogRun(" handoffServerName: " + privateFolder.error());
        return {};
    }
    return QDir(QString::fromStdString(privateFolder.path())).filePath(file);
}

frmLib_LinkInstance::frmLib_LinkInstance(std::function<void(const std::string&)> open,
                                         QObject* parent)
    : QObject(parent), m_open(std::move(open)) {
    m_timer.setInterval(TIMER_INTERVAL_MS);
    connect(&m_timer, &QTimer::timeout, this, &frmLib_LinkInstance::tmrRetry_Timer);
}

frmLib_LinkInstance::~frmLib_LinkInstance() {
    close();
}

bool frmLib_LinkInstance::listen(const QString& name) {
    if (name.isEmpty()) {
        return false;
    }
    close();
    m_server = new QLocalServer(this);
    // Only the same user may hand over files.
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    bool listening = m_server->listen(name);
    // A socket left by an editor that ended without closing it: nobody
    // answers there, so it can go.
    if (!listening && m_server->serverError() == QAbstractSocket::AddressInUseError &&
        !clsLib_PrevInstance::anotherInstanceRunning(name)) {
        QLocalServer::removeServer(name);
        listening = m_server->listen(name);
    }
    if (!listening) {
        LogRun(" frmLib_LinkInstance.listen: " + m_server->errorString().toStdString());
        delete m_server;
        m_server = nullptr;
        return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrom(socket); });
            socket->write(HANDOFF_MARKER);
            socket->write("\n");
            readFrom(socket);
        }
    });
    return true;
}

void frmLib_LinkInstance::close() {
    if (m_server != nullptr) {
        m_server->close();
        delete m_server;
        m_server = nullptr;
    }
}

void frmLib_LinkInstance::readFrom(QLocalSocket* socket) {
    while (socket->canReadLine()) {
        QByteArray line = socket->readLine(MAX_MESSAGE);
        if (!line.endsWith('\n')) {
            socket->abort();  // longer than any path
            return;
        }
        line.chop(1);
        cmdPrevInstance_Click(QString::fromUtf8(line).toStdString());
    }
    if (socket->bytesAvailable() > MAX_MESSAGE) {
        socket->abort();
    }
}

void frmLib_LinkInstance::cmdPrevInstance_Click(const std::string& path) {
    if (!IsFsmPath(path)) {
        return;  // not a diagram: dropped
    }
    m_queue.push_back(path);
    m_timer.start();
}

void frmLib_LinkInstance::tmrRetry_Timer() {
    if (m_suspension == 0 && !m_queue.empty()) {
        const std::string path = m_queue.back();
        m_queue.pop_back();
        if (m_open) {
            m_open(path);
        }
    }
    if (m_queue.empty()) {
        m_timer.stop();
    }
}

void frmLib_LinkInstance::Stopped() {
    ++m_suspension;
    m_timer.start();
}

void frmLib_LinkInstance::Running() {
    if (m_suspension > 0) {
        --m_suspension;
    }
}

}  // namespace tarvel
