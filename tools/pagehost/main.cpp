// pagehost [--page-url URL | --no-page-url] [--refuse-site] SCRIPT [ARG...]
//
// Plays the part of a web page for the Pagewell control: creates
// "Pagewell.TwainForm" in-place in a window of the control's size (in a
// page at URL, which the control learns from its client site; by default
// at the page host's own address for the script, http://pagehost.test/NAME;
// with --no-page-url in a page whose address the control cannot learn),
// answers the control's question whether that site may use it with
// "Always allow" (with --refuse-site, "Deny"), runs
// SCRIPT (.js as JScript, .vbs as VBScript) with the globals TwainForm and
// Host, and delivers the control's events to the script's
// TwainForm_<EventName> functions. Exit code: the script's Host.Quit code,
// 0 at the end of the script, 3 after a script error, 2 when the control or
// the script cannot be loaded.
#include <windows.h>
#include <ole2.h>
#include <ocidl.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "com/com_ptr.h"
#include "container/control_site.h"
#include "dialog_dismisser.h"
#include "host_actions.h"
#include "host_object.h"
#include "host_options.h"
#include "container/host_window.h"
#include "script_host.h"

using pagewell::ComPtr;

namespace {

const wchar_t kWindowClass[] = L"PagewellPageHost";
pagehost::DialogDismisser* g_dialogs = nullptr;

LRESULT CALLBACK hostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == pagehost::DialogDismisser::kDismissMessage && g_dialogs) {
    g_dialogs->dismiss(reinterpret_cast<HWND>(wParam));
    return 0;
  }
  if (message == pagehost::DialogDismisser::kConsentMessage && g_dialogs) {
    g_dialogs->answerConsent(reinterpret_cast<HWND>(wParam));
    return 0;
  }
  if (message == WM_TIMER && wParam == pagehost::DialogDismisser::kConsentMessage && g_dialogs) {
    g_dialogs->answerConsent(nullptr);
    return 0;
  }
  if (message == pagehost::kCursorProbeMessage) {
    pagehost::runCursorProbe(reinterpret_cast<HWND>(wParam));
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

[[noreturn]] void failStart(const std::wstring& message) {
  pagehost::printLine(L"pagehost: " + message, true);
  pagehost::quitHost(2);
}

// The HRESULT in hex and the error information the failing call left.
std::wstring errorText(HRESULT hr) {
  wchar_t code[16];
  wsprintfW(code, L"0x%08lX", static_cast<unsigned long>(hr));
  std::wstring text = code;
  ComPtr<IErrorInfo> error;
  if (GetErrorInfo(0, error.put()) == S_OK) {
    BSTR description = nullptr;
    error->GetDescription(&description);
    if (description) text += std::wstring(L" ") + description;
    SysFreeString(description);
  }
  return text;
}

std::wstring readScript(const std::wstring& path) {
  std::ifstream file(path.c_str(), std::ios::binary);
  if (!file) failStart(L"cannot read " + path);
  std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
  int size = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), size);
  return text;
}

std::wstring languageOf(const std::wstring& path) {
  size_t dot = path.find_last_of(L'.');
  std::wstring extension = dot == std::wstring::npos ? L"" : path.substr(dot);
  if (lstrcmpiW(extension.c_str(), L".vbs") == 0) return L"VBScript";
  if (lstrcmpiW(extension.c_str(), L".js") == 0) return L"JScript";
  failStart(L"a script is a .js or a .vbs file: " + path);
}

DWORD connectEvents(IUnknown* control, IDispatch* sink) {
  ComPtr<IConnectionPointContainer> container;
  ComPtr<IConnectionPoint> point;
  ComPtr<IProvideClassInfo2> classInfo;
  GUID events{};
  DWORD cookie = 0;
  if (SUCCEEDED(control->QueryInterface(IID_IProvideClassInfo2, classInfo.put_void())) &&
      SUCCEEDED(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events)) &&
      SUCCEEDED(control->QueryInterface(IID_IConnectionPointContainer, container.put_void())) &&
      SUCCEEDED(container->FindConnectionPoint(events, point.put())))
    point->Advise(sink, &cookie);
  return cookie;
}

int runHost(const pagehost::HostOptions& options) {
  const std::wstring& scriptPath = options.script;
  const std::wstring& pageUrl = options.pageUrl;
  std::wstring language = languageOf(scriptPath);
  std::wstring code = readScript(scriptPath);

  CLSID controlClass;
  ComPtr<IOleObject> control;
  if (FAILED(CLSIDFromProgID(L"Pagewell.TwainForm", &controlClass)))
    failStart(L"Pagewell.TwainForm is not registered");
  HRESULT hr = CoCreateInstance(controlClass, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject, control.put_void());
  if (FAILED(hr)) failStart(L"cannot create Pagewell.TwainForm: " + errorText(hr));

  SIZE size = pagewell::container::controlSizeInPixels(control.get());
  HWND window = pagewell::container::createHostWindow(kWindowClass, L"Pagewell page host", hostWindowProc, size);
  pagehost::DialogDismisser dialogs(window);
  g_dialogs = &dialogs;
  if (options.refuseSite) dialogs.consentAnswer = L"Deny";
  pagewell::container::ControlSite site(window, RECT{0, 0, size.cx, size.cy}, pageUrl);
  control->SetClientSite(&site);
  RECT bounds{0, 0, size.cx, size.cy};
  control->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, window, &bounds);
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);

  ComPtr<IDispatch> automation = control.query<IDispatch>(IID_IDispatch);
  pagehost::MoreControls moreControls(window, pageUrl);
  pagehost::HostObject host(window, options.scriptArguments, dialogs, moreControls);
  pagehost::ScriptHost script(window, automation.get(), &host);
  DWORD cookie = connectEvents(control.get(), &script);
  if (!script.run(language, code)) failStart(L"the " + language + L" engine could not run " + scriptPath);

  // The end of the script: the page closes.
  if (cookie) {
    ComPtr<IConnectionPointContainer> container = control.query<IConnectionPointContainer>(IID_IConnectionPointContainer);
    ComPtr<IConnectionPoint> point;
    GUID events{};
    auto classInfo = control.query<IProvideClassInfo2>(IID_IProvideClassInfo2);
    if (classInfo && SUCCEEDED(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events)) &&
        SUCCEEDED(container->FindConnectionPoint(events, point.put())))
      point->Unadvise(cookie);
  }
  script.close();
  control->Close(OLECLOSE_NOSAVE);
  control->SetClientSite(nullptr);
  automation.reset();
  control.reset();
  g_dialogs = nullptr;
  DestroyWindow(window);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::optional<pagehost::HostOptions> options = pagehost::parseHostOptions({argv + 1, argv + argc});
  if (!options) {
    pagehost::printLine(L"usage: pagehost [--page-url URL | --no-page-url] [--refuse-site] SCRIPT [ARG...]", true);
    return 2;
  }
  if (FAILED(OleInitialize(nullptr))) return 2;
  int code = runHost(*options);
  OleUninitialize();
  return code;
}
