// The user-interface service as the module reaches it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "extensions/kernel32.h"
#include "extensions/user32.h"
#include "host/velihm_api.h"
#include "module/service_libraries.h"
#include "services/velihm/velihm_diagnostics.h"

namespace {

std::vector<std::string> boxTexts;

int RecordBox(HWND, LPCSTR text, LPCSTR, UINT) {
  boxTexts.emplace_back(text);
  return IDOK;
}

class UserInterfaceService : public testing::Test {
protected:
  void SetUp() override {
    boxTexts.clear();
    SetMessageBoxPresenter(&RecordBox);
    service_ = GetUserInterfaceService();
    library_ = GetModuleHandleA("VelIHM.dll");
    ASSERT_NE(library_, nullptr);
    shownCount_ = reinterpret_cast<VelIHMShownMessageCountFunction>(
        GetProcAddress(library_, "VelIHMShownMessageCount"));
    getShown_ =
        reinterpret_cast<VelIHMGetShownMessageFunction>(GetProcAddress(library_, "VelIHMGetShownMessage"));
    ASSERT_NE(shownCount_, nullptr);
    ASSERT_NE(getShown_, nullptr);
  }
  void TearDown() override { SetMessageBoxPresenter(nullptr); }

  VelIHMShownMessage LastShown() const {
    VelIHMShownMessage message{};
    EXPECT_TRUE(getShown_(shownCount_() - 1, &message));
    return message;
  }

  VelIHMAPI* service_ = nullptr;
  HMODULE library_ = nullptr;
  VelIHMShownMessageCountFunction shownCount_ = nullptr;
  VelIHMGetShownMessageFunction getShown_ = nullptr;
};

}  // namespace

TEST_F(UserInterfaceService, ShowsTheRadarOpenMessagesAndRecordsThem) {
  for (const int code : {41782, 41783}) {
    SCOPED_TRACE(code);
    const int before = shownCount_();
    EXPECT_EQ(service_->ShowMessage(code, 1, 0, 0), 0);
    ASSERT_EQ(shownCount_(), before + 1);
    const VelIHMShownMessage shown = LastShown();
    EXPECT_EQ(shown.code, code);
    EXPECT_EQ(shown.modal, 1);
    EXPECT_EQ(shown.parameter1, 0);
    EXPECT_EQ(shown.parameter2, 0);
    ASSERT_FALSE(boxTexts.empty());
    EXPECT_EQ(boxTexts.back(), shown.text);
    EXPECT_NE(std::string(shown.text).find("radar"), std::string::npos) << shown.text;
  }
  EXPECT_NE(boxTexts[0], boxTexts[1]);
}

TEST_F(UserInterfaceService, AnUnknownCodeShowsAGenericTextNamingIt) {
  EXPECT_EQ(service_->ShowMessage(12345, 1, 0, 0), -1);
  EXPECT_STREQ(LastShown().text, "Message 12345.");
  VelIHMShownMessage unused{};
  EXPECT_FALSE(getShown_(shownCount_(), &unused));
  EXPECT_FALSE(getShown_(-1, &unused));
}

TEST_F(UserInterfaceService, ASecondAccessorCallReusesTheService) {
  EXPECT_EQ(GetUserInterfaceService(), service_);
  EXPECT_EQ(GetModuleLoadCount(library_), 1u);
  const auto entryCalls =
      reinterpret_cast<VelIHMEntryCallCountFunction>(GetProcAddress(library_, "VelIHMEntryCallCount"));
  ASSERT_NE(entryCalls, nullptr);
  EXPECT_EQ(entryCalls(), 1);
}
