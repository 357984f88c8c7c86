// The gateway's view of one 5250 display session.  The gateway core, screen
// capture and rendering talk only to this interface; the TN5250 client is one
// implementation and tests use fakes.  Text is 8-bit Windows-1252.
//
// Events are delivered from the event loop, never from inside the data-stream
// parser, so a handler may call back into the display (send keys, read fields,
// even process further events) safely.
#pragma once

#include <functional>
#include <string>

namespace tervo::host5250 {

// Attributes of a field as the field list reports them.  Count is 0 when the
// implementation knows no attributes for the field; item 0 carries Underlined.
struct FieldAttributes {
  int Count = 1;
  bool Underlined = false;
};

// One item of the field collection: a snapshot of the field when read.
// Rows and columns are 1-based; Text is the contents without the attribute byte.
struct DisplayField {
  std::string Text;
  int Length = 0;
  bool Protected = false;
  int StartRow = 0;
  int EndRow = 0;
  int StartColumn = 0;
  int EndColumn = 0;
  bool Hidden = false;
  int Type = 0;     // see docs/host-fields.md
  int Justify = 0;  // see docs/host-fields.md
  bool AutoEnter = false;
  FieldAttributes Attributes;
};

// Every field of the current screen in screen order: input fields and the
// protected display fields between attribute bytes.
class FieldCollection {
 public:
  virtual ~FieldCollection() = default;
  virtual int Count() const = 0;
  // Item i, 0 <= i < Count(); out of range gives an empty field.
  virtual DisplayField Item(int i) const = 0;
  // Writes text into field i and sets its modified flag.  Returns false (and
  // changes nothing) for an index out of range.
  virtual bool SetText(int i, const std::string& text) = 0;
};

struct KeyboardLock {
  bool Locked = false;    // input inhibited until the host or a Reset unlocks
  bool AutoReset = false;  // unlock automatically on the next key
};

// How the display reaches its host.  name selects the implementation
// ("TN5250", "DemoHost"; legacy names accepted, see host_router.h).
struct HostLink {
  std::string name;
  bool ExitOnDisconnect = true;
  bool AutoDisconnect = true;
  std::string SelectedSystemName;  // the System setting: host, host:port, tls://host:992
  std::string DeviceName;          // offered to the host as the 5250 device name
};

// Receivers of a display's events.  Unset members are simply not called.
struct HostDisplayEvents {
  std::function<void(bool state)> ReadyToSend;  // a complete new screen
  std::function<void()> KeyboardStatus;         // keyboard lock changed
  std::function<void(std::string& message)> Disconnected;
  std::function<void()> PositionPicked;  // the operator picked a screen position
};

class HostDisplay {
 public:
  virtual ~HostDisplay() = default;

  // Opens the host session named by Link().  Returns false with *err set when
  // the link cannot even be attempted (bad system name, unknown router);
  // connection failures later arrive as Disconnected.
  virtual bool Connect(std::string* err) = 0;
  virtual void Disconnect() = 0;
  // The host session is open now (connected, not yet lost or closed).
  virtual bool IsConnected() const = 0;

  // A key string mixing text and mnemonics ("@E" Enter, "@R" Reset, ...).
  // Returns false with *err set when the keys were refused (input inhibited).
  virtual bool SendKeys(const std::string& keys, std::string* err) = 0;

  // Input inhibited: the host takes no keys now (it has not unlocked the
  // keyboard since the last AID, or the session is not connected).
  virtual bool InputInhibited() const = 0;

  // Text of the screen from (row, column), 1-based, length characters.
  // Rows 1-24 are the screen, row 25 the message line.  Positions outside the
  // screen read as blanks; non-display fields read as blanks.
  virtual std::string ReadText(int row, int column, int length) const = 0;

  virtual int CursorRow() const = 0;
  virtual int CursorColumn() const = 0;

  virtual FieldCollection& Fields() = 0;
  virtual const FieldCollection& Fields() const = 0;

  virtual KeyboardLock& Keyboard() = 0;
  virtual HostLink& Link() = 0;

  // Runs the host link's own configuration (the router choice); the headless
  // implementations have nothing to ask and return at once.
  virtual void Configure(bool a, bool b) = 0;

  virtual void SetEvents(HostDisplayEvents events) = 0;
};

}  // namespace tervo::host5250
