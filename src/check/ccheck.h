// The C check: compiles what the generator would write and maps every
// compiler message back to the diagram text it came from.
//
// The module is generated from private copies of the documents in which
// every user text is framed by two marker lines. In the generated text the
// markers become "#line" directives: before a user text the compiler is told
// that a file of that text starts, after it that the module goes on, so each
// message names the text and the line within it. The copy with the
// directives is compiled in a private temporary folder; the files a
// generation writes are never touched.
//
// The work is in two steps: preparing the job reads the documents (and must
// run where they live); running it touches no document and may run in any
// thread.
#pragma once

#include <atomic>
#include <optional>
#include <string>
#include <vector>

#include "check/finding.h"
#include "codegen/generationcontext.h"

namespace tarvel {

class Document;

// A user text framed in the private copy.
struct MarkedText {
    std::string file;  // the diagram it lives in
    ElementRef element;
    Field field = Field::None;
    int lines = 1;  // the text's lines; what follows its last line counts as that line
};

struct CCheckJob {
    std::vector<std::string> compiler;  // the command, split into words
    std::string commandText;            // the command as given, for messages
    std::string includeFolder;          // the diagram's folder
    std::string moduleName;             // "Name.c"
    std::string headerName;             // "Name.h"
    std::string module;                 // the module with its "#line" directives
    std::string header;
    std::string rootFile;           // the root diagram
    std::vector<MarkedText> texts;  // by marker number
    // The lines of the module (from 1) each copy of a text occupies, for a
    // compiler that read a directive as part of a comment.
    struct Span {
        int first = 0;
        int last = 0;
        std::size_t text = 0;
    };
    std::vector<Span> spans;
    // Messages about generated text are left out when names are broken: they
    // are the consequences the name checks already report.
    bool namesBroken = false;
    // The instance type of a reentrant machine ("T_" and the FSM name), which
    // its header defines; empty for the other style.
    std::string instanceType;
};

// Prepares the C check of `root` and its children, opened through `context`.
// Nothing to compile (the command is empty or "none", or the hierarchy
// generates no code) gives no job; a command that cannot be read gives no job
// and a finding in `problems`.
std::optional<CCheckJob> prepareCCheck(Document& root, GenerationContext& context,
                                       const std::string& command, bool namesBroken,
                                       std::vector<Finding>& problems);

// Compiles the job in a private folder and returns the findings: compiler
// messages, the missing target types, or why the compiler could not run.
// `cancel` turning true stops the compiler (the findings are then of no use).
std::vector<Finding> runCCheck(const CCheckJob& job, const std::atomic<bool>* cancel = nullptr);

// One compiler message: "FILE:LINE:COLUMN: error: TEXT" and its variants.
struct CompilerMessage {
    std::string file;
    int line = 0;
    Severity severity = Severity::Error;
    std::string text;
};
std::vector<CompilerMessage> parseCompilerOutput(std::string_view output);

}  // namespace tarvel
