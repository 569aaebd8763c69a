#include "codegen/generator.h"

#include "base/codeprinter.h"
#include "codegen/childblockwriter.h"
#include "codegen/codetext.h"
#include "codegen/hierarchywalk.h"
#include "model/document.h"
#include "model/fsmrecord.h"
#include "model/text.h"

namespace tarvel {

namespace {

using Diagrams = std::vector<WalkedDiagram>;

// ---------------------------------------------------------------------------
// Merging the pieces of the hierarchy

// A section whose child blocks are nested under their parents: the root's
// text as it is, then each child's caption line and text.
template <typename RootText, typename ChildText>
void nestedSection(CodePrinter& out, const Diagrams& ds, RootText rootText, ChildText childText) {
    ChildBlockWriter section(out);
    rootText(ds.front().pieces, section);
    for (std::size_t i = 1; i < ds.size(); ++i) {
        const WalkedDiagram& d = ds[i];
        section.openChild(d.depth);
        section.write(d.caption);
        section.write("]");
        section.lineBreak();
        childText(d.pieces, section);
    }
}

void topSection(CodePrinter& out, const Diagrams& ds) {
    const auto top = [](const DiagramPieces& p, ChildBlockWriter& w) { w.write(p.top); };
    nestedSection(out, ds, top, top);
}

void automaticInitialisationSection(CodePrinter& out, const Diagrams& ds) {
    const auto init = [](const DiagramPieces& p, ChildBlockWriter& w) {
        w.write(p.automaticInitialisation);
    };
    nestedSection(out, ds, init, init);
}

void codeSection(CodePrinter& out, const Diagrams& ds) {
    const auto code = [](const DiagramPieces& p, ChildBlockWriter& w) {
        w.write(p.debugMacros);
        w.write(p.fsmFunction);
    };
    nestedSection(out, ds, code, code);
}

// The root's ending code stands after an empty line when there is any; a
// child's block is always written, since its caption line is never empty.
void endingSection(CodePrinter& out, const Diagrams& ds) {
    const auto rootEnding = [](const DiagramPieces& p, ChildBlockWriter& w) {
        if (!p.ending.empty()) {
            w.lineBreak();
            w.write(p.ending);
        }
    };
    const auto ending = [](const DiagramPieces& p, ChildBlockWriter& w) { w.write(p.ending); };
    nestedSection(out, ds, rootEnding, ending);
}

// Pieces merged by plain appending, in walk order.
template <typename Piece>
std::string appended(const Diagrams& ds, Piece piece) {
    std::string out;
    for (const WalkedDiagram& d : ds) {
        out += piece(d);
    }
    return out;
}

std::string entryFlagsSection(const Diagrams& ds, bool bitFields) {
    std::string flags = appended(
        ds, [](const WalkedDiagram& d) -> const std::string& { return d.pieces.entryFlags; });
    if (bitFields && !flags.empty()) {
        CodePrinter wrapped(flags.size() + 96);
        wrapped.line("typedef struct {").text(flags).line("} T_EntryFsmFlg;");
        wrapped.line("static T_EntryFsmFlg entryFsm;");
        flags = wrapped.take();
    }
    return flags;
}

std::string localChildFunctions(const Diagrams& ds) {
    CodePrinter out;
    for (std::size_t i = 1; i < ds.size(); ++i) {
        out.line(ds[i].pieces.localChildFunction);
    }
    return out.take();
}

std::string headerPieces(const Diagrams& ds) {
    CodePrinter out;
    out.text(ds.front().pieces.header);
    for (std::size_t i = 1; i < ds.size(); ++i) {
        out.nl().text("// [Child: ").text(ds[i].caption).line("]").text(ds[i].pieces.header);
    }
    return out.take();
}

// ---------------------------------------------------------------------------
// Module layout, section by section

void userInitialisationEnd(CodePrinter& out) {
    out.nl().line(DASH_LINE).line("// Initialization proposed by the user (End).");
    out.line(PLUS_LINE).nl();
}

void entryFlagsSectionBanners(CodePrinter& out, const std::string& flags) {
    out.line(PLUS_LINE).line("// Entry flags (Start).").line(DASH_LINE);
    out.indented(dropTrailingBreak(flags), 2);
    out.nl().line(DASH_LINE).line("// Entry flags (End).").line(PLUS_LINE).nl();
}

void automaticInitialisationStart(CodePrinter& out, const Diagrams& ds) {
    out.line(PLUS_LINE).line("// Automatic initialization (Start).").line(DASH_LINE);
    const std::size_t start = out.size();
    automaticInitialisationSection(out, ds);
    out.trimTrailingBlanks(start);
}

// From the end of the automatic initialisation to the end of the module.
void moduleRest(CodePrinter& out, const Diagrams& ds) {
    out.line(DASH_LINE).line("// Automatic initialization (End).").line(PLUS_LINE).nl();
    out.line(PLUS_LINE).line("// Local child functions  (Start).").line(DASH_LINE);
    out.indented(dropTrailingBreak(localChildFunctions(ds)), 2);
    out.nl().line(DASH_LINE).line("// Local child functions  (End).").line(PLUS_LINE);
    codeSection(out, ds);
    out.nl().line(PLUS_LINE).line("// Ending code proposed by the user (Start).").line(DASH_LINE);
    endingSection(out, ds);
    out.nl().line(DASH_LINE).line("// Ending code proposed by the user (End).").line(PLUS_LINE);
    out.line(PLUS_LINE).line("//  End of the automatic generated C-code.").line(PLUS_LINE);
}

std::string headerFile(std::string_view rootName, const std::string& header) {
    const std::string guard = upperAscii(rootName) + "_H";
    CodePrinter out(header.size() + header.size() / 8 + 64);
    {
        // The guard's own lines stand at the margin, the header one level in.
        PrinterScope include(out, "#ifndef " + guard, "#endif", 0);
        out.text("#define ").line(guard);
        IndentScope body(out);
        out.indented(header);
    }
    return out.take();
}

// Room for the whole result, so that the module is written into one buffer:
// the pieces, the indentation of nested blocks, banners and the header.
std::size_t resultSizeHint(const Diagrams& ds) {
    std::size_t size = 16384;
    for (const WalkedDiagram& d : ds) {
        const DiagramPieces& p = d.pieces;
        const std::size_t text = p.top.size() + p.automaticInitialisation.size() +
                                 p.entryFlags.size() + p.localChildFunction.size() +
                                 p.debugMacros.size() + p.fsmFunction.size() + p.ending.size() +
                                 p.header.size();
        size += text + text / 4 * static_cast<std::size_t>(d.depth > 0 ? 1 : 0) + 512;
    }
    return size;
}

// The module and header joined as the caller expects them, with the
// line-comment conversion of the whole text when the root asks for it.
std::string result(const Document& root, CodePrinter& module, const std::string& header) {
    module.text(FIELD_SEP).text(header).text(FIELD_SEP);
    if (!root.options.AnsiComment) {
        return module.take();
    }
    return lineCommentsToBlock(module.str(), 80, true);
}

// ---------------------------------------------------------------------------
// The reentrant machine's instance

std::string instanceType(const Diagrams& ds, const std::string& type) {
    CodePrinter out;
    out.line("typedef struct {");
    out.text(appended(
        ds, [](const WalkedDiagram& d) -> const std::string& { return d.pieces.indexMembers; }));
    out.text(appended(ds, [](const WalkedDiagram& d) -> const std::string& {
        return d.pieces.entryFlagMembers;
    }));
    out.text("} ").text(type).line(";");
    return out.take();
}

std::string resetFunction(const Diagrams& ds, std::string_view root, const std::string& type) {
    CodePrinter out;
    out.line("// FSM instance reset function");
    out.text("void ").text(root).text("_Reset(").text(type).line(" *this)");
    {
        PrinterScope body(out, "{", "} ");
        out.indented(appended(
            ds, [](const WalkedDiagram& d) -> const std::string& { return d.pieces.indexResets; }));
        out.nl();
        out.indented(appended(ds, [](const WalkedDiagram& d) -> const std::string& {
            return d.pieces.entryFlagResets;
        }));
    }
    return out.take();
}

std::string resetPrototype(std::string_view root, const std::string& type) {
    CodePrinter out;
    out.line("// FSM instance reset function");
    out.text("void ").text(root).text("_Reset(").text(type).line(" *this);").nl();
    return out.take();
}

}  // namespace

std::string generateHierarchicalSwitchCase(Document& root, GenerationContext& ctx) {
    HierarchyWalk walk(ctx, Flavour::SwitchCase);
    if (!walk.run(root)) {
        return {};
    }
    const Diagrams& ds = walk.diagrams();
    CodePrinter module(resultSizeHint(ds));
    topSection(module, ds);
    userInitialisationEnd(module);
    entryFlagsSectionBanners(module, entryFlagsSection(ds, root.options.UseBitFields));
    automaticInitialisationStart(module, ds);
    moduleRest(module, ds);

    const std::string_view name = GetGraphField(FF_NAME, root.diagram());
    return result(root, module, headerFile(name, headerPieces(ds)));
}

std::string generateHierarchicalSwitchCaseReentrant(Document& root, GenerationContext& ctx) {
    HierarchyWalk walk(ctx, Flavour::Reentrant);
    if (!walk.run(root)) {
        return {};
    }
    const Diagrams& ds = walk.diagrams();
    const std::string_view name = GetGraphField(FF_NAME, root.diagram());
    const std::string type = "T_" + std::string(name);

    CodePrinter module(resultSizeHint(ds));
    topSection(module, ds);
    userInitialisationEnd(module);
    automaticInitialisationStart(module, ds);
    module.indented(resetFunction(ds, name, type), 4).nl();
    moduleRest(module, ds);

    // Children add nothing to the header: their functions are static and
    // their state is part of the instance type.
    const DiagramPieces& rootPieces = ds.front().pieces;
    CodePrinter header;
    header.text(rootPieces.header).text(instanceType(ds, type)).nl();
    header.text(rootPieces.headerAfterInstanceType).text(resetPrototype(name, type));
    return result(root, module, headerFile(name, header.str()));
}

GeneratorKind generatorOf(std::string_view caption) {
    // The first three styles exist only as menu items.
    if (caption == GEN_POINTER_ARRAY || caption == GEN_SWITCH_CASE ||
        caption == GEN_DIRECT_POINTERS) {
        return GeneratorKind::None;
    }
    if (caption == GEN_HIERARCHICAL) {
        return GeneratorKind::Hierarchical;
    }
    if (caption == GEN_HIERARCHICAL_REENTRANT) {
        return GeneratorKind::HierarchicalReentrant;
    }
    return GeneratorKind::None;
}

std::string generate(Document& root, GeneratorKind kind, GenerationContext& ctx) {
    switch (kind) {
        case GeneratorKind::None:
            return {};
        case GeneratorKind::Hierarchical:
            return generateHierarchicalSwitchCase(root, ctx);
        case GeneratorKind::HierarchicalReentrant:
            return generateHierarchicalSwitchCaseReentrant(root, ctx);
    }
    return {};
}

}  // namespace tarvel
