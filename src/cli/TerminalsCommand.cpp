#include <unistd.h>

#include <CLI/CLI.hpp>
#include <iostream>
#include <istream>
#include <ostream>

#include "cli/Command.h"
#include "cli/ConsoleUi.h"
#include "collect/MappingTable.h"
#include "store/DataMod.h"
#include "tools/Communication.h"

namespace korvo {
namespace {

// korvo2k-cli terminals list|add|edit|remove|test: the terminal list of the Communication window,
// with its rules: an address is stored once, the fields fit the settings record, a location that is
// empty or names another terminal too is warned about.
class TTerminalsCommand final : public TCliCommand {
 public:
  TTerminalsCommand()
      : TCliCommand("terminals",
                    "terminals list | add ADDRESS [options] | edit ADDRESS [--address NEW] [options] | "
                    "remove ADDRESS [--yes] | test ADDRESS",
                    "list, add, edit or remove the terminals of the database, or test the link to one") {}

  void AddArguments(CLI::App& command) override {
    command.require_subcommand(1);
    list_ = command.add_subcommand("list",
                                   "print every terminal: address, number, location and port, tab-separated");
    add_ = command.add_subcommand("add", "add a terminal");
    edit_ = command.add_subcommand("edit", "change the fields given of a terminal");
    remove_ = command.add_subcommand("remove", "remove a terminal, with its table lists");
    remove_->add_flag("--yes", yes_, "do not ask; needed when stdin is no terminal");
    test_ = command.add_subcommand("test", "send GETVER and tell whether the terminal answers as a KORVO");
    for (CLI::App* sub : {add_, edit_, remove_, test_}) {
      sub->fallthrough();
      sub->add_option("ADDRESS", address_,
                      "the terminal's address: a bus address 0-255, a dotted IPv4 address, or a phone "
                      "number - bit rate; each may end in @ and a logon code")
          ->required();
    }
    list_->fallthrough();
    for (CLI::App* sub : {add_, edit_}) {
      sub->add_option("--termno", fields_.termNo, "terminal number, up to 3 characters")->type_name("N");
      sub->add_option("--location", fields_.location, "location, up to 15 characters")->type_name("TEXT");
      sub->add_option("--port", fields_.port,
                      "serial port number (COM n), or the TCP port of a network terminal")
          ->type_name("N");
    }
    edit_->add_option("--address", newAddress_, "the new address")->type_name("NEW");
  }

  int Execute(TCliContext& c) override {
    TMappingTable table(c.dm.ADOC, kTerminalsTable);
    table.Refresh();
    if (list_->parsed()) {
      for (int i = 0; i < table.RowCount(); ++i) {
        const auto& r = table.Row(i);
        c.out << r[0] << '\t' << r[1] << '\t' << r[2] << '\t' << r[3] << '\n';
      }
      return kExitDone;
    }
    if (test_->parsed()) return TestCommunication(c.dm.Link, c.ui, address_) ? kExitDone : kExitFailed;

    const int row = Find(table, address_);
    if (add_->parsed() && row >= 0)
      return Refuse(c, "the terminal " + address_ + " is stored already: use terminals edit");
    if (!add_->parsed() && row < 0) return Refuse(c, "no terminal has the address " + address_);
    if (remove_->parsed()) {
      if (!yes_ && !Confirmed(c)) return failed_ ? kExitFailed : kExitDone;
      table.MoveTo(row);
      table.Delete();
      return kExitDone;
    }

    TTerminalFields f = fields_;
    f.address = address_;
    if (edit_->parsed()) {
      const auto& stored = table.Row(row);
      if (edit_->count("--address")) f.address = newAddress_;
      if (!edit_->count("--termno")) f.termNo = stored[1];
      if (!edit_->count("--location")) f.location = stored[2];
      if (!edit_->count("--port")) f.port = stored[3];
    }
    if (const auto why = RefuseTerminalFields(f)) return Refuse(c, *why);
    if (add_->parsed()) {
      table.Insert();
    } else {
      table.MoveTo(row);
    }
    const int at = table.Current();
    const std::string values[] = {f.address, f.termNo, f.location, f.port};
    for (int column = 0; column < 4; ++column) table.SetValue(at, column, values[column]);
    table.Post();
    if (const auto warning = LocationWarning(c.dm.ADOC, f.address)) c.err << "warning: " << *warning << '\n';
    return kExitDone;
  }

 private:
  static int Find(const TMappingTable& table, const std::string& address) {
    for (int i = 0; i < table.RowCount(); ++i)
      if (table.Row(i)[0] == address) return i;
    return -1;
  }
  // The grid's "Delete record?": only a person can say yes, a script says so with --yes.
  bool Confirmed(TCliContext& c) {
    if (&c.in == &std::cin && !::isatty(STDIN_FILENO)) {
      c.err << "error: stdin is no terminal; give --yes to remove the terminal " << address_ << '\n';
      failed_ = true;
      return false;
    }
    c.out << "Delete record? [y/N] " << std::flush;
    std::string answer;
    std::getline(c.in, answer);
    if (answer == "y" || answer == "Y" || answer == "yes") return true;
    c.out << "Nothing removed.\n";
    return false;
  }
  static int Refuse(TCliContext& c, const std::string& why) {
    c.err << "error: " << why << '\n';
    return kExitFailed;
  }

  CLI::App* list_ = nullptr;
  CLI::App* add_ = nullptr;
  CLI::App* edit_ = nullptr;
  CLI::App* remove_ = nullptr;
  CLI::App* test_ = nullptr;
  std::string address_;
  std::string newAddress_;
  TTerminalFields fields_;
  bool yes_ = false;
  bool failed_ = false;
};

}  // namespace

std::unique_ptr<TCliCommand> MakeTerminalsCommand() {
  return std::make_unique<TTerminalsCommand>();
}

}  // namespace korvo
