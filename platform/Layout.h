// Stored layouts of windows: JSON text that names each component's class, its name, its
// published property values, its event handlers and the components nested in it.
//
//   { "class": "TForm1", "name": "Form1",
//     "properties": { "Caption": "Quenmar benchmark", "OnCreate": "FormCreate" },
//     "children": [
//       { "class": "TFcPanel", "name": "Panel1",
//         "properties": { "Color": "clWhite", "FrameSides": ["sdLeft", "sdTop"] },
//         "children": [
//           { "class": "TFcButton", "name": "BenchButton",
//             "properties": { "Font": { "Size": 10 }, "OnClick": "BenchButtonClick" } } ] },
//       { "class": "TSvCreateProcess", "name": "cp",
//         "properties": { "OnTerminate": "cpTerminate" } } ] }
//
// Every component of the layout is owned by the window; "children" nest it (visually)
// inside the component above. Texts are UTF-8 in the file and the ANSI code page in the
// program. Integers, Booleans and floats are JSON values; enumerations, colours, component
// references, handlers and pictures are strings; sets and string lists are arrays of strings;
// sub-objects such as fonts are objects of their own properties.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <typeinfo>

#include "platform/Classes.h"

// A layout that cannot be read or written; the message names the window, the component and
// the property.
class ELayoutError : public Exception {
 public:
  ELayoutError(std::string window, std::string component, std::string property,
               const std::string& problem);
  const std::string& Window() const { return window_; }
  const std::string& ComponentName() const { return component_; }
  const std::string& PropertyName() const { return property_; }

 private:
  std::string window_;
  std::string component_;
  std::string property_;
};

// Pictures are stored by resource name. The picture classes plug in here: `load` fills a
// picture from a resource of `module`, `name` gives back the resource a picture came from
// ("" when it has none, and then it is not written).
using TPictureLoader =
    std::function<void(TPersistent* picture, HINSTANCE module, const std::string& resource)>;
using TPictureNamer = std::function<std::string(TPersistent* picture)>;
void RegisterPictureHooks(TPictureLoader load, TPictureNamer name);

// Reads `text` into `root` (the window): creates every component by its registered class,
// owned by the root, sets the properties, binds events to the root's registered handlers and,
// once everything is read, resolves component references and calls Loaded (nested
// components first, the root last). On any failure the components this read created are
// freed again and ELayoutError is raised. Pictures come from `module` (nullptr: the program).
void ReadLayout(TComponent* root, const std::string& text, HINSTANCE module = nullptr);

// The text of the RCDATA resource `name` of `module`; ELayoutError when there is none.
std::string LoadLayoutResource(HINSTANCE module, const std::string& name);
void ReadLayoutResource(TComponent* root, HINSTANCE module, const std::string& name);

// A window's class keeps the components its code works on by their layout names. The
// component `name` of `root`, of class T or one derived from it; ELayoutError naming the
// window and the component when `root` has none of that name, or one of another class.
[[noreturn]] void RaiseMissingComponent(TComponent* root, const std::string& name,
                                        const TComponent* found, const std::type_info& wanted);
template <class T>
T* LayoutComponent(TComponent* root, const std::string& name) {
  TComponent* found = root->FindComponent(name);
  if (T* component = dynamic_cast<T*>(found)) return component;
  RaiseMissingComponent(root, name, found, typeid(T));
}

// The layout of `root` and every component it owns, leaving out properties equal to their
// default and those the class chooses not to store; reading it back gives the same tree.
std::string WriteLayout(TComponent* root);
