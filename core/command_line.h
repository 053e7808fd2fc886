// The setup's command line: arguments split the way the setup has always split them, and the
// lookup of switches such as /Cloned and their values.
//
// Grammar of the text handed to Parse:
//   text      := { separator | token }
//   separator := any byte <= 0x20 outside quotes (the terminating zero ends the last token)
//   token     := { byte > 0x20 | '"' quoted-run '"' }   quotes are dropped, no escapes;
//                an unterminated quote runs to the end of the text
// Empty tokens (such as a lone pair of quotes) give no argument.
//
// A switch is an argument that begins with '/', or that begins with '-' or '+' and whose
// value as a floating-point number is zero ("-Cloned" is a switch, "-5" a value).
#pragma once
#include <cstddef>
#include <string>

#include "core/owned_list.h"

class CommandLine {
 public:
  // Tokens are built in a buffer of this size; longer arguments are cut to 255 characters, so
  // the argument positions stay as the user wrote them.
  static constexpr size_t kTokenBufferSize = 256;

  // Splits text into arguments, replacing any present ones. With skipFirst set the first token
  // (the program path of a full command line) is dropped.
  void Parse(const char* text, int skipFirst);

  // Index of the first switch whose name (the text after its first character) equals name
  // without regard to case; -1 when there is none.
  int FindSwitch(const char* name) const;

  // Copies defaultValue into out (capacity outSize), then, when the switch is present and is
  // followed by `count` arguments none of which is a switch, copies the last of them.
  // Returns non-zero when the value was found.
  int GetSwitchValue(const char* name, int count, char* out, size_t outSize,
                     const char* defaultValue) const;

  size_t ArgumentCount() const { return arguments.Count(); }
  const char* Argument(size_t index) const;

  static bool IsSwitch(const char* argument);

 private:
  OwnedList<std::string> arguments;
};
