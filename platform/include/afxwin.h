#pragma once
// The MFC application object, the module state and message maps, as far as the module uses them.
#include "afxstr.h"
#include "windows.h"
#include "wingdi.h"

class CWinApp;

// Per-module state: the application object and the instance whose resources strings are loaded from.
struct AFX_MODULE_STATE {
  CWinApp* m_pCurrentWinApp = nullptr;
  HINSTANCE m_hCurrentInstanceHandle = nullptr;
  HINSTANCE m_hCurrentResourceHandle = nullptr;
  const char* m_lpszCurrentAppName = nullptr;
};

// The state of the running module. One radar module is loaded per process, so one state serves it.
AFX_MODULE_STATE* AfxGetModuleState();
// The current application object, or null when none is constructed.
CWinApp* AfxGetApp();
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE resources);

// Message maps: a class lists the messages it handles; the radar application handles none.
class CCmdTarget;
using AFX_PMSG = void (CCmdTarget::*)();
struct AFX_MSGMAP_ENTRY {
  UINT nMessage;
  UINT nCode;
  UINT nID;
  UINT nLastID;
  AFX_PMSG pfn;
};
struct AFX_MSGMAP {
  const AFX_MSGMAP* (*pfnGetBaseMap)();
  const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                      \
 protected:                                        \
  static const AFX_MSGMAP* GetThisMessageMap();    \
  const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                       \
  const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
  const AFX_MSGMAP* theClass::GetThisMessageMap() {                                  \
    using ThisClass = theClass;                                                      \
    using TheBaseClass = baseClass;                                                  \
    static const AFX_MSGMAP_ENTRY entries[] = {
#define END_MESSAGE_MAP()                                                     \
  {0, 0, 0, 0, nullptr}};                                                     \
  static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &entries[0]}; \
  (void)sizeof(ThisClass);                                                    \
  return &messageMap;                                                         \
  }

class CCmdTarget {
public:
  virtual ~CCmdTarget() = default;
  // The entry handling `message`, searched through this class's map and its bases' maps; null if none.
  const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT message) const;

protected:
  static const AFX_MSGMAP* GetThisMessageMap();
  virtual const AFX_MSGMAP* GetMessageMap() const;
};

// The application object. Constructing one makes it the module state's current application;
// destroying it clears that again. Its profile reaches the host application's profile store.
class CWinApp : public CCmdTarget {
public:
  explicit CWinApp(const char* appName = nullptr);
  ~CWinApp() override;
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  const char* m_pszAppName = nullptr;
  const char* m_pszProfileName = nullptr;

  // Profile of the host application, by section and entry, as MFC's profile functions.
  UINT GetProfileInt(const char* section, const char* entry, int defaultValue);
  BOOL WriteProfileInt(const char* section, const char* entry, int value);
  CString GetProfileString(const char* section, const char* entry, const char* defaultValue = nullptr);
  BOOL WriteProfileString(const char* section, const char* entry, const char* value);
  // An open key for `section`, to be closed with RegCloseKey; null when the profile cannot be reached.
  HKEY GetSectionKey(const char* section);

  DECLARE_MESSAGE_MAP()
};

// GDI objects: each wraps a handle and deletes the handle it owns when destroyed.
class CGdiObject {
public:
  CGdiObject() = default;
  virtual ~CGdiObject();
  CGdiObject(const CGdiObject&) = delete;
  CGdiObject& operator=(const CGdiObject&) = delete;

  HGDIOBJ GetSafeHandle() const { return m_hObject; }
  BOOL Attach(HGDIOBJ object);
  HGDIOBJ Detach();
  BOOL DeleteObject();

  HGDIOBJ m_hObject = nullptr;
};

class CPen : public CGdiObject {
public:
  CPen() = default;
  CPen(int style, int width, COLORREF colour);
  BOOL CreatePen(int style, int width, COLORREF colour);
  operator HPEN() const { return static_cast<HPEN>(m_hObject); }
};

class CBrush : public CGdiObject {
public:
  CBrush() = default;
  explicit CBrush(COLORREF colour);
  BOOL CreateSolidBrush(COLORREF colour);
  operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
};

// A device context. A selection answers the C++ object that was selected before through this context,
// or else an object the context makes for the handle, keeps until it is destroyed and that never
// deletes its handle. Destroying a context that holds a handle deletes the handle.
class CDC {
public:
  CDC();
  virtual ~CDC();
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;

  HDC GetSafeHdc() const { return m_hDC; }
  BOOL Attach(HDC dc);
  HDC Detach();
  BOOL DeleteDC();

  // Each answers the object previously selected, or null on failure.
  CPen* SelectObject(CPen* pen);
  CBrush* SelectObject(CBrush* brush);
  CGdiObject* SelectObject(CGdiObject* object);
  CGdiObject* SelectStockObject(int index);

  BOOL Ellipse(int left, int top, int right, int bottom);

  HDC m_hDC = nullptr;

private:
  struct TemporaryObjects;
  CGdiObject* Select(HGDIOBJ object);
  TemporaryObjects* temporaries_;
};
