#include "export/listfile.h"

#include <gtest/gtest.h>

#include "../support/codegentestsupport.h"
#include "model/fsmrecord.h"
#include "model/nodekind.h"

namespace tarvel {
namespace {

TEST(ListFile, MatchesGolden) {
    test::Session session;
    test::expectGolden("Plant.lst",
                       listFileText(session.root(test::fixturePath("plant/Plant.fsm"))));
}

// Values that are always written give an empty line when empty; the others
// are left out when empty, while blanks still give one empty line.
TEST(ListFile, EmptyAndBlankValues) {
    Document doc;
    test::DiagramBuilder b(doc);
    b.fsm("", {{FF_PARAMETERS, "   "}, {FF_RETURN_TYPE, ""}});
    Node* s = b.state({.name = "A", .moore = "x();\r\ny();", .kind = NK_INITIAL | NK_FINAL});
    b.transition(s, s, {.priority = " 1 ", .entryExit = "N"});
    b.state({.name = "B", .index = "1"});  // shares index 1: listed after A
    EXPECT_EQ(listFileText(doc),
              "[FSM LIST FILE START]\r\n"
              "[FSM name]\r\n"
              "\r\n"
              "[List version]\r\n"
              "    v1.5r1\r\n"
              "[Parameters]\r\n"
              "\r\n"
              "[ReturnType]\r\n"
              "[Config]\r\n"
              "  [formatCompilacion][AutoSizeNodes][FixedOnlyFont][HideComments][FunctionInit]"
              "[FunctionEnd][DebugInfo][AnsiComment][PrintTextBoxes][HistoryFsm][UseBitFields]\r\n"
              "\r\n"
              "[Signature]\r\n"
              "    FSM_V000.006a\r\n"
              "[Module header]\r\n"
              "[Initialization]\r\n"
              "[Function header]\r\n"
              "[Global actions before dispatcher]\r\n"
              "[Global actions after dispatcher]\r\n"
              "[Global ending actions]\r\n"
              "[Init state]\r\n"
              "    A\r\n"
              "[Final states]\r\n"
              "    A\r\n"
              "[Nodes]\r\n"
              "  [Index]\r\n"
              "      1\r\n"
              "    [Nombre]\r\n"
              "        A\r\n"
              "    [Generate Goto]\r\n"
              "        N\r\n"
              "    [Generate IsIn]\r\n"
              "        N\r\n"
              "    [Entry actions]\r\n"
              "    [Moore actions]\r\n"
              "        x();\r\n"
              "        y();\r\n"
              "    [Else actions]\r\n"
              "    [Exit actions]\r\n"
              "    [Transitions]\r\n"
              "      [Priority]\r\n"
              "          1\r\n"
              "      [Condition]\r\n"
              "        [Meally actions]\r\n"
              "        [Next state]\r\n"
              "            A\r\n"
              "          [EntryExitOnSelfTrans]\r\n"
              "              N\r\n"
              "          [ContinueImmediately]\r\n"
              "              N\r\n"
              "  [Index]\r\n"
              "      1\r\n"
              "    [Nombre]\r\n"
              "        B\r\n"
              "    [Generate Goto]\r\n"
              "        N\r\n"
              "    [Generate IsIn]\r\n"
              "        N\r\n"
              "    [Entry actions]\r\n"
              "    [Moore actions]\r\n"
              "    [Else actions]\r\n"
              "    [Exit actions]\r\n"
              "    [Transitions]\r\n"
              "[FSM LIST FILE END]");
}

}  // namespace
}  // namespace tarvel
