#include "TemplateStore.h"

namespace korvosim {

void TemplateStore::put(const std::string& card, int finger, std::string bytes) {
  if (finger < 0 || finger > 1) return;
  cards_[card][finger] = std::move(bytes);
}

std::optional<std::string> TemplateStore::get(const std::string& card, int finger) const {
  auto it = cards_.find(card);
  if (it == cards_.end() || finger < 0 || finger > 1) return std::nullopt;
  return it->second[finger];
}

int TemplateStore::freeFinger(const std::string& card) const {
  auto it = cards_.find(card);
  if (it == cards_.end()) return 0;
  for (int f = 0; f < 2; ++f)
    if (!it->second[f]) return f;
  return -1;
}

int TemplateStore::count(const std::string& card) const {
  auto it = cards_.find(card);
  if (it == cards_.end()) return 0;
  return (it->second[0] ? 1 : 0) + (it->second[1] ? 1 : 0);
}

int TemplateStore::fingerMask(const std::string& card) const {
  auto it = cards_.find(card);
  if (it == cards_.end()) return 0;
  return (it->second[0] ? 1 : 0) | (it->second[1] ? 2 : 0);
}

bool TemplateStore::removeCard(const std::string& card) {
  return cards_.erase(card) > 0;
}

std::vector<TemplateStore::Key> TemplateStore::keys() const {
  std::vector<Key> out;
  for (const auto& [card, fingers] : cards_)
    for (int f = 0; f < 2; ++f)
      if (fingers[f]) out.push_back({card, f});
  return out;
}

std::size_t TemplateStore::size() const {
  return keys().size();
}

}  // namespace korvosim
