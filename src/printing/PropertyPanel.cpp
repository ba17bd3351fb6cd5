#include "PropertyPanel.h"

#include "ReportDesigner.h"
#include "data/Interaction.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace report;

PropertyPanel::PropertyPanel(ReportDesigner *designer) : QWidget(designer), m_designer(designer)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    buildObjectGroup();
    buildBandGroup();
    buildPageGroup();
    layout->addWidget(m_objectGroup);
    layout->addWidget(m_bandGroup);
    layout->addWidget(m_pageGroup);
    layout->addStretch();
    setMinimumWidth(260);
}

QDoubleSpinBox *PropertyPanel::spin(double min, double max, int decimals)
{
    auto *s = new QDoubleSpinBox(this);
    s->setRange(min, max);
    s->setDecimals(decimals);
    s->setKeyboardTracking(false);
    return s;
}

void PropertyPanel::buildObjectGroup()
{
    m_objectGroup = new QGroupBox(QStringLiteral("对象"), this);
    auto *form = new QFormLayout(m_objectGroup);
    m_name = new QLabel(m_objectGroup);
    form->addRow(QStringLiteral("名称"), m_name);
    edText = new QLineEdit(m_objectGroup);
    edText->setPlaceholderText(QStringLiteral("文字或 [主表.\"字段\"]"));
    form->addRow(QStringLiteral("文本"), edText);
    m_left = spin(-2000, 5000);
    m_top = spin(-2000, 5000);
    m_width = spin(0, 5000);
    m_height = spin(0, 5000);
    auto *pos = new QHBoxLayout;
    pos->addWidget(m_left);
    pos->addWidget(m_top);
    form->addRow(QStringLiteral("左 / 上"), pos);
    auto *size = new QHBoxLayout;
    size->addWidget(m_width);
    size->addWidget(m_height);
    form->addRow(QStringLiteral("宽 / 高"), size);
    m_center = new QCheckBox(QStringLiteral("在栏中水平居中"), m_objectGroup);
    form->addRow(m_center);
    m_font = new QFontComboBox(m_objectGroup);
    form->addRow(QStringLiteral("字体"), m_font);
    m_fontSize = spin(1, 200, 1);
    auto *style = new QHBoxLayout;
    m_bold = new QCheckBox(QStringLiteral("粗体"), m_objectGroup);
    m_italic = new QCheckBox(QStringLiteral("斜体"), m_objectGroup);
    m_underline = new QCheckBox(QStringLiteral("下划线"), m_objectGroup);
    style->addWidget(m_fontSize);
    style->addWidget(m_bold);
    style->addWidget(m_italic);
    style->addWidget(m_underline);
    form->addRow(QStringLiteral("字号"), style);
    cbHAlign = new QComboBox(m_objectGroup);
    cbHAlign->addItems({QStringLiteral("左对齐"), QStringLiteral("居中"), QStringLiteral("右对齐")});
    m_vAlign = new QComboBox(m_objectGroup);
    m_vAlign->addItems({QStringLiteral("顶端"), QStringLiteral("居中"), QStringLiteral("底端")});
    auto *align = new QHBoxLayout;
    align->addWidget(cbHAlign);
    align->addWidget(m_vAlign);
    form->addRow(QStringLiteral("对齐"), align);
    m_wrap = new QCheckBox(QStringLiteral("自动换行"), m_objectGroup);
    form->addRow(m_wrap);
    auto *frame = new QHBoxLayout;
    const QStringList sides{QStringLiteral("左"), QStringLiteral("上"), QStringLiteral("右"), QStringLiteral("下")};
    for (int i = 0; i < 4; ++i) {
        m_frame[i] = new QCheckBox(sides[i], m_objectGroup);
        frame->addWidget(m_frame[i]);
    }
    m_frameWidth = spin(0, 10, 1);
    frame->addWidget(m_frameWidth);
    form->addRow(QStringLiteral("边框"), frame);
    auto *fill = new QHBoxLayout;
    m_hasFill = new QCheckBox(QStringLiteral("填充"), m_objectGroup);
    m_fillButton = new QPushButton(QStringLiteral("颜色…"), m_objectGroup);
    fill->addWidget(m_hasFill);
    fill->addWidget(m_fillButton);
    form->addRow(QStringLiteral("背景"), fill);
    cbFormat = new QComboBox(m_objectGroup);
    cbFormat->setEditable(true);
    cbFormat->addItems({QString(), QStringLiteral("0"), QStringLiteral("0.00"), QStringLiteral("#,##0.00"),
                        QStringLiteral("yyyy-MM-dd"), QStringLiteral("yyyy-MM-dd HH:mm")});
    form->addRow(QStringLiteral("显示格式"), cbFormat);
    cbBarcode = new QComboBox(m_objectGroup);
    cbBarcode->addItems({QStringLiteral("Code 128"), QStringLiteral("QR 码"), QStringLiteral("EAN-13")});
    form->addRow(QStringLiteral("条码类型"), cbBarcode);

    connect(edText, &QLineEdit::editingFinished, this, &PropertyPanel::commitObject);
    for (QDoubleSpinBox *s : {m_left, m_top, m_width, m_height, m_fontSize, m_frameWidth})
        connect(s, &QDoubleSpinBox::valueChanged, this, &PropertyPanel::commitObject);
    for (QCheckBox *c : {m_center, m_bold, m_italic, m_underline, m_wrap, m_hasFill, m_frame[0], m_frame[1],
                         m_frame[2], m_frame[3]})
        connect(c, &QCheckBox::toggled, this, &PropertyPanel::commitObject);
    for (QComboBox *c : {cbHAlign, m_vAlign, cbBarcode})
        connect(c, &QComboBox::currentIndexChanged, this, &PropertyPanel::commitObject);
    connect(m_font, &QFontComboBox::currentFontChanged, this, [this] {
        if (m_loading)
            return;
        m_familyChosen = true;
        commitObject();
    });
    connect(cbFormat->lineEdit(), &QLineEdit::editingFinished, this, &PropertyPanel::commitObject);
    connect(cbFormat, &QComboBox::textActivated, this, &PropertyPanel::commitObject);
    connect(m_fillButton, &QPushButton::clicked, this, &PropertyPanel::chooseFill);
}

void PropertyPanel::buildBandGroup()
{
    m_bandGroup = new QGroupBox(QStringLiteral("栏"), this);
    auto *form = new QFormLayout(m_bandGroup);
    spBandHeight = spin(0, 3000);
    form->addRow(QStringLiteral("高度"), spBandHeight);
    m_dataset = new QComboBox(m_bandGroup);
    m_dataset->addItems({QString(), masterName(), detailName()});
    form->addRow(QStringLiteral("数据集"), m_dataset);
    m_linkMaster = new QLineEdit(m_bandGroup);
    m_linkDetail = new QLineEdit(m_bandGroup);
    form->addRow(QStringLiteral("主表关联字段"), m_linkMaster);
    form->addRow(QStringLiteral("子表关联字段"), m_linkDetail);
    connect(spBandHeight, &QDoubleSpinBox::valueChanged, this, &PropertyPanel::commitBand);
    connect(m_dataset, &QComboBox::currentIndexChanged, this, &PropertyPanel::commitBand);
    connect(m_linkMaster, &QLineEdit::editingFinished, this, &PropertyPanel::commitBand);
    connect(m_linkDetail, &QLineEdit::editingFinished, this, &PropertyPanel::commitBand);
}

void PropertyPanel::buildPageGroup()
{
    m_pageGroup = new QGroupBox(QStringLiteral("页面（毫米）"), this);
    auto *form = new QFormLayout(m_pageGroup);
    m_paperWidth = spin(20, 2000, 1);
    m_paperHeight = spin(20, 2000, 1);
    form->addRow(QStringLiteral("纸宽"), m_paperWidth);
    form->addRow(QStringLiteral("纸高"), m_paperHeight);
    m_landscape = new QCheckBox(QStringLiteral("横向"), m_pageGroup);
    form->addRow(m_landscape);
    const QStringList names{QStringLiteral("左边距"), QStringLiteral("右边距"), QStringLiteral("上边距"),
                            QStringLiteral("下边距")};
    for (int i = 0; i < 4; ++i) {
        m_margins[i] = spin(0, 200, 1);
        form->addRow(names[i], m_margins[i]);
        connect(m_margins[i], &QDoubleSpinBox::valueChanged, this, &PropertyPanel::commitPage);
    }
    connect(m_paperWidth, &QDoubleSpinBox::valueChanged, this, &PropertyPanel::commitPage);
    connect(m_paperHeight, &QDoubleSpinBox::valueChanged, this, &PropertyPanel::commitPage);
    connect(m_landscape, &QCheckBox::toggled, this, &PropertyPanel::commitPage);
}

void PropertyPanel::load()
{
    m_loading = true;
    const ReportTemplate &t = m_designer->reportTemplate();
    const int b = m_designer->selectedBand();
    const int o = m_designer->selectedObject();
    m_objectGroup->setVisible(b >= 0 && o >= 0);
    m_bandGroup->setVisible(b >= 0 && o < 0);
    m_pageGroup->setVisible(b < 0);
    if (b >= 0 && o >= 0) {
        const ReportObject &obj = t.bands[b].objects[o];
        m_name->setText(obj.name);
        edText->setText(obj.text);
        edText->setEnabled(obj.kind == ObjectKind::Text || obj.kind == ObjectKind::Barcode);
        m_left->setValue(obj.rect.left());
        m_top->setValue(obj.rect.top());
        m_width->setValue(obj.rect.width());
        m_height->setValue(obj.rect.height());
        m_center->setChecked(obj.centerInBand);
        m_familyChosen = !obj.font.family.isEmpty();
        if (m_familyChosen)
            m_font->setCurrentFont(QFont(obj.font.family));
        m_fontSize->setValue(obj.font.pointSize);
        m_bold->setChecked(obj.font.bold);
        m_italic->setChecked(obj.font.italic);
        m_underline->setChecked(obj.font.underline);
        cbHAlign->setCurrentIndex(static_cast<int>(obj.hAlign));
        m_vAlign->setCurrentIndex(static_cast<int>(obj.vAlign));
        m_wrap->setChecked(obj.wordWrap);
        const int sides[4] = {FrameLeft, FrameTop, FrameRight, FrameBottom};
        for (int i = 0; i < 4; ++i)
            m_frame[i]->setChecked(obj.frame & sides[i]);
        m_frameWidth->setValue(obj.frameWidth);
        m_fill = obj.fill;
        m_hasFill->setChecked(obj.fill.isValid());
        cbFormat->setCurrentText(obj.displayFormat);
        cbBarcode->setCurrentIndex(static_cast<int>(obj.barcodeType));
        cbBarcode->setEnabled(obj.kind == ObjectKind::Barcode);
    } else if (b >= 0) {
        const ReportBand &band = t.bands[b];
        spBandHeight->setValue(band.height);
        m_dataset->setCurrentText(band.dataset);
        m_dataset->setEnabled(isDataBand(band.type));
        m_linkMaster->setText(band.linkMaster);
        m_linkDetail->setText(band.linkDetail);
        m_linkMaster->setEnabled(band.type == BandType::DetailData);
        m_linkDetail->setEnabled(band.type == BandType::DetailData);
    } else {
        m_paperWidth->setValue(t.page.paperWidth);
        m_paperHeight->setValue(t.page.paperHeight);
        m_landscape->setChecked(t.page.landscape);
        const double margins[4] = {t.page.marginLeft, t.page.marginRight, t.page.marginTop, t.page.marginBottom};
        for (int i = 0; i < 4; ++i)
            m_margins[i]->setValue(margins[i]);
    }
    m_loading = false;
}

void PropertyPanel::chooseFill()
{
    QColorDialog dialog(m_fill.isValid() ? m_fill : QColor(Qt::white), this);
    if (interaction().runModal(&dialog) != QDialog::Accepted)
        return;
    m_fill = dialog.selectedColor();
    m_loading = true;
    m_hasFill->setChecked(true);
    m_loading = false;
    commitObject();
}

void PropertyPanel::commitObject()
{
    const int b = m_designer->selectedBand();
    const int o = m_designer->selectedObject();
    if (m_loading || b < 0 || o < 0)
        return;
    ReportObject obj = m_designer->reportTemplate().bands[b].objects[o];
    obj.text = edText->text();
    obj.rect = QRectF(m_left->value(), m_top->value(), m_width->value(), m_height->value());
    obj.centerInBand = m_center->isChecked();
    // The family is stored only once the person picks one, so templates stay
    // with the program's default font otherwise.
    if (m_familyChosen)
        obj.font.family = m_font->currentFont().family();
    obj.font.pointSize = m_fontSize->value();
    obj.font.bold = m_bold->isChecked();
    obj.font.italic = m_italic->isChecked();
    obj.font.underline = m_underline->isChecked();
    obj.hAlign = static_cast<HAlign>(cbHAlign->currentIndex());
    obj.vAlign = static_cast<VAlign>(m_vAlign->currentIndex());
    obj.wordWrap = m_wrap->isChecked();
    const int sides[4] = {FrameLeft, FrameTop, FrameRight, FrameBottom};
    obj.frame = 0;
    for (int i = 0; i < 4; ++i)
        if (m_frame[i]->isChecked())
            obj.frame |= sides[i];
    obj.frameWidth = m_frameWidth->value();
    obj.fill = m_hasFill->isChecked() ? (m_fill.isValid() ? m_fill : QColor(Qt::white)) : QColor();
    obj.displayFormat = cbFormat->currentText().trimmed();
    obj.barcodeType = static_cast<BarcodeType>(cbBarcode->currentIndex());
    m_designer->changeObject(obj);
}

void PropertyPanel::commitBand()
{
    const int b = m_designer->selectedBand();
    if (m_loading || b < 0)
        return;
    ReportBand band = m_designer->reportTemplate().bands[b];
    band.height = spBandHeight->value();
    if (isDataBand(band.type))
        band.dataset = m_dataset->currentText();
    band.linkMaster = m_linkMaster->text().trimmed();
    band.linkDetail = m_linkDetail->text().trimmed();
    m_designer->changeBand(band);
}

void PropertyPanel::commitPage()
{
    if (m_loading)
        return;
    ReportPage page = m_designer->reportTemplate().page;
    page.paperWidth = m_paperWidth->value();
    page.paperHeight = m_paperHeight->value();
    page.landscape = m_landscape->isChecked();
    page.marginLeft = m_margins[0]->value();
    page.marginRight = m_margins[1]->value();
    page.marginTop = m_margins[2]->value();
    page.marginBottom = m_margins[3]->value();
    m_designer->changePage(page);
}
