// What a page host relies on besides automation: the class factory and the
// module's unload answer, <param> values through IPersistPropertyBag,
// in-place activation in a host window, and safety for scripting.
#include <gtest/gtest.h>
#include <objsafe.h>
#include <ocidl.h>
#include <urlmon.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "com/pagewell_h.h"
#include "com_test_support.h"
#include "event_recorder.h"

namespace {

using namespace comtest;

class ParamBag final : public IPropertyBag {
 public:
  explicit ParamBag(std::map<std::wstring, std::wstring> values) : values_(std::move(values)) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IPropertyBag) return E_NOINTERFACE;
    *out = this;
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override {
    for (const auto& [key, text] : values_) {
      if (_wcsicmp(key.c_str(), name) != 0) continue;
      value->vt = VT_BSTR;
      value->bstrVal = SysAllocString(text.c_str());
      return S_OK;
    }
    return E_INVALIDARG;
  }
  HRESULT STDMETHODCALLTYPE Write(LPCOLESTR, VARIANT*) override { return E_NOTIMPL; }

 private:
  std::map<std::wstring, std::wstring> values_;
};

class Site final : public IOleClientSite, public IOleInPlaceSite {
 public:
  explicit Site(HWND window) : window_(window) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleClientSite) *out = static_cast<IOleClientSite*>(this);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) *out = static_cast<IOleInPlaceSite*>(this);
    else return E_NOINTERFACE;
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE SaveObject() override { return S_OK; }
  // A page of a site the user allowed (UserApproval below): the site lock
  // lets the control work there without a question.
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD which, IMoniker** out) override {
    *out = nullptr;
    if (which != OLEWHICHMK_CONTAINER) return E_NOTIMPL;
    return CreateURLMonikerEx(nullptr, L"http://embedding.test/page.html", out, URL_MK_UNIFORM);
  }
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer**) override { return E_NOINTERFACE; }
  HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) override { *out = window_; return S_OK; }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { ++inPlaceActivations; return S_OK; }
  HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                             LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO) override {
    *frame = nullptr;
    *document = nullptr;
    *position = *clip = RECT{10, 20, 806, 638};
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { ++inPlaceDeactivations; return S_OK; }
  HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }

  int inPlaceActivations = 0;
  int inPlaceDeactivations = 0;

 private:
  HWND window_;
};

// The user's list of allowed sites holds the test's page for as long as the
// tests run, and is as it was afterwards.
class UserApproval {
 public:
  UserApproval() {
    DWORD size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, kKey, kValue, RRF_RT_REG_MULTI_SZ, nullptr, nullptr, &size) == ERROR_SUCCESS) {
      saved_.assign(size / sizeof(wchar_t), L'\0');
      RegGetValueW(HKEY_CURRENT_USER, kKey, kValue, RRF_RT_REG_MULTI_SZ, nullptr, saved_.data(), &size);
    }
    std::wstring list = L"http://embedding.test";
    list.append(2, L'\0');
    write(list);
  }
  ~UserApproval() {
    if (saved_.empty())
      RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, kValue);
    else
      write(saved_);
  }

 private:
  static constexpr const wchar_t* kKey = L"Software\\Pagewell";
  static constexpr const wchar_t* kValue = L"AllowedOrigins";
  static void write(const std::wstring& list) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kKey, kValue, REG_MULTI_SZ, list.data(),
                    static_cast<DWORD>(list.size() * sizeof(wchar_t)));
  }
  std::wstring saved_;
};

class EmbeddingTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    OleInitialize(nullptr);
    approval.emplace();
  }
  static void TearDownTestSuite() {
    approval.reset();
    OleUninitialize();
  }
  static inline std::optional<UserApproval> approval;
  void SetUp() override {
    ASSERT_EQ(CoCreateInstance(CLSID_TwainForm, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, control.put_void()),
              S_OK);
  }
  EventRecorder recorder;  // outlives the control
  ComPtr<IDispatch> control;
};

TEST_F(EmbeddingTest, ParamTagsSetMembersOfTheSameName) {
  auto bag = control.query<IPersistPropertyBag>(IID_IPersistPropertyBag);
  ASSERT_TRUE(bag);
  ParamBag params({{L"uploadurl", L"http://127.0.0.1/receive"},
                   {L"UploadTimeout", L"30"},
                   {L"AuthenticationType", L"not a number"},
                   {L"FileFormat", L"tif"},
                   {L"MultiImage", L"false"},
                   {L"Version", L"9.9"}});
  ASSERT_EQ(bag->InitNew(), S_OK);
  ASSERT_EQ(bag->Load(&params, nullptr), S_OK);
  Variant value;
  getProperty(control.get(), L"UploadURL", value.put());
  EXPECT_EQ(Bstr::viewOf(value.get()->bstrVal), L"http://127.0.0.1/receive");
  getProperty(control.get(), L"UploadTimeout", value.put());
  EXPECT_EQ(value.get()->lVal, 30);
  getProperty(control.get(), L"AuthenticationType", value.put());
  EXPECT_EQ(value.get()->lVal, 0);
  getProperty(control.get(), L"FileFormat", value.put());
  EXPECT_EQ(Bstr::viewOf(value.get()->bstrVal), L"TIF");
  getProperty(control.get(), L"MultiImage", value.put());
  EXPECT_EQ(value.get()->boolVal, VARIANT_FALSE);
  getProperty(control.get(), L"Version", value.put());
  EXPECT_EQ(Bstr::viewOf(value.get()->bstrVal), L"Orlavex Pagewell, Version 1.3.0.0");
}

TEST_F(EmbeddingTest, InPlaceActivationPlacesTheFormInTheHostWindow) {
  HWND host = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900, 700, nullptr,
                              nullptr, nullptr, nullptr);
  ASSERT_NE(host, nullptr);
  Site site(host);
  EventRecorder& sink = recorder;
  auto container = control.query<IConnectionPointContainer>(IID_IConnectionPointContainer);
  ComPtr<IConnectionPoint> point;
  ASSERT_EQ(container->FindConnectionPoint(DIID_ITwainFormEvents, point.put()), S_OK);
  DWORD cookie = 0;
  ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);

  auto ole = control.query<IOleObject>(IID_IOleObject);
  ASSERT_TRUE(ole);
  DWORD status = 0;
  ole->GetMiscStatus(DVASPECT_CONTENT, &status);
  EXPECT_EQ(status, 0x12000u);
  SIZEL extent{};
  ole->GetExtent(DVASPECT_CONTENT, &extent);
  EXPECT_EQ(extent.cx, MulDiv(796, 2540, 96));
  EXPECT_EQ(extent.cy, MulDiv(618, 2540, 96));
  ASSERT_EQ(ole->SetClientSite(&site), S_OK);
  RECT bounds{10, 20, 806, 638};
  ASSERT_EQ(ole->DoVerb(OLEIVERB_UIACTIVATE, nullptr, &site, 0, host, &bounds), S_OK);
  EXPECT_EQ(site.inPlaceActivations, 1);
  HWND form = nullptr;
  control.query<IOleWindow>(IID_IOleWindow)->GetWindow(&form);
  EXPECT_EQ(GetParent(form), host);
  RECT placed;
  GetWindowRect(form, &placed);
  MapWindowPoints(nullptr, host, reinterpret_cast<POINT*>(&placed), 2);
  EXPECT_EQ(placed.left, 10);
  EXPECT_EQ(placed.top, 20);
  // The host's rectangle places the form; the form keeps the size that
  // fits its contents.
  EXPECT_EQ(placed.right - placed.left, 793);
  EXPECT_EQ(placed.bottom - placed.top, 593);
  EXPECT_TRUE(IsWindowVisible(form));
  Variant active;
  getProperty(control.get(), L"Active", active.put());
  EXPECT_EQ(active.get()->boolVal, VARIANT_TRUE);
  EXPECT_TRUE(sink.saw(201));

  // The container draws the control itself, e.g. for printing.
  auto view = control.query<IViewObject2>(IID_IViewObject2);
  ASSERT_TRUE(view);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 200, 150);
  HGDIOBJ old = SelectObject(memory, bitmap);
  RECTL area{0, 0, 200, 150};
  EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, memory, &area, nullptr, nullptr, 0), S_OK);
  EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, nullptr, &area, nullptr, nullptr, 0),
            E_INVALIDARG);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);

  ASSERT_EQ(control.query<IOleInPlaceObject>(IID_IOleInPlaceObject)->InPlaceDeactivate(), S_OK);
  EXPECT_TRUE(sink.saw(206));
  EXPECT_EQ(site.inPlaceDeactivations, 1);
  EXPECT_NE(GetParent(form), host);
  ole->Close(OLECLOSE_NOSAVE);
  ole->SetClientSite(nullptr);
  point->Unadvise(cookie);
  DestroyWindow(host);
}

// Tab and Shift+Tab offered through TranslateAccelerator, as a host's
// message loop offers keys to the active object: forward through every
// component that can take the focus, back the same way, and at either end
// the key is left to the host (S_FALSE) with the focus where it was.
TEST_F(EmbeddingTest, TabMovesTheFocusBetweenComponents) {
  HWND host = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900, 700, nullptr,
                              nullptr, nullptr, nullptr);
  ASSERT_NE(host, nullptr);
  Site site(host);
  auto ole = control.query<IOleObject>(IID_IOleObject);
  ASSERT_EQ(ole->SetClientSite(&site), S_OK);
  RECT bounds{10, 20, 806, 638};
  ASSERT_EQ(ole->DoVerb(OLEIVERB_UIACTIVATE, nullptr, &site, 0, host, &bounds), S_OK);
  auto active = control.query<IOleInPlaceActiveObject>(IID_IOleInPlaceActiveObject);
  ASSERT_TRUE(active);
  HWND form = nullptr;
  ASSERT_EQ(active->GetWindow(&form), S_OK);

  auto setModifiers = [](bool shift, bool control) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    keys[VK_CONTROL] = control ? 0x80 : 0;
    SetKeyboardState(keys);
  };
  auto offer = [&](UINT message, WPARAM key, bool shift = false, bool control = false) {
    setModifiers(shift, control);
    MSG msg{GetFocus(), message, key, 0, 0, {}};
    HRESULT hr = active->TranslateAccelerator(&msg);
    setModifiers(false, false);
    return hr;
  };
  // The component that holds the focus (a combo box's edit stands for its box).
  auto focused = [] {
    HWND window = GetFocus();
    while (window && !(GetWindowLongPtrW(window, GWL_STYLE) & WS_TABSTOP)) window = GetParent(window);
    return window;
  };

  SetFocus(form);
  ASSERT_EQ(GetFocus(), form);
  std::vector<HWND> forward;
  while (forward.size() < 200 && offer(WM_KEYDOWN, VK_TAB) == S_OK) forward.push_back(focused());
  ASSERT_GE(forward.size(), 10u);
  ASSERT_LT(forward.size(), 200u);
  std::vector<std::wstring> captions;
  for (HWND component : forward) {
    ASSERT_NE(component, nullptr);
    EXPECT_TRUE(IsChild(form, component));
    EXPECT_TRUE(IsWindowVisible(component));
    EXPECT_TRUE(IsWindowEnabled(component));
    EXPECT_EQ(std::count(forward.begin(), forward.end(), component), 1);
    wchar_t caption[64] = {};
    GetWindowTextW(component, caption, 64);
    captions.push_back(caption);
  }
  // Disabled options are passed over: the first device scans one side only.
  auto closeInterface = std::find(captions.begin(), captions.end(), L"Close interface after acquire");
  ASSERT_NE(closeInterface, captions.end());
  ASSERT_NE(closeInterface + 1, captions.end());
  EXPECT_NE(closeInterface[1], L"Use duplex");
  EXPECT_EQ(std::find(captions.begin(), captions.end(), L"Use duplex"), captions.end());
  // The last component: Tab is the host's.
  EXPECT_EQ(focused(), forward.back());
  EXPECT_EQ(offer(WM_KEYDOWN, VK_TAB), S_FALSE);
  EXPECT_EQ(focused(), forward.back());

  std::vector<HWND> backward{forward.back()};
  while (backward.size() < 200 && offer(WM_KEYDOWN, VK_TAB, true) == S_OK) backward.push_back(focused());
  EXPECT_EQ(std::vector<HWND>(backward.rbegin(), backward.rend()), forward);
  EXPECT_EQ(focused(), forward.front());

  // Other keys, Ctrl+Tab and Tab from outside the form are the host's too.
  struct Key {
    const char* what;
    UINT message;
    WPARAM key;
    bool control;
  };
  const Key others[] = {
      {"letter", WM_KEYDOWN, 'A', false},
      {"Tab released", WM_KEYUP, VK_TAB, false},
      {"Tab character", WM_CHAR, '\t', false},
      {"Alt+Tab", WM_SYSKEYDOWN, VK_TAB, false},
      {"Ctrl+Tab", WM_KEYDOWN, VK_TAB, true},
  };
  SetFocus(forward[1]);
  for (const Key& key : others) {
    EXPECT_EQ(offer(key.message, key.key, false, key.control), S_FALSE) << key.what;
    EXPECT_EQ(focused(), forward[1]) << key.what;
  }
  SetFocus(host);
  EXPECT_EQ(offer(WM_KEYDOWN, VK_TAB), S_FALSE);
  EXPECT_EQ(GetFocus(), host);
  EXPECT_EQ(active->TranslateAccelerator(nullptr), E_INVALIDARG);

  ole->Close(OLECLOSE_NOSAVE);
  ole->SetClientSite(nullptr);
  DestroyWindow(host);
}

TEST_F(EmbeddingTest, SafeForScriptingAndInitialisation) {
  auto safety = control.query<IObjectSafety>(IID_IObjectSafety);
  ASSERT_TRUE(safety);
  const DWORD both = INTERFACESAFE_FOR_UNTRUSTED_CALLER | INTERFACESAFE_FOR_UNTRUSTED_DATA;
  for (const IID* iid : {&IID_IDispatch, &IID_IPersistPropertyBag}) {
    DWORD supported = 0, enabled = 0;
    ASSERT_EQ(safety->GetInterfaceSafetyOptions(*iid, &supported, &enabled), S_OK);
    EXPECT_EQ(supported, both);
    EXPECT_EQ(safety->SetInterfaceSafetyOptions(*iid, both, both), S_OK);
  }
  auto classInfo = control.query<IProvideClassInfo2>(IID_IProvideClassInfo2);
  ASSERT_TRUE(classInfo);
  GUID source{};
  ASSERT_EQ(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source), S_OK);
  EXPECT_TRUE(IsEqualGUID(source, DIID_ITwainFormEvents));
}

// DllCanUnloadNow counts live objects and server locks honestly.
TEST(Module, CanUnloadOnlyWithoutObjectsOrLocks) {
  HMODULE module = LoadLibraryW(dllPath().c_str());
  ASSERT_NE(module, nullptr);
  using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
  using CanUnloadNow = HRESULT(WINAPI*)();
  auto getClassObject = reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
  auto canUnloadNow = reinterpret_cast<CanUnloadNow>(reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
  ASSERT_TRUE(getClassObject && canUnloadNow);
  OleInitialize(nullptr);
  EXPECT_EQ(canUnloadNow(), S_OK);
  ComPtr<IClassFactory> factory;
  EXPECT_EQ(getClassObject(IID_ITwainForm, IID_IClassFactory, factory.put_void()), CLASS_E_CLASSNOTAVAILABLE);
  ASSERT_EQ(getClassObject(CLSID_TwainForm, IID_IClassFactory, factory.put_void()), S_OK);
  EXPECT_EQ(canUnloadNow(), S_FALSE);
  ComPtr<IUnknown> object;
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_ITwainForm, object.put_void()), S_OK);
  ComPtr<IUnknown> outer;
  EXPECT_EQ(factory->CreateInstance(object.get(), IID_IUnknown, outer.put_void()), CLASS_E_NOAGGREGATION);
  factory->LockServer(TRUE);
  factory.reset();
  EXPECT_EQ(canUnloadNow(), S_FALSE);
  object.reset();
  EXPECT_EQ(canUnloadNow(), S_FALSE);  // still locked
  ASSERT_EQ(getClassObject(CLSID_TwainForm, IID_IClassFactory, factory.put_void()), S_OK);
  factory->LockServer(FALSE);
  factory.reset();
  EXPECT_EQ(canUnloadNow(), S_OK);
  OleUninitialize();
  FreeLibrary(module);
}

}  // namespace
