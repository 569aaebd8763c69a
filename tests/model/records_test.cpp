#include <gtest/gtest.h>

#include "../support/builders.h"
#include "model/fsmrecord.h"
#include "model/text.h"

namespace tarvel {
namespace {

using test::addState;
using test::addTransition;

std::string field(const Node* n, int f) { return std::string(readField(n->NodeData(), f)); }

TEST(StateRecord, NextIndexAndGeneratedNames) {
    Document doc;
    EXPECT_EQ(nextStateIndex(doc.diagram()), "1");
    Node* a = addState(doc, "STATE_1");
    Node* b = addState(doc, "state_2");
    EXPECT_EQ(field(b, SF_INDEX), "2");
    Node* c = addState(doc, "");
    EXPECT_EQ(field(c, SF_NAME), "STATE_3");  // names compare ignoring case
    test::setState(doc, c, [](StateRecord& r) { r.index = "7"; });
    EXPECT_EQ(nextStateIndex(doc.diagram()), "8");
    test::setState(doc, a, [](StateRecord& r) { r.index = "x"; });  // counts as 0
    EXPECT_EQ(nextStateIndex(doc.diagram()), "8");
    EXPECT_EQ(a->NodeTip(), "STATE_1  (x)");
}

// The record texts are the file format: each field keeps its number.
TEST(StateRecord, FieldsAreReadAndWrittenByTheirNumbers) {
    const StateRecord s{"N", "M", "7", "E", "X", "Y", "N", "L"};
    EXPECT_EQ(s.text(), joinFields({"N", "M", "7", "E", "X", "Y", "N", "L"}));
    for (int f = 0; f < STATE_FIELD_COUNT; ++f) {
        EXPECT_EQ(s.field(StateField(f)), readField(s.text(), f)) << f;
    }
    const TransitionRecord t{"2", "c", "a", "N", "Y", "Y"};
    EXPECT_EQ(t.text(), joinFields({"2", "c", "a", "N", "Y", "Y"}));
    for (int f = 0; f < TRANSITION_FIELD_COUNT; ++f) {
        EXPECT_EQ(t.field(TransitionField(f)), readField(t.text(), f)) << f;
    }

    Document doc;
    Node* n = addState(doc, "A");
    n->setNodeData(s.text());
    EXPECT_EQ(StateRecord::read(*n), s);
    n->setNodeData(joinFields({"only a name"}));  // missing fields read as empty
    EXPECT_EQ(StateRecord::read(*n), (StateRecord{"only a name", "", "", "", "", "", "", ""}));
}

// The dialog and the find walk start and end an edit of a state the same
// way: an empty index is given first, odd flags read as "N", a used name is
// refused, and nothing is written when nothing changed.
TEST(StateRecord, AnEditStartsAndEndsByTheSameRules) {
    Document doc;
    Node* a = addState(doc, "A");
    Node* b = addState(doc, "B");
    const std::string oldFile = joinFields({"B", "", ""});  // no index, no flags
    b->setNodeData(oldFile);

    doc.diagram().setDiagramLocked(true);
    EXPECT_EQ(loadStateForEdit(doc, *b).index, "");  // a locked diagram is never changed
    EXPECT_EQ(b->NodeData(), oldFile);
    doc.diagram().setDiagramLocked(false);

    const StateRecord loaded = loadStateForEdit(doc, *b);
    EXPECT_EQ(loaded.index, "1");  // renumbered first: empty counts as 0
    EXPECT_EQ(field(a, SF_INDEX), "2");
    EXPECT_EQ(loaded.isIn + loaded.goTo, "NN");
    const std::string renumbered = b->NodeData();

    StateRecord edited = loaded;
    EXPECT_EQ(finishStateEdit(doc, *b, edited, NK_STATE, loaded, NK_STATE),
              StateEditResult::Unchanged);
    EXPECT_EQ(b->NodeData(), renumbered);

    edited.name = "a";  // A has it, ignoring case
    edited.moore = "run();";
    EXPECT_EQ(finishStateEdit(doc, *b, edited, NK_STATE, loaded, NK_STATE),
              StateEditResult::NameUsed);
    EXPECT_EQ(b->NodeData(), renumbered);
    EXPECT_EQ(nameUsedMessage(edited.name), "The name: a is already used");

    edited.name = "";
    EXPECT_EQ(finishStateEdit(doc, *b, edited, NK_STATE, loaded, NK_STATE),
              StateEditResult::Written);
    EXPECT_EQ(edited.name, "STATE_1");
    EXPECT_EQ(b->NodeData(), edited.text());
    EXPECT_EQ(field(b, SF_ISIN) + field(b, SF_GOTO), "NN");
}

TEST(StateRecord, DisplayTextHeadersAndHiddenLines) {
    StateRecord r;
    r.name = "S";
    r.entry = "a";
    r.moore = "b";
    EXPECT_EQ(stateDisplayText(r, false),
              "\xC2\xB7S\xC2\xB7\r\n#entry:\r\n a\r\n#during:\r\n b\r\n");
    r.entry.clear();
    EXPECT_EQ(stateDisplayText(r, false), "\xC2\xB7S\xC2\xB7\r\n b\r\n");
    r.moore = "x();\r\n  // note\r\nkeep(); //HIDE_LINE\r\n";
    r.exit = "e";
    EXPECT_EQ(stateDisplayText(r, false),
              "\xC2\xB7S\xC2\xB7\r\n x();\r\n   // note\r\n \r\n#exit:\r\n e\r\n");
    EXPECT_EQ(stateDisplayText(r, true), "\xC2\xB7S\xC2\xB7\r\n x();\r\n \r\n#exit:\r\n e\r\n");
}

TEST(StateRecord, RenumberingPutsTheEditedStateFirstAmongEquals) {
    Document doc;
    Node* s1 = addState(doc, "A");
    Node* s2 = addState(doc, "B");
    Node* s3 = addState(doc, "C");
    test::setState(doc, s3, [](StateRecord& r) { r.index = "1"; });
    renumberStates(doc, s3);
    EXPECT_EQ(field(s3, SF_INDEX), "1");
    EXPECT_EQ(field(s1, SF_INDEX), "2");
    EXPECT_EQ(field(s2, SF_INDEX), "3");
    // Without an edited state, equal indices keep list order and gaps close.
    test::setState(doc, s1, [](StateRecord& r) { r.index = "9"; });
    test::setState(doc, s2, [](StateRecord& r) { r.index = "9"; });
    renumberStates(doc, nullptr);
    EXPECT_EQ(field(s3, SF_INDEX) + field(s1, SF_INDEX) + field(s2, SF_INDEX), "123");
    for (const auto& n : doc.diagram().NodeList()) {
        EXPECT_FALSE(n->hasKind(NK_MARK));
    }
}

TEST(StateRecord, OneInitialStateWithHistoryMarker) {
    Document doc;
    Node* a = addState(doc, "A", NK_INITIAL);
    EXPECT_TRUE(a->NodeText().starts_with(HISTORY_MARKER));
    EXPECT_EQ(a->NodeLineColor(), rgb(180, 0, 60));
    EXPECT_EQ(a->NodeShapeStyle(), 50);
    Node* b = addState(doc, "B", NK_INITIAL);
    EXPECT_EQ(b->NodeKind(), NK_INITIAL);
    EXPECT_EQ(a->NodeKind(), NK_STATE);
    EXPECT_EQ(a->NodeLineWidth(), 1);
    EXPECT_EQ(a->NodeLineColor(), STATE_LINE_COLOR);
    EXPECT_EQ(a->NodeShapeStyle(), 51);
    EXPECT_FALSE(a->NodeText().starts_with(HISTORY_MARKER));

    doc.options.HistoryFsm = false;
    refreshInitialLook(doc, nullptr);
    EXPECT_FALSE(b->NodeText().starts_with(HISTORY_MARKER));
    EXPECT_EQ(b->NodeLineColor(), rgb(230, 0, 0));
}

TEST(StateRecord, KeepsCentreAndMinimumSizeAndRefusesNonStateKinds) {
    Document doc;
    doc.autosizeNodes = true;
    Node* n = doc.diagram().AddNode(10, 500, 20, 20);  // centre (20, 510)
    StateRecord r;
    r.name = "A_RATHER_LONG_STATE_NAME";
    r.index = "1";
    ASSERT_TRUE(writeState(doc, r, NK_STATE, *n));
    EXPECT_EQ(n->NodeLeft(), 1);  // the left edge would fall below 0
    EXPECT_FLOAT_EQ(n->NodeTop(), 510 - n->NodeHeight() / 2);
    EXPECT_GE(n->NodeWidth(), 150);
    EXPECT_GE(n->NodeHeight(), 100);

    Node* plain = doc.diagram().AddNode(0, 0, 20, 20);
    EXPECT_FALSE(writeState(doc, r, NK_COMMENT, *plain));
    EXPECT_EQ(plain->NodeData(), "");
}

TEST(TransitionRecord, PrioritiesShowOnlyWithSeveralTransitions) {
    Document doc;
    Node* a = addState(doc, "A", NK_INITIAL);
    Node* b = addState(doc, "B");
    Node* t1 = addTransition(doc, a, b);
    EXPECT_EQ(t1->NodeText(), "");
    EXPECT_EQ(field(t1, TF_PRIORITY), "1");
    EXPECT_EQ(field(t1, TF_ENTRY_EXIT) + field(t1, TF_MUST_BE_LAST) + field(t1, TF_CONTINUE), "YNN");
    EXPECT_EQ(sourceState(*t1), a);
    EXPECT_EQ(targetState(*t1), b);
    EXPECT_EQ(t1->NodeFillColor(), rgb(192, 255, 255));
    EXPECT_EQ(t1->NodeWidth(), 150);
    Node* t2 = addTransition(doc, a, a);
    EXPECT_EQ(t2->NodeText(), "[2]\r\n");
    EXPECT_EQ(t1->NodeText(), "[1]\r\n");
    EXPECT_EQ(a->NodeOutLinks().size(), 2u);
    EXPECT_EQ(a->NodeOutLinks()[0]->LinkArrowStyle(), 0);
    EXPECT_EQ(t2->NodeOutLinks()[0]->LinkArrowStyle(), 3);
}

void setTransition(Document& doc, Node* t, const char* priority, const char* last = "N") {
    TransitionRecord r = TransitionRecord::read(*t);
    r.priority = priority;
    r.mustBeLast = last;
    writeTransition(doc, r, *t);
}

TEST(TransitionRecord, RenumberingRules) {
    Document doc;
    Node* a = addState(doc, "A", NK_INITIAL);
    Node* b = addState(doc, "B");
    Node* t1 = addTransition(doc, a, b);
    Node* t2 = addTransition(doc, a, b);
    Node* t3 = addTransition(doc, a, a);

    // The edited transition wins a shared number.
    setTransition(doc, t1, "1");
    setTransition(doc, t2, "1");
    setTransition(doc, t3, "2");
    renumberPriorities(doc, *a, t2);
    EXPECT_EQ(field(t2, 0) + field(t1, 0) + field(t3, 0), "123");

    // Must-be-last goes after all the others.
    setTransition(doc, t1, "1", "Y");
    setTransition(doc, t2, "2");
    setTransition(doc, t3, "3");
    renumberPriorities(doc, *a, nullptr);
    EXPECT_EQ(field(t1, 0) + field(t2, 0) + field(t3, 0), "312");
    EXPECT_EQ(t1->NodeText(), "{3}\r\n");
}

// The order the generators test a state's transitions in, and the list file
// shows them: by priority, the first of a shared priority only, priorities
// beyond the out-links (or unreadable) never.
TEST(TransitionRecord, ByPriorityTheFirstOfAPriorityWinsAndOutOfRangeIsLeftOut) {
    Document doc;
    Node* a = addState(doc, "A", NK_INITIAL);
    Node* b = addState(doc, "B");
    std::vector<Node*> t;
    for (int i = 0; i < 6; ++i) {
        t.push_back(addTransition(doc, a, b));  // numbers them 1..6
    }
    const char* priorities[] = {"3", "1", " 1", "7", "x", "2abc"};
    for (std::size_t i = 0; i < t.size(); ++i) {
        setTransition(doc, t[i], priorities[i]);
    }
    EXPECT_EQ(transitionsByPriority(*a),
              (std::vector<const Node*>{t[1], t[5], t[0], nullptr, nullptr, nullptr}));
    EXPECT_TRUE(transitionsByPriority(*b).empty());
}

TEST(TransitionRecord, LinkLooksFollowTheFlags) {
    Document doc;
    Node* a = addState(doc, "A", NK_INITIAL);
    Node* t = addTransition(doc, a, a);
    TransitionRecord r = TransitionRecord::read(*t);
    r.entryExit = "N";
    r.continueImmediately = "Y";
    r.condition = "x > 1\r\ny";
    r.actions = "go();";
    writeTransition(doc, r, *t);
    for (Link* l : {t->NodeInLinks()[0], t->NodeOutLinks()[0]}) {
        EXPECT_EQ(l->LinkColor(), rgb(175, 0, 0));
        EXPECT_EQ(l->LinkLineStyle(), 2);
    }
    EXPECT_EQ(t->NodeOutLinks()[0]->LinkArrowStyle(), 4);
    EXPECT_EQ(t->NodeText(), "x > 1\r\ny\r\n/go();\r\n");
    EXPECT_EQ(t->NodeDrawStyle(), 5);
    r.entryExit = "N";
    r.continueImmediately = "N";
    writeTransition(doc, r, *t);
    EXPECT_EQ(t->NodeInLinks()[0]->LinkColor(), rgb(0, 127, 0));
    EXPECT_EQ(t->NodeOutLinks()[0]->LinkArrowStyle(), 3);
}

TEST(TransitionRecord, DeletingAStateRemovesItsTransitionsAndRenumbers) {
    Document doc;
    Node* a = addState(doc, "A", NK_INITIAL);
    Node* b = addState(doc, "B");
    Node* c = addState(doc, "C");
    addTransition(doc, a, b);
    Node* ac = addTransition(doc, a, c);
    Node* ba = addTransition(doc, b, a);
    addTransition(doc, c, b);
    doc.diagram().clearSelection();
    b->setNodeSelected(true);
    deleteSelectionAndRepair(doc);
    EXPECT_EQ(doc.diagram().nodeCount(), 3u);  // A, C and A->C
    EXPECT_EQ(field(a, SF_INDEX), "1");
    EXPECT_EQ(field(c, SF_INDEX), "2");
    EXPECT_EQ(field(ac, TF_PRIORITY), "1");
    EXPECT_EQ(ac->NodeText(), "");  // A has one transition left
    (void)ba;
}

TEST(TransitionRecord, KeepOnlyThisLink) {
    Document doc;
    Node* a = addState(doc, "A", NK_INITIAL);
    Node* b = addState(doc, "B");
    Node* c = addState(doc, "C");
    Node* t = addTransition(doc, a, b);
    Link* second = doc.diagram().AddLink(t, c);
    keepOnlyThisOutLink(doc, *second);
    ASSERT_EQ(t->NodeOutLinks().size(), 1u);
    EXPECT_EQ(targetState(*t), c);
}

TEST(FsmRecord, MissingFieldsAndOptionTokens) {
    Document doc;
    doc.diagram().setDiagramRecord(joinFields({"FSM_V000.006a", "Door"}));
    EXPECT_EQ(GetGraphField(FF_NAME, doc.diagram()), "Door");
    EXPECT_EQ(GetGraphField(FF_RETURN_TYPE, doc.diagram()), "");

    std::vector<std::string> f(FSM_FIELD_COUNT);
    f[FF_OPTIONS] = "AS_N;";
    doc.diagram().setDiagramRecord(joinFields(f));
    doc.selectGenerator(GEN_HIERARCHICAL_REENTRANT);
    GetGrafoConfig(doc, {});
    EXPECT_FALSE(doc.autosizeNodes);
    EXPECT_TRUE(doc.fixedPitchOnly);
    EXPECT_FALSE(doc.hideComments);
    GenerationOptions expected;  // history and macros on, all else off
    EXPECT_EQ(doc.options, expected);
    EXPECT_EQ(doc.generatorCaption(), GEN_HIERARCHICAL_REENTRANT);

    f[FF_OPTIONS] = "&Hierarchical Switch Case...;AS_Y;FO_N;HC_Y;FI_Y;FE_Y;DI_N;AC_Y;PT_N;HF_N;BF_Y;UM_N;";
    doc.diagram().setDiagramRecord(joinFields(f));
    OptionOverrides forced;
    forced.debugInfo = true;
    forced.ansiComment = false;
    GetGrafoConfig(doc, forced);
    EXPECT_EQ(doc.generatorCaption(), GEN_HIERARCHICAL);
    EXPECT_TRUE(doc.options.DebugInfo);
    EXPECT_FALSE(doc.options.AnsiComment);
    EXPECT_TRUE(doc.options.UseBitFields);
    EXPECT_FALSE(doc.options.UseMacros);
    EXPECT_FALSE(doc.options.HistoryFsm);
    EXPECT_EQ(optionsText(doc), "&Hierarchical Switch Case...;AS_Y;FO_N;HC_Y;FI_Y;FE_Y;DI_Y;AC_N;PT_N;HF_N;BF_Y;UM_N;");
}

TEST(FsmRecord, SaveAndRestoreGraphInfo) {
    Document doc;
    doc.sFullDocname = "/work/my fsm.fsm";
    Node* a = addState(doc, "A", NK_INITIAL);
    Node* comment = doc.diagram().AddNode(10, 10, 500, 500);
    comment->setNodeKind(NK_COMMENT);
    comment->setNodeText("note");
    doc.diagram().setDiagramRecord(joinFields({"FSM_V000.007", "Whatever"}));
    doc.diagram().SetDiagramChanged(false);

    SaveGraphInfo(doc, true);
    EXPECT_EQ(GetGraphField(FF_SIGNATURE, doc.diagram()), "FSM_V000.007");  // a newer one survives
    EXPECT_EQ(GetGraphField(FF_NAME, doc.diagram()), "my_fsm");
    const Node* info = doc.diagram().NodeList().back().get();
    EXPECT_EQ(info->NodeKind(), NK_INFO);
    EXPECT_EQ(info->NodeData(), doc.diagram().DiagramRecord());
    EXPECT_EQ(a->NodeText(), "");
    EXPECT_EQ(comment->NodeText(), "note");

    const bool changed = doc.diagram().DiagramChanged();
    RestoreGraphInfo(doc.diagram(), false);
    EXPECT_EQ(doc.diagram().nodeCount(), 2u);
    EXPECT_EQ(doc.diagram().DiagramChanged(), changed);
    EXPECT_FALSE(comment->NodeConnectable());
    RefreshNodeRecords(doc);
    EXPECT_TRUE(a->NodeText().find("A") != std::string::npos);

    EXPECT_TRUE(isNewerSignature("FSM_V000.007"));
    EXPECT_FALSE(isNewerSignature("FSM_V000.005"));
    EXPECT_FALSE(isNewerSignature(""));
    EXPECT_FALSE(isNewerSignature("FSM_V000.006a"));
}

TEST(FsmRecord, RefreshDemotesASecondInitialState) {
    Document doc;
    Node* a = addState(doc, "A", NK_INITIAL);
    Node* b = addState(doc, "B");
    b->setNodeKind(NK_INITIAL);  // as a hand-written file could have it
    RefreshNodeRecords(doc);
    EXPECT_EQ(a->NodeKind(), NK_INITIAL);
    EXPECT_EQ(b->NodeKind(), NK_STATE);
}

TEST(FsmRecord, RecordOnlyRefreshMatchesTheFullOne) {
    auto build = [](Document& doc) {
        Node* a = test::addState(doc, "A", NK_INITIAL);
        Node* b = test::addState(doc, "B");
        Node* c = test::addState(doc, "C");
        test::addTransition(doc, a, b);
        b->setNodeKind(NK_INITIAL | NK_FINAL);
        c->setNodeData(joinFields({"", "", "3"}));  // unnamed
        c->setNodeKind(NK_SUPERSTATE | NK_MARK);
    };
    Document full;
    Document light;
    build(full);
    build(light);
    RefreshNodeRecords(full, true);
    RefreshNodeRecords(light, false);
    ASSERT_EQ(full.diagram().nodeCount(), light.diagram().nodeCount());
    for (std::size_t i = 0; i < full.diagram().nodeCount(); ++i) {
        EXPECT_EQ(full.diagram().NodeList()[i]->NodeData(), light.diagram().NodeList()[i]->NodeData());
        EXPECT_EQ(full.diagram().NodeList()[i]->NodeKind(), light.diagram().NodeList()[i]->NodeKind()) << i;
    }
    EXPECT_EQ(readField(light.diagram().NodeList()[2]->NodeData(), SF_NAME), "STATE_1");
}

}  // namespace
}  // namespace tarvel

namespace tarvel {
namespace {

TEST(FsmRecord, SavingInformationKeepsSelectedLinksAndTheChangedFlag) {
    Document doc;
    doc.sFullDocname = "/nowhere/Door.fsm";
    Node* a = test::addState(doc, "A", NK_INITIAL);
    Node* t = test::addTransition(doc, a, a);
    Link* l = t->NodeOutLinks()[0];
    l->setLinkSelected(true);
    doc.diagram().SetDiagramChanged(false);
    SaveGraphInfo(doc, false);  // the name and options are written into the record
    RestoreGraphInfo(doc.diagram(), false);
    EXPECT_FALSE(doc.diagram().DiagramChanged());
    EXPECT_EQ(doc.diagram().Links().size(), 2u);
    EXPECT_TRUE(l->LinkSelected());
}

TEST(TextMeasurer, AFinalLineBreakAddsNoLine) {
    const FixedPitchMeasurer m;
    const Font f;
    EXPECT_EQ(m.measure("A\r\n", f).height, m.lineHeight(f));
    EXPECT_EQ(m.measure("A\r\nB", f).height, 2 * m.lineHeight(f));
    EXPECT_EQ(m.measure("A\r\n\r\n", f).height, 2 * m.lineHeight(f));
    EXPECT_EQ(m.measure("", f).height, 0);
}

}  // namespace
}  // namespace tarvel
