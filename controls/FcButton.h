// The library's buttons: the owner-drawn base of push buttons, radio buttons and check boxes;
// the push button with default, cancel, modal result and toggle groups, and the bitmap button
// with its glyph and stock kinds; the flat tool button with its drop-down menu; and the small
// arrow button other controls embed.
//
// Index: shared helpers · TFcCustomButton · TFcButton · TFcBitBtn · windowless buttons
// (TFcHoverButton, TFcToolButton, TFcControlButton) · registration. Where the parts live:
// FcButton.cpp the helpers, the base, the push button, the hover state and the registration;
// FcBitBtn.cpp the bitmap button and its kinds; FcToolBtn.cpp the tool button; FcCtrlBtn.cpp
// the control button.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "controls/FcCommon.h"
#include "platform/Controls.h"
#include "platform/Forms.h"
#include "platform/ImgList.h"
#include "platform/Menus.h"
#include "platform/StdCtrls.h"
#include "platform/Timer.h"

class TFcToolButtonActionLink;

// ---- Shared helpers ------------------------------------------------------------------------

// Stores a differing value; false (and nothing stored) when it is the same.
template <class T>
bool StoreChanged(T& field, const T& value) {
  if (field == value) return false;
  field = value;
  return true;
}

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
extern const TEnumInfo ButtonLayoutInfo;

// The glyph's rectangle of `size` from `r`, whose edge on the glyph's side is placed already:
// centred across the other way (left-right for glyphs above or below the caption).
RECT CentredAcross(RECT r, TButtonLayout layout, SIZE size);

// How many cells a glyph strip holds side by side: cell 1 normal, cell 2 disabled (more cells
// are kept but not drawn). Always 1 to 4.
using TNumGlyphs = int;
// A cell count brought into 1..4.
TNumGlyphs ClampNumGlyphs(int value);
// The cell count a strip's shape suggests: width ÷ height when the width is a multiple of the
// height and the quotient is below 5, else 1; `current` when the height is 0.
TNumGlyphs NumGlyphsOfShape(const TBitmap* glyph, TNumGlyphs current);
// Draws the glyph's cell for the state into `rect` (the cell's size): cell 2 when disabled and
// there are two cells or more. The cell's bottom-left pixel is its transparent colour.
void DrawGlyphCell(TCanvas* canvas, TBitmap* glyph, TNumGlyphs numGlyphs, bool enabled, const RECT& rect);

// Moves `owner`'s image list `field` to `value`: the change link and the free notification go
// with it. False when it is the same list.
bool ChangeImageList(TComponent* owner, TCustomImageList*& field, TCustomImageList* value, TChangeLink& link);

// The colours of the hot look, from a hot-track colour and how to use it. On a palette
// display every one of them is the window colour.
struct TFcHotColors {
  TColor Base = clWindow;  // the hot colour itself
  TColor Light = clWindow;
  TColor Dark = clWindow;
  TColor PressedFill = clWindow;  // the face of a pressed glyph
};
// htctActual takes the colour as it is; htctComplement the colour opposite its hue, pale.
TFcHotColors HotTrackColors(TColor hotTrackColor, TFcHotTrackColorType type);

// The height of `text` drawn word-wrapped into the width of `rect` in `font`, as the buttons
// place their captions.
int CaptionBlockHeight(TFont* font, const std::string& text, const RECT& rect);
// The control is the one under the mouse cursor now.
bool IsUnderCursor(TControl* control);

// The visual style's data for a theme class ("BUTTON", "TOOLBAR"...), opened on first use and
// kept for the process (nullptr when the style has no such class): opening it costs more than
// drawing a button. ForgetThemeData lets them all go when the system's theme changes.
HTHEME CachedThemeData(const char* themeClass);
void ForgetThemeData();

// An 8 × 8 pattern of `base` with `dots` on the pixels whose row and column are both even or
// both odd: the face of a latched-down button.
std::unique_ptr<TBitmap> CheckeredPattern(TColor base, TColor dots);

// ---- TFcCustomButton -----------------------------------------------------------------------

// The windowed, owner-drawn base of the push buttons, radio buttons and check boxes: a left
// press and release inside the control is one state change (AdvanceState); the pressed look
// shows while the press is held inside. It also keeps the hover state, repaints the hot area
// when the mouse comes and goes, paints its parent behind it when transparent, and draws its
// caption raised, recessed or with a shadow.
class TFcCustomButton : public TCustomControl {
  MESSAGE_TABLE(TCustomControl)

 public:
  explicit TFcCustomButton(TComponent* owner);

  TAlignmentVertical AlignmentVertical() const { return alignmentVertical_; }
  virtual void SetAlignmentVertical(TAlignmentVertical value);
  // The hot area is repainted when the mouse enters and leaves it.
  bool HotTrack() const { return hotTrack_; }
  virtual void SetHotTrack(bool value);
  TColor HighlightColor() const { return highlightColor_; }
  virtual void SetHighlightColor(TColor value);
  TColor HotTrackColor() const { return hotTrackColor_; }
  void SetHotTrackColor(TColor value) { hotTrackColor_ = value; }
  TFcHotTrackColorType HotTrackColorType() const { return hotTrackColorType_; }
  void SetHotTrackColorType(TFcHotTrackColorType value) { hotTrackColorType_ = value; }
  // Raised text without its shadow, recessed text without its highlight.
  bool LightTextStyle() const { return lightTextStyle_; }
  virtual void SetLightTextStyle(bool value);
  TTextStyle TextStyle() const { return textStyle_; }
  virtual void SetTextStyle(TTextStyle value);
  TColor TextHighlightColor() const { return textHighlightColor_; }
  virtual void SetTextHighlightColor(TColor value);
  TColor TextShadowColor() const { return textShadowColor_; }
  virtual void SetTextShadowColor(TColor value);
  int TextShadowDepth() const { return textShadowDepth_; }
  virtual void SetTextShadowDepth(int value);
  // With visual styles active the control repaints on hover like a hot-tracked one.
  bool ThemeAware() const { return themeAware_; }
  virtual void SetThemeAware(bool value);
  // The parent's picture shows behind the control.
  bool Transparent() const { return transparent_; }
  virtual void SetTransparent(bool value);

  // A left press on the control is held and its release is pending.
  bool Tracking() const { return tracking_; }
  // The mouse is over the control.
  bool MouseInside() const { return mouseInside_; }
  // The control is drawn pressed: a press held inside it, or Space held.
  bool PressedLook() const { return pressedLook_; }

  // Draws the caption into `rect` with the DT_ flags `format`, placed vertically by
  // AlignmentVertical, in the text style (embossed when disabled).
  virtual void PaintCaptionText(TCanvas* canvas, const RECT& rect, UINT format);

 protected:
  // Shows a change of state; nothing here.
  virtual void RefreshState() {}
  // Repaints at once.
  virtual void RedrawNow();
  // What to repaint when the mouse enters and leaves: the client area.
  virtual RECT HotAreaRect();
  // What a completed click does.
  virtual void AdvanceState() = 0;
  // Sets MouseInside and fires OnMouseEnter; MouseLeft the reverse.
  virtual void MouseEntered();
  virtual void MouseLeft();
  void SetPressedLook(bool value) { pressedLook_ = value; }
  // The visual styles draw this control.
  bool Themed() const;
  // Space held down shows the pressed look; its release completes the click unless Escape
  // (or the like) cancelled it meanwhile.
  void SpaceDown();
  void SpaceUp();
  void CancelSpace();

  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseEnter() override;
  void MouseLeave() override;

  void WMFocusChange(TMessage& m);
  void WMThemeChanged(TMessage& m);
  void WMEraseBkgnd(TWMDC& m);
  void CMTextChanged(TMessage& m);

 private:
  void InvalidateHotArea();

  TAlignmentVertical alignmentVertical_ = avCenter;
  bool hotTrack_ = false;
  TColor highlightColor_ = clHighlight;
  TColor hotTrackColor_ = clHighlight;
  TFcHotTrackColorType hotTrackColorType_ = htctComplement;
  bool lightTextStyle_ = false;
  TTextStyle textStyle_ = tsNormal;
  TColor textHighlightColor_ = clBtnHighlight;
  TColor textShadowColor_ = clBtnShadow;
  int textShadowDepth_ = 2;
  bool themeAware_ = true;
  bool transparent_ = false;
  bool tracking_ = false;
  bool mouseInside_ = false;
  bool pressedLook_ = false;
  bool spacePending_ = false;
};

// ---- TFcButton -----------------------------------------------------------------------------

// Told to the buttons of a parent when one of a toggle group went down: wParam the group
// index, lParam the button.
constexpr UINT CM_FCBUTTONPRESSED = WM_USER + 0x2021;

// The push button: Enter presses the focused button or, while no button has the focus, the
// default one; Escape presses a cancel button; its modal result goes to its form. Buttons
// with the same GroupIndex on one parent latch down in turn (at most one down; with
// AllowAllUp the down one can also be released). Three looks: the visual style's push
// button, a flat hot-tracked look, and the classic bevel.
class TFcButton : public TFcCustomButton {
  MESSAGE_TABLE(TFcCustomButton)

 public:
  explicit TFcButton(TComponent* owner);

  TAlignment Alignment() const { return alignment_; }
  virtual void SetAlignment(TAlignment value);
  // Pressed by Enter while no other button has the focus.
  bool Default() const { return default_; }
  virtual void SetDefault(bool value);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool value) { cancel_ = value; }
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult value) { modalResult_ = value; }
  int GroupIndex() const { return groupIndex_; }
  virtual void SetGroupIndex(int value);
  // Latched down; always False for an ungrouped button.
  bool Down() const { return down_; }
  virtual void SetDown(bool value);
  bool AllowAllUp() const { return allowAllUp_; }
  virtual void SetAllowAllUp(bool value);
  bool ShowDownPattern() const { return showDownPattern_; }
  virtual void SetShowDownPattern(bool value);
  bool ShowFocusRect() const { return showFocusRect_; }
  virtual void SetShowFocusRect(bool value);
  // Kept for layouts; the buttons do nothing with it.
  bool DropDownOnEnter() const { return dropDownOnEnter_; }
  void SetDropDownOnEnter(bool value) { dropDownOnEnter_ = value; }
  // Hot tracking also makes the button transparent.
  void SetHotTrack(bool value) override;

  // Enter presses this button now: it has the focus, or it is the default button and no
  // other button has the focus.
  bool AnswersEnter() const { return answersEnter_; }

  // Hands the modal result to the form, then fires OnClick (or runs the action).
  void Click() override;
  // Where the caption is drawn.
  virtual RECT CaptionRect();

 protected:
  void CreateWnd() override;
  void Paint() override;
  void AdvanceState() override;
  void RefreshState() override;
  virtual void PaintCaption();
  virtual std::unique_ptr<TBitmap> MakeDownPattern();
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyUp(WORD& key, TShiftState shift) override;
  // The button is shown down: latched in its group, or pressed.
  bool ShownDown() const { return (groupIndex_ != 0 && down_) || PressedLook(); }

  void CMDialogKey(TWMKey& m);
  void CMDialogChar(TWMKey& m);
  void CMFocusChanged(TWMObject<TWinControl>& m);
  void CMButtonPressed(TWMObject<TControl>& m);

 private:
  void TellGroup();
  void PaintHotTrackFace(RECT r);

  TAlignment alignment_ = taCenter;
  bool default_ = false;
  bool cancel_ = false;
  TModalResult modalResult_ = mrNone;
  int groupIndex_ = 0;
  bool down_ = false;
  bool allowAllUp_ = false;
  bool showDownPattern_ = true;
  bool showFocusRect_ = true;
  bool dropDownOnEnter_ = true;
  bool answersEnter_ = false;
  bool inClickCall_ = false;
};

// ---- TFcBitBtn -----------------------------------------------------------------------------

// The stock kinds of bitmap buttons: caption, modal result, default and cancel flags and glyph.
enum TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
extern const TEnumInfo BitBtnKindInfo;

// The glyph of a stock kind, loaded once and kept for the process (two cells: normal and
// disabled); nullptr for bkCustom. Raises EResNotFound when the program lacks it.
TBitmap* GetKindGlyph(TBitBtnKind kind);
// The caption of a stock kind from the string table; "" for bkCustom.
std::string KindCaption(TBitBtnKind kind);

// A push button with a glyph beside its caption (a bitmap strip or an image of an image list),
// and the stock kinds OK, Cancel, Help, Yes, No, Close, Abort, Retry, Ignore and All.
class TFcBitBtn : public TFcButton {
 public:
  explicit TFcBitBtn(TComponent* owner);
  ~TFcBitBtn() override;

  // A stock kind is reported only while the button still has the kind's Default, Cancel,
  // ModalResult and glyph; otherwise the button has become bkCustom.
  TBitBtnKind Kind();
  // A stock kind sets Default, Cancel, the caption (while loading only an empty one),
  // ModalResult and the glyph.
  virtual void SetKind(TBitBtnKind value);
  // The glyph strip, owned; assigning copies it.
  TBitmap* Glyph() const { return glyph_.get(); }
  virtual void SetGlyph(TBitmap* value);
  TNumGlyphs NumGlyphs() const { return numGlyphs_; }
  virtual void SetNumGlyphs(TNumGlyphs value);
  TButtonLayout Layout() const { return layout_; }
  virtual void SetLayout(TButtonLayout value);
  // Room between the edge and the glyph; -1 places glyph and caption together; below -1 is
  // not taken.
  int Margin() const { return margin_; }
  virtual void SetMargin(int value);
  // Room between glyph and caption.
  int Spacing() const { return spacing_; }
  virtual void SetSpacing(int value);
  TCustomImageList* Images() const { return images_; }
  virtual void SetImages(TCustomImageList* value);
  int ImageIndex() const { return imageIndex_; }
  virtual void SetImageIndex(int value);
  // The image shown while disabled (-1: ImageIndex greyed).
  int DisabledIndex() const { return disabledIndex_; }
  virtual void SetDisabledIndex(int value);

  // The glyph came from this program resource (written to layouts by this name); "" once it
  // was changed otherwise.
  const std::string& GlyphResource() const { return glyphResource_; }
  void LoadGlyphResource(const std::string& name);

  RECT CaptionRect() override;
  // Where the glyph or image is drawn.
  virtual RECT GlyphRect();
  virtual SIZE GlyphSize();

 protected:
  void PaintCaption() override;
  virtual void DrawImage(const RECT& rect);
  virtual void DrawGlyph(const RECT& rect);
  void Notification(TComponent* component, TOperation operation) override;
  void ActionChange(TObject* sender, bool checkDefaults) override;

 private:
  bool HasGlyphOrImage();
  bool UsesImage();
  int CaptionHeight(const RECT& rect);
  void GlyphChanged();

  TBitBtnKind kind_ = bkCustom;
  std::unique_ptr<TBitmap> glyph_;
  bool glyphModified_ = false;
  std::string glyphResource_;
  TNumGlyphs numGlyphs_ = 1;
  TButtonLayout layout_ = blGlyphLeft;
  int margin_ = 2;
  int spacing_ = 4;
  TCustomImageList* images_ = nullptr;
  int imageIndex_ = -1;
  int disabledIndex_ = -1;
  TChangeLink imageChangeLink_;
};

// ---- Windowless buttons --------------------------------------------------------------------

// What the tool and control buttons share: whether the mouse is over the button, its enter
// and leave events, and a repaint on either while the button is flat or drawn by the visual
// styles.
class TFcHoverButton : public TGraphicControl {
 public:
  TFcHoverButton(TComponent* owner, bool flat) : TGraphicControl(owner), flat_(flat) {}

  bool MouseInside() const { return mouseInside_; }
  bool Flat() const { return flat_; }
  virtual void SetFlat(bool value);

 protected:
  void MouseEnter() override;
  void MouseLeave() override;
  virtual void MouseEntered();
  virtual void MouseLeft();
  void SetMouseInside(bool value) { mouseInside_ = value; }
  // Makes the hover state agree with where the cursor is now (after a release, which the
  // enter and leave notifications do not follow).
  void SyncHover();

 private:
  bool HoverRepaints() const;

  bool flat_;
  bool mouseInside_ = false;
};

// ---- TFcToolButton -------------------------------------------------------------------------

enum TFcToolStyle { tsButton, tsDropDown };
extern const TEnumInfo ToolStyleInfo;

// The width of the arrow strip of a drop-down tool button.
constexpr int kFcDropDownWidth = 14;

// A windowless flat button showing an image of an image list and, optionally, its caption;
// with toggle groups, and in tsDropDown style a menu that drops from the arrow strip at its
// right (from anywhere when it has no click handler or action).
class TFcToolButton : public TFcHoverButton {
  MESSAGE_TABLE(TFcHoverButton)

 public:
  explicit TFcToolButton(TComponent* owner);
  ~TFcToolButton() override;

  // A new list, or a change of the list, makes the button at least as large as its images.
  TCustomImageList* Images() const { return images_; }
  virtual void SetImages(TCustomImageList* value);
  int ImageIndex() const { return imageIndex_; }
  virtual void SetImageIndex(int value);
  // Shown while the mouse is over the button.
  int HotIndex() const { return hotIndex_; }
  virtual void SetHotIndex(int value);
  // Shown while the button is down.
  int DownIndex() const { return downIndex_; }
  virtual void SetDownIndex(int value);
  int DisabledIndex() const { return disabledIndex_; }
  virtual void SetDisabledIndex(int value);
  // Off: the face is filled with Color.
  bool Transparent() const { return transparent_; }
  virtual void SetTransparent(bool value);
  int GroupIndex() const { return groupIndex_; }
  virtual void SetGroupIndex(int value);
  bool Down() const { return down_; }
  virtual void SetDown(bool value);
  bool AllowAllUp() const { return allowAllUp_; }
  virtual void SetAllowAllUp(bool value);
  // tsDropDown widens the button by the arrow strip (outside loading) and takes it out of
  // its group.
  TFcToolStyle ToolStyle() const { return toolStyle_; }
  virtual void SetToolStyle(TFcToolStyle value);
  TPopupMenu* DropDownMenu() const { return dropDownMenu_; }
  virtual void SetDropDownMenu(TPopupMenu* value);
  bool ShowCaption() const { return showCaption_; }
  virtual void SetShowCaption(bool value);
  TButtonLayout Layout() const { return layout_; }
  virtual void SetLayout(TButtonLayout value);
  // Whether the size, the layout and the caption's showing would follow a toolbar holding
  // the button; no such container exists, so they only keep their own values.
  bool UseToolbarButtonSize() const { return useToolbarButtonSize_; }
  void SetUseToolbarButtonSize(bool value);
  bool UseToolbarButtonLayout() const { return useToolbarButtonLayout_; }
  void SetUseToolbarButtonLayout(bool value);
  bool UseToolbarShowCaption() const { return useToolbarShowCaption_; }
  void SetUseToolbarShowCaption(bool value);

  // Setting the size outside loading stops it from following a toolbar.
  void SetBounds(int left, int top, int width, int height) override;
  void SetParent(TWinControl* parent) override;
  void Loaded() override;
  // Fires OnClick in tsButton style, and in tsDropDown style unless the press dropped the menu.
  void Click() override;

  // Fired with the menu as sender just before the menu drops.
  TNotifyEvent OnDropDown;

  // Down is written to layouts unless an action supplies it.
  bool IsDownStored();

  // The width the drop-down menu will have: its widest caption in the menu font, plus room
  // for checks and sub-menu arrows.
  int DropDownMenuWidth();

 protected:
  void Paint() override;
  void Notification(TComponent* component, TOperation operation) override;
  void AssignTo(TPersistent* dest) override;
  std::unique_ptr<TControlActionLink> CreateActionLink() override;
  void ActionChange(TObject* sender, bool checkDefaults) override;
  void MouseMove(TShiftState shift, int x, int y) override;

  // Nothing to take from: no toolbar container exists.
  virtual void SyncToolbarSettings() {}
  // Returns what lies inside the frame.
  virtual RECT DrawFrame(const RECT& rect);
  virtual void DrawImage(const RECT& rect);
  virtual void DrawDropDownPart(const RECT& rect);
  virtual void DrawCaptionText(const RECT& rect);
  // Drops the menu below the button and returns when it is closed.
  virtual void DropDown();
  virtual SIZE ImageSize();
  virtual RECT CaptionRect();
  virtual RECT ImageRect();

  void WMLButtonDown(TWMMouse& m);
  void WMLButtonUp(TWMMouse& m);
  void CMDialogChar(TWMKey& m);
  void CMButtonPressed(TWMObject<TControl>& m);
  void CMTextChanged(TMessage& m);

 private:
  friend class TFcToolButtonActionLink;
  enum TState { stUp, stDisabled, stPressed, stExclusive, stDropDownPressed };

  bool HasClickHandler() const;
  // The press part of a left press; false when the button was freed meanwhile.
  bool Press(TShiftState shift, int x, int y);
  // The release part; false when the button was freed meanwhile.
  bool Release(int x, int y);
  void GrowToImages();
  bool ShownDown() const;
  RECT ContentRect();
  int CaptionHeight(const RECT& rect);

  TCustomImageList* images_ = nullptr;
  TChangeLink imageChangeLink_;
  int imageIndex_ = -1;
  int hotIndex_ = -1;
  int downIndex_ = -1;
  int disabledIndex_ = -1;
  bool transparent_ = true;
  int groupIndex_ = 0;
  bool down_ = false;
  bool allowAllUp_ = false;
  TFcToolStyle toolStyle_ = tsButton;
  TPopupMenu* dropDownMenu_ = nullptr;
  bool showCaption_ = false;
  TButtonLayout layout_ = blGlyphLeft;
  bool useToolbarButtonSize_ = true;
  bool useToolbarButtonLayout_ = true;
  bool useToolbarShowCaption_ = true;
  bool sizingItself_ = false;

  TState state_ = stUp;
  bool tracking_ = false;
  bool normalClickMode_ = true;
  DWORD lastDropTick_ = 0;
};

// Links a tool button's Down to the action's Checked and its ImageIndex to the action's, each
// while the button still shows the action's value.
class TFcToolButtonActionLink : public TControlActionLink {
 public:
  explicit TFcToolButtonActionLink(TFcToolButton* client) : TControlActionLink(client), button_(client) {}
  bool IsCheckedLinked() override;
  bool IsImageIndexLinked() override;
  void SetChecked(bool value) override;
  void SetImageIndex(int value) override;

 private:
  TFcToolButton* button_;
};

// ---- TFcControlButton ----------------------------------------------------------------------

enum TFcControlButtonStyle { cbsNone, cbsLeft, cbsUp, cbsRight, cbsDown, cbsDropDown };
extern const TEnumInfo ControlButtonStyleInfo;

// The small windowless arrow or drop-down button that other controls embed (the spin buttons
// make two): an arrow in one of four directions, a drop-down arrow, or a plain face with a
// glyph; with RepeatClicks a held button clicks again after InitialDelay and then every Delay
// milliseconds while it keeps the mouse.
class TFcControlButton : public TFcHoverButton {
 public:
  explicit TFcControlButton(TComponent* owner);
  ~TFcControlButton() override;

  TFcControlButtonStyle Style() const { return style_; }
  virtual void SetStyle(TFcControlButtonStyle value);
  // The glyph strip of the plain face, owned; assigning copies it.
  TBitmap* Glyph() const { return glyph_.get(); }
  virtual void SetGlyph(TBitmap* value);
  TNumGlyphs NumGlyphs() const { return numGlyphs_; }
  virtual void SetNumGlyphs(TNumGlyphs value);
  bool RepeatClicks() const { return repeatClicks_; }
  void SetRepeatClicks(bool value) { repeatClicks_ = value; }
  WORD InitialDelay() const { return initialDelay_; }
  void SetInitialDelay(WORD value) { initialDelay_ = value; }
  WORD Delay() const { return delay_; }
  void SetDelay(WORD value) { delay_ = value; }

  // Pressed and not yet released (the mouse may have left it).
  bool Down() const { return down_; }

 protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

  virtual void DrawFace(RECT rect);
  virtual void DrawArrowButton(RECT rect);
  virtual void PaintDropDownFace(RECT rect);
  virtual void DrawGlyph(const RECT& rect);
  virtual SIZE GlyphSize();

 private:
  // Drawn active: down, hot, or at design time.
  bool Active() const;
  // The classic border and face of every style; returns what lies inside.
  RECT PaintClassicFace(RECT rect);
  void RepeatTimer();

  TFcControlButtonStyle style_ = cbsNone;
  std::unique_ptr<TBitmap> glyph_;
  TNumGlyphs numGlyphs_ = 1;
  bool repeatClicks_ = false;
  WORD initialDelay_ = 400;
  WORD delay_ = 100;
  bool down_ = false;
  bool tracking_ = false;
  TTimer* repeatTimer_ = nullptr;
};

// ---- Registration --------------------------------------------------------------------------

// Registers the buttons for stored layouts.
void RegisterFcButton();
