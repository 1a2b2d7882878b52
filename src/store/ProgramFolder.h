#pragma once

#include <string>

namespace korvo {

// Where the settings, the upload configuration, the database and the logs live.
//
// A portable build keeps them beside its executable, as it always has. An installed program
// (its executable in a bin folder with the shared data folder beside it) or one whose folder
// cannot be written keeps them in the user's data folder instead, so every user of one
// installation has their own terminals, database and logs and nobody needs root.
enum class TFolderSource { Option, Environment, Executable, PerUser };

// What the choice depends on, gathered once so that tests can set every part of it.
struct TFolderInputs {
  std::string option;            // --folder DIR
  std::string environment;       // $KORVO2K_FOLDER
  std::string executableFolder;  // ends with "/"
  std::string xdgDataHome;       // $XDG_DATA_HOME
  std::string home;              // $HOME
};

struct TFolderChoice {
  std::string folder;  // absolute, ends with "/"
  TFolderSource source = TFolderSource::Executable;
};

inline constexpr const char* kFolderVariable = "KORVO2K_FOLDER";

// The inputs of this process: its environment and the folder of its executable.
TFolderInputs CurrentFolderInputs(std::string option);

// The installed data folder beside a bin folder ("…/share/korvo2k/"), whether or not it exists.
std::string InstalledDataFolder(const std::string& executableFolder);
bool IsInstalledLayout(const std::string& executableFolder);

// "$XDG_DATA_HOME/korvo2k/", or "$HOME/.local/share/korvo2k/" when the variable is unset or not
// an absolute path.
std::string PerUserDataFolder(const TFolderInputs& in);

TFolderChoice ChooseProgramFolder(const TFolderInputs& in);

// Makes a data folder ready: created with mode 0700 when missing (its parents as usual), and given
// the installed default UPLOAD.CFG when it has none. Returns an empty text or what failed.
std::string PrepareDataFolder(const std::string& folder, const std::string& executableFolder);

// Chooses the folder and, unless it is the executable's, prepares it. `problem` receives what failed.
TFolderChoice ResolveProgramFolder(const std::string& option, std::string& problem);

const char* FolderSourceText(TFolderSource source);

}  // namespace korvo
