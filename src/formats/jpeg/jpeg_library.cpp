#include "formats/jpeg/jpeg_library.h"

#include <algorithm>
#include <cstring>

#include "formats/jpeg/jpeg_errors.h"

namespace pagewell::jpeg {
namespace {

// --- errors ----------------------------------------------------------------

void JumpToGuard(j_common_ptr info) {
  std::longjmp(reinterpret_cast<TErrorTrap*>(info->err)->jump, 1);
}

void IgnoreMessage(j_common_ptr) {}
void IgnoreWarning(j_common_ptr, int) {}

jpeg_error_mgr* ArmTrap(TErrorTrap& trap) {
  jpeg_std_error(&trap.manager);
  trap.manager.error_exit = JumpToGuard;
  trap.manager.output_message = IgnoreMessage;
  trap.manager.emit_message = IgnoreWarning;
  return &trap.manager;
}

void Fail(j_common_ptr info, int code) {
  info->err->msg_code = code;
  info->err->error_exit(info);
}

// Runs one step with the jump target armed. Nothing here or in the step
// has a destructor, so the jump back from the library skips none. Answers
// false when the library gave up; its message code is in the trap.
template <class Info>
bool RunGuarded(TErrorTrap& trap, Info& info, void (*step)(Info&, void*), void* context) {
  if (setjmp(trap.jump) != 0) return false;
  step(info, context);
  return true;
}

// --- the vector destination --------------------------------------------------

constexpr std::size_t kMinimumOutputBlock = 64 * 1024;

// Makes room after the first `used` bytes; answers false when memory ran out.
bool GrowOutput(TVectorDestination& destination, std::size_t used, std::size_t firstBlock) {
  auto& output = *destination.output;
  try {
    output.resize(std::max(firstBlock, output.size() * 2));
  } catch (...) {
    return false;
  }
  destination.manager.next_output_byte = output.data() + used;
  destination.manager.free_in_buffer = output.size() - used;
  return true;
}

TVectorDestination& DestinationOf(j_compress_ptr info) {
  return *reinterpret_cast<TVectorDestination*>(info->dest);
}

// Scanned pages at quality 90 take about 3 bits per pixel and component
// count; starting there saves most of the growing.
void InitDestination(j_compress_ptr info) {
  auto& destination = DestinationOf(info);
  destination.output->clear();
  const std::size_t estimate = static_cast<std::size_t>(info->image_width) * info->image_height *
                               static_cast<std::size_t>(info->input_components) / 8;
  if (!GrowOutput(destination, 0, std::max(kMinimumOutputBlock, estimate))) {
    Fail(reinterpret_cast<j_common_ptr>(info), JERR_OUT_OF_MEMORY);
  }
}

// Called when the whole buffer is full.
boolean EmptyOutputBuffer(j_compress_ptr info) {
  auto& destination = DestinationOf(info);
  if (!GrowOutput(destination, destination.output->size(), kMinimumOutputBlock)) {
    Fail(reinterpret_cast<j_common_ptr>(info), JERR_OUT_OF_MEMORY);
  }
  return TRUE;
}

void TermDestination(j_compress_ptr info) {
  auto& destination = DestinationOf(info);
  destination.output->resize(destination.output->size() - destination.manager.free_in_buffer);
}

// --- the memory source -------------------------------------------------------

// At the end of the data the library gets an end-of-image marker, so a
// truncated file ends its scan with gray instead of waiting for more.
boolean FillInputBuffer(j_decompress_ptr info) {
  static const JOCTET kEndOfImage[2] = {0xFF, JPEG_EOI};
  info->src->next_input_byte = kEndOfImage;
  info->src->bytes_in_buffer = 2;
  return TRUE;
}

void SkipInputData(j_decompress_ptr info, long count) {
  if (count <= 0) return;
  auto* source = info->src;
  if (static_cast<unsigned long>(count) >= source->bytes_in_buffer) {
    FillInputBuffer(info);
  } else {
    source->next_input_byte += count;
    source->bytes_in_buffer -= static_cast<std::size_t>(count);
  }
}

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

void LimitScans(j_common_ptr info) {
  if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > TDecompression::kMaxScans) {
    Fail(info, TDecompression::kTooManyScans);
  }
}

}  // namespace

// --- compression ---------------------------------------------------------------

TCompression::TCompression(std::vector<std::uint8_t>& output) {
  std::memset(&info_, 0, sizeof info_);
  info_.err = ArmTrap(trap_);
  Run([](jpeg_compress_struct& info, void*) { jpeg_create_compress(&info); }, nullptr);
  created_ = true;
  destination_.output = &output;
  destination_.manager.init_destination = InitDestination;
  destination_.manager.empty_output_buffer = EmptyOutputBuffer;
  destination_.manager.term_destination = TermDestination;
  info_.dest = &destination_.manager;
}

TCompression::~TCompression() {
  if (created_) jpeg_destroy_compress(&info_);
}

void TCompression::Run(TStep step, void* context) {
  if (!RunGuarded(trap_, info_, step, context)) {
    const int code = trap_.manager.msg_code;
    // A failed create may leave the memory manager behind.
    if (!created_) jpeg_destroy_compress(&info_);
    throw EJPEG(code);
  }
}

void TCompression::SetDefaults() {
  Run([](jpeg_compress_struct& info, void*) { jpeg_set_defaults(&info); }, nullptr);
}

void TCompression::SetQuality(int quality, bool forceBaseline) {
  struct TArgs { int quality; boolean baseline; } args{quality, static_cast<boolean>(forceBaseline ? TRUE : FALSE)};
  Run([](jpeg_compress_struct& info, void* a) {
        auto* args = static_cast<TArgs*>(a);
        jpeg_set_quality(&info, args->quality, args->baseline);
      },
      &args);
}

void TCompression::SetColorSpace(J_COLOR_SPACE space) {
  Run([](jpeg_compress_struct& info, void* a) { jpeg_set_colorspace(&info, *static_cast<J_COLOR_SPACE*>(a)); },
      &space);
}

void TCompression::SimpleProgression() {
  Run([](jpeg_compress_struct& info, void*) { jpeg_simple_progression(&info); }, nullptr);
}

void TCompression::Start(bool writeAllTables) {
  boolean all = writeAllTables ? TRUE : FALSE;
  Run([](jpeg_compress_struct& info, void* a) { jpeg_start_compress(&info, *static_cast<boolean*>(a)); }, &all);
}

void TCompression::WriteRows(JSAMPROW* rows, JDIMENSION count) {
  struct TArgs { JSAMPROW* rows; JDIMENSION count; } args{rows, count};
  Run([](jpeg_compress_struct& info, void* a) {
        auto* args = static_cast<TArgs*>(a);
        JDIMENSION done = 0;
        while (done < args->count) {
          const JDIMENSION written = jpeg_write_scanlines(&info, args->rows + done, args->count - done);
          if (written == 0) break;  // only a suspending destination does this; ours never suspends
          done += written;
        }
      },
      &args);
}

void TCompression::Finish() {
  Run([](jpeg_compress_struct& info, void*) { jpeg_finish_compress(&info); }, nullptr);
}

// --- decompression -------------------------------------------------------------

TDecompression::TDecompression(const std::uint8_t* data, std::size_t size) {
  std::memset(&info_, 0, sizeof info_);
  info_.err = ArmTrap(trap_);
  Run([](jpeg_decompress_struct& info, void*) { jpeg_create_decompress(&info); }, nullptr);
  created_ = true;
  info_.mem->max_memory_to_use = kMaxMemory;
  source_.next_input_byte = data;
  source_.bytes_in_buffer = size;
  source_.init_source = InitSource;
  source_.fill_input_buffer = FillInputBuffer;
  source_.skip_input_data = SkipInputData;
  source_.resync_to_restart = jpeg_resync_to_restart;
  source_.term_source = TermSource;
  info_.src = &source_;
  std::memset(&progress_, 0, sizeof progress_);
  progress_.progress_monitor = LimitScans;
  info_.progress = &progress_;
}

TDecompression::~TDecompression() {
  if (created_) jpeg_destroy_decompress(&info_);
}

void TDecompression::Run(TStep step, void* context) {
  if (!RunGuarded(trap_, info_, step, context)) {
    const int code = trap_.manager.msg_code;
    if (!created_) jpeg_destroy_decompress(&info_);
    throw EJPEG(code);
  }
}

void TDecompression::ReadHeader() {
  Run([](jpeg_decompress_struct& info, void*) { jpeg_read_header(&info, TRUE); }, nullptr);
}

void TDecompression::CalcOutputDimensions() {
  Run([](jpeg_decompress_struct& info, void*) { jpeg_calc_output_dimensions(&info); }, nullptr);
}

void TDecompression::Start() {
  Run([](jpeg_decompress_struct& info, void*) { jpeg_start_decompress(&info); }, nullptr);
}

JDIMENSION TDecompression::ReadRows(JSAMPROW* rows, JDIMENSION count) {
  struct TArgs { JSAMPROW* rows; JDIMENSION count; JDIMENSION read; } args{rows, count, 0};
  Run([](jpeg_decompress_struct& info, void* a) {
        auto* args = static_cast<TArgs*>(a);
        args->read = jpeg_read_scanlines(&info, args->rows, args->count);
      },
      &args);
  return args.read;
}

void TDecompression::Finish() {
  Run([](jpeg_decompress_struct& info, void*) { jpeg_finish_decompress(&info); }, nullptr);
}

}  // namespace pagewell::jpeg
