#include "model/fsmfile.h"

#include <gtest/gtest.h>

#include "../support/builders.h"
#include "model/fsmrecord.h"
#include "model/text.h"

namespace tarvel {
namespace {

// A diagram written by hand from the format description: an information node,
// two states and one transition between them.
const char* kHandWritten = R"({
  "format": "tarvel-fsm", "version": 1,
  "diagram": { "fillColor": 16777200, "foreColor": 0, "font": { "name": "Courier New", "size": 8 } },
  "nodes": [
    { "id": 10, "kind": 16384, "data": "OPEN\u00b7 \u00b7\u00b7 \u00b71\u00b7 \u00b7\u00b7 \u00b7\u00b7 \u00b7N\u00b7 \u00b7N\u00b7 \u00b7\u00b7 \u00b7",
      "left": 1200, "top": 900, "width": 1500, "height": 1000 },
    { "id": 20, "kind": 8192, "data": "CLOSED\u00b7 \u00b7\u00b7 \u00b72\u00b7 \u00b7\u00b7 \u00b7\u00b7 \u00b7N\u00b7 \u00b7N\u00b7 \u00b7\u00b7 \u00b7",
      "left": 5000, "top": 900, "width": 1500, "height": 1000 },
    { "id": 30, "kind": 2048, "data": "1\u00b7 \u00b7btn\u00b7 \u00b7\u00b7 \u00b7Y\u00b7 \u00b7N\u00b7 \u00b7N\u00b7 \u00b7",
      "left": 3300, "top": 1300, "width": 150, "height": 100, "fillColor": 16777152 },
    { "id": 40, "kind": 512, "data": "FSM_V000.006a\u00b7 \u00b7Door\u00b7 \u00b7", "left": 0, "top": 0,
      "width": 100, "height": 100, "fillColor": 255, "font": { "name": "Mono", "size": 10, "bold": true } },
    { "id": 50, "kind": 1024, "text": "A note", "left": 100, "top": 3000, "width": 900,
      "height": 500, "connectable": false, "unknownMember": [1, 2] }
  ],
  "links": [
    { "origin": 10, "target": 30, "arrowStyle": 0 },
    { "origin": 30, "target": 20, "points": [[3375, 1350], [4000, 2000], [5750, 1400]] }
  ]
})";

TEST(FsmFile, HandWrittenFileLoadsRefreshesAndSavesBackTheSameRecords) {
    Document doc;
    std::string error;
    ASSERT_TRUE(readDiagramJson(kHandWritten, doc.diagram(), error)) << error;
    Diagram& d = doc.diagram();
    EXPECT_FALSE(d.DiagramChanged());
    RestoreGraphInfo(d, true);
    GetGrafoConfig(doc, {});
    RefreshNodeRecords(doc);
    EXPECT_EQ(GetGraphField(FF_NAME, d), "Door");
    EXPECT_EQ(d.FillColor(), 255u);
    EXPECT_TRUE(d.DiagramFont().bold);
    ASSERT_EQ(d.nodeCount(), 4u);
    const Node* open = d.NodeList()[0].get();
    const Node* t = d.NodeList()[2].get();
    EXPECT_EQ(readField(open->NodeData(), 0), "OPEN");
    EXPECT_NE(open->NodeText().find("OPEN"), std::string::npos);
    EXPECT_EQ(t->NodeText(), "btn\r\n");
    EXPECT_EQ(open->NodeOutLinks()[0]->LinkArrowStyle(), 0);
    EXPECT_EQ(t->NodeOutLinks()[0]->LinkPoints().size(), 3u);
    EXPECT_EQ(d.NodeList()[3]->NodeText(), "A note");

    std::vector<std::string> before;
    for (const auto& n : d.NodeList()) {
        before.push_back(n->NodeData());
    }
    doc.sFullDocname = "/tmp/Door.fsm";
    SaveGraphInfo(doc, true);
    const std::string saved = writeDiagramJson(d);
    RestoreGraphInfo(d, false);

    Document again;
    ASSERT_TRUE(readDiagramJson(saved, again.diagram(), error)) << error;
    RestoreGraphInfo(again.diagram(), true);
    RefreshNodeRecords(again);
    ASSERT_EQ(again.diagram().nodeCount(), before.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(again.diagram().NodeList()[i]->NodeData(), before[i]) << i;
    }
    EXPECT_EQ(again.diagram().DiagramRecord(), d.DiagramRecord());
    EXPECT_EQ(again.diagram().NodeList()[3]->NodeText(), "A note");
    EXPECT_FALSE(again.diagram().NodeList()[3]->NodeConnectable());
    EXPECT_EQ(again.diagram().Links()[1]->LinkPoints(), d.Links()[1]->LinkPoints());
}

TEST(FsmFile, WriterEscapesAndKeepsEveryCharacter) {
    Document doc;
    Node* n = test::addState(doc, "A");
    const std::string odd = std::string("tab\there \"quoted\" back\\slash \x01 \xE2\x82\xAC ") +
                            std::string(FIELD_SEP) + std::string(100000, 'x');
    n->setNodeData(odd + "\xFF");
    std::string error;
    Diagram back;
    ASSERT_TRUE(readDiagramJson(writeDiagramJson(doc.diagram()), back, error)) << error;
    // A stray byte, which no editor produces, comes back as a replacement character.
    EXPECT_EQ(back.NodeList()[0]->NodeData(), odd + "\xEF\xBF\xBD");
}

TEST(FsmFile, DamagedFilesFailAsAWholeAndLeaveTheDiagramEmpty) {
    const struct {
        const char* json;
        const char* reason;
    } cases[] = {
        {"", "not JSON"},
        {"{\"format\":\"tarvel-fsm\",\"version\":1,\"nodes\":[", "not JSON"},
        {"[1,2]", "not an object"},
        {"{\"format\":\"other\",\"version\":1}", "format"},
        {"{\"format\":\"tarvel-fsm\",\"version\":2}", "newer"},
        {"{\"format\":\"tarvel-fsm\"}", "version"},
        {"{\"format\":\"tarvel-fsm\",\"version\":1,\"nodes\":[{\"kind\":1}]}", "no \"id\""},
        {"{\"format\":\"tarvel-fsm\",\"version\":1,\"nodes\":[{\"id\":1},{\"id\":1}]}", "twice"},
        {"{\"format\":\"tarvel-fsm\",\"version\":1,\"nodes\":[{\"id\":1}],\"links\":[{\"origin\":1,\"target\":2}]}",
         "not a node"},
        {"{\"format\":\"tarvel-fsm\",\"version\":1,\"nodes\":[{\"id\":1,\"left\":\"x\"}]}", "not a number"},
        {"{\"format\":\"tarvel-fsm\",\"version\":1,\"nodes\":[{\"id\":1,\"data\":5}]}", "not a text"},
        {"{\"format\":\"tarvel-fsm\",\"version\":1,\"nodes\":[{\"id\":1,\"left\":1e300}]}", "out of range"},
        {"{\"format\":\"tarvel-fsm\",\"version\":1,\"nodes\":[{\"id\":1,\"fillColor\":-1}]}", "out of range"},
        {"{\"format\":\"tarvel-fsm\",\"version\":1,\"nodes\":{}}", "not a list"},
        {"{\"format\":\"tarvel-fsm\",\"version\":1,\"nodes\":[{\"id\":1}],\"links\":[{\"origin\":1,\"target\":1,\"points\":[[1]]}]}",
         "pairs"},
    };
    for (const auto& c : cases) {
        Document doc;
        test::addState(doc, "OLD");
        std::string error;
        EXPECT_FALSE(readDiagramJson(c.json, doc.diagram(), error)) << c.json;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.json << " -> " << error;
        EXPECT_EQ(doc.diagram().nodeCount(), 0u) << c.json;
    }
}

// The message of a damaged file names the object (its kind and position, a
// font by its owner) and the member; each row is one shape of the message.
TEST(FsmFile, DamagedFileMessagesNameTheObjectAndTheMember) {
    const std::string head = R"({"format":"tarvel-fsm","version":1,)";
    const std::string oneNode = head + R"("nodes":[{"id":1}],)";
    const struct {
        std::string json;
        const char* message;
    } cases[] = {
        {head + R"("nodes":[{"id":1},{"id":2,"font":{"size":"x"}}]})", "node 2 font: \"size\" is not a number"},
        {head + R"("diagram":{"font":{"bold":1}}})", "diagram font: \"bold\" is not true or false"},
        {head + R"("diagram":[]})", "document: \"diagram\" is not an object"},
        {head + R"("diagram":{"zoom":1.5}})", "diagram: \"zoom\" is not an integer"},
        {head + R"("nodes":[{"id":1,"kind":4294967296}]})", "node 1: \"kind\" is out of range"},
        {head + R"("nodes":[{"id":1,"connectable":0}]})", "node 1: \"connectable\" is not true or false"},
        {head + R"("nodes":[{"id":1,"left":1e39}]})", "node 1: \"left\" is out of range"},
        {head + R"("nodes":[{"id":1,"lineColor":16777216.5}]})", "node 1: \"lineColor\" is not an integer"},
        {head + R"("nodes":[{"id":1},{"id":1}]})", "node 2: the id 1 is used twice"},
        {head + R"("nodes":[{"id":1},5]})", "node 2 is not an object"},
        {oneNode + R"("links":[{"origin":1,"target":1,"points":[[1,2],[3]]}]})",
         "link 1: \"points\" holds something other than [x, y] pairs"},
        {oneNode + R"("links":[{"origin":1,"target":1,"points":[[1,"y"]]}]})", "link 1: \"points\" is not a number"},
        {oneNode + R"("links":[{"origin":7,"target":1}]})", "link 1: \"origin\" is not a node of the file"},
        {oneNode + R"("links":[{"origin":1,"target":1},{"origin":1}]})", "link 2 has no \"target\""},
        {oneNode + R"("links":[{"origin":1,"target":1,"arrowStyle":"x"}]})", "link 1: \"arrowStyle\" is not an integer"},
        {oneNode + R"("links":[{"origin":1,"target":18446744073709551615}]})", "link 1: \"target\" is out of range"},
        {R"({"format":"tarvel-fsm","version":2})", "not a diagram file of this version: version 2 is newer than 1"},
        {head + R"("links":{}})", "\"links\" is not a list"},
        {head + R"("nodes":[{"id":1,"data":"open)", "not JSON (A string is opened, but never closed.)"},
    };
    for (const auto& c : cases) {
        Diagram d;
        std::string error;
        EXPECT_FALSE(readDiagramJson(c.json, d, error)) << c.json;
        EXPECT_EQ(error, c.message) << c.json;
    }
}

// Files this program does not write the way it writes them mean the same as
// ever: settings given after the nodes still colour them, escaped names and
// texts are decoded, a later member wins over an earlier one of the same
// name, and a damaged part of an unknown member still makes the file damaged.
TEST(FsmFile, UnusualButValidFilesKeepTheirMeaning) {
    const std::string head = R"("format":"tarvel-fsm","version":1)";
    const struct {
        std::string json;
        Color fill;
        const char* data;
        float left;
    } cases[] = {
        {R"({"nodes":[{"id":1}],"diagram":{"fillColor":7},)" + head + "}", 7, "", 0},
        {"{" + head + R"(,"nodes":[{"id":1,"d\u0061ta":"x","left":1,"left":2}]})", 0xFFFFF0, "x", 2},
        {"{" + head + R"(,"nodes":[{"id":1,"data":"a\"b\u00b7\r\n"}]})", 0xFFFFF0, "a\"b\xC2\xB7\r\n", 0},
        {"{" + head + R"(,"nodes":[{"id":1,"data":"old"}],"nodes":[{"id":1,"data":"new","extra":{"x":[]}}]})",
         0xFFFFF0, "new", 0},
    };
    for (const auto& c : cases) {
        Diagram d;
        std::string error;
        ASSERT_TRUE(readDiagramJson(c.json, d, error)) << c.json << ": " << error;
        ASSERT_EQ(d.nodeCount(), 1u) << c.json;
        const Node& n = *d.NodeList()[0];
        EXPECT_EQ(n.NodeFillColor(), c.fill) << c.json;
        EXPECT_EQ(n.NodeData(), c.data) << c.json;
        EXPECT_EQ(n.NodeLeft(), c.left) << c.json;
    }
    for (const std::string& json : {"{" + head + R"(,"extra":[1,]})", "{" + head + "} x",
                                   "{" + head + R"(,"nodes":[{"id":1,"extra":tru}]})",
                                   "{" + head + R"(,"nodes":[{"id":1,"data":"":5]}]})"}) {
        Diagram d;
        std::string error;
        EXPECT_FALSE(readDiagramJson(json, d, error)) << json;
        EXPECT_EQ(error.rfind("not JSON (", 0), 0u) << json << ": " << error;
    }
}

}  // namespace
}  // namespace tarvel
