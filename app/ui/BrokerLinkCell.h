#pragma once

#include "net/MqttPublisher.h"

#include <QLabel>
#include <QPointer>

// The status strip's cell for the link to the laboratory's broker:
// connected, connecting, not connected or refused (with the reason), or
// off. Hidden while nothing is published. UI thread; the publisher's link
// is read on its queued linkChanged signal.
class CBrokerLinkCell : public QLabel
{
    Q_OBJECT
public:
    enum class ELevel { Good, Waiting, Bad, Off };

    explicit CBrokerLinkCell(QWidget* parent = nullptr);

    // "Broker: connected", "Broker: refused (not authorised)", ...
    static QString Text(CMqttPublisher::ELink link, const QString& reason);
    static ELevel LevelOf(CMqttPublisher::ELink link);

    // Follows the publisher (not owned; null: nothing is published and the
    // cell hides). A publisher that goes away is noticed.
    void Follow(CMqttPublisher* pPublisher);
    // Reads the publisher now.
    void Refresh();
    ELevel Level() const { return m_eLevel; }

private:
    QPointer<CMqttPublisher> m_pPublisher;
    QMetaObject::Connection m_connection;
    ELevel m_eLevel = ELevel::Off;
};
