#include "config/record_members.h"

#include <algorithm>

#include "config/text.h"
#include "platform/os/blank_text.h"

namespace tervo::config {

// The writer encodes control characters (never blanks) before it trims, so
// trimming the raw value gives the same answer.
bool SparseTextKept(std::string_view value) {
  if (value.find_first_not_of('\0') == std::string_view::npos) return false;
  const std::string_view t = os::BlankTrimmed(value);
  return !t.empty() && t != "0";
}

namespace {
constexpr std::size_t kRowStride = kImageColumns + 2;
constexpr std::size_t kRowsEnd = kImageRows * kRowStride;
}  // namespace

bool ImageHasRows(std::string_view image) {
  if (image.size() != static_cast<std::size_t>(kScreenAspectSize)) return false;
  for (std::size_t r = 0; r < kImageRows; ++r) {
    if (image.substr(r * kRowStride + kImageColumns, 2) != "\r\n") return false;
  }
  return image.find_first_not_of(' ', kRowsEnd) == std::string_view::npos;
}

std::string_view ImageRow(std::string_view image, int row) {
  return image.substr(static_cast<std::size_t>(row) * kRowStride, kImageColumns);
}

std::string ImageFromRows(const std::string* rows, int count) {
  std::string image;
  image.reserve(kScreenAspectSize);
  for (int r = 0; r < kImageRows; ++r) {
    image += text::PadRight(r < count ? rows[r] : std::string(), kImageColumns);
    image += "\r\n";
  }
  image.resize(kScreenAspectSize, ' ');
  return image;
}

bool ImageIsBlank(std::string_view image) {
  return image.find_first_not_of(' ') == std::string_view::npos;
}

bool ScreenHasContent(const ScreenStore& store, int s) {
  const auto i = static_cast<std::size_t>(s);
  bool indexed = false;
  for (std::int32_t v : store.Indice[i]) indexed = indexed || v != -1;
  return AnyKept(store.Screens[i]) || StoredFieldCount(store, s) > 0 || indexed ||
         !ImageIsBlank(store.ScreenAspect[i]) || AnyKept(store.AdvScreens[i]) ||
         AnyKept(store.MasterScreens[i]);
}

int StoredFieldCount(const ScreenStore& store, int s) {
  return std::clamp<std::int32_t>(store.Originals[static_cast<std::size_t>(s)].Count, 0,
                                  kFieldSlots);
}

int LastStoredScreen(const ScreenStore& store) {
  return std::min<int>(store.NumeroMaximoDeEcrans, store.ScreenTableSize() - 1);
}

}  // namespace tervo::config
