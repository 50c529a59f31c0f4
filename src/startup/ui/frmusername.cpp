#include "frmusername.h"

#include "centrewindow.h"
#include "startup/startupcontext.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

FrmUserName::FrmUserName(Services &, StartupContext &context, QWidget *parent)
    : QDialog(parent)
    , lblUser(new QLabel(this))
    , txtUser(new QLineEdit(this))
    , CmdExit(new QPushButton(QStringLiteral("Continue"), this))
{
    setObjectName(QStringLiteral("frmUserName"));
    setWindowTitle(QStringLiteral("USER NAME"));
    lblUser->setObjectName(QStringLiteral("lblUser"));
    txtUser->setObjectName(QStringLiteral("txtUser"));
    CmdExit->setObjectName(QStringLiteral("CmdExit"));
    CmdExit->setDefault(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblUser);
    layout->addWidget(txtUser);
    layout->addWidget(CmdExit, 0, Qt::AlignHCenter);

    lblUser->setText(QStringLiteral("PLEASE ENTER YOUR FIRST NAME INTO THE BOX BELOW"));
    connect(CmdExit, &QPushButton::clicked, this, &FrmUserName::CmdExit_Click);
    adjustSize();
    CentreWindow(*this, QSize(context.ScreenWidth, context.ScreenHeight));
}

QString FrmUserName::userName() const
{
    return txtUser->text();
}

void FrmUserName::CmdExit_Click()
{
    if (txtUser->text().isEmpty())
        return;
    accept();
}

void FrmUserName::reject()
{
    if (!txtUser->text().isEmpty())
        accept();
}
