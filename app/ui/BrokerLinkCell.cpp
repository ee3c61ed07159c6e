#include "ui/BrokerLinkCell.h"

namespace {
const char* const kGood = "color: #EAEAEA;";
const char* const kWaiting = "color: #FFBF00;";
const char* const kBad = "color: #FF4040; font-weight: bold;";
const char* const kOff = "color: #B0B0B0;";
}  // namespace

CBrokerLinkCell::CBrokerLinkCell(QWidget* parent) : QLabel(parent)
{
    setStyleSheet(QString::fromLatin1(kOff));
    hide();
}

QString CBrokerLinkCell::Text(CMqttPublisher::ELink link, const QString& reason)
{
    const QString because = reason.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(reason);
    switch (link) {
    case CMqttPublisher::ELink::Connected:
        return QStringLiteral("Broker: connected");
    case CMqttPublisher::ELink::Connecting:
        return QStringLiteral("Broker: connecting…");
    case CMqttPublisher::ELink::Unreachable:
        return QStringLiteral("Broker: not connected") + because;
    case CMqttPublisher::ELink::Refused:
        return QStringLiteral("Broker: refused") + because;
    case CMqttPublisher::ELink::Off:
        break;
    }
    return QStringLiteral("Broker: off");
}

CBrokerLinkCell::ELevel CBrokerLinkCell::LevelOf(CMqttPublisher::ELink link)
{
    switch (link) {
    case CMqttPublisher::ELink::Connected:
        return ELevel::Good;
    case CMqttPublisher::ELink::Connecting:
    case CMqttPublisher::ELink::Unreachable:
        return ELevel::Waiting;
    case CMqttPublisher::ELink::Refused:
        return ELevel::Bad;
    case CMqttPublisher::ELink::Off:
        break;
    }
    return ELevel::Off;
}

void CBrokerLinkCell::Follow(CMqttPublisher* pPublisher)
{
    disconnect(m_connection);
    m_pPublisher = pPublisher;
    // The publisher signals from its network thread.
    if (pPublisher)
        m_connection = connect(pPublisher, &CMqttPublisher::linkChanged, this, &CBrokerLinkCell::Refresh,
                               Qt::QueuedConnection);
    Refresh();
}

void CBrokerLinkCell::Refresh()
{
    if (!m_pPublisher) {
        m_eLevel = ELevel::Off;
        clear();
        hide();
        return;
    }
    const CMqttPublisher::ELink link = m_pPublisher->Link();
    m_eLevel = LevelOf(link);
    setText(Text(link, m_pPublisher->LinkReason()));
    const char* style = m_eLevel == ELevel::Good ? kGood
        : m_eLevel == ELevel::Waiting            ? kWaiting
        : m_eLevel == ELevel::Bad                ? kBad
                                                 : kOff;
    setStyleSheet(QString::fromLatin1(style));
    show();
}
