// Published properties: per class, a table of what a stored layout may set and what is
// written back, found by name; and the registry of classes a layout creates by name.
#pragma once

#include <any>
#include <cstdint>
#include <deque>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <typeindex>
#include <utility>
#include <vector>

#include "platform/Classes.h"
#include "platform/Colors.h"

// A property name the class does not publish, or a class that is not registered.
class EPropertyError : public Exception { using Exception::Exception; };
// A value that does not fit the property it is given to.
class EPropertyConvertError : public Exception { using Exception::Exception; };

enum TTypeKind {
  tkInteger,
  tkBoolean,
  tkEnumeration,  // stored by identifier ("fsFlat")
  tkSet,          // of an enumeration; a bit per member
  tkString,
  tkColor,        // TColor, stored by name when it has one
  tkFloat,
  tkStrings,      // lines of text
  tkPicture,      // owned picture, stored by resource name
  tkClass,        // owned persistent sub-object (a font...) whose own properties are stored
  tkComponent,    // reference to another component, stored by name
  tkMethod,       // event, stored by the name of the window's handler
  tkList,         // list of plain values; only for extra properties
};

// The identifiers of an enumeration, in ordinal order.
struct TEnumInfo {
  std::string Name;  // "TFrameStyle"
  std::vector<std::string> Idents;
};
// "" when the ordinal is out of range.
std::string GetEnumName(const TEnumInfo& info, int ordinal);
// -1 when no identifier matches (compared without regard to case).
int GetEnumValue(const TEnumInfo& info, const std::string& ident);

// One property value on its way between a layout, code and an object.
class TValue {
 public:
  enum TValueKind {
    vkNone, vkInteger, vkBoolean, vkIdent, vkString, vkFloat, vkSet, vkList, vkObject,
    vkComponent, vkEvent,
  };

  TValue() = default;
  static TValue Integer(long long v);
  static TValue Boolean(bool v);
  static TValue Ident(std::string v);
  static TValue String(std::string v);
  static TValue Float(double v);
  static TValue Set(std::uint64_t bits);
  static TValue List(std::vector<TValue> items);
  static TValue Object(TPersistent* object);
  static TValue Component(TComponent* component);
  // A handler name and the handler itself (a std::function of the event's exact type held
  // in the std::any); an empty name without a handler clears the event.
  static TValue Event(std::string name, std::any handler = {});

  TValueKind Kind() const { return kind_; }
  // "an integer", "a string"...: for messages.
  std::string KindName() const;

  // Each raises EPropertyConvertError when the value is of another kind.
  long long AsInteger() const;
  bool AsBoolean() const;
  const std::string& AsString() const;  // string, identifier or handler name
  double AsFloat() const;
  std::uint64_t AsSet() const;
  const std::vector<TValue>& AsList() const;
  TPersistent* AsObject() const;
  TComponent* AsComponent() const;
  const std::any& Handler() const { return handler_; }

  // Same kind and same contents; events compare by handler name.
  bool operator==(const TValue& other) const;

 private:
  [[noreturn]] void Mismatch(const char* expected) const;

  TValueKind kind_ = vkNone;
  long long int_ = 0;
  double float_ = 0;
  std::string text_;
  std::vector<TValue> list_;
  TPersistent* object_ = nullptr;
  TComponent* component_ = nullptr;
  std::any handler_;
};

struct TPropInfo {
  std::string Name;
  TTypeKind Kind = tkInteger;
  const TEnumInfo* Enum = nullptr;  // enumerations and sets
  std::function<TValue(TObject*)> Get;
  std::function<void(TObject*, const TValue&)> Set;  // empty: set only through Get (sub-objects)
  std::optional<TValue> Default;                     // none: always written
  std::function<bool(TObject*)> Stored;              // empty: stored

  bool IsStored(TObject* object) const { return !Stored || Stored(object); }
};

// A property a class reads from (and may write to) a layout without publishing it: old
// names kept for older layouts, or data the class stores in its own form.
struct TExtraPropInfo {
  std::string Name;
  TTypeKind Kind = tkInteger;       // tkBoolean, tkEnumeration, tkInteger, tkSet, tkList...
  const TEnumInfo* Enum = nullptr;  // without it identifiers reach the reader as they are
  std::function<void(TObject*, const TValue&)> Read;
  std::function<std::optional<TValue>(TObject*)> Write;  // empty, or none returned: not written
};

class TClassInfo {
 public:
  TClassInfo(std::string name, std::type_index type, std::optional<std::type_index> parent);

  const std::string& Name() const { return name_; }
  std::type_index Type() const { return type_; }
  const TClassInfo* Parent() const;
  bool InheritsFrom(const TClassInfo* other) const;

  bool CanCreate() const { return static_cast<bool>(factory_); }
  // A new instance owned by `owner`; raises EPropertyError when the class cannot be created.
  TComponent* Create(TComponent* owner) const;

  // Found in this class or its ancestors, without regard to case; nullptr when none.
  const TPropInfo* FindProp(const std::string& name) const;
  const TExtraPropInfo* FindExtra(const std::string& name) const;
  // Every published property, ancestors' first; one redeclared in a descendant is listed
  // once, at its first place, with the descendant's entry.
  std::vector<const TPropInfo*> Props() const;
  std::vector<const TExtraPropInfo*> Extras() const;
  // The handler `name` of the window `root` (an instance of this class), ready to be put
  // into an event; empty when the class has no handler of that name.
  std::any MakeHandler(TObject* root, const std::string& name) const;

 private:
  template <class C> friend class TClassBuilder;

  std::string name_;
  std::type_index type_;
  std::optional<std::type_index> parent_;
  std::function<TComponent*(TComponent*)> factory_;
  std::deque<TPropInfo> props_;
  std::deque<TExtraPropInfo> extras_;
  std::vector<std::pair<std::string, std::function<std::any(TObject*)>>> handlers_;
};

// Registered classes: by name without regard to case, by type, or of an object's own type.
const TClassInfo* FindClassInfo(const std::string& name);
const TClassInfo* FindClassInfo(std::type_index type);
const TClassInfo* ObjectClassInfo(const TObject* object);
template <class T>
const TClassInfo* ClassInfoOf() { return FindClassInfo(std::type_index(typeid(T))); }

// Look-up on an object's registered class: nullptr when it does not publish `name`.
const TPropInfo* FindPropInfo(const TObject* object, const std::string& name);
// The same, but raises EPropertyError "Property <name> does not exist" instead.
const TPropInfo* GetPropInfo(const TObject* object, const std::string& name);

TValue GetPropValue(TObject* object, const TPropInfo& prop);
TValue GetPropValue(TObject* object, const std::string& name);
// Converts the value to the property's kind (an identifier to its ordinal, a name to its
// colour, a list of identifiers to a set...) and calls the setter. A sub-object without a
// setter takes an object value through Assign. Raises EPropertyConvertError on a misfit.
void SetPropValue(TObject* object, const TPropInfo& prop, const TValue& value);
void SetPropValue(TObject* object, const std::string& name, const TValue& value);
// Sets the property only when the object publishes one of that name; reports whether it did.
bool SetPropByName(TObject* object, const std::string& name, const TValue& value);

// The value in the form a property or extra property of `kind` takes it.
TValue NormalizeValue(TTypeKind kind, const TEnumInfo* info, const TValue& value);

// --- Conversions between typed getters/setters and TValue ---------------------------------

template <class T, class = void>
struct TValueConv;

template <class T>
struct TValueConv<T, std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool>>> {
  static TValue To(T v) { return TValue::Integer(static_cast<long long>(v)); }
  static T From(const TValue& v) {
    long long i = v.AsInteger();
    // TColor and other 32-bit values are stored unsigned ("$FF00000F") as well as signed.
    if constexpr (std::is_signed_v<T> && sizeof(T) == 4) {
      if (i > std::numeric_limits<T>::max() && i <= 0xFFFFFFFFLL)
        return static_cast<T>(static_cast<std::uint32_t>(i));
    }
    if constexpr (std::is_signed_v<T>) {
      if (i < static_cast<long long>(std::numeric_limits<T>::min()) ||
          i > static_cast<long long>(std::numeric_limits<T>::max()))
        throw EPropertyConvertError(Format("%lld is out of range", i));
    } else {
      if (i < 0 || static_cast<unsigned long long>(i) > std::numeric_limits<T>::max())
        throw EPropertyConvertError(Format("%lld is out of range", i));
    }
    return static_cast<T>(i);
  }
};

template <>
struct TValueConv<bool> {
  static TValue To(bool v) { return TValue::Boolean(v); }
  static bool From(const TValue& v) { return v.AsBoolean(); }
};

template <class T>
struct TValueConv<T, std::enable_if_t<std::is_enum_v<T>>> {
  static TValue To(T v) { return TValue::Integer(static_cast<long long>(v)); }
  static T From(const TValue& v) { return static_cast<T>(v.AsInteger()); }
};

template <class E>
struct TValueConv<TSet<E>> {
  static TValue To(TSet<E> v) { return TValue::Set(v.Bits()); }
  static TSet<E> From(const TValue& v) { return TSet<E>::FromBits(v.AsSet()); }
};

template <>
struct TValueConv<std::string> {
  static TValue To(const std::string& v) { return TValue::String(v); }
  static std::string From(const TValue& v) { return v.AsString(); }
};

template <class T>
struct TValueConv<T, std::enable_if_t<std::is_floating_point_v<T>>> {
  static TValue To(T v) { return TValue::Float(static_cast<double>(v)); }
  static T From(const TValue& v) { return static_cast<T>(v.AsFloat()); }
};

template <>
struct TValueConv<std::vector<std::string>> {
  static TValue To(const std::vector<std::string>& v) {
    std::vector<TValue> items;
    for (const auto& s : v) items.push_back(TValue::String(s));
    return TValue::List(std::move(items));
  }
  static std::vector<std::string> From(const TValue& v) {
    std::vector<std::string> lines;
    for (const auto& item : v.AsList()) lines.push_back(item.AsString());
    return lines;
  }
};

template <class T>
struct TValueConv<T*, std::enable_if_t<std::is_base_of_v<TComponent, T>>> {
  static TValue To(T* v) { return TValue::Component(v); }
  static T* From(const TValue& v) {
    TComponent* c = v.AsComponent();
    if (!c) return nullptr;
    T* typed = dynamic_cast<T*>(c);
    if (!typed)
      throw EPropertyConvertError(
          Format("%s (%s) is not of the class this property takes", c->Name().c_str(),
                 c->ClassName().c_str()));
    return typed;
  }
};

template <class T>
struct TValueConv<T*, std::enable_if_t<std::is_base_of_v<TPersistent, T> &&
                                       !std::is_base_of_v<TComponent, T>>> {
  static TValue To(T* v) { return TValue::Object(v); }
  static T* From(const TValue& v) {
    TPersistent* o = v.AsObject();
    if (!o) return nullptr;
    T* typed = dynamic_cast<T*>(o);
    if (!typed)
      throw EPropertyConvertError(
          Format("a %s is not of the class this property takes", o->ClassName().c_str()));
    return typed;
  }
};

// An event bound by a layout keeps the handler's name, so the layout can be written again.
template <class R, class... A>
struct TNamedHandler {
  std::string Name;
  std::function<R(A...)> Fn;
  R operator()(A... args) const { return Fn(std::forward<A>(args)...); }
};

// Marks a property that has no default: it is always written.
struct TNoDefault {};
inline constexpr TNoDefault NoDefault{};

// Fills the table of class C, one call per property:
//   RegisterClassInfo<TFcLabel, TFcCustomLabel>("TFcLabel")
//       .Color("Color", &TFcLabel::Color, &TFcLabel::SetColor, clBtnFace)
//       .Enum("FrameStyle", FrameStyleInfo, &TFcLabel::FrameStyle, &TFcLabel::SetFrameStyle,
//             fsFlat)
//       .Event("OnClick", &TFcLabel::OnClick);
// Getters and setters are pointers to members (a virtual setter dispatches as usual) or any
// callables taking C*; the value type follows the getter's result. Pass nullptr as setter
// for a sub-object that is only changed through its own properties.
template <class C>
class TClassBuilder {
 public:
  explicit TClassBuilder(TClassInfo* info) : info_(info) {}
  // For a class registered before: entries go to `scratch` and are dropped with the builder.
  explicit TClassBuilder(std::unique_ptr<TClassInfo> scratch)
      : info_(scratch.get()), scratch_(std::move(scratch)) {}

  // C's instances are made from an owner: `new C(owner)`.
  TClassBuilder& Factory(std::function<TComponent*(TComponent*)> make) {
    info_->factory_ = std::move(make);
    return *this;
  }

  template <class G, class S, class D = TNoDefault>
  TClassBuilder& Integer(const char* name, G get, S set, D def = {}) {
    return Add(name, tkInteger, nullptr, get, set, def);
  }
  template <class G, class S, class D = TNoDefault>
  TClassBuilder& Boolean(const char* name, G get, S set, D def = {}) {
    return Add(name, tkBoolean, nullptr, get, set, def);
  }
  template <class G, class S, class D = TNoDefault>
  TClassBuilder& Enum(const char* name, const TEnumInfo& info, G get, S set, D def = {}) {
    return Add(name, tkEnumeration, &info, get, set, def);
  }
  template <class G, class S, class D = TNoDefault>
  TClassBuilder& Set(const char* name, const TEnumInfo& info, G get, S set, D def = {}) {
    return Add(name, tkSet, &info, get, set, def);
  }
  // A string is written only when it differs from `def` (empty unless given).
  template <class G, class S>
  TClassBuilder& String(const char* name, G get, S set, std::string def = {}) {
    return Add(name, tkString, nullptr, get, set, def);
  }
  template <class G, class S, class D = TNoDefault>
  TClassBuilder& Color(const char* name, G get, S set, D def = {}) {
    return Add(name, tkColor, nullptr, get, set, def);
  }
  template <class G, class S, class D = TNoDefault>
  TClassBuilder& Float(const char* name, G get, S set, D def = {}) {
    return Add(name, tkFloat, nullptr, get, set, def);
  }
  // Lines of text as std::vector<std::string>; an empty list is not written.
  template <class G, class S>
  TClassBuilder& Strings(const char* name, G get, S set) {
    return Add(name, tkStrings, nullptr, get, set, std::vector<std::string>{});
  }
  // The getter returns the owned picture; the layout names it by resource (see Layout.h).
  template <class G>
  TClassBuilder& Picture(const char* name, G get) {
    return Add(name, tkPicture, nullptr, get, nullptr, NoDefault);
  }
  // The getter returns the owned sub-object, whose own registered properties are stored.
  template <class G, class S = std::nullptr_t>
  TClassBuilder& Object(const char* name, G get, S set = nullptr) {
    return Add(name, tkClass, nullptr, get, set, NoDefault);
  }
  // The value type is a pointer to the component class the property accepts.
  template <class G, class S>
  TClassBuilder& Component(const char* name, G get, S set) {
    return Add(name, tkComponent, nullptr, get, set, nullptr);
  }

  template <class R, class... A>
  TClassBuilder& Event(const char* name, std::function<R(A...)> C::*member) {
    using F = std::function<R(A...)>;
    TPropInfo p;
    p.Name = name;
    p.Kind = tkMethod;
    p.Get = [member](TObject* o) {
      const F& f = static_cast<C*>(o)->*member;
      if (!f) return TValue::Event({});
      const auto* named = f.template target<TNamedHandler<R, A...>>();
      return TValue::Event(named ? named->Name : std::string(), std::any(f));
    };
    p.Set = [member](TObject* o, const TValue& v) {
      if (!v.Handler().has_value()) {
        if (!v.AsString().empty())
          throw EPropertyConvertError("handler " + v.AsString() + " is not available");
        static_cast<C*>(o)->*member = nullptr;
        return;
      }
      const F* f = std::any_cast<F>(&v.Handler());
      if (!f) throw EPropertyConvertError("handler " + v.AsString() + " does not fit this event");
      static_cast<C*>(o)->*member = TNamedHandler<R, A...>{v.AsString(), *f};
    };
    p.Default = TValue::Event({});
    info_->props_.push_back(std::move(p));
    return *this;
  }

  // The last property added is written only when `pred` (a C member or callable) says so.
  template <class P>
  TClassBuilder& StoredIf(P pred) {
    if (info_->props_.empty()) throw EPropertyError("StoredIf follows the property it is for");
    info_->props_.back().Stored = [pred](TObject* o) {
      return static_cast<bool>(std::invoke(pred, static_cast<C*>(o)));
    };
    return *this;
  }

  // An extra property: `read` (callable with C* and const TValue&) gets the value in the
  // form of `kind`; `write` (callable with C*, returning std::optional<TValue>) may store it.
  template <class R, class W = std::nullptr_t>
  TClassBuilder& Extra(const char* name, TTypeKind kind, R read, W write = nullptr,
                       const TEnumInfo* info = nullptr) {
    TExtraPropInfo p;
    p.Name = name;
    p.Kind = kind;
    p.Enum = info;
    p.Read = [read](TObject* o, const TValue& v) { std::invoke(read, static_cast<C*>(o), v); };
    if constexpr (!std::is_null_pointer_v<W>)
      p.Write = [write](TObject* o) -> std::optional<TValue> {
        return std::invoke(write, static_cast<C*>(o));
      };
    info_->extras_.push_back(std::move(p));
    return *this;
  }
  // A property of older layouts that is read (its kind checked) and dropped.
  TClassBuilder& Obsolete(const char* name, TTypeKind kind) {
    return Extra(name, kind, [](C*, const TValue&) {});
  }

  // A handler of the window class C that layouts bind events to by name.
  template <class R, class... A>
  TClassBuilder& Handler(const char* name, R (C::*method)(A...)) {
    info_->handlers_.emplace_back(name, [method](TObject* root) -> std::any {
      C* self = static_cast<C*>(root);
      return std::function<R(A...)>(
          [self, method](A... args) -> R { return (self->*method)(std::forward<A>(args)...); });
    });
    return *this;
  }

 private:
  template <class G, class S, class D>
  TClassBuilder& Add(const char* name, TTypeKind kind, const TEnumInfo* info, G get, S set,
                     const D& def) {
    using V = std::decay_t<std::invoke_result_t<G, C*>>;
    TPropInfo p;
    p.Name = name;
    p.Kind = kind;
    p.Enum = info;
    p.Get = [get](TObject* o) { return TValueConv<V>::To(std::invoke(get, static_cast<C*>(o))); };
    if constexpr (!std::is_null_pointer_v<S>)
      p.Set = [set](TObject* o, const TValue& v) {
        std::invoke(set, static_cast<C*>(o), TValueConv<V>::From(v));
      };
    if constexpr (std::is_null_pointer_v<D>)
      p.Default = TValueConv<V>::To(nullptr);
    else if constexpr (!std::is_same_v<D, TNoDefault>)
      p.Default = TValueConv<V>::To(static_cast<V>(def));
    info_->props_.push_back(std::move(p));
    return *this;
  }

  TClassInfo* info_;
  std::unique_ptr<TClassInfo> scratch_;
};

// Takes a new class into the registry; the pointer stays valid while the program runs.
TClassInfo* AddClassInfo(std::unique_ptr<TClassInfo> info);

// Registers class C, a descendant of P, under `name`; C gets a factory when it can be made
// from an owner (`new C(owner)`). A class registered again keeps its first table and the
// returned builder's entries are dropped, so registering from a constructor is harmless.
// Register from a function the program calls at start: a static registering object alone in
// a library unit is left out by the linker when nothing else of that unit is used.
template <class C, class P>
TClassBuilder<C> RegisterClassInfo(const std::string& name) {
  static_assert(std::is_base_of_v<P, C> && std::is_base_of_v<TPersistent, C>,
                "a registered class derives from its parent and from TPersistent");
  auto info = std::make_unique<TClassInfo>(name, std::type_index(typeid(C)),
                                           std::type_index(typeid(P)));
  bool again = FindClassInfo(std::type_index(typeid(C))) != nullptr;
  TClassBuilder<C> builder = again ? TClassBuilder<C>(std::move(info))
                                   : TClassBuilder<C>(AddClassInfo(std::move(info)));
  if constexpr (std::is_base_of_v<TComponent, C> && std::is_constructible_v<C, TComponent*>)
    builder.Factory([](TComponent* owner) -> TComponent* { return new C(owner); });
  return builder;
}
