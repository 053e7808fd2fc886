#include "app/user_rights.h"

#include <windows.h>

namespace {

constexpr DWORD kAccessRead = 1;
constexpr DWORD kAccessWrite = 2;
constexpr DWORD kAccessAll = kAccessRead | kAccessWrite;

// Opens the token to test: the impersonation token of this thread, or the process token when
// the thread has none.
HANDLE OpenTokenToTest() {
  HANDLE token = nullptr;
  if (OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, FALSE, &token)) return token;
  if (GetLastError() != ERROR_NO_TOKEN) return nullptr;
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return token;
  return nullptr;
}

// Access check of the token against a descriptor whose only ACE grants the Administrators
// alias. Returns the access status, 0 on any failure.
int CheckAdministratorsAccess(HANDLE token) {
  SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
  PSID administrators = nullptr;
  if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &administrators)) {
    return 0;
  }
  int isAdmin = 0;
  PSECURITY_DESCRIPTOR descriptor =
      static_cast<PSECURITY_DESCRIPTOR>(LocalAlloc(LPTR, SECURITY_DESCRIPTOR_MIN_LENGTH));
  const DWORD aclSize = sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) +
                        GetLengthSid(administrators);
  PACL acl = static_cast<PACL>(LocalAlloc(LPTR, aclSize));
  if (descriptor && acl && InitializeSecurityDescriptor(descriptor, SECURITY_DESCRIPTOR_REVISION) &&
      InitializeAcl(acl, aclSize, ACL_REVISION2) &&
      AddAccessAllowedAce(acl, ACL_REVISION2, kAccessAll, administrators) &&
      SetSecurityDescriptorDacl(descriptor, TRUE, acl, FALSE) &&
      SetSecurityDescriptorGroup(descriptor, administrators, FALSE) &&
      SetSecurityDescriptorOwner(descriptor, administrators, FALSE) &&
      IsValidSecurityDescriptor(descriptor)) {
    GENERIC_MAPPING mapping = {kAccessRead, kAccessWrite, 0, kAccessAll};
    BYTE privileges[20] = {};
    DWORD privilegesSize = sizeof privileges;
    DWORD granted = 0;
    BOOL status = FALSE;
    if (AccessCheck(descriptor, token, kAccessRead, &mapping,
                    reinterpret_cast<PPRIVILEGE_SET>(privileges), &privilegesSize, &granted,
                    &status)) {
      isAdmin = status ? 1 : 0;
      RevertToSelf();
    }
  }
  if (acl) LocalFree(acl);
  if (descriptor) LocalFree(descriptor);
  FreeSid(administrators);
  return isAdmin;
}

}  // namespace

int IsUserAdministrator() {
  ImpersonateSelf(SecurityImpersonation);
  HANDLE token = OpenTokenToTest();
  if (!token) return 0;
  const int isAdmin = CheckAdministratorsAccess(token);
  CloseHandle(token);
  return isAdmin;
}
