// The receiving side of the single-instance hand-off (`frmLib_LinkInstance`).
// Paths arrive from other instances of the same user over a local socket, or
// from files dropped on the main frame; each existing ".fsm" path joins a
// queue that a 10 ms timer empties, newest first, while the queue is not
// suspended. Modal windows suspend it (`Stopped`) and resume it (`Running`),
// so no diagram opens behind one.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

class QLocalServer;
class QLocalSocket;

namespace tarvel {

class PrivateFolder;

// The marker the hand-off window carried; kept as the socket's greeting.
inline constexpr const char* HANDOFF_MARKER = "**FSM Ready To receive**";

// The local socket of this user's editor: in the user's runtime folder when
// there is one, else in the private temporary folder; the name carries the
// user id. Empty when neither folder can be used.
QString handoffServerName(const PrivateFolder& privateFolder);

class frmLib_LinkInstance final : public QObject {
    Q_OBJECT
public:
    // `open` opens a path taken from the queue (and raises the main frame).
    explicit frmLib_LinkInstance(std::function<void(const std::string&)> open,
                                 QObject* parent = nullptr);
    ~frmLib_LinkInstance() override;

    // Starts receiving from other instances; false when the socket cannot be
    // made (the editor then works alone).
    bool listen(const QString& name);
    void close();

    // A path arrives: an existing ".fsm" file joins the queue, anything else
    // is dropped.
    void cmdPrevInstance_Click(const std::string& path);
    // One tick of the queue's timer.
    void tmrRetry_Timer();
    void Stopped();
    void Running();

    int suspension() const { return m_suspension; }
    const std::vector<std::string>& queue() const { return m_queue; }
    bool timerActive() const { return m_timer.isActive(); }

private:
    void readFrom(QLocalSocket* socket);

    std::function<void(const std::string&)> m_open;
    std::vector<std::string> m_queue;
    int m_suspension = 0;
    QTimer m_timer;
    QLocalServer* m_server = nullptr;
};

}  // namespace tarvel
