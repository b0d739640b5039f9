#include "module/sorvik_radar_app.h"

BEGIN_MESSAGE_MAP(CSorvikRadarApp, CWinApp)
END_MESSAGE_MAP()

CSorvikRadarApp::CSorvikRadarApp() : CWinApp(nullptr) {}

// The one application object, constructed when the library loads.
CSorvikRadarApp theApp;
