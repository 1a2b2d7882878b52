// The System Information values against the simulated terminal over loopback TCP, on virtual time.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "TcpFront.h"
#include "Terminal.h"
#include "TransactionGenerator.h"
#include "store/DataMod.h"
#include "support/NetTestSupport.h"
#include "tools/SysInfoStatus.h"

namespace korvo {
namespace {

using Kind = korvosim::ReplyOverride::Kind;
constexpr const char* kNet = "127.0.0.1";

class SysInfoSim : public test::TNetFixture {
 protected:
  SysInfoSim() { AddTerminal(kNet, tcp.add(terminal)); }
  void Cardholder(const std::string& card, const std::string& bio) {
    dm.ADOC.Execute("INSERT INTO tEmployees (fsCardNo, fsName, fmBioData) VALUES (?, 'N', ?)",
                    {TextValue(card), TextValue(bio)});
  }
  TSysInfoSources Sources(const std::string& address = kNet) {
    TSysInfoSources s{dm.Link, dm.ADOC, dm.ProgramFolder(), address};
    s.diskSpace = [](const std::string&) { return TDiskSpace{5368709120ull, 10737418240ull + 5242880ull}; };
    return s;
  }

  korvosim::TcpFront tcp;
  std::shared_ptr<korvosim::Terminal> terminal = std::make_shared<korvosim::Terminal>();
};

TEST_F(SysInfoSim, FillsTheNineValues) {
  // 10 cardholders: 3 with two templates, 2 with none; one template is 768 digits.
  const std::string one(768, 'A'), two = one + "+" + one;
  for (int i = 0; i < 10; ++i) Cardholder("C" + std::to_string(i), i < 3 ? two : i < 5 ? "" : one);
  korvosim::TransactionPlan plan;
  plan.records = 7;
  plan.days = 2;
  korvosim::generateTransactions(*terminal, plan);
  terminal->setTemplate("00000001", 0, std::string(384, 'x'));
  terminal->setTemplate("00000001", 1, std::string(384, 'y'));

  TSysInfoValues v;
  FillSysInfo(Sources(" 127.0.0.1 "), v);
  EXPECT_EQ(
      v, (TSysInfoValues{dm.ProgramFolder(), "5120.00 ", "10245.00 ", kNet, "7 ", "2 ", "10 ", "0 ", "13 "}));
}

TEST_F(SysInfoSim, WithoutACurrentTerminalNothingIsSent) {
  TSysInfoValues v;
  FillSysInfo(Sources(""), v);
  EXPECT_EQ(v, (TSysInfoValues{dm.ProgramFolder(), "5120.00 ", "10245.00 ", "", "", "", "0 ", "0 ", "0 "}));
  EXPECT_EQ(tcp.transcript().size(), 0u);
}

TEST_F(SysInfoSim, ACountThatIsNoNumberLeavesTheRestEmpty) {
  terminal->addReplyOverride(
      {.match = "DIR TRANS", .kind = Kind::Text, .text = "TRANS 1 Bytes Used 010124.DAT many NEW\r\n*"});
  TSysInfoValues v;
  EXPECT_THROW(FillSysInfo(Sources(), v), std::runtime_error);
  EXPECT_EQ(v, (TSysInfoValues{dm.ProgramFolder(), "5120.00 ", "10245.00 ", kNet, "", "", "", "", ""}));
}

TEST(SysInfoDisk, RealFolderFiguresAndMegabytes) {
  const TDiskSpace d = FolderDiskSpace("/");
  EXPECT_GT(d.totalBytes, 0u);
  EXPECT_LE(d.freeBytes, d.totalBytes);
  EXPECT_THROW(FolderDiskSpace("/no/such/folder"), std::runtime_error);
  EXPECT_EQ(MegabyteText(5368709120ull), "5120.00");
  EXPECT_EQ(MegabyteText(1572864ull + 10486ull), "1.51");
  EXPECT_EQ(MegabyteText(0), "0.00");
}

}  // namespace
}  // namespace korvo
