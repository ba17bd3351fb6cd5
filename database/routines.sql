-- The stock engine: the bill-line view and the routines that compute stock on
-- hand, movement summaries and details, open borrowing and the stock of one
-- goods in one warehouse. Valid for MariaDB 10.11 and MySQL 8.
--
-- Movement rules (one place: fn_stock_moves and fn_stock_opening):
--   opening stock (tb_store_begin)       adds to its store_id
--   kinds 0-5 (inbound)                  add to the header's in_store_id
--   kinds 10-15 (outbound)               take from the header's out_store_id
--   kind 19 (transfer)                   takes from out_store_id, adds to in_store_id
--   kind 20 (stock count)                adds its signed difference to in_store_id
-- Amounts follow the same rules, so the value of a stock is
-- opening amount + amounts in - amounts out (see docs/stock-engine.md).
--
-- The client passes a class code unquoted, so the server receives it as a
-- number without leading zeros; fn_class_prefix rebuilds the code.

SET NAMES utf8mb4;

CREATE VIEW v_in_out_detail AS
SELECT d.id, d.goods_id, d.quantity, d.price, d.amount, d.memo, d.in_reason, d.out_reason,
       m.bill_no, m.create_date, m.sign, m.in_store_id, m.out_store_id,
       m.customer_id, c.customer_name, m.depart_id, p.depart_name
  FROM tb_in_out_detail d
  JOIN tb_in_out_main m ON m.guid = d.guid
  LEFT JOIN tb_customer c ON c.id = m.customer_id
  LEFT JOIN tb_depart p ON p.id = m.depart_id;

DELIMITER $$

-- "000" followed by the number's digits in three-digit groups: 1 -> 000001,
-- 1002 -> 000001002. NULL for 0, which selects every class.
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
CREATE FUNCTION fn_stock_opening(p_store INT, p_class BIGINT, p_goods INT) RETURNS TEXT
  DETERMINISTIC NO SQL
BEGIN
  RETURN CONCAT('(SELECT b.goods_id, b.store_id, b.quantity AS q, b.amount AS a',
                ' FROM tb_store_begin b WHERE b.del = 0',
                IF(p_store IS NOT NULL AND p_store <> 0, CONCAT(' AND b.store_id = ', p_store), ''),
                fn_goods_filter('b.goods_id', p_class, p_goods), ')');
END$$

-- Derived table of stock movements from bill lines, one row per line and
-- store side it touches (a transfer line touches two stores):
--   q, a       signed quantity and amount for that store
--   dir        1 counts as received, -1 as issued (a stock count with a
--              negative difference is an issue of the shortfall)
-- Bills dated from p_from (inclusive) to p_to (exclusive); NULL leaves that end open.
CREATE FUNCTION fn_stock_moves(p_from DATETIME, p_to DATETIME, p_store INT, p_class BIGINT, p_goods INT)
  RETURNS TEXT DETERMINISTIC NO SQL
BEGIN
  RETURN CONCAT(
    '(SELECT d.id AS line_id, d.goods_id, IF(k.side = 1, m.in_store_id, m.out_store_id) AS store_id,',
    ' m.id AS main_id, m.create_date, m.sign, k.side,',
    ' k.side * d.quantity AS q, k.side * d.amount AS a,',
    ' IF(m.sign = 20 AND d.quantity < 0, -1, k.side) AS dir,',
    ' IF(k.side = 1, d.in_reason, d.out_reason) AS reason, d.memo AS detail_memo',
    ' FROM tb_in_out_detail d',
    ' JOIN tb_in_out_main m ON m.guid = d.guid',
    ' JOIN (SELECT 1 AS side UNION ALL SELECT -1) k',
    '   ON (k.side = 1 AND m.sign IN (0, 1, 2, 3, 4, 5, 19, 20))',
    '   OR (k.side = -1 AND m.sign IN (10, 11, 12, 13, 14, 15, 19))',
    ' WHERE 1 = 1',
    IF(p_from IS NULL, '', CONCAT(' AND m.create_date >= ''', DATE_FORMAT(p_from, '%Y-%m-%d %H:%i:%s'), '''')),
    IF(p_to IS NULL, '', CONCAT(' AND m.create_date < ''', DATE_FORMAT(p_to, '%Y-%m-%d %H:%i:%s'), '''')),
    IF(p_store IS NOT NULL AND p_store <> 0,
       CONCAT(' AND IF(k.side = 1, m.in_store_id, m.out_store_id) = ', p_store), ''),
    fn_goods_filter('d.goods_id', p_class, p_goods), ')');
END$$

CREATE PROCEDURE sp_run_text(IN p_sql TEXT)
BEGIN
  SET @ck_sql = p_sql;
  PREPARE ck_stmt FROM @ck_sql;
  EXECUTE ck_stmt;
  DEALLOCATE PREPARE ck_stmt;
  SET @ck_sql = NULL;
END$$

-- A period needs both ends: a missing date would silently select nothing.
CREATE PROCEDURE sp_check_period(IN p_start DATE, IN p_end DATE)
BEGIN
  IF p_start IS NULL OR p_end IS NULL THEN
    SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = '起始日期和截止日期不能为空!';
  END IF;
END$$

-- Stock on hand per goods and warehouse into temp_store_goods.
CREATE PROCEDURE sp_store_goods(IN p_store INT, IN p_class BIGINT, IN p_goods INT)
BEGIN
  CREATE TEMPORARY TABLE IF NOT EXISTS temp_store_goods (
    id int NOT NULL AUTO_INCREMENT, goods_id int DEFAULT NULL, store_id int DEFAULT NULL,
    quantity decimal(20,10) DEFAULT NULL, amount decimal(20,10) DEFAULT NULL, PRIMARY KEY (id));
  DELETE FROM temp_store_goods;
  CALL sp_run_text(CONCAT(
    'INSERT INTO temp_store_goods (goods_id, store_id, quantity, amount)',
    ' SELECT goods_id, store_id, SUM(q), SUM(a) FROM (',
    '   SELECT goods_id, store_id, q, a FROM ', fn_stock_opening(p_store, p_class, p_goods), ' o',
    '   UNION ALL',
    '   SELECT goods_id, store_id, SUM(q), SUM(a) FROM ', fn_stock_moves(NULL, NULL, p_store, p_class, p_goods), ' v',
    '   GROUP BY goods_id, store_id',
    ' ) t GROUP BY goods_id, store_id ORDER BY goods_id, store_id'));
END$$

-- Movement summary for [p_start, p_end) per goods and warehouse into temp_store_hz2.
CREATE PROCEDURE sp_store_hz(IN p_start DATE, IN p_end DATE, IN p_store INT, IN p_class BIGINT, IN p_goods INT)
BEGIN
  CALL sp_check_period(p_start, p_end);
  CREATE TEMPORARY TABLE IF NOT EXISTS temp_store_hz2 (
    id int NOT NULL AUTO_INCREMENT, goods_id int DEFAULT NULL, store_id int DEFAULT NULL,
    start_quantity decimal(20,10) DEFAULT NULL, start_amount decimal(20,10) DEFAULT NULL,
    in_quantity decimal(20,10) DEFAULT NULL, in_amount decimal(20,10) DEFAULT NULL,
    out_quantity decimal(20,10) DEFAULT NULL, end_quantity decimal(20,10) DEFAULT NULL,
    end_amount decimal(20,10) DEFAULT NULL, out_amount decimal(20,10) DEFAULT NULL,
    sign int DEFAULT NULL, PRIMARY KEY (id));
  DELETE FROM temp_store_hz2;
  CALL sp_run_text(CONCAT(
    'INSERT INTO temp_store_hz2 (goods_id, store_id, start_quantity, start_amount, in_quantity, in_amount,',
    '   out_quantity, out_amount, end_quantity, end_amount)',
    ' SELECT goods_id, store_id, SUM(sq), SUM(sa), SUM(iq), SUM(ia), SUM(oq), SUM(oa),',
    '   SUM(sq) + SUM(iq) - SUM(oq), SUM(sa) + SUM(ia) - SUM(oa) FROM (',
    '   SELECT goods_id, store_id, q AS sq, a AS sa, 0 AS iq, 0 AS ia, 0 AS oq, 0 AS oa, 0 AS n FROM ',
         fn_stock_opening(p_store, p_class, p_goods), ' o',
    '   UNION ALL',
    '   SELECT goods_id, store_id,',
    '     SUM(IF(create_date < ''', p_start, ''', q, 0)), SUM(IF(create_date < ''', p_start, ''', a, 0)),',
    '     SUM(IF(create_date >= ''', p_start, ''' AND dir = 1, q, 0)),',
    '     SUM(IF(create_date >= ''', p_start, ''' AND dir = 1, a, 0)),',
    '     SUM(IF(create_date >= ''', p_start, ''' AND dir = -1, -q, 0)),',
    '     SUM(IF(create_date >= ''', p_start, ''' AND dir = -1, -a, 0)),',
    '     SUM(create_date >= ''', p_start, ''')',
    '   FROM ', fn_stock_moves(NULL, p_end, p_store, p_class, p_goods), ' v',
    '   GROUP BY goods_id, store_id',
    ' ) t GROUP BY goods_id, store_id',
    ' HAVING SUM(n) > 0 OR SUM(sq) <> 0 OR SUM(sa) <> 0',
    ' ORDER BY goods_id, store_id'));
END$$

-- Result tables shared by name with every client: each call fills a
-- temporary table of the same name, private to the calling connection, which
-- hides the shared table from that connection only.
CREATE PROCEDURE sp_private_store_mx()
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

CREATE PROCEDURE sp_private_borrow_goods()
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
CREATE PROCEDURE sp_store_mx(IN p_start DATE, IN p_end DATE, IN p_store INT, IN p_class BIGINT, IN p_goods INT)
BEGIN
  CALL sp_check_period(p_start, p_end);
  CALL sp_private_store_mx();
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
CREATE PROCEDURE sp_fill_borrow(IN p_opening_kind INT, IN p_settling_kind INT, IN p_factor INT,
                                IN p_store INT, IN p_class BIGINT, IN p_goods INT)
BEGIN
  CALL sp_private_borrow_goods();
  CALL sp_run_text(CONCAT(
    'INSERT INTO tb_borrow_goods (goods_id, store_id, quantity, amount)',
    ' SELECT goods_id, store_id, ', p_factor, ' * SUM(q), ', p_factor, ' * SUM(a)',
    ' FROM ', fn_stock_moves(NULL, NULL, p_store, p_class, p_goods), ' v',
    ' WHERE sign IN (', p_opening_kind, ', ', p_settling_kind, ')',
    ' GROUP BY goods_id, store_id ORDER BY goods_id, store_id'));
END$$

-- Goods still borrowed from partners: "借货入库" (4) less "借入还出" (14).
CREATE PROCEDURE sp_get_borrow_in(IN p_store INT, IN p_class BIGINT, IN p_goods INT)
BEGIN
  CALL sp_fill_borrow(4, 14, 1, p_store, p_class, p_goods);
END$$

-- Goods still lent to partners: "借货出库" (15) less "借出还入" (5).
CREATE PROCEDURE sp_get_borrow_out(IN p_store INT, IN p_class BIGINT, IN p_goods INT)
BEGIN
  CALL sp_fill_borrow(15, 5, -1, p_store, p_class, p_goods);
END$$

-- Stock of one goods in one warehouse (0: all warehouses); 0 when it never moved.
CREATE PROCEDURE sp_get_goods_store(IN storeId INT, IN goodsId INT,
                                    OUT totalQuantity DECIMAL(30,10), OUT totalAmount DECIMAL(30,10))
BEGIN
  CALL sp_run_text(CONCAT(
    'SELECT COALESCE(SUM(q), 0), COALESCE(SUM(a), 0) INTO @ck_quantity, @ck_amount FROM (',
    '   SELECT q, a FROM ', fn_stock_opening(storeId, 0, COALESCE(goodsId, -1)), ' o',
    '   UNION ALL',
    '   SELECT q, a FROM ', fn_stock_moves(NULL, NULL, storeId, 0, COALESCE(goodsId, -1)), ' v',
    ' ) t'));
  SET totalQuantity = @ck_quantity, totalAmount = @ck_amount;
  SET @ck_quantity = NULL, @ck_amount = NULL;
END$$

DELIMITER ;
