// A HostDisplay held entirely in memory, for tests of everything that reads
// or drives a 5250 session: fields and screen text are set directly, keys
// sent are recorded, and the input-inhibited state is switched by hand (or
// by an onSendKeys hook that plays the host).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/host5250/host_display.h"

namespace tervo::testing {

class FakeFieldCollection : public host5250::FieldCollection {
 public:
  std::vector<host5250::DisplayField> items;
  int setTextCalls = 0;

  int Count() const override { return static_cast<int>(items.size()); }
  host5250::DisplayField Item(int i) const override {
    return i >= 0 && i < Count() ? items[static_cast<std::size_t>(i)] : host5250::DisplayField{};
  }
  bool SetText(int i, const std::string& text) override {
    if (i < 0 || i >= Count()) return false;
    ++setTextCalls;
    items[static_cast<std::size_t>(i)].Text = text;
    return true;
  }
};

class FakeHostDisplay : public host5250::HostDisplay {
 public:
  FakeHostDisplay() : rows_(26, std::string(80, ' ')) {}

  // --- test controls
  FakeFieldCollection fields;
  std::vector<std::string> sentKeys;
  bool connectResult = true;
  bool connected = false;
  int connects = 0;
  int disconnects = 0;
  bool inhibited = false;
  int cursorRow = 1;
  int cursorColumn = 1;
  // Called after each SendKeys is recorded; may change the screen.
  std::function<void(const std::string& keys)> onSendKeys;

  // Adds a field and returns its index.  The text also goes into the screen
  // text at the field's place (on one row), as a real display shows it.
  int AddField(int row, int column, const std::string& text, int length, bool isProtected,
               int type = 0, int justify = 0) {
    host5250::DisplayField f;
    f.Text = text;
    f.Length = length;
    f.Protected = isProtected;
    f.StartRow = row;
    f.StartColumn = column;
    f.EndRow = row;
    f.EndColumn = column + (length > 0 ? length - 1 : 0);
    f.Type = type;
    f.Justify = justify;
    fields.items.push_back(f);
    PutText(row, column, text);
    return static_cast<int>(fields.items.size()) - 1;
  }
  host5250::DisplayField& Field(int i) { return fields.items[static_cast<std::size_t>(i)]; }

  // Writes text into the screen at (row, column), 1-based, cut at column 80.
  void PutText(int row, int column, const std::string& text) {
    if (row < 1 || row > 25 || column < 1 || column > 80) return;
    std::string& r = rows_[static_cast<std::size_t>(row)];
    for (std::size_t i = 0; i < text.size() && column - 1 + i < 80; ++i) {
      r[static_cast<std::size_t>(column - 1) + i] = text[i];
    }
  }
  void ClearScreen() {
    fields.items.clear();
    for (auto& r : rows_) r.assign(80, ' ');
  }

  // --- HostDisplay
  bool Connect(std::string* err) override {
    ++connects;
    if (!connectResult && err != nullptr) *err = "connect refused";
    connected = connectResult;
    return connectResult;
  }
  void Disconnect() override {
    ++disconnects;
    connected = false;
  }
  bool IsConnected() const override { return connected; }
  bool SendKeys(const std::string& keys, std::string* err) override {
    (void)err;
    sentKeys.push_back(keys);
    if (onSendKeys) onSendKeys(keys);
    return true;
  }
  bool InputInhibited() const override { return inhibited; }
  std::string ReadText(int row, int column, int length) const override {
    std::string out;
    for (int i = 0; i < length; ++i) {
      const int c = column + i;
      const bool inside = row >= 1 && row <= 25 && c >= 1 && c <= 80;
      out += inside ? rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(c - 1)] : ' ';
    }
    return out;
  }
  int CursorRow() const override { return cursorRow; }
  int CursorColumn() const override { return cursorColumn; }
  host5250::FieldCollection& Fields() override { return fields; }
  const host5250::FieldCollection& Fields() const override { return fields; }
  host5250::KeyboardLock& Keyboard() override { return keyboard_; }
  host5250::HostLink& Link() override { return link_; }
  void Configure(bool, bool) override {}
  void SetEvents(host5250::HostDisplayEvents events) override { events_ = std::move(events); }
  host5250::HostDisplayEvents& Events() { return events_; }

 private:
  std::vector<std::string> rows_;  // [1..25], entry 0 unused
  host5250::KeyboardLock keyboard_;
  host5250::HostLink link_;
  host5250::HostDisplayEvents events_;
};

}  // namespace tervo::testing
