#include "dump.h"

#include <cstdio>

namespace tervo::apps {

std::string DumpScreen(int n, const host5250::HostDisplay& display) {
  auto& d = const_cast<host5250::HostDisplay&>(display);  // Fields() of a const display
  std::string out = "=== Screen " + std::to_string(n) + " ===\n";
  for (int row = 1; row <= 24; ++row) out += display.ReadText(row, 1, 80) + "\n";
  std::string message = display.ReadText(25, 1, 80);
  while (!message.empty() && message.back() == ' ') message.pop_back();
  out += "Message: " + message + "\n";
  out += "Cursor: " + std::to_string(display.CursorRow()) + "," + std::to_string(display.CursorColumn()) + "\n";
  const host5250::FieldCollection& fields = d.Fields();
  out += "Fields: " + std::to_string(fields.Count()) + "\n";
  for (int i = 0; i < fields.Count(); ++i) {
    host5250::DisplayField f = fields.Item(i);
    char line[160];
    std::snprintf(line, sizeof line, "  %02d,%02d len %4d %s type %d justify %d%s%s%s\n",
                  f.StartRow, f.StartColumn, f.Length, f.Protected ? "protected" : "input    ",
                  f.Type, f.Justify, f.Hidden ? " hidden" : "", f.AutoEnter ? " auto-enter" : "",
                  f.Attributes.Underlined ? " underlined" : "");
    out += line;
  }
  return out;
}

}  // namespace tervo::apps
