#include "platform/odbc/table_snapshot.h"

#include <algorithm>
#include <cctype>

#include "platform/odbc/fetched_text.h"
#include "platform/odbc/key_paging.h"
#include "platform/odbc/utf16_text.h"

namespace quill {
namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

// The table's engine and type: names go as hexadecimal literals, which no
// SQL mode reads otherwise.
std::string EngineQuery(const TableReference& table) {
  const std::string schema = table.schema.empty() ? "DATABASE()" : TextLiteral(table.schema);
  return "SELECT ENGINE, TABLE_TYPE FROM information_schema.TABLES WHERE TABLE_SCHEMA = " + schema +
         " AND TABLE_NAME = " + TextLiteral(table.table);
}

bool SetConnectionNumber(SQLHDBC connection, SQLINTEGER attribute, SQLULEN value) {
  return SQL_SUCCEEDED(SQLSetConnectAttrW(connection, attribute, reinterpret_cast<SQLPOINTER>(value), 0));
}

}  // namespace

SnapshotPlan MariaDbSnapshotPlan(const OdbcSession& session, const TableReference& table) {
  SnapshotPlan plan;
  plan.kind = SnapshotKind::kTransaction;
  std::lock_guard<std::mutex> lock(session.calls());
  OdbcHandle statement(SQL_HANDLE_STMT, session.connection());
  WithoutEscapeClauses(statement.get());
  WideText query = Utf8ToUtf16(EngineQuery(table));
  if (!SQL_SUCCEEDED(SQLExecDirectW(statement.get(), query.data(), SQL_NTS)) ||
      !SQL_SUCCEEDED(SQLFetch(statement.get()))) {
    return plan;
  }
  const std::string engine = Lower(FetchedText(statement.get(), 1));
  const std::string type = FetchedText(statement.get(), 2);
  if (type == "BASE TABLE" && engine != "innodb") {
    plan.kind = SnapshotKind::kReadLock;
    plan.table = QualifiedTableName(table, session.facts().identifier_quote);
  }
  return plan;
}

TableSnapshot::TableSnapshot(OdbcSession& session, const SnapshotPlan& plan) : session_(session) {
  if (plan.kind == SnapshotKind::kNone) return;
  OdbcSession::OpenSnapshot& open = session_.open_snapshot();
  if (plan.kind == SnapshotKind::kTransaction && open.kind == static_cast<int>(SnapshotKind::kTransaction)) {
    ++open.readers;
    number_ = open.number;
    held_ = true;
    return;
  }
  EndSnapshot(session_);
  const OdbcDriverFacts& facts = session_.facts();
  if (plan.kind == SnapshotKind::kReadLock) {
    held_ = session_.Run("LOCK TABLES " + plan.table + " READ");
  } else if (facts.is_mariadb) {
    // SET TRANSACTION sets the next transaction's level, whatever the
    // session's default is: a consistent snapshot needs REPEATABLE READ.
    held_ = session_.Run("SET TRANSACTION ISOLATION LEVEL REPEATABLE READ") &&
            session_.Run("START TRANSACTION WITH CONSISTENT SNAPSHOT, READ ONLY");
  } else if (facts.is_postgres) {
    // psqlodbc begins the transaction itself before the next statement once
    // autocommit is off; the level must be set while none is open.
    held_ = SetConnectionNumber(session_.connection(), SQL_ATTR_TXN_ISOLATION, SQL_TXN_REPEATABLE_READ) &&
            SetConnectionNumber(session_.connection(), SQL_ATTR_AUTOCOMMIT, SQL_AUTOCOMMIT_OFF);
    if (!held_) SetConnectionNumber(session_.connection(), SQL_ATTR_AUTOCOMMIT, SQL_AUTOCOMMIT_ON);
  }
  if (!held_) return;
  open.kind = static_cast<int>(plan.kind);
  open.readers = 1;
  number_ = ++open.number;
}

TableSnapshot::~TableSnapshot() {
  OdbcSession::OpenSnapshot& open = session_.open_snapshot();
  if (held_ && open.number == number_ && open.readers > 0 && --open.readers == 0) EndSnapshot(session_);
}

void TableSnapshot::EndAfterFailure() {
  if (held_ && session_.facts().is_postgres && session_.open_snapshot().number == number_) EndSnapshot(session_);
}

void EndSnapshot(OdbcSession& session) {
  OdbcSession::OpenSnapshot& open = session.open_snapshot();
  const auto kind = static_cast<SnapshotKind>(open.kind);
  open.kind = static_cast<int>(SnapshotKind::kNone);
  open.readers = 0;
  // Nothing was written: ending the transaction either way only lets the
  // table go.
  if (kind == SnapshotKind::kReadLock) {
    session.Run("UNLOCK TABLES");
  } else if (kind == SnapshotKind::kTransaction && session.facts().is_mariadb) {
    session.Run("COMMIT");
  } else if (kind == SnapshotKind::kTransaction && session.facts().is_postgres) {
    SQLEndTran(SQL_HANDLE_DBC, session.connection(), SQL_ROLLBACK);
    SetConnectionNumber(session.connection(), SQL_ATTR_AUTOCOMMIT, SQL_AUTOCOMMIT_ON);
  }
}

}  // namespace quill
