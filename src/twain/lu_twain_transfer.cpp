// Native image transfer: fetching each image the enabled source has ready,
// turning its DIB into a TBMPImage, ending each transfer, reading the MICR
// text of cheque scanners, and ending the acquisition.
#include <cstring>
#include <new>

#include "formats/dib/packed_dib.h"
#include "twain/lu_twain.h"
#include "twain/twain_values.h"
#include "twain/vendor_palette_rule.h"

namespace pagewell {

using namespace twain;

namespace {

// A source that keeps reporting pending images while every transfer fails
// would hold the loop forever; after this many failures in a row the batch
// is taken as over.
constexpr int kMaxConsecutiveFailures = 16;

}  // namespace

void TluTwain::TransferImages() {
  if (!sourceEnabled_) return;
  try {
    TransferPendingImages();
  } catch (const std::bad_alloc&) {
    AbandonBatch();
  }
}

// Memory ran out while an image was taken in, or its owner could not keep
// it (EndBatchAfterThisImage): the batch ends as a
// cancelled one would. The images already announced stay with their
// owners; the source is brought back to its closed-interface state so that
// the next acquisition starts cleanly.
void TluTwain::AbandonBatch() {
  TW_PENDINGXFERS pending{};
  CallSource(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending);
  ResetPendingTransfers();
  DisableSource();
  MarkSourceDisabled();
  Raise(OnFinish);
  Raise(OnCancel);
}

void TluTwain::TransferPendingImages() {
  TW_PENDINGXFERS pending{};
  if (!multiImage_) {
    TransferOneImage();
    if (batchEndRequested_) {
      AbandonBatch();
      return;
    }
    EndTransferAndReadMicr(pending);
    ResetPendingTransfers();
    DisableSource();
    Raise(OnFinish);
    MarkSourceDisabled();
    return;
  }

  int consecutiveFailures = 0;
  do {
    const bool converted = TransferOneImage();
    if (batchEndRequested_) {
      AbandonBatch();
      return;
    }
    consecutiveFailures = converted ? 0 : consecutiveFailures + 1;
    EndTransferAndReadMicr(pending);
  } while (pending.Count != 0 && (maxImages_ < 1 || transferredCount_ < maxImages_) &&
           consecutiveFailures < kMaxConsecutiveFailures);

  if (keepSourceEnabled_ && showUI_) {
    // The source's own interface stays open for further batches. A batch cut
    // short by MaxImages still has images pending: discard them, so the
    // source is back in its enabled state and can announce the next batch.
    if (pending.Count != 0) ResetPendingTransfers();
    return;
  }
  ResetPendingTransfers();
  DisableSource();
  Raise(OnFinish);
  MarkSourceDisabled();
}

// One native transfer; true when the image converted and was announced.
bool TluTwain::TransferOneImage() {
  TW_HANDLE dib = nullptr;
  const TW_UINT16 rc = CallSource(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &dib);
  if (rc != TWRC_XFERDONE) {
    if (dib) memory_.Free(dib);
    return false;
  }
  if (!ConvertDib(dib)) return false;
  if (multiImage_) ++transferredCount_;
  Raise(OnImage);
  return true;
}

// Converts the DIB into a new image of the list, then unlocks and frees
// the handle whatever happened.
bool TluTwain::ConvertDib(TW_HANDLE dib) {
  // The native transfer's DIB is global memory unless the manager gave us
  // its own memory functions.
  const TTwainMemory& memory = memory_;
  TOwnedHandle owned(memory, dib);
  THandleLock lock(memory, dib);
  if (!lock.Data()) return false;
  // With the manager's functions the block's size is unknown; a DIB handle
  // is global memory on Windows in any case, so ask Windows when it can say.
  std::size_t size = memory.KnownSize(dib);
  if (size == 0) size = GlobalSize(dib);
  if (size == 0) return false;

  if (!appendMode_) images_.clear();
  TDibConversionOptions options;
  options.WhiteFirstTableMeansBlack = ReadsWhiteFirstTableAsBlack(Str32ToString(sourceIdentity_.ProductName));
  TBMPImage image;
  // Only a DIB without a resolution needs the source's current resolution.
  const auto* header = static_cast<const std::uint8_t*>(lock.Data());
  std::int32_t xPels = 0, yPels = 0;
  if (size >= 32) {
    std::memcpy(&xPels, header + 24, 4);
    std::memcpy(&yPels, header + 28, 4);
  }
  if (xPels == 0 || yPels == 0) {
    ReadResolutionIfNeeded();
    options.FallbackXDpi = resolutionInfo_.X.Current;
    options.FallbackYDpi = resolutionInfo_.Y.Current;
  }
  if (!ConvertPackedDib(header, size, options, image)) return false;
  images_.push_back(std::make_unique<TBMPImage>(std::move(image)));
  return true;
}

void TluTwain::EndTransferAndReadMicr(TW_PENDINGXFERS& pending) {
  pending = TW_PENDINGXFERS{};
  const TW_UINT16 rc = CallSource(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending);
  if (rc != TWRC_SUCCESS) pending.Count = 0;
  FreeMicr();
  if (rc == TWRC_SUCCESS && micrEnabled_ && MICRCapable()) ReadMicr();
}

void TluTwain::ResetPendingTransfers() {
  TW_PENDINGXFERS pending{};
  CallSource(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending);
}

void TluTwain::FreeMicr() {
  if (micrHandle_) GlobalFree(micrHandle_);
  micrHandle_ = nullptr;
  micrText_.clear();
}

void TluTwain::ReadMicr() {
  if (!ReadBool(ICAP_EXTIMAGEINFO)) return;
  TW_EXTIMAGEINFO info{};
  info.NumInfos = 1;
  info.Info[0].InfoID = TWEI_MAGDATA;
  if (CallSource(DG_IMAGE, DAT_EXTIMAGEINFO, MSG_GET, &info) != TWRC_SUCCESS) return;
  if (info.Info[0].ReturnCode != TWRC_SUCCESS) return;
  TOwnedHandle item(memory_, reinterpret_cast<TW_HANDLE>(info.Info[0].Item));
  FreeMicr();
  if (info.Info[0].ItemType != TWTY_STR32) return;
  HGLOBAL block = GlobalAlloc(GHND, sizeof(TW_STR32));
  if (!block) return;
  THandleLock source(memory_, item.Get());
  void* target = GlobalLock(block);
  // The item must hold a whole TW_STR32; a shorter block is not read.
  const std::size_t itemSize = memory_.KnownSize(item.Get());
  if (source.Data() && target && (itemSize == 0 || itemSize >= sizeof(TW_STR32))) {
    std::memcpy(target, source.Data(), sizeof(TW_STR32));
    micrText_ = Str32ToString(*static_cast<const TW_STR32*>(target));
  }
  if (target) GlobalUnlock(block);
  micrHandle_ = block;
}

const TBMPImage* TluTwain::CurrentImage() const {
  if (images_.empty()) return nullptr;
  if (imageIndex_ >= 1 && imageIndex_ <= ImageCount()) return images_[imageIndex_ - 1].get();
  return images_.back().get();
}

void TluTwain::SetImageIndex(int index) {
  if (index < 1)
    imageIndex_ = 1;
  else if (index < ImageCount())
    imageIndex_ = index;
  else
    imageIndex_ = images_.empty() ? 1 : ImageCount();
}

}  // namespace pagewell
