#include <gtest/gtest.h>

#include <windows.h>
#include <dbt.h>
#include <shlobj.h>

#include <map>
#include <string>
#include <vector>

#include "EventLog.h"
#include "ShellTestSupport.h"
#include "platform/Guards.h"
#include "shell/FcShellIntf.h"

namespace {

// ---- TFcIdListArray -----------------------------------------------------------------------

TEST(IdListArray, CountsAndCopiesParts) {
  const std::string three = ListBytes({"aa", "bbb", "c"});
  const std::string empty = ListBytes({});
  TFcIdListArray parts(AsList(three));
  EXPECT_EQ(parts.Count(), 3);
  EXPECT_EQ(TFcIdListArray(nullptr).Count(), 0);
  EXPECT_EQ(TFcIdListArray(AsList(empty)).Count(), 0);

  // The bytes of a part, or "none" for no list at all.
  auto bytes = [](LPCITEMIDLIST list) { return list ? BytesOf(list) : std::string("none"); };
  const std::map<int, std::string> leading = {
      {0, three}, {1, ListBytes({"aa", "bbb"})}, {3, empty}, {4, "none"}, {-1, "none"}};
  for (const auto& [n, expected] : leading) EXPECT_EQ(bytes(parts.GetLeading(n)), expected) << n;
  const std::map<int, std::string> items = {{-1, "none"}, {1, ListBytes({"bbb"})}, {2, ListBytes({"c"})}, {3, "none"}};
  for (const auto& [i, expected] : items) EXPECT_EQ(bytes(parts.GetItem(i)), expected) << i;
  TFcIdListArray emptyParts(AsList(empty));
  EXPECT_EQ(BytesOf(emptyParts.GetItem(0)), empty);
  EXPECT_EQ(TFcIdListArray(nullptr).GetItem(0), nullptr);
  EXPECT_EQ(TFcIdListArray(nullptr).GetLeading(0), nullptr);
}

// ---- TFcPidlList ----------------------------------------------------------------------------

// The shell's allocator with a count of the blocks freed through it.
class TCountingMalloc : public IMalloc {
 public:
  int frees = 0;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  void* STDMETHODCALLTYPE Alloc(SIZE_T size) override { return CoTaskMemAlloc(size); }
  void* STDMETHODCALLTYPE Realloc(void* block, SIZE_T size) override { return CoTaskMemRealloc(block, size); }
  void STDMETHODCALLTYPE Free(void* block) override {
    ++frees;
    CoTaskMemFree(block);
  }
  SIZE_T STDMETHODCALLTYPE GetSize(void*) override { return static_cast<SIZE_T>(-1); }
  int STDMETHODCALLTYPE DidAlloc(void*) override { return -1; }
  void STDMETHODCALLTYPE HeapMinimize() override {}
};

// Lists of one item each, kept alive by the fixture.
class PidlList : public testing::Test {
 protected:
  LPITEMIDLIST List(const std::string& payload) {
    owned_.emplace_back(CopyIdList(nullptr, AsList(ListBytes({payload}))));
    return owned_.back().get();
  }
  static std::string Payloads(const TFcPidlList& list) {
    std::string text;
    for (int i = 0; i < list.Count(); ++i) {
      const std::string bytes = BytesOf(list.Items(i));
      text += bytes.substr(2, bytes.size() - 4) + " ";
    }
    return text;
  }
  std::vector<TIdListPtr> owned_;
};

TEST_F(PidlList, DuplicatesInASortedList) {
  int objects[4];
  for (TFcPidlDuplicates policy : {pdIgnore, pdError, pdAccept}) {
    TFcPidlList list;
    list.SetSorted(true);
    list.SetDuplicates(policy);
    list.AddObject(List("b"), &objects[0]);
    list.AddObject(List("a"), &objects[1]);
    list.AddObject(List("c"), &objects[2]);
    ASSERT_EQ(Payloads(list), "a b c ");
    switch (policy) {
      case pdIgnore:
        EXPECT_EQ(list.AddObject(List("b"), &objects[3]), 1);
        EXPECT_EQ(list.Count(), 3);
        break;
      case pdError:
        try {
          list.AddObject(List("b"), &objects[3]);
          FAIL() << "a duplicate was taken";
        } catch (const EListError& e) {
          EXPECT_EQ(e.Message(), "TFcPidlList: Duplicate PIDL");
        }
        EXPECT_EQ(list.Count(), 3);
        break;
      case pdAccept:
        // In front of the equal entry already there.
        EXPECT_EQ(list.AddObject(List("b"), &objects[3]), 1);
        EXPECT_EQ(list.Count(), 4);
        EXPECT_EQ(list.Objects(1), &objects[3]);
        EXPECT_EQ(list.Objects(2), &objects[0]);
        EXPECT_EQ(list.IndexOf(AsList(ListBytes({"b"}))), 1);
        break;
    }
    EXPECT_EQ(list.IndexOf(AsList(ListBytes({"zz"}))), -1);
  }
}

TEST_F(PidlList, UnsortedListsKeepTheirOrderAndAcceptDuplicates) {
  TFcPidlList list;
  list.SetDuplicates(pdError);
  for (const char* p : {"c", "a", "c", "b"}) list.Add(List(p));
  EXPECT_EQ(Payloads(list), "c a c b ");
  EXPECT_EQ(list.IndexOf(AsList(ListBytes({"c"}))), 0);
  // By bytes, the items' counts first: the longer item "ab" goes last.
  list.Add(List("ab"));
  list.SetSorted(true);
  EXPECT_EQ(Payloads(list), "a b c c ab ");
  list.SetSorted(false);
  list.Add(List("0"));
  EXPECT_EQ(Payloads(list), "a b c c ab 0 ");
  EXPECT_THROW(list.Items(6), EListError);
}

class PidlListOfAFolder : public ShellScratch {};

TEST_F(PidlListOfAFolder, SortsInTheFoldersOwnOrder) {
  for (const char* name : {"b.txt", "C.txt", "a.txt"}) MakeFile(name);
  TComPtr<IShellFolder> folder;
  ASSERT_EQ(ShellGetFolderFromIdList(ParsedList(Dir()).get(), folder.Out()), S_OK);
  std::vector<TIdListPtr> items;
  TFcPidlList list;
  list.SetShellFolder(folder.Get());
  // Items whose bytes order them otherwise than their names do.
  for (const char* name : {"C.txt", "a.txt", "b.txt"}) {
    items.push_back(LastItem(ParsedList(Dir() + name).get()));
    list.Add(items.back().get());
  }
  list.SetSorted(true);
  std::string names;
  for (int i = 0; i < list.Count(); ++i) names += ShellGetDisplayName(folder.Get(), list.Items(i), snkForParsing) + " ";
  EXPECT_EQ(names, Dir() + "a.txt " + Dir() + "b.txt " + Dir() + "C.txt ");
  EXPECT_EQ(list.IndexOf(items[2].get()), 1);
}

TEST_F(PidlList, ListsAreFreedOnlyWithAnAllocator) {
  TCountingMalloc counting;
  {
    TFcPidlList list;
    list.SetMalloc(&counting);
    for (const char* p : {"a", "b", "c", "d"}) list.Add(CopyIdList(&counting, AsList(ListBytes({p}))));
    list.Delete(1);
    EXPECT_EQ(counting.frees, 1);
    list.Clear();
    EXPECT_EQ(counting.frees, 4);
    list.Add(CopyIdList(&counting, AsList(ListBytes({"e"}))));
  }
  EXPECT_EQ(counting.frees, 5);

  TCountingMalloc unused;
  LPITEMIDLIST kept = CopyIdList(&unused, AsList(ListBytes({"k"})));
  {
    TFcPidlList list;
    list.Add(kept);
    list.Delete(0);
    list.Add(kept);
  }
  EXPECT_EQ(unused.frees, 0);
  EXPECT_EQ(BytesOf(kept), ListBytes({"k"}));
  unused.Free(kept);
}

// ---- TFcDeviceChangeHandler -----------------------------------------------------------------

struct TSubscriberLog : TObject {
  TEventLog* log = nullptr;
  std::string name;
  std::function<void()> during;
  void Changed(TObject* sender, TMessage& m) {
    log->Note(Format("%s %s %#llx %lld", name.c_str(), sender ? "handler" : "none",
                          static_cast<unsigned long long>(m.WParam), static_cast<long long>(m.LParam)));
    if (during) during();
  }
  void Other(TObject*, TMessage&) { log->Note(name + " other"); }
};

// Three subscribers that note their calls in one log.
class DeviceChange : public testing::Test {
 protected:
  void SetUp() override {
    for (TSubscriberLog* s : {&a, &b, &c}) s->log = &log;
    a.name = "a";
    b.name = "b";
    c.name = "c";
  }
  // Sends the handler a device change and runs the messages until `calls` are logged.
  bool Deliver(TFcDeviceChangeHandler& handler, WPARAM event, std::size_t calls) {
    SendMessageA(handler.Handle(), WM_DEVICECHANGE, event, 0);
    bool done = LoopUntil([&] { return log.Size() >= calls; }, 3000);
    Application->ProcessMessages();
    return done;
  }
  TEventLog log;
  TSubscriberLog a, b, c;
};

TEST_F(DeviceChange, DeliversTheEventCodeAfterTheBroadcastHasReturned) {
  TFcDeviceChangeHandler handler;
  handler.AddSubscriber(&a, &TSubscriberLog::Changed);
  handler.AddSubscriber(&b, &TSubscriberLog::Changed);
  handler.AddSubscriber(&a, &TSubscriberLog::Changed);

  // A drive's arrival, as the system broadcasts it: the record lives during the send only.
  DEV_BROADCAST_VOLUME volume{};
  volume.dbcv_size = sizeof volume;
  volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
  volume.dbcv_unitmask = 1u << ('Q' - 'A');
  DWORD_PTR result = 0;
  ASSERT_TRUE(SendMessageTimeoutA(HWND_BROADCAST, WM_DEVICECHANGE, DBT_DEVICEARRIVAL,
                                  reinterpret_cast<LPARAM>(&volume), SMTO_ABORTIFHUNG, 2000, &result));
  EXPECT_TRUE(log.Empty());
  ASSERT_TRUE(LoopUntil([&] { return log.Size() >= 3; }, 3000));
  Application->ProcessMessages();
  EXPECT_EQ(log, (TEvents{"a handler 0x8000 0", "b handler 0x8000 0", "a handler 0x8000 0"}));

  // One removal removes the first of the two; inactive handlers deliver nothing.
  log.Clear();
  handler.RemoveSubscriber(&a, &TSubscriberLog::Changed);
  handler.RemoveSubscriber(&a, &TSubscriberLog::Other);  // never subscribed: nothing
  ASSERT_TRUE(Deliver(handler, DBT_DEVICEREMOVECOMPLETE, 2));
  EXPECT_EQ(log, (TEvents{"b handler 0x8004 0", "a handler 0x8004 0"}));
  log.Clear();
  handler.SetActive(false);
  EXPECT_FALSE(Deliver(handler, DBT_DEVICEARRIVAL, 1));
  EXPECT_TRUE(log.Empty());
}

TEST_F(DeviceChange, SubscribersLeavingDuringDeliveryAreNotCalled) {
  TFcDeviceChangeHandler handler;
  // a takes b away (a control freed by another's handler); c takes itself away and b joins
  // again, for the next notice only.
  a.during = [&] { handler.RemoveSubscriber(&b, &TSubscriberLog::Changed); };
  c.during = [&] {
    handler.RemoveSubscriber(&c, &TSubscriberLog::Changed);
    handler.AddSubscriber(&b, &TSubscriberLog::Other);
  };
  handler.AddSubscriber(&a, &TSubscriberLog::Changed);
  handler.AddSubscriber(&b, &TSubscriberLog::Changed);
  handler.AddSubscriber(&c, &TSubscriberLog::Changed);
  ASSERT_TRUE(Deliver(handler, DBT_DEVICEARRIVAL, 2));
  EXPECT_EQ(log, (TEvents{"a handler 0x8000 0", "c handler 0x8000 0"}));
}

TEST_F(DeviceChange, ASubscribersFailureReachesTheApplicationAndTheOthersStillHearIt) {
  TFcDeviceChangeHandler handler;
  a.during = [] { throw Exception("drive gone"); };
  handler.AddSubscriber(&a, &TSubscriberLog::Changed);
  handler.AddSubscriber(&b, &TSubscriberLog::Changed);
  TEventLog reported;
  TRestore<TExceptionEvent> onException(Application->OnException,
                                        [&](TObject*, const std::exception& e) { reported.Note(e.what()); });
  ASSERT_TRUE(Deliver(handler, DBT_DEVICEARRIVAL, 2));
  EXPECT_EQ(reported, TEvents{"drive gone"});
  EXPECT_EQ(log.Last(), "b handler 0x8000 0");
}

TEST_F(DeviceChange, TheSharedHandlerIsMadeOnce) {
  TFcDeviceChangeHandler* shared = ShellDeviceChangeHandler();
  ASSERT_NE(shared, nullptr);
  EXPECT_EQ(ShellDeviceChangeHandler(), shared);
  EXPECT_TRUE(shared->Active());
  EXPECT_TRUE(IsWindow(shared->Handle()));
}

}  // namespace
