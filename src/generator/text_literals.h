#pragma once

// The bytes and lines of a script that a client reads as more than data, and
// the forms that keep text values and names whole in every dialect.
//
// A client reads a script line by line before the engine sees a statement:
// NUL ends a line for C clients, Ctrl-Z ends the input of Windows text
// readers, and a line that stands alone can be a command of the client (GO
// for the MS SQL batch clients, "/" for SQL*Plus) whatever quotes it stands
// in. So no such byte stands raw in a script, and no line of a value or a
// name stands where the client would read it as a command.

#include <cstddef>
#include <string>
#include <string_view>

namespace quill {

// A byte below 0x20 other than tab, CR and LF. Such bytes are written
// through the dialect's character function (or its escape), never raw.
inline bool IsCommandByte(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte < 0x20 && c != '\t' && c != '\r' && c != '\n';
}

// One line of a value or name as it would stand in the script: after a line
// break of the text it starts a script line; before one it ends a line.
struct ValueLine {
  std::string_view text;
  bool starts_line = false;
  bool ends_line = false;
};

// How a dialect writes a text that must not hold a raw command byte, a line
// its client reads as a command, or a mark its client substitutes inside
// quotes: literals joined with the character function, each CR, LF, command
// byte and substitution mark written by its code.
struct LiteralForm {
  std::string_view char_function = {};  // "CHAR", "CHR", "chr"
  std::string_view join = {};           // "+", "||"; empty: nested CONCAT(a,b)
  // Whether a line reads as a command of the dialect's client; nullptr: none.
  bool (*command_line)(const ValueLine& line) = nullptr;
  // A character the client replaces with a variable's value, even inside
  // quotes, when `substitutes` holds for the text right after it ('&' then a
  // name in SQL*Plus, "$(" in the MS SQL batch clients); '\0': none.
  char substitution_mark = '\0';
  bool (*substitutes)(std::string_view after) = nullptr;
  // Before the joined literals of a text longer than `long_text` bytes, so the
  // joins keep it whole (MS SQL cuts a join of short strings at 8000 bytes).
  size_t long_text = 0;  // 0: no such start
  std::string_view long_start = {};
};

// What follows SQL*Plus's "&" in a substitution variable: a name or another "&".
bool IsSqlPlusSubstitution(std::string_view after);
// What follows the MS SQL batch clients' "$" in a scripting variable.
bool IsBatchVariable(std::string_view after);

// The MS SQL batch clients: GO (with a count or not), and the commands they
// take at a line's start without a colon (EXIT, QUIT, ED, RESET, "!!"), or
// with one (":r", ":setvar", ...).
bool IsBatchCommandLine(const ValueLine& line);
// SQL*Plus: "/" or "." alone, a blank line (each ends the statement being
// entered), a line starting with "#" (a command run in the middle of a
// statement) and a line ending with ";".
bool IsSqlPlusCommandLine(const ValueLine& line);
// A "/" alone on its line, blanks around it: the terminator of the Pervasive
// clients.
bool IsSlashLine(const ValueLine& line);

// The first byte of text at or after `from` that is a single quote, `extra`
// or below 0x20; npos when there is none. Clean texts are looked at eight
// bytes at a time, so the caller copies each span between such bytes whole.
size_t FindQuoteOrLowByte(std::string_view text, size_t from, char extra);

// Whether a line of text, where it would stand, reads as a command.
bool HoldsCommandLine(std::string_view text, const LiteralForm& form);

// The text between single quotes, each quote doubled, `prefix` before each
// literal (with prefix_non_ascii only when the literal holds characters beyond
// ASCII). With a form, a text holding a command byte or a command line is
// written as literals joined by the form, each CR, LF and command byte by its
// code. Never NULL: an empty text gives ''.
void AppendTextLiteral(std::string& out, std::string_view text, const LiteralForm* form,
                       std::string_view prefix = {}, bool prefix_non_ascii = false);

// A name as it can be written inside identifier quotes, which hold no
// escape: command bytes and substitution marks become blanks, and so do its
// line breaks when one of its lines reads as a command under `form`.
std::string ScriptName(std::string_view name, const LiteralForm* form);

// Removes every NUL of text, for targets whose text cannot hold one; gives
// whether there was any.
bool RemoveNulCharacters(std::string& text);

}  // namespace quill
