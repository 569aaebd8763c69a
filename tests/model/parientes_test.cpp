#include "model/parientes.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "../support/builders.h"
#include "../support/tempdir.h"

namespace tarvel {
namespace {

TEST(Parientes, FindsChildrenBesideAndInTheSubFolder) {
    test::TempDir dir;
    dir.write("SUB_A.fsm", "{}");
    dir.write("Root/SUB_A.fsm", "{}");
    dir.write("Root/Deep.fsm", "{}");
    dir.write("First.fsm", "{}");
    dir.write("x1.FSM", "{}");  // the name must match exactly
    std::filesystem::create_directories(dir / "Folder.fsm");

    clsParientes p(dir / "Root.fsm");
    EXPECT_EQ(p.subDirectory(), dir / "Root");
    EXPECT_TRUE(p.BuscaEnlaces("First(); // at the very start\r\n  SUB_A(x1); SUB_A();\r\nDeep"));
    EXPECT_FALSE(p.BuscaEnlaces("1SUB_A Folder x1 sub_a"));
    ASSERT_EQ(p.DimeNumeroHijos(), 4);
    EXPECT_EQ(p.DimeHijo(1), "First.fsm");
    EXPECT_EQ(p.DimeHijo(2), "SUB_A.fsm");  // capitals sort before the "\" marker
    EXPECT_EQ(p.DimeHijo(3), "\\Deep.fsm");
    EXPECT_EQ(p.DimeHijo(4), "\\SUB_A.fsm");
    EXPECT_EQ(p.DimeHijo(0), "");
    EXPECT_EQ(p.DimeHijo(5), "");
    EXPECT_EQ(p.RutaCompleta("\\Deep.fsm"), dir / "Root/Deep.fsm");
    EXPECT_EQ(p.RutaCompleta("First.fsm"), dir / "First.fsm");
    EXPECT_EQ(p.RutaRelativa("\\Deep.fsm"), "./Root/Deep.fsm");
    EXPECT_EQ(p.RutaRelativa("First.fsm"), "./First.fsm");
}

TEST(Parientes, WholeDiagramUsesMooreAndElseActionsOnly) {
    test::TempDir dir;
    dir.write("Child.fsm", "{}");
    dir.write("Other.fsm", "{}");
    Document doc;
    Node* s = test::addState(doc, "A");
    test::setState(doc, s, [](StateRecord& r) {
        r.moore = "Child();";
        r.elseActions = "Child();";
        r.entry = "Other();";
    });
    clsParientes p(dir / "Root.fsm");
    EXPECT_TRUE(p.BuscaTodosEnlaces(doc.diagram()));
    ASSERT_EQ(p.DimeNumeroHijos(), 1);
    EXPECT_EQ(p.DimeHijo(1), "Child.fsm");

    p.Reset("");
    EXPECT_EQ(p.DimeNumeroHijos(), 0);
    EXPECT_EQ(p.diagramDirectory(), "");
    EXPECT_FALSE(p.BuscaTodosEnlaces(doc.diagram()));
}

}  // namespace
}  // namespace tarvel
