// The Simulate mode as the user meets it: the traffic light and its
// pedestrian child stepped with chosen conditions, the active states shown
// in every window of the hierarchy (a child opened while simulating too),
// editing off while it runs and back afterwards, Run at a rate, a chain that
// never ends stopped, and the diagrams never changed.
#include <QCheckBox>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTest>

#include "codegen/generator.h"
#include "editor/ui/diagramview.h"
#include "editor/ui/frmdoc.h"
#include "editor/ui/simulationmode.h"
#include "editor/ui/simulationpanel.h"
#include "model/documentio.h"
#include "model/fsmfile.h"
#include "model/fsmrecord.h"
#include "model/staterecord.h"
#include "model/text.h"
#include "model/transitionrecord.h"
#include "shell/workspace.h"
#include "sim/simulator.h"
#include "support/builders.h"
#include "uitestsupport.h"

using namespace tarvel;
using namespace tarvel::test;

namespace {

std::string copyExample(const Sandbox& sandbox, const std::string& name) {
    const std::string to = sandbox.file(name);
    QFile::remove(QString::fromStdString(to));
    QFile::copy(QString::fromStdString(std::string(TARVEL_SOURCE_DIR) + "/examples/" + name),
                QString::fromStdString(to));
    return to;
}

const Node* stateNamed(const Diagram& d, std::string_view name) {
    for (const auto& n : d.NodeList()) {
        if (isState(*n) && readStateField(SF_NAME, *n) == name) {
            return n.get();
        }
    }
    return nullptr;
}

}  // namespace

class SimulationTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Sandbox> sandbox;
    std::unique_ptr<Editor> editor;

    frmMain& main() { return editor->main(); }
    SimulationMode& mode() { return SimulationMode::of(main(), editor->workspace()); }
    SimulationPanel& panel() { return *mode().panel(); }
    QAction* menuItem(frmDoc* w, const char* name) {
        return w->findChild<QAction*>(QString::fromUtf8(name));
    }
    // Checks exactly the conditions named.
    void hold(std::initializer_list<const char*> conditions) {
        for (int i = 0; QCheckBox* box = panel().conditionBox(i); ++i) {
            bool on = false;
            for (const char* c : conditions) {
                on = on || box->property("condition").toString() == QString::fromUtf8(c);
            }
            box->setChecked(on);
        }
    }
    // Whether each item of the window's Edit menu and each toolbar button
    // can be used.
    QList<bool> editingState(frmDoc* w) {
        QList<bool> out;
        for (QMenu* m : w->menus()) {
            if (m->objectName() == QStringLiteral("mnuEdit")) {
                for (QAction* a : m->findChildren<QAction*>()) {
                    out << a->isEnabled();
                }
            }
        }
        for (const std::string& key : frmMain::buttonKeys()) {
            out << main().button(key)->isEnabled();
        }
        return out;
    }
    void step() {
        QTest::keyClick(editor->active()->AddFlow1(), Qt::Key_F10);
        settle();
    }

private slots:
    void init() {
        sandbox = std::make_unique<Sandbox>();
        editor = std::make_unique<Editor>();
        settle();
    }
    void cleanup() {
        editor.reset();
        sandbox.reset();
    }

    void trafficLightStepsWithItsPedestrianChild() {
        const std::string root = copyExample(*sandbox, "TrafficLight.fsm");
        copyExample(*sandbox, "PedestrianSignal.fsm");
        QVERIFY(editor->workspace().FileOpen(root));
        settle();
        frmDoc* light = editor->active();
        Document& lightDoc = *light->document();
        lightDoc.diagram().setDiagramLocked(false);  // editable until the simulation starts
        light->RefreshButtons(true);
        const std::string before = writeDiagramJson(lightDoc.diagram());
        const QList<bool> editing = editingState(light);
        QVERIFY(main().button("Remark")->isEnabled());

        // F5 starts it; the panel lists the five conditions of both diagrams.
        QTest::keyClick(light->AddFlow1(), Qt::Key_F5);
        settle();
        QVERIFY(mode().active());
        QVERIFY(panel().isVisible());
        QVERIFY(menuItem(light, "mnuSimulate")->isChecked());
        QVERIFY(main().button("Simulate")->isChecked());
        QVERIFY(panel().conditionBox(4) != nullptr && panel().conditionBox(5) == nullptr);
        QCOMPARE(panel().activeLines(), QStringList({"TrafficLight: CARS_GREEN",
                                                     "TrafficLight/PedestrianSignal: DONT_WALK"}));

        // Editing is off: no remark, no properties, and a drag draws nothing.
        QVERIFY(!main().button("Remark")->isEnabled());
        QVERIFY(!main().button("Properties")->isEnabled());
        QVERIFY(!light->action("mnuFSMProperties")->isEnabled());
        QVERIFY(!light->action("mnuEditDelete")->isEnabled());
        const std::size_t nodes = lightDoc.diagram().nodeCount();
        drag(light->AddFlow1(), {600, 500}, {700, 600});
        QCOMPARE(lightDoc.diagram().nodeCount(), nodes);

        step();
        hold({"buttonPressed &&\r\nphaseTicks >= MIN_GREEN"});
        step();
        QCOMPARE(panel().activeLines().front(), QStringLiteral("TrafficLight: CARS_YELLOW"));
        QVERIFY(panel().traceText().contains(
            QStringLiteral("\u2192 TrafficLight: CARS_GREEN \u2192 CARS_YELLOW [1]")));
        hold({"phaseTicks >= YELLOW"});
        step();
        hold({});
        step();  // red continues at once into WALK, where the child starts walking
        QCOMPARE(panel().activeLines(),
                 QStringList({"TrafficLight: WALK", "TrafficLight/PedestrianSignal: WALKING"}));

        // The child opened now shows its state and cannot be edited either.
        light->openChild("PedestrianSignal.fsm");
        settle();
        frmDoc* walker = editor->active();
        QVERIFY(walker != light);
        QVERIFY(mode().covers(*walker));
        QCOMPARE(mode().diagramOf(*walker), 1);
        QVERIFY(!main().button("Remark")->isEnabled());
        QVERIFY(!walker->action("mnuEditDelete")->isEnabled());
        const Node* walking = stateNamed(walker->document()->diagram(), "WALKING");
        QCOMPARE(mode().simulator()->activeState(1),
                 static_cast<int>(lenientInt(readStateField(SF_INDEX, *walking))));
        const std::string childBefore = writeDiagramJson(walker->document()->diagram());

        hold({"walkTicks >= WALK"});
        step();
        QCOMPARE(panel().activeLines().back(),
                 QStringLiteral("TrafficLight/PedestrianSignal: FLASHING"));

        // Run steps at the chosen rate until paused.
        hold({});
        const long long calls = mode().simulator()->calls();
        mode().setRunning(true);
        QVERIFY(panel().runningShown());
        QTRY_VERIFY_WITH_TIMEOUT(mode().simulator()->calls() >= calls + 2, 5000);
        mode().setRunning(false);
        QVERIFY(!panel().runningShown());

        // Escape leaves; editing comes back and nothing was changed.
        QTest::keyClick(walker->AddFlow1(), Qt::Key_Escape);
        settle();
        QVERIFY(!mode().active());
        QVERIFY(!panel().isVisible());
        QVERIFY(!menuItem(walker, "mnuSimulate")->isChecked());
        QCOMPARE(writeDiagramJson(lightDoc.diagram()), before);
        QCOMPARE(writeDiagramJson(walker->document()->diagram()), childBefore);
        QVERIFY(!lightDoc.GraphHasChanged());
        QVERIFY(!walker->document()->GraphHasChanged());
        editor->workspace().activate(&lightDoc);
        settle();
        QCOMPARE(editingState(light), editing);
    }

    // A chain that never ends is stopped and said so; Reset starts again.
    void endlessChainStopsAndResets() {
        Document doc;
        doc.sFullDocname = sandbox->file("Loop.fsm");
        Node* a = addState(doc, "A", NK_INITIAL, 600, 600);
        Node* b = addState(doc, "B", NK_STATE, 3600, 600);
        for (auto [from, to] : {std::pair{a, b}, std::pair{b, a}}) {
            Node* t = addTransition(doc, from, to);
            TransitionRecord r = TransitionRecord::read(*t);
            r.continueImmediately = std::string(1, 'Y');  // a literal trips a false gcc 12 warning
            writeTransition(doc, r, *t);
        }
        SetGraphInfo("Loop", "", "", "", "", "", "", "", "", "", "", "", "0", doc.diagram());
        SaveGraphInfo(doc, true);
        std::string error;
        QVERIFY(SaveToFile(doc.diagram(), doc.sFullDocname, error));

        QVERIFY(editor->workspace().FileOpen(doc.sFullDocname));
        settle();
        mode().toggle(*editor->active());
        QVERIFY(mode().active());
        step();
        QVERIFY(mode().simulator()->stopped());
        QVERIFY(panel().statusText().startsWith(QStringLiteral("Stopped at call 1: the chain")));
        QVERIFY(!menuItem(editor->active(), "mnuSimulateStep")->isEnabled());
        mode().reset();
        QVERIFY(!mode().simulator()->stopped());
        QVERIFY(menuItem(editor->active(), "mnuSimulateStep")->isEnabled());
        mode().leave();
    }

    // A machine the generators refuse cannot be simulated either.
    void refusedMachineSaysWhy() {
        const std::string path = sandbox->file("Nameless.fsm");
        Document doc;
        doc.sFullDocname = path;
        addState(doc, "A", NK_STATE);
        SaveGraphInfo(doc, true);
        std::string error;
        QVERIFY(SaveToFile(doc.diagram(), path, error));
        QVERIFY(editor->workspace().FileOpen(path));
        settle();
        editor->ui->messages.clear();
        mode().toggle(*editor->active());
        QVERIFY(!mode().active());
        QCOMPARE(editor->ui->messages.size(), std::size_t(1));
        QVERIFY(QString::fromStdString(editor->ui->messages.front())
                    .contains(QStringLiteral("a start node must be defined")));
    }
};

QTEST_MAIN(SimulationTest)
#include "tst_simulation.moc"
