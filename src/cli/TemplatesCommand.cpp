#include <CLI/CLI.hpp>
#include <algorithm>
#include <ostream>

#include "cli/Command.h"
#include "cli/ConsoleUi.h"
#include "store/DataMod.h"
#include "tables/Templates.h"

namespace korvo {
namespace {

constexpr const char* kTemplatesUsage =
    "templates get ADDRESS [CARD...] | send ADDRESS CARD...|--all | remove ADDRESS CARD...";

// korvo2k-cli templates get|send|remove: the Biometrics page's Get, SEND and Remove for a network terminal,
// with the cards given in place of the ticked rows. `send --all` sends every cardholder that has a template.
class TTemplatesCommand final : public TCliCommand {
 public:
  TTemplatesCommand()
      : TCliCommand("templates", kTemplatesUsage,
                    "copy fingerprint templates between a network terminal and the database, or delete them "
                    "from the terminal") {}

  void AddArguments(CLI::App& command) override {
    command.require_subcommand(1);
    get_ = command.add_subcommand(
        "get",
        "fetch the cards' templates into the database; without cards every template of the terminal, "
        "making cardholders of unknown cards and the terminal's list the cards found");
    send_ = command.add_subcommand(
        "send",
        "replace the cards' templates on the terminal with the database's and add the cards to its list");
    remove_ = command.add_subcommand(
        "remove", "delete the cards' templates from the terminal and their lines from its list");
    for (CLI::App* sub : {get_, send_, remove_}) {
      sub->fallthrough();
      sub->add_option("ADDRESS", address_, "the terminal's address (fsAddr of tTerminals), a network address")
          ->required();
      sub->add_option("CARD", cards_, "card numbers (fsCardNo)");
    }
    remove_->get_option("CARD")->required();
    send_->add_flag("--all", all_, "every cardholder whose template the database holds");
    send_->callback([this] {
      if (all_ && !cards_.empty()) throw CLI::ValidationError("CARD", "give the cards or --all, not both");
      if (!all_ && cards_.empty())
        throw CLI::ValidationError("CARD", "give the cards, or --all for every cardholder with a template");
    });
  }

  int Execute(TCliContext& c) override {
    TJobs::TGuard job = c.dm.Jobs.Start("Fingerprint templates of " + address_);
    if (!job) {
      c.err << "error: another terminal job is running: " << c.dm.Jobs.Caption() << '\n';
      return kExitFailed;
    }
    const TTemplateJob templates = TemplateJobOf(c.dm);
    if (get_->parsed()) return Get(c, templates);
    if (send_->parsed()) return Send(c, templates);
    return Remove(c, templates);
  }

 private:
  int Get(TCliContext& c, const TTemplateJob& job) {
    const TTemplateGetReport r = GetTemplates(job, address_, cards_, {});
    c.ui.EndProgressLine();
    for (const auto& card : r.stored) {
      const bool made = std::find(r.inserted.begin(), r.inserted.end(), card) != r.inserted.end();
      c.out << card << (made ? " : new cardholder\n" : " : stored\n");
    }
    for (const auto& card : r.missed)
      c.err << "error: the templates of card " << card
            << " did not arrive whole; the database keeps its own\n";
    return r.outcome == TTemplateOutcome::Done && r.missed.empty() ? kExitDone : kExitFailed;
  }

  int Send(TCliContext& c, const TTemplateJob& job) {
    if (all_) cards_ = CardsWithTemplates(c.dm.ADOC);
    const TTemplateSendReport r = SendTemplates(job, address_, address_, cards_, {});
    c.ui.EndProgressLine();
    for (const auto& card : r.stored) c.out << card << " : sent\n";
    for (const auto& card : r.empty) c.out << card << " : no template, listed\n";
    for (const auto& card : r.failed) {
      const bool garbled = std::find(r.garbled.begin(), r.garbled.end(), card) != r.garbled.end();
      c.err << "error: card " << card
            << (garbled ? ": its template text is no hexadecimal; nothing was sent\n"
                        : ": the terminal refused its template\n");
    }
    return r.outcome == TTemplateOutcome::Done && r.failed.empty() ? kExitDone : kExitFailed;
  }

  int Remove(TCliContext& c, const TTemplateJob& job) {
    const TTemplateRemoveReport r = RemoveTemplates(job, address_, cards_, {});
    c.ui.EndProgressLine();
    for (const auto& card : r.removed) c.out << card << " : removed\n";
    return r.outcome == TTemplateOutcome::Done ? kExitDone : kExitFailed;
  }

  static std::vector<std::string> CardsWithTemplates(TDatabase& db) {
    TQuery q(db);
    q.SetSQL("SELECT fsCardNo FROM tEmployees WHERE fmBioData <> '' ORDER BY fsCardNo");
    std::vector<std::string> cards;
    for (q.Open(); !q.Eof(); q.Next()) cards.push_back(q.Field(0).AsString());
    return cards;
  }

  CLI::App* get_ = nullptr;
  CLI::App* send_ = nullptr;
  CLI::App* remove_ = nullptr;
  std::string address_;
  std::vector<std::string> cards_;
  bool all_ = false;
};

}  // namespace

std::unique_ptr<TCliCommand> MakeTemplatesCommand() {
  return std::make_unique<TTemplatesCommand>();
}

}  // namespace korvo
