#include "sources/dsn_key_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/files/atomic_file.h"
#include "platform/files/in_out_error.h"
#include "sources/login_scrambling.h"

namespace quill {
namespace {

bool IsContinuationByte(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

void EncodeField(const std::string& text, std::string& record, size_t offset) {
  const std::string scrambled = ScrambleString(CutToWholeUtf8Characters(text, kDsnKeyFieldCapacity), kPasswordStartKey);
  record[offset] = static_cast<char>(scrambled.size());
  std::copy(scrambled.begin(), scrambled.end(), record.begin() + static_cast<std::ptrdiff_t>(offset) + 1);
}

std::string DecodeField(std::string_view record, size_t offset) {
  // A length beyond the capacity (a damaged file) reads the whole field.
  const size_t length = std::min<size_t>(static_cast<unsigned char>(record[offset]), kDsnKeyFieldCapacity);
  return UnscrambleString(std::string(record.substr(offset + 1, length)), kPasswordStartKey);
}

}  // namespace

std::string CutToWholeUtf8Characters(const std::string& text, size_t max_bytes) {
  if (text.size() <= max_bytes) return text;
  size_t cut = max_bytes;
  // A UTF-8 character has at most three continuation bytes after its lead byte.
  for (int step = 0; step < 3 && cut > 0 && IsContinuationByte(text[cut]); ++step) --cut;
  if (IsContinuationByte(text[cut])) cut = max_bytes;  // not UTF-8: cut at the byte limit
  return text.substr(0, cut);
}

std::string EncodeDsnKeyRecord(const DsnLogin& login) {
  std::string record(kDsnKeyRecordSize, '\0');
  EncodeField(login.user_name, record, 0);
  EncodeField(login.password, record, 1 + kDsnKeyFieldCapacity);
  return record;
}

DsnLogin DecodeDsnKeyRecord(std::string_view record) {
  return DsnLogin{DecodeField(record, 0), DecodeField(record, 1 + kDsnKeyFieldCapacity)};
}

std::string DsnKeyFolder(const std::string& program_folder) { return program_folder + "pssw"; }

std::optional<std::string> DsnKeyFilePath(const std::string& program_folder, const std::string& dsn_name) {
  if (dsn_name.find('/') != std::string::npos || dsn_name.find('\0') != std::string::npos) return std::nullopt;
  return DsnKeyFolder(program_folder) + "/" + dsn_name + ".key";
}

DsnLogin ReadDsnKeyFile(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw InOutErrorFromErrno(errno);
  std::string record(kDsnKeyRecordSize, '\0');
  size_t filled = 0;
  while (filled < record.size()) {
    const ssize_t got = read(fd, record.data() + filled, record.size() - filled);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      const int error = errno;
      close(fd);
      throw InOutErrorFromErrno(error);
    }
    if (got == 0) break;
    filled += static_cast<size_t>(got);
  }
  close(fd);
  if (filled < record.size()) throw ReadBeyondEndOfFile();
  return DecodeDsnKeyRecord(record);
}

void WriteDsnKeyFile(const std::string& path, const DsnLogin& login) {
  WriteFileAtomically(path, EncodeDsnKeyRecord(login), FileAccess::kOwnerOnly);
}

}  // namespace quill
