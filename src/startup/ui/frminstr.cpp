#include "frminstr.h"

#include "centrewindow.h"
#include "startup/startupcontext.h"
#include "stationdb/supporttext.h"

#include <QFileInfo>
#include <QPushButton>
#include <QStringDecoder>
#include <QTextEdit>
#include <QVBoxLayout>

QString ReadWholeText(const QString &path)
{
    // Only a regular file is read: a pipe in its place would block the window; a huge one,
    // or one with an endless line, would freeze it while it is laid out.
    const Result<QByteArray> read = ReadSupportText(path);
    if (!read)
        return QFileInfo(path).isFile() ? QStringLiteral("THIS TEXT IS NOT SHOWN: ") + read.error()
                                        : QString();
    const QByteArray &bytes = read.value();
    // Our own texts are UTF-8; older ones came in the Windows code page, read here as
    // Latin-1 so no byte is lost.
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

FrmInstr::FrmInstr(Services &, StartupContext &context, QWidget *parent)
    : QDialog(parent)
    , txtInstr(new QTextEdit(this))
    , cmdExit(new QPushButton(QStringLiteral("EXIT"), this))
    , m_context(context)
{
    setObjectName(QStringLiteral("frmInstr"));
    setWindowTitle(QStringLiteral("TLN - Instructions"));
    txtInstr->setObjectName(QStringLiteral("txtInstr"));
    cmdExit->setObjectName(QStringLiteral("cmdExit"));
    txtInstr->setReadOnly(true);
    txtInstr->setAcceptRichText(false);
    txtInstr->setLineWrapMode(QTextEdit::NoWrap);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(txtInstr, 1);
    layout->addWidget(cmdExit, 0, Qt::AlignHCenter);
    connect(cmdExit, &QPushButton::clicked, this, &FrmInstr::cmdExit_Click);

    resize(640, 480);
    CentreWindow(*this, QSize(context.ScreenWidth, context.ScreenHeight));
    txtInstr->setVisible(true);
    if (!context.UserDataFolder.isEmpty())
        txtInstr->setPlainText(
            ReadWholeText(context.UserDataFolder + QStringLiteral("VorqInst.txt")));
}

void FrmInstr::cmdExit_Click()
{
    m_context.ShowPreamble = false;
    close();
}
