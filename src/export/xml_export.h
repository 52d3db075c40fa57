#pragma once

#include <string>
#include <string_view>

#include "common/clock.h"
#include "common/safe_file_name.h"
#include "common/user_interface.h"
#include "export/run_stop.h"
#include "generator/left_out_blobs.h"
#include "platform/dataset/dataset.h"
#include "sources/settings.h"

namespace quill {

// Whether text is an XML element name (the Name production of XML 1.0): no
// blanks, no leading digit, "-" or ".".
bool IsXmlName(std::string_view name);

// What the XML export needs besides its arguments: the live options, the
// windows (progress, the selected node's caption for BLOB folders), the
// clock of the date comment, the run's Escape poll, and the run's BLOB
// folder names with the listed name of the table, which owns its folder.
struct XmlExportContext {
  const Settings& settings;
  UserInterface& ui;
  Clock clock;
  RunStop& stop;
  RunFileNames& file_names;
  std::string listed_name;
};

// The text of a field's value in the XML file, by its kind; a BLOB value
// written "null" because the options keep no text or file of it is counted
// in left_out_blobs.
std::string XmlValueText(const XmlExportContext& context, const Field& field, const std::string& table_name,
                         int row_number, LeftOutBlobs& left_out_blobs);

// Writes the source table, from its first row, as one XML document named
// after table_name: the comments, then one "Records" element per row holding
// one element per field, its text escaped (CR as a character reference, so
// it reads back as CR). Escape is polled between rows. Rows stream to a file
// beside the target, which replaces the target only when complete. BLOB
// values left out are said in a plain line per column (LeftOutBlobs). False
// when a name is not an XML name, a value has characters XML cannot hold,
// reading or writing fails, or Escape stopped the rows; the target is then
// left as it was, and the reason, when there is one, in failure_reason.
bool ExportTableToXml(const XmlExportContext& context, Dataset& source, const std::string& file_name,
                      const std::string& table_name, std::string* failure_reason = nullptr);

}  // namespace quill
