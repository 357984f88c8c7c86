// The general options, held as the configuration dialogs hold them: every
// option is the text of its control ("1", "Exit,Sair", "" ...), check boxes
// and list indexes as "0"/"1"/"2"/"3".  Consumers convert when they need a
// number: empty or non-numeric text counts as 0.  The file reader and writer
// and the dialogs bind to this model by key.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tervo::config {

class GeneralOptions {
 public:
  // Starts with the contents a freshly created dialog shows.
  GeneralOptions();

  // Every key the model holds, in the order the configuration file writes
  // them.
  static const std::vector<std::string>& Keys();
  static bool IsKey(const std::string& key);
  // True for options that are check boxes (stored as "0" or "1").
  static bool IsCheckBox(const std::string& key);
  // True for the list index of Handshaking ("0" .. "3").
  static bool IsListIndex(const std::string& key);
  // The highest number a check box (1) or list index (3) holds; -1 for text.
  static int MaxChoice(const std::string& key);

  // The option's text as the gateway uses it: the run's override when one
  // is set, else the configured text; an unknown key reads as "".
  std::string Text(const std::string& key) const;
  // Sets the configured text of a known key; unknown keys are ignored and
  // return false.  A run override of the key stays in force.
  bool SetText(const std::string& key, const std::string& value);

  // A value given for this run only (a command-line option such as
  // --radio-address).  Text() and everything that uses the option read it;
  // the configuration file, the side file of unsaved changes and the dialogs
  // keep the configured text, so the override never becomes configuration.
  bool SetRunOverride(const std::string& key, const std::string& value);
  // The run's override of key, or nullptr.
  const std::string* RunOverride(const std::string& key) const;
  // The text as configured, overrides left aside: what files store and the
  // dialogs edit.
  std::string ConfiguredText(const std::string& key) const;

  // The option read as a number (empty or non-numeric text is 0; halves round
  // to even).
  std::int32_t Number(const std::string& key) const;
  double Real(const std::string& key) const;  // e.g. NewScreenTimeout "1.5"
  // A check box is set when its number is non-zero.
  bool Checked(const std::string& key) const { return Number(key) != 0; }
  void SetChecked(const std::string& key, bool on) { SetText(key, on ? "1" : "0"); }

  // The contents of a freshly created dialog.
  void ApplyInitialContents();
  // The values that apply when no configuration file could be loaded; options
  // without a fallback keep their value.
  void ApplyFallbacks();

  bool operator==(const GeneralOptions&) const = default;

 private:
  std::map<std::string, std::string> values_;
  std::map<std::string, std::string> overrides_;
};

}  // namespace tervo::config
