// The general options, held as the configuration dialogs hold them: every
// option is the text of its control ("1", "Exit,Sair", "" ...), check boxes
// and list indexes as "0"/"1"/"2"/"3".  Consumers convert when they need a
// number: empty or non-numeric text counts as 0.  Code reads an option by
// its typed key (Option::kDisplayLen); the file reader and writer, the JSON
// form and tests may name it as the file does ("DisplayLen").  The keys, their
// kinds and contents are in config/option_keys.h.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "config/option_keys.h"

namespace tervo::config {

class GeneralOptions {
 public:
  // Starts with the contents a freshly created dialog shows.
  GeneralOptions();

  // Every key's file name, in the order the configuration file writes them.
  static const std::vector<std::string>& Keys();
  // The highest number a check box (1) or list index (3) holds; -1 for the
  // others and for unknown names.
  static int MaxChoice(OptionKey key);

  // The option's text as the gateway uses it: the run's override when one
  // is set, else the configured text; an unknown name reads as "".
  std::string Text(OptionKey key) const;
  // Sets the configured text; an unknown name is ignored and returns false.
  // A run override of the key stays in force.
  bool SetText(OptionKey key, const std::string& value);

  // A value given for this run only (a command-line option such as
  // --radio-address).  Text() and everything that uses the option read it;
  // the configuration file, the side file of unsaved changes and the dialogs
  // keep the configured text, so the override never becomes configuration.
  bool SetRunOverride(OptionKey key, const std::string& value);
  // The run's override of key, or nullptr.
  const std::string* RunOverride(OptionKey key) const;
  // The text as configured, overrides left aside: what files store and the
  // dialogs edit.
  std::string ConfiguredText(OptionKey key) const;

  // The option read as a number (empty or non-numeric text is 0; halves round
  // to even).
  std::int32_t Number(OptionKey key) const;
  double Real(OptionKey key) const;  // e.g. NewScreenTimeout "1.5"
  // A check box is set when its number is non-zero.
  bool Checked(OptionKey key) const { return Number(key) != 0; }
  void SetChecked(OptionKey key, bool on) { SetText(key, on ? "1" : "0"); }

  // The contents of a freshly created dialog.
  void ApplyInitialContents();
  // The values that apply when no configuration file could be loaded; options
  // without a fallback keep their value.
  void ApplyFallbacks();

  bool operator==(const GeneralOptions&) const = default;

 private:
  std::array<std::string, kOptionCount> values_;
  std::array<std::optional<std::string>, kOptionCount> overrides_;
};

}  // namespace tervo::config
