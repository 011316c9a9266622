// Posts one file RUNS times with the upload procedure and WinInet, as the
// control does, and prints the best time, the body's size and the memory
// the first upload took at its peak:
//
//   bench_upload_throughput URL FILE RUNS
//   -> "seconds 0.412 body 52428912 peak_bytes 105132032 status 200"
//
// peak_bytes is the process's peak working set during the first upload less
// its working set before the file was read: the file, the body and whatever
// else the upload touched. Wine's PeakPagefileUsage is no peak (it reports
// the memory in use at the moment it is asked), so the kernel's high-water
// mark of the working set is used instead. The first upload alone, because
// Wine's heap keeps a megabyte or two more after some uploads than after
// others, which later peaks would count as the upload's.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <cstdio>
#include <fstream>

#include "formats/format_code.h"
#include "upload/multipart_body.h"
#include "upload/upload_transfer.h"
#include "upload/windows/crack_url.h"
#include "upload/windows/progress_display.h"
#include "upload/windows/wininet_client.h"

namespace {

using namespace pagewell;

// The form's side as the control has it: a shown window with the progress
// bar and its label, set after every piece, and messages served after
// every piece.
class FormLikeUi final : public UploadUi {
 public:
  FormLikeUi()
      : form_(CreateWindowW(L"STATIC", L"Pagewell", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 480, nullptr,
                            nullptr, nullptr, nullptr)),
        bar_(CreateWindowW(PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 16, 96, 257, 17, form_, nullptr, nullptr,
                           nullptr)),
        label_(CreateWindowW(L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 16, 76, 51, 13, form_,
                             nullptr, nullptr, nullptr)),
        display_(bar_, label_) {
    SendMessageW(label_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    processMessages();
  }
  ~FormLikeUi() { DestroyWindow(form_); }
  void showProgress(int percent, const std::wstring& label) override { display_.show(percent, label); }
  void processMessages() override {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  bool abortRequested() override { return false; }
  std::optional<UploadCredentials> askCredentials(const std::string&) override { return std::nullopt; }

 private:
  HWND form_, bar_, label_;
  UploadProgressDisplay display_;
};

PROCESS_MEMORY_COUNTERS memoryCounters() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters;
}

double now() {
  LARGE_INTEGER count, frequency;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: bench_upload_throughput URL FILE RUNS\n");
    return 2;
  }
  UrlParts parts;
  if (!CrackURL(argv[1], parts)) return 2;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  FormLikeUi ui;
  // Wine, its DLLs and the window, before any upload data.
  const std::size_t startBytes = memoryCounters().WorkingSetSize;
  // Read at its exact size, so that loading it costs no more than the file.
  std::ifstream input(argv[2], std::ios::binary | std::ios::ate);
  if (!input) return 2;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(input.tellg()));
  input.seekg(0);
  input.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  TMemoryStream file(std::move(bytes));
  UploadRequestSettings settings;
  settings.fileName = "bench.tif";
  settings.format = fcTIFF;
  settings.timeoutSeconds = 60;
  const std::vector<std::string> vars{"source=benchmark"};

  double best = 1e30;
  std::size_t peakBytes = 0;
  int status = 0;
  for (int run = 0; run < std::atoi(argv[3]); ++run) {
    UploadMemory memory;
    WinInetClient client;
    const double start = now();
    TransferUpload(client, ui, memory, parts, settings, file, vars);
    best = std::min(best, now() - start);
    status = memory.status;
    if (run == 0) peakBytes = memoryCounters().PeakWorkingSetSize - startBytes;
  }
  TMemoryStream body;
  std::string header;
  BuildMultipartBody(body, file, header, vars, settings.fileName, settings.fieldName, settings.format, nullptr);
  std::printf("seconds %.4f body %zu peak_bytes %zu status %d\n", best, body.Size(), peakBytes, status);
  return status == 200 ? 0 : 1;
}
