#pragma once
// The boundary to the JPEG library (libjpeg version-6 interface).
//
// The library reports a fatal error through a callback that must not
// return, and its frames are C frames: a C++ exception thrown from that
// callback would unwind through them. So every call into the library runs
// inside a guarded step: the step arms a setjmp point, the error callback
// longjmps back to it, and EJPEG is thrown only after the library's frames
// are gone. Steps are plain functions that call the library and nothing
// else, so the jump skips no destructor. Warnings and trace messages are
// ignored; the library never prints and never calls exit.
#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

namespace pagewell::jpeg {

// The error manager handed to the library, with the jump target of the
// step that is running.
struct TErrorTrap {
  jpeg_error_mgr manager;  // first member: the library sees a jpeg_error_mgr*
  std::jmp_buf jump;
};

// The destination manager of TCompression: the compressed bytes go
// straight into a vector that grows by doubling.
struct TVectorDestination {
  jpeg_destination_mgr manager;  // first member: the library sees a jpeg_destination_mgr*
  std::vector<std::uint8_t>* output;
};

// A compression object writing into a byte vector.
class TCompression {
 public:
  explicit TCompression(std::vector<std::uint8_t>& output);
  ~TCompression();
  TCompression(const TCompression&) = delete;
  TCompression& operator=(const TCompression&) = delete;

  // The parameters; change them only between the guarded calls below.
  jpeg_compress_struct& Info() { return info_; }

  void SetDefaults();
  void SetQuality(int quality, bool forceBaseline);
  void SetColorSpace(J_COLOR_SPACE space);
  void SimpleProgression();
  void Start(bool writeAllTables);
  // Feeds `count` rows from the top down, as many calls as the library needs.
  void WriteRows(JSAMPROW* rows, JDIMENSION count);
  void Finish();

 private:
  using TStep = void (*)(jpeg_compress_struct& info, void* context);
  void Run(TStep step, void* context);

  TErrorTrap trap_;
  jpeg_compress_struct info_;
  TVectorDestination destination_;
  bool created_ = false;
};

// A decompression object reading from bytes that outlive it.
class TDecompression {
 public:
  TDecompression(const std::uint8_t* data, std::size_t size);
  ~TDecompression();
  TDecompression(const TDecompression&) = delete;
  TDecompression& operator=(const TDecompression&) = delete;

  jpeg_decompress_struct& Info() { return info_; }

  void ReadHeader();
  // Output size and components for the output parameters set in Info().
  void CalcOutputDimensions();
  void Start();
  // Reads up to `count` rows; answers how many were read.
  JDIMENSION ReadRows(JSAMPROW* rows, JDIMENSION count);
  void Finish();

  // Progressive files with more scans than this are refused: each scan
  // costs a pass over the whole coefficient buffer, so a small file with
  // thousands of scans would take minutes.
  static constexpr int kMaxScans = 1000;
  // The message code of that refusal (one past the library's own codes).
  static constexpr int kTooManyScans = JMSG_LASTMSGCODE;
  // Working memory the library may take for one image.
  static constexpr long kMaxMemory = 1024L * 1024L * 1024L;

 private:
  using TStep = void (*)(jpeg_decompress_struct& info, void* context);
  void Run(TStep step, void* context);

  TErrorTrap trap_;
  jpeg_decompress_struct info_;
  jpeg_source_mgr source_;
  jpeg_progress_mgr progress_;
  bool created_ = false;
};

}  // namespace pagewell::jpeg
