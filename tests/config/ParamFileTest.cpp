#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "config/ParamCatalogue.h"
#include "config/ParamFile.h"
#include "config/ParamFileJobs.h"
#include "config/ParamTable.h"

namespace korvo {
namespace {

using TValues = std::vector<TParamFileValue>;

TEST(ParamFileTest, ValuesKeepEveryByteAfterTheFirstBlank) {
  const struct {
    const char* name;
    std::string text;
    TValues params;
    TValues module;
  } cases[] = {
      {"inner blanks", "309 Open the Door!\n", {{309, "Open the Door!"}}, {}},
      {"inner and trailing blanks", "310 two  blanks  \n", {{310, "two  blanks  "}}, {}},
      {"leading blank of the value", "312  x\n", {{312, " x"}}, {}},
      {"number alone", "312\n", {{312, ""}}, {}},
      {"number and a blank", "312 \n", {{312, ""}}, {}},
      {"CR LF", "7 6\r\n309 Open \r\n", {{7, "6"}, {309, "Open "}}, {}},
      {"last line without line end", "7 6\n3 2", {{7, "6"}, {3, "2"}}, {}},
      {"comments, headers and blank lines",
       "\xEF\xBB\xBF# header\n\n[LCD]\n   \n\t\n#7 9\n[Fingerprint module]\r\n7 6\n",
       {{7, "6"}},
       {}},
      {"module values in the file's order",
       "SFMPAR 128 7\r\n4 1\nSFMPAR 102 5\n",
       {{4, "1"}},
       {{128, "7"}, {102, "5"}}},
      {"a module value with blanks", "SFMPAR 102 5 \n", {}, {{102, "5 "}}},
      {"seventy characters", "400 " + std::string(70, 'x') + "\n", {{400, std::string(70, 'x')}}, {}},
      {"first and last numbers, leading zeros", "1 a\n504 b\n007 c\n", {{1, "a"}, {504, "b"}, {7, "c"}}, {}},
  };
  for (const auto& c : cases) {
    const TParamFile file = ParseParamFile(c.text);
    EXPECT_EQ(file.params, c.params) << c.name;
    EXPECT_EQ(file.module, c.module) << c.name;
  }
}

TEST(ParamFileTest, EveryRefusalNamesItsLine) {
  const struct {
    std::string text;
    int line;
    std::string reason;
  } cases[] = {
      {"7 6\n0 1\n", 2, "parameter number 0 is outside 1 to 504"},
      {"# x\n\n505 1", 3, "parameter number 505 is outside 1 to 504"},
      {"99999999999 1\n", 1, "parameter number 99999999999 is outside 1 to 504"},
      {"SFMPAR 103 1\n", 1, "SFMPAR 103 is no fingerprint module value; those are 102, 144, 129, 147 or 128"},
      {"SFMPAR 144\n", 1, "SFMPAR 144 has no value"},
      {"SFMPAR x 1\n", 1, "SFMPAR wants a number, a blank and the value"},
      {"7 6\n400 " + std::string(71, 'x') + "\n", 2, "the value has 71 characters, more than 70"},
      {"7 6\n# again\n7 6\n", 3, "parameter 7 is given twice (first on line 1)"},
      {"SFMPAR 102 5\r\nSFMPAR 102 6\r\n", 2, "SFMPAR 102 is given twice (first on line 1)"},
      {"7 6\nhello\n", 2, "not a parameter line"},
      {"PAR 7 6\n", 1, "not a parameter line"},
      {" 7 6\n", 1, "not a parameter line"},
      {"7\t6\n", 1, "not a parameter line"},
      {"-7 6\n", 1, "not a parameter line"},
      {"7 6\rRESTART\n", 1, "the value holds a control character"},
      {"312 a|DELFILE TRANS\\010124.DAT\n", 1, "the value holds \"|\""},
  };
  for (const auto& c : cases) {
    try {
      ParseParamFile(c.text);
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const TParamFileError& e) {
      EXPECT_EQ(e.Line, c.line) << c.text;
      EXPECT_EQ(e.Reason.substr(0, c.reason.size()), c.reason) << c.text;
      EXPECT_EQ(std::string(e.what()), "line " + std::to_string(c.line) + ": " + e.Reason);
    }
  }
}

TEST(ParamFileTest, TheWriterGroupsThePagesExplainsEveryValueAndParsesBack) {
  TParamFileContent content;
  content.header = {"Address: 1", "Firmware version: KORVO2K\r\nVer 2"};
  content.pages = {{4, true, {{29, "1"}, {16, ""}}}, {1, false, {}}, {3, true, {{400, "#w  #n "}}}};
  content.module = {{102, "5", ""}, {144, std::nullopt, "--"}, {129, std::nullopt, "FAIL"}};
  const std::string text = FormatParamFile(content);
  EXPECT_EQ(text,
            "# Address: 1\n"
            "# Firmware version: KORVO2K  Ver 2\n"
            "\n[Other]\n"
            "# Authentication mode: 1 = Verification, 2 = Identification, 3 = Verification & Identification, "
            "4 = Verification Without Keypad\n"
            "29 1\n"
            "# Reader bypass: 0 = Disabled, 1 = Reader 1 Bypass Finger, 2 = Reader 2 Bypass Finger, 3 = All "
            "Reader Bypass Finger\n"
            "16\n"
            "\n[LCD]\n"
            "# no answer\n"
            "\n[OutPuts]\n"
            "# Printer template: text of at most 70 characters\n"
            "400 #w  #n \n"
            "\n[Fingerprint module]\n"
            "# Security level: 3 = Very Low, 4 = Low, 5 = Medium, 6 = High, 7 = Very High\n"
            "SFMPAR 102 5\n"
            "# Lighting mode: 0 = Outdoor, 1 = Indoor\n"
            "# SFMPAR 144: no answer\n"
            "# Image quality: 0 = Weak, 1 = Moderate, 2 = Strong, 3 = Strongest\n"
            "# SFMPAR 129: no value, the terminal answered FAIL\n");
  const TParamFile back = ParseParamFile(text);
  EXPECT_EQ(back.params, (TValues{{29, "1"}, {16, ""}, {400, "#w  #n "}}));
  EXPECT_EQ(back.module, (TValues{{102, "5"}}));
}

TEST(ParamFileTest, TheDefaultFileHoldsTheFactoryValuesAsTheStoreStepWritesThem) {
  const TParamFile file = ParseParamFile(FormatParamFile(DefaultParamFile()));
  ASSERT_EQ(file.params.size(), AllPageNumbers().size() - DefaultLeftOut.size());
  for (const auto& v : file.params) {
    const TParamSpec* spec = FindParam(v.number);
    ASSERT_NE(spec, nullptr) << v.number;
    ASSERT_TRUE(spec->factory) << v.number;
    // The ID duration's spin box starts at 10, so a factory 0 is stored as 10.
    EXPECT_EQ(v.value, v.number == 216 ? "10" : *spec->factory) << v.number;
  }
  ASSERT_EQ(file.module.size(), ModuleReadOrder.size());
  for (const auto& m : file.module) EXPECT_EQ(m.value, *FindModuleParam(m.number)->factory) << m.number;
}

TEST(ParamFileTest, APageIsNamedByItsIndexOrCaption) {
  const std::map<std::string, std::optional<int>> cases = {
      {"0", 0},
      {"4", 4},
      {"communication", 0},
      {"LCD", 1},
      {"inputs", 2},
      {"OUTPUTS", 3},
      {"Other", 4},
      {"5", std::nullopt},
      {"", std::nullopt},
      {"Other ", std::nullopt},
      {"-1", std::nullopt},
  };
  for (const auto& [text, page] : cases) EXPECT_EQ(PageIndex(text), page) << text;
}

}  // namespace
}  // namespace korvo
