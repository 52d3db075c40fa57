// A foreign-key set file (".fks"): its lines and rows; a row read back from
// the text it is saved as is the same row.
#include "foreignkeys/foreign_key_set_file.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = quill::fuzz::WriteInput(data, size, "set.fks");
  for (const std::string& line : quill::ReadForeignKeySetLines(path)) {
    quill::ForeignKeySetRow row;
    if (!quill::ParseForeignKeySetLine(line, row)) continue;
    const std::string text = quill::ForeignKeySetText("date", "source", {row});
    const std::string saved_line = text.substr(text.find("\r\n", text.find("\r\n") + 2) + 2);
    quill::ForeignKeySetRow again;
    if (!quill::ParseForeignKeySetLine(saved_line.substr(0, saved_line.find("\r\n")), again) ||
        !(again.key == row.key) || again.selected != row.selected || again.stamp != row.stamp) {
      __builtin_trap();
    }
  }
  return 0;
}
