// UPLOAD.CFG: the INI editor keeps every line it does not change, and the upload configuration is
// read and written back from any text.
#include "FuzzFiles.h"
#include "FuzzLink.h"
#include "store/IniFile.h"
#include "store/UploadConfig.h"

using namespace korvo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  TIniFile ini = TIniFile::Parse(text);
  if (ini.Text() != text) __builtin_trap();
  (void)ini.Read("Korvo2KWeb", "Output Format");
  ini.Write("Korvo2KWeb", "Output Format", "CYMDHNSR");
  (void)TIniFile::Parse(ini.Text()).Read("Korvo2KWeb", "Output Format");

  fuzz::WriteFile(fuzz::Folder() + "UPLOAD.CFG", data, size);
  TUnattendedUi ui;
  TSysParam p;
  ReadUploadConfig(fuzz::Folder(), p, ui);
  (void)WriteUploadConfig(fuzz::Folder(), p, ui);
  TSysParam again;
  ReadUploadConfig(fuzz::Folder(), again, ui);
  if (again.OutputFormat != p.OutputFormat || again.DeleteAfterLoaded != p.DeleteAfterLoaded)
    __builtin_trap();
  return 0;
}
