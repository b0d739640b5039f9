#pragma once
// The root of every reference-counted interface: AddRef and Release keep an object alive, QueryInterface
// asks it for another of its interfaces.
#include "windef.h"
#include "winerror.h"

struct GUID {
  DWORD Data1;
  WORD Data2;
  WORD Data3;
  BYTE Data4[8];
};
using IID = GUID;
using REFIID = const IID&;

class IUnknown {
public:
  virtual HRESULT QueryInterface(REFIID riid, void** ppvObject) = 0;
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

protected:
  // Objects die through Release, never through delete on an interface pointer.
  ~IUnknown() = default;
};
