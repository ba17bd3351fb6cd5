-- Tables of the stock-keeping database. Loading the file again on an existing
-- database adds the tables it lacks and leaves the others alone.
-- Valid for MariaDB 10.11 and MySQL 8. Texts are utf8mb4, sizes in characters;
-- flags are tinyint(1) holding 0 or 1.

SET NAMES utf8mb4;

-- Organisation and security ------------------------------------------------

CREATE TABLE IF NOT EXISTS tb_company (
  id int NOT NULL AUTO_INCREMENT,
  company_name varchar(50) DEFAULT NULL,
  contact varchar(30) DEFAULT NULL,
  address varchar(100) DEFAULT NULL,
  tel varchar(20) DEFAULT NULL,
  fax varchar(20) DEFAULT NULL,
  website varchar(50) DEFAULT NULL,
  email varchar(30) DEFAULT NULL,
  create_date datetime DEFAULT NULL,
  crater_id int DEFAULT NULL,
  quantity_size int DEFAULT 2,
  price_size int DEFAULT 2,
  amount_size int DEFAULT 2,
  CGYK_mark varchar(10) DEFAULT NULL,
  XSTH_mark varchar(10) DEFAULT NULL,
  SCYK_mark varchar(10) DEFAULT NULL,
  TLYK_mark varchar(10) DEFAULT NULL,
  JHYK_mark varchar(10) DEFAULT NULL,
  JCHY_mark varchar(10) DEFAULT NULL,
  CGTH_mark varchar(10) DEFAULT NULL,
  XSCH_mark varchar(10) DEFAULT NULL,
  SCCK_mark varchar(10) DEFAULT NULL,
  LLCK_mark varchar(10) DEFAULT NULL,
  JYHC_mark varchar(10) DEFAULT NULL,
  JHCK_mark varchar(10) DEFAULT NULL,
  KCPD_mark varchar(10) DEFAULT NULL,
  CKDB_mark varchar(10) DEFAULT NULL,
  PRIMARY KEY (id)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE IF NOT EXISTS tb_depart (
  id int NOT NULL AUTO_INCREMENT,
  create_date datetime DEFAULT NULL,
  crater_id int DEFAULT NULL,
  is_stop tinyint(1) NOT NULL DEFAULT 0,
  del tinyint(1) NOT NULL DEFAULT 0,
  depart_no varchar(10) DEFAULT NULL,
  depart_name varchar(30) DEFAULT NULL,
  pym varchar(30) DEFAULT NULL,
  PRIMARY KEY (id),
  KEY ix_depart_no (depart_no)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE IF NOT EXISTS tb_employee (
  id int NOT NULL AUTO_INCREMENT,
  create_date datetime DEFAULT NULL,
  crater_id int DEFAULT NULL,
  is_stop tinyint(1) NOT NULL DEFAULT 0,
  del tinyint(1) NOT NULL DEFAULT 0,
  emp_no varchar(10) DEFAULT NULL,
  emp_name varchar(30) DEFAULT NULL,
  depart_id int DEFAULT NULL,
  pym varchar(30) DEFAULT NULL,
  PRIMARY KEY (id),
  KEY ix_employee_no (emp_no),
  KEY ix_employee_depart (depart_id)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE IF NOT EXISTS tb_role (
  id int NOT NULL AUTO_INCREMENT,
  role_no varchar(10) DEFAULT NULL,
  role_name varchar(20) DEFAULT NULL,
  create_date datetime DEFAULT NULL,
  is_stop tinyint(1) NOT NULL DEFAULT 0,
  create_id int DEFAULT NULL,
  del tinyint(1) NOT NULL DEFAULT 0,
  PRIMARY KEY (id),
  KEY ix_role_no (role_no)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE IF NOT EXISTS tb_module (
  id int NOT NULL AUTO_INCREMENT,
  module_name varchar(30) DEFAULT NULL,
  PRIMARY KEY (id)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE IF NOT EXISTS tb_role_rights (
  id int NOT NULL AUTO_INCREMENT,
  role_id int DEFAULT NULL,
  module varchar(30) DEFAULT NULL,
  create_date datetime DEFAULT NULL,
  is_stop tinyint(1) NOT NULL DEFAULT 0,
  create_id int DEFAULT NULL,
  can_read tinyint(1) NOT NULL DEFAULT 0,
  can_edit tinyint(1) NOT NULL DEFAULT 0,
  can_del tinyint(1) NOT NULL DEFAULT 0,
  can_print tinyint(1) NOT NULL DEFAULT 0,
  can_export tinyint(1) NOT NULL DEFAULT 0,
  PRIMARY KEY (id),
  KEY ix_role_rights_role (role_id, id)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE IF NOT EXISTS tb_user (
  id int NOT NULL AUTO_INCREMENT,
  create_date datetime DEFAULT NULL,
  crater_id int DEFAULT NULL,
  is_stop tinyint(1) NOT NULL DEFAULT 0,
  del tinyint(1) NOT NULL DEFAULT 0,
  role_id int DEFAULT NULL,
  emp_id int DEFAULT NULL,
  password varchar(50) DEFAULT NULL,
  PRIMARY KEY (id)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE IF NOT EXISTS tb_user_log (
  id int NOT NULL AUTO_INCREMENT,
  a_time datetime DEFAULT NULL,
  module varchar(30) DEFAULT NULL,
  action varchar(30) DEFAULT NULL,
  user_name varchar(20) DEFAULT NULL,
  PRIMARY KEY (id),
  KEY ix_user_log_time (a_time)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE IF NOT EXISTS tb_report (
  id int NOT NULL AUTO_INCREMENT,
  formtype varchar(20) DEFAULT NULL,
  report_name varchar(50) DEFAULT NULL,
  report_path varchar(255) DEFAULT NULL,
  `default` tinyint(1) NOT NULL DEFAULT 0,
  print_all tinyint(1) NOT NULL DEFAULT 0,
  report_file longblob,
  PRIMARY KEY (id),
  KEY ix_report_formtype (formtype)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- Stock master data ----------------------------------------------------------

CREATE TABLE IF NOT EXISTS tb_unit (
  id int NOT NULL AUTO_INCREMENT,
  create_date datetime DEFAULT NULL,
  crater_id int DEFAULT NULL,
  is_stop tinyint(1) NOT NULL DEFAULT 0,
  del tinyint(1) NOT NULL DEFAULT 0,
  unit_name varchar(30) DEFAULT NULL,
  pym varchar(30) DEFAULT NULL,
  PRIMARY KEY (id)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE IF NOT EXISTS tb_store (
  id int NOT NULL AUTO_INCREMENT,
  create_date datetime DEFAULT NULL,
  crater_id int DEFAULT NULL,
  is_stop tinyint(1) NOT NULL DEFAULT 0,
  del tinyint(1) NOT NULL DEFAULT 0,
  store_no varchar(10) DEFAULT NULL,
  store_name varchar(30) DEFAULT NULL,
  pym varchar(30) DEFAULT NULL,
  PRIMARY KEY (id),
  KEY ix_store_no (store_no)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE IF NOT EXISTS tb_store_position (
  id int NOT NULL AUTO_INCREMENT,
  create_date datetime DEFAULT NULL,
  crater_id int DEFAULT NULL,
  is_stop tinyint(1) NOT NULL DEFAULT 0,
  position_no varchar(10) DEFAULT NULL,
  position_name varchar(30) DEFAULT NULL,
  store_id int DEFAULT NULL,
  PRIMARY KEY (id),
  KEY ix_position_store (store_id)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE IF NOT EXISTS tb_goods_class (
  id int NOT NULL AUTO_INCREMENT,
  create_date datetime DEFAULT NULL,
  crater_id int DEFAULT NULL,
  is_stop tinyint(1) NOT NULL DEFAULT 0,
  del tinyint(1) NOT NULL DEFAULT 0,
  class_no varchar(10) DEFAULT NULL,
  class_name varchar(30) DEFAULT NULL,
  parent_id int DEFAULT NULL,
  PRIMARY KEY (id),
  KEY ix_goods_class_parent (parent_id),
  KEY ix_goods_class_no (class_no)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE IF NOT EXISTS tb_customer_class (
  id int NOT NULL AUTO_INCREMENT,
  create_date datetime DEFAULT NULL,
  crater_id int DEFAULT NULL,
  is_stop tinyint(1) NOT NULL DEFAULT 0,
  del tinyint(1) NOT NULL DEFAULT 0,
  class_no varchar(10) DEFAULT NULL,
  class_name varchar(30) DEFAULT NULL,
  parent_id int DEFAULT NULL,
  PRIMARY KEY (id),
  KEY ix_customer_class_parent (parent_id),
  KEY ix_customer_class_no (class_no)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE IF NOT EXISTS tb_goods (
  id int NOT NULL AUTO_INCREMENT,
  create_date datetime DEFAULT NULL,
  crater_id int DEFAULT NULL,
  is_stop tinyint(1) NOT NULL DEFAULT 0,
  del tinyint(1) NOT NULL DEFAULT 0,
  class_id int DEFAULT NULL,
  goods_no varchar(20) DEFAULT NULL,
  goods_name varchar(50) DEFAULT NULL,
  model varchar(50) DEFAULT NULL,
  specs varchar(50) DEFAULT NULL,
  unit varchar(10) DEFAULT NULL,
  barcode varchar(30) DEFAULT NULL,
  pym varchar(50) DEFAULT NULL,
  in_price decimal(20,10) DEFAULT NULL,
  out_price decimal(20,10) DEFAULT NULL,
  price decimal(20,10) DEFAULT NULL,
  high_limit decimal(10,4) DEFAULT NULL,
  low_limit decimal(10,4) DEFAULT NULL,
  memo varchar(255) DEFAULT NULL,
  PRIMARY KEY (id),
  KEY ix_goods_class (class_id),
  KEY ix_goods_no (goods_no),
  KEY ix_goods_barcode (barcode)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE IF NOT EXISTS tb_customer (
  id int NOT NULL AUTO_INCREMENT,
  create_date datetime DEFAULT NULL,
  crater_id int DEFAULT NULL,
  is_stop tinyint(1) NOT NULL DEFAULT 0,
  del tinyint(1) NOT NULL DEFAULT 0,
  class_id int DEFAULT NULL,
  customer_no varchar(10) DEFAULT NULL,
  customer_name varchar(50) DEFAULT NULL,
  contact varchar(20) DEFAULT NULL,
  tel varchar(20) DEFAULT NULL,
  mobil varchar(20) DEFAULT NULL,
  fax varchar(20) DEFAULT NULL,
  web_site varchar(50) DEFAULT NULL,
  bank varchar(100) DEFAULT NULL,
  bank_num varchar(30) DEFAULT NULL,
  tax_num varchar(30) DEFAULT NULL,
  pym varchar(50) DEFAULT NULL,
  memo varchar(255) DEFAULT NULL,
  PRIMARY KEY (id),
  KEY ix_customer_class (class_id),
  KEY ix_customer_no (customer_no)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE IF NOT EXISTS tb_store_begin (
  id int NOT NULL AUTO_INCREMENT,
  create_date datetime DEFAULT NULL,
  crater_id int DEFAULT NULL,
  is_stop tinyint(1) NOT NULL DEFAULT 0,
  del tinyint(1) NOT NULL DEFAULT 0,
  store_id int DEFAULT NULL,
  goods_id int DEFAULT NULL,
  postion_id int DEFAULT NULL,
  verify tinyint(1) NOT NULL DEFAULT 0,
  verify_date datetime DEFAULT NULL,
  verify_id int DEFAULT NULL,
  quantity decimal(20,10) DEFAULT NULL,
  price decimal(20,10) DEFAULT NULL,
  amount decimal(20,10) DEFAULT NULL,
  PRIMARY KEY (id),
  KEY ix_store_begin_goods (goods_id, store_id),
  KEY ix_store_begin_store (store_id)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- Stock documents -------------------------------------------------------------

CREATE TABLE IF NOT EXISTS tb_in_out_main (
  id int NOT NULL AUTO_INCREMENT,
  create_date datetime DEFAULT NULL,
  crater_id int DEFAULT NULL,
  is_stop tinyint(1) NOT NULL DEFAULT 0,
  in_store_id int DEFAULT NULL,
  out_store_id int DEFAULT NULL,
  customer_id int DEFAULT NULL,
  depart_id int DEFAULT NULL,
  emp_id int DEFAULT NULL,
  verify_id int DEFAULT NULL,
  verify_date datetime DEFAULT NULL,
  vierfy tinyint(1) NOT NULL DEFAULT 0,
  sign tinyint DEFAULT NULL,
  memo varchar(255) DEFAULT NULL,
  in_out_class varchar(20) DEFAULT NULL,
  bill_no varchar(30) DEFAULT NULL,
  original_bill_no varchar(30) DEFAULT NULL,
  guid varchar(50) DEFAULT NULL,
  PRIMARY KEY (id),
  KEY ix_main_sign (sign, id),
  KEY ix_main_guid (guid),
  KEY ix_main_date (create_date),
  KEY ix_main_bill_no (bill_no)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE IF NOT EXISTS tb_in_out_detail (
  id int NOT NULL AUTO_INCREMENT,
  create_date datetime DEFAULT NULL,
  crater_id int DEFAULT NULL,
  is_stop tinyint(1) NOT NULL DEFAULT 0,
  main_id int DEFAULT NULL,
  guid varchar(50) DEFAULT NULL,
  goods_id int DEFAULT NULL,
  postion_id int DEFAULT NULL,
  quantity decimal(20,10) DEFAULT NULL,
  price decimal(20,10) DEFAULT NULL,
  amount decimal(20,10) DEFAULT NULL,
  memo varchar(50) DEFAULT NULL,
  in_reason varchar(20) DEFAULT NULL,
  out_reason varchar(20) DEFAULT NULL,
  page_quantity decimal(20,10) DEFAULT NULL,
  page_amount decimal(20,10) DEFAULT NULL,
  real_quantity decimal(20,10) DEFAULT NULL,
  real_amount decimal(20,10) DEFAULT NULL,
  PRIMARY KEY (id),
  KEY ix_detail_guid (guid),
  KEY ix_detail_goods (goods_id)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE IF NOT EXISTS tb_bill_no (
  id int NOT NULL AUTO_INCREMENT,
  sign int DEFAULT NULL,
  bill_date date DEFAULT NULL,
  bill_no varchar(30) DEFAULT NULL,
  PRIMARY KEY (id),
  UNIQUE KEY ux_bill_no (bill_no),
  KEY ix_bill_no_day (sign, bill_date, id)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- Stock rules and derived balances ----------------------------------------------
-- Which store sides a bill kind moves: side 1 adds to the header's in_store_id,
-- side -1 takes from its out_store_id. Kinds without a row move no stock.

CREATE TABLE IF NOT EXISTS tb_stock_rule (
  sign tinyint NOT NULL,
  side tinyint NOT NULL,
  PRIMARY KEY (sign, side)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

INSERT IGNORE INTO tb_stock_rule (sign, side) VALUES
  (0, 1), (1, 1), (2, 1), (3, 1), (4, 1), (5, 1),
  (10, -1), (11, -1), (12, -1), (13, -1), (14, -1), (15, -1),
  (19, 1), (19, -1), (20, 1);

-- Kept by the triggers in database/routines.sql in the transaction of the
-- bill or opening stock that changes them (docs/stock-balances.md). A missing
-- goods or store is kept as 0.
-- Current stock per goods and store: opening stock plus every bill line;
-- entries counts the opening rows and line sides behind it.
CREATE TABLE IF NOT EXISTS tb_stock_balance (
  goods_id int NOT NULL,
  store_id int NOT NULL,
  entries int NOT NULL,
  quantity decimal(30,10) NOT NULL,
  amount decimal(30,10) NOT NULL,
  PRIMARY KEY (goods_id, store_id)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- Bill-line movements per calendar month (first day), goods and store, split
-- as the summary reports them; lines of undated bills under 9999-12-01.
CREATE TABLE IF NOT EXISTS tb_stock_month (
  month date NOT NULL,
  goods_id int NOT NULL,
  store_id int NOT NULL,
  moves int NOT NULL,
  in_quantity decimal(30,10) NOT NULL,
  in_amount decimal(30,10) NOT NULL,
  out_quantity decimal(30,10) NOT NULL,
  out_amount decimal(30,10) NOT NULL,
  PRIMARY KEY (month, goods_id, store_id)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- Result tables of the stock routines -------------------------------------------
-- Each routine fills a temporary table of the same name and shape on the
-- calling connection, so these shared tables only give other clients an empty result.

CREATE TABLE IF NOT EXISTS tb_borrow_goods (
  id int NOT NULL AUTO_INCREMENT,
  goods_id int DEFAULT NULL,
  store_id int DEFAULT NULL,
  quantity decimal(20,10) DEFAULT NULL,
  amount decimal(20,10) DEFAULT NULL,
  PRIMARY KEY (id)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE IF NOT EXISTS tb_store_mx (
  id int NOT NULL AUTO_INCREMENT,
  goods_id int DEFAULT NULL,
  store_id int DEFAULT NULL,
  store_name varchar(30) DEFAULT NULL,
  reason varchar(20) DEFAULT NULL,
  create_date datetime DEFAULT NULL,
  bill_no varchar(30) DEFAULT NULL,
  original_bill_no varchar(30) DEFAULT NULL,
  customer varchar(50) DEFAULT NULL,
  depart varchar(50) DEFAULT NULL,
  emp_name varchar(30) DEFAULT NULL,
  creator varchar(30) DEFAULT NULL,
  memo varchar(255) DEFAULT NULL,
  detail_memo varchar(50) DEFAULT NULL,
  sign int DEFAULT NULL,
  in_quantity decimal(20,10) DEFAULT NULL,
  in_amount decimal(20,10) DEFAULT NULL,
  out_quantity decimal(20,10) DEFAULT NULL,
  out_amount decimal(20,10) DEFAULT NULL,
  quantity decimal(20,10) DEFAULT NULL,
  amount decimal(20,10) DEFAULT NULL,
  PRIMARY KEY (id)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;
