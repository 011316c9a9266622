#include "formats/wbmp/wbmp_image.h"

#include "imaging/errors.h"

namespace pagewell {
namespace {

constexpr std::uint8_t kWhiteAbove = 126;

bool IsWhite(const std::uint8_t* bgr) { return bgr[0] > kWhiteAbove && bgr[1] > kWhiteAbove && bgr[2] > kWhiteAbove; }

}  // namespace

void AppendWBMPInteger(std::vector<std::uint8_t>& out, std::uint32_t value) {
  std::uint8_t groups[5];
  int count = 0;
  do {
    groups[count++] = static_cast<std::uint8_t>(value & 0x7F);
    value >>= 7;
  } while (value != 0);
  while (count > 1) out.push_back(static_cast<std::uint8_t>(groups[--count] | 0x80));
  out.push_back(groups[0]);
}

void TWBMPImage::SaveToStream(TMemoryStream& stream) const {
  if (Bitmap.Empty()) throw EInvalidGraphic("Cannot save an empty WBMP image");
  const int width = Bitmap.Width();
  const std::size_t rowBytes = (static_cast<std::size_t>(width) + 7) / 8;
  std::vector<std::uint8_t> file = {0, 0};  // type 0, fixed header 0
  AppendWBMPInteger(file, static_cast<std::uint32_t>(width));
  AppendWBMPInteger(file, static_cast<std::uint32_t>(Bitmap.Height()));
  std::size_t offset = file.size();
  file.resize(offset + rowBytes * static_cast<std::size_t>(Bitmap.Height()), 0);
  std::vector<std::uint8_t> bgr(static_cast<std::size_t>(width) * 3);
  for (int y = 0; y < Bitmap.Height(); ++y, offset += rowBytes) {
    Bitmap.DecodeRowBGR(y, bgr.data());
    for (int x = 0; x < width; ++x) {
      if (IsWhite(&bgr[3 * static_cast<std::size_t>(x)])) file[offset + (x >> 3)] |= static_cast<std::uint8_t>(0x80 >> (x & 7));
    }
  }
  stream.Write(file.data(), file.size());
  stream.Seek(0);
}

}  // namespace pagewell
