#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace korvosim {

// Fingerprint templates of the terminal's module: per card number up to two fingers (0 and 1), each a block
// of raw bytes (384 as the module makes them).
class TemplateStore {
 public:
  static constexpr std::size_t kTemplateBytes = 384;

  struct Key {
    std::string card;
    int finger = 0;
    bool operator==(const Key&) const = default;
  };

  void put(const std::string& card, int finger, std::string bytes);
  std::optional<std::string> get(const std::string& card, int finger) const;
  // The first free finger of a card, or -1 when both are taken.
  int freeFinger(const std::string& card) const;
  int count(const std::string& card) const;
  // Which fingers of the card hold a template: 1 finger 0, 2 finger 1, 3 both, 0 none.
  int fingerMask(const std::string& card) const;
  bool removeCard(const std::string& card);
  void clear() { cards_.clear(); }
  std::vector<Key> keys() const;  // card order, finger 0 before 1
  std::size_t size() const;

 private:
  std::map<std::string, std::array<std::optional<std::string>, 2>> cards_;
};

}  // namespace korvosim
