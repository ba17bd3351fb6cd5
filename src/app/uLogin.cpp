#include "uLogin.h"

#include "app/WindowCloser.h"
#include "app/uFrmAbout.h"
#include "data/DbError.h"
#include "data/Interaction.h"
#include "data/uFunction.h"
#include "data/udm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {
const QString kSection = QStringLiteral("login/");
}

TfrmLogin::TfrmLogin(QWidget *parent) : QDialog(parent), FDUser(TfrmDM::instance().FDConnection1) {
    setWindowTitle(QStringLiteral("用户登陆"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    auto *logo = new QLabel(this);
    logo->setPixmap(productLogo(64));
    auto *title = new QLabel(maker::product, this);
    QFont titleFont = title->font();
    titleFont.setPixelSize(24);
    titleFont.setBold(true);
    title->setFont(titleFont);

    cbUserList = new QComboBox(this);
    cbUserList->setEditable(true);
    // A typed name confirmed with Enter is not a user: it stays out of the list.
    cbUserList->setInsertPolicy(QComboBox::NoInsert);
    cbUserList->setMinimumWidth(220);
    edPassWord = new QLineEdit(this);
    edPassWord->setEchoMode(QLineEdit::Password);
    cb = new QCheckBox(QStringLiteral("记住用户名与密码"), this);
    btnOk = new QPushButton(QStringLiteral("确定"), this);
    btnOk->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("取消"), this);
    cxButton1 = new QPushButton(QStringLiteral("体验一下"), this);
    dxStatusBar1 = new QStatusBar(this);
    dxStatusBar1->setSizeGripEnabled(false);
    m_status = new QLabel(dxStatusBar1);
    m_status->setContentsMargins(6, 0, 6, 0);
    dxStatusBar1->addWidget(m_status, 1);
    setStatus(QStringLiteral("请输入用户名与密码登录系统"));

    connect(btnOk, &QPushButton::clicked, this, &TfrmLogin::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cxButton1, &QPushButton::clicked, this, &TfrmLogin::cxButton1Click);

    auto *head = new QHBoxLayout;
    head->addWidget(logo);
    head->addSpacing(12);
    head->addWidget(title, 1);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("用户："), cbUserList);
    form->addRow(QStringLiteral("密码："), edPassWord);
    form->addRow(QString(), cb);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cxButton1);
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    // The outer layout has no spacing (the status bar sits flush); the inner
    // layouts would inherit that, so they set their own.
    head->setSpacing(8);
    buttons->setSpacing(8);
    form->setHorizontalSpacing(8);
    form->setVerticalSpacing(8);
    auto *body = new QVBoxLayout;
    body->setSpacing(6);
    body->setContentsMargins(24, 16, 24, 12);
    body->addLayout(head);
    body->addSpacing(12);
    body->addLayout(form);
    body->addSpacing(8);
    body->addLayout(buttons);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(body);
    layout->addWidget(dxStatusBar1);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Without a connection the list stays empty and no login can succeed;
    // the connection failure itself was reported at start-up.
    cbUserList->clear();
    if (TfrmDM::instance().isConnected()) {
        FDUser.setSql(
            QStringLiteral("select a.*,b.role_no,b.role_name,c.emp_no,c.emp_name from tb_user a LEFT JOIN "
                           "tb_role b on (a.role_id=b.id)\n"
                           "left join tb_employee c on (a.emp_id=c.id)\n"
                           "where a.del=0"));
        FDUser.open();
        for (int row = 0; row < FDUser.recordCount(); ++row)
            cbUserList->addItem(FDUser.valueAt(row, QStringLiteral("emp_name")).toString());
    }
    cbUserList->setCurrentIndex(-1);
    cbUserList->setEditText(QString());

    inifile = std::make_unique<QSettings>(settingsFile(), QSettings::IniFormat);
    if (inifile->value(kSection + QStringLiteral("remember")).toBool()) {
        cbUserList->setEditText(inifile->value(kSection + QStringLiteral("username")).toString());
        edPassWord->setText(inifile->value(kSection + QStringLiteral("password")).toString());
        cb->setChecked(true);
    }
}

TfrmLogin::~TfrmLogin() = default;

bool TfrmLogin::execute(QWidget *owner) {
    TfrmLogin dialog(owner);
    return interaction().runModal(&dialog) == QDialog::Accepted;
}

QString TfrmLogin::settingsFile() {
    return writableAppPath() + QStringLiteral("login.ini");
}

QString TfrmLogin::demoPassword() {
    return QStringLiteral("123456");
}

void TfrmLogin::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    closeTopLevelWindow(QStringLiteral("frmStart"));
}

bool TfrmLogin::verifyLogin(const QString &loginName, const QString &password) {
    int found = -1;
    for (int row = 0; row < FDUser.recordCount() && found < 0; ++row)
        if (FDUser.valueAt(row, QStringLiteral("emp_name")).toString() == loginName)
            found = row;
    if (found < 0)
        return false;
    if (password.trimmed() != FDUser.valueAt(found, QStringLiteral("password")).toString())
        return false;

    TfrmDM &dm = TfrmDM::instance();
    if (!dm.user)
        dm.user.emplace();
    TUser &u = *dm.user;
    u.name = loginName;
    u.role_id = FDUser.valueAt(found, QStringLiteral("role_id")).toInt();
    u.emp_id = FDUser.valueAt(found, QStringLiteral("emp_id")).toInt();
    u.role_name = FDUser.valueAt(found, QStringLiteral("role_name")).toString();
    u.isSuper = u.role_id == 1;
    try {
        dm.loadRoleRights(u.role_id);
    } catch (const DbError &e) {
        // The login still counts; without rights rows every check of a
        // non-administrator is refused.
        showInfo(this, maker::product, e.message());
    }
    return true;
}

void TfrmLogin::btnOkClick() {
    if (!verifyLogin(cbUserList->currentText(), edPassWord->text())) {
        setStatus(QStringLiteral("用户名与密码验证失败，请重新输入!"));
        return;
    }
    setStatus(QStringLiteral("用户验证成功!"));
    if (cb->isChecked()) {
        inifile->setValue(kSection + QStringLiteral("username"), cbUserList->currentText());
        inifile->setValue(kSection + QStringLiteral("password"), edPassWord->text());
        inifile->setValue(kSection + QStringLiteral("remember"), 1);
    } else {
        inifile->setValue(kSection + QStringLiteral("remember"), 0);
    }
    inifile->sync();
    accept();
}

void TfrmLogin::cxButton1Click() {
    cbUserList->setEditText(QStringLiteral("测试用户"));
    edPassWord->setText(demoPassword());
    btnOkClick();
}

QString TfrmLogin::statusText() const {
    return m_status->text();
}

void TfrmLogin::setStatus(const QString &text) {
    m_status->setText(text);
}
