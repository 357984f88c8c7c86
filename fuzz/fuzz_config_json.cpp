// Feeds arbitrary bytes to the JSON import.  Besides not crashing, hanging or
// leaking: whatever the import accepts is a configuration the file can hold,
// so its export imports again and both write the same file, and the export
// of an export is itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "config/config_json.h"
#include "config/config_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tervo::config;
  static ScreenStore store;
  static ScreenStore again;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  GeneralOptions options;
  std::string err;
  if (!ImportJson(bytes, store, options, &err)) {
    if (err.empty()) std::abort();  // a refusal always says why
    return 0;
  }
  const std::string file = WriteConfig(store, options);
  const std::string json = ExportJson(store, options);
  GeneralOptions againOptions;
  if (!ImportJson(json, again, againOptions, &err)) std::abort();
  if (WriteConfig(again, againOptions) != file) std::abort();
  if (ExportJson(again, againOptions) != json) std::abort();
  return 0;
}
