#include <CLI/CLI.hpp>
#include <ostream>

#include "cards/AccessGroupUpload.h"
#include "cards/CardPage.h"
#include "cli/Command.h"
#include "cli/ConsoleUi.h"
#include "link/CommandText.h"
#include "link/LinkErrors.h"
#include "link/LinkServices.h"
#include "store/DataMod.h"
#include "store/SettingsRecord.h"
#include "tables/ListField.h"
#include "tables/TableText.h"

namespace korvo {
namespace {

// A console that only counts: the list rebuilds of add, edit and delete need no meter.
class TQuietUi final : public TOperatorUi {
 public:
  explicit TQuietUi(TOperatorUi& inner) : inner_(inner) {}
  void Warning(const std::string& text) override {
    ++refusals;
    inner_.Warning(text);
  }
  void Information(const std::string& text) override { inner_.Information(text); }
  void Error(const std::string& text) override {
    ++refusals;
    inner_.Error(text);
  }
  bool AskYesNo(const std::string& text) override { return inner_.AskYesNo(text); }
  TAbortRetry AskAbortRetry(const std::string& text) override { return inner_.AskAbortRetry(text); }
  int refusals = 0;

 private:
  TOperatorUi& inner_;
};

// korvo2k-cli cards list|add|edit|delete|send ADDRESS: the Cardholders page of one terminal. Where
// the window keeps its working access group until Send, the command line keeps it as the terminal's
// stored fmAxGroup, so that add, edit and delete are sent by a later "cards send", which takes that
// list as its ticks and entries.
class TCardsCommand final : public TCliCommand {
 public:
  TCardsCommand()
      : TCliCommand(
            "cards",
            "cards list ADDRESS | add|edit ADDRESS CARD [options] | delete ADDRESS CARD | send ADDRESS",
            "list, add, edit or delete cardholders with a terminal's access group, or send that "
            "access group to the terminal") {}

  void AddArguments(CLI::App& command) override {
    command.require_subcommand(1);
    list_ =
        command.add_subcommand("list", "print the cardholders, [x] for those in the terminal's access group");
    add_ = command.add_subcommand("add", "add a cardholder to tEmployees and to the terminal's access group");
    edit_ = command.add_subcommand("edit",
                                   "change a cardholder of the access group, and with --also others of it, "
                                   "as Add / Edit changes the ticked rows");
    delete_ = command.add_subcommand("delete", "delete a cardholder and its entry of the access group");
    send_ = command.add_subcommand("send",
                                   "send the terminal's stored access group: PAR 22 and SYSTEM\\AXGROUP.DAT");
    for (CLI::App* sub : {list_, add_, edit_, delete_, send_}) {
      sub->fallthrough();
      sub->add_option("ADDRESS", address_, "the terminal's address (fsAddr of tTerminals)")->required();
    }
    for (CLI::App* sub : {add_, edit_, delete_})
      sub->add_option("CARD", edit.card, "the card number")->required();
    for (CLI::App* sub : {add_, edit_}) {
      sub->add_option("--id", edit.idNo, "ID number");
      sub->add_option("--name", edit.name, "name (\"-\" when left out)");
      sub->add_option("--access", edit.access, "access-time level, by description (None)");
      sub->add_option("--pin-time", edit.pinTime, "PIN-time level, by description (None)");
      sub->add_option("--pin", edit.pin, "six digits; missing ones are 0");
      sub->add_option("--relay", relay_, "relay code: 0 none, 1 relay 1, 2 relay 2, 3 both")
          ->check(CLI::Range(0, 3));
    }
    edit_->add_option("--also", also_, "other cards of the access group that take the levels and relay");
  }

  int Execute(TCliContext& c) override {
    const auto row = c.dm.Link.FindTerminal(address_);
    if (!row) throw TUnknownTerminalError(address_);
    if (send_->parsed()) return Send(c, row->fsLocation);

    TQuietUi ui(c.ui);
    TCardPage page = OpenCardPage(c.dm.ADOC, ui, address_);
    if (list_->parsed()) {
      List(c.out, page);
      return kExitDone;
    }
    if (delete_->parsed()) {
      if (!FindCardRow(page, TCardSearch::CardNo, edit.card)) {
        c.err << "error: " << NotFoundText(TCardSearch::CardNo) << '\n';
        return kExitFailed;
      }
      DeleteCard(c.dm.ADOC, ui, page, edit.card);
    } else {
      const bool stored = FindCardRow(page, TCardSearch::CardNo, edit.card).has_value();
      if (add_->parsed() && stored) {
        c.err << "error: the card " << edit.card << " is stored already: use cards edit\n";
        return kExitFailed;
      }
      if (edit_->parsed() && !stored) {
        c.err << "error: " << NotFoundText(TCardSearch::CardNo) << '\n';
        return kExitFailed;
      }
      if (edit_->parsed()) {
        for (auto& r : page.rows) r.ticked = EqualsNoCase(r.card, edit.card) || Listed(r.card);
        KeepUnlessGiven(page.rows[*FindCardRow(page, TCardSearch::CardNo, edit.card)]);
      }
      edit.relay1 = relay_ & 1;
      edit.relay2 = relay_ & 2;
      if (AddEditCard(c.dm.ADOC, ui, page, edit) == TCardEditOutcome::Refused) return kExitFailed;
    }
    if (ui.refusals) return kExitFailed;
    WriteTerminalList(c.dm.ADOC, address_, "fmAxGroup", page.group);
    return kExitDone;
  }

 private:
  // What edit is not given stays as the row shows it, as the window's edit group is filled from the
  // row clicked.
  void KeepUnlessGiven(const TCardListRow& row) {
    edit.card = row.card;
    if (!edit_->count("--id")) edit.idNo = row.idNo;
    if (!edit_->count("--name")) edit.name = row.name;
    if (!edit_->count("--access")) edit.access = row.access;
    if (!edit_->count("--pin-time")) edit.pinTime = row.pinTime;
    if (!edit_->count("--pin")) edit.pin = row.pin;
    if (!edit_->count("--relay")) relay_ = row.relay.empty() ? 0 : row.relay[0] - '0';
  }

  bool Listed(const std::string& card) const {
    for (const auto& a : also_)
      if (EqualsNoCase(a, card)) return true;
    return false;
  }

  static void List(std::ostream& out, const TCardPage& page) {
    for (const auto& r : page.rows)
      out << (r.ticked ? "[x] " : "[ ] ") << PadSpaces(r.card, kCardColumnWidths[0]) << ' '
          << PadSpaces(r.idNo, kCardColumnWidths[1]) << ' ' << PadSpaces(r.name, kCardColumnWidths[2]) << ' '
          << PadSpaces(r.access, kCardColumnWidths[3]) << ' ' << PadSpaces(r.pin, kCardColumnWidths[4]) << ' '
          << PadSpaces(r.pinTime, kCardColumnWidths[5]) << ' ' << r.relay << '\n';
  }

  int Send(TCliContext& c, const std::string& location) {
    TJobs::TGuard job = c.dm.Jobs.Start("Sending the access group to " + location);
    if (!job) {
      c.err << "error: another terminal job is running: " << c.dm.Jobs.Caption() << '\n';
      return kExitFailed;
    }
    TCardPage page = OpenCardPage(c.dm.ADOC, c.ui, address_);
    // The window trusts the main window's version check; here the terminal is asked.
    const bool answered = Contains(SendCommand(c.dm.Link, address_, "GETVER"), "KORVO");
    // SelectedAddr is the window's target; a script should not move it.
    TSettingsRecord settings = c.dm.Settings;
    settings.SetSelectedAddr(address_);
    const TCardSendReport report = SendAccessGroup({c.dm.Link, c.dm.ADOC, settings}, page,
                                                   {location, answered ? location : std::string()});
    c.ui.EndProgressLine();
    return report.result == TTableSendResult::Done ? kExitDone : kExitFailed;
  }

  CLI::App* list_ = nullptr;
  CLI::App* add_ = nullptr;
  CLI::App* edit_ = nullptr;
  CLI::App* delete_ = nullptr;
  CLI::App* send_ = nullptr;
  std::string address_;
  TCardEdit edit;
  int relay_ = 0;
  std::vector<std::string> also_;
};

}  // namespace

std::unique_ptr<TCliCommand> MakeCardsCommand() {
  return std::make_unique<TCardsCommand>();
}

}  // namespace korvo
