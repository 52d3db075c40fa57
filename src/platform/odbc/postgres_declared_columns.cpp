#include "platform/odbc/postgres_declared_columns.h"

#include <charconv>
#include <set>

#include "platform/odbc/fetched_text.h"
#include "platform/odbc/utf16_text.h"
#include "platform/text/hex_digits.h"

namespace quill {
namespace {

// Types psqlodbc gives as text of the right width: their text is bounded
// and within the size it reports.
const std::set<std::string> kTextOfKnownWidth = {"name", "inet", "cidr", "macaddr", "macaddr8",
                                                 "bool", "char", "uuid", "timetz", "time"};

// The digits of a second's fraction PostgreSQL keeps without a precision.
constexpr int kDefaultFractionDigits = 6;

// Every integer of int64 (money's storage) has at most 19 digits.
constexpr int kMoneyDigits = 19;

// A name as an expression of the statement: its UTF-8 bytes as hexadecimal
// digits, decoded by the server. Nothing in it can end a literal.
std::string NameExpression(const std::string& name) {
  return "pg_catalog.quote_ident(pg_catalog.convert_from(pg_catalog.decode('" + HexDigits(name) +
         "', 'hex'), 'UTF8'))";
}

std::string CatalogQuery(const TableReference& table) {
  const std::string relation = table.schema.empty()
                                   ? NameExpression(table.table)
                                   : NameExpression(table.schema) + " || '.' || " + NameExpression(table.table);
  return "SELECT a.attname, CASE WHEN n.nspname = 'pg_catalog' THEN t.typname ELSE '' END, t.typtype, "
         "CASE WHEN a.atttypmod < 0 AND d.typtype = 'd' THEN d.typtypmod ELSE a.atttypmod END, "
         "(SELECT max(pg_catalog.char_length(e.enumlabel)) FROM pg_catalog.pg_enum e WHERE e.enumtypid = t.oid), "
         "pg_catalog.scale('0'::pg_catalog.money::pg_catalog.numeric), "
         "CASE WHEN EXISTS (SELECT 1 FROM pg_catalog.pg_index i WHERE i.indrelid = a.attrelid AND i.indisprimary "
         "AND a.attnum = ANY (i.indkey)) THEN 1 ELSE 0 END "
         "FROM pg_catalog.pg_attribute a "
         "JOIN pg_catalog.pg_type d ON d.oid = a.atttypid "
         "JOIN pg_catalog.pg_type t ON t.oid = CASE WHEN d.typtype = 'd' THEN d.typbasetype ELSE d.oid END "
         "JOIN pg_catalog.pg_namespace n ON n.oid = t.typnamespace "
         "WHERE a.attrelid = pg_catalog.to_regclass(" + relation + ") AND a.attnum > 0 AND NOT a.attisdropped "
         "ORDER BY a.attnum";
}

int Number(const std::string& text, int otherwise) {
  int value = otherwise;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  return result.ec == std::errc() ? value : otherwise;
}

DeclaredColumn Declared(DeclaredColumn::Kind kind, int size = 0, int scale = 0) {
  DeclaredColumn declared;
  declared.kind = kind;
  declared.size = size;
  declared.scale = scale;
  return declared;
}

// numeric(p,s) packs p and s into its modifier; s may be negative (digits
// rounded away before the point) or beyond p (a number below 1): as a
// decimal every target knows, that is p - s digits and no scale, or s
// digits and scale s.
DeclaredColumn NumericDeclaration(int modifier) {
  const int packed = modifier - 4;
  const int precision = (packed >> 16) & 0xFFFF;
  const int scale = ((packed & 0x7FF) ^ 1024) - 1024;
  if (scale < 0) return Declared(DeclaredColumn::Kind::kDecimal, precision - scale, 0);
  if (scale > precision) return Declared(DeclaredColumn::Kind::kDecimal, scale, scale);
  return Declared(DeclaredColumn::Kind::kDecimal, precision, scale);
}

// One pass over the table gives each numeric column without a precision the
// digits its values need: the most before the point and the most after it
// (NaN and the infinities, which have no digits, left out), and whether it
// holds an infinity, which only a decimal without a precision holds. A
// column that holds no number keeps its unknown precision. The server does the pass in
// plain aggregates: the largest absolute value has the most digits before
// the point, so only that one is made text, and the scale of NaN and of the
// infinities is NULL.
void SizeByValues(const OdbcSession& session, const TableReference& table, const std::vector<std::string>& columns,
                  std::map<std::string, DeclaredColumn>& declarations) {
  if (columns.empty()) return;
  std::string query = "SELECT ";
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const std::string column = QuoteIdentifier(columns[i], "\"");
    const std::string magnitude = "pg_catalog.abs(" + column + ")";
    query += std::string(i > 0 ? ", " : "") + "pg_catalog.length(pg_catalog.trunc(pg_catalog.max(" + magnitude +
             ") FILTER (WHERE " + magnitude + " < 'Infinity'::pg_catalog.numeric))::pg_catalog.text), " +
             "pg_catalog.max(pg_catalog.scale(" + column + ")), pg_catalog.count(*) FILTER (WHERE " + magnitude +
             " = 'Infinity'::pg_catalog.numeric)";
  }
  query += " FROM " + QualifiedTableName(table, "\"");
  std::lock_guard<std::mutex> lock(session.calls());
  OdbcHandle statement(SQL_HANDLE_STMT, session.connection());
  WideText text = Utf8ToUtf16(query);
  if (!SQL_SUCCEEDED(SQLExecDirectW(statement.get(), text.data(), SQL_NTS))) return;
  if (!SQL_SUCCEEDED(SQLFetch(statement.get()))) return;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const int integer_digits = Number(FetchedText(statement.get(), static_cast<SQLUSMALLINT>(3 * i + 1)), -1);
    const int scale = Number(FetchedText(statement.get(), static_cast<SQLUSMALLINT>(3 * i + 2)), -1);
    const int infinities = Number(FetchedText(statement.get(), static_cast<SQLUSMALLINT>(3 * i + 3)), -1);
    if (integer_digits < 0 || scale < 0) continue;
    DeclaredColumn declared = Declared(DeclaredColumn::Kind::kDecimal, integer_digits + scale, scale);
    declared.holds_infinities = infinities != 0;
    declarations[columns[i]] = declared;
  }
}

}  // namespace

std::optional<DeclaredColumn> PostgresDeclaration(const PostgresCatalogColumn& column) {
  const std::string& type = column.type_name;
  const int modifier = column.type_modifier;
  if (type == "varchar" || type == "bpchar") {
    if (modifier < 0) return Declared(DeclaredColumn::Kind::kMemo);
    return Declared(DeclaredColumn::Kind::kText, modifier - 4);
  }
  // A bit string's modifier is its length in bits, one character each.
  if (type == "bit" || type == "varbit") {
    if (modifier < 0) return Declared(DeclaredColumn::Kind::kMemo);
    return Declared(DeclaredColumn::Kind::kText, modifier);
  }
  if (type == "numeric") {
    if (modifier < 0) return Declared(DeclaredColumn::Kind::kUnsizedDecimal);
    return NumericDeclaration(modifier);
  }
  // bytea has no length (psqlodbc gives it 8190 bytes without
  // ByteaAsLongVarBinary). In the primary key its values are keys, not
  // documents: binary values of their own, never left out as BLOBs are.
  if (type == "bytea") {
    return Declared(column.in_primary_key ? DeclaredColumn::Kind::kKeyBytes : DeclaredColumn::Kind::kBlob);
  }
  if (type == "money") return Declared(DeclaredColumn::Kind::kCurrency, kMoneyDigits, column.money_scale);
  if (type == "date") return Declared(DeclaredColumn::Kind::kDateAsText);
  if (type == "timestamp" || type == "timestamptz") {
    return Declared(DeclaredColumn::Kind::kDateTimeAsText, 0, modifier >= 0 ? modifier : kDefaultFractionDigits);
  }
  // An enum holds its labels only.
  if (column.type_kind == 'e' && column.longest_label > 0) {
    return Declared(DeclaredColumn::Kind::kText, column.longest_label);
  }
  if (kTextOfKnownWidth.count(type) != 0) return std::nullopt;
  // Any other type given as text has no declared length (interval, json,
  // arrays, geometry, ranges, types of extensions ...): a memo. Columns the
  // driver gives in a class of their own keep it.
  return Declared(DeclaredColumn::Kind::kMemo);
}

PostgresTableDeclarations PostgresDeclarations(const OdbcSession& session, const TableReference& table) {
  PostgresTableDeclarations declarations;
  std::vector<std::string> select;
  std::vector<std::string> unsized_decimals;
  bool casts = false;
  {
    std::lock_guard<std::mutex> lock(session.calls());
    OdbcHandle statement(SQL_HANDLE_STMT, session.connection());
    WideText query = Utf8ToUtf16(CatalogQuery(table));
    if (!SQL_SUCCEEDED(SQLExecDirectW(statement.get(), query.data(), SQL_NTS))) return declarations;
    while (SQL_SUCCEEDED(SQLFetch(statement.get()))) {
      PostgresCatalogColumn column;
      column.name = FetchedText(statement.get(), 1);
      column.type_name = FetchedText(statement.get(), 2);
      const std::string kind = FetchedText(statement.get(), 3);
      column.type_kind = kind.empty() ? 'b' : kind[0];
      column.type_modifier = Number(FetchedText(statement.get(), 4), -1);
      column.longest_label = Number(FetchedText(statement.get(), 5), 0);
      column.money_scale = Number(FetchedText(statement.get(), 6), 2);
      column.in_primary_key = Number(FetchedText(statement.get(), 7), 0) == 1;
      const std::string quoted = QuoteIdentifier(column.name, "\"");
      if (const std::optional<DeclaredColumn> declared = PostgresDeclaration(column)) {
        declarations.columns[column.name] = *declared;
        if (declared->kind == DeclaredColumn::Kind::kUnsizedDecimal) unsized_decimals.push_back(column.name);
        if (declared->kind == DeclaredColumn::Kind::kCurrency) {
          // numeric holds every money value exactly, in digits of no locale.
          select.push_back(quoted + "::pg_catalog.numeric AS " + quoted);
          casts = true;
          continue;
        }
        if (declared->kind == DeclaredColumn::Kind::kDateAsText ||
            declared->kind == DeclaredColumn::Kind::kDateTimeAsText) {
          // In the session's ISO DateStyle: 'infinity', ' BC' and years past
          // 9999 as they are. A time with a time zone is read as its time
          // in UTC, so the instant arrives whatever the session's zone (the
          // zone's offset would be dropped).
          const std::string value =
              column.type_name == "timestamptz" ? "(" + quoted + " AT TIME ZONE 'UTC')" : quoted;
          select.push_back(value + "::pg_catalog.text AS " + quoted);
          casts = true;
          continue;
        }
      }
      select.push_back(quoted);
    }
  }
  SizeByValues(session, table, unsized_decimals, declarations.columns);
  if (casts) {
    declarations.select_list.clear();
    for (const std::string& column : select) {
      if (!declarations.select_list.empty()) declarations.select_list += ", ";
      declarations.select_list += column;
    }
  }
  return declarations;
}

}  // namespace quill
