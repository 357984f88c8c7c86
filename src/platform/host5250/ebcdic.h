// EBCDIC <-> Windows-1252 for the host code pages a site may run: CCSID 37
// (US/Canada), 500 (international) and their euro variants 1140 and 1148.
// Shared by the TN5250 client and the demo host.
//
// Substitutes (both directions are total; nothing throws or asserts):
// - host to local: an EBCDIC code without a Windows-1252 graphic (the control
//   range X'00'-X'3F', which holds nulls and 5250 attribute bytes, and X'FF')
//   reads as a blank, as a 5250 display shows it;
// - local to host: a Windows-1252 code without an EBCDIC graphic in the chosen
//   code page (controls 0x00-0x1F and 0x7F, the typographic range 0x80-0x9F
//   except the euro sign in 1140/1148, and the currency sign 0xA4 in
//   1140/1148) becomes the EBCDIC question mark X'6F'.  A control byte must
//   never reach the host as data: X'20'-X'3F' would be taken for attributes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tervo::host5250 {

// Codes every supported code page shares; the 5250 field rules (nulls,
// the sign position of signed-numeric fields) are written in them.
namespace ebcdic {
inline constexpr std::uint8_t kNull = 0x00;
inline constexpr std::uint8_t kBlank = 0x40;
inline constexpr std::uint8_t kPlus = 0x4E;
inline constexpr std::uint8_t kMinus = 0x60;
}  // namespace ebcdic

class EbcdicCodec {
 public:
  static constexpr std::uint8_t kHostSubstitute = 0x6F;  // '?'
  static constexpr char kLocalSubstitute = ' ';

  // CCSID 37 unless changed.
  EbcdicCodec();

  // Selects 37, 500, 1140 or 1148; anything else sets *err and keeps the
  // current code page.
  bool SetCcsid(int ccsid, std::string* err);
  int Ccsid() const { return ccsid_; }

  char ToLocal(std::uint8_t ebcdic) const { return static_cast<char>(to_local_[ebcdic]); }
  std::uint8_t ToHost(char local) const { return to_host_[static_cast<std::uint8_t>(local)]; }

  std::string ToLocal(std::string_view ebcdic) const;
  std::string ToHost(std::string_view local) const;

 private:
  int ccsid_ = 37;
  std::uint8_t to_local_[256];
  std::uint8_t to_host_[256];
};

}  // namespace tervo::host5250
