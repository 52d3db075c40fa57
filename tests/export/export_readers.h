#pragma once

// Exported files read back by readers written elsewhere: CSV through
// Python's csv module, XML through pugixml, Access files through mdbtools and
// mdb-reader (tests/platform/jet/jet_writer_readers.h).

#include <string>
#include <vector>

namespace quill::testing {

using TextRows = std::vector<std::vector<std::string>>;

// The rows of a CSV file as Python's csv reader splits them (UTF-8,
// delimiter ";", double quotes). An empty line, which is how a row of one
// empty value is written, comes back as that one empty value.
TextRows ReadCsvFile(const std::string& path);

// An exported XML file parsed with pugixml (line ends normalized as every
// parser does): the root element's name, its comments, and every "Records"
// element as its field texts in order. Throws when the file is not
// well-formed or an element is not where the export puts it.
struct XmlExport {
  std::string root;
  std::vector<std::string> comments;
  std::vector<std::string> field_names;  // of the first record
  TextRows records;
};
XmlExport ReadXmlFile(const std::string& path);

}  // namespace quill::testing
