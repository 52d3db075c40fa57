#include "platform/jet/jet_writer_steps.h"

namespace quill::jet::writer_testing {

std::string ConnectionString(const std::string& file, const std::string& engine) {
  return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + file + ";Jet OLEDB:Engine Type=" + engine;
}

void AppendTable(Catalog& catalog, const std::string& name, const std::vector<ColumnSpec>& columns) {
  Table table;
  table.SetParentCatalog(catalog);
  table.SetName(name);
  for (const ColumnSpec& spec : columns) {
    Column column;
    column.SetParentCatalog(catalog);
    column.SetName(spec.name);
    column.SetType(spec.type);
    column.SetDefinedSize(spec.size);
    column.Properties().Item("Description").SetValue(std::string());
    column.Properties().Item("Nullable").SetValue(spec.nullable);
    column.Properties().Item("Jet OLEDB:Allow Zero Length").SetValue(false);
    column.Properties().Item("Jet OLEDB:Compressed UNICODE Strings").SetValue(true);
    table.Columns().Append(column, spec.type, spec.size);
  }
  catalog.Tables().Append(table);
}

void AppendPrimaryKey(Catalog& catalog, const std::string& table_name, const std::string& column_name) {
  Table& table = catalog.Tables().Item(table_name);
  Column& column = table.Columns().Item(column_name);
  Key key;
  key.SetName("PrimaryKey");
  key.SetType(kAdKeyPrimary);
  key.SetRelatedTable("");
  key.Columns().Append(column.Name(), column.Type(), column.DefinedSize());
  key.Columns().Item(column.Name()).SetRelatedColumn("");
  table.Keys().Append(key, kAdKeyPrimary, "", "", "");
}

}  // namespace quill::jet::writer_testing
