-- Rows the client expects in a new database.
SET NAMES utf8mb4;

INSERT INTO tb_company (id, company_name, contact, address, tel, fax, website, email,
  create_date, crater_id, quantity_size, price_size, amount_size,
  CGYK_mark, XSTH_mark, SCYK_mark, TLYK_mark, JHYK_mark, JCHY_mark, CGTH_mark,
  XSCH_mark, SCCK_mark, LLCK_mark, JYHC_mark, JHCK_mark, KCPD_mark, CKDB_mark)
VALUES (1, '我的公司', '', '', '', '', '', '', NOW(), 0, 2, 2, 2,
  'CGYK', 'XSTH', 'SCYK', 'TLYK', 'JHYK', 'JCHY', 'CGTH',
  'XSCH', 'SCCK', 'LLCK', 'JYHC', 'JHCK', 'KCPD', 'CKDB');

-- Role 1 is the administrator: its users pass every right check.
INSERT INTO tb_role (id, role_no, role_name, create_date, is_stop, del) VALUES
(1, '001', '系统管理员', NOW(), 0, 0),
(2, '002', '体验用户', NOW(), 0, 0);

-- One row per module that rights can be granted on, in navigation order.
INSERT INTO tb_module (module_name) VALUES
('采购入库'),
('销售退货'),
('生产入库'),
('退料入库'),
('借货入库'),
('借出还入'),
('采购退货'),
('销售出库'),
('生产出库'),
('领料出库'),
('借入还出'),
('借货出库'),
('库存盘点'),
('仓库调拨'),
('查找单据'),
('借进货品查询'),
('借出货品查询'),
('货品库存表'),
('货品收发汇总表'),
('货品收发明细表'),
('供应商采购汇总表'),
('供应商采购明细表'),
('货品采购汇总表'),
('货品采购明细表'),
('客户销售汇总表'),
('客户销售明细表'),
('货品销售汇总表'),
('货品销售明细表'),
('部门生产汇总表'),
('部门生产明细表'),
('产品入库汇总表'),
('产品入库明细表'),
('部门领料汇总表'),
('部门领料明细表'),
('货品领用汇总表'),
('货品领用明细表'),
('货品库存报警表'),
('仓库'),
('部门'),
('职员'),
('计量单位'),
('往来单位'),
('货品'),
('期初库存'),
('公司信息'),
('用户角色'),
('用户'),
('操作日志'),
('清除数据'),
('货位'),
('关于本系统'),
('访问作者网站'),
('单据查询');

-- The demo role may look at every module and print or export, but changes
-- nothing. The company dialog and the clearing of data change the database
-- after the read check alone, so the demo role may not open them.
INSERT INTO tb_role_rights (role_id, module, create_date, is_stop, can_read, can_edit, can_del, can_print, can_export)
SELECT 2, module_name, NOW(), 0, module_name NOT IN ('公司信息', '清除数据'), 0, 0, 1, 1 FROM tb_module ORDER BY id;

INSERT INTO tb_depart (id, create_date, depart_no, depart_name, pym) VALUES
(1, NOW(), '01', '管理部', 'GLB');

INSERT INTO tb_employee (id, create_date, emp_no, emp_name, depart_id, pym) VALUES
(1, NOW(), 'admin', '管理员', 1, 'GLY'),
(2, NOW(), 'test', '测试用户', 1, 'CSYH');

-- Built-in logins: 管理员 / 888888 (administrator), 测试用户 / 123456 (demo).
INSERT INTO tb_user (id, create_date, role_id, emp_id, password) VALUES
(1, NOW(), 1, 1, '888888'),
(2, NOW(), 2, 2, '123456');

INSERT INTO tb_goods_class (create_date, class_no, class_name, parent_id) VALUES (NOW(), '000', '全部', NULL);
INSERT INTO tb_customer_class (create_date, class_no, class_name, parent_id) VALUES (NOW(), '000', '全部', NULL);
