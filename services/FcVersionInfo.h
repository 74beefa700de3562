// Reads the ten standard string fields of a file's version resource and hands them out by
// index; panes that show one of the fields are refreshed after every read.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/Classes.h"
#include "platform/StringList.h"

// Indexes of GetVersionField.
enum TFcVersionField {
  vfCompanyName,
  vfFileDescription,
  vfFileVersion,
  vfInternalName,
  vfLegalCopyright,
  vfLegalTrademarks,
  vfOriginalFilename,
  vfProductName,
  vfProductVersion,
  vfComments,
};

class TFcVersionInfo;

// A display of one field of a version reader (a status pane); told after every read.
class IFcVersionInfoPane {
 public:
  virtual ~IFcVersionInfoPane() = default;
  virtual void VersionInfoChanged(TFcVersionInfo* sender) = 0;
};

class TFcVersionInfo : public TComponent {
 public:
  // Reads the program's own module at once, unless designing.
  explicit TFcVersionInfo(TComponent* owner);

  // The file whose version resource is read; empty stands for the program's own module and
  // is replaced by its full path when read.
  const std::string& FilePath() const { return filePath_; }
  // A different path is stored and read at once (unless designing or loading).
  virtual void SetFilePath(const std::string& value);

  // The field at `index` (TFcVersionField); raises EListError outside 0..9. Every field is
  // "Value Not Available" when the file has no version resource.
  std::string GetVersionField(int index) const;

  void Loaded() override;

  // Panes stay registered until they unregister; each must do so before it goes away.
  void RegisterPane(IFcVersionInfoPane* pane);
  void UnregisterPane(IFcVersionInfoPane* pane);

 private:
  void ReadVersionInfo();
  void RefreshPanes();

  std::string filePath_;
  std::unique_ptr<TStringList> fields_;
  bool hasVersionResource_ = false;
  std::vector<IFcVersionInfoPane*> panes_;
};

// Publishes the component's properties for stored layouts; called once at start.
void RegisterFcVersionInfo();
