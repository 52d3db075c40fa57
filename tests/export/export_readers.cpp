#include "export_readers.h"

#include <pugixml.hpp>

#include <stdexcept>

#include "platform/jet/jet_writer_readers.h"

namespace quill::testing {
namespace {

// Every value goes through as the hex digits of its UTF-8 bytes: values
// joined by ",", rows by LF.
constexpr const char* kCsvToHex = R"(
import csv, sys
with open(sys.argv[1], newline='', encoding='utf-8') as f:
    for row in csv.reader(f, delimiter=';', quotechar='"', strict=True):
        print(','.join(value.encode('utf-8').hex() for value in row))
)";

std::string FromHex(const std::string& hex) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return bytes;
}

}  // namespace

TextRows ReadCsvFile(const std::string& path) {
  int status = 0;
  const std::string out = jet::writer_testing::RunCommand({"python3", "-c", kCsvToHex, path}, &status);
  if (status != 0) throw std::runtime_error("Python's csv reader failed on " + path);
  TextRows rows;
  std::size_t start = 0;
  while (start < out.size()) {
    const std::size_t end = out.find('\n', start);
    const std::string line = out.substr(start, end - start);
    std::vector<std::string> row;
    std::size_t from = 0;
    while (true) {
      const std::size_t comma = line.find(',', from);
      row.push_back(FromHex(line.substr(from, comma - from)));
      if (comma == std::string::npos) break;
      from = comma + 1;
    }
    rows.push_back(row);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return rows;
}

XmlExport ReadXmlFile(const std::string& path) {
  pugi::xml_document document;
  const pugi::xml_parse_result parsed = document.load_file(path.c_str(), pugi::parse_default | pugi::parse_comments);
  if (!parsed) throw std::runtime_error(path + " is not well-formed XML: " + parsed.description());
  XmlExport result;
  const pugi::xml_node root = document.document_element();
  result.root = root.name();
  for (const pugi::xml_node& node : root.children()) {
    if (node.type() == pugi::node_comment) {
      result.comments.push_back(node.value());
      continue;
    }
    if (node.type() != pugi::node_element || std::string(node.name()) != "Records") {
      throw std::runtime_error("unexpected node in " + path + ": " + node.name());
    }
    std::vector<std::string> row;
    const bool first = result.records.empty();
    for (const pugi::xml_node& value : node.children()) {
      if (first) result.field_names.push_back(value.name());
      row.push_back(value.child_value());
    }
    result.records.push_back(row);
  }
  return result;
}

}  // namespace quill::testing
