#include "host_object.h"

#include <cstdio>
#include <string>

#include "com/bstr.h"
#include "com/variant.h"
#include "host_actions.h"

namespace pagehost {
namespace {

using pagewell::Bstr;
using pagewell::Variant;

enum HostMember : DISPID {
  kEcho = 1,
  kQuit,
  kSleep,
  kArg,
  kArgCount,
  kClick,
  kScreenshot,
  kLastDialogText,
  kDialogAnswer,
  kPostDrag,
  kStartLabelLog,
  kLabelLog,
  kWindows,
  kChoose,
  kType,
  kDialogEdits,
  kDialogCount,
  kPixel,
  kClickTab,
  kButtonEnabled,
  kInspect,
  kCursor,
  kMemory,
  kClickAt,
  kPostCursorProbe,
  kCursorProbe,
  kConsentCount,
  kConsentOrigin,
  kNewControl,
};

struct MemberName {
  const wchar_t* name;
  DISPID id;
};

const MemberName kMembers[] = {
    {L"Echo", kEcho},   {L"Quit", kQuit},   {L"Sleep", kSleep},
    {L"Arg", kArg},     {L"ArgCount", kArgCount},   {L"Click", kClick},
    {L"Screenshot", kScreenshot}, {L"LastDialogText", kLastDialogText},
    {L"DialogAnswer", kDialogAnswer}, {L"Choose", kChoose}, {L"Type", kType},
    {L"DialogCount", kDialogCount},
    {L"DialogEdits", kDialogEdits},
    {L"Pixel", kPixel}, {L"ClickTab", kClickTab}, {L"ButtonEnabled", kButtonEnabled},
    {L"Inspect", kInspect}, {L"Cursor", kCursor}, {L"MemoryMiB", kMemory},
    {L"ClickAt", kClickAt},
    {L"PostCursorProbe", kPostCursorProbe}, {L"CursorProbe", kCursorProbe},
    {L"PostDrag", kPostDrag}, {L"StartLabelLog", kStartLabelLog},
    {L"LabelLog", kLabelLog}, {L"Windows", kWindows},
    {L"ConsentCount", kConsentCount}, {L"ConsentOrigin", kConsentOrigin},
    {L"NewControl", kNewControl},
};

// Arguments arrive last to first.
const VARIANT* argument(const DISPPARAMS& params, UINT index) {
  return index < params.cArgs ? &params.rgvarg[params.cArgs - 1 - index] : nullptr;
}

HRESULT fail(EXCEPINFO* exception, const std::wstring& message) {
  if (exception) {
    *exception = EXCEPINFO{};
    exception->scode = E_FAIL;
    exception->bstrSource = Bstr(L"Host").detach();
    exception->bstrDescription = Bstr(message).detach();
  }
  return DISP_E_EXCEPTION;
}

bool asText(const VARIANT* value, std::wstring& text) {
  if (!value) return false;
  Variant converted;
  if (FAILED(VariantChangeType(converted.get(), const_cast<VARIANT*>(value), VARIANT_ALPHABOOL, VT_BSTR))) return false;
  text = Bstr::viewOf(converted.get()->bstrVal);
  return true;
}

bool asInteger(const VARIANT* value, long& number) {
  if (!value) return false;
  Variant converted;
  if (FAILED(VariantChangeType(converted.get(), const_cast<VARIANT*>(value), 0, VT_I4))) return false;
  number = converted.get()->lVal;
  return true;
}

void returnText(VARIANT* result, const std::wstring& text) {
  if (!result) return;
  VariantInit(result);
  result->vt = VT_BSTR;
  result->bstrVal = Bstr(text).detach();
}

void returnInteger(VARIANT* result, long number) {
  if (!result) return;
  VariantInit(result);
  result->vt = VT_I4;
  result->lVal = number;
}

}  // namespace

void printLine(const std::wstring& text, bool toStderr) {
  int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                 nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size,
                      nullptr, nullptr);
  bytes += '\n';
  FILE* stream = toStderr ? stderr : stdout;
  fwrite(bytes.data(), 1, bytes.size(), stream);
  fflush(stream);
}

void pumpMessages(DWORD milliseconds) {
  DWORD start = GetTickCount();
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    DWORD elapsed = GetTickCount() - start;
    if (elapsed >= milliseconds) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
  }
}

void quitHost(int code) {
  fflush(stdout);
  fflush(stderr);
  ExitProcess(static_cast<UINT>(code));
}

HRESULT HostObject::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid != IID_IUnknown && iid != IID_IDispatch) return E_NOINTERFACE;
  *out = static_cast<IDispatch*>(this);
  return S_OK;
}

HRESULT HostObject::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT HostObject::GetTypeInfo(UINT, LCID, ITypeInfo** out) {
  if (out) *out = nullptr;
  return DISP_E_BADINDEX;
}

HRESULT HostObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (!names || !ids) return E_POINTER;
  HRESULT hr = S_OK;
  for (UINT i = 0; i < count; ++i) {
    ids[i] = DISPID_UNKNOWN;
    for (const MemberName& member : kMembers)
      if (i == 0 && lstrcmpiW(names[i], member.name) == 0) ids[i] = member.id;
    if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
  }
  return hr;
}

HRESULT HostObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                           EXCEPINFO* exception, UINT*) {
  if (!params) return E_POINTER;
  std::wstring text;
  long number = 0;
  switch (id) {
    case kEcho:
      if (!asText(argument(*params, 0), text)) return fail(exception, L"Echo needs a text");
      printLine(text);
      return S_OK;
    case kQuit:
      if (!asInteger(argument(*params, 0), number)) number = 0;
      quitHost(static_cast<int>(number));
    case kSleep:
      if (!asInteger(argument(*params, 0), number) || number < 0)
        return fail(exception, L"Sleep needs a number of milliseconds");
      pumpMessages(static_cast<DWORD>(number));
      return S_OK;
    case kArg:
      if (!asInteger(argument(*params, 0), number) || number < 0 ||
          static_cast<size_t>(number) >= arguments_.size())
        return fail(exception, L"Arg: no such argument");
      returnText(result, arguments_[static_cast<size_t>(number)]);
      return S_OK;
    case kArgCount:
      returnInteger(result, static_cast<long>(arguments_.size()));
      return S_OK;
    case kClick:
      if (!asText(argument(*params, 0), text)) return fail(exception, L"Click needs a caption");
      if (!clickButton(window_, text)) return fail(exception, L"Click: no enabled visible button \"" + text + L"\"");
      return S_OK;
    case kChoose:
      if (!asText(argument(*params, 0), text)) return fail(exception, L"Choose needs an item");
      if (!chooseItem(window_, text)) return fail(exception, L"Choose: no enabled visible list holds \"" + text + L"\"");
      return S_OK;
    case kType: {
      std::wstring typed, ending;
      if (!asText(argument(*params, 0), text) || !asText(argument(*params, 1), typed) ||
          !asText(argument(*params, 2), ending))
        return fail(exception, L"Type needs the edit's text, the new text and \"enter\" or \"exit\"");
      if (!typeInto(window_, text, typed, ending))
        return fail(exception, L"Type: no enabled visible edit reads \"" + text + L"\"");
      return S_OK;
    }
    case kScreenshot:
      if (!asText(argument(*params, 0), text)) return fail(exception, L"Screenshot needs a path");
      if (!saveScreenshot(window_, text)) return fail(exception, L"Screenshot: cannot write " + text);
      return S_OK;
    case kCursor:
      returnText(result, cursorName());
      return S_OK;
    case kLastDialogText:
      returnText(result, dialogs_.lastText);
      return S_OK;
    case kClickTab:
      if (!asText(argument(*params, 0), text)) return fail(exception, L"ClickTab needs a caption");
      if (!clickTab(window_, text)) return fail(exception, L"ClickTab: no visible tab \"" + text + L"\"");
      return S_OK;
    case kButtonEnabled: {
      if (!asText(argument(*params, 0), text)) return fail(exception, L"ButtonEnabled needs a caption");
      int state = buttonEnabled(window_, text);
      if (state < 0) return fail(exception, L"ButtonEnabled: no button \"" + text + L"\"");
      if (result) {
        VariantInit(result);
        result->vt = VT_BOOL;
        result->boolVal = state ? VARIANT_TRUE : VARIANT_FALSE;
      }
      return S_OK;
    }
    case kDialogCount:
      returnInteger(result, dialogs_.count);
      return S_OK;
    case kPixel: {
      long y = 0;
      if (!asInteger(argument(*params, 0), number) || !asInteger(argument(*params, 1), y))
        return fail(exception, L"Pixel needs x and y");
      returnInteger(result, static_cast<long>(pixelAt(window_, static_cast<int>(number), static_cast<int>(y))));
      return S_OK;
    }
    case kClickAt: {
      long y = 0;
      if (!asInteger(argument(*params, 0), number) || !asInteger(argument(*params, 1), y))
        return fail(exception, L"ClickAt needs x and y");
      if (!clickAt(window_, static_cast<int>(number), static_cast<int>(y)))
        return fail(exception, L"ClickAt: no window there");
      return S_OK;
    }
    case kMemory: {
      // In mebibytes: a long holds it however large the process grows.
      if (result) {
        VariantInit(result);
        result->vt = VT_R8;
        result->dblVal = privateBytes() / 1048576.0;
      }
      return S_OK;
    }
    case kInspect:
      if (!asText(argument(*params, 0), text)) return fail(exception, L"Inspect needs a caption");
      returnText(result, describeWindow(window_, text));
      return S_OK;
    case kPostCursorProbe:
      if (!asText(argument(*params, 0), text)) return fail(exception, L"PostCursorProbe needs a caption");
      if (!postCursorProbe(window_, text)) return fail(exception, L"PostCursorProbe: cannot post");
      return S_OK;
    case kCursorProbe:
      returnText(result, takeCursorProbe());
      return S_OK;
    case kDialogAnswer:
      if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        if (!asText(argument(*params, 0), text)) return fail(exception, L"DialogAnswer needs a text");
        dialogs_.answer = text;
      } else {
        returnText(result, dialogs_.answer);
      }
      return S_OK;
    case kPostDrag: {
      long corners[4] = {};
      for (UINT i = 0; i < 4; ++i) {
        if (!asInteger(argument(*params, i + 1), corners[i])) return fail(exception, L"PostDrag needs x1, y1, x2, y2");
      }
      if (!asText(argument(*params, 0), text)) return fail(exception, L"PostDrag needs a window class");
      if (!postDrag(window_, text, corners[0], corners[1], corners[2], corners[3]))
        return fail(exception, L"PostDrag: no visible window of class " + text);
      return S_OK;
    }
    case kStartLabelLog:
      startLabelLog();
      return S_OK;
    case kLabelLog:
      returnText(result, takeLabelLog());
      return S_OK;
    case kWindows:
      if (!asText(argument(*params, 0), text)) return fail(exception, L"Windows needs a window class");
      returnText(result, windowsOfClass(window_, text));
      return S_OK;
    case kConsentCount:
      returnInteger(result, dialogs_.consentCount);
      return S_OK;
    case kConsentOrigin:
      returnText(result, dialogs_.consentOrigin);
      return S_OK;
    case kNewControl: {
      pagewell::ComPtr<IDispatch> control = controls_.add();
      if (!control) return fail(exception, L"NewControl: Pagewell.TwainForm cannot be created");
      if (result) {
        VariantInit(result);
        result->vt = VT_DISPATCH;
        result->pdispVal = control.detach();
      }
      return S_OK;
    }
    case kDialogEdits:
      // Written as one text, the boxes' texts separated by "\n".
      if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        if (!asText(argument(*params, 0), text)) return fail(exception, L"DialogEdits needs a text");
        dialogs_.edits.clear();
        if (!text.empty()) {
          for (size_t start = 0;;) {
            const size_t end = text.find(L'\n', start);
            dialogs_.edits.push_back(text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
            if (end == std::wstring::npos) break;
            start = end + 1;
          }
        }
      } else {
        std::wstring joined;
        for (size_t i = 0; i < dialogs_.edits.size(); ++i) joined += (i ? L"\n" : L"") + dialogs_.edits[i];
        returnText(result, joined);
      }
      return S_OK;
  }
  return DISP_E_MEMBERNOTFOUND;
}

}  // namespace pagehost
