// The framed containers: the panel with an outer and an inner border, a caption, a background
// grid and captioned grabbers for docked controls; the group box that frames a group of
// controls under a caption; and the status bar at the foot of a window, with its size grip.
//
// Index: TFcCustomPanel, TFcPanel · TFcPanelDockManager · TFcCustomGroupBox, TFcGroupBox ·
// TFcStatusBar · PublishPanelSettings · registration.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "controls/FcCommon.h"
#include "platform/Docking.h"
#include "platform/ExtCtrls.h"

enum TFcGridKind { gkDots, gkDottedLines, gkSolidLines };
enum TFcGroupBoxStyle { gsStandard, gsCustom, gsTopLine, gsFlat };
extern const TEnumInfo GridKindInfo;
extern const TEnumInfo GroupBoxStyleInfo;
extern const TEnumInfo AlignmentInfo;

// The size of the text in the font, measured on the screen.
SIZE FontTextExtent(TFont* font, const std::string& text);

// ---- Panel -----------------------------------------------------------------------------------

// A windowed container framed by an outer and an inner border on chosen sides, with a caption
// placed by Alignment and AlignmentVertical, an optional background grid, and transparency.
// Disabling it disables its children; enabling it again gives each child back the state it had.
class TFcCustomPanel : public TCustomPanel, public IFcFramingNotification {
  MESSAGE_TABLE(TCustomPanel)

 public:
  explicit TFcCustomPanel(TComponent* owner);
  ~TFcCustomPanel() override;

  TFrameStyleEx BorderOuter() const { return borderOuter_; }
  virtual void SetBorderOuter(TFrameStyleEx value);
  TFrameStyleEx BorderInner() const { return borderInner_; }
  virtual void SetBorderInner(TFrameStyleEx value);
  TSides BorderSides() const { return borderSides_; }
  virtual void SetBorderSides(TSides value);
  // The band of BorderWidth rings between the two borders.
  TColor BorderColor() const { return borderColor_; }
  void SetBorderColor(TColor value);
  TColor BorderHighlight() const { return borderHighlight_; }
  void SetBorderHighlight(TColor value);
  TColor BorderShadow() const { return borderShadow_; }
  void SetBorderShadow(TColor value);
  // The flat border styles draw in FlatColor shifted by FlatColorAdjustment.
  TColor FlatColor() const { return flatColor_; }
  void SetFlatColor(TColor value);
  int FlatColorAdjustment() const { return flatColorAdjustment_; }
  void SetFlatColorAdjustment(int value);
  TAlignmentVertical AlignmentVertical() const { return alignmentVertical_; }
  void SetAlignmentVertical(TAlignmentVertical value);
  // The parent shows through everywhere but the borders and the caption.
  bool Transparent() const { return transparent_; }
  virtual void SetTransparent(bool value);
  // The visual styles draw what they have an element for (group box, status bar).
  bool ThemeAware() const { return themeAware_; }
  virtual void SetThemeAware(bool value);
  // Docked controls get their caption on their grabber.
  bool ShowDockClientCaptions() const { return showDockClientCaptions_; }
  void SetShowDockClientCaptions(bool value) { showDockClientCaptions_ = value; }
  TFcFrameController* FrameController() const { return frameController_; }
  void SetFrameController(TFcFrameController* value);

  bool GridVisible() const { return gridVisible_; }
  void SetGridVisible(bool value);
  TFcGridKind GridKind() const { return gridKind_; }
  void SetGridKind(TFcGridKind value);
  TColor GridLineColor() const { return gridLineColor_; }
  void SetGridLineColor(TColor value);
  WORD GridCellWidth() const { return gridCellWidth_; }
  void SetGridCellWidth(WORD value);
  WORD GridCellHeight() const { return gridCellHeight_; }
  void SetGridCellHeight(WORD value);

  // Painted into a memory bitmap first (set while the panel has a dock manager).
  bool DoubleBuffered() const { return doubleBuffered_; }
  void SetDoubleBuffered(bool value) { doubleBuffered_ = value; }

  // Fired after the panel has painted itself.
  TNotifyEvent OnPaint;

  // The mouse in client coordinates.
  virtual POINT GetClientCursorPos();
  // `rect` less the two borders on BorderSides, and with `withBorderWidth` less BorderWidth
  // on every side first.
  virtual RECT AdjustRectForBorders(RECT rect, bool withBorderWidth);
  // (0, 0, Width, Height).
  virtual RECT GetControlRect();
  // Takes the frame style, sides and colours of the frame controller while its frame shows.
  void UpdateFrameSettings() override;
  // An aligned panel at the bottom (right) keeps its bottom (right) edge when it grows.
  void SetBounds(int left, int top, int width, int height) override;
  // ThemeAware and visual styles in use.
  bool Themed() const;

 protected:
  virtual void DrawCaption(RECT rect);
  virtual void DrawGrid(RECT rect);
  void AdjustClientRect(RECT& rect) override;
  void AlignControls(TControl* control, RECT& rect) override;
  void Paint() override;
  void Notification(TComponent* component, TOperation operation) override;
  std::unique_ptr<IDockManager> CreateDockManager() override;
  void MouseEnter() override;
  // The colour the flat border styles draw in.
  TColor ShiftedFlatColor() const { return ShiftLightness(flatColor_, flatColorAdjustment_); }

 private:
  void Changed(bool realign);
  void CMEnabledChanged(TMessage& m);
  void WMWindowPosChanged(TWMObject<WINDOWPOS>& m);
  void WMEraseBkgnd(TWMDC& m);
  void WMPaint(TWMDC& m);

  TFrameStyleEx borderOuter_ = fsRaised;
  TFrameStyleEx borderInner_ = fsNone;
  TSides borderSides_ = sdAllSides;
  TColor borderColor_ = clBtnFace;
  TColor borderHighlight_ = clBtnHighlight;
  TColor borderShadow_ = clBtnShadow;
  TColor flatColor_ = clBtnShadow;
  int flatColorAdjustment_ = 30;
  TAlignmentVertical alignmentVertical_ = avCenter;
  bool transparent_ = false;
  bool themeAware_ = true;
  bool showDockClientCaptions_ = true;
  TFcFrameController* frameController_ = nullptr;
  bool gridVisible_ = false;
  TFcGridKind gridKind_ = gkDots;
  TColor gridLineColor_ = clBtnShadow;
  WORD gridCellWidth_ = 8;
  WORD gridCellHeight_ = 8;
  bool doubleBuffered_ = false;
  // Each child's enabled state when the panel was disabled, in child order.
  std::vector<std::pair<TControl*, bool>> enabledStates_;
  SIZE lastSize_{-1, -1};
};

// The panel that stored layouts name.
class TFcPanel : public TFcCustomPanel {
 public:
  using TFcCustomPanel::TFcCustomPanel;
};

// The dock manager of a panel that is a dock site: captioned grabbers, 14 pixels, with the
// docked control's caption in the caption colours (active while the control has the focus)
// and a close glyph.
class TFcPanelDockManager : public TDockTree {
 public:
  explicit TFcPanelDockManager(TFcCustomPanel* panel);

  TFcCustomPanel* Panel() const { return panel_; }
  TFont* CaptionFont() const { return captionFont_.get(); }
  TFont* CloseFont() const { return closeFont_.get(); }

 protected:
  void AdjustDockRect(TControl* control, RECT& rect) override;
  void PaintDockFrame(TCanvas* canvas, TControl* control, const RECT& rect) override;
  void WindowProc(TMessage& message) override;

 private:
  TFcCustomPanel* panel_;
  std::unique_ptr<TFont> captionFont_;
  std::unique_ptr<TFont> closeFont_;
};

// ---- Group box -------------------------------------------------------------------------------

// A frame with a caption in its top edge around a group of controls: the visual style's group
// box, or in the classic look a groove, a top line only, a rounded flat frame or the panel's
// own borders (gsCustom).
class TFcCustomGroupBox : public TFcCustomPanel {
  MESSAGE_TABLE(TFcCustomPanel)

 public:
  explicit TFcCustomGroupBox(TComponent* owner);

  TFcGroupBoxStyle GroupStyle() const { return groupStyle_; }
  // gsCustom and gsTopLine draw classic frames only: they turn ThemeAware off.
  virtual void SetGroupStyle(TFcGroupBoxStyle value);

  // Only a gsCustom group box takes the frame controller's settings.
  void UpdateFrameSettings() override;

 protected:
  void AdjustClientRect(RECT& rect) override;
  void Paint() override;
  // Where the caption goes (empty without one, or for gsCustom).
  RECT CaptionRect();

 private:
  void CMDialogChar(TWMKey& m);
  void CMFontChanged(TMessage& m);

  TFcGroupBoxStyle groupStyle_ = gsFlat;
};

class TFcGroupBox : public TFcCustomGroupBox {
 public:
  using TFcCustomGroupBox::TFcCustomGroupBox;
};

// ---- Status bar ------------------------------------------------------------------------------

// A bar at the bottom of a window that holds status panes, with a size grip in its corner
// while the form can be sized, and a one-line simple status that hides the panes.
class TFcStatusBar : public TFcCustomPanel {
  MESSAGE_TABLE(TFcCustomPanel)

 public:
  explicit TFcStatusBar(TComponent* owner);
  ~TFcStatusBar() override;

  // Cleared by any change of BorderInner, BorderOuter or BorderSides; while set, loading a
  // layout gives the bar its standard look again (ApplyAutoStyle).
  bool AutoStyle() const { return autoStyle_; }
  void SetAutoStyle(bool value) { autoStyle_ = value; }
  bool ShowSizeGrip() const { return showSizeGrip_; }
  virtual void SetShowSizeGrip(bool value);
  // Shows SimpleCaption in a frame of SimpleFrameStyle instead of the panes.
  bool SimpleStatus() const { return simpleStatus_; }
  virtual void SetSimpleStatus(bool value);
  const std::string& SimpleCaption() const { return simpleCaption_; }
  virtual void SetSimpleCaption(const std::string& value);
  TFrameStyle SimpleFrameStyle() const { return simpleFrameStyle_; }
  virtual void SetSimpleFrameStyle(TFrameStyle value);
  // The panes keep their share of the bar's width when it is resized.
  bool AutoScalePanes() const { return autoScalePanes_; }
  void SetAutoScalePanes(bool value) { autoScalePanes_ = value; }

  // The grip is shown and the form can be sized by it: sizeable and not maximised.
  bool SizeGripApplies();
  // The part of the bar where a press sizes the form.
  RECT SizeGripRect() const { return RECT{Width() - 13, 0, Width(), Height()}; }

  void SetBorderOuter(TFrameStyleEx value) override;
  void SetBorderInner(TFrameStyleEx value) override;
  void SetBorderSides(TSides value) override;
  void Loaded() override;

 protected:
  // No borders, 19 pixels high; AutoStyle keeps its value.
  virtual void ApplyAutoStyle();
  virtual void DrawSimpleFrame(RECT rect);
  RECT GetClientRect() override;
  void WndProc(TMessage& message) override;
  void Paint() override;
  void Resize() override;

 private:
  void DrawSizeGrip(HDC dc);
  void WMPaint(TWMDC& m);
  void WMSetCursor(TWMSetCursor& m);

  bool autoStyle_ = true;
  bool showSizeGrip_ = true;
  bool simpleStatus_ = false;
  std::string simpleCaption_;
  TFrameStyle simpleFrameStyle_ = fsFlat;
  bool autoScalePanes_ = false;
  std::unique_ptr<TControlCanvas> gripCanvas_;
  bool firstResize_ = true;
  int lastWidth_ = 0;
  int widthDelta_ = 0;
};

// ---- Registration ------------------------------------------------------------------------------

// Publishes the panel settings on the builder of a panel class C, with the borders' defaults
// of that class.
template <class C>
TClassBuilder<C>& PublishPanelSettings(TClassBuilder<C>& builder, TFrameStyleEx outer = fsRaised,
                                       TAlignmentVertical vertical = avCenter) {
  return builder.Enum("BorderOuter", FrameStyleExInfo, &C::BorderOuter, &C::SetBorderOuter, outer)
      .Enum("BorderInner", FrameStyleExInfo, &C::BorderInner, &C::SetBorderInner, fsNone)
      .Set("BorderSides", SideInfo, &C::BorderSides, &C::SetBorderSides, sdAllSides)
      .Color("BorderColor", &C::BorderColor, &C::SetBorderColor, clBtnFace)
      .Color("BorderHighlight", &C::BorderHighlight, &C::SetBorderHighlight, clBtnHighlight)
      .Color("BorderShadow", &C::BorderShadow, &C::SetBorderShadow, clBtnShadow)
      .Integer("BorderWidth", &C::BorderWidth, &C::SetBorderWidth, 0)
      .Integer("BevelWidth", &C::BevelWidth, &C::SetBevelWidth, 1)
      .Color("FlatColor", &C::FlatColor, &C::SetFlatColor, clBtnShadow)
      .Integer("FlatColorAdjustment", &C::FlatColorAdjustment, &C::SetFlatColorAdjustment, 30)
      .Enum("AlignmentVertical", AlignmentVerticalInfo, &C::AlignmentVertical, &C::SetAlignmentVertical,
            vertical)
      .Boolean("Transparent", &C::Transparent, &C::SetTransparent, false)
      .Boolean("ThemeAware", &C::ThemeAware, &C::SetThemeAware, true)
      .Boolean("ShowDockClientCaptions", &C::ShowDockClientCaptions, &C::SetShowDockClientCaptions, true)
      .Boolean("FullRepaint", &C::FullRepaint, &C::SetFullRepaint, true)
      .Boolean("Locked", &C::Locked, &C::SetLocked, false)
      .Color("Color", &C::Color, &C::SetColor, clBtnFace)
      .StoredIf([](C* c) { return !c->ParentColor(); })
      .Boolean("ParentColor", &C::ParentColor, &C::SetParentColor, false)
      .Component("FrameController", &C::FrameController, &C::SetFrameController)
      .Event("OnPaint", static_cast<TNotifyEvent C::*>(&C::OnPaint))
      .Obsolete("FrameSides", tkSet);
}

// Registers the panel, the group box and the status bar for stored layouts.
void RegisterFcPanel();
