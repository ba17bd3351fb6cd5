#pragma once

#include "data/Dataset.h"

#include <QHash>
#include <QWidget>
#include <memory>

class QChartView;
class QFrame;
class QLabel;
class QPushButton;

// The home tab "首页": six stock figures as tiles, today's and this week's
// movements as four small charts, and the goods with the most stock. Filled by
// initData() after login and on "刷新" only.
class THomeDashboard : public QWidget {
    Q_OBJECT
public:
    explicit THomeDashboard(QWidget *parent = nullptr);
    ~THomeDashboard() override;

    void initData();
    // Value text of a tile: TotalQuantity, TotalAmount, UpLimit, LowLimit, TotalYK, TotalCK.
    QString tileValue(const QString &tile) const;
    // Database value as text, as the server returns it (no rounding); null gives empty text.
    static QString valueText(const QVariant &value);

    QFrame *pTitle;
    QPushButton *btnRefresh;
    QWidget *dxTileControl1;
    QWidget *pGrids;
    QChartView *cxGrid5;
    QChartView *cxGrid4;
    QChartView *cxGrid3;
    QChartView *cxGrid2;
    QChartView *cxGrid1;

    // The queries, on the data module's connection; they exist from the first fill on,
    // because the window (and this tab) is created before the data module.
    struct Sources;
    std::unique_ptr<Sources> data;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void addTile(const QString &name, const QString &title, const QString &color);
    void setTile(const QString &name, const QString &value);
    // fdTotal reopened with one statement; the value of its column `a`.
    QVariant total(const QString &sql, const QString &column = QStringLiteral("a"));
    void relayout();
    void fillCharts();

    QHash<QString, QLabel *> m_tileValues;
};
