#include "control_window.h"

#include <ocidl.h>

#include "approvals_window.h"
#include "com/pagewell_h.h"
#include "com/service_bridge.h"
#include "container/host_window.h"

namespace pagewell::service {
namespace {

const wchar_t kWindowClass[] = L"PagewellService";

ComPtr<IOleObject> createFromClassObject(HMODULE module, std::wstring& error) {
  using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  auto getClassObject = reinterpret_cast<GetClassObject>(
      reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
  ComPtr<IClassFactory> factory;
  ComPtr<IOleObject> control;
  if (!getClassObject || FAILED(getClassObject(CLSID_TwainForm, IID_IClassFactory, factory.put_void())) ||
      FAILED(factory->CreateInstance(nullptr, IID_IOleObject, control.put_void())))
    error = L"the DLL does not give a Pagewell control";
  return control;
}

}  // namespace

std::unique_ptr<ControlWindow> ControlWindow::open(const std::wstring& dllPath, Start start, std::wstring& error) {
  std::unique_ptr<ControlWindow> host(new ControlWindow());
  host->module_ = LoadLibraryW(dllPath.c_str());
  if (!host->module_) {
    error = L"cannot load " + dllPath;
    return nullptr;
  }
  host->control_ = createFromClassObject(host->module_, error);
  if (!host->control_) return nullptr;
  host->size_ = container::controlSizeInPixels(host->control_.get());
  host->window_ = container::createHostWindow(kWindowClass, L"Pagewell", &ControlWindow::windowProc, host->size_);
  if (!host->window_) {
    error = L"cannot create the service's window";
    return nullptr;
  }
  SetWindowLongPtrW(host->window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(host.get()));
  addWebsitesMenu(host->window_);
  host->control_.reset();
  if (!host->placeControl(error)) return nullptr;
  ShowWindow(host->window_, start == Start::Minimized ? SW_SHOWMINNOACTIVE : SW_SHOWNORMAL);
  UpdateWindow(host->window_);
  return host;
}

bool ControlWindow::placeControl(std::wstring& error) {
  control_ = createFromClassObject(module_, error);
  if (!control_) return false;
  automation_ = control_.query<IDispatch>(IID_IDispatch);
  RECT bounds{0, 0, size_.cx, size_.cy};
  // The service checks every page's origin itself; it names itself to the
  // control's site lock as the local service.
  site_ = std::make_unique<container::ControlSite>(window_, bounds, pagewell::kLocalServicePageAddress);
  control_->SetClientSite(site_.get());
  control_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_.get(), 0, window_, &bounds);
  if (eventSink_ && !connectEvents(eventSink_)) {
    error = L"cannot connect to the new control's events";
    return false;
  }
  return true;
}

void ControlWindow::removeControl() {
  if (eventPoint_) eventPoint_->Unadvise(eventCookie_);
  eventPoint_.reset();
  if (control_) {
    control_->Close(OLECLOSE_NOSAVE);
    control_->SetClientSite(nullptr);
  }
  automation_.reset();
  control_.reset();
  site_.reset();
}

bool ControlWindow::renew(std::wstring& error) {
  removeControl();
  bool placed = placeControl(error);
  InvalidateRect(window_, nullptr, TRUE);
  return placed;
}

void ControlWindow::bringForward() const {
  if (IsIconic(window_)) ShowWindow(window_, SW_RESTORE);
  SetForegroundWindow(window_);
}

ControlWindow::~ControlWindow() {
  removeControl();
  if (window_) DestroyWindow(window_);
  // The module stays loaded: the control's code may still be on a stack of
  // this thread's message loop until the process ends.
}

LRESULT CALLBACK ControlWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* host = reinterpret_cast<ControlWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  bool ownerTimer = message == WM_TIMER && wParam == kOwnerTimer;
  if ((message == kOwnerMessage || ownerTimer) && host && host->handler_) {
    host->handler_(message, wParam, lParam);
    return 0;
  }
  if (message == WM_COMMAND && LOWORD(wParam) == kShowApprovalsCommand && HIWORD(wParam) == 0) {
    showApprovalsWindow(window);
    return 0;
  }
  if (message == WM_CLOSE) {
    // Closing the window ends the service.
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

ComPtr<ITypeInfo> ControlWindow::dispatchType() const {
  ComPtr<ITypeInfo> type;
  if (automation_) automation_->GetTypeInfo(0, LOCALE_USER_DEFAULT, type.put());
  return type;
}

ComPtr<ITypeInfo> ControlWindow::eventType(IID& eventInterface) const {
  ComPtr<IProvideClassInfo> classInfo = control_.query<IProvideClassInfo>(IID_IProvideClassInfo);
  ComPtr<ITypeInfo> coclass, events;
  TYPEATTR* attributes = nullptr;
  if (!classInfo || FAILED(classInfo->GetClassInfo(coclass.put())) || FAILED(coclass->GetTypeAttr(&attributes)))
    return events;
  WORD count = attributes->cImplTypes;
  coclass->ReleaseTypeAttr(attributes);
  for (UINT i = 0; i < count && !events; ++i) {
    INT flags = 0;
    HREFTYPE reference = 0;
    if (FAILED(coclass->GetImplTypeFlags(i, &flags)) || flags != (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE) ||
        FAILED(coclass->GetRefTypeOfImplType(i, &reference)) ||
        FAILED(coclass->GetRefTypeInfo(reference, events.put())))
      continue;
    if (SUCCEEDED(events->GetTypeAttr(&attributes))) {
      eventInterface = attributes->guid;
      events->ReleaseTypeAttr(attributes);
    }
  }
  return events;
}

bool ControlWindow::connectEvents(IDispatch* sink) {
  eventSink_ = sink;
  IID eventInterface{};
  if (!eventType(eventInterface)) return false;
  ComPtr<IConnectionPointContainer> container = control_.query<IConnectionPointContainer>(IID_IConnectionPointContainer);
  return container && SUCCEEDED(container->FindConnectionPoint(eventInterface, eventPoint_.put())) &&
         SUCCEEDED(eventPoint_->Advise(sink, &eventCookie_));
}

}  // namespace pagewell::service
