#pragma once

#include <QDialog>
#include <QPixmap>

class QLabel;
class QPushButton;

// The maker's contact details, shown by the about dialog and used by "访问作者网站".
namespace maker {
inline const QString product = QStringLiteral("岑柚库管");
inline const QString website = QStringLiteral("https://cenyou.example.com/");
inline const QString servicePhone = QStringLiteral("400-000-0000");
inline const QString chatAccount = QStringLiteral("cenyou-kuguan");
} // namespace maker

// The product logo, drawn at the given size.
QPixmap productLogo(int size);

// "关于本系统": product title, version, the maker's contacts and ownership line.
class TfrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAbout(QWidget *parent = nullptr);

    QLabel *lblTitle;
    QLabel *lblVersion;
    QLabel *lblPhone;
    QLabel *lblChat;
    QLabel *lblCopyright;
    QLabel *imgLogo;
    QPushButton *btnOk;
};
