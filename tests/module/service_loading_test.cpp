// The module's service accessors in host installations that lack some libraries; each case runs the
// probe program in a layout of its own, since a missing library ends the process.
#include <gtest/gtest.h>

#include <string>

#include "host_layout.h"

namespace {

const std::string kStageBin = SORVIK_STAGE_BIN_DIR;
const std::string kMissingLibraryText =
    "One of the library files needed to run this application cannot be found.";

std::string Staged(const std::string& name) { return kStageBin + "/" + name; }

// What the user sees: the box as the probe reports it, and the line standard error carries.
void ExpectMissingLibraryMessage(const ProcessResult& result, const std::string& file) {
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.standardError, "Error: " + kMissingLibraryText + " (" + file + ")\n");
  EXPECT_NE(result.standardOutput.find("box owner=none type=0 caption=[Error] text=[" + kMissingLibraryText +
                                       "\\r\\n(" + file + ")]"),
            std::string::npos)
      << result.standardOutput;
}

class ServiceLoading : public testing::Test {
protected:
  HostLayout layout_{SERVICE_PROBE};
};

}  // namespace

TEST_F(ServiceLoading, AMissingRadarLibraryEndsTheProcessNamingTheFile) {
  // Everything else is there; the radar's folder is not.
  layout_.LinkLibrary("VelIHM.dll", Staged("VelIHM.dll"));
  layout_.LinkLibrary("Converter.dll", Staged("Converter.dll"));
  ExpectMissingLibraryMessage(layout_.Run({"radar"}), "VKSorVik.dll");
}

TEST_F(ServiceLoading, TheRadarLibraryIsFoundInTheSorvikFolderBesideTheHostFolder) {
  layout_.LinkLibrary("VKSorVik.dll", FAKE_RADAR_LIBRARY, "SORVIK");
  const ProcessResult result = layout_.Run({"radar"});
  EXPECT_EQ(result.exitCode, 0) << result.standardError;
  EXPECT_EQ(result.standardOutput, "same=1 entry_calls=1 loads=1\n");
  EXPECT_EQ(result.standardError, "");
}

TEST_F(ServiceLoading, ARadarEntryAnsweringNullIsAMissingLibrary) {
  layout_.LinkLibrary("VKSorVik.dll", FAKE_RADAR_LIBRARY, "SORVIK");
  ExpectMissingLibraryMessage(layout_.Run({"radar"}, {"FAKE_RADAR_ENTRY_NULL=1"}), "VKSorVik.dll");
}

TEST_F(ServiceLoading, AMissingUserInterfaceLibraryEndsTheProcessNamingTheFile) {
  layout_.LinkLibrary("Converter.dll", Staged("Converter.dll"));
  ExpectMissingLibraryMessage(layout_.Run({"ui"}), "VelIHM.dll");
}

TEST_F(ServiceLoading, TheUserInterfaceLibraryIsOpenedAndItsEntryCalledOnce) {
  layout_.LinkLibrary("VelIHM.dll", Staged("VelIHM.dll"));
  const ProcessResult result = layout_.Run({"ui"});
  EXPECT_EQ(result.exitCode, 0) << result.standardError;
  EXPECT_EQ(result.standardOutput, "same=1 entry_calls=1 loads=1\n");
}

TEST_F(ServiceLoading, AMissingConverterLibraryEndsTheProcessNamingTheFile) {
  layout_.LinkLibrary("VelIHM.dll", Staged("VelIHM.dll"));
  ExpectMissingLibraryMessage(layout_.Run({"converter"}), "Converter.dll");
}

TEST_F(ServiceLoading, AConverterLibraryWithoutItsEntryIsAMissingLibrary) {
  layout_.LinkLibrary("Converter.dll", Staged("VelIHM.dll"));
  ExpectMissingLibraryMessage(layout_.Run({"converter"}), "Converter.dll");
}

TEST_F(ServiceLoading, TheConverterLibraryIsOpenedAndItsEntryCalledOnce) {
  layout_.LinkLibrary("Converter.dll", Staged("Converter.dll"));
  const ProcessResult result = layout_.Run({"converter"});
  EXPECT_EQ(result.exitCode, 0) << result.standardError;
  EXPECT_EQ(result.standardOutput, "same=1 entry_calls=1 loads=1\n");
}

TEST_F(ServiceLoading, AMissingResourceLibraryIsReportedAndStringsLoadEmpty) {
  const ProcessResult result = layout_.Run({"resources"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.standardOutput,
            "box owner=none type=16 caption=[Error] text=[Cannot load ResourceDLL.DLL]\n"
            "open=0 loaded=0 text=[]\n"
            "handle_restored=1\n");
  EXPECT_EQ(result.standardError, "Error: Cannot load ResourceDLL.DLL\n");
}

TEST_F(ServiceLoading, TheResourceLibraryServesStringsWhileItsScopeLasts) {
  layout_.LinkLibrary("ResourceDLL.dll", Staged("ResourceDLL.dll"));
  const ProcessResult result = layout_.Run({"resources"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.standardOutput, "open=1 loaded=1 text=[RADAR]\nhandle_restored=1\n");
  EXPECT_EQ(result.standardError, "");
}
