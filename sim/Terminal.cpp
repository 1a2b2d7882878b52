#include "Terminal.h"

#include <cstdio>

namespace korvosim {

Terminal::Terminal(TerminalOptions options) : options_(std::move(options)) {
  for (auto& o : options_.replyOverrides) overrides_.add(o);
  for (auto& card : options_.refusedTemplateCards) refusedTemplates_[card] = 0;
}

bool Terminal::awaitingTemplate() const {
  std::lock_guard lock(mutex_);
  return pendingTemplate_ && std::chrono::steady_clock::now() < pendingTemplate_->expires;
}

Reply Terminal::storeTemplate(std::string bytes) {
  std::lock_guard lock(mutex_);
  if (!pendingTemplate_ || bytes.empty()) return {};
  if (auto refused = refusedTemplates_.find(pendingTemplate_->card); refused != refusedTemplates_.end()) {
    if (refused->second > 0 && --refused->second == 0) refusedTemplates_.erase(refused);
    pendingTemplate_.reset();
    return lineReply("", kFail);
  }
  templates_.put(pendingTemplate_->card, pendingTemplate_->finger, std::move(bytes));
  log("TMPSAVE " + pendingTemplate_->card);
  pendingTemplate_.reset();
  return lineReply("", kOk);
}

void Terminal::log(const std::string& event) {
  const CivilTime t = clock_.now();
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%02d/%02d/%02d %02d:%02d:%02d", t.day, t.month, t.year % 100, t.hour,
                t.minute, t.second);
  log_.push_back(std::string(stamp) + " " + event);
  while (log_.size() > options_.logLimit) log_.pop_front();
}

std::string Terminal::version() const {
  std::lock_guard lock(mutex_);
  return options_.version;
}

void Terminal::setVersion(std::string version) {
  std::lock_guard lock(mutex_);
  options_.version = std::move(version);
}

std::string Terminal::logonCode() const {
  std::lock_guard lock(mutex_);
  return options_.logonCode;
}

void Terminal::setLogonCode(std::string code) {
  std::lock_guard lock(mutex_);
  options_.logonCode = std::move(code);
}

void Terminal::setBlankReply(std::optional<std::string> reply) {
  std::lock_guard lock(mutex_);
  options_.blankReply = std::move(reply);
}

void Terminal::addReplyOverride(ReplyOverride o) {
  std::lock_guard lock(mutex_);
  overrides_.add(std::move(o));
}

void Terminal::clearReplyOverrides() {
  std::lock_guard lock(mutex_);
  overrides_.clear();
}

std::vector<ReplyOverride> Terminal::replyOverrides() const {
  std::lock_guard lock(mutex_);
  return overrides_.list();
}

std::string Terminal::param(int number) const {
  std::lock_guard lock(mutex_);
  return ParameterTable::valid(number) ? params_.get(number) : std::string();
}

void Terminal::setParam(int number, std::string value) {
  std::lock_guard lock(mutex_);
  if (ParameterTable::valid(number)) params_.set(number, std::move(value));
}

std::string Terminal::sfmParam(int number) const {
  std::lock_guard lock(mutex_);
  return params_.sfm(number);
}

void Terminal::setSfmParam(int number, std::string value) {
  std::lock_guard lock(mutex_);
  params_.setSfm(number, std::move(value));
}

void Terminal::resetParams() {
  std::lock_guard lock(mutex_);
  params_.reset();
}

std::string Terminal::clockText() const {
  std::lock_guard lock(mutex_);
  return clock_.text();
}

CivilTime Terminal::clock() const {
  std::lock_guard lock(mutex_);
  return clock_.now();
}

void Terminal::setClock(const CivilTime& time) {
  std::lock_guard lock(mutex_);
  clock_.set(time);
}

bool Terminal::setClockText(std::string_view digits) {
  std::lock_guard lock(mutex_);
  return clock_.setText(digits);
}

void Terminal::freezeClock(bool frozen) {
  std::lock_guard lock(mutex_);
  clock_.freeze(frozen);
}

bool Terminal::hasFile(const std::string& path) const {
  std::lock_guard lock(mutex_);
  return files_.find(path) != nullptr;
}

std::vector<std::string> Terminal::file(const std::string& path) const {
  std::lock_guard lock(mutex_);
  const auto* f = files_.find(path);
  return f ? f->records : std::vector<std::string>{};
}

bool Terminal::setFile(const std::string& path, std::vector<std::string> records) {
  std::lock_guard lock(mutex_);
  return files_.put(path, std::move(records));
}

bool Terminal::removeFile(const std::string& path) {
  std::lock_guard lock(mutex_);
  return files_.remove(path);
}

bool Terminal::fileFlagged(const std::string& path) const {
  std::lock_guard lock(mutex_);
  const auto* f = files_.find(path);
  return f && f->flagged;
}

std::vector<std::string> Terminal::files(const std::string& folder) const {
  std::lock_guard lock(mutex_);
  return files_.names(folder);
}

bool Terminal::hasFolder(const std::string& folder) const {
  std::lock_guard lock(mutex_);
  return files_.folderExists(folder);
}

void Terminal::refuseTemplateBytes(const std::string& card, int times) {
  std::lock_guard lock(mutex_);
  refusedTemplates_[card] = times < 0 ? 0 : times;
}

void Terminal::setTemplate(const std::string& card, int finger, std::string bytes) {
  std::lock_guard lock(mutex_);
  templates_.put(card, finger, std::move(bytes));
}

std::optional<std::string> Terminal::templateBytes(const std::string& card, int finger) const {
  std::lock_guard lock(mutex_);
  return templates_.get(card, finger);
}

std::vector<TemplateStore::Key> Terminal::templates() const {
  std::lock_guard lock(mutex_);
  return templates_.keys();
}

bool Terminal::locked() const {
  std::lock_guard lock(mutex_);
  return locked_;
}

int Terminal::restarts() const {
  std::lock_guard lock(mutex_);
  return restarts_;
}

std::optional<std::string> Terminal::loading() const {
  std::lock_guard lock(mutex_);
  return loading_;
}

std::vector<std::string> Terminal::systemLog() const {
  std::lock_guard lock(mutex_);
  return {log_.begin(), log_.end()};
}

}  // namespace korvosim
