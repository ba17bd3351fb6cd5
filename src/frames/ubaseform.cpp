#include "ubaseform.h"

#include <QFont>
#include <QKeyEvent>

TfrmBaseForm::TfrmBaseForm(QWidget *parent) : QDialog(parent)
{
    setFont(defaultFont());
}

QFont TfrmBaseForm::defaultFont()
{
    QFont f;
    f.setFamilies({QStringLiteral("微软雅黑"), QStringLiteral("Microsoft YaHei"), QStringLiteral("Noto Sans CJK SC"),
                   QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("WenQuanYi Zen Hei")});
    f.setPixelSize(14);
    return f;
}

void TfrmBaseForm::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && !isWindow()) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}
