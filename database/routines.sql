-- The stock engine: the bill-line view and the routines that compute stock on
-- hand, movement summaries and details, open borrowing and the stock of one
-- goods in one warehouse. Valid for MariaDB 10.11 and MySQL 8.
--
-- Movement rules (one place: the table tb_stock_rule, read by the view
-- v_stock_moves; opening stock: fn_stock_opening and sp_stock_post_opening):
--   opening stock (tb_store_begin)       adds to its store_id
--   kinds 0-5 (inbound)                  add to the header's in_store_id
--   kinds 10-15 (outbound)               take from the header's out_store_id
--   kind 19 (transfer)                   takes from out_store_id, adds to in_store_id
--   kind 20 (stock count)                adds its signed difference to in_store_id
-- Amounts follow the same rules, so the value of a stock is
-- opening amount + amounts in - amounts out (see docs/stock-engine.md).
--
-- Stock on hand and the start balances of a period come from the balances
-- that the triggers at the end of this file keep in tb_stock_balance and
-- tb_stock_month (docs/stock-balances.md); the movements within a period and
-- the movement detail come from the bill lines.
--
-- The client passes a class code unquoted, so the server receives it as a
-- number without leading zeros; fn_class_prefix rebuilds the code.

SET NAMES utf8mb4;

DROP VIEW IF EXISTS v_in_out_detail;
CREATE VIEW v_in_out_detail AS
SELECT d.id, d.goods_id, d.quantity, d.price, d.amount, d.memo, d.in_reason, d.out_reason,
       m.bill_no, m.create_date, m.sign, m.in_store_id, m.out_store_id,
       m.customer_id, c.customer_name, m.depart_id, p.depart_name
  FROM tb_in_out_detail d
  JOIN tb_in_out_main m ON m.guid = d.guid
  LEFT JOIN tb_customer c ON c.id = m.customer_id
  LEFT JOIN tb_depart p ON p.id = m.depart_id;

-- One row per bill line and store side it moves (a transfer line moves two):
--   store_id   the header's in_store_id for side 1, out_store_id for side -1
--   q, a       signed quantity and amount for that store
--   dir        1 counts as received, -1 as issued (a stock count with a
--              negative difference is an issue of the shortfall)
--   month      first day of the bill's month; 9999-12-01 for an undated bill
DROP VIEW IF EXISTS v_stock_moves;
CREATE VIEW v_stock_moves AS
SELECT d.id AS line_id, m.id AS main_id, d.goods_id,
       IF(r.side = 1, m.in_store_id, m.out_store_id) AS store_id,
       m.create_date,
       COALESCE(DATE_SUB(DATE(m.create_date), INTERVAL DAYOFMONTH(m.create_date) - 1 DAY),
                DATE '9999-12-01') AS month,
       m.sign, r.side, r.side * d.quantity AS q, r.side * d.amount AS a,
       IF(m.sign = 20 AND d.quantity < 0, -1, r.side) AS dir,
       IF(r.side = 1, d.in_reason, d.out_reason) AS reason, d.memo AS detail_memo
  FROM tb_in_out_detail d
  JOIN tb_in_out_main m ON m.guid = d.guid
  JOIN tb_stock_rule r ON r.sign = m.sign;

DELIMITER $$

-- "000" followed by the number's digits in three-digit groups: 1 -> 000001,
-- 1002 -> 000001002. NULL for 0, which selects every class.
DROP FUNCTION IF EXISTS fn_class_prefix$$
CREATE FUNCTION fn_class_prefix(p_class BIGINT) RETURNS VARCHAR(40)
  DETERMINISTIC NO SQL
BEGIN
  DECLARE v_digits VARCHAR(40);
  IF p_class IS NULL OR p_class <= 0 THEN
    RETURN NULL;
  END IF;
  SET v_digits = CAST(p_class AS CHAR);
  RETURN CONCAT('000', LPAD(v_digits, CEIL(CHAR_LENGTH(v_digits) / 3) * 3, '0'));
END$$

-- Condition text restricting a goods-id column to one goods and/or one class
-- with its descendants. Only numbers and digits reach the text.
DROP FUNCTION IF EXISTS fn_goods_filter$$
CREATE FUNCTION fn_goods_filter(p_column VARCHAR(40), p_class BIGINT, p_goods INT) RETURNS TEXT
  DETERMINISTIC NO SQL
BEGIN
  DECLARE v_text TEXT DEFAULT '';
  DECLARE v_prefix VARCHAR(40) DEFAULT fn_class_prefix(p_class);
  IF p_goods IS NOT NULL AND p_goods <> 0 THEN
    SET v_text = CONCAT(' AND ', p_column, ' = ', p_goods);
  END IF;
  IF v_prefix IS NOT NULL THEN
    SET v_text = CONCAT(v_text, ' AND ', p_column, ' IN (SELECT g.id FROM tb_goods g',
                        ' JOIN tb_goods_class gc ON gc.id = g.class_id',
                        ' WHERE gc.class_no LIKE ''', v_prefix, '%'')');
  END IF;
  RETURN v_text;
END$$

-- Derived table of opening stock rows: goods_id, store_id, q, a.
DROP FUNCTION IF EXISTS fn_stock_opening$$
CREATE FUNCTION fn_stock_opening(p_store INT, p_class BIGINT, p_goods INT) RETURNS TEXT
  DETERMINISTIC NO SQL
BEGIN
  RETURN CONCAT('(SELECT b.goods_id, b.store_id, b.quantity AS q, b.amount AS a',
                ' FROM tb_store_begin b WHERE b.del = 0',
                fn_store_filter('b.store_id', p_store), fn_goods_filter('b.goods_id', p_class, p_goods), ')');
END$$

-- Condition text restricting a store column to one store (0: every store).
DROP FUNCTION IF EXISTS fn_store_filter$$
CREATE FUNCTION fn_store_filter(p_column VARCHAR(40), p_store INT) RETURNS TEXT
  DETERMINISTIC NO SQL
BEGIN
  RETURN IF(p_store IS NOT NULL AND p_store <> 0, CONCAT(' AND ', p_column, ' = ', p_store), '');
END$$

-- A date and time as a quoted literal of a generated statement.
DROP FUNCTION IF EXISTS fn_quote_time$$
CREATE FUNCTION fn_quote_time(p_time DATETIME) RETURNS VARCHAR(30)
  DETERMINISTIC NO SQL
BEGIN
  RETURN CONCAT('''', DATE_FORMAT(p_time, '%Y-%m-%d %H:%i:%s'), '''');
END$$

-- Derived table of the stock moves of bills dated from p_from (inclusive) to
-- p_to (exclusive); NULL leaves that end open. Columns of v_stock_moves.
DROP FUNCTION IF EXISTS fn_stock_moves$$
CREATE FUNCTION fn_stock_moves(p_from DATETIME, p_to DATETIME, p_store INT, p_class BIGINT, p_goods INT)
  RETURNS TEXT DETERMINISTIC NO SQL
BEGIN
  RETURN CONCAT(
    '(SELECT line_id, goods_id, store_id, main_id, create_date, sign, side, q, a, dir, reason, detail_memo',
    ' FROM v_stock_moves WHERE 1 = 1',
    IF(p_from IS NULL, '', CONCAT(' AND create_date >= ', fn_quote_time(p_from))),
    IF(p_to IS NULL, '', CONCAT(' AND create_date < ', fn_quote_time(p_to))),
    fn_store_filter('store_id', p_store), fn_goods_filter('goods_id', p_class, p_goods), ')');
END$$

-- Runs one generated statement.
DROP PROCEDURE IF EXISTS sp_exec_text$$
CREATE PROCEDURE sp_exec_text(IN p_sql TEXT)
BEGIN
  SET @ck_sql = p_sql;
  PREPARE ck_stmt FROM @ck_sql;
  EXECUTE ck_stmt;
  DEALLOCATE PREPARE ck_stmt;
  SET @ck_sql = NULL;
END$$

-- Runs one generated statement with room to group: grouping a whole history
-- needs internal temporary tables larger than the server's default in-memory
-- limit; spilling
-- them to disk would triple the time, so the limit is raised for this
-- statement only and restored afterwards, also when the statement fails.
DROP PROCEDURE IF EXISTS sp_run_text$$
CREATE PROCEDURE sp_run_text(IN p_sql TEXT)
BEGIN
  DECLARE v_tmp_size BIGINT UNSIGNED DEFAULT @@SESSION.tmp_table_size;
  DECLARE v_heap_size BIGINT UNSIGNED DEFAULT @@SESSION.max_heap_table_size;
  DECLARE EXIT HANDLER FOR SQLEXCEPTION
  BEGIN
    SET SESSION tmp_table_size = v_tmp_size, SESSION max_heap_table_size = v_heap_size;
    RESIGNAL;
  END;
  SET SESSION tmp_table_size = GREATEST(v_tmp_size, 268435456),
      SESSION max_heap_table_size = GREATEST(v_heap_size, 268435456);
  CALL sp_exec_text(p_sql);
  SET SESSION tmp_table_size = v_tmp_size, SESSION max_heap_table_size = v_heap_size;
END$$

-- A period needs both ends: a missing date would silently select nothing.
DROP PROCEDURE IF EXISTS sp_check_period$$
CREATE PROCEDURE sp_check_period(IN p_start DATE, IN p_end DATE)
BEGIN
  IF p_start IS NULL OR p_end IS NULL THEN
    SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = '起始日期和截止日期不能为空!';
  END IF;
END$$

-- Stock on hand per goods and warehouse into temp_store_goods: every goods and
-- store with an opening row or a bill line, in goods and store order.
DROP PROCEDURE IF EXISTS sp_store_goods$$
CREATE PROCEDURE sp_store_goods(IN p_store INT, IN p_class BIGINT, IN p_goods INT)
BEGIN
  CALL sp_reset_temp_store_goods();
  IF COALESCE(p_goods, 0) <> 0 AND fn_class_prefix(p_class) IS NULL THEN
    -- The stock check of a bill line, called once per line: a fixed statement
    -- on the balance's key, without preparing one.
    INSERT INTO temp_store_goods (goods_id, store_id, quantity, amount)
    SELECT goods_id, NULLIF(store_id, 0), quantity, amount FROM tb_stock_balance
     WHERE goods_id = p_goods AND entries > 0 AND (COALESCE(p_store, 0) = 0 OR store_id = p_store)
     ORDER BY goods_id, store_id;
  ELSE
    CALL sp_run_text(CONCAT(
      'INSERT INTO temp_store_goods (goods_id, store_id, quantity, amount)',
      ' SELECT NULLIF(goods_id, 0), NULLIF(store_id, 0), quantity, amount FROM tb_stock_balance',
      ' WHERE entries > 0', fn_store_filter('store_id', p_store), fn_goods_filter('goods_id', p_class, p_goods),
      ' ORDER BY goods_id, store_id'));
  END IF;
END$$

-- First day of the month of a date.
DROP FUNCTION IF EXISTS fn_month_start$$
CREATE FUNCTION fn_month_start(p_day DATE) RETURNS DATE
  DETERMINISTIC NO SQL
BEGIN
  RETURN DATE_SUB(p_day, INTERVAL DAYOFMONTH(p_day) - 1 DAY);
END$$

-- Rows (goods_id, store_id, sq, sa, iq, ia, oq, oa, n) of the bill lines dated
-- from p_from (inclusive) to p_to (exclusive), as start balance (p_as_start)
-- or as movements of the period (n counts them).
DROP FUNCTION IF EXISTS fn_summary_lines$$
CREATE FUNCTION fn_summary_lines(p_from DATE, p_to DATE, p_as_start BOOLEAN, p_filter TEXT) RETURNS TEXT
  DETERMINISTIC NO SQL
BEGIN
  RETURN CONCAT(
    ' SELECT COALESCE(goods_id, 0), COALESCE(store_id, 0),',
    IF(p_as_start, ' COALESCE(q, 0), COALESCE(a, 0), 0, 0, 0, 0, 0',
       ' 0, 0, IF(dir = 1, COALESCE(q, 0), 0), IF(dir = 1, COALESCE(a, 0), 0),'
       ' IF(dir = -1, -COALESCE(q, 0), 0), IF(dir = -1, -COALESCE(a, 0), 0), 1'),
    ' FROM v_stock_moves WHERE create_date >= ', fn_quote_time(p_from),
    ' AND create_date < ', fn_quote_time(p_to), p_filter);
END$$

-- Movement summary for [p_start, p_end) per goods and warehouse into
-- temp_store_hz2, listing those with a start balance or a movement in the
-- period. Every goods and store that ever held stock has a row in
-- tb_stock_balance, which drives the statement. The start balance comes from
-- whichever side of the period holds fewer months: opening stock plus the
-- monthly movements before the period's month (forward), or the current
-- balance less the monthly movements from that month on (back); the lines
-- between that month's first day and the period start are added to either.
-- The period's whole months come from the monthly movements, its partial
-- months from the bill lines.
DROP PROCEDURE IF EXISTS sp_store_hz$$
CREATE PROCEDURE sp_store_hz(IN p_start DATE, IN p_end DATE, IN p_store INT, IN p_class BIGINT, IN p_goods INT)
BEGIN
  DECLARE v_cut DATE;
  DECLARE v_cut_month DATE;
  DECLARE v_first DATE;
  DECLARE v_last DATE;
  DECLARE v_back BOOLEAN;
  DECLARE v_whole_from DATE;
  DECLARE v_whole_to DATE;
  DECLARE v_filter TEXT;
  DECLARE v_cells TEXT;
  DECLARE v_rest TEXT;
  CALL sp_check_period(p_start, p_end);
  CALL sp_reset_temp_store_hz2();
  -- An end before the start leaves an empty period whose balance is the one at its end.
  SET v_cut = LEAST(p_start, p_end);
  SET v_cut_month = fn_month_start(v_cut);
  SET v_filter = CONCAT(fn_store_filter('store_id', p_store), fn_goods_filter('goods_id', p_class, p_goods));
  SELECT MIN(month), MAX(month) INTO v_first, v_last FROM tb_stock_month WHERE month < DATE '9999-12-01';
  SET v_back = v_first IS NOT NULL
               AND TIMESTAMPDIFF(MONTH, v_first, v_cut_month) > TIMESTAMPDIFF(MONTH, v_cut_month, v_last);

  -- Whole months of the period: [v_whole_from, v_whole_to), empty when it has none.
  SET v_whole_from = fn_month_start(p_start);
  IF v_whole_from < p_start THEN
    SET v_whole_from = DATE_ADD(v_whole_from, INTERVAL 1 MONTH);
  END IF;
  SET v_whole_to = fn_month_start(p_end);
  IF v_whole_from >= v_whole_to THEN
    SET v_whole_from = v_cut_month, v_whole_to = v_cut_month;
  END IF;

  -- Monthly movements per goods and store: the start-balance part and the
  -- period's whole months.
  SET v_cells = CONCAT(
    'SELECT goods_id, store_id,',
    IF(v_back, ' SUM(out_quantity - in_quantity) AS sq, SUM(out_amount - in_amount) AS sa,',
       CONCAT(' SUM(IF(month < ', fn_quote_time(v_cut_month), ', in_quantity - out_quantity, 0)) AS sq,',
              ' SUM(IF(month < ', fn_quote_time(v_cut_month), ', in_amount - out_amount, 0)) AS sa,')),
    ' SUM(IF(month >= ', fn_quote_time(v_whole_from), ' AND month < ', fn_quote_time(v_whole_to), ', in_quantity, 0)) AS iq,',
    ' SUM(IF(month >= ', fn_quote_time(v_whole_from), ' AND month < ', fn_quote_time(v_whole_to), ', in_amount, 0)) AS ia,',
    ' SUM(IF(month >= ', fn_quote_time(v_whole_from), ' AND month < ', fn_quote_time(v_whole_to), ', out_quantity, 0)) AS oq,',
    ' SUM(IF(month >= ', fn_quote_time(v_whole_from), ' AND month < ', fn_quote_time(v_whole_to), ', out_amount, 0)) AS oa,',
    ' SUM(IF(month >= ', fn_quote_time(v_whole_from), ' AND month < ', fn_quote_time(v_whole_to), ', moves, 0)) AS n',
    ' FROM tb_stock_month WHERE ',
    IF(v_back, CONCAT('month >= ', fn_quote_time(v_cut_month)),
       CONCAT('month < ', fn_quote_time(GREATEST(v_cut_month, v_whole_to)))), v_filter,
    ' GROUP BY goods_id, store_id ORDER BY NULL');

  -- Opening stock when counting forward, and the bill lines of partial months.
  SET v_rest = CONCAT(
    'SELECT 0 AS goods_id, 0 AS store_id, 0 AS sq, 0 AS sa, 0 AS iq, 0 AS ia, 0 AS oq, 0 AS oa, 0 AS n FROM DUAL WHERE 1 = 0',
    IF(v_back, '', CONCAT(
      ' UNION ALL SELECT COALESCE(goods_id, 0), COALESCE(store_id, 0), COALESCE(quantity, 0), COALESCE(amount, 0),',
      '   0, 0, 0, 0, 0 FROM tb_store_begin WHERE del = 0', v_filter)));
  IF v_cut > v_cut_month THEN
    SET v_rest = CONCAT(v_rest, ' UNION ALL', fn_summary_lines(v_cut_month, v_cut, TRUE, v_filter));
  END IF;
  IF p_end > p_start THEN
    IF v_whole_from = v_whole_to THEN
      SET v_rest = CONCAT(v_rest, ' UNION ALL', fn_summary_lines(p_start, p_end, FALSE, v_filter));
    ELSE
      IF p_start < v_whole_from THEN
        SET v_rest = CONCAT(v_rest, ' UNION ALL', fn_summary_lines(p_start, v_whole_from, FALSE, v_filter));
      END IF;
      IF v_whole_to < p_end THEN
        SET v_rest = CONCAT(v_rest, ' UNION ALL', fn_summary_lines(v_whole_to, p_end, FALSE, v_filter));
      END IF;
    END IF;
  END IF;

  CALL sp_run_text(CONCAT(
    'INSERT INTO temp_store_hz2 (goods_id, store_id, start_quantity, start_amount, in_quantity, in_amount,',
    '   out_quantity, out_amount, end_quantity, end_amount)',
    ' SELECT NULLIF(goods_id, 0), NULLIF(store_id, 0), sq, sa, iq, ia, oq, oa, sq + iq - oq, sa + ia - oa FROM (',
    '   SELECT b.goods_id, b.store_id,',
    '     ', IF(v_back, 'b.quantity', '0'), ' + COALESCE(c.sq, 0) + COALESCE(r.sq, 0) AS sq,',
    '     ', IF(v_back, 'b.amount', '0'), ' + COALESCE(c.sa, 0) + COALESCE(r.sa, 0) AS sa,',
    '     COALESCE(c.iq, 0) + COALESCE(r.iq, 0) AS iq, COALESCE(c.ia, 0) + COALESCE(r.ia, 0) AS ia,',
    '     COALESCE(c.oq, 0) + COALESCE(r.oq, 0) AS oq, COALESCE(c.oa, 0) + COALESCE(r.oa, 0) AS oa,',
    '     COALESCE(c.n, 0) + COALESCE(r.n, 0) AS n',
    '   FROM tb_stock_balance b',
    '   LEFT JOIN (', v_cells, ') c ON c.goods_id = b.goods_id AND c.store_id = b.store_id',
    '   LEFT JOIN (SELECT goods_id, store_id, SUM(sq) AS sq, SUM(sa) AS sa, SUM(iq) AS iq, SUM(ia) AS ia,',
    '       SUM(oq) AS oq, SUM(oa) AS oa, SUM(n) AS n FROM (', v_rest, ') u GROUP BY goods_id, store_id ORDER BY NULL',
    '     ) r ON r.goods_id = b.goods_id AND r.store_id = b.store_id',
    '   WHERE 1 = 1', fn_store_filter('b.store_id', p_store), fn_goods_filter('b.goods_id', p_class, p_goods),
    ' ) z WHERE n > 0 OR sq <> 0 OR sa <> 0',
    ' ORDER BY goods_id, store_id'));
END$$

-- Every routine starts its result table afresh: a new, empty table is
-- cheaper than deleting a large earlier result, whose pages a later small
-- query would still have to scan. The client creates temp_store_goods and
-- temp_store_hz2 at start-up; they are rebuilt here with the same columns, in
-- memory (numbers only, so rows stay small), which halves the time to write a
-- result of every goods and store. A memory table's size limit is fixed when
-- it is created: 1 GB, far above any stock list.
-- Replaces a temporary table of the calling connection by a new, empty one in
-- memory with the given columns; its size limit is fixed at creation.
DROP PROCEDURE IF EXISTS sp_new_memory_temp$$
CREATE PROCEDURE sp_new_memory_temp(IN p_table VARCHAR(64), IN p_columns TEXT)
BEGIN
  DECLARE v_heap_size BIGINT UNSIGNED DEFAULT @@SESSION.max_heap_table_size;
  DECLARE EXIT HANDLER FOR SQLEXCEPTION
  BEGIN
    SET SESSION max_heap_table_size = v_heap_size;
    RESIGNAL;
  END;
  CALL sp_exec_text(CONCAT('DROP TEMPORARY TABLE IF EXISTS ', p_table));
  SET SESSION max_heap_table_size = GREATEST(v_heap_size, 1073741824);
  CALL sp_exec_text(CONCAT('CREATE TEMPORARY TABLE ', p_table, ' (', p_columns,
                         ') ENGINE=MEMORY DEFAULT CHARSET=utf8mb4'));
  SET SESSION max_heap_table_size = v_heap_size;
END$$

DROP PROCEDURE IF EXISTS sp_reset_temp_store_goods$$
CREATE PROCEDURE sp_reset_temp_store_goods()
BEGIN
  CALL sp_new_memory_temp('temp_store_goods',
    'id int NOT NULL AUTO_INCREMENT, goods_id int DEFAULT NULL, store_id int DEFAULT NULL,
     quantity decimal(20,10) DEFAULT NULL, amount decimal(20,10) DEFAULT NULL,
     PRIMARY KEY (id)');
END$$

DROP PROCEDURE IF EXISTS sp_reset_temp_store_hz2$$
CREATE PROCEDURE sp_reset_temp_store_hz2()
BEGIN
  CALL sp_new_memory_temp('temp_store_hz2',
    'id int NOT NULL AUTO_INCREMENT, goods_id int DEFAULT NULL, store_id int DEFAULT NULL,
     start_quantity decimal(20,10) DEFAULT NULL, start_amount decimal(20,10) DEFAULT NULL,
     in_quantity decimal(20,10) DEFAULT NULL, in_amount decimal(20,10) DEFAULT NULL,
     out_quantity decimal(20,10) DEFAULT NULL, end_quantity decimal(20,10) DEFAULT NULL,
     end_amount decimal(20,10) DEFAULT NULL, out_amount decimal(20,10) DEFAULT NULL,
     sign int DEFAULT NULL, PRIMARY KEY (id)');
END$$

-- Result tables shared by name with every client: each call fills a
-- temporary table of the same name, private to the calling connection, which
-- hides the shared table from that connection only.
DROP PROCEDURE IF EXISTS sp_reset_store_mx$$
CREATE PROCEDURE sp_reset_store_mx()
BEGIN
  DROP TEMPORARY TABLE IF EXISTS tb_store_mx;
  CREATE TEMPORARY TABLE tb_store_mx (
    id int NOT NULL AUTO_INCREMENT, goods_id int DEFAULT NULL, store_id int DEFAULT NULL,
    store_name varchar(30) DEFAULT NULL, reason varchar(20) DEFAULT NULL, create_date datetime DEFAULT NULL,
    bill_no varchar(30) DEFAULT NULL, original_bill_no varchar(30) DEFAULT NULL,
    customer varchar(50) DEFAULT NULL, depart varchar(50) DEFAULT NULL,
    emp_name varchar(30) DEFAULT NULL, creator varchar(30) DEFAULT NULL,
    memo varchar(255) DEFAULT NULL, detail_memo varchar(50) DEFAULT NULL, sign int DEFAULT NULL,
    in_quantity decimal(20,10) DEFAULT NULL, in_amount decimal(20,10) DEFAULT NULL,
    out_quantity decimal(20,10) DEFAULT NULL, out_amount decimal(20,10) DEFAULT NULL,
    quantity decimal(20,10) DEFAULT NULL, amount decimal(20,10) DEFAULT NULL,
    PRIMARY KEY (id)) DEFAULT CHARSET=utf8mb4;
END$$

DROP PROCEDURE IF EXISTS sp_reset_borrow_goods$$
CREATE PROCEDURE sp_reset_borrow_goods()
BEGIN
  DROP TEMPORARY TABLE IF EXISTS tb_borrow_goods;
  CREATE TEMPORARY TABLE tb_borrow_goods (
    id int NOT NULL AUTO_INCREMENT, goods_id int DEFAULT NULL, store_id int DEFAULT NULL,
    quantity decimal(20,10) DEFAULT NULL, amount decimal(20,10) DEFAULT NULL,
    PRIMARY KEY (id)) DEFAULT CHARSET=utf8mb4;
END$$

-- Movement detail for [p_start, p_end) into tb_store_mx: per goods and
-- warehouse an opening row "期初结存" with the balance at p_start, then one row
-- per movement in date order with the balance after it.
DROP PROCEDURE IF EXISTS sp_store_mx$$
CREATE PROCEDURE sp_store_mx(IN p_start DATE, IN p_end DATE, IN p_store INT, IN p_class BIGINT, IN p_goods INT)
BEGIN
  CALL sp_check_period(p_start, p_end);
  CALL sp_reset_store_mx();
  CALL sp_run_text(CONCAT(
    'INSERT INTO tb_store_mx (goods_id, store_id, store_name, reason, create_date, bill_no, original_bill_no,',
    '   customer, depart, emp_name, creator, memo, detail_memo, sign,',
    '   in_quantity, in_amount, out_quantity, out_amount, quantity, amount)',
    ' SELECT x.goods_id, x.store_id, s.store_name, x.reason, x.create_date, m.bill_no, m.original_bill_no,',
    '   c.customer_name, dp.depart_name, e.emp_name, cr.emp_name, m.memo, x.detail_memo, m.sign,',
    '   x.iq, x.ia, x.oq, x.oa,',
    '   SUM(x.q) OVER w, SUM(x.a) OVER w',
    ' FROM (',
    '   SELECT goods_id, store_id, 0 AS part, NULL AS line_id, 0 AS side, NULL AS main_id,',
    '     ''期初结存'' AS reason, CAST(''', p_start, ''' AS DATETIME) AS create_date, NULL AS detail_memo,',
    '     SUM(sq) AS q, SUM(sa) AS a, 0 AS iq, 0 AS ia, 0 AS oq, 0 AS oa',
    '   FROM (',
    '     SELECT goods_id, store_id, q AS sq, a AS sa, 0 AS n FROM ',
           fn_stock_opening(p_store, p_class, p_goods), ' o',
    '     UNION ALL',
    '     SELECT goods_id, store_id, SUM(IF(create_date < ''', p_start, ''', q, 0)),',
    '       SUM(IF(create_date < ''', p_start, ''', a, 0)), SUM(create_date >= ''', p_start, ''')',
    '     FROM ', fn_stock_moves(NULL, p_end, p_store, p_class, p_goods), ' v',
    '     GROUP BY goods_id, store_id',
    '   ) b GROUP BY goods_id, store_id HAVING SUM(n) > 0 OR SUM(sq) <> 0 OR SUM(sa) <> 0',
    '   UNION ALL',
    '   SELECT goods_id, store_id, 1, line_id, side, main_id, reason, create_date, detail_memo, q, a,',
    '     IF(dir = 1, q, 0), IF(dir = 1, a, 0), IF(dir = -1, -q, 0), IF(dir = -1, -a, 0)',
    '   FROM ', fn_stock_moves(p_start, p_end, p_store, p_class, p_goods), ' v',
    ' ) x',
    ' LEFT JOIN tb_in_out_main m ON m.id = x.main_id',
    ' LEFT JOIN tb_store s ON s.id = x.store_id',
    ' LEFT JOIN tb_customer c ON c.id = m.customer_id',
    ' LEFT JOIN tb_depart dp ON dp.id = m.depart_id',
    ' LEFT JOIN tb_employee e ON e.id = m.emp_id',
    ' LEFT JOIN tb_employee cr ON cr.id = m.crater_id',
    ' WINDOW w AS (PARTITION BY x.goods_id, x.store_id',
    '   ORDER BY x.part, x.create_date, x.line_id, x.side ROWS UNBOUNDED PRECEDING)',
    ' ORDER BY x.goods_id, x.store_id, x.part, x.create_date, x.line_id, x.side'));
END$$

-- Open borrowing per goods and warehouse into tb_borrow_goods: the stock
-- movements of the kind that opened the borrowing and of the kind that settles
-- it, summed with p_factor so that open borrowing counts positive.
DROP PROCEDURE IF EXISTS sp_fill_borrow$$
CREATE PROCEDURE sp_fill_borrow(IN p_opening_kind INT, IN p_settling_kind INT, IN p_factor INT,
                                IN p_store INT, IN p_class BIGINT, IN p_goods INT)
BEGIN
  CALL sp_reset_borrow_goods();
  CALL sp_run_text(CONCAT(
    'INSERT INTO tb_borrow_goods (goods_id, store_id, quantity, amount)',
    ' SELECT goods_id, store_id, ', p_factor, ' * SUM(q), ', p_factor, ' * SUM(a)',
    ' FROM ', fn_stock_moves(NULL, NULL, p_store, p_class, p_goods), ' v',
    ' WHERE sign IN (', p_opening_kind, ', ', p_settling_kind, ')',
    ' GROUP BY goods_id, store_id ORDER BY goods_id, store_id'));
END$$

-- Goods still borrowed from partners: "借货入库" (4) less "借入还出" (14).
DROP PROCEDURE IF EXISTS sp_get_borrow_in$$
CREATE PROCEDURE sp_get_borrow_in(IN p_store INT, IN p_class BIGINT, IN p_goods INT)
BEGIN
  CALL sp_fill_borrow(4, 14, 1, p_store, p_class, p_goods);
END$$

-- Goods still lent to partners: "借货出库" (15) less "借出还入" (5).
DROP PROCEDURE IF EXISTS sp_get_borrow_out$$
CREATE PROCEDURE sp_get_borrow_out(IN p_store INT, IN p_class BIGINT, IN p_goods INT)
BEGIN
  CALL sp_fill_borrow(15, 5, -1, p_store, p_class, p_goods);
END$$

-- Stock of one goods in one warehouse (0: all warehouses; goods 0: all goods);
-- 0 when it never moved. Fixed statements on the balance's key: the price
-- lookup of a bill line calls it once per line.
DROP PROCEDURE IF EXISTS sp_get_goods_store$$
CREATE PROCEDURE sp_get_goods_store(IN storeId INT, IN goodsId INT,
                                    OUT totalQuantity DECIMAL(30,10), OUT totalAmount DECIMAL(30,10))
BEGIN
  IF goodsId = 0 THEN
    SELECT COALESCE(SUM(quantity), 0), COALESCE(SUM(amount), 0) INTO totalQuantity, totalAmount
      FROM tb_stock_balance WHERE COALESCE(storeId, 0) = 0 OR store_id = storeId;
  ELSE
    SELECT COALESCE(SUM(quantity), 0), COALESCE(SUM(amount), 0) INTO totalQuantity, totalAmount
      FROM tb_stock_balance WHERE goods_id = goodsId AND (COALESCE(storeId, 0) = 0 OR store_id = storeId);
  END IF;
END$$

-- Derived balances -------------------------------------------------------------
-- tb_stock_balance (stock per goods and store) and tb_stock_month (movements
-- per month, goods and store) are kept by the triggers below inside the
-- statement, and so the transaction, that changes a bill or opening stock.
-- A change is posted as the removal of the old row's effect (before the
-- change, while the tables still hold it) and the addition of the new one's
-- (after it), both read through v_stock_moves, so the rules stay in one place.
-- Missing quantities and amounts count as 0; a missing goods or store as 0.

-- Adds p_factor (1 or -1) times the effect of one bill line: under every
-- header with its guid, or only under header p_main when given.
DROP PROCEDURE IF EXISTS sp_stock_post_line$$
CREATE PROCEDURE sp_stock_post_line(IN p_line INT, IN p_main INT, IN p_factor INT)
  MODIFIES SQL DATA
BEGIN
  INSERT INTO tb_stock_balance (goods_id, store_id, entries, quantity, amount)
  SELECT * FROM (
    SELECT COALESCE(goods_id, 0) AS g, COALESCE(store_id, 0) AS s, p_factor AS e,
           p_factor * COALESCE(q, 0) AS dq, p_factor * COALESCE(a, 0) AS da
      FROM v_stock_moves WHERE line_id = p_line AND (p_main IS NULL OR main_id = p_main)) t
  ON DUPLICATE KEY UPDATE entries = entries + t.e, quantity = quantity + t.dq, amount = amount + t.da;

  INSERT INTO tb_stock_month (month, goods_id, store_id, moves, in_quantity, in_amount, out_quantity, out_amount)
  SELECT * FROM (
    SELECT month AS mo, COALESCE(goods_id, 0) AS g, COALESCE(store_id, 0) AS s, p_factor AS e,
           p_factor * IF(dir = 1, COALESCE(q, 0), 0) AS iq, p_factor * IF(dir = 1, COALESCE(a, 0), 0) AS ia,
           p_factor * IF(dir = -1, -COALESCE(q, 0), 0) AS oq, p_factor * IF(dir = -1, -COALESCE(a, 0), 0) AS oa
      FROM v_stock_moves WHERE line_id = p_line AND (p_main IS NULL OR main_id = p_main)) t
  ON DUPLICATE KEY UPDATE moves = moves + t.e, in_quantity = in_quantity + t.iq, in_amount = in_amount + t.ia,
                          out_quantity = out_quantity + t.oq, out_amount = out_amount + t.oa;
END$$

-- Adds p_factor times the effect of every line of header p_main (guid p_guid).
DROP PROCEDURE IF EXISTS sp_stock_post_bill$$
CREATE PROCEDURE sp_stock_post_bill(IN p_main INT, IN p_guid VARCHAR(50), IN p_factor INT)
  MODIFIES SQL DATA
BEGIN
  DECLARE v_done BOOLEAN DEFAULT FALSE;
  DECLARE v_line INT;
  DECLARE c_lines CURSOR FOR SELECT id FROM tb_in_out_detail WHERE guid = p_guid;
  DECLARE CONTINUE HANDLER FOR NOT FOUND SET v_done = TRUE;
  OPEN c_lines;
  post: LOOP
    FETCH c_lines INTO v_line;
    IF v_done THEN
      LEAVE post;
    END IF;
    CALL sp_stock_post_line(v_line, p_main, p_factor);
  END LOOP;
  CLOSE c_lines;
END$$

-- Adds p_factor times the effect of one opening stock row (rows with del = 1 have none).
DROP PROCEDURE IF EXISTS sp_stock_post_opening$$
CREATE PROCEDURE sp_stock_post_opening(IN p_goods INT, IN p_store INT, IN p_del TINYINT,
                                       IN p_quantity DECIMAL(20,10), IN p_amount DECIMAL(20,10), IN p_factor INT)
  MODIFIES SQL DATA
BEGIN
  IF p_del = 0 THEN
    INSERT INTO tb_stock_balance (goods_id, store_id, entries, quantity, amount)
    VALUES (COALESCE(p_goods, 0), COALESCE(p_store, 0), p_factor,
            p_factor * COALESCE(p_quantity, 0), p_factor * COALESCE(p_amount, 0))
    ON DUPLICATE KEY UPDATE entries = entries + p_factor,
                            quantity = quantity + p_factor * COALESCE(p_quantity, 0),
                            amount = amount + p_factor * COALESCE(p_amount, 0);
  END IF;
END$$

DROP TRIGGER IF EXISTS tr_in_out_detail_ai$$
CREATE TRIGGER tr_in_out_detail_ai AFTER INSERT ON tb_in_out_detail FOR EACH ROW
  CALL sp_stock_post_line(NEW.id, NULL, 1)$$

DROP TRIGGER IF EXISTS tr_in_out_detail_bu$$
CREATE TRIGGER tr_in_out_detail_bu BEFORE UPDATE ON tb_in_out_detail FOR EACH ROW
BEGIN
  IF NOT (OLD.id <=> NEW.id AND OLD.guid <=> NEW.guid AND OLD.goods_id <=> NEW.goods_id
          AND OLD.quantity <=> NEW.quantity AND OLD.amount <=> NEW.amount) THEN
    CALL sp_stock_post_line(OLD.id, NULL, -1);
  END IF;
END$$

DROP TRIGGER IF EXISTS tr_in_out_detail_au$$
CREATE TRIGGER tr_in_out_detail_au AFTER UPDATE ON tb_in_out_detail FOR EACH ROW
BEGIN
  IF NOT (OLD.id <=> NEW.id AND OLD.guid <=> NEW.guid AND OLD.goods_id <=> NEW.goods_id
          AND OLD.quantity <=> NEW.quantity AND OLD.amount <=> NEW.amount) THEN
    CALL sp_stock_post_line(NEW.id, NULL, 1);
  END IF;
END$$

DROP TRIGGER IF EXISTS tr_in_out_detail_bd$$
CREATE TRIGGER tr_in_out_detail_bd BEFORE DELETE ON tb_in_out_detail FOR EACH ROW
  CALL sp_stock_post_line(OLD.id, NULL, -1)$$

DROP TRIGGER IF EXISTS tr_in_out_main_ai$$
CREATE TRIGGER tr_in_out_main_ai AFTER INSERT ON tb_in_out_main FOR EACH ROW
  CALL sp_stock_post_bill(NEW.id, NEW.guid, 1)$$

DROP TRIGGER IF EXISTS tr_in_out_main_bu$$
CREATE TRIGGER tr_in_out_main_bu BEFORE UPDATE ON tb_in_out_main FOR EACH ROW
BEGIN
  IF NOT (OLD.id <=> NEW.id AND OLD.guid <=> NEW.guid AND OLD.sign <=> NEW.sign AND OLD.create_date <=> NEW.create_date
          AND OLD.in_store_id <=> NEW.in_store_id AND OLD.out_store_id <=> NEW.out_store_id) THEN
    CALL sp_stock_post_bill(OLD.id, OLD.guid, -1);
  END IF;
END$$

DROP TRIGGER IF EXISTS tr_in_out_main_au$$
CREATE TRIGGER tr_in_out_main_au AFTER UPDATE ON tb_in_out_main FOR EACH ROW
BEGIN
  IF NOT (OLD.id <=> NEW.id AND OLD.guid <=> NEW.guid AND OLD.sign <=> NEW.sign AND OLD.create_date <=> NEW.create_date
          AND OLD.in_store_id <=> NEW.in_store_id AND OLD.out_store_id <=> NEW.out_store_id) THEN
    CALL sp_stock_post_bill(NEW.id, NEW.guid, 1);
  END IF;
END$$

DROP TRIGGER IF EXISTS tr_in_out_main_bd$$
CREATE TRIGGER tr_in_out_main_bd BEFORE DELETE ON tb_in_out_main FOR EACH ROW
  CALL sp_stock_post_bill(OLD.id, OLD.guid, -1)$$

DROP TRIGGER IF EXISTS tr_store_begin_ai$$
CREATE TRIGGER tr_store_begin_ai AFTER INSERT ON tb_store_begin FOR EACH ROW
  CALL sp_stock_post_opening(NEW.goods_id, NEW.store_id, NEW.del, NEW.quantity, NEW.amount, 1)$$

DROP TRIGGER IF EXISTS tr_store_begin_au$$
CREATE TRIGGER tr_store_begin_au AFTER UPDATE ON tb_store_begin FOR EACH ROW
BEGIN
  IF NOT (OLD.del <=> NEW.del AND OLD.goods_id <=> NEW.goods_id AND OLD.store_id <=> NEW.store_id
          AND OLD.quantity <=> NEW.quantity AND OLD.amount <=> NEW.amount) THEN
    CALL sp_stock_post_opening(OLD.goods_id, OLD.store_id, OLD.del, OLD.quantity, OLD.amount, -1);
    CALL sp_stock_post_opening(NEW.goods_id, NEW.store_id, NEW.del, NEW.quantity, NEW.amount, 1);
  END IF;
END$$

DROP TRIGGER IF EXISTS tr_store_begin_ad$$
CREATE TRIGGER tr_store_begin_ad AFTER DELETE ON tb_store_begin FOR EACH ROW
  CALL sp_stock_post_opening(OLD.goods_id, OLD.store_id, OLD.del, OLD.quantity, OLD.amount, -1)$$

-- Recomputes both balance tables from opening stock and the bill lines, in
-- one transaction of the caller's. For data loaded or changed around the
-- triggers (a bulk load, a restored backup); run it while no bill is saved.
DROP PROCEDURE IF EXISTS sp_rebuild_balances$$
CREATE PROCEDURE sp_rebuild_balances()
BEGIN
  DELETE FROM tb_stock_balance;
  DELETE FROM tb_stock_month;
  CALL sp_run_text(CONCAT(
    'INSERT INTO tb_stock_balance (goods_id, store_id, entries, quantity, amount)',
    ' SELECT g, s, SUM(e), SUM(dq), SUM(da) FROM (',
    '   SELECT COALESCE(goods_id, 0) AS g, COALESCE(store_id, 0) AS s, 1 AS e,',
    '     COALESCE(quantity, 0) AS dq, COALESCE(amount, 0) AS da FROM tb_store_begin WHERE del = 0',
    '   UNION ALL',
    '   SELECT COALESCE(goods_id, 0), COALESCE(store_id, 0), COUNT(*), SUM(COALESCE(q, 0)), SUM(COALESCE(a, 0))',
    '     FROM v_stock_moves GROUP BY COALESCE(goods_id, 0), COALESCE(store_id, 0)',
    ' ) t GROUP BY g, s'));
  CALL sp_run_text(CONCAT(
    'INSERT INTO tb_stock_month (month, goods_id, store_id, moves, in_quantity, in_amount, out_quantity, out_amount)',
    ' SELECT month, COALESCE(goods_id, 0), COALESCE(store_id, 0), COUNT(*),',
    '   SUM(IF(dir = 1, COALESCE(q, 0), 0)), SUM(IF(dir = 1, COALESCE(a, 0), 0)),',
    '   SUM(IF(dir = -1, -COALESCE(q, 0), 0)), SUM(IF(dir = -1, -COALESCE(a, 0), 0))',
    ' FROM v_stock_moves GROUP BY month, COALESCE(goods_id, 0), COALESCE(store_id, 0)'));
END$$

DELIMITER ;
