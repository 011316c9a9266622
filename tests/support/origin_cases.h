#pragma once
// The origin rule's cases, shared by every place that applies it: the origin
// module itself (tests/origin), the control's site lock
// (tests/control/allowed_origins_test.cpp), the service's matcher and its
// --allow-origin option (tests/service). One table, so that the places
// cannot drift apart again.
//
// Case-sensitive comparisons, default ports, closing slashes, IPv6
// spellings and wildcards over public suffixes are where they used to.
namespace pagewell::testing {

enum class Verdict {
  Allowed,       // the entry allows the page
  Denied,        // the entry is good but does not allow the page
  EntryRefused,  // the entry allows nothing, and says why
};

struct OriginCase {
  // A page's origin as browsers send it (also a page address: each of
  // these reads the same way as either), or something that is not one.
  const char* page;
  const char* entry;  // one policy entry, without white space
  Verdict verdict;
};

inline constexpr OriginCase kOriginCases[] = {
    // Exact origins, normalised: case, default port, one closing "/".
    {"https://intranet.example.com", "https://intranet.example.com", Verdict::Allowed},
    {"https://intranet.example.com", "https://intranet.example.com/", Verdict::Allowed},
    {"https://intranet.example.com", "HTTPS://Intranet.Example.COM:443/", Verdict::Allowed},
    {"HTTPS://Intranet.EXAMPLE.com", "https://intranet.example.com", Verdict::Allowed},
    {"https://intranet.example.com:443", "https://intranet.example.com", Verdict::Allowed},
    {"http://scan.example.net:80", "http://scan.example.net", Verdict::Allowed},
    {"http://scan.example.net:8080", "http://scan.example.net:8080", Verdict::Allowed},
    {"https://intranet.example.com", "https://intranet.example.com:0443", Verdict::Allowed},
    {"https://my_host.example.com", "https://my_host.example.com", Verdict::Allowed},
    {"https://xn--bcher-kva.example", "https://XN--BCHER-KVA.example", Verdict::Allowed},
    // Another host, scheme or port is another origin.
    {"https://www.intranet.example.com", "https://intranet.example.com", Verdict::Denied},
    {"https://intranet.example.com.evil.test", "https://intranet.example.com", Verdict::Denied},
    {"https://notintranet.example.com", "https://intranet.example.com", Verdict::Denied},
    {"http://intranet.example.com", "https://intranet.example.com", Verdict::Denied},
    {"http://intranet.example.com:443", "https://intranet.example.com", Verdict::Denied},
    {"https://intranet.example.com:8443", "https://intranet.example.com", Verdict::Denied},
    {"http://scan.example.net", "http://scan.example.net:8080", Verdict::Denied},
    {"http://scan.example.net:8081", "http://scan.example.net:8080", Verdict::Denied},
    // Wildcards: every subdomain at any depth, not the domain itself.
    {"https://shop.example.org", "https://*.example.org", Verdict::Allowed},
    {"https://a.b.example.org", "https://*.example.org", Verdict::Allowed},
    {"https://Shop.Example.ORG", "HTTPS://*.EXAMPLE.org/", Verdict::Allowed},
    {"https://shop.example.org:8443", "https://*.example.org:8443", Verdict::Allowed},
    {"https://shop.example.co.uk", "https://*.example.co.uk", Verdict::Allowed},
    {"https://me.someone.github.io", "https://*.someone.github.io", Verdict::Allowed},
    {"https://a.www.ck", "https://*.www.ck", Verdict::Allowed},  // an exception to the rule *.ck
    {"https://example.org", "https://*.example.org", Verdict::Denied},
    {"https://shop.example.org.evil.test", "https://*.example.org", Verdict::Denied},
    {"https://evilexample.org", "https://*.example.org", Verdict::Denied},
    {"http://shop.example.org", "https://*.example.org", Verdict::Denied},
    {"https://shop.example.org:8443", "https://*.example.org", Verdict::Denied},
    {"https://*.example.org", "https://*.example.org", Verdict::Denied},  // a page is never a pattern
    // Wildcards directly over a public suffix, ICANN's or a private one.
    {"https://anything.com", "https://*.com", Verdict::EntryRefused},
    {"https://bbc.co.uk", "https://*.co.uk", Verdict::EntryRefused},
    {"https://someone.github.io", "https://*.github.io", Verdict::EntryRefused},
    {"https://bucket.s3.amazonaws.com", "https://*.s3.amazonaws.com", Verdict::EntryRefused},
    {"https://a.shop.ck", "https://*.shop.ck", Verdict::EntryRefused},  // under the rule *.ck
    {"https://shop.xn--55qx5d.cn", "https://*.xn--55qx5d.cn", Verdict::EntryRefused},  // 公司.cn
    {"https://intranet.corp", "https://*.corp", Verdict::Allowed},  // an intranet's own top-level name
    {"http://shop.localhost", "http://*.localhost", Verdict::Allowed},
    // IPv6 literals, compared in their canonical form.
    {"http://[::1]:8080", "http://[::1]:8080", Verdict::Allowed},
    {"http://[::1]:8080", "http://[0:0:0:0:0:0:0:1]:8080/", Verdict::Allowed},
    {"http://[0::01]:8080", "http://[::1]:8080", Verdict::Allowed},
    {"http://[::FFFF:127.0.0.1]", "http://[::ffff:7f00:1]", Verdict::Allowed},
    {"https://[2001:db8::1]", "https://[2001:DB8:0:0:0:0:0:1]:443", Verdict::Allowed},
    {"http://[::1]", "http://[::2]", Verdict::Denied},
    {"http://[::1]", "http://[::1]:8080", Verdict::Denied},
    {"http://[::1]:8080", "http://[fe80::1%25eth0]:8080", Verdict::EntryRefused},
    {"http://[::1]:8080", "http://[::1:8080", Verdict::EntryRefused},
    {"http://[::1]:8080", "http://[1:2:3:4:5:6:7:8:9]:8080", Verdict::EntryRefused},
    // IPv4 addresses only in the one spelling browsers send.
    {"http://127.0.0.1:8080", "http://127.0.0.1:8080", Verdict::Allowed},
    {"http://127.0.0.1", "http://127.1", Verdict::EntryRefused},
    {"http://127.0.0.1", "http://0x7f.0.0.1", Verdict::EntryRefused},
    {"http://10.0.0.1", "http://010.0.0.1", Verdict::EntryRefused},
    {"http://10.0.0.1", "http://10.0.0.256", Verdict::EntryRefused},
    {"http://10.0.0.1", "http://*.0.0.1", Verdict::EntryRefused},
    // Entries that are not origins.
    {"https://intranet.example.com", "intranet.example.com", Verdict::EntryRefused},
    {"https://intranet.example.com", "ftp://intranet.example.com", Verdict::EntryRefused},
    {"https://intranet.example.com", "https://intranet.example.com/scan", Verdict::EntryRefused},
    {"https://intranet.example.com", "https://intranet.example.com//", Verdict::EntryRefused},
    {"https://intranet.example.com", "https://intranet.example.com/?", Verdict::EntryRefused},
    {"https://intranet.example.com", "https://user@intranet.example.com", Verdict::EntryRefused},
    {"https://intranet.example.com", "https://intranet.example.com:0", Verdict::EntryRefused},
    {"https://intranet.example.com", "https://intranet.example.com:65536", Verdict::EntryRefused},
    {"https://intranet.example.com", "https://intranet.example.com:", Verdict::EntryRefused},
    {"https://intranet.example.com", "https://intranet.example.com:44x", Verdict::EntryRefused},
    {"https://intranet.example.com", "https://intranet..example.com", Verdict::EntryRefused},
    {"https://intranet.example.com", "https://intranet.example.com.", Verdict::EntryRefused},
    {"https://xn--bcher-kva.example", "https://b\xC3\xBC" "cher.example", Verdict::EntryRefused},
    {"https://a.example.com", "https://*", Verdict::EntryRefused},
    {"https://a.example.com", "https://*.", Verdict::EntryRefused},
    {"https://a.example.com", "https://*example.com", Verdict::EntryRefused},
    {"https://a.example.com", "https://a*.example.com", Verdict::EntryRefused},
    {"https://a.b.example.com", "https://*.*.example.com", Verdict::EntryRefused},
    {"https://a.example.com", "https://a.*.example.com", Verdict::EntryRefused},
    {"https://a.example.com", "*", Verdict::EntryRefused},
    {"null", "null", Verdict::EntryRefused},
    {"", "", Verdict::EntryRefused},
    {"https://", "https://", Verdict::EntryRefused},
    {"file://", "file://", Verdict::EntryRefused},
    // Pages that are not origins browsers send.
    {"null", "https://intranet.example.com", Verdict::Denied},
    {"", "https://intranet.example.com", Verdict::Denied},
    {"https://user@intranet.example.com", "https://intranet.example.com", Verdict::Denied},
    {"https://intranet.example.com@evil.test", "https://intranet.example.com", Verdict::Denied},
    {"https://intranet.example.com:", "https://intranet.example.com", Verdict::Denied},
    {"https://intranet.example.com:99999", "https://intranet.example.com", Verdict::Denied},
    {"https://intranet.example.com.", "https://intranet.example.com", Verdict::Denied},
    {"https://intranet%2eexample.com", "https://intranet.example.com", Verdict::Denied},
    {"https://b\xC3\xBC" "cher.example", "https://xn--bcher-kva.example", Verdict::Denied},
};

// Page addresses (what the site lock learns from its container) and the
// origin each has; nullptr for none.
struct AddressCase {
  const char* address;
  const char* origin;
};

inline constexpr AddressCase kAddressCases[] = {
    {"https://intranet.example.com/scan/page.html?batch=4#top", "https://intranet.example.com"},
    {"HTTPS://Intranet.EXAMPLE.com:443/Scan", "https://intranet.example.com"},
    {"https://intranet.example.com?batch=4", "https://intranet.example.com"},
    {"https://intranet.example.com#top", "https://intranet.example.com"},
    {"http://shop.example.com:8080/", "http://shop.example.com:8080"},
    {"http://[0:0::1]:8080/scan", "http://[::1]:8080"},
    // Browsers read '\' as '/': the host here is evil.test.
    {"https://evil.test\\@intranet.example.com/", "https://evil.test"},
    // User information only ever serves to disguise the host.
    {"https://intranet.example.com@evil.test/", nullptr},
    {"https://user:pw@intranet.example.com/", nullptr},
    {"file:///C:/pages/scan.html", nullptr},
    {"about:blank", nullptr},
    {"javascript:alert(1)", nullptr},
    {"intranet.example.com", nullptr},
    {"https:///path", nullptr},
    {"https://intranet.example.com:/", nullptr},
    {"https://intranet example.com/", nullptr},
};

// Entries in their normalised form, as the service keeps and logs them.
struct EntryTextCase {
  const char* entry;
  const char* normalised;
};

inline constexpr EntryTextCase kEntryTextCases[] = {
    {"HTTPS://Intranet.Example.COM:443/", "https://intranet.example.com"},
    {"http://scan.example.net:8080", "http://scan.example.net:8080"},
    {"https://*.Example.org:443", "https://*.example.org"},
    {"https://*.example.org:8443/", "https://*.example.org:8443"},
    {"http://[0:0:0:0:0:0:0:1]:80", "http://[::1]"},
};

}  // namespace pagewell::testing
