// Host bytes of any shape through the telnet layer, the record parser and
// the screen: no crash, hang or leak.  The first byte picks a split size so
// that records and commands also arrive cut across reads; typed keys and
// the field list run over whatever screen results.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/host5250/field_list.h"
#include "platform/host5250/tn5250_session.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tervo::host5250;
  if (size == 0) return 0;
  const std::size_t chunk = 1 + data[0] % 64;
  Tn5250Session s;
  s.SetDeviceName("FUZZ\x01\xFF");
  for (std::size_t i = 1; i < size; i += chunk) {
    const std::size_t n = std::min(chunk, size - i);
    s.Receive(reinterpret_cast<const char*>(data + i), n);
    s.TakeOutput();
  }
  std::string err;
  s.SendKeys("AB@T9@F@B@E", &err);
  s.SendKeys("@R", &err);
  ScreenFields fields(s.GetScreen(), s.Codec());
  for (int i = 0; i < fields.Count(); ++i) {
    DisplayField f = fields.Item(i);
    fields.SetText(i, "12345");
  }
  for (int r = 0; r <= 26; ++r) s.ReadText(r, 1, 80);
  s.GetScreen().EncodeForSave(0x52);
  return 0;
}
