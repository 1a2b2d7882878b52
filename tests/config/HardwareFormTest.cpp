#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/HardwareForm.h"
#include "config/ParamTable.h"

namespace korvo {
namespace {

// A form shown from a table that holds the given entries.
struct Shown {
  TParamTable table;
  THardwareForm form;
  explicit Shown(const std::vector<std::pair<int, std::string>>& entries) {
    for (const auto& [n, v] : entries) table.Set(n, v);
    ShowParams(form, table, TShowMode::Read);
  }
  std::string Stored(int n) {
    StoreParams(form, table);
    return table[n];
  }
};

TEST(HardwareFormTest, ValuesTurnIntoControlsAndBack) {
  struct Case {
    int param;
    std::string value;
    std::string control;
    int index;            // list position expected, or
    std::int64_t number;  // number expected when index is 99
    std::string stored;
  };
  const std::vector<Case> cases = {
      {3, "2", "cbTime", 1, 0, "2"},
      {3, "0", "cbTime", -1, 0, "0"},  // outside the list: no selection, stored as -1 + 1
      {3, "3", "cbTime", -1, 0, "0"},
      {3, "", "cbTime", 0, 0, "1"},  // empty reads as the fallback 1
      {3, "x", "cbTime", 0, 0, "1"},
      {29, "", "cbAuthentication", -1, 0, "0"},
      {29, "4", "cbAuthentication", 3, 0, "4"},
      {19, "", "cbBaud", -1, 0, ""},                     // 19 is not stored by Send
      {2, "99999999999999999999", "cbDate", 1, 0, "1"},  // not an integer of any size: the fallback
      {216, "0", "seID", 99, 10, "10"},
      {216, "70000", "seID", 99, 65535, "65535"},
      {214, "65536", "seOnline", 99, 65536, "65536"},
      {215, "", "seDO", 99, 0, "0"},
      {215, "-5", "seDO", 99, -5, "-5"},  // no limit
      {7, "2", "seLength", 99, 3, "3"},
  };
  for (const auto& c : cases) {
    Shown s({{c.param, c.value}});
    SCOPED_TRACE(std::to_string(c.param) + " = '" + c.value + "'");
    if (c.index != 99)
      EXPECT_EQ(s.form.Index(c.control), c.index);
    else
      EXPECT_EQ(s.form.Number(c.control), c.number);
    EXPECT_EQ(s.Stored(c.param), c.stored);
  }
}

TEST(HardwareFormTest, FlagsTickOnlyOnTheIntegerOne) {
  for (const auto& [value, ticked] : std::vector<std::pair<std::string, bool>>{
           {"1", true}, {"01", true}, {"2", false}, {"0", false}, {"", true}, {"yes", true}}) {
    Shown s({{12, value}});  // Check Word: fallback 1
    EXPECT_EQ(s.form.Checked("cbCW"), ticked) << value;
    EXPECT_EQ(s.Stored(12), ticked ? "1" : "0");
  }
}

TEST(HardwareFormTest, TheIdleMaskSetsThreeListsAndTheirRule) {
  Shown s({{18, "5"}});
  EXPECT_EQ(s.form.Index("cbIdle"), 1);
  EXPECT_EQ(s.form.Index("cbIdle2"), 0);
  EXPECT_EQ(s.form.Index("cbIdle3"), 1);
  EXPECT_TRUE(s.form["edIdle"].enabled);
  EXPECT_FALSE(s.form["cbIdle"].enabled);
  EXPECT_FALSE(s.form["cbIdle2"].enabled);
  EXPECT_EQ(s.form["cbIdle2"].hint, "PAR 18, bit #1");
  EXPECT_EQ(s.Stored(18), "5");
  Shown empty({{18, ""}});
  EXPECT_EQ(empty.Stored(18), "1");
  EXPECT_FALSE(empty.form["edIdle"].enabled);
}

TEST(HardwareFormTest, TheReverseTimesFillFourFieldsAndShortValuesLeaveTheRestEmpty) {
  Shown s({{313, "0730123018452200"}, {32, "1"}});
  EXPECT_EQ(s.form.Text("meRD3"), "1845");
  EXPECT_TRUE(s.form["meRD4"].enabled);
  EXPECT_EQ(s.form["meRD1"].hint, "PAR 313, $1-4 ");
  Shown shortOne({{313, "07301230"}});
  EXPECT_EQ(shortOne.form.Text("meRD2"), "1230");
  EXPECT_EQ(shortOne.form.Text("meRD3"), "");
  EXPECT_EQ(shortOne.form.Text("meRD4"), "");
  EXPECT_FALSE(shortOne.form["meRD1"].enabled);
  EXPECT_EQ(shortOne.Stored(313), "07301230");
}

TEST(HardwareFormTest, RelayMasksShowTheirBoxesAndStoreBack) {
  // Bits 0, 1, 24 and 27: Access Granted, Not In Axgroup, IN and Aux; FKEY needs bit 26.
  Shown s({{211, "150994947"}});
  for (const auto& [box, ticked] : std::vector<std::pair<std::string, bool>>{{"cb1", true},
                                                                             {"cb2", true},
                                                                             {"cb4", false},
                                                                             {"cbb24", true},
                                                                             {"cbb25", false},
                                                                             {"cbb26", false},
                                                                             {"cbb27", true}})
    EXPECT_EQ(s.form.Checked(box), ticked) << box;
  EXPECT_TRUE(s.form["cbb24"].visible);
  EXPECT_TRUE(s.form["Label9"].visible);
  EXPECT_EQ(s.form["cbb27"].hint, "PAR 211, bit #27");
  EXPECT_EQ(s.Stored(211), "150994947");

  // Bit 26 alone: FKEY is not ticked (it needs bit 0 too) and the Access Granted boxes are hidden.
  Shown fkey({{211, "67108864"}});
  EXPECT_FALSE(fkey.form.Checked("cb1"));
  EXPECT_FALSE(fkey.form["cbb26"].visible);
  EXPECT_EQ(fkey.Stored(211), "0");

  // Boxes under a cleared Access Granted do not count.
  Shown cleared({{211, "16777217"}});  // bits 0 and 24
  cleared.form.SetChecked("cb1", false);
  EXPECT_EQ(cleared.Stored(211), "0");
  EXPECT_FALSE(cleared.form["cbb24"].visible);
}

TEST(HardwareFormTest, SwitchingRelaysDropsUnsentBoxesAndStoresOnlyTheSelectedRelay) {
  Shown s({{211, "1"}, {212, "8"}, {209, "300"}, {210, ""}});
  EXPECT_EQ(s.form.Number("seDur"), 300);
  s.form.SetChecked("cb2", true);  // an unsent change to relay 1
  s.form.SetIndex("rgRelay", 1);
  RelayClick(s.form, s.table);
  EXPECT_TRUE(s.form.Checked("cb8"));
  EXPECT_FALSE(s.form.Checked("cb1"));
  EXPECT_FALSE(s.form["seDur"].visible);
  EXPECT_EQ(s.form.Number("seDur2"), 2000);
  EXPECT_EQ(s.form["cb8"].hint, "PAR 212, bit #3");
  s.form.SetIndex("rgRelay", 0);
  RelayClick(s.form, s.table);
  EXPECT_TRUE(s.form.Checked("cb1"));
  EXPECT_FALSE(s.form.Checked("cb2")) << "the change made before switching is gone";

  s.form.SetIndex("rgRelay", 1);
  RelayClick(s.form, s.table);
  s.form.SetChecked("cb16", true);
  EXPECT_EQ(s.Stored(212), "24");
  EXPECT_EQ(s.table[211], "1");
  EXPECT_EQ(s.table[210], "2000");
}

TEST(HardwareFormTest, TickingAccessGrantedLoadsItsBoxesFromTheStoredMask) {
  Shown s({{211, "33554432"}});  // bit 25 only: OUT, while Access Granted is clear
  EXPECT_FALSE(s.form["cbb25"].visible);
  s.form.SetChecked("cb1", true);
  Cb1Click(s.form, s.table);
  EXPECT_TRUE(s.form["cbb25"].visible);
  EXPECT_TRUE(s.form.Checked("cbb25"));
  EXPECT_EQ(s.Stored(211), "33554433");
}

TEST(HardwareFormTest, SerialPortChoosesWhereTheBaudRateComesFromAndGoes) {
  Shown s({{19, "1"}, {31, "2"}, {20, "1"}});
  EXPECT_EQ(s.form.Index("cbBaud"), 1);
  EXPECT_EQ(s.form.Index("cbMode1"), 1);
  s.form.SetIndex("rgSerial", 1);
  SerialClick(s.form, s.table);
  EXPECT_EQ(s.form.Index("cbBaud"), 2);
  EXPECT_EQ(s.form["cbBaud"].hint, "PAR 31");
  EXPECT_FALSE(s.form["cbMode1"].visible);
  s.form.SetIndex("cbBaud", 0);
  ListPicked(s.form, s.table, "cbBaud");
  EXPECT_EQ(s.table[31], "0");
  EXPECT_EQ(s.table[19], "1");
  s.form.SetIndex("cbMode3", 4);
  ListPicked(s.form, s.table, "cbMode3");
  EXPECT_EQ(s.table[21], "4");
}

TEST(HardwareFormTest, OnlineModeEnablesTheHostFields) {
  for (const auto& [mode, enabled] :
       std::vector<std::pair<std::string, bool>>{{"0", false}, {"2", true}, {"7", true}}) {
    Shown s({{30, mode}});
    EXPECT_EQ(s.form["sgHost"].enabled, enabled) << mode;
    EXPECT_EQ(s.form["seOnline"].enabled, enabled) << mode;
  }
  THardwareForm form;
  form.SetIndex("cbOnline", 0);
  OnlineChange(form, true);
  EXPECT_FALSE(form["seBioDelay"].enabled);
  EXPECT_FALSE(form["seBioDelay"].visible);
  EXPECT_FALSE(form["cbDate"].visible);
  EXPECT_EQ(form["lFirmware"].hint, "GETVER");
}

TEST(HardwareFormTest, ModuleValuesUseTheirOffsets) {
  THardwareForm form;
  ApplyModuleValue(form, 102, " 9\r\n");
  EXPECT_EQ(form.Index("cbSecurityLevel"), -1);
  EXPECT_EQ(ModuleCommand(form, 102), "SFMPAR 102 2");
  ApplyModuleValue(form, 102, "6");
  EXPECT_EQ(form.Index("cbSecurityLevel"), 3);
  ApplyModuleValue(form, 147, "--");
  EXPECT_EQ(ModuleCommand(form, 147), "SFMPAR 147 0");
  ApplyModuleValue(form, 128, "12");
  EXPECT_EQ(ModuleCommand(form, 128), "SFMPAR 128 7") << "the slider clamps";
}

TEST(HardwareFormTest, DefaultShowsFactoryValuesWithoutTouchingTheTableOrTheIdleRule) {
  Shown s({{18, "0"}, {3, "1"}, {211, "1"}, {210, "555"}});
  ShowDefaults(s.form);
  EXPECT_TRUE(s.form.ValuesLoaded);
  EXPECT_EQ(s.form.Index("cbTime"), 1);
  EXPECT_EQ(s.form.Index("cbBaud"), -1);
  EXPECT_EQ(s.form.Index("cbKey"), 1);
  EXPECT_EQ(s.form.Text("sgIP"), "192.168.1.207");
  EXPECT_EQ(s.form.Text("edRexMsg"), "Open the Door!");
  EXPECT_EQ(s.form.Number("seDO"), 8000);
  EXPECT_EQ(s.form.Number("seID"), 10);
  EXPECT_EQ(s.form.Text("meRD4"), "2300");
  EXPECT_EQ(s.form.Text("lFirmware"), "Not Available");
  EXPECT_FALSE(s.form.Checked("cb1"));
  EXPECT_FALSE(s.form["cbb24"].visible);
  EXPECT_EQ(s.form.Number("seDur2"), 555) << "relay 2's time is left alone";
  EXPECT_EQ(s.form.Index("cbIdle3"), 1);
  EXPECT_FALSE(s.form["edIdle"].enabled) << "Default does not apply the idle rule";
  EXPECT_EQ(s.table[3], "1");
  EXPECT_EQ(s.table[18], "0");
  EXPECT_EQ(ModuleCommand(s.form, 102), "SFMPAR 102 5");
  EXPECT_EQ(ModuleCommand(s.form, 129), "SFMPAR 129 1");
}

}  // namespace
}  // namespace korvo
