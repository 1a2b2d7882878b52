// The parameter catalogue's conversions: a value read from the terminal into its control(s) and
// back, the module values, the dotted address cells and the integer reader.
#include "config/AddressCells.h"
#include "config/HardwareForm.h"
#include "config/ParamCatalogue.h"

using namespace korvo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::string value(reinterpret_cast<const char*>(data) + 1, size - 1);
  const auto& catalogue = ParamCatalogue();
  const TParamSpec& spec = catalogue[data[0] % catalogue.size()];
  static THardwareForm form;
  ShowParam(form, spec, value, spec.fallback);
  const std::string stored = StoredValue(form, spec);
  // What the controls give shows the same again.
  ShowParam(form, spec, stored, spec.fallback);
  if (StoredValue(form, spec) != stored) __builtin_trap();
  if (spec.module) {
    ApplyModuleValue(form, spec.number, value);
    (void)ModuleCommand(form, spec.number);
  }
  (void)JoinAddressCells(SplitAddressCells(value));
  (void)IntegerOrFallback(value, -1);
  return 0;
}
