#pragma once

#include <sys/types.h>

#include <memory>
#include <optional>
#include <string>

#include "platform/dataset/connection_backend.h"
#include "platform/dataset/data_access_error.h"
#include "platform/dataset/dataset.h"
#include "platform/jet/reader/reader_channel.h"

namespace quill {

// Where the Jet reader program is and how long it may stay silent before it
// counts as hung.
struct JetReaderOptions {
  std::string program;
  int timeout_ms = 60000;
};

// The reader beside the running program ("quillmarsh-jet-reader" in the
// program's folder); the environment variable QUILLMARSH_JET_READER names
// another one (tests run from their own folders).
JetReaderOptions DefaultJetReaderOptions();

// One running reader process with its channel, ended (killed and reaped) on
// destruction.
class JetReaderProcess {
 public:
  // Starts the reader and opens data_source in it. Throws DataAccessError
  // with the reader's own message when the file does not open there.
  JetReaderProcess(const JetReaderOptions& options, const std::string& data_source);
  JetReaderProcess(const JetReaderProcess&) = delete;
  JetReaderProcess& operator=(const JetReaderProcess&) = delete;

  ChannelWriter& Out() { return out_; }
  ChannelReader& In() { return in_; }
  // Reads the first byte of a reply: passes on kOk, throws the reader's
  // DataAccessError on kError, ChannelBroken on anything else.
  void ExpectOk();
  // After a kError byte: the reader's message as a DataAccessError.
  [[noreturn]] void ThrowReaderError();
  // What the user is told when the channel broke: the reader was stopped
  // from outside (killed or terminated, the file may well be sound:
  // ReaderStoppedError), or it crashed, ended, hung or answered nonsense on
  // the file (DamagedFileError).
  DataAccessError BrokenChannelError(const ChannelBroken& broken, const std::string& data_source);

 private:
  // The started process and this end of its channel, ended first thing on
  // destruction, also when the constructor throws after the start.
  struct Child {
    Child(const std::string& program, const std::string& data_source);
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    // The wait status once the process has ended (it is then reaped), or
    // -1 when it is still running after `milliseconds`.
    int WaitForEnd(int milliseconds);
    pid_t pid = -1;
    int fd = -1;
  };

  Child child_;
  ChannelWriter out_;
  ChannelReader in_;
};

// What the user sees when the reader crashed, ended or hung on a file.
DataAccessError DamagedFileError(const std::string& data_source);
// What the user sees when the reader was stopped from outside (killed,
// terminated): "The reader of FILE stopped".
DataAccessError ReaderStoppedError(const std::string& data_source);
// Whether a reader's wait status means it was stopped from outside (SIGKILL,
// SIGTERM, SIGINT, SIGHUP) rather than failing on the file.
bool WasStoppedFromOutside(int wait_status);

// An .mdb/.accdb or .xls file read by reader processes: one for the schema
// rowsets (started again after it failed), one per open table. The rowsets,
// fields and values are those of the readers in this folder, exactly.
class ChildJetBackend : public ConnectionBackend {
 public:
  // Throws DataAccessError when the file does not open in the reader.
  ChildJetBackend(JetReaderOptions options, std::string data_source);

  std::unique_ptr<Dataset> OpenSchema(SchemaKind kind, const SchemaRestrictions& restrictions) override;
  std::unique_ptr<Dataset> OpenTable(const std::string& table_name) override;

 private:
  JetReaderOptions options_;
  std::string data_source_;
  std::unique_ptr<JetReaderProcess> catalog_;
};

// A table streamed from a reader process of its own. First() after the
// first row starts the reader again.
class ChildTableDataset : public Dataset {
 public:
  ChildTableDataset(const JetReaderOptions& options, const std::string& data_source, const std::string& table_name);

  bool Eof() const override { return eof_; }
  void Next() override;
  void First() override;
  void Last() override;
  std::optional<int64_t> RecordCount() override { return record_count_; }

 private:
  void Start();
  void ReadRow();

  JetReaderOptions options_;
  std::string data_source_;
  std::string table_name_;
  std::unique_ptr<JetReaderProcess> process_;
  std::optional<int64_t> record_count_;
  bool eof_ = true;
  bool moved_ = false;  // past the first row since the reader started
};

}  // namespace quill
