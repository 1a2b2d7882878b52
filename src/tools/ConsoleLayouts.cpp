#include "tools/ConsoleLayouts.h"

#include <algorithm>
#include <array>

#include "link/CommandText.h"
#include "link/ReplyTokens.h"
#include "store/TextCodec.h"

namespace korvo {
namespace {

using TWords = std::vector<std::string>;

// The table files of the SYSTEM folder that a TYPE lists word by word.
constexpr std::array kTableFiles{"AXMSGTB.DAT", "AXGROUP.DAT", "AXTIMET.DAT", "FKEYTAB.DAT", "ALARMTB.DAT",
                                 "SPCUSER.DAT", "BLGROUP.DAT", "HOLITBL.DAT", "ADMINTB.DAT", "EXPDATE.DAT"};

const std::string& Word(const TWords& words, std::size_t i) {
  if (i >= words.size())
    throw TShortReplyError("The reply has " + std::to_string(words.size()) +
                           " words; its layout reads word " + std::to_string(i) + ".");
  return words[i];
}

std::string Joined(const TWords& words, std::size_t first, std::size_t last) {
  std::string line;
  for (std::size_t i = first; i <= last; ++i) line += (i > first ? " " : "") + Word(words, i);
  return line;
}

std::string WithoutCr(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
  return text;
}

void EachWord(const TWords& words, TResultList& list) {
  for (const auto& w : words) list.Add(w);
}

bool LastWordAsks(const TWords& words) {
  return Contains(Word(words, words.empty() ? 0 : words.size() - 1), "?");
}

// Entries "dd/mm/yy hh:nn:ss EVENT ...", closed by "<count> Records".
void ShowSystemLog(const TWords& words, TResultList& list) {
  if (Word(words, 1) == "Records") {
    list.Add(words[0] + " " + words[1]);
    return;
  }
  std::string line;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& w = words[i];
    if (Contains(w, "/")) {
      list.Add(line);
      line = w + " ";
    } else if (w == "Records") {
      list.Add(line);
      list.Add(Word(words, i - 1) + " Records");
    } else if (i + 2 != words.size()) {
      line += w + " ";
    }
  }
}

// "PAR n value PAR n value ...": one line per parameter.
void ShowParameters(const TWords& words, TResultList& list) {
  std::string line;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (words[i] == "PAR" && i > 0) {
      list.Add("PAR " + line);
      line.clear();
    } else if (i + 1 == words.size()) {
      list.Add("PAR " + line + words[i]);
    } else if (i > 0) {
      line += words[i] + " ";
    }
  }
}

void ShowFolder(const std::string& command, const TWords& words, TResultList& list) {
  list.Add(Joined(words, 0, 3));
  if (command.size() >= 5) {
    // Name, size and state of each file; a group cut short is left out.
    for (std::size_t p = 6; p < words.size(); p += 3) list.Add(Joined(words, p - 2, p));
  } else {
    for (std::size_t i = 4; i < words.size(); ++i) list.Add(words[i]);
  }
}

}  // namespace

void ShowReply(const std::string& command, bool boxEmpty, const std::string& reply, TResultList& list,
               const std::function<void()>& between) {
  const auto has = [&](const char* word) { return Contains(command, word); };
  const TWords words = SplitReplyTokens(reply);
  if (has("TYPE TRANS\\")) {
    for (const auto& w : words) {
      if (list.Count() > kResultLineLimit) list.Clear();
      list.Add(w);
      if (between) between();
    }
  } else if (boxEmpty) {
    list.Add(WithoutCr(reply));
  } else if (has("SYSLOGDAT") && has("DELFILE")) {
    list.Add(TrimControl(reply));
  } else if (has("SYSLOGDAT")) {
    ShowSystemLog(words, list);
  } else if (has("TYPE") && has("TMPTABLE")) {
    if (LastWordAsks(words))
      list.Add(Joined(words, 0, 2));
    else
      EachWord(words, list);
  } else if (has("TYPE") && std::any_of(kTableFiles.begin(), kTableFiles.end(), has)) {
    EachWord(words, list);
  } else if (has("TYPE")) {
    if (LastWordAsks(words)) {
      std::string line;
      for (const auto& w : words) line += w + " ";
      list.Add(line);
    }
  } else if (has("LISTPAR")) {
    ShowParameters(words, list);
  } else if (has("DIR")) {
    ShowFolder(command, words, list);
  } else {
    list.Add(WithoutCr(reply));
  }
}

void ShowSystemFolder(const std::string& reply, TResultList& list) {
  const TWords w = SplitReplyTokens(reply);
  list.Add("Used " + Word(w, 1) + " " + Word(w, 2) + std::string(27, ' ') + "--> " + w[0] + " ");
  for (std::size_t i = 3; i + 5 < w.size(); i += 6)
    list.Add("Used     " + w[i + 1] + " " + w[i + 2] + ", " + w[i + 3] + " " + w[i + 4] + " " + w[i + 5] +
             " --> " + w[i]);
}

}  // namespace korvo
