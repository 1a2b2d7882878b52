#include "support/TemplateDatabase.h"

#include <filesystem>

#include "store/Database.h"
#include "store/Program.h"
#include "store/Schema.h"
#include "support/TempFolder.h"

namespace korvo::test {

void CopyTemplateDatabase(const std::string& folder) {
  static TTempFolder templateFolder;
  static const std::string path = [] {
    std::string p = templateFolder.File("Korvoweb.mdb");
    TDatabase db;
    db.Create(p);
    InstallSchema(db);
    return p;
  }();
  std::filesystem::copy_file(path, folder + "Korvoweb.mdb",
                             std::filesystem::copy_options::overwrite_existing);
}

TDM& StartProgram(TProgram& program) {
  CopyTemplateDatabase(program.ProgramFolder);
  return program.Start();
}

}  // namespace korvo::test
