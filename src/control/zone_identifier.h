#pragma once
// The mark of the web for a file written for a page (portable, no Windows).
//
// Windows keeps where a file came from in its "Zone.Identifier" stream, an
// INI text that the shell, Office and SmartScreen read before they open
// the file: zone 3 is the Internet, and HostUrl names where it came from.
// Every file the control writes for a page is marked so, whatever the
// page's own zone, since the page chose its content and its name.
#include <string>
#include <string_view>

namespace pagewell {

// The name of the stream that holds the mark, appended to a file's path.
inline constexpr wchar_t kZoneIdentifierStream[] = L":Zone.Identifier";

// "[ZoneTransfer]\r\nZoneId=3\r\nHostUrl=<pageAddress>\r\n". Without a page
// address (none known, or one that would break the INI text's lines) the
// HostUrl line is left out: the file still counts as from the Internet,
// and no address is made up for it.
std::string ZoneIdentifierText(std::string_view pageAddress);

}  // namespace pagewell
