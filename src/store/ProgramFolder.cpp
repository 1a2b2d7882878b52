#include "store/ProgramFolder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "store/Program.h"

#ifndef KORVO_DATA_FROM_BIN
#define KORVO_DATA_FROM_BIN "../share/korvo2k"
#endif

namespace korvo {
namespace fs = std::filesystem;

namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

std::string HomeFolder() {
  std::string home = Env("HOME");
  if (!home.empty()) return home;
  if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return {};
}

bool Writable(const std::string& folder) {
  return access(folder.c_str(), W_OK | X_OK) == 0;
}

}  // namespace

TFolderInputs CurrentFolderInputs(std::string option) {
  return TFolderInputs{std::move(option), Env(kFolderVariable), ExecutableFolder(), Env("XDG_DATA_HOME"),
                       HomeFolder()};
}

std::string InstalledDataFolder(const std::string& executableFolder) {
  return NormaliseFolder(executableFolder + KORVO_DATA_FROM_BIN);
}

bool IsInstalledLayout(const std::string& executableFolder) {
  std::error_code ec;
  return fs::is_regular_file(InstalledDataFolder(executableFolder) + "UPLOAD.CFG", ec);
}

std::string PerUserDataFolder(const TFolderInputs& in) {
  // A relative XDG_DATA_HOME is invalid and must be ignored.
  const std::string base =
      !in.xdgDataHome.empty() && in.xdgDataHome[0] == '/' ? in.xdgDataHome : in.home + "/.local/share";
  return NormaliseFolder(base + "/korvo2k");
}

TFolderChoice ChooseProgramFolder(const TFolderInputs& in) {
  if (!in.option.empty()) return {NormaliseFolder(in.option), TFolderSource::Option};
  if (!in.environment.empty()) return {NormaliseFolder(in.environment), TFolderSource::Environment};
  // Root can write /usr/bin, so writability alone would put an installed program's database
  // there; the installed layout decides first.
  if (!IsInstalledLayout(in.executableFolder) && Writable(in.executableFolder))
    return {in.executableFolder, TFolderSource::Executable};
  return {PerUserDataFolder(in), TFolderSource::PerUser};
}

std::string PrepareDataFolder(const std::string& folder, const std::string& executableFolder) {
  std::error_code ec;
  fs::path dir = fs::path(folder).lexically_normal();
  if (dir.has_filename() == false) dir = dir.parent_path();
  if (!fs::is_directory(dir, ec)) {
    fs::create_directories(dir.parent_path(), ec);
    if (ec) return "Cannot create folder " + dir.parent_path().string() + " : " + ec.message();
    if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST)
      return "Cannot create folder " + dir.string() + " : " + std::strerror(errno);
  }
  const fs::path cfg = dir / "UPLOAD.CFG";
  if (!fs::exists(cfg, ec)) {
    const fs::path installed = fs::path(InstalledDataFolder(executableFolder)) / "UPLOAD.CFG";
    if (fs::is_regular_file(installed, ec)) {
      fs::copy_file(installed, cfg, ec);
      if (ec) return "Cannot copy " + installed.string() + " to " + cfg.string() + " : " + ec.message();
      fs::permissions(cfg, fs::perms::owner_read | fs::perms::owner_write, ec);
    }
  }
  return {};
}

TFolderChoice ResolveProgramFolder(const std::string& option, std::string& problem) {
  const TFolderInputs in = CurrentFolderInputs(option);
  TFolderChoice choice = ChooseProgramFolder(in);
  problem.clear();
  // A folder named by the operator is made as the per-user one is; the executable's folder exists.
  if (choice.source != TFolderSource::Executable)
    problem = PrepareDataFolder(choice.folder, in.executableFolder);
  return choice;
}

const char* FolderSourceText(TFolderSource source) {
  switch (source) {
    case TFolderSource::Option:
      return "--folder";
    case TFolderSource::Environment:
      return kFolderVariable;
    case TFolderSource::Executable:
      return "the executable's folder";
    case TFolderSource::PerUser:
      return "the per-user data folder";
  }
  return "";
}

}  // namespace korvo
