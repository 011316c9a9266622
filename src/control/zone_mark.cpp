#include "zone_mark.h"

#include "text/wide_text.h"
#include "zone_identifier.h"

namespace pagewell {

DWORD MarkFromTheWeb(const std::wstring& path, const std::optional<std::wstring>& pageAddress) {
  const std::string text = ZoneIdentifierText(pageAddress ? utf8FromWide(*pageAddress) : std::string());
  // CREATE_ALWAYS: a file saved again over an older one gets this page's
  // mark, not the one its predecessor carried.
  const HANDLE stream = CreateFileW((path + kZoneIdentifierStream).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (stream == INVALID_HANDLE_VALUE) return GetLastError();
  DWORD written = 0, error = ERROR_SUCCESS;
  if (!WriteFile(stream, text.data(), static_cast<DWORD>(text.size()), &written, nullptr))
    error = GetLastError();
  else if (written != text.size())
    error = ERROR_WRITE_FAULT;
  CloseHandle(stream);
  return error;
}

}  // namespace pagewell
