#include "preambleframe.h"

#include "platform/named.h"
#include "stationdb/supporttext.h"

#include <QFileInfo>
#include <QLoggingCategory>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextEdit>

Q_LOGGING_CATEGORY(lcPreamble, "vorq.session")

PreambleFrame::PreambleFrame(QWidget *parent)
    : QGroupBox(QStringLiteral("PREAMBLE"), parent)
    , m_text(Named(new QTextEdit(this), "rtxtPreamble"))
{
    setObjectName(QStringLiteral("fraPreamble"));
    m_text->setAcceptRichText(false);
    // The net control reads it; a call typed after a click in it must still reach CALLSIGN.
    m_text->setReadOnly(true);
    m_text->setFocusPolicy(Qt::NoFocus);
    // Screen readers name the text by its frame's caption.
    m_text->setAccessibleName(title());
}

QString PreambleFrame::load(const QString &userDataFolder)
{
    // A missing or unreadable preamble leaves the pane empty: the net can run without it.
    const QString path = userDataFolder + QStringLiteral("VorqPreamble.txt");
    const Result<QByteArray> text = userDataFolder.isEmpty()
        ? Result<QByteArray>(Status::Error(path))
        : ReadSupportText(path);
    if (!text) {
        qCInfo(lcPreamble) << "no preamble:" << text.error();
        // A file that is there but refused is told: the operator expects to read it.
        return QFileInfo(path).isFile() ? QStringLiteral("PREAMBLE NOT SHOWN: ") + text.error()
                                        : QString();
    }
    m_text->setPlainText(QString::fromLatin1(text.value()));
    const int length = m_text->document()->characterCount() - 1;
    constexpr int start = 1231;
    constexpr int count = 225;
    if (length > start) {
        QTextCursor cursor(m_text->document());
        cursor.setPosition(start);
        cursor.setPosition(std::min(start + count, length), QTextCursor::KeepAnchor);
        QTextCharFormat blue;
        blue.setForeground(QColor(0, 0, 255));
        cursor.mergeCharFormat(blue);
    }
    QTextCursor top(m_text->document());
    m_text->setTextCursor(top);
    return QString();
}

void PreambleFrame::arrange()
{
    const double pw = width(), ph = height();
    m_text->setGeometry(int(pw * 0.0266), int(ph * 0.1), int(pw * 0.938), int(ph * 0.804));
}

void PreambleFrame::turnPage(bool forward)
{
    m_text->verticalScrollBar()->triggerAction(
        forward ? QAbstractSlider::SliderPageStepAdd : QAbstractSlider::SliderPageStepSub);
}
