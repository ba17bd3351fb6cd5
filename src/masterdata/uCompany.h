#pragma once

#include "frames/uBaseEdit.h"

#include <QHash>

class FieldBinding;
class PropertyGrid;
class QLineEdit;
class QSpinBox;
class QTabWidget;

// Company information ("公司信息"): the one row of tb_company with the details
// printed on reports, the decimal places of quantities, prices and amounts, and
// a prefix text per bill kind. A save applies the new settings at once.
class TfrmCompany : public TfrmBaseEdit {
    Q_OBJECT
public:
    explicit TfrmCompany(QWidget *parent = nullptr);

    void opendata() override;
    void btnsaveClick() override;

    QTabWidget *cxPageControl1 = nullptr;
    QLineEdit *edCompanyName = nullptr;
    QSpinBox *edQuantitySize = nullptr;
    QSpinBox *edPriceSize = nullptr;
    QSpinBox *edAmountSize = nullptr;
    // The bill prefixes, one row per bill kind.
    PropertyGrid *cxVerticalGrid1 = nullptr;
    // Editor of a field on either page (company_name, CGYK_mark …).
    QWidget *editorOf(const QString &field) const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QWidget *buildBasePage();
    QWidget *buildPrefixPage();
    QLineEdit *addText(const QString &field, int maxLength);

    FieldBinding *m_binding = nullptr;
    QHash<QString, QWidget *> m_editors;
};
