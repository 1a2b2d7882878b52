// KORVOSET.DAT: any bytes as the settings record, read field by field and written back.
#include <cstring>

#include "FuzzFiles.h"
#include "store/SettingsRecord.h"

using namespace korvo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TSettingsRecord::TBytes bytes{};
  std::memcpy(bytes.data(), data, std::min(size, bytes.size()));
  TSettingsRecord r;
  r.SetBytes(bytes);
  TSettingsRecord copy;
  copy.SetCurAddr(r.CurAddr());
  copy.SetPrevAddr(r.PrevAddr());
  copy.SetSelectedAddr(r.SelectedAddr());
  copy.SetCurTermNo(r.CurTermNo());
  copy.SetCurLocation(r.CurLocation());
  copy.SetPrevLocation(r.PrevLocation());
  copy.SetCurPort(r.CurPort());
  copy.SetLastLogin(r.LastLogin());
  copy.SetPasswordRequired(r.PasswordRequired());
  copy.SetImmediateLoading(r.ImmediateLoading());
  copy.SetModemInit(r.ModemInit());
  copy.SetModemSpeed(r.ModemSpeed());
  copy.SetOnlinePort(r.OnlinePort());
  // Windows-1252 text survives the trip through UTF-8 unchanged.
  if (copy.CurAddr() != r.CurAddr() || copy.CurLocation() != r.CurLocation() ||
      copy.ModemInit() != r.ModemInit())
    __builtin_trap();
  // The file as it comes, also shorter or longer than one record.
  const std::string path = fuzz::Folder() + "KORVOSET.DAT";
  fuzz::WriteFile(path, data, size);
  TSettingsRecord loaded;
  bool created = false;
  (void)LoadSettingsFile(path, loaded, created);
  if (created) __builtin_trap();
  return 0;
}
