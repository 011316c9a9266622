#include "upload/windows/registry_content_type.h"

#include <windows.h>
#include <aclapi.h>

#include <gtest/gtest.h>

#include "upload/content_type.h"

namespace pagewell {
namespace {

// Registers a content type for a test extension and removes it afterwards.
class RegisteredExtension {
 public:
  RegisteredExtension(const char* extension, const char* type) : extension_(extension) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, extension, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    if (type) RegSetValueExA(key, "Content Type", 0, REG_SZ, reinterpret_cast<const BYTE*>(type), lstrlenA(type) + 1);
    key_ = key;
  }
  ~RegisteredExtension() {
    RegCloseKey(key_);
    RegDeleteKeyA(HKEY_CLASSES_ROOT, extension_);
  }
  HKEY key() const { return key_; }

 private:
  const char* extension_;
  HKEY key_ = nullptr;
};

TEST(RegistryContentType, ReadsTheRegisteredTypeOrNothing) {
  RegisteredExtension typed(".pwtest", "image/x-pagewell-test");
  RegisteredExtension empty(".pwempty", "");
  RegisteredExtension untyped(".pwnone", nullptr);
  EXPECT_EQ(RegistryContentType(".pwtest"), "image/x-pagewell-test");
  EXPECT_EQ(RegistryContentType(".pwempty"), "");
  EXPECT_EQ(RegistryContentType(".pwnone"), "");
  EXPECT_EQ(RegistryContentType(".pw-never-registered"), "");
  EXPECT_EQ(ContentTypeForExtension("pwtest", RegistryContentType), "image/x-pagewell-test");
  EXPECT_EQ(ContentTypeForExtension(".pwempty", RegistryContentType), "application/octet-stream");
  EXPECT_EQ(ContentTypeForExtension(".pwnone", RegistryContentType), "application/octet-stream");
}

TEST(RegistryContentType, ValueWithoutTerminatingZeroIsReadWhole) {
  RegisteredExtension raw(".pwraw", nullptr);
  const char bytes[] = {'t', 'e', 'x', 't', '/', 'x'};
  RegSetValueExA(raw.key(), "Content Type", 0, REG_SZ, reinterpret_cast<const BYTE*>(bytes), sizeof bytes);
  EXPECT_EQ(RegistryContentType(".pwraw"), "text/x");
}

// A key that only grants reading, as the registered types are to a
// standard user: the type is still found.
TEST(RegistryContentType, FoundInAKeyThatGrantsOnlyReading) {
  RegisteredExtension readOnly(".pwreadonly", "image/x-read-only");
  SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
  PSID everyone = nullptr;
  ASSERT_TRUE(AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone));
  EXPLICIT_ACCESSA access{};
  access.grfAccessPermissions = KEY_READ;
  access.grfAccessMode = SET_ACCESS;
  access.grfInheritance = NO_INHERITANCE;
  access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
  access.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
  access.Trustee.ptstrName = static_cast<LPSTR>(everyone);
  PACL acl = nullptr;
  ASSERT_EQ(SetEntriesInAclA(1, &access, nullptr, &acl), ERROR_SUCCESS);
  EXPECT_EQ(SetSecurityInfo(readOnly.key(), SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                            nullptr, nullptr, acl, nullptr),
            ERROR_SUCCESS);
  HKEY full = nullptr;
  const LONG fullAccess = RegOpenKeyExA(HKEY_CLASSES_ROOT, ".pwreadonly", 0, KEY_ALL_ACCESS, &full);
  if (full) RegCloseKey(full);
  EXPECT_EQ(RegistryContentType(".pwreadonly"), "image/x-read-only");
  // Full access back through the handle opened before, so the key can go.
  access.grfAccessPermissions = KEY_ALL_ACCESS;
  PACL open = nullptr;
  SetEntriesInAclA(1, &access, nullptr, &open);
  SetSecurityInfo(readOnly.key(), SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, open, nullptr);
  LocalFree(open);
  LocalFree(acl);
  FreeSid(everyone);
  if (fullAccess == ERROR_SUCCESS) GTEST_SKIP() << "this platform grants full access regardless of the key's DACL";
  EXPECT_EQ(fullAccess, ERROR_ACCESS_DENIED) << "opening for full access is refused here, reading is not";
}

}  // namespace
}  // namespace pagewell
