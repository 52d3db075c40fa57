#include "platform/jet/writer/adox_catalog.h"

#include "platform/jet/writer/column_definition.h"
#include "platform/jet/writer/connection_string.h"
#include "platform/jet/writer/jet_database.h"
#include "platform/jet/writer/jet_write_error.h"
#include "platform/jet/writer/open_databases.h"
#include "platform/jet/writer/text_encoding.h"

namespace quill::jet {
namespace {

constexpr const char* kDescription = "Description";
constexpr const char* kNullable = "Nullable";
constexpr const char* kAllowZeroLength = "Jet OLEDB:Allow Zero Length";
constexpr const char* kCompressedUnicode = "Jet OLEDB:Compressed UNICODE Strings";

bool SameText(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

bool Truth(const Variant& value, bool fallback) {
  if (const auto* b = std::get_if<bool>(&value)) return *b;
  if (const auto* i = std::get_if<std::int64_t>(&value)) return *i != 0;
  if (const auto* d = std::get_if<double>(&value)) return *d != 0;
  if (const auto* s = std::get_if<std::string>(&value)) {
    if (SameText(*s, "true") || *s == "-1" || *s == "1") return true;
    if (SameText(*s, "false") || *s == "0") return false;
  }
  return fallback;
}

std::string TextOf(const Variant& value) {
  if (const auto* s = std::get_if<std::string>(&value)) return *s;
  return std::string();
}

ColumnDefinition DefinitionOf(const Column& column, bool jet3) {
  ColumnDefinition definition;
  definition.name = column.Name();
  CheckObjectName(definition.name, "column");
  if (jet3) EncodeJet3Text(DecodeUtf8(definition.name), definition.name);
  const std::string what = "column '" + definition.name + "'";
  switch (column.Type()) {
    case kAdWChar: {
      definition.type = JetType::kText;
      const int size = column.DefinedSize();
      if (size < 0 || size > static_cast<int>(kMaxTextCharacters)) {
        throw JetWriteError("The size " + std::to_string(size) + " of " + what + " is out of range (1 to 255).");
      }
      definition.max_characters = size == 0 ? kMaxTextCharacters : static_cast<std::size_t>(size);
      break;
    }
    case kAdSmallInt: definition.type = JetType::kInteger; break;
    case kAdInteger: definition.type = JetType::kLongInteger; break;
    case kAdUnsignedTinyInt: definition.type = JetType::kByte; break;
    case kAdBigInt:
      if (jet3) {
        // Access 97 has no 64-bit integer and no decimal type; a double or a
        // currency would round values past 2^53 or 2^63 / 10000, so the
        // value's decimal digits go into a text of 20 characters, which holds
        // every value from -9223372036854775808 on exactly.
        definition.type = JetType::kText;
        definition.max_characters = 20;
        break;
      }
      // Jet 4 has no 64-bit integer; a decimal of 19 digits holds every value.
      definition.type = JetType::kNumeric;
      definition.precision = 19;
      definition.scale = 0;
      break;
    case kAdBoolean: definition.type = JetType::kBoolean; break;
    case kAdDouble: definition.type = JetType::kDouble; break;
    case kAdCurrency: definition.type = JetType::kCurrency; break;
    case kAdSingle: definition.type = JetType::kSingle; break;
    case kAdDate: definition.type = JetType::kDateTime; break;
    case kAdLongVarWChar: definition.type = JetType::kMemo; break;
    case kAdLongVarBinary: definition.type = JetType::kOle; break;
    case kAdGuid: definition.type = JetType::kGuid; break;
    default:
      throw JetWriteError("The type " + std::to_string(column.Type()) + " of " + what + " is not supported.");
  }
  const PropertyCollection& properties = column.Properties();
  definition.description = TextOf(properties.Item(kDescription).Value());
  definition.nullable = Truth(properties.Item(kNullable).Value(), true) && definition.type != JetType::kBoolean;
  definition.allow_zero_length = Truth(properties.Item(kAllowZeroLength).Value(), false);
  definition.compressed_unicode = Truth(properties.Item(kCompressedUnicode).Value(), false);
  return definition;
}

}  // namespace

// --- properties

PropertyCollection::PropertyCollection()
    : items_{{kDescription, std::string()}, {kNullable, true}, {kAllowZeroLength, false}, {kCompressedUnicode, false}} {}

Property& PropertyCollection::Item(const std::string& name) {
  return const_cast<Property&>(static_cast<const PropertyCollection&>(*this).Item(name));
}

const Property& PropertyCollection::Item(const std::string& name) const {
  for (const Property& property : items_) {
    if (SameText(property.Name(), name)) return property;
  }
  throw JetWriteError("The property '" + name + "' does not exist.");
}

// --- columns

struct Column::Data {
  std::string name;
  int type = kAdWChar;
  int defined_size = 0;
  std::string related_column;
  PropertyCollection properties;
};

Column::Column() : data_(std::make_shared<Data>()) {}
void Column::SetName(const std::string& name) { data_->name = name; }
const std::string& Column::Name() const { return data_->name; }
void Column::SetType(int type) { data_->type = type; }
int Column::Type() const { return data_->type; }
void Column::SetDefinedSize(int size) { data_->defined_size = size; }
int Column::DefinedSize() const { return data_->defined_size; }
void Column::SetParentCatalog(Catalog&) {}
void Column::SetRelatedColumn(const std::string& name) { data_->related_column = name; }
PropertyCollection& Column::Properties() { return data_->properties; }
const PropertyCollection& Column::Properties() const { return data_->properties; }

void ColumnCollection::Append(const Column& column, int type, int defined_size) {
  if (frozen_) throw JetWriteError("Columns cannot be added to a table that is already in the database.");
  Column added = column;
  added.SetType(type);
  added.SetDefinedSize(defined_size);
  if (!for_key_) DefinitionOf(added, catalog_ != nullptr && catalog_->IsJet3());  // checks name, type and size now
  for (const Column& existing : items_) {
    if (SameText(existing.Name(), added.Name())) {
      throw JetWriteError("A column named '" + added.Name() + "' is already there.");
    }
  }
  items_.push_back(added);
}

void ColumnCollection::Append(const std::string& name, int type, int defined_size) {
  Column column;
  column.SetName(name);
  Append(column, type, defined_size);
}

Column& ColumnCollection::Item(const std::string& name) {
  for (Column& column : items_) {
    if (SameText(column.Name(), name)) return column;
  }
  throw JetWriteError("The column '" + name + "' does not exist.");
}

Column& ColumnCollection::Item(std::size_t index) {
  if (index >= items_.size()) throw JetWriteError("There is no column number " + std::to_string(index) + ".");
  return items_[index];
}

// --- keys

struct Key::Data {
  std::string name;
  int type = kAdKeyPrimary;
  std::string related_table;
  ColumnCollection columns;
};

Key::Key() : data_(std::make_shared<Data>()) { data_->columns.for_key_ = true; }
void Key::SetName(const std::string& name) { data_->name = name; }
const std::string& Key::Name() const { return data_->name; }
void Key::SetType(int type) { data_->type = type; }
int Key::Type() const { return data_->type; }
void Key::SetRelatedTable(const std::string& name) { data_->related_table = name; }
ColumnCollection& Key::Columns() { return data_->columns; }

void KeyCollection::Append(const Key& key, int type, const std::string& column, const std::string&,
                           const std::string&) {
  Key added = key;
  added.SetType(type);
  if (!column.empty() && added.Columns().Count() == 0) added.Columns().Append(column, kAdWChar, 0);
  if (type != kAdKeyPrimary) throw JetWriteError("Only primary keys are supported.");
  if (added.Columns().Count() == 0) throw JetWriteError("A primary key needs at least one column.");
  for (const Key& existing : items_) {
    if (existing.Type() == kAdKeyPrimary) {
      throw JetWriteError("The table '" + table_name_ + "' already has a primary key.");
    }
  }
  if (table_ != nullptr) Apply(added);
  items_.push_back(added);
}

void KeyCollection::Apply(const Key& key) {
  Key copy = key;
  std::vector<std::string> column_names;
  for (const Column& column : copy.Columns().items_) column_names.push_back(column.Name());
  database_->AddPrimaryKey(*table_, copy.Name(), column_names);
}

// --- tables

struct Table::Data {
  std::string name;
  Catalog* catalog = nullptr;
  ColumnCollection columns;
  KeyCollection keys;
};

Table::Table() : data_(std::make_shared<Data>()) {}
void Table::SetName(const std::string& name) {
  data_->name = name;
  data_->keys.table_name_ = name;
}
const std::string& Table::Name() const { return data_->name; }
void Table::SetParentCatalog(Catalog& catalog) {
  data_->catalog = &catalog;
  data_->columns.catalog_ = &catalog;
}
ColumnCollection& Table::Columns() { return data_->columns; }
KeyCollection& Table::Keys() { return data_->keys; }

void TableCollection::Append(const Table& table) {
  if (!database_ || database_->closed()) throw JetWriteError("The catalog is not connected to a database.");
  Table added = table;
  std::vector<ColumnDefinition> definitions;
  for (const Column& column : added.Columns().items_) {
    definitions.push_back(DefinitionOf(column, !database_->format().IsJet4()));
  }
  JetTable& created = database_->AddTable(added.Name(), std::move(definitions));
  added.Columns().frozen_ = true;
  KeyCollection& keys = added.Keys();
  keys.database_ = database_;
  keys.table_ = &created;
  keys.table_name_ = created.name;
  items_.push_back(added);
  for (const Key& key : keys.items_) keys.Apply(key);
}

Table& TableCollection::Item(const std::string& name) {
  for (Table& table : items_) {
    if (SameText(table.Name(), name)) return table;
  }
  throw JetWriteError("The table '" + name + "' does not exist in the catalog.");
}

// --- catalog

Catalog::Catalog() = default;

Catalog::~Catalog() {
  if (database_) UnregisterOpenDatabase(*database_);
}

void Catalog::Create(const std::string& connection_string) {
  if (database_) throw JetWriteError("The catalog is already connected to a database.");
  const JetConnectionTarget target = ParseConnectionString(connection_string);
  database_ = std::make_shared<JetDatabase>(target.data_source, target.version);
  tables_.database_ = database_;
  RegisterOpenDatabase(database_);
}

TableCollection& Catalog::Tables() { return tables_; }

bool Catalog::IsJet3() const { return database_ && !database_->format().IsJet4(); }

void Catalog::SetActiveConnection(std::nullptr_t) {
  if (!database_) return;
  const std::shared_ptr<JetDatabase> database = std::move(database_);
  tables_ = TableCollection();
  UnregisterOpenDatabase(*database);
  database->Close();
}

}  // namespace quill::jet
