// The flash.geom classes: results as the scripts print them, the SWF 8 gate, and
// methods that work on look-alike objects.
#include <cmath>
#include <functional>

#include <gtest/gtest.h>

#include "ScriptTestSupport.h"

using namespace plavex::script;
using namespace plavex::script::testing;

namespace {

using Lines = std::vector<std::string>;

// Pushes flash.geom.<cls> onto the stack.
Asm& geomClass(Asm& a, const std::string& cls) {
  return a.push({"flash"}).getVar().push({"geom"}).getMember().push({cls}).getMember();
}

// var = new flash.geom.<cls>(args…); arguments are given last first.
Asm& newGeom(Asm& a, const std::string& var, const std::string& cls, std::initializer_list<PushItem> reversedArgs, int count) {
  a.push({var}).push(reversedArgs).push({count, "flash"}).getVar().push({"geom"}).getMember().push({cls});
  return a.op(0x53).setVar();
}

// Pushes new flash.geom.<cls>(args…) without storing it.
Asm& pushNew(Asm& a, const std::string& cls, std::initializer_list<PushItem> reversedArgs, int count) {
  a.push(reversedArgs).push({count, "flash"}).getVar().push({"geom"}).getMember().push({cls});
  return a.op(0x53);
}

// trace(var.name(<value already built by `arg`>)) with one argument.
Asm& traceCall1(Asm& a, const std::string& var, const std::string& name, const std::function<void(Asm&)>& arg) {
  arg(a);
  a.push({1, var}).getVar().push({name}).callMethod();
  return a.trace();
}

Asm& traceCall(Asm& a, const std::string& var, const std::string& name, std::initializer_list<PushItem> reversedArgs, int count) {
  return a.push(reversedArgs).push({count, var}).getVar().push({name}).callMethod().trace();
}

Asm& callQuiet(Asm& a, const std::string& var, const std::string& name, std::initializer_list<PushItem> reversedArgs, int count) {
  return a.push(reversedArgs).push({count, var}).getVar().push({name}).callMethod().pop();
}

Asm& traceMember(Asm& a, const std::string& var, const std::string& name) {
  return a.push({var}).getVar().push({name}).getMember().trace();
}

TEST(GeomPoint, ArithmeticAndStatics) {
  Asm a;
  newGeom(a, "p", "Point", {4, 3}, 2);
  a.traceVar("p");                                                         // (x=3, y=4)
  traceMember(a, "p", "length");                                           // 5
  traceCall1(a, "p", "add", [](Asm& s) { pushNew(s, "Point", {1, 1}, 2); });       // (x=4, y=5)
  traceCall1(a, "p", "subtract", [](Asm& s) { s.push({"x", 1, "y", 2, 2}).op(0x43); });  // (x=2, y=2)
  traceCall1(a, "p", "add", [](Asm& s) { s.push({Undef{}}); });            // (x=NaN, y=NaN)
  traceCall1(a, "p", "equals", [](Asm& s) { pushNew(s, "Point", {4, 3}, 2); });    // true
  traceCall1(a, "p", "equals", [](Asm& s) { s.push({"x", 3, "y", 4, 2}).op(0x43); });  // false: not a Point
  callQuiet(a, "p", "normalize", {10}, 1);
  a.traceVar("p");                                                         // (x=6, y=8)
  callQuiet(a, "p", "offset", {1}, 1);
  a.traceVar("p");                                                         // (x=7, y=NaN)
  newGeom(a, "q", "Point", {Undef{}, 1}, 2);
  a.traceVar("q");                                                         // (x=1, y=undefined)
  pushNew(a, "Point", {0, 0}, 2);
  pushNew(a, "Point", {4, 3}, 2);
  a.push({2});
  geomClass(a, "Point").push({"distance"}).callMethod().trace();           // 5
  a.push({"x", 0, "y", 0, 2}).op(0x43).push({"x", 3, "y", 4, 2}).op(0x43).push({2});
  geomClass(a, "Point").push({"distance"}).callMethod().trace();           // undefined: no subtract
  a.push({0.25});
  pushNew(a, "Point", {0, 0}, 2);
  pushNew(a, "Point", {40, 20}, 2);
  a.push({3});
  geomClass(a, "Point").push({"interpolate"}).callMethod().trace();        // (x=5, y=10): from (0, 0) a quarter of the way to (20, 40)
  a.push({0, 2, 2});
  geomClass(a, "Point").push({"polar"}).callMethod().trace();              // (x=2, y=0)
  EXPECT_EQ(runActions(8, a).lines,
            (Lines{"(x=3, y=4)", "5", "(x=4, y=5)", "(x=2, y=2)", "(x=NaN, y=NaN)", "true", "false", "(x=6, y=8)",
                   "(x=7, y=NaN)", "(x=1, y=undefined)", "5", "undefined", "(x=5, y=10)", "(x=2, y=0)"}));
}

TEST(GeomPackage, OnlyInSwf8AndLater) {
  struct Case {
    int version;
    const char* expected;
  };
  for (const Case& c : {Case{6, "undefined"}, Case{7, "undefined"}, Case{8, "function"}, Case{10, "function"}}) {
    Asm a;
    if (c.version >= 8) geomClass(a, "Matrix").op(0x44).trace();  // typeof
    else a.traceVar("flash");
    EXPECT_EQ(runActions(c.version, a).lines, (Lines{c.expected})) << c.version;
  }
}

TEST(GeomRectangle, EdgesAndSetOperations) {
  Asm a;
  newGeom(a, "r", "Rectangle", {10, 10, 0, 0}, 4);
  a.traceVar("r");                                                                        // (x=0, y=0, w=10, h=10)
  traceCall1(a, "r", "intersection", [](Asm& s) { pushNew(s, "Rectangle", {10, 10, 5, 5}, 4); });  // (x=5, y=5, w=5, h=5)
  traceCall1(a, "r", "union", [](Asm& s) { pushNew(s, "Rectangle", {10, 10, 5, 5}, 4); });         // (x=0, y=0, w=15, h=15)
  traceCall1(a, "r", "intersects", [](Asm& s) { pushNew(s, "Rectangle", {1, 1, 10, 0}, 4); });     // false: touching
  traceCall1(a, "r", "union", [](Asm& s) { pushNew(s, "Rectangle", {0, 5, 50, 50}, 4); });         // (x=0, y=0, w=10, h=10)
  traceCall(a, "r", "contains", {9.5, 0}, 2);                                             // true
  traceCall1(a, "r", "containsPoint", [](Asm& s) { pushNew(s, "Point", {5, 10}, 2); });           // false: right edge
  traceCall1(a, "r", "containsRectangle", [](Asm& s) { pushNew(s, "Rectangle", {10, 10, 0, 0}, 4); });  // true
  traceMember(a, "r", "bottomRight");                                                    // (x=10, y=10)
  a.push({"r"}).getVar().push({"left", 4}).setMember();
  a.traceVar("r");                                                                        // (x=4, y=0, w=6, h=10)
  callQuiet(a, "r", "inflate", {2, 1}, 2);
  a.traceVar("r");                                                                        // (x=3, y=-2, w=8, h=14)
  traceCall(a, "r", "isEmpty", {}, 0);                                                   // false
  callQuiet(a, "r", "setEmpty", {}, 0);
  traceCall(a, "r", "isEmpty", {}, 0);                                                   // true
  EXPECT_EQ(runActions(8, a).lines,
            (Lines{"(x=0, y=0, w=10, h=10)", "(x=5, y=5, w=5, h=5)", "(x=0, y=0, w=15, h=15)", "false",
                   "(x=0, y=0, w=10, h=10)", "true", "false", "true", "(x=10, y=10)", "(x=4, y=0, w=6, h=10)",
                   "(x=3, y=-2, w=8, h=14)", "false", "true"}));
}

TEST(GeomMatrix, ComposesTransformsAndInverts) {
  Asm a;
  newGeom(a, "m", "Matrix", {}, 0);
  a.traceVar("m");                                         // identity
  callQuiet(a, "m", "scale", {3, 2}, 2);
  callQuiet(a, "m", "translate", {20, 10}, 2);
  a.traceVar("m");                                         // (a=2, b=0, c=0, d=3, tx=10, ty=20)
  traceCall1(a, "m", "transformPoint", [](Asm& s) { pushNew(s, "Point", {1, 1}, 2); });       // (x=12, y=23)
  traceCall1(a, "m", "deltaTransformPoint", [](Asm& s) { pushNew(s, "Point", {1, 1}, 2); });  // (x=2, y=3)
  callQuiet(a, "m", "invert", {}, 0);
  a.traceVar("m");
  newGeom(a, "n", "Matrix", {}, 0);
  callQuiet(a, "n", "rotate", {M_PI / 2}, 1);
  traceCall1(a, "n", "transformPoint", [](Asm& s) { pushNew(s, "Point", {0, 1}, 2); });       // (1, 0) turned a quarter: (0, 1) up to rounding
  callQuiet(a, "n", "createBox", {5, 0, 4, 2}, 4);
  a.traceVar("n");                                         // (a=2, b=0, c=0, d=4, tx=5, ty=0)
  callQuiet(a, "n", "createGradientBox", {1638.4, 3276.8}, 2);
  a.traceVar("n");                                         // (a=2, b=0, c=0, d=1, tx=1638.4, ty=819.2)
  EXPECT_EQ(runActions(8, a).lines,
            (Lines{"(a=1, b=0, c=0, d=1, tx=0, ty=0)", "(a=2, b=0, c=0, d=3, tx=10, ty=20)", "(x=12, y=23)", "(x=2, y=3)",
                   "(a=0.5, b=0, c=0, d=0.333333333333333, tx=-5, ty=-6.66666666666667)", "(x=6.12323399573677e-17, y=1)",
                   "(a=2, b=0, c=0, d=4, tx=5, ty=0)", "(a=2, b=0, c=0, d=1, tx=1638.4, ty=819.2)"}));
}

TEST(GeomColorTransform, RgbAndConcat) {
  Asm a;
  newGeom(a, "c", "ColorTransform", {}, 0);
  a.traceVar("c");
  a.push({"c"}).getVar().push({"rgb", 0x336699}).setMember();
  traceMember(a, "c", "rgb");
  a.traceVar("c");
  newGeom(a, "h", "ColorTransform", {10, 0, 0, 0, 1, 0.5, 0.5, 0.5}, 8);
  callQuiet(a, "h", "concat", {Undef{}}, 1);  // missing fields give NaN, not a crash
  traceMember(a, "h", "redOffset");
  newGeom(a, "k", "ColorTransform", {10, 0, 0, 0, 1, 0.5, 0.5, 0.5}, 8);
  a.push({"c"}).getVar().push({1, "k"}).getVar().push({"concat"}).callMethod().pop();  // k.concat(c)
  a.traceVar("k");
  EXPECT_EQ(runActions(8, a).lines,
            (Lines{"(redMultiplier=1, greenMultiplier=1, blueMultiplier=1, alphaMultiplier=1, redOffset=0, greenOffset=0, "
                   "blueOffset=0, alphaOffset=0)",
                   "3368601",
                   "(redMultiplier=0, greenMultiplier=0, blueMultiplier=0, alphaMultiplier=1, redOffset=51, greenOffset=102, "
                   "blueOffset=153, alphaOffset=0)",
                   "NaN",
                   "(redMultiplier=0, greenMultiplier=0, blueMultiplier=0, alphaMultiplier=1, redOffset=25.5, "
                   "greenOffset=51, blueOffset=76.5, alphaOffset=10)"}));
}

TEST(GeomMethods, WorkOnLookAlikeObjects) {
  // flash.geom.Point.prototype.add.call({x: 1, y: 2}, {x: 3, y: 4})
  Asm a;
  a.push({"x", 3, "y", 4, 2}).op(0x43).push({"x", 1, "y", 2, 2}).op(0x43).push({2});
  geomClass(a, "Point").push({"prototype"}).getMember().push({"add"}).getMember().push({"call"}).callMethod().trace();
  // flash.geom.Rectangle.prototype.toString.call({x: 1, width: "w"})
  a.push({"x", 1, "width", "w", 2}).op(0x43).push({1});
  geomClass(a, "Rectangle").push({"prototype"}).getMember().push({"toString"}).getMember().push({"call"}).callMethod().trace();
  EXPECT_EQ(runActions(8, a).lines, (Lines{"(x=4, y=6)", "(x=1, y=undefined, w=w, h=undefined)"}));
}

}  // namespace
