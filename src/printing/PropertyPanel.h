#pragma once

#include "ReportTemplate.h"

#include <QWidget>

class ReportDesigner;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFontComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The designer's property panel: the selected object's, band's or (with
// nothing selected) the page's settings. Every edit goes to the designer as
// one undoable change.
class PropertyPanel : public QWidget {
    Q_OBJECT
public:
    explicit PropertyPanel(ReportDesigner *designer);

    // Shows the designer's current selection.
    void load();

    // Parts, public for tests.
    QLineEdit *edText = nullptr;
    QComboBox *cbFormat = nullptr;
    QComboBox *cbHAlign = nullptr;
    QComboBox *cbBarcode = nullptr;
    QDoubleSpinBox *spBandHeight = nullptr;

private:
    void buildObjectGroup();
    void buildBandGroup();
    void buildPageGroup();
    void commitObject();
    void commitBand();
    void commitPage();
    QDoubleSpinBox *spin(double min, double max, int decimals = 0);
    void chooseFill();

    ReportDesigner *m_designer;
    bool m_loading = false;
    bool m_familyChosen = false;
    QColor m_fill;

    QGroupBox *m_objectGroup = nullptr;
    QLabel *m_name = nullptr;
    QDoubleSpinBox *m_left = nullptr, *m_top = nullptr, *m_width = nullptr, *m_height = nullptr;
    QCheckBox *m_center = nullptr;
    QFontComboBox *m_font = nullptr;
    QDoubleSpinBox *m_fontSize = nullptr;
    QCheckBox *m_bold = nullptr, *m_italic = nullptr, *m_underline = nullptr, *m_wrap = nullptr;
    QComboBox *m_vAlign = nullptr;
    QCheckBox *m_frame[4] = {};
    QDoubleSpinBox *m_frameWidth = nullptr;
    QCheckBox *m_hasFill = nullptr;
    QPushButton *m_fillButton = nullptr;

    QGroupBox *m_bandGroup = nullptr;
    QComboBox *m_dataset = nullptr;
    QLineEdit *m_linkMaster = nullptr, *m_linkDetail = nullptr;

    QGroupBox *m_pageGroup = nullptr;
    QDoubleSpinBox *m_paperWidth = nullptr, *m_paperHeight = nullptr;
    QCheckBox *m_landscape = nullptr;
    QDoubleSpinBox *m_margins[4] = {};
};
