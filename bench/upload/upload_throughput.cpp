// Posts one file RUNS times with the upload procedure and WinInet, as the
// control does, and prints the best time, the body's size and the process's
// peak memory:
//
//   bench_upload_throughput URL FILE RUNS
//   -> "seconds 0.412 body 52428912 peak_bytes 112345088 status 200"
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <fstream>

#include "formats/format_code.h"
#include "upload/multipart_body.h"
#include "upload/upload_transfer.h"
#include "upload/windows/crack_url.h"
#include "upload/windows/wininet_client.h"

namespace {

using namespace pagewell;

// The form's side as the control has it, without a window: messages are
// served after every piece.
class PumpingUi final : public UploadUi {
 public:
  void showProgress(int, const std::wstring&) override {}
  void processMessages() override {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }
  bool abortRequested() override { return false; }
  std::optional<UploadCredentials> askCredentials(const std::string&) override { return std::nullopt; }
};

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
  // Read at its exact size, so that loading it costs no more than the file.
  std::ifstream input(argv[2], std::ios::binary | std::ios::ate);
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
  int status = 0;
  for (int run = 0; run < std::atoi(argv[3]); ++run) {
    PumpingUi ui;
    UploadMemory memory;
    WinInetClient client;
    const double start = now();
    TransferUpload(client, ui, memory, parts, settings, file, vars);
    best = std::min(best, now() - start);
    status = memory.status;
  }
  TMemoryStream body;
  std::string header;
  BuildMultipartBody(body, file, header, vars, settings.fileName, settings.fieldName, settings.format, nullptr);
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  std::printf("seconds %.4f body %zu peak_bytes %zu status %d\n", best, body.Size(),
              static_cast<std::size_t>(counters.PeakPagefileUsage), status);
  return status == 200 ? 0 : 1;
}
