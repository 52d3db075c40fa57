// Prints every user table of an Access database as mdb-reader reads it, one
// line per item, tab-separated, for the writer tests to compare:
//   table <name> <row count>
//   column <name> <type> <size> <nullable>
//   row <value>...
// Values: \N for Null, text with \\ \t \n \r escaped, numbers as JavaScript
// prints them, booleans as true/false, dates as ISO 8601 in UTC, bytes as 0x
// followed by hex digits.
// Usage: node read_tables.mjs MODULE_FOLDER DATABASE
import { readFileSync } from "node:fs";
import { createRequire } from "node:module";
import { pathToFileURL } from "node:url";
import { join } from "node:path";

const [moduleFolder, databasePath] = process.argv.slice(2);
const entry = join(moduleFolder, "node_modules", "mdb-reader", "lib", "node", "index.js");
const { default: MDBReader } = await import(pathToFileURL(entry).href);

function text(value) {
  if (value === null || value === undefined) return "\\N";
  if (value instanceof Date) return value.toISOString();
  if (Buffer.isBuffer(value) || value instanceof Uint8Array) return "0x" + Buffer.from(value).toString("hex");
  if (typeof value === "string") {
    return value.replace(/\\/g, "\\\\").replace(/\t/g, "\\t").replace(/\n/g, "\\n").replace(/\r/g, "\\r");
  }
  return String(value);
}

const reader = new MDBReader(readFileSync(databasePath));
const out = [];
for (const name of reader.getTableNames()) {
  const table = reader.getTable(name);
  out.push(["table", text(name), table.rowCount].join("\t"));
  const columns = table.getColumns();
  for (const column of columns) {
    out.push(["column", text(column.name), column.type, column.size, column.nullable].join("\t"));
  }
  for (const row of table.getData()) {
    out.push(["row", ...columns.map((column) => text(row[column.name]))].join("\t"));
  }
}
process.stdout.write(out.join("\n") + "\n");
