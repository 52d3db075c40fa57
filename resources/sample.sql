-- The sample database that ./run.sh registers as the data source
-- "Quillmarsh Sample": a small shop with customers, products and orders.
PRAGMA foreign_keys = ON;

CREATE TABLE customers (
  customer_id INTEGER PRIMARY KEY,
  name VARCHAR(60) NOT NULL,
  city VARCHAR(40),
  birth_date DATE,
  credit_limit NUMERIC(10,2),
  notes TEXT
);

INSERT INTO customers VALUES (1, 'Jeanne d''Arc', 'Orléans', '1982-01-06', 2500.00, 'Pays in "cash" only');
INSERT INTO customers VALUES (2, 'Søren Kierkegaard', 'København', '1975-05-05', 1200.50, NULL);
INSERT INTO customers VALUES (3, 'Zoë Müller-Łukasiewicz', 'Zürich', NULL, 0, 'Prefers the ''blue'' catalogue; speaks français, Deutsch');
INSERT INTO customers VALUES (4, 'Ōsaka Trading 大阪', 'Ōsaka', '1990-12-31', 99999.99, 'Line one
line two');
INSERT INTO customers VALUES (5, 'O''Neil & Sons', NULL, '2000-02-29', NULL, '');

CREATE TABLE products (
  product_code VARCHAR(10) PRIMARY KEY,
  title VARCHAR(80) NOT NULL,
  unit_price REAL,
  in_stock BOOLEAN,
  weight_grams INTEGER,
  added_at DATETIME,
  picture BLOB
);

INSERT INTO products VALUES ('CHAIR-01', 'Chaise « Provence »', 149.9, 1, 5400, '2023-03-14 09:26:53',
  X'89504E470D0A1A0A0000000D4948445200000002000000020802000000FDD49A73000000124944415478DA63F8CFC0C0D0F09F01420100217204FDA927748B0000000049454E44AE426082');
INSERT INTO products VALUES ('LAMP-7', 'Lamp 7" with shade', 39.5, 0, 850, '2024-11-02 00:00:00', NULL);
INSERT INTO products VALUES ('MUG', 'Mug ''Café crème''', 7.25, 1, NULL, '2025-06-30 23:59:59', NULL);

CREATE TABLE orders (
  order_id INTEGER PRIMARY KEY,
  customer_id INTEGER NOT NULL REFERENCES customers (customer_id),
  ordered_on DATE NOT NULL,
  delivery_time TIME,
  shipped_at DATETIME,
  total DECIMAL(12,2)
);

INSERT INTO orders VALUES (1001, 1, '2025-01-15', '14:30:00', '2025-01-16 08:05:00', 189.40);
INSERT INTO orders VALUES (1002, 3, '2025-02-28', '09:00:00', NULL, 7.25);
INSERT INTO orders VALUES (1003, 4, '2025-03-01', NULL, '2025-03-03 17:45:12', 1199.00);

-- One row per product of an order: the key has two columns.
CREATE TABLE order_lines (
  order_id INTEGER NOT NULL REFERENCES orders (order_id),
  line_number SMALLINT NOT NULL,
  product_code VARCHAR(10) NOT NULL REFERENCES products (product_code),
  quantity INTEGER NOT NULL,
  discount NUMERIC(5,2),
  PRIMARY KEY (order_id, line_number)
);

INSERT INTO order_lines VALUES (1001, 1, 'CHAIR-01', 1, NULL);
INSERT INTO order_lines VALUES (1001, 2, 'LAMP-7', 1, 0.10);
INSERT INTO order_lines VALUES (1002, 1, 'MUG', 1, NULL);
INSERT INTO order_lines VALUES (1003, 1, 'CHAIR-01', 8, 0.05);
INSERT INTO order_lines VALUES (1003, 2, 'MUG', 4, NULL);
