#include "store/SettingsRecord.h"

#include <algorithm>

#include "store/AtomicFile.h"
#include "store/Cp1252.h"

namespace korvo {

std::string TSettingsRecord::Str(std::size_t offset, std::size_t capacity) const {
  std::size_t len = bytes_[offset];
  if (len > capacity) len = capacity;
  std::string raw(reinterpret_cast<const char*>(bytes_.data()) + offset + 1, len);
  return Cp1252ToUtf8(raw);
}

void TSettingsRecord::SetStr(std::size_t offset, std::size_t capacity, std::string_view utf8) {
  std::string raw = Utf8ToCp1252(utf8);
  if (raw.size() > capacity) raw.resize(capacity);
  bytes_[offset] = static_cast<std::uint8_t>(raw.size());
  for (std::size_t i = 0; i < raw.size(); ++i) bytes_[offset + 1 + i] = static_cast<std::uint8_t>(raw[i]);
}

std::int32_t TSettingsRecord::Int(std::size_t offset) const {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | bytes_[offset + i];
  return static_cast<std::int32_t>(v);
}

void TSettingsRecord::SetInt(std::size_t offset, std::int32_t value) {
  auto v = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i) bytes_[offset + i] = static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF);
}

void TSettingsRecord::ResetToDefaults() {
  for (std::size_t offset : {0, 51, 102, 153, 157, 173, 189, 216, 236, 344}) bytes_[offset] = 0;
  SetCurPort(0);
  SetInt(212, 6);
  SetLastLogin("VELNARI");
  SetPasswordRequired(false);
  SetImmediateLoading(false);
  SetModemSpeed(19200);
  SetOnlinePort("8010");
}

bool LoadSettingsFile(const std::string& path, TSettingsRecord& record, bool& created, std::string* refusal) {
  created = false;
  TSettingsRecord::TBytes raw{};
  std::string bytes;
  // Anything but a regular file is refused rather than read: a FIFO would block the start.
  const TFileRead outcome = ReadRegularFile(path, raw.size(), bytes, false);
  if (outcome == TFileRead::Missing) {
    record.ResetToDefaults();
    created = true;
    return SaveSettingsFile(path, record);
  }
  if (outcome == TFileRead::NotRegular && refusal) *refusal = RefusedFileText(path, outcome);
  if (outcome != TFileRead::Read) return false;
  if (bytes.size() == raw.size()) {
    std::copy_n(reinterpret_cast<const std::uint8_t*>(bytes.data()), raw.size(), raw.begin());
    record.SetBytes(raw);
  }
  return true;
}

bool SaveSettingsFile(const std::string& path, const TSettingsRecord& record) {
  const auto& b = record.Bytes();
  return WriteFileAtomically(path, std::string_view(reinterpret_cast<const char*>(b.data()), b.size()));
}

}  // namespace korvo
