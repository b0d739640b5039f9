#pragma once
// The module's application object: through it the module reaches the host application's profile.
#include "afxwin.h"

class CSorvikRadarApp : public CWinApp {
public:
  CSorvikRadarApp();

  DECLARE_MESSAGE_MAP()
};
