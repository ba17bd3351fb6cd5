#include "QtInteraction.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

void QtInteraction::showWarning(QWidget *owner, const QString &caption, const QString &message)
{
    QMessageBox::warning(owner, caption, message);
}

void QtInteraction::showInfo(QWidget *owner, const QString &caption, const QString &message)
{
    QMessageBox::information(owner, caption, message);
}

bool QtInteraction::askYesNo(QWidget *owner, const QString &caption, const QString &message)
{
    return QMessageBox::question(owner, caption, message, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
           QMessageBox::Yes;
}

void QtInteraction::notify(QWidget *owner, const QString &caption, const QString &message)
{
    // A small frameless panel at the bottom right of the screen that fades out by itself.
    auto *panel = new QWidget(owner ? owner->window() : nullptr, Qt::ToolTip | Qt::FramelessWindowHint);
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setAttribute(Qt::WA_ShowWithoutActivating);
    panel->setStyleSheet(QStringLiteral("QWidget{background:#fdfdf5;border:1px solid #8a9bb0;}"
                                        "QLabel{border:none;padding:4px 12px;}"));
    auto *layout = new QVBoxLayout(panel);
    auto *title = new QLabel(QStringLiteral("<b>%1</b>").arg(caption.toHtmlEscaped()), panel);
    auto *text = new QLabel(message, panel);
    layout->addWidget(title);
    layout->addWidget(text);
    panel->adjustSize();
    panel->resize(qMax(260, panel->width()), panel->height());
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        panel->move(area.right() - panel->width() - 16, area.bottom() - panel->height() - 16);
    }
    panel->show();
    QTimer::singleShot(2500, panel, &QWidget::close);
}

QString QtInteraction::getSaveFileName(QWidget *owner, const QString &caption, const QString &dir,
                                       const QString &filter)
{
    return QFileDialog::getSaveFileName(owner, caption, dir, filter);
}

QString QtInteraction::getOpenFileName(QWidget *owner, const QString &caption, const QString &dir,
                                       const QString &filter)
{
    return QFileDialog::getOpenFileName(owner, caption, dir, filter);
}

bool QtInteraction::openWithDefaultProgram(const QString &pathOrUrl)
{
    const QUrl url = QFileInfo::exists(pathOrUrl) ? QUrl::fromLocalFile(pathOrUrl) : QUrl(pathOrUrl);
    return QDesktopServices::openUrl(url);
}

int QtInteraction::runModal(QDialog *dialog) { return dialog->exec(); }

void QtInteraction::beginBusy() { QApplication::setOverrideCursor(Qt::WaitCursor); }

void QtInteraction::endBusy() { QApplication::restoreOverrideCursor(); }
