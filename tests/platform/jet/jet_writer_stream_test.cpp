// Raw BLOB values arrive through a binary stream loaded from one temporary
// file that is overwritten for every value: each row keeps its own bytes.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "platform/jet/jet_writer_readers.h"
#include "platform/jet/jet_writer_steps.h"
#include "platform/jet/writer/ado_recordset.h"
#include "platform/jet/writer/adox_catalog.h"
#include "platform/jet/writer/jet_write_error.h"

namespace quill::jet::writer_testing {
namespace {

std::string Hex(const std::string& bytes) {
  static const char* kDigits = "0123456789abcdef";
  std::string out;
  for (unsigned char b : bytes) {
    out.push_back(kDigits[b >> 4]);
    out.push_back(kDigits[b & 15]);
  }
  return out;
}

TEST(JetWriterStreamTest, EachRowKeepsTheBytesTheStreamHeldAtItsTurn) {
  const std::string folder = NewTestFolder();
  const std::string file = folder + "/blobs.mdb";
  const std::string temporary = folder + "/file.tmp";
  const std::vector<std::string> contents = {std::string("\x89PNG\r\n\x1a\n", 8) + std::string(3000, '\x01'),
                                             std::string("GIF89a", 6), std::string(5000, '\0')};
  {
    Catalog catalog;
    catalog.Create(ConnectionString(file, "5"));
    AppendTable(catalog, "Pictures", {{"Id", kAdInteger}, {"Data", kAdLongVarBinary}});
    Connection connection;
    connection.Open(ConnectionString(file, "5"));
    Recordset recordset;
    recordset.Open("Pictures", connection, kAdOpenKeyset, kAdLockOptimistic, kAdCmdTableDirect);
    for (std::size_t i = 0; i < contents.size(); ++i) {
      std::ofstream(temporary, std::ios::binary | std::ios::trunc) << contents[i];
      recordset.AddNew();
      recordset.Fields().Item(0).SetValue(static_cast<std::int64_t>(i + 1));
      Stream stream;
      stream.SetType(kAdTypeBinary);
      stream.Open();
      stream.LoadFromFile(temporary);
      recordset.Fields().Item(1).SetValue(stream.Read());
      stream.Close();
      recordset.Update();
    }
    Stream missing;
    missing.SetType(kAdTypeBinary);
    missing.Open();
    EXPECT_THROW(missing.LoadFromFile(folder + "/no such file"), JetWriteError);
    recordset.Close();
    connection.Close();
    catalog.SetActiveConnection(nullptr);
  }
  const auto node = NodeReaderLines(file);
  ASSERT_EQ(node.size(), 1u + 2u + contents.size());
  for (std::size_t i = 0; i < contents.size(); ++i) {
    EXPECT_EQ(node[3 + i], "row\t" + std::to_string(i + 1) + "\t0x" + Hex(contents[i])) << "row " << i;
  }
}

}  // namespace
}  // namespace quill::jet::writer_testing
