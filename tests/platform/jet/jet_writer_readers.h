#pragma once

// Reading the writer's files back with readers written elsewhere: the
// mdbtools command-line tools, libmdb's own index page parser and the npm
// package mdb-reader.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quill::jet::writer_testing {

// Standard output of a command given as separate arguments (quoted here);
// the exit status goes to status when given.
std::string RunCommand(const std::vector<std::string>& arguments, int* status = nullptr);

// mdb-export of one table: one vector of field texts per row. Null is "NULL",
// text escaped C-style, binary as hex digits, date-times as
// "%Y-%m-%d %H:%M:%S", Yes/No as 1/0.
std::vector<std::vector<std::string>> ExportRows(const std::string& file, const std::string& table);

// Lines of mdb-reader's view (tests/jet_reader_node/read_tables.mjs).
std::vector<std::string> NodeReaderLines(const std::string& file);

// What libmdb's row parser finds in a date-time column of every row (mdbtools
// prints no date before 1900): the stored serial, or nothing for Null.
std::vector<std::optional<double>> StoredDateSerials(const std::string& file, const std::string& table,
                                                     const std::string& column);

// Looks key up through the table's primary-key index, walking from the root
// with libmdb's index page functions; key is the index key bytes. Returns the
// data row the index names, as libmdb reads it (field texts), or nothing.
std::optional<std::vector<std::string>> LookUpByPrimaryKey(const std::string& file, const std::string& table,
                                                           const std::string& key);

// The flags byte of the table's primary-key index as libmdb reads it
// (0x01 unique, 0x02 ignore nulls, 0x08 required).
int PrimaryKeyFlags(const std::string& file, const std::string& table);

// Every key of the index's leaf pages, left to right, as libmdb parses them.
std::vector<std::string> PrimaryKeyLeafKeys(const std::string& file, const std::string& table);

// Index key bytes of a long integer and of a text of digits and letters, in
// the format's documented encoding.
std::string LongIntegerKey(std::int32_t value);
std::string TextKey(const std::string& digits_and_letters);

// A fresh folder for one test's files, removed at exit of the process.
std::string NewTestFolder();

}  // namespace quill::jet::writer_testing
