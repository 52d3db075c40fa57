#pragma once

#include <memory>
#include <string>

#include "platform/odbc/odbc_session.h"
#include "platform/odbc/table_reference.h"

namespace quill {

// How the reading of one table sees a single state of it, however many
// statements it takes (key pages, or the statement run again for a value
// that outgrew its buffer): rows changed, added or removed meanwhile are
// neither read twice nor lost, and the table's columns cannot change under
// the reader.
enum class SnapshotKind {
  kNone,
  // One transaction whose reads all see the moment of the first: MariaDB's
  // START TRANSACTION WITH CONSISTENT SNAPSHOT, PostgreSQL's REPEATABLE READ.
  // Its lock on the table's definition holds ALTER TABLE back until the end.
  kTransaction,
  // A MariaDB table whose engine keeps no versions of its rows (MyISAM,
  // Aria, MEMORY): a read lock keeps every writer out until the table is
  // read, as the server's own dump tool does.
  kReadLock,
};

struct SnapshotPlan {
  SnapshotKind kind = SnapshotKind::kNone;
  std::string table;  // the table's name as a statement gives it (read locks)
};

// What a MariaDB table needs: a transaction for InnoDB tables and for views,
// a read lock for base tables of other engines.
SnapshotPlan MariaDbSnapshotPlan(const OdbcSession& session, const TableReference& table);

// Holds the plan's view of the source from construction to destruction.
// A session holds one view at a time (a second transaction or a second
// LOCK TABLES would end the first): readers open at once share one
// transaction, which the last of them ends; a read lock ends the view open
// before it, and a new view ends an open read lock (the generator opens the
// next table before it lets the last one go, and under LOCK TABLES only the
// locked table can be read). Construct and destroy with the session's call
// lock held.
class TableSnapshot {
 public:
  TableSnapshot(OdbcSession& session, const SnapshotPlan& plan);
  ~TableSnapshot();
  TableSnapshot(const TableSnapshot&) = delete;
  TableSnapshot& operator=(const TableSnapshot&) = delete;

  // False when the source refused it (a read lock needs the LOCK TABLES
  // privilege): the table is then best read with a single statement.
  bool held() const { return held_; }
  // After a statement of the reader failed: a PostgreSQL transaction then
  // refuses every later statement, so it is ended at once and the next
  // reader begins its own.
  void EndAfterFailure();

 private:
  OdbcSession& session_;
  bool held_ = false;
  int number_ = 0;  // the session's number of this view
};

// Ends the session's open view, if any. Call with the call lock held.
void EndSnapshot(OdbcSession& session);

}  // namespace quill
