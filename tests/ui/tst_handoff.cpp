// The single-instance hand-off: paths arrive in a queue that opens the newest
// first, waits while a modal window is open, drops what is not a diagram, and
// only takes connections of the same user's editor.
#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QLocalSocket>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include "shell/ui/clslib_previnstance.h"
#include "shell/ui/frmlib_linkinstance.h"
#include "uitestsupport.h"

using namespace tarvel;
using namespace tarvel::test;

class HandoffTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Sandbox> sandbox;
    std::vector<std::string> opened;
    std::unique_ptr<frmLib_LinkInstance> receiver;

private slots:
    void init() {
        sandbox = std::make_unique<Sandbox>();
        opened.clear();
        receiver = std::make_unique<frmLib_LinkInstance>(
            [this](const std::string& p) { opened.push_back(p); });
    }
    void cleanup() {
        receiver.reset();
        sandbox.reset();
    }

    void newestFirst() {
        const std::string a = sandbox->writeDiagram("A.fsm");
        const std::string b = sandbox->writeDiagram("B.fsm");
        const std::string c = sandbox->writeDiagram("C.fsm");
        for (const auto& p : {a, b, c}) {
            receiver->cmdPrevInstance_Click(p);
        }
        QVERIFY(receiver->timerActive());
        QTRY_COMPARE(opened.size(), std::size_t(3));
        QCOMPARE(opened, (std::vector<std::string>{c, b, a}));
        QTRY_VERIFY(!receiver->timerActive());
    }

    void waitsWhileSuspended() {
        const std::string a = sandbox->writeDiagram("A.fsm");
        receiver->Stopped();
        receiver->Stopped();  // nested modal windows
        receiver->cmdPrevInstance_Click(a);
        QTest::qWait(50);
        QVERIFY(opened.empty());
        receiver->Running();
        QTest::qWait(50);
        QVERIFY(opened.empty());
        receiver->Running();
        QTRY_COMPARE(opened.size(), std::size_t(1));
    }

    void dropsWhatIsNotADiagram() {
        const std::string text = sandbox->file("notes.txt");
        QFile(QString::fromStdString(text)).open(QIODevice::WriteOnly);
        for (const std::string& p :
             {text, sandbox->file("missing.fsm"), sandbox->path().toStdString(), std::string()}) {
            receiver->cmdPrevInstance_Click(p);
        }
        QVERIFY(receiver->queue().empty());
        QTest::qWait(30);
        QVERIFY(opened.empty());
    }

    void pathsArriveOverTheUsersSocket() {
        const QString name = sandbox->path() + "/handoff";
        QVERIFY(!clsLib_PrevInstance::anotherInstanceRunning(name, 100));
        QVERIFY(receiver->listen(name));
        QVERIFY(clsLib_PrevInstance::anotherInstanceRunning(name));
        // Only the user may connect.
        QCOMPARE(QFile::permissions(name) &
                     (QFile::ReadOther | QFile::WriteOther | QFile::ReadGroup | QFile::WriteGroup),
                 QFileDevice::Permissions());

        const std::string a = sandbox->writeDiagram("A.fsm");
        QVERIFY(clsLib_PrevInstance::ProcessNewInstances(a, name));
        QTRY_COMPARE(opened, std::vector<std::string>{a});

        // A sender that never ends its line is cut off, and the receiver goes on.
        QLocalSocket flood;
        flood.connectToServer(name);
        QVERIFY(flood.waitForConnected(1000));
        flood.write(QByteArray(200 * 1024, 'x'));
        flood.waitForBytesWritten(1000);
        QTRY_VERIFY(flood.state() == QLocalSocket::UnconnectedState);
        const std::string b = sandbox->writeDiagram("B.fsm");
        QVERIFY(clsLib_PrevInstance::ProcessNewInstances(b, name));
        QTRY_COMPARE(opened.size(), std::size_t(2));
    }

    void aSocketLeftBehindIsTakenOver() {
        const QString name = sandbox->path() + "/stale";
        QFile stale(name);
        QVERIFY(stale.open(QIODevice::WriteOnly));  // a leftover file of that name
        stale.close();
        QVERIFY(receiver->listen(name));
        QVERIFY(clsLib_PrevInstance::anotherInstanceRunning(name));
    }

    void noReceiverMeansNothingIsSent() {
        QVERIFY(!clsLib_PrevInstance::ProcessNewInstances(sandbox->writeDiagram("A.fsm"),
                                                          sandbox->path() + "/nobody", 100));
        QFile log(QString::fromStdString(sandbox->file("FSM.log")));
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(log.readAll().contains("ProcessNewInstances: hFrm not found"));
    }

    // Only the first dropped file counts, and only when it is a diagram.
    void dropsTakeTheFirstDiagram() {
        Editor editor;
        const std::string a = sandbox->writeDiagram("A.fsm");
        const std::string text = sandbox->file("notes.txt");
        QFile(QString::fromStdString(text)).open(QIODevice::WriteOnly);
        auto drop = [&](const std::vector<std::string>& paths) {
            QMimeData data;
            QList<QUrl> urls;
            for (const auto& p : paths) {
                urls << QUrl::fromLocalFile(QString::fromStdString(p));
            }
            data.setUrls(urls);
            QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                                  Qt::NoModifier);
            QApplication::sendEvent(&editor.main(), &enter);
            QDropEvent event(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                             Qt::NoModifier);
            QApplication::sendEvent(&editor.main(), &event);
        };
        drop({text, a});
        QTest::qWait(40);
        QCOMPARE(editor.main().docWindows().size(), std::size_t(1));
        drop({a, text});
        QTRY_COMPARE(editor.main().docWindows().size(), std::size_t(2));
    }

    // A drop on the frame goes through the queue; a modal window holds it back.
    void droppedFilesWaitForModalWindows() {
        Editor editor;
        const std::string a = sandbox->writeDiagram("A.fsm");
        frmLib_LinkInstance& handoff = editor.session->handoff();
        editor.main().suspendHandoff(true);
        handoff.cmdPrevInstance_Click(a);
        QTest::qWait(40);
        QCOMPARE(editor.main().docWindows().size(), std::size_t(1));
        editor.main().suspendHandoff(false);
        QTRY_COMPARE(editor.main().docWindows().size(), std::size_t(2));
        QCOMPARE(editor.workspace().active()->sFullDocname, a);
        QVERIFY(editor.workspace().active()->diagram().DiagramLocked());
    }
};

QTEST_MAIN(HandoffTest)
#include "tst_handoff.moc"
