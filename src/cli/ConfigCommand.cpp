#include <CLI/CLI.hpp>
#include <fstream>
#include <iterator>
#include <ostream>
#include <sstream>

#include "cli/Command.h"
#include "cli/ConsoleUi.h"
#include "config/ParamFile.h"
#include "config/ParamFileJobs.h"
#include "config/ParamSend.h"
#include "config/ParamTable.h"
#include "link/LinkErrors.h"
#include "store/DataMod.h"

namespace korvo {
namespace {

// korvo2k-cli config read|write|default: the parameter screen's read, Send and Default as a text
// file of values, so that a terminal's parameters can be kept, edited and given back, or copied to
// other terminals.
class TConfigCommand final : public TCliCommand {
 public:
  TConfigCommand()
      : TCliCommand("config",
                    "config read ADDRESS [--page N] | write ADDRESS FILE [--all-terminals] | default",
                    "read a terminal's parameters into a file of values, write such a file to terminals, or "
                    "print the factory values in the same form") {}

  void AddArguments(CLI::App& command) override {
    command.require_subcommand(1);
    read_ = command.add_subcommand("read",
                                   "read the parameters of the five pages, the firmware version and the "
                                   "fingerprint module values; the file goes to stdout");
    read_->fallthrough();
    read_->add_option("ADDRESS", address_, "the terminal's address (fsAddr of tTerminals)")->required();
    const CLI::Validator page(
        [](std::string& p) -> std::string { return PageIndex(p) ? std::string() : "no page " + p; }, "", "");
    read_
        ->add_option("--page", page_, "only this page: 0 to 4, or Communication, LCD, Inputs, OutPuts, Other")
        ->check(page)
        ->type_name("N");

    write_ =
        command.add_subcommand("write",
                               "send a file of values: the SFMPAR lines to ADDRESS, then the parameters in "
                               "the file's order and RESTART; a file with a fault sends nothing");
    write_->fallthrough();
    write_->add_option("ADDRESS", address_, "the terminal's address (fsAddr of tTerminals)")->required();
    write_->add_option("FILE", file_, "the file of values; - reads stdin")->required();
    write_->add_flag("--all-terminals", allTerminals_,
                     "send the parameters to every terminal, the highest address first (SFMPAR still to "
                     "ADDRESS only)");

    default_ =
        command.add_subcommand("default", "print what Default followed by a Send of every page would send");
    default_->fallthrough();
  }

  int Execute(TCliContext& c) override {
    if (read_->parsed()) return Read(c);
    if (write_->parsed()) return Write(c);
    c.out << FormatParamFile(DefaultParamFile());
    return kExitDone;
  }

 private:
  int Read(TCliContext& c) {
    const auto row = c.dm.Link.FindTerminal(address_);
    if (!row) throw TUnknownTerminalError(address_);
    std::vector<int> pages;
    if (page_.empty())
      for (int page = 0; page < kPageCount; ++page) pages.push_back(page);
    else
      pages.push_back(*PageIndex(page_));

    TJobs::TGuard job = c.dm.Jobs.Start("Reading the parameters of " + row->fsLocation);
    if (!job) return Busy(c);
    const TParamFileRead read = ReadParamFile(c.dm.Link, address_, row->fsLocation, pages);
    c.ui.EndProgressLine();
    switch (read.result) {
      case TPageRead::Done:
        break;
      case TPageRead::NoAccess:
      case TPageRead::NoAnswer:
        c.err << "error: Can't access to " << row->fsLocation << '\n';
        return kExitFailed;
      case TPageRead::Stopped:
        c.err << "error: the read was stopped\n";
        return kExitFailed;
    }
    c.out << FormatParamFile(read.content);
    if (read.complete) return kExitDone;
    for (const auto& page : read.content.pages)
      if (!page.answered)
        c.err << "error: no answer on the page " << PageNames.at(static_cast<std::size_t>(page.page)) << '\n';
    for (const auto& m : read.content.module)
      if (!m.value) c.err << "error: no value for SFMPAR " << m.number << '\n';
    return kExitFailed;
  }

  int Write(TCliContext& c) {
    std::string text;
    if (!ReadFileText(c, text)) {
      c.err << "error: cannot read " << file_ << "\nNothing was sent.\n";
      return kExitUsage;
    }
    TParamFile file;
    try {
      file = ParseParamFile(text);
    } catch (const TParamFileError& e) {
      c.err << "error: " << Shown(file_) << ' ' << e.what() << "\nNothing was sent.\n";
      return kExitUsage;
    }
    if (file.params.empty() && file.module.empty()) {
      c.err << "error: " << Shown(file_) << " holds no value\nNothing was sent.\n";
      return kExitUsage;
    }
    if (!c.dm.Link.FindTerminal(address_)) throw TUnknownTerminalError(address_);

    TJobs::TGuard job = c.dm.Jobs.Start("Sending parameters");
    if (!job) return Busy(c);
    const std::vector<std::string> targets =
        allTerminals_ ? TargetsDescending(c.dm.ADOC) : std::vector<std::string>{address_};
    const TParamFileSend sent = SendParamFile(c.dm.Link, file, address_, targets);
    c.ui.EndProgressLine();
    if (sent.stopped) {
      c.err << "error: the send was stopped\n";
      return kExitFailed;
    }
    for (const auto& address : sent.silent) c.err << "error: no answer from the terminal " << address << '\n';
    return sent.silent.empty() ? kExitDone : kExitFailed;
  }

  bool ReadFileText(TCliContext& c, std::string& text) const {
    if (file_ == "-") {
      text.assign(std::istreambuf_iterator<char>(c.in), {});
      return !c.in.bad();
    }
    std::ifstream in(file_, std::ios::binary);
    if (!in) return false;
    std::ostringstream content;
    content << in.rdbuf();
    text = content.str();
    return !in.bad();
  }

  static int Busy(TCliContext& c) {
    c.err << "error: another terminal job is running: " << c.dm.Jobs.Caption() << '\n';
    return kExitFailed;
  }

  static std::string Shown(const std::string& file) { return file == "-" ? "stdin" : file; }

  CLI::App* read_ = nullptr;
  CLI::App* write_ = nullptr;
  CLI::App* default_ = nullptr;
  std::string address_;
  std::string page_;
  std::string file_;
  bool allTerminals_ = false;
};

}  // namespace

std::unique_ptr<TCliCommand> MakeConfigCommand() {
  return std::make_unique<TConfigCommand>();
}

}  // namespace korvo
