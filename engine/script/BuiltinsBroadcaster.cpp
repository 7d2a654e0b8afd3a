// AsBroadcaster: the listener list the player's event sources share. Its methods work
// on whatever `this._listeners` holds, as the player's own do.
#include "engine/script/Builtins.h"

namespace plavex::script {

namespace {

Object* listenersOf(Vm& vm, const Value& self) {
  Object* list = vm.getMember(self, "_listeners").object();
  return list && list->kind() == ObjectKind::Array ? list : nullptr;
}

bool removeListener(Vm& vm, Object* list, const Value& listener) {
  auto& el = list->elements;
  for (std::size_t i = 0; i < el.size(); ++i) {
    if (vm.equalsLoose(el[i], listener)) {
      el.erase(el.begin() + static_cast<std::ptrdiff_t>(i));
      return true;
    }
  }
  return false;
}

Value addListenerMethod(Vm& vm, const CallArgs& a) {
  Object* list = listenersOf(vm, a.thisValue);
  if (!list) return true;
  removeListener(vm, list, a[0]);
  list->elements.push_back(a[0]);
  return true;
}

Value removeListenerMethod(Vm& vm, const CallArgs& a) {
  Object* list = listenersOf(vm, a.thisValue);
  return list ? removeListener(vm, list, a[0]) : false;
}

Value broadcastMessageMethod(Vm& vm, const CallArgs& a) {
  if (a.size() == 0) return Value();
  Object* list = listenersOf(vm, a.thisValue);
  if (!list) return Value();
  std::string name = vm.toString(a[0]);
  std::span<const Value> rest = a.args.subspan(1);
  // Listeners added or removed by a handler take effect from the next message.
  std::vector<Value> listeners = list->elements;
  for (const Value& listener : listeners) {
    Value method = name.empty() ? listener : vm.getMember(listener, name);
    vm.callValue(method, listener, rest);
    if (vm.aborted() || vm.hasPendingThrow()) return Value();
  }
  return listeners.empty() ? Value() : Value(true);
}

}  // namespace

void initializeBroadcaster(Vm& vm, Object* target) {
  Object* broadcaster = vm.global()->findOwn("AsBroadcaster") ? vm.global()->findOwn("AsBroadcaster")->value.object()
                                                               : nullptr;
  for (const char* name : {"broadcastMessage", "addListener", "removeListener"}) {
    Value method = broadcaster ? vm.getMember(Value(broadcaster), name) : Value();
    target->setOwn(name, method, prop::kDontEnum);
  }
  target->setOwn("_listeners", vm.newArray(), prop::kDontEnum);
}

void installBroadcaster(Vm& vm, Object* g) {
  Object* ctor = vm.newFunction([](Vm&, const CallArgs&) -> Value { return Value(); }, vm.newObject());
  g->setOwn("AsBroadcaster", ctor, prop::kDontEnum);
  const std::uint16_t hidden = prop::kDontEnum | prop::kDontDelete;
  ctor->setOwn("broadcastMessage", vm.newFunction(broadcastMessageMethod), hidden);
  ctor->setOwn("addListener", vm.newFunction(addListenerMethod), hidden);
  ctor->setOwn("removeListener", vm.newFunction(removeListenerMethod), hidden);
  ctor->setOwn("initialize", vm.newFunction([](Vm& vm, const CallArgs& a) -> Value {
    if (Object* target = a[0].object()) initializeBroadcaster(vm, target);
    return Value();
  }), hidden);
}

}  // namespace plavex::script
