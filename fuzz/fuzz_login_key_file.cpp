// A login key file: its record decoded, and encoded again into one record.
#include "fuzz_support.h"
#include "platform/files/in_out_error.h"
#include "sources/dsn_key_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = quill::fuzz::WriteInput(data, size, "source.key");
  try {
    const quill::DsnLogin login = quill::ReadDsnKeyFile(path);
    if (quill::EncodeDsnKeyRecord(login).size() != quill::kDsnKeyRecordSize) __builtin_trap();
  } catch (const quill::InOutError&) {
    // a file shorter than a record
  }
  return 0;
}
