// Window messages as the controls handle them: the numbers of the controls' own
// notifications, and the table of one class's message handlers that a message is dispatched
// through.
#pragma once

#include <windows.h>

#include <functional>
#include <type_traits>
#include <unordered_map>

#include "platform/Application.h"

class TControl;
class TWinControl;

// ---- Component notifications ---------------------------------------------------------------
// Sent by the controls to themselves, their parents and their children when something changes;
// their numbers lie in the application's range, clear of the messages of the system's windows.

constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0;
constexpr UINT CM_DEACTIVATE = CM_BASE + 1;
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 3;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 4;
// lParam: the point (client coordinates, packed as for mouse messages); Result non-zero: hit.
constexpr UINT CM_HITTEST = CM_BASE + 5;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 6;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 7;
constexpr UINT CM_COLORCHANGED = CM_BASE + 8;
constexpr UINT CM_FONTCHANGED = CM_BASE + 9;
constexpr UINT CM_CURSORCHANGED = CM_BASE + 10;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 12;
// lParam: the control the mouse entered or left.
constexpr UINT CM_MOUSEENTER = CM_BASE + 13;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 14;
// wParam: the group index, lParam: the button that went down; broadcast to a parent's controls.
constexpr UINT CM_BUTTONPRESSED = CM_BASE + 17;
constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 18;
constexpr UINT CM_ENTER = CM_BASE + 19;
constexpr UINT CM_EXIT = CM_BASE + 20;
constexpr UINT CM_DESIGNHITTEST = CM_BASE + 21;
constexpr UINT CM_SYSCOLORCHANGE = CM_BASE + 23;
// wParam: the key, lParam: the key data; Result non-zero: the key was used. Broadcast by the
// form to its controls (Enter, Escape, and the keys the focused control does not want).
constexpr UINT CM_DIALOGKEY = CM_BASE + 26;
// wParam: the character; broadcast by the form for accelerators (Alt+letter, or a plain letter
// that the focused control does not take).
constexpr UINT CM_DIALOGCHAR = CM_BASE + 27;
// lParam: the control that has the focus now; broadcast by the form to its controls.
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 28;
constexpr UINT CM_WANTSPECIALKEY = CM_BASE + 30;
// wParam: the key, lParam: the control the key went to; Result non-zero: the key was used.
constexpr UINT CM_CHILDKEY = CM_BASE + 31;
constexpr UINT CM_RELEASE = CM_BASE + 33;
constexpr UINT CM_TABSTOPCHANGED = CM_BASE + 34;
constexpr UINT CM_SHOWHINTCHANGED = CM_BASE + 36;
constexpr UINT CM_PARENTSHOWHINTCHANGED = CM_BASE + 37;
// lParam: the TBasicAction offered; Result non-zero: a control handled it. Sent to a form and
// passed on down to its controls until one takes it.
constexpr UINT CM_ACTIONEXECUTE = CM_BASE + 44;
constexpr UINT CM_RECREATEWND = CM_BASE + 51;
constexpr UINT CM_INVALIDATE = CM_BASE + 52;
constexpr UINT CM_BIDIMODECHANGED = CM_BASE + 60;
constexpr UINT CM_PARENTBIDIMODECHANGED = CM_BASE + 61;
// Docking. CM_DOCKCLIENT, to the site: lParam the TDragDockObject of the control to take in;
// Result non-zero: docked. CM_UNDOCKCLIENT, to the site a control leaves: wParam the new
// site (nullptr: it floats), lParam the control; Result non-zero: the site keeps it.
// CM_DOCKNOTIFICATION, from a docked control to its site: wParam the control, lParam the
// TMessage it had (WM_SETTEXT with the new text, CM_VISIBLECHANGED).
constexpr UINT CM_DOCKCLIENT = CM_BASE + 62;
constexpr UINT CM_UNDOCKCLIENT = CM_BASE + 63;
constexpr UINT CM_DOCKNOTIFICATION = CM_BASE + 64;
// wParam: the wheel's WPARAM, lParam: its LPARAM; sent up the parent chain when unused.
constexpr UINT CM_MOUSEWHEEL = CM_BASE + 67;

// Notifications a parent window receives about its child windows, passed on to the child's
// control as CN_BASE + the message.
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
constexpr UINT CN_DELETEITEM = CN_BASE + WM_DELETEITEM;
constexpr UINT CN_VKEYTOITEM = CN_BASE + WM_VKEYTOITEM;
constexpr UINT CN_CHARTOITEM = CN_BASE + WM_CHARTOITEM;
constexpr UINT CN_COMPAREITEM = CN_BASE + WM_COMPAREITEM;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
// The keyboard messages, offered to the control before they are dispatched; Result non-zero:
// the control used the key and the message is not dispatched.
constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
constexpr UINT CN_KEYUP = CN_BASE + WM_KEYUP;
constexpr UINT CN_CHAR = CN_BASE + WM_CHAR;
constexpr UINT CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
constexpr UINT CN_SYSCHAR = CN_BASE + WM_SYSCHAR;
// Commands, scroll bars and the colours a child window asks its parent for.
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
constexpr UINT CN_CTLCOLORMSGBOX = CN_BASE + WM_CTLCOLORMSGBOX;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr UINT CN_CTLCOLORDLG = CN_BASE + WM_CTLCOLORDLG;
constexpr UINT CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;

// Packs and unpacks the client point of mouse messages and CM_HITTEST.
inline LPARAM PointToLParam(POINT p) {
  return static_cast<LPARAM>(MAKELONG(static_cast<WORD>(p.x), static_cast<WORD>(p.y)));
}
inline POINT LParamToPoint(LPARAM lp) {
  return POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
}

// ---- Message map -----------------------------------------------------------------------------

using TMessageHandler = std::function<void(TControl* self, TMessage& message)>;

// The message handlers of one class, by message number. A message goes to the handler of the
// most derived class that has one; a handler passes it on to the classes above its own with
// Inherited(m), and what no class handles goes to DefaultHandler. Each class's table is made
// on its direct base's (MESSAGE_TABLE below), so a table that a base gets later is never
// skipped.
//
// Another unit may wrap a class's handler of one message and put it back later:
//   TMessageHandler old = TWinControl::Messages().Find(WM_PRINTCLIENT);
//   TWinControl::Messages().Replace(WM_PRINTCLIENT, [old](TControl* c, TMessage& m) {
//     HDC dc = TWMPrint(m).DC;
//     int saved = SaveDC(dc);
//     if (old) old(c, m); else c->DispatchFrom(*TWinControl::Messages().Parent(), m);
//     RestoreDC(dc, saved);
//   });
//   ...
//   TWinControl::Messages().Replace(WM_PRINTCLIENT, old);  // restores the class's own
class TMessageTable {
 public:
  explicit TMessageTable(const TMessageTable* parent) : parent_(parent) {}
  TMessageTable(const TMessageTable&) = delete;
  TMessageTable& operator=(const TMessageTable&) = delete;

  const TMessageTable* Parent() const { return parent_; }
  void Add(UINT message, TMessageHandler handler) { handlers_[message] = std::move(handler); }
  // This class's own handler (empty when it has none).
  TMessageHandler Find(UINT message) const;
  // Puts `handler` (empty: none) in place of this class's own handler and returns the one it
  // replaced.
  TMessageHandler Replace(UINT message, TMessageHandler handler);
  const TMessageHandler* Lookup(UINT message) const;

 private:
  const TMessageTable* parent_;
  std::unordered_map<UINT, TMessageHandler> handlers_;
};

// ---- Typed messages ----------------------------------------------------------------------
// A handler takes its message as a record of the kind that reads it: the parameters are cast
// once, where the message is dispatched. Each record keeps the message itself, for its Result
// and for Inherited.

struct TMessageRecord {
  explicit TMessageRecord(TMessage& m) : Message(m), Result(m.Result) {}
  TMessage& Message;
  LRESULT& Result;
};

// The mouse messages: the keys and buttons held (MK_ flags) and the point in client
// coordinates (for CM_HITTEST too).
struct TWMMouse : TMessageRecord {
  explicit TWMMouse(TMessage& m)
      : TMessageRecord(m), Keys(static_cast<UINT>(m.WParam)), Pos(LParamToPoint(m.LParam)) {}
  UINT Keys;
  POINT Pos;
};

// The keyboard messages (and their CN_ and CM_DIALOGKEY/CM_DIALOGCHAR forms): the virtual key
// or the character, and the key data.
struct TWMKey : TMessageRecord {
  explicit TWMKey(TMessage& m)
      : TMessageRecord(m), CharCode(static_cast<WORD>(m.WParam)), KeyData(m.LParam) {}
  WORD CharCode;
  LPARAM KeyData;
};

// WM_NOTIFY and CN_NOTIFY.
struct TWMNotify : TMessageRecord {
  explicit TWMNotify(TMessage& m)
      : TMessageRecord(m), IdCtrl(static_cast<int>(m.WParam)), NMHdr(reinterpret_cast<NMHDR*>(m.LParam)) {}
  int IdCtrl;
  NMHDR* NMHdr;
};

// WM_COMMAND and CN_COMMAND.
struct TWMCommand : TMessageRecord {
  explicit TWMCommand(TMessage& m)
      : TMessageRecord(m),
        ItemId(LOWORD(m.WParam)),
        NotifyCode(HIWORD(m.WParam)),
        Ctl(reinterpret_cast<HWND>(m.LParam)) {}
  WORD ItemId;
  WORD NotifyCode;
  HWND Ctl;
};

// WM_DRAWITEM and CN_DRAWITEM.
struct TWMDrawItem : TMessageRecord {
  explicit TWMDrawItem(TMessage& m)
      : TMessageRecord(m), Ctl(static_cast<UINT>(m.WParam)), DrawItemStruct(reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam)) {}
  UINT Ctl;
  DRAWITEMSTRUCT* DrawItemStruct;
};

// WM_MEASUREITEM and CN_MEASUREITEM.
struct TWMMeasureItem : TMessageRecord {
  explicit TWMMeasureItem(TMessage& m)
      : TMessageRecord(m),
        Ctl(static_cast<UINT>(m.WParam)),
        MeasureItemStruct(reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam)) {}
  UINT Ctl;
  MEASUREITEMSTRUCT* MeasureItemStruct;
};

// WM_DELETEITEM and CN_DELETEITEM.
struct TWMDeleteItem : TMessageRecord {
  explicit TWMDeleteItem(TMessage& m)
      : TMessageRecord(m),
        Ctl(static_cast<UINT>(m.WParam)),
        DeleteItemStruct(reinterpret_cast<DELETEITEMSTRUCT*>(m.LParam)) {}
  UINT Ctl;
  DELETEITEMSTRUCT* DeleteItemStruct;
};

// The messages that hand over a device context in WParam: WM_PAINT (none: paint the window),
// WM_ERASEBKGND, WM_PRINTCLIENT, WM_CTLCOLOR* and their CN_ forms (Child: the child's window).
struct TWMDC : TMessageRecord {
  explicit TWMDC(TMessage& m)
      : TMessageRecord(m), DC(reinterpret_cast<HDC>(m.WParam)), Child(reinterpret_cast<HWND>(m.LParam)) {}
  HDC DC;
  HWND Child;
};

// WM_SETFOCUS and WM_KILLFOCUS: the window that lost or gets the focus.
struct TWMFocus : TMessageRecord {
  explicit TWMFocus(TMessage& m) : TMessageRecord(m), Other(reinterpret_cast<HWND>(m.WParam)) {}
  HWND Other;
};

// A message that carries one object in LParam (CM_MOUSEENTER's control, CM_FOCUSCHANGED's,
// CM_ACTIONEXECUTE's action, WM_WINDOWPOSCHANGED's WINDOWPOS, WM_GETMINMAXINFO's MINMAXINFO),
// and WParam as it comes.
template <class T>
struct TWMObject : TMessageRecord {
  explicit TWMObject(TMessage& m) : TMessageRecord(m), WParam(m.WParam), Object(reinterpret_cast<T*>(m.LParam)) {}
  WPARAM WParam;
  T* Object;
};

// WM_CONTEXTMENU: the window the menu is asked for in, and the point in screen coordinates
// (-1, -1 when the keyboard asked).
struct TWMContextMenu : TMessageRecord {
  explicit TWMContextMenu(TMessage& m)
      : TMessageRecord(m), Window(reinterpret_cast<HWND>(m.WParam)), Pos(LParamToPoint(m.LParam)) {}
  HWND Window;
  POINT Pos;
};

// WM_INITMENUPOPUP: the popup menu about to show, its position in the menu it opens from,
// and whether it is the window menu.
struct TWMInitMenuPopup : TMessageRecord {
  explicit TWMInitMenuPopup(TMessage& m)
      : TMessageRecord(m),
        MenuPopup(reinterpret_cast<HMENU>(m.WParam)),
        Pos(LOWORD(m.LParam)),
        SystemMenu(HIWORD(m.LParam) != 0) {}
  HMENU MenuPopup;
  WORD Pos;
  bool SystemMenu;
};

// WM_MENUSELECT: the item under the pointer (its command id, or its position when it opens a
// submenu), its MF_ flags and the menu it is in.
struct TWMMenuSelect : TMessageRecord {
  explicit TWMMenuSelect(TMessage& m)
      : TMessageRecord(m),
        Item(LOWORD(m.WParam)),
        Flags(HIWORD(m.WParam)),
        Menu(reinterpret_cast<HMENU>(m.LParam)) {}
  WORD Item;
  WORD Flags;
  HMENU Menu;
};

// WM_MENUCHAR: the character typed that no item's accelerator matched, MF_POPUP or
// MF_SYSMENU, and the active menu.
struct TWMMenuChar : TMessageRecord {
  explicit TWMMenuChar(TMessage& m)
      : TMessageRecord(m),
        Char(LOWORD(m.WParam)),
        Flags(HIWORD(m.WParam)),
        Menu(reinterpret_cast<HMENU>(m.LParam)) {}
  WORD Char;
  WORD Flags;
  HMENU Menu;
};

// WM_SIZE: how the window was sized (SIZE_MAXIMIZED...) and its new client size.
struct TWMSize : TMessageRecord {
  explicit TWMSize(TMessage& m)
      : TMessageRecord(m),
        SizeType(static_cast<UINT>(m.WParam)),
        Width(LOWORD(m.LParam)),
        Height(HIWORD(m.LParam)) {}
  UINT SizeType;
  WORD Width;
  WORD Height;
};

// WM_ACTIVATE: WA_ACTIVE, WA_CLICKACTIVE or WA_INACTIVE, whether the window is minimized, and
// the window that loses or gets the activation in its place.
struct TWMActivate : TMessageRecord {
  explicit TWMActivate(TMessage& m)
      : TMessageRecord(m),
        Active(LOWORD(m.WParam)),
        Minimized(HIWORD(m.WParam) != 0),
        ActiveWindow(reinterpret_cast<HWND>(m.LParam)) {}
  WORD Active;
  bool Minimized;
  HWND ActiveWindow;
};

// WM_SETFONT: the font the window is to use (nullptr: the system's) and whether it redraws at
// once.
struct TWMSetFont : TMessageRecord {
  explicit TWMSetFont(TMessage& m)
      : TMessageRecord(m), Font(reinterpret_cast<HFONT>(m.WParam)), Redraw(LOWORD(m.LParam) != 0) {}
  HFONT Font;
  bool Redraw;
};

// WM_NCHITTEST: the point asked about, in screen coordinates.
struct TWMNCHitTest : TMessageRecord {
  explicit TWMNCHitTest(TMessage& m) : TMessageRecord(m), Pos(LParamToPoint(m.LParam)) {}
  POINT Pos;
};

// CM_DOCKNOTIFICATION: the docked control that changed and the message it had.
struct TWMDockNotification : TMessageRecord {
  explicit TWMDockNotification(TMessage& m)
      : TMessageRecord(m), Client(reinterpret_cast<TControl*>(m.WParam)), Notice(reinterpret_cast<TMessage*>(m.LParam)) {}
  TControl* Client;
  TMessage* Notice;
};

// WM_SETCURSOR: the window the pointer is over, its hit-test code and the mouse message that
// moved the pointer (0 in menu mode).
struct TWMSetCursor : TMessageRecord {
  explicit TWMSetCursor(TMessage& m)
      : TMessageRecord(m),
        CursorWnd(reinterpret_cast<HWND>(m.WParam)),
        HitTest(static_cast<short>(LOWORD(m.LParam))),
        MouseMsg(HIWORD(m.LParam)) {}
  HWND CursorWnd;
  short HitTest;
  WORD MouseMsg;
};

// WM_PRINT and WM_PRINTCLIENT: the device context to draw into and what to draw (PRF_ flags).
struct TWMPrint : TMessageRecord {
  explicit TWMPrint(TMessage& m)
      : TMessageRecord(m), DC(reinterpret_cast<HDC>(m.WParam)), Flags(static_cast<UINT>(m.LParam)) {}
  HDC DC;
  UINT Flags;
};

// WM_MOUSEWHEEL and CM_MOUSEWHEEL: the keys and buttons held (MK_ flags), the wheel's turn
// (WHEEL_DELTA a notch, positive away from the user) and the pointer in screen coordinates.
struct TWMMouseWheel : TMessageRecord {
  explicit TWMMouseWheel(TMessage& m)
      : TMessageRecord(m),
        Keys(LOWORD(m.WParam)),
        WheelDelta(static_cast<short>(HIWORD(m.WParam))),
        Pos(LParamToPoint(m.LParam)) {}
  WORD Keys;
  short WheelDelta;
  POINT Pos;
};

// WM_HSCROLL and WM_VSCROLL: the SB_ code, the thumb's position and the scroll bar control
// (nullptr for the window's own scroll bar).
struct TWMScroll : TMessageRecord {
  explicit TWMScroll(TMessage& m)
      : TMessageRecord(m),
        ScrollCode(LOWORD(m.WParam)),
        Pos(HIWORD(m.WParam)),
        ScrollBar(reinterpret_cast<HWND>(m.LParam)) {}
  WORD ScrollCode;
  WORD Pos;
  HWND ScrollBar;
};

// WM_CHARTOITEM and WM_VKEYTOITEM: the character or virtual key, the item with the caret and
// the list box.
struct TWMCharToItem : TMessageRecord {
  explicit TWMCharToItem(TMessage& m)
      : TMessageRecord(m),
        Key(LOWORD(m.WParam)),
        CaretPos(HIWORD(m.WParam)),
        ListBox(reinterpret_cast<HWND>(m.LParam)) {}
  WORD Key;
  WORD CaretPos;
  HWND ListBox;
};

// CM_UNDOCKCLIENT: the site the control goes to (nullptr: it floats) and the control leaving.
struct TCMUnDockClient : TMessageRecord {
  explicit TCMUnDockClient(TMessage& m)
      : TMessageRecord(m),
        NewTarget(reinterpret_cast<TWinControl*>(m.WParam)),
        Client(reinterpret_cast<TControl*>(m.LParam)) {}
  TWinControl* NewTarget;
  TControl* Client;
};

// WM_TIMER: the timer's id and the procedure it calls (nullptr: none).
struct TWMTimer : TMessageRecord {
  explicit TWMTimer(TMessage& m)
      : TMessageRecord(m), TimerId(static_cast<UINT_PTR>(m.WParam)), TimerProc(reinterpret_cast<TIMERPROC>(m.LParam)) {}
  UINT_PTR TimerId;
  TIMERPROC TimerProc;
};

// WM_CAPTURECHANGED: the window that takes the mouse capture (nullptr: none).
struct TWMCaptureChanged : TMessageRecord {
  explicit TWMCaptureChanged(TMessage& m) : TMessageRecord(m), NewCapture(reinterpret_cast<HWND>(m.LParam)) {}
  HWND NewCapture;
};

// Adapts a class's member handler to its table; the handler takes the message as it comes or
// as one of the records above:
//   t->Add(WM_PAINT, Handler(&TWinControl::WMPaint));
template <class C, class R>
TMessageHandler Handler(void (C::*method)(R&)) {
  if constexpr (std::is_same_v<R, TMessage>) {
    return [method](TControl* self, TMessage& m) { (static_cast<C*>(self)->*method)(m); };
  } else {
    static_assert(std::is_base_of_v<TMessageRecord, R>, "a handler takes TMessage or a message record");
    return [method](TControl* self, TMessage& m) {
      R record(m);
      (static_cast<C*>(self)->*method)(record);
    };
  }
}

// Declares, inside a control class, its message table made on `Base`'s (the direct base:
// naming it, rather than the ancestor that has a table today, keeps the chain whole), and
// Inherited, which passes a message on to the handlers of the classes above this one. The
// table is defined in the class's unit:
//   TMessageTable& TFcCustomButton::Messages() {
//     static TMessageTable* table = [] {
//       auto* t = new TMessageTable(&TInheritedClass::Messages());
//       ...
// Leaves the class's members private after it.
#define MESSAGE_TABLE(Base)                                                        \
 public:                                                                           \
  static TMessageTable& Messages();                                                \
  const TMessageTable& ClassMessages() const override { return Messages(); }      \
                                                                                   \
 protected:                                                                        \
  using TInheritedClass = Base;                                                    \
  void Inherited(TMessage& m) { this->InheritedFrom(Messages(), m); }              \
  void Inherited(TMessageRecord& m) { this->InheritedFrom(Messages(), m.Message); } \
                                                                                   \
 private:
