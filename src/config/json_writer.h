// Writes JSON with its members in the order given, one member or element a
// line, indented by two blanks; a container may be asked to stay on one line.
// Qt's own writer sorts the members of an object by name, which would put a
// screen's number after its hundreds of fields; reading is left to
// QJsonDocument.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tervo::config {

class JsonWriter {
 public:
  explicit JsonWriter(std::string* out) : out_(out) {}

  void BeginObject(bool oneLine = false) { Begin('{', oneLine); }
  void EndObject() { End('}'); }
  void BeginArray(bool oneLine = false) { Begin('[', oneLine); }
  void EndArray() { End(']'); }

  // The name of the next member of the open object (ASCII).
  void Key(std::string_view name);

  void Number(std::int64_t v);
  void Bool(bool v);
  // Windows-1252 text, written as UTF-8 with JSON escapes; control
  // characters, DEL and the C1 range are written as \u escapes so that they
  // stay visible.
  void Text(std::string_view bytes);

  // Key and value together.
  void Member(std::string_view name, std::int64_t v) {
    Key(name);
    Number(v);
  }
  void MemberText(std::string_view name, std::string_view bytes) {
    Key(name);
    Text(bytes);
  }
  void MemberBool(std::string_view name, bool v) {
    Key(name);
    Bool(v);
  }

 private:
  struct Level {
    bool oneLine = false;
    bool empty = true;
  };
  void Begin(char open, bool oneLine);
  void End(char close);
  // Separator and indentation before the next value or key.
  void BeforeValue();
  void NewLine(std::size_t depth);

  std::string* out_;
  std::vector<Level> levels_;
  bool afterKey_ = false;
};

// A JSON string literal of Windows-1252 text, as JsonWriter writes it.
void AppendJsonText(std::string* out, std::string_view bytes);

}  // namespace tervo::config
