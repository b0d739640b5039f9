// The host's resource library through the module's scoped holder.
#include <gtest/gtest.h>

#include "afxstr.h"
#include "afxwin.h"
#include "extensions/kernel32.h"
#include "extensions/user32.h"
#include "module/resource_library.h"

namespace {

int boxesShown = 0;
int CountBox(HWND, LPCSTR, LPCSTR, UINT) {
  ++boxesShown;
  return IDOK;
}

class ResourceLibrary : public testing::Test {
protected:
  void SetUp() override {
    boxesShown = 0;
    SetMessageBoxPresenter(&CountBox);
  }
  void TearDown() override {
    SetMessageBoxPresenter(nullptr);
    AfxSetResourceHandle(nullptr);
  }
};

CString Load(UINT id) {
  CString text;
  text.LoadString(id);
  return text;
}

}  // namespace

TEST_F(ResourceLibrary, HoldsEveryStringTheLabelsAndMessagesUse) {
  const ResourceLibraryScope resources;
  ASSERT_TRUE(resources.IsOpen());
  for (UINT id = 5; id <= 17; ++id) EXPECT_FALSE(Load(id).IsEmpty()) << id;
  for (UINT id = 39013; id <= 39028; ++id) EXPECT_FALSE(Load(id).IsEmpty()) << id;
  EXPECT_TRUE(Load(18).IsEmpty());
  EXPECT_EQ(boxesShown, 0);
}

TEST_F(ResourceLibrary, TheWarmUpTextTakesOneTextArgument) {
  const ResourceLibraryScope resources;
  const CString format = Load(39017);
  const int placeholder = format.Find('%');
  ASSERT_GE(placeholder, 0);
  EXPECT_EQ(format.Mid(placeholder, 2), "%s");
  EXPECT_EQ(format.Find('%', placeholder + 1), -1) << "no other conversion: " << format.GetString();
  CString message;
  message.Format(format, "1:30");
  EXPECT_NE(message.Find("1:30"), -1);
}

TEST_F(ResourceLibrary, PutsThePreviousResourceSourceBack) {
  const HMODULE previous = LoadLibraryExA("ResourceDLL.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(previous, nullptr);
  AfxSetResourceHandle(previous);
  {
    const ResourceLibraryScope outer;
    EXPECT_NE(AfxGetResourceHandle(), previous);
    HINSTANCE outerHandle = AfxGetResourceHandle();
    {
      const ResourceLibraryScope inner;
      EXPECT_NE(AfxGetResourceHandle(), outerHandle) << "each scope opens the library anew";
      EXPECT_EQ(Load(17), "RADAR");
    }
    EXPECT_EQ(AfxGetResourceHandle(), outerHandle);
    EXPECT_EQ(Load(17), "RADAR");
    EXPECT_EQ(GetModuleLoadCount(outerHandle), 1u);
  }
  EXPECT_EQ(AfxGetResourceHandle(), previous);
  EXPECT_TRUE(FreeLibrary(previous));
}
