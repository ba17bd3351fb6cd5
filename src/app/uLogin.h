#pragma once

#include "data/Dataset.h"

#include <QDialog>
#include <QSettings>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;

// "用户登陆": picks a user by the name of his employee and checks the password;
// a successful check makes him the data module's current user with the rights
// of his role. The name and password can be remembered in login.ini.
class TfrmLogin : public QDialog {
    Q_OBJECT
public:
    explicit TfrmLogin(QWidget *parent = nullptr);
    ~TfrmLogin() override;

    // Runs the dialog modally; true when a user logged in.
    static bool execute(QWidget *owner);
    // login.ini next to the program, or in the per-user configuration folder
    // when the program folder is not writable.
    static QString settingsFile();
    // The demo account's password.
    static QString demoPassword();

    bool verifyLogin(const QString &loginName, const QString &password);
    void btnOkClick();
    void cxButton1Click();
    QString statusText() const;

    QComboBox *cbUserList;
    QLineEdit *edPassWord;
    QCheckBox *cb;
    QPushButton *btnOk;
    QPushButton *btnCancel;
    QPushButton *cxButton1;
    QStatusBar *dxStatusBar1;
    Dataset FDUser;
    std::unique_ptr<QSettings> inifile;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void setStatus(const QString &text);
    QLabel *m_status;
};
