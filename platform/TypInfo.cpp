#include "platform/TypInfo.h"

#include <cstring>
#include <map>
#include <unordered_map>

namespace {

bool SameIdent(const std::string& a, const std::string& b) {
  return _stricmp(a.c_str(), b.c_str()) == 0;
}

const char* ExpectedKind(TTypeKind kind) {
  switch (kind) {
    case tkInteger: return "an integer";
    case tkBoolean: return "a Boolean";
    case tkEnumeration: return "an identifier";
    case tkSet: return "a set of identifiers";
    case tkString: return "a string";
    case tkColor: return "a colour";
    case tkFloat: return "a number";
    case tkStrings: return "a list of strings";
    case tkPicture: return "a picture";
    case tkClass: return "an object";
    case tkComponent: return "a component";
    case tkMethod: return "a handler name";
    case tkList: return "a list";
  }
  return "a value";
}

[[noreturn]] void Misfit(TTypeKind kind, const TValue& value) {
  throw EPropertyConvertError(
      Format("expected %s, found %s", ExpectedKind(kind), value.KindName().c_str()));
}

bool IsText(const TValue& v) { return v.Kind() == TValue::vkString || v.Kind() == TValue::vkIdent; }

int EnumOrdinal(const TEnumInfo& info, const std::string& ident) {
  int ord = GetEnumValue(info, ident);
  if (ord < 0)
    throw EPropertyConvertError(
        Format("%s is not a %s value", ident.c_str(), info.Name.c_str()));
  return ord;
}

}  // namespace

std::string GetEnumName(const TEnumInfo& info, int ordinal) {
  if (ordinal < 0 || ordinal >= static_cast<int>(info.Idents.size())) return {};
  return info.Idents[static_cast<size_t>(ordinal)];
}

int GetEnumValue(const TEnumInfo& info, const std::string& ident) {
  for (size_t i = 0; i < info.Idents.size(); ++i)
    if (SameIdent(info.Idents[i], ident)) return static_cast<int>(i);
  return -1;
}

// --- TValue -------------------------------------------------------------------------------

TValue TValue::Integer(long long v) {
  TValue r;
  r.kind_ = vkInteger;
  r.int_ = v;
  return r;
}

TValue TValue::Boolean(bool v) {
  TValue r;
  r.kind_ = vkBoolean;
  r.int_ = v ? 1 : 0;
  return r;
}

TValue TValue::Ident(std::string v) {
  TValue r;
  r.kind_ = vkIdent;
  r.text_ = std::move(v);
  return r;
}

TValue TValue::String(std::string v) {
  TValue r;
  r.kind_ = vkString;
  r.text_ = std::move(v);
  return r;
}

TValue TValue::Float(double v) {
  TValue r;
  r.kind_ = vkFloat;
  r.float_ = v;
  return r;
}

TValue TValue::Set(std::uint64_t bits) {
  TValue r;
  r.kind_ = vkSet;
  r.int_ = static_cast<long long>(bits);
  return r;
}

TValue TValue::List(std::vector<TValue> items) {
  TValue r;
  r.kind_ = vkList;
  r.list_ = std::move(items);
  return r;
}

TValue TValue::Object(TPersistent* object) {
  TValue r;
  r.kind_ = vkObject;
  r.object_ = object;
  return r;
}

TValue TValue::Component(TComponent* component) {
  TValue r;
  r.kind_ = vkComponent;
  r.component_ = component;
  return r;
}

TValue TValue::Event(std::string name, std::any handler) {
  TValue r;
  r.kind_ = vkEvent;
  r.text_ = std::move(name);
  r.handler_ = std::move(handler);
  return r;
}

std::string TValue::KindName() const {
  switch (kind_) {
    case vkNone: return "nothing";
    case vkInteger: return "an integer";
    case vkBoolean: return "a Boolean";
    case vkIdent: return "an identifier";
    case vkString: return "a string";
    case vkFloat: return "a number with a fraction";
    case vkSet: return "a set";
    case vkList: return "a list";
    case vkObject: return "an object";
    case vkComponent: return "a component";
    case vkEvent: return "an event handler";
  }
  return "a value";
}

void TValue::Mismatch(const char* expected) const {
  throw EPropertyConvertError(Format("expected %s, found %s", expected, KindName().c_str()));
}

long long TValue::AsInteger() const {
  if (kind_ != vkInteger) Mismatch("an integer");
  return int_;
}

bool TValue::AsBoolean() const {
  if (kind_ != vkBoolean) Mismatch("a Boolean");
  return int_ != 0;
}

const std::string& TValue::AsString() const {
  if (kind_ != vkString && kind_ != vkIdent && kind_ != vkEvent) Mismatch("a string");
  return text_;
}

double TValue::AsFloat() const {
  if (kind_ == vkInteger) return static_cast<double>(int_);
  if (kind_ != vkFloat) Mismatch("a number");
  return float_;
}

std::uint64_t TValue::AsSet() const {
  if (kind_ != vkSet) Mismatch("a set");
  return static_cast<std::uint64_t>(int_);
}

const std::vector<TValue>& TValue::AsList() const {
  if (kind_ != vkList) Mismatch("a list");
  return list_;
}

TPersistent* TValue::AsObject() const {
  if (kind_ != vkObject) Mismatch("an object");
  return object_;
}

TComponent* TValue::AsComponent() const {
  if (kind_ != vkComponent) Mismatch("a component");
  return component_;
}

bool TValue::operator==(const TValue& other) const {
  if (kind_ != other.kind_) return false;
  switch (kind_) {
    case vkNone: return true;
    case vkInteger:
    case vkBoolean:
    case vkSet: return int_ == other.int_;
    case vkFloat: return float_ == other.float_;
    case vkIdent:
    case vkString:
    case vkEvent: return text_ == other.text_;
    case vkList: return list_ == other.list_;
    case vkObject: return object_ == other.object_;
    case vkComponent: return component_ == other.component_;
  }
  return false;
}

// --- Conversion to a property's kind -------------------------------------------------------

TValue NormalizeValue(TTypeKind kind, const TEnumInfo* info, const TValue& value) {
  switch (kind) {
    case tkInteger:
      if (value.Kind() != TValue::vkInteger) Misfit(kind, value);
      return value;
    case tkBoolean:
      if (value.Kind() != TValue::vkBoolean) Misfit(kind, value);
      return value;
    case tkEnumeration:
      if (IsText(value))
        return info ? TValue::Integer(EnumOrdinal(*info, value.AsString()))
                    : TValue::Ident(value.AsString());
      // An ordinal only makes sense where the identifiers are known.
      if (value.Kind() == TValue::vkInteger && info) {
        if (GetEnumName(*info, static_cast<int>(value.AsInteger())).empty())
          throw EPropertyConvertError(
              Format("%lld is not a %s value", value.AsInteger(), info->Name.c_str()));
        return value;
      }
      Misfit(kind, value);
    case tkSet: {
      if (value.Kind() == TValue::vkSet || value.Kind() == TValue::vkInteger) {
        auto bits = static_cast<std::uint64_t>(value.Kind() == TValue::vkSet ? value.AsSet()
                                                                             : value.AsInteger());
        if (info && info->Idents.size() < 64 && (bits >> info->Idents.size()) != 0)
          throw EPropertyConvertError(Format("the set holds members %s does not have",
                                             info->Name.c_str()));
        return TValue::Set(bits);
      }
      if (value.Kind() != TValue::vkList) Misfit(kind, value);
      std::uint64_t bits = 0;
      std::vector<TValue> idents;
      for (const TValue& item : value.AsList()) {
        if (!IsText(item)) Misfit(kind, item);
        if (info)
          bits |= std::uint64_t{1} << EnumOrdinal(*info, item.AsString());
        else
          idents.push_back(TValue::Ident(item.AsString()));
      }
      return info ? TValue::Set(bits) : TValue::List(std::move(idents));
    }
    case tkString:
      if (!IsText(value)) Misfit(kind, value);
      return TValue::String(value.AsString());
    case tkColor:
      if (value.Kind() == TValue::vkInteger) return value;
      if (IsText(value)) {
        TColor color = 0;
        if (!StringToColor(value.AsString(), color))
          throw EPropertyConvertError(Format("%s is not a colour", value.AsString().c_str()));
        return TValue::Integer(color);
      }
      Misfit(kind, value);
    case tkFloat:
      if (value.Kind() == TValue::vkInteger) return TValue::Float(value.AsFloat());
      if (value.Kind() != TValue::vkFloat) Misfit(kind, value);
      return value;
    case tkStrings: {
      if (value.Kind() != TValue::vkList) Misfit(kind, value);
      std::vector<TValue> lines;
      for (const TValue& item : value.AsList()) {
        if (!IsText(item)) Misfit(tkString, item);
        lines.push_back(TValue::String(item.AsString()));
      }
      return TValue::List(std::move(lines));
    }
    case tkPicture:
    case tkClass:
      if (value.Kind() != TValue::vkObject) Misfit(kind, value);
      return value;
    case tkComponent:
      if (value.Kind() == TValue::vkNone) return TValue::Component(nullptr);
      if (value.Kind() != TValue::vkComponent) Misfit(kind, value);
      return value;
    case tkMethod:
      if (value.Kind() == TValue::vkNone) return TValue::Event({});
      if (IsText(value)) return TValue::Event(value.AsString());
      if (value.Kind() != TValue::vkEvent) Misfit(kind, value);
      return value;
    case tkList:
      if (value.Kind() != TValue::vkList) Misfit(kind, value);
      return value;
  }
  Misfit(kind, value);
}

// --- Classes ------------------------------------------------------------------------------

TClassInfo::TClassInfo(std::string name, std::type_index type,
                       std::optional<std::type_index> parent)
    : name_(std::move(name)), type_(type), parent_(parent) {}

const TClassInfo* TClassInfo::Parent() const {
  return parent_ ? FindClassInfo(*parent_) : nullptr;
}

bool TClassInfo::InheritsFrom(const TClassInfo* other) const {
  for (const TClassInfo* c = this; c; c = c->Parent())
    if (c == other) return true;
  return false;
}

TComponent* TClassInfo::Create(TComponent* owner) const {
  if (!factory_) throw EPropertyError(Format("Class %s cannot be created", name_.c_str()));
  return factory_(owner);
}

const TPropInfo* TClassInfo::FindProp(const std::string& name) const {
  for (const TClassInfo* c = this; c; c = c->Parent())
    for (const TPropInfo& p : c->props_)
      if (SameIdent(p.Name, name)) return &p;
  return nullptr;
}

const TExtraPropInfo* TClassInfo::FindExtra(const std::string& name) const {
  for (const TClassInfo* c = this; c; c = c->Parent())
    for (const TExtraPropInfo& p : c->extras_)
      if (SameIdent(p.Name, name)) return &p;
  return nullptr;
}

std::vector<const TPropInfo*> TClassInfo::Props() const {
  std::vector<const TClassInfo*> chain;
  for (const TClassInfo* c = this; c; c = c->Parent()) chain.insert(chain.begin(), c);
  std::vector<const TPropInfo*> list;
  for (const TClassInfo* c : chain)
    for (const TPropInfo& p : c->props_) {
      bool replaced = false;
      for (auto& existing : list)
        if (SameIdent(existing->Name, p.Name)) {
          existing = &p;
          replaced = true;
        }
      if (!replaced) list.push_back(&p);
    }
  return list;
}

std::vector<const TExtraPropInfo*> TClassInfo::Extras() const {
  std::vector<const TClassInfo*> chain;
  for (const TClassInfo* c = this; c; c = c->Parent()) chain.insert(chain.begin(), c);
  std::vector<const TExtraPropInfo*> list;
  for (const TClassInfo* c : chain)
    for (const TExtraPropInfo& p : c->extras_) list.push_back(&p);
  return list;
}

std::any TClassInfo::MakeHandler(TObject* root, const std::string& name) const {
  for (const TClassInfo* c = this; c; c = c->Parent())
    for (const auto& [handlerName, make] : c->handlers_)
      if (SameIdent(handlerName, name)) return make(root);
  return {};
}

// --- Registry -----------------------------------------------------------------------------

namespace {

struct TClassRegistry {
  std::unordered_map<std::type_index, std::unique_ptr<TClassInfo>> byType;
  std::map<std::string, TClassInfo*> byName;  // upper-case names
};

std::string UpperAscii(std::string s) {
  for (char& ch : s)
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
  return s;
}

TClassRegistry& Classes() {
  static TClassRegistry* registry = [] {
    auto* r = new TClassRegistry;
    // The roots of every chain.
    auto persistent =
        std::make_unique<TClassInfo>("TPersistent", typeid(TPersistent), std::nullopt);
    auto component = std::make_unique<TClassInfo>("TComponent", typeid(TComponent),
                                                  std::type_index(typeid(TPersistent)));
    TClassBuilder<TComponent>(component.get())
        .Factory([](TComponent* owner) { return new TComponent(owner); })
        .Integer("Tag", &TComponent::Tag, &TComponent::SetTag, 0);
    for (auto* info : {&persistent, &component}) {
      r->byName[UpperAscii((*info)->Name())] = info->get();
      r->byType.emplace((*info)->Type(), std::move(*info));
    }
    return r;
  }();
  return *registry;
}

}  // namespace

TClassInfo* AddClassInfo(std::unique_ptr<TClassInfo> info) {
  TClassRegistry& r = Classes();
  TClassInfo* raw = info.get();
  std::string key = UpperAscii(raw->Name());
  if (r.byName.count(key))
    throw EPropertyError(Format("A class named %s is already registered", raw->Name().c_str()));
  r.byName[key] = raw;
  r.byType.emplace(raw->Type(), std::move(info));
  return raw;
}

const TClassInfo* FindClassInfo(const std::string& name) {
  TClassRegistry& r = Classes();
  auto it = r.byName.find(UpperAscii(name));
  return it == r.byName.end() ? nullptr : it->second;
}

const TClassInfo* FindClassInfo(std::type_index type) {
  TClassRegistry& r = Classes();
  auto it = r.byType.find(type);
  return it == r.byType.end() ? nullptr : it->second.get();
}

const TClassInfo* ObjectClassInfo(const TObject* object) {
  return object ? FindClassInfo(std::type_index(typeid(*object))) : nullptr;
}

const TPropInfo* FindPropInfo(const TObject* object, const std::string& name) {
  const TClassInfo* info = ObjectClassInfo(object);
  return info ? info->FindProp(name) : nullptr;
}

const TPropInfo* GetPropInfo(const TObject* object, const std::string& name) {
  const TPropInfo* prop = FindPropInfo(object, name);
  if (!prop) throw EPropertyError(Format("Property %s does not exist", name.c_str()));
  return prop;
}

TValue GetPropValue(TObject* object, const TPropInfo& prop) { return prop.Get(object); }

TValue GetPropValue(TObject* object, const std::string& name) {
  return GetPropValue(object, *GetPropInfo(object, name));
}

void SetPropValue(TObject* object, const TPropInfo& prop, const TValue& value) {
  TValue v = NormalizeValue(prop.Kind, prop.Enum, value);
  if (prop.Set) {
    prop.Set(object, v);
    return;
  }
  if (prop.Kind == tkClass || prop.Kind == tkPicture) {
    TPersistent* target = prop.Get(object).AsObject();
    if (target) {
      target->Assign(v.AsObject());
      return;
    }
  }
  throw EPropertyError(Format("Property %s is read-only", prop.Name.c_str()));
}

void SetPropValue(TObject* object, const std::string& name, const TValue& value) {
  SetPropValue(object, *GetPropInfo(object, name), value);
}

bool SetPropByName(TObject* object, const std::string& name, const TValue& value) {
  const TPropInfo* prop = FindPropInfo(object, name);
  if (!prop) return false;
  SetPropValue(object, *prop, value);
  return true;
}
