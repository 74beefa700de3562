// Controls over real windows: windowed controls with their own window procedure and
// windowless ones painted and fed by their parent, the message map, focus, keys and alignment.
//
// Where the parts live: Messages.h/.cpp the notification numbers and message tables;
// ControlWindows.cpp the window procedure, the controls by their windows, mouse and capture;
// ControlCanvas.cpp the control canvas; Controls.cpp TControl, size constraints, helpers and
// registration; WinControl.cpp TWinControl's windows, children and messages; ControlFocus.cpp
// focus, tab order and keys; ControlAlign.cpp alignment; ControlPaint.cpp painting,
// TCustomControl and TGraphicControl; Docking.cpp docking (see Docking.h).
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/Actions.h"
#include "platform/Application.h"
#include "platform/Classes.h"
#include "platform/Colors.h"
#include "platform/Graphics.h"
#include "platform/Messages.h"
#include "platform/Sets.h"

namespace ControlsPrivate {
bool CancelDockDrag();
}
class TControlActionLink;
class TDragDockObject;
class IDockManager;
class TForm;
class TPopupMenu;
class TWinControl;

// A control asked to do what it cannot in its state (focus while hidden, a window without a
// parent window...).
class EInvalidOperation : public Exception { using Exception::Exception; };

// ---- Enumerations and events ---------------------------------------------------------------

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

// The borders of a form; a control's border style takes only the first two.
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;

enum TControlStyleFlag {
  csAcceptsControls, csCaptureMouse, csDesignInteractive, csClickEvents, csFramed,
  csSetCaption, csOpaque, csDoubleClicks, csFixedWidth, csFixedHeight, csNoDesignVisible,
  csReplicatable, csNoStdEvents, csDisplayDragImage, csReflector, csActionClient,
  csMenuEvents, csNeedsBorderPaint, csParentBackground
};
using TControlStyle = TSet<TControlStyleFlag>;

enum TControlStateFlag {
  csLButtonDown, csClicked, csPalette, csReadingState, csAlignmentNeeded, csFocusing,
  csCreating, csPaintCopy, csCustomPaint, csDestroyingHandle, csDocking
};
using TControlState = TSet<TControlStateFlag>;

// The reading order and alignment of a control's text: left to right; right to left in
// both; right-to-left reading with the left-to-right alignment kept; right-to-left reading
// only (alignment and scroll bars stay).
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };

enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftStateFlag { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateFlag>;

// Shift state of key data (the Alt bit of lParam) and the keyboard's current state.
TShiftState KeyDataToShiftState(LPARAM keyData);
// Shift state of the MK_ flags of a mouse message.
TShiftState MouseKeysToShiftState(WPARAM keys);
// True when `ch` is the accelerator of `caption` ("&File": f or F); "&&" is a plain "&".
bool IsAccel(char ch, const std::string& caption);

// Cursors by number: 0 the control's default, negative the system's, positive the program's
// own (see TScreen::SetCursors).
using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
constexpr TCursor crMultiDrag = -16;
constexpr TCursor crSQLWait = -17;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;
// "crHandPoint" and the other names above; false for an unknown name.
bool IdentToCursor(const std::string& ident, TCursor& cursor);
// The name of a cursor constant, else its number.
std::string CursorToString(TCursor cursor);

using TMouseEvent =
    std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, int x, int y)>;
// A handler that sets `key` to 0 keeps the key from the control.
using TKeyEvent = std::function<void(TObject* sender, WORD& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TObject* sender, char& key)>;
using TMouseWheelEvent = std::function<void(TObject* sender, TShiftState shift, int wheelDelta,
                                            POINT mousePos, bool& handled)>;

// Docking: a control whose DragKind is dkDock is dragged out of its dock site and dropped
// into another one, or floats in a window of its own. Drags of kind dkDrag are not made by
// this platform.
enum TDragKind { dkDrag, dkDock };
// dmAutomatic: a left press starts the drag; dmManual: BeginDrag does.
enum TDragMode { dmManual, dmAutomatic };
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
using TStartDockEvent = std::function<void(TObject* sender, TDragDockObject*& dragObject)>;
// `target`: the site the control went into, nullptr when it floats or the drag was cancelled.
using TEndDragEvent = std::function<void(TObject* sender, TObject* target, int x, int y)>;
using TDockDropEvent = std::function<void(TObject* sender, TDragDockObject* source, int x, int y)>;
using TDockOverEvent = std::function<void(TObject* sender, TDragDockObject* source, int x, int y,
                                          TDragState state, bool& accept)>;
using TGetSiteInfoEvent = std::function<void(TObject* sender, TControl* dockClient, RECT& influenceRect,
                                             POINT mousePos, bool& canDock)>;
using TUnDockEvent =
    std::function<void(TObject* sender, TControl* client, TWinControl* newTarget, bool& allow)>;

// ---- Size constraints ------------------------------------------------------------------------

// Limits of a control's size; 0 is no limit.
class TSizeConstraints : public TPersistent {
 public:
  explicit TSizeConstraints(TControl* control) : control_(control) {}
  void Assign(TPersistent* source) override;

  int MinWidth() const { return minWidth_; }
  void SetMinWidth(int value);
  int MinHeight() const { return minHeight_; }
  void SetMinHeight(int value);
  int MaxWidth() const { return maxWidth_; }
  void SetMaxWidth(int value);
  int MaxHeight() const { return maxHeight_; }
  void SetMaxHeight(int value);

  // `width` and `height` brought within the limits.
  void Apply(int& width, int& height) const;

 private:
  void Changed();
  TControl* control_;
  int minWidth_ = 0, minHeight_ = 0, maxWidth_ = 0, maxHeight_ = 0;
};

// ---- Canvas of a control -----------------------------------------------------------------

// A canvas on a control: while the control paints it is bound to the paint context; at other
// times it fetches a context of the control's window (for a windowless control, of the
// parent's window, moved and clipped to the control) and keeps it until FreeHandle.
class TControlCanvas : public TCanvas {
 public:
  explicit TControlCanvas(TControl* control = nullptr) : control_(control) {}
  ~TControlCanvas() override;

  TControl* Control() const { return control_; }
  void SetControl(TControl* control);
  // The window whose context the canvas fetched, or nullptr.
  HWND Window() const { return window_; }
  // Gives back a context this canvas fetched itself.
  void FreeHandle();

 protected:
  void CreateHandle() override;

 private:
  TControl* control_;
  HWND window_ = nullptr;
  HDC deviceContext_ = nullptr;
};

// ---- TControl --------------------------------------------------------------------------------

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;

  static TMessageTable& Messages();
  // The table of the object's own class; a class with its own table overrides this.
  virtual const TMessageTable& ClassMessages() const { return Messages(); }

  // Every message to the control passes here; replace it to watch or change one control's
  // messages (call the previous value to pass them on).
  TWndMethod WindowProc;
  // Sends a message straight to WindowProc and returns its result.
  LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  // The handler of the message in the object's class, else DefaultHandler.
  void Dispatch(TMessage& message);
  // The same, starting at the handlers of `table`.
  void DispatchFrom(const TMessageTable& table, TMessage& message);
  // What the control does with a message that no handler takes.
  virtual void DefaultHandler(TMessage& message);

  // ---- Parent and position
  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* parent);
  void SetParentComponent(TComponent* parent) override;
  TComponent* GetParentComponent() const override;

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int value) { SetBounds(value, top_, width_, height_); }
  void SetTop(int value) { SetBounds(left_, value, width_, height_); }
  void SetWidth(int value) { SetBounds(left_, top_, value, height_); }
  void SetHeight(int value) { SetBounds(left_, top_, width_, value); }
  RECT BoundsRect() const { return RECT{left_, top_, left_ + width_, top_ + height_}; }
  void SetBoundsRect(const RECT& r) { SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top); }
  // Position in the parent's client area and size; the size is kept within Constraints.
  virtual void SetBounds(int left, int top, int width, int height);

  // The area inside the control's borders, in its own coordinates.
  RECT ClientRect() { return GetClientRect(); }
  int ClientWidth() { return GetClientRect().right; }
  int ClientHeight() { return GetClientRect().bottom; }
  void SetClientWidth(int value);
  void SetClientHeight(int value);
  // The screen position of the client area's top-left corner.
  virtual POINT ClientOrigin();
  POINT ClientToScreen(POINT p);
  POINT ScreenToClient(POINT p);

  TAlign Align() const { return align_; }
  void SetAlign(TAlign value);
  TSizeConstraints* Constraints() const { return constraints_.get(); }

  // ---- Appearance and state
  bool Visible() const { return visible_; }
  virtual void SetVisible(bool value);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible here and in every parent up to a shown window.
  virtual bool Showing() const;
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool value);
  TColor Color() const { return color_; }
  virtual void SetColor(TColor value);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool value);
  TFont* Font() const { return font_.get(); }
  void SetFont(TFont* value) { font_->Assign(value); }
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool value);
  // Caption and Text are the same text under two names.
  std::string Text() const { return GetText(); }
  void SetText(const std::string& value);
  std::string Caption() const { return GetText(); }
  void SetCaption(const std::string& value) { SetText(value); }
  // Taken from the parent while ParentBiDiMode is on; setting it turns ParentBiDiMode off.
  TBiDiMode BiDiMode() const { return biDiMode_; }
  void SetBiDiMode(TBiDiMode value);
  bool ParentBiDiMode() const { return parentBiDiMode_; }
  void SetParentBiDiMode(bool value);
  // Text and other contents are aligned from the right (bdRightToLeft only).
  bool UseRightToLeftAlignment() const { return biDiMode_ == bdRightToLeft; }
  // Text reads from right to left (every mode but bdLeftToRight).
  bool UseRightToLeftReading() const { return biDiMode_ != bdLeftToRight; }
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor value);
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& value) { hint_ = value; }
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool value);
  bool ParentShowHint() const { return parentShowHint_; }
  void SetParentShowHint(bool value);
  TControlStyle ControlStyle() const { return controlStyle_; }
  void SetControlStyle(TControlStyle value) { controlStyle_ = value; }
  TControlState ControlState() const { return controlState_; }
  void SetControlState(TControlState value) { controlState_ = value; }
  // Shown by a right click (or the keyboard's menu key) on the control when its AutoPopup is
  // on; nullptr for none.
  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* value);
  // The mouse is captured for this control (a windowless one through its parent's window).
  bool MouseCapture() const;
  void SetMouseCapture(bool value);

  // ---- Painting and order
  virtual void Invalidate();
  // Paints what is invalid now.
  virtual void Update();
  // Invalidates and paints at once.
  virtual void Repaint();
  void Refresh() { Repaint(); }
  void BringToFront();
  void SendToBack();

  // ---- Actions
  // The action whose state the control shows and whose Execute its click runs (nullptr:
  // none). Linking takes the action's caption, enabled state, hint and visibility.
  TBasicAction* Action() const;
  void SetAction(TBasicAction* value);
  // Asked when an action is offered to the form's controls (THintAction, for one): true when
  // this control handled it. Here: when the action says it handles this control.
  virtual bool ExecuteAction(TBasicAction* action);

  // ---- Docking (Docking.cpp)
  TDragKind DragKind() const { return dragKind_; }
  void SetDragKind(TDragKind value) { dragKind_ = value; }
  TDragMode DragMode() const { return dragMode_; }
  // Virtual for the controls whose window takes its drag style from it.
  virtual void SetDragMode(TDragMode value) { dragMode_ = value; }
  // The dock site the control sits in; nullptr when it is not docked.
  TWinControl* HostDockSite() const { return hostDockSite_; }
  // In a window of its own made for it by ManualFloat.
  bool Floating() const { return floatHost_ != nullptr; }
  // Docks the control into `site` (nullptr: floats it where it is on the screen); a site
  // with a dock manager places it on the `align` side of `dropControl`. False when the site
  // it leaves keeps it or the new one does not take it. Forms are not docked.
  bool ManualDock(TWinControl* site, TControl* dropControl = nullptr, TAlign align = alNone);
  // Takes the control out of its site into a window of its own at `screenRect`.
  bool ManualFloat(const RECT& screenRect);
  // Starts a dock drag (DragKind dkDock) with the mouse captured: at once, or when the mouse
  // has moved `threshold` pixels (-1: the system's drag distance). Released over a dock site
  // that takes it, the control docks there; elsewhere it floats; Escape cancels.
  void BeginDrag(bool immediate, int threshold = -1);
  bool Dragging() const;
  TStartDockEvent OnStartDock;
  TEndDragEvent OnEndDock;

  // Re-lays out the parent when this control is aligned.
  void RequestAlign();
  void Loaded() override;

  // ---- Events
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TMouseWheelEvent OnMouseWheel;
  TNotifyEvent OnResize;

  // The device context a canvas of this control draws on (see TControlCanvas); the caller
  // releases it with ReleaseDC on `window`.
  virtual HDC GetDeviceContext(HWND& window);

 protected:
  // Passes the message on to the handlers of the classes above the one whose table is `own`
  // (the class whose handler runs), else to DefaultHandler; MESSAGE_TABLE's Inherited.
  void InheritedFrom(const TMessageTable& own, TMessage& m) {
    if (own.Parent())
      DispatchFrom(*own.Parent(), m);
    else
      DefaultHandler(m);
  }
  void Inherited(TMessage& m) { InheritedFrom(Messages(), m); }
  void Inherited(TMessageRecord& m) { InheritedFrom(Messages(), m.Message); }

  virtual void WndProc(TMessage& message);
  virtual RECT GetClientRect();
  virtual std::string GetText() const;
  virtual void SetTextNow(const std::string& value);
  // The link of this class's controls to their action; a class whose link passes on more of
  // the action (Checked, ImageIndex) makes its own.
  virtual std::unique_ptr<TControlActionLink> CreateActionLink();
  TControlActionLink* ActionLink() const { return actionLink_.get(); }
  // The action was just linked: the control takes its values (with `checkDefaults`, while
  // loading, only where the control still has its defaults). Later changes of the action
  // reach the control through the link's setters, and only while it shows the action's value.
  virtual void ActionChange(TObject* sender, bool checkDefaults);
  // A dock drag starts (fires OnStartDock) and ends (fires OnEndDock).
  virtual void DoStartDock(TDragDockObject*& dragObject);
  virtual void DoEndDock(TObject* target, int x, int y);
  // Tells the dock site of a change of the control (CM_DOCKNOTIFICATION).
  void NotifyDockHost(TMessage& message);
  void Notification(TComponent* component, TOperation operation) override;
  // After a change of size: fires OnResize.
  virtual void Resize();
  virtual void Click();
  virtual void DblClick();
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  // CM_MOUSEENTER and CM_MOUSELEAVE of the control itself fire OnMouseEnter and OnMouseLeave
  // here; a class that fires them at another moment of its own handling overrides these.
  virtual void MouseEnter();
  virtual void MouseLeave();
  // Fires OnMouseWheel; true when it was used.
  virtual bool DoMouseWheel(TShiftState shift, int wheelDelta, POINT mousePos);
  // Sets the fields without moving anything (the window moved already, or nothing shows).
  void UpdateBoundsFields(int left, int top, int width, int height);
  // The parent's colour and font when ParentColor / ParentFont are on.
  void FontChanged();
  bool HasParentForm() const;
  void InvalidateControl(bool isVisible, bool isOpaque);

  // Handlers of the control's messages, by their numbers.
  void WMMouseButton(TWMMouse& m);
  void WMMouseMove(TWMMouse& m);
  void WMMouseWheel(TWMMouseWheel& m);
  void CMParentColorChanged(TMessage& m);
  void CMParentFontChanged(TMessage& m);
  void CMParentShowHintChanged(TMessage& m);
  void CMParentBiDiModeChanged(TMessage& m);
  void CMHitTest(TWMMouse& m);
  void CMMouseEnter(TWMObject<TControl>& m);
  void CMMouseLeave(TWMObject<TControl>& m);
  void CMMouseWheel(TWMMouseWheel& m);
  void CMActionExecute(TWMObject<TBasicAction>& m);
  // Shows PopupMenu when it pops up by itself (at the point, or for the keyboard's -1, -1
  // at the client origin); otherwise the message goes on to the parent.
  void WMContextMenu(TWMContextMenu& m);

  TControlStyle controlStyle_;
  TControlState controlState_;

 private:
  friend class TWinControl;
  friend class TForm;
  void MouseButtonDown(TMouseButton button, TWMMouse& m, bool dbl);
  void MouseButtonUp(TMouseButton button, TWMMouse& m);
  // The dock drag of this control: true when the message was the drag's.
  bool DockDragMessage(TMessage& m);
  void DockDragMove(POINT pos);
  void EndDockDrag(bool drop);
  friend bool ControlsPrivate::CancelDockDrag();

  TWinControl* parent_ = nullptr;
  bool windowed_ = false;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  TAlign align_ = alNone;
  bool visible_ = true;
  bool enabled_ = true;
  TColor color_ = clWindow;
  bool parentColor_ = false;
  std::unique_ptr<TFont> font_;
  bool parentFont_ = true;
  bool fontFromParent_ = false;
  std::string text_;
  TBiDiMode biDiMode_ = bdLeftToRight;
  bool parentBiDiMode_ = true;
  TCursor cursor_ = crDefault;
  std::string hint_;
  bool showHint_ = false;
  bool parentShowHint_ = true;
  std::unique_ptr<TSizeConstraints> constraints_;
  std::unique_ptr<TControlActionLink> actionLink_;
  TDragKind dragKind_ = dkDrag;
  TDragMode dragMode_ = dmManual;
  TPopupMenu* popupMenu_ = nullptr;
  TWinControl* hostDockSite_ = nullptr;
  TForm* floatHost_ = nullptr;
};

// The link of a control to its action: caption, enabled state, hint and visibility go to the
// control while it still shows the action's values.
class TControlActionLink : public TActionLink {
 public:
  explicit TControlActionLink(TControl* client) : client_(client) {}
  TControl* Client() const { return client_; }

  bool IsCaptionLinked() override;
  bool IsEnabledLinked() override;
  bool IsHintLinked() override;
  bool IsVisibleLinked() override;
  void SetCaption(const std::string& value) override;
  void SetEnabled(bool value) override;
  void SetHint(const std::string& value) override;
  void SetVisible(bool value) override;

 private:
  TControl* client_;
};

// ---- TWinControl -----------------------------------------------------------------------------

// What CreateWnd passes to CreateWindowExA, filled by CreateParams.
struct TCreateParams {
  std::string Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;
  HWND WndParent = nullptr;
  void* Param = nullptr;
  // The class the window is made of; lpszClassName is set from WinClassName when registered.
  WNDCLASSA WindowClass{};
  std::string WinClassName;
};

class TWinControl : public TControl {
  MESSAGE_TABLE(TControl)

 public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;

  // The window, made on first use (after the parent's).
  HWND Handle();
  bool HandleAllocated() const { return handle_ != nullptr; }
  void HandleNeeded() { Handle(); }
  // Destroys the window and makes it again at once (its children with it) when it exists.
  void RecreateWnd();

  // ---- Children: every control whose parent this is, in z-order (bottom first); windowed
  // ones always lie above windowless ones.
  int ControlCount() const { return static_cast<int>(controls_.size()); }
  TControl* Controls(int index) const;
  bool ContainsControl(const TControl* control) const;
  // The topmost visible (and, unless `allowDisabled`, enabled) child at a client point; with
  // `allowWinControls` windowed children count too.
  TControl* ControlAtPos(POINT pos, bool allowDisabled, bool allowWinControls = false);
  // Sends the message to every child until one sets Result.
  void Broadcast(TMessage& message);
  // Sends the message to every child; the result is dropped.
  void NotifyControls(UINT msg);

  // ---- Alignment
  // Lays out the aligned children again, unless alignment is held off.
  void Realign();
  void DisableAlign() { ++alignDisabled_; }
  void EnableAlign();
  bool AlignDisabled() const { return alignDisabled_ > 0; }

  // ---- Dock site (Docking.cpp)
  // A dock site takes controls dropped on it; with UseDockManager its dock manager lays them
  // out with a grabber each.
  bool DockSite() const { return dockSite_; }
  void SetDockSite(bool value);
  bool UseDockManager() const { return useDockManager_; }
  void SetUseDockManager(bool value);
  IDockManager* DockManager() const { return dockManager_.get(); }
  int DockClientCount() const { return static_cast<int>(dockClients_.size()); }
  TControl* DockClients(int index) const;
  // While a control is dragged over the site: the screen area where a drop counts
  // (`influenceRect`, the site's window rect grown by a few pixels) and whether it may dock
  // at all; fires OnGetSiteInfo.
  virtual void GetSiteInfo(TControl* client, RECT& influenceRect, POINT mousePos, bool& canDock);
  // Whether the site takes the dragged control at the client point (x, y); sets the dragged
  // object's DockRect to where it would go; fires OnDockOver.
  virtual void DockOver(TDragDockObject* source, int x, int y, TDragState state, bool& accept);
  // After a dragged control docked here: fires OnDockDrop.
  virtual void DockDrop(TDragDockObject* source, int x, int y);
  TDockDropEvent OnDockDrop;
  TDockOverEvent OnDockOver;
  TGetSiteInfoEvent OnGetSiteInfo;
  TUnDockEvent OnUnDock;

  // ---- Focus and tab order
  int TabOrder() const;
  void SetTabOrder(int value);
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool value);
  // The windowed children and their children in tab order (this control's own list first).
  std::vector<TWinControl*> GetTabOrderList() const;
  virtual bool CanFocus() const;
  bool Focused() const;
  virtual void SetFocus();
  // The next (or previous) focusable control after `current` among this control's windowed
  // descendants in tab order, going round; nullptr when there is none.
  TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                               bool checkParent);
  // Focuses the next control found so; false when none.
  bool SelectNext(TWinControl* current, bool goForward, bool checkTabStop);

  // Paints the control's client area and its children's, windowed or not, into `dc` with the
  // top-left corner at (x, y), whatever lies over the window on the screen.
  void PaintTo(HDC dc, int x, int y);

  bool Ctl3D() const { return ctl3D_; }
  void SetCtl3D(bool value);
  // Painted behind the control's client area (follows Color).
  TBrush* Brush() const { return brush_.get(); }

  void SetBounds(int left, int top, int width, int height) override;
  POINT ClientOrigin() override;
  void SetVisible(bool value) override;
  bool Showing() const override;
  void Invalidate() override;
  void Update() override;
  void Repaint() override;
  void Loaded() override;
  HDC GetDeviceContext(HWND& window) override;

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;

  // Used by TControl::SetParent.
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);

 protected:
  virtual void CreateParams(TCreateParams& params);
  // Builds the class (own or derived from a system one, see CreateSubClass), makes the window
  // with CreateWindowHandle and sets it up.
  virtual void CreateWnd();
  virtual void CreateWindowHandle(const TCreateParams& params);
  virtual void DestroyWnd();
  // The window and those of the children that are visible (a hidden one gets its window when
  // it is shown or its handle is asked for); DestroyHandle ends all of them.
  void CreateHandle();
  void DestroyHandle();
  // Puts the control's new window at its place in the z-order: the control list's, back to front.
  void PlaceAmongSiblings();
  // The window class is made from the system's class `className` ("EDIT", "COMBOBOX"...):
  // its procedure becomes the default handler of this control's messages.
  void CreateSubClass(TCreateParams& params, const char* className);

  void WndProc(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;
  RECT GetClientRect() override;
  std::string GetText() const override;
  void SetTextNow(const std::string& value) override;

  // Where the aligned children go: the client rect, which a class may make smaller.
  virtual void AdjustClientRect(RECT& rect);
  // Places the aligned children inside `rect`; `control` is the one that asked (it keeps its
  // place among controls of the same alignment).
  virtual void AlignControls(TControl* control, RECT& rect);
  void AlignControl(TControl* control);

  // Paints the window into `dc`: PaintWindow, then the windowless children.
  void PaintHandler(HDC dc, const RECT* updateRect);
  // The window's own picture; a wrapped control lets the system draw it.
  virtual void PaintWindow(HDC dc);
  // Paints the windowless children (from `first` on, in z-order) into `dc`.
  void PaintControls(HDC dc, TControl* first);

  virtual void DoEnter();
  virtual void DoExit();
  // OnKeyDown and friends; a handler that zeroes the key keeps it from the control.
  virtual void KeyDown(WORD& key, TShiftState shift);
  virtual void KeyUp(WORD& key, TShiftState shift);
  virtual void KeyPress(char& key);
  // The form's preview first (KeyPreview), then KeyDown; true when the key is used up.
  bool DoKeyDown(TMessage& m);
  bool DoKeyUp(TMessage& m);
  bool DoKeyPress(TMessage& m);
  // True when the parent form previews keys (KeyPreview) and its own handling took this one.
  bool FormTookKey(TMessage& m, bool (TWinControl::*handling)(TMessage&));
  // The window style bits that follow the control's properties.
  void UpdateStyle(LONG_PTR bits, bool on);

  void WMPaint(TWMDC& m);
  void WMPrintClient(TWMPrint& m);
  void WMEraseBkgnd(TWMDC& m);
  void WMSetCursor(TWMSetCursor& m);
  void WMWindowPosChanged(TWMObject<WINDOWPOS>& m);
  void WMSize(TWMSize& m);
  void WMKeyDown(TWMKey& m);
  void WMKeyUp(TWMKey& m);
  void WMChar(TWMKey& m);
  void WMMouseLeave(TMessage& m);
  // The notifications of a child window go to its control as CN_BASE + the message (see
  // ReflectTo); those of other windows go on.
  void WMCommand(TWMCommand& m);
  void WMNotify(TWMNotify& m);
  void WMDrawItem(TWMDrawItem& m);
  void WMMeasureItem(TWMMeasureItem& m);
  void WMDeleteItem(TWMDeleteItem& m);
  void WMCompareItem(TWMObject<COMPAREITEMSTRUCT>& m);
  void WMScroll(TWMScroll& m);
  void WMCharToItem(TWMCharToItem& m);
  void WMSysColorChange(TMessage& m);
  void CNKeyDown(TWMKey& m);
  void CNChar(TWMKey& m);
  void CNSysChar(TWMKey& m);
  void CNCtlColor(TWMDC& m);
  void CMEnabledChanged(TMessage& m);
  void CMColorChanged(TMessage& m);
  void CMFontChanged(TMessage& m);
  void CMBiDiModeChanged(TMessage& m);
  void CMBroadcast(TMessage& m);
  void CMActionExecute(TWMObject<TBasicAction>& m);
  std::unique_ptr<TControlActionLink> CreateActionLink() override;
  // The dock manager of a dock site that uses one; a class with grabbers of its own makes
  // its own manager here.
  virtual std::unique_ptr<IDockManager> CreateDockManager();
  // Whether the control may leave for `newTarget`; fires OnUnDock.
  virtual bool DoUnDock(TWinControl* newTarget, TControl* client);
  void CMDockClient(TWMObject<TDragDockObject>& m);
  void CMUnDockClient(TCMUnDockClient& m);
  // A docked control's change: one shown or hidden takes or gives back its room.
  void CMDockNotification(TWMDockNotification& m);
  void CMEnter(TMessage& m);
  void CMExit(TMessage& m);
  void CMRecreateWnd(TMessage& m);
  // A context menu a child window did not see (the system's tree view sends its own to the
  // parent) goes to that child's control first; so does one over a windowless child.
  void WMContextMenu(TWMContextMenu& m);

 private:
  friend class TControl;
  friend class TForm;
  friend class TDockTree;
  friend LRESULT CALLBACK ControlWndProc(HWND, UINT, WPARAM, LPARAM);
  // A docked control leaves the site's list (undocked or gone).
  void ForgetDockClient(TControl* control);
  void AttachHandle(HWND wnd);
  void DetachHandle();
  void UpdateBounds();
  void DoAlign(TAlign align, RECT& rect, TControl* control);
  void FixupTabList();
  void UpdateMouseControl(TControl* target);
  bool IsControlMouseMsg(TMessage& m);
  // Passes the notification to the control of `child` as CN_BASE + the message; false when
  // `child` is no control's window.
  bool ReflectTo(HWND child, TMessageRecord& m);

  HWND handle_ = nullptr;
  WNDPROC defWndProc_ = nullptr;
  std::vector<TControl*> controls_;
  std::vector<TWinControl*> tabList_;
  int tabOrder_ = -1;
  bool tabStop_ = false;
  bool ctl3D_ = true;
  int alignDisabled_ = 0;
  bool aligning_ = false;
  bool trackingMouse_ = false;
  std::unique_ptr<TBrush> brush_;
  bool dockSite_ = false;
  bool useDockManager_ = false;
  std::vector<TControl*> dockClients_;
  std::unique_ptr<IDockManager> dockManager_;
};

// The link of a windowed control to its action.
class TWinControlActionLink : public TControlActionLink {
 public:
  using TControlActionLink::TControlActionLink;
};

// ---- TCustomControl and TGraphicControl --------------------------------------------------------

// A windowed control that draws itself: Paint on its Canvas.
class TCustomControl : public TWinControl {
 public:
  explicit TCustomControl(TComponent* owner);
  ~TCustomControl() override;

  TCanvas* Canvas() const { return canvas_.get(); }

 protected:
  virtual void Paint() {}
  void PaintWindow(HDC dc) override;
  void DestroyWnd() override;

 private:
  std::unique_ptr<TControlCanvas> canvas_;
};

// A windowless control: its parent paints it (Paint on its Canvas) and hands it the mouse
// messages over its area.
class TGraphicControl : public TControl {
  MESSAGE_TABLE(TControl)

 public:
  explicit TGraphicControl(TComponent* owner);
  ~TGraphicControl() override;

  TCanvas* Canvas() const { return canvas_.get(); }

 protected:
  virtual void Paint() {}
  void WMPaint(TWMDC& m);

 private:
  std::unique_ptr<TControlCanvas> canvas_;
};

// ---- Free functions --------------------------------------------------------------------------

// The control that owns the window; nullptr for other windows.
TWinControl* FindControl(HWND window);
// The control under the mouse (CM_MOUSEENTER was sent to it), or nullptr.
TControl* MouseControl();
// The control that has the mouse captured, or nullptr.
TControl* GetCaptureControl();
void SetCaptureControl(TControl* control);
// The form the control sits on (the top of its parent chain, when that is a form).
TForm* GetParentForm(const TControl* control);

// Registers TControl, TWinControl, TCustomControl, TGraphicControl and the persistent classes
// they publish (fonts, size constraints) for stored layouts, and the picture hooks. Once is
// enough; later calls do nothing.
void RegisterControls();
