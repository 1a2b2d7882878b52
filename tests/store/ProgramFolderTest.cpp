#include "store/ProgramFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "support/TempFolder.h"

namespace korvo {
namespace {

namespace fs = std::filesystem;

// A fake installation: <root>/usr/bin/ and, when `installed`, <root>/usr/share/korvo2k/UPLOAD.CFG.
struct TLayout {
  test::TTempFolder root;
  std::string bin;
  explicit TLayout(bool installed) {
    bin = root.Path() + "usr/bin/";
    fs::create_directories(bin);
    if (installed) {
      fs::create_directories(root.Path() + "usr/share/korvo2k");
      root.Write("usr/share/korvo2k/UPLOAD.CFG", "[System]\r\nOutput Type=1\r\n");
    }
  }
};

TEST(ProgramFolderTest, ChoosesByOptionThenVariableThenLayout) {
  struct Row {
    const char* what;
    bool installed;
    bool readOnlyBin;
    std::string option, environment, xdg;
    TFolderSource source;
    std::string folder;  // relative to the layout's root; "@bin" = the executable's folder
  };
  const Row rows[] = {
      {"portable build", false, false, "", "", "/x", TFolderSource::Executable, "@bin"},
      {"installed, root can write bin", true, false, "", "", "", TFolderSource::PerUser,
       "home/.local/share/korvo2k/"},
      {"installed, XDG set", true, false, "", "", "@xdg", TFolderSource::PerUser, "xdg/korvo2k/"},
      {"relative XDG ignored", true, false, "", "", "rel/data", TFolderSource::PerUser,
       "home/.local/share/korvo2k/"},
      {"read-only portable folder", false, true, "", "", "@xdg", TFolderSource::PerUser, "xdg/korvo2k/"},
      {"variable beats layout", true, false, "", "@env", "@xdg", TFolderSource::Environment, "env/"},
      {"option beats variable", true, false, "@opt", "@env", "@xdg", TFolderSource::Option, "opt/"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    if (r.readOnlyBin && geteuid() == 0) continue;  // root writes every folder
    TLayout layout(r.installed);
    auto at = [&](const std::string& v) {
      return v.empty() || v[0] != '@' ? v : layout.root.Path() + v.substr(1);
    };
    if (r.readOnlyBin) chmod(layout.bin.c_str(), 0555);
    TFolderInputs in{at(r.option), at(r.environment), layout.bin, at(r.xdg), layout.root.Path() + "home"};
    const TFolderChoice choice = ChooseProgramFolder(in);
    EXPECT_EQ(choice.source, r.source);
    EXPECT_EQ(choice.folder, r.folder == "@bin" ? layout.bin : layout.root.Path() + r.folder);
    chmod(layout.bin.c_str(), 0755);
  }
}

TEST(ProgramFolderTest, PerUserFolderIsPrivateAndGetsTheDefaultConfigurationOnce) {
  TLayout layout(true);
  const std::string folder = layout.root.Path() + "xdg/korvo2k/";
  ASSERT_EQ(PrepareDataFolder(folder, layout.bin), "");
  struct stat st {};
  ASSERT_EQ(stat(folder.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_EQ(layout.root.Read("xdg/korvo2k/UPLOAD.CFG"), "[System]\r\nOutput Type=1\r\n");

  // The operator's own edits survive the next start.
  layout.root.Write("xdg/korvo2k/UPLOAD.CFG", "edited");
  ASSERT_EQ(PrepareDataFolder(folder, layout.bin), "");
  EXPECT_EQ(layout.root.Read("xdg/korvo2k/UPLOAD.CFG"), "edited");
}

TEST(ProgramFolderTest, FolderThatCannotBeCreatedIsReported) {
  TLayout layout(true);
  layout.root.Write("file", "x");
  const std::string problem = PrepareDataFolder(layout.root.Path() + "file/korvo2k/", layout.bin);
  EXPECT_NE(problem.find("Cannot create folder"), std::string::npos) << problem;
}

}  // namespace
}  // namespace korvo
