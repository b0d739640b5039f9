// CWinApp's profile functions over the host application's INI profile, as MFC keeps them when the
// application has no registry key.
#include <cstdio>
#include <string>

#include "afxwin.h"
#include "extensions/advapi32.h"
#include "extensions/kernel32.h"
#include "extensions/mfc.h"

namespace {

// An application that named its own profile file keeps it; otherwise the host's profile serves.
CString ProfileFileOf(const CWinApp& app) {
  if (app.m_pszProfileName && *app.m_pszProfileName) return app.m_pszProfileName;
  return AfxGetHostProfilePath();
}

}  // namespace

UINT CWinApp::GetProfileInt(const char* section, const char* entry, int defaultValue) {
  const CString file = ProfileFileOf(*this);
  if (file.IsEmpty()) return static_cast<UINT>(defaultValue);
  return GetPrivateProfileIntA(section, entry, defaultValue, file);
}

BOOL CWinApp::WriteProfileInt(const char* section, const char* entry, int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", value);
  return WriteProfileString(section, entry, text);
}

CString CWinApp::GetProfileString(const char* section, const char* entry, const char* defaultValue) {
  std::string value;
  if (ReadPrivateProfileValue(section, entry, value, ProfileFileOf(*this))) return CString(value);
  return CString(defaultValue ? defaultValue : "");
}

BOOL CWinApp::WriteProfileString(const char* section, const char* entry, const char* value) {
  const CString file = ProfileFileOf(*this);
  if (file.IsEmpty()) return FALSE;
  return WritePrivateProfileStringA(section, entry, value, file);
}

HKEY CWinApp::GetSectionKey(const char* section) { return OpenProfileSectionKey(ProfileFileOf(*this), section); }
