#include "editor/repository.h"

#include <gtest/gtest.h>

#include "../support/builders.h"
#include "model/fsmrecord.h"

namespace tarvel {
namespace {

using test::addState;
using test::addTransition;
using Words = std::vector<std::string>;

Words cut(std::string_view text) {
    Repository r;
    r.addWords(text);
    return r.words();
}

TEST(Repository, CutsTextsIntoWords) {
    const struct {
        const char* text;
        Words words;
    } cases[] = {
        {"motor_on(x)\r\n", {"motor_on("}},
        {"reset()\r\n", {"reset()"}},
        {"f(ab, c)\r\n", {"f(", "ab"}},
        {"x_1 = y + counter2;\r\n", {"x_1", "counter2"}},
        {"#define LIMIT 10\r\n", {"#define", "LIMIT"}},
        {"p->next.value=3\r\n", {"next.value"}},
        {"printf(\"done\")\r\n", {"printf(", "\"done\""}},
        {"a?b:c\r\n", {}},                       // "?" is no separator: the word "a?b" is refused
        {"1st 2nd x9\r\n", {"st", "nd", "x9"}},  // a digit starts no word: "st" does
        {"open at the end", {"open", "at", "the"}},
        {"dup dup DUP\r\n", {"dup", "DUP"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(cut(c.text), c.words);
    }
}

TEST(Repository, KeepsAtMost1024Words) {
    std::string text;
    for (int i = 0; i < 1100; ++i) {
        text += "w" + std::to_string(i) + " ";
    }
    const Words words = cut(text);
    ASSERT_EQ(words.size(), Repository::MAX_WORDS);
    EXPECT_EQ(words.front(), "w0");
    EXPECT_EQ(words.back(), "w1023");
}

TEST(Repository, GathersTheTextsOfADiagramInOrder) {
    Document doc;
    Node* s = addState(doc, "S");
    test::setState(doc, s, [](StateRecord& r) {
        r.entry = "entry_w";
        r.moore = "moore_w";
        r.elseActions = "else_w";
        r.exit = "exit_w";
    });
    Node* t = addTransition(doc, s, s);
    TransitionRecord tr = TransitionRecord::read(*t);
    tr.condition = "cond_w";
    tr.actions = "act_w";
    writeTransition(doc, tr, *t);
    SetGraphInfo("name_w", "par_w", "ret_w", "init_w", "before_w", "default_w", "after_w",
                 "final_w", "sig_w", "opt_w", "module_w", "function_w", "7", doc.diagram());
    Repository r;
    r.addDocument(doc);
    EXPECT_EQ(r.words(), (Words{"entry_w", "moore_w", "else_w", "exit_w", "cond_w", "act_w",
                                "name_w", "par_w", "ret_w", "module_w", "function_w", "init_w",
                                "before_w", "after_w", "final_w"}));
}

TEST(Repository, SeekInAllDiagramsExtendsTheListOnce) {
    Document a;
    Document b;
    SetGraphInfo("alpha", "", "", "", "", "", "", "", "", "", "", "", "", a.diagram());
    SetGraphInfo("beta", "shared", "", "", "", "", "", "", "", "", "", "", "", b.diagram());
    Repository r;
    r.addWords("shared");  // open at the end: dropped
    r.addDocument(a);
    r.addDocuments({&a, &b});
    r.addDocuments({&a, &b});
    EXPECT_EQ(r.words(), (Words{"alpha", "beta", "shared"}));
}

}  // namespace
}  // namespace tarvel
