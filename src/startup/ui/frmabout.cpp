#include "frmabout.h"

#include "centrewindow.h"
#include "startup/startupcontext.h"

#include <QGridLayout>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>

FrmAbout::FrmAbout(Services &, StartupContext &context, QWidget *parent)
    : QDialog(parent)
    , Label1(new QLabel(QStringLiteral("VORQNET"), this))
    , lblTitle(new QLabel(QStringLiteral("SOFTWARE"), this))
    , Text1(new QPlainTextEdit(this))
    , Image1(new QLabel(this))
    , cmdExit(new QPushButton(QStringLiteral("&Close"), this))
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("VORQ - ABOUT"));
    Label1->setObjectName(QStringLiteral("Label1"));
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    Text1->setObjectName(QStringLiteral("Text1"));
    Image1->setObjectName(QStringLiteral("Image1"));
    cmdExit->setObjectName(QStringLiteral("cmdExit"));

    QFont title = Label1->font();
    title.setPointSize(title.pointSize() + 8);
    title.setBold(true);
    Label1->setFont(title);
    Image1->setPixmap(QPixmap(QStringLiteral(":/pictures/logo.gif")));
    Text1->setReadOnly(true);
    Text1->setPlainText(aboutText());

    auto *layout = new QGridLayout(this);
    layout->addWidget(Image1, 0, 0, 3, 1, Qt::AlignTop);
    layout->addWidget(Label1, 0, 1);
    layout->addWidget(lblTitle, 1, 1);
    layout->addWidget(Text1, 2, 1);
    layout->addWidget(cmdExit, 3, 1, Qt::AlignRight);
    connect(cmdExit, &QPushButton::clicked, this, &FrmAbout::cmdExit_Click);

    resize(520, 320);
    CentreWindow(*this, QSize(context.ScreenWidth, context.ScreenHeight));
}

QString FrmAbout::aboutText()
{
    return QStringLiteral("   VERSION 1       \r\n"
                          "March 2016\r\n"
                          "Modified for use on the VORQ  \r\n"
                          "from the PSPN  Net \r\n"
                          "Control Program By     \r\n"
                          "the VORQ developers\r\n"
                          "for the Taskora Traffic Net");
}

void FrmAbout::cmdExit_Click()
{
    close();
}
