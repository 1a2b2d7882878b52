#include <CLI/CLI.hpp>
#include <ostream>

#include "cli/Command.h"
#include "cli/ConsoleUi.h"
#include "link/LinkErrors.h"
#include "store/DataMod.h"
#include "store/SettingsRecord.h"
#include "tables/RowTexts.h"
#include "tables/TablePages.h"
#include "tables/TableText.h"
#include "tables/TableUpload.h"

namespace korvo {
namespace {

constexpr const char* kPages =
    "Holidays, Access, Alarm, Blacklist, Message, Special, Biometrics, Admin, IDCard or Expired (any letter "
    "case), or the page's index 0 to 9";

std::string CardRowText(const TCardRow& row) {
  return " " + row.card + Blanks(19 - static_cast<int>(CharCount(row.card))) + row.name;
}

template <class T, class F>
void PrintRows(std::ostream& out, const std::vector<TTicked<T>>& rows, F text) {
  for (const auto& r : rows) out << (r.ticked ? "[x] " : "[ ] ") << text(r.row) << '\n';
}

// korvo2k-cli tables send|show PAGE ADDRESS: a Tables page as the terminal's stored lists tick it,
// printed, or sent as the page's SEND sends it. The terminal is checked with "GETVER" where the
// window compares its caption with the current location; SelectedAddr stays as it is.
class TTablesCommand final : public TCliCommand {
 public:
  TTablesCommand()
      : TCliCommand(
            "tables", "tables send PAGE ADDRESS | tables show PAGE ADDRESS",
            "print a Tables page with the ticks a terminal's lists give, or send it to the terminal") {}

  void AddArguments(CLI::App& command) override {
    command.require_subcommand(1);
    const CLI::Validator page(
        [](std::string& p) -> std::string { return TablePageByName(p) ? std::string() : "no page " + p; },
        "PAGE", "");
    send_ = command.add_subcommand("send",
                                   "send the page's ticked rows, as stored in the terminal's lists, to the "
                                   "terminal: its list is stored again and its file replaced");
    show_ =
        command.add_subcommand("show", "print the page's rows, [x] for the ones the terminal's lists tick");
    for (CLI::App* sub : {send_, show_}) {
      sub->fallthrough();
      sub->add_option("PAGE", page_, kPages)->required()->check(page);
      sub->add_option("ADDRESS", address_, "the terminal's address (fsAddr of tTerminals)")->required();
    }
  }

  int Execute(TCliContext& c) override {
    const TTablePage page = *TablePageByName(page_);
    if (send_->parsed() && page == TTablePage::Biometrics) {
      c.err << "error: the Biometrics page sends fingerprint templates, not a table file\n";
      return kExitUsage;
    }
    const auto row = c.dm.Link.FindTerminal(address_);
    if (!row) throw TUnknownTerminalError(address_);
    TTablePageModel model = LoadTablePage(c.dm.ADOC, page, address_);
    if (show_->parsed()) {
      Show(c.out, model);
      return kExitDone;
    }

    TJobs::TGuard job =
        c.dm.Jobs.Start("Sending " + std::string(PageInfo(page).caption) + " to " + row->fsLocation);
    if (!job) {
      c.err << "error: another terminal job is running: " << c.dm.Jobs.Caption() << '\n';
      return kExitFailed;
    }
    // The window's SEND leaves a list page's terminal as SelectedAddr; a script should not move it.
    TSettingsRecord settings = c.dm.Settings;
    settings.SetSelectedAddr(address_);
    const TTableSendReport report = SendTablePage({c.dm.Link, c.dm.ADOC, settings}, model,
                                                  {row->fsLocation, row->fsLocation, TAccessCheck::Version});
    c.ui.EndProgressLine();
    return report.result == TTableSendResult::Done ? kExitDone : kExitFailed;
  }

 private:
  static void Show(std::ostream& out, const TTablePageModel& m) {
    switch (m.page) {
      case TTablePage::Holidays:
        PrintRows(out, m.holidays, HolidayRowText);
        break;
      case TTablePage::Access:
        out << "Access levels\n";
        PrintRows(out, m.levels, AccessLevelRowText);
        out << "Time tables\n";
        PrintRows(out, m.timeTables, TimeTableRowText);
        break;
      case TTablePage::Alarm:
        PrintRows(out, m.alarms, AlarmRowText);
        break;
      case TTablePage::Message:
        PrintRows(out, m.cards, MessageRowText);
        break;
      case TTablePage::IDCard:
        PrintRows(out, m.cards, IDCardRowText);
        break;
      case TTablePage::Expired:
        PrintRows(out, m.expiries, ExpiryRowText);
        break;
      case TTablePage::Biometrics:
        PrintRows(out, m.cards, [](const TCardRow& r) {
          return CardRowText(r) + (r.hasTemplate ? "" : "  (no template)");
        });
        break;
      default:
        PrintRows(out, m.cards, CardRowText);
        break;
    }
  }

  CLI::App* send_ = nullptr;
  CLI::App* show_ = nullptr;
  std::string page_;
  std::string address_;
};

}  // namespace

std::unique_ptr<TCliCommand> MakeTablesCommand() {
  return std::make_unique<TTablesCommand>();
}

}  // namespace korvo
