// How the generators react to the diagram as a whole: the checks that stop
// them, the walk over child diagrams, the sizes that change types, the chain
// loop, where exit actions go, and the cost of a large machine.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "../support/codegentestsupport.h"
#include "../support/tempdir.h"
#include "base/codeprinter.h"
#include "model/documentio.h"
#include "model/fsmrecord.h"
#include "model/nodekind.h"

namespace tarvel {
namespace {

using test::DiagramBuilder;

std::size_t occurrences(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++count;
    }
    return count;
}

std::string generate(Document& doc, std::vector<std::string>* messages = nullptr,
                     bool reentrant = false) {
    test::Session session;
    std::string text = session.generate(doc, reentrant);
    if (messages != nullptr) {
        *messages = session.messages;
    }
    return text;
}

// Saves a diagram as the editor does (the FSM name becomes the file's name).
void save(Document& doc, const std::string& path) {
    doc.sFullDocname = path;
    SaveGraphInfo(doc, true);
    std::string error;
    ASSERT_TRUE(SaveToFile(doc.diagram(), path, error)) << error;
}

// A diagram file with one initial state whose Moore actions are given.
void writeDiagram(const std::string& path, const std::string& moore, bool withInitial = true) {
    Document doc;
    DiagramBuilder(doc).fsm("").state(
        {.name = "S", .moore = moore, .kind = withInitial ? NK_INITIAL : NK_STATE});
    save(doc, path);
}

// --- Checks -----------------------------------------------------------------

TEST(GeneratorChecks, EachFailureIsReportedAndNothingIsGenerated) {
    const char* const exitMessage =
        "The \"Exit action\" of the node: B\r\nnode hasn 't Exit transitions were transfer it.";
    struct Case {
        const char* what;
        void (*build)(DiagramBuilder&);
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"no name",
         [](DiagramBuilder& b) { b.fsm("").state({.name = "A", .kind = NK_INITIAL}); },
         {"Attention, before generate C-code you must name the FSM"}},
        {"no initial state",
         [](DiagramBuilder& b) { b.fsm("M").state({.name = "A"}); },
         {"Attention, to generate C-code a start node must be defined"}},
        {"exit actions that can never run",
         [](DiagramBuilder& b) {
             Node* a = b.fsm("M").state({.name = "A", .kind = NK_INITIAL});
             Node* s = b.state({.name = "B", .exit = "leave();"});
             b.transition(a, s, {});
         },
         {exitMessage, "Attention, the Entry/exit has error(s)"}},
        {"an index used twice",
         [](DiagramBuilder& b) {
             b.fsm("M").state({.name = "A", .kind = NK_INITIAL, .index = "1"});
             b.state({.name = "B", .index = "1"});
         },
         {"Attention, the index of the node: B is repeated or outside 1..2"}},
        {"an index beyond the states",
         [](DiagramBuilder& b) {
             b.fsm("M").state({.name = "A", .kind = NK_INITIAL, .index = "1"});
             b.state({.name = "B", .index = "7"});
         },
         {"Attention, the index of the node: B is repeated or outside 1..2"}},
    };
    for (const Case& c : cases) {
        for (bool reentrant : {false, true}) {
            SCOPED_TRACE(std::string(c.what) + (reentrant ? ", reentrant" : ""));
            Document doc;
            DiagramBuilder builder(doc);
            c.build(builder);
            std::vector<std::string> messages;
            EXPECT_EQ(generate(doc, &messages, reentrant), "");
            EXPECT_EQ(messages, c.messages);
        }
    }
}

// --- The walk over child diagrams -----------------------------------------------

TEST(GeneratorWalk, DiagramsThatContainEachOtherAreGeneratedOnce) {
    test::TempDir dir;
    writeDiagram(dir / "Root.fsm", "Child();");
    writeDiagram(dir / "Child.fsm", "Root();\r\nChild();");
    test::Session session;
    const test::CFiles files = test::splitResult(session.generate(session.root(dir / "Root.fsm")));
    EXPECT_TRUE(session.messages.empty());
    EXPECT_EQ(occurrences(files.module, "static void Child(void);"), 1u);
    EXPECT_EQ(occurrences(files.module, "// [Child:  Child]"), 4u);  // top, macros, code, ending
    EXPECT_EQ(occurrences(files.module, "[Child:  Root]"), 0u);
}

TEST(GeneratorWalk, EveryFailingDiagramSpeaksAndNoCodeIsMade) {
    test::TempDir dir;
    // The root fails, its children are still checked in list order: one
    // cannot be read, one has no initial state, one is fine.
    writeDiagram(dir / "Root.fsm", "Broken(); Lost(); Fine();", false);
    dir.write("Broken.fsm", "{ this is not a diagram");
    writeDiagram(dir / "Lost.fsm", "", false);
    writeDiagram(dir / "Fine.fsm", "");
    test::Session session;
    EXPECT_EQ(session.generate(session.root(dir / "Root.fsm")), "");
    EXPECT_EQ(session.messages, (std::vector<std::string>{
                                    "Attention, to generate C-code a start node must be defined",
                                    "Fsm error loading:[" + (dir / "Broken.fsm") + "]",
                                    "Attention, to generate C-code a start node must be defined",
                                }));
}

TEST(GeneratorWalk, ExitFunctionsOfParentAndChildDoNotClash) {
    test::TempDir dir;
    for (const char* name : {"Root", "Child"}) {
        Document doc;
        DiagramBuilder b(doc);
        b.fsm("");
        Node* s = b.state({.name = "S",
                           .moore = name == std::string("Root") ? "Child();" : "",
                           .exit = "a(); b(); c();",
                           .kind = NK_INITIAL});
        b.transition(s, s, {.priority = "1", .condition = "x"});
        b.transition(s, s, {.priority = "2", .condition = "y"});
        save(doc, dir / (std::string(name) + ".fsm"));
    }
    test::Session session;
    const std::string module =
        test::splitResult(session.generate(session.root(dir / "Root.fsm"))).module;
    EXPECT_EQ(occurrences(module, "static void S_OnExit(void)\r\n"), 1u);
    EXPECT_EQ(occurrences(module, "static void S_OnExit_1(void)\r\n"), 1u);
    EXPECT_EQ(occurrences(module, "S_OnExit_1();"), 2u);
}

// A child found beside the diagram and in its sub-folder is two entries: it
// is restarted once per entry when its parent state is left, but listed once
// in the history macro.
TEST(GeneratorWalk, ChildInBothFoldersIsRestartedPerEntry) {
    test::TempDir dir;
    {
        Document doc;
        DiagramBuilder b(doc);
        b.fsm("");
        Node* s = b.state({.name = "S", .moore = "Sub();", .kind = NK_INITIAL});
        b.transition(s, b.state({.name = "T"}), {.condition = "go"});
        doc.options.HistoryFsm = false;
        save(doc, dir / "Root.fsm");
    }
    writeDiagram(dir / "Sub.fsm", "");
    std::filesystem::create_directories(dir / "Root");
    writeDiagram(dir / "Root/Sub.fsm", "");
    test::Session session;
    const std::string module =
        test::splitResult(session.generate(session.root(dir / "Root.fsm"))).module;
    EXPECT_NE(module.find("                // Child Initialization.\r\n"
                          "                _Sub_Init();\r\n"
                          "                _Sub_Init();\r\n"),
              std::string::npos);
    EXPECT_NE(module.find("#define _Root_Init()  {Root_Init(); /* Children: */ _Sub_Init();}"),
              std::string::npos);
    // The second entry names a diagram already generated.
    EXPECT_EQ(occurrences(module, "static void Sub(void);"), 1u);
}

TEST(GeneratorWalk, AThousandLevelsDeepNeedNoDeepStack) {
    constexpr int depth = 1000;
    test::TempDir dir;
    for (int k = 0; k < depth; ++k) {
        const std::string next = k + 1 < depth ? "C" + std::to_string(k + 1) + "();" : "";
        writeDiagram(dir / ("C" + std::to_string(k) + ".fsm"), next);
    }
    test::Session session;
    const std::string module =
        test::splitResult(session.generate(session.root(dir / "C0.fsm"))).module;
    ASSERT_TRUE(session.messages.empty()) << session.messages.front();
    // The deepest block opens under its parent's, two blanks per level.
    const std::string deepest = "\r\n" + std::string(2 * (depth - 2), ' ') + "// [Child:  C999]";
    EXPECT_EQ(occurrences(module, deepest), 4u);
    EXPECT_EQ(occurrences(module, "static void C999(void);"), 1u);
}

// --- Sizes --------------------------------------------------------------------

TEST(GeneratorSizes, StateCountDecidesIndexTypeAndDigits) {
    struct Case {
        int states;
        const char* constant;  // of the first state
        const char* variable;
        const char* member;  // in the reentrant instance type
    };
    const Case cases[] = {
        {9, "  #define  i_S1  ((T_u8)0)\r\n", "static T_u8 ind_M = i_S1;", "T_u8  ind_M;"},
        {10, "  #define  i_S1   ((T_u8) 0)\r\n", "static T_u8 ind_M = i_S1;", "T_u8  ind_M;"},
        {255, "  #define  i_S1    ((T_u8)  0)\r\n", "static T_u8 ind_M = i_S1;", "T_u8  ind_M;"},
        {256, "  #define  i_S1    ((T_u16)  0)\r\n", "static T_u16 ind_M = i_S1;", "T_u16 ind_M;"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.states);
        Document doc;
        DiagramBuilder b(doc);
        b.fsm("M");
        for (int k = 1; k <= c.states; ++k) {
            b.state({.name = "S" + std::to_string(k), .kind = k == 1 ? NK_INITIAL : NK_STATE});
        }
        const test::CFiles plain = test::splitResult(generate(doc));
        EXPECT_NE(plain.module.find(c.constant), std::string::npos);
        EXPECT_NE(plain.module.find(c.variable), std::string::npos);
        const test::CFiles reentrant = test::splitResult(generate(doc, nullptr, true));
        EXPECT_NE(reentrant.header.find(c.member), std::string::npos);
    }
}

// Names are padded by characters, not bytes.
TEST(GeneratorSizes, PaddingCountsCharacters) {
    Document doc;
    DiagramBuilder b(doc);
    b.fsm("M");
    b.state({.name = "\xC3\x84", .kind = NK_INITIAL});  // one character, two bytes
    b.state({.name = "BB"});
    const std::string module = test::splitResult(generate(doc)).module;
    EXPECT_NE(module.find("  #define  i_\xC3\x84   ((T_u8)0)\r\n"
                          "  #define  i_BB  ((T_u8)1)\r\n"),
              std::string::npos);
}

// --- Small texts that depend on the whole diagram ---------------------------------

TEST(GeneratorTexts, IllegalStateMacroFollowsItsUseNotTheDebugOption) {
    for (const char* init : {"", "if(Is_Next_State_Illegal()){ reset(); }"}) {
        Document doc;
        DiagramBuilder b(doc);
        b.fsm("M", {{FF_FINAL_CODE, init}});
        b.state({.name = "A", .kind = NK_INITIAL});
        b.state({.name = "B"});
        const std::string module = test::splitResult(generate(doc)).module;
        const bool used = *init != '\0';
        EXPECT_EQ(module.find("#undef Is_Next_State_Illegal\r\n"
                              "#define Is_Next_State_Illegal() (ind_M > i_B)\r\n") !=
                      std::string::npos,
                  used);
    }
}

// Without entry actions the instance has no flag members and the reset
// function keeps its empty line before the closing brace; without user
// parameters the instance is the only one.
TEST(GeneratorTexts, ReentrantMachineWithoutEntryActions) {
    Document doc;
    DiagramBuilder b(doc);
    b.fsm("M");
    b.state({.name = "A", .kind = NK_INITIAL});
    const test::CFiles files = test::splitResult(generate(doc, nullptr, true));
    EXPECT_NE(files.module.find("    void M_Reset(T_M *this)\r\n"
                                "    {\r\n"
                                "        this->ind_M = i_A;\r\n"
                                "    \r\n"
                                "    } \r\n"
                                "\r\n"
                                "// - - -"),
              std::string::npos);
    EXPECT_NE(files.header.find("    typedef struct {\r\n"
                                "        T_u8  ind_M;\r\n"
                                "    } T_M;\r\n"),
              std::string::npos);
    EXPECT_NE(files.header.find("    void M(T_M *this);\r\n"), std::string::npos);
}

// --- Chains -------------------------------------------------------------------

TEST(GeneratorChains, LoopLimitShapesTheLoop) {
    struct Case {
        const char* maxLoops;
        std::vector<const char*> present;
        std::vector<const char*> absent;
    };
    const Case cases[] = {
        {"0",
         {"    }while(fsm_chainTransition);", "fsm_chainTransition = TRUE;"},
         {"fsm_chainMaxLoops"}},
        {"", {"    }while(fsm_chainTransition);"}, {"fsm_chainMaxLoops"}},
        {"-4", {"    }while(fsm_chainTransition);"}, {"fsm_chainMaxLoops"}},
        // One pass is the normal behaviour: no loop, no chain lines.
        {"1", {}, {"do{", "fsm_chainTransition", "// Chain transition"}},
        {"300",
         {"    T_u8 fsm_chainMaxLoops = (T_u8)255;\r\n",
          "        fsm_chainMaxLoops--;\r\n"
          "    }while(fsm_chainTransition && (fsm_chainMaxLoops > (T_u8)0));"},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("loops \"") + c.maxLoops + "\"");
        Document doc;
        DiagramBuilder b(doc);
        b.fsm("M", {{FF_MAX_LOOPS, c.maxLoops}});
        Node* a = b.state({.name = "A", .kind = NK_INITIAL});
        b.transition(a, b.state({.name = "B"}), {.condition = "go", .continueImmediately = "Y"});
        const std::string module = test::splitResult(generate(doc)).module;
        for (const char* text : c.present) {
            EXPECT_NE(module.find(text), std::string::npos) << text;
        }
        for (const char* text : c.absent) {
            EXPECT_EQ(module.find(text), std::string::npos) << text;
        }
    }
}

TEST(GeneratorChains, NoChainTransitionMeansNoLoopWhateverTheLimit) {
    Document doc;
    DiagramBuilder b(doc);
    b.fsm("M", {{FF_MAX_LOOPS, "5"}});
    Node* a = b.state({.name = "A", .kind = NK_INITIAL});
    b.transition(a, b.state({.name = "B"}), {.condition = "go"});
    EXPECT_EQ(test::splitResult(generate(doc)).module.find("fsm_chain"), std::string::npos);
}

// --- Exit actions ---------------------------------------------------------------

TEST(GeneratorExitActions, LongTextsCopiedOftenBecomeAFunction) {
    struct Case {
        const char* exit;
        int transitions;
        std::size_t functions;  // definitions of S_OnExit
        std::size_t copies;     // of the exit text itself
    };
    const Case cases[] = {
        {"a(); b(); c();", 2, 1, 1},  // the copy is the function body
        {"a(); b(); c();", 1, 0, 1},
        {"a(); b();", 5, 0, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.exit) + " x" + std::to_string(c.transitions));
        Document doc;
        DiagramBuilder b(doc);
        b.fsm("M");
        Node* s = b.state({.name = "S", .exit = c.exit, .kind = NK_INITIAL});
        Node* t = b.state({.name = "T"});
        for (int p = 1; p <= c.transitions; ++p) {
            b.transition(s, t,
                         {.priority = std::to_string(p), .condition = "x == " + std::to_string(p)});
        }
        const std::string module = test::splitResult(generate(doc)).module;
        EXPECT_EQ(occurrences(module, "static void S_OnExit(void)\r\n"), c.functions);
        EXPECT_EQ(occurrences(module, c.exit), c.copies);
        EXPECT_EQ(occurrences(module, "S_OnExit();"), c.functions * c.transitions);
    }
}

// --- Transition openings ---------------------------------------------------------

TEST(GeneratorTransitions, BlankMeansSpacesOnly) {
    struct Case {
        const char* condition;
        const char* opening;
    };
    const Case cases[] = {
        {"", "            {\r\n"},
        {"   ", "            {\r\n"},
        {"\t", "            if(\t){\r\n"},  // a tab is content
        {"a &&\r\nb ", "            if(a &&\r\n               b ){\r\n"},
    };
    for (const Case& c : cases) {
        Document doc;
        DiagramBuilder b(doc);
        b.fsm("M");
        Node* a = b.state({.name = "A", .kind = NK_INITIAL});
        b.transition(a, b.state({.name = "B"}), {.condition = c.condition});
        EXPECT_NE(test::splitResult(generate(doc)).module.find(c.opening), std::string::npos)
            << c.opening;
    }
}

// --- Cost ---------------------------------------------------------------------

TEST(GeneratorCost, LargeFlatMachineIsLinear) {
    Document doc;
    DiagramBuilder b(doc);
    b.fsm("Big");
    std::vector<Node*> states;
    for (int k = 1; k <= 2000; ++k) {
        const std::string n = std::to_string(k);
        states.push_back(b.state({.name = "STATE_" + n,
                                  .moore = "moore_" + n + "();",
                                  .entry = "enter(" + n + ");",
                                  .exit = "leave(" + n + ");",
                                  .kind = k == 1 ? NK_INITIAL : NK_STATE}));
    }
    for (std::size_t k = 0; k < states.size(); ++k) {
        for (int p = 1; p <= 5; ++p) {
            const std::string n = std::to_string(p);
            b.transition(
                states[k], states[(k + static_cast<std::size_t>(p)) % states.size()],
                {.priority = n, .condition = "input == " + n, .actions = "act(" + n + ");"});
        }
    }
    const auto start = std::chrono::steady_clock::now();
    const std::string text = generate(doc);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GT(text.size(), 4'000'000u);
    // Linear generation takes a few milliseconds; anything quadratic takes seconds.
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count(), 500);
}

TEST(GeneratorOf, OnlyTheHierarchicalPairGenerates) {
    EXPECT_EQ(generatorOf(GEN_HIERARCHICAL), GeneratorKind::Hierarchical);
    EXPECT_EQ(generatorOf(GEN_HIERARCHICAL_REENTRANT), GeneratorKind::HierarchicalReentrant);
    for (auto caption :
         {GEN_POINTER_ARRAY, GEN_DIRECT_POINTERS, GEN_SWITCH_CASE, std::string_view("")}) {
        EXPECT_EQ(generatorOf(caption), GeneratorKind::None) << caption;
    }
}

}  // namespace
}  // namespace tarvel
