#pragma once
// Events: a method of a target object (or a plain callback) that a component calls, like the
// class library's method pointers. An event whose target has been destroyed reads as unassigned
// and calls nothing, so a component never calls into a freed form.
//
//   class TTimer : public TComponent {
//     KORCAM_CLASS(TTimer, TComponent)
//     EVENT(TNotifyEvent, OnTimer)
//   };
//   Timer->OnTimer = TNotifyEvent(this, &TDataModule1::TimerMotionTimer);
//   if (OnTimer) OnTimer(this);
//
// A form binds events by method name: the class declares the method with PUBLISHED_METHOD and
// the form reader looks it up in the class's method table.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "platform/classes/object.h"

template <class... Args>
class TEvent {
 public:
  using TCall = std::function<void(Args...)>;

  TEvent() = default;
  TEvent(std::nullptr_t) {}
  template <class C>
  TEvent(C* Target, void (C::*Method)(Args...)) {
    Bind(Target, [Target, Method](Args... Arguments) { (Target->*Method)(std::forward<Args>(Arguments)...); });
  }
  // A callback with no target object (tests, glue code).
  TEvent(TCall Call) : FCall(std::move(Call)) {}
  // A callback that lives as long as Target.
  TEvent(TObject* Target, TCall Call) { Bind(Target, std::move(Call)); }

  explicit operator bool() const { return Assigned(); }
  bool Assigned() const { return FCall && (!FLife || FLife->Alive.load()); }

  // Calls the handler when assigned. The handler may reassign or clear this event while it runs.
  void operator()(Args... Arguments) const {
    if (!Assigned()) return;
    const TCall Call = FCall;
    Call(std::forward<Args>(Arguments)...);
  }

  void Clear() {
    FCall = nullptr;
    FTarget = nullptr;
    FLife.reset();
    FMethodName.clear();
  }

  TObject* Target() const { return Assigned() ? FTarget : nullptr; }
  const std::string& MethodName() const { return FMethodName; }
  TMethod Method() const { return Assigned() ? TMethod{FTarget, FMethodName} : TMethod{}; }

  // Binds Target's published method of that name; false when Target's class (or an ancestor)
  // has no such method with this parameter list.
  bool BindByName(TObject* Target, std::string_view Name) {
    if (!Target) return false;
    const TMethodInfo* Info = Target->ClassType().FindMethod(Name);
    if (!Info || Info->Signature != SignatureOf<Args...>()) return false;
    std::unique_ptr<TCall> Made(static_cast<TCall*>(Info->MakeCall(Target)));
    Bind(Target, std::move(*Made));
    FMethodName = Info->Name;
    return true;
  }

 private:
  void Bind(TObject* Target, TCall Call) {
    FTarget = Target;
    FLife = Target ? Target->LifeToken() : nullptr;
    FCall = std::move(Call);
    FMethodName.clear();
  }

  TCall FCall;
  TObject* FTarget = nullptr;
  std::shared_ptr<const TObjectLife> FLife;
  std::string FMethodName;
};

using TNotifyEvent = TEvent<TObject*>;

namespace korcam_detail {

template <class C, class... Args>
TMethodInfo MakeMethod(const char* Name, void (C::*Method)(Args...)) {
  TMethodInfo Info;
  Info.Name = Name;
  Info.Signature = SignatureOf<Args...>();
  Info.MakeCall = [Method](TObject* Target) -> void* {
    C* Typed = static_cast<C*>(Target);
    return new std::function<void(Args...)>(
        [Typed, Method](Args... Arguments) { (Typed->*Method)(std::forward<Args>(Arguments)...); });
  };
  return Info;
}

template <class C, class... Args>
TPropertyInfo MakeEventProperty(const char* Name, const char* TypeName, TEvent<Args...> C::*Field) {
  TPropertyInfo Info;
  Info.Name = Name;
  Info.TypeName = TypeName;
  Info.Kind = TTypeKind::Method;
  Info.Get = [Field](const TObject& Object) -> TValue { return (static_cast<const C&>(Object).*Field).Method(); };
  const std::string PropertyName = Name;
  Info.Set = [Field, PropertyName](TObject& Object, const TValue& Value) {
    auto& Event = static_cast<C&>(Object).*Field;
    const TMethod* Method = std::get_if<TMethod>(&Value);
    if (!Method) InvalidPropertyValue(PropertyName);
    if (!Method->Data) {
      Event.Clear();
      return;
    }
    if (!Event.BindByName(Method->Data, Method->Name))
      throw EPropertyError("Method '" + Method->Name + "' of " + Method->Data->ClassName() +
                           " does not fit event " + PropertyName);
  };
  Info.Stored = [Field](const TObject& Object) {
    const auto& Event = static_cast<const C&>(Object).*Field;
    return Event.Assigned() && !Event.MethodName().empty();
  };
  return Info;
}

}  // namespace korcam_detail

// A published event: a public field of an event type, with its row in the property table.
#define EVENT(Type, Name)                                                                    \
 public:                                                                                     \
  Type Name;                                                                                 \
  KORCAM_PROPERTY_ROW(Name, korcam_detail::MakeEventProperty(#Name, #Type, &ThisClass::Name)) \
 public:

// A published method that forms bind to events by name. The class defines the method.
#define PUBLISHED_METHOD(Name, ...)                                                      \
 public:                                                                                 \
  void Name(__VA_ARGS__);                                                                \
  KORCAM_CLASS_ROW(Info.AddMethod(korcam_detail::MakeMethod(#Name, &ThisClass::Name)))    \
 public:
