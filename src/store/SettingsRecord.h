#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace korvo {

// The one fixed-size record of "KORVOSET.DAT". It is kept as the 356 bytes of the file, so that a
// save writes back exactly what was read, including the bytes past a short string's length and
// the reserved fields the program never interprets. Texts are UTF-8 at this interface and
// Windows-1252 in the record; a text longer than its field is cut to the field.
class TSettingsRecord {
 public:
  static constexpr std::size_t kSize = 356;
  using TBytes = std::array<std::uint8_t, kSize>;

  std::string CurAddr() const { return Str(0, 50); }
  void SetCurAddr(std::string_view v) { SetStr(0, 50, v); }
  std::string PrevAddr() const { return Str(51, 50); }
  void SetPrevAddr(std::string_view v) { SetStr(51, 50, v); }
  std::string SelectedAddr() const { return Str(102, 50); }
  void SetSelectedAddr(std::string_view v) { SetStr(102, 50, v); }
  std::string CurTermNo() const { return Str(153, 3); }
  void SetCurTermNo(std::string_view v) { SetStr(153, 3, v); }
  std::string CurLocation() const { return Str(157, 15); }
  void SetCurLocation(std::string_view v) { SetStr(157, 15, v); }
  std::string PrevLocation() const { return Str(173, 15); }
  void SetPrevLocation(std::string_view v) { SetStr(173, 15, v); }
  std::int32_t CurPort() const { return Int(208); }
  void SetCurPort(std::int32_t v) { SetInt(208, v); }
  std::string LastLogin() const { return Str(216, 15); }
  void SetLastLogin(std::string_view v) { SetStr(216, 15, v); }
  bool PasswordRequired() const { return bytes_[232] != 0; }
  void SetPasswordRequired(bool v) { bytes_[232] = v ? 1 : 0; }
  bool ImmediateLoading() const { return bytes_[233] != 0; }
  void SetImmediateLoading(bool v) { bytes_[233] = v ? 1 : 0; }
  std::string ModemInit() const { return Str(236, 100); }
  void SetModemInit(std::string_view v) { SetStr(236, 100, v); }
  std::int32_t ModemSpeed() const { return Int(340); }
  void SetModemSpeed(std::int32_t v) { SetInt(340, v); }
  std::string OnlinePort() const { return Str(344, 10); }
  void SetOnlinePort(std::string_view v) { SetStr(344, 10, v); }

  // The values of a newly created file.
  void ResetToDefaults();

  const TBytes& Bytes() const { return bytes_; }
  void SetBytes(const TBytes& b) { bytes_ = b; }

 private:
  std::string Str(std::size_t offset, std::size_t capacity) const;
  void SetStr(std::size_t offset, std::size_t capacity, std::string_view utf8);
  std::int32_t Int(std::size_t offset) const;
  void SetInt(std::size_t offset, std::int32_t v);

  TBytes bytes_{};
};

// Reads the first whole record of the file into `record`. A missing file is created with the
// defaults (and `created` set); a file shorter than one record leaves `record` as it is. Returns
// false when a file operation failed; the record then keeps what it held. A FIFO, device or
// folder in the file's place is refused unread, and `refusal` tells so.
bool LoadSettingsFile(const std::string& path, TSettingsRecord& record, bool& created,
                      std::string* refusal = nullptr);
// Replaces the file with the whole record, atomically.
bool SaveSettingsFile(const std::string& path, const TSettingsRecord& record);

}  // namespace korvo
