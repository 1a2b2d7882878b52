#include "tables/Templates.h"

#include <algorithm>
#include <optional>

#include "link/LinkContext.h"
#include "link/LinkServices.h"
#include "store/DataMod.h"
#include "store/Database.h"
#include "store/OperatorUi.h"
#include "store/TextCodec.h"
#include "tables/ListField.h"
#include "tables/TableText.h"
#include "tables/TemplateText.h"

namespace korvo {
namespace {

constexpr const char* kUserList = "fmBioUsrLst";

bool StopRequested(const TLinkContext& link) {
  return link.StopRequested && link.StopRequested();
}

// The meter's range for `count` steps; its current maximum when there are none.
void Range(TLinkContext& link, std::size_t count) {
  link.Ui.ProgressNotice(
      "0-" + std::to_string(count == 0 ? link.Ui.ProgressMaximum() : static_cast<int>(count) - 1));
}
void Position(TLinkContext& link, std::size_t k) {
  link.Ui.ProgressNotice(std::to_string(k));
}

// Why a template job may not talk to `address`; empty when it may. Templates go over TCP/IP only,
// where any other terminal would silently answer nothing and every card would seem refused.
std::string AddressRefusal(TDatabase& db, const std::string& address, bool network) {
  if (address.empty()) return "No terminal is selected.";
  TQuery q(db);
  q.SetSQL("SELECT fsAddr FROM tTerminals WHERE fsAddr = ?", {TextValue(address)});
  q.Open();
  if (q.IsEmpty()) return "No terminal has the address " + address + ".";
  if (network && address.find('.') == std::string::npos)
    return "Fingerprint templates travel over the network only: " + address + " is no network terminal.";
  return {};
}

template <class TReport>
bool Refuse(TLinkContext& link, TReport& report, TTemplateOutcome outcome, std::string why) {
  if (why.empty()) return false;
  report.outcome = outcome;
  report.refusal = std::move(why);
  link.Ui.Warning(report.refusal);
  return true;
}

std::string TemplateTextOf(TDatabase& db, const std::string& card) {
  TQuery q(db);
  q.SetSQL("SELECT fmBioData FROM tEmployees WHERE fsCardNo = ?", {TextValue(card)});
  q.Open();
  return q.IsEmpty() ? std::string() : q.Field(0).AsString();
}

int StoreTemplateText(TDatabase& db, const std::string& card, const std::string& text) {
  return db.Execute("UPDATE tEmployees SET fmBioData = ? WHERE fsCardNo = ?",
                    {TextValue(text), TextValue(card)});
}

void InsertCardholder(TDatabase& db, const std::string& card, const std::string& text) {
  db.Execute("INSERT INTO tEmployees (fsCardNo, fsIDNo, fsName, fsPIN, fmBioData) VALUES (?, ?, ?, ?, ?)",
             {TextValue(card), TextValue(card), TextValue("-"), TextValue("000000"), TextValue(text)});
}

// One card of a SEND: the old templates deleted, then each piece offered with "TMPSAVE" and sent when
// the terminal takes it. The card went in when the last command sent for it was answered "OK".
bool SendCard(const TTemplateJob& job, const std::string& address, const std::string& card,
              const std::vector<std::string>& pieces) {
  SendNetCommand(job.Link, address, "DELTEMP " + card + "\r");
  std::string last;
  for (const auto& bytes : pieces) {
    last = SendNetCommand(job.Link, address, "TMPSAVE " + card);
    if (IsOkReply(last)) last = SendNetCommand(job.Link, address, bytes);
  }
  return IsOkReply(last);
}

// Templates fetched one request after the other between "LOCKSYS" and "UNLOCKSYS"; nothing on a stop.
std::optional<std::vector<TFetched>> FetchTemplates(const TTemplateJob& job, const std::string& address,
                                                    const std::vector<TTableEntry>& requests) {
  Range(job.Link, requests.size());
  std::vector<TFetched> fetched;
  for (std::size_t k = 0; k < requests.size(); ++k) {
    if (StopRequested(job.Link)) {
      SendNetCommand(job.Link, address, "UNLOCKSYS");
      return std::nullopt;
    }
    const std::string& card = requests[k].card;
    const std::string reply =
        SendNetCommand(job.Link, address, "TMPDATA " + card + " " + requests[k].finger + "\r");
    fetched.push_back({card, FetchedTemplateText(reply)});
    Position(job.Link, k + 1);
  }
  SendNetCommand(job.Link, address, "UNLOCKSYS");
  return MergeFetched(std::move(fetched));
}

// The ticked cards' templates; false when CHKTEMP gave no card a finger to fetch.
bool GetSelected(const TTemplateJob& job, const std::string& address, const std::vector<std::string>& cards,
                 TTemplateGetReport& r) {
  std::vector<TTableEntry> requests;
  for (const auto& card : cards) {
    // A reply that is no number asks for finger 0.
    const int which = ReplyInteger(SendNetCommand(job.Link, address, "CHKTEMP " + card)).value_or(1);
    if (which == 1 || which == 2) requests.push_back({card, which == 1 ? "0" : "1"});
  }
  if (requests.empty()) return false;
  SendNetCommand(job.Link, address, "LOCKSYS\r");
  const auto fetched = FetchTemplates(job, address, requests);
  if (!fetched) {
    r.outcome = TTemplateOutcome::Stopped;
    return true;
  }
  TTransaction transaction(job.Db);
  for (const auto& f : *fetched) {
    if (!f.text)
      r.missed.push_back(f.card);
    else if (StoreTemplateText(job.Db, f.card, *f.text) > 0)
      r.stored.push_back(f.card);
  }
  r.list = SortedList(ReadTerminalList(job.Db, address, kUserList));
  WriteTerminalList(job.Db, address, kUserList, r.list);
  transaction.Commit();
  return true;
}

// Every template the terminal lists; its cards become the terminal's list.
void GetAll(const TTemplateJob& job, const std::string& address, int cardDigits, TTemplateGetReport& r) {
  r.all = true;
  const std::string countReply = SendNetCommand(job.Link, address, "FINGERS\r");
  const std::optional<int> count = ReplyInteger(countReply);
  if (!count)
    throw TTemplateCountError("The terminal's template count \"" + TrimControl(countReply) +
                              "\" is no number.");
  const std::string table = SendNetCommand(job.Link, address, "LOCKSYS\rTYPE TMPTABLE\r", *count);
  if (*count > 0 && TemplateTableRanOut(table)) {
    SendNetCommand(job.Link, address, "UNLOCKSYS");
    r.outcome = TTemplateOutcome::RanOut;
    job.Link.Ui.Warning("The template table of " + address + " did not come whole. Nothing was changed.");
    return;
  }
  const auto fetched = FetchTemplates(job, address, TemplateTableEntries(table));
  if (!fetched) {
    r.outcome = TTemplateOutcome::Stopped;
    return;
  }
  TTransaction transaction(job.Db);
  for (const auto& f : *fetched) {
    const std::string card = PadZeros(f.card, cardDigits);
    r.list.push_back(card);
    if (!f.text) {
      r.missed.push_back(card);
      continue;
    }
    if (StoreTemplateText(job.Db, card, *f.text) == 0) {
      InsertCardholder(job.Db, card, *f.text);
      r.inserted.push_back(card);
    }
    r.stored.push_back(card);
  }
  WriteTerminalList(job.Db, address, kUserList, r.list);
  transaction.Commit();
}

}  // namespace

TTemplateJob TemplateJobOf(TDM& dm) {
  return {dm.Link, dm.ADOC};
}

TTemplateSendReport SendTemplates(const TTemplateJob& job, const std::string& selectedAddr,
                                  const std::string& listAddr, const std::vector<std::string>& cards,
                                  const TBioPage& page) {
  TLinkContext& link = job.Link;
  TTemplateSendReport r;
  if (Refuse(link, r, TTemplateOutcome::Refused, AddressRefusal(job.Db, selectedAddr, false)) ||
      Refuse(link, r, TTemplateOutcome::Refused, AddressRefusal(job.Db, listAddr, true)))
    return r;
  link.Ui.ProgressNotice("");
  ReadCardDigits(link, selectedAddr);  // asked on every SEND of the Tables window, though templates need none
  if (Refuse(link, r, TTemplateOutcome::NoAccess,
             page.caption == page.curLocation ? std::string() : "Can't access to " + page.caption))
    return r;
  if (page.Select) page.Select(listAddr);
  SendNetCommand(link, listAddr, "\r");

  const std::vector<std::string> sorted = SortedList(cards);
  if (sorted.empty()) {
    link.Ui.ProgressNotice("0-0");
  } else {
    Range(link, sorted.size());
    // Every text is decoded before the terminal is locked: a damaged one must not stop the job half-way.
    std::vector<std::optional<std::vector<std::string>>> pieces;
    for (const auto& card : sorted) pieces.push_back(DecodeTemplatePieces(TemplateTextOf(job.Db, card)));
    SendNetCommand(link, listAddr, "LOCKSYS\r");
    std::vector<std::string> sent, refused;
    for (std::size_t i = 0; i < sorted.size(); ++i) {
      if (StopRequested(link)) {
        r.outcome = TTemplateOutcome::Stopped;
        break;
      }
      const std::string& card = sorted[i];
      if (!pieces[i]) {
        // Nothing went out for it: the terminal and its list stay as they were for this card.
        r.failed.push_back(card);
        r.garbled.push_back(card);
      } else {
        const bool empty = pieces[i]->size() == 1 && pieces[i]->front().empty();
        if (empty)
          r.empty.push_back(card);
        else if (SendCard(job, listAddr, card, *pieces[i]))
          r.stored.push_back(card);
        else
          refused.push_back(card);
        sent.push_back(card);
      }
      Position(link, i + 1);
    }
    r.failed.insert(r.failed.end(), refused.begin(), refused.end());
    SendNetCommand(link, listAddr, "UNLOCKSYS\r");

    std::vector<std::string> lines = ReadTerminalList(job.Db, listAddr, kUserList);
    lines.insert(lines.begin(), sent.begin(), sent.end());
    std::erase_if(lines, [&](const std::string& line) {
      return std::find(refused.begin(), refused.end(), line) != refused.end();
    });
    r.list = SortedList(std::move(lines));
    WriteTerminalList(job.Db, listAddr, kUserList, r.list);
  }
  if (page.ShowList) page.ShowList(listAddr);
  if (r.outcome == TTemplateOutcome::Done) {
    link.Ui.ProgressNotice(std::to_string(link.Ui.ProgressMaximum()));
    link.Ui.Information("Job Complete.");
  }
  return r;
}

TTemplateGetReport GetTemplates(const TTemplateJob& job, const std::string& address,
                                const std::vector<std::string>& cards, const TBioPage& page) {
  TLinkContext& link = job.Link;
  TTemplateGetReport r;
  if (Refuse(link, r, TTemplateOutcome::Refused, AddressRefusal(job.Db, address, true))) return r;
  try {
    const int cardDigits = ReadCardDigits(link, address);
    if (Refuse(link, r, TTemplateOutcome::NoAccess,
               page.caption == page.curLocation ? std::string() : "Can't access to " + page.caption))
      return r;
    if (!GetSelected(job, address, cards, r)) GetAll(job, address, cardDigits, r);
  } catch (...) {
    if (page.ShowList) page.ShowList(address);
    throw;
  }
  if (r.outcome == TTemplateOutcome::Done) link.Ui.Information("Job Complete.");
  if (page.ShowList) page.ShowList(address);
  return r;
}

TTemplateRemoveReport RemoveTemplates(const TTemplateJob& job, const std::string& address,
                                      const std::vector<std::string>& cards, const TBioPage& page) {
  TLinkContext& link = job.Link;
  TTemplateRemoveReport r;
  if (Refuse(link, r, TTemplateOutcome::Refused, AddressRefusal(job.Db, address, true))) return r;
  link.Ui.ProgressNotice("");
  Range(link, cards.size());
  if (!cards.empty()) {
    const std::vector<std::string> sorted = SortedList(cards);
    SendNetCommand(link, address, "LOCKSYS\r");
    for (std::size_t i = 0; i < sorted.size(); ++i) {
      if (StopRequested(link)) {
        r.outcome = TTemplateOutcome::Stopped;
        break;
      }
      SendNetCommand(link, address, "DELTEMP " + sorted[i] + "\r\n");
      r.removed.push_back(sorted[i]);
      Position(link, i + 1);
    }
    SendNetCommand(link, address, "UNLOCKSYS\r");
    // The lines of removed cards become empty lines; the others keep their place.
    r.list = SortLines(ReadTerminalList(job.Db, address, kUserList));
    for (auto& line : r.list)
      if (std::any_of(r.removed.begin(), r.removed.end(), [&](const auto& c) { return SameText(line, c); }))
        line.clear();
    WriteTerminalList(job.Db, address, kUserList, r.list);
  }
  if (page.ShowList) page.ShowList(address);
  return r;
}

}  // namespace korvo
