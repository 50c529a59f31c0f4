#include "nonlistedframe.h"

#include "maintenance/ui/membermaintenance.h"
#include "platform/named.h"
#include "platform/services.h"
#include "platform/ui/keyfilter.h"
#include "platform/ui/stationlines.h"
#include "qrz/qrzclient.h"
#include "session/netsession.h"
#include "stationdb/settingsstore.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

NonListedFrame::NonListedFrame(
    Services &services, NetSession &session, QrzClient &qrz, QWidget *parent)
    : QGroupBox(QStringLiteral("NON LISTED STATIONS"), parent)
    , m_services(services)
    , m_session(session)
    , m_qrz(qrz)
{
    setObjectName(QStringLiteral("FraSearch"));
    m_list = Named(new QListWidget(this), "lstEarly");
    m_clear = Named(new QPushButton(QStringLiteral("CLEAR"), this), "cmdClear");
    m_refresh = Named(new QPushButton(QStringLiteral(" REFRESH QRZ"), this), "CmdRefresh");
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    m_list->setAccessibleName(title());
    m_list->installEventFilter(this);
    connect(m_list, &QListWidget::itemClicked, this, &NonListedFrame::lstEarly_Click);
    connect(m_list, &QWidget::customContextMenuRequested, this,
        [this] { lstEarly_MouseDown(Qt::RightButton); });
    connect(m_refresh, &QPushButton::clicked, this, &NonListedFrame::CmdRefresh_Click);
    connect(m_clear, &QPushButton::clicked, this, &NonListedFrame::cmdClear_Click);
}

void NonListedFrame::lstEarly_Click(QListWidgetItem *item)
{
    if (!item)
        return;
    // With a QRZ login the lookup fills the form; without one the licence database does,
    // or the operator types it.
    const bool noLogin
        = m_services.settings->get(QStringLiteral("Settings"), QStringLiteral("QRZ PW")).isEmpty();
    m_maintenance->startAdd(StationCallOf(item), noLogin);
    if (noLogin)
        fillFromOffline(StationCallOf(item), false);
}

void NonListedFrame::lstEarly_MouseDown(Qt::MouseButton button)
{
    if (button != Qt::RightButton)
        return;
    QListWidgetItem *selected = m_list->currentItem();
    const QString call = selected && selected->isSelected() ? StationCallOf(selected) : QString();
    const SettingsStore &settings = *m_services.settings;
    if (settings.get(QrzKeys::Section(), QrzKeys::Password()).isEmpty()) {
        // No login: the station's page on the web site, and the operator types what it says.
        MemberFields typed;
        typed.call = call;
        m_maintenance->fillForm(typed, MemberMaintenance::CallBox, false);
        fillFromOffline(call, false);
        if (!call.isEmpty())
            m_services.shell->openUrl(QrzWebPage(settings, call));
        m_maintenance->focusBox(MemberMaintenance::NameBox);
        return;
    }
    if (call.isEmpty()) {
        m_services.dialogs->message(window(), QStringLiteral("VORQ"),
            QStringLiteral("You must left click on call first then Right"), MsgIcon::None, Ok);
        return;
    }
    if (fillFromQrz(call, false))
        return;
    // What QRZ could not tell, the licence database may.
    if (m_offline && m_offline->offlineAnswer(call)) {
        if (m_maintenance->mode() != FormMode::Add)
            m_maintenance->startAdd(call, true);
        fillFromOffline(call, false);
        return;
    }
    emit done();
}

bool NonListedFrame::fillFromQrz(const QString &call, bool onlyEmpty)
{
    // The window paints while QRZ is asked but takes no input: nothing else runs meanwhile.
    emit busy(true);
    const Result<QrzAnswer> answer = m_qrz.lookup(call);
    emit busy(false);
    if (!answer || answer->error) {
        // Told on the status line, never in a box that waits for a click: the calls typed
        // meanwhile and after would go into the box and be lost, and the net stop there.
        emit statusLine(answer ? *answer->error : answer.error());
        return false;
    }
    // The lookup fills an ADD, even when the left click that starts one was skipped.
    if (m_maintenance->mode() != FormMode::Add)
        m_maintenance->startAdd(call, false);
    bool focusCounty = false;
    const MemberFields form = FillFromQrz(m_maintenance->formFields(), *answer, focusCounty);
    m_maintenance->fillForm(form,
        MemberMaintenance::CallBox | MemberMaintenance::NameBox | MemberMaintenance::CountyBox
            | MemberMaintenance::CityBox,
        onlyEmpty);
    if (focusCounty && !onlyEmpty)
        m_maintenance->focusBox(MemberMaintenance::CountyBox);
    return true;
}

bool NonListedFrame::fillFromOffline(const QString &call, bool onlyEmpty)
{
    const std::optional<QrzAnswer> answer
        = m_offline && !call.isEmpty() ? m_offline->offlineAnswer(call) : std::nullopt;
    if (!answer)
        return false;
    const MemberFields now = m_maintenance->formFields();
    bool focusCounty = false;
    const MemberFields form
        = FillFromQrz({ call, now.name, QString(), QString(), now.city }, *answer, focusCounty);
    m_maintenance->fillForm(
        form, MemberMaintenance::NameBox | MemberMaintenance::CityBox, onlyEmpty);
    return true;
}

void NonListedFrame::lookUpTypedCall(const QString &call)
{
    const bool login = !m_services.settings->get(QrzKeys::Section(), QrzKeys::Password()).isEmpty();
    if (login && fillFromQrz(call, true))
        return;
    // What the operator typed stays.
    fillFromOffline(call, true);
}

bool NonListedFrame::eventFilter(QObject *watched, QEvent *event)
{
    // Enter or Space on a call is the click on it: an ADD, filled where it can be.
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        if (IsLineActivation(*static_cast<QKeyEvent *>(event))) {
            if (QListWidgetItem *line = m_list->currentItem()) {
                line->setSelected(true);
                lstEarly_Click(line);
            }
            return true;
        }
    }
    return QGroupBox::eventFilter(watched, event);
}

void NonListedFrame::CmdRefresh_Click()
{
    emit busy(true);
    const Status logged = m_qrz.login();
    emit busy(false);
    if (!logged)
        emit statusLine(logged.error());
    emit done();
}

void NonListedFrame::cmdClear_Click()
{
    m_session.clearNonListed();
    m_list->clear();
    emit done();
}

void NonListedFrame::arrange()
{
    const double fw = width(), fh = height();
    const int buttonHeight = int(fh * 0.107);
    // The list then gives way, so no button ever lies over it or its scroll bar.
    const int buttonWidth = std::max(
        { int(fw * 0.2594), m_refresh->sizeHint().width(), m_clear->sizeHint().width() });
    const int buttonLeft = std::min(int(fw * 0.63), int(fw) - buttonWidth - 4);
    const int listLeft = int(fw * 0.096);
    m_list->setGeometry(listLeft, std::max(int(fh * 0.123), contentsRect().top()),
        std::max(1, std::min(int(fw * 0.5001), buttonLeft - 4 - listLeft)), int(fh * 0.7781));
    m_clear->setGeometry(
        buttonLeft, m_list->y() + m_list->height() - buttonHeight, buttonWidth, buttonHeight);
    m_refresh->setGeometry(
        buttonLeft, m_list->y() + m_list->height() - 3 * buttonHeight, buttonWidth, buttonHeight);
}
