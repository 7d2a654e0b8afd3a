// flash.geom (SWF 8 and later): Point, Rectangle, Matrix and ColorTransform. Their
// methods read and write the plain x/y/… properties of whatever `this` is, as the
// player's own do, so scripts may call them on look-alike objects.
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "engine/script/Builtins.h"

namespace plavex::script {

namespace {

constexpr const char* kPointProto = "flash.geom.Point";
constexpr const char* kRectangleProto = "flash.geom.Rectangle";
constexpr const char* kMatrixProto = "flash.geom.Matrix";
constexpr const char* kColorTransformProto = "flash.geom.ColorTransform";

double numberOf(Vm& vm, const Value& base, const char* name) { return vm.toNumber(vm.getMember(base, name)); }

Object* makeInstance(Vm& vm, const char* protoName, std::initializer_list<std::pair<const char*, Value>> fields) {
  Object* proto = vm.protoOf(protoName);
  Object* o = vm.make(ObjectKind::Plain, proto ? proto : vm.protoOf("Object"));
  for (const auto& [name, value] : fields) o->setOwn(name, value);
  return o;
}

Object* newPoint(Vm& vm, Value x, Value y) { return makeInstance(vm, kPointProto, {{"x", x}, {"y", y}}); }

Object* newRectangle(Vm& vm, Value x, Value y, Value w, Value h) {
  return makeInstance(vm, kRectangleProto, {{"x", x}, {"y", y}, {"width", w}, {"height", h}});
}

bool isInstance(Vm& vm, const Value& v, const char* protoName) {
  Object* proto = vm.protoOf(protoName);
  for (Object* p = v.object() ? v.object()->proto() : nullptr; p; p = p->proto())
    if (p == proto) return true;
  return false;
}

// "(x=1, y=2)": every field through the machine's string conversion.
std::string describe(Vm& vm, const Value& self, std::initializer_list<std::pair<const char*, const char*>> fields) {
  std::string out = "(";
  bool first = true;
  for (const auto& [label, name] : fields) {
    if (!first) out += ", ";
    first = false;
    out += label;
    out += '=';
    out += vm.toString(vm.getMember(self, name));
  }
  return out + ")";
}

// Sets the named fields of `self` (constructors: none given -> defaults, else the raw arguments).
void assignFields(Vm& vm, const CallArgs& a, std::initializer_list<std::pair<const char*, Value>> defaults) {
  Object* self = a.thisValue.object();
  if (!self) return;
  std::size_t i = 0;
  for (const auto& [name, fallback] : defaults) {
    self->setOwn(name, a.size() == 0 ? fallback : a[i]);
    ++i;
  }
}

void accessor(Vm& vm, Object* proto, const char* name, NativeFunction get, NativeFunction set) {
  proto->defineAccessor(name, vm.newFunction(std::move(get)), set ? vm.newFunction(std::move(set)) : nullptr);
  proto->setFlags(name, prop::kDontEnum, 0);
}

Object* makeClass(Vm& vm, Object* package, const char* name, const char* protoName, NativeFunction init) {
  Object* proto = vm.newObject();
  Object* ctor = vm.newFunction(std::move(init), proto);
  package->setOwn(name, ctor, prop::kDontEnum);
  vm.registerPrototype(protoName, proto);
  return proto;
}

// ---- Point ----

void installPoint(Vm& vm, Object* package) {
  Object* proto = makeClass(vm, package, "Point", kPointProto, [](Vm& vm, const CallArgs& a) -> Value {
    Object* self = a.thisValue.object();
    if (!self) return Value();
    self->setOwn("x", a.size() ? a[0] : Value(0.0));
    self->setOwn("y", a.size() ? a[1] : Value(0.0));
    return Value();
  });
  Object* ctor = package->findOwn("Point")->value.object();
  accessor(vm, proto, "length", [](Vm& vm, const CallArgs& a) -> Value {
    return std::hypot(numberOf(vm, a.thisValue, "x"), numberOf(vm, a.thisValue, "y"));
  }, nullptr);
  vm.defineMethod(proto, "toString", [](Vm& vm, const CallArgs& a) -> Value {
    return describe(vm, a.thisValue, {{"x", "x"}, {"y", "y"}});
  });
  vm.defineMethod(proto, "clone", [](Vm& vm, const CallArgs& a) -> Value {
    return newPoint(vm, vm.getMember(a.thisValue, "x"), vm.getMember(a.thisValue, "y"));
  });
  vm.defineMethod(proto, "add", [](Vm& vm, const CallArgs& a) -> Value {
    return newPoint(vm, numberOf(vm, a.thisValue, "x") + numberOf(vm, a[0], "x"),
                    numberOf(vm, a.thisValue, "y") + numberOf(vm, a[0], "y"));
  });
  vm.defineMethod(proto, "subtract", [](Vm& vm, const CallArgs& a) -> Value {
    return newPoint(vm, numberOf(vm, a.thisValue, "x") - numberOf(vm, a[0], "x"),
                    numberOf(vm, a.thisValue, "y") - numberOf(vm, a[0], "y"));
  });
  vm.defineMethod(proto, "equals", [](Vm& vm, const CallArgs& a) -> Value {
    if (!isInstance(vm, a[0], kPointProto)) return false;
    return Vm::equalsStrict(vm.getMember(a.thisValue, "x"), vm.getMember(a[0], "x")) &&
           Vm::equalsStrict(vm.getMember(a.thisValue, "y"), vm.getMember(a[0], "y"));
  });
  vm.defineMethod(proto, "normalize", [](Vm& vm, const CallArgs& a) -> Value {
    double length = vm.toNumber(vm.getMember(a.thisValue, "length"));
    if (!std::isfinite(length)) return Value();  // a NaN coordinate leaves the point as it is
    double x = numberOf(vm, a.thisValue, "x"), y = numberOf(vm, a.thisValue, "y");
    double wanted = vm.toNumber(a[0]);
    double factor = length == 0 ? wanted : wanted / length;
    vm.setMember(a.thisValue, "x", x * factor);
    vm.setMember(a.thisValue, "y", y * factor);
    return Value();
  });
  vm.defineMethod(proto, "offset", [](Vm& vm, const CallArgs& a) -> Value {
    vm.setMember(a.thisValue, "x", numberOf(vm, a.thisValue, "x") + vm.toNumber(a[0]));
    vm.setMember(a.thisValue, "y", numberOf(vm, a.thisValue, "y") + vm.toNumber(a[1]));
    return Value();
  });
  // distance goes through the first point's own subtract, so a plain object gives undefined.
  vm.defineMethod(ctor, "distance", [](Vm& vm, const CallArgs& a) -> Value {
    if (a.size() < 2) return std::nan("");
    Value delta = vm.callValue(vm.getMember(a[0], "subtract"), a[0], a.args.subspan(1, 1));
    return vm.getMember(delta, "length");
  });
  vm.defineMethod(ctor, "interpolate", [](Vm& vm, const CallArgs& a) -> Value {
    double f = vm.toNumber(a[2]);
    double x1 = numberOf(vm, a[0], "x"), y1 = numberOf(vm, a[0], "y");
    double x2 = numberOf(vm, a[1], "x"), y2 = numberOf(vm, a[1], "y");
    return newPoint(vm, x2 + f * (x1 - x2), y2 + f * (y1 - y2));
  });
  vm.defineMethod(ctor, "polar", [](Vm& vm, const CallArgs& a) -> Value {
    double length = vm.toNumber(a[0]), angle = vm.toNumber(a[1]);
    return newPoint(vm, length * std::cos(angle), length * std::sin(angle));
  });
}

// ---- Rectangle ----

struct Box {
  double x, y, w, h;
  bool empty() const { return !(w > 0) || !(h > 0); }
};

Box boxOf(Vm& vm, const Value& v) {
  return {numberOf(vm, v, "x"), numberOf(vm, v, "y"), numberOf(vm, v, "width"), numberOf(vm, v, "height")};
}

void setBox(Vm& vm, const Value& self, const Box& b) {
  vm.setMember(self, "x", b.x);
  vm.setMember(self, "y", b.y);
  vm.setMember(self, "width", b.w);
  vm.setMember(self, "height", b.h);
}

void installRectangle(Vm& vm, Object* package) {
  Object* proto = makeClass(vm, package, "Rectangle", kRectangleProto, [](Vm& vm, const CallArgs& a) -> Value {
    assignFields(vm, a, {{"x", 0.0}, {"y", 0.0}, {"width", 0.0}, {"height", 0.0}});
    return Value();
  });
  auto num = [](Vm& vm, const CallArgs& a, const char* n) { return numberOf(vm, a.thisValue, n); };
  accessor(vm, proto, "left", [](Vm& vm, const CallArgs& a) { return vm.getMember(a.thisValue, "x"); },
           [num](Vm& vm, const CallArgs& a) -> Value {
             double v = vm.toNumber(a[0]);
             vm.setMember(a.thisValue, "width", num(vm, a, "width") + num(vm, a, "x") - v);
             vm.setMember(a.thisValue, "x", v);
             return Value();
           });
  accessor(vm, proto, "top", [](Vm& vm, const CallArgs& a) { return vm.getMember(a.thisValue, "y"); },
           [num](Vm& vm, const CallArgs& a) -> Value {
             double v = vm.toNumber(a[0]);
             vm.setMember(a.thisValue, "height", num(vm, a, "height") + num(vm, a, "y") - v);
             vm.setMember(a.thisValue, "y", v);
             return Value();
           });
  accessor(vm, proto, "right", [num](Vm& vm, const CallArgs& a) -> Value { return num(vm, a, "x") + num(vm, a, "width"); },
           [num](Vm& vm, const CallArgs& a) -> Value {
             vm.setMember(a.thisValue, "width", vm.toNumber(a[0]) - num(vm, a, "x"));
             return Value();
           });
  accessor(vm, proto, "bottom", [num](Vm& vm, const CallArgs& a) -> Value { return num(vm, a, "y") + num(vm, a, "height"); },
           [num](Vm& vm, const CallArgs& a) -> Value {
             vm.setMember(a.thisValue, "height", vm.toNumber(a[0]) - num(vm, a, "y"));
             return Value();
           });
  accessor(vm, proto, "topLeft", [](Vm& vm, const CallArgs& a) -> Value {
    return newPoint(vm, vm.getMember(a.thisValue, "x"), vm.getMember(a.thisValue, "y"));
  }, [num](Vm& vm, const CallArgs& a) -> Value {
    double px = numberOf(vm, a[0], "x"), py = numberOf(vm, a[0], "y");
    vm.setMember(a.thisValue, "width", num(vm, a, "width") + num(vm, a, "x") - px);
    vm.setMember(a.thisValue, "height", num(vm, a, "height") + num(vm, a, "y") - py);
    vm.setMember(a.thisValue, "x", px);
    vm.setMember(a.thisValue, "y", py);
    return Value();
  });
  accessor(vm, proto, "bottomRight", [num](Vm& vm, const CallArgs& a) -> Value {
    return newPoint(vm, num(vm, a, "x") + num(vm, a, "width"), num(vm, a, "y") + num(vm, a, "height"));
  }, [num](Vm& vm, const CallArgs& a) -> Value {
    vm.setMember(a.thisValue, "width", numberOf(vm, a[0], "x") - num(vm, a, "x"));
    vm.setMember(a.thisValue, "height", numberOf(vm, a[0], "y") - num(vm, a, "y"));
    return Value();
  });
  accessor(vm, proto, "size", [](Vm& vm, const CallArgs& a) -> Value {
    return newPoint(vm, vm.getMember(a.thisValue, "width"), vm.getMember(a.thisValue, "height"));
  }, [](Vm& vm, const CallArgs& a) -> Value {
    vm.setMember(a.thisValue, "width", vm.getMember(a[0], "x"));
    vm.setMember(a.thisValue, "height", vm.getMember(a[0], "y"));
    return Value();
  });
  vm.defineMethod(proto, "toString", [](Vm& vm, const CallArgs& a) -> Value {
    return describe(vm, a.thisValue, {{"x", "x"}, {"y", "y"}, {"w", "width"}, {"h", "height"}});
  });
  vm.defineMethod(proto, "clone", [](Vm& vm, const CallArgs& a) -> Value {
    const Value& s = a.thisValue;
    return newRectangle(vm, vm.getMember(s, "x"), vm.getMember(s, "y"), vm.getMember(s, "width"), vm.getMember(s, "height"));
  });
  vm.defineMethod(proto, "isEmpty", [](Vm& vm, const CallArgs& a) -> Value { return boxOf(vm, a.thisValue).empty(); });
  vm.defineMethod(proto, "setEmpty", [](Vm& vm, const CallArgs& a) -> Value {
    setBox(vm, a.thisValue, {0, 0, 0, 0});
    return Value();
  });
  auto containsXY = [](const Box& b, double x, double y) { return x >= b.x && x < b.x + b.w && y >= b.y && y < b.y + b.h; };
  vm.defineMethod(proto, "contains", [containsXY](Vm& vm, const CallArgs& a) -> Value {
    return containsXY(boxOf(vm, a.thisValue), vm.toNumber(a[0]), vm.toNumber(a[1]));
  });
  vm.defineMethod(proto, "containsPoint", [containsXY](Vm& vm, const CallArgs& a) -> Value {
    return containsXY(boxOf(vm, a.thisValue), numberOf(vm, a[0], "x"), numberOf(vm, a[0], "y"));
  });
  vm.defineMethod(proto, "containsRectangle", [](Vm& vm, const CallArgs& a) -> Value {
    Box b = boxOf(vm, a.thisValue), r = boxOf(vm, a[0]);
    return r.x >= b.x && r.y >= b.y && r.x + r.w <= b.x + b.w && r.y + r.h <= b.y + b.h;
  });
  vm.defineMethod(proto, "equals", [](Vm& vm, const CallArgs& a) -> Value {
    if (!isInstance(vm, a[0], kRectangleProto)) return false;
    for (const char* n : {"x", "y", "width", "height"})
      if (!Vm::equalsStrict(vm.getMember(a.thisValue, n), vm.getMember(a[0], n))) return false;
    return true;
  });
  vm.defineMethod(proto, "inflate", [](Vm& vm, const CallArgs& a) -> Value {
    Box b = boxOf(vm, a.thisValue);
    double dx = vm.toNumber(a[0]), dy = vm.toNumber(a[1]);
    setBox(vm, a.thisValue, {b.x - dx, b.y - dy, b.w + 2 * dx, b.h + 2 * dy});
    return Value();
  });
  vm.defineMethod(proto, "inflatePoint", [](Vm& vm, const CallArgs& a) -> Value {
    Box b = boxOf(vm, a.thisValue);
    double dx = numberOf(vm, a[0], "x"), dy = numberOf(vm, a[0], "y");
    setBox(vm, a.thisValue, {b.x - dx, b.y - dy, b.w + 2 * dx, b.h + 2 * dy});
    return Value();
  });
  vm.defineMethod(proto, "offset", [](Vm& vm, const CallArgs& a) -> Value {
    vm.setMember(a.thisValue, "x", numberOf(vm, a.thisValue, "x") + vm.toNumber(a[0]));
    vm.setMember(a.thisValue, "y", numberOf(vm, a.thisValue, "y") + vm.toNumber(a[1]));
    return Value();
  });
  vm.defineMethod(proto, "offsetPoint", [](Vm& vm, const CallArgs& a) -> Value {
    vm.setMember(a.thisValue, "x", numberOf(vm, a.thisValue, "x") + numberOf(vm, a[0], "x"));
    vm.setMember(a.thisValue, "y", numberOf(vm, a.thisValue, "y") + numberOf(vm, a[0], "y"));
    return Value();
  });
  auto intersect = [](const Box& b, const Box& r) -> Box {
    if (b.empty() || r.empty()) return {0, 0, 0, 0};
    double left = std::max(b.x, r.x), top = std::max(b.y, r.y);
    double right = std::min(b.x + b.w, r.x + r.w), bottom = std::min(b.y + b.h, r.y + r.h);
    if (!(right > left) || !(bottom > top)) return {0, 0, 0, 0};
    return {left, top, right - left, bottom - top};
  };
  vm.defineMethod(proto, "intersection", [intersect](Vm& vm, const CallArgs& a) -> Value {
    Box i = intersect(boxOf(vm, a.thisValue), boxOf(vm, a[0]));
    return newRectangle(vm, i.x, i.y, i.w, i.h);
  });
  vm.defineMethod(proto, "intersects", [intersect](Vm& vm, const CallArgs& a) -> Value {
    return !intersect(boxOf(vm, a.thisValue), boxOf(vm, a[0])).empty();
  });
  vm.defineMethod(proto, "union", [](Vm& vm, const CallArgs& a) -> Value {
    Box b = boxOf(vm, a.thisValue), r = boxOf(vm, a[0]);
    Box u = b.empty() ? r : r.empty() ? b : Box{};
    if (!b.empty() && !r.empty()) {
      double left = std::min(b.x, r.x), top = std::min(b.y, r.y);
      u = {left, top, std::max(b.x + b.w, r.x + r.w) - left, std::max(b.y + b.h, r.y + r.h) - top};
    }
    return newRectangle(vm, u.x, u.y, u.w, u.h);
  });
}

// ---- Matrix ----

struct Affine {
  double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;
  // This transform followed by `m`.
  Affine then(const Affine& m) const {
    return {a * m.a + b * m.c, a * m.b + b * m.d, c * m.a + d * m.c, c * m.b + d * m.d,
            tx * m.a + ty * m.c + m.tx, tx * m.b + ty * m.d + m.ty};
  }
};

Affine affineOf(Vm& vm, const Value& v) {
  return {numberOf(vm, v, "a"), numberOf(vm, v, "b"), numberOf(vm, v, "c"),
          numberOf(vm, v, "d"), numberOf(vm, v, "tx"), numberOf(vm, v, "ty")};
}

void setAffine(Vm& vm, const Value& self, const Affine& m) {
  vm.setMember(self, "a", m.a);
  vm.setMember(self, "b", m.b);
  vm.setMember(self, "c", m.c);
  vm.setMember(self, "d", m.d);
  vm.setMember(self, "tx", m.tx);
  vm.setMember(self, "ty", m.ty);
}

Affine box(double sx, double sy, double rotation, double tx, double ty) {
  double cs = std::cos(rotation), sn = std::sin(rotation);
  return {cs * sx, sn * sy, -sn * sx, cs * sy, tx, ty};
}

// Arguments after the required ones default to 0 when absent.
double optionalNumber(Vm& vm, const CallArgs& a, std::size_t i) { return i < a.size() ? vm.toNumber(a[i]) : 0.0; }

void installMatrix(Vm& vm, Object* package) {
  Object* proto = makeClass(vm, package, "Matrix", kMatrixProto, [](Vm& vm, const CallArgs& a) -> Value {
    assignFields(vm, a, {{"a", 1.0}, {"b", 0.0}, {"c", 0.0}, {"d", 1.0}, {"tx", 0.0}, {"ty", 0.0}});
    return Value();
  });
  vm.defineMethod(proto, "toString", [](Vm& vm, const CallArgs& a) -> Value {
    return describe(vm, a.thisValue, {{"a", "a"}, {"b", "b"}, {"c", "c"}, {"d", "d"}, {"tx", "tx"}, {"ty", "ty"}});
  });
  vm.defineMethod(proto, "clone", [](Vm& vm, const CallArgs& a) -> Value {
    const Value& s = a.thisValue;
    return makeInstance(vm, kMatrixProto, {{"a", vm.getMember(s, "a")}, {"b", vm.getMember(s, "b")},
                                           {"c", vm.getMember(s, "c")}, {"d", vm.getMember(s, "d")},
                                           {"tx", vm.getMember(s, "tx")}, {"ty", vm.getMember(s, "ty")}});
  });
  vm.defineMethod(proto, "identity", [](Vm& vm, const CallArgs& a) -> Value {
    setAffine(vm, a.thisValue, Affine{});
    return Value();
  });
  vm.defineMethod(proto, "concat", [](Vm& vm, const CallArgs& a) -> Value {
    setAffine(vm, a.thisValue, affineOf(vm, a.thisValue).then(affineOf(vm, a[0])));
    return Value();
  });
  vm.defineMethod(proto, "invert", [](Vm& vm, const CallArgs& a) -> Value {
    Affine m = affineOf(vm, a.thisValue);
    double det = m.a * m.d - m.b * m.c;
    // A singular matrix has no inverse: it becomes the identity rather than infinities.
    if (det == 0 || !std::isfinite(det)) {
      setAffine(vm, a.thisValue, Affine{});
      return Value();
    }
    setAffine(vm, a.thisValue, {m.d / det, -m.b / det, -m.c / det, m.a / det,
                                (m.c * m.ty - m.d * m.tx) / det, (m.b * m.tx - m.a * m.ty) / det});
    return Value();
  });
  vm.defineMethod(proto, "rotate", [](Vm& vm, const CallArgs& a) -> Value {
    setAffine(vm, a.thisValue, affineOf(vm, a.thisValue).then(box(1, 1, vm.toNumber(a[0]), 0, 0)));
    return Value();
  });
  vm.defineMethod(proto, "scale", [](Vm& vm, const CallArgs& a) -> Value {
    setAffine(vm, a.thisValue, affineOf(vm, a.thisValue).then({vm.toNumber(a[0]), 0, 0, vm.toNumber(a[1]), 0, 0}));
    return Value();
  });
  vm.defineMethod(proto, "translate", [](Vm& vm, const CallArgs& a) -> Value {
    vm.setMember(a.thisValue, "tx", numberOf(vm, a.thisValue, "tx") + vm.toNumber(a[0]));
    vm.setMember(a.thisValue, "ty", numberOf(vm, a.thisValue, "ty") + vm.toNumber(a[1]));
    return Value();
  });
  vm.defineMethod(proto, "createBox", [](Vm& vm, const CallArgs& a) -> Value {
    setAffine(vm, a.thisValue, box(vm.toNumber(a[0]), vm.toNumber(a[1]), optionalNumber(vm, a, 2),
                                   optionalNumber(vm, a, 3), optionalNumber(vm, a, 4)));
    return Value();
  });
  // A gradient square is 1638.4 twips-per-unit wide; the box centres it on the area.
  vm.defineMethod(proto, "createGradientBox", [](Vm& vm, const CallArgs& a) -> Value {
    double w = vm.toNumber(a[0]), h = vm.toNumber(a[1]);
    setAffine(vm, a.thisValue, box(w / 1638.4, h / 1638.4, optionalNumber(vm, a, 2),
                                   optionalNumber(vm, a, 3) + w / 2, optionalNumber(vm, a, 4) + h / 2));
    return Value();
  });
  vm.defineMethod(proto, "transformPoint", [](Vm& vm, const CallArgs& a) -> Value {
    Affine m = affineOf(vm, a.thisValue);
    double x = numberOf(vm, a[0], "x"), y = numberOf(vm, a[0], "y");
    return newPoint(vm, m.a * x + m.c * y + m.tx, m.b * x + m.d * y + m.ty);
  });
  vm.defineMethod(proto, "deltaTransformPoint", [](Vm& vm, const CallArgs& a) -> Value {
    Affine m = affineOf(vm, a.thisValue);
    double x = numberOf(vm, a[0], "x"), y = numberOf(vm, a[0], "y");
    return newPoint(vm, m.a * x + m.c * y, m.b * x + m.d * y);
  });
}

// ---- ColorTransform ----

constexpr const char* kColorFields[] = {"redMultiplier", "greenMultiplier", "blueMultiplier", "alphaMultiplier",
                                        "redOffset",     "greenOffset",     "blueOffset",     "alphaOffset"};

void installColorTransform(Vm& vm, Object* package) {
  Object* proto = makeClass(vm, package, "ColorTransform", kColorTransformProto, [](Vm& vm, const CallArgs& a) -> Value {
    Object* self = a.thisValue.object();
    if (!self) return Value();
    for (std::size_t i = 0; i < 8; ++i) self->setOwn(kColorFields[i], i < a.size() ? vm.toNumber(a[i]) : i < 4 ? 1.0 : 0.0);
    return Value();
  });
  vm.defineMethod(proto, "toString", [](Vm& vm, const CallArgs& a) -> Value {
    std::string out = "(";
    for (std::size_t i = 0; i < 8; ++i) {
      if (i) out += ", ";
      out += kColorFields[i];
      out += '=';
      out += vm.toString(vm.getMember(a.thisValue, kColorFields[i]));
    }
    return out + ")";
  });
  accessor(vm, proto, "rgb", [](Vm& vm, const CallArgs& a) -> Value {
    auto channel = [&](const char* n) { return static_cast<std::uint32_t>(toInt32(numberOf(vm, a.thisValue, n))) & 0xff; };
    return static_cast<double>(channel("redOffset") << 16 | channel("greenOffset") << 8 | channel("blueOffset"));
  }, [](Vm& vm, const CallArgs& a) -> Value {
    auto rgb = static_cast<std::uint32_t>(toInt32(vm.toNumber(a[0])));
    for (const char* n : {"redMultiplier", "greenMultiplier", "blueMultiplier"}) vm.setMember(a.thisValue, n, 0.0);
    vm.setMember(a.thisValue, "redOffset", static_cast<double>(rgb >> 16 & 0xff));
    vm.setMember(a.thisValue, "greenOffset", static_cast<double>(rgb >> 8 & 0xff));
    vm.setMember(a.thisValue, "blueOffset", static_cast<double>(rgb & 0xff));
    return Value();
  });
  // The second transform applies first: offsets are scaled by this one's multipliers.
  vm.defineMethod(proto, "concat", [](Vm& vm, const CallArgs& a) -> Value {
    const Value& s = a.thisValue;
    for (int i = 0; i < 4; ++i) {
      double mine = numberOf(vm, s, kColorFields[i]);
      vm.setMember(s, kColorFields[i + 4], numberOf(vm, s, kColorFields[i + 4]) + numberOf(vm, a[0], kColorFields[i + 4]) * mine);
      vm.setMember(s, kColorFields[i], mine * numberOf(vm, a[0], kColorFields[i]));
    }
    return Value();
  });
}

}  // namespace

void installGeom(Vm& vm, Object* g) {
  // The package objects exist for SWF 8 movies and later only.
  Object* flash = vm.newObject();
  g->setOwn("flash", flash, prop::kDontEnum | prop::kVersion8);
  Object* geom = vm.newObject();
  flash->setOwn("geom", geom, prop::kDontEnum);
  installPoint(vm, geom);
  installRectangle(vm, geom);
  installMatrix(vm, geom);
  installColorTransform(vm, geom);
}

}  // namespace plavex::script
