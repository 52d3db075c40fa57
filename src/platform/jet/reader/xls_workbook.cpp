#include "platform/jet/reader/xls_workbook.h"

#include <freexl.h>
#include <strings.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/dataset/data_access_error.h"
#include "platform/jet/reader/jet_field.h"
#include "platform/jet/reader/rowset_dataset.h"
#include "platform/jet/reader/schema_restrictions.h"
#include "platform/text/text_encoding.h"

namespace quill {
namespace {

constexpr int kSheetTextSize = 255;

bool IsNumber(const FreeXL_CellValue& cell) { return cell.type == FREEXL_CELL_INT || cell.type == FREEXL_CELL_DOUBLE; }

bool IsDate(const FreeXL_CellValue& cell) {
  return cell.type == FREEXL_CELL_DATE || cell.type == FREEXL_CELL_DATETIME || cell.type == FREEXL_CELL_TIME;
}

// The cell as text: numbers in their shortest exact form, dates as FreeXL
// writes them ("YYYY-MM-DD", "YYYY-MM-DD HH:MM:SS", "HH:MM:SS").
std::string CellText(const FreeXL_CellValue& cell) {
  char buffer[64];
  switch (cell.type) {
    case FREEXL_CELL_INT:
      return std::to_string(cell.value.int_value);
    case FREEXL_CELL_DOUBLE:
      std::snprintf(buffer, sizeof buffer, "%.15g", cell.value.double_value);
      return buffer;
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME:
      return cell.value.text_value != nullptr ? cell.value.text_value : "";
    default:
      return {};
  }
}

DateTime CellDateTime(const FreeXL_CellValue& cell) {
  DateTime value;
  const char* text = cell.value.text_value != nullptr ? cell.value.text_value : "";
  if (cell.type == FREEXL_CELL_TIME) {
    std::sscanf(text, "%d:%d:%d", &value.hour, &value.minute, &value.second);
  } else {
    std::sscanf(text, "%d-%d-%d %d:%d:%d", &value.year, &value.month, &value.day, &value.hour, &value.minute,
                &value.second);
  }
  return value;
}

FreeXL_CellValue ReadCell(const void* handle, unsigned int row, unsigned short column) {
  FreeXL_CellValue cell{};
  if (freexl_get_cell_value(handle, row, column, &cell) != FREEXL_OK) cell.type = FREEXL_CELL_NULL;
  return cell;
}

void SelectSheet(const XlsWorkbook& workbook, const std::string& sheet_name, unsigned int& rows,
                 unsigned short& columns) {
  const std::vector<std::string>& names = workbook.SheetNames();
  for (size_t i = 0; i < names.size(); ++i) {
    if (strcasecmp(names[i].c_str(), sheet_name.c_str()) != 0) continue;
    if (freexl_select_active_worksheet(workbook.handle(), static_cast<unsigned short>(i)) != FREEXL_OK ||
        freexl_worksheet_dimensions(workbook.handle(), &rows, &columns) != FREEXL_OK) {
      throw DataAccessError("The sheet '" + sheet_name + "' cannot be read.");
    }
    return;
  }
  throw DataAccessError("The table '" + sheet_name + "' does not exist.");
}

}  // namespace

XlsWorkbook::XlsWorkbook(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) throw DataAccessError("Could not find file '" + path + "'.");
  if (freexl_open(path.c_str(), &handle_) != FREEXL_OK) {
    if (handle_ != nullptr) freexl_close(handle_);
    handle_ = nullptr;
    throw DataAccessError("External table is not in the expected format: '" + path + "'.");
  }
  unsigned int sheet_count = 0;
  freexl_get_info(handle_, FREEXL_BIFF_SHEET_COUNT, &sheet_count);
  for (unsigned int i = 0; i < sheet_count; ++i) {
    const char* name = nullptr;
    if (freexl_get_worksheet_name(handle_, static_cast<unsigned short>(i), &name) == FREEXL_OK && name != nullptr) {
      sheet_names_.push_back(name);
    } else {
      sheet_names_.push_back("Sheet" + std::to_string(i + 1));
    }
  }
}

XlsWorkbook::~XlsWorkbook() {
  if (handle_ != nullptr) freexl_close(handle_);
}

XlsSheetDataset::XlsSheetDataset(const std::string& path, const std::string& sheet_name) : workbook_(path) {
  unsigned short columns = 0;
  SelectSheet(workbook_, sheet_name, row_count_, columns);
  const void* handle = workbook_.handle();
  for (unsigned short c = 0; c < columns; ++c) {
    std::string name = row_count_ > 0 ? CellText(ReadCell(handle, 0, c)) : std::string();
    if (name.empty()) name = "F" + std::to_string(c + 1);
    // The column's kind is what all its values have in common.
    bool all_numbers = true;
    bool all_dates = true;
    size_t longest = 0;
    for (unsigned int r = 1; r < row_count_; ++r) {
      const FreeXL_CellValue cell = ReadCell(handle, r, c);
      if (cell.type == FREEXL_CELL_NULL) continue;
      all_numbers = all_numbers && IsNumber(cell);
      all_dates = all_dates && IsDate(cell);
      longest = std::max(longest, Utf8Length(CellText(cell)));
    }
    if (all_numbers && !all_dates) {
      fields_.push_back(MakeJetField(name, "TFloatField", FieldKind::ftFloat, 0, c));
    } else if (all_dates && !all_numbers) {
      fields_.push_back(MakeJetField(name, "TDateTimeField", FieldKind::ftDateTime, 0, c));
    } else if (longest > static_cast<size_t>(kSheetTextSize)) {
      fields_.push_back(MakeJetField(name, "TMemoField", FieldKind::ftMemo, 0, c));
    } else {
      fields_.push_back(MakeJetField(name, "TWideStringField", FieldKind::ftWideString, kSheetTextSize, c));
    }
  }
  First();
}

void XlsSheetDataset::First() {
  row_ = 1;
  LoadRow();
}

void XlsSheetDataset::Next() {
  if (row_ < row_count_) ++row_;
  LoadRow();
}

void XlsSheetDataset::LoadRow() {
  if (Eof()) return;
  for (auto& field : fields_) {
    const FreeXL_CellValue cell = ReadCell(workbook_.handle(), row_, static_cast<unsigned short>(field->Index()));
    if (cell.type == FREEXL_CELL_NULL) {
      field->SetNull();
    } else if (field->Kind() == FieldKind::ftFloat) {
      field->SetFloat(cell.type == FREEXL_CELL_INT ? cell.value.int_value : cell.value.double_value);
    } else if (field->Kind() == FieldKind::ftDateTime) {
      field->SetDateTime(CellDateTime(cell));
    } else {
      field->SetText(CellText(cell));
    }
  }
}

XlsBackend::XlsBackend(const std::string& path) : path_(path), workbook_(path) {}

std::unique_ptr<Dataset> XlsBackend::OpenSchema(SchemaKind kind, const SchemaRestrictions& restrictions) {
  auto rowset = MakeSchemaRowset(kind);
  if (kind == SchemaKind::PrimaryKeys) return rowset;  // sheets have no keys
  for (const std::string& name : workbook_.SheetNames()) {
    if (!MatchesJetRestrictions(restrictions, name)) continue;
    if (kind == SchemaKind::Tables) {
      rowset->AddRow({{}, {}, name, std::string("TABLE")});
      continue;
    }
    XlsSheetDataset sheet(path_, name);
    for (int i = 0; i < sheet.FieldCount(); ++i) {
      const Field& field = sheet.FieldAt(i);
      MemoryRowset::Cell length;
      if (field.Kind() == FieldKind::ftWideString) length = int64_t{field.Size()};
      rowset->AddRow({{}, {}, name, field.Name(), int64_t{i + 1}, length});
    }
  }
  return rowset;
}

std::unique_ptr<Dataset> XlsBackend::OpenTable(const std::string& table_name) {
  for (const std::string& name : workbook_.SheetNames()) {
    if (strcasecmp(name.c_str(), table_name.c_str()) == 0) return std::make_unique<XlsSheetDataset>(path_, name);
  }
  return std::make_unique<XlsSheetDataset>(path_, StripBrackets(table_name));
}

}  // namespace quill
