#include <gtest/gtest.h>

#include "store/IniFile.h"
#include "store/UploadConfig.h"
#include "support/RecordingUi.h"
#include "support/TempFolder.h"

namespace korvo {
namespace {

using test::TRecordingUi;
using test::TTempFolder;

TEST(UploadConfig, HeaderOnlyFileReadsTheDefaults) {
  TTempFolder dir;
  dir.Write("UPLOAD.CFG", "[Korvo2KWeb]\r\n");
  TSysParam p;
  p.TermNoAsFileExt = p.SynchronizeTime = p.SkipDuplicates = true;
  TRecordingUi ui;
  ReadUploadConfig(dir.Path(), p, ui);
  EXPECT_TRUE(ui.calls.empty());
  EXPECT_EQ(p.OutputType, "TXT");
  EXPECT_EQ(p.OutputFormat, "CYMDHNSR");
  EXPECT_EQ(p.OutputFileName, "NONE");
  EXPECT_EQ(p.OutputEventFilter, "NONE");
  EXPECT_FALSE(p.TermNoAsFileExt || p.DateAsFileName || p.DeleteAfterLoaded || p.RestartAfterLoaded ||
               p.LoadAllTerminal || p.FlagTransaction || p.SynchronizeTime || p.SkipDuplicates);
}

TEST(UploadConfig, FlagsAreIntegersAndAnythingElseIsTheDefault) {
  TTempFolder dir;
  dir.Write("UPLOAD.CFG",
            "[korvo2kweb]\n"
            "Delete After Loaded = 7\n"
            "Restart After Loaded=yes\n"
            "Load All Terminal=-1\n"
            "Flag Transaction=0\n"
            "Synchronize Time=1x\n"
            "output type = DBF \n");
  TSysParam p;
  TRecordingUi ui;
  ReadUploadConfig(dir.Path(), p, ui);
  EXPECT_TRUE(p.DeleteAfterLoaded);
  EXPECT_FALSE(p.RestartAfterLoaded);
  EXPECT_TRUE(p.LoadAllTerminal);
  EXPECT_FALSE(p.FlagTransaction);
  EXPECT_FALSE(p.SynchronizeTime);
  EXPECT_EQ(p.OutputType, "DBF");
}

TEST(UploadConfig, MissingFileWarnsOnReadAndWriteAndIsNeverCreated) {
  TTempFolder dir;
  TSysParam p;
  p.OutputType = "kept";
  TRecordingUi ui;
  ReadUploadConfig(dir.Path(), p, ui);
  EXPECT_EQ(p.OutputType, "kept");
  EXPECT_FALSE(WriteUploadConfig(dir.Path(), p, ui));
  std::string expected = "File " + dir.Path() + "/UPLOAD.CFG not found";
  EXPECT_EQ(ui.Texts("warning"), (std::vector<std::string>{expected, expected}));
  EXPECT_NE(expected.find("//UPLOAD.CFG"), std::string::npos);
  EXPECT_FALSE(dir.Exists("UPLOAD.CFG"));
}

TEST(UploadConfig, WriteKeepsEveryOtherLineByteForByte) {
  TTempFolder dir;
  const std::string before =
      "; transaction output\r\n"
      "[Other]\r\n"
      "Output Type=leave me\r\n"
      "\r\n"
      "[Korvo2KWeb]\r\n"
      "Output Type = TXT\r\n"
      "# a comment inside\r\n"
      "Output Format=CYMDHNSR\r\n"
      "\r\n"
      "[Last]\r\n"
      "x=1";
  dir.Write("UPLOAD.CFG", before);
  TSysParam p;
  TRecordingUi ui;
  ReadUploadConfig(dir.Path(), p, ui);
  p.OutputType = "XDBF";
  p.DeleteAfterLoaded = true;
  ASSERT_TRUE(WriteUploadConfig(dir.Path(), p, ui));
  EXPECT_TRUE(ui.calls.empty());
  const std::string after =
      "; transaction output\r\n"
      "[Other]\r\n"
      "Output Type=leave me\r\n"
      "\r\n"
      "[Korvo2KWeb]\r\n"
      "Output Type=XDBF\r\n"
      "# a comment inside\r\n"
      "Output Format=CYMDHNSR\r\n"
      "Terminal No As File Ext=0\r\n"
      "Date As File Name=0\r\n"
      "Output FileName=NONE\r\n"
      "Output Event Filter=NONE\r\n"
      "Delete After Loaded=1\r\n"
      "Restart After Loaded=0\r\n"
      "Load All Terminal=0\r\n"
      "Flag Transaction=0\r\n"
      "Synchronize Time=0\r\n"
      "Skip Duplicates=0\r\n"
      "\r\n"
      "[Last]\r\n"
      "x=1";
  EXPECT_EQ(dir.Read("UPLOAD.CFG"), after);
}

TEST(UploadConfig, MissingSectionIsAppendedAtTheEnd) {
  TTempFolder dir;
  dir.Write("UPLOAD.CFG", "[Other]\nk=v");
  TSysParam p;
  p.OutputType = "TXT";
  p.SynchronizeTime = true;
  TRecordingUi ui;
  ASSERT_TRUE(WriteUploadConfig(dir.Path(), p, ui));
  std::string text = dir.Read("UPLOAD.CFG");
  EXPECT_EQ(text.rfind("[Other]\nk=v\n[Korvo2KWeb]\nOutput Type=TXT\n", 0), 0u) << text;
  EXPECT_NE(text.find("\nSynchronize Time=1\n"), std::string::npos);
  TSysParam back;
  ReadUploadConfig(dir.Path(), back, ui);
  EXPECT_TRUE(back.SynchronizeTime);
  EXPECT_EQ(back.OutputFileName, "");
}

// Skip Duplicates is read like every flag, written in its own line where the file has one, and
// appended inside its section, before the next one, where it has none.
TEST(UploadConfig, SkipDuplicatesRoundTripsThroughTheFile) {
  struct TCase {
    const char* file;
    bool read;
    bool write;
    const char* written;
  };
  const TCase cases[] = {
      {"[Korvo2KWeb]\r\nOutput Type=TXT\r\n[Next]\r\nSkip Duplicates=1\r\n", false, true,
       "Synchronize Time=0\r\nSkip Duplicates=1\r\n[Next]\r\n"},
      {"[Korvo2KWeb]\r\nSkip Duplicates = 1\r\nSynchronize Time=0\r\n", true, false,
       "[Korvo2KWeb]\r\nSkip Duplicates=0\r\nSynchronize Time=0\r\n"},
      {"[Korvo2KWeb]\nSkip Duplicates=yes\n", false, true, "[Korvo2KWeb]\nSkip Duplicates=1\n"},
  };
  for (const TCase& c : cases) {
    TTempFolder dir;
    dir.Write("UPLOAD.CFG", c.file);
    TSysParam p;
    TRecordingUi ui;
    ReadUploadConfig(dir.Path(), p, ui);
    EXPECT_EQ(p.SkipDuplicates, c.read) << c.file;
    p.SkipDuplicates = c.write;
    ASSERT_TRUE(WriteUploadConfig(dir.Path(), p, ui));
    EXPECT_NE(dir.Read("UPLOAD.CFG").find(c.written), std::string::npos) << dir.Read("UPLOAD.CFG");
    ReadUploadConfig(dir.Path(), p, ui);
    EXPECT_EQ(p.SkipDuplicates, c.write) << c.file;
  }
}

TEST(IniFile, QuotedValuesAndFirstMatchingKeyWin) {
  TIniFile ini = TIniFile::Parse("[S]\nA=\"x y\"\na=second\n");
  EXPECT_EQ(ini.Read("s", "A").value(), "x y");
  EXPECT_FALSE(ini.Read("S", "B").has_value());
  EXPECT_FALSE(ini.Read("T", "A").has_value());
}

}  // namespace
}  // namespace korvo
