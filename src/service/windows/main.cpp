// pagewell-service [--port N] [--control PATH] [--allow-origin ORIGIN]...
//                  [--no-prompt] [--idle-seconds N] [--minimized]
//
// Serves the Pagewell control to pages in current browsers: a per-user
// program (not a Windows service, so that the user's own TWAIN sources stay
// visible), one per session, that shows the control's form in its window
// and speaks JSON over a WebSocket at ws://127.0.0.1:PORT/control to the
// pages the user or the administrator allowed. --minimized (the installer's
// logon entry) starts the window minimised, without taking the focus, until
// the first page's session brings it forward. Exit code 0 when its window
// is closed, 1 when another instance runs, 2 when it cannot start.
#include <winsock2.h>
#include <windows.h>
#include <ole2.h>
#include <shellapi.h>

#include <atomic>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "allowed_origins.h"
#include "consent_asker.h"
#include "control_bridge.h"
#include "control_sessions.h"
#include "control_window.h"
#include "core/service_options.h"
#include "event_forwarder.h"
#include "loopback_server.h"
#include "request_runner.h"
#include "same_user_peers.h"
#include "service_extras.h"
#include "wide_text.h"

using namespace pagewell::service;

namespace {

void report(const std::string& line) {
  std::string text = "pagewell-service: " + line + "\n";
  DWORD written = 0;
  HANDLE out = GetStdHandle(STD_ERROR_HANDLE);
  if (out && out != INVALID_HANDLE_VALUE) WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

std::vector<std::string> commandLineArguments() {
  int count = 0;
  wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(narrow(words[i]));
  LocalFree(words);
  return arguments;
}

std::wstring controlBesideProgram() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring text = path;
  return text.substr(0, text.find_last_of(L"\\/") + 1) + L"Pagewell.dll";
}

// The message the service's own loop is dispatching: a message handled
// while it is something else came through a loop inside it (a dialog the
// user opened in the control's form).
MSG g_dispatching{};

void pumpMessages() {
  while (GetMessageW(&g_dispatching, nullptr, 0, 0) > 0) {
    TranslateMessage(&g_dispatching);
    DispatchMessageW(&g_dispatching);
  }
  g_dispatching = {};
}

bool dispatchedByServiceLoop(UINT message, WPARAM wParam, LPARAM lParam) {
  return g_dispatching.message == message && g_dispatching.wParam == wParam && g_dispatching.lParam == lParam;
}

// The port of this Windows session's service, unless --port names one.
unsigned listeningPort(const ServiceOptions& options) {
  if (options.port != 0) return options.port;
  DWORD session = 0;
  ProcessIdToSessionId(GetCurrentProcessId(), &session);
  return sessionPort(session);
}

int serve(const ServiceOptions& options) {
  std::wstring error;
  std::wstring dll = options.controlPath.empty() ? controlBesideProgram() : widen(options.controlPath);
  std::unique_ptr<ControlWindow> control =
      ControlWindow::open(dll, options.minimized ? ControlWindow::Start::Minimized : ControlWindow::Start::Shown, error);
  if (!control) {
    report(narrow(error));
    return 2;
  }
  IID eventInterface{};
  TypeLibraryMembers members = TypeLibraryMembers::read(control->dispatchType().get(), control->eventType(eventInterface).get());
  if (members.empty()) {
    report("cannot read the control's type library");
    return 2;
  }
  ControlBridge bridge(control->automation(), std::move(members));
  ServiceExtras extras(control->object());
  ControlSessions sessions(control->window(), ControlWindow::kOwnerMessage);
  SameUserPeers peers;
  const unsigned port = listeningPort(options);
  // The server answers connections the asker decided about; the asker is
  // made first and goes last, so its thread never reaches a server gone.
  std::atomic<LoopbackServer*> answerTo{nullptr};
  ConsentAsker asker([&answerTo](ConnectionId connection, bool admitted) {
    if (LoopbackServer* server = answerTo.load()) server->consentAnswered(connection, admitted);
  });
  AllowedOrigins origins(options.allowedOrigins, options.prompt, asker, report);
  LoopbackServer server(port, options.idleSeconds, origins, sessions, peers);
  answerTo = &server;
  std::string listenError;
  if (!server.listen(listenError)) {
    report("port " + std::to_string(port) + ": " + listenError);
    return 2;
  }
  RequestRunner runner(*control, bridge, extras, server);
  EventForwarder events(eventInterface, bridge.members(),
                        [&runner](const std::string& name, Json::Array args) { runner.forwardEvent(name, std::move(args)); });
  control->connectEvents(&events);
  // A window started minimised comes forward once, for the first page that
  // uses it; after that, minimising it is the user's choice.
  bool forwardAtFirstSession = options.minimized;
  control->onOwnerMessage([&runner, window = control.get(), &forwardAtFirstSession](UINT message, WPARAM wParam,
                                                                                   LPARAM lParam) {
    bool atTopLevel = dispatchedByServiceLoop(message, wParam, lParam);
    if (message == WM_TIMER) return runner.retry(atTopLevel);
    std::unique_ptr<ControlTask> task = ControlSessions::takeTask(lParam);
    if (forwardAtFirstSession && task->kind == ControlTask::Kind::SessionStarted) {
      forwardAtFirstSession = false;
      window->bringForward();
    }
    runner.take(std::move(task), atTopLevel);
  });

  server.start();
  report("listening on 127.0.0.1:" + std::to_string(port) + " and [::1]:" + std::to_string(port));
  pumpMessages();
  server.stop();
  answerTo = nullptr;
  control.reset();
  return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  ParsedOptions parsed = parseServiceOptions(commandLineArguments());
  if (!parsed.options) {
    report(parsed.error);
    return 2;
  }
  // One service per user session: a second start finds the first's mutex.
  HANDLE instance = CreateMutexW(nullptr, TRUE, L"Local\\PagewellService");
  if (!instance || GetLastError() == ERROR_ALREADY_EXISTS) {
    report("already running in this session");
    return 1;
  }
  WSADATA winsock;
  if (WSAStartup(MAKEWORD(2, 2), &winsock) != 0 || FAILED(OleInitialize(nullptr))) return 2;
  int code = serve(*parsed.options);
  OleUninitialize();
  WSACleanup();
  CloseHandle(instance);
  return code;
}
