#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/AddressCells.h"

namespace korvo {
namespace {

TEST(AddressCellsTest, TextIntoCellsAndBack) {
  struct Case {
    std::string text;
    TAddressCells cells;
    std::string joined;
  };
  const std::vector<Case> cases = {
      {"192.168.1.207", {"192", ".", "168", ".", "1", ".", "207"}, "192.168.1.207"},
      {"0.0.0.0", {"0", ".", "0", ".", "0", ".", "0"}, "0.0.0.0"},
      {"", {"", ".", "", ".", "", ".", ""}, ""},  // never "...": no terminal takes that for an address
      {"1.2", {"1", ".", "", ".", "", ".", "2"}, "1...2"},  // missing numbers leave their cells empty
      {"10.0.0.1.5", {"10", ".", "0", ".", "0", ".", "1.5"}, "10.0.0.1.5"},  // the rest goes to cell 6
      {"..", {"", ".", "", ".", "", ".", ""}, ""},
      {"1234.x.y.z", {"1234", ".", "x", ".", "y", ".", "z"}, "1234.x.y.z"},  // what a terminal sent stays
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const TAddressCells cells = SplitAddressCells(c.text);
    EXPECT_EQ(cells, c.cells);
    EXPECT_EQ(JoinAddressCells(cells), c.joined);
  }
}

}  // namespace
}  // namespace korvo
