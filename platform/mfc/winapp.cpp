#include "afxwin.h"

namespace {
AFX_MODULE_STATE& ModuleState() {
  static AFX_MODULE_STATE state;
  return state;
}
}  // namespace

AFX_MODULE_STATE* AfxGetModuleState() { return &ModuleState(); }
CWinApp* AfxGetApp() { return ModuleState().m_pCurrentWinApp; }
HINSTANCE AfxGetResourceHandle() { return ModuleState().m_hCurrentResourceHandle; }
void AfxSetResourceHandle(HINSTANCE resources) { ModuleState().m_hCurrentResourceHandle = resources; }

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
  static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
  static const AFX_MSGMAP messageMap = {nullptr, &entries[0]};
  return &messageMap;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(UINT message) const {
  for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
    for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry && entry->pfn; ++entry)
      if (entry->nMessage == message) return entry;
  }
  return nullptr;
}

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

CWinApp::CWinApp(const char* appName) : m_pszAppName(appName) {
  AFX_MODULE_STATE& state = ModuleState();
  state.m_pCurrentWinApp = this;
  state.m_lpszCurrentAppName = appName;
}

CWinApp::~CWinApp() {
  AFX_MODULE_STATE& state = ModuleState();
  if (state.m_pCurrentWinApp == this) {
    state.m_pCurrentWinApp = nullptr;
    state.m_lpszCurrentAppName = nullptr;
  }
}
