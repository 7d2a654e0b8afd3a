#include "engine/script/Object.h"

#include <algorithm>

namespace plavex::script {

Property* Object::findOwn(std::string_view name) {
  auto it = index_.find(key(name));
  return it == index_.end() ? nullptr : &entries_[it->second].property;
}

const Property* Object::findOwn(std::string_view name) const {
  auto it = index_.find(key(name));
  return it == index_.end() ? nullptr : &entries_[it->second].property;
}

void Object::setOwn(std::string_view name, Value value, std::uint16_t flagsIfNew) {
  auto k = key(name);
  auto it = index_.find(k);
  if (it != index_.end()) {
    Property& p = entries_[it->second].property;
    p.value = std::move(value);
    p.getter = p.setter = nullptr;
    return;
  }
  index_.emplace(std::move(k), static_cast<std::uint32_t>(entries_.size()));
  entries_.push_back({std::string(name), Property{std::move(value), nullptr, nullptr, flagsIfNew}});
}

void Object::defineAccessor(std::string_view name, Object* getter, Object* setter) {
  setOwn(name, Value());
  Property* p = findOwn(name);
  p->getter = getter;
  p->setter = setter;
}

bool Object::removeOwn(std::string_view name) {
  auto it = index_.find(key(name));
  if (it == index_.end()) return false;
  if (entries_[it->second].property.flags & prop::kDontDelete) return false;
  entries_.erase(entries_.begin() + it->second);
  reindex();
  return true;
}

void Object::reindex() {
  index_.clear();
  for (std::uint32_t i = 0; i < entries_.size(); ++i) index_.emplace(key(entries_[i].name), i);
}

std::vector<std::pair<std::string, std::uint16_t>> Object::ownNames() const {
  std::vector<std::pair<std::string, std::uint16_t>> out;
  out.reserve(entries_.size());
  for (const auto& e : entries_) out.emplace_back(e.name, e.property.flags);
  return out;
}

Property* Object::find(std::string_view name) {
  Object* o = this;
  for (int guard = 0; o && guard < 256; ++guard, o = o->proto_) {
    if (Property* p = o->findOwn(name); p && !o->hiddenByVersion(*p)) return p;
  }
  return nullptr;
}

void Object::setFlags(std::string_view name, std::uint16_t set, std::uint16_t clear) {
  if (Property* p = findOwn(name)) p->flags = static_cast<std::uint16_t>((p->flags | set) & ~clear);
}

Object* Heap::make(ObjectKind kind, Object* proto) {
  objects_.push_back(std::make_unique<Object>(kind, proto, caseSensitive_));
  objects_.back()->setHiddenFlags(hiddenFlags_);
  return objects_.back().get();
}

namespace {

void markValue(const Value& v, std::vector<Object*>& work) {
  if (Object* o = v.object()) work.push_back(o);
}

void markScope(const Scope* s, std::vector<Object*>& work) {
  for (; s; s = s->parent.get()) work.push_back(s->object);
}

}  // namespace

void Heap::collect(std::span<Object* const> roots, std::span<const Value> extraValues) {
  for (auto& o : objects_) o->marked = false;
  std::vector<Object*> work(roots.begin(), roots.end());
  for (const Value& v : extraValues) markValue(v, work);
  while (!work.empty()) {
    Object* o = work.back();
    work.pop_back();
    if (!o || o->marked) continue;
    o->marked = true;
    work.push_back(o->proto());
    for (const auto& [name, flags] : o->ownNames()) {
      const Property* p = o->findOwn(name);
      markValue(p->value, work);
      work.push_back(p->getter);
      work.push_back(p->setter);
    }
    markScope(o->scope.get(), work);
    for (const Value& v : o->elements) markValue(v, work);
    markValue(o->primitive, work);
    for (const auto& [name, w] : o->watchers) {
      work.push_back(w.callback);
      markValue(w.userData, work);
    }
    for (Object* i : o->interfaces) work.push_back(i);
    work.push_back(o->home);
    if (const XmlNodeData* x = o->xml.get()) {
      markValue(x->name, work);
      markValue(x->value, work);
      work.push_back(x->attributes);
      work.push_back(x->childArray);
      work.push_back(x->parent);
      work.insert(work.end(), x->children.begin(), x->children.end());
    }
  }
  std::erase_if(objects_, [](const std::unique_ptr<Object>& o) { return !o->marked; });
}

}  // namespace plavex::script
