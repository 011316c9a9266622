#pragma once
// The control, loaded from Pagewell.dll through its class object (no
// registration needed) and placed in-place in a top-level window of the
// service, where the user sees its form as on a page. Each page's session
// gets a control of its own: renew() puts a new one in the old one's place,
// so nothing a page set (credentials, form variables, texts, layout) is
// left for the next.
#include <windows.h>
#include <ole2.h>
#include <ocidl.h>

#include <functional>
#include <memory>
#include <string>

#include "com/com_ptr.h"
#include "container/control_site.h"

namespace pagewell::service {

class ControlWindow {
 public:
  // Messages the window's owner handles itself (posted from other threads).
  using MessageHandler = std::function<void(UINT message, WPARAM wParam, LPARAM lParam)>;
  static constexpr UINT kOwnerMessage = WM_APP + 1;
  // A timer of the owner's on window(): its WM_TIMER goes to the handler too.
  static constexpr UINT_PTR kOwnerTimer = 1;

  // How the window first appears: in front, or minimised without taking
  // the focus from what the user is doing (a start at logon).
  enum class Start { Shown, Minimized };

  // The control from the DLL at `dllPath`, its window shown as `start`
  // says; nothing, with the reason in `error`, when it cannot be loaded.
  static std::unique_ptr<ControlWindow> open(const std::wstring& dllPath, Start start, std::wstring& error);
  ~ControlWindow();
  ControlWindow(const ControlWindow&) = delete;
  ControlWindow& operator=(const ControlWindow&) = delete;

  HWND window() const { return window_; }
  // Restores a minimised window and asks to bring it in front of the
  // user's (Windows may only flash its taskbar button instead).
  void bringForward() const;
  IDispatch* automation() const { return automation_.get(); }
  IUnknown* object() const { return control_.get(); }
  // kOwnerMessage posted to window(), and kOwnerTimer's WM_TIMER, go to
  // `handler` on the window's thread.
  void onOwnerMessage(MessageHandler handler) { handler_ = std::move(handler); }

  // The type information of the dispatch interface and of the default
  // event interface, with the event interface's id.
  ComPtr<ITypeInfo> dispatchType() const;
  ComPtr<ITypeInfo> eventType(IID& eventInterface) const;
  // Connects the sink to the control's events, now and after each renewal.
  bool connectEvents(IDispatch* sink);
  // Destroys the control and places a new one from the same DLL; false,
  // with the reason in `error`, when that fails.
  bool renew(std::wstring& error);

 private:
  ControlWindow() = default;
  bool placeControl(std::wstring& error);
  void removeControl();
  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HMODULE module_ = nullptr;
  HWND window_ = nullptr;
  SIZE size_{};
  IDispatch* eventSink_ = nullptr;
  ComPtr<IOleObject> control_;
  ComPtr<IDispatch> automation_;
  std::unique_ptr<container::ControlSite> site_;
  ComPtr<IConnectionPoint> eventPoint_;
  DWORD eventCookie_ = 0;
  MessageHandler handler_;
};

}  // namespace pagewell::service
