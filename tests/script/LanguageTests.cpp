// Language-level behaviour of the machine: property flags by movie version, XML trees,
// broadcasters.
#include <gtest/gtest.h>

#include "ScriptTestSupport.h"

using namespace plavex::script;
using namespace plavex::script::testing;

namespace {

using Lines = std::vector<std::string>;

// o = {p: "v"}; ASSetPropFlags(o, "p", bits); trace(o.p); trace(o.hasOwnProperty("p"))
Asm hideWithBits(int bits) {
  Asm a;
  a.push({"o", "p", "v", 1}).op(0x43).setVar();
  a.push({0, bits, "p", "o"}).getVar().push({4, "ASSetPropFlags"}).callFunction().pop();
  a.push({"o"}).getVar().push({"p"}).getMember().trace();
  a.push({"p", 1, "o"}).getVar().push({"hasOwnProperty"}).callMethod().trace();
  return a;
}

TEST(PropertyFlags, VersionBitsHideFromLookupsOnly) {
  struct Case {
    int bits, version;
    bool hidden;
  };
  const Case cases[] = {
      {128, 5, true},     {128, 6, false},   {256, 5, false},  {256, 6, true},   {256, 7, false},
      {1024, 6, true},    {1024, 7, false},  {4096, 7, true},  {4096, 8, false}, {8192, 8, true},
      {8192, 9, false},   {16384, 9, true},  {16384, 10, false},
  };
  for (const auto& c : cases) {
    auto r = runActions(c.version, hideWithBits(c.bits));
    Lines expected{c.hidden ? "undefined" : "v", "true"};
    EXPECT_EQ(r.lines, expected) << "bits " << c.bits << " in version " << c.version;
  }
}

TEST(PropertyFlags, SettingAHiddenPropertyMakesItVisibleAgain) {
  Asm a = hideWithBits(16384);
  a.push({"o"}).getVar().push({"p", "w"}).setMember();
  a.push({"o"}).getVar().push({"p"}).getMember().trace();
  EXPECT_EQ(runActions(8, a).lines, (Lines{"undefined", "true", "w"}));
}

TEST(ObjectLiterals, ACountBeyondTheStackMakesUndefinedAndKeepsTheStack) {
  for (std::uint8_t op : {std::uint8_t{0x42}, std::uint8_t{0x43}}) {
    Asm a;
    a.push({"a", "b", "c", 4294967297.0}).op(op).trace().trace().trace().trace();
    EXPECT_EQ(runActions(8, a).lines, (Lines{"undefined", "c", "b", "a"})) << int(op);
  }
}

TEST(ObjectLiterals, ProtoInALiteralLinksThePrototype) {
  Asm a;
  a.push({"a", "k", 1, 1}).op(0x43).setVar();                          // a = {k: 1}
  a.push({"b", "__proto__", "a"}).getVar().push({1}).op(0x43).setVar();  // b = {__proto__: a}
  a.push({"b"}).getVar().push({"k"}).getMember().trace();
  a.push({"b"}).getVar().push({1, "a"}).getVar().push({"isPrototypeOf"}).callMethod().trace();
  a.push({"__proto__", 1, "b"}).getVar().push({"hasOwnProperty"}).callMethod().trace();
  a.push({"a"}).getVar().push({"", "x"}).setMember();  // no property without a name
  a.push({"", 1, "a"}).getVar().push({"hasOwnProperty"}).callMethod().trace();
  EXPECT_EQ(runActions(8, a).lines, (Lines{"1", "true", "true", "false"}));
}

TEST(ObjectConstructor, WrapsPrimitivesInTheirClassObjects) {
  struct Case {
    PushItem value;
    const char* text;
  };
  const Case cases[] = {{5, "5"}, {"hello", "hello"}, {true, "true"}, {NullV{}, "[object Object]"}};
  for (const auto& c : cases) {
    Asm a;
    a.push({"o", c.value, 1, "Object"}).op(0x40).setVar();
    a.traceVar("o");
    a.push({"o"}).getVar().op(0x44).trace();
    EXPECT_EQ(runActions(8, a).lines, (Lines{c.text, "object"})) << c.text;
  }
}

// x = new XML(text); trace(x); trace(x.status)
Asm parseAndPrint(const std::string& text) {
  Asm a;
  a.push({"x", text, 1, "XML"}).op(0x40).setVar();
  a.traceVar("x");
  a.push({"x"}).getVar().push({"status"}).getMember().trace();
  return a;
}

TEST(XmlDocuments, ParseAndPrintRoundTrip) {
  struct Case {
    const char* text;
    const char* printed;
    const char* status;
  };
  const Case cases[] = {
      {"<a b=\"1\" c='2'><d/>t&amp;u</a>", "<a b=\"1\" c=\"2\"><d />t&amp;u</a>", "0"},
      {"<a>&#39;&lt;&thing;</a>", "<a>&apos;&lt;&amp;thing;</a>", "0"},
      {"<a><![CDATA[<x>]]><!-- gone --></a>", "<a>&lt;x&gt;</a>", "0"},
      {"<?xml version=\"1.0\"?><!DOCTYPE d><r/>", "<?xml version=\"1.0\"?><!DOCTYPE d><r />", "0"},
      {"<a><b></a>", "<a><b /></a>", "-9"},
      {"</a>", "", "-10"},
      {"<a x=\"1></a>", "", "-8"},
      {"<a><!-- open", "<a />", "-5"},
  };
  for (const auto& c : cases) {
    auto r = runActions(8, parseAndPrint(c.text));
    EXPECT_EQ(r.lines, (Lines{c.printed, c.status})) << c.text;
  }
}

TEST(XmlDocuments, IgnoreWhiteDropsBlankTextNodes) {
  Asm a;
  a.push({"x", 0, "XML"}).op(0x40).setVar();
  a.push({"x"}).getVar().push({"ignoreWhite", true}).setMember();
  a.push({"<r>\n  <a> k </a>\n</r>", 1, "x"}).getVar().push({"parseXML"}).callMethod().pop();
  a.traceVar("x");
  EXPECT_EQ(runActions(8, a).lines, (Lines{"<r><a> k </a></r>"}));
}

TEST(XmlDocuments, NodesMoveBetweenParentsButNotIntoTheirOwnSubtree) {
  Asm a;
  a.push({"x", "<a><b/></a><c/>", 1, "XML"}).op(0x40).setVar();
  a.push({"a", "x"}).getVar().push({"firstChild"}).getMember().setVar();
  a.push({"b", "a"}).getVar().push({"firstChild"}).getMember().setVar();
  a.push({"a"}).getVar().push({1, "b"}).getVar().push({"appendChild"}).callMethod().pop();  // refused: a holds b
  a.traceVar("x");
  a.push({"b"}).getVar().push({1, "x"}).getVar().push({"appendChild"}).callMethod().pop();  // b moves to the end
  a.traceVar("x");
  a.push({"a"}).getVar().push({"nextSibling"}).getMember().trace();
  a.push({"b"}).getVar().push({"nextSibling"}).getMember().trace();
  a.push({"x"}).getVar().push({"childNodes"}).getMember().push({"length"}).getMember().trace();
  a.push({0, "b"}).getVar().push({"removeNode"}).callMethod().pop();
  a.traceVar("x");
  a.push({"b"}).getVar().push({"parentNode"}).getMember().trace();
  EXPECT_EQ(runActions(8, a).lines,
            (Lines{"<a><b /></a><c />", "<a /><c /><b />", "<c />", "null", "3", "<a /><c />", "null"}));
}

TEST(XmlDocuments, NamespacesComeFromTheNearestDeclaration) {
  Asm a;
  a.push({"x", "<p:r xmlns:p=\"urn:p\" xmlns=\"urn:d\"><p:k/><m/></p:r>", 1, "XML"}).op(0x40).setVar();
  a.push({"r", "x"}).getVar().push({"firstChild"}).getMember().setVar();
  a.push({"k", "r"}).getVar().push({"firstChild"}).getMember().setVar();
  a.push({"k"}).getVar().push({"namespaceURI"}).getMember().trace();
  a.push({"k"}).getVar().push({"localName"}).getMember().trace();
  a.push({"k"}).getVar().push({"prefix"}).getMember().trace();
  a.push({"k"}).getVar().push({"nextSibling"}).getMember().push({"namespaceURI"}).getMember().trace();
  a.push({"urn:p", 1, "k"}).getVar().push({"getPrefixForNamespace"}).callMethod().trace();
  a.push({"q", 1, "k"}).getVar().push({"getNamespaceForPrefix"}).callMethod().trace();
  EXPECT_EQ(runActions(8, a).lines, (Lines{"urn:p", "k", "p", "urn:d", "p", "null"}));
}

TEST(XmlDocuments, DeeplyNestedTextParsesWithoutRecursionLimits) {
  std::string text;
  for (int i = 0; i < 5000; ++i) text += "<a>";
  Asm a = parseAndPrint(text);
  auto r = runActions(8, a);
  ASSERT_EQ(r.lines.size(), 2u);
  EXPECT_EQ(r.lines[1], "-9");
}

}  // namespace
