// XMLNode and XML: the document tree, the lenient parser with the player's status codes,
// and the text form. Loading over the network is not part of this file.
#include <algorithm>

#include "engine/script/Builtins.h"

namespace plavex::script {

namespace {

constexpr int kElement = 1, kText = 3;
constexpr int kMaxDepth = 256;  // deeper nesting is flattened rather than recursed into

// Parser status codes the player reports in XML.status.
enum ParseStatus {
  kOk = 0,
  kCdataUnterminated = -2,
  kDeclarationUnterminated = -3,
  kDoctypeUnterminated = -4,
  kCommentUnterminated = -5,
  kMalformedElement = -6,
  kAttributeUnterminated = -8,
  kMissingEndTag = -9,
  kUnexpectedEndTag = -10,
};

XmlNodeData* nodeOf(const Value& v) {
  Object* o = v.object();
  return o ? o->xml.get() : nullptr;
}

void syncChildArray(Object* node) {
  XmlNodeData& x = *node->xml;
  if (!x.childArray) return;
  x.childArray->elements.assign(x.children.begin(), x.children.end());
}

void initNode(Vm& vm, Object* o, int type, Value text) {
  o->xml = std::make_unique<XmlNodeData>();
  XmlNodeData& x = *o->xml;
  x.type = type;
  x.name = Value::null();
  x.value = Value::null();
  if (type == kElement && !text.isNullish()) x.name = text;
  if (type != kElement) x.value = text.isUndefined() ? Value::null() : text;
  x.attributes = vm.newObject();
  x.childArray = vm.newArray();
}

// New nodes take the prototype XMLNode has now (scripts replace it to extend nodes).
Object* makeNode(Vm& vm, int type, Value text) {
  Object* proto = vm.getMember(vm.getMember(Value(vm.global()), "XMLNode"), "prototype").object();
  Object* o = vm.make(ObjectKind::Plain, proto ? proto : vm.protoOf("XMLNode"));
  initNode(vm, o, type, std::move(text));
  return o;
}

bool isAncestorOrSelf(Object* candidate, Object* node) {
  for (int guard = 0; node && guard < 100000; ++guard, node = node->xml ? node->xml->parent : nullptr)
    if (node == candidate) return true;
  return false;
}

void detach(Object* child) {
  XmlNodeData& x = *child->xml;
  Object* parent = x.parent;
  if (!parent || !parent->xml) return;
  auto& siblings = parent->xml->children;
  siblings.erase(std::remove(siblings.begin(), siblings.end(), child), siblings.end());
  syncChildArray(parent);
  x.parent = nullptr;
}

// Puts `child` into `parent` before `before` (at the end when null). False when the
// child is the parent or one of its ancestors.
bool attach(Object* parent, Object* child, Object* before) {
  if (!parent->xml || !child->xml || isAncestorOrSelf(child, parent)) return false;
  if (before == child) return false;
  detach(child);
  auto& kids = parent->xml->children;
  auto at = before ? std::find(kids.begin(), kids.end(), before) : kids.end();
  const bool atEnd = at == kids.end();
  kids.insert(at, child);
  child->xml->parent = parent;
  Object* array = parent->xml->childArray;
  if (atEnd && array && array->elements.size() + 1 == kids.size()) array->elements.emplace_back(child);
  else syncChildArray(parent);
  return true;
}

Object* sibling(Object* node, int step) {
  Object* parent = node->xml->parent;
  if (!parent || !parent->xml) return nullptr;
  auto& kids = parent->xml->children;
  auto it = std::find(kids.begin(), kids.end(), node);
  if (it == kids.end()) return nullptr;
  auto i = (it - kids.begin()) + step;
  return i >= 0 && i < static_cast<std::ptrdiff_t>(kids.size()) ? kids[static_cast<std::size_t>(i)] : nullptr;
}

// ---- text form ----

std::string escapeXml(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char c : s) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default: out.push_back(c);
    }
  }
  return out;
}

void appendUtf8(std::string& out, std::uint32_t cp) {
  if (cp == 0 || cp > 0x10FFFF) return;
  char16_t units[2];
  std::u16string_view view;
  if (cp >= 0x10000) {
    units[0] = static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
    units[1] = static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    view = std::u16string_view(units, 2);
  } else {
    units[0] = static_cast<char16_t>(cp);
    view = std::u16string_view(units, 1);
  }
  out += fromUtf16(view);
}

// A character reference "&#39;" or "&#x27;" at the start of `s`: its length, 0 when none.
std::size_t characterReference(std::string_view s, std::string& out) {
  if (s.size() < 4 || s[0] != '&' || s[1] != '#') return 0;
  std::size_t i = 2;
  int radix = 10;
  if (s[i] == 'x' || s[i] == 'X') radix = 16, ++i;
  std::uint32_t cp = 0;
  std::size_t digits = 0;
  for (; i < s.size() && s[i] != ';'; ++i, ++digits) {
    char c = s[i];
    int d = c >= '0' && c <= '9' ? c - '0' : radix == 16 && c >= 'a' && c <= 'f' ? c - 'a' + 10
            : radix == 16 && c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
    if (d < 0 || digits > 7) return 0;
    cp = cp * radix + d;
  }
  if (digits == 0 || i >= s.size()) return 0;
  appendUtf8(out, cp);
  return i + 1;
}

std::string unescapeXml(std::string_view s) {
  static const std::pair<std::string_view, char> entities[] = {
      {"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}, {"&quot;", '"'}, {"&apos;", '\''}};
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    bool replaced = false;
    if (s[i] == '&') {
      for (const auto& [name, c] : entities) {
        if (s.substr(i, name.size()) == name) {
          out.push_back(c);
          i += name.size();
          replaced = true;
          break;
        }
      }
      if (!replaced) {
        if (std::size_t n = characterReference(s.substr(i), out)) {
          i += n;
          replaced = true;
        }
      }
    }
    if (!replaced) out.push_back(s[i++]);
  }
  return out;
}

// Attribute names in the order the player lists them: the last one made first.
std::vector<std::string> attributeOrder(Vm& vm, Object* attrs) {
  std::vector<std::string> names = vm.enumerate(attrs);
  std::reverse(names.begin(), names.end());
  return names;
}

void writeNode(Vm& vm, Object* node, std::string& out, int depth) {
  const XmlNodeData& x = *node->xml;
  if (x.type != kElement) {
    if (!x.value.isNullish()) out += escapeXml(vm.toString(x.value));
    return;
  }
  const bool named = !x.name.isNullish();
  if (named) {
    out += '<';
    out += vm.toString(x.name);
    if (x.attributes) {
      for (const std::string& key : attributeOrder(vm, x.attributes)) {
        Value v = vm.getMember(Value(x.attributes), key);
        out += ' ';
        out += key;
        out += "=\"";
        out += escapeXml(vm.toString(v));
        out += '"';
      }
    }
    if (x.children.empty()) {
      out += " />";
      return;
    }
    out += '>';
  }
  if (depth < kMaxDepth) {
    std::vector<Object*> kids = x.children;  // a toString of a child cannot change this list
    for (Object* child : kids) writeNode(vm, child, out, depth + 1);
  }
  if (named) {
    out += "</";
    out += vm.toString(x.name);
    out += '>';
  }
}

// ---- parsing ----

bool isXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool allSpace(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return isXmlSpace(c); });
}

struct ParseResult {
  int status = kOk;
  std::string xmlDecl, docType;
  bool hasXmlDecl = false, hasDocType = false;
};

class XmlParser {
 public:
  XmlParser(Vm& vm, std::string_view text, bool ignoreWhite) : vm_(vm), s_(text), ignoreWhite_(ignoreWhite) {}

  ParseResult parseInto(Object* document) {
    ParseResult r;
    Object* current = document;
    int depth = 0;
    std::size_t i = 0;
    auto fail = [&](int status) { r.status = status; };
    while (i < s_.size() && r.status == kOk) {
      if (s_[i] != '<') {
        std::size_t end = s_.find('<', i);
        if (end == std::string_view::npos) end = s_.size();
        addText(current, s_.substr(i, end - i), true);
        i = end;
        continue;
      }
      std::string_view rest = s_.substr(i);
      if (rest.starts_with("<!--")) {
        std::size_t end = s_.find("-->", i + 4);
        if (end == std::string_view::npos) { fail(kCommentUnterminated); break; }
        i = end + 3;
      } else if (rest.starts_with("<![CDATA[")) {
        std::size_t end = s_.find("]]>", i + 9);
        if (end == std::string_view::npos) { fail(kCdataUnterminated); break; }
        addText(current, s_.substr(i + 9, end - i - 9), false);
        i = end + 3;
      } else if (rest.starts_with("<!")) {
        std::size_t end = s_.find('>', i);
        if (end == std::string_view::npos) { fail(kDoctypeUnterminated); break; }
        r.docType += std::string(s_.substr(i, end + 1 - i));
        r.hasDocType = true;
        i = end + 1;
      } else if (rest.starts_with("<?")) {
        std::size_t end = s_.find("?>", i + 2);
        if (end == std::string_view::npos) { fail(kDeclarationUnterminated); break; }
        r.xmlDecl += std::string(s_.substr(i, end + 2 - i));
        r.hasXmlDecl = true;
        i = end + 2;
      } else if (rest.starts_with("</")) {
        std::size_t end = s_.find('>', i);
        if (end == std::string_view::npos) { fail(kMalformedElement); break; }
        std::string_view name = s_.substr(i + 2, end - i - 2);
        while (!name.empty() && isXmlSpace(name.back())) name.remove_suffix(1);
        const XmlNodeData& cx = *current->xml;
        if (current == document) { fail(kUnexpectedEndTag); break; }
        if (cx.name.isNullish() || vm_.toString(cx.name) != name) { fail(kMissingEndTag); break; }
        current = cx.parent ? cx.parent : document;
        --depth;
        i = end + 1;
      } else {
        std::size_t j = i + 1;
        while (j < s_.size() && !isXmlSpace(s_[j]) && s_[j] != '>' && s_[j] != '/') ++j;
        std::string_view name = s_.substr(i + 1, j - i - 1);
        if (name.empty()) { fail(kMalformedElement); break; }
        Object* element = makeNode(vm_, kElement, Value(std::string(name)));
        bool selfClosing = false, closed = false;
        std::vector<std::pair<std::string, std::string>> attributes;
        while (j < s_.size()) {
          while (j < s_.size() && isXmlSpace(s_[j])) ++j;
          if (j >= s_.size()) break;
          if (s_[j] == '>') { closed = true; ++j; break; }
          if (s_[j] == '/') {
            if (j + 1 < s_.size() && s_[j + 1] == '>') { selfClosing = closed = true; j += 2; }
            break;
          }
          std::size_t k = j;
          while (k < s_.size() && !isXmlSpace(s_[k]) && s_[k] != '=' && s_[k] != '>' && s_[k] != '/') ++k;
          std::string_view attrName = s_.substr(j, k - j);
          while (k < s_.size() && isXmlSpace(s_[k])) ++k;
          if (attrName.empty() || k >= s_.size() || s_[k] != '=') { r.status = kMalformedElement; break; }
          ++k;
          while (k < s_.size() && isXmlSpace(s_[k])) ++k;
          if (k >= s_.size() || (s_[k] != '"' && s_[k] != '\'')) { r.status = kMalformedElement; break; }
          char quote = s_[k];
          std::size_t close = s_.find(quote, k + 1);
          if (close == std::string_view::npos) { r.status = kAttributeUnterminated; break; }
          attributes.emplace_back(std::string(attrName), unescapeXml(s_.substr(k + 1, close - k - 1)));
          j = close + 1;
        }
        if (r.status != kOk) break;
        // Made last to first, so that they list in the order of the text; the first of
        // repeated names wins.
        Object* attrs = element->xml->attributes;
        for (auto it = attributes.rbegin(); it != attributes.rend(); ++it) attrs->setOwn(it->first, it->second);
        for (const auto& [key, value] : attributes) {
          if (attrs->findOwn(key)) {
            attrs->setOwn(key, value);
            break;
          }
        }
        if (!closed) { fail(kMalformedElement); break; }
        attach(current, element, nullptr);
        if (!selfClosing && depth < kMaxDepth) {
          current = element;
          ++depth;
        }
        i = j;
      }
    }
    if (r.status == kOk && current != document) r.status = kMissingEndTag;
    return r;
  }

 private:
  void addText(Object* parent, std::string_view raw, bool decode) {
    if (raw.empty()) return;
    if (ignoreWhite_ && allSpace(raw)) return;
    attach(parent, makeNode(vm_, kText, Value(decode ? unescapeXml(raw) : std::string(raw))), nullptr);
  }

  Vm& vm_;
  std::string_view s_;
  bool ignoreWhite_;
};

void parseDocument(Vm& vm, Object* doc, const std::string& text) {
  if (!doc->xml) return;
  for (Object* child : std::vector<Object*>(doc->xml->children)) detach(child);
  bool ignoreWhite = vm.toBool(vm.getMember(Value(doc), "ignoreWhite"));
  ParseResult r = XmlParser(vm, text, ignoreWhite).parseInto(doc);
  doc->setOwn("xmlDecl", r.hasXmlDecl ? Value(r.xmlDecl) : Value());
  doc->setOwn("docTypeDecl", r.hasDocType ? Value(r.docType) : Value());
  doc->setOwn("status", static_cast<double>(r.status));
}

// ---- namespaces ----

std::string_view prefixOf(std::string_view name) {
  auto colon = name.find(':');
  return colon == std::string_view::npos ? std::string_view() : name.substr(0, colon);
}

std::string_view localNameOf(std::string_view name) {
  auto colon = name.find(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

// Whether the attribute `name` declares the namespace of `prefix`: "xmlns:p" for a
// prefix; for no prefix, any other name that starts with "xmlns" ("xmlns", "xmlns:").
bool declaresPrefix(std::string_view name, std::string_view prefix) {
  if (!name.starts_with("xmlns")) return false;
  std::string_view rest = name.substr(5);
  if (!prefix.empty()) return rest.size() == prefix.size() + 1 && rest[0] == ':' && rest.substr(1) == prefix;
  return rest.empty() || rest[0] != ':' || rest.size() == 1;
}

// The namespace declared for `prefix` on the node or its nearest ancestor.
Value namespaceFor(Vm& vm, Object* node, std::string_view prefix) {
  for (int guard = 0; node && node->xml && guard < 100000; ++guard, node = node->xml->parent) {
    Object* attrs = node->xml->attributes;
    if (!attrs) continue;
    for (const std::string& key : attributeOrder(vm, attrs))
      if (declaresPrefix(key, prefix)) return vm.getMember(Value(attrs), key);
  }
  return Value::null();
}

Value prefixFor(Vm& vm, Object* node, const std::string& uri) {
  for (int guard = 0; node && node->xml && guard < 100000; ++guard, node = node->xml->parent) {
    Object* attrs = node->xml->attributes;
    if (!attrs) continue;
    for (const std::string& key : attributeOrder(vm, attrs)) {
      if (!key.starts_with("xmlns")) continue;
      if (vm.toString(vm.getMember(Value(attrs), key)) != uri) continue;
      return key.size() > 6 && key[5] == ':' ? key.substr(6) : std::string();
    }
  }
  return Value::null();
}

Object* cloneNode(Vm& vm, Object* node, bool deep, int depth) {
  const XmlNodeData& x = *node->xml;
  Object* copy = makeNode(vm, x.type, x.type == kElement ? x.name : x.value);
  copy->xml->name = x.name;
  copy->xml->value = x.value;
  if (x.attributes) {
    for (const std::string& key : vm.enumerate(x.attributes))
      copy->xml->attributes->setOwn(key, vm.getMember(Value(x.attributes), key));
  }
  if (deep && depth < kMaxDepth) {
    for (Object* child : std::vector<Object*>(x.children)) attach(copy, cloneNode(vm, child, true, depth + 1), nullptr);
  }
  return copy;
}

Value nullable(Object* o) { return o ? Value(o) : Value::null(); }

// An accessor on a prototype whose getter reads the node of `this`.
template <class Get>
void nodeGetter(Vm& vm, Object* proto, const char* name, Get get, NativeFunction set = nullptr) {
  Object* getter = vm.newFunction([get](Vm& vm, const CallArgs& a) -> Value {
    Object* self = a.thisValue.object();
    if (!self || !self->xml) return Value();
    return get(vm, self);
  });
  Object* setter = set ? vm.newFunction(std::move(set)) : nullptr;
  proto->defineAccessor(name, getter, setter);
  proto->setFlags(name, prop::kDontEnum | prop::kDontDelete, 0);
}

void installNodeProperties(Vm& vm, Object* proto) {
  nodeGetter(vm, proto, "nodeType", [](Vm&, Object* o) -> Value { return static_cast<double>(o->xml->type); });
  nodeGetter(vm, proto, "nodeName", [](Vm&, Object* o) -> Value { return o->xml->name; },
             [](Vm&, const CallArgs& a) -> Value {
               if (XmlNodeData* x = nodeOf(a.thisValue)) x->name = a[0];
               return Value();
             });
  nodeGetter(vm, proto, "nodeValue", [](Vm&, Object* o) -> Value { return o->xml->value; },
             [](Vm&, const CallArgs& a) -> Value {
               if (XmlNodeData* x = nodeOf(a.thisValue)) x->value = a[0];
               return Value();
             });
  nodeGetter(vm, proto, "attributes", [](Vm&, Object* o) -> Value { return nullable(o->xml->attributes); },
             [](Vm&, const CallArgs& a) -> Value {
               if (XmlNodeData* x = nodeOf(a.thisValue); x && a[0].isObject()) x->attributes = a[0].object();
               return Value();
             });
  nodeGetter(vm, proto, "childNodes", [](Vm&, Object* o) -> Value { return nullable(o->xml->childArray); });
  nodeGetter(vm, proto, "parentNode", [](Vm&, Object* o) -> Value { return nullable(o->xml->parent); });
  nodeGetter(vm, proto, "firstChild", [](Vm&, Object* o) -> Value {
    return o->xml->children.empty() ? Value::null() : Value(o->xml->children.front());
  });
  nodeGetter(vm, proto, "lastChild", [](Vm&, Object* o) -> Value {
    return o->xml->children.empty() ? Value::null() : Value(o->xml->children.back());
  });
  nodeGetter(vm, proto, "nextSibling", [](Vm&, Object* o) -> Value { return nullable(sibling(o, 1)); });
  nodeGetter(vm, proto, "previousSibling", [](Vm&, Object* o) -> Value { return nullable(sibling(o, -1)); });
  nodeGetter(vm, proto, "prefix", [](Vm& vm, Object* o) -> Value {
    if (o->xml->name.isNullish()) return Value::null();
    return std::string(prefixOf(vm.toString(o->xml->name)));
  });
  nodeGetter(vm, proto, "localName", [](Vm& vm, Object* o) -> Value {
    if (o->xml->name.isNullish()) return Value::null();
    return std::string(localNameOf(vm.toString(o->xml->name)));
  });
  nodeGetter(vm, proto, "namespaceURI", [](Vm& vm, Object* o) -> Value {
    if (o->xml->name.isNullish()) return Value::null();
    Value ns = namespaceFor(vm, o, prefixOf(vm.toString(o->xml->name)));
    return ns.isNull() ? Value(std::string()) : ns;
  });
}

void installNodeMethods(Vm& vm, Object* proto) {
  vm.defineMethod(proto, "appendChild", [](Vm&, const CallArgs& a) -> Value {
    Object* self = a.thisValue.object();
    Object* child = a[0].object();
    if (self && self->xml && child && child->xml) attach(self, child, nullptr);
    return Value();
  });
  vm.defineMethod(proto, "insertBefore", [](Vm&, const CallArgs& a) -> Value {
    Object* self = a.thisValue.object();
    Object* child = a[0].object();
    Object* before = a[1].object();
    if (!self || !self->xml || !child || !child->xml || !before || !before->xml) return Value();
    if (before->xml->parent != self) return Value();
    attach(self, child, before);
    return Value();
  });
  vm.defineMethod(proto, "removeNode", [](Vm&, const CallArgs& a) -> Value {
    Object* self = a.thisValue.object();
    if (self && self->xml) detach(self);
    return Value();
  });
  vm.defineMethod(proto, "cloneNode", [](Vm& vm, const CallArgs& a) -> Value {
    Object* self = a.thisValue.object();
    if (!self || !self->xml) return Value();
    return cloneNode(vm, self, vm.toBool(a[0]), 0);
  });
  vm.defineMethod(proto, "hasChildNodes", [](Vm&, const CallArgs& a) -> Value {
    XmlNodeData* x = nodeOf(a.thisValue);
    return x ? Value(!x->children.empty()) : Value();
  });
  vm.defineMethod(proto, "getNamespaceForPrefix", [](Vm& vm, const CallArgs& a) -> Value {
    Object* self = a.thisValue.object();
    if (!self || !self->xml) return Value();
    return namespaceFor(vm, self, vm.toString(a[0]));
  });
  vm.defineMethod(proto, "getPrefixForNamespace", [](Vm& vm, const CallArgs& a) -> Value {
    Object* self = a.thisValue.object();
    if (!self || !self->xml) return Value();
    return prefixFor(vm, self, vm.toString(a[0]));
  });
  vm.defineMethod(proto, "toString", [](Vm& vm, const CallArgs& a) -> Value {
    Object* self = a.thisValue.object();
    if (!self || !self->xml) return Value();
    std::string out;
    writeNode(vm, self, out, 0);
    return out;
  });
}

void installXmlDocument(Vm& vm, Object* g) {
  Object* proto = vm.protoOf("XML");
  proto->setProto(vm.protoOf("XMLNode"));
  Object* ctor = vm.newFunction([](Vm& vm, const CallArgs& a) -> Value {
    Object* self = a.thisValue.object();
    if (!self) return Value();
    initNode(vm, self, kElement, Value::null());
    if (!a[0].isNullish()) parseDocument(vm, self, vm.toString(a[0]));
    return Value();
  }, proto);
  g->setOwn("XML", ctor, prop::kDontEnum);
  vm.defineMethod(proto, "parseXML", [](Vm& vm, const CallArgs& a) -> Value {
    Object* self = a.thisValue.object();
    if (self && self->xml) parseDocument(vm, self, vm.toString(a[0]));
    return Value();
  });
  vm.defineMethod(proto, "createElement", [](Vm& vm, const CallArgs& a) -> Value {
    return makeNode(vm, kElement, Value(vm.toString(a[0])));
  });
  vm.defineMethod(proto, "createTextNode", [](Vm& vm, const CallArgs& a) -> Value {
    return makeNode(vm, kText, Value(vm.toString(a[0])));
  });
  vm.defineMethod(proto, "toString", [](Vm& vm, const CallArgs& a) -> Value {
    Object* self = a.thisValue.object();
    if (!self || !self->xml) return Value();
    std::string out;
    for (const char* part : {"xmlDecl", "docTypeDecl"}) {
      Value v = vm.getMember(a.thisValue, part);
      if (!v.isUndefined()) out += vm.toString(v);
    }
    writeNode(vm, self, out, 0);
    return out;
  });
  vm.defineMethod(proto, "addRequestHeader", [](Vm&, const CallArgs&) -> Value { return Value(); });
  vm.defineMethod(proto, "getBytesLoaded", [](Vm& vm, const CallArgs& a) -> Value {
    return vm.getMember(a.thisValue, "_bytesLoaded");
  });
  vm.defineMethod(proto, "getBytesTotal", [](Vm& vm, const CallArgs& a) -> Value {
    return vm.getMember(a.thisValue, "_bytesTotal");
  });
  vm.defineMethod(proto, "onLoad", [](Vm&, const CallArgs&) -> Value { return Value(); });
  vm.defineMethod(proto, "onData", [](Vm& vm, const CallArgs& a) -> Value {
    // Text that arrived is parsed, then onLoad reports whether any did.
    bool ok = !a[0].isUndefined();
    if (ok) {
      parseDocument(vm, a.thisValue.object(), vm.toString(a[0]));
      vm.setMember(a.thisValue, "loaded", true);
    } else {
      vm.setMember(a.thisValue, "loaded", false);
    }
    Value onLoad = vm.getMember(a.thisValue, "onLoad");
    Value args[] = {Value(ok)};
    return vm.callValue(onLoad, a.thisValue, args);
  });
  proto->setOwn("contentType", "application/x-www-form-urlencoded", prop::kDontEnum);
  proto->setOwn("ignoreWhite", false, prop::kDontEnum);
  proto->setOwn("loaded", Value(), prop::kDontEnum);
  proto->setOwn("status", 0.0, prop::kDontEnum);
  proto->setOwn("xmlDecl", Value(), prop::kDontEnum);
  proto->setOwn("docTypeDecl", Value(), prop::kDontEnum);
}

}  // namespace

void installXml(Vm& vm, Object* g) {
  Object* proto = vm.protoOf("XMLNode");
  Object* ctor = vm.newFunction([](Vm& vm, const CallArgs& a) -> Value {
    Object* self = a.thisValue.object();
    if (!self || a.size() < 2) return Value();
    int type = toInt32(vm.toNumber(a[0]));
    Value text = a[1].isUndefined() ? Value() : Value(vm.toString(a[1]));
    initNode(vm, self, type, text);
    return Value();
  }, proto);
  g->setOwn("XMLNode", ctor, prop::kDontEnum);
  installNodeProperties(vm, proto);
  installNodeMethods(vm, proto);
  installXmlDocument(vm, g);
}

}  // namespace plavex::script
