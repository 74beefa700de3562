#include "platform/Layout.h"

#include <algorithm>
#include <climits>
#include <nlohmann/json.hpp>
#include <set>
#include <vector>

#include "platform/TypInfo.h"

namespace {

// Keeps the document's order: properties are set in the order the layout gives them.
using json = nlohmann::ordered_json;

struct TPictureHooks {
  TPictureLoader load;
  TPictureNamer name;
};

TPictureHooks& PictureHooks() {
  static TPictureHooks hooks;
  return hooks;
}

std::string Utf8ToAnsi(const std::string& text) { return WideToCodePage(CodePageToWide(text, CP_UTF8), CP_ACP); }
std::string AnsiToUtf8(const std::string& text) { return WideToCodePage(AnsiToWide(text), CP_UTF8); }

std::string WindowName(TComponent* root) {
  if (!root->Name().empty()) return root->Name();
  const TClassInfo* info = ObjectClassInfo(root);
  return info ? info->Name() : root->ClassName();
}

std::string ComponentLabel(TComponent* c, const TClassInfo* info) {
  if (!c->Name().empty()) return c->Name();
  return "unnamed " + (info ? info->Name() : c->ClassName());
}

// A JSON string in the program's code page; null is the empty text.
std::string TextOf(const json& value) {
  return value.is_null() ? std::string() : Utf8ToAnsi(value.get<std::string>());
}

std::string Join(const std::string& path, const std::string& name) {
  return path.empty() ? name : path + "." + name;
}

void SetLoadingFlags(TComponent* c, bool on) {
  c->SetComponentStateFlag(csLoading, on);
  c->SetComponentStateFlag(csReading, on);
}

class TLayoutReader {
 public:
  TLayoutReader(TComponent* root, HINSTANCE module)
      : root_(root),
        rootInfo_(ObjectClassInfo(root)),
        module_(module ? module : GetModuleHandleA(nullptr)) {}

  void Read(const std::string& text) {
    json doc;
    try {
      doc = json::parse(text);
    } catch (const json::exception& e) {
      Fail({}, {}, std::string("the layout is not valid JSON: ") + e.what());
    }
    std::string rootLabel = WindowName(root_);
    CheckNode(doc, rootLabel);
    if (doc.contains("class")) CheckRootClass(doc["class"]);
    if (doc.contains("name") && root_->Name().empty()) {
      std::string name = Utf8ToAnsi(doc["name"].get<std::string>());
      Guard(rootLabel, {}, [&] { root_->SetName(name); });
      rootLabel = name;
    }

    SetLoadingFlags(root_, true);
    try {
      if (doc.contains("properties"))
        ReadProperties(root_, rootInfo_, doc["properties"], rootLabel, {});
      if (doc.contains("children"))
        for (const json& child : doc["children"]) ReadComponent(child, root_);
      ResolveReferences();
      root_->SetComponentStateFlag(csReading, false);
      loaded_.push_back(root_);
      for (TComponent* c : loaded_)
        Guard(ComponentLabel(c, ObjectClassInfo(c)), {}, [c] { c->Loaded(); });
      for (TComponent* c : loaded_) SetLoadingFlags(c, false);
    } catch (...) {
      FreeCreated();
      SetLoadingFlags(root_, false);
      throw;
    }
  }

 private:
  struct TReference {
    TObject* object;
    const TPropInfo* prop;
    std::string target;
    std::string component;
    std::string property;
  };

  [[noreturn]] void Fail(const std::string& component, const std::string& property,
                         const std::string& problem) const {
    throw ELayoutError(WindowName(root_), component, property, problem);
  }

  // Runs `step`; whatever it raises comes out as ELayoutError naming where it happened.
  template <class F>
  void Guard(const std::string& component, const std::string& property, F step) const {
    try {
      step();
    } catch (const ELayoutError&) {
      throw;
    } catch (const std::exception& e) {
      Fail(component, property, e.what());
    }
  }

  void CheckNode(const json& node, const std::string& label) const {
    if (!node.is_object()) Fail(label, {}, "a component must be a JSON object");
    for (const auto& [key, value] : node.items()) {
      if (key == "class" || key == "name") {
        if (!value.is_string()) Fail(label, {}, "\"" + key + "\" must be a string");
      } else if (key == "properties") {
        if (!value.is_object()) Fail(label, {}, "\"properties\" must be an object");
      } else if (key == "children") {
        if (!value.is_array()) Fail(label, {}, "\"children\" must be an array");
      } else {
        Fail(label, {}, "unknown entry \"" + Utf8ToAnsi(key) + "\"");
      }
    }
  }

  void CheckRootClass(const json& value) const {
    std::string name = Utf8ToAnsi(value.get<std::string>());
    for (const TClassInfo* c = rootInfo_; c; c = c->Parent())
      if (_stricmp(c->Name().c_str(), name.c_str()) == 0) return;
    if (_stricmp(root_->ClassName().c_str(), name.c_str()) == 0) return;
    Fail({}, {}, "the layout is for a " + name);
  }

  void ReadComponent(const json& node, TComponent* parent) {
    std::string label = "unnamed component";
    if (node.is_object() && node.contains("name") && node["name"].is_string())
      label = Utf8ToAnsi(node["name"].get<std::string>());
    else if (node.is_object() && node.contains("class") && node["class"].is_string())
      label = "unnamed " + Utf8ToAnsi(node["class"].get<std::string>());
    CheckNode(node, label);
    if (!node.contains("class")) Fail(label, {}, "the component has no \"class\"");
    std::string className = Utf8ToAnsi(node["class"].get<std::string>());
    const TClassInfo* info = FindClassInfo(className);
    if (!info) Fail(label, {}, "unknown class " + className);
    if (!info->CanCreate()) Fail(label, {}, "class " + className + " cannot be created");

    TComponent* c = nullptr;
    Guard(label, {}, [&] { c = info->Create(root_); });
    created_.push_back(c);
    SetLoadingFlags(c, true);
    if (node.contains("name"))
      Guard(label, {}, [&] { c->SetName(Utf8ToAnsi(node["name"].get<std::string>())); });
    label = ComponentLabel(c, info);
    Guard(label, {}, [&] { c->SetParentComponent(parent); });
    if (node.contains("properties")) ReadProperties(c, info, node["properties"], label, {});
    if (node.contains("children"))
      for (const json& child : node["children"]) ReadComponent(child, c);
    c->SetComponentStateFlag(csReading, false);
    loaded_.push_back(c);
  }

  void ReadProperties(TObject* object, const TClassInfo* info, const json& props,
                      const std::string& component, const std::string& path) {
    for (const auto& [key, value] : props.items()) {
      std::string name = Utf8ToAnsi(key);
      std::string where = Join(path, name);
      const TPropInfo* prop = info ? info->FindProp(name) : nullptr;
      if (!prop) {
        const TExtraPropInfo* extra = info ? info->FindExtra(name) : nullptr;
        if (!extra) Fail(component, where, "unknown property");
        Guard(component, where, [&] {
          extra->Read(object, NormalizeValue(extra->Kind, extra->Enum, ToValue(value)));
        });
        continue;
      }
      Guard(component, where, [&] { ReadProperty(object, *prop, value, component, where); });
    }
  }

  void ReadProperty(TObject* object, const TPropInfo& prop, const json& value,
                    const std::string& component, const std::string& where) {
    switch (prop.Kind) {
      case tkClass: {
        if (!value.is_object()) throw EPropertyConvertError("expected an object of properties");
        TPersistent* sub = prop.Get(object).AsObject();
        const TClassInfo* subInfo = ObjectClassInfo(sub);
        if (!sub || !subInfo) throw EPropertyError("the property holds no object with properties");
        ReadProperties(sub, subInfo, value, component, where);
        return;
      }
      case tkPicture: {
        if (!value.is_string() && !value.is_null())
          throw EPropertyConvertError("expected a picture resource name");
        if (!PictureHooks().load) throw EPropertyError("pictures cannot be loaded in this program");
        std::string resource = TextOf(value);
        PictureHooks().load(prop.Get(object).AsObject(), module_, resource);
        return;
      }
      case tkComponent:
        if (value.is_string() && !value.get<std::string>().empty()) {
          references_.push_back(
              {object, &prop, Utf8ToAnsi(value.get<std::string>()), component, where});
          return;
        }
        if (!value.is_null() && !value.is_string())
          throw EPropertyConvertError("expected a component name");
        SetPropValue(object, prop, TValue::Component(nullptr));
        return;
      case tkMethod: {
        if (!value.is_string() && !value.is_null())
          throw EPropertyConvertError("expected a handler name");
        std::string handler = TextOf(value);
        if (handler.empty()) {
          SetPropValue(object, prop, TValue::Event({}));
          return;
        }
        std::any made = rootInfo_ ? rootInfo_->MakeHandler(root_, handler) : std::any();
        if (!made.has_value())
          throw EPropertyError("the window has no handler " + handler);
        SetPropValue(object, prop, TValue::Event(handler, std::move(made)));
        return;
      }
      default:
        SetPropValue(object, prop, ToValue(value));
        return;
    }
  }

  TValue ToValue(const json& value) const {
    switch (value.type()) {
      case json::value_t::null: return {};
      case json::value_t::boolean: return TValue::Boolean(value.get<bool>());
      case json::value_t::number_integer: return TValue::Integer(value.get<long long>());
      case json::value_t::number_unsigned: {
        auto u = value.get<unsigned long long>();
        if (u > static_cast<unsigned long long>(LLONG_MAX))
          throw EPropertyConvertError("the number is too large");
        return TValue::Integer(static_cast<long long>(u));
      }
      case json::value_t::number_float: return TValue::Float(value.get<double>());
      case json::value_t::string: return TValue::String(Utf8ToAnsi(value.get<std::string>()));
      case json::value_t::array: {
        std::vector<TValue> items;
        for (const json& item : value) items.push_back(ToValue(item));
        return TValue::List(std::move(items));
      }
      default: throw EPropertyConvertError("expected a value, found an object");
    }
  }

  // Every name is looked up before any reference is set, so a missing one changes nothing.
  void ResolveReferences() {
    std::vector<TComponent*> targets;
    for (const TReference& r : references_) {
      TComponent* target = root_->FindComponent(r.target);
      if (!target && _stricmp(root_->Name().c_str(), r.target.c_str()) == 0) target = root_;
      if (!target) Fail(r.component, r.property, "there is no component named " + r.target);
      targets.push_back(target);
    }
    for (size_t i = 0; i < references_.size(); ++i) {
      const TReference& r = references_[i];
      Guard(r.component, r.property,
            [&] { SetPropValue(r.object, *r.prop, TValue::Component(targets[i])); });
    }
  }

  // Frees what this read made, newest first, so nested components go before their parents.
  void FreeCreated() {
    for (auto it = created_.rbegin(); it != created_.rend(); ++it) {
      TComponent* c = *it;
      bool stillOwned = false;
      for (int i = 0; i < root_->ComponentCount(); ++i)
        if (root_->Components(i) == c) stillOwned = true;
      if (stillOwned) delete c;
    }
    created_.clear();
  }

  TComponent* root_;
  const TClassInfo* rootInfo_;
  HINSTANCE module_;
  std::vector<TComponent*> created_;  // in the order they were made
  std::vector<TComponent*> loaded_;   // nested components before their parents, root last
  std::vector<TReference> references_;
};

class TLayoutWriter {
 public:
  explicit TLayoutWriter(TComponent* root) : root_(root) {}

  std::string Write() {
    std::vector<TComponent*> marked;
    auto mark = [&marked](TComponent* c) {
      c->SetComponentStateFlag(csWriting, true);
      marked.push_back(c);
    };
    mark(root_);
    for (int i = 0; i < root_->ComponentCount(); ++i) mark(root_->Components(i));
    try {
      json doc = WriteRoot();
      for (TComponent* c : marked) c->SetComponentStateFlag(csWriting, false);
      return doc.dump(2);
    } catch (...) {
      for (TComponent* c : marked) c->SetComponentStateFlag(csWriting, false);
      throw;
    }
  }

 private:
  [[noreturn]] void Fail(const std::string& component, const std::string& property,
                         const std::string& problem) const {
    throw ELayoutError(WindowName(root_), component, property, problem);
  }

  json WriteRoot() {
    const TClassInfo* info = ObjectClassInfo(root_);
    json doc = json::object();
    doc["class"] = AnsiToUtf8(info ? info->Name() : root_->ClassName());
    if (!root_->Name().empty()) doc["name"] = AnsiToUtf8(root_->Name());
    if (info) {
      json props = WriteProperties(root_, info, WindowName(root_), {});
      if (!props.empty()) doc["properties"] = std::move(props);
    }
    json children = json::array();
    for (int i = 0; i < root_->ComponentCount(); ++i) {
      TComponent* c = root_->Components(i);
      TComponent* parent = c->GetParentComponent();
      if (!parent || parent == root_) children.push_back(WriteComponent(c));
    }
    // Nested in something the layout does not hold: kept at the top, so nothing is lost.
    for (int i = 0; i < root_->ComponentCount(); ++i) {
      TComponent* c = root_->Components(i);
      if (!written_.count(c)) children.push_back(WriteComponent(c));
    }
    if (!children.empty()) doc["children"] = std::move(children);
    return doc;
  }

  json WriteComponent(TComponent* c) {
    written_.insert(c);
    const TClassInfo* info = ObjectClassInfo(c);
    std::string label = ComponentLabel(c, info);
    if (!info) Fail(label, {}, "class " + c->ClassName() + " is not registered");
    json node = json::object();
    node["class"] = AnsiToUtf8(info->Name());
    if (!c->Name().empty()) node["name"] = AnsiToUtf8(c->Name());
    json props = WriteProperties(c, info, label, {});
    if (!props.empty()) node["properties"] = std::move(props);
    json children = json::array();
    for (int i = 0; i < root_->ComponentCount(); ++i) {
      TComponent* child = root_->Components(i);
      if (!written_.count(child) && child->GetParentComponent() == c)
        children.push_back(WriteComponent(child));
    }
    if (!children.empty()) node["children"] = std::move(children);
    return node;
  }

  json WriteProperties(TObject* object, const TClassInfo* info, const std::string& component,
                       const std::string& path) {
    json props = json::object();
    for (const TPropInfo* prop : info->Props()) {
      std::string where = Join(path, prop->Name);
      try {
        if (!prop->IsStored(object)) continue;
        TValue value = prop->Get(object);
        if (prop->Default && value == *prop->Default) continue;
        json out = PropertyToJson(*prop, value, component, where);
        if (!out.is_null()) props[AnsiToUtf8(prop->Name)] = std::move(out);
      } catch (const ELayoutError&) {
        throw;
      } catch (const std::exception& e) {
        Fail(component, where, e.what());
      }
    }
    for (const TExtraPropInfo* extra : info->Extras()) {
      if (!extra->Write) continue;
      std::string where = Join(path, extra->Name);
      try {
        std::optional<TValue> value = extra->Write(object);
        if (value) props[AnsiToUtf8(extra->Name)] = ValueToJson(*value, extra->Enum);
      } catch (const std::exception& e) {
        Fail(component, where, e.what());
      }
    }
    return props;
  }

  // null: nothing to write.
  json PropertyToJson(const TPropInfo& prop, const TValue& value, const std::string& component,
                      const std::string& where) {
    switch (prop.Kind) {
      case tkEnumeration: {
        if (!prop.Enum) return value.AsInteger();
        std::string ident = GetEnumName(*prop.Enum, static_cast<int>(value.AsInteger()));
        if (ident.empty())
          throw EPropertyConvertError(Format("%lld is not a %s value", value.AsInteger(),
                                             prop.Enum->Name.c_str()));
        return AnsiToUtf8(ident);
      }
      case tkColor: return AnsiToUtf8(ColorToString(static_cast<TColor>(value.AsInteger())));
      case tkPicture: {
        TPersistent* picture = value.AsObject();
        if (!picture || !PictureHooks().name) return nullptr;
        std::string resource = PictureHooks().name(picture);
        if (resource.empty()) return nullptr;
        return AnsiToUtf8(resource);
      }
      case tkClass: {
        TPersistent* sub = value.AsObject();
        const TClassInfo* subInfo = ObjectClassInfo(sub);
        if (!sub || !subInfo) return nullptr;
        json nested = WriteProperties(sub, subInfo, component, where);
        if (nested.empty()) return nullptr;
        return nested;
      }
      case tkComponent: {
        TComponent* target = value.AsComponent();
        if (!target) return nullptr;
        if (target->Name().empty())
          throw EPropertyConvertError("refers to a component without a name");
        return AnsiToUtf8(target->Name());
      }
      case tkMethod:
        // A handler set in code has no name to write.
        if (value.AsString().empty()) return nullptr;
        return AnsiToUtf8(value.AsString());
      default:
        return ValueToJson(value, prop.Enum);
    }
  }

  json ValueToJson(const TValue& value, const TEnumInfo* info) const {
    switch (value.Kind()) {
      case TValue::vkInteger: return value.AsInteger();
      case TValue::vkBoolean: return value.AsBoolean();
      case TValue::vkIdent:
      case TValue::vkString: return AnsiToUtf8(value.AsString());
      case TValue::vkFloat: return value.AsFloat();
      case TValue::vkSet: {
        if (!info) return value.AsSet();
        json idents = json::array();
        std::uint64_t bits = value.AsSet();
        for (int i = 0; i < 64; ++i) {
          if (!(bits & (std::uint64_t{1} << i))) continue;
          std::string ident = GetEnumName(*info, i);
          if (ident.empty())
            throw EPropertyConvertError(
                Format("the set holds members %s does not have", info->Name.c_str()));
          idents.push_back(AnsiToUtf8(ident));
        }
        return idents;
      }
      case TValue::vkList: {
        json items = json::array();
        for (const TValue& item : value.AsList()) items.push_back(ValueToJson(item, info));
        return items;
      }
      default:
        throw EPropertyConvertError("cannot store " + value.KindName());
    }
  }

  TComponent* root_;
  std::set<TComponent*> written_;
};

}  // namespace

ELayoutError::ELayoutError(std::string window, std::string component, std::string property,
                           const std::string& problem)
    : Exception(problem),
      window_(std::move(window)),
      component_(std::move(component)),
      property_(std::move(property)) {
  std::string where;
  if (!window_.empty()) where = "Layout of " + window_;
  if (!component_.empty()) where += (where.empty() ? "Component " : ", component ") + component_;
  if (!property_.empty()) where += (where.empty() ? "Property " : ", property ") + property_;
  SetMessage(where.empty() ? problem : where + ": " + problem);
}

void RegisterPictureHooks(TPictureLoader load, TPictureNamer name) {
  PictureHooks() = {std::move(load), std::move(name)};
}

void ReadLayout(TComponent* root, const std::string& text, HINSTANCE module) {
  TLayoutReader(root, module).Read(text);
}

std::string LoadLayoutResource(HINSTANCE module, const std::string& name) {
  HRSRC res = FindResourceA(module, name.c_str(), RT_RCDATA);
  HGLOBAL data = res ? LoadResource(module, res) : nullptr;
  const char* bytes = data ? static_cast<const char*>(LockResource(data)) : nullptr;
  if (!bytes) throw ELayoutError({}, {}, {}, Format("Resource %s not found", name.c_str()));
  return std::string(bytes, SizeofResource(module, res));
}

void ReadLayoutResource(TComponent* root, HINSTANCE module, const std::string& name) {
  std::string text;
  try {
    text = LoadLayoutResource(module, name);
  } catch (const ELayoutError& e) {
    throw ELayoutError(WindowName(root), {}, {}, e.Message());
  }
  ReadLayout(root, text, module);
}

std::string WriteLayout(TComponent* root) { return TLayoutWriter(root).Write(); }

void RaiseMissingComponent(TComponent* root, const std::string& name, const TComponent* found,
                           const std::type_info& wanted) {
  const TClassInfo* info = FindClassInfo(std::type_index(wanted));
  std::string className = info ? info->Name() : wanted.name();
  if (!found) throw ELayoutError(WindowName(root), name, {}, "the window has no " + className + " of this name");
  const TClassInfo* foundInfo = ObjectClassInfo(found);
  throw ELayoutError(WindowName(root), name, {},
                     "a " + (foundInfo ? foundInfo->Name() : found->ClassName()) + " where a " + className +
                         " is needed");
}
