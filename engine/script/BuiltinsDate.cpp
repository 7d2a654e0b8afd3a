// Date (in the local time zone) and the MovieClip methods that go to the stage.
#include <chrono>
#include <cmath>
#include <ctime>

#include "engine/script/Builtins.h"

namespace plavex::script {

namespace {

double dateValue(Object* o) {
  if (!o || o->kind() != ObjectKind::Date || !o->primitive.isNumber()) return std::nan("");
  return o->primitive.number();
}

struct Broken {
  int year = 1970, month = 0, day = 1, hours = 0, minutes = 0, seconds = 0, ms = 0, weekday = 4;
  long offsetMinutes = 0;  // local minus UTC
};

Broken split(double t, bool utc) {
  Broken b;
  if (!std::isfinite(t) || std::fabs(t) > 8.64e15) return b;  // beyond the dates a Date can hold
  double secs = std::floor(t / 1000);
  b.ms = static_cast<int>(t - secs * 1000);
  std::time_t tt = static_cast<std::time_t>(secs);
  std::tm tm{};
  if (utc) gmtime_r(&tt, &tm);
  else localtime_r(&tt, &tm);
  b.year = tm.tm_year + 1900;
  b.month = tm.tm_mon;
  b.day = tm.tm_mday;
  b.hours = tm.tm_hour;
  b.minutes = tm.tm_min;
  b.seconds = tm.tm_sec;
  b.weekday = tm.tm_wday;
  b.offsetMinutes = utc ? 0 : tm.tm_gmtoff / 60;
  return b;
}

double join(const Broken& b, bool utc) {
  // Normalise months beyond the year as the player does.
  std::tm tm{};
  tm.tm_year = b.year - 1900;
  tm.tm_mon = b.month;
  tm.tm_mday = b.day;
  tm.tm_hour = b.hours;
  tm.tm_min = b.minutes;
  tm.tm_sec = b.seconds;
  tm.tm_isdst = -1;
  std::time_t t = utc ? timegm(&tm) : std::mktime(&tm);
  double ms = static_cast<double>(t) * 1000 + b.ms;
  return std::fabs(ms) > 8.64e15 ? std::nan("") : ms;
}

// Year, month[, day, hours, minutes, seconds, ms] as the constructor and Date.UTC take them;
// two-digit years are in the 1900s. `year` gets the year as given, to test it for NaN.
Broken brokenFromArguments(Vm& vm, const CallArgs& a, double& year) {
  Broken b;
  year = vm.toNumber(a[0]);
  if (year >= 0 && year < 100) year += 1900;
  b.year = clampToInt(year);
  b.month = clampToInt(vm.toNumber(a[1]));
  b.day = a.size() > 2 ? clampToInt(vm.toNumber(a[2])) : 1;
  b.hours = a.size() > 3 ? clampToInt(vm.toNumber(a[3])) : 0;
  b.minutes = a.size() > 4 ? clampToInt(vm.toNumber(a[4])) : 0;
  b.seconds = a.size() > 5 ? clampToInt(vm.toNumber(a[5])) : 0;
  b.ms = a.size() > 6 ? clampToInt(vm.toNumber(a[6])) : 0;
  return b;
}

double nowMs() {
  return static_cast<double>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::system_clock::now().time_since_epoch())
                                 .count());
}

std::string format(double t) {
  if (std::isnan(t)) return "Invalid Date";
  static const char* days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  Broken b = split(t, false);
  long off = b.offsetMinutes;
  char buf[96];
  std::snprintf(buf, sizeof buf, "%s %s %d %02d:%02d:%02d GMT%c%02ld%02ld %d", days[b.weekday], months[b.month], b.day,
                b.hours, b.minutes, b.seconds, off < 0 ? '-' : '+', std::labs(off) / 60, std::labs(off) % 60, b.year);
  return buf;
}

}  // namespace

void installDate(Vm& vm, Object* g) {
  Object* proto = vm.protoOf("Date");
  auto make = [](Vm& vm, const CallArgs& a) -> Value {
    Object* d = vm.make(ObjectKind::Date, vm.protoOf("Date"));
    double t = nowMs();
    if (a.size() == 1) {
      t = vm.toNumber(a[0]);
    } else if (a.size() > 1) {
      double year = 0;
      const Broken b = brokenFromArguments(vm, a, year);
      t = std::isfinite(year) ? join(b, false) : std::nan("");
    }
    d->primitive = t;
    return d;
  };
  Object* ctor = vm.newFunction([](Vm& vm, const CallArgs&) -> Value { return format(nowMs()); }, proto);
  ctor->nativeConstructor = make;
  g->setOwn("Date", ctor, prop::kDontEnum);
  vm.defineMethod(ctor, "UTC", [](Vm& vm, const CallArgs& a) -> Value {
    double year = 0;
    return join(brokenFromArguments(vm, a, year), true);
  });
  auto self = [](const CallArgs& a) { return dateValue(a.thisValue.object()); };
  vm.defineMethod(proto, "getTime", [self](Vm&, const CallArgs& a) -> Value { return self(a); });
  vm.defineMethod(proto, "valueOf", [self](Vm&, const CallArgs& a) -> Value { return self(a); });
  vm.defineMethod(proto, "toString", [self](Vm&, const CallArgs& a) -> Value { return format(self(a)); });
  vm.defineMethod(proto, "setTime", [](Vm& vm, const CallArgs& a) -> Value {
    Object* o = a.thisValue.object();
    if (!o || o->kind() != ObjectKind::Date) return Value();
    o->primitive = vm.toNumber(a[0]);
    return o->primitive;
  });
  vm.defineMethod(proto, "getTimezoneOffset", [self](Vm&, const CallArgs& a) -> Value {
    double t = self(a);
    if (std::isnan(t)) return t;
    return static_cast<double>(-split(t, false).offsetMinutes);
  });
  struct Field {
    const char* getter;
    const char* setter;
    int Broken::*member;
  };
  static const Field fields[] = {
      {"FullYear", "FullYear", &Broken::year}, {"Month", "Month", &Broken::month}, {"Date", "Date", &Broken::day},
      {"Hours", "Hours", &Broken::hours},      {"Minutes", "Minutes", &Broken::minutes},
      {"Seconds", "Seconds", &Broken::seconds}, {"Milliseconds", "Milliseconds", &Broken::ms},
      {"Day", nullptr, &Broken::weekday}};
  for (bool utc : {false, true}) {
    for (const Field& field : fields) {
      std::string base = std::string(utc ? "UTC" : "") + field.getter;
      auto member = field.member;
      vm.defineMethod(proto, "get" + base, [self, utc, member](Vm&, const CallArgs& a) -> Value {
        double t = self(a);
        if (std::isnan(t)) return t;
        return static_cast<double>(split(t, utc).*member);
      });
      if (!field.setter) continue;
      vm.defineMethod(proto, "set" + base, [utc, member](Vm& vm, const CallArgs& a) -> Value {
        Object* o = a.thisValue.object();
        if (!o || o->kind() != ObjectKind::Date) return Value();
        double t = o->primitive.isNumber() ? o->primitive.number() : std::nan("");
        Broken b = split(std::isnan(t) ? 0 : t, utc);
        double v = vm.toNumber(a[0]);
        if (!std::isfinite(v)) {
          o->primitive = std::nan("");
          return o->primitive;
        }
        b.*member = clampToInt(v);
        o->primitive = join(b, utc);
        return o->primitive;
      });
    }
  }
  vm.defineMethod(proto, "getYear", [self](Vm&, const CallArgs& a) -> Value {
    double t = self(a);
    if (std::isnan(t)) return t;
    return static_cast<double>(split(t, false).year - 1900);
  });
}

void installMovieClip(Vm& vm, Object* g) {
  Object* proto = vm.protoOf("MovieClip");
  Object* ctor = vm.newFunction([](Vm&, const CallArgs&) -> Value { return Value(); }, proto);
  g->setOwn("MovieClip", ctor, prop::kDontEnum);
  auto stage = [](const CallArgs& a) -> StageObject* {
    Object* o = a.thisValue.object();
    return o && o->kind() == ObjectKind::Stage ? o->stage : nullptr;
  };
  vm.defineMethod(proto, "play", [stage](Vm&, const CallArgs& a) -> Value {
    if (auto* s = stage(a)) s->setPlaying(true);
    return Value();
  });
  vm.defineMethod(proto, "stop", [stage](Vm&, const CallArgs& a) -> Value {
    if (auto* s = stage(a)) s->setPlaying(false);
    return Value();
  });
  vm.defineMethod(proto, "nextFrame", [stage](Vm&, const CallArgs& a) -> Value {
    if (auto* s = stage(a)) s->gotoFrame(s->currentFrame() + 1), s->setPlaying(false);
    return Value();
  });
  vm.defineMethod(proto, "prevFrame", [stage](Vm&, const CallArgs& a) -> Value {
    if (auto* s = stage(a)) s->gotoFrame(std::max(s->currentFrame() - 1, 0)), s->setPlaying(false);
    return Value();
  });
  auto go = [stage](bool play) {
    return [stage, play](Vm& vm, const CallArgs& a) -> Value {
      StageObject* s = stage(a);
      if (!s) return Value();
      if (a[0].isString()) {
        double n = stringToNumber(a[0].string(), 5);
        if (std::isfinite(n)) s->gotoFrame(clampToInt(n) - 1);
        else if (!s->gotoLabel(a[0].string())) return Value();
      } else {
        double n = vm.toNumber(a[0]);
        if (!std::isfinite(n)) return Value();
        s->gotoFrame(clampToInt(n) - 1);
      }
      s->setPlaying(play);
      return Value();
    };
  };
  vm.defineMethod(proto, "gotoAndPlay", go(true));
  vm.defineMethod(proto, "gotoAndStop", go(false));
  vm.defineMethod(proto, "removeMovieClip", [stage](Vm&, const CallArgs& a) -> Value {
    if (auto* s = stage(a)) s->removeSelf();
    return Value();
  });
  vm.defineMethod(proto, "duplicateMovieClip", [stage](Vm& vm, const CallArgs& a) -> Value {
    if (auto* s = stage(a)) s->duplicate(vm.toString(a[0]), clampToInt(vm.toNumber(a[1])));
    return Value();
  });
  vm.defineMethod(proto, "getBytesLoaded", [stage](Vm&, const CallArgs& a) -> Value {
    auto* s = stage(a);
    return s ? Value(static_cast<double>(s->framesLoaded())) : Value();
  });
  vm.defineMethod(proto, "getBytesTotal", [stage](Vm&, const CallArgs& a) -> Value {
    auto* s = stage(a);
    return s ? Value(static_cast<double>(s->totalFrames())) : Value();
  });
  vm.defineMethod(proto, "toString", [](Vm& vm, const CallArgs& a) -> Value {
    Object* o = a.thisValue.object();
    if (o && o->kind() == ObjectKind::Stage && o->stage) return vm.targetPath(o->stage);
    return Value("[object Object]");
  });
  vm.defineMethod(g, "fscommand", [](Vm& vm, const CallArgs& a) -> Value {
    if (vm.host()) vm.host()->fscommand(vm.toString(a[0]), vm.toString(a[1]));
    return Value();
  });
}

}  // namespace plavex::script
