#!/usr/bin/env bash
# Prints the SQL that builds the bundled "shop" sample for one dialect: sqlite, postgres or mariadb.
# The same shop everywhere, plus the traps real catalogs hold: names with blanks, hyphens,
# leading digits, mixed case, non-ASCII letters, reserved words, a "_" look-alike pair,
# long values, NULLs and binary data.
set -euo pipefail
dialect=${1:?usage: sample-sql.sh sqlite|postgres|mariadb}

case $dialect in
sqlite)   text=TEXT; blob=BLOB; stamp=TIMESTAMP; real=REAL ;;
postgres) text=TEXT; blob=BYTEA; stamp=TIMESTAMP; real=REAL ;;
mariadb)  text=MEDIUMTEXT; blob=BLOB; stamp=DATETIME; real=DOUBLE ;;
*) echo "unknown dialect $dialect" >&2; exit 2 ;;
esac

binary() { # hex digits -> binary literal
    case $dialect in
    postgres) printf "'\\\\x%s'::bytea" "$1" ;;
    *) printf "X'%s'" "$1" ;;
    esac
}

first_names=("Åsa" "Jürgen" "Zoë" "Björn" "François" "Łukasz" "Søren" "Ιωάννης" "Олег" "美咲" "José" "Nguyễn" "Anna" "Peter" "Chloé" "Dörte")
last_names=("Öberg" "Müller" "Dvořák" "Ångström" "García" "Kowalski" "Nørgaard" "Παπαδόπουλος" "Иванов" "佐藤" "O'Brien" "Smith" "Żak" "Lefèvre")
cities=("München" "Kraków" "São Paulo" "Zürich" "Malmö" "Reykjavík" "東京" "Αθήνα" "Québec" "Oslo" "Łódź")
statuses=("new" "paid" "shipped" "returned")
long_value=$(printf 'Lorem ipsum dolor sit amet, ünïcödé %.0s' $(seq 1 330))

[ "$dialect" = mariadb ] && echo "SET SESSION sql_mode = CONCAT(@@sql_mode, ',ANSI_QUOTES');"
[ "$dialect" = sqlite ] && echo "PRAGMA foreign_keys = ON;"
echo "BEGIN;"
[ "$dialect" = mariadb ] && echo "COMMIT; START TRANSACTION;"

cat <<SQL
CREATE TABLE customers (
    customer_id INTEGER NOT NULL,
    name VARCHAR(100) NOT NULL,
    email VARCHAR(200),
    city VARCHAR(60),
    created DATE,
    notes $text,
    PRIMARY KEY (customer_id));
CREATE UNIQUE INDEX customers_email_ux ON customers (email);
CREATE INDEX customers_city_ix ON customers (city);
CREATE TABLE products (
    product_id INTEGER NOT NULL,
    sku VARCHAR(20) NOT NULL,
    title VARCHAR(200) NOT NULL,
    price DECIMAL(10,2),
    weight_kg $real,
    photo $blob,
    PRIMARY KEY (product_id));
CREATE UNIQUE INDEX products_sku_ux ON products (sku);
CREATE TABLE orders (
    order_id INTEGER NOT NULL,
    customer_id INTEGER NOT NULL,
    ordered_at $stamp NOT NULL,
    status VARCHAR(20) NOT NULL,
    PRIMARY KEY (order_id),
    CONSTRAINT orders_customer_fk FOREIGN KEY (customer_id) REFERENCES customers (customer_id));
CREATE INDEX orders_customer_date_ix ON orders (customer_id, ordered_at);
CREATE TABLE order_lines (
    order_id INTEGER NOT NULL,
    line_no INTEGER NOT NULL,
    product_id INTEGER NOT NULL,
    quantity INTEGER NOT NULL,
    unit_price DECIMAL(10,2) NOT NULL,
    PRIMARY KEY (order_id, line_no),
    CONSTRAINT order_lines_order_fk FOREIGN KEY (order_id) REFERENCES orders (order_id),
    CONSTRAINT order_lines_product_fk FOREIGN KEY (product_id) REFERENCES products (product_id));
CREATE VIEW order_totals AS
    SELECT o.order_id, o.customer_id, SUM(l.quantity * l.unit_price) AS total
    FROM orders o JOIN order_lines l ON l.order_id = o.order_id
    GROUP BY o.order_id, o.customer_id;
CREATE TABLE stock_item (item_id INTEGER NOT NULL PRIMARY KEY, label VARCHAR(40));
CREATE TABLE "stockXitem" (other_id INTEGER NOT NULL PRIMARY KEY, other_label VARCHAR(40));
CREATE TABLE "Order Archive" (archive_id INTEGER NOT NULL PRIMARY KEY, "archived note" VARCHAR(80));
CREATE TABLE "sales-2025" (month_no INTEGER NOT NULL, amount DECIMAL(12,2));
CREATE TABLE "2fast" (lap INTEGER NOT NULL, "Lap Time" VARCHAR(20));
CREATE TABLE "MixedCase" ("CamelColumn" VARCHAR(30), lower_col INTEGER);
CREATE TABLE "Größe" ("Maß" VARCHAR(40), "Bemerkung" VARCHAR(80));
CREATE TABLE "group" ("key" VARCHAR(20) NOT NULL, "value" VARCHAR(80));
SQL

case $dialect in
postgres)
    cat <<'SQL'
CREATE SCHEMA archive;
CREATE TABLE archive.customers (archive_customer_id INTEGER NOT NULL PRIMARY KEY, archived_at DATE);
INSERT INTO archive.customers VALUES (1, '2020-01-31');
CREATE SEQUENCE invoice_seq;
-- A schema named after the login, as many servers give each user: a catalog call that takes the
-- login as the owner sees this schema alone. New tables still go to public.
CREATE SCHEMA velkaro;
CREATE MATERIALIZED VIEW velkaro.login_notes AS SELECT 'own schema note' AS note;
ALTER DATABASE shop SET search_path = public;
COMMENT ON TABLE customers IS 'People who buy';
COMMENT ON COLUMN customers.email IS 'Contact address';
SQL
    ;;
mariadb)
    cat <<'SQL'
CREATE SEQUENCE invoice_seq;
ALTER TABLE customers COMMENT = 'People who buy';
ALTER TABLE customers MODIFY email VARCHAR(200) COMMENT 'Contact address';
CREATE TABLE "表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表" ("名前" VARCHAR(40));
INSERT INTO "表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表" VALUES ('長い名前');
CREATE TABLE "zz_after_long_name" (id INTEGER);
SQL
    ;;
esac

for i in $(seq 1 200); do
    fn=${first_names[$((i % ${#first_names[@]}))]}
    ln=${last_names[$((i % ${#last_names[@]}))]}
    name="$fn ${ln//\'/\'\'}"
    city="'${cities[$((i % ${#cities[@]}))]}'"
    [ $((i % 7)) -eq 0 ] && city=NULL
    notes=NULL
    [ $((i % 10)) -eq 3 ] && notes="'Stammkunde seit $((2000 + i % 20)), bevorzugt Größe M'"
    [ "$i" -eq 5 ] || [ "$i" -eq 6 ] && notes="'$long_value'"
    [ "$i" -eq 77 ] && notes="'asked about needle-4711 twice'"
    printf "INSERT INTO customers VALUES (%d, '%s', 'customer%d@example.org', %s, '2024-%02d-%02d', %s);\n" \
        "$i" "$name" "$i" "$city" $((1 + i % 12)) $((1 + i % 28)) "$notes"
done
for i in $(seq 1 50); do
    photo=NULL
    [ $((i % 3)) -eq 0 ] && photo=$(binary "89504E470D0A1A0A00$(printf '%02X' "$i")FF")
    printf "INSERT INTO products VALUES (%d, 'SKU-%04d', 'Produkt Nr. %d – Qualität %s', %d.%02d, %s, %s);\n" \
        "$i" "$i" "$i" "${cities[$((i % ${#cities[@]}))]}" $((i * 3)) $((i % 100)) "$([ $((i % 5)) -eq 0 ] && echo NULL || echo "$i.5")" "$photo"
done
for i in $(seq 1 300); do
    printf "INSERT INTO orders VALUES (%d, %d, '2025-%02d-%02d %02d:%02d:00', '%s');\n" \
        "$i" $((1 + i % 200)) $((1 + i % 12)) $((1 + i % 28)) $((i % 24)) $((i % 60)) "${statuses[$((i % 4))]}"
    for l in 1 2; do
        printf "INSERT INTO order_lines VALUES (%d, %d, %d, %d, %d.%02d);\n" \
            "$i" "$l" $((1 + (i * l) % 50)) $((1 + i % 5)) $((1 + i % 90)) $((i % 100))
    done
done
# Keys for the property sheets: a composite primary key referenced by two tables (warehouses, which
# refers to nothing itself), a self-reference (staff) and, where the driver reports one, an index
# with a filter condition.
[ "$dialect" = postgres ] && echo "SET search_path = public;" # not the login's own schema
cat <<'SQL'
CREATE TABLE warehouses (
    warehouse_id INTEGER NOT NULL,
    site_code VARCHAR(10) NOT NULL,
    label VARCHAR(60),
    PRIMARY KEY (warehouse_id, site_code));
CREATE TABLE staff (
    staff_id INTEGER NOT NULL,
    manager_id INTEGER,
    name VARCHAR(60) NOT NULL,
    PRIMARY KEY (staff_id),
    CONSTRAINT staff_manager_fk FOREIGN KEY (manager_id) REFERENCES staff (staff_id));
CREATE TABLE shipments (
    shipment_id INTEGER NOT NULL,
    warehouse_id INTEGER NOT NULL,
    site_code VARCHAR(10) NOT NULL,
    handled_by INTEGER,
    PRIMARY KEY (shipment_id),
    CONSTRAINT shipments_warehouse_fk FOREIGN KEY (warehouse_id, site_code)
        REFERENCES warehouses (warehouse_id, site_code),
    CONSTRAINT shipments_staff_fk FOREIGN KEY (handled_by) REFERENCES staff (staff_id));
CREATE TABLE stock_counts (
    warehouse_id INTEGER NOT NULL,
    site_code VARCHAR(10) NOT NULL,
    product_id INTEGER NOT NULL,
    counted INTEGER NOT NULL,
    PRIMARY KEY (warehouse_id, site_code, product_id),
    CONSTRAINT stock_counts_warehouse_fk FOREIGN KEY (warehouse_id, site_code)
        REFERENCES warehouses (warehouse_id, site_code),
    CONSTRAINT stock_counts_product_fk FOREIGN KEY (product_id) REFERENCES products (product_id));
INSERT INTO warehouses VALUES (1, 'NORTH', 'Hamburg'), (1, 'SOUTH', 'Munich'), (2, 'NORTH', 'Oslo');
INSERT INTO staff VALUES (1, NULL, 'Ada'), (2, 1, 'Bruno'), (3, 1, 'Chiara'), (4, 2, 'Dag');
INSERT INTO shipments VALUES (1, 1, 'NORTH', 2), (2, 1, 'SOUTH', NULL), (3, 2, 'NORTH', 3),
    (4, 1, 'NORTH', NULL), (5, 2, 'NORTH', 4);
INSERT INTO stock_counts VALUES (1, 'NORTH', 1, 10), (1, 'NORTH', 2, 4), (1, 'SOUTH', 1, 7),
    (2, 'NORTH', 3, 0), (2, 'NORTH', 4, 12), (1, 'SOUTH', 5, 3);
SQL
case $dialect in
sqlite | postgres)
    echo "CREATE INDEX shipments_open_ix ON shipments (warehouse_id) WHERE handled_by IS NULL;" ;;
esac
# A table in a second schema that refers to one in the first.
[ "$dialect" = postgres ] && cat <<'SQL'
CREATE TABLE archive.customer_moves (
    move_id INTEGER NOT NULL PRIMARY KEY,
    customer_id INTEGER NOT NULL,
    CONSTRAINT customer_moves_customer_fk FOREIGN KEY (customer_id) REFERENCES public.customers (customer_id));
INSERT INTO archive.customer_moves VALUES (1, 3), (2, 4);
SQL

cat <<'SQL'
INSERT INTO stock_item VALUES (1, 'screws');
INSERT INTO "stockXitem" VALUES (1, 'nails');
INSERT INTO "Order Archive" VALUES (1, 'closed in 2019');
INSERT INTO "sales-2025" VALUES (1, 1234.50);
INSERT INTO "2fast" VALUES (1, '1:02.345');
INSERT INTO "MixedCase" VALUES ('CamelValue', 7);
INSERT INTO "Größe" VALUES ('Zwölf Äpfel', NULL);
INSERT INTO "group" VALUES ('colour', 'needle-4711 in a reserved table');
COMMIT;
SQL
