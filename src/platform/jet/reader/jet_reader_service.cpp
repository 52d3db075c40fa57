#include "platform/jet/reader/jet_reader_service.h"

#include <strings.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/dataset/data_access_error.h"
#include "platform/jet/reader/mdb_backend.h"
#include "platform/jet/reader/reader_protocol.h"
#include "platform/jet/reader/xls_workbook.h"

namespace quill {
namespace {

using namespace jet_reader;

std::unique_ptr<ConnectionBackend> OpenFileBackend(const std::string& path) {
  if (strcasecmp(std::filesystem::path(path).extension().c_str(), ".xls") == 0) {
    return std::make_unique<XlsBackend>(path);
  }
  return std::make_unique<MdbBackend>(path);
}

class Service {
 public:
  explicit Service(int fd) : in_(fd, -1), out_(fd) {}

  int Run() {
    try {
      while (!in_.AtEnd()) {
        const uint8_t request = in_.Byte();
        try {
          Answer(request);
        } catch (const DataAccessError& error) {
          out_.Byte(kError);
          out_.String(error.what());
        }
        out_.Flush();
      }
      return 0;
    } catch (const ChannelBroken&) {
      return 1;
    } catch (const std::exception& error) {
      std::fprintf(stderr, "quillmarsh-jet-reader: %s\n", error.what());
      std::abort();  // as a crash: the program calls the file damaged
    }
  }

 private:
  void Answer(uint8_t request) {
    switch (request) {
      case kOpen: {
        const std::string path = in_.String();
        backend_.reset();
        backend_ = OpenFileBackend(path);
        out_.Byte(kOk);
        break;
      }
      case kSchema: {
        SchemaRestrictions restrictions;
        const SchemaKind kind = ReadRestrictions(in_, restrictions);
        std::unique_ptr<Dataset> rowset = Backend().OpenSchema(kind, restrictions);
        out_.Byte(kOk);
        for (rowset->First(); !rowset->Eof(); rowset->Next()) WriteValues(out_, *rowset);
        out_.Byte(kEnd);
        break;
      }
      case kTable: {
        const std::string name = in_.String();
        std::unique_ptr<Dataset> table = Backend().OpenTable(name);
        out_.Byte(kOk);
        WriteFields(out_, *table);
        out_.Signed(table->RecordCount().value_or(-1));
        for (; !table->Eof(); table->Next()) WriteValues(out_, *table);
        out_.Byte(kEnd);
        break;
      }
      default:
        throw ChannelBroken("unknown request");
    }
  }

  ConnectionBackend& Backend() {
    if (!backend_) throw ChannelBroken("no file is open");
    return *backend_;
  }

  ChannelReader in_;
  ChannelWriter out_;
  std::unique_ptr<ConnectionBackend> backend_;
};

}  // namespace

int ServeJetReader(int fd) { return Service(fd).Run(); }

}  // namespace quill
