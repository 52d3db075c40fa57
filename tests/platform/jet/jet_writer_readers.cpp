#include "platform/jet/jet_writer_readers.h"

#include <glib.h>
// libmdb's header wraps its own includes in extern "C"; glib must come first.
#include <mdbtools.h>
#include <stdio.h>
#include <stdlib.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <sstream>
#include <stdexcept>

extern "C" int mdb_index_find_next_on_page(MdbHandle* mdb, MdbIndexPage* ipg);

namespace quill::jet::writer_testing {
namespace {

std::string Quoted(const std::string& argument) {
  std::string out = "'";
  for (char c : argument) {
    if (c == '\'') {
      out += "'\\''";
    } else {
      out += c;
    }
  }
  return out + "'";
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  while (true) {
    const std::size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab - start));
    if (tab == std::string::npos) break;
    start = tab + 1;
  }
  return fields;
}

std::string NodeCacheFolder() { return QUILL_NODE_CACHE_DIR; }

void InstallNodeReader() {
  static std::once_flag once;
  std::call_once(once, [] {
    int status = 0;
    RunCommand({std::string(QUILL_SOURCE_DIR) + "/tests/jet_reader_node/install_mdb_reader.sh", NodeCacheFolder()},
               &status);
    if (status != 0) throw std::runtime_error("npm could not install mdb-reader");
  });
}

struct MdbTable {
  MdbHandle* mdb = nullptr;
  MdbTableDef* table = nullptr;

  MdbTable(const std::string& file, const std::string& name) {
    mdb = mdb_open(file.c_str(), MDB_NOFLAGS);
    if (mdb == nullptr) throw std::runtime_error("libmdb cannot open " + file);
    mdb_read_catalog(mdb, MDB_ANY);
    table = mdb_read_table_by_name(mdb, const_cast<gchar*>(name.c_str()), MDB_TABLE);
    if (table == nullptr) throw std::runtime_error("libmdb finds no table " + name);
    mdb_read_columns(table);
    mdb_read_indices(table);
  }
  ~MdbTable() {
    if (table != nullptr) mdb_free_tabledef(table);
    if (mdb != nullptr) mdb_close(mdb);
  }

  MdbIndex* PrimaryKey() const {
    for (unsigned i = 0; i < table->num_idxs; ++i) {
      auto* index = static_cast<MdbIndex*>(g_ptr_array_index(table->indices, i));
      if (index->index_type == 1) return index;
    }
    throw std::runtime_error("libmdb finds no primary key");
  }

  // Calls visit(entry bytes) for each entry of the index page in mdb->pg_buf.
  template <typename Visit>
  void ForEachEntry(std::uint32_t page, Visit visit) const {
    mdb_read_pg(mdb, page);
    MdbIndexPage cursor;
    std::memset(&cursor, 0, sizeof cursor);
    mdb_index_page_reset(mdb, &cursor);
    cursor.pg = page;
    while (mdb_index_find_next_on_page(mdb, &cursor)) {
      const auto* bytes = static_cast<const unsigned char*>(mdb->pg_buf) + cursor.offset;
      if (!visit(std::string(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(cursor.len)))) return;
      cursor.offset += cursor.len;
    }
  }
};

std::uint32_t BigEndian(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t k = 0; k < 4; ++k) value = (value << 8) | static_cast<unsigned char>(bytes[at + k]);
  return value;
}

}  // namespace

std::string RunCommand(const std::vector<std::string>& arguments, int* status) {
  std::string command;
  for (const std::string& argument : arguments) command += Quoted(argument) + " ";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) throw std::runtime_error("cannot run " + command);
  std::string out;
  std::array<char, 65536> buffer;
  std::size_t got = 0;
  while ((got = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) out.append(buffer.data(), got);
  const int result = pclose(pipe);
  if (status != nullptr) *status = result;
  return out;
}

std::vector<std::vector<std::string>> ExportRows(const std::string& file, const std::string& table) {
  const std::string text = RunCommand({"mdb-export", "-H", "-d", "\t", "-Q", "-e", "-b", "hex", "-0", "NULL", "-T",
                                       "%Y-%m-%d %H:%M:%S", file, table});
  std::vector<std::vector<std::string>> rows;
  for (const std::string& line : SplitLines(text)) rows.push_back(SplitTabs(line));
  return rows;
}

std::vector<std::string> NodeReaderLines(const std::string& file) {
  InstallNodeReader();
  return SplitLines(RunCommand({"env", "TZ=UTC", "node",
                                std::string(QUILL_SOURCE_DIR) + "/tests/jet_reader_node/read_tables.mjs",
                                NodeCacheFolder(), file}));
}

std::vector<std::optional<double>> StoredDateSerials(const std::string& file, const std::string& table_name,
                                                     const std::string& column_name) {
  MdbTable reader(file, table_name);
  MdbTableDef* table = reader.table;
  unsigned column_index = table->num_cols;
  for (unsigned i = 0; i < table->num_cols; ++i) {
    if (column_name == static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i))->name) column_index = i;
  }
  if (column_index == table->num_cols) throw std::runtime_error("libmdb finds no column " + column_name);
  std::vector<std::optional<double>> serials;
  std::vector<MdbField> fields(table->num_cols);
  mdb_rewind_table(table);
  const std::size_t page_size = reader.mdb->fmt->pg_size;
  const int count_offset = reader.mdb->fmt->row_count_offset;
  while (mdb_fetch_row(table)) {
    // The row just fetched: its bounds from the data page libmdb holds.
    const unsigned char* page = static_cast<const unsigned char*>(reader.mdb->pg_buf);
    const unsigned row = table->cur_row - 1;
    auto offset = [&](unsigned r) { return mdb_get_int16(const_cast<unsigned char*>(page), count_offset + 2 + 2 * r) & 0x1FFF; };
    const int start = offset(row);
    const int end = row == 0 ? static_cast<int>(page_size) : offset(row - 1);
    mdb_crack_row(table, start, static_cast<std::size_t>(end - start), fields.data());
    const MdbField& field = fields[column_index];
    if (field.is_null) {
      serials.push_back(std::nullopt);
    } else {
      serials.push_back(mdb_get_double(field.value, 0));
    }
  }
  return serials;
}

std::optional<std::vector<std::string>> LookUpByPrimaryKey(const std::string& file, const std::string& table_name,
                                                           const std::string& key) {
  MdbTable reader(file, table_name);
  MdbIndex* index = reader.PrimaryKey();
  std::uint32_t page = index->first_pg;
  std::optional<std::uint32_t> pointer;
  for (int depth = 0; depth < 10 && !pointer; ++depth) {
    mdb_read_pg(reader.mdb, page);
    const bool leaf = static_cast<const unsigned char*>(reader.mdb->pg_buf)[0] == 0x04;
    std::optional<std::uint32_t> child;
    bool stop = false;
    reader.ForEachEntry(page, [&](const std::string& entry) {
      const std::size_t key_size = entry.size() - (leaf ? 4 : 8);
      const std::string entry_key = entry.substr(0, key_size);
      if (leaf) {
        if (entry_key == key) pointer = BigEndian(entry, key_size);
        return !pointer && entry_key < key;
      }
      // An intermediate entry holds the last key of its child page.
      if (key <= entry_key) {
        child = BigEndian(entry, key_size + 4);
        return false;
      }
      return true;
    });
    if (leaf || !child) stop = true;
    if (stop) break;
    page = *child;
  }
  if (!pointer) return std::nullopt;
  // The row the pointer names, as libmdb reads it.
  const std::uint32_t data_page = *pointer >> 8;
  const std::uint32_t data_row = *pointer & 0xFF;
  std::vector<std::vector<char>> buffers(reader.table->num_cols, std::vector<char>(MDB_BIND_SIZE));
  std::vector<int> lengths(reader.table->num_cols);
  for (unsigned i = 0; i < reader.table->num_cols; ++i) mdb_bind_column(reader.table, static_cast<int>(i + 1), buffers[i].data(), &lengths[i]);
  mdb_rewind_table(reader.table);
  while (mdb_fetch_row(reader.table)) {
    if (reader.table->cur_phys_pg == data_page && reader.table->cur_row - 1 == data_row) {
      std::vector<std::string> values;
      for (unsigned i = 0; i < reader.table->num_cols; ++i) values.emplace_back(buffers[i].data());
      return values;
    }
  }
  return std::nullopt;
}

int PrimaryKeyFlags(const std::string& file, const std::string& table_name) {
  MdbTable reader(file, table_name);
  return static_cast<int>(reader.PrimaryKey()->flags);
}

std::vector<std::string> PrimaryKeyLeafKeys(const std::string& file, const std::string& table_name) {
  MdbTable reader(file, table_name);
  MdbIndex* index = reader.PrimaryKey();
  std::uint32_t page = index->first_pg;
  // Down the leftmost path to the first leaf.
  for (int depth = 0; depth < 10; ++depth) {
    mdb_read_pg(reader.mdb, page);
    if (static_cast<const unsigned char*>(reader.mdb->pg_buf)[0] == 0x04) break;
    std::uint32_t child = 0;
    reader.ForEachEntry(page, [&](const std::string& entry) {
      child = BigEndian(entry, entry.size() - 4);
      return false;
    });
    page = child;
  }
  std::vector<std::string> keys;
  while (page != 0) {
    reader.ForEachEntry(page, [&](const std::string& entry) {
      keys.push_back(entry.substr(0, entry.size() - 4));
      return true;
    });
    mdb_read_pg(reader.mdb, page);
    page = static_cast<std::uint32_t>(mdb_get_int32(reader.mdb->pg_buf, 12));
  }
  return keys;
}

std::string LongIntegerKey(std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value) ^ 0x80000000u;
  std::string key(1, '\x7f');
  for (int shift = 24; shift >= 0; shift -= 8) key.push_back(static_cast<char>(bits >> shift));
  return key;
}

std::string TextKey(const std::string& digits_and_letters) {
  std::string key(1, '\x7f');
  for (char c : digits_and_letters) {
    if (c >= '0' && c <= '9') key.push_back(static_cast<char>(0x56 + (c - '0')));
    if (c >= 'A' && c <= 'Z') key.push_back(static_cast<char>(0x60 + (c - 'A')));
    if (c >= 'a' && c <= 'z') key.push_back(static_cast<char>(0x60 + (c - 'a')));
  }
  key.push_back('\0');
  return key;
}

std::string NewTestFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "quill-jet-writer-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a test folder");
  static std::vector<std::string> folders;
  static const bool registered = [] {
    std::atexit([] {
      std::error_code ignored;
      for (const std::string& folder : folders) std::filesystem::remove_all(folder, ignored);
    });
    return true;
  }();
  (void)registered;
  folders.push_back(pattern);
  return pattern;
}

}  // namespace quill::jet::writer_testing
