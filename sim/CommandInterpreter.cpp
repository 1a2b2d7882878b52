#include "CommandInterpreter.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace korvosim {

namespace {

std::string trim(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return std::string(s.substr(b, e - b));
}

std::string upper(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// Splits off the first word; the rest starts after the blanks that follow it.
std::pair<std::string, std::string> splitWord(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && s[i] != ' ') ++i;
  std::string word(s.substr(0, i));
  while (i < s.size() && s[i] == ' ') ++i;
  return {word, std::string(s.substr(i))};
}

bool parseInt(const std::string& s, int& out) {
  if (s.empty()) return false;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && p == s.data() + s.size();
}

Reply syntaxError() {
  return lineReply("?", kFail);
}
Reply failed() {
  return lineReply("", kFail);
}
Reply ok() {
  return lineReply("", kOk);
}

bool isListingCommand(const std::string& word) {
  return word == "DIR" || word == "TYPE" || word == "LISTPAR";
}

// "DDMMYY.DAT" ordered by date; other names after them, by name.
std::string transSortKey(const std::string& name) {
  bool dated = name.size() >= 6 && std::all_of(name.begin(), name.begin() + 6, [](char c) {
                 return std::isdigit(static_cast<unsigned char>(c));
               });
  if (!dated) return "1" + name;
  return "0" + name.substr(4, 2) + name.substr(2, 2) + name.substr(0, 2) + name.substr(6);
}

std::vector<std::string> transNames(const FileStore& files) {
  auto names = files.names("TRANS");
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return transSortKey(a) < transSortKey(b); });
  return names;
}

}  // namespace

Reply listingReply(const std::vector<std::string>& lines) {
  Reply r;
  for (const auto& l : lines) r.text += l + "\r\n";
  r.text += std::string(kEnd) + "\r\n";
  r.token = kEnd;
  r.listing = true;
  return r;
}

Reply listingError(const std::string& text) {
  Reply r;
  r.text = text + " ?" + kEnd + "\r\n";
  r.token = kEnd;
  return r;
}

Reply Terminal::execute(std::string_view line, SessionState& session, Transport transport) {
  std::lock_guard lock(mutex_);
  const auto scripted = overrides_.take(line);
  if (!scripted) return CommandInterpreter(*this, session, transport).run(line);
  switch (scripted->kind) {
    case ReplyOverride::Kind::Text:
      return fixedReply(scripted->text);
    case ReplyOverride::Kind::Fail:
      return failed();
    case ReplyOverride::Kind::Silent:
      return {};
    case ReplyOverride::Kind::Restart:
      CommandInterpreter(*this, session, transport).restart();
      return {};
    case ReplyOverride::Kind::Partial:
      break;
  }
  return partialReply(CommandInterpreter(*this, session, transport).run(line), scripted->bytes);
}

Reply CommandInterpreter::blank() const {
  if (!t_.options_.blankReply) return {};
  return lineReply(*t_.options_.blankReply);
}

Reply CommandInterpreter::refused(const std::string& word) const {
  if (isListingCommand(word)) return listingError("LOGON REQUIRED");
  return failed();
}

Reply CommandInterpreter::run(std::string_view raw) {
  const std::string line = trim(raw);
  if (line.empty()) return blank();
  auto [word0, args] = splitWord(line);
  const std::string word = upper(word0);

  if (word == "SETLOGON") return setLogon(trim(args));
  if (!t_.options_.logonCode.empty() && !session_.loggedOn) return refused(word);
  // "UNLOCKSYS" and "RESTART" leave an upload that never got its "*"; no record looks like them.
  if (t_.loading_ && word != "UNLOCKSYS" && word != "RESTART") return loadRecord(raw);
  if (t_.loading_) t_.loading_.reset();

  if (word == "GETVER") return lineReply(t_.options_.version, kOk);
  if (word == "PAR" || word == "SETPAR") return par(args);
  if (word == "LISTPAR") return listPar();
  if (word == "SFMPAR") return sfmPar(args);
  if (word == "TIME") return time(args);
  if (word == "LOCKSYS" || word == "UNLOCKSYS") {
    t_.locked_ = word == "LOCKSYS";
    t_.log(word);
    return ok();
  }
  if (word == "DIR") return dir(args);
  if (word == "TYPE") return type(args);
  if (word == "SYSLOGDAT") return systemLog();
  if (word == "DELFILE") return delFile(args);
  if (word == "LOAD") return load(args);
  if (word == "RMDIR" || word == "MKDIR") {
    const std::string folder = FileStore::normalize(args);
    const bool done = word == "RMDIR" ? t_.files_.removeFolder(folder) : t_.files_.makeFolder(folder);
    if (!done) return failed();
    t_.log(word + " " + folder);
    return ok();
  }
  if (word == "FLAGTRANS") return flagTrans(args);
  if (word == "RESTART") return restart();
  if (word == "ADDREC") return addRec(args);
  if (word == "FINGERS") return lineReply(std::to_string(t_.templates_.size()));
  if (word == "TMPSAVE") return tmpSave(trim(args));
  if (word == "TMPDATA") return tmpData(args);
  if (word == "CHKTEMP") {
    const std::string card = trim(args);
    if (card.empty()) return syntaxError();
    return lineReply(std::to_string(t_.templates_.fingerMask(card)));
  }
  if (word == "DELTEMP") {
    const std::string card = trim(args);
    if (card.empty()) return syntaxError();
    if (!t_.templates_.removeCard(card)) return failed();
    t_.log("DELTEMP " + card);
    return ok();
  }
  return syntaxError();
}

Reply CommandInterpreter::setLogon(const std::string& code) {
  const std::string& mine = t_.options_.logonCode;
  if (mine.empty()) return ok();
  if (code == mine) {
    session_.loggedOn = true;
    return ok();
  }
  if (code == "0") {
    session_.loggedOn = false;
    return ok();
  }
  session_.loggedOn = false;
  return failed();
}

// Between "LOAD" and "*" every line is a record of the file, kept as received (trailing blanks are part of
// message records). "SETLOGON" lines, which the serial line sends around every command text, are commands.
Reply CommandInterpreter::loadRecord(std::string_view raw) {
  std::string record(raw);
  while (!record.empty() && (record.back() == '\r' || record.back() == '\n')) record.pop_back();
  if (trim(record) == kEnd) {
    const auto* f = t_.files_.find(*t_.loading_);
    t_.log("LOAD " + *t_.loading_ + " " + std::to_string(f ? f->records.size() : 0));
    t_.loading_.reset();
    return ok();
  }
  if (!t_.files_.append(*t_.loading_, record)) {
    t_.loading_.reset();
    return failed();
  }
  return lineReply("", kRecord);
}

Reply CommandInterpreter::par(const std::string& args) {
  auto [num, value] = splitWord(args);
  int n = 0;
  if (!parseInt(num, n)) return syntaxError();
  if (!ParameterTable::valid(n)) return failed();
  if (trim(value).empty()) return lineReply("PAR " + std::to_string(n) + " = " + t_.params_.get(n));
  t_.params_.set(n, value);
  t_.log("PAR " + std::to_string(n) + " SET");
  return ok();
}

Reply CommandInterpreter::listPar() const {
  std::vector<std::string> lines;
  for (int n = ParameterTable::kFirst; n <= ParameterTable::kLast; ++n)
    lines.push_back("PAR " + std::to_string(n) + " " + t_.params_.get(n));
  return listingReply(lines);
}

Reply CommandInterpreter::sfmPar(const std::string& args) {
  auto [num, value] = splitWord(args);
  int n = 0;
  if (!parseInt(num, n) || n < 0) return syntaxError();
  if (trim(value).empty()) return lineReply(t_.params_.sfm(n));
  t_.params_.setSfm(n, trim(value));
  t_.log("SFMPAR " + std::to_string(n) + " SET");
  return ok();
}

Reply CommandInterpreter::time(const std::string& args) {
  const std::string digits = trim(args);
  if (digits.empty()) return lineReply(t_.clock_.text());
  if (!t_.clock_.setText(digits)) return syntaxError();
  t_.log("TIME SET");
  return ok();
}

Reply CommandInterpreter::dir(const std::string& args) const {
  std::string folder = FileStore::normalize(args);
  while (!folder.empty() && folder.back() == '\\') folder.pop_back();
  const FileStore& fs = t_.files_;
  std::vector<std::string> lines;
  if (folder.empty()) {
    std::size_t total = 0;
    std::vector<std::string> entries;
    for (const auto& f : fs.folders()) entries.push_back(f + "\\");
    for (const auto& name : fs.names("")) {
      entries.push_back(name);
      total += FileStore::bytes(*fs.find(name));
    }
    for (const auto& f : fs.folders())
      for (const auto& name : fs.names(f)) total += FileStore::bytes(*fs.find(f + "\\" + name));
    lines.push_back("ROOT " + std::to_string(total) + " Bytes Used");
    lines.insert(lines.end(), entries.begin(), entries.end());
    return listingReply(lines);
  }
  if (!fs.folderExists(folder) || folder.find('\\') != std::string::npos)
    return listingError("DIRECTORY NOT FOUND");
  std::size_t total = 0;
  if (folder == "TRANS") {
    // Four header words, then name, record count and state of each file.
    for (const auto& name : transNames(fs)) {
      const auto* f = fs.find("TRANS\\" + name);
      total += FileStore::bytes(*f);
      lines.push_back(name + " " + std::to_string(f->records.size()) + " " +
                      (f->flagged ? "FLAGGED" : "NEW"));
    }
    lines.insert(lines.begin(), "TRANS " + std::to_string(total) + " Bytes Used");
    return listingReply(lines);
  }
  // Three header words, then six words a file: name, bytes, "Bytes", records, "x", record length.
  for (const auto& name : fs.names(folder)) {
    const auto* f = fs.find(folder + "\\" + name);
    const std::size_t bytes = FileStore::bytes(*f);
    std::size_t width = 0;
    for (const auto& r : f->records) width = std::max(width, r.size());
    total += bytes;
    lines.push_back(name + " " + std::to_string(bytes) + " Bytes " + std::to_string(f->records.size()) +
                    " x " + std::to_string(width));
  }
  lines.insert(lines.begin(), folder + " " + std::to_string(total) + " Bytes");
  return listingReply(lines);
}

Reply CommandInterpreter::type(const std::string& args) const {
  const std::string path = FileStore::normalize(args);
  if (path.empty()) return listingError("FILE NOT FOUND");
  if (path == "TRANS\\") return typeTransAll();
  if (path == "TMPTABLE") return templateTable();
  if (path == "SYSLOGDAT") return systemLog();
  const auto* f = t_.files_.find(path);
  if (!f) return listingError("FILE NOT FOUND");
  return listingReply(f->records);
}

Reply CommandInterpreter::typeTransAll() const {
  if (!t_.files_.folderExists("TRANS")) return listingError("DIRECTORY NOT FOUND");
  std::vector<std::string> lines;
  for (const auto& name : transNames(t_.files_)) {
    const auto& recs = t_.files_.find("TRANS\\" + name)->records;
    lines.insert(lines.end(), recs.begin(), recs.end());
  }
  return listingReply(lines);
}

// One line a template: the card number, ":" and the finger index.
Reply CommandInterpreter::templateTable() const {
  const auto keys = t_.templates_.keys();
  if (keys.empty()) return listingError("TMPTABLE NOT FOUND");
  std::vector<std::string> lines;
  for (const auto& k : keys) lines.push_back(k.card + ":" + std::to_string(k.finger));
  return listingReply(lines);
}

// The whole log on one line: each entry starts with its date word (the only words holding "/"), and the count
// with the word "Records" closes it.
Reply CommandInterpreter::systemLog() const {
  std::string text;
  for (const auto& e : t_.log_) text += e + " ";
  text += std::to_string(t_.log_.size()) + " Records";
  return lineReply(text);
}

Reply CommandInterpreter::delFile(const std::string& args) {
  const std::string path = FileStore::normalize(args);
  if (path.empty()) return syntaxError();
  if (path == "TMPTABLE") {
    t_.templates_.clear();
  } else if (path == "SYSLOGDAT") {
    t_.log_.clear();
    return ok();
  } else if (!t_.files_.remove(path)) {
    return failed();
  }
  t_.log("DELFILE " + path);
  return ok();
}

Reply CommandInterpreter::load(const std::string& args) {
  const std::string path = FileStore::normalize(args);
  if (path.empty()) return syntaxError();
  if (path == "TMPTABLE" || path == "SYSLOGDAT" || !t_.files_.put(path, {})) return failed();
  t_.loading_ = path;
  return ok();
}

Reply CommandInterpreter::flagTrans(const std::string& args) {
  std::string path = FileStore::normalize(args);
  if (path.empty()) return syntaxError();
  if (path.find('\\') == std::string::npos) path = "TRANS\\" + path;
  auto* f = t_.files_.find(path);
  if (!f) return failed();
  f->flagged = true;
  t_.log("FLAGTRANS " + FileStore::nameOf(path));
  return ok();
}

Reply CommandInterpreter::addRec(const std::string& args) {
  auto [table, record] = splitWord(args);
  const std::string path = FileStore::normalize(table);
  if (path.empty() || record.empty()) return syntaxError();
  if (path == "TMPTABLE" || path == "SYSLOGDAT") return failed();
  if (!t_.files_.append(path, record)) return failed();
  return ok();
}

Reply CommandInterpreter::tmpSave(const std::string& card) {
  if (card.empty()) return syntaxError();
  const int finger = t_.templates_.freeFinger(card);
  if (finger < 0) return failed();
  t_.pendingTemplate_ =
      Terminal::PendingTemplate{card, finger, std::chrono::steady_clock::now() + t_.options_.templateWait};
  return ok();
}

// Exactly one template block: the stored bytes, cut or filled with NUL to the module's size. On a serial or
// modem line a "*" line follows, which those readers wait for.
Reply CommandInterpreter::tmpData(const std::string& args) const {
  auto [card, fingerText] = splitWord(args);
  int finger = 0;
  if (card.empty() || (!trim(fingerText).empty() && !parseInt(trim(fingerText), finger)))
    return syntaxError();
  auto bytes = t_.templates_.get(card, finger);
  if (!bytes) return failed();
  Reply r;
  r.binary = true;
  r.text = *bytes;
  r.text.resize(TemplateStore::kTemplateBytes, '\0');
  if (transport_ != Transport::Tcp) {
    r.text += std::string(kEnd) + "\r\n";
    r.token = kEnd;
  }
  return r;
}

Reply CommandInterpreter::restart() {
  t_.locked_ = false;
  t_.loading_.reset();
  t_.pendingTemplate_.reset();
  ++t_.restarts_;
  t_.log("RESTART");
  return ok();
}

}  // namespace korvosim
