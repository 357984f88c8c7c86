// Feeds arbitrary bytes to the configuration reader.  Besides not crashing,
// hanging or leaking, whatever the reader accepted must survive a save and a
// reload unchanged: the re-saved file loads without a bad line and saves to
// the same bytes again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "config/config_codec.h"
#include "config/config_reader.h"
#include "config/config_writer.h"

namespace {

using tervo::config::ScreenStore;

struct CountingPrompt : tervo::config::LoadPrompt {
  int lines = 0;
  void ReportBadLine(const tervo::config::BadLine& bad) override { lines += bad.number > 0 ? 1 : 0; }
};

// Every input starts from a freshly created store.  Building one for each
// input would take most of the run time, most of it in the 90,000 field texts
// of ScreensText, so a fresh store is copied instead, and the texts are only
// restored after an input that could have reached them: one that names them,
// or holds escapes that could spell the name.
class FreshStore {
 public:
  FreshStore() { withoutTexts_.ScreensText.clear(); }

  void Reset(ScreenStore& store, bool textsTouched) const {
    auto texts = std::move(store.ScreensText);
    store = withoutTexts_;
    store.ScreensText = std::move(texts);
    if (textsTouched || store.ScreensText.empty()) store.ScreensText = fresh_.ScreensText;
  }

 private:
  const ScreenStore fresh_;
  ScreenStore withoutTexts_;
};

bool MayReachTexts(std::string_view bytes) {
  return bytes.find("ScreensText") != std::string_view::npos ||
         bytes.find(tervo::config::kEscape) != std::string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tervo::config;
  static const FreshStore fresh;
  static ScreenStore store;
  static ScreenStore again;
  static bool storeTexts = true;
  static bool againTexts = true;

  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  fresh.Reset(store, storeTexts);
  storeTexts = MayReachTexts(bytes);
  GeneralOptions options;
  CountingPrompt prompt;
  const int bad = ParseConfig(bytes, store, options, prompt);
  if (bad != prompt.lines) std::abort();

  const std::string saved = WriteConfig(store, options);
  fresh.Reset(again, againTexts);
  againTexts = MayReachTexts(saved);
  GeneralOptions againOptions;
  CountingPrompt none;
  if (ParseConfig(saved, again, againOptions, none) != 0) std::abort();
  if (WriteConfig(again, againOptions) != saved) std::abort();
  return 0;
}
