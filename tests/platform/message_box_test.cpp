#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "extensions/user32.h"

namespace {

struct ShownBox {
  HWND owner;
  std::string text;
  std::string caption;
  UINT type;
};
std::vector<ShownBox> shownBoxes;

int RecordBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  shownBoxes.push_back({owner, text, caption, type});
  return IDCANCEL;
}

class MessageBoxTest : public testing::Test {
protected:
  void SetUp() override { shownBoxes.clear(); }
  void TearDown() override { SetMessageBoxPresenter(nullptr); }
};

}  // namespace

TEST_F(MessageBoxTest, AnInstalledPresenterGetsEveryBoxWithTheDefaultCaption) {
  EXPECT_EQ(SetMessageBoxPresenter(&RecordBox), nullptr);
  EXPECT_EQ(MessageBoxA(nullptr, "Disk full", nullptr, MB_OK | MB_ICONERROR), IDCANCEL);
  EXPECT_EQ(MessageBoxA(nullptr, nullptr, "Caption", MB_OK), IDCANCEL);
  ASSERT_EQ(shownBoxes.size(), 2u);
  EXPECT_EQ(shownBoxes[0].text, "Disk full");
  EXPECT_EQ(shownBoxes[0].caption, "Error");
  EXPECT_EQ(shownBoxes[0].type, MB_OK | MB_ICONERROR);
  EXPECT_EQ(shownBoxes[0].owner, nullptr);
  EXPECT_EQ(shownBoxes[1].text, "");
  EXPECT_EQ(shownBoxes[1].caption, "Caption");
  EXPECT_EQ(SetMessageBoxPresenter(nullptr), &RecordBox);
}

TEST_F(MessageBoxTest, WithoutAPresenterABoxIsOneLineOnStandardError) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(MessageBoxA(nullptr, "first line\r\n(second)\nthird", nullptr, MB_OK), IDOK);
  // Nobody is there to choose: the box answers its default button.
  EXPECT_EQ(MessageBoxA(nullptr, "Save?", "Chart", MB_YESNO | MB_DEFBUTTON2), IDNO);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: first line (second) third\nChart: Save?\n");
}
