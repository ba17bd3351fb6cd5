#include "uFrmAbout.h"

#include <QDate>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

QPixmap productLogo(int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, size, size);
    g.setColorAt(0, QColor(0xf5, 0xa6, 0x23));
    g.setColorAt(1, QColor(0xe0, 0x6c, 0x10));
    QPainterPath frame;
    frame.addRoundedRect(QRectF(1, 1, size - 2, size - 2), size / 6.0, size / 6.0);
    p.fillPath(frame, g);
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(size * 11 / 20);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, size, size), Qt::AlignCenter, QStringLiteral("库"));
    return pm;
}

TfrmAbout::TfrmAbout(QWidget *parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("关于"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    imgLogo = new QLabel(this);
    imgLogo->setPixmap(productLogo(96));
    imgLogo->setAlignment(Qt::AlignTop);

    lblTitle = new QLabel(maker::product, this);
    QFont big = lblTitle->font();
    big.setPixelSize(28);
    big.setBold(true);
    lblTitle->setFont(big);
    lblVersion = new QLabel(QStringLiteral("Version:20220501"), this);
    lblPhone = new QLabel(QStringLiteral("服务电话：") + maker::servicePhone, this);
    lblChat = new QLabel(QStringLiteral("微信：") + maker::chatAccount, this);
    lblCopyright =
        new QLabel(QStringLiteral("Copyright © %1 岑柚软件 版权所有").arg(QDate::currentDate().year()), this);

    btnOk = new QPushButton(QStringLiteral("确定"), this);
    btnOk->setDefault(true);
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);

    auto *texts = new QVBoxLayout;
    for (QLabel *l : {lblTitle, lblVersion, lblPhone, lblChat, lblCopyright})
        texts->addWidget(l);
    auto *top = new QHBoxLayout;
    top->addWidget(imgLogo);
    top->addSpacing(16);
    top->addLayout(texts, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 16);
    layout->addLayout(top);
    layout->addSpacing(12);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
