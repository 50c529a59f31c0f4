#include "deletedstationsframe.h"

#include "maintenance/membereditor.h"
#include "platform/named.h"
#include "platform/services.h"

#include <QListWidget>
#include <QMenu>

namespace {
// The role under which a line keeps the session's id of its station.
constexpr int RetiredIdRole = Qt::UserRole + 2;
} // namespace

DeletedStationsFrame::DeletedStationsFrame(
    Services &services, NetSession &session, const CountyTable &table, QWidget *parent)
    : QGroupBox(QStringLiteral("DELETED STATIONS"), parent)
    , m_services(services)
    , m_session(session)
    , m_table(table)
{
    setObjectName(QStringLiteral("fraDeletedStations"));
    m_list = Named(new QListWidget(this), "lstDS");
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    // A narrow column at 1024x768: the lines take its whole width, never a second scroll
    // bar; one still too long ends in "..." and shows whole as its tip.
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setTextElideMode(Qt::ElideRight);
    m_list->setAccessibleName(title());
    connect(
        m_list, &QWidget::customContextMenuRequested, this, &DeletedStationsFrame::lstDS_MouseDown);
}

bool DeletedStationsFrame::addRetired(const QStringList &lines, const QList<int> &ids)
{
    const bool first = m_list->count() == 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        auto *line = new QListWidgetItem(lines[i], m_list);
        line->setToolTip(lines[i]);
        line->setData(RetiredIdRole, ids.value(i, -1));
    }
    return first && !lines.isEmpty();
}

void DeletedStationsFrame::lstDS_MouseDown(const QPoint &position)
{
    // The Menu key asks for the current line, wherever the menu is placed.
    QListWidgetItem *line = m_list->itemAt(position);
    if (!line)
        line = m_list->currentItem();
    if (!line)
        return;
    m_list->setCurrentItem(line);
    QMenu menu(window());
    QAction *restore = menu.addAction(QStringLiteral("Restore Member"));
    restore->setObjectName(QStringLiteral("mnuRestoreMember"));
    connect(restore, &QAction::triggered, this, [this, line] { restoreMember(line); });
    // Enter takes it at once, without an arrow first.
    menu.setActiveAction(restore);
    m_services.dialogs->popupMenu(&menu, m_list->viewport()->mapToGlobal(position));
}

void DeletedStationsFrame::restoreMember(QListWidgetItem *line)
{
    MemberEditor editor(m_session, m_table, *m_services.settings);
    const EditorOutcome out
        = editor.restoreRetired(line->data(RetiredIdRole).toInt(), m_services.clock->today());
    const QString status = out.status.value_or(QString());
    if (out.failed) {
        m_services.sounds->play(out.sound);
    } else {
        delete line;
        emit restored();
    }
    emit statusLine(status);
    emit done();
}

void DeletedStationsFrame::dropRestored()
{
    for (int row = m_list->count() - 1; row >= 0; --row) {
        if (!m_session.retired(m_list->item(row)->data(RetiredIdRole).toInt()))
            delete m_list->item(row);
    }
}

void DeletedStationsFrame::arrange()
{
    const double dh = height();
    const int frame = 2 * m_list->frameWidth();
    const int row = std::max(
        1, m_list->count() > 0 ? m_list->sizeHintForRow(0) : m_list->fontMetrics().height() + 2);
    // Under the frame's caption, however large its font.
    const int top = std::max(int(dh * 0.22), contentsRect().top());
    const int rows = std::max(1, (int(dh * 0.96) - top - frame) / row);
    const QRect inside = contentsRect();
    m_list->setGeometry(inside.left(), top, inside.width(), rows * row + frame);
}
