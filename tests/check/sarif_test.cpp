// The SARIF output holds to the SARIF 2.1.0 schema: the properties each
// object may have, the ones it must have, the allowed levels, rules that the
// results point at by id and index, and URIs a consumer can resolve.
#include <gtest/gtest.h>

#include <simdjson.h>

#include <fstream>
#include <set>

#include "check/checker.h"
#include "check/checkids.h"
#include "check/checkreport.h"

namespace tarvel {
namespace {

using simdjson::dom::element;

const std::string FIXTURES = std::string(TARVEL_FIXTURES_DIR) + "/check";

// Fails unless every key of the object is one the schema allows and every
// required key is there.
void expectKeys(element object, const std::set<std::string_view>& allowed,
                const std::set<std::string_view>& required, std::string_view what) {
    simdjson::dom::object o;
    ASSERT_EQ(object.get(o), simdjson::SUCCESS) << what << " is not an object";
    std::set<std::string_view> seen;
    for (auto field : o) {
        EXPECT_TRUE(allowed.contains(field.key)) << what << " may not have \"" << field.key << "\"";
        seen.insert(field.key);
    }
    for (std::string_view key : required) {
        EXPECT_TRUE(seen.contains(key)) << what << " needs \"" << key << "\"";
    }
}

bool isLevel(std::string_view level) {
    return level == "none" || level == "note" || level == "warning" || level == "error";
}

void validateSarif(const std::string& text) {
    simdjson::dom::parser parser;
    element log;
    ASSERT_EQ(parser.parse(text).get(log), simdjson::SUCCESS) << text;
    expectKeys(log, {"$schema", "version", "runs", "inlineExternalProperties", "properties"},
               {"version", "runs"}, "sarifLog");
    EXPECT_EQ(std::string_view(log["version"]), "2.1.0");
    simdjson::dom::array runs = log["runs"];
    ASSERT_EQ(runs.size(), 1u);
    element run = runs.at(0);
    expectKeys(run, {"tool", "results", "artifacts", "invocations", "properties"}, {"tool"}, "run");
    expectKeys(run["tool"], {"driver", "extensions", "properties"}, {"driver"}, "tool");
    element driver = run["tool"]["driver"];
    expectKeys(driver,
               {"name", "fullName", "version", "semanticVersion", "informationUri", "rules"},
               {"name"}, "toolComponent");

    std::vector<std::string_view> ruleIds;
    for (element rule : simdjson::dom::array(driver["rules"])) {
        expectKeys(rule,
                   {"id", "name", "shortDescription", "fullDescription", "defaultConfiguration",
                    "help", "helpUri"},
                   {"id"}, "reportingDescriptor");
        expectKeys(rule["shortDescription"], {"text", "markdown"}, {"text"}, "shortDescription");
        expectKeys(rule["defaultConfiguration"], {"enabled", "level", "rank"}, {},
                   "defaultConfiguration");
        EXPECT_TRUE(isLevel(std::string_view(rule["defaultConfiguration"]["level"])));
        ruleIds.push_back(std::string_view(rule["id"]));
    }
    EXPECT_EQ(std::set<std::string_view>(ruleIds.begin(), ruleIds.end()).size(), ruleIds.size())
        << "rules must be unique";

    for (element result : simdjson::dom::array(run["results"])) {
        expectKeys(result, {"ruleId", "ruleIndex", "level", "message", "locations", "kind"},
                   {"message"}, "result");
        expectKeys(result["message"], {"text", "markdown", "id", "arguments"}, {"text"}, "message");
        EXPECT_TRUE(isLevel(std::string_view(result["level"])));
        const int64_t index = result["ruleIndex"];
        ASSERT_GE(index, 0);
        ASSERT_LT(static_cast<std::size_t>(index), ruleIds.size());
        EXPECT_EQ(ruleIds[static_cast<std::size_t>(index)], std::string_view(result["ruleId"]));
        for (element location : simdjson::dom::array(result["locations"])) {
            expectKeys(location, {"id", "physicalLocation", "logicalLocations", "message"}, {},
                       "location");
            element physical = location["physicalLocation"];
            expectKeys(physical, {"artifactLocation", "region", "contextRegion", "address"},
                       {"artifactLocation"}, "physicalLocation");
            expectKeys(physical["artifactLocation"], {"uri", "uriBaseId", "index"}, {"uri"},
                       "artifactLocation");
            const std::string_view uri = physical["artifactLocation"]["uri"];
            EXPECT_EQ(uri.find_first_of(" \"<>\\^`{|}"), std::string_view::npos) << uri;
            element region;
            if (physical["region"].get(region) == simdjson::SUCCESS) {
                expectKeys(region, {"startLine", "startColumn", "endLine", "endColumn"}, {},
                           "region");
                EXPECT_GE(int64_t(region["startLine"]), 1);
            }
            std::set<std::string> logical;
            for (element l : simdjson::dom::array(location["logicalLocations"])) {
                expectKeys(l, {"name", "fullyQualifiedName", "kind", "index", "parentIndex"}, {},
                           "logicalLocation");
                EXPECT_TRUE(logical.insert(simdjson::minify(l)).second)
                    << "logical locations must be unique";
            }
        }
    }
}

TEST(Sarif, FindingsOfEveryShapeFollowTheSchema) {
    CheckReport report;
    report.rootFile = "/work/my project/Door Control.fsm";
    const auto add = [&](ElementRef element, Field field, int line, std::string quote,
                         std::string_view check, Severity severity) {
        Finding f;
        f.file = report.rootFile;
        f.element = std::move(element);
        f.field = field;
        f.line = line;
        f.quote = std::move(quote);
        f.message = "text with \"quotes\", a tab\tand a \\";
        f.check = check;
        f.severity = severity;
        report.findings.push_back(f);
    };
    add({ElementKind::State, "Grün", "", "", 3}, Field::Exit, 2, "", check_id::C_ERROR,
        Severity::Error);
    add({ElementKind::Transition, "A", "B", "2", 7}, Field::Condition, 1, "",
        check_id::COMMENT_IN_CONDITION, Severity::Error);
    add({ElementKind::Comment, "", "", "", 9}, Field::Text, 4, "", check_id::C_WARNING,
        Severity::Warning);
    add(ElementRef::fsm(), Field::None, 0, "static T_u8 ind_Door = i_A;", check_id::C_ERROR,
        Severity::Error);
    validateSarif(reportSarif(report, "/work"));
}

TEST(Sarif, ResultsPointAtTheirNodesLinesInTheDiagramFile) {
    CheckDocuments documents;
    const std::string path = FIXTURES + "/shadowed-transition/Root.fsm";
    Document* root = documents.open(path);
    ASSERT_NE(root, nullptr);
    GenerationContext context = documents.context();
    CheckOptions options;
    options.compiler = "none";
    const CheckReport report = runCheck(*root, context, options);
    ASSERT_EQ(report.findings.size(), 2u);
    const std::string sarif = reportSarif(report, FIXTURES);
    validateSarif(sarif);

    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    simdjson::dom::parser parser;
    element log = parser.parse(sarif);
    const std::vector<std::string> nodeData = {"A\xC2\xB7 \xC2\xB7", "2\xC2\xB7 \xC2\xB7y"};
    std::size_t i = 0;
    for (element result : simdjson::dom::array(log["runs"].at(0)["results"])) {
        element location = result["locations"].at(0);
        EXPECT_EQ(std::string_view(location["physicalLocation"]["artifactLocation"]["uri"]),
                  "shadowed-transition/Root.fsm");
        const int64_t line = location["physicalLocation"]["region"]["startLine"];
        ASSERT_LE(static_cast<std::size_t>(line), lines.size());
        EXPECT_NE(lines[static_cast<std::size_t>(line - 1)].find("\"data\": \"" + nodeData[i]),
                  std::string::npos)
            << lines[static_cast<std::size_t>(line - 1)];
        ++i;
    }
}

}  // namespace
}  // namespace tarvel
