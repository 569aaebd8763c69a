#include "dialogs/fsmproperties.h"

#include <gtest/gtest.h>

#include "../support/builders.h"
#include "../support/fakeprompter.h"
#include "../support/tempdir.h"
#include "model/fsmrecord.h"
#include "model/staterecord.h"
#include "model/text.h"

namespace tarvel {
namespace {

using test::addState;
using test::FakePrompter;

// A diagram with a full FSM record (an older signature) and an initial state.
struct Fsm {
    Document doc;
    FakePrompter prompter;
    Node* initial = addState(doc, "Start", NK_INITIAL);
    Fsm() {
        SetGraphInfo("Motor", "int x", "int", "init", "before", "default", "after", "final",
                     "FSM_V000.005", "OPTIONS;", "module", "function", "7", doc.diagram());
        doc.diagram().SetDiagramChanged(false);
    }
    std::string field(int f) const { return std::string(GetGraphField(f, doc.diagram())); }
};

TEST(FsmProperties, LoadsTheRecordAndTheOptions) {
    Fsm f;
    f.doc.options.DebugInfo = true;
    FsmProperties props(f.doc, f.prompter);
    const FsmValues& v = props.values();
    EXPECT_EQ(v.name, "Motor");
    EXPECT_EQ(v.parameters, "int x");
    EXPECT_EQ(v.returnType, "int");
    EXPECT_EQ(v.maxLoops, "7");
    EXPECT_EQ(v.defaultActions, "default");
    EXPECT_TRUE(v.options.DebugInfo);
    EXPECT_EQ(props.signatureLabel(), "FSM Signature: FSM_V000.005");
    EXPECT_EQ(props.funcInitCaption(), "Generate a restart function: Motor_Init()");
    EXPECT_EQ(props.funcEndCaption(), "Generate a final node reached confirmation: Motor_End()");
}

TEST(FsmProperties, OkWithoutChangesWritesNothing) {
    Fsm f;
    FsmProperties props(f.doc, f.prompter);
    props.switchHeader();  // the header mode alone is no change
    props.accept();
    EXPECT_FALSE(f.doc.diagram().DiagramChanged());
    EXPECT_EQ(f.field(FF_SIGNATURE), "FSM_V000.005");
}

TEST(FsmProperties, OkWritesTheOwnSignatureAndKeepsTheOptionsField) {
    Fsm f;
    FsmProperties props(f.doc, f.prompter);
    props.values().parameters = "void";
    props.values().options.HistoryFsm = false;
    props.accept();
    EXPECT_TRUE(f.doc.diagram().DiagramChanged());
    EXPECT_EQ(f.doc.diagram().DiagramRecord(),
              joinFields({"FSM_V000.006a", "Motor", "init", "before", "OPTIONS;", "void", "after",
                          "final", "module", "function", "default", "7", "int"}));
    EXPECT_FALSE(f.doc.options.HistoryFsm);
    // The initial state lost its history marker with the option.
    EXPECT_FALSE(f.initial->NodeText().starts_with(HISTORY_MARKER));
}

TEST(FsmProperties, OneEditorShowsEitherHeader) {
    Fsm f;
    FsmProperties props(f.doc, f.prompter);
    EXPECT_TRUE(props.showsModuleHeader());
    EXPECT_EQ(props.headerCaption(), "This is the module header");
    props.shownHeader() = "new module";
    props.switchHeader();
    EXPECT_EQ(props.headerCaption(), "This is the function header");
    EXPECT_EQ(props.shownHeader(), "function");
    props.shownHeader() = "new function";
    props.accept();
    EXPECT_EQ(f.field(FF_MODULE_HEADER), "new module");
    EXPECT_EQ(f.field(FF_FUNCTION_HEADER), "new function");
}

TEST(FsmProperties, MaxLoopsIsANumberFrom0To255) {
    const struct {
        const char* typed;
        const char* shown;
        bool beep;
    } cases[] = {
        {"300", "255", true}, {"abc", "0", false},  {"", "0", false},      {"-5", "0", true},
        {"2.7", "3", false},  {"12x", "12", false}, {"255", "255", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        Fsm f;
        FsmProperties props(f.doc, f.prompter);
        props.values().maxLoops = c.typed;
        props.maxLoopsEdited();
        EXPECT_EQ(props.values().maxLoops, c.shown);
        EXPECT_EQ(f.prompter.beeps, c.beep ? 1 : 0);
    }
}

TEST(FsmProperties, ColourButtonsRecolourEveryStateAtOnce) {
    Fsm f;
    Node* other = addState(f.doc, "Other");
    FsmProperties props(f.doc, f.prompter);
    props.setFillColour(0x00FF00);
    props.setForeColour(0x0000FF);
    for (Node* n : {f.initial, other}) {
        EXPECT_EQ(n->NodeFillColor(), 0x00FF00u);
        EXPECT_EQ(n->NodeForeColor(), 0x0000FFu);
    }
    props.resetColours();
    EXPECT_EQ(f.doc.diagram().FillColor(), 0xFFFFF0u);
    EXPECT_EQ(other->NodeFillColor(), 0xFFFFF0u);
    EXPECT_EQ(other->NodeForeColor(), 0u);
}

TEST(FsmProperties, OpenChildListsTheChildrenOfEveryState) {
    test::TempDir dir;
    dir.write("KID.fsm", "x");
    Fsm f;
    f.doc.sFullDocname = dir / "Root.fsm";
    test::setState(f.doc, f.initial, [](StateRecord& r) { r.moore = "KID();"; });
    FsmProperties props(f.doc, f.prompter);
    ASSERT_EQ(props.children(), std::vector<std::string>{"KID.fsm"});
    props.values().finalCode = "end";
    std::string pending;
    EXPECT_TRUE(props.openChild("KID.fsm", pending));
    EXPECT_EQ(pending, dir / "KID.fsm");
    EXPECT_EQ(f.field(FF_FINAL_CODE), "end");
}

TEST(FsmProperties, LockedDiagramIsReadButNeverWritten) {
    Fsm f;
    f.doc.diagram().setFillColor(0x123456);
    f.doc.diagram().SetDiagramChanged(false);
    f.doc.diagram().setDiagramLocked(true);
    const std::string record = f.doc.diagram().DiagramRecord();
    FsmProperties props(f.doc, f.prompter);
    props.values().parameters = "changed";
    props.resetColours();
    props.accept();
    EXPECT_EQ(f.doc.diagram().DiagramRecord(), record);
    EXPECT_EQ(f.doc.diagram().FillColor(), 0x123456u);
    EXPECT_FALSE(f.doc.diagram().DiagramChanged());
}

}  // namespace
}  // namespace tarvel
