#include "platform/jet/reader/child_jet_backend.h"

#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/files/program_folder.h"
#include "platform/jet/reader/reader_protocol.h"
#include "platform/jet/reader/rowset_dataset.h"

extern char** environ;

namespace quill {
namespace {

using namespace jet_reader;

constexpr char kReaderFileName[] = "quillmarsh-jet-reader";

}  // namespace

JetReaderOptions DefaultJetReaderOptions() {
  JetReaderOptions options;
  const char* program = std::getenv("QUILLMARSH_JET_READER");
  options.program = program != nullptr && *program != '\0' ? program : ProgramFolder() + kReaderFileName;
  return options;
}

DataAccessError DamagedFileError(const std::string& data_source) {
  return DataAccessError("Could not read " + data_source + ": the file is damaged");
}

DataAccessError ReaderStoppedError(const std::string& data_source) {
  return DataAccessError("The reader of " + data_source + " stopped");
}

bool WasStoppedFromOutside(int wait_status) {
  if (!WIFSIGNALED(wait_status)) return false;
  const int signal = WTERMSIG(wait_status);
  return signal == SIGKILL || signal == SIGTERM || signal == SIGINT || signal == SIGHUP;
}

// A connected socket pair: one end stays here, the other becomes the
// reader's standard input.
JetReaderProcess::Child::Child(const std::string& program, const std::string& data_source) {
  int ends[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
    throw DataAccessError("Could not read " + data_source + ": " + std::strerror(errno));
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, ends[1], STDIN_FILENO);
  std::vector<char*> argv = {const_cast<char*>(program.c_str()), nullptr};
  const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(ends[1]);
  if (spawned != 0) {
    close(ends[0]);
    throw DataAccessError("Could not read " + data_source + ": the reader " + program + " cannot be started (" +
                          std::strerror(spawned) + ").");
  }
  fd = ends[0];
}

JetReaderProcess::Child::~Child() {
  close(fd);
  if (pid <= 0) return;  // already reaped
  // The reader holds nothing worth a clean end; a hung one must go too.
  kill(pid, SIGKILL);
  while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
  }
}

int JetReaderProcess::Child::WaitForEnd(int milliseconds) {
  constexpr int kStepMs = 10;
  for (int waited = 0; pid > 0; waited += kStepMs) {
    int status = 0;
    const pid_t ended = waitpid(pid, &status, WNOHANG);
    if (ended == pid) {
      pid = -1;
      return status;
    }
    if (ended < 0 && errno != EINTR) return -1;
    if (waited >= milliseconds) return -1;
    usleep(kStepMs * 1000);
  }
  return -1;
}

JetReaderProcess::JetReaderProcess(const JetReaderOptions& options, const std::string& data_source)
    : child_(options.program, data_source), out_(child_.fd), in_(child_.fd, options.timeout_ms) {
  try {
    out_.Byte(kOpen);
    out_.String(data_source);
    out_.Flush();
    ExpectOk();
  } catch (const ChannelBroken& broken) {
    throw BrokenChannelError(broken, data_source);
  }
}

DataAccessError JetReaderProcess::BrokenChannelError(const ChannelBroken& broken, const std::string& data_source) {
  // A hung reader is alive: it hangs on the file.
  if (dynamic_cast<const ChannelSilent*>(&broken) != nullptr) return DamagedFileError(data_source);
  // A closed channel comes a moment before the ended process can be reaped.
  constexpr int kEndWaitMs = 2000;
  const int status = child_.WaitForEnd(kEndWaitMs);
  if (status != -1 && WasStoppedFromOutside(status)) return ReaderStoppedError(data_source);
  return DamagedFileError(data_source);
}

void JetReaderProcess::ExpectOk() {
  const uint8_t reply = in_.Byte();
  if (reply == kOk) return;
  if (reply == kError) ThrowReaderError();
  throw ChannelBroken("unexpected reply");
}

void JetReaderProcess::ThrowReaderError() { throw DataAccessError(in_.String()); }

ChildJetBackend::ChildJetBackend(JetReaderOptions options, std::string data_source)
    : options_(std::move(options)),
      data_source_(std::move(data_source)),
      catalog_(std::make_unique<JetReaderProcess>(options_, data_source_)) {}

std::unique_ptr<Dataset> ChildJetBackend::OpenSchema(SchemaKind kind, const SchemaRestrictions& restrictions) {
  if (!catalog_) catalog_ = std::make_unique<JetReaderProcess>(options_, data_source_);
  try {
    catalog_->Out().Byte(kSchema);
    WriteRestrictions(catalog_->Out(), kind, restrictions);
    catalog_->Out().Flush();
    catalog_->ExpectOk();
    std::unique_ptr<MemoryRowset> rowset = MakeSchemaRowset(kind);
    const int columns = rowset->FieldCount();
    while (true) {
      const uint8_t reply = catalog_->In().Byte();
      if (reply == kRow) {
        ReadRowsetRow(catalog_->In(), *rowset, columns);
      } else if (reply == kEnd) {
        return rowset;
      } else if (reply == kError) {
        catalog_->ThrowReaderError();
      } else {
        throw ChannelBroken("unexpected reply");
      }
    }
  } catch (const ChannelBroken& broken) {
    const DataAccessError error = catalog_->BrokenChannelError(broken, data_source_);
    catalog_.reset();  // the next request starts a new reader
    throw error;
  }
}

std::unique_ptr<Dataset> ChildJetBackend::OpenTable(const std::string& table_name) {
  return std::make_unique<ChildTableDataset>(options_, data_source_, table_name);
}

ChildTableDataset::ChildTableDataset(const JetReaderOptions& options, const std::string& data_source,
                                     const std::string& table_name)
    : options_(options), data_source_(data_source), table_name_(table_name) {
  Start();
}

void ChildTableDataset::Start() {
  process_.reset();
  eof_ = true;
  process_ = std::make_unique<JetReaderProcess>(options_, data_source_);
  try {
    process_->Out().Byte(kTable);
    process_->Out().String(table_name_);
    process_->Out().Flush();
    process_->ExpectOk();
    std::vector<std::unique_ptr<Field>> fields = ReadFields(process_->In());
    if (fields_.empty()) {
      fields_ = std::move(fields);
    } else if (fields.size() != fields_.size()) {
      throw ChannelBroken("the table changed");
    }
    const int64_t count = process_->In().Signed();
    record_count_ = count >= 0 ? std::optional<int64_t>(count) : std::nullopt;
  } catch (const ChannelBroken& broken) {
    const DataAccessError error = process_->BrokenChannelError(broken, data_source_);
    process_.reset();
    throw error;
  }
  moved_ = false;
  ReadRow();
}

void ChildTableDataset::ReadRow() {
  try {
    const uint8_t reply = process_->In().Byte();
    if (reply == kRow) {
      ReadValues(process_->In(), *this);
      eof_ = false;
      return;
    }
    eof_ = true;
    if (reply == kEnd) {
      process_.reset();  // all rows read: the reader is done
      return;
    }
    if (reply == kError) process_->ThrowReaderError();
    throw ChannelBroken("unexpected reply");
  } catch (const ChannelBroken& broken) {
    eof_ = true;
    const DataAccessError error = process_->BrokenChannelError(broken, data_source_);
    process_.reset();
    throw error;
  } catch (const DataAccessError&) {
    eof_ = true;
    process_.reset();
    throw;
  }
}

void ChildTableDataset::Next() {
  if (eof_) return;
  moved_ = true;
  ReadRow();
}

void ChildTableDataset::First() {
  if (!moved_) return;  // still on the first row (or the table is empty)
  Start();
}

void ChildTableDataset::Last() {
  eof_ = true;
  moved_ = true;
  process_.reset();
}

}  // namespace quill
