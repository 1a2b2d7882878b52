#include "main/CurrentTerminal.h"

#include "link/CommandText.h"
#include "store/Clock.h"
#include "store/DataMod.h"
#include "store/OperatorUi.h"
#include "store/SettingsRecord.h"

namespace korvo {
namespace {
struct TQueryCloser {
  TQuery& q;
  ~TQueryCloser() { q.Close(); }
};
}  // namespace

std::string LabelAddress(const std::string& label) {
  // The address comes last and never holds a "[", while a location may ("Hall [North]"): the
  // address starts after the last " [" (at the very start for an empty location).
  std::size_t start = 0;
  if (std::size_t open = label.rfind(" ["); open != std::string::npos)
    start = open + 2;
  else if (std::size_t bracket = label.rfind('['); bracket != std::string::npos)
    start = bracket + 1;
  std::string address = label.substr(start);
  if (!address.empty()) address.pop_back();
  return address;
}

void SelectTerminal(TDM& dm, const std::string& label) {
  TSettingsRecord& s = dm.Settings;
  if (label.empty()) {
    s.SetCurAddr("");
    s.SetCurLocation("");
    return;
  }
  s.SetCurAddr(LabelAddress(label));
  TQueryCloser closer{dm.TermQry};
  if (dm.OpenAndSeek(dm.TermQry, "tTerminals", s.CurAddr(), "fsAddr")) {
    s.SetCurTermNo(dm.TermQry.FieldByName("fsTermNo").AsString());
    s.SetCurLocation(dm.TermQry.FieldByName("fsLocation").AsString());
    s.SetCurPort(static_cast<std::int32_t>(dm.TermQry.FieldByName("fnPort").AsInteger()));
  }
}

TClickResult TerminalClick(TDM& dm, const std::string& label, const TTerminalLink& link,
                           const TTerminalFollowers& followers) {
  TJobs::TGuard job = dm.Jobs.Start("Checking " + label);
  if (!job) {
    // Another conversation is under way; the current terminal stays as it is.
    dm.Ui.Beep();
    return TClickResult::Refused;
  }
  TSettingsRecord& s = dm.Settings;
  SelectTerminal(dm, label);
  dm.Clock.Pause(20);
  {
    TQueryCloser closer{dm.TermQry};
    dm.OpenAndSeek(dm.TermQry, "tTerminals", s.CurAddr(), "fsAddr");
    link.DialTerminal(s.CurAddr());
  }
  s.SetSelectedAddr(s.CurAddr());
  std::string reply = link.SendCommand(s.CurAddr(), "GETVER");
  if (!Contains(UpperCase(reply), "KORVO")) {
    dm.Ui.Warning("Can't access to " + s.CurLocation());
    // The next command dials again instead of trusting a call that did not answer.
    dm.Link.ModemLinkState.clear();
    followers.RunFailed();
    s.SetCurLocation(s.PrevLocation());
    s.SetCurAddr(s.PrevAddr());
    return TClickResult::Failed;
  }
  s.SetPrevLocation(s.CurLocation());
  s.SetPrevAddr(s.CurAddr());
  followers.RunPassed();
  return TClickResult::Passed;
}

}  // namespace korvo
