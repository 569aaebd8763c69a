#include "differential.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>

#include "codegen/generator.h"
#include "model/document.h"
#include "model/documentio.h"
#include "model/text.h"
#include "sim/simmachine.h"
#include "sim/simulator.h"

namespace tarvel::test {

namespace {

namespace fs = std::filesystem;

// Declarations every module and the driver share.
constexpr const char* PRELUDE = R"(#ifndef PRELUDE_H
#define PRELUDE_H
typedef unsigned char T_u8;
typedef unsigned short T_u16;
typedef unsigned int T_bit;
typedef char T_char;
#define TRUE 1
#define FALSE 0
extern unsigned char in[64];
void T(int n);
#endif
)";

// Reads the scenario from standard input: "R m k" resets instance k of
// machine m, "C m k c bits" runs call c of it with in[] from the bits. Each
// call prints "m k c:", the numbers of the actions that ran, " |", the
// state indices of the machine's diagrams, " /" and their entry flags.
constexpr const char* DRIVER_MAIN = R"(
int main(void) {
    char line[256];
    while (fgets(line, sizeof line, stdin) != NULL) {
        int m = 0, k = 0, c = 0, i;
        char bits[80] = "";
        if (line[0] == 'R' && sscanf(line + 1, "%d %d", &m, &k) == 2) {
            machines[m].reset(k);
        } else if (line[0] == 'C' && sscanf(line + 1, "%d %d %d %79s", &m, &k, &c, bits) >= 3) {
            for (i = 0; i < 64; ++i) {
                in[i] = (unsigned char)(bits[i] == '1');
                if (bits[i] == '\0') break;
            }
            for (; i < 64; ++i) in[i] = 0;
            printf("%d %d %d:", m, k, c);
            machines[m].step(k);
            printf(" |");
            machines[m].probe(k);
            printf("\n");
            fflush(stdout);
        }
    }
    return 0;
}
)";

// The documents of one machine, opened on demand like the generators open
// child diagrams.
class Documents {
public:
    Documents() {
        context.openChild = [this](const std::string& path) { return open(path); };
        context.report = [this](const std::string& text) { messages += text + "\n"; };
    }
    Document* open(const std::string& path) {
        auto it = m_docs.find(path);
        if (it != m_docs.end()) {
            return it->second.get();
        }
        auto doc = std::make_unique<Document>();
        std::string error;
        if (!loadDocument(*doc, path, OptionOverrides{}, error)) {
            messages += "cannot load " + path + ": " + error + "\n";
            return nullptr;
        }
        return m_docs.emplace(path, std::move(doc)).first->second.get();
    }
    GenerationContext context;
    std::string messages;

private:
    std::map<std::string, std::unique_ptr<Document>> m_docs;
};

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The numbers of the "T(n)" statements of an action text, in order.
void appendNumbers(std::string& out, const std::string& text) {
    for (std::size_t at = text.find("T("); at != std::string::npos; at = text.find("T(", at + 2)) {
        std::size_t end = at + 2;
        while (end < text.size() && text[end] >= '0' && text[end] <= '9') {
            ++end;
        }
        if (end > at + 2 && end < text.size() && text[end] == ')') {
            out += ' ';
            out.append(text, at + 2, end - at - 2);
        }
    }
}

// One machine of a batch: a hierarchy in one style, its scenario and what the
// simulator says the compiled code must print.
struct Machine {
    int position = 0;  // in the batch
    std::string folder;
    std::string failure;
    std::vector<std::string> expected;  // the driver's lines for this machine
};

class Batch {
public:
    Batch(const DifferentialSettings& settings, std::mt19937& rng, const std::string& folder,
          DifferentialResult& result)
        : m_settings(settings), m_rng(rng), m_folder(folder), m_result(result) {}

    void add(const RandomHierarchyPlan& plan, int id, bool reentrant) {
        Machine m;
        m.position = static_cast<int>(m_machines.size());
        const std::string name = std::string(reentrant ? "R" : "S") + std::to_string(id);
        const std::string module = "m" + std::to_string(m.position);
        m.folder = m_folder + "/" + name;
        const RandomHierarchy h =
            plan.write(m.folder, name, reentrant, "#include \"" + module + ".h\"");

        Documents docs;
        Document* root = docs.open(h.rootPath);
        SimMachine machine;
        if (root == nullptr || !machine.load(*root, docs.context)) {
            m.failure = "the simulator refused " + h.rootPath + ":\n" + docs.messages;
            m_machines.push_back(std::move(m));
            return;
        }
        const std::string code = reentrant
                                     ? generateHierarchicalSwitchCaseReentrant(*root, docs.context)
                                     : generateHierarchicalSwitchCase(*root, docs.context);
        if (code.empty()) {
            m.failure = "no code for " + h.rootPath + ":\n" + docs.messages;
            m_machines.push_back(std::move(m));
            return;
        }
        const std::vector<std::string> files = splitFields(code, 2);
        writeFile(m_folder + "/" + module + ".c", files[0]);
        writeFile(m_folder + "/" + module + ".h", files[1]);
        writeGlue(m, machine, *root, name, reentrant);
        simulate(m, machine, h.conditions, reentrant);
        m_machines.push_back(std::move(m));
    }

    // Compiles and runs the batch, then compares; failures go to the result.
    void run() {
        std::string table = "#include <stdio.h>\n#include \"prelude.h\"\n";
        std::string entries;
        for (const Machine& m : m_machines) {
            const std::string p = std::to_string(m.position);
            if (!m.failure.empty()) {
                continue;
            }
            table += "void sim_reset_" + p + "(int);\nvoid sim_step_" + p +
                     "(int);\nvoid sim_probe_" + p + "(int);\n";
            entries += "    {sim_reset_" + p + ", sim_step_" + p + ", sim_probe_" + p + "},\n";
        }
        table += "unsigned char in[64];\nvoid T(int n) { printf(\" %d\", n); }\n";
        table +=
            "static const struct { void (*reset)(int); void (*step)(int); void (*probe)(int); } "
            "machines[] = {\n" +
            entries + "    {0, 0, 0}\n};\n";
        writeFile(m_folder + "/prelude.h", PRELUDE);
        writeFile(m_folder + "/main.c", table + DRIVER_MAIN);
        writeFile(m_folder + "/scenario.txt", m_scenario);

        std::string sources;
        for (const Machine& m : m_machines) {
            if (m.failure.empty()) {
                sources += " g" + std::to_string(m.position) + ".c";
            }
        }
        const std::string command = "cd '" + m_folder + "' && " + m_settings.compiler +
                                    " -std=c99 -O0 -w -include prelude.h -I." + sources +
                                    " main.c -o run >compile.log 2>&1";
        if (std::system(command.c_str()) != 0) {
            fail("the batch in " + m_folder + " does not compile:\n" +
                 readFile(m_folder + "/compile.log").substr(0, 4000));
            return;
        }
        const std::string runCommand =
            "cd '" + m_folder + "' && timeout 120 ./run <scenario.txt >out.txt 2>run.log";
        const int status = std::system(runCommand.c_str());
        std::map<int, std::vector<std::string>> actual;
        std::istringstream out(readFile(m_folder + "/out.txt"));
        for (std::string line; std::getline(out, line);) {
            actual[std::stoi(line)].push_back(line);
        }
        bool failed = status != 0;
        for (Machine& m : m_machines) {
            if (!m.failure.empty()) {
                failed = true;
                m_result.failures.push_back(m.failure);
                continue;
            }
            compare(m, actual[m.position]);
            failed = failed || !m.failure.empty();
        }
        if (status != 0) {
            fail("the driver in " + m_folder + " ended with status " + std::to_string(status));
        }
        if (!failed) {
            std::error_code ec;
            fs::remove_all(m_folder, ec);
        }
    }

private:
    void fail(const std::string& text) { m_result.failures.push_back(text); }

    void compare(Machine& m, const std::vector<std::string>& actual) {
        ++m_result.machines;
        for (std::size_t i = 0; i < m.expected.size(); ++i) {
            const std::string got = i < actual.size() ? actual[i] : "(nothing)";
            if (got != m.expected[i]) {
                m.failure = m.folder +
                            ": the compiled code and the simulator differ\n  compiled:  " + got +
                            "\n  simulator: " + m.expected[i] +
                            "\n  (line: machine instance call: actions | indices / entry flags)";
                m_result.failures.push_back(m.failure);
                return;
            }
            ++m_result.calls;
        }
        if (actual.size() > m.expected.size()) {
            m.failure = m.folder + ": the compiled code printed more calls than were run";
            m_result.failures.push_back(m.failure);
        }
    }

    // The glue between the driver and one module: reset, step and the probe
    // that prints every diagram's index and entry flag.
    void writeGlue(const Machine& m, const SimMachine& machine, const Document& root,
                   const std::string& name, bool reentrant) {
        const std::string p = std::to_string(m.position);
        const std::string instance = reentrant ? "sim_instance[k]." : "";
        std::string indices;
        std::string flags;
        for (const SimDiagram& d : machine.diagrams()) {
            indices +=
                "    printf(\" %d\", (int)" + instance + "ind" + d.prefix + "_" + d.name + ");\n";
            if (!d.hasEntry) {
                continue;
            }
            const std::string flag = reentrant || !root.options.UseBitFields
                                         ? "entryFsmFlg" + d.prefix
                                         : "entryFsm.flg" + d.prefix;
            flags += "    printf(\" %d\", (int)" + instance + flag + ");\n";
        }
        std::string glue = "#include <stdio.h>\n#include \"m" + p + ".c\"\n";
        if (reentrant) {
            glue += "static T_" + name + " sim_instance[8];\n";
            glue += "void sim_reset_" + p + "(int k) { " + name + "_Reset(&sim_instance[k]); }\n";
            glue += "void sim_step_" + p + "(int k) { " + name + "(&sim_instance[k]); }\n";
        } else {
            glue += "void sim_reset_" + p + "(int k) { (void)k; }\n";
            glue += "void sim_step_" + p + "(int k) { (void)k; " + name + "(); }\n";
        }
        glue += "void sim_probe_" + p + "(int k) {\n    (void)k;\n" + indices +
                "    printf(\" /\");\n" + flags + "}\n";
        writeFile(m_folder + "/g" + p + ".c", glue);
    }

    // Draws the scenario (instances interleaved at random), runs it on the
    // simulator and keeps the lines the compiled code must print.
    void simulate(Machine& m, const SimMachine& machine, int conditions, bool reentrant) {
        const int instances =
            reentrant ? std::uniform_int_distribution<int>(1, m_settings.maxInstances)(m_rng) : 1;
        std::vector<std::unique_ptr<Simulator>> sims;
        std::vector<int> calls(static_cast<std::size_t>(instances), 0);
        for (int k = 0; k < instances; ++k) {
            sims.push_back(std::make_unique<Simulator>(machine));
            m_scenario += "R " + std::to_string(m.position) + " " + std::to_string(k) + "\n";
        }
        // How often a condition holds differs from machine to machine.
        const int percent = std::uniform_int_distribution<int>(0, 4)(m_rng) * 20 + 10;
        std::uniform_int_distribution<int> hundred(1, 100);
        int left = instances * m_settings.callsPerInstance;
        std::vector<bool> holds(machine.conditions().size());
        while (left-- > 0) {
            const int k = std::uniform_int_distribution<int>(0, instances - 1)(m_rng);
            Simulator& sim = *sims[static_cast<std::size_t>(k)];
            if (sim.stopped()) {
                continue;
            }
            std::string bits;
            holds.assign(holds.size(), false);
            for (int c = 0; c < conditions; ++c) {
                const bool on = hundred(m_rng) <= percent;
                bits += on ? '1' : '0';
                const int id = machine.conditionId("in[" + std::to_string(c) + "]");
                if (id >= 0) {
                    holds[static_cast<std::size_t>(id)] = on;
                }
            }
            if (!sim.step(holds)) {
                // The compiled code would never return from this call.
                ++m_result.stoppedChains;
                continue;
            }
            const std::string head = std::to_string(m.position) + " " + std::to_string(k) + " " +
                                     std::to_string(++calls[static_cast<std::size_t>(k)]);
            m_scenario += "C " + head + " " + bits + "\n";
            std::string line = head + ":";
            for (const SimEvent& e : sim.events()) {
                if (e.kind == SimEvent::Kind::Action) {
                    appendNumbers(line, *e.text);
                }
            }
            line += " |";
            const auto& diagrams = machine.diagrams();
            for (std::size_t d = 0; d < diagrams.size(); ++d) {
                line += " " + std::to_string(sim.activeState(static_cast<int>(d)) - 1);
            }
            line += " /";
            for (std::size_t d = 0; d < diagrams.size(); ++d) {
                if (diagrams[d].hasEntry) {
                    line += sim.entryFlag(static_cast<int>(d)) ? " 1" : " 0";
                }
            }
            m.expected.push_back(line);
        }
    }

    const DifferentialSettings& m_settings;
    std::mt19937& m_rng;
    std::string m_folder;
    DifferentialResult& m_result;
    std::vector<Machine> m_machines;
    std::string m_scenario;
};

}  // namespace

bool haveCompiler(const std::string& compiler) {
    return std::system(("command -v " + compiler + " >/dev/null 2>&1").c_str()) == 0;
}

DifferentialResult runDifferential(const DifferentialSettings& settings) {
    DifferentialResult result;
    std::mt19937 rng(settings.seed);
    fs::create_directories(settings.workFolder);
    int id = 0;
    for (int batch = 0; id < settings.hierarchies; ++batch) {
        const std::string folder = settings.workFolder + "/batch" + std::to_string(batch);
        std::error_code ec;
        fs::remove_all(folder, ec);
        fs::create_directories(folder);
        Batch b(settings, rng, folder, result);
        for (int i = 0; i < settings.perCompile && id < settings.hierarchies; ++i, ++id) {
            const RandomHierarchyPlan plan(rng, settings.shape);
            ++result.hierarchies;
            b.add(plan, id, false);
            b.add(plan, id, true);
        }
        b.run();
    }
    return result;
}

}  // namespace tarvel::test
