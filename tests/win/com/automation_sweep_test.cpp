// Every member of ITwainForm, found by walking the type library, called
// through IDispatch with awkward arguments: missing and extra arguments,
// empty and null variants, texts where numbers are expected and numbers
// where texts are, empty, huge and zero-holding texts, the extreme 32-bit
// values, NaN and infinities, and objects where values are expected.
//
// Each call must come back (a watchdog ends the run naming the call that
// hangs), without a modal box (only AboutBox shows one), with success or a
// clean automation error: a DISP_E_ code for arguments the dispatcher
// refuses, or DISP_E_EXCEPTION carrying a message. Properties must still be
// readable after every write, reals must never read back as NaN or
// infinite, and the control must still work at the end.
#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include "com/pagewell_h.h"
#include "com_test_support.h"

namespace {

using namespace comtest;

// --- what the call in progress is, for the watchdog and the dialog hook --------------

std::atomic<DWORD> g_callStarted{0};
std::wstring g_currentCall;  // written by the test thread only while no call runs
std::vector<std::wstring> g_dialogsSeen;
HHOOK g_dialogHook = nullptr;

constexpr DWORD kLongestCallMs = 30000;

void watchForHangs(std::atomic<bool>& stop) {
  while (!stop) {
    Sleep(100);
    const DWORD started = g_callStarted;
    // Signed: the start may be a tick ahead of this thread's clock reading.
    if (started != 0 && static_cast<LONG>(GetTickCount() - started) > static_cast<LONG>(kLongestCallMs)) {
      fwprintf(stderr, L"HANG: no return within %lu ms from %ls\n", kLongestCallMs, g_currentCall.c_str());
      fflush(stderr);
      TerminateProcess(GetCurrentProcess(), 3);
    }
  }
}

// A dialog coming up on the test thread is recorded with the call that
// raised it and closed, so that a stray message box fails the test instead
// of blocking it.
LRESULT CALLBACK closeDialogs(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    auto window = reinterpret_cast<HWND>(wParam);
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (lstrcmpW(className, L"#32770") == 0) {
      g_dialogsSeen.push_back(g_currentCall);
      PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      PostMessageW(window, WM_CLOSE, 0, 0);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// --- an object given where a value is expected -------------------------------------

// Answers nothing: no default value, no members. Conversions that ask it
// for its value get DISP_E_MEMBERNOTFOUND.
class MuteObject final : public StackDispatch {
 public:
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return DISP_E_MEMBERNOTFOUND;
  }
};

MuteObject g_mute;

// --- the awkward values --------------------------------------------------------------

struct Awkward {
  const wchar_t* label;
  std::function<void(VARIANT&)> make;  // fills a cleared VARIANT
};

LONG g_byRefLong = INT_MAX;
BSTR g_byRefText = nullptr;

void real(VARIANT& v, double value) {
  v.vt = VT_R8;
  v.dblVal = value;
}
void integer(VARIANT& v, LONG value) {
  v.vt = VT_I4;
  v.lVal = value;
}
void text(VARIANT& v, const std::wstring& value) {
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
}

const std::wstring kHugeText(100000, L'W');
const std::wstring kZeroInside(L"before\0after", 12);

const std::vector<Awkward>& awkwardValues() {
  static const std::vector<Awkward> values = {
      {L"VT_EMPTY", [](VARIANT& v) { v.vt = VT_EMPTY; }},
      {L"VT_NULL", [](VARIANT& v) { v.vt = VT_NULL; }},
      {L"missing", [](VARIANT& v) { v.vt = VT_ERROR, v.scode = DISP_E_PARAMNOTFOUND; }},
      {L"null BSTR", [](VARIANT& v) { v.vt = VT_BSTR, v.bstrVal = nullptr; }},
      {L"empty text", [](VARIANT& v) { text(v, L""); }},
      {L"word text", [](VARIANT& v) { text(v, L"abc"); }},
      {L"number text", [](VARIANT& v) { text(v, L"12"); }},
      {L"100000-char text", [](VARIANT& v) { text(v, kHugeText); }},
      {L"text with zero", [](VARIANT& v) { text(v, kZeroInside); }},
      {L"INT_MIN", [](VARIANT& v) { integer(v, INT_MIN); }},
      {L"INT_MAX", [](VARIANT& v) { integer(v, INT_MAX); }},
      {L"-1", [](VARIANT& v) { integer(v, -1); }},
      {L"0", [](VARIANT& v) { integer(v, 0); }},
      {L"UINT_MAX as VT_UI4", [](VARIANT& v) { v.vt = VT_UI4, v.ulVal = UINT_MAX; }},
      {L"NaN", [](VARIANT& v) { real(v, std::numeric_limits<double>::quiet_NaN()); }},
      {L"+inf", [](VARIANT& v) { real(v, std::numeric_limits<double>::infinity()); }},
      {L"-inf", [](VARIANT& v) { real(v, -std::numeric_limits<double>::infinity()); }},
      {L"1e300", [](VARIANT& v) { real(v, 1e300); }},
      {L"-0.0", [](VARIANT& v) { real(v, -0.0); }},
      {L"true", [](VARIANT& v) { v.vt = VT_BOOL, v.boolVal = VARIANT_TRUE; }},
      {L"object", [](VARIANT& v) { v.vt = VT_DISPATCH, v.pdispVal = &g_mute, g_mute.AddRef(); }},
      {L"null object", [](VARIANT& v) { v.vt = VT_DISPATCH, v.pdispVal = nullptr; }},
      {L"unknown object", [](VARIANT& v) { v.vt = VT_UNKNOWN, v.punkVal = &g_mute, g_mute.AddRef(); }},
      {L"by-ref INT_MAX", [](VARIANT& v) { v.vt = VT_I4 | VT_BYREF, v.plVal = &g_byRefLong; }},
      {L"by-ref text", [](VARIANT& v) { v.vt = VT_BSTR | VT_BYREF, v.pbstrVal = &g_byRefText; }},
      {L"array", [](VARIANT& v) {
         v.vt = VT_ARRAY | VT_I4;
         v.parray = SafeArrayCreateVector(VT_I4, 0, 3);
       }},
  };
  return values;
}

// A value of the parameter's own type, for the positions not being tested.
void plainValueFor(VARTYPE type, VARIANT& v) {
  switch (type) {
    case VT_BSTR: text(v, L"ButtonAcquire"); break;
    case VT_BOOL: v.vt = VT_BOOL, v.boolVal = VARIANT_FALSE; break;
    case VT_R8: case VT_R4: real(v, 1.0); break;
    default: integer(v, 1); break;
  }
}

// --- the members, as the type library lists them --------------------------------------

struct Member {
  std::wstring name;
  DISPID id;
  INVOKEKIND kind;
  std::vector<VARTYPE> parameters;  // in-parameters only
  VARTYPE valueType;                 // a reader's result or a writer's value
};

VARTYPE typeOf(const TYPEDESC& type) {
  if (type.vt == VT_PTR && type.lptdesc) return type.lptdesc->vt;
  if (type.vt == VT_USERDEFINED) return VT_I4;  // the enumerations
  return type.vt;
}

std::vector<Member> membersOf(ITypeInfo* info) {
  std::vector<Member> members;
  TYPEATTR* attributes = nullptr;
  if (FAILED(info->GetTypeAttr(&attributes))) return members;
  for (UINT i = 0; i < attributes->cFuncs; ++i) {
    FUNCDESC* function = nullptr;
    if (FAILED(info->GetFuncDesc(i, &function))) continue;
    if (!(function->wFuncFlags & (FUNCFLAG_FRESTRICTED | FUNCFLAG_FHIDDEN))) {
      Member member;
      Bstr name;
      info->GetDocumentation(function->memid, name.put(), nullptr, nullptr, nullptr);
      member.name = std::wstring(name.view());
      member.id = function->memid;
      member.kind = function->invkind;
      member.valueType = typeOf(function->elemdescFunc.tdesc);
      for (SHORT p = 0; p < function->cParams; ++p) {
        const ELEMDESC& parameter = function->lprgelemdescParam[p];
        const USHORT flags = parameter.paramdesc.wParamFlags;
        if (flags & (PARAMFLAG_FRETVAL | PARAMFLAG_FOUT)) {
          member.valueType = typeOf(parameter.tdesc);
          continue;
        }
        member.parameters.push_back(typeOf(parameter.tdesc));
      }
      if (member.kind != INVOKE_FUNC && !member.parameters.empty() && member.kind != INVOKE_PROPERTYGET)
        member.valueType = member.parameters.back();
      members.push_back(member);
    }
    info->ReleaseFuncDesc(function);
  }
  info->ReleaseTypeAttr(attributes);
  return members;
}

// --- one call ----------------------------------------------------------------------------

struct Outcome {
  HRESULT hr = S_OK;
  std::wstring description;
  VARTYPE resultType = VT_EMPTY;
  double realResult = 0.0;
};

bool isCleanRefusal(HRESULT hr) {
  switch (hr) {
    case DISP_E_TYPEMISMATCH: case DISP_E_BADPARAMCOUNT: case DISP_E_PARAMNOTOPTIONAL:
    case DISP_E_OVERFLOW: case DISP_E_BADVARTYPE: case DISP_E_PARAMNOTFOUND:
    case DISP_E_MEMBERNOTFOUND: case DISP_E_NONAMEDARGS: case DISP_E_NOTACOLLECTION:
    case DISP_E_BADINDEX: case E_INVALIDARG: case E_NOINTERFACE:
      return true;
    default:
      return false;
  }
}

class AutomationSweep : public testing::Test {
 protected:
  static void SetUpTestSuite() { OleInitialize(nullptr); }
  static void TearDownTestSuite() { OleUninitialize(); }

  void SetUp() override {
    CLSID clsid;
    ASSERT_EQ(CLSIDFromProgID(L"Pagewell.TwainForm", &clsid), S_OK);
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, control.put_void()), S_OK);
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(control->GetTypeInfo(0, 0, info.put()), S_OK);
    members = membersOf(info.get());
    g_dialogHook = SetWindowsHookExW(WH_CBT, closeDialogs, nullptr, GetCurrentThreadId());
    watchdog = std::thread(watchForHangs, std::ref(stopWatchdog));
  }
  void TearDown() override {
    stopWatchdog = true;
    watchdog.join();
    UnhookWindowsHookEx(g_dialogHook);
  }

  // Calls `id` with `arguments` (first argument first) and checks that the
  // outcome is a clean one.
  Outcome call(const std::wstring& what, DISPID id, WORD flags, std::vector<VARIANT> arguments) {
    std::vector<VARIANT> reversed(arguments.rbegin(), arguments.rend());
    DISPID named = DISPID_PROPERTYPUT;
    const bool put = flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF);
    DISPPARAMS params{reversed.data(), put ? &named : nullptr, static_cast<UINT>(reversed.size()),
                      put && !reversed.empty() ? 1u : 0u};
    Variant result;
    EXCEPINFO exception{};
    UINT argumentError = 0;
    const size_t dialogsBefore = g_dialogsSeen.size();
    g_currentCall = what;
    g_callStarted = GetTickCount() | 1;
    Outcome outcome;
    outcome.hr = control->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, put ? nullptr : result.put(),
                                 &exception, &argumentError);
    g_callStarted = 0;
    if (exception.pfnDeferredFillIn) exception.pfnDeferredFillIn(&exception);
    if (exception.bstrDescription) outcome.description = exception.bstrDescription;
    clearException(exception);
    for (VARIANT& argument : arguments) VariantClear(&argument);
    outcome.resultType = result.get()->vt;
    if (outcome.resultType == VT_R8) outcome.realResult = result.get()->dblVal;

    const bool clean = SUCCEEDED(outcome.hr) || isCleanRefusal(outcome.hr) ||
                       (outcome.hr == DISP_E_EXCEPTION && !outcome.description.empty());
    EXPECT_TRUE(clean) << narrow(what) << ": 0x" << std::hex << outcome.hr << " " << narrow(outcome.description);
    const bool aboutBox = what.rfind(L"AboutBox", 0) == 0;
    if (!aboutBox) {
      EXPECT_EQ(g_dialogsSeen.size(), dialogsBefore) << narrow(what) << " showed a dialog";
    }
    calls++;
    return outcome;
  }

  static std::string narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text.substr(0, 120)) out += (c >= 32 && c < 127) ? static_cast<char>(c) : '?';
    return out;
  }

  // The reader of `member` still answers, and a real never reads back as
  // NaN or infinite.
  void expectReadable(const Member& member, const std::wstring& after) {
    Outcome read = call(member.name + L" read after " + after, member.id, DISPATCH_PROPERTYGET, {});
    if (SUCCEEDED(read.hr) && read.resultType == VT_R8) {
      EXPECT_TRUE(std::isfinite(read.realResult)) << narrow(member.name) << " reads " << read.realResult
                                                  << " after " << narrow(after);
    }
  }

  long number(const wchar_t* name) {
    Variant value, converted;
    EXPECT_EQ(getProperty(control.get(), name, value.put()), S_OK) << narrow(name);
    if (FAILED(VariantChangeType(converted.get(), value.get(), 0, VT_I4))) return -1;
    return converted.get()->lVal;
  }

  // Clicks the form's button with this caption, wherever it is.
  bool click(const wchar_t* caption) {
    const HWND button = findChildWindow(controlWindow(control.get()), caption, L"Button");
    if (!button) return false;
    g_currentCall = std::wstring(L"click on ") + caption;
    g_callStarted = GetTickCount() | 1;
    SendMessageW(button, BM_CLICK, 0, 0);
    g_callStarted = 0;
    return true;
  }

  bool hasReader(const Member& writer) const {
    for (const Member& m : members)
      if (m.id == writer.id && m.kind == INVOKE_PROPERTYGET) return true;
    return false;
  }

  void sweepMethod(const Member& member) {
    const size_t count = member.parameters.size();
    auto plainArguments = [&] {
      std::vector<VARIANT> arguments(count);
      for (size_t i = 0; i < count; ++i) VariantInit(&arguments[i]), plainValueFor(member.parameters[i], arguments[i]);
      return arguments;
    };
    call(member.name + L"()", member.id, DISPATCH_METHOD, {});
    for (size_t position = 0; position < count; ++position) {
      for (const Awkward& value : awkwardValues()) {
        std::vector<VARIANT> arguments = plainArguments();
        VariantClear(&arguments[position]);
        value.make(arguments[position]);
        call(member.name + L" argument " + std::to_wstring(position + 1) + L" = " + value.label, member.id,
             DISPATCH_METHOD, std::move(arguments));
      }
    }
    if (count > 0) {
      std::vector<VARIANT> fewer = plainArguments();
      VariantClear(&fewer.back());
      fewer.pop_back();
      call(member.name + L" one argument short", member.id, DISPATCH_METHOD, std::move(fewer));
    }
    std::vector<VARIANT> extra = plainArguments();
    extra.emplace_back();
    integer(extra.back(), 7);
    call(member.name + L" one argument extra", member.id, DISPATCH_METHOD, std::move(extra));
  }

  void sweepReader(const Member& member) {
    call(member.name + L" get", member.id, DISPATCH_PROPERTYGET, {});
    call(member.name + L" get as script", member.id, DISPATCH_PROPERTYGET | DISPATCH_METHOD, {});
    std::vector<VARIANT> extra(1);
    integer(extra[0], 1);
    call(member.name + L" get with an argument", member.id, DISPATCH_PROPERTYGET, std::move(extra));
  }

  void sweepWriter(const Member& member) {
    const WORD flags = member.kind == INVOKE_PROPERTYPUTREF ? DISPATCH_PROPERTYPUTREF : DISPATCH_PROPERTYPUT;
    const std::wstring verb = member.kind == INVOKE_PROPERTYPUTREF ? L" putref " : L" put ";
    const bool readable = hasReader(member);
    // Leave the property as it was, so that later members run on a control
    // in its default state.
    Variant original;
    if (readable) {
      DISPPARAMS none{nullptr, nullptr, 0, 0};
      control->Invoke(member.id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, original.put(),
                      nullptr, nullptr);
    }
    for (const Awkward& value : awkwardValues()) {
      std::vector<VARIANT> argument(1);
      value.make(argument[0]);
      call(member.name + verb + value.label, member.id, flags, std::move(argument));
      if (readable) expectReadable(member, value.label);
    }
    call(member.name + verb + L"without a value", member.id, flags, {});
    std::vector<VARIANT> two(2);
    integer(two[0], 1), integer(two[1], 1);
    call(member.name + verb + L"with two values", member.id, flags, std::move(two));
    if (readable && original.get()->vt != VT_EMPTY) {
      VARIANT back;
      VariantInit(&back);
      VariantCopy(&back, original.get());
      call(member.name + L" restored", member.id, flags, {back});
    }
  }

  ComPtr<IDispatch> control;
  std::vector<Member> members;
  std::atomic<bool> stopWatchdog{false};
  std::thread watchdog;
  int calls = 0;
};

// Through the vtable, as a C++ caller would: every member that returns
// something gets a null out-pointer (and zero or null for its inputs) and
// must refuse it with a failed result instead of writing through it.
TEST_F(AutomationSweep, NullOutPointersThroughTheVtableAreRefused) {
  ComPtr<ITypeInfo> dispatchInfo, interfaceInfo;
  ASSERT_EQ(control->GetTypeInfo(0, 0, dispatchInfo.put()), S_OK);
  HREFTYPE dual = 0;
  ASSERT_EQ(dispatchInfo->GetRefTypeOfImplType(-1, &dual), S_OK);
  ASSERT_EQ(dispatchInfo->GetRefTypeInfo(dual, interfaceInfo.put()), S_OK);
  ComPtr<ITwainForm> form = control.query<ITwainForm>(IID_ITwainForm);
  ASSERT_TRUE(form);
  TYPEATTR* attributes = nullptr;
  ASSERT_EQ(interfaceInfo->GetTypeAttr(&attributes), S_OK);
  int checked = 0;
  for (UINT i = 0; i < attributes->cFuncs; ++i) {
    FUNCDESC* function = nullptr;
    if (FAILED(interfaceInfo->GetFuncDesc(i, &function))) continue;
    bool hasOut = false;
    std::vector<VARTYPE> types;
    std::vector<VARIANT> values(function->cParams);
    std::vector<VARIANTARG*> pointers;
    for (SHORT p = 0; p < function->cParams; ++p) {
      const ELEMDESC& parameter = function->lprgelemdescParam[p];
      VARIANT& value = values[p];
      VariantInit(&value);
      if (parameter.paramdesc.wParamFlags & (PARAMFLAG_FOUT | PARAMFLAG_FRETVAL)) hasOut = true;
      const VARTYPE type = parameter.tdesc.vt == VT_PTR || parameter.tdesc.vt == VT_USERDEFINED
                               ? (parameter.tdesc.vt == VT_PTR ? VT_BYREF | VT_I4 : VT_I4)
                               : parameter.tdesc.vt;
      value.vt = type;  // all zero: null pointers, null BSTRs, 0, 0.0, false
      types.push_back(type);
      pointers.push_back(&value);
    }
    Bstr name;
    interfaceInfo->GetDocumentation(function->memid, name.put(), nullptr, nullptr, nullptr);
    if (hasOut) {
      g_currentCall = std::wstring(name.view()) + L" through the vtable with a null out-pointer";
      g_callStarted = GetTickCount() | 1;
      VARIANT result;
      VariantInit(&result);
      const HRESULT called = DispCallFunc(form.get(), function->oVft, CC_STDCALL, VT_ERROR,
                                          static_cast<UINT>(types.size()), types.data(), pointers.data(), &result);
      g_callStarted = 0;
      EXPECT_EQ(called, S_OK) << narrow(g_currentCall);
      EXPECT_TRUE(FAILED(result.scode)) << narrow(g_currentCall) << " answered 0x" << std::hex << result.scode;
      ++checked;
    }
    interfaceInfo->ReleaseFuncDesc(function);
  }
  interfaceInfo->ReleaseTypeAttr(attributes);
  EXPECT_GT(checked, 60);
}

// The specified answers to awkward writes: what reads back afterwards.
TEST_F(AutomationSweep, TextsAreStoredUnchangedWhateverTheirLengthOrContent) {
  for (const wchar_t* member : {L"Username", L"Password", L"UploadURL", L"FormTagName"}) {
    for (const std::wstring& written : {kHugeText, kZeroInside, std::wstring()}) {
      Bstr value(written);
      ASSERT_EQ(putProperty(control.get(), member, textValue(value)), S_OK);
      Variant read;
      ASSERT_EQ(getProperty(control.get(), member, read.put()), S_OK);
      ASSERT_EQ(read.get()->vt, VT_BSTR);
      EXPECT_EQ(std::wstring(Bstr::viewOf(read.get()->bstrVal)), written) << narrow(member);
    }
    VARIANT null;
    VariantInit(&null);
    null.vt = VT_BSTR;
    EXPECT_EQ(putProperty(control.get(), member, null), S_OK) << narrow(member) << " of a null BSTR";
  }
  // Form variables: every text is taken, each call counts one more.
  LONG expected = 0;
  for (const std::wstring& written : {kHugeText, kZeroInside, std::wstring()}) {
    Bstr name(written), value(written);
    Variant result;
    ASSERT_EQ(callMethod(control.get(), L"AddFormVar", {textValue(name), textValue(value)}, result.put()), S_OK);
    EXPECT_EQ(result.get()->lVal, ++expected);
  }
}

TEST_F(AutomationSweep, ExtremeNumbersFollowTheRangeRules) {
  struct Step {
    const wchar_t* member;
    LONG written;
    LONG read;
  };
  const Step steps[] = {
      {L"AuthenticationType", INT_MAX, 255}, {L"AuthenticationType", INT_MIN, 0},
      {L"PagesSelected", INT_MAX, 1},        {L"PagesSelected", INT_MIN, 1},
      {L"MaxUploadSize", INT_MAX, INT_MAX},  {L"MaxUploadSize", INT_MIN, INT_MAX},
      {L"ThumbRows", INT_MIN, 3},            {L"ControlPanelTabs", INT_MAX, 3},
      {L"ControlPanelTabs", INT_MIN, 3},     {L"PageSizeMode", INT_MAX, 1},
      {L"PageSizeMode", INT_MIN, 1},
  };
  for (const Step& step : steps) {
    ASSERT_EQ(putProperty(control.get(), step.member, longValue(step.written)), S_OK) << narrow(step.member);
    Variant read;
    ASSERT_EQ(getProperty(control.get(), step.member, read.put()), S_OK);
    EXPECT_EQ(read.get()->lVal, step.read) << narrow(step.member) << " after " << step.written;
  }
}

TEST_F(AutomationSweep, EveryMemberTakesEveryAwkwardArgument) {
  ASSERT_GT(members.size(), 60u) << "the type library lists the members";
  for (const Member& member : members) {
    switch (member.kind) {
      case INVOKE_FUNC: sweepMethod(member); break;
      case INVOKE_PROPERTYGET: sweepReader(member); break;
      default: sweepWriter(member); break;
    }
  }
  // Identifiers the type library does not know.
  for (DISPID unknown : {DISPID_VALUE, DISPID_NEWENUM, 9999, -9999})
    for (WORD flags : {DISPATCH_METHOD, DISPATCH_PROPERTYGET})
      EXPECT_EQ(call(L"unknown member " + std::to_wstring(unknown), unknown, flags, {}).hr, DISP_E_MEMBERNOTFOUND);
  std::printf("%d calls\n", calls);

  // Still the control it was: the version, a write and its read.
  Variant version;
  ASSERT_EQ(getProperty(control.get(), L"Version", version.put()), S_OK);
  EXPECT_EQ(std::wstring(Bstr::viewOf(version.get()->bstrVal)), L"Orlavex Pagewell, Version 1.3.0.0");
  ASSERT_EQ(putProperty(control.get(), L"ThumbRows", longValue(2)), S_OK);
  Variant rows;
  ASSERT_EQ(getProperty(control.get(), L"ThumbRows", rows.put()), S_OK);
  EXPECT_EQ(rows.get()->lVal, 2);

  // And it still scans and saves. The sweep relabelled and moved buttons:
  // they get their captions back and are clicked where they are.
  for (const auto& [element, caption] : {std::pair{L"ButtonAcquire", L"Acquire"}, {L"ButtonSaveLocal", L"Save Local"}}) {
    Bstr name(element), text(caption), tab(L"Tab1");
    Variant result;
    callMethod(control.get(), L"SetText", {textValue(name), textValue(text), longValue(0)}, result.put());
    callMethod(control.get(), L"SetContainer", {textValue(name), textValue(tab)}, result.put());
    callMethod(control.get(), L"ShowElement", {textValue(name)}, result.put());
  }
  const size_t dialogsBefore = g_dialogsSeen.size();
  ASSERT_EQ(putProperty(control.get(), L"UseInterface", boolValue(false)), S_OK);
  ASSERT_EQ(putProperty(control.get(), L"DeviceIndex", longValue(0)), S_OK);
  const long pagesBefore = number(L"ImageCount");
  ASSERT_TRUE(click(L"Acquire"));
  if (number(L"ImageCount") == 0) {
    // A build whose form keeps no scanned pages has nothing to save.
    std::printf("the form keeps no scanned pages: the save is skipped\n");
    EXPECT_EQ(g_dialogsSeen.size(), dialogsBefore) << "a box came up while scanning";
    return;
  }
  EXPECT_GT(number(L"ImageCount"), pagesBefore);
  Bstr fileName(L"sweep-after.png"), byName(L"FileName");
  ASSERT_EQ(putProperty(control.get(), L"FileFormat", textValue(byName)), S_OK);
  ASSERT_EQ(putProperty(control.get(), L"FileName", textValue(fileName)), S_OK);
  ASSERT_TRUE(click(L"Save Local"));
  Variant saved;
  ASSERT_EQ(getProperty(control.get(), L"SaveLocalSuccess", saved.put()), S_OK);
  EXPECT_EQ(saved.get()->boolVal, VARIANT_TRUE);
  EXPECT_EQ(g_dialogsSeen.size(), dialogsBefore) << "a box came up while scanning or saving";
}

}  // namespace
